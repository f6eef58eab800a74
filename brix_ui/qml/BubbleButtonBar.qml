import QtQuick
import Qt5Compat.GraphicalEffects

// Black strip with a drop shadow that groups the BubbleButtons placed inside it.
Item {
    id: bar

    default property alias contents: row.data
    property int shadowOffsetSize: 2
    property int pad: 0
    property int borderSize: 1

    implicitWidth: row.implicitWidth + pad
    implicitHeight: row.implicitHeight + pad

    DropShadow {
        objectName: "shadow"
        anchors.fill: frame
        source: frame
        horizontalOffset: bar.shadowOffsetSize
        verticalOffset: bar.shadowOffsetSize
        radius: 8
        spread: 0
        samples: 32
        color: "#44000000"
        transparentBorder: true
    }

    Rectangle {
        id: frame
        x: bar.pad / 2
        y: bar.pad / 2
        width: row.implicitWidth + 2 * bar.borderSize
        height: row.implicitHeight + 2 * bar.borderSize
        color: "black"
        border.color: "black"
        border.width: bar.borderSize

        Row {
            id: row
            x: bar.borderSize
            y: bar.borderSize
            spacing: 1
        }
    }
}
