#pragma once

#include "BrixMidiError.h"

#include <windows.h>
#include <mmsystem.h>

#include <source_location>
#include <string>

// Texts of the Windows MIDI back end: result-code names, the system's error texts, a report of the MIDI
// output devices and their capabilities, and the messages of failed calls. Free functions; every one is
// thread-safe (the device queries go to the multimedia layer, which is).

// Converts a zero-terminated UTF-16 text (a device name, an error text) to UTF-8. An unpaired
// surrogate becomes U+FFFD. At most maxUnits code units are read when no zero comes first.
std::string NarrowWideString(const WCHAR* text, std::size_t maxUnits);

// "MMSYSERR_... text" or "MIDIERR_... text" for the known codes, "Unknown error code %d" for the others.
std::string GetMidiErrorAsString(unsigned int result);
// The system's own text for a result code, or a text naming why it could not be read.
std::string GetMidiOutErrorText(unsigned int result);
std::string GetProductName(const tagMIDIOUTCAPSW& caps);
std::string GetTechnologyAsString(const tagMIDIOUTCAPSW& caps);
// Ten lines, each ended by '\n'.
std::string GetMidiOutDevCapsAsString(const tagMIDIOUTCAPSW& caps);
std::string GetMidiOutDeviceInformation(unsigned int index);
// Every output device with its capabilities, or "There are no available devices for midi output.".
std::string CreateMidiDeviceSummary();

// The guarded call: a non-zero result throws MidiImplementationError with
// "<file> line <line>: <description> caused error <result>, <GetMidiErrorAsString(result)>.", the file
// and line being those of the caller.
void CheckMidiResult(MMRESULT result, const char* description,
                     std::source_location where = std::source_location::current());

// The port failure of an input device call: "<call>: <result> <GetMidiErrorAsString(result)>".
MidiPortError MidiPortFailure(const char* callName, MMRESULT result);

// A failure with an error number: "<file> line <line>: Error <error> <text>.", or
// "<file> line <line>: Error <error>." when the text is empty.
std::string CreateErrorMessage(const char* file, int line, int error, const std::string& text);

// The failure report: "[ERROR] " and the message as one console line, then BrixMidiError with the
// message.
[[noreturn]] void ReportFailure(const std::string& message);
