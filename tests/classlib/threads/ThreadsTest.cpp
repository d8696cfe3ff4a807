// Worker threads: synchronize and queue requests served by the main thread,
// WaitFor that keeps serving them, and the synchronisation objects.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <vector>

#include "classlib/controls/Forms.h"
#include "classlib/rtl/SyncObjs.h"
#include "classlib/rtl/Threads.h"
#include "support/KernelHandleCount.h"

namespace {

class TRecorder {
public:
    std::vector<DWORD> RanOn;
    void Record() { RanOn.push_back(::GetCurrentThreadId()); }
    void Fail() { throw EConvertError(L"bad value"); }
};

// Runs a few synchronize and queue calls, then ends.
class TCallingThread : public TThread {
public:
    TRecorder* Recorder;
    int Synchronized = 0;
    int Queued = 0;
    bool Fails = true;
    bool CaughtFailure = false;
    explicit TCallingThread(TRecorder* R) : Recorder(R) {}
    ~TCallingThread() override
    {
        Terminate();
        WaitFor();
    }

protected:
    void Execute() override
    {
        for (int i = 0; i < Synchronized; ++i)
            Synchronize(TThreadMethod(Recorder, &TRecorder::Record));
        for (int i = 0; i < Queued; ++i)
            Queue(TThreadMethod(Recorder, &TRecorder::Record));
        if (Fails) {
            try {
                Synchronize(TThreadMethod(Recorder, &TRecorder::Fail));
            } catch (const EConvertError&) {
                CaughtFailure = true;
            }
        }
        SetReturnValue(7);
    }
};

// Synchronizes until told to stop: its destructor must not hang while the
// thread waits on the main thread.
class TBusyThread : public TThread {
public:
    TRecorder* Recorder;
    std::atomic<int> Calls{0};
    explicit TBusyThread(TRecorder* R) : Recorder(R) {}
    ~TBusyThread() override
    {
        Terminate();
        WaitFor();
    }

protected:
    void Execute() override
    {
        while (!Terminated()) {
            Synchronize(TThreadMethod(this, &TBusyThread::Touch));
        }
    }
    void Touch()
    {
        ++Calls;
        Recorder->Record();
    }
};

}  // namespace

TEST(Threads, SynchronizeRunsOnTheMainThreadAndPassesExceptionsBack)
{
    TRecorder rec;
    TCallingThread t(&rec);
    t.Synchronized = 3;
    t.Start();
    EXPECT_EQ(t.WaitFor(), 7u);
    ASSERT_EQ(rec.RanOn.size(), 3u);
    for (DWORD id : rec.RanOn)
        EXPECT_EQ(id, ::GetCurrentThreadId());
    EXPECT_TRUE(t.CaughtFailure);
    EXPECT_FALSE(t.FatalException());
}

TEST(Threads, QueuedRequestsRunInTheMessageLoopOrAreDroppedWithTheirThread)
{
    TRecorder rec;
    {
        TCallingThread t(&rec);
        t.Queued = 4;
        t.Fails = false;
        t.Start();
        t.WaitFor();
        Application->ProcessMessages();
        EXPECT_EQ(rec.RanOn.size(), 4u);
    }
    // A queued request of a thread that is freed before the loop comes round
    // never runs.
    TRecorder late;
    {
        TCallingThread t(&late);
        t.Queued = 2;
        t.Fails = false;
        t.Start();
        while (!t.Finished())
            ::Sleep(1);
    }
    size_t ran = late.RanOn.size();
    Application->ProcessMessages();
    EXPECT_EQ(late.RanOn.size(), ran);
}

TEST(Threads, FreeingAThreadThatWaitsInSynchronizeDoesNotHangOrLeak)
{
    TRecorder rec;
    {  // warm-up: the queue's own event
        TBusyThread t(&rec);
        t.Start();
    }
    int handles = CountKernelHandles();
    {  // the count sees a deliberate leak
        TEvent leak(true, false);
        ASSERT_EQ(CountKernelHandles(), handles + 1);
    }
    for (int i = 0; i < 200; ++i) {
        TBusyThread t(&rec);
        t.Start();
        if (i % 2)
            ::Sleep(0);
    }
    EXPECT_LE(CountKernelHandles(), handles + 2);
}

TEST(Threads, ExceptionEscapingExecuteIsKeptAndWaitForOfAnUnstartedThreadReturns)
{
    struct TFailing : TThread {
        ~TFailing() override { WaitFor(); }
        void Execute() override { throw EAbort(L"stop"); }
    } t;
    EXPECT_EQ(t.WaitFor(), 0u);  // not started
    t.Start();
    t.WaitFor();
    EXPECT_TRUE(t.Finished());
    EXPECT_TRUE(t.FatalException());
}

TEST(SyncObjs, EventsResetByHandOrByAWait)
{
    TEvent manual(true, false);
    EXPECT_EQ(manual.WaitFor(0), TWaitResult::wrTimeout);
    manual.SetEvent();
    EXPECT_TRUE(manual.IsSet());
    EXPECT_TRUE(manual.IsSet());
    manual.ResetEvent();
    EXPECT_FALSE(manual.IsSet());

    TEvent automatic(false, true);
    EXPECT_TRUE(automatic.IsSet());
    EXPECT_FALSE(automatic.IsSet());

    TCriticalSection cs;
    TCriticalSectionLock lock(cs);
    EXPECT_TRUE(cs.TryEnter());  // the owner may enter again
    cs.Leave();
}
