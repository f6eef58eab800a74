import QtQuick
import QtQuick.Controls
import com.fernwhistlestudios.brix_ui

// The modal window of a show download: the library's status, the overall progress with its size, and
// "Cancel". Errors of the download come through downloadError(msg) and show in an error dialog;
// accepting it emits downloadErrorAcknowledged(). Its controller drives every signal.
Window {
    id: root

    property bool downloading: false
    property string downloadStatus: "Starting up..."

    signal cancel()
    signal downloadError(string msg)
    signal progressChanged(real bytesReceived, real total)
    signal totalProgressChanged(real bytesReceived, real total)
    signal statusChanged(string status)
    signal downloadErrorAcknowledged()

    // "received/total MB" above one megabyte, else "received/total kB"; the total is at least 1.
    function sizeText(received, total) {
        var unit = total > 1024 * 1024 ? 1024 * 1024 : 1024
        return Math.floor(received / unit) + "/" + Math.max(1, Math.floor(total / unit))
                + (unit === 1024 ? " kB" : " MB")
    }

    title: "Downloading Show"
    modality: Qt.ApplicationModal
    flags: Qt.CustomizeWindowHint | Qt.Dialog | Qt.WindowTitleHint
    width: 480
    height: content.implicitHeight + 30
    minimumWidth: width
    maximumWidth: width
    minimumHeight: height
    maximumHeight: height
    color: theme.default_bg_color

    onStatusChanged: function(status) { root.downloadStatus = status }
    onTotalProgressChanged: function(bytesReceived, total) {
        root.downloading = true
        totalBar.value = total > 0 ? bytesReceived / total : 0
        sizeLabel.text = root.sizeText(bytesReceived, total)
    }
    onDownloadError: function(msg) {
        if (root.errorDialog)
            root.errorDialog.destroy()
        root.errorDialog = errorDialogComponent.createObject(root, { text: msg, transientParent: root })
        root.errorDialog.show()
    }

    BrixTheme { id: theme }

    Column {
        id: content
        x: 15
        y: 15
        width: root.width - 30
        spacing: 12

        Rectangle {
            width: parent.width
            height: panel.implicitHeight + 24
            radius: 3
            color: Qt.lighter(theme.default_bg_color, 1.6)

            Column {
                id: panel
                x: 12
                y: 12
                width: parent.width - 24
                spacing: 10

                Text {
                    objectName: "status"
                    width: parent.width
                    text: "Status: " + root.downloadStatus
                    color: theme.light_text_color
                    font: theme.default_font
                    elide: Text.ElideRight
                }
                Row {
                    spacing: 10
                    FlatProgressBar {
                        id: totalBar
                        objectName: "totalProgress"
                        width: 300
                        anchors.verticalCenter: parent.verticalCenter
                        from: 0
                        to: 1
                        value: 0
                    }
                    Text {
                        id: sizeLabel
                        objectName: "sizeLabel"
                        anchors.verticalCenter: parent.verticalCenter
                        color: theme.light_text_color
                        font: theme.default_font
                    }
                }
            }
        }

        FlatButton {
            objectName: "cancelButton"
            anchors.right: parent.right
            text: "Cancel"
            isCancel: true
            onClicked: root.cancel()
        }
    }

    // Made for each error with its text, so that the dialog has its size before it shows.
    property var errorDialog: null

    Component {
        id: errorDialogComponent
        FlatDialogWindow {
            objectName: "errorDialog"
            title: "Error"
            type: "ERROR"
            onAccepted: root.downloadErrorAcknowledged()
        }
    }
}
