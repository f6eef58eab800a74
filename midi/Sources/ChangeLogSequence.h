#pragma once

#include "SequenceTemplate.h"

#include <brix_core/BrixEvent.h>
#include <brix_core/FileVersion.h>

#include <ostream>

namespace CL {

// A sequence of change-log regions (clicks, tempo scales, transpositions) in
// abs_time() order. Binary form: the type code (1 byte), the element count
// (unsigned 32-bit little-endian), then each event in the event's own binary form
// for the given file version.
template <class T>
class ChangeLogSequence : public cmn::SequenceTemplate<T> {
public:
    using cmn::SequenceTemplate<T>::SequenceTemplate;

    void WriteBinary(std::ostream& out, cmn::FileVersion const& version) const override;
};

extern template class ChangeLogSequence<Click>;
extern template class ChangeLogSequence<TempoScale>;
extern template class ChangeLogSequence<Transpose>;

} // namespace CL
