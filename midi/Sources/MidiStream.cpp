#include "MidiStream.h"
#include "MidiStatus.h"

#include <fennic/CoutBuffer.h>

#include <algorithm>
#include <iterator>

namespace {

using namespace midi_status;

using BufferGuard = std::lock_guard<std::recursive_mutex>;

unsigned char PortOf(unsigned short trackId)
{
    return static_cast<unsigned char>(trackId >> 4);
}

bool IsProgramChange(const brix_midi::VoiceEvent& event)
{
    return (event.message.status & 0xF0) == kProgramChange;
}

// The position of the first event at or after tickIndex.
std::size_t FirstEventAtOrAfter(const std::vector<brix_midi::VoiceEvent>& events, std::uint32_t tickIndex)
{
    const auto found = std::lower_bound(events.begin(), events.end(), tickIndex,
                                        [](const brix_midi::VoiceEvent& e, std::uint32_t tick) { return e.tick < tick; });
    return static_cast<std::size_t>(std::distance(events.begin(), found));
}

}  // namespace

MidiStream::MidiStream(const brix_midi::SongData& songData) : song(songData) {}

MidiStream::~MidiStream() = default;

// ---------------------------------------------------------------------------------------------------
// Snapshots and seeking

void MidiStream::InitializePersistenceData()
{
    std::vector<std::uint32_t> barStarts;
    for (const TL::BarsBeats& beat : song.GetTimeline().GetBarsBeats()) {
        if (beat.beat == 1 && beat.tick > 0 && (barStarts.empty() || beat.tick > barStarts.back())) {
            barStarts.push_back(beat.tick);
        }
    }
    const auto& voiceData = song.GetVoiceData();
    snapshots.assign(barStarts.size() + 1, Snapshot{});
    for (std::size_t bar = 0; bar < barStarts.size(); ++bar) {
        snapshots[bar + 1].tick = barStarts[bar];
    }
    for (Snapshot& snapshot : snapshots) {
        snapshot.tracks.reserve(voiceData.size());
    }

    for (const auto& [id, track] : voiceData) {
        auto initial = std::make_shared<PersistentMIDI>();
        SetPersistentTrackRange(*initial, *track);
        std::shared_ptr<const PersistentMIDI> held = std::move(initial);
        snapshots.front().tracks.push_back(held);

        const auto& events = track->GetEvents();
        std::size_t cursor = 0;
        for (std::size_t bar = 1; bar < snapshots.size(); ++bar) {
            const std::uint32_t barStart = snapshots[bar].tick;
            if (cursor < events.size() && events[cursor].tick < barStart) {
                // The bar changed the track: a record of its own. Otherwise the previous one is shared.
                auto changed = std::make_shared<PersistentMIDI>(*held);
                for (; cursor < events.size() && events[cursor].tick < barStart; ++cursor) {
                    changed->AddEvent(events[cursor]);
                }
                held = std::move(changed);
            }
            snapshots[bar].tracks.push_back(held);
        }
    }
    nextEvents.assign(voiceData.size(), 0);
    Seek(song.GetSongStartTickIndex());
}

const MidiStream::Snapshot& MidiStream::SnapshotAt_(unsigned int tickIndex) const
{
    const auto after = std::upper_bound(snapshots.begin(), snapshots.end(), tickIndex,
                                        [](unsigned int tick, const Snapshot& s) { return tick < s.tick; });
    return *std::prev(after);
}

PersistentMIDI MidiStream::StateBefore_(std::size_t trackIndex, const brix_midi::VoiceTrack& track,
                                        unsigned int tickIndex, std::size_t& nextEvent) const
{
    const Snapshot& snapshot = SnapshotAt_(tickIndex);
    PersistentMIDI state = *snapshot.tracks[trackIndex];
    const auto& events = track.GetEvents();
    nextEvent = FirstEventAtOrAfter(events, snapshot.tick);
    for (; nextEvent < events.size() && events[nextEvent].tick < tickIndex; ++nextEvent) {
        state.AddEvent(events[nextEvent]);
    }
    return state;
}

void MidiStream::Seek(unsigned int tickIndex)
{
    // The state sounding at the output is the one a later transition releases. After a seek nothing
    // of the new position sounds until a fill, so a second seek before it keeps the sounding state.
    if (!inForceIsPrevious) {
        previousState = currentState;
        inForceIsPrevious = true;
    }
    currentState.clear();
    std::size_t index = 0;
    for (const auto& [id, track] : song.GetVoiceData()) {
        currentState.emplace(id, StateBefore_(index, *track, tickIndex, nextEvents[index]));
        ++index;
    }
    lastTickIndex = tickIndex;
}

