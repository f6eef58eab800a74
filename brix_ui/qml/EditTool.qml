import QtQuick
import com.fernwhistlestudios.brix_ui

// Frame of every event edit tool: a fixed-size dialog window with its own theme and a spacer row
// across the top. Tool windows place their BarAndBeatPanel, StandardEditButtons and EventIdLabel in it
// and emit inBarChanged()/inBeatChanged() when the panel's in-bar or in-beat choice changes.
Window {
    id: root

    property bool isEdit: false
    property string eventId: ""
    property alias theme: theme
    property alias topSpacer: spacerRow
    property alias windowHeight: root.height

    signal inBarChanged()
    signal inBeatChanged()
    signal windowClosing()

    width: 360
    height: 300
    title: qsTr("Edit Tool")
    modality: Qt.ApplicationModal
    flags: Qt.Dialog

    // The size the window has once complete is kept for good.
    Component.onCompleted: {
        minimumWidth = width
        maximumWidth = width
        minimumHeight = height
        maximumHeight = height
    }

    onClosing: windowClosing()

    BrixTheme { id: theme }

    Rectangle {
        anchors.fill: parent
        color: theme.default_bg_color
    }

    Row {
        id: spacerRow
        objectName: "topSpacer"
        anchors.top: parent.top
        anchors.left: parent.left
        anchors.right: parent.right
        height: root.height / 10

        Rectangle {
            width: spacerRow.width
            height: spacerRow.height
            color: "transparent"
        }
    }
}
