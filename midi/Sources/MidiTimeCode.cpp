#include "MidiTimeCode.h"

#include "MidiTimeCodeErrors.h"

#include <fennic/Format.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <stdexcept>

namespace {

constexpr unsigned char kSecondsPerMinute = 60;
constexpr unsigned char kMinutesPerHour = 60;
constexpr unsigned char kHoursPerDay = 24;
constexpr double kSecondsPerDay = 86400.0;

// Drop-frame counting at 29.97 fps: 30 frame numbers a second, 2 of them dropped in each drop minute.
constexpr std::uint64_t kDropFramesPerMinute = 1798;       // a drop minute
constexpr std::uint64_t kDropFramesPerTenMinutes = 17982;  // one full minute and nine drop minutes
constexpr std::uint64_t kNominalFramesPerSecond = 30;

// A quotient this close below a whole number counts as that number: a time computed from a frame
// count converts back to the same frame despite rounding.
constexpr double kFloorTolerance = 1e-6;

double FloorWithTolerance(double value) {
    return std::floor(value + kFloorTolerance);
}

// floor(value) kept within [0, highest]; NaN gives 0.
unsigned char FloorToByte(double value, unsigned char highest) {
    if (!(value > 0.0)) {
        return 0;
    }
    return static_cast<unsigned char>(std::min(std::floor(value), static_cast<double>(highest)));
}

void CheckFrameRate(FrameRate rate) {
    if (!IsFrameRate(static_cast<unsigned int>(rate))) {
        throw std::logic_error("Unsupported frame rate");
    }
}

}  // namespace

MidiTimeCode::MidiTimeCode() {
    Derive_();
}

MidiTimeCode::MidiTimeCode(unsigned char hourCount, unsigned char minuteCount, unsigned char secondCount,
                           unsigned char frameCount, FrameRate rate)
    : hours(hourCount), minutes(minuteCount), seconds(secondCount), frames(frameCount), frameRate(rate) {
    Derive_();
    if (frames > maxFrameIndex || frames < GetMinFrameCount(minutes, seconds)) {
        throw InvalidFrameCount(fennic::format("Invalid frameCount: %i", static_cast<int>(frames)));
    }
    if (seconds >= kSecondsPerMinute) {
        throw InvalidSecondCount(fennic::format("Invalid secondCount: %i", static_cast<int>(seconds)));
    }
    if (minutes >= kMinutesPerHour) {
        throw InvalidMinuteCount(fennic::format("Invalid minuteCount: %i", static_cast<int>(minutes)));
    }
    if (hours >= kHoursPerDay) {
        throw InvalidHourCount(fennic::format("Invalid hourCount: %i", static_cast<int>(hours)));
    }
}

MidiTimeCode::MidiTimeCode(double t, FrameRate rate) : frameRate(rate) {
    Derive_();
    SetFromSeconds(t);
}

MidiTimeCode::MidiTimeCode(const MidiTimeCode& other)
    : hours(other.hours),
      minutes(other.minutes),
      seconds(other.seconds),
      frames(other.frames),
      frameRate(other.frameRate),
      subFrameSeconds(other.subFrameSeconds),
      quarterFrameIndex(other.quarterFrameIndex) {
    Derive_();
}

MidiTimeCode::MidiTimeCode(MidiTimeCode&& other) : MidiTimeCode(static_cast<const MidiTimeCode&>(other)) {}

MidiTimeCode& MidiTimeCode::operator=(const MidiTimeCode& other) {
    if (this != &other) {
        hours = other.hours;
        minutes = other.minutes;
        seconds = other.seconds;
        frames = other.frames;
        frameRate = other.frameRate;
        subFrameSeconds = other.subFrameSeconds;
        quarterFrameIndex = other.quarterFrameIndex;
        Derive_();
    }
    return *this;
}

MidiTimeCode& MidiTimeCode::operator=(MidiTimeCode&& other) {
    return *this = static_cast<const MidiTimeCode&>(other);
}

