import QtQuick
import QtQuick.Controls
import QtTest
import com.fernwhistlestudios.brix_ui

// What the program's windows rely on of every type of the module: the documents they load by URL, and
// each property, signal, function and named child they set, connect, call or look up by name.
Item {
    id: root
    width: 600
    height: 500

    // The theme that controls placed in a window find in scope.
    BrixTheme { id: theme }

    readonly property string moduleUrl: "qrc:/qt/qml/com/fernwhistlestudios/brix_ui/qml/"

    // url: loaded from that document, else created by type name. defaults: values the windows count on.
    readonly property var interfaces: [
        { type: "FlatDialogWindow", url: "FlatDialogWindow.qml",
          properties: ["title", "text", "type", "showCheckbox", "acknowledgeCheckbox", "okCheckboxString", "largerWindow", "makeNeverShowSecret", "visible"],
          signals: ["checkboxConfirmed", "accepted"],
          defaults: { type: "INFO", okCheckboxString: "Acknowledge", showCheckbox: false, acknowledgeCheckbox: false, largerWindow: false, makeNeverShowSecret: false, visible: false } },
        { type: "FlatInputWindow",
          properties: ["title", "text", "type", "value", "showConfirmation", "escToNegate", "confirmationPreamble", "acceptButtonText", "cancelButtonText", "negateButtonText", "showNegateButton", "showInputField", "visible"],
          signals: ["accepted", "cancelled", "negated"],
          defaults: { type: "INFO", value: "", acceptButtonText: "OK", cancelButtonText: "Cancel", showNegateButton: false, showInputField: true, showConfirmation: false, escToNegate: false, visible: false } },
        { type: "FlatInputWindow", url: "FlatInputWindow.qml", properties: ["value"], signals: ["accepted", "cancelled", "negated"] },
        { type: "MessageBox", url: "MessageBox.qml", properties: ["text"], signals: [], defaults: { text: "", width: 500, height: 500 } },
        { type: "AboutWindow",
          properties: ["version", "versionIdentifier", "logoSource", "architecture", "rootWindow", "showAcknowledgments"],
          signals: ["acknowledgementsClicked"], functions: ["open"], defaults: { showAcknowledgments: true } },
        { type: "AcknowledgementsWindow", url: "AcknowledgementsWindow.qml", properties: ["acknowledgementText"], signals: [] },
        { type: "EditTool",
          properties: ["isEdit", "eventId", "theme", "topSpacer", "windowHeight", "visible", "title", "modality", "flags"],
          signals: ["inBarChanged", "inBeatChanged", "windowClosing"],
          defaults: { width: 360, height: 300, title: "Edit Tool", modality: Qt.ApplicationModal, isEdit: false, eventId: "" } },
        { type: "BarAndBeatPanel",
          properties: ["hasDuration", "hasMicroshift", "showSelectAll", "inMinMicroshift", "inMaxMicroshift", "inBar", "outBar", "inBeat", "outBeat", "inShift", "inShiftEnabled", "inBarModel", "comboBoxWidth"],
          signals: ["inBeatInputUpdateRequest", "outBeatInputUpdateRequest", "inBarInputChanged", "inBeatInputChanged", "outBarInputChanged", "outBeatInputChanged", "pressEnter"],
          functions: ["selectAll"], children: ["inBarInput", "outBarInput", "inBeatInput", "outBeatInput"],
          defaults: { hasDuration: true, hasMicroshift: false, showSelectAll: false, inMinMicroshift: 0, inMaxMicroshift: 1 } },
        { type: "StandardEditButtons", properties: ["cancelButton", "okButton"], signals: ["cancelClicked", "okayClicked"] },
        { type: "EventIdLabel", properties: ["value", "text"], signals: [], defaults: { value: "", text: "Event ID:" } },
        { type: "FlatButton", properties: ["text", "font", "enabled", "isDefault", "isCancel", "highVisMode", "imageSource", "toolTip"], signals: ["clicked", "released"] },
        { type: "GraphicButton", properties: ["text", "imageSource", "showImage", "enabled", "width", "toolTip"], signals: ["clicked"] },
        { type: "BubbleButton",
          properties: ["text", "textColor", "imageSource", "checkable", "toggled", "colorToggledOn", "radiant", "radiantColor", "showDownChevron", "toolTip", "shortPressAndHoldDelay"],
          signals: ["clicked", "shortPressAndHold"], defaults: { shortPressAndHoldDelay: 500 }, colours: { textColor: "silver", radiantColor: "green" } },
        { type: "BubbleButtonBar", properties: [], signals: [] },
        { type: "ModeTabButton", properties: ["text", "font"], signals: [] },
        { type: "CustomTabBar", properties: ["currentIndex"], signals: [] },
        { type: "CustomTabButton", properties: ["source", "text", "toolTip", "iconScale", "showHoverEffect", "visible"], signals: [] },
        { type: "CustomContextMenu", properties: [], signals: [], functions: ["popup"] },
        { type: "BrixCustomMenu", properties: ["title", "x", "y", "contentWidth"], signals: [], functions: ["open"] },
        { type: "BrixCustomMenuSeparator", properties: [], signals: [] },
        { type: "CustomComboBox",
          properties: ["model", "currentIndex", "currentValue", "count", "displayText", "textRole", "valueRole", "delegate", "mainLabel", "comboControl", "minimumPopupWidth"],
          signals: ["activated", "enterPressed"], functions: ["valueAt", "indexOfValue"] },
        { type: "CustomCheckbox", properties: ["checkboxTextStr", "checkboxTextColor", "checked"], signals: [] },
        { type: "RecessedTextInput", properties: ["text", "textColor", "editable", "font", "field", "horizontalAlignment", "backgroundColor"], signals: ["textEdited", "editingFinished"] },
        { type: "RecessedSpinBox",
          properties: ["value", "intValue", "from", "to", "defaultValue", "inputWidth", "textIndent", "inputFocus", "incrementButton", "decrementButton"],
          signals: ["incrementValue", "decrementValue", "editingFinished", "textEdited"],
          defaults: { from: 0, to: 99, defaultValue: "\u221e" } },
        { type: "CustomSpinBox", properties: [], signals: [] },
        { type: "FileInputControl", properties: ["value", "fileUrl", "nameFilters", "spacing", "text"], signals: ["textChanged"], defaults: { spacing: 10 } },
        { type: "BrixCustomSlider",
          properties: ["value", "from", "to", "stepSize", "sliderStep", "zeroMark", "showZeroMark", "snapTolerance", "customDisplayFunction", "customInvertFunction", "isFocused", "hovered"],
          signals: ["moved", "valueChanged"],
          defaults: { value: 0.5, from: 0, to: 1, sliderStep: 5, zeroMark: 0.5, showZeroMark: true, snapTolerance: 0.03 } },
        { type: "BrixCustomVolumeSlider", properties: ["value", "from"], signals: ["moved"] },
        { type: "BrixCustomDial", properties: ["value"], signals: ["moved"] },
        { type: "VolumeIndicatorSegmented", properties: ["value", "segments"], signals: [], defaults: { segments: 8 } },
        { type: "FlatProgressBar", properties: ["value", "width"], signals: [] },
        { type: "CustomScrollBar", properties: ["size", "position", "orientation", "hoverEnabled", "active", "pressed", "hovered"], signals: [] },
        { type: "CustomTwoColumnListView", properties: ["currentIndex", "model", "rowHeight", "colWidths"], signals: [], defaults: { currentIndex: -1, rowHeight: 30 } },
        { type: "BrixToolTip", properties: ["text", "visible", "delay"], signals: [] },
        { type: "BasicBevel", properties: [], signals: [] },
        { type: "FocusHighlight", properties: [], signals: [] },
        { type: "BrixTheme",
          properties: ["default_bg_color", "default_bg_color_popup", "light_background_color", "dark_background_color", "default_text_color", "default_text_header_color", "light_text_color", "dim_text_color", "default_selected_color", "default_selected_color_intense", "light_border_color", "on_indicator_color", "off_indicator_color", "bevel_dark_color", "bevel_light_color", "bevel_width", "heavy_label", "default_font", "small_font"],
          signals: [] },
    ]

    TestCase {
        name: "Services"
        when: windowShown

        function create(entry) {
            var object
            if (entry.url) {
                var component = Qt.createComponent(root.moduleUrl + entry.url)
                compare(component.status, Component.Ready, component.errorString())
                object = component.createObject(root)
            } else {
                object = Qt.createQmlObject("import QtQuick; import com.fernwhistlestudios.brix_ui; " + entry.type + " {}", root, entry.type)
            }
            verify(object, entry.type)
            return object
        }

        function test_interface_data() {
            return root.interfaces.map(entry => Object.assign({ tag: entry.type + (entry.url ? " by URL" : "") }, entry))
        }
        function test_interface(data) {
            var object = create(data)
            data.properties.forEach(name => verify(name in object, data.type + " has the property " + name))
            data.signals.forEach(name => {
                verify(typeof object[name] === "function" && typeof object[name].connect === "function",
                       data.type + " has the signal " + name)
            })
            ;(data.functions || []).forEach(name => verify(typeof object[name] === "function", data.type + " has the function " + name))
            ;(data.children || []).forEach(name => verify(findChild(object, name), data.type + " has the child " + name))
            var defaults = data.defaults || {}
            Object.keys(defaults).forEach(name => compare(object[name], defaults[name], data.type + "." + name))
            var colours = data.colours || {}
            Object.keys(colours).forEach(name => verify(Qt.colorEqual(object[name], colours[name]), data.type + "." + name))
            object.destroy()
        }

        function test_theme_font_sizes() {
            var theme = create({ type: "BrixTheme" })
            compare(theme.default_font.pixelSize, 14)
            compare(theme.small_font.pixelSize, 11)
            theme.destroy()
        }
    }
}
