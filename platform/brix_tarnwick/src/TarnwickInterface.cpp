#include <brix_tarnwick/TarnwickInterface.h>

#include "EngineEventReporter.h"
#include "TarnwickPlayer.h"

#include "BrixMidiError.h"
#include "HowToPlay.h"
#include "LearnedCommand.h"
#include "MidiCommandTables.h"
#include "MidiCommands.h"
#include "MidiEndPoint.h"
#include "MidiMessageDispatcher.h"
#include "MidiOutput.h"
#include "TarnwickMixer.h"
#include "TimelineSequence.h"

#include <brix_core/BrixLog.h>
#include <brix_core/CallbackDispatcher.h>
#include <brix_core/Directories.h>
#include <brix_core/LogDataFile.h>
#include <brix_core/NotifyNames.h>

#include <fennic/Path.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <functional>
#include <iomanip>
#include <sstream>
#include <stdexcept>

namespace {

constexpr unsigned char kOutputPortCount = 2;

std::string Trimmed(const std::string& text)
{
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

// A song number as users may type it: letters in upper case, leading zeros gone.
std::string NormalSongNumber(const std::string& text)
{
    std::string normal = Trimmed(text);
    std::transform(normal.begin(), normal.end(), normal.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    const auto digits = normal.find_first_not_of('0');
    normal.erase(0, digits == std::string::npos ? (normal.empty() ? 0 : normal.size() - 1) : digits);
    return normal;
}

using Beats = std::vector<TL::BarsBeats>;

const Beats& BeatsOf(const brix_midi::SongData& song)
{
    return song.GetTimeline().GetBarsBeats();
}

// The beat at or before tick; the first beat before it; a default one without beats.
TL::BarsBeats BeatAtOrBefore(const Beats& beats, unsigned int tick)
{
    if (beats.empty()) {
        return {};
    }
    const auto after = std::upper_bound(beats.begin(), beats.end(), tick,
                                        [](unsigned int t, const TL::BarsBeats& beat) { return t < beat.tick; });
    return after == beats.begin() ? beats.front() : *(after - 1);
}

// The beat at or after tick; the last beat past it; a default one without beats.
TL::BarsBeats BeatAtOrAfter(const Beats& beats, unsigned int tick)
{
    if (beats.empty()) {
        return {};
    }
    const auto found = std::lower_bound(beats.begin(), beats.end(), tick,
                                        [](const TL::BarsBeats& beat, unsigned int t) { return beat.tick < t; });
    return found == beats.end() ? beats.back() : *found;
}

TL::BarsBeats BeatLeftOf(const brix_midi::SongData& song, unsigned int tick)
{
    return BeatAtOrBefore(BeatsOf(song), tick);
}

// The meters in force somewhere in [startTick, endTick) (the first meter at least).
std::vector<TL::Meter> MetersInForce(const brix_midi::SongData& song, unsigned int startTick, unsigned int endTick)
{
    std::vector<TL::Meter> inForce;
    const auto& meters = song.GetTimeline().GetMeters();
    for (std::size_t i = 0; i < meters.size(); ++i) {
        const bool endsBefore = i + 1 < meters.size() && meters[i + 1].tick <= startTick;
        if (!endsBefore && (meters[i].tick < endTick || i == 0) && meters[i].denominator > 0) {
            inForce.push_back(meters[i]);
        }
    }
    return inForce;
}

// A bar of the meter in notated 32nd notes.
int BarIn32nds(const TL::Meter& meter)
{
    return meter.numerator * 32 / meter.denominator;
}

// The click values (notated 32nds per click) that divide the bar of every meter in force in
// [startTick, endTick), ascending.
std::vector<int> ClickValuesOf(const brix_midi::SongData& song, unsigned int startTick, unsigned int endTick)
{
    static constexpr int kNoteValues[] = {1, 2, 3, 4, 6, 7, 8, 12, 14, 16, 24, 28, 30, 31, 32};
    const std::vector<TL::Meter> meters = MetersInForce(song, startTick, endTick);
    std::vector<int> values;
    for (const int value : kNoteValues) {
        if (std::all_of(meters.begin(), meters.end(), [&](const TL::Meter& meter) { return BarIn32nds(meter) % value == 0; })) {
            values.push_back(value);
        }
    }
    return values;
}

const CL::SongLog* SongLogOf(const CL::ChangeLog& changeLog, const std::string& songNumber)
{
    return changeLog.HasSongLog(songNumber) ? &changeLog.GetSongLog(songNumber) : nullptr;
}

// The song's beats with, inside each click edit of the log, a beat at every click (see
// Interface::GetBarsBeats(songNumber, true)).
Beats ClickGridBeats(const brix_midi::SongData& song, const CL::SongLog* log)
{
    const Beats& notated = BeatsOf(song);
    struct Grid {
        unsigned int start;
        unsigned int end;
        unsigned int step;
    };
    std::vector<Grid> grids;
    if (log != nullptr) {
        for (const CL::Click& click : log->GetClicks()) {
            const int step = click.int_value() * static_cast<int>(song.GetResolution()) / 8;
            if (step > 0 && click.end() > click.start()) {
                grids.push_back({click.start(), click.end(), static_cast<unsigned int>(step)});
            }
        }
    }
    if (grids.empty()) {
        return notated;
    }
    const auto onGrid = [&](unsigned int tick) {
        return std::any_of(grids.begin(), grids.end(), [&](const Grid& g) { return g.start <= tick && tick < g.end; });
    };
    Beats beats;
    for (std::size_t first = 0; first < notated.size();) {
        std::size_t next = first + 1;
        while (next < notated.size() && notated[next].beat != 1 && notated[next].bar == notated[first].bar) {
            ++next;
        }
        const unsigned int barStart = notated[first].tick;
        const unsigned int barEnd = next < notated.size()
                                        ? notated[next].tick
                                        : std::max(song.GetTimeline().GetLastTickIndex(), notated.back().tick + 1);
        std::vector<unsigned int> ticks;
        for (std::size_t i = first; i < next; ++i) {
            if (!onGrid(notated[i].tick)) {
                ticks.push_back(notated[i].tick);
            }
        }
        for (const Grid& grid : grids) {
            for (unsigned int tick = std::max(barStart, grid.start); tick < std::min(barEnd, grid.end); tick += grid.step) {
                ticks.push_back(tick);
            }
        }
        std::sort(ticks.begin(), ticks.end());
        ticks.erase(std::unique(ticks.begin(), ticks.end()), ticks.end());
        for (std::size_t i = 0; i < ticks.size(); ++i) {
            TL::BarsBeats beat = notated[first];
            beat.tick = ticks[i];
            beat.beat = notated[first].beat + static_cast<std::uint32_t>(i);
            beats.push_back(beat);
        }
        first = next;
    }
    return beats;
}

// Turns round the vamps and repeats of the log whose end lies before their start, and gives every
// click edit whose click the meters in force cannot hold the largest value that fits.
TarnwickInterface::ChangeLogRepairs RepairChangeLog(CL::ChangeLog& changeLog, const brix_midi::ShowData& show)
{
    TarnwickInterface::ChangeLogRepairs repairs;
    std::ostringstream clickLog;
    std::ostringstream inverted;
    std::vector<std::string> songNumbers;
    for (const CL::SongLog& songLog : changeLog.GetSongLogs()) {
        songNumbers.push_back(songLog.GetSongNumber());
    }
    for (const std::string& number : songNumbers) {
        CL::SongLog& songLog = changeLog.GetSongLog(number);
        const auto found = show.GetSongs().find(number);
        const brix_midi::SongData* song = found == show.GetSongs().end() ? nullptr : &*found->second;
        const auto position = [&](unsigned int tick) {
            return song != nullptr ? TL::as_string(BeatLeftOf(*song, tick)) : "tick " + std::to_string(tick);
        };
        std::vector<cmn::BrixEvent> loops;
        for (const CL::Vamp& vamp : songLog.GetVamps()) {
            loops.push_back(vamp);
        }
        for (const CL::Repeat& repeat : songLog.GetRepeats()) {
            loops.push_back(repeat);
        }
        for (cmn::BrixEvent loop : loops) {
            if (loop.end() >= loop.start()) {
                continue;
            }
            songLog.RemoveEvent(loop.EventId());
            const unsigned int start = loop.end();
            const unsigned int end = loop.start();
            loop.SetStart(start);
            loop.SetEnd(end);
            songLog.AddEvent(loop);
            ++repairs.invertedLoopEventCount;
            inverted << "Song " << number << ": " << codes::EditName(loop.code()) << " " << loop.EventId()
                     << " ended at " << position(start) << ", before its start at " << position(end)
                     << "; it now runs from " << position(start) << " to " << position(end) << ".\n";
        }
        if (song == nullptr) {
            continue;
        }
        const std::vector<CL::Click> clicks = songLog.GetClicks();
        for (CL::Click click : clicks) {
            const std::vector<int> offered = ClickValuesOf(*song, click.start(), click.end());
            const int value = click.int_value();
            if (offered.empty() || std::find(offered.begin(), offered.end(), value) != offered.end()) {
                continue;
            }
            int fitting = offered.front();
            for (const int candidate : offered) {
                if (candidate <= value) {
                    fitting = candidate;
                }
            }
            std::string meterText;
            for (const TL::Meter& meter : MetersInForce(*song, click.start(), click.end())) {
                if (value <= 0 || BarIn32nds(meter) % value != 0) {
                    meterText = TL::as_string(meter);
                    break;
                }
            }
            songLog.RemoveEvent(click.EventId());
            click.SetIntValue(fitting);
            songLog.AddEvent(click);
            clickLog << "Song " << number << ": the click " << click.EventId() << " from " << position(click.start())
                     << " to " << position(click.end()) << " sounded every " << value
                     << " notated 32nds, which the meter " << meterText << " cannot hold; it now sounds every "
                     << fitting << ".\n";
        }
    }
    repairs.modifiedClickEditLog = clickLog.str();
    repairs.invertedLoopEventDescription = inverted.str();
    return repairs;
}

Interface::EventList Copies(const std::vector<cmn::BrixEvent>& events)
{
    Interface::EventList copies;
    for (const cmn::BrixEvent& event : events) {
        copies.push_back(std::make_unique<cmn::BrixEvent>(CL::CopyBrixEvent(event)));
    }
    return copies;
}

std::vector<cmn::BrixEvent> PanelEventsOf(const CL::SongLog& log)
{
    std::vector<cmn::BrixEvent> events = log.GetAllEvents();
    std::erase_if(events, [](const cmn::BrixEvent& event) { return event.code() == CL::Marker::evt_code; });
    return events;
}

std::vector<cmn::BrixEvent> MarkersOf(const CL::SongLog& log)
{
    const auto& markers = log.GetMarkers().GetMarkers();
    return {markers.begin(), markers.end()};
}

}  // namespace

TarnwickInterface::TarnwickInterface(const std::string& showDirectory, const std::string& dataFolder)
    : MidiInterface(showDirectory, dataFolder), loaded_(brix_midi::LoadShowFolder(showDirectory))
{
    LoadChangeLogEditor();
    directories.SetShowDirectory(showDirectory);
    player_ = std::make_unique<brix_tarnwick::TarnwickPlayer>(loaded_.show, kOutputPortCount);
    player_->GetMidiOutput().CreateSynthOutput("");
    mixer_ = std::make_unique<TarnwickMixer>(player_->GetActiveSongNumber(), loaded_.show, *player_, showDirectory);
    dispatcher_ = std::make_unique<MidiMessageDispatcher>();
    commands_ = std::make_unique<midi_commands::MidiCommands>(
        *dispatcher_, fennic::path::Join(dataFolder, kMidiCommandSettingsFileName));
    reporter_ = std::make_unique<brix_tarnwick::EngineEventReporter>(loaded_.show, player_->GetUserControls());
    RegisterCallbacks_();
    if (!loaded_.show.GetSongs().empty()) {
        player_->LoadSong(loaded_.show.GetSongs().begin()->first);
    }
}

TarnwickInterface::~TarnwickInterface()
{
    RemoveCallbacks();
    reporter_.reset();
    commands_.reset();
    dispatcher_.reset();
    mixer_.reset();
    player_.reset();
}

void TarnwickInterface::RegisterCallbacks_()
{
    namespace names = notify::names;
    // The learned MIDI commands of GetCommandNames(); they fire on the MIDI input's thread.
    const std::pair<const char*, std::function<void()>> commands[] = {
        {names::midiCommandConductBeat, [this] { GetMidiPlayer().ConductBeat(); }},
        {names::midiCommandContinuousMode, [this] { GetMidiPlayer().ContinuousMode(); }},
        {names::midiCommandPlay, [this] { Play(); }},
        {names::midiCommandPause, [this] { Pause(false); }},
        {names::midiCommandStop, [this] { Stop(); }},
        {names::midiCommandNextSong, [this] { NextSong(); }},
        {names::midiCommandPreviousSong, [this] { PrevSong(); }},
        {names::midiCommandNextMarker, [this] { SeekRight(); }},
        {names::midiCommandPreviousMarker, [this] { SeekLeft(); }},
        {names::midiCommandContinue, [this] { Continue(); }},
    };
    for (const auto& [name, command] : commands) {
        notify::callbackDispatcher.AddCallback(this, name, [name = std::string(name), command = command](void*) {
            try {
                command();
            } catch (const std::exception& e) {
                BrixLogException("MIDI command " + name + ": " + e.what(), __FILE__, __LINE__);
            }
        });
    }
    // After the mixer (registered before) has sent the loaded song's mix.
    notify::callbackDispatcher.AddCallback(this, names::songLoaded, [this](void*) { ApplyClickVolume_(); });
}

void TarnwickInterface::SetClickVolume(std::uint8_t volume)
{
    {
        std::lock_guard lock(clickMutex_);
        clickVolume_ = volume;
    }
    ApplyClickVolume_();
}

void TarnwickInterface::ApplyClickVolume_()
{
    std::optional<std::uint8_t> volume;
    {
        std::lock_guard lock(clickMutex_);
        volume = clickVolume_;
    }
    if (!volume) {
        return;
    }
    for (const auto& [trackId, name] : mixer_->GetTrackNamesByTrackId()) {
        if (name == kClickTrackName) {
            mixer_->SetTrackVolume(trackId, *volume);
        }
    }
}

void TarnwickInterface::ActivateEditorLog_()
{
    auto played = std::make_shared<const CL::ChangeLog>(editor_->GetChangeLog());
    {
        std::lock_guard lock(playedMutex_);
        played_ = played;
    }
    ActiveChangeLogShared::Set(std::move(played));
}

const brix_midi::SongData* TarnwickInterface::FindSong_(const std::string& songNumber) const
{
    const auto& songs = loaded_.show.GetSongs();
    const auto found = songs.find(songNumber);
    return found == songs.end() ? nullptr : &*found->second;
}

const brix_midi::SongData& TarnwickInterface::Song_(const std::string& songNumber) const
{
    return loaded_.show.GetSong(songNumber);
}

bool TarnwickInterface::SeekToBar(const std::string& bar)
{
    const brix_midi::SongData* song = FindSong_(GetCurrentSongNumber());
    const std::string wanted = NormalSongNumber(bar);
    if (song == nullptr || wanted.empty()) {
        return false;
    }
    for (const TL::BarsBeats& beat : BeatsOf(*song)) {
        if (beat.beat == 1 && NormalSongNumber(beat.bar_number()) == wanted) {
            Seek(beat.tick);
            return true;
        }
    }
    return false;
}

std::pair<std::string, unsigned int> TarnwickInterface::LookupPage(int page)
{
    for (const auto& [number, song] : loaded_.show.GetSongs()) {
        for (const TL::PageNum& pageNum : song->GetTimeline().GetPageNums()) {
            if (pageNum.page == page) {
                return {number, pageNum.tick};
            }
        }
    }
    throw std::out_of_range("No song of the show has page " + std::to_string(page) + ".");
}

bool TarnwickInterface::SongExists(const std::string& songNumber)
{
    return FindSong_(songNumber) != nullptr;
}

std::string TarnwickInterface::GetActualSongNumber(const std::string& songNumber)
{
    if (SongExists(songNumber)) {
        return songNumber;
    }
    const std::string wanted = NormalSongNumber(songNumber);
    for (const auto& [number, song] : loaded_.show.GetSongs()) {
        if (NormalSongNumber(number) == wanted) {
            return number;
        }
    }
    return songNumber;
}

Interface::SongNames TarnwickInterface::GetSongNamesBySongNumber()
{
    SongNames names;
    for (const auto& [number, song] : loaded_.show.GetSongs()) {
        names.emplace(number, song->GetSongName());
    }
    return names;
}

std::uint8_t TarnwickInterface::GetAttacca(const std::string& songNumber)
{
    const auto set = attacca_.find(songNumber);
    if (set != attacca_.end()) {
        return set->second;
    }
    const brix_midi::SongData* song = FindSong_(songNumber);
    return song != nullptr && song->GetAttacca() ? 1 : 0;
}

void TarnwickInterface::SetAttacca(const std::string& songNumber, std::uint8_t state)
{
    Song_(songNumber);
    attacca_[songNumber] = state;
    GetPlayer().SetAttaccaState(songNumber, state);
}

unsigned int TarnwickInterface::GetCurrentStartTickIndex()
{
    return GetPlayer().GetShowControl().GetStartTickIndex();
}

unsigned int TarnwickInterface::GetSongLength(const std::string& songNumber)
{
    return Song_(songNumber).GetTimeline().GetLastTickIndex();
}

unsigned int TarnwickInterface::GetSongStartTickIndex(const std::string& songNumber)
{
    return Song_(songNumber).GetSongStartTickIndex();
}

unsigned int TarnwickInterface::GetSongAudioStartTick(const std::string& songNumber)
{
    return GetSongStartTickIndex(songNumber);
}

unsigned int TarnwickInterface::GetSongAudioEndTick(const std::string& songNumber)
{
    return GetSongLength(songNumber);
}

TL::TimelineSequence<TL::BarsBeats> TarnwickInterface::GetBarsBeats(const std::string& songNumber)
{
    return TL::TimelineSequence<TL::BarsBeats>(BeatsOf(Song_(songNumber)));
}

TL::TimelineSequence<TL::BarsBeats> TarnwickInterface::GetBarsBeats(const std::string& songNumber, bool onClickGrid)
{
    if (!onClickGrid) {
        return GetBarsBeats(songNumber);
    }
    return TL::TimelineSequence<TL::BarsBeats>(
        ClickGridBeats(Song_(songNumber), SongLogOf(editor_->GetChangeLog(), songNumber)));
}

TL::BarsBeats TarnwickInterface::GetBarBeatByTick(unsigned int tick)
{
    return GetBarBeatByTick(tick, false, false);
}

TL::BarsBeats TarnwickInterface::GetBarBeatByTick(unsigned int tick, bool atOrBefore, bool onClickGrid)
{
    const std::string current = GetCurrentSongNumber();
    if (!SongExists(current)) {
        return {};
    }
    const brix_midi::SongData& song = Song_(current);
    const Beats beats = onClickGrid ? ClickGridBeats(song, SongLogOf(editor_->GetChangeLog(), current)) : BeatsOf(song);
    return atOrBefore ? BeatAtOrBefore(beats, tick) : BeatAtOrAfter(beats, tick);
}

TL::BarsBeats TarnwickInterface::GetBarBeatLeftByTick(unsigned int tick)
{
    return GetBarBeatByTick(tick, true, false);
}

std::string TarnwickInterface::GetBarString(unsigned int tick)
{
    return TL::as_string(GetBarBeatLeftByTick(tick));
}

std::string TarnwickInterface::GetBarString(const std::string& songNumber, unsigned int tick)
{
    return TL::as_string(BeatLeftOf(Song_(songNumber), tick));
}

unsigned int TarnwickInterface::GetAvailableShiftAfterBarBeat(unsigned int beatTick, bool withinBeat)
{
    const brix_midi::SongData* song = FindSong_(GetCurrentSongNumber());
    if (song == nullptr) {
        return 0;
    }
    unsigned int limit = song->GetTimeline().GetLastTickIndex();
    if (withinBeat) {
        const auto& beats = BeatsOf(*song);
        const auto next = std::upper_bound(beats.begin(), beats.end(), beatTick,
                                           [](unsigned int t, const TL::BarsBeats& beat) { return t < beat.tick; });
        limit = next == beats.end() ? beatTick : next->tick;
    }
    return limit > beatTick ? limit - beatTick - 1 : 0;
}

std::vector<int> TarnwickInterface::GetClickValues(unsigned int startTick, unsigned int endTick)
{
    const brix_midi::SongData* song = FindSong_(GetCurrentSongNumber());
    return song == nullptr ? std::vector<int>() : ClickValuesOf(*song, startTick, endTick);
}

const TL::Timeline& TarnwickInterface::GetTimeline()
{
    static const TL::Timeline none;
    const brix_midi::SongData* song = FindSong_(GetCurrentSongNumber());
    return song == nullptr ? none : song->GetTimeline();
}

const CL::SongLog& TarnwickInterface::GetSongLog()
{
    static const CL::SongLog none;
    const std::string current = GetCurrentSongNumber();
    std::lock_guard lock(playedMutex_);
    return played_->HasSongLog(current) ? played_->GetSongLog(current) : none;
}

std::string TarnwickInterface::SaveChangelog(std::uint16_t major, std::uint16_t minor)
{
    CL::ChangeLog log = editor_->GetChangeLog();
    log.SetVersion(cmn::BRIXVersion(major, minor));
    for (const auto& [id, path] : editor_->GetChangeLog().GetOutputPaths()) {
        log.RemoveOutputPath(id);
    }
    for (const auto& [id, path] : outputPaths_) {
        log.SetOutputPath(path);
    }
    const std::string showKey = std::filesystem::path(GetShowDirectory()).lexically_normal().filename().string();
    const std::filesystem::path written =
        CL::WriteLogDataFile(GetShowDirectory(), showKey.empty() ? "show" : showKey, log);
    editor_->SetVersion(log.GetVersion());
    changeLogFile_ = written.string();
    return written.filename().string();
}

void TarnwickInterface::LoadNewChangeLog()
{
    ActivateEditorLog_();
    GetMidiShowControl().NotifyNewChangeLog();
    reporter_->ChangeLogChanged();
    // The road is taken anew from what the listener hears now.
    GetPlayer().Seek(GetTickIndex());
}

std::string TarnwickInterface::GetChangelogFilename()
{
    return changeLogFile_;
}

void TarnwickInterface::SetChangelogFilename(const std::string& path)
{
    CL::ChangeLog read = CL::ReadLogDataFile(path);
    repairs_ = RepairChangeLog(read, loaded_.show);
    outputPaths_ = read.GetOutputPaths();
    editor_ = std::make_unique<CL::Editor>(loaded_.show, std::move(read));
    changeLogFile_ = path;
    LoadNewChangeLog();
}

void TarnwickInterface::LoadChangeLogEditor()
{
    const auto latest = CL::FindLatestLogDataFile(GetShowDirectory());
    CL::ChangeLog log = CL::LoadLatestLogData(GetShowDirectory(), loaded_.changeLog);
    repairs_ = RepairChangeLog(log, loaded_.show);
    outputPaths_ = log.GetOutputPaths();
    editor_ = std::make_unique<CL::Editor>(loaded_.show, std::move(log));
    changeLogFile_ = latest ? latest->string() : std::string();
    if (player_) {
        LoadNewChangeLog();
    } else {
        ActivateEditorLog_();
    }
}

std::string TarnwickInterface::GetTempoScaleWarnings()
{
    std::ostringstream warnings;
    warnings << std::fixed << std::setprecision(2);
    for (const CL::SongLog& log : GetPlayedChangeLog()->GetSongLogs()) {
        const brix_midi::SongData* song = FindSong_(log.GetSongNumber());
        for (const CL::TempoScale& scale : log.GetTempoScales()) {
            const double factor = scale.float_value();
            const double played = std::clamp(factor, HowToPlay::kMinTempoScale, HowToPlay::kMaxTempoScale);
            if (played == factor) {
                continue;
            }
            warnings << "Song " << log.GetSongNumber();
            if (song != nullptr) {
                warnings << ", bar " << BeatLeftOf(*song, scale.start()).bar_number();
            }
            warnings << ": the tempo scale " << factor << " plays as " << played << ".\n";
        }
    }
    return warnings.str();
}

std::string TarnwickInterface::GetModifiedClickEditLog()
{
    return repairs_.modifiedClickEditLog;
}

int TarnwickInterface::GetInvertedLoopEventCount()
{
    return repairs_.invertedLoopEventCount;
}

std::string TarnwickInterface::GetInvertedLoopEventDescription()
{
    return repairs_.invertedLoopEventDescription;
}

std::string TarnwickInterface::GetLogVersion()
{
    return editor_->GetVersion().GetAsString();
}

CL::Editor* TarnwickInterface::GetChangeLogEditor()
{
    return editor_.get();
}

Interface::EventList TarnwickInterface::GetChangeLogPanelEvents()
{
    const std::string current = GetCurrentSongNumber();
    const CL::ChangeLog& log = editor_->GetChangeLog();
    return log.HasSongLog(current) ? Copies(PanelEventsOf(log.GetSongLog(current))) : EventList();
}

Interface::EventsBySong TarnwickInterface::GetChangeLogPanelEventsForAllSongs()
{
    EventsBySong events;
    for (const CL::SongLog& log : editor_->GetChangeLog().GetSongLogs()) {
        events.emplace(log.GetSongNumber(), Copies(PanelEventsOf(log)));
    }
    return events;
}

Interface::EventsBySong TarnwickInterface::GetMarkersForAllSongs()
{
    EventsBySong markers;
    for (const CL::SongLog& log : editor_->GetChangeLog().GetSongLogs()) {
        markers.emplace(log.GetSongNumber(), Copies(MarkersOf(log)));
    }
    return markers;
}

Interface::EventList TarnwickInterface::GetMarkers()
{
    const std::string current = GetCurrentSongNumber();
    const CL::ChangeLog& log = editor_->GetChangeLog();
    return log.HasSongLog(current) ? Copies(MarkersOf(log.GetSongLog(current))) : EventList();
}

std::map<std::string, CL::OutputPath> TarnwickInterface::GetOutputPathMap()
{
    return outputPaths_;
}

void TarnwickInterface::onAddOutputhPath(const CL::OutputPath& path)
{
    outputPaths_[path.GetId()] = path;
}

void TarnwickInterface::onRemoveOutputhPath(const CL::OutputPath& path)
{
    outputPaths_.erase(path.GetId());
}

std::vector<MidiEndPoint> TarnwickInterface::GetMidiSources()
{
    return GetNonBrixMidiSources();
}

bool TarnwickInterface::HasMidiSource()
{
    return commands_->HasMidiSource();
}

std::uint8_t TarnwickInterface::GetConnectedSourceIndex()
{
    const int connected = commands_->GetConnectedSourceIndex();
    const std::vector<MidiEndPoint> sources = GetMidiSources();
    for (std::size_t row = 0; row < sources.size(); ++row) {
        if (sources[row].GetSourceIndex() == connected) {
            return static_cast<std::uint8_t>(row);
        }
    }
    return 0;
}

void TarnwickInterface::SetMidiSource(int source)
{
    if (source >= 0) {
        const std::vector<MidiEndPoint> sources = GetMidiSources();
        if (static_cast<std::size_t>(source) >= sources.size()) {
            throw MidiPortError("Invalid MIDI source.");
        }
        commands_->ConnectSourceByIndex(static_cast<unsigned char>(sources[source].GetSourceIndex()));
    }
    MidiInterface::SetMidiSource(source);
}

bool TarnwickInterface::GetHasConductBeat()
{
    return commands_->GetHasConductBeat();
}

std::map<std::uint8_t, std::string> TarnwickInterface::GetCommandNames()
{
    return midi_commands::gantrymereCommandNames;
}

std::map<std::uint8_t, midi_commands::LearnedCommand> TarnwickInterface::GetLearnedCommands()
{
    return commands_->GetLearnedCommands();
}

bool TarnwickInterface::IsMidiCommandLearning(std::uint8_t commandId)
{
    return commands_->IsMidiCommandLearning(commandId);
}

void TarnwickInterface::LearnMidiCommand(std::uint8_t commandId)
{
    commands_->LearnMidiCommandNoAssign(commandId);
}

void TarnwickInterface::SetMidiCommand(std::uint8_t commandId, std::uint8_t status, std::uint8_t channel,
                                       std::uint8_t note)
{
    commands_->SetMidiCommand(commandId, status, channel, note);
}

std::vector<int> TarnwickInterface::GetAllowedCommandStatuses()
{
    return {0x90, 0xB0, 0xC0};
}

CL::NetworkPathVectorT TarnwickInterface::GetNetworks()
{
    return editor_->GetNetworks();
}

CL::NetworkPath TarnwickInterface::GetNetwork(const std::string& networkId)
{
    for (const CL::NetworkPath& network : GetPlayedChangeLog()->GetNetworks()) {
        if (network.NetworkId() == networkId) {
            return network;
        }
    }
    return {};
}

void TarnwickInterface::Shutdown()
{
    RemoveCallbacks();
    if (shutDown_) {
        return;
    }
    player_->Stop();
    player_->PrepareForExit();
    player_->Shutdown();
    shutDown_ = true;
}

Player& TarnwickInterface::GetPlayer()
{
    return GetMidiPlayer();
}

MidiPlayer& TarnwickInterface::GetMidiPlayer()
{
    if (!player_) {
        throw std::logic_error("The engine has no player.");
    }
    return *player_;
}

std::shared_ptr<const CL::ChangeLog> TarnwickInterface::GetPlayedChangeLog() const
{
    std::lock_guard lock(playedMutex_);
    return played_;
}

MidiShowControl& TarnwickInterface::GetMidiShowControl()
{
    return GetMidiPlayer().GetMidiShowControl();
}

std::map<std::uint16_t, std::string> TarnwickInterface::GetTrackNamesByTrackId()
{
    return mixer_->GetTrackNamesByTrackId();
}

bool TarnwickInterface::GetTrackIsVocalTrack(std::uint16_t trackId)
{
    return mixer_->GetTrackIsVocalTrack(trackId);
}

bool TarnwickInterface::GetTrackIsMuted(std::uint16_t trackId)
{
    return mixer_->GetTrackIsMuted(trackId);
}

bool TarnwickInterface::GetTrackIsSoloed(std::uint16_t trackId)
{
    return mixer_->GetTrackIsSoloed(trackId);
}

std::uint8_t TarnwickInterface::GetTrackPan(std::uint16_t trackId)
{
    return mixer_->GetTrackPan(trackId);
}

std::uint8_t TarnwickInterface::GetTrackVolume(std::uint16_t trackId)
{
    return mixer_->GetTrackVolume(trackId);
}

std::uint8_t TarnwickInterface::GetTrackProgramId(std::uint16_t trackId)
{
    return mixer_->GetTrackProgramId(trackId);
}

void TarnwickInterface::SetTrackIsMuted(std::uint16_t trackId, bool muted)
{
    mixer_->SetTrackIsMuted(trackId, muted);
}

void TarnwickInterface::SetTrackIsSoloed(std::uint16_t trackId, bool soloed)
{
    mixer_->SetTrackIsSoloed(trackId, soloed);
}

void TarnwickInterface::SetTrackIsMutedByOtherSolo(std::uint16_t trackId, bool muted)
{
    mixer_->SetTrackIsMutedByOtherSolo(trackId, muted);
}

void TarnwickInterface::SetTrackPan(std::uint16_t trackId, std::uint8_t pan)
{
    mixer_->SetTrackPan(trackId, pan);
}

void TarnwickInterface::SetTrackVolume(std::uint16_t trackId, std::uint8_t volume)
{
    mixer_->SetTrackVolume(trackId, volume);
}

void TarnwickInterface::SetTrackProgramId(std::uint16_t trackId, std::uint8_t program)
{
    mixer_->SetTrackProgramId(trackId, program);
}

void TarnwickInterface::ResetMixerToDefaultSettings()
{
    mixer_->ResetToDefaultSettings();
}
