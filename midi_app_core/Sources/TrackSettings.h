#pragma once

#include <brix_core/FileVersion.h>

#include <cstddef>
#include <istream>
#include <ostream>
#include <string>

class SettingsFileWriter;

// TrackSettings: the part of a track's mix record that names the track: its id and its name.
//
// Owner: the song mixer that holds the record. Threads: not thread-safe; the mixer lock guards it.
//
// A name is stored cut to kMaxTrackNameBytes bytes (at a UTF-8 character boundary), the longest string
// the settings file can hold, so a mix can always be saved.
class TrackSettings {
public:
    static constexpr std::size_t kMaxTrackNameBytes = 255;

    virtual ~TrackSettings() = default;

    // Reads the track id and name of one record. The version is not consulted. Throws
    // std::ios_base::failure when the stream ends first.
    virtual void LoadFromStream(std::istream& in, const cmn::FileVersion& version);
    // Writes the whole record (Write) to the stream.
    void WriteToStream(std::ostream& out) const;
    // Appends the record's fields: the track id (u16) and the name (string).
    virtual void Write(SettingsFileWriter& writer) const;
    // Writes the record to a string stream, reads it back and compares field by field; throws
    // MixerIoError naming the first field that differs.
    virtual void TestSerialization() const = 0;

    unsigned short GetTrackId() const { return trackId; }
    const std::string& GetTrackName() const { return trackName; }

    // The name as a record stores it: cut to kMaxTrackNameBytes without splitting a UTF-8 character.
    static std::string StoredTrackName(const std::string& name);

protected:
    TrackSettings() = default;
    TrackSettings(unsigned short trackId, const std::string& trackName);

    unsigned short trackId = 0;
    std::string trackName;
};
