// A report-view list view in a parentless dialog: the dialog skinner wraps
// it with the list-view wrapper, whose header is painted from the skin's
// column section (checked by pixels against the built-in skin), and
// removing the skin or destroying the dialog gives back the window
// procedures of the list and its header and the list's own colours, and
// leaves nothing behind.
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <string>

#include "DialogFixture.h"
#include "skin/paint/sGraphUtils.h"
#include "skin/paint/sGraphUtils_Sections.h"
#include "skin/wrappers/kvSBUtils_ListView.h"
#include "support/ResourceCount.h"

using namespace dlgtest;

namespace {

constexpr int kList = 201;
constexpr COLORREF kBack = 0x123456, kTextBack = 0x112233, kText = 0x654321;

TDialogTemplate ListDialog()
{
    TDialogTemplate t(kBoxStyle, L"List", 10, 10, 220, 140);
    t.Add({0, LVS_REPORT | WS_BORDER | WS_VISIBLE, 6, 6, 200, 110, kList, L"", WC_LISTVIEWW});
    return t;
}

// Columns, items and colours of its own, as the dialog's code gives them
// before the dialog shows.
void Fill(HWND List)
{
    const wchar_t* captions[] = {L"Name", L"Size"};
    for (int i = 0; i < 2; ++i) {
        LVCOLUMNW c{};
        c.mask = LVCF_TEXT | LVCF_WIDTH;
        c.pszText = const_cast<wchar_t*>(captions[i]);
        c.cx = i == 0 ? 110 : 70;
        ::SendMessageW(List, LVM_INSERTCOLUMNW, WPARAM(i), LPARAM(&c));
    }
    for (int i = 0; i < 30; ++i) {
        std::wstring text = L"item " + std::to_wstring(i);
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.iItem = i;
        item.pszText = text.data();
        ::SendMessageW(List, LVM_INSERTITEMW, 0, LPARAM(&item));
    }
    ::SendMessageW(List, LVM_SETBKCOLOR, 0, LPARAM(kBack));
    ::SendMessageW(List, LVM_SETTEXTBKCOLOR, 0, LPARAM(kTextBack));
    ::SendMessageW(List, LVM_SETTEXTCOLOR, 0, LPARAM(kText));
}

HWND HeaderOf(HWND List)
{
    return ::FindWindowExW(List, nullptr, WC_HEADERW, nullptr);
}

WNDPROC ProcOf(HWND Wnd)
{
    return reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(Wnd, GWLP_WNDPROC));
}

// The window's client part printed into a bitmap filled with green first.
TOwned<TBitmap> PrintedClient(HWND Wnd)
{
    RECT r;
    ::GetClientRect(Wnd, &r);
    TOwned<TBitmap> b(New<TBitmap>(int(r.right), int(r.bottom), pf24bit));
    FillDC(b->Canvas()->Handle(), TRect(0, 0, r.right, r.bottom), 0x00FF00);
    ::SendMessageW(Wnd, WM_PRINT, WPARAM(b->Canvas()->Handle()), PRF_CLIENT);
    return b;
}

// The smallest rectangle of R's pixels in Printed that differ from Ref
// (Ref is R's size); empty when none does.
TRect DiffBox(TBitmap* Printed, const TRect& R, TBitmap* Ref)
{
    TRect box(R.Width(), R.Height(), -1, -1);
    for (int y = 0; y < R.Height(); ++y)
        for (int x = 0; x < R.Width(); ++x)
            if (!(PixelAt(Printed, R.left + x, R.top + y) == PixelAt(Ref, x, y))) {
                box.left = std::min<LONG>(box.left, x);
                box.top = std::min<LONG>(box.top, y);
                box.right = std::max<LONG>(box.right, x + 1);
                box.bottom = std::max<LONG>(box.bottom, y + 1);
            }
    return box.right < 0 ? TRect() : box;
}

int DiffCount(TBitmap* A, TBitmap* B)
{
    if (A->Width() != B->Width() || A->Height() != B->Height())
        return -1;
    int n = 0;
    for (int y = 0; y < A->Height(); ++y)
        for (int x = 0; x < A->Width(); ++x)
            n += !(PixelAt(A, x, y) == PixelAt(B, x, y));
    return n;
}

} // namespace

class DialogListView : public DialogTest {
protected:
    void SetUp() override
    {
        DialogTest::SetUp();
        INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_LISTVIEW_CLASSES};
        ::InitCommonControlsEx(&icc);
    }

    // What the list and its header were before the skin took them.
    struct TOwn {
        HWND Dialog = nullptr, List = nullptr, Header = nullptr;
        WNDPROC ListProc = nullptr, HeaderProc = nullptr;
        TOwned<TBitmap> HeaderPicture;
    };
    // The dialog made hidden, its list filled, then shown (which wraps its
    // children).
    TOwn Open()
    {
        TOwn o;
        o.Dialog = NewDialog(ListDialog(), false);
        o.List = Item(o.Dialog, kList);
        EXPECT_NE(o.List, nullptr);
        Fill(o.List);
        o.Header = HeaderOf(o.List);
        EXPECT_NE(o.Header, nullptr);
        o.ListProc = ProcOf(o.List);
        o.HeaderProc = ProcOf(o.Header);
        o.HeaderPicture = PrintedClient(o.Header);
        ::ShowWindow(o.Dialog, SW_SHOW);
        ::UpdateWindow(o.Dialog);
        Application->ProcessMessages();
        return o;
    }
    // The column section as the skin paints it over the window colour.
    TOwned<TBitmap> Column(const TRect& R, int State)
    {
        TOwned<TBitmap> b(New<TBitmap>(R.Width(), R.Height(), pf24bit));
        PaintSection(b.get(), L"COLHEADER", L"BUTTON", State, Manager.get(), TPoint(0, 0), ColorToRGB(clWindow),
                     nullptr);
        return b;
    }
    static void ExpectGivenBack(const TOwn& O)
    {
        EXPECT_EQ(Kv_GetScrollWndFromHwnd(O.List), nullptr);
        EXPECT_EQ(ProcOf(O.List), O.ListProc);
        EXPECT_EQ(ProcOf(O.Header), O.HeaderProc);
        EXPECT_EQ(COLORREF(::SendMessageW(O.List, LVM_GETBKCOLOR, 0, 0)), kBack);
        EXPECT_EQ(COLORREF(::SendMessageW(O.List, LVM_GETTEXTBKCOLOR, 0, 0)), kTextBack);
        EXPECT_EQ(COLORREF(::SendMessageW(O.List, LVM_GETTEXTCOLOR, 0, 0)), kText);
        // The header paints itself as it did before the skin.
        auto now = PrintedClient(O.Header);
        EXPECT_EQ(DiffCount(now.get(), O.HeaderPicture.get()), 0);
    }
};

