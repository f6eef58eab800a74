import QtQuick
import com.fernwhistlestudios.brix_ui
import QtQuick.Controls

// Themed combo box. Keys, with the box focused: Space opens the list, or closes it keeping the
// highlighted row without activated(); Enter/Return in the open list keep the highlighted row and emit
// activated(), with the list closed they emit enterPressed(); Up and Down only ever move the highlight of
// the open list. The list opens below the box and is moved up when it would leave the window.
// Reads the font and focus colour of the BrixTheme named `theme` in scope where it is placed.
Item {
    id: root

    property alias model: combo.model
    property alias currentIndex: combo.currentIndex
    property alias currentValue: combo.currentValue
    property alias count: combo.count
    property alias textRole: combo.textRole
    property alias valueRole: combo.valueRole
    property alias displayText: combo.displayText
    property alias delegate: combo.delegate
    property alias comboControl: combo
    property alias choices: popup
    property alias mainLabel: label
    property int minimumPopupWidth: -1
    property var font: theme.default_font
    property color default_bg_color: "#1b1b1b"
    property color default_popup_bg_color: Qt.lighter("#1b1b1b", 1.8)
    property bool isCompleted: false
    property int outerMargin: 20
    property int offsetSize: 2

    signal activated(int index)
    signal enterPressed()

    function valueAt(index) {
        return combo.valueAt(index)
    }
    function indexOfValue(value) {
        return combo.indexOfValue(value)
    }

    // Text of a list row for the given model data and model roles.
    function rowText(rowModelData, rowModel) {
        if (!textRole)
            return rowModelData
        if (rowModelData !== undefined && rowModelData !== null && typeof rowModelData === "object")
            return rowModelData[textRole]
        if (typeof rowModelData === "string")
            return rowModelData
        if (rowModel && rowModel[textRole] !== undefined)
            return rowModel[textRole]
        return qsTr("Undefined")
    }

    // Makes the highlighted row of the open list the current one and closes the list.
    function acceptHighlighted() {
        if (list.currentIndex >= 0 && list.currentIndex !== combo.currentIndex)
            combo.currentIndex = list.currentIndex
        popup.close()
    }

    implicitWidth: combo.implicitWidth
    implicitHeight: combo.implicitHeight

    Component.onCompleted: isCompleted = true

    QtObject {
        id: internal
        // True while the arrow keys steer the highlight of the open list; a mouse hovering a row ends it.
        property bool keyboardSteering: false
    }

    ComboBox {
        id: combo
        objectName: "comboControl"
        anchors.fill: parent
        implicitHeight: 30
        leftPadding: 0
        rightPadding: 8
        topPadding: 0
        bottomPadding: 0
        font: root.font

        onActivated: index => root.activated(index)

        Keys.onPressed: event => {
            switch (event.key) {
            case Qt.Key_Space:
                if (popup.visible)
                    root.acceptHighlighted()
                else
                    popup.open()
                break
            case Qt.Key_Enter:
            case Qt.Key_Return:
                if (popup.visible) {
                    root.acceptHighlighted()
                    root.activated(combo.currentIndex)
                } else {
                    root.enterPressed()
                }
                break
            case Qt.Key_Up:
                if (popup.visible) {
                    internal.keyboardSteering = true
                    list.currentIndex = Math.max(0, list.currentIndex - 1)
                }
                break
            case Qt.Key_Down:
                if (popup.visible) {
                    internal.keyboardSteering = true
                    list.currentIndex = Math.min(list.count - 1, list.currentIndex + 1)
                }
                break
            default:
                return
            }
            event.accepted = true
        }
        // The stock box acts on the release of these keys; they are all handled on the press above.
        Keys.onReleased: event => {
            switch (event.key) {
            case Qt.Key_Space:
            case Qt.Key_Enter:
            case Qt.Key_Return:
            case Qt.Key_Up:
            case Qt.Key_Down:
                event.accepted = true
                break
            }
        }

        background: Rectangle {
            objectName: "background"
            implicitWidth: 120
            implicitHeight: 40
            radius: 0
            color: !combo.enabled ? Qt.lighter("#525252", 0.5)
                 : combo.pressed ? Qt.lighter(root.default_bg_color, 0.8)
                 : combo.hovered ? Qt.lighter(root.default_bg_color, 1.3)
                 : root.default_bg_color

            BasicBevel {}

            Rectangle {
                objectName: "focusFrame"
                anchors.fill: parent
                color: "transparent"
                border.width: 2
                border.color: theme.default_selected_color_intense
                opacity: 0.7
                visible: combo.activeFocus
            }
        }

        contentItem: Item {
            Text {
                id: label
                x: 8
                width: combo.width - indicatorShape.width - 15
                height: parent.height
                text: combo.displayText
                font: combo.font
                verticalAlignment: Text.AlignVCenter
                elide: Text.ElideRight
                color: !combo.enabled ? "gray" : (combo.pressed ? "silver" : "white")
            }
        }

        indicator: Canvas {
            id: indicatorShape
            x: combo.width - width - combo.rightPadding
            y: (combo.height - height) / 2
            width: 12
            height: 8
            contextType: "2d"

            readonly property color shapeColor: !combo.enabled ? "gray" : (combo.pressed ? "silver" : "white")
            onShapeColorChanged: requestPaint()

            onPaint: {
                var ctx = getContext("2d")
                ctx.reset()
                ctx.moveTo(0, 0)
                ctx.lineTo(width, 0)
                ctx.lineTo(width / 2, height)
                ctx.closePath()
                ctx.fillStyle = shapeColor
                ctx.fill()
            }
        }

        delegate: ItemDelegate {
            id: row

            property string rowLabel: root.rowText(typeof modelData === "undefined" ? undefined : modelData,
                                                   typeof model === "undefined" ? undefined : model)

            width: list.width
            height: 40
            padding: 0
            highlighted: ListView.isCurrentItem

            onHoveredChanged: {
                if (hovered)
                    internal.keyboardSteering = false
            }

            background: Rectangle {
                color: row.highlighted || (row.hovered && !internal.keyboardSteering)
                       ? Qt.lighter(root.default_popup_bg_color, 1.3) : root.default_popup_bg_color
            }
            contentItem: Item {
                Text {
                    id: rowCaption
                    x: 5
                    width: row.width - 10
                    height: parent.height
                    text: row.rowLabel
                    font: root.font
                    color: "white"
                    elide: Text.ElideRight
                    verticalAlignment: Text.AlignVCenter
                }
            }

            BrixToolTip {
                text: row.rowLabel
                delay: 1000
                timeout: 5000
                visible: row.hovered && rowCaption.truncated
            }
        }

        popup: Popup {
            id: popup
            objectName: "choices"
            width: Math.max(combo.width, root.minimumPopupWidth)
            height: Math.min(list.contentHeight + topPadding + bottomPadding, combo.Window.height)
            padding: 1

            onAboutToShow: {
                list.currentIndex = combo.currentIndex
                internal.keyboardSteering = false
                // Open below the box; move up by what would pass the bottom of the window.
                var boxBottom = combo.mapToItem(null, 0, combo.height).y
                var overflow = boxBottom + height - combo.Window.height
                y = combo.height - Math.max(0, overflow)
            }

            background: Rectangle {
                color: root.default_bg_color
            }

            contentItem: ListView {
                id: list
                objectName: "choiceList"
                clip: true
                implicitHeight: contentHeight
                model: combo.delegateModel
                currentIndex: combo.currentIndex
                highlightMoveDuration: 0
                boundsBehavior: Flickable.StopAtBounds

                ScrollBar.vertical: CustomScrollBar {}

                Rectangle {
                    id: thumb
                    objectName: "dragThumb"

                    // Mouse and content positions at the start of a drag.
                    property real pressY: 0
                    property real pressTop: 0

                    parent: list
                    x: list.width - width
                    y: list.visibleArea.yPosition * list.height
                    z: 2
                    width: 10
                    height: list.visibleArea.heightRatio * list.height
                    color: "#69696a"
                    // When all rows fit there is nothing to scroll.
                    visible: list.contentHeight > list.height

                    MouseArea {
                        anchors.fill: parent
                        // The list would otherwise take over the vertical drag.
                        preventStealing: true
                        onPressed: mouse => {
                            thumb.pressY = mapToItem(list, mouse.x, mouse.y).y
                            thumb.pressTop = thumb.y
                        }
                        onPositionChanged: mouse => {
                            var travel = list.height - thumb.height
                            if (travel <= 0)
                                return
                            var top = thumb.pressTop + mapToItem(list, mouse.x, mouse.y).y - thumb.pressY
                            top = Math.max(0, Math.min(travel, top))
                            list.contentY = list.originY + top / travel * (list.contentHeight - list.height)
                        }
                    }
                }
            }
        }
    }
}
