#pragma once

// The mixer controller's tests run the real engine of a copy of the demo show on a virtual MIDI output
// device, with the mixer view created from the program's compiled QML.

#include "EngineFixture.h"
#include "QmlTest.h"

#include <MixerControllerTW.h>
#include <MixerModel.h>
#include <MixerTracksModel.h>

#include <brix_tarnwick2/Tarnwick2Interface.h>
#include <winmm_virtual/VirtualMidi.h>

#include <QString>

#include <chrono>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace mixer_test {

// One short MIDI message as the device received it.
struct Message {
    int status;
    int data1;
    int data2;
    bool operator==(const Message&) const = default;
};

// The demo show's engine, recording the tempo scale and transposition it is given.
class RecordingEngine : public brix::Tarnwick2Interface {
public:
    RecordingEngine(const std::string& showFolder, const std::string& dataFolder)
        : Tarnwick2Interface(showFolder, dataFolder, nullptr)
    {
    }
    void SetTempoScale(double tempoScale) override
    {
        calls.push_back("tempo scale " + std::to_string(tempoScale));
        Tarnwick2Interface::SetTempoScale(tempoScale);
    }
    void SetTransposition(int semitones) override
    {
        calls.push_back("transposition " + std::to_string(semitones));
        Tarnwick2Interface::SetTransposition(semitones);
    }
    void UpdateOnce() override
    {
        calls.push_back("update");
        Tarnwick2Interface::UpdateOnce();
    }

    std::vector<std::string> calls;
};

class MixerFixture : public musical_test::QmlTest {
protected:
    void SetUp() override;
    void TearDown() override;

    void StartEngine();
    // Shuts the engine down and lets it go; its mixer writes "mixersettings" into the show folder.
    void StopEngine();
    // Loads the song and waits until the engine's mixer is that song's.
    void LoadSong(const std::string& number);

    std::unique_ptr<brix::qt::MixerControllerTW> MakeController(std::shared_ptr<brix::AppSettings> settings = nullptr);
    brix::qt::MixerControllerTW& Create(std::shared_ptr<brix::AppSettings> settings = nullptr);

    // The model the view shows, and one of its sections' tracks (null when absent).
    brix::qt::MixerModel* ViewModel() const;
    brix::qt::MixerTracksModel* Tracks(const QString& section) const;
    // The row of the track in the section's tracks model (a failed assertion when absent).
    int Row(const QString& section, int trackId) const;

    std::size_t DeviceCount() const { return device_.GetEvents().size(); }
    std::vector<Message> MessagesSince(std::size_t from) const;
    // Waits until the device received the message at or after index `from`.
    bool Receives(std::size_t from, const Message& message) const;
    // Controller messages of that number on the channel, since `from`.
    bool HasController(std::size_t from, int channel, int controller) const;
    // Plays the current song from its start until each channel of `heard` has sounded three notes (a
    // failed assertion after the time-out), stops, and returns the note-ons per channel meanwhile.
    std::map<int, int> PlayUntilHeard(const std::vector<int>& heard);

    engine_test::ShowCopy show_;
    winmm_virtual::VirtualMidiOutput device_{u"mixer test output"};
    std::shared_ptr<RecordingEngine> engine_;
    // A window holding the mixer view, as the main window's edit panel holds it.
    std::unique_ptr<QObject> host_;
    QObject* view_ = nullptr;
    std::unique_ptr<brix::qt::MixerControllerTW> controller_;
};

}  // namespace mixer_test
