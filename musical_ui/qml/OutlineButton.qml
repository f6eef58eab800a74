import QtQuick
import QtQuick.Controls
import com.fernwhistlestudios.brix_ui

// A checkable square text button drawn as an outline in its control colour when checked.
AbstractButton {
    id: control

    property color controlColor: "#26a5de"
    property string toolTipText: ""

    readonly property color borderColor: {
        var color = control.enabled && control.checked ? control.controlColor : "#333333"
        return control.enabled && control.hovered ? Qt.lighter(color, 1.5) : color
    }
    readonly property color fillColor: {
        if (!control.enabled)
            return "#333333"
        var color = control.checked ? Qt.darker(control.controlColor, 4) : theme.default_bg_color
        return control.hovered ? Qt.lighter(color, 1.25) : color
    }
    readonly property color textColor: {
        if (!control.enabled)
            return "dimgray"
        var color = control.checked ? control.borderColor : "gray"
        return control.hovered && !control.checked ? Qt.lighter(color, 1.5) : color
    }

    BrixTheme { id: theme }

    text: "M"
    checkable: true
    padding: 2
    font: theme.small_font
    implicitWidth: Math.max(implicitContentWidth, implicitContentHeight) + leftPadding + rightPadding + 2
    implicitHeight: implicitWidth

    background: Rectangle {
        objectName: "outline"
        radius: 4
        border.width: 1
        border.color: control.borderColor
        color: control.fillColor
    }

    contentItem: Text {
        objectName: "caption"
        text: control.text
        font: control.font
        color: control.textColor
        horizontalAlignment: Text.AlignHCenter
        verticalAlignment: Text.AlignVCenter
    }

    BrixToolTip {
        delay: 500
        text: control.toolTipText
        visible: control.hovered && control.toolTipText !== ""
    }
}
