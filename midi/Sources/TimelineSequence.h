#pragma once

#include "SequenceTemplate.h"

#include <brix_core/FileVersion.h>
#include <brix_core/Timeline.h>

#include <ostream>

namespace TL {

// A sequence of plain timeline records (bars/beats, keys, meters, page numbers,
// tempos). Binary form: the type code (1 byte), the element count (unsigned 32-bit
// little-endian), then each record's raw bytes (16 for TL::BarsBeats, 8 for the
// others). The file version does not change the form.
template <class T>
class TimelineSequence : public cmn::SequenceTemplate<T> {
public:
    using cmn::SequenceTemplate<T>::SequenceTemplate;

    void WriteBinary(std::ostream& out, cmn::FileVersion const& version) const override;
};

extern template class TimelineSequence<BarsBeats>;
extern template class TimelineSequence<Key>;
extern template class TimelineSequence<Meter>;
extern template class TimelineSequence<PageNum>;
extern template class TimelineSequence<Tempo>;

} // namespace TL
