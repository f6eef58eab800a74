#include "FakeInterface.h"
#include "QmlTest.h"
#include "ScoreArchive.h"

#include "score_view_controller.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QMetaObject>
#include <QSignalSpy>
#include <QStringList>
#include <QVariant>

#include <algorithm>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace {

using brix::qt::ScorePageNumber;
using brix::qt::ScoreViewController;
using musical_test::FakeInterface;
using musical_test::MakePngPage;
using musical_test::MakeScoreArchive;
using ::testing::InSequence;
using ::testing::NiceMock;
using ::testing::Return;
using ::testing::StrictMock;
using ::testing::Throw;

const QString kPrefix = QStringLiteral("data:image/png;base64,");

QString DataUrl(const QByteArray& png)
{
    return kPrefix + QString::fromLatin1(png.toBase64());
}

// Four distinct pages.
const std::vector<QByteArray>& Pages()
{
    static const std::vector<QByteArray> pages{MakePngPage(Qt::white), MakePngPage(Qt::yellow),
                                               MakePngPage(Qt::cyan), MakePngPage(Qt::magenta)};
    return pages;
}

QStringList PageUrls(std::initializer_list<int> indexes)
{
    QStringList urls;
    for (int index : indexes)
        urls << DataUrl(Pages().at(static_cast<size_t>(index)));
    return urls;
}

std::string FourPageArchive(bool gzip = false)
{
    return MakeScoreArchive({{"1.png", Pages()[0]}, {"2.png", Pages()[1]}, {"3.png", Pages()[2]}, {"4.png", Pages()[3]}},
                            gzip);
}

TEST(ScorePageNumber, ReadsTheDigitsJustBeforeTheExtension)
{
    const std::pair<const char*, int> cases[] = {
        {"1.png", 1},   {"10.png", 10},    {"score/page12.png", 12}, {"page-03.png", 3},
        {"12a.png", 0}, {"cover.png", 0},  {"v2/cover.png", 0},      {"1.2.png", 2},
        {"png", 0},     {"007.jpeg", 7},
    };
    for (const auto& [name, number] : cases)
        EXPECT_EQ(ScorePageNumber(QString::fromLatin1(name)), number) << name;
}

class ScoreViewTest : public musical_test::QmlTest {
protected:
    void SetUp() override
    {
        QmlTest::SetUp();
        view_ = CreateFromQml("import QtQuick\nimport \"qrc:/qt/qml/com/fernwhistlestudios/musical_ui/qml\"\n"
                              "ScoreView { width: 800; height: 600 }\n");
        ASSERT_NE(view_, nullptr);
    }

    void TearDown() override
    {
        controller_.reset();
        view_.reset();
        QmlTest::TearDown();
    }

    template <class FakeEngine = NiceMock<FakeInterface>>
    std::shared_ptr<FakeEngine> CreateController(const std::string& archive)
    {
        auto engine = std::make_shared<FakeEngine>();
        engine->SetScoreTar(archive);
        controller_ = std::make_unique<ScoreViewController>(engine, view_.get(), Engine());
        return engine;
    }

    QStringList ViewList() const { return view_->property("imageListModel").toStringList(); }
    QString Label() const { return FindByName(view_.get(), "pageLabel")->property("text").toString(); }
    QObject* Named(const char* name) const { return FindByName(view_.get(), QString::fromLatin1(name)); }

    // The image the page shows now, "" when it shows none.
    QString ShownSource(const char* pageName) const
    {
        QObject* page = Named(pageName);
        if (!page->property("shown").toBool())
            return {};
        for (const char* imageName : {"pageImageA", "pageImageB"}) {
            QObject* image = FindByName(page, QString::fromLatin1(imageName));
            if (image->property("visible").toBool())
                return image->property("source").toUrl().toString();
        }
        return {};
    }

    std::unique_ptr<QObject> view_;
    std::unique_ptr<ScoreViewController> controller_;
};

