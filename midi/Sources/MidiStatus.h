#pragma once

// Status bytes (without their channel) and controller numbers of the MIDI messages the engine builds
// and reads.
namespace midi_status {

inline constexpr unsigned char kNoteOff = 0x80;
inline constexpr unsigned char kNoteOn = 0x90;
inline constexpr unsigned char kControlChange = 0xB0;
inline constexpr unsigned char kProgramChange = 0xC0;
inline constexpr unsigned char kPitchBend = 0xE0;

inline constexpr unsigned char kChannelVolume = 7;
inline constexpr unsigned char kResetAllControllers = 121;
inline constexpr unsigned char kAllNotesOff = 123;

}  // namespace midi_status
