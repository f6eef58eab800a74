#pragma once

#include "MockInterface.h"

#include <gmock/gmock.h>

#include <functional>
#include <sstream>
#include <string>

class Player;

namespace musical_test {

// The fake engine of the program's controller tests: every member of Interface is a gmock mock — the
// show, bar, change-log, MIDI and OSC members of engine_test::MockInterface and, here, the transport,
// fades, positioning, songs and volumes that the base would carry out on a player. So a controller
// never reaches a real player; a test that needs one returns it from GetPlayer. The score archive is
// the bytes a test puts in with SetScoreTar. Use it as NiceMock<FakeInterface> where calls the test does
// not check may come.
class FakeInterface : public engine_test::MockInterface<> {
public:
    explicit FakeInterface(const std::string& showDirectory = "/shows/demo",
                           const std::string& changeLogFile = "demo.logdata")
        : MockInterface(showDirectory, changeLogFile)
    {
    }

    MOCK_METHOD(std::string, GetShowDirectory, (), (override));
    MOCK_METHOD(void, Play, (), (override));
    MOCK_METHOD(void, Stop, (), (override));
    MOCK_METHOD(void, Continue, (), (override));
    MOCK_METHOD(void, Pause, (bool), (override));
    MOCK_METHOD(void, NextSong, (), (override));
    MOCK_METHOD(void, PrevSong, (), (override));
    MOCK_METHOD(void, FlowControlExit, (), (override));
    MOCK_METHOD(bool, GetIsPlaying, (), (override));
    MOCK_METHOD(bool, GetIsPaused, (), (override));
    MOCK_METHOD(bool, GetIsFaded, (), (override));
    MOCK_METHOD(bool, IsStopped, (), (override));
    MOCK_METHOD(void, Fade, (std::function<void()>, float), (override));
    MOCK_METHOD(void, FadeTo, (std::function<void()>, float, float), (override));
    MOCK_METHOD(void, CancelFade, (), (override));
    MOCK_METHOD(unsigned int, GetTickIndex, (), (override));
    MOCK_METHOD(void, Seek, (unsigned int), (override));
    MOCK_METHOD(void, SeekToNextMeasure, (), (override));
    MOCK_METHOD(void, SeekToPreviousMeasure, (), (override));
    MOCK_METHOD(void, SeekRight, (), (override));
    MOCK_METHOD(void, SeekLeft, (), (override));
    MOCK_METHOD(void, LoadSongAtTime, (const std::string&, unsigned int), (override));
    MOCK_METHOD(std::string, GetCurrentSongNumber, (), (override));
    MOCK_METHOD(void, LoadSong, (const std::string&), (override));
    MOCK_METHOD(unsigned int, GetMinStartTickIndex, (), (override));
    MOCK_METHOD(std::string, GetChangelogFilename, (), (override));
    MOCK_METHOD(void, SetTempoScale, (double), (override));
    MOCK_METHOD(void, SetTransposition, (int), (override));
    MOCK_METHOD(void, UpdateOnce, (), (override));
    MOCK_METHOD(void, SetOutputDeviceUid, (const std::string&), (override));
    MOCK_METHOD(std::string, GetOutputDeviceUid, (), (override));
    MOCK_METHOD(void, SetVolume, (double), (override));
    MOCK_METHOD(void, SetVolume, (double, brix_audio::VolumeType), (override));
    MOCK_METHOD(double, GetVolume, (), (override));
    MOCK_METHOD(double, GetVolume, (brix_audio::VolumeType), (override));
    MOCK_METHOD(void, SetMidiSource, (int), (override));
    MOCK_METHOD(Player&, GetPlayer, (), (override));

    std::istream& GetScoreTar() override { return scoreTar_; }
    void SetScoreTar(const std::string& bytes)
    {
        scoreTar_.clear();
        scoreTar_.str(bytes);
    }

private:
    std::istringstream scoreTar_;
};

}  // namespace musical_test
