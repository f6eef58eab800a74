#pragma once

#include "NetworkListModel.h"
#include "qml_controller.h"

#include <OscSettings.h>
#include <brix_core/NetworkPath.h>

#include <QString>

#include <memory>

class Interface;
class QQmlEngine;

namespace brix::qt {

// OscManagerController: the "OSC Manager" window. It shows the application's OSC settings and the
// show's network destinations (a list model the window edits: new, edit, delete), and exports the QLab
// network patch into a folder the user picks. Edits stay in the model until OK, which emits
// `oscSettingsUpdated` once with the window's settings and the destinations (TCP for mode "tcp") and
// hides the window; the main window controller stores and applies them. Cancel drops the edits.
// A failed export is reported through `error`. Owned by the main window controller.
// Thread: GUI thread only.
class OscManagerController : public QmlController {
    Q_OBJECT

public:
    // Creates the window as a child of `parentWindow` and fills it; the model's rows are the engine's
    // networks. Throws std::runtime_error when the window cannot be created.
    OscManagerController(QQmlEngine* qmlEngine, brix::osc::OscSettings settings, std::shared_ptr<Interface> engine,
                         QObject* parentWindow);
    ~OscManagerController() override;

    NetworkListModel* GetModel() const { return model_.get(); }

signals:
    void oscSettingsUpdated(brix::osc::OscSettings settings, CL::NetworkPathVectorT& newNetworks);

public slots:
    void onOkayClicked_();
    // `folder` is the URL text of the folder the window's folder dialog gives.
    void exportQLab_(QString folder);
    void onCreateNetwork_(QString ip, int port, QString mode, QString name);
    // `index` is the window's selected row; a row outside the list changes nothing.
    void onEditNetwork_(int index, QString ip, int port, QString mode, QString name, QString networkId);

private:
    std::shared_ptr<Interface> engine_;
    brix::osc::OscSettings settings_;
    std::unique_ptr<NetworkListModel> model_;
};

}  // namespace brix::qt
