#include "MidiAppGuiUpdate.h"

#include "MidiOutput.h"
#include "MidiPlayer.h"

namespace gui {

MidiAppGuiUpdate::MidiAppGuiUpdate(MidiPlayer& player)
    : GuiUpdate(player, [this](unsigned int* out) { return GetNextTickIndex(out); }), player(player)
{
}

MidiAppGuiUpdate::~MidiAppGuiUpdate() = default;

bool MidiAppGuiUpdate::GetNextTickIndex(unsigned int* out)
{
    if (GetNextGuiUpdateTickIndex(out)) {
        return true;
    }
    if (!UseCurrentPosition()) {
        if (!player.IsPlaying()) {
            *out = GetTickIndex();
            return false;
        }
        if (!player.IsWaitingForConductor()) {
            *out = player.GetMidiOutput().GetTickIndex();
            return true;
        }
    }
    *out = GetTickIndex();
    return true;
}

bool MidiAppGuiUpdate::GetNextGuiUpdateTickIndex(unsigned int* out)
{
    return PopQueuedTickIndex(out);
}

}  // namespace gui
