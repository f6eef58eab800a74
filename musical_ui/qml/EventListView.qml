import QtQuick
import QtQuick.Controls
import com.fernwhistlestudios.brix_ui

// The change-log event list: an icon by kind, then In, Out, Type and Value (the type is the core
// library's edit name). A double click asks to edit the event (not an OSC cue while OSC is off).
Rectangle {
    id: root

    property alias model: list.model
    property alias currentIndex: list.currentIndex
    property bool enableOsc: false
    readonly property var columns: [0.07, 0.22, 0.22, 0.19, 0.3]

    signal currentItemChanged(int index)
    signal editSelectedItem()

    function iconOf(type) {
        const icons = { "Caesura": "caesura.svg", "Click": "click_event.svg", "Cut": "cut.svg",
                        "Fermata": "fermata_event.svg", "Skip": "fermata_event.svg", "Repeat": "repeat_event.svg",
                        "Tempo": "tempo_event.svg", "TempoScale": "tempo_event.svg", "Vamp": "vamp_event.svg",
                        "Transpose": "transpose_event.svg", "Sfx": "sfx.svg",
                        "Ambient Sfx": "ambient_audio_event.svg", "Osc": "lan.svg" }
        return icons[type] === undefined ? "" : "qrc:/images/" + icons[type]
    }
    function columnX(i) {
        let x = 0
        for (let c = 0; c < i; ++c)
            x += columns[c] * width
        return x
    }

    color: theme.dark_background_color
    BrixTheme { id: theme }

    Rectangle {
        id: header
        width: parent.width
        height: 35
        color: theme.default_bg_color
        Repeater {
            model: ["", "In", "Out", "Type", "Value"]
            Text {
                required property int index
                required property string modelData
                x: root.columnX(index) + 4
                anchors.verticalCenter: parent.verticalCenter
                text: modelData
                color: theme.default_text_header_color
                font: theme.heavy_label
            }
        }
    }
    ListView {
        id: list
        objectName: "eventList"
        anchors.top: header.bottom
        anchors.bottom: parent.bottom
        width: parent.width
        clip: true
        currentIndex: -1
        onCurrentIndexChanged: root.currentItemChanged(currentIndex)
        ScrollBar.vertical: CustomScrollBar {}
        delegate: Rectangle {
            id: row
            required property int index
            required property string inbeat
            required property string out
            required property string type
            required property string count
            width: ListView.view.width
            height: 25
            color: ListView.isCurrentItem ? Qt.lighter(theme.default_selected_color_intense, 1.1) : "transparent"
            Image {
                x: root.columnX(0) + 4
                anchors.verticalCenter: parent.verticalCenter
                width: 16; height: 16
                sourceSize: Qt.size(16, 16)
                source: root.iconOf(row.type)
            }
            Repeater {
                model: [row.inbeat, row.out, row.type, row.count]
                Text {
                    required property int index
                    required property string modelData
                    x: root.columnX(index + 1) + 4
                    width: root.columns[index + 1] * root.width - 8
                    anchors.verticalCenter: parent.verticalCenter
                    text: modelData
                    color: "white"
                    elide: Text.ElideRight
                }
            }
            MouseArea {
                anchors.fill: parent
                onClicked: list.currentIndex = row.index
                onDoubleClicked: {
                    if (row.type !== "Osc" || root.enableOsc)
                        root.editSelectedItem()
                }
            }
        }
    }
}
