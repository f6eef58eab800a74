#include <brix_player_core/ShowControl.h>

#include <brix_player_core/BrixExt.h>
#include <brix_player_core/GuiUpdate.h>

#include <brix_core/GuiDispatcher.h>

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <utility>

LoopEvent& LoopEventList::GetFirstLoopEvent() {
    if (events_.empty()) {
        throw std::out_of_range("LoopEventList::GetFirstLoopEvent: the list is empty");
    }
    return events_.front();
}

const LoopEvent& LoopEventList::GetFirstLoopEvent() const {
    return const_cast<LoopEventList*>(this)->GetFirstLoopEvent();
}

void LoopEventList::RemoveFirst() {
    if (!events_.empty()) {
        events_.pop_front();
    }
}

ShowControl::ShowControl(ActiveSongNumber& activeSongNumber, brix_midi::ShowData& showData)
    : activeSongNumber_(activeSongNumber), showData_(showData) {}

ShowControl::~ShowControl() = default;

bool ShowControl::FullReset() {
    {
        std::lock_guard lock(mutex_);
        if (!song_) {
            return false;
        }
        GoToRoadStart_();
    }
    PublishFlowControlState_();
    return true;
}

void ShowControl::GoToRoadStart_() {
    ResetControlVariables();
    FindNextControlEventOnSeek(songStartTick_, true);
    tick_ = result_.eventTick;
    lastSeekTick_ = tick_;
    result_ = {};
    UpdateFlowControlState_();
}

unsigned int ShowControl::GetEndTickIndex() {
    std::lock_guard lock(mutex_);
    return songEndTick_;
}

unsigned int ShowControl::GetStartTickIndex() {
    std::lock_guard lock(mutex_);
    return road_.Resolve(songStartTick_);
}

void ShowControl::LoadSong() {
    {
        std::lock_guard lock(mutex_);
        const std::string number = activeSongNumber_.Get();
        const auto found = showData_.GetSongs().find(number);
        if (found == showData_.GetSongs().end()) {
            throw std::out_of_range("the show has no song \"" + number + "\"");
        }
        const LoadedSongState previous = GetLoadedSongState_();
        try {
            song_ = found->second;
            LoadStartAndEndTickIndices();
            FinishLoadingSongLog_();
        } catch (...) {
            RestoreLoadedSongState_(previous);
            throw;
        }
        GoToRoadStart_();
    }
    PublishFlowControlState_();
}

ShowControl::LoadedSongState ShowControl::GetLoadedSongState_() const {
    std::lock_guard lock(mutex_);
    return {song_, songLog_, road_, songStartTick_, songEndTick_, tick_, lastSeekTick_};
}

void ShowControl::RestoreLoadedSongState_(const LoadedSongState& state) {
    std::lock_guard lock(mutex_);
    song_ = state.song;
    songLog_ = state.songLog;
    road_ = state.road;
    songStartTick_ = state.songStartTick;
    songEndTick_ = state.songEndTick;
    tick_ = state.tick;
    lastSeekTick_ = state.lastSeekTick;
}

void ShowControl::NotifyNewChangeLog() {
    {
        std::lock_guard lock(mutex_);
        if (!song_) {
            return;
        }
        FinishLoadingSongLog_();
        tick_ = road_.Resolve(tick_);
        ResetControlVariables();
        UpdateFlowControlState_();
    }
    PublishFlowControlState_();
}

void ShowControl::OnCaesuraStop() {
    {
        std::lock_guard lock(mutex_);
        if (pendingCaesura_) {
            tick_ = caesuraTick_;
            pendingCaesura_ = false;
            heldAtCaesura_ = true;
        }
        UpdateFlowControlState_();
    }
    PublishFlowControlState_();
}

void ShowControl::ResetGuiUpdate() {
    const unsigned int tick = GetTickIndex();
    if (gui::HasGuiUpdate()) {
        gui::GetGuiUpdate().ResetAndSeekToTickIndex(tick);
    }
}

