#include <brix_core/ChangeLog.h>

#include <fennic/CoutBuffer.h>

#include <algorithm>
#include <mutex>
#include <stdexcept>
#include <type_traits>
#include <utility>

namespace CL {

namespace {

template <class T>
void InsertByPosition(std::vector<T>& events, const T& event) {
    const auto after = std::upper_bound(
        events.begin(), events.end(), event.abs_time(),
        [](std::uint32_t tick, const T& e) { return tick < e.abs_time(); });
    events.insert(after, event);
}

}  // namespace

void MarkerSequence::Add(const Marker& marker) { InsertByPosition(markers_, marker); }

void MarkerSequence::WriteBinary(std::ostream& out, const cmn::FileVersion& version) const {
    WriteBinaryHeader(out);
    for (const Marker& marker : markers_) {
        marker.WriteBinary(out, version);
    }
}

void MarkerSequence::WriteSummary(fennic::CoutBuffer& out) const { WriteSummaryText(out); }

void MarkerSequence::WriteSummary(std::ostream& out) const { WriteSummaryText(out); }

void MarkerSequence::WriteEvents(fennic::CoutBuffer& out, unsigned int indent) const {
    WriteEvents(static_cast<std::ostream&>(out), indent);
}

void MarkerSequence::WriteEvents(std::ostream& out, unsigned int indent) const {
    WriteSummaryLine(out, indent);
    for (const Marker& marker : markers_) {
        out << std::string(indent + 1, '\t');
        marker.WriteString(out);
        out << fennic::endl;
    }
}

SongLog::SongLog(std::string songNumber, std::string songName)
    : songNumber_(std::move(songNumber)), songName_(std::move(songName)) {}

void SongLog::AddClick(const Click& click) { InsertByPosition(clicks_, click); }

void SongLog::AddTempoScale(const TempoScale& tempoScale) {
    InsertByPosition(tempoScales_, tempoScale);
}

void SongLog::AddTranspose(const Transpose& transpose) {
    InsertByPosition(transpositions_, transpose);
}

void SongLog::AddCut(const Cut& cut) { InsertByPosition(cuts_, cut); }

void SongLog::AddRepeat(const Repeat& repeat) { InsertByPosition(repeats_, repeat); }

void SongLog::AddVamp(const Vamp& vamp) { InsertByPosition(vamps_, vamp); }

void SongLog::AddFermata(const Fermata& fermata) { InsertByPosition(fermatas_, fermata); }

void SongLog::AddCaesura(const Caesura& caesura) { InsertByPosition(caesuras_, caesura); }

void SongLog::AddOsc(const Osc& osc) { InsertByPosition(oscs_, osc); }

template <class Self, class Visitor>
void SongLog::VisitKinds(Self& log, Visitor&& visit) {
    visit(log.clicks_);
    visit(log.tempoScales_);
    visit(log.transpositions_);
    visit(log.markers_.markers_);
    visit(log.cuts_);
    visit(log.repeats_);
    visit(log.vamps_);
    visit(log.fermatas_);
    visit(log.caesuras_);
    visit(log.oscs_);
}

void SongLog::AddEvent(const cmn::BrixEvent& event) {
    bool added = false;
    VisitKinds(*this, [&](auto& events) {
        using Kind = typename std::decay_t<decltype(events)>::value_type;
        if (Kind::evt_code == event.code()) {
            InsertByPosition(events, Kind(event));
            added = true;
        }
    });
    if (!added) {
        throw std::invalid_argument("code " + std::to_string(event.code()) +
                                    " is no kind of change-log event");
    }
}

bool SongLog::RemoveEvent(const std::string& eventId) {
    bool removed = false;
    VisitKinds(*this, [&](auto& events) {
        removed = std::erase_if(events, [&](const cmn::BrixEvent& e) {
                      return e.EventId() == eventId;
                  }) > 0 || removed;
    });
    return removed;
}

const cmn::BrixEvent* SongLog::FindEvent(const std::string& eventId) const {
    const cmn::BrixEvent* found = nullptr;
    VisitKinds(*this, [&](const auto& events) {
        for (const cmn::BrixEvent& event : events) {
            if (found == nullptr && event.EventId() == eventId) {
                found = &event;
            }
        }
    });
    return found;
}

std::vector<cmn::BrixEvent> SongLog::GetAllEvents() const {
    std::vector<cmn::BrixEvent> all;
    VisitKinds(*this, [&](const auto& events) { all.insert(all.end(), events.begin(), events.end()); });
    return all;
}

void ChangeLog::AddSongLog(SongLog songLog) {
    if (HasSongLog(songLog.GetSongNumber())) {
        throw std::invalid_argument("change log already has song " + songLog.GetSongNumber());
    }
    songLogs_.push_back(std::move(songLog));
}

const SongLog& ChangeLog::GetSongLog(const std::string& songNumber) const {
    for (const SongLog& log : songLogs_) {
        if (log.GetSongNumber() == songNumber) {
            return log;
        }
    }
    throw std::out_of_range("change log has no song " + songNumber);
}

SongLog& ChangeLog::GetSongLog(const std::string& songNumber) {
    return const_cast<SongLog&>(std::as_const(*this).GetSongLog(songNumber));
}

bool ChangeLog::HasSongLog(const std::string& songNumber) const {
    return std::any_of(songLogs_.begin(), songLogs_.end(),
                       [&](const SongLog& log) { return log.GetSongNumber() == songNumber; });
}

}  // namespace CL

namespace {

std::mutex activeChangeLogMutex;

std::shared_ptr<const CL::ChangeLog>& ActiveChangeLog() {
    static std::shared_ptr<const CL::ChangeLog> active = std::make_shared<CL::ChangeLog>();
    return active;
}

}  // namespace

std::shared_ptr<const CL::ChangeLog> ActiveChangeLogShared::Get() {
    std::lock_guard lock(activeChangeLogMutex);
    return ActiveChangeLog();
}

void ActiveChangeLogShared::Set(std::shared_ptr<const CL::ChangeLog> changeLog) {
    if (!changeLog) {
        changeLog = std::make_shared<CL::ChangeLog>();
    }
    {
        std::lock_guard lock(activeChangeLogMutex);
        ActiveChangeLog().swap(changeLog);
    }
    // changeLog now holds the previous log, released here outside the lock.
}
