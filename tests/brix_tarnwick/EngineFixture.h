#pragma once

#include <brix_tarnwick2/Tarnwick2Interface.h>

#include <brix_core/EventObserver.h>
#include <brix_core/LogDataFile.h>

#include <winmm_virtual/VirtualMidi.h>

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace engine_test {

using namespace std::chrono_literals;

// One engine event as a front end receives it.
struct Received {
    notify::EngineEvent event;
    int value;
    std::string text;
};

// Records every engine event (each registered under its own enumerator's number) and lets a test
// wait for one.
class EngineEventLog {
public:
    EngineEventLog()
    {
        observer_.SetCallbackFunc(
            [this](int kind, int value, const char* text, void*) {
                {
                    std::lock_guard lock(mutex_);
                    events_.push_back({static_cast<notify::EngineEvent>(kind), value, text});
                }
                changed_.notify_all();
            },
            nullptr);
        using E = notify::EngineEvent;
        observer_.RegisterPlaybackStarted(static_cast<int>(E::PlaybackStarted));
        observer_.RegisterPlaybackStopped(static_cast<int>(E::PlaybackStopped));
        observer_.RegisterPlaybackPaused(static_cast<int>(E::PlaybackPaused));
        observer_.RegisterPlaybackFading(static_cast<int>(E::PlaybackFading));
        observer_.RegisterStatusFlowControl(static_cast<int>(E::StatusFlowControl));
        observer_.RegisterKey(static_cast<int>(E::Key));
        observer_.RegisterTempo(static_cast<int>(E::Tempo));
        observer_.RegisterMeter(static_cast<int>(E::Meter));
        observer_.RegisterTransposition(static_cast<int>(E::Transposition));
        observer_.RegisterTempoScale(static_cast<int>(E::TempoScale));
        observer_.RegisterBarBeat(static_cast<int>(E::BarBeat));
        observer_.RegisterMarker(static_cast<int>(E::Marker));
        observer_.RegisterPageNum(static_cast<int>(E::PageNum));
        observer_.RegisterPlayhead(static_cast<int>(E::Playhead));
        observer_.RegisterSongTitle(static_cast<int>(E::SongTitle));
        observer_.RegisterSongLoaded(static_cast<int>(E::SongLoaded));
        observer_.RegisterLearnedMIDICommand(static_cast<int>(E::LearnedMIDICommand));
        observer_.RegisterMIDICommandCanceled(static_cast<int>(E::MIDICommandCanceled));
        observer_.RegisterMidiNotification(static_cast<int>(E::MidiNotification));
        observer_.RegisterProgramChange(static_cast<int>(E::ProgramChange));
        observer_.RegisterVampOn(static_cast<int>(E::VampOn));
        observer_.RegisterVampOff(static_cast<int>(E::VampOff));
        observer_.RegisterStatusVolume(static_cast<int>(E::StatusVolume));
    }

    std::vector<Received> All() const
    {
        std::lock_guard lock(mutex_);
        return events_;
    }
    std::vector<Received> Of(notify::EngineEvent event) const
    {
        std::vector<Received> found;
        for (const Received& received : All()) {
            if (received.event == event) {
                found.push_back(received);
            }
        }
        return found;
    }
    // Waits until done(events so far) holds.
    bool WaitUntil(const std::function<bool(const std::vector<Received>&)>& done,
                   std::chrono::milliseconds timeout = 20s) const
    {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, timeout, [&] { return done(events_); });
    }
    bool WaitFor(notify::EngineEvent event, const std::string& text, std::chrono::milliseconds timeout = 20s) const
    {
        return WaitUntil(
            [&](const std::vector<Received>& events) {
                for (const Received& received : events) {
                    if (received.event == event && received.text == text) {
                        return true;
                    }
                }
                return false;
            },
            timeout);
    }
    bool WaitFor(notify::EngineEvent event, std::chrono::milliseconds timeout = 20s) const
    {
        return WaitUntil(
            [&](const std::vector<Received>& events) {
                for (const Received& received : events) {
                    if (received.event == event) {
                        return true;
                    }
                }
                return false;
            },
            timeout);
    }
    void Clear()
    {
        std::lock_guard lock(mutex_);
        events_.clear();
    }

private:
    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    std::vector<Received> events_;
    notify::EventObserver observer_;
};

// The cues the engine hands to its OSC callback.
class RecordingOscCallback : public brix::PlayerOscCallback {
public:
    struct Cue {
        std::string eventId;
        unsigned int delay;
    };

