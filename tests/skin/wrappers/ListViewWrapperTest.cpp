// The list-view wrapper: a real report-view list view with its header
// painted from the skin (column sections by pixels in their states, the
// free area, sort arrows, reordered columns), its colours set only when
// they differ and given back as they were, and thumb drags turned into
// pixel scroll requests.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include "StdWrapFixture.h"
#include "classlib/controls/ComCtrls.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/sStyleSimply.h"
#include "skin/wrappers/kvSBUtils_ListView.h"
#include "support/ResourceCount.h"

using namespace stdwraptest;

namespace {

class ListViewWrapper : public WrapperTest {
protected:
    TListView* List = nullptr;
    TsCommonData* Data = nullptr;
    TkvListViewWnd* W = nullptr;

    void SetUp() override
    {
        WrapperTest::SetUp();
        List = New<TListView>(Form.get());
        List->SetParent(Form.get());
        List->SetBounds(10, 10, 300, 160);
        List->SetViewStyle(vsReport);
        AddColumn(L"Name", 110);
        AddColumn(L"Size", 90);
        for (int i = 0; i < 40; ++i)
            List->Items()->Add()->SetCaption(L"item " + std::to_wstring(i));
        Data = new TsCommonData(List, true);
        W = CreateWnd<TkvListViewWnd>(List->Handle(), Data, Manager, L"COMBOBOX", false);
        ASSERT_NE(W->FhWndHeader, nullptr);
    }
    void TearDown() override
    {
        if (W)
            UninitializeKVWnd(List->Handle(), true, false, W);
        delete Data;
        WrapperTest::TearDown();
    }
    void AddColumn(const wchar_t* Caption, int Width)
    {
        TListColumn* c = List->Columns()->Add();
        c->SetCaption(Caption);
        c->SetWidth(Width);
    }
    HWND Header() const { return W->FhWndHeader; }
    TOwned<TBitmap> PrintedHeader() { return Printed(Header(), 0x00FF00, PRF_CLIENT); }
    // The column section as the skin paints it, in State, R's size.
    TOwned<TBitmap> Column(const TRect& R, int State)
    {
        TOwned<TBitmap> b(New<TBitmap>(R.Width(), R.Height(), pf24bit));
        PaintSection(b.get(), L"COLHEADER", L"BUTTON", State, Manager, TPoint(0, 0), ColorToRGB(List->Color()),
                     nullptr);
        return b;
    }
    // Pixels of R in the printed header that differ from the section in
    // State: what the column draws over its background.
    TRect Ink(TBitmap* Printed, const TRect& R, int State)
    {
        auto ref = Column(R, State);
        TOwned<TBitmap> part(New<TBitmap>(R.Width(), R.Height(), pf24bit));
        ::BitBlt(part->Canvas()->Handle(), 0, 0, R.Width(), R.Height(), Printed->Canvas()->Handle(), R.left, R.top,
                 SRCCOPY);
        return DiffBox(part.get(), ref.get());
    }
    void SetFormat(int Index, int Add)
    {
        HDITEMW item{};
        item.mask = HDI_FORMAT;
        ::SendMessageW(Header(), HDM_GETITEMW, Index, LPARAM(&item));
        item.fmt |= Add;
        ::SendMessageW(Header(), HDM_SETITEMW, Index, LPARAM(&item));
    }
    POINT ScreenPoint(const TRect& R) { return ScreenPoint(Header(), R); }
    static POINT ScreenPoint(HWND Header, const TRect& R)
    {
        POINT p{(R.left + R.right) / 2, (R.top + R.bottom) / 2};
        ::ClientToScreen(Header, &p);
        return p;
    }
};

TEST_F(ListViewWrapper, HeaderColumnsArePaintedFromTheSkinInTheirStates)
{
    const TRect c0 = W->GetHeaderColumnRect(0), c1 = W->GetHeaderColumnRect(1);
    ASSERT_EQ(c0.Width(), 110);
    auto b = PrintedHeader();
    SaveArtifact(b.get(), "listview-header.png");
    // Each column is its section with the caption on it, left-aligned.
    TRect ink = Ink(b.get(), c0, 0);
    EXPECT_FALSE(::IsRectEmpty(&ink));
    EXPECT_GE(ink.left, 4);
    EXPECT_LT(ink.right, 60);
    // The area after the last column is an empty column.
    TRect client;
    ::GetClientRect(Header(), &client);
    const TRect rest(c1.right, 0, client.right, client.bottom);
    ink = Ink(b.get(), rest, 0);
    EXPECT_TRUE(::IsRectEmpty(&ink));
    EXPECT_EQ(W->ListLineHeight, c0.Height());

    // The mouse over the second column makes it hot.
    const POINT p = ScreenPoint(c1);
    ::SendMessageW(Header(), WM_NCHITTEST, 0, MAKELPARAM(p.x, p.y));
    EXPECT_EQ(W->HoverColIndex, 1);
    b = PrintedHeader();
    ink = Ink(b.get(), c1, 1);
    EXPECT_LT(ink.right, c1.Width() - 20);
    EXPECT_FALSE(::IsRectEmpty(&ink));

    // Pressing the first: it shows pressed, the others normal.
    const LPARAM at = MAKELPARAM((c0.left + c0.right) / 2, c0.bottom / 2);
    ::SendMessageW(Header(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    EXPECT_EQ(W->FPressedColumn, 0);
    b = PrintedHeader();
    ink = Ink(b.get(), c0, 2);
    EXPECT_LT(ink.right, 60);
    ink = Ink(b.get(), c1, 0);
    EXPECT_LT(ink.right, c1.Width() - 20);
    ::SendMessageW(Header(), WM_LBUTTONUP, 0, at);
    EXPECT_EQ(W->FPressedColumn, -1);

    // The mouse over the list itself clears the hot column.
    ::SendMessageW(List->Handle(), WM_NCHITTEST, 0, 0);
    EXPECT_EQ(W->HoverColIndex, -1);
}

TEST_F(ListViewWrapper, CaptionsAreWrittenInTheListsFont)
{
    List->Font()->SetHeight(-26);
    const TRect c0 = W->GetHeaderColumnRect(0);
    ASSERT_GT(c0.Height(), 26);
    auto b = PrintedHeader();
    const TRect ink = Ink(b.get(), c0, 0);
    EXPECT_GT(ink.Height(), 16);
    // "Name" in a 26-pixel font is wider than the column's text in the
    // canvas's own font would be.
    EXPECT_GT(ink.Width(), 40);
}

TEST_F(ListViewWrapper, ReorderedColumnsKeepTheirOwnCaptions)
{
    List->Columns()->Items(0)->SetCaption(L"WWWWWWWW");
    List->Columns()->Items(1)->SetCaption(L"i");
    int order[2] = {1, 0};
    ::SendMessageW(List->Handle(), LVM_SETCOLUMNORDERARRAY, 2, LPARAM(order));
    // Shown first now: the narrow caption, then the wide one.
    const TRect first = W->GetHeaderColumnRect(0), second = W->GetHeaderColumnRect(1);
    ASSERT_EQ(first.Width(), 90);
    auto b = PrintedHeader();
    const TRect narrow = Ink(b.get(), first, 0), wide = Ink(b.get(), second, 0);
    EXPECT_LT(narrow.Width(), 12);
    EXPECT_GT(wide.Width(), 40);
}

TEST_F(ListViewWrapper, SortArrowIsTheSkinsScrollGlyphAndNeedsIt)
{
    const TRect c0 = W->GetHeaderColumnRect(0);
    auto plain = PrintedHeader();
    const TRect text = Ink(plain.get(), c0, 0);
    SetFormat(0, HDF_SORTUP);
    auto arrow = PrintedHeader();
    const TRect both = Ink(arrow.get(), c0, 0);
    // The arrow stands after the text.
    EXPECT_GT(both.right, text.right + 6);
    EXPECT_EQ(both.left, text.left);

    // A skin without the image: no arrow, the text where it was.
    Manager->ConstData.IndexScrollTop = -1;
    auto none = PrintedHeader();
    EXPECT_EQ(DiffCount(none.get(), plain.get()), 0);
}

TEST_F(ListViewWrapper, OutsideReportViewTheHeaderIsLeftAlone)
{
    List->SetViewStyle(vsIcon);
    TBitmap bmp(200, 30, pf24bit);
    FillDC(bmp.Canvas()->Handle(), TRect(0, 0, 200, 30), 0x00FF00);
    W->PaintHeader(bmp.Canvas()->Handle());
    EXPECT_EQ(CountColor(&bmp, TRect(0, 0, 200, 30), 0x00FF00), 200 * 30);
}

namespace {

HWND ScrolledList = nullptr;
int ScrollRequests = 0;
LRESULT CALLBACK CountScrollRequests(int Code, WPARAM WParam, LPARAM LParam)
{
    const auto* m = reinterpret_cast<const CWPSTRUCT*>(LParam);
    if (Code == HC_ACTION && m->hwnd == ScrolledList && m->message == LVM_SCROLL)
        ++ScrollRequests;
    return ::CallNextHookEx(nullptr, Code, WParam, LParam);
}

} // namespace

TEST_F(ListViewWrapper, ThumbDragScrollsByWholeLines)
{
    ::UpdateWindow(List->Handle());
    nLastSBPos = 0;
    ::SendMessageW(List->Handle(), WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 5), 5);
    EXPECT_EQ(::SendMessageW(List->Handle(), LVM_GETTOPINDEX, 0, 0), 5);
    // The step is taken from the engine's last position, not the list's.
    nLastSBPos = 3;
    ::SendMessageW(List->Handle(), WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 5), 5);
    EXPECT_EQ(::SendMessageW(List->Handle(), LVM_GETTOPINDEX, 0, 0), 7);
    // The same position again asks the list for nothing.
    ScrollRequests = 0;
    ScrolledList = List->Handle();
    const HHOOK hook = ::SetWindowsHookExW(WH_CALLWNDPROC, &CountScrollRequests, nullptr, ::GetCurrentThreadId());
    nLastSBPos = 5;
    ::SendMessageW(List->Handle(), WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 5), 5);
    EXPECT_EQ(ScrollRequests, 0);
    nLastSBPos = 7;
    ::SendMessageW(List->Handle(), WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 5), 5);
    EXPECT_EQ(ScrollRequests, 1) << "the count sees a request";
    ::UnhookWindowsHookEx(hook);
    EXPECT_EQ(::SendMessageW(List->Handle(), LVM_GETTOPINDEX, 0, 0), 5);
    nLastSBPos = 5;
    // Back to the top; the list answers full positions.
    ::SendMessageW(List->Handle(), WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 0), 0);
    EXPECT_EQ(::SendMessageW(List->Handle(), LVM_GETTOPINDEX, 0, 0), 0);
    EXPECT_EQ(Command(List->Handle(), SMC_SCROLL_BEGIN), 1);
}

