#include "MidiTimeCodeController.h"

#include "BrixMidiError.h"
#include "SettingsFileReader.h"
#include "SettingsFileWriter.h"

#include <brix_core/GuiDispatcher.h>
#include <fennic/CoutBuffer.h>
#include <fennic/Exceptions.h>
#include <fennic/Format.h>

#include <ios>

namespace {

void DoNothingWithInterval(double, double, double) {}
void DoNothingWithSeconds(double) {}

}  // namespace

MidiTimeCodeController::MidiTimeCodeController(const std::string& path)
    : settingsPath(path), intervalFunction(DoNothingWithInterval), sendWithSecondsFunction(DoNothingWithSeconds) {
    try {
        LoadFromFile();
    } catch (const fennic::IoError&) {
        // No settings file yet: the defaults stand.
    } catch (const std::ios_base::failure& error) {
        fennic::CoutBuffer() << "MidiTimeCodeController::MidiTimeCodeController"
                             << "::LoadFromFile failed with " << error.what() << fennic::endl;
    } catch (const BrixMidiError& error) {
        fennic::CoutBuffer() << "MidiTimeCodeController::MidiTimeCodeController"
                             << "::LoadFromFile failed with " << error.what() << fennic::endl;
    }
}

MidiTimeCodeController::~MidiTimeCodeController() = default;

void MidiTimeCodeController::LoadFromFile() {
    SettingsFileReader reader(settingsPath);
    if (reader.ReadString() != kTag) {
        throw BrixMidiError("Unrecognized command settings file.");
    }
    // Each field is kept as soon as it is read.
    isActive = reader.ReadU8() != 0;
    hasOutputPort = reader.ReadU8() != 0;
    outputPortIndex = reader.ReadU32();
    const std::uint8_t rate = reader.ReadU8();
    isActive = false;
    if (!IsFrameRate(rate)) {
        throw BrixMidiError(fennic::format("Unsupported frame rate %u in the time-code settings file.",
                                           static_cast<unsigned int>(rate)));
    }
    frameRate = static_cast<FrameRate>(rate);
}

void MidiTimeCodeController::SaveToFile() const {
    SettingsFileWriter writer;
    writer.WriteString(kTag);
    writer.WriteU8(isActive ? 1 : 0);
    writer.WriteU8(hasOutputPort ? 1 : 0);
    writer.WriteU32(outputPortIndex);
    writer.WriteU8(static_cast<std::uint8_t>(frameRate));
    writer.Commit(settingsPath);
}

void MidiTimeCodeController::ActivateMidiTimeCode() {}

void MidiTimeCodeController::SetFrameRate(FrameRate rate) {
    const std::string rateName = ConvertFrameRateToString(rate);
    frameRate = rate;
    if (sender) {
        sender->SetFrameRate(rate);
    }
    notify::guiDispatcher.SendMtcFrameRateNotification(rateName);
}

void MidiTimeCodeController::SetOutputPortIndex(unsigned int index) {
    outputPortIndex = index;
    hasOutputPort = true;
    SetMtcThreadOutputPortIndex_();
}

void MidiTimeCodeController::SetMtcThreadOutputPortIndex_() {
    if (!sender || !hasOutputPort) {
        return;
    }
    try {
        sender->SetOutputPortIndex(outputPortIndex);
    } catch (const BrixMidiError&) {
        hasOutputPort = false;
        throw;
    }
    notify::guiDispatcher.SendMtcOutputPortNotification(outputPortIndex);
}

void MidiTimeCodeController::SendMidiTimeCodeWithSeconds(double seconds) {
    sendWithSecondsFunction(seconds);
}

void MidiTimeCodeController::SetMidiTimeCodeInterval(double startSeconds, double endSeconds,
                                                     double durationSeconds) {
    intervalFunction(startSeconds, endSeconds, durationSeconds);
}

void MidiTimeCodeController::PrepareForExit() {
    if (!isActive) {
        return;
    }
    isActive = false;
    intervalFunction = DoNothingWithInterval;
    sendWithSecondsFunction = DoNothingWithSeconds;
    sender.reset();
}

void MidiTimeCodeController::CancelMidiTimeCode() {
    PrepareForExit();
    notify::guiDispatcher.SendMtcActiveStateNotification(isActive);
}

void MidiTimeCodeController::Shutdown() {
    try {
        SaveToFile();
    } catch (...) {
        fennic::CoutBuffer() << "WARNING: Unable to save settings to " << settingsPath << fennic::endl;
    }
    CancelMidiTimeCode();
}