bool ShowControl::Seek(unsigned int tick) {
    bool pending = false;
    {
        std::lock_guard lock(mutex_);
        FindNextControlEventOnSeek(tick, true);
        tick_ = result_.eventTick;
        lastSeekTick_ = tick_;
        tick = tick_;
        jump_ = false;
        jumpFrom_.reset();
        restart_ = false;
        pending = pendingCaesura_;
        UpdateFlowControlState_();
    }
    PublishFlowControlState_();
    if (gui::HasGuiUpdate()) {
        gui::GetGuiUpdate().Seek(tick);
    }
    return !pending;
}

void ShowControl::ResetControlVariables() {
    std::lock_guard lock(mutex_);
    road_.Land(tick_, true);
    road_.ForgetReachedCaesura();
    loopEvents_.Clear();
    result_ = {};
    jump_ = false;
    jumpByVampRepeatOrCut_ = false;
    jumpFrom_.reset();
    pendingCaesura_ = false;
    heldAtCaesura_ = false;
    fermataCanceledCaesura_ = false;
    restart_ = false;
}

int ShowControl::GetCaesuraCountdown() {
    std::lock_guard lock(mutex_);
    const auto ticks = road_.GetCaesuraTicksFrom(tick_);
    return ticks.empty() ? -1 : static_cast<int>(ticks.front() - tick_);
}

void ShowControl::FinishLoadingSongLog_() {
    std::lock_guard lock(mutex_);
    if (!song_) {
        return;
    }
    const auto changeLog = ActiveChangeLogShared::Get();
    const auto& logs = changeLog->GetSongLogs();
    const auto found = std::find_if(logs.begin(), logs.end(), [&](const CL::SongLog& log) {
        return log.GetSongNumber() == song_->GetSongNumber();
    });
    songLog_ = found != logs.end() ? *found : CL::SongLog(song_->GetSongNumber(), song_->GetSongName());
    road_.Load(songLog_, songStartTick_, songEndTick_);
}

void ShowControl::LoadStartAndEndTickIndices() {
    std::lock_guard lock(mutex_);
    if (!song_) {
        return;
    }
    songStartTick_ = song_->GetSongStartTickIndex();
    songEndTick_ = std::max(songStartTick_, song_->GetTimeline().GetLastTickIndex());
}

void ShowControl::SetJump(unsigned int tick, const fennic::LockInterface& lock, bool userSeek) {
    (void)lock;  // held by the caller; the base makes no call out that must run without it
    std::lock_guard guard(mutex_);
    preJumpTick_ = jumpFrom_.value_or(tick_);
    jumpFrom_.reset();
    tick_ = tick;
    jump_ = true;
    lastJumpTarget_ = tick;
    if (userSeek) {
        lastSeekTick_ = tick;
        jumpByVampRepeatOrCut_ = false;
    }
    UpdateFlowControlState_();
}

unsigned int ShowControl::GetTickIndex() const {
    std::lock_guard lock(mutex_);
    return tick_;
}

unsigned int ShowControl::GetMinStartTickIndex() const {
    std::lock_guard lock(mutex_);
    return songStartTick_;
}

unsigned int ShowControl::GetListenerTickIndex() const {
    return gui::HasGuiUpdate() ? gui::GetGuiUpdate().GetTickIndex() : GetTickIndex();
}

unsigned int ShowControl::GetSeekLeft() const {
    const unsigned int listener = GetListenerTickIndex();
    std::lock_guard lock(mutex_);
    unsigned int left = road_.Resolve(songStartTick_);
    for (const CL::Marker& marker : songLog_.GetMarkers().GetMarkers()) {
        if (marker.abs_time() < listener) {
            left = marker.abs_time();
        }
    }
    return left;
}

unsigned int ShowControl::GetSeekRight() const {
    const unsigned int listener = GetListenerTickIndex();
    std::lock_guard lock(mutex_);
    for (const CL::Marker& marker : songLog_.GetMarkers().GetMarkers()) {
        if (marker.abs_time() > listener) {
            return marker.abs_time();
        }
    }
    throw brix_ext::NoNextMarker();
}

