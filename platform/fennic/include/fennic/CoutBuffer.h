#pragma once

#include <ostream>
#include <sstream>
#include <string>

namespace fennic {

// CoutBuffer: a console line writer. It collects text like any std::ostream (every streamable value,
// std::hex, std::showbase, std::setw, std::left ...) and fennic::endl emits the collected text as ONE
// line on the standard output, followed by a newline, and flushes it.
//
// Owner: whoever builds it, usually on the stack for one statement:
//     fennic::CoutBuffer() << "WARNING: " << x << fennic::endl;
// or named and passed down as CoutBuffer& to helpers that add to the same line(s).
//
// Threads: one CoutBuffer belongs to one thread at a time (it is not thread-safe itself); any number
// of CoutBuffers on any threads may emit at once.
// Lock: one process-wide mutex, held only while a finished line is written to std::cout, so the lines
// of different threads never interleave. Nothing else is done under it. Only lines written through
// CoutBuffer are serialized; direct writes to std::cout elsewhere are not.
//
// After fennic::endl the buffer is empty and can be reused for the next line; format flags set by
// manipulators (std::hex ...) stay in force, as on std::cout. Text that is still pending when the
// buffer is destroyed is emitted as a line by the destructor, so a missing endl never loses text.
// Embedded '\n' characters (or std::endl) are passed through as they are; the whole text still leaves
// in one piece under the lock.
class CoutBuffer : public std::ostream {
public:
    CoutBuffer();
    ~CoutBuffer() override;

    CoutBuffer(const CoutBuffer&) = delete;
    CoutBuffer& operator=(const CoutBuffer&) = delete;

    // Emits the pending text as one line (text + '\n', flushed) and empties the buffer.
    // An empty buffer emits an empty line. Called by fennic::endl.
    void EmitLine();

    // The text collected since the last EmitLine.
    std::string GetPendingText() const;

private:
    std::stringbuf buffer_;
};

// Ends the line. On a CoutBuffer: CoutBuffer::EmitLine(). On any other std::ostream it behaves like
// std::endl (newline and flush), so code templated on the stream type can use it for both.
std::ostream& endl(std::ostream& os);

}  // namespace fennic
