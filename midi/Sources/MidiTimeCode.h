#pragma once

#include "FrameRate.h"
#include "MidiTimeCodeMessages.h"

#include <cstdint>
#include <functional>
#include <string>

// MidiTimeCode: a SMPTE time code (hours:minutes:seconds:frames at one of the four frame rates) with a
// position inside the frame (a quarter-frame index and the seconds into the frame), its arithmetic,
// drop-frame counting, conversion to and from seconds, and the MIDI time-code messages it makes and
// reads.
//
// At 29.97 fps drop, frame numbers 0 and 1 do not exist in second 0 of every minute not divisible by
// 10 (a drop minute); 107892 frames make an hour (00:00:59;29 is frame 1799, 00:01:00;02 is 1800).
//
// A plain value, not thread-safe. Every way of setting the rate refreshes the fields derived from it
// (highest frame, separator, seconds per frame, the one-frame steps); a copy binds its own steps to
// itself. Arithmetic works on frame counts and wraps at 24 hours.
class MidiTimeCode {
public:
    // 00:00:00:00 at 30 fps.
    MidiTimeCode();
    // Throws, checking in this order: InvalidFrameCount (frames above the rate's highest frame, or a
    // dropped frame number), InvalidSecondCount (60 or more), InvalidMinuteCount (60 or more),
    // InvalidHourCount (24 or more); std::logic_error "Unsupported frame rate" for a rate above 3.
    MidiTimeCode(unsigned char hours, unsigned char minutes, unsigned char seconds, unsigned char frames,
                 FrameRate rate);
    // The time code of a position in seconds; see SetFromSeconds.
    MidiTimeCode(double seconds, FrameRate rate);

    MidiTimeCode(const MidiTimeCode& other);
    MidiTimeCode(MidiTimeCode&& other);
    MidiTimeCode& operator=(const MidiTimeCode& other);
    MidiTimeCode& operator=(MidiTimeCode&& other);

    FrameRate GetFrameRate() const { return frameRate; }
    // Keeps hours, minutes, seconds and frames; refreshes the derived fields. Throws std::logic_error
    // "Unsupported frame rate", changing nothing, for a rate above 3.
    void SetFrameRate(FrameRate rate);

    unsigned char GetQuarterFrameIndex() const { return quarterFrameIndex; }
    // Also sets the seconds into the frame to that quarter's start.
    void SetQuarterFrameIndex(unsigned char index);
    // The next quarter frame: after quarter 3 the value steps one frame on.
    void IncrementQuarterFrame();

    double GetAsSeconds() const;
    // The frame that the time t (seconds since 00:00:00) falls in, with the quarter and the seconds
    // into the frame. Times below 0 (and NaN) give 00:00:00:00, times of 24 hours or more the last
    // frame of the day. A time within a millionth of a frame below a frame boundary counts as on it,
    // so SetFromSeconds(GetAsSeconds()) gives the same frame back.
    void SetFromSeconds(double t);

    // "01:02:03:04"; at 29.97 drop the frames are separated by ';' ("01:02:03;04").
    std::string GetAsString() const;

    FullFrameMessage GetFullFrameMessage() const;
    // Takes hours, minutes, seconds, frames and rate from the message (refreshing what derives from
    // the rate); the quarter and the seconds into the frame stay.
    void SetFullFrameMessage(const FullFrameMessage& message);
    // Message 0-7 of this time code. Throws QuarterFrameIndexError "Index not supported by
    // QuarterFrame." for a higher index.
    QuarterFrameMessage GetQuarterFrameMessage(unsigned char index) const;
    // Writes the message into its field (message 7: hours bit 4 and the rate); an index above 7 changes
    // nothing. Feeding the eight messages of a cycle in order rebuilds the sender's time code.
    void ProcessQuarterFrameMessage(const QuarterFrameMessage& message);

    // Quarter frames from other forward to this, through midnight when other is later.
    std::uint64_t GetDifferenceAsQuarterFrameCount(const MidiTimeCode& other) const;

    // One whole frame on or back, wrapping at midnight.
    MidiTimeCode& operator++();
    MidiTimeCode operator++(int);
    MidiTimeCode& operator--();
    MidiTimeCode operator--(int);

    // Add or subtract the frames and quarter of another time code of the same rate, wrapping at
    // midnight; the seconds into the frame stay. Throws MidiTimeCodeFrameRateError "Cannot add
    // together time codes with different frame rates." for another rate, leaving this unchanged.
    MidiTimeCode& operator+=(const MidiTimeCode& other);
    MidiTimeCode& operator-=(const MidiTimeCode& other);
    // n frames (throws InvalidFrameCount when n is above the rate's highest frame).
    MidiTimeCode& operator+=(unsigned char frameCount);
    MidiTimeCode& operator-=(unsigned char frameCount);
    MidiTimeCode operator+(const MidiTimeCode& other) const;
    MidiTimeCode operator-(const MidiTimeCode& other) const;
    MidiTimeCode operator+(unsigned char frameCount) const;
    MidiTimeCode operator-(unsigned char frameCount) const;

    // Equal fields, rate and quarter; the seconds into the frame are not compared.
    bool operator==(const MidiTimeCode& other) const;
    bool operator!=(const MidiTimeCode& other) const { return !(*this == other); }
    // Compares the quarter-frame counts since 00:00:00:00.
    bool operator<(const MidiTimeCode& other) const;

private:
    // The fields derived from the rate.
    void Derive_();
    static unsigned char CreateMaxFrameIndex(FrameRate rate);
    static double CreateSecondsPerFrame(FrameRate rate);
    static char GetFrameCountSeparator(FrameRate rate);
    std::function<void()> GetIncrementFunction();
    std::function<void()> GetDecrementFunction();

    bool GetIsDropMinute(unsigned char minuteCount) const;
    unsigned char GetMinFrameCount(unsigned char minuteCount, unsigned char secondCount) const;
    unsigned int GetMaxFrameCount() const { return maxFrameIndex + 1u; }
    std::int64_t GetRealFrameCount() const;
    std::uint64_t GetFramesPerHour() const;
    std::uint64_t GetFramesPerDay() const { return GetFramesPerHour() * 24; }

    std::uint64_t GetFrameCount() const;
    std::uint64_t GetFrameCountFromHours() const;
    std::uint64_t GetFrameCountFromMinutes() const;
    std::uint64_t GetFrameCountFromSeconds() const;
    std::uint64_t GetQuarterFrameCount() const;
    // Sets hours, minutes, seconds, frames and quarter from a quarter-frame count (taken modulo one
    // day); the seconds into the frame stay.
    void SetFromQuarterFrameCount(std::uint64_t quarterFrameCount);
    void SetFromFrameCount(std::uint64_t frameCount);
    void CheckSameFrameRate(const MidiTimeCode& other) const;

    void IncrementForDropFrame();
    void IncrementForNonDropFrame();
    void DecrementForDropFrame();
    void DecrementForNonDropFrame();
    void IncrementSecondCount();
    void DecrementSecondCount();
    void IncrementMinuteCount();
    void DecrementMinuteCount();
    void IncrementHourCount();
    void DecrementHourCount();

    unsigned char hours = 0;
    unsigned char minutes = 0;
    unsigned char seconds = 0;
    unsigned char frames = 0;
    FrameRate frameRate = FrameRate::Fps30;
    unsigned char maxFrameIndex = 29;
    char frameSeparator = ':';
    std::function<void()> incrementFunction;
    std::function<void()> decrementFunction;
    double secondsPerFrame = 1.0 / 30.0;
    double subFrameSeconds = 0.0;
    unsigned char quarterFrameIndex = 0;
};