std::optional<unsigned int> ShowControl::GetNextMeasureTickIndex(unsigned int tick) const {
    std::lock_guard lock(mutex_);
    if (!song_) {
        return std::nullopt;
    }
    for (const TL::BarsBeats& beat : song_->GetTimeline().GetBarsBeats()) {
        if (beat.beat == 1 && beat.tick > tick) {
            return beat.tick;
        }
    }
    return std::nullopt;
}

std::optional<unsigned int> ShowControl::GetPreviousMeasureTickIndex(unsigned int tick) const {
    std::lock_guard lock(mutex_);
    std::optional<unsigned int> previous;
    if (!song_) {
        return previous;
    }
    for (const TL::BarsBeats& beat : song_->GetTimeline().GetBarsBeats()) {
        if (beat.beat == 1 && beat.tick < tick) {
            previous = beat.tick;
        }
    }
    return previous;
}

double ShowControl::ConvertTickIndexToSeconds(unsigned int tick) const {
    std::lock_guard lock(mutex_);
    if (!song_) {
        return 0.0;
    }
    const auto& tempos = song_->GetTimeline().GetTempos();
    const TL::Tempo defaultTempo;
    double seconds = 0.0;
    unsigned int from = 0;
    const TL::Tempo* inForce = &defaultTempo;
    for (const TL::Tempo& tempo : tempos) {
        if (tempo.tick >= tick) {
            break;
        }
        seconds += (tempo.tick - from) * inForce->tick_time(song_->GetResolution());
        from = tempo.tick;
        inForce = &tempo;
    }
    return seconds + (tick - from) * inForce->tick_time(song_->GetResolution());
}

double ShowControl::VolumeAtTick(unsigned int tick) { return VolumeAtTick(tick, GetListenerTickIndex()); }

double ShowControl::VolumeAtTick(unsigned int tick, unsigned int listenerTick) {
    const double ahead = std::clamp(ConvertTickIndexToSeconds(tick) - ConvertTickIndexToSeconds(listenerTick), 0.0,
                                    kVolumeLookAheadSeconds);
    std::function<double(double)> source;
    {
        std::lock_guard lock(mutex_);
        source = volumeSource_;
    }
    if (!source) {
        return 1.0;
    }
    const double gain = source(ahead);
    return std::isnan(gain) ? 0.0 : std::clamp(gain, 0.0, 1.0);
}

void ShowControl::SetVolumeSource(std::function<double(double secondsAhead)> source) {
    std::lock_guard lock(mutex_);
    volumeSource_ = std::move(source);
}

std::pair<double, double> ShowControl::GetTimeCodeSecondsPair(unsigned int tick) const {
    return {ConvertTickIndexToSeconds(tick), ConvertTickIndexToSeconds(tick + GetTicksPerClockOfSong())};
}

void ShowControl::ResetCaesuraState(unsigned int tick) {
    {
        std::lock_guard lock(mutex_);
        pendingCaesura_ = false;
        heldAtCaesura_ = false;
        caesuraTick_ = tick;
        fermataCanceledCaesura_ = false;
        road_.ForgetReachedCaesura();
        UpdateFlowControlState_();
    }
    PublishFlowControlState_();
}

bool ShowControl::HasPendingCaesura() const {
    std::lock_guard lock(mutex_);
    return pendingCaesura_;
}

bool ShowControl::HasCaesuraAtTickIndex(unsigned int tick) const {
    std::lock_guard lock(mutex_);
    return road_.HasCaesuraAt(tick);
}

unsigned int ShowControl::GetCaesuraTickIndex() const {
    std::lock_guard lock(mutex_);
    return caesuraTick_;
}

void ShowControl::ReleaseHeldCaesura() {
    {
        std::lock_guard lock(mutex_);
        heldAtCaesura_ = false;
        UpdateFlowControlState_();
    }
    PublishFlowControlState_();
}

void ShowControl::ClearPendingCaesura() {
    {
        std::lock_guard lock(mutex_);
        pendingCaesura_ = false;
        heldAtCaesura_ = false;
        UpdateFlowControlState_();
    }
    PublishFlowControlState_();
}

