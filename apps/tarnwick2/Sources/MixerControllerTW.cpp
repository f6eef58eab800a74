#include "MixerControllerTW.h"

#include <AppSettings.h>
#include <GeneralMidiNames.h>
#include <MixerModel.h>
#include <MixerTracksModel.h>
#include <StringValueListModel.h>

#include <brix_tarnwick/TarnwickInterface.h>

#include <QVariant>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <utility>

namespace brix::qt {

namespace {

const char* const kMixerErrorTitle = "Mixer Error";
const char* const kSectionErrorTitle = "Error Muting Section";
const char* const kSectionErrorMessage = "A section mute request was issued for a section that does not exist.";

// The MIDI level of a gain in decibels (the constant as the mixer has always used it).
double MidiLevelOfDecibels(double decibels)
{
    return 127.0 * std::exp(0.0575 * decibels);
}

// A value for the player: truncated and held to 0-127, so it never wraps around a byte; not a number
// gives 0.
std::uint8_t MidiByte(double value)
{
    if (std::isnan(value) || value <= 0.0)
        return 0;
    if (value >= 127.0)
        return 127;
    return static_cast<std::uint8_t>(value);
}

std::uint16_t TrackId(int trackId)
{
    return static_cast<std::uint16_t>(trackId);
}

std::shared_ptr<StringValueListModel> MakeList(const std::vector<gm::InstrumentEntry>& entries)
{
    // Views may still hold a list being replaced: it goes through the event loop.
    std::shared_ptr<StringValueListModel> list(new StringValueListModel,
                                               [](StringValueListModel* model) { model->deleteLater(); });
    gm::AddEntries(*list, entries);
    return list;
}

}  // namespace

MixerControllerTW::MixerControllerTW(QObject* mixerView, QQmlEngine* qmlEngine, std::shared_ptr<Interface> engine,
                                     std::shared_ptr<brix::AppSettings> settings)
    : MixerController(mixerView, qmlEngine), engine_(std::dynamic_pointer_cast<TarnwickInterface>(std::move(engine)))
{
    if (!engine_)
        return;
    SetAppSettings(std::move(settings));
    Build_();
}

MixerControllerTW::~MixerControllerTW()
{
    if (model_ != nullptr)
        model_->deleteLater();
}

void MixerControllerTW::SetAppSettings(std::shared_ptr<brix::AppSettings> settings)
{
    settings_ = std::move(settings);
    if (!engine_)
        return;
    ApplyClickVolume_();
    WireView_();
}

void MixerControllerTW::ApplyClickVolume_()
{
    if (!settings_) {
        engine_->SetClickVolume(0);
        return;
    }
    const double decibels = 20.0 * std::log10(settings_->GetClickVolumeLinear());
    if (QObject* view = GetQmlObject()) {
        // The slider's range ends at 1 (0 dB); a stored gain that is not a number shows as silence.
        const double scaled = std::exp(decibels / 25.0);
        view->setProperty("clickVolumeControlValueScaledDb", std::isnan(scaled) ? 0.0 : std::min(scaled, 1.0));
    }
    engine_->SetClickVolume(MidiByte(MidiLevelOfDecibels(decibels)));
}

void MixerControllerTW::WireView_()
{
    QObject* view = GetQmlObject();
    if (view == nullptr)
        return;
    connect(view, SIGNAL(clickVolumeSet(double)), this, SLOT(onClickVolumeSet_(double)), Qt::UniqueConnection);
    connect(view, SIGNAL(tempoScaleSet(double)), this, SLOT(onTempoScaleSet_(double)), Qt::UniqueConnection);
    connect(view, SIGNAL(transposeSet(double)), this, SLOT(onTransposeSet_(double)), Qt::UniqueConnection);
    connect(view, SIGNAL(resetMixerClicked()), this, SLOT(onResetClicked_()), Qt::UniqueConnection);
}

void MixerControllerTW::Build_()
{
    const std::vector<gm::InstrumentEntry> programs = gm::BuildProgramList();
    ListPointer instruments = MakeList(programs);
    ListPointer drumSets = MakeList(gm::BuildDrumSetList());
    ListPointer vocals = MakeList(programs);

    auto model = std::make_unique<MixerModel>();
    auto instrumentSection = std::make_unique<MixerSectionItem>(QStringLiteral("Instruments"), QString());
    auto vocalSection = std::make_unique<MixerSectionItem>(
        QStringLiteral("Vocal Parts"), QStringLiteral("Virtual instrument representation of vocal parts"));

    for (const auto& [id, name] : engine_->GetTrackNamesByTrackId()) {
        const bool vocal = engine_->GetTrackIsVocalTrack(id);
        auto track = std::make_unique<MixerTrackItem>();
        track->name = QString::fromStdString(name);
        track->trackId = id;
        track->isMuted = engine_->GetTrackIsMuted(id);
        track->isSolo = engine_->GetTrackIsSoloed(id);
        track->pan = static_cast<float>(2.0 * (engine_->GetTrackPan(id) / 127.0) - 1.0);
        const std::uint8_t volume = engine_->GetTrackVolume(id);
        track->volumeScaledDb =
            volume == 0 ? 0.0F : static_cast<float>(std::exp(std::log(volume / 127.0) / 0.0575 / 25.0));
        track->instrument = engine_->GetTrackProgramId(id);
        track->allowInstrumentChanges = vocal;
        track->instrumentModel = id == 9 ? drumSets.get() : (vocal ? vocals.get() : instruments.get());
        (vocal ? vocalSection : instrumentSection)->tracksModel->AddTrack(std::move(track));
    }
    for (auto* section : {&instrumentSection, &vocalSection}) {
        MixerTracksModel& tracks = *(*section)->tracksModel;
        if (tracks.rowCount() == 0)
            continue;
        (*section)->isMuted = tracks.AllMuted();
        (*section)->isSolo = tracks.AllSoloed();
        model->AddSection(section->release());
    }

    MixerModel* previous = std::exchange(model_, model.release());
    instruments_ = std::move(instruments);
    drumSets_ = std::move(drumSets);
    vocals_ = std::move(vocals);
    Connect_();
    if (QObject* view = GetQmlObject())
        view->setProperty("mixerModel", QVariant::fromValue(static_cast<QObject*>(model_)));
    if (previous != nullptr)
        previous->deleteLater();
}

void MixerControllerTW::Connect_()
{
    for (MixerSectionItem* section : model_->Sections()) {
        MixerTracksModel* tracks = section->tracksModel;
        connect(tracks, &MixerTracksModel::instrumentTrackRequested, this,
                &MixerControllerTW::instrumentTrackRequested, Qt::UniqueConnection);
        connect(tracks, &MixerTracksModel::muteTrackRequested, this, &MixerControllerTW::muteTrackRequested,
                Qt::UniqueConnection);
        connect(tracks, &MixerTracksModel::panTrackRequested, this, &MixerControllerTW::panTrackRequested,
                Qt::UniqueConnection);
        connect(tracks, &MixerTracksModel::soloTrackRequested, this, &MixerControllerTW::soloTrackRequested,
                Qt::UniqueConnection);
        connect(tracks, &MixerTracksModel::volumeTrackRequested, this, &MixerControllerTW::volumeTrackRequested,
                Qt::UniqueConnection);
    }
    connect(model_, &MixerModel::muteSectionRequested, this, &MixerControllerTW::muteSectionRequested_,
            Qt::UniqueConnection);
    connect(model_, &MixerModel::soloSectionRequested, this, &MixerControllerTW::soloSectionRequested_,
            Qt::UniqueConnection);
}

MixerSectionItem* MixerControllerTW::SectionOf_(int trackId) const
{
    if (model_ == nullptr)
        return nullptr;
    for (MixerSectionItem* section : model_->Sections()) {
        if (section->tracksModel->RowOfTrack(trackId) >= 0)
            return section;
    }
    return nullptr;
}

int MixerControllerTW::RowOf_(const MixerSectionItem* section) const
{
    return static_cast<int>(model_->Sections().indexOf(section));
}

void MixerControllerTW::SetTrackProgram(int trackId, int program, const QString& /*text*/)
{
    MixerSectionItem* section = SectionOf_(trackId);
    if (section == nullptr)
        return;
    MixerTracksModel& tracks = *section->tracksModel;
    tracks.setData(tracks.index(tracks.RowOfTrack(trackId), 0), program, MixerTracksModel::InstrumentRole);
}

void MixerControllerTW::instrumentTrackRequested(int trackId, int value)
{
    Guarded(kMixerErrorTitle, [&] {
        if (engine_->GetTrackProgramId(TrackId(trackId)) != value)
            engine_->SetTrackProgramId(TrackId(trackId), MidiByte(value));
    });
}

void MixerControllerTW::MuteTrack_(int trackId, bool value)
{
    engine_->SetTrackIsMuted(TrackId(trackId), value);
}

void MixerControllerTW::SoloTrack_(int trackId, bool value)
{
    engine_->SetTrackIsSoloed(TrackId(trackId), value);
    bool anySolo = value;
    for (MixerSectionItem* section : model_->Sections()) {
        for (const auto& track : section->tracksModel->Tracks())
            anySolo = anySolo || engine_->GetTrackIsSoloed(TrackId(track->trackId));
    }
    for (MixerSectionItem* section : model_->Sections()) {
        for (const auto& track : section->tracksModel->Tracks()) {
            const std::uint16_t id = TrackId(track->trackId);
            engine_->SetTrackIsMutedByOtherSolo(id, anySolo && !engine_->GetTrackIsSoloed(id));
        }
    }
}

void MixerControllerTW::muteTrackRequested(int trackId, bool value)
{
    Guarded(kMixerErrorTitle, [&] {
        MuteTrack_(trackId, value);
        if (MixerSectionItem* section = SectionOf_(trackId)) {
            section->isMuted = section->tracksModel->AllMuted();
            model_->NotifySectionChanged(RowOf_(section));
        }
    });
}

void MixerControllerTW::soloTrackRequested(int trackId, bool value)
{
    Guarded(kMixerErrorTitle, [&] {
        SoloTrack_(trackId, value);
        if (MixerSectionItem* section = SectionOf_(trackId)) {
            section->isSolo = section->tracksModel->AllSoloed();
            model_->NotifySectionChanged(RowOf_(section));
        }
    });
}

void MixerControllerTW::muteSectionRequested_(int index, bool value)
{
    SetGroup_(index, value, &MixerTrackItem::isMuted, &MixerSectionItem::isMuted, MixerTracksModel::IsMutedRole,
              &MixerControllerTW::MuteTrack_);
}

void MixerControllerTW::soloSectionRequested_(int index, bool value)
{
    SetGroup_(index, value, &MixerTrackItem::isSolo, &MixerSectionItem::isSolo, MixerTracksModel::IsSoloRole,
              &MixerControllerTW::SoloTrack_);
}

void MixerControllerTW::SetGroup_(int index, bool value, bool MixerTrackItem::*trackFlag,
                                  bool MixerSectionItem::*sectionFlag, int role,
                                  void (MixerControllerTW::*setTrack)(int, bool))
{
    if (model_ == nullptr || index < 0 || index >= model_->Sections().size()) {
        emit error(kSectionErrorMessage, kSectionErrorTitle);
        return;
    }
    Guarded(kMixerErrorTitle, [&] {
        MixerSectionItem* section = model_->Sections().at(index);
        MixerTracksModel& tracks = *section->tracksModel;
        for (int row = 0; row < tracks.rowCount(); ++row) {
            MixerTrackItem& track = *tracks.Tracks()[static_cast<std::size_t>(row)];
            if (track.*trackFlag == value)
                continue;
            (this->*setTrack)(track.trackId, value);
            track.*trackFlag = value;
            tracks.NotifyRowChanged(row, role);
        }
        section->*sectionFlag = value;
        model_->NotifySectionChanged(index);
    });
}

void MixerControllerTW::onClickVolumeSet_(double valueDB)
{
    Guarded(kMixerErrorTitle, [&] {
        engine_->SetClickVolume(MidiByte(MidiLevelOfDecibels(valueDB)));
        if (settings_) {
            settings_->SetClickVolumeLinear(std::pow(10.0, valueDB / 20.0));
            settings_->Save();
        }
    });
}

void MixerControllerTW::onTempoScaleSet_(double value)
{
    Guarded(kMixerErrorTitle, [&] {
        engine_->SetTempoScale(1.0 + 0.01 * value);
        engine_->UpdateOnce();
    });
}

void MixerControllerTW::onTransposeSet_(double value)
{
    Guarded(kMixerErrorTitle, [&] {
        engine_->SetTransposition(static_cast<int>(std::trunc(value)));
        engine_->UpdateOnce();
    });
}

void MixerControllerTW::onResetClicked_()
{
    Guarded(kMixerErrorTitle, [&] {
        engine_->ResetMixerToDefaultSettings();
        Build_();
    });
}

void MixerControllerTW::panTrackRequested(int trackId, double value)
{
    Guarded(kMixerErrorTitle,
            [&] { engine_->SetTrackPan(TrackId(trackId), MidiByte((value + 1.0) * 0.5 * 127.0)); });
}

void MixerControllerTW::volumeTrackRequested(int trackId, double linearVolume)
{
    Guarded(kMixerErrorTitle, [&] {
        engine_->SetTrackVolume(TrackId(trackId), MidiByte(MidiLevelOfDecibels(20.0 * std::log10(linearVolume))));
    });
}

}  // namespace brix::qt
