import QtQuick
import com.fernwhistlestudios.brix_ui

// The slider on a decibel scale: 25 × ln(value) dB, from −80 dB to 0 dB with the mark at −6 dB.
BrixCustomSlider {
    id: control

    sliderStep: 0.01
    from: 0.04076220398
    to: 1.0
    showZeroMark: true
    zeroMark: 0.7866278611
    customDisplayFunction: function (value) { return (25 * Math.log(value)).toFixed(3) }
    customInvertFunction: function (text) { return Math.exp(parseFloat(text) / 25) }

    BrixToolTip {
        objectName: "valueToolTip"
        delay: 500
        visible: control.hovered || control.activeFocus
        text: qsTr("Value: ") + (25 * Math.log(control.value)).toFixed(1) + " dB"
    }
}
