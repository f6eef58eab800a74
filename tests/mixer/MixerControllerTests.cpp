// The product's mixer controller over the real engine of the demo show: what it builds from the
// engine's mixer, what the view's changes make the engine store and the MIDI device receive, and what
// "mixersettings" brings back after a restart.
//
// The demo's song "1" has Piano (0), Bass (1) and Drums (9) as instrument tracks and Strings (2) and
// Winds (3) as vocal tracks (muted at first); all on the first port, so track id = channel.

#include "MixerFixture.h"

#include "FakeInterface.h"

#include <AppSettings.h>
#include <MixerControllerTW.h>
#include <TarnwickPlayerFactory.h>

#include <QPointer>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <cmath>
#include <filesystem>
#include <functional>
#include <limits>

namespace {

using brix::qt::MixerControllerTW;
using brix::qt::MixerModel;
using brix::qt::MixerTracksModel;
using mixer_test::Message;
using mixer_test::MixerFixture;
using mixer_test::RecordingEngine;

const QString kInstruments = QStringLiteral("Instruments");
const QString kVocals = QStringLiteral("Vocal Parts");

class MixerController : public MixerFixture {};

TEST_F(MixerController, BuildsTheSongsTracksInTwoSectionsFromTheEngine)
{
    // Values at the player and what the view must show of them.
    engine_->SetTrackVolume(0, 0);
    engine_->SetTrackVolume(1, 127);
    engine_->SetTrackPan(0, 64);
    engine_->SetTrackPan(1, 0);
    engine_->SetTrackPan(9, 127);
    engine_->SetTrackProgramId(9, 25);
    Create();

    const MixerModel* model = ViewModel();
    ASSERT_NE(model, nullptr);
    ASSERT_EQ(model->rowCount(), 2);
    EXPECT_EQ(model->data(model->index(0, 0), MixerModel::NameRole).toString(), kInstruments);
    EXPECT_EQ(model->data(model->index(0, 0), MixerModel::TooltipRole).toString(), "");
    EXPECT_EQ(model->data(model->index(1, 0), MixerModel::NameRole).toString(), kVocals);
    EXPECT_EQ(model->data(model->index(1, 0), MixerModel::TooltipRole).toString(),
              "Virtual instrument representation of vocal parts");
    // Both vocal tracks start muted, so their section is muted; no section is soloed.
    EXPECT_FALSE(model->data(model->index(0, 0), MixerModel::IsMutedRole).toBool());
    EXPECT_TRUE(model->data(model->index(1, 0), MixerModel::IsMutedRole).toBool());
    EXPECT_FALSE(model->data(model->index(1, 0), MixerModel::IsSoloRole).toBool());

    const struct {
        QString section;
        int trackId;
        const char* name;
        double volume;
        double pan;
        bool allowInstrumentChanges;
        int listRows;  // 128 programs or 11 drum sets
        const char* instrumentName;
    } rows[] = {
        {kInstruments, 0, "Piano", 0.0, 0.0079, false, 128, "Acoustic Grand Piano"},
        {kInstruments, 1, "Bass", 1.0, -1.0, false, 128, nullptr},
        {kInstruments, 9, "Drums", -1, 1.0, false, 11, "808/909 Drums"},
        {kVocals, 2, "Strings", -1, -2, true, 128, nullptr},
        {kVocals, 3, "Winds", -1, -2, true, 128, nullptr},
    };
    for (const auto& r : rows) {
        const MixerTracksModel* tracks = Tracks(r.section);
        ASSERT_NE(tracks, nullptr);
        const int row = Row(r.section, r.trackId);
        const QModelIndex at = tracks->index(row, 0);
        EXPECT_EQ(tracks->data(at, MixerTracksModel::NameRole).toString(), r.name);
        if (r.volume >= 0) {
            EXPECT_NEAR(tracks->data(at, MixerTracksModel::VolumeScaledDbRole).toDouble(), r.volume, 1e-6) << r.name;
        }
        if (r.pan >= -1) {
            EXPECT_NEAR(tracks->data(at, MixerTracksModel::PanRole).toDouble(), r.pan, 1e-3) << r.name;
        }
        EXPECT_EQ(tracks->data(at, MixerTracksModel::AllowInstrumentChangesRole).toBool(), r.allowInstrumentChanges)
            << r.name;
        const auto* list = qobject_cast<QAbstractItemModel*>(
            tracks->data(at, MixerTracksModel::InstrumentModelRole).value<QObject*>());
        ASSERT_NE(list, nullptr) << r.name;
        EXPECT_EQ(list->rowCount(), r.listRows) << r.name;
        if (r.instrumentName != nullptr) {
            EXPECT_EQ(tracks->instrumentDisplayName(row), r.instrumentName) << r.name;
        }
        EXPECT_EQ(tracks->data(at, MixerTracksModel::IsMutedRole).toBool(), engine_->GetTrackIsMuted(r.trackId));
    }
    EXPECT_EQ(Tracks(kInstruments)->rowCount(), 3);
    EXPECT_EQ(Tracks(kVocals)->rowCount(), 2);
}

// What the view writes becomes MIDI values at the player, held to 0-127.
TEST_F(MixerController, TheViewsValuesReachThePlayerAsMidiValues)
{
    Create();
    Tracks(kVocals)->setMute(Row(kVocals, 2), false);  // a muted track's program would only be stored
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const int volume = 7;
    const int pan = 10;
    const struct {
        const char* what;
        QString section;
        int trackId;
        int role;
        double value;
        std::function<int(RecordingEngine&, std::uint16_t)> read;
        int expected;
        int controller;  // the controller that carries it; 0: a program change
    } cases[] = {
        {"fader at 0 dB", kInstruments, 0, MixerTracksModel::VolumeScaledDbRole, 1.0, &RecordingEngine::GetTrackVolume,
         127, volume},
        {"fader at -15 dB", kInstruments, 0, MixerTracksModel::VolumeScaledDbRole, std::exp(-15.0 / 25.0),
         &RecordingEngine::GetTrackVolume, 53, volume},
        {"fader at the bottom", kInstruments, 0, MixerTracksModel::VolumeScaledDbRole, 0.0,
         &RecordingEngine::GetTrackVolume, 0, volume},
        {"fader above the top", kInstruments, 0, MixerTracksModel::VolumeScaledDbRole, 3.0,
         &RecordingEngine::GetTrackVolume, 127, volume},
        {"pan left", kInstruments, 1, MixerTracksModel::PanRole, -1.0, &RecordingEngine::GetTrackPan, 0, pan},
        {"pan centre", kInstruments, 1, MixerTracksModel::PanRole, 0.0, &RecordingEngine::GetTrackPan, 63, pan},
        {"pan right", kInstruments, 1, MixerTracksModel::PanRole, 1.0, &RecordingEngine::GetTrackPan, 127, pan},
        {"pan past the right", kInstruments, 1, MixerTracksModel::PanRole, 2.5, &RecordingEngine::GetTrackPan, 127, pan},
        {"pan past the left", kInstruments, 1, MixerTracksModel::PanRole, -4.0, &RecordingEngine::GetTrackPan, 0, pan},
        {"pan not a number", kInstruments, 1, MixerTracksModel::PanRole, nan, &RecordingEngine::GetTrackPan, 0, pan},
        {"program", kVocals, 2, MixerTracksModel::InstrumentRole, 40, &RecordingEngine::GetTrackProgramId, 40, 0},
        {"program past the last", kVocals, 2, MixerTracksModel::InstrumentRole, 300,
         &RecordingEngine::GetTrackProgramId, 127, 0},
    };
    for (const auto& c : cases) {
        MixerTracksModel* tracks = Tracks(c.section);
        ASSERT_NE(tracks, nullptr);
        const std::size_t before = DeviceCount();
        ASSERT_TRUE(tracks->setData(tracks->index(Row(c.section, c.trackId), 0), c.value, c.role)) << c.what;
        EXPECT_EQ(c.read(*engine_, static_cast<std::uint16_t>(c.trackId)), c.expected) << c.what;
        const Message sent = c.controller == 0 ? Message{0xC0 | c.trackId, c.expected, 0}
                                               : Message{0xB0 | c.trackId, c.controller, c.expected};
        EXPECT_TRUE(Receives(before, sent)) << c.what;
    }

    // Gains the fader cannot give: far above 0 dB (which would wrap around a byte) and negative.
    const struct {
        double gain;
        int expected;
    } gains[] = {{100.0, 127}, {-1.0, 0}, {nan, 0}, {0.0, 0}, {1.0, 127}};
    for (const auto& g : gains) {
        controller_->volumeTrackRequested(0, g.gain);
        EXPECT_EQ(engine_->GetTrackVolume(0), g.expected) << g.gain;
    }
}

TEST_F(MixerController, AProgramTheEngineReportsIsShownAndSentOnlyWhenItDiffers)
{
    Create();
    MixerTracksModel* vocals = Tracks(kVocals);
    ASSERT_NE(vocals, nullptr);
    const int row = Row(kVocals, 2);
    const int own = engine_->GetTrackProgramId(2);

    const std::size_t before = DeviceCount();
    controller_->SetTrackProgram(2, own, QStringLiteral("ignored"));
    EXPECT_EQ(vocals->data(vocals->index(row, 0), MixerTracksModel::InstrumentRole).toInt(), own);
    controller_->SetTrackProgram(77, 5, QString());  // not a track of the song: nothing
    // A pan change of a sounding track afterwards marks the end of what the report could have sent.
    Tracks(kInstruments)->setPan(Row(kInstruments, 0), 1.0);
    ASSERT_TRUE(Receives(before, {0xB0, 10, 127}));
    for (const Message& m : MessagesSince(before)) {
        EXPECT_NE(m.status, 0xC2) << "program " << m.data1;
    }

    controller_->SetTrackProgram(2, (own + 1) % 128, QString());
    EXPECT_EQ(engine_->GetTrackProgramId(2), (own + 1) % 128);
}

TEST_F(MixerController, ASoloSilencesEveryOtherTrackUntilTheLastSoloEnds)
{
    Create();
    MixerTracksModel* instruments = Tracks(kInstruments);
    MixerTracksModel* vocals = Tracks(kVocals);
    ASSERT_NE(instruments, nullptr);
    ASSERT_NE(vocals, nullptr);
    vocals->setMute(Row(kVocals, 2), false);  // the strings sound
    QSignalSpy sectionChanged(ViewModel(), &QAbstractItemModel::dataChanged);

    instruments->setSolo(Row(kInstruments, 0), true);
    // Only the soloed piano sounds; every other track of both sections is muted by the solo.
    std::map<int, int> notes = PlayUntilHeard({0});
    for (int channel : {1, 9, 2}) {
        EXPECT_EQ(notes[channel], 0) << channel;
    }
    // The tracks' own mute flags stay as they were.
    EXPECT_FALSE(engine_->GetTrackIsMuted(1));
    EXPECT_FALSE(engine_->GetTrackIsMuted(2));
    EXPECT_TRUE(engine_->GetTrackIsMuted(3));
    EXPECT_FALSE(ViewModel()->data(ViewModel()->index(0, 0), MixerModel::IsSoloRole).toBool());
    EXPECT_FALSE(sectionChanged.isEmpty());

    // A second solo in the other section: both sound.
    vocals->setSolo(Row(kVocals, 2), true);
    notes = PlayUntilHeard({0, 2});
    EXPECT_EQ(notes[1], 0);

    // The last solo ends: every track that is not muted sounds again, the muted one does not.
    instruments->setSolo(Row(kInstruments, 0), false);
    vocals->setSolo(Row(kVocals, 2), false);
    notes = PlayUntilHeard({0, 1, 9, 2});
    EXPECT_EQ(notes[3], 0);
}

TEST_F(MixerController, SoloingEveryTrackOfASectionSolosTheSection)
{
    Create();
    MixerTracksModel* vocals = Tracks(kVocals);
    ASSERT_NE(vocals, nullptr);
    vocals->setSolo(0, true);
    EXPECT_FALSE(ViewModel()->data(ViewModel()->index(1, 0), MixerModel::IsSoloRole).toBool());
    vocals->setSolo(1, true);
    EXPECT_TRUE(ViewModel()->data(ViewModel()->index(1, 0), MixerModel::IsSoloRole).toBool());
    vocals->setMute(0, false);
    vocals->setMute(1, false);
    EXPECT_FALSE(ViewModel()->data(ViewModel()->index(1, 0), MixerModel::IsMutedRole).toBool());
}

TEST_F(MixerController, AGroupSoloSolosEachTrackOfTheSection)
{
    Create();
    MixerModel* model = ViewModel();
    Tracks(kVocals)->setMute(Row(kVocals, 2), false);  // the strings sound
    ASSERT_TRUE(model->setData(model->index(1, 0), true, MixerModel::IsSoloRole));

    for (int track : {2, 3}) {
        EXPECT_TRUE(engine_->GetTrackIsSoloed(track)) << track;
    }
    for (int track : {0, 1, 9}) {
        EXPECT_FALSE(engine_->GetTrackIsSoloed(track)) << track;
    }
    const std::map<int, int> notes = PlayUntilHeard({2});
    for (int channel : {0, 1, 9}) {
        EXPECT_EQ(notes.count(channel), 0U) << channel;
    }
    for (int row : {0, 1}) {
        EXPECT_TRUE(Tracks(kVocals)->data(Tracks(kVocals)->index(row, 0), MixerTracksModel::IsSoloRole).toBool());
    }
    EXPECT_TRUE(model->data(model->index(1, 0), MixerModel::IsSoloRole).toBool());
}

TEST_F(MixerController, AGroupMuteChangesOnlyTheTracksThatDiffer)
{
    Create();
    MixerModel* model = ViewModel();
    MixerTracksModel* instruments = Tracks(kInstruments);
    ASSERT_NE(instruments, nullptr);
    Tracks(kVocals)->setMute(Row(kVocals, 2), false);  // the strings sound
    const int bass = Row(kInstruments, 1);
    instruments->setMute(bass, true);
    EXPECT_FALSE(model->data(model->index(0, 0), MixerModel::IsMutedRole).toBool());

    QSignalSpy rowsChanged(instruments, &QAbstractItemModel::dataChanged);
    ASSERT_TRUE(model->setData(model->index(0, 0), true, MixerModel::IsMutedRole));
    ASSERT_EQ(rowsChanged.size(), 2);
    for (const QList<QVariant>& change : rowsChanged) {
        EXPECT_NE(change.at(0).toModelIndex().row(), bass);
        EXPECT_EQ(change.at(2).value<QList<int>>(), QList<int>{MixerTracksModel::IsMutedRole});
    }
    for (int track : {0, 1, 9}) {
        EXPECT_TRUE(engine_->GetTrackIsMuted(track)) << track;
    }
    EXPECT_TRUE(model->data(model->index(0, 0), MixerModel::IsMutedRole).toBool());
    std::map<int, int> notes = PlayUntilHeard({2});
    for (int channel : {0, 1, 9}) {
        EXPECT_EQ(notes[channel], 0) << channel;
    }

    ASSERT_TRUE(model->setData(model->index(0, 0), false, MixerModel::IsMutedRole));
    EXPECT_FALSE(model->data(model->index(0, 0), MixerModel::IsMutedRole).toBool());
    PlayUntilHeard({0, 1, 9, 2});
}

TEST_F(MixerController, AGroupRequestForASectionThatDoesNotExistIsAnError)
{
    Create();
    QSignalSpy errors(controller_.get(), &MixerControllerTW::error);
    const std::size_t before = DeviceCount();
    controller_->muteSectionRequested_(2, true);
    controller_->soloSectionRequested_(-1, true);
    ASSERT_EQ(errors.size(), 2);
    for (const QList<QVariant>& error : errors) {
        EXPECT_EQ(error.at(0).value<std::string>(),
                  "A section mute request was issued for a section that does not exist.");
        EXPECT_EQ(error.at(1).value<std::string>(), "Error Muting Section");
    }
    for (int track : {0, 1, 9}) {
        EXPECT_FALSE(engine_->GetTrackIsMuted(track) || engine_->GetTrackIsSoloed(track)) << track;
    }
    EXPECT_EQ(DeviceCount(), before);
}

// The engine may move on to the next song before the main window has made the new song's mixer: a
// track that song lacks is reported, not thrown through the event loop.
TEST_F(MixerController, ATrackTheLoadedSongLacksIsReportedAsAnError)
{
    Create();
    QSignalSpy errors(controller_.get(), &MixerControllerTW::error);
    LoadSong("2");
    MixerTracksModel* vocals = Tracks(kVocals);
    ASSERT_NE(vocals, nullptr);
    vocals->setVolumeScaledDb(Row(kVocals, 3), 1.0);  // Winds: not in song "2"
    ASSERT_EQ(errors.size(), 1);
    EXPECT_EQ(errors.at(0).at(1).value<std::string>(), "Mixer Error");
    EXPECT_FALSE(errors.at(0).at(0).value<std::string>().empty());
}

TEST_F(MixerController, ResetRestoresTheSongsDefaultsAndShowsThemInANewModel)
{
    Create();
    const int defaultVolume = engine_->GetTrackVolume(0);
    Tracks(kInstruments)->setVolumeScaledDb(Row(kInstruments, 0), std::exp(-15.0 / 25.0));
    ASSERT_EQ(engine_->GetTrackVolume(0), 53);
    QPointer<MixerModel> previous = ViewModel();

    ASSERT_TRUE(QMetaObject::invokeMethod(view_, "resetMixerClicked"));
    EXPECT_EQ(engine_->GetTrackVolume(0), defaultVolume);
    ASSERT_NE(ViewModel(), nullptr);
    EXPECT_NE(ViewModel(), previous.data());
    EXPECT_EQ(ViewModel(), controller_->GetMixerModel());
    const MixerTracksModel* instruments = Tracks(kInstruments);
    EXPECT_NEAR(instruments->data(instruments->index(Row(kInstruments, 0), 0), MixerTracksModel::VolumeScaledDbRole)
                    .toDouble(),
                std::exp(std::log(defaultVolume / 127.0) / 0.0575 / 25.0), 1e-6);
    // The model the view no longer shows goes through the event loop.
    musical_test::RunDeferredDeletes();
    EXPECT_TRUE(previous.isNull());

    // The new model's tracks reach the engine as the first ones did.
    Tracks(kInstruments)->setPan(Row(kInstruments, 0), -1.0);
    EXPECT_EQ(engine_->GetTrackPan(0), 0);
}

TEST_F(MixerController, TempoScaleAndTranspositionGoToTheEngine)
{
    Create();
    ASSERT_TRUE(QMetaObject::invokeMethod(view_, "tempoScaleSet", Q_ARG(double, -25.0)));
    ASSERT_TRUE(QMetaObject::invokeMethod(view_, "transposeSet", Q_ARG(double, 3.7)));
    ASSERT_TRUE(QMetaObject::invokeMethod(view_, "transposeSet", Q_ARG(double, -2.0)));
    EXPECT_EQ(engine_->calls, (std::vector<std::string>{"tempo scale " + std::to_string(0.75), "update",
                                                        "transposition 3", "update", "transposition -2", "update"}));
}

// The click volume, from the settings file and from the view; the click is the "Click" track of song 10.
class MixerClickVolume : public MixerFixture {
protected:
    void SetUp() override
    {
        MixerFixture::SetUp();
        LoadSong("10");
        const auto names = engine_->GetTrackNamesByTrackId();
        const auto click = std::find_if(names.begin(), names.end(), [](const auto& t) { return t.second == "Click"; });
        ASSERT_NE(click, names.end());
        click_ = click->first;
    }

