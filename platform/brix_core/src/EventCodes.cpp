#include <brix_core/EventCodes.h>

namespace codes {

const std::map<unsigned char, std::string> editNameByBrixEventCode{
    {vamp, "Vamp"},           {repeat, "Repeat"},   {cut, "Cut"},         {transpose, "Transpose"},
    {marker, "Marker"},       {tempoScale, "TempoScale"}, {click, "Click"}, {fermata, "Fermata"},
    {caesura, "Caesura"},     {osc, "Osc"},         {barsBeats, "BarsBeats"}, {key, "Key"},
    {meter, "Meter"},         {pageNum, "PageNum"}, {tempo, "Tempo"},
};

std::string EditName(unsigned char code) {
    const auto found = editNameByBrixEventCode.find(code);
    return found == editNameByBrixEventCode.end() ? std::string() : found->second;
}

}  // namespace codes
