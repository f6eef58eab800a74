// osc_cue_timing: how late the show's OSC cues leave against the time of their ticks. The demo show's
// song "2" plays (without its chorus repeat, so it runs straight) with a cue on every beat from bar 2
// to bar 13 (tempo 96, 625 ms a beat), each sent by brix::BrixPlayerOscCallback to a UDP socket on
// 127.0.0.1; a cue's lateness is the time it was read minus the time its tick sounds, counted from the
// moment Play() returned. Negative values are cues that left early: the engine hands a cue over when
// it fills the MIDI buffer that holds it, up to the ring's four MIDI clocks ahead.
// Also the lateness of the cue sender alone: cues with a 100 ms delay and no engine.
//
//   osc_cue_timing

#include "BrixPlayerOscCallback.h"
#include "OscDatagram.h"

#include "DemoShowOsc.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QHostAddress>
#include <QUdpSocket>

#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr double kMsPerTick = osc_test::DemoShowOsc::kMsPerTick;

double Percentile(std::vector<double> values, double fraction)
{
    std::sort(values.begin(), values.end());
    const auto index = static_cast<std::size_t>(fraction * static_cast<double>(values.size() - 1) + 0.5);
    return values[std::min(index, values.size() - 1)];
}

void Report(const char* what, const std::vector<double>& lateness, std::size_t expected)
{
    if (lateness.empty()) {
        std::printf("%s: no cue arrived\n", what);
        return;
    }
    std::printf("%s: %zu of %zu cues, lateness median %.1f ms, 99th percentile %.1f ms, min %.1f ms, max %.1f ms\n",
                what, lateness.size(), expected, Percentile(lateness, 0.5), Percentile(lateness, 0.99),
                *std::min_element(lateness.begin(), lateness.end()), *std::max_element(lateness.begin(), lateness.end()));
}

// Reads datagrams until `count` arrived or the time is up; each with the time it was read.
std::vector<std::pair<QByteArray, qint64>> Receive(QUdpSocket& socket, const QElapsedTimer& clock, std::size_t count,
                                                   qint64 untilMs)
{
    std::vector<std::pair<QByteArray, qint64>> received;
    while (received.size() < count && clock.elapsed() < untilMs) {
        if (!socket.waitForReadyRead(50)) {
            continue;
        }
        while (socket.hasPendingDatagrams()) {
            QByteArray datagram(socket.pendingDatagramSize(), Qt::Uninitialized);
            socket.readDatagram(datagram.data(), datagram.size());
            received.emplace_back(datagram, clock.elapsed());
        }
    }
    return received;
}

void DemoShow()
{
    QUdpSocket receiver;
    receiver.bind(QHostAddress::LocalHost, 0);
    osc_test::DemoShowOsc show(receiver.localPort());
    // Bar n (2..13) of song "2" starts at 480 + (n-2)*1920; one cue a beat, named by its tick.
    const unsigned int first = 480;
    const unsigned int last = 480 + 12 * 1920 - 480;
    std::map<QByteArray, unsigned int> tickOf;
    for (unsigned int tick = first; tick <= last; tick += 480) {
        const std::string message = "/timing/" + std::to_string(tick);
        show.editor().AddEvent(CL::Osc(tick, "T" + std::to_string(tick), CL::OscProperties(message, "lights")));
        tickOf[brix::osc::BuildOscDatagram(QString::fromStdString(message))] = tick;
    }
    const unsigned int start = first - 240;
    show.Start(start);

    QElapsedTimer clock;
    clock.start();
    show.engine->Play();
    const qint64 playedAt = clock.elapsed();
    const auto received = Receive(receiver, clock, tickOf.size(), playedAt + static_cast<qint64>((last - start) * kMsPerTick) + 5000);
    show.engine->Stop();

    std::vector<double> lateness;
    for (const auto& [datagram, atMs] : received) {
        const auto found = tickOf.find(datagram);
        if (found != tickOf.end()) {
            lateness.push_back(static_cast<double>(atMs - playedAt) - (found->second - start) * kMsPerTick);
        }
    }
    Report("demo show, song 2 at 96 bpm, against the tick times", lateness, tickOf.size());
}

void SenderAlone()
{
    QUdpSocket receiver;
    receiver.bind(QHostAddress::LocalHost, 0);
    brix::BrixPlayerOscCallback callback(receiver.localPort());
    QElapsedTimer clock;
    clock.start();
    constexpr int kCues = 200;
    constexpr unsigned int kDelayMs = 100;
    std::vector<double> lateness;
    for (int i = 0; i < kCues; ++i) {
        const qint64 handedAt = clock.elapsed();
        callback.ExecuteEvent(CL::Osc(0, "S1", CL::OscProperties("/timing", "")), kDelayMs);
        const auto received = Receive(receiver, clock, 1, handedAt + 5000);
        if (!received.empty()) {
            lateness.push_back(static_cast<double>(received.front().second - handedAt) - kDelayMs);
        }
    }
    Report("cue sender alone, 100 ms delay", lateness, kCues);
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    DemoShow();
    SenderAlone();
    return 0;
}
