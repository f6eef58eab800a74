#include "win32/MidiDeviceInfo.h"

#include <fennic/Format.h>
#include <winmm_virtual/VirtualMidi.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(MidiDeviceInfo, ResultCodesHaveTheirWindowsMidiNames)
{
    const std::vector<std::pair<unsigned int, std::string>> cases = {
        {1, "MMSYSERR_ERROR unspecified error"},
        {2, "MMSYSERR_BADDEVICEID device ID out of range"},
        {11, "MMSYSERR_INVALPARAM invalid parameter passed"},
        {12, "MMSYSERR_HANDLEBUSY handle being used simultaneously on another thread (eg callback)"},
        {21, "MMSYSERR_MOREDATA more data to be returned"},
        {64, "MIDIERR_UNPREPARED header not prepared"},
        {65, "MIDIERR_STILLPLAYING still something playing"},
        {71, "MIDIERR_DONT_CONTINUE thru device 'eating' a message"},
        {0, "Unknown error code 0"},
        {22, "Unknown error code 22"},
        {63, "Unknown error code 63"},
        {72, "Unknown error code 72"},
        {1000, "Unknown error code 1000"},
    };
    for (const auto& [code, text] : cases) {
        EXPECT_EQ(GetMidiErrorAsString(code), text) << code;
    }
}

TEST(MidiDeviceInfo, TechnologyNamesCoverTheKnownValuesAndNameUnknownOnes)
{
    const std::vector<std::pair<WORD, std::string>> cases = {
        {MOD_MIDIPORT, "MOD_MIDIPORT: MIDI hardware port."},
        {MOD_MAPPER, "MOD_MAPPER: Microsoft MIDI mapper."},
        {MOD_SWSYNTH, "MOD_SWSYNTH: Software synthesizer."},
        {0, "Unknown wTechnology value: 0"},
        {8, "Unknown wTechnology value: 8"},
    };
    for (const auto& [technology, text] : cases) {
        MIDIOUTCAPSW caps{};
        caps.wTechnology = technology;
        EXPECT_EQ(GetTechnologyAsString(caps), text) << technology;
    }
}

TEST(MidiDeviceInfo, WideNamesBecomeUtf8)
{
    const std::vector<std::pair<std::u16string, std::string>> cases = {
        {u"Keys", "Keys"},
        {u"Caf\u00e9", "Caf\xC3\xA9"},
        {u"\u20ac5", "\xE2\x82\xAC" "5"},
        {u"\U0001D11E", "\xF0\x9D\x84\x9E"},                // a surrogate pair
        {std::u16string(1, char16_t(0xD834)) + u"x", "\xEF\xBF\xBDx"},  // an unpaired high surrogate
        {std::u16string(1, char16_t(0xDD1E)), "\xEF\xBF\xBD"},         // an unpaired low surrogate
    };
    for (const auto& [wide, utf8] : cases) {
        EXPECT_EQ(NarrowWideString(wide.c_str(), wide.size() + 1), utf8);
    }
}

TEST(MidiDeviceInfo, NarrowingStopsAtTheFieldEndWithoutATerminatingZero)
{
    const WCHAR field[3] = {u'a', u'b', u'c'};
    EXPECT_EQ(NarrowWideString(field, 2), "ab");
}

TEST(MidiDeviceInfo, SystemErrorTextIsReadAndFailuresAreNamed)
{
    EXPECT_FALSE(GetMidiOutErrorText(MMSYSERR_INVALPARAM).empty());
    EXPECT_EQ(GetMidiOutErrorText(500), "MMSYSERR_BADERRNUM: Unknown error 500");

    winmm_virtual::FailNextCall(winmm_virtual::Call::midiOutGetErrorTextW, MMSYSERR_INVALPARAM);
    EXPECT_EQ(GetMidiOutErrorText(1), "midiOutGetErrorText MMSYSERR_INVALPARAM");
    winmm_virtual::FailNextCall(winmm_virtual::Call::midiOutGetErrorTextW, MMSYSERR_NOMEM);
    EXPECT_EQ(GetMidiOutErrorText(1), "midiOutGetErrorText: Unknown error 1");
}

