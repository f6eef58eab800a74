#pragma once

#include <QString>
#include <QVariant>

namespace brix::qt {

// What the main window makes of the engine's event texts and values: pure functions, so the cuts and
// colours can be checked without a window.

// The engine event kinds as the main window numbers them when it registers with its observer.
namespace engine_event_kind {
inline constexpr int kPlaybackStarted = 0;
inline constexpr int kPlaybackStopped = 1;
inline constexpr int kPlaybackPaused = 2;
inline constexpr int kPlaybackFading = 3;
inline constexpr int kStatusFlowControl = 4;
inline constexpr int kKey = 5;
inline constexpr int kTempo = 6;
inline constexpr int kMeter = 7;
inline constexpr int kTransposition = 8;
inline constexpr int kTempoScale = 9;
inline constexpr int kBarBeat = 10;
inline constexpr int kMarker = 11;
inline constexpr int kPageNum = 12;
inline constexpr int kPlayhead = 13;
inline constexpr int kSongTitle = 14;
inline constexpr int kSongLoaded = 15;
inline constexpr int kLearnedMidiCommand = 16;
inline constexpr int kMidiCommandCanceled = 17;
inline constexpr int kMidiNotification = 18;
inline constexpr int kProgramChange = 19;
inline constexpr int kVampOn = 20;
inline constexpr int kVampOff = 21;
inline constexpr int kStatusVolume = 22;
}  // namespace engine_event_kind

// The flow-control cell of the banner: its label, its value (an empty text or the count) and its
// background colour.
struct FlowControlBanner {
    QString label;
    QVariant value;
    QString color;
};

// "ClearPickupBeat" clears the cell; the count shows unless it is 0 or the label is empty; the colour
// follows the first of "skip", "repeat", "vamp", "caesura" found in the text (in that order), else
// "#333".
FlowControlBanner MakeFlowControlBanner(const QString& text, int value);

// A bar-beat text ("00070003") cut into the measure (its first 4 characters, or all of a shorter text)
// and the beat (its last 2 characters).
struct BarBeatText {
    QString measure;
    QString beat;
};
BarBeatText SplitBarBeat(const QString& text);

// A learned MIDI command packed as (command id << 16) | (status byte << 8) | note: the status byte's
// high nibble is the MIDI status, its low nibble the channel.
struct LearnedMidiCommand {
    int commandId;
    int midiStatus;
    int channel;
    int note;

    friend bool operator==(const LearnedMidiCommand&, const LearnedMidiCommand&) = default;
};
LearnedMidiCommand UnpackLearnedMidiCommand(int value);

// The volume indicator's level for the engine's volume value (thousandths).
inline double VolumeLevelPercent(int value) { return value / 1000.0; }

}  // namespace brix::qt
