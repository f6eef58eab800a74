#include <brix_core/ShowFolder.h>

#include <brix_core/smf/StandardMidiFile.h>

#include <fennic/Path.h>

#include <rapidjson/document.h>
#include <rapidjson/error/en.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <limits>
#include <map>
#include <sstream>
#include <tuple>

namespace brix_midi {

namespace {

// Bounds that keep a show from filling memory with bars, beats and events: a song longer than this
// many beats is refused, and so is a show whose songs together hold more beats or voice events than
// these (a small show.json may name one long MIDI file in many songs). A real show holds a few tens
// of thousands of beats and a few hundred thousand events in all.
constexpr std::uint64_t kMaxBeatsPerSong = 1000000;
constexpr std::uint64_t kMaxBeatsPerShow = 2000000;
constexpr std::uint64_t kMaxVoiceEventsPerShow = 4000000;

constexpr std::uint32_t kDefaultMicrosecondsPerQuarter = 500000;

[[noreturn]] void Fail(const std::string& file, const std::string& fault) {
    throw ShowFolderError(file + ": " + fault);
}

// ---- show.json ------------------------------------------------------------------------------

struct PageEntry {
    std::uint32_t bar;
    std::int32_t page;
};

struct SongEntry {
    std::string number;
    std::string name;
    std::string midi;
    bool attacca = false;
    std::uint32_t pickup = 0;
    std::vector<PageEntry> pages;
};

struct ShowEntry {
    std::string name;
    std::string customer;
    std::vector<SongEntry> songs;
    Groups groups;
};

std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        throw fennic::IoError(path + ": cannot be opened");
    }
    std::ostringstream text;
    text << in.rdbuf();
    if (in.bad()) {
        throw fennic::IoError(path + ": cannot be read");
    }
    return text.str();
}

// Reads the fields of one JSON object, naming the file and the object (context) in every fault.
class JsonFields {
public:
    JsonFields(const rapidjson::Value& object, std::string file, std::string context)
        : object_(object), file_(std::move(file)), context_(std::move(context)) {}

    const rapidjson::Value* Find(const char* key) const {
        const auto member = object_.FindMember(key);
        return member == object_.MemberEnd() ? nullptr : &member->value;
    }

    const rapidjson::Value& Require(const char* key) const {
        const rapidjson::Value* value = Find(key);
        if (value == nullptr) {
            FailField(key, "is missing");
        }
        return *value;
    }

    std::string String(const char* key, bool required) const {
        const rapidjson::Value* value = required ? &Require(key) : Find(key);
        if (value == nullptr) {
            return {};
        }
        if (!value->IsString()) {
            FailField(key, "must be a string");
        }
        return {value->GetString(), value->GetStringLength()};
    }

    bool Bool(const char* key) const {
        const rapidjson::Value* value = Find(key);
        if (value == nullptr) {
            return false;
        }
        if (!value->IsBool()) {
            FailField(key, "must be true or false");
        }
        return value->GetBool();
    }

    std::uint32_t Unsigned(const char* key, bool required) const {
        const rapidjson::Value* value = required ? &Require(key) : Find(key);
        if (value == nullptr) {
            return 0;
        }
        if (!value->IsUint()) {
            FailField(key, "must be a whole number of 0 or more");
        }
        return value->GetUint();
    }

    std::int32_t Int(const char* key) const {
        const rapidjson::Value& value = Require(key);
        if (!value.IsInt()) {
            FailField(key, "must be a whole number");
        }
        return value.GetInt();
    }

    [[noreturn]] void FailField(const char* key, const std::string& fault) const {
        Fail(file_, context_ + "\"" + key + "\" " + fault);
    }

private:
    const rapidjson::Value& object_;
    std::string file_;
    std::string context_;
};

bool IsPlainFileName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." &&
           name.find_first_of("/\\") == std::string::npos;
}

// A string field that names something (a song, a file) cannot hold a NUL: the name would be cut
// there when it is used.
std::string NameField(const JsonFields& fields, const char* key) {
    std::string name = fields.String(key, true);
    if (name.find('\0') != std::string::npos) {
        fields.FailField(key, "must not hold a NUL character");
    }
    return name;
}

