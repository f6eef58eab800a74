import QtQuick
import com.fernwhistlestudios.brix_ui
import Qt5Compat.GraphicalEffects

// One row of the active-audio list: pin button, name and time over the played portion, play/stop
// button. Everything it shows comes from its model row (roles id, name, isPlaying, isPinned, progress,
// duration); it writes isPinned and progress back and asks for play, stop and seek by signals.
Item {
    id: root

    // The row of the model: set by the view that shows this delegate.
    required property var model
    property alias background: middleArea
    property QtObject theme: BrixTheme {}

    signal playTrack(playerId: int)
    signal stopTrack(playerId: int, isUrgent: bool)
    signal setPosition(playerId: int, position: real)

    // "m:ss"; minutes are neither padded nor wrapped at 60.
    function formatTime(time) {
        var minutes = Math.floor(time / 60)
        var seconds = Math.floor(time % 60)
        return minutes + ":" + (seconds < 10 ? "0" : "") + seconds
    }

    // The row never asks for an urgent stop.
    function toggleIsPlaying() {
        if (model.isPlaying)
            stopTrack(model.id, false)
        else
            playTrack(model.id)
    }

    QtObject {
        id: seeking

        readonly property bool hasDuration: root.model.duration > 0

        // Moves to the clicked share of the length; within a second of either end, to that end.
        function seekTo(fraction) {
            if (!seeking.hasDuration)
                return
            var time = fraction * root.model.duration
            if (time < 1)
                root.model.progress = 0
            else if (root.model.duration - time < 1)
                root.model.progress = 1
            else
                root.model.progress = fraction
            // A model that refused the write still holds its own value, and that is the position asked for.
            root.setPosition(root.model.id, root.model.progress)
        }
    }

    Item {
        id: pinButton
        objectName: "pinButton"
        anchors.left: parent.left
        anchors.top: parent.top
        width: 48
        height: 48

        Image {
            id: pinIcon
            objectName: "pinIcon"
            anchors.centerIn: parent
            width: 20
            height: 20
            sourceSize: Qt.size(20, 20)
            fillMode: Image.PreserveAspectFit
            source: "qrc:/images/keep.svg"
        }
        // Greys the icon out while the row is not pinned. It follows the model rather than the clicks,
        // so a row that is created pinned, or re-created when scrolled back into view, shows its state.
        ColorOverlay {
            objectName: "pinOverlay"
            anchors.fill: pinIcon
            source: pinIcon
            color: "#5a5a5a"
            visible: !root.model.isPinned
        }
        MouseArea {
            objectName: "pinArea"
            anchors.fill: parent
            hoverEnabled: true
            onEntered: {
                if (root.model.isPinned)
                    pinIcon.source = "qrc:/images/keep_off.svg"
            }
            onExited: pinIcon.source = "qrc:/images/keep.svg"
            onClicked: {
                root.model.isPinned = !root.model.isPinned
                pinIcon.source = "qrc:/images/keep.svg"
            }
        }
    }

    Item {
        id: middleArea
        objectName: "middleArea"
        anchors.left: pinButton.right
        anchors.right: playArea.left
        anchors.top: parent.top
        anchors.bottom: parent.bottom

        Rectangle {
            objectName: "playedPortion"
            width: Math.max(0, Math.min(1, root.model.progress)) * middleArea.width
            height: middleArea.height
            color: "#10FFFFFF"
        }
        Column {
            anchors.fill: parent
            anchors.margins: 5
            spacing: 5

            Text {
                objectName: "nameText"
                width: parent.width
                height: (parent.height - parent.spacing) / 2
                text: root.model.name ? root.model.name : qsTr("Name not set")
                color: root.theme.light_text_color
                font.pixelSize: root.theme.default_font.pixelSize
                horizontalAlignment: Text.AlignHCenter
                verticalAlignment: Text.AlignBottom
                elide: Text.ElideRight
            }
            Text {
                objectName: "timeText"
                width: parent.width
                height: (parent.height - parent.spacing) / 2
                text: seeking.hasDuration
                      ? root.formatTime(root.model.progress * root.model.duration) + " / " + root.formatTime(root.model.duration)
                      : "0:00 / 0:00"
                color: root.theme.default_text_color
                font.pixelSize: root.theme.small_font.pixelSize
                horizontalAlignment: Text.AlignHCenter
                verticalAlignment: Text.AlignBottom
            }
        }
        MouseArea {
            objectName: "seekArea"
            anchors.fill: parent
            onClicked: mouse => seeking.seekTo(mouse.x / middleArea.width)
        }
    }

    Item {
        id: playArea
        objectName: "playArea"
        anchors.right: parent.right
        anchors.verticalCenter: parent.verticalCenter
        width: 40
        height: 40

        SfxPlayButton {
            objectName: "playButton"
            anchors.centerIn: parent
            width: 28
            height: 28
            playing: root.model.isPlaying
            buttonManagesState: false

            MouseArea {
                anchors.fill: parent
                onClicked: root.toggleIsPlaying()
            }
        }
    }
}
