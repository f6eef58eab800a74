#pragma once

#include <brix_core/Timeline.h>

#include <fennic/NumericStringCompare.h>
#include <fennic/PtrMap.h>

#include <cstdint>
#include <memory>
#include <ostream>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace std_midi {

// A channel voice message: status (with the channel in its low four bits) and two data bytes
// (data2 is 0 for program change and channel pressure).
struct VoiceMessage {
    std::uint8_t status = 0;
    std::uint8_t data1 = 0;
    std::uint8_t data2 = 0;

    friend bool operator==(const VoiceMessage&, const VoiceMessage&) = default;
};
static_assert(sizeof(VoiceMessage) == 3);

}  // namespace std_midi

namespace brix_midi {

// One event of a voice track: a tick index and a channel voice message.
struct VoiceEvent {
    std::uint32_t tick = 0;
    std_midi::VoiceMessage message;

    VoiceEvent() = default;
    VoiceEvent(std::uint32_t tickIndex, std::uint8_t status, std::uint8_t data1, std::uint8_t data2);
    // The message on the channel of a track id (its low four bits replace those of status).
    VoiceEvent(std::uint32_t tickIndex, std::uint8_t status, unsigned short trackId, std::uint8_t data1,
               std::uint8_t data2);

    // A channel voice status (0x80 to 0xEF) with both data bytes below 0x80.
    bool IsValidVoiceEvent() const;
    // One line without a line end, e.g. "tick=480 status=0x90 data1=60 data2=100".
    void WriteString(std::ostream& out) const;

    friend bool operator==(const VoiceEvent&, const VoiceEvent&) = default;
};

// The events of one track of a song, in tick order (events of one tick keep the order they were given
// in), with the track's number, name, default program and note range. Immutable once built, so copies
// of a song may share it.
class VoiceTrack {
public:
    // No note range: both values 255.
    static constexpr std::pair<std::uint8_t, std::uint8_t> kNoNoteRange{255, 255};

    VoiceTrack(unsigned short trackNumber, std::string trackName, std::vector<VoiceEvent> events,
               std::uint8_t defaultProgram, std::pair<std::uint8_t, std::uint8_t> noteRange);

    // The track id: (port << 4) | channel.
    unsigned short GetTrackNumber() const { return trackNumber_; }
    const std::string& GetTrackName() const { return trackName_; }
    const std::vector<VoiceEvent>& GetEvents() const { return events_; }
    std::uint8_t GetDefaultProgramChange() const { return defaultProgram_; }
    // (lowest, highest) note of the pitched range; kNoNoteRange for a track of switches (drums).
    std::pair<std::uint8_t, std::uint8_t> GetNoteRange() const { return noteRange_; }

private:
    unsigned short trackNumber_;
    std::string trackName_;
    std::vector<VoiceEvent> events_;
    std::uint8_t defaultProgram_;
    std::pair<std::uint8_t, std::uint8_t> noteRange_;
};

// The tracks of a song by track id.
using VoiceData = fennic::ptr_map<unsigned short, VoiceTrack>;

// One song: number, name, whether the next song follows without a stop (attacca), resolution in
// ticks per quarter note, timeline, voice tracks and the tick at which playing starts. Copies share
// the voice tracks. Not thread-safe; a loaded song is only read.
class SongData {
public:
    const std::string& GetSongNumber() const { return songNumber_; }
    const std::string& GetSongName() const { return songName_; }
    bool GetAttacca() const { return attacca_; }
    std::uint16_t GetResolution() const { return resolution_; }
    const TL::Timeline& GetTimeline() const { return timeline_; }
    const VoiceData& GetVoiceData() const { return voiceData_; }
    std::uint32_t GetSongStartTickIndex() const { return songStartTickIndex_; }

    void SetSongNumber(std::string number) { songNumber_ = std::move(number); }
    void SetSongName(std::string name) { songName_ = std::move(name); }
    void SetAttacca(bool attacca) { attacca_ = attacca; }
    void SetResolution(std::uint16_t ticksPerQuarter) { resolution_ = ticksPerQuarter; }
    void SetTimeline(TL::Timeline timeline) { timeline_ = std::move(timeline); }
    void SetSongStartTickIndex(std::uint32_t tick) { songStartTickIndex_ = tick; }
    // Adds or replaces the track under its track number.
    void SetVoiceTrack(std::shared_ptr<VoiceTrack> track);

private:
    std::string songNumber_;
    std::string songName_;
    bool attacca_ = false;
    std::uint16_t resolution_ = 480;
    TL::Timeline timeline_;
    VoiceData voiceData_;
    std::uint32_t songStartTickIndex_ = 0;
};

// The show's named groups of track ids ("Instruments", "Vocal Parts" ...), numbered from 0 in the order
// they were added.
class Groups {
public:
    // Returns the new group's id. Throws std::length_error beyond 256 groups.
    unsigned char AddGroup(std::string name, std::set<unsigned short> trackIds);
    // The track ids of a group; empty for an id without a group.
    std::set<unsigned short> GetGroup(unsigned char id) const;
    // The group's name; "" for an id without a group.
    std::string GetGroupName(unsigned char id) const;
    std::size_t GetGroupCount() const { return groups_.size(); }

private:
    std::vector<std::pair<std::string, std::set<unsigned short>>> groups_;
};

// The songs of a show keyed by song number, ordered as numbers ("2" < "10" < "10A"), with the show's
// name, customer and groups. Copies share the songs. Not thread-safe; a loaded show is only read.
class ShowData {
public:
    using SongMap = fennic::ptr_map<std::string, SongData, fennic::NumericStringCompare>;

    const SongMap& GetSongs() const { return songs_; }
    // Throws std::out_of_range naming the number when the show has no such song.
    const SongData& GetSong(const std::string& songNumber) const;
    const std::string& GetName() const { return name_; }
    const std::string& GetCustomer() const { return customer_; }
    const Groups& GetGroups() const { return groups_; }

    void SetName(std::string name) { name_ = std::move(name); }
    void SetCustomer(std::string customer) { customer_ = std::move(customer); }
    void SetGroups(Groups groups) { groups_ = std::move(groups); }
    // Throws std::invalid_argument when the show already has a song of that number.
    void AddSong(std::shared_ptr<SongData> song);

private:
    SongMap songs_;
    std::string name_;
    std::string customer_;
    Groups groups_;
};

}  // namespace brix_midi

namespace gm {

// The show data of the Gantrymere product: a show whose groups serve as mute groups.
class GantrymereShowData : public brix_midi::ShowData {
public:
    GantrymereShowData() = default;
    explicit GantrymereShowData(brix_midi::ShowData show) : brix_midi::ShowData(std::move(show)) {}
};

}  // namespace gm
