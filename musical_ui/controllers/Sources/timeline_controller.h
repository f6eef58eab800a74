#pragma once

#include "qml_controller.h"

#include <brix_core/BrixEvent.h>

#include <QMetaObject>
#include <QPointer>
#include <QTimer>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class Interface;
class QQmlEngine;
class QQuickItem;

namespace brix {
class ShowManager;
}

namespace brix::qt {

class BarsBeatsViewController;
class BrixEventController;
class EditModel;
class TimeLineMarkerController;

// TimelineController: the song timeline of the edit view (TimeLine.qml, an item of the main window
// that it wraps and never deletes). It turns the current song's timeline (bars and beats, keys,
// tempos, meters) and change log into item controllers on the rows of the item, keeps the view scale
// and scroll position in step with the item, moves the playhead, seeks when the operator clicks the
// timeline, and passes selection, double-click and drag of change-log items on to the edit controller.
// Units: one unscaled pixel is 25 ticks; QML multiplies unscaled pixels by the view scale.
// Owner: the main window controller (unique pointer). Items exist from a Rebuild to the next
// ClearItems; ClearItems retires them through the event loop, so an item whose drag or click handler
// ends in a rebuild is not deleted under its own handler.
// Thread: GUI thread only; the marker-list notification is sent on the GUI thread.
class TimelineController : public QmlController {
    Q_OBJECT

public:
    static constexpr double kTicksPerPixel = 25.0;

    TimelineController(QQmlEngine* engine, QQuickItem* timeline, std::shared_ptr<Interface> player,
                       std::shared_ptr<brix::ShowManager> showManager, std::shared_ptr<EditModel> editModel,
                       bool audioFades, bool enableOsc);
    ~TimelineController() override;

    void LoadSong(const std::string& songNumber);
    void Rebuild();
    void ClearItems();
    void SetPlayheadPosition(std::uint32_t tick);
    // Holds the view where it is for ms milliseconds: SetViewStart_ does not move it meanwhile. A hold
    // asked for during a hold changes nothing.
    void HoldScroll(int ms);

    double GetViewScale() const { return viewScale_; }
    // The first and last tick the view shows (never below 0).
    std::uint32_t GetViewStartTick() const;
    std::uint32_t GetViewEndTick() const;

    // The items of the rows, for the main window and the tests.
    const std::vector<std::unique_ptr<BrixEventController>>& GetRegions() const { return regions_; }
    const std::vector<std::unique_ptr<BrixEventController>>& GetCaesuras() const { return caesuras_; }
    const std::vector<std::unique_ptr<TimeLineMarkerController>>& GetMarkers() const { return markers_; }
    const std::vector<std::unique_ptr<TimeLineMarkerController>>& GetKeySignatures() const { return keys_; }
    const std::vector<std::unique_ptr<TimeLineMarkerController>>& GetTemposAndMeters() const
    {
        return temposAndMeters_;
    }
    const std::vector<std::unique_ptr<BrixEventController>>& GetOscGlyphs() const { return oscGlyphs_; }
    BarsBeatsViewController& GetBarsBeatsView() const { return *barsBeatsView_; }

signals:
    void SetViewStart_(int val);
    void EditSelectedSignal(const cmn::BrixEvent* event);
    void EditDoubleClickedSignal();
    void EditDraggedSignal(const cmn::BrixEvent* event, int start, int end, bool adjustLeft, bool adjustRight);
    void timelineClicked();

public slots:
    void ViewScaleChanged_(double val, bool initializing);
    void TimelineClicked_(int pos);
    void onEditRegionSelected(const cmn::BrixEvent* event);
    void onEditRegionDoubleClicked();
    void onEditRegionDragged(const cmn::BrixEvent* event, int start, int end, bool adjustLeft, bool adjustRight);

private:
    template <class Visit>
    void ForEachChangeLogItem(Visit&& visit) const;
    void UpdateLabelVisibility();
    void ConnectItem(BrixEventController& item);
    std::uint32_t ViewTick(const char* property) const;

    std::shared_ptr<Interface> player_;
    QPointer<QQuickItem> keyMarkersBar_;
    QPointer<QQuickItem> tempoMarkersBar_;
    QPointer<QQuickItem> meterMarkersBar_;
    QPointer<QQuickItem> markersBar_;
    QPointer<QQuickItem> editsBar_;
    QPointer<QQuickItem> effectBar_;
    QPointer<QQuickItem> barsRegion_;
    QPointer<QQuickItem> playheadItem_;
    double viewScale_ = 1.0;
    bool enableOsc_;
    std::vector<std::unique_ptr<BrixEventController>> regions_;
    std::vector<std::unique_ptr<BrixEventController>> caesuras_;
    std::vector<std::unique_ptr<TimeLineMarkerController>> markers_;
    std::vector<std::unique_ptr<TimeLineMarkerController>> keys_;
    std::vector<std::unique_ptr<TimeLineMarkerController>> temposAndMeters_;
    std::vector<std::unique_ptr<BrixEventController>> oscGlyphs_;
    std::unique_ptr<BarsBeatsViewController> barsBeatsView_;
    std::shared_ptr<brix::ShowManager> showManager_;
    std::shared_ptr<EditModel> editModel_;
    QMetaObject::Connection scrollLink_;
    // The running scroll hold's timer; deleted with the controller if it has not fired.
    QPointer<QTimer> holdTimer_;
};

}  // namespace brix::qt
