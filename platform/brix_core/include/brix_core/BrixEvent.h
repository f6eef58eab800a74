#pragma once

#include <brix_core/EventCodes.h>
#include <brix_core/FileVersion.h>

#include <cstddef>
#include <cstdint>
#include <ostream>
#include <string>
#include <utility>

namespace cmn {
class BinaryReader;
}

namespace CL {

// The sound-effect settings an event can carry: the effect's name.
class SfxProperties {
public:
    SfxProperties() = default;
    explicit SfxProperties(std::string name) : name_(std::move(name)) {}

    const std::string& name() const { return name_; }

    friend bool operator==(const SfxProperties&, const SfxProperties&) = default;

private:
    std::string name_;
};

// The OSC cue an event carries: the message text ("/brix/volume -6" ...) and the network id of the
// destination (CL::NetworkPath) it is sent to.
class OscProperties {
public:
    OscProperties() = default;
    OscProperties(std::string message, std::string networkId)
        : message_(std::move(message)), networkId_(std::move(networkId)) {}

    const std::string& Message() const { return message_; }
    const std::string& NetworkId() const { return networkId_; }

    friend bool operator==(const OscProperties&, const OscProperties&) = default;

private:
    std::string message_;
    std::string networkId_;
};

}  // namespace CL

namespace cmn {

// One change-log event of any kind, as a single value record: the kinds below (CL::Click,
// CL::Marker ...) are constructors over it that add no data, so an event passed or stored by value
// never loses a field. Events are identified by their event id, never by their address.
//
// Regions ("paired events": cut, fermata, vamp, repeat, click, tempo scale, transposition) cover the
// ticks [start, end); single-position events (marker, caesura, OSC cue) have end == start. abs_time()
// is the event's position, its start tick, by which events are ordered and searched.
//
// Fields a kind does not use stay at their defaults (0, 0.0, "", empty properties). To add a field,
// add it here with a default, give it an accessor and extend WriteString, WriteBinary and ReadBinary.
// The setters change the record only; the change-log editor (CL::Editor) checks an edited event
// against the rules of its kind.
class BrixEvent {
public:
    BrixEvent() = default;

    unsigned char code() const { return code_; }
    std::uint32_t abs_time() const { return start_; }
    std::uint32_t start() const { return start_; }
    std::uint32_t end() const { return end_; }
    int int_value() const { return intValue_; }
    double float_value() const { return floatValue_; }
    const std::string& value() const { return stringValue_; }
    const std::string& EventId() const { return eventId_; }
    int VersionTarget() const { return versionTarget_; }
    bool IsPairedEvent() const { return paired_; }
    const CL::SfxProperties& sfx_properties() const { return sfxProperties_; }
    const CL::OscProperties& osc_properties() const { return oscProperties_; }
    // end - start of a region; 0 for a single-position event.
    std::uint32_t GetLengthTicks() const { return end_ - start_; }

    void SetVersionTarget(int target) { versionTarget_ = target; }
    void SetStart(std::uint32_t tick) { start_ = tick; }
    void SetEnd(std::uint32_t tick) { end_ = tick; }
    void SetEventId(std::string eventId) { eventId_ = std::move(eventId); }
    void SetIntValue(int value) { intValue_ = value; }
    void SetFloatValue(double value) { floatValue_ = value; }
    void SetStringValue(std::string value) { stringValue_ = std::move(value); }
    void SetSfxProperties(CL::SfxProperties properties) { sfxProperties_ = std::move(properties); }
    void SetOscProperties(CL::OscProperties properties) { oscProperties_ = std::move(properties); }

    // One line without a line end: the edit name, the id, the position or region and the value the
    // kind uses, e.g. "Click id=L1 start=0 end=1920 int=4", "TempoScale id=F2 start=960 end=1920
    // float=0.9", "Marker id=E1 at=0 text=Intro". Serves fennic::CoutBuffer too (an std::ostream).
    void WriteString(std::ostream& out) const;

    // The binary form, little-endian, no padding (the same for every file version so far):
    //   u8 code, u8 paired (0/1), u32 start, u32 end, i32 int value, f64 float value (IEEE-754 bits),
    //   i32 version target, then five texts, each a u32 length and its bytes: the event id, the
    //   string value, the OSC message, the OSC network id and the sound-effect name.
    void WriteBinary(std::ostream& out, const FileVersion& version) const;
    // Reads what WriteBinary wrote. Throws cmn::BinaryFormatError when the bytes run out or the
    // paired flag is neither 0 nor 1.
    static BrixEvent ReadBinary(BinaryReader& in, const FileVersion& version);
    // The size of the binary form with five empty texts: the least any event takes.
    static constexpr std::size_t kMinimumBinarySize = 1 + 1 + 4 + 4 + 4 + 8 + 4 + 5 * 4;

