#pragma once

#include "edit_tool_controller.h"

#include <QString>
#include <QVariant>

#include <cstdint>
#include <memory>

namespace brix {
class NetworkListModel;
}

namespace brix::qt {

// The tools that place an event at one position: the caesura (CaesuraTool.qml, CL::Caesura), the
// marker (MarkerTool.qml, CL::Marker with its text) and the OSC cue (OscTool.qml, CL::Osc with a
// command and a network destination). The caesura and the OSC cue may lie a number of ticks after
// their beat (the shift), within the room the engine reports up to the next beat; on the song's first
// beat the shift may reach back to the lowest start tick the tool was opened with. Created, opened and
// destroyed like the range tools.

// The shift's range for the in position; shared by the caesura and the OSC cue tools.
class ShiftedToolController : public EditToolController {
    Q_OBJECT

public:
    using EditToolController::EditToolController;
    void OnBarBeatChanged() override;

protected:
    // Opens the window on a new event at the position.
    void OpenNewShifted(const TL::BarsBeats& position, std::uint32_t minStartTick);
    // The shift's maximum after the event's beat and its shift from that beat.
    void SetShiftOf(const cmn::BrixEvent& event, const TL::BarsBeats& position);
    // The event's tick for a creation: the beat's tick, raised to the bar list's first tick, plus the shift.
    std::uint32_t CreationTick(const QString& bar, int beat, double inShift) const;
    // The position left of a tick (an event that lies between beats belongs to the beat before it).
    TL::BarsBeats PositionLeftOf(std::uint32_t tick) const;
};

class CaesuraToolController : public ShiftedToolController {
    Q_OBJECT

public:
    CaesuraToolController(QQmlEngine* engine, EditController* editController, std::shared_ptr<Interface> engineInterface,
                          QObject* transientParent = nullptr);
    void ConnectSignals() override;

signals:
    void caesuraToolClosing();

public slots:
    void onCaesuraButtonClicked(TL::BarsBeats barsBeats = {}, std::uint32_t minStartTick = 0);
    void onCaesuraCreationRequest(QVariant bar, QVariant beat, double inShift);
    void onCaesuraEdit(cmn::BrixEvent* brixEvent);
    void onCaesuraChangeRequest(QVariant bar, QVariant beat, double inShift);
    void onCaesuraToolClosing();
};

class MarkerToolController : public EditToolController {
    Q_OBJECT

public:
    MarkerToolController(QQmlEngine* engine, EditController* editController, std::shared_ptr<Interface> engineInterface,
                         QObject* transientParent = nullptr);
    void ConnectSignals() override;

signals:
    void markerToolClosing();

public slots:
    void onMarkerButtonClicked(TL::BarsBeats barsBeats = {});
    void onMarkerCreationRequest(QString bar, int beat, QString value);
    void onMarkerEdit(cmn::BrixEvent* brixEvent);
    void onMarkerChangeRequest(QString bar, int beat, QString value);
    void onMarkerToolClosing();
};

class OscToolController : public ShiftedToolController {
    Q_OBJECT

public:
    OscToolController(QQmlEngine* engine, EditController* editController, std::shared_ptr<Interface> engineInterface,
                      QObject* transientParent = nullptr);
    ~OscToolController() override;
    void ConnectSignals() override;
    void OnBarBeatChanged() override;

    // Makes the destination with that network id the chosen one; none (-1) when no row has it.
    void SelectNetwork(const std::string& networkId);

signals:
    void toolClosing();

public slots:
    void onToolButtonClicked(TL::BarsBeats barsBeats = {}, std::uint32_t minStartTick = 0);
    void onToolCreationRequest(QString bar, int beat, QString value, QString networkId, double inShift);
    void onToolEdit(cmn::BrixEvent* brixEvent, std::uint32_t minStartTick = 0);
    void onToolChangeRequest(QString bar, int beat, QString value, QString networkId, double inShift);
    void onToolClosing();

private:
    std::unique_ptr<brix::NetworkListModel> networks_;
};

}  // namespace brix::qt
