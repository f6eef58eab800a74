#include "FakeInterface.h"
#include "QmlTest.h"
#include "audio_manager_controller.h"

#include <sfx_virtual/InjectedOutputDevices.h>

#include <QMetaObject>
#include <QSignalSpy>
#include <QStringList>

#include <gmock/gmock.h>

#include <cmath>
#include <memory>
#include <string>

namespace {

using brix::qt::AudioManagerController;
using musical_test::FakeInterface;
using musical_test::QmlTest;
using testing::NiceMock;
using testing::Return;

class AudioManagerTest : public QmlTest {
protected:
    std::unique_ptr<AudioManagerController> Open(const std::string& deviceUid, double volume)
    {
        ON_CALL(*player, GetOutputDeviceUid()).WillByDefault(Return(deviceUid));
        // The master volume differs: the window shows and keeps the user's.
        ON_CALL(*player, GetVolume()).WillByDefault(Return(0.9));
        ON_CALL(*player, GetVolume(brix_audio::VolumeType::Master)).WillByDefault(Return(0.9));
        ON_CALL(*player, GetVolume(brix_audio::VolumeType::User)).WillByDefault(Return(volume));
        auto controller = std::make_unique<AudioManagerController>(nullptr, Engine(), player);
        EXPECT_NE(controller->GetQmlObject(), nullptr);
        return controller;
    }
    static QObject* Window(const AudioManagerController& controller) { return controller.GetQmlObject(); }
    static void Press(QObject* window, const char* button)
    {
        QObject* found = FindByName(window, QString::fromUtf8(button));
        ASSERT_NE(found, nullptr) << button;
        QMetaObject::invokeMethod(found, "clicked");
    }

    std::shared_ptr<NiceMock<FakeInterface>> player = std::make_shared<NiceMock<FakeInterface>>();
    // Two devices share an identifier: the later one is the engine's.
    sfx_virtual::InjectedOutputDevices devices{
        {{"hw:A", "Speakers A"}, {"hw:B", "Monitor B"}, {"hw:B", "Monitor B (again)"}, {"hw:C", "Headphones"}}};
};

TEST_F(AudioManagerTest, ShowsTheDevicesWithTheEnginesSelectedAndOkKeepsTheEnginesChoice)
{
    struct Case {
        const char* what;
        std::string uid;
        double volume;
        int row;
        const char* chosenDevice;
        double chosenVolume;
    };
    const Case cases[] = {
        {"the engine's device", "hw:C", 0.5, 4, "hw:C", 0.5},
        {"a later equal device wins", "hw:B", 1.0, 3, "hw:B", 1.0},
        {"no equal device: the default", "hw:gone", 0.25, 0, "", 0.25},
        {"the default device", "", 0.8, 0, "", 0.8},
        {"a volume below the slider's range is kept", "hw:A", 0.00005, 1, "hw:A", 0.00005},
        {"a volume below the silence threshold is silence", "hw:A", 0.00001, 1, "hw:A", 0.0},
        {"silence", "hw:A", 0.0, 1, "hw:A", 0.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto controller = Open(c.uid, c.volume);
        QObject* window = Window(*controller);
        EXPECT_EQ(window->property("outputDeviceModel").toStringList(),
                  (QStringList{"(default)", "Speakers A", "Monitor B", "Monitor B (again)", "Headphones"}));
        EXPECT_EQ(window->property("outputDeviceIndex").toInt(), c.row);
        if (c.volume >= 0.0001) {
            EXPECT_NEAR(window->property("outputVolume").toDouble(), std::exp(20 * std::log10(c.volume) / 25), 1e-9);
        }

        QSignalSpy updated(controller.get(), &AudioManagerController::audioSettingsUpdated);
        window->setProperty("visible", true);
        Press(window, "okButton");
        EXPECT_EQ(updated.size(), 1);
        EXPECT_FALSE(window->property("visible").toBool());
        EXPECT_EQ(controller->GetOutputDevice(), c.chosenDevice);
        EXPECT_EQ(controller->GetVolume(), c.chosenVolume);
    }
}

TEST_F(AudioManagerTest, TheChosenDeviceAndAMovedSliderAreTaken)
{
    auto controller = Open("hw:A", 0.3);
    QObject* window = Window(*controller);
    QSignalSpy updated(controller.get(), &AudioManagerController::audioSettingsUpdated);
    window->setProperty("outputDeviceIndex", 2);
    QObject* slider = FindByName(window, QStringLiteral("volumeSlider"));
    ASSERT_NE(slider, nullptr);
    slider->setProperty("value", 0.7866278611);  // -6 dB
    QMetaObject::invokeMethod(slider, "moved");

    // Enter in the device list acts as OK.
    QMetaObject::invokeMethod(FindByName(window, QStringLiteral("deviceBox")), "enterPressed");
    EXPECT_EQ(updated.size(), 1);
    EXPECT_EQ(controller->GetOutputDevice(), "hw:B");
    EXPECT_NEAR(controller->GetVolume(), std::pow(10.0, -6.0 / 20.0), 1e-6);
}

TEST_F(AudioManagerTest, CancelAndTheCloseButtonChangeNothing)
{
    auto controller = Open("hw:A", 0.3);
    QObject* window = Window(*controller);
    QSignalSpy updated(controller.get(), &AudioManagerController::audioSettingsUpdated);
    QSignalSpy errors(controller.get(), &AudioManagerController::error);
    window->setProperty("outputDeviceIndex", 4);

    window->setProperty("visible", true);
    Press(window, "cancelButton");
    EXPECT_FALSE(window->property("visible").toBool());
    window->setProperty("visible", true);
    QMetaObject::invokeMethod(window, "close");
    EXPECT_FALSE(window->property("visible").toBool());

    EXPECT_EQ(updated.size(), 0);
    EXPECT_EQ(errors.size(), 0);
    EXPECT_EQ(controller->GetOutputDevice(), "");
    EXPECT_EQ(controller->GetVolume(), 0.0);
}

TEST_F(AudioManagerTest, ADeviceRowOutsideTheListIsAnErrorAndNothingIsAnnounced)
{
    auto controller = Open("hw:A", 0.3);
    QSignalSpy updated(controller.get(), &AudioManagerController::audioSettingsUpdated);
    QSignalSpy errors(controller.get(), &AudioManagerController::error);
    Window(*controller)->setProperty("outputDeviceIndex", 9);
    controller->onOkayClicked_();

    EXPECT_EQ(updated.size(), 0);
    ASSERT_EQ(errors.size(), 1);
    EXPECT_EQ(errors.at(0).at(0).value<std::string>(), "The chosen device row 9 is not in the list of 4 devices.");
    EXPECT_EQ(errors.at(0).at(1).value<std::string>(), "Error Configuring Audio");
    EXPECT_EQ(controller->GetOutputDevice(), "");
}

}  // namespace
