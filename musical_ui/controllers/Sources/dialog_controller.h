#pragma once

#include "dialog_kinds.h"
#include "qml_controller.h"

#include <QString>

#include <memory>
#include <string>

class QQmlEngine;

namespace brix {
class AppSettings;
}

namespace brix::qt {

// DialogController: a modal message (FlatDialogWindow of the widget module) with an optional
// "Do not show again" box. A dialog with settings and a key that the user silenced is created but
// never shown; ticking the box and pressing OK stores the silence under the key (group "Dialogs" of
// the general settings). Owned by the controller that shows the message, one at a time.
// Thread: GUI thread only.
class DialogController : public QmlController {
    Q_OBJECT

public:
    DialogController(const std::string& text, const std::string& title, unsigned int kind, QObject* parent,
                     QQmlEngine* engine, std::shared_ptr<brix::AppSettings> settings, bool showCheckbox,
                     const std::string& dialogKey, bool makeNeverShowSecret, bool largerWindow,
                     bool acknowledgeCheckbox, const std::string& checkboxText);
    // No boxes, no key, the normal size.
    DialogController(const std::string& text, const std::string& title, unsigned int kind, QObject* parent,
                     QQmlEngine* engine, std::shared_ptr<brix::AppSettings> settings);

public slots:
    void onCheckboxConfirmed();

private:
    bool MayShow() const;

    std::shared_ptr<brix::AppSettings> settings_;
    QString dialogKey_;
};

}  // namespace brix::qt
