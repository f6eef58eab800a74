#include <brix_tarnwick2/Tarnwick2Interface.h>

#include "MidiShowControl.h"

#include <vector>

namespace brix {

Tarnwick2Interface::Tarnwick2Interface(const std::string& showDirectory, const std::string& dataFolder,
                                       std::shared_ptr<PlayerOscCallback> oscCallback)
    : TarnwickInterface(showDirectory, dataFolder), oscCallback_(std::move(oscCallback))
{
}

Tarnwick2Interface::~Tarnwick2Interface()
{
    // No filling thread may reach this object once its destruction has begun.
    GetMidiShowControl().SetOscTrigger({});
    TarnwickInterface::Shutdown();
}

void Tarnwick2Interface::SetOscControlDefaultPort(unsigned short port)
{
    std::shared_ptr<PlayerOscCallback> callback;
    {
        std::lock_guard lock(mutex_);
        callback = oscCallback_;
    }
    if (callback) {
        callback->SetDefaultPort(port);
    }
}

void Tarnwick2Interface::DoOscProcessing(bool on)
{
    {
        std::lock_guard lock(mutex_);
        processing_ = on;
        priming_ = false;
    }
    if (on) {
        GetMidiShowControl().SetOscTrigger(
            [this](unsigned int fromTick, unsigned int toTick, unsigned int) { OnBufferFilled(fromTick, toTick); });
    } else {
        GetMidiShowControl().SetOscTrigger({});
    }
}

void Tarnwick2Interface::Shutdown()
{
    GetMidiShowControl().SetOscTrigger({});
    TarnwickInterface::Shutdown();
    std::lock_guard lock(mutex_);
    oscCallback_.reset();
    processing_ = false;
}

void Tarnwick2Interface::OnBufferFilled(unsigned int fromTick, unsigned int toTick)
{
    const bool playing = GetIsPlaying();
    std::shared_ptr<PlayerOscCallback> callback;
    unsigned int originTick = fromTick;
    {
        std::lock_guard lock(mutex_);
        if (!processing_ || !oscCallback_) {
            return;
        }
        callback = oscCallback_;
        if (!playing) {
            // Primed buffers follow one another from the start position.
            if (!priming_ || fromTick != lastToTick_ + 1) {
                primeStartTick_ = fromTick;
            }
            originTick = primeStartTick_;
        }
        priming_ = !playing;
        lastToTick_ = toTick;
    }
    const std::string song = GetCurrentSongNumber();
    const auto changeLog = GetPlayedChangeLog();
    if (!changeLog->HasSongLog(song)) {
        return;
    }
    MidiShowControl& showControl = GetMidiShowControl();
    const double millisecondsPerTick = showControl.GetClockTime() * 1000.0 / showControl.GetTicksPerClock();
    for (const CL::Osc& osc : changeLog->GetSongLog(song).GetOscs()) {
        if (osc.abs_time() < fromTick || osc.abs_time() > toTick) {
            continue;
        }
        const auto delay = static_cast<unsigned int>((osc.abs_time() - originTick) * millisecondsPerTick);
        if (playing) {
            callback->ExecuteEvent(osc, delay);
        } else {
            callback->EnqueueEvent(osc, delay);
        }
    }
}

}  // namespace brix