std::vector<PageEntry> ReadPages(const JsonFields& song, const std::string& file,
                                 const std::string& context) {
    std::vector<PageEntry> pages;
    const rapidjson::Value* list = song.Find("pages");
    if (list == nullptr) {
        return pages;
    }
    if (!list->IsArray()) {
        song.FailField("pages", "must be a list");
    }
    for (rapidjson::SizeType i = 0; i < list->Size(); ++i) {
        const std::string pageContext = context + "page " + std::to_string(i + 1) + ": ";
        if (!(*list)[i].IsObject()) {
            Fail(file, pageContext + "must be an object");
        }
        const JsonFields page((*list)[i], file, pageContext);
        pages.push_back(PageEntry{page.Unsigned("bar", true), page.Int("page")});
    }
    return pages;
}

Groups ReadGroups(const JsonFields& show, const std::string& file) {
    Groups groups;
    const rapidjson::Value* object = show.Find("groups");
    if (object == nullptr) {
        return groups;
    }
    if (!object->IsObject()) {
        show.FailField("groups", "must be an object");
    }
    for (auto member = object->MemberBegin(); member != object->MemberEnd(); ++member) {
        const std::string name(member->name.GetString(), member->name.GetStringLength());
        const rapidjson::Value& ids = member->value;
        std::set<unsigned short> trackIds;
        bool valid = ids.IsArray();
        for (rapidjson::SizeType i = 0; valid && i < ids.Size(); ++i) {
            valid = ids[i].IsUint() && ids[i].GetUint() <= std::numeric_limits<unsigned short>::max();
            if (valid) {
                trackIds.insert(static_cast<unsigned short>(ids[i].GetUint()));
            }
        }
        if (!valid) {
            Fail(file, "group \"" + name + "\" must be a list of track ids from 0 to 65535");
        }
        if (groups.GetGroupCount() > std::numeric_limits<unsigned char>::max()) {
            Fail(file, "more than 256 groups");
        }
        groups.AddGroup(name, std::move(trackIds));
    }
    return groups;
}

ShowEntry ReadShowJson(const std::string& path) {
    const std::string text = ReadText(path);
    rapidjson::Document document;
    // The iterative parser keeps its nesting on the heap: no depth of nesting overflows the stack.
    document.Parse<rapidjson::kParseIterativeFlag>(text.c_str(), text.size());
    if (document.HasParseError()) {
        Fail(path, "malformed JSON at byte " + std::to_string(document.GetErrorOffset()) + ": " +
                       rapidjson::GetParseError_En(document.GetParseError()));
    }
    if (!document.IsObject()) {
        Fail(path, "must hold a JSON object");
    }
    const JsonFields show(document, path, "");
    const std::uint32_t format = show.Unsigned("format", true);
    if (format != 1) {
        Fail(path, "format " + std::to_string(format) + " is not supported (only 1)");
    }

    ShowEntry entry;
    entry.name = show.String("name", false);
    entry.customer = show.String("customer", false);
    const rapidjson::Value& songs = show.Require("songs");
    if (!songs.IsArray()) {
        show.FailField("songs", "must be a list");
    }
    std::set<std::string> numbers;
    for (rapidjson::SizeType i = 0; i < songs.Size(); ++i) {
        const std::string context = "song " + std::to_string(i + 1) + ": ";
        if (!songs[i].IsObject()) {
            Fail(path, context + "must be an object");
        }
        const JsonFields fields(songs[i], path, context);
        SongEntry song;
        song.number = NameField(fields, "number");
        if (song.number.empty()) {
            fields.FailField("number", "must not be empty");
        }
        if (!numbers.insert(song.number).second) {
            Fail(path, "song number \"" + song.number + "\" is given twice");
        }
        song.name = fields.String("name", true);
        song.midi = NameField(fields, "midi");
        if (!IsPlainFileName(song.midi)) {
            fields.FailField("midi", "must name a file in the show folder, not \"" + song.midi + "\"");
        }
        song.attacca = fields.Bool("attacca");
        song.pickup = fields.Unsigned("pickup", false);
        song.pages = ReadPages(fields, path, context);
        entry.songs.push_back(std::move(song));
    }
    entry.groups = ReadGroups(show, path);
    return entry;
}

