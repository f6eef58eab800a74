#include "TarnwickMixer.h"

#include "MidiPlayer.h"
#include "MidiShowControl.h"
#include "MixerIoError.h"
#include "MixerStreamReader.h"
#include "SettingsFileWriter.h"

#include <brix_core/CallbackDispatcher.h>
#include <brix_core/GuiDispatcher.h>
#include <brix_core/NotifyNames.h>
#include <brix_player_core/ActiveSongNumber.h>

#include <exception>
#include <set>
#include <utility>

namespace {
const char* const kMixerSettingsTag = "TarnwickMixerSettings";
}  // namespace

TarnwickMixer::TarnwickMixer(ActiveSongNumber& activeSongNumber, const brix_midi::ShowData& showData,
                             MidiPlayer& player, const std::string& showDirectory)
    : Mixer(showDirectory), activeSongNumber(activeSongNumber), player(player)
{
    {
        const Lock lock(mixerLock);
        try {
            LoadFromFile();
        } catch (const MixerIoError&) {
            // Nothing was kept from the file: every song gets the defaults below.
        }
        if (!ShowDataMatchesMixerData(showData)) {
            MatchToShowData(showData);
        }
    }
    notify::callbackDispatcher.AddCallback(this, notify::names::currentProgramIds, [this](void* data) {
        OnReportCurrentProgramIds(*static_cast<const std::map<unsigned short, unsigned char>*>(data));
    });
    AcceptSongLoaded_();
}

TarnwickMixer::~TarnwickMixer()
{
    notify::callbackDispatcher.RemoveCallbacksForTarget(this);
    try {
        SaveToFile();
    } catch (const std::exception&) {
        // The previous file stays whole; the next load reads it.
    }
}

bool TarnwickMixer::ShowDataMatchesMixerData(const brix_midi::ShowData& showData)
{
    const Lock lock(mixerLock);
    if (songMixers.size() != showData.GetSongs().size()) {
        return false;
    }
    for (const auto& [songNumber, song] : showData.GetSongs()) {
        const auto mixer = songMixers.find(songNumber);
        if (mixer == songMixers.end() || !mixer->second.MatchesVoiceData(song->GetVoiceData())) {
            return false;
        }
    }
    return true;
}

void TarnwickMixer::MatchToShowData(const brix_midi::ShowData& showData)
{
    std::map<std::string, SongMixer> matched;
    for (const auto& [songNumber, song] : showData.GetSongs()) {
        const auto loaded = songMixers.find(songNumber);
        if (loaded != songMixers.end() && loaded->second.MatchesVoiceData(song->GetVoiceData())) {
            matched.emplace(songNumber, std::move(loaded->second));
        } else {
            matched.emplace(songNumber, SongMixer(songNumber, song->GetVoiceData()));
        }
    }
    songMixers = std::move(matched);
}

void TarnwickMixer::LoadFromStream(std::istream& in)
{
    MixerStreamReader reader(in);
    if (reader.ReadString() != kMixerSettingsTag) {
        throw MixerInvalidFileError("Not a valid mixer settings file.");
    }
    const std::uint16_t songCount = reader.ReadU16();
    std::set<std::string> songNumbers;
    std::map<std::string, SongMixer> loaded;
    for (std::uint16_t i = 0; i < songCount; ++i) {
        SongMixer section(in);
        if (!songNumbers.insert(section.GetSongNumber()).second) {
            throw MixerInvalidFileError("Found two SongMixers with the same songNumber");
        }
        if (section.GetValuesAreInRange()) {
            loaded.emplace(section.GetSongNumber(), std::move(section));
        }
    }
    const Lock lock(mixerLock);
    songMixers = std::move(loaded);
}

void TarnwickMixer::WriteToStream(std::ostream& out)
{
    SettingsFileWriter writer;
    {
        const Lock lock(mixerLock);
        writer.WriteString(kMixerSettingsTag);
        writer.WriteU16(static_cast<std::uint16_t>(songMixers.size()));
        for (const auto& [songNumber, songMixer] : songMixers) {
            songMixer.Write(writer);
        }
    }
    out.write(writer.GetBytes().data(), static_cast<std::streamsize>(writer.GetBytes().size()));
}

SongMixer& TarnwickMixer::GetActiveSongMixer()
{
    return songMixers.at(activeSongNumber.Get());
}

TarnwickTrackSettings& TarnwickMixer::GetActiveTrack(unsigned short trackId)
{
    return GetActiveSongMixer().GetTrackSettings(trackId);
}

