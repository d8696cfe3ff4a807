#include "skin/editors/kvShellNotify.h"

#include <windows.h>

#include "classlib/rtl/SysUtils.h"

// ---------------------------------------------------------------------------
// TkvShellChangeThread

TkvShellChangeThread::TkvShellChangeThread(TThreadMethod ChangeEvent) : FChangeEvent(ChangeEvent) {}

TkvShellChangeThread::~TkvShellChangeThread()
{
    // The thread uses these members: it must be gone before they are.
    Stop();
    CloseWaitHandle();
}

void TkvShellChangeThread::Stop()
{
    FStopEvent.SetEvent();
    Terminate();
    WaitFor();
}

bool TkvShellChangeThread::WaitActive(uint32_t Timeout)
{
    return FActive.WaitFor(Timeout) == TWaitResult::wrSignaled;
}

bool TkvShellChangeThread::WaitSettled(uint32_t Timeout)
{
    return FSettled.WaitFor(Timeout) == TWaitResult::wrSignaled;
}

bool TkvShellChangeThread::Watching()
{
    TCriticalSectionLock lock(FLock);
    return FWaitHandle != nullptr;
}

void TkvShellChangeThread::SetDirectoryOptions(const UnicodeString& Directory, bool WatchSubTree, uint32_t Flags)
{
    {
        TCriticalSectionLock lock(FLock);
        FDirectory = Directory;
        FWatchSubTree = WatchSubTree;
        FNotifyOptionFlags = Flags;
        FWaitChanged = true;
    }
    FSettled.ResetEvent();
    FWakeEvent.SetEvent();
}

void TkvShellChangeThread::SetChangeEvent(TThreadMethod Value)
{
    TCriticalSectionLock lock(FLock);
    FChangeEvent = Value;
}

void TkvShellChangeThread::OpenWaitHandle()
{
    TCriticalSectionLock lock(FLock);
    FWaitChanged = false;
    if (FDirectory.empty() || !FNotifyOptionFlags)
        return;
    HANDLE h = ::FindFirstChangeNotificationW(FDirectory.c_str(), FWatchSubTree, FNotifyOptionFlags);
    FWaitHandle = h == INVALID_HANDLE_VALUE ? nullptr : h;
}

void TkvShellChangeThread::CloseWaitHandle()
{
    TCriticalSectionLock lock(FLock);
    if (FWaitHandle)
        ::FindCloseChangeNotification(FWaitHandle);
    FWaitHandle = nullptr;
}

void TkvShellChangeThread::DoChange()
{
    // On the GUI thread; the handler is read anew, so a notifier that is
    // being freed (and cleared it) is never called.
    TThreadMethod handler;
    {
        TCriticalSectionLock lock(FLock);
        handler = FChangeEvent;
    }
    if (handler)
        handler();
}

void TkvShellChangeThread::Execute()
{
    OpenWaitHandle();
    FActive.SetEvent();
    while (!Terminated()) {
        HANDLE handles[3] = {FStopEvent.Handle(), FWakeEvent.Handle(), nullptr};
        DWORD count = 2;
        {
            TCriticalSectionLock lock(FLock);
            if (FWaitHandle)
                handles[count++] = FWaitHandle;
        }
        // Without a notification (a folder that cannot be watched) the thread
        // still waits for new settings or the stop.
        DWORD r = ::WaitForMultipleObjects(count, handles, FALSE, INFINITE);
        if (r == WAIT_OBJECT_0 || r == WAIT_FAILED || Terminated())
            break;
        if (r == WAIT_OBJECT_0 + 2) {
            // Armed again before the handler runs, so that a change made
            // while it runs is not lost: it signals once more.
            {
                TCriticalSectionLock lock(FLock);
                if (FWaitHandle && !::FindNextChangeNotification(FWaitHandle)) {
                    ::FindCloseChangeNotification(FWaitHandle);
                    FWaitHandle = nullptr;
                }
            }
            Synchronize(TThreadMethod(this, &TkvShellChangeThread::DoChange));
            if (FStopEvent.IsSet())
                break;
        }
        bool reopen;
        {
            TCriticalSectionLock lock(FLock);
            reopen = FWaitChanged;
        }
        if (reopen) {
            CloseWaitHandle();
            OpenWaitHandle();
            FSettled.SetEvent();
        }
    }
    FActive.ResetEvent();
}

// ---------------------------------------------------------------------------
// TkvCustomShellChangeNotifier

TkvCustomShellChangeNotifier::TkvCustomShellChangeNotifier(TComponent* AOwner) : TComponent(AOwner) { Start(); }

TkvCustomShellChangeNotifier::~TkvCustomShellChangeNotifier()
{
    if (FThread) {
        FThread->SetChangeEvent(nullptr);
        delete FThread;
        FThread = nullptr;
    }
}

void TkvCustomShellChangeNotifier::PassSettings()
{
    if (FThread)
        FThread->SetDirectoryOptions(FRoot, FWatchSubTree, NotifyFilterFlags(FFilters));
}

void TkvCustomShellChangeNotifier::Start()
{
    if (!FOnChange || FThread)
        return;
    FThread = new TkvShellChangeThread(FOnChange);
    PassSettings();
    FThread->Start();
    // Changes made once the notifier runs are seen: the thread has opened
    // its notification before this returns (it does so at once).
    FThread->WaitActive(5000);
}

void TkvCustomShellChangeNotifier::SetRoot(const TkvRoot& Value)
{
    if (SameText(Value, FRoot))
        return;
    FRoot = Value;
    PassSettings();
}

void TkvCustomShellChangeNotifier::SetFilters(TkvNotifyFilters Value)
{
    FFilters = Value;
    PassSettings();
}

void TkvCustomShellChangeNotifier::SetWatchSubTree(bool Value)
{
    FWatchSubTree = Value;
    PassSettings();
}

void TkvCustomShellChangeNotifier::SetOnChange(TThreadMethod Value)
{
    FOnChange = Value;
    if (FThread)
        FThread->SetChangeEvent(Value);
    else
        Start();
}
