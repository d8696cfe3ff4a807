// Watching a folder for changes: a worker thread waits on the system's change
// notification and runs the change handler on the GUI thread.
//
// The thread waits on three handles: the change notification, a wake event
// (new settings: the thread reopens the notification with them at once) and
// a stop event.  Freeing the notifier clears the handler first, then sets the
// stop event and joins the thread while serving its synchronize request, so
// a thread caught inside one never calls into a half-freed notifier.
#pragma once

#include "classlib/rtl/Classes.h"
#include "classlib/rtl/SyncObjs.h"
#include "classlib/rtl/Threads.h"
#include "skin/editors/kvShellTypes.h"

class TkvShellChangeThread : public TThread {
    TCriticalSection FLock;  // guards the settings and the handler
    void* FWaitHandle = nullptr;
    TThreadMethod FChangeEvent;
    UnicodeString FDirectory;
    bool FWatchSubTree = false;
    bool FWaitChanged = false;
    uint32_t FNotifyOptionFlags = 0;
    TEvent FStopEvent{true, false};
    TEvent FWakeEvent{false, false};
    TEvent FActive{true, false};   // set while Execute runs, once it watches
    TEvent FSettled{true, false};  // the latest settings are in use

    void OpenWaitHandle();
    void CloseWaitHandle();
    void DoChange();

protected:
    void Execute() override;

public:
    explicit TkvShellChangeThread(TThreadMethod ChangeEvent);
    ~TkvShellChangeThread() override;

    // Stored under the lock; the thread reopens its notification with them as
    // soon as it is woken.
    void SetDirectoryOptions(const UnicodeString& Directory, bool WatchSubTree, uint32_t Flags);
    void SetChangeEvent(TThreadMethod Value);
    // Sets the stop event and joins the thread (serving its synchronize
    // request meanwhile).
    void Stop();
    // Waits until Execute runs with its notification opened.
    bool WaitActive(uint32_t Timeout);
    // Waits until the thread has applied the latest SetDirectoryOptions.
    bool WaitSettled(uint32_t Timeout);
    // The notification is open (a watchable directory was given).
    bool Watching();
};

class TkvCustomShellChangeNotifier : public TComponent {
    KV_CLASS(TkvCustomShellChangeNotifier)
    TkvNotifyFilters FFilters{TkvNotifyFilter::nfFileNameChange, TkvNotifyFilter::nfDirNameChange};
    bool FWatchSubTree = true;
    TkvRoot FRoot = L"C:\\";
    TkvShellChangeThread* FThread = nullptr;
    TThreadMethod FOnChange;

    void PassSettings();

protected:
    void Start();

public:
    explicit TkvCustomShellChangeNotifier(TComponent* AOwner);
    ~TkvCustomShellChangeNotifier() override;

    TkvNotifyFilters NotifyFilters() const { return FFilters; }
    void SetFilters(TkvNotifyFilters Value);
    const TkvRoot& Root() const { return FRoot; }
    void SetRoot(const TkvRoot& Value);
    bool WatchSubTree() const { return FWatchSubTree; }
    void SetWatchSubTree(bool Value);
    TThreadMethod OnChange() const { return FOnChange; }
    void SetOnChange(TThreadMethod Value);
    TkvShellChangeThread* Thread() const { return FThread; }
};

class TkvShellChangeNotifier : public TkvCustomShellChangeNotifier {
    KV_CLASS(TkvShellChangeNotifier)
public:
    using TkvCustomShellChangeNotifier::TkvCustomShellChangeNotifier;
};
