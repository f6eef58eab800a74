import QtQuick
import com.fernwhistlestudios.brix_ui
import QtQuick.Controls
import Qt5Compat.GraphicalEffects

// Small icon-and-caption button of the editor tool bar. Reads the BrixTheme named `theme` in scope
// where it is placed.
Item {
    id: root

    property alias text: button.text
    property alias imageSource: icon.source
    property alias imageWidth: icon.width
    property alias imageHeight: icon.height
    property alias imageSourceSize: icon.sourceSize
    property bool showImage: true
    property bool hasImageSource: icon.source.toString() !== ""
    property int offsetSize: 2
    property alias toolTip: tip
    property int preferredWidth: 18
    property int preferredHeight: 18

    signal clicked()

    width: 64
    height: showImage && hasImageSource ? 42 : 18

    DropShadow {
        objectName: "shadow"
        anchors.fill: button
        source: button
        horizontalOffset: button.pressed ? 0 : root.offsetSize
        verticalOffset: button.pressed ? 0 : root.offsetSize
        radius: 8
        spread: 0
        samples: 16
        color: "#66000000"
        transparentBorder: true
    }

    Button {
        id: button
        objectName: "button"
        x: pressed ? root.offsetSize : 0
        y: pressed ? root.offsetSize : 0
        width: root.width
        height: root.height
        padding: 0
        focusPolicy: Qt.TabFocus

        onClicked: root.clicked()
        Keys.onReturnPressed: root.clicked()

        contentItem: Column {
            Image {
                id: icon
                anchors.horizontalCenter: parent.horizontalCenter
                width: 18
                height: 18
                visible: root.showImage && root.hasImageSource
                fillMode: Image.PreserveAspectFit
                smooth: true
                clip: true
                opacity: button.enabled ? 1.0 : 0.3
            }
            Text {
                objectName: "caption"
                width: parent.width
                height: icon.visible ? parent.height - icon.height : parent.height
                text: button.text
                font.pixelSize: 9
                horizontalAlignment: Text.AlignHCenter
                verticalAlignment: Text.AlignVCenter
                color: !button.enabled ? "#666666" : (button.hovered ? "white" : "silver")
            }
        }

        background: Rectangle {
            color: !button.enabled ? Qt.lighter(theme.default_bg_color, 1.35)
                 : (button.pressed || button.hovered) ? Qt.lighter(theme.default_bg_color, 1.3)
                 : theme.default_bg_color

            FocusHighlight {
                visible: button.activeFocus
            }
            BasicBevel {
                bevel_width: 1
            }
        }

        BrixToolTip {
            id: tip
            delay: 500
            visible: button.hovered && text !== ""
        }
    }
}
