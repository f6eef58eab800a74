#pragma once

#include <brix_player_core/Interface.h>

#include "LearnedCommand.h"
#include "MidiEndPoint.h"
#include "TimelineSequence.h"

#include <gmock/gmock.h>

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace engine_test {

// A fake engine over Base (Interface or an interface derived from it): every member the derived
// interfaces supply is a gmock mock, except GetScoreTar and GetPlayer, which the test gives; the
// transport, fades and positioning of Interface work on that player.
template <class Base = Interface>
class MockInterface : public Base {
public:
    using Base::Base;
    using SongNames = Interface::SongNames;
    using EventList = Interface::EventList;
    using EventsBySong = Interface::EventsBySong;

    using StringTick = std::pair<std::string, unsigned int>;
    using CommandNames = std::map<std::uint8_t, std::string>;
    using LearnedCommands = std::map<std::uint8_t, midi_commands::LearnedCommand>;
    using OutputPaths = std::map<std::string, CL::OutputPath>;

    MOCK_METHOD(bool, SeekToBar, (const std::string&), (override));
    MOCK_METHOD(StringTick, LookupPage, (int), (override));
    MOCK_METHOD(bool, SongExists, (const std::string&), (override));
    MOCK_METHOD(std::string, GetActualSongNumber, (const std::string&), (override));
    MOCK_METHOD(SongNames, GetSongNamesBySongNumber, (), (override));
    MOCK_METHOD(std::uint8_t, GetAttacca, (const std::string&), (override));
    MOCK_METHOD(void, SetAttacca, (const std::string&, std::uint8_t), (override));
    MOCK_METHOD(unsigned int, GetCurrentStartTickIndex, (), (override));
    MOCK_METHOD(unsigned int, GetSongLength, (const std::string&), (override));
    MOCK_METHOD(unsigned int, GetSongStartTickIndex, (const std::string&), (override));
    MOCK_METHOD(unsigned int, GetSongAudioStartTick, (const std::string&), (override));
    MOCK_METHOD(unsigned int, GetSongAudioEndTick, (const std::string&), (override));
    MOCK_METHOD(TL::TimelineSequence<TL::BarsBeats>, GetBarsBeats, (const std::string&), (override));
    MOCK_METHOD(TL::TimelineSequence<TL::BarsBeats>, GetBarsBeats, (const std::string&, bool), (override));
    MOCK_METHOD(TL::BarsBeats, GetBarBeatByTick, (unsigned int), (override));
    MOCK_METHOD(TL::BarsBeats, GetBarBeatByTick, (unsigned int, bool, bool), (override));
    MOCK_METHOD(TL::BarsBeats, GetBarBeatLeftByTick, (unsigned int), (override));
    MOCK_METHOD(std::string, GetBarString, (unsigned int), (override));
    MOCK_METHOD(std::string, GetBarString, (const std::string&, unsigned int), (override));
    MOCK_METHOD(unsigned int, GetAvailableShiftAfterBarBeat, (unsigned int, bool), (override));
    MOCK_METHOD(std::vector<int>, GetClickValues, (unsigned int, unsigned int), (override));
    MOCK_METHOD(const TL::Timeline&, GetTimeline, (), (override));
    MOCK_METHOD(const CL::SongLog&, GetSongLog, (), (override));
    MOCK_METHOD(std::string, SaveChangelog, (std::uint16_t, std::uint16_t), (override));
    MOCK_METHOD(void, LoadNewChangeLog, (), (override));
    MOCK_METHOD(void, SetChangelogFilename, (const std::string&), (override));
    MOCK_METHOD(void, LoadChangeLogEditor, (), (override));
    MOCK_METHOD(std::string, GetLogVersion, (), (override));
    MOCK_METHOD(std::string, GetTempoScaleWarnings, (), (override));
    MOCK_METHOD(std::string, GetModifiedClickEditLog, (), (override));
    MOCK_METHOD(int, GetInvertedLoopEventCount, (), (override));
    MOCK_METHOD(std::string, GetInvertedLoopEventDescription, (), (override));
    MOCK_METHOD(CL::Editor*, GetChangeLogEditor, (), (override));
    MOCK_METHOD(EventList, GetChangeLogPanelEvents, (), (override));
    MOCK_METHOD(EventsBySong, GetChangeLogPanelEventsForAllSongs, (), (override));
    MOCK_METHOD(EventsBySong, GetMarkersForAllSongs, (), (override));
    MOCK_METHOD(EventList, GetMarkers, (), (override));
    MOCK_METHOD(OutputPaths, GetOutputPathMap, (), (override));
    MOCK_METHOD(void, onAddOutputhPath, (const CL::OutputPath&), (override));
    MOCK_METHOD(void, onRemoveOutputhPath, (const CL::OutputPath&), (override));
    MOCK_METHOD(std::vector<MidiEndPoint>, GetMidiSources, (), (override));
    MOCK_METHOD(bool, HasMidiSource, (), (override));
    MOCK_METHOD(std::uint8_t, GetConnectedSourceIndex, (), (override));
    MOCK_METHOD(bool, GetHasConductBeat, (), (override));
    MOCK_METHOD(CommandNames, GetCommandNames, (), (override));
    MOCK_METHOD(LearnedCommands, GetLearnedCommands, (), (override));
    MOCK_METHOD(bool, IsMidiCommandLearning, (std::uint8_t), (override));
    MOCK_METHOD(void, LearnMidiCommand, (std::uint8_t), (override));
    MOCK_METHOD(void, SetMidiCommand, (std::uint8_t, std::uint8_t, std::uint8_t, std::uint8_t), (override));
    MOCK_METHOD(std::vector<int>, GetAllowedCommandStatuses, (), (override));
    MOCK_METHOD(void, SetOscControlDefaultPort, (unsigned short), (override));
    MOCK_METHOD(void, DoOscProcessing, (bool), (override));
    MOCK_METHOD(CL::NetworkPathVectorT, GetNetworks, (), (override));
    MOCK_METHOD(CL::NetworkPath, GetNetwork, (const std::string&), (override));
    MOCK_METHOD(void, Shutdown, (), (override));
};

}  // namespace engine_test
