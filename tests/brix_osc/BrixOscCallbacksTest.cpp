#include "BrixOscCallbacks.h"

#include "ChangeLogFixtures.h"
#include "FakeEngine.h"

#include <brix_core/Editor.h>

#include <QSignalSpy>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <stdexcept>
#include <string>

namespace {

using namespace ::testing;
using ::testing::internal::CaptureStderr;
using ::testing::internal::GetCapturedStderr;
using brix::BrixOscCallbacks;
using osc_test::FakeEngine;

// The handler of the show "My Spring Show" on a strict fake engine whose current song is "3" and
// which is not paused: a call the test does not expect fails it.
class Callbacks : public ::testing::Test {
protected:
    Callbacks()
        : engine_(std::make_shared<StrictMock<FakeEngine>>()),
          callbacks_(engine_, "My Spring Show"),
          queued_(&callbacks_, &BrixOscCallbacks::RequestPlayQueudOscEvents)
    {
        EXPECT_CALL(*engine_, GetCurrentSongNumber()).WillRepeatedly(Return("3"));
        EXPECT_CALL(*engine_, GetIsPaused()).WillRepeatedly(Return(false));
    }

    FakeEngine& Engine() { return *engine_; }

    std::shared_ptr<StrictMock<FakeEngine>> engine_;
    BrixOscCallbacks callbacks_;
    QSignalSpy queued_;
};

TEST_F(Callbacks, ActOnlyForThisShowAndTheCurrentSong)
{
    struct Case {
        const char* show;
        const char* song;
        bool acts;
    };
    const Case cases[] = {
        {"", "", true},
        {"my_spring_show", "", true},
        {"", "3", true},
        {"my_spring_show", "3", true},
        {"My_Spring_Show", "", false},
        {"My Spring Show", "", false},
        {"other", "", false},
        {"", "4", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.show) + "/" + c.song);
        EXPECT_CALL(Engine(), Stop()).Times(c.acts ? 1 : 0);
        EXPECT_CALL(Engine(), NextSong()).Times(c.acts ? 1 : 0);
        EXPECT_CALL(Engine(), Continue()).Times(c.acts ? 1 : 0);
        QSignalSpy nextBar(&callbacks_, &BrixOscCallbacks::NextBarRequested);
        callbacks_.Stop(c.show, c.song);
        callbacks_.NextSong(c.show, c.song);
        callbacks_.Advance(c.show, c.song);
        callbacks_.NextBar(c.show, c.song);
        EXPECT_EQ(nextBar.count(), c.acts ? 1 : 0);
        Mock::VerifyAndClearExpectations(&Engine());
        EXPECT_CALL(Engine(), GetCurrentSongNumber()).WillRepeatedly(Return("3"));
    }
}

TEST_F(Callbacks, PlayRestartsTheCurrentSongOrLoadsTheNamedOne)
{
    {
        InSequence order;
        EXPECT_CALL(Engine(), Stop());
        EXPECT_CALL(Engine(), Play());
    }
    callbacks_.Play("", "");
    EXPECT_EQ(queued_.count(), 1);

    {
        InSequence order;
        EXPECT_CALL(Engine(), SongExists("7a")).WillOnce(Return(true));
        EXPECT_CALL(Engine(), GetActualSongNumber("7a")).WillOnce(Return("7A"));
        EXPECT_CALL(Engine(), LoadSong("7A"));
        EXPECT_CALL(Engine(), Play());
    }
    callbacks_.Play("my_spring_show", "7a");
    EXPECT_EQ(queued_.count(), 2);

    // Another show: nothing at all.
    callbacks_.Play("other", "7");
    EXPECT_EQ(queued_.count(), 2);
}