TEST_F(DialogListView, ReportListGetsTheSkinnedHeaderAndTheWindowColours)
{
    const TOwn o = Open();
    ASSERT_NE(SkinnerOf(o.Dialog), nullptr);
    ASSERT_EQ(WrapperName(o.List), "TkvListViewWnd");
    auto* w = static_cast<TkvListViewWnd*>(Kv_GetScrollWndFromHwnd(o.List));
    EXPECT_EQ(w->SkinData->SkinSection(), UnicodeString(L"EDIT"));
    EXPECT_TRUE(w->DlgMode);
    EXPECT_EQ(FindFormInList(o.Dialog)->FindCtrlInList(o.List), w);
    EXPECT_EQ(w->FhWndHeader, o.Header);
    EXPECT_NE(ProcOf(o.Header), o.HeaderProc);
    // In a dialog the list takes the window colours.
    EXPECT_EQ(COLORREF(::SendMessageW(o.List, LVM_GETBKCOLOR, 0, 0)), COLORREF(::GetSysColor(COLOR_WINDOW)));
    EXPECT_EQ(COLORREF(::SendMessageW(o.List, LVM_GETTEXTBKCOLOR, 0, 0)), COLORREF(::GetSysColor(COLOR_WINDOW)));
    EXPECT_EQ(COLORREF(::SendMessageW(o.List, LVM_GETTEXTCOLOR, 0, 0)), COLORREF(::GetSysColor(COLOR_WINDOWTEXT)));

    // Each column is the section with its caption on it, the rest of the
    // header an empty column.
    const TRect c0 = w->GetHeaderColumnRect(0), c1 = w->GetHeaderColumnRect(1);
    ASSERT_EQ(c0.Width(), 110);
    ASSERT_EQ(c1.Width(), 70);
    auto b = PrintedClient(o.Header);
    for (const TRect& c : {c0, c1}) {
        const TRect ink = DiffBox(b.get(), c, Column(c, 0).get());
        EXPECT_FALSE(::IsRectEmpty(&ink));
        EXPECT_GE(ink.left, 4);
        EXPECT_LT(ink.right, 50);
    }
    const TRect rest(c1.right, 0, b->Width(), b->Height());
    ASSERT_FALSE(::IsRectEmpty(&rest));
    TRect ink = DiffBox(b.get(), rest, Column(rest, 0).get());
    EXPECT_TRUE(::IsRectEmpty(&ink));

    // The header's messages reach the wrapper: the second column turns hot.
    POINT p{(c1.left + c1.right) / 2, c1.bottom / 2};
    ::ClientToScreen(o.Header, &p);
    ::SendMessageW(o.Header, WM_NCHITTEST, 0, MAKELPARAM(p.x, p.y));
    EXPECT_EQ(w->HoverColIndex, 1);
    b = PrintedClient(o.Header);
    ink = DiffBox(b.get(), c1, Column(c1, 1).get());
    EXPECT_FALSE(::IsRectEmpty(&ink));
    EXPECT_LT(ink.right, 50);
}

TEST_F(DialogListView, SkinRemovalGivesTheListBackAndLeaksNothing)
{
    const TResourceCount before = CountResources();
    {
        const TOwn o = Open();
        ASSERT_EQ(WrapperName(o.List), "TkvListViewWnd");
        Manager->SetActive(false);
        EXPECT_EQ(FindFormInList(o.Dialog), nullptr);
        ExpectGivenBack(o);
        ::DestroyWindow(o.Dialog);
    }
    Application->ProcessMessages();
    EXPECT_TRUE(NoResourceGrowth(before, CountResources()));
}

TEST_F(DialogListView, DialogDestroyedUnderItsSkinLeaksNothing)
{
    // The first round warms the skin's caches up.  A destroyed dialog's
    // skinner goes when the next window is destroyed.
    for (int round = 0; round < 2; ++round) {
        const TResourceCount before = CountResources();
        HWND d = nullptr;
        {
            const TOwn o = Open();
            ASSERT_EQ(WrapperName(o.List), "TkvListViewWnd");
            PrintedClient(o.Header);
            d = o.Dialog;
        }
        ::DestroyWindow(d);
        ::DestroyWindow(::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr));
        Application->ProcessMessages();
        EXPECT_EQ(FindFormInList(d), nullptr);
        if (round == 1) {
            EXPECT_TRUE(NoResourceGrowth(before, CountResources()));
        }
    }
}
