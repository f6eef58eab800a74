import QtQuick
import QtTest
import com.fernwhistlestudios.brix_ui

// Effects draw nothing on the offscreen platform; these checks run under Xvfb with Mesa.
Item {
    id: root
    width: 300
    height: 200

    BrixTheme { id: theme }

    Rectangle { anchors.fill: parent; color: "#808080" }

    Component { id: bubbleButton; BubbleButton { x: 20; y: 20; imageSource: "qrc:/images/test_icon.svg" } }
    Component { id: graphicButton; GraphicButton { x: 20; y: 20; text: "Cut" } }

    TestCase {
        name: "Effects"
        when: windowShown

        function colourAt(item, x, y) {
            waitForRendering(item)
            var image = grabImage(root)
            var point = item.mapToItem(root, x, y)
            return image.pixel(Math.round(point.x), Math.round(point.y))
        }

        function test_tints_by_state_data() {
            // A point on the face beside the icon, and the centre of the (white) icon.
            return [
                { tag: "radiant face glows blue", props: { radiant: true }, x: 4, y: 26, blue: true },
                { tag: "plain face stays grey", props: {}, x: 4, y: 26, blue: false },
                { tag: "disabled radiant face stays grey", props: { radiant: true, enabled: false }, x: 4, y: 26, blue: false },
                { tag: "toggled icon is tinted blue", props: { toggled: true, colorToggledOn: true }, x: 26, y: 26, blue: true },
                { tag: "toggled icon without tint stays white", props: { toggled: true }, x: 26, y: 26, blue: false },
            ]
        }
        function test_tints_by_state(data) {
            var button = createTemporaryObject(bubbleButton, root, data.props)
            var colour = colourAt(button, data.x, data.y)
            var tinted = colour.b > colour.r + 0.1
            compare(tinted, data.blue, "colour " + colour)
        }

        function test_graphic_button_casts_a_shadow_down_and_right() {
            var button = createTemporaryObject(graphicButton, root)
            var below = colourAt(button, button.width / 2, button.height + 1)
            var above = colourAt(button, button.width / 2, -2)
            verify(below.r < above.r - 0.05, "shadow " + below + " against " + above)
        }
    }
}
