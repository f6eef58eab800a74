// The main window playing the demo show into a virtual MIDI output device:
//  - the process's CPU time per minute of music while the window plays (and draws) song "2", and
//  - the time from Play to the first note the device receives, over several starts of song "1".
//
//   xvfb-run -a -s "-screen 0 1600x1000x24" main_window_playback [SECONDS_OF_MUSIC] [STARTS]
//   (defaults 30 and 10; without a display it runs on the offscreen platform and draws nothing)
#include "DemoShowWindow.h"
#include "QmlModules.h"

#include <QGuiApplication>
#include <QEventLoop>
#include <QQmlEngine>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double ProcessCpuSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

// Runs the event loop for the duration (waiting for events, as the program's loop does).
void RunFor(std::chrono::milliseconds duration)
{
    QEventLoop loop;
    QTimer::singleShot(duration, &loop, &QEventLoop::quit);
    loop.exec();
}

double Percentile(std::vector<double> values, double fraction)
{
    std::sort(values.begin(), values.end());
    return values[static_cast<std::size_t>(fraction * static_cast<double>(values.size() - 1))];
}

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    const int musicSeconds = argc > 1 ? std::max(5, std::atoi(argv[1])) : 30;
    const int starts = argc > 2 ? std::max(1, std::atoi(argv[2])) : 10;

    QGuiApplication application(argc, argv);
    brix::qt::RegisterQmlModules();
    QQmlEngine engine;
    engine.addImportPath(QStringLiteral("qrc:/qt/qml"));
    musical_test::DemoShowWindow show(&engine);
    Interface& player = show.Engine();
    RunFor(std::chrono::seconds(1));

    // CPU per minute of music: song "2" (no vamp at its start) plays for the given time.
    player.LoadSong("2");
    RunFor(std::chrono::milliseconds(200));
    const double cpuBefore = ProcessCpuSeconds();
    const auto wallBefore = Clock::now();
    show.controller->Play_();
    RunFor(std::chrono::seconds(musicSeconds));
    show.controller->Stop_();
    const double cpu = ProcessCpuSeconds() - cpuBefore;
    const double wall = std::chrono::duration<double>(Clock::now() - wallBefore).count();
    std::printf("CPU time while playing: %.3f s over %.1f s of music = %.2f s of CPU per minute of music "
                "(%.1f%% of one core)\n",
                cpu, wall, cpu * 60.0 / wall, 100.0 * cpu / wall);

    // Play to the first note, from the stopped start of song "1" (whose first notes sit on its first
    // tick) each time.
    std::vector<double> latencies;
    for (int i = 0; i < starts; ++i) {
        show.controller->Stop_();
        player.LoadSong("1");
        RunFor(std::chrono::milliseconds(300));
        show.device.ClearEvents();
        const auto pressed = Clock::now();
        show.controller->Play_();
        if (!show.device.WaitForEventCount(1, std::chrono::seconds(5))) {
            std::printf("start %d: no note within 5 s\n", i + 1);
            continue;
        }
        std::chrono::steady_clock::time_point first = Clock::time_point::max();
        for (const auto& event : show.device.GetEvents())
            if ((event.status & 0xF0) == 0x90 && event.data2 > 0)
                first = std::min(first, event.sentAt);
        if (first == Clock::time_point::max()) {
            RunFor(std::chrono::seconds(2));
            for (const auto& event : show.device.GetEvents())
                if ((event.status & 0xF0) == 0x90 && event.data2 > 0)
                    first = std::min(first, event.sentAt);
        }
        if (first != Clock::time_point::max())
            latencies.push_back(std::chrono::duration<double, std::milli>(first - pressed).count());
        RunFor(std::chrono::milliseconds(200));
    }
    show.controller->Stop_();
    if (!latencies.empty()) {
        std::printf("Play to first note over %zu starts: median %.1f ms, max %.1f ms\n", latencies.size(),
                    Percentile(latencies, 0.5), Percentile(latencies, 1.0));
    }
    return 0;
}
