#include "AppSettings.h"
#include "QmlTest.h"
#include "dialog_controller.h"
#include "notice_dialogs.h"

#include <QMetaObject>
#include <QTemporaryDir>

#include <memory>
#include <string>

namespace {

using brix::AppSettings;
using brix::qt::DialogController;
using musical_test::QmlTest;

class DialogControllerTest : public QmlTest {
protected:
    std::shared_ptr<AppSettings> Settings()
    {
        auto settings = std::make_shared<AppSettings>(brix::OpenGeneralSettings(folder_.path()));
        settings->Load();
        return settings;
    }

    // A dialog with a "Do not show again" box under that key.
    std::unique_ptr<DialogController> Silenceable(std::shared_ptr<AppSettings> settings, const std::string& key)
    {
        return std::make_unique<DialogController>("Edits carry over.", "Welcome", 2, nullptr, Engine(),
                                                  std::move(settings), true, key, false, false, false,
                                                  "Acknowledge");
    }

    static bool Visible(const DialogController& dialog)
    {
        return dialog.GetQmlObject()->property("visible").toBool();
    }

    // The user ticks "Do not show again" and presses OK.
    static void SilenceByUser(const DialogController& dialog)
    {
        QObject* window = dialog.GetQmlObject();
        QObject* box = FindByName(window, QStringLiteral("neverShowBox"));
        ASSERT_NE(box, nullptr);
        box->setProperty("checked", true);
        QMetaObject::invokeMethod(window, "accept");
    }

private:
    QTemporaryDir folder_;
};

TEST_F(DialogControllerTest, EachKindShowsItsTypeWithTitleAndText)
{
    struct Case {
        unsigned int kind;
        const char* type;
    };
    for (const Case& c : {Case{0, "error"}, Case{1, "warning"}, Case{2, "info"}, Case{3, "info"}, Case{7, "info"}}) {
        SCOPED_TRACE(c.kind);
        DialogController dialog("The file could not be read.", "Edit Failed", c.kind, nullptr, Engine(), nullptr);
        QObject* window = dialog.GetQmlObject();
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(window->property("type").toString(), c.type);
        EXPECT_EQ(window->property("title").toString(), "Edit Failed");
        EXPECT_EQ(window->property("text").toString(), "The file could not be read.");
        EXPECT_TRUE(Visible(dialog));
        EXPECT_FALSE(window->property("showCheckbox").toBool());
        EXPECT_FALSE(window->property("acknowledgeCheckbox").toBool());
        EXPECT_EQ(window->property("okCheckboxString").toString(), "Acknowledge");
    }
}

TEST_F(DialogControllerTest, TheFullFormSetsItsBoxesAndSize)
{
    DialogController dialog("Read the steps.", "Welcome", 2, nullptr, Engine(), nullptr, true, "Key", true, true,
                            true, "I have read them.");
    QObject* window = dialog.GetQmlObject();
    EXPECT_TRUE(window->property("showCheckbox").toBool());
    EXPECT_TRUE(window->property("makeNeverShowSecret").toBool());
    EXPECT_TRUE(window->property("largerWindow").toBool());
    EXPECT_TRUE(window->property("acknowledgeCheckbox").toBool());
    EXPECT_EQ(window->property("okCheckboxString").toString(), "I have read them.");
}

TEST_F(DialogControllerTest, ASilencedDialogIsCreatedButNeverShownInLaterRuns)
{
    {
        auto first = Silenceable(Settings(), "ShowWelcome");
        ASSERT_TRUE(Visible(*first));
        SilenceByUser(*first);
    }
    auto later = Silenceable(Settings(), "ShowWelcome");
    ASSERT_NE(later->GetQmlObject(), nullptr);
    EXPECT_FALSE(Visible(*later));
    auto other = Silenceable(Settings(), "ShowOther");
    EXPECT_TRUE(Visible(*other));
}

TEST_F(DialogControllerTest, OkWithoutTheBoxTickedSilencesNothing)
{
    {
        auto first = Silenceable(Settings(), "ShowWelcome");
        QMetaObject::invokeMethod(first->GetQmlObject(), "accept");
    }
    EXPECT_TRUE(Visible(*Silenceable(Settings(), "ShowWelcome")));
}

TEST_F(DialogControllerTest, WithoutSettingsOrWithoutAKeyADialogAlwaysShows)
{
    auto settings = Settings();
    auto noSettings = Silenceable(nullptr, "ShowWelcome");
    SilenceByUser(*noSettings);
    EXPECT_TRUE(Visible(*Silenceable(nullptr, "ShowWelcome")));
    auto noKey = Silenceable(settings, "");
    SilenceByUser(*noKey);
    EXPECT_TRUE(Visible(*Silenceable(settings, "")));
}

TEST_F(DialogControllerTest, SilencingTheRehearsalNoticeLeavesThePerformanceNoticeShowing)
{
    auto settings = Settings();
    {
        auto rehearsal = brix::qt::ShowRehearsalNotice(QStringLiteral("Tarn|Wick"), nullptr, Engine(), settings);
        EXPECT_EQ(rehearsal->GetQmlObject()->property("title").toString(), "Welcome to Tarn|Wick");
        ASSERT_TRUE(Visible(*rehearsal));
        SilenceByUser(*rehearsal);
    }
    EXPECT_FALSE(Visible(*brix::qt::ShowRehearsalNotice(QStringLiteral("Tarn|Wick"), nullptr, Engine(), settings)));

    auto performance = brix::qt::ShowPerformanceNotice(QStringLiteral("Tarn|Wick"), nullptr, Engine(), settings, false);
    QObject* window = performance->GetQmlObject();
    EXPECT_TRUE(Visible(*performance));
    EXPECT_EQ(window->property("title").toString(), "Welcome to Tarn|Wick");
    EXPECT_TRUE(window->property("acknowledgeCheckbox").toBool());
    EXPECT_EQ(window->property("okCheckboxString").toString(), "I have completed the performance essentials steps.");
    EXPECT_TRUE(window->property("showCheckbox").toBool());
}

TEST_F(DialogControllerTest, AForcedPerformanceNoticeShowsAfterTheUserSilencedIt)
{
    auto settings = Settings();
    {
        auto performance =
            brix::qt::ShowPerformanceNotice(QStringLiteral("Tarn|Wick"), nullptr, Engine(), settings, false);
        FindByName(performance->GetQmlObject(), QStringLiteral("acknowledgeBox"))->setProperty("checked", true);
        SilenceByUser(*performance);
    }
    EXPECT_FALSE(settings->GetShowDialog(brix::qt::kPerformanceNoticeKey));
    EXPECT_TRUE(settings->GetShowDialog(brix::qt::kRehearsalNoticeKey));
    EXPECT_FALSE(Visible(
        *brix::qt::ShowPerformanceNotice(QStringLiteral("Tarn|Wick"), nullptr, Engine(), settings, false)));

    auto forced = brix::qt::ShowPerformanceNotice(QStringLiteral("Tarn|Wick"), nullptr, Engine(), settings, true);
    EXPECT_TRUE(Visible(*forced));
    EXPECT_FALSE(forced->GetQmlObject()->property("showCheckbox").toBool());
}

}  // namespace
