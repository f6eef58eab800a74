#pragma once

#include <cstdint>
#include <string>

namespace brix::osc {

// The handler of incoming OSC commands: Dispatch (OscDispatch.h) reads the command of a message and
// calls one of these. show, song and event are the address's parts (empty when absent). Every
// operation does nothing here, except ReportError, which writes "<title>: <message>" and a line break
// to the standard error stream.
//
// Owner: the OSC server (OscServer.h), which calls it on its own thread (the GUI thread).
class OscProcInterface {
public:
    virtual void Stop(const std::string& show, const std::string& song);
    virtual void Play(const std::string& show, const std::string& song);
    virtual void FadeOut(const std::string& show, const std::string& song, float fadeSeconds);
    // level: linear gain.
    virtual void FadeTo(const std::string& show, const std::string& song, float fadeSeconds, float level,
                        bool gotoNextSong);
    virtual void NextSong(const std::string& show, const std::string& song);
    virtual void PrevSong(const std::string& show, const std::string& song);
    virtual void PrevMarker(const std::string& show, const std::string& song);
    virtual void NextMarker(const std::string& show, const std::string& song);
    virtual void PrevBar(const std::string& show, const std::string& song);
    virtual void NextBar(const std::string& show, const std::string& song);
    virtual void PlayheadForward(const std::string& show, const std::string& song, std::uint32_t ticks);
    virtual void PlayheadBack(const std::string& show, const std::string& song, std::uint32_t ticks);
    // gain: linear.
    virtual void SetVolume(float gain);
    // stepDecibels may be negative.
    virtual void StepVolume(const std::string& show, const std::string& song, float stepDecibels);
    virtual void Advance(const std::string& show, const std::string& song);
    virtual void PauseToggle(const std::string& show, const std::string& song);
    virtual void AdvanceEvent(const std::string& show, const std::string& song, const std::string& eventId);
    virtual void ReportError(const std::string& message, const std::string& title);
    virtual void SfxPlay(const std::string& show, const std::string& sfxId);
    virtual void SfxStop(const std::string& show, const std::string& sfxId);
    virtual void SfxStopAll(const std::string& show);
    // Every message that decoded, whatever its address.
    virtual void CommandReceived();
    // level: linear gain.
    virtual void SfxFadeTo(const std::string& show, const std::string& sfxId, double level, float fadeMilliseconds);
    virtual ~OscProcInterface() = default;
};

}  // namespace brix::osc
