#include "fennic/CoutBuffer.h"

#include <iostream>
#include <mutex>

namespace fennic {

namespace {

// Serializes finished lines of all CoutBuffers. A function-local static so that buffers used during
// static initialization or destruction of other libraries still find it alive.
std::mutex& ConsoleMutex() {
    static std::mutex mutex;
    return mutex;
}

}  // namespace

CoutBuffer::CoutBuffer() : std::ostream(nullptr) {
    rdbuf(&buffer_);
}

CoutBuffer::~CoutBuffer() {
    // Pending text leaves as a line rather than being lost. Never throws out of the destructor.
    try {
        if (buffer_.view().size() > 0) {
            EmitLine();
        }
    } catch (...) {
    }
}

void CoutBuffer::EmitLine() {
    {
        std::lock_guard<std::mutex> guard(ConsoleMutex());
        const std::string_view text = buffer_.view();
        std::cout.write(text.data(), static_cast<std::streamsize>(text.size()));
        std::cout.put('\n');
        std::cout.flush();
    }
    buffer_.str(std::string());
}

std::string CoutBuffer::GetPendingText() const {
    return buffer_.str();
}

std::ostream& endl(std::ostream& os) {
    if (auto* coutBuffer = dynamic_cast<CoutBuffer*>(&os)) {
        coutBuffer->EmitLine();
    } else {
        os.put('\n');
        os.flush();
    }
    return os;
}

}  // namespace fennic
