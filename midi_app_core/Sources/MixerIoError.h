#pragma once

#include <fennic/Exceptions.h>

#include <string>

// A mixer settings file that cannot be opened, read or written.
class MixerIoError : public fennic::IoError {
public:
    explicit MixerIoError(const std::string& message) : fennic::IoError(message) {}
};

// A mixer settings file that was read but is not a valid one (wrong tag, repeated entries).
class MixerInvalidFileError : public MixerIoError {
public:
    explicit MixerInvalidFileError(const std::string& message) : MixerIoError(message) {}
};
