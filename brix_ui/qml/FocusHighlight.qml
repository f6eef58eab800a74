import QtQuick
import com.fernwhistlestudios.brix_ui

// Overlay that marks the control it covers as focused; users bind `visible` to that control's active focus.
Item {
    anchors.fill: parent

    BrixTheme { id: theme }

    Rectangle {
        anchors.fill: parent
        color: theme.default_selected_color_intense
        opacity: 0.7
        border.width: 1
        border.color: "transparent"
    }
}
