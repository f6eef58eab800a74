#include "BrixMidiError.h"
#include "MidiCommands.h"
#include "MidiMessageDispatcher.h"
#include "ScratchFolder.h"

#include <brix_core/CallbackDispatcher.h>
#include <brix_core/GuiDispatcher.h>
#include <brix_core/NotifyNames.h>
#include <winmm_virtual/VirtualMidi.h>

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <future>
#include <iostream>
#include <map>
#include <memory>
#include <mutex>
#include <sstream>
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

namespace {

using namespace std::chrono_literals;
using namespace std::string_literals;
using midi_commands::LearnedCommand;
using midi_commands::MidiCommands;
using Bytes = std::tuple<int, int, int>;

const std::string kHeaderBytes = "\x14MidiCommandsSettings";

std::string Record(unsigned char id, unsigned char status, unsigned char channel, unsigned char data)
{
    return std::string{static_cast<char>(id), static_cast<char>(status), static_cast<char>(channel),
                       static_cast<char>(data)};
}

// Source kind, source index and count of a settings file.
std::string Source(unsigned char kind, unsigned int index, unsigned short count)
{
    std::string bytes(1, static_cast<char>(kind));
    for (int shift = 0; shift < 32; shift += 8) {
        bytes += static_cast<char>((index >> shift) & 0xFF);
    }
    return bytes + static_cast<char>(count & 0xFF) + static_cast<char>(count >> 8);
}

// The value the GUI hears for a learned command.
int LearnedNotice(int commandId, int statusByte, int data)
{
    return (commandId << 16) | (statusByte << 8) | data;
}

const std::vector<const char*> kCommandEvents = {
    notify::names::midiCommandConductBeat,    notify::names::midiCommandContinuousMode,
    notify::names::midiCommandPlay,           notify::names::midiCommandPause,
    notify::names::midiCommandStop,           notify::names::midiCommandNextSong,
    notify::names::midiCommandPreviousSong,   notify::names::midiCommandNextMarker,
    notify::names::midiCommandPreviousMarker, notify::names::midiCommandContinue,
    notify::names::midiCommandNextPatch,      notify::names::midiCommandPreviousPatch,
};

// Everything the commands announce, as seen by the GUI and the event hub's listeners.
struct Seen {
    std::vector<std::string> fired;  // command events, in order
    std::vector<int> learned;        // GUI notices of learned commands
    std::vector<int> canceled;       // GUI notices of cancelled commands
    std::vector<int> sources;        // GUI notices of connected sources
    int learnedEvents = 0;           // midiCommandLearned posts
    int sourceEvents = 0;            // midiSourceConnected posts
    int sentinels = 0;
};

// A dispatcher with two virtual inputs, and the commands' settings file in a scratch folder.
// Messages are injected into the connected input followed by a sentinel (0x9F, 127) bound directly in
// the dispatcher: the input delivers in order, so once the sentinel fired everything before it was
// dispatched.
class MidiCommandsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        notify::guiDispatcher.AddListener(this, [this](const notify::GuiEvent& event) { OnGuiEvent(event); });
        for (const char* name : kCommandEvents) {
            notify::callbackDispatcher.AddCallback(this, name, [this, name](void*) { Update([&] { seen.fired.push_back(name); }); });
        }
        notify::callbackDispatcher.AddCallback(this, notify::names::midiCommandLearned,
                                               [this](void*) { Update([&] { ++seen.learnedEvents; }); });
        notify::callbackDispatcher.AddCallback(this, notify::names::midiSourceConnected,
                                               [this](void*) { Update([&] { ++seen.sourceEvents; }); });
        dispatcher.SetMidiBinding(kSentinel, [this] { Update([&] { ++seen.sentinels; }); });
    }
    void TearDown() override
    {
        commands.reset();
        notify::guiDispatcher.RemoveListenersForTarget(this);
        notify::callbackDispatcher.RemoveCallbacksForTarget(this);
        winmm_virtual::ClearFailures();
    }

    virtual void OnGuiEvent(const notify::GuiEvent& event)
    {
        switch (event.kind) {
        case notify::GuiEventKind::LearnedMidiCommand:
            Update([&] { seen.learned.push_back(static_cast<int>(event.value)); });
            break;
        case notify::GuiEventKind::MidiCommandCanceled:
            Update([&] { seen.canceled.push_back(static_cast<int>(event.value)); });
            break;
        case notify::GuiEventKind::SourceConnected:
            Update([&] { seen.sources.push_back(static_cast<int>(event.value)); });
            break;
        default:
            break;
        }
    }

    void Update(const std::function<void()>& change)
    {
        std::lock_guard lock(mutex);
        change();
        changed.notify_all();
    }

    Seen Snapshot()
    {
        std::lock_guard lock(mutex);
        return seen;
    }

    void ClearSeen()
    {
        std::lock_guard lock(mutex);
        seen = Seen{};
    }

    // Waits until the predicate holds for what was seen; false on time-out.
    bool WaitUntil(const std::function<bool(const Seen&)>& done)
    {
        std::unique_lock lock(mutex);
        return changed.wait_for(lock, 5s, [&] { return done(seen); });
    }

    static unsigned char IndexOf(const winmm_virtual::VirtualMidiInput& input)
    {
        return static_cast<unsigned char>(input.GetDeviceId());
    }

    void Create() { commands = std::make_unique<MidiCommands>(dispatcher, path); }

    void CreateConnected()
    {
        Create();
        commands->ConnectSourceByIndex(IndexOf(pads));
        ClearSeen();
    }

    // Injects one message into the pads; the dispatcher handles it on the input thread.
    void Inject(const Bytes& message)
    {
        const auto& [status, data1, data2] = message;
        ASSERT_EQ(pads.Inject(static_cast<BYTE>(status), static_cast<BYTE>(data1), static_cast<BYTE>(data2)), 1u);
    }

    // Injects the messages and waits until all were dispatched. No learn request may be pending.
    void Deliver(const std::vector<Bytes>& messages)
    {
        const int expected = Snapshot().sentinels + 1;
        for (const Bytes& message : messages) {
            Inject(message);
        }
        Inject({kSentinel.first, kSentinel.second, 1});
        ASSERT_TRUE(WaitUntil([&](const Seen& s) { return s.sentinels >= expected; }));
    }

    // Injects a message that answers a pending learn request and waits for the learned notice.
    void Teach(const Bytes& message)
    {
        const std::size_t expected = Snapshot().learned.size() + 1;
        Inject(message);
        ASSERT_TRUE(WaitUntil([&](const Seen& s) { return s.learned.size() >= expected; }));
    }

    // The events that the messages fire.
    std::vector<std::string> Fire(const std::vector<Bytes>& messages)
    {
        const std::size_t before = Snapshot().fired.size();
        Deliver(messages);
        const Seen now = Snapshot();
        return {now.fired.begin() + static_cast<std::ptrdiff_t>(before), now.fired.end()};
    }

    static constexpr MidiMessageDispatcher::Key kSentinel{0x9F, 127};
    ScratchFolder scratch;
    const std::string path = scratch.Path("midicommands");
    winmm_virtual::VirtualMidiInput pads{u"Stage Pads"};
    winmm_virtual::VirtualMidiInput keyboard{u"Stage Keyboard"};
    MidiMessageDispatcher dispatcher;
    std::unique_ptr<MidiCommands> commands;
    std::mutex mutex;
    std::condition_variable changed;
    Seen seen;
};

