#pragma once

#include <brix_player_core/PlayerOutputInterface.h>

#include <brix_core/BrixEvent.h>
#include <brix_core/ChangeLog.h>
#include <brix_core/NetworkPath.h>
#include <brix_core/OutputPath.h>
#include <brix_core/Timeline.h>

#include <fennic/NumericStringCompare.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <istream>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

class Player;
class MidiEndPoint;

namespace CL {
class Editor;
}
namespace TL {
template <class T>
class TimelineSequence;
}
namespace midi_commands {
struct LearnedCommand;
}

// Interface: the player engine of one loaded show as the program and the remote controls reach it.
// Every member is virtual, so a front end can be tested with a fake engine. This base carries out the
// transport, the fades and the positioning on the player a derived interface supplies; the songs, bars,
// change log, mix, MIDI remote control and OSC belong to the derived interfaces (pure here).
// What the transport changes comes back as engine events (notify::SendEngineEvent).
// Ticks are song tick indexes; a song number is its text ("1", "2A"); "" means no song.
// Threads: any; the MIDI source is guarded by the interface's own mutex, the rest by the player's
// locks.
class Interface {
public:
    using SongNames = std::map<std::string, std::string, fennic::NumericStringCompare>;
    using EventList = std::vector<std::unique_ptr<cmn::BrixEvent>>;
    using EventsBySong = std::map<std::string, EventList>;

    // The second text is the derived interface's (the product passes its data folder).
    Interface(const std::string& showDirectory, const std::string& second);
    virtual ~Interface();

    Interface(const Interface&) = delete;
    Interface& operator=(const Interface&) = delete;

    virtual std::string GetShowDirectory() { return showDirectory_; }

    // Transport. Play returns with GetIsPlaying() true.
    virtual void Play();
    virtual void Stop();
    virtual void Continue();
    // fadeCompleted: the pause follows a finished fade; the fade level goes back to full (and the faded
    // state ends), so playback continues audibly.
    virtual void Pause(bool fadeCompleted);
    // At the last song: back to the song's start. Never throws for the end of the show.
    virtual void NextSong();
    // Back to the song's start first, then to the previous song; never throws at the show's start.
    virtual void PrevSong();
    virtual void FlowControlExit();
    virtual bool GetIsPlaying();
    virtual bool GetIsPaused();
    // True from the end of a fade until CancelFade.
    virtual bool GetIsFaded();
    virtual bool IsStopped();

    // Fades to silence (Fade) or to a linear gain target (FadeTo; 1.0 is the full level) over seconds.
    // onComplete runs once when the fade ends, on the fader's thread, with no engine lock held: it may
    // call any member (Stop included). A fade replaced by another or cancelled does not complete.
    virtual void Fade(std::function<void()> onComplete, float seconds);
    virtual void FadeTo(std::function<void()> onComplete, float seconds, float target);
    // Ends the faded state and puts the fade level back to full.
    virtual void CancelFade();

    // Position: the tick the listener hears (where playing goes on when it does not play).
    virtual unsigned int GetTickIndex();
    // Seeks within the current song: a tick past its end goes to its end, a tick of 2^31 or more (a
    // negative position that wrapped) to its start.
    virtual void Seek(unsigned int tick);
    virtual void SeekToNextMeasure();
    virtual void SeekToPreviousMeasure();
    // The next / previous marker; nothing beyond the last one.
    virtual void SeekRight();
    virtual void SeekLeft();
    // The bar given as its number text ("12"); false (nothing moves) for text that is no bar of the
    // current song.
    virtual bool SeekToBar(const std::string& bar) = 0;
    virtual void LoadSongAtTime(const std::string& songNumber, unsigned int tick);
    // The song and the tick where page (1-based) begins. Throws std::out_of_range for a page no song
    // has.
    virtual std::pair<std::string, unsigned int> LookupPage(int page) = 0;

