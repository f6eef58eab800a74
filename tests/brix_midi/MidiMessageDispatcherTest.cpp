#include "BrixMidiError.h"
#include "MidiEndPoint.h"
#include "MidiMessageDispatcher.h"
#include "win32/MidiDeviceLists.h"
#include "win32/MidiInputPortWin32.h"

#include <brix_core/BrixLog.h>
#include <brix_core/GuiDispatcher.h>
#include <winmm_virtual/VirtualMidi.h>

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <sstream>
#include <stdexcept>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace {

using namespace std::chrono_literals;
using Key = MidiMessageDispatcher::Key;
using Bytes = std::tuple<int, int, int>;

// A dispatcher connected to a started virtual input. Messages are injected and then a sentinel
// (0x9F, 127) bound to a signal: the input delivers in order, so once the sentinel fired every message
// before it was dispatched.
class DispatcherTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        notify::guiDispatcher.AddListener(this, [this](const notify::GuiEvent& event) {
            if (event.kind == notify::GuiEventKind::MidiNotification) {
                std::lock_guard lock(mutex);
                ++notifications;
            }
        });
        dispatcher.SetMidiBinding(kSentinel, [this] {
            std::lock_guard lock(mutex);
            ++sentinels;
            changed.notify_all();
        });
        dispatcher.ConnectWithSourceIndex(static_cast<unsigned char>(input.GetDeviceId()));
        dispatcher.Start();
        ClearBrixLogRecords();
    }
    void TearDown() override { notify::guiDispatcher.RemoveListenersForTarget(this); }

    // Injects the messages and waits until all were dispatched.
    void Deliver(const std::vector<Bytes>& messages)
    {
        int expected = 0;
        {
            std::lock_guard lock(mutex);
            expected = sentinels + 1;
        }
        for (const auto& [status, data1, data2] : messages) {
            ASSERT_EQ(input.Inject(static_cast<BYTE>(status), static_cast<BYTE>(data1), static_cast<BYTE>(data2)), 1u);
        }
        ASSERT_EQ(input.Inject(kSentinel.first, kSentinel.second, 1), 1u);
        std::unique_lock lock(mutex);
        ASSERT_TRUE(changed.wait_for(lock, 5s, [&] { return sentinels >= expected; }));
    }

    // Binds key to record its name in `fired`.
    void Bind(Key key, const std::string& name)
    {
        dispatcher.SetMidiBinding(key, [this, name] {
            std::lock_guard lock(mutex);
            fired.push_back(name);
        });
    }

    std::vector<Bytes> ForwardPacket()
    {
        std::vector<Bytes> forwarded;
        dispatcher.SetForwardingFunction([&](const std::vector<MIDIMessage>& packet) {
            for (const MIDIMessage& m : packet) {
                forwarded.emplace_back(m.status, m.data1, m.data2);
            }
        });
        dispatcher.PacketEnd();
        return forwarded;
    }

    static constexpr Key kSentinel{0x9F, 127};
    winmm_virtual::VirtualMidiInput input{u"Test Keyboard"};
    std::mutex mutex;
    std::condition_variable changed;
    int sentinels = 0;
    int notifications = 0;
    std::vector<std::string> fired;
    MidiMessageDispatcher dispatcher;
};

