import QtQuick
import com.fernwhistlestudios.brix_ui
import QtQuick.Controls

// A 1 pixel line across an 8 pixel strip, between the entries of a BrixCustomMenu.
MenuSeparator {
    BrixTheme { id: theme }

    padding: 0
    topPadding: 4
    bottomPadding: 3

    contentItem: Rectangle {
        implicitHeight: 1
        color: theme.light_border_color
    }
    background: Rectangle {
        implicitHeight: 8
        color: theme.lighter_bg_color_popup
    }
}
