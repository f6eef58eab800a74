import QtQuick
import com.fernwhistlestudios.brix_ui

// Form row: a caption above a recessed text field. Emits textChanged() when the user edits the field;
// focus given to the row passes on to the field.
Item {
    id: root

    property alias text: caption.text
    property alias value: input.text
    property alias field: input.field
    property alias hasFocus: root.focus
    property alias theme: theme
    property int spacing: 5
    property int fontSize: 16

    implicitHeight: caption.implicitHeight + spacing + input.implicitHeight
    implicitWidth: caption.implicitWidth + input.implicitWidth

    onActiveFocusChanged: {
        if (activeFocus)
            input.field.forceActiveFocus()
    }

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
        anchors.right: parent.right
        onTextEdited: root.textChanged()
    }
}