void MidiTimeCode::Derive_() {
    CheckFrameRate(frameRate);
    maxFrameIndex = CreateMaxFrameIndex(frameRate);
    frameSeparator = GetFrameCountSeparator(frameRate);
    secondsPerFrame = CreateSecondsPerFrame(frameRate);
    incrementFunction = GetIncrementFunction();
    decrementFunction = GetDecrementFunction();
}

unsigned char MidiTimeCode::CreateMaxFrameIndex(FrameRate rate) {
    switch (rate) {
        case FrameRate::Fps24: return 23;
        case FrameRate::Fps25: return 24;
        case FrameRate::Fps2997Drop:
        case FrameRate::Fps30: return 29;
    }
    throw std::logic_error("Unsupported frame rate");
}

double MidiTimeCode::CreateSecondsPerFrame(FrameRate rate) {
    switch (rate) {
        case FrameRate::Fps24: return 1.0 / 24.0;
        case FrameRate::Fps25: return 0.04;
        case FrameRate::Fps2997Drop: return 1.0 / 29.97;
        case FrameRate::Fps30: return 1.0 / 30.0;
    }
    throw std::logic_error("Unsupported frame rate");
}

char MidiTimeCode::GetFrameCountSeparator(FrameRate rate) {
    return rate == FrameRate::Fps2997Drop ? ';' : ':';
}

std::function<void()> MidiTimeCode::GetIncrementFunction() {
    if (frameRate == FrameRate::Fps2997Drop) {
        return [this]() { IncrementForDropFrame(); };
    }
    return [this]() { IncrementForNonDropFrame(); };
}

std::function<void()> MidiTimeCode::GetDecrementFunction() {
    if (frameRate == FrameRate::Fps2997Drop) {
        return [this]() { DecrementForDropFrame(); };
    }
    return [this]() { DecrementForNonDropFrame(); };
}

void MidiTimeCode::SetFrameRate(FrameRate rate) {
    CheckFrameRate(rate);
    frameRate = rate;
    Derive_();
}

void MidiTimeCode::SetQuarterFrameIndex(unsigned char index) {
    quarterFrameIndex = index;
    subFrameSeconds = secondsPerFrame * 0.25 * index;
}

void MidiTimeCode::IncrementQuarterFrame() {
    if (quarterFrameIndex != 3) {
        ++quarterFrameIndex;
    } else {
        quarterFrameIndex = 0;
        incrementFunction();
    }
}

bool MidiTimeCode::GetIsDropMinute(unsigned char minuteCount) const {
    return frameRate == FrameRate::Fps2997Drop && minuteCount % 10 != 0;
}

unsigned char MidiTimeCode::GetMinFrameCount(unsigned char minuteCount, unsigned char secondCount) const {
    return GetIsDropMinute(minuteCount) && secondCount == 0 ? 2 : 0;
}

std::int64_t MidiTimeCode::GetRealFrameCount() const {
    return static_cast<std::int64_t>(frames) - GetMinFrameCount(minutes, seconds);
}

std::uint64_t MidiTimeCode::GetFramesPerHour() const {
    switch (frameRate) {
        case FrameRate::Fps24: return 86400;
        case FrameRate::Fps25: return 90000;
        case FrameRate::Fps2997Drop: return 107892;
        case FrameRate::Fps30: return 108000;
    }
    throw std::logic_error("Unsupported frame rate");
}

std::uint64_t MidiTimeCode::GetFrameCountFromHours() const {
    return hours * GetFramesPerHour();
}

std::uint64_t MidiTimeCode::GetFrameCountFromMinutes() const {
    if (frameRate == FrameRate::Fps2997Drop) {
        // Each drop minute before this one has two frame numbers fewer.
        const unsigned int dropMinutesBefore = minutes - (minutes + 9u) / 10u;
        return (minutes * 900ull - dropMinutesBefore) * 2;
    }
    return minutes * 60ull * GetMaxFrameCount();
}

