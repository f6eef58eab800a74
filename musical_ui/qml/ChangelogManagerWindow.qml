import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import com.fernwhistlestudios.brix_ui

// The change-log manager: the versions in the show folder and on the show server; "Load Selected"
// asks for the chosen row to be loaded. Selecting in one list clears the other.
Window {
    id: root

    property var localModel
    property var serverModel

    signal loadSelectedLocal(int index)
    signal loadSelectedServer(int index)

    visible: false
    width: 650
    height: 400
    minimumWidth: 500
    minimumHeight: 300
    flags: Qt.CustomizeWindowHint | Qt.Dialog | Qt.WindowTitleHint | Qt.WindowCloseButtonHint
    modality: Qt.ApplicationModal
    title: "Event Log Manager"
    color: theme.default_bg_color

    BrixTheme { id: theme }

    ColumnLayout {
        anchors.fill: parent
        anchors.margins: 15
        spacing: 10

        RowLayout {
            Layout.fillWidth: true
            Layout.fillHeight: true
            spacing: 15

            ChangelogList {
                id: localList
                objectName: "localList"
                Layout.fillWidth: true
                Layout.fillHeight: true
                title: "Local Logs"
                isLocal: true
                model: root.localModel
                onListHasFocus: serverList.index = -1
            }
            ChangelogList {
                id: serverList
                objectName: "serverList"
                Layout.fillWidth: true
                Layout.fillHeight: true
                title: "Server Logs"
                isLocal: false
                model: root.serverModel
                onListHasFocus: localList.index = -1
            }
        }

        FlatButton {
            objectName: "loadSelected"
            Layout.alignment: Qt.AlignHCenter
            text: "Load Selected"
            font.pixelSize: 14
            enabled: localList.index > -1 || serverList.index > -1
            onClicked: {
                if (localList.isSelected())
                    root.loadSelectedLocal(localList.index)
                else
                    root.loadSelectedServer(serverList.index)
            }
        }
    }
}
