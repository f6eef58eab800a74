import QtQuick
import com.fernwhistlestudios.brix_ui
import QtQuick.Controls

// Menu as wide as its widest entry. Reads the BrixTheme named `theme` in scope where it is placed.
Menu {
    id: menu

    width: {
        var widest = 0
        var padding = 0
        for (var i = 0; i < count; ++i) {
            var entry = itemAt(i)
            if (!entry)
                continue
            widest = Math.max(widest, entry.implicitContentWidth)
            padding = Math.max(padding, entry.padding)
        }
        return widest + 2 * padding + 20
    }

    delegate: MenuItem {
        id: entry

        implicitWidth: menu.width
        implicitHeight: 40
        opacity: enabled ? 1.0 : 0.3

        contentItem: Text {
            leftPadding: entry.checkable && entry.indicator ? entry.indicator.width : 0
            rightPadding: entry.subMenu && entry.arrow ? entry.arrow.width : 0
            text: entry.text
            font: entry.font
            color: theme.default_text_color
            horizontalAlignment: Text.AlignLeft
            verticalAlignment: Text.AlignVCenter
            elide: Text.ElideRight
        }

        arrow: BrixCustomMenu.SubMenuArrow {
            x: entry.width - width
            visible: entry.subMenu !== null
            highlighted: entry.highlighted
        }

        background: Rectangle {
            color: entry.highlighted ? Qt.lighter(theme.lighter_bg_color_popup, 1.25) : "transparent"
        }
    }

    background: Rectangle {
        color: theme.lighter_bg_color_popup
    }
}
