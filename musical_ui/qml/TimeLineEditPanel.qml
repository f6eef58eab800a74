import QtQuick
import com.fernwhistlestudios.brix_ui

// The timeline panel of the edit view: the song timeline, full width, in a bevel.
Rectangle {
    id: panel

    property alias timelineControl: timeLine

    height: 220
    color: "#1e1e1e"
    clip: true

    TimeLine {
        id: timeLine
        objectName: "timeLine"
        anchors.fill: parent
        anchors.margins: 1
    }
    BasicBevel {}
}
