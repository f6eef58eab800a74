import QtQuick
import QtQuick.Controls
import com.fernwhistlestudios.brix_ui

// The transport bar: previous and next song, stop, play, pause and the flow-control exit in one bar,
// and the fade button in a second bar (only with showFade). A click on Fade fades over 3 seconds;
// holding it offers other times.
Row {
    id: root

    property bool pauseEnabled: false
    property bool pauseToggled: false
    property bool stopToggled: false
    property bool fadeEnabled: false
    property bool fadeToggled: false
    property bool highlightContinueButton: false
    property bool showFade: true

    signal play()
    signal stop()
    signal pause()
    signal fade(int fadeTimeMs)
    signal continueFlow()
    signal nextSong()
    signal prevSong()

    height: 52
    spacing: 12

    BubbleButtonBar {
        objectName: "transportBar"

        BubbleButton {
            objectName: "prevButton"
            text: qsTr("Prev")
            imageSource: "qrc:/images/previous.svg"
            toolTip.text: qsTr("Select previous song in playlist")
            onClicked: root.prevSong()
        }
        BubbleButton {
            objectName: "nextButton"
            text: qsTr("Next")
            imageSource: "qrc:/images/next.svg"
            toolTip.text: qsTr("Select next song in playlist")
            onClicked: root.nextSong()
        }
        BubbleButton {
            objectName: "stopButton"
            text: qsTr("Stop")
            imageSource: "qrc:/images/stop2.svg"
            toggled: root.stopToggled
            toolTip.text: qsTr("Stop playback and return playhead to beginning of timeline")
            onClicked: root.stop()
        }
        BubbleButton {
            objectName: "playButton"
            text: qsTr("Play")
            imageSource: "qrc:/images/play.svg"
            toolTip.text: qsTr("Play selected song from playlist / resume playback in timeline")
            onClicked: root.play()
        }
        BubbleButton {
            objectName: "pauseButton"
            text: qsTr("Pause")
            imageSource: "qrc:/images/pause.svg"
            checkable: true
            checked: root.pauseToggled
            toggled: root.pauseToggled
            colorToggledOn: true
            enabled: root.pauseEnabled
            toolTip.text: qsTr("Pause playback and playhead in timeline")
            onClicked: root.pause()
        }
        BubbleButton {
            objectName: "continueButton"
            text: qsTr("Exit Vamp")
            imageSource: "qrc:/images/exit-vamp.svg"
            checkable: true
            checked: root.highlightContinueButton
            toggled: root.highlightContinueButton
            colorToggledOn: true
            radiant: root.highlightContinueButton
            toolTip.text: qsTr("(1) Resume playback after Caesura (2) Jump to end of Skip (3) Exit a Vamp")
            onClicked: root.continueFlow()
        }
    }

    BubbleButtonBar {
        objectName: "fadeBar"
        visible: root.showFade

        BubbleButton {
            id: fadeButton
            objectName: "fadeButton"

            // A press that opened the timing menu does not also fade on its release.
            property bool held: false

            text: qsTr("Fade")
            imageSource: "qrc:/images/fade.svg"
            enabled: root.fadeEnabled
            toggled: root.fadeToggled
            showDownChevron: true
            toolTip.text: qsTr("Fade out the selected song and cue next song (hold for timing options)")
            onShortPressAndHold: {
                held = true
                fadeMenu.popup(fadeButton, 0, fadeButton.height)
            }
            onClicked: {
                if (held)
                    held = false
                else
                    root.fade(3000)
            }
        }
    }

    BrixCustomMenu {
        id: fadeMenu
        objectName: "fadeMenu"
        Action { text: qsTr("1 second"); onTriggered: root.fade(1000) }
        Action { text: qsTr("3 seconds"); onTriggered: root.fade(3000) }
        Action { text: qsTr("5 seconds"); onTriggered: root.fade(5000) }
        Action { text: qsTr("7 seconds"); onTriggered: root.fade(7000) }
    }

    function setPlaying() {
        stopToggled = true
        pauseEnabled = true
        pauseToggled = false
        fadeEnabled = true
    }
    function setPaused() {
        pauseToggled = true
        fadeEnabled = false
    }
    function setFading() {
        stopToggled = true
        pauseEnabled = true
        pauseToggled = false
        fadeEnabled = false
    }
    function setStopped() {
        stopToggled = false
        pauseToggled = false
        pauseEnabled = false
        fadeEnabled = false
    }
}
