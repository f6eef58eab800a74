// The edit controller over the real engine of the demo show on a virtual MIDI device: an edit made
// while the song plays changes the road the player takes from its next clock on.
#include "EditModel.h"
#include "EngineFixture.h"
#include "QmlTest.h"
#include "ShowManager.h"
#include "edit_controller.h"
#include "timeline_controller.h"

#include <QQuickItem>
#include <QVariant>

#include <gtest/gtest.h>

#include <string>

namespace musical_test {
namespace {

using notify::EngineEvent;

class EditRealEngineTest : public QmlTest {};

TEST_F(EditRealEngineTest, ACutAddedWhilePlayingIsSkippedFromTheNextClock)
{
    engine_test::Engine e;
    // The show manager shares the fixture's engine without owning it; the fixture outlives it.
    auto showManager = std::make_shared<brix::ShowManager>(std::shared_ptr<Interface>(std::shared_ptr<void>(), e.engine.get()));
    auto editModel = std::make_shared<brix::qt::EditModel>(showManager);
    std::unique_ptr<QObject> host = CreateFromQml(
        "import QtQuick\nimport \"qrc:/qt/qml/com/fernwhistlestudios/musical_ui/qml\"\n"
        "Item { width: 1200; height: 700\n"
        "  property alias timelineControl: timelinePanel.timelineControl\n"
        "  property alias editPanelControl: editPanel\n"
        "  TimeLineEditPanel { id: timelinePanel; width: parent.width }\n"
        "  EditPanel { id: editPanel; y: 220; width: parent.width; height: 480 } }\n");
    ASSERT_NE(host, nullptr);
    auto timeline = std::make_unique<brix::qt::TimelineController>(
        Engine(), host->property("timelineControl").value<QQuickItem*>(), showManager->GetInterface(), showManager,
        editModel, true, true);
    auto controller = std::make_unique<brix::qt::EditController>(
        Engine(), host->property("editPanelControl").value<QQuickItem*>(), showManager, editModel, *timeline, true);
    std::vector<std::string> errors;
    QObject::connect(controller.get(), &brix::qt::QmlController::error,
                     [&errors](const std::string& message, const std::string&) { errors.push_back(message); });
    const std::string song = e.engine->GetCurrentSongNumber();
    timeline->LoadSong(song);
    controller->OnSongChanged(song);

    const auto& bars = *editModel->GetBarsBeats();
    ASSERT_GE(bars.GetBarCount(), 7u);
    const std::uint32_t bar4 = bars.GetBar(3).tick;
    const std::uint32_t bar6 = bars.GetBar(5).tick;

    e.engine->Play();
    ASSERT_TRUE(e.events.WaitFor(EngineEvent::BarBeat, "0001|02"));
    controller->onBrixMakeEvent(CL::Cut(bar4, bar6, "", 0));
    ASSERT_TRUE(errors.empty()) << errors.front();
    EXPECT_TRUE(editModel->GetNeedsSave());
    ASSERT_EQ(e.engine->GetSongLog().GetCuts().size(), 1u) << "the player does not play the edited log";

    ASSERT_TRUE(e.events.WaitFor(EngineEvent::BarBeat, "0006|01", std::chrono::seconds(30)));
    for (const engine_test::Received& beat : e.events.Of(EngineEvent::BarBeat)) {
        EXPECT_NE(beat.text.rfind("0004|", 0), 0u) << "bar 4 was played";
        EXPECT_NE(beat.text.rfind("0005|", 0), 0u) << "bar 5 was played";
    }
    e.engine->Stop();
    controller.reset();
    timeline.reset();
    host.reset();
    RunDeferredDeletes();
}

}  // namespace
}  // namespace musical_test
