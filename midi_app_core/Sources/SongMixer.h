#pragma once

#include "TarnwickTrackSettings.h"

#include <brix_core/SongData.h>

#include <istream>
#include <map>
#include <ostream>
#include <string>

class SettingsFileWriter;

// SongMixer: the mix of one song: one TarnwickTrackSettings per voice track, the tracks' names, and
// whether the song's vocal tracks are muted as a group.
//
// Owner: TarnwickMixer. Threads: not thread-safe; the mixer lock guards it.
class SongMixer {
public:
    SongMixer() = default;
    // Reads one song section. Throws MixerInvalidFileError for a wrong section tag or a repeated track
    // id, std::ios_base::failure when the stream ends inside the section.
    explicit SongMixer(std::istream& in);
    // The defaults for the song's voice tracks.
    SongMixer(const std::string& songNumber, const brix_midi::VoiceData& voiceData);

    // Writes the section (Write) to the stream.
    void WriteToStream(std::ostream& out) const;
    // Appends the section: tag "TarnwickSongMixer", song number, vocal flag, track count and the track
    // records in ascending track id.
    void Write(SettingsFileWriter& writer) const;
    // Writes the section to a string stream, reads it back and compares it (then each track record);
    // throws MixerIoError naming the first difference.
    void TestSerialization() const;

    const std::string& GetSongNumber() const { return songNumber; }
    bool GetHasTrackId(unsigned short trackId) const { return trackSettings.contains(trackId); }
    // Both throw std::out_of_range for a track id the song does not have.
    TarnwickTrackSettings& GetTrackSettings(unsigned short trackId);
    const TarnwickTrackSettings& GetTrackSettings(unsigned short trackId) const;
    const std::string& GetTrackName(unsigned short trackId) const;
    const std::map<unsigned short, TarnwickTrackSettings>& GetTrackSettingsByTrackId() const { return trackSettings; }
    const std::map<unsigned short, std::string>& GetTrackNamesByTrackId() const { return trackNames; }

    bool GetVocalTracksAreMuted() const { return vocalTracksAreMuted; }
    // Sets the flag and mutes (or unmutes) every vocal track.
    void SetVocalTracksAreMuted(bool muted);
    void ToggleVocalTracksAreMuted();
    // Vocal tracks muted, every track back to its defaults.
    void ResetToDefaultSettings();

    // Whether this mix was made for these voice tracks: the same track ids, each with the same
    // (stored) name and default program.
    bool MatchesVoiceData(const brix_midi::VoiceData& voiceData) const;
    // Whether every track's values are MIDI data values (see TarnwickTrackSettings).
    bool GetValuesAreInRange() const;

private:
    void AddTrack(TarnwickTrackSettings settings);

    std::string songNumber;
    std::map<unsigned short, TarnwickTrackSettings> trackSettings;
    std::map<unsigned short, std::string> trackNames;
    bool vocalTracksAreMuted = true;
};
