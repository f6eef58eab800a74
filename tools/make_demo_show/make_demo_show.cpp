// make_demo_show: writes the demo show into the folder given as its only argument: "show.json", one
// Standard MIDI File (format 1, division 480) per song, the change log "lanterns_on_the_quay-1.0.logdata",
// the score archive "score.tar" and "AlbumArtwork.jpg". The music is simple and our own: triad
// arpeggios, held string chords, bass roots and fifths, a drum groove and a chord-tone vocal line.
//
//   make_demo_show <folder>
//
// Show "Lanterns on the Quay", customer "Brix Demo Company". Songs in show order:
//
// Song "1" "Overture", 01_overture.mid, attacca true (song "2" follows at once), pickup 0
//   bars 12; meter 4/4; tempo 120 from bar 1, 132 from bar 9; key C major
//   tracks 0 1 2 3 9; pages bar 1 -> page 1, bar 7 -> page 2
// Song "2" "Harbour Lights", 02_harbour_lights.mid, attacca false, pickup 1
//   bars 17 (bar 1 is the one-beat pickup); meter 4/4 from bar 1, 3/4 from bar 14; tempo 96;
//   key G major; tracks 0 1 2 20 16 17; pages bar 1 -> page 3, bar 8 -> page 4, bar 14 -> page 5
// Song "2A" "Harbour Lights (Reprise)", 02a_harbour_lights_reprise.mid, attacca false, pickup 0
//   bars 16; meter 6/8; tempo 90 from bar 1, 80 from bar 15; key D major from bar 1, Eb major from
//   bar 9; tracks 1 2 20 16 17; pages bar 1 -> page 6, bar 9 -> page 7
// Song "10" "Finale", 10_finale.mid, attacca false, pickup 0
//   bars 20; meter 4/4 from bar 1, 3/4 from bar 9, 6/8 from bar 13; tempo 112 from bar 1, 100 from
//   bar 9, 126 from bar 13, 96 from bar 20; key F major from bar 1, G major from bar 13;
//   tracks 0 1 2 3 9 20 16 17 25; pages bar 1 -> page 8, bar 9 -> page 9, bar 13 -> page 10,
//   bar 17 -> page 11
// Tempos are quarter notes per minute, also in 6/8.
//
// Ticks of the bar starts (division 480; a 4/4 bar is 1920 ticks, 3/4 and 6/8 bars are 1440):
//   "1":  bar n starts at (n-1)*1920; the tempo change is at 15360; the song ends at 23040.
//   "2":  bar 1 is the pickup bar, one quarter (480 ticks, the fourth beat of a 4/4 bar); bar n (2..14)
//         starts at 480 + (n-2)*1920; the 3/4 bars 14..17 start at 23520 + (n-14)*1440; ends at 29280.
//   "2A": bar n starts at (n-1)*1440; the key change is at 11520, the tempo change at 20160; ends at 23040.
//   "10": 4/4 bars 1..8 from 0, 3/4 bars 9..12 from 15360, 6/8 bars 13..20 from 21120; tempo changes at
//         15360, 21120 and 31200; the key change at 21120; ends at 32640.
// Tempo meta values (microseconds per quarter) are round(60000000 / tempo): 120 -> 500000,
// 132 -> 454545, 96 -> 625000, 90 -> 666667, 80 -> 750000, 112 -> 535714, 100 -> 600000, 126 -> 476190.
// Time signatures are written at the start of each meter's first bar (6/8 with 36 MIDI clocks per
// click, the others 24), key signatures at the start of each key's first bar, tempos at the start of
// their bars.
//
// "pickup" in show.json: the length of the first bar in beats of the first time signature (its
// denominator's note value) when that bar is shorter than the meter, else 0. The pickup bar is bar 1;
// page bar numbers count it.
//
// Tracks: the first track of each file is the conductor track (track name = the song's name, tempos,
// time and key signatures, no channel events). Then one track per part, named by a track-name meta
// event, each on one channel; tracks on port 1 carry a MIDI-port meta event (0x21) with 1, tracks on
// port 0 carry none. Track id = (port << 4) | channel.
//
// | id | port | channel | name          | program (GM, from 0)       | volume | pan | group       |
// |----|------|---------|---------------|----------------------------|--------|-----|-------------|
// | 0  | 0    | 0       | Piano         | 0                          | 100    | 64  | Instruments |
// | 1  | 0    | 1       | Bass          | 32                         | 105    | 56  | Instruments |
// | 2  | 0    | 2       | Strings       | 48                         | 90     | 40  | Instruments |
// | 3  | 0    | 3       | Winds         | 73 (71 from bar 9 of "10") | 85     | 88  | Instruments |
// | 9  | 0    | 9       | Drums         | 0                          | 100    | 64  | Instruments |
// | 20 | 1    | 4       | Guitar        | 25                         | 80     | 96  | Instruments |
// | 16 | 1    | 0       | Vocal Lead    | 53                         | 110    | 64  | Vocal Parts |
// | 17 | 1    | 1       | Vocal Harmony | 54                         | 95     | 70  | Vocal Parts |
// | 25 | 1    | 9       | Click         | 0 (percussion channel)     | 100    | 64  | Instruments |
//
// What else the songs hold: the piano uses the sustain pedal (CC64 up at each bar start, down 30 ticks
// later, up before the song ends); string notes common to two neighbouring chords are held across the
// bar line, and the vocal lead holds a note across the bar line at every fourth bar; guitar pitch bends
// in bar 9 of "2", bass pitch bends in bar 4 of "10"; the strings swell (CC7 90 -> 118) over the last
// four bars of "10"; the winds change program from 73 to 71 at bar 9 of "10". Every track of a song
// ends (end-of-track event) at the song's end. Note-offs are written as note-ons with velocity 0, with
// running status.
//
// The change log (version 1.0) is made through the core library's change-log editor, so every edit
// obeys the editor's rules, and written with its ".logdata" writer. Its file name starts with the show
// key: the show's name lower-cased with spaces as '_' ("lanterns_on_the_quay"); the core library
// leaves the key to its caller, and a show loads its newest ".logdata" whatever the key. The log has
// one network destination: "Lighting desk", network id "lights", UDP to 127.0.0.1 port 53000. Edits
// sit on bar lines (from and to as bar:beat): a region runs from beat 1 of its first bar to beat 1 of
// the bar after its last ("end": the song's end). Song "2" counts its pickup as bar 1, as show.json
// does.
//
// | song | kind          | id | from      | to      | ticks       | value                                     |
// |------|---------------|----|-----------|---------|-------------|-------------------------------------------|
// | "1"  | vamp          | @1 | 1:1       | 3:1     | 0-3840      | 0: until released (the curtain goes up)   |
// | "1"  | cut           | B1 | 5:1       | 9:1     | 7680-15360  | the second phrase; bar 4 goes on to bar 9 |
// | "1"  | marker        | E1 | 9:1       |         | 15360       | "Piu mosso" (the tempo rises to 132)      |
// | "1"  | caesura       | N1 | 12:1      |         | 21120       | a breath before the last bar              |
// | "2"  | transposition | C1 | 1:1       | end     | 0-29280     | -2: the whole song a tone lower           |
// | "2"  | click         | L1 | 2:1       | 10:1    | 480-15840   | 16: a click every half note in the verse  |
// | "2"  | marker        | E2 | 10:1      |         | 15840       | "Chorus"                                  |
// | "2"  | repeat        | A1 | 10:1      | 14:1    | 15840-23520 | 2: the chorus twice                       |
// | "2"  | tempo scale   | F1 | 14:1      | end     | 23520-29280 | 0.9: the 3/4 coda broader                 |
// | "2"  | OSC cue       | S1 | 14:1      |         | 23520       | "/cue/14/go" to "lights" (lighting cue)   |
//
// The score archive holds one 600 x 800 PNG per page that show.json names ("page-01.png" ...), each
// showing the song, the page number and its bars; the album art is a 512 x 512 JPEG with the show's
// name. Both are drawn with Qt on the offscreen platform (unless QT_QPA_PLATFORM says otherwise).

