#include "BrixPlayerOscCallback.h"
#include "OscDatagram.h"

#include "CueReceiver.h"
#include "FakeEngine.h"

#include <brix_core/EventObserver.h>

#include <QElapsedTimer>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>

namespace {

using namespace ::testing;
using brix::BrixPlayerOscCallback;
using brix::osc::BuildOscDatagram;
using osc_test::CueReceiver;
using osc_test::FakeEngine;

CL::Osc Cue(const std::string& message, const std::string& networkId = "n1")
{
    return CL::Osc(0, "S1", CL::OscProperties(message, networkId));
}

class Callback : public ::testing::Test {
protected:
    Callback() { NewCallback(); }

    // A callback whose notifications are counted (they come from pool threads).
    void NewCallback()
    {
        callback_ = std::make_unique<BrixPlayerOscCallback>(receiver_.Port());
        sent_ = 0;
        QObject::connect(callback_.get(), &BrixPlayerOscCallback::OutgoingNotification, [this] { ++sent_; });
    }

    // An engine that plays, with the network "n1" on the receiver and "bad" on an IP text that does
    // not parse.
    std::shared_ptr<NiceMock<FakeEngine>> PlayingEngine()
    {
        auto engine = std::make_shared<NiceMock<FakeEngine>>();
        ON_CALL(*engine, GetIsPlaying()).WillByDefault(Return(true));
        ON_CALL(*engine, GetNetwork("n1"))
            .WillByDefault(Return(CL::NetworkPath("Desk", "n1", "127.0.0.1", receiver_.Port(), false)));
        ON_CALL(*engine, GetNetwork("bad")).WillByDefault(Return(CL::NetworkPath("Desk", "bad", "not.an.ip", 9000, false)));
        ON_CALL(*engine, GetNetwork("noport"))
            .WillByDefault(Return(CL::NetworkPath("Desk", "noport", "127.0.0.1", 0, false)));
        return engine;
    }

    // Destroys the callback (which waits for its tasks), then proves with a sentinel that every
    // datagram sent has arrived. Returns the notifications counted.
    int Finish()
    {
        callback_.reset();
        EXPECT_TRUE(receiver_.Sentinel());
        return sent_;
    }

