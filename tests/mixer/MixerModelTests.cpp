// The mixer's list models on their own: roles, what a write stores and which request it sends, and the
// instrument names of a row. QAbstractItemModelTester watches every model (a broken contract is a Qt
// warning, which fails the test).

#include "QmlTest.h"

#include <GeneralMidiNames.h>
#include <MixerModel.h>
#include <MixerTracksModel.h>
#include <StringValueListModel.h>

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QVariant>

#include <cmath>
#include <limits>
#include <memory>

namespace {

using brix::qt::MixerModel;
using brix::qt::MixerSectionItem;
using brix::qt::MixerTrackItem;
using brix::qt::MixerTracksModel;
using musical_test::QmlTest;

std::unique_ptr<MixerTrackItem> Track(int id, const char* name, int instrument, StringValueListModel* list)
{
    auto track = std::make_unique<MixerTrackItem>();
    track->trackId = id;
    track->name = QString::fromLatin1(name);
    track->instrument = instrument;
    track->instrumentModel = list;
    return track;
}

class MixerTracksModelTest : public QmlTest {
protected:
    void SetUp() override
    {
        QmlTest::SetUp();
        brix::gm::AddEntries(programs_, brix::gm::BuildProgramList());
        brix::gm::AddEntries(drumSets_, brix::gm::BuildDrumSetList());
        model_.AddTrack(Track(0, "Piano", 0, &programs_));
        model_.AddTrack(Track(9, "Drums", 25, &drumSets_));
        model_.AddTrack(Track(16, "Vocal Lead", 127, &programs_));
    }

    StringValueListModel programs_;
    StringValueListModel drumSets_;
    MixerTracksModel model_;
    QAbstractItemModelTester tester_{&model_, QAbstractItemModelTester::FailureReportingMode::Warning};
};

TEST_F(MixerTracksModelTest, RolesAreNumberedInTheirOrderFromUserRolePlusOne)
{
    const QHash<int, QByteArray> roles = model_.roleNames();
    const char* const names[] = {"isMuted", "isSolo", "volumeScaledDb", "pan", "enableMute",
                                 "enableSolo", "instrument", "name", "allowInstrumentChanges", "instrumentModel"};
    ASSERT_EQ(roles.size(), 10);
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(roles.value(Qt::UserRole + 1 + i), names[i]) << i;
    }
}

TEST_F(MixerTracksModelTest, AWriteStoresTheValueAndRequestsItsEffectForTheTrack)
{
    struct Request {
        const char* what;
        int role;
        QVariant value;
        // The request signal it must send (null: none), and the arguments it must carry.
        const char* signal;
        QVariant expectedArgument;
    };
    const Request cases[] = {
        {"mute", MixerTracksModel::IsMutedRole, true, SIGNAL(muteTrackRequested(int, bool)), true},
        {"solo", MixerTracksModel::IsSoloRole, true, SIGNAL(soloTrackRequested(int, bool)), true},
        {"pan", MixerTracksModel::PanRole, -0.25, SIGNAL(panTrackRequested(int, double)), -0.25},
        {"instrument", MixerTracksModel::InstrumentRole, 42, SIGNAL(instrumentTrackRequested(int, int)), 42},
        // The fader at 0 dB is a gain of 1; at -6 fader dB (s = e^(-6/25)) a gain of 10^(-6/20).
        {"volume 0 dB", MixerTracksModel::VolumeScaledDbRole, 1.0, SIGNAL(volumeTrackRequested(int, double)), 1.0},
        {"volume -6 dB", MixerTracksModel::VolumeScaledDbRole, std::exp(-6.0 / 25.0),
         SIGNAL(volumeTrackRequested(int, double)), std::pow(10.0, -6.0 / 20.0)},
        {"volume at the bottom", MixerTracksModel::VolumeScaledDbRole, 0.0, SIGNAL(volumeTrackRequested(int, double)),
         0.0},
        {"mute enabled", MixerTracksModel::EnableMuteRole, false, nullptr, {}},
        {"solo enabled", MixerTracksModel::EnableSoloRole, false, nullptr, {}},
        {"name", MixerTracksModel::NameRole, QStringLiteral("Keys"), nullptr, {}},
    };
    const char* const allRequests[] = {SIGNAL(muteTrackRequested(int, bool)), SIGNAL(soloTrackRequested(int, bool)),
                                       SIGNAL(panTrackRequested(int, double)),
                                       SIGNAL(instrumentTrackRequested(int, int)),
                                       SIGNAL(volumeTrackRequested(int, double))};
    for (const Request& c : cases) {
        std::vector<std::unique_ptr<QSignalSpy>> spies;
        for (const char* signal : allRequests)
            spies.push_back(std::make_unique<QSignalSpy>(&model_, signal));
        QSignalSpy changed(&model_, &QAbstractItemModel::dataChanged);
        const QModelIndex row = model_.index(1, 0);

        ASSERT_TRUE(model_.setData(row, c.value, c.role)) << c.what;
        EXPECT_NEAR(model_.data(row, c.role).toDouble(), c.value.toDouble(), 1e-6) << c.what;
        if (c.role == MixerTracksModel::NameRole) {
            EXPECT_EQ(model_.data(row, c.role), c.value) << c.what;
        }
        EXPECT_FALSE(changed.isEmpty()) << c.what;
        for (std::size_t i = 0; i < spies.size(); ++i) {
            const bool expected = c.signal != nullptr && QByteArray(c.signal) == allRequests[i];
            ASSERT_EQ(spies[i]->size(), expected ? 1 : 0) << c.what << " " << allRequests[i];
            if (expected) {
                EXPECT_EQ(spies[i]->at(0).at(0).toInt(), 9) << c.what;
                EXPECT_NEAR(spies[i]->at(0).at(1).toDouble(), c.expectedArgument.toDouble(), 1e-6) << c.what;
            }
        }
    }
}

