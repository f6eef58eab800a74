#pragma once

#include "Mixer.h"
#include "SongMixer.h"

#include <brix_core/SongData.h>

#include <map>
#include <string>

class ActiveSongNumber;
class MidiPlayer;

// TarnwickMixer: the show's mixer. Keeps every song's mix (SongMixer), loads it from the show folder's
// "mixersettings" file at construction and saves it there at destruction, pushes the active song's
// mix to the MidiPlayer when a song is loaded (notify::names::songLoaded) or a setting changes, and
// relays the programs the MIDI streams report as in force (notify::names::currentProgramIds) to the GUI.
//
// Owner: the product library above the MIDI player library, which destroys it before the player.
// Threads: the setters and getters run on the GUI and remote-control threads; OnSongLoaded on the
// thread that loads a song; OnReportCurrentProgramIds on the MIDI engine's clock thread.
// Lock: mixerLock (recursive) guards songMixers and currentProgramIds. The player is called only
// after it is released, so the mixer never holds it while waiting for a player or output lock. GUI
// notices are sent under it (GUI listeners must not block).
//
// Loading keeps the file's mix as it is when it matches the show (ShowDataMatchesMixerData).
// Otherwise it keeps the stored mix of every song whose tracks (ids, names, default programs) still
// match the show and whose values are in range, so a change to one song does not lose the mix of the
// others; every other song of the show gets the defaults; songs the show no longer has are dropped.
// A file that cannot be read at all gives the defaults for the whole show. Opening a show never fails
// because of the file.
// songLoaded (registered by the base) is accepted and currentProgramIds registered last in the
// constructor, and both are removed first in the destructor, so neither reaches a mixer that is not
// whole.
class TarnwickMixer : public Mixer {
public:
    // showDirectory: the show's folder, where its "mixersettings" file lives.
    TarnwickMixer(ActiveSongNumber& activeSongNumber, const brix_midi::ShowData& showData, MidiPlayer& player,
                  const std::string& showDirectory);
    // Saves the file; a failed save is dropped (the previous file stays whole).
    ~TarnwickMixer() override;

    // The active song's mix back to the defaults, then sent to the player.
    void ResetToDefaultSettings() override;
    // Replaces every song's mix with the file's sections (see Mixer::LoadFromStream). A section whose
    // values are out of range is left out, so its song gets the defaults.
    void LoadFromStream(std::istream& in) override;
    // Forgets the programs reported for the previous song and sends the active song's mix.
    void OnSongLoaded() override;

    // The active song's track settings. All throw std::out_of_range for a track id the active song
    // does not have, or when there is no mix for the active song.
    unsigned char GetTrackVolume(unsigned short trackId);
    unsigned char GetTrackPan(unsigned short trackId);
    // The user's program when set, else the program the streams last reported for the track, else
    // the track's default program.
    unsigned char GetTrackProgramId(unsigned short trackId);
    unsigned char GetTrackDefaultProgramId(unsigned short trackId);
    bool GetTrackHasProgramId(unsigned short trackId);
    bool GetTrackIsMuted(unsigned short trackId);
    bool GetTrackIsSoloed(unsigned short trackId);
    bool GetTrackIsMutedByOtherSolo(unsigned short trackId);
    bool GetTrackIsVocalTrack(unsigned short trackId);
    std::string GetTrackName(unsigned short trackId);
    std::map<unsigned short, std::string> GetTrackNamesByTrackId();
    bool GetVocalTracksAreMuted();

    // Store the value (clamped to 0-127); the player hears it only when the track is not muted.
    void SetTrackVolume(unsigned short trackId, unsigned char volume);
    void SetTrackPan(unsigned short trackId, unsigned char pan);
    void SetTrackProgramId(unsigned short trackId, unsigned char program);
    // Store the flag, then send the track's mute and, when it sounds, its volume, pan and program.
    void SetTrackIsMuted(unsigned short trackId, bool muted);
    void SetTrackIsMutedByOtherSolo(unsigned short trackId, bool muted);
    // Stores the flag only; the caller sets the other tracks' muted-by-other-solo flags.
    void SetTrackIsSoloed(unsigned short trackId, bool soloed);
    // Change the active song's vocal tracks, then send the whole mix.
    void SetVocalTracksAreMuted(bool muted);
    void ToggleVocalTracksAreMuted();

    // Sends the GUI the reported program of every track of the active song, in ascending track id.
    void NotifyGuiProgramIds();
    // Round-trips every song's section and track record through a string stream; throws MixerIoError
    // naming the first field that differs.
    void TestSerialization();

    // The streams' report of the programs in force: each track of the active song takes the reported
    // program, and the GUI hears it when the user chose no program for the track. Other tracks, and a
    // report while no song with a mix is active, are ignored.
    void OnReportCurrentProgramIds(const std::map<unsigned short, unsigned char>& programIds);

    // The file: tag "TarnwickMixerSettings", song count, the sections in byte-wise order of the song
    // numbers.
    void WriteToStream(std::ostream& out) override;

    // Whether the mix holds exactly the show: a mix for every song with every voice track under its
    // id, name and default program, and nothing for songs or tracks the show does not have.
    bool ShowDataMatchesMixerData(const brix_midi::ShowData& showData);

protected:
    // Sends the active song's whole mix: volumes, pans and user programs of the tracks that sound,
    // then every track's mute. Normally the mutes go through the player, which refills the ring at
    // the GUI's position when it is not playing. Right after a song was loaded (songWasJustLoaded)
    // they go straight to the show control instead: the loader refills the ring itself, and the
    // notice may come from the queue thread loading an attacca song, which must never wait for the
    // player lock (a Stop holding it waits for that thread).
    void SendMixerDataToPlayer_(bool songWasJustLoaded = false);
    // Sends one track's mute and, when it sounds, its volume, pan and user program.
    void SendTrackDataToPlayer_(const TarnwickTrackSettings& settings);

private:
    using Lock = std::lock_guard<std::recursive_mutex>;

    // Throws std::out_of_range when there is no mix for the active song. Call with mixerLock held.
    SongMixer& GetActiveSongMixer();
    TarnwickTrackSettings& GetActiveTrack(unsigned short trackId);
    // Keeps the loaded mix of each song that matches the show, builds the defaults for the others.
    void MatchToShowData(const brix_midi::ShowData& showData);
    // Stores a value with set(track) and returns the track's copy; call without mixerLock.
    template <class Set>
    TarnwickTrackSettings StoreTrackSetting(unsigned short trackId, Set set);

    std::map<std::string, SongMixer> songMixers;
    std::map<unsigned short, unsigned char> currentProgramIds;
    ActiveSongNumber& activeSongNumber;
    MidiPlayer& player;
};
