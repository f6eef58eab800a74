import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import com.fernwhistlestudios.brix_ui

// The mixer: the click volume, the reset button and (when shown) tempo scale and transposition, then
// one section per row of mixerModel with its tracks. The controller sets mixerModel and
// clickVolumeControlValueScaledDb and listens to the signals; the sections write the user's mute and
// solo clicks into mixerModel.
Item {
    id: root

    property var mixerModel: null
    property bool showTempoScale: false
    property bool showTranspose: false
    property bool showClickVolume: true
    property real prevTempoScale: 0
    property real prevTranspose: 0
    property alias clickVolumeControlValueScaledDb: clickSlider.value
    property real minClickVolumeDB: -15.0

    signal clickVolumeSet(double valueDB)
    signal tempoScaleSet(double value)
    signal transposeSet(double value)
    signal resetMixerClicked()

    // "+" before a value that is not negative.
    function signedText(value) {
        return (value >= 0 ? "+" : "") + value
    }

    BrixTheme { id: theme }

    Rectangle {
        anchors.fill: parent
        color: theme.default_bg_color
    }

    Flickable {
        id: flick
        objectName: "mixerScroll"
        anchors.fill: parent
        anchors.margins: 6
        contentWidth: width
        contentHeight: column.implicitHeight
        clip: true
        boundsBehavior: Flickable.StopAtBounds
        ScrollBar.vertical: CustomScrollBar {
            policy: flick.contentHeight > flick.height ? ScrollBar.AlwaysOn : ScrollBar.AlwaysOff
        }

        ColumnLayout {
            id: column
            width: flick.width - (flick.contentHeight > flick.height ? 24 : 0)
            spacing: 8

            MixerSection {
                objectName: "generalSettings"
                Layout.fillWidth: true
                title: root.showTempoScale || root.showTranspose ? qsTr("General Settings") : ""

                GridLayout {
                    Layout.fillWidth: true
                    columns: 3
                    columnSpacing: 8
                    rowSpacing: 6

                    Text {
                        objectName: "clickVolumeLabel"
                        visible: root.showClickVolume
                        text: qsTr("Click Volume")
                        font: theme.default_font
                        color: theme.light_text_color

                        HoverHandler { id: clickLabelHover }
                        BrixToolTip {
                            delay: 500
                            text: qsTr("Click volume cannot be muted")
                            visible: clickLabelHover.hovered
                        }
                    }
                    BrixCustomVolumeSlider {
                        id: clickSlider
                        objectName: "clickVolumeSlider"
                        visible: root.showClickVolume
                        Layout.fillWidth: true
                        Layout.minimumWidth: 80
                        Layout.maximumWidth: 160
                        from: Math.exp(root.minClickVolumeDB / 25)
                        to: 1.0
                        value: 1.0
                        onMoved: root.clickVolumeSet(25 * Math.log(value))
                    }
                    RowLayout {
                        spacing: 8
                        Text {
                            objectName: "clickVolumeText"
                            visible: root.showClickVolume
                            Layout.preferredWidth: 55
                            text: (25 * Math.log(clickSlider.value)).toFixed(1) + " dB"
                            font: theme.default_font
                            color: theme.default_text_color
                        }
                        FlatButton {
                            objectName: "resetMixer"
                            text: qsTr("Reset Mixer")
                            onClicked: root.resetMixerClicked()
                        }
                    }

                    Text {
                        visible: root.showTempoScale
                        text: qsTr("Tempo Scale")
                        font: theme.default_font
                        color: theme.light_text_color
                    }
                    BrixCustomSlider {
                        id: tempoScaleSlider
                        objectName: "tempoScaleSlider"
                        visible: root.showTempoScale
                        Layout.fillWidth: true
                        Layout.minimumWidth: 80
                        Layout.maximumWidth: 160
                        from: -50
                        to: 50
                        value: 0
                        stepSize: 1
                        snapMode: Slider.SnapAlways
                        sliderStep: 1
                        zeroMark: 0
                        onMoved: {
                            if (value !== root.prevTempoScale) {
                                root.prevTempoScale = value
                                root.tempoScaleSet(value)
                            }
                        }
                    }
                    Text {
                        objectName: "tempoScaleText"
                        visible: root.showTempoScale
                        text: root.signedText(tempoScaleSlider.value) + "%"
                        font: theme.default_font
                        color: theme.default_text_color
                    }

                    Text {
                        visible: root.showTranspose
                        text: qsTr("Transpose")
                        font: theme.default_font
                        color: theme.light_text_color
                    }
                    BrixCustomSlider {
                        id: transposeSlider
                        objectName: "transposeSlider"
                        visible: root.showTranspose
                        Layout.fillWidth: true
                        Layout.minimumWidth: 80
                        Layout.maximumWidth: 160
                        from: -6
                        to: 6
                        value: 0
                        stepSize: 1
                        snapMode: Slider.SnapAlways
                        sliderStep: 1
                        zeroMark: 0
                        onMoved: {
                            if (value !== root.prevTranspose) {
                                root.prevTranspose = value
                                root.transposeSet(value)
                            }
                        }
                    }
                    Text {
                        objectName: "transposeText"
                        visible: root.showTranspose
                        text: root.signedText(transposeSlider.value)
                        font: theme.default_font
                        color: theme.default_text_color
                    }
                }
            }

            Repeater {
                model: root.mixerModel
                delegate: MixerSectionInstruments {
                    Layout.fillWidth: true
                    title: model.name
                    tooltip: model.tooltip
                    tracksModel: model.tracksModel
                    isMuted: model.isMuted
                    isSolo: model.isSolo
                    onMuteClicked: model.isMuted = !model.isMuted
                    onSoloClicked: model.isSolo = !model.isSolo
                }
            }
        }
    }
}
