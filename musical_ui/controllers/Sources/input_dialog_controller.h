#pragma once

#include "dialog_kinds.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QVariant>

#include <functional>
#include <string>

class QQmlEngine;

namespace brix::qt {

// InputDialogController: a modal question (FlatInputWindow of the widget module) with Cancel, OK and
// an optional third button, an optional confirmation box and an optional text field. OK hands the
// field's text to the reply callback; callers that need Cancel or the third button connect to the
// window's cancelled() and negated() themselves. An exception of the reply callback leaves through
// `error` (message, title: the dialog's title), which the owner shows as a dialog.
// Owns its window. Thread: GUI thread only.
class InputDialogController : public QObject {
    Q_OBJECT

public:
    using ReplyCallback = std::function<void(std::string)>;

    // `parent` is the object the dialog belongs to; the dialog stays above the window it shows in.
    InputDialogController(const std::string& text, const std::string& title, unsigned int kind,
                          QQmlEngine* engine, QObject* parent, ReplyCallback reply, bool showConfirmation);
    ~InputDialogController() override;

    InputDialogController(const InputDialogController&) = delete;
    InputDialogController& operator=(const InputDialogController&) = delete;

    QObject* GetQmlObject() const { return window_.data(); }
    void SetConfirmationPreamble(const QString& preamble);
    // Sets any property of the window by name.
    void SetProperty(const char* name, const QVariant& value);

signals:
    void error(std::string message, std::string title);

public slots:
    void accepted();

private:
    // Guarded: the window may go with its transient parent's engine before the controller.
    QPointer<QObject> window_;
    ReplyCallback reply_;
    std::string title_;
};

}  // namespace brix::qt
