#pragma once

#include "MidiStreamCollection.h"

class ChannelVolumeGain;

// TarnwickMidiStreamCollection: builds a TarnwickMidiStream per song, starting the loader on
// construction; every stream scales its channel volumes by the given gain (none: unscaled), which
// must outlive the collection. Mute groups do nothing. Threads and lock: as MidiStreamCollection.
class TarnwickMidiStreamCollection : public MidiStreamCollection {
public:
    explicit TarnwickMidiStreamCollection(const brix_midi::ShowData& show, ChannelVolumeGain* gain = nullptr);
    // Stops and joins the loader before anything of this object is destroyed.
    ~TarnwickMidiStreamCollection() override;

protected:
    MidiStream* CreateMidiStream(const brix_midi::SongData& song) override;

private:
    ChannelVolumeGain* const gain_;
};
