#include "TimeCodeReference.h"

#include <iterator>
#include <vector>

TimeCodePoint::TimeCodePoint(unsigned int tick, double secondsAtTick, double lengthOfTick)
    : tickIndex(tick), seconds(secondsAtTick), secondsPerTick(lengthOfTick) {}

SongTimeCodeReference::SongTimeCodeReference(double startSeconds, const TL::Timeline& timeline,
                                             unsigned int resolution) {
    std::vector<TL::Tempo> tempos = timeline.GetTempos();
    if (tempos.empty()) {
        tempos.emplace_back();
    }
    unsigned int previousTick = 0;
    double secondsPerTick = 0.0;
    double seconds = startSeconds;
    for (const TL::Tempo& tempo : tempos) {
        const unsigned int ticksSincePrevious = tempo.tick - previousTick;
        seconds += static_cast<double>(ticksSincePrevious) * secondsPerTick;
        previousTick = tempo.tick;
        secondsPerTick = tempo.tick_time(static_cast<unsigned short>(resolution));
        points.insert_or_assign(tempo.tick, TimeCodePoint(tempo.tick, seconds, secondsPerTick));
    }
    songEndSeconds = GetTimeCodeAtTickIndex(timeline.GetLastTickIndex()).GetSeconds();
}

TimeCodePoint SongTimeCodeReference::GetTimeCodeAtTickIndex(unsigned int tickIndex) const {
    if (points.empty()) {
        return TimeCodePoint(tickIndex, 0.0, 0.0);
    }
    auto after = points.upper_bound(tickIndex);
    if (after == points.begin()) {
        const TimeCodePoint& first = after->second;
        return TimeCodePoint(tickIndex, first.GetSeconds(), first.GetSecondsPerTick());
    }
    const TimeCodePoint& point = std::prev(after)->second;
    const unsigned int ticksSincePoint = tickIndex - point.GetTickIndex();
    return TimeCodePoint(tickIndex, point.GetSeconds() + static_cast<double>(ticksSincePoint) * point.GetSecondsPerTick(),
                         point.GetSecondsPerTick());
}

ShowTimeCodeReference::ShowTimeCodeReference(const brix_midi::ShowData& show) {
    double start = 0.0;
    for (const auto& [songKey, song] : show.GetSongs()) {
        SongTimeCodeReference reference(start, song->GetTimeline(), song->GetResolution());
        start = reference.GetSongEndSeconds();
        songs.insert_or_assign(songKey, std::move(reference));
    }
}

SongTimeCodeReference& ShowTimeCodeReference::Get(const std::string& songKey) {
    return songs[songKey];
}
