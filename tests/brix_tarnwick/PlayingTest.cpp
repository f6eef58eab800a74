#include "EngineFixture.h"

#include "TimelineSequence.h"

#include <brix_core/CallbackDispatcher.h>
#include <brix_core/Editor.h>
#include <brix_core/NotifyNames.h>

#include <algorithm>
#include <atomic>
#include <optional>
#include <thread>

using namespace engine_test;
using notify::EngineEvent;

namespace {

// Song "2A" of the demo show: 6/8, two beats a bar, not attacca.
const std::string kSong = "2A";

unsigned int BarTick(Interface& engine, int bar)
{
    for (const TL::BarsBeats& beat : engine.GetBarsBeats(kSong)) {
        if (beat.bar_number() == std::to_string(bar) && beat.beat == 1) {
            return beat.tick;
        }
    }
    ADD_FAILURE() << "no bar " << bar;
    return 0;
}

// The index of the first event from `from` on that matches, if any.
std::optional<std::size_t> Find(const std::vector<Received>& events, EngineEvent event, const std::string& text,
                                std::size_t from = 0)
{
    for (std::size_t i = from; i < events.size(); ++i) {
        if (events[i].event == event && (text.empty() || events[i].text == text)) {
            return i;
        }
    }
    return std::nullopt;
}

std::size_t Count(const std::vector<Received>& events, EngineEvent event, const std::string& text)
{
    return static_cast<std::size_t>(std::count_if(events.begin(), events.end(), [&](const Received& received) {
        return received.event == event && received.text == text;
    }));
}

// Whether a bar-beat text of the bar is among events [from, to).
bool ShowsBar(const std::vector<Received>& events, const std::string& barText, std::size_t from = 0,
              std::size_t to = SIZE_MAX)
{
    for (std::size_t i = from; i < std::min(to, events.size()); ++i) {
        if (events[i].event == EngineEvent::BarBeat && events[i].text.starts_with(barText + "|")) {
            return true;
        }
    }
    return false;
}

TEST(EnginePlaying, TheLogsCutIsSkippedItsVampRepeatsUntilReleasedAndItsCaesuraStops)
{
    // The ticks of the song are the demo's own; read them from a first engine.
    std::vector<CL::SongLog> logs;
    {
        Engine probe;
        CL::SongLog log(kSong, "Harbour Lights (Reprise)");
        log.AddCut(CL::Cut(BarTick(*probe.engine, 2), BarTick(*probe.engine, 4), "C1", 0));
        log.AddVamp(CL::Vamp(BarTick(*probe.engine, 5), BarTick(*probe.engine, 6), "V1", 0));
        log.AddCaesura(CL::Caesura(BarTick(*probe.engine, 7), "P1", 0));
        logs.push_back(log);
    }
    Engine e(logs);
    e.engine->LoadSong(kSong);
    e.engine->SetTempoScale(2.0);
    e.events.Clear();
    e.engine->Play();

    // The vamp (bar 5 alone) comes round a second time, then the operator releases it.
    ASSERT_TRUE(e.events.WaitUntil([](const auto& events) { return Count(events, EngineEvent::BarBeat, "0005|01") >= 2; }));
    const std::size_t released = e.events.All().size();
    e.engine->FlowControlExit();
    ASSERT_TRUE(e.events.WaitFor(EngineEvent::PlaybackPaused));
    EXPECT_TRUE(e.engine->GetIsPaused());
    // The playhead goes to the caesura, where playing goes on.
    const int caesuraTick = static_cast<int>(BarTick(*e.engine, 7));
    EXPECT_TRUE(e.events.WaitUntil([&](const auto& events) {
        return !events.empty() && events.back().event != EngineEvent::Playhead &&
               std::any_of(events.begin(), events.end(), [&](const Received& r) {
                   return r.event == EngineEvent::Playhead && r.value == caesuraTick;
               });
    }));
    EXPECT_EQ(e.engine->GetTickIndex(), BarTick(*e.engine, 7));

    const auto events = e.events.All();
    EXPECT_FALSE(ShowsBar(events, "0002")) << "the cut is skipped";
    EXPECT_FALSE(ShowsBar(events, "0003"));
    const auto started = Find(events, EngineEvent::PlaybackStarted, "");
    const auto bar4 = Find(events, EngineEvent::BarBeat, "0004|01");
    const auto vampOn = Find(events, EngineEvent::VampOn, "");
    const auto vampLabel = Find(events, EngineEvent::StatusFlowControl, "Vamp");
    const auto firstBar5 = Find(events, EngineEvent::BarBeat, "0005|01");
    ASSERT_TRUE(started && bar4 && vampOn && vampLabel && firstBar5);
    EXPECT_LT(*started, *bar4);
    EXPECT_LT(*bar4, *firstBar5);
    EXPECT_LT(*vampOn, *Find(events, EngineEvent::BarBeat, "0005|01", *firstBar5 + 1)) << "vamp on before it repeats";
    const auto vampOff = Find(events, EngineEvent::VampOff, "", released);
    const auto bar6 = Find(events, EngineEvent::BarBeat, "0006|01", released);
    const auto caesura = Find(events, EngineEvent::StatusFlowControl, "Caesura", released);
    const auto paused = Find(events, EngineEvent::PlaybackPaused, "", released);
    ASSERT_TRUE(vampOff && bar6 && caesura && paused);
    EXPECT_LT(*vampOff, *bar6);
    EXPECT_LT(*bar6, *paused);
    EXPECT_FALSE(ShowsBar(events, "0007", *bar6 + 1, *paused)) << "the caesura stops before bar 7 sounds";
    EXPECT_TRUE(e.NoNoteHeld());

    // Continue plays on from the caesura.
    e.engine->Continue();
    EXPECT_TRUE(e.events.WaitFor(EngineEvent::BarBeat, "0007|02"));
    e.engine->Stop();
    EXPECT_TRUE(e.NoNoteHeld());
}

TEST(EnginePlaying, ThePositionEventsSayOnceWhatChangesAtTheListenersTick)
{
    Engine e;
    CL::Editor& editor = *e.engine->GetChangeLogEditor();
    editor.SelectSongLogForEditing("1");
    editor.AddEvent(CL::Marker(1920, "Intro", ""));
    editor.AddEvent(CL::Marker(11520, "Theme", ""));
    e.engine->LoadNewChangeLog();
    e.engine->SetTempoScale(2.0);
    e.events.Clear();
    ASSERT_TRUE(e.engine->SeekToBar("6"));
    e.engine->Play();
    ASSERT_TRUE(e.events.WaitFor(EngineEvent::BarBeat, "0007|02"));
    e.engine->Stop();

    // (event, value) of the marker and page events, in order: bar 6 is under the first marker and on
    // page 1 (shown since the song was loaded); bar 7 starts the second marker and page 2.
    std::vector<std::pair<EngineEvent, int>> positions;
    for (const Received& received : e.events.All()) {
        if (received.event == EngineEvent::Marker || received.event == EngineEvent::PageNum) {
            positions.emplace_back(received.event, received.value);
        }
    }
    const std::vector<std::pair<EngineEvent, int>> expected = {
        {EngineEvent::Marker, 0}, {EngineEvent::PageNum, 2}, {EngineEvent::Marker, 1}};
    EXPECT_EQ(positions, expected);
    EXPECT_EQ(Count(e.events.All(), EngineEvent::BarBeat, "0007|01"), 1u);
}

TEST(EnginePlaying, AnEditReloadedWhilePlayingChangesTheRoadAtOnceWithoutStuckNotes)
{
    Engine e;
    e.engine->LoadSong(kSong);
    e.engine->SetTempoScale(2.0);
    e.engine->Play();
    ASSERT_TRUE(e.events.WaitFor(EngineEvent::BarBeat, "0002|01"));

    CL::Editor& editor = *e.engine->GetChangeLogEditor();
    editor.SelectSongLogForEditing(kSong);
    editor.AddEvent(CL::Cut(BarTick(*e.engine, 4), BarTick(*e.engine, 7), "", 0));
    const std::size_t reloaded = e.events.All().size();
    const unsigned int heardAtReload = e.engine->GetTickIndex();
    e.engine->LoadNewChangeLog();
    EXPECT_TRUE(e.engine->GetIsPlaying());

    ASSERT_TRUE(e.events.WaitFor(EngineEvent::BarBeat, "0007|01"));
    const auto events = e.events.All();
    EXPECT_FALSE(ShowsBar(events, "0004", reloaded));
    EXPECT_FALSE(ShowsBar(events, "0005", reloaded));
    EXPECT_FALSE(ShowsBar(events, "0006", reloaded));
    // Playing goes on from where it was heard: no playhead before it after the reload.
    for (std::size_t i = reloaded; i < events.size(); ++i) {
        if (events[i].event == EngineEvent::Playhead) {
            EXPECT_GE(static_cast<unsigned int>(events[i].value) + 24, heardAtReload);
        }
    }
    e.engine->Stop();
    EXPECT_TRUE(e.NoNoteHeld());
}

TEST(EnginePlaying, CuesAreEnqueuedAtTheStartWhileStoppedAndExecutedInTheirBufferWhilePlaying)
{
    Engine e;
    CL::Editor& editor = *e.engine->GetChangeLogEditor();
    editor.SelectSongLogForEditing("1");
    editor.AddEvent(CL::Osc(0, "Q0", CL::OscProperties("/start", "n1")));
    editor.AddEvent(CL::Osc(960, "Q1", CL::OscProperties("/go", "n1")));
    e.engine->LoadNewChangeLog();
    e.engine->DoOscProcessing(true);
    e.engine->Seek(0);
    const auto enqueued = e.osc->Enqueued();
    ASSERT_FALSE(enqueued.empty());
    EXPECT_EQ(enqueued[0].eventId, "Q0");
    EXPECT_EQ(enqueued[0].delay, 0u);

    e.engine->SetTempoScale(2.0);
    e.engine->Play();
    ASSERT_TRUE(e.osc->WaitForExecuted(1));
    const auto executed = e.osc->Executed();
    const auto q1 = std::find_if(executed.begin(), executed.end(), [](const auto& cue) { return cue.eventId == "Q1"; });
    ASSERT_NE(q1, executed.end());
    // Within its buffer: less than one MIDI clock (20 ticks) at 240 quarter notes a minute.
    EXPECT_LE(q1->delay, 11u);
    for (const auto& cue : executed) {
        EXPECT_EQ(std::count_if(executed.begin(), executed.end(), [&](const auto& c) { return c.eventId == cue.eventId; }),
                  1)
            << cue.eventId << " sent once";
    }

    e.engine->DoOscProcessing(false);
    const std::size_t sent = e.osc->Executed().size();
    e.engine->Seek(0);
    EXPECT_EQ(e.osc->Executed().size(), sent);
}

TEST(EnginePlaying, ALearnedCommandReportedWhileTheEngineIsShutDownAndDestroyedNeverReachesIt)
{
    for (int round = 0; round < 3; ++round) {
        auto e = std::make_unique<Engine>();
        std::atomic<bool> done{false};
        std::atomic<int> failures{0};
        std::thread reporter([&] {
            while (!done.load()) {
                try {
                    notify::callbackDispatcher.Notify(notify::names::midiCommandLearned, nullptr);
                } catch (const std::exception&) {
                    ++failures;
                }
            }
        });
        // As the program releases an engine: Shutdown, then the last release.
        e->engine->Shutdown();
        e->engine.reset();
        done.store(true);
        reporter.join();
        EXPECT_EQ(failures.load(), 0);
    }
}

}  // namespace