// ---------------------------------------------------------------------------------------------------
// Filling

void MidiStream::EnqueueEvents(unsigned int tickIndex, signed char transposition, MidiBuffer& buffer,
                               bool sendAllNotesOff)
{
    BufferGuard guard(buffer.GetMutex());
    if (sendAllNotesOff) {
        buffer.SetShouldSendAllNotesOff();
    }
    SendCarriedReleases_(buffer);
    SendPersistentVolumeForScaledTracks_(buffer);
    Enqueue_(tickIndex, transposition, buffer);
    ReportDroppedEvents_("EnqueueEvents");
}

void MidiStream::EnqueueInitialEvents(unsigned int tickIndex, signed char transposition, MidiBuffer& buffer)
{
    BufferGuard guard(buffer.GetMutex());
    SendCarriedReleases_(buffer);
    SendPersistenceData_(currentState, transposition, buffer);
    Enqueue_(tickIndex, transposition, buffer);
    ReportDroppedEvents_("EnqueueInitialEvents");
}

void MidiStream::EnqueueAttacca(unsigned int tickIndex, signed char transposition, MidiBuffer& buffer)
{
    EnqueueInitialEvents(tickIndex, transposition, buffer);
}

void MidiStream::EnqueueEventsWithPersistence(unsigned int tickIndex, signed char transposition,
                                              signed char previousTransposition, MidiBuffer& buffer, bool afterJump)
{
    BufferGuard guard(buffer.GetMutex());
    SendCarriedReleases_(buffer);
    TrackStates target = currentState;
    const TrackStates& left = afterJump ? previousState : currentState;
    Releases releases = CollectReleases_(left);
    for (const auto& [id, held] : left) {
        PersistentMIDI& to = target[id];
        if (transposition == previousTransposition) {
            for (const auto& [note, off] : to.FilterNotes(releases.noteOffs[id])) {
                releases.noteOffs[id].erase(note);
            }
        }
        for (const auto& [note, off] : to.FilterSwitches(releases.switchOffs[id])) {
            releases.switchOffs[id].erase(note);
        }
        for (const auto& [controller, reset] : to.FilterCCs(releases.ccResets[id])) {
            releases.ccResets[id].erase(controller);
        }
    }
    SendReleases_(left, releases, previousTransposition, buffer);
    SendPersistenceData_(std::move(target), transposition, buffer);
    Enqueue_(tickIndex, transposition, buffer);
    ReportDroppedEvents_("EnqueueEventsWithPersistence");
}

void MidiStream::AllNotesOff(signed char transposition, MidiBuffer& buffer)
{
    BufferGuard guard(buffer.GetMutex());
    SendCarriedReleases_(buffer);
    const TrackStates& held = InForceState_();
    SendReleases_(held, CollectReleases_(held), transposition, buffer);
}

void MidiStream::Enqueue_(unsigned int tickIndex, signed char transposition, MidiBuffer& buffer)
{
    SendResetsForMutedTracks_(buffer);
    RefreshUnmutedTracks_(transposition, buffer);
    EnqueueTrackEvents_(tickIndex, transposition, buffer);
    if (resendProgramChanges) {
        resendProgramChanges = false;
        SendPersistentProgramChanges(currentState, buffer);
    }
    lastTickIndex = tickIndex;
    buffer.DoneAddingEventsToBuffer();
    inForceIsPrevious = false;
}

void MidiStream::SendResetsForMutedTracks_(MidiBuffer& buffer)
{
    if (!sendAllNotesOffForMuted) {
        return;
    }
    sendAllNotesOffForMuted = false;
    for (unsigned short id : mutedTracks) {
        AddRelease_(id, brix_midi::VoiceEvent(0, kControlChange, id, kAllNotesOff, 0), buffer);
        AddRelease_(id, brix_midi::VoiceEvent(0, kControlChange, id, kResetAllControllers, 0), buffer);
    }
}

void MidiStream::RefreshUnmutedTracks_(signed char transposition, MidiBuffer& buffer)
{
    if (tracksToRefresh.empty()) {
        return;
    }
    TrackStates refreshed;
    const auto& voiceData = song.GetVoiceData();
    for (unsigned short id : tracksToRefresh) {
        const auto found = voiceData.find(id);
        if (found == voiceData.end()) {
            fennic::CoutBuffer() << "WARNING: MidiStream: song " << song.GetSongNumber() << " has no track " << id
                                 << "; its unmute sends nothing." << fennic::endl;
            continue;
        }
        const auto index = static_cast<std::size_t>(std::distance(voiceData.begin(), found));
        std::size_t nextEvent = 0;
        PersistentMIDI state = StateBefore_(index, *found->second, lastTickIndex, nextEvent);
        // Stored, so that later transitions and releases know what the refresh strikes.
        currentState[id] = state;
        refreshed.emplace(id, std::move(state));
    }
    tracksToRefresh.clear();
    SendPersistenceData_(std::move(refreshed), transposition, buffer);
}

