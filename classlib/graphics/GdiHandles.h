// Small owning wrappers for GDI and USER handles: every handle and every
// SelectObject has an owner that gives it back.
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
