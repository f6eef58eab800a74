#pragma once

#include <brix_core/FileVersion.h>

#include <cstddef>
#include <cstdint>
#include <ostream>

namespace fennic {
class CoutBuffer;
}

namespace cmn {

class BinaryReader;

// Base of every sequence of timeline records or change-log events. The virtual operations keep this
// slot order: code, WriteBinary, GetEventCount, the two WriteSummary, the two WriteEvents, destructor.
//
// Binary form of a sequence (WriteBinary): u8 code, u32 element count (little-endian), then the
// elements in order, each in its own binary form.
// Summary: the kind's edit name (codes::EditName, "" for an unknown code), "Sequence(code=0x..,
// event count = N)", no line end. Listing: indent tabs, the summary and a line end, then per element
// indent + 1 tabs, its WriteString and a line end (std::endl on a std::ostream, fennic::endl on a
// fennic::CoutBuffer).
class BRIXSequence {
public:
    virtual unsigned char code() const = 0;
    virtual void WriteBinary(std::ostream& out, const FileVersion& version) const = 0;
    virtual std::size_t GetEventCount() const = 0;
    virtual void WriteSummary(fennic::CoutBuffer& out) const = 0;
    virtual void WriteSummary(std::ostream& out) const = 0;
    virtual void WriteEvents(fennic::CoutBuffer& out, unsigned int indent) const = 0;
    virtual void WriteEvents(std::ostream& out, unsigned int indent) const = 0;
    virtual ~BRIXSequence() = default;

    // The binary header of a sequence of count elements of a code. Throws std::length_error when the
    // count does not fit 32 bits.
    static void WriteBinaryHeader(std::ostream& out, unsigned char code, std::size_t count);
    struct BinaryHeader {
        unsigned char code = 0;
        std::uint32_t count = 0;
    };
    // Reads a binary header. The count is checked against the bytes left for elements of at least
    // minimumElementSize bytes each (cmn::BinaryFormatError when they cannot fit).
    static BinaryHeader ReadBinaryHeader(BinaryReader& in, std::size_t minimumElementSize);

protected:
    // The summary text above for code() and GetEventCount(); the stream is left in decimal without
    // the base prefix. For the sequences' WriteSummary.
    void WriteSummaryText(std::ostream& out) const;
    // The binary header above: code() and GetEventCount() (which must fit 32 bits).
    void WriteBinaryHeader(std::ostream& out) const;
    // The listing's first line: indent tabs, the summary and fennic::endl (which is std::endl on any
    // stream other than a fennic::CoutBuffer).
    void WriteSummaryLine(std::ostream& out, unsigned int indent) const;
};

}  // namespace cmn
