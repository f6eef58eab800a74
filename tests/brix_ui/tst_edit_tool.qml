import QtQuick
import QtQuick.Controls
import QtTest
import com.fernwhistlestudios.brix_ui

Item {
    id: root
    width: 600
    height: 500

    BrixTheme { id: theme }

    ListModel {
        id: bars
        ListElement { bar: "1" }
        ListElement { bar: "2" }
        ListElement { bar: "3" }
    }
    ListModel {
        id: beats
        ListElement { beats: 1 }
        ListElement { beats: 2 }
        ListElement { beats: 3 }
        ListElement { beats: 4 }
    }

    Component {
        id: panelComponent
        BarAndBeatPanel {
            // The four combo boxes by object name, filled by createPanel().
            property var boxes
            x: 10; y: 10; width: 400
        }
    }
    Component {
        id: editTool
        EditTool {
            property alias content: inner
            BarAndBeatPanel { id: inner; y: 40; width: 300 }
        }
    }
    Component { id: buttonsComponent; StandardEditButtons { x: 10; y: 10; width: 300 } }
    Component { id: idLabel; EventIdLabel { x: 10; y: 10 } }
    Component { id: pasteTarget; TextEdit { x: 10; y: 100; width: 200; height: 20 } }
    Component { id: signalSpy; SignalSpy {} }

    function spyOn(testCase, target, signalName) {
        return testCase.createTemporaryObject(signalSpy, root, { target: target, signalName: signalName })
    }

    TestCase {
        name: "EditTool"
        when: windowShown

        function test_defaults_and_fixed_size() {
            var tool = createTemporaryObject(editTool, root)
            tool.visible = true
            compare(tool.width, 360)
            compare(tool.height, 300)
            compare(tool.title, "Edit Tool")
            compare(tool.modality, Qt.ApplicationModal)
            compare(tool.isEdit, false)
            compare(tool.eventId, "")
            compare(tool.windowHeight, 300)
            compare(tool.topSpacer.height, 30)
            tryCompare(tool.topSpacer, "width", 360)
            verify(Qt.colorEqual(tool.theme.default_bg_color, theme.default_bg_color))
            compare([tool.minimumWidth, tool.maximumWidth, tool.minimumHeight, tool.maximumHeight], [360, 360, 300, 300])
            tool.content.hasMicroshift = true
            tool.content.showSelectAll = true
            compare([tool.minimumWidth, tool.maximumWidth, tool.minimumHeight, tool.maximumHeight], [360, 360, 300, 300])
        }

        function test_size_set_at_creation_is_kept() {
            var tool = createTemporaryObject(editTool, root, { width: 500, height: 250 })
            compare([tool.minimumWidth, tool.maximumWidth, tool.minimumHeight, tool.maximumHeight], [500, 500, 250, 250])
        }

        function test_close_emits_window_closing_and_goes_ahead() {
            var tool = createTemporaryObject(editTool, root)
            var closing = spyOn(this, tool, "windowClosing")
            tool.visible = true
            tool.close()
            compare(closing.count, 1)
            compare(tool.visible, false)
        }
    }

    TestCase {
        name: "BarAndBeatPanel"
        when: windowShown

        function createPanel(props) {
            var panel = createTemporaryObject(panelComponent, root, props || {})
            var boxes = {}
            ;["inBarInput", "outBarInput", "inBeatInput", "outBeatInput"].forEach(name => boxes[name] = findChild(panel, name))
            boxes.inBarInput.model = bars
            boxes.outBarInput.model = bars
            boxes.inBeatInput.model = ["1", "2", "3"]
            boxes.outBeatInput.model = beats
            panel.boxes = boxes
            return panel
        }

        function captions(panel) {
            var texts = []
            ;["barColumn", "beatColumn", "microshiftColumn"].forEach(column => {
                var children = findChild(panel, column).children
                for (var i = 0; i < children.length; ++i) {
                    var child = children[i]
                    if (child.visible && child.text !== undefined && child.font !== undefined && child.model === undefined
                        && child.checkable === undefined)
                        texts.push(child.text)
                }
            })
            return texts
        }

        function test_captions_and_shown_pickers_data() {
            return [
                { tag: "in and out", hasDuration: true, hasMicroshift: false, captions: ["In Bar", "Out Bar", "In Beat", "Out Beat"], out: true, inShift: false, outShift: false },
                { tag: "in and out with shifts", hasDuration: true, hasMicroshift: true, captions: ["In Bar", "Out Bar", "In Beat", "Out Beat", "In Shift", "Out Microshift"], out: true, inShift: true, outShift: true },
                { tag: "single position", hasDuration: false, hasMicroshift: false, captions: ["Bar", "Beat"], out: false, inShift: false, outShift: false },
                { tag: "single position with shift", hasDuration: false, hasMicroshift: true, captions: ["Bar", "Beat", "Microshift"], out: false, inShift: true, outShift: false },
            ]
        }
        function test_captions_and_shown_pickers(data) {
            var panel = createTemporaryObject(panelComponent, root, { hasDuration: data.hasDuration, hasMicroshift: data.hasMicroshift })
            compare(captions(panel), data.captions)
            verify(findChild(panel, "inBarInput").visible)
            verify(findChild(panel, "inBeatInput").visible)
            compare(findChild(panel, "outBarInput").visible, data.out)
            compare(findChild(panel, "outBeatInput").visible, data.out)
            compare(findChild(panel, "inShiftSlider").visible, data.inShift)
            compare(findChild(panel, "outShiftSlider").visible, data.outShift)
            compare(findChild(panel, "selectAllButton").visible, false)
        }

        function test_roles_and_display_aliases() {
            var panel = createPanel()
            compare(panel.boxes.inBarInput.textRole, "bar")
            compare(panel.boxes.outBarInput.textRole, "bar")
            compare(panel.boxes.outBeatInput.valueRole, "beats")
            panel.boxes.inBarInput.currentIndex = 1
            panel.boxes.outBarInput.currentIndex = 2
            panel.boxes.inBeatInput.currentIndex = 2
            panel.boxes.outBeatInput.currentIndex = 3
            compare([panel.inBar, panel.outBar, panel.inBeat, panel.outBeat], ["2", "3", "3", "4"])
            compare(panel.boxes.outBeatInput.currentValue, 4)
            compare(panel.inBarModel, bars)
            compare(panel.comboBoxWidth, panel.boxes.inBarInput.width)
        }

        function test_how_a_bar_is_chosen_decides_the_update_request_data() {
            return [
                { tag: "in bar set from outside", box: "inBarInput", how: "set", changed: "inBarInputChanged", request: "inBeatInputUpdateRequest", requests: 0 },
                { tag: "in bar chosen with Space", box: "inBarInput", how: "space", changed: "inBarInputChanged", request: "inBeatInputUpdateRequest", requests: 0 },
                { tag: "in bar chosen with Enter", box: "inBarInput", how: "enter", changed: "inBarInputChanged", request: "inBeatInputUpdateRequest", requests: 1 },
                { tag: "in bar clicked", box: "inBarInput", how: "click", changed: "inBarInputChanged", request: "inBeatInputUpdateRequest", requests: 1 },
                { tag: "out bar clicked", box: "outBarInput", how: "click", changed: "outBarInputChanged", request: "outBeatInputUpdateRequest", requests: 1 },
                { tag: "out bar set from outside", box: "outBarInput", how: "set", changed: "outBarInputChanged", request: "outBeatInputUpdateRequest", requests: 0 },
            ]
        }
        function test_how_a_bar_is_chosen_decides_the_update_request(data) {
            var panel = createPanel()
            var box = panel.boxes[data.box]
            var changed = spyOn(this, panel, data.changed)
            var request = spyOn(this, panel, data.request)
            var enter = spyOn(this, panel, "pressEnter")
            box.comboControl.forceActiveFocus()
            if (data.how === "set") {
                box.currentIndex = 1
            } else {
                keyClick(Qt.Key_Space)
                tryCompare(box.choices, "opened", true)
                if (data.how === "click") {
                    mouseClick(box.choices.contentItem.itemAtIndex(1))
                } else {
                    keyClick(Qt.Key_Down)
                    keyClick(data.how === "enter" ? Qt.Key_Enter : Qt.Key_Space)
                }
            }
            compare(box.currentIndex, 1)
            compare(changed.count, 1)
            compare(request.count, data.requests)
            if (data.requests > 0)
                compare(request.signalArguments[0][0], 1)
            compare(enter.count, 0)
        }

        function test_beat_index_changes_are_signalled_data() {
            return [
                { tag: "in beat", box: "inBeatInput", signal: "inBeatInputChanged" },
                { tag: "out beat", box: "outBeatInput", signal: "outBeatInputChanged" },
            ]
        }
        function test_beat_index_changes_are_signalled(data) {
            var panel = createPanel()
            var changed = spyOn(this, panel, data.signal)
            panel.boxes[data.box].currentIndex = 2
            compare(changed.count, 1)
        }

        function test_enter_with_a_closed_list_is_press_enter_data() {
            return ["inBarInput", "outBarInput", "inBeatInput", "outBeatInput"].map(name => ({ tag: name, box: name }))
        }
        function test_enter_with_a_closed_list_is_press_enter(data) {
            var panel = createPanel()
            var enter = spyOn(this, panel, "pressEnter")
            panel.boxes[data.box].comboControl.forceActiveFocus()
            keyClick(Qt.Key_Return)
            keyClick(Qt.Key_Enter)
            compare(enter.count, 2)
        }

        function test_select_all_data() {
            return [
                { tag: "filled lists", empty: false, indexes: [0, 2, 0, 3] },
                { tag: "empty out lists", empty: true, indexes: [0, -1, 0, -1] },
            ]
        }
        function test_select_all(data) {
            var panel = createPanel({ showSelectAll: true })
            if (data.empty) {
                panel.boxes.outBarInput.model = []
                panel.boxes.outBeatInput.model = []
            }
            panel.boxes.inBarInput.currentIndex = 2
            panel.boxes.inBeatInput.currentIndex = 1
            var button = findChild(panel, "selectAllButton")
            verify(button.visible)
            mouseClick(button)
            compare([panel.boxes.inBarInput.currentIndex, panel.boxes.outBarInput.currentIndex,
                     panel.boxes.inBeatInput.currentIndex, panel.boxes.outBeatInput.currentIndex], data.indexes)
        }

        function test_microshift_ranges_values_and_tool_tip() {
            var panel = createTemporaryObject(panelComponent, root, { hasMicroshift: true })
            var inShift = findChild(panel, "inShiftSlider")
            var outShift = findChild(panel, "outShiftSlider")
            compare([inShift.from, inShift.to, inShift.value], [0, 1, 0])
            compare(inShift.showZeroMark, false)
            panel.setInMicroshiftMinMax(-20, 30)
            panel.setOutMicroshiftMinMax(-5, 8)
            compare([panel.inMinMicroshift, panel.inMaxMicroshift, inShift.from, inShift.to], [-20, 30, -20, 30])
            compare([panel.outMinMicroshift, panel.outMaxMicroshift, outShift.from, outShift.to], [-5, 8, -5, 8])
            panel.inShift = 12.6
            compare(panel.inMicroshiftValue, 12.6)
            panel.outMicroshiftValue = -3
            compare(panel.outShift, -3)
            panel.inShiftEnabled = false
            compare(inShift.enabled, false)
            var tip = findChild(inShift, "inShiftToolTip")
            compare(tip.text, "Value: 13")
            compare(tip.delay, 500)
        }

        function test_margins_apply_to_both_sides() {
            var panel = createTemporaryObject(panelComponent, root, { leftMargin: 7, topMargin: 4 })
            compare([panel.anchors.leftMargin, panel.anchors.rightMargin, panel.rightMargin], [7, 7, 7])
            compare([panel.anchors.topMargin, panel.anchors.bottomMargin, panel.bottomMargin], [4, 4, 4])
        }
    }

    TestCase {
        name: "StandardEditButtons"
        when: windowShown

        function test_buttons_and_keys_signal_data() {
            return [
                { tag: "OK clicked", act: "okButton", signal: "okayClicked" },
                { tag: "Cancel clicked", act: "cancelButton", signal: "cancelClicked" },
                { tag: "Return on the row", act: Qt.Key_Return, focus: "row", signal: "okayClicked" },
                { tag: "Escape on the row", act: Qt.Key_Escape, focus: "row", signal: "cancelClicked" },
                { tag: "Return on Cancel", act: Qt.Key_Return, focus: "cancelButton", signal: "okayClicked" },
                { tag: "Escape on OK", act: Qt.Key_Escape, focus: "okButton", signal: "cancelClicked" },
            ]
        }
        function test_buttons_and_keys_signal(data) {
            var row = createTemporaryObject(buttonsComponent, root)
            var ok = spyOn(this, row, "okayClicked")
            var cancel = spyOn(this, row, "cancelClicked")
            if (typeof data.act === "string") {
                mouseClick(row[data.act])
            } else {
                (data.focus === "row" ? row : row[data.focus]).forceActiveFocus()
                keyClick(data.act)
            }
            compare(ok.count, data.signal === "okayClicked" ? 1 : 0)
            compare(cancel.count, data.signal === "cancelClicked" ? 1 : 0)
        }

        function test_layout() {
            var row = createTemporaryObject(buttonsComponent, root)
            tryCompare(row.cancelButton, "width", 80)
            compare(row.cancelButton.text, "Cancel")
            compare(row.okButton.text, "OK")
            compare(row.okButton.isDefault, true)
            compare(row.cancelButton.width, 80)
            tryCompare(row.okButton, "width", 80)
            compare(row.okButton.x + row.okButton.width, row.width)
            compare(row.okButton.x - (row.cancelButton.x + row.cancelButton.width), 20)
            compare(row.implicitHeight, row.cancelButton.implicitHeight)
        }
    }

    TestCase {
        name: "EventIdLabel"
        when: windowShown

        function test_click_copies_the_shown_id_and_shows_the_notice_data() {
            return [
                { tag: "an id", value: "7f3a-22", shown: "7f3a-22", waitForHiding: true },
                { tag: "no id", value: "", shown: "(none)", waitForHiding: false },
            ]
        }
        function test_click_copies_the_shown_id_and_shows_the_notice(data) {
            var label = createTemporaryObject(idLabel, root, { value: data.value })
            var idText = findChild(label, "idText")
            var notice = findChild(label, "copiedNotice")
            compare(findChild(label, "caption").text, "Event ID:")
            compare(idText.text, data.shown)
            compare(notice.visible, false)
            mouseClick(findChild(label, "copyArea"))
            compare(notice.visible, true)
            var target = createTemporaryObject(pasteTarget, root)
            target.paste()
            compare(target.text, data.shown)
            if (data.waitForHiding)
                tryCompare(notice, "visible", false, 3000)
        }

        function test_caption_and_tool_tip() {
            var label = createTemporaryObject(idLabel, root, { text: "Id:" })
            compare(findChild(label, "caption").text, "Id:")
            var tip = findChild(label, "copyToolTip")
            compare(tip.text, "Click to Copy to Clipboard")
            compare([tip.delay, tip.timeout], [1000, 5000])
            compare(tip.visible, false)
            mouseMove(findChild(label, "copyArea"))
            tryCompare(tip, "visible", true)
        }
    }
}
