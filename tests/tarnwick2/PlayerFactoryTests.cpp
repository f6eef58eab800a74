#include <ShowStore.h>
#include <MixerController.h>
#include <MixerControllerTW.h>
#include <PlayerFactory.h>
#include <TarnwickPlayerFactory.h>

#include <brix_player_core/Interface.h>
#include <brix_tarnwick2/Tarnwick2Interface.h>

#include <gtest/gtest.h>
#include <winmm_virtual/VirtualMidi.h>

#include "ScopedVariable.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <functional>
#include <stdexcept>

namespace {

using brix::PlayerFactory;
using brix::test::ScopedVariable;

// The frame's own values: a product that sets none.
class PlainFactory : public PlayerFactory {
public:
    PlainFactory() : PlayerFactory(Product{}) {}
    std::unique_ptr<Interface> CreatePlayer(const QString&, std::shared_ptr<brix::PlayerOscCallback>) override {
        throw std::logic_error("not used");
    }
};

TEST(PlayerFactory, TheProductsSwitchesDifferFromTheFramesWhereTheProductSaysSo) {
    const PlainFactory frame;
    const brix::qt::TarnwickPlayerFactory product;
    const struct {
        const char* name;
        std::function<bool(const PlayerFactory&)> read;
        bool frame;
        bool product;
    } table[] = {
        {"showAlbumArtImage", &PlayerFactory::GetShowAlbumArtImage, false, true},
        {"showAudioManager", &PlayerFactory::GetShowAudioManager, false, false},
        {"showFade", &PlayerFactory::GetShowFade, false, false},
        {"showScore", &PlayerFactory::GetShowScore, false, true},
        {"showMixer", &PlayerFactory::GetShowMixer, false, true},
        {"editOscEvents", &PlayerFactory::GetEditOscEvents, true, false},
        {"oscEnable", &PlayerFactory::GetOscEnable, true, false},
        {"showRehearsalNotice", &PlayerFactory::GetShowRehearsalNotice, false, true},
        {"showPerformanceNotice", &PlayerFactory::GetShowPerformanceNotice, false, false},
        {"showClickToolNotice", &PlayerFactory::GetShowClickToolNotice, false, true},
    };
    for (const auto& row : table) {
        EXPECT_EQ(row.read(frame), row.frame) << row.name;
        EXPECT_EQ(row.read(product), row.product) << row.name;
    }
}

TEST(PlayerFactory, NamesVersionAndLogosOfTheProductAndTheFrame) {
    const PlainFactory frame;
    EXPECT_EQ(frame.GetDisplayName(), "");
    EXPECT_EQ(frame.GetShortName(), "");
    EXPECT_EQ(frame.GetApplicationId(), 0);
    EXPECT_EQ(frame.GetVersionString(), "0.0.0");
    EXPECT_EQ(frame.GetBuildText(), "");
    EXPECT_EQ(frame.GetLongLogo(), "");
    EXPECT_EQ(frame.GetImageBase(), "");

    const brix::qt::TarnwickPlayerFactory product;
    EXPECT_EQ(product.GetDisplayName(), "Tarn|Wick");
    EXPECT_EQ(product.GetShortName(), "tarnwick");
    EXPECT_EQ(product.GetApplicationId(), 2);
    EXPECT_EQ(product.GetVersionMajor(), 2);
    EXPECT_EQ(product.GetVersionMinor(), 7);
    EXPECT_EQ(product.GetVersionPatch(), 0);
    EXPECT_EQ(product.GetVersionString(), "2.7.0");
    EXPECT_TRUE(product.GetBuildText().isEmpty());
    EXPECT_EQ(product.GetLongLogo(), "qrc:/images/tw_app_logo_long.png");
    EXPECT_EQ(product.GetImageBase(), "qrc:/images/tarnwick");
}

TEST(PlayerFactory, TheFrameMakesNoMixerControllerAndLetsGoOfWhatItWasGiven) {
    PlainFactory frame;
    auto engine = std::make_shared<int>(0);
    std::shared_ptr<Interface> engineAlias(engine, nullptr);
    EXPECT_EQ(frame.CreateMixerController(nullptr, nullptr, engineAlias, nullptr), nullptr);
    engineAlias.reset();
    EXPECT_EQ(engine.use_count(), 1);
}

TEST(PlayerFactory, TheProductMakesItsMixerController) {
    brix::qt::TarnwickPlayerFactory product;
    // An engine that is not the product's leaves the controller inert, and the controller keeps no
    // engine of another product.
    auto engine = std::make_shared<int>(0);
    std::shared_ptr<Interface> engineAlias(engine, nullptr);
    auto controller = product.CreateMixerController(nullptr, nullptr, engineAlias, nullptr);
    EXPECT_NE(dynamic_cast<brix::qt::MixerControllerTW*>(controller.get()), nullptr);
    engineAlias.reset();
    EXPECT_EQ(engine.use_count(), 1);
}

TEST(ProgramResources, TheLogosIconsAndAcknowledgementsTheWindowsNameAreThere) {
    const brix::qt::TarnwickPlayerFactory product;
    const QString longLogo = product.GetLongLogo().mid(3);  // "qrc:/x" -> ":/x"
    EXPECT_FALSE(QImage(longLogo).isNull()) << longLogo.toStdString();
    EXPECT_FALSE(QImage(product.GetImageBase().mid(3) + ".png").isNull());
    // Drawn by the widget module's dialogs and buttons.
    for (const char* name : {"error_icon.svg", "warning_icon.svg", "info_icon.svg", "arrow_drop_down.svg",
                             "keep.svg", "keep_off.svg"}) {
        EXPECT_TRUE(QFile::exists(QStringLiteral(":/images/") + name)) << name;
    }
    QFile acknowledgements(":/qt/qml/com/fernwhistlestudios/resources/text/acknowledgements.txt");
    ASSERT_TRUE(acknowledgements.open(QIODevice::ReadOnly | QIODevice::Text));
    EXPECT_TRUE(acknowledgements.readAll().contains("Qt 6"));
}

TEST(TarnwickPlayerFactory, CreatesTheProductsEngineOfTheShowAndItsDataFolder) {
    QTemporaryDir userData;
    ASSERT_TRUE(userData.isValid());
    const ScopedVariable xdg("XDG_DATA_HOME", userData.path().toLocal8Bit().constData());

    // The engine plays into a device of the test's, whatever devices the machine has.
    const winmm_virtual::VirtualMidiOutput device(u"factory test output");
    // The engine writes into its show folder: it gets a copy of the demo show.
    const QString show = brix::qt::PrepareDemoShow(userData.filePath("copy"));
    brix::qt::TarnwickPlayerFactory factory;
    std::unique_ptr<Interface> engine = factory.CreatePlayer(show, nullptr);
    ASSERT_NE(dynamic_cast<brix::Tarnwick2Interface*>(engine.get()), nullptr);
    EXPECT_EQ(engine->GetShowDirectory(), show.toStdString());
    EXPECT_FALSE(engine->GetSongNamesBySongNumber().empty());
    EXPECT_TRUE(QDir(userData.filePath("tarnwick")).exists());
    engine->Shutdown();
}

TEST(TarnwickPlayerFactory, AShowThatCannotBeLoadedFailsThroughCreatePlayer) {
    QTemporaryDir userData;
    ASSERT_TRUE(userData.isValid());
    const ScopedVariable xdg("XDG_DATA_HOME", userData.path().toLocal8Bit().constData());

    brix::qt::TarnwickPlayerFactory factory;
    EXPECT_THROW(factory.CreatePlayer(userData.filePath("no such show"), nullptr), std::exception);
}

TEST(ProductDataFolder, IsTheShortNameInTheUserDataFolderCreatedWithItsParents) {
    QTemporaryDir userData;
    ASSERT_TRUE(userData.isValid());
    const QString base = userData.filePath("not/yet/there");
    const ScopedVariable xdg("XDG_DATA_HOME", base.toLocal8Bit().constData());

    EXPECT_EQ(brix::ProductDataFolder("tarnwick"), QDir(base).filePath("tarnwick"));
    EXPECT_TRUE(QDir(base).exists("tarnwick"));
}

TEST(ProductDataFolder, AFolderThatCannotBeCreatedIsStillNamed) {
    QTemporaryDir userData;
    ASSERT_TRUE(userData.isValid());
    QFile blocker(userData.filePath("file"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const ScopedVariable xdg("XDG_DATA_HOME", blocker.fileName().toLocal8Bit().constData());

    EXPECT_EQ(brix::ProductDataFolder("tarnwick"), blocker.fileName() + "/tarnwick");
}

}  // namespace
