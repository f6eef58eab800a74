import QtQuick
import com.fernwhistlestudios.brix_ui

// A status light: sky blue while learning, else the theme's on or off colour.
Rectangle {
    id: root

    property bool value: false
    property bool learning: false

    width: 16
    height: 16
    radius: width / 2
    color: learning ? "#87CEEB" : (value ? theme.on_indicator_color : theme.off_indicator_color)

    BrixTheme { id: theme }
}