unsigned char TarnwickMixer::GetTrackVolume(unsigned short trackId)
{
    const Lock lock(mixerLock);
    return GetActiveTrack(trackId).GetVolume();
}

unsigned char TarnwickMixer::GetTrackPan(unsigned short trackId)
{
    const Lock lock(mixerLock);
    return GetActiveTrack(trackId).GetPan();
}

unsigned char TarnwickMixer::GetTrackProgramId(unsigned short trackId)
{
    const Lock lock(mixerLock);
    const TarnwickTrackSettings& track = GetActiveTrack(trackId);
    if (track.GetHasProgramId()) {
        return track.GetProgramId();
    }
    const auto reported = currentProgramIds.find(trackId);
    return reported != currentProgramIds.end() ? reported->second : track.GetDefaultProgramId();
}

unsigned char TarnwickMixer::GetTrackDefaultProgramId(unsigned short trackId)
{
    const Lock lock(mixerLock);
    return GetActiveTrack(trackId).GetDefaultProgramId();
}

bool TarnwickMixer::GetTrackHasProgramId(unsigned short trackId)
{
    const Lock lock(mixerLock);
    return GetActiveTrack(trackId).GetHasProgramId();
}

bool TarnwickMixer::GetTrackIsMuted(unsigned short trackId)
{
    const Lock lock(mixerLock);
    return GetActiveTrack(trackId).GetIsMuted();
}

bool TarnwickMixer::GetTrackIsSoloed(unsigned short trackId)
{
    const Lock lock(mixerLock);
    return GetActiveTrack(trackId).GetIsSoloed();
}

bool TarnwickMixer::GetTrackIsMutedByOtherSolo(unsigned short trackId)
{
    const Lock lock(mixerLock);
    return GetActiveTrack(trackId).GetIsMutedByOtherSolo();
}

bool TarnwickMixer::GetTrackIsVocalTrack(unsigned short trackId)
{
    const Lock lock(mixerLock);
    return GetActiveTrack(trackId).GetIsVocalTrack();
}

std::string TarnwickMixer::GetTrackName(unsigned short trackId)
{
    const Lock lock(mixerLock);
    return GetActiveSongMixer().GetTrackName(trackId);
}

std::map<unsigned short, std::string> TarnwickMixer::GetTrackNamesByTrackId()
{
    const Lock lock(mixerLock);
    return GetActiveSongMixer().GetTrackNamesByTrackId();
}

bool TarnwickMixer::GetVocalTracksAreMuted()
{
    const Lock lock(mixerLock);
    return GetActiveSongMixer().GetVocalTracksAreMuted();
}

template <class Set>
TarnwickTrackSettings TarnwickMixer::StoreTrackSetting(unsigned short trackId, Set set)
{
    const Lock lock(mixerLock);
    TarnwickTrackSettings& track = GetActiveTrack(trackId);
    set(track);
    return track;
}

void TarnwickMixer::SetTrackVolume(unsigned short trackId, unsigned char volume)
{
    const TarnwickTrackSettings track =
        StoreTrackSetting(trackId, [volume](TarnwickTrackSettings& settings) { settings.SetVolume(volume); });
    if (!track.GetIsMutedByMuteOrSolo()) {
        player.SetTrackVolume(trackId, track.GetVolume());
    }
}

void TarnwickMixer::SetTrackPan(unsigned short trackId, unsigned char pan)
{
    const TarnwickTrackSettings track =
        StoreTrackSetting(trackId, [pan](TarnwickTrackSettings& settings) { settings.SetPan(pan); });
    if (!track.GetIsMutedByMuteOrSolo()) {
        player.SetTrackPan(trackId, track.GetPan());
    }
}

void TarnwickMixer::SetTrackProgramId(unsigned short trackId, unsigned char program)
{
    const TarnwickTrackSettings track =
        StoreTrackSetting(trackId, [program](TarnwickTrackSettings& settings) { settings.SetProgramId(program); });
    if (!track.GetIsMutedByMuteOrSolo()) {
        player.SetTrackProgramId(trackId, track.GetProgramId());
    }
}

void TarnwickMixer::SetTrackIsMuted(unsigned short trackId, bool muted)
{
    SendTrackDataToPlayer_(
        StoreTrackSetting(trackId, [muted](TarnwickTrackSettings& settings) { settings.SetIsMuted(muted); }));
}

