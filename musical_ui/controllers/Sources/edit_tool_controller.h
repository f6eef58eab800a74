#pragma once

#include "qml_controller.h"

#include <brix_core/BrixEvent.h>
#include <brix_core/Timeline.h>

#include <QString>
#include <QUrl>
#include <QVariant>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

class Interface;
class QQmlEngine;

namespace brix::qt {

class BarListModel;
class EditController;

// EditToolController: the common base of the change-log edit tools, one small window per kind of
// event. It creates the tool's window, fills its bar and beat pickers from the current song's bars
// (a BarListModel from the song's current start tick on), suggests the id of a new event, turns the
// chosen bar and beat into ticks and forwards every add or change to the edit controller. A request
// that fails (a refused edit, a bar the list lacks) leaves the window open; the window closes once
// the edit went through, and its closing signal tells the owner to destroy the tool.
// Owner: the main window controller, one tool per request. Thread: GUI thread only.
class EditToolController : public QmlController {
    Q_OBJECT

public:
    EditToolController(QQmlEngine* engine, const QUrl& url, EditController* editController,
                       std::shared_ptr<Interface> engineInterface, std::uint8_t eventCode, QObject* transientParent,
                       bool onClickGrid);
    ~EditToolController() override;

    virtual void ConnectSignals() = 0;
    // Runs after the in position changed; the single-position tools with a shift compute its range.
    virtual void OnBarBeatChanged() {}
    virtual bool AddEvent(const cmn::BrixEvent& event);
    virtual bool EditEventStartEndValues(const cmn::BrixEvent& event, const unsigned int& start,
                                         const unsigned int& end);
    virtual bool EditEventStringValue(const cmn::BrixEvent& event, const std::string& value);
    virtual bool EditEventIntValue(const cmn::BrixEvent& event, const int& value);
    virtual bool EditEventFloatValue(const cmn::BrixEvent& event, const float& value);
    virtual bool EditEventSFXPropertyValues(const cmn::BrixEvent& event, const CL::SfxProperties& properties);
    virtual bool EditEventOscPropertyValues(const cmn::BrixEvent& event, const CL::OscProperties& properties);

    // The first row of the bar list with the position's bar text; -1 when none has it.
    int IndexOfBar(const TL::BarsBeats& position) const;
    void SetBarInputs(const TL::BarsBeats& start, const TL::BarsBeats& end);
    void SetBarInputs(const TL::BarsBeats& position) { SetBarInputs(position, position); }
    void SetBeatInputs(const TL::BarsBeats& start, const TL::BarsBeats& end);
    void SetBeatInputs(const TL::BarsBeats& position) { SetBeatInputs(position, position); }
    void UpdateBeatInput(int row, bool in);
    void SetIntValue(int value);
    void SetStrValue(const std::string& value);
    void SetInShiftMin(unsigned int minStartTick);

    std::uint8_t GetEventCode() const { return eventCode_; }
    const BarListModel& GetBarList() const { return *barList_; }

signals:
    void valuesUpdated();

public slots:
    void onInBeatInputUpdateRequest(QVariant index);
    void onOutBeatInputUpdateRequest(QVariant index);
    void inBarBeatChanged_();

protected:
    Interface& Engine() const { return *engine_; }
    // The tick of a beat (its number) of the bar with that text; throws std::runtime_error when the bar
    // list has no such beat.
    std::uint32_t TickOf(const QString& bar, int beat) const;
    // A start before the song's current start tick index is raised to it.
    std::uint32_t RaiseToCurrentStart(std::uint32_t tick) const;
    // The tick of the bar list's first beat; 0 for an empty list.
    std::uint32_t FirstTick() const;

    QVariant WindowProperty(const char* name) const;
    void SetWindowProperty(const char* name, const QVariant& value) const;
    QObject* WindowChild(const char* objectName) const;
    // A string-based connection of a window signal to a slot of this controller.
    void ConnectWindow(const char* signal, const char* slot);
    // The panel's bar choices: the in beat always, the out beat for the range tools.
    void ConnectPanel(bool withOut);

    // Opening: for a new range (bar and beat inputs, shown) and on an existing event (positions from
    // the event's ticks by `positionOf`, by default Interface::GetBarBeatByTick; the values set by
    // `setValues`; the id; shown; remembered).
    void OpenNew(const TL::BarsBeats& start, const TL::BarsBeats& end);
    void OpenOn(cmn::BrixEvent* event, const std::function<void()>& setValues,
                std::function<TL::BarsBeats(std::uint32_t)> positionOf = {});
    const cmn::BrixEvent* Remembered() const { return event_ ? &*event_ : nullptr; }
    QString WindowEventId() const { return WindowProperty("eventId").toString(); }

    // Runs a request: a failure (a throw or a refused edit) is shown through `error` with the window
    // left open; a success closes the window.
    void Request(const std::function<bool()>& request);
    // The change of a range (or a single position: start == end): the remembered event's ticks, then
    // the value edit on the event as moved; valuesUpdated() after both went through.
    bool ChangeRemembered(std::uint32_t start, std::uint32_t end,
                          const std::function<bool(const cmn::BrixEvent& moved)>& editValue);
    // Creation and change from the window's in and out bar and beat.
    void CreateRange(const QString& startBar, int startBeat, const QString& endBar, int endBeat,
                     const std::function<cmn::BrixEvent(std::uint32_t, std::uint32_t, const std::string&)>& make);
    void ChangeRange(const QString& startBar, int startBeat, const QString& endBar, int endBeat,
                     const std::function<bool(const cmn::BrixEvent& moved)>& editValue);

private:
    template <class Edit>
    bool Forward(const char* failureLog, Edit&& edit);

    std::uint8_t eventCode_;
    std::shared_ptr<Interface> engine_;
    std::shared_ptr<BarListModel> barList_;
    EditController* editController_ = nullptr;
    // A copy of the event the window was opened on: the lists the caller's event lives in are rebuilt
    // by every edit made while the window is open.
    std::optional<cmn::BrixEvent> event_;

protected:
    // The lowest start tick the caesura and OSC tools were opened with.
    std::uint32_t minStartTick_ = 0;
};

// The window URL of a tool's QML file of the program's module.
QUrl EditToolUrl(const char* fileName);

}  // namespace brix::qt
