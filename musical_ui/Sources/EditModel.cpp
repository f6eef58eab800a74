#include "EditModel.h"

#include "ShowManager.h"

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

}  // namespace brix::qt
