import QtQuick
import QtQuick.Layouts

// The transpose tool's window: a range and its value, -6 to 6.
EditToolWindow {
    id: root

    property alias intValue: count.intValue
    property alias value: count.value

    signal createTransposeRequest(string startBar, int startBeat, string endBar, int endBeat, int halfSteps)
    signal changeTransposeRequest(string startBar, int startBeat, string endBar, int endBeat, int halfSteps)
    signal transposeToolClosing()

    editTitle: qsTr("Edit Transposition")
    newTitle: qsTr("Transpose Key")
    showSelectAll: false

    onOkay: {
        count.validateInput()
        if (isEdit)
            changeTransposeRequest(panel.inBar, parseInt(panel.inBeat), panel.outBar, parseInt(panel.outBeat), count.intValue)
        else
            createTransposeRequest(panel.inBar, parseInt(panel.inBeat), panel.outBar, parseInt(panel.outBeat), count.intValue)
    }
    onWindowClosing: transposeToolClosing()

    CountSpinBox {
        id: count
        objectName: "transposeValue"
        Layout.alignment: Qt.AlignHCenter
        caption: qsTr("Half Steps")
        from: -6
        to: 6
        defaultValue: 0
        keepInvalidText: true
        spinWidth: 125
    }
}
