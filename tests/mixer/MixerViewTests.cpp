// The mixer's QML with the product's controller and the real engine: what the view shows of the model,
// and that the user's clicks and moves reach the engine.

#include "MixerFixture.h"

#include <QPointF>
#include <QQuickItem>
#include <QQuickWindow>
#include <QSignalSpy>
#include <QTest>

#include <cmath>

namespace {

using brix::qt::MixerTracksModel;
using mixer_test::MixerFixture;

class MixerView : public MixerFixture {
protected:
    void SetUp() override
    {
        MixerFixture::SetUp();
        auto* window = qobject_cast<QQuickWindow*>(host_.get());
        ASSERT_NE(window, nullptr);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    }

    // The view's items of that objectName, in the order they were made (section by section, row by row).
    QList<QQuickItem*> All(const QString& name) const
    {
        QList<QQuickItem*> found;
        Collect(qobject_cast<QQuickItem*>(view_), name, found);
        return found;
    }

    // Clicks the item's centre once the window has drawn a frame, so that the layouts have placed it.
    void Click(QQuickItem* item) const
    {
        ASSERT_NE(item, nullptr);
        auto* window = qobject_cast<QQuickWindow*>(host_.get());
        bool drawn = false;
        const auto connection = QObject::connect(window, &QQuickWindow::frameSwapped, [&drawn] { drawn = true; });
        window->update();
        EXPECT_TRUE(musical_test::WaitFor([&drawn] { return drawn; }));
        QObject::disconnect(connection);
        const QPointF centre = item->mapToScene(QPointF(item->width() / 2, item->height() / 2));
        QTest::mouseClick(qobject_cast<QQuickWindow*>(host_.get()), Qt::LeftButton, Qt::NoModifier,
                          centre.toPoint());
    }

