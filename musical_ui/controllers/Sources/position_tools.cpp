#include "position_tools.h"

#include "BarListModel.h"
#include "NetworkListModel.h"

#include <brix_core/BrixEvent.h>
#include <brix_player_core/Interface.h>

#include <QVariantList>

#include <cmath>
#include <utility>

namespace brix::qt {

namespace {

constexpr std::uint8_t kMarkerCode = 69;
constexpr std::uint8_t kCaesuraCode = 78;
constexpr std::uint8_t kOscCode = 83;

// A tick plus a shift, truncated to whole ticks.
std::uint32_t Shifted(std::uint32_t tick, double shift)
{
    return static_cast<std::uint32_t>(std::trunc(static_cast<double>(tick) + shift));
}

QString CaesuraNote(int versionTarget)
{
    switch (versionTarget) {
    case 1:
        return QStringLiteral("Note: This caesura will only occur in Tarn|Wick.");
    case 2:
        return QStringLiteral("Note: This caesura will only occur in Vell|Stroud.");
    default:
        return {};
    }
}

}  // namespace

void ShiftedToolController::OnBarBeatChanged()
{
    QObject* barCombo = WindowChild("inBarInput");
    QObject* beatCombo = WindowChild("inBeatInput");
    const int barIndex = barCombo == nullptr ? -1 : barCombo->property("currentIndex").toInt();
    const int beatIndex = beatCombo == nullptr ? -1 : beatCombo->property("currentIndex").toInt();
    const QVariantList beats = GetBarList().getBeats(barIndex).toList();
    if (barIndex < 0 || beatIndex < 0 || beatIndex >= beats.size()) {
        SetWindowProperty("inShiftEnabled", false);
        return;
    }
    const QString bar = GetBarList().data(GetBarList().index(barIndex), BarListModel::BarRole).toString();
    const std::uint32_t tick = TickOf(bar, beats[beatIndex].toInt());
    const unsigned int max = Engine().GetAvailableShiftAfterBarBeat(tick, true);
    SetWindowProperty("inShiftMax", max);
    SetWindowProperty("inShiftEnabled", max != 0);
    // On the song's first beat the shift may reach back to the lowest start tick.
    const int shift = barIndex == 0 && beatIndex == 0
                          ? static_cast<int>(static_cast<std::int64_t>(minStartTick_) - FirstTick())
                          : 0;
    SetWindowProperty("inShiftMin", shift);
    SetWindowProperty("inShift", shift);
}

void ShiftedToolController::OpenNewShifted(const TL::BarsBeats& position, std::uint32_t minStartTick)
{
    if (GetQmlObject() == nullptr)
        return;
    minStartTick_ = minStartTick;
    SetBarInputs(position);
    SetBeatInputs(position);
    SetInShiftMin(minStartTick);
    OnBarBeatChanged();
    SetVisible(true);
}

void ShiftedToolController::SetShiftOf(const cmn::BrixEvent& event, const TL::BarsBeats& position)
{
    SetWindowProperty("inShiftMax", Engine().GetAvailableShiftAfterBarBeat(position.tick, true));
    SetWindowProperty("inShift", static_cast<double>(static_cast<std::int64_t>(event.start()) - position.tick));
}

std::uint32_t ShiftedToolController::CreationTick(const QString& bar, int beat, double inShift) const
{
    return Shifted(std::max(TickOf(bar, beat), FirstTick()), inShift);
}

TL::BarsBeats ShiftedToolController::PositionLeftOf(std::uint32_t tick) const
{
    return Engine().GetBarBeatLeftByTick(tick);
}

CaesuraToolController::CaesuraToolController(QQmlEngine* engine, EditController* editController,
                                             std::shared_ptr<Interface> engineInterface, QObject* transientParent)
    : ShiftedToolController(engine, EditToolUrl("CaesuraTool.qml"), editController, std::move(engineInterface),
                            kCaesuraCode, transientParent, true)
{
    ConnectSignals();
}

void CaesuraToolController::ConnectSignals()
{
    ConnectWindow(SIGNAL(changeCaesuraRequest(QVariant,QVariant,qreal)),
                  SLOT(onCaesuraChangeRequest(QVariant,QVariant,qreal)));
    ConnectWindow(SIGNAL(createCaesuraRequest(QVariant,QVariant,qreal)),
                  SLOT(onCaesuraCreationRequest(QVariant,QVariant,qreal)));
    ConnectPanel(false);
    ConnectWindow(SIGNAL(caesuraToolClosing()), SLOT(onCaesuraToolClosing()));
}

void CaesuraToolController::onCaesuraButtonClicked(TL::BarsBeats barsBeats, std::uint32_t minStartTick)
{
    Guarded("Caesura", [&] { OpenNewShifted(barsBeats, minStartTick); });
}

void CaesuraToolController::onCaesuraCreationRequest(QVariant bar, QVariant beat, double inShift)
{
    Request([&] {
        const std::uint32_t tick = CreationTick(bar.toString(), beat.toInt(), inShift);
        return AddEvent(CL::Caesura(tick, WindowEventId().toStdString(), 0));
    });
}

void CaesuraToolController::onCaesuraEdit(cmn::BrixEvent* brixEvent)
{
    if (brixEvent == nullptr)
        return;
    const TL::BarsBeats position = PositionLeftOf(brixEvent->start());
    OpenOn(
        brixEvent,
        [this, brixEvent, position] {
            SetShiftOf(*brixEvent, position);
            SetWindowProperty("toolNote", CaesuraNote(brixEvent->VersionTarget()));
        },
        [position](std::uint32_t) { return position; });
}

void CaesuraToolController::onCaesuraChangeRequest(QVariant bar, QVariant beat, double inShift)
{
    Request([&] {
        const std::uint32_t tick = Shifted(RaiseToCurrentStart(TickOf(bar.toString(), beat.toInt())), inShift);
        return ChangeRemembered(tick, tick, {});
    });
}

void CaesuraToolController::onCaesuraToolClosing()
{
    emit caesuraToolClosing();
}

MarkerToolController::MarkerToolController(QQmlEngine* engine, EditController* editController,
                                           std::shared_ptr<Interface> engineInterface, QObject* transientParent)
    : EditToolController(engine, EditToolUrl("MarkerTool.qml"), editController, std::move(engineInterface),
                         kMarkerCode, transientParent, true)
{
    ConnectSignals();
}

void MarkerToolController::ConnectSignals()
{
    ConnectWindow(SIGNAL(changeMarkerRequest(QString,int,QString)), SLOT(onMarkerChangeRequest(QString,int,QString)));
    ConnectWindow(SIGNAL(createMarkerRequest(QString,int,QString)), SLOT(onMarkerCreationRequest(QString,int,QString)));
    ConnectPanel(false);
    ConnectWindow(SIGNAL(markerToolClosing()), SLOT(onMarkerToolClosing()));
}

void MarkerToolController::onMarkerButtonClicked(TL::BarsBeats barsBeats)
{
    OpenNew(barsBeats, barsBeats);
}

void MarkerToolController::onMarkerCreationRequest(QString bar, int beat, QString value)
{
    Request([&] {
        const std::uint32_t tick = RaiseToCurrentStart(TickOf(bar, beat));
        return AddEvent(CL::Marker(tick, value.toStdString(), WindowEventId().toStdString()));
    });
}

void MarkerToolController::onMarkerEdit(cmn::BrixEvent* brixEvent)
{
    OpenOn(brixEvent, [this, brixEvent] { SetStrValue(brixEvent->value()); });
}

void MarkerToolController::onMarkerChangeRequest(QString bar, int beat, QString value)
{
    Request([&] {
        const std::uint32_t tick = RaiseToCurrentStart(TickOf(bar, beat));
        return ChangeRemembered(tick, tick, [this, &value](const cmn::BrixEvent& moved) {
            return EditEventStringValue(moved, value.toStdString());
        });
    });
}

void MarkerToolController::onMarkerToolClosing()
{
    emit markerToolClosing();
}

OscToolController::OscToolController(QQmlEngine* engine, EditController* editController,
                                     std::shared_ptr<Interface> engineInterface, QObject* transientParent)
    : ShiftedToolController(engine, EditToolUrl("OscTool.qml"), editController, std::move(engineInterface), kOscCode,
                            transientParent, true)
{
    networks_ = std::make_unique<brix::NetworkListModel>(Engine().GetNetworks());
    SetWindowProperty("networkModel", QVariant::fromValue(static_cast<QObject*>(networks_.get())));
    ConnectSignals();
}

OscToolController::~OscToolController()
{
    // The window goes first: it must not outlive the model it shows.
    DeleteQmlObject();
}

void OscToolController::ConnectSignals()
{
    ConnectWindow(SIGNAL(changeRequest(QString,int,QString,QString,qreal)),
                  SLOT(onToolChangeRequest(QString,int,QString,QString,qreal)));
    ConnectWindow(SIGNAL(createRequest(QString,int,QString,QString,qreal)),
                  SLOT(onToolCreationRequest(QString,int,QString,QString,qreal)));
    ConnectPanel(false);
    ConnectWindow(SIGNAL(toolClosing()), SLOT(onToolClosing()));
}

void OscToolController::OnBarBeatChanged()
{
    SetWindowProperty("inShift", 0);
    ShiftedToolController::OnBarBeatChanged();
}

void OscToolController::SelectNetwork(const std::string& networkId)
{
    int selected = -1;
    for (int row = 0; row < networks_->rowCount(); ++row) {
        if (networks_->data(networks_->index(row), brix::NetworkListModel::NetworkIdRole).toString().toStdString() ==
            networkId) {
            selected = row;
            break;
        }
    }
    SetWindowProperty("networkCurrentIndex", selected);
}

void OscToolController::onToolButtonClicked(TL::BarsBeats barsBeats, std::uint32_t minStartTick)
{
    Guarded("OSC Command", [&] { OpenNewShifted(barsBeats, minStartTick); });
}

void OscToolController::onToolCreationRequest(QString bar, int beat, QString value, QString networkId, double inShift)
{
    Request([&] {
        const std::uint32_t tick = CreationTick(bar, beat, inShift);
        return AddEvent(CL::Osc(tick, WindowEventId().toStdString(),
                                CL::OscProperties(value.toStdString(), networkId.toStdString())));
    });
}

void OscToolController::onToolEdit(cmn::BrixEvent* brixEvent, std::uint32_t minStartTick)
{
    if (brixEvent == nullptr)
        return;
    minStartTick_ = minStartTick;
    const TL::BarsBeats position = PositionLeftOf(brixEvent->start());
    OpenOn(
        brixEvent,
        [this, brixEvent, position, minStartTick] {
            SetInShiftMin(minStartTick);
            SetShiftOf(*brixEvent, position);
            SetStrValue(brixEvent->osc_properties().Message());
            SelectNetwork(brixEvent->osc_properties().NetworkId());
        },
        [position](std::uint32_t) { return position; });
}

void OscToolController::onToolChangeRequest(QString bar, int beat, QString value, QString networkId, double inShift)
{
    Request([&] {
        const std::uint32_t tick = RaiseToCurrentStart(Shifted(TickOf(bar, beat), inShift));
        const CL::OscProperties properties(value.toStdString(), networkId.toStdString());
        // The engine's log is changed through the editor only; the remembered event stays as it was.
        return ChangeRemembered(
            tick, tick, [this, &properties](const cmn::BrixEvent& moved) { return EditEventOscPropertyValues(moved, properties); });
    });
}

void OscToolController::onToolClosing()
{
    emit toolClosing();
}

}  // namespace brix::qt
