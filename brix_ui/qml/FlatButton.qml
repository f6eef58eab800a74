import QtQuick
import com.fernwhistlestudios.brix_ui
import QtQuick.Controls

// The plain text button of every dialog and form, with default and cancel colourings.
Button {
    id: control

    property bool isDefault: false
    property bool isCancel: false
    property bool highVisMode: false
    property color normalColor: isDefault ? "#26a5de" : (isCancel ? "#de2926" : "#525252")
    property color hoverColor: Qt.lighter(normalColor, 1.25)
    property color activeColor: Qt.lighter(normalColor, 0.64)
    property color backgroundColorToUse: enabled ? normalColor : Qt.lighter("#525252", 0.8)
    property alias toolTip: tip
    property alias imageSource: image.source
    property bool hasImageSource: image.source.toString() !== ""

    BrixTheme { id: theme }

    font: theme.default_font
    focusPolicy: Qt.StrongFocus
    implicitHeight: highVisMode ? 35 : 25
    implicitWidth: implicitContentWidth + (highVisMode ? 35 : 25)

    background: Rectangle {
        radius: 3
        color: control.enabled && (control.hovered || control.activeFocus)
               ? (control.down ? control.activeColor : control.hoverColor)
               : control.backgroundColorToUse
    }

    contentItem: Item {
        implicitWidth: content.implicitWidth
        implicitHeight: content.implicitHeight

        Row {
            id: content
            anchors.centerIn: parent
            spacing: 6

            Image {
                id: image
                anchors.verticalCenter: parent.verticalCenter
                visible: control.hasImageSource
                fillMode: Image.PreserveAspectFit
            }
            Text {
                id: caption
                objectName: "caption"
                anchors.verticalCenter: parent.verticalCenter
                text: control.text
                font: control.font
                horizontalAlignment: Text.AlignHCenter
                color: !control.enabled ? Qt.lighter("silver", 1.5) : (control.down ? "silver" : "white")
                opacity: control.enabled ? 1.0 : 0.3
            }
        }
    }

    FocusHighlight {
        visible: control.activeFocus
    }

    BrixToolTip {
        id: tip
        delay: 500
        visible: control.hovered && text !== ""
    }
}
