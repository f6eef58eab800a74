#include "SequenceTemplate.h"

#include <fennic/CoutBuffer.h>

#include <string>

namespace cmn {

template <class T>
unsigned char SequenceTemplate<T>::code() const
{
    return T::evt_code;
}

template <class T>
std::size_t SequenceTemplate<T>::GetEventCount() const
{
    return elements_.size();
}

template <class T>
void SequenceTemplate<T>::WriteSummary(fennic::CoutBuffer& out) const
{
    WriteSummaryText(out);
}

template <class T>
void SequenceTemplate<T>::WriteSummary(std::ostream& out) const
{
    WriteSummaryText(out);
}

template <class T>
void SequenceTemplate<T>::WriteEvents(fennic::CoutBuffer& out, unsigned int indent) const
{
    WriteListing(out, indent);
}

template <class T>
void SequenceTemplate<T>::WriteEvents(std::ostream& out, unsigned int indent) const
{
    WriteListing(out, indent);
}

template <class T>
void SequenceTemplate<T>::WriteListing(std::ostream& out, unsigned int indent) const
{
    // fennic::endl emits the line on a CoutBuffer and is std::endl on any other stream.
    WriteSummaryLine(out, indent);
    std::string const tabs(indent + 1, '\t');
    for (T const& element : elements_) {
        out << tabs;
        element.WriteString(out);
        out << fennic::endl;
    }
}

template class SequenceTemplate<TL::BarsBeats>;
template class SequenceTemplate<TL::Key>;
template class SequenceTemplate<TL::Meter>;
template class SequenceTemplate<TL::PageNum>;
template class SequenceTemplate<TL::Tempo>;
template class SequenceTemplate<CL::Click>;
template class SequenceTemplate<CL::TempoScale>;
template class SequenceTemplate<CL::Transpose>;

} // namespace cmn
