#include "classlib/controls/SubclassWindow.h"

#include <array>
#include <utility>

#include "classlib/controls/ControlsPrivate.h"

namespace subclass_detail {
// One subclasser's place in a window's chain.  Lives from Subclass until the
// previous procedure is back or the window is gone, and never while one of
// its calls is still running.
struct TLayer {
    HWND Wnd = nullptr;
    int Slot = 0;
    UnicodeString Kind;
    WNDPROC Previous = nullptr;
    // nullptr once released: messages then pass straight on.
    TSubclassedWindow* Owner = nullptr;
    // Calls of this layer's procedure on the stack.
    int Calls = 0;
    bool WindowGone = false;
    bool PassedNcDestroy = false;

    static LRESULT Dispatch(int Slot, HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);
    LRESULT Handle(UINT Msg, WPARAM WParam, LPARAM LParam);
    LRESULT PassOn(UINT Msg, WPARAM WParam, LPARAM LParam);
    void Detach();
    void WindowDestroyed(WPARAM WParam, LPARAM LParam);
    void Settle();
    TLayer* LayerBelow() const;
};
} // namespace subclass_detail

using subclass_detail::TLayer;

namespace {
constexpr int kLayers = TSubclassedWindow::MaxLayers;

const wchar_t* const SlotProps[kLayers] = {L"KvSubclass0", L"KvSubclass1", L"KvSubclass2", L"KvSubclass3",
                                           L"KvSubclass4", L"KvSubclass5", L"KvSubclass6", L"KvSubclass7"};

TLayer* LayerAt(HWND Wnd, int Slot) { return static_cast<TLayer*>(::GetPropW(Wnd, SlotProps[Slot])); }

// One procedure per layer, so that a layer stacked on another of ours (with
// someone else's in between or not) still knows which state is its own.
template <int Slot>
LRESULT CALLBACK SlotProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam)
{
    return TLayer::Dispatch(Slot, Wnd, Msg, WParam, LParam);
}

template <int... Slots>
constexpr auto MakeSlotProcs(std::integer_sequence<int, Slots...>)
{
    return std::array<WNDPROC, sizeof...(Slots)>{SlotProc<Slots>...};
}
const auto SlotProcs = MakeSlotProcs(std::make_integer_sequence<int, kLayers>());

bool OnTop(const TLayer* Layer)
{
    return reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(Layer->Wnd, GWLP_WNDPROC)) == SlotProcs[Layer->Slot];
}

int FreeSlot(HWND Wnd)
{
    for (int slot = 0; slot < kLayers; ++slot)
        if (!LayerAt(Wnd, slot))
            return slot;
    return -1;
}
} // namespace

namespace subclass_detail {
LRESULT TLayer::Dispatch(int Slot, HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam)
{
    TLayer* layer = LayerAt(Wnd, Slot);
    // Only reachable when someone kept our procedure after we let go.
    if (!layer)
        return ::DefWindowProcW(Wnd, Msg, WParam, LParam);
    ++layer->Calls;
    LRESULT result = layer->Handle(Msg, WParam, LParam);
    if (Msg == WM_NCDESTROY)
        layer->WindowDestroyed(WParam, LParam);
    --layer->Calls;
    layer->Settle();
    return result;
}

LRESULT TLayer::Handle(UINT Msg, WPARAM WParam, LPARAM LParam)
{
    if (!Owner)
        return PassOn(Msg, WParam, LParam);
    // A copy: the owner may be freed by its own method.
    TWndMethod method = Owner->FMethod;
    TMessage m = MakeMessage(Msg, WParam, LParam);
    try {
        method(m);
    } catch (...) {
        // An exception never unwinds through the system's dispatch.
        ControlsHandleException(nullptr);
    }
    return m.Result;
}

LRESULT TLayer::PassOn(UINT Msg, WPARAM WParam, LPARAM LParam)
{
    if (WindowGone)
        return 0;
    if (Msg == WM_NCDESTROY)
        PassedNcDestroy = true;
    return ::CallWindowProcW(Previous, Wnd, Msg, WParam, LParam);
}

void TLayer::Detach()
{
    if (Owner)
        Owner->FLayer = nullptr;
    Owner = nullptr;
}

// The procedures below ours keep state of their own until they see
// WM_NCDESTROY, so it reaches them even when the method kept it.
void TLayer::WindowDestroyed(WPARAM WParam, LPARAM LParam)
{
    if (!PassedNcDestroy)
        PassOn(WM_NCDESTROY, WParam, LParam);
    Detach();
    if (OnTop(this))
        ::SetWindowLongPtrW(Wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Previous));
    ::RemovePropW(Wnd, SlotProps[Slot]);
    WindowGone = true;
}

