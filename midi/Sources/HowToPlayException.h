#pragma once

#include <stdexcept>
#include <string>

// Errors of the song position model. HowToPlay::SetData throws HowToPlayException
// for a song it cannot play; HowToPlayErrorNoAdvance is for callers that cannot
// move the position.
class HowToPlayException : public std::runtime_error {
public:
    explicit HowToPlayException(std::string const& message) : std::runtime_error(message) {}
};

class HowToPlayErrorNoAdvance : public HowToPlayException {
public:
    explicit HowToPlayErrorNoAdvance(std::string const& message) : HowToPlayException(message) {}
};
