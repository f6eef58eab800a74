#include "QUdpSocketWrapper.h"

#include <QUdpSocket>

namespace brix::osc {

QUdpSocketWrapper::QUdpSocketWrapper() : socket_(std::make_unique<QUdpSocket>())
{
    connect(socket_.get(), &QUdpSocket::readyRead, this, &QUdpSocketWrapper::onReadyRead);
}

QUdpSocketWrapper::~QUdpSocketWrapper() = default;

void QUdpSocketWrapper::onReadyRead()
{
    while (socket_->hasPendingDatagrams()) {
        const qint64 size = socket_->pendingDatagramSize();
        QByteArray datagram(size > 0 ? size : 0, Qt::Uninitialized);
        const qint64 read = socket_->readDatagram(datagram.data(), datagram.size());
        // A datagram that could not be read (a socket error) is dropped: it has been taken off
        // the queue all the same.
        if (read < 0) {
            continue;
        }
        datagram.truncate(read);
        emit datagramReceived(datagram);
    }
}

}  // namespace brix::osc
