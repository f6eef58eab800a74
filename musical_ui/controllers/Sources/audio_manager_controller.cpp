#include "audio_manager_controller.h"

#include <brix_player_core/Interface.h>
#include <sfx/DeviceControlWin32.h>

#include <QStringList>
#include <QUrl>
#include <QVariant>

#include <cmath>
#include <stdexcept>
#include <string>

namespace brix::qt {

namespace {

const QUrl kWindowUrl(QStringLiteral("qrc:/qt/qml/com/fernwhistlestudios/musical_ui/qml/AudioManager.qml"));

// The window's integer property; throws when it holds none.
int IntProperty(const QObject& window, const char* name)
{
    bool isInt = false;
    const int value = window.property(name).toInt(&isInt);
    if (!isInt)
        throw std::runtime_error(std::string("The window's ") + name + " is not a number.");
    return value;
}

}  // namespace

AudioManagerController::AudioManagerController(QObject* parent, QQmlEngine* engine, std::shared_ptr<Interface> player)
    : QmlController(engine, kWindowUrl, parent, true), player_(std::move(player))
{
    const std::string current = player_->GetOutputDeviceUid();
    devices_ = brix::audio::DeviceControlWin32().GetOutputDevices();
    QStringList names{QStringLiteral("(default)")};
    int selected = 0;
    for (std::size_t i = 0; i < devices_.size(); ++i) {
        names.append(QString::fromStdString(devices_[i].GetDisplayName()));
        if (devices_[i].GetId() == current)
            selected = static_cast<int>(i) + 1;
    }
    // The volume this window sets is the user's (the owner applies it as that type), so it shows that
    // one: the master volume would replace the user's on OK.
    engineVolume_ = player_->GetVolume(brix_audio::VolumeType::User);

    QObject* window = GetQmlObject();
    if (window == nullptr)
        return;
    window->setProperty("outputDeviceModel", names);
    window->setProperty("outputVolume", std::exp(20.0 * std::log10(engineVolume_) / 25.0));
    window->setProperty("outputDeviceIndex", selected);
    connect(window, SIGNAL(okay()), this, SLOT(onOkayClicked_()));
}

AudioManagerController::~AudioManagerController() = default;

void AudioManagerController::onOkayClicked_()
{
    Guarded("Error Configuring Audio", [this] {
        SetVisible(false);
        const QObject& window = *GetQmlObject();
        double volume = engineVolume_;
        if (window.property("volumeMoved").toBool()) {
            bool isNumber = false;
            volume = window.property("outputVolumeLinear").toDouble(&isNumber);
            if (!isNumber || !std::isfinite(volume))
                throw std::runtime_error("The window's volume is not a number.");
        }
        const int row = IntProperty(window, "outputDeviceIndex");
        QString device;
        if (row > static_cast<int>(devices_.size()))
            throw std::out_of_range("The chosen device row " + std::to_string(row) + " is not in the list of " +
                                    std::to_string(devices_.size()) + " devices.");
        if (row - 1 >= 0)
            device = QString::fromStdString(devices_[static_cast<std::size_t>(row - 1)].GetId());
        volume_ = volume < kSilentVolume ? 0.0 : volume;
        outputDevice_ = device;
        emit audioSettingsUpdated();
    });
}

}  // namespace brix::qt
