#include "output_paths_manager_controller.h"

#include "OutputPathNaming.h"

#include <brix_core/Directories.h>
#include <sfx/DeviceControlWin32.h>

#include <QMetaObject>
#include <QStringList>
#include <QUrl>
#include <QVariant>
#include <QVariantList>
#include <QVariantMap>

#include <iostream>

namespace brix::qt {

namespace {

const QUrl kWindowUrl(QStringLiteral("qrc:/qt/qml/com/fernwhistlestudios/musical_ui/qml/OutputPathsWindow.qml"));

// The window's device list: the default device first, then each device; the tool shows "name" and
// hands back "id".
QVariantList DeviceList(const std::vector<brix::audio::AudioDevice>& devices)
{
    QVariantList list{QVariantMap{{QStringLiteral("name"), QString::fromUtf8(OutputPathsManagerController::kDefaultDeviceName)},
                                  {QStringLiteral("id"), QString()}}};
    for (const brix::audio::AudioDevice& device : devices)
        list.append(QVariantMap{{QStringLiteral("name"), QString::fromStdString(device.GetDisplayName())},
                                {QStringLiteral("id"), QString::fromStdString(device.GetId())}});
    return list;
}

}  // namespace

OutputPathsManagerController::OutputPathsManagerController(const std::map<std::string, CL::OutputPath>& outputPaths,
                                                           QQmlEngine* engine, QObject* parent)
    : QmlController(engine, kWindowUrl, parent, true), model_(std::make_shared<OutputPathsModel>())
{
    QObject* window = GetQmlObject();
    if (window != nullptr) {
        window->setProperty("model", QVariant::fromValue(static_cast<QObject*>(model_.get())));
        connect(window, SIGNAL(createPathRequest(QString, QString)), this,
                SLOT(onPathCreationRequest(QString, QString)));
        connect(window, SIGNAL(changePathRequest(QString, QString)), this, SLOT(onPathChangeRequest(QString, QString)));
        connect(window, SIGNAL(deleteOutputPath()), this, SLOT(onDeleteOutputPath()));
        connect(window, SIGNAL(closeWindow()), this, SLOT(onCloseWindow()));
    }
    connect(model_.get(), &OutputPathsModel::AddOutputPathSignal, this, &OutputPathsManagerController::AddOutputPathSignal);
    connect(model_.get(), &OutputPathsModel::RemoveOutputPathSignal, this,
            &OutputPathsManagerController::RemoveOutputPathSignal);

    for (const auto& [id, path] : outputPaths)
        model_->AddOutputPath(path);

    devices_ = brix::audio::DeviceControlWin32().GetOutputDevices();
    if (window != nullptr)
        window->setProperty("deviceList", DeviceList(devices_));

    ApplyStoredDevices(outputPaths);

    if (window != nullptr && model_->rowCount() > 0)
        window->setProperty("currentIndex", 0);
}

OutputPathsManagerController::~OutputPathsManagerController()
{
    // The window goes later, through the event loop: it must not show the model meanwhile.
    if (QObject* window = GetQmlObject())
        window->setProperty("model", QVariant::fromValue(static_cast<QObject*>(nullptr)));
}

void OutputPathsManagerController::ApplyStoredDevices(const std::map<std::string, CL::OutputPath>& outputPaths)
{
    deviceFile_ = std::make_unique<brix::OutputPathDeviceFile>(directories.GetShowDirectory());
    if (!deviceFile_->GetReadError().empty())
        std::cout << deviceFile_->GetReadError() << '\n';
    const std::map<std::string, std::string>& stored = deviceFile_->GetDevices();
    int row = 0;
    for (const auto& [id, path] : outputPaths) {
        const auto found = stored.find(id);
        const std::string hwid = found != stored.end() ? found->second : std::string();
        std::string deviceName;
        for (const brix::audio::AudioDevice& device : devices_) {
            if (device.GetId() == hwid) {
                deviceName = device.GetDisplayName();
                break;
            }
        }
        model_->setData(model_->index(row),
                        QVariant::fromValue(CL::OutputPath(path.GetId(), path.GetName(), hwid, deviceName)));
        ++row;
    }
}

OutputPathsManagerController::Device OutputPathsManagerController::DeviceById(const std::string& id) const
{
    if (!id.empty()) {
        for (const brix::audio::AudioDevice& device : devices_) {
            if (device.GetId() == id)
                return {device.GetId(), device.GetDisplayName()};
        }
    }
    return {std::string(), kDefaultDeviceName};
}

std::optional<int> OutputPathsManagerController::CurrentRow() const
{
    QObject* window = GetQmlObject();
    if (window == nullptr)
        return std::nullopt;
    bool isInt = false;
    const int row = window->property("currentIndex").toInt(&isInt);
    if (!isInt || row < 0 || row >= model_->rowCount())
        return std::nullopt;
    return row;
}

void OutputPathsManagerController::onPathCreationRequest(const QString& pathName, const QString& pathDeviceId)
{
    const Device device = DeviceById(pathDeviceId.toStdString());
    QStringList names;
    for (const CL::OutputPath& path : model_->GetPaths())
        names.append(QString::fromStdString(path.GetName()));
    const QString name = UniqueOutputPathName(pathName, names);
    model_->AddOutputPath(CL::OutputPath(NewOutputPathId().toStdString(), name.toStdString(), device.id, device.name));
    WriteDeviceFile();
}

void OutputPathsManagerController::onPathChangeRequest(const QString& pathName, const QString& pathDeviceId)
{
    const std::optional<int> row = CurrentRow();
    if (!row)
        return;
    const Device device = DeviceById(pathDeviceId.toStdString());
    const CL::OutputPath changed(model_->GetPath(*row).GetId(), pathName.toStdString(), device.id, device.name);
    model_->setData(model_->index(*row), QVariant::fromValue(changed));
    WriteDeviceFile();
}

void OutputPathsManagerController::onDeleteOutputPath()
{
    if (const std::optional<int> row = CurrentRow())
        model_->RemoveOutputPath(*row);
}

void OutputPathsManagerController::onCloseWindow()
{
    std::cout << "CloseWindow_" << std::endl;
    if (QObject* window = GetQmlObject())
        QMetaObject::invokeMethod(window, "close");
}

void OutputPathsManagerController::WriteDeviceFile()
{
    Guarded("Error Saving Output Path Devices", [this] { deviceFile_->Write(model_->GetPaths()); });
}

}  // namespace brix::qt
