import QtQuick
import com.fernwhistlestudios.brix_ui
import QtQuick.Controls as QQC
import Qt5Compat.GraphicalEffects

// Icon tab with bevels; its caption is bold.
QQC.TabButton {
    id: control

    property bool isSelected: QQC.TabBar.tabBar !== null && QQC.TabBar.tabBar.currentIndex === QQC.TabBar.index
    property int imageMargin: 5
    property url source: ""
    property color overlayColor

    BrixTheme { id: theme }

    text: qsTr("Tab")
    font.bold: true
    width: 1.2 * implicitWidth

    contentItem: Row {
        spacing: control.imageMargin

        Item {
            anchors.verticalCenter: parent.verticalCenter
            width: icon.width
            height: icon.height

            Image {
                id: icon
                source: control.source
                sourceSize.height: 0.8 * caption.implicitHeight
            }
            ColorOverlay {
                anchors.fill: icon
                source: icon
                color: "gray"
                visible: !control.enabled
            }
        }
        Text {
            id: caption
            objectName: "caption"
            anchors.verticalCenter: parent.verticalCenter
            text: control.text
            font: control.font
            color: control.isSelected ? theme.tab_selected_text_color : theme.default_text_header_color
        }
    }

    background: Rectangle {
        objectName: "background"
        color: control.hovered ? theme.default_bg_hover_color
             : control.isSelected ? theme.default_bg_color
             : theme.default_bg_unselected_color

        Rectangle {
            y: parent.height - 2
            width: parent.width
            height: 1
            visible: !control.isSelected
            color: theme.bevel_dark_color
        }
        Rectangle {
            y: parent.height - 1
            width: parent.width
            height: 1
            visible: !control.isSelected
            color: theme.bevel_light_color
        }
        BasicBevel {}
    }
}
