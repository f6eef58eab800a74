import QtQuick

// The skip tool's window: an in and an out position, no value.
EditToolWindow {
    id: root

    signal createSkipRequest(var startBar, var startBeat, var endBar, var endBeat)
    signal changeSkipRequest(var startBar, var startBeat, var endBar, var endBeat)
    signal skipToolClosing()

    editTitle: qsTr("Edit Skip")
    newTitle: qsTr("Create Skip")

    onOkay: {
        if (isEdit)
            changeSkipRequest(panel.inBar, panel.inBeat, panel.outBar, panel.outBeat)
        else
            createSkipRequest(panel.inBar, panel.inBeat, panel.outBar, panel.outBeat)
    }
    onWindowClosing: skipToolClosing()
}
