#pragma once

#include <stdexcept>
#include <string>

namespace fennic {

// The utility library's exceptions. Each carries only its message (what()); all are copyable and
// derive from fennic::Error, itself a std::runtime_error, so callers can catch one kind, any fennic
// error, or any std::exception.
class Error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A file that cannot be opened, read or written.
class IoError : public Error {
public:
    using Error::Error;
};

// A failure found while running that is not an I/O failure.
class RuntimeError : public Error {
public:
    using Error::Error;
};

// An operation the object does not provide (on this platform or in this class).
class NotImplementedError : public Error {
public:
    using Error::Error;
};

}  // namespace fennic
