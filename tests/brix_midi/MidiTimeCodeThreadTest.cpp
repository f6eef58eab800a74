#include "MidiTimeCode.h"
#include "MidiTimeCodeThread.h"

#include <brix_core/BrixLog.h>
#include <fennic/ThreadNames.h>

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

// A sender that records what it is asked to send. Its Run sends each armed quarter frame as soon as
// it is due by the flags, ignoring the clock, and returns when stopped.
class RecordingSender : public MidiTimeCodeThread {
public:
    ~RecordingSender() override { Stop(); }

    using MidiTimeCodeThread::QuarterFrameMessageTimerCallback;
    using MidiTimeCodeThread::Start;
    using MidiTimeCodeThread::Stop;

    void SetOutputPortIndex(unsigned int) override {}

    std::vector<FullFrameMessage> FullFrames() {
        std::lock_guard<std::mutex> lock(recordMutex);
        return fullFrames;
    }
    // Every quarter-frame call, as the lists of data bytes it was given.
    std::vector<std::vector<unsigned char>> QuarterFrameCalls() {
        std::lock_guard<std::mutex> lock(recordMutex);
        return quarterFrameCalls;
    }
    std::vector<unsigned char> AllQuarterFrames() {
        std::vector<unsigned char> all;
        for (const auto& call : QuarterFrameCalls()) {
            all.insert(all.end(), call.begin(), call.end());
        }
        return all;
    }
    bool WaitForQuarterFrames(std::size_t count) {
        std::unique_lock<std::mutex> lock(recordMutex);
        return recorded.wait_for(lock, std::chrono::seconds(10), [&] { return quarterFrameTotal >= count; });
    }
    bool IsSendingFutureMessages() const { return isSendingFutureMessages; }
    double GetMessageIntervalSeconds() {
        std::lock_guard<std::recursive_mutex> lock(mutex);
        return messageIntervalSeconds;
    }
    double GetNextMessageSeconds() {
        std::lock_guard<std::recursive_mutex> lock(mutex);
        return nextMessageSeconds;
    }

    double clockSeconds = 100.0;
    bool throwFromRun = false;
    std::string runThreadName;

protected:
    void CancelQuarterFrameTimer() override {}
    void SendQuarterFrameMessages(const std::vector<QuarterFrameMessage>& messages) override {
        std::lock_guard<std::mutex> lock(recordMutex);
        std::vector<unsigned char> data;
        for (const QuarterFrameMessage& message : messages) {
            EXPECT_EQ(message.Get()[0], 0xF1);
            data.push_back(message.GetDataByte());
        }
        quarterFrameTotal += data.size();
        quarterFrameCalls.push_back(std::move(data));
        recorded.notify_all();
    }
    void SendFullFrameMessage(const FullFrameMessage& message) override {
        std::lock_guard<std::mutex> lock(recordMutex);
        fullFrames.push_back(message);
    }
    void Run() override {
        runThreadName = fennic::threadNames.GetNameOfCurrentThread();
        if (throwFromRun) {
            throw std::runtime_error("the port went away");
        }
        for (;;) {
            {
                std::unique_lock<std::mutex> lock(runMutex);
                runCondition.wait(lock, [this] { return !isRunning || isSendingFutureMessages; });
                if (!isRunning) {
                    return;
                }
            }
            QuarterFrameMessageTimerCallback();
        }
    }
    double GetCurrentSeconds() override { return clockSeconds; }

private:
    std::mutex recordMutex;
    std::condition_variable recorded;
    std::vector<FullFrameMessage> fullFrames;
    std::vector<std::vector<unsigned char>> quarterFrameCalls;
    std::size_t quarterFrameTotal = 0;
};

std::string Text(const FullFrameMessage& message) {
    return MidiTimeCode(message.GetHours(), message.GetMinutes(), message.GetSeconds(), message.GetFrames(),
                        message.GetFrameRate())
        .GetAsString();
}

