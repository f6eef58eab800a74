#include "musical_main_controller.h"

#include "EditModel.h"

#include "AppSettings.h"
#include "CurrentShow.h"
#include "MixerController.h"
#include "PlayerFactory.h"
#include "ShowManager.h"
#include "about_window_controller.h"
#include "audio_manager_controller.h"
#include "brix_menu_controller.h"
#include "changelog_files_controller.h"
#include "dialog_controller.h"
#include "dialog_kinds.h"
#include "edit_controller.h"
#include "edit_lists.h"
#include "main_window_events.h"
#include "midi_manager_controller.h"
#include "notice_dialogs.h"
#include "osc_manager_controller.h"
#include "output_paths_manager_controller.h"
#include "position_tools.h"
#include "range_tools.h"
#include "score_view_controller.h"
#include "timeline_controller.h"
#include "timeline_edit_controller.h"
#include "value_tools.h"

#include <BrixOscCallbacks.h>
#include <BrixPlayerOscCallback.h>
#include <OscServer.h>

#include <brix_player_core/Interface.h>

#include <brix_core/Editor.h>
#include <brix_core/EventCodes.h>
#include <brix_core/EventObserver.h>

#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QMetaObject>
#include <QQuickItem>
#include <QUrl>
#include <QVariant>

#include <algorithm>
#include <exception>
#include <iostream>
#include <utility>