#include "DemoImages.h"

#include <brix_core/ChangeLog.h>
#include <brix_core/Editor.h>
#include <brix_core/LogDataFile.h>
#include <brix_core/NetworkPath.h>
#include <brix_core/ShowFolder.h>

#include <rapidjson/prettywriter.h>
#include <rapidjson/stringbuffer.h>

#include <QGuiApplication>

#include <algorithm>
#include <bit>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <map>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

const std::string kShowName = "Lanterns on the Quay";
const std::string kCustomer = "Brix Demo Company";
constexpr std::uint16_t kDivision = 480;
constexpr std::uint32_t kEighth = kDivision / 2;
constexpr int kPitchBendCentre = 0x2000;

// ---------------------------------------------------------------------------------------------
// A minimal Standard MIDI File writer.

void PutBigEndian(Bytes& out, std::uint32_t value, int bytes)
{
    for (int shift = (bytes - 1) * 8; shift >= 0; shift -= 8) {
        out.push_back(static_cast<std::uint8_t>(value >> shift));
    }
}

void PutVariableLength(Bytes& out, std::uint32_t value)
{
    std::uint8_t groups[4];
    int count = 0;
    do {
        groups[count++] = value & 0x7F;
        value >>= 7;
    } while (value != 0 && count < 4);
    while (count > 1) {
        out.push_back(static_cast<std::uint8_t>(groups[--count] | 0x80));
    }
    out.push_back(groups[0]);
}

// One track's events. Events are kept with absolute ticks and sorted when written; at one tick, meta
// events come first, then programs, controllers and pitch bends, then note-offs, then note-ons, each
// kind in the order it was added.
class TrackWriter {
public:
    void Meta(std::uint32_t tick, std::uint8_t type, const Bytes& data)
    {
        Bytes bytes{0xFF, type};
        PutVariableLength(bytes, static_cast<std::uint32_t>(data.size()));
        bytes.insert(bytes.end(), data.begin(), data.end());
        events.push_back({tick, kMetaOrder, std::move(bytes)});
    }

    void Name(const std::string& name) { Meta(0, 0x03, Bytes(name.begin(), name.end())); }

    void Channel(std::uint32_t tick, std::uint8_t status, std::uint8_t data1)
    {
        events.push_back({tick, kControlOrder, {status, data1}});
    }

    void Channel(std::uint32_t tick, std::uint8_t status, std::uint8_t data1, std::uint8_t data2)
    {
        const bool noteOn = (status & 0xF0) == 0x90;
        const int order = !noteOn ? kControlOrder : data2 == 0 ? kNoteOffOrder : kNoteOnOrder;
        events.push_back({tick, order, {status, data1, data2}});
    }

