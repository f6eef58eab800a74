#pragma once

#include <QString>

#include <memory>

class Interface;
class QObject;
class QQmlEngine;

namespace brix {

class AppSettings;
class PlayerOscCallback;

namespace qt {
class MixerController;
}

// PlayerFactory: what the program's generic frame knows of the product it runs as: its names,
// version, build text, logos and feature switches, and the creation of the two product-specific
// objects, the player engine of a show and the product's mixer controller.
//
// A product derives from it and passes its Product values to the constructor; every value is fixed
// from then on. The application object creates the factory, the launcher owns it and the main window
// controller reads it. Not thread-safe beyond its const accessors, which any thread may call.
class PlayerFactory {
public:
    // The product's values; the member initializers are the defaults of the frame.
    struct Product {
        QString displayName;
        // The folder of the product inside the user-data base folder.
        QString shortName;
        // Passed to the show server's requests.
        int applicationId = 0;
        int versionMajor = 0;
        int versionMinor = 0;
        int versionPatch = 0;
        QString buildText;
        QString longLogo;
        QString imageBase;
        // The feature switches, in their fixed order.
        bool showAlbumArtImage = false;   // 1: the show's album art in the main window
        bool showAudioManager = false;    // 2: the main menu's "Audio Manager..." entry
        bool showFade = false;            // 3: the fade controls
        bool showScore = false;           // 4: the score viewer
        bool showMixer = false;           // 5: the mixer and its controller
        bool editOscEvents = true;        // 6: handed to the edit model: OSC events may be selected
        bool oscEnable = true;            // 7: OSC remote control and cues, and their menu entry
        bool showRehearsalNotice = false; // 8: the welcome notice for rehearsal use
        bool showPerformanceNotice = false; // 9: the notice for performance use, and its menu entry
        bool showClickToolNotice = false; // 10: the click-tool notice
    };

    virtual ~PlayerFactory();

    PlayerFactory(const PlayerFactory&) = delete;
    PlayerFactory& operator=(const PlayerFactory&) = delete;

    // The engine of the show in showDirectory. The callback sends the show's OSC cues; it is empty
    // when OSC is off. A failure of the engine's construction passes to the caller.
    virtual std::unique_ptr<Interface> CreatePlayer(const QString& showDirectory,
                                                    std::shared_ptr<PlayerOscCallback> oscCallback) = 0;

    // The product's mixer controller on the main window's mixer view. The frame has none: it lets go
    // of the engine and the settings and returns an empty pointer, and the main window then has no
    // mixer.
    virtual std::unique_ptr<qt::MixerController> CreateMixerController(
        QObject* mixerView, QQmlEngine* qmlEngine, std::shared_ptr<Interface> engine,
        std::shared_ptr<AppSettings> settings);

    const QString& GetDisplayName() const { return product_.displayName; }
    const QString& GetShortName() const { return product_.shortName; }
    int GetApplicationId() const { return product_.applicationId; }
    int GetVersionMajor() const { return product_.versionMajor; }
    int GetVersionMinor() const { return product_.versionMinor; }
    int GetVersionPatch() const { return product_.versionPatch; }
    // Major, minor and patch in decimal, joined by full stops ("2.7.0").
    QString GetVersionString() const;
    const QString& GetBuildText() const { return product_.buildText; }
    const QString& GetLongLogo() const { return product_.longLogo; }
    const QString& GetImageBase() const { return product_.imageBase; }

    bool GetShowAlbumArtImage() const { return product_.showAlbumArtImage; }
    bool GetShowAudioManager() const { return product_.showAudioManager; }
    bool GetShowFade() const { return product_.showFade; }
    bool GetShowScore() const { return product_.showScore; }
    bool GetShowMixer() const { return product_.showMixer; }
    bool GetEditOscEvents() const { return product_.editOscEvents; }
    bool GetOscEnable() const { return product_.oscEnable; }
    bool GetShowRehearsalNotice() const { return product_.showRehearsalNotice; }
    bool GetShowPerformanceNotice() const { return product_.showPerformanceNotice; }
    bool GetShowClickToolNotice() const { return product_.showClickToolNotice; }

protected:
    explicit PlayerFactory(Product product);

private:
    const Product product_;
};

// The product's data folder: the user-data base folder joined with the short name, created with its
// missing parents when it does not exist. Returns its absolute path; a folder that cannot be created
// is not reported (the caller gets the path all the same).
QString ProductDataFolder(const QString& shortName);

}  // namespace brix
