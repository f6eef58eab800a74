#include "EngineFixture.h"

#include "BrixMidiError.h"
#include "LearnedCommand.h"
#include "MidiEndPoint.h"
#include "TimelineSequence.h"

#include <brix_core/Editor.h>

#include <brix_player_core/Player.h>

#include <atomic>
#include <cmath>
#include <set>
#include <fstream>
#include <iterator>

using namespace engine_test;
using notify::EngineEvent;

namespace {

using Check = std::function<void(Engine&)>;

struct MemberCase {
    const char* member;
    Check check;
};

// The tick of beat `beat` of bar `bar` of a song.
unsigned int TickOf(Interface& engine, const std::string& song, const std::string& bar, unsigned int beat = 1)
{
    for (const TL::BarsBeats& barBeat : engine.GetBarsBeats(song)) {
        if (barBeat.bar_number() == bar && barBeat.beat == beat) {
            return barBeat.tick;
        }
    }
    ADD_FAILURE() << "song " << song << " has no bar " << bar << " beat " << beat;
    return 0;
}

// A fade's completion as the caller sees it: how often it ran, and a wait for the first run.
struct Completion {
    std::mutex mutex;
    std::condition_variable ran;
    int count = 0;

    std::function<void()> Callback(std::function<void()> also = {})
    {
        return [this, also] {
            if (also) {
                also();
            }
            // Notified under the lock: the waiter may destroy this object as soon as it sees the count.
            std::lock_guard lock(mutex);
            ++count;
            ran.notify_all();
        };
    }
    bool WaitForRun()
    {
        std::unique_lock lock(mutex);
        return ran.wait_for(lock, 10s, [&] { return count > 0; });
    }
};

cmn::BrixEvent AddToSong(CL::Editor& editor, const std::string& song, const cmn::BrixEvent& event)
{
    editor.SelectSongLogForEditing(song);
    return editor.AddEvent(event);
}

std::string ReadAll(std::istream& in)
{
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

const std::vector<MemberCase> kMemberCases = {
    // Transport.
    {"Play",
     [](Engine& e) {
         e.engine->Play();
         EXPECT_TRUE(e.engine->GetIsPlaying()) << "playing when Play returns";
         EXPECT_TRUE(e.events.WaitFor(EngineEvent::PlaybackStarted));
         EXPECT_TRUE(e.device.WaitForEventCount(1, 10s));
         EXPECT_TRUE(e.events.WaitFor(EngineEvent::BarBeat, "0001|02"));
     }},
    {"Stop",
     [](Engine& e) {
         e.engine->Play();
         ASSERT_TRUE(e.events.WaitFor(EngineEvent::BarBeat, "0001|02"));
         e.engine->Stop();
         EXPECT_TRUE(e.engine->IsStopped());
         EXPECT_FALSE(e.engine->GetIsPlaying());
         EXPECT_TRUE(e.events.WaitFor(EngineEvent::PlaybackStopped));
         EXPECT_TRUE(e.NoNoteHeld());
     }},
    {"Pause, GetIsPaused, Continue",
     [](Engine& e) {
         e.engine->Play();
         ASSERT_TRUE(e.events.WaitFor(EngineEvent::BarBeat, "0001|02"));
         e.engine->Pause(false);
         EXPECT_TRUE(e.engine->GetIsPaused());
         EXPECT_TRUE(e.events.WaitFor(EngineEvent::PlaybackPaused));
         EXPECT_TRUE(e.NoNoteHeld());
         const std::size_t heard = e.NoteOns().size();
         e.engine->Continue();
         EXPECT_TRUE(e.engine->GetIsPlaying());
         EXPECT_TRUE(e.device.WaitForEventCount(e.device.GetEvents().size() + 1, 10s));
         EXPECT_TRUE(e.events.WaitUntil([&](const auto&) { return e.NoteOns().size() > heard; }, 10s));
     }},
    {"NextSong and at the show's end",
     [](Engine& e) {
         e.engine->NextSong();
         EXPECT_EQ(e.engine->GetCurrentSongNumber(), "2");
         EXPECT_TRUE(e.events.WaitFor(EngineEvent::SongLoaded, "2"));
         EXPECT_TRUE(e.events.WaitFor(EngineEvent::SongTitle, "Harbour Lights"));
         e.engine->LoadSong("10");
         EXPECT_NO_THROW(e.engine->NextSong());
         EXPECT_EQ(e.engine->GetCurrentSongNumber(), "10");
     }},
    {"PrevSong and at the show's start",
     [](Engine& e) {
         e.engine->LoadSong("2");
         e.engine->PrevSong();
         EXPECT_EQ(e.engine->GetCurrentSongNumber(), "1");
         EXPECT_NO_THROW(e.engine->PrevSong());
         EXPECT_EQ(e.engine->GetCurrentSongNumber(), "1");
     }},
    {"FlowControlExit outside any region",
     [](Engine& e) {
         e.engine->Seek(1920);
         EXPECT_NO_THROW(e.engine->FlowControlExit());
         EXPECT_EQ(e.engine->GetTickIndex(), 1920u);
     }},
    {"IsStopped, GetIsPlaying, GetIsPaused at start",
     [](Engine& e) {
         EXPECT_TRUE(e.engine->IsStopped());
         EXPECT_FALSE(e.engine->GetIsPlaying());
         EXPECT_FALSE(e.engine->GetIsPaused());
         EXPECT_FALSE(e.engine->GetIsFaded());
     }},
    // Fades.
    {"Fade, GetIsFaded, CancelFade",
     [](Engine& e) {
         e.engine->Play();
         Completion done;
         e.engine->Fade(done.Callback(), 0.05f);
         EXPECT_TRUE(e.events.WaitFor(EngineEvent::PlaybackFading));
         ASSERT_TRUE(done.WaitForRun());
         EXPECT_TRUE(e.engine->GetIsFaded());
         e.engine->CancelFade();
         EXPECT_FALSE(e.engine->GetIsFaded());
         std::lock_guard lock(done.mutex);
         EXPECT_EQ(done.count, 1);
     }},
    {"Fade whose completion stops the engine",
     [](Engine& e) {
         e.engine->Play();
         Completion done;
         e.engine->Fade(done.Callback([&] { e.engine->Stop(); }), 0.02f);
         ASSERT_TRUE(done.WaitForRun());
         EXPECT_TRUE(e.engine->IsStopped());
         EXPECT_TRUE(e.NoNoteHeld());
     }},
    {"FadeTo a linear gain, playing or not",
     [](Engine& e) {
         Completion done;
         e.engine->FadeTo(done.Callback(), 0.02f, 0.5f);
         ASSERT_TRUE(done.WaitForRun());
         EXPECT_DOUBLE_EQ(e.engine->GetPlayer().GetOutputGain(0.0), 0.5);
         e.engine->CancelFade();
         EXPECT_DOUBLE_EQ(e.engine->GetPlayer().GetOutputGain(0.0), 1.0);
     }},
    // Position.
    {"Seek, GetTickIndex",
     [](Engine& e) {
         e.engine->Seek(1920);
         EXPECT_EQ(e.engine->GetTickIndex(), 1920u);
     }},
    {"Seek past the song's ends (a wrapped negative position)",
     [](Engine& e) {
         e.engine->LoadSong("2A");
         e.engine->Seek(1920);
         e.engine->Seek(e.engine->GetTickIndex() - 5000u);
         EXPECT_EQ(e.engine->GetTickIndex(), 0u);
         e.engine->Seek(e.engine->GetSongLength("2A") + 5000u);
         EXPECT_LE(e.engine->GetTickIndex(), e.engine->GetSongLength("2A"));
         EXPECT_GT(e.engine->GetTickIndex(), e.engine->GetSongLength("2A") / 2);
         EXPECT_EQ(e.engine->GetCurrentSongNumber(), "2A");
     }},
    {"SeekToBar",
     [](Engine& e) {
         EXPECT_TRUE(e.engine->SeekToBar("3"));
         EXPECT_EQ(e.engine->GetTickIndex(), TickOf(*e.engine, "1", "3"));
         for (const char* junk : {"99", "", "x", "3.5", "-1"}) {
             EXPECT_FALSE(e.engine->SeekToBar(junk)) << junk;
         }
         EXPECT_EQ(e.engine->GetTickIndex(), TickOf(*e.engine, "1", "3"));
     }},
    {"SeekToNextMeasure, SeekToPreviousMeasure",
     [](Engine& e) {
         e.engine->SeekToNextMeasure();
         EXPECT_EQ(e.engine->GetTickIndex(), TickOf(*e.engine, "1", "2"));
         e.engine->SeekToNextMeasure();
         e.engine->SeekToPreviousMeasure();
         EXPECT_EQ(e.engine->GetTickIndex(), TickOf(*e.engine, "1", "2"));
     }},
    {"SeekRight, SeekLeft over the markers and past the last",
     [](Engine& e) {
         const unsigned int bar3 = TickOf(*e.engine, "1", "3");
         AddToSong(*e.engine->GetChangeLogEditor(), "1", CL::Marker(bar3, "Verse", ""));
         e.engine->LoadNewChangeLog();
         e.engine->SeekRight();
         EXPECT_EQ(e.engine->GetTickIndex(), bar3);
         EXPECT_NO_THROW(e.engine->SeekRight());
         e.engine->Seek(bar3 + 960);
         e.engine->SeekLeft();
         EXPECT_EQ(e.engine->GetTickIndex(), bar3);
     }},
    {"LoadSongAtTime",
     [](Engine& e) {
         e.engine->LoadSongAtTime("2A", 1920);
         EXPECT_EQ(e.engine->GetCurrentSongNumber(), "2A");
         EXPECT_EQ(e.engine->GetTickIndex(), 1920u);
     }},
    {"LookupPage",
     [](Engine& e) {
         const auto [song, tick] = e.engine->LookupPage(4);
         EXPECT_EQ(song, "2");
         EXPECT_EQ(tick, TickOf(*e.engine, "2", "8"));
         EXPECT_EQ(e.engine->LookupPage(1), std::make_pair(std::string("1"), 0u));
         EXPECT_THROW(e.engine->LookupPage(99), std::out_of_range);
     }},
    // Songs.
    {"GetCurrentSongNumber, LoadSong",
     [](Engine& e) {
         EXPECT_EQ(e.engine->GetCurrentSongNumber(), "1");
         e.engine->LoadSong("2A");
         EXPECT_EQ(e.engine->GetCurrentSongNumber(), "2A");
         EXPECT_TRUE(e.events.WaitFor(EngineEvent::SongLoaded, "2A"));
         EXPECT_THROW(e.engine->LoadSong("3"), std::out_of_range);
         EXPECT_EQ(e.engine->GetCurrentSongNumber(), "2A");
     }},
    {"SongExists, GetActualSongNumber",
     [](Engine& e) {
         EXPECT_TRUE(e.engine->SongExists("2A"));
         EXPECT_FALSE(e.engine->SongExists("3"));
         EXPECT_EQ(e.engine->GetActualSongNumber("2a"), "2A");
         EXPECT_EQ(e.engine->GetActualSongNumber("02"), "2");
         EXPECT_EQ(e.engine->GetActualSongNumber(" 10 "), "10");
         EXPECT_EQ(e.engine->GetActualSongNumber("7"), "7");
     }},
    {"GetSongNamesBySongNumber",
     [](Engine& e) {
         std::vector<std::string> numbers;
         for (const auto& [number, name] : e.engine->GetSongNamesBySongNumber()) {
             numbers.push_back(number);
         }
         EXPECT_EQ(numbers, (std::vector<std::string>{"1", "2", "2A", "10"}));
         EXPECT_EQ(e.engine->GetSongNamesBySongNumber().at("10"), "Finale");
     }},
    {"GetAttacca, SetAttacca",
     [](Engine& e) {
         EXPECT_EQ(e.engine->GetAttacca("1"), 1);
         EXPECT_EQ(e.engine->GetAttacca("2"), 0);
         e.engine->SetAttacca("2", 2);
         EXPECT_EQ(e.engine->GetAttacca("2"), 2);
         e.engine->SetAttacca("1", 0);
         EXPECT_EQ(e.engine->GetAttacca("1"), 0);
         EXPECT_THROW(e.engine->SetAttacca("3", 1), std::out_of_range);
     }},
    {"GetMinStartTickIndex, GetCurrentStartTickIndex with a cut over the start",
     [](Engine& e) {
         EXPECT_EQ(e.engine->GetMinStartTickIndex(), 0u);
         EXPECT_EQ(e.engine->GetCurrentStartTickIndex(), 0u);
         AddToSong(*e.engine->GetChangeLogEditor(), "1", CL::Cut(0, 1920, "", 0));
         e.engine->LoadNewChangeLog();
         EXPECT_EQ(e.engine->GetMinStartTickIndex(), 0u);
         EXPECT_EQ(e.engine->GetCurrentStartTickIndex(), 1920u);
     }},
    {"GetSongLength, GetSongStartTickIndex, GetSongAudioStartTick, GetSongAudioEndTick",
     [](Engine& e) {
         const unsigned int last = e.engine->GetBarsBeats("10")[e.engine->GetBarsBeats("10").size() - 1].tick;
         EXPECT_GT(e.engine->GetSongLength("10"), last);
         EXPECT_EQ(e.engine->GetSongStartTickIndex("10"), 0u);
         EXPECT_EQ(e.engine->GetSongAudioStartTick("10"), 0u);
         EXPECT_EQ(e.engine->GetSongAudioEndTick("10"), e.engine->GetSongLength("10"));
         EXPECT_THROW(e.engine->GetSongLength("3"), std::out_of_range);
     }},
    // Bars.
    {"GetBarsBeats",
     [](Engine& e) {
         const auto beats = e.engine->GetBarsBeats("1");
         ASSERT_GT(beats.size(), 1u);
         EXPECT_EQ(beats[0].bar_number(), "1");
         EXPECT_EQ(beats[0].beat, 1u);
         for (std::size_t i = 1; i < beats.size(); ++i) {
             EXPECT_LT(beats[i - 1].tick, beats[i].tick);
         }
     }},
    {"GetBarBeatByTick, GetBarBeatLeftByTick, GetBarString",
     [](Engine& e) {
         const unsigned int beat2 = TickOf(*e.engine, "1", "1", 2);
         EXPECT_EQ(e.engine->GetBarBeatByTick(1).tick, beat2);
         EXPECT_EQ(e.engine->GetBarBeatByTick(beat2).tick, beat2);
         EXPECT_EQ(e.engine->GetBarBeatLeftByTick(beat2 - 1).tick, 0u);
         EXPECT_EQ(e.engine->GetBarString(beat2 + 1), "1:2");
         EXPECT_EQ(e.engine->GetBarString("2A", TickOf(*e.engine, "2A", "9")), "9:1");
         EXPECT_EQ(e.engine->GetBarBeatByTick(1u << 30).tick, e.engine->GetBarsBeats("1")[47].tick);
     }},
    {"GetAvailableShiftAfterBarBeat",
     [](Engine& e) {
         const unsigned int beat2 = TickOf(*e.engine, "1", "1", 2);
         EXPECT_EQ(e.engine->GetAvailableShiftAfterBarBeat(0, true), beat2 - 1);
         EXPECT_EQ(e.engine->GetAvailableShiftAfterBarBeat(0, false), e.engine->GetSongLength("1") - 1);
         const auto beats = e.engine->GetBarsBeats("1");
         EXPECT_EQ(e.engine->GetAvailableShiftAfterBarBeat(beats[beats.size() - 1].tick, true), 0u);
     }},
    {"GetClickValues",
     [](Engine& e) {
         EXPECT_EQ(e.engine->GetClickValues(0, 1920), (std::vector<int>{1, 2, 4, 8, 16, 32})) << "4/4";
         e.engine->LoadSong("2A");
         EXPECT_EQ(e.engine->GetClickValues(0, 1440), (std::vector<int>{1, 2, 3, 4, 6, 8, 12, 24})) << "6/8";
     }},
    {"GetTimeline, GetSongLog",
     [](Engine& e) {
         e.engine->LoadSong("2");
         EXPECT_EQ(e.engine->GetTimeline().GetLastTickIndex(), e.engine->GetSongLength("2"));
         EXPECT_EQ(e.engine->GetSongLog().GetSongNumber(), "2");
     }},
    // Change log.
    {"SaveChangelog, GetLogVersion, GetChangelogFilename",
     [](Engine& e) {
         EXPECT_EQ(e.engine->GetChangelogFilename(), "");
         EXPECT_EQ(e.engine->GetLogVersion(), "1.0");
         AddToSong(*e.engine->GetChangeLogEditor(), "2", CL::Marker(0, "Top", ""));
         const std::string name = e.engine->SaveChangelog(1, 1);
         EXPECT_EQ(name, "demo-1.1.logdata");
         EXPECT_EQ(e.engine->GetLogVersion(), "1.1");
         EXPECT_EQ(e.engine->GetChangelogFilename(), (e.show.Folder() / name).string());
         const CL::ChangeLog saved = CL::ReadLogDataFile(e.show.Folder() / name);
         EXPECT_EQ(saved.GetVersion(), cmn::BRIXVersion(1, 1));
         EXPECT_EQ(saved.GetSongLog("2").GetMarkers().GetMarkers().size(), 1u);
     }},
    {"LoadNewChangeLog, GetChangeLogEditor",
     [](Engine& e) {
         ASSERT_NE(e.engine->GetChangeLogEditor(), nullptr);
         AddToSong(*e.engine->GetChangeLogEditor(), "1", CL::Marker(1920, "Verse", ""));
         EXPECT_TRUE(e.engine->GetSongLog().GetMarkers().GetMarkers().empty()) << "played only after a reload";
         e.engine->LoadNewChangeLog();
         EXPECT_EQ(e.engine->GetSongLog().GetMarkers().GetMarkers().size(), 1u);
     }},
    {"SetChangelogFilename",
     [](Engine& e) {
         CL::ChangeLog log;
         CL::SongLog song("2", "Harbour Lights");
         song.AddMarker(CL::Marker(0, "From file", "M1"));
         log.AddSongLog(song);
         log.SetVersion(cmn::BRIXVersion(3, 0));
         const auto path = CL::WriteLogDataFile(e.show.Folder(), "other", log);
         e.engine->SetChangelogFilename(path.string());
         EXPECT_EQ(e.engine->GetChangelogFilename(), path.string());
         EXPECT_EQ(e.engine->GetLogVersion(), "3.0");
         e.engine->LoadSong("2");
         ASSERT_EQ(e.engine->GetMarkers().size(), 1u);
         EXPECT_EQ(e.engine->GetMarkers()[0]->EventId(), "M1");
         EXPECT_THROW(e.engine->SetChangelogFilename((e.show.Folder() / "missing-1.0.logdata").string()),
                      fennic::IoError);
         EXPECT_EQ(e.engine->GetLogVersion(), "3.0");
     }},
    {"LoadChangeLogEditor",
     [](Engine& e) {
         CL::ChangeLog log;
         CL::SongLog song("1", "Overture");
         song.AddMarker(CL::Marker(0, "Newest", "M9"));
         log.AddSongLog(song);
         log.SetVersion(cmn::BRIXVersion(4, 2));
         const auto path = CL::WriteLogDataFile(e.show.Folder(), "demo", log);
         const CL::Editor* before = e.engine->GetChangeLogEditor();
         e.engine->LoadChangeLogEditor();
         EXPECT_NE(e.engine->GetChangeLogEditor(), before);
         EXPECT_EQ(e.engine->GetLogVersion(), "4.2");
         EXPECT_EQ(e.engine->GetChangelogFilename(), path.string());
         EXPECT_EQ(e.engine->GetSongLog().GetMarkers().GetMarkers().size(), 1u) << "played at once";
     }},
    {"GetTempoScaleWarnings",
     [](Engine& e) {
         EXPECT_EQ(e.engine->GetTempoScaleWarnings(), "");
         // A file may hold factors the editor would refuse.
         CL::ChangeLog log;
         CL::SongLog song("2A", "Harbour Lights (Reprise)");
         song.AddTempoScale(CL::TempoScale(0, 1440, "T1", 1.5));
         song.AddTempoScale(CL::TempoScale(2880, 4320, "T2", 3.0));
         song.AddTempoScale(CL::TempoScale(4320, 5760, "T3", 0.25));
         log.AddSongLog(song);
         e.engine->SetChangelogFilename(CL::WriteLogDataFile(e.show.Folder(), "demo", log).string());
         EXPECT_EQ(e.engine->GetTempoScaleWarnings(),
                   "Song 2A, bar 3: the tempo scale 3.00 plays as 2.00.\n"
                   "Song 2A, bar 4: the tempo scale 0.25 plays as 0.50.\n");
     }},
    {"GetChangeLogPanelEvents, GetMarkers",
     [](Engine& e) {
         AddToSong(*e.engine->GetChangeLogEditor(), "1", CL::Marker(0, "Top", ""));
         const auto cut = AddToSong(*e.engine->GetChangeLogEditor(), "1", CL::Cut(1920, 3840, "", 0));
         const auto panel = e.engine->GetChangeLogPanelEvents();
         ASSERT_EQ(panel.size(), 1u);
         EXPECT_EQ(panel[0]->EventId(), cut.EventId());
         EXPECT_EQ(e.engine->GetMarkers().size(), 1u);
     }},
    {"GetChangeLogPanelEventsForAllSongs, GetMarkersForAllSongs",
     [](Engine& e) {
         AddToSong(*e.engine->GetChangeLogEditor(), "10", CL::Cut(0, 1920, "", 0));
         AddToSong(*e.engine->GetChangeLogEditor(), "2", CL::Marker(0, "Top", ""));
         const auto events = e.engine->GetChangeLogPanelEventsForAllSongs();
         std::vector<std::string> order;
         for (const auto& [song, list] : events) {
             order.push_back(song);
         }
         EXPECT_EQ(order, (std::vector<std::string>{"1", "10", "2", "2A"})) << "byte-wise";
         EXPECT_EQ(events.at("10").size(), 1u);
         EXPECT_EQ(events.at("2").size(), 0u);
         EXPECT_EQ(e.engine->GetMarkersForAllSongs().at("2").size(), 1u);
     }},
    // Mixing and audio.
    {"SetTempoScale, UpdateOnce",
     [](Engine& e) {
         ASSERT_TRUE(e.events.WaitFor(EngineEvent::TempoScale, "100%\n"));
         e.engine->SetTempoScale(1.5);
         e.engine->UpdateOnce();
         EXPECT_TRUE(e.events.WaitFor(EngineEvent::TempoScale, "150%\n"));
         EXPECT_TRUE(e.events.WaitFor(EngineEvent::Tempo, "180.00"));
     }},
    {"SetTransposition, UpdateOnce",
     [](Engine& e) {
         e.engine->SetTransposition(2);
         e.engine->UpdateOnce();
         EXPECT_TRUE(e.events.WaitUntil([](const auto& events) {
             return std::any_of(events.begin(), events.end(), [](const Received& r) {
                 return r.event == EngineEvent::Transposition && r.value == 2;
             });
         }));
         EXPECT_TRUE(e.events.WaitFor(EngineEvent::Key, "D major"));
     }},
    {"SetVolume, GetVolume (master and user, linear gains)",
     [](Engine& e) {
         e.engine->SetVolume(0.5);
         EXPECT_DOUBLE_EQ(e.engine->GetVolume(), 0.5);
         EXPECT_TRUE(e.events.WaitUntil([](const auto& events) {
             return !events.empty() && events.back().event == EngineEvent::StatusVolume && events.back().value == 500;
         }));
         e.engine->SetVolume(0.4, brix_audio::VolumeType::User);
         EXPECT_DOUBLE_EQ(e.engine->GetVolume(brix_audio::VolumeType::User), 0.4);
         EXPECT_EQ(e.events.All().back().value, 200);
         e.engine->SetVolume(3.0, brix_audio::VolumeType::User);
         EXPECT_DOUBLE_EQ(e.engine->GetVolume(brix_audio::VolumeType::User), 1.0);
         EXPECT_THROW(e.engine->SetVolume(std::nan("")), std::invalid_argument);
         EXPECT_DOUBLE_EQ(e.engine->GetVolume(), 0.5);
     }},
    {"SetOutputDeviceUid, GetOutputDeviceUid",
     [](Engine& e) {
         e.engine->SetOutputDeviceUid("hw:1,0");
         EXPECT_EQ(e.engine->GetOutputDeviceUid(), "hw:1,0");
     }},
    {"GetOutputPathMap, onAddOutputhPath, onRemoveOutputhPath",
     [](Engine& e) {
         EXPECT_TRUE(e.engine->GetOutputPathMap().empty());
         e.engine->onAddOutputhPath(CL::OutputPath("p1", "Band", "dev", "Device"));
         e.engine->onAddOutputhPath(CL::OutputPath("p2", "Click", "", ""));
         e.engine->onAddOutputhPath(CL::OutputPath("p1", "Band renamed", "dev", "Device"));
         e.engine->onRemoveOutputhPath(CL::OutputPath("p2", "", "", ""));
         const auto paths = e.engine->GetOutputPathMap();
         ASSERT_EQ(paths.size(), 1u);
         EXPECT_EQ(paths.at("p1").GetName(), "Band renamed");
         const auto saved = CL::ReadLogDataFile(e.show.Folder() / e.engine->SaveChangelog(1, 1));
         ASSERT_EQ(saved.GetOutputPaths().size(), 1u);
         EXPECT_EQ(saved.GetOutputPaths().at("p1").GetName(), "Band renamed");
     }},
    // MIDI remote control.
    {"GetMidiSources, HasMidiSource, SetMidiSource, GetConnectedSourceIndex",
     [](Engine& e) {
         winmm_virtual::VirtualMidiInput input(u"engine test input");
         const auto sources = e.engine->GetMidiSources();
         const auto row = std::find_if(sources.begin(), sources.end(), [](const MidiEndPoint& source) {
             return source.GetSourceName() == "engine test input";
         });
         ASSERT_NE(row, sources.end());
         EXPECT_FALSE(e.engine->HasMidiSource());
         e.engine->SetMidiSource(static_cast<int>(row - sources.begin()));
         EXPECT_TRUE(e.engine->HasMidiSource());
         EXPECT_EQ(e.engine->GetConnectedSourceIndex(), row - sources.begin());
         EXPECT_THROW(e.engine->SetMidiSource(static_cast<int>(sources.size())), MidiPortError);
         EXPECT_THROW(e.engine->SetMidiSource(-2), std::out_of_range);
     }},
    {"LearnMidiCommand, IsMidiCommandLearning, GetLearnedCommands, GetHasConductBeat",
     [](Engine& e) {
         winmm_virtual::VirtualMidiInput input(u"engine test input");
         const auto sources = e.engine->GetMidiSources();
         for (std::size_t row = 0; row < sources.size(); ++row) {
             if (sources[row].GetSourceName() == "engine test input") {
                 e.engine->SetMidiSource(static_cast<int>(row));
             }
         }
         ASSERT_TRUE(e.engine->HasMidiSource());
         EXPECT_FALSE(e.engine->GetHasConductBeat());
         e.engine->LearnMidiCommand(0);
         EXPECT_TRUE(e.engine->IsMidiCommandLearning(0));
         input.Inject(0x93, 40, 100);
         const int packed = (0 << 16) | (0x93 << 8) | 40;
         EXPECT_TRUE(e.events.WaitUntil([&](const auto& events) {
             return std::any_of(events.begin(), events.end(), [&](const Received& r) {
                 return r.event == EngineEvent::LearnedMIDICommand && r.value == packed;
             });
         }));
         EXPECT_FALSE(e.engine->IsMidiCommandLearning(0));
         EXPECT_EQ(e.engine->GetLearnedCommands().at(0), (midi_commands::LearnedCommand{0, 0x90, 3, 40}));
         EXPECT_TRUE(e.engine->GetHasConductBeat());
         EXPECT_TRUE(e.engine->GetPlayer().GetName().size() > 0);
     }},
    {"SetMidiCommand, GetCommandNames, GetAllowedCommandStatuses",
     [](Engine& e) {
         e.engine->SetMidiCommand(2, 0xB0, 1, 64);
         EXPECT_EQ(e.engine->GetLearnedCommands().at(2), (midi_commands::LearnedCommand{2, 0xB0, 1, 64}));
         EXPECT_TRUE(e.events.WaitUntil([](const auto& events) {
             return std::any_of(events.begin(), events.end(), [](const Received& r) {
                 return r.event == EngineEvent::LearnedMIDICommand && r.value == ((2 << 16) | (0xB1 << 8) | 64);
             });
         }));
         // The same message for another command takes it away from the first.
         e.engine->SetMidiCommand(3, 0xB0, 1, 64);
         EXPECT_TRUE(e.events.WaitUntil([](const auto& events) {
             return std::any_of(events.begin(), events.end(), [](const Received& r) {
                 return r.event == EngineEvent::MIDICommandCanceled && r.value == 2;
             });
         }));
         const auto names = e.engine->GetCommandNames();
         EXPECT_EQ(names.at(0), "Conduct Beat");
         EXPECT_EQ(names.at(2), "Play");
         EXPECT_EQ(e.engine->GetAllowedCommandStatuses(), (std::vector<int>{0x90, 0xB0, 0xC0}));
     }},
    // OSC.
    {"SetOscControlDefaultPort, DoOscProcessing",
     [](Engine& e) {
         e.engine->SetOscControlDefaultPort(53000);
         EXPECT_EQ(e.osc->defaultPort, 53000);
         AddToSong(*e.engine->GetChangeLogEditor(), "1", CL::Osc(960, "Q1", CL::OscProperties("/go", "n1")));
         e.engine->LoadNewChangeLog();
         e.engine->DoOscProcessing(true);
         e.engine->SetTempoScale(2.0);
         e.engine->Play();
         EXPECT_TRUE(e.osc->WaitForExecuted(1));
     }},
    {"GetNetworks, GetNetwork",
     [](Engine& e) {
         const CL::NetworkPath lights("Lights", "n1", "127.0.0.1", 53000, false);
         e.engine->GetChangeLogEditor()->UpdateNetworks({lights});
         EXPECT_EQ(e.engine->GetNetworks(), CL::NetworkPathVectorT{lights});
         e.engine->LoadNewChangeLog();
         EXPECT_EQ(e.engine->GetNetwork("n1"), lights);
         EXPECT_EQ(e.engine->GetNetwork("gone"), CL::NetworkPath());
     }},
    // Life and score.
    {"Shutdown",
     [](Engine& e) {
         e.engine->Play();
         ASSERT_TRUE(e.events.WaitFor(EngineEvent::BarBeat, "0001|02"));
         e.engine->Shutdown();
         EXPECT_TRUE(e.engine->IsStopped());
         EXPECT_NO_THROW(e.engine->Shutdown());
         EXPECT_EQ(e.osc.use_count(), 1) << "the engine lets go of its OSC callback";
         const std::size_t after = e.device.GetEvents().size();
         EXPECT_FALSE(e.device.WaitForEventCount(after + 1, 200ms));
     }},
    {"GetScoreTar",
     [](Engine& e) {
         std::ifstream file(e.show.Folder() / "score.tar", std::ios::binary);
         const std::string expected = file.is_open() ? ReadAll(file) : std::string();
         EXPECT_EQ(ReadAll(e.engine->GetScoreTar()), expected);
     }},
};

class EveryInterfaceMember : public ::testing::TestWithParam<MemberCase> {};

TEST_P(EveryInterfaceMember, WorksOnTheDemoShow)
{
    Engine e;
    GetParam().check(e);
}

INSTANTIATE_TEST_SUITE_P(Engine, EveryInterfaceMember, ::testing::ValuesIn(kMemberCases),
                         [](const ::testing::TestParamInfo<MemberCase>& info) {
                             std::string name;
                             for (const char c : std::string(info.param.member)) {
                                 name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
                             }
                             return name;
                         });

}  // namespace

namespace {

// The mixer of the current song, reached as the mixer window reaches it: through TarnwickInterface.
struct MixerCase {
    const char* operation;
    std::function<void(TarnwickInterface&, std::uint16_t track)> set;
    std::function<bool(TarnwickInterface&, std::uint16_t track)> changed;
};

const std::vector<MixerCase> kMixerCases = {
    {"volume", [](TarnwickInterface& m, std::uint16_t t) { m.SetTrackVolume(t, 33); },
     [](TarnwickInterface& m, std::uint16_t t) { return m.GetTrackVolume(t) == 33; }},
    {"pan", [](TarnwickInterface& m, std::uint16_t t) { m.SetTrackPan(t, 10); },
     [](TarnwickInterface& m, std::uint16_t t) { return m.GetTrackPan(t) == 10; }},
    {"program", [](TarnwickInterface& m, std::uint16_t t) { m.SetTrackProgramId(t, 42); },
     [](TarnwickInterface& m, std::uint16_t t) { return m.GetTrackProgramId(t) == 42; }},
    {"mute", [](TarnwickInterface& m, std::uint16_t t) { m.SetTrackIsMuted(t, true); },
     [](TarnwickInterface& m, std::uint16_t t) { return m.GetTrackIsMuted(t); }},
    {"solo", [](TarnwickInterface& m, std::uint16_t t) { m.SetTrackIsSoloed(t, true); },
     [](TarnwickInterface& m, std::uint16_t t) { return m.GetTrackIsSoloed(t); }},
};

TEST(EngineMixer, KeepsEverySettingOfTheCurrentSongUntilReset)
{
    Engine e;
    TarnwickInterface& mixer = *e.engine;
    const auto tracks = mixer.GetTrackNamesByTrackId();
    ASSERT_FALSE(tracks.empty());
    const std::uint16_t track = tracks.begin()->first;
    for (const MixerCase& c : kMixerCases) {
        SCOPED_TRACE(c.operation);
        ASSERT_FALSE(c.changed(mixer, track));
        c.set(mixer, track);
        EXPECT_TRUE(c.changed(mixer, track));
        mixer.ResetMixerToDefaultSettings();
        EXPECT_FALSE(c.changed(mixer, track));
    }
    EXPECT_THROW(mixer.GetTrackVolume(0x7FFF), std::out_of_range);
}

TEST(EngineMixer, AVocalTrackMutedByAnotherSoloFallsSilent)
{
    Engine e;
    TarnwickInterface& mixer = *e.engine;
    for (const auto& [song, name] : mixer.GetSongNamesBySongNumber()) {
        mixer.LoadSong(song);
        if (mixer.GetTrackNamesByTrackId().contains(16)) {
            break;
        }
    }
    ASSERT_TRUE(mixer.GetTrackNamesByTrackId().contains(16));
    EXPECT_TRUE(mixer.GetTrackIsVocalTrack(16));
    EXPECT_FALSE(mixer.GetTrackIsVocalTrack(0));
    mixer.SetTrackIsMutedByOtherSolo(0, true);
    mixer.SetTrackIsSoloed(1, true);
    mixer.SetTempoScale(2.0);
    mixer.Play();
    ASSERT_TRUE(e.events.WaitFor(EngineEvent::BarBeat, "0002|01"));
    mixer.Stop();
    for (const auto& note : e.NoteOns()) {
        EXPECT_NE(note.status & 0x0F, 0) << "track 0 (port 0, channel 1) is silent";
    }
    EXPECT_FALSE(e.NoteOns().empty());
}

TEST(EngineLife, AChangeLogOfANewerFormatFailsTheConstructionWithItsOwnError)
{
    ShowCopy show;
    winmm_virtual::VirtualMidiOutput device(u"engine test output");
    std::string bytes(CL::kLogDataMagic);
    const std::uint32_t format = CL::kLogDataFormat + 1;
    bytes.append(reinterpret_cast<const char*>(&format), sizeof format);
    std::ofstream(show.Folder() / "demo-9.0.logdata", std::ios::binary) << bytes;
    EXPECT_THROW(brix::Tarnwick2Interface(show.Folder().string(), show.DataFolder().string(), nullptr),
                 CL::ChangeLogVersionError);
    // The show still opens once the file is gone.
    std::filesystem::remove(show.Folder() / "demo-9.0.logdata");
    brix::Tarnwick2Interface engine(show.Folder().string(), show.DataFolder().string(), nullptr);
    EXPECT_EQ(engine.GetCurrentSongNumber(), "1");
}

TEST(EngineChangeLog, TheDemoShowStartsWithItsOwnChangeLogVersion)
{
    ShowCopy show;
    std::filesystem::copy(std::filesystem::path(BRIX_DEMO_SHOW_DIR) / "lanterns_on_the_quay-1.0.logdata", show.Folder());
    winmm_virtual::VirtualMidiOutput device(u"engine test output");
    brix::Tarnwick2Interface engine(show.Folder().string(), show.DataFolder().string(), nullptr);

    EXPECT_EQ(engine.GetLogVersion(), "1.0");
    std::set<std::string> ids;
    for (const auto& [song, events] : engine.GetChangeLogPanelEventsForAllSongs()) {
        for (const auto& event : events) {
            if (event) {
                ids.insert(song + ":" + event->EventId());
            }
        }
    }
    for (const char* id : {"1:@1", "1:B1", "1:N1", "2:A1", "2:C1", "2:F1", "2:L1", "2:S1"}) {
        EXPECT_TRUE(ids.contains(id)) << id;
    }
    const auto networks = engine.GetNetworks();
    ASSERT_EQ(networks.size(), 1u);
    EXPECT_EQ(networks.front().NetworkId(), "lights");
    engine.Shutdown();
}

}  // namespace
