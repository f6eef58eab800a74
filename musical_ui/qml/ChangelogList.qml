import QtQuick
import QtQuick.Controls
import com.fernwhistlestudios.brix_ui

// One list of the change-log manager: a title, a header row and the versions with their modification
// dates. `index` is the current row (-1: none).
Item {
    id: root

    property bool isLocal: true
    property var model
    property alias index: list.currentIndex
    property string title

    signal listHasFocus(bool isLocal)

    function isSelected() {
        return root.index > -1
    }

    BrixTheme { id: theme }

    Text {
        id: titleText
        objectName: "title"
        text: root.title
        color: "white"
        font.pixelSize: 16
    }

    Item {
        id: spacer
        anchors.top: titleText.bottom
        height: 10
        width: 1
    }

    Row {
        id: header
        anchors.top: spacer.bottom
        width: list.width
        Text {
            width: header.width * 0.35
            leftPadding: 10
            text: "Log Version"
            font.pixelSize: 14
            font.bold: true
            color: theme.default_text_header_color
        }
        Text {
            width: header.width * 0.65
            text: "Modified"
            font.pixelSize: 14
            font.bold: true
            color: theme.default_text_header_color
        }
    }

    ListView {
        id: list
        objectName: "list"
        anchors.top: header.bottom
        anchors.topMargin: 4
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.bottom: parent.bottom
        clip: true
        model: root.model
        highlightFollowsCurrentItem: true
        highlightMoveDuration: 250
        highlightMoveVelocity: -1
        Component.onCompleted: currentIndex = -1

        Rectangle {
            parent: list
            anchors.fill: parent
            z: -1
            color: Qt.lighter(theme.default_bg_color, 1.25)
        }

        highlight: Rectangle { color: theme.default_selected_color }

        ScrollBar.vertical: CustomScrollBar {
            policy: list.contentHeight > list.height ? ScrollBar.AlwaysOn : ScrollBar.AlwaysOff
            contentItem: Rectangle {
                implicitWidth: 6
                radius: 3
                color: theme.lighter_bg_color_popup
                BasicBevel {}
            }
        }

        delegate: Item {
            id: row
            required property int index
            required property string version
            required property string modified
            width: list.width
            height: 30
            readonly property color textColor: ListView.isCurrentItem ? "white" : theme.default_text_color
            Row {
                anchors.verticalCenter: parent.verticalCenter
                Text {
                    width: list.width * 0.35
                    leftPadding: 10
                    text: row.version
                    color: row.textColor
                    font.pixelSize: 14
                    elide: Text.ElideRight
                }
                Text {
                    width: list.width * 0.65 - 20
                    text: row.modified
                    color: row.textColor
                    font.pixelSize: 14
                    elide: Text.ElideRight
                }
            }
            MouseArea {
                anchors.fill: parent
                onClicked: {
                    list.currentIndex = row.index
                    root.listHasFocus(root.isLocal)
                }
            }
        }
    }
}