TEST_F(MidiCommandsTest, NoteControllerAndProgramChangeAreLearnedAndThenFireTheirCommands)
{
    CreateConnected();
    commands->LearnMidiCommandNoAssign(2);
    commands->LearnMidiCommandNoAssign(4);
    commands->LearnMidiCommandNoAssign(9);
    for (unsigned char id : {2, 4, 9}) {
        EXPECT_TRUE(commands->IsMidiCommandLearning(id)) << int(id);
    }

    Inject({0x80, 60, 0});   // a note-off answers nothing
    Inject({0x93, 60, 0});   // nor does a note-on with velocity 0
    Teach({0x93, 60, 100});
    EXPECT_FALSE(commands->IsMidiCommandLearning(2));
    EXPECT_TRUE(commands->IsMidiCommandLearning(4));
    Teach({0xB1, 7, 0});
    Teach({0xC5, 3, 0});
    EXPECT_FALSE(commands->IsMidiCommandLearning(9));

    const std::map<unsigned char, LearnedCommand> expected = {
        {2, {2, 0x90, 3, 60}}, {4, {4, 0xB0, 1, 7}}, {9, {9, 0xC0, 5, 3}}};
    EXPECT_EQ(commands->GetLearnedCommands(), expected);
    Seen now = Snapshot();
    EXPECT_EQ(now.learned, (std::vector<int>{LearnedNotice(2, 0x93, 60), LearnedNotice(4, 0xB1, 7),
                                             LearnedNotice(9, 0xC5, 3)}));
    EXPECT_EQ(now.learnedEvents, 3);
    EXPECT_TRUE(now.fired.empty()) << "learning fires nothing";
    EXPECT_TRUE(now.canceled.empty());

    struct Case {
        Bytes message;
        std::vector<std::string> fired;
    };
    const std::vector<Case> cases = {
        {{0x93, 60, 1}, {notify::names::midiCommandPlay}},
        {{0x93, 60, 0}, {}},  // velocity 0 is a note-off
        {{0x94, 60, 100}, {}},  // another channel
        {{0x93, 61, 100}, {}},
        {{0xB1, 7, 0}, {notify::names::midiCommandStop}},
        {{0xB1, 7, 127}, {notify::names::midiCommandStop}},
        {{0xB0, 7, 127}, {}},
        {{0xC5, 3, 0}, {notify::names::midiCommandContinue}},
        {{0xC5, 4, 0}, {}},
        {{0x85, 3, 0}, {}},
    };
    for (const Case& c : cases) {
        const auto& [status, data1, data2] = c.message;
        EXPECT_EQ(Fire({c.message}), c.fired) << status << " " << data1 << " " << data2;
    }
}