std::vector<CountdownCaesura> ShowControl::GetCaesuraStack() const {
    std::lock_guard lock(mutex_);
    std::vector<CountdownCaesura> stack;
    for (const std::uint32_t tick : road_.GetCaesuraTicksFrom(tick_)) {
        stack.emplace_back(tick);
    }
    return stack;
}

bool ShowControl::GetJump() const {
    std::lock_guard lock(mutex_);
    return jump_;
}

void ShowControl::ClearJump() {
    std::lock_guard lock(mutex_);
    jump_ = false;
}

bool ShowControl::GetJumpForVampRepeatOrCut() const {
    std::lock_guard lock(mutex_);
    return jump_ && jumpByVampRepeatOrCut_;
}

bool ShowControl::GetFermataCanceledCaesura() {
    std::lock_guard lock(mutex_);
    return std::exchange(fermataCanceledCaesura_, false);
}

unsigned int ShowControl::GetLastJumpTargetTickIndex() const {
    std::lock_guard lock(mutex_);
    return lastJumpTarget_;
}

unsigned int ShowControl::GetPreJumpTickIndex() const {
    std::lock_guard lock(mutex_);
    return preJumpTick_;
}

unsigned int ShowControl::GetLastSeekTickIndex() const {
    std::lock_guard lock(mutex_);
    return lastSeekTick_;
}

bool ShowControl::CurrentSongIsAttacca() const {
    std::lock_guard lock(mutex_);
    if (!song_) {
        return false;
    }
    const auto state = attaccaStates_.find(song_->GetSongNumber());
    return state != attaccaStates_.end() ? state->second == 1 : song_->GetAttacca();
}

void ShowControl::SetAttaccaState(const std::string& songNumber, unsigned char state) {
    std::lock_guard lock(mutex_);
    attaccaStates_[songNumber] = state;
}

std::optional<unsigned int> ShowControl::FlowControlExit(unsigned int tick) {
    std::lock_guard lock(mutex_);
    const auto skipEnd = road_.ExitFlowControlRange(tick);
    if (skipEnd) {
        loopEvents_.Add({tick, static_cast<char>(codes::fermata)});
    }
    return skipEnd;
}

FlowControlState ShowControl::GetFlowControlState() const {
    std::lock_guard lock(mutex_);
    return flowState_;
}

void ShowControl::SetOscTrigger(std::function<void(unsigned int, unsigned int, unsigned int)> trigger) {
    std::lock_guard lock(mutex_);
    oscTrigger_ = std::move(trigger);
}

bool ShowControl::GetOscTriggerFlag() const {
    std::lock_guard lock(mutex_);
    return static_cast<bool>(oscTrigger_);
}

void ShowControl::TriggerOsc_(unsigned int fromTick, unsigned int toTick, unsigned int delayMilliseconds) {
    std::function<void(unsigned int, unsigned int, unsigned int)> trigger;
    {
        std::lock_guard lock(mutex_);
        trigger = oscTrigger_;
    }
    if (trigger) {
        trigger(fromTick, toTick, delayMilliseconds);
    }
}

void ShowControl::DoExpireFermata() {
    {
        std::unique_lock lock(mutex_);
        restart_ = false;
        if (loopEvents_.GetSize() == 0) {
            return;
        }
        const LoopEvent event = loopEvents_.GetFirstLoopEvent();
        loopEvents_.RemoveFirst();
        const auto skipEnd =
            event.kind == static_cast<char>(codes::fermata) ? road_.GetSkipEndAt(tick_) : std::nullopt;
        if (!skipEnd) {
            return;  // playback left the skip before the exit fell due
        }
        if (pendingCaesura_) {
            pendingCaesura_ = false;
            fermataCanceledCaesura_ = true;
        }
        heldAtCaesura_ = false;
        jumpFrom_ = tick_;
        FindNextControlEventOnSeek(*skipEnd, false);
        jumpByVampRepeatOrCut_ = false;
        const fennic::LockReference<std::unique_lock<std::recursive_mutex>> held(lock);
        SetJump(result_.eventTick, held, false);
        restart_ = true;
    }
    PublishFlowControlState_();
}

