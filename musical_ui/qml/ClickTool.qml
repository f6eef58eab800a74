import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import com.fernwhistlestudios.brix_ui

// The click tool's window: a range and the note value the click sounds on, chosen among the values
// the engine offers for the range (each shown as its notehead). A change of the range asks for them
// again.
EditToolWindow {
    id: root

    property alias clickCountModel: clickInput.model
    property alias clickCountIndex: clickInput.currentIndex

    signal createClickRequest(string startBar, int startBeat, string endBar, int endBeat, int count)
    signal changeClickRequest(string startBar, int startBeat, string endBar, int endBeat, int count)
    signal clickToolClosing()
    signal updateAvailableClicks()

    function noteheadOf(value) {
        return value === "" || value === undefined ? "" : "qrc:/images/notehead-" + value + ".svg"
    }

    editTitle: qsTr("Edit Click Resolution")
    newTitle: qsTr("Change Click Resolution")

    onOkay: {
        const count = parseInt(clickInput.displayText)
        if (isEdit)
            changeClickRequest(panel.inBar, parseInt(panel.inBeat), panel.outBar, parseInt(panel.outBeat), count)
        else
            createClickRequest(panel.inBar, parseInt(panel.inBeat), panel.outBar, parseInt(panel.outBeat), count)
    }
    onWindowClosing: clickToolClosing()

    // On the shown texts, which follow a combo box's index only after its index signal.
    Connections {
        target: root.panel
        function onInBarChanged() { root.updateAvailableClicks() }
        function onInBeatChanged() { root.updateAvailableClicks() }
        function onOutBarChanged() { root.updateAvailableClicks() }
        function onOutBeatChanged() { root.updateAvailableClicks() }
    }

    Text {
        Layout.alignment: Qt.AlignHCenter
        text: qsTr("Click Resolution")
        font.pixelSize: 14
        color: root.theme.default_text_color
    }
    CustomComboBox {
        id: clickInput
        objectName: "clickInput"
        Layout.alignment: Qt.AlignHCenter
        Layout.preferredWidth: 100
        focus: true
        mainLabel.visible: false
        onEnterPressed: root.okay()

        Image {
            objectName: "clickIcon"
            x: 10
            anchors.verticalCenter: parent.verticalCenter
            width: 20
            height: 20
            sourceSize: Qt.size(20, 20)
            source: root.noteheadOf(clickInput.displayText)
        }

        delegate: ItemDelegate {
            id: choice

            width: ListView.view ? ListView.view.width : 100
            height: 40
            padding: 0
            highlighted: ListView.isCurrentItem

            background: Rectangle {
                color: choice.highlighted || choice.hovered ? Qt.lighter(clickInput.default_popup_bg_color, 1.3)
                                                            : clickInput.default_popup_bg_color
            }
            contentItem: Item {
                Image {
                    x: 8
                    anchors.verticalCenter: parent.verticalCenter
                    width: 25
                    height: 25
                    sourceSize: Qt.size(25, 25)
                    source: root.noteheadOf(modelData)
                }
            }
        }
    }
}
