#include "PlayerFactory.h"

#include "MixerController.h"

#include <brix_paths/Paths.h>

#include <QDir>

namespace brix {

PlayerFactory::PlayerFactory(Product product) : product_(std::move(product)) {}

PlayerFactory::~PlayerFactory() = default;

std::unique_ptr<qt::MixerController> PlayerFactory::CreateMixerController(
    QObject* /*mixerView*/, QQmlEngine* /*qmlEngine*/, std::shared_ptr<Interface> /*engine*/,
    std::shared_ptr<AppSettings> /*settings*/) {
    // The shared pointers, taken by value, are let go on return.
    return nullptr;
}

QString PlayerFactory::GetVersionString() const {
    return QStringLiteral("%1.%2.%3")
        .arg(product_.versionMajor)
        .arg(product_.versionMinor)
        .arg(product_.versionPatch);
}

QString ProductDataFolder(const QString& shortName) {
    const QDir folder(QDir(paths::UserDataBasePath()).filePath(shortName));
    if (!folder.exists()) {
        folder.mkpath(QStringLiteral("."));
    }
    return folder.absolutePath();
}

}  // namespace brix
