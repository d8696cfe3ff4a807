// Small owning wrappers for GDI and USER handles: every handle, every
// SelectObject and every change of a device context's state has an owner
// that gives it back.
#pragma once

#include <windows.h>
#include <utility>

// An owned GDI object (HBITMAP, HFONT, HBRUSH, HPEN, HPALETTE, HRGN),
// deleted with DeleteObject.  Move-only.
template <class T>
class GdiObject {
    T FHandle = nullptr;

public:
    GdiObject() = default;
    explicit GdiObject(T h) : FHandle(h) {}
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;
    GdiObject(GdiObject&& o) noexcept : FHandle(o.Release()) {}
    GdiObject& operator=(GdiObject&& o) noexcept
    {
        if (this != &o)
            Reset(o.Release());
        return *this;
    }
    ~GdiObject() { Reset(); }

    T Get() const { return FHandle; }
    explicit operator bool() const { return FHandle != nullptr; }
    // Gives up ownership without deleting.
    T Release() { return std::exchange(FHandle, nullptr); }
    void Reset(T h = nullptr)
    {
        if (FHandle && FHandle != h)
            ::DeleteObject(FHandle);
        FHandle = h;
    }
};

// Hands Rgn (nullptr: none) to the window, which owns it once it is set;
// a region the window refuses is deleted here.
inline bool SetWindowRegion(HWND Wnd, HRGN Rgn, bool Redraw)
{
    if (::SetWindowRgn(Wnd, Rgn, Redraw))
        return true;
    if (Rgn)
        ::DeleteObject(Rgn);
    return false;
}

// A window's (or, with no window, the screen's) device context, released
// with ReleaseDC.
class WindowDC {
    HWND FWnd = nullptr;
    HDC FDC = nullptr;

public:
    explicit WindowDC(HWND wnd) : FWnd(wnd), FDC(::GetDC(wnd)) {}
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;
    ~WindowDC()
    {
        if (FDC)
            ::ReleaseDC(FWnd, FDC);
    }
    HDC Get() const { return FDC; }
    operator HDC() const { return FDC; }
};

class ScreenDC : public WindowDC {
public:
    ScreenDC() : WindowDC(nullptr) {}
};

// A memory device context compatible with the given one (the screen by
// default), deleted with DeleteDC.  Move-only.
class MemoryDC {
    HDC FDC = nullptr;

public:
    MemoryDC() = default;
    explicit MemoryDC(HDC compatible) : FDC(::CreateCompatibleDC(compatible)) {}
    static MemoryDC ForScreen() { return MemoryDC(nullptr); }
    MemoryDC(const MemoryDC&) = delete;
    MemoryDC& operator=(const MemoryDC&) = delete;
    MemoryDC(MemoryDC&& o) noexcept : FDC(std::exchange(o.FDC, nullptr)) {}
    MemoryDC& operator=(MemoryDC&& o) noexcept
    {
        if (this != &o) {
            Reset();
            FDC = std::exchange(o.FDC, nullptr);
        }
        return *this;
    }
    ~MemoryDC() { Reset(); }
    void Reset()
    {
        if (FDC)
            ::DeleteDC(FDC);
        FDC = nullptr;
    }
    HDC Get() const { return FDC; }
    operator HDC() const { return FDC; }
    explicit operator bool() const { return FDC != nullptr; }
};

// Selects an object into a device context and selects the previous one back
// when it goes.  Move-only; Restore gives the old object back early.
class SelectedObject {
    HDC FDC = nullptr;
    HGDIOBJ FOld = nullptr;

public:
    SelectedObject() = default;
    SelectedObject(HDC dc, HGDIOBJ obj) : FDC(dc), FOld(dc && obj ? ::SelectObject(dc, obj) : nullptr)
    {
        if (!FOld || FOld == HGDI_ERROR) {
            FDC = nullptr;
            FOld = nullptr;
        }
    }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;
    SelectedObject(SelectedObject&& o) noexcept
        : FDC(std::exchange(o.FDC, nullptr)), FOld(std::exchange(o.FOld, nullptr)) {}
    SelectedObject& operator=(SelectedObject&& o) noexcept
    {
        if (this != &o) {
            Restore();
            FDC = std::exchange(o.FDC, nullptr);
            FOld = std::exchange(o.FOld, nullptr);
        }
        return *this;
    }
    ~SelectedObject() { Restore(); }
    void Restore()
    {
        if (FDC && FOld)
            ::SelectObject(FDC, FOld);
        FDC = nullptr;
        FOld = nullptr;
    }
    bool Active() const { return FDC != nullptr; }
};

// An owned icon or cursor handle, destroyed with DestroyIcon.  Move-only.
class IconHandle {
    HICON FHandle = nullptr;

public:
    IconHandle() = default;
    explicit IconHandle(HICON h) : FHandle(h) {}
    IconHandle(const IconHandle&) = delete;
    IconHandle& operator=(const IconHandle&) = delete;
    IconHandle(IconHandle&& o) noexcept : FHandle(o.Release()) {}
    IconHandle& operator=(IconHandle&& o) noexcept
    {
        if (this != &o)
            Reset(o.Release());
        return *this;
    }
    ~IconHandle() { Reset(); }
    HICON Get() const { return FHandle; }
    explicit operator bool() const { return FHandle != nullptr; }
    HICON Release() { return std::exchange(FHandle, nullptr); }
    void Reset(HICON h = nullptr)
    {
        if (FHandle && FHandle != h)
            ::DestroyIcon(FHandle);
        FHandle = h;
    }
};

