import QtQuick
import com.fernwhistlestudios.brix_ui
import QtQuick.Controls as QQC
import QtQuick.Layouts
import Qt5Compat.GraphicalEffects

// Bevelled icon tab of a CustomTabBar; its caption is bold while it is the current tab.
QQC.TabButton {
    id: control

    property bool isSelected: QQC.TabBar.tabBar !== null && QQC.TabBar.tabBar.currentIndex === QQC.TabBar.index
    property url source: ""
    property real iconScale: 1.0
    property bool showHoverEffect: false
    property color selectedColor: "transparent"
    property color hoverColor: "dimgray"
    property alias toolTip: tip
    property int imageMargin: 5
    property color overlayColor

    BrixTheme { id: theme }

    text: qsTr("Tab")
    font.bold: isSelected
    width: Math.floor(contentItem.implicitWidth * 1.3)

    contentItem: Item {
        implicitHeight: Math.floor(1.5 * caption.implicitHeight)
        implicitWidth: Math.floor(icon.width + 1.2 * metrics.advanceWidth)

        TextMetrics {
            id: metrics
            font: theme.default_font
            text: control.text
        }

        RowLayout {
            anchors.fill: parent
            spacing: 0

            Item { Layout.fillWidth: true }
            Image {
                id: icon
                Layout.alignment: Qt.AlignVCenter
                source: control.source
                sourceSize.height: 0.8 * caption.implicitHeight * control.iconScale
                visible: false
            }
            ColorOverlay {
                objectName: "iconOverlay"
                Layout.alignment: Qt.AlignVCenter
                Layout.preferredWidth: icon.width
                Layout.preferredHeight: icon.height
                source: icon
                color: !control.enabled ? "dimgray" : (control.isSelected ? "white" : "gray")
            }
            Text {
                id: caption
                objectName: "caption"
                text: control.text
                font: control.font
                color: control.isSelected ? theme.tab_selected_text_color : theme.default_text_header_color
            }
            Item { Layout.fillWidth: true }
        }
    }

    background: Rectangle {
        objectName: "background"
        color: control.hovered && control.showHoverEffect ? theme.default_bg_hover_color
             : control.isSelected ? theme.default_bg_color
             : theme.default_bg_unselected_color

        Rectangle {
            objectName: "topLine"
            width: parent.width
            height: 3
            visible: control.isSelected || control.hovered
            color: control.showHoverEffect && control.hovered && control.isSelected ? "white"
                 : control.isSelected ? control.selectedColor
                 : control.showHoverEffect && control.hovered ? control.hoverColor
                 : "transparent"
        }
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
        BasicBevel {
            hide_bottom: true
        }
    }

    BrixToolTip {
        id: tip
        delay: 500
        visible: control.hovered && text !== ""
    }
}
