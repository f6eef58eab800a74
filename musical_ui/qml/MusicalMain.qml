import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import com.fernwhistlestudios.brix_ui

// The main window: the menu, the mode tabs, the transport bar, the status banner with the corner
// logo, the pages of the modes and the jump-to-bar pop-up. It talks to its controller through its
// signals and properties and the function startJumpToBar(); it refuses its own close so that the
// controller can ask about unsaved edits first.
ApplicationWindow {
    id: root
    objectName: "musicalMain"

    // To the controller.
    signal play()
    signal stop()
    signal pause()
    signal fade(int fadeTimeMs)
    signal continueFlow()
    signal nextSong()
    signal prevSong()
    signal jumpToBar(string barNum)
    signal changelogManagerOpened()
    signal outputPathsOpened()
    signal getLatestLogClicked()
    signal exportChangelogClicked(url path)
    signal caesuraButtonPressed(int start)
    signal markerButtonPressed(int start)
    signal skipButtonPressed(int start, int end)
    signal vampButtonPressed(int start, int end)
    signal oscButtonPressed(int start)
    signal cutButtonPressed(int start, int end)
    signal transposeButtonPressed(int start, int end)
    signal tempoButtonPressed(int start, int end)
    signal repeatButtonPressed(int start, int end)
    signal clickButtonPressed(int start, int end)
    signal songIndexChanged()
    // From the controller (and handled here).
    signal setAdminPermission(bool admin)
    signal playStarted()
    signal stopped()
    signal paused()
    signal fading()
    signal jumpToBarResult(bool success)

    // Shown in the banner.
    property string key: "TBD"
    property string tempo: "TBD"
    property string meter: "TBD"
    property string transpose: "TBD"
    property string tempoScale: "TBD"
    property string beat: "00"
    property string measure: "0000"
    property string songTitle: "TBD"
    property string flowControlLabel: ""
    property var flowControlValue: ""
    property color flowControlBackgroundColor: "#333"
    property real volumeLevelPercent: 1
    // On the transport bar.
    property bool highlightContinueButton: false
    // Others.
    property string exportBaseName: "Export"
    property alias aboutWindow: responsiveMenu.aboutWindow
    property alias menu: responsiveMenu
    property var mixerControl: mixerView
    property url albumArtImageUrl: ""
    property bool showAlbumArtImage: true
    property string cornerLogoSource: ""
    property var markerListModel: null
    property var songListModel: null
    property var eventListModel: null
    property var editPanelControl: editPanel
    property var timelineControl: timelinePanel.timelineControl
    property var timelineEditControl: timelinePanel
    property var scoreControl: scoreView
    property alias statusBannerControl: banner
    property bool oscEnable: true
    property bool showFade: true
    property bool showScore: false
    property bool showMixer: false
    property int startTick: 0
    property int endTick: 0
    property int currentTick: 0

    function startJumpToBar() {
        jumpPopup.open()
    }
    // Timeline selection, in ticks (the timeline keeps it in unscaled pixels of 25 ticks).
    function setSelectionStart(tickValue: double) {
        timelinePanel.timelineControl.selectionStart = tickValue / 25
    }
    function setSelectionEnd(tickValue: double) {
        timelinePanel.timelineControl.selectionEnd = tickValue / 25
        timelinePanel.timelineControl.selectionActive = true
    }
    function getSelectionStart(): double {
        return timelinePanel.timelineControl.selectionStart * timelinePanel.timelineControl.viewScale
    }
    function getSelectionEnd(): double {
        return timelinePanel.timelineControl.selectionEnd * timelinePanel.timelineControl.viewScale
    }
    // The selection as ticks for the edit tools: its start, and its end (the start when nothing is
    // selected).
    function selectionStartTick(): int {
        return Math.round(timelinePanel.timelineControl.selectionStart * 25)
    }
    function selectionEndTick(): int {
        const timeline = timelinePanel.timelineControl
        return Math.round((timeline.selectionActive ? timeline.selectionEnd : timeline.selectionStart) * 25)
    }

    minimumWidth: 1366
    minimumHeight: 768
    width: 1366
    height: 768
    title: "VellStroud"
    visible: true
    color: theme.default_bg_color

    onClosing: (close) => { close.accepted = false }
    onSetAdminPermission: (admin) => { responsiveMenu.setAdminPermission(admin) }
    onPlayStarted: playControl.setPlaying()
    onStopped: playControl.setStopped()
    onPaused: playControl.setPaused()
    onFading: playControl.setFading()
    onJumpToBarResult: (success) => { jumpPopup.result(success) }

    BrixTheme { id: theme }

    Shortcut {
        sequence: "+"
        onActivated: responsiveMenu.zoomIn()
    }

    ColumnLayout {
        anchors.fill: parent
        spacing: 0

        // The menu and the mode tabs.
        RowLayout {
            Layout.fillWidth: true
            Layout.preferredHeight: 36
            Layout.leftMargin: 10
            spacing: 14

            ResponsiveMenu {
                id: responsiveMenu
                objectName: "responsiveMenu"
                Layout.alignment: Qt.AlignVCenter
                rootWindow: root.contentItem
                baseExportName: root.exportBaseName
                onChangelogManagerOpened: root.changelogManagerOpened()
                onOutputPaths: root.outputPathsOpened()
                onExportChangelogClicked: (file) => { root.exportChangelogClicked(file) }
            }
            CustomTabBar {
                id: modeTabs
                objectName: "modeTabs"
                currentIndex: 0
                Layout.alignment: Qt.AlignBottom
                ModeTabButton { objectName: "musicEditTab"; text: qsTr("Music Edit") }
                ModeTabButton { objectName: "scoreTab"; text: qsTr("Score"); visible: root.showScore; width: visible ? implicitWidth * 1.2 : 0 }
            }
            Item { Layout.fillWidth: true }
        }

        // Transport, banner and logo.
        RowLayout {
            Layout.fillWidth: true
            Layout.preferredHeight: 95
            Layout.leftMargin: 10
            Layout.rightMargin: 10
            spacing: 10

            PlayControl {
                id: playControl
                objectName: "playControl"
                Layout.alignment: Qt.AlignVCenter
                showFade: root.showFade
                highlightContinueButton: root.highlightContinueButton
                onPlay: root.play()
                onStop: root.stop()
                onPause: root.pause()
                onFade: (fadeTimeMs) => { root.fade(fadeTimeMs) }
                onContinueFlow: root.continueFlow()
                onNextSong: root.nextSong()
                onPrevSong: root.prevSong()
            }
            ShowStatusBanner {
                id: banner
                objectName: "statusBanner"
                Layout.fillWidth: true
                Layout.preferredHeight: 85
                Layout.alignment: Qt.AlignVCenter
                songTitle: root.songTitle
                key: root.key
                transpose: root.transpose
                tempo: root.tempo
                tempoScale: root.tempoScale
                meter: root.meter
                flowControlLabel: root.flowControlLabel
                flowControlValue: root.flowControlValue
                flowControlBackgroundColor: root.flowControlBackgroundColor
                volumeLevelPercent: root.volumeLevelPercent
                measure: root.measure
                beat: root.beat
                albumArtImageControl.source: root.albumArtImageUrl
                albumArtImageControl.visible: root.showAlbumArtImage && root.albumArtImageUrl.toString() !== ""
                onBarBeatClicked: root.startJumpToBar()
            }
            Image {
                objectName: "cornerLogo"
                Layout.preferredHeight: 80
                Layout.preferredWidth: 80 * (sourceSize.height > 0 ? sourceSize.width / sourceSize.height : 1)
                Layout.alignment: Qt.AlignVCenter
                fillMode: Image.PreserveAspectFit
                source: root.cornerLogoSource !== "" ? root.cornerLogoSource : "qrc:/images/brix_flat_logo.png"
            }
        }

        // The pages of the modes; their views fill them.
        StackLayout {
            objectName: "modePages"
            Layout.fillWidth: true
            Layout.fillHeight: true
            currentIndex: modeTabs.currentIndex

            ColumnLayout {
                objectName: "musicEditPage"
                spacing: 0
                TimeLineEditPanel {
                    id: timelinePanel
                    objectName: "timelinePanel"
                    Layout.fillWidth: true
                }
                EditPanel {
                    id: editPanel
                    objectName: "editPanel"
                    Layout.fillWidth: true
                    Layout.fillHeight: true
                    oscEnable: root.oscEnable
                    showMixer: root.showMixer
                    mixerControl: mixerView
                    onCaesuraButtonPressed: root.caesuraButtonPressed(root.selectionStartTick())
                    onMarkerButtonPressed: root.markerButtonPressed(root.selectionStartTick())
                    onOscButtonPressed: root.oscButtonPressed(root.selectionStartTick())
                    onSkipButtonPressed: root.skipButtonPressed(root.selectionStartTick(), root.selectionEndTick())
                    onVampButtonPressed: root.vampButtonPressed(root.selectionStartTick(), root.selectionEndTick())
                    onCutButtonPressed: root.cutButtonPressed(root.selectionStartTick(), root.selectionEndTick())
                    onTransposeButtonPressed: root.transposeButtonPressed(root.selectionStartTick(), root.selectionEndTick())
                    onTempoScaleButtonPressed: root.tempoButtonPressed(root.selectionStartTick(), root.selectionEndTick())
                    onRepeatButtonPressed: root.repeatButtonPressed(root.selectionStartTick(), root.selectionEndTick())
                    onClickButtonPressed: root.clickButtonPressed(root.selectionStartTick(), root.selectionEndTick())
                    onSongIndexChanged: root.songIndexChanged()
                }
            }
            ScoreView { id: scoreView; objectName: "scoreView" }
        }
    }

    // The mixer of the edit panel's second tab; its controller is made per song.
    MixerView {
        id: mixerView
        objectName: "mixerView"
        anchors.fill: parent
    }

    JumpToBar {
        id: jumpPopup
        objectName: "jumpToBar"
        onOk: root.jumpToBar(barNum)
    }
}
