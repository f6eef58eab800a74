#pragma once

#include <brix_player_core/GuiUpdate.h>
#include <brix_player_core/Player.h>
#include <brix_player_core/ShowControl.h>

#include <brix_core/ChangeLog.h>
#include <brix_core/GuiDispatcher.h>
#include <brix_core/SongData.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <mutex>
#include <sstream>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace player_test {

inline constexpr std::uint16_t kResolution = 480;  // 20 ticks per MIDI clock
inline constexpr unsigned int kClock = kResolution / 24;
inline constexpr unsigned int kBar = 4 * kResolution;  // 4/4

// A song of `bars` bars of 4/4 at 120 bpm (a tempo change may be added), with beats in the timeline.
inline std::shared_ptr<brix_midi::SongData> MakeSong(const std::string& number, unsigned int bars,
                                                     bool attacca = false) {
    auto song = std::make_shared<brix_midi::SongData>();
    song->SetSongNumber(number);
    song->SetSongName("Song " + number);
    song->SetResolution(kResolution);
    song->SetAttacca(attacca);
    TL::Timeline timeline;
    for (unsigned int bar = 0; bar < bars; ++bar) {
        for (unsigned int beat = 0; beat < 4; ++beat) {
            timeline.Add(TL::BarsBeats(bar * kBar + beat * kResolution, bar + 1, beat + 1));
        }
    }
    timeline.Add(TL::Tempo(0, 500000));
    timeline.SetLastTickIndex(bars * kBar);
    song->SetTimeline(std::move(timeline));
    return song;
}

// Makes `log` the active change log's only song log.
inline void SetActiveLog(CL::SongLog log) {
    auto changeLog = std::make_shared<CL::ChangeLog>();
    changeLog->AddSongLog(std::move(log));
    ActiveChangeLogShared::Set(changeLog);
}

// What a walk played: merged segments "a-b", and "C<tick>" where a caesura stopped it.
class Road {
public:
    void Play(unsigned int from, unsigned int to) {
        if (to <= from) {
            return;
        }
        if (!items_.empty() && items_.back().kind == 'P' && items_.back().to == from) {
            items_.back().to = to;
        } else {
            items_.push_back({'P', from, to});
        }
    }
    void Stop(unsigned int tick) { items_.push_back({'C', tick, tick}); }
    std::string Text() const {
        std::ostringstream out;
        for (std::size_t i = 0; i < items_.size(); ++i) {
            out << (i ? " " : "");
            if (items_[i].kind == 'C') {
                out << 'C' << items_[i].from;
            } else {
                out << items_[i].from << '-' << items_[i].to;
            }
        }
        return out.str();
    }

private:
    struct Item {
        char kind;
        unsigned int from;
        unsigned int to;
    };
    std::vector<Item> items_;
};

// A show control walked the way the engine's filling thread walks it: window by window (one MIDI
// clock each), acting on each control-event result. A caesura stops the walk at once and the output's
// stop (OnCaesuraStop) follows, then the walk goes on as Continue would.
class WalkingShowControl : public ShowControl {
public:
    using ShowControl::ShowControl;

    bool GetConductorMode() override { return false; }
    void ReceivedSeekFromUser() override { ++seeksFromUser; }

    using ShowControl::SetCaesuraTickIndex;
    using ShowControl::GetSongLog;
    using ShowControl::SetCurrentTickIndex;