void ShowControl::ProcessLoopEventsAtCurrentTickIndex() {
    for (;;) {
        {
            std::lock_guard lock(mutex_);
            if (loopEvents_.GetSize() == 0 || loopEvents_.GetFirstLoopEvent().tick > tick_) {
                return;
            }
        }
        DoExpireFermata();
    }
}

bool ShowControl::GetRestartFlag() const {
    std::lock_guard lock(mutex_);
    return restart_;
}

LoopEventList ShowControl::GetLoopEvents() const {
    std::lock_guard lock(mutex_);
    return loopEvents_;
}

void ShowControl::MoveFirstLoopEvent(unsigned int tick) {
    std::lock_guard lock(mutex_);
    if (loopEvents_.GetSize() != 0) {
        loopEvents_.GetFirstLoopEvent().tick = tick;
    }
}

void ShowControl::FindNextControlEventOnAdvance(unsigned int fromTick, unsigned int toTick) {
    {
        std::lock_guard lock(mutex_);
        result_ = {};
        if (loopEvents_.GetSize() != 0 && loopEvents_.GetFirstLoopEvent().tick <= fromTick) {
            result_.rescan = true;
            return;
        }
        const SongRoad::Step step = road_.Scan(fromTick, toTick);
        result_.eventTick = step.tick;
        switch (step.kind) {
        case SongRoad::StepKind::Caesura:
            result_.caesuraReached = true;
            pendingCaesura_ = true;
            caesuraTick_ = step.tick;
            tick_ = step.tick;
            UpdateFlowControlState_();
            break;
        case SongRoad::StepKind::Jump:
            result_.jumpReached = true;
            result_.eventTick = step.target;
            result_.jumpFromTickIndex = step.tick;
            jumpFrom_ = step.tick;
            jumpByVampRepeatOrCut_ = true;
            break;
        case SongRoad::StepKind::Change:
            result_.eventInside = true;
            break;
        case SongRoad::StepKind::None:
            break;
        }
    }
    PublishFlowControlState_();
}

void ShowControl::FindNextControlEventOnSeek(unsigned int tick, bool userSeek) {
    std::lock_guard lock(mutex_);
    result_ = {};
    const unsigned int landing = road_.Resolve(tick);
    if (userSeek) {
        loopEvents_.Clear();
    }
    const bool caesura = road_.Land(landing, userSeek);
    result_.caesuraReached = caesura && !(userSeek && landing == road_.Resolve(songStartTick_));
    result_.eventTick = landing;
    if (userSeek) {
        pendingCaesura_ = false;
        heldAtCaesura_ = false;
    }
    if (result_.caesuraReached) {
        pendingCaesura_ = true;
        caesuraTick_ = landing;
    }
}

ControlEventResult ShowControl::GetControlEventResult() const {
    std::lock_guard lock(mutex_);
    return result_;
}

void ShowControl::SetCurrentTickIndex(unsigned int tick) {
    {
        std::lock_guard lock(mutex_);
        tick_ = tick;
        UpdateFlowControlState_();
    }
    PublishFlowControlState_();
}

void ShowControl::SetCaesuraTickIndex(unsigned int tick) {
    std::lock_guard lock(mutex_);
    caesuraTick_ = tick;
}

std::shared_ptr<const brix_midi::SongData> ShowControl::GetSongData() const {
    std::lock_guard lock(mutex_);
    return song_;
}

unsigned int ShowControl::GetTicksPerClockOfSong() const {
    std::lock_guard lock(mutex_);
    return song_ ? std::max(1u, song_->GetResolution() / 24u) : 1u;
}

void ShowControl::UpdateFlowControlState_() {
    FlowControlState state = pendingCaesura_ || heldAtCaesura_ ? FlowControlState{"Caesura", 0}
                                                               : road_.GetFlowControlState(tick_);
    if (state != flowState_) {
        flowState_ = state;
        flowStateToSend_ = std::move(state);
    }
}

void ShowControl::PublishFlowControlState_() {
    std::optional<FlowControlState> state;
    {
        std::lock_guard lock(mutex_);
        state.swap(flowStateToSend_);
    }
    if (state) {
        notify::guiDispatcher.SendStatusFlowControl(state->label, state->value);
    }
}
