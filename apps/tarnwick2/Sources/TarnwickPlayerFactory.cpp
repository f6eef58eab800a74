#include "TarnwickPlayerFactory.h"

#include "MixerControllerTW.h"

#include <brix_tarnwick2/Tarnwick2Interface.h>

#include <QFile>

namespace brix::qt {

namespace {

const char* const kBuildText = "";

PlayerFactory::Product TarnwickProduct() {
    PlayerFactory::Product product;
    product.displayName = QStringLiteral("Tarn|Wick");
    product.shortName = QStringLiteral("tarnwick");
    product.applicationId = 2;
    product.versionMajor = 2;
    product.versionMinor = 7;
    product.versionPatch = 0;
    product.buildText = QString::fromLocal8Bit(kBuildText);
    product.longLogo = QStringLiteral("qrc:/images/tw_app_logo_long.png");
    product.imageBase = QStringLiteral("qrc:/images/tarnwick");
    product.showAlbumArtImage = true;
    product.showAudioManager = false;
    product.showFade = false;
    product.showScore = true;
    product.showMixer = true;
    product.editOscEvents = false;
    product.oscEnable = false;
    product.showRehearsalNotice = true;
    product.showPerformanceNotice = false;
    product.showClickToolNotice = true;
    return product;
}

}  // namespace

TarnwickPlayerFactory::TarnwickPlayerFactory() : PlayerFactory(TarnwickProduct()) {}

std::unique_ptr<Interface> TarnwickPlayerFactory::CreatePlayer(const QString& showDirectory,
                                                               std::shared_ptr<PlayerOscCallback> oscCallback) {
    const QString dataFolder = ProductDataFolder(GetShortName());
    return std::make_unique<Tarnwick2Interface>(QFile::encodeName(showDirectory).toStdString(),
                                                QFile::encodeName(dataFolder).toStdString(),
                                                std::move(oscCallback));
}

std::unique_ptr<MixerController> TarnwickPlayerFactory::CreateMixerController(QObject* mixerView,
                                                                              QQmlEngine* qmlEngine,
                                                                              std::shared_ptr<Interface> engine,
                                                                              std::shared_ptr<AppSettings> settings) {
    return std::make_unique<MixerControllerTW>(mixerView, qmlEngine, std::move(engine), std::move(settings));
}

}  // namespace brix::qt
