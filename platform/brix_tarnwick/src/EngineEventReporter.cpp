#include "EngineEventReporter.h"

#include "HowToPlay.h"
#include "UserControls.h"

#include <brix_core/ChangeLog.h>

#include <algorithm>
#include <functional>
#include <utility>

namespace brix_tarnwick {

namespace {

std::string ZeroFilled(std::string text, std::size_t width)
{
    if (text.size() < width) {
        text.insert(0, width - text.size(), '0');
    }
    return text;
}

}  // namespace

std::string BarBeatText(const std::string& bar, unsigned int beat)
{
    return ZeroFilled(bar, 4) + "|" + ZeroFilled(std::to_string(beat), 2);
}

EngineEventReporter::EngineEventReporter(const brix_midi::ShowData& show, UserControls& userControls)
    : show_(show), userControls_(userControls)
{
    notify::guiDispatcher.AddListener(this, [this](const notify::GuiEvent& event) { OnGuiEvent(event); });
}

EngineEventReporter::~EngineEventReporter()
{
    notify::guiDispatcher.RemoveListenersForTarget(this);
}

void EngineEventReporter::ChangeLogChanged()
{
    std::lock_guard lock(mutex_);
    if (!songNumber_.empty()) {
        LoadModel_(songNumber_);
    }
}

void EngineEventReporter::OnGuiEvent(const notify::GuiEvent& event)
{
    using notify::EngineEvent;
    using notify::GuiEventKind;
    switch (event.kind) {
    case GuiEventKind::PlaybackStarted:
        notify::SendEngineEvent(EngineEvent::PlaybackStarted);
        break;
    case GuiEventKind::PlaybackStopped:
        notify::SendEngineEvent(EngineEvent::PlaybackStopped);
        break;
    case GuiEventKind::PlaybackPaused:
        notify::SendEngineEvent(EngineEvent::PlaybackPaused);
        break;
    case GuiEventKind::SongLoaded:
        OnSongLoaded(event.text);
        break;
    case GuiEventKind::Playhead:
        OnPlayhead(static_cast<unsigned int>(event.value));
        break;
    case GuiEventKind::StatusFlowControl:
        OnFlowControl(event.text, static_cast<int>(event.value));
        break;
    case GuiEventKind::MidiCommandCanceled:
        notify::SendEngineEvent(EngineEvent::MIDICommandCanceled, static_cast<int>(event.value));
        break;
    case GuiEventKind::LearnedMidiCommand:
        notify::SendEngineEvent(EngineEvent::LearnedMIDICommand, static_cast<int>(event.value));
        break;
    case GuiEventKind::MidiNotification:
        notify::SendEngineEvent(EngineEvent::MidiNotification);
        break;
    case GuiEventKind::ProgramChange:
        notify::SendEngineEvent(EngineEvent::ProgramChange,
                                static_cast<int>((event.value << 16) | (event.second & 0xFFFF)));
        break;
    default:
        break;
    }
}

void EngineEventReporter::LoadModel_(const std::string& songNumber)
{
    const brix_midi::SongData& song = show_.GetSong(songNumber);
    const auto changeLog = ActiveChangeLogShared::Get();
    const CL::SongLog log =
        changeLog->HasSongLog(songNumber) ? changeLog->GetSongLog(songNumber) : CL::SongLog(songNumber, song.GetSongName());
    auto model = std::make_unique<HowToPlay>(userControls_);
    model->SetData(log, song.GetTimeline(), song.GetResolution());
    model_ = std::move(model);
    markerTicks_.clear();
    for (const CL::Marker& marker : log.GetMarkers().GetMarkers()) {
        markerTicks_.push_back(marker.abs_time());
    }
    songNumber_ = songNumber;
}

void EngineEventReporter::OnSongLoaded(const std::string& songNumber)
{
    std::string title;
    {
        std::lock_guard lock(mutex_);
        sent_ = {};
        try {
            LoadModel_(songNumber);
            title = show_.GetSong(songNumber).GetSongName();
        } catch (const std::exception&) {
            // A song the model cannot follow: its position texts stay unsent.
            model_.reset();
            songNumber_ = songNumber;
        }
    }
    notify::SendEngineEvent(notify::EngineEvent::SongLoaded, 0, songNumber);
    notify::SendEngineEvent(notify::EngineEvent::SongTitle, 0, title);
}

void EngineEventReporter::OnPlayhead(unsigned int tick)
{
    using notify::EngineEvent;
    notify::SendEngineEvent(EngineEvent::Playhead, static_cast<int>(tick));
    std::vector<std::function<void()>> changes;
    {
        std::lock_guard lock(mutex_);
        if (!model_) {
            return;
        }
        if (tick < model_->GetTickIndex()) {
            model_->Seek(tick);
        } else {
            model_->AdvanceToTickIndex(tick);
        }
        auto text = [&](std::string& last, std::string now, EngineEvent event) {
            if (now != last) {
                last = now;
                changes.emplace_back([event, now] { notify::SendEngineEvent(event, 0, now); });
            }
        };
        auto value = [&](std::optional<int>& last, int now, EngineEvent event) {
            if (last != now) {
                last = now;
                changes.emplace_back([event, now] { notify::SendEngineEvent(event, now); });
            }
        };
        const TL::BarsBeats& barBeat = model_->GetBarBeat();
        text(sent_.barBeat, BarBeatText(barBeat.bar_number(), barBeat.beat), EngineEvent::BarBeat);
        value(sent_.page, model_->GetPageNumberValue(), EngineEvent::PageNum);
        const auto after = std::upper_bound(markerTicks_.begin(), markerTicks_.end(), model_->GetTickIndex());
        if (after != markerTicks_.begin()) {
            value(sent_.marker, static_cast<int>(after - markerTicks_.begin()) - 1, EngineEvent::Marker);
        }
        text(sent_.key, model_->GetKeyString(), EngineEvent::Key);
        text(sent_.tempo, model_->GetTempoString(), EngineEvent::Tempo);
        text(sent_.meter, model_->GetMeterString(), EngineEvent::Meter);
        value(sent_.transposition, model_->GetTranspositionValue(), EngineEvent::Transposition);
        text(sent_.tempoScale, model_->GetTempoScaleString(), EngineEvent::TempoScale);
    }
    for (const auto& send : changes) {
        send();
    }
}

void EngineEventReporter::OnFlowControl(const std::string& label, int count)
{
    notify::SendEngineEvent(notify::EngineEvent::StatusFlowControl, count, label);
    if (label == "PickupBeat" || label == "ClearPickupBeat") {
        return;  // the conductor's pickup beat says nothing about the road
    }
    std::optional<bool> vamp;
    {
        std::lock_guard lock(mutex_);
        const bool inVamp = label == "Vamp";
        if (inVamp != inVamp_) {
            inVamp_ = inVamp;
            vamp = inVamp;
        }
    }
    if (vamp) {
        notify::SendEngineEvent(*vamp ? notify::EngineEvent::VampOn : notify::EngineEvent::VampOff);
    }
}

}  // namespace brix_tarnwick
