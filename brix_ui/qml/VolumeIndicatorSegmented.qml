import QtQuick
import QtQuick.Layouts
import Qt5Compat.GraphicalEffects

// Segmented level meter: the level in dB is mapped to a fill fraction e^(dB / 25), so the low end of
// the scale takes little room.
Item {
    id: root

    property real value: 0.0
    property int segments: 8
    property color startColor: "green"
    property color endColor: "lightgreen"
    property color darkSegmentColor: "#444"
    property int segmentHeight: 8
    property int spacing: Math.max(Math.ceil(0.10 * segmentHeight), Math.ceil(0.05 * bar.width / segments))
    property int radius: Math.ceil(0.10 * segmentHeight)
    property bool enableInnerGlow: true
    property real minDB: -60

    // A level below 0 reads as silence.
    readonly property real level: Math.max(0, value)
    readonly property real fillFraction: level > 0 ? Math.exp(20 * Math.log10(level) / 25) : 0

    function interpolateColor(startColor, endColor, progress) {
        return Qt.rgba(startColor.r + (endColor.r - startColor.r) * progress,
                       startColor.g + (endColor.g - startColor.g) * progress,
                       startColor.b + (endColor.b - startColor.b) * progress,
                       startColor.a + (endColor.a - startColor.a) * progress)
    }

    implicitWidth: 150
    implicitHeight: segmentHeight + 4

    RowLayout {
        anchors.fill: parent
        anchors.margins: 2
        spacing: 0

        Item {
            id: bar
            Layout.fillWidth: true
            Layout.preferredHeight: root.segmentHeight

            Row {
                spacing: root.spacing

                Repeater {
                    id: segmentRepeater
                    objectName: "segmentRepeater"
                    model: root.segments

                    Rectangle {
                        id: segment

                        readonly property real position: index / root.segments

                        width: (bar.width - root.spacing * root.segments) / root.segments
                        height: root.segmentHeight
                        radius: root.radius
                        color: root.darkSegmentColor

                        Rectangle {
                            id: lit
                            objectName: "lit"
                            height: parent.height
                            radius: root.radius
                            width: segment.position + 1 / root.segments < root.fillFraction
                                   ? segment.width
                                   : Math.max(0, Math.min(segment.width, (root.fillFraction - segment.position)
                                                          * (bar.width - root.spacing * (root.segments - 1))))
                            visible: root.fillFraction > segment.position
                            color: root.interpolateColor(root.startColor, root.endColor, segment.position)
                        }
                        InnerShadow {
                            objectName: "innerGlow"
                            anchors.fill: lit
                            source: lit
                            visible: root.enableInnerGlow && lit.visible
                            horizontalOffset: 0
                            verticalOffset: 0
                            radius: 22
                            samples: 32
                            color: "yellow"
                            cached: true
                        }
                    }
                }
            }
        }

        Text {
            objectName: "levelText"
            Layout.preferredWidth: 35
            horizontalAlignment: Text.AlignRight
            font.pixelSize: 10
            color: "silver"
            text: root.level === 0 ? "-\u221e dB" : Math.round(20 * Math.log10(root.level)) + " dB"
        }
    }
}
