import QtQuick
import QtTest
import com.fernwhistlestudios.brix_ui

Item {
    id: root
    width: 500
    height: 400

    BrixTheme { id: theme }

    Component { id: comboBox; CustomComboBox { x: 10; y: 10; width: 150; model: ["One", "Two", "Three", "Four"] } }
    Component { id: spinBox; CustomSpinBox { x: 10; y: 10; width: 150 } }
    Component { id: recessedSpinBox; RecessedSpinBox { x: 10; y: 10 } }
    Component { id: slider; BrixCustomSlider { x: 10; y: 10; width: 300 } }
    Component { id: volumeSlider; BrixCustomVolumeSlider { x: 10; y: 10; width: 300 } }
    Component { id: textInput; RecessedTextInput { x: 10; y: 10; width: 200; text: "hello" } }
    SignalSpy { id: activatedSpy; signalName: "activated" }
    SignalSpy { id: enterSpy; signalName: "enterPressed" }
    SignalSpy { id: movedSpy; signalName: "moved" }

    TestCase {
        name: "CustomComboBox"
        when: windowShown

        function openBox(props) {
            var box = createTemporaryObject(comboBox, root, props || {})
            activatedSpy.clear(); activatedSpy.target = box
            enterSpy.clear(); enterSpy.target = box
            box.comboControl.forceActiveFocus()
            return box
        }

        // A list that has just opened lays its rows out for the shown size in the layout pass before it
        // is first drawn; until then its rows take no clicks. Waits for that pass, and for the one that
        // places the popup, to be done.
        function waitForListLayout(box) {
            var list = box.choices.contentItem
            tryVerify(function() { return !isPolishScheduled(list) && !isPolishScheduled(list.parent) },
                      5000, "the open list is laid out")
        }

        function test_keys_data() {
            // Keys pressed on a box at index 1, whose list starts closed.
            return [
                { tag: "Up and Down on a closed box change nothing", keys: [Qt.Key_Down, Qt.Key_Down, Qt.Key_Up], index: 1, open: false, activated: 0, enter: 0 },
                { tag: "Space opens the list", keys: [Qt.Key_Space], index: 1, open: true, activated: 0, enter: 0 },
                { tag: "Space again keeps the highlighted row without activated", keys: [Qt.Key_Space, Qt.Key_Down, Qt.Key_Space], index: 2, open: false, activated: 0, enter: 0 },
                { tag: "Enter in the open list keeps the highlighted row and activates", keys: [Qt.Key_Space, Qt.Key_Down, Qt.Key_Down, Qt.Key_Enter], index: 3, open: false, activated: 1, enter: 0 },
                { tag: "Return with the list closed is enterPressed", keys: [Qt.Key_Return], index: 1, open: false, activated: 0, enter: 1 },
                { tag: "Down stops at the last row", keys: [Qt.Key_Space, Qt.Key_Down, Qt.Key_Down, Qt.Key_Down, Qt.Key_Down, Qt.Key_Return], index: 3, open: false, activated: 1, enter: 0 },
                { tag: "Up stops at the first row", keys: [Qt.Key_Space, Qt.Key_Up, Qt.Key_Up, Qt.Key_Up, Qt.Key_Return], index: 0, open: false, activated: 1, enter: 0 },
            ]
        }
        function test_keys(data) {
            var box = openBox({ currentIndex: 1 })
            for (var i = 0; i < data.keys.length; ++i)
                keyClick(data.keys[i])
            compare(box.currentIndex, data.index)
            compare(box.choices.visible, data.open)
            compare(activatedSpy.count, data.activated)
            compare(enterSpy.count, data.enter)
            if (data.activated > 0)
                compare(activatedSpy.signalArguments[0][0], data.index)
        }

        function test_click_on_a_row_selects_it_and_activates() {
            var box = openBox()
            keyClick(Qt.Key_Space)
            tryCompare(box.choices, "opened", true)
            waitForListLayout(box)
            var row = box.choices.contentItem.itemAtIndex(2)
            verify(row)
            mouseClick(row)
            compare(box.currentIndex, 2)
            compare(activatedSpy.count, 1)
            compare(activatedSpy.signalArguments[0][0], 2)
            tryCompare(box.choices, "visible", false)
        }

        function test_setting_the_index_does_not_activate() {
            var box = openBox()
            box.currentIndex = 3
            compare(activatedSpy.count, 0)
            compare(box.displayText, "Four")
        }

        function test_list_near_the_bottom_of_the_window_ends_at_its_bottom_edge() {
            var box = openBox({ y: root.Window.height - 40 })
            keyClick(Qt.Key_Space)
            tryCompare(box.choices, "opened", true)
            var bottom = box.choices.contentItem.mapToItem(null, 0, 0).y - box.choices.topPadding + box.choices.height
            fuzzyCompare(bottom, root.Window.height, 0.5)
        }

        function test_list_below_the_box_when_it_fits() {
            var box = openBox()
            keyClick(Qt.Key_Space)
            tryCompare(box.choices, "opened", true)
            compare(box.choices.y, box.height)
        }

        function test_row_text_by_model_kind_data() {
            return [
                { tag: "strings without a text role", model: ["a", "b"], textRole: "", text: "b" },
                { tag: "objects with a text role", model: [{ bar: "1" }, { bar: "2" }], textRole: "bar", text: "2" },
                { tag: "strings with a text role", model: ["x", "y"], textRole: "bar", text: "y" },
            ]
        }
        function test_row_text_by_model_kind(data) {
            var box = openBox({ model: data.model, textRole: data.textRole })
            keyClick(Qt.Key_Space)
            tryCompare(box.choices, "opened", true)
            var row = box.choices.contentItem.itemAtIndex(1)
            compare(row.rowLabel, data.text)
        }

        function test_drag_thumb_hidden_when_all_rows_fit_and_scrolls_otherwise() {
            var few = openBox()
            keyClick(Qt.Key_Space)
            tryCompare(few.choices, "opened", true)
            verify(!findChild(few.choices.contentItem, "dragThumb").visible)
            keyClick(Qt.Key_Escape)

            var rows = []
            for (var i = 0; i < 40; ++i)
                rows.push("Row " + i)
            var many = openBox({ model: rows })
            keyClick(Qt.Key_Space)
            tryCompare(many.choices, "opened", true)
            waitForListLayout(many)
            var list = many.choices.contentItem
            var thumb = findChild(list, "dragThumb")
            verify(thumb.visible)
            mouseDrag(thumb, thumb.width / 2, 2, 0, list.height, Qt.LeftButton)
            fuzzyCompare(list.contentY - list.originY, list.contentHeight - list.height, 1)
        }
    }

    TestCase {
        name: "CustomSpinBox"
        when: windowShown

        function test_range_and_infinite_data() {
            return [
                { tag: "value above the range", props: { intValue: 150 }, text: "99", value: 99, minus: true, plus: false },
                { tag: "value at from", props: { intValue: 0 }, text: "0", value: 0, minus: false, plus: true },
                { tag: "value below from", props: { intValue: -5 }, text: "0", value: 0, minus: false, plus: true },
                { tag: "one below from with infinite", props: { from: 1, underflowWithInfinite: true, intValue: 0 }, text: "Infinite", value: 0, minus: false, plus: true },
                { tag: "from with infinite", props: { from: 1, underflowWithInfinite: true, intValue: 1 }, text: "1", value: 1, minus: true, plus: true },
            ]
        }
        function test_range_and_infinite(data) {
            var box = createTemporaryObject(spinBox, root, data.props)
            compare(box.value, data.text)
            compare(box.intValue, data.value)
            compare(findChild(box, "decrementButton").enabled, data.minus)
            compare(findChild(box, "incrementButton").enabled, data.plus)
        }

        function test_minus_from_from_shows_infinite() {
            var box = createTemporaryObject(spinBox, root, { from: 1, underflowWithInfinite: true, intValue: 1 })
            mouseClick(findChild(box, "decrementButton"))
            compare(box.value, "Infinite")
            compare(box.intValue, 0)
            verify(!findChild(box, "decrementButton").enabled)
        }

        function test_typed_text_data() {
            return [
                { tag: "leading digits", props: {}, typed: "7x", text: "7", value: 7 },
                { tag: "clamped to to", props: {}, typed: "250", text: "99", value: 99 },
                { tag: "not a number restores the value", props: { intValue: 4 }, typed: "abc", text: "4", value: 4 },
                { tag: "not a number with infinite", props: { from: 1, underflowWithInfinite: true, intValue: 4 }, typed: "abc", text: "Infinite", value: 0 },
            ]
        }
        function test_typed_text(data) {
            var box = createTemporaryObject(spinBox, root, data.props)
            box.value = data.typed
            box.validateInput()
            compare(box.value, data.text)
            compare(box.intValue, data.value)
        }
    }

    TestCase {
        name: "RecessedSpinBox"
        when: windowShown

        function test_default_value_data() {
            return [
                { tag: "infinite", props: { from: 2 }, text: "\u221e", value: 2, minus: false },
                { tag: "number", props: { defaultValue: 5 }, text: "5", value: 5, minus: true },
            ]
        }
        function test_default_value(data) {
            var box = createTemporaryObject(recessedSpinBox, root, data.props)
            compare(box.value, data.text)
            compare(box.intValue, data.value)
            compare(box.decrementButton.enabled, data.minus)
        }

        function test_buttons_only_signal() {
            var box = createTemporaryObject(recessedSpinBox, root, { defaultValue: 5 })
            activatedSpy.clear(); activatedSpy.target = box; activatedSpy.signalName = "incrementValue"
            mouseClick(box.incrementButton)
            compare(activatedSpy.count, 1)
            compare(box.intValue, 5)
            box.intValue = 99
            verify(!box.incrementButton.enabled)
            activatedSpy.signalName = "activated"
        }
    }

    TestCase {
        name: "BrixCustomSlider"
        when: windowShown

        function test_arrow_keys_data() {
            return [
                { tag: "default step reaches the end", comp: slider, value: 0.1, key: Qt.Key_Right, expected: 1 },
                { tag: "default step reaches the start", comp: slider, value: 0.9, key: Qt.Key_Left, expected: 0 },
                { tag: "volume steps off the mark upwards", comp: volumeSlider, value: 0.7866278611, key: Qt.Key_Right, expected: 0.7966278611 },
                { tag: "volume steps off the mark downwards", comp: volumeSlider, value: 0.7866278611, key: Qt.Key_Left, expected: 0.7766278611 },
            ]
        }
        function test_arrow_keys(data) {
            var control = createTemporaryObject(data.comp, root, { value: data.value })
            movedSpy.clear(); movedSpy.target = control
            control.forceActiveFocus()
            keyClick(data.key)
            fuzzyCompare(control.value, data.expected, 1e-9)
            compare(movedSpy.count, 1)
        }

        function test_mouse_snaps_to_the_mark_data() {
            return [ { tag: "within tolerance", target: 0.52, expected: 0.5 },
                     { tag: "outside tolerance", target: 0.54, expected: 0.54 } ]
        }
        function test_mouse_snaps_to_the_mark(data) {
            var control = createTemporaryObject(slider, root, { value: 0.1 })
            var handle = control.handle
            var xFor = function (v) { return control.leftPadding + v * (control.availableWidth - handle.width) + handle.width / 2 }
            var y = control.height / 2
            mousePress(control, xFor(0.1), y)
            mouseMove(control, xFor(0.3), y)
            mouseMove(control, xFor(data.target), y)
            mouseRelease(control, xFor(data.target), y)
            fuzzyCompare(control.value, data.expected, 0.004)
        }

        function test_alt_right_click_resets_data() {
            return [ { tag: "to the mark", comp: volumeSlider, props: {}, expected: 0.7866278611 },
                     { tag: "to 0 without a mark", comp: slider, props: { showZeroMark: false }, expected: 0 } ]
        }
        function test_alt_right_click_resets(data) {
            var control = createTemporaryObject(data.comp, root, data.props)
            control.value = 0.95
            mouseClick(control, control.width / 2, control.height / 2, Qt.RightButton, Qt.AltModifier)
            compare(control.value, data.expected)
        }

        function test_value_entry_data() {
            return [
                { tag: "a number is taken", comp: slider, typed: "0.25", expected: 0.25, moved: 1 },
                { tag: "a number near the mark snaps", comp: slider, typed: "0.51", expected: 0.5, moved: 1 },
                { tag: "decibels with their unit", comp: volumeSlider, typed: "-6 dB", expected: Math.exp(-6 / 25), moved: 1 },
                { tag: "text that is not a number keeps the value", comp: volumeSlider, typed: "loud", expected: 0.3, moved: 0 },
                { tag: "an empty entry keeps the value", comp: slider, typed: "", expected: 0.3, moved: 0 },
            ]
        }
        function test_value_entry(data) {
            var control = createTemporaryObject(data.comp, root, { value: 0.3 })
            movedSpy.clear(); movedSpy.target = control
            mouseClick(control, control.width / 2, control.height / 2, Qt.RightButton)
            var popup = findChild(control, "entryPopup")
            tryCompare(popup, "opened", true)
            var field = findChild(popup.contentItem, "entryField")
            compare(field.text, control.customDisplayFunction(0.3))
            field.text = data.typed
            keyClick(Qt.Key_Return)
            tryCompare(popup, "visible", false)
            fuzzyCompare(control.value, data.expected, 1e-9)
            compare(movedSpy.count, data.moved)
        }
    }

    TestCase {
        name: "RecessedTextInput"
        when: windowShown

        function test_context_menu_by_editable_and_selection() {
            var input = createTemporaryObject(textInput, root)
            var menu = findChild(input, "contextMenu")
            input.field.deselect()
            mouseClick(input, 20, input.height / 2, Qt.RightButton)
            tryCompare(menu, "opened", true)
            verify(!menu.itemAt(0).enabled, "Copy without a selection")
            verify(!menu.itemAt(1).enabled, "Cut without a selection")
            verify(menu.itemAt(2).enabled, "Paste")
            menu.close()
            tryCompare(menu, "visible", false)
            input.field.selectAll()
            mouseClick(input, 20, input.height / 2, Qt.RightButton)
            tryCompare(menu, "opened", true)
            verify(menu.itemAt(0).enabled, "Copy with a selection")
            verify(menu.itemAt(1).enabled, "Cut with a selection")
            menu.close()
            tryCompare(menu, "visible", false)

            input.editable = false
            mouseClick(input, 20, input.height / 2, Qt.RightButton)
            verify(!menu.visible, "no menu when not editable")
            verify(!input.field.enabled)
        }

        function test_focus_passes_to_the_field_and_selects_all() {
            var input = createTemporaryObject(textInput, root)
            input.forceActiveFocus()
            verify(input.field.activeFocus)
            compare(input.field.selectedText, "hello")
        }
    }
}