    // Serialises the track as a "MTrk" chunk ending at endTick, with running status.
    Bytes Chunk(std::uint32_t endTick) const
    {
        std::vector<Entry> sorted = events;
        std::stable_sort(sorted.begin(), sorted.end(), [](const Entry& a, const Entry& b) {
            return a.tick != b.tick ? a.tick < b.tick : a.order < b.order;
        });
        if (!sorted.empty() && sorted.back().tick > endTick) {
            throw std::logic_error("event after the end of the song");
        }
        Bytes body;
        std::uint32_t last = 0;
        std::uint8_t runningStatus = 0;
        for (const Entry& e : sorted) {
            PutVariableLength(body, e.tick - last);
            last = e.tick;
            const std::uint8_t status = e.bytes[0];
            const bool channelMessage = status < 0xF0;
            body.insert(body.end(), e.bytes.begin() + (channelMessage && status == runningStatus ? 1 : 0),
                        e.bytes.end());
            runningStatus = channelMessage ? status : 0;
        }
        PutVariableLength(body, endTick - last);
        body.insert(body.end(), {0xFF, 0x2F, 0x00});

        Bytes chunk{'M', 'T', 'r', 'k'};
        PutBigEndian(chunk, static_cast<std::uint32_t>(body.size()), 4);
        chunk.insert(chunk.end(), body.begin(), body.end());
        return chunk;
    }

private:
    static constexpr int kMetaOrder = 0;
    static constexpr int kControlOrder = 1;
    static constexpr int kNoteOffOrder = 2;
    static constexpr int kNoteOnOrder = 3;

    struct Entry {
        std::uint32_t tick;
        int order;
        Bytes bytes;
    };
    std::vector<Entry> events;
};

Bytes FormatOneFile(const std::vector<Bytes>& trackChunks)
{
    Bytes file{'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 1};
    PutBigEndian(file, static_cast<std::uint32_t>(trackChunks.size()), 2);
    PutBigEndian(file, kDivision, 2);
    for (const Bytes& chunk : trackChunks) {
        file.insert(file.end(), chunk.begin(), chunk.end());
    }
    return file;
}

// Writes beside the target and renames, so an interrupted run never leaves a half-written file.
void WriteFileAtomically(const std::filesystem::path& path, const std::string& content)
{
    const std::filesystem::path temporary = path.string() + ".tmp";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out.write(content.data(), static_cast<std::streamsize>(content.size()));
        out.close();
        if (!out) {
            throw std::runtime_error("cannot write " + temporary.string());
        }
    }
    std::filesystem::rename(temporary, path);
}

// ---------------------------------------------------------------------------------------------
// Bars, meters and chords.

struct Meter {
    int numerator;
    int denominator;
};

struct MeterChange {
    int bar;
    Meter meter;
};

// Bar start ticks from the meter changes and the pickup. Bars count from 1; the pickup bar, when
// there is one, is bar 1.
class BarMap {
public:
    BarMap(int bars, int pickupBeats, const std::vector<MeterChange>& changes)
    {
        std::uint32_t tick = 0;
        for (int bar = 1; bar <= bars; ++bar) {
            Meter meter = changes.front().meter;
            for (const MeterChange& change : changes) {
                if (change.bar <= bar) {
                    meter = change.meter;
                }
            }
            const std::uint32_t beat = BeatTicks(meter);
            const std::uint32_t length =
                (bar == 1 && pickupBeats > 0) ? pickupBeats * beat : meter.numerator * beat;
            starts.push_back(tick);
            meters.push_back(meter);
            tick += length;
        }
        starts.push_back(tick);
    }

    static std::uint32_t BeatTicks(Meter meter) { return 4u * kDivision / meter.denominator; }

    int Bars() const { return static_cast<int>(meters.size()); }
    std::uint32_t Start(int bar) const { return starts.at(bar - 1); }
    std::uint32_t Length(int bar) const { return Start(bar + 1) - Start(bar); }
    std::uint32_t End() const { return starts.back(); }
    Meter MeterOf(int bar) const { return meters.at(bar - 1); }

private:
    std::vector<std::uint32_t> starts;
    std::vector<Meter> meters;
};

// A triad named like "C", "Eb", "F#m": pitch classes of root, third and fifth.
struct Chord {
    int root;
    int third;
    int fifth;

    static Chord Parse(const std::string& name)
    {
        static const std::map<char, int> kLetters{{'C', 0}, {'D', 2}, {'E', 4}, {'F', 5},
                                                  {'G', 7}, {'A', 9}, {'B', 11}};
        int root = kLetters.at(name.at(0));
        std::size_t i = 1;
        if (i < name.size() && (name[i] == 'b' || name[i] == '#')) {
            root += name[i] == 'b' ? 11 : 1;
            ++i;
        }
        root %= 12;
        const bool minor = i < name.size() && name[i] == 'm';
        return {root, (root + (minor ? 3 : 4)) % 12, (root + 7) % 12};
    }

    std::vector<int> PitchClasses() const { return {root, third, fifth}; }
};

// The pitch of pitch class pc in [low, low + 12).
int InWindow(int pc, int low)
{
    return low + ((pc - low) % 12 + 12) % 12;
}

// The chord tones in [low, low + 12), ascending.
std::vector<int> TonesInWindow(const Chord& chord, int low)
{
    std::vector<int> tones;
    for (int pc : chord.PitchClasses()) {
        tones.push_back(InWindow(pc, low));
    }
    std::sort(tones.begin(), tones.end());
    return tones;
}

// ---------------------------------------------------------------------------------------------
// Parts and tracks.

