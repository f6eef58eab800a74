import QtQuick
import QtTest
import com.fernwhistlestudios.brix_ui

Item {
    id: root
    width: 600
    height: 500

    Component { id: dialogWindow; FlatDialogWindow { title: "Heading"; text: "Message" } }
    Component { id: inputWindow; FlatInputWindow { title: "Question"; text: "Name?" } }
    Component { id: aboutWindow; AboutWindow {} }
    Component { id: acknowledgementsWindow; AcknowledgementsWindow {} }

    // Records the order in which a window's answer signals arrive, and whether it was still visible.
    QtObject {
        id: journal
        property var entries: []
        function watch(window, names) {
            entries = []
            names.forEach(name => window[name].connect(() => {
                entries.push({ name: name, visible: window.visible })
            }))
        }
        function names() {
            return entries.map(entry => entry.name)
        }
    }

    // Shows a window and waits until it has the keyboard.
    function showActive(testCase, window) {
        window.visible = true
        window.requestActivate()
        testCase.tryCompare(window, "active", true)
    }

    TestCase {
        name: "FlatDialogWindow"
        when: windowShown

        function createDialog(props) {
            var dialog = createTemporaryObject(dialogWindow, root, props || {})
            journal.watch(dialog, ["checkboxConfirmed", "accepted"])
            return dialog
        }

        function test_kind_table_data() {
            return [
                { tag: "ERROR", type: "ERROR", icon: "qrc:/images/error_icon.svg", color: "#FF5757", title: "Error" },
                { tag: "lower-case warning", type: "warning", icon: "qrc:/images/warning_icon.svg", color: "#FFC400", title: "Warning" },
                { tag: "INFO", type: "INFO", icon: "qrc:/images/info_icon.svg", color: "#00AEEF", title: "Information" },
                { tag: "mixed-case Info", type: "Info", icon: "qrc:/images/info_icon.svg", color: "#00AEEF", title: "Information" },
                { tag: "unknown kind", type: "QUESTION", icon: "", color: "Silver", title: "Information" },
                { tag: "empty kind", type: "", icon: "", color: "Silver", title: "Information" },
            ]
        }
        function test_kind_table(data) {
            var windows = [createDialog({ type: data.type }),
                           createTemporaryObject(inputWindow, root, { type: data.type })]
            windows.forEach(window => {
                compare(window.getIconFromType(data.type), data.icon)
                compare(window.getIconColorFromType(data.type), data.color)
                compare(window.getDefaultTitleFromType(data.type), data.title)
                var icon = findChild(window.contentItem, "icon")
                compare(icon.source.toString(), data.icon)
                compare(icon.parent.visible, data.icon !== "")
                verify(Qt.colorEqual(findChild(window.contentItem, "iconTint").color, data.color))
            })
        }

        function test_title_is_the_heading_not_the_window_title() {
            var dialog = createDialog({ title: "Save failed" })
            compare(findChild(dialog.contentItem, "heading").text, "Save failed")
        }

        function test_ok_emits_never_show_then_accepted_then_closes_data() {
            return [
                { tag: "box not ticked", showCheckbox: true, tick: false, signals: ["accepted"] },
                { tag: "box ticked", showCheckbox: true, tick: true, signals: ["checkboxConfirmed", "accepted"] },
                { tag: "no box", showCheckbox: false, tick: false, signals: ["accepted"] },
            ]
        }
        function test_ok_emits_never_show_then_accepted_then_closes(data) {
            var dialog = createDialog({ showCheckbox: data.showCheckbox })
            showActive(this, dialog)
            var box = findChild(dialog.contentItem, "neverShowBox")
            compare(box.visible, data.showCheckbox)
            if (data.tick)
                mouseClick(box)
            mouseClick(findChild(dialog.contentItem, "okButton"))
            compare(journal.names(), data.signals)
            verify(journal.entries.every(entry => entry.visible), "signals come before the close")
            compare(dialog.visible, false)
        }

        function test_keys_accept_like_the_ok_button_data() {
            return [
                { tag: "Escape", key: Qt.Key_Escape },
                { tag: "Return", key: Qt.Key_Return },
                { tag: "Enter", key: Qt.Key_Enter },
            ]
        }
        function test_keys_accept_like_the_ok_button(data) {
            var dialog = createDialog()
            showActive(this, dialog)
            keyClick(data.key)
            compare(journal.names(), ["accepted"])
            compare(dialog.visible, false)
        }

        function test_required_acknowledgement_gates_button_and_keys() {
            var dialog = createDialog({ acknowledgeCheckbox: true, okCheckboxString: "I have saved my work" })
            showActive(this, dialog)
            var ok = findChild(dialog.contentItem, "okButton")
            var acknowledge = findChild(dialog.contentItem, "acknowledgeBox")
            verify(acknowledge.visible)
            compare(acknowledge.checkboxTextStr, "I have saved my work")
            compare(ok.enabled, false)
            keyClick(Qt.Key_Return)
            keyClick(Qt.Key_Escape)
            keyClick(Qt.Key_Enter)
            compare(journal.names(), [])
            compare(dialog.visible, true)

            mouseClick(acknowledge)
            compare(ok.enabled, true)
            keyClick(Qt.Key_Return)
            compare(journal.names(), ["accepted"])
            compare(dialog.visible, false)
        }

        function test_secret_never_show_box_follows_the_control_key() {
            var dialog = createDialog({ makeNeverShowSecret: true })
            showActive(this, dialog)
            var box = findChild(dialog.contentItem, "neverShowBox")
            compare(box.visible, false)
            keyPress(Qt.Key_Control)
            compare(dialog.toggleNeverShowHeld, true)
            compare(box.visible, true)
            mouseClick(box, box.width / 4, box.height / 2, Qt.LeftButton, Qt.ControlModifier)
            keyRelease(Qt.Key_Control)
            compare(dialog.toggleNeverShowHeld, false)
            compare(box.visible, false)
            mouseClick(findChild(dialog.contentItem, "okButton"))
            compare(journal.names(), ["checkboxConfirmed", "accepted"])
        }

        function test_a_key_pressed_with_control_held_shows_the_secret_box() {
            var dialog = createDialog({ makeNeverShowSecret: true })
            showActive(this, dialog)
            keyPress(Qt.Key_S, Qt.ControlModifier)
            compare(dialog.toggleNeverShowHeld, true)
            keyRelease(Qt.Key_S, Qt.NoModifier)
            compare(dialog.toggleNeverShowHeld, false)
        }

        function test_size_follows_the_content_and_cannot_be_changed_data() {
            return [
                { tag: "normal", largerWindow: false, width: 325 },
                { tag: "larger", largerWindow: true, width: 500 },
            ]
        }
        function test_size_follows_the_content_and_cannot_be_changed(data) {
            var dialog = createDialog({ largerWindow: data.largerWindow })
            var content = findChild(dialog.contentItem, "content")
            showActive(this, dialog)
            compare(dialog.width, data.width)
            compare(dialog.minimumWidth, data.width)
            compare(dialog.maximumWidth, data.width)
            compare(dialog.height, content.implicitHeight + 32)
            var shortHeight = dialog.height
            dialog.text = "A much longer message that wraps over several lines of the dialog, "
                          + "so that the window must grow to show all of it to the reader."
            tryVerify(() => dialog.height > shortHeight)
            compare(dialog.height, content.implicitHeight + 32)
            compare(dialog.minimumHeight, dialog.height)
            compare(dialog.maximumHeight, dialog.height)
        }
    }

    TestCase {
        name: "FlatInputWindow"
        when: windowShown

        function createInput(props) {
            var window = createTemporaryObject(inputWindow, root, props || {})
            journal.watch(window, ["accepted", "cancelled", "negated"])
            return window
        }

        function test_ok_enabled_data() {
            return [
                { tag: "empty field", props: {}, value: "", tick: false, enabled: false },
                { tag: "only spaces", props: {}, value: "   ", tick: false, enabled: false },
                { tag: "text", props: {}, value: " Act 2 ", tick: false, enabled: true },
                { tag: "hidden field, empty", props: { showInputField: false }, value: "", tick: false, enabled: true },
                { tag: "confirmation not ticked", props: { showConfirmation: true }, value: "x", tick: false, enabled: false },
                { tag: "confirmation ticked", props: { showConfirmation: true }, value: "x", tick: true, enabled: true },
                { tag: "confirmation ticked, blank field", props: { showConfirmation: true }, value: " ", tick: true, enabled: false },
            ]
        }
        function test_ok_enabled(data) {
            var window = createInput(data.props)
            window.value = data.value
            if (data.tick)
                findChild(window.contentItem, "confirmationBox").checked = true
            compare(findChild(window.contentItem, "okButton").enabled, data.enabled)
        }

        function test_buttons_close_then_answer_data() {
            return [
                { tag: "OK", button: "okButton", signal: "accepted" },
                { tag: "Cancel", button: "cancelButton", signal: "cancelled" },
                { tag: "negate", button: "negateButton", signal: "negated" },
            ]
        }
        function test_buttons_close_then_answer(data) {
            var window = createInput({ value: "Song 1", showNegateButton: true, negateButtonText: "Don't Save" })
            showActive(this, window)
            mouseClick(findChild(window.contentItem, data.button))
            compare(journal.names(), [data.signal])
            compare(journal.entries[0].visible, false)
            compare(window.value, "Song 1")
        }

        function test_keys_data() {
            return [
                { tag: "Escape cancels", props: {}, value: "x", key: Qt.Key_Escape, signals: ["cancelled"] },
                { tag: "Escape negates when asked", props: { escToNegate: true }, value: "x", key: Qt.Key_Escape, signals: ["negated"] },
                { tag: "Return accepts", props: {}, value: "x", key: Qt.Key_Return, signals: ["accepted"] },
                { tag: "Enter accepts", props: {}, value: "x", key: Qt.Key_Enter, signals: ["accepted"] },
                { tag: "Return with a blank field does nothing", props: {}, value: "  ", key: Qt.Key_Return, signals: [] },
                { tag: "Return without confirmation does nothing", props: { showConfirmation: true }, value: "x", key: Qt.Key_Return, signals: [] },
                { tag: "Return with a hidden field accepts", props: { showInputField: false }, value: "", key: Qt.Key_Return, signals: ["accepted"] },
            ]
        }
        function test_keys(data) {
            var window = createInput(data.props)
            window.value = data.value
            showActive(this, window)
            keyClick(data.key)
            compare(journal.names(), data.signals)
            compare(window.visible, data.signals.length === 0)
        }

        function test_field_has_the_focus_and_takes_typing() {
            var window = createInput()
            showActive(this, window)
            var field = findChild(window.contentItem, "valueInput").field
            verify(field.activeFocus)
            keyClick(Qt.Key_A)
            keyClick(Qt.Key_B)
            compare(window.value, "ab")
        }

        function test_close_by_the_frame_answers_negatively_data() {
            return [
                { tag: "cancelled", escToNegate: false, signal: "cancelled" },
                { tag: "negated when Escape negates", escToNegate: true, signal: "negated" },
            ]
        }
        function test_close_by_the_frame_answers_negatively(data) {
            var window = createInput({ escToNegate: data.escToNegate })
            showActive(this, window)
            var spy = createTemporaryObject(signalSpy, root, { target: window, signalName: data.signal })
            window.close()
            compare(window.visible, false)
            spy.wait(1000)
            compare(journal.names(), [data.signal])
        }

        // A button's close must not also be answered as a close by the frame.
        function test_reopened_window_answers_each_close_once() {
            var window = createInput({ value: "x" })
            showActive(this, window)
            mouseClick(findChild(window.contentItem, "okButton"))
            showActive(this, window)
            var spy = createTemporaryObject(signalSpy, root, { target: window, signalName: "cancelled" })
            window.close()
            spy.wait(1000)
            compare(journal.names(), ["accepted", "cancelled"])
        }

        function test_captions_and_confirmation() {
            var window = createInput({ acceptButtonText: "Save", cancelButtonText: "Back", negateButtonText: "Discard",
                                       showNegateButton: true, showConfirmation: true,
                                       confirmationPreamble: "Read <a href='https://example.org'>this</a>",
                                       confirmationText: "I agree" })
            compare(findChild(window.contentItem, "okButton").text, "Save")
            compare(findChild(window.contentItem, "cancelButton").text, "Back")
            compare(findChild(window.contentItem, "negateButton").text, "Discard")
            verify(findChild(window.contentItem, "negateButton").visible)
            verify(findChild(window.contentItem, "confirmationPreamble").visible)
            compare(findChild(window.contentItem, "confirmationBox").checkboxTextStr, "I agree")
            window.confirmationPreamble = ""
            verify(!findChild(window.contentItem, "confirmationPreamble").visible)
        }
    }

    TestCase {
        name: "AboutWindow"
        when: windowShown

        function test_version_line_data() {
            return [
                { tag: "with architecture", version: "2.4.1", architecture: "ARM 64-bit", line: "Version 2.4.1 for ARM 64-bit" },
                { tag: "without architecture", version: "2.4.1", architecture: "", line: "Version 2.4.1" },
            ]
        }
        function test_version_line(data) {
            var about = createTemporaryObject(aboutWindow, root, { version: data.version, architecture: data.architecture })
            about.open()
            var popup = findChild(about, "aboutPopup")
            tryCompare(popup, "opened", true)
            compare(findChild(popup.contentItem, "versionLine").text, data.line)
        }

        function test_opens_centred_over_the_root_window_and_closes_again() {
            var about = createTemporaryObject(aboutWindow, root)
            var popup = findChild(about, "aboutPopup")
            for (var round = 0; round < 2; ++round) {
                about.open()
                tryCompare(popup, "opened", true)
                compare(popup.width, 525)
                compare(popup.x, (root.width - 525) * 0.5)
                compare(popup.y, (root.height - popup.height) * 0.5)
                mouseClick(findChild(popup.contentItem, "closeButton"))
                tryCompare(popup, "visible", false)
            }
        }

        function test_escape_closes_and_acknowledgments_signals() {
            var about = createTemporaryObject(aboutWindow, root)
            var spy = createTemporaryObject(signalSpy, root, { target: about, signalName: "acknowledgementsClicked" })
            var popup = findChild(about, "aboutPopup")
            about.open()
            tryCompare(popup, "opened", true)
            mouseClick(findChild(popup.contentItem, "acknowledgmentsButton"))
            compare(spy.count, 1)
            keyClick(Qt.Key_Escape)
            tryCompare(popup, "visible", false)
        }
    }

    Component { id: signalSpy; SignalSpy {} }

    TestCase {
        name: "AcknowledgementsWindow"
        when: windowShown

        function test_shows_the_text_and_close_hides_it() {
            var window = createTemporaryObject(acknowledgementsWindow, root, { acknowledgementText: "zlib: permissive licence" })
            verify(window.visible)
            compare(window.width, 640)
            compare(window.height, 480)
            compare(findChild(window.contentItem, "acknowledgementText").text, "zlib: permissive licence")
            mouseClick(findChild(window.contentItem, "closeButton"))
            compare(window.visible, false)
        }
    }
}
