import QtQuick
import QtQuick.Controls
import QtQuick.Dialogs
import QtQuick.Layouts
import com.fernwhistlestudios.brix_ui

// The OSC settings window: incoming OSC on or off, the listening port, the QLab patch export and the
// show's network destinations. It edits the destinations in networkModel (rows with the roles "first",
// "second", "name", "ipAddress", "port", "mode", "networkId") only through signals, except Delete,
// which removes the row at once; OK (or Return) emits okay() and the host applies everything, Cancel
// (or Escape) closes.
Window {
    id: root

    property alias oscListenPortString: portField.text
    property alias oscEnabled: enabledBox.checked
    property alias networkModel: networkList.model
    property string qlabExportDefaultName: ""
    property string defaultQLabLocation: ""

    signal exportQLab(string exportFolder)
    signal okay()
    signal createNetwork(string ip, int port, string mode, string name)
    signal editNetwork(int index, string ip, int port, string mode, string name, string networkId)

    readonly property bool hasSelection: networkList.currentIndex >= 0 && networkList.currentIndex < networkList.count

    function openNewNetwork() {
        editWindow.isEdit = false
        editWindow.networkName = "New Network Destination"
        editWindow.ipAddress = "127.0.0.1"
        editWindow.port = 8000
        editWindow.mode = "udp"
        editWindow.networkId = ""
        editWindow.show()
    }

    function openEditNetwork() {
        if (!root.hasSelection)
            return
        var row = networkList.currentIndex
        editWindow.isEdit = true
        editWindow.ipAddress = root.networkModel.dataStr(row, "ipAddress")
        editWindow.port = root.networkModel.dataStr(row, "port")
        editWindow.mode = root.networkModel.dataStr(row, "mode")
        editWindow.networkName = root.networkModel.dataStr(row, "name")
        editWindow.networkId = root.networkModel.dataStr(row, "networkId")
        editWindow.show()
    }

    function deleteSelectedNetwork() {
        if (!root.hasSelection)
            return
        root.networkModel.removeRows(networkList.currentIndex, 1)
    }

    title: qsTr("OSC Manager")
    modality: Qt.ApplicationModal
    flags: Qt.Dialog | Qt.CustomizeWindowHint | Qt.WindowTitleHint | Qt.WindowCloseButtonHint
    width: 550
    height: content.implicitHeight + 2 * content.anchors.margins
    minimumWidth: width
    maximumWidth: width
    minimumHeight: height
    maximumHeight: height
    color: theme.dark_background_color

    BrixTheme { id: theme }

    Shortcut {
        sequences: ["Return", "Enter"]
        onActivated: root.okay()
    }
    Shortcut {
        sequence: "Escape"
        onActivated: root.close()
    }

    ColumnLayout {
        id: content
        anchors.fill: parent
        anchors.margins: 20
        spacing: 12

        Text {
            text: qsTr("Application OSC Settings")
            font: theme.heavy_label
            color: theme.light_text_color
        }
        CustomCheckbox {
            id: enabledBox
            objectName: "oscEnabledBox"
            checkboxTextStr: qsTr("Allow incoming OSC connections")
        }
        RowLayout {
            spacing: 10

            Text {
                text: qsTr("OSC Listening Port:")
                font: theme.default_font
                color: theme.default_text_color
            }
            RecessedTextInput {
                id: portField
                objectName: "listenPortField"
                Layout.preferredWidth: 75
            }
            Text {
                text: qsTr("(UDP)")
                font: theme.default_font
                color: theme.default_text_color
            }
        }
        RowLayout {
            spacing: 10

            Text {
                text: qsTr("Export QLab OSC Patch File")
                font: theme.default_font
                color: theme.default_text_color
            }
            FlatButton {
                objectName: "exportButton"
                text: qsTr("Export")
                onClicked: folderDialog.open()
            }
        }
        Text {
            Layout.topMargin: 8
            text: qsTr("Network Paths")
            font: theme.heavy_label
            color: theme.light_text_color
        }
        CustomTwoColumnListView {
            id: networkList
            objectName: "networkList"
            Layout.fillWidth: true
            Layout.preferredHeight: 200
            colWidths: [0.45 * width, 0.55 * width - leftSpacerWidth]
        }
        RowLayout {
            spacing: 10

            FlatButton {
                objectName: "newNetworkButton"
                text: qsTr("New Network")
                onClicked: root.openNewNetwork()
            }
            FlatButton {
                objectName: "editNetworkButton"
                text: qsTr("Edit")
                enabled: root.hasSelection
                onClicked: root.openEditNetwork()
            }
            FlatButton {
                objectName: "deleteNetworkButton"
                text: qsTr("Delete")
                enabled: root.hasSelection
                onClicked: root.deleteSelectedNetwork()
            }
        }
        RowLayout {
            Layout.topMargin: 8
            spacing: 20

            Item {
                Layout.fillWidth: true
            }
            FlatButton {
                id: cancelButton
                objectName: "managerCancelButton"
                text: qsTr("Cancel")
                Layout.preferredWidth: 80
                onClicked: root.close()
            }
            FlatButton {
                objectName: "managerOkButton"
                text: qsTr("OK")
                isDefault: true
                Layout.preferredWidth: cancelButton.width
                onClicked: root.okay()
            }
        }
    }

    FolderDialog {
        id: folderDialog
        objectName: "folderDialog"
        title: qsTr("Export QLab OSC Patch File")
        currentFolder: root.defaultQLabLocation
        onAccepted: root.exportQLab(selectedFolder.toString())
    }

    NetworkEditWindow {
        id: editWindow
        objectName: "networkEditWindow"
        transientParent: root
        onChangeRequest: (ip, port, mode, networkName, networkId) =>
            root.editNetwork(networkList.currentIndex, ip, port, mode, networkName, networkId)
        onCreateRequest: (ip, port, mode, name) => root.createNetwork(ip, port, mode, name)
    }
}
