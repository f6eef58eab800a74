// The MIDI Manager window over the real engine of the demo show, with a virtual MIDI input as the
// remote control: what a row learns comes from a message played into the input, and the engine then
// acts on that message.

#include "QmlTest.h"
#include "ShowManager.h"
#include "midi_manager_controller.h"

#include <brix_core/EventObserver.h>
#include <brix_tarnwick2/Tarnwick2Interface.h>
#include <winmm_virtual/VirtualMidi.h>

#include <LearnedCommand.h>

#include <QMetaObject>
#include <QPointer>
#include <QStringList>
#include <QTemporaryDir>

#include <filesystem>
#include <memory>
#include <string>

namespace {

using brix::qt::MidiManagerCommandController;
using brix::qt::MidiManagerController;
using musical_test::QmlTest;
using musical_test::WaitFor;

constexpr int kLearnedKind = 16;
constexpr int kCancelledKind = 17;
constexpr std::uint8_t kPlay = 2;
const char* const kInputName = "device window test input";

class MidiWindowOnEngineTest : public QmlTest {
protected:
    void SetUp() override
    {
        QmlTest::SetUp();
        ASSERT_TRUE(folder.isValid());
        const std::filesystem::path root(folder.path().toStdString());
        std::filesystem::copy(BRIX_DEMO_SHOW_DIR, root / "show", std::filesystem::copy_options::recursive);
        std::filesystem::create_directories(root / "data");
        player = std::make_shared<brix::Tarnwick2Interface>((root / "show").string(), (root / "data").string(), nullptr);
        showManager = std::make_shared<brix::ShowManager>(player);
        controller = std::make_unique<MidiManagerController>(nullptr, Engine(), showManager, nullptr);
        ASSERT_NE(controller->GetQmlObject(), nullptr);

        // The engine's learn results reach the window on the GUI thread, as the main window passes them.
        QPointer<MidiManagerController> window(controller.get());
        observer.SetCallbackFunc(
            [window](int kind, int value, const char*, void*) {
                QMetaObject::invokeMethod(
                    window.data(),
                    [window, kind, value] {
                        if (window.isNull())
                            return;
                        if (kind == kLearnedKind)
                            window->MidiLearned(value >> 16 & 0xFF, value >> 8 & 0xF0, value >> 8 & 0x0F, value & 0xFF);
                        else
                            window->MidiUnlearned(value);
                    },
                    Qt::QueuedConnection);
            },
            nullptr);
        observer.RegisterLearnedMIDICommand(kLearnedKind);
        observer.RegisterMIDICommandCanceled(kCancelledKind);
    }
    void TearDown() override
    {
        observer.SetCallbackFunc(nullptr, nullptr);
        controller.reset();
        showManager.reset();
        player.reset();
        musical_test::RunDeferredDeletes();
        QmlTest::TearDown();
    }

    QObject* PlayRow() const
    {
        for (const auto& row : controller->GetRows()) {
            if (row->GetCommandId() == kPlay)
                return row->GetQmlObject();
        }
        return nullptr;
    }
    static QString Shown(QObject* row, const char* box)
    {
        return FindByName(row, QString::fromUtf8(box))->property("displayText").toString();
    }
    // Plays the message into the input until the engine is playing, then stops it.
    bool PlaysOn(std::uint8_t status, std::uint8_t note)
    {
        if (input.Inject(status, note, 100) != 1)
            return false;
        const bool playing = WaitFor([this] { return player->GetIsPlaying(); }, std::chrono::seconds(20));
        player->Stop();
        return playing && WaitFor([this] { return player->IsStopped(); }, std::chrono::seconds(20));
    }

    // Created before the engine, so the engine plays into the one and lists the other.
    winmm_virtual::VirtualMidiOutput output{u"device window test output"};
    winmm_virtual::VirtualMidiInput input{u"device window test input"};
    QTemporaryDir folder;
    std::shared_ptr<Interface> player;
    std::shared_ptr<brix::ShowManager> showManager;
    std::unique_ptr<MidiManagerController> controller;
    notify::EventObserver observer;
};

TEST_F(MidiWindowOnEngineTest, ARowLearnsANotePlayedIntoTheInputAndTheEngineThenActsOnIt)
{
    QObject* window = controller->GetQmlObject();
    const QStringList sources = window->property("sourceModel").toStringList();
    const int ours = static_cast<int>(sources.indexOf(QString::fromUtf8(kInputName)));
    ASSERT_GE(ours, 0) << sources.join(", ").toStdString();
    if (window->property("sourceIndex").toInt() != ours)
        controller->onSourceSelected_(ours);
    EXPECT_TRUE(window->property("sourceStatus").toBool());
    EXPECT_EQ(player->GetConnectedSourceIndex(), ours);

    QObject* row = PlayRow();
    ASSERT_NE(row, nullptr);
    EXPECT_FALSE(row->property("learnedCommand").toBool());
    QMetaObject::invokeMethod(FindByName(row, QStringLiteral("learnButton")), "clicked");
    EXPECT_TRUE(row->property("learningCommand").toBool());
    EXPECT_TRUE(player->IsMidiCommandLearning(kPlay));

    // A note-on of note 61 on channel 4.
    ASSERT_EQ(input.Inject(0x93, 61, 100), 1u);
    ASSERT_TRUE(WaitFor([row] { return row->property("learnedCommand").toBool(); }, std::chrono::seconds(20)));
    EXPECT_FALSE(row->property("learningCommand").toBool());
    EXPECT_TRUE(row->property("enabledCommand").toBool());
    EXPECT_EQ(Shown(row, "statusBox"), "Note On");
    EXPECT_EQ(Shown(row, "channelBox"), "4");
    EXPECT_EQ(Shown(row, "noteBox"), "61");
    EXPECT_TRUE(PlaysOn(0x93, 61));

    // Another note chosen in the row is what the engine answers to from then on.
    FindByName(row, QStringLiteral("noteBox"))->setProperty("currentIndex", 70);
    const auto learned = player->GetLearnedCommands();
    ASSERT_EQ(learned.count(kPlay), 1u);
    EXPECT_EQ(learned.at(kPlay), (midi_commands::LearnedCommand{kPlay, 0x90, 3, 70}));
    EXPECT_TRUE(PlaysOn(0x93, 70));
}

}  // namespace
