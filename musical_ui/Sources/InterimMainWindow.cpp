#include "InterimMainWindow.h"

#include "PlayerFactory.h"
#include "dialog_controller.h"

#include <brix_networking_http/NetworkTypes.h>
#include <brix_player_core/Interface.h>

#include <QDir>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QVariantMap>

#include <stdexcept>

namespace brix::qt {

namespace {

const char* const kWindowUrl = "qrc:/qt/qml/com/fernwhistlestudios/musical_ui/qml/FirstShowWindow.qml";

}  // namespace

std::unique_ptr<LaunchedWindow> MakeMainWindow(QQmlEngine* engine, PlayerFactory& factory,
                                               const networking::ShowRecord& show) {
    return std::make_unique<InterimMainWindow>(engine, factory, show);
}

InterimMainWindow::InterimMainWindow(QQmlEngine* engine, PlayerFactory& factory, const networking::ShowRecord& show)
    : engine_(engine) {
    const QString showFolder = QString::fromStdString(show.folder);
    player_ = factory.CreatePlayer(showFolder, nullptr);

    QVariantList songs;
    for (const auto& [number, name] : player_->GetSongNamesBySongNumber()) {
        songs.append(QVariantMap{{QStringLiteral("number"), QString::fromStdString(number)},
                                 {QStringLiteral("name"), QString::fromStdString(name)}});
    }
    QQmlComponent component(engine, QUrl(QString::fromLatin1(kWindowUrl)));
    window_.reset(component.createWithInitialProperties({
        {QStringLiteral("appName"), factory.GetDisplayName()},
        {QStringLiteral("logoSource"), factory.GetLongLogo()},
        {QStringLiteral("showName"), QString::fromStdString(show.name)},
        {QStringLiteral("showFolder"), QDir::toNativeSeparators(showFolder)},
        {QStringLiteral("songs"), songs},
    }));
    if (!window_) {
        throw std::runtime_error("The first window cannot be built: " + component.errorString().toStdString());
    }
    connect(window_.get(), SIGNAL(closing(QQuickCloseEvent*)), this, SIGNAL(Closing()));
}

InterimMainWindow::~InterimMainWindow() {
    notice_.reset();
    window_.reset();
    if (player_) {
        player_->Shutdown();
    }
}

void InterimMainWindow::ShowNotice(const QString& title, const QString& text) {
    notice_.reset();
    notice_ = std::make_unique<DialogController>(text.toStdString(), title.toStdString(), kDialogInfo, window_.get(),
                                                 engine_, nullptr);
}

void InterimMainWindow::onSaveButton() {
    emit SaveCompleted();
}

}  // namespace brix::qt
