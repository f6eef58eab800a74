import QtQuick
import QtTest
import com.fernwhistlestudios.brix_ui

Item {
    id: root
    width: 600
    height: 500

    Component { id: textRow; TextInputControl { x: 10; y: 10; width: 300; text: "Show name" } }
    Component { id: directoryRow; DirectoryInputControl { x: 10; y: 10; width: 400 } }
    Component { id: fileRow; FileInputControl { x: 10; y: 10; width: 400; nameFilters: ["MIDI files (*.mid)"] } }
    Component { id: fileList; FileDisplay { x: 10; y: 10; width: 300; height: 100; text: "Files" } }
    Component { id: packageRow; PackageControl { x: 10; y: 10; toggleText: "Include audio" } }
    Component { id: textArea; RecessedTextArea { x: 10; y: 10; width: 300; height: 100 } }
    Component { id: signalSpy; SignalSpy {} }

    function spyOn(testCase, target, signalName) {
        return testCase.createTemporaryObject(signalSpy, root, { target: target, signalName: signalName })
    }

    TestCase {
        name: "LocalPaths"

        function test_from_url_data() {
            var windows = Qt.platform.os === "windows"
            return [
                { tag: "plain path", url: "file:///home/ann/show", path: "/home/ann/show" },
                { tag: "encoded space", url: "file:///home/ann/My%20Show/song.mid", path: "/home/ann/My Show/song.mid" },
                { tag: "encoded non-ASCII", url: "file:///home/ann/Gr%C3%BC%C3%9Fe/%E6%AD%8C.mid", path: "/home/ann/Grüße/歌.mid" },
                { tag: "encoded percent sign", url: "file:///tmp/100%25.mid", path: "/tmp/100%.mid" },
                { tag: "host", url: "file://server/share/show", path: "//server/share/show" },
                { tag: "drive letter", url: "file:///C:/Shows/My%20Show", path: windows ? "C:/Shows/My Show" : "/C:/Shows/My Show" },
                { tag: "not a file URL", url: "https://example.org/show", path: "" },
                { tag: "empty", url: "", path: "" },
            ]
        }
        function test_from_url(data) {
            compare(LocalPaths.fromUrl(data.url), data.path)
        }
    }

    TestCase {
        name: "TextInputControl"
        when: windowShown

        function test_focus_passes_to_the_field_and_edits_signal() {
            var row = createTemporaryObject(textRow, root, { value: "Old" })
            var changed = spyOn(this, row, "textChanged")
            compare(row.implicitHeight, findChild(row, "caption").implicitHeight + 5 + findChild(row, "input").implicitHeight)
            row.hasFocus = true
            verify(row.field.activeFocus)
            keyClick(Qt.Key_N)
            compare(row.value, "n")
            compare(changed.count, 1)
            row.value = "Set by the program"
            compare(changed.count, 1)
        }
    }

    TestCase {
        name: "Pickers"
        when: windowShown

        function test_folder_pick_shows_the_local_path_data() {
            return [
                { tag: "space", folder: "My Show" },
                { tag: "non-ASCII", folder: "Grüße Ω" },
            ]
        }
        function test_folder_pick_shows_the_local_path(data) {
            var fileUrl = temporaryFiles.createFile(data.folder + "/show.json")
            var folderUrl = fileUrl.toString().replace(/\/show\.json$/, "")
            var row = createTemporaryObject(directoryRow, root)
            var changed = spyOn(this, row, "textChanged")
            var picker = findChild(row, "folderPicker")
            mouseClick(row.button)
            tryCompare(picker, "visible", true)
            compare(picker.modality, Qt.WindowModal)
            picker.selectedFolder = folderUrl
            picker.accept()
            compare(row.value, temporaryFiles.path() + "/" + data.folder)
            compare(changed.count, 1)
            tryCompare(picker, "visible", false)
        }

        function test_file_pick_keeps_the_url_and_shows_the_local_path_data() {
            return [
                { tag: "space", file: "Act 1/Song 1.mid" },
                { tag: "non-ASCII", file: "Akt 2/Lied ö.mid" },
            ]
        }
        function test_file_pick_keeps_the_url_and_shows_the_local_path(data) {
            var fileUrl = temporaryFiles.createFile(data.file)
            var row = createTemporaryObject(fileRow, root)
            var changed = spyOn(this, row, "textChanged")
            var picker = findChild(row, "filePicker")
            compare(picker.nameFilters, ["MIDI files (*.mid)"])
            row.button.forceActiveFocus()
            keyClick(Qt.Key_Return)
            tryCompare(picker, "visible", true)
            // The picker's own list would choose its current row on accept(); the choice of a file is
            // what the row reacts to.
            picker.selectedFile = fileUrl
            picker.accepted()
            compare(row.fileUrl, fileUrl)
            compare(row.value, temporaryFiles.path() + "/" + data.file)
            compare(changed.count, 1)
            picker.close()
            tryCompare(picker, "visible", false)
        }

        function test_directory_path_typed_by_the_user_signals() {
            var row = createTemporaryObject(directoryRow, root)
            var changed = spyOn(this, row, "textChanged")
            row.field.forceActiveFocus()
            keyClick(Qt.Key_Slash)
            compare(row.value, "/")
            compare(changed.count, 1)
        }

        function test_file_row_is_read_only_and_starts_at_its_own_folder() {
            var row = createTemporaryObject(fileRow, root)
            compare(row.field.enabled, false)
            verify(row.fileUrl.toString().endsWith("/"))
            compare(row.button.width, 60)
        }
    }

    TestCase {
        name: "FileDisplay"
        when: windowShown

        function test_lists_the_model_strings() {
            var display = createTemporaryObject(fileList, root, { model: ["a.mid", "b.mid", "c.mid"] })
            var list = findChild(display, "fileList")
            compare(list.count, 3)
            compare(display.value, display.model)
            compare(list.itemAtIndex(1).text, "b.mid")
            compare(findChild(display, "caption").text, "Files")
        }
    }

    TestCase {
        name: "PackageControl"
        when: windowShown

        function test_button_and_switch_keys() {
            var row = createTemporaryObject(packageRow, root)
            var clicked = spyOn(this, row, "clicked")
            compare(row.buttonText, "Package")
            compare(findChild(row, "caption").text, "Include audio")
            mouseClick(row.button)
            row.button.forceActiveFocus()
            keyClick(Qt.Key_Return)
            compare(clicked.count, 2)

            compare(row.toggle.scale, 0.65)
            row.toggle.forceActiveFocus()
            compare(row.toggle.scale, 0.75)
            keyClick(Qt.Key_Return)
            compare(row.toggled, true)
            keyClick(Qt.Key_Return)
            compare(row.toggled, false)
            compare(clicked.count, 2)
        }
    }

    TestCase {
        name: "RecessedTextArea"
        when: windowShown

        function test_focus_selects_all_and_edits_signal() {
            var area = createTemporaryObject(textArea, root, { text: "Line one\nLine two" })
            var edited = spyOn(this, area, "textEdited")
            var editor = findChild(area, "editor")
            verify(editor.focus)
            root.forceActiveFocus()
            area.forceActiveFocus()
            verify(editor.activeFocus)
            compare(editor.selectedText.length, editor.length)
            compare(edited.count, 0)
            keyClick(Qt.Key_Delete)
            compare(area.text, "")
            keyClick(Qt.Key_X)
            keyClick(Qt.Key_Y)
            compare(area.text, "xy")
            compare(edited.count, 3)
            var finished = spyOn(this, area, "editingFinished")
            editor.focus = false
            compare(finished.count, 1)
        }

        function test_programmatic_text_is_not_an_edit() {
            var area = createTemporaryObject(textArea, root)
            var edited = spyOn(this, area, "textEdited")
            area.text = "From the show file"
            compare(edited.count, 0)
        }
    }
}
