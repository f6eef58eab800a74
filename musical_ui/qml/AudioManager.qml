import QtQuick
import QtQuick.Layouts
import com.fernwhistlestudios.brix_ui

// The audio device window: the output device (row 0 is the system's default device) and the output
// volume. OK, and Enter in the device list, emit okay(); the controller reads the choice and hides the
// window. Cancel closes it without any effect.
Window {
    id: root

    property var outputDeviceModel: []
    property alias outputDeviceIndex: deviceBox.currentIndex
    property alias outputVolume: volumeSlider.value
    readonly property real outputVolumeLinear: Math.pow(10, 25 * Math.log(outputVolume) / 20)
    readonly property var outputDeviceValue: deviceBox.currentValue
    // Whether the user moved the volume slider since the window opened.
    property bool volumeMoved: false

    signal okay()

    title: qsTr("Audio Manager")
    width: 360
    height: content.implicitHeight + 32
    minimumWidth: width
    maximumWidth: width
    minimumHeight: height
    maximumHeight: height
    modality: Qt.ApplicationModal
    flags: Qt.Dialog | Qt.CustomizeWindowHint | Qt.WindowTitleHint | Qt.WindowCloseButtonHint
    color: theme.default_bg_color

    BrixTheme { id: theme }

    ColumnLayout {
        id: content
        anchors.fill: parent
        anchors.margins: 16
        spacing: 16

        Text {
            text: qsTr("Audio Output")
            font: theme.heavy_label
            color: theme.default_text_header_color
        }

        Rectangle {
            Layout.fillWidth: true
            implicitHeight: panel.implicitHeight + 32
            color: theme.light_background_color

            BasicBevel {}

            ColumnLayout {
                id: panel
                anchors.fill: parent
                anchors.margins: 16
                spacing: 16

                Text {
                    text: qsTr("Device")
                    font: theme.default_font
                    color: theme.default_text_color
                }
                CustomComboBox {
                    id: deviceBox
                    objectName: "deviceBox"
                    Layout.fillWidth: true
                    model: root.outputDeviceModel
                    focus: true
                    onEnterPressed: root.okay()
                }
                Text {
                    Layout.fillWidth: true
                    text: qsTr("• Bluetooth devices are not supported\n• Adding or removing an audio device while the application is running may cause stability issues")
                    font: theme.small_font
                    color: theme.dim_text_color
                    wrapMode: Text.WordWrap
                }
                Text {
                    visible: false
                    text: qsTr("Volume")
                    font: theme.default_font
                    color: theme.default_text_color
                }
                BrixCustomSlider {
                    id: volumeSlider
                    objectName: "volumeSlider"
                    visible: false
                    Layout.fillWidth: true
                    from: 0.04076220398
                    to: 1.0
                    stepSize: 0.01
                    zeroMark: 0.7866278611
                    customDisplayFunction: value => (25 * Math.log(value)).toFixed(3)
                    customInvertFunction: text => Math.exp(parseFloat(text) / 25)
                    onMoved: root.volumeMoved = true

                    BrixToolTip {
                        text: qsTr("Value: ") + (25 * Math.log(volumeSlider.value)).toFixed(1) + " dB"
                        visible: volumeSlider.hovered
                    }
                }
            }
        }

        RowLayout {
            Layout.fillWidth: true
            spacing: 16

            Item { Layout.fillWidth: true }
            FlatButton {
                objectName: "cancelButton"
                text: qsTr("Cancel")
                Layout.preferredWidth: 80
                onClicked: root.close()
            }
            FlatButton {
                objectName: "okButton"
                text: qsTr("OK")
                isDefault: true
                Layout.preferredWidth: 80
                onClicked: root.okay()
            }
        }
    }
}