TEST_F(MidiCommandsTest, EachCommandPostsItsOwnEvent)
{
    CreateConnected();
    std::vector<Bytes> controllers;
    for (unsigned char id = 0; id < 12; ++id) {
        commands->SetMidiCommand(id, 0xB0, 2, static_cast<unsigned char>(20 + id));
        controllers.emplace_back(0xB2, 20 + id, 64);
    }
    EXPECT_EQ(Fire(controllers), std::vector<std::string>(kCommandEvents.begin(), kCommandEvents.end()));
}

TEST_F(MidiCommandsTest, TeachingAnotherCommandsMessageMovesItAndCancelsTheOther)
{
    CreateConnected();
    commands->LearnMidiCommandNoAssign(2);
    Teach({0x93, 60, 100});
    commands->LearnMidiCommandNoAssign(4);
    Teach({0x93, 60, 1});

    EXPECT_EQ(Snapshot().canceled, std::vector<int>{2});
    EXPECT_EQ(commands->GetLearnedCommands(), (std::map<unsigned char, LearnedCommand>{{4, {4, 0x90, 3, 60}}}));
    EXPECT_EQ(Fire({{0x93, 60, 100}}), std::vector<std::string>{notify::names::midiCommandStop});
}

TEST_F(MidiCommandsTest, RebindingACommandFreesItsOldMessageAndRepeatingABindingCancelsNothing)
{
    CreateConnected();
    commands->SetMidiCommand(2, 0x90, 0, 60);
    commands->SetMidiCommand(3, 0xC0, 0, 1);
    commands->SetMidiCommand(2, 0x90, 0, 61);
    EXPECT_EQ(Fire({{0x90, 60, 100}, {0x90, 61, 100}}), std::vector<std::string>{notify::names::midiCommandPlay});

    ClearSeen();
    commands->SetMidiCommand(2, 0x90, 0, 61);
    const Seen now = Snapshot();
    EXPECT_EQ(now.learned, std::vector<int>{LearnedNotice(2, 0x90, 61)});
    EXPECT_TRUE(now.canceled.empty());
    EXPECT_EQ(commands->GetLearnedCommands().size(), 2u);
    EXPECT_EQ(Fire({{0x90, 61, 1}, {0xC0, 1, 0}}),
              (std::vector<std::string>{notify::names::midiCommandPlay, notify::names::midiCommandPause}));
}