std::uint64_t MidiTimeCode::GetFrameCountFromSeconds() const {
    if (frameRate == FrameRate::Fps2997Drop) {
        const std::uint64_t count = seconds * kNominalFramesPerSecond;
        return GetIsDropMinute(minutes) && seconds > 0 ? count - 2 : count;
    }
    return static_cast<std::uint64_t>(seconds) * GetMaxFrameCount();
}

std::uint64_t MidiTimeCode::GetFrameCount() const {
    const std::int64_t count = static_cast<std::int64_t>(GetFrameCountFromHours() + GetFrameCountFromMinutes() +
                                                         GetFrameCountFromSeconds()) +
                               GetRealFrameCount();
    // Only fields that are no time code (frames below a dropped number) can take the count below 0.
    return static_cast<std::uint64_t>(std::max<std::int64_t>(count, 0));
}

std::uint64_t MidiTimeCode::GetQuarterFrameCount() const {
    return GetFrameCount() * 4 + quarterFrameIndex;
}

void MidiTimeCode::SetFromQuarterFrameCount(std::uint64_t quarterFrameCount) {
    quarterFrameCount %= GetFramesPerDay() * 4;
    quarterFrameIndex = static_cast<unsigned char>(quarterFrameCount % 4);
    SetFromFrameCount(quarterFrameCount / 4);
}

void MidiTimeCode::SetFromFrameCount(std::uint64_t frameCount) {
    frameCount %= GetFramesPerDay();
    hours = static_cast<unsigned char>(frameCount / GetFramesPerHour());
    std::uint64_t count = frameCount % GetFramesPerHour();
    std::uint64_t framesPerSecond = GetMaxFrameCount();
    if (frameRate == FrameRate::Fps2997Drop) {
        // Number the frame as if no frame numbers were dropped: add back the two numbers of every drop
        // minute begun before it.
        const std::uint64_t tenMinutes = count / kDropFramesPerTenMinutes;
        const std::uint64_t withinTenMinutes = count % kDropFramesPerTenMinutes;
        count += 18 * tenMinutes;
        if (withinTenMinutes > 1) {
            count += 2 * ((withinTenMinutes - 2) / kDropFramesPerMinute);
        }
        framesPerSecond = kNominalFramesPerSecond;
    }
    frames = static_cast<unsigned char>(count % framesPerSecond);
    const std::uint64_t totalSeconds = count / framesPerSecond;
    seconds = static_cast<unsigned char>(totalSeconds % kSecondsPerMinute);
    minutes = static_cast<unsigned char>(totalSeconds / kSecondsPerMinute);
}

double MidiTimeCode::GetAsSeconds() const {
    double result = hours * 3600.0;
    const double realFrameCount = static_cast<double>(GetRealFrameCount());
    if (frameRate == FrameRate::Fps2997Drop) {
        result += static_cast<double>(GetFrameCountFromMinutes() + GetFrameCountFromSeconds()) * secondsPerFrame;
    } else {
        result += minutes * 60.0;
        result += seconds;
    }
    return result + (realFrameCount * secondsPerFrame + subFrameSeconds);
}

void MidiTimeCode::SetFromSeconds(double t) {
    if (!(t > 0.0)) {
        t = 0.0;
    }
    t = std::min(t, std::nextafter(kSecondsPerDay, 0.0));
    hours = FloorToByte(t / 3600.0, kHoursPerDay - 1);
    double rest = std::max(0.0, t - hours * 3600.0);
    const double quarterSeconds = secondsPerFrame * 0.25;

    if (frameRate == FrameRate::Fps2997Drop) {
        const auto framesSinceHour = static_cast<std::uint64_t>(
            std::min(FloorWithTolerance(rest / secondsPerFrame), static_cast<double>(GetFramesPerHour() - 1)));
        subFrameSeconds = std::max(0.0, rest - secondsPerFrame * static_cast<double>(framesSinceHour));
        quarterFrameIndex = FloorToByte(FloorWithTolerance(subFrameSeconds / quarterSeconds), 3);
        SetFromFrameCount(hours * GetFramesPerHour() + framesSinceHour);
        return;
    }

    minutes = FloorToByte(rest / 60.0, kMinutesPerHour - 1);
    rest = std::max(0.0, rest - minutes * 60.0);
    seconds = FloorToByte(rest, kSecondsPerMinute - 1);
    rest = std::max(0.0, rest - seconds);
    frames = FloorToByte(FloorWithTolerance(rest / secondsPerFrame), maxFrameIndex);
    rest = std::max(0.0, rest - frames * secondsPerFrame);
    subFrameSeconds = rest;
    quarterFrameIndex = FloorToByte(FloorWithTolerance(rest / quarterSeconds), 3);
}

