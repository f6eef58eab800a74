#pragma once

#include <QObject>
#include <QSettings>
#include <QString>

#include <memory>

namespace brix {

// AppSettings: the user's general settings between runs — the default (master) volume, the click
// volume as a linear factor, the audio output device, the MIDI input source, and which dialogs the
// user asked not to see again (group "Dialogs", one key per dialog). It keeps them in a QSettings store
// (an INI file, "general_settings.brix" in the user-data folder; see OpenGeneralSettings). Load and
// Save move the four values between the store and this object; the dialog choices go straight to the
// store. Missing or unreadable values read as the defaults.
// Held by std::shared_ptr by the main window controller and the dialogs. Thread: GUI thread only.
class AppSettings : public QObject {
    Q_OBJECT

public:
    explicit AppSettings(std::unique_ptr<QSettings> store);
    ~AppSettings() override;

    void Load();
    void Save();

    double GetDefaultVolume() const { return defaultVolume_; }
    void SetDefaultVolume(double volume) { defaultVolume_ = volume; }
    double GetClickVolumeLinear() const { return clickVolumeLinear_; }
    void SetClickVolumeLinear(double volume) { clickVolumeLinear_ = volume; }
    QString GetDefaultOutputDeviceString() const { return defaultOutputDevice_; }
    void SetDefaultOutputDeviceString(const QString& device) { defaultOutputDevice_ = device; }
    QString GetCurrentMidiSourceName() const { return currentMidiSourceName_; }
    void SetCurrentMidiSourceName(const QString& name) { currentMidiSourceName_ = name; }

    // Whether the dialog of this key may show: true unless the key was stored as false.
    bool GetShowDialog(const QString& dialogKey);
    // Stores at once whether the dialog of this key may show.
    void SetShowDialog(const QString& dialogKey, bool show);

private:
    const double defaultDefaultVolume_ = 1.0;
    const double defaultClickVolumeLinear_ = 1.0;
    const QString defaultOutputDeviceDefault_;

    std::unique_ptr<QSettings> store_;

    double defaultVolume_ = 1.0;
    double clickVolumeLinear_ = 1.0;
    QString defaultOutputDevice_;
    QString currentMidiSourceName_;
};

// The general settings file's name in the user-data folder.
inline constexpr char kGeneralSettingsFileName[] = "general_settings.brix";

// Opens the general settings store: the INI file kGeneralSettingsFileName in `userDataFolder`. Qt
// writes it through a temporary file that replaces the old one, so an interrupted write leaves the
// previous settings whole.
std::unique_ptr<QSettings> OpenGeneralSettings(const QString& userDataFolder);

}  // namespace brix