TEST_F(MidiCommandsTest, AnUnknownCommandIdIsRefusedBeforeAnyBindingChanges)
{
    CreateConnected();
    commands->SetMidiCommand(2, 0x90, 0, 60);
    ClearSeen();
    for (unsigned char id : {12, 100, 255}) {
        EXPECT_THROW(commands->SetMidiCommand(id, 0x90, 0, 60), std::out_of_range) << int(id);
    }
    const Seen now = Snapshot();
    EXPECT_TRUE(now.canceled.empty());
    EXPECT_TRUE(now.learned.empty());
    EXPECT_EQ(commands->GetLearnedCommands(), (std::map<unsigned char, LearnedCommand>{{2, {2, 0x90, 0, 60}}}));
    EXPECT_EQ(Fire({{0x90, 60, 100}}), std::vector<std::string>{notify::names::midiCommandPlay});
}

TEST_F(MidiCommandsTest, ConductBeatIsReportedOnlyWhileCommandZeroIsBound)
{
    CreateConnected();
    EXPECT_FALSE(commands->GetHasConductBeat());
    commands->SetMidiCommand(0, 0x90, 9, 36);
    EXPECT_TRUE(commands->GetHasConductBeat());
    commands->UnsetMidiCommand(0);
    EXPECT_FALSE(commands->GetHasConductBeat());
    EXPECT_EQ(Fire({{0x99, 36, 100}}), std::vector<std::string>{});
    EXPECT_EQ(Snapshot().canceled, std::vector<int>{0});

    ClearSeen();
    commands->SetMidiCommand(0, 0x90, 9, 36);
    commands->SetMidiCommand(5, 0x90, 9, 36);
    EXPECT_FALSE(commands->GetHasConductBeat()) << "command 0 lost its message to command 5";
    EXPECT_EQ(Snapshot().canceled, std::vector<int>{0});
}

TEST_F(MidiCommandsTest, UnsettingACommandThatWasNeverLearnedStillReportsItCancelled)
{
    CreateConnected();
    commands->SetMidiCommand(3, 0xB0, 0, 1);
    commands->UnsetMidiCommand(7);
    commands->UnsetMidiCommand(3);
    EXPECT_EQ(Snapshot().canceled, (std::vector<int>{7, 3}));
    EXPECT_TRUE(commands->GetLearnedCommands().empty());
    EXPECT_EQ(Fire({{0xB0, 1, 1}}), std::vector<std::string>{});
}

TEST_F(MidiCommandsTest, AnAnswerForAnotherIdThanTheOldestRequestIsReportedAndStillBound)
{
    CreateConnected();
    struct Case {
        std::vector<unsigned char> pending;
        unsigned char answeredId;
    };
    for (const Case& c : {Case{{5}, 7}, Case{{}, 8}}) {
        for (unsigned char id : c.pending) {
            commands->LearnMidiCommandNoAssign(id);
        }
        ::testing::internal::CaptureStderr();
        commands->OnLearnedMidiCommandNoAssign(c.answeredId, {0xB4, c.answeredId});
        const std::string errors = ::testing::internal::GetCapturedStderr();
        EXPECT_EQ(errors, "Error: Learned Midi Command Id Does Not match expected command id.\n");
        for (unsigned char id : c.pending) {
            EXPECT_FALSE(commands->IsMidiCommandLearning(id)) << "the oldest request was taken";
        }
        EXPECT_EQ(commands->GetLearnedCommands().at(c.answeredId), (LearnedCommand{c.answeredId, 0xB0, 4, c.answeredId}));
    }
    // The dispatcher's request for 5 is still pending and takes the next message.
    Teach({0xC0, 9, 0});
    EXPECT_EQ(commands->GetLearnedCommands().at(5), (LearnedCommand{5, 0xC0, 0, 9}));
}

