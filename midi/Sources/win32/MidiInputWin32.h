#pragma once

#include "MIDIMessage.h"
#include "MidiInputInterface.h"
#include "MidiInputPortWin32.h"

#include <brix_core/BrixLog.h>

#include <exception>
#include <memory>

// MidiInputWin32: connects one Windows input device to a receiver, which offers
// ProcessMessage(const MIDIMessage&). The device's short messages reach the receiver on the device's
// callback thread while the port runs.
//
// Owner: the receiver (MidiMessageDispatcher), which outlives it. Destruction kills the port first, so
// no message is delivered once the destructor has returned.
template <class Receiver>
class MidiInputWin32 : public MidiInputInterface {
public:
    // Opens the input device at portIndex (MidiPortError when it cannot); input starts with Start().
    MidiInputWin32(unsigned char portIndex, Receiver* receiver)
        : port_(std::make_unique<MidiInputPortWin32>(portIndex, &InputCallback, receiver))
    {
    }
    ~MidiInputWin32() override
    {
        port_->KillIt();
        port_.reset();
    }

    void Start() override { port_->Start(); }
    unsigned char GetPortIndex() override { return port_->GetPortIndex(); }

private:
    // Device callback thread. Delivers complete short messages while the port runs; nothing leaves it
    // by exception (a failing receiver is logged and the message dropped).
    static void CALLBACK InputCallback(HMIDIIN, unsigned int message, unsigned long long instance,
                                       unsigned long long param1, unsigned long long)
    {
        if (message != MIM_DATA) {
            return;
        }
        try {
            auto* port = reinterpret_cast<MidiInputPortWin32*>(instance);
            if (!port->GetIsRunning()) {
                return;
            }
            MIDIMessage received;
            received.status = static_cast<std::uint8_t>(param1 & 0xFF);
            received.data1 = static_cast<std::uint8_t>((param1 >> 8) & 0xFF);
            received.data2 = static_cast<std::uint8_t>((param1 >> 16) & 0xFF);
            static_cast<Receiver*>(port->GetCallbackTarget())->ProcessMessage(received);
        } catch (...) {
            BrixLogCurrentException(__FILE__, __LINE__);
        }
    }

    std::unique_ptr<MidiInputPortWin32> port_;
};
