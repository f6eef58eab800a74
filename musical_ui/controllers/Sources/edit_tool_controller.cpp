#include "edit_tool_controller.h"

#include "BarListModel.h"
#include "TimelineSequence.h"
#include "edit_controller.h"

#include <brix_core/Editor.h>
#include <brix_player_core/Interface.h>

#include <QDebug>
#include <QMetaObject>
#include <QVariantList>

#include <algorithm>
#include <iostream>
#include <stdexcept>
#include <utility>

namespace brix::qt {

namespace {

constexpr const char* kEditFailed = "Edit Failed";

QVariantList BeatsOf(const BarListModel& bars, int row)
{
    return bars.getBeats(row).toList();
}

int PositionOf(const QVariantList& beats, std::uint32_t beat)
{
    for (int i = 0; i < beats.size(); ++i) {
        if (beats[i].toUInt() == beat)
            return i;
    }
    return -1;
}

int BeatIndex(std::uint32_t beat)
{
    return beat == 0 ? 0 : static_cast<int>(beat) - 1;
}

}  // namespace

QUrl EditToolUrl(const char* fileName)
{
    return QUrl(QStringLiteral("qrc:/qt/qml/com/fernwhistlestudios/musical_ui/qml/") + QString::fromLatin1(fileName));
}

EditToolController::EditToolController(QQmlEngine* engine, const QUrl& url, EditController* editController,
                                       std::shared_ptr<Interface> engineInterface, std::uint8_t eventCode,
                                       QObject* transientParent, bool onClickGrid)
    : QmlController(engine, url, transientParent, true),
      eventCode_(eventCode),
      engine_(std::move(engineInterface)),
      editController_(editController)
{
    barList_ = std::make_shared<BarListModel>(
        this, engine_->GetBarsBeats(engine_->GetCurrentSongNumber(), onClickGrid), engine_->GetCurrentStartTickIndex());
    ConnectWindow(SIGNAL(inBarChanged()), SLOT(inBarBeatChanged_()));
    ConnectWindow(SIGNAL(inBeatChanged()), SLOT(inBarBeatChanged_()));
}

EditToolController::~EditToolController() = default;

QVariant EditToolController::WindowProperty(const char* name) const
{
    QObject* window = GetQmlObject();
    return window == nullptr ? QVariant() : window->property(name);
}

void EditToolController::SetWindowProperty(const char* name, const QVariant& value) const
{
    if (QObject* window = GetQmlObject())
        window->setProperty(name, value);
}

QObject* EditToolController::WindowChild(const char* objectName) const
{
    QObject* window = GetQmlObject();
    return window == nullptr ? nullptr : window->findChild<QObject*>(QString::fromLatin1(objectName));
}

void EditToolController::ConnectWindow(const char* signal, const char* slot)
{
    if (QObject* window = GetQmlObject())
        connect(window, signal, this, slot);
}

void EditToolController::ConnectPanel(bool withOut)
{
    QObject* panel = WindowChild("barAndBeatPanel");
    if (panel == nullptr)
        return;
    connect(panel, SIGNAL(inBeatInputUpdateRequest(QVariant)), this, SLOT(onInBeatInputUpdateRequest(QVariant)));
    if (withOut)
        connect(panel, SIGNAL(outBeatInputUpdateRequest(QVariant)), this, SLOT(onOutBeatInputUpdateRequest(QVariant)));
}

int EditToolController::IndexOfBar(const TL::BarsBeats& position) const
{
    const QString bar = QString::fromStdString(position.bar_number());
    for (int row = 0; row < barList_->rowCount(); ++row) {
        if (barList_->data(barList_->index(row), BarListModel::BarRole).toString() == bar)
            return row;
    }
    return -1;
}

void EditToolController::SetBarInputs(const TL::BarsBeats& start, const TL::BarsBeats& end)
{
    const auto set = [this](const char* name, const TL::BarsBeats& position) {
        if (QObject* combo = WindowChild(name)) {
            combo->setProperty("model", QVariant::fromValue(static_cast<QObject*>(barList_.get())));
            combo->setProperty("currentIndex", std::max(IndexOfBar(position), 0));
        }
    };
    set("inBarInput", start);
    set("outBarInput", end);
}

void EditToolController::SetBeatInputs(const TL::BarsBeats& start, const TL::BarsBeats& end)
{
    QObject* inBeat = WindowChild("inBeatInput");
    QObject* outBeat = WindowChild("outBeatInput");
    const auto set = [](QObject* combo, const QVariantList& beats, int index) {
        if (combo != nullptr) {
            combo->setProperty("model", beats);
            combo->setProperty("currentIndex", index);
        }
    };
    const int in = IndexOfBar(start);
    const int out = IndexOfBar(end);
    if (in < 0) {
        set(inBeat, BeatsOf(*barList_, 0), 0);
        set(outBeat, BeatsOf(*barList_, 0), 0);
    } else if (in == 0) {
        // The first bar may be a pickup whose beats do not begin at 1.
        const QVariantList beats = BeatsOf(*barList_, 0);
        set(inBeat, beats, std::max(PositionOf(beats, start.beat), 0));
        set(outBeat, beats, std::max(PositionOf(beats, end.beat), 0));
    } else if (out < in) {
        set(inBeat, BeatsOf(*barList_, in), BeatIndex(start.beat));
        set(outBeat, BeatsOf(*barList_, in), BeatIndex(start.beat));
    } else {
        set(inBeat, BeatsOf(*barList_, in), BeatIndex(start.beat));
        set(outBeat, BeatsOf(*barList_, out), BeatIndex(end.beat));
    }
}

void EditToolController::UpdateBeatInput(int row, bool in)
{
    if (QObject* combo = WindowChild(in ? "inBeatInput" : "outBeatInput"))
        combo->setProperty("model", BeatsOf(*barList_, row));
}

void EditToolController::onInBeatInputUpdateRequest(QVariant index)
{
    UpdateBeatInput(index.toInt(), true);
}

void EditToolController::onOutBeatInputUpdateRequest(QVariant index)
{
    UpdateBeatInput(index.toInt(), false);
}

void EditToolController::SetIntValue(int value)
{
    SetWindowProperty("intValue", value);
    SetWindowProperty("value", QString::number(value));
}

void EditToolController::SetStrValue(const std::string& value)
{
    SetWindowProperty("strValue", QString::fromStdString(value));
}

std::uint32_t EditToolController::FirstTick() const
{
    const QVariant first = barList_->rowCount() == 0
                               ? QVariant()
                               : barList_->getTime(barList_->data(barList_->index(0), BarListModel::BarRole).toString(), 0);
    return first.isValid() ? first.toUInt() : 0;
}

void EditToolController::SetInShiftMin(unsigned int minStartTick)
{
    int shiftMin = 0;
    if (barList_->rowCount() > 0 && !BeatsOf(*barList_, 0).isEmpty())
        shiftMin = static_cast<int>(static_cast<std::int64_t>(minStartTick) - FirstTick());
    SetWindowProperty("inShiftMin", shiftMin);
}

std::uint32_t EditToolController::TickOf(const QString& bar, int beat) const
{
    for (int row = 0; row < barList_->rowCount(); ++row) {
        if (barList_->data(barList_->index(row), BarListModel::BarRole).toString() != bar)
            continue;
        const int at = PositionOf(BeatsOf(*barList_, row), static_cast<std::uint32_t>(beat));
        const QVariant tick = barList_->getTime(bar, at);
        if (at >= 0 && tick.isValid())
            return tick.toUInt();
        break;
    }
    throw std::runtime_error("Bar " + bar.toStdString() + " has no beat " + std::to_string(beat) + ".");
}

std::uint32_t EditToolController::RaiseToCurrentStart(std::uint32_t tick) const
{
    return std::max(tick, static_cast<std::uint32_t>(engine_->GetCurrentStartTickIndex()));
}

void EditToolController::inBarBeatChanged_()
{
    try {
        QObject* barCombo = WindowChild("inBarInput");
        QObject* beatCombo = WindowChild("inBeatInput");
        if (barCombo == nullptr || beatCombo == nullptr)
            return;
        const QString bar = barCombo->property("displayText").toString();
        if (bar.isEmpty())
            return;
        const int barIndex = barCombo->property("currentIndex").toInt();
        const int beatIndex = beatCombo->property("currentIndex").toInt();
        if (barIndex < 0 || beatIndex < 0 || barIndex >= barList_->rowCount())
            return;
        const QVariantList beats = BeatsOf(*barList_, barIndex);
        if (beatIndex >= beats.size())
            return;
        const std::uint32_t tick = TickOf(bar, beats[beatIndex].toInt());
        if (!WindowProperty("isEdit").toBool()) {
            if (CL::Editor* editor = engine_->GetChangeLogEditor())
                SetWindowProperty("eventId", QString::fromStdString(editor->GetSuggestedEventIdAtTick(tick, eventCode_)));
        }
        OnBarBeatChanged();
    } catch (const std::exception& e) {
        std::cout << "Error: " << e.what() << "\n";
    }
}

template <class Edit>
bool EditToolController::Forward(const char* failureLog, Edit&& edit)
{
    if (editController_ == nullptr)
        return false;
    try {
        return edit(*editController_);
    } catch (const std::exception& e) {
        qDebug() << failureLog << e.what();
        return false;
    }
}

bool EditToolController::AddEvent(const cmn::BrixEvent& event)
{
    return Forward("Error adding event:", [&](EditController& edits) { return edits.onBrixMakeEvent(event); });
}

bool EditToolController::EditEventStartEndValues(const cmn::BrixEvent& event, const unsigned int& start,
                                                 const unsigned int& end)
{
    return Forward("Error editing event:",
                   [&](EditController& edits) { return edits.onBrixEditEventStartEndValues(event, start, end); });
}

bool EditToolController::EditEventStringValue(const cmn::BrixEvent& event, const std::string& value)
{
    return Forward("Error editing event:",
                   [&](EditController& edits) { return edits.onBrixEditEventStringValues(event, value); });
}

bool EditToolController::EditEventIntValue(const cmn::BrixEvent& event, const int& value)
{
    return Forward("Error editing event:",
                   [&](EditController& edits) { return edits.onBrixEditEventIntValues(event, value); });
}

bool EditToolController::EditEventFloatValue(const cmn::BrixEvent& event, const float& value)
{
    return Forward("Error editing event:",
                   [&](EditController& edits) { return edits.onBrixEditEventFloatValues(event, value); });
}

bool EditToolController::EditEventSFXPropertyValues(const cmn::BrixEvent& event, const CL::SfxProperties& properties)
{
    return Forward("Error editing event: ",
                   [&](EditController& edits) { return edits.EditEventSFXPropertyValues(event, properties); });
}

bool EditToolController::EditEventOscPropertyValues(const cmn::BrixEvent& event, const CL::OscProperties& properties)
{
    return Forward("Error editing event: ",
                   [&](EditController& edits) { return edits.EditEventOscPropertyValues(event, properties); });
}

void EditToolController::OpenNew(const TL::BarsBeats& start, const TL::BarsBeats& end)
{
    if (GetQmlObject() == nullptr)
        return;
    SetBarInputs(start, end);
    SetBeatInputs(start, end);
    SetVisible(true);
}

void EditToolController::OpenOn(cmn::BrixEvent* event, const std::function<void()>& setValues,
                                std::function<TL::BarsBeats(std::uint32_t)> positionOf)
{
    if (GetQmlObject() == nullptr || event == nullptr)
        return;
    if (!positionOf)
        positionOf = [this](std::uint32_t tick) { return engine_->GetBarBeatByTick(tick); };
    event_ = *event;
    SetWindowProperty("isEdit", true);
    const TL::BarsBeats start = positionOf(event->start());
    const TL::BarsBeats end = positionOf(event->end());
    SetBarInputs(start, end);
    SetBeatInputs(start, end);
    if (setValues)
        setValues();
    SetWindowProperty("eventId", QString::fromStdString(event->EventId()));
    SetVisible(true);
}

void EditToolController::Request(const std::function<bool()>& request)
{
    bool done = false;
    Guarded(kEditFailed, [&] { done = request(); });
    if (done) {
        if (QObject* window = GetQmlObject())
            QMetaObject::invokeMethod(window, "close");
    }
}

bool EditToolController::ChangeRemembered(std::uint32_t start, std::uint32_t end,
                                          const std::function<bool(const cmn::BrixEvent& moved)>& editValue)
{
    if (!event_)
        return false;
    cmn::BrixEvent moved = *event_;
    if (!EditEventStartEndValues(moved, start, end))
        return false;
    // The value change names the event as it now stands.
    moved.SetStart(start);
    moved.SetEnd(end);
    if (editValue && !editValue(moved))
        return false;
    emit valuesUpdated();
    return true;
}

void EditToolController::CreateRange(
    const QString& startBar, int startBeat, const QString& endBar, int endBeat,
    const std::function<cmn::BrixEvent(std::uint32_t, std::uint32_t, const std::string&)>& make)
{
    Request([&] {
        const std::uint32_t start = RaiseToCurrentStart(TickOf(startBar, startBeat));
        const std::uint32_t end = TickOf(endBar, endBeat);
        return AddEvent(make(start, end, WindowEventId().toStdString()));
    });
}

void EditToolController::ChangeRange(const QString& startBar, int startBeat, const QString& endBar, int endBeat,
                                     const std::function<bool(const cmn::BrixEvent& moved)>& editValue)
{
    Request([&] {
        const std::uint32_t start = RaiseToCurrentStart(TickOf(startBar, startBeat));
        const std::uint32_t end = TickOf(endBar, endBeat);
        return ChangeRemembered(start, end, editValue);
    });
}

}  // namespace brix::qt
