.pragma library

// Units of the sound-effect editors: the volume slider's decibel scale and the fade times they send.

// The volume slider's position p shows dB = 25 · ln p: the lower end is -80 dB, the zero mark -6 dB and
// the upper end 0 dB.
var volumeFrom = 0.04076220398
var volumeTo = 1.0
var volumeZeroMark = 0.7866278611

function decibelsOf(position) {
    return 25 * Math.log(position)
}

function positionOf(decibels) {
    return Math.exp(decibels / 25)
}

// The linear gain sent for a slider position: 10^(dB / 20).
function gainOf(position) {
    return Math.pow(10, decibelsOf(position) / 20)
}

// Fade texts are read as parseFloat reads them: a leading decimal number ("1.5s" is 1.5 s). Text without
// a number means no fade. Fades are sent in whole milliseconds between 0 and maxFadeSeconds, so a
// negative time is no fade and a huge one cannot wrap when the host stores it as an int.
var maxFadeSeconds = 3600

// True for a text whose number is infinite ("Infinity", "1e999"): it cannot be sent as a fade.
function isFadeRefused(text) {
    var seconds = parseFloat(text)
    return !isNaN(seconds) && !isFinite(seconds)
}

// The fade of a text in whole milliseconds, cut (not rounded) below a millisecond: 0.0015 s is 1 ms.
// The cut is made on the typed decimal value, so 4.35 s is 4350 ms and not 4349.
function fadeMilliseconds(text) {
    var seconds = parseFloat(text)
    if (isNaN(seconds))
        return 0
    var bounded = Math.min(Math.max(seconds, 0), maxFadeSeconds)
    return Math.trunc(Math.round(bounded * 1e6) / 1e3)
}
