// Linux stand-in for the Windows multimedia declarations that the MIDI engine
// uses: MIDI stream output, MIDI device lists and error texts, MIDI input and
// the one-shot multimedia timer.
//
// Devices: the output list holds the virtual devices a test registered (in
// registration order), then, when the machine has an ALSA sequencer, the
// program's own sequencer output port. The input list holds the virtual inputs,
// then the readable ports of the other sequencer clients.
//
// Callbacks: CALLBACK_FUNCTION is the only callback kind. A stream reports only
// MOM_DONE and an input only MIM_DATA, each on a thread of its own, never on
// the thread that made the call; a callback must not call the function family
// of its own handle (such a close or stop returns MMSYSERR_HANDLEBUSY).
#pragma once

#include <windows.h>

typedef UINT MMRESULT;
typedef UINT MMVERSION;

struct HMIDISTRM_handle;
struct HMIDIOUT_handle;
struct HMIDIIN_handle;
typedef HMIDISTRM_handle* HMIDISTRM;
typedef HMIDIOUT_handle* HMIDIOUT;
typedef HMIDIIN_handle* HMIDIIN;
typedef HMIDISTRM* LPHMIDISTRM;
typedef HMIDIIN* LPHMIDIIN;

// Result codes.
#define MMSYSERR_NOERROR 0
#define MMSYSERR_ERROR 1
#define MMSYSERR_BADDEVICEID 2
#define MMSYSERR_NOTENABLED 3
#define MMSYSERR_ALLOCATED 4
#define MMSYSERR_INVALHANDLE 5
#define MMSYSERR_NODRIVER 6
#define MMSYSERR_NOMEM 7
#define MMSYSERR_NOTSUPPORTED 8
#define MMSYSERR_BADERRNUM 9
#define MMSYSERR_INVALFLAG 10
#define MMSYSERR_INVALPARAM 11
#define MMSYSERR_HANDLEBUSY 12
#define MMSYSERR_INVALIDALIAS 13
#define MMSYSERR_BADDB 14
#define MMSYSERR_KEYNOTFOUND 15
#define MMSYSERR_READERROR 16
#define MMSYSERR_WRITEERROR 17
#define MMSYSERR_DELETEERROR 18
#define MMSYSERR_VALNOTFOUND 19
#define MMSYSERR_NODRIVERCB 20
#define MMSYSERR_MOREDATA 21
#define MIDIERR_UNPREPARED 64
#define MIDIERR_STILLPLAYING 65
#define MIDIERR_NOMAP 66
#define MIDIERR_NOTREADY 67
#define MIDIERR_NODEVICE 68
#define MIDIERR_INVALIDSETUP 69
#define MIDIERR_BADOPENMODE 70
#define MIDIERR_DONT_CONTINUE 71
#define TIMERR_NOERROR 0
#define TIMERR_NOCANDO 97

#define CALLBACK_FUNCTION 0x00030000U

// Callback messages.
#define MIM_DATA 0x3C3
#define MOM_OPEN 0x3C7
#define MOM_CLOSE 0x3C8
#define MOM_DONE 0x3C9
#define MOM_POSITIONCB 0x3CA

#define MAXPNAMELEN 32

// Stream buffer header; byte-packed, as the stream interface lays it out.
#pragma pack(push, 1)
typedef struct midihdr_tag {
    LPSTR lpData;
    DWORD dwBufferLength;
    DWORD dwBytesRecorded;
    DWORD_PTR dwUser;
    DWORD dwFlags;
    struct midihdr_tag* lpNext;
    DWORD_PTR reserved;
    DWORD dwOffset;
    DWORD_PTR dwReserved[8];
} MIDIHDR, *LPMIDIHDR;
#pragma pack(pop)
static_assert(sizeof(MIDIHDR) == 112);

#define MHDR_DONE 0x00000001U
#define MHDR_PREPARED 0x00000002U
#define MHDR_INQUEUE 0x00000004U
#define MHDR_ISSTRM 0x00000008U

// A stream event: a short event is the 12 bytes before dwParms.
typedef struct midievent_tag {
    DWORD dwDeltaTime;
    DWORD dwStreamID;
    DWORD dwEvent;
    DWORD dwParms[1];
} MIDIEVENT;
static_assert(sizeof(MIDIEVENT) == 16);
static_assert(offsetof(MIDIEVENT, dwParms) == 12);

// Event type in bits 24-31 of dwEvent, plus the callback flag. Delta times are
// not honoured: each event is sent when the stream reaches it (the engine
// queues every event with delta 0). Event types other than MEVT_SHORTMSG are
// skipped; MEVT_F_CALLBACK asks for nothing here.
#define MEVT_SHORTMSG ((BYTE)0x00)
#define MEVT_NOP ((BYTE)0x02)
#define MEVT_F_CALLBACK 0x40000000U

typedef struct tagMIDIOUTCAPSW {
    WORD wMid;
    WORD wPid;
    MMVERSION vDriverVersion;
    WCHAR szPname[MAXPNAMELEN];
    WORD wTechnology;
    WORD wVoices;
    WORD wNotes;
    WORD wChannelMask;
    DWORD dwSupport;
} MIDIOUTCAPSW, *LPMIDIOUTCAPSW;
static_assert(sizeof(MIDIOUTCAPSW) == 84);

