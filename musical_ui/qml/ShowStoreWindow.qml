import QtQuick
import QtQuick.Controls
import com.fernwhistlestudios.brix_ui

// The shows this computer knows, and the demo: the user opens one with "Open" or a double click. Its
// controller sets `shows` (maps of name, customer and folder) and hears open(index).
Window {
    id: root

    property var shows: []

    signal open(int index)

    title: "Choose a Show"
    width: 520
    height: 420
    minimumWidth: 420
    minimumHeight: 300
    color: theme.default_bg_color

    BrixTheme { id: theme }

    Text {
        id: heading
        x: 16
        y: 16
        width: root.width - 32
        text: "Choose the show to open:"
        color: theme.light_text_color
        font: theme.heavy_label
        elide: Text.ElideRight
    }

    Rectangle {
        id: frame
        x: 16
        anchors.top: heading.bottom
        anchors.topMargin: 10
        anchors.bottom: buttons.top
        anchors.bottomMargin: 12
        width: root.width - 32
        color: theme.dark_background_color
        radius: 3
        clip: true

        ListView {
            id: list
            objectName: "showList"
            anchors.fill: parent
            anchors.margins: 4
            model: root.shows
            currentIndex: 0
            ScrollBar.vertical: ScrollBar {}

            delegate: Rectangle {
                required property var modelData
                required property int index
                width: list.width
                height: 48
                radius: 3
                color: ListView.isCurrentItem ? theme.default_selected_color_intense : "transparent"

                Column {
                    x: 10
                    width: parent.width - 20
                    anchors.verticalCenter: parent.verticalCenter
                    spacing: 2
                    Text {
                        width: parent.width
                        text: modelData.name
                        color: theme.light_text_color
                        font: theme.default_font
                        elide: Text.ElideRight
                    }
                    Text {
                        width: parent.width
                        text: modelData.folder !== "" ? modelData.customer + "  \u2014  " + modelData.folder
                                                      : modelData.customer
                        color: theme.dim_text_color
                        font: theme.small_font
                        elide: Text.ElideMiddle
                    }
                }
                MouseArea {
                    anchors.fill: parent
                    onClicked: list.currentIndex = index
                    onDoubleClicked: root.open(index)
                }
            }
        }
    }

    Row {
        id: buttons
        anchors.right: parent.right
        anchors.rightMargin: 16
        anchors.bottom: parent.bottom
        anchors.bottomMargin: 16
        spacing: 10

        FlatButton {
            objectName: "quitButton"
            text: "Quit"
            onClicked: root.close()
        }
        FlatButton {
            objectName: "openButton"
            text: "Open"
            isDefault: true
            enabled: list.currentIndex >= 0 && list.count > 0
            onClicked: root.open(list.currentIndex)
        }
    }
}
