import QtQuick
import QtQuick.Controls
import com.fernwhistlestudios.brix_ui

// A labelled position on a row: change-log markers, and the key, tempo and meter labels. Without room
// for its label (visibleLabel false) it shows a diamond. Its width is always its label's, so that the
// timeline can tell whether the label fits before the next marker.
Item {
    id: marker

    property real basePosition: 0
    property real viewScale: 1.0
    property string labelText: ""
    property bool visibleLabel: true
    property bool editable: false
    property bool selected: false
    property int diamondSize: 8
    property bool dragging: false

    signal clicked()
    signal doubleClicked()
    signal dragged(int start, int end)

    x: dragging ? x : basePosition * viewScale
    z: 16000
    width: label.implicitWidth
    height: visibleLabel ? 20 : diamondSize

    Rectangle {
        id: background
        objectName: "labelBackground"
        visible: marker.visibleLabel
        width: label.implicitWidth
        height: 16
        radius: 2
        // Slightly see-through, so a region under a label still shows.
        color: mouse.containsMouse && marker.editable ? "white" : Qt.rgba(0x40 / 255, 0x40 / 255, 0x40 / 255, 0.8)
        border.color: "#515151"
        Text {
            id: label
            objectName: "label"
            text: marker.labelText + " "
            font.pixelSize: 10
            anchors.verticalCenter: parent.verticalCenter
            color: marker.selected ? "#26A5DE" : (mouse.containsMouse && marker.editable ? "#202020" : "white")
        }
    }
    Rectangle {
        objectName: "diamond"
        visible: !marker.visibleLabel
        x: 1
        y: 2
        width: marker.diamondSize
        height: marker.diamondSize
        rotation: 45
        color: marker.selected ? "#26A5DE" : (mouse.containsMouse ? "white" : "#404040")
        border.color: "#515151"
    }
    MouseArea {
        id: mouse
        width: marker.visibleLabel ? label.implicitWidth : marker.diamondSize + 2
        height: marker.height
        hoverEnabled: true
        acceptedButtons: marker.editable ? Qt.LeftButton : Qt.NoButton
        drag.target: marker.editable ? marker : null
        drag.axis: Drag.XAxis
        drag.threshold: 2
        onPressed: marker.dragging = true
        onClicked: marker.clicked()
        onDoubleClicked: marker.doubleClicked()
        onReleased: {
            const moved = drag.active
            marker.dragging = false
            if (moved)
                marker.dragged(marker.x / marker.viewScale, marker.x / marker.viewScale)
        }
    }
    BrixToolTip {
        delay: 500
        visible: mouse.containsMouse
        text: marker.labelText
    }
}
