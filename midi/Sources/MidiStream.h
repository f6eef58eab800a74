#pragma once

#include "MidiBuffer.h"
#include "PersistentMIDI.h"

#include <brix_core/SongData.h>

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

// MidiStream: turns one song's voice tracks into MIDI events for the output buffers. It owns a copy
// of the song, keeps a cursor per track to the next event to play, and on each fill copies into a
// MidiBuffer every event before the requested tick index, recording what each track holds in force
// (PersistentMIDI) so that a start in the middle of the song, a jump, a change of transposition or an
// unmute can bring the output into the state the song would have produced. It transposes pitched
// notes, keeps muted tracks silent and keeps the song's program changes away from tracks on which the
// user chose a program. The variants (TarnwickMidiStream, GantrymereMidiStream) set the note ranges
// and the volume scaling.
//
// A track id names the destination: port = id >> 4, channel = id & 15.
//
// Snapshots: the held state of every track at every bar start is built once at construction, so a
// seek replays at most one bar per track. Every snapshot holds every track; a track's record is
// shared with the previous bar's snapshot when the bar has no event of that track.
//
// Owner: the stream collection (one stream per song). Copyable: copies share the immutable song
// tracks and snapshots.
// Threads: none of its own, and no lock: the callers serialise every call. The enqueue operations and
// AllNotesOff run on the queue thread and hold the buffer's lock (GetMutex()) for their whole call;
// Seek, the mute and the program operations run on the engine's threads under the show control's
// lock.
//
// Full buffers: a port that is full stops the song events for the next fill, which continues from the
// cursors. Releases (note-offs, controller resets) that do not fit are carried and go out first in the
// next buffer; other held-state events that do not fit are dropped with a "WARNING: " line. A port
// beyond the buffer's port count is never written to (one "WARNING: " line per port).
class MidiStream {
public:
    using TrackStates = std::map<unsigned short, PersistentMIDI>;

    MidiStream(const MidiStream&) = default;
    MidiStream& operator=(const MidiStream&) = default;
    virtual ~MidiStream();

    std::map<unsigned short, std::string> GetTrackNamesByTrackId() const { return trackNames; }
    std::map<unsigned short, unsigned char> GetCurrentProgramChangesByTrackId() const { return currentPrograms; }

    // --- filling (queue thread; each holds the buffer's lock for the whole call) ---

    // The regular fill: events before tickIndex (exclusive). Re-sends the volume of re-trimmed
    // tracks first (Gantrymere), and with sendAllNotesOff asks the buffer to switch all notes off.
    void EnqueueEvents(unsigned int tickIndex, signed char transposition, MidiBuffer& buffer, bool sendAllNotesOff);
    // The first buffer after playback starts: the held state at the position, then the fill.
    void EnqueueInitialEvents(unsigned int tickIndex, signed char transposition, MidiBuffer& buffer);
    // A song that follows attacca: as EnqueueInitialEvents.
    void EnqueueAttacca(unsigned int tickIndex, signed char transposition, MidiBuffer& buffer);
    // The transition after a jump (afterJump: from the state before the last Seek) or after a change
    // of the song's transposition (from the current state): releases what is held only before,
    // strikes what is held only after, keeps notes held on both sides when the transposition is
    // unchanged; then the fill.
    void EnqueueEventsWithPersistence(unsigned int tickIndex, signed char transposition,
                                      signed char previousTransposition, MidiBuffer& buffer, bool afterJump);
    // Releases every note and switch and resets every controller of the state sounding at the output.
    // The state is not changed.
    void AllNotesOff(signed char transposition, MidiBuffer& buffer);

    // Moves the stream to a tick index: the held state becomes the song's state just before it, the
    // cursors the first events at or after it. Nothing is sent.
    void Seek(unsigned int tickIndex);

    // --- muting (engine threads, between fills) ---
    void MuteTrack(unsigned short trackId);
    // Only a muted track is unmuted; its held state is sent at the next fill.
    void UnmuteTrack(unsigned short trackId);
    // Unmutes every track without re-sending held states.
    void UnmuteAll();
    void ResetMuteSettings();
    void SetMutedTracks(const std::map<unsigned short, bool>& muted);
    void SetMutedTracks(const std::set<unsigned short>& muted);
    // The next fill sends all notes off (CC 123) and reset all controllers (CC 121) on every muted
    // track.
    void SendAllNotesOffForMutedTracks();

    // --- programs (engine threads, between fills) ---
    void SetUserProgramChange(unsigned short trackId, unsigned char program);
    void SetUserProgramChanges(const std::map<unsigned short, unsigned char>& programs);
    // Drops the user programs; the next fill sends every track's program in force.
    void FollowMidiProgramChanges();
    void ResetProgramChanges();

protected:
    explicit MidiStream(const brix_midi::SongData& song);

