#include <brix_core/SongData.h>

#include <algorithm>
#include <ios>
#include <stdexcept>

namespace brix_midi {

VoiceEvent::VoiceEvent(std::uint32_t tickIndex, std::uint8_t status, std::uint8_t data1,
                       std::uint8_t data2)
    : tick(tickIndex), message{status, data1, data2} {}

VoiceEvent::VoiceEvent(std::uint32_t tickIndex, std::uint8_t status, unsigned short trackId,
                       std::uint8_t data1, std::uint8_t data2)
    : VoiceEvent(tickIndex, static_cast<std::uint8_t>((status & 0xF0) | (trackId & 0x0F)), data1,
                 data2) {}

bool VoiceEvent::IsValidVoiceEvent() const {
    return message.status >= 0x80 && message.status <= 0xEF && message.data1 < 0x80 &&
           message.data2 < 0x80;
}

void VoiceEvent::WriteString(std::ostream& out) const {
    out << "tick=" << tick << " status=" << std::hex << std::showbase << unsigned{message.status}
        << std::dec << std::noshowbase << " data1=" << unsigned{message.data1}
        << " data2=" << unsigned{message.data2};
}

VoiceTrack::VoiceTrack(unsigned short trackNumber, std::string trackName,
                       std::vector<VoiceEvent> events, std::uint8_t defaultProgram,
                       std::pair<std::uint8_t, std::uint8_t> noteRange)
    : trackNumber_(trackNumber), trackName_(std::move(trackName)), events_(std::move(events)),
      defaultProgram_(defaultProgram), noteRange_(noteRange) {
    std::stable_sort(events_.begin(), events_.end(),
                     [](const VoiceEvent& a, const VoiceEvent& b) { return a.tick < b.tick; });
}

void SongData::SetVoiceTrack(std::shared_ptr<VoiceTrack> track) {
    const unsigned short id = track->GetTrackNumber();
    voiceData_[id] = std::move(track);
}

unsigned char Groups::AddGroup(std::string name, std::set<unsigned short> trackIds) {
    if (groups_.size() > 255) {
        throw std::length_error("a show has at most 256 groups");
    }
    groups_.emplace_back(std::move(name), std::move(trackIds));
    return static_cast<unsigned char>(groups_.size() - 1);
}

std::set<unsigned short> Groups::GetGroup(unsigned char id) const {
    return id < groups_.size() ? groups_[id].second : std::set<unsigned short>{};
}

std::string Groups::GetGroupName(unsigned char id) const {
    return id < groups_.size() ? groups_[id].first : std::string{};
}

const SongData& ShowData::GetSong(const std::string& songNumber) const {
    const auto found = songs_.find(songNumber);
    if (found == songs_.end()) {
        throw std::out_of_range("the show has no song \"" + songNumber + "\"");
    }
    return *found->second;
}

void ShowData::AddSong(std::shared_ptr<SongData> song) {
    const std::string number = song->GetSongNumber();
    if (!songs_.emplace(number, std::move(song)).second) {
        throw std::invalid_argument("the show already has a song \"" + number + "\"");
    }
}

}  // namespace brix_midi
