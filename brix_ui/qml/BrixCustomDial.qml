import QtQuick
import QtQuick.Controls

// Pan dial from L (−1) to R (1) with a centre mark that moves snap to.
Dial {
    id: control

    property real zeroMark: 0
    property bool showZeroMark: true
    property real snapTolerance: 0.05
    property bool ctrlPressed: false
    property string barFillColor: "#26a5de"

    readonly property real faceDiameter: Math.max(10, Math.min(width, height))

    from: -1
    to: 1
    value: 0.0
    width: 25
    height: 25
    inputMode: Dial.Horizontal

    onMoved: {
        if (showZeroMark && Math.abs(value - zeroMark) / (to - from) < snapTolerance)
            value = zeroMark
    }

    background: Item {
        Rectangle {
            objectName: "zeroMark"
            visible: control.showZeroMark && control.zeroMark === 0
            x: control.width / 2 - width / 2
            y: control.height / 2 - height
            width: 3
            height: control.faceDiameter
            radius: 1
            color: "lime"
        }
        Rectangle {
            objectName: "face"
            x: (control.width - width) / 2
            y: (control.height - height) / 2
            width: control.faceDiameter
            height: control.faceDiameter
            radius: width / 2
            color: control.pressed || control.hovered ? Qt.lighter("#69696a", 1.3) : "#69696a"
            opacity: control.enabled ? 1.0 : 0.3

            Rectangle {
                anchors.fill: parent
                visible: control.ctrlPressed
                color: "blue"
            }
        }
        Text {
            x: 0
            y: control.height - height / 2
            text: "L"
            font.pixelSize: 7
            color: "white"
        }
        Text {
            x: control.width - width
            y: control.height - height / 2
            text: "R"
            font.pixelSize: 7
            color: "white"
        }
    }

    handle: Rectangle {
        objectName: "pointer"
        x: control.width / 2 - width / 2
        y: control.height / 2 - control.faceDiameter / 2
        width: 2
        height: Math.min(control.width, control.height) / 4
        color: "#2d2d2d"
        antialiasing: true
        transform: Rotation {
            origin.x: 1
            origin.y: control.faceDiameter / 2
            angle: control.angle
        }
    }
}
