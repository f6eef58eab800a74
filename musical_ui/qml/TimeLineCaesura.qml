import QtQuick

// A caesura mark on the edits row; drags along the row when editable.
Item {
    id: caesura

    property real basePosition: 0
    property real viewScale: 1.0
    property bool editable: false
    property bool selected: false
    property bool dragging: false

    signal clicked()
    signal doubleClicked()
    signal dragged(int start, int end)

    width: 11
    height: 16
    x: dragging ? x : viewScale * basePosition
    z: x

    Rectangle {
        anchors.fill: parent
        color: "transparent"
        border.color: "white"
        visible: caesura.selected
    }
    Image {
        x: 1
        y: 3
        width: 10
        height: 10
        sourceSize: Qt.size(10, 10)
        source: "qrc:/images/caesura.svg"
    }
    MouseArea {
        anchors.fill: parent
        enabled: caesura.editable
        drag.target: caesura
        drag.axis: Drag.XAxis
        drag.threshold: 2
        onPressed: caesura.dragging = true
        onClicked: caesura.clicked()
        onDoubleClicked: caesura.doubleClicked()
        onReleased: {
            const moved = drag.active
            caesura.dragging = false
            if (moved)
                caesura.dragged(caesura.x / caesura.viewScale, (caesura.x + caesura.width) / caesura.viewScale)
        }
    }
}
