// Painting the skinned bars: what ends up in the window's frame (through
// WM_PRINT into a DIB section and on the window itself), checked by pixels
// against the built-in skin's scroll-bar sections; pressed, hot and faded
// looks; the corner; the refresh routines; no GDI object left behind.
#include <gtest/gtest.h>

#include <string>

#include "ScrollFixture.h"
#include "classlib/controls/Forms.h"
#include "skin/builtin/BuiltinSkin.h"
#include "skin/paint/sGraphUtils.h"
#include "skin/paint/sections/PngFile.h"
#include "support/ResourceCount.h"

using namespace wraptest;

namespace {

TColor At(TBitmap* Bmp, const TPoint& P)
{
    return ::GetPixel(Bmp->Canvas()->Handle(), P.x, P.y);
}

TColor Rgb(const builtin::Rgb& C)
{
    return RGB(C.R, C.G, C.B);
}

// The window's whole image as its frame shows it now.
TOwned<TBitmap> OnScreen(HWND Wnd)
{
    TRect r;
    ::GetWindowRect(Wnd, &r);
    TOwned<TBitmap> bmp(CreateBmp24(r.Width(), r.Height()));
    HDC dc = ::GetWindowDC(Wnd);
    ::BitBlt(bmp->Canvas()->Handle(), 0, 0, r.Width(), r.Height(), dc, 0, 0, SRCCOPY);
    ::ReleaseDC(Wnd, dc);
    return bmp;
}

// The window printed with its frame into a DIB section first painted red.
TOwned<TBitmap> Printed(HWND Wnd)
{
    TRect r;
    ::GetWindowRect(Wnd, &r);
    TOwned<TBitmap> bmp(CreateBmp24(r.Width(), r.Height()));
    FillDC(bmp->Canvas()->Handle(), TRect(0, 0, r.Width(), r.Height()), 0x0000FF);
    ::SendMessageW(Wnd, WM_PRINT, WPARAM(bmp->Canvas()->Handle()), PRF_NONCLIENT | PRF_CLIENT | PRF_ERASEBKGND);
    return bmp;
}

void SaveArtifact(TBitmap* Bmp, const char* Name)
{
    ::CreateDirectoryA(KV_ARTIFACTS, nullptr);
    pngfile::Write(Bmp, std::string(KV_ARTIFACTS) + "/" + Name);
}

class ScrollPaint : public ScrollTest {
protected:
    builtin::BuiltSkin Built;

    // Frames are read back from the window itself: its form must show.
    void SetUp() override
    {
        ScrollTest::SetUp();
        ::ShowWindow(Host(), SW_SHOWNOACTIVATE);
    }

    TColor TrackColor(int State = 0)
    {
        const TsGeneralData& g = Manager->gd[std::size_t(Manager->ConstData.IndexScrollBar2V)];
        return ColorToRGB(State ? g.HotColor : g.Color);
    }
    // A point of the vertical bar in window coordinates, At pixels down.
    TPoint VAt(int At)
    {
        TRect w;
        ::GetWindowRect(T->Handle, &w);
        return TPoint(VBar().left - w.left + Thick / 2, VBar().top - w.top + At);
    }
    TkvBarGeometry VGeometry() { return Kv_BarGeometry(W->sBarVert, VBar()); }
    // A pixel of the up arrow's glyph that the skin draws opaque, and where
    // it lands in the window.
    bool GlyphPixel(TPoint& InWindow, TColor& Expected)
    {
        const builtin::ImageValue g = Built.Image(L"SCROLLBTNTOP", L"GLYPHMASK");
        const int fw = builtin::BuiltSkin::FrameW(g), fh = builtin::BuiltSkin::FrameH(g);
        for (int y = 0; y < fh; ++y)
            for (int x = 0; x < fw; ++x)
                if (Built.Mask(g, 0, x, y) == builtin::Rgb{0, 0, 0} && Rgb(Built.Picture(g, 0, x, y)) != TrackColor()) {
                    const TPoint top = VAt(0);
                    const int b = std::min(kvScrollBtnLength, ArrowLength(W->sBarVert));
                    InWindow = TPoint(top.x - Thick / 2 + (Thick - fw) / 2 + x, top.y + (b - fh) / 2 + y);
                    Expected = Rgb(Built.Picture(g, 0, x, y));
                    return true;
                }
        return false;
    }
    // The centre of the thumb's image (frame 0), drawn opaque.
    TColor ThumbCentre()
    {
        const builtin::ImageValue s = Built.Image(L"SCROLLSLIDERV", L"BORDERSMASK");
        EXPECT_EQ(Built.Mask(s, 0, s.WL, s.WT), (builtin::Rgb{0, 0, 0}));
        return Rgb(Built.Picture(s, 0, s.WL, s.WT));
    }
};

} // namespace

