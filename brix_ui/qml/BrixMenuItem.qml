import QtQuick
import QtQuick.Controls

// Plain menu entry. Reads the BrixTheme named `theme` in scope where it is placed.
MenuItem {
    id: item

    property alias menuText: item.text

    padding: 0

    background: Rectangle {
        color: Qt.darker(theme.default_bg_color, 1.1)
    }
    contentItem: Text {
        text: item.text
        color: "white"
        leftPadding: 10
        topPadding: 10
        font.pixelSize: theme.default_font.pixelSize
    }
}
