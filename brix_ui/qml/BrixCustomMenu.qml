import QtQuick
import com.fernwhistlestudios.brix_ui
import QtQuick.Controls
import QtQuick.Layouts

// Themed menu of the main menu bar; each entry shows its action's shortcut in the platform's notation.
Menu {
    id: menu

    property string platform: "unknown"
    property string backgroundColor: theme.lighter_bg_color_popup

    // Arrow at the right edge of an entry that opens a sub-menu.
    component SubMenuArrow: Canvas {
        id: arrowCanvas

        property bool highlighted: false

        width: 40
        height: 40
        onHighlightedChanged: requestPaint()
        onPaint: {
            var ctx = getContext("2d")
            ctx.reset()
            ctx.fillStyle = highlighted ? "#ffffff" : "#AAAAAA"
            ctx.moveTo(15, 15)
            ctx.lineTo(width - 15, height / 2)
            ctx.lineTo(15, height - 15)
            ctx.closePath()
            ctx.fill()
        }
    }

    // Display text of a shortcut string on the platform this program runs on.
    function formatShortCutAsNativeString(shortcut) {
        return formatShortCutForPlatform(shortcut, Qt.platform.os)
    }

    // Display text of a shortcut string on the named platform ("osx", "macos", "windows"; others
    // leave the shortcut unchanged).
    function formatShortCutForPlatform(shortcut, platformName) {
        if (!shortcut)
            return ""
        var text = String(shortcut)
        var replaceAll = function (from, to) { text = text.split(from).join(to) }
        switch (String(platformName).toLowerCase()) {
        case "osx":
        case "macos":
            text = text.toUpperCase()
            replaceAll("CMD", "\u2318")
            replaceAll("CTRL", "^")
            replaceAll("SHIFT", "\u21e7")
            replaceAll("BACKSPACE", "\u232b")
            replaceAll("ALT", "\u2325")
            replaceAll("+", "")
            replaceAll(" ", "Space")
            replaceAll("RIGHT", "\u25b6")
            return text
        case "windows":
            text = text.toUpperCase()
            replaceAll("CMD", "INVALID")
            replaceAll("CTRL", "Ctrl")
            replaceAll("SHIFT", "Shift")
            replaceAll("ALT", "Alt")
            replaceAll("BACKSPACE", "Backspace")
            replaceAll(" ", "Space")
            replaceAll("RIGHT", "Right Arrow")
            return text
        default:
            console.log("Unknown Platform for Shortcut Translation", text)
            return text
        }
    }

    BrixTheme { id: theme }

    delegate: MenuItem {
        id: entry

        implicitHeight: 40

        background: Rectangle {
            color: entry.highlighted ? theme.default_selected_color : menu.backgroundColor
        }

        contentItem: RowLayout {
            Text {
                Layout.fillWidth: true
                text: entry.text
                font.pixelSize: theme.default_font.pixelSize
                color: entry.enabled ? theme.light_text_color : Qt.darker(theme.light_text_color, 2.5)
                horizontalAlignment: Text.AlignLeft
                verticalAlignment: Text.AlignVCenter
                elide: Text.ElideRight
            }
            Text {
                objectName: "shortcutText"
                visible: !entry.subMenu
                text: entry.action && entry.action.shortcut ? menu.formatShortCutAsNativeString(entry.action.shortcut) : ""
                font.pixelSize: theme.default_font.pixelSize
                color: Qt.darker(theme.light_text_color, 2.5)
                verticalAlignment: Text.AlignVCenter
            }
        }

        arrow: SubMenuArrow {
            x: entry.width - width
            visible: entry.subMenu !== null
            highlighted: entry.highlighted
        }
    }
}
