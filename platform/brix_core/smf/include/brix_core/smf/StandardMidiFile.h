#pragma once

// Reader for Standard MIDI Files (format 0 and 1).
//
// Parse() turns the bytes of a file into its tracks of events with absolute ticks; ReadFile() reads
// a file from disk first. Both are pure functions of their input: no state, safe to call from any
// thread. Every read is bounds-checked, so no input, however malformed, reads past the buffer; every
// fault throws.
//
// What the reader keeps and what it drops:
// - Channel voice messages (0x80..0xEF), with running status resolved: `status` is always the full
//   status byte. Two-byte messages (program change 0xCn, channel pressure 0xDn) have data2 = 0.
// - A note-on with velocity 0 is stored as a note-off: status 0x8n, same note, data2 = 0x40 (the
//   default release velocity).
// - Meta events (status 0xFF) with their type and data, the end-of-track event included. Bytes after
//   the end-of-track event inside the same chunk are ignored; a chunk that ends without one is
//   accepted.
// - System-exclusive events (0xF0 and 0xF7) are skipped.
// - Running status lasts until the next channel status byte: meta and system-exclusive events in
//   between leave it in force, as many sequencers write them. A data byte where no channel status
//   came before it in the chunk (running status does not pass from one chunk to the next) is a fault.
// - Chunks other than "MTrk" after the header are skipped.
//
// Faults throw fennic::IoError when the file cannot be opened or read, and smf::FormatError for
// anything wrong inside it. A FormatError's text starts with the file's name and says what is wrong
// and where, e.g. "song1.mid: truncated event in track chunk 2 at byte 1234". Track chunks are
// counted from 1; byte offsets count from the start of the file.

#include <fennic/Exceptions.h>

#include <cstdint>
#include <string>
#include <vector>

namespace smf {

// One event of a track. status 0xFF marks a meta event (metaType and metaData are set, data1 and
// data2 are 0); any other status is a channel voice message (metaType 0, metaData empty).
struct Event {
    std::uint32_t tick;
    std::uint8_t status;
    std::uint8_t data1;
    std::uint8_t data2;
    std::uint8_t metaType;
    std::vector<std::uint8_t> metaData;
};

// The events of one "MTrk" chunk in file order, with absolute ticks.
struct Track {
    std::vector<Event> events;
};

// A parsed file: format 0 or 1, ticks per quarter note, and the tracks in file order.
struct File {
    std::uint16_t format;
    std::uint16_t division;
    std::vector<Track> tracks;
};

// A malformed file. The text names the file and the fault.
class FormatError : public fennic::RuntimeError {
public:
    explicit FormatError(const std::string& message);
};

// Reads and parses the file at path. Throws fennic::IoError when it cannot be opened or read,
// FormatError when its content is malformed (the text names the path).
File ReadFile(const std::string& path);

// Parses the bytes of a Standard MIDI File. nameForErrors starts every FormatError text.
File Parse(const std::vector<std::uint8_t>& bytes, const std::string& nameForErrors);

} // namespace smf
