#pragma once

#include "TrackSettings.h"

#include <cstdint>
#include <set>
#include <string>

// The names of the tracks that are instruments; every other track counts as a vocal track (exact,
// case-sensitive match).
extern const std::set<std::string> nonVocalTrackNames;

// TarnwickTrackSettings: the user's mix of one voice track of a song: volume, pan, program (or none),
// mute, solo, and whether another track's solo mutes it. The track's default program is kept to tell
// whether the record still belongs to the song's track.
//
// Owner: SongMixer. Threads: not thread-safe; the mixer lock guards it.
//
// The setters clamp volume, pan and program to the MIDI data range 0-127, so a value never goes out
// as a MIDI status byte and every saved record reads back in range. A record read from a stream keeps
// the values it read: GetValuesAreInRange tells whether they are usable.
class TarnwickTrackSettings : public TrackSettings {
public:
    static constexpr std::uint8_t kDefaultVolume = 90;
    static constexpr std::uint8_t kDefaultPan = 64;
    static constexpr std::uint8_t kMaxMidiValue = 127;

    // The defaults: volume 90, pan 64, no program, muted when it is a vocal track, not soloed.
    TarnwickTrackSettings(unsigned short trackId, const std::string& trackName, unsigned char defaultProgramId);
    // Reads one record. Throws std::ios_base::failure when the stream ends inside it.
    TarnwickTrackSettings(std::istream& in, const cmn::FileVersion& version);

    // Reads one record: the track's id and name, then the mix fields; the vocal flag follows the name.
    void LoadFromStream(std::istream& in, const cmn::FileVersion& version) override;
    // Appends the record: id, name, volume, pan, programId (i16), defaultProgramId, isMuted, isSoloed,
    // isMutedByOtherSolo.
    void Write(SettingsFileWriter& writer) const override;
    void TestSerialization() const override;

    unsigned char GetVolume() const { return volume; }
    unsigned char GetPan() const { return pan; }
    // Throws std::logic_error "Does not have programId. Cannot return programId." without a user program.
    unsigned char GetProgramId() const;
    bool GetHasProgramId() const { return programId >= 0; }
    unsigned char GetDefaultProgramId() const { return defaultProgramId; }
    bool GetIsMuted() const { return isMuted; }
    bool GetIsSoloed() const { return isSoloed; }
    bool GetIsMutedByOtherSolo() const { return isMutedByOtherSolo; }
    bool GetIsMutedByMuteOrSolo() const { return isMuted || isMutedByOtherSolo; }
    bool GetIsVocalTrack() const { return isVocalTrack; }
    // Volume, pan, the default program and the user program (when set) are MIDI data values.
    bool GetValuesAreInRange() const;

    void SetVolume(unsigned char value);
    void SetPan(unsigned char value);
    void SetProgramId(unsigned char value);
    void SetNoProgramId() { programId = -1; }
    void SetIsMuted(bool muted) { isMuted = muted; }
    void SetIsSoloed(bool soloed) { isSoloed = soloed; }
    void SetIsMutedByOtherSolo(bool muted) { isMutedByOtherSolo = muted; }

    // Back to the defaults; the default program stays.
    void ResetToDefaultSettings();

private:
    std::uint8_t volume = kDefaultVolume;
    std::uint8_t pan = kDefaultPan;
    std::int16_t programId = -1;
    std::uint8_t defaultProgramId = 0;
    bool isMuted = false;
    bool isSoloed = false;
    bool isMutedByOtherSolo = false;
    bool isVocalTrack = false;
};
