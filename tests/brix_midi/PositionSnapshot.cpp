#include "PositionSnapshot.h"

#include "HowToPlay.h"

#include <iomanip>
#include <sstream>
#include <stdexcept>

std::string Snapshot(HowToPlay const& model)
{
    std::ostringstream out;
    out << std::setprecision(17);
    unsigned int const t = model.GetTickIndex();
    out << "tick " << t << " bar " << model.GetBarString() << '@' << model.GetBarBeat().tick << " key "
        << model.GetKeyString() << " meter " << model.GetMeterString() << '@' << model.GetMeter().tick << " tempo "
        << model.GetTempo().tick << ' ' << model.GetTempoString() << ' ' << model.GetTempoInteger() << " clock "
        << model.GetClockNumber() << ' ' << model.GetClockTime() << ' ' << model.GetClocksPerClick() << " to end "
        << model.GetClicksToSongEnd() << " 32nds " << model.GetNotated32PerClick() << " page "
        << model.GetPageNumberValue() << " scale " << model.GetTempoScaleValue() << ' ' << model.GetTempoScaleString()
        << " dsp " << model.GetTickIndexOfNextDspEvent() << " transposition " << model.GetTranspositionValue()
        << " at tick " << model.GetClockNumberAtTickIndex(t) << ' ' << model.GetClocksPerClickAtTickIndex(t) << ' '
        << model.GetTempoScaleValueAtTickIndex(t) << ' ' << model.GetTranspositionValueAtTickIndex(t);
    // Sequences that may be empty answer with std::out_of_range.
    auto const optional = [&out](char const* name, auto const& read) {
        out << ' ' << name << ' ';
        try {
            out << read();
        } catch (std::out_of_range const&) {
            out << "(none)";
        }
    };
    optional("marker", [&] { return model.GetMarkerString() + "@" + std::to_string(model.GetMarkerTickIndex()); });
    optional("click", [&] { return model.GetClick().EventId(); });
    optional("tempo scale", [&] { return model.GetTempoScale().EventId(); });
    optional("transpose", [&] { return model.GetTranspose().EventId(); });
    optional("page", [&] { return model.GetPageNumber().tick; });
    return out.str();
}
