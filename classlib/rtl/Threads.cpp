#include "classlib/rtl/Threads.h"

#include <windows.h>

#include <deque>

#include "classlib/rtl/SyncObjs.h"
#include "classlib/rtl/SysUtils.h"

namespace {

struct TSyncRequest {
    TThread* Thread;
    TThreadMethod Method;
    HANDLE Done;  // null for a queued request: nobody waits
    std::exception_ptr Error;
};

// The requests waiting for the main thread, and an event that is set while
// there are any.  Made on first use and kept for the life of the process.
struct TSyncQueue {
    TCriticalSection Lock;
    std::deque<TSyncRequest*> Requests;
    HANDLE Pending = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
};

TSyncQueue& SyncQueue()
{
    static TSyncQueue* queue = new TSyncQueue();  // outlives every thread
    return *queue;
}

void PostToMainThread() { ::PostThreadMessageW(MainThreadID, WM_NULL, 0, 0); }

void AddRequest(TSyncRequest* Request)
{
    TSyncQueue& q = SyncQueue();
    {
        TCriticalSectionLock lock(q.Lock);
        q.Requests.push_back(Request);
        ::SetEvent(q.Pending);
    }
    if (WakeMainThread)
        WakeMainThread();
}

}  // namespace

uint32_t MainThreadID = ::GetCurrentThreadId();
void (*WakeMainThread)() = PostToMainThread;

void* SyncRequestHandle() { return SyncQueue().Pending; }

bool CheckSynchronize()
{
    if (::GetCurrentThreadId() != MainThreadID)
        return false;
    TSyncQueue& q = SyncQueue();
    bool ran = false;
    for (;;) {
        TSyncRequest* request;
        {
            TCriticalSectionLock lock(q.Lock);
            if (q.Requests.empty()) {
                ::ResetEvent(q.Pending);
                return ran;
            }
            request = q.Requests.front();
            q.Requests.pop_front();
        }
        ran = true;
        if (request->Done) {
            try {
                request->Method();
            } catch (...) {
                request->Error = std::current_exception();
            }
            ::SetEvent(request->Done);  // the waiting worker owns the request
        } else {
            // A queued request that fails has nobody to tell; it must not
            // take the main thread's loop down.
            try {
                request->Method();
            } catch (...) {
            }
            delete request;
        }
    }
}

TThread::~TThread()
{
    if (FHandle) {
        Terminate();
        WaitFor();
        ::CloseHandle(FHandle);
    }
    RemoveQueuedEvents(this);
}

unsigned long __stdcall TThread::ThreadProc(void* Param)
{
    auto* thread = static_cast<TThread*>(Param);
    try {
        thread->Execute();
    } catch (...) {
        thread->FFatalException = std::current_exception();
    }
    uint32_t result = thread->FReturnValue;
    ::InterlockedExchange(&thread->FFinished, 1);
    return result;
}

void TThread::Start()
{
    if (FHandle)
        return;
    DWORD id = 0;
    FHandle = ::CreateThread(nullptr, 0, ThreadProc, this, 0, &id);
    if (!FHandle)
        throw EThread(L"Thread creation error: " + SysErrorMessage(::GetLastError()));
    FThreadID = id;
}

void TThread::Terminate() { ::InterlockedExchange(&FTerminated, 1); }

uint32_t TThread::WaitFor()
{
    if (!FHandle)
        return FReturnValue;
    if (::GetCurrentThreadId() == MainThreadID) {
        HANDLE handles[2] = {FHandle, SyncQueue().Pending};
        for (;;) {
            DWORD r = ::WaitForMultipleObjects(2, handles, FALSE, INFINITE);
            if (r == WAIT_OBJECT_0 + 1)
                CheckSynchronize();
            else
                break;
        }
    } else {
        ::WaitForSingleObject(FHandle, INFINITE);
    }
    DWORD code = 0;
    ::GetExitCodeThread(FHandle, &code);
    return code;
}

void TThread::Synchronize(TThreadMethod Method) { Synchronize(this, Method); }
void TThread::Queue(TThreadMethod Method) { Queue(this, Method); }

void TThread::Synchronize(TThread* Thread, TThreadMethod Method)
{
    if (!Method)
        return;
    if (::GetCurrentThreadId() == MainThreadID) {
        Method();
        return;
    }
    TSyncRequest request{Thread, Method, ::CreateEventW(nullptr, TRUE, FALSE, nullptr), nullptr};
    if (!request.Done)
        throw EThread(L"Synchronize: " + SysErrorMessage(::GetLastError()));
    AddRequest(&request);
    ::WaitForSingleObject(request.Done, INFINITE);
    ::CloseHandle(request.Done);
    if (request.Error)
        std::rethrow_exception(request.Error);
}

void TThread::Queue(TThread* Thread, TThreadMethod Method)
{
    if (!Method)
        return;
    if (::GetCurrentThreadId() == MainThreadID) {
        Method();
        return;
    }
    AddRequest(new TSyncRequest{Thread, Method, nullptr, nullptr});
}

void TThread::RemoveQueuedEvents(TThread* Thread)
{
    TSyncQueue& q = SyncQueue();
    TCriticalSectionLock lock(q.Lock);
    for (auto it = q.Requests.begin(); it != q.Requests.end();) {
        // Waiting (synchronize) requests stay: their worker is blocked on them.
        if ((*it)->Thread == Thread && !(*it)->Done) {
            delete *it;
            it = q.Requests.erase(it);
        } else {
            ++it;
        }
    }
}