TEST_F(DispatcherTest, AcceptedMessagesFireTheirBindingAndTheRestGoToThePacket)
{
    Bind({0x90, 60}, "note 60 channel 1");
    Bind({0x91, 60}, "note 60 channel 2");
    Bind({0xB0, 7}, "volume");
    Bind({0xC0, 5}, "program 5");
    dispatcher.SetForwardingFunction([](const std::vector<MIDIMessage>&) {});
    const std::vector<Bytes> passThrough = {
        {0x90, 60, 0},   // note-on with velocity 0 is a note-off
        {0x92, 60, 1},   // accepted but unbound
        {0x80, 60, 0},   {0xE0, 0, 64}, {0xD0, 5, 0}, {0xA0, 60, 3}, {0xF8, 0, 0},
    };
    Deliver({{0x90, 60, 100}, passThrough[0], {0xB0, 7, 0}, passThrough[1], {0xC0, 5, 0}, passThrough[2],
             passThrough[3], {0x91, 60, 1}, passThrough[4], passThrough[5], passThrough[6]});

    EXPECT_EQ(fired, (std::vector<std::string>{"note 60 channel 1", "volume", "program 5", "note 60 channel 2"}));
    EXPECT_EQ(ForwardPacket(), passThrough);
    EXPECT_EQ(ForwardPacket(), std::vector<Bytes>{}) << "PacketEnd empties the packet";
    std::lock_guard lock(mutex);
    EXPECT_EQ(notifications, 12) << "every message, the sentinel included, notifies the GUI";
}

TEST_F(DispatcherTest, LearnRequestsAreAnsweredInOrderAndTakePrecedenceOverBindings)
{
    Bind({0x90, 60}, "old binding");
    std::vector<Key> answers;
    std::string mapWhenNoticed;
    auto answer = [&](Key key) {
        std::lock_guard lock(mutex);
        answers.push_back(key);
        changed.notify_all();
    };
    auto answered = [&](std::size_t count) {
        std::unique_lock lock(mutex);
        return changed.wait_for(lock, 5s, [&] { return answers.size() >= count; });
    };
    dispatcher.LearnMidiBinding(
        [this] {
            std::lock_guard lock(mutex);
            fired.push_back("learned binding");
        },
        [&](Key key) {
            std::ostringstream map;
            dispatcher.DisplayCallbackMap(map);  // re-entrant: the dispatcher's lock is not held
            mapWhenNoticed = map.str();
            answer(key);
        });
    dispatcher.LearnMidiBindingNoAssign(answer);
    EXPECT_TRUE(dispatcher.IsLearning());

    // Messages that cannot be learned go by; the first that can answers the oldest request.
    for (const auto& [status, data1, data2] : std::vector<Bytes>{{0x80, 60, 0}, {0xE0, 1, 2}, {0x90, 60, 100}}) {
        input.Inject(static_cast<BYTE>(status), static_cast<BYTE>(data1), static_cast<BYTE>(data2));
    }
    ASSERT_TRUE(answered(1));
    EXPECT_TRUE(dispatcher.IsLearning()) << "one request is still pending";
    input.Inject(0xB2, 1, 0);
    ASSERT_TRUE(answered(2));
    EXPECT_FALSE(dispatcher.IsLearning());
    {
        std::lock_guard lock(mutex);
        EXPECT_EQ(answers, (std::vector<Key>{{0x90, 60}, {0xB2, 1}}));
        EXPECT_TRUE(fired.empty()) << "a learned message fires nothing";
    }
    EXPECT_NE(mapWhenNoticed.find("\tStatus: 144 Data: 60 Callback: "), std::string::npos)
        << "the key is bound before the notice is given";

    Deliver({{0x90, 60, 100}, {0xB2, 1, 0}});
    EXPECT_EQ(fired, std::vector<std::string>{"learned binding"}) << "the second request bound nothing";
}

TEST_F(DispatcherTest, ThrowingBindingIsLoggedAndStaysBound)
{
    int calls = 0;
    dispatcher.SetMidiBinding({0xB0, 64}, [&] {
        ++calls;
        throw std::runtime_error("pedal failed");
    });
    Deliver({{0xB0, 64, 127}, {0xB0, 64, 0}});
    EXPECT_EQ(calls, 2);
    const auto records = GetBrixLogRecords();
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].message, "pedal failed");

    dispatcher.RemoveMidiBinding({0xB0, 64});
    Deliver({{0xB0, 64, 127}});
    EXPECT_EQ(calls, 2);
}

