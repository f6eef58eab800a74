import QtQuick

// The caesura tool's window: one position, shifted after its beat by the microshift.
EditToolWindow {
    id: root

    signal createCaesuraRequest(var bar, var beat, real inShift)
    signal changeCaesuraRequest(var bar, var beat, real inShift)
    signal caesuraToolClosing()

    editTitle: qsTr("Edit Caesura")
    newTitle: qsTr("Create Caesura")
    widthFactor: 4.5
    hasDuration: false
    hasMicroshift: true
    showEventId: true

    onOkay: {
        if (isEdit)
            changeCaesuraRequest(panel.inBar, panel.inBeat, panel.inShift)
        else
            createCaesuraRequest(panel.inBar, panel.inBeat, panel.inShift)
    }
    onWindowClosing: caesuraToolClosing()
}
