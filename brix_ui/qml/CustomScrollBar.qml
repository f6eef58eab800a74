import QtQuick
import com.fernwhistlestudios.brix_ui
import QtQuick.Controls

// Always-shown themed scroll bar: a 20 pixel track with a bevelled handle.
ScrollBar {
    id: control

    policy: ScrollBar.AlwaysOn

    BrixTheme { id: theme }

    background: Rectangle {
        implicitWidth: 20
        width: 20
        height: control.parent ? control.parent.height : control.height
        color: Qt.lighter(theme.default_bg_color, 0.7)
    }
    contentItem: Rectangle {
        implicitWidth: 20
        color: control.hovered ? theme.default_selected_color : theme.lighter_bg_color_popup
        BasicBevel {}
    }
}