TEST_F(ScrollPaint, SkinnedBarsAreWhatEndsUpInTheFrame)
{
    Make();
    SetRange(SB_VERT, Range(0, 99, 10, 45));
    UpdateScrolls(W, true);
    const TkvBarGeometry g = VGeometry();
    ASSERT_TRUE(g.HasThumb);
    const int afterThumb = (g.ThumbStart + g.ThumbSize + g.Start + g.Length - g.Arrow) / 2 - g.Start;
    const int thumbMiddle = g.ThumbStart + g.ThumbSize / 2 - g.Start;
    TPoint glyph;
    TColor glyphColor = 0;
    ASSERT_TRUE(GlyphPixel(glyph, glyphColor));

    const auto repainted = [&] {
        ::RedrawWindow(T->Handle, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
        return OnScreen(T->Handle);
    };
    struct TView {
        const char* Name;
        TOwned<TBitmap> Bmp;
    } views[] = {{"WM_PRINT into a DIB section", Printed(T->Handle)}, {"the window's frame", repainted()}};
    for (const TView& v : views) {
        SCOPED_TRACE(v.Name);
        EXPECT_EQ(At(v.Bmp.get(), VAt(afterThumb)), TrackColor());
        EXPECT_EQ(At(v.Bmp.get(), VAt(thumbMiddle)), ThumbCentre());
        EXPECT_EQ(At(v.Bmp.get(), glyph), glyphColor);
    }
    SaveArtifact(views[0].Bmp.get(), "wrapper-scrollbars.png");
}

TEST_F(ScrollPaint, BarsStayOursWhenTheWindowScrollsItself)
{
    // A list box sets its scroll state with redrawing on: the system then
    // paints its own bar over the frame, which the wrapper paints again.
    HWND list = Child(L"LISTBOX", WS_VSCROLL | LBS_NOINTEGRALHEIGHT, 120, 100);
    for (int i = 0; i < 60; ++i)
        ::SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"item"));
    TOwned<TkvScrollWnd> w(CreateWnd<TkvScrollWnd>(list, nullptr, Manager, L"COMBOBOX", true));
    ::RedrawWindow(list, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    ::SendMessageW(list, LB_SETTOPINDEX, 20, 0);
    ::SendMessageW(list, WM_VSCROLL, SB_LINEDOWN, 0);

    TRect r, wr;
    KV_GetVScrollRect(w.get(), list, r);
    ::GetWindowRect(list, &wr);
    const TkvBarGeometry g = Kv_BarGeometry(w->sBarVert, r);
    ASSERT_TRUE(g.HasThumb);
    EXPECT_EQ(w->sBarVert->ScrollInfo.nPos, 21);
    const TOwned<TBitmap> shown = OnScreen(list);
    const TPoint belowThumb(r.left - wr.left + Thick / 2, g.ThumbStart + g.ThumbSize + 2 - wr.top);
    EXPECT_EQ(At(shown.get(), belowThumb), TrackColor());
    EXPECT_EQ(At(shown.get(), TPoint(belowThumb.x, g.ThumbStart + g.ThumbSize / 2 - wr.top)), ThumbCentre());
    w.reset();
    ::DestroyWindow(list);
}

TEST_F(ScrollPaint, PressedPageAreaAndHotLooksBelongToTheMouseWindow)
{
    Make();
    SetRange(SB_VERT, Range(0, 99, 10, 45));
    UpdateScrolls(W, true);
    const TkvBarGeometry g = VGeometry();
    const int before = (g.Arrow + g.ThumbStart - g.Start) / 2;
    const int after = (g.ThumbStart + g.ThumbSize + g.Start + g.Length - g.Arrow) / 2 - g.Start;

    Press(HTVSCROLL, OnV(after));
    TOwned<TBitmap> bmp = OnScreen(T->Handle);
    EXPECT_EQ(At(bmp.get(), VAt(after)), TrackColor(2));
    EXPECT_EQ(At(bmp.get(), VAt(before)), TrackColor());

    // Another window's bars never show this press.
    TTarget other(Host(), WS_CHILD | WS_VISIBLE | WS_VSCROLL, 60, 120);
    SCROLLINFO si = Range(0, 99, 10, 45);
    ::SetScrollInfo(other.Handle, SB_VERT, &si, FALSE);
    TOwned<TkvScrollWnd> w2(CreateWnd<TkvScrollWnd>(other.Handle, nullptr, Manager, L"COMBOBOX", true));
    Kv_NCPaint(w2.get(), other.Handle, 0, 0, -1, nullptr);
    TRect r2, wr2;
    KV_GetVScrollRect(w2.get(), other.Handle, r2);
    ::GetWindowRect(other.Handle, &wr2);
    const TOwned<TBitmap> bmp2 = OnScreen(other.Handle);
    EXPECT_EQ(At(bmp2.get(), TPoint(r2.left - wr2.left + Thick / 2, after)), TrackColor());

    MoveTo(OnV(before)); // off the pressed area: drawn normal again
    bmp = OnScreen(T->Handle);
    EXPECT_EQ(At(bmp.get(), VAt(after)), TrackColor());
    Release();
}

