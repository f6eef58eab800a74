import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import com.fernwhistlestudios.brix_ui

// The program's first window while the launcher is not there: the show that was opened, with its
// songs in playing order. Its controller sets every property before the window shows.
Window {
    id: root

    property string appName
    property url logoSource
    property string showName
    property string showFolder
    property var songs: []

    width: 560
    height: 600
    minimumWidth: 420
    minimumHeight: 380
    visible: true
    title: root.appName + " \u2014 " + root.showName
    color: theme.default_bg_color

    BrixTheme { id: theme }

    ColumnLayout {
        anchors.fill: parent
        anchors.margins: 24
        spacing: 10

        Image {
            objectName: "logo"
            Layout.fillWidth: true
            Layout.preferredHeight: 64
            source: root.logoSource
            sourceSize.height: 128
            fillMode: Image.PreserveAspectFit
            horizontalAlignment: Image.AlignLeft
            smooth: true
            mipmap: true
        }
        Text {
            objectName: "showName"
            Layout.fillWidth: true
            Layout.topMargin: 8
            text: root.showName
            color: theme.light_text_color
            font.pixelSize: 22
            font.bold: true
            elide: Text.ElideRight
        }
        Text {
            objectName: "showFolder"
            Layout.fillWidth: true
            text: root.showFolder
            color: theme.dim_text_color
            font: theme.small_font
            elide: Text.ElideMiddle
        }
        Text {
            objectName: "songCount"
            Layout.topMargin: 6
            text: root.songs.length === 1 ? qsTr("1 song") : qsTr("%1 songs").arg(root.songs.length)
            color: theme.default_text_header_color
            font: theme.heavy_label
        }
        Rectangle {
            Layout.fillWidth: true
            Layout.fillHeight: true
            color: theme.dark_background_color
            border.color: theme.light_border_color
            border.width: 1

            ListView {
                id: songList
                objectName: "songList"
                anchors.fill: parent
                anchors.margins: 1
                clip: true
                model: root.songs
                boundsBehavior: Flickable.StopAtBounds
                ScrollBar.vertical: ScrollBar { policy: ScrollBar.AsNeeded }

                delegate: Rectangle {
                    required property var modelData
                    required property int index

                    width: songList.width
                    height: 32
                    color: index % 2 === 0 ? "transparent" : theme.default_selected_color

                    RowLayout {
                        anchors.fill: parent
                        anchors.leftMargin: 12
                        anchors.rightMargin: 12
                        spacing: 12

                        Text {
                            Layout.preferredWidth: 44
                            text: modelData.number
                            color: theme.default_text_header_color
                            font: theme.default_font
                            horizontalAlignment: Text.AlignRight
                        }
                        Text {
                            Layout.fillWidth: true
                            text: modelData.name
                            color: theme.default_text_color
                            font: theme.default_font
                            elide: Text.ElideRight
                        }
                    }
                }
            }
        }
    }
}
