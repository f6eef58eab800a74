#pragma once

#include <brix_core/BrixEvent.h>

#include <QString>

#include <string>

namespace brix::qt {

// The text the event list shows in its Value column: a loop's count ("3x", "∞" for an endless vamp),
// a transposition's signed semitones ("+2", "-3"), a tempo scale in whole percent ("90%"), an OSC
// cue's display text, a caesura's version target; empty for the other kinds.
QString EventValueText(const cmn::BrixEvent& event);

// The short form of an OSC message for the lists: "▶ Thunder" for "/brix/sfx/Thunder/play",
// "Volume Change", "Fade To..."; any other message as it is (trimmed). A malformed sound-effect
// message is shown as it is and the fault written to the standard error stream.
QString OscDisplayText(const std::string& message);

// A tempo-scale factor in whole percent, rounded half away from zero (0.995 gives 100, -0.005 gives -1).
long TempoScalePercent(double factor);

}  // namespace brix::qt
