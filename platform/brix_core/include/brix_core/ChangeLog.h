#pragma once

#include <brix_core/BRIXSequence.h>
#include <brix_core/BrixEvent.h>

#include <memory>
#include <string>
#include <vector>

namespace CL {

// The markers of one song, in position order.
class MarkerSequence : public cmn::BRIXSequence {
public:
    // Inserts after the markers at the same or an earlier position.
    void Add(const Marker& marker);
    const std::vector<Marker>& GetMarkers() const { return markers_; }

    unsigned char code() const override { return Marker::evt_code; }
    void WriteBinary(std::ostream& out, const cmn::FileVersion& version) const override;
    std::size_t GetEventCount() const override { return markers_.size(); }
    void WriteSummary(fennic::CoutBuffer& out) const override;
    void WriteSummary(std::ostream& out) const override;
    void WriteEvents(fennic::CoutBuffer& out, unsigned int indent) const override;
    void WriteEvents(std::ostream& out, unsigned int indent) const override;

private:
    std::vector<Marker> markers_;
};

// The change log of one song: its click, tempo-scale and transposition regions, its markers, and the
// events that steer the road through the song (cuts, repeats, vamps, fermatas, caesuras), each kept in
// abs_time() order (an event added at a position already taken goes after the events there), plus the
// song's number and name. Not thread-safe; a loaded log is only read.
class SongLog {
public:
    SongLog() = default;
    SongLog(std::string songNumber, std::string songName);

    const std::vector<Click>& GetClicks() const { return clicks_; }
    const std::vector<TempoScale>& GetTempoScales() const { return tempoScales_; }
    const std::vector<Transpose>& GetTranspositions() const { return transpositions_; }
    const MarkerSequence& GetMarkers() const { return markers_; }
    const std::vector<Cut>& GetCuts() const { return cuts_; }
    const std::vector<Repeat>& GetRepeats() const { return repeats_; }
    const std::vector<Vamp>& GetVamps() const { return vamps_; }
    const std::vector<Fermata>& GetFermatas() const { return fermatas_; }
    const std::vector<Caesura>& GetCaesuras() const { return caesuras_; }
    const std::string& GetSongNumber() const { return songNumber_; }
    const std::string& GetSongName() const { return songName_; }

    void AddClick(const Click& click);
    void AddTempoScale(const TempoScale& tempoScale);
    void AddTranspose(const Transpose& transpose);
    void AddMarker(const Marker& marker) { markers_.Add(marker); }
    void AddCut(const Cut& cut);
    void AddRepeat(const Repeat& repeat);
    void AddVamp(const Vamp& vamp);
    void AddFermata(const Fermata& fermata);
    void AddCaesura(const Caesura& caesura);

private:
    std::string songNumber_;
    std::string songName_;
    std::vector<Click> clicks_;
    std::vector<TempoScale> tempoScales_;
    std::vector<Transpose> transpositions_;
    MarkerSequence markers_;
    std::vector<Cut> cuts_;
    std::vector<Repeat> repeats_;
    std::vector<Vamp> vamps_;
    std::vector<Fermata> fermatas_;
    std::vector<Caesura> caesuras_;
};

// The change log of a show: one song log per song, in the show's song order (the order the player
// follows from song to song).
class ChangeLog {
public:
    const std::vector<SongLog>& GetSongLogs() const { return songLogs_; }
    // Throws std::invalid_argument when the log already has a song of that number.
    void AddSongLog(SongLog songLog);
    // Throws std::out_of_range naming the song when the log has no song of that number.
    const SongLog& GetSongLog(const std::string& songNumber) const;

private:
    std::vector<SongLog> songLogs_;
};

}  // namespace CL

// The active change log of the process. Get() gives a snapshot: a change log set later does not change
// one already taken. Before any Set (or after Set(nullptr)) it is an empty change log, never null.
// Thread-safe.
class ActiveChangeLogShared {
public:
    static std::shared_ptr<const CL::ChangeLog> Get();
    static void Set(std::shared_ptr<const CL::ChangeLog> changeLog);
};
