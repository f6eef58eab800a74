#include "TimelineSequence.h"

#include <bit>
#include <type_traits>

namespace TL {

// The records' layouts are little-endian; their raw bytes are the binary form only
// on a little-endian machine.
static_assert(std::endian::native == std::endian::little, "timeline records are written as raw little-endian bytes");

template <class T>
void TimelineSequence<T>::WriteBinary(std::ostream& out, cmn::FileVersion const&) const
{
    static_assert(std::is_trivially_copyable_v<T>);
    this->WriteBinaryHeader(out);
    for (T const& record : *this) {
        out.write(reinterpret_cast<char const*>(&record), sizeof(T));
    }
}

template class TimelineSequence<BarsBeats>;
template class TimelineSequence<Key>;
template class TimelineSequence<Meter>;
template class TimelineSequence<PageNum>;
template class TimelineSequence<Tempo>;

} // namespace TL