    // Songs.
    virtual std::string GetCurrentSongNumber();
    virtual void LoadSong(const std::string& songNumber);
    virtual bool SongExists(const std::string& songNumber) = 0;
    // The show's spelling of a song number typed by a user (letters in any case, leading zeros);
    // the text itself when no song matches.
    virtual std::string GetActualSongNumber(const std::string& songNumber) = 0;
    virtual SongNames GetSongNamesBySongNumber() = 0;
    // 0: plays on its own; 1: attacca (continues into the next song); 2: skipped.
    virtual std::uint8_t GetAttacca(const std::string& songNumber) = 0;
    virtual void SetAttacca(const std::string& songNumber, std::uint8_t state) = 0;
    // The current song's own start (before any cut).
    virtual unsigned int GetMinStartTickIndex();
    // Where the current song's playing starts (after a cut that holds its start).
    virtual unsigned int GetCurrentStartTickIndex() = 0;
    virtual unsigned int GetSongLength(const std::string& songNumber) = 0;
    virtual unsigned int GetSongStartTickIndex(const std::string& songNumber) = 0;
    virtual unsigned int GetSongAudioStartTick(const std::string& songNumber) = 0;
    virtual unsigned int GetSongAudioEndTick(const std::string& songNumber) = 0;

    // Bars of the current song (the ones without a song number) or of the given song.
    virtual TL::TimelineSequence<TL::BarsBeats> GetBarsBeats(const std::string& songNumber) = 0;
    // With onClickGrid (the edit tools' bar pickers), the beats are where events can be placed: inside
    // each click edit of the editor's log for the song, a beat at every click of the edit (from the
    // edit's start, and again from each bar start in it), the song's notated beats elsewhere. A bar's
    // beats are numbered on from its first beat's number (a pickup bar keeps its "3, 4 ..."); a bar
    // without a click edit keeps its notated beats. Without it: as the one-argument form.
    virtual TL::TimelineSequence<TL::BarsBeats> GetBarsBeats(const std::string& songNumber, bool onClickGrid) = 0;
    // The beat at or after tick (the song's last beat past it).
    virtual TL::BarsBeats GetBarBeatByTick(unsigned int tick) = 0;
    // The beat of the current song at or after tick (atOrBefore false) or at or before it (true),
    // among the beats of GetBarsBeats(current song, onClickGrid). The click tool passes (false, true),
    // so the positions of a click edit name beats of its own bar list.
    virtual TL::BarsBeats GetBarBeatByTick(unsigned int tick, bool atOrBefore, bool onClickGrid) = 0;
    // The beat at or before tick (the song's first beat before it).
    virtual TL::BarsBeats GetBarBeatLeftByTick(unsigned int tick) = 0;
    // "<bar>:<beat>" of the beat at or before tick.
    virtual std::string GetBarString(unsigned int tick) = 0;
    virtual std::string GetBarString(const std::string& songNumber, unsigned int tick) = 0;
    // The largest shift an event placed on the beat at beatTick may have in the current song: up to
    // (not onto) the next beat with withinBeat, else up to the song's end; 0 when there is no room.
    virtual unsigned int GetAvailableShiftAfterBarBeat(unsigned int beatTick, bool withinBeat) = 0;
    // The click values (notated 32nds per click) offered for [startTick, endTick) of the current
    // song: those of 1, 2, 3, 4, 6, 7, 8, 12, 14, 16, 24, 28, 30, 31, 32 that divide the bar of every
    // meter in force there, ascending.
    virtual std::vector<int> GetClickValues(unsigned int startTick, unsigned int endTick) = 0;
    virtual const TL::Timeline& GetTimeline() = 0;
    // The current song's log as the player plays it.
    virtual const CL::SongLog& GetSongLog() = 0;

