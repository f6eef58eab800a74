.pragma library

// Menu shortcuts are written with "Cmd", the Command key of macOS. Everywhere else that key is
// Control: each "cmd", in any letter case, becomes "Ctrl" ("Shift+Cmd+G" -> "Shift+Ctrl+G").

function isMacOs(os) {
    return os === "osx" || os === "macos"
}

// The shortcut as the platform of that Qt.platform.os name reads it.
function convertShortCutForOs(shortcut, os) {
    if (isMacOs(os))
        return shortcut
    return String(shortcut).replace(/cmd/gi, "Ctrl")
}

// The shortcut as this platform reads it.
function convertShortCutForPlatform(shortcut) {
    return convertShortCutForOs(shortcut, Qt.platform.os)
}
