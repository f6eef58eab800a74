import QtQuick
import com.fernwhistlestudios.brix_ui

// Draggable divider between column headers; dragging sets `desiredWidth`, which the owner reads to
// size the column. Its line is as high as the item named `statusLabel` in scope where it is placed.
Item {
    id: root

    property var controlToLeft: null
    property var controlToFarLeft: null
    property int colSpacing: 3
    property int minWidth: 40
    property int desiredWidth: 40

    // Width of the column for the divider's present position, kept between `minWidth` and 1024.
    function widthAtPosition() {
        var farLeftEnd = controlToFarLeft ? controlToFarLeft.x + controlToFarLeft.width : 0
        var width = x - farLeftEnd - colSpacing + 1
        return Math.max(minWidth, Math.min(1024, width))
    }

    BrixTheme { id: theme }

    x: controlToLeft ? controlToLeft.x + controlToLeft.width + colSpacing : 0
    y: 0
    width: 8
    height: statusLabel.height

    Rectangle {
        objectName: "line"
        y: 2
        width: 2
        height: statusLabel.height - 4
        color: theme.bevel_light_color
    }

    MouseArea {
        id: dragArea
        anchors.fill: parent
        cursorShape: Qt.SizeHorCursor
        drag.target: root
        drag.axis: Drag.XAxis
        onPositionChanged: {
            if (drag.active)
                root.desiredWidth = root.widthAtPosition()
        }
        onReleased: root.desiredWidth = root.widthAtPosition()
    }
}
