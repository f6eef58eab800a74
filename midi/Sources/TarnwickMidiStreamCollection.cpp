#include "TarnwickMidiStreamCollection.h"

#include "TarnwickMidiStream.h"

TarnwickMidiStreamCollection::TarnwickMidiStreamCollection(const brix_midi::ShowData& show)
    : MidiStreamCollection(show)
{
    StartLoadStreamsThread();
}

TarnwickMidiStreamCollection::~TarnwickMidiStreamCollection()
{
    StopLoadStreamsThread();
}

MidiStream* TarnwickMidiStreamCollection::CreateMidiStream(const brix_midi::SongData& song)
{
    return new TarnwickMidiStream(song);
}
