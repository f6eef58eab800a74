#pragma once

#include "FakeInterface.h"
#include "PlayerFactory.h"
#include "QmlTest.h"
#include "EditFixture.h"
#include "MixerController.h"
#include "musical_main_controller.h"

#include <QTemporaryDir>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace musical_test {

// A product for the main window's tests: its switches are the test's, and each engine it creates is
// a fresh fake (NiceMock<FakeInterface>) that `prepare` sets up before the window sees it.
class FakeEngineFactory : public brix::PlayerFactory {
public:
    using Prepare = std::function<void(testing::NiceMock<FakeInterface>&)>;

    FakeEngineFactory(Product product, Prepare prepare) : PlayerFactory(std::move(product)), prepare_(std::move(prepare))
    {
    }

    std::unique_ptr<Interface> CreatePlayer(const QString& showDirectory,
                                            std::shared_ptr<brix::PlayerOscCallback> oscCallback) override
    {
        events.push_back("create " + showDirectory.toStdString());
        oscCallbacks.push_back(oscCallback);
        auto engine = std::make_unique<testing::NiceMock<FakeInterface>>(showDirectory.toStdString());
        current = engine.get();
        ON_CALL(*engine, Shutdown()).WillByDefault([this] { events.emplace_back("shutdown"); });
        ON_CALL(*engine, GetShowDirectory()).WillByDefault(testing::Return(showDirectory.toStdString()));
        // Every engine serves the same two-song show, edited through a real editor.
        ServeEditorBackedSong(*engine, served);
        if (prepare_)
            prepare_(*engine);
        return engine;
    }

    // A mixer that records the program changes it is given: "track:program".
    class RecordingMixer : public brix::qt::MixerController {
    public:
        RecordingMixer(QObject* view, QQmlEngine* engine, std::vector<std::string>& programs)
            : MixerController(view, engine), programs_(programs)
        {
        }
        void SetTrackProgram(int trackId, int program, const QString&) override
        {
            programs_.push_back(std::to_string(trackId) + ":" + std::to_string(program));
        }

    private:
        std::vector<std::string>& programs_;
    };

    std::unique_ptr<brix::qt::MixerController> CreateMixerController(QObject* mixerView, QQmlEngine* qmlEngine,
                                                                     std::shared_ptr<Interface>,
                                                                     std::shared_ptr<brix::AppSettings>) override
    {
        ++mixersMade;
        return std::make_unique<RecordingMixer>(mixerView, qmlEngine, programs);
    }

    static Product DefaultProduct()
    {
        Product product;
        product.displayName = QStringLiteral("Tarn|Wick");
        product.shortName = QStringLiteral("tarnwick");
        product.versionMajor = 2;
        product.versionMinor = 7;
        product.showFade = true;
        product.oscEnable = false;
        return product;
    }

    // What happened to the engines, in order: "create <folder>", "shutdown".
    std::vector<std::string> events;
    std::vector<std::shared_ptr<brix::PlayerOscCallback>> oscCallbacks;
    int mixersMade = 0;
    std::vector<std::string> programs;
    TimelineSong song;
    std::unique_ptr<CL::Editor> editor = MakeTwoSongEditor(song);
    EditorBackedSong served = ServedTwoSongShow(editor.get(), song);
    // The engine created last (owned by the controller).
    testing::NiceMock<FakeInterface>* current = nullptr;

private:
    Prepare prepare_;
};

// A QmlTest whose user-data folder is a temporary one, with a main window controller on a fake engine.
class MainWindowTest : public QmlTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // Creates the controller for the show "Lanterns on the Quay" of "Brix Demo Company".
    void Create(brix::PlayerFactory::Product product = FakeEngineFactory::DefaultProduct(),
                FakeEngineFactory::Prepare prepare = {});

    QObject* Window() const { return controller_->GetQmlObject(); }
    QObject* Find(const QString& name) const { return FindByName(Window(), name); }
    testing::NiceMock<FakeInterface>& Fake() const { return *factory_->current; }
    QString DataFolder() const;
    // The show's folder: an empty folder of the test's own.
    QString ShowFolder() const;

    QTemporaryDir home_;
    std::unique_ptr<FakeEngineFactory> factory_;
    std::unique_ptr<brix::qt::MusicalMainController> controller_;

private:
    QByteArray previousHome_;
};

}  // namespace musical_test
