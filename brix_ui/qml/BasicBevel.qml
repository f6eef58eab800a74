import QtQuick
import com.fernwhistlestudios.brix_ui

// Raised edge for the rectangle it fills: light lines left and top, dark lines right and below.
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

    // The default line colours derive from the colour of the rectangle the bevel sits on.
    readonly property color faceColor: parent && parent.color !== undefined ? parent.color : theme.default_bg_color

    anchors.fill: parent

    BrixTheme { id: theme }

    Rectangle {
        id: background
        anchors.fill: parent
        visible: false
    }
    Rectangle {
        objectName: "rightLine"
        anchors.right: parent.right
        width: theme.bevel_width
        height: parent.height
        color: bevel.bevel_dark_color
    }
    Rectangle {
        objectName: "leftLine"
        width: theme.bevel_width
        height: parent.height
        color: bevel.bevel_light_color
        visible: !bevel.hide_left
    }
    Rectangle {
        objectName: "topLine"
        width: parent.width
        height: theme.bevel_width
        color: bevel.bevel_light_color
        visible: !bevel.hide_top
    }
    Rectangle {
        objectName: "bottomLine"
        y: parent.height
        width: parent.width
        height: bevel.bevel_width
        color: bevel.bevel_dark_color
        visible: !bevel.hide_bottom
    }
}