TEST_F(MixerTracksModelTest, ListsAndInvalidRowsCannotBeWrittenAndReadEmpty)
{
    EXPECT_FALSE(model_.setData(model_.index(0, 0), false, MixerTracksModel::AllowInstrumentChangesRole));
    EXPECT_FALSE(model_.setData(model_.index(0, 0), QVariant(), MixerTracksModel::InstrumentModelRole));
    EXPECT_FALSE(model_.setData(model_.index(0, 0), 1, Qt::UserRole + 99));
    EXPECT_FALSE(model_.setData(QModelIndex(), true, MixerTracksModel::IsMutedRole));
    EXPECT_TRUE(model_.data(model_.index(0, 0), MixerTracksModel::AllowInstrumentChangesRole).toBool());
    EXPECT_FALSE(model_.data(QModelIndex(), MixerTracksModel::NameRole).isValid());
    EXPECT_FALSE(model_.data(model_.index(0, 0), Qt::UserRole + 99).isValid());
    EXPECT_EQ(model_.data(model_.index(1, 0), MixerTracksModel::InstrumentModelRole).value<QObject*>(), &drumSets_);

    // The invokable setters of an absent row do nothing.
    QSignalSpy mute(&model_, &MixerTracksModel::muteTrackRequested);
    model_.setMute(3, true);
    model_.setMute(-1, true);
    EXPECT_TRUE(mute.isEmpty());
    model_.setMute(2, true);
    ASSERT_EQ(mute.size(), 1);
    EXPECT_EQ(mute.at(0).at(0).toInt(), 16);
}

TEST_F(MixerTracksModelTest, TheInstrumentNameIsThatOfTheRowsProgramInItsOwnList)
{
    auto noList = Track(30, "Pad", 5, nullptr);
    model_.AddTrack(std::move(noList));
    const struct {
        int row;
        int program;  // -1: as added
        const char* name;
    } cases[] = {
        {0, -1, "Acoustic Grand Piano"},  // program 0
        {2, -1, "Gunshot"},               // program 127
        {1, -1, "808/909 Drums"},         // the drum-set list
        {1, 3, ""},                       // not a drum set
        {3, -1, ""},                      // no list
        {4, -1, ""},                      // no row
        {-1, -1, ""},
    };
    for (const auto& c : cases) {
        if (c.program >= 0)
            model_.setInstrument(c.row, c.program);
        EXPECT_EQ(model_.instrumentDisplayName(c.row), QString::fromLatin1(c.name)) << c.row << " " << c.program;
    }
}

class MixerModelTest : public QmlTest {
protected:
    void SetUp() override
    {
        QmlTest::SetUp();
        instruments_ = new MixerSectionItem(QStringLiteral("Instruments"), QString());
        vocals_ = new MixerSectionItem(QStringLiteral("Vocal Parts"), QStringLiteral("Voices"));
        model_.AddSection(instruments_);
        model_.AddSection(vocals_);
    }

    MixerModel model_;
    QAbstractItemModelTester tester_{&model_, QAbstractItemModelTester::FailureReportingMode::Warning};
    MixerSectionItem* instruments_ = nullptr;
    MixerSectionItem* vocals_ = nullptr;
};

TEST_F(MixerModelTest, SectionsShowTheirRolesAndBelongToTheModel)
{
    const QHash<int, QByteArray> roles = model_.roleNames();
    const char* const names[] = {"name", "isMuted", "isSolo", "tracksModel", "tooltip"};
    ASSERT_EQ(roles.size(), 5);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(roles.value(Qt::UserRole + 1 + i), names[i]) << i;
    }

    const QModelIndex second = model_.index(1, 0);
    EXPECT_EQ(model_.data(second, MixerModel::NameRole).toString(), "Vocal Parts");
    EXPECT_EQ(model_.data(second, MixerModel::TooltipRole).toString(), "Voices");
    EXPECT_EQ(model_.data(second, MixerModel::TracksModelRole).value<QObject*>(), vocals_->tracksModel);
    EXPECT_EQ(vocals_->parent(), &model_);
    EXPECT_EQ(vocals_->tracksModel->parent(), vocals_);
}

TEST_F(MixerModelTest, WritingAGroupStateRequestsItAndOtherRolesAreNotWritten)
{
    QSignalSpy mute(&model_, &MixerModel::muteSectionRequested);
    QSignalSpy solo(&model_, &MixerModel::soloSectionRequested);

    ASSERT_TRUE(model_.setData(model_.index(1, 0), true, MixerModel::IsMutedRole));
    ASSERT_TRUE(model_.setData(model_.index(0, 0), true, MixerModel::IsSoloRole));
    ASSERT_TRUE(model_.setData(model_.index(0, 0), QStringLiteral("Band"), MixerModel::NameRole));
    EXPECT_FALSE(model_.setData(model_.index(0, 0), QStringLiteral("x"), MixerModel::TooltipRole));
    EXPECT_FALSE(model_.setData(model_.index(0, 0), QVariant(), MixerModel::TracksModelRole));
    EXPECT_FALSE(model_.setData(model_.index(2, 0), true, MixerModel::IsMutedRole));

    ASSERT_EQ(mute.size(), 1);
    EXPECT_EQ(mute.at(0), (QVariantList{1, true}));
    ASSERT_EQ(solo.size(), 1);
    EXPECT_EQ(solo.at(0), (QVariantList{0, true}));
    EXPECT_TRUE(vocals_->isMuted);
    EXPECT_TRUE(instruments_->isSolo);
    EXPECT_EQ(instruments_->name, "Band");
    EXPECT_TRUE(instruments_->tooltip.isEmpty());
}

}  // namespace
