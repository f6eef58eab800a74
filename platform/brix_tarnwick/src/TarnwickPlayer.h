#pragma once

#include "HowToPlayWithMidiClock.h"
#include "MidiShowControl.h"
#include "StandardMidiPlayer.h"
#include "TarnwickMidiStreamCollection.h"

#include <brix_core/SongData.h>

#include <functional>

namespace brix_tarnwick {

// The show control of the product: the show's streams (scaling channel volume by the show control's
// gain) and one position model. A new change log keeps
// the position (the engine re-seeks the player there).
class TarnwickShowControl : public MidiShowControl {
public:
    TarnwickShowControl(ActiveSongNumber& songNumber, brix_midi::ShowData& show, UserControls& userControls,
                        MidiClock& clock, std::function<bool()> nextAttaccaSong, std::function<bool()> stopAtCaesura,
                        std::function<void()> rearmForConductor)
        : MidiShowControl(songNumber, show, userControls, clock, std::move(nextAttaccaSong), std::move(stopAtCaesura),
                          std::move(rearmForConductor)),
          streams(show, &GetChannelVolumeGain()),
          model(userControls, clock)
    {
    }

    void NotifyNewChangeLog() override { ShowControl::NotifyNewChangeLog(); }
    MidiStreamCollection& GetMidiStreamCollection() override { return streams; }
    HowToPlayWithMidiClock& GetHowToPlayWithMidiClock() override { return model; }

private:
    TarnwickMidiStreamCollection streams;
    HowToPlayWithMidiClock model;
};

// The product's player: a standard MIDI player with the show control above, whose channel volumes
// follow the player's volumes and fade. Its output threads end before the show control goes.
class TarnwickPlayer : public StandardMidiPlayer {
public:
    TarnwickPlayer(brix_midi::ShowData& show, unsigned char portCount)
        : StandardMidiPlayer(portCount, "Tarnwick player"),
          showControl(
              GetActiveSongNumber(), show, GetUserControls(), GetMidiClock(), [this] { return LoadNextSongAttacca(); },
              [this] { return SeekToCaesuraStop(); }, [this] { ProcessJumpToCaesura(); })
    {
        // What is sent follows the volumes and the fade.
        showControl.SetVolumeSource([this](double secondsAhead) { return GetOutputGain(secondsAhead); });
    }
    ~TarnwickPlayer() override
    {
        CancelFade();
        PrepareForExit();
        Shutdown();
    }

    ShowControl& GetShowControl() override { return showControl; }
    MidiShowControl& GetMidiShowControl() override { return showControl; }

private:
    TarnwickShowControl showControl;
};

}  // namespace brix_tarnwick