void MidiStream::EnqueueTrackEvents_(unsigned int tickIndex, signed char transposition, MidiBuffer& buffer)
{
    // Once a port is full, the remaining tracks wait for the next buffer; muted tracks still keep
    // pace, since they send nothing.
    bool stopped = false;
    std::size_t index = 0;
    for (const auto& [id, track] : song.GetVoiceData()) {
        std::size_t& next = nextEvents[index++];
        const auto& events = track->GetEvents();
        if (mutedTracks.contains(id)) {
            for (; next < events.size() && events[next].tick < tickIndex; ++next) {
            }
            continue;
        }
        if (stopped || next >= events.size()) {
            continue;
        }
        const unsigned char port = PortOf(id);
        const bool sendable = HasPort_(buffer, port);
        if (sendable && buffer.GetBufferIsFull(port)) {
            stopped = true;
            continue;
        }
        PersistentMIDI& state = currentState[id];
        for (; next < events.size() && events[next].tick < tickIndex; ++next) {
            brix_midi::VoiceEvent event = state.AddEvent(events[next], transposition);
            if (!sendable) {
                continue;  // recorded, so the state stays true, but the buffer has no such port
            }
            if (IsProgramChange(event)) {
                currentPrograms[id] = event.message.data1;
                if (userPrograms.contains(id)) {
                    continue;
                }
            }
            ScaleVolumeCc(id, &event);
            if (!buffer.AddEventToBuffer(port, event)) {
                break;  // the cursor stays on this event; the next buffer sends it
            }
        }
    }
}

// ---------------------------------------------------------------------------------------------------
// Held states

void MidiStream::SendPersistenceData_(TrackStates states, signed char transposition, MidiBuffer& buffer)
{
    for (const auto& [id, state] : states) {
        if (mutedTracks.contains(id)) {
            continue;
        }
        for (const auto& [note, on] : state.GetSwitches()) {
            AddHeldEvent(id, on, buffer);
        }
        for (const auto& [controller, held] : state.GetCCs()) {
            brix_midi::VoiceEvent scaled = held;
            ScaleVolumeCc(id, &scaled);
            AddHeldEvent(id, scaled, buffer);
        }
        AddHeldEvent(id, state.GetHasPitchBend() ? state.GetPitchBend() : brix_midi::VoiceEvent(0, kPitchBend, id, 0, 0x40),
                     buffer);
        if (!userPrograms.contains(id) && state.HasProgramChange()) {
            currentPrograms[id] = state.GetProgramChange().message.data1;
            AddHeldEvent(id, state.GetProgramChange(), buffer);
        }
        for (const auto& [note, on] : state.GetNotes()) {
            AddHeldEvent(id, state.GetTransposedEvent(on, transposition), buffer);
        }
    }
}

void MidiStream::SendPersistentProgramChanges(TrackStates states, MidiBuffer& buffer)
{
    for (const auto& [id, state] : states) {
        if (state.HasProgramChange()) {
            AddHeldEvent(id, state.GetProgramChange(), buffer);
        }
    }
}

MidiStream::Releases MidiStream::CollectReleases_(const TrackStates& held)
{
    const PersistentMIDI::EventMap none;
    Releases releases;
    for (const auto& [id, state] : held) {
        releases.noteOffs[id] = state.GetInverseNotes(none);
        releases.switchOffs[id] = state.GetInverseSwitches(none);
        releases.ccResets[id] = state.GetInverseCCs(none);
    }
    return releases;
}

void MidiStream::SendReleases_(const TrackStates& held, const Releases& releases, signed char transposition,
                               MidiBuffer& buffer)
{
    for (const auto& [id, offs] : releases.noteOffs) {
        const PersistentMIDI& holder = held.at(id);
        for (const auto& [note, off] : offs) {
            AddRelease_(id, holder.GetTransposedEvent(off, transposition), buffer);
        }
    }
    for (const auto& [id, offs] : releases.switchOffs) {
        for (const auto& [note, off] : offs) {
            AddRelease_(id, off, buffer);
        }
    }
    for (const auto& [id, resets] : releases.ccResets) {
        for (const auto& [controller, reset] : resets) {
            brix_midi::VoiceEvent scaled = reset;
            ScaleVolumeCc(id, &scaled);
            AddRelease_(id, scaled, buffer);
        }
    }
}

