import QtQuick
import com.fernwhistlestudios.brix_ui
import QtQuick.Dialogs

// Form row: a read-only path field and a "Choose" button with the platform's file picker. The chosen
// file is kept as `fileUrl` and shown as a local path; textChanged() follows each pick.
Item {
    id: root

    property alias value: input.text
    property url fileUrl: Qt.resolvedUrl(".")
    property alias nameFilters: picker.nameFilters
    property alias field: input.field
    property alias button: chooseButton
    property alias theme: theme
    property alias text: caption.text
    property int spacing: 10
    property int fontSize: 16

    implicitHeight: spacing + input.implicitHeight
    implicitWidth: input.implicitWidth + spacing + chooseButton.width

    BrixTheme { id: theme }

    // The caption is kept for callers that set it; this row shows none.
    Text {
        id: caption
        width: 0
        height: 0
        visible: false
        text: qsTr("Label")
        font.pixelSize: root.fontSize
    }
    RecessedTextInput {
        id: input
        objectName: "input"
        anchors.top: parent.top
        anchors.topMargin: root.spacing
        anchors.left: parent.left
        anchors.right: chooseButton.left
        anchors.rightMargin: root.spacing
        editable: false
    }
    FlatButton {
        id: chooseButton
        objectName: "chooseButton"
        anchors.top: input.top
        anchors.right: parent.right
        width: 60
        height: input.height
        text: qsTr("Choose")
        onClicked: picker.open()
        Keys.onReturnPressed: picker.open()
    }
    FileDialog {
        id: picker
        objectName: "filePicker"
        modality: Qt.WindowModal
        fileMode: FileDialog.OpenFile
        onAccepted: {
            root.fileUrl = selectedFile
            root.value = LocalPaths.fromUrl(selectedFile)
            root.textChanged()
        }
    }
}
