#pragma once

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QHostAddress>
#include <QProcess>
#include <QStringList>
#include <QUdpSocket>

#include <functional>

namespace osc_test {

// Runs the event loop until done() holds or the timeout passes; returns done().
inline bool WaitUntil(const std::function<bool()>& done, int timeoutMs = 10000)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!done()) {
        if (deadline.hasExpired()) {
            return done();
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QCoreApplication::sendPostedEvents();
    }
    return true;
}

// A UDP port that was free a moment ago (bound on every interface, then released).
inline unsigned short FreeUdpPort()
{
    QUdpSocket probe;
    probe.bind(QHostAddress::Any, 0);
    return probe.localPort();
}

// Runs oscsend with the arguments; its standard output (with "-" as the destination: the datagram).
inline QByteArray RunOscsend(const QStringList& arguments)
{
    QProcess process;
    process.start("oscsend", arguments);
    process.waitForFinished(10000);
    return process.readAllStandardOutput();
}

}  // namespace osc_test
