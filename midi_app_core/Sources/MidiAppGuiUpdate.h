#pragma once

#include <brix_player_core/GuiUpdate.h>

class MidiPlayer;

namespace gui {

// MidiAppGuiUpdate: the GUI updater of the MIDI player. The positions it shows come, in this order,
// from the ticks the output reported (queued), from the output's current tick while playing, or from
// the stored tick while stopped, while a seek asks to keep showing it, and while the player waits for
// the conductor.
// Owner: the process (installed by the MIDI player, which outlives it). Threads: any; the output's
// delayed-GUI thread reports ticks.
class MidiAppGuiUpdate : public GuiUpdate {
public:
    explicit MidiAppGuiUpdate(MidiPlayer& player);
    ~MidiAppGuiUpdate() override;

    // The base's position source: the tick to show in *out; true when it is a position reached now.
    bool GetNextTickIndex(unsigned int* out);

private:
    bool GetNextGuiUpdateTickIndex(unsigned int* out);

    MidiPlayer& player;
};

}  // namespace gui
