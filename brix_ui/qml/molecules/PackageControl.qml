import QtQuick
import com.fernwhistlestudios.brix_ui
import QtQuick.Controls

// Form row: a button, a switch and the switch's caption in one line. The button (click or Return)
// emits clicked(); Return on the switch toggles it.
Item {
    id: root

    property alias buttonText: packageButton.text
    property alias toggleText: caption.text
    property alias toggled: toggleSwitch.checked
    property alias fontSize: caption.font.pixelSize
    property alias toggle: toggleSwitch
    property alias button: packageButton
    property alias theme: theme
    property real spacing: 5

    signal clicked()

    implicitWidth: packageButton.width + toggleSwitch.implicitWidth
    implicitHeight: packageButton.implicitHeight + toggleSwitch.implicitHeight

    BrixTheme { id: theme }

    Row {
        anchors.verticalCenter: parent.verticalCenter
        spacing: root.spacing

        FlatButton {
            id: packageButton
            objectName: "packageButton"
            anchors.verticalCenter: parent.verticalCenter
            width: 80
            text: qsTr("Package")
            onClicked: root.clicked()
            Keys.onReturnPressed: root.clicked()
        }
        Switch {
            id: toggleSwitch
            objectName: "toggle"
            anchors.verticalCenter: parent.verticalCenter
            scale: activeFocus ? 0.75 : 0.65
            Keys.onReturnPressed: toggle()
        }
        Text {
            id: caption
            objectName: "caption"
            anchors.verticalCenter: parent.verticalCenter
            color: theme.default_text_color
        }
    }
}
