#include <brix_core/BrixEvent.h>

#include <brix_core/BinaryReader.h>

#include "LittleEndian.h"

#include <algorithm>
#include <bit>

using brix_core_detail::WriteLengthAndBytes;
using brix_core_detail::WriteLittleEndian;

namespace cmn {

BrixEvent::BrixEvent(unsigned char code, bool paired, std::uint32_t start, std::uint32_t end,
                     std::string eventId)
    : code_(code), paired_(paired), start_(start), end_(end), eventId_(std::move(eventId)) {}

void BrixEvent::WriteString(std::ostream& out) const {
    const std::string name = codes::EditName(code_);
    out << (name.empty() ? "Event" : name) << " id=" << eventId_;
    if (paired_) {
        out << " start=" << start_ << " end=" << end_;
    } else {
        out << " at=" << start_;
    }
    switch (code_) {
    case codes::tempoScale:
        out << " float=" << floatValue_;
        break;
    case codes::marker:
        out << " text=" << stringValue_;
        break;
    case codes::osc:
        out << " message=" << oscProperties_.Message() << " network=" << oscProperties_.NetworkId();
        break;
    default:
        out << " int=" << intValue_;
        break;
    }
}

void BrixEvent::WriteBinary(std::ostream& out, const FileVersion& /*version*/) const {
    WriteLittleEndian(out, static_cast<std::uint8_t>(code_));
    WriteLittleEndian(out, static_cast<std::uint8_t>(paired_ ? 1 : 0));
    WriteLittleEndian(out, start_);
    WriteLittleEndian(out, end_);
    WriteLittleEndian(out, static_cast<std::uint32_t>(intValue_));
    WriteLittleEndian(out, std::bit_cast<std::uint64_t>(floatValue_));
    WriteLittleEndian(out, static_cast<std::uint32_t>(versionTarget_));
    WriteLengthAndBytes(out, eventId_);
    WriteLengthAndBytes(out, stringValue_);
    WriteLengthAndBytes(out, oscProperties_.Message());
    WriteLengthAndBytes(out, oscProperties_.NetworkId());
    WriteLengthAndBytes(out, sfxProperties_.name());
}

BrixEvent BrixEvent::ReadBinary(BinaryReader& in, const FileVersion& /*version*/) {
    BrixEvent event;
    event.code_ = in.ReadU8("event code");
    const std::uint8_t paired = in.ReadU8("paired flag");
    if (paired > 1) {
        in.Fail("paired flag", "is " + std::to_string(paired) + ", not 0 or 1");
    }
    event.paired_ = paired == 1;
    event.start_ = in.ReadU32("event start");
    event.end_ = in.ReadU32("event end");
    event.intValue_ = in.ReadI32("int value");
    event.floatValue_ = in.ReadF64("float value");
    event.versionTarget_ = in.ReadI32("version target");
    event.eventId_ = in.ReadString("event id");
    event.stringValue_ = in.ReadString("string value");
    std::string message = in.ReadString("OSC message");
    std::string networkId = in.ReadString("OSC network id");
    event.oscProperties_ = CL::OscProperties(std::move(message), std::move(networkId));
    event.sfxProperties_ = CL::SfxProperties(in.ReadString("sound-effect name"));
    return event;
}

}  // namespace cmn

namespace CL {

PairedEvent::PairedEvent(unsigned char code, std::uint32_t start, std::uint32_t end,
                         std::string eventId)
    : BrixEvent(code, true, start, std::max(start, end), std::move(eventId)) {}

Click::Click(std::uint32_t start, std::uint32_t end, std::string eventId, int notated32PerClick)
    : PairedEvent(evt_code, start, end, std::move(eventId)) {
    SetIntValue(notated32PerClick);
}

int Click::ClocksPerClick(unsigned char notated32nds) const {
    const int per24Clocks = notated32nds == 0 ? 8 : notated32nds;
    return int_value() * 24 / per24Clocks;
}

TempoScale::TempoScale(std::uint32_t start, std::uint32_t end, std::string eventId, double factor)
    : PairedEvent(evt_code, start, end, std::move(eventId)) {
    SetFloatValue(factor);
}

Transpose::Transpose(std::uint32_t start, std::uint32_t end, std::string eventId, int semitones)
    : PairedEvent(evt_code, start, end, std::move(eventId)) {
    SetIntValue(semitones);
}

Cut::Cut(std::uint32_t start, std::uint32_t end, std::string eventId, int value)
    : PairedEvent(evt_code, start, end, std::move(eventId)) {
    SetIntValue(value);
}

Fermata::Fermata(std::uint32_t start, std::uint32_t end, std::string eventId, int value)
    : PairedEvent(evt_code, start, end, std::move(eventId)) {
    SetIntValue(value);
}

Vamp::Vamp(std::uint32_t start, std::uint32_t end, std::string eventId, int count)
    : PairedEvent(evt_code, start, end, std::move(eventId)) {
    SetIntValue(count);
}

Repeat::Repeat(std::uint32_t start, std::uint32_t end, std::string eventId, int count)
    : PairedEvent(evt_code, start, end, std::move(eventId)) {
    SetIntValue(count);
}

Caesura::Caesura(std::uint32_t tick, std::string eventId, int value)
    : BrixEvent(evt_code, false, tick, tick, std::move(eventId)) {
    SetIntValue(value);
}

Marker::Marker(std::uint32_t tick, std::string text, std::string eventId)
    : BrixEvent(evt_code, false, tick, tick, std::move(eventId)) {
    SetStringValue(std::move(text));
}

Marker::Marker(const cmn::BrixEvent& event) : BrixEvent(event) {}

Osc::Osc(std::uint32_t tick, std::string eventId, OscProperties properties)
    : BrixEvent(evt_code, false, tick, tick, std::move(eventId)) {
    SetOscProperties(std::move(properties));
}

cmn::BrixEvent CopyBrixEvent(const cmn::BrixEvent& event) { return event; }

}  // namespace CL
