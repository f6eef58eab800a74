#include "TimelineFixture.h"
#include "bars_beats_view_controller.h"
#include "timeline_items.h"

#include <brix_core/CallbackDispatcher.h>
#include <brix_core/NotifyNames.h>

#include <QMetaObject>
#include <QPointer>
#include <QQuickWindow>
#include <QTest>
#include <QSignalSpy>
#include <QVariant>

#include <vector>

namespace {

using brix::qt::BrixEventController;
using brix::qt::TimelineController;
using musical_test::TimelineSong;
using musical_test::TimelineTest;
using ::testing::_;

constexpr std::uint32_t kBar = TimelineSong::kBar;
constexpr std::uint32_t kBeat = TimelineSong::kBeat;

QString RowOf(const brix::qt::QmlController& item)
{
    return item.GetQmlObject()->parent()->objectName();
}

double Prop(const QObject* object, const char* name)
{
    return object->property(name).toDouble();
}

TEST_F(TimelineTest, RebuildPutsEveryChangeLogKindOnItsRowInItsColour)
{
    CreateTimeline();
    controller_->LoadSong("1");

    struct Case {
        const char* id;
        const char* row;
        double x;
        double width;
        const char* colour;
    } const cases[] = {
        {"M1", "editsBar", kBar / 25.0, kBar / 25.0, "#6e3493"},            // a skip, from the fermatas
        {"@1", "editsBar", 3 * kBar / 25.0, kBar / 25.0, "#00bfff"},        // vamp
        {"B1", "editsBar", 5 * kBar / 25.0, kBar / 25.0, "#dc143c"},        // cut
        {"A1", "editsBar", 7 * kBar / 25.0, 2 * kBar / 25.0, "#daa520"},    // repeat
        {"C1", "keyMarkersBar", 2 * kBar / 25.0, 2 * kBar / 25.0, "#ffff00"},    // transposition
        {"L1", "meterMarkersBar", 0, 2 * kBar / 25.0, "#3da893"},               // click
        {"F1", "tempoMarkersBar", 4 * kBar / 25.0, 2 * kBar / 25.0, "#0d6d97"}, // tempo scale
    };
    ASSERT_EQ(controller_->GetRegions().size(), std::size(cases));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        const auto found = std::find_if(controller_->GetRegions().begin(), controller_->GetRegions().end(),
                                        [&c](const auto& item) { return item->GetEvent()->EventId() == c.id; });
        ASSERT_NE(found, controller_->GetRegions().end());
        const QObject* item = (*found)->GetQmlObject();
        EXPECT_EQ(RowOf(**found), c.row);
        EXPECT_EQ(Prop(item, "x"), std::trunc(c.x));
        EXPECT_EQ(Prop(item, "width"), std::trunc(c.width));
        EXPECT_EQ(item->property("baseColor").toString(), c.colour);
        EXPECT_TRUE(item->property("editable").toBool());
    }

    ASSERT_EQ(controller_->GetCaesuras().size(), 1U);
    EXPECT_EQ(RowOf(*controller_->GetCaesuras()[0]), "editsBar");
    EXPECT_EQ(Prop(controller_->GetCaesuras()[0]->GetQmlObject(), "x"), std::trunc(10 * kBar / 25.0));
    ASSERT_EQ(controller_->GetOscGlyphs().size(), 1U);
    EXPECT_EQ(RowOf(*controller_->GetOscGlyphs()[0]), "effectBar");
    EXPECT_EQ(controller_->GetOscGlyphs()[0]->GetQmlObject()->property("glyphPath").toString(), "qrc:/images/lan.svg");

    ASSERT_EQ(controller_->GetMarkers().size(), 3U);
    EXPECT_EQ(controller_->GetMarkers()[2]->GetQmlObject()->property("labelText").toString(), " Verse");
    ASSERT_EQ(controller_->GetKeySignatures().size(), 2U);
    EXPECT_EQ(controller_->GetKeySignatures()[1]->GetQmlObject()->property("labelText").toString(), " C minor");
    EXPECT_EQ(controller_->GetKeySignatures()[1]->GetEvent(), nullptr);
    EXPECT_FALSE(controller_->GetKeySignatures()[1]->IsEditable());
    ASSERT_EQ(controller_->GetTemposAndMeters().size(), 4U);
    EXPECT_EQ(controller_->GetTemposAndMeters()[1]->GetQmlObject()->property("labelText").toString(), " 150.00");
    EXPECT_EQ(RowOf(*controller_->GetTemposAndMeters()[1]), "tempoMarkersBar");
    EXPECT_EQ(controller_->GetTemposAndMeters()[3]->GetQmlObject()->property("labelText").toString(), " 3/4");
    EXPECT_EQ(RowOf(*controller_->GetTemposAndMeters()[3]), "meterMarkersBar");
}

