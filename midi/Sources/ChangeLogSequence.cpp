#include "ChangeLogSequence.h"

namespace CL {

template <class T>
void ChangeLogSequence<T>::WriteBinary(std::ostream& out, cmn::FileVersion const& version) const
{
    this->WriteBinaryHeader(out);
    for (T const& event : *this) {
        event.WriteBinary(out, version);
    }
}

template class ChangeLogSequence<Click>;
template class ChangeLogSequence<TempoScale>;
template class ChangeLogSequence<Transpose>;

} // namespace CL
