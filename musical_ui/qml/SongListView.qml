import QtQuick
import QtQuick.Controls
import com.fernwhistlestudios.brix_ui

// The playlist: number, attacca state and name of each song. A click on a row asks to load the song;
// a click on the state icon moves the state on.
Rectangle {
    id: root

    property alias model: list.model
    property alias currentIndex: list.currentIndex

    signal itemClicked(int index)
    signal attaccaStateChanged(string songNumber)

    color: theme.dark_background_color
    BrixTheme { id: theme }

    Rectangle {
        id: header
        width: parent.width
        height: 35
        color: theme.default_bg_color
        Text { x: 8; anchors.verticalCenter: parent.verticalCenter; text: "#"; color: theme.default_text_header_color; font: theme.heavy_label }
        Text {
            x: 45
            anchors.verticalCenter: parent.verticalCenter
            text: "State"
            color: theme.default_text_header_color
            font: theme.heavy_label
            MouseArea { id: stateHeader; anchors.fill: parent; hoverEnabled: true }
            BrixToolTip { delay: 500; visible: stateHeader.containsMouse; text: "Click icons below to change the playback state" }
        }
        Text { x: 105; anchors.verticalCenter: parent.verticalCenter; text: "Song Name"; color: theme.default_text_header_color; font: theme.heavy_label }
    }
    ListView {
        id: list
        objectName: "songList"
        anchors.top: header.bottom
        anchors.bottom: parent.bottom
        width: parent.width
        clip: true
        currentIndex: -1
        ScrollBar.vertical: CustomScrollBar {}
        delegate: Rectangle {
            id: row
            required property int index
            required property string song_number
            required property string status
            required property string song_name
            width: ListView.view.width
            height: 25
            color: ListView.isCurrentItem ? Qt.lighter(theme.default_selected_color_intense, 1.1) : "transparent"
            MouseArea {
                anchors.fill: parent
                onClicked: root.itemClicked(row.index)
            }
            Text { x: 8; width: 37; anchors.verticalCenter: parent.verticalCenter; text: row.song_number; color: "white" }
            Image {
                id: stateIcon
                objectName: "stateIcon"
                x: 45 + 20
                anchors.verticalCenter: parent.verticalCenter
                width: 16; height: 16
                sourceSize: Qt.size(16, 16)
                source: row.status === "x" ? "qrc:/images/x.svg"
                      : row.status === "continue" ? "qrc:/images/down.svg" : "qrc:/images/check.svg"
                MouseArea {
                    id: stateArea
                    anchors.fill: parent
                    hoverEnabled: true
                    onClicked: root.attaccaStateChanged(row.song_number)
                }
                BrixToolTip {
                    delay: 500
                    visible: stateArea.containsMouse
                    text: row.status === "x" ? "Skip song"
                        : row.status === "continue" ? "Auto-play next song (attacca)" : "Play song when cued"
                }
            }
            Text { x: 105; width: parent.width - 110; anchors.verticalCenter: parent.verticalCenter; text: row.song_name; color: "white"; elide: Text.ElideRight }
        }
    }
}
