import QtQuick
import com.fernwhistlestudios.brix_ui
import QtQuick.Layouts
import "SfxUnits.js" as SfxUnits

// Editor of one sound-effect instance: name, source file, volume, pan, fades and loop. The host fills
// the fields and shows the window; OK sends createRequest() or changeRequest() (by `isEdit`) with the
// values in the units the host stores, then the window hides and emits toolClosing().
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
    // True once the operator typed a name; until then the name follows the chosen source file.
    property bool isNameDirty: false
    property int prefColumnWidth: 200

    signal createRequest(string name, string outputPath, int outputPathIndex, string effectId, int effectIdIndex,
                         real volume, real pan, int reverb, int fadeIn, int fadeOut, int repeats)
    signal changeRequest(string name, string outputPath, int outputPathIndex, string effectId, int effectIdIndex,
                         real volume, real pan, int reverb, int fadeIn, int fadeOut, int repeats)
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

    title: (isEdit ? qsTr("Edit ") : qsTr("Create ")) + qsTr("Instance")
    flags: Qt.CustomizeWindowHint | Qt.Dialog | Qt.WindowTitleHint | Qt.WindowCloseButtonHint
    width: content.implicitWidth + 50
    height: content.implicitHeight + 50

    // OK and Cancel of the form.
    QtObject {
        id: form

        // A fade whose text reads as an infinite number cannot be sent; OK waits for a readable one.
        readonly property bool canAccept: !SfxUnits.isFadeRefused(fadeInField.text) && !SfxUnits.isFadeRefused(fadeOutField.text)

        function accept() {
            if (!form.canAccept)
                return
            var request = root.isEdit ? root.changeRequest : root.createRequest
            request(nameField.text, outputPathBox.currentValue, outputPathBox.currentIndex,
                    effectBox.currentValue, effectBox.currentIndex, SfxUnits.gainOf(volumeSlider.value),
                    panSlider.value, Math.trunc(reverbSlider.value),
                    SfxUnits.fadeMilliseconds(fadeInField.text), SfxUnits.fadeMilliseconds(fadeOutField.text),
                    loopBox.checked ? -1 : 0)
            root.visible = false
            root.toolClosing()
        }

        function cancel() {
            root.visible = false
            root.toolClosing()
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
        focus: true

        Keys.onEscapePressed: form.cancel()
        Keys.onReturnPressed: form.accept()

        GridLayout {
            Layout.fillWidth: true
            Layout.alignment: Qt.AlignLeft
            columns: 2

            Text {
                text: qsTr("Name")
                font: root.theme.default_font
                color: root.theme.default_text_color
            }
            RecessedTextInput {
                id: nameField
                objectName: "nameField"
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
                text: qsTr("Source File")
                font: root.theme.default_font
                color: root.theme.default_text_color
            }
            CustomComboBox {
                id: effectBox
                objectName: "effectBox"
                Layout.preferredWidth: root.prefColumnWidth
                textRole: "displayname"
                valueRole: "sfxid"
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
                sliderStep: 0.01
                zeroMark: SfxUnits.volumeZeroMark
                customDisplayFunction: value => SfxUnits.decibelsOf(value).toFixed(3)
                customInvertFunction: text => SfxUnits.positionOf(parseFloat(text))

                BrixToolTip {
                    objectName: "volumeToolTip"
                    delay: 500
                    visible: volumeSlider.hovered || volumeSlider.activeFocus
                    text: qsTr("Value: ") + SfxUnits.decibelsOf(volumeSlider.value).toFixed(1) + " dB"
                }
            }

            Text {
                text: qsTr("Pan")
                font: root.theme.default_font
                color: root.theme.default_text_color
            }
            BrixCustomSlider {
                id: panSlider
                objectName: "panSlider"
                Layout.preferredWidth: root.prefColumnWidth
                from: 0
                to: 100
                value: 50
                zeroMark: 50

                BrixToolTip {
                    objectName: "panToolTip"
                    delay: 500
                    visible: panSlider.hovered || panSlider.activeFocus
                    text: qsTr("Value: ") + panSlider.value.toFixed(2)
                }
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
            okButton.enabled: form.canAccept
            onOkayClicked: form.accept()
            onCancelClicked: form.cancel()
        }

        EventIdLabel {
            objectName: "eventIdLabel"
            value: root.eventId
        }
    }
}
