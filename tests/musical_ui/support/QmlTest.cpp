#include "QmlTest.h"

#include "QmlModules.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QGuiApplication>
#include <QMutex>
#include <QMutexLocker>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickStyle>
#include <QQuickWindow>
#include <QThread>

#include <cstdio>

namespace musical_test {

namespace {

QMutex warningsMutex;
QStringList warnings;
QtMessageHandler previousHandler = nullptr;

// Records warnings and errors of Qt and the QML engine, from any thread, and lets them print as usual.
void RecordMessage(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type == QtWarningMsg || type == QtCriticalMsg || type == QtFatalMsg) {
        QMutexLocker lock(&warningsMutex);
        warnings.append(message);
    }
    if (previousHandler != nullptr)
        previousHandler(type, context, message);
}

void CollectObjects(QObject* object, QList<QObject*>& seen)
{
    if (object == nullptr || seen.contains(object))
        return;
    seen.append(object);
    for (QObject* child : object->children())
        CollectObjects(child, seen);
    if (auto* window = qobject_cast<QQuickWindow*>(object))
        CollectObjects(window->contentItem(), seen);
    if (auto* item = qobject_cast<QQuickItem*>(object)) {
        for (QQuickItem* child : item->childItems())
            CollectObjects(child, seen);
    }
}

}  // namespace

QStringList TakeQtWarnings()
{
    QMutexLocker lock(&warningsMutex);
    QStringList taken;
    taken.swap(warnings);
    return taken;
}

bool WaitFor(const std::function<bool()>& done, std::chrono::milliseconds timeout)
{
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.hasExpired(timeout.count()))
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::yieldCurrentThread();
    }
    return true;
}

void RunDeferredDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

int RunQtTests(int argc, char** argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (!qEnvironmentVariableIsSet("QT_QUICK_BACKEND") && qgetenv("QT_QPA_PLATFORM") == "offscreen")
        qputenv("QT_QUICK_BACKEND", "software");
    ::testing::InitGoogleTest(&argc, argv);
    previousHandler = qInstallMessageHandler(RecordMessage);
    brix::qt::RegisterQmlModules();
    QQuickStyle::setStyle(QStringLiteral("Basic"));
    QGuiApplication app(argc, argv);
    TakeQtWarnings();  // what the platform says while starting is not the tests' concern
    const int result = RUN_ALL_TESTS();
    const QStringList stray = TakeQtWarnings();
    for (const QString& warning : stray)
        std::fprintf(stderr, "FAIL: Qt warning outside a test: %s\n", qPrintable(warning));
    return (result != 0 || !stray.isEmpty()) ? 1 : 0;
}

void TakeSizeHintWarnings()
{
    QStringList kept = TakeQtWarnings();
    kept.removeIf([](const QString& warning) { return warning.contains("propagateSizeHints"); });
    for (const QString& warning : kept)
        ADD_FAILURE() << "Qt warning: " << warning.toStdString();
}

void QmlTest::SetUp()
{
    TakeQtWarnings();
    engine_ = std::make_unique<QQmlEngine>();
    engine_->addImportPath(QStringLiteral("qrc:/qt/qml"));
}

void QmlTest::TearDown()
{
    RunDeferredDeletes();
    engine_.reset();
    RunDeferredDeletes();
    for (const QString& warning : TakeQtWarnings())
        ADD_FAILURE() << "Qt warning: " << warning.toStdString();
}

std::unique_ptr<QObject> QmlTest::CreateFromQml(const QByteArray& source)
{
    QQmlComponent component(engine_.get());
    component.setData(source, QUrl(QStringLiteral("qrc:/musical_ui_tests/Host.qml")));
    std::unique_ptr<QObject> object(component.create());
    EXPECT_NE(object, nullptr) << component.errorString().toStdString();
    return object;
}

QObject* QmlTest::FindByName(QObject* root, const QString& name)
{
    QList<QObject*> objects;
    CollectObjects(root, objects);
    for (QObject* object : objects) {
        if (object->objectName() == name)
            return object;
    }
    return nullptr;
}

}  // namespace musical_test
