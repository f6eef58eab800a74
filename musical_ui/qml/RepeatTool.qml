import QtQuick
import QtQuick.Layouts

// The repeat tool's window: a range and how many times it plays in all.
EditToolWindow {
    id: root

    property alias intValue: count.intValue
    property alias value: count.value

    signal createRepeatRequest(string startBar, int startBeat, string endBar, int endBeat, int count)
    signal changeRepeatRequest(string startBar, int startBeat, string endBar, int endBeat, int count)
    signal repeatToolClosing()

    editTitle: qsTr("Edit Repeat")
    newTitle: qsTr("Create Repeat")

    onOkay: {
        count.validateInput()
        if (isEdit)
            changeRepeatRequest(panel.inBar, parseInt(panel.inBeat), panel.outBar, parseInt(panel.outBeat), count.intValue)
        else
            createRepeatRequest(panel.inBar, parseInt(panel.inBeat), panel.outBar, parseInt(panel.outBeat), count.intValue)
    }
    onWindowClosing: repeatToolClosing()

    CountSpinBox {
        id: count
        objectName: "repeatCount"
        Layout.alignment: Qt.AlignHCenter
        caption: qsTr("Repeat Count")
        from: 1
        to: 500
        defaultValue: "2"
        validateOnEditingFinished: false
        spinWidth: 125
    }
}