TEST(MidiDeviceInfo, SummaryWithoutOutputDevicesSaysSo)
{
    if (midiOutGetNumDevs() != 0) {
        GTEST_SKIP() << "this machine has output devices";
    }
    EXPECT_EQ(CreateMidiDeviceSummary(), "There are no available devices for midi output.");
}

TEST(MidiDeviceInfo, SummaryListsEveryOutputDeviceWithItsCapabilities)
{
    winmm_virtual::VirtualMidiOutput device(u"Caf\u00e9 Synth");
    const UINT index = device.GetDeviceId();
    const std::string summary = CreateMidiDeviceSummary();

    EXPECT_EQ(summary.rfind("Device info for " + std::to_string(midiOutGetNumDevs()) + " MIDI devices.\n", 0), 0u);
    const std::string expected = "MIDI device index: " + std::to_string(index) +
                                 "\nMidi Output Device:\n"
                                 "  Manufacturer Identifier: 0\n"
                                 "  Product Identifier: 0\n"
                                 "  Driver Version: 256\n"
                                 "  Product Name: Caf\xC3\xA9 Synth\n"
                                 "  Type: MOD_SWSYNTH: Software synthesizer.\n"
                                 "  Voices: 0\n"
                                 "  Notes: 0\n"
                                 "  ChannelMask: 65535\n"
                                 "  Support: 0\n\n\n";
    EXPECT_NE(summary.find(expected), std::string::npos) << summary;
}

TEST(MidiDeviceInfo, UnreadableCapabilitiesAreReportedWithTheResultName)
{
    winmm_virtual::VirtualMidiOutput device(u"Synth");
    winmm_virtual::FailNextCall(winmm_virtual::Call::midiOutGetDevCapsW, MMSYSERR_NODRIVER);
    EXPECT_EQ(GetMidiOutDeviceInformation(device.GetDeviceId()),
              "Unable to retrieve device capabilities for midi device " + std::to_string(device.GetDeviceId()) +
                  "\nError reported: MMSYSERR_NODRIVER no device driver present\n");
}

TEST(MidiDeviceInfo, GuardedCallThrowsWithSourceLineDescriptionAndResultName)
{
    try {
        CheckMidiResult(MMSYSERR_INVALPARAM, "calling midiStreamOut");
        FAIL() << "no exception";
    } catch (const MidiImplementationError& e) {
        const std::string text = e.what();
        EXPECT_NE(text.find("MidiDeviceInfoTest.cpp line "), std::string::npos) << text;
        EXPECT_TRUE(text.ends_with(": calling midiStreamOut caused error 11, MMSYSERR_INVALPARAM invalid parameter passed."))
            << text;
    }
    EXPECT_NO_THROW(CheckMidiResult(MMSYSERR_NOERROR, "calling midiStreamOut"));
}

TEST(MidiDeviceInfo, FailureReportWritesTheErrorLineAndThrowsTheMessage)
{
    struct Case {
        std::string message;
        std::string expected;
    };
    const std::vector<Case> cases{
        {CreateErrorMessage("clock.cpp", 42, 11, "timeSetEvent"), "clock.cpp line 42: Error 11 timeSetEvent."},
        {CreateErrorMessage("clock.cpp", 42, -1, ""), "clock.cpp line 42: Error -1."},
        {CreateErrorMessage("/src/a b.cpp", 7, 0, "100% sure"), "/src/a b.cpp line 7: Error 0 100% sure."},
        {fennic::CreateFailureMessage("clock.cpp", 9, "timeSetEvent", ""), "clock.cpp line 9: timeSetEvent failed."},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.message, c.expected);
        ::testing::internal::CaptureStdout();
        try {
            ReportFailure(c.message);
            ADD_FAILURE() << "no exception for " << c.expected;
        } catch (const BrixMidiError& e) {
            EXPECT_EQ(std::string(e.what()), c.expected);
        }
        EXPECT_EQ(::testing::internal::GetCapturedStdout(), "[ERROR] " + c.expected + "\n");
    }
}

TEST(MidiDeviceInfo, PortFailureUsesTheMidiResultName)
{
    EXPECT_STREQ(MidiPortFailure("midiInOpen", MMSYSERR_ALLOCATED).what(),
                 "midiInOpen: 4 MMSYSERR_ALLOCATED device already allocated");
}

}  // namespace