TEST_F(MidiCommandsTest, AnInvalidSourceIsRefusedAndTheInputKeepsWorking)
{
    winmm_virtual::VirtualMidiInput own(u"BRIX Virtual Input");
    CreateConnected();
    commands->SetMidiCommand(2, 0x90, 0, 60);
    for (unsigned char index : {IndexOf(own), static_cast<unsigned char>(midiInGetNumDevs())}) {
        try {
            commands->ConnectSourceByIndex(index);
            ADD_FAILURE() << "no exception for " << int(index);
        } catch (const MidiPortError& error) {
            EXPECT_STREQ(error.what(), "Invalid MIDI source.");
        }
    }
    EXPECT_TRUE(commands->HasMidiSource());
    EXPECT_EQ(commands->GetConnectedSourceIndex(), IndexOf(pads));
    EXPECT_EQ(Fire({{0x90, 60, 100}}), std::vector<std::string>{notify::names::midiCommandPlay});
}

TEST_F(MidiCommandsTest, AnInputThatFailsToStartIsReportedAndLeavesNoSource)
{
    CreateConnected();
    winmm_virtual::FailNextCall(winmm_virtual::Call::midiInStart, MMSYSERR_NOMEM);
    try {
        commands->ConnectSourceByIndex(IndexOf(keyboard));
        ADD_FAILURE() << "no exception";
    } catch (const MidiPortError& error) {
        EXPECT_STREQ(error.what(), "midiInStart: 7 MMSYSERR_NOMEM memory allocation error");
    }
    EXPECT_FALSE(commands->HasMidiSource());
    const Seen now = Snapshot();
    EXPECT_TRUE(now.sources.empty());
    EXPECT_EQ(now.sourceEvents, 0);
}

TEST_F(MidiCommandsTest, LearnedCommandsAndTheSourceSurviveARestart)
{
    CreateConnected();
    commands->LearnMidiCommandNoAssign(2);
    Teach({0x93, 60, 100});
    commands->LearnMidiCommandNoAssign(0);
    Teach({0xB0, 64, 127});
    commands->SetMidiCommand(11, 0xC0, 15, 127);
    const auto learned = commands->GetLearnedCommands();
    commands.reset();
    // A new run starts with a dispatcher that has no bindings and no input.
    for (const auto& [id, command] : learned) {
        dispatcher.RemoveMidiBinding({static_cast<unsigned char>(command.status | command.channel), command.data});
    }
    dispatcher.Disconnect();

    EXPECT_EQ(ScratchFolder::ReadBytes(path), kHeaderBytes + Source(1, IndexOf(pads), 3) + Record(0, 0xB0, 0, 64) +
                                                  Record(2, 0x90, 3, 60) + Record(11, 0xC0, 15, 127));

    ClearSeen();
    Create();
    EXPECT_TRUE(commands->HasMidiSource());
    EXPECT_EQ(commands->GetConnectedSourceIndex(), IndexOf(pads));
    EXPECT_EQ(commands->GetLearnedCommands(), learned);
    EXPECT_TRUE(commands->GetHasConductBeat());
    const Seen now = Snapshot();
    EXPECT_EQ(now.sources, std::vector<int>{IndexOf(pads)});
    EXPECT_EQ(now.sourceEvents, 1);
    EXPECT_EQ(now.learned, (std::vector<int>{LearnedNotice(0, 0xB0, 64), LearnedNotice(2, 0x93, 60),
                                             LearnedNotice(11, 0xCF, 127)}));
    EXPECT_EQ(Fire({{0x93, 60, 1}, {0xB0, 64, 0}, {0xCF, 127, 0}}),
              (std::vector<std::string>{notify::names::midiCommandPlay, notify::names::midiCommandConductBeat,
                                        notify::names::midiCommandPreviousPatch}));
}

