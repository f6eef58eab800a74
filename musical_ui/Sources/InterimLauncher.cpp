#include "InterimLauncher.h"

#include "PlayerFactory.h"

#include <brix_player_core/Interface.h>

#include <fennic/Exceptions.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QTemporaryDir>
#include <QVariantMap>

#include <stdexcept>

namespace brix::qt {

namespace {

const char* const kDemoShowResource = ":/shows/demo";
const char* const kWindowUrl = "qrc:/qt/qml/com/fernwhistlestudios/musical_ui/qml/FirstShowWindow.qml";

[[noreturn]] void ThrowCopyError(const QString& target, const QString& why) {
    throw fennic::IoError(QStringLiteral("Cannot copy the demo show to %1: %2").arg(target, why).toStdString());
}

// The show's display name from its show.json; the folder's name when it gives none.
QString ShowName(const QString& showFolder) {
    QFile file(QDir(showFolder).filePath(QStringLiteral("show.json")));
    if (file.open(QIODevice::ReadOnly)) {
        const QString name = QJsonDocument::fromJson(file.readAll()).object().value(QLatin1String("name")).toString();
        if (!name.isEmpty()) {
            return name;
        }
    }
    return QDir(showFolder).dirName();
}

}  // namespace

QString ChooseShowFolder(const QString& productDataFolder) {
    const QString named = qEnvironmentVariable(kShowFolderVariable);
    return named.isEmpty() ? PrepareDemoShow(productDataFolder) : named;
}

QString PrepareDemoShow(const QString& productDataFolder) {
    const QDir shows(QDir(productDataFolder).filePath(QStringLiteral("shows")));
    const QString target = shows.filePath(QStringLiteral("demo"));
    if (QFileInfo::exists(target)) {
        return target;
    }
    if (!shows.mkpath(QStringLiteral("."))) {
        ThrowCopyError(target, QStringLiteral("cannot create %1").arg(shows.path()));
    }
    QTemporaryDir copy(shows.filePath(QStringLiteral(".demo-XXXXXX")));
    if (!copy.isValid()) {
        ThrowCopyError(target, copy.errorString());
    }
    const QDir source(kDemoShowResource);
    const QStringList files = source.entryList(QDir::Files);
    if (files.isEmpty()) {
        ThrowCopyError(target, QStringLiteral("the program holds no demo show"));
    }
    for (const QString& name : files) {
        QFile file(source.filePath(name));
        const QString copied = QDir(copy.path()).filePath(name);
        if (!file.copy(copied)) {
            ThrowCopyError(target, QStringLiteral("%1: %2").arg(name, file.errorString()));
        }
        // Copies of resources are read-only; the show's files are the user's to change.
        QFile::setPermissions(copied, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup |
                                          QFile::ReadOther);
    }
    if (!QDir().rename(copy.path(), target) && !QFileInfo::exists(target)) {
        ThrowCopyError(target, QStringLiteral("cannot rename %1").arg(copy.path()));
    }
    return target;
}

InterimLauncher::InterimLauncher(QQmlEngine* engine, std::unique_ptr<PlayerFactory> factory, QObject* parent)
    : QObject(parent), factory_(std::move(factory)) {
    const QString showFolder = ChooseShowFolder(ProductDataFolder(factory_->GetShortName()));
    player_ = factory_->CreatePlayer(showFolder, nullptr);

    QVariantList songs;
    for (const auto& [number, name] : player_->GetSongNamesBySongNumber()) {
        songs.append(QVariantMap{{QStringLiteral("number"), QString::fromStdString(number)},
                                 {QStringLiteral("name"), QString::fromStdString(name)}});
    }
    QQmlComponent component(engine, QUrl(QString::fromLatin1(kWindowUrl)));
    window_.reset(component.createWithInitialProperties({
        {QStringLiteral("appName"), factory_->GetDisplayName()},
        {QStringLiteral("logoSource"), factory_->GetLongLogo()},
        {QStringLiteral("showName"), ShowName(showFolder)},
        {QStringLiteral("showFolder"), QDir::toNativeSeparators(showFolder)},
        {QStringLiteral("songs"), songs},
    }));
    if (!window_) {
        throw std::runtime_error("The first window cannot be built: " + component.errorString().toStdString());
    }
}

InterimLauncher::~InterimLauncher() {
    window_.reset();
    if (player_) {
        player_->Shutdown();
    }
}

}  // namespace brix::qt
