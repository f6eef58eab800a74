#pragma once

#include "QtWait.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QHostAddress>
#include <QUdpSocket>

#include <vector>

namespace osc_test {

// A UDP receiver on 127.0.0.1 (a free port) that keeps every datagram with the time it was read.
// Sentinel(): a datagram of its own, sent to itself; once it is back, every datagram sent before it
// has arrived, so a test can tell that nothing came without sleeping.
class CueReceiver {
public:
    struct Received {
        QByteArray datagram;
        qint64 atMs;
    };

    CueReceiver()
    {
        socket_.bind(QHostAddress::LocalHost, 0);
        clock_.start();
    }

    unsigned short Port() const { return socket_.localPort(); }
    qint64 NowMs() const { return clock_.elapsed(); }

    // Waits until `count` datagrams (sentinels included) have arrived.
    bool WaitForCount(std::size_t count, int timeoutMs = 10000)
    {
        return WaitUntil(
            [&] {
                Read();
                return received_.size() >= count;
            },
            timeoutMs);
    }

    // Sends a sentinel and waits for it; true when it came back.
    bool Sentinel()
    {
        QUdpSocket sender;
        sender.writeDatagram(kSentinel, QHostAddress::LocalHost, Port());
        return WaitUntil([&] {
            Read();
            return !received_.empty() && received_.back().datagram == kSentinel;
        });
    }

    static bool IsSentinel(const Received& received) { return received.datagram == kSentinel; }

    // The datagrams that are not sentinels.
    std::vector<Received> Cues() const
    {
        std::vector<Received> cues;
        for (const Received& received : received_) {
            if (!IsSentinel(received)) {
                cues.push_back(received);
            }
        }
        return cues;
    }

    const std::vector<Received>& All() const { return received_; }

private:
    static inline const QByteArray kSentinel = QByteArrayLiteral("sentinel");

    void Read()
    {
        while (socket_.hasPendingDatagrams()) {
            QByteArray datagram(socket_.pendingDatagramSize(), Qt::Uninitialized);
            socket_.readDatagram(datagram.data(), datagram.size());
            received_.push_back({datagram, clock_.elapsed()});
        }
    }

    QUdpSocket socket_;
    QElapsedTimer clock_;
    std::vector<Received> received_;
};

}  // namespace osc_test
