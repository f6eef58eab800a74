#include <brix_core/Timeline.h>

#include <algorithm>
#include <cstring>

namespace TL {

BarsBeats::BarsBeats(std::uint32_t tickIndex, std::uint32_t barNumber, std::uint32_t beatInBar)
    : tick(tickIndex), beat(beatInBar) {
    const std::string label = std::to_string(barNumber);  // at most 10 digits; 8 kept
    std::memcpy(bar.data(), label.data(), std::min(label.size(), bar.size()));
}

std::string BarsBeats::bar_number() const {
    return std::string(bar.data(), strnlen(bar.data(), bar.size()));
}

void BarsBeats::WriteString(std::ostream& out) const {
    out << "BarsBeats tick=" << tick << " bar=" << bar_number() << " beat=" << beat;
}

Key::Key(std::uint32_t tickIndex, std::int16_t minorMode, std::int16_t sharpsOrFlats)
    : tick(tickIndex), mode(minorMode), sharpsFlats(sharpsOrFlats) {}

void Key::WriteString(std::ostream& out) const {
    out << "Key tick=" << tick << " mode=" << mode << " sharpsFlats=" << sharpsFlats;
}

Meter::Meter(std::uint32_t tickIndex, std::uint8_t num, std::uint8_t denom,
             std::uint8_t clocksPerClick, std::uint8_t notated32nds)
    : tick(tickIndex), numerator(num), denominator(denom), clocks_per_click(clocksPerClick),
      notated_32nds(notated32nds) {}

void Meter::WriteString(std::ostream& out) const {
    out << "Meter tick=" << tick << ' ' << as_string(*this)
        << " clocksPerClick=" << unsigned{clocks_per_click}
        << " notated32nds=" << unsigned{notated_32nds};
}

PageNum::PageNum(std::uint32_t tickIndex, std::int32_t pageNumber)
    : tick(tickIndex), page(pageNumber) {}

void PageNum::WriteString(std::ostream& out) const {
    out << "PageNum tick=" << tick << " page=" << page;
}

Tempo::Tempo(std::uint32_t tickIndex, std::uint32_t usPerQuarter)
    : tick(tickIndex), microsecondsPerQuarter(usPerQuarter) {}

double Tempo::seconds_per_clock() const {
    return microsecondsPerQuarter / 1e6 / 24.0;
}

double Tempo::bpm(unsigned char clocksPerClick) const {
    if (clocksPerClick == 0 || microsecondsPerQuarter == 0) {
        return 0.0;
    }
    return 60.0 / (seconds_per_clock() * clocksPerClick);
}

double Tempo::tick_time(unsigned short resolution) const {
    return resolution == 0 ? 0.0 : microsecondsPerQuarter / 1e6 / resolution;
}

void Tempo::WriteString(std::ostream& out) const {
    out << "Tempo tick=" << tick << " usPerQuarter=" << microsecondsPerQuarter
        << " bpm=" << bpm(24);
}

std::string as_string(const BarsBeats& barsBeats) {
    return barsBeats.bar_number() + ":" + std::to_string(barsBeats.beat);
}

std::string as_string(const Meter& meter) {
    return std::to_string(meter.numerator) + "/" + std::to_string(meter.denominator);
}

namespace {

template <class T>
void InsertByTick(std::vector<T>& records, const T& record) {
    const auto after = std::upper_bound(records.begin(), records.end(), record.tick,
                                        [](std::uint32_t tick, const T& r) { return tick < r.tick; });
    records.insert(after, record);
}

}  // namespace

void Timeline::Add(const BarsBeats& record) { InsertByTick(barsBeats_, record); }
void Timeline::Add(const Meter& record) { InsertByTick(meters_, record); }
void Timeline::Add(const Tempo& record) { InsertByTick(tempos_, record); }
void Timeline::Add(const Key& record) { InsertByTick(keys_, record); }
void Timeline::Add(const PageNum& record) { InsertByTick(pageNums_, record); }

}  // namespace TL
