// The value texts of the event list, the OSC display text and the playlist's attacca cycle.
#include "FakeInterface.h"
#include "QmlTest.h"
#include "edit_lists.h"
#include "edit_value_text.h"

#include <brix_core/BrixEvent.h>

#include <QQuickItem>
#include <QSignalSpy>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace musical_test {
namespace {

using ::testing::_;
using ::testing::Return;

cmn::BrixEvent WithTarget(cmn::BrixEvent event, int target)
{
    event.SetVersionTarget(target);
    return event;
}

cmn::BrixEvent OscCue(const std::string& message)
{
    return CL::Osc(0, "S1", CL::OscProperties(message, "net"));
}

TEST(EventValueText, ShowsEachKindsValue)
{
    struct Case {
        const char* what;
        cmn::BrixEvent event;
        QString text;
    };
    const std::vector<Case> cases = {
        {"endless vamp", CL::Vamp(0, 10, "@1", 0), QString(QChar(0x221E))},
        {"vamp of three", CL::Vamp(0, 10, "@1", 3), "3x"},
        {"repeat of two", CL::Repeat(0, 10, "A1", 2), "2x"},
        {"transposition up", CL::Transpose(0, 10, "C1", 2), "+2"},
        {"transposition of none", CL::Transpose(0, 10, "C1", 0), "+0"},
        {"transposition down", CL::Transpose(0, 10, "C1", -3), "-3"},
        {"tempo scale", CL::TempoScale(0, 10, "F1", 0.9), "90%"},
        {"tempo scale rounding up to 100", CL::TempoScale(0, 10, "F1", 0.995), "100%"},
        {"negative tempo scale rounds away from zero", CL::TempoScale(0, 10, "F1", -0.005), "-1%"},
        {"caesura for one product", WithTarget(CL::Caesura(0, "N1", 0), 1), "T|W Only"},
        {"caesura for the other", WithTarget(CL::Caesura(0, "N1", 0), 2), "V|S Only"},
        {"caesura for both", CL::Caesura(0, "N1", 0), ""},
        {"cut", CL::Cut(0, 10, "B1", 0), ""},
        {"click", CL::Click(0, 10, "L1", 8), ""},
        {"OSC cue", OscCue("/brix/volume -6"), "Volume Change"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(brix::qt::EventValueText(c.event), c.text) << c.what;
}

TEST(EventValueText, EveryWholePercentOfATempoScaleShowsAsEntered)
{
    for (int percent = 50; percent <= 200; ++percent) {
        EXPECT_EQ(brix::qt::EventValueText(CL::TempoScale(0, 10, "F1", percent / 100.0)),
                  QString::number(percent) + "%");
    }
}

TEST(OscDisplayText, ShortensTheProgramsOwnMessages)
{
    struct Case {
        std::string message;
        QString text;
        std::string error;
    };
    const std::vector<Case> cases = {
        {"/brix/sfx/Thunder/play", QString(QChar(0x25B6)) + " Thunder", ""},
        {"/brix/sfx/Rain/STOP", QString(QChar(0x23F9)) + " Rain", ""},
        {"/brix/sfx/Wind/fadeTo 0.5 2", "Fade Wind", ""},
        {"/brix/sfx/Rain/loop 3", "Loop Rain", ""},
        {"/brix/sfx/Rain", "/brix/sfx/Rain", "Invalid format: Unable to find the ending '/'\n"},
        {"/brix/volume -6", "Volume Change", ""},
        {"/brix/fadeto 0.5", "Fade To...", ""},
        {"  /lights/cue 5  ", "/lights/cue 5", ""},
        {"/Brix/sfx/Thunder/play", "/Brix/sfx/Thunder/play", ""},
    };
    for (const Case& c : cases) {
        ::testing::internal::CaptureStderr();
        const QString text = brix::qt::OscDisplayText(c.message);
        EXPECT_EQ(::testing::internal::GetCapturedStderr(), c.error) << c.message;
        EXPECT_EQ(text, c.text) << c.message;
    }
}

class SongListTest : public QmlTest {
protected:
    void SetUp() override
    {
        QmlTest::SetUp();
        engine_ = std::make_shared<::testing::NiceMock<FakeInterface>>();
        ON_CALL(*engine_, GetSongNamesBySongNumber()).WillByDefault([] {
            return Interface::SongNames{{"10", "Last Light"}, {"2", "Low Tide"}, {"1", "Harbour Lights"}};
        });
        ON_CALL(*engine_, GetAttacca(_)).WillByDefault([this](const std::string& number) { return attacca_[number]; });
        ON_CALL(*engine_, GetCurrentSongNumber()).WillByDefault(Return(std::string("1")));
        list_ = CreateFromQml("import QtQuick\nimport \"qrc:/qt/qml/com/fernwhistlestudios/musical_ui/qml\"\n"
                              "SongListView { width: 300; height: 200 }\n");
        ASSERT_NE(list_, nullptr);
        controller_ = std::make_unique<brix::qt::SongListController>(qobject_cast<QQuickItem*>(list_.get()), engine_,
                                                                     Engine());
    }
    void TearDown() override
    {
        controller_.reset();
        list_.reset();
        QmlTest::TearDown();
    }

    QString Status(int row) const
    {
        const auto& model = controller_->GetModel();
        return model.data(model.index(row), brix::qt::SongListModel::StatusRole).toString();
    }

    std::map<std::string, std::uint8_t> attacca_{{"1", 0}, {"2", 1}, {"10", 2}};
    std::shared_ptr<::testing::NiceMock<FakeInterface>> engine_;
    std::unique_ptr<QObject> list_;
    std::unique_ptr<brix::qt::SongListController> controller_;
};

TEST_F(SongListTest, ListsTheSongsInNumberOrderWithTheirStates)
{
    const auto& rows = controller_->GetModel().Rows();
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].number, "1");
    EXPECT_EQ(rows[1].number, "2");
    EXPECT_EQ(rows[2].name, "Last Light");
    EXPECT_EQ(Status(0), "plays");
    EXPECT_EQ(Status(1), "continue");
    EXPECT_EQ(Status(2), "x");
}

TEST_F(SongListTest, EachClickOnTheStateIconMovesTheStateOnAndThreeComeBack)
{
    QSignalSpy changed(controller_.get(), &brix::qt::SongListController::AttaccaStateChanged);
    const std::vector<std::pair<QString, std::uint8_t>> expected = {{"continue", 1}, {"x", 2}, {"plays", 0}};
    for (const auto& [status, state] : expected) {
        QMetaObject::invokeMethod(list_.get(), "attaccaStateChanged", Q_ARG(QString, "1"));
        EXPECT_EQ(Status(0), status);
        ASSERT_FALSE(changed.isEmpty());
        const QList<QVariant> arguments = changed.takeFirst();
        EXPECT_EQ(arguments.at(0).value<std::string>(), "1");
        EXPECT_EQ(arguments.at(1).value<std::uint8_t>(), state);
    }
    EXPECT_EQ(Status(1), "continue") << "another song's state changed";
}

TEST_F(SongListTest, AnUnknownSongChangesNothing)
{
    QSignalSpy changed(controller_.get(), &brix::qt::SongListController::AttaccaStateChanged);
    ::testing::internal::CaptureStderr();
    controller_->AttaccaStateChanged_("7");
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "Invalid index for attacca state change.\n");
    EXPECT_TRUE(changed.isEmpty());
    EXPECT_EQ(Status(0), "plays");
}

TEST_F(SongListTest, RefreshRereadsTheEnginesStates)
{
    attacca_["1"] = 2;
    controller_->RefreshAttacca();
    EXPECT_EQ(Status(0), "x");
}

TEST_F(SongListTest, AClickLoadsAnotherSongButNotTheCurrentOne)
{
    EXPECT_CALL(*engine_, LoadSong("2")).Times(1);
    EXPECT_CALL(*engine_, LoadSong("1")).Times(0);
    QMetaObject::invokeMethod(list_.get(), "itemClicked", Q_ARG(int, 0));
    QMetaObject::invokeMethod(list_.get(), "itemClicked", Q_ARG(int, 1));
}

TEST_F(SongListTest, SelectingASongMovesTheCurrentRowOnce)
{
    ::testing::internal::CaptureStdout();
    controller_->SelectSong("2");
    controller_->SelectSong("2");
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "Setting to New Index!\nAlready at loaded song index\n");
    EXPECT_EQ(controller_->GetCurrentRow(), 1);
}

}  // namespace
}  // namespace musical_test
