import QtQuick
import QtQuick.Controls
import QtTest
import com.fernwhistlestudios.brix_ui
import BrixUiTestModels

// Renders one window of every type of the widget module to PNG files in the build folder, for a
// person to look at. Each window must render without a warning from the module.
Item {
    id: root
    width: 480
    height: 360

    BrixTheme { id: theme }

    ListModel {
        id: pairs
        ListElement { first: "Stage Left"; second: "192.168.1.20" }
        ListElement { first: "Stage Right"; second: "192.168.1.21" }
        ListElement { first: "Booth"; second: "192.168.1.30" }
    }

    ListModel {
        id: sfxSources
        ListElement { sfxid: "s1"; displayname: "Thunder roll.wav" }
        ListElement { sfxid: "s2"; displayname: "Rain on the roof, long version for the storm scene.wav" }
        ListElement { sfxid: "s3"; displayname: "Door bell.wav" }
    }
    ListModel {
        id: sfxInstances
        ListElement { eventId: "5c1e-09a7"; summary: "Thunder roll, -6 dB, fade in 2 s"; isReady: true }
        ListElement { eventId: "77d0-41bb"; summary: "Rain on the roof, loop, centre"; isReady: true }
        ListElement { eventId: "a903-12fe"; summary: "Door bell, being prepared"; isReady: false }
    }
    ListModel {
        id: outputPaths
        ListElement { path_name: "Main"; path_id: "p1" }
    }
    ActiveAudioTestModel {
        id: players
        players: [
            { id: 1, name: "Thunder roll", isPlaying: true, isPinned: true, progress: 0.4, duration: 95 },
            { id: 2, name: "Rain on the roof", isPlaying: false, isPinned: false, progress: 0, duration: 184 },
            { id: 3, name: "", isPlaying: false, isPinned: false, progress: 0, duration: 0 },
        ]
    }

    Component {
        id: sheet
        Rectangle {
            width: 460
            height: 340
            color: theme.default_bg_color
        }
    }

    property var windows: [
        { name: "BrixTheme", qml: "Column { x: 10; y: 10; spacing: 4; Repeater { model: ['default_text_color','dim_text_color','hyperlink_text_color','default_bg_hover_color','default_selected_color_intense','checkbox_color','caesuraColor','vampColor']; Row { spacing: 8; Rectangle { width: 40; height: 16; color: theme[modelData] } Text { text: modelData; color: theme.default_text_color; font: theme.small_font } } } }" },
        { name: "BasicBevel", qml: "Row { x: 20; y: 20; spacing: 20; Rectangle { width: 100; height: 60; color: '#404040'; BasicBevel {} } Rectangle { width: 100; height: 60; color: '#404040'; BasicBevel { bevel_width: 3 } } Rectangle { width: 100; height: 60; color: '#404040'; BasicBevel { bgvisible: true; bgcolor: 'steelblue'; hide_left: true } } }" },
        { name: "CustomBevel", qml: "Rectangle { x: 20; y: 20; width: 140; height: 60; color: '#404040'; CustomBevel {} }" },
        { name: "RecessedBevel", qml: "Row { x: 20; y: 20; spacing: 20; Rectangle { width: 120; height: 40; color: '#282828'; RecessedBevel {} } Rectangle { width: 120; height: 40; color: '#282828'; RecessedBevel { hide_top: true } } }" },
        { name: "FocusHighlight", qml: "Rectangle { x: 20; y: 20; width: 140; height: 40; color: '#525252'; FocusHighlight {} }" },
        { name: "FlatProgressBar", qml: "Column { x: 20; y: 20; spacing: 16; FlatProgressBar { width: 300; value: 0 } FlatProgressBar { width: 300; value: 0.02 } FlatProgressBar { width: 300; value: 0.5 } FlatProgressBar { width: 300; value: 1 } }" },
        { name: "WaitIndicator", qml: "Row { x: 20; y: 20; spacing: 20; WaitIndicator { visible: true; angle: 90; Component.onCompleted: timer.stop() } WaitIndicator { visible: true; angle: 270; pieColor: 'orange' } }" },
        { name: "BrixToolTip", qml: "Item { anchors.fill: parent; BrixToolTip { x: 20; y: 20; text: 'Value: -6.0 dB'; visible: true; delay: 0 } }" },
        { name: "CustomScrollBar", qml: "ListView { x: 20; y: 20; width: 200; height: 150; clip: true; model: 40; delegate: Text { text: 'Row ' + index; color: 'white'; height: 20 } ScrollBar.vertical: CustomScrollBar {} }" },
        { name: "FlatButton", qml: "Column { x: 20; y: 20; spacing: 10; Row { spacing: 10; FlatButton { text: 'Normal' } FlatButton { text: 'OK'; isDefault: true } FlatButton { text: 'Cancel'; isCancel: true } FlatButton { text: 'Disabled'; enabled: false } } Row { spacing: 10; FlatButton { text: 'High vis'; highVisMode: true } FlatButton { text: 'Icon'; imageSource: 'qrc:/images/test_icon.svg' } FlatButton { text: 'Focused'; Component.onCompleted: forceActiveFocus() } } }" },
        { name: "BubbleButton", qml: "BubbleButtonBar { x: 20; y: 20; BubbleButton { imageSource: 'qrc:/images/test_icon.svg' } BubbleButton { imageSource: 'qrc:/images/test_icon.svg'; toggled: true; colorToggledOn: true } BubbleButton { imageSource: 'qrc:/images/test_icon.svg'; radiant: true } BubbleButton { imageSource: 'qrc:/images/test_icon.svg'; showText: true; text: 'Play' } BubbleButton { imageSource: 'qrc:/images/test_icon.svg'; showDownChevron: true } BubbleButton { imageSource: 'qrc:/images/test_icon.svg'; enabled: false } }" },
        { name: "BubbleButtonBar", qml: "BubbleButtonBar { x: 20; y: 20; pad: 8; BubbleButton { imageSource: 'qrc:/images/test_icon.svg' } BubbleButton { imageSource: 'qrc:/images/test_icon.svg' } }" },
        { name: "GraphicButton", qml: "Row { x: 20; y: 20; spacing: 12; GraphicButton { text: 'Cut'; imageSource: 'qrc:/images/test_icon.svg' } GraphicButton { text: 'Marker' } GraphicButton { text: 'Off'; imageSource: 'qrc:/images/test_icon.svg'; enabled: false } }" },
        { name: "ModeTabButton", qml: "TabBar { x: 20; y: 20; currentIndex: 1; background: Rectangle { color: theme.default_bg_color } ModeTabButton { text: 'Play' } ModeTabButton { text: 'Edit' } ModeTabButton { text: 'Mix'; enabled: false } }" },
        { name: "CustomTabBar", qml: "CustomTabBar { x: 20; y: 20; width: 420; currentIndex: 1; CustomTabButton { text: 'Cuts'; source: 'qrc:/images/test_icon.svg' } CustomTabButton { text: 'Markers'; source: 'qrc:/images/test_icon.svg' } CustomTabButton { text: 'Tempo'; showHoverEffect: true } }" },
        { name: "CustomTabButton", qml: "TabBar { x: 20; y: 20; currentIndex: 0; CustomTabButton { text: 'Selected'; selectedColor: 'white'; source: 'qrc:/images/test_icon.svg' } CustomTabButton { text: 'Other' } }" },
        { name: "TabButton", qml: "TabBar { x: 20; y: 20; currentIndex: 0; TabButton { text: 'First'; source: 'qrc:/images/test_icon.svg' } TabButton { text: 'Second' } }" },
        { name: "CustomCheckbox", qml: "Column { x: 20; y: 20; spacing: 8; CustomCheckbox { checkboxTextStr: 'Unchecked' } CustomCheckbox { checkboxTextStr: 'Checked'; checked: true } CustomCheckbox { checkboxTextStr: 'Blue caption'; checkboxTextColor: '#00a8e4'; checked: true } }" },
        { name: "CustomComboBox", qml: "Row { x: 20; y: 20; spacing: 20; CustomComboBox { width: 150; model: ['Bar 1', 'Bar 2', 'Bar 3', 'Bar 4'] } CustomComboBox { id: open; width: 150; model: ['One', 'Two', 'A rather long entry that is elided'] ; Component.onCompleted: choices.open() } }" },
        { name: "CustomSpinBox", qml: "Column { x: 20; y: 20; spacing: 10; CustomSpinBox { width: 150; intValue: 5 } CustomSpinBox { width: 150; from: 1; underflowWithInfinite: true; intValue: 0 } }" },
        { name: "RecessedSpinBox", qml: "Column { x: 20; y: 20; spacing: 10; RecessedSpinBox {} RecessedSpinBox { defaultValue: 3 } }" },
        { name: "CustomTextInput", qml: "CustomTextInput { x: 20; y: 20; width: 200; text: 'Some text' }" },
        { name: "RecessedTextInput", qml: "Column { x: 20; y: 20; spacing: 10; RecessedTextInput { width: 200; text: 'Editable' } RecessedTextInput { width: 200; text: 'Read only'; editable: false } }" },
        { name: "BrixCustomSlider", qml: "Column { x: 20; y: 20; spacing: 20; BrixCustomSlider { width: 300 } BrixCustomSlider { width: 300; value: 0.2; showZeroMark: false } }" },
        { name: "BrixCustomVolumeSlider", qml: "BrixCustomVolumeSlider { x: 20; y: 20; width: 300; value: 0.7866278611 }" },
        { name: "BrixCustomDial", qml: "Row { x: 20; y: 20; spacing: 20; BrixCustomDial { value: 0 } BrixCustomDial { value: 0.6 } BrixCustomDial { value: -0.5; ctrlPressed: true } BrixCustomDial { width: 50; height: 50; value: 0.3 } }" },
        { name: "BrixCustomMenu", qml: "Item { anchors.fill: parent; BrixCustomMenu { id: m; x: 20; y: 20; Action { text: 'Save'; shortcut: 'Ctrl+S' } BrixCustomMenuSeparator {} Action { text: 'Disabled'; enabled: false } Menu { title: 'More' } } Component.onCompleted: m.open() }" },
        { name: "BrixCustomMenuSeparator", qml: "Item { anchors.fill: parent; BrixCustomMenu { id: m; x: 20; y: 20; Action { text: 'Above' } BrixCustomMenuSeparator {} Action { text: 'Below' } } Component.onCompleted: m.open() }" },
        { name: "BrixMenuItem", qml: "Item { anchors.fill: parent; Menu { id: m; x: 20; y: 20; BrixMenuItem { menuText: 'First item' } BrixMenuItem { menuText: 'Second item' } } Component.onCompleted: m.open() }" },
        { name: "CustomContextMenu", qml: "Item { anchors.fill: parent; CustomContextMenu { id: m; x: 20; y: 20; Action { text: 'Continue' } Action { text: 'Checkable'; checkable: true; checked: true } Action { text: 'Disabled entry'; enabled: false } Menu { title: 'Sub-menu' } } Component.onCompleted: m.open() }" },
        { name: "CustomTwoColumnListView", qml: "CustomTwoColumnListView { x: 20; y: 20; width: 300; height: 120; model: pairs; currentIndex: 1 }" },
        { name: "HeaderLabelDrag", qml: "Item { anchors.fill: parent; Text { id: statusLabel; x: 20; y: 20; width: 80; height: 30; text: 'Status'; color: 'white' } HeaderLabelDrag { controlToLeft: statusLabel; controlToFarLeft: statusLabel; y: 20 } }" },
        { name: "BarAndBeatPanel", qml: "Column { x: 10; y: 10; spacing: 20; BarAndBeatPanel { width: 440; hasMicroshift: true; showSelectAll: true; inBarModel: [{ bar: '12' }, { bar: '13' }] } BarAndBeatPanel { width: 440; hasDuration: false } }" },
        { name: "StandardEditButtons", qml: "StandardEditButtons { x: 20; y: 20; width: 300 }" },
        { name: "EventIdLabel", qml: "Column { x: 20; y: 20; spacing: 10; EventIdLabel { value: '5c1e-09a7-4b2d' } EventIdLabel {} }" },
        { name: "MessageBox", qml: "MessageBox { width: 440; height: 320; text: 'The show folder could not be read: show.json is missing.' }" },
        { name: "AboutWindow", qml: "AboutWindow { version: '2.4.1'; versionIdentifier: 'build 318'; architecture: 'Intel/AMD 64-bit'; logoSource: 'qrc:/images/test_icon.svg'; Component.onCompleted: open() }" },
        { name: "TextInputControl", qml: "TextInputControl { x: 20; y: 20; width: 300; text: 'Show name'; value: 'Summer season' }" },
        { name: "DirectoryInputControl", qml: "DirectoryInputControl { x: 20; y: 20; width: 400; text: 'Show folder'; value: '/home/ann/My Show' }" },
        { name: "FileInputControl", qml: "FileInputControl { x: 20; y: 20; width: 400; value: '/home/ann/Audio/thunder.wav' }" },
        { name: "FileDisplay", qml: "FileDisplay { x: 20; y: 20; width: 300; height: 160; text: 'Files'; model: ['01 Overture.mid', '02 Opening.mid', '03 Ballad.mid', '04 Finale.mid'] }" },
        { name: "PackageControl", qml: "Column { x: 20; y: 20; spacing: 10; PackageControl { toggleText: 'Include audio' } PackageControl { toggleText: 'Include scores'; toggled: true } }" },
        { name: "RecessedTextArea", qml: "RecessedTextArea { x: 20; y: 20; width: 300; height: 120; text: 'Notes for the conductor:\\nbar 12 is cut tonight.' }" },
        { name: "SfxPlayButton", qml: "Row { x: 20; y: 20; spacing: 20; SfxPlayButton { width: 40; height: 40 } SfxPlayButton { width: 40; height: 40; playing: true } SfxPlayButton { width: 24; height: 24 } }" },
        { name: "ActiveAudioList", qml: "ActiveAudioList { x: 20; y: 20; width: 420; height: 200; model: players }" },
        { name: "ActiveAudioDelegate", qml: "ActiveAudioDelegate { x: 20; y: 20; width: 400; height: 40; model: ({ id: 9, name: 'Wind', isPlaying: false, isPinned: false, progress: 0.75, duration: 30 }) }" },
        { name: "VolumeIndicatorSegmented", qml: "Column { x: 20; y: 20; spacing: 10; width: 300; VolumeIndicatorSegmented { width: 300; value: 0 } VolumeIndicatorSegmented { width: 300; value: 0.1 } VolumeIndicatorSegmented { width: 300; value: 0.5 } VolumeIndicatorSegmented { width: 300; value: 1 } }" },
    ]

    TestCase {
    name: "Gallery"
    when: windowShown

    function test_render_every_type() {
        for (var i = 0; i < windows.length; ++i) {
            var entry = windows[i]
            var page = createTemporaryObject(sheet, root)
            verify(page, entry.name)
            var content = Qt.createQmlObject("import QtQuick; import QtQuick.Controls; import com.fernwhistlestudios.brix_ui; "
                                             + entry.qml, page, entry.name)
            verify(content, entry.name)
            waitForRendering(page)
            var image = grabImage(page)
            image.save(galleryFolder + "/" + entry.name + ".png")
            content.destroy()
        }
    }

    // The windows of the module, each rendered from its own window.
    property var windowTypes: [
        { name: "EditTool", qml: "EditTool { title: 'Cut'; BarAndBeatPanel { y: topSpacer.height; width: 340 } StandardEditButtons { x: 10; y: 250; width: 340 } EventIdLabel { x: 10; y: 280; value: '5c1e-09a7' } }" },
        { name: "FlatDialogWindow", qml: "FlatDialogWindow { type: 'warning'; title: 'Unsaved changes'; text: 'The show has changes that are not saved. <a href=\\'https://example.org\\'>More</a>'; acknowledgeCheckbox: true; showCheckbox: true }" },
        { name: "FlatInputWindow", qml: "FlatInputWindow { type: 'info'; title: 'New version'; text: 'Name of the new version:'; value: 'Tour 2025'; showNegateButton: true; negateButtonText: 'Don\\'t Save'; showConfirmation: true }" },
        { name: "SfxManagerTool", qml: "SfxManagerTool { availableSoundEffectsModel: sfxSources; soundEffectInstancesModel: sfxInstances; playing: ['77d0-41bb'] }" },
        { name: "StandaloneSfxTool", qml: "StandaloneSfxTool { isEdit: true; eventId: '5c1e-09a7'; effectModel: sfxSources; outputPathsModel: outputPaths; fadeIn: '2'; loop: true }" },
        { name: "SfxPropertyTool", qml: "SfxPropertyTool { filename: '/home/ann/Audio/thunder.wav'; fileUrl: 'file:///home/ann/Audio/thunder.wav'; fadeOut: '1.5' }" },
        { name: "SfxPropertyToolWithSource", qml: "SfxPropertyTool { usesCustomAudioFile: false; eventId: '5c1e-09a7'; effectModel: sfxSources; commandIndex: 1 }" },
        { name: "AcknowledgementsWindow", qml: "AcknowledgementsWindow { acknowledgementText: 'zlib - zlib licence\\nlibarchive - BSD licence\\nRapidJSON - MIT licence' }" },
    ]

    function test_render_every_window() {
        for (var i = 0; i < windowTypes.length; ++i) {
            var entry = windowTypes[i]
            var window = Qt.createQmlObject("import QtQuick; import com.fernwhistlestudios.brix_ui; " + entry.qml, root, entry.name)
            verify(window, entry.name)
            window.visible = true
            waitForRendering(window.contentItem)
            grabImage(window.contentItem).save(galleryFolder + "/" + entry.name + ".png")
            window.destroy()
        }
    }
}
}
