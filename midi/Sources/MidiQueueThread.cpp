#include "MidiQueueThread.h"

#include "MidiBuffer.h"
#include "MidiOutput.h"
#include "MidiThreadManager.h"

#include <brix_core/BrixLog.h>
#include <fennic/CoutBuffer.h>
#include <fennic/ThreadNames.h>

#include <windows.h>

#include <exception>

MidiQueueThread::MidiQueueThread(MidiOutput& output, MidiThreadManager& manager)
    : output_(output), manager_(manager), thread_([this] { ThreadMain(); })
{
}

void MidiQueueThread::ThreadMain()
{
    if (!SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_HIGHEST)) {
        fennic::CoutBuffer() << "Unable to SetThreadPriority of midi clock. dwError = " << GetLastError()
                             << fennic::endl;
    }
    fennic::threadNames.SetNameOfCurrentThread("midi_queue_run");
    try {
        Run();
    } catch (...) {
        BrixLogCurrentException(__FILE__, __LINE__);
    }
    manager_.SignalQueueEnded();
}

void MidiQueueThread::Run()
{
    for (;;) {
        if (!ShouldRun()) {
            return;
        }
        output_.QueueWaitForPlayback(*this);
        if (!ShouldRun()) {
            return;
        }
        MidiBuffer& buffer = output_.GetFillBuffer();
        buffer.WaitUntilNeedsData();
        if (!ShouldRun()) {
            return;
        }
        if (!output_.PlaybackIsActive()) {
            continue;  // parks at the top
        }
        output_.DoFillMidiBufferCallback(buffer, false);
        output_.IncrementFillBufferIndex();
    }
}

void MidiQueueThread::Join()
{
    if (joined_.load()) {
        return;
    }
    Exit();
    {
        MidiBuffer& fillBuffer = output_.GetFillBuffer();
        std::lock_guard<std::recursive_mutex> bufferLock(fillBuffer.GetMutex());
        fillBuffer.SetHasData(false);
    }
    manager_.ReleaseQueue();
    thread_.join();
    joined_.store(true);
}
