#pragma once

#include "qml_controller.h"

#include <sfx/AudioDevice.h>

#include <QString>

#include <memory>
#include <vector>

class Interface;
class QQmlEngine;

namespace brix::qt {

// AudioManagerController: the "Audio Manager" window, which chooses the engine's audio output device.
// It fills the window from the engine and the machine's devices; OK hides the window, keeps the choice
// and announces it with audioSettingsUpdated(), after which the owner reads it through GetVolume and
// GetOutputDevice and applies it. The volume is the engine's user volume (VolumeType::User, the one the
// owner applies); it stays as it was unless the window's volume slider was moved: the slider's range
// cannot hold every volume, so showing a volume must not change it.
// Owner: the main window controller, from the window's opening until it opens another or closes.
// Thread: GUI thread only.
class AudioManagerController : public QmlController {
    Q_OBJECT

public:
    // Volumes below this linear gain are taken as silence.
    static constexpr double kSilentVolume = 0.00002;

    AudioManagerController(QObject* parent, QQmlEngine* engine, std::shared_ptr<Interface> player);
    ~AudioManagerController() override;

    // The chosen volume (linear gain).
    double GetVolume() const { return volume_; }
    // The chosen device's identifier; "" for the default device.
    QString GetOutputDevice() const { return outputDevice_; }

signals:
    void audioSettingsUpdated();

public slots:
    void onOkayClicked_();

private:
    std::shared_ptr<Interface> player_;
    std::vector<brix::audio::AudioDevice> devices_;
    double engineVolume_ = 0.0;
    double volume_ = 0.0;
    QString outputDevice_;
};

}  // namespace brix::qt
