#pragma once

#include "LaunchedWindow.h"

#include <QObject>
#include <QString>

#include <memory>

class Interface;
class QQmlEngine;

namespace brix {

class PlayerFactory;

namespace qt {

class DialogController;

// InterimMainWindow: the main window until the main window controller is there. It builds the show's
// engine through the product's factory and shows a first window with the show's name and songs.
// Closing that window asks the Launcher to end the program (Closing()); it holds no edits, so a save
// completes at once.
//
// Owned by the Launcher; it owns the engine, the window and the notice. Construction failures (a show
// that does not load, a window that does not build) throw. GUI thread only.
class InterimMainWindow : public QObject, public LaunchedWindow {
    Q_OBJECT
public:
    InterimMainWindow(QQmlEngine* engine, PlayerFactory& factory, const networking::ShowRecord& show);
    // Deletes the notice and the window, then shuts the engine down and releases it.
    ~InterimMainWindow() override;

    QObject* Controller() override { return this; }
    bool HasUnsavedEdits() const override { return false; }
    void ShowNotice(const QString& title, const QString& text) override;

signals:
    void Closing();
    void SaveCompleted();

public slots:
    void onSaveButton();

private:
    QQmlEngine* engine_;
    std::unique_ptr<Interface> player_;
    std::unique_ptr<QObject> window_;
    std::unique_ptr<DialogController> notice_;
};

}  // namespace qt
}  // namespace brix
