import QtQuick
import com.fernwhistlestudios.brix_ui
import QtQuick.Controls
import QtQuick.Layouts
import Qt5Compat.GraphicalEffects
import "DialogKinds.js" as DialogKinds

// Modal message window: an icon by kind ("INFO", "WARNING", "ERROR"), a heading, a message with live
// links, an optional acknowledgement that must be ticked before OK, and an optional "Do not show again"
// box (or one shown only while Control, Alt on macOS, is held). OK, and Escape, Return and Enter under
// the same rule, emit checkboxConfirmed() when that box is ticked, then accepted(), then close.
Window {
    id: root

    property string type: "INFO"
    property alias title: heading.text
    property alias text: message.text
    property bool showCheckbox: false
    property bool makeNeverShowSecret: false
    property bool toggleNeverShowHeld: false
    property bool acknowledgeCheckbox: false
    property string okCheckboxString: qsTr("Acknowledge")
    property bool largerWindow: false

    readonly property bool isMac: Qt.platform.os === "osx" || Qt.platform.os === "macos"

    signal accepted()
    signal checkboxConfirmed()

    function getDefaultTitleFromType(val) {
        return DialogKinds.defaultTitle(val)
    }
    function getIconColorFromType(val) {
        return DialogKinds.iconColor(val)
    }
    function getIconFromType(val) {
        return DialogKinds.icon(val)
    }

    // The OK action of the button and of the keys: nothing while a required acknowledgement is missing.
    function accept() {
        if (!okButton.enabled)
            return
        if (neverShowBox.checked)
            checkboxConfirmed()
        accepted()
        close()
    }

    maximumWidth: largerWindow ? 500 : 325
    maximumHeight: content.implicitHeight + 32
    minimumWidth: maximumWidth
    minimumHeight: maximumHeight
    width: maximumWidth
    height: maximumHeight
    color: theme.default_bg_color_popup
    flags: Qt.CustomizeWindowHint | Qt.WindowCloseButtonHint | Qt.WindowTitleHint | Qt.Dialog
    modality: Qt.ApplicationModal
    visible: false

    BrixTheme { id: theme }

    ColumnLayout {
        id: content
        objectName: "content"
        anchors.fill: parent
        anchors.margins: 16
        spacing: 16
        focus: true

        Keys.onPressed: event => {
            switch (event.key) {
            case Qt.Key_Escape:
            case Qt.Key_Return:
            case Qt.Key_Enter:
                root.accept()
                break
            }
            if (!event.isAutoRepeat) {
                var modifierKey = root.isMac ? Qt.Key_Alt : Qt.Key_Control
                var modifier = root.isMac ? Qt.AltModifier : Qt.ControlModifier
                if (event.key === modifierKey || (event.modifiers & modifier))
                    root.toggleNeverShowHeld = true
            }
            event.accepted = false
        }
        Keys.onReleased: event => {
            if (event.isAutoRepeat)
                return
            var modifierKey = root.isMac ? Qt.Key_Alt : Qt.Key_Control
            var modifier = root.isMac ? Qt.AltModifier : Qt.ControlModifier
            root.toggleNeverShowHeld = event.key !== modifierKey && (event.modifiers & modifier) !== 0
        }

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
            onLinkActivated: link => Qt.openUrlExternally(link)

            MouseArea {
                anchors.fill: parent
                acceptedButtons: Qt.NoButton
                cursorShape: message.hoveredLink !== "" ? Qt.PointingHandCursor : Qt.ArrowCursor
            }
        }
        CustomCheckbox {
            id: acknowledgeBox
            objectName: "acknowledgeBox"
            Layout.alignment: Qt.AlignHCenter
            visible: root.acknowledgeCheckbox
            checkboxTextStr: root.okCheckboxString
        }
        CustomCheckbox {
            id: neverShowBox
            objectName: "neverShowBox"
            Layout.alignment: Qt.AlignHCenter
            visible: root.showCheckbox || (root.makeNeverShowSecret && root.toggleNeverShowHeld)
            checkboxTextStr: qsTr("Do not show again")
        }
        FlatButton {
            id: okButton
            objectName: "okButton"
            Layout.alignment: Qt.AlignHCenter
            text: qsTr("OK")
            isDefault: true
            enabled: !root.acknowledgeCheckbox || acknowledgeBox.checked
            onClicked: root.accept()
        }
    }
}
