// The score view on a real display (Xvfb in ctest) with the demo show's score: one page, then a spread
// of two zoomed in, saved in the build folder so a person can check the pages and the controls.

#include "FakeInterface.h"
#include "QmlTest.h"
#include "WindowPicture.h"

#include "score_view_controller.h"

#include <QFile>

#include <memory>

namespace {

using musical_test::FakeInterface;

class ScoreViewPicturesTest : public musical_test::QmlTest {};

TEST_F(ScoreViewPicturesTest, DemoScoreSingleAndTwoUp)
{
    QFile archive(QStringLiteral(BRIX_DEMO_SHOW_DIR "/score.tar"));
    ASSERT_TRUE(archive.open(QIODevice::ReadOnly));
    auto engine = std::make_shared<::testing::NiceMock<FakeInterface>>();
    engine->SetScoreTar(archive.readAll().toStdString());

    std::unique_ptr<QObject> window =
        CreateFromQml("import QtQuick\nimport QtQuick.Window\n"
                      "import \"qrc:/qt/qml/com/fernwhistlestudios/musical_ui/qml\"\n"
                      "Window { visible: true; width: 1100; height: 760; color: \"#191919\"\n"
                      "  property alias scoreControl: score\n"
                      "  ScoreView { id: score; anchors.fill: parent } }\n");
    ASSERT_NE(window, nullptr);
    QObject* view = window->property("scoreControl").value<QObject*>();
    brix::qt::ScoreViewController controller(engine, view, Engine());
    controller.LoadScore();
    ASSERT_EQ(controller.GetImageList().size(), 11);

    const QString folder = QStringLiteral(PICTURES_DIR);
    QObject* left = FindByName(view, QStringLiteral("leftPage"));
    QObject* right = FindByName(view, QStringLiteral("rightPage"));
    ASSERT_TRUE(musical_test::WaitFor([&] { return left->property("shown").toBool(); }));
    musical_test::SaveWindowPicture(window.get(), folder, QStringLiteral("score_single_page"));

    view->setProperty("twoUpMode", true);
    controller.SetCurrentPage(3);
    FindByName(view, QStringLiteral("zoomSlider"))->setProperty("value", 1.4);
    ASSERT_TRUE(musical_test::WaitFor([&] {
        return left->property("shown").toBool() && right->property("shown").toBool();
    }));
    musical_test::SaveWindowPicture(window.get(), folder, QStringLiteral("score_two_up_zoomed"));
}

}  // namespace
