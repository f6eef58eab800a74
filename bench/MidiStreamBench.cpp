// Cost of the song streams: building the streams of a show (the loader's work), the memory their
// snapshot tables take, and filling one buffer during playback and after a jump.
//
// Shows: the bundled demo show, and a generated show of 30 songs × 40 tracks × 5 minutes (150 bars
// of 4/4 at 120 quarter notes per minute; every track plays eighth notes with an expression
// controller per beat, a pitch bend per bar on some, and a program change at the start).
//
// Memory is the heap the streams hold once built (the allocator's count of bytes in use):
// the song's tracks are shared with the show and not counted, so it is the snapshot table plus the
// stream's current state.

#include "MidiBuffer.h"
#include "TarnwickMidiStream.h"

#include <brix_core/ShowFolder.h>

#include <benchmark/benchmark.h>

#include <malloc.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace {

// Heap bytes in use (the benchmark runs on one thread, so the main arena and mmapped blocks hold
// everything it allocates).
long long LiveHeapBytes()
{
    const struct mallinfo2 info = mallinfo2();
    return static_cast<long long>(info.uordblks + info.hblkhd);
}

constexpr std::uint32_t kResolution = 480;
constexpr std::uint32_t kBar = 4 * kResolution;
constexpr std::uint16_t kMaxEventsPerPort = 65535;

// Holds the events of one MIDI clock per port, as the platform's buffer does, and forgets them when
// cleared.
class BenchMidiBuffer : public MidiBuffer {
public:
    explicit BenchMidiBuffer(unsigned char portCount) : MidiBuffer(portCount, "bench"), counts(portCount, 0) {}

    bool AddEventToBuffer(unsigned char port, const brix_midi::VoiceEvent& event) override
    {
        if (counts.at(port) >= kMaxEventsPerPort) {
            return false;
        }
        ++counts[port];
        FilterProgramChange(port, event);
        return true;
    }
    void DoneAddingEventsToBuffer() override {}
    bool GetBufferIsFull(unsigned char port) override { return counts.at(port) >= kMaxEventsPerPort; }
    void* GetPacketDataAtPortIndex(unsigned char port) override { return &counts.at(port); }
    void Clear() { std::fill(counts.begin(), counts.end(), 0); }

private:
    std::vector<unsigned short> counts;
};

brix_midi::VoiceEvent Event(std::uint32_t tick, std::uint8_t status, unsigned short track, int data1, int data2)
{
    return {tick, status, track, static_cast<std::uint8_t>(data1), static_cast<std::uint8_t>(data2)};
}

std::shared_ptr<brix_midi::SongData> GeneratedSong(int number, int tracks, std::uint32_t bars)
{
    auto song = std::make_shared<brix_midi::SongData>();
    song->SetSongNumber(std::to_string(number));
    song->SetResolution(kResolution);
    TL::Timeline timeline;
    for (std::uint32_t bar = 0; bar < bars; ++bar) {
        for (std::uint32_t beat = 0; beat < 4; ++beat) {
            timeline.Add(TL::BarsBeats(bar * kBar + beat * kResolution, bar + 1, beat + 1));
        }
    }
    timeline.SetLastTickIndex(bars * kBar);
    song->SetTimeline(timeline);
    for (int t = 0; t < tracks; ++t) {
        const auto id = static_cast<unsigned short>(t);
        std::vector<brix_midi::VoiceEvent> events{Event(0, 0xC0, id, t % 128, 0), Event(0, 0xB0, id, 7, 100)};
        for (std::uint32_t bar = 0; bar < bars; ++bar) {
            for (std::uint32_t eighth = 0; eighth < 8; ++eighth) {
                const std::uint32_t tick = bar * kBar + eighth * kResolution / 2;
                const int note = 36 + static_cast<int>((bar * 7 + eighth * 5 + static_cast<std::uint32_t>(t) * 3) % 60);
                if (eighth % 2 == 0) {
                    events.push_back(Event(tick, 0xB0, id, 11, static_cast<int>(64 + (bar + eighth) % 64)));
                }
                events.push_back(Event(tick, 0x90, id, note, 90));
                events.push_back(Event(tick + kResolution / 2 - 10, 0x80, id, note, 0));
            }
            if (t % 4 == 0) {
                events.push_back(Event(bar * kBar + kBar - 1, 0xE0, id, 0, static_cast<int>(32 + bar % 64)));
            }
        }
        std::stable_sort(events.begin(), events.end(),
                         [](const brix_midi::VoiceEvent& a, const brix_midi::VoiceEvent& b) { return a.tick < b.tick; });
        song->SetVoiceTrack(std::make_shared<brix_midi::VoiceTrack>(id, "Track " + std::to_string(t), std::move(events),
                                                                    static_cast<std::uint8_t>(t % 128),
                                                                    brix_midi::VoiceTrack::kNoNoteRange));
    }
    return song;
}

