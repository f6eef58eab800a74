#include "MidiTimeCodeController.h"
#include "ScratchFolder.h"

#include <brix_core/GuiDispatcher.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using namespace std::string_literals;

const std::string kTagBytes = "\x14MidiTimeCodeSettings";

struct Settings {
    bool active;
    bool hasPort;
    unsigned int port;
    FrameRate rate;
};

const Settings kDefaults{false, false, 0, FrameRate::Fps30};

class MidiTimeCodeControllerTest : public ::testing::Test {
protected:
    MidiTimeCodeControllerTest() {
        notify::guiDispatcher.AddListener(this, [this](const notify::GuiEvent& event) {
            std::lock_guard<std::mutex> lock(eventsMutex);
            events.push_back(event);
        });
    }
    ~MidiTimeCodeControllerTest() override { notify::guiDispatcher.RemoveListenersForTarget(this); }

    std::vector<notify::GuiEvent> Events() {
        std::lock_guard<std::mutex> lock(eventsMutex);
        return events;
    }

    static void ExpectSettings(const MidiTimeCodeController& controller, const Settings& expected,
                               const std::string& context) {
        EXPECT_EQ(controller.GetIsActive(), expected.active) << context;
        EXPECT_EQ(controller.GetHasOutputPortIndex(), expected.hasPort) << context;
        EXPECT_EQ(controller.GetOutputPortIndex(), expected.port) << context;
        EXPECT_EQ(controller.GetFrameRate(), expected.rate) << context;
    }

    // Builds a controller on the given file bytes; returns what it wrote on the console.
    std::string LoadFrom(const std::string& bytes, std::unique_ptr<MidiTimeCodeController>& controller) {
        ScratchFolder::WriteBytes(path, bytes);
        ::testing::internal::CaptureStdout();
        controller = std::make_unique<MidiTimeCodeController>(path);
        return ::testing::internal::GetCapturedStdout();
    }

    ScratchFolder scratch;
    const std::string path = scratch.Path("mtcsettings");
    std::mutex eventsMutex;
    std::vector<notify::GuiEvent> events;
};

TEST_F(MidiTimeCodeControllerTest, AMissingFileGivesTheDefaultsSilently)
{
    ::testing::internal::CaptureStdout();
    const MidiTimeCodeController controller(path);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");
    ExpectSettings(controller, kDefaults, "missing file");
}

TEST_F(MidiTimeCodeControllerTest, ShutdownWritesThe28ByteFileAndReadsBack)
{
    {
        MidiTimeCodeController controller(path);
        controller.Shutdown();
    }
    EXPECT_EQ(ScratchFolder::ReadBytes(path), kTagBytes + "\x00\x00"s + "\x00\x00\x00\x00"s + "\x03"s);
    {
        MidiTimeCodeController controller(path);
        controller.SetOutputPortIndex(0x01020304);
        controller.SetFrameRate(FrameRate::Fps2997Drop);
        controller.Shutdown();
    }
    EXPECT_EQ(ScratchFolder::ReadBytes(path), kTagBytes + "\x00\x01"s + "\x04\x03\x02\x01"s + "\x02"s);
    EXPECT_FALSE(std::filesystem::exists(path + ".tmp"));
    const MidiTimeCodeController reloaded(path);
    ExpectSettings(reloaded, {false, true, 0x01020304, FrameRate::Fps2997Drop}, "reloaded");
}

TEST_F(MidiTimeCodeControllerTest, AFileSavedActiveLoadsInactiveWithItsPortAndRate)
{
    std::unique_ptr<MidiTimeCodeController> controller;
    EXPECT_EQ(LoadFrom(kTagBytes + "\x01\x01"s + "\x07\x00\x00\x00"s + "\x01"s, controller), "");
    ExpectSettings(*controller, {false, true, 7, FrameRate::Fps25}, "saved active");
}

TEST_F(MidiTimeCodeControllerTest, AFileCutShortKeepsTheFieldsReadBeforeTheBreak)
{
    const std::string whole = kTagBytes + "\x01\x01"s + "\x04\x03\x02\x01"s + "\x01"s;
    for (std::size_t length = 0; length < whole.size(); ++length) {
        Settings expected = kDefaults;
        expected.active = length >= 22;  // as read: the whole file was not
        expected.hasPort = length >= 23;
        expected.port = length >= 27 ? 0x01020304 : 0;
        std::unique_ptr<MidiTimeCodeController> controller;
        const std::string console = LoadFrom(whole.substr(0, length), controller);
        EXPECT_EQ(console.rfind("MidiTimeCodeController::MidiTimeCodeController::LoadFromFile failed with ", 0), 0u)
            << "length " << length << ": " << console;
        ExpectSettings(*controller, expected, "length " + std::to_string(length));
    }
}