TEST_F(DispatcherTest, PacketCollectsOnlyWhileForwardedAndUpToItsCap)
{
    Deliver({{0xF8, 0, 0}, {0xFE, 0, 0}});
    EXPECT_EQ(ForwardPacket(), std::vector<Bytes>{}) << "nothing is collected before a forwarding function is set";

    std::vector<Bytes> flood(MidiMessageDispatcher::kMaxPacketMessages + 50, Bytes{0xF8, 0, 0});
    Deliver(flood);
    EXPECT_EQ(ForwardPacket().size(), MidiMessageDispatcher::kMaxPacketMessages);

    Deliver({{0x80, 1, 0}});
    dispatcher.PacketStart();
    EXPECT_EQ(ForwardPacket(), std::vector<Bytes>{}) << "PacketStart empties the packet";
}

TEST_F(DispatcherTest, PacketEndWithoutAForwardingFunctionThrowsAndKeepsNothingCollected)
{
    dispatcher.SetForwardingFunction(nullptr);
    Deliver({{0x80, 1, 0}});
    EXPECT_THROW(dispatcher.PacketEnd(), std::bad_function_call);
    EXPECT_EQ(ForwardPacket(), std::vector<Bytes>{});
}

TEST_F(DispatcherTest, ConnectionFailuresKeepThePortAndDisconnectRemembersIt)
{
    const auto index = static_cast<unsigned char>(input.GetDeviceId());
    try {
        dispatcher.ConnectWithSourceIndex(static_cast<unsigned char>(midiInGetNumDevs()));
        FAIL() << "no exception";
    } catch (const MidiPortError& e) {
        EXPECT_STREQ(e.what(), "midiInOpen: 2 MMSYSERR_BADDEVICEID device ID out of range");
    }
    EXPECT_TRUE(dispatcher.GetIsConnected());
    Bind({0x90, 1}, "still connected");
    Deliver({{0x90, 1, 1}});
    EXPECT_EQ(fired.size(), 1u);

    dispatcher.Disconnect();
    EXPECT_FALSE(dispatcher.GetIsConnected());
    EXPECT_EQ(input.Inject(0x90, 1, 1), 0u) << "the device is closed";
    EXPECT_EQ(dispatcher.GetPortIndex(), index);
    dispatcher.Disconnect();
    EXPECT_EQ(dispatcher.GetPortIndex(), 0);
    dispatcher.Start();  // without a port: only a line on standard error
    EXPECT_FALSE(dispatcher.GetIsConnected());
}

TEST(MidiMessageDispatcher, InputIsDeliveredOnlyAfterStart)
{
    winmm_virtual::VirtualMidiInput input(u"Pads");
    MidiMessageDispatcher dispatcher;
    dispatcher.ConnectWithSourceIndex(static_cast<unsigned char>(input.GetDeviceId()));
    EXPECT_EQ(input.Inject(0x90, 60, 100), 0u);
    dispatcher.Start();
    EXPECT_EQ(input.Inject(0x90, 60, 100), 1u);
}

TEST(MidiMessageDispatcher, CallbackMapListsBindingsByStatusThenData)
{
    MidiMessageDispatcher dispatcher;
    dispatcher.SetMidiBinding({0x93, 60}, [] {});
    dispatcher.SetMidiBinding({0x90, 70}, [] {});
    std::ostringstream out;
    dispatcher.DisplayCallbackMap(out);
    const std::string text = out.str();
    const auto first = text.find("\tStatus: 144 Data: 70 Callback: ");
    const auto second = text.find("\tStatus: 147 Data: 60 Callback: ");
    ASSERT_NE(first, std::string::npos) << text;
    ASSERT_NE(second, std::string::npos) << text;
    EXPECT_LT(first, second);
}

TEST(MidiMessageDispatcher, KeyOrderOperatorComparesDataBeforeStatus)
{
    using P = std::pair<unsigned char, unsigned char>;
    const std::vector<std::tuple<P, P, bool>> cases = {
        {{0x90, 60}, {0x80, 61}, true},
        {{0x80, 61}, {0x90, 60}, false},
        {{0x80, 60}, {0x90, 60}, true},
        {{0x90, 60}, {0x90, 60}, false},
    };
    for (const auto& [a, b, less] : cases) {
        EXPECT_EQ(::operator<(a, b), less);
    }
}

