#include "classlib/ole/FlashCommandQueue.h"

#include <algorithm>

#include "classlib/controls/Forms.h"
#include "classlib/ole/ShockwaveFlashObjects.h"

namespace {

// Asks the application's window to raise the waiting events.
UINT RaiseWaitingMessage()
{
    static const UINT message = ::RegisterWindowMessageW(L"KvFlashRaiseWaitingCommands");
    return message;
}

} // namespace

TFlashCommandQueue& TFlashCommandQueue::Instance()
{
    static TFlashCommandQueue queue;
    return queue;
}

TFlashCommandQueue::~TFlashCommandQueue()
{
    FWaiting.clear();
    Disarm();
}

bool TFlashCommandQueue::HeldBack() const
{
    return FHandling || (Application && Application->ModalLevel() > 0);
}

bool TFlashCommandQueue::Raise(TShockwaveFlash* Flash, const UnicodeString& Command, const UnicodeString& Args)
{
    if (HeldBack() || !FWaiting.empty()) {
        FWaiting.push_back({Flash, Command, Args});
        Schedule();
        return false;
    }
    RaiseNow({Flash, Command, Args});
    return true;
}

void TFlashCommandQueue::RaiseNow(const TEvent& Event)
{
    // Whatever the handler does (also when it throws), the events that
    // came meanwhile get their turn afterwards.
    struct TTurn {
        TFlashCommandQueue& Queue;
        explicit TTurn(TFlashCommandQueue& Q) : Queue(Q) { Queue.FHandling = true; }
        ~TTurn()
        {
            Queue.FHandling = false;
            Queue.Schedule();
        }
    } turn(*this);
    Event.Flash->FireFSCommand(Event.Command, Event.Args);
}

size_t TFlashCommandQueue::Waiting(const TShockwaveFlash* Flash) const
{
    if (!Flash)
        return FWaiting.size();
    return size_t(std::count_if(FWaiting.begin(), FWaiting.end(), [Flash](const TEvent& e) { return e.Flash == Flash; }));
}

void TFlashCommandQueue::Drop(const TShockwaveFlash* Flash)
{
    FWaiting.erase(std::remove_if(FWaiting.begin(), FWaiting.end(), [Flash](const TEvent& e) { return e.Flash == Flash; }),
                   FWaiting.end());
    if (FWaiting.empty())
        Disarm();
}

void TFlashCommandQueue::Schedule()
{
    if (FWaiting.empty()) {
        Disarm();
        return;
    }
    Arm();
    // Held back: the end of the handler or of the last modal window asks again.
    if (HeldBack() || FPosted || !Application)
        return;
    // Never a thread message: that one no window would see.
    if (HWND target = Application->Handle())
        FPosted = ::PostMessageW(target, RaiseWaitingMessage(), 0, 0) != FALSE;
}

void TFlashCommandQueue::RaiseWaiting()
{
    while (!FWaiting.empty() && !HeldBack()) {
        TEvent next = std::move(FWaiting.front());
        FWaiting.pop_front();
        RaiseNow(next);
    }
    Schedule();
}

void TFlashCommandQueue::Arm()
{
    if (FArmed || !Application)
        return;
    FArmed = true;
    // Put into the chain once: a handler chained after ours since still
    // calls ours, which passes the call on.
    if (!FModalEndChained) {
        FPreviousModalEnd = Application->OnModalEnd;
        Application->OnModalEnd = Bind(this, &TFlashCommandQueue::ModalEnded);
        FModalEndChained = true;
    }
    Application->HookMainWindow(Bind(this, &TFlashCommandQueue::AppWindowHook));
}

void TFlashCommandQueue::Disarm()
{
    FPosted = false;
    if (!Application)
        return;
    // Out of the chain only while ours is its head; under a handler chained
    // after it, it stays, passing the calls on, until it is the head again.
    if (FModalEndChained && Application->OnModalEnd == Bind(this, &TFlashCommandQueue::ModalEnded)) {
        Application->OnModalEnd = FPreviousModalEnd;
        FPreviousModalEnd = nullptr;
        FModalEndChained = false;
    }
    if (!FArmed)
        return;
    FArmed = false;
    Application->UnhookMainWindow(Bind(this, &TFlashCommandQueue::AppWindowHook));
}

void TFlashCommandQueue::ModalEnded(TObject* Sender)
{
    if (FPreviousModalEnd)
        FPreviousModalEnd(Sender);
    if (FArmed)
        Schedule();
}

bool TFlashCommandQueue::AppWindowHook(TMessage& Message)
{
    if (Message.Msg != RaiseWaitingMessage())
        return false;
    FPosted = false;
    RaiseWaiting();
    return true;
}
