import QtQuick
import QtTest
import com.fernwhistlestudios.brix_ui

Item {
    id: root
    width: 500
    height: 400

    BrixTheme { id: theme }

    BrixCustomMenu { id: menu }
    ListModel {
        id: pairs
        ListElement { first: "Stage Left"; second: "10.0.0.1" }
        ListElement { first: "Stage Right"; second: "10.0.0.2" }
        ListElement { first: "Booth"; second: "10.0.0.3" }
    }
    Component { id: twoColumns; CustomTwoColumnListView { x: 10; y: 10; width: 300; height: 120; model: pairs } }
    Component { id: meter; VolumeIndicatorSegmented { width: 240 } }
    Component {
        id: header
        Item {
            property alias divider: divider
            anchors.fill: parent
            Rectangle { id: statusLabel; x: 10; y: 10; width: 80; height: 30 }
            HeaderLabelDrag { id: divider; controlToLeft: statusLabel; controlToFarLeft: statusLabel }
        }
    }

    TestCase {
        name: "BrixCustomMenu"

        function test_shortcut_text_by_platform_data() {
            return [
                { tag: "windows command key", platform: "windows", shortcut: "cmd+shift+z", text: "INVALID+Shift+Z" },
                { tag: "windows blank and right", platform: "Windows", shortcut: "ctrl+ ", text: "Ctrl+Space" },
                { tag: "windows right arrow", platform: "windows", shortcut: "Alt+Right", text: "Alt+Right Arrow" },
                { tag: "windows backspace", platform: "windows", shortcut: "Ctrl+Backspace", text: "Ctrl+Backspace" },
                { tag: "macos command and letter", platform: "osx", shortcut: "Cmd+S", text: "\u2318S" },
                { tag: "macos command and shift", platform: "macos", shortcut: "cmd+shift+z", text: "\u2318\u21e7Z" },
                { tag: "macos control, alt and backspace", platform: "osx", shortcut: "ctrl+alt+backspace", text: "^\u2325\u232b" },
                { tag: "macos right", platform: "osx", shortcut: "cmd+right", text: "\u2318\u25b6" },
                { tag: "linux unchanged", platform: "linux", shortcut: "Ctrl+S", text: "Ctrl+S" },
                { tag: "empty", platform: "windows", shortcut: "", text: "" },
            ]
        }
        function test_shortcut_text_by_platform(data) {
            compare(menu.formatShortCutForPlatform(data.shortcut, data.platform), data.text)
        }

        function test_native_shortcut_text_uses_this_platform() {
            compare(menu.formatShortCutAsNativeString("Ctrl+S"), menu.formatShortCutForPlatform("Ctrl+S", Qt.platform.os))
        }
    }

    TestCase {
        name: "CustomTwoColumnListView"
        when: windowShown

        function test_arrow_keys_stop_at_the_ends_data() {
            return [
                { tag: "Down on the last row", start: 2, key: Qt.Key_Down, expected: 2 },
                { tag: "Up on the first row", start: 0, key: Qt.Key_Up, expected: 0 },
                { tag: "Down in the middle", start: 0, key: Qt.Key_Down, expected: 1 },
                { tag: "Up in the middle", start: 2, key: Qt.Key_Up, expected: 1 },
            ]
        }
        function test_arrow_keys_stop_at_the_ends(data) {
            var list = createTemporaryObject(twoColumns, root, { currentIndex: data.start })
            list.forceActiveFocus()
            keyClick(data.key)
            compare(list.currentIndex, data.expected)
        }

        function test_click_makes_a_row_current_and_focuses_the_list() {
            var list = createTemporaryObject(twoColumns, root, { currentIndex: 0 })
            verify(!list.activeFocus)
            mouseClick(list, 50, list.rowHeight * 2 + 5)
            compare(list.currentIndex, 2)
            verify(list.activeFocus)
        }
    }

    TestCase {
        name: "VolumeIndicatorSegmented"
        when: windowShown

        function litWidths(indicator) {
            var repeater = findChild(indicator, "segmentRepeater")
            var widths = []
            for (var i = 0; i < repeater.count; ++i) {
                var lit = findChild(repeater.itemAt(i), "lit")
                widths.push(lit.visible ? lit.width : 0)
            }
            return { widths: widths, segmentWidth: repeater.itemAt(0).width }
        }

        function test_level_mapping_data() {
            return [
                { tag: "silence", value: 0, full: 0, partial: false, text: "-\u221e dB" },
                { tag: "below silence", value: -0.5, full: 0, partial: false, text: "-\u221e dB" },
                { tag: "-6 dB", value: 0.5, full: 6, partial: true, text: "-6 dB" },
                { tag: "0 dB", value: 1.0, full: 8, partial: false, text: "0 dB" },
                { tag: "-20 dB", value: 0.1, full: 3, partial: true, text: "-20 dB" },
            ]
        }
        function test_level_mapping(data) {
            var indicator = createTemporaryObject(meter, root, { value: data.value })
            var lit = litWidths(indicator)
            for (var i = 0; i < 8; ++i) {
                if (i < data.full)
                    compare(lit.widths[i], lit.segmentWidth, "segment " + i + " fully lit")
                else if (i === data.full && data.partial)
                    verify(lit.widths[i] > 0 && lit.widths[i] < lit.segmentWidth, "segment " + i + " partly lit")
                else
                    compare(lit.widths[i], 0, "segment " + i + " dark")
            }
            compare(findChild(indicator, "levelText").text, data.text)
        }

        function test_interpolate_color_mixes_each_channel() {
            var indicator = createTemporaryObject(meter, root)
            var mixed = indicator.interpolateColor(Qt.rgba(0, 0.2, 1, 1), Qt.rgba(1, 0.6, 0, 0), 0.25)
            fuzzyCompare(mixed.r, 0.25, 0.005)
            fuzzyCompare(mixed.g, 0.3, 0.005)
            fuzzyCompare(mixed.b, 0.75, 0.005)
            fuzzyCompare(mixed.a, 0.75, 0.005)
        }
    }

    TestCase {
        name: "HeaderLabelDrag"
        when: windowShown

        function test_drag_width_is_limited_data() {
            // The divider starts at 93: the header ends at 90, plus the spacing of 3.
            return [
                { tag: "far right", dx: 1500, expected: function (x) { return 1024 } },
                { tag: "far left", dx: -300, expected: function (x) { return 40 } },
                { tag: "within the limits", dx: 200, expected: function (x) { return x - 90 - 3 + 1 } },
            ]
        }
        function test_drag_width_is_limited(data) {
            var page = createTemporaryObject(header, root)
            var divider = page.divider
            compare(divider.x, 93)
            mousePress(page, 97, 20)
            var steps = 10
            for (var i = 1; i <= steps; ++i)
                mouseMove(page, 97 + data.dx * i / steps, 20)
            var expected = data.expected(divider.x)
            verify(expected >= 40 && expected <= 1024)
            compare(divider.desiredWidth, expected, "while dragging")
            mouseRelease(page, 97 + data.dx, 20)
            compare(divider.desiredWidth, expected, "after release")
        }
    }
}
