import QtQuick
import QtQuick.Controls as QQC

// Text tab that switches the main window's mode. Reads the BrixTheme named `theme` in scope where it
// is placed.
QQC.TabButton {
    id: control

    property bool isSelected: QQC.TabBar.tabBar !== null && QQC.TabBar.tabBar.currentIndex === QQC.TabBar.index
    property color selectedColor: "white"
    property color hoverColor: "dimgray"

    text: qsTr("Tab")
    font.pixelSize: 14
    implicitHeight: 35
    width: 1.2 * implicitWidth

    contentItem: Text {
        objectName: "caption"
        text: control.text
        font.family: control.font.family
        font.pixelSize: control.font.pixelSize
        font.bold: control.isSelected
        horizontalAlignment: Text.AlignHCenter
        verticalAlignment: Text.AlignVCenter
        color: !control.enabled ? "dimgray" : (control.isSelected ? "white" : "gray")
    }

    background: Rectangle {
        objectName: "background"
        color: !control.isSelected && control.hovered ? Qt.lighter(theme.default_bg_color, 1.3) : "transparent"

        Rectangle {
            objectName: "topLine"
            width: parent.width
            height: 3
            color: control.isSelected ? control.selectedColor : control.hoverColor
            visible: control.isSelected || control.hovered
        }
        MouseArea {
            anchors.fill: parent
            acceptedButtons: Qt.NoButton
            cursorShape: control.hovered && !control.isSelected ? Qt.PointingHandCursor : Qt.ArrowCursor
        }
    }
}