void TarnwickMixer::SetTrackIsMutedByOtherSolo(unsigned short trackId, bool muted)
{
    SendTrackDataToPlayer_(StoreTrackSetting(
        trackId, [muted](TarnwickTrackSettings& settings) { settings.SetIsMutedByOtherSolo(muted); }));
}

void TarnwickMixer::SetTrackIsSoloed(unsigned short trackId, bool soloed)
{
    StoreTrackSetting(trackId, [soloed](TarnwickTrackSettings& settings) { settings.SetIsSoloed(soloed); });
}

void TarnwickMixer::SetVocalTracksAreMuted(bool muted)
{
    {
        const Lock lock(mixerLock);
        GetActiveSongMixer().SetVocalTracksAreMuted(muted);
    }
    SendMixerDataToPlayer_();
}

void TarnwickMixer::ToggleVocalTracksAreMuted()
{
    {
        const Lock lock(mixerLock);
        GetActiveSongMixer().ToggleVocalTracksAreMuted();
    }
    SendMixerDataToPlayer_();
}

void TarnwickMixer::ResetToDefaultSettings()
{
    {
        const Lock lock(mixerLock);
        GetActiveSongMixer().ResetToDefaultSettings();
    }
    SendMixerDataToPlayer_();
}

void TarnwickMixer::OnSongLoaded()
{
    {
        const Lock lock(mixerLock);
        currentProgramIds.clear();
    }
    SendMixerDataToPlayer_(true);
}

void TarnwickMixer::SendMixerDataToPlayer_(bool songWasJustLoaded)
{
    std::map<unsigned short, TarnwickTrackSettings> tracks;
    {
        const Lock lock(mixerLock);
        tracks = GetActiveSongMixer().GetTrackSettingsByTrackId();
    }
    std::map<unsigned short, bool> muted;
    std::map<unsigned short, unsigned char> volumes;
    std::map<unsigned short, unsigned char> pans;
    std::map<unsigned short, unsigned char> programs;
    for (const auto& [trackId, track] : tracks) {
        muted[trackId] = track.GetIsMutedByMuteOrSolo();
        if (track.GetIsMutedByMuteOrSolo()) {
            continue;
        }
        volumes[trackId] = track.GetVolume();
        pans[trackId] = track.GetPan();
        if (track.GetHasProgramId()) {
            programs[trackId] = track.GetProgramId();
        }
    }
    player.SetAllTracksVolume(volumes);
    player.SetAllTracksPan(pans);
    player.SetAllTracksProgramId(programs);
    if (songWasJustLoaded) {
        player.GetMidiShowControl().SetMutedTracks(muted);
    } else {
        player.SetMutedTracks(muted);
    }
}

void TarnwickMixer::SendTrackDataToPlayer_(const TarnwickTrackSettings& settings)
{
    const unsigned short trackId = settings.GetTrackId();
    const bool muted = settings.GetIsMutedByMuteOrSolo();
    player.SetTrackIsMuted(trackId, muted);
    if (muted) {
        return;
    }
    player.SetTrackVolume(trackId, settings.GetVolume());
    player.SetTrackPan(trackId, settings.GetPan());
    if (settings.GetHasProgramId()) {
        player.SetTrackProgramId(trackId, settings.GetProgramId());
    }
}

void TarnwickMixer::NotifyGuiProgramIds()
{
    const Lock lock(mixerLock);
    const SongMixer& song = GetActiveSongMixer();
    for (const auto& [trackId, program] : currentProgramIds) {
        if (song.GetHasTrackId(trackId)) {
            notify::guiDispatcher.SendProgramChange(trackId, program);
        }
    }
}

void TarnwickMixer::OnReportCurrentProgramIds(const std::map<unsigned short, unsigned char>& programIds)
{
    const Lock lock(mixerLock);
    const auto song = songMixers.find(activeSongNumber.Get());
    if (song == songMixers.end()) {
        return;
    }
    for (const auto& [trackId, program] : programIds) {
        if (!song->second.GetHasTrackId(trackId)) {
            continue;
        }
        if (!song->second.GetTrackSettings(trackId).GetHasProgramId()) {
            notify::guiDispatcher.SendProgramChange(trackId, program);
        }
        currentProgramIds[trackId] = program;
    }
}

void TarnwickMixer::TestSerialization()
{
    const Lock lock(mixerLock);
    for (const auto& [songNumber, songMixer] : songMixers) {
        songMixer.TestSerialization();
    }
}
