#include <brix_core/BRIXSequence.h>

#include <brix_core/BinaryReader.h>
#include <brix_core/EventCodes.h>

#include "LittleEndian.h"

#include <fennic/CoutBuffer.h>

#include <stdexcept>

namespace cmn {

void BRIXSequence::WriteSummaryText(std::ostream& out) const {
    out << codes::EditName(code()) << "Sequence(" << "code=" << std::hex << std::showbase
        << unsigned{code()} << std::dec << std::noshowbase << ", " << "event count = "
        << GetEventCount() << ")";
}

void BRIXSequence::WriteBinaryHeader(std::ostream& out) const {
    WriteBinaryHeader(out, code(), GetEventCount());
}

void BRIXSequence::WriteBinaryHeader(std::ostream& out, unsigned char code, std::size_t count) {
    if (count > UINT32_MAX) {
        throw std::length_error("sequence of more than 2^32 - 1 events cannot be written");
    }
    brix_core_detail::WriteLittleEndian(out, static_cast<std::uint8_t>(code));
    brix_core_detail::WriteLittleEndian(out, static_cast<std::uint32_t>(count));
}

BRIXSequence::BinaryHeader BRIXSequence::ReadBinaryHeader(BinaryReader& in,
                                                          std::size_t minimumElementSize) {
    BinaryHeader header;
    header.code = in.ReadU8("sequence code");
    header.count = in.ReadCount(minimumElementSize, "sequence element count");
    return header;
}

void BRIXSequence::WriteSummaryLine(std::ostream& out, unsigned int indent) const {
    out << std::string(indent, '\t');
    WriteSummaryText(out);
    out << fennic::endl;
}

}  // namespace cmn
