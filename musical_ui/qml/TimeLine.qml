import QtQuick
import QtQuick.Controls
import Qt5Compat.GraphicalEffects
import com.fernwhistlestudios.brix_ui

// The song timeline: a row of bars and beats over six rows (key, tempo, meter, markers, edits,
// effects) that its controller fills with items. Positions are unscaled pixels (25 ticks each), drawn
// at viewScale. A left click seeks (timelineClicked), a left drag selects a range, a right drag or the
// wheel scrolls, Ctrl with the wheel and the "-" and "+" buttons zoom.
Item {
    id: timeline

    property real viewScale: 1.0
    property real baseWidth: 200
    property int rowSize: 16
    property int rowSpacing: 10

    readonly property real scaleDelta: 0.05
    readonly property real scaleDeltaHighRes: 1.0
    readonly property real minScale: 0.15
    readonly property real maxScale: 4.0
    readonly property real scrollDelta: 1.0
    readonly property int paddingBeforeTimelineStart: 30

    // The rows the controller fills, and the playhead.
    readonly property Item barsRegion: barsRow
    readonly property Item keyMarkersBar: keyRow
    readonly property Item tempoMarkersBar: tempoRow
    readonly property Item meterMarkersBar: meterRow
    readonly property Item markersBar: markersRow
    readonly property Item editsBar: editsRow
    readonly property Item effectBar: effectRow
    readonly property Item playheadItem: playhead

    // The part of the song in view, in unscaled pixels.
    readonly property int viewStart: flick.contentX / viewScale
    readonly property int viewEnd: (flick.contentX - content.x + flick.width) / viewScale

    // The selected range in unscaled pixels; active while shown.
    property real selectionStart: 0
    property real selectionEnd: 0
    property bool selectionActive: false

    property bool animateZoom: false

    signal timelineScaleChanged(double scale, bool initializing)
    signal timelineClicked(int pos)

    onViewScaleChanged: timelineScaleChanged(viewScale, false)

    function setViewStart(val: int) {
        flick.contentX = val * viewScale
    }
    function zoomin(delta: double, animate: bool) {
        animateZoom = animate
        viewScale = viewScale + delta < maxScale ? viewScale + delta : maxScale
        animateZoom = false
    }
    function zoomout(delta: double, animate: bool) {
        animateZoom = animate
        viewScale = viewScale - delta > minScale ? viewScale - delta : minScale
        animateZoom = false
    }
    function calculateScaledPosition(p: double): double {
        return p / viewScale * 25
    }
    function scrollBy(pixels: double) {
        flick.contentX = Math.max(0, Math.min(flick.contentX + pixels, flick.contentWidth - flick.width))
    }

    Behavior on viewScale {
        enabled: timeline.animateZoom
        NumberAnimation { duration: 250; easing.type: Easing.InOutQuad }
    }

    readonly property var rowNames: ["Bars:Beats", "Key", "Tempo", "Meter", "Markers", "Events", "Effects"]
    readonly property int barsRowHeight: rowSize + rowSpacing

    function rowY(index: int): int {
        return index === 0 ? 0 : barsRowHeight + (index - 1) * (rowSize + rowSpacing)
    }

    Rectangle {
        anchors.fill: parent
        color: "#1e1e1e"
    }

    Flickable {
        id: flick
        objectName: "timelineFlickable"
        x: labelColumn.width
        width: parent.width - labelColumn.width
        height: parent.height
        interactive: false
        clip: true
        contentWidth: content.x + content.width
        contentHeight: height
        ScrollBar.horizontal: ScrollBar {
            objectName: "timelineScrollBar"
            height: 20
            policy: ScrollBar.AlwaysOn
        }

        Rectangle {
            objectName: "paddingBeforeTimelineStart"
            width: timeline.paddingBeforeTimelineStart
            height: content.height
            color: "#2b2b2b"
        }

        Item {
            id: content
            objectName: "timelineContent"
            x: timeline.paddingBeforeTimelineStart
            width: timeline.baseWidth * timeline.viewScale
            height: timeline.rowY(6) + timeline.rowSize + 4

            MouseArea {
                id: pointer
                objectName: "timelinePointer"
                anchors.fill: parent
                acceptedButtons: Qt.LeftButton | Qt.RightButton
                property real pressX: 0
                property real panContentX: 0
                property bool moved: false
                onPressed: (mouse) => {
                    moved = false
                    pressX = mouse.x
                    if (mouse.button === Qt.RightButton) {
                        panContentX = flick.contentX
                        return
                    }
                    const at = mouse.x / timeline.viewScale
                    if (timeline.selectionActive && at >= timeline.selectionStart && at <= timeline.selectionEnd)
                        timeline.selectionActive = false
                    timeline.selectionStart = at
                    timeline.selectionEnd = at
                }
                onPositionChanged: (mouse) => {
                    if (mouse.x !== pressX)
                        moved = true
                    if (pressedButtons & Qt.RightButton) {
                        const target = panContentX - (mouse.x - pressX)
                        flick.contentX = Math.max(0, Math.min(target, flick.contentWidth - flick.width))
                        return
                    }
                    const at = mouse.x / timeline.viewScale
                    const from = pressX / timeline.viewScale
                    timeline.selectionStart = Math.min(from, at)
                    timeline.selectionEnd = Math.max(from, at)
                    timeline.selectionActive = true
                }
                onReleased: (mouse) => {
                    if (mouse.button !== Qt.LeftButton || moved)
                        return
                    timeline.selectionActive = false
                    timeline.timelineClicked(mouse.x / timeline.viewScale)
                }
            }

            Item {
                id: barsRow
                objectName: "barsRegion"
                width: parent.width
                height: parent.height
                property real audioFadeRegionWidth: 0
                property real audioFadeRegionPos: 0
                property real audioOutRegionWidth: 0
                property real audioOutRegionPos: 0
                property real audioInRegionWidth: 0
                property real audioInRegionPos: 0
                readonly property Item audioFadeBoxControl: audioFadeBox
                readonly property int doubleBarIndicatorWidth: 4

                Rectangle {
                    id: audioFadeBox
                    objectName: "audioFadeBox"
                    x: (barsRow.audioFadeRegionPos * timeline.viewScale) + barsRow.doubleBarIndicatorWidth
                    width: Math.max(0, barsRow.audioFadeRegionWidth * timeline.viewScale - barsRow.doubleBarIndicatorWidth)
                    height: parent.height
                    visible: barsRow.audioFadeRegionWidth > 0
                    gradient: Gradient {
                        orientation: Gradient.Horizontal
                        GradientStop { position: 0.0; color: "#2b2b2b" }
                        GradientStop { position: 1.0; color: Qt.rgba(0x2b / 255, 0x2b / 255, 0x2b / 255, 0.15) }
                    }
                }
                Rectangle {
                    objectName: "audioOutBox"
                    x: barsRow.audioOutRegionPos * timeline.viewScale
                    width: barsRow.audioOutRegionWidth * timeline.viewScale
                    height: parent.height
                    color: "#2b2b2b"
                    z: audioFadeBox.z
                }
                Rectangle {
                    objectName: "audioInBox"
                    x: barsRow.audioInRegionPos * timeline.viewScale
                    width: barsRow.audioInRegionWidth * timeline.viewScale
                    height: parent.height
                    color: "#2b2b2b"
                    z: audioFadeBox.z
                }
            }

            Repeater {
                objectName: "rowBackgrounds"
                model: ["Key", "Tempo", "Meter", "Markers", "Edits", "Effects"]
                delegate: Rectangle {
                    required property int index
                    required property string modelData
                    objectName: "row" + modelData
                    y: timeline.rowY(index + 1)
                    width: content.width
                    height: timeline.rowSize
                    color: Qt.rgba(1, 1, 1, 0.03)
                }
            }

            Item { id: keyRow; objectName: "keyMarkersBar"; y: timeline.rowY(1); width: parent.width; height: timeline.rowSize }
            Item { id: tempoRow; objectName: "tempoMarkersBar"; y: timeline.rowY(2); width: parent.width; height: timeline.rowSize }
            Item { id: meterRow; objectName: "meterMarkersBar"; y: timeline.rowY(3); width: parent.width; height: timeline.rowSize }
            Item { id: markersRow; objectName: "markersBar"; y: timeline.rowY(4); width: parent.width; height: timeline.rowSize }
            Item { id: editsRow; objectName: "editsBar"; y: timeline.rowY(5); width: parent.width; height: timeline.rowSize }
            Item { id: effectRow; objectName: "effectBar"; y: timeline.rowY(6) - 2; width: parent.width; height: 20 }

            Rectangle {
                objectName: "selection"
                visible: timeline.selectionActive
                x: timeline.selectionStart * timeline.viewScale
                width: (timeline.selectionEnd - timeline.selectionStart) * timeline.viewScale
                height: parent.height
                color: "silver"
                opacity: 0.10
                z: 150000
            }

            Playhead {
                id: playhead
                objectName: "playhead"
                height: parent.height
                z: 160000
            }
        }
    }

    WheelHandler {
        target: null
        onWheel: (event) => {
            if (event.modifiers & Qt.ControlModifier) {
                if (event.pixelDelta.y !== 0) {
                    if (event.pixelDelta.y > 0)
                        timeline.zoomin(1.0 / 12, false)
                    else
                        timeline.zoomout(1.0 / 12, false)
                } else if (event.angleDelta.y !== 0) {
                    // One notch of the wheel (120) zooms by scaleDelta.
                    const delta = Math.abs(event.angleDelta.y) / 120 * timeline.scaleDelta
                    if (event.angleDelta.y > 0)
                        timeline.zoomin(delta, false)
                    else
                        timeline.zoomout(delta, false)
                }
                return
            }
            const dx = event.angleDelta.x
            const dy = event.angleDelta.y
            const larger = Math.abs(dx) > Math.abs(dy) ? dx : dy
            timeline.scrollBy(larger < 0 ? -25 : 25)
        }
    }

    Rectangle {
        id: labelColumn
        objectName: "labelColumn"
        width: 90
        height: parent.height
        color: "#232323"

        Repeater {
            model: timeline.rowNames
            delegate: Text {
                required property int index
                required property string modelData
                x: 8
                y: index === 0 ? 9 : timeline.rowY(index) + 1
                width: labelColumn.width - 16
                text: modelData
                font.pixelSize: 11
                color: "#959595"
                horizontalAlignment: Text.AlignRight
            }
        }

        Row {
            anchors.left: parent.left
            anchors.leftMargin: 8
            anchors.bottom: parent.bottom
            anchors.bottomMargin: 2
            spacing: 6
            FlatButton {
                objectName: "zoomOutButton"
                width: 34
                height: 18
                text: "-"
                toolTip.text: "Zoom out timeline"
                onClicked: timeline.zoomout(0.6, true)
            }
            FlatButton {
                objectName: "zoomInButton"
                width: 34
                height: 18
                text: "+"
                toolTip.text: "Zoom in timeline"
                onClicked: timeline.zoomin(0.6, true)
            }
        }
    }
    DropShadow {
        anchors.fill: labelColumn
        source: labelColumn
        radius: 18
        samples: 34
        color: "#A0000000"
        horizontalOffset: 4
        verticalOffset: 0
    }

    Rectangle {
        id: rightShadow
        objectName: "rightShadowStrip"
        anchors.right: parent.right
        width: 50
        height: parent.height - 20
        gradient: Gradient {
            orientation: Gradient.Horizontal
            GradientStop { position: 0.0; color: "transparent" }
            GradientStop { position: 1.0; color: "#A0000000" }
        }
    }
}
