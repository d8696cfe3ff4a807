// The order in which the FSCommand events of the Flash controls of the
// process reach their handlers.  A handler may show a modal window (a save
// dialog, a prompt, a message); the movies go on playing in that window's
// message loop and keep sending commands.  Those commands must not run in
// the middle of another one, nor open a second dialog over the first: an
// event that arrives while a handler runs, or while any modal window of
// the process is open, waits.  Waiting events are raised one at a time, in
// arrival order, from the message loop, once the running handler has
// returned and the last modal window has closed.
#pragma once

#include <windows.h>

#include <deque>

#include "classlib/rtl/System.h"

class TShockwaveFlash;
struct TMessage;

class TFlashCommandQueue {
public:
    static TFlashCommandQueue& Instance();
    ~TFlashCommandQueue();

    // Raises Flash's event now when nothing holds it back and returns true
    // once its handler has returned; otherwise queues it and returns false.
    bool Raise(TShockwaveFlash* Flash, const UnicodeString& Command, const UnicodeString& Args);
    // The events that wait: all of them, or those of Flash.
    size_t Waiting(const TShockwaveFlash* Flash = nullptr) const;
    // True while an event handler runs (the next event waits for it).
    bool Handling() const { return FHandling; }
    // Forgets the waiting events of a control that goes away.
    void Drop(const TShockwaveFlash* Flash);

private:
    struct TEvent {
        TShockwaveFlash* Flash;
        UnicodeString Command, Args;
    };

    TFlashCommandQueue() = default;
    bool HeldBack() const;
    void RaiseNow(const TEvent& Event);
    // Arranges for the waiting events to be raised from the message loop,
    // or lets go of the application when none waits.
    void Schedule();
    void RaiseWaiting();
    // While events wait: the application tells of closed modal windows,
    // and its window receives the request to raise them.
    void Arm();
    void Disarm();
    void ModalEnded(TObject* Sender);
    bool AppWindowHook(TMessage& Message);

    std::deque<TEvent> FWaiting;
    bool FHandling = false;
    bool FArmed = false;
    bool FPosted = false;
    bool FModalEndChained = false;  // ModalEnded is in the application's chain
    TMethod<void(TObject*)> FPreviousModalEnd;
};