// What the songs loaded so far hold of the show's bounds. Each song adds its beats and voice events
// as they are built; the first one past a bound stops the load with an error naming show.json.
class ShowBudget {
public:
    explicit ShowBudget(std::string showJsonPath) : showJsonPath_(std::move(showJsonPath)) {}

    void StartSong(const SongEntry& song) { song_ = &song; }
    void TakeBeat() { Take(beats_, kMaxBeatsPerShow, "beats"); }
    void TakeVoiceEvent() { Take(voiceEvents_, kMaxVoiceEventsPerShow, "MIDI events"); }

private:
    void Take(std::uint64_t& count, std::uint64_t bound, const char* what) {
        if (++count > bound) {
            Fail(showJsonPath_, "song \"" + song_->number + "\" (" + song_->midi + ") takes the show past " +
                                    std::to_string(bound) + " " + what + " in all");
        }
    }

    std::string showJsonPath_;
    const SongEntry* song_ = nullptr;
    std::uint64_t beats_ = 0;
    std::uint64_t voiceEvents_ = 0;
};

// ---- MIDI files -------------------------------------------------------------------------------

// Sorts by tick (file order kept within a tick), keeps the last record of each tick, and puts
// fallback at tick 0 when no record is there.
template <class T>
std::vector<T> OnePerTick(std::vector<T> records, const T& fallback) {
    std::stable_sort(records.begin(), records.end(),
                     [](const T& a, const T& b) { return a.tick < b.tick; });
    std::vector<T> result;
    for (const T& record : records) {
        if (!result.empty() && result.back().tick == record.tick) {
            result.back() = record;
        } else {
            result.push_back(record);
        }
    }
    if (result.empty() || result.front().tick != 0) {
        result.insert(result.begin(), fallback);
    }
    return result;
}

struct TrackBuild {
    std::string name;
    std::vector<VoiceEvent> events;
};

struct FileContent {
    std::vector<TL::Tempo> tempos;
    std::vector<TL::Meter> meters;
    std::vector<TL::Key> keys;
    std::map<unsigned short, TrackBuild> tracks;
    std::uint32_t lastTick = 0;
};

std::string TickText(const smf::Event& event) {
    return " at tick " + std::to_string(event.tick);
}

void ReadMeta(const smf::Event& event, const std::string& path, FileContent& content) {
    const std::vector<std::uint8_t>& data = event.metaData;
    switch (event.metaType) {
    case 0x51: {
        if (data.size() != 3) {
            Fail(path, "tempo event" + TickText(event) + " has " + std::to_string(data.size()) +
                           " data bytes instead of 3");
        }
        const std::uint32_t us = (std::uint32_t{data[0]} << 16) | (std::uint32_t{data[1]} << 8) | data[2];
        if (us == 0) {
            Fail(path, "tempo of 0 microseconds per quarter note" + TickText(event));
        }
        content.tempos.emplace_back(event.tick, us);
        break;
    }
    case 0x58: {
        if (data.size() != 4) {
            Fail(path, "time signature" + TickText(event) + " has " + std::to_string(data.size()) +
                           " data bytes instead of 4");
        }
        const auto [numerator, power, clocks, notated32nds] = std::tuple(data[0], data[1], data[2], data[3]);
        if (numerator == 0 || power > 6 || clocks == 0 || notated32nds == 0) {
            Fail(path, "time signature" + TickText(event) + " is not usable (" +
                           std::to_string(numerator) + "/2^" + std::to_string(power) + ", " +
                           std::to_string(clocks) + " clocks per click, " +
                           std::to_string(notated32nds) + " 32nds per quarter)");
        }
        content.meters.emplace_back(event.tick, numerator, static_cast<std::uint8_t>(1u << power),
                                    clocks, notated32nds);
        break;
    }
    case 0x59: {
        if (data.size() != 2) {
            Fail(path, "key signature" + TickText(event) + " has " + std::to_string(data.size()) +
                           " data bytes instead of 2");
        }
        const auto sharpsFlats = static_cast<std::int8_t>(data[0]);
        if (sharpsFlats < -7 || sharpsFlats > 7 || data[1] > 1) {
            Fail(path, "key signature" + TickText(event) + " is not usable (" +
                           std::to_string(sharpsFlats) + " sharps, mode " + std::to_string(data[1]) + ")");
        }
        content.keys.emplace_back(event.tick, static_cast<std::int16_t>(data[1]), sharpsFlats);
        break;
    }
    default:
        break;
    }
}

