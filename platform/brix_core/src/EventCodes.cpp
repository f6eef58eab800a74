#include <brix_core/EventCodes.h>

#include <algorithm>
#include <iterator>

namespace codes {

const std::map<unsigned char, std::string> editNameByBrixEventCode{
    {vamp, "Vamp"},           {repeat, "Repeat"},   {cut, "Cut"},         {transpose, "Transpose"},
    {marker, "Marker"},       {tempoScale, "TempoScale"}, {click, "Click"}, {fermata, "Fermata"},
    {caesura, "Caesura"},     {osc, "Osc"},         {barsBeats, "BarsBeats"}, {key, "Key"},
    {meter, "Meter"},         {pageNum, "PageNum"}, {tempo, "Tempo"},
};

bool IsChangeLogCode(int code) {
    return std::find(std::begin(changeLogCodes), std::end(changeLogCodes), code) !=
           std::end(changeLogCodes);
}

bool IsRegionCode(int code) {
    return IsChangeLogCode(code) && code != marker && code != caesura && code != osc;
}

std::string EditName(unsigned char code) {
    const auto found = editNameByBrixEventCode.find(code);
    return found == editNameByBrixEventCode.end() ? std::string() : found->second;
}

}  // namespace codes
