import QtQuick
import QtQuick.Layouts
import com.fernwhistlestudios.brix_ui

// The edit bar: the ten tool buttons, then Edit, Delete, Undo over Redo, Save and Share. Edit, Delete,
// Undo, Redo, Save and Share start disabled; the edit bar controller enables them.
Rectangle {
    id: bar

    property bool enableOsc: false
    // The fourteen picture buttons share what the caption, Undo/Redo and the spacing leave, at most
    // 64 each, so every button stays on screen in a narrow window.
    readonly property int buttonWidth: Math.max(44, Math.min(64, Math.floor((width - 12 - 80 - 42 - 17 * 9) / 14)))
    property alias editButtonControl: editButtonItem
    property alias deleteButtonControl: deleteButtonItem
    property alias undoButtonControl: undoButtonItem
    property alias redoButtonControl: redoButtonItem
    property alias saveControl: saveButtonItem
    property alias shareControl: shareButtonItem

    signal caesuraButton()
    signal clickButton()
    signal cutButton()
    signal markerButton()
    signal repeatButton()
    signal skipButton()
    signal tempoScaleButton()
    signal transposeButton()
    signal vampButton()
    signal oscButton()
    signal editButton()
    signal deleteButton()
    signal undoButton()
    signal redoButton()
    signal saveButton()
    signal shareButton()

    height: 56
    color: theme.default_bg_color

    BrixTheme { id: theme }

    RowLayout {
        anchors.fill: parent
        anchors.leftMargin: 6
        anchors.rightMargin: 6
        spacing: 9

        Text {
            Layout.preferredWidth: 80
            text: "Controls"
            font.bold: true
            font.pixelSize: 12
            color: theme.default_text_color
        }
        GraphicButton { Layout.preferredWidth: bar.buttonWidth; objectName: "caesuraButton"; text: "Caesura"; imageSource: "qrc:/images/edit_caesura.svg"; toolTip.text: "Add a pause"; onClicked: bar.caesuraButton() }
        GraphicButton { Layout.preferredWidth: bar.buttonWidth; objectName: "clickButton"; text: "Click"; imageSource: "qrc:/images/edit_click.svg"; toolTip.text: "Change the click resolution of the metronome"; onClicked: bar.clickButton() }
        GraphicButton { Layout.preferredWidth: bar.buttonWidth; objectName: "cutButton"; text: "Cut"; imageSource: "qrc:/images/cut.svg"; toolTip.text: "Remove section of the song"; onClicked: bar.cutButton() }
        GraphicButton { Layout.preferredWidth: bar.buttonWidth; objectName: "markerButton"; text: "Marker"; imageSource: "qrc:/images/edit_marker.svg"; toolTip.text: "Add a reference note"; onClicked: bar.markerButton() }
        GraphicButton { Layout.preferredWidth: bar.buttonWidth; objectName: "repeatButton"; text: "Repeat"; imageSource: "qrc:/images/edit_repeat.svg"; toolTip.text: "Repeat section"; onClicked: bar.repeatButton() }
        GraphicButton { Layout.preferredWidth: bar.buttonWidth; objectName: "skipButton"; text: "Skip"; imageSource: "qrc:/images/edit_skip.svg"; toolTip.text: "Jump to the end of a section"; onClicked: bar.skipButton() }
        GraphicButton { Layout.preferredWidth: bar.buttonWidth; objectName: "tempoButton"; text: "Tempo"; imageSource: "qrc:/images/edit_tempo.svg"; toolTip.text: "Scale the tempo by a percentage"; onClicked: bar.tempoScaleButton() }
        GraphicButton { Layout.preferredWidth: bar.buttonWidth; objectName: "transposeButton"; text: "Transpose"; imageSource: "qrc:/images/edit_transpose.png"; toolTip.text: "Change the key by half steps"; onClicked: bar.transposeButton() }
        GraphicButton { Layout.preferredWidth: bar.buttonWidth; objectName: "vampButton"; text: "Vamp"; imageSource: "qrc:/images/edit_vamp.svg"; toolTip.text: "Repeat a section indefinitely"; onClicked: bar.vampButton() }
        GraphicButton {
            Layout.preferredWidth: bar.buttonWidth
            objectName: "oscButton"
            text: "OSC"
            imageSource: "qrc:/images/lan.svg"
            enabled: bar.enableOsc
            toolTip.text: enabled ? "Send an OSC command" : "Send an OSC command.<br><i>Unavailable in Tarn|Wick.</i>"
            onClicked: bar.oscButton()
        }
        Item { Layout.fillWidth: true }
        GraphicButton { Layout.preferredWidth: bar.buttonWidth; id: editButtonItem; objectName: "editButton"; enabled: false; text: "Edit"; imageSource: "qrc:/images/edit_edit.svg"; toolTip.text: "Edit the selected event"; onClicked: bar.editButton() }
        GraphicButton { Layout.preferredWidth: bar.buttonWidth; id: deleteButtonItem; objectName: "deleteButton"; enabled: false; text: "Delete"; imageSource: "qrc:/images/edit_delete.svg"; toolTip.text: "Delete the selected event"; onClicked: bar.deleteButton() }
        Column {
            spacing: 4
            GraphicButton { id: undoButtonItem; objectName: "undoButton"; enabled: false; width: 42; text: "Undo"; toolTip.text: "Undo the last change"; onClicked: bar.undoButton() }
            GraphicButton { id: redoButtonItem; objectName: "redoButton"; enabled: false; width: 42; text: "Redo"; toolTip.text: "Redo the last change"; onClicked: bar.redoButton() }
        }
        GraphicButton { Layout.preferredWidth: bar.buttonWidth; id: saveButtonItem; objectName: "saveButton"; enabled: false; text: "Save"; imageSource: "qrc:/images/save.svg"; toolTip.text: "Save changes to local device only (not shared)"; onClicked: bar.saveButton() }
        GraphicButton { Layout.preferredWidth: bar.buttonWidth; id: shareButtonItem; objectName: "shareButton"; enabled: false; text: "Share"; imageSource: "qrc:/images/share.svg"; toolTip.text: "Save and send changes to cast"; onClicked: bar.shareButton() }
    }
}