enum class Part { Piano, Bass, Strings, Winds, Drums, Guitar, VocalLead, VocalHarmony, Click };

struct TrackInfo {
    Part part;
    const char* name;
    int port;
    int channel;
    int program;
    int volume;
    int pan;
    bool vocal;
};

// In file order; the ids follow as (port << 4) | channel.
const TrackInfo kTracks[] = {
    {Part::Piano, "Piano", 0, 0, 0, 100, 64, false},
    {Part::Bass, "Bass", 0, 1, 32, 105, 56, false},
    {Part::Strings, "Strings", 0, 2, 48, 90, 40, false},
    {Part::Winds, "Winds", 0, 3, 73, 85, 88, false},
    {Part::Drums, "Drums", 0, 9, 0, 100, 64, false},
    {Part::Guitar, "Guitar", 1, 4, 25, 80, 96, false},
    {Part::VocalLead, "Vocal Lead", 1, 0, 53, 110, 64, true},
    {Part::VocalHarmony, "Vocal Harmony", 1, 1, 54, 95, 70, true},
    {Part::Click, "Click", 1, 9, 0, 100, 64, false},
};

int TrackId(const TrackInfo& info)
{
    return (info.port << 4) | info.channel;
}

const TrackInfo& InfoOf(Part part)
{
    for (const TrackInfo& info : kTracks) {
        if (info.part == part) {
            return info;
        }
    }
    throw std::logic_error("unknown part");
}

// One part's track in a song: channel helpers on top of the track writer.
class PartTrack {
public:
    explicit PartTrack(const TrackInfo& info) : info(info)
    {
        writer.Name(info.name);
        if (info.port != 0) {
            writer.Meta(0, 0x21, {static_cast<std::uint8_t>(info.port)});
        }
        Program(0, info.program);
        Control(0, 7, info.volume);
        Control(0, 10, info.pan);
    }

    void Note(std::uint32_t tick, std::uint32_t length, int pitch, int velocity)
    {
        writer.Channel(tick, Status(0x90), Data(pitch), Data(velocity));
        writer.Channel(tick + length, Status(0x90), Data(pitch), 0);
    }
    void Control(std::uint32_t tick, int controller, int value)
    {
        writer.Channel(tick, Status(0xB0), Data(controller), Data(value));
    }
    void Program(std::uint32_t tick, int program) { writer.Channel(tick, Status(0xC0), Data(program)); }
    void PitchBend(std::uint32_t tick, int value)
    {
        writer.Channel(tick, Status(0xE0), Data(value & 0x7F), Data(value >> 7));
    }

    const TrackWriter& Writer() const { return writer; }

private:
    std::uint8_t Status(int kind) const { return static_cast<std::uint8_t>(kind | info.channel); }
    static std::uint8_t Data(int value)
    {
        if (value < 0 || value > 0x7F) {
            throw std::logic_error("data byte out of range");
        }
        return static_cast<std::uint8_t>(value);
    }

    const TrackInfo& info;
    TrackWriter writer;
};

// ---------------------------------------------------------------------------------------------
// Songs.

struct TempoChange {
    int bar;
    int quarterBpm;
};

struct KeyChange {
    int bar;
    int sharps; // negative for flats
};

struct PageStart {
    int bar;
    int page;
};

class SongTracks;

struct SongPlan {
    std::string number;
    std::string name;
    std::string file;
    bool attacca;
    int pickupBeats;
    std::vector<MeterChange> meters;
    std::vector<TempoChange> tempos;
    std::vector<KeyChange> keys;
    std::vector<PageStart> pages;
    std::vector<std::string> chords; // one per bar, "" where the accompaniment rests
    std::vector<Part> parts;
    std::function<void(SongTracks&)> extras; // the song's own touches; may be empty
};

BarMap BarsOf(const SongPlan& plan)
{
    return BarMap(static_cast<int>(plan.chords.size()), plan.pickupBeats, plan.meters);
}

// The tracks of one song while they are being filled.
class SongTracks {
public:
    explicit SongTracks(const SongPlan& plan)
        : plan(plan), bars(BarsOf(plan))
    {
        for (Part part : plan.parts) {
            tracks.emplace(part, PartTrack(InfoOf(part)));
        }
    }

    const BarMap& Bars() const { return bars; }
    bool Has(Part part) const { return tracks.count(part) != 0; }
    PartTrack& Track(Part part) { return tracks.at(part); }

    // The chord of a bar; none where the accompaniment rests or past the last bar.
    std::optional<Chord> ChordOf(int bar) const
    {
        if (bar < 1 || bar > bars.Bars() || plan.chords.at(bar - 1).empty()) {
            return std::nullopt;
        }
        return Chord::Parse(plan.chords.at(bar - 1));
    }

    Bytes ConductorChunk() const
    {
        TrackWriter conductor;
        conductor.Name(plan.name);
        for (const TempoChange& t : plan.tempos) {
            const auto micros = static_cast<std::uint32_t>(std::lround(60000000.0 / t.quarterBpm));
            Bytes data;
            PutBigEndian(data, micros, 3);
            conductor.Meta(bars.Start(t.bar), 0x51, data);
        }
        for (const MeterChange& m : plan.meters) {
            const std::uint8_t power = static_cast<std::uint8_t>(std::countr_zero(unsigned(m.meter.denominator)));
            const std::uint8_t clocksPerClick = m.meter.denominator == 8 ? 36 : 24;
            conductor.Meta(bars.Start(m.bar), 0x58,
                           {static_cast<std::uint8_t>(m.meter.numerator), power, clocksPerClick, 8});
        }
        for (const KeyChange& k : plan.keys) {
            conductor.Meta(bars.Start(k.bar), 0x59, {static_cast<std::uint8_t>(k.sharps), 0});
        }
        return conductor.Chunk(bars.End());
    }