std::string MidiTimeCode::GetAsString() const {
    char text[32];
    std::snprintf(text, sizeof text, "%02u:%02u:%02u%c%02u", static_cast<unsigned int>(hours),
                  static_cast<unsigned int>(minutes), static_cast<unsigned int>(seconds), frameSeparator,
                  static_cast<unsigned int>(frames));
    return text;
}

FullFrameMessage MidiTimeCode::GetFullFrameMessage() const {
    return FullFrameMessage(hours, minutes, seconds, frames, frameRate);
}

void MidiTimeCode::SetFullFrameMessage(const FullFrameMessage& message) {
    hours = message.GetHours();
    minutes = message.GetMinutes();
    seconds = message.GetSeconds();
    frames = message.GetFrames();
    SetFrameRate(message.GetFrameRate());
}

QuarterFrameMessage MidiTimeCode::GetQuarterFrameMessage(unsigned char index) const {
    switch (index) {
        case 0:
        case 1: return QuarterFrameMessage(index, frames);
        case 2:
        case 3: return QuarterFrameMessage(index, seconds);
        case 4:
        case 5: return QuarterFrameMessage(index, minutes);
        case 6: return QuarterFrameMessage(index, hours);
        case 7: return QuarterFrameMessage(index, hours, frameRate);
        default: throw QuarterFrameIndexError("Index not supported by QuarterFrame.");
    }
}

void MidiTimeCode::ProcessQuarterFrameMessage(const QuarterFrameMessage& message) {
    const unsigned char nibble = message.GetNibble();
    const auto setLow = [nibble](unsigned char& field) { field = static_cast<unsigned char>((field & 0xF0) | nibble); };
    const auto setHigh = [nibble](unsigned char& field) { field = static_cast<unsigned char>((field & 0x0F) | nibble); };
    switch (message.GetIndex()) {
        case 0: setLow(frames); break;
        case 1: setHigh(frames); break;
        case 2: setLow(seconds); break;
        case 3: setHigh(seconds); break;
        case 4: setLow(minutes); break;
        case 5: setHigh(minutes); break;
        case 6: setLow(hours); break;
        case 7: {
            const unsigned char data = message.GetDataByte();
            hours = static_cast<unsigned char>((hours & 0x0F) | ((data & 1) << 4));
            SetFrameRate(static_cast<FrameRate>((data >> 1) & 3));
            break;
        }
        default: break;
    }
}

std::uint64_t MidiTimeCode::GetDifferenceAsQuarterFrameCount(const MidiTimeCode& other) const {
    return (*this - other).GetQuarterFrameCount();
}

MidiTimeCode& MidiTimeCode::operator++() {
    incrementFunction();
    return *this;
}

MidiTimeCode MidiTimeCode::operator++(int) {
    MidiTimeCode before(*this);
    incrementFunction();
    return before;
}

MidiTimeCode& MidiTimeCode::operator--() {
    decrementFunction();
    return *this;
}

MidiTimeCode MidiTimeCode::operator--(int) {
    MidiTimeCode before(*this);
    decrementFunction();
    return before;
}

void MidiTimeCode::CheckSameFrameRate(const MidiTimeCode& other) const {
    if (other.frameRate != frameRate) {
        throw MidiTimeCodeFrameRateError("Cannot add together time codes with different frame rates.");
    }
}

