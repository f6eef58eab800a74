import QtQuick
import QtQuick.Layouts
import com.fernwhistlestudios.brix_ui

// The status banner of the main window: album art, the song, the flow-control state, bar and beat,
// key, transposition, tempo, tempo scale, meter, the volume and the MIDI and OSC lamps.
Rectangle {
    id: root

    property string songTitle: "TBD"
    property string key: "TBD"
    property string transpose: "TBD"
    property string tempo: "TBD"
    property string tempoScale: "TBD"
    property string meter: "TBD"
    property string flowControlLabel: ""
    property var flowControlValue: ""
    property color flowControlBackgroundColor: "#333"
    property real volumeLevelPercent: 1
    property alias albumArtImageControl: albumArt
    property string measure: "0000"
    property string beat: "00"

    readonly property color labelColor: "#959595"
    readonly property int smallFont: 12
    readonly property int largeFont: 32
    readonly property string measureText: root.measure.padStart(4, "0")
    readonly property string beatText: root.beat.padStart(2, "0")

    signal barBeatClicked()

    function highlightMidiNotice() {
        midiLamp.color = theme.on_indicator_color
        midiTimer.restart()
    }
    function highlightOscNotice() {
        oscLamp.color = theme.on_indicator_color
        oscTimer.restart()
    }
    function highlightOscOutgoingNotice() {
        oscLamp.color = "#FFD700"
        oscTimer.restart()
    }

    color: "#191919"
    implicitHeight: 85

    BrixTheme { id: theme }

    Timer {
        id: midiTimer
        interval: 500
        onTriggered: midiLamp.color = theme.off_indicator_color
    }
    Timer {
        id: oscTimer
        interval: 500
        onTriggered: oscLamp.color = theme.off_indicator_color
    }

    RowLayout {
        anchors.fill: parent
        anchors.leftMargin: 5
        anchors.rightMargin: 10
        spacing: 10

        Image {
            id: albumArt
            objectName: "albumArt"
            Layout.preferredWidth: 75
            Layout.preferredHeight: 75
            fillMode: Image.PreserveAspectFit
            visible: false
        }

        // The song: the title starts past its label and wraps onto a second line before it is cut.
        Item {
            objectName: "songBlock"
            Layout.fillWidth: true
            Layout.minimumWidth: 100
            Layout.fillHeight: true

            Text {
                id: songLabel
                anchors.left: parent.left
                anchors.verticalCenter: parent.verticalCenter
                text: qsTr("Song:")
                color: root.labelColor
                font.pixelSize: root.smallFont
            }
            Text {
                id: songTitleText
                objectName: "songTitle"
                anchors.left: songLabel.right
                anchors.leftMargin: 6
                anchors.right: parent.right
                anchors.verticalCenter: parent.verticalCenter
                text: root.songTitle
                textFormat: Text.PlainText
                color: "white"
                font.pixelSize: root.smallFont
                font.bold: true
                wrapMode: Text.WordWrap
                maximumLineCount: 2
                elide: Text.ElideRight

                MouseArea {
                    id: titleArea
                    anchors.fill: parent
                    hoverEnabled: true
                    acceptedButtons: Qt.NoButton
                }
                BrixToolTip {
                    text: root.songTitle
                    visible: titleArea.containsMouse && songTitleText.truncated
                }
            }
        }

        ShowBannerValue {
            objectName: "flowControlCell"
            Layout.alignment: Qt.AlignVCenter
            label: root.flowControlLabel
            value: root.flowControlValue
            labelColor: "white"
            backgroundColor: root.flowControlBackgroundColor
            barBackgroundOpacity: 0.7
            spaceAroundText: 6
        }

        // Bar and beat; a click on the digits asks for a bar to jump to.
        Column {
            objectName: "barBeatBlock"
            Layout.alignment: Qt.AlignVCenter
            spacing: 0

            Row {
                spacing: 4
                Text {
                    objectName: "measureText"
                    text: root.measureText
                    color: "white"
                    font.pixelSize: root.largeFont
                    font.family: "monospace"
                    MouseArea { anchors.fill: parent; onClicked: root.barBeatClicked() }
                }
                Text {
                    text: "|"
                    color: root.labelColor
                    font.pixelSize: root.largeFont
                }
                Text {
                    objectName: "beatText"
                    text: root.beatText
                    color: "white"
                    font.pixelSize: root.largeFont
                    font.family: "monospace"
                    MouseArea { anchors.fill: parent; onClicked: root.barBeatClicked() }
                }
            }
            Row {
                spacing: 0
                Text {
                    width: 80
                    horizontalAlignment: Text.AlignHCenter
                    text: qsTr("Measure")
                    color: root.labelColor
                    font.pixelSize: root.smallFont
                }
                Text {
                    width: 60
                    horizontalAlignment: Text.AlignHCenter
                    text: qsTr("Beat")
                    color: root.labelColor
                    font.pixelSize: root.smallFont
                }
            }
        }

        GridLayout {
            objectName: "musicCells"
            Layout.alignment: Qt.AlignVCenter
            columns: 2
            columnSpacing: 6
            rowSpacing: 0

            ShowBannerValue { objectName: "keyCell"; label: qsTr("Key:"); value: root.key; Layout.alignment: Qt.AlignLeft }
            ShowBannerValue { objectName: "transposeCell"; label: qsTr("Transpose:"); value: root.transpose; Layout.alignment: Qt.AlignLeft }
            ShowBannerValue { objectName: "tempoCell"; label: qsTr("Tempo:"); value: root.tempo; Layout.alignment: Qt.AlignLeft }
            ShowBannerValue { objectName: "tempoScaleCell"; label: qsTr("Tempo Scale:"); value: root.tempoScale; Layout.alignment: Qt.AlignLeft }
            ShowBannerValue { objectName: "meterCell"; label: qsTr("Meter:"); value: root.meter; Layout.alignment: Qt.AlignLeft }
        }

        VolumeIndicatorSegmented {
            objectName: "volumeIndicator"
            Layout.alignment: Qt.AlignVCenter
            Layout.preferredWidth: 80
            Layout.preferredHeight: 10
            value: root.volumeLevelPercent
        }

        Column {
            objectName: "lamps"
            Layout.alignment: Qt.AlignVCenter
            Layout.minimumWidth: implicitWidth
            spacing: 4
            Text {
                id: midiLamp
                objectName: "midiLamp"
                text: "MIDI"
                color: theme.off_indicator_color
                font.pixelSize: root.smallFont
                font.bold: true
            }
            Text {
                id: oscLamp
                objectName: "oscLamp"
                text: "OSC"
                color: theme.off_indicator_color
                font.pixelSize: root.smallFont
                font.bold: true
            }
        }
    }
}
