#include <sfx/DeviceControlWin32.h>
#include <sfx_virtual/InjectedOutputDevices.h>

#include "DeviceHints.h"

#include <gtest/gtest.h>

#include <atomic>
#include <set>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

using brix::audio::AudioDevice;
using brix::audio::DeviceControlWin32;
using sfx_impl::DeviceHint;

namespace {

struct HintCase {
    const char* what;
    std::vector<DeviceHint> hints;
    std::vector<AudioDevice> expected;
};

class OutputDevicesFromHintsTest : public testing::TestWithParam<HintCase> {};

TEST_P(OutputDevicesFromHintsTest, ListsPlayableDevicesWithUniqueNames) {
    EXPECT_EQ(sfx_impl::OutputDevicesFromHints(GetParam().hints), GetParam().expected) << GetParam().what;
}

const std::string kCard = "HDA Intel PCH, ALC892 Analog";

INSTANTIATE_TEST_SUITE_P(
    Hints, OutputDevicesFromHintsTest,
    testing::Values(
        HintCase{"no hints", {}, {}},
        HintCase{"null and default are left out, the other names kept in order",
                 {{"null", "Discard all samples", ""},
                  {"default", "Default Audio Device", ""},
                  {"sysdefault:CARD=PCH", kCard + "\nDefault Audio Device", ""},
                  {"front:CARD=PCH,DEV=0", kCard + "\nFront output / input", ""}},
                 {{"sysdefault:CARD=PCH", kCard + " - Default Audio Device"},
                  {"front:CARD=PCH,DEV=0", kCard + " - Front output / input"}}},
        HintCase{"capture-only devices are left out, playback-only ones kept",
                 {{"dsnoop:CARD=PCH,DEV=0", kCard + "\nDirect sample snooping device", "Input"},
                  {"dmix:CARD=PCH,DEV=0", kCard + "\nDirect sample mixing device", "Output"}},
                 {{"dmix:CARD=PCH,DEV=0", kCard + " - Direct sample mixing device"}}},
        HintCase{"without a description the device name is shown; empty lines are dropped",
                 {{"pipewire", "", ""}, {"pulse", "\nPulseAudio Sound Server\n\n", ""}, {"", "nameless", ""}},
                 {{"pipewire", "pipewire"}, {"pulse", "PulseAudio Sound Server"}}},
        HintCase{"two cards with the same description get their identifiers appended",
                 {{"hw:CARD=Device,DEV=0", "USB Audio Device\nDirect hardware device", ""},
                  {"hw:CARD=Device_1,DEV=0", "USB Audio Device\nDirect hardware device", ""},
                  {"hw:CARD=PCH,DEV=0", kCard + "\nDirect hardware device", ""}},
                 {{"hw:CARD=Device,DEV=0", "USB Audio Device - Direct hardware device (hw:CARD=Device,DEV=0)"},
                  {"hw:CARD=Device_1,DEV=0", "USB Audio Device - Direct hardware device (hw:CARD=Device_1,DEV=0)"},
                  {"hw:CARD=PCH,DEV=0", kCard + " - Direct hardware device"}}},
        HintCase{"a device name listed twice is one device",
                 {{"hw:CARD=PCH,DEV=0", "first", ""}, {"hw:CARD=PCH,DEV=0", "second", ""}},
                 {{"hw:CARD=PCH,DEV=0", "first"}}}),
    [](const testing::TestParamInfo<HintCase>& info) { return "case" + std::to_string(info.index); });

TEST(DeviceControlWin32Test, MachineDevicesHaveUniqueNonEmptyIdsAndNames) {
    const std::vector<AudioDevice> devices = DeviceControlWin32().GetOutputDevices();
    std::set<std::string> ids;
    std::set<std::string> names;
    for (const AudioDevice& device : devices) {
        EXPECT_FALSE(device.GetId().empty());
        EXPECT_NE(device.GetId(), "null");
        EXPECT_NE(device.GetId(), "default");
        EXPECT_TRUE(ids.insert(device.GetId()).second) << device.GetId();
        EXPECT_TRUE(names.insert(device.GetDisplayName()).second) << device.GetDisplayName();
    }
}

TEST(DeviceControlWin32Test, InjectedListReplacesTheMachineDevicesWhileItLives) {
    const std::vector<AudioDevice> machine = DeviceControlWin32().GetOutputDevices();
    const std::vector<AudioDevice> fake{{"hw:CARD=Stage,DEV=0", "Stage Left"}, {"hw:CARD=Pit,DEV=0", "Pit"}};
    {
        sfx_virtual::InjectedOutputDevices injected(fake);
        EXPECT_EQ(DeviceControlWin32().GetOutputDevices(), fake);
        EXPECT_THROW(sfx_virtual::InjectedOutputDevices second({}), std::logic_error);
        EXPECT_EQ(DeviceControlWin32().GetOutputDevices(), fake);
    }
    EXPECT_EQ(DeviceControlWin32().GetOutputDevices(), machine);
    sfx_virtual::InjectedOutputDevices none({});
    EXPECT_TRUE(DeviceControlWin32().GetOutputDevices().empty());
}

TEST(DeviceControlWin32Test, ListsFromManyThreadsWhileATestInjects) {
    const std::vector<AudioDevice> machine = DeviceControlWin32().GetOutputDevices();
    const std::vector<AudioDevice> fake{{"hw:CARD=Stage,DEV=0", "Stage Left"}};
    std::atomic<int> listing{3};
    std::vector<int> strangeLists(3, 0);
    std::vector<std::thread> listers;
    for (int& strange : strangeLists) {
        listers.emplace_back([&] {
            for (int i = 0; i < 10; ++i) {
                const std::vector<AudioDevice> devices = DeviceControlWin32().GetOutputDevices();
                strange += devices != machine && devices != fake;
            }
            --listing;
        });
    }
    while (listing > 0) {
        { sfx_virtual::InjectedOutputDevices injected(fake); }
        std::this_thread::yield();
    }
    for (std::thread& lister : listers) {
        lister.join();
    }
    EXPECT_EQ(strangeLists, std::vector<int>(3, 0));
}

}  // namespace
