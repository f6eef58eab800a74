#pragma once

#include "EditModel.h"
#include "FakeInterface.h"
#include "QmlTest.h"
#include "ShowManager.h"
#include "bars_beats_view_controller.h"
#include "timeline_controller.h"

#include <brix_core/ChangeLog.h>
#include <brix_core/Timeline.h>

#include <QQuickItem>

#include <memory>
#include <string>

namespace musical_test {

// A song for the timeline with every kind of row item: 12 bars of 4/4 (480 ticks a beat, 1920 a bar),
// a key, tempo and meter change, and one change-log event of each kind (two markers close together).
struct TimelineSong {
    static constexpr std::uint32_t kBeat = 480;
    static constexpr std::uint32_t kBar = 4 * kBeat;
    static constexpr std::uint32_t kLength = 12 * kBar;

    TimelineSong();

    TL::Timeline timeline;
    TL::TimelineSequence<TL::BarsBeats> barsBeats;
    CL::SongLog log{"1", "Harbour Lights"};
};

// The timeline panel in a host item, its controller over a fake engine that serves a TimelineSong,
// and the shared edit model. The fake's song length and audio end can be changed before LoadSong.
class TimelineTest : public QmlTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // Creates the host (an Item, or a visible Window for pictures) and the controller.
    void CreateTimeline(bool window = false, int width = 1000, bool audioFades = true);

    QQuickItem* TimelineItem() const;
    QObject* Find(const char* name) const { return FindByName(host_.get(), QString::fromLatin1(name)); }

    TimelineSong song_;
    std::uint32_t songLength_ = TimelineSong::kLength;
    std::uint32_t audioEnd_ = TimelineSong::kLength;
    std::shared_ptr<::testing::NiceMock<FakeInterface>> engine_;
    std::shared_ptr<brix::ShowManager> showManager_;
    std::shared_ptr<brix::qt::EditModel> editModel_;
    std::unique_ptr<QObject> host_;
    std::unique_ptr<brix::qt::TimelineController> controller_;
};

}  // namespace musical_test
