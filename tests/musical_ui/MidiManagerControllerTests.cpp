#include "FakeInterface.h"
#include "QmlTest.h"
#include "ShowManager.h"
#include "midi_manager_controller.h"

#include <LearnedCommand.h>
#include <MidiEndPoint.h>

#include <QAbstractItemModel>
#include <QMetaObject>
#include <QSignalSpy>
#include <QStringList>

#include <gmock/gmock.h>

#include <array>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using brix::qt::MidiManagerCommandController;
using brix::qt::MidiManagerController;
using musical_test::FakeInterface;
using musical_test::QmlTest;
using testing::_;
using testing::Invoke;
using testing::NiceMock;
using testing::Return;

using Command = std::array<int, 4>;  // command id, status, channel, note as the engine is given them

// A fake engine that knows three commands (one learned on channel 16, one learning) and two MIDI
// sources, records each command it is sent and opens sources as asked.
class MidiManagerTest : public QmlTest {
protected:
    void SetUp() override
    {
        QmlTest::SetUp();
        ON_CALL(*player, GetCommandNames())
            .WillByDefault(Return(std::map<std::uint8_t, std::string>{{5, "Next Song"}, {0, "Conduct Beat"}, {2, "Play"}}));
        ON_CALL(*player, GetLearnedCommands())
            .WillByDefault(Return(std::map<std::uint8_t, midi_commands::LearnedCommand>{{2, {2, 0x90, 15, 60}}}));
        ON_CALL(*player, IsMidiCommandLearning(_)).WillByDefault([](std::uint8_t id) { return id == 5; });
        ON_CALL(*player, GetAllowedCommandStatuses()).WillByDefault(Return(std::vector<int>{0x90, 0xB0, 0xC0, 0x75}));
        ON_CALL(*player, GetMidiSources())
            .WillByDefault(Return(std::vector<MidiEndPoint>{{3, "Keyboard"}, {5, "Foot Pedal"}}));
        ON_CALL(*player, HasMidiSource()).WillByDefault([this] { return connected >= 0; });
        ON_CALL(*player, GetConnectedSourceIndex()).WillByDefault([this] { return static_cast<std::uint8_t>(connected); });
        ON_CALL(*player, SetMidiSource(_)).WillByDefault([this](int index) {
            opened.push_back(index);
            if (failToOpen) {
                connected = -1;  // the source open before is closed first
                throw std::runtime_error("The MIDI input could not be opened.");
            }
            connected = index;
        });
        ON_CALL(*player, SetMidiCommand(_, _, _, _))
            .WillByDefault([this](std::uint8_t id, std::uint8_t status, std::uint8_t channel, std::uint8_t note) {
                sent.push_back({id, status, channel, note});
            });
        showManager = std::make_shared<brix::ShowManager>(player);
    }
    void TearDown() override
    {
        showManager.reset();
        QmlTest::TearDown();
    }

    std::unique_ptr<MidiManagerController> Open()
    {
        auto controller = std::make_unique<MidiManagerController>(nullptr, Engine(), showManager, nullptr);
        EXPECT_NE(controller->GetQmlObject(), nullptr);
        return controller;
    }
    static QObject* Row(const MidiManagerController& controller, std::size_t row)
    {
        return controller.GetRows().at(row)->GetQmlObject();
    }
    static QObject* Box(QObject* row, const char* name)
    {
        QObject* box = FindByName(row, QString::fromUtf8(name));
        EXPECT_NE(box, nullptr) << name;
        return box;
    }
    // What the row shows: status, channel and note as displayed, then the learned, learning and
    // enabled states.
    static std::vector<QString> Shown(QObject* row)
    {
        return {Box(row, "statusBox")->property("displayText").toString(),
                Box(row, "channelBox")->property("displayText").toString(),
                Box(row, "noteBox")->property("displayText").toString(),
                row->property("learnedCommand").toBool() ? "learned" : "-",
                row->property("learningCommand").toBool() ? "learning" : "-",
                row->property("enabledCommand").toBool() ? "enabled" : "-"};
    }

    std::shared_ptr<NiceMock<FakeInterface>> player = std::make_shared<NiceMock<FakeInterface>>();
    std::shared_ptr<brix::ShowManager> showManager;
    int connected = -1;
    bool failToOpen = false;
    std::vector<int> opened;
    std::vector<Command> sent;
};