    std::vector<Bytes> Chunks() const
    {
        std::vector<Bytes> chunks{ConductorChunk()};
        for (const TrackInfo& info : kTracks) {
            if (Has(info.part)) {
                chunks.push_back(tracks.at(info.part).Writer().Chunk(bars.End()));
            }
        }
        return chunks;
    }

private:
    const SongPlan& plan;
    BarMap bars;
    std::map<Part, PartTrack> tracks;
};

// Piano: eighth-note arpeggios over root, third, fifth and octave, with the sustain pedal changed at
// every bar.
void WritePiano(SongTracks& song)
{
    PartTrack& piano = song.Track(Part::Piano);
    const BarMap& bars = song.Bars();
    static const int kPattern[] = {0, 1, 2, 3, 2, 1};
    for (int bar = 1; bar <= bars.Bars(); ++bar) {
        const std::optional<Chord> chord = song.ChordOf(bar);
        if (!chord) {
            continue;
        }
        const int root = InWindow(chord->root, 48);
        const int tones[] = {root, root + (chord->third - chord->root + 12) % 12, root + 7, root + 12};
        piano.Control(bars.Start(bar), 64, 0);
        piano.Control(bars.Start(bar) + 30, 64, 127);
        const std::uint32_t count = bars.Length(bar) / kEighth;
        for (std::uint32_t i = 0; i < count; ++i) {
            piano.Note(bars.Start(bar) + i * kEighth, kEighth - 20, tones[kPattern[i % 6]], i % 2 == 0 ? 80 : 66);
        }
    }
    piano.Control(bars.End() - 20, 64, 0);
}

// Bass: the root on the first beat, the fifth half-way through bars of four quarters or six eighths.
void WriteBass(SongTracks& song)
{
    PartTrack& bass = song.Track(Part::Bass);
    const BarMap& bars = song.Bars();
    for (int bar = 1; bar <= bars.Bars(); ++bar) {
        const std::optional<Chord> chord = song.ChordOf(bar);
        if (!chord) {
            continue;
        }
        const Meter meter = bars.MeterOf(bar);
        const std::uint32_t start = bars.Start(bar);
        const std::uint32_t length = bars.Length(bar);
        if (meter.numerator % 2 == 0) {
            bass.Note(start, length / 2 - 30, InWindow(chord->root, 36), 96);
            bass.Note(start + length / 2, length / 2 - 30, InWindow(chord->fifth, 36), 88);
        } else {
            bass.Note(start, length - 30, InWindow(chord->root, 36), 96);
        }
    }
}

// Strings: the chord in close position; a tone that the next bar's chord shares is held across the
// bar line instead of being struck again.
void WriteStrings(SongTracks& song)
{
    PartTrack& strings = song.Track(Part::Strings);
    const BarMap& bars = song.Bars();
    std::map<int, std::uint32_t> held; // pitch -> start tick
    const auto release = [&](int pitch, std::uint32_t at) {
        strings.Note(held.at(pitch), at - held.at(pitch) - 10, pitch, 72);
        held.erase(pitch);
    };
    for (int bar = 1; bar <= bars.Bars(); ++bar) {
        const std::optional<Chord> chord = song.ChordOf(bar);
        std::set<int> wanted;
        if (chord) {
            const std::vector<int> tones = TonesInWindow(*chord, 55);
            wanted.insert(tones.begin(), tones.end());
        }
        for (auto it = held.begin(); it != held.end();) {
            const int pitch = (it++)->first;
            if (wanted.count(pitch) == 0) {
                release(pitch, bars.Start(bar));
            }
        }
        for (int pitch : wanted) {
            held.emplace(pitch, bars.Start(bar));
        }
    }
    while (!held.empty()) {
        release(held.begin()->first, bars.End());
    }
}

// Winds: chord tones an octave up, one per beat, climbing and turning.
void WriteWinds(SongTracks& song)
{
    PartTrack& winds = song.Track(Part::Winds);
    const BarMap& bars = song.Bars();
    static const int kPattern[] = {0, 1, 2, 1, 0, 2};
    for (int bar = 1; bar <= bars.Bars(); ++bar) {
        const std::optional<Chord> chord = song.ChordOf(bar);
        if (!chord) {
            continue;
        }
        const std::vector<int> tones = TonesInWindow(*chord, 72);
        const std::uint32_t beat = BarMap::BeatTicks(bars.MeterOf(bar));
        const std::uint32_t count = bars.Length(bar) / beat;
        for (std::uint32_t i = 0; i < count; ++i) {
            winds.Note(bars.Start(bar) + i * beat, beat - 40, tones[kPattern[(i + bar) % 6]], 70);
        }
    }
}

