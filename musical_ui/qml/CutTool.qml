import QtQuick

// The cut tool's window: an in and an out position, no value.
EditToolWindow {
    id: root

    signal createCutRequest(var startBar, var startBeat, var endBar, var endBeat)
    signal changeCutRequest(var startBar, var startBeat, var endBar, var endBeat)
    signal cutToolClosing()

    editTitle: qsTr("Edit Cut")
    newTitle: qsTr("Create Cut")

    onOkay: {
        if (isEdit)
            changeCutRequest(panel.inBar, panel.inBeat, panel.outBar, panel.outBeat)
        else
            createCutRequest(panel.inBar, panel.inBeat, panel.outBar, panel.outBeat)
    }
    onWindowClosing: cutToolClosing()
}
