#pragma once

#include "qml_controller.h"

#include <brix_core/BrixEvent.h>
#include <brix_core/NetworkPath.h>
#include <brix_core/OutputPath.h>
#include <brix_core/Timeline.h>

// moc cannot parse the standard library's concept headers that this brings in; it needs none of it.
#ifndef Q_MOC_RUN
#include <brix_networking_http/NetworkTypes.h>
#endif

#include <OscSettings.h>

#include <QString>

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

class Interface;
class QQmlEngine;

namespace notify {
class EventObserver;
}

namespace brix {
class AppSettings;
class BrixPlayerOscCallback;
class PlayerFactory;
class ShowManager;
namespace osc {
class OscServer;
}
}  // namespace brix

namespace brix::qt {

class AboutWindowController;
class AudioManagerController;
class CaesuraToolController;
class ChangelogFilesController;
class ClickToolController;
class CutToolController;
class DialogController;
class EditController;
class EditModel;
class EditToolController;
struct EventInfoItem;
class MarkerToolController;
struct MarkerInfoItem;
class MidiManagerController;
class MixerController;
class OscManagerController;
class OscToolController;
class OutputPathsManagerController;
class RepeatToolController;
class ResponsiveMenuController;
class ScoreViewController;
class SkipToolController;
class TempoToolController;
class TimelineController;
class TransposeToolController;
class VampToolController;

// The show the main window plays: its folder, the names its title and export carry, and the show
// server its change logs travel to and from (none: every server request fails at once).
struct CurrentShow {
    QString folder;
    QString name;
    QString customer;
    std::optional<networking::ServerSettings> server;
};

// MusicalMainController: the controller of the main window MusicalMain.qml and the owner of what the
// operator reaches from it: the engine of the current show (through the show manager), the menu and
// About panel, the dialogs, the OSC control of the show and its cue queue, and the engine events that
// drive the window.
//
// The constructor builds the window, registers for the engine's events, sets the show up (creating
// the engine through the factory) and wires the window. The show set-up tears down everything of the
// previous show first, so no two engines ever exist.
//
// Each sub-controller is one unique pointer made in one step of the UI initialisation or the show
// set-up and announced with controllerCreated(name, controller).
//
// Threads: everything runs on the GUI thread. Engine events arrive on engine threads and are posted
// to the GUI thread with this controller as the context, so none reaches a destroyed controller; the
// destructor removes the observer (waiting for callbacks in flight) before the rest goes. Fade
// completions arrive on the fader's thread and are posted the same way.
class MusicalMainController : public QmlController {
    Q_OBJECT

public:
    static constexpr const char* kWindowUrl = "qrc:/qt/qml/com/fernwhistlestudios/musical_ui/qml/MusicalMain.qml";

    // The factory is not owned and must outlive the controller. A failure to create the engine passes
    // to the caller.
    MusicalMainController(QQmlEngine* engine, PlayerFactory* factory, CurrentShow show, QObject* parent = nullptr);
    ~MusicalMainController() override;

    std::shared_ptr<Interface> GetInterface() const { return engine_; }
    std::shared_ptr<ShowManager> GetShowManager() const { return showManager_; }
    bool GetAdminPermission() const { return admin_; }
    // The number of OSC cues waiting for playback to start.
    std::size_t GetQueuedOscCueCount() const { return oscCueQueue_.size(); }
    // Whether change-log edits made in edit mode have not been saved yet.
    bool HasUnsavedEdits() const;

signals:
    void PlayStarted();
    void SignalAttaccaUpdate();
    void Stopped();
    void Paused();
    void Fading();
    void FadeComplete(bool gotoNextSong);
    void JumpToBarResult(bool success);
    void SaveDialogAccepted();
    void Key(QString key);
    void Tempo(QString tempo);
    void TempoScale(QString tempoScale);
    void Transpose(QString transpose);
    void AdminPermissionSet(bool admin);
    void Closing();
    void SaveCompleted();
    void SetEditPanelEnabled(bool enabled);
    void MidiLearned(int commandId, int midiStatus, int channel, int note);
    void MidiUnlearned(int commandId);
    void ChangeLogLoaded();
    void controllerCreated(QString name, QObject* controller);

public slots:
    // Dialogs.
    void onInformation(std::string message, std::string title);
    void onError(std::string message, std::string title);

    // Change-log versions: local save, save and share, and the manager window of versions.
    void onSaveButton();
    void onSaveAndUploadButton();

    // Manager windows; each open replaces an older window of its kind.
    void ShowAudioManager_();
    void ShowMidiManager_();
    void ShowOscManager_();
    void ShowOutputPaths_();
    void ShowChangelogManager_();
    void onAudioSettingsUpdated();
    void onOscSettingsUpdated_(brix::osc::OscSettings newSettings, CL::NetworkPathVectorT& newNetworks);
    void onAddOutputhPath(const CL::OutputPath& path);
    void onRemoveOutputhPath(const CL::OutputPath& path);

