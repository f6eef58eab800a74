#include "dialog_controller.h"

#include "AppSettings.h"

#include <QUrl>
#include <QVariantMap>

#include <utility>

namespace brix::qt {

namespace {

const QUrl kDialogUrl(QStringLiteral("qrc:/qt/qml/com/fernwhistlestudios/brix_ui/qml/FlatDialogWindow.qml"));

}  // namespace

DialogController::DialogController(const std::string& text, const std::string& title, unsigned int kind,
                                   QObject* parent, QQmlEngine* engine,
                                   std::shared_ptr<brix::AppSettings> settings, bool showCheckbox,
                                   const std::string& dialogKey, bool makeNeverShowSecret, bool largerWindow,
                                   bool acknowledgeCheckbox, const std::string& checkboxText)
    : QmlController(engine, kDialogUrl, parent, true,
                    {{QStringLiteral("title"), QString::fromStdString(title)},
                     {QStringLiteral("text"), QString::fromStdString(text)}}),
      settings_(std::move(settings)),
      dialogKey_(QString::fromStdString(dialogKey))
{
    if (!MayShow())
        return;
    if (QObject* window = GetQmlObject()) {
        window->setProperty("type", MessageDialogType(kind));
        if (showCheckbox)
            window->setProperty("showCheckbox", true);
        connect(window, SIGNAL(checkboxConfirmed()), this, SLOT(onCheckboxConfirmed()));
        if (acknowledgeCheckbox)
            window->setProperty("acknowledgeCheckbox", true);
        window->setProperty("okCheckboxString", QString::fromStdString(checkboxText));
        if (largerWindow)
            window->setProperty("largerWindow", true);
        if (makeNeverShowSecret)
            window->setProperty("makeNeverShowSecret", true);
    }
    // Without a window (its document failed to load) this throws the base's runtime error.
    SetVisible(true);
}

DialogController::DialogController(const std::string& text, const std::string& title, unsigned int kind,
                                   QObject* parent, QQmlEngine* engine,
                                   std::shared_ptr<brix::AppSettings> settings)
    : DialogController(text, title, kind, parent, engine, std::move(settings), false, std::string(), false,
                       false, false, "Acknowledge")
{
}

bool DialogController::MayShow() const
{
    return !settings_ || dialogKey_.isEmpty() || settings_->GetShowDialog(dialogKey_);
}

void DialogController::onCheckboxConfirmed()
{
    if (settings_ && !dialogKey_.isEmpty())
        settings_->SetShowDialog(dialogKey_, false);
}

}  // namespace brix::qt