    void ExecuteEvent(const CL::Osc& osc, unsigned int delay) override { Add(executed, osc, delay); }
    void EnqueueEvent(const CL::Osc& osc, unsigned int delay) override { Add(enqueued, osc, delay); }
    void SetDefaultPort(unsigned short port) override
    {
        std::lock_guard lock(mutex);
        defaultPort = port;
    }
    std::vector<Cue> Executed()
    {
        std::lock_guard lock(mutex);
        return executed;
    }
    std::vector<Cue> Enqueued()
    {
        std::lock_guard lock(mutex);
        return enqueued;
    }
    bool WaitForExecuted(std::size_t count, std::chrono::milliseconds timeout = 20s)
    {
        std::unique_lock lock(mutex);
        return changed.wait_for(lock, timeout, [&] { return executed.size() >= count; });
    }

    std::mutex mutex;
    std::condition_variable changed;
    std::vector<Cue> executed;
    std::vector<Cue> enqueued;
    unsigned short defaultPort = 0;

private:
    void Add(std::vector<Cue>& cues, const CL::Osc& osc, unsigned int delay)
    {
        {
            std::lock_guard lock(mutex);
            cues.push_back({osc.EventId(), delay});
        }
        changed.notify_all();
    }
};

// A copy of the demo show without its change-log versions in a fresh temporary folder (with a data
// folder beside it), removed at the end. The engine writes its mixer settings into the show folder.
class ShowCopy {
public:
    ShowCopy()
    {
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        root_ = std::filesystem::temp_directory_path() /
                ("brix_tarnwick_" + std::string(test->test_suite_name()) + "_" + test->name() + "_" +
                 std::to_string(::getpid()));
        std::filesystem::remove_all(root_);
        std::filesystem::create_directories(root_ / "data");
        std::filesystem::copy(BRIX_DEMO_SHOW_DIR, root_ / "demo", std::filesystem::copy_options::recursive);
        // The tests start from an empty change log, or write their own: the demo's edits (a vamp held
        // until released at the top of song 1 among them) are left out of the copy.
        for (const auto& entry : std::filesystem::directory_iterator(root_ / "demo")) {
            if (entry.path().extension() == ".logdata") {
                std::filesystem::remove(entry.path());
            }
        }
    }
    ~ShowCopy() { std::filesystem::remove_all(root_); }
    ShowCopy(const ShowCopy&) = delete;
    ShowCopy& operator=(const ShowCopy&) = delete;

    std::filesystem::path Folder() const { return root_ / "demo"; }
    std::filesystem::path DataFolder() const { return root_ / "data"; }

private:
    std::filesystem::path root_;
};

// The demo show's engine on a virtual output device, with its engine events and OSC cues recorded.
// logs: song logs written into a ".logdata" file of the show copy before the engine starts.
class Engine {
public:
    explicit Engine(const std::vector<CL::SongLog>& logs = {}, bool withOsc = true) : device(u"engine test output")
    {
        if (!logs.empty()) {
            CL::ChangeLog changeLog;
            for (const CL::SongLog& log : logs) {
                changeLog.AddSongLog(log);
            }
            CL::WriteLogDataFile(show.Folder(), "demo", changeLog);
        }
        if (withOsc) {
            osc = std::make_shared<RecordingOscCallback>();
        }
        engine = std::make_unique<brix::Tarnwick2Interface>(show.Folder().string(), show.DataFolder().string(), osc);
    }
    ~Engine() { engine.reset(); }
    Engine(const Engine&) = delete;
    Engine& operator=(const Engine&) = delete;

    // The note-ons (velocity above 0) received from index `from` on.
    std::vector<winmm_virtual::CapturedEvent> NoteOns(std::size_t from = 0) const
    {
        std::vector<winmm_virtual::CapturedEvent> notes;
        const auto events = device.GetEvents();
        for (std::size_t i = from; i < events.size(); ++i) {
            if ((events[i].status & 0xF0) == 0x90 && events[i].data2 > 0) {
                notes.push_back(events[i]);
            }
        }
        return notes;
    }
    // Whether every note struck from index `from` on was released (note-off, note-on with velocity 0,
    // or all notes off on its channel) by the end.
    bool NoNoteHeld(std::size_t from = 0) const
    {
        std::vector<std::pair<int, int>> held;
        const auto events = device.GetEvents();
        for (std::size_t i = from; i < events.size(); ++i) {
            const int kind = events[i].status & 0xF0;
            const int channel = events[i].status & 0x0F;
            if (kind == 0x90 && events[i].data2 > 0) {
                held.emplace_back(channel, events[i].data1);
            } else if (kind == 0x80 || kind == 0x90) {
                std::erase(held, std::make_pair(channel, int{events[i].data1}));
            } else if (kind == 0xB0 && (events[i].data1 == 123 || events[i].data1 == 120)) {
                std::erase_if(held, [&](const auto& note) { return note.first == channel; });
            }
        }
        return held.empty();
    }

    ShowCopy show;
    winmm_virtual::VirtualMidiOutput device;
    EngineEventLog events;
    std::shared_ptr<RecordingOscCallback> osc;
    std::unique_ptr<brix::Tarnwick2Interface> engine;
};

}  // namespace engine_test
