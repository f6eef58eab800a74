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

#include <brix_core/Directories.h>
#include <brix_core/LogDataFile.h>

#include <fennic/Path.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
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

const std::vector<TL::BarsBeats>& BeatsOf(const brix_midi::SongData& song)
{
    return song.GetTimeline().GetBarsBeats();
}

// The beat at or before tick; the first beat before it; a default one for a song without beats.
TL::BarsBeats BeatLeftOf(const brix_midi::SongData& song, unsigned int tick)
{
    const auto& beats = BeatsOf(song);
    if (beats.empty()) {
        return {};
    }
    const auto after = std::upper_bound(beats.begin(), beats.end(), tick,
                                        [](unsigned int t, const TL::BarsBeats& beat) { return t < beat.tick; });
    return after == beats.begin() ? beats.front() : *(after - 1);
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
    mixer_ = std::make_unique<TarnwickMixer>(player_->GetActiveSongNumber(), loaded_.show, *player_);
    dispatcher_ = std::make_unique<MidiMessageDispatcher>();
    commands_ = std::make_unique<midi_commands::MidiCommands>(
        *dispatcher_, fennic::path::Join(dataFolder, kMidiCommandSettingsFileName));
    reporter_ = std::make_unique<brix_tarnwick::EngineEventReporter>(loaded_.show, player_->GetUserControls());
    if (!loaded_.show.GetSongs().empty()) {
        player_->LoadSong(loaded_.show.GetSongs().begin()->first);
    }
}

TarnwickInterface::~TarnwickInterface()
{
    RemoveLearnedCommandCallback();
    reporter_.reset();
    commands_.reset();
    dispatcher_.reset();
    mixer_.reset();
    player_.reset();
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

TL::BarsBeats TarnwickInterface::GetBarBeatByTick(unsigned int tick)
{
    const brix_midi::SongData* song = FindSong_(GetCurrentSongNumber());
    if (song == nullptr || BeatsOf(*song).empty()) {
        return {};
    }
    const auto& beats = BeatsOf(*song);
    const auto found = std::lower_bound(beats.begin(), beats.end(), tick,
                                        [](const TL::BarsBeats& beat, unsigned int t) { return beat.tick < t; });
    return found == beats.end() ? beats.back() : *found;
}

TL::BarsBeats TarnwickInterface::GetBarBeatLeftByTick(unsigned int tick)
{
    const brix_midi::SongData* song = FindSong_(GetCurrentSongNumber());
    return song == nullptr ? TL::BarsBeats() : BeatLeftOf(*song, tick);
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
    static constexpr int kNoteValues[] = {1, 2, 3, 4, 6, 7, 8, 12, 14, 16, 24, 28, 30, 31, 32};
    const brix_midi::SongData* song = FindSong_(GetCurrentSongNumber());
    if (song == nullptr) {
        return {};
    }
    // The bars, in notated 32nds, of the meters in force in the range.
    std::vector<int> bars;
    const auto& meters = song->GetTimeline().GetMeters();
    for (std::size_t i = 0; i < meters.size(); ++i) {
        const bool endsBefore = i + 1 < meters.size() && meters[i + 1].tick <= startTick;
        if (!endsBefore && (meters[i].tick < endTick || i == 0) && meters[i].denominator > 0) {
            bars.push_back(meters[i].numerator * 32 / meters[i].denominator);
        }
    }
    std::vector<int> values;
    for (const int value : kNoteValues) {
        if (std::all_of(bars.begin(), bars.end(), [&](int bar) { return bar % value == 0; })) {
            values.push_back(value);
        }
    }
    return values;
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
    outputPaths_ = read.GetOutputPaths();
    editor_ = std::make_unique<CL::Editor>(loaded_.show, std::move(read));
    changeLogFile_ = path;
    LoadNewChangeLog();
}

void TarnwickInterface::LoadChangeLogEditor()
{
    const auto latest = CL::FindLatestLogDataFile(GetShowDirectory());
    CL::ChangeLog log = CL::LoadLatestLogData(GetShowDirectory(), loaded_.changeLog);
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
    RemoveLearnedCommandCallback();
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