    // Builds the snapshot table and seeks to the song start. The variant constructors call it last,
    // so that their SetPersistentTrackRange applies.
    void InitializePersistenceData();

    virtual void ScaleVolumeCc(unsigned short trackId, brix_midi::VoiceEvent* event);
    virtual void SendPersistentVolumeForScaledTracks_(MidiBuffer& buffer);
    virtual void SetPersistentTrackRange(PersistentMIDI& state, const brix_midi::VoiceTrack& track);

    // For the variants' constructors.
    void SetTrackName(unsigned short trackId, const std::string& name) { trackNames[trackId] = name; }
    void SetDefaultProgram(unsigned short trackId, unsigned char program) { defaultPrograms[trackId] = program; }
    void SetCurrentProgram(unsigned short trackId, unsigned char program) { currentPrograms[trackId] = program; }
    void SetCurrentProgramsToDefaults() { currentPrograms = defaultPrograms; }
    const TrackStates& GetCurrentState() const { return currentState; }

    // Adds an event that is part of a held state; when it does not fit it is dropped and counted
    // for the operation's warning line.
    void AddHeldEvent(unsigned short trackId, const brix_midi::VoiceEvent& event, MidiBuffer& buffer);

private:
    // One bar start's held state: a record per track, in the order of the song's voice data
    // (ascending track id).
    struct Snapshot {
        std::uint32_t tick = 0;
        std::vector<std::shared_ptr<const PersistentMIDI>> tracks;
    };
    // What undoes a held state, per track id.
    struct Releases {
        std::map<unsigned short, PersistentMIDI::EventMap> noteOffs;
        std::map<unsigned short, PersistentMIDI::EventMap> switchOffs;
        std::map<unsigned short, PersistentMIDI::EventMap> ccResets;
    };

    void Enqueue_(unsigned int tickIndex, signed char transposition, MidiBuffer& buffer);
    void SendResetsForMutedTracks_(MidiBuffer& buffer);
    void RefreshUnmutedTracks_(signed char transposition, MidiBuffer& buffer);
    void EnqueueTrackEvents_(unsigned int tickIndex, signed char transposition, MidiBuffer& buffer);
    void SendPersistenceData_(TrackStates states, signed char transposition, MidiBuffer& buffer);
    void SendPersistentProgramChanges(TrackStates states, MidiBuffer& buffer);

    static Releases CollectReleases_(const TrackStates& held);
    // All note-offs (transposed by the record that held each note), then all switch-offs, then all
    // controller resets.
    void SendReleases_(const TrackStates& held, const Releases& releases, signed char transposition,
                       MidiBuffer& buffer);

    // The snapshot with the greatest tick index not above tickIndex.
    const Snapshot& SnapshotAt_(unsigned int tickIndex) const;
    // The state of the track (at trackIndex in the voice data) just before tickIndex, rebuilt from
    // the snapshots; nextEvent receives the position of the track's first event at or after it.
    PersistentMIDI StateBefore_(std::size_t trackIndex, const brix_midi::VoiceTrack& track, unsigned int tickIndex,
                                std::size_t& nextEvent) const;
    TrackStates& InForceState_() { return inForceIsPrevious ? previousState : currentState; }

    // Adds a release; when it does not fit it is carried to the next buffer.
    void AddRelease_(unsigned short trackId, const brix_midi::VoiceEvent& event, MidiBuffer& buffer);
    // Sends the releases carried from earlier buffers, in their order, as far as they fit.
    void SendCarriedReleases_(MidiBuffer& buffer);
    // Whether the buffer has the port; warns once per port when it has not.
    bool HasPort_(MidiBuffer& buffer, unsigned char port);
    // Writes one warning line for the held-state events the operation could not send.
    void ReportDroppedEvents_(const char* operation);

    brix_midi::SongData song;
    std::vector<std::size_t> nextEvents;  // per track, in the order of the song's voice data
    unsigned int lastTickIndex = 0;
    std::vector<Snapshot> snapshots;  // ascending tick index; the first at 0
    TrackStates currentState;
    TrackStates previousState;
    bool inForceIsPrevious = false;  // which state inForceState designates
    std::set<unsigned short> mutedTracks;
    std::set<unsigned short> tracksToRefresh;
    std::map<unsigned short, std::string> trackNames;
    std::map<unsigned short, unsigned char> defaultPrograms;
    std::map<unsigned short, unsigned char> currentPrograms;
    std::map<unsigned short, unsigned char> userPrograms;
    bool resendProgramChanges = false;
    bool sendAllNotesOffForMuted = false;

    std::vector<std::pair<unsigned char, brix_midi::VoiceEvent>> carriedReleases;  // (port, event)
    std::size_t droppedHeldEvents = 0;
    std::set<unsigned char> warnedPorts;
};
