#pragma once

#include "OscProcInterface.h"

#include <QObject>

#include <memory>
#include <set>
#include <string>

class Interface;

namespace brix {

// The program's handler of incoming OSC commands. A command acts only when its address names this
// show (empty, or the show name in its OSC-safe form, osc::MakeOscSafeName) and the current song
// (empty, or the engine's current song number); then it calls the engine, or, for what the main
// window owns (fades, bar and marker steps, playhead jumps, the queue of OSC cues, the incoming-OSC
// notice), emits a signal for the main window. Sound-effect commands do nothing in this program.
//
// Owner: the OSC server (osc::OscServer). Threads: the server's thread (the GUI thread); the signals
// are meant for direct connections to the main window controller, so its slots run inside the
// dispatch.
class BrixOscCallbacks : public QObject, public osc::OscProcInterface {
    Q_OBJECT

public:
    BrixOscCallbacks(std::shared_ptr<Interface> engine, const std::string& showName);

    void Stop(const std::string& show, const std::string& song) override;
    // The current song from its start, or the song the address names (loaded first).
    void Play(const std::string& show, const std::string& song) override;
    void FadeOut(const std::string& show, const std::string& song, float fadeSeconds) override;
    void FadeTo(const std::string& show, const std::string& song, float fadeSeconds, float level,
                bool gotoNextSong) override;
    void NextSong(const std::string& show, const std::string& song) override;
    void PrevSong(const std::string& show, const std::string& song) override;
    void PrevMarker(const std::string& show, const std::string& song) override;
    void NextMarker(const std::string& show, const std::string& song) override;
    void PrevBar(const std::string& show, const std::string& song) override;
    void NextBar(const std::string& show, const std::string& song) override;
    void PlayheadForward(const std::string& show, const std::string& song, std::uint32_t ticks) override;
    void PlayheadBack(const std::string& show, const std::string& song, std::uint32_t ticks) override;
    // Any show and song.
    void SetVolume(float gain) override;
    void StepVolume(const std::string& show, const std::string& song, float stepDecibels) override;
    void Advance(const std::string& show, const std::string& song) override;
    void PauseToggle(const std::string& show, const std::string& song) override;
    // Releases the vamp or caesura with that change-log event id: continues when the playhead is at
    // it, else jumps to it (or to the next song when it lies past the song's audio) and continues.
    void AdvanceEvent(const std::string& show, const std::string& song, const std::string& eventId) override;
    void CommandReceived() override;

signals:
    // Milliseconds, at most 10 seconds.
    void FadeRequested(float fadeTime);
    void FadeToRequested(float fadeTime, float targetVolumePercent, bool gotoNextSong);
    void RequestPlayQueudOscEvents();
    void Notification();
    void NextMarkerRequested();
    void PrevMarkerRequested();
    void NextBarRequested();
    void PrevBarRequested();
    void PlayheadJumpRequested(int ticks);

private:
    bool IsTarget(const std::string& show, const std::string& song) const;
    bool IsShow(const std::string& show) const;
    // Continues playback and has the queued OSC cues sent.
    void ContinueWithQueuedCues();

    std::shared_ptr<Interface> engine_;
    const std::string oscShowName_;
    // The change-log events an event command releases: vamps and caesuras.
    const std::set<unsigned char> eventCodes_;
};

}  // namespace brix
