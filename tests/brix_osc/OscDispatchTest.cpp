#include "OscDatagram.h"
#include "OscDispatch.h"
#include "OscMessage.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <string>
#include <vector>

namespace {

using namespace brix::osc;
using ::testing::_;
using ::testing::FloatNear;
using ::testing::DoubleNear;
using ::testing::StrictMock;

class MockHandler : public OscProcInterface {
public:
    MOCK_METHOD(void, Stop, (const std::string&, const std::string&), (override));
    MOCK_METHOD(void, Play, (const std::string&, const std::string&), (override));
    MOCK_METHOD(void, FadeOut, (const std::string&, const std::string&, float), (override));
    MOCK_METHOD(void, FadeTo, (const std::string&, const std::string&, float, float, bool), (override));
    MOCK_METHOD(void, NextSong, (const std::string&, const std::string&), (override));
    MOCK_METHOD(void, PrevSong, (const std::string&, const std::string&), (override));
    MOCK_METHOD(void, PrevMarker, (const std::string&, const std::string&), (override));
    MOCK_METHOD(void, NextMarker, (const std::string&, const std::string&), (override));
    MOCK_METHOD(void, PrevBar, (const std::string&, const std::string&), (override));
    MOCK_METHOD(void, NextBar, (const std::string&, const std::string&), (override));
    MOCK_METHOD(void, PlayheadForward, (const std::string&, const std::string&, std::uint32_t), (override));
    MOCK_METHOD(void, PlayheadBack, (const std::string&, const std::string&, std::uint32_t), (override));
    MOCK_METHOD(void, SetVolume, (float), (override));
    MOCK_METHOD(void, StepVolume, (const std::string&, const std::string&, float), (override));
    MOCK_METHOD(void, Advance, (const std::string&, const std::string&), (override));
    MOCK_METHOD(void, PauseToggle, (const std::string&, const std::string&), (override));
    MOCK_METHOD(void, AdvanceEvent, (const std::string&, const std::string&, const std::string&), (override));
    MOCK_METHOD(void, ReportError, (const std::string&, const std::string&), (override));
    MOCK_METHOD(void, SfxPlay, (const std::string&, const std::string&), (override));
    MOCK_METHOD(void, SfxStop, (const std::string&, const std::string&), (override));
    MOCK_METHOD(void, SfxStopAll, (const std::string&), (override));
    MOCK_METHOD(void, CommandReceived, (), (override));
    MOCK_METHOD(void, SfxFadeTo, (const std::string&, const std::string&, double, float), (override));
};

struct Case {
    std::string datagram;
    std::string name;
    std::function<void(MockHandler&)> expect;
};

Case Line(const char* line, std::function<void(MockHandler&)> expect)
{
    return {BuildOscDatagram(line).toStdString(), line, std::move(expect)};
}

// A message with one float32 argument, which the text encoder cannot give for non-finite values.
Case WithFloat(const char* address, float value, std::function<void(MockHandler&)> expect)
{
    return {EncodeOscString(address) + EncodeOscString(",f") + EncodeOscFloat32(value),
            std::string(address) + " " + std::to_string(value), std::move(expect)};
}

std::function<void(MockHandler&)> Fails(const std::string& text)
{
    return [text](MockHandler& h) { EXPECT_CALL(h, ReportError(text, "Unable to process OSC command")); };
}

const float kMinus6dB = static_cast<float>(std::pow(10.0, -6.0 / 20.0));

void RunCases(const std::vector<Case>& cases)
{
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        StrictMock<MockHandler> handler;
        EXPECT_CALL(handler, CommandReceived());
        c.expect(handler);
        Dispatch(OscMessage::Decode(c.datagram.data(), c.datagram.size()), &handler);
        ::testing::Mock::VerifyAndClearExpectations(&handler);
    }
}

TEST(OscDispatch, TransportAndStepCommandsReachTheirOperationWithShowAndSong)
{
    RunCases({
        Line("/brix/play", [](auto& h) { EXPECT_CALL(h, Play("", "")); }),
        Line("/brix/show/my_show/song/7/play", [](auto& h) { EXPECT_CALL(h, Play("my_show", "7")); }),
        Line("/brix/go", [](auto& h) { EXPECT_CALL(h, Advance("", "")); }),
        Line("/brix/song/2/advance", [](auto& h) { EXPECT_CALL(h, Advance("", "2")); }),
        Line("/brix/pause", [](auto& h) { EXPECT_CALL(h, PauseToggle("", "")); }),
        Line("/brix/stop",
             [](auto& h) {
                 EXPECT_CALL(h, Stop("", ""));
                 EXPECT_CALL(h, SfxStopAll(""));
             }),
        Line("/brix/nextsong", [](auto& h) { EXPECT_CALL(h, NextSong("", "")); }),
        Line("/brix/prevsong", [](auto& h) { EXPECT_CALL(h, PrevSong("", "")); }),
        Line("/brix/nextmarker", [](auto& h) { EXPECT_CALL(h, NextMarker("", "")); }),
        Line("/brix/prevmarker", [](auto& h) { EXPECT_CALL(h, PrevMarker("", "")); }),
        Line("/brix/nextbar", [](auto& h) { EXPECT_CALL(h, NextBar("", "")); }),
        Line("/brix/show/s/prevbar", [](auto& h) { EXPECT_CALL(h, PrevBar("s", "")); }),
        Line("/brix/event/E12/go", [](auto& h) { EXPECT_CALL(h, AdvanceEvent("", "", "E12")); }),
        Line("/brix/song/3/event/V1/advance", [](auto& h) { EXPECT_CALL(h, AdvanceEvent("", "3", "V1")); }),
        Line("/brix/rewind", [](auto&) {}),
        Line("/brix/", [](auto&) {}),
        Line("/brix/Play", [](auto&) {}),
    });
}

