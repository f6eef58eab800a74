// Start-up time of the program: from the moment tarnwick2 is started to the first frame of its first
// window, as the program reports it on its console ("<monotonic ns>: First frame of the first
// window"). Runs the program several times on its demo show and prints each run and the median.
//
//   startup_time [RUNS]    (default 7; each run after a first one that copies the demo show)
//
// The program runs on the platform of QT_QPA_PLATFORM (offscreen when it is unset and there is no
// DISPLAY); under xvfb-run it draws as it would on a desktop.
#include <QCoreApplication>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <vector>

namespace {

const QByteArray kFirstFrame = ": First frame of the first window";

std::int64_t NowNanoseconds() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// One run: milliseconds from start to the first frame, or nothing when the program did not report it.
std::optional<double> RunOnce(const QString& userData) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("XDG_DATA_HOME", userData);
    environment.remove("TARNWICK2_SHOW_FOLDER");
    if (!environment.contains("QT_QPA_PLATFORM") && !environment.contains("DISPLAY")) {
        environment.insert("QT_QPA_PLATFORM", "offscreen");
    }
    QProcess program;
    program.setProcessEnvironment(environment);
    program.setProcessChannelMode(QProcess::SeparateChannels);

    const std::int64_t started = NowNanoseconds();
    program.start(TARNWICK2_EXECUTABLE, {"-c"});
    QByteArray out;
    std::optional<double> milliseconds;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!milliseconds && std::chrono::steady_clock::now() < deadline &&
           program.state() != QProcess::NotRunning) {
        program.waitForReadyRead(200);
        out += program.readAllStandardOutput();
        const qsizetype at = out.indexOf(kFirstFrame);
        if (at >= 0) {
            const qsizetype lineStart = out.lastIndexOf('\n', at) + 1;
            const std::int64_t frame = out.mid(lineStart, at - lineStart).toLongLong();
            milliseconds = static_cast<double>(frame - started) / 1e6;
        }
    }
    program.kill();
    program.waitForFinished(10000);
    return milliseconds;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;
    QTemporaryDir userData;
    if (!userData.isValid()) {
        std::fprintf(stderr, "startup_time: no temporary folder\n");
        return 1;
    }

    const std::optional<double> first = RunOnce(userData.path());
    if (!first) {
        std::fprintf(stderr, "startup_time: the program did not report its first frame\n");
        return 1;
    }
    std::printf("first run (copies the demo show): %.1f ms\n", *first);
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        const std::optional<double> time = RunOnce(userData.path());
        if (!time) {
            std::fprintf(stderr, "startup_time: run %d did not report its first frame\n", i + 1);
            return 1;
        }
        std::printf("run %d: %.1f ms\n", i + 1, *time);
        times.push_back(*time);
    }
    std::sort(times.begin(), times.end());
    const double median = times.size() % 2 == 1
                              ? times[times.size() / 2]
                              : (times[times.size() / 2 - 1] + times[times.size() / 2]) / 2;
    std::printf("start to first frame over %d runs: median %.1f ms, min %.1f ms, max %.1f ms\n", runs, median,
                times.front(), times.back());
    return 0;
}