TEST_F(ScrollPaint, BarThatCannotScrollIsFadedWithoutThumb)
{
    Make();
    const TPoint thumb = VAt(Arrow() + 5), track = VAt(VBar().Height() / 2);
    {
        const TOwned<TBitmap> before = OnScreen(T->Handle);
        ASSERT_NE(At(before.get(), thumb), At(before.get(), track)) << "the thumb shows while the bar can scroll";
    }
    SCROLLINFO si = Range(0, 5, 10, 0);
    si.fMask |= SIF_DISABLENOSCROLL;
    ::SetScrollInfo(T->Handle, SB_VERT, &si, FALSE);
    UpdateScrolls(W, true);
    const TOwned<TBitmap> after = OnScreen(T->Handle);
    const TColor faded = At(after.get(), track);
    const TColor own = TrackColor();
    EXPECT_NE(faded, own);
    // Toward the window's white background, all channels.
    EXPECT_GT(GetRValue(faded), GetRValue(own));
    EXPECT_GT(GetGValue(faded), GetGValue(own));
    EXPECT_GE(GetBValue(faded), GetBValue(own));
    EXPECT_EQ(At(after.get(), thumb), faded) << "no thumb: the track where it stood";
}

TEST_F(ScrollPaint, CornerShowsTheGripOnlyWhereItSizesAForm)
{
    Make();
    const auto cornerPixels = [&] {
        const TRect c = KV_GetCornerRect(W, T->Handle);
        TRect w;
        ::GetWindowRect(T->Handle, &w);
        const TOwned<TBitmap> bmp = OnScreen(T->Handle);
        std::vector<TColor> px;
        for (int y = c.top; y < c.bottom; ++y)
            for (int x = c.left; x < c.right; ++x)
                px.push_back(At(bmp.get(), TPoint(x - w.left, y - w.top)));
        return px;
    };
    const TColor background = 0xFFFFFF; // the wrapper's section, COMBOBOX
    for (TColor c : cornerPixels())
        ASSERT_EQ(c, background);

    TRect fc;
    ::GetClientRect(Host(), &fc);
    ::SetWindowPos(T->Handle, nullptr, fc.right - 160, fc.bottom - 120, 160, 120, SWP_NOZORDER);
    UpdateScrolls(W, true);
    int grip = 0;
    for (TColor c : cornerPixels())
        grip += c != background;
    EXPECT_GT(grip, 0);
}

TEST_F(ScrollTest, WrappingPaintingAndPressingLeakNothing)
{
    Make();
    UninitializeKVScroll(T->Handle, true, false, W);
    const TResourceCount before = CountResources();
    for (int i = 0; i < 1000; ++i) {
        W = CreateWnd<TkvScrollWnd>(T->Handle, nullptr, Manager, L"COMBOBOX", true);
        Kv_NCPaint(W, T->Handle, 0, 0, -1, nullptr);
        if (i % 100 == 0) { // a press with its timers, ended by the wrapper's end
            Press(HTVSCROLL, OnV(VBar().Height() - 3));
            ::SendMessageW(T->Handle, WM_NCMOUSEMOVE, HTVSCROLL, 0);
        }
        UninitializeKVScroll(T->Handle, true, false, W);
    }
    EXPECT_TRUE(NoResourceGrowth(before, CountResources()));
}

TEST_F(WrapperTest, RefreshScrollsKeepsAWrapperWhileTheControlIsSkinned)
{
    TScrollBox* box = New<TScrollBox>(Form.get());
    box->SetParent(Form.get());
    TsCommonData data(box, true);
    data.SetSkinSection(L"COMBOBOX");
    TkvScrollWnd* sw = nullptr;

    RefreshScrolls(&data, sw);
    ASSERT_NE(sw, nullptr);
    EXPECT_EQ(Kv_GetScrollWndFromHwnd(box->Handle()), sw);
    TkvScrollWnd* first = sw;
    RefreshScrolls(&data, sw);
    EXPECT_EQ(sw, first); // one wrapper a window

    box->RecreateWnd(); // the old window goes, its wrapper with it
    box->HandleNeeded();
    EXPECT_TRUE(sw->Destroyed);
    RefreshScrolls(&data, sw);
    ASSERT_NE(sw, nullptr);
    EXPECT_FALSE(sw->Destroyed);
    EXPECT_EQ(Kv_GetScrollWndFromHwnd(box->Handle()), sw);

    data.SetSkinSection(L"NO SUCH SECTION");
    RefreshScrolls(&data, sw);
    EXPECT_EQ(sw, nullptr);
    EXPECT_EQ(Kv_GetScrollWndFromHwnd(box->Handle()), nullptr);

    // Nothing while the control is read from a form resource.
    data.SetSkinSection(L"COMBOBOX");
    box->IncludeState(csLoading);
    RefreshScrolls(&data, sw);
    EXPECT_EQ(sw, nullptr);
    box->ExcludeState(csLoading);
}
