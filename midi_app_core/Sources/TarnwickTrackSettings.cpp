#include "TarnwickTrackSettings.h"

#include "MixerIoError.h"
#include "MixerStreamReader.h"
#include "SettingsFileWriter.h"

#include <algorithm>
#include <sstream>
#include <stdexcept>

const std::set<std::string> nonVocalTrackNames = {"Piano", "Piano/Conductor", "Guitar", "Bass", "Drum Kit", "Drums"};

namespace {

bool IsVocalTrackName(const std::string& name)
{
    return !nonVocalTrackNames.contains(name);
}

std::uint8_t ClampToMidi(unsigned char value)
{
    return std::min<std::uint8_t>(value, TarnwickTrackSettings::kMaxMidiValue);
}

}  // namespace

TarnwickTrackSettings::TarnwickTrackSettings(unsigned short trackId, const std::string& trackName,
                                             unsigned char defaultProgramId)
    : TrackSettings(trackId, trackName),
      defaultProgramId(defaultProgramId),
      isMuted(IsVocalTrackName(this->trackName)),
      isVocalTrack(IsVocalTrackName(this->trackName))
{
}

TarnwickTrackSettings::TarnwickTrackSettings(std::istream& in, const cmn::FileVersion& version)
{
    TarnwickTrackSettings::LoadFromStream(in, version);
}

void TarnwickTrackSettings::LoadFromStream(std::istream& in, const cmn::FileVersion& version)
{
    TrackSettings::LoadFromStream(in, version);
    MixerStreamReader reader(in);
    volume = reader.ReadU8();
    pan = reader.ReadU8();
    programId = reader.ReadI16();
    defaultProgramId = reader.ReadU8();
    isMuted = reader.ReadBool();
    isSoloed = reader.ReadBool();
    isMutedByOtherSolo = reader.ReadBool();
    isVocalTrack = IsVocalTrackName(trackName);
}

void TarnwickTrackSettings::Write(SettingsFileWriter& writer) const
{
    TrackSettings::Write(writer);
    writer.WriteU8(volume);
    writer.WriteU8(pan);
    writer.WriteU16(static_cast<std::uint16_t>(programId));
    writer.WriteU8(defaultProgramId);
    writer.WriteU8(isMuted ? 1 : 0);
    writer.WriteU8(isSoloed ? 1 : 0);
    writer.WriteU8(isMutedByOtherSolo ? 1 : 0);
}

void TarnwickTrackSettings::TestSerialization() const
{
    std::stringstream stream;
    WriteToStream(stream);
    const TarnwickTrackSettings read(stream, cmn::FileVersion{});
    const auto check = [](bool same, const char* message) {
        if (!same) {
            throw MixerIoError(message);
        }
    };
    check(read.trackId == trackId, "Bad track id.");
    check(read.trackName == trackName, "Bad track name.");
    check(read.volume == volume, "Bad track volume.");
    check(read.pan == pan, "Bad track pan.");
    check(read.programId == programId, "Bad track programId.");
    check(read.defaultProgramId == defaultProgramId, "Bad track defaultProgramId.");
    check(read.isMuted == isMuted, "Bad track isMuted.");
    check(read.isSoloed == isSoloed, "Bad track isSoloed.");
    check(read.isMutedByOtherSolo == isMutedByOtherSolo, "Bad track isMutedByOtherSolo.");
}

unsigned char TarnwickTrackSettings::GetProgramId() const
{
    if (programId < 0) {
        throw std::logic_error("Does not have programId. Cannot return programId.");
    }
    return static_cast<unsigned char>(programId);
}

bool TarnwickTrackSettings::GetValuesAreInRange() const
{
    return volume <= kMaxMidiValue && pan <= kMaxMidiValue && defaultProgramId <= kMaxMidiValue &&
           programId >= -1 && programId <= kMaxMidiValue;
}

void TarnwickTrackSettings::SetVolume(unsigned char value)
{
    volume = ClampToMidi(value);
}

void TarnwickTrackSettings::SetPan(unsigned char value)
{
    pan = ClampToMidi(value);
}

void TarnwickTrackSettings::SetProgramId(unsigned char value)
{
    programId = ClampToMidi(value);
}

void TarnwickTrackSettings::ResetToDefaultSettings()
{
    volume = kDefaultVolume;
    pan = kDefaultPan;
    programId = -1;
    isMuted = isVocalTrack;
    isSoloed = false;
    isMutedByOtherSolo = false;
}
