import QtQuick
import QtQuick.Layouts
import com.fernwhistlestudios.brix_ui

// The OSC cue tool's window: one position with its microshift, the command and its destination.
EditToolWindow {
    id: root

    property alias strValue: commandText.text
    property alias networkModel: networkInput.model
    property alias networkCurrentIndex: networkInput.currentIndex

    signal createRequest(string bar, int beat, string value, string networkId, real inShift)
    signal changeRequest(string bar, int beat, string value, string networkId, real inShift)
    signal toolClosing()

    function chosenNetworkId() {
        const id = networkInput.currentIndex < 0 ? undefined : networkInput.valueAt(networkInput.currentIndex)
        return id === undefined ? "" : id
    }

    editTitle: qsTr("Edit OSC Command")
    newTitle: qsTr("Create OSC Command")
    widthFactor: 4.5
    hasDuration: false
    hasMicroshift: true

    onOkay: {
        if (isEdit)
            changeRequest(panel.inBar, parseInt(panel.inBeat), commandText.text, chosenNetworkId(), panel.inShift)
        else
            createRequest(panel.inBar, parseInt(panel.inBeat), commandText.text, chosenNetworkId(), panel.inShift)
    }
    onWindowClosing: toolClosing()

    Text {
        text: qsTr("OSC Command")
        font: root.theme.default_font
        color: root.theme.default_text_color
    }
    RecessedTextInput {
        id: commandText
        objectName: "commandText"
        Layout.fillWidth: true
        horizontalAlignment: TextInput.AlignLeft
        focus: true
    }
    RowLayout {
        Layout.topMargin: 10
        spacing: 10

        Text {
            text: qsTr("Network")
            font: root.theme.default_font
            color: root.theme.default_text_color
        }
        CustomComboBox {
            id: networkInput
            objectName: "networkInput"
            Layout.preferredWidth: 200
            textRole: "name"
            valueRole: "networkId"
            onEnterPressed: root.okay()
        }
    }
    Text {
        Layout.topMargin: 10
        text: qsTr("Example Commands")
        font: root.theme.default_font
        color: root.theme.default_text_color
    }
    TextEdit {
        objectName: "exampleCommands"
        readOnly: true
        text: "/brix/volume (-#db)\n/brix/fadeout (#time)\n/brix/fadeto (-#db) (#time)"
        font.family: "Courier New"
        font.pixelSize: root.theme.default_font.pixelSize - 2
        color: root.theme.dim_text_color
    }
}
