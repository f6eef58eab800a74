#pragma once

#include "HowToPlayWithMidiClock.h"
#include "MidiClock.h"
#include "MidiShowControl.h"
#include "StandardMidiPlayer.h"
#include "TarnwickMidiStreamCollection.h"
#include "UserControls.h"

#include <brix_core/ChangeLog.h>
#include <brix_core/GuiDispatcher.h>
#include <brix_core/SongData.h>

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace app_test {

// A song of `bars` bars of 4/4 at 120 bpm with one note (track 0, 60 + beat) on every beat, lasting
// half a beat; with holdLastNote the last one is never released.
inline std::shared_ptr<brix_midi::SongData> MakeSong(const std::string& number, unsigned int bars,
                                                     std::uint16_t resolution = 480, bool attacca = false,
                                                     bool holdLastNote = false)
{
    auto song = std::make_shared<brix_midi::SongData>();
    song->SetSongNumber(number);
    song->SetSongName("Song " + number);
    song->SetResolution(resolution);
    song->SetAttacca(attacca);
    TL::Timeline timeline;
    std::vector<brix_midi::VoiceEvent> events;
    for (unsigned int bar = 0; bar < bars; ++bar) {
        for (unsigned int beat = 0; beat < 4; ++beat) {
            const std::uint32_t tick = (bar * 4 + beat) * resolution;
            timeline.Add(TL::BarsBeats(tick, bar + 1, beat + 1));
            const auto key = static_cast<std::uint8_t>(60 + beat);
            events.emplace_back(tick, 0x90, key, 100);
            if (!holdLastNote || bar + 1 < bars || beat < 3) {
                events.emplace_back(tick + resolution / 2, 0x80, key, 0);
            }
        }
    }
    timeline.Add(TL::Tempo(0, 500000));
    timeline.Add(TL::Meter(0, 4, 4, 24, 8));
    timeline.Add(TL::Key(0, 0, 0));
    timeline.SetLastTickIndex(bars * 4 * resolution);
    song->SetTimeline(std::move(timeline));
    song->SetVoiceTrack(std::make_shared<brix_midi::VoiceTrack>(0, "Piano", std::move(events), 0,
                                                                brix_midi::VoiceTrack::kNoNoteRange));
    return song;
}

// Makes a change log of the show's songs (with the given song logs in place of empty ones) active.
inline void SetActiveChangeLog(const brix_midi::ShowData& show, const std::vector<CL::SongLog>& logs = {})
{
    auto changeLog = std::make_shared<CL::ChangeLog>();
    for (const auto& [number, song] : show.GetSongs()) {
        CL::SongLog log(number, song->GetSongName());
        for (const CL::SongLog& given : logs) {
            if (given.GetSongNumber() == number) {
                log = given;
            }
        }
        changeLog->AddSongLog(log);
    }
    ActiveChangeLogShared::Set(changeLog);
}

// A clock that records what it is told and never fires.
class RecordingClock : public MidiClock {
public:
    struct TickIndexCall {
        unsigned int tick;
        unsigned int validAt;
    };

    void SetTicksPerClock(unsigned int perClock) override { ticksPerClock = perClock; }
    void SetClocksPerClick(int, unsigned int) override {}
    void SetClockTime(double, unsigned int) override {}
    void SetTickIndex(unsigned int tick, int, unsigned int, int, double, unsigned int validAt) override
    {
        tickIndexCalls.push_back({tick, validAt});
    }
    void SetCaesura(unsigned int tick, double, int) override { caesuras.push_back(tick); }
    void ArmPlayback(unsigned int, int, double, unsigned int tick, int) override
    {
        armed = true;
        armedAt = tick;
    }
    void DisarmPlayback() override { armed = false; }
    void ContinuousMode() override {}
    void ConductBeat() override {}
    void SetConductorClickTimerCallback(void (*)(void*), void*) override {}
    void SetDownbeatTimerCallback(void (*)(void*), void*) override {}
    bool GetPlaybackIsArmed() override { return armed; }

    unsigned int ticksPerClock = 0;
    std::vector<TickIndexCall> tickIndexCalls;
    std::vector<unsigned int> caesuras;
    bool armed = false;
    unsigned int armedAt = 0;
};

// The product's part of a show control: the show's streams and one position model.
class DemoShowControl : public MidiShowControl {
public:
    DemoShowControl(ActiveSongNumber& songNumber, brix_midi::ShowData& show, UserControls& userControls,
                    MidiClock& clock, std::function<bool()> nextAttaccaSong, std::function<bool()> stopAtCaesura,
                    std::function<void()> rearmForConductor)
        : MidiShowControl(songNumber, show, userControls, clock, std::move(nextAttaccaSong), std::move(stopAtCaesura),
                          std::move(rearmForConductor)),
          streams(show),
          model(userControls, clock)
    {
    }

    MidiStreamCollection& GetMidiStreamCollection() override { return streams; }
    HowToPlayWithMidiClock& GetHowToPlayWithMidiClock() override { return model; }

    using MidiShowControl::AdvanceClock;

    TarnwickMidiStreamCollection streams;
    HowToPlayWithMidiClock model;
};

// The product's player: a standard MIDI player with the show control above.
class DemoPlayer : public StandardMidiPlayer {
public:
    DemoPlayer(brix_midi::ShowData& show, unsigned char portCount)
        : StandardMidiPlayer(portCount, "demo player"),
          showControl(
              GetActiveSongNumber(), show, GetUserControls(), GetMidiClock(), [this] { return LoadNextSongAttacca(); },
              [this] { return SeekToCaesuraStop(); }, [this] { ProcessJumpToCaesura(); })
    {
    }
    ~DemoPlayer() override
    {
        PrepareForExit();
        Shutdown();
    }

    ShowControl& GetShowControl() override { return showControl; }
    MidiShowControl& GetMidiShowControl() override { return showControl; }

    DemoShowControl showControl;
};

// Records what the GUI is told and lets a test wait for it.
class GuiRecorder {
public:
    GuiRecorder()
    {
        notify::guiDispatcher.AddListener(this, [this](const notify::GuiEvent& event) {
            {
                std::lock_guard lock(mutex_);
                events_.push_back(event);
            }
            changed_.notify_all();
        });
    }
    ~GuiRecorder() { notify::guiDispatcher.RemoveListenersForTarget(this); }
    GuiRecorder(const GuiRecorder&) = delete;
    GuiRecorder& operator=(const GuiRecorder&) = delete;

    std::vector<notify::GuiEvent> Of(notify::GuiEventKind kind)
    {
        std::lock_guard lock(mutex_);
        std::vector<notify::GuiEvent> found;
        for (const auto& event : events_) {
            if (event.kind == kind) {
                found.push_back(event);
            }
        }
        return found;
    }
    bool WaitFor(notify::GuiEventKind kind, std::chrono::milliseconds timeout)
    {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, timeout, [&] {
            for (const auto& event : events_) {
                if (event.kind == kind) {
                    return true;
                }
            }
            return false;
        });
    }
    void Clear()
    {
        std::lock_guard lock(mutex_);
        events_.clear();
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<notify::GuiEvent> events_;
};

}  // namespace app_test
