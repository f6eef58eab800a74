#pragma once

#include "MockInterface.h"

#include <gmock/gmock.h>

#include <sstream>
#include <stdexcept>
#include <string>

namespace osc_test {

// A fake engine for the OSC handlers: the members of tests/support's fake and the transport, volume
// and position of Interface as gmock mocks too, so a test sees every call the handlers make.
class FakeEngine : public engine_test::MockInterface<> {
public:
    FakeEngine() : MockInterface("/shows/fake", "") {}

    using Interface::GetVolume;
    using Interface::SetVolume;

    MOCK_METHOD(void, Play, (), (override));
    MOCK_METHOD(void, Stop, (), (override));
    MOCK_METHOD(void, Continue, (), (override));
    MOCK_METHOD(void, Pause, (bool), (override));
    MOCK_METHOD(void, NextSong, (), (override));
    MOCK_METHOD(void, PrevSong, (), (override));
    MOCK_METHOD(bool, GetIsPlaying, (), (override));
    MOCK_METHOD(bool, GetIsPaused, (), (override));
    MOCK_METHOD(unsigned int, GetTickIndex, (), (override));
    MOCK_METHOD(void, Seek, (unsigned int), (override));
    MOCK_METHOD(std::string, GetCurrentSongNumber, (), (override));
    MOCK_METHOD(void, LoadSong, (const std::string&), (override));
    MOCK_METHOD(void, SetVolume, (double), (override));
    MOCK_METHOD(double, GetVolume, (), (override));

    std::istream& GetScoreTar() override { return scoreTar_; }
    // The transport is mocked above, so nothing reaches a player.
    Player& GetPlayer() override { throw std::logic_error("the fake engine has no player"); }

private:
    std::istringstream scoreTar_;
};

}  // namespace osc_test