    // Edit tools: one for a new event at the given ticks, one on an existing event, and the closing
    // slot that deletes the tool. Each open replaces an older tool of its kind.
    void onCaesuraButton(int start);
    void onClickButton(int startTick, int endTick);
    void onCutButton(int startTick, int endTick);
    void onMarkerButton(int start);
    void onOscButton(int startTick);
    void onRepeatButton(int startTick, int endTick);
    void onSkipButton(int startTick, int endTick);
    void onTempoButton(int startTick, int endTick);
    void onTransposeButton(int startTick, int endTick);
    void onVampButton(int startTick, int endTick);
    void onCaesuraEdit(cmn::BrixEvent* event);
    void onClickEdit(cmn::BrixEvent* event);
    void onCutEdit(cmn::BrixEvent* event);
    void onMarkerEdit(cmn::BrixEvent* event);
    void onOscEdit(cmn::BrixEvent* event);
    void onRepeatEdit(cmn::BrixEvent* event);
    void onSkipEdit(cmn::BrixEvent* event);
    void onTempoEdit(cmn::BrixEvent* event);
    void onTransposeEdit(cmn::BrixEvent* event);
    void onVampEdit(cmn::BrixEvent* event);
    void onCaesuraToolClosing();
    void onClickToolClosing();
    void onCutToolClosing();
    void onMarkerToolClosing();
    void onOscToolClosing();
    void onRepeatToolClosing();
    void onSkipToolClosing();
    void onTempoToolClosing();
    void onTransposeToolClosing();
    void onVampToolClosing();
    // Opens the edit tool of the event's kind on it; nothing for a null event or another kind.
    void onEditButton(cmn::BrixEvent* event);

    // Transport.
    void Play_();
    void Stop_();
    void ContinuePlay_();
    void PauseToggleSlot_();
    void PauseToggle_(bool fadeCompleted);
    void Fade_(int fadeTimeMs);
    void FadeTo_(int fadeTimeMs, double targetVolumerPercent);
    void FadeToStop_(int fadeTimeMs);
    void ContinueFlow_();
    void NextSong_();
    void PrevSong_();
    void FadeComplete_(bool gotoNextSong);
    void JumpToBar_(QString barNum);
    void JumpToBarStartRequested();
    void SeekNextMarkerRequested_();
    void SeekPrevMarkerRequested_();
    void SeekNextBarRequested_();
    void SeekPrevBarRequested_();
    void JumpPlayheadByTicks_(int tickDelta);
    void ZoomInRequested_();
    void ZoomOutRequested_();
    void SeekToTick_(int tick);
    void onAttaccaStageChanged(std::string songNum, std::uint8_t state);
    void onEnqueueOscCommand(CL::Osc osc, uint32_t delay);
    void onClearOscQueue();

    // The timeline, the edit panel and the edit menu.
    void onBrixEditSelectedExternally(const cmn::BrixEvent* event);
    void onEditDoubleClicked();
    void onBrixEditDragged(const cmn::BrixEvent* event, int start, int end, bool adjustLeft, bool adjustRight);
    void onEditValueUpdated();
    void onEventItemChanged(brix::qt::EventInfoItem item);
    void onMarkerItemChanged(brix::qt::MarkerInfoItem item);
    void onSelectAllRequested_();

    // Edit mode and notices.
    void SetAdminPermission(bool admin);
    void performanceEssentialsClicked();

    // Loads the current show again: tears the previous one down first.
    void SetupShow();

private:
    struct QueuedOscCue {
        CL::Osc osc;
        std::uint32_t delay;
        std::string songNumber;
    };

    // Lets callbacks from engine threads reach this controller while it lives: the destructor clears
    // `self` first, under the lock, so no callback posts to it afterwards.
    struct Liveness {
        explicit Liveness(MusicalMainController* controller) : self(controller) {}
        std::mutex mutex;
        MusicalMainController* self;
    };

    // UI initialisation, in its order.
    void InitialiseUi();
    void RegisterEngineEvents();
    void CreateAboutWindow();
    void CreateMenu();
    void WireWindow();
    void ReadOscSettings();
    void StartOscControl();
    void ConnectOscCueSender();
    void ApplyAudioSettings();
    void ShowRehearsalNoticeIfWanted();
    void ShowPerformanceNotice(bool forced);

    // Show set-up.
    void TearDownShow();
    // Deletes the windows that belong to the show's engine: the edit tools, the manager windows, the
    // change-log versions, the output paths and the score view.
    void DeleteShowWindows();
    void LoadAndDisplayAlbumArtwork_();

