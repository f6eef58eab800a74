// osc_bench: throughput of the OSC paths of incoming control, in messages per second: decoding a
// datagram, dispatching a decoded message to a handler, both together, and the whole road from a UDP
// datagram on 127.0.0.1 through the server to the handler. Also the text encoder of outgoing cues.

#include "OscDatagram.h"
#include "OscDispatch.h"
#include "OscMessage.h"
#include "OscServer.h"

#include <QCoreApplication>
#include <QHostAddress>
#include <QUdpSocket>

#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

namespace {

using namespace brix::osc;

// Counts what it is asked to do, so nothing is optimised away.
class CountingHandler : public OscProcInterface {
public:
    void CommandReceived() override { ++commands; }
    void FadeTo(const std::string&, const std::string&, float seconds, float level, bool) override
    {
        sum += seconds + level;
    }
    void NextBar(const std::string&, const std::string&) override { ++steps; }
    void Play(const std::string&, const std::string& song) override { steps += static_cast<long>(song.size()); }

    long commands = 0;
    long steps = 0;
    float sum = 0;
};

const std::vector<QByteArray>& Datagrams()
{
    static const std::vector<QByteArray> datagrams = {
        BuildOscDatagram("/brix/nextbar"),
        BuildOscDatagram("/brix/fadeto -6 2"),
        BuildOscDatagram("/brix/show/lanterns_on_the_quay/song/2A/play"),
        BuildOscDatagram("/brix/volume -3.5"),
    };
    return datagrams;
}

void Decode(benchmark::State& state)
{
    const auto& datagrams = Datagrams();
    std::size_t i = 0;
    for (auto _ : state) {
        const QByteArray& datagram = datagrams[i++ % datagrams.size()];
        OscMessage message = OscMessage::Decode(datagram.constData(), static_cast<std::size_t>(datagram.size()));
        benchmark::DoNotOptimize(message);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(Decode);

void Dispatch(benchmark::State& state)
{
    std::vector<OscMessage> messages;
    for (const QByteArray& datagram : Datagrams()) {
        messages.push_back(OscMessage::Decode(datagram.constData(), static_cast<std::size_t>(datagram.size())));
    }
    CountingHandler handler;
    std::size_t i = 0;
    for (auto _ : state) {
        brix::osc::Dispatch(messages[i++ % messages.size()], &handler);
    }
    benchmark::DoNotOptimize(handler.sum);
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(Dispatch);

void DecodeAndDispatch(benchmark::State& state)
{
    const auto& datagrams = Datagrams();
    CountingHandler handler;
    std::size_t i = 0;
    for (auto _ : state) {
        const QByteArray& datagram = datagrams[i++ % datagrams.size()];
        brix::osc::Dispatch(OscMessage::Decode(datagram.constData(), static_cast<std::size_t>(datagram.size())), &handler);
    }
    benchmark::DoNotOptimize(handler.sum);
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(DecodeAndDispatch);

// Batches of 64 datagrams sent to the server, then the event loop runs until the server has taken
// all of them (a batch fits the socket's receive buffer, so none is dropped).
void ServerOnLoopback(benchmark::State& state)
{
    QUdpSocket probe;
    probe.bind(QHostAddress::LocalHost, 0);
    const unsigned short port = probe.localPort();
    probe.close();
    auto handler = std::make_unique<CountingHandler>();
    CountingHandler* counter = handler.get();
    OscServer server(port, std::move(handler));
    QUdpSocket sender;
    const QByteArray datagram = BuildOscDatagram("/brix/nextbar");
    constexpr int kBatch = 64;
    for (auto _ : state) {
        const long target = counter->commands + kBatch;
        for (int i = 0; i < kBatch; ++i) {
            sender.writeDatagram(datagram, QHostAddress::LocalHost, port);
        }
        while (counter->commands < target) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 100);
        }
    }
    state.SetItemsProcessed(state.iterations() * kBatch);
}
BENCHMARK(ServerOnLoopback);

void EncodeCueText(benchmark::State& state)
{
    const QString line = "/cue/14/go 5 2.5 \"house lights\"";
    for (auto _ : state) {
        QByteArray datagram = BuildOscDatagram(line);
        benchmark::DoNotOptimize(datagram);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(EncodeCueText);

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
