import QtQuick
import com.fernwhistlestudios.brix_ui

// The drawn play/stop symbol of the sound-effect rows: a green triangle while not playing, a red square
// while playing. It has no size of its own; its user sizes it and puts a mouse area inside it.
Item {
    id: root

    property bool playing: false
    // Whether handleClick() may change `playing`; rows whose state comes from a model turn this off.
    property bool buttonManagesState: true

    function handleClick(isPlaying) {
        if (buttonManagesState)
            playing = isPlaying
    }

    function clearCanvas(target) {
        // A canvas that has not been shown yet has no context and nothing to clear.
        if (!target.available)
            return
        target.getContext("2d").reset()
    }

    function drawPlayButton(target) {
        var ctx = target.getContext("2d")
        var w = target.width
        var h = target.height
        ctx.beginPath()
        ctx.moveTo(w / 4, h / 4)
        ctx.lineTo(w / 4, 3 * h / 4)
        ctx.lineTo(3 * w / 4, h / 2)
        ctx.closePath()
        ctx.fillStyle = "green"
        ctx.fill()
    }

    function drawStopButton(target) {
        var ctx = target.getContext("2d")
        ctx.fillStyle = "red"
        ctx.fillRect(target.width / 4, target.height / 4, target.width / 2, target.height / 2)
    }

    onPlayingChanged: {
        clearCanvas(canvas)
        canvas.requestPaint()
    }

    Canvas {
        id: canvas
        objectName: "canvas"
        anchors.fill: parent
        onPaint: {
            if (root.playing)
                root.drawStopButton(canvas)
            else
                root.drawPlayButton(canvas)
        }
    }
}