TEST(MidiEndPoints, SystemPortsAreLeftOutAndTheOthersKeepTheirPositions)
{
    if (midiInGetNumDevs() != 0) {
        GTEST_SKIP() << "this machine has input devices of its own";
    }
    winmm_virtual::VirtualMidiInput brix(u"BRIX Show Control");
    winmm_virtual::VirtualMidiInput keyboard(u"Stage Keyboard \u00e9");
    winmm_virtual::VirtualMidiInput iac(u"IAC Driver BRIX Bus 1");
    winmm_virtual::VirtualMidiInput shortBrix(u"BRI");
    winmm_virtual::VirtualMidiInput shortIac(u"IAC Driver");

    const auto sources = GetNonBrixMidiSources();
    ASSERT_EQ(sources.size(), 3u);
    const std::vector<std::pair<int, std::string>> expected = {
        {1, "Stage Keyboard \xC3\xA9"}, {3, "BRI"}, {4, "IAC Driver"}};
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(sources[i].GetSourceIndex(), expected[i].first);
        EXPECT_EQ(sources[i].GetSourceName(), expected[i].second);
    }
    EXPECT_FALSE(IsValidNonBrixSourceIndex(0));
    EXPECT_TRUE(IsValidNonBrixSourceIndex(1));
    EXPECT_FALSE(IsValidNonBrixSourceIndex(2));
    EXPECT_EQ(GetMidiInputPortNames().size(), 5u);
    EXPECT_EQ(GetMidiInputPortNames()[0], "BRIX Show Control");

    EXPECT_TRUE(GetMidiOutputPorts().empty());
    EXPECT_TRUE(GetNonBrixMidiDestinations().empty());
    EXPECT_FALSE(IsValidNonBrixDestinationIndex(0));

    EXPECT_EQ(GetUniqueIdFromIndex(1), 0);
    EXPECT_EQ(GetIndexFromUniqueId(0), 0);
    EXPECT_EQ(GetIndexFromUniqueId(42), 0) << "no device has that id";
}

TEST(MidiInputPortWin32, ListingPortOfAMissingDeviceHasNoValidName)
{
    MidiInputPortWin32 port(static_cast<unsigned char>(midiInGetNumDevs()));
    EXPECT_EQ(port.GetDisplayName(), "Not a valid input device.");
    EXPECT_FALSE(port.GetIsRunning());
    EXPECT_EQ(port.GetCallbackTarget(), nullptr);
}

TEST(MidiInputPortWin32, KillingTwiceIsHarmlessAndStopsDelivery)
{
    winmm_virtual::VirtualMidiInput input(u"Pads");
    int target = 0;
    MidiInputPortWin32 port(static_cast<unsigned char>(input.GetDeviceId()),
                            [](HMIDIIN, unsigned int, unsigned long long, unsigned long long, unsigned long long) {},
                            &target);
    port.Start();
    EXPECT_TRUE(port.GetIsRunning());
    port.KillIt();
    EXPECT_FALSE(port.GetIsRunning());
    port.KillIt();
    EXPECT_EQ(input.Inject(0x90, 1, 1), 0u);
}

TEST(MidiInputPortWin32, StartFailureIsAPortError)
{
    winmm_virtual::VirtualMidiInput input(u"Pads");
    MidiInputPortWin32 port(static_cast<unsigned char>(input.GetDeviceId()),
                            [](HMIDIIN, unsigned int, unsigned long long, unsigned long long, unsigned long long) {},
                            nullptr);
    winmm_virtual::FailNextCall(winmm_virtual::Call::midiInStart, MMSYSERR_NOMEM);
    try {
        port.Start();
        FAIL() << "no exception";
    } catch (const MidiPortError& e) {
        EXPECT_STREQ(e.what(), "midiInStart: 7 MMSYSERR_NOMEM memory allocation error");
    }
    EXPECT_FALSE(port.GetIsRunning());
}

}  // namespace
