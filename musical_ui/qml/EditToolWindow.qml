import QtQuick
import QtQuick.Layouts
import com.fernwhistlestudios.brix_ui

// The window of one change-log edit tool: the bar and beat panel, the tool's own inputs (its
// children), OK and Cancel and the event id. OK (also Return, or Enter in a combo box) emits okay();
// the tool sends its request and its controller closes the window once the edit went through, so a
// refused edit leaves the window open. Cancel and Escape close the window without a request.
EditTool {
    id: root

    property string editTitle: ""
    property string newTitle: ""
    property real widthFactor: 2.5
    property bool showEventId: false
    property string toolNote: ""
    property alias panel: panel
    property alias hasDuration: panel.hasDuration
    property alias hasMicroshift: panel.hasMicroshift
    property alias showSelectAll: panel.showSelectAll
    property alias inShift: panel.inShift
    property alias inShiftMin: panel.inMinMicroshift
    property alias inShiftMax: panel.inMaxMicroshift
    property alias inShiftEnabled: panel.inShiftEnabled
    default property alias inputs: inputColumn.data

    signal okay()

    title: isEdit ? editTitle : newTitle
    flags: Qt.CustomizeWindowHint | Qt.Dialog | Qt.WindowTitleHint | Qt.WindowCloseButtonHint
    width: panel.comboBoxWidth * widthFactor
    height: column.implicitHeight + 50

    ColumnLayout {
        id: column
        anchors.fill: parent
        anchors.margins: 25
        spacing: 15

        // Keys no input took: an open list of a combo box keeps its own Return and Escape.
        Keys.onReturnPressed: root.okay()
        Keys.onEnterPressed: root.okay()
        Keys.onEscapePressed: root.close()

        BarAndBeatPanel {
            id: panel
            objectName: "barAndBeatPanel"
            Layout.fillWidth: true
            Layout.preferredHeight: panelHeight
            onPressEnter: root.okay()
            onInBarInputChanged: root.inBarChanged()
            onInBeatInputChanged: root.inBeatChanged()
        }
        ColumnLayout {
            id: inputColumn
            Layout.fillWidth: true
            visible: children.length > 0
            spacing: 5
        }
        StandardEditButtons {
            objectName: "editButtons"
            Layout.fillWidth: true
            onOkayClicked: root.okay()
            onCancelClicked: root.close()
        }
        Text {
            objectName: "toolNote"
            text: root.toolNote
            visible: root.toolNote !== ""
            font: root.theme.small_font
            color: root.theme.dim_text_color
            wrapMode: Text.Wrap
            Layout.fillWidth: true
        }
        EventIdLabel {
            objectName: "eventIdLabel"
            value: root.eventId
            visible: root.showEventId
            Layout.fillWidth: true
            Layout.topMargin: root.toolNote !== "" ? -10 : 0
        }
    }
}
