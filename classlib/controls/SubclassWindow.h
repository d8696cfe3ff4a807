// Subclassing a window by handle: its messages reach a method first, which
// passes on what it does not finish to the window's previous procedure.
// For windows whatever owns them: standard dialogs, popup-menu windows, a
// list view's header, the controls a wrapper takes over.
//
// No executable memory: each layer of subclassing on a window uses one of a
// few static procedures, and that procedure finds its state in a window
// property of its own.  Several subclassers may stack on one window (ours or
// anyone's); one kind never subclasses a window twice.
#pragma once

#include <windows.h>

#include "classlib/controls/Messages.h"
#include "classlib/rtl/System.h"

namespace subclass_detail {
struct TLayer;
}

class TSubclassedWindow {
public:
    // How many subclassers of ours one window can carry at a time.
    static constexpr int MaxLayers = 8;

    // Method receives the window's messages while subclassed.
    explicit TSubclassedWindow(TWndMethod Method);
    // Releases the window (see Release).
    ~TSubclassedWindow();
    TSubclassedWindow(const TSubclassedWindow&) = delete;
    TSubclassedWindow& operator=(const TSubclassedWindow&) = delete;

    // Puts Method in front of Wnd's procedure.  Refused (false, nothing
    // changed) when this object holds a window already, when Wnd is no window
    // of this thread, when Wnd already carries a subclasser of the same Kind,
    // or when all layers of Wnd are taken.
    bool Subclass(HWND Wnd, const UnicodeString& Kind);
    // Lets go of the window: when nobody subclassed on top of it, the previous
    // procedure goes back at once (or as soon as a message being handled
    // returns); otherwise it stays in the chain passing everything on and
    // goes when the window is destroyed.  The method is never called again.
    void Release();

    // Subclassed and the window not destroyed yet.
    bool Active() const { return FLayer != nullptr; }
    HWND Handle() const;
    // Passes Message to the previous procedure and keeps its answer in
    // Message.Result; answers 0 once the window is gone.
    void CallPrevious(TMessage& Message);
    LRESULT CallPrevious(UINT Msg, WPARAM WParam, LPARAM LParam);

    // The active subclasser of Kind on Wnd, or nullptr.
    static TSubclassedWindow* Find(HWND Wnd, const UnicodeString& Kind);

    // At WM_NCDESTROY, after the method has seen it (the previous procedure
    // always gets it, passed on or not), the window is given back and this
    // object becomes inactive.
private:
    friend struct subclass_detail::TLayer;
    TWndMethod FMethod;
    subclass_detail::TLayer* FLayer = nullptr;
};

// The class library's object instance: a window procedure that calls a
// method, made before the window is known and put on it with Subclass.
// FreeObjectInstance releases the window and frees the instance.
using TObjectInstance = TSubclassedWindow*;
TObjectInstance MakeObjectInstance(TWndMethod Method);
void FreeObjectInstance(TObjectInstance& Instance);