TEST_F(ScoreViewTest, PngPagesInNumberOrderFromPlainAndCompressedArchives)
{
    const QByteArray hidden = MakePngPage(Qt::red);
    const QByteArray cover = MakePngPage(Qt::gray);
    for (bool gzip : {false, true}) {
        SCOPED_TRACE(gzip ? "tar.gz" : "tar");
        CreateController(MakeScoreArchive({{"10.png", Pages()[2]},
                                           {"._3.png", hidden},
                                           {"2.png", Pages()[1]},
                                           {"cover.jpg", cover},
                                           {"1.png", Pages()[0]},
                                           {"cover.png", cover},
                                           {"notes/4.PNG", hidden}},
                                          gzip));
        controller_->LoadScore();
        const QStringList expected = QStringList{DataUrl(cover)} + PageUrls({0, 1, 2});
        EXPECT_EQ(controller_->GetImageList(), expected);
        EXPECT_EQ(ViewList(), expected);
        EXPECT_TRUE(musical_test::WaitFor([&] { return view_->property("currentImage1").toString() == expected[0]; }));
        EXPECT_EQ(Label(), "Page 1 of 4");
    }
}

TEST_F(ScoreViewTest, DamagedArchivesGiveAWarningOrThePagesBeforeTheDamage)
{
    const std::string whole = MakeScoreArchive({{"1.png", Pages()[0]}, {"2.png", Pages()[1]}}, false);
    // Each entry is a 512-byte header and its data padded to 512 bytes.
    const size_t secondData = 512 + (static_cast<size_t>(Pages()[0].size()) + 511) / 512 * 512 + 512;
    struct Case {
        const char* name;
        std::string archive;
        QStringList pages;
        const char* warning;
        const char* label;
    } const cases[] = {
        {"not an archive", std::string(2048, 'x'), {}, "Failed to open in-memory archive:", "No Score"},
        {"cut inside the second page", whole.substr(0, secondData + static_cast<size_t>(Pages()[1].size()) / 2),
         PageUrls({0}), nullptr, "Page 1 of 1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CreateController(c.archive);
        controller_->LoadScore();
        EXPECT_EQ(controller_->GetImageList(), c.pages);
        EXPECT_EQ(ViewList(), c.pages);
        const QStringList warnings = musical_test::TakeQtWarnings();
        if (c.warning == nullptr) {
            EXPECT_TRUE(warnings.isEmpty()) << warnings.join('\n').toStdString();
        } else {
            ASSERT_EQ(warnings.size(), 1) << warnings.join('\n').toStdString();
            EXPECT_TRUE(warnings[0].startsWith(QLatin1String(c.warning))) << warnings[0].toStdString();
        }
        EXPECT_TRUE(musical_test::WaitFor([&] { return Label() == QLatin1String(c.label); })) << Label().toStdString();
    }
}

TEST_F(ScoreViewTest, ASecondLoadReplacesThePagesAnEmptyStreamKeepsThem)
{
    auto engine = CreateController(FourPageArchive());
    controller_->LoadScore();
    ASSERT_EQ(controller_->GetImageList().size(), 4);

    engine->SetScoreTar(MakeScoreArchive({{"1.png", Pages()[3]}, {"2.png", Pages()[2]}}, true));
    controller_->LoadScore();
    EXPECT_EQ(controller_->GetImageList(), PageUrls({3, 2}));
    EXPECT_EQ(ViewList(), PageUrls({3, 2}));

    // The engine's stream, read to its end, gives nothing more: the pages stay.
    controller_->LoadScore();
    EXPECT_EQ(ViewList(), PageUrls({3, 2}));
    EXPECT_TRUE(musical_test::WaitFor([&] { return Label() == "Page 1 of 2"; }));
}

TEST_F(ScoreViewTest, PageButtonsAskForTheNeighbouringPageWithinTheScore)
{
    CreateController(FourPageArchive());
    controller_->LoadScore();
    struct Case {
        bool twoUp;
        int currentIndex;
        const char* button;
        int page;
    } const cases[] = {
        {false, 0, "previousButton", 1}, {false, 0, "nextButton", 2}, {false, 3, "nextButton", 4},
        {false, 2, "previousButton", 2}, {true, 2, "previousButton", 1}, {true, 1, "nextButton", 4},
        {true, 3, "nextButton", 4},      {true, 0, "nextButton", 3},
    };
    QSignalSpy asked(view_.get(), SIGNAL(pageChanged(int)));
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.button) + (c.twoUp ? " two-up" : " single") + " from " + std::to_string(c.currentIndex));
        view_->setProperty("twoUpMode", c.twoUp);
        view_->setProperty("currentIndex", c.currentIndex);
        asked.clear();
        QMetaObject::invokeMethod(Named(c.button), "clicked");
        ASSERT_EQ(asked.size(), 1);
        EXPECT_EQ(asked[0][0].toInt(), c.page);
        // The view turns only when the engine reports the page.
        EXPECT_EQ(view_->property("currentIndex").toInt(), c.currentIndex);
    }
}

