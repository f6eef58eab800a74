#include "OscServer.h"

#include "OscDispatch.h"
#include "OscMessage.h"
#include "QUdpSocketWrapper.h"

#include <QHostAddress>
#include <QUdpSocket>
#include <QtDebug>

#include <iostream>
#include <stdexcept>
#include <string>

namespace brix::osc {

OscServer::OscServer(unsigned short port, std::unique_ptr<OscProcInterface> handler)
    : handler_(std::move(handler)), socket_(std::make_unique<QUdpSocketWrapper>())
{
    connect(socket_.get(), &QUdpSocketWrapper::datagramReceived, this, &OscServer::onDatagramReceived);
    if (!socket_->Socket().bind(QHostAddress::Any, port)) {
        const std::string text = "Unable to bind to OSC server port " + std::to_string(port) + ": " +
                                 socket_->Socket().errorString().toStdString();
        qDebug().noquote() << QString::fromStdString(text);
        throw std::runtime_error(text);
    }
    port_ = port;
    std::cout << "****Opening port " << port_ << std::endl;
}

OscServer::~OscServer()
{
    socket_->Socket().close();
    std::cout << "****Closing port " << port_ << std::endl;
    handler_.reset();
    socket_.reset();
}

void OscServer::onDatagramReceived(QByteArray datagram)
{
    try {
        const OscMessage message = OscMessage::Decode(datagram.constData(), static_cast<std::size_t>(datagram.size()));
        Dispatch(message, handler_.get());
    } catch (const std::exception& error) {
        std::cerr << error.what() << std::endl;
    }
}

}  // namespace brix::osc
