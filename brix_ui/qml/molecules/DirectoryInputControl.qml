import QtQuick
import com.fernwhistlestudios.brix_ui
import QtQuick.Dialogs

// Form row: a caption above a folder path field and a "Choose" button with the platform's folder
// picker. The chosen folder is shown as a local path. Emits textChanged() when the user edits the path
// or picks a folder.
Item {
    id: root

    property alias text: caption.text
    property alias value: input.text
    property alias field: input.field
    property alias button: chooseButton
    property alias theme: theme
    property int spacing: 10
    property int fontSize: 16

    implicitHeight: caption.implicitHeight + spacing + input.implicitHeight
    implicitWidth: caption.implicitWidth + input.implicitWidth

    BrixTheme { id: theme }

    Text {
        id: caption
        objectName: "caption"
        anchors.top: parent.top
        anchors.left: parent.left
        anchors.right: parent.right
        text: qsTr("Label")
        font.pixelSize: root.fontSize
        color: theme.default_text_color
    }
    RecessedTextInput {
        id: input
        objectName: "input"
        anchors.top: caption.bottom
        anchors.topMargin: root.spacing
        anchors.left: parent.left
        anchors.right: chooseButton.left
        anchors.rightMargin: root.spacing
        onTextEdited: root.textChanged()
    }
    FlatButton {
        id: chooseButton
        objectName: "chooseButton"
        anchors.top: input.top
        anchors.right: parent.right
        width: 80
        height: input.height
        text: qsTr("Choose")
        onClicked: picker.open()
        Keys.onReturnPressed: picker.open()
    }
    FolderDialog {
        id: picker
        objectName: "folderPicker"
        modality: Qt.WindowModal
        onAccepted: {
            root.value = LocalPaths.fromUrl(selectedFolder)
            root.textChanged()
        }
    }
}
