#pragma once

#include <QByteArray>
#include <QString>

namespace brix::osc {

// Encodes a line of text as one OSC message datagram, for the outgoing cues: the address is the text
// up to the first space, the rest holds the arguments, separated by spaces; double quotes hold a
// string argument with spaces (an unclosed quote runs to the end). An argument that reads as a
// base-10 32-bit integer is an Int32, else one that reads as a finite floating-point number
// ("2.5", "-1e3") is a Float32, else a String ("nan", "0x10" and "abc" are strings).
// The type-tag string is always written: a line without arguments gives the address and ",".
// An empty line gives an empty array.
QByteArray BuildOscDatagram(const QString& text);

}  // namespace brix::osc