TEST_F(ListViewWrapper, WrapperGivesTheHeaderBack)
{
    HWND header = Header();
    UninitializeKVWnd(List->Handle(), true, false, W);
    // The header's own painting: the section's colours are gone from it.
    auto b = Printed(header, 0x00FF00, PRF_CLIENT);
    const TRect c0 = TRect(0, 0, 110, b->Height());
    auto ref = Column(c0, 0);
    EXPECT_GT(DiffCount(b.get(), ref.get(), TRect(60, 2, 100, c0.Height() - 2)), 0);
}

TEST_F(ListViewWrapper, NothingLeaksWhicheverGoesFirst)
{
    // One round of each order: the wrapper taken off a living list, and the
    // list destroyed under its wrapper (the header goes first, then the list).
    auto paintAll = [&](TkvListViewWnd* Wnd) {
        const POINT p = ScreenPoint(Wnd->FhWndHeader, Wnd->GetHeaderColumnRect(1));
        ::SendMessageW(Wnd->FhWndHeader, WM_NCHITTEST, 0, MAKELPARAM(p.x, p.y));
        ::SendMessageW(Wnd->FhWndHeader, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 5));
        Printed(Wnd->FhWndHeader, 0x00FF00, PRF_CLIENT);
        Printed(List->Handle());
        ::SendMessageW(Wnd->FhWndHeader, WM_LBUTTONUP, 0, MAKELPARAM(20, 5));
    };
    paintAll(W); // warms the caches up
    UninitializeKVWnd(List->Handle(), true, false, W);
    W = nullptr;
    const TResourceCount before = CountResources();
    for (int round = 0; round < 3; ++round) {
        auto* w = CreateWnd<TkvListViewWnd>(List->Handle(), Data, Manager, L"COMBOBOX", false);
        paintAll(w);
        UninitializeKVWnd(List->Handle(), true, false, w);
    }
    // The list's window remade: the old one takes its wrapper with it.
    auto* w = CreateWnd<TkvListViewWnd>(List->Handle(), Data, Manager, L"COMBOBOX", false);
    paintAll(w);
    List->RecreateWnd();
    List->HandleNeeded();
    EXPECT_TRUE(w->Destroyed);
    EXPECT_EQ(w->FhWndHeader, nullptr);
    UninitializeKVWnd(List->Handle(), true, false, w);
    // The new window's header is its own again.
    HWND header = ::FindWindowExW(List->Handle(), nullptr, WC_HEADERW, nullptr);
    ASSERT_NE(header, nullptr);
    ::SendMessageW(header, WM_PAINT, 0, 0);
    EXPECT_TRUE(NoResourceGrowth(before, CountResources()));
}

