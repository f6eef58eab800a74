import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import com.fernwhistlestudios.brix_ui

// Creates or edits one OSC network destination. OK (or Return anywhere) sends the fields as a change
// request when isEdit, else as a create request, and closes; Cancel or Escape closes. The host keeps
// the destination list.
Window {
    id: root

    property bool isEdit: false
    property alias networkName: nameField.text
    property alias ipAddress: ipField.text
    property string mode: "udp"
    property int port: 5501
    property string networkId: ""

    signal changeRequest(string ip, int port, string mode, string networkName, string networkId)
    signal createRequest(string ip, int port, string mode, string name)
    signal toolClosing()

    function accept() {
        var typedPort = parseInt(portField.text, 10)
        if (root.isEdit)
            root.changeRequest(ipField.text, typedPort, root.mode, nameField.text, root.networkId)
        else
            root.createRequest(ipField.text, typedPort, root.mode, nameField.text)
        root.close()
    }

    title: isEdit ? qsTr("Edit Network Destination") : qsTr("Create Network Destination")
    modality: Qt.ApplicationModal
    flags: Qt.Dialog | Qt.CustomizeWindowHint | Qt.WindowTitleHint | Qt.WindowCloseButtonHint
    width: content.implicitWidth + 50
    height: content.implicitHeight + 50
    minimumWidth: width
    maximumWidth: width
    minimumHeight: height
    maximumHeight: height
    color: theme.dark_background_color

    onVisibleChanged: {
        if (!visible)
            return
        portField.text = root.port
        nameField.forceActiveFocus()
    }
    onClosing: root.toolClosing()

    BrixTheme { id: theme }

    Shortcut {
        sequences: ["Return", "Enter"]
        onActivated: root.accept()
    }
    Shortcut {
        sequence: "Escape"
        onActivated: root.close()
    }

    ColumnLayout {
        id: content
        anchors.fill: parent
        anchors.margins: 25
        spacing: 15

        GridLayout {
            columns: 2
            columnSpacing: 15
            rowSpacing: 10

            Text {
                text: qsTr("Display Name")
                font: theme.default_font
                color: theme.default_text_color
            }
            RecessedTextInput {
                id: nameField
                objectName: "nameField"
                Layout.preferredWidth: 200
                text: "Network"
            }
            Text {
                text: qsTr("Destination IP Address")
                font: theme.default_font
                color: theme.default_text_color
            }
            RecessedTextInput {
                id: ipField
                objectName: "ipField"
                Layout.preferredWidth: 125
                text: "127.0.0.1"
            }
            Text {
                text: qsTr("Port")
                font: theme.default_font
                color: theme.default_text_color
            }
            RecessedTextInput {
                id: portField
                objectName: "portField"
                Layout.preferredWidth: 60
                text: root.port
            }
            Text {
                text: qsTr("Mode")
                font: theme.default_font
                color: theme.default_text_color
            }
            CustomComboBox {
                objectName: "modeBox"
                Layout.preferredWidth: 125
                textRole: "text"
                valueRole: "value"
                model: [{ text: "UDP", value: "udp" }]
            }
        }
        StandardEditButtons {
            objectName: "editButtons"
            Layout.fillWidth: true
            onOkayClicked: root.accept()
            onCancelClicked: root.close()
        }
    }
}
