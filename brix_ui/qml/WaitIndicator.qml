import QtQuick

// Count-down pie: a sector that grows clockwise from twelve o'clock while `totalTime` seconds run out.
Rectangle {
    id: root

    property real progress: 0
    property real angle: 0
    property real totalTime: 10.0
    property real startTime: 0
    property alias timer: timer
    property color pieColor: "#219ebc"

    // Starts (or restarts) a count of `timeInSec` seconds; a time that is not positive is ignored.
    function start(timeInSec) {
        if (!(timeInSec > 0))
            return
        totalTime = timeInSec
        progress = 0
        angle = 0
        timer.stop()
        timer.start()
        visible = true
        pie.requestPaint()
    }

    function stop() {
        timer.stop()
        visible = false
    }

    width: 32
    height: 32
    color: "transparent"
    visible: false

    Timer {
        id: timer
        interval: 50
        repeat: true
        onRunningChanged: {
            if (running)
                root.startTime = Date.now()
        }
        onTriggered: {
            var elapsed = (Date.now() - root.startTime) / 1000 / root.totalTime
            if (elapsed >= 1) {
                elapsed = 1
                root.stop()
            }
            root.progress = elapsed
            root.angle = elapsed * 360
            pie.requestPaint()
        }
    }

    Canvas {
        id: pie
        anchors.fill: parent
        onPaint: {
            var ctx = getContext("2d")
            ctx.reset()
            var cx = width / 2
            var cy = height / 2
            var start = -Math.PI / 2
            ctx.fillStyle = root.pieColor
            ctx.beginPath()
            ctx.moveTo(cx, cy)
            ctx.arc(cx, cy, width / 2, start, start + root.angle * Math.PI / 180, false)
            ctx.closePath()
            ctx.fill()
        }
    }
}
