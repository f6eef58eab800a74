#pragma once

#include "MidiInterface.h"

#include <brix_core/ChangeLog.h>
#include <brix_core/Editor.h>
#include <brix_core/ShowFolder.h>

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

class MidiMessageDispatcher;
class MidiShowControl;
class TarnwickMixer;
namespace midi_commands {
class MidiCommands;
}
namespace brix_tarnwick {
class EngineEventReporter;
class TarnwickPlayer;
}  // namespace brix_tarnwick

// TarnwickInterface: the engine of one show. The constructor loads the show folder, the newest
// ".logdata" file of it (none: an empty change log, version 1.0), makes that log the one the player
// plays and gives it to a change-log editor, builds the player on the first MIDI output device
// (stopped, at the show's first song), the show's mixer ("mixersettings" in the show folder), the MIDI
// remote control (its settings file "midicommandsettings" in the data folder) and the engine-event
// reporter. It throws what loading throws (CL::ChangeLogVersionError for a change log of a newer
// format, fennic::IoError, brix_midi::ShowFolderError ...), and nothing is left running then.
//
// The change log: the editor holds the log being edited; the player plays a copy of it, taken at
// construction, by LoadNewChangeLog and by SetChangelogFilename. GetSongLog answers the played copy
// (the reference stays valid until the next of those calls). Attacca states set here are kept for
// the run (the change log has no field for them).
// MIDI sources are rows of GetMidiSources() (the inputs without the system's own ports). A learned
// MIDI command, when its message arrives, acts as the member of its name: Play, Pause(false), Stop,
// NextSong, PrevSong, SeekRight (next marker), SeekLeft (previous marker), Continue; "Conduct Beat"
// and "Continuous Mode" start playback that waits for the conductor (MidiPlayer::ConductBeat,
// ContinuousMode).
//
// Owner: the program, through a shared pointer to Interface; Shutdown before the last release.
// Threads: the GUI and remote-control threads call; engine events and OSC cues come from the engine's
// threads. The editor is the GUI thread's; the rest follows the player's and the mixer's locks.
class TarnwickInterface : public MidiInterface {
public:
    // What loading a change log repaired (see Interface::GetModifiedClickEditLog).
    struct ChangeLogRepairs {
        std::string modifiedClickEditLog;
        int invertedLoopEventCount = 0;
        std::string invertedLoopEventDescription;
    };

    static constexpr const char* kMidiCommandSettingsFileName = "midicommandsettings";
    static constexpr const char* kClickTrackName = "Click";

    TarnwickInterface(const std::string& showDirectory, const std::string& dataFolder);
    ~TarnwickInterface() override;

    bool SeekToBar(const std::string& bar) override;
    std::pair<std::string, unsigned int> LookupPage(int page) override;

    bool SongExists(const std::string& songNumber) override;
    std::string GetActualSongNumber(const std::string& songNumber) override;
    SongNames GetSongNamesBySongNumber() override;
    std::uint8_t GetAttacca(const std::string& songNumber) override;
    void SetAttacca(const std::string& songNumber, std::uint8_t state) override;
    unsigned int GetCurrentStartTickIndex() override;
    unsigned int GetSongLength(const std::string& songNumber) override;
    unsigned int GetSongStartTickIndex(const std::string& songNumber) override;
    unsigned int GetSongAudioStartTick(const std::string& songNumber) override;
    unsigned int GetSongAudioEndTick(const std::string& songNumber) override;

    TL::TimelineSequence<TL::BarsBeats> GetBarsBeats(const std::string& songNumber) override;
    // The click edits are those of the editor's log (the log being edited).
    TL::TimelineSequence<TL::BarsBeats> GetBarsBeats(const std::string& songNumber, bool onClickGrid) override;
    TL::BarsBeats GetBarBeatByTick(unsigned int tick) override;
    TL::BarsBeats GetBarBeatByTick(unsigned int tick, bool atOrBefore, bool onClickGrid) override;
    TL::BarsBeats GetBarBeatLeftByTick(unsigned int tick) override;
    std::string GetBarString(unsigned int tick) override;
    std::string GetBarString(const std::string& songNumber, unsigned int tick) override;
    unsigned int GetAvailableShiftAfterBarBeat(unsigned int beatTick, bool withinBeat) override;
    std::vector<int> GetClickValues(unsigned int startTick, unsigned int endTick) override;
    const TL::Timeline& GetTimeline() override;
    const CL::SongLog& GetSongLog() override;

    // The file is "<show folder's name>-<major>.<minor>.logdata" in the show folder.
    std::string SaveChangelog(std::uint16_t major, std::uint16_t minor) override;
    void LoadNewChangeLog() override;
    std::string GetChangelogFilename() override;
    void SetChangelogFilename(const std::string& path) override;
    void LoadChangeLogEditor() override;
    std::string GetLogVersion() override;
    // The player's limits are HowToPlay::kMinTempoScale and kMaxTempoScale.
    std::string GetTempoScaleWarnings() override;
    // The repairs of the log last loaded. The editor holds the repaired log, which the next
    // SaveChangelog writes.
    std::string GetModifiedClickEditLog() override;
    int GetInvertedLoopEventCount() override;
    std::string GetInvertedLoopEventDescription() override;
    CL::Editor* GetChangeLogEditor() override;
    EventList GetChangeLogPanelEvents() override;
    EventsBySong GetChangeLogPanelEventsForAllSongs() override;
    EventsBySong GetMarkersForAllSongs() override;
    EventList GetMarkers() override;