namespace brix::qt {

namespace {

const char* const kAcknowledgementsPath =
    ":/qt/qml/com/fernwhistlestudios/tarnwick2_ui/resources/text/acknowledgements.txt";

}  // namespace

MusicalMainController::MusicalMainController(QQmlEngine* engine, PlayerFactory* factory, CurrentShow show,
                                             QObject* parent)
    : QmlController(engine, QUrl(QString::fromLatin1(kWindowUrl)), parent, true,
                    {{QStringLiteral("showAlbumArtImage"), factory->GetShowAlbumArtImage()},
                     {QStringLiteral("showFade"), factory->GetShowFade()}}),
      factory_(factory),
      show_(std::move(show)),
      userDataFolder_(ProductDataFolder(factory->GetShortName())),
      liveness_(std::make_shared<Liveness>(this)),
      observer_(std::make_unique<notify::EventObserver>())
{
    if (GetQmlObject() == nullptr)
        throw std::runtime_error("The main window cannot be built from " + std::string(kWindowUrl));
    InitialiseUi();
}

MusicalMainController::~MusicalMainController()
{
    {
        std::lock_guard lock(liveness_->mutex);
        liveness_->self = nullptr;
    }
    if (oscCueSender_)
        oscCueSender_->ReleaseInterface();
    if (engine_ && !engine_->IsStopped())
        engine_->Stop();
    DeleteShowWindows();
    // The edit controller refers to the timeline, so it goes first.
    edit_.reset();
    timeline_.reset();
    oscCueQueue_.clear();
    settings_.reset();
    oscCueSender_.reset();
    // Waits for callbacks in flight; the ones they posted die with this object.
    observer_.reset();
    oscServer_.reset();
    notice_.reset();
    dialog_.reset();
    mixer_.reset();
    menu_.reset();
    aboutWindow_.reset();
    if (showManager_)
        showManager_->ReleasePlayer();
    showManager_.reset();
    engine_.reset();
}

// ---- UI initialisation --------------------------------------------------------------------------

void MusicalMainController::InitialiseUi()
{
    RegisterEngineEvents();
    SetWindowProperty("showMixer", factory_->GetShowMixer());
    SetWindowProperty("showScore", factory_->GetShowScore());
    // The OSC settings are read before the show set-up starts OSC control and makes the cue sender,
    // so neither ever uses a port the user did not choose.
    oscSettingsPath_ = QDir(userDataFolder_).filePath(QString::fromLatin1(osc::OscSettings::kFileName));
    ReadOscSettings();
    SetupShow();
    if (!factory_->GetImageBase().isEmpty())
        SetWindowProperty("cornerLogoSource", factory_->GetImageBase() + QStringLiteral(".png"));
    CreateAboutWindow();
    CreateMenu();
    WireWindow();
    StartOscControl();
    SetAdminPermission(admin_);
    SetWindowProperty("oscEnable", factory_->GetOscEnable());
    ConnectOscCueSender();
    ApplyAudioSettings();
    ShowRehearsalNoticeIfWanted();
    if (changelogFiles_ && show_.server && show_.server->route == networking::ServerRoute::Portal)
        changelogFiles_->GetLatestLogPortal_();
    ShowPerformanceNotice(false);
}

void MusicalMainController::RegisterEngineEvents()
{
    namespace kind = engine_event_kind;
    // Any engine thread: copy the text and post; the window is read on the GUI thread only.
    observer_->SetCallbackFunc(
        [](int eventKind, int value, const char* text, void* context) {
            auto* self = static_cast<MusicalMainController*>(context);
            QMetaObject::invokeMethod(
                self, [self, eventKind, value, copied = QString::fromUtf8(text)] {
                    self->HandleEngineEvent(eventKind, value, copied.trimmed());
                },
                Qt::QueuedConnection);
        },
        this);
    observer_->RegisterPageNum(kind::kPageNum);
    observer_->RegisterPlayhead(kind::kPlayhead);
    observer_->RegisterPlaybackStarted(kind::kPlaybackStarted);
    observer_->RegisterPlaybackStopped(kind::kPlaybackStopped);
    observer_->RegisterPlaybackPaused(kind::kPlaybackPaused);
    observer_->RegisterPlaybackFading(kind::kPlaybackFading);
    observer_->RegisterKey(kind::kKey);
    observer_->RegisterTempo(kind::kTempo);
    observer_->RegisterMeter(kind::kMeter);
    observer_->RegisterTransposition(kind::kTransposition);
    observer_->RegisterTempoScale(kind::kTempoScale);
    observer_->RegisterVampOn(kind::kVampOn);
    observer_->RegisterVampOff(kind::kVampOff);
    observer_->RegisterBarBeat(kind::kBarBeat);
    observer_->RegisterSongTitle(kind::kSongTitle);
    observer_->RegisterSongLoaded(kind::kSongLoaded);
    observer_->RegisterStatusFlowControl(kind::kStatusFlowControl);
    observer_->RegisterMidiNotification(kind::kMidiNotification);
    observer_->RegisterLearnedMIDICommand(kind::kLearnedMidiCommand);
    observer_->RegisterMIDICommandCanceled(kind::kMidiCommandCanceled);
    observer_->RegisterProgramChange(kind::kProgramChange);
    observer_->RegisterStatusVolume(kind::kStatusVolume);
    observer_->RegisterMarker(kind::kMarker);
}

void MusicalMainController::CreateAboutWindow()
{
    QObject* item = WindowItem("aboutWindow");
    if (item == nullptr)
        return;
    aboutWindow_.reset();
    aboutWindow_ = std::make_unique<AboutWindowController>(
        item, GetEngine(), factory_->GetVersionString(), factory_->GetLongLogo(),
        QString::fromLatin1(kAcknowledgementsPath), factory_->GetBuildText());
    emit controllerCreated(QStringLiteral("AboutWindow"), aboutWindow_.get());
}

void MusicalMainController::CreateMenu()
{
    QObject* item = WindowItem("menu");
    if (item == nullptr)
        return;
    menu_.reset();
    menu_ = std::make_unique<ResponsiveMenuController>(factory_->GetShowAudioManager(), factory_->GetDisplayName(),
                                                       GetEngine(), item, factory_->GetOscEnable(),
                                                       factory_->GetShowPerformanceNotice());
    emit controllerCreated(QStringLiteral("ResponsiveMenu"), menu_.get());
}

void MusicalMainController::WireWindow()
{
    QObject* window = GetQmlObject();
    const auto unique = Qt::UniqueConnection;

    connect(this, SIGNAL(PlayStarted()), window, SIGNAL(playStarted()), unique);
    connect(this, SIGNAL(Stopped()), window, SIGNAL(stopped()), unique);
    connect(this, SIGNAL(Paused()), window, SIGNAL(paused()), unique);
    connect(this, SIGNAL(Fading()), window, SIGNAL(fading()), unique);
    connect(this, SIGNAL(JumpToBarResult(bool)), window, SIGNAL(jumpToBarResult(bool)), unique);
    connect(this, SIGNAL(AdminPermissionSet(bool)), window, SIGNAL(setAdminPermission(bool)), unique);
    connect(window, SIGNAL(closing(QQuickCloseEvent*)), this, SIGNAL(Closing()), unique);
    connect(this, &MusicalMainController::FadeComplete, this, &MusicalMainController::FadeComplete_, unique);

    if (menu_) {
        auto* menu = menu_.get();
        connect(menu, &ResponsiveMenuController::StopRequested, this, &MusicalMainController::Stop_, unique);
        connect(menu, &ResponsiveMenuController::PlayPauseRequested, this,
                &MusicalMainController::PauseToggleSlot_, unique);
        connect(menu, &ResponsiveMenuController::ContinuePlayRequested, this, &MusicalMainController::ContinuePlay_,
                unique);
        connect(menu, &ResponsiveMenuController::JumpToBarStartRequested, this,
                &MusicalMainController::JumpToBarStartRequested, unique);
        connect(menu, &ResponsiveMenuController::SeekNextMarkerRequested, this,
                &MusicalMainController::SeekNextMarkerRequested_, unique);
        connect(menu, &ResponsiveMenuController::SeekPrevMarkerRequested, this,
                &MusicalMainController::SeekPrevMarkerRequested_, unique);
        connect(menu, &ResponsiveMenuController::SeekNextBarRequested, this,
                &MusicalMainController::SeekNextBarRequested_, unique);
        connect(menu, &ResponsiveMenuController::SeekPrevBarRequested, this,
                &MusicalMainController::SeekPrevBarRequested_, unique);
        for (auto signal : {&ResponsiveMenuController::JumpToBarStartRequested,
                            &ResponsiveMenuController::SeekNextMarkerRequested,
                            &ResponsiveMenuController::SeekPrevMarkerRequested,
                            &ResponsiveMenuController::SeekNextBarRequested,
                            &ResponsiveMenuController::SeekPrevBarRequested})
            connect(menu, signal, this, &MusicalMainController::onClearOscQueue, unique);
        connect(menu, &ResponsiveMenuController::ZoomInRequested, this, &MusicalMainController::ZoomInRequested_,
                unique);
        connect(menu, &ResponsiveMenuController::ZoomOutRequested, this, &MusicalMainController::ZoomOutRequested_,
                unique);
        connect(menu, &ResponsiveMenuController::performanceEssentialsClicked, this,
                &MusicalMainController::performanceEssentialsClicked, unique);
        connect(this, &MusicalMainController::AdminPermissionSet, menu, &ResponsiveMenuController::SetAdminPermission,
                unique);
        connect(menu, &ResponsiveMenuController::selectAllRequested, this,
                &MusicalMainController::onSelectAllRequested_, unique);
        connect(menu, &ResponsiveMenuController::audioManagerClicked, this, &MusicalMainController::ShowAudioManager_,
                unique);
        connect(menu, &ResponsiveMenuController::midiCommandsClicked, this, &MusicalMainController::ShowMidiManager_,
                unique);
        connect(menu, &ResponsiveMenuController::oscManagerClicked, this, &MusicalMainController::ShowOscManager_,
                unique);
        connect(menu, &ResponsiveMenuController::saveRequested, this, &MusicalMainController::onSaveButton, unique);
        connect(menu, &ResponsiveMenuController::shareRequested, this, &MusicalMainController::onSaveAndUploadButton,
                unique);
    }
    WireEditController();
    WireChangelogFiles();
    connect(window, SIGNAL(outputPathsOpened()), this, SLOT(ShowOutputPaths_()), unique);
    connect(window, SIGNAL(changelogManagerOpened()), this, SLOT(ShowChangelogManager_()), unique);
    connect(window, SIGNAL(caesuraButtonPressed(int)), this, SLOT(onCaesuraButton(int)), unique);
    connect(window, SIGNAL(markerButtonPressed(int)), this, SLOT(onMarkerButton(int)), unique);
    connect(window, SIGNAL(oscButtonPressed(int)), this, SLOT(onOscButton(int)), unique);
    connect(window, SIGNAL(clickButtonPressed(int,int)), this, SLOT(onClickButton(int,int)), unique);
    connect(window, SIGNAL(cutButtonPressed(int,int)), this, SLOT(onCutButton(int,int)), unique);
    connect(window, SIGNAL(repeatButtonPressed(int,int)), this, SLOT(onRepeatButton(int,int)), unique);
    connect(window, SIGNAL(skipButtonPressed(int,int)), this, SLOT(onSkipButton(int,int)), unique);
    connect(window, SIGNAL(tempoButtonPressed(int,int)), this, SLOT(onTempoButton(int,int)), unique);
    connect(window, SIGNAL(transposeButtonPressed(int,int)), this, SLOT(onTransposeButton(int,int)), unique);
    connect(window, SIGNAL(vampButtonPressed(int,int)), this, SLOT(onVampButton(int,int)), unique);

    connect(window, SIGNAL(play()), this, SLOT(Play_()), unique);
    connect(window, SIGNAL(stop()), this, SLOT(Stop_()), unique);
    connect(window, SIGNAL(pause()), this, SLOT(PauseToggleSlot_()), unique);
    connect(window, SIGNAL(fade(int)), this, SLOT(Fade_(int)), unique);
    connect(window, SIGNAL(continueFlow()), this, SLOT(ContinueFlow_()), unique);
    connect(window, SIGNAL(nextSong()), this, SLOT(NextSong_()), unique);
    connect(window, SIGNAL(prevSong()), this, SLOT(PrevSong_()), unique);
    connect(window, SIGNAL(jumpToBar(QString)), this, SLOT(JumpToBar_(QString)), unique);
}

void MusicalMainController::ReadOscSettings()
{
    if (QFileInfo::exists(oscSettingsPath_))
        oscSettings_.Read(oscSettingsPath_.toStdString());
}

void MusicalMainController::StartOscControl()
{
    if (!factory_->GetOscEnable())
        return;
    oscServer_.reset();
    if (!oscSettings_.GetOscEnabled() || !engine_)
        return;
    try {
        auto callbacks = std::make_unique<BrixOscCallbacks>(engine_, showName_);
        auto* commands = callbacks.get();
        connect(commands, &BrixOscCallbacks::FadeRequested, this,
                [this](float fadeTimeMs) { Fade_(static_cast<int>(fadeTimeMs)); });
        connect(commands, &BrixOscCallbacks::FadeToRequested, this,
                [this](float fadeTimeMs, float targetPercent, bool) {
                    FadeTo_(static_cast<int>(fadeTimeMs), targetPercent);
                });
        connect(commands, &BrixOscCallbacks::Notification, this, [this] { CallBanner("highlightOscNotice"); });
        connect(commands, &BrixOscCallbacks::RequestPlayQueudOscEvents, this,
                &MusicalMainController::SendQueuedOscCues);
        connect(commands, &BrixOscCallbacks::NextMarkerRequested, this,
                &MusicalMainController::SeekNextMarkerRequested_);
        connect(commands, &BrixOscCallbacks::PrevMarkerRequested, this,
                &MusicalMainController::SeekPrevMarkerRequested_);
        connect(commands, &BrixOscCallbacks::PrevBarRequested, this, &MusicalMainController::SeekPrevBarRequested_);
        connect(commands, &BrixOscCallbacks::NextBarRequested, this, &MusicalMainController::SeekNextBarRequested_);
        for (auto signal : {&BrixOscCallbacks::NextMarkerRequested, &BrixOscCallbacks::PrevMarkerRequested,
                            &BrixOscCallbacks::PrevBarRequested, &BrixOscCallbacks::NextBarRequested})
            connect(commands, signal, this, &MusicalMainController::onClearOscQueue);
        connect(commands, &BrixOscCallbacks::PlayheadJumpRequested, this,
                &MusicalMainController::JumpPlayheadByTicks_);

        const auto port = static_cast<unsigned short>(oscSettings_.GetOscListenPort());
        oscServer_ = std::make_unique<osc::OscServer>(port, std::move(callbacks));
        engine_->SetOscControlDefaultPort(port);
        engine_->DoOscProcessing(true);
    } catch (const std::exception& e) {
        oscServer_.reset();
        onError(e.what(), "OSC Server Error");
    }
}

void MusicalMainController::ConnectOscCueSender()
{
    if (!oscCueSender_)
        return;
    connect(oscCueSender_.get(), &BrixPlayerOscCallback::enqueueOscCommand, this,
            &MusicalMainController::onEnqueueOscCommand, Qt::UniqueConnection);
    // Emitted on the sender's pool threads; the connection queues it to the GUI thread.
    connect(oscCueSender_.get(), &BrixPlayerOscCallback::OutgoingNotification, this,
            &MusicalMainController::HighlightOutgoingOsc, Qt::UniqueConnection);
}

void MusicalMainController::ApplyAudioSettings()
{
    settings_ = std::make_shared<AppSettings>(OpenGeneralSettings(userDataFolder_));
    settings_->Load();
    try {
        engine_->SetOutputDeviceUid(settings_->GetDefaultOutputDeviceString().toStdString());
        engine_->SetVolume(settings_->GetDefaultVolume(), brix_audio::VolumeType::User);
    } catch (const std::exception& e) {
        onError(e.what(), "Error Setting Audio");
    }
}

void MusicalMainController::ShowRehearsalNoticeIfWanted()
{
    if (!factory_->GetShowRehearsalNotice())
        return;
    notice_.reset();
    notice_ = brix::qt::ShowRehearsalNotice(factory_->GetDisplayName(), GetQmlObject(), GetEngine(), settings_);
    emit controllerCreated(QStringLiteral("Dialog"), notice_.get());
}

void MusicalMainController::ShowPerformanceNotice(bool forced)
{
    if (!factory_->GetShowPerformanceNotice())
        return;
    notice_.reset();
    notice_ = brix::qt::ShowPerformanceNotice(factory_->GetDisplayName(), GetQmlObject(), GetEngine(), settings_,
                                              forced);
    emit controllerCreated(QStringLiteral("Dialog"), notice_.get());
}

// ---- Show set-up --------------------------------------------------------------------------------

void MusicalMainController::SetupShow()
{
    oscServer_.reset();
    SetWindowProperty("visible", true);
    QDir().mkpath(userDataFolder_);

    showName_ = show_.name.toStdString();
    exportBaseName_ = QStringLiteral("Export - %1 - %2 - %3")
                          .arg(QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd")), show_.name,
                               show_.customer);
    SetWindowProperty("exportBaseName", exportBaseName_);

    TearDownShow();

    oscEnabled_ = factory_->GetOscEnable();
    if (oscEnabled_) {
        oscCueSender_ = std::make_shared<BrixPlayerOscCallback>(
            static_cast<unsigned short>(oscSettings_.GetOscListenPort()));
        ConnectOscCueSender();
    }
    engine_ = std::shared_ptr<Interface>(factory_->CreatePlayer(show_.folder, oscCueSender_));
    showManager_ = std::make_shared<ShowManager>(engine_);
    editModel_ = std::make_shared<EditModel>(showManager_);
    if (oscCueSender_)
        oscCueSender_->SetInterface(engine_);
    CreateTimeline();
    CreateEditController();
    CreateChangelogFiles();
    CreateOutputPaths();
    CreateScoreView();

    SetWindowProperty("title", factory_->GetDisplayName() + QStringLiteral(" - ") + show_.name +
                                   QStringLiteral(" - ") + show_.customer);
    SetAdminPermission(true);
    StartOscControl();
    LoadAndDisplayAlbumArtwork_();
    WireWindow();
}

void MusicalMainController::DeleteShowWindows()
{
    // The tools refer to the edit controller, the change-log versions to the show manager, and every
    // one of these windows to the engine.
    caesuraTool_.reset();
    clickTool_.reset();
    cutTool_.reset();
    markerTool_.reset();
    oscTool_.reset();
    repeatTool_.reset();
    skipTool_.reset();
    tempoTool_.reset();
    transposeTool_.reset();
    vampTool_.reset();
    audioManager_.reset();
    midiManager_.reset();
    oscManager_.reset();
    changelogFiles_.reset();
    outputPaths_.reset();
    scoreView_.reset();
}

void MusicalMainController::TearDownShow()
{
    DeleteShowWindows();
    mixer_.reset();
    if (edit_)
        disconnect(edit_.get(), nullptr, this, nullptr);
    edit_.reset();
    timeline_.reset();
    // The old engine and its cue sender hold each other; the sender lets go first.
    if (oscCueSender_)
        oscCueSender_->ReleaseInterface();
    oscCueSender_.reset();
    editModel_.reset();
    if (showManager_)
        showManager_->ReleasePlayer();
    showManager_.reset();
    engine_.reset();
}

void MusicalMainController::CreateTimeline()
{
    auto* item = qobject_cast<QQuickItem*>(WindowItem("timelineControl"));
    if (item == nullptr)
        return;
    timeline_ = std::make_unique<TimelineController>(GetEngine(), item, engine_, showManager_, editModel_,
                                                     factory_->GetShowFade(), factory_->GetOscEnable());
    emit controllerCreated(QStringLiteral("Timeline"), timeline_.get());
    auto* timeline = timeline_.get();
    connect(timeline, &TimelineController::EditSelectedSignal, this,
            &MusicalMainController::onBrixEditSelectedExternally);
    connect(timeline, &TimelineController::EditDoubleClickedSignal, this, &MusicalMainController::onEditDoubleClicked);
    connect(timeline, &TimelineController::EditDraggedSignal, this, &MusicalMainController::onBrixEditDragged);
    connect(timeline, &TimelineController::timelineClicked, this, &MusicalMainController::onClearOscQueue);
}

void MusicalMainController::CreateEditController()
{
    auto* item = qobject_cast<QQuickItem*>(WindowItem("editPanelControl"));
    if (item == nullptr || !timeline_)
        return;
    edit_ = std::make_unique<EditController>(GetEngine(), item, showManager_, editModel_, *timeline_,
                                             factory_->GetOscEnable());
    emit controllerCreated(QStringLiteral("Edit"), edit_.get());
    // The window holds the list models for its views; they stay the edit controller's.
    auto model = [](const QObject& listModel) { return QVariant::fromValue(const_cast<QObject*>(&listModel)); };
    SetWindowProperty("markerListModel", model(edit_->GetMarkerList().GetModel()));
    SetWindowProperty("songListModel", model(edit_->GetSongList().GetModel()));
    SetWindowProperty("eventListModel", model(edit_->GetEventList().GetModel()));
    auto* edit = edit_.get();
    connect(edit, &EditController::EventItemChangedSignal, this, &MusicalMainController::onEventItemChanged);
    connect(edit, &EditController::MarkerItemChangedSignal, this, &MusicalMainController::onMarkerItemChanged);
    connect(edit, &QmlController::information, this, &MusicalMainController::onInformation);
    connect(edit, &QmlController::error, this, &MusicalMainController::onError);
}

void MusicalMainController::WireEditController()
{
    if (!edit_)
        return;
    const auto unique = Qt::UniqueConnection;
    auto* edit = edit_.get();
    connect(edit, &EditController::AttaccaStateChanged, this, &MusicalMainController::onAttaccaStageChanged, unique);
    connect(this, &MusicalMainController::SignalAttaccaUpdate, edit, &EditController::TriggerAttaccaUpdate, unique);
    if (menu_) {
        auto* menu = menu_.get();
        connect(menu, &ResponsiveMenuController::UndoRequested, edit, &EditController::UndoRequested, unique);
        connect(menu, &ResponsiveMenuController::RedoRequested, edit, &EditController::RedoRequested, unique);
        connect(menu, &ResponsiveMenuController::DeleteRequested, edit, &EditController::DeleteRequested, unique);
        connect(edit, &EditController::UpdateUndoRedoState, menu, &ResponsiveMenuController::UpdateUndoRedoState,
                unique);
    }
    connect(edit, &EditController::EditButtonSignal, this, &MusicalMainController::onEditButton, unique);
    if (QObject* bar = edit->GetEditBar().GetQmlObject()) {
        connect(bar, SIGNAL(saveButton()), this, SLOT(onSaveButton()), unique);
        connect(bar, SIGNAL(shareButton()), this, SLOT(onSaveAndUploadButton()), unique);
    }
}

void MusicalMainController::CreateChangelogFiles()
{
    if (!edit_)
        return;
    const CurrentShow show = show_;
    CurrentShowSource currentShow = [show] {
        return std::optional<networking::ShowRecord>(networking::ShowRecord{
            {}, show.name.toStdString(), show.customer.toStdString(), show.folder.toStdString(), show.server});
    };
    changelogFiles_ = std::make_unique<ChangelogFilesController>(
        GetEngine(), showManager_, std::move(currentShow), [this] { return oscSettings_.GetOscListenPort(); },
        factory_->GetDisplayName(), GetQmlObject());
    auto* files = changelogFiles_.get();
    connect(files, &ChangelogFilesController::information, this, &MusicalMainController::onInformation);
    connect(files, &ChangelogFilesController::error, this, &MusicalMainController::onError);
    connect(files, &ChangelogFilesController::SignalAttaccaUpdate, this, &MusicalMainController::SignalAttaccaUpdate);
    connect(files, &ChangelogFilesController::SaveCompleted, this, &MusicalMainController::SaveCompleted);
    connect(files, &ChangelogFilesController::controllerCreated, this, &MusicalMainController::controllerCreated);
    connect(files, &ChangelogFilesController::ChangeLogSaved, edit_.get(), &EditController::OnChangeLogSaved);
    connect(files, &ChangelogFilesController::ChangeLogShared, edit_.get(), &EditController::OnChangeLogShared);
}

void MusicalMainController::WireChangelogFiles()
{
    if (!changelogFiles_)
        return;
    const auto unique = Qt::UniqueConnection;
    auto* files = changelogFiles_.get();
    connect(GetQmlObject(), SIGNAL(exportChangelogClicked(QUrl)), files, SLOT(ExportChangelogRequested_(QUrl)), unique);
    if (menu_)
        connect(menu_.get(), &ResponsiveMenuController::getLatestChangelogClicked, files,
                &ChangelogFilesController::GetLatestLogClicked_, unique);
}

void MusicalMainController::CreateOutputPaths()
{
    outputPaths_ = std::make_unique<OutputPathsManagerController>(engine_->GetOutputPathMap(), GetEngine(),
                                                                  GetQmlObject());
    AnnounceWindow("OutputPathsManager", *outputPaths_);
    connect(outputPaths_.get(), &OutputPathsManagerController::AddOutputPathSignal, this,
            &MusicalMainController::onAddOutputhPath);
    connect(outputPaths_.get(), &OutputPathsManagerController::RemoveOutputPathSignal, this,
            &MusicalMainController::onRemoveOutputhPath);
    // The devices this machine chose for the paths reach the engine before anything plays.
    for (const CL::OutputPath& path : outputPaths_->GetModel()->GetPaths())
        onAddOutputhPath(path);
}

void MusicalMainController::CreateScoreView()
{
    QObject* view = WindowItem("scoreControl");
    if (!factory_->GetShowScore() || view == nullptr)
        return;
    scoreView_ = std::make_unique<ScoreViewController>(engine_, view, GetEngine());
    emit controllerCreated(QStringLiteral("ScoreView"), scoreView_.get());
    scoreView_->LoadScore();
}

bool MusicalMainController::HasUnsavedEdits() const
{
    return admin_ && editModel_ && editModel_->GetNeedsSave();
}

void MusicalMainController::LoadAndDisplayAlbumArtwork_()
{
    if (!factory_->GetShowAlbumArtImage())
        return;
    const QString path = QDir(show_.folder).filePath(QStringLiteral("AlbumArtwork.jpg"));
    if (QFileInfo::exists(path)) {
        SetWindowProperty("albumArtImageUrl", QUrl::fromLocalFile(path));
        return;
    }
    std::cerr << "Artwork file not found at:" << path.toStdString() << '\n';
    SetWindowProperty("albumArtImageUrl", QUrl());
    SetWindowProperty("showAlbumArtImage", false);
}

// ---- Engine events ------------------------------------------------------------------------------

void MusicalMainController::HandleEngineEvent(int kind, int value, const QString& text)
{
    namespace k = engine_event_kind;
    if (GetQmlObject() == nullptr)
        return;
    switch (kind) {
    case k::kPlaybackStarted: emit PlayStarted(); break;
    case k::kPlaybackStopped: emit Stopped(); break;
    case k::kPlaybackPaused: emit Paused(); break;
    case k::kPlaybackFading: emit Fading(); break;
    case k::kStatusFlowControl: {
        const FlowControlBanner banner = MakeFlowControlBanner(text, value);
        SetWindowProperty("flowControlLabel", banner.label);
        SetWindowProperty("flowControlValue", banner.value);
        SetWindowProperty("flowControlBackgroundColor", banner.color);
        break;
    }
    case k::kKey: SetWindowProperty("key", text); break;
    case k::kTempo: SetWindowProperty("tempo", text); break;
    case k::kMeter: SetWindowProperty("meter", text); break;
    case k::kTransposition: SetWindowProperty("transpose", QString::number(value)); break;
    case k::kTempoScale: SetWindowProperty("tempoScale", text); break;
    case k::kBarBeat: {
        const BarBeatText barBeat = SplitBarBeat(text);
        SetWindowProperty("beat", barBeat.beat);
        SetWindowProperty("measure", barBeat.measure);
        break;
    }
    case k::kPlayhead:
        if (timeline_)
            timeline_->SetPlayheadPosition(static_cast<std::uint32_t>(value));
        SetWindowProperty("currentTick", value);
        break;
    case k::kProgramChange:
        if (mixer_)
            mixer_->SetTrackProgram(value >> 16, value & 0xFFFF, text);
        break;
    case k::kMarker:
        if (edit_)
            edit_->SelectMarkerRow(value);
        break;
    case k::kSongTitle: SetWindowProperty("songTitle", text); break;
    case k::kSongLoaded: OnSongLoaded(text); break;
    case k::kLearnedMidiCommand: {
        const LearnedMidiCommand command = UnpackLearnedMidiCommand(value);
        emit MidiLearned(command.commandId, command.midiStatus, command.channel, command.note);
        break;
    }
    case k::kMidiCommandCanceled: emit MidiUnlearned(value); break;
    case k::kMidiNotification: CallBanner("highlightMidiNotice"); break;
    case k::kVampOn: SetWindowProperty("highlightContinueButton", true); break;
    case k::kVampOff: SetWindowProperty("highlightContinueButton", false); break;
    case k::kStatusVolume: SetWindowProperty("volumeLevelPercent", VolumeLevelPercent(value)); break;
    case k::kPageNum:
        if (scoreView_ && value > 0)
            scoreView_->SetCurrentPage(static_cast<unsigned int>(value));
        break;
    default: break;
    }
}

void MusicalMainController::OnSongLoaded(const QString&)
{
    if (!engine_)
        return;
    const std::string song = engine_->GetCurrentSongNumber();
    SetWindowProperty("startTick", static_cast<int>(engine_->GetSongAudioStartTick(song)));
    SetWindowProperty("endTick", static_cast<int>(engine_->GetSongAudioEndTick(song)));
    SetWindowProperty("currentTick", static_cast<int>(engine_->GetTickIndex()));
    if (timeline_)
        timeline_->LoadSong(song);
    if (edit_)
        edit_->OnSongChanged(song);
    QObject* mixerView = WindowItem("mixerControl");
    if (factory_->GetShowMixer() && mixerView != nullptr) {
        auto mixer = factory_->CreateMixerController(mixerView, GetEngine(), engine_, settings_);
        mixer_ = std::move(mixer);
        if (mixer_) {
            emit controllerCreated(QStringLiteral("Mixer"), mixer_.get());
            connect(mixer_.get(), &QmlController::error, this, &MusicalMainController::onError);
            connect(mixer_.get(), &QmlController::information, this, &MusicalMainController::onInformation);
        }
    }
}

// ---- Dialogs ------------------------------------------------------------------------------------

void MusicalMainController::onInformation(std::string message, std::string title)
{
    ShowDialog(std::make_unique<DialogController>(message, title, static_cast<unsigned int>(kDialogInfo), GetQmlObject(), GetEngine(), settings_));
}

void MusicalMainController::onError(std::string message, std::string title)
{
    ShowDialog(
        std::make_unique<DialogController>(message, title, static_cast<unsigned int>(kDialogError), GetQmlObject(), GetEngine(), settings_));
}

void MusicalMainController::ShowDialog(std::unique_ptr<DialogController> dialog)
{
    dialog_ = std::move(dialog);
    emit controllerCreated(QStringLiteral("Dialog"), dialog_.get());
}

// ---- Transport ----------------------------------------------------------------------------------

void MusicalMainController::Play_()
{
    if (!engine_)
        return;
    engine_->Play();
    SendQueuedOscCues();
}

void MusicalMainController::Stop_()
{
    if (engine_)
        engine_->Stop();
}

void MusicalMainController::ContinuePlay_()
{
    if (!engine_)
        return;
    engine_->Continue();
    SendQueuedOscCues();
}

void MusicalMainController::PauseToggleSlot_()
{
    PauseToggle_(false);
}

void MusicalMainController::PauseToggle_(bool fadeCompleted)
{
    if (!engine_)
        return;
    if (!engine_->GetIsPaused() && (engine_->GetIsPlaying() || engine_->GetIsFaded()))
        engine_->Pause(fadeCompleted);
    else
        Play_();
}

void MusicalMainController::Fade_(int fadeTimeMs)
{
    if (!engine_ || !engine_->GetIsPlaying())
        return;
    engine_->Fade(PostedToGui([](MusicalMainController& self) { emit self.FadeComplete(true); }),
                  static_cast<float>(fadeTimeMs / 1000.0));
}

void MusicalMainController::FadeToStop_(int fadeTimeMs)
{
    if (!engine_ || !engine_->GetIsPlaying())
        return;
    // The fader's thread only posts; the stop and the next song happen here.
    engine_->Fade(PostedToGui([](MusicalMainController& self) {
                      if (self.engine_)
                          self.engine_->Stop();
                      emit self.FadeComplete(true);
                  }),
                  static_cast<float>(fadeTimeMs / 1000.0));
}

void MusicalMainController::FadeTo_(int fadeTimeMs, double targetVolumerPercent)
{
    if (!engine_)
        return;
    engine_->FadeTo(PostedToGui([](MusicalMainController& self) { emit self.FadeComplete(false); }),
                    static_cast<float>(fadeTimeMs / 1000.0), static_cast<float>(targetVolumerPercent));
}

void MusicalMainController::FadeComplete_(bool gotoNextSong)
{
    if (!engine_)
        return;
    if (engine_->GetIsFaded() && gotoNextSong)
        engine_->NextSong();
    engine_->CancelFade();
}

void MusicalMainController::ContinueFlow_()
{
    if (!engine_)
        return;
    engine_->FlowControlExit();
    SendQueuedOscCues();
}

void MusicalMainController::NextSong_()
{
    onClearOscQueue();
    if (engine_)
        engine_->NextSong();
}

void MusicalMainController::PrevSong_()
{
    onClearOscQueue();
    if (engine_)
        engine_->PrevSong();
}

void MusicalMainController::JumpToBar_(QString barNum)
{
    onClearOscQueue();
    if (!engine_)
        return;
    emit JumpToBarResult(engine_->SeekToBar(barNum.toStdString()));
}

void MusicalMainController::JumpToBarStartRequested()
{
    QMetaObject::invokeMethod(GetQmlObject(), "startJumpToBar");
}

void MusicalMainController::SeekNextMarkerRequested_()
{
    if (showManager_ && showManager_->GetInterface())
        showManager_->GetInterface()->SeekRight();
}

void MusicalMainController::SeekPrevMarkerRequested_()
{
    if (showManager_ && showManager_->GetInterface())
        showManager_->GetInterface()->SeekLeft();
}

void MusicalMainController::SeekNextBarRequested_()
{
    if (showManager_ && showManager_->GetInterface())
        showManager_->GetInterface()->SeekToNextMeasure();
}

void MusicalMainController::SeekPrevBarRequested_()
{
    if (showManager_ && showManager_->GetInterface())
        showManager_->GetInterface()->SeekToPreviousMeasure();
}

void MusicalMainController::JumpPlayheadByTicks_(int tickDelta)
{
    if (!engine_)
        return;
    const bool playing = engine_->GetIsPlaying();
    if (playing)
        engine_->Pause(false);
    engine_->Seek(engine_->GetTickIndex() + static_cast<unsigned int>(tickDelta));
    if (playing)
        engine_->Play();
}

void MusicalMainController::ZoomInRequested_()
{
    if (QObject* timeline = WindowItem("timelineControl"))
        QMetaObject::invokeMethod(timeline, "zoomin", Q_ARG(QVariant, 0.6), Q_ARG(QVariant, true));
}

void MusicalMainController::ZoomOutRequested_()
{
    if (QObject* timeline = WindowItem("timelineControl"))
        QMetaObject::invokeMethod(timeline, "zoomout", Q_ARG(QVariant, 0.6), Q_ARG(QVariant, true));
}

void MusicalMainController::SeekToTick_(int tick)
{
    if (!engine_)
        return;
    engine_->Seek(static_cast<unsigned int>(tick));
    SetWindowProperty("currentTick", static_cast<int>(engine_->GetTickIndex()));
}

void MusicalMainController::onAttaccaStageChanged(std::string songNum, std::uint8_t state)
{
    // A state the engine already has is a report of the loaded log (as when a show opens), not an
    // edit: it changes nothing, so it must not count as one.
    if (!engine_ || engine_->GetAttacca(songNum) == state)
        return;
    engine_->SetAttacca(songNum, state);
    if (edit_)
        edit_->MarkChangeLogChanged();
}

// ---- Timeline, edit panel and edit menu --------------------------------------------------------

void MusicalMainController::onBrixEditSelectedExternally(const cmn::BrixEvent* event)
{
    if (!edit_ || event == nullptr)
        return;
    if (event->code() == codes::marker) {
        edit_->ClearEventListSelection();
        edit_->onBrixMarkerSelectedExternally(event);
    } else {
        edit_->ClearMarkerListSelection();
        edit_->onBrixEditSelectedExternally(event);
    }
}

void MusicalMainController::onEditDoubleClicked()
{
    // The edit controller hands the selected event to the edit tools.
    if (edit_)
        edit_->onBrixEditSelectedEvent();
}

void MusicalMainController::onBrixEditDragged(const cmn::BrixEvent* event, int start, int end, bool adjustLeft,
                                              bool adjustRight)
{
    if (!edit_ || !showManager_ || !engine_ || event == nullptr)
        return;
    // The event keeps within the song: its start not before the song's first tick, its end not after
    // the song's length; an edge that is not being dragged keeps the event's length.
    const std::string song = engine_->GetCurrentSongNumber();
    const std::int64_t lo = showManager_->GetSongStartTickIndex(song);
    const std::int64_t hi = showManager_->GetSongLength(song);
    const std::int64_t length = std::int64_t{end} - start;
    const std::int64_t newEnd = std::min(std::max<std::int64_t>(end, adjustLeft ? 0 : lo + length), hi);
    const std::int64_t newStart =
        std::max<std::int64_t>(std::min(std::max<std::int64_t>(start, lo), hi - (adjustRight ? 0 : length)), 0);
    edit_->onBrixMoveEvent(*event, static_cast<std::uint32_t>(newStart),
                           static_cast<std::uint32_t>(std::max<std::int64_t>(newEnd, 0)), adjustLeft, adjustRight);
    onEditValueUpdated();
}

void MusicalMainController::onEditValueUpdated()
{
    if (edit_)
        edit_->RefreshAfterEdit({}, false);
}

void MusicalMainController::onEventItemChanged(brix::qt::EventInfoItem)
{
    if (edit_)
        edit_->ClearMarkerListSelection();
}

void MusicalMainController::onMarkerItemChanged(brix::qt::MarkerInfoItem)
{
    if (edit_)
        edit_->ClearEventListSelection();
}

void MusicalMainController::onSelectAllRequested_()
{
    if (!engine_)
        return;
    const std::string song = engine_->GetCurrentSongNumber();
    QObject* window = GetQmlObject();
    QMetaObject::invokeMethod(window, "setSelectionStart",
                              Q_ARG(QVariant, static_cast<double>(engine_->GetSongAudioStartTick(song))));
    QMetaObject::invokeMethod(window, "setSelectionEnd",
                              Q_ARG(QVariant, static_cast<double>(engine_->GetSongAudioEndTick(song))));
}

// ---- OSC cue queue ------------------------------------------------------------------------------

void MusicalMainController::onEnqueueOscCommand(CL::Osc osc, uint32_t delay)
{
    if (engine_ && engine_->GetIsPlaying() && oscCueSender_) {
        oscCueSender_->ExecuteEvent(osc, delay);
        return;
    }
    oscCueQueue_.push_back({std::move(osc), delay, engine_ ? engine_->GetCurrentSongNumber() : std::string()});
}

void MusicalMainController::onClearOscQueue()
{
    oscCueQueue_.clear();
}

void MusicalMainController::SendQueuedOscCues()
{
    while (!oscCueQueue_.empty() && oscCueSender_) {
        const QueuedOscCue cue = std::move(oscCueQueue_.front());
        oscCueQueue_.pop_front();
        std::string firstSong;
        std::string currentSong;
        if (engine_) {
            const Interface::SongNames songs = engine_->GetSongNamesBySongNumber();
            if (!songs.empty())
                firstSong = songs.begin()->first;
            currentSong = engine_->GetCurrentSongNumber();
        }
        if (cue.songNumber == currentSong || (cue.songNumber.empty() && currentSong == firstSong))
            oscCueSender_->ExecuteEvent(cue.osc, cue.delay);
    }
}

// ---- Change-log versions and manager windows ---------------------------------------------------

void MusicalMainController::onSaveButton()
{
    if (changelogFiles_)
        changelogFiles_->onSaveButton();
}

void MusicalMainController::onSaveAndUploadButton()
{
    if (changelogFiles_)
        changelogFiles_->onSaveAndUploadButton();
}

void MusicalMainController::AnnounceWindow(const char* name, QmlController& window)
{
    connect(&window, &QmlController::error, this, &MusicalMainController::onError);
    connect(&window, &QmlController::information, this, &MusicalMainController::onInformation);
    emit controllerCreated(QString::fromLatin1(name), &window);
}

void MusicalMainController::ShowAudioManager_()
{
    if (!engine_)
        return;
    audioManager_.reset();
    audioManager_ = std::make_unique<AudioManagerController>(GetQmlObject(), GetEngine(), engine_);
    AnnounceWindow("AudioManager", *audioManager_);
    connect(audioManager_.get(), &AudioManagerController::audioSettingsUpdated, this,
            &MusicalMainController::onAudioSettingsUpdated);
    audioManager_->SetVisible(true);
}

void MusicalMainController::ShowMidiManager_()
{
    if (!showManager_)
        return;
    midiManager_.reset();
    midiManager_ = std::make_unique<MidiManagerController>(GetQmlObject(), GetEngine(), showManager_, settings_);
    AnnounceWindow("MidiManager", *midiManager_);
    connect(this, &MusicalMainController::MidiLearned, midiManager_.get(), &MidiManagerController::MidiLearned);
    connect(this, &MusicalMainController::MidiUnlearned, midiManager_.get(), &MidiManagerController::MidiUnlearned);
    midiManager_->SetVisible(true);
}

void MusicalMainController::ShowOscManager_()
{
    if (!engine_)
        return;
    oscManager_.reset();
    oscManager_ = std::make_unique<OscManagerController>(GetEngine(), oscSettings_, engine_, GetQmlObject());
    AnnounceWindow("OscManager", *oscManager_);
    connect(oscManager_.get(), &OscManagerController::oscSettingsUpdated, this,
            &MusicalMainController::onOscSettingsUpdated_);
    oscManager_->SetVisible(true);
}

void MusicalMainController::ShowOutputPaths_()
{
    if (outputPaths_)
        outputPaths_->SetVisible(true);
}

void MusicalMainController::ShowChangelogManager_()
{
    if (changelogFiles_)
        changelogFiles_->ShowChangelogManager_();
}

void MusicalMainController::onAudioSettingsUpdated()
{
    if (!engine_ || !audioManager_)
        return;
    try {
        engine_->Stop();
        const QString device = audioManager_->GetOutputDevice();
        const double volume = audioManager_->GetVolume();
        engine_->SetOutputDeviceUid(device.toStdString());
        engine_->SetVolume(volume, brix_audio::VolumeType::User);
        // The device is stored with the volume, so the next start plays where this one does.
        settings_->SetDefaultOutputDeviceString(device);
        settings_->SetDefaultVolume(volume);
        settings_->Save();
    } catch (const std::exception& e) {
        onError(e.what(), "Error Updating Audio Settings");
    }
}

void MusicalMainController::onOscSettingsUpdated_(brix::osc::OscSettings newSettings,
                                                  CL::NetworkPathVectorT& newNetworks)
{
    try {
        oscSettings_ = std::move(newSettings);
        oscSettings_.Write(oscSettingsPath_.toStdString());
        if (engine_) {
            if (CL::Editor* editor = engine_->GetChangeLogEditor())
                editor->UpdateNetworks(newNetworks);
        }
        if (edit_)
            edit_->ReloadChangeLog();
    } catch (const std::exception& e) {
        onError(e.what(), "OSC Settings Failed to Save");
    }
    StartOscControl();
}

void MusicalMainController::onAddOutputhPath(const CL::OutputPath& path)
{
    if (engine_)
        engine_->onAddOutputhPath(path);
}

void MusicalMainController::onRemoveOutputhPath(const CL::OutputPath& path)
{
    if (engine_)
        engine_->onRemoveOutputhPath(path);
}

// ---- Edit tools ---------------------------------------------------------------------------------

template <class Tool>
Tool* MusicalMainController::OpenTool(std::unique_ptr<Tool>& slot, const char* name, void (Tool::*closing)(),
                                      void (MusicalMainController::*onClosing)())
{
    if (!edit_ || !engine_)
        return nullptr;
    slot.reset();
    slot = std::make_unique<Tool>(GetEngine(), edit_.get(), engine_, GetQmlObject());
    AnnounceWindow(name, *slot);
    connect(slot.get(), &EditToolController::valuesUpdated, this, &MusicalMainController::onEditValueUpdated);
    connect(slot.get(), closing, this, onClosing);
    return slot.get();
}

template <class Tool>
void MusicalMainController::CloseTool(std::unique_ptr<Tool>& slot)
{
    // The tool's own closing signal is on the stack: it goes once that returned.
    if (slot)
        slot.release()->deleteLater();
}

TL::BarsBeats MusicalMainController::BarBeatOf(int tick) const
{
    return engine_->GetBarBeatByTick(static_cast<unsigned int>(std::max(tick, 0)));
}

std::uint32_t MusicalMainController::AtOrAfterMinStart(int tick) const
{
    return std::max(static_cast<std::uint32_t>(std::max(tick, 0)), engine_->GetMinStartTickIndex());
}

void MusicalMainController::onCaesuraButton(int start)
{
    if (auto* tool = OpenTool(caesuraTool_, "CaesuraTool", &CaesuraToolController::caesuraToolClosing,
                              &MusicalMainController::onCaesuraToolClosing)) {
        const std::uint32_t at = AtOrAfterMinStart(start);
        tool->onCaesuraButtonClicked(engine_->GetBarBeatByTick(at), engine_->GetMinStartTickIndex());
    }
}

void MusicalMainController::onClickButton(int startTick, int endTick)
{
    if (auto* tool = OpenTool(clickTool_, "ClickTool", &ClickToolController::clickToolClosing,
                              &MusicalMainController::onClickToolClosing)) {
        const auto onClickGrid = [this](int tick) {
            return engine_->GetBarBeatByTick(static_cast<unsigned int>(std::max(tick, 0)), false, true);
        };
        tool->onClickButtonClicked(onClickGrid(startTick), onClickGrid(endTick));
        ShowClickToolNotice();
    }
}

void MusicalMainController::onCutButton(int startTick, int endTick)
{
    if (auto* tool = OpenTool(cutTool_, "CutTool", &CutToolController::cutToolClosing,
                              &MusicalMainController::onCutToolClosing))
        tool->onCutButtonClicked(BarBeatOf(startTick), BarBeatOf(endTick));
}

void MusicalMainController::onMarkerButton(int start)
{
    if (auto* tool = OpenTool(markerTool_, "MarkerTool", &MarkerToolController::markerToolClosing,
                              &MusicalMainController::onMarkerToolClosing))
        tool->onMarkerButtonClicked(BarBeatOf(start));
}

void MusicalMainController::onOscButton(int startTick)
{
    if (auto* tool = OpenTool(oscTool_, "OscTool", &OscToolController::toolClosing,
                              &MusicalMainController::onOscToolClosing)) {
        const std::uint32_t at = AtOrAfterMinStart(startTick);
        tool->onToolButtonClicked(engine_->GetBarBeatByTick(at), engine_->GetMinStartTickIndex());
    }
}

void MusicalMainController::onRepeatButton(int startTick, int endTick)
{
    if (auto* tool = OpenTool(repeatTool_, "RepeatTool", &RepeatToolController::repeatToolClosing,
                              &MusicalMainController::onRepeatToolClosing))
        tool->onRepeatButtonClicked(BarBeatOf(startTick), BarBeatOf(endTick));
}

void MusicalMainController::onSkipButton(int startTick, int endTick)
{
    if (auto* tool = OpenTool(skipTool_, "SkipTool", &SkipToolController::skipToolClosing,
                              &MusicalMainController::onSkipToolClosing))
        tool->onSkipButtonClicked(BarBeatOf(startTick), BarBeatOf(endTick));
}

void MusicalMainController::onTempoButton(int startTick, int endTick)
{
    if (auto* tool = OpenTool(tempoTool_, "TempoTool", &TempoToolController::tempoToolClosing,
                              &MusicalMainController::onTempoToolClosing))
        tool->onTempoButtonClicked(BarBeatOf(startTick), BarBeatOf(endTick));
}

void MusicalMainController::onTransposeButton(int startTick, int endTick)
{
    if (auto* tool = OpenTool(transposeTool_, "TransposeTool", &TransposeToolController::transposeToolClosing,
                              &MusicalMainController::onTransposeToolClosing))
        tool->onTransposeButtonClicked(BarBeatOf(startTick), BarBeatOf(endTick));
}

void MusicalMainController::onVampButton(int startTick, int endTick)
{
    if (auto* tool = OpenTool(vampTool_, "VampTool", &VampToolController::vampToolClosing,
                              &MusicalMainController::onVampToolClosing))
        tool->onVampButtonClicked(BarBeatOf(startTick), BarBeatOf(endTick));
}

void MusicalMainController::onCaesuraEdit(cmn::BrixEvent* event)
{
    if (auto* tool = OpenTool(caesuraTool_, "CaesuraTool", &CaesuraToolController::caesuraToolClosing,
                              &MusicalMainController::onCaesuraToolClosing))
        tool->onCaesuraEdit(event);
}

void MusicalMainController::onClickEdit(cmn::BrixEvent* event)
{
    if (auto* tool = OpenTool(clickTool_, "ClickTool", &ClickToolController::clickToolClosing,
                              &MusicalMainController::onClickToolClosing))
        tool->onClickEdit(event);
}

void MusicalMainController::onCutEdit(cmn::BrixEvent* event)
{
    if (auto* tool = OpenTool(cutTool_, "CutTool", &CutToolController::cutToolClosing,
                              &MusicalMainController::onCutToolClosing))
        tool->onCutEdit(event);
}

void MusicalMainController::onMarkerEdit(cmn::BrixEvent* event)
{
    if (auto* tool = OpenTool(markerTool_, "MarkerTool", &MarkerToolController::markerToolClosing,
                              &MusicalMainController::onMarkerToolClosing))
        tool->onMarkerEdit(event);
}

void MusicalMainController::onOscEdit(cmn::BrixEvent* event)
{
    if (auto* tool = OpenTool(oscTool_, "OscTool", &OscToolController::toolClosing,
                              &MusicalMainController::onOscToolClosing))
        tool->onToolEdit(event, engine_->GetMinStartTickIndex());
}

void MusicalMainController::onRepeatEdit(cmn::BrixEvent* event)
{
    if (auto* tool = OpenTool(repeatTool_, "RepeatTool", &RepeatToolController::repeatToolClosing,
                              &MusicalMainController::onRepeatToolClosing))
        tool->onRepeatEdit(event);
}

void MusicalMainController::onSkipEdit(cmn::BrixEvent* event)
{
    if (auto* tool = OpenTool(skipTool_, "SkipTool", &SkipToolController::skipToolClosing,
                              &MusicalMainController::onSkipToolClosing))
        tool->onSkipEdit(event);
}

void MusicalMainController::onTempoEdit(cmn::BrixEvent* event)
{
    if (auto* tool = OpenTool(tempoTool_, "TempoTool", &TempoToolController::tempoToolClosing,
                              &MusicalMainController::onTempoToolClosing))
        tool->onTempoEdit(event);
}

void MusicalMainController::onTransposeEdit(cmn::BrixEvent* event)
{
    if (auto* tool = OpenTool(transposeTool_, "TransposeTool", &TransposeToolController::transposeToolClosing,
                              &MusicalMainController::onTransposeToolClosing))
        tool->onTransposeEdit(event);
}

void MusicalMainController::onVampEdit(cmn::BrixEvent* event)
{
    if (auto* tool = OpenTool(vampTool_, "VampTool", &VampToolController::vampToolClosing,
                              &MusicalMainController::onVampToolClosing))
        tool->onVampEdit(event);
}

void MusicalMainController::onCaesuraToolClosing() { CloseTool(caesuraTool_); }
void MusicalMainController::onClickToolClosing() { CloseTool(clickTool_); }
void MusicalMainController::onCutToolClosing() { CloseTool(cutTool_); }
void MusicalMainController::onMarkerToolClosing() { CloseTool(markerTool_); }
void MusicalMainController::onOscToolClosing() { CloseTool(oscTool_); }
void MusicalMainController::onRepeatToolClosing() { CloseTool(repeatTool_); }
void MusicalMainController::onSkipToolClosing() { CloseTool(skipTool_); }
void MusicalMainController::onTempoToolClosing() { CloseTool(tempoTool_); }
void MusicalMainController::onTransposeToolClosing() { CloseTool(transposeTool_); }
void MusicalMainController::onVampToolClosing() { CloseTool(vampTool_); }

void MusicalMainController::onEditButton(cmn::BrixEvent* event)
{
    if (event == nullptr)
        return;
    switch (event->code()) {
    case codes::caesura: onCaesuraEdit(event); break;
    case codes::click: onClickEdit(event); break;
    case codes::cut: onCutEdit(event); break;
    case codes::marker: onMarkerEdit(event); break;
    case codes::osc: onOscEdit(event); break;
    case codes::repeat: onRepeatEdit(event); break;
    case codes::fermata: onSkipEdit(event); break;
    case codes::tempoScale: onTempoEdit(event); break;
    case codes::transpose: onTransposeEdit(event); break;
    case codes::vamp: onVampEdit(event); break;
    default: break;
    }
}

void MusicalMainController::ShowClickToolNotice()
{
    if (factory_->GetShowClickToolNotice())
        return;
    // A word joiner after each bar keeps the product names whole when the text wraps.
    const std::string text =
        "While there is no audible click track present in Vell|\u2060Stroud, this feature changes the resolution "
        "of where you can place events in the timeline to allow for more precise editing. Be aware any edits made "
        "to the click in Vell|\u2060Stroud will affect the click track in Tarn|\u2060Wick.";
    notice_.reset();
    notice_ = std::make_unique<DialogController>(text, "About Click in " + factory_->GetDisplayName().toStdString(),
                                                 static_cast<unsigned int>(kDialogInfo), GetQmlObject(), GetEngine(),
                                                 settings_);
    emit controllerCreated(QStringLiteral("Dialog"), notice_.get());
}

// ---- Edit mode and notices ----------------------------------------------------------------------

void MusicalMainController::SetAdminPermission(bool admin)
{
    admin_ = admin;
    emit AdminPermissionSet(admin);
}

void MusicalMainController::performanceEssentialsClicked()
{
    ShowPerformanceNotice(true);
}

// ---- Helpers ------------------------------------------------------------------------------------

std::function<void()> MusicalMainController::PostedToGui(std::function<void(MusicalMainController&)> onGui) const
{
    return [liveness = liveness_, onGui = std::move(onGui)] {
        std::lock_guard lock(liveness->mutex);
        if (MusicalMainController* self = liveness->self)
            QMetaObject::invokeMethod(self, [self, onGui] { onGui(*self); }, Qt::QueuedConnection);
    };
}

void MusicalMainController::SetWindowProperty(const char* name, const QVariant& value)
{
    if (QObject* window = GetQmlObject())
        window->setProperty(name, value);
}

QObject* MusicalMainController::WindowItem(const char* property) const
{
    QObject* window = GetQmlObject();
    return window == nullptr ? nullptr : window->property(property).value<QObject*>();
}

void MusicalMainController::HighlightOutgoingOsc()
{
    CallBanner("highlightOscOutgoingNotice");
}

void MusicalMainController::CallBanner(const char* function)
{
    if (QObject* banner = WindowItem("statusBannerControl"))
        QMetaObject::invokeMethod(banner, function);
}

}  // namespace brix::qt
