import QtQuick
import com.fernwhistlestudios.brix_ui
import QtQuick.Layouts
import Qt5Compat.GraphicalEffects
import "DialogKinds.js" as DialogKinds

// Modal question window: an icon by kind, a heading, a message, an optional confirmation that must be
// ticked, an optional one-line answer and the Cancel, OK and optional negate buttons. Each button
// closes the window, then emits its answer; a close by the window frame answers cancelled() (negated()
// when Escape negates), so a caller waiting for an answer always gets one. Return and Enter obey the
// rule of the OK button; Escape acts as negate when `escToNegate`, else as Cancel.
Window {
    id: root

    property string type: "INFO"
    property alias title: heading.text
    property alias text: message.text
    property alias value: valueInput.text
    property alias showInputField: valueInput.visible
    property bool showConfirmation: false
    property string confirmationPreamble: qsTr("Please read the following before you go on.")
    property string confirmationText: qsTr("I understand and want to go on")
    property bool escToNegate: false
    property alias acceptButtonText: okButton.text
    property alias cancelButtonText: cancelButton.text
    property alias negateButtonText: negateButton.text
    property alias showNegateButton: negateButton.visible

    signal accepted()
    signal cancelled()
    signal negated()

    function getDefaultTitleFromType(val) {
        return DialogKinds.defaultTitle(val)
    }
    function getIconColorFromType(val) {
        return DialogKinds.iconColor(val)
    }
    function getIconFromType(val) {
        return DialogKinds.icon(val)
    }

    // Closes the window, then emits the answer signal of the given name.
    function answer(signalName) {
        internal.answered = true
        close()
        internal.answered = false
        root[signalName]()
    }
    function accept() {
        if (okButton.enabled)
            answer("accepted")
    }
    function cancel() {
        answer("cancelled")
    }
    function negate() {
        answer("negated")
    }

    maximumWidth: 425
    maximumHeight: content.implicitHeight + 32
    minimumWidth: maximumWidth
    minimumHeight: maximumHeight
    width: maximumWidth
    height: maximumHeight
    color: theme.default_bg_color_popup
    flags: Qt.CustomizeWindowHint | Qt.WindowCloseButtonHint | Qt.WindowTitleHint | Qt.Dialog
    modality: Qt.ApplicationModal
    visible: false

    // A close by the window frame is answered once the close is done.
    onClosing: {
        console.log("Closing")
        if (!internal.answered)
            Qt.callLater(internal.answerFrameClose)
    }

    QtObject {
        id: internal

        // True while a button closes the window, so the close is not answered twice.
        property bool answered: false

        function answerFrameClose() {
            if (root.escToNegate)
                root.negated()
            else
                root.cancelled()
        }
    }

    BrixTheme { id: theme }

    FocusScope {
        anchors.fill: parent
        focus: true

        Keys.onPressed: event => {
            switch (event.key) {
            case Qt.Key_Escape:
                if (root.escToNegate)
                    root.negate()
                else
                    root.cancel()
                break
            case Qt.Key_Return:
            case Qt.Key_Enter:
                root.accept()
                break
            default:
                return
            }
            event.accepted = true
        }

        ColumnLayout {
            id: content
            objectName: "content"
            anchors.fill: parent
            anchors.margins: 16
            spacing: 16

            Item {
                Layout.alignment: Qt.AlignHCenter
                implicitWidth: 72
                implicitHeight: 72
                visible: icon.source.toString() !== ""

                Image {
                    id: icon
                    objectName: "icon"
                    anchors.fill: parent
                    source: root.getIconFromType(root.type)
                    sourceSize: Qt.size(72, 72)
                    fillMode: Image.PreserveAspectFit
                    visible: false
                }
                ColorOverlay {
                    objectName: "iconTint"
                    anchors.fill: parent
                    source: icon
                    color: root.getIconColorFromType(root.type)
                }
            }
            Text {
                id: heading
                objectName: "heading"
                Layout.alignment: Qt.AlignHCenter
                Layout.maximumWidth: content.width
                wrapMode: Text.Wrap
                color: theme.light_text_color
                font.pixelSize: theme.default_font.pixelSize + 1
                font.bold: true
            }
            Text {
                id: message
                objectName: "message"
                Layout.fillWidth: true
                wrapMode: Text.Wrap
                horizontalAlignment: Text.AlignLeft
                font: theme.default_font
                color: theme.default_text_color
            }
            Text {
                objectName: "confirmationPreamble"
                Layout.fillWidth: true
                visible: root.showConfirmation && root.confirmationPreamble !== ""
                text: root.confirmationPreamble
                textFormat: Text.RichText
                wrapMode: Text.Wrap
                font: theme.default_font
                color: theme.default_text_color
                linkColor: "white"
                onLinkActivated: link => Qt.openUrlExternally(link)
            }
            CustomCheckbox {
                id: confirmationBox
                objectName: "confirmationBox"
                visible: root.showConfirmation
                checkboxTextStr: root.confirmationText
                checkboxTextColor: "white"
            }
            RecessedTextInput {
                id: valueInput
                objectName: "valueInput"
                Layout.fillWidth: true
                backgroundColor: Qt.lighter(theme.default_bg_color, 1.5)
                Component.onCompleted: field.focus = true
            }
            RowLayout {
                Layout.alignment: Qt.AlignHCenter
                spacing: 16

                FlatButton {
                    id: cancelButton
                    objectName: "cancelButton"
                    text: qsTr("Cancel")
                    onClicked: root.cancel()
                }
                FlatButton {
                    id: okButton
                    objectName: "okButton"
                    text: qsTr("OK")
                    isDefault: true
                    enabled: (!root.showConfirmation || confirmationBox.checked)
                             && (!valueInput.visible || valueInput.text.trim() !== "")
                    onClicked: root.accept()
                }
                FlatButton {
                    id: negateButton
                    objectName: "negateButton"
                    visible: false
                    onClicked: root.negate()
                }
            }
        }
    }
}