// Drums (GM kit): kick, snare and closed hi-hat eighths; a crash on the first and the last bar.
void WriteDrums(SongTracks& song)
{
    constexpr int kKick = 36, kSnare = 38, kHat = 42, kCrash = 49;
    PartTrack& drums = song.Track(Part::Drums);
    const BarMap& bars = song.Bars();
    for (int bar = 1; bar <= bars.Bars(); ++bar) {
        const std::optional<Chord> chord = song.ChordOf(bar);
        if (!chord) {
            continue;
        }
        const Meter meter = bars.MeterOf(bar);
        const std::uint32_t start = bars.Start(bar);
        const std::uint32_t eighths = bars.Length(bar) / kEighth;
        for (std::uint32_t i = 0; i < eighths; ++i) {
            drums.Note(start + i * kEighth, 60, kHat, i % 2 == 0 ? 76 : 60);
        }
        if (bar == 1 || bar == bars.Bars()) {
            drums.Note(start, 240, kCrash, 100);
        }
        if (meter.denominator == 8) { // kick on 1, snare on 4 of the six eighths
            drums.Note(start, 60, kKick, 100);
            drums.Note(start + 3 * kEighth, 60, kSnare, 90);
        } else {
            const std::uint32_t beat = BarMap::BeatTicks(meter);
            for (int b = 0; b < meter.numerator; ++b) {
                const bool kick = b % 2 == 0 && (meter.numerator == 4 || b == 0);
                drums.Note(start + b * beat, 60, kick ? kKick : kSnare, kick ? 100 : 88);
            }
        }
    }
}

// Click: a wood block on every beat of every bar (each eighth of a 6/8 bar is a beat), the high one
// on the bar's first beat.
void WriteClick(SongTracks& song)
{
    constexpr int kHighWoodBlock = 76, kLowWoodBlock = 77;
    PartTrack& click = song.Track(Part::Click);
    const BarMap& bars = song.Bars();
    for (int bar = 1; bar <= bars.Bars(); ++bar) {
        const std::uint32_t beat = BarMap::BeatTicks(bars.MeterOf(bar));
        for (std::uint32_t offset = 0; offset < bars.Length(bar); offset += beat) {
            click.Note(bars.Start(bar) + offset, 60, offset == 0 ? kHighWoodBlock : kLowWoodBlock, offset == 0 ? 110 : 90);
        }
    }
}

// Guitar: strummed chords off the main beat, the strings 10 ticks apart.
void WriteGuitar(SongTracks& song)
{
    PartTrack& guitar = song.Track(Part::Guitar);
    const BarMap& bars = song.Bars();
    for (int bar = 1; bar <= bars.Bars(); ++bar) {
        const std::optional<Chord> chord = song.ChordOf(bar);
        if (!chord) {
            continue;
        }
        const Meter meter = bars.MeterOf(bar);
        const std::uint32_t beat = BarMap::BeatTicks(meter);
        std::vector<std::uint32_t> strums;
        if (meter.denominator == 8) {
            strums = {2 * beat, 5 * beat};
        } else {
            for (int b = 1; b < meter.numerator; b += meter.numerator == 4 ? 2 : 1) {
                strums.push_back(b * beat);
            }
        }
        std::vector<int> tones = TonesInWindow(*chord, 52);
        tones.push_back(tones.front() + 12);
        for (std::uint32_t offset : strums) {
            for (std::size_t s = 0; s < tones.size(); ++s) {
                guitar.Note(bars.Start(bar) + offset + 10 * static_cast<std::uint32_t>(s), beat / 2, tones[s], 64);
            }
        }
    }
}

// Vocal lead: chord tones in a singing range; at every fourth sung bar the last beat takes a tone of
// the next bar's chord and holds it across the bar line to that bar's middle.
void WriteVocalLead(SongTracks& song)
{
    PartTrack& lead = song.Track(Part::VocalLead);
    const BarMap& bars = song.Bars();
    std::uint32_t silentUntil = 0;
    int sung = 0;
    for (int bar = 1; bar <= bars.Bars(); ++bar) {
        const std::optional<Chord> chord = song.ChordOf(bar);
        if (!chord) {
            continue;
        }
        const std::vector<int> tones = TonesInWindow(*chord, 60);
        const Meter meter = bars.MeterOf(bar);
        const std::uint32_t start = bars.Start(bar);
        // (offset, length, tone index) of each note in the bar.
        struct Sung {
            std::uint32_t offset;
            std::uint32_t length;
            int tone;
        };
        std::vector<Sung> notes;
        if (meter.denominator == 8) {
            notes = {{0, 720, 1}, {720, 480, 2}, {1200, 240, 0}};
        } else if (meter.numerator == 3) {
            notes = {{0, 480, 2}, {480, 480, 1}, {960, 480, 0}};
        } else {
            notes = {{0, 480, 1}, {480, 480, 2}, {960, 480, 1}, {1440, 480, 0}};
        }
        const std::optional<Chord> next = song.ChordOf(bar + 1);
        const bool holdOver = ++sung % 4 == 0 && next;
        if (holdOver) {
            notes.pop_back();
        }
        for (const Sung& n : notes) {
            if (start + n.offset >= silentUntil) {
                lead.Note(start + n.offset, n.length - 30, tones[n.tone], 90);
            }
        }
        if (holdOver) {
            const std::vector<int> nextTones = TonesInWindow(*next, 60);
            int pitch = InWindow(next->root, 60);
            for (int t : tones) {
                if (std::find(nextTones.begin(), nextTones.end(), t) != nextTones.end()) {
                    pitch = t; // a tone common to both chords
                }
            }
            const std::uint32_t from = start + bars.Length(bar) - BarMap::BeatTicks(meter);
            silentUntil = bars.Start(bar + 1) + bars.Length(bar + 1) / 2;
            lead.Note(from, silentUntil - from - 30, pitch, 90);
        }
    }
}

