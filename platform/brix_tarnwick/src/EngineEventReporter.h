#pragma once

#include <brix_core/EventObserver.h>
#include <brix_core/GuiDispatcher.h>
#include <brix_core/SongData.h>

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

class HowToPlay;
class UserControls;

namespace brix_tarnwick {

// EngineEventReporter: turns what the MIDI libraries tell the user interface (notify::guiDispatcher)
// into the engine events of a front end (notify::SendEngineEvent):
// - started, stopped, paused, MIDI input, learned and cancelled commands, program changes
//   ((track << 16) | program), flow-control states (the label and count, plus vamp on and off);
// - a loaded song: its number, then its title;
// - a playhead tick: the tick, then of what the listener hears at it, each only when it changed: the
//   bar and beat ("0012|03": the bar zero-filled to 4 characters, "|", the beat zero-filled to 2),
//   the page, the marker row (the index of the last marker at or before the tick in the song's
//   marker list), the key, tempo, meter, transposition and tempo-scale texts of a position model of
//   its own, which reads the player's user controls.
// Owner: the engine, for its lifetime; the show and the user controls must outlive it.
// Threads: the notices arrive on the engine's threads. Lock: one mutex guards the model and the
// values sent last; no event is sent while it is held.
class EngineEventReporter {
public:
    EngineEventReporter(const brix_midi::ShowData& show, UserControls& userControls);
    ~EngineEventReporter();
    EngineEventReporter(const EngineEventReporter&) = delete;
    EngineEventReporter& operator=(const EngineEventReporter&) = delete;

    // The active change log changed: the current song's log is taken anew (the texts at the next
    // playhead follow it).
    void ChangeLogChanged();

private:
    struct Sent {
        std::string barBeat;
        std::optional<int> page;
        std::optional<int> marker;
        std::string key;
        std::string tempo;
        std::string meter;
        std::optional<int> transposition;
        std::string tempoScale;
    };

    void OnGuiEvent(const notify::GuiEvent& event);
    void OnSongLoaded(const std::string& songNumber);
    void OnPlayhead(unsigned int tick);
    void OnFlowControl(const std::string& label, int count);
    // Under the lock: the model of the song with the active change log's log of it.
    void LoadModel_(const std::string& songNumber);

    const brix_midi::ShowData& show_;
    UserControls& userControls_;
    std::mutex mutex_;
    std::unique_ptr<HowToPlay> model_;
    std::vector<std::uint32_t> markerTicks_;
    std::string songNumber_;
    Sent sent_;
    bool inVamp_ = false;
};

// "0012|03"-like text of a bar label and a beat.
std::string BarBeatText(const std::string& bar, unsigned int beat);

}  // namespace brix_tarnwick
