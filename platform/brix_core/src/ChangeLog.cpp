#include <brix_core/ChangeLog.h>

#include <fennic/CoutBuffer.h>

#include <algorithm>
#include <mutex>
#include <stdexcept>

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

void ChangeLog::AddSongLog(SongLog songLog) {
    const bool taken = std::any_of(songLogs_.begin(), songLogs_.end(), [&](const SongLog& log) {
        return log.GetSongNumber() == songLog.GetSongNumber();
    });
    if (taken) {
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
