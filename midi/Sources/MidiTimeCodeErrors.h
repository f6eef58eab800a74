#pragma once

#include "BrixMidiError.h"

#include <string>

// The kinds of MidiTimeCodeError. Each carries only its message; the counts are formatted into the
// message by the thrower ("Invalid hourCount: 24").

class InvalidHourCount : public MidiTimeCodeError {
public:
    explicit InvalidHourCount(const std::string& message) : MidiTimeCodeError(message) {}
};

class InvalidMinuteCount : public MidiTimeCodeError {
public:
    explicit InvalidMinuteCount(const std::string& message) : MidiTimeCodeError(message) {}
};

class InvalidSecondCount : public MidiTimeCodeError {
public:
    explicit InvalidSecondCount(const std::string& message) : MidiTimeCodeError(message) {}
};

class InvalidFrameCount : public MidiTimeCodeError {
public:
    explicit InvalidFrameCount(const std::string& message) : MidiTimeCodeError(message) {}
};

// Time codes of different frame rates met in one operation.
class MidiTimeCodeFrameRateError : public MidiTimeCodeError {
public:
    explicit MidiTimeCodeFrameRateError(const std::string& message) : MidiTimeCodeError(message) {}
};

// A quarter-frame message index above 7.
class QuarterFrameIndexError : public MidiTimeCodeError {
public:
    explicit QuarterFrameIndexError(const std::string& message) : MidiTimeCodeError(message) {}
};
