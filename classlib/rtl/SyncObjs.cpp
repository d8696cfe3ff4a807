#include "classlib/rtl/SyncObjs.h"

#include <windows.h>

#include "classlib/rtl/SysUtils.h"

static_assert(sizeof(CRITICAL_SECTION) <= 32, "TCriticalSection's storage is too small");

static CRITICAL_SECTION* Section(unsigned char* Bytes) { return reinterpret_cast<CRITICAL_SECTION*>(Bytes); }

TCriticalSection::TCriticalSection() { ::InitializeCriticalSection(Section(FSection)); }
TCriticalSection::~TCriticalSection() { ::DeleteCriticalSection(Section(FSection)); }
void TCriticalSection::Enter() { ::EnterCriticalSection(Section(FSection)); }
void TCriticalSection::Leave() { ::LeaveCriticalSection(Section(FSection)); }
bool TCriticalSection::TryEnter() { return ::TryEnterCriticalSection(Section(FSection)) != 0; }

TEvent::TEvent(bool ManualReset, bool InitialState)
{
    FHandle = ::CreateEventW(nullptr, ManualReset, InitialState, nullptr);
    if (!FHandle)
        throw EOutOfResources(SysErrorMessage(::GetLastError()));
}

TEvent::~TEvent() { ::CloseHandle(FHandle); }
void TEvent::SetEvent() { ::SetEvent(FHandle); }
void TEvent::ResetEvent() { ::ResetEvent(FHandle); }

TWaitResult TEvent::WaitFor(uint32_t Timeout)
{
    switch (::WaitForSingleObject(FHandle, Timeout)) {
    case WAIT_OBJECT_0:
        return TWaitResult::wrSignaled;
    case WAIT_TIMEOUT:
        return TWaitResult::wrTimeout;
    case WAIT_ABANDONED:
        return TWaitResult::wrAbandoned;
    default:
        return TWaitResult::wrError;
    }
}