    friend bool operator==(const BrixEvent&, const BrixEvent&) = default;

protected:
    // Kinds build their event through this.
    BrixEvent(unsigned char code, bool paired, std::uint32_t start, std::uint32_t end,
              std::string eventId);

private:
    unsigned char code_ = 0;
    bool paired_ = false;
    std::uint32_t start_ = 0;
    std::uint32_t end_ = 0;
    int intValue_ = 0;
    double floatValue_ = 0.0;
    std::string stringValue_;
    std::string eventId_;
    int versionTarget_ = 0;
    CL::SfxProperties sfxProperties_;
    CL::OscProperties oscProperties_;
};

}  // namespace cmn

namespace CL {

// A region event [start, end). A start after the end is stored as an empty region at the start.
//
// Every kind can also be made from an event of its code ("read as" the kind): a copy of it with all
// its fields. The change log stores its events that way (CL::SongLog::AddEvent).
class PairedEvent : public cmn::BrixEvent {
protected:
    PairedEvent(unsigned char code, std::uint32_t start, std::uint32_t end, std::string eventId);
    explicit PairedEvent(const cmn::BrixEvent& event) : BrixEvent(event) {}
};

// A click region: the click sounds every int_value() notated 32nd notes.
class Click : public PairedEvent {
public:
    static constexpr unsigned char evt_code = codes::click;
    explicit Click(const cmn::BrixEvent& event) : PairedEvent(event) {}
    Click(std::uint32_t start, std::uint32_t end, std::string eventId, int notated32PerClick);

    // MIDI clocks per click in this region: int_value() × 24 / notated32nds, in integer division,
    // where notated32nds is the meter's notated 32nd notes per 24 MIDI clocks (TL::Meter, usually 8;
    // a 32nd note is then 3 clocks). A value of 0 counts as 8. Example: 2 and 8 give 6 clocks.
    int ClocksPerClick(unsigned char notated32nds) const;
};

// A tempo-scale region: the tempo is multiplied by float_value().
class TempoScale : public PairedEvent {
public:
    static constexpr unsigned char evt_code = codes::tempoScale;
    explicit TempoScale(const cmn::BrixEvent& event) : PairedEvent(event) {}
    TempoScale(std::uint32_t start, std::uint32_t end, std::string eventId, double factor);
};

// A transposition region: int_value() semitones.
class Transpose : public PairedEvent {
public:
    static constexpr unsigned char evt_code = codes::transpose;
    explicit Transpose(const cmn::BrixEvent& event) : PairedEvent(event) {}
    Transpose(std::uint32_t start, std::uint32_t end, std::string eventId, int semitones);
};

// A cut: the region is not played.
class Cut : public PairedEvent {
public:
    static constexpr unsigned char evt_code = codes::cut;
    explicit Cut(const cmn::BrixEvent& event) : PairedEvent(event) {}
    Cut(std::uint32_t start, std::uint32_t end, std::string eventId, int value);
};

// A fermata region (the skip tool's event).
class Fermata : public PairedEvent {
public:
    static constexpr unsigned char evt_code = codes::fermata;
    explicit Fermata(const cmn::BrixEvent& event) : PairedEvent(event) {}
    Fermata(std::uint32_t start, std::uint32_t end, std::string eventId, int value);
};

// A vamp: the region is played int_value() times in all (0: until the operator releases it).
class Vamp : public PairedEvent {
public:
    static constexpr unsigned char evt_code = codes::vamp;
    explicit Vamp(const cmn::BrixEvent& event) : PairedEvent(event) {}
    Vamp(std::uint32_t start, std::uint32_t end, std::string eventId, int count);
};

// A repeat: the region is played int_value() times in all (a count below 1 counts as 1).
class Repeat : public PairedEvent {
public:
    static constexpr unsigned char evt_code = codes::repeat;
    explicit Repeat(const cmn::BrixEvent& event) : PairedEvent(event) {}
    Repeat(std::uint32_t start, std::uint32_t end, std::string eventId, int count);
};

// A caesura: playback stops at the tick and waits.
class Caesura : public cmn::BrixEvent {
public:
    static constexpr unsigned char evt_code = codes::caesura;
    explicit Caesura(const cmn::BrixEvent& event) : BrixEvent(event) {}
    Caesura(std::uint32_t tick, std::string eventId, int value);
};

// A named place in the song; value() is its text.
class Marker : public cmn::BrixEvent {
public:
    static constexpr unsigned char evt_code = codes::marker;
    Marker(std::uint32_t tick, std::string text, std::string eventId);
    // An event read as a marker: a copy of it whose value() is the marker's text.
    explicit Marker(const cmn::BrixEvent& event);
};

// An OSC cue: when playback passes the tick, osc_properties() is sent to its network destination.
class Osc : public cmn::BrixEvent {
public:
    static constexpr unsigned char evt_code = codes::osc;
    Osc(std::uint32_t tick, std::string eventId, OscProperties properties);
    explicit Osc(const cmn::BrixEvent& event) : BrixEvent(event) {}
};

// A copy of an event, all fields kept (events are values; the copy is independent of the original).
cmn::BrixEvent CopyBrixEvent(const cmn::BrixEvent& event);

}  // namespace CL