// Frees a layer that is no longer needed, once none of its calls runs.
void TLayer::Settle()
{
    if (Calls > 0 || Owner)
        return;
    TLayer* below = nullptr;
    if (!WindowGone && ::IsWindow(Wnd)) {
        if (!OnTop(this))
            return; // someone subclassed on top: stay as a pass-through
        ::SetWindowLongPtrW(Wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Previous));
        ::RemovePropW(Wnd, SlotProps[Slot]);
        below = LayerBelow();
    }
    delete this;
    // A released layer of ours that waited under this one can go now too.
    if (below)
        below->Settle();
}

TLayer* TLayer::LayerBelow() const
{
    for (int slot = 0; slot < kLayers; ++slot)
        if (Previous == SlotProcs[slot])
            return LayerAt(Wnd, slot);
    return nullptr;
}
} // namespace subclass_detail

// ---------------------------------------------------------------------------
TSubclassedWindow::TSubclassedWindow(TWndMethod Method) : FMethod(Method) {}

TSubclassedWindow::~TSubclassedWindow() { Release(); }

bool TSubclassedWindow::Subclass(HWND Wnd, const UnicodeString& Kind)
{
    if (FLayer || !FMethod || !::IsWindow(Wnd) || ::GetWindowThreadProcessId(Wnd, nullptr) != ::GetCurrentThreadId())
        return false;
    if (Find(Wnd, Kind))
        return false;
    int slot = FreeSlot(Wnd);
    if (slot < 0)
        return false;
    auto* layer = new TLayer;
    layer->Wnd = Wnd;
    layer->Slot = slot;
    layer->Kind = Kind;
    layer->Previous = reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(Wnd, GWLP_WNDPROC));
    if (!layer->Previous || !::SetPropW(Wnd, SlotProps[slot], layer)) {
        delete layer;
        return false;
    }
    layer->Owner = this;
    FLayer = layer;
    ::SetWindowLongPtrW(Wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SlotProcs[slot]));
    return true;
}

void TSubclassedWindow::Release()
{
    TLayer* layer = FLayer;
    if (!layer)
        return;
    layer->Detach();
    layer->Settle();
}

HWND TSubclassedWindow::Handle() const { return FLayer ? FLayer->Wnd : nullptr; }

void TSubclassedWindow::CallPrevious(TMessage& Message)
{
    Message.Result = CallPrevious(Message.Msg, Message.WParam, Message.LParam);
}

LRESULT TSubclassedWindow::CallPrevious(UINT Msg, WPARAM WParam, LPARAM LParam)
{
    return FLayer ? FLayer->PassOn(Msg, WParam, LParam) : 0;
}

TSubclassedWindow* TSubclassedWindow::Find(HWND Wnd, const UnicodeString& Kind)
{
    if (!Wnd)
        return nullptr;
    for (int slot = 0; slot < kLayers; ++slot)
        if (TLayer* layer = LayerAt(Wnd, slot); layer && layer->Owner && layer->Kind == Kind)
            return layer->Owner;
    return nullptr;
}

TObjectInstance MakeObjectInstance(TWndMethod Method) { return new TSubclassedWindow(Method); }

void FreeObjectInstance(TObjectInstance& Instance)
{
    delete std::exchange(Instance, nullptr);
}