    CueReceiver receiver_;
    // Before the callback, so it outlives the callback's tasks.
    std::atomic<int> sent_{0};
    std::unique_ptr<BrixPlayerOscCallback> callback_;
};

TEST_F(Callback, WithoutAnEngineACueGoesAtOnceToTheDefaultPortTrimmed)
{
    callback_->ExecuteEvent(Cue("  /cue/5/go 1 \"a b\"  "), 0);
    ASSERT_TRUE(receiver_.WaitForCount(1));
    EXPECT_EQ(receiver_.All()[0].datagram, BuildOscDatagram("/cue/5/go 1 \"a b\""));
    EXPECT_TRUE(osc_test::WaitUntil([&] { return sent_ == 1; }));
}

TEST_F(Callback, ACueGoesToItsNetworkWhileTheEnginePlays)
{
    callback_->SetInterface(PlayingEngine());
    callback_->ExecuteEvent(Cue("/cue/5/go"), 0);
    ASSERT_TRUE(receiver_.WaitForCount(1));
    EXPECT_EQ(receiver_.All()[0].datagram, BuildOscDatagram("/cue/5/go"));
    EXPECT_EQ(receiver_.All()[0].datagram, osc_test::RunOscsend({"-", "/cue/5/go"}));
}

TEST_F(Callback, CuesThatCannotGoAreNeitherSentNorReported)
{
    auto engine = PlayingEngine();
    callback_->SetInterface(engine);
    callback_->ExecuteEvent(Cue(""), 0);
    callback_->ExecuteEvent(Cue(" \t "), 0);
    callback_->ExecuteEvent(Cue("/cue/1", "bad"), 0);
    callback_->ExecuteEvent(Cue("/cue/2", "noport"), 0);
    callback_->ExecuteEvent(Cue("/cue/3", "unknown"), 0);
    ON_CALL(*engine, GetIsPlaying()).WillByDefault(Return(false));
    callback_->ExecuteEvent(Cue("/cue/4"), 0);
    EXPECT_EQ(Finish(), 0);
    EXPECT_TRUE(receiver_.Cues().empty());
}

TEST_F(Callback, StopCancelsAWaitingCueAtOnce)
{
    auto engine = PlayingEngine();
    callback_->SetInterface(engine);
    callback_->ExecuteEvent(Cue("/late"), 20000);
    ON_CALL(*engine, GetIsPlaying()).WillByDefault(Return(false));
    notify::SendEngineEvent(notify::EngineEvent::PlaybackStopped);
    QElapsedTimer closing;
    closing.start();
    EXPECT_EQ(Finish(), 0);
    EXPECT_LT(closing.elapsed(), 10000) << "the cancelled cue held the pool";
    EXPECT_TRUE(receiver_.Cues().empty());
}

TEST_F(Callback, ACueDueAfterTheEngineStoppedIsDropped)
{
    // Stopped without the report (the report may come late): the cue is checked again when due.
    auto engine = PlayingEngine();
    callback_->SetInterface(engine);
    callback_->ExecuteEvent(Cue("/late"), 200);
    ON_CALL(*engine, GetIsPlaying()).WillByDefault(Return(false));
    EXPECT_EQ(Finish(), 0);
    EXPECT_TRUE(receiver_.Cues().empty());
}

TEST_F(Callback, ClosingAndReleasingTheEngineCancelWaitingCues)
{
    callback_->ExecuteEvent(Cue("/late"), 60000);
    QElapsedTimer closing;
    closing.start();
    EXPECT_EQ(Finish(), 0);
    EXPECT_LT(closing.elapsed(), 30000);

    NewCallback();
    auto engine = PlayingEngine();
    callback_->SetInterface(engine);
    callback_->ExecuteEvent(Cue("/late"), 60000);
    callback_->ReleaseInterface();
    // The engine is let go here, not on a pool thread.
    EXPECT_EQ(engine.use_count(), 1);
    closing.restart();
    EXPECT_EQ(Finish(), 0);
    EXPECT_LT(closing.elapsed(), 30000);
    EXPECT_TRUE(receiver_.Cues().empty());
}

TEST_F(Callback, ANinthCueWaitsForAFreeThreadBeforeItsDelayStarts)
{
    const qint64 submittedAt = receiver_.NowMs();
    for (int i = 0; i < BrixPlayerOscCallback::kMaxSendingThreads + 1; ++i) {
        callback_->ExecuteEvent(Cue("/cue/" + std::to_string(i)), 300);
    }
    ASSERT_TRUE(receiver_.WaitForCount(9));
    // One-sided: the ninth cue waited a first delay for a thread, then its own.
    EXPECT_GE(receiver_.All().back().atMs - submittedAt, 600);
}

TEST_F(Callback, QueuedCuesReachTheGuiThroughTheSignal)
{
    QObject gui;
    std::vector<std::pair<std::string, uint32_t>> queued;
    QObject::connect(callback_.get(), &BrixPlayerOscCallback::enqueueOscCommand, &gui,
                     [&](const CL::Osc& osc, uint32_t delay) { queued.emplace_back(osc.osc_properties().Message(), delay); });
    std::thread engineThread([&] { callback_->EnqueueEvent(Cue("/cue/9/go"), 125); });
    engineThread.join();
    ASSERT_TRUE(osc_test::WaitUntil([&] { return !queued.empty(); }));
    EXPECT_EQ(queued.front(), std::make_pair(std::string("/cue/9/go"), uint32_t{125}));
    EXPECT_TRUE(receiver_.Cues().empty());
}

TEST_F(Callback, TheEngineCanBeReplacedWhileEngineThreadsSendCues)
{
    std::atomic<bool> done{false};
    std::thread engineThread([&] {
        for (int i = 0; i < 5000 && !done; ++i) {
            callback_->ExecuteEvent(Cue("/cue/x"), 0);
        }
    });
    for (int round = 0; round < 200; ++round) {
        auto engine = PlayingEngine();
        callback_->SetInterface(engine);
        callback_->ReleaseInterface();
        EXPECT_EQ(engine.use_count(), 1);
    }
    done = true;
    engineThread.join();
    Finish();
}

}  // namespace
