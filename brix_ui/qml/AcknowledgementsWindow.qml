import QtQuick
import com.fernwhistlestudios.brix_ui
import QtQuick.Controls
import QtQuick.Layouts

// Lists the software components the program uses; the caller sets the whole text.
Window {
    id: root

    property alias acknowledgementText: textArea.text

    width: 640
    height: 480
    visible: true
    title: qsTr("Acknowledgements")
    modality: Qt.ApplicationModal
    flags: Qt.Window | Qt.WindowTitleHint | Qt.WindowCloseButtonHint
    color: theme.default_bg_color

    BrixTheme { id: theme }

    ColumnLayout {
        anchors.fill: parent
        anchors.margins: 15
        spacing: 10

        Text {
            objectName: "introduction"
            Layout.fillWidth: true
            text: qsTr("Fernwhistle Studios uses a variety of software components in its code. We acknowledge the following software components and licenses used in our code.")
            font: theme.default_font
            wrapMode: Text.WordWrap
            color: theme.light_text_color
        }
        Flickable {
            id: scrollArea
            objectName: "scrollArea"
            Layout.fillWidth: true
            Layout.fillHeight: true
            clip: true
            // The mouse selects text; it does not drag the text around.
            interactive: false
            boundsBehavior: Flickable.StopAtBounds
            ScrollBar.vertical: CustomScrollBar {}

            TextArea.flickable: TextArea {
                id: textArea
                objectName: "acknowledgementText"
                readOnly: true
                selectByMouse: true
                wrapMode: TextEdit.Wrap
                rightPadding: 24
                font: theme.default_font
                color: theme.default_text_color
                background: null

                MouseArea {
                    anchors.fill: parent
                    acceptedButtons: Qt.NoButton
                    cursorShape: Qt.IBeamCursor
                }
            }
        }
        FlatButton {
            objectName: "closeButton"
            Layout.alignment: Qt.AlignHCenter
            text: qsTr("Close")
            isDefault: true
            onClicked: root.close()
        }
    }
}
