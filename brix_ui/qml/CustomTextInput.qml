import QtQuick

// White multi-line plain text field; editingFinished() when the editor loses the focus.
Rectangle {
    id: root

    property alias text: editor.text
    property alias editable: editor.enabled
    property alias horizontalAlignment: editor.horizontalAlignment

    signal editingFinished()

    color: "white"
    height: 25

    TextEdit {
        id: editor
        objectName: "editor"
        anchors.fill: parent
        anchors.leftMargin: 15
        anchors.rightMargin: 15
        color: "black"
        verticalAlignment: TextEdit.AlignVCenter
        textFormat: TextEdit.PlainText
        selectByMouse: true
        onEditingFinished: root.editingFinished()
    }
}