TEST_F(MidiCommandsTest, LoadedCommandsStayUnboundUntilASourceIsConnectedAndTheLowerIdKeepsASharedMessage)
{
    ScratchFolder::WriteBytes(path, kHeaderBytes + Source(0, 0, 3) + Record(0, 0x90, 9, 36) + Record(3, 0xB0, 0, 1) +
                                        Record(6, 0x90, 9, 36));
    Create();
    EXPECT_FALSE(commands->HasMidiSource());
    EXPECT_FALSE(commands->GetHasConductBeat());
    EXPECT_EQ(commands->GetLearnedCommands().size(), 3u);
    EXPECT_TRUE(Snapshot().learned.empty());
    std::ostringstream bindings;
    dispatcher.DisplayCallbackMap(bindings);
    EXPECT_EQ(bindings.str().find("\tStatus: 144"), std::string::npos) << "only the sentinel is bound: " << bindings.str();

    commands->ConnectSourceByIndex(IndexOf(pads));
    EXPECT_TRUE(commands->GetHasConductBeat());
    const Seen now = Snapshot();
    EXPECT_EQ(now.learned, (std::vector<int>{LearnedNotice(0, 0x99, 36), LearnedNotice(3, 0xB0, 1)}));
    EXPECT_EQ(now.canceled, std::vector<int>{6});
    EXPECT_EQ(commands->GetLearnedCommands(),
              (std::map<unsigned char, LearnedCommand>{{0, {0, 0x90, 9, 36}}, {3, {3, 0xB0, 0, 1}}}));
    EXPECT_EQ(Fire({{0x99, 36, 100}, {0xB0, 1, 0}}),
              (std::vector<std::string>{notify::names::midiCommandConductBeat, notify::names::midiCommandPause}));
}

TEST_F(MidiCommandsTest, ASavedSourceThatCannotBeConnectedIsKeptUntilTheUserChoosesAnother)
{
    const unsigned int absent = midiInGetNumDevs() + 3;
    struct Case {
        const char* what;
        unsigned int savedIndex;
        std::function<void()> before;                  // ahead of start-up
        std::function<void(MidiCommands&)> userAction;
        std::string expectedSource;
    };
    const std::vector<Case> cases = {
        {"device absent, nothing chosen", absent, [] {}, [](MidiCommands&) {}, Source(1, absent, 1)},
        {"device fails to start, nothing chosen", IndexOf(pads),
         [] { winmm_virtual::FailNextCall(winmm_virtual::Call::midiInStart, MMSYSERR_NOMEM); },
         [](MidiCommands&) {}, Source(1, IndexOf(pads), 1)},
        {"device absent, another chosen", absent, [] {},
         [this](MidiCommands& c) { c.ConnectSourceByIndex(IndexOf(keyboard)); }, Source(1, IndexOf(keyboard), 1)},
        {"device absent, an invalid one chosen", absent, [] {},
         [](MidiCommands& c) { EXPECT_THROW(c.ConnectSourceByIndex(static_cast<unsigned char>(midiInGetNumDevs())), MidiPortError); },
         Source(0, 0, 1)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ScratchFolder::WriteBytes(path, kHeaderBytes + Source(1, c.savedIndex, 1) + Record(2, 0x90, 0, 60));
        c.before();
        Create();
        EXPECT_EQ(commands->GetLearnedCommands().size(), 1u);
        c.userAction(*commands);
        commands.reset();
        EXPECT_EQ(ScratchFolder::ReadBytes(path), kHeaderBytes + c.expectedSource + Record(2, 0x90, 0, 60));
    }
}

TEST_F(MidiCommandsTest, ADamagedSettingsFileIsReportedAndLoadsNothing)
{
    const std::string whole = kHeaderBytes + Source(0, 0, 2) + Record(2, 0x90, 0, 60) + Record(4, 0xB0, 0, 1);
    struct Case {
        const char* what;
        std::string bytes;
        std::string warning;  // the start of the console line, empty for none
    };
    const std::vector<Case> cases = {
        {"cut short", whole.substr(0, whole.size() - 1), "WARNING: LoadFromFile error: "},
        {"another header", "\x13MidiCommandsSetting"s + Source(0, 0, 0),
         "WARNING: BrixMidiError on LoadFromFile: Unrecognized command settings file.\n"},
        {"empty", "", "WARNING: LoadFromFile error: "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ScratchFolder::WriteBytes(path, c.bytes);
        ::testing::internal::CaptureStdout();
        Create();
        const std::string console = ::testing::internal::GetCapturedStdout();
        EXPECT_EQ(console.rfind(c.warning, 0), 0u) << console;
        EXPECT_TRUE(commands->GetLearnedCommands().empty());
        commands.reset();
    }

    std::filesystem::remove(path);
    ::testing::internal::CaptureStdout();
    Create();
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "") << "a missing file is normal";
}

TEST_F(MidiCommandsTest, AFileThatCannotBeWrittenIsReportedAtDestruction)
{
    const std::string unwritable = scratch.Path("missing-folder/midicommands");
    commands = std::make_unique<MidiCommands>(dispatcher, unwritable);
    ::testing::internal::CaptureStdout();
    commands.reset();
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "WARNING: Unable to save settings to " + unwritable + "\n");
}

