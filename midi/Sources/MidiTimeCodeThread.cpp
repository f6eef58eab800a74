#include "MidiTimeCodeThread.h"

#include <brix_core/BrixLog.h>
#include <fennic/ThreadNames.h>

#include <exception>

namespace {

// Where the thread body reports what ended it, as the exception log records it.
constexpr const char* kLogFile = "mtc_thread";
constexpr int kLogLine = 61;

}  // namespace

MidiTimeCodeThread::MidiTimeCodeThread() = default;

MidiTimeCodeThread::~MidiTimeCodeThread() = default;

void MidiTimeCodeThread::Start() {
    {
        std::lock_guard<std::recursive_mutex> lock(mutex);
        isRunning = true;
    }
    thread = std::thread([this]() { RunThread_(); });
}

void MidiTimeCodeThread::RunThread_() {
    fennic::threadNames.SetNameOfCurrentThread("MidiTimeCodeThread::Run");
    try {
        Run();
    } catch (...) {
        BrixLogCurrentException(kLogFile, kLogLine);
    }
}

void MidiTimeCodeThread::Stop() {
    {
        std::lock_guard<std::recursive_mutex> lock(mutex);
        isRunning = false;
        isSendingFutureMessages = false;
    }
    WakeRun();
    CancelQuarterFrameTimer();
    if (thread.joinable()) {
        thread.join();
    }
}

void MidiTimeCodeThread::WakeRun() {
    { std::lock_guard<std::mutex> handOver(runMutex); }
    runCondition.notify_one();
}

void MidiTimeCodeThread::SendMidiTimeCodeWithSeconds(double seconds) {
    SendMidiTimeCode(MidiTimeCode(seconds, GetFrameRate()));
}

void MidiTimeCodeThread::SendMidiTimeCode(const MidiTimeCode& timeCode) {
    SendFullFrameMessage(timeCode.GetFullFrameMessage());
}

void MidiTimeCodeThread::SetFrameRate(FrameRate rate) {
    std::lock_guard<std::recursive_mutex> lock(mutex);
    const MidiTimeCode zero(0.0, rate);
    isSendingFutureMessages = false;
    frameRate = rate;
    currentTimeCode = zero;
    messageTimeCode = zero;
    endTimeCode = zero;
    // A fresh cycle: the messages describe messageTimeCode only when message 0 goes out with it.
    quarterFrameMessageIndex = 0;
}

FrameRate MidiTimeCodeThread::GetFrameRate() {
    std::lock_guard<std::recursive_mutex> lock(mutex);
    return frameRate;
}

QuarterFrameMessage MidiTimeCodeThread::GetNextQuarterFrameMessage() {
    const QuarterFrameMessage message = messageTimeCode.GetQuarterFrameMessage(quarterFrameMessageIndex);
    IncrementQuarterFrameMessageIndex();
    currentTimeCode.IncrementQuarterFrame();
    return message;
}

void MidiTimeCodeThread::IncrementQuarterFrameMessageIndex() {
    if (quarterFrameMessageIndex != 7) {
        ++quarterFrameMessageIndex;
        return;
    }
    quarterFrameMessageIndex = 0;
    ++messageTimeCode;
    ++messageTimeCode;
}

void MidiTimeCodeThread::SetMidiTimeCodeInterval(double startSeconds, double endSeconds, double durationSeconds) {
    CancelFutureQuarterFrameMessages();
    std::lock_guard<std::recursive_mutex> lock(mutex);
    std::vector<QuarterFrameMessage> messages;

    // The quarter frames the previous interval had not sent yet.
    while (currentTimeCode < endTimeCode) {
        messages.push_back(GetNextQuarterFrameMessage());
    }
    if (!messages.empty()) {
        SendQuarterFrameMessages(messages);
    }

    const MidiTimeCode start(startSeconds, frameRate);
    if (start != currentTimeCode) {
        // A jump: a full frame at the start of start's frame, then the messages up to start's quarter.
        currentTimeCode = start;
        currentTimeCode.SetQuarterFrameIndex(0);
        messageTimeCode = currentTimeCode;
        quarterFrameMessageIndex = 0;
        SendFullFrameMessage(currentTimeCode.GetFullFrameMessage());
        messages.clear();
        while (currentTimeCode != start) {
            messages.push_back(GetNextQuarterFrameMessage());
        }
        if (!messages.empty()) {
            SendQuarterFrameMessages(messages);
        }
    }

    endTimeCode.SetFromSeconds(endSeconds);
    const std::uint64_t quarterFrameCount = endTimeCode.GetDifferenceAsQuarterFrameCount(currentTimeCode);
    if (quarterFrameCount > 0) {
        SendQuarterFrameMessages({GetNextQuarterFrameMessage()});
    }
    if (quarterFrameCount > 1) {
        SendFutureQuarterFrameMessages(durationSeconds / static_cast<double>(quarterFrameCount));
    }
}

void MidiTimeCodeThread::SendFutureQuarterFrameMessages(double intervalSeconds) {
    {
        std::lock_guard<std::recursive_mutex> lock(mutex);
        nextMessageSeconds = GetCurrentSeconds() + intervalSeconds;
        messageIntervalSeconds = intervalSeconds;
        isSendingFutureMessages = true;
    }
    WakeRun();
}

void MidiTimeCodeThread::QuarterFrameMessageTimerCallback() {
    std::lock_guard<std::recursive_mutex> lock(mutex);
    if (!isSendingFutureMessages) {
        return;
    }
    SendQuarterFrameMessages({GetNextQuarterFrameMessage()});
    if (currentTimeCode == endTimeCode) {
        CancelFutureQuarterFrameMessages();
    }
}

void MidiTimeCodeThread::CancelFutureQuarterFrameMessages() {
    {
        std::lock_guard<std::recursive_mutex> lock(mutex);
        isSendingFutureMessages = false;
    }
    CancelQuarterFrameTimer();
}
