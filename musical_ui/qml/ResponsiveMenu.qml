import QtQuick
import QtQuick.Controls
import QtQuick.Dialogs
import Qt5Compat.GraphicalEffects
import com.fernwhistlestudios.brix_ui
import "Shortcuts.js" as Shortcuts

// The main window's menu button: a tinted icon in the top-left corner that opens the File, Edit,
// Player, View, Tools and Help menus. Every entry's shortcut works while the menu is closed; a few
// actions exist only for their shortcuts. The entries' effects leave as signals (the main window and
// its controller act on them); the edit state and the admin permission decide which entries are enabled.
Item {
    id: root

    property var imageSource: 'qrc:/images/responsive_menu'
    property var imageSize: Qt.size(20, 20)
    property var imageColor: '#D3D3D3'
    property var rootWindow: parent
    property alias aboutWindow: about
    property var menuBar: null
    property string baseExportName: "Export"
    // The folder the export dialog opens in (the user's documents folder, set by the controller).
    property url exportFolder
    property bool canUndo: false
    property bool canRedo: false
    property bool canDelete: true
    property bool canSave: false
    property bool canShare: false
    property bool isAdmin: false
    property string appName: "Application"
    property bool showAudioManager: false
    property bool oscEnabled: true
    property bool showPerformanceEssentials: false
    property string supportUrl: "https://www.fernwhistlestudios.com/support"

    signal aboutClicked()
    signal performanceEssentialsClicked()
    signal midiCommandsClicked()
    signal oscManagerClicked()
    signal audioManagerClicked()
    signal outputPaths()
    signal changelogManagerOpened()
    signal exportChangelogClicked(url file)
    signal getLatestLogClicked()
    signal saveClicked()
    signal shareClicked()
    signal undo()
    signal redo()
    signal deleteSelected()
    signal selectAll()
    signal playPause()
    signal stop()
    signal continuePlay()
    signal jumpToBarStart()
    signal previousMarker()
    signal nextMarker()
    signal previousBar()
    signal nextBar()
    signal zoomIn()
    signal zoomOut()
    signal selectionStartToCenter()
    signal selectionEndToCenter()
    signal extendSelectionToStart()
    signal extendSelectionToEnd()

    function setAdminPermission(admin) {
        isAdmin = admin
    }

    width: imageSize.width
    height: imageSize.height

    Image {
        id: icon
        anchors.fill: parent
        source: root.imageSource
        sourceSize: Qt.size(root.imageSize.width * 2, root.imageSize.height * 2)
        visible: false
    }
    ColorOverlay {
        anchors.fill: icon
        source: icon
        color: iconArea.containsMouse ? Qt.lighter(root.imageColor, 1.65) : root.imageColor
    }
    MouseArea {
        id: iconArea
        objectName: "menuButton"
        anchors.fill: parent
        hoverEnabled: true
        onClicked: menu.open()
    }

    BrixCustomMenu {
        id: menu
        objectName: "mainMenu"
        y: root.height

        BrixCustomMenu {
            objectName: "fileMenu"
            title: qsTr("File")
            Action { text: qsTr("Download Latest Log"); onTriggered: root.getLatestLogClicked() }
            BrixCustomMenuSeparator {}
            Action {
                text: qsTr("View Past Logs...")
                enabled: root.isAdmin
                onTriggered: root.changelogManagerOpened()
            }
            Action {
                text: qsTr("Export Event Log...")
                enabled: root.isAdmin
                onTriggered: exportDialog.open()
            }
            Action {
                text: qsTr("Save Edits")
                shortcut: Shortcuts.convertShortCutForPlatform("Cmd+S")
                enabled: root.isAdmin && root.canSave
                onTriggered: root.saveClicked()
            }
            Action {
                text: qsTr("Share Edits")
                enabled: root.isAdmin && root.canShare
                onTriggered: root.shareClicked()
            }
            BrixCustomMenuSeparator {}
            Action {
                text: qsTr("Quit ") + root.appName
                shortcut: Shortcuts.convertShortCutForPlatform("Cmd+Q")
                // The window's own closing road asks about unsaved edits.
                onTriggered: root.Window.window.close()
            }
        }
        BrixCustomMenu {
            objectName: "editMenu"
            title: qsTr("Edit")
            Action {
                text: qsTr("Undo")
                shortcut: Shortcuts.convertShortCutForPlatform("cmd+z")
                enabled: root.canUndo && root.isAdmin
                onTriggered: root.undo()
            }
            Action {
                text: qsTr("Redo")
                shortcut: Shortcuts.convertShortCutForPlatform("cmd+shift+z")
                enabled: root.canRedo && root.isAdmin
                onTriggered: root.redo()
            }
            BrixCustomMenuSeparator {}
            Action {
                text: qsTr("Delete")
                shortcut: Shortcuts.convertShortCutForPlatform("backspace")
                enabled: root.canDelete && root.isAdmin
                onTriggered: root.deleteSelected()
            }
            Action {
                text: qsTr("Select All")
                shortcut: Shortcuts.convertShortCutForPlatform("cmd+a")
                enabled: root.isAdmin
                onTriggered: root.selectAll()
            }
        }
        BrixCustomMenu {
            objectName: "playerMenu"
            title: qsTr("Player")
            Action { text: qsTr("Play/Pause"); shortcut: Shortcuts.convertShortCutForPlatform(" "); onTriggered: root.playPause() }
            Action { text: qsTr("Stop"); shortcut: Shortcuts.convertShortCutForPlatform("Shift+ "); onTriggered: root.stop() }
            Action { text: qsTr("Advance"); shortcut: Shortcuts.convertShortCutForPlatform("Right"); onTriggered: root.continuePlay() }
            BrixCustomMenuSeparator {}
            Action { text: qsTr("Jump to Bar..."); shortcut: Shortcuts.convertShortCutForPlatform("Cmd+b"); onTriggered: root.jumpToBarStart() }
            Action { text: qsTr("Previous Marker"); shortcut: Shortcuts.convertShortCutForPlatform(","); onTriggered: root.previousMarker() }
            Action { text: qsTr("Next Marker"); shortcut: Shortcuts.convertShortCutForPlatform("."); onTriggered: root.nextMarker() }
            Action { text: qsTr("Previous Bar"); shortcut: Shortcuts.convertShortCutForPlatform("Shift+,"); onTriggered: root.previousBar() }
            Action { text: qsTr("Next Bar"); shortcut: Shortcuts.convertShortCutForPlatform("Shift+."); onTriggered: root.nextBar() }
        }
        BrixCustomMenu {
            objectName: "viewMenu"
            title: qsTr("View")
            Action { text: qsTr("Zoom In Timeline"); shortcut: Shortcuts.convertShortCutForPlatform("="); onTriggered: root.zoomIn() }
            Action { text: qsTr("Zoom Out Timeline"); shortcut: Shortcuts.convertShortCutForPlatform("-"); onTriggered: root.zoomOut() }
        }
        BrixCustomMenu {
            objectName: "toolsMenu"
            title: qsTr("Tools")
            contentWidth: 300  // the entries' names beside their three-key shortcuts
            Action {
                text: qsTr("Audio Manager...")
                shortcut: Shortcuts.convertShortCutForPlatform("Shift+Cmd+G")
                enabled: root.showAudioManager
                onTriggered: root.audioManagerClicked()
            }
            Action {
                text: qsTr("MIDI Manager...")
                shortcut: Shortcuts.convertShortCutForPlatform("Shift+Cmd+M")
                onTriggered: root.midiCommandsClicked()
            }
            Action {
                text: qsTr("OSC Manager...")
                shortcut: Shortcuts.convertShortCutForPlatform("Shift+Cmd+O")
                enabled: root.oscEnabled
                onTriggered: root.oscManagerClicked()
            }
        }
        BrixCustomMenu {
            objectName: "helpMenu"
            title: qsTr("Help")
            contentWidth: 280
            Action { text: qsTr("About ") + root.appName + "..."; onTriggered: root.aboutClicked() }
            Action {
                text: qsTr("Performance Essentials...")
                enabled: root.showPerformanceEssentials
                onTriggered: root.performanceEssentialsClicked()
            }
            Action { text: qsTr("BRIX Support Center..."); onTriggered: Qt.openUrlExternally(root.supportUrl) }
        }
    }

    // Present only for their shortcuts.
    Action {
        objectName: "deleteKeyAction"
        text: qsTr("Not on Menu, Delete Key")
        shortcut: Shortcuts.convertShortCutForPlatform("Delete")
        enabled: root.canDelete && root.isAdmin
        onTriggered: root.deleteSelected()
    }
    Action { text: qsTr("Selection Start to Center"); shortcut: "q"; onTriggered: root.selectionStartToCenter() }
    Action { text: qsTr("Selection End to Center"); shortcut: "w"; onTriggered: root.selectionEndToCenter() }
    Action { text: qsTr("Extend Selection to Start"); shortcut: "["; onTriggered: root.extendSelectionToStart() }
    Action { text: qsTr("Extend Selection to End"); shortcut: "]"; onTriggered: root.extendSelectionToEnd() }

    FileDialog {
        id: exportDialog
        objectName: "exportDialog"
        title: qsTr("Export Event Log")
        fileMode: FileDialog.SaveFile
        nameFilters: [qsTr("PDF files (*.pdf)"), qsTr("All files (*)")]
        currentFolder: root.exportFolder
        selectedFile: root.exportFolder + "/" + root.baseExportName + ".pdf"
        onAccepted: root.exportChangelogClicked(selectedFile)
    }

    AboutWindow {
        id: about
        parent: root.rootWindow
        rootWindow: root.rootWindow
    }
}
