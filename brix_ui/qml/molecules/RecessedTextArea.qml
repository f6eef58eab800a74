import QtQuick
import com.fernwhistlestudios.brix_ui

// Multi-line recessed text editor. It holds the focus from the start and selects all its text whenever
// it gains the active focus. textEdited() follows each change of the text made in the editor; setting
// `text` is not an edit.
Rectangle {
    id: root

    property string text: ""
    property alias editable: editor.enabled
    property alias horizontalAlignment: editor.horizontalAlignment
    property alias textIndent: editor.leftPadding
    property alias theme: theme

    signal editingFinished()
    signal textEdited()

    function forceActiveFocus() {
        editor.forceActiveFocus()
    }

    onTextChanged: {
        if (editor.text !== text)
            editor.text = text
    }

    implicitWidth: editor.implicitWidth
    implicitHeight: editor.implicitHeight
    color: Qt.lighter(theme.default_bg_color, 1.25)

    BrixTheme { id: theme }

    RecessedBevel {}

    TextEdit {
        id: editor
        objectName: "editor"
        anchors.fill: parent
        leftPadding: 0
        verticalAlignment: TextEdit.AlignTop
        wrapMode: TextEdit.Wrap
        font: theme.default_font
        color: theme.default_text_color
        selectionColor: theme.default_selected_color_intense
        selectByMouse: true
        clip: true
        focus: true
        onActiveFocusChanged: {
            if (activeFocus)
                selectAll()
        }
        onEditingFinished: root.editingFinished()
        onTextChanged: {
            if (root.text !== text) {
                root.text = text
                root.textEdited()
            }
        }
    }
}
