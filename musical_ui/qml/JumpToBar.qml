import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import com.fernwhistlestudios.brix_ui

// The jump-to-bar pop-up (a modal popup over the window): the operator types a bar number; OK (or Enter) keeps it in barNum, clears
// the field and emits ok(). The window answers with result(): success closes the pop-up, failure
// writes "Bar not found!" into the field, selected so that typing replaces it.
Item {
    id: root

    property string barNum: "0"
    property string prompt: qsTr("Enter Bar Number")
    readonly property alias opened: popup.opened

    signal ok()

    function open() {
        popup.open()
    }

    function exit() {
        field.text = ""
        popup.close()
    }

    function result(success) {
        if (success) {
            popup.close()
            return
        }
        field.text = qsTr("Bar not found!")
        field.selectAll()
        field.forceActiveFocus()
    }

    function accept() {
        barNum = field.text
        field.text = ""
        ok()
    }

    anchors.fill: parent

    BrixTheme { id: theme }

    Popup {
        id: popup
        objectName: "jumpPopup"
        x: 300
        y: 220
        width: 280
        height: 50
        modal: true
        focus: true
        closePolicy: Popup.CloseOnEscape
        padding: 8

        onOpened: field.forceActiveFocus()
        onClosed: field.text = ""

        Overlay.modal: Rectangle { color: "#88000000" }

        background: Rectangle {
            color: theme.default_bg_color_popup
            border.color: theme.light_border_color
            radius: 3
        }

        contentItem: RowLayout {
            spacing: 6

            TextField {
                id: field
                objectName: "jumpField"
                Layout.fillWidth: true
                placeholderText: root.prompt
                font: theme.default_font
                color: "white"
                placeholderTextColor: theme.dim_text_color
                background: Rectangle { color: theme.dark_background_color; radius: 2 }
                onAccepted: root.accept()
            }
            FlatButton {
                objectName: "jumpCancel"
                text: qsTr("Cancel")
                isCancel: true
                onClicked: root.exit()
            }
            FlatButton {
                objectName: "jumpOk"
                text: qsTr("OK")
                isDefault: true
                onClicked: root.accept()
            }
        }
    }
}
