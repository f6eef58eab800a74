#include "brix_menu_controller.h"

#include <QMetaObject>
#include <QStandardPaths>
#include <QVariant>

namespace brix::qt {

ResponsiveMenuController::ResponsiveMenuController(bool showAudioManager, const QString& appName, QQmlEngine* engine,
                                                   QObject* menuItem, bool oscEnabled, bool showPerformanceEssentials)
    : QmlController(menuItem, engine), appName_(appName)
{
    menuItem->setProperty("showAudioManager", showAudioManager);
    menuItem->setProperty("oscEnabled", oscEnabled);
    menuItem->setProperty("showPerformanceEssentials", showPerformanceEssentials);
    menuItem->setProperty(
        "exportFolder",
        QUrl::fromLocalFile(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation)));
    WireMenu();
}

ResponsiveMenuController::~ResponsiveMenuController() = default;

void ResponsiveMenuController::WireMenu()
{
    QObject* item = GetQmlObject();
    item->setProperty("appName", appName_);
    connect(item, SIGNAL(aboutClicked()), this, SLOT(AboutClicked_()));
    connect(item, SIGNAL(performanceEssentialsClicked()), this, SIGNAL(performanceEssentialsClicked()));
    connect(item, SIGNAL(midiCommandsClicked()), this, SIGNAL(midiCommandsClicked()));
    connect(item, SIGNAL(oscManagerClicked()), this, SIGNAL(oscManagerClicked()));
    connect(item, SIGNAL(audioManagerClicked()), this, SIGNAL(audioManagerClicked()));
    connect(item, SIGNAL(playPause()), this, SIGNAL(PlayPauseRequested()));
    connect(item, SIGNAL(stop()), this, SIGNAL(StopRequested()));
    connect(item, SIGNAL(continuePlay()), this, SIGNAL(ContinuePlayRequested()));
    connect(item, SIGNAL(jumpToBarStart()), this, SIGNAL(JumpToBarStartRequested()));
    connect(item, SIGNAL(nextMarker()), this, SIGNAL(SeekNextMarkerRequested()));
    connect(item, SIGNAL(previousMarker()), this, SIGNAL(SeekPrevMarkerRequested()));
    connect(item, SIGNAL(nextBar()), this, SIGNAL(SeekNextBarRequested()));
    connect(item, SIGNAL(previousBar()), this, SIGNAL(SeekPrevBarRequested()));
    connect(item, SIGNAL(zoomIn()), this, SIGNAL(ZoomInRequested()));
    connect(item, SIGNAL(zoomOut()), this, SIGNAL(ZoomOutRequested()));
    connect(item, SIGNAL(deleteSelected()), this, SIGNAL(DeleteRequested()));
    connect(item, SIGNAL(undo()), this, SIGNAL(UndoRequested()));
    connect(item, SIGNAL(redo()), this, SIGNAL(RedoRequested()));
    connect(item, SIGNAL(getLatestLogClicked()), this, SIGNAL(getLatestChangelogClicked()));
    connect(item, SIGNAL(saveClicked()), this, SIGNAL(saveRequested()));
    connect(item, SIGNAL(shareClicked()), this, SIGNAL(shareRequested()));
    connect(item, SIGNAL(selectAll()), this, SIGNAL(selectAllRequested()));
}

void ResponsiveMenuController::UpdateUndoRedoState(bool canUndo, bool canRedo, bool canSave, bool canShare)
{
    QObject* item = GetQmlObject();
    item->setProperty("canUndo", canUndo);
    item->setProperty("canRedo", canRedo);
    item->setProperty("canSave", canSave);
    item->setProperty("canShare", canShare);
}

void ResponsiveMenuController::SetAdminPermission(bool admin)
{
    GetQmlObject()->setProperty("isAdmin", admin);
}

void ResponsiveMenuController::AboutClicked_()
{
    auto* about = GetQmlObject()->property("aboutWindow").value<QObject*>();
    if (about != nullptr)
        QMetaObject::invokeMethod(about, "open", Qt::AutoConnection);
}

}  // namespace brix::qt
