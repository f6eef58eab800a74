#include "OscDispatch.h"

#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace brix::osc {

namespace {

using Params = std::vector<std::unique_ptr<OscParam>>;

constexpr float kDefaultFadeSeconds = 0.25f;
constexpr float kDefaultFadeLevel = 0.5f;
constexpr std::uint32_t kDefaultTickStep = 1920;
constexpr float kDefaultVolumeStepDecibels = 1.0f;

// Numbers from the network are checked before they reach the player.
float Finite(float value)
{
    if (!std::isfinite(value)) {
        throw std::runtime_error("OSC argument is not a finite number.");
    }
    return value;
}

float FadeSeconds(float seconds)
{
    if (Finite(seconds) < 0.0f) {
        throw std::runtime_error("OSC fade time cannot be negative.");
    }
    return seconds;
}

// The linear gain of a level in decibels.
double Gain(double decibels)
{
    const double gain = std::pow(10.0, decibels / 20.0);
    if (!std::isfinite(gain) || gain > std::numeric_limits<float>::max()) {
        throw std::runtime_error("OSC level is out of range.");
    }
    return gain;
}

// The first argument read as a float when it is numeric, else the default.
float FirstNumeric(const Params& params, float fallback)
{
    return !params.empty() && params[0]->IsNumeric() ? Finite(params[0]->ToFloat32()) : fallback;
}

std::uint32_t TickStep(const Params& params)
{
    if (params.empty() || params[0]->Type() != OscParamType::Int32) {
        return kDefaultTickStep;
    }
    const std::int32_t ticks = params[0]->ToInt32();
    if (ticks < 0) {
        throw std::runtime_error("OSC tick step cannot be negative.");
    }
    return static_cast<std::uint32_t>(ticks);
}

// "volumeup" and "volumedown": the argument only when it is the one argument and numeric.
float VolumeStep(const Params& params)
{
    return params.size() == 1 ? FirstNumeric(params, kDefaultVolumeStepDecibels) : kDefaultVolumeStepDecibels;
}

void RunSfxCommand(const OscCommandParts& parts, const Params& params, OscProcInterface& handler)
{
    if (params.empty()) {
        if (parts.command == "play") {
            handler.SfxPlay(parts.show, parts.event);
        } else if (parts.command == "stop") {
            if (parts.event == "*") {
                handler.SfxStopAll(parts.show);
            } else {
                handler.SfxStop(parts.show, parts.event);
            }
        }
        return;
    }
    if (parts.command == "fadeto") {
        if (params.size() < 2) {
            throw std::runtime_error("OSC sound-effect fadeto needs a level and a fade time.");
        }
        const double level = Gain(std::trunc(Finite(params[0]->ToFloat32())));
        const float fadeMilliseconds = FadeSeconds(params[1]->ToFloat32()) * 1000.0f;
        handler.SfxFadeTo(parts.show, parts.event, level, fadeMilliseconds);
    }
}

void RunCommand(const OscCommandParts& parts, const Params& params, OscProcInterface& handler)
{
    const std::string& command = parts.command;
    const std::string& show = parts.show;
    const std::string& song = parts.song;
    if (command == "advance" || command == "go") {
        handler.Advance(show, song);
    } else if (command == "fadeout") {
        handler.FadeOut(show, song, FadeSeconds(FirstNumeric(params, kDefaultFadeSeconds)));
    } else if (command == "fadeto") {
        float seconds = kDefaultFadeSeconds;
        float level = kDefaultFadeLevel;
        if (params.size() == 2) {
            level = static_cast<float>(Gain(std::trunc(Finite(params[0]->ToFloat32()))));
            seconds = FadeSeconds(params[1]->ToFloat32());
        }
        handler.FadeTo(show, song, seconds, level, false);
    } else if (command == "stop") {
        handler.Stop(show, song);
        RunSfxCommand(SplitOscAddress("/brix/sfx/*/stop"), {}, handler);
    } else if (command == "play") {
        handler.Play(show, song);
    } else if (command == "pause") {
        handler.PauseToggle(show, song);
    } else if (command == "nextsong") {
        handler.NextSong(show, song);
    } else if (command == "prevsong") {
        handler.PrevSong(show, song);
    } else if (command == "nextmarker") {
        handler.NextMarker(show, song);
    } else if (command == "prevmarker") {
        handler.PrevMarker(show, song);
    } else if (command == "nextbar") {
        handler.NextBar(show, song);
    } else if (command == "prevbar") {
        handler.PrevBar(show, song);
    } else if (command == "playheadfwd") {
        handler.PlayheadForward(show, song, TickStep(params));
    } else if (command == "playheadback") {
        handler.PlayheadBack(show, song, TickStep(params));
    } else if (command == "volume") {
        const bool given = !params.empty() && params[0]->IsNumeric();
        handler.SetVolume(given ? static_cast<float>(Gain(FirstNumeric(params, 0.0f))) : 1.0f);
    } else if (command == "volumeup") {
        handler.StepVolume(show, song, VolumeStep(params));
    } else if (command == "volumedown") {
        handler.StepVolume(show, song, -VolumeStep(params));
    }
}

}  // namespace

void Dispatch(const OscMessage& message, OscProcInterface* handler)
{
    if (handler == nullptr) {
        return;
    }
    handler->CommandReceived();
    try {
        const OscCommandParts parts = SplitOscAddress(message.Address());
        if (parts.isSfx) {
            RunSfxCommand(parts, message.Params(), *handler);
        } else if (parts.isEvent) {
            if (parts.command != "advance" && parts.command != "go") {
                throw std::runtime_error("Unknown command for OSC event command.");
            }
            handler->AdvanceEvent(parts.show, parts.song, parts.event);
        } else {
            RunCommand(parts, message.Params(), *handler);
        }
    } catch (const std::exception& error) {
        handler->ReportError(error.what(), "Unable to process OSC command");
    }
}

}  // namespace brix::osc
