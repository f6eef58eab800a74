#pragma once

#include <windows.h>
#include <mmsystem.h>

class MidiBufferWin32;

// Synth: an output that the ports send their buffers to.
class Synth {
public:
    virtual ~Synth();
};

// WinSynth: the MIDI stream opened on output device 0. Every event goes out with delta 0; the engine's
// own clock decides when each buffer is handed over (SendDataBuffer). The stream handle, cast to
// HMIDIOUT, is the handle the data buffers are prepared for.
//
// Owner: MidiOutputWin32 (CreateSynthOutput), connected to its ports while it lives.
// Threads: SendDataBuffer runs on the clock path (and the player's threads for special buffers) under
// the output lock and the buffer lock, and waits up to 3 seconds for the stream's MOM_DONE, which
// arrives on the stream's callback thread; that callback takes only the data buffer's own mutex.
class WinSynth : public Synth {
public:
    static constexpr int kSendTimeoutSeconds = 3;

    // Opens the stream; MidiDeviceUnavailable with the device summary when it cannot.
    WinSynth();
    ~WinSynth() override;
    WinSynth(const WinSynth&) = delete;
    WinSynth& operator=(const WinSynth&) = delete;

    HMIDISTRM GetStreamHandle() const { return stream_; }
    HMIDIOUT GetOutputHandle() const { return reinterpret_cast<HMIDIOUT>(stream_); }

    // midiStreamRestart, guarded (MidiImplementationError on failure).
    void Restart();
    // midiStreamStop; the result is ignored.
    void Stop();

    // Hands one port's data buffer to the stream and waits for it to come back; a data buffer that
    // does not come back within 3 seconds is quarantined. A refused midiStreamOut is logged and the
    // port's events of this buffer are dropped, so the next buffer goes out normally.
    // Throws std::out_of_range for a port beyond the buffer's, std::logic_error for a header that is
    // not prepared for this stream, MidiImplementationError when the data buffer is still in use.
    void SendDataBuffer(MidiBufferWin32* buffer, unsigned char port);

    static void CALLBACK MidiStreamCallback(HMIDIOUT handle, UINT message, DWORD_PTR instance, DWORD_PTR param1,
                                            DWORD_PTR param2);

private:
    HMIDISTRM stream_ = nullptr;
};