    std::shared_ptr<brix::AppSettings> Settings() const
    {
        return std::make_shared<brix::AppSettings>(brix::OpenGeneralSettings(folder_.path()));
    }

    QTemporaryDir folder_;
    std::uint16_t click_ = 0;
};

TEST_F(MixerClickVolume, TheStoredClickVolumeIsSentHeldToTheMidiRange)
{
    const struct {
        double stored;
        int level;
        double slider;
    } cases[] = {
        {1.0, 127, 1.0},
        {std::pow(10.0, -15.0 / 20.0), 53, std::exp(-15.0 / 25.0)},
        {5.0, 127, 1.0},  // above 0 dB: would wrap around a byte
        {0.0, 0, 0.0},
        {std::numeric_limits<double>::quiet_NaN(), 0, 0.0},
    };
    for (const auto& c : cases) {
        auto settings = Settings();
        settings->SetClickVolumeLinear(c.stored);
        view_->setProperty("clickVolumeControlValueScaledDb", 0.75);
        Create(settings);
        EXPECT_EQ(engine_->GetTrackVolume(click_), c.level) << c.stored;
        EXPECT_NEAR(view_->property("clickVolumeControlValueScaledDb").toDouble(),
                    std::max(c.slider, std::exp(-15.0 / 25.0)), 1e-6)  // the slider's own range
            << c.stored;
    }
}

TEST_F(MixerClickVolume, WithoutSettingsTheClickIsSilentAndTheSliderLeftAlone)
{
    view_->setProperty("clickVolumeControlValueScaledDb", 0.75);
    Create();
    EXPECT_EQ(engine_->GetTrackVolume(click_), 0);
    EXPECT_NEAR(view_->property("clickVolumeControlValueScaledDb").toDouble(), 0.75, 1e-6);
    ASSERT_TRUE(QMetaObject::invokeMethod(view_, "clickVolumeSet", Q_ARG(double, 0.0)));
    EXPECT_EQ(engine_->GetTrackVolume(click_), 127);
}

TEST_F(MixerClickVolume, AClickVolumeFromTheViewIsSentAndSavedAtOnce)
{
    Create(Settings());
    const struct {
        double decibels;
        int level;
        double linear;
    } cases[] = {{0.0, 127, 1.0}, {-15.0, 53, std::pow(10.0, -0.75)}, {-80.0, 1, 1e-4}};
    for (const auto& c : cases) {
        ASSERT_TRUE(QMetaObject::invokeMethod(view_, "clickVolumeSet", Q_ARG(double, c.decibels)));
        EXPECT_EQ(engine_->GetTrackVolume(click_), c.level) << c.decibels;
        auto reread = Settings();
        reread->Load();
        EXPECT_NEAR(reread->GetClickVolumeLinear(), c.linear, 1e-9) << c.decibels;
    }
}

TEST_F(MixerController, TheMixSurvivesARestartOfTheEngine)
{
    Create();
    MixerTracksModel* instruments = Tracks(kInstruments);
    MixerTracksModel* vocals = Tracks(kVocals);
    ASSERT_NE(instruments, nullptr);
    ASSERT_NE(vocals, nullptr);
    instruments->setVolumeScaledDb(Row(kInstruments, 0), std::exp(-15.0 / 25.0));
    instruments->setPan(Row(kInstruments, 0), -1.0);
    instruments->setMute(Row(kInstruments, 1), true);
    instruments->setSolo(Row(kInstruments, 9), true);
    vocals->setInstrument(Row(kVocals, 2), 40);
    vocals->setMute(Row(kVocals, 3), false);

    controller_.reset();
    StopEngine();
    ASSERT_TRUE(std::filesystem::exists(show_.Folder() / "mixersettings"));
    StartEngine();
    Create();

    instruments = Tracks(kInstruments);
    vocals = Tracks(kVocals);
    ASSERT_NE(instruments, nullptr);
    ASSERT_NE(vocals, nullptr);
    const auto value = [](MixerTracksModel* tracks, int row, int role) { return tracks->data(tracks->index(row, 0), role); };
    EXPECT_EQ(engine_->GetTrackVolume(0), 53);
    EXPECT_NEAR(value(instruments, Row(kInstruments, 0), MixerTracksModel::VolumeScaledDbRole).toDouble(),
                std::exp(-15.0 / 25.0), 0.01);
    EXPECT_NEAR(value(instruments, Row(kInstruments, 0), MixerTracksModel::PanRole).toDouble(), -1.0, 1e-6);
    EXPECT_TRUE(value(instruments, Row(kInstruments, 1), MixerTracksModel::IsMutedRole).toBool());
    EXPECT_TRUE(value(instruments, Row(kInstruments, 9), MixerTracksModel::IsSoloRole).toBool());
    EXPECT_EQ(value(vocals, Row(kVocals, 2), MixerTracksModel::InstrumentRole).toInt(), 40);
    EXPECT_FALSE(value(vocals, Row(kVocals, 3), MixerTracksModel::IsMutedRole).toBool());
    EXPECT_TRUE(value(vocals, Row(kVocals, 2), MixerTracksModel::IsMutedRole).toBool());
}

// The main window makes a new controller on every song load: the new one's model is on the view before
// the old controller goes, and the old model lives until then.
TEST_F(MixerController, ANewControllerPerSongShowsThatSongsMixAndReplacesTheOldOnesModel)
{
    auto first = MakeController();
    Tracks(kInstruments)->setVolumeScaledDb(Row(kInstruments, 0), std::exp(-15.0 / 25.0));
    QPointer<MixerModel> firstModel = first->GetMixerModel();

    LoadSong("2");
    auto second = MakeController();
    EXPECT_EQ(ViewModel(), second->GetMixerModel());
    EXPECT_FALSE(firstModel.isNull());
    first.reset();
    musical_test::RunDeferredDeletes();
    EXPECT_TRUE(firstModel.isNull());
    ASSERT_EQ(ViewModel(), second->GetMixerModel());
    // Song "2": the guitar (port 1, channel 4) among the instruments, two voices among the vocal parts.
    EXPECT_GE(Tracks(kInstruments)->RowOfTrack(0x14), 0);
    EXPECT_EQ(Tracks(kVocals)->rowCount(), 3);
    // The view still reaches the engine through the new controller alone.
    ASSERT_TRUE(QMetaObject::invokeMethod(view_, "transposeSet", Q_ARG(double, 1.0)));
    EXPECT_EQ(engine_->calls, (std::vector<std::string>{"transposition 1", "update"}));

    LoadSong("1");
    auto third = MakeController();
    second.reset();
    musical_test::RunDeferredDeletes();
    const MixerTracksModel* instruments = Tracks(kInstruments);
    ASSERT_NE(instruments, nullptr);
    EXPECT_NEAR(instruments->data(instruments->index(Row(kInstruments, 0), 0), MixerTracksModel::VolumeScaledDbRole)
                    .toDouble(),
                std::exp(-15.0 / 25.0), 0.01);
}

TEST_F(MixerController, AnEngineWithoutTheProductsMixerLeavesTheControllerInert)
{
    auto fake = std::make_shared<testing::StrictMock<musical_test::FakeInterface>>();
    QTemporaryDir folder;
    auto settings = std::make_shared<brix::AppSettings>(brix::OpenGeneralSettings(folder.path()));
    view_->setProperty("clickVolumeControlValueScaledDb", 0.75);
    brix::qt::TarnwickPlayerFactory factory;
    auto controller = factory.CreateMixerController(view_, Engine(), fake, settings);
    ASSERT_NE(dynamic_cast<MixerControllerTW*>(controller.get()), nullptr);
    EXPECT_EQ(ViewModel(), nullptr);
    EXPECT_NEAR(view_->property("clickVolumeControlValueScaledDb").toDouble(), 0.75, 1e-6);
    // Nothing is connected: the view's signals reach no engine (the strict fake fails on any call).
    ASSERT_TRUE(QMetaObject::invokeMethod(view_, "tempoScaleSet", Q_ARG(double, 10.0)));
    ASSERT_TRUE(QMetaObject::invokeMethod(view_, "resetMixerClicked"));
    controller->SetTrackProgram(0, 5, QString());
    controller->SetAppSettings(settings);
    ASSERT_TRUE(QMetaObject::invokeMethod(view_, "clickVolumeSet", Q_ARG(double, -6.0)));
}

}  // namespace
