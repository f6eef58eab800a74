#pragma once

#include <string>
#include <utility>
#include <vector>

// MidiEndPoint: a usable MIDI device as the input side lists it: its position in the platform's full
// device list and its display name. A plain value.
class MidiEndPoint {
public:
    MidiEndPoint() = default;
    MidiEndPoint(int sourceIndex, std::string sourceName) : sourceIndex_(sourceIndex), sourceName_(std::move(sourceName)) {}

    int GetSourceIndex() const { return sourceIndex_; }
    std::string GetSourceName() const { return sourceName_; }

private:
    int sourceIndex_ = 0;
    std::string sourceName_;
};

// The display name of every input device, in device order.
std::vector<std::string> GetMidiInputPortNames();
// The input (output) devices without the system's own virtual ports (names beginning with "BRIX" or
// "IAC Driver BRIX"), each with its position in the full list.
std::vector<MidiEndPoint> GetNonBrixMidiSources();
std::vector<MidiEndPoint> GetNonBrixMidiDestinations();
bool IsValidNonBrixSourceIndex(int index);
bool IsValidNonBrixDestinationIndex(int index);

// The port index of the first input device with that unique id; 0 with a line on standard error when
// none has it.
unsigned char GetIndexFromUniqueId(int uniqueId);
// The unique id of the first input device with that port index; 0 with a line on standard error when
// none has it.
int GetUniqueIdFromIndex(unsigned char index);
