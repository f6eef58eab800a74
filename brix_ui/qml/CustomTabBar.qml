import QtQuick
import com.fernwhistlestudios.brix_ui
import QtQuick.Controls as QQC

// Bar of bevelled icon tabs. The bottom edge is drawn on both sides of the current tab, so the current
// tab stays open towards the content below it.
Item {
    id: root

    default property alias contents: bar.contentData
    property alias currentIndex: bar.currentIndex

    // A bar with no current tab (an index beyond its tabs) draws one unbroken bottom edge.
    readonly property Item currentTab: bar.currentItem

    implicitHeight: Math.floor(row.implicitHeight)
    implicitWidth: row.implicitWidth

    BrixTheme { id: theme }

    Row {
        id: row
        width: parent.width
        spacing: 0

        QQC.TabBar {
            id: bar
            objectName: "tabBar"
            spacing: 0
            font: theme.default_font
            currentIndex: 4
            background: Rectangle {
                color: theme.default_bg_unselected_color
            }
        }

        Rectangle {
            objectName: "filler"
            width: Math.max(0, row.width - bar.width)
            height: bar.height
            color: theme.default_bg_unselected_color

            Rectangle {
                y: parent.height - 2 * theme.bevel_width
                width: parent.width
                height: theme.bevel_width
                color: theme.bevel_dark_color
            }
            Rectangle {
                y: parent.height - theme.bevel_width
                width: parent.width
                height: theme.bevel_width
                color: theme.bevel_light_color
            }
        }
    }

    Rectangle {
        objectName: "leftEdge"
        y: root.height - 1
        width: root.currentTab ? root.currentTab.x : bar.contentWidth + 1
        height: 1
        color: theme.bevel_light_color
    }
    Rectangle {
        objectName: "rightEdge"
        x: root.currentTab ? root.currentTab.x + root.currentTab.width : 0
        y: root.height - 1
        width: root.currentTab ? Math.max(0, bar.contentWidth + 1 - x) : 0
        height: 1
        color: theme.bevel_light_color
    }
}
