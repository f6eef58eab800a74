import QtQuick
import QtQuick.Layouts
import com.fernwhistlestudios.brix_ui

// Creates or edits one output path: its name and the device that plays it. OK hands the name and the
// device's identifier to createPathRequest (create mode) or changePathRequest (edit mode) and closes.
EditTool {
    id: root

    property var deviceList: []

    signal createPathRequest(string pathName, string pathDevice)
    signal changePathRequest(string pathName, string pathDevice)

    // The row of deviceList with that identifier; 0 (the default device) when none has it.
    function deviceRow(deviceId) {
        for (var row = 0; row < deviceList.length; ++row) {
            if (deviceList[row].id === deviceId)
                return row
        }
        return 0
    }

    function openTool(edit, pathName, deviceIndex) {
        isEdit = edit
        nameInput.text = pathName
        deviceBox.currentIndex = deviceIndex
        visible = true
        nameInput.forceActiveFocus()
    }

    function accept() {
        if (isEdit)
            changePathRequest(nameInput.text, deviceBox.currentValue)
        else
            createPathRequest(nameInput.text, deviceBox.currentValue)
        close()
    }

    width: 250
    height: 250
    title: isEdit ? qsTr("Edit Output Path") : qsTr("Create Output Path")

    ColumnLayout {
        anchors.top: root.topSpacer.bottom
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.bottom: parent.bottom
        anchors.margins: 15
        anchors.topMargin: 0
        spacing: 8

        Text {
            text: qsTr("Output Path Name")
            font: root.theme.default_font
            color: root.theme.default_text_color
        }
        RecessedTextInput {
            id: nameInput
            objectName: "nameInput"
            Layout.fillWidth: true
            implicitHeight: 30
        }
        Text {
            text: qsTr("Output Device")
            font: root.theme.default_font
            color: root.theme.default_text_color
        }
        CustomComboBox {
            id: deviceBox
            objectName: "deviceBox"
            Layout.fillWidth: true
            model: root.deviceList
            textRole: "name"
            valueRole: "id"
        }
        Item { Layout.fillHeight: true }
        StandardEditButtons {
            objectName: "editButtons"
            Layout.fillWidth: true
            onOkayClicked: root.accept()
            onCancelClicked: root.close()
        }
    }
}