    // Sets a slider's or dial's value as a user's move does, and reports the move.
    static void Move(QQuickItem* control, double value)
    {
        ASSERT_NE(control, nullptr);
        control->setProperty("value", value);
        ASSERT_TRUE(QMetaObject::invokeMethod(control, "moved"));
    }

private:
    static void Collect(QQuickItem* item, const QString& name, QList<QQuickItem*>& found)
    {
        if (item == nullptr)
            return;
        if (item->objectName() == name && item->isVisible())
            found.append(item);
        for (QQuickItem* child : item->childItems())
            Collect(child, name, found);
    }
};

TEST_F(MixerView, ShowsEverySectionAndTrackOfTheSong)
{
    Create();
    QStringList titles;
    for (QQuickItem* title : All(QStringLiteral("sectionTitle")))
        titles << title->property("text").toString();
    EXPECT_EQ(titles, (QStringList{"Instruments", "Vocal Parts"}));
    QStringList names;
    for (QQuickItem* name : All(QStringLiteral("trackName")))
        names << name->property("text").toString();
    EXPECT_EQ(names, (QStringList{"Piano", "Bass", "Drums", "Strings", "Winds"}));

    // Instrument tracks show their program's name; vocal tracks offer the list, at their program.
    const QList<QQuickItem*> labels = All(QStringLiteral("instrumentLabel"));
    ASSERT_EQ(labels.size(), 3);
    const MixerTracksModel* instruments = Tracks(QStringLiteral("Instruments"));
    for (int row = 0; row < 3; ++row) {
        EXPECT_FALSE(instruments->instrumentDisplayName(row).isEmpty()) << row;
        EXPECT_EQ(labels[row]->property("text").toString(), instruments->instrumentDisplayName(row)) << row;
    }
    const QList<QQuickItem*> boxes = All(QStringLiteral("instrumentBox"));
    ASSERT_EQ(boxes.size(), 2);
    EXPECT_EQ(boxes[0]->property("currentValue").toInt(), engine_->GetTrackProgramId(2));

    // The muted vocal tracks and their section show as muted.
    const QList<QQuickItem*> mutes = All(QStringLiteral("trackMute"));
    ASSERT_EQ(mutes.size(), 5);
    EXPECT_FALSE(mutes[0]->property("checked").toBool());
    EXPECT_TRUE(mutes[3]->property("checked").toBool());
    const QList<QQuickItem*> groupMutes = All(QStringLiteral("sectionMute"));
    ASSERT_EQ(groupMutes.size(), 2);
    EXPECT_FALSE(groupMutes[0]->property("checked").toBool());
    EXPECT_TRUE(groupMutes[1]->property("checked").toBool());
}

TEST_F(MixerView, ClicksAndMovesOfTheTracksReachTheEngine)
{
    Create();
    Click(All(QStringLiteral("trackMute")).value(1));  // Bass
    EXPECT_TRUE(engine_->GetTrackIsMuted(1));
    EXPECT_TRUE(All(QStringLiteral("trackMute")).value(1)->property("checked").toBool());
    Click(All(QStringLiteral("trackSolo")).value(0));  // Piano
    EXPECT_TRUE(engine_->GetTrackIsSoloed(0));

    Move(All(QStringLiteral("volumeSlider")).value(0), std::exp(-15.0 / 25.0));
    EXPECT_EQ(engine_->GetTrackVolume(0), 53);
    Move(All(QStringLiteral("panDial")).value(0), -1.0);
    EXPECT_EQ(engine_->GetTrackPan(0), 0);

    QQuickItem* strings = All(QStringLiteral("instrumentBox")).value(0);
    ASSERT_NE(strings, nullptr);
    ASSERT_TRUE(QMetaObject::invokeMethod(strings, "activated", Q_ARG(int, 40)));
    EXPECT_EQ(engine_->GetTrackProgramId(2), 40);
    EXPECT_EQ(strings->property("currentValue").toInt(), 40);

    // The group buttons: the instruments' mute mutes all three; its solo solos them.
    Click(All(QStringLiteral("sectionMute")).value(0));
    for (int track : {0, 1, 9}) {
        EXPECT_TRUE(engine_->GetTrackIsMuted(track)) << track;
    }
    Click(All(QStringLiteral("sectionSolo")).value(0));
    for (int track : {0, 1, 9}) {
        EXPECT_TRUE(engine_->GetTrackIsSoloed(track)) << track;
    }
    EXPECT_TRUE(All(QStringLiteral("sectionSolo")).value(0)->property("checked").toBool());
}

TEST_F(MixerView, TheGeneralRowsReportTheirValues)
{
    Create();
    QSignalSpy click(view_, SIGNAL(clickVolumeSet(double)));
    QSignalSpy tempo(view_, SIGNAL(tempoScaleSet(double)));
    QSignalSpy transpose(view_, SIGNAL(transposeSet(double)));
    QSignalSpy reset(view_, SIGNAL(resetMixerClicked()));

    Move(All(QStringLiteral("clickVolumeSlider")).value(0), std::exp(-15.0 / 25.0));
    ASSERT_EQ(click.size(), 1);
    EXPECT_NEAR(click.at(0).at(0).toDouble(), -15.0, 1e-6);
    EXPECT_EQ(All(QStringLiteral("clickVolumeText")).value(0)->property("text").toString(), "-15.0 dB");
    Click(All(QStringLiteral("resetMixer")).value(0));
    EXPECT_EQ(reset.size(), 1);

    // Tempo scale and transposition are hidden until asked for; then they report a value once.
    EXPECT_TRUE(All(QStringLiteral("tempoScaleSlider")).isEmpty());
    EXPECT_TRUE(All(QStringLiteral("sectionTitle")).value(0)->property("text").toString() != "General Settings");
    view_->setProperty("showTempoScale", true);
    view_->setProperty("showTranspose", true);
    EXPECT_EQ(All(QStringLiteral("sectionTitle")).value(0)->property("text").toString(), "General Settings");
    QQuickItem* tempoSlider = All(QStringLiteral("tempoScaleSlider")).value(0);
    QQuickItem* transposeSlider = All(QStringLiteral("transposeSlider")).value(0);
    const struct {
        QQuickItem* slider;
        double value;
        const char* text;
        const char* textName;
    } moves[] = {
        {tempoSlider, 10, "+10%", "tempoScaleText"},   {tempoSlider, 10, "+10%", "tempoScaleText"},
        {tempoSlider, -5, "-5%", "tempoScaleText"},    {tempoSlider, 0, "+0%", "tempoScaleText"},
        {transposeSlider, 3, "+3", "transposeText"},   {transposeSlider, 3, "+3", "transposeText"},
        {transposeSlider, -6, "-6", "transposeText"},
    };
    for (const auto& m : moves) {
        Move(m.slider, m.value);
        EXPECT_EQ(All(QString::fromLatin1(m.textName)).value(0)->property("text").toString(), m.text);
    }
    ASSERT_EQ(tempo.size(), 3);
    EXPECT_EQ(tempo.at(2).at(0).toDouble(), 0.0);
    ASSERT_EQ(transpose.size(), 2);
    EXPECT_EQ(transpose.at(1).at(0).toDouble(), -6.0);
    // And reach the engine.
    EXPECT_EQ(engine_->calls.back(), "update");
    EXPECT_NE(std::find(engine_->calls.begin(), engine_->calls.end(), "transposition -6"), engine_->calls.end());
}

}  // namespace
