#include "GantrymereMidiStreamCollection.h"

#include "GantrymereMidiStream.h"

#include <brix_core/Directories.h>
#include <fennic/Path.h>

GantrymereMidiStreamCollection::GantrymereMidiStreamCollection(const gm::GantrymereShowData& show)
    : MidiStreamCollection(show)
{
    StartLoadStreamsThread();
}

GantrymereMidiStreamCollection::~GantrymereMidiStreamCollection()
{
    StopLoadStreamsThread();
}

MidiStream* GantrymereMidiStreamCollection::CreateMidiStream(const brix_midi::SongData& song)
{
    return new GantrymereMidiStream(song, volumeScaler);
}

MidiStream& GantrymereMidiStreamCollection::GetStream(const std::string& song)
{
    MidiStream& stream = MidiStreamCollection::GetStream(song);
    stream.SetMutedTracks(mutedTracks);
    return stream;
}

void GantrymereMidiStreamCollection::MuteGroup(unsigned char group)
{
    for (unsigned short id : GetShow().GetGroups().GetGroup(group)) {
        MuteTrack(id);
    }
}

void GantrymereMidiStreamCollection::UnmuteGroup(unsigned char group)
{
    for (unsigned short id : GetShow().GetGroups().GetGroup(group)) {
        UnmuteTrack(id);
    }
}

void GantrymereMidiStreamCollection::MuteTrack(unsigned short trackId)
{
    mutedTracks.insert(trackId);
    MidiStreamCollection::MuteTrack(trackId);
}

void GantrymereMidiStreamCollection::UnmuteTrack(unsigned short trackId)
{
    mutedTracks.erase(trackId);
    MidiStreamCollection::UnmuteTrack(trackId);
}

void GantrymereMidiStreamCollection::UnmuteAll()
{
    mutedTracks.clear();
    MidiStreamCollection::UnmuteAll();
}

void GantrymereMidiStreamCollection::SetTrackTrim(unsigned short trackId, unsigned char trim)
{
    volumeScaler.SetTrackTrim(trackId, trim);
}

void GantrymereMidiStreamCollection::SetAllTracksTrim(const std::map<unsigned short, unsigned char>& trims)
{
    volumeScaler.SetAllTracksTrim(trims);
}

std::string GantrymereMidiStreamCollection::GetMuteSettingsFileName()
{
    return fennic::path::Join(directories.GetShowDirectory(), "muteSettings");
}
