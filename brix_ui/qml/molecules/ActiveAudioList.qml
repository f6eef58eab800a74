import QtQuick
import com.fernwhistlestudios.brix_ui
import QtQuick.Controls

// The running audio players of the host's model, one ActiveAudioDelegate row each. Play and stop go to
// the model's playTrack(playerId) and stopTrack(playerId, isUrgent); seeking goes to the host as
// setPosition().
Item {
    id: root

    property alias model: list.model
    property Item background: backgroundRect
    property alias delegate: list.delegate
    property QtObject theme: BrixTheme {}

    signal setPosition(playerId: int, position: real)

    width: 200
    height: 300

    Rectangle {
        id: backgroundRect
        anchors.fill: parent
        color: root.theme.default_bg_color
    }

    Column {
        anchors.fill: parent

        ListView {
            id: list
            objectName: "list"
            width: parent.width
            height: parent.height
            spacing: 5
            clip: true

            ScrollBar.vertical: CustomScrollBar { id: scrollBar }

            delegate: ActiveAudioDelegate {
                width: list.width - (scrollBar.visible ? scrollBar.width : 0)
                height: 40
                theme: root.theme
                onPlayTrack: playerId => list.model.playTrack(playerId)
                onStopTrack: (playerId, isUrgent) => list.model.stopTrack(playerId, isUrgent)
                onSetPosition: (playerId, position) => root.setPosition(playerId, position)
            }
        }
    }
}
