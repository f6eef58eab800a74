#include "MidiInterface.h"

#include "MidiPlayer.h"

#include <brix_core/CallbackDispatcher.h>
#include <brix_core/NotifyNames.h>

#include <filesystem>
#include <fstream>
#include <sstream>

MidiInterface::MidiInterface(const std::string& showDirectory, const std::string& second)
    : Interface(showDirectory, second), scoreTar(std::make_unique<std::istringstream>())
{
    LoadShowData();
    notify::callbackDispatcher.AddCallback(this, notify::names::midiCommandLearned,
                                           [this](void*) { GetMidiPlayer().SetHasConductBeat(GetHasConductBeat()); });
}

MidiInterface::~MidiInterface()
{
    RemoveCallbacks();
}

void MidiInterface::RemoveCallbacks()
{
    notify::callbackDispatcher.RemoveCallbacksForTarget(this);
}

std::istream& MidiInterface::GetScoreTar()
{
    return *scoreTar;
}

void MidiInterface::LoadShowData()
{
    const std::filesystem::path path = std::filesystem::path(GetShowDirectory()) / kScoreArchiveFileName;
    std::ifstream file(path, std::ios::binary);
    std::ostringstream bytes;
    if (file.is_open()) {
        bytes << file.rdbuf();
    }
    scoreTar->str(bytes.str());
    scoreTar->clear();
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
