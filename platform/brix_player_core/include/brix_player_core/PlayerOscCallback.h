#pragma once

#include <brix_core/BrixEvent.h>

namespace brix {

// What the player engine calls to send the OSC cues of the change log. The front end implements it
// (sending over the network); the engine decides when a cue is due.
// Threads: the engine calls ExecuteEvent and EnqueueEvent on its filling thread and must not wait for
// the sending; SetDefaultPort on the caller's thread.
class PlayerOscCallback {
public:
    virtual ~PlayerOscCallback() = default;
    // Send the cue after delay milliseconds.
    virtual void ExecuteEvent(const CL::Osc& osc, unsigned int delay) = 0;
    // Keep the cue to send (after delay milliseconds) when playback starts.
    virtual void EnqueueEvent(const CL::Osc& osc, unsigned int delay) = 0;
    // The port of a cue whose destination gives none.
    virtual void SetDefaultPort(unsigned short port) = 0;
};

}  // namespace brix
