#include "TestMidiOutput.h"

#include "BrixMidiError.h"

void RecordingMidiOutputPorts::SendMidiBuffer(MidiBuffer& buffer)
{
    if (throwInvalidVoiceEvent) {
        throw InvalidVoiceEvent("bad event");
    }
    Send send{&buffer, {}};
    auto& vectorBuffer = dynamic_cast<VectorMidiBuffer&>(buffer);
    for (const auto& [port, event] : vectorBuffer.added) {
        send.events.emplace_back(port, event.message.status, event.message.data1, event.message.data2);
    }
    std::lock_guard lock(recordMutex_);
    sends_.push_back(std::move(send));
}

void RecordingMidiOutputPorts::RegisterMidiBuffer(std::shared_ptr<MidiBuffer> buffer)
{
    std::lock_guard lock(recordMutex_);
    registered_.push_back(std::move(buffer));
}

std::vector<RecordingMidiOutputPorts::Send> RecordingMidiOutputPorts::GetSends()
{
    std::lock_guard lock(recordMutex_);
    return sends_;
}

std::vector<std::shared_ptr<MidiBuffer>> RecordingMidiOutputPorts::GetRegistered()
{
    std::lock_guard lock(recordMutex_);
    return registered_;
}

std::string TestMidiOutput::NameOf(const MidiBuffer* buffer)
{
    std::lock_guard lock(namesMutex_);
    auto it = names_.find(buffer);
    return it == names_.end() ? std::string() : it->second;
}

std::unique_ptr<MidiBuffer> TestMidiOutput::NewMidiBuffer(unsigned char portCount, unsigned short capacity,
                                                          const std::string& name)
{
    auto buffer = std::make_unique<ResettingMidiBuffer>(portCount, capacity);
    std::lock_guard lock(namesMutex_);
    names_[buffer.get()] = name;
    return buffer;
}
