#pragma once

#include <gtest/gtest.h>

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>

#include <chrono>
#include <functional>
#include <memory>

#include <QQmlEngine>

namespace musical_test {

// The harness of the program's controller and window tests. RunQtTests is the tests' main: it makes
// the QGuiApplication (offscreen unless QT_QPA_PLATFORM says otherwise), registers the program's QML
// modules and records every warning Qt or the QML engine writes — binding errors, missing types, and
// the "No such signal" / "No such slot" of a string-based connection that failed, which Qt reports
// with a warning only. A QmlTest fails on any such warning it leaves behind; a warning outside any
// test fails the run.
int RunQtTests(int argc, char** argv);

// The warnings recorded since the last call, taken out of the record.
QStringList TakeQtWarnings();
// The dialogs of the widget module fit their height to their content once they show, so their size
// limits change while they show, which the offscreen platform reports as a warning. Takes the
// recorded warnings and fails the test on every other one.
void TakeSizeHintWarnings();

// Processes events until `done` holds or the timeout passes; returns whether it holds.
bool WaitFor(const std::function<bool()>& done, std::chrono::milliseconds timeout = std::chrono::seconds(5));

// Runs the event loop's deferred deletions (deleteLater) now.
void RunDeferredDeletes();

// A test with its own QML engine that reads the compiled modules from "qrc:/qt/qml". Objects created
// in it are deleted before the engine at the end of the test.
class QmlTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    QQmlEngine* Engine() const { return engine_.get(); }

    // Creates an object from QML source (imports included); fails the test on errors. The test owns it.
    std::unique_ptr<QObject> CreateFromQml(const QByteArray& source);

    // The object of that objectName under `root`, found through the items and the object tree.
    static QObject* FindByName(QObject* root, const QString& name);

private:
    std::unique_ptr<QQmlEngine> engine_;
};

}  // namespace musical_test
