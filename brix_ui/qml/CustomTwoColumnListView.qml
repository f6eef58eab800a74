import QtQuick
import com.fernwhistlestudios.brix_ui
import QtQuick.Controls

// Keyboard-driven two-column list whose highlight slides to the current row. Its model gives each row
// the roles `first` and `second`. Reads the BrixTheme named `theme` in scope where it is placed.
ListView {
    id: list

    property int rowHeight: 30
    property var colWidths: [0.5 * width, 0.5 * width]
    property var leftSpacerWidth: 10

    clip: true
    activeFocusOnTab: true
    flickableDirection: Flickable.VerticalFlick
    headerPositioning: ListView.OverlayHeader
    highlightFollowsCurrentItem: true
    highlightMoveDuration: 250
    highlightMoveVelocity: -1

    Keys.onDownPressed: {
        if (currentIndex < count - 1)
            currentIndex += 1
    }
    Keys.onUpPressed: {
        if (currentIndex > 0)
            currentIndex -= 1
    }

    ScrollBar.vertical: CustomScrollBar {}

    Rectangle {
        parent: list
        anchors.fill: parent
        z: -1
        color: Qt.lighter(theme.default_bg_color, 1.25)
    }
    Rectangle {
        objectName: "focusFrame"
        parent: list
        anchors.fill: parent
        z: 2
        color: "transparent"
        border.width: 2
        border.color: theme.default_selected_color_intense
        opacity: 0.7
        visible: list.activeFocus
    }

    highlight: Rectangle {
        width: list.width
        height: list.rowHeight
        color: theme.default_selected_color
    }

    delegate: Item {
        id: row

        width: parent ? list.width : 125
        height: list.rowHeight

        Row {
            anchors.fill: parent

            Item {
                width: list.leftSpacerWidth
                height: parent.height
            }
            Text {
                width: list.colWidths[0]
                height: parent.height
                text: model.first
                font: theme.default_font
                elide: Text.ElideRight
                verticalAlignment: Text.AlignVCenter
                color: row.ListView.isCurrentItem ? "white" : theme.default_text_color
            }
            Text {
                width: list.colWidths[1]
                height: parent.height
                text: model.second
                font: theme.default_font
                elide: Text.ElideRight
                verticalAlignment: Text.AlignVCenter
                color: row.ListView.isCurrentItem ? "white" : theme.default_text_color
            }
        }
        FocusHighlight {
            visible: row.ListView.isCurrentItem && list.activeFocus
        }
        MouseArea {
            anchors.fill: parent
            acceptedButtons: Qt.LeftButton
            onClicked: {
                list.currentIndex = index
                list.forceActiveFocus()
            }
        }
    }
}
