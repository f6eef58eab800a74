#include "MidiInterface.h"

#include "MidiPlayer.h"

#include <brix_core/CallbackDispatcher.h>
#include <brix_core/NotifyNames.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

std::unique_ptr<std::istream> OpenScoreArchive(const std::string& showDirectory)
{
    const std::filesystem::path path = std::filesystem::path(showDirectory) / MidiInterface::kScoreArchiveFileName;
    auto file = std::make_unique<std::ifstream>(path, std::ios::binary);
    if (file->is_open()) {
        return file;
    }
    return std::make_unique<std::istringstream>(std::string());
}

}  // namespace

MidiInterface::MidiInterface(const std::string& showDirectory, const std::string& second)
    : Interface(showDirectory, second), scoreTar(OpenScoreArchive(showDirectory))
{
    notify::callbackDispatcher.AddCallback(this, notify::names::midiCommandLearned,
                                           [this](void*) { GetMidiPlayer().SetHasConductBeat(GetHasConductBeat()); });
}

MidiInterface::~MidiInterface()
{
    RemoveLearnedCommandCallback();
}

void MidiInterface::RemoveLearnedCommandCallback()
{
    notify::callbackDispatcher.RemoveCallbacksForTarget(this);
}

std::istream& MidiInterface::GetScoreTar()
{
    return *scoreTar;
}

void MidiInterface::SetMidiSource(int source)
{
    Interface::SetMidiSource(source);
    GetMidiPlayer().SetHasConductBeat(GetHasConductBeat());
}

void MidiInterface::AllNotesOff()
{
    GetMidiPlayer().AllNotesOff();
}

void MidiInterface::SetHighSpeed()
{
    GetMidiPlayer().SetHighSpeed();
}
