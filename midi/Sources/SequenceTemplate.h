#pragma once

#include <brix_core/BRIXSequence.h>
#include <brix_core/BrixEvent.h>
#include <brix_core/Timeline.h>

#include <cstddef>
#include <ostream>
#include <utility>
#include <vector>

namespace cmn {

// A typed sequence of timeline records or change-log events, held by value in
// ascending tick order. Reports its type code and size and writes its one-line
// summary and its indented listing; the refinements TL::TimelineSequence and
// CL::ChangeLogSequence supply the binary writer.
//
// Owner: whoever holds it (the song position model keeps its own copies).
// Threads: none of its own; not thread-safe, a built sequence is only read.
//
// The member definitions live in SequenceTemplate.cpp, instantiated there for the
// element types the song position model uses.
template <class T>
class SequenceTemplate : public BRIXSequence {
public:
    using value_type = T;
    using const_iterator = typename std::vector<T>::const_iterator;

    SequenceTemplate() = default;
    explicit SequenceTemplate(std::vector<T> elements) : elements_(std::move(elements)) {}

    unsigned char code() const override;
    std::size_t GetEventCount() const override;
    // The element type's edit name, "Sequence(code=0x.., event count = N)", no line end.
    void WriteSummary(fennic::CoutBuffer& out) const override;
    void WriteSummary(std::ostream& out) const override;
    // indent tabs, the summary and a line end; then per element indent + 1 tabs, the
    // element's WriteString and a line end (fennic::endl on a fennic::CoutBuffer,
    // std::endl on any other stream).
    void WriteEvents(fennic::CoutBuffer& out, unsigned int indent) const override;
    void WriteEvents(std::ostream& out, unsigned int indent) const override;

    const_iterator begin() const { return elements_.begin(); }
    const_iterator end() const { return elements_.end(); }
    std::size_t size() const { return elements_.size(); }
    bool empty() const { return elements_.empty(); }
    T const& operator[](std::size_t index) const { return elements_[index]; }

private:
    void WriteListing(std::ostream& out, unsigned int indent) const;

    std::vector<T> elements_;
};

extern template class SequenceTemplate<TL::BarsBeats>;
extern template class SequenceTemplate<TL::Key>;
extern template class SequenceTemplate<TL::Meter>;
extern template class SequenceTemplate<TL::PageNum>;
extern template class SequenceTemplate<TL::Tempo>;
extern template class SequenceTemplate<CL::Click>;
extern template class SequenceTemplate<CL::TempoScale>;
extern template class SequenceTemplate<CL::Transpose>;

} // namespace cmn