TEST_F(Callbacks, PlayOfASongThatIsNotThereOrFailsToLoadIsReported)
{
    EXPECT_CALL(Engine(), SongExists("9")).WillOnce(Return(false));
    CaptureStderr();
    callbacks_.Play("", "9");
    EXPECT_EQ(GetCapturedStderr(), "OSC was unable to load and play the specified song number: Song 9 does not exist.\n");

    EXPECT_CALL(Engine(), SongExists("8")).WillOnce(Return(true));
    EXPECT_CALL(Engine(), GetActualSongNumber("8")).WillOnce(Return("8"));
    EXPECT_CALL(Engine(), LoadSong("8")).WillOnce(Throw(std::runtime_error("no MIDI file")));
    CaptureStderr();
    callbacks_.Play("", "8");
    EXPECT_EQ(GetCapturedStderr(), "OSC was unable to load and play the specified song number: no MIDI file\n");
    EXPECT_EQ(queued_.count(), 0);
}

TEST_F(Callbacks, FadesAreAskedOfTheMainWindowInMillisecondsUpToTenSeconds)
{
    QSignalSpy fade(&callbacks_, &BrixOscCallbacks::FadeRequested);
    QSignalSpy fadeTo(&callbacks_, &BrixOscCallbacks::FadeToRequested);
    callbacks_.FadeOut("", "", 30.0f);
    callbacks_.FadeOut("", "", 0.25f);
    callbacks_.FadeTo("", "", 2.0f, 0.5f, false);
    callbacks_.FadeTo("", "4", 2.0f, 0.5f, false);
    ASSERT_EQ(fade.count(), 2);
    EXPECT_EQ(fade[0][0].toFloat(), 10000.0f);
    EXPECT_EQ(fade[1][0].toFloat(), 250.0f);
    ASSERT_EQ(fadeTo.count(), 1);
    EXPECT_EQ(fadeTo[0][0].toFloat(), 2000.0f);
    EXPECT_EQ(fadeTo[0][1].toFloat(), 0.5f);
    EXPECT_EQ(fadeTo[0][2].toBool(), false);
}

TEST_F(Callbacks, StepsAndJumpsAreAskedOfTheMainWindow)
{
    QSignalSpy jump(&callbacks_, &BrixOscCallbacks::PlayheadJumpRequested);
    QSignalSpy nextMarker(&callbacks_, &BrixOscCallbacks::NextMarkerRequested);
    QSignalSpy prevMarker(&callbacks_, &BrixOscCallbacks::PrevMarkerRequested);
    QSignalSpy prevBar(&callbacks_, &BrixOscCallbacks::PrevBarRequested);
    QSignalSpy notification(&callbacks_, &BrixOscCallbacks::Notification);
    callbacks_.PlayheadForward("", "", 960);
    callbacks_.PlayheadBack("", "", 1920);
    callbacks_.NextMarker("", "");
    callbacks_.PrevMarker("", "3");
    callbacks_.PrevBar("", "");
    callbacks_.CommandReceived();
    ASSERT_EQ(jump.count(), 2);
    EXPECT_EQ(jump[0][0].toInt(), 960);
    EXPECT_EQ(jump[1][0].toInt(), -1920);
    EXPECT_EQ(nextMarker.count(), 1);
    EXPECT_EQ(prevMarker.count(), 1);
    EXPECT_EQ(prevBar.count(), 1);
    EXPECT_EQ(notification.count(), 1);
}

TEST_F(Callbacks, VolumeIsSetForAnyShowAndSteppedInDecibels)
{
    EXPECT_CALL(Engine(), SetVolume(DoubleNear(0.5, 1e-6)));
    callbacks_.SetVolume(0.5f);

    EXPECT_CALL(Engine(), GetVolume()).WillOnce(Return(1.0));
    EXPECT_CALL(Engine(), SetVolume(DoubleNear(std::pow(10.0, -3.0 / 20.0), 1e-6)));
    callbacks_.StepVolume("", "", -3.0f);
}

TEST_F(Callbacks, PauseToggleContinuesWhenPausedAndPausesOtherwise)
{
    EXPECT_CALL(Engine(), Pause(false));
    callbacks_.PauseToggle("", "");
    EXPECT_EQ(queued_.count(), 0);

    EXPECT_CALL(Engine(), GetIsPaused()).WillRepeatedly(Return(true));
    EXPECT_CALL(Engine(), Continue());
    callbacks_.PauseToggle("", "");
    EXPECT_EQ(queued_.count(), 1);
}