TEST_F(ListViewWrapper, SkinComingBackAfterItsRemovalTakesTheHeaderAgain)
{
    HWND header = Header();
    const auto own = ::GetClassLongPtrW(header, GCLP_WNDPROC);
    ASSERT_NE(::GetWindowLongPtrW(header, GWLP_WNDPROC), own);
    Command(List->Handle(), SMC_SKIN_REMOVE, LPARAM(Manager));
    EXPECT_EQ(W->FhWndHeader, nullptr);
    EXPECT_EQ(::GetWindowLongPtrW(header, GWLP_WNDPROC), own);
    Command(List->Handle(), SMC_SKIN_SET, LPARAM(Manager));
    ASSERT_EQ(W->FhWndHeader, header);
    // Painted from the skin again: the free area is an empty column.
    const TRect c1 = W->GetHeaderColumnRect(1);
    auto b = PrintedHeader();
    const TRect rest(c1.right, 0, b->Width(), b->Height());
    const TRect ink = Ink(b.get(), rest, 0);
    EXPECT_TRUE(::IsRectEmpty(&ink));
}

// ---------------------------------------------------------------------------
// A raw list view: colours.

// Counts the colour requests that reach a list view's own procedure.
struct TColourRequests {
    static inline WNDPROC Old = nullptr;
    static inline int Count = 0;
    static LRESULT CALLBACK Proc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam)
    {
        if (Msg == LVM_SETBKCOLOR || Msg == LVM_SETTEXTCOLOR || Msg == LVM_SETTEXTBKCOLOR)
            ++Count;
        return ::CallWindowProcW(Old, Wnd, Msg, WParam, LParam);
    }
};

