import QtQuick
import com.fernwhistlestudios.brix_ui

// One remote-control command of the MIDI Manager: its learned status, channel (shown 1 to 16) and
// note, a Learn button and a light (sky blue while learning). The controller sets the values between
// initializing true and false; changes made meanwhile are not reported, later ones the user makes are
// (midiStatusChanged with the status byte, channelChanged with 0 to 15, noteChanged with 0 to 127).
Item {
    id: root

    property bool learnedCommand: false
    property bool learningCommand: false
    property var columnWidths: []
    property string commandName: ""
    property var midiStatusModel: null
    property bool enabledCommand: true
    property int midiStatusIndex: -1
    property int channelIndex: -1
    property int midiNoteIndex: -1
    property bool initializing: true

    signal learnClicked()
    signal midiStatusChanged(int newStatus)
    signal channelChanged(int newChannel)
    signal noteChanged(int newNote)

    readonly property var defaultWidths: [125, 150, 75, 75, 100, 40]

    function columnWidth(column) {
        return columnWidths && columnWidths.length > column ? columnWidths[column] : defaultWidths[column]
    }

    function channelNames() {
        var names = []
        for (var channel = 1; channel <= 16; ++channel)
            names.push(String(channel))
        return names
    }

    width: row.width
    height: 35

    onMidiStatusIndexChanged: statusBox.currentIndex = midiStatusIndex
    onChannelIndexChanged: channelBox.currentIndex = channelIndex
    onMidiNoteIndexChanged: noteBox.currentIndex = midiNoteIndex

    BrixTheme { id: theme }

    Row {
        id: row
        height: root.height

        Text {
            objectName: "commandName"
            width: root.columnWidth(0)
            height: root.height
            rightPadding: 4
            text: root.commandName
            font: theme.default_font
            color: theme.default_text_color
            // Two lines for a long name rather than a cut one.
            wrapMode: Text.WordWrap
            maximumLineCount: 2
            elide: Text.ElideRight
            verticalAlignment: Text.AlignVCenter
        }
        Item {
            width: root.columnWidth(1)
            height: root.height

            CustomComboBox {
                id: statusBox
                objectName: "statusBox"
                width: parent.width - 4
                height: 30
                anchors.verticalCenter: parent.verticalCenter
                model: root.midiStatusModel
                valueRole: "value"
                textRole: "displayname"
                enabled: root.enabledCommand
                onCurrentValueChanged: {
                    root.midiStatusIndex = currentIndex
                    if (root.initializing)
                        return
                    console.log("Selected " + currentIndex + ": " + currentValue)
                    root.midiStatusChanged(currentValue)
                }
            }
        }
        Item {
            width: root.columnWidth(2)
            height: root.height

            CustomComboBox {
                id: channelBox
                objectName: "channelBox"
                width: parent.width - 4
                height: 30
                anchors.verticalCenter: parent.verticalCenter
                model: root.channelNames()
                enabled: root.enabledCommand
                onCurrentIndexChanged: {
                    root.channelIndex = currentIndex
                    if (!root.initializing)
                        root.channelChanged(currentIndex)
                }
            }
        }
        Item {
            width: root.columnWidth(3)
            height: root.height

            CustomComboBox {
                id: noteBox
                objectName: "noteBox"
                width: parent.width - 4
                height: 30
                anchors.verticalCenter: parent.verticalCenter
                model: 128
                enabled: root.enabledCommand
                onCurrentIndexChanged: {
                    root.midiNoteIndex = currentIndex
                    if (!root.initializing)
                        root.noteChanged(currentIndex)
                }
            }
        }
        Item {
            width: root.columnWidth(4)
            height: root.height

            FlatButton {
                objectName: "learnButton"
                width: parent.width - 4
                height: 30
                anchors.verticalCenter: parent.verticalCenter
                text: qsTr("Learn")
                enabled: root.enabledCommand
                onClicked: root.learnClicked()
            }
        }
        Item {
            width: root.columnWidth(5)
            height: root.height

            Indicator {
                objectName: "commandIndicator"
                anchors.centerIn: parent
                value: root.learnedCommand
                learning: root.learningCommand
            }
        }
    }
}
