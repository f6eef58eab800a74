import QtQuick
import com.fernwhistlestudios.brix_ui
import QtQuick.Layouts

// The in/out bar, beat and microshift pickers of the edit tools. The controllers find the four combo
// boxes by object name, fill their models and indexes, and answer inBeatInputUpdateRequest() and
// outBeatInputUpdateRequest() (a bar chosen by the user) with the beats of that bar. With
// `hasDuration` false the panel picks a single position. Reads its fonts and colours from the
// BrixTheme named `theme` in scope (the enclosing EditTool has one).
Item {
    id: root

    property int panelWidth: parent ? parent.width : 0
    property int panelHeight: column.implicitHeight
    property int leftMargin: 0
    property int topMargin: 0
    property int rightMargin: anchors.rightMargin
    property int bottomMargin: anchors.bottomMargin
    property bool hasDuration: true
    property bool hasMicroshift: false
    property bool showSelectAll: false
    property int inMinMicroshift: 0
    property int inMaxMicroshift: 1
    property int outMinMicroshift: 0
    property int outMaxMicroshift: 1
    property int inMicroshiftCurrentIndex: 0
    property int outMicroshiftCurrentIndex: 0
    property alias comboBoxWidth: inBarInput.width
    property alias inBar: inBarInput.displayText
    property alias outBar: outBarInput.displayText
    property alias inBeat: inBeatInput.displayText
    property alias outBeat: outBeatInput.displayText
    property alias inShift: inShiftSlider.value
    property alias inMicroshiftValue: inShiftSlider.value
    property alias outShift: outShiftSlider.value
    property alias outMicroshiftValue: outShiftSlider.value
    property alias inShiftEnabled: inShiftSlider.enabled
    property alias inBarModel: inBarInput.model

    signal inBeatInputUpdateRequest(var index)
    signal outBeatInputUpdateRequest(var index)
    signal inBarInputChanged()
    signal inBeatInputChanged()
    signal outBarInputChanged()
    signal outBeatInputChanged()
    signal pressEnter()

    function setInMicroshiftMinMax(minValue, maxValue) {
        inMinMicroshift = minValue
        inMaxMicroshift = maxValue
    }
    function setOutMicroshiftMinMax(minValue, maxValue) {
        outMinMicroshift = minValue
        outMaxMicroshift = maxValue
    }
    // First in bar and beat, last out bar and beat (-1 when an out list is empty).
    function selectAll() {
        inBarInput.currentIndex = 0
        outBarInput.currentIndex = outBarInput.count - 1
        inBeatInput.currentIndex = 0
        outBeatInput.currentIndex = outBeatInput.count - 1
    }

    width: panelWidth
    height: panelHeight
    anchors.leftMargin: leftMargin
    anchors.rightMargin: leftMargin
    anchors.topMargin: topMargin
    anchors.bottomMargin: topMargin

    component Caption: Text {
        font: theme.default_font
        color: theme.default_text_color
    }

    ColumnLayout {
        id: column
        anchors.fill: parent
        spacing: 15

        RowLayout {
            ColumnLayout {
                objectName: "barColumn"
                Layout.preferredWidth: 100

                Caption {
                    text: root.hasDuration ? qsTr("In Bar") : qsTr("Bar")
                }
                CustomComboBox {
                    id: inBarInput
                    objectName: "inBarInput"
                    Layout.preferredWidth: 100
                    textRole: "bar"
                    onActivated: index => root.inBeatInputUpdateRequest(index)
                    onCurrentIndexChanged: root.inBarInputChanged()
                    onEnterPressed: root.pressEnter()
                }
                Caption {
                    text: qsTr("Out Bar")
                    visible: root.hasDuration
                    Layout.topMargin: 10
                }
                CustomComboBox {
                    id: outBarInput
                    objectName: "outBarInput"
                    Layout.preferredWidth: 100
                    visible: root.hasDuration
                    textRole: "bar"
                    onActivated: index => root.outBeatInputUpdateRequest(index)
                    onCurrentIndexChanged: root.outBarInputChanged()
                    onEnterPressed: root.pressEnter()
                }
            }
            ColumnLayout {
                objectName: "beatColumn"
                Layout.preferredWidth: 100

                Caption {
                    text: root.hasDuration ? qsTr("In Beat") : qsTr("Beat")
                }
                CustomComboBox {
                    id: inBeatInput
                    objectName: "inBeatInput"
                    Layout.preferredWidth: 100
                    onCurrentIndexChanged: root.inBeatInputChanged()
                    onEnterPressed: root.pressEnter()
                }
                Caption {
                    text: qsTr("Out Beat")
                    visible: root.hasDuration
                    Layout.topMargin: 10
                }
                CustomComboBox {
                    id: outBeatInput
                    objectName: "outBeatInput"
                    Layout.preferredWidth: 100
                    visible: root.hasDuration
                    valueRole: "beats"
                    onCurrentIndexChanged: root.outBeatInputChanged()
                    onEnterPressed: root.pressEnter()
                }
            }
            ColumnLayout {
                objectName: "microshiftColumn"
                Layout.preferredWidth: 100

                Caption {
                    objectName: "inShiftCaption"
                    text: root.hasDuration ? qsTr("In Shift") : qsTr("Microshift")
                    visible: root.hasMicroshift
                }
                BrixCustomSlider {
                    id: inShiftSlider
                    objectName: "inShiftSlider"
                    Layout.preferredWidth: 150
                    visible: root.hasMicroshift
                    from: root.inMinMicroshift
                    to: root.inMaxMicroshift
                    value: 0
                    showZeroMark: false

                    BrixToolTip {
                        objectName: "inShiftToolTip"
                        text: qsTr("Value: ") + inShiftSlider.value.toFixed(0)
                        delay: 500
                        visible: inShiftSlider.hovered || inShiftSlider.activeFocus
                    }
                }
                Caption {
                    text: qsTr("Out Microshift")
                    visible: root.hasDuration && root.hasMicroshift
                    Layout.topMargin: 10
                }
                BrixCustomSlider {
                    id: outShiftSlider
                    objectName: "outShiftSlider"
                    Layout.preferredWidth: 150
                    visible: root.hasDuration && root.hasMicroshift
                    from: root.outMinMicroshift
                    to: root.outMaxMicroshift
                    value: 0
                    showZeroMark: false
                }
            }
        }
        FlatButton {
            objectName: "selectAllButton"
            text: qsTr("Select All")
            visible: root.showSelectAll
            Layout.alignment: Qt.AlignHCenter
            Layout.preferredHeight: 30
            Layout.preferredWidth: 130
            onClicked: root.selectAll()
        }
    }
}
