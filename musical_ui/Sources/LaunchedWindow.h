#pragma once

#include <QString>

#include <functional>
#include <memory>

class QObject;
class QQmlEngine;

namespace brix {

class PlayerFactory;

namespace networking {
struct ShowRecord;
}

namespace qt {

// What the Launcher needs of the program's main window: its controller object, which emits Closing()
// when the user asks to close the window and SaveCompleted() when a save ended, and has the slot
// onSaveButton() that saves the change log; whether unsaved change-log edits are held in edit mode;
// and a notice of kind information shown once the window is up.
class LaunchedWindow {
public:
    virtual ~LaunchedWindow() = default;

    virtual QObject* Controller() = 0;
    virtual bool HasUnsavedEdits() const = 0;
    virtual void ShowNotice(const QString& title, const QString& text) = 0;
};

// Makes the main window of the current show. It may throw CL::ChangeLogVersionError when the show's
// change log is of a newer format; other exceptions leave the start-up.
using MainWindowMaker = std::function<std::unique_ptr<LaunchedWindow>(
    QQmlEngine* engine, PlayerFactory& factory, const networking::ShowRecord& show)>;

// The program's main window.
std::unique_ptr<LaunchedWindow> MakeMainWindow(QQmlEngine* engine, PlayerFactory& factory,
                                               const networking::ShowRecord& show);

}  // namespace qt
}  // namespace brix