// Vocal harmony: the chord's third held for the bar.
void WriteVocalHarmony(SongTracks& song)
{
    PartTrack& harmony = song.Track(Part::VocalHarmony);
    const BarMap& bars = song.Bars();
    for (int bar = 1; bar <= bars.Bars(); ++bar) {
        const std::optional<Chord> chord = song.ChordOf(bar);
        if (chord) {
            harmony.Note(bars.Start(bar), bars.Length(bar) - 30, InWindow(chord->third, 55), 80);
        }
    }
}

void WriteParts(SongTracks& song)
{
    const std::pair<Part, void (*)(SongTracks&)> writers[] = {
        {Part::Piano, WritePiano},   {Part::Bass, WriteBass},           {Part::Strings, WriteStrings},
        {Part::Winds, WriteWinds},   {Part::Drums, WriteDrums},         {Part::Guitar, WriteGuitar},
        {Part::VocalLead, WriteVocalLead}, {Part::VocalHarmony, WriteVocalHarmony}, {Part::Click, WriteClick},
    };
    for (const auto& [part, write] : writers) {
        if (song.Has(part)) {
            write(song);
        }
    }
}

// A bend up to target and back to the centre, in steps over the given span.
void BendAndReturn(PartTrack& track, std::uint32_t from, std::uint32_t span, int target)
{
    constexpr int kSteps = 8;
    for (int i = 1; i <= kSteps; ++i) {
        const int value = kPitchBendCentre + (target - kPitchBendCentre) * i / kSteps;
        track.PitchBend(from + span / 2 * (i - 1) / kSteps, value);
    }
    track.PitchBend(from + span - 1, kPitchBendCentre);
}

std::vector<SongPlan> Plans()
{
    const std::vector<Part> band = {Part::Piano, Part::Bass, Part::Strings, Part::Winds, Part::Drums};
    return {
        {"1",
         "Overture",
         "01_overture.mid",
         true,
         0,
         {{1, {4, 4}}},
         {{1, 120}, {9, 132}},
         {{1, 0}},
         {{1, 1}, {7, 2}},
         {"C", "Am", "F", "G", "C", "Am", "Dm", "G", "F", "G", "C", "C"},
         band,
         {}},
        {"2",
         "Harbour Lights",
         "02_harbour_lights.mid",
         false,
         1,
         {{1, {4, 4}}, {14, {3, 4}}},
         {{1, 96}},
         {{1, 1}},
         {{1, 3}, {8, 4}, {14, 5}},
         {"", "G", "Em", "C", "D", "G", "Em", "Am", "D", "G", "C", "D", "G", "C", "D", "G", "G"},
         {Part::Piano, Part::Bass, Part::Strings, Part::Guitar, Part::VocalLead, Part::VocalHarmony},
         [](SongTracks& song) {
             // The voices' pickup into bar 2, and a guitar bend of a semitone in bar 9.
             song.Track(Part::VocalLead).Note(0, 450, 62, 84);
             song.Track(Part::VocalHarmony).Note(0, 450, 59, 72);
             BendAndReturn(song.Track(Part::Guitar), song.Bars().Start(9), song.Bars().Length(9), 0x3000);
         }},
        {"2A",
         "Harbour Lights (Reprise)",
         "02a_harbour_lights_reprise.mid",
         false,
         0,
         {{1, {6, 8}}},
         {{1, 90}, {15, 80}},
         {{1, 2}, {9, -3}},
         {{1, 6}, {9, 7}},
         {"D", "Bm", "G", "A", "D", "Bm", "A", "D", "Eb", "Cm", "Ab", "Bb", "Eb", "Cm", "Bb", "Eb"},
         {Part::Bass, Part::Strings, Part::Guitar, Part::VocalLead, Part::VocalHarmony},
         {}},
        {"10",
         "Finale",
         "10_finale.mid",
         false,
         0,
         {{1, {4, 4}}, {9, {3, 4}}, {13, {6, 8}}},
         {{1, 112}, {9, 100}, {13, 126}, {20, 96}},
         {{1, -1}, {13, 1}},
         {{1, 8}, {9, 9}, {13, 10}, {17, 11}},
         {"F", "Dm", "Bb", "C", "F", "Dm", "Gm", "C", "F", "Bb", "C", "C", "G", "Em", "C", "D", "G", "Em", "D", "G"},
         {Part::Piano, Part::Bass, Part::Strings, Part::Winds, Part::Drums, Part::Guitar, Part::VocalLead,
          Part::VocalHarmony, Part::Click},
         [](SongTracks& song) {
             const BarMap& bars = song.Bars();
             // Flute to clarinet for the 3/4 section; a bass slide of a whole tone in bar 4.
             song.Track(Part::Winds).Program(bars.Start(9), 71);
             BendAndReturn(song.Track(Part::Bass), bars.Start(4), bars.Length(4), 0x3FFF);
             // The strings swell over the last four bars.
             PartTrack& strings = song.Track(Part::Strings);
             for (int step = 0; step < 8; ++step) {
                 strings.Control(bars.Start(17) + step * (bars.End() - bars.Start(17)) / 8, 7, 90 + step * 4);
             }
         }},
    };
}

