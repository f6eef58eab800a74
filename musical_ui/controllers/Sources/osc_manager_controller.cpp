#include "osc_manager_controller.h"

#include "QLabNetworkPatchWriter.h"

#include <brix_player_core/Interface.h>

#include <QSaveFile>
#include <QUrl>
#include <QVariant>

#include <iostream>
#include <sstream>
#include <stdexcept>
#include <utility>

namespace brix::qt {

namespace {

const char* const kWindowUrl = "qrc:/qt/qml/com/fernwhistlestudios/musical_ui/qml/OscManager.qml";
const char* const kExportErrorTitle = "QLab Export Failed";

// Writes the whole patch into a temporary file beside `path` that replaces the file only when
// complete, so a failure leaves no file (or the previous one) behind.
void WritePatchFile(const QLabNetworkPatchWriter& writer, const QString& path)
{
    std::ostringstream text;
    writer.Write(text);
    const std::string bytes = text.str();
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes.data(), static_cast<qint64>(bytes.size())) < 0 ||
        !file.commit()) {
        throw std::runtime_error("Cannot write " + path.toStdString() + ": " + file.errorString().toStdString());
    }
}

}  // namespace

OscManagerController::OscManagerController(QQmlEngine* qmlEngine, brix::osc::OscSettings settings,
                                           std::shared_ptr<Interface> engine, QObject* parentWindow)
    : QmlController(qmlEngine, QUrl(QString::fromLatin1(kWindowUrl)), parentWindow, true),
      engine_(std::move(engine)),
      settings_(settings)
{
    QObject* window = GetQmlObject();
    if (window == nullptr)
        throw std::runtime_error("The OSC Manager window could not be created.");
    window->setProperty("oscListenPortString", QString::number(settings_.GetOscListenPort()));
    window->setProperty("oscEnabled", settings_.GetOscEnabled());
    model_ = std::make_unique<NetworkListModel>(engine_ ? engine_->GetNetworks() : CL::NetworkPathVectorT{});
    window->setProperty("networkModel", QVariant::fromValue<QObject*>(model_.get()));

    connect(window, SIGNAL(okay()), this, SLOT(onOkayClicked_()));
    connect(window, SIGNAL(exportQLab(QString)), this, SLOT(exportQLab_(QString)));
    connect(window, SIGNAL(createNetwork(QString, int, QString, QString)), this,
            SLOT(onCreateNetwork_(QString, int, QString, QString)));
    connect(window, SIGNAL(editNetwork(int, QString, int, QString, QString, QString)), this,
            SLOT(onEditNetwork_(int, QString, int, QString, QString, QString)));
}

OscManagerController::~OscManagerController()
{
    // The window must not show a deleted model while it waits for its own deletion.
    if (QObject* window = GetQmlObject())
        window->setProperty("networkModel", QVariant::fromValue<QObject*>(nullptr));
    model_.reset();
    engine_.reset();
}

void OscManagerController::onOkayClicked_()
{
    QObject* window = GetQmlObject();
    if (window == nullptr)
        return;
    const bool enabled = window->property("oscEnabled").toBool();
    bool isNumber = false;
    const unsigned int port = window->property("oscListenPortString").toString().toUInt(&isNumber);
    const brix::osc::OscSettings settings(enabled, isNumber ? port : 0U);

    CL::NetworkPathVectorT networks;
    for (int row = 0; row < model_->rowCount(); ++row) {
        const auto text = [this, row](const char* role) { return model_->dataStr(row, role).toString().toStdString(); };
        networks.emplace_back(text("name"), text("networkId"), text("ipAddress"), model_->dataStr(row, "port").toInt(),
                              model_->dataStr(row, "mode").toString() == QLatin1String("tcp"));
    }
    SetVisible(false);
    emit oscSettingsUpdated(settings, networks);
}

void OscManagerController::exportQLab_(QString folder)
{
    try {
        const QLabNetworkPatchWriter writer(engine_, settings_.GetOscListenPort());
        const QString path =
            QUrl(folder + QLatin1Char('/') + QString::fromStdString(QLabNetworkPatchWriter::FileName()),
                 QUrl::TolerantMode)
                .toLocalFile();
        if (path.isEmpty())
            throw std::runtime_error("\"" + folder.toStdString() + "\" is not a folder on this computer.");
        WritePatchFile(writer, path);
    } catch (const std::exception& e) {
        std::cerr << "Error exporting qlab: " << e.what() << '\n';
        emit error(e.what(), kExportErrorTitle);
    }
}

void OscManagerController::onCreateNetwork_(QString ip, int port, QString mode, QString name)
{
    auto item = std::make_shared<NetworkItem>();
    item->ipAddress = ip;
    item->port = port;
    item->mode = mode;
    item->name = name;
    item->networkId = model_->NewNetworkId();
    model_->AddNetwork(std::move(item));
}

void OscManagerController::onEditNetwork_(int index, QString ip, int port, QString mode, QString name,
                                          QString networkId)
{
    const auto item = model_->NetworkAt(index);
    if (!item)
        return;
    item->ipAddress = ip;
    item->port = port;
    item->mode = mode;
    item->name = name;
    item->networkId = networkId;
    model_->RefreshRow(index);
}

}  // namespace brix::qt
