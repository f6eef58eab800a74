#include "OscUdpClient.h"

#include "OscDatagram.h"

#include <QUdpSocket>

namespace brix::osc {

OscUdpClient::OscUdpClient() : socket_(std::make_unique<QUdpSocket>())
{
    connect(socket_.get(), &QUdpSocket::errorOccurred, this, &OscUdpClient::onSocketError);
}

OscUdpClient::~OscUdpClient() = default;

bool OscUdpClient::Send(const QString& text, const QHostAddress& address, unsigned short port)
{
    const QByteArray datagram = BuildOscDatagram(text.trimmed());
    if (datagram.isEmpty() || address.isNull()) {
        return false;
    }
    return socket_->writeDatagram(datagram, address, port) == datagram.size();
}

void OscUdpClient::onSocketError(QAbstractSocket::SocketError error)
{
    emit onError(QStringLiteral("OSC Socket Error Occured (%1): %2").arg(static_cast<int>(error)).arg(socket_->errorString()));
}

}  // namespace brix::osc
