#include "range_tools.h"

#include <brix_core/BrixEvent.h>
#include <brix_player_core/Interface.h>

#include <utility>

namespace brix::qt {

namespace {

constexpr std::uint8_t kVampCode = 64;
constexpr std::uint8_t kRepeatCode = 65;
constexpr std::uint8_t kCutCode = 66;
constexpr std::uint8_t kSkipCode = 77;

}  // namespace

CutToolController::CutToolController(QQmlEngine* engine, EditController* editController,
                                     std::shared_ptr<Interface> engineInterface, QObject* transientParent)
    : EditToolController(engine, EditToolUrl("CutTool.qml"), editController, std::move(engineInterface), kCutCode,
                         transientParent, true)
{
    ConnectSignals();
}

void CutToolController::ConnectSignals()
{
    ConnectWindow(SIGNAL(changeCutRequest(QVariant,QVariant,QVariant,QVariant)),
                  SLOT(onCutChangeRequest(QVariant,QVariant,QVariant,QVariant)));
    ConnectWindow(SIGNAL(createCutRequest(QVariant,QVariant,QVariant,QVariant)),
                  SLOT(onCutCreationRequest(QVariant,QVariant,QVariant,QVariant)));
    ConnectPanel(true);
    ConnectWindow(SIGNAL(cutToolClosing()), SLOT(onCutToolClosing()));
}

void CutToolController::onCutButtonClicked(TL::BarsBeats startBarsBeats, TL::BarsBeats endBarsBeats)
{
    OpenNew(startBarsBeats, endBarsBeats);
}

void CutToolController::onCutCreationRequest(QVariant startBar, QVariant startBeat, QVariant endBar, QVariant endBeat)
{
    CreateRange(startBar.toString(), startBeat.toInt(), endBar.toString(), endBeat.toInt(),
                [](std::uint32_t start, std::uint32_t end, const std::string& id) { return CL::Cut(start, end, id, 0); });
}

void CutToolController::onCutEdit(cmn::BrixEvent* brixEvent)
{
    OpenOn(brixEvent, {});
}

void CutToolController::onCutChangeRequest(QVariant startBar, QVariant startBeat, QVariant endBar, QVariant endBeat)
{
    ChangeRange(startBar.toString(), startBeat.toInt(), endBar.toString(), endBeat.toInt(), {});
}

void CutToolController::onCutToolClosing()
{
    emit cutToolClosing();
}

SkipToolController::SkipToolController(QQmlEngine* engine, EditController* editController,
                                       std::shared_ptr<Interface> engineInterface, QObject* transientParent)
    : EditToolController(engine, EditToolUrl("SkipTool.qml"), editController, std::move(engineInterface), kSkipCode,
                         transientParent, true)
{
    ConnectSignals();
}

void SkipToolController::ConnectSignals()
{
    ConnectWindow(SIGNAL(changeSkipRequest(QVariant,QVariant,QVariant,QVariant)),
                  SLOT(onSkipChangeRequest(QVariant,QVariant,QVariant,QVariant)));
    ConnectWindow(SIGNAL(createSkipRequest(QVariant,QVariant,QVariant,QVariant)),
                  SLOT(onSkipCreationRequest(QVariant,QVariant,QVariant,QVariant)));
    ConnectPanel(true);
    ConnectWindow(SIGNAL(skipToolClosing()), SLOT(onSkipToolClosing()));
}

void SkipToolController::onSkipButtonClicked(TL::BarsBeats startBarsBeats, TL::BarsBeats endBarsBeats)
{
    OpenNew(startBarsBeats, endBarsBeats);
}

void SkipToolController::onSkipCreationRequest(QVariant startBar, QVariant startBeat, QVariant endBar,
                                               QVariant endBeat)
{
    CreateRange(startBar.toString(), startBeat.toInt(), endBar.toString(), endBeat.toInt(),
                [](std::uint32_t start, std::uint32_t end, const std::string& id) {
                    return CL::Fermata(start, end, id, 0);
                });
}

void SkipToolController::onSkipEdit(cmn::BrixEvent* brixEvent)
{
    OpenOn(brixEvent, {});
}

void SkipToolController::onSkipChangeRequest(QVariant startBar, QVariant startBeat, QVariant endBar, QVariant endBeat)
{
    ChangeRange(startBar.toString(), startBeat.toInt(), endBar.toString(), endBeat.toInt(), {});
}

void SkipToolController::onSkipToolClosing()
{
    emit skipToolClosing();
}

VampToolController::VampToolController(QQmlEngine* engine, EditController* editController,
                                       std::shared_ptr<Interface> engineInterface, QObject* transientParent)
    : EditToolController(engine, EditToolUrl("VampTool.qml"), editController, std::move(engineInterface), kVampCode,
                         transientParent, true)
{
    ConnectSignals();
}

void VampToolController::ConnectSignals()
{
    ConnectWindow(SIGNAL(changeVampRequest(QString,int,QString,int,int)),
                  SLOT(onVampChangeRequest(QString,int,QString,int,int)));
    ConnectWindow(SIGNAL(createVampRequest(QString,int,QString,int,int)),
                  SLOT(onVampCreationRequest(QString,int,QString,int,int)));
    ConnectPanel(true);
    ConnectWindow(SIGNAL(vampToolClosing()), SLOT(onVampToolClosing()));
}

void VampToolController::onVampButtonClicked(TL::BarsBeats startBarsBeats, TL::BarsBeats endBarsBeats)
{
    OpenNew(startBarsBeats, endBarsBeats);
}

void VampToolController::onVampCreationRequest(QString startBar, int startBeat, QString endBar, int endBeat, int count)
{
    CreateRange(startBar, startBeat, endBar, endBeat, [count](std::uint32_t start, std::uint32_t end, const std::string& id) {
        return CL::Vamp(start, end, id, count);
    });
}

void VampToolController::onVampEdit(cmn::BrixEvent* brixEvent)
{
    OpenOn(brixEvent, [this, brixEvent] {
        const int count = brixEvent->int_value();
        SetIntValue(count);
        // An endless vamp shows the infinity sign.
        SetWindowProperty("value", count == 0 ? QStringLiteral("\u221e") : QString::number(count));
    });
}

void VampToolController::onVampChangeRequest(QString startBar, int startBeat, QString endBar, int endBeat, int count)
{
    ChangeRange(startBar, startBeat, endBar, endBeat,
                [this, count](const cmn::BrixEvent& moved) { return EditEventIntValue(moved, count); });
}

void VampToolController::onVampToolClosing()
{
    emit vampToolClosing();
}

RepeatToolController::RepeatToolController(QQmlEngine* engine, EditController* editController,
                                           std::shared_ptr<Interface> engineInterface, QObject* transientParent)
    : EditToolController(engine, EditToolUrl("RepeatTool.qml"), editController, std::move(engineInterface),
                         kRepeatCode, transientParent, true)
{
    ConnectSignals();
}

void RepeatToolController::ConnectSignals()
{
    ConnectWindow(SIGNAL(changeRepeatRequest(QString,int,QString,int,int)),
                  SLOT(onRepeatChangeRequest(QString,int,QString,int,int)));
    ConnectWindow(SIGNAL(createRepeatRequest(QString,int,QString,int,int)),
                  SLOT(onRepeatCreationRequest(QString,int,QString,int,int)));
    ConnectPanel(true);
    ConnectWindow(SIGNAL(repeatToolClosing()), SLOT(onRepeatToolClosing()));
}

void RepeatToolController::onRepeatButtonClicked(TL::BarsBeats startBarsBeats, TL::BarsBeats endBarsBeats)
{
    OpenNew(startBarsBeats, endBarsBeats);
}

void RepeatToolController::onRepeatCreationRequest(QString startBar, int startBeat, QString endBar, int endBeat,
                                                   int count)
{
    CreateRange(startBar, startBeat, endBar, endBeat, [count](std::uint32_t start, std::uint32_t end, const std::string& id) {
        return CL::Repeat(start, end, id, count);
    });
}

void RepeatToolController::onRepeatEdit(cmn::BrixEvent* brixEvent)
{
    OpenOn(brixEvent, [this, brixEvent] { SetIntValue(brixEvent->int_value()); });
}

void RepeatToolController::onRepeatChangeRequest(QString startBar, int startBeat, QString endBar, int endBeat, int count)
{
    ChangeRange(startBar, startBeat, endBar, endBeat,
                [this, count](const cmn::BrixEvent& moved) { return EditEventIntValue(moved, count); });
}

void RepeatToolController::onRepeatToolClosing()
{
    emit repeatToolClosing();
}

}  // namespace brix::qt
