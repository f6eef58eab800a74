#pragma once

#include "MidiPort.h"

#include <string>

// MidiPortWin32: a Windows port with no name of its own. Windows ports have no unique ids: any id is
// accepted and none is kept.
class MidiPortWin32 : public MidiPort {
public:
    MidiPortWin32(unsigned char portIndex, bool);

    bool SetUniqueId(int) override { return true; }
    std::string GetDisplayName() override { return {}; }
    int GetUniqueId() override { return 0; }
};
