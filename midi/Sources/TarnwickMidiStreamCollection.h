#pragma once

#include "MidiStreamCollection.h"

// TarnwickMidiStreamCollection: builds a TarnwickMidiStream per song, starting the loader on
// construction. Mute groups do nothing. Threads and lock: as MidiStreamCollection.
class TarnwickMidiStreamCollection : public MidiStreamCollection {
public:
    explicit TarnwickMidiStreamCollection(const brix_midi::ShowData& show);
    // Stops and joins the loader before anything of this object is destroyed.
    ~TarnwickMidiStreamCollection() override;

protected:
    MidiStream* CreateMidiStream(const brix_midi::SongData& song) override;
};
