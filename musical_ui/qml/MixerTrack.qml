import QtQuick
import QtQuick.Controls
import com.fernwhistlestudios.brix_ui

// One track of the mixer: mute and solo, the name, the instrument (a choice of its instrument list, or
// the name of its program when the user may not change it), pan and volume. Reports the user's changes
// through its signals; the owner writes them into the model, whose values flow back in.
Item {
    id: root

    property string trackName: ""
    property bool isMuted: false
    property bool isSolo: false
    property bool enableMute: true
    property bool enableSolo: true
    property int instrument: 0
    property bool allowInstrumentChanges: true
    property var instrumentModel: null
    property real pan: 0.0
    property real volumeScaledDb: 1.0
    property bool showDisabledNotice: false

    // Column widths, shared with the section's header.
    property real stateWidth: 45
    property real nameWidth: 100
    property real instrumentWidth: 100
    property real panWidth: 35
    property real volumeWidth: 80
    property real columnSpacing: 4

    readonly property string instrumentText: instrumentBox.displayText

    signal muteClicked()
    signal soloClicked()
    signal instrumentSet(int value)
    signal panSet(real value)
    signal volumeSet(real value)

    // Selects the entry of the instrument list whose value is the track's program (none when absent).
    function selectInstrument() {
        instrumentBox.currentIndex = instrumentBox.indexOfValue(root.instrument)
    }

    onInstrumentChanged: selectInstrument()
    onInstrumentModelChanged: selectInstrument()
    Component.onCompleted: selectInstrument()

    BrixTheme { id: theme }

    implicitWidth: stateWidth + 100 + 100 + panWidth + 80 + 4 * columnSpacing
    implicitHeight: 38

    Row {
        id: row
        height: parent.height
        spacing: root.columnSpacing

        Row {
            width: root.stateWidth
            anchors.verticalCenter: parent.verticalCenter
            spacing: 3

            OutlineButton {
                objectName: "trackMute"
                text: "M"
                toolTipText: qsTr("Mute Track")
                checked: root.isMuted
                enabled: root.enableMute
                onClicked: root.muteClicked()
            }
            OutlineButton {
                objectName: "trackSolo"
                text: "S"
                controlColor: "#D3AF37"
                toolTipText: qsTr("Solo Track")
                checked: root.isSolo
                enabled: root.enableSolo
                onClicked: root.soloClicked()
            }
        }
        Text {
            objectName: "trackName"
            width: root.nameWidth
            anchors.verticalCenter: parent.verticalCenter
            text: root.trackName
            elide: Text.ElideRight
            font: theme.default_font
            color: theme.light_text_color

            HoverHandler { id: nameHover }
            BrixToolTip {
                delay: 500
                text: root.trackName
                visible: nameHover.hovered && parent.truncated
            }
        }
        Item {
            width: root.instrumentWidth
            height: 28
            anchors.verticalCenter: parent.verticalCenter

            CustomComboBox {
                id: instrumentBox
                objectName: "instrumentBox"
                anchors.fill: parent
                visible: root.allowInstrumentChanges
                model: root.instrumentModel
                textRole: "displayname"
                valueRole: "value"
                minimumPopupWidth: 220
                onActivated: index => root.instrumentSet(instrumentBox.valueAt(index))
            }
            Text {
                id: instrumentLabel
                objectName: "instrumentLabel"
                anchors.fill: parent
                leftPadding: 8
                visible: !root.allowInstrumentChanges
                text: root.instrumentText
                elide: Text.ElideRight
                verticalAlignment: Text.AlignVCenter
                font: theme.default_font
                color: theme.default_text_color

                HoverHandler { id: instrumentHover }
                BrixToolTip {
                    delay: 500
                    text: root.showDisabledNotice
                          ? "<b>" + root.instrumentText + "</b> " + qsTr("Instrument not user selectable.")
                          : root.instrumentText
                    visible: instrumentHover.hovered && (instrumentLabel.truncated || root.showDisabledNotice)
                }
            }
        }
        BrixCustomDial {
            objectName: "panDial"
            width: root.panWidth
            // The dial's centre mark reaches half its height above it: it stays inside the row.
            height: 18
            anchors.verticalCenter: parent.verticalCenter
            value: root.pan
            onMoved: root.panSet(value)
        }
        BrixCustomVolumeSlider {
            objectName: "volumeSlider"
            width: root.volumeWidth
            anchors.verticalCenter: parent.verticalCenter
            value: root.volumeScaledDb
            onMoved: root.volumeSet(value)
        }
    }
}
