#pragma once

#include <brix_core/SongData.h>
#include <brix_core/Timeline.h>

#include <cstdint>
#include <memory>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

// Small songs built in code for the stream tests: 4/4 bars of 1920 ticks (480 per quarter), one
// TL::BarsBeats per beat, as the show folder gives them.
namespace stream_songs {

inline constexpr std::uint32_t kBar = 1920;

inline brix_midi::VoiceEvent On(std::uint32_t tick, unsigned short track, int note, int velocity = 100)
{
    return {tick, 0x90, track, static_cast<std::uint8_t>(note), static_cast<std::uint8_t>(velocity)};
}
inline brix_midi::VoiceEvent Off(std::uint32_t tick, unsigned short track, int note, int velocity = 0)
{
    return {tick, 0x80, track, static_cast<std::uint8_t>(note), static_cast<std::uint8_t>(velocity)};
}
inline brix_midi::VoiceEvent CC(std::uint32_t tick, unsigned short track, int controller, int value)
{
    return {tick, 0xB0, track, static_cast<std::uint8_t>(controller), static_cast<std::uint8_t>(value)};
}
inline brix_midi::VoiceEvent PC(std::uint32_t tick, unsigned short track, int program)
{
    return {tick, 0xC0, track, static_cast<std::uint8_t>(program), 0};
}
inline brix_midi::VoiceEvent PB(std::uint32_t tick, unsigned short track, int lsb, int msb)
{
    return {tick, 0xE0, track, static_cast<std::uint8_t>(lsb), static_cast<std::uint8_t>(msb)};
}

struct Track {
    unsigned short id = 0;
    std::vector<brix_midi::VoiceEvent> events;
    std::pair<std::uint8_t, std::uint8_t> range{0, 127};
    std::uint8_t defaultProgram = 0;
};

inline brix_midi::SongData MakeSong(const std::vector<Track>& tracks, std::uint32_t bars = 8,
                                    const std::string& number = "1")
{
    brix_midi::SongData song;
    song.SetSongNumber(number);
    song.SetSongName("Song " + number);
    song.SetResolution(480);
    TL::Timeline timeline;
    for (std::uint32_t bar = 0; bar < bars; ++bar) {
        for (std::uint32_t beat = 0; beat < 4; ++beat) {
            timeline.Add(TL::BarsBeats(bar * kBar + beat * 480, bar + 1, beat + 1));
        }
    }
    timeline.SetLastTickIndex(bars * kBar);
    song.SetTimeline(timeline);
    for (const Track& track : tracks) {
        song.SetVoiceTrack(std::make_shared<brix_midi::VoiceTrack>(
            track.id, "Track " + std::to_string(track.id), track.events, track.defaultProgram, track.range));
    }
    return song;
}

// (port, status, data 1, data 2) of an event as added to a buffer.
using Sent = std::tuple<int, int, int, int>;

inline Sent SentOf(unsigned char port, const brix_midi::VoiceEvent& event)
{
    return {port, event.message.status, event.message.data1, event.message.data2};
}

template <class Added>
std::vector<Sent> SentOf(const Added& added)
{
    std::vector<Sent> sent;
    for (const auto& [port, event] : added) {
        sent.push_back(SentOf(port, event));
    }
    return sent;
}

}  // namespace stream_songs