    // Engine events on the GUI thread.
    void HandleEngineEvent(int kind, int value, const QString& text);
    void OnSongLoaded(const QString& songNumber);

    // Sends the queued OSC cues of the song that plays; drops the others.
    void SendQueuedOscCues();
    // A completion callback for the engine's fader: called on any thread, it posts `onGui` to the GUI
    // thread while the controller lives, and does nothing once its destructor has begun.
    std::function<void()> PostedToGui(std::function<void(MusicalMainController&)> onGui) const;

    void SetWindowProperty(const char* name, const QVariant& value);
    QObject* WindowItem(const char* property) const;
    void CallBanner(const char* function);
    void HighlightOutgoingOsc();
    void ShowDialog(std::unique_ptr<DialogController> dialog);
    void CreateTimeline();
    void CreateEditController();
    void WireEditController();
    void CreateChangelogFiles();
    void WireChangelogFiles();
    void CreateOutputPaths();
    void CreateScoreView();
    // Connects a manager window's `error` and `information` to the dialogs and announces it.
    void AnnounceWindow(const char* name, QmlController& window);

    // Replaces the tool in `slot` by a new one on the current engine and announces it under `name`;
    // its valuesUpdated() refreshes the edit views and `closing` calls `onClosing`. Null without an
    // edit controller.
    template <class Tool>
    Tool* OpenTool(std::unique_ptr<Tool>& slot, const char* name, void (Tool::*closing)(),
                   void (MusicalMainController::*onClosing)());
    // Deletes the tool once the signal that asked for it has returned.
    template <class Tool>
    static void CloseTool(std::unique_ptr<Tool>& slot);
    TL::BarsBeats BarBeatOf(int tick) const;
    // A tick raised to the engine's lowest start tick.
    std::uint32_t AtOrAfterMinStart(int tick) const;
    void ShowClickToolNotice();

    PlayerFactory* const factory_;
    const CurrentShow show_;
    const QString userDataFolder_;
    std::shared_ptr<Liveness> liveness_;

    // The engine and the show manager around it; empty until the show set-up.
    std::shared_ptr<Interface> engine_;
    std::shared_ptr<ShowManager> showManager_;
    // What the timeline and the edit views share of the song being edited, and the save flags.
    std::shared_ptr<EditModel> editModel_;

    // Sub-controllers, one each.
    std::unique_ptr<AboutWindowController> aboutWindow_;
    std::unique_ptr<ResponsiveMenuController> menu_;
    std::unique_ptr<MixerController> mixer_;
    // The edit controller refers to the timeline: it is made after it and deleted before it.
    std::unique_ptr<TimelineController> timeline_;
    std::unique_ptr<EditController> edit_;
    std::unique_ptr<DialogController> dialog_;
    std::unique_ptr<DialogController> notice_;
    std::unique_ptr<osc::OscServer> oscServer_;
    // The change-log versions of the show; it refers to the edit controller's engine through the show
    // manager and is made after the edit controller.
    std::unique_ptr<ChangelogFilesController> changelogFiles_;
    std::unique_ptr<OutputPathsManagerController> outputPaths_;
    std::unique_ptr<ScoreViewController> scoreView_;
    std::unique_ptr<AudioManagerController> audioManager_;
    std::unique_ptr<MidiManagerController> midiManager_;
    std::unique_ptr<OscManagerController> oscManager_;
    // The edit tools refer to the edit controller: they go before it.
    std::unique_ptr<CaesuraToolController> caesuraTool_;
    std::unique_ptr<ClickToolController> clickTool_;
    std::unique_ptr<CutToolController> cutTool_;
    std::unique_ptr<MarkerToolController> markerTool_;
    std::unique_ptr<OscToolController> oscTool_;
    std::unique_ptr<RepeatToolController> repeatTool_;
    std::unique_ptr<SkipToolController> skipTool_;
    std::unique_ptr<TempoToolController> tempoTool_;
    std::unique_ptr<TransposeToolController> transposeTool_;
    std::unique_ptr<VampToolController> vampTool_;

    // OSC: the settings file's values, and the cue sender (only with the factory's oscEnable).
    QString oscSettingsPath_;
    osc::OscSettings oscSettings_;
    std::shared_ptr<BrixPlayerOscCallback> oscCueSender_;

    bool admin_ = false;
    bool oscEnabled_ = false;
    std::string showName_;
    QString exportBaseName_;
    std::shared_ptr<AppSettings> settings_;
    std::deque<QueuedOscCue> oscCueQueue_;
    std::unique_ptr<notify::EventObserver> observer_;
};

}  // namespace brix::qt
