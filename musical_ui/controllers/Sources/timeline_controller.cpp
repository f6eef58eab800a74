#include "timeline_controller.h"

#include "EditModel.h"
#include "bars_beats_view_controller.h"
#include "timeline_items.h"

#include <brix_core/CallbackDispatcher.h>
#include <brix_core/ChangeLog.h>
#include <brix_core/Editor.h>
#include <brix_core/Keys.h>
#include <brix_core/NotifyNames.h>
#include <brix_core/Timeline.h>
#include <brix_player_core/Interface.h>

#include <QQuickItem>
#include <QTimer>
#include <QVariant>

#include <algorithm>
#include <cstdio>
#include <limits>

namespace brix::qt {

namespace {

// The region rows' colour keys.
constexpr int kCutColour = 0;
constexpr int kSkipColour = 1;
constexpr int kRepeatColour = 2;
constexpr int kVampColour = 3;
constexpr int kTempoScaleColour = 4;
constexpr int kTranspositionColour = 5;
constexpr int kClickColour = 6;

const QString kOscGlyph = QStringLiteral("qrc:/images/lan.svg");

QQuickItem* RowItem(QObject* timeline, const char* name)
{
    return timeline == nullptr ? nullptr : timeline->property(name).value<QQuickItem*>();
}

int Pixels(std::uint32_t ticks)
{
    return static_cast<int>(ticks / TimelineController::kTicksPerPixel);
}

std::string TempoLabel(const TL::Tempo& tempo)
{
    char text[32];
    std::snprintf(text, sizeof text, " %.2f", tempo.bpm(24));
    return text;
}

std::string MeterLabel(const TL::Meter& meter)
{
    return " " + std::to_string(meter.numerator) + "/" + std::to_string(meter.denominator);
}

}  // namespace

TimelineController::TimelineController(QQmlEngine* engine, QQuickItem* timeline, std::shared_ptr<Interface> player,
                                       std::shared_ptr<brix::ShowManager> showManager,
                                       std::shared_ptr<EditModel> editModel, bool audioFades, bool enableOsc)
    : QmlController(timeline, engine),
      player_(std::move(player)),
      keyMarkersBar_(RowItem(timeline, "keyMarkersBar")),
      tempoMarkersBar_(RowItem(timeline, "tempoMarkersBar")),
      meterMarkersBar_(RowItem(timeline, "meterMarkersBar")),
      markersBar_(RowItem(timeline, "markersBar")),
      editsBar_(RowItem(timeline, "editsBar")),
      effectBar_(RowItem(timeline, "effectBar")),
      barsRegion_(RowItem(timeline, "barsRegion")),
      playheadItem_(RowItem(timeline, "playheadItem")),
      enableOsc_(enableOsc),
      barsBeatsView_(std::make_unique<BarsBeatsViewController>(barsRegion_.data(), player_, engine, kTicksPerPixel,
                                                               editModel, audioFades)),
      showManager_(std::move(showManager)),
      editModel_(std::move(editModel))
{
    if (timeline != nullptr) {
        connect(timeline, SIGNAL(timelineScaleChanged(double,bool)), this, SLOT(ViewScaleChanged_(double,bool)));
        connect(timeline, SIGNAL(timelineClicked(int)), this, SLOT(TimelineClicked_(int)));
        scrollLink_ = connect(this, SIGNAL(SetViewStart_(int)), timeline, SLOT(setViewStart(int)));
    }
    notify::callbackDispatcher.AddCallback(this, notify::names::editControllerMarkerListSelected, [this](void* data) {
        const auto* selection = static_cast<const notify::MarkerListSelection*>(data);
        if (selection != nullptr && !selection->playing)
            SetPlayheadPosition(selection->tick);
    });
}

TimelineController::~TimelineController()
{
    notify::callbackDispatcher.RemoveCallbacksForTarget(this);
    delete holdTimer_.data();
    // The bar row goes first, so clearing the items does not rebuild it from an engine that may be
    // shutting down.
    barsBeatsView_.reset();
    ClearItems();
}

void TimelineController::LoadSong(const std::string& songNumber)
{
    viewScale_ = 1.0;
    if (QObject* timeline = GetQmlObject())
        timeline->setProperty("viewScale", viewScale_);
    editModel_->SetSongNumber(songNumber);
    if (CL::Editor* editor = player_->GetChangeLogEditor())
        editor->SelectSongLogForEditing(songNumber);
    editModel_->LoadBarsBeats();
    const std::uint32_t end =
        std::max(player_->GetSongAudioEndTick(songNumber), player_->GetSongLength(songNumber));
    if (QObject* timeline = GetQmlObject())
        timeline->setProperty("baseWidth", end / kTicksPerPixel + 200.0);
    Rebuild();
}

void TimelineController::Rebuild()
{
    ClearItems();
    if (QObject* timeline = GetQmlObject())
        timeline->setProperty("viewScale", viewScale_);
    QQmlEngine* engine = GetEngine();
    const CL::SongLog& log = player_->GetSongLog();
    const TL::Timeline& timeline = player_->GetTimeline();

    const auto addRegions = [&](const auto& events, QQuickItem* row, int colourKey) {
        for (const cmn::BrixEvent& event : events) {
            regions_.push_back(std::make_unique<TimeRegionController>(
                &event, true, row, Pixels(event.abs_time()), Pixels(event.GetLengthTicks()), colourKey, engine));
        }
    };
    const auto addLabel = [&](auto& items, QQuickItem* row, std::uint32_t tick, const std::string& label) {
        items.push_back(std::make_unique<TimeLineMarkerController>(nullptr, false, label, Pixels(tick), row, engine));
    };

    addRegions(log.GetFermatas(), editsBar_.data(), kSkipColour);
    addRegions(log.GetVamps(), editsBar_.data(), kVampColour);
    addRegions(log.GetCuts(), editsBar_.data(), kCutColour);
    addRegions(log.GetRepeats(), editsBar_.data(), kRepeatColour);
    for (const CL::Caesura& caesura : log.GetDisplayCaesurasRef()) {
        caesuras_.push_back(std::make_unique<TimeLineCaesuraController>(&caesura, true, Pixels(caesura.abs_time()),
                                                                        editsBar_.data(), engine));
    }
    for (const CL::Marker& marker : log.GetMarkers().GetMarkers()) {
        markers_.push_back(std::make_unique<TimeLineMarkerController>(
            &marker, true, " " + CL::Marker(marker).value(), Pixels(marker.abs_time()), markersBar_.data(), engine));
    }
    for (const TL::Key& key : timeline.GetKeys())
        addLabel(keys_, keyMarkersBar_.data(), key.tick, " " + Keys::keyNameFromSig(key.sharpsFlats, key.mode));
    addRegions(log.GetTranspositions(), keyMarkersBar_.data(), kTranspositionColour);
    for (const TL::Tempo& tempo : timeline.GetTempos())
        addLabel(temposAndMeters_, tempoMarkersBar_.data(), tempo.tick, TempoLabel(tempo));
    for (const TL::Meter& meter : timeline.GetMeters())
        addLabel(temposAndMeters_, meterMarkersBar_.data(), meter.tick, MeterLabel(meter));
    addRegions(log.GetClicks(), meterMarkersBar_.data(), kClickColour);
    addRegions(log.GetTempoScales(), tempoMarkersBar_.data(), kTempoScaleColour);
    for (const CL::Osc& osc : log.GetOscs()) {
        oscGlyphs_.push_back(std::make_unique<TimeLineGlyphController>(
            &osc, true, Pixels(osc.abs_time()), effectBar_.data(), engine, kOscGlyph, enableOsc_));
    }

    ForEachChangeLogItem([this](BrixEventController& item) { ConnectItem(item); });
    UpdateLabelVisibility();
    ViewScaleChanged_(viewScale_, false);
}

void TimelineController::ClearItems()
{
    const auto retire = [](auto& items) {
        for (auto& item : items)
            item.release()->Retire();
        items.clear();
    };
    retire(regions_);
    retire(caesuras_);
    retire(markers_);
    retire(keys_);
    retire(temposAndMeters_);
    retire(oscGlyphs_);
    if (barsBeatsView_)
        barsBeatsView_->Rebuild();
}

void TimelineController::SetPlayheadPosition(std::uint32_t tick)
{
    if (playheadItem_.isNull())
        return;
    playheadItem_->setProperty("basePos", static_cast<std::int32_t>(tick - 8U) / kTicksPerPixel);
    const auto signedTick = static_cast<std::int32_t>(tick);
    if (signedTick < static_cast<std::int32_t>(GetViewStartTick()) ||
        signedTick > static_cast<std::int32_t>(GetViewEndTick()))
        emit SetViewStart_(static_cast<int>(tick / kTicksPerPixel));
}

std::uint32_t TimelineController::ViewTick(const char* property) const
{
    QObject* timeline = GetQmlObject();
    if (timeline == nullptr)
        return 0;
    // A view that overscrolls to the left starts below 0: it shows from the song's start.
    const double ticks = timeline->property(property).toInt() * kTicksPerPixel;
    return ticks <= 0.0 ? 0U : static_cast<std::uint32_t>(std::min(ticks, double(std::numeric_limits<std::uint32_t>::max())));
}

std::uint32_t TimelineController::GetViewStartTick() const
{
    return ViewTick("viewStart");
}

std::uint32_t TimelineController::GetViewEndTick() const
{
    return ViewTick("viewEnd");
}

void TimelineController::HoldScroll(int ms)
{
    if (!disconnect(scrollLink_))
        return;
    auto* timer = new QTimer();
    holdTimer_ = timer;
    timer->setSingleShot(true);
    connect(timer, &QTimer::timeout, this, [this, timer] {
        if (QObject* timeline = GetQmlObject())
            scrollLink_ = connect(this, SIGNAL(SetViewStart_(int)), timeline, SLOT(setViewStart(int)));
        timer->stop();
        timer->deleteLater();
    });
    timer->start(ms);
}

void TimelineController::ViewScaleChanged_(double val, bool /*initializing*/)
{
    viewScale_ = val;
    ForEachChangeLogItem([val](BrixEventController& item) { item.ApplyViewScale(val); });
    for (auto* labels : {&keys_, &temposAndMeters_}) {
        for (const auto& item : *labels)
            item->ApplyViewScale(val);
    }
    UpdateLabelVisibility();
    if (!playheadItem_.isNull())
        playheadItem_->setProperty("viewScale", val);
    barsBeatsView_->SetViewScale(val, false);
    emit SetViewStart_(static_cast<int>(GetViewStartTick() / kTicksPerPixel));
}

void TimelineController::TimelineClicked_(int pos)
{
    emit timelineClicked();
    const double scaled = std::max(0.0, pos * kTicksPerPixel);
    const std::uint32_t length = player_->GetSongLength(player_->GetCurrentSongNumber());
    const std::uint32_t target = std::min(static_cast<std::uint32_t>(scaled), length);
    player_->Seek(editModel_->GetBarsBeats()->Nearest(target));
}

void TimelineController::onEditRegionSelected(const cmn::BrixEvent* event)
{
    ForEachChangeLogItem([event](BrixEventController& item) { item.SetSelected(item.GetEvent() == event); });
    emit EditSelectedSignal(event);
}

void TimelineController::onEditRegionDoubleClicked()
{
    emit EditDoubleClickedSignal();
}

void TimelineController::onEditRegionDragged(const cmn::BrixEvent* event, int start, int end, bool adjustLeft,
                                             bool adjustRight)
{
    emit EditDraggedSignal(event, static_cast<int>(start * kTicksPerPixel), static_cast<int>(end * kTicksPerPixel),
                           adjustLeft, adjustRight);
    HoldScroll(100);
}

template <class Visit>
void TimelineController::ForEachChangeLogItem(Visit&& visit) const
{
    for (const auto& item : regions_)
        visit(*item);
    for (const auto& item : caesuras_)
        visit(*item);
    for (const auto& item : markers_)
        visit(*item);
    for (const auto& item : oscGlyphs_)
        visit(*item);
}

void TimelineController::ConnectItem(BrixEventController& item)
{
    connect(&item, &BrixEventController::SelectedSignal, this, &TimelineController::onEditRegionSelected);
    connect(&item, &BrixEventController::DoubleClickedSignal, this, &TimelineController::onEditRegionDoubleClicked);
    connect(&item, &BrixEventController::DraggedSignal, this, &TimelineController::onEditRegionDragged);
}

void TimelineController::UpdateLabelVisibility()
{
    // Only neighbours on one row hide each other's labels (tempos and meters share a vector but not a
    // row); the last item of a row keeps its state.
    for (auto* labels : {&markers_, &keys_, &temposAndMeters_}) {
        for (std::size_t i = 0; i + 1 < labels->size(); ++i) {
            TimeLineMarkerController& item = *(*labels)[i];
            const TimeLineMarkerController& next = *(*labels)[i + 1];
            const QObject* row = item.GetQmlObject() == nullptr ? nullptr : item.GetQmlObject()->parent();
            if (next.GetQmlObject() == nullptr || next.GetQmlObject()->parent() != row)
                continue;
            item.SetVisibleLabel(item.GetRightEdge() + 10 < next.GetX());
        }
    }
}

}  // namespace brix::qt
