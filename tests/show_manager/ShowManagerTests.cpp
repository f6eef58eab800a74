#include "ShowManager.h"

#include "FakeInterface.h"

#include <brix_core/Editor.h>

#include <QQuickItem>
#include <QQuickView>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <stdexcept>

namespace {

using testing::_;
using testing::InSequence;
using testing::NiceMock;
using testing::Return;

// The controllers' fake engine, answering as a show of four songs with an editor of its own.
class FakeEngine : public musical_test::FakeInterface {
public:
    FakeEngine() : FakeInterface("/shows/lanterns", "lanterns-1.0.logdata")
    {
        Interface::SongNames names{{"10", "Finale"}, {"2A", "Reprise"}, {"1", "Overture"}, {"2", "Harbour"}};
        ON_CALL(*this, GetSongNamesBySongNumber()).WillByDefault(Return(names));
        ON_CALL(*this, GetShowDirectory()).WillByDefault(Return("/shows/lanterns"));
        ON_CALL(*this, GetChangeLogEditor()).WillByDefault(Return(&editor));
    }

    CL::Editor editor{brix_midi::ShowData(), CL::ChangeLog()};
};

std::vector<std::string> NoticeTexts(const brix::ShowManager& manager)
{
    std::vector<std::string> texts;
    for (QQuickView* view : manager.GetOpenNotices())
        texts.push_back(view->rootObject()->property("text").toString().toStdString());
    return texts;
}

const std::string repairedLoops =
    "We have detected and automatically fixed some unusual change log edits. Please review the following "
    "changes to ensure that they work as you expect.\n\nSong 2, Vamp: bars 9 to 5 became 5 to 9.";

void GiveEveryNotice(FakeEngine& engine)
{
    ON_CALL(engine, GetTempoScaleWarnings()).WillByDefault(Return("Song 1, bar 3: 3.00 plays as 2.00."));
    ON_CALL(engine, GetModifiedClickEditLog()).WillByDefault(Return("Song 1: click at bar 4 moved."));
    ON_CALL(engine, GetInvertedLoopEventCount()).WillByDefault(Return(1));
    ON_CALL(engine, GetInvertedLoopEventDescription())
        .WillByDefault(Return("Song 2, Vamp: bars 9 to 5 became 5 to 9."));
}

TEST(ShowManager, TakesTheSongsShowFolderAndEditorOfTheEngine)
{
    auto engine = std::make_shared<NiceMock<FakeEngine>>();
    for (const char* song : {"1", "2", "2A", "10"})
        EXPECT_CALL(*engine, GetAttacca(std::string(song))).Times(1);

    brix::ShowManager manager(engine);

    const brix::ShowManager::SongList expected{
        {"1", "Overture"}, {"2", "Harbour"}, {"2A", "Reprise"}, {"10", "Finale"}};
    EXPECT_EQ(manager.GetSongList(), expected);
    EXPECT_EQ(manager.GetShowDirectory(), std::filesystem::path("/shows/lanterns"));
    EXPECT_EQ(manager.GetEditor(), &engine->editor);
    EXPECT_EQ(manager.GetInterface(), engine);
    EXPECT_TRUE(manager.GetOpenNotices().empty()) << "a log without repairs opens no notice";
}

TEST(ShowManager, ShowsEachNoticeWhenTheEngineHasOne)
{
    struct Case {
        const char* name;
        std::string tempoWarnings, clickLog;
        int loops;
        std::vector<std::string> expected;
    };
    const std::vector<Case> cases{
        {"tempo-scale warnings", "Song 1, bar 3: 3.00 plays as 2.00.", "", 0,
         {"Song 1, bar 3: 3.00 plays as 2.00."}},
        {"edited click log", "", "Song 1: click at bar 4 moved.", 0, {"Song 1: click at bar 4 moved."}},
        {"repaired loops", "", "", 1, {repairedLoops}},
        {"all, in load order", "Song 1, bar 3: 3.00 plays as 2.00.", "Song 1: click at bar 4 moved.", 1,
         {"Song 1, bar 3: 3.00 plays as 2.00.", "Song 1: click at bar 4 moved.", repairedLoops}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto engine = std::make_shared<NiceMock<FakeEngine>>();
        ON_CALL(*engine, GetTempoScaleWarnings()).WillByDefault(Return(c.tempoWarnings));
        ON_CALL(*engine, GetModifiedClickEditLog()).WillByDefault(Return(c.clickLog));
        ON_CALL(*engine, GetInvertedLoopEventCount()).WillByDefault(Return(c.loops));
        ON_CALL(*engine, GetInvertedLoopEventDescription())
            .WillByDefault(Return("Song 2, Vamp: bars 9 to 5 became 5 to 9."));

        brix::ShowManager manager(engine);
        EXPECT_EQ(NoticeTexts(manager), c.expected);
    }
}

TEST(ShowManager, AnotherChangeLogPausesTakesTheNewEditorAndShowsItsNotices)
{
    auto engine = std::make_shared<NiceMock<FakeEngine>>();
    brix::ShowManager manager(engine);
    ASSERT_TRUE(manager.GetOpenNotices().empty());

    CL::Editor newEditor{brix_midi::ShowData(), CL::ChangeLog()};
    GiveEveryNotice(*engine);
    {
        InSequence order;
        EXPECT_CALL(*engine, SetChangelogFilename("lanterns-2.0.logdata"));
        EXPECT_CALL(*engine, Pause(false));
        EXPECT_CALL(*engine, GetChangeLogEditor()).WillOnce(Return(&newEditor));
    }
    manager.SetChangelogFilename("lanterns-2.0.logdata");

    EXPECT_EQ(manager.GetEditor(), &newEditor);
    const std::vector<std::string> clickFirst{
        "Song 1: click at bar 4 moved.", "Song 1, bar 3: 3.00 plays as 2.00.", repairedLoops};
    EXPECT_EQ(NoticeTexts(manager), clickFirst);

    testing::Mock::VerifyAndClearExpectations(engine.get());

    // Notices closed by the user are dropped when the next ones open.
    for (QQuickView* view : manager.GetOpenNotices())
        view->close();
    EXPECT_TRUE(manager.GetOpenNotices().empty());
    manager.SetChangelogFilename("lanterns-2.0.logdata");
    EXPECT_EQ(manager.GetOpenNotices().size(), 3u);
}

TEST(ShowManager, RefusesASecondEngineUntilTheFirstIsReleased)
{
    auto first = std::make_shared<NiceMock<FakeEngine>>();
    brix::ShowManager manager(first);

    auto second = std::make_shared<NiceMock<FakeEngine>>();
    try {
        manager.SetPlayer(second);
        FAIL() << "a second engine was taken";
    } catch (const std::runtime_error& error) {
        EXPECT_STREQ(error.what(), "You must delete the previous player before instantiating a new one!");
    }
    EXPECT_EQ(manager.GetInterface(), first);

    EXPECT_CALL(*first, Shutdown()).WillOnce([] { throw std::runtime_error("MIDI device gone"); });
    EXPECT_NO_THROW(manager.ReleasePlayer());
    EXPECT_EQ(manager.GetInterface(), nullptr);
    EXPECT_EQ(manager.GetEditor(), nullptr);
    EXPECT_THROW(manager.GetCurrentSongNumber(), std::logic_error) << "no engine: a clear error, no crash";

    manager.SetPlayer(second);
    EXPECT_EQ(manager.GetInterface(), second);
}

TEST(ShowManager, BarTextOutlivesAReleaseDuringTheCall)
{
    auto engine = std::make_shared<NiceMock<FakeEngine>>();
    std::weak_ptr<FakeEngine> watch = engine;
    brix::ShowManager manager(engine);
    engine.reset();

    EXPECT_CALL(*watch.lock(), GetBarString(960u)).WillOnce([&](unsigned int) {
        manager.ReleasePlayer();
        EXPECT_FALSE(watch.expired()) << "the engine was destroyed inside its own call";
        return std::string("2:1");
    });
    EXPECT_EQ(manager.GetBarString(960), "2:1");
    EXPECT_TRUE(watch.expired());
}

TEST(ShowManager, ForwardsToTheEngineAndPairsMarkersWithTheirBars)
{
    auto engine = std::make_shared<NiceMock<FakeEngine>>();
    brix::ShowManager manager(engine);

    EXPECT_CALL(*engine, GetMarkers()).WillOnce([] {
        Interface::EventList markers;
        markers.push_back(std::make_unique<CL::Marker>(0, "Intro", "M1"));
        markers.push_back(std::make_unique<CL::Marker>(1920, "Verse", "M2"));
        return markers;
    });
    EXPECT_CALL(*engine, GetBarString(0u)).WillOnce(Return("1:1"));
    EXPECT_CALL(*engine, GetBarString(1920u)).WillOnce(Return("3:1"));
    const auto markers = manager.GetMarkersWithBarStrings();
    ASSERT_EQ(markers.size(), 2u);
    EXPECT_EQ(markers[0].first.EventId(), "M1");
    EXPECT_EQ(markers[0].second, "1:1");
    EXPECT_EQ(markers[1].first.value(), "Verse");
    EXPECT_EQ(markers[1].second, "3:1");

    EXPECT_CALL(*engine, Pause(false));
    EXPECT_EQ(manager.PauseAndGetEditor(), &engine->editor);
    EXPECT_CALL(*engine, GetSongLength("2")).WillOnce(Return(7680u));
    EXPECT_EQ(manager.GetSongLength("2"), 7680u);
    EXPECT_CALL(*engine, GetLogVersion()).WillOnce(Return("1.3"));
    EXPECT_EQ(manager.GetLogVersion(), "1.3");
}

}  // namespace
