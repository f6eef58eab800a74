#pragma once

#include <QByteArray>
#include <QObject>

#include <memory>

class QUdpSocket;

namespace brix::osc {

// Owns the OSC server's UDP socket and hands on each datagram it receives, in the order the socket
// delivers them (every pending datagram on each readyRead).
// Owner: OscServer. Threads: the thread it lives on (the GUI thread); datagramReceived is emitted
// there.
class QUdpSocketWrapper : public QObject {
    Q_OBJECT

public:
    QUdpSocketWrapper();
    ~QUdpSocketWrapper() override;

    QUdpSocket& Socket() { return *socket_; }

signals:
    void datagramReceived(QByteArray datagram);

public slots:
    void onReadyRead();

private:
    std::unique_ptr<QUdpSocket> socket_;
};

}  // namespace brix::osc
