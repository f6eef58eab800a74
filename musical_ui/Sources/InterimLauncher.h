#pragma once

#include <QObject>
#include <QString>

#include <memory>

class QQmlEngine;

namespace brix {

class PlayerFactory;

namespace qt {

class MusicalMainController;
struct CurrentShow;

// InterimLauncher: opens the show at start-up until the launcher with its show store and show checks
// exists. It chooses the show (ChooseShowFolder) and opens the main window on it; the main window's
// close request ends the program with status 0.
//
// Owned by the application object, in the place of the launcher; it owns the factory and the main
// window controller. Construction failures (a show that does not load, a window that does not build)
// throw and are left to the application object, which logs them. GUI thread only.
class InterimLauncher : public QObject {
    Q_OBJECT
public:
    InterimLauncher(QQmlEngine* engine, std::unique_ptr<PlayerFactory> factory, QObject* parent = nullptr);
    // Deletes the main window controller (which stops playback and releases the engine).
    ~InterimLauncher() override;

private:
    std::unique_ptr<PlayerFactory> factory_;
    std::unique_ptr<MusicalMainController> mainController_;
};

// The show in the folder: the folder, and the name and customer of its show.json (the folder's name
// and no customer when it gives none).
CurrentShow ReadCurrentShow(const QString& showFolder);

// The environment variable that names the show folder to open (scripts/run.sh sets it).
inline constexpr const char* kShowFolderVariable = "TARNWICK2_SHOW_FOLDER";

// The show folder the program opens: the folder named by TARNWICK2_SHOW_FOLDER when it is set and not
// empty, otherwise the demo show in the product's data folder (PrepareDemoShow).
QString ChooseShowFolder(const QString& productDataFolder);

// The demo show bundled with the program, copied into "shows/demo" of the product's data folder the
// first time and used from there ever after (a copy the user changed is never replaced). The copy is
// made under a temporary name and renamed when complete, so an interrupted copy is never taken for
// the show. Returns the folder. Throws fennic::IoError when the copy cannot be made.
QString PrepareDemoShow(const QString& productDataFolder);

}  // namespace qt
}  // namespace brix