TEST_F(ScoreViewTest, APageJumpLoadsTheSongOrSeeksAndResumesOnlyWhatPlayed)
{
    struct Case {
        const char* name;
        bool playing;
        const char* pageSong;
        bool lookupFails;
    } const cases[] = {
        {"playing, page in another song", true, "2", false},
        {"stopped, page in another song", false, "2", false},
        {"playing, page in the current song", true, "1", false},
        {"stopped, page in the current song", false, "1", false},
        {"playing, page unknown", true, "1", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto engine = CreateController<StrictMock<FakeInterface>>(FourPageArchive());
        {
            InSequence order;
            EXPECT_CALL(*engine, GetIsPlaying()).WillOnce(Return(c.playing));
            if (c.playing)
                EXPECT_CALL(*engine, Pause(false));
            if (c.lookupFails) {
                EXPECT_CALL(*engine, LookupPage(7)).WillOnce(Throw(std::out_of_range("no page 7")));
            } else {
                EXPECT_CALL(*engine, LookupPage(7)).WillOnce(Return(std::make_pair(std::string(c.pageSong), 1920u)));
                EXPECT_CALL(*engine, GetCurrentSongNumber()).WillOnce(Return("1"));
                if (std::string(c.pageSong) == "1")
                    EXPECT_CALL(*engine, Seek(1920u));
                else
                    EXPECT_CALL(*engine, LoadSongAtTime("2", 1920u));
                if (c.playing)
                    EXPECT_CALL(*engine, Play());
            }
        }
        QMetaObject::invokeMethod(view_.get(), "pageChanged", Q_ARG(int, 7));
        ::testing::Mock::VerifyAndClearExpectations(engine.get());
    }
}

TEST_F(ScoreViewTest, TheEnginesPageTurnsTheViewToItsPageOrSpread)
{
    CreateController(FourPageArchive());
    controller_->LoadScore();
    const QStringList urls = PageUrls({0, 1, 2, 3});
    struct Case {
        bool twoUp;
        unsigned int page;
        int left;   // index into the pages, -1 for none
        int right;  // two-up only
    } const cases[] = {
        {false, 1, 0, -1}, {false, 4, 3, -1}, {true, 1, -1, 0}, {true, 2, 1, 2}, {true, 3, 1, 2}, {true, 4, 3, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE((c.twoUp ? "two-up page " : "single page ") + std::to_string(c.page));
        view_->setProperty("twoUpMode", c.twoUp);
        controller_->SetCurrentPage(c.page);
        EXPECT_EQ(view_->property("currentIndex").toInt(), static_cast<int>(c.page) - 1);
        EXPECT_EQ(view_->property("currentImage1").toString(), c.left < 0 ? QString() : urls[c.left]);
        EXPECT_EQ(view_->property("currentImage2").toString(), c.right < 0 ? QString() : urls[c.right]);
        EXPECT_EQ(Label(), QStringLiteral("Page %1 of 4").arg(c.page));
    }
}

TEST_F(ScoreViewTest, GoToPageShowsThePageOrItsSpreadWithinTheScore)
{
    CreateController(FourPageArchive());
    controller_->LoadScore();
    struct Case {
        bool twoUp;
        const char* typed;
        int index;
    } const cases[] = {
        {false, "3", 2}, {false, "99", 3}, {false, "0", 0}, {true, "3", 1}, {true, "4", 3}, {true, "1", 0},
    };
    QObject* jump = Named("pageJump");
    for (const Case& c : cases) {
        SCOPED_TRACE((c.twoUp ? "two-up, page " : "single, page ") + std::string(c.typed));
        view_->setProperty("currentIndex", 1);
        view_->setProperty("twoUpMode", c.twoUp);
        jump->setProperty("barNum", QString::fromLatin1(c.typed));
        QMetaObject::invokeMethod(jump, "ok");
        EXPECT_EQ(view_->property("currentIndex").toInt(), c.index);
    }
}

TEST_F(ScoreViewTest, TurningAPageKeepsTheOldImageUntilTheNewOneIsReady)
{
    CreateController(FourPageArchive());
    controller_->LoadScore();
    const QStringList urls = PageUrls({0, 1});
    ASSERT_TRUE(musical_test::WaitFor([&] { return ShownSource("leftPage") == urls[0]; }));

    controller_->SetCurrentPage(2);
    // The new image loads in the background: the old one stays until it is ready.
    EXPECT_EQ(ShownSource("leftPage"), urls[0]);
    EXPECT_TRUE(musical_test::WaitFor([&] { return ShownSource("leftPage") == urls[1]; }));
}

TEST_F(ScoreViewTest, ZoomKeepsTheHorizontalCentreAndPagesWithoutBlankSides)
{
    CreateController(FourPageArchive());
    controller_->LoadScore();
    view_->setProperty("twoUpMode", true);
    controller_->SetCurrentPage(2);
    QObject* area = Named("pageArea");
    QObject* left = Named("leftPage");
    QObject* right = Named("rightPage");
    ASSERT_TRUE(musical_test::WaitFor(
        [&] { return left->property("shown").toBool() && right->property("shown").toBool(); }));

    const auto number = [](QObject* object, const char* name) { return object->property(name).toDouble(); };
    const double viewWidth = number(area, "width");
    struct Step {
        double contentX;  // before zooming; negative keeps it
        double zoom;
    } const steps[] = {{-1, 2.0}, {0, 3.0}, {-2, 1.5}, {-1, 1.0}};
    for (const Step& step : steps) {
        SCOPED_TRACE("zoom " + std::to_string(step.zoom));
        if (step.contentX >= 0)
            area->setProperty("contentX", step.contentX);
        else if (step.contentX < -1.5)
            area->setProperty("contentX", number(area, "contentWidth") - viewWidth);
        const double oldWidth = number(area, "contentWidth");
        const double ratio = oldWidth > viewWidth ? (number(area, "contentX") + viewWidth / 2) / oldWidth : 0.5;

        Named("zoomSlider")->setProperty("value", step.zoom);

        const double newWidth = number(area, "contentWidth");
        // Two pages as wide as they draw, and the gap between them.
        EXPECT_DOUBLE_EQ(newWidth, number(left, "drawnWidth") + 5 + number(right, "drawnWidth"));
        EXPECT_LT(newWidth, 2 * number(view_.get(), "baseWidth") * step.zoom);
        const double expected =
            newWidth <= viewWidth ? 0 : std::clamp(ratio * newWidth - viewWidth / 2, 0.0, newWidth - viewWidth);
        EXPECT_NEAR(number(area, "contentX"), expected, 0.5);
    }
}

}  // namespace
