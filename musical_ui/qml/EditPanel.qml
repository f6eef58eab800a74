import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import com.fernwhistlestudios.brix_ui

// The edit panel: the edit bar over three columns of a third of the width each: the playlist, the
// marker list (with the mixer as a second tab when shown) and the event list with the log version.
// The event list's double click reaches the edit controller through the event list's controller only.
Rectangle {
    id: panel

    property bool oscEnable: false
    property bool showMixer: false
    property Item mixerControl: null
    property string logVersionText: "Log v0.0"
    property alias editBarControl: editBar
    property alias songListControl: songList
    property alias markerListControl: markerList
    property alias eventListControl: eventList

    signal markerSelected(int index)
    signal caesuraButtonPressed()
    signal clickButtonPressed()
    signal cutButtonPressed()
    signal markerButtonPressed()
    signal repeatButtonPressed()
    signal skipButtonPressed()
    signal tempoScaleButtonPressed()
    signal transposeButtonPressed()
    signal vampButtonPressed()
    signal oscButtonPressed()
    signal editSelectedMarkerItem()
    signal songIndexChanged()

    color: theme.default_bg_color
    BrixTheme { id: theme }

    TimeLineEditorBar {
        id: editBar
        objectName: "editBar"
        width: parent.width
        enableOsc: panel.oscEnable
        onCaesuraButton: panel.caesuraButtonPressed()
        onClickButton: panel.clickButtonPressed()
        onCutButton: panel.cutButtonPressed()
        onMarkerButton: panel.markerButtonPressed()
        onRepeatButton: panel.repeatButtonPressed()
        onSkipButton: panel.skipButtonPressed()
        onTempoScaleButton: panel.tempoScaleButtonPressed()
        onTransposeButton: panel.transposeButtonPressed()
        onVampButton: panel.vampButtonPressed()
        onOscButton: panel.oscButtonPressed()
    }

    RowLayout {
        anchors.top: editBar.bottom
        anchors.bottom: parent.bottom
        width: parent.width
        spacing: 0

        ColumnLayout {
            Layout.preferredWidth: panel.width / 3
            Layout.fillHeight: true
            spacing: 0
            CustomTabBar {
                Layout.fillWidth: true
                currentIndex: 0
                CustomTabButton { text: "Playlist"; toolTip.text: "List of songs" }
            }
            SongListView {
                id: songList
                objectName: "songList"
                Layout.fillWidth: true
                Layout.fillHeight: true
                onCurrentIndexChanged: panel.songIndexChanged()
            }
        }
        ColumnLayout {
            Layout.preferredWidth: panel.width / 3
            Layout.fillHeight: true
            spacing: 0
            CustomTabBar {
                id: markerTabs
                objectName: "markerTabs"
                Layout.fillWidth: true
                currentIndex: 0
                CustomTabButton { text: "Marker List"; toolTip.text: "Reference markers pre-set to match the score" }
                CustomTabButton {
                    visible: panel.showMixer
                    width: visible ? implicitWidth : 0
                    text: "Mixer  "
                    toolTip.text: "Control individual parts. This feature is not available in Vell|Stroud."
                }
            }
            StackLayout {
                Layout.fillWidth: true
                Layout.fillHeight: true
                currentIndex: markerTabs.currentIndex
                MarkerListView {
                    id: markerList
                    objectName: "markerList"
                    onItemClicked: index => panel.markerSelected(index)
                    onEditSelectedItem: panel.editSelectedMarkerItem()
                }
                Item {
                    id: mixerHolder
                    children: panel.mixerControl === null ? [] : [panel.mixerControl]
                }
            }
        }
        ColumnLayout {
            Layout.preferredWidth: panel.width / 3
            Layout.fillHeight: true
            spacing: 0
            Item {
                Layout.fillWidth: true
                Layout.preferredHeight: eventTabs.height
                CustomTabBar {
                    id: eventTabs
                    width: parent.width
                    currentIndex: 0
                    CustomTabButton { text: "Event List"; toolTip.text: "Pre-set and custom events, color-coded by type" }
                }
                Text {
                    objectName: "logVersion"
                    anchors.right: parent.right
                    anchors.rightMargin: 8
                    anchors.verticalCenter: parent.verticalCenter
                    text: panel.logVersionText
                    color: theme.default_text_color
                    MouseArea { id: versionArea; anchors.fill: parent; hoverEnabled: true }
                    BrixToolTip { delay: 500; visible: versionArea.containsMouse; text: "Event log version" }
                }
            }
            EventListView {
                id: eventList
                objectName: "eventList"
                Layout.fillWidth: true
                Layout.fillHeight: true
                enableOsc: panel.oscEnable
            }
        }
    }
}
