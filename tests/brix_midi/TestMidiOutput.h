#pragma once

#include "MidiOutput.h"
#include "MidiOutputPorts.h"
#include "TestMidiBuffer.h"

#include <condition_variable>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <tuple>
#include <vector>

// A test buffer whose storage is emptied by Reset(), as the platform buffer's is.
class ResettingMidiBuffer : public VectorMidiBuffer {
public:
    using VectorMidiBuffer::VectorMidiBuffer;
    void ResetPortEventCounts() override
    {
        VectorMidiBuffer::ResetPortEventCounts();
        Clear();
    }
};

// Ports that record every buffer registered with them and every send: which buffer, and its events as
// (port, status, data 1, data 2). Set throwInvalidVoiceEvent to make sends fail as a bad event would.
class RecordingMidiOutputPorts : public MidiOutputPorts {
public:
    using Event = std::tuple<int, int, int, int>;
    struct Send {
        const MidiBuffer* buffer;
        std::vector<Event> events;
    };

    void SendMidiBuffer(MidiBuffer& buffer) override;
    void RegisterMidiBuffer(std::shared_ptr<MidiBuffer> buffer) override;

    std::vector<Send> GetSends();
    std::vector<std::shared_ptr<MidiBuffer>> GetRegistered();

    bool throwInvalidVoiceEvent = false;

private:
    std::mutex recordMutex_;
    std::vector<Send> sends_;
    std::vector<std::shared_ptr<MidiBuffer>> registered_;
};

// A MidiOutput over test buffers and recording ports, with no clock path of its own.
class TestMidiOutput : public MidiOutput {
public:
    using MidiOutput::MidiOutput;
    ~TestMidiOutput() override
    {
        if (onDestroy) {
            onDestroy();
        }
        ExitThreads();
    }

    using MidiOutput::DoTimeCodeCallback;
    using MidiOutput::SignalAsyncStoppedCallback;

    void CreateSynthOutput(const std::string&) override {}
    void CreateAudioUnitOutput(const fennic::ptr_map<unsigned short, brix_midi::VoiceTrack>&) override {}
    void CreateKeysOutput() override {}
    MidiOutputPorts& GetPorts() override { return ports; }

    // The name the output gave the buffer when it created it.
    std::string NameOf(const MidiBuffer* buffer);

    RecordingMidiOutputPorts ports;
    // Called first by the destructor, on the destroying thread, before the threads are ended.
    std::function<void()> onDestroy;

protected:
    std::unique_ptr<MidiBuffer> NewMidiBuffer(unsigned char portCount, unsigned short capacity,
                                              const std::string& name) override;

private:
    std::mutex namesMutex_;
    std::map<const MidiBuffer*, std::string> names_;
};
