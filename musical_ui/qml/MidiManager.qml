import QtQuick
import QtQuick.Layouts
import com.fernwhistlestudios.brix_ui

// The MIDI source and learned-command window: the MIDI input source with its light, and a table of the
// remote-control commands, whose rows the controller places in commandColumnObject. Choosing a source
// emits sourceSelected(row). Close, and Escape, close the window.
Window {
    id: root

    readonly property var columnWidths: [125, 150, 75, 75, 100, 40]
    property var sourceModel: []
    property alias sourceIndex: sourceBox.currentIndex
    property bool sourceStatus: false
    property alias commandColumnObject: commandColumn

    signal sourceSelected(int index)

    title: qsTr("MIDI Manager")
    width: 660
    height: content.implicitHeight + 32
    minimumWidth: width
    minimumHeight: height
    modality: Qt.ApplicationModal
    flags: Qt.Dialog
    color: theme.default_bg_color

    BrixTheme { id: theme }

    ColumnLayout {
        id: content
        anchors.fill: parent
        anchors.margins: 16
        spacing: 16

        Rectangle {
            Layout.fillWidth: true
            implicitHeight: 50
            color: theme.light_background_color

            BasicBevel {}

            RowLayout {
                anchors.fill: parent
                anchors.leftMargin: 16
                anchors.rightMargin: 16
                spacing: 16

                Text {
                    text: qsTr("MIDI Source")
                    font: theme.heavy_label
                    color: theme.default_text_color
                }
                CustomComboBox {
                    id: sourceBox
                    objectName: "sourceBox"
                    Layout.preferredWidth: 250
                    model: root.sourceModel
                    onActivated: root.sourceSelected(currentIndex)
                }
                Indicator {
                    objectName: "sourceIndicator"
                    value: root.sourceStatus
                }
                Item { Layout.fillWidth: true }
            }
        }

        Rectangle {
            Layout.fillWidth: true
            implicitHeight: table.implicitHeight + 16
            color: theme.light_background_color

            BasicBevel {}

            Column {
                id: table
                x: 16
                y: 8

                Row {
                    height: 30

                    Repeater {
                        model: [qsTr("Command"), qsTr("MIDI Status"), qsTr("Channel"), qsTr("Note"), qsTr("Learn"),
                                qsTr("Status")]
                        Text {
                            width: root.columnWidths[index]
                            height: 30
                            text: modelData
                            font: theme.heavy_label
                            color: theme.default_text_header_color
                            verticalAlignment: Text.AlignVCenter
                            horizontalAlignment: index === 5 ? Text.AlignHCenter : Text.AlignLeft
                        }
                    }
                }
                Column {
                    id: commandColumn
                    objectName: "commandColumn"
                    spacing: 15
                }
            }
        }

        RowLayout {
            Layout.fillWidth: true

            Item { Layout.fillWidth: true }
            FlatButton {
                id: closeButton
                objectName: "closeButton"
                text: qsTr("Close")
                Layout.preferredWidth: 80
                focus: true
                onClicked: root.close()
            }
        }
    }

    Shortcut {
        sequence: "Escape"
        onActivated: root.close()
    }
}
