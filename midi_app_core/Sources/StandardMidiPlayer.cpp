#include "StandardMidiPlayer.h"

#include "win32/StandardMidiClockImpl.h"

#include <stdexcept>

StandardMidiPlayer::StandardMidiPlayer(unsigned char portCount, const std::string& name) : MidiPlayer(name)
{
    CreateMidiClock();
    CreateMidiOutput(portCount);
}

StandardMidiPlayer::~StandardMidiPlayer()
{
    CancelFade();
    MidiPlayer::PrepareForExit();
    StandardMidiPlayer::Shutdown();
}

void StandardMidiPlayer::Shutdown()
{
    MidiPlayer::Shutdown();
    midiClock.reset();
}

MidiClock& StandardMidiPlayer::GetMidiClock()
{
    if (!midiClock) {
        throw std::logic_error("StandardMidiPlayer::GetMidiClock: the clock was shut down");
    }
    return *midiClock;
}

void StandardMidiPlayer::CreateMidiClock()
{
    midiClock = std::make_unique<StandardMidiClockImpl>();
}
