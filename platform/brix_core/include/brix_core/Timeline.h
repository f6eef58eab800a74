#pragma once

#include <brix_core/EventCodes.h>

#include <array>
#include <cstdint>
#include <ostream>
#include <string>
#include <type_traits>
#include <vector>

// The musical timeline of one song: fixed-width records, each beginning with its tick index, and the
// TL::Timeline that holds them in tick order. The records are written raw (little-endian on every
// platform we build for), so their layout and size are fixed and checked below.
//
// Every record has WriteString(std::ostream&), which also serves a fennic::CoutBuffer (it is an
// std::ostream); the text is one line without a line end.
namespace TL {

// One beat of a bar. 16 bytes: tick, bar label (8 characters, NUL-padded: "0" is a pickup bar,
// then "1", "2" ...), beat within the bar (1 = first beat of the bar).
struct BarsBeats {
    std::uint32_t tick = 0;
    std::array<char, 8> bar{};
    std::uint32_t beat = 0;

    static constexpr unsigned char evt_code = codes::barsBeats;

    BarsBeats() = default;
    BarsBeats(std::uint32_t tickIndex, std::uint32_t barNumber, std::uint32_t beatInBar);

    // The bar's label, e.g. "12".
    std::string bar_number() const;
    void WriteString(std::ostream& out) const;
};

// A key signature. 8 bytes: tick, mode (0 major, 1 minor), sharps (> 0) or flats (< 0).
// Keys::getTransposedName takes the second field first: getTransposedName(sharpsFlats, mode, ...).
struct Key {
    std::uint32_t tick = 0;
    std::int16_t mode = 0;
    std::int16_t sharpsFlats = 0;

    static constexpr unsigned char evt_code = codes::key;

    Key() = default;
    Key(std::uint32_t tickIndex, std::int16_t minorMode, std::int16_t sharpsOrFlats);

    void WriteString(std::ostream& out) const;
};

// A time signature. 8 bytes: tick, numerator, denominator (the note value: 4 = quarter), MIDI clocks
// per click, and the notated 32nd notes per 24 MIDI clocks as the file's time signature gives it
// (8 in ordinary files). CL::Click::ClocksPerClick divides by that last value.
struct Meter {
    std::uint32_t tick = 0;
    std::uint8_t numerator = 4;
    std::uint8_t denominator = 4;
    std::uint8_t clocks_per_click = 24;
    std::uint8_t notated_32nds = 8;

    static constexpr unsigned char evt_code = codes::meter;

    Meter() = default;
    Meter(std::uint32_t tickIndex, std::uint8_t num, std::uint8_t denom, std::uint8_t clocksPerClick,
          std::uint8_t notated32nds);

    unsigned char notated_32_per_click() const { return notated_32nds; }
    void WriteString(std::ostream& out) const;
};

// A score page that starts at a tick. 8 bytes: tick, page number.
struct PageNum {
    std::uint32_t tick = 0;
    std::int32_t page = 0;

    static constexpr unsigned char evt_code = codes::pageNum;

    PageNum() = default;
    PageNum(std::uint32_t tickIndex, std::int32_t pageNumber);

    void WriteString(std::ostream& out) const;
};

// A tempo. 8 bytes: tick, microseconds per quarter note (24 MIDI clocks).
struct Tempo {
    std::uint32_t tick = 0;
    std::uint32_t microsecondsPerQuarter = 500000;

    static constexpr unsigned char evt_code = codes::tempo;

    Tempo() = default;
    Tempo(std::uint32_t tickIndex, std::uint32_t usPerQuarter);

    // Seconds of one MIDI clock (a 24th of a quarter note).
    double seconds_per_clock() const;
    // Clicks per minute for a click of clocksPerClick MIDI clocks (24: quarter notes per minute).
    // 0 for a click of 0 clocks.
    double bpm(unsigned char clocksPerClick) const;
    // Seconds of one tick at a resolution in ticks per quarter note; 0 for a resolution of 0.
    double tick_time(unsigned short resolution) const;
    void WriteString(std::ostream& out) const;
};

static_assert(sizeof(BarsBeats) == 16 && std::is_trivially_copyable_v<BarsBeats>);
static_assert(sizeof(Key) == 8 && std::is_trivially_copyable_v<Key>);
static_assert(sizeof(Meter) == 8 && std::is_trivially_copyable_v<Meter>);
static_assert(sizeof(PageNum) == 8 && std::is_trivially_copyable_v<PageNum>);
static_assert(sizeof(Tempo) == 8 && std::is_trivially_copyable_v<Tempo>);

// Short texts for displays: "12:3" (bar:beat) and "6/8".
std::string as_string(const BarsBeats& barsBeats);
std::string as_string(const Meter& meter);

// A song's timeline: the five kinds of record, each kept sorted by tick (a record added at a tick that
// is already present goes after the records there), and the song's last tick index.
// Not thread-safe; a loaded timeline is only read.
class Timeline {
public:
    const std::vector<BarsBeats>& GetBarsBeats() const { return barsBeats_; }
    const std::vector<Meter>& GetMeters() const { return meters_; }
    const std::vector<Tempo>& GetTempos() const { return tempos_; }
    const std::vector<Key>& GetKeys() const { return keys_; }
    const std::vector<PageNum>& GetPageNums() const { return pageNums_; }

    std::uint32_t GetLastTickIndex() const { return lastTickIndex_; }
    void SetLastTickIndex(std::uint32_t tick) { lastTickIndex_ = tick; }

    void Add(const BarsBeats& record);
    void Add(const Meter& record);
    void Add(const Tempo& record);
    void Add(const Key& record);
    void Add(const PageNum& record);

private:
    std::vector<BarsBeats> barsBeats_;
    std::vector<Meter> meters_;
    std::vector<Tempo> tempos_;
    std::vector<Key> keys_;
    std::vector<PageNum> pageNums_;
    std::uint32_t lastTickIndex_ = 0;
};

}  // namespace TL
