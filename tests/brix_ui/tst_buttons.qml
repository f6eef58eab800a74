import QtQuick
import QtQuick.Controls
import QtTest
import com.fernwhistlestudios.brix_ui

Item {
    id: root
    width: 500
    height: 300

    BrixTheme { id: theme }

    Component { id: flatButton; FlatButton { x: 10; y: 10; text: "Button" } }
    Component { id: bubbleButton; BubbleButton { x: 10; y: 10 } }
    Component { id: graphicButton; GraphicButton { x: 10; y: 10; text: "Cut" } }
    Component {
        id: tabBar
        CustomTabBar {
            width: 400
            CustomTabButton { text: "One" }
            CustomTabButton { text: "Two" }
        }
    }
    Component {
        id: modeTabs
        TabBar {
            ModeTabButton { text: "Play" }
            ModeTabButton { text: "Edit" }
        }
    }
    SignalSpy { id: spy }
    SignalSpy { id: secondSpy }

    TestCase {
        name: "FlatButton"
        when: windowShown

        function test_colour_by_kind_and_state_data() {
            return [
                { tag: "plain", props: {}, expected: "#525252" },
                { tag: "default", props: { isDefault: true }, expected: "#26a5de" },
                { tag: "cancel", props: { isCancel: true }, expected: "#de2926" },
                { tag: "default and cancel", props: { isDefault: true, isCancel: true }, expected: "#26a5de" },
                { tag: "disabled default", props: { isDefault: true, enabled: false }, expected: Qt.lighter("#525252", 0.8) },
                { tag: "disabled cancel", props: { isCancel: true, enabled: false }, expected: Qt.lighter("#525252", 0.8) },
            ]
        }
        function test_colour_by_kind_and_state(data) {
            var button = createTemporaryObject(flatButton, root, data.props)
            verify(Qt.colorEqual(button.background.color, data.expected), button.background.color + " is not " + data.expected)
        }

        function test_hover_focus_and_press_colours_only_when_enabled_data() {
            return [
                { tag: "enabled", enabled: true },
                { tag: "disabled", enabled: false },
            ]
        }
        function test_hover_focus_and_press_colours_only_when_enabled(data) {
            var button = createTemporaryObject(flatButton, root, { isDefault: true, enabled: data.enabled })
            mouseMove(button, button.width / 2, button.height / 2)
            tryCompare(button, "hovered", true)
            compare(button.background.color, data.enabled ? button.hoverColor : button.backgroundColorToUse)
            mousePress(button)
            compare(button.background.color, data.enabled ? button.activeColor : button.backgroundColorToUse)
            mouseRelease(button)
            mouseMove(root, root.width - 1, root.height - 1)
            button.forceActiveFocus()
            compare(button.background.color, data.enabled ? button.hoverColor : button.backgroundColorToUse)
        }

        function test_size_follows_high_visibility_mode() {
            var button = createTemporaryObject(flatButton, root)
            compare(button.implicitHeight, 25)
            compare(button.implicitWidth, button.implicitContentWidth + 25)
            button.highVisMode = true
            compare(button.implicitHeight, 35)
            compare(button.implicitWidth, button.implicitContentWidth + 35)
        }

        function test_caption_colour_by_state() {
            var button = createTemporaryObject(flatButton, root)
            var caption = findChild(button, "caption")
            compare(caption.color, Qt.color("white"))
            mousePress(button)
            compare(caption.color, Qt.color("silver"))
            mouseRelease(button)
            button.enabled = false
            compare(caption.color, Qt.color("white"))
            compare(caption.opacity, 0.3)
        }

        function test_image_source_sets_has_image_source() {
            var button = createTemporaryObject(flatButton, root)
            verify(!button.hasImageSource)
            button.imageSource = "qrc:/images/test_icon.svg"
            verify(button.hasImageSource)
        }
    }

    TestCase {
        name: "BubbleButton"
        when: windowShown

        function test_holding_emits_short_press_and_hold_then_click_on_release() {
            var button = createTemporaryObject(bubbleButton, root)
            spy.clear(); spy.target = button; spy.signalName = "shortPressAndHold"
            secondSpy.clear(); secondSpy.target = button; secondSpy.signalName = "clicked"
            mousePress(button)
            spy.wait(3000)
            compare(secondSpy.count, 0)
            mouseRelease(button)
            compare(secondSpy.count, 1)
            compare(spy.count, 1)
        }

        function test_short_click_does_not_emit_short_press_and_hold() {
            var button = createTemporaryObject(bubbleButton, root, { shortPressAndHoldDelay: 60000 })
            spy.clear(); spy.target = button; spy.signalName = "shortPressAndHold"
            mouseClick(button)
            compare(spy.count, 0)
        }

        function test_return_emits_clicked() {
            var button = createTemporaryObject(bubbleButton, root)
            spy.clear(); spy.target = button; spy.signalName = "clicked"
            button.forceActiveFocus()
            keyClick(Qt.Key_Return)
            compare(spy.count, 1)
        }

        function test_icon_source_by_toggled_state_data() {
            return [
                { tag: "off", toggled: false, onSource: "qrc:/images/arrow_drop_down.svg", expected: "qrc:/images/test_icon.svg" },
                { tag: "on with its own icon", toggled: true, onSource: "qrc:/images/arrow_drop_down.svg", expected: "qrc:/images/arrow_drop_down.svg" },
                { tag: "on without its own icon", toggled: true, onSource: undefined, expected: "qrc:/images/test_icon.svg" },
            ]
        }
        function test_icon_source_by_toggled_state(data) {
            var button = createTemporaryObject(bubbleButton, root, {
                imageSource: "qrc:/images/test_icon.svg", toggledOnImageSource: data.onSource, toggled: data.toggled })
            compare(findChild(button, "icon").source.toString(), data.expected)
        }

        function test_icon_moves_and_dims_while_pressed() {
            var button = createTemporaryObject(bubbleButton, root, { imageSource: "qrc:/images/test_icon.svg" })
            var icon = findChild(button, "icon")
            compare(icon.opacity, 1.0)
            mousePress(button)
            compare(icon.x, 2)
            compare(icon.y, 4)
            compare(icon.opacity, 0.5)
            mouseRelease(button)
            compare(icon.x, 0)
        }
    }

    TestCase {
        name: "GraphicButton"
        when: windowShown

        function test_height_by_icon_data() {
            return [
                { tag: "icon shown", props: { imageSource: "qrc:/images/test_icon.svg" }, height: 42 },
                { tag: "icon hidden", props: { imageSource: "qrc:/images/test_icon.svg", showImage: false }, height: 18 },
                { tag: "no icon", props: { showImage: true }, height: 18 },
            ]
        }
        function test_height_by_icon(data) {
            var button = createTemporaryObject(graphicButton, root, data.props)
            compare(button.height, data.height)
            compare(button.width, 64)
        }

        function test_click_and_return_emit_clicked() {
            var button = createTemporaryObject(graphicButton, root)
            spy.clear(); spy.target = button; spy.signalName = "clicked"
            mouseClick(button)
            compare(spy.count, 1)
            findChild(button, "button").forceActiveFocus()
            keyClick(Qt.Key_Return)
            compare(spy.count, 2)
        }

        function test_caption_colour_by_state() {
            var button = createTemporaryObject(graphicButton, root)
            var caption = findChild(button, "caption")
            compare(caption.color, Qt.color("silver"))
            mouseMove(button, 5, 5)
            tryCompare(caption, "color", Qt.color("white"))
            button.enabled = false
            compare(caption.color, Qt.color("#666666"))
        }
    }

    TestCase {
        name: "Tabs"
        when: windowShown

        function test_tab_bar_with_fewer_tabs_than_its_default_index_has_no_current_tab() {
            var bar = createTemporaryObject(tabBar, root)
            compare(bar.currentIndex, 4)
            compare(bar.currentTab, null)
            compare(findChild(bar, "rightEdge").width, 0)
        }

        function test_bottom_edge_leaves_the_current_tab_open_data() {
            return [ { tag: "first", index: 0 }, { tag: "second", index: 1 } ]
        }
        function test_bottom_edge_leaves_the_current_tab_open(data) {
            var bar = createTemporaryObject(tabBar, root)
            bar.currentIndex = data.index
            var tab = bar.currentTab
            var tabBarItem = findChild(bar, "tabBar")
            compare(findChild(bar, "leftEdge").width, tab.x)
            compare(findChild(bar, "rightEdge").x, tab.x + tab.width)
            compare(findChild(bar, "rightEdge").width, tabBarItem.contentWidth + 1 - tab.x - tab.width)
            if (data.index === 0)
                compare(findChild(bar, "leftEdge").width, 0)
        }

        function test_selected_tab_colours_data() {
            return [ { tag: "selected", index: 0, caption: theme.tab_selected_text_color, bold: true },
                     { tag: "not selected", index: 1, caption: theme.default_text_header_color, bold: false } ]
        }
        function test_selected_tab_colours(data) {
            var bar = createTemporaryObject(tabBar, root, { currentIndex: 0 })
            var tab = findChild(bar, "tabBar").itemAt(data.index)
            compare(tab.isSelected, data.index === 0)
            compare(findChild(tab, "caption").color, data.caption)
            compare(tab.font.bold, data.bold)
            compare(findChild(tab, "background").color, data.index === 0 ? theme.default_bg_color : theme.default_bg_unselected_color)
        }

        function test_mode_tab_caption_colour_by_state() {
            var bar = createTemporaryObject(modeTabs, root, { currentIndex: 0 })
            compare(findChild(bar.itemAt(0), "caption").color, Qt.color("white"))
            compare(findChild(bar.itemAt(1), "caption").color, Qt.color("gray"))
            bar.itemAt(1).enabled = false
            compare(findChild(bar.itemAt(1), "caption").color, Qt.color("dimgray"))
            verify(findChild(bar.itemAt(0), "topLine").visible)
            verify(!findChild(bar.itemAt(1), "topLine").visible)
        }
    }
}