TEST(OscDispatch, ArgumentsAreTakenWithTheirDefaults)
{
    RunCases({
        Line("/brix/fadeout 30", [](auto& h) { EXPECT_CALL(h, FadeOut("", "", 30.0f)); }),
        Line("/brix/fadeout 1.5", [](auto& h) { EXPECT_CALL(h, FadeOut("", "", 1.5f)); }),
        Line("/brix/fadeout", [](auto& h) { EXPECT_CALL(h, FadeOut("", "", 0.25f)); }),
        Line("/brix/fadeout slow", [](auto& h) { EXPECT_CALL(h, FadeOut("", "", 0.25f)); }),
        Line("/brix/fadeto -6.7 2", [](auto& h) { EXPECT_CALL(h, FadeTo("", "", 2.0f, FloatNear(kMinus6dB, 1e-6f), false)); }),
        Line("/brix/fadeto -6", [](auto& h) { EXPECT_CALL(h, FadeTo("", "", 0.25f, 0.5f, false)); }),
        Line("/brix/fadeto -6 2 3", [](auto& h) { EXPECT_CALL(h, FadeTo("", "", 0.25f, 0.5f, false)); }),
        Line("/brix/playheadfwd 960", [](auto& h) { EXPECT_CALL(h, PlayheadForward("", "", 960u)); }),
        Line("/brix/playheadfwd 2.0", [](auto& h) { EXPECT_CALL(h, PlayheadForward("", "", 1920u)); }),
        Line("/brix/playheadback", [](auto& h) { EXPECT_CALL(h, PlayheadBack("", "", 1920u)); }),
        Line("/brix/volume -6", [](auto& h) { EXPECT_CALL(h, SetVolume(FloatNear(kMinus6dB, 1e-6f))); }),
        Line("/brix/volume -6.5", [](auto& h) {
            EXPECT_CALL(h, SetVolume(FloatNear(static_cast<float>(std::pow(10.0, -6.5 / 20.0)), 1e-6f)));
        }),
        Line("/brix/volume", [](auto& h) { EXPECT_CALL(h, SetVolume(1.0f)); }),
        Line("/brix/volumeup 3", [](auto& h) { EXPECT_CALL(h, StepVolume("", "", 3.0f)); }),
        Line("/brix/volumedown 3", [](auto& h) { EXPECT_CALL(h, StepVolume("", "", -3.0f)); }),
        Line("/brix/volumedown 3 4", [](auto& h) { EXPECT_CALL(h, StepVolume("", "", -1.0f)); }),
        Line("/brix/volumeup loud", [](auto& h) { EXPECT_CALL(h, StepVolume("", "", 1.0f)); }),
    });
}

TEST(OscDispatch, SoundEffectCommandsAreDispatched)
{
    RunCases({
        Line("/brix/sfx/3/play", [](auto& h) { EXPECT_CALL(h, SfxPlay("", "3")); }),
        Line("/brix/show/s/sfx/3/stop", [](auto& h) { EXPECT_CALL(h, SfxStop("s", "3")); }),
        Line("/brix/sfx/*/stop", [](auto& h) { EXPECT_CALL(h, SfxStopAll("")); }),
        Line("/brix/sfx/3/fadeto -6.5 2",
             [](auto& h) { EXPECT_CALL(h, SfxFadeTo("", "3", DoubleNear(std::pow(10.0, -6.0 / 20.0), 1e-9), 2000.0f)); }),
        Line("/brix/sfx/3/fadeto -6", Fails("OSC sound-effect fadeto needs a level and a fade time.")),
        Line("/brix/sfx/3/play 1", [](auto&) {}),
    });
}

TEST(OscDispatch, FailuresAreReportedAndCallNothing)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    RunCases({
        Line("/other/play", Fails("OSC commands to BRIX software must start with /brix/")),
        Line("/brix", Fails("OSC command is too short for processing.")),
        Line("/brix//play", Fails("Unknown OSC command part: ")),
        Line("/brix/event/E12/stop", Fails("Unknown command for OSC event command.")),
        Line("/brix/fadeto x 2", Fails("Parameter does not convert to float32.")),
        Line("/brix/fadeto -6 -2", Fails("OSC fade time cannot be negative.")),
        Line("/brix/fadeto 1000 2", Fails("OSC level is out of range.")),
        Line("/brix/fadeout -1", Fails("OSC fade time cannot be negative.")),
        Line("/brix/playheadfwd -5", Fails("OSC tick step cannot be negative.")),
        Line("/brix/volume 800", Fails("OSC level is out of range.")),
        WithFloat("/brix/fadeout", nan, Fails("OSC argument is not a finite number.")),
        WithFloat("/brix/fadeout", inf, Fails("OSC argument is not a finite number.")),
        WithFloat("/brix/volume", -inf, Fails("OSC argument is not a finite number.")),
        WithFloat("/brix/volumeup", nan, Fails("OSC argument is not a finite number.")),
    });
}


TEST(OscDispatch, TheDefaultHandlerWritesTheErrorLine)
{
    OscProcInterface handler;
    ::testing::internal::CaptureStderr();
    const QByteArray datagram = BuildOscDatagram("/brix/event/E1/stop");
    Dispatch(OscMessage::Decode(datagram.constData(), static_cast<std::size_t>(datagram.size())), &handler);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              "Unable to process OSC command: Unknown command for OSC event command.\n");
}

}  // namespace
