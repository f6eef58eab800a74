#pragma once

#include "MidiStreamCollection.h"
#include "MidiVolumeScaler.h"

#include <brix_core/SongData.h>

#include <map>
#include <set>
#include <string>

// GantrymereMidiStreamCollection: builds a GantrymereMidiStream per song, with a show-wide set of
// muted tracks (applied to every stream it hands out), mute groups from the show's groups, and the
// per-track volume trims shared by all its streams.
//
// Threads: as MidiStreamCollection. The muted set is used only by the engine's threads (the loader
// never touches it); the volume scaler locks itself.
class GantrymereMidiStreamCollection : public MidiStreamCollection {
public:
    explicit GantrymereMidiStreamCollection(const gm::GantrymereShowData& show);
    // Stops and joins the loader before the muted set and the scaler are destroyed.
    ~GantrymereMidiStreamCollection() override;

    // As the base, then the stream gets the show-wide mutes.
    MidiStream& GetStream(const std::string& song) override;
    void MuteGroup(unsigned char group) override;
    void UnmuteGroup(unsigned char group) override;
    // Each changes the show-wide set first, then the current stream (which may throw as the base).
    void MuteTrack(unsigned short trackId) override;
    void UnmuteTrack(unsigned short trackId) override;
    void UnmuteAll() override;

    std::set<unsigned short> GetMutedTracks() const { return mutedTracks; }
    void SetTrackTrim(unsigned short trackId, unsigned char trim);
    void SetAllTracksTrim(const std::map<unsigned short, unsigned char>& trims);

protected:
    MidiStream* CreateMidiStream(const brix_midi::SongData& song) override;
    // Where the show's mute settings file "muteSettings" belongs: the show directory. Nothing reads or
    // writes the file yet.
    static std::string GetMuteSettingsFileName();

private:
    std::set<unsigned short> mutedTracks;
    MidiVolumeScaler volumeScaler;
};
