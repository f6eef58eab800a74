#include "bars_beats_view_controller.h"

#include "EditModel.h"
#include "timeline_items.h"

#include <brix_player_core/Interface.h>

#include <QMetaObject>
#include <QQuickItem>
#include <QUrl>
#include <QVariant>

#include <algorithm>

namespace brix::qt {

BarController::BarController(const std::string& label, int position, bool isBar, double viewScale,
                             QQuickItem* parent, QQmlEngine* engine)
    : QmlController(engine, QUrl(QString::fromLatin1(kMusicalUiQmlFolder) + QStringLiteral("TimeBar.qml")), parent,
                    true),
      viewScale_(viewScale), isBar_(isBar), label_(label)
{
    if (QObject* item = GetQmlObject()) {
        item->setProperty("basePos", position);
        item->setProperty("barLabel", QString::fromStdString(label));
        item->setProperty("isBar", isBar);
        item->setProperty("viewScale", viewScale);
    }
    SetShown(true, true);
}

void BarController::SetIsEndBar(bool isEndBar)
{
    if (QObject* item = GetQmlObject())
        item->setProperty("isEndBar", isEndBar);
}

void BarController::SetShowLabel(bool show)
{
    if (QObject* item = GetQmlObject())
        item->setProperty("showLabel", show);
}

bool BarController::IsLabelShown() const
{
    QObject* item = GetQmlObject();
    return item != nullptr && item->property("showLabel").toBool();
}

bool BarController::IsShown() const
{
    QObject* item = GetQmlObject();
    return item != nullptr && item->property("visible").toBool();
}

void BarController::SetViewScale(double scale, bool initializing)
{
    if (scale == viewScale_)
        return;
    viewScale_ = scale;
    if (QObject* item = GetQmlObject())
        item->setProperty("viewScale", scale);
    if (!isBar_)
        SetShown(scale >= thresholdScale_, initializing);
}

void BarController::SetShown(bool shown, bool initializing)
{
    const bool show = shown && (isBar_ || viewScale_ >= thresholdScale_);
    if (GetQmlObject() == nullptr)
        return;
    if (initializing) {
        GetQmlObject()->setProperty("opacity", 1.0);
        SetVisible(show);
    } else if (show) {
        FadeIn();
    } else {
        FadeOut();
    }
}

void BarController::FadeIn()
{
    QMetaObject::invokeMethod(GetQmlObject(), "fadeInMethod");
}

void BarController::FadeOut()
{
    QMetaObject::invokeMethod(GetQmlObject(), "fadeOutMethod");
}

BarsBeatsViewController::BarsBeatsViewController(QQuickItem* barsRegion, std::shared_ptr<Interface> engine,
                                                 QQmlEngine* qmlEngine, double ticksPerPixel,
                                                 std::shared_ptr<EditModel> editModel, bool audioFades)
    : qmlEngine_(qmlEngine), barsRegion_(barsRegion), engine_(std::move(engine)), editModel_(std::move(editModel)),
      ticksPerPixel_(ticksPerPixel), audioFades_(audioFades)
{
    if (barsRegion != nullptr)
        audioFadeBox_ = barsRegion->property("audioFadeBoxControl").value<QObject*>();
}

BarsBeatsViewController::~BarsBeatsViewController() = default;

void BarsBeatsViewController::Rebuild()
{
    bars_.clear();
    if (barsRegion_.isNull())
        return;
    const std::string& song = editModel_->GetSongNumber();
    const std::uint32_t length = engine_->GetSongLength(song);
    const auto toPixels = [this](std::uint32_t tick) { return static_cast<int>(tick / ticksPerPixel_); };

    int z = 0;
    const auto addLine = [&](const std::string& label, std::uint32_t tick, bool isBar) -> BarController& {
        bars_.push_back(
            std::make_unique<BarController>(label, toPixels(tick), isBar, viewScale_, barsRegion_.data(), qmlEngine_));
        bars_.back()->SetZ(z--);
        return *bars_.back();
    };
    const BarsBeatsEventSequence& map = *editModel_->GetBarsBeats();
    for (std::size_t bar = 0; bar < map.GetBarCount(); ++bar) {
        if (map.GetBarTick(bar) < length)
            addLine(map.GetBarLabel(bar), map.GetBarTick(bar), true);
        for (std::size_t beat = 1; beat < map.GetBeatCount(bar); ++beat) {
            if (map.GetBeatTick(bar, beat) < length)
                addLine(map.GetBeatLabel(bar, beat), map.GetBeatTick(bar, beat), false);
        }
    }
    addLine("", length, true).SetIsEndBar(true);

    // The audio boxes; a width never wraps below zero when the audio and the song end disagree.
    const std::uint32_t audioEnd = engine_->GetSongAudioEndTick(song);
    std::uint32_t fadePos = 0;
    std::uint32_t fadeWidth = 0;
    std::uint32_t outPos = 0;
    std::uint32_t outWidth = 0;
    if (audioEnd >= length && audioFades_) {
        fadePos = length;
        fadeWidth = audioEnd - length;
    } else {
        outPos = audioEnd;
        outWidth = length > audioEnd ? length - audioEnd : 0;
    }
    const std::uint32_t inWidth = engine_->GetCurrentStartTickIndex();
    barsRegion_->setProperty("audioFadeRegionWidth", fadeWidth / ticksPerPixel_);
    barsRegion_->setProperty("audioFadeRegionPos", fadePos / ticksPerPixel_);
    barsRegion_->setProperty("audioOutRegionWidth", outWidth / ticksPerPixel_);
    barsRegion_->setProperty("audioOutRegionPos", outPos / ticksPerPixel_);
    barsRegion_->setProperty("audioInRegionWidth", inWidth / ticksPerPixel_);
    barsRegion_->setProperty("audioInRegionPos", 0.0);
    if (!audioFadeBox_.isNull())
        audioFadeBox_->setProperty("z", z - 1);

    LayOutLabels(true);
}

void BarsBeatsViewController::SetViewScale(double scale, bool initializing)
{
    viewScale_ = scale;
    for (const auto& bar : bars_)
        bar->SetViewScale(scale, initializing);
    LayOutLabels(initializing);
}

void BarsBeatsViewController::LayOutLabels(bool initializing)
{
    BarController* placed = nullptr;
    std::vector<BarController*> group;  // the beats since the last bar line
    bool groupCollided = false;

    const auto apply = [&](BarController* line, bool shown) {
        if (shown) {
            line->SetShowLabel(true);
            line->SetShown(true, initializing);
        } else if (line->IsBar()) {
            line->SetShown(false, initializing);
        } else {
            line->SetShowLabel(false);
            if (std::find(group.begin(), group.end(), line) != group.end())
                groupCollided = true;
            line->SetShown(viewScale_ >= 1.0, initializing);
        }
    };

    for (std::size_t i = 0; i < bars_.size(); ++i) {
        BarController* line = bars_[i].get();
        if (line->IsBar()) {
            for (BarController* beat : group)
                beat->SetShowLabel(!groupCollided);
            group.clear();
            groupCollided = false;
        } else {
            group.push_back(line);
        }

        bool shown = true;
        if (placed != nullptr) {
            const double divisor = placed->IsBar() && line->IsBar() ? 1.0 : 5.0;
            const bool collides = placed->GetRightEdge() + labelGap_ / divisor >= line->GetX();
            if (collides) {
                const bool last = i + 1 == bars_.size();
                // A bar wins over the beat label placed before it. Against a placed bar it loses like
                // any line: were it to win whenever a (hidden) beat came between, each bar would hide
                // the one before and a zoomed-out row would keep no bar label but the last.
                const bool barAfterBeat = line->IsBar() && !placed->IsBar();
                if (last || barAfterBeat)
                    apply(placed, false);
                else
                    shown = false;
            }
        }
        if (shown)
            placed = line;
        apply(line, shown);
    }
}

}  // namespace brix::qt
