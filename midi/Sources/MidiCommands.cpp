#include "MidiCommands.h"

#include "BrixMidiError.h"
#include "MidiCommandSettings.h"
#include "MidiEndPoint.h"
#include "MidiMessageDispatcher.h"

#include <brix_core/CallbackDispatcher.h>
#include <brix_core/GuiDispatcher.h>
#include <brix_core/NotifyNames.h>
#include <fennic/CoutBuffer.h>
#include <fennic/Exceptions.h>

#include <algorithm>
#include <ios>
#include <iostream>
#include <stdexcept>
#include <string>
#include <vector>

namespace midi_commands {

namespace {

using Lock = std::lock_guard<std::recursive_mutex>;
using PortLock = std::lock_guard<std::mutex>;

// The dispatcher's key of a message: the status byte with its channel, and the first data byte.
MidiCommands::Message KeyOf(unsigned char status, unsigned char channel, unsigned char data) {
    return {static_cast<unsigned char>(status | channel), data};
}

MidiCommands::Message KeyOf(const LearnedCommand& command) {
    return KeyOf(command.status, command.channel, command.data);
}

bool SameMessage(const LearnedCommand& command, unsigned char status, unsigned char channel, unsigned char data) {
    return command.status == status && command.channel == channel && command.data == data;
}

}  // namespace

MidiCommands::MidiCommands(MidiMessageDispatcher& dispatcher, const std::string& settingsPath)
    : dispatcher_(dispatcher), settingsPath_(settingsPath), learnTarget_(std::make_shared<LearnTarget>())
{
    learnTarget_->owner = this;
    try {
        LoadFromFile();
    } catch (const fennic::IoError&) {
        // No settings file yet.
    } catch (const std::ios_base::failure& failure) {
        fennic::CoutBuffer() << "WARNING: LoadFromFile error: " << failure.what() << fennic::endl;
    } catch (const BrixMidiError& error) {
        fennic::CoutBuffer() << "WARNING: BrixMidiError on LoadFromFile: " << error.what() << fennic::endl;
    }
}

MidiCommands::~MidiCommands()
{
    {
        std::lock_guard lock(learnTarget_->mutex);
        learnTarget_->owner = nullptr;
    }
    try {
        SaveToFile();
    } catch (...) {
        fennic::CoutBuffer() << "WARNING: Unable to save settings to " << settingsPath_ << fennic::endl;
    }
}

void MidiCommands::ConnectSourceByIndex(unsigned char sourceIndex)
{
    PortLock portLock(portMutex_);
    {
        Lock lock(mutex_);
        keptSourceIndex_.reset();
        if (!IsValidNonBrixSourceIndex(sourceIndex)) {
            sourceConnected_ = false;
            throw MidiPortError("Invalid MIDI source.");
        }
    }
    try {
        dispatcher_.ConnectWithSourceIndex(sourceIndex);
    } catch (...) {
        Lock lock(mutex_);
        sourceConnected_ = false;
        throw;
    }
    try {
        dispatcher_.Start();
    } catch (...) {
        // An input that cannot start is no source.
        dispatcher_.Disconnect();
        Lock lock(mutex_);
        sourceConnected_ = false;
        throw;
    }
    Lock lock(mutex_);
    sourceConnected_ = true;
    notify::guiDispatcher.SendSourceConnected(sourceIndex);
    ReconnectLearnedCommands();
    notify::callbackDispatcher.Notify(notify::names::midiSourceConnected, nullptr);
}

unsigned char MidiCommands::GetConnectedSourceIndex()
{
    PortLock portLock(portMutex_);
    return dispatcher_.GetPortIndex();
}

bool MidiCommands::HasMidiSource()
{
    PortLock portLock(portMutex_);
    return dispatcher_.GetIsConnected();
}

bool MidiCommands::GetHasConductBeat()
{
    Lock lock(mutex_);
    return hasConductBeat_;
}

std::map<unsigned char, LearnedCommand> MidiCommands::GetLearnedCommands()
{
    Lock lock(mutex_);
    return learnedCommands_;
}

bool MidiCommands::IsMidiCommandLearning(unsigned char commandId)
{
    Lock lock(mutex_);
    return std::find(learnQueue_.begin(), learnQueue_.end(), commandId) != learnQueue_.end();
}

void MidiCommands::LearnMidiCommandNoAssign(unsigned char commandId)
{
    {
        Lock lock(mutex_);
        learnQueue_.push_back(commandId);
    }
    dispatcher_.LearnMidiBindingNoAssign([target = learnTarget_, commandId](Message message) {
        std::lock_guard lock(target->mutex);
        if (target->owner != nullptr) {
            target->owner->OnLearnedMidiCommandNoAssign(commandId, message);
        }
    });
}

void MidiCommands::OnLearnedMidiCommandNoAssign(unsigned char commandId, Message message)
{
    {
        Lock lock(mutex_);
        const bool expected = !learnQueue_.empty() && learnQueue_.front() == commandId;
        if (!learnQueue_.empty()) {
            learnQueue_.pop_front();
        }
        if (!expected) {
            std::cerr << "Error: Learned Midi Command Id Does Not match expected command id." << std::endl;
        }
    }
    SetMidiCommand(commandId, message.first & 0xF0, message.first & 0x0F, message.second);
}

void MidiCommands::SetMidiCommand(unsigned char commandId, unsigned char status, unsigned char channel,
                                  unsigned char data)
{
    const auto action = commandIds.find(commandId);
    if (action == commandIds.end()) {
        throw std::out_of_range("MidiCommands::SetMidiCommand: no command with id " +
                                std::to_string(static_cast<unsigned int>(commandId)));
    }
    RemoveDuplicateLearnedCommand(commandId, status, channel, data);
    const Message key = KeyOf(status, channel, data);
    dispatcher_.SetMidiBinding(key, action->second);

    Lock lock(mutex_);
    if (commandId == 0) {
        hasConductBeat_ = true;
    }
    SendLearnedCommand(commandId, key);
    learnedCommands_[commandId] = LearnedCommand{commandId, status, channel, data};
}

void MidiCommands::UnsetMidiCommand(unsigned char commandId)
{
    Lock lock(mutex_);
    const auto learned = learnedCommands_.find(commandId);
    if (learned != learnedCommands_.end()) {
        dispatcher_.RemoveMidiBinding(KeyOf(learned->second));
        learnedCommands_.erase(learned);
    }
    if (commandId == 0) {
        hasConductBeat_ = false;
    }
    SendCommandCanceled(commandId);
}

void MidiCommands::LoadFromFile()
{
    const MidiCommandSettings settings = MidiCommandSettings::ReadFromFile(settingsPath_);
    {
        Lock lock(mutex_);
        for (const auto& [commandId, command] : settings.learnedCommands) {
            learnedCommands_[commandId] = command;
        }
    }
    if (!settings.sourceIndex) {
        return;
    }
    try {
        ConnectSourceByIndex(static_cast<unsigned char>(*settings.sourceIndex));
    } catch (const MidiPortError&) {
        // The device is absent or failed: run unconnected, but keep the choice for the next save.
        Lock lock(mutex_);
        keptSourceIndex_ = settings.sourceIndex;
    }
}

void MidiCommands::SaveToFile()
{
    MidiCommandSettings settings;
    {
        PortLock portLock(portMutex_);
        Lock lock(mutex_);
        if (sourceConnected_) {
            settings.sourceIndex = dispatcher_.GetPortIndex();
        } else {
            settings.sourceIndex = keptSourceIndex_;
        }
        settings.learnedCommands = learnedCommands_;
    }
    settings.WriteToFile(settingsPath_);
}

void MidiCommands::ReconnectLearnedCommands()
{
    Lock lock(mutex_);
    std::vector<unsigned char> commandIdsToBind;
    for (const auto& [commandId, command] : learnedCommands_) {
        commandIdsToBind.push_back(commandId);
    }
    // In ascending id order; a command whose message a lower id took meanwhile is gone and skipped.
    for (const unsigned char commandId : commandIdsToBind) {
        const auto learned = learnedCommands_.find(commandId);
        if (learned == learnedCommands_.end()) {
            continue;
        }
        const LearnedCommand command = learned->second;
        SetMidiCommand(command.commandId, command.status, command.channel, command.data);
    }
}

void MidiCommands::RemoveDuplicateLearnedCommand(unsigned char commandId, unsigned char status, unsigned char channel,
                                                 unsigned char data)
{
    Lock lock(mutex_);
    std::vector<LearnedCommand> collected;
    for (const auto& [learnedId, command] : learnedCommands_) {
        const bool sameMessage = SameMessage(command, status, channel, data);
        if ((learnedId == commandId) != sameMessage) {
            collected.push_back(command);
        }
    }
    for (const LearnedCommand& command : collected) {
        dispatcher_.RemoveMidiBinding(KeyOf(command));
        if (command.commandId != commandId) {
            learnedCommands_.erase(command.commandId);
            if (command.commandId == 0) {
                hasConductBeat_ = false;
            }
            SendCommandCanceled(command.commandId);
        }
    }
}

void MidiCommands::SendCommandCanceled(unsigned char commandId)
{
    notify::guiDispatcher.SendMidiCommandCanceled(commandId);
}

void MidiCommands::SendLearnedCommand(unsigned char commandId, const Message& message)
{
    notify::guiDispatcher.SendLearnedMIDICommand((commandId << 16) | (message.first << 8) | message.second);
    notify::callbackDispatcher.Notify(notify::names::midiCommandLearned, nullptr);
}

}  // namespace midi_commands
