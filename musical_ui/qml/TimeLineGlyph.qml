import QtQuick

// An OSC cue on the effects row: a 20-pixel glyph centred on its position, dimmed while OSC is off.
Item {
    id: glyph

    property real basePosition: 0
    property real viewScale: 1.0
    property bool editable: false
    property bool selected: false
    property bool enableOsc: true
    property string glyphPath: "qrc:/images/sfx.svg"
    property bool dragging: false

    signal clicked()
    signal doubleClicked()
    signal dragged(int start, int end)

    width: 20
    height: 20
    x: dragging ? x : basePosition * viewScale - width / 2
    z: 5000
    opacity: enableOsc ? 1.0 : 0.3

    Rectangle {
        anchors.fill: parent
        radius: 3
        color: "transparent"
        border.color: "white"
        visible: glyph.selected
    }
    Image {
        anchors.fill: parent
        anchors.margins: 2
        sourceSize: Qt.size(16, 16)
        source: glyph.glyphPath
    }
    MouseArea {
        anchors.fill: parent
        enabled: glyph.editable
        drag.target: glyph
        drag.axis: Drag.XAxis
        drag.threshold: 2
        onPressed: glyph.dragging = true
        onClicked: glyph.clicked()
        onDoubleClicked: if (glyph.enableOsc) glyph.doubleClicked()
        onReleased: {
            const moved = drag.active
            glyph.dragging = false
            if (moved) {
                const centre = (glyph.x + glyph.width / 2) / glyph.viewScale
                glyph.dragged(centre, centre)
            }
        }
    }
}
