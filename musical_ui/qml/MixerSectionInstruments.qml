import QtQuick
import QtQuick.Layouts
import com.fernwhistlestudios.brix_ui

// A section of the mixer's tracks: group mute and solo before the title, a header row and one
// MixerTrack per row of tracksModel. The track's changes are written into its row's roles; the group
// buttons report their clicks to the owner, which writes the section's model.
MixerSection {
    id: root

    property var tracksModel: null
    property bool isMuted: false
    property bool isSolo: false

    signal muteClicked()
    signal soloClicked()

    // Column widths: State and Pan are fixed; Track Name, Instrument and Volume share the rest 5 : 5 : 2,
    // each at least 100, 100 and 80 wide.
    readonly property real columnSpacing: 4
    readonly property real stateWidth: 45
    readonly property real panWidth: 35
    readonly property real sharedWidth: width - 16 - stateWidth - panWidth - 4 * columnSpacing
    readonly property real volumeWidth: Math.max(80, sharedWidth / 6)
    readonly property real nameWidth: Math.max(100, (sharedWidth - volumeWidth) / 2)
    readonly property real instrumentWidth: nameWidth

    BrixTheme { id: theme }

    beforeTitle: [
        OutlineButton {
            objectName: "sectionMute"
            text: "M"
            controlColor: "#26a5de"
            toolTipText: qsTr("Mute entire group")
            checked: root.isMuted
            onClicked: root.muteClicked()
        },
        OutlineButton {
            objectName: "sectionSolo"
            text: "S"
            controlColor: "#D3AF37"
            toolTipText: qsTr("Solo entire group")
            checked: root.isSolo
            onClicked: root.soloClicked()
        }
    ]

    Row {
        objectName: "header"
        spacing: root.columnSpacing

        Repeater {
            model: [
                { title: qsTr("State"), width: root.stateWidth },
                { title: qsTr("Track Name"), width: root.nameWidth },
                { title: qsTr("Instrument"), width: root.instrumentWidth },
                { title: qsTr("Pan"), width: root.panWidth },
                { title: qsTr("Volume"), width: root.volumeWidth }
            ]
            delegate: Text {
                required property var modelData
                width: modelData.width
                text: modelData.title
                elide: Text.ElideRight
                font: theme.small_font
                color: theme.default_text_header_color
            }
        }
    }
    Repeater {
        model: root.tracksModel
        delegate: MixerTrack {
            Layout.fillWidth: true
            trackName: model.name
            isMuted: model.isMuted
            isSolo: model.isSolo
            enableMute: model.enableMute
            enableSolo: model.enableSolo
            instrument: model.instrument
            allowInstrumentChanges: model.allowInstrumentChanges
            instrumentModel: model.instrumentModel
            pan: model.pan
            volumeScaledDb: model.volumeScaledDb
            stateWidth: root.stateWidth
            nameWidth: root.nameWidth
            instrumentWidth: root.instrumentWidth
            panWidth: root.panWidth
            volumeWidth: root.volumeWidth
            columnSpacing: root.columnSpacing
            onMuteClicked: model.isMuted = !model.isMuted
            onSoloClicked: model.isSolo = !model.isSolo
            onInstrumentSet: value => model.instrument = value
            onPanSet: value => model.pan = value
            onVolumeSet: value => model.volumeScaledDb = value
        }
    }
}
