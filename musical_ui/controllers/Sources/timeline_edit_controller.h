#pragma once

#include "qml_controller.h"

#include <brix_core/BrixEvent.h>

#include <QPointer>

#include <memory>

class QQuickItem;

namespace brix::qt {

class EditModel;

// TimelineEditController: the edit bar of the edit panel (TimeLineEditorBar.qml, wrapped). It keeps
// the enabled state of Edit, Delete, Undo, Redo, Save and Share in step with the change-log editor and
// the edit model, keeps the save flags with their notifications, and turns the action buttons into
// signals for the edit controller. The ten tool buttons are relayed by the QML itself.
// Owner: the EditController. Thread: GUI thread only.
class TimelineEditController : public QmlController {
    Q_OBJECT

public:
    TimelineEditController(QQuickItem* bar, std::shared_ptr<EditModel> editModel, QQmlEngine* engine);

    void SetSaveEnabled(bool enabled);
    // Undo, Redo, Save and Share from the editor and the save flags; emits UndoRedoStateUpdated.
    void UpdateButtons();
    // Edit and Delete enabled exactly while an event is selected.
    void UpdateSelectionButtons();
    void MarkChanged();
    void MarkSaved();
    void MarkShared();

signals:
    void EditButtonSignal(cmn::BrixEvent* brixEvent);
    void UndoRedoStateUpdated(bool canUndo, bool canRedo, bool canSave, bool canShare);
    void DeleteRequested();
    void UndoRequested();
    void RedoRequested();

public slots:
    void OnEditButton_();
    void OnSaveButton_();
    void OnSaveAndUploadButton_();

private:
    void SetNeedsSave(bool needs);
    void SetNeedsUpload(bool needs);

    std::shared_ptr<EditModel> editModel_;
    QPointer<QQuickItem> editButton_;
    QPointer<QQuickItem> deleteButton_;
    QPointer<QQuickItem> undoButton_;
    QPointer<QQuickItem> redoButton_;
    QPointer<QQuickItem> saveButton_;
    QPointer<QQuickItem> shareButton_;
};

}  // namespace brix::qt
