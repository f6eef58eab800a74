import QtQuick

// One cell of the status banner: a label and its value side by side on a rounded background that
// shows only while the cell has something to say.
Item {
    id: root

    property string label: ""
    property var value: ""
    property color labelColor: "#959595"
    property color valueColor: "white"
    property color backgroundColor: "transparent"
    property real barBackgroundOpacity: 1.0
    property int fontSize: 12
    property int spaceAroundText: 3

    readonly property string valueText: value === undefined || value === null ? "" : String(value)

    implicitWidth: row.implicitWidth + 4 * spaceAroundText
    implicitHeight: row.implicitHeight + 2 * spaceAroundText

    Rectangle {
        objectName: "cellBackground"
        anchors.fill: parent
        radius: 3
        color: root.backgroundColor
        opacity: root.barBackgroundOpacity
        visible: root.label !== "" || root.valueText !== ""
    }

    Row {
        id: row
        anchors.centerIn: parent
        spacing: 4

        Text {
            objectName: "cellLabel"
            text: root.label
            color: root.labelColor
            font.pixelSize: root.fontSize
        }
        Text {
            objectName: "cellValue"
            text: root.valueText
            color: root.valueColor
            font.pixelSize: root.fontSize
            visible: root.valueText !== ""
        }
    }
}