TEST_F(MidiCommandsTest, ALearnRequestStillPendingWhenTheCommandsAreDestroyedDoesNothing)
{
    CreateConnected();
    commands->LearnMidiCommandNoAssign(3);
    commands.reset();
    Deliver({{0x90, 60, 100}});  // answers the request, then the sentinel fires
    EXPECT_TRUE(Snapshot().learned.empty());
}

// The input thread is held inside the dispatch of a learn answer while another source is chosen: the
// old input must close without waiting for a lock the chooser holds.
class MidiCommandsSourceChangeTest : public MidiCommandsTest {
protected:
    void OnGuiEvent(const notify::GuiEvent& event) override
    {
        if (event.kind == notify::GuiEventKind::MidiNotification) {
            std::unique_lock lock(mutex);
            if (holdInput) {
                holdInput = false;
                inputHeld = true;
                changed.notify_all();
                changed.wait_for(lock, 5s, [&] { return released; });
            }
            return;
        }
        MidiCommandsTest::OnGuiEvent(event);
    }

    bool holdInput = false;
    bool inputHeld = false;
    bool released = false;
};

TEST_F(MidiCommandsSourceChangeTest, ChoosingAnotherSourceWhileALearnAnswerArrivesDoesNotDeadlock)
{
    CreateConnected();
    commands->LearnMidiCommandNoAssign(2);
    {
        std::lock_guard lock(mutex);
        holdInput = true;
    }
    Inject({0x90, 60, 100});
    {
        std::unique_lock lock(mutex);
        ASSERT_TRUE(changed.wait_for(lock, 5s, [&] { return inputHeld; }));
    }
    auto connecting = std::async(std::launch::async, [&] {
        Update([&] { released = true; });
        commands->ConnectSourceByIndex(IndexOf(keyboard));
    });
    if (connecting.wait_for(10s) != std::future_status::ready) {
        ADD_FAILURE() << "choosing a source deadlocked with the learn answer";
        std::cout.flush();
        std::_Exit(EXIT_FAILURE);
    }
    connecting.get();
    ASSERT_TRUE(WaitUntil([](const Seen& s) { return !s.learned.empty(); }));
    EXPECT_EQ(commands->GetLearnedCommands().at(2), (LearnedCommand{2, 0x90, 0, 60}));
    EXPECT_EQ(commands->GetConnectedSourceIndex(), IndexOf(keyboard));
}

TEST(MidiCommandNames, EachListOffersItsCommandsWithTheirDisplayNames)
{
    const std::vector<std::string> names = {"Conduct Beat", "Continuous Mode", "Play",     "Pause",
                                            "Stop",         "Next Song",       "Previous Song", "Next Marker",
                                            "Previous Marker", "Continue",     "NextPatch", "PreviousPatch"};
    struct Case {
        const std::map<unsigned char, std::string>& list;
        unsigned char first;
        unsigned char last;
    };
    for (const Case& c : {Case{midi_commands::keysCommandNames, 0, 11},
                          Case{midi_commands::gantrymereCommandNames, 0, 9},
                          Case{midi_commands::commandNames, 2, 9}}) {
        std::map<unsigned char, std::string> expected;
        for (unsigned char id = c.first; id <= c.last; ++id) {
            expected.emplace(id, names[id]);
        }
        EXPECT_EQ(c.list, expected);
    }
    EXPECT_EQ(midi_commands::commandIds.size(), 12u);
    EXPECT_EQ(midi_commands::commandIds.rbegin()->first, 11);
}

}  // namespace