    // Change log.
    // Writes the editor's log as version major.minor into the show folder; returns the file's name.
    virtual std::string SaveChangelog(std::uint16_t major, std::uint16_t minor) = 0;
    // The editor's log becomes the one the player plays, from its next MIDI clock.
    virtual void LoadNewChangeLog() = 0;
    // The change-log file loaded last ("" when the show had none). Here: the constructor's second text.
    virtual std::string GetChangelogFilename();
    // Loads a ".logdata" file: a new editor, and the player plays it. Throws what reading it throws.
    virtual void SetChangelogFilename(const std::string& path) = 0;
    // Takes the newest ".logdata" file of the show folder (none: an empty log 1.0) into a new editor,
    // and the player plays it. Throws what reading it throws (CL::ChangeLogVersionError for a newer
    // format), keeping the editor and log it had.
    virtual void LoadChangeLogEditor() = 0;
    // The repairs made to the change log when it was loaded (LoadChangeLogEditor, SetChangelogFilename),
    // which the show manager reports: the click edits whose click the song's meters cannot hold, each
    // given the largest click value that fits (one line each; "" when there was none), and the vamps
    // and repeats whose end lay before their start, turned round (their count, and one line each).
    virtual std::string GetModifiedClickEditLog() = 0;
    virtual int GetInvertedLoopEventCount() = 0;
    virtual std::string GetInvertedLoopEventDescription() = 0;
    // One line per tempo-scale region of the played change log whose factor the player cannot play
    // and limits ("Song 2, bar 5: the tempo scale 3.00 plays as 2.00."); "" when there is none.
    virtual std::string GetTempoScaleWarnings() = 0;
    // "<major>.<minor>" of the editor's log.
    virtual std::string GetLogVersion() = 0;
    // Owned by the engine; replaced when another change-log file is loaded.
    virtual CL::Editor* GetChangeLogEditor() = 0;
    // Copies of the current song's events (the editor's log).
    virtual EventList GetChangeLogPanelEvents() = 0;
    virtual EventsBySong GetChangeLogPanelEventsForAllSongs() = 0;
    virtual EventsBySong GetMarkersForAllSongs() = 0;
    // The current song's markers in the order of the marker engine event's row index.
    virtual EventList GetMarkers() = 0;

    // Mixing and audio.
    virtual void SetTempoScale(double tempoScale);
    virtual void SetTransposition(int semitones);
    // Shows the current position once more (and what changed at it).
    virtual void UpdateOnce();
    virtual void SetOutputDeviceUid(const std::string& uid);
    virtual std::string GetOutputDeviceUid();
    // Volumes as linear gains in [0, 1] (clamped; not a number throws std::invalid_argument). Without
    // a type: the master volume; the program's volume setting uses VolumeType::User (1). What plays
    // is master × user × the fade level (see ShowControl::VolumeAtTick). Setting one sends the engine
    // event StatusVolume with master × user × 1000, rounded.
    virtual void SetVolume(double gain);
    virtual void SetVolume(double gain, brix_audio::VolumeType type);
    virtual double GetVolume();
    virtual double GetVolume(brix_audio::VolumeType type);
    virtual std::map<std::string, CL::OutputPath> GetOutputPathMap() = 0;
    // Adds the path, or replaces the one with its id.
    virtual void onAddOutputhPath(const CL::OutputPath& path) = 0;
    virtual void onRemoveOutputhPath(const CL::OutputPath& path) = 0;

    // MIDI remote control.
    virtual std::vector<MidiEndPoint> GetMidiSources() = 0;
    virtual bool HasMidiSource() = 0;
    // The row of GetMidiSources() that is connected.
    virtual std::uint8_t GetConnectedSourceIndex() = 0;
    // Chooses the MIDI input source by its row in GetMidiSources() (-1: none); an index below -1
    // throws std::out_of_range.
    virtual void SetMidiSource(int source);
    int GetMidiSource() const;
    virtual bool GetHasConductBeat() = 0;
    virtual std::map<std::uint8_t, std::string> GetCommandNames() = 0;
    virtual std::map<std::uint8_t, midi_commands::LearnedCommand> GetLearnedCommands() = 0;
    virtual bool IsMidiCommandLearning(std::uint8_t commandId) = 0;
    virtual void LearnMidiCommand(std::uint8_t commandId) = 0;
    virtual void SetMidiCommand(std::uint8_t commandId, std::uint8_t status, std::uint8_t channel,
                                std::uint8_t note) = 0;
    virtual std::vector<int> GetAllowedCommandStatuses() = 0;

    // OSC.
    virtual void SetOscControlDefaultPort(unsigned short port) = 0;
    virtual void DoOscProcessing(bool on) = 0;
    virtual CL::NetworkPathVectorT GetNetworks() = 0;
    // The destination with that id; a default destination (no address, port 0) when there is none.
    virtual CL::NetworkPath GetNetwork(const std::string& networkId) = 0;

    // Life and score.
    // Stops playback and ends the engine's threads; the engine answers nothing that plays afterwards.
    virtual void Shutdown() = 0;
    virtual std::istream& GetScoreTar() = 0;
    virtual Player& GetPlayer() = 0;

private:
    const std::string showDirectory_;
    const std::string second_;
    mutable std::mutex mutex_;
    int midiSource_ = -1;
    std::atomic<bool> faded_{false};
};