typedef struct tagMIDIINCAPSW {
    WORD wMid;
    WORD wPid;
    MMVERSION vDriverVersion;
    WCHAR szPname[MAXPNAMELEN];
    DWORD dwSupport;
} MIDIINCAPSW, *LPMIDIINCAPSW;
static_assert(sizeof(MIDIINCAPSW) == 76);

// wTechnology values.
#define MOD_MIDIPORT 1
#define MOD_SYNTH 2
#define MOD_SQSYNTH 3
#define MOD_FMSYNTH 4
#define MOD_MAPPER 5
#define MOD_WAVETABLE 6
#define MOD_SWSYNTH 7

// MIDI output devices, stream output and error texts.
UINT WINAPI midiOutGetNumDevs();
MMRESULT WINAPI midiOutGetDevCapsW(UINT_PTR uDeviceID, LPMIDIOUTCAPSW pmoc, UINT cbmoc);
// Texts for MMSYSERR_NOERROR to MMSYSERR_MOREDATA and MIDIERR_UNPREPARED to
// MIDIERR_DONT_CONTINUE; other codes give MMSYSERR_BADERRNUM. A text longer
// than the buffer is cut to fit, with its terminating zero.
MMRESULT WINAPI midiOutGetErrorTextW(MMRESULT mmrError, LPWSTR pszText, UINT cchText);

// Opens one stream (cMidi 1) on the output device *puDeviceID, paused.
MMRESULT WINAPI midiStreamOpen(LPHMIDISTRM phms, LPUINT puDeviceID, DWORD cMidi, DWORD_PTR dwCallback,
                               DWORD_PTR dwInstance, DWORD fdwOpen);
// Prepares a header for the stream whose handle is cast to HMIDIOUT. Unprepare
// refuses a header that is still queued with MIDIERR_STILLPLAYING.
MMRESULT WINAPI midiOutPrepareHeader(HMIDIOUT hmo, LPMIDIHDR pmh, UINT cbmh);
MMRESULT WINAPI midiOutUnprepareHeader(HMIDIOUT hmo, LPMIDIHDR pmh, UINT cbmh);
// Queues a header prepared for this stream. Its events are sent in order once
// the stream plays; then MOM_DONE comes with the header as parameter 1.
MMRESULT WINAPI midiStreamOut(HMIDISTRM hms, LPMIDIHDR pmh, UINT cbmh);
MMRESULT WINAPI midiStreamRestart(HMIDISTRM hms);
// Pauses the stream and returns every queued header with MOM_DONE before it
// returns; a header being sent is finished first.
MMRESULT WINAPI midiStreamStop(HMIDISTRM hms);
// Refused with MIDIERR_STILLPLAYING while headers are queued.
MMRESULT WINAPI midiStreamClose(HMIDISTRM hms);

// MIDI input. MIM_DATA carries status, data 1 and data 2 in bits 0-23 of
// parameter 1 and the milliseconds since midiInStart in parameter 2; input is
// delivered only between midiInStart and midiInReset or midiInClose.
UINT WINAPI midiInGetNumDevs();
MMRESULT WINAPI midiInGetDevCapsW(UINT_PTR uDeviceID, LPMIDIINCAPSW pmic, UINT cbmic);
MMRESULT WINAPI midiInOpen(LPHMIDIIN phmi, UINT uDeviceID, DWORD_PTR dwCallback, DWORD_PTR dwInstance,
                           DWORD fdwOpen);
MMRESULT WINAPI midiInStart(HMIDIIN hmi);
MMRESULT WINAPI midiInReset(HMIDIIN hmi);
// Returns after a callback in flight has finished; none runs afterwards.
MMRESULT WINAPI midiInClose(HMIDIIN hmi);

// Multimedia timers. One process-wide timer thread sleeps to absolute
// CLOCK_MONOTONIC deadlines and calls the callbacks in deadline order (equal
// deadlines in the order they were set). Only one-shot timers exist; the
// resolution argument and timeBeginPeriod change nothing on Linux, where the
// thread already wakes to the microsecond.
#define TIME_ONESHOT 0x0000
typedef void(CALLBACK* LPTIMECALLBACK)(UINT uTimerID, UINT uMsg, DWORD_PTR dwUser, DWORD_PTR dw1,
                                       DWORD_PTR dw2);
MMRESULT WINAPI timeBeginPeriod(UINT uPeriod);
MMRESULT WINAPI timeEndPeriod(UINT uPeriod);
// Returns the timer id, or 0 when uDelay is outside 1 to 1,000,000 ms, the
// callback is missing or fuEvent is not TIME_ONESHOT.
MMRESULT WINAPI timeSetEvent(UINT uDelay, UINT uResolution, LPTIMECALLBACK lpTimeProc, DWORD_PTR dwUser,
                             UINT fuEvent);
// Cancels a pending timer: it never fires. An id that is not pending (unknown,
// fired or killed) gives MMSYSERR_INVALPARAM; when that id's callback is
// running, the call first waits for it to end, unless made from the callback.
MMRESULT WINAPI timeKillEvent(UINT uTimerID);
