#include "SongMixer.h"

#include "MixerIoError.h"
#include "MixerStreamReader.h"
#include "SettingsFileWriter.h"

#include <sstream>
#include <utility>

namespace {
const char* const kSongMixerTag = "TarnwickSongMixer";
}  // namespace

SongMixer::SongMixer(std::istream& in)
{
    MixerStreamReader reader(in);
    if (reader.ReadString() != kSongMixerTag) {
        throw MixerInvalidFileError("Found invalid SongMixer section.");
    }
    songNumber = reader.ReadString();
    vocalTracksAreMuted = reader.ReadBool();
    const std::uint16_t trackCount = reader.ReadU16();
    for (std::uint16_t i = 0; i < trackCount; ++i) {
        TarnwickTrackSettings settings(in, cmn::FileVersion{});
        if (trackSettings.contains(settings.GetTrackId())) {
            throw MixerInvalidFileError("Found two tracks with the same trackId");
        }
        AddTrack(std::move(settings));
    }
}

SongMixer::SongMixer(const std::string& songNumber, const brix_midi::VoiceData& voiceData) : songNumber(songNumber)
{
    for (const auto& [trackId, track] : voiceData) {
        AddTrack(TarnwickTrackSettings(trackId, track->GetTrackName(), track->GetDefaultProgramChange()));
    }
}

void SongMixer::AddTrack(TarnwickTrackSettings settings)
{
    const unsigned short trackId = settings.GetTrackId();
    trackNames.emplace(trackId, settings.GetTrackName());
    trackSettings.emplace(trackId, std::move(settings));
}

void SongMixer::WriteToStream(std::ostream& out) const
{
    SettingsFileWriter writer;
    Write(writer);
    out.write(writer.GetBytes().data(), static_cast<std::streamsize>(writer.GetBytes().size()));
}

void SongMixer::Write(SettingsFileWriter& writer) const
{
    writer.WriteString(kSongMixerTag);
    writer.WriteString(songNumber);
    writer.WriteU8(vocalTracksAreMuted ? 1 : 0);
    writer.WriteU16(static_cast<std::uint16_t>(trackSettings.size()));
    for (const auto& [trackId, settings] : trackSettings) {
        settings.Write(writer);
    }
}

void SongMixer::TestSerialization() const
{
    std::stringstream stream;
    WriteToStream(stream);
    const SongMixer read(stream);
    if (read.songNumber != songNumber) {
        throw MixerIoError("Bad song number.");
    }
    if (read.vocalTracksAreMuted != vocalTracksAreMuted) {
        throw MixerIoError("Bad vocalTracksAreMuted_");
    }
    if (read.trackSettings.size() != trackSettings.size()) {
        throw MixerIoError("Bad track count.");
    }
    for (const auto& [trackId, settings] : trackSettings) {
        if (!read.GetHasTrackId(trackId)) {
            throw MixerIoError("Bad track id.");
        }
        settings.TestSerialization();
    }
}

TarnwickTrackSettings& SongMixer::GetTrackSettings(unsigned short trackId)
{
    return trackSettings.at(trackId);
}

const TarnwickTrackSettings& SongMixer::GetTrackSettings(unsigned short trackId) const
{
    return trackSettings.at(trackId);
}

const std::string& SongMixer::GetTrackName(unsigned short trackId) const
{
    return trackNames.at(trackId);
}

void SongMixer::SetVocalTracksAreMuted(bool muted)
{
    vocalTracksAreMuted = muted;
    for (auto& [trackId, settings] : trackSettings) {
        if (settings.GetIsVocalTrack()) {
            settings.SetIsMuted(muted);
        }
    }
}

void SongMixer::ToggleVocalTracksAreMuted()
{
    SetVocalTracksAreMuted(!vocalTracksAreMuted);
}

void SongMixer::ResetToDefaultSettings()
{
    vocalTracksAreMuted = true;
    for (auto& [trackId, settings] : trackSettings) {
        settings.ResetToDefaultSettings();
    }
}

bool SongMixer::MatchesVoiceData(const brix_midi::VoiceData& voiceData) const
{
    if (voiceData.size() != trackSettings.size()) {
        return false;
    }
    for (const auto& [trackId, track] : voiceData) {
        const auto found = trackSettings.find(trackId);
        if (found == trackSettings.end() ||
            found->second.GetTrackName() != TrackSettings::StoredTrackName(track->GetTrackName()) ||
            found->second.GetDefaultProgramId() != track->GetDefaultProgramChange()) {
            return false;
        }
    }
    return true;
}

bool SongMixer::GetValuesAreInRange() const
{
    for (const auto& [trackId, settings] : trackSettings) {
        if (!settings.GetValuesAreInRange()) {
            return false;
        }
    }
    return true;
}
