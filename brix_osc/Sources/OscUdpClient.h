#pragma once

#include <QAbstractSocket>
#include <QHostAddress>
#include <QObject>
#include <QString>

#include <memory>

class QUdpSocket;

namespace brix::osc {

// Sends OSC messages, each given as a line of text (OscDatagram.h), from its own unbound UDP socket.
// Owner: whoever sends; the cue sender makes one per cue. Threads: one thread at a time, the one it
// lives on; it needs no event loop.
class OscUdpClient : public QObject {
    Q_OBJECT

public:
    OscUdpClient();
    ~OscUdpClient() override;

    // Encodes the text trimmed of white space and writes the datagram to (address, port). True only
    // when the socket took the datagram: false for an empty text, a null address (an IP text that
    // did not parse) or a write the socket refused.
    bool Send(const QString& text, const QHostAddress& address, unsigned short port);

signals:
    // "OSC Socket Error Occured (<number>): <socket error>".
    void onError(QString errorDescription);

public slots:
    void onSocketError(QAbstractSocket::SocketError error);

private:
    std::unique_ptr<QUdpSocket> socket_;
};

}  // namespace brix::osc