// Song "1" of the fixture show (8 bars of 1920 ticks) with a vamp, a caesura and a marker.
class AdvanceEvent : public Callbacks {
protected:
    AdvanceEvent() : editor_(change_log_fixtures::MakeShow(), CL::ChangeLog())
    {
        editor_.SelectSongLogForEditing("1");
        editor_.AddEvent(CL::Vamp(1920, 3840, "V1", 0));
        editor_.AddEvent(CL::Caesura(5760, "N1", 0));
        editor_.AddEvent(CL::Marker(960, "Verse", "E1"));
        EXPECT_CALL(Engine(), GetChangeLogEditor()).WillRepeatedly(Return(&editor_));
        EXPECT_CALL(Engine(), GetSongAudioEndTick("3")).WillRepeatedly(Return(15360u));
    }
    void At(unsigned int tick) { EXPECT_CALL(Engine(), GetTickIndex()).WillRepeatedly(Return(tick)); }

    CL::Editor editor_;
};

TEST_F(AdvanceEvent, InsideAVampContinuesWithoutTheQueue)
{
    At(2500);
    EXPECT_CALL(Engine(), Continue());
    callbacks_.AdvanceEvent("", "", "V1");
    EXPECT_EQ(queued_.count(), 0);
}

TEST_F(AdvanceEvent, OutsideAVampJumpsToItsEndAndContinues)
{
    At(100);
    InSequence order;
    EXPECT_CALL(Engine(), Pause(false));
    EXPECT_CALL(Engine(), Seek(3840u));
    EXPECT_CALL(Engine(), Continue());
    callbacks_.AdvanceEvent("", "", "V1");
    EXPECT_EQ(queued_.count(), 1);
}

TEST_F(AdvanceEvent, AtACaesuraContinuesElseJumpsToIt)
{
    At(5760);
    EXPECT_CALL(Engine(), Continue());
    callbacks_.AdvanceEvent("", "", "N1");
    EXPECT_EQ(queued_.count(), 1);
    Mock::VerifyAndClearExpectations(&Engine());
    EXPECT_CALL(Engine(), GetCurrentSongNumber()).WillRepeatedly(Return("3"));
    EXPECT_CALL(Engine(), GetChangeLogEditor()).WillRepeatedly(Return(&editor_));
    EXPECT_CALL(Engine(), GetSongAudioEndTick("3")).WillRepeatedly(Return(15360u));

    At(100);
    InSequence order;
    EXPECT_CALL(Engine(), Pause(false));
    EXPECT_CALL(Engine(), Seek(5760u));
    EXPECT_CALL(Engine(), Continue());
    callbacks_.AdvanceEvent("", "", "N1");
    EXPECT_EQ(queued_.count(), 2);
}

TEST_F(AdvanceEvent, PastTheSongsAudioGoesToTheNextSongAndPlaysOnOnlyIntoAnAttacca)
{
    for (const std::uint8_t attacca : {std::uint8_t{0}, std::uint8_t{1}}) {
        SCOPED_TRACE(int{attacca});
        At(100);
        EXPECT_CALL(Engine(), GetSongAudioEndTick("3")).WillRepeatedly(Return(5760u));
        EXPECT_CALL(Engine(), GetAttacca("3")).WillOnce(Return(attacca));
        EXPECT_CALL(Engine(), NextSong());
        EXPECT_CALL(Engine(), Continue()).Times(attacca);
        const int before = queued_.count();
        callbacks_.AdvanceEvent("", "", "N1");
        EXPECT_EQ(queued_.count() - before, attacca);
        Mock::VerifyAndClearExpectations(&Engine());
        EXPECT_CALL(Engine(), GetCurrentSongNumber()).WillRepeatedly(Return("3"));
        EXPECT_CALL(Engine(), GetChangeLogEditor()).WillRepeatedly(Return(&editor_));
    }
}

TEST_F(AdvanceEvent, OtherKindsUnknownIdsAndOtherSongsDoNothing)
{
    At(100);
    callbacks_.AdvanceEvent("", "", "E1");
    callbacks_.AdvanceEvent("", "", "X9");
    callbacks_.AdvanceEvent("", "4", "V1");
    EXPECT_EQ(queued_.count(), 0);
}

}  // namespace
