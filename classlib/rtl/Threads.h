// Worker threads and their way back to the GUI thread.
//
// A TThread runs Execute on a thread of its own once Start is called (never
// from the constructor, so that a derived object is whole before its thread
// runs).  Synchronize runs a method on the main thread and waits for it;
// Queue hands one over without waiting.  The main thread runs those requests
// in CheckSynchronize, which the application's message loop calls; the
// worker wakes the loop through WakeMainThread.
//
// WaitFor called on the main thread keeps running synchronize requests while
// it waits, so a thread that waits on the main thread inside Synchronize can
// always be joined.  A derived class whose Execute uses its own members must
// stop and join its thread in its own destructor; ~TThread joins too, as a
// last resort, and drops queued requests of the thread that never ran.
#pragma once

#include <cstdint>
#include <exception>

#include "classlib/rtl/System.h"

using TThreadMethod = TMethod<void()>;

KV_EXCEPTION(EThread, Exception)

class TThread {
    void* FHandle = nullptr;
    uint32_t FThreadID = 0;
    volatile long FTerminated = 0;
    volatile long FFinished = 0;
    uint32_t FReturnValue = 0;
    std::exception_ptr FFatalException;

    static unsigned long __stdcall ThreadProc(void* Param);

protected:
    virtual void Execute() = 0;
    // Runs Method on the main thread and returns once it has run; an
    // exception it raises is raised again here.  On the main thread it runs
    // at once.
    void Synchronize(TThreadMethod Method);
    // Runs Method on the main thread later, without waiting.
    void Queue(TThreadMethod Method);
    void SetReturnValue(uint32_t Value) { FReturnValue = Value; }

public:
    TThread() = default;
    virtual ~TThread();
    TThread(const TThread&) = delete;
    TThread& operator=(const TThread&) = delete;

    // Starts the thread (once); a failure raises EThread.
    void Start();
    // Asks Execute to end; Execute looks at Terminated.
    void Terminate();
    bool Terminated() const { return FTerminated != 0; }
    bool Started() const { return FHandle != nullptr; }
    bool Finished() const { return FFinished != 0; }
    // Waits for the thread to end (at once when it never started) and gives
    // its return value; on the main thread it serves synchronize requests
    // meanwhile.
    uint32_t WaitFor();
    uint32_t ThreadID() const { return FThreadID; }
    void* Handle() const { return FHandle; }
    // What escaped Execute, if anything.
    std::exception_ptr FatalException() const { return FFatalException; }

    static void Synchronize(TThread* Thread, TThreadMethod Method);
    static void Queue(TThread* Thread, TThreadMethod Method);
    // Drops the queued (not yet run) requests of Thread.
    static void RemoveQueuedEvents(TThread* Thread);
};

// The main thread: the one that started the program.
extern uint32_t MainThreadID;
// Runs the waiting synchronize and queue requests (main thread only; does
// nothing elsewhere).  True when it ran at least one.
bool CheckSynchronize();
// A handle that is signalled while requests wait (for callers that wait on
// several handles at once).
void* SyncRequestHandle();
// Called by a worker after it adds a request; the default posts an empty
// message to the main thread so that its message loop wakes up.
extern void (*WakeMainThread)();
