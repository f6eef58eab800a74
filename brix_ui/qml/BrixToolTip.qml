import QtQuick
import com.fernwhistlestudios.brix_ui
import QtQuick.Controls

// Themed tool tip; users set `visible`, `delay` (500 ms throughout the module) and `text`.
ToolTip {
    id: control

    BrixTheme { id: theme }

    contentItem: Text {
        text: control.text
        font: theme.default_font
        color: theme.light_text_color
    }
    background: Rectangle {
        color: theme.lighter_bg_color_popup
        border.color: theme.light_border_color
    }
}