FileContent ReadFileContent(const smf::File& file, const std::string& path, ShowBudget& budget) {
    FileContent content;
    for (std::size_t t = 0; t < file.tracks.size(); ++t) {
        const std::vector<smf::Event>& events = file.tracks[t].events;
        unsigned short port = 0;
        std::string name;
        bool hasPort = false;
        bool hasName = false;
        for (const smf::Event& event : events) {
            content.lastTick = std::max(content.lastTick, event.tick);
            if (event.status != 0xFF) {
                continue;
            }
            if (event.metaType == 0x21 && !hasPort) {
                if (event.metaData.empty()) {
                    Fail(path, "MIDI port event" + TickText(event) + " in track " +
                                   std::to_string(t + 1) + " has no data");
                }
                port = event.metaData[0];
                hasPort = true;
            } else if (event.metaType == 0x03 && !hasName) {
                name.assign(event.metaData.begin(), event.metaData.end());
                hasName = true;
            } else {
                ReadMeta(event, path, content);
            }
        }
        for (const smf::Event& event : events) {
            if (event.status == 0xFF) {
                continue;
            }
            budget.TakeVoiceEvent();
            const auto id = static_cast<unsigned short>((port << 4) | (event.status & 0x0F));
            auto [track, added] = content.tracks.try_emplace(id);
            if (added) {
                track->second.name = name;
            }
            track->second.events.emplace_back(event.tick, event.status, event.data1, event.data2);
        }
    }
    return content;
}

std::shared_ptr<VoiceTrack> BuildVoiceTrack(unsigned short id, TrackBuild build) {
    std::stable_sort(build.events.begin(), build.events.end(),
                     [](const VoiceEvent& a, const VoiceEvent& b) { return a.tick < b.tick; });
    const auto program = std::find_if(build.events.begin(), build.events.end(), [](const VoiceEvent& e) {
        return (e.message.status & 0xF0) == 0xC0;
    });
    const std::uint8_t defaultProgram = program == build.events.end() ? 0 : program->message.data1;
    const auto range = (id & 0x0F) == 9 ? VoiceTrack::kNoNoteRange
                                        : std::pair<std::uint8_t, std::uint8_t>{0, 127};
    return std::make_shared<VoiceTrack>(id, std::move(build.name), std::move(build.events),
                                        defaultProgram, range);
}

// Adds a bars/beats record per beat up to the last tick index; returns the start tick of each bar.
// A pickup of p > 0 makes bar 1 last p notes of the first meter's denominator.
std::map<std::uint32_t, std::uint32_t> AddBarsAndBeats(TL::Timeline& timeline, std::uint32_t pickup,
                                                       std::uint16_t division, const std::string& path,
                                                       ShowBudget& budget) {
    const std::vector<TL::Meter>& meters = timeline.GetMeters();
    const std::uint64_t end = std::max<std::uint32_t>(timeline.GetLastTickIndex(), 1);
    std::map<std::uint32_t, std::uint32_t> barStarts;
    std::uint64_t beats = 0;
    std::uint64_t tick = 0;
    std::size_t m = 0;
    for (std::uint32_t bar = 1; tick < end; ++bar) {
        while (m + 1 < meters.size() && meters[m + 1].tick <= tick) {
            ++m;
        }
        const TL::Meter& meter = meters[m];
        const std::uint64_t nextMeter =
            m + 1 < meters.size() ? meters[m + 1].tick : std::numeric_limits<std::uint64_t>::max();
        const std::uint64_t clickTicks = std::uint64_t{meter.clocks_per_click} * division / 24;
        const std::uint64_t noteTicks = std::uint64_t{4} * division / meter.denominator;
        const std::uint64_t barTicks = (bar == 1 && pickup > 0 ? pickup : meter.numerator) * noteTicks;
        const std::uint64_t barEnd = std::min(tick + barTicks, nextMeter);
        barStarts[bar] = static_cast<std::uint32_t>(tick);
        std::uint32_t beat = 1;
        for (std::uint64_t beatTick = tick; beatTick < barEnd && beatTick < end; beatTick += clickTicks) {
            if (++beats > kMaxBeatsPerSong) {
                Fail(path, "song is longer than " + std::to_string(kMaxBeatsPerSong) + " beats");
            }
            budget.TakeBeat();
            timeline.Add(TL::BarsBeats(static_cast<std::uint32_t>(beatTick), bar, beat++));
        }
        tick = barEnd;
    }
    return barStarts;
}

