import QtQuick
import com.fernwhistlestudios.brix_ui
import QtQuick.Layouts

// The Cancel/OK row of the edit tools. It only signals; the tool window sends its request and closes.
// While the row or one of its buttons has the focus, Escape cancels and Return confirms.
Item {
    id: root

    property alias cancelButton: cancel
    property alias okButton: ok

    signal okayClicked()
    signal cancelClicked()

    implicitWidth: row.implicitWidth
    implicitHeight: cancel.implicitHeight

    Keys.onEscapePressed: cancelClicked()
    Keys.onReturnPressed: okayClicked()

    RowLayout {
        id: row
        anchors.fill: parent
        spacing: 20

        Rectangle {
            Layout.fillWidth: true
            color: "transparent"
        }
        FlatButton {
            id: cancel
            objectName: "cancelButton"
            text: qsTr("Cancel")
            Layout.alignment: Qt.AlignRight
            Layout.preferredWidth: 80
            onClicked: root.cancelClicked()

            FocusHighlight {
                visible: cancel.activeFocus
            }
        }
        FlatButton {
            id: ok
            objectName: "okButton"
            text: qsTr("OK")
            isDefault: true
            Layout.alignment: Qt.AlignRight
            Layout.preferredWidth: cancel.width
            onClicked: root.okayClicked()

            FocusHighlight {
                visible: ok.activeFocus
            }
        }
    }
}
