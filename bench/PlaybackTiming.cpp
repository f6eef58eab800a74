// playback_timing: plays a song of the demo show into a virtual MIDI output device at tempo scales 1.0
// and 1.5 and reports, for every buffer the output sent, how late it went out against the ideal time
// of its MIDI clock on the song's tempo map (median, 99th percentile, maximum), the cumulative drift at
// the song's end, and the process CPU time per minute of music.
//
//   playback_timing [song number]   (default "1")

#include "Fixtures.h"

#include "win32/MidiOutputWin32.h"

#include <brix_core/CallbackDispatcher.h>
#include <brix_core/NotifyNames.h>
#include <brix_core/ShowFolder.h>

#include <winmm_virtual/VirtualMidi.h>

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

struct SentBuffer {
    Clock::time_point at;
    unsigned int tick;
};

double ProcessCpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

double Percentile(std::vector<double> values, double fraction)
{
    std::sort(values.begin(), values.end());
    const auto index = static_cast<std::size_t>(fraction * static_cast<double>(values.size() - 1) + 0.5);
    return values[std::min(index, values.size() - 1)];
}

void PlayAt(brix_midi::LoadedShow& loaded, const std::string& song, double tempoScale)
{
    winmm_virtual::VirtualMidiOutput device(u"playback timing");
    app_test::DemoPlayer player(loaded.show, 2);
    auto& output = dynamic_cast<MidiOutputWin32&>(player.GetMidiOutput());
    output.CreateSynthOutput("");
    player.SetAttaccaState(song, 0);  // one song only

    std::mutex mutex;
    std::condition_variable ended;
    bool stopped = false;
    std::vector<SentBuffer> sent;
    sent.reserve(100000);
    // Time every clock step; a step that sent a buffer moved the output's tick.
    player.GetMidiClock().SetMidiClockCallback([&](double beatsPerMinute) {
        const Clock::time_point at = Clock::now();
        const unsigned int before = output.GetTickIndex();
        output.ProcessMidiClock(beatsPerMinute);
        const unsigned int tick = output.GetTickIndex();
        std::lock_guard lock(mutex);
        if (sent.empty() || tick != before) {
            sent.push_back({at, tick});
        }
    });
    int token = 0;
    notify::callbackDispatcher.AddCallback(&token, notify::names::stopped_at_end_of_song, [&](void*) {
        std::lock_guard lock(mutex);
        stopped = true;
        ended.notify_all();
    });

    player.LoadSong(song);
    player.SetTempoScale(tempoScale);
    const double cpuBefore = ProcessCpuSeconds();
    player.Play();
    {
        std::unique_lock lock(mutex);
        ended.wait_for(lock, std::chrono::minutes(5), [&] { return stopped; });
    }
    const double cpu = ProcessCpuSeconds() - cpuBefore;
    notify::callbackDispatcher.RemoveCallbacksForTarget(&token);
    player.PrepareForExit();
    std::lock_guard lock(mutex);

    if (sent.size() < 2) {
        std::printf("song %s at %.2f: no buffers were sent\n", song.c_str(), tempoScale);
        return;
    }
    const auto ideal = [&](unsigned int tick) {
        return player.GetMidiShowControl().ConvertTickIndexToSeconds(tick) / tempoScale;
    };
    std::vector<double> lateness;
    for (const SentBuffer& buffer : sent) {
        const double actual = std::chrono::duration<double>(buffer.at - sent.front().at).count();
        lateness.push_back((actual - (ideal(buffer.tick) - ideal(sent.front().tick))) * 1000.0);
    }
    const double musicSeconds = ideal(sent.back().tick) - ideal(sent.front().tick);
    std::printf("song %s at tempo scale %.2f: %zu buffers over %.2f s of music\n", song.c_str(), tempoScale,
                sent.size(), musicSeconds);
    std::printf("  lateness against the tempo map (ms): median %.3f, 99th percentile %.3f, maximum %.3f\n",
                Percentile(lateness, 0.5), Percentile(lateness, 0.99), *std::max_element(lateness.begin(), lateness.end()));
    std::printf("  drift at the song's end: %.3f ms\n", lateness.back());
    std::printf("  process CPU time: %.3f s, %.3f s per minute of music\n", cpu,
                musicSeconds > 0 ? cpu * 60.0 / musicSeconds : 0.0);
}

}  // namespace

int main(int argc, char** argv)
{
    const std::string song = argc > 1 ? argv[1] : "1";
    brix_midi::LoadedShow loaded = brix_midi::LoadShowFolder(BRIX_DEMO_SHOW_DIR);
    app_test::SetActiveChangeLog(loaded.show);
    for (const double tempoScale : {1.0, 1.5}) {
        PlayAt(loaded, song, tempoScale);
    }
    return 0;
}