std::shared_ptr<SongData> LoadSong(const SongEntry& entry, const std::string& folder,
                                   const std::string& showJsonPath, ShowBudget& budget) {
    budget.StartSong(entry);
    const std::string path = fennic::path::Join(folder, entry.midi);
    const smf::File file = smf::ReadFile(path);
    if (file.division < 24) {
        Fail(path, "division of " + std::to_string(file.division) +
                       " ticks per quarter note is below 24");
    }
    FileContent content = ReadFileContent(file, path, budget);

    TL::Timeline timeline;
    timeline.SetLastTickIndex(content.lastTick);
    for (const TL::Tempo& tempo : OnePerTick(content.tempos, TL::Tempo(0, kDefaultMicrosecondsPerQuarter))) {
        timeline.Add(tempo);
    }
    for (const TL::Meter& meter : OnePerTick(content.meters, TL::Meter(0, 4, 4, 24, 8))) {
        timeline.Add(meter);
    }
    for (const TL::Key& key : OnePerTick(content.keys, TL::Key(0, 0, 0))) {
        timeline.Add(key);
    }

    const std::string context = "song \"" + entry.number + "\": ";
    const TL::Meter& first = timeline.GetMeters().front();
    if (entry.pickup >= first.numerator) {
        Fail(showJsonPath, context + "a pickup of " + std::to_string(entry.pickup) +
                               " beats is not shorter than a bar of " + TL::as_string(first));
    }
    const auto barStarts = AddBarsAndBeats(timeline, entry.pickup, file.division, path, budget);
    for (const PageEntry& page : entry.pages) {
        const auto start = barStarts.find(page.bar);
        if (start == barStarts.end()) {
            Fail(showJsonPath, context + "page " + std::to_string(page.page) + " is on bar " +
                                   std::to_string(page.bar) + ", which the song does not have");
        }
        timeline.Add(TL::PageNum(start->second, page.page));
    }

    auto song = std::make_shared<SongData>();
    song->SetSongNumber(entry.number);
    song->SetSongName(entry.name);
    song->SetAttacca(entry.attacca);
    song->SetResolution(file.division);
    song->SetTimeline(std::move(timeline));
    for (auto& [id, build] : content.tracks) {
        song->SetVoiceTrack(BuildVoiceTrack(id, std::move(build)));
    }
    return song;
}

}  // namespace

LoadedShow LoadShowFolder(const std::string& folder) {
    const std::string showJsonPath = fennic::path::Join(folder, "show.json");
    ShowEntry entry = ReadShowJson(showJsonPath);

    LoadedShow loaded;
    ShowBudget budget(showJsonPath);
    loaded.show.SetName(entry.name);
    loaded.show.SetCustomer(entry.customer);
    loaded.show.SetGroups(std::move(entry.groups));
    for (const SongEntry& song : entry.songs) {
        loaded.show.AddSong(LoadSong(song, folder, showJsonPath, budget));
        loaded.changeLog.AddSongLog(CL::SongLog(song.number, song.name));
    }
    return loaded;
}

}  // namespace brix_midi
