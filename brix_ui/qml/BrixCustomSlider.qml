import QtQuick
import com.fernwhistlestudios.brix_ui
import QtQuick.Controls
import QtQuick.Layouts
import Qt5Compat.GraphicalEffects

// Themed slider with a zero mark that mouse moves snap to, arrow-key steps of `step`, a value entry
// popup on right click and a reset to the mark on Alt+right click.
Slider {
    id: control

    property real zeroMark: 0.5
    property int zeroMarkWidth: 2
    property bool showZeroMark: true
    property real snapTolerance: 0.03
    property string barFillColor: "#26a5de"
    property real step: 5.0
    property alias sliderStep: control.step
    property alias isFocused: control.activeFocus
    property var customDisplayFunction: function (value) { return value.toFixed(3) }
    property var customInvertFunction: function (text) { return parseFloat(text) }

    // Moves by one arrow-key step. Keyboard steps do not snap: they must be able to leave the mark.
    function stepBy(delta) {
        value = delta > 0 ? Math.min(value + delta, to) : Math.max(value + delta, from)
        internal.keyboardStep = true
        moved()
        internal.keyboardStep = false
    }

    // Sets the value typed into the entry popup; text that gives no finite number keeps the old value.
    function applyEntry(text) {
        entryPopup.close()
        var entered = customInvertFunction(text)
        if (typeof entered !== "number" || !isFinite(entered))
            return
        value = entered
        moved()
    }

    from: 0
    to: 1
    value: 0.5
    focusPolicy: Qt.StrongFocus

    onMoved: {
        if (!internal.keyboardStep && showZeroMark && Math.abs(value - zeroMark) / (to - from) < snapTolerance)
            value = zeroMark
    }

    Keys.onRightPressed: stepBy(step)
    Keys.onLeftPressed: stepBy(-step)

    BrixTheme { id: theme }

    QtObject {
        id: internal
        property bool keyboardStep: false
    }

    background: Item {
        x: control.leftPadding
        y: control.topPadding + control.availableHeight / 2 - height / 2
        implicitWidth: 200
        implicitHeight: 4
        width: control.availableWidth
        height: implicitHeight

        Rectangle {
            objectName: "zeroMark"
            visible: control.showZeroMark
            x: (control.zeroMark - control.from) / (control.to - control.from) * parent.width
               - control.handle.width * (control.zeroMark - control.from - (control.to - control.from) / 2)
                 / (control.to - control.from)
               - control.zeroMarkWidth / 2
            y: -7
            width: control.zeroMarkWidth
            height: parent.height + 15
            radius: 1
            color: "#666666"
        }
        Rectangle {
            objectName: "groove"
            anchors.fill: parent
            radius: 2
            color: "#555555"

            Rectangle {
                objectName: "grooveFill"
                width: control.visualPosition * parent.width
                height: parent.height
                radius: 2
                color: control.barFillColor
            }
        }
    }

    handle: Item {
        x: control.leftPadding + control.visualPosition * (control.availableWidth - width)
        y: control.topPadding + control.availableHeight / 2 - height / 2
        implicitWidth: 16
        implicitHeight: 12

        DropShadow {
            anchors.fill: knob
            source: knob
            horizontalOffset: 0
            verticalOffset: 0
            radius: 8
            samples: 20
            color: "#aa000000"
            transparentBorder: true
        }
        Rectangle {
            id: knob
            objectName: "knob"
            anchors.fill: parent
            radius: 2
            color: control.pressed || control.hovered ? Qt.lighter("#69696a", 1.3) : "#69696a"

            FocusHighlight {
                visible: control.activeFocus
            }
        }
    }

    MouseArea {
        objectName: "rightClickArea"
        anchors.fill: parent
        acceptedButtons: Qt.RightButton
        onClicked: mouse => {
            if (mouse.modifiers & Qt.AltModifier) {
                control.value = control.showZeroMark ? control.zeroMark : 0
            } else {
                entryPopup.open()
            }
        }
    }

    Popup {
        id: entryPopup
        objectName: "entryPopup"
        modal: true
        width: 200
        height: 50
        closePolicy: Popup.CloseOnEscape | Popup.CloseOnPressOutsideParent

        onOpened: {
            entryField.text = control.customDisplayFunction(control.value)
            entryField.forceActiveFocus()
        }

        background: Rectangle {
            color: Qt.darker(theme.default_bg_color, 1.4)
        }

        contentItem: Item {
            RowLayout {
                anchors.centerIn: parent
                spacing: 10

                Keys.onReturnPressed: control.applyEntry(entryField.text)

                RecessedTextInput {
                    id: entryField
                    objectName: "entryField"
                    Layout.preferredWidth: 120
                }
                FlatButton {
                    objectName: "entryOk"
                    text: qsTr("OK")
                    onClicked: control.applyEntry(entryField.text)
                }
            }
        }
    }
}
