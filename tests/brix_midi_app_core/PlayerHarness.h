#pragma once

#include "Fixtures.h"

#include "MidiOutput.h"

#include <brix_core/CallbackDispatcher.h>
#include <brix_core/NotifyNames.h>
#include <brix_core/ShowFolder.h>

#include <winmm_virtual/VirtualMidi.h>

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace app_test {

using namespace std::chrono_literals;

// One note-on as the virtual device received it.
struct HeardNote {
    int channel;
    int key;
    std::chrono::steady_clock::time_point at;
};

// The demo show played by a DemoPlayer into a virtual output device, with its change log (song logs
// may be given), the stopped-at-end notice and the GUI recorded.
class PlayerHarness {
public:
    explicit PlayerHarness(const std::vector<CL::SongLog>& logs = {})
        : PlayerHarness(brix_midi::LoadShowFolder(BRIX_DEMO_SHOW_DIR), logs)
    {
    }
    // Plays the given show instead of the demo show.
    explicit PlayerHarness(brix_midi::LoadedShow show, const std::vector<CL::SongLog>& logs = {})
        : loaded(std::move(show)), device(u"app test output")
    {
        SetActiveChangeLog(loaded.show, logs);
        player = std::make_unique<DemoPlayer>(loaded.show, 2);
        player->GetMidiOutput().CreateSynthOutput("");
        notify::callbackDispatcher.AddCallback(this, notify::names::stopped_at_end_of_song, [this](void*) {
            {
                std::lock_guard lock(mutex);
                ++stopsAtEnd;
            }
            changed.notify_all();
        });
    }
    ~PlayerHarness()
    {
        notify::callbackDispatcher.RemoveCallbacksForTarget(this);
        player.reset();
    }
    PlayerHarness(const PlayerHarness&) = delete;
    PlayerHarness& operator=(const PlayerHarness&) = delete;

    const brix_midi::SongData& Song(const std::string& number) const { return loaded.show.GetSong(number); }

    // The note-ons received so far (velocity above 0), on the given channel or on all (-1).
    std::vector<HeardNote> NotesHeard(int channel = -1) const
    {
        std::vector<HeardNote> notes;
        for (const auto& event : device.GetEvents()) {
            const int kind = event.status & 0xF0;
            const int eventChannel = event.status & 0x0F;
            if (kind == 0x90 && event.data2 > 0 && (channel < 0 || channel == eventChannel)) {
                notes.push_back({eventChannel, event.data1, event.sentAt});
            }
        }
        return notes;
    }
    std::size_t EventCount() const { return device.GetEvents().size(); }

    // The note-ons of the channel that follow the first all-notes-off (CC 123) on it among the events
    // from index `from` on: what sounded after the stop, pause or seek that silenced the channel. A
    // buffer still going out when `from` was taken ends before that all-notes-off.
    std::vector<HeardNote> NotesHeardAfterAllNotesOff(int channel, std::size_t from) const
    {
        const auto events = device.GetEvents();
        std::vector<HeardNote> notes;
        bool silenced = false;
        for (std::size_t i = from; i < events.size(); ++i) {
            const auto& event = events[i];
            if ((event.status & 0x0F) != channel) {
                continue;
            }
            const int kind = event.status & 0xF0;
            if (kind == 0xB0 && event.data1 == 123) {
                silenced = true;
            } else if (silenced && kind == 0x90 && event.data2 > 0) {
                notes.push_back({channel, event.data1, event.sentAt});
            }
        }
        return notes;
    }

    // Waits until done() holds, checking after every event the device receives.
    template <class Done>
    bool WaitUntil(Done done, std::chrono::milliseconds timeout = 20s) const
    {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        for (;;) {
            const std::size_t events = device.GetEvents().size();
            if (done()) {
                return true;
            }
            const auto now = std::chrono::steady_clock::now();
            if (now >= deadline) {
                return false;
            }
            device.WaitForEventCount(events + 1, std::chrono::duration_cast<std::chrono::milliseconds>(deadline - now));
        }
    }
    // Waits until `count` note-ons of the channel were heard in all.
    bool WaitForNotes(int channel, std::size_t count, std::chrono::milliseconds timeout = 20s) const
    {
        return WaitUntil([&] { return NotesHeard(channel).size() >= count; }, timeout);
    }
    bool WaitForStopAtEnd(int count = 1, std::chrono::milliseconds timeout = 20s)
    {
        std::unique_lock lock(mutex);
        return changed.wait_for(lock, timeout, [&] { return stopsAtEnd >= count; });
    }
    // The key of every note-on of the track (by id) in [from, to), in order.
    std::vector<int> SongNotes(const std::string& song, unsigned short track, unsigned int from, unsigned int to,
                               std::vector<unsigned int>* ticks = nullptr) const
    {
        std::vector<int> keys;
        for (const auto& event : Song(song).GetVoiceData().at(track)->GetEvents()) {
            if ((event.message.status & 0xF0) == 0x90 && event.message.data2 > 0 && event.tick >= from &&
                event.tick < to) {
                keys.push_back(event.message.data1);
                if (ticks != nullptr) {
                    ticks->push_back(event.tick);
                }
            }
        }
        return keys;
    }
    // The keys of the notes of the track sounding at tick (struck before it, released after it).
    std::vector<int> NotesHeldAt(const std::string& song, unsigned short track, unsigned int tick) const
    {
        std::vector<int> held;
        for (const auto& event : Song(song).GetVoiceData().at(track)->GetEvents()) {
            if (event.tick >= tick) {
                break;
            }
            const int kind = event.message.status & 0xF0;
            const int key = event.message.data1;
            std::erase(held, key);
            if (kind == 0x90 && event.message.data2 > 0) {
                held.push_back(key);
            }
        }
        return held;
    }
    // Whether, after the first `from` events, every channel of port 0 and port 1's channel 16 got all
    // notes off (CC 123).
    bool AllNotesOffSentAfter(std::size_t from) const
    {
        const auto events = device.GetEvents();
        std::vector<bool> seen(16, false);
        for (std::size_t i = from; i < events.size(); ++i) {
            if ((events[i].status & 0xF0) == 0xB0 && events[i].data1 == 123) {
                seen[events[i].status & 0x0F] = true;
            }
        }
        for (bool channel : seen) {
            if (!channel) {
                return false;
            }
        }
        return true;
    }

    brix_midi::LoadedShow loaded;
    winmm_virtual::VirtualMidiOutput device;
    std::unique_ptr<DemoPlayer> player;
    GuiRecorder gui;

private:
    std::mutex mutex;
    std::condition_variable changed;
    int stopsAtEnd = 0;
};

}  // namespace app_test
