#include "TarnwickMidiStreamCollection.h"

#include "TarnwickMidiStream.h"

TarnwickMidiStreamCollection::TarnwickMidiStreamCollection(const brix_midi::ShowData& show, ChannelVolumeGain* gain)
    : MidiStreamCollection(show), gain_(gain)
{
    StartLoadStreamsThread();
}

TarnwickMidiStreamCollection::~TarnwickMidiStreamCollection()
{
    StopLoadStreamsThread();
}

MidiStream* TarnwickMidiStreamCollection::CreateMidiStream(const brix_midi::SongData& song)
{
    return new TarnwickMidiStream(song, gain_);
}
