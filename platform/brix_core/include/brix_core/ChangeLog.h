#pragma once

#include <brix_core/BRIXSequence.h>
#include <brix_core/BRIXVersion.h>
#include <brix_core/BrixEvent.h>
#include <brix_core/NetworkPath.h>
#include <brix_core/OutputPath.h>

#include <cstdint>
#include <map>
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

    friend bool operator==(const MarkerSequence& a, const MarkerSequence& b) {
        return a.markers_ == b.markers_;
    }

private:
    friend class SongLog;  // edits the markers with the other kinds

    std::vector<Marker> markers_;
};

// The change log of one song: its click, tempo-scale and transposition regions, its markers, the
// events that steer the road through the song (cuts, repeats, vamps, fermatas, caesuras) and its OSC
// cues, each kind kept in abs_time() order (an event added at a position already taken goes after the
// events there), plus the song's number and name. Not thread-safe; a loaded log is only read.
//
// The kinds, in the order GetAllEvents and the change-log file list them: click, tempo scale,
// transposition, marker, cut, repeat, vamp, fermata, caesura, OSC cue.
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
    // The caesuras the timeline draws: every caesura, whatever product its version target names.
    const std::vector<Caesura>& GetDisplayCaesurasRef() const { return caesuras_; }
    const std::vector<Osc>& GetOscs() const { return oscs_; }
    const std::string& GetSongNumber() const { return songNumber_; }
    const std::string& GetSongName() const { return songName_; }
    void SetSongName(std::string songName) { songName_ = std::move(songName); }

    void AddClick(const Click& click);
    void AddTempoScale(const TempoScale& tempoScale);
    void AddTranspose(const Transpose& transpose);
    void AddMarker(const Marker& marker) { markers_.Add(marker); }
    void AddCut(const Cut& cut);
    void AddRepeat(const Repeat& repeat);
    void AddVamp(const Vamp& vamp);
    void AddFermata(const Fermata& fermata);
    void AddCaesura(const Caesura& caesura);
    void AddOsc(const Osc& osc);

    // Adds an event of any kind, read as the kind of its code. Throws std::invalid_argument for a
    // code that is no change-log kind.
    void AddEvent(const cmn::BrixEvent& event);
    // Removes the event with that id; false when the log has none.
    bool RemoveEvent(const std::string& eventId);
    // The event with that id; null when the log has none. Valid until the log changes.
    const cmn::BrixEvent* FindEvent(const std::string& eventId) const;
    // Every event, kind by kind in the order above, each kind in its stored order.
    std::vector<cmn::BrixEvent> GetAllEvents() const;

    friend bool operator==(const SongLog&, const SongLog&) = default;

private:
    // Calls visit(sequence) for the stored sequence (a std::vector of the kind) of each kind, in the
    // order above. Self is SongLog or const SongLog.
    template <class Self, class Visitor>
    static void VisitKinds(Self& log, Visitor&& visit);

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
    std::vector<Osc> oscs_;
};

// The change log of a show: one song log per song, in the show's song order (the order the player
// follows from song to song); the show's OSC network destinations and output paths (by id; the
// devices of a path belong to the machine, not to the log); the version; and the modification time of
// the file it was read from, in seconds since the Unix epoch (0 when it was not read from a file).
// A new change log is empty and has version 1.0.
class ChangeLog {
public:
    const std::vector<SongLog>& GetSongLogs() const { return songLogs_; }
    // Throws std::invalid_argument when the log already has a song of that number.
    void AddSongLog(SongLog songLog);
    // Throws std::out_of_range naming the song when the log has no song of that number.
    const SongLog& GetSongLog(const std::string& songNumber) const;
    SongLog& GetSongLog(const std::string& songNumber);
    bool HasSongLog(const std::string& songNumber) const;

    const NetworkPathVectorT& GetNetworks() const { return networks_; }
    void SetNetworks(NetworkPathVectorT networks) { networks_ = std::move(networks); }
    const std::map<std::string, OutputPath>& GetOutputPaths() const { return outputPaths_; }
    // Adds the path, or replaces the one with its id.
    void SetOutputPath(const OutputPath& path) { outputPaths_[path.GetId()] = path; }
    // False when the log has no path of that id.
    bool RemoveOutputPath(const std::string& id) { return outputPaths_.erase(id) > 0; }

    const cmn::BRIXVersion& GetVersion() const { return version_; }
    void SetVersion(const cmn::BRIXVersion& version) { version_ = version; }
    std::int64_t GetModificationTime() const { return modificationTime_; }
    void SetModificationTime(std::int64_t secondsSinceEpoch) { modificationTime_ = secondsSinceEpoch; }

    friend bool operator==(const ChangeLog&, const ChangeLog&) = default;

private:
    std::vector<SongLog> songLogs_;
    NetworkPathVectorT networks_;
    std::map<std::string, OutputPath> outputPaths_;
    cmn::BRIXVersion version_{1, 0};
    std::int64_t modificationTime_ = 0;
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
