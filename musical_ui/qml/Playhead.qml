import QtQuick

// The play position: a 1-pixel line at basePos unscaled pixels.
Rectangle {
    property real basePos: 0
    property real viewScale: 1.0

    x: basePos * viewScale
    width: 1
    color: "#26A5DE"
}
