#include "value_tools.h"

#include <brix_core/BrixEvent.h>
#include <brix_player_core/Interface.h>

#include <QVariantList>

#include <algorithm>
#include <iostream>
#include <utility>

namespace brix::qt {

namespace {

constexpr std::uint8_t kTransposeCode = 67;
constexpr std::uint8_t kTempoCode = 70;
constexpr std::uint8_t kClickCode = 76;

}  // namespace

TempoToolController::TempoToolController(QQmlEngine* engine, EditController* editController,
                                         std::shared_ptr<Interface> engineInterface, QObject* transientParent)
    : EditToolController(engine, EditToolUrl("TempoTool.qml"), editController, std::move(engineInterface), kTempoCode,
                         transientParent, true)
{
    ConnectSignals();
}

void TempoToolController::ConnectSignals()
{
    ConnectWindow(SIGNAL(changeTempoRequest(QString,int,QString,int,int)),
                  SLOT(onTempoChangeRequest(QString,int,QString,int,int)));
    ConnectWindow(SIGNAL(createTempoRequest(QString,int,QString,int,int)),
                  SLOT(onTempoCreationRequest(QString,int,QString,int,int)));
    ConnectPanel(true);
    ConnectWindow(SIGNAL(tempoToolClosing()), SLOT(onTempoToolClosing()));
}

void TempoToolController::onTempoButtonClicked(TL::BarsBeats startBarsBeats, TL::BarsBeats endBarsBeats)
{
    OpenNew(startBarsBeats, endBarsBeats);
}

void TempoToolController::onTempoCreationRequest(QString startBar, int startBeat, QString endBar, int endBeat,
                                                 int percent)
{
    CreateRange(startBar, startBeat, endBar, endBeat,
                [percent](std::uint32_t start, std::uint32_t end, const std::string& id) {
                    return CL::TempoScale(start, end, id, percent / 100.0);
                });
}

void TempoToolController::onTempoEdit(cmn::BrixEvent* brixEvent)
{
    OpenOn(brixEvent, [this, brixEvent] {
        // Truncated toward zero, as the factor is shown in whole percent.
        SetIntValue(static_cast<int>(static_cast<float>(brixEvent->float_value()) * 100));
    });
}

void TempoToolController::onTempoChangeRequest(QString startBar, int startBeat, QString endBar, int endBeat, int percent)
{
    ChangeRange(startBar, startBeat, endBar, endBeat, [this, percent](const cmn::BrixEvent& moved) {
        return EditEventFloatValue(moved, static_cast<float>(percent / 100.0));
    });
}

void TempoToolController::onTempoToolClosing()
{
    emit tempoToolClosing();
}

TransposeToolController::TransposeToolController(QQmlEngine* engine, EditController* editController,
                                                 std::shared_ptr<Interface> engineInterface, QObject* transientParent)
    : EditToolController(engine, EditToolUrl("TransposeTool.qml"), editController, std::move(engineInterface),
                         kTransposeCode, transientParent, true)
{
    ConnectSignals();
}

void TransposeToolController::ConnectSignals()
{
    ConnectWindow(SIGNAL(changeTransposeRequest(QString,int,QString,int,int)),
                  SLOT(onTransposeChangeRequest(QString,int,QString,int,int)));
    ConnectWindow(SIGNAL(createTransposeRequest(QString,int,QString,int,int)),
                  SLOT(onTransposeCreationRequest(QString,int,QString,int,int)));
    ConnectPanel(true);
    ConnectWindow(SIGNAL(transposeToolClosing()), SLOT(onTransposeToolClosing()));
}

void TransposeToolController::onTransposeButtonClicked(TL::BarsBeats startBarsBeats, TL::BarsBeats endBarsBeats)
{
    OpenNew(startBarsBeats, endBarsBeats);
}

void TransposeToolController::onTransposeCreationRequest(QString startBar, int startBeat, QString endBar, int endBeat,
                                                         int halfSteps)
{
    CreateRange(startBar, startBeat, endBar, endBeat,
                [halfSteps](std::uint32_t start, std::uint32_t end, const std::string& id) {
                    return CL::Transpose(start, end, id, halfSteps);
                });
}

void TransposeToolController::onTransposeEdit(cmn::BrixEvent* brixEvent)
{
    OpenOn(brixEvent, [this, brixEvent] { SetIntValue(brixEvent->int_value()); });
}

void TransposeToolController::onTransposeChangeRequest(QString startBar, int startBeat, QString endBar, int endBeat,
                                                       int halfSteps)
{
    ChangeRange(startBar, startBeat, endBar, endBeat,
                [this, halfSteps](const cmn::BrixEvent& moved) { return EditEventIntValue(moved, halfSteps); });
}

void TransposeToolController::onTransposeToolClosing()
{
    emit transposeToolClosing();
}

ClickToolController::ClickToolController(QQmlEngine* engine, EditController* editController,
                                         std::shared_ptr<Interface> engineInterface, QObject* transientParent)
    : EditToolController(engine, EditToolUrl("ClickTool.qml"), editController, std::move(engineInterface), kClickCode,
                         transientParent, true)
{
    ConnectSignals();
}

void ClickToolController::ConnectSignals()
{
    ConnectWindow(SIGNAL(changeClickRequest(QString,int,QString,int,int)),
                  SLOT(onClickChangeRequest(QString,int,QString,int,int)));
    ConnectWindow(SIGNAL(createClickRequest(QString,int,QString,int,int)),
                  SLOT(onClickCreationRequest(QString,int,QString,int,int)));
    ConnectWindow(SIGNAL(updateAvailableClicks()), SLOT(updateClicksModel()));
    ConnectPanel(true);
    ConnectWindow(SIGNAL(clickToolClosing()), SLOT(onClickToolClosing()));
}

std::vector<int> ClickToolController::GetClickValues() const
{
    const auto text = [this](const char* name) {
        QObject* combo = WindowChild(name);
        return combo == nullptr ? QString() : combo->property("displayText").toString();
    };
    const std::uint32_t start = TickOf(text("inBarInput"), text("inBeatInput").toInt());
    const std::uint32_t end = TickOf(text("outBarInput"), text("outBeatInput").toInt());
    return Engine().GetClickValues(start, end);
}

void ClickToolController::updateClicksModel()
{
    // While the pickers are being filled the range may be half set; the list then stays.
    try {
        QVariantList values;
        for (int value : GetClickValues())
            values.append(value);
        SetWindowProperty("clickCountModel", values);
        SetWindowProperty("clickCountIndex", 0);
    } catch (const std::exception& e) {
        std::cout << "Error: " << e.what() << "\n";
    }
}

void ClickToolController::SelectClickValue(int value)
{
    try {
        const std::vector<int> values = GetClickValues();
        const auto found = std::find(values.begin(), values.end(), value);
        if (found != values.end())
            SetWindowProperty("clickCountIndex", static_cast<int>(found - values.begin()));
    } catch (const std::exception& e) {
        std::cout << "Error: " << e.what() << "\n";
    }
}

void ClickToolController::onClickButtonClicked(TL::BarsBeats startBarsBeats, TL::BarsBeats endBarsBeats)
{
    if (GetQmlObject() == nullptr)
        return;
    SetBarInputs(startBarsBeats, endBarsBeats);
    SetBeatInputs(startBarsBeats, endBarsBeats);
    updateClicksModel();
    SetVisible(true);
}

void ClickToolController::onClickCreationRequest(QString startBar, int startBeat, QString endBar, int endBeat, int count)
{
    CreateRange(startBar, startBeat, endBar, endBeat, [count](std::uint32_t start, std::uint32_t end, const std::string& id) {
        return CL::Click(start, end, id, count);
    });
}

void ClickToolController::onClickEdit(cmn::BrixEvent* brixEvent)
{
    OpenOn(
        brixEvent,
        [this, brixEvent] {
            updateClicksModel();
            SelectClickValue(brixEvent->int_value());
        },
        [this](std::uint32_t tick) { return Engine().GetBarBeatByTick(tick, false, true); });
}

void ClickToolController::onClickChangeRequest(QString startBar, int startBeat, QString endBar, int endBeat, int count)
{
    ChangeRange(startBar, startBeat, endBar, endBeat,
                [this, count](const cmn::BrixEvent& moved) { return EditEventIntValue(moved, count); });
}

void ClickToolController::onClickToolClosing()
{
    emit clickToolClosing();
}

}  // namespace brix::qt