MidiTimeCode& MidiTimeCode::operator+=(const MidiTimeCode& other) {
    CheckSameFrameRate(other);
    SetFromQuarterFrameCount(GetQuarterFrameCount() + other.GetQuarterFrameCount());
    return *this;
}

MidiTimeCode& MidiTimeCode::operator-=(const MidiTimeCode& other) {
    CheckSameFrameRate(other);
    const std::uint64_t day = GetFramesPerDay() * 4;
    // Both counts are below one day (fields beyond a day are reduced first), so this never wraps.
    SetFromQuarterFrameCount(GetQuarterFrameCount() % day + day - other.GetQuarterFrameCount() % day);
    return *this;
}

MidiTimeCode& MidiTimeCode::operator+=(unsigned char frameCount) {
    return *this += MidiTimeCode(0, 0, 0, frameCount, frameRate);
}

MidiTimeCode& MidiTimeCode::operator-=(unsigned char frameCount) {
    return *this -= MidiTimeCode(0, 0, 0, frameCount, frameRate);
}

MidiTimeCode MidiTimeCode::operator+(const MidiTimeCode& other) const {
    MidiTimeCode result(*this);
    result += other;
    return result;
}

MidiTimeCode MidiTimeCode::operator-(const MidiTimeCode& other) const {
    MidiTimeCode result(*this);
    result -= other;
    return result;
}

MidiTimeCode MidiTimeCode::operator+(unsigned char frameCount) const {
    MidiTimeCode result(*this);
    result += frameCount;
    return result;
}

MidiTimeCode MidiTimeCode::operator-(unsigned char frameCount) const {
    MidiTimeCode result(*this);
    result -= frameCount;
    return result;
}

bool MidiTimeCode::operator==(const MidiTimeCode& other) const {
    return frames == other.frames && seconds == other.seconds && minutes == other.minutes &&
           hours == other.hours && frameRate == other.frameRate && quarterFrameIndex == other.quarterFrameIndex;
}

bool MidiTimeCode::operator<(const MidiTimeCode& other) const {
    return GetQuarterFrameCount() < other.GetQuarterFrameCount();
}

void MidiTimeCode::IncrementForNonDropFrame() {
    if (frames != maxFrameIndex) {
        ++frames;
        return;
    }
    frames = 0;
    IncrementSecondCount();
}

void MidiTimeCode::IncrementForDropFrame() {
    if (frames != maxFrameIndex) {
        ++frames;
        return;
    }
    IncrementSecondCount();
    frames = GetMinFrameCount(minutes, seconds);
}

void MidiTimeCode::DecrementForNonDropFrame() {
    if (frames != 0) {
        --frames;
        return;
    }
    frames = maxFrameIndex;
    DecrementSecondCount();
}

void MidiTimeCode::DecrementForDropFrame() {
    if (frames != GetMinFrameCount(minutes, seconds)) {
        --frames;
        return;
    }
    frames = maxFrameIndex;
    DecrementSecondCount();
}

void MidiTimeCode::IncrementSecondCount() {
    if (seconds != kSecondsPerMinute - 1) {
        ++seconds;
        return;
    }
    seconds = 0;
    IncrementMinuteCount();
}

void MidiTimeCode::DecrementSecondCount() {
    if (seconds != 0) {
        --seconds;
        return;
    }
    seconds = kSecondsPerMinute - 1;
    DecrementMinuteCount();
}

void MidiTimeCode::IncrementMinuteCount() {
    if (minutes != kMinutesPerHour - 1) {
        ++minutes;
        return;
    }
    minutes = 0;
    IncrementHourCount();
}

void MidiTimeCode::DecrementMinuteCount() {
    if (minutes != 0) {
        --minutes;
        return;
    }
    minutes = kMinutesPerHour - 1;
    DecrementHourCount();
}

void MidiTimeCode::IncrementHourCount() {
    hours = hours != kHoursPerDay - 1 ? hours + 1 : 0;
}

void MidiTimeCode::DecrementHourCount() {
    hours = hours != 0 ? hours - 1 : kHoursPerDay - 1;
}
