import QtQuick
import com.fernwhistlestudios.brix_ui
import QtQuick.Layouts
import "../SfxUnits.js" as SfxUnits

// Editor of one custom audio entry: an audio file from disk (or, with `usesCustomAudioFile` off, a
// source of `effectModel`), Play or Stop, volume, fades and loop. OK sends updateCustomAudioEntry() and
// closes the window; every close emits toolClosing() once.
EditTool {
    id: root

    property alias outputPathsModel: outputPathBox.model
    property alias outputPath: outputPathBox.currentValue
    property alias outputPathIndex: outputPathBox.currentIndex
    property alias effectModel: effectBox.model
    property alias effectId: effectBox.currentValue
    property alias effectIdIndex: effectBox.currentIndex
    property alias effectText: effectBox.displayText
    property alias name: nameField.text
    property alias volume: volumeSlider.value
    property alias pan: panSlider.value
    property alias reverb: reverbSlider.value
    property alias fadeIn: fadeInField.text
    property alias fadeOut: fadeOutField.text
    property alias loop: loopBox.checked
    property alias filename: fileInput.value
    property alias fileUrl: fileInput.fileUrl
    property alias commandIndex: commandBox.currentIndex
    // For the host; the tool neither sets nor reads it.
    property bool isSourceFileDirty: false
    property bool usesCustomAudioFile: true
    property bool isNameDirty: false
    property int prefColumnWidth: 200

    signal updateCustomAudioEntry(url fileUrl, int commandIndex, real volume, real pan, int fadeIn, int fadeOut, bool loop)
    signal toolClosing()

    function setOutputPathIndexFromName(name) {
        outputPathIndex = outputPathBox.indexOfValue(name)
    }

    // A typed name stays; a window closed and shown anew follows the source again.
    onIsNameDirtyChanged: {
        if (isNameDirty)
            nameField.text = nameField.text
        else
            nameField.text = Qt.binding(() => effectBox.displayText)
    }

    onWindowClosing: {
        isNameDirty = false
        toolClosing()
    }

    title: qsTr("Custom Audio Parameters")
    flags: Qt.CustomizeWindowHint | Qt.Dialog | Qt.WindowTitleHint | Qt.WindowCloseButtonHint
    width: content.implicitWidth + 50
    height: content.implicitHeight + 50

    // OK of the form.
    QtObject {
        id: form

        // OK needs an audio file while the entry plays one from disk, and fades that read as finite numbers.
        readonly property bool canAccept: (!root.usesCustomAudioFile || fileInput.fileUrl.toString() !== "")
                                          && !SfxUnits.isFadeRefused(fadeInField.text) && !SfxUnits.isFadeRefused(fadeOutField.text)

        function accept() {
            if (!form.canAccept)
                return
            root.updateCustomAudioEntry(fileInput.fileUrl, commandBox.currentIndex, SfxUnits.gainOf(volumeSlider.value),
                                        panSlider.value, SfxUnits.fadeMilliseconds(fadeInField.text),
                                        SfxUnits.fadeMilliseconds(fadeOutField.text), loopBox.checked)
            root.close()
        }
    }

    ColumnLayout {
        id: content
        objectName: "content"
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.top: parent.top
        anchors.margins: 25
        spacing: 15

        GridLayout {
            Layout.fillWidth: true
            Layout.alignment: Qt.AlignLeft
            columns: 2

            Text {
                visible: false
                text: qsTr("Name")
                font: root.theme.default_font
                color: root.theme.default_text_color
            }
            RecessedTextInput {
                id: nameField
                objectName: "nameField"
                visible: false
                Layout.preferredWidth: root.prefColumnWidth
                text: effectBox.displayText
                onTextEdited: root.isNameDirty = true
            }

            Text {
                visible: false
                text: qsTr("Output Path")
                font: root.theme.default_font
                color: root.theme.default_text_color
            }
            CustomComboBox {
                id: outputPathBox
                objectName: "outputPathBox"
                visible: false
                Layout.preferredWidth: root.prefColumnWidth
                textRole: "path_name"
                valueRole: "path_id"
            }

            Text {
                Layout.topMargin: 5
                Layout.bottomMargin: root.usesCustomAudioFile ? 0 : 2
                text: qsTr("Source File")
                font: root.theme.default_font
                color: root.theme.default_text_color
            }
            // The source: a file from disk, or a source of `effectModel`; the hidden one takes no place.
            ColumnLayout {
                Layout.topMargin: 5
                Layout.bottomMargin: root.usesCustomAudioFile ? 0 : 2
                Layout.preferredWidth: root.prefColumnWidth
                spacing: 0

                CustomComboBox {
                    id: effectBox
                    objectName: "effectBox"
                    visible: !root.usesCustomAudioFile
                    Layout.fillWidth: true
                    textRole: "displayname"
                    valueRole: "sfxid"
                }
                FileInputControl {
                    id: fileInput
                    objectName: "fileInput"
                    visible: root.usesCustomAudioFile
                    Layout.fillWidth: true
                    spacing: 15
                    nameFilters: ["WAV Files (*.wav)", "All files (*)"]
                    // No file until one is chosen: the control's own folder is no audio file.
                    fileUrl: ""
                }
            }

            Text {
                Layout.bottomMargin: 2
                text: qsTr("Command")
                font: root.theme.default_font
                color: root.theme.default_text_color
            }
            CustomComboBox {
                id: commandBox
                objectName: "commandBox"
                Layout.bottomMargin: 2
                Layout.preferredWidth: root.prefColumnWidth
                textRole: "displayName"
                valueRole: "commandIndex"
                model: [
                    { displayName: qsTr("Play"), commandIndex: 0 },
                    { displayName: qsTr("Stop"), commandIndex: 1 }
                ]
            }

            Text {
                text: qsTr("Volume")
                font: root.theme.default_font
                color: root.theme.default_text_color
            }
            BrixCustomSlider {
                id: volumeSlider
                objectName: "volumeSlider"
                Layout.preferredWidth: root.prefColumnWidth
                from: SfxUnits.volumeFrom
                to: SfxUnits.volumeTo
                value: SfxUnits.volumeZeroMark
                sliderStep: 0.01
                zeroMark: SfxUnits.volumeZeroMark
                customDisplayFunction: value => SfxUnits.decibelsOf(value).toFixed(3)
                customInvertFunction: text => SfxUnits.positionOf(parseFloat(text))

                BrixToolTip {
                    objectName: "volumeToolTip"
                    delay: 500
                    visible: volumeSlider.hovered
                    text: qsTr("Value: ") + SfxUnits.decibelsOf(volumeSlider.value).toFixed(1) + " dB"
                }
            }

            Text {
                visible: false
                text: qsTr("Pan")
                font: root.theme.default_font
                color: root.theme.default_text_color
            }
            BrixCustomSlider {
                id: panSlider
                objectName: "panSlider"
                visible: false
                Layout.preferredWidth: root.prefColumnWidth
                from: 0
                to: 100
                value: 50
                zeroMark: 50
            }

            Text {
                visible: false
                text: qsTr("Reverb")
                font: root.theme.default_font
                color: root.theme.default_text_color
            }
            BrixCustomSlider {
                id: reverbSlider
                objectName: "reverbSlider"
                visible: false
                Layout.preferredWidth: root.prefColumnWidth
                from: 0
                to: 100
                value: 50
                showZeroMark: false
            }

            Text {
                text: qsTr("Fade In (sec)")
                font: root.theme.default_font
                color: root.theme.default_text_color
            }
            RecessedTextInput {
                id: fadeInField
                objectName: "fadeInField"
                Layout.preferredWidth: root.prefColumnWidth / 2
            }

            Text {
                text: qsTr("Fade Out (sec)")
                font: root.theme.default_font
                color: root.theme.default_text_color
            }
            RecessedTextInput {
                id: fadeOutField
                objectName: "fadeOutField"
                Layout.preferredWidth: root.prefColumnWidth / 2
            }

            CustomCheckbox {
                id: loopBox
                objectName: "loopBox"
                checkboxTextStr: qsTr("Loop")
            }
        }

        StandardEditButtons {
            id: buttons
            objectName: "editButtons"
            Layout.alignment: Qt.AlignHCenter
            Layout.topMargin: 5
            okButton.enabled: form.canAccept
            onOkayClicked: form.accept()
            onCancelClicked: root.close()
        }

        EventIdLabel {
            objectName: "eventIdLabel"
            visible: !root.usesCustomAudioFile
            value: root.eventId
        }
    }
}
