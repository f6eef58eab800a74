#pragma once

#include "MixerController.h"
#include "PlayerFactory.h"
#include "QmlTest.h"
#include "musical_main_controller.h"

#include <brix_tarnwick2/Tarnwick2Interface.h>

#include <winmm_virtual/VirtualMidi.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>

namespace musical_test {

// Makes the mixer of a song load, as the product's factory does.
using MixerMaker = std::function<std::unique_ptr<brix::qt::MixerController>(
    QObject* mixerView, QQmlEngine* qmlEngine, std::shared_ptr<Interface> engine,
    std::shared_ptr<brix::AppSettings> settings)>;

// The product's engine on a show folder, with the test's switches (fades shown; OSC as asked; the
// mixer when a maker is given).
class DemoShowFactory : public brix::PlayerFactory {
public:
    explicit DemoShowFactory(bool oscEnable, MixerMaker mixer = {})
        : PlayerFactory(MakeProduct(oscEnable, static_cast<bool>(mixer))), mixer_(std::move(mixer))
    {
    }

    std::unique_ptr<brix::qt::MixerController> CreateMixerController(QObject* mixerView, QQmlEngine* qmlEngine,
                                                                     std::shared_ptr<Interface> engine,
                                                                     std::shared_ptr<brix::AppSettings> settings) override
    {
        return mixer_ ? mixer_(mixerView, qmlEngine, std::move(engine), std::move(settings)) : nullptr;
    }

    std::unique_ptr<Interface> CreatePlayer(const QString& showDirectory,
                                            std::shared_ptr<brix::PlayerOscCallback> oscCallback) override
    {
        return std::make_unique<brix::Tarnwick2Interface>(
            QFile::encodeName(showDirectory).toStdString(),
            QFile::encodeName(brix::ProductDataFolder(GetShortName())).toStdString(), std::move(oscCallback));
    }

private:
    static Product MakeProduct(bool oscEnable, bool showMixer)
    {
        Product product;
        product.displayName = QStringLiteral("Tarn|Wick");
        product.shortName = QStringLiteral("tarnwick");
        product.imageBase = QStringLiteral("qrc:/images/tarnwick");
        product.showAlbumArtImage = true;
        product.showFade = true;
        product.showScore = true;
        product.oscEnable = oscEnable;
        product.showMixer = showMixer;
        return product;
    }

    MixerMaker mixer_;
};

// The main window on a copy of the demo show, playing into a virtual MIDI output device, with the
// user-data folder in a temporary folder. Song "1" ("Overture", 4/4 at 120, 480 ticks a quarter)
// starts with a vamp over bars 1-2, cuts bars 5-8 and has a caesura on bar 12.
class DemoShowWindow {
public:
    explicit DemoShowWindow(QQmlEngine* engine, bool oscEnable = false,
                            const std::function<void(const QString& dataFolder)>& prepare = {}, MixerMaker mixer = {})
        : device(u"main window output"), factory(oscEnable, std::move(mixer))
    {
        previousHome_ = qgetenv("XDG_DATA_HOME");
        qputenv("XDG_DATA_HOME", home_.path().toUtf8());
        const std::filesystem::path show = std::filesystem::path(home_.path().toStdString()) / "lanterns";
        std::filesystem::copy(BRIX_DEMO_SHOW_DIR, show, std::filesystem::copy_options::recursive);
        const QString data = brix::ProductDataFolder(factory.GetShortName());
        if (prepare)
            prepare(data);
        controller = std::make_unique<brix::qt::MusicalMainController>(
            engine, &factory,
            brix::qt::CurrentShow{QString::fromStdString(show.string()), QStringLiteral("Lanterns on the Quay"),
                                  QStringLiteral("Brix Demo Company")});
    }

    ~DemoShowWindow()
    {
        controller.reset();
        RunDeferredDeletes();
        qputenv("XDG_DATA_HOME", previousHome_);
    }

    DemoShowWindow(const DemoShowWindow&) = delete;
    DemoShowWindow& operator=(const DemoShowWindow&) = delete;

    QObject* Window() const { return controller->GetQmlObject(); }
    QString Property(const char* name) const { return Window()->property(name).toString(); }
    Interface& Engine() const { return *controller->GetInterface(); }

    // Note-ons with a velocity, captured so far.
    std::size_t NoteOns() const
    {
        std::size_t count = 0;
        for (const auto& event : device.GetEvents())
            if ((event.status & 0xF0) == 0x90 && event.data2 > 0)
                ++count;
        return count;
    }

    QTemporaryDir home_;
    winmm_virtual::VirtualMidiOutput device;
    DemoShowFactory factory;
    std::unique_ptr<brix::qt::MusicalMainController> controller;

private:
    QByteArray previousHome_;
};

}  // namespace musical_test
