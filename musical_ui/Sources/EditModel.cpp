#include "EditModel.h"

#include "ShowManager.h"

#include <algorithm>
#include <stdexcept>

namespace brix::qt {

namespace {

std::shared_ptr<Interface> EngineOf(const brix::ShowManager& showManager)
{
    std::shared_ptr<Interface> engine = showManager.GetInterface();
    if (!engine)
        throw std::logic_error("EditModel: no show is loaded.");
    return engine;
}

}  // namespace

EditModel::EditModel(std::shared_ptr<brix::ShowManager> showManager)
    : showManager_(std::move(showManager)),
      barsBeats_(std::make_shared<BarsBeatsEventSequence>(TL::TimelineSequence<TL::BarsBeats>()))
{
}

void EditModel::LoadBarsBeats()
{
    barsBeats_ = std::make_shared<BarsBeatsEventSequence>(EngineOf(*showManager_)->GetBarsBeats(songNumber_));
}

std::uint32_t EditModel::GetSongLength() const
{
    return showManager_->GetSongLength(songNumber_);
}

std::uint32_t EditModel::GetSongAudioEndTick() const
{
    return EngineOf(*showManager_)->GetSongAudioEndTick(songNumber_);
}

void EditModel::LoadEventRows()
{
    ClearSelection();
    eventRows_.clear();
    for (const auto& event : showManager_->GetChangeLogPanelEvents())
        eventRows_.push_back(*event);
}

void EditModel::LoadMarkerRows()
{
    ClearSelection();
    markerRows_ = showManager_->GetMarkersWithBarStrings();
}

bool EditModel::Select(const cmn::BrixEvent* row)
{
    if (row == selected_)
        return false;
    selected_ = row;
    return true;
}

bool EditModel::SelectEvent(const cmn::BrixEvent* event)
{
    if (event == nullptr)
        return ClearSelection();
    if (event->code() != codes::osc || oscEnabled_) {
        const auto sameId = [event](const cmn::BrixEvent& row) { return row.EventId() == event->EventId(); };
        const auto row = std::find_if(eventRows_.begin(), eventRows_.end(), sameId);
        if (row != eventRows_.end())
            return Select(&*row);
    }
    const int marker = MarkerRowOf(*event);
    if (marker >= 0)
        return Select(&markerRows_[static_cast<std::size_t>(marker)].first);
    return ClearSelection();
}

bool EditModel::SelectEventRow(int row)
{
    if (row < 0 || static_cast<std::size_t>(row) >= eventRows_.size())
        return false;
    return SelectEvent(&eventRows_[static_cast<std::size_t>(row)]);
}

bool EditModel::SelectMarkerRow(int row)
{
    if (row < 0 || static_cast<std::size_t>(row) >= markerRows_.size())
        return false;
    return Select(&markerRows_[static_cast<std::size_t>(row)].first);
}

bool EditModel::ClearSelection()
{
    return Select(nullptr);
}

int EditModel::MarkerRowOf(const cmn::BrixEvent& event) const
{
    if (event.code() != codes::marker)
        return -1;
    for (std::size_t i = 0; i < markerRows_.size(); ++i) {
        if (markerRows_[i].first.EventId() == event.EventId())
            return static_cast<int>(i);
    }
    return -1;
}

}  // namespace brix::qt
