#include "TrackSettings.h"

#include "MixerStreamReader.h"
#include "SettingsFileWriter.h"

TrackSettings::TrackSettings(unsigned short trackId, const std::string& trackName)
    : trackId(trackId), trackName(StoredTrackName(trackName))
{
}

void TrackSettings::LoadFromStream(std::istream& in, const cmn::FileVersion& /*version*/)
{
    MixerStreamReader reader(in);
    trackId = reader.ReadU16();
    trackName = reader.ReadString();
}

void TrackSettings::WriteToStream(std::ostream& out) const
{
    SettingsFileWriter writer;
    Write(writer);
    out.write(writer.GetBytes().data(), static_cast<std::streamsize>(writer.GetBytes().size()));
}

void TrackSettings::Write(SettingsFileWriter& writer) const
{
    writer.WriteU16(trackId);
    writer.WriteString(trackName);
}

std::string TrackSettings::StoredTrackName(const std::string& name)
{
    if (name.size() <= kMaxTrackNameBytes) {
        return name;
    }
    std::size_t length = kMaxTrackNameBytes;
    // Back off over continuation bytes (10xxxxxx) so the cut falls before a character's first byte.
    while (length > 0 && (static_cast<unsigned char>(name[length]) & 0xC0) == 0x80) {
        --length;
    }
    return name.substr(0, length);
}
