#pragma once

#include <brix_core/CallbackDispatcher.h>

#include <cstdint>
#include <functional>
#include <string>

namespace notify {

// The kinds of user-interface event the engine sends, and the values each carries.
enum class GuiEventKind {
    PlaybackStarted,        // no value
    PlaybackPaused,         // no value
    PlaybackStopped,        // no value
    Caesura,                // value: caesura tick index
    SongLoaded,             // text: song number
    GuiDelay,               // value: delay in milliseconds
    MidiCommandCanceled,    // value: command id
    LearnedMidiCommand,     // value: (command id << 16) | (status << 8) | data byte
    SourceConnected,        // value: MIDI input index
    MidiNotification,       // no value: MIDI input arrived
    MtcFrameRate,           // text: frame rate
    MtcOutputPort,          // value: output port index
    MtcActiveState,         // value: 1 active, 0 not
    StatusFlowControl,      // text: status ("PickupBeat", "ClearPickupBeat"), value: count
    ProgramChange,          // value: track id, second: program
    StatusTargetTempo,      // value: beats per minute
    StatusActualTempo,      // value: beats per minute
    StatusTempoDifference,  // value: per cent
    Playhead,               // value: tick index the playhead shows
    PlaybackError,          // text: why playback stopped on its own (a song that could not be played on)
    MidiClockDebugMessage,  // text: the MIDI clock's timing statistics, lines ended by '\n'
};

struct GuiEvent {
    GuiEventKind kind;
    std::int64_t value = 0;
    std::int64_t second = 0;
    std::string text;

    friend bool operator==(const GuiEvent&, const GuiEvent&) = default;
};

// Fire-and-forget notices to the user interface: each Send builds one GuiEvent and hands it to every
// listener on the sending thread; the sender gets nothing back. A listener that drives a user interface
// must hand the event over to its own thread (a queued signal) and never block the sender.
// Thread-safe and re-entrant with the guarantees of CallbackDispatcher (it is built on one); listeners
// remove themselves with RemoveListenersForTarget before they are destroyed.
class GuiDispatcher {
public:
    using Listener = std::function<void(const GuiEvent&)>;

    void AddListener(const void* target, Listener listener);
    void RemoveListenersForTarget(const void* target);

    void SendPlaybackStarted();
    void SendPlaybackPaused();
    void SendPlaybackStopped();
    void SendCaesura(unsigned int tickIndex);
    void SendSongLoaded(const std::string& songNumber);
    void SendGuiDelayMessage(int milliseconds);
    void SendMidiCommandCanceled(unsigned char commandId);
    void SendLearnedMIDICommand(int command);
    void SendSourceConnected(unsigned int sourceIndex);
    void SendMidiNotification();
    void SendMtcFrameRateNotification(const std::string& frameRate);
    void SendMtcOutputPortNotification(unsigned int portIndex);
    void SendMtcActiveStateNotification(bool isActive);
    void SendStatusFlowControl(const std::string& status, int count);
    void SendProgramChange(unsigned short trackId, unsigned char program);
    void SendStatusTargetTempo(int bpm);
    void SendStatusActualTempo(int bpm);
    void SendStatusTempoDifference(int percent);
    void SendPlayhead(unsigned int tickIndex);
    void SendPlaybackError(const std::string& message);
    void SendMidiClockDebugMessage(const std::string& message);

private:
    void Send(GuiEventKind kind, std::int64_t value = 0, std::int64_t second = 0, std::string text = {});

    CallbackDispatcher listeners_;
};

// The process's user-interface notice hub.
extern GuiDispatcher guiDispatcher;

}  // namespace notify
