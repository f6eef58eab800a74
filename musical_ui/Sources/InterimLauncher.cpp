#include "InterimLauncher.h"

#include "PlayerFactory.h"
#include "musical_main_controller.h"

#include <fennic/Exceptions.h>

#include <QDir>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

namespace brix::qt {

namespace {

const char* const kDemoShowResource = ":/shows/demo";

[[noreturn]] void ThrowCopyError(const QString& target, const QString& why) {
    throw fennic::IoError(QStringLiteral("Cannot copy the demo show to %1: %2").arg(target, why).toStdString());
}

}  // namespace

CurrentShow ReadCurrentShow(const QString& showFolder) {
    QJsonObject show;
    QFile file(QDir(showFolder).filePath(QStringLiteral("show.json")));
    if (file.open(QIODevice::ReadOnly)) {
        show = QJsonDocument::fromJson(file.readAll()).object();
    }
    const QString name = show.value(QLatin1String("name")).toString();
    return {showFolder, name.isEmpty() ? QDir(showFolder).dirName() : name,
            show.value(QLatin1String("customer")).toString()};
}

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
    mainController_ = std::make_unique<MusicalMainController>(engine, factory_.get(), ReadCurrentShow(showFolder));
    connect(mainController_.get(), &MusicalMainController::Closing, this, [] { QCoreApplication::exit(0); });
}

InterimLauncher::~InterimLauncher() = default;

}  // namespace brix::qt