const brix_midi::ShowData& LargeShow()
{
    static const brix_midi::ShowData show = [] {
        brix_midi::ShowData generated;
        for (int number = 1; number <= 30; ++number) {
            generated.AddSong(GeneratedSong(number, 40, 150));
        }
        return generated;
    }();
    return show;
}

const brix_midi::ShowData& DemoShow()
{
    static const brix_midi::ShowData show = brix_midi::LoadShowFolder(BRIX_DEMO_SHOW_DIR).show;
    return show;
}

void BuildStreams(benchmark::State& state, const brix_midi::ShowData& show)
{
    long long streamBytes = 0;
    long long events = 0;
    for (const auto& [number, song] : show.GetSongs()) {
        for (const auto& [id, track] : song->GetVoiceData()) {
            events += static_cast<long long>(track->GetEvents().size());
        }
    }
    for (auto _ : state) {
        const long long before = LiveHeapBytes();
        std::vector<std::unique_ptr<MidiStream>> streams;
        for (const auto& [number, song] : show.GetSongs()) {
            streams.push_back(std::make_unique<TarnwickMidiStream>(*song));
        }
        streamBytes = LiveHeapBytes() - before;
        benchmark::DoNotOptimize(streams.data());
    }
    state.counters["songs"] = static_cast<double>(show.GetSongs().size());
    state.counters["events"] = static_cast<double>(events);
    state.counters["streams_MiB"] = static_cast<double>(streamBytes) / (1024.0 * 1024.0);
    state.counters["bytes_per_event"] = events > 0 ? static_cast<double>(streamBytes) / static_cast<double>(events) : 0.0;
}

void BM_BuildDemoShowStreams(benchmark::State& state)
{
    BuildStreams(state, DemoShow());
}
BENCHMARK(BM_BuildDemoShowStreams)->Unit(benchmark::kMillisecond);

void BM_BuildLargeShowStreams(benchmark::State& state)
{
    BuildStreams(state, LargeShow());
}
BENCHMARK(BM_BuildLargeShowStreams)->Unit(benchmark::kMillisecond)->Iterations(3);

// One regular fill of one MIDI clock (20 ticks) of a 40-track song, playing through the song.
void BM_FillOneClock(benchmark::State& state)
{
    const auto& song = *LargeShow().GetSongs().begin()->second;
    TarnwickMidiStream stream(song);
    BenchMidiBuffer buffer(3);
    const std::uint32_t clock = kResolution / 24;
    const std::uint32_t last = song.GetTimeline().GetLastTickIndex();
    std::uint32_t position = 0;
    stream.Seek(0);
    for (auto _ : state) {
        position += clock;
        if (position > last) {
            state.PauseTiming();
            position = clock;
            stream.Seek(0);
            state.ResumeTiming();
        }
        buffer.Clear();
        stream.EnqueueEvents(position, 0, buffer, false);
    }
}
BENCHMARK(BM_FillOneClock)->Unit(benchmark::kMicrosecond);

// A jump: Seek to another bar, then the transition fill (releases, held state, the clock's events).
void BM_JumpAndFill(benchmark::State& state)
{
    const auto& song = *LargeShow().GetSongs().begin()->second;
    TarnwickMidiStream stream(song);
    BenchMidiBuffer buffer(3);
    std::uint32_t bar = 0;
    for (auto _ : state) {
        bar = (bar + 37) % 150;
        const std::uint32_t target = bar * kBar + kResolution + 7;
        buffer.Clear();
        stream.Seek(target);
        stream.EnqueueEventsWithPersistence(target + kResolution / 24, 0, 0, buffer, true);
    }
}
BENCHMARK(BM_JumpAndFill)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