TEST_F(TimelineTest, LabelsHideOnlyWhereTheNextItemOfTheirRowIsTooClose)
{
    CreateTimeline();
    controller_->LoadSong("1");
    const auto& markers = controller_->GetMarkers();
    // "Intro" at 0 runs past "Pickup" one beat (19 pixels) later; "Pickup" has room before "Verse".
    EXPECT_FALSE(markers[0]->IsLabelVisible());
    EXPECT_TRUE(markers[1]->IsLabelVisible());
    EXPECT_TRUE(markers[2]->IsLabelVisible());
    // The last tempo is followed in its vector by the first meter, at 0 on another row: it keeps its
    // label.
    for (const auto& label : controller_->GetTemposAndMeters())
        EXPECT_TRUE(label->IsLabelVisible()) << label->GetQmlObject()->property("labelText").toString().toStdString();

    // Zoomed in far enough, "Intro" fits too.
    QMetaObject::invokeMethod(TimelineItem(), "zoomin", Q_ARG(double, 3.0), Q_ARG(bool, false));
    EXPECT_TRUE(markers[0]->IsLabelVisible());
}

TEST_F(TimelineTest, OneMarkerOnARowKeepsItsLabelState)
{
    song_.log = CL::SongLog("1", "Solo");
    song_.log.AddMarker(CL::Marker(kBar, "Alone", "E9"));
    CreateTimeline();
    controller_->LoadSong("1");
    ASSERT_EQ(controller_->GetMarkers().size(), 1U);
    controller_->GetMarkers()[0]->SetVisibleLabel(false);
    controller_->ViewScaleChanged_(2.0, false);
    EXPECT_FALSE(controller_->GetMarkers()[0]->IsLabelVisible());
}

TEST_F(TimelineTest, BaseWidthComesFromTheLaterOfAudioEndAndSongLength)
{
    struct Case {
        const char* name;
        std::uint32_t length;
        std::uint32_t audioEnd;
        double baseWidth;
    } const cases[] = {
        {"audio runs past the song", 10000, 15000, 15000 / 25.0 + 200},
        {"audio ends early", 10000, 5000, 10000 / 25.0 + 200},
        {"no song at all", 0, 0, 200},
    };
    CreateTimeline();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        songLength_ = c.length;
        audioEnd_ = c.audioEnd;
        controller_->LoadSong("1");
        EXPECT_DOUBLE_EQ(Prop(TimelineItem(), "baseWidth"), c.baseWidth);
    }
}

