#pragma once

#include "OscProcInterface.h"

#include <QByteArray>
#include <QObject>

#include <memory>

namespace brix::osc {

class QUdpSocketWrapper;

// The UDP server of incoming OSC control: binds every local interface on the port, decodes each
// datagram as one OSC message and dispatches it to the handler (OscDispatch.h). A datagram that does
// not decode costs one line on the standard error stream and nothing else.
//
// Owner: the main window controller, which re-creates it to change the port; it owns the handler.
// Threads: it, its socket and its handler live on the thread that constructs it (the GUI thread);
// datagrams are handled there one at a time, in the order they arrive.
class OscServer : public QObject {
    Q_OBJECT

public:
    // Binds and starts receiving ("****Opening port <port>" on the standard output). Throws
    // std::runtime_error "Unable to bind to OSC server port <port>: <socket error>" when the port
    // cannot be bound.
    OscServer(unsigned short port, std::unique_ptr<OscProcInterface> handler);
    // Closes the port ("****Closing port <port>"), then deletes the handler and the socket.
    ~OscServer() override;

    OscServer(const OscServer&) = delete;
    OscServer& operator=(const OscServer&) = delete;

public slots:
    void onDatagramReceived(QByteArray datagram);

private:
    unsigned short port_ = 0;
    std::unique_ptr<OscProcInterface> handler_;
    std::unique_ptr<QUdpSocketWrapper> socket_;
};

}  // namespace brix::osc
