// Scopes over a device context's state: each puts back exactly what it found,
// also after a change made inside it, and none touches a null context.
#include <gtest/gtest.h>

#include "classlib/graphics/GdiHandles.h"

namespace {

// A memory context with a small bitmap in it, so that clipping has an area.
struct TMemoryCanvas {
    MemoryDC DC = MemoryDC::ForScreen();
    GdiObject<HBITMAP> Bitmap;
    SelectedObject Sel;
    TMemoryCanvas()
    {
        ScreenDC screen;
        Bitmap.Reset(::CreateCompatibleBitmap(screen, 40, 30));
        Sel = SelectedObject(DC, Bitmap.Get());
    }
};

RECT ClipBox(HDC dc)
{
    RECT r{};
    ::GetClipBox(dc, &r);
    return r;
}

bool SameRect(const RECT& a, const RECT& b) { return ::EqualRect(&a, &b) != FALSE; }

} // namespace

namespace {
// Sets `start`, runs a Scope that sets `inside` and then `again`, and checks
// each step and what is left; a null context is left alone.
template <class Scope, class Get, class Set>
void CheckSetting(HDC dc, Get get, Set set, DWORD start, DWORD inside, DWORD again)
{
    using Value = decltype(get(dc));
    set(dc, Value(start));
    {
        Scope scope(dc, Value(inside));
        EXPECT_EQ(DWORD(get(dc)), inside);
        scope.Set(Value(again));
        EXPECT_EQ(DWORD(get(dc)), again);
    }
    EXPECT_EQ(DWORD(get(dc)), start);
    Scope none(nullptr, Value(inside));
    none.Set(Value(again));
}
} // namespace

TEST(DCSetting, EachScopePutsBackTheValueItFoundAlsoAfterAChangeInside)
{
    TMemoryCanvas canvas;
    HDC dc = canvas.DC;
    {
        SCOPED_TRACE("text colour");
        CheckSetting<TextColorScope>(dc, ::GetTextColor, ::SetTextColor, RGB(1, 2, 3), RGB(200, 0, 0), RGB(0, 0, 200));
    }
    {
        SCOPED_TRACE("background colour");
        CheckSetting<BkColorScope>(dc, ::GetBkColor, ::SetBkColor, RGB(9, 9, 9), RGB(0, 255, 0), RGB(255, 255, 0));
    }
    {
        SCOPED_TRACE("background mode");
        CheckSetting<BkModeScope>(dc, ::GetBkMode, ::SetBkMode, OPAQUE, TRANSPARENT, OPAQUE);
    }
    {
        SCOPED_TRACE("stretch mode");
        CheckSetting<StretchModeScope>(dc, ::GetStretchBltMode, ::SetStretchBltMode, BLACKONWHITE, COLORONCOLOR,
                                       HALFTONE);
    }
}

TEST(ClipScope, PutsBackNoClipOrTheClipItFound)
{
    TMemoryCanvas canvas;
    const RECT whole{0, 0, 40, 30};
    ASSERT_TRUE(SameRect(ClipBox(canvas.DC), whole));
    {
        ClipScope clip(canvas.DC);
        clip.Intersect(RECT{5, 5, 15, 10});
        EXPECT_TRUE(SameRect(ClipBox(canvas.DC), RECT{5, 5, 15, 10}));
    }
    GdiObject<HRGN> probe(::CreateRectRgn(0, 0, 0, 0));
    EXPECT_EQ(::GetClipRgn(canvas.DC, probe.Get()), 0) << "no clip region before, none after";
    EXPECT_TRUE(SameRect(ClipBox(canvas.DC), whole));

    // An existing clip comes back, also after a region replaced it inside.
    ::IntersectClipRect(canvas.DC, 2, 3, 30, 20);
    {
        ClipScope clip(canvas.DC);
        GdiObject<HRGN> other(::CreateRectRgn(20, 0, 40, 30));
        clip.Select(other.Get());
        EXPECT_TRUE(SameRect(ClipBox(canvas.DC), RECT{20, 0, 40, 30}));
    }
    EXPECT_TRUE(SameRect(ClipBox(canvas.DC), RECT{2, 3, 30, 20}));

    ClipScope none(nullptr);
    EXPECT_EQ(none.Intersect(whole), ERROR);
}

TEST(SavedDC, PutsBackOriginAndClipping)
{
    TMemoryCanvas canvas;
    {
        SavedDC saved(canvas.DC);
        ::SetWindowOrgEx(canvas.DC, -7, -4, nullptr);
        ::IntersectClipRect(canvas.DC, 0, 0, 3, 3);
    }
    POINT org{1, 1};
    ::GetWindowOrgEx(canvas.DC, &org);
    EXPECT_EQ(org.x, 0);
    EXPECT_EQ(org.y, 0);
    EXPECT_TRUE(SameRect(ClipBox(canvas.DC), RECT{0, 0, 40, 30}));
    SavedDC nothing(nullptr);
}

TEST(WindowPaint, ValidatesTheWindowAndMakesNoContextWithoutOne)
{
    HWND wnd = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 50, 40, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(wnd);
    ::InvalidateRect(wnd, nullptr, FALSE);
    {
        WindowPaint paint(wnd);
        EXPECT_TRUE(paint.DC);
        EXPECT_EQ(paint.PaintStruct().hdc, paint.DC);
    }
    EXPECT_FALSE(::GetUpdateRect(wnd, nullptr, FALSE)) << "EndPaint validated the window";
    ::DestroyWindow(wnd);
    WindowPaint none(nullptr);
    EXPECT_FALSE(none.DC);
}
