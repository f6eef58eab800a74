import QtQuick

// A change-log region of a timeline row: position and width in unscaled pixels, drawn at viewScale.
// The body drags along the row and the 3-pixel handles at its ends resize it (only when editable); a
// release reports the new bounds in unscaled pixels.
Rectangle {
    id: region

    property real basePosition: 0
    property real baseWidth: 0
    property real viewScale: 1.0
    property color baseColor: "#cccccc"
    property bool editable: false
    property bool selected: false

    signal clicked()
    signal doubleClicked()
    signal dragged(int start, int end, bool adjustLeft, bool adjustRight)

    function basePositionSet(position: int) { basePosition = position }
    function viewScaleSet(scale: double) { viewScale = scale }

    // The drawn bounds follow the base values except while the operator drags.
    property bool dragging: false
    x: dragging ? x : basePosition * viewScale
    width: dragging ? width : Math.max(1, baseWidth * viewScale)
    height: parent ? parent.height : 16
    z: x
    opacity: 0.7
    radius: 3
    color: body.containsMouse ? Qt.lighter(baseColor, 1.3) : baseColor
    border.color: Qt.lighter(color, 1.1)

    Rectangle {
        objectName: "selectionFrame"
        anchors.fill: parent
        color: "transparent"
        border.color: "white"
        border.width: 1
        radius: parent.radius
        visible: region.selected
    }

    MouseArea {
        id: body
        anchors.fill: parent
        hoverEnabled: true
        acceptedButtons: Qt.LeftButton
        drag.target: region.editable ? region : null
        drag.axis: Drag.XAxis
        drag.threshold: 2
        onPressed: region.dragging = true
        onClicked: region.clicked()
        onDoubleClicked: region.doubleClicked()
        onReleased: {
            const moved = drag.active || region.x !== region.basePosition * region.viewScale
            region.dragging = false
            if (moved && region.editable)
                region.dragged(region.x / region.viewScale, (region.x + region.width) / region.viewScale, false, false)
        }
    }

    MouseArea {
        id: leftHandle
        objectName: "leftHandle"
        width: 3
        height: parent.height
        enabled: region.editable
        cursorShape: Qt.SizeHorCursor
        property real pressX: 0
        onPressed: (mouse) => { pressX = mouse.x; region.dragging = true }
        onPositionChanged: (mouse) => {
            const right = region.x + region.width
            const newX = Math.min(region.x + mouse.x - pressX, right - 3)
            region.width = right - newX
            region.x = newX
        }
        onReleased: {
            region.dragging = false
            const start = region.x / region.viewScale
            const end = (region.x + region.width) / region.viewScale
            region.dragged(Math.min(start, end - 3), end, true, false)
        }
    }

    MouseArea {
        id: rightHandle
        objectName: "rightHandle"
        anchors.right: parent.right
        width: 3
        height: parent.height
        enabled: region.editable
        cursorShape: Qt.SizeHorCursor
        onPressed: region.dragging = true
        onPositionChanged: (mouse) => { region.width = Math.max(leftHandle.width, region.width + mouse.x - width / 2) }
        onReleased: {
            region.dragging = false
            const start = region.x / region.viewScale
            const end = (region.x + region.width) / region.viewScale
            region.dragged(start, Math.max(end, start + 3), false, true)
        }
    }
}
