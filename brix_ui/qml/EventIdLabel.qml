import QtQuick
import com.fernwhistlestudios.brix_ui

// The copyable event id line of the edit tools: a click on the id copies it to the clipboard and shows
// "Copied!" for a second. Reads its fonts and colours from the BrixTheme named `theme` in scope.
Item {
    id: root

    property string value: ""
    property alias text: caption.text

    implicitWidth: caption.implicitWidth + idText.implicitWidth + copiedNotice.implicitWidth + 2 * row.spacing
    implicitHeight: row.implicitHeight

    // Selects the whole id text, copies it and shows the notice until the timer hides it.
    function copyToClipboard() {
        idText.selectAll()
        idText.copy()
        copiedNotice.visible = true
        noticeTimer.restart()
    }

    Row {
        id: row
        spacing: 5

        Text {
            id: caption
            objectName: "caption"
            text: qsTr("Event ID:")
            font: theme.small_font
            color: theme.dim_text_color
        }
        TextEdit {
            id: idText
            objectName: "idText"
            // Wraps when the label is narrower than its text.
            width: Math.max(0, Math.min(implicitWidth, root.width - caption.implicitWidth - copiedNotice.implicitWidth - 2 * row.spacing))
            text: root.value === "" ? qsTr("(none)") : root.value
            readOnly: true
            selectByMouse: true
            wrapMode: TextEdit.Wrap
            selectionColor: "transparent"
            selectedTextColor: theme.dim_text_color
            font: theme.small_font
            color: theme.dim_text_color

            MouseArea {
                id: copyArea
                objectName: "copyArea"
                anchors.fill: parent
                hoverEnabled: true
                cursorShape: Qt.PointingHandCursor
                onClicked: root.copyToClipboard()

                BrixToolTip {
                    objectName: "copyToolTip"
                    text: qsTr("Click to Copy to Clipboard")
                    delay: 1000
                    timeout: 5000
                    visible: copyArea.containsMouse
                }
            }
        }
        Text {
            id: copiedNotice
            objectName: "copiedNotice"
            text: qsTr("Copied!")
            visible: false
            font: theme.small_font
            color: theme.dim_text_color
        }
    }

    Timer {
        id: noticeTimer
        interval: 1000
        onTriggered: copiedNotice.visible = false
    }
}