    std::map<std::string, CL::OutputPath> GetOutputPathMap() override;
    void onAddOutputhPath(const CL::OutputPath& path) override;
    void onRemoveOutputhPath(const CL::OutputPath& path) override;

    std::vector<MidiEndPoint> GetMidiSources() override;
    bool HasMidiSource() override;
    std::uint8_t GetConnectedSourceIndex() override;
    // Connects the input of that row (-1: keeps none chosen); a row without an input throws
    // MidiPortError "Invalid MIDI source.".
    void SetMidiSource(int source) override;
    bool GetHasConductBeat() override;
    std::map<std::uint8_t, std::string> GetCommandNames() override;
    std::map<std::uint8_t, midi_commands::LearnedCommand> GetLearnedCommands() override;
    bool IsMidiCommandLearning(std::uint8_t commandId) override;
    void LearnMidiCommand(std::uint8_t commandId) override;
    void SetMidiCommand(std::uint8_t commandId, std::uint8_t status, std::uint8_t channel,
                        std::uint8_t note) override;
    // Note-on, controller, program change.
    std::vector<int> GetAllowedCommandStatuses() override;

    // The editor's destinations.
    CL::NetworkPathVectorT GetNetworks() override;
    // Of the played change log (any thread).
    CL::NetworkPath GetNetwork(const std::string& networkId) override;

    // Ends the learned-command callback, stops playback and ends the player's threads. Call it before
    // the last release, so that no learned command reported meanwhile reaches an engine being
    // destroyed.
    void Shutdown() override;
    Player& GetPlayer() override;
    MidiPlayer& GetMidiPlayer() override;

    // The mixer of the current song (track ids of the song; an unknown one throws std::out_of_range).
    std::map<std::uint16_t, std::string> GetTrackNamesByTrackId();
    bool GetTrackIsVocalTrack(std::uint16_t trackId);
    bool GetTrackIsMuted(std::uint16_t trackId);
    bool GetTrackIsSoloed(std::uint16_t trackId);
    std::uint8_t GetTrackPan(std::uint16_t trackId);
    std::uint8_t GetTrackVolume(std::uint16_t trackId);
    std::uint8_t GetTrackProgramId(std::uint16_t trackId);
    void SetTrackIsMuted(std::uint16_t trackId, bool muted);
    void SetTrackIsSoloed(std::uint16_t trackId, bool soloed);
    void SetTrackIsMutedByOtherSolo(std::uint16_t trackId, bool muted);
    void SetTrackPan(std::uint16_t trackId, std::uint8_t pan);
    void SetTrackVolume(std::uint16_t trackId, std::uint8_t volume);
    void SetTrackProgramId(std::uint16_t trackId, std::uint8_t program);
    void ResetMixerToDefaultSettings();
    // The click's volume (0-127): the volume of the track named "Click" (kClickTrackName), set through
    // the mixer (so stored in the song's mix, and heard on its channel when the track is not muted), in
    // the current song and in every song loaded later.
    void SetClickVolume(std::uint8_t volume);

protected:
    const brix_midi::ShowData& GetShowData() const { return loaded_.show; }
    MidiShowControl& GetMidiShowControl();
    // The change log the player plays (any thread).
    std::shared_ptr<const CL::ChangeLog> GetPlayedChangeLog() const;

private:
    // The learned MIDI commands' actions and the click volume on each loaded song.
    void RegisterCallbacks_();
    void ApplyClickVolume_();
    // The log the player plays becomes a copy of the editor's.
    void ActivateEditorLog_();
    const brix_midi::SongData* FindSong_(const std::string& songNumber) const;
    // Throws std::out_of_range naming the song.
    const brix_midi::SongData& Song_(const std::string& songNumber) const;

    brix_midi::LoadedShow loaded_;
    std::string changeLogFile_;
    std::unique_ptr<CL::Editor> editor_;
    ChangeLogRepairs repairs_;
    // The output paths: saved with the next version (the editor keeps no paths).
    std::map<std::string, CL::OutputPath> outputPaths_;
    mutable std::mutex playedMutex_;
    std::shared_ptr<const CL::ChangeLog> played_;
    std::map<std::string, std::uint8_t> attacca_;
    std::unique_ptr<brix_tarnwick::TarnwickPlayer> player_;
    std::unique_ptr<TarnwickMixer> mixer_;
    std::unique_ptr<MidiMessageDispatcher> dispatcher_;
    std::unique_ptr<midi_commands::MidiCommands> commands_;
    std::unique_ptr<brix_tarnwick::EngineEventReporter> reporter_;
    std::mutex clickMutex_;
    std::optional<std::uint8_t> clickVolume_;
    bool shutDown_ = false;
};
