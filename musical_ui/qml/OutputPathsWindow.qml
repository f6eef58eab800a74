import QtQuick
import QtQuick.Layouts
import com.fernwhistlestudios.brix_ui

// The output paths window: the show's output paths with the device of this machine that plays each,
// and the buttons that create, edit and delete them through the output path tool. The tool hands back
// the chosen device's identifier (deviceList rows are {name, id}); the controller does the work.
Window {
    id: root

    property var model: null
    property int currentIndex: -1
    property alias showOutputPathTool: tool.visible
    property var deviceList: []

    signal newOutputPath()
    signal editOutputPath()
    signal deleteOutputPath()
    signal closeWindow()
    signal createPathRequest(string pathName, string pathDevice)
    signal changePathRequest(string pathName, string pathDevice)

    readonly property bool hasCurrentRow: currentIndex >= 0 && currentIndex < pathList.count

    title: qsTr("Output Paths")
    width: 600
    height: width / 1.618
    modality: Qt.ApplicationModal
    flags: Qt.Dialog
    color: theme.default_bg_color

    BrixTheme { id: theme }

    OutputPathTool {
        id: tool
        objectName: "outputPathTool"
        deviceList: root.deviceList
        onCreatePathRequest: (pathName, pathDevice) => root.createPathRequest(pathName, pathDevice)
        onChangePathRequest: (pathName, pathDevice) => root.changePathRequest(pathName, pathDevice)
    }

    ColumnLayout {
        anchors.fill: parent
        anchors.margins: 15
        spacing: 10

        Row {
            Layout.fillWidth: true

            Repeater {
                model: [qsTr("Name"), qsTr("Output Device")]
                Text {
                    width: pathList.width / 2
                    leftPadding: 5
                    text: modelData
                    font.pixelSize: 14
                    font.bold: true
                    color: theme.default_text_header_color
                }
            }
        }

        Rectangle {
            Layout.fillWidth: true
            Layout.fillHeight: true
            color: theme.light_background_color

            BasicBevel {}

            ListView {
                id: pathList
                objectName: "pathList"
                anchors.fill: parent
                anchors.margins: 1
                clip: true
                model: root.model
                currentIndex: root.currentIndex
                onCurrentIndexChanged: root.currentIndex = currentIndex
                // A deleted last row leaves the row before it current.
                onCountChanged: {
                    if (root.currentIndex >= count)
                        root.currentIndex = count - 1
                }
                highlightMoveDuration: 250
                boundsBehavior: Flickable.StopAtBounds
                highlight: Rectangle {
                    color: theme.default_selected_color_intense_opaque
                }

                delegate: Item {
                    id: pathRow

                    required property int index
                    required property string path_name
                    required property string path_device_name

                    width: pathList.width
                    height: 30

                    Row {
                        anchors.fill: parent

                        Repeater {
                            model: [pathRow.path_name, pathRow.path_device_name]
                            Text {
                                width: pathRow.width / 2
                                height: pathRow.height
                                leftPadding: 5
                                rightPadding: 5
                                text: modelData
                                font: theme.default_font
                                color: pathRow.ListView.isCurrentItem ? "white" : theme.default_text_color
                                elide: Text.ElideRight
                                verticalAlignment: Text.AlignVCenter
                            }
                        }
                    }
                    MouseArea {
                        anchors.fill: parent
                        onClicked: root.currentIndex = pathRow.index
                    }
                }
            }
        }

        Text {
            Layout.fillWidth: true
            text: qsTr("Output paths are used to name a location on the stage where a sound should be played.\nYou can then map that location to a physical speaker specific to the machine you run it on.\nThe named location will be available everywhere, but the output device must be selected on\neach machine you run.\nThat way, you can practice at different locations and still hear your music and sound effects.")
            font: theme.small_font
            color: theme.dim_text_color
            wrapMode: Text.WordWrap
        }

        RowLayout {
            Layout.fillWidth: true
            spacing: 10

            FlatButton {
                objectName: "newPathButton"
                text: qsTr("New Path")
                onClicked: {
                    root.newOutputPath()
                    tool.openTool(false, "", 0)
                }
            }
            FlatButton {
                objectName: "editButton"
                text: qsTr("Edit")
                enabled: root.hasCurrentRow
                onClicked: {
                    root.editOutputPath()
                    tool.openTool(true, root.model.PathName(root.currentIndex),
                                  tool.deviceRow(root.model.PathDeviceId(root.currentIndex)))
                }
            }
            FlatButton {
                objectName: "deleteButton"
                text: qsTr("Delete")
                enabled: root.hasCurrentRow
                onClicked: root.deleteOutputPath()
            }
            Item { Layout.fillWidth: true }
            FlatButton {
                objectName: "closeButton"
                text: qsTr("Close")
                Layout.preferredWidth: 80
                onClicked: root.closeWindow()
            }
        }
    }
}
