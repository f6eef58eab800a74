#pragma once

#include <QObject>

#include <memory>
#include <string>

class QQmlApplicationEngine;

namespace brix {

class PlayerFactory;

namespace qt {

class GuardedApplication;
class Launcher;

// MusicalApp: the whole life of the program, run by its constructor: the console option, the
// product's user-data folder, the Qt Quick style, the application object, the QML engine and the
// launcher, then the event loop. An exception that escapes any of this (the event loop included) is
// written to the error log "brix_vs_error_log.txt" of the user-data folder, and the constructor
// returns; ExitCode() then tells the caller to end with a failure.
//
// When the launcher's first Qt Quick window shows its first frame, the diagnostic line "First frame
// of the first window" is written (stamped, see StampedLine); startup timings read it.
//
// Lives on main()'s stack; GUI thread only. Deletes the launcher, then the QML engine, then the
// application object.
class MusicalApp : public QObject {
    Q_OBJECT
public:
    MusicalApp(int& argc, char** argv, std::unique_ptr<PlayerFactory> factory);
    ~MusicalApp() override;

    // 0 after the event loop ended normally; 1 after an exception was logged.
    int ExitCode() const { return exitCode_; }

private:
    void Run(int& argc, char** argv, std::unique_ptr<PlayerFactory> factory);

    std::unique_ptr<GuardedApplication> application_;
    std::unique_ptr<QQmlApplicationEngine> engine_;
    std::unique_ptr<Launcher> launcher_;
    std::string userDataFolder_;
    std::string displayName_;
    std::string versionText_;
    int exitCode_ = 0;
};

}  // namespace qt
}  // namespace brix
