import QtQuick
import QtQuick.Layouts

// The tempo tool's window: a range and its value, 50 to 200.
EditToolWindow {
    id: root

    property alias intValue: count.intValue
    property alias value: count.value

    signal createTempoRequest(string startBar, int startBeat, string endBar, int endBeat, int percent)
    signal changeTempoRequest(string startBar, int startBeat, string endBar, int endBeat, int percent)
    signal tempoToolClosing()

    editTitle: qsTr("Edit Tempo Scale")
    newTitle: qsTr("Scale Tempo")
    showSelectAll: true

    onOkay: {
        count.validateInput()
        if (isEdit)
            changeTempoRequest(panel.inBar, parseInt(panel.inBeat), panel.outBar, parseInt(panel.outBeat), count.intValue)
        else
            createTempoRequest(panel.inBar, parseInt(panel.inBeat), panel.outBar, parseInt(panel.outBeat), count.intValue)
    }
    onWindowClosing: tempoToolClosing()

    CountSpinBox {
        id: count
        objectName: "tempoValue"
        Layout.alignment: Qt.AlignHCenter
        caption: qsTr("Percent Change")
        from: 50
        to: 200
        defaultValue: 100
        keepInvalidText: false
        spinWidth: 100
    }
}