// ---------------------------------------------------------------------------------------------------
// Adding to the buffer

bool MidiStream::HasPort_(MidiBuffer& buffer, unsigned char port)
{
    const unsigned char portCount = buffer.GetPortCount();
    if (port < portCount) {
        return true;
    }
    if (warnedPorts.insert(port).second) {
        fennic::CoutBuffer() << "WARNING: MidiStream: song " << song.GetSongNumber() << " uses port "
                             << static_cast<int>(port) << " but the output has " << static_cast<int>(portCount)
                             << " ports; nothing is sent to it." << fennic::endl;
    }
    return false;
}

void MidiStream::AddHeldEvent(unsigned short trackId, const brix_midi::VoiceEvent& event, MidiBuffer& buffer)
{
    const unsigned char port = PortOf(trackId);
    if (HasPort_(buffer, port) && !buffer.AddEventToBuffer(port, event)) {
        ++droppedHeldEvents;
    }
}

void MidiStream::AddRelease_(unsigned short trackId, const brix_midi::VoiceEvent& event, MidiBuffer& buffer)
{
    const unsigned char port = PortOf(trackId);
    if (HasPort_(buffer, port) && !buffer.AddEventToBuffer(port, event)) {
        carriedReleases.emplace_back(port, event);
    }
}

void MidiStream::SendCarriedReleases_(MidiBuffer& buffer)
{
    if (carriedReleases.empty()) {
        return;
    }
    std::vector<std::pair<unsigned char, brix_midi::VoiceEvent>> stillCarried;
    std::set<unsigned char> fullPorts;
    for (const auto& [port, event] : carriedReleases) {
        if (!HasPort_(buffer, port)) {
            continue;
        }
        // Once a port refuses an event, its later releases wait too, so they keep their order.
        if (fullPorts.contains(port) || !buffer.AddEventToBuffer(port, event)) {
            fullPorts.insert(port);
            stillCarried.emplace_back(port, event);
        }
    }
    carriedReleases = std::move(stillCarried);
}

void MidiStream::ReportDroppedEvents_(const char* operation)
{
    if (droppedHeldEvents == 0) {
        return;
    }
    fennic::CoutBuffer() << "WARNING: MidiStream::" << operation << ": the buffer was full; " << droppedHeldEvents
                         << " events of the held state of song " << song.GetSongNumber() << " were not sent."
                         << fennic::endl;
    droppedHeldEvents = 0;
}

// ---------------------------------------------------------------------------------------------------
// Variant hooks

void MidiStream::ScaleVolumeCc(unsigned short, brix_midi::VoiceEvent*) {}

void MidiStream::SendPersistentVolumeForScaledTracks_(MidiBuffer&) {}

void MidiStream::SetPersistentTrackRange(PersistentMIDI& state, const brix_midi::VoiceTrack& track)
{
    state.SetRange(track.GetNoteRange());
}

// ---------------------------------------------------------------------------------------------------
// Muting and programs

void MidiStream::MuteTrack(unsigned short trackId)
{
    mutedTracks.insert(trackId);
}

void MidiStream::UnmuteTrack(unsigned short trackId)
{
    if (mutedTracks.erase(trackId) > 0) {
        tracksToRefresh.insert(trackId);
    }
}

void MidiStream::UnmuteAll()
{
    mutedTracks.clear();
}

void MidiStream::ResetMuteSettings()
{
    mutedTracks.clear();
    tracksToRefresh.clear();
}

void MidiStream::SetMutedTracks(const std::map<unsigned short, bool>& muted)
{
    for (const auto& [id, isMuted] : muted) {
        if (isMuted) {
            MuteTrack(id);
        } else {
            UnmuteTrack(id);
        }
    }
}

void MidiStream::SetMutedTracks(const std::set<unsigned short>& muted)
{
    mutedTracks = muted;
    tracksToRefresh.clear();
}

void MidiStream::SendAllNotesOffForMutedTracks()
{
    sendAllNotesOffForMuted = true;
}

void MidiStream::SetUserProgramChange(unsigned short trackId, unsigned char program)
{
    userPrograms[trackId] = program;
}

void MidiStream::SetUserProgramChanges(const std::map<unsigned short, unsigned char>& programs)
{
    userPrograms = programs;
}

void MidiStream::FollowMidiProgramChanges()
{
    userPrograms.clear();
    resendProgramChanges = true;
}

void MidiStream::ResetProgramChanges()
{
    userPrograms.clear();
    resendProgramChanges = false;
    currentPrograms = defaultPrograms;
}
