// The song timeline on a real display (Xvfb in ctest), at two zoom levels, saved in the build folder so
// a person can check that labels keep apart and every edit can be seen.

#include "TimelineFixture.h"
#include "WindowPicture.h"

#include <QMetaObject>

namespace {

using musical_test::TimelineSong;
using musical_test::TimelineTest;

TEST_F(TimelineTest, PicturesAtTwoZoomLevels)
{
    CreateTimeline(true, 1300);
    controller_->LoadSong("1");
    controller_->SetPlayheadPosition(3 * TimelineSong::kBar + TimelineSong::kBeat);
    const QString folder = QStringLiteral(PICTURES_DIR);
    musical_test::SaveWindowPicture(host_.get(), folder, QStringLiteral("timeline_scale_1_0"));

    QMetaObject::invokeMethod(TimelineItem(), "zoomout", Q_ARG(double, 0.6), Q_ARG(bool, false));
    // Let the beat lines finish fading out before the picture.
    for (const auto& line : controller_->GetBarsBeatsView().GetBars())
        ASSERT_TRUE(musical_test::WaitFor([&line] { return !line->GetQmlObject()->property("fading").toBool(); }));
    musical_test::SaveWindowPicture(host_.get(), folder, QStringLiteral("timeline_scale_0_4"));
}

}  // namespace
