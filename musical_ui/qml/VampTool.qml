import QtQuick
import QtQuick.Layouts

// The vamp tool's window: a range and how many times it plays, 0 ("∞") until released.
EditToolWindow {
    id: root

    property alias intValue: count.intValue
    property alias value: count.value

    signal createVampRequest(string startBar, int startBeat, string endBar, int endBeat, int count)
    signal changeVampRequest(string startBar, int startBeat, string endBar, int endBeat, int count)
    signal vampToolClosing()

    editTitle: qsTr("Edit Vamp")
    newTitle: qsTr("Create Vamp")
    showEventId: true

    onOkay: {
        count.validateInput()
        if (isEdit)
            changeVampRequest(panel.inBar, parseInt(panel.inBeat), panel.outBar, parseInt(panel.outBeat), count.intValue)
        else
            createVampRequest(panel.inBar, parseInt(panel.inBeat), panel.outBar, parseInt(panel.outBeat), count.intValue)
    }
    onWindowClosing: vampToolClosing()

    CountSpinBox {
        id: count
        objectName: "vampCount"
        Layout.alignment: Qt.AlignHCenter
        caption: qsTr("Vamp Count")
        from: 0
        to: 500
        defaultValue: "\u221e"
        infinityAtFrom: true
        spinWidth: 125
    }
}
