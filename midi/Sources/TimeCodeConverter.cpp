#include "TimeCodeConverter.h"

TimeCodeConverter::TimeCodeConverter(const brix_midi::ShowData& show) : showReference(show) {}

TimeCodeConverter::TimeCodeConverter(const TimeCodeConverter& other)
    : showReference(other.showReference),
      currentSong(FindSameSong(other.showReference, other.currentSong)),
      resolution(other.resolution) {}

TimeCodeConverter& TimeCodeConverter::operator=(const TimeCodeConverter& other) {
    if (this != &other) {
        showReference = other.showReference;
        currentSong = FindSameSong(other.showReference, other.currentSong);
        resolution = other.resolution;
    }
    return *this;
}

SongTimeCodeReference* TimeCodeConverter::FindSameSong(const ShowTimeCodeReference& otherReference,
                                                       const SongTimeCodeReference* song) {
    if (song == nullptr) {
        return nullptr;
    }
    for (const auto& [songKey, reference] : otherReference.songs) {
        if (&reference == song) {
            return &showReference.Get(songKey);
        }
    }
    return nullptr;
}

void TimeCodeConverter::UpdateToNewSong(const std::string& songKey, unsigned int ticksPerQuarter) {
    resolution = ticksPerQuarter;
    currentSong = &showReference.Get(songKey);
}

double TimeCodeConverter::ConvertTickIndexToSeconds(unsigned int tickIndex) const {
    if (currentSong == nullptr) {
        return 0.0;
    }
    return currentSong->GetTimeCodeAtTickIndex(tickIndex).GetSeconds();
}

std::pair<double, double> TimeCodeConverter::GetTimeCodeSecondsPair(unsigned int tickIndex) const {
    return {ConvertTickIndexToSeconds(tickIndex), ConvertTickIndexToSeconds(tickIndex + resolution / 24)};
}
