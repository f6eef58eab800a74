#pragma once

#include "OutputPathDeviceFile.h"
#include "OutputPathsModel.h"
#include "qml_controller.h"

#include <brix_core/OutputPath.h>
#include <sfx/AudioDevice.h>

#include <QString>

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QQmlEngine;

namespace brix::qt {

// OutputPathsManagerController: the "Output Paths" window, which lists the show's output paths with
// the audio device of this machine that plays each, and creates, renames, re-routes and deletes them.
// The names live in the show's change log; the devices live per machine in the show folder's file
// "outputpathdevices.json", read once at construction and rewritten after each creation or change.
// Every path added or changed leaves through AddOutputPathSignal, every deleted one through
// RemoveOutputPathSignal, for the engine. The window's tool chooses a device by its identifier; the
// window shows display names.
// Owner: the main window controller, from show set-up on; the window is shown on request and hidden by
// its Close button. A failure to write the device file is emitted as `error`.
// Thread: GUI thread only.
class OutputPathsManagerController : public QmlController {
    Q_OBJECT

public:
    // The window's label of the default device, first in its device list.
    static constexpr const char* kDefaultDeviceName = "(default)";

    OutputPathsManagerController(const std::map<std::string, CL::OutputPath>& outputPaths, QQmlEngine* engine,
                                 QObject* parent);
    ~OutputPathsManagerController() override;

    std::shared_ptr<OutputPathsModel> GetModel() const { return model_; }

signals:
    void AddOutputPathSignal(const CL::OutputPath& path);
    void RemoveOutputPathSignal(const CL::OutputPath& path);

public slots:
    // A new path named after pathName (made unique among the paths), played by the device of that
    // identifier ("" or an identifier no device has: the default device).
    void onPathCreationRequest(const QString& pathName, const QString& pathDeviceId);
    // Renames and re-routes the window's current path; nothing without one.
    void onPathChangeRequest(const QString& pathName, const QString& pathDeviceId);
    void onDeleteOutputPath();
    void onCloseWindow();

private:
    struct Device {
        std::string id;
        std::string name;
    };

    // The device of that identifier as the window names it: the default device for "" and for an
    // identifier that no device has.
    Device DeviceById(const std::string& id) const;
    // The window's current row, when it is a row of the model.
    std::optional<int> CurrentRow() const;
    void ApplyStoredDevices(const std::map<std::string, CL::OutputPath>& outputPaths);
    void WriteDeviceFile();

    std::shared_ptr<OutputPathsModel> model_;
    std::vector<brix::audio::AudioDevice> devices_;
    std::unique_ptr<brix::OutputPathDeviceFile> deviceFile_;
};

}  // namespace brix::qt