std::string ShowJson(const std::vector<SongPlan>& plans)
{
    rapidjson::StringBuffer buffer;
    rapidjson::PrettyWriter<rapidjson::StringBuffer> json(buffer);
    json.SetIndent(' ', 2);
    json.StartObject();
    json.Key("format");
    json.Int(1);
    json.Key("name");
    json.String(kShowName.c_str());
    json.Key("customer");
    json.String(kCustomer.c_str());
    json.Key("songs");
    json.StartArray();
    for (const SongPlan& plan : plans) {
        json.StartObject();
        json.Key("number");
        json.String(plan.number.c_str());
        json.Key("name");
        json.String(plan.name.c_str());
        json.Key("midi");
        json.String(plan.file.c_str());
        json.Key("attacca");
        json.Bool(plan.attacca);
        json.Key("pickup");
        json.Int(plan.pickupBeats);
        json.Key("pages");
        json.StartArray();
        for (const PageStart& page : plan.pages) {
            json.StartObject();
            json.Key("bar");
            json.Int(page.bar);
            json.Key("page");
            json.Int(page.page);
            json.EndObject();
        }
        json.EndArray();
        json.EndObject();
    }
    json.EndArray();
    json.Key("groups");
    json.StartObject();
    for (const bool vocal : {false, true}) {
        json.Key(vocal ? "Vocal Parts" : "Instruments");
        json.StartArray();
        for (const TrackInfo& info : kTracks) {
            if (info.vocal == vocal) {
                json.Int(TrackId(info));
            }
        }
        json.EndArray();
    }
    json.EndObject();
    json.EndObject();
    return std::string(buffer.GetString(), buffer.GetSize()) + "\n";
}

// ---------------------------------------------------------------------------------------------
// The change log and the pictures.

// The key that starts the names of the show's change-log versions.
std::string ShowKey(const std::string& showName)
{
    std::string key;
    for (const char c : showName) {
        key += c == ' ' ? '_' : static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return key;
}

const SongPlan& PlanOf(const std::vector<SongPlan>& plans, const std::string& number)
{
    for (const SongPlan& plan : plans) {
        if (plan.number == number) {
            return plan;
        }
    }
    throw std::logic_error("no song " + number);
}

// Makes the edits of the table above on the show just written to the folder and writes the log.
void WriteChangeLog(const std::filesystem::path& folder, const std::vector<SongPlan>& plans)
{
    const brix_midi::LoadedShow loaded = brix_midi::LoadShowFolder(folder.string());
    CL::Editor editor(loaded.show, loaded.changeLog);
    editor.UpdateNetworks({CL::NetworkPath("Lighting desk", "lights", "127.0.0.1", 53000, false)});
    // The first tick of a bar; bar n + 1 of an n-bar song is the song's end. Ids are left to the
    // editor, which numbers each kind from 1.
    const auto bar = [&](const std::string& song, int number) {
        return BarsOf(PlanOf(plans, song)).Start(number);
    };

    editor.SelectSongLogForEditing("1");
    editor.AddEvent(CL::Vamp(bar("1", 1), bar("1", 3), "", 0));
    editor.AddEvent(CL::Cut(bar("1", 5), bar("1", 9), "", 0));
    editor.AddEvent(CL::Marker(bar("1", 9), "Piu mosso", ""));
    editor.AddEvent(CL::Caesura(bar("1", 12), "", 0));

    editor.SelectSongLogForEditing("2");
    editor.AddEvent(CL::Transpose(bar("2", 1), bar("2", 18), "", -2));
    editor.AddEvent(CL::Click(bar("2", 2), bar("2", 10), "", 16));
    editor.AddEvent(CL::Marker(bar("2", 10), "Chorus", ""));
    editor.AddEvent(CL::Repeat(bar("2", 10), bar("2", 14), "", 2));
    editor.AddEvent(CL::TempoScale(bar("2", 14), bar("2", 18), "", 0.9));
    editor.AddEvent(CL::Osc(bar("2", 14), "", CL::OscProperties("/cue/14/go", "lights")));

    CL::WriteLogDataFile(folder, ShowKey(kShowName), editor.GetChangeLog());
}

// The pages of show.json with the bars each holds.
std::vector<ScorePage> ScorePages(const std::vector<SongPlan>& plans)
{
    std::vector<ScorePage> pages;
    for (const SongPlan& plan : plans) {
        for (std::size_t i = 0; i < plan.pages.size(); ++i) {
            const int lastBar = i + 1 < plan.pages.size() ? plan.pages[i + 1].bar - 1
                                                          : static_cast<int>(plan.chords.size());
            pages.push_back({plan.pages[i].page, plan.number, plan.name, plan.pages[i].bar, lastBar});
        }
    }
    return pages;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::cerr << "usage: make_demo_show <folder>\n";
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    try {
        const QGuiApplication application(argc, argv); // for drawing text
        const std::filesystem::path folder = argv[1];
        std::filesystem::create_directories(folder);
        const std::vector<SongPlan> plans = Plans();
        for (const SongPlan& plan : plans) {
            SongTracks song(plan);
            WriteParts(song);
            if (plan.extras) {
                plan.extras(song);
            }
            const Bytes file = FormatOneFile(song.Chunks());
            WriteFileAtomically(folder / plan.file, std::string(file.begin(), file.end()));
        }
        WriteFileAtomically(folder / "show.json", ShowJson(plans));
        WriteChangeLog(folder, plans);
        WriteFileAtomically(folder / "score.tar", ScoreArchive(kShowName, ScorePages(plans)));
        WriteFileAtomically(folder / "AlbumArtwork.jpg", AlbumArtwork(kShowName, kCustomer));
    } catch (const std::exception& e) {
        std::cerr << "make_demo_show: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
