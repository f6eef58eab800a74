import QtQuick
import com.fernwhistlestudios.brix_ui
import QtQuick.Controls

// Recessed one-line text field with a Copy/Cut/Paste context menu. The field selects all its text
// when it gains the focus; focus given to the control passes on to the field.
Rectangle {
    id: root

    property alias text: input.text
    property alias textColor: input.color
    property alias font: input.font
    property alias horizontalAlignment: input.horizontalAlignment
    property alias editable: input.enabled
    property int textIndent: 5
    property alias field: input
    property alias backgroundColor: root.color
    property alias rectHeight: root.implicitHeight

    signal editingFinished()
    signal textEdited()

    BrixTheme { id: theme }

    readonly property color editableColor: Qt.lighter(theme.default_bg_color, 1.25)

    clip: true
    implicitHeight: input.implicitHeight + 6
    implicitWidth: input.implicitWidth
    color: input.enabled ? editableColor : Qt.lighter(editableColor, 0.8)

    onActiveFocusChanged: {
        if (activeFocus)
            input.forceActiveFocus()
    }

    RecessedBevel {}

    Rectangle {
        objectName: "focusFrame"
        anchors.fill: parent
        color: "transparent"
        border.width: 2
        border.color: theme.default_selected_color_intense
        opacity: 0.7
        visible: input.activeFocus
    }

    TextInput {
        id: input
        objectName: "textField"
        anchors.fill: parent
        anchors.leftMargin: root.textIndent
        verticalAlignment: TextInput.AlignVCenter
        font: theme.default_font
        color: enabled ? theme.default_text_color : Qt.lighter(theme.default_text_color, 0.8)
        selectionColor: theme.default_selected_color_intense
        selectByMouse: true
        persistentSelection: true
        activeFocusOnTab: true
        onActiveFocusChanged: {
            if (activeFocus)
                selectAll()
        }
        onEditingFinished: root.editingFinished()
        onTextEdited: root.textEdited()
    }

    MouseArea {
        objectName: "contextMenuArea"
        anchors.fill: input
        acceptedButtons: Qt.RightButton
        enabled: input.enabled
        onClicked: contextMenu.popup()
    }

    BrixCustomMenu {
        id: contextMenu
        objectName: "contextMenu"

        Action {
            text: qsTr("Copy")
            enabled: input.selectedText.length > 0
            onTriggered: input.copy()
        }
        Action {
            text: qsTr("Cut")
            enabled: input.selectedText.length > 0
            onTriggered: input.cut()
        }
        Action {
            text: qsTr("Paste")
            onTriggered: input.paste()
        }
    }
}