// The data byte of the n-th quarter frame sent from a cycle start: message n % 8 of the time code
// 2 * (n / 8) frames after it.
unsigned char ExpectedMessage(const MidiTimeCode& cycleStart, std::size_t n) {
    MidiTimeCode code = cycleStart;
    for (std::size_t frame = 0; frame < 2 * (n / 8); ++frame) {
        ++code;
    }
    return code.GetQuarterFrameMessage(static_cast<unsigned char>(n % 8)).GetDataByte();
}

TEST(MidiTimeCodeThread, TwoAdjoiningIntervalsSendOneFullFrameAndAnUnbrokenRunOfQuarterFrames)
{
    RecordingSender sender;
    sender.SetMidiTimeCodeInterval(10.0, 10.5, 0.5);
    ASSERT_EQ(sender.FullFrames().size(), 1u);
    EXPECT_EQ(Text(sender.FullFrames()[0]), "00:00:10:00");
    EXPECT_EQ(sender.QuarterFrameCalls().size(), 1u) << "one quarter frame at once";
    EXPECT_TRUE(sender.IsSendingFutureMessages());
    EXPECT_DOUBLE_EQ(sender.GetMessageIntervalSeconds(), 0.5 / 60);
    EXPECT_DOUBLE_EQ(sender.GetNextMessageSeconds(), 100.0 + 0.5 / 60);

    for (int tick = 0; tick < 59; ++tick) {
        sender.QuarterFrameMessageTimerCallback();
    }
    EXPECT_FALSE(sender.IsSendingFutureMessages()) << "the interval's end stops the quarter frames";
    sender.QuarterFrameMessageTimerCallback();
    EXPECT_EQ(sender.AllQuarterFrames().size(), 60u);

    sender.SetMidiTimeCodeInterval(10.5, 11.0, 0.5);
    EXPECT_EQ(sender.FullFrames().size(), 1u) << "playing on needs no full frame";
    for (int tick = 0; tick < 59; ++tick) {
        sender.QuarterFrameMessageTimerCallback();
    }
    const std::vector<unsigned char> all = sender.AllQuarterFrames();
    ASSERT_EQ(all.size(), 120u);
    EXPECT_EQ(all[60] >> 4, 4) << "the second interval goes on with message 4";
    const MidiTimeCode start(0, 0, 10, 0, FrameRate::Fps30);
    for (std::size_t n = 0; n < all.size(); ++n) {
        ASSERT_EQ(all[n], ExpectedMessage(start, n)) << "quarter frame " << n;
    }
}

TEST(MidiTimeCodeThread, IntervalsOfNoneOrOneQuarterFrameArmNothing)
{
    struct Case {
        double end;
        std::size_t quarterFrames;
    };
    for (const Case& c : {Case{10.0, 0}, Case{10.0 + 1.0 / 120, 1}}) {
        RecordingSender sender;
        sender.SetMidiTimeCodeInterval(10.0, c.end, 1.0);
        EXPECT_EQ(sender.FullFrames().size(), 1u);
        EXPECT_EQ(sender.AllQuarterFrames().size(), c.quarterFrames) << c.end;
        EXPECT_FALSE(sender.IsSendingFutureMessages()) << c.end;
    }
}

TEST(MidiTimeCodeThread, AJumpIntoAFrameSendsItsFullFrameAndTheMessagesUpToTheQuarter)
{
    RecordingSender sender;
    sender.SetMidiTimeCodeInterval(2.0, 2.0, 0.0);
    const double quarter = 1.0 / 120;
    sender.SetMidiTimeCodeInterval(20.0 + 2.5 * quarter, 21.0, 1.0);
    const std::vector<FullFrameMessage> fullFrames = sender.FullFrames();
    ASSERT_EQ(fullFrames.size(), 2u);
    EXPECT_EQ(Text(fullFrames[1]), "00:00:20:00");
    const auto calls = sender.QuarterFrameCalls();
    ASSERT_EQ(calls.size(), 2u) << "the messages before the quarter, then one at once";
    const MidiTimeCode start(0, 0, 20, 0, FrameRate::Fps30);
    EXPECT_EQ(calls[0], (std::vector<unsigned char>{ExpectedMessage(start, 0), ExpectedMessage(start, 1)}));
    EXPECT_EQ(calls[1], (std::vector<unsigned char>{ExpectedMessage(start, 2)}));
}

