// Pictures of the mixer with the demo show's tracks on a real display (Xvfb in ctest), saved in the
// build folder, so a person can check that the texts fit and every control can be reached.

#include "MixerFixture.h"

#include <QDir>
#include <QImage>
#include <QQuickWindow>
#include <QTest>

namespace {

using mixer_test::MixerFixture;

class MixerPictures : public MixerFixture {
protected:
    void Save(const QString& name)
    {
        auto* window = qobject_cast<QQuickWindow*>(host_.get());
        ASSERT_NE(window, nullptr);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window, 20000));
        bool swapped = false;
        auto connection = QObject::connect(window, &QQuickWindow::frameSwapped, [&swapped] { swapped = true; });
        window->update();
        EXPECT_TRUE(musical_test::WaitFor([&swapped] { return swapped; }, std::chrono::seconds(20)));
        QObject::disconnect(connection);
        const QImage picture = window->grabWindow();
        ASSERT_FALSE(picture.isNull());
        QDir().mkpath(QStringLiteral(PICTURES_DIR));
        EXPECT_TRUE(picture.save(QDir(QStringLiteral(PICTURES_DIR)).filePath(name + QStringLiteral(".png"))));
    }
};

TEST_F(MixerPictures, TheFinaleWithEveryKindOfTrack)
{
    LoadSong("10");
    Create();
    Save(QStringLiteral("mixer_finale"));
    // As narrow as the main window's edit panel gives it.
    host_->setProperty("width", 430);
    Save(QStringLiteral("mixer_finale_narrow"));
}

TEST_F(MixerPictures, TheOvertureWithTempoScaleAndTranspose)
{
    engine_->SetTrackIsSoloed(0, true);
    Create();
    view_->setProperty("showTempoScale", true);
    view_->setProperty("showTranspose", true);
    Save(QStringLiteral("mixer_overture_general_settings"));
}

}  // namespace
