import QtQuick

// A bar or beat line of the bar row with its label; the end bar has a second, thicker line. Its width
// is its label's, so the timeline can keep labels apart. Fades show or hide it over 500 ms.
Item {
    id: timeBar

    property real basePos: 0
    property real viewScale: 1.0
    property string barLabel: ""
    property bool isBar: true
    property bool isEndBar: false
    property bool showLabel: true
    readonly property bool fading: fadeIn.running || fadeOut.running

    x: basePos * viewScale
    width: label.x + label.implicitWidth
    height: parent ? parent.height : 32

    function fadeInMethod() {
        fadeOut.stop()
        if (visible && opacity === 1.0)
            return
        if (!visible)
            opacity = 0.0
        visible = true
        fadeIn.start()
    }
    function fadeOutMethod() {
        fadeIn.stop()
        if (!visible)
            return
        fadeOut.start()
    }

    NumberAnimation { id: fadeIn; target: timeBar; property: "opacity"; to: 1.0; duration: 500 }
    SequentialAnimation {
        id: fadeOut
        NumberAnimation { target: timeBar; property: "opacity"; to: 0.0; duration: 500 }
        PropertyAction { target: timeBar; property: "visible"; value: false }
    }

    Rectangle {
        objectName: "line"
        width: 1
        height: parent.height
        color: timeBar.isBar ? Qt.lighter("#282828", 2) : Qt.lighter("#282828", 1.3)
    }
    Rectangle {
        objectName: "endLine"
        visible: timeBar.isEndBar
        x: 3
        width: 3
        height: parent.height
        color: Qt.lighter("#282828", 2)
    }
    Text {
        id: label
        objectName: "label"
        x: 3
        y: 10
        text: timeBar.barLabel
        font.pixelSize: 10
        color: timeBar.isBar ? "white" : Qt.lighter("#282828", 1.6)
        visible: timeBar.showLabel
    }
}