TEST_F(WrapperTest, RawListViewGetsTheSkinsColoursOnceAndItsOwnBack)
{
    HWND h = Child(WC_LISTVIEWW, LVS_REPORT, 200, 100);
    ::SendMessageW(h, LVM_SETBKCOLOR, 0, 0x123456);
    ::SendMessageW(h, LVM_SETTEXTBKCOLOR, 0, 0x112233);
    ::SendMessageW(h, LVM_SETTEXTCOLOR, 0, 0x654321);
    TColourRequests::Count = 0;
    TColourRequests::Old = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TColourRequests::Proc)));
    auto* w = CreateWnd<TkvListViewWnd>(h, nullptr, Manager, L"COMBOBOX", false);
    EXPECT_EQ(w->ViewStyle(), vsReport);
    Printed(h);
    const TsGeneralData& g = Manager->gd[size_t(Manager->GetSkinIndex(L"COMBOBOX"))];
    EXPECT_EQ(COLORREF(::SendMessageW(h, LVM_GETBKCOLOR, 0, 0)), COLORREF(ColorToRGB(g.Color)));
    EXPECT_EQ(COLORREF(::SendMessageW(h, LVM_GETTEXTBKCOLOR, 0, 0)), COLORREF(ColorToRGB(g.Color)));
    EXPECT_EQ(COLORREF(::SendMessageW(h, LVM_GETTEXTCOLOR, 0, 0)), COLORREF(ColorToRGB(g.FontColor[1])));
    // Later paints find the colours in place and send nothing.
    const int sent = TColourRequests::Count;
    EXPECT_EQ(sent, 3);
    ::RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    Printed(h);
    EXPECT_EQ(TColourRequests::Count, sent);

    UninitializeKVWnd(h, true, false, w);
    EXPECT_EQ(::SendMessageW(h, LVM_GETBKCOLOR, 0, 0), 0x123456);
    EXPECT_EQ(::SendMessageW(h, LVM_GETTEXTBKCOLOR, 0, 0), 0x112233);
    EXPECT_EQ(::SendMessageW(h, LVM_GETTEXTCOLOR, 0, 0), 0x654321);
    ::SetWindowLongPtrW(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(TColourRequests::Old));
    ::DestroyWindow(h);
}

