#pragma once

#include "qml_controller.h"

#include <QString>
#include <QUrl>

class QQmlEngine;

namespace brix::qt {

// ResponsiveMenuController: wraps the main window's menu item `ResponsiveMenu` (not owned). It gives
// the item the application's name and which optional windows the product has, relays the item's
// signals as its own for the main window controller, and pushes the edit state into the item.
// The About entry opens the item's embedded About panel. Owned by the main window controller.
// Thread: GUI thread only.
class ResponsiveMenuController : public QmlController {
    Q_OBJECT

public:
    ResponsiveMenuController(bool showAudioManager, const QString& appName, QQmlEngine* engine, QObject* menuItem,
                             bool oscEnabled, bool showPerformanceEssentials);
    ~ResponsiveMenuController() override;

signals:
    void midiCommandsClicked();
    void oscManagerClicked();
    void audioManagerClicked();
    void aboutClicked();
    void performanceEssentialsClicked();
    void UndoRequested();
    void RedoRequested();
    void DeleteRequested();
    void PlayPauseRequested();
    void StopRequested();
    void ContinuePlayRequested();
    void JumpToBarStartRequested();
    void SeekNextMarkerRequested();
    void SeekPrevMarkerRequested();
    void SeekNextBarRequested();
    void SeekPrevBarRequested();
    void ZoomInRequested();
    void ZoomOutRequested();
    void ViewPastLogsRequested();
    void ExportChangelogClicked(QUrl path);
    void getLatestChangelogClicked();
    void shareRequested();
    void saveRequested();
    void selectAllRequested();

public slots:
    void UpdateUndoRedoState(bool canUndo, bool canRedo, bool canSave, bool canShare);
    // Sets the item's admin permission, which enables the editing entries.
    void SetAdminPermission(bool admin);

private slots:
    void AboutClicked_();

private:
    void WireMenu();

    QString appName_;
};

}  // namespace brix::qt
