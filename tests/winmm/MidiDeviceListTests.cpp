#include <mmsystem.h>
#include <winmm_virtual/VirtualMidi.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <unistd.h>

namespace {

using winmm_virtual::VirtualMidiInput;
using winmm_virtual::VirtualMidiOutput;

std::u16string OutputName(UINT device)
{
    MIDIOUTCAPSW caps{};
    EXPECT_EQ(midiOutGetDevCapsW(device, &caps, sizeof caps), MMSYSERR_NOERROR);
    return caps.szPname;
}

void CALLBACK IgnoreStreamMessage(HMIDIOUT, UINT, DWORD_PTR, DWORD_PTR, DWORD_PTR) {}

std::u16string InputName(UINT device)
{
    MIDIINCAPSW caps{};
    EXPECT_EQ(midiInGetDevCapsW(device, &caps, sizeof caps), MMSYSERR_NOERROR);
    return caps.szPname;
}

TEST(MidiDeviceListTest, WithoutASequencerTheVirtualDevicesComeInRegistrationOrderThenTheNullOutput)
{
    if (access("/dev/snd/seq", F_OK) == 0) {
        GTEST_SKIP() << "this machine has an ALSA sequencer";
    }
    const std::u16string null = u"No MIDI output (null device)";
    ASSERT_EQ(midiOutGetNumDevs(), 1u);
    EXPECT_EQ(OutputName(0), null);
    EXPECT_EQ(midiInGetNumDevs(), 0u);
    {
        auto first = std::make_unique<VirtualMidiOutput>(u"First Synth");
        VirtualMidiOutput second(u"Second Synth");
        VirtualMidiInput keyboard(u"Keyboard");

        ASSERT_EQ(midiOutGetNumDevs(), 3u);
        EXPECT_EQ(OutputName(0), u"First Synth");
        EXPECT_EQ(OutputName(1), u"Second Synth");
        EXPECT_EQ(OutputName(2), null);
        ASSERT_EQ(midiInGetNumDevs(), 1u);
        EXPECT_EQ(InputName(0), u"Keyboard");

        first.reset();
        EXPECT_EQ(midiOutGetNumDevs(), 2u);
        EXPECT_EQ(second.GetDeviceId(), 0u);
        EXPECT_EQ(OutputName(0), u"Second Synth");
    }
    EXPECT_EQ(midiOutGetNumDevs(), 1u);
    EXPECT_EQ(midiInGetNumDevs(), 0u);
}

TEST(MidiDeviceListTest, TheNullOutputTakesAStreamAndWarnsOnceWhenOpened)
{
    if (access("/dev/snd/seq", F_OK) == 0) {
        GTEST_SKIP() << "this machine has an ALSA sequencer";
    }
    const UINT nullDevice = midiOutGetNumDevs() - 1;
    ::testing::internal::CaptureStderr();
    HMIDISTRM stream = nullptr;
    UINT device = nullDevice;
    const MMRESULT opened =
        midiStreamOpen(&stream, &device, 1, reinterpret_cast<DWORD_PTR>(&IgnoreStreamMessage), 0, CALLBACK_FUNCTION);
    const std::string warning = ::testing::internal::GetCapturedStderr();
    ASSERT_EQ(opened, MMSYSERR_NOERROR);
    EXPECT_EQ(warning.rfind("WARNING: ", 0), 0u) << warning;
    EXPECT_EQ(std::count(warning.begin(), warning.end(), '\n'), 1) << warning;
    EXPECT_EQ(midiStreamClose(stream), MMSYSERR_NOERROR);
}

TEST(MidiDeviceListTest, LongDeviceNamesAreCutToFitWithTheirTerminatingZero)
{
    const std::u16string longName(40, u'\u20AC');
    VirtualMidiOutput output(longName);
    VirtualMidiInput input(longName);

    EXPECT_EQ(OutputName(output.GetDeviceId()), longName.substr(0, MAXPNAMELEN - 1));
    EXPECT_EQ(InputName(input.GetDeviceId()), longName.substr(0, MAXPNAMELEN - 1));
}

TEST(MidiDeviceListTest, CapsOfAMissingDeviceOrIntoNothingAreRefused)
{
    VirtualMidiOutput output(u"Synth");
    VirtualMidiInput input(u"Keyboard");
    MIDIOUTCAPSW outCaps{};
    MIDIINCAPSW inCaps{};

    EXPECT_EQ(midiOutGetDevCapsW(midiOutGetNumDevs(), &outCaps, sizeof outCaps), MMSYSERR_BADDEVICEID);
    EXPECT_EQ(midiInGetDevCapsW(midiInGetNumDevs(), &inCaps, sizeof inCaps), MMSYSERR_BADDEVICEID);
    EXPECT_EQ(midiOutGetDevCapsW(output.GetDeviceId(), nullptr, sizeof outCaps), MMSYSERR_INVALPARAM);
    EXPECT_EQ(midiInGetDevCapsW(input.GetDeviceId(), nullptr, sizeof inCaps), MMSYSERR_INVALPARAM);
}

TEST(MidiErrorTextTest, EveryKnownCodeHasATextOfItsOwnAndOthersAreRefused)
{
    std::set<std::u16string> texts;
    std::vector<MMRESULT> known;
    for (MMRESULT code = MMSYSERR_NOERROR; code <= MMSYSERR_MOREDATA; ++code) {
        known.push_back(code);
    }
    for (MMRESULT code = MIDIERR_UNPREPARED; code <= MIDIERR_DONT_CONTINUE; ++code) {
        known.push_back(code);
    }
    for (MMRESULT code : known) {
        WCHAR text[512] = {};
        ASSERT_EQ(midiOutGetErrorTextW(code, text, 512), MMSYSERR_NOERROR) << code;
        EXPECT_NE(text[0], u'\0') << code;
        texts.insert(text);
    }
    EXPECT_EQ(texts.size(), known.size());

    for (MMRESULT code : {MMRESULT{22}, MMRESULT{63}, MMRESULT{72}, MMRESULT{TIMERR_NOCANDO}}) {
        WCHAR text[512] = {u'x'};
        EXPECT_EQ(midiOutGetErrorTextW(code, text, 512), MMSYSERR_BADERRNUM) << code;
        EXPECT_EQ(text[0], u'\0') << code;
    }
}

TEST(MidiErrorTextTest, TextIsCutToTheBufferAndAMissingBufferIsRefused)
{
    WCHAR full[512] = {};
    ASSERT_EQ(midiOutGetErrorTextW(MMSYSERR_INVALPARAM, full, 512), MMSYSERR_NOERROR);
    WCHAR shortText[6] = {u'x', u'x', u'x', u'x', u'x', u'x'};

    EXPECT_EQ(midiOutGetErrorTextW(MMSYSERR_INVALPARAM, shortText, 6), MMSYSERR_NOERROR);
    EXPECT_EQ(std::u16string(shortText), std::u16string(full).substr(0, 5));
    EXPECT_EQ(midiOutGetErrorTextW(MMSYSERR_INVALPARAM, nullptr, 512), MMSYSERR_INVALPARAM);
    EXPECT_EQ(midiOutGetErrorTextW(MMSYSERR_INVALPARAM, full, 0), MMSYSERR_INVALPARAM);
}

}  // namespace
