#include "input_dialog_controller.h"

#include "guarded_slot.h"
#include "qml_controller.h"

#include <QQmlComponent>
#include <QQmlContext>
#include <QQmlEngine>
#include <QQmlError>
#include <QWindow>

#include <iostream>
#include <utility>

namespace brix::qt {

InputDialogController::InputDialogController(const std::string& text, const std::string& title,
                                             unsigned int kind, QQmlEngine* engine, QObject* parent,
                                             ReplyCallback reply, bool showConfirmation)
    : reply_(std::move(reply)), title_(title)
{
    QQmlComponent component(engine);
    component.setData("import com.fernwhistlestudios.brix_ui\nFlatInputWindow {}\n", QUrl());
    if (!component.isError()) {
        window_ = component.createWithInitialProperties(
            {{QStringLiteral("showConfirmation"), showConfirmation}}, engine->rootContext());
    }
    if (window_.isNull()) {
        for (const QQmlError& loadError : component.errors())
            std::cerr << loadError.toString().toStdString() << '\n';
        return;
    }
    if (auto* window = qobject_cast<QWindow*>(window_.data()))
        window->setTransientParent(WindowOf(parent));
    window_->setProperty("title", QString::fromStdString(title));
    window_->setProperty("text", QString::fromStdString(text));
    window_->setProperty("type", InputDialogType(kind));
    connect(window_.data(), SIGNAL(accepted()), this, SLOT(accepted()));
    window_->setProperty("visible", true);
}

InputDialogController::~InputDialogController()
{
    if (!window_.isNull())
        window_->deleteLater();
}

void InputDialogController::SetConfirmationPreamble(const QString& preamble)
{
    SetProperty("confirmationPreamble", preamble);
}

void InputDialogController::SetProperty(const char* name, const QVariant& value)
{
    if (!window_.isNull())
        window_->setProperty(name, value);
}

void InputDialogController::accepted()
{
    RunGuarded(
        title_,
        [this] {
            const QString value = window_.isNull() ? QString() : window_->property("value").toString();
            if (reply_)
                reply_(value.toStdString());
        },
        [this](const std::string& message, const std::string& title) { emit error(message, title); });
}

}  // namespace brix::qt
