#include "MidiOutputPortsWin32.h"

#include "MidiBufferWin32.h"
#include "WinSynth.h"

#include <fennic/CoutBuffer.h>

#include <stdexcept>
#include <utility>

namespace {

MidiBufferWin32& AsPlatformBuffer(const std::shared_ptr<MidiBuffer>& buffer)
{
    return static_cast<MidiBufferWin32&>(*buffer);
}

}  // namespace

MidiOutputPortsWin32::MidiOutputPortsWin32(unsigned char portCount)
{
    ports_.reserve(portCount);
    for (unsigned int port = 0; port < portCount; ++port) {
        ports_.push_back(std::make_shared<MidiOutputPortWin32>(static_cast<unsigned char>(port)));
    }
}

void MidiOutputPortsWin32::RegisterMidiBuffer(std::shared_ptr<MidiBuffer> buffer)
{
    if (dynamic_cast<MidiBufferWin32*>(buffer.get()) == nullptr) {
        throw std::invalid_argument("MidiOutputPortsWin32::RegisterMidiBuffer: not a MidiBufferWin32");
    }
    registeredBuffers_.push_back(std::move(buffer));
}

void MidiOutputPortsWin32::SendMidiBuffer(MidiBuffer& buffer)
{
    for (const auto& port : ports_) {
        port->SendMidiBuffer(buffer);
    }
}

void MidiOutputPortsWin32::UnbindPorts()
{
    for (const auto& port : ports_) {
        port->ClearMidiOutputCallback();
    }
}

void MidiOutputPortsWin32::ConnectSynth(WinSynth& synth)
{
    for (const auto& port : ports_) {
        port->SetMidiOutputCallback(
            [&synth](MidiBufferWin32* buffer, unsigned char index) { synth.SendDataBuffer(buffer, index); });
    }
    const HMIDIOUT handle = synth.GetOutputHandle();
    try {
        for (const auto& registered : registeredBuffers_) {
            AsPlatformBuffer(registered).PrepareHeaders(handle);
        }
        synth.Restart();
    } catch (...) {
        UnbindPorts();
        UnprepareHeadersPreparedFor(handle);
        throw;
    }
}

void MidiOutputPortsWin32::UnprepareHeadersPreparedFor(HMIDIOUT handle)
{
    for (const auto& registered : registeredBuffers_) {
        MidiBufferWin32& buffer = AsPlatformBuffer(registered);
        for (unsigned int port = 0; port < buffer.GetPortCount(); ++port) {
            DataBuffer& data = buffer.GetDataBuffer(static_cast<unsigned char>(port));
            if (data.GetHeaderIsPrepared() && data.GetPreparedOutputHandle() == handle) {
                try {
                    data.UnprepareHeader(handle);
                } catch (const std::exception& e) {
                    // Left prepared for a stream that is closed with its synth; the next connection
                    // prepares it again.
                    fennic::CoutBuffer() << "WARNING: " << e.what() << fennic::endl;
                }
            }
        }
    }
}

void MidiOutputPortsWin32::DisconnectSynth(WinSynth& synth)
{
    synth.Stop();
    const HMIDIOUT handle = synth.GetOutputHandle();
    for (const auto& registered : registeredBuffers_) {
        MidiBufferWin32& buffer = AsPlatformBuffer(registered);
        buffer.UnprepareHeaders(handle);
        buffer.CleanUpQuarantinedDataBuffers(handle);
        if (buffer.GetHasQuarantinedDataBuffers()) {
            fennic::CoutBuffer() << "WARNING: " << buffer.GetName() << " has " << buffer.GetQuarantinedDataBufferCount()
                                 << " quarantined data buffers after midiStreamStop." << fennic::endl;
        }
    }
}

void MidiOutputPortsWin32::CleanUpQuarantinedDataBuffers(HMIDIOUT handle)
{
    for (const auto& registered : registeredBuffers_) {
        AsPlatformBuffer(registered).CleanUpQuarantinedDataBuffers(handle);
    }
}

MidiOutputPorts* CreateMidiPorts(unsigned char portCount)
{
    return new MidiOutputPortsWin32(portCount);
}
