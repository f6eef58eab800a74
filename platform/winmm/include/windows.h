// Linux stand-in for the Windows base declarations that the MIDI engine uses:
// integer types with their Windows widths, handles, last-error codes, thread
// priority, waitable timers and the wait function.
//
// Widths follow 64-bit Windows: DWORD and LONG are 32 bits, DWORD_PTR and
// UINT_PTR are 64 bits (unsigned long long, as callback signatures spell it).
// WCHAR is char16_t: a UTF-16 code unit, so wide texts are written u"..." and
// held in std::u16string (L"..." is 32 bits wide on Linux and does not fit).
#pragma once

#include <cstddef>
#include <cstdint>

typedef std::uint8_t BYTE;
typedef std::uint16_t WORD;
typedef std::uint32_t DWORD;
typedef std::int32_t LONG;
typedef std::int64_t LONGLONG;
typedef int BOOL;
typedef unsigned int UINT;
typedef unsigned long long DWORD_PTR;
typedef unsigned long long UINT_PTR;
typedef long long LONG_PTR;
typedef char16_t WCHAR;
typedef WCHAR* LPWSTR;
typedef const WCHAR* LPCWSTR;
typedef char* LPSTR;
typedef void* LPVOID;
typedef UINT* LPUINT;
typedef void* HANDLE;

static_assert(sizeof(BYTE) == 1 && sizeof(WORD) == 2 && sizeof(DWORD) == 4 && sizeof(LONG) == 4);
static_assert(sizeof(DWORD_PTR) == 8 && sizeof(UINT_PTR) == 8 && sizeof(WCHAR) == 2);
static_assert(sizeof(HANDLE) == 8, "the stand-in models 64-bit Windows");

// Calling conventions do not exist on x86-64 Linux.
#define CALLBACK
#define WINAPI

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif

// Last-error codes that the functions below set.
#define ERROR_SUCCESS 0U
#define ERROR_ACCESS_DENIED 5U
#define ERROR_INVALID_HANDLE 6U
#define ERROR_NOT_SUPPORTED 50U
#define ERROR_INVALID_PARAMETER 87U

// The calling thread's last error, set by the functions of this header that
// return BOOL, HANDLE or a wait result.
DWORD WINAPI GetLastError();

// Threads. Only the calling thread can be addressed, through the pseudo-handle
// of GetCurrentThread(). THREAD_PRIORITY_HIGHEST asks for SCHED_FIFO; where the
// system refuses, SetThreadPriority returns FALSE with ERROR_ACCESS_DENIED and
// the thread keeps its policy. THREAD_PRIORITY_NORMAL returns to SCHED_OTHER.
#define THREAD_PRIORITY_NORMAL 0
#define THREAD_PRIORITY_HIGHEST 2

HANDLE WINAPI GetCurrentThread();
BOOL WINAPI SetThreadPriority(HANDLE hThread, int nPriority);

typedef union LARGE_INTEGER {
    struct {
        DWORD LowPart;
        LONG HighPart;
    } u;
    LONGLONG QuadPart;
} LARGE_INTEGER;
static_assert(sizeof(LARGE_INTEGER) == 8);

struct SECURITY_ATTRIBUTES {
    DWORD nLength;
    LPVOID lpSecurityDescriptor;
    BOOL bInheritHandle;
};
typedef SECURITY_ATTRIBUTES* LPSECURITY_ATTRIBUTES;

typedef void(CALLBACK* PTIMERAPCROUTINE)(LPVOID lpArgToCompletionRoutine, DWORD dwTimerLowValue,
                                          DWORD dwTimerHighValue);

// Waitable timers. Every call creates a timer of its own: the name is kept for
// nothing, so two timers created with the same name never share a state.
// Security attributes are ignored.
HANDLE WINAPI CreateWaitableTimerW(LPSECURITY_ATTRIBUTES lpTimerAttributes, BOOL bManualReset,
                                   LPCWSTR lpTimerName);

// A negative due time is relative, in 100 ns units; zero or positive is an
// absolute UTC time in 100 ns units since 1601-01-01 (zero and past times
// signal at once). Re-arming clears the signalled state. A period or a
// completion routine is not supported (FALSE, ERROR_NOT_SUPPORTED).
BOOL WINAPI SetWaitableTimer(HANDLE hTimer, const LARGE_INTEGER* lpDueTime, LONG lPeriod,
                             PTIMERAPCROUTINE pfnCompletionRoutine, LPVOID lpArgToCompletionRoutine,
                             BOOL fResume);

#define INFINITE 0xFFFFFFFFU
#define WAIT_OBJECT_0 0x00000000U
#define WAIT_TIMEOUT 0x00000102U
#define WAIT_FAILED 0xFFFFFFFFU

// Waits for a waitable timer; an auto-reset timer is reset by the wait that
// it releases. Other handles give WAIT_FAILED with ERROR_INVALID_HANDLE.
DWORD WINAPI WaitForSingleObject(HANDLE hHandle, DWORD dwMilliseconds);

BOOL WINAPI CloseHandle(HANDLE hObject);