TEST_F(MidiManagerTest, ShowsOneRowPerCommandInIdOrderWithWhatWasLearnedAndSendsNothing)
{
    auto controller = Open();
    ASSERT_EQ(controller->GetRows().size(), 3u);
    const std::pair<int, std::vector<QString>> expected[] = {
        {0, {"", "", "", "-", "-", "enabled"}},
        {2, {"Note On", "16", "60", "learned", "-", "enabled"}},
        {5, {"", "", "", "-", "learning", "-"}},
    };
    const char* names[] = {"Conduct Beat", "Play", "Next Song"};
    for (std::size_t i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        QObject* row = Row(*controller, i);
        EXPECT_EQ(controller->GetRows()[i]->GetCommandId(), expected[i].first);
        EXPECT_EQ(row->property("commandName").toString(), names[i]);
        EXPECT_EQ(Shown(row), expected[i].second);
        EXPECT_FALSE(row->property("initializing").toBool());
    }
    EXPECT_EQ(Row(*controller, 0)->property("midiStatusIndex").toInt(), 4) << "no status: past the allowed ones";

    // A status the name table lacks shows as its byte.
    auto* statuses = Row(*controller, 0)->property("midiStatusModel").value<QAbstractItemModel*>();
    ASSERT_NE(statuses, nullptr);
    QStringList shown;
    for (int row = 0; row < statuses->rowCount(); ++row)
        shown << statuses->data(statuses->index(row, 0), Qt::DisplayRole).toString();
    EXPECT_EQ(shown, (QStringList{"Note On", "Control Change", "Program Change", "0x75"}));
    EXPECT_TRUE(sent.empty());
}