    // One window; false at the song's end.
    bool Advance(Road& road) {
        unsigned int ticks = kClock;
        for (int step = 0; step < 100; ++step) {
            ProcessLoopEventsAtCurrentTickIndex();
            std::unique_lock lock(GetShowControlMutex());
            const unsigned int from = GetTickIndex();
            const unsigned int end = GetEndTickIndex();
            if (from >= end) {
                return false;
            }
            const unsigned int to = from + ticks;
            const LoopEventList events = GetLoopEvents();
            if (events.GetSize() != 0 && events.GetFirstLoopEvent().tick != from &&
                events.GetFirstLoopEvent().tick < to) {
                lock.unlock();
                DoExpireFermata();
                lock.lock();
                if (GetRestartFlag()) {
                    ticks = kClock;
                    continue;
                }
            }
            lock.unlock();
            FindNextControlEventOnAdvance(from, to);
            lock.lock();
            const ControlEventResult result = GetControlEventResult();
            if (result.caesuraReached) {
                road.Play(from, GetTickIndex());
                StopAtCaesura(road);
                return true;
            }
            if (result.jumpReached) {
                FindNextControlEventOnSeek(result.eventTick, false);
                const fennic::LockReference<std::unique_lock<std::recursive_mutex>> held(lock);
                SetJump(GetControlEventResult().eventTick, held, false);
                road.Play(from, GetPreJumpTickIndex());
                if (HasPendingCaesura()) {
                    StopAtCaesura(road);
                    return true;
                }
                ticks = kClock;
                continue;
            }
            if (result.rescan) {
                continue;
            }
            if (result.eventInside) {
                road.Play(from, result.eventTick);
                SetCurrentTickIndex(result.eventTick);
                ticks = to - result.eventTick;
                continue;
            }
            road.Play(from, std::min(to, end));
            SetCurrentTickIndex(to);
            return true;
        }
        throw std::runtime_error("a window did not end");
    }

    void StopAtCaesura(Road& road) {
        road.Stop(GetCaesuraTickIndex());
        OnCaesuraStop();
    }

    int seeksFromUser = 0;
};

// Records what the GUI is told.
class GuiRecorder {
public:
    GuiRecorder() {
        notify::guiDispatcher.AddListener(this, [this](const notify::GuiEvent& event) {
            std::lock_guard lock(mutex_);
            events_.push_back(event);
        });
    }
    ~GuiRecorder() { notify::guiDispatcher.RemoveListenersForTarget(this); }
    GuiRecorder(const GuiRecorder&) = delete;
    GuiRecorder& operator=(const GuiRecorder&) = delete;

    std::vector<notify::GuiEvent> Take(notify::GuiEventKind kind) {
        std::lock_guard lock(mutex_);
        std::vector<notify::GuiEvent> taken;
        std::erase_if(events_, [&](const notify::GuiEvent& event) {
            if (event.kind != kind) {
                return false;
            }
            taken.push_back(event);
            return true;
        });
        return taken;
    }

private:
    std::mutex mutex_;
    std::vector<notify::GuiEvent> events_;
};

// A player whose transport only records and moves its show control.
class TestPlayer : public Player {
public:
    explicit TestPlayer(brix_midi::ShowData& show) : Player("test player"), showControl(GetActiveSongNumber(), show) {}

    ShowControl& GetShowControl() override { return showControl; }
    void Play() override {
        ++plays;
        SetPlayerState(PlayerState::Playing);
    }
    void ResetPlayer() override { ResetPlayerNoFillBuffers(); }
    void Seek(unsigned int tick) override {
        seeks.push_back(tick);
        showControl.Seek(tick);
    }
    void LoadSong(const std::string& songNumber) override {
        SetActiveSongNumber(songNumber);
        showControl.LoadSong();
    }
    void EnsureGuiIsCurrent() override {}
    double GetElapsedSeconds() override { return 0.0; }
    double GetTotalDurationSeconds() override { return 0.0; }
    bool GetOutputShouldRun() override { return false; }
    bool NextSong() override { return true; }
    void Pause() override { SetPlayerState(PlayerState::Paused); }
    void PreviousSong() override {}
    void SeekLeft() override { Seek(showControl.GetSeekLeft()); }
    void SeekRight() override { Seek(showControl.GetSeekRight()); }
    void SetTempoScale(double) override {}
    void SetTransposition(int) override {}
    void PrepareForExit() override {}
    void Shutdown() override {}
    void Stop() override { SetPlayerState(PlayerState::Stopped); }
    void StopAndReset() override { Stop(); }
    void SetTimeCodeCallback(std::function<void(double, double, double)>) override {}
    void SetFullFrameTimeCodeCallback(std::function<void(double)>) override {}

    using Player::SetStopKeepsPosition;
    using Player::TakeStopKeepsPosition;

    WalkingShowControl showControl;
    int plays = 0;
    std::vector<unsigned int> seeks;

protected:
    void DoSeek_(unsigned int tick) override { showControl.Seek(tick); }
};

}  // namespace player_test
