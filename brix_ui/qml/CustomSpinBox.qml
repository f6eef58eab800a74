import QtQuick
import com.fernwhistlestudios.brix_ui

// Self-contained spin box: "-" and "+" step `intValue` within [`from`, `to`]; with
// `underflowWithInfinite` one step below `from` reads "Infinite".
Item {
    id: root

    property alias value: field.text
    property int intValue: 1
    property int from: 0
    property int to: 99
    property bool underflowWithInfinite: false
    property alias editable: field.editable

    signal validateInput()

    // Brings `intValue` into range, enables the buttons and shows the value. Applied from completion
    // on, so the result does not depend on the order in which an owner sets the properties.
    function applyRange() {
        if (!internal.completed)
            return
        var lowest = underflowWithInfinite ? from - 1 : from
        if (intValue < lowest) {
            intValue = from
            return
        }
        if (intValue > to) {
            intValue = to
            return
        }
        decrement.enabled = intValue > lowest
        increment.enabled = intValue < to
        field.text = underflowWithInfinite && intValue === from - 1 ? "Infinite" : String(intValue)
    }

    height: 25

    onIntValueChanged: applyRange()
    Component.onCompleted: {
        internal.completed = true
        applyRange()
    }

    QtObject {
        id: internal
        property bool completed: false
    }

    onValidateInput: {
        var typed = parseInt(field.text, 10)
        if (isNaN(typed)) {
            if (underflowWithInfinite)
                intValue = from - 1
        } else {
            intValue = Math.max(from, Math.min(to, typed))
        }
        applyRange()
    }

    Row {
        id: row
        spacing: 2

        FlatButton {
            id: decrement
            objectName: "decrementButton"
            width: 25
            height: 25
            text: "-"
            onClicked: root.intValue -= 1
            onDoubleClicked: root.intValue -= 1
        }
        CustomTextInput {
            id: field
            objectName: "field"
            width: root.width - 50 - 4 * row.spacing
            height: 25
            horizontalAlignment: TextEdit.AlignHCenter
            text: "1"
            onEditingFinished: root.validateInput()
        }
        FlatButton {
            id: increment
            objectName: "incrementButton"
            width: 25
            height: 25
            text: "+"
            onClicked: root.intValue += 1
            onDoubleClicked: root.intValue += 1
        }
    }
}
