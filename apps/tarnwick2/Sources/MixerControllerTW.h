#pragma once

#include <MixerController.h>

#include <QObject>
#include <QPointer>
#include <QString>

#include <memory>

class Interface;
class QQmlEngine;
class StringValueListModel;
class TarnwickInterface;

namespace brix {
class AppSettings;
}

namespace brix::qt {

class MixerModel;
class MixerSectionItem;
class MixerTrackItem;

// MixerControllerTW: the mixer of the product. It builds the mixer model of the current song from the
// engine's mixer (tracks in two sections, "Instruments" and "Vocal Parts", each track with mute,
// solo, program, pan and volume), sets it as the view's "mixerModel", and turns every change the view
// makes into a call of the engine's mixer: track and section mute and solo (a solo silences every
// track not soloed through the muted-by-other-solo flag), volume, pan, program, the click volume
// (also kept in the application settings), the mixer reset, tempo scale and transposition.
//
// Values: a fader's control value s gives dB = 25 ln s; a gain of dB decibels is the MIDI level
// 127 e^(0.0575 dB), and every level, pan and program sent is held to 0-127.
//
// The engine must be a TarnwickInterface; any other leaves the controller inert (no model, no
// connections, nothing sent). The main window makes a new controller for every loaded song: the new
// one sets its model on the view, then the old one is deleted, and its model and lists go through the
// event loop (deleteLater), so no view binding meets a freed object.
// Owner: the main window controller. Thread: GUI thread only.
class MixerControllerTW : public MixerController {
    Q_OBJECT

public:
    MixerControllerTW(QObject* mixerView, QQmlEngine* qmlEngine, std::shared_ptr<Interface> engine,
                      std::shared_ptr<brix::AppSettings> settings);
    ~MixerControllerTW() override;

    // The model the view shows; null while inert.
    MixerModel* GetMixerModel() const { return model_; }

    void SetTrackProgram(int trackId, int program, const QString& text) override;
    void SetAppSettings(std::shared_ptr<brix::AppSettings> settings) override;

public slots:
    void instrumentTrackRequested(int trackId, int value);
    void muteTrackRequested(int trackId, bool value);
    void muteSectionRequested_(int index, bool value);
    void onClickVolumeSet_(double valueDB);
    void onTempoScaleSet_(double value);
    void onTransposeSet_(double value);
    void onResetClicked_();
    void panTrackRequested(int trackId, double value);
    void soloTrackRequested(int trackId, bool value);
    void soloSectionRequested_(int index, bool value);
    void volumeTrackRequested(int trackId, double linearVolume);

private:
    using ListPointer = std::shared_ptr<StringValueListModel>;

    void ApplyClickVolume_();
    void WireView_();
    // Builds the instrument lists and a new model from the engine and sets it on the view.
    void Build_();
    void Connect_();
    // The first section that holds the track, or null.
    MixerSectionItem* SectionOf_(int trackId) const;
    int RowOf_(const MixerSectionItem* section) const;
    // The engine calls of a track mute and solo, without the section's state.
    void MuteTrack_(int trackId, bool value);
    void SoloTrack_(int trackId, bool value);
    // A section's group mute or solo: each track whose flag differs from value gets setTrack (without
    // its section step) and the new flag, then the section takes value. An index outside the sections
    // is reported through error().
    void SetGroup_(int index, bool value, bool MixerTrackItem::*trackFlag, bool MixerSectionItem::*sectionFlag,
                   int role, void (MixerControllerTW::*setTrack)(int, bool));

    std::shared_ptr<TarnwickInterface> engine_;
    std::shared_ptr<brix::AppSettings> settings_;
    // Deleted through the event loop when replaced or when the controller goes.
    MixerModel* model_ = nullptr;
    ListPointer instruments_;
    ListPointer drumSets_;
    ListPointer vocals_;
};

}  // namespace brix::qt
