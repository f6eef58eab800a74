#pragma once

#include <brix_core/ChangeLog.h>
#include <brix_core/SongData.h>

#include <fennic/Exceptions.h>

#include <string>

// Loading a show folder: "show.json" and one Standard MIDI File per song.
//
// show.json:
//   {"format": 1, "name": "...", "customer": "...",
//    "songs": [{"number": "1", "name": "...", "midi": "song1.mid", "attacca": false, "pickup": 0,
//               "pages": [{"bar": 1, "page": 1}, ...]}, ...],
//    "groups": {"Instruments": [track ids], "Vocal Parts": [track ids]}}
// "format" (must be 1), "songs", and each song's "number" (not empty), "name" and "midi" are required;
// "name", "customer", "attacca" (false), "pickup" (0), "pages" and "groups" may be left out. "midi"
// is a file name inside the folder. Group ids follow the order of "groups".
//
// A song's MIDI file (format 0 or 1, resolution = its division, at least 24 ticks per quarter note):
// - channel voice messages become voice events of track id (port << 4) | channel, the port being the
//   data byte of the first MIDI-port meta event (0x21) of the file track, else 0; file tracks with the
//   same track id are merged. A track's name is the first track-name meta event (0x03) of the first
//   file track that has events for it. Its default program is its first program change (0 without
//   one); its note range is 0..127, except the drum channel (channel index 9): no range.
// - tempo (0x51), time-signature (0x58) and key-signature (0x59) meta events of all file tracks give
//   the tempos, meters and keys; of several at one tick the last in file order counts. Without one at
//   tick 0 the song starts in 120 quarter notes per minute, 4/4 (24 clocks per click, 8 32nds per
//   quarter) and C major.
// - the last tick index is the tick of the file's last event (end-of-track events included).
// Bars and beats: one TL::BarsBeats per beat up to the last tick index (always one at tick 0), the beat
//   being the meter's click (clocks per click × resolution / 24 ticks). Bars are numbered from 1. A
//   song whose "pickup" is p > 0 starts with a short bar 1 of p notes of the first meter's denominator
//   (p must be less than its numerator); bar 2 starts after it. A time signature starts a new bar at
//   its tick.
// Pages: each {"bar": b, "page": p} puts page p at the first beat of bar b.
// Bounds: a song holds at most 1000000 beats; the songs of a show hold at most 2000000 beats and
//   4000000 voice events in all (a song that names a MIDI file another song names counts again).
//
// All or nothing: on any fault nothing is returned and an exception names the file and the fault:
// fennic::IoError when a file cannot be opened or read; smf::FormatError (a fennic::RuntimeError) for
// a malformed MIDI file (truncated, bad chunk, SMPTE division ...); ShowFolderError for everything else
// (malformed show.json, a missing or mistyped field, a song number given twice, a NUL character in a
// song number or "midi" name, a "midi" name that leaves the folder, a bad time signature, tempo or
// key event, a page on a bar the song does not have, a pickup not shorter than the first bar, a song
// or a show past its bounds).
namespace brix_midi {

class ShowFolderError : public fennic::RuntimeError {
public:
    using fennic::RuntimeError::RuntimeError;
};

struct LoadedShow {
    ShowData show;
    // One empty song log per song (number and name), in the order of show.json's "songs".
    CL::ChangeLog changeLog;
};

LoadedShow LoadShowFolder(const std::string& folder);

}  // namespace brix_midi