TEST(MidiTimeCodeThread, ANewIntervalFirstSendsWhatThePreviousOneHadLeft)
{
    RecordingSender sender;
    sender.SetMidiTimeCodeInterval(10.0, 10.1, 0.1);
    sender.QuarterFrameMessageTimerCallback();
    // 12 quarter frames in the interval, 2 sent; the next interval sends the other 10 first.
    sender.SetMidiTimeCodeInterval(10.1, 10.2, 0.1);
    const auto calls = sender.QuarterFrameCalls();
    ASSERT_EQ(calls.size(), 4u);
    EXPECT_EQ(calls[2].size(), 10u);
    EXPECT_EQ(calls[3].size(), 1u);
    EXPECT_EQ(sender.FullFrames().size(), 1u);
}

TEST(MidiTimeCodeThread, SetFrameRateStopsTheQuarterFramesAndRestartsAtZero)
{
    RecordingSender sender;
    sender.SetMidiTimeCodeInterval(10.0, 11.0, 1.0);
    sender.SetFrameRate(FrameRate::Fps25);
    EXPECT_EQ(sender.GetFrameRate(), FrameRate::Fps25);
    EXPECT_FALSE(sender.IsSendingFutureMessages());
    sender.QuarterFrameMessageTimerCallback();
    EXPECT_EQ(sender.AllQuarterFrames().size(), 1u);

    sender.SetMidiTimeCodeInterval(0.0, 0.04, 0.04);
    EXPECT_EQ(sender.FullFrames().size(), 1u) << "00:00:00:00 is where the reset left the sender";
    const std::vector<unsigned char> all = sender.AllQuarterFrames();
    ASSERT_EQ(all.size(), 2u);
    EXPECT_EQ(all[1], ExpectedMessage(MidiTimeCode(0, 0, 0, 0, FrameRate::Fps25), 0));
    EXPECT_DOUBLE_EQ(sender.GetMessageIntervalSeconds(), 0.01);
}

TEST(MidiTimeCodeThread, SendingAPositionSendsItsFullFrameAndLeavesTheRunningTimeCodes)
{
    RecordingSender sender;
    sender.SetFrameRate(FrameRate::Fps25);
    sender.SendMidiTimeCodeWithSeconds(3661.5);
    ASSERT_EQ(sender.FullFrames().size(), 1u);
    EXPECT_EQ(Text(sender.FullFrames()[0]), "01:01:01:12");
    EXPECT_EQ(sender.FullFrames()[0].GetFrameRate(), FrameRate::Fps25);
    sender.SetMidiTimeCodeInterval(0.0, 0.0, 0.0);
    EXPECT_EQ(sender.FullFrames().size(), 1u) << "the running time code still stands at zero";
}

TEST(MidiTimeCodeThread, TheNamedThreadSendsTheArmedQuarterFramesAndStopJoinsIt)
{
    RecordingSender sender;
    sender.Start();
    sender.SetMidiTimeCodeInterval(10.0, 10.5, 0.5);
    ASSERT_TRUE(sender.WaitForQuarterFrames(60));
    sender.Stop();
    EXPECT_EQ(sender.runThreadName, "MidiTimeCodeThread::Run");
    EXPECT_EQ(sender.AllQuarterFrames().size(), 60u);

    sender.Start();
    sender.Stop();
}

TEST(MidiTimeCodeThread, AnExceptionLeavingRunIsLoggedAndEndsTheThread)
{
    ClearBrixLogRecords();
    RecordingSender sender;
    sender.throwFromRun = true;
    sender.Start();
    sender.Stop();
    const std::vector<BrixLogRecord> records = GetBrixLogRecords();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].message, "the port went away");
    EXPECT_EQ(records[0].file, "mtc_thread");
    EXPECT_EQ(records[0].line, 61);
}

}  // namespace
