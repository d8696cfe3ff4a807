// What the tests of the standard-control wrappers share: windows printed
// into bitmaps, pixel comparisons, the skin's own section painted the way a
// control of that section looks over the test form, and a parent window
// whose answers to the command message a test scripts.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <string>

#include "WrapperFixture.h"
#include "classlib/graphics/Graphics.h"
#include "skin/core/sCommonData.h"
#include "skin/paint/sGraphUtils.h"
#include "skin/paint/sections/PngFile.h"

#ifndef KV_ARTIFACTS
#error "KV_ARTIFACTS names the folder of test pictures"
#endif

namespace stdwraptest {

using namespace wraptest;

inline TColor Px(TBitmap* Bmp, int X, int Y)
{
    return ::GetPixel(Bmp->Canvas()->Handle(), X, Y);
}

// The window painted through WM_PRINT into a 24-bit bitmap of its size that
// was filled with Marker first.
inline TOwned<TBitmap> Printed(HWND Wnd, TColor Marker = 0x00FF00, LPARAM Flags = PRF_CLIENT | PRF_NONCLIENT)
{
    TRect r;
    ::GetWindowRect(Wnd, &r);
    TOwned<TBitmap> b(New<TBitmap>(r.Width(), r.Height(), pf24bit));
    FillDC(b->Canvas()->Handle(), TRect(0, 0, r.Width(), r.Height()), Marker);
    ::SendMessageW(Wnd, WM_PRINT, WPARAM(b->Canvas()->Handle()), Flags);
    return b;
}

// Pixels of R that differ between A and B.
inline int DiffCount(TBitmap* A, TBitmap* B, const TRect& R)
{
    int n = 0;
    for (int y = R.top; y < R.bottom; ++y)
        for (int x = R.left; x < R.right; ++x)
            n += Px(A, x, y) != Px(B, x, y);
    return n;
}

inline int DiffCount(TBitmap* A, TBitmap* B)
{
    return DiffCount(A, B, TRect(0, 0, A->Width(), A->Height()));
}

// The smallest rectangle holding every pixel that differs (empty when none).
inline TRect DiffBox(TBitmap* A, TBitmap* B)
{
    TRect box(A->Width(), A->Height(), -1, -1);
    for (int y = 0; y < A->Height(); ++y)
        for (int x = 0; x < A->Width(); ++x)
            if (Px(A, x, y) != Px(B, x, y)) {
                box.left = std::min<LONG>(box.left, x);
                box.top = std::min<LONG>(box.top, y);
                box.right = std::max<LONG>(box.right, x + 1);
                box.bottom = std::max<LONG>(box.bottom, y + 1);
            }
    return box.right < 0 ? TRect() : box;
}

// Pixels of R equal to Color.
inline int CountColor(TBitmap* Bmp, const TRect& R, TColor Color)
{
    int n = 0;
    for (int y = R.top; y < R.bottom; ++y)
        for (int x = R.left; x < R.right; ++x)
            n += Px(Bmp, x, y) == Color;
    return n;
}

// The background the test form shows its children: the skin's global colour.
inline TColor FormBack(TsSkinManager* Manager)
{
    return ColorToRGB(Manager->GetGlobalColor());
}

// Section painted in State over the test form's background, Width x Height,
// as the skin paints a control of that section at Pos in the form (its
// cut corners showing that background with UpdateCorners).
inline TOwned<TBitmap> Section(TsSkinManager* Manager, const wchar_t* Name, int State, int Width, int Height,
                               TPoint Pos = TPoint(10, 10), bool Filling = true, bool UpdateCorners = true)
{
    TOwned<TBitmap> b(New<TBitmap>(Width, Height, pf24bit));
    TsCommonData data(nullptr, true);
    data.SetSkinManager(Manager);
    data.SetSkinSection(Name);
    TCacheInfo ci;
    ci.FillColor = FormBack(Manager);
    FillDC(b->Canvas()->Handle(), TRect(0, 0, Width, Height), ci.FillColor);
    PaintItem(&data, ci, Filling, State, TRect(0, 0, Width, Height), Pos, b.get(), UpdateCorners);
    return b;
}

inline TColor Mix(TColor Back, TColor Front, double FrontShare)
{
    auto ch = [&](int s) {
        const double v = ((Back >> s) & 0xFF) * (1 - FrontShare) + ((Front >> s) & 0xFF) * FrontShare;
        return TColor(int(v + 0.5)) << s;
    };
    return ch(0) | ch(8) | ch(16);
}

inline bool Near(TColor A, TColor B, int Tolerance = 1)
{
    for (int s = 0; s < 24; s += 8)
        if (std::abs(int((A >> s) & 0xFF) - int((B >> s) & 0xFF)) > Tolerance)
            return false;
    return true;
}

// Writes Bmp under KV_ARTIFACTS for a reader to look at.
inline void SaveArtifact(TBitmap* Bmp, const std::string& Name)
{
    const std::string dir = KV_ARTIFACTS;
    ::CreateDirectoryA(dir.c_str(), nullptr);
    pngfile::Write(Bmp, dir + "/" + Name);
}

// A window of class "KvStdWrapParent" that hands each command message it
// receives to OnCommand (answering what it returns) and everything else to
// DefWindowProc.
struct TScriptedParent {
    HWND Handle = nullptr;
    std::function<LRESULT(int Cmd, LPARAM LParam)> OnCommand;

    explicit TScriptedParent(HWND Parent, int Width = 300, int Height = 200);
    ~TScriptedParent();
    TScriptedParent(const TScriptedParent&) = delete;
    TScriptedParent& operator=(const TScriptedParent&) = delete;
};

inline LRESULT CALLBACK ScriptedParentProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam)
{
    auto* p = reinterpret_cast<TScriptedParent*>(::GetWindowLongPtrW(Wnd, GWLP_USERDATA));
    if (p && Msg == SM_KORVEXCMD && p->OnCommand)
        return p->OnCommand(HIWORD(WParam), LParam);
    return ::DefWindowProcW(Wnd, Msg, WParam, LParam);
}

inline TScriptedParent::TScriptedParent(HWND Parent, int Width, int Height)
{
    static const ATOM atom = [] {
        WNDCLASSW wc{};
        wc.lpfnWndProc = ScriptedParentProc;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = L"KvStdWrapParent";
        return ::RegisterClassW(&wc);
    }();
    (void)atom;
    Handle = ::CreateWindowExW(0, L"KvStdWrapParent", L"", WS_CHILD | WS_VISIBLE, 0, 0, Width, Height, Parent,
                               nullptr, nullptr, nullptr);
    ::SetWindowLongPtrW(Handle, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

inline TScriptedParent::~TScriptedParent()
{
    if (::IsWindow(Handle)) {
        ::SetWindowLongPtrW(Handle, GWLP_USERDATA, 0);
        ::DestroyWindow(Handle);
    }
}

} // namespace stdwraptest
