import QtQuick
import QtQuick.Controls
import com.fernwhistlestudios.brix_ui

// The marker list: name and location of each marker of the song. A click selects a row, a double
// click asks to edit it; the row the playhead passed last is tinted.
Rectangle {
    id: root

    property alias model: list.model
    property alias currentIndex: list.currentIndex
    property int passedIndex: -1

    signal currentItemChanged(int index)
    signal itemClicked(int index)
    signal editSelectedItem()

    color: theme.dark_background_color
    BrixTheme { id: theme }

    Rectangle {
        id: header
        width: parent.width
        height: 35
        color: theme.default_bg_color
        Text { x: 8; anchors.verticalCenter: parent.verticalCenter; text: "Marker Name"; color: theme.default_text_header_color; font: theme.heavy_label }
        Text { x: parent.width - 100; anchors.verticalCenter: parent.verticalCenter; text: "Location"; color: theme.default_text_header_color; font: theme.heavy_label }
    }
    ListView {
        id: list
        objectName: "markerList"
        anchors.top: header.bottom
        anchors.bottom: parent.bottom
        width: parent.width
        clip: true
        currentIndex: -1
        onCurrentIndexChanged: root.currentItemChanged(currentIndex)
        ScrollBar.vertical: CustomScrollBar {}
        delegate: Rectangle {
            required property int index
            required property string name
            required property string location
            width: ListView.view.width
            height: 25
            color: ListView.isCurrentItem ? Qt.lighter(theme.default_selected_color_intense, 1.1)
                 : index === root.passedIndex ? theme.default_selected_color : "transparent"
            Text { x: 8; width: parent.width - 116; anchors.verticalCenter: parent.verticalCenter; text: name; color: "white"; elide: Text.ElideRight }
            Text { x: parent.width - 100; width: 96; anchors.verticalCenter: parent.verticalCenter; text: location; color: "white"; elide: Text.ElideRight }
            MouseArea {
                id: area
                anchors.fill: parent
                hoverEnabled: true
                onClicked: { list.currentIndex = index; root.itemClicked(index) }
                onDoubleClicked: root.editSelectedItem()
            }
            BrixToolTip { delay: 500; visible: area.containsMouse; text: name + "  " + location }
        }
    }
}
