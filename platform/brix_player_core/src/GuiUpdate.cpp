#include <brix_player_core/GuiUpdate.h>

#include <brix_core/GuiDispatcher.h>

#include <stdexcept>
#include <utility>

namespace gui {

GuiUpdate::GuiUpdate(Player& player, std::function<bool(unsigned int*)> nextTickIndex)
    : player_(player), nextTickIndex_(std::move(nextTickIndex)) {
    if (!nextTickIndex_) {
        throw std::invalid_argument("GuiUpdate: the tick index source is empty");
    }
}

GuiUpdate::~GuiUpdate() = default;

void GuiUpdate::UpdateOnce() {
    unsigned int tick = GetTickIndex();
    nextTickIndex_(&tick);
    {
        std::lock_guard lock(mutex_);
        tickIndex_ = tick;
    }
    Show(tick);
}

bool GuiUpdate::UseCurrentPosition() const {
    std::lock_guard lock(mutex_);
    return useCurrentPosition_;
}

unsigned int GuiUpdate::GetTickIndex() const {
    std::lock_guard lock(mutex_);
    return tickIndex_;
}

void GuiUpdate::SendGuiUpdateWithTickIndex(unsigned int tick) {
    {
        std::lock_guard lock(mutex_);
        queue_.push_back(tick);
        useCurrentPosition_ = false;
    }
    UpdateOnce();
}

void GuiUpdate::SendGuiUpdateWithoutCaesura(unsigned int tick) {
    {
        std::lock_guard lock(mutex_);
        queue_.clear();
        tickIndex_ = tick;
    }
    Show(tick);
}

void GuiUpdate::ResetAndSeekToTickIndex(unsigned int tick) {
    Reset();
    Seek(tick);
}

void GuiUpdate::Reset() {
    std::lock_guard lock(mutex_);
    queue_.clear();
    useCurrentPosition_ = false;
}

void GuiUpdate::Seek(unsigned int tick) {
    {
        std::lock_guard lock(mutex_);
        queue_.clear();
        tickIndex_ = tick;
        useCurrentPosition_ = true;
    }
    Show(tick);
}

bool GuiUpdate::PopQueuedTickIndex(unsigned int* tick) {
    std::lock_guard lock(mutex_);
    if (queue_.empty()) {
        return false;
    }
    *tick = queue_.front();
    queue_.pop_front();
    return true;
}

void GuiUpdate::Show(unsigned int tick) { notify::guiDispatcher.SendPlayhead(tick); }

namespace {

std::mutex installedMutex;
std::unique_ptr<GuiUpdate> installed;

}  // namespace

void SetGuiUpdate(std::unique_ptr<GuiUpdate>&& guiUpdate) {
    std::unique_ptr<GuiUpdate> previous = std::move(guiUpdate);
    {
        std::lock_guard lock(installedMutex);
        installed.swap(previous);
    }
}

GuiUpdate& GetGuiUpdate() {
    std::lock_guard lock(installedMutex);
    if (!installed) {
        throw std::logic_error("GetGuiUpdate: no GUI updater is installed");
    }
    return *installed;
}

bool HasGuiUpdate() {
    std::lock_guard lock(installedMutex);
    return installed != nullptr;
}

}  // namespace gui
