#pragma once

#include <array>
#include <cstddef>
#include <functional>
#include <mutex>
#include <optional>
#include <string>

namespace notify {

// What the player engine reports to its front end. The engine sends each with SendEngineEvent; the
// value and text each kind carries are the engine's (a bar-beat text, a tempo text, a tick ...).
enum class EngineEvent {
    PlaybackStarted,
    PlaybackStopped,
    PlaybackPaused,
    PlaybackFading,
    StatusFlowControl,
    Key,
    Tempo,
    Meter,
    Transposition,
    TempoScale,
    BarBeat,
    Marker,
    PageNum,
    Playhead,
    SongTitle,
    SongLoaded,
    LearnedMIDICommand,
    MIDICommandCanceled,
    MidiNotification,
    ProgramChange,
    VampOn,
    VampOff,
    StatusVolume,
};
inline constexpr std::size_t kEngineEventCount = 23;

// Hands an engine event to every EventObserver registered for it, on the calling thread, before it
// returns. Thread-safe; may be called from inside an observer's callback.
void SendEngineEvent(EngineEvent event, int value = 0, const std::string& text = {});

// Receives engine events for a front end: SetCallbackFunc gives the function and its context, and each
// Register call names an engine event together with the front end's own number for it (its "kind").
// For every registered event that is sent, the callback gets (kind, value, text, context); events
// not registered are dropped. Registering an event again replaces its kind number.
//
// Owner: the front end's controller (one observer, for its lifetime).
// Threads: the callback runs on the thread that sends the event (any engine thread) and must not
// block on the GUI; it may call the observer's own operations. Register and SetCallbackFunc may be
// called from any thread at any time.
// Lock: one mutex guards the callback, the context and the kind numbers; it is not held while the
// callback runs.
// Stop guarantee: when the destructor returns, the callback is not running on any other thread and
// will not be called again; the destructor waits for calls in flight. A callback may destroy its own
// observer (that call is not waited for), but must not wait for a thread that is destroying it.
class EventObserver {
public:
    using CallbackFunc = std::function<void(int kind, int value, const char* text, void* context)>;

    EventObserver();
    ~EventObserver();
    EventObserver(const EventObserver&) = delete;
    EventObserver& operator=(const EventObserver&) = delete;

    void SetCallbackFunc(CallbackFunc callback, void* context);

    void RegisterPlaybackStarted(int kind) { Register(EngineEvent::PlaybackStarted, kind); }
    void RegisterPlaybackStopped(int kind) { Register(EngineEvent::PlaybackStopped, kind); }
    void RegisterPlaybackPaused(int kind) { Register(EngineEvent::PlaybackPaused, kind); }
    void RegisterPlaybackFading(int kind) { Register(EngineEvent::PlaybackFading, kind); }
    void RegisterStatusFlowControl(int kind) { Register(EngineEvent::StatusFlowControl, kind); }
    void RegisterKey(int kind) { Register(EngineEvent::Key, kind); }
    void RegisterTempo(int kind) { Register(EngineEvent::Tempo, kind); }
    void RegisterMeter(int kind) { Register(EngineEvent::Meter, kind); }
    void RegisterTransposition(int kind) { Register(EngineEvent::Transposition, kind); }
    void RegisterTempoScale(int kind) { Register(EngineEvent::TempoScale, kind); }
    void RegisterBarBeat(int kind) { Register(EngineEvent::BarBeat, kind); }
    void RegisterMarker(int kind) { Register(EngineEvent::Marker, kind); }
    void RegisterPageNum(int kind) { Register(EngineEvent::PageNum, kind); }
    void RegisterPlayhead(int kind) { Register(EngineEvent::Playhead, kind); }
    void RegisterSongTitle(int kind) { Register(EngineEvent::SongTitle, kind); }
    void RegisterSongLoaded(int kind) { Register(EngineEvent::SongLoaded, kind); }
    void RegisterLearnedMIDICommand(int kind) { Register(EngineEvent::LearnedMIDICommand, kind); }
    void RegisterMIDICommandCanceled(int kind) { Register(EngineEvent::MIDICommandCanceled, kind); }
    void RegisterMidiNotification(int kind) { Register(EngineEvent::MidiNotification, kind); }
    void RegisterProgramChange(int kind) { Register(EngineEvent::ProgramChange, kind); }
    void RegisterVampOn(int kind) { Register(EngineEvent::VampOn, kind); }
    void RegisterVampOff(int kind) { Register(EngineEvent::VampOff, kind); }
    void RegisterStatusVolume(int kind) { Register(EngineEvent::StatusVolume, kind); }

private:
    void Register(EngineEvent event, int kind);
    void Receive(EngineEvent event, int value, const std::string& text) const;

    mutable std::mutex mutex_;
    CallbackFunc callback_;
    void* context_ = nullptr;
    std::array<std::optional<int>, kEngineEventCount> kinds_{};
};

}  // namespace notify
