#pragma once

#include "EditFixture.h"
#include "edit_tool_controller.h"

#include <QSignalSpy>

#include <functional>
#include <map>
#include <memory>
#include <string>

namespace musical_test {

// The edit controller over a real change-log editor (EditTest) plus what the edit tools ask the
// engine: the song's bars (`bars_`, by default the TimelineSong's 4/4 bars), the current start tick
// (`startTick_`) and positions by tick (the bar record at or before it). One tool at a time, made by
// a factory, with spies on its closing signal and valuesUpdated().
// Makes a tool over the edit controller (may be null) and the engine.
using ToolFactory = std::function<std::unique_ptr<brix::qt::EditToolController>(
    QQmlEngine*, brix::qt::EditController*, std::shared_ptr<Interface>)>;

class EditToolTest : public EditTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // Makes the tool with the edit controller (or none) and spies on `closingSignal`.
    void MakeTool(const ToolFactory& factory, const char* closingSignal, bool withEditController = true);

    QObject* Window() const { return tool_->GetQmlObject(); }
    QObject* Child(const char* name) const;
    QString Text(const char* combo) const;
    void Choose(const char* combo, int index) const;
    // Presses the window's OK (or Cancel) button.
    void Press(const char* button) const;
    bool Visible() const { return Window() != nullptr && Window()->property("visible").toBool(); }
    // The bar record at or before the tick.
    TL::BarsBeats PositionAt(std::uint32_t tick) const;
    // The number of edit steps of the song's history (undone and redone back, so the log stays).
    int HistorySteps() const;

    TL::TimelineSequence<TL::BarsBeats> bars_;
    std::uint32_t startTick_ = 0;
    // The room for a shift after any beat.
    unsigned int shiftRoom_ = TimelineSong::kBeat - 1;
    CL::NetworkPathVectorT networks_;
    std::unique_ptr<brix::qt::EditToolController> tool_;
    std::unique_ptr<QSignalSpy> closing_;
    std::unique_ptr<QSignalSpy> updated_;
};

}  // namespace musical_test
