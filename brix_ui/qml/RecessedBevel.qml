import QtQuick
import com.fernwhistlestudios.brix_ui

// Sunk edge for the rectangle it fills: the lines of BasicBevel mirrored, so the face looks recessed.
Item {
    id: bevel

    property int bevel_width: 1
    property color bevel_dark_color: Qt.lighter(faceColor, 0.9)
    property color bevel_light_color: Qt.lighter(faceColor, 1.3)
    property bool hide_left: false
    property bool hide_top: false
    property bool hide_bottom: false
    property alias bgcolor: background.color
    property alias bgvisible: background.visible

    readonly property color faceColor: parent && parent.color !== undefined ? parent.color : theme.default_bg_color

    anchors.fill: parent

    BrixTheme { id: theme }

    Rectangle {
        id: background
        anchors.fill: parent
        visible: false
    }
    Rectangle {
        objectName: "leftLine"
        x: -width
        width: theme.bevel_width
        height: parent.height
        color: bevel.bevel_dark_color
    }
    Rectangle {
        objectName: "rightLine"
        x: parent.width
        width: theme.bevel_width
        height: parent.height
        color: bevel.bevel_light_color
        visible: !bevel.hide_left
    }
    Rectangle {
        objectName: "bottomLine"
        y: parent.height
        width: parent.width
        height: theme.bevel_width
        color: bevel.bevel_light_color
        visible: !bevel.hide_top
    }
    Rectangle {
        objectName: "topLine"
        width: parent.width
        height: bevel.bevel_width
        color: bevel.bevel_dark_color
        visible: !bevel.hide_bottom
    }
}