TEST_F(WrapperTest, HeaderMadeLaterIsTakenAndOneDestroyedIsForgotten)
{
    HWND h = Child(WC_LISTVIEWW, LVS_ICON, 200, 100);
    auto* w = CreateWnd<TkvListViewWnd>(h, nullptr, Manager, L"COMBOBOX", false);
    ASSERT_EQ(::FindWindowExW(h, nullptr, WC_HEADERW, nullptr), nullptr) << "no header in icon view";
    ::SendMessageW(h, LVM_SETVIEW, LV_VIEW_DETAILS, 0);
    HWND header = ::FindWindowExW(h, nullptr, WC_HEADERW, nullptr);
    ASSERT_NE(header, nullptr);
    EXPECT_EQ(w->FhWndHeader, header);
    const auto own = ::GetClassLongPtrW(header, GCLP_WNDPROC);
    EXPECT_NE(::GetWindowLongPtrW(header, GWLP_WNDPROC), own);
    ::DestroyWindow(header);
    EXPECT_EQ(w->FhWndHeader, nullptr);
    Printed(h);
    UninitializeKVWnd(h, true, false, w);
    ::DestroyWindow(h);
}

TEST_F(WrapperTest, ListWithoutBackgroundGetsNoneBack)
{
    HWND h = Child(WC_LISTVIEWW, LVS_REPORT, 200, 100);
    ::SendMessageW(h, LVM_SETBKCOLOR, 0, LPARAM(CLR_NONE));
    const LRESULT text = ::SendMessageW(h, LVM_GETTEXTCOLOR, 0, 0);
    auto* w = CreateWnd<TkvListViewWnd>(h, nullptr, Manager, L"COMBOBOX", false);
    Printed(h);
    ASSERT_NE(COLORREF(::SendMessageW(h, LVM_GETBKCOLOR, 0, 0)), CLR_NONE);
    UninitializeKVWnd(h, true, false, w);
    EXPECT_EQ(COLORREF(::SendMessageW(h, LVM_GETBKCOLOR, 0, 0)), CLR_NONE);
    EXPECT_EQ(::SendMessageW(h, LVM_GETTEXTCOLOR, 0, 0), text);
    ::DestroyWindow(h);
}

TEST_F(WrapperTest, ListViewInADialogTakesTheWindowColours)
{
    HWND h = Child(WC_LISTVIEWW, LVS_REPORT, 200, 100);
    TFlagScope dialog(kvDlgMode, true);
    auto* w = CreateWnd<TkvListViewWnd>(h, nullptr, Manager, L"COMBOBOX", false);
    Printed(h);
    EXPECT_EQ(COLORREF(::SendMessageW(h, LVM_GETBKCOLOR, 0, 0)), COLORREF(::GetSysColor(COLOR_WINDOW)));
    EXPECT_EQ(COLORREF(::SendMessageW(h, LVM_GETTEXTCOLOR, 0, 0)), COLORREF(::GetSysColor(COLOR_WINDOWTEXT)));
    UninitializeKVWnd(h, true, false, w);
    ::DestroyWindow(h);
}

} // namespace