// SaveDC for a scope: everything changed in the context meanwhile (origin,
// clipping, selections, colours) is put back by RestoreDC.
class SavedDC {
    HDC FDC;
    int FSaved;

public:
    explicit SavedDC(HDC dc) : FDC(dc), FSaved(dc ? ::SaveDC(dc) : 0) {}
    SavedDC(const SavedDC&) = delete;
    SavedDC& operator=(const SavedDC&) = delete;
    ~SavedDC()
    {
        if (FSaved)
            ::RestoreDC(FDC, FSaved);
    }
};

// BeginPaint/EndPaint for a scope.  DC is null when the window could not
// be painted (no window, or BeginPaint failed).
class WindowPaint {
    HWND FWnd;
    PAINTSTRUCT FPS{};

public:
    HDC DC;
    explicit WindowPaint(HWND wnd) : FWnd(wnd), DC(wnd ? ::BeginPaint(wnd, &FPS) : nullptr) {}
    WindowPaint(const WindowPaint&) = delete;
    WindowPaint& operator=(const WindowPaint&) = delete;
    ~WindowPaint()
    {
        if (DC)
            ::EndPaint(FWnd, &FPS);
    }
    const PAINTSTRUCT& PaintStruct() const { return FPS; }
};

namespace gdi_detail {
// One setting of a device context that a Set call changes and answers the
// old value of; Failed tells the answer of a call that changed nothing.
struct TextColorOp {
    using Value = COLORREF;
    static Value Set(HDC dc, Value v) { return ::SetTextColor(dc, v); }
    static bool Failed(Value v) { return v == CLR_INVALID; }
};
struct BkColorOp {
    using Value = COLORREF;
    static Value Set(HDC dc, Value v) { return ::SetBkColor(dc, v); }
    static bool Failed(Value v) { return v == CLR_INVALID; }
};
struct BkModeOp {
    using Value = int;
    static Value Set(HDC dc, Value v) { return ::SetBkMode(dc, v); }
    static bool Failed(Value v) { return v == 0; }
};
struct StretchModeOp {
    using Value = int;
    static Value Set(HDC dc, Value v) { return ::SetStretchBltMode(dc, v); }
    static bool Failed(Value v) { return v == 0; }
};
} // namespace gdi_detail

// Sets one value of a device context for a scope and puts the old one back.
// Set may change it again inside the scope; the value from before the scope
// is what comes back.
template <class Op>
class DCSetting {
    using Value = typename Op::Value;
    HDC FDC = nullptr;
    Value FOld{};

public:
    DCSetting(HDC dc, Value v)
    {
        if (!dc)
            return;
        Value old = Op::Set(dc, v);
        if (!Op::Failed(old)) {
            FDC = dc;
            FOld = old;
        }
    }
    DCSetting(const DCSetting&) = delete;
    DCSetting& operator=(const DCSetting&) = delete;
    ~DCSetting()
    {
        if (FDC)
            Op::Set(FDC, FOld);
    }
    void Set(Value v)
    {
        if (FDC)
            Op::Set(FDC, v);
    }
};

using TextColorScope = DCSetting<gdi_detail::TextColorOp>;
using BkColorScope = DCSetting<gdi_detail::BkColorOp>;
using BkModeScope = DCSetting<gdi_detail::BkModeOp>;
using StretchModeScope = DCSetting<gdi_detail::StretchModeOp>;

// Keeps a device context's clip region for a scope: Intersect and Select
// narrow or replace it, and the region from before (or none) comes back.
class ClipScope {
    HDC FDC;
    GdiObject<HRGN> FSaved;
    bool FHadClip = false;

public:
    explicit ClipScope(HDC dc) : FDC(dc)
    {
        if (!FDC)
            return;
        FSaved.Reset(::CreateRectRgn(0, 0, 0, 0));
        FHadClip = FSaved && ::GetClipRgn(FDC, FSaved.Get()) == 1;
    }
    ClipScope(const ClipScope&) = delete;
    ClipScope& operator=(const ClipScope&) = delete;
    ~ClipScope()
    {
        if (FDC)
            ::SelectClipRgn(FDC, FHadClip ? FSaved.Get() : nullptr);
    }
    // Logical coordinates, like IntersectClipRect.
    int Intersect(const RECT& r)
    {
        return FDC ? ::IntersectClipRect(FDC, r.left, r.top, r.right, r.bottom) : ERROR;
    }
    // A region in device coordinates combined by Mode (RGN_AND, RGN_COPY...).
    int Select(HRGN rgn, int mode = RGN_COPY) { return FDC ? ::ExtSelectClipRgn(FDC, rgn, mode) : ERROR; }
};
