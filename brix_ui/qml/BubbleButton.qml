import QtQuick
import com.fernwhistlestudios.brix_ui
import QtQuick.Controls
import QtQuick.Layouts
import Qt5Compat.GraphicalEffects

// The large glossy icon button of the transport bar. Holding it for `shortPressAndHoldDelay` ms emits
// shortPressAndHold(); the release that follows still emits clicked().
Button {
    id: control

    property var imageSource
    property var toggledOnImageSource
    property bool toggled: false
    property bool colorToggledOn: false
    property bool radiant: false
    property bool showText: false
    property color textColor: "silver"
    property bool showDownChevron: false
    property int pressOffsetX: 2
    property int pressOffsetY: 4
    property int shortPressAndHoldDelay: 500
    property alias toolTip: tip
    property double lightScale: 1.2
    property color radiantColor: "green"

    signal shortPressAndHold()

    BrixTheme { id: theme }

    font: theme.default_font
    focusPolicy: Qt.TabFocus
    implicitHeight: 52
    implicitWidth: implicitHeight

    Keys.onReturnPressed: control.clicked()
    onPressed: holdTimer.restart()
    onReleased: holdTimer.stop()
    onCanceled: holdTimer.stop()

    Timer {
        id: holdTimer
        interval: control.shortPressAndHoldDelay
        onTriggered: control.shortPressAndHold()
    }

    contentItem: ColumnLayout {
        spacing: 0

        Item { Layout.fillHeight: true }

        Item {
            Layout.alignment: Qt.AlignHCenter
            Layout.preferredWidth: 22
            Layout.preferredHeight: 22

            Image {
                id: icon
                objectName: "icon"
                x: control.pressed ? control.pressOffsetX : 0
                y: control.pressed ? control.pressOffsetY : 0
                width: parent.width
                height: parent.height
                fillMode: Image.PreserveAspectFit
                opacity: control.enabled && !control.pressed ? 1.0 : 0.5
                source: control.toggled && control.toggledOnImageSource
                        ? control.toggledOnImageSource : (control.imageSource ?? "")
            }
            Colorize {
                objectName: "toggledTint"
                anchors.fill: icon
                source: icon
                hue: 0.547
                saturation: 0.82
                lightness: -0.3
                visible: control.toggled && control.colorToggledOn && control.enabled
            }
        }

        Text {
            Layout.fillWidth: true
            visible: control.showText
            text: control.text
            font: theme.default_font
            horizontalAlignment: Text.AlignHCenter
            elide: Text.ElideRight
            color: control.pressed ? Qt.lighter(control.textColor, 0.75) : control.textColor
            opacity: control.enabled ? 1.0 : 0.3
        }

        Item { Layout.fillHeight: true }
    }

    background: Item {
        Rectangle {
            id: face
            objectName: "face"
            anchors.fill: parent
            gradient: Gradient {
                GradientStop {
                    position: 0.0
                    color: !control.enabled ? "#181818"
                         : control.pressed ? Qt.lighter(Qt.lighter("#181818", 0.4), 1.5)
                         : control.hovered ? Qt.lighter(Qt.lighter("#181818", 0.6), 1.5)
                         : "black"
                }
                GradientStop {
                    position: 1.0
                    color: control.pressed ? Qt.lighter(Qt.lighter("#282828", 0.8), 1.5)
                                           : Qt.lighter("#222222", 1.5)
                }
            }
        }
        Colorize {
            id: glow
            objectName: "radiantGlow"
            anchors.fill: face
            source: face
            hue: 0.547
            saturation: 0.87
            lightness: 0.10
            visible: control.radiant && control.enabled

            SequentialAnimation on hue {
                running: glow.visible
                loops: Animation.Infinite
                NumberAnimation { to: 0.547; duration: 800 }
                NumberAnimation { to: 0.58; duration: 800 }
            }
        }
        FocusHighlight {
            visible: control.activeFocus
        }
    }

    Image {
        objectName: "downChevron"
        anchors.right: parent.right
        anchors.bottom: parent.bottom
        anchors.rightMargin: control.pressed ? control.pressOffsetX : control.pressOffsetX + 3
        anchors.bottomMargin: control.pressed ? control.pressOffsetY : control.pressOffsetY + 3
        visible: control.showDownChevron
        source: control.showDownChevron ? "qrc:/images/arrow_drop_down.svg" : ""
        opacity: control.enabled && !control.pressed ? 1.0 : 0.5
    }

    BrixToolTip {
        id: tip
        delay: 500
        visible: control.hovered && text !== ""
    }
}
