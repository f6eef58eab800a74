#include "timeline_edit_controller.h"

#include "EditModel.h"
#include "ShowManager.h"

#include <brix_core/CallbackDispatcher.h>
#include <brix_core/Editor.h>
#include <brix_core/NotifyNames.h>

#include <QQuickItem>
#include <QVariant>

namespace brix::qt {

namespace {

QQuickItem* Control(QObject* bar, const char* name)
{
    return bar == nullptr ? nullptr : bar->property(name).value<QQuickItem*>();
}

void Enable(QQuickItem* button, bool enabled)
{
    if (button != nullptr)
        button->setEnabled(enabled);
}

}  // namespace

TimelineEditController::TimelineEditController(QQuickItem* bar, std::shared_ptr<EditModel> editModel,
                                               QQmlEngine* engine)
    : QmlController(bar, engine),
      editModel_(std::move(editModel)),
      editButton_(Control(bar, "editButtonControl")),
      deleteButton_(Control(bar, "deleteButtonControl")),
      undoButton_(Control(bar, "undoButtonControl")),
      redoButton_(Control(bar, "redoButtonControl")),
      saveButton_(Control(bar, "saveControl")),
      shareButton_(Control(bar, "shareControl"))
{
    if (bar != nullptr) {
        connect(bar, SIGNAL(editButton()), this, SLOT(OnEditButton_()));
        connect(bar, SIGNAL(deleteButton()), this, SIGNAL(DeleteRequested()));
        connect(bar, SIGNAL(undoButton()), this, SIGNAL(UndoRequested()));
        connect(bar, SIGNAL(redoButton()), this, SIGNAL(RedoRequested()));
        connect(bar, SIGNAL(saveButton()), this, SLOT(OnSaveButton_()));
        connect(bar, SIGNAL(shareButton()), this, SLOT(OnSaveAndUploadButton_()));
    }
}

void TimelineEditController::OnEditButton_()
{
    emit EditButtonSignal(const_cast<cmn::BrixEvent*>(editModel_->GetSelectedEvent()));
}

void TimelineEditController::OnSaveButton_()
{
    SetSaveEnabled(false);
}

void TimelineEditController::OnSaveAndUploadButton_()
{
    SetSaveEnabled(false);
}

void TimelineEditController::SetSaveEnabled(bool enabled)
{
    Enable(saveButton_, enabled);
}

void TimelineEditController::UpdateButtons()
{
    const std::shared_ptr<Interface> engine = editModel_->GetShowManager()->GetInterface();
    const CL::Editor* editor = engine ? engine->GetChangeLogEditor() : nullptr;
    if (editor == nullptr)
        return;
    const bool canUndo = editor->CanUndo();
    const bool canRedo = editor->CanRedo();
    Enable(redoButton_, canRedo);
    Enable(undoButton_, canUndo);
    Enable(saveButton_, editModel_->GetNeedsSave());
    Enable(shareButton_, editModel_->GetNeedsUpload());
    emit UndoRedoStateUpdated(canUndo, canRedo, editModel_->GetNeedsSave(), editModel_->GetNeedsUpload());
}

void TimelineEditController::UpdateSelectionButtons()
{
    const bool selected = editModel_->GetSelectedEvent() != nullptr;
    Enable(editButton_, selected);
    Enable(deleteButton_, selected);
}

void TimelineEditController::SetNeedsSave(bool needs)
{
    editModel_->SetNeedsSave(needs);
    notify::callbackDispatcher.Notify(notify::names::editModelChangeLogNeedsSave, &needs);
}

void TimelineEditController::SetNeedsUpload(bool needs)
{
    editModel_->SetNeedsUpload(needs);
    notify::callbackDispatcher.Notify(notify::names::editModelChangeLogNeedsUpload, &needs);
}

void TimelineEditController::MarkChanged()
{
    SetNeedsSave(true);
    SetNeedsUpload(true);
    UpdateButtons();
}

void TimelineEditController::MarkSaved()
{
    SetNeedsSave(false);
    UpdateButtons();
}

void TimelineEditController::MarkShared()
{
    SetNeedsSave(false);
    SetNeedsUpload(false);
    UpdateButtons();
}

}  // namespace brix::qt
