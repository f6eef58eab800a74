#pragma once

#include "LaunchedWindow.h"

#include <memory>

namespace brix::qt {

class MusicalMainController;

// LaunchedMainWindow: the main window as the Launcher holds it. It makes the main window controller
// on the chosen show and answers the Launcher's questions through it.
//
// Owned by the Launcher; it owns the controller. Construction failures of the controller (a show that
// does not load, a change log of a newer format) pass to the Launcher. GUI thread only.
class LaunchedMainWindow : public LaunchedWindow {
public:
    LaunchedMainWindow(QQmlEngine* engine, PlayerFactory& factory, const networking::ShowRecord& show);
    ~LaunchedMainWindow() override;

    QObject* Controller() override;
    bool HasUnsavedEdits() const override;
    void ShowNotice(const QString& title, const QString& text) override;

private:
    std::unique_ptr<MusicalMainController> controller_;
};

}  // namespace brix::qt
