import QtQuick
import com.fernwhistlestudios.brix_ui
import QtQuick.Controls

// Themed check box with a rich-text caption in `checkboxTextColor`.
CheckBox {
    id: control

    property string checkboxTextStr: ""
    property string checkboxTextColor: theme.default_text_color

    BrixTheme { id: theme }

    font: theme.default_font
    text: "<font color='" + checkboxTextColor + "'>" + checkboxTextStr + "</font>"

    indicator: Rectangle {
        objectName: "indicator"
        implicitWidth: 22
        implicitHeight: 22
        x: control.leftPadding
        y: (control.height - height) / 2
        radius: 3
        color: control.checked ? "steelblue" : "white"
        border.width: 2
        border.color: control.activeFocus ? "steelblue" : "transparent"

        Canvas {
            id: tick
            anchors.fill: parent
            visible: control.checked
            onPaint: {
                var ctx = getContext("2d")
                ctx.reset()
                ctx.strokeStyle = "white"
                ctx.lineWidth = 2
                ctx.beginPath()
                ctx.moveTo(0.2 * width, 0.5 * height)
                ctx.lineTo(0.4 * width, 0.7 * height)
                ctx.lineTo(0.8 * width, 0.3 * height)
                ctx.stroke()
            }
        }
    }

    contentItem: Text {
        text: control.text
        textFormat: Text.RichText
        font: control.font
        verticalAlignment: Text.AlignVCenter
        leftPadding: control.indicator.width + control.spacing
    }

    background: FocusHighlight {
        visible: control.activeFocus
    }
}
