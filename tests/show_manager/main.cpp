#include "QmlModules.h"

#include <QGuiApplication>

#include <gmock/gmock.h>

#include <cstdio>
#include <string>

namespace {

// Any warning of Qt (a QML document that fails to load, a failed connection) fails the run.
void FailOnWarnings(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type == QtDebugMsg || type == QtInfoMsg)
        return;
    std::fprintf(stderr, "Qt: %s\n", message.toLocal8Bit().constData());
    ADD_FAILURE() << "Qt warning: " << message.toStdString();
}

}  // namespace

int main(int argc, char** argv)
{
    testing::InitGoogleMock(&argc, argv);
    // The windows are drawn offscreen unless the caller chose a platform (test discovery runs the
    // executable without the test's environment).
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    brix::qt::RegisterQmlModules();
    qInstallMessageHandler(FailOnWarnings);
    return RUN_ALL_TESTS();
}
