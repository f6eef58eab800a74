#include "LaunchedMainWindow.h"

#include "musical_main_controller.h"

#include <brix_networking_http/NetworkTypes.h>

namespace brix::qt {

std::unique_ptr<LaunchedWindow> MakeMainWindow(QQmlEngine* engine, PlayerFactory& factory,
                                               const networking::ShowRecord& show) {
    return std::make_unique<LaunchedMainWindow>(engine, factory, show);
}

LaunchedMainWindow::LaunchedMainWindow(QQmlEngine* engine, PlayerFactory& factory, const networking::ShowRecord& show)
    : controller_(std::make_unique<MusicalMainController>(
          engine, &factory,
          CurrentShow{QString::fromStdString(show.folder), QString::fromStdString(show.name),
                      QString::fromStdString(show.customer), show.server})) {}

LaunchedMainWindow::~LaunchedMainWindow() = default;

QObject* LaunchedMainWindow::Controller() {
    return controller_.get();
}

bool LaunchedMainWindow::HasUnsavedEdits() const {
    return controller_->HasUnsavedEdits();
}

void LaunchedMainWindow::ShowNotice(const QString& title, const QString& text) {
    controller_->onInformation(text.toStdString(), title.toStdString());
}

}  // namespace brix::qt
