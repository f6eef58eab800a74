#pragma once

#include "BrixPlayerOscCallback.h"

#include <brix_tarnwick2/Tarnwick2Interface.h>

#include <brix_core/Editor.h>

#include <winmm_virtual/VirtualMidi.h>

#include <QTemporaryDir>

#include <filesystem>
#include <memory>
#include <string>

namespace osc_test {

// The demo show's engine (a copy of the show in a temporary folder, on a virtual MIDI output) with a
// cue sender, its lighting desk ("lights") moved to a UDP port of the caller's on 127.0.0.1, and song
// "2" selected for editing without its chorus repeat, so that it plays straight from bar 2 to its end.
// Song "2": 480 ticks a quarter at 96 quarters a minute (625 ms a quarter); bar n (2 to 14) starts at
// tick 480 + (n - 2) * 1920; its lighting cue "/cue/14/go" sits on bar 14, tick 23520.
// After editing, the caller calls Start(): the edits are played and OSC processing is on.
class DemoShowOsc {
public:
    static constexpr unsigned int kCueTick = 23520;
    static constexpr double kMsPerTick = 625.0 / 480.0;

    explicit DemoShowOsc(unsigned short lightsPort) : device_(u"osc cue output")
    {
        const std::filesystem::path root(folder_.path().toStdString());
        std::filesystem::copy(BRIX_DEMO_SHOW_DIR, root / "demo", std::filesystem::copy_options::recursive);
        std::filesystem::create_directories(root / "data");
        callback = std::make_shared<brix::BrixPlayerOscCallback>(lightsPort);
        engine = std::make_shared<brix::Tarnwick2Interface>((root / "demo").string(), (root / "data").string(), callback);
        callback->SetInterface(engine);
        editor().UpdateNetworks({CL::NetworkPath("Lighting desk", "lights", "127.0.0.1", lightsPort, false)});
        editor().SelectSongLogForEditing("2");
        editor().DeleteEvent(editor().GetEventsByEventId().at("A1"));
    }
    ~DemoShowOsc() { Close(); }
    DemoShowOsc(const DemoShowOsc&) = delete;
    DemoShowOsc& operator=(const DemoShowOsc&) = delete;

    CL::Editor& editor() { return *engine->GetChangeLogEditor(); }

    // Plays the edits, switches OSC processing on and stands at the tick of song "2".
    void Start(unsigned int tick)
    {
        engine->LoadNewChangeLog();
        engine->DoOscProcessing(true);
        engine->LoadSong("2");
        engine->Seek(tick);
    }

    // As the main window closes: the engine released and shut down, then the sender destroyed (which
    // waits for its tasks).
    void Close()
    {
        if (!engine) {
            return;
        }
        callback->ReleaseInterface();
        engine->Shutdown();
        engine.reset();
        callback.reset();
    }

    std::shared_ptr<brix::BrixPlayerOscCallback> callback;
    std::shared_ptr<brix::Tarnwick2Interface> engine;

private:
    QTemporaryDir folder_;
    winmm_virtual::VirtualMidiOutput device_;
};

}  // namespace osc_test
