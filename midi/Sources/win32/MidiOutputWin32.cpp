#include "MidiOutputWin32.h"

#include "BrixMidiError.h"
#include "MidiBufferWin32.h"
#include "MidiClock.h"

#include <brix_core/BrixLog.h>
#include <brix_core/GuiDispatcher.h>
#include <fennic/CoutBuffer.h>

#include <algorithm>
#include <cmath>
#include <exception>
#include <utility>

namespace {
using RecursiveLock = std::unique_lock<std::recursive_mutex>;
}  // namespace

MidiOutputWin32::MidiOutputWin32(unsigned char portCount, FillCallback fill, DownbeatCallback downbeat,
                                 StoppedCallback stopped, ClockIsActiveCallback clockIsActive,
                                 CheckCaesuraCallback checkCaesura, MidiClock& clock,
                                 std::recursive_mutex* playerLock)
    : MidiOutput(std::move(fill), downbeat, std::move(stopped), std::move(clockIsActive), std::move(checkCaesura),
                 clock, playerLock),
      ports_(portCount),
      delayedGui_(std::make_unique<DelayedGui>(std::move(downbeat), kInitialGuiDelaySeconds))
{
    clock.SetMidiClockCallback([this](double beatsPerMinute) { ProcessMidiClock(beatsPerMinute); });
}

MidiOutputWin32::~MidiOutputWin32()
{
    ExitThreads();
    delayedGui_.reset();
    if (connected_) {
        // A destructor must not throw: a data buffer the driver still holds cannot be unprepared.
        try {
            ports_.DisconnectSynth(*synth_);
        } catch (const std::exception& e) {
            BrixLogException(e.what(), __FILE__, __LINE__);
        }
    }
    synth_.reset();
}

std::unique_ptr<MidiBuffer> MidiOutputWin32::NewMidiBuffer(unsigned char portCount, unsigned short capacity,
                                                           const std::string& name)
{
    return std::unique_ptr<MidiBuffer>(CreateMidiBuffer(portCount, capacity, name));
}

void MidiOutputWin32::ProcessMidiClock(double beatsPerMinute)
{
    try {
        RecursiveLock player;
        if (GetPlayerLock() != nullptr) {
            player = RecursiveLock(*GetPlayerLock());
        }
        // A firing that waited for the player lock while the player disarmed (and maybe re-armed and
        // primed a new ring) is not a clock of the new arming: it sends nothing.
        if (!GetClock().FiringIsCurrent()) {
            return;
        }
        DoClockIsActiveCallback();
        if (!PlaybackIsActive()) {
            return;
        }
        MidiBuffer& buffer = GetPlayBuffer();
        if (!buffer.WaitUntilReadyForOutput()) {
            return;
        }
        unsigned int tick = 0;
        if (SendPlayBuffer(buffer, beatsPerMinute, &tick) && DoCheckCaesuraCallback(tick)) {
            DisarmPlayback();
            SignalAsyncStoppedCallback();
        }
    } catch (...) {
        BrixLogCurrentException(__FILE__, __LINE__);
    }
}

bool MidiOutputWin32::SendPlayBuffer(MidiBuffer& buffer, double beatsPerMinute, unsigned int* tick)
{
    RecursiveLock output(GetMutex(), std::defer_lock);
    RecursiveLock bufferLock(buffer.GetMutex(), std::defer_lock);
    std::lock(output, bufferLock);
    if (!PlaybackIsActive()) {
        return false;
    }
    const int clockNumber = buffer.GetClockNumber();
    if (buffer.GetIsLastBuffer()) {
        AllNotesOff();
        bufferLock.unlock();
        output.unlock();
        DisarmPlayback();
        SignalAsyncStoppedCallback();
        return false;
    }
    if (buffer.GetShouldSendAllNotesOff()) {
        AllNotesOff();
    } else if (buffer.GetShouldSendAllCCsOff()) {
        AllCCsOff();
    }
    try {
        GetPorts().SendMidiBuffer(buffer);
    } catch (const InvalidVoiceEvent&) {
        fennic::CoutBuffer() << "InvalidVoiceEvent " << "MidiOutputWin32::ProcessMidiClock" << fennic::endl;
    }
    buffer.SendProgramChanges();
    *tick = buffer.GetTickIndex();
    SetBpmAtTickIndex(beatsPerMinute, *tick);
    if (clockNumber == 0) {
        delayedGui_->SignalDelayedCallback(*tick);
    }
    buffer.SetHasData(false);
    IncrementPlayBufferIndex();
    return true;
}

void MidiOutputWin32::CreateSynthOutput(const std::string&)
{
    auto synth = std::make_unique<WinSynth>();
    if (connected_) {
        connected_ = false;
        // The previous stream goes away whatever its headers say; the new one prepares its own.
        try {
            ports_.DisconnectSynth(*synth_);
        } catch (const std::exception& e) {
            BrixLogException(e.what(), __FILE__, __LINE__);
        }
    }
    synth_.reset();
    // On failure the ports are left unbound and the new synth is closed.
    ports_.ConnectSynth(*synth);
    synth_ = std::move(synth);
    connected_ = true;
}

void MidiOutputWin32::DisarmPlayback()
{
    MidiOutput::DisarmPlayback();
    if (synth_) {
        ports_.CleanUpQuarantinedDataBuffers(synth_->GetOutputHandle());
    }
    delayedGui_->Reset();
}

void MidiOutputWin32::ResetMidiOutput()
{
    std::lock_guard guard(GetMutex());
    delayedGui_->Reset();
}

void MidiOutputWin32::SetGuiDelay(double seconds)
{
    delayedGui_->SetSecondsDelay(seconds);
    notify::guiDispatcher.SendGuiDelayMessage(static_cast<int>(std::lround(seconds * 1000.0)));
}

void MidiOutputWin32::DecreaseGuiDelay()
{
    SetGuiDelay(std::max(0.0, delayedGui_->GetSecondsDelay() - kGuiDelayStepSeconds));
}

void MidiOutputWin32::IncreaseGuiDelay()
{
    SetGuiDelay(std::min(kMaxGuiDelaySeconds, delayedGui_->GetSecondsDelay() + kGuiDelayStepSeconds));
}
