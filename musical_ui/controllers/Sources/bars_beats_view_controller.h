#pragma once

#include "qml_controller.h"

#include <QObject>
#include <QPointer>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class Interface;
class QQmlEngine;
class QQuickItem;

namespace brix::qt {

class EditModel;

// BarController: one bar or beat line of the timeline's bar row (TimeBar.qml), with its label.
// A beat line fades out below its threshold scale (1.0) and in again at or above it; a bar line is
// always shown unless the label layout hides it.
// Owner: the BarsBeatsViewController. Thread: GUI thread only.
class BarController : public QmlController {
    Q_OBJECT

public:
    BarController(const std::string& label, int position, bool isBar, double viewScale, QQuickItem* parent,
                  QQmlEngine* engine);

    bool IsBar() const { return isBar_; }
    const std::string& GetLabel() const { return label_; }
    void SetIsEndBar(bool isEndBar);
    void SetShowLabel(bool show);
    bool IsLabelShown() const;
    bool IsShown() const;

    // Sets the item's scale (nothing when unchanged) and shows or hides a beat line by its threshold:
    // at once when initializing, else by the item's fades.
    void SetViewScale(double scale, bool initializing);
    // Shows or hides the line, at once when initializing, else by a fade. A beat line below its
    // threshold scale is never shown.
    void SetShown(bool shown, bool initializing);

private:
    void FadeIn();
    void FadeOut();

    double viewScale_ = 1.0;
    bool isBar_;
    std::string label_;
    double thresholdScale_ = 1.0;
};

// BarsBeatsViewController: the bar row of the timeline: a line for every bar and beat of the current
// song before its end, the end bar, and the audio boxes behind them (the audio fade past the song's
// end, the part of the song without audio, and the part before the current start). It lays out the
// labels so that none overlaps another.
// Owner: the TimelineController. Thread: GUI thread only.
class BarsBeatsViewController : public QObject {
    Q_OBJECT

public:
    BarsBeatsViewController(QQuickItem* barsRegion, std::shared_ptr<Interface> engine, QQmlEngine* qmlEngine,
                            double ticksPerPixel, std::shared_ptr<EditModel> editModel, bool audioFades);
    ~BarsBeatsViewController() override;

    // Deletes the lines and builds them anew from the model's map, then the audio boxes and labels.
    void Rebuild();
    void SetViewScale(double scale, bool initializing);

    const std::vector<std::unique_ptr<BarController>>& GetBars() const { return bars_; }

private:
    void LayOutLabels(bool initializing);

    double viewScale_ = 1.0;
    QQmlEngine* qmlEngine_;
    QPointer<QQuickItem> barsRegion_;
    QPointer<QObject> audioFadeBox_;
    std::shared_ptr<Interface> engine_;
    std::shared_ptr<EditModel> editModel_;
    double ticksPerPixel_;
    int labelGap_ = 20;
    bool audioFades_;
    std::vector<std::unique_ptr<BarController>> bars_;
};

}  // namespace brix::qt
