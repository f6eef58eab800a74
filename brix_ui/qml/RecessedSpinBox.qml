import QtQuick
import com.fernwhistlestudios.brix_ui
import QtQuick.Layouts

// Spin box whose buttons only signal; the owner keeps the value in `intValue` and the text.
Item {
    id: root

    property alias value: field.text
    property int intValue: 1
    property int from: 0
    property int to: 99
    property var defaultValue: "\u221e"
    property alias editable: field.editable
    property alias inputWidth: field.width
    property alias textIndent: field.textIndent
    property alias inputFocus: field.focus
    property alias decrementButton: decrement
    property alias incrementButton: increment
    property bool underflowWithInfinite: false
    property bool dirty: false

    signal incrementValue()
    signal decrementValue()
    signal editingFinished()
    signal textEdited()

    function updateButtons() {
        decrement.enabled = intValue > from
        increment.enabled = intValue < to
    }

    height: 25
    width: row.implicitWidth + 2

    onIntValueChanged: updateButtons()
    Component.onCompleted: {
        intValue = defaultValue === "\u221e" ? from : defaultValue
        field.text = defaultValue
        updateButtons()
    }

    RowLayout {
        id: row
        anchors.fill: parent
        spacing: 0

        FlatButton {
            id: decrement
            objectName: "decrementButton"
            Layout.preferredWidth: 25
            Layout.preferredHeight: 25
            text: "-"
            onClicked: root.decrementValue()
        }
        RecessedTextInput {
            id: field
            objectName: "field"
            Layout.fillWidth: true
            Layout.preferredWidth: 50
            Layout.preferredHeight: 25
            horizontalAlignment: TextInput.AlignHCenter
            onTextEdited: root.textEdited()
            onEditingFinished: root.editingFinished()
        }
        FlatButton {
            id: increment
            objectName: "incrementButton"
            Layout.preferredWidth: 25
            Layout.preferredHeight: 25
            text: "+"
            onClicked: root.incrementValue()
        }
    }
}
