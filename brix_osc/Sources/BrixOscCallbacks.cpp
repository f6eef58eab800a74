#include "BrixOscCallbacks.h"

#include "OscMessage.h"

#include <brix_player_core/Interface.h>

#include <brix_core/Editor.h>
#include <brix_core/EventCodes.h>

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace brix {

namespace {

// The longest fade a remote command may ask for.
constexpr float kMaxFadeSeconds = 10.0f;

float FadeMilliseconds(float seconds) { return std::min(seconds, kMaxFadeSeconds) * 1000.0f; }

}  // namespace

BrixOscCallbacks::BrixOscCallbacks(std::shared_ptr<Interface> engine, const std::string& showName)
    : engine_(std::move(engine)),
      oscShowName_(osc::MakeOscSafeName(showName)),
      eventCodes_{codes::vamp, codes::caesura}
{
}

bool BrixOscCallbacks::IsShow(const std::string& show) const { return show.empty() || show == oscShowName_; }

bool BrixOscCallbacks::IsTarget(const std::string& show, const std::string& song) const
{
    return IsShow(show) && (song.empty() || song == engine_->GetCurrentSongNumber());
}

void BrixOscCallbacks::ContinueWithQueuedCues()
{
    engine_->Continue();
    emit RequestPlayQueudOscEvents();
}

void BrixOscCallbacks::Stop(const std::string& show, const std::string& song)
{
    if (IsTarget(show, song)) {
        engine_->Stop();
    }
}

void BrixOscCallbacks::Play(const std::string& show, const std::string& song)
{
    if (!IsShow(show)) {
        return;
    }
    if (song.empty() || song == engine_->GetCurrentSongNumber()) {
        engine_->Stop();
        engine_->Play();
        emit RequestPlayQueudOscEvents();
        return;
    }
    try {
        if (!engine_->SongExists(song)) {
            throw std::runtime_error("Song " + song + " does not exist.");
        }
        engine_->LoadSong(engine_->GetActualSongNumber(song));
        engine_->Play();
        emit RequestPlayQueudOscEvents();
    } catch (const std::exception& error) {
        ReportError(error.what(), "OSC was unable to load and play the specified song number");
    }
}

void BrixOscCallbacks::FadeOut(const std::string& show, const std::string& song, float fadeSeconds)
{
    if (IsTarget(show, song)) {
        emit FadeRequested(FadeMilliseconds(fadeSeconds));
    }
}

void BrixOscCallbacks::FadeTo(const std::string& show, const std::string& song, float fadeSeconds, float level,
                              bool gotoNextSong)
{
    if (IsTarget(show, song)) {
        emit FadeToRequested(FadeMilliseconds(fadeSeconds), level, gotoNextSong);
    }
}

void BrixOscCallbacks::NextSong(const std::string& show, const std::string& song)
{
    if (IsTarget(show, song)) {
        engine_->NextSong();
    }
}

void BrixOscCallbacks::PrevSong(const std::string& show, const std::string& song)
{
    if (IsTarget(show, song)) {
        engine_->PrevSong();
    }
}

void BrixOscCallbacks::PrevMarker(const std::string& show, const std::string& song)
{
    if (IsTarget(show, song)) {
        emit PrevMarkerRequested();
    }
}

void BrixOscCallbacks::NextMarker(const std::string& show, const std::string& song)
{
    if (IsTarget(show, song)) {
        emit NextMarkerRequested();
    }
}

void BrixOscCallbacks::PrevBar(const std::string& show, const std::string& song)
{
    if (IsTarget(show, song)) {
        emit PrevBarRequested();
    }
}

void BrixOscCallbacks::NextBar(const std::string& show, const std::string& song)
{
    if (IsTarget(show, song)) {
        emit NextBarRequested();
    }
}

void BrixOscCallbacks::PlayheadForward(const std::string& show, const std::string& song, std::uint32_t ticks)
{
    if (IsTarget(show, song)) {
        emit PlayheadJumpRequested(static_cast<int>(ticks));
    }
}

void BrixOscCallbacks::PlayheadBack(const std::string& show, const std::string& song, std::uint32_t ticks)
{
    if (IsTarget(show, song)) {
        emit PlayheadJumpRequested(-static_cast<int>(ticks));
    }
}

void BrixOscCallbacks::SetVolume(float gain) { engine_->SetVolume(static_cast<double>(gain)); }

void BrixOscCallbacks::StepVolume(const std::string& show, const std::string& song, float stepDecibels)
{
    if (!IsTarget(show, song)) {
        return;
    }
    const float decibels = static_cast<float>(20.0 * std::log10(engine_->GetVolume())) + stepDecibels;
    engine_->SetVolume(std::pow(10.0, static_cast<double>(decibels) / 20.0));
}

void BrixOscCallbacks::Advance(const std::string& show, const std::string& song)
{
    if (IsTarget(show, song)) {
        ContinueWithQueuedCues();
    }
}

void BrixOscCallbacks::PauseToggle(const std::string& show, const std::string& song)
{
    if (!IsTarget(show, song)) {
        return;
    }
    if (engine_->GetIsPaused()) {
        ContinueWithQueuedCues();
    } else {
        engine_->Pause(false);
    }
}

void BrixOscCallbacks::AdvanceEvent(const std::string& show, const std::string& song, const std::string& eventId)
{
    if (!IsTarget(show, song)) {
        return;
    }
    const CL::Editor* editor = engine_->GetChangeLogEditor();
    if (editor == nullptr) {
        return;
    }
    const auto events = editor->GetEventsByEventId();
    const auto found = events.find(eventId);
    if (found == events.end() || !eventCodes_.contains(found->second.code())) {
        return;
    }
    const cmn::BrixEvent& event = found->second;
    const unsigned int tick = engine_->GetTickIndex();
    unsigned int target = event.start();
    // A region (a vamp) has an end tick; a caesura is a single position.
    if (event.IsPairedEvent()) {
        if (event.start() <= tick && tick <= event.end()) {
            engine_->Continue();
            return;
        }
        target = event.end();
    } else if (tick == event.start()) {
        ContinueWithQueuedCues();
        return;
    }
    const std::string current = engine_->GetCurrentSongNumber();
    if (engine_->GetSongAudioEndTick(current) > target) {
        engine_->Pause(false);
        engine_->Seek(target);
        ContinueWithQueuedCues();
        return;
    }
    const std::uint8_t attacca = engine_->GetAttacca(current);
    engine_->NextSong();
    if (attacca == 1) {
        ContinueWithQueuedCues();
    }
}

void BrixOscCallbacks::CommandReceived() { emit Notification(); }

}  // namespace brix
