import QtQuick
import QtTest
import com.fernwhistlestudios.brix_ui

Item {
    id: root
    width: 400
    height: 300

    ListModel {
        id: sources
        ListElement { sfxid: "s1"; displayname: "Thunder.wav" }
        ListElement { sfxid: "s2"; displayname: "Rain.wav" }
    }
    ListModel {
        id: outputPaths
        ListElement { path_name: "Main"; path_id: "p1" }
        ListElement { path_name: "Monitor"; path_id: "p2" }
    }

    Component { id: standaloneComponent; StandaloneSfxTool { effectModel: sources; outputPathsModel: outputPaths } }
    Component { id: propertyComponent; SfxPropertyTool { effectModel: sources; outputPathsModel: outputPaths } }
    Component { id: signalSpy; SignalSpy {} }

    readonly property real minusSixDb: 0.7866278611
    readonly property real minusEightyDb: 0.04076220398

    // Records the tool's signals in order; each entry is [name, arguments...].
    function record(tool, names) {
        var log = []
        names.forEach(name => tool[name].connect(function () {
            log.push([name].concat(Array.from(arguments)))
        }))
        return log
    }

    function showActive(testCase, tool) {
        tool.visible = true
        tool.requestActivate()
        testCase.tryCompare(tool, "active", true)
    }

    TestCase {
        name: "StandaloneSfxTool"
        when: windowShown

        function child(tool, name) {
            return findChild(tool, name)
        }

        function createTool(props) {
            var tool = createTemporaryObject(standaloneComponent, root, props || {})
            showActive(this, tool)
            return tool
        }

        function test_title_and_request_follow_is_edit_data() {
            return [
                { tag: "create", isEdit: false, title: "Create Instance", request: "createRequest" },
                { tag: "edit", isEdit: true, title: "Edit Instance", request: "changeRequest" },
            ]
        }
        function test_title_and_request_follow_is_edit(data) {
            var tool = createTool({ isEdit: data.isEdit, eventId: "e7" })
            compare(tool.title, data.title)
            compare(child(tool, "eventIdLabel").value, "e7")
            var log = record(tool, ["createRequest", "changeRequest", "toolClosing"])
            tool.outputPathIndex = 1
            tool.effectIdIndex = 1
            tool.fadeIn = "1.5"
            tool.fadeOut = "abc"
            mouseClick(child(tool, "editButtons").okButton)
            compare(log.map(entry => entry[0]), [data.request, "toolClosing"])
            var args = log[0].slice(1)
            fuzzyCompare(args[5], 0.1360, 0.0001)
            args[5] = "gain"
            compare(args, ["Rain.wav", "p2", 1, "s2", 1, "gain", 50, 50, 1500, 0, 0])
            compare(tool.visible, false)
        }

        // The gain is 10^(dB / 20) of the slider's dB = 25 · ln(position).
        function test_volume_is_sent_as_linear_gain_data() {
            return [
                { tag: "-6 dB mark", position: minusSixDb, gain: 0.5012 },
                { tag: "0 dB top", position: 1.0, gain: 1.0 },
                { tag: "-80 dB bottom", position: minusEightyDb, gain: 0.0001 },
                { tag: "starting position 0.5", position: 0.5, gain: 0.1360 },
            ]
        }
        function test_volume_is_sent_as_linear_gain(data) {
            var tool = createTool()
            var request = createTemporaryObject(signalSpy, root, { target: tool, signalName: "createRequest" })
            if (data.tag !== "starting position 0.5")
                tool.volume = data.position
            compare(tool.volume, data.position)
            mouseClick(child(tool, "editButtons").okButton)
            fuzzyCompare(request.signalArguments[0][5], data.gain, 0.00005)
        }

        function test_loop_is_sent_as_repeats_data() {
            return [
                { tag: "loop on", loop: true, repeats: -1 },
                { tag: "loop off", loop: false, repeats: 0 },
            ]
        }
        function test_loop_is_sent_as_repeats(data) {
            var tool = createTool()
            var request = createTemporaryObject(signalSpy, root, { target: tool, signalName: "createRequest" })
            if (data.loop)
                mouseClick(child(tool, "loopBox"))
            compare(tool.loop, data.loop)
            mouseClick(child(tool, "editButtons").okButton)
            compare(request.signalArguments[0][10], data.repeats)
        }

        function test_volume_slider_speaks_decibels() {
            var tool = createTool()
            var slider = child(tool, "volumeSlider")
            compare([slider.from, slider.to, slider.zeroMark, slider.sliderStep], [minusEightyDb, 1.0, minusSixDb, 0.01])
            compare(slider.customDisplayFunction(minusSixDb), "-6.000")
            fuzzyCompare(slider.customInvertFunction("-80"), minusEightyDb, 1e-9)
            tool.volume = minusSixDb
            compare(child(tool, "volumeToolTip").text, "Value: -6.0 dB")
            tool.pan = 62.5
            compare(child(tool, "panToolTip").text, "Value: 62.50")
        }

        function test_name_follows_the_source_until_typed_in() {
            var tool = createTool()
            compare(tool.name, "Thunder.wav")
            tool.effectIdIndex = 1
            compare(tool.name, "Rain.wav")
            child(tool, "nameField").field.forceActiveFocus()
            keyClick(Qt.Key_End)
            keyClick(Qt.Key_X)
            compare(tool.isNameDirty, true)
            tool.effectIdIndex = 0
            compare(tool.name, "Rain.wavx")
            // Closed by its title bar, the tool forgets the typing and follows the source again.
            tool.close()
            compare(tool.isNameDirty, false)
            compare(tool.name, "Thunder.wav")
        }

        function test_name_set_by_the_host_stays() {
            var tool = createTool()
            tool.name = "Storm cue"
            tool.effectIdIndex = 1
            compare(tool.name, "Storm cue")
            compare(tool.isNameDirty, false)
        }

        function test_closing_data() {
            return [
                { tag: "title bar", how: "close", nameDirty: false, visible: false },
                { tag: "Cancel button", how: "cancel", nameDirty: true, visible: false },
                { tag: "Escape", how: Qt.Key_Escape, nameDirty: true, visible: false },
            ]
        }
        function test_closing(data) {
            var tool = createTool({ isNameDirty: true })
            var log = record(tool, ["createRequest", "changeRequest", "toolClosing"])
            if (data.how === "close") {
                tool.close()
            } else if (data.how === "cancel") {
                mouseClick(child(tool, "editButtons").cancelButton)
            } else {
                child(tool, "content").forceActiveFocus()
                keyClick(data.how)
            }
            compare(log.map(entry => entry[0]), ["toolClosing"])
            compare(tool.isNameDirty, data.nameDirty)
            compare(tool.visible, data.visible)
        }

        function test_return_in_the_form_is_ok() {
            var tool = createTool()
            var log = record(tool, ["createRequest", "toolClosing"])
            child(tool, "fadeInField").field.forceActiveFocus()
            keyClick(Qt.Key_2)
            keyClick(Qt.Key_Return)
            compare(log.map(entry => entry[0]), ["createRequest", "toolClosing"])
            compare(log[0][9], 2000)
        }

        function test_output_path_index_from_name() {
            var tool = createTool()
            tool.setOutputPathIndexFromName("p2")
            compare([tool.outputPathIndex, tool.outputPath], [1, "p2"])
        }

        function test_window_is_sized_to_its_form() {
            var tool = createTool()
            var content = child(tool, "content")
            compare([tool.width, tool.height], [content.implicitWidth + 50, content.implicitHeight + 50])
            compare(tool.minimumWidth, tool.width)
            compare(tool.flags, Qt.CustomizeWindowHint | Qt.Dialog | Qt.WindowTitleHint | Qt.WindowCloseButtonHint)
            verify(!child(tool, "outputPathBox").visible)
            verify(!child(tool, "reverbSlider").visible)
        }
    }

    TestCase {
        name: "SfxPropertyTool"
        when: windowShown

        function child(tool, name) {
            return findChild(tool, name)
        }

        function createTool(props) {
            var tool = createTemporaryObject(propertyComponent, root, props || {})
            showActive(this, tool)
            return tool
        }
        // Chooses a file through the file field's picker, as the operator does.
        function chooseFile(tool, name) {
            var url = temporaryFiles.createFile(name)
            var picker = findChild(child(tool, "fileInput"), "filePicker")
            picker.selectedFile = url
            picker.accepted()
            return url
        }

        function test_ok_sends_the_entry_then_closes() {
            var tool = createTool()
            compare(tool.title, "Custom Audio Parameters")
            var url = chooseFile(tool, "Sounds/thunder.wav")
            compare(tool.filename, temporaryFiles.path() + "/Sounds/thunder.wav")
            var log = record(tool, ["updateCustomAudioEntry", "toolClosing"])
            tool.commandIndex = 1
            compare(child(tool, "commandBox").displayText, "Stop")
            tool.fadeIn = "2"
            mouseClick(child(tool, "loopBox"))
            mouseClick(child(tool, "editButtons").okButton)
            compare(log.map(entry => entry[0]), ["updateCustomAudioEntry", "toolClosing"])
            var args = log[0].slice(1)
            fuzzyCompare(args[2], 0.5012, 0.00005)
            args[2] = "gain"
            compare(args, [url, 1, "gain", 50, 2000, 0, true])
            compare(tool.visible, false)
        }

        // Without a chosen file the entry would name no audio (formerly the control's own folder).
        function test_ok_waits_for_a_file_while_one_is_used_data() {
            return [
                { tag: "file used, none chosen", usesFile: true, choose: false, enabled: false },
                { tag: "file used and chosen", usesFile: true, choose: true, enabled: true },
                { tag: "source from the list", usesFile: false, choose: false, enabled: true },
            ]
        }
        function test_ok_waits_for_a_file_while_one_is_used(data) {
            var tool = createTool({ usesCustomAudioFile: data.usesFile })
            compare(tool.fileUrl.toString(), "")
            compare(tool.filename, "")
            if (data.choose)
                chooseFile(tool, "rain.wav")
            var ok = child(tool, "editButtons").okButton
            compare(ok.enabled, data.enabled)
            var log = record(tool, ["updateCustomAudioEntry", "toolClosing"])
            child(tool, "editButtons").forceActiveFocus()
            keyClick(Qt.Key_Return)
            compare(log.map(entry => entry[0]), data.enabled ? ["updateCustomAudioEntry", "toolClosing"] : [])
        }

        function test_source_shown_follows_uses_custom_audio_file_data() {
            return [
                { tag: "file from disk", usesFile: true },
                { tag: "source from the list", usesFile: false },
            ]
        }
        function test_source_shown_follows_uses_custom_audio_file(data) {
            var tool = createTool({ usesCustomAudioFile: data.usesFile, eventId: "e3" })
            compare(child(tool, "fileInput").visible, data.usesFile)
            compare(child(tool, "effectBox").visible, !data.usesFile)
            compare(child(tool, "eventIdLabel").visible, !data.usesFile)
            compare(findChild(child(tool, "fileInput"), "filePicker").nameFilters, ["WAV Files (*.wav)", "All files (*)"])
            ;["nameField", "outputPathBox", "panSlider", "reverbSlider"].forEach(name => verify(!child(tool, name).visible, name))
        }

        function test_every_close_emits_tool_closing_once_data() {
            return [
                { tag: "Cancel", how: "cancel" },
                { tag: "title bar", how: "close" },
            ]
        }
        function test_every_close_emits_tool_closing_once(data) {
            var tool = createTool({ isNameDirty: true })
            var log = record(tool, ["updateCustomAudioEntry", "toolClosing"])
            if (data.how === "cancel")
                mouseClick(child(tool, "editButtons").cancelButton)
            else
                tool.close()
            compare(log.map(entry => entry[0]), ["toolClosing"])
            compare([tool.isNameDirty, tool.visible], [false, false])
        }

        function test_volume_starts_at_minus_six_db() {
            var tool = createTool()
            compare(tool.volume, minusSixDb)
            compare(child(tool, "volumeToolTip").text, "Value: -6.0 dB")
        }
    }

    // Fade texts in both editors: a leading decimal number of seconds, sent as whole milliseconds
    // between 0 and an hour; text without a number is 0; an infinite number cannot be sent.
    TestCase {
        name: "FadeTimes"
        when: windowShown

        function child(tool, name) {
            return findChild(tool, name)
        }

        function test_fade_texts_data() {
            var rows = [
                { text: "1.5", ms: 1500 },
                { text: "1.5s", ms: 1500 },
                { text: "abc", ms: 0 },
                { text: "", ms: 0 },
                { text: "0.0015", ms: 1 },
                { text: "4.35", ms: 4350 },
                { text: "-2", ms: 0 },
                { text: "3600", ms: 3600000 },
                { text: "1e9", ms: 3600000 },
                { text: "Infinity", refused: true },
                { text: "-1e999", refused: true },
            ]
            var data = []
            ;["StandaloneSfxTool", "SfxPropertyTool"].forEach(tool => rows.forEach(row => {
                data.push({ tag: tool + " '" + row.text + "'", tool: tool, text: row.text, ms: row.ms, refused: !!row.refused })
            }))
            return data
        }
        function test_fade_texts(data) {
            var standalone = data.tool === "StandaloneSfxTool"
            var tool = createTemporaryObject(standalone ? standaloneComponent : propertyComponent, root,
                                             standalone ? {} : { usesCustomAudioFile: false })
            showActive(this, tool)
            var signalName = standalone ? "createRequest" : "updateCustomAudioEntry"
            var fadeInArg = standalone ? 8 : 4
            var request = createTemporaryObject(signalSpy, root, { target: tool, signalName: signalName })
            tool.fadeIn = data.text
            tool.fadeOut = data.text
            var ok = child(tool, "editButtons").okButton
            compare(ok.enabled, !data.refused)
            mouseClick(ok)
            if (data.refused) {
                // Return on the OK/Cancel row asks for OK without the button.
                child(tool, "editButtons").forceActiveFocus()
                keyClick(Qt.Key_Return)
                compare(request.count, 0)
                compare(tool.visible, true)
            } else {
                compare(request.count, 1)
                compare([request.signalArguments[0][fadeInArg], request.signalArguments[0][fadeInArg + 1]], [data.ms, data.ms])
            }
        }
    }
}
