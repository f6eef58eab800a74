// Pictures of the device windows (audio output, MIDI source and learned commands, output paths and
// their tool) on a real display, saved in the build folder for a person to look at.

#include "FakeInterface.h"
#include "QmlTest.h"
#include "ShowManager.h"
#include "WindowPicture.h"
#include "audio_manager_controller.h"
#include "midi_manager_controller.h"
#include "output_paths_manager_controller.h"

#include <LearnedCommand.h>
#include <MidiCommandTables.h>
#include <MidiEndPoint.h>

#include <brix_core/Directories.h>
#include <sfx_virtual/InjectedOutputDevices.h>

#include <QMetaObject>
#include <QQuickItem>
#include <QTemporaryDir>

#include <gmock/gmock.h>

#include <memory>

namespace {

using musical_test::FakeInterface;
using musical_test::QmlTest;
using testing::_;
using testing::NiceMock;
using testing::Return;

class DeviceWindowPictures : public QmlTest {
protected:
    // Shows the window and saves a picture of it as <name>.png in the pictures folder.
    static void Save(QObject* object, const QString& name)
    {
        ASSERT_NE(object, nullptr) << name.toStdString();
        object->setProperty("visible", true);
        musical_test::SaveWindowPicture(object, QStringLiteral(PICTURES_DIR), name);
    }

    std::shared_ptr<NiceMock<FakeInterface>> player = std::make_shared<NiceMock<FakeInterface>>();
    sfx_virtual::InjectedOutputDevices devices{{{"hw:CARD=PCH,DEV=0", "HDA Intel PCH - ALC892 Analog"},
                                                {"hw:CARD=USB,DEV=0", "USB Audio CODEC - USB Audio"},
                                                {"hdmi:CARD=NVidia,DEV=0", "HDA NVidia - HDMI 0"}}};
};

TEST_F(DeviceWindowPictures, AudioManager)
{
    ON_CALL(*player, GetOutputDeviceUid()).WillByDefault(Return("hw:CARD=USB,DEV=0"));
    ON_CALL(*player, GetVolume(brix_audio::VolumeType::User)).WillByDefault(Return(0.5));
    brix::qt::AudioManagerController controller(nullptr, Engine(), player);
    Save(controller.GetQmlObject(), QStringLiteral("audio_manager"));
}

TEST_F(DeviceWindowPictures, MidiManager)
{
    ON_CALL(*player, GetCommandNames()).WillByDefault(Return(midi_commands::gantrymereCommandNames));
    ON_CALL(*player, GetLearnedCommands())
        .WillByDefault(Return(std::map<std::uint8_t, midi_commands::LearnedCommand>{
            {2, {2, 0x90, 0, 60}}, {4, {4, 0xB0, 15, 64}}, {5, {5, 0xC0, 9, 127}}}));
    ON_CALL(*player, IsMidiCommandLearning(_)).WillByDefault([](std::uint8_t id) { return id == 3; });
    ON_CALL(*player, GetAllowedCommandStatuses()).WillByDefault(Return(std::vector<int>{0x90, 0xB0, 0xC0}));
    ON_CALL(*player, GetMidiSources())
        .WillByDefault(Return(std::vector<MidiEndPoint>{{0, "USB MIDI Interface - Port 1"}, {1, "Foot Controller"}}));
    ON_CALL(*player, HasMidiSource()).WillByDefault(Return(true));
    ON_CALL(*player, GetConnectedSourceIndex()).WillByDefault(Return(0));
    auto showManager = std::make_shared<brix::ShowManager>(player);
    brix::qt::MidiManagerController controller(nullptr, Engine(), showManager, nullptr);
    Save(controller.GetQmlObject(), QStringLiteral("midi_manager"));
}

TEST_F(DeviceWindowPictures, OutputPaths)
{
    QTemporaryDir show;
    directories.SetShowDirectory(show.path().toStdString());
    const std::map<std::string, CL::OutputPath> paths{
        {"1b4e28ba-2fa1-11d2-883f-0016d3cca427", {"1b4e28ba-2fa1-11d2-883f-0016d3cca427", "Stage Left", "", ""}},
        {"6fa459ea-ee8a-3ca4-894e-db77e160355e", {"6fa459ea-ee8a-3ca4-894e-db77e160355e", "Orchestra Pit", "", ""}},
        {"886313e1-3b8a-5372-9b90-0c9aee199e5d", {"886313e1-3b8a-5372-9b90-0c9aee199e5d", "Monitor", "", ""}},
    };
    brix::qt::OutputPathsManagerController controller(paths, Engine(), nullptr);
    controller.onPathCreationRequest(QStringLiteral("Lobby Speakers"), QStringLiteral("hw:CARD=USB,DEV=0"));
    QObject* window = controller.GetQmlObject();
    window->setProperty("currentIndex", 3);
    window->setProperty("visible", true);
    // The highlight moves to the current row in an animation: the picture shows where it ends.
    QObject* list = FindByName(window, QStringLiteral("pathList"));
    ASSERT_NE(list, nullptr);
    EXPECT_TRUE(musical_test::WaitFor([list] {
        auto* highlight = list->property("highlightItem").value<QQuickItem*>();
        auto* current = list->property("currentItem").value<QQuickItem*>();
        return highlight && current && highlight->y() == current->y() && highlight->width() == current->width();
    }));
    Save(window, QStringLiteral("output_paths"));

    QMetaObject::invokeMethod(FindByName(window, QStringLiteral("editButton")), "clicked");
    Save(FindByName(window, QStringLiteral("outputPathTool")), QStringLiteral("output_path_tool"));
    directories.SetShowDirectory("");
}

}  // namespace
