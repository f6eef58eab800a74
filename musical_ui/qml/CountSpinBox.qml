import QtQuick
import QtQuick.Layouts
import com.fernwhistlestudios.brix_ui

// A captioned whole-number input of an edit tool: a RecessedSpinBox whose value stays within
// [from, to]. With `infinityAtFrom` the lowest value reads "∞" and text that is no number means it;
// otherwise such text is replaced by the current value, or left as typed with `keepInvalidText` (the
// current value is what counts).
ColumnLayout {
    id: root

    property alias caption: caption.text
    property alias from: spin.from
    property alias to: spin.to
    property alias defaultValue: spin.defaultValue
    property alias intValue: spin.intValue
    property alias value: spin.value
    property alias spinBox: spin
    property alias spinWidth: spin.width
    property bool infinityAtFrom: false
    property bool keepInvalidText: false
    property bool validateOnEditingFinished: true

    function textOf(number) {
        return infinityAtFrom && number <= from ? "\u221e" : String(number)
    }
    function setValue(number) {
        spin.intValue = Math.max(from, Math.min(to, number))
        spin.value = textOf(spin.intValue)
        spin.updateButtons()
    }
    function validateInput() {
        const text = spin.value.trim()
        if (/^[-+]?\d+$/.test(text))
            setValue(parseInt(text, 10))
        else if (infinityAtFrom)
            setValue(from)
        else if (!keepInvalidText)
            spin.value = textOf(spin.intValue)
    }

    spacing: 5

    Text {
        id: caption
        objectName: "countCaption"
        Layout.alignment: Qt.AlignHCenter
        font.pixelSize: 14
        color: theme.default_text_color
    }
    RecessedSpinBox {
        id: spin
        objectName: "countSpinBox"
        Layout.alignment: Qt.AlignHCenter
        Layout.preferredWidth: width
        inputFocus: true
        onIncrementValue: root.setValue(intValue + 1)
        onDecrementValue: root.setValue(intValue - 1)
        onEditingFinished: {
            if (root.validateOnEditingFinished)
                root.validateInput()
        }
    }
}
