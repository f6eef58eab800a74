#include "MidiQueueThread.h"

#include "MidiBuffer.h"
#include "MidiOutput.h"
#include "MidiThreadManager.h"

#include <brix_core/BrixLog.h>
#include <brix_core/GuiDispatcher.h>
#include <fennic/CoutBuffer.h>
#include <fennic/ThreadNames.h>

#include <windows.h>

#include <exception>
#include <mutex>
#include <string>

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
        if (output_.QueueWaitForPlayback(*this)) {
            fillFailed_ = false;  // a new arming: its buffers are filled again
        }
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
        FillOrEndPlayback_(buffer);
        output_.IncrementFillBufferIndex();
    }
}

void MidiQueueThread::FillOrEndPlayback_(MidiBuffer& buffer)
{
    if (!fillFailed_) {
        try {
            output_.DoFillMidiBufferCallback(buffer, false);
            return;
        } catch (...) {
            // The song cannot be played on (an attacca into a song that cannot be loaded, a stream
            // that was not built): the buffer becomes the last one, so the clock path ends playback
            // there as at a song's end (all notes off, stopped reported), and the GUI hears why.
            fillFailed_ = true;
            const std::string text = CurrentExceptionText();
            BrixLogException(text, __FILE__, __LINE__);
            notify::guiDispatcher.SendPlaybackError(text);
        }
    }
    // Until the next arming every buffer is a last one: the clock path stops at the first.
    const std::lock_guard<std::recursive_mutex> bufferLock(buffer.GetMutex());
    buffer.Reset();
    buffer.SetIsLastBuffer(true);
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