TEST_F(MidiTimeCodeControllerTest, AnotherTagIsRefusedAndTheDefaultsStay)
{
    const std::string rest = "\x00\x01"s + "\x09\x00\x00\x00"s + "\x02"s;
    for (const std::string& tag : {"\x13MidiTimeCodeSetting"s, "\x14MidiTimeCodeSettingz"s,
                                   "\x14MidiCommandsSettings"s, "\x00"s}) {
        std::unique_ptr<MidiTimeCodeController> controller;
        EXPECT_EQ(LoadFrom(tag + rest, controller),
                  "MidiTimeCodeController::MidiTimeCodeController::LoadFromFile failed with "
                  "Unrecognized command settings file.\n");
        ExpectSettings(*controller, kDefaults, tag);
    }
}

TEST_F(MidiTimeCodeControllerTest, AFrameRateAboveThreeIsRefusedAndThirtyFpsStays)
{
    for (unsigned char rate : {4, 7, 255}) {
        std::unique_ptr<MidiTimeCodeController> controller;
        const std::string console =
            LoadFrom(kTagBytes + "\x01\x01"s + "\x05\x00\x00\x00"s + static_cast<char>(rate), controller);
        EXPECT_EQ(console.rfind("MidiTimeCodeController::MidiTimeCodeController::LoadFromFile failed with ", 0), 0u)
            << console;
        ExpectSettings(*controller, {false, true, 5, FrameRate::Fps30}, "rate " + std::to_string(rate));
        controller->Shutdown();
        EXPECT_EQ(ScratchFolder::ReadBytes(path).back(), '\x03');
    }
}

TEST_F(MidiTimeCodeControllerTest, BytesAfterTheRateAreIgnored)
{
    std::unique_ptr<MidiTimeCodeController> controller;
    EXPECT_EQ(LoadFrom(kTagBytes + "\x00\x01"s + "\x02\x00\x00\x00"s + "\x00"s + std::string(300, 'x'), controller),
              "");
    ExpectSettings(*controller, {false, true, 2, FrameRate::Fps24}, "oversized");
}

TEST_F(MidiTimeCodeControllerTest, SettingsChangesAreAnnouncedToTheGui)
{
    MidiTimeCodeController controller(path);
    controller.SetFrameRate(FrameRate::Fps2997Drop);
    controller.SetOutputPortIndex(3);  // no sender: stored, not announced
    controller.CancelMidiTimeCode();   // inactive: still announced
    const std::vector<notify::GuiEvent> expected = {
        {notify::GuiEventKind::MtcFrameRate, 0, 0, "29.97 fps drop"},
        {notify::GuiEventKind::MtcActiveState, 0, 0, ""},
    };
    EXPECT_EQ(Events(), expected);
    EXPECT_TRUE(controller.GetHasOutputPortIndex());
    EXPECT_EQ(controller.GetOutputPortIndex(), 3u);
}

TEST_F(MidiTimeCodeControllerTest, AnUnsupportedRateChangesNothingAndAnnouncesNothing)
{
    MidiTimeCodeController controller(path);
    try {
        controller.SetFrameRate(static_cast<FrameRate>(4));
        ADD_FAILURE() << "no exception";
    } catch (const std::logic_error& error) {
        EXPECT_STREQ(error.what(), "Unsupported frame rate");
    }
    EXPECT_EQ(controller.GetFrameRate(), FrameRate::Fps30);
    EXPECT_TRUE(Events().empty());
}

TEST_F(MidiTimeCodeControllerTest, AFailedSaveIsReportedAndShutdownStillCancels)
{
    const std::string unwritable = scratch.Path("no such folder/mtcsettings");
    MidiTimeCodeController controller(unwritable);
    ::testing::internal::CaptureStdout();
    controller.Shutdown();
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "WARNING: Unable to save settings to " + unwritable + "\n");
    const std::vector<notify::GuiEvent> expected = {{notify::GuiEventKind::MtcActiveState, 0, 0, ""}};
    EXPECT_EQ(Events(), expected);
}

}  // namespace
