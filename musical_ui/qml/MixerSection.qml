import QtQuick
import QtQuick.Layouts
import com.fernwhistlestudios.brix_ui

// A rounded panel of the mixer: a title bar (when there is a title) with optional items before the
// title, and the section's content below it. Content items are laid out in a column; give them
// Layout.fillWidth to take the panel's width.
Rectangle {
    id: root

    property string title: ""
    property string tooltip: ""
    property alias beforeTitle: beforeTitleRow.data
    default property alias content: body.data

    BrixTheme { id: theme }

    radius: 3
    color: Qt.lighter(theme.default_bg_color, 1.35)
    border.color: theme.light_border_color
    implicitHeight: layout.implicitHeight + 16

    ColumnLayout {
        id: layout
        x: 8
        y: 8
        width: root.width - 16
        spacing: 8

        RowLayout {
            objectName: "titleBar"
            visible: root.title !== ""
            spacing: 8

            Row {
                id: beforeTitleRow
                spacing: 4
            }
            Text {
                id: titleText
                objectName: "sectionTitle"
                text: root.title
                color: "white"
                font: theme.heavy_label

                HoverHandler { id: titleHover }
                BrixToolTip {
                    delay: 500
                    text: root.tooltip
                    visible: titleHover.hovered && root.tooltip !== ""
                }
            }
            Item { Layout.fillWidth: true }
        }
        ColumnLayout {
            id: body
            Layout.fillWidth: true
            spacing: 4
        }
    }
}
