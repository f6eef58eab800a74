import QtQuick
import QtQuick.Layouts
import com.fernwhistlestudios.brix_ui

// The marker tool's window: one position and the marker's text.
EditToolWindow {
    id: root

    property alias strValue: markerText.text

    signal createMarkerRequest(string bar, int beat, string value)
    signal changeMarkerRequest(string bar, int beat, string value)
    signal markerToolClosing()

    editTitle: qsTr("Edit Marker")
    newTitle: qsTr("Create Marker")
    hasDuration: false

    onOkay: {
        if (isEdit)
            changeMarkerRequest(panel.inBar, parseInt(panel.inBeat), markerText.text)
        else
            createMarkerRequest(panel.inBar, parseInt(panel.inBeat), markerText.text)
    }
    onWindowClosing: markerToolClosing()

    Text {
        text: qsTr("Marker")
        font: root.theme.default_font
        color: root.theme.default_text_color
    }
    RecessedTextInput {
        id: markerText
        objectName: "markerText"
        Layout.fillWidth: true
        horizontalAlignment: TextInput.AlignLeft
        focus: true
    }
}
