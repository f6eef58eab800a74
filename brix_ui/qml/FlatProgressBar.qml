import QtQuick
import QtQuick.Controls

// Flat progress bar whose tip sweeps a highlight across itself at every step of progress.
ProgressBar {
    id: control

    property color fillColor: "#26a5de"
    property color backgroundColor: "#525252"
    property int boxRadius: 3
    property int barHeight: 12
    property var lastUpdateTime: new Date()

    // Width of the tip at the end of the fill for a visual position.
    function tipWidthAt(position) {
        return position * 64 > boxRadius ? position * 64 : 0
    }

    // Sweeps the highlight across the tip at the present position; a tip of width 0 has nothing to sweep.
    function startSweep() {
        var width = tipWidthAt(visualPosition)
        sweep.to = width > 0 ? (width - 1) / width : 0.0
        sweep.restart()
    }

    onValueChanged: lastUpdateTime = new Date()
    // The visual position follows the value: sweep over the tip at the new position.
    onVisualPositionChanged: startSweep()
    Component.onCompleted: startSweep()

    background: Rectangle {
        implicitWidth: 200
        implicitHeight: control.barHeight
        height: control.barHeight
        color: control.backgroundColor
        radius: control.boxRadius
    }

    contentItem: Item {
        implicitWidth: 200
        implicitHeight: control.barHeight

        Item {
            width: parent.width
            height: control.barHeight
            clip: true

            Rectangle {
                id: fill
                objectName: "fill"
                width: control.visualPosition * parent.width
                height: parent.height
                radius: control.boxRadius
                color: control.fillColor

                Rectangle {
                    id: tip
                    objectName: "tip"
                    anchors.right: parent.right
                    height: parent.height
                    width: control.tipWidthAt(control.visualPosition)
                    radius: fill.width <= control.boxRadius || control.width - fill.width <= control.boxRadius
                            ? control.boxRadius : 0
                    gradient: Gradient {
                        orientation: Gradient.Horizontal
                        GradientStop { position: 0.0; color: control.fillColor }
                        GradientStop { id: movingStop; objectName: "movingStop"; position: 0.0; color: control.fillColor }
                        GradientStop { position: 1.0; color: Qt.lighter(control.fillColor, 1.6) }
                    }
                }
            }
        }
    }

    NumberAnimation {
        id: sweep
        target: movingStop
        property: "position"
        from: 0.0
        duration: 1000
    }
}