TEST_F(TimelineTest, AClickSeeksToTheNearestBarOrBeat)
{
    CreateTimeline();
    controller_->LoadSong("1");
    struct Case {
        const char* name;
        int pos;
        std::uint32_t seek;
    } const cases[] = {
        {"just before a beat", 19, kBeat},                     // 475 ticks
        {"between beats, nearer the lower", 25, kBeat},        // 625 ticks
        {"between beats, nearer the upper", 30, 2 * kBeat},    // 750 ticks
        {"exactly between: the lower", 48, 2 * kBeat},         // 1200 ticks, 240 from 960 and 1440
        {"beyond the song end", 100000, 11 * kBar + 3 * kBeat},   // the last beat before the end
        {"left of the song start", -5, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::uint32_t sought = 0;
        EXPECT_CALL(*engine_, Seek(_)).WillOnce([&sought](unsigned int tick) { sought = tick; });
        QSignalSpy clicked(controller_.get(), &TimelineController::timelineClicked);
        QMetaObject::invokeMethod(TimelineItem(), "timelineClicked", Q_ARG(int, c.pos));
        EXPECT_EQ(clicked.size(), 1);
        EXPECT_EQ(sought, c.seek);
        ::testing::Mock::VerifyAndClearExpectations(engine_.get());
    }
}

TEST_F(TimelineTest, ZoomStaysWithinItsLimitsAndScrollWithinTheContent)
{
    CreateTimeline();
    controller_->LoadSong("1");
    QQuickItem* timeline = TimelineItem();
    struct Case {
        const char* method;
        double delta;
        double scale;
    } const cases[] = {
        {"zoomin", 0.6, 1.6}, {"zoomin", 10.0, 4.0}, {"zoomin", 0.6, 4.0},
        {"zoomout", 0.6, 3.4}, {"zoomout", 10.0, 0.15}, {"zoomout", 0.05, 0.15},
    };
    for (const Case& c : cases) {
        QMetaObject::invokeMethod(timeline, c.method, Q_ARG(double, c.delta), Q_ARG(bool, false));
        EXPECT_NEAR(Prop(timeline, "viewScale"), c.scale, 1e-9) << c.method << " " << c.delta;
        EXPECT_NEAR(controller_->GetViewScale(), c.scale, 1e-9);
    }

    QMetaObject::invokeMethod(timeline, "zoomin", Q_ARG(double, 1.85), Q_ARG(bool, false));
    QObject* flick = Find("timelineFlickable");
    const double maxX = Prop(flick, "contentWidth") - Prop(flick, "width");
    ASSERT_GT(maxX, 0);
    QMetaObject::invokeMethod(timeline, "scrollBy", Q_ARG(double, -500.0));
    EXPECT_EQ(Prop(flick, "contentX"), 0);
    QMetaObject::invokeMethod(timeline, "scrollBy", Q_ARG(double, 1e9));
    EXPECT_DOUBLE_EQ(Prop(flick, "contentX"), maxX);
}

TEST_F(TimelineTest, ASecondHoldDoesNotExtendTheFirst)
{
    CreateTimeline(false, 400);
    controller_->LoadSong("1");
    QObject* flick = Find("timelineFlickable");
    controller_->HoldScroll(150);
    controller_->HoldScroll(60000);
    // While held, a playhead outside the view does not move it.
    controller_->SetPlayheadPosition(9 * kBar);
    EXPECT_EQ(Prop(flick, "contentX"), 0);
    // The first hold's end restores the link, long before the second would have.
    ASSERT_TRUE(musical_test::WaitFor([&] {
        controller_->SetPlayheadPosition(9 * kBar);
        return Prop(flick, "contentX") > 0;
    }, std::chrono::seconds(20)));
    EXPECT_EQ(Prop(flick, "contentX"), static_cast<int>(9 * kBar / 25.0));
}

TEST_F(TimelineTest, PlayheadMovesAndBringsItsTickIntoView)
{
    CreateTimeline(false, 400);
    controller_->LoadSong("1");
    QObject* playhead = controller_->GetQmlObject()->property("playheadItem").value<QObject*>();
    QObject* flick = Find("timelineFlickable");
    controller_->SetPlayheadPosition(kBar);
    EXPECT_DOUBLE_EQ(Prop(playhead, "basePos"), (kBar - 8) / 25.0);
    EXPECT_EQ(Prop(flick, "contentX"), 0) << "a tick in view does not scroll";
    controller_->SetPlayheadPosition(4);
    EXPECT_DOUBLE_EQ(Prop(playhead, "basePos"), -4 / 25.0);

    // The marker list moves the playhead only while the song is not playing.
    notify::MarkerListSelection playing{10 * kBar, true};
    notify::callbackDispatcher.Notify(notify::names::editControllerMarkerListSelected, &playing);
    EXPECT_DOUBLE_EQ(Prop(playhead, "basePos"), -4 / 25.0);
    notify::MarkerListSelection stopped{10 * kBar, false};
    notify::callbackDispatcher.Notify(notify::names::editControllerMarkerListSelected, &stopped);
    EXPECT_DOUBLE_EQ(Prop(playhead, "basePos"), (10 * kBar - 8) / 25.0);
    EXPECT_EQ(Prop(flick, "contentX"), static_cast<int>(10 * kBar / 25.0));
}

TEST_F(TimelineTest, AViewScrolledLeftOfTheStartStartsAtTickZero)
{
    CreateTimeline(false, 400);
    controller_->LoadSong("1");
    Find("timelineFlickable")->setProperty("contentX", -300.0);
    ASSERT_LT(TimelineItem()->property("viewStart").toInt(), 0);
    EXPECT_EQ(controller_->GetViewStartTick(), 0U);
}

TEST_F(TimelineTest, ClickingAnItemSelectsItAloneAndReportsIt)
{
    CreateTimeline();
    controller_->LoadSong("1");
    QSignalSpy selected(controller_.get(), &TimelineController::EditSelectedSignal);
    BrixEventController& vamp = *controller_->GetRegions()[1];
    BrixEventController& caesura = *controller_->GetCaesuras()[0];
    QMetaObject::invokeMethod(vamp.GetQmlObject(), "clicked");
    EXPECT_TRUE(vamp.IsSelected());
    EXPECT_TRUE(vamp.GetQmlObject()->property("selected").toBool());
    QMetaObject::invokeMethod(caesura.GetQmlObject(), "clicked");
    EXPECT_TRUE(caesura.IsSelected());
    EXPECT_FALSE(vamp.IsSelected());
    ASSERT_EQ(selected.size(), 2);
    EXPECT_EQ(selected.at(1).at(0).value<const cmn::BrixEvent*>()->EventId(), "N1");
}

// An edit made from a drag rebuilds the timeline while the dragged item's handlers are still on the
// stack: the item and its controller must outlive them.
TEST_F(TimelineTest, ADragThatEndsInARebuildLeavesTheDraggedItemAliveUntilItsHandlersReturn)
{
    CreateTimeline();
    controller_->LoadSong("1");
    QPointer<BrixEventController> dragged = controller_->GetRegions()[2].get();
    QPointer<QObject> draggedItem = dragged->GetQmlObject();
    std::vector<int> ticks;
    bool aliveDuringRebuild = false;
    QObject::connect(controller_.get(), &TimelineController::EditDraggedSignal, controller_.get(),
                     [&](const cmn::BrixEvent* event, int start, int end, bool, bool adjustRight) {
                         EXPECT_EQ(event->EventId(), "B1");
                         ticks = {start, end, adjustRight};
                         controller_->ClearItems();
                         controller_->Rebuild();
                         aliveDuringRebuild = !dragged.isNull() && !draggedItem.isNull();
                     });
    QMetaObject::invokeMethod(draggedItem.data(), "dragged", Q_ARG(int, 400), Q_ARG(int, 480), Q_ARG(bool, false),
                              Q_ARG(bool, true));
    EXPECT_EQ(ticks, (std::vector<int>{10000, 12000, 1}));
    EXPECT_TRUE(aliveDuringRebuild);
    ASSERT_FALSE(draggedItem.isNull());
    EXPECT_FALSE(draggedItem->property("visible").toBool()) << "a retired item is hidden at once";
    EXPECT_EQ(controller_->GetRegions().size(), 7U);
    musical_test::RunDeferredDeletes();
    musical_test::RunDeferredDeletes();
    EXPECT_TRUE(dragged.isNull());
    EXPECT_TRUE(draggedItem.isNull());
}

TEST(RegionColours, KnownKeysHaveTheirColoursOthersGrey)
{
    const std::pair<int, const char*> cases[] = {
        {0, "#DC143C"}, {1, "#6e3493"}, {6, "#3da893"}, {8, "#FF66CC"}, {7, "#cccccc"}, {-1, "#cccccc"}, {99, "#cccccc"},
    };
    for (const auto& [key, colour] : cases)
        EXPECT_EQ(brix::qt::RegionColour(key), colour) << key;
}

// The bar row: which lines exist, and the audio boxes behind them.
TEST_F(TimelineTest, BarRowDrawsLinesBeforeTheSongEndAndTheEndBar)
{
    songLength_ = 10 * kBar + kBeat;  // the song ends after the first beat of bar 11
    CreateTimeline();
    controller_->LoadSong("1");
    const auto& bars = controller_->GetBarsBeatsView().GetBars();
    // 10 whole bars of 4 lines, bar 11's first line, and the end bar.
    ASSERT_EQ(bars.size(), 10U * 4 + 1 + 1);
    EXPECT_EQ(bars[40]->GetLabel(), "11");
    EXPECT_TRUE(bars.back()->IsBar());
    EXPECT_TRUE(bars.back()->GetQmlObject()->property("isEndBar").toBool());
    EXPECT_DOUBLE_EQ(Prop(bars.back()->GetQmlObject(), "basePos"), std::trunc(songLength_ / 25.0));
    EXPECT_TRUE(bars.back()->IsShown());
}

TEST_F(TimelineTest, AudioBoxesFollowTheAudioEnd)
{
    struct Case {
        const char* name;
        bool audioFades;
        std::uint32_t audioEnd;
        double fadePos, fadeWidth, outPos, outWidth;
    } const cases[] = {
        {"audio ends early: the out box", true, 8 * kBar, 0, 0, 8 * kBar / 25.0, 4 * kBar / 25.0},
        {"audio runs on, with fades: the fade box", true, 13 * kBar, 12 * kBar / 25.0, kBar / 25.0, 0, 0},
        {"audio runs on, no fades: no out box", false, 13 * kBar, 0, 0, 13 * kBar / 25.0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        audioEnd_ = c.audioEnd;
        controller_.reset();
        CreateTimeline(false, 1000, c.audioFades);
        controller_->LoadSong("1");
        QObject* region = Find("barsRegion");
        EXPECT_DOUBLE_EQ(Prop(region, "audioFadeRegionPos"), c.fadePos);
        EXPECT_DOUBLE_EQ(Prop(region, "audioFadeRegionWidth"), c.fadeWidth);
        EXPECT_DOUBLE_EQ(Prop(region, "audioOutRegionPos"), c.outPos);
        EXPECT_DOUBLE_EQ(Prop(region, "audioOutRegionWidth"), c.outWidth);
        EXPECT_LT(Prop(Find("audioFadeBox"), "z"), Prop(controller_->GetBarsBeatsView().GetBars().back()->GetQmlObject(), "z"));
    }
}

// No two labels of the bar row that are shown may overlap, whatever the scale.
TEST_F(TimelineTest, BarLabelsNeverOverlap)
{
    CreateTimeline();
    controller_->LoadSong("1");
    for (double scale : {0.15, 0.3, 0.6, 1.0, 1.6, 4.0}) {
        SCOPED_TRACE(scale);
        controller_->GetQmlObject()->setProperty("viewScale", scale);
        const auto& lines = controller_->GetBarsBeatsView().GetBars();
        ASSERT_TRUE(musical_test::WaitFor([&lines] {
            return std::all_of(lines.begin(), lines.end(), [](const auto& line) {
                return !line->GetQmlObject()->property("fading").toBool();
            });
        })) << "the fades end";
        int shownBars = 0;
        int lastRight = -1000;
        int shownBeats = 0;
        for (const auto& line : controller_->GetBarsBeatsView().GetBars()) {
            if (!line->IsShown() || !line->IsLabelShown() || line->GetLabel().empty())
                continue;
            EXPECT_GT(line->GetX(), lastRight) << "label " << line->GetLabel() << " overlaps the one before";
            lastRight = line->GetRightEdge();
            (line->IsBar() ? shownBars : shownBeats) += 1;
        }
        EXPECT_GT(shownBars, 0);
        if (scale >= 1.0) {
            EXPECT_GT(shownBeats, 0);
        }
    }
}

}  // namespace

namespace {

// The pointer on the timeline's empty rows: a click seeks, a left drag selects, a right drag pans.
TEST_F(TimelineTest, PointerClickSeeksDragSelectsRightDragPans)
{
    CreateTimeline(true, 600);
    controller_->LoadSong("1");
    auto* window = qobject_cast<QQuickWindow*>(host_.get());
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    QQuickItem* content = qobject_cast<QQuickItem*>(Find("timelineContent"));
    ASSERT_NE(content, nullptr);
    // A point of the markers row clear of its labels, 100 unscaled pixels into the song.
    const auto at = [content](double x) {
        return content->mapToScene(QPointF(x, content->property("height").toDouble() * 0.6)).toPoint();
    };

    EXPECT_CALL(*engine_, Seek(2400U));
    QTest::mouseClick(window, Qt::LeftButton, {}, at(100));
    ::testing::Mock::VerifyAndClearExpectations(engine_.get());

    EXPECT_CALL(*engine_, Seek(_)).Times(0);
    QTest::mousePress(window, Qt::LeftButton, {}, at(100));
    QTest::mouseMove(window, at(150));
    QTest::mouseMove(window, at(200));
    QTest::mouseRelease(window, Qt::LeftButton, {}, at(200));
    QQuickItem* timeline = TimelineItem();
    EXPECT_TRUE(timeline->property("selectionActive").toBool());
    EXPECT_DOUBLE_EQ(Prop(timeline, "selectionStart"), 100);
    EXPECT_DOUBLE_EQ(Prop(timeline, "selectionEnd"), 200);

    QObject* flick = Find("timelineFlickable");
    QTest::mousePress(window, Qt::RightButton, {}, at(300));
    QTest::mouseMove(window, at(250));
    QTest::mouseMove(window, at(200));
    QTest::mouseRelease(window, Qt::RightButton, {}, at(200));
    EXPECT_GT(Prop(flick, "contentX"), 0);
    EXPECT_TRUE(timeline->property("selectionActive").toBool()) << "panning keeps the selection";
}

}  // namespace

namespace {

// The main window deletes the timeline while it tears a show down: the controller's items go without
// asking the engine anything.
TEST_F(TimelineTest, DestroyingTheControllerAsksTheEngineNothing)
{
    CreateTimeline();
    controller_->LoadSong("1");
    QPointer<QObject> region = controller_->GetRegions()[0]->GetQmlObject();
    ::testing::Mock::VerifyAndClearExpectations(engine_.get());
    EXPECT_CALL(*engine_, GetSongLength(_)).Times(0);
    EXPECT_CALL(*engine_, GetSongAudioEndTick(_)).Times(0);
    EXPECT_CALL(*engine_, GetSongLog()).Times(0);
    controller_.reset();
    musical_test::RunDeferredDeletes();
    musical_test::RunDeferredDeletes();
    EXPECT_TRUE(region.isNull());
}

}  // namespace
