#pragma once

#include "BarsBeatsEventSequence.h"

#include <cstdint>
#include <memory>
#include <string>

namespace brix {
class ShowManager;
}

namespace brix::qt {

// EditModel: what the timeline and the edit tools share about the song being edited: its number, its
// bar and beat map, its length and the end of its audio. The main window creates one for the show and
// hands it to the timeline controller as a shared pointer. The engine is reached through the show
// manager.
// Thread: GUI thread only.
class EditModel {
public:
    explicit EditModel(std::shared_ptr<brix::ShowManager> showManager);

    const std::shared_ptr<brix::ShowManager>& GetShowManager() const { return showManager_; }

    const std::string& GetSongNumber() const { return songNumber_; }
    void SetSongNumber(std::string songNumber) { songNumber_ = std::move(songNumber); }

    // Rebuilds the bar and beat map from the engine's bars and beats of the current song. Throws what
    // building the map throws, keeping the map it had.
    void LoadBarsBeats();
    // Never null: an empty map until the first load.
    const std::shared_ptr<BarsBeatsEventSequence>& GetBarsBeats() const { return barsBeats_; }

    std::uint32_t GetSongLength() const;
    std::uint32_t GetSongAudioEndTick() const;

private:
    std::shared_ptr<brix::ShowManager> showManager_;
    std::string songNumber_;
    std::shared_ptr<BarsBeatsEventSequence> barsBeats_;
};

}  // namespace brix::qt