TEST_F(MidiManagerTest, OpeningConnectsTheFirstSourceOnlyWhenNoneIsOpen)
{
    struct Case {
        const char* what;
        int connectedBefore;
        std::vector<MidiEndPoint> sources;
        bool failToOpen;
        std::vector<int> opened;
        int sourceIndex;
        bool sourceStatus;
    };
    const Case cases[] = {
        {"none open: the first is opened", -1, {{3, "Keyboard"}}, false, {0}, 0, true},
        {"one open: it is shown", 1, {{3, "Keyboard"}, {5, "Foot Pedal"}}, false, {}, 1, true},
        {"no sources", -1, {}, false, {}, -1, false},
        {"the first fails to open", -1, {{3, "Keyboard"}}, true, {0}, 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        connected = c.connectedBefore;
        failToOpen = c.failToOpen;
        opened.clear();
        ON_CALL(*player, GetMidiSources()).WillByDefault(Return(c.sources));
        auto controller = Open();
        QObject* window = controller->GetQmlObject();
        QStringList names;
        for (const MidiEndPoint& source : c.sources)
            names << QString::fromStdString(source.GetSourceName());
        EXPECT_EQ(window->property("sourceModel").toStringList(), names);
        EXPECT_EQ(opened, c.opened);
        EXPECT_EQ(window->property("sourceIndex").toInt(), c.sourceIndex);
        EXPECT_EQ(window->property("sourceStatus").toBool(), c.sourceStatus);
        EXPECT_EQ(FindByName(window, QStringLiteral("sourceIndicator"))->property("value").toBool(), c.sourceStatus);
    }
}

TEST_F(MidiManagerTest, ChoosingASourceOpensItUnlessItIsOpenAndShowsAFailure)
{
    struct Case {
        const char* what;
        int connectedBefore;
        int chosen;
        bool failToOpen;
        std::vector<int> opened;
        bool sourceStatus;
        const char* error;
    };
    const Case cases[] = {
        {"another source", 0, 1, false, {1}, true, nullptr},
        {"the open source", 1, 1, false, {}, true, nullptr},
        {"a source that fails, after closing the open one", 0, 1, true, {1}, false,
         "The MIDI input could not be opened."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        connected = c.connectedBefore;
        auto controller = Open();
        QObject* window = controller->GetQmlObject();
        ASSERT_TRUE(window->property("sourceStatus").toBool());
        failToOpen = c.failToOpen;
        opened.clear();
        QSignalSpy errors(controller.get(), &MidiManagerController::error);

        // The user picks the source in the list.
        QObject* box = Box(window, "sourceBox");
        box->setProperty("currentIndex", c.chosen);
        QMetaObject::invokeMethod(box, "activated", Q_ARG(int, c.chosen));

        EXPECT_EQ(opened, c.opened);
        EXPECT_EQ(window->property("sourceStatus").toBool(), c.sourceStatus);
        if (c.error) {
            ASSERT_EQ(errors.size(), 1);
            EXPECT_EQ(errors.at(0).at(0).value<std::string>(), c.error);
            EXPECT_EQ(errors.at(0).at(1).value<std::string>(), "Error Opening MIDI Source");
        } else {
            EXPECT_EQ(errors.size(), 0);
        }
    }
}

TEST_F(MidiManagerTest, EditsInARowSendTheWholeCommandOnceStatusChannelAndNoteAreSet)
{
    struct Edit {
        const char* box;
        int index;
    };
    struct Case {
        const char* what;
        std::size_t row;
        std::vector<Edit> edits;
        std::vector<Command> sent;
    };
    const Case cases[] = {
        {"an unlearned row sends once the last value is set", 0,
         {{"channelBox", 3}, {"noteBox", 61}, {"statusBox", 1}},
         {{0, 0xB0, 3, 61}}},
        {"an unlearned row without a status sends nothing", 0, {{"noteBox", 61}, {"channelBox", 3}}, {}},
        {"a learned row sends each edit", 1,
         {{"noteBox", 62}, {"channelBox", 0}, {"statusBox", 2}},
         {{2, 0x90, 15, 62}, {2, 0x90, 0, 62}, {2, 0xC0, 0, 62}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto controller = Open();
        QObject* row = Row(*controller, c.row);
        sent.clear();
        for (const Edit& edit : c.edits)
            Box(row, edit.box)->setProperty("currentIndex", edit.index);
        EXPECT_EQ(sent, c.sent);
    }
}

TEST_F(MidiManagerTest, LearningShowsInTheRowUntilTheEnginesAnswer)
{
    auto controller = Open();
    QObject* play = Row(*controller, 1);
    QObject* conduct = Row(*controller, 0);
    EXPECT_CALL(*player, LearnMidiCommand(0)).Times(1);
    QMetaObject::invokeMethod(Box(conduct, "learnButton"), "clicked");
    EXPECT_EQ(Shown(conduct), (std::vector<QString>{"", "", "", "-", "learning", "-"}));

    struct Answer {
        const char* what;
        std::function<void()> give;
        std::vector<QString> conduct;
        std::vector<QString> play;
    };
    const std::vector<QString> playLearned{"Note On", "16", "60", "learned", "-", "enabled"};
    const Answer answers[] = {
        {"a command without a row is ignored", [&] { controller->MidiLearned(9, 0x90, 1, 1); },
         {"", "", "", "-", "learning", "-"}, playLearned},
        {"learned", [&] { controller->MidiLearned(0, 0xB0, 15, 64); },
         {"Control Change", "16", "64", "learned", "-", "enabled"}, playLearned},
        {"learned with a status the engine does not allow", [&] { controller->MidiLearned(0, 0xE0, 0, 1); },
         {"", "1", "1", "learned", "-", "enabled"}, playLearned},
        {"unlearned", [&] { controller->MidiUnlearned(2); },
         {"", "1", "1", "learned", "-", "enabled"}, {"", "", "", "-", "-", "enabled"}},
        {"unlearning a command without a row", [&] { controller->MidiUnlearned(7); },
         {"", "1", "1", "learned", "-", "enabled"}, {"", "", "", "-", "-", "enabled"}},
    };
    for (const Answer& answer : answers) {
        SCOPED_TRACE(answer.what);
        answer.give();
        EXPECT_EQ(Shown(conduct), answer.conduct);
        EXPECT_EQ(Shown(play), answer.play);
    }
    EXPECT_TRUE(sent.empty()) << "values the engine gave are not sent back";
}

TEST_F(MidiManagerTest, AnEngineFailureWhileLearningIsShown)
{
    auto controller = Open();
    QSignalSpy errors(controller.get(), &MidiManagerController::error);
    ON_CALL(*player, LearnMidiCommand(_)).WillByDefault([](std::uint8_t) {
        throw std::invalid_argument("The command cannot be learned now.");
    });
    QMetaObject::invokeMethod(Box(Row(*controller, 2), "learnButton"), "clicked");
    ASSERT_EQ(errors.size(), 1);
    EXPECT_EQ(errors.at(0).at(0).value<std::string>(), "The command cannot be learned now.");
    EXPECT_EQ(errors.at(0).at(1).value<std::string>(), "Error Learning MIDI Command");
}

}  // namespace
