// Combo boxes under their wrappers: the drop-down button's place and look,
// the list wrapped when it is first drawn (at its own size, also when never
// painted), one brush for every paint of the list, and which combo-like
// edits show a button.
#include <gtest/gtest.h>

#include "StdWrapFixture.h"
#include "classlib/controls/StdCtrls.h"
#include "skin/core/kvntUtils.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSkinManager.h"
#include "skin/paint/sAlphaGraph.h"
#include "skin/paint/sGraphUtils_BGInfo.h"
#include "skin/wrappers/kvSBUtils_Combo.h"
#include "support/ResourceCount.h"

using namespace stdwraptest;

namespace {

HWND ListOf(HWND Combo)
{
    COMBOBOXINFO info{};
    info.cbSize = sizeof(info);
    ::GetComboBoxInfo(Combo, &info);
    return info.hwndList;
}

} // namespace

TEST_F(WrapperTest, ComboButtonPlace)
{
    const int w = ::GetSystemMetrics(SM_CXVSCROLL);
    struct TCase {
        const char* Name;
        DWORD Style, ExStyle;
        TRect Button; // in a 120 x 24 window
    } cases[] = {
        {"drop-down list", CBS_DROPDOWNLIST, 0, TRect(120 - w - 2, 2, 118, 22)},
        {"drop-down", CBS_DROPDOWN, 0, TRect(120 - w - 2, 2, 118, 22)},
        {"right-to-left reading", CBS_DROPDOWNLIST, WS_EX_RTLREADING, TRect(2, 2, 2 + w, 22)},
        {"simple", CBS_SIMPLE, 0, TRect(118, 2, 118, 22)},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        HWND h = ::CreateWindowExW(c.ExStyle, L"COMBOBOX", L"", WS_CHILD | WS_VISIBLE | c.Style, 10, 10, 120, 200,
                                   Host(), nullptr, nullptr, nullptr);
        ::MoveWindow(h, 10, 10, 120, 24, FALSE);
        TOwned<TkvComboBoxWnd> wr(CreateWnd<TkvComboBoxWnd>(h, nullptr, Manager, L"COMBOBOX", false));
        TRect r;
        ::GetWindowRect(h, &r);
        if (r.Height() == 24)
            EXPECT_EQ(wr->ButtonRect(), c.Button);
        else
            EXPECT_EQ(wr->ButtonRect().Width(), c.Button.Width());
        wr.reset();
        ::DestroyWindow(h);
    }
}

TEST_F(WrapperTest, ComboButtonIsTheSkinsComboButtonWithItsGlyph)
{
    HWND h = Child(L"COMBOBOX", CBS_DROPDOWNLIST, 120, 200);
    TOwned<TkvComboBoxWnd> w(CreateWnd<TkvComboBoxWnd>(h, nullptr, Manager, L"COMBOBOX", false));
    TOwned<TBitmap> got = Printed(h);
    TRect r;
    ::GetWindowRect(h, &r);
    const TConstantSkinData& cd = Manager->ConstData;
    ASSERT_TRUE(Manager->IsValidSkinIndex(cd.ComboBtnIndex));
    ASSERT_TRUE(Manager->IsValidImgIndex(cd.ComboGlyph));
    const TsMaskData& glyph = Manager->ma[std::size_t(cd.ComboGlyph)];
    EXPECT_EQ(w->ButtonHeight(), HeightOfImage(glyph));

    // What lies under the button (the section), then the button and its glyph.
    TOwned<TBitmap> want = Section(Manager, L"COMBOBOX", 0, r.Width(), r.Height(), TPoint(10, 10), false);
    const TRect b = w->ButtonRect();
    PaintItem(cd.ComboBtnIndex, L"COMBOBTN", MakeCacheInfo(want.get()), true, 0, b, b.TopLeft(), want.get(), Manager,
              cd.ComboBtnBG, cd.ComboBtnBGHot);
    ::DrawSkinGlyph(want.get(), TPoint(b.left + (b.Width() - WidthOfImage(glyph)) / 2,
                                       (r.Height() - HeightOfImage(glyph)) / 2),
                    0, 1, glyph, MakeCacheInfo(want.get()));
    EXPECT_EQ(DiffCount(got.get(), want.get(), b), 0);
    // The frame around is the section's.
    EXPECT_EQ(DiffCount(got.get(), want.get(), TRect(0, 0, r.Width(), 2)), 0);
}

TEST_F(WrapperTest, ComboListIsWrappedWhenFirstDrawnAtItsOwnSize)
{
    HWND h = Child(L"COMBOBOX", CBS_DROPDOWNLIST, 120, 200);
    TOwned<TkvComboBoxWnd> w(CreateWnd<TkvComboBoxWnd>(h, nullptr, Manager, L"COMBOBOX", false));
    HWND list = ListOf(h);
    ASSERT_NE(list, nullptr);
    TRect before;
    ::GetWindowRect(list, &before);
    ASSERT_GT(before.Height(), 0);
    EXPECT_EQ(w->ListSW, nullptr);

    TBitmap dc(10, 10, pf24bit);
    ::SendMessageW(h, WM_CTLCOLORLISTBOX, WPARAM(dc.Canvas()->Handle()), LPARAM(list));
    ASSERT_NE(w->ListSW, nullptr);
    EXPECT_EQ(Kv_GetScrollWndFromHwnd(list), w->ListSW);
    EXPECT_FALSE(w->ListSW->SimplyBox);
    EXPECT_TRUE(w->ListSW->IsDropDownList());
    TRect after;
    ::GetWindowRect(list, &after);
    EXPECT_EQ(after.Width(), before.Width() + 1); // never painted, never collapsed
    EXPECT_EQ(after.Height(), before.Height());

    // The wrapper goes with the list's wrapper; the list is given back.
    const WNDPROC listProc = ProcOf(list);
    w.reset();
    EXPECT_NE(ProcOf(list), listProc);
    EXPECT_EQ(Kv_GetScrollWndFromHwnd(list), nullptr);
    ::DestroyWindow(h);
}

TEST_F(WrapperTest, ListPaintsShareOneBrush)
{
    HWND h = Child(L"COMBOBOX", CBS_DROPDOWNLIST, 120, 200);
    TOwned<TkvComboBoxWnd> w(CreateWnd<TkvComboBoxWnd>(h, nullptr, Manager, L"COMBOBOX", false));
    HWND list = ListOf(h);
    TBitmap dc(10, 10, pf24bit);
    HDC hdc = dc.Canvas()->Handle();
    ::SendMessageW(h, WM_CTLCOLORLISTBOX, WPARAM(hdc), LPARAM(list));
    ASSERT_NE(w->ListSW, nullptr);
    ASSERT_EQ(w->ListSW->SkinData->SkinSection(), UnicodeString(L"EDIT"));
    const LRESULT brush = ::SendMessageW(h, WM_CTLCOLORLISTBOX, WPARAM(hdc), LPARAM(list));
    ASSERT_NE(brush, 0);
    const int edit = Manager->GetSkinIndex(L"EDIT");
    ASSERT_TRUE(Manager->IsValidSkinIndex(edit));
    const TsGeneralData& g = Manager->gd[std::size_t(edit)];
    EXPECT_EQ(::GetBkColor(hdc), COLORREF(ColorToRGB(g.Color)));
    EXPECT_EQ(::GetTextColor(hdc), COLORREF(ColorToRGB(g.FontColor[1])));

    const TResourceCount start = CountResources();
    for (int i = 0; i < 1000; ++i)
        EXPECT_EQ(::SendMessageW(h, WM_CTLCOLORLISTBOX, WPARAM(hdc), LPARAM(list)), brush);
    EXPECT_TRUE(NoResourceGrowth(start, CountResources()));
    w.reset();
    ::DestroyWindow(h);
}

TEST_F(WrapperTest, ComboLikeEditsShowAButtonByTheirKind)
{
    struct TCase {
        const char* Name;
        TWinControl* Control;
        bool Button;
    };
    TComboBox* simple = New<TComboBox>(Form.get());
    simple->SetStyle(csSimple);
    TComboBox* dropDown = New<TComboBox>(Form.get());
    TEdit* other = New<TEdit>(Form.get());
    const TCase cases[] = {{"simple TComboBox", simple, false}, {"drop-down TComboBox", dropDown, true},
                           {"another class", other, true}};
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(GetShowButton(c.Control), c.Button);
        c.Control->SetParent(Form.get());
        TsCommonData data(c.Control, true);
        TOwned<TkvWWComboBoxWnd> w(CreateWnd<TkvWWComboBoxWnd>(c.Control->Handle(), &data, Manager, L"COMBOBOX", false));
        EXPECT_EQ(w->FShowButton, c.Button);
        EXPECT_EQ(w->ButtonRect().Width() > 0, c.Button);
    }
}

TEST_F(WrapperTest, DropDownListFrameInTheWrappersColours)
{
    // A visible top-level host: the list's own context can be read back.
    TTarget host(nullptr, WS_POPUP | WS_VISIBLE, 200, 200);
    HWND h = ::CreateWindowExW(0, L"COMBOBOX", L"", WS_CHILD | WS_VISIBLE | WS_VSCROLL | CBS_DROPDOWNLIST, 10, 10,
                               120, 150, host.Handle, nullptr, nullptr, nullptr);
    for (int i = 0; i < 30; ++i)
        ::SendMessageW(h, CB_ADDSTRING, 0, LPARAM(L"item"));
    TOwned<TkvComboBoxWnd> w(CreateWnd<TkvComboBoxWnd>(h, nullptr, Manager, L"COMBOBOX", false));
    HWND list = ListOf(h);
    TBitmap scratch(4, 4, pf24bit);
    ::SendMessageW(h, WM_CTLCOLORLISTBOX, WPARAM(scratch.Canvas()->Handle()), LPARAM(list));
    ASSERT_NE(w->ListSW, nullptr);
    w->ListSW->SkinData->SetSkinSection(L"COMBOBOX");
    ::ShowWindow(list, SW_SHOWNA);
    ::SendMessageW(list, WM_NCPAINT, 1, 0);
    TRect r;
    ::GetWindowRect(list, &r);
    HDC dc = ::GetWindowDC(list);
    const TColor colour = ColorToRGB(Manager->gd[std::size_t(Manager->GetSkinIndex(L"COMBOBOX"))].Color);
    EXPECT_EQ(::GetPixel(dc, 0, r.Height() / 2), COLORREF(0));  // the frame line
    EXPECT_EQ(::GetPixel(dc, 1, r.Height() / 2), COLORREF(colour)); // the wrapper's colour inside it
    ::ReleaseDC(list, dc);
    ::ShowWindow(list, SW_HIDE);
    w.reset();
    ::DestroyWindow(h);
}

TEST_F(WrapperTest, SimpleComboShowsWhatLiesBehindBelowItsList)
{
    // A host that answers no picture of its own: what lies behind is its fill
    // colour.  The simple combo box is taller than its list's whole items.
    TTarget host(nullptr, WS_POPUP | WS_VISIBLE, 200, 200);
    HWND h = ::CreateWindowExW(0, L"COMBOBOX", L"", WS_CHILD | WS_VISIBLE | CBS_SIMPLE, 10, 10, 120, 113,
                               host.Handle, nullptr, nullptr, nullptr);
    for (const wchar_t* s : {L"First", L"Second", L"Third"})
        ::SendMessageW(h, CB_ADDSTRING, 0, LPARAM(s));
    TOwned<TkvComboBoxWnd> w(CreateWnd<TkvComboBoxWnd>(h, nullptr, Manager, L"COMBOBOX", false));
    HWND list = ListOf(h);
    TBitmap scratch(4, 4, pf24bit);
    ::SendMessageW(h, WM_CTLCOLORLISTBOX, WPARAM(scratch.Canvas()->Handle()), LPARAM(list));
    ASSERT_NE(w->ListSW, nullptr);
    ASSERT_TRUE(w->ListSW->SimplyBox);
    TRect cr, lr;
    ::GetWindowRect(h, &cr);
    ::GetWindowRect(list, &lr);
    const int top = lr.bottom - cr.top;
    ASSERT_LT(top, cr.Height()) << "a strip below the list";
    TkvBGInfo back;
    GetBGInfo(&back, host.Handle, false);
    ASSERT_EQ(back.BgType, btFill);

    HDC dc = ::GetWindowDC(h);
    const TRect strip(0, top, cr.Width(), cr.Height());
    FillDC(dc, strip, 0x00FF00);
    ::SendMessageW(list, WM_NCPAINT, 1, 0);
    for (const TPoint p : {TPoint(1, top), TPoint(cr.Width() / 2, cr.Height() - 1)})
        EXPECT_EQ(::GetPixel(dc, p.x, p.y), COLORREF(ColorToRGB(back.Color))) << p.x << "," << p.y;
    ::ReleaseDC(h, dc);
    w.reset();
    ::DestroyWindow(h);
}

TEST_F(WrapperTest, PrintedSimpleComboShowsItsTextAndItsList)
{
    HWND h = Child(L"COMBOBOX", CBS_SIMPLE, 120, 113);
    for (const wchar_t* s : {L"First", L"Second", L"Third"})
        ::SendMessageW(h, CB_ADDSTRING, 0, LPARAM(s));
    ::SendMessageW(h, CB_SETCURSEL, 1, 0);
    TOwned<TkvComboBoxWnd> w(CreateWnd<TkvComboBoxWnd>(h, nullptr, Manager, L"COMBOBOX", false));
    COMBOBOXINFO info{};
    info.cbSize = sizeof(info);
    ASSERT_TRUE(::GetComboBoxInfo(h, &info));
    TRect cr, lr;
    ::GetWindowRect(h, &cr);
    ::GetWindowRect(info.hwndList, &lr);
    const int field = lr.top - cr.top; // the edit part above the list
    ASSERT_GT(field, 10);
    // Dark pixels: text, whether in the skin's colour or the system's.
    auto text = [](TBitmap* B, const TRect& R) {
        int n = 0;
        for (int y = R.top; y < R.bottom; ++y)
            for (int x = R.left; x < R.right; ++x) {
                const uint32_t c = Px(B, x, y);
                n += (c & 0xFF) < 0x80 && ((c >> 8) & 0xFF) < 0x80 && ((c >> 16) & 0xFF) < 0x80;
            }
        return n;
    };
    TOwned<TBitmap> got = Printed(h, 0xFFFFFF, PRF_CLIENT | PRF_NONCLIENT | PRF_CHILDREN);
    EXPECT_GT(text(got.get(), TRect(3, 3, cr.Width() - 3, field - 3)), 10) << "the field's text";
    const TRect items(lr.left - cr.left + 3, field + 3, lr.right - cr.left - 3, lr.bottom - cr.top - 3);
    EXPECT_GT(text(got.get(), items), 10) << "the list's items";
    // Without PRF_CHILDREN the list is left out.
    TOwned<TBitmap> alone = Printed(h, 0xFFFFFF);
    EXPECT_EQ(text(alone.get(), items), 0);
    w.reset();
    ::DestroyWindow(h);
}

TEST_F(WrapperTest, PrintedComboListShowsItsItemsInsideItsFrame)
{
    HWND h = Child(L"LISTBOX", WS_BORDER | WS_VSCROLL | LBS_NOTIFY, 120, 90);
    for (const wchar_t* s : {L"First", L"Second"})
        ::SendMessageW(h, LB_ADDSTRING, 0, LPARAM(s));
    ::SendMessageW(h, LB_SETCURSEL, 0, 0);
    TOwned<TkvComboListWnd> w(TkvComboListWnd::CreateEx(h, nullptr, Manager, L"EDIT", true, true));
    ::SetWindowPos(h, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_FRAMECHANGED);
    RECT client;
    ::GetClientRect(h, &client);
    POINT at{0, 0};
    ::ClientToScreen(h, &at);
    TRect wr;
    ::GetWindowRect(h, &wr);
    const TPoint origin(at.x - wr.left, at.y - wr.top);
    ASSERT_GT(origin.y, 0) << "a frame round the items";
    const int item = int(::SendMessageW(h, LB_GETITEMHEIGHT, 0, 0));
    TOwned<TBitmap> got = Printed(h, 0xFFFFFF);
    const TColor highlight = TColor(::GetSysColor(COLOR_HIGHLIGHT));
    // The selected first item fills the client part's first row of items.
    const int mid = origin.x + client.right / 2;
    EXPECT_EQ(Px(got.get(), mid, origin.y), highlight);
    EXPECT_EQ(Px(got.get(), mid, origin.y + item - 1), highlight);
    EXPECT_EQ(Px(got.get(), origin.x + client.right - 1, origin.y + 1), highlight);
    EXPECT_NE(Px(got.get(), mid, origin.y + item), highlight);
    // The frame is the wrapper's, not the items.
    EXPECT_NE(Px(got.get(), mid, 0), highlight);
    w.reset();
    ::DestroyWindow(h);
}

TEST_F(WrapperTest, ComboEditPartShowsItsTextInTheSectionsColours)
{
    const int section = Manager->GetSkinIndex(L"COMBOBOX");
    ASSERT_TRUE(Manager->IsValidSkinIndex(section));
    TsGeneralData& g = Manager->gd[std::size_t(section)];
    // Colours no one takes for the system's black on white.
    g.FontColor[1] = 0x0000C0;
    g.Color = 0xC0FFFF;
    const TColor back = g.Color;
    auto reddish = [](TColor c) { return GetRValue(c) > GetGValue(c) + 0x40 && GetRValue(c) > GetBValue(c) + 0x40; };
    ASSERT_FALSE(reddish(back));

    struct TCase {
        const char* Name;
        DWORD Style;
        int Height;
    } cases[] = {{"drop-down", CBS_DROPDOWN, 200}, {"simple", CBS_SIMPLE, 113}};
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        HWND h = Child(L"COMBOBOX", c.Style | CBS_AUTOHSCROLL, 120, c.Height);
        ::SetWindowTextW(h, L"MMMMMMMM");
        TOwned<TkvComboBoxWnd> w(CreateWnd<TkvComboBoxWnd>(h, nullptr, Manager, L"COMBOBOX", false));
        COMBOBOXINFO info{};
        info.cbSize = sizeof(info);
        ASSERT_TRUE(::GetComboBoxInfo(h, &info));
        ASSERT_NE(info.hwndItem, nullptr);
        RECT er;
        ::GetClientRect(info.hwndItem, &er);
        ASSERT_GT(er.right, 40);
        TBitmap b(er.right, er.bottom, pf24bit);
        HDC dc = b.Canvas()->Handle();
        FillDC(dc, TRect(0, 0, er.right, er.bottom), 0x00FF00);
        ::SendMessageW(info.hwndItem, WM_PRINTCLIENT, WPARAM(dc), PRF_CLIENT | PRF_ERASEBKGND);
        int text = 0, ink = 0;
        for (int y = 0; y < er.bottom; ++y)
            for (int x = 0; x < er.right; ++x) {
                const TColor p = Px(&b, x, y);
                text += reddish(p);
                ink += GetRValue(p) < 0xE0 && GetGValue(p) < 0xE0;
            }
        ASSERT_GT(ink, 10) << "the text is drawn";
        EXPECT_GT(text, ink / 2) << "the text in the section's colour";
        EXPECT_EQ(Px(&b, er.right - 2, er.bottom - 2), back) << "the field in the section's colour";
        // Printed, the combo draws the field's text itself: in the same colour.
        TOwned<TBitmap> printed = Printed(h);
        RECT ew;
        ::GetWindowRect(info.hwndItem, &ew);
        ::MapWindowPoints(HWND_DESKTOP, h, reinterpret_cast<POINT*>(&ew), 2);
        TRect cr;
        ::GetWindowRect(h, &cr);
        POINT origin{0, 0};
        ::ClientToScreen(h, &origin);
        ::OffsetRect(&ew, origin.x - cr.left, origin.y - cr.top);
        int printedText = 0;
        for (int y = ew.top; y < ew.bottom; ++y)
            for (int x = ew.left; x < ew.right; ++x)
                printedText += reddish(Px(printed.get(), x, y));
        EXPECT_GT(printedText, 10) << "the printed field";

        // One brush, the wrapper's, for every paint of the edit part.
        const LRESULT brush = ::SendMessageW(h, WM_CTLCOLOREDIT, WPARAM(dc), LPARAM(info.hwndItem));
        ASSERT_NE(brush, 0);
        const TResourceCount start = CountResources();
        for (int i = 0; i < 1000; ++i)
            EXPECT_EQ(::SendMessageW(h, WM_CTLCOLOREDIT, WPARAM(dc), LPARAM(info.hwndItem)), brush);
        EXPECT_TRUE(NoResourceGrowth(start, CountResources()));
        w.reset();
        ::DestroyWindow(h);
    }
}

TEST_F(WrapperTest, ClassLibraryComboAnswersForItsPartsOnlyWhenNotSkinned)
{
    auto* combo = New<TComboBox>(Form.get());
    combo->SetParent(Form.get());
    const TColor back = TColor(RGB(0x20, 0x80, 0x40)), text = TColor(RGB(0xC0, 0x10, 0x30));
    combo->SetColor(back);
    combo->Font()->SetColor(text);
    combo->Items()->Add(L"one");
    const HWND h = combo->Handle();
    COMBOBOXINFO info{};
    info.cbSize = sizeof(info);
    ASSERT_TRUE(::GetComboBoxInfo(h, &info));
    ASSERT_NE(info.hwndItem, nullptr);
    TBitmap b(10, 10, pf24bit);
    HDC dc = b.Canvas()->Handle();
    auto answer = [&](UINT Msg, HWND Child) {
        ::SetTextColor(dc, RGB(1, 2, 3));
        ::SetBkColor(dc, RGB(4, 5, 6));
        return reinterpret_cast<HBRUSH>(::SendMessageW(h, Msg, WPARAM(dc), LPARAM(Child)));
    };

    TsCommonData data(combo, true);
    auto* w = CreateWnd<TkvComboBoxWnd>(h, &data, Manager, L"COMBOBOX", false);
    // Skinned, the wrapper answers first: the list in its section's colours,
    // the field in the control's colours with the wrapper's brush.
    HBRUSH listBrush = answer(WM_CTLCOLORLISTBOX, info.hwndList);
    ASSERT_NE(w->ListSW, nullptr);
    listBrush = answer(WM_CTLCOLORLISTBOX, info.hwndList);
    const int section = Manager->GetSkinIndex(w->ListSW->SkinData->SkinSection());
    ASSERT_TRUE(Manager->IsValidSkinIndex(section));
    const TsGeneralData& g = Manager->gd[std::size_t(section)];
    EXPECT_NE(listBrush, combo->Brush()->Handle());
    EXPECT_EQ(::GetBkColor(dc), COLORREF(ColorToRGB(g.Color)));
    if (g.FontColor[1] >= 0) {
        EXPECT_EQ(::GetTextColor(dc), COLORREF(ColorToRGB(g.FontColor[1])));
    }
    EXPECT_NE(answer(WM_CTLCOLOREDIT, info.hwndItem), combo->Brush()->Handle());
    EXPECT_EQ(::GetBkColor(dc), COLORREF(back));
    EXPECT_EQ(::GetTextColor(dc), COLORREF(text));

    // Unwrapped, the control answers for its parts itself.
    UninitializeKVWnd(h, true, false, w);
    for (HWND part : {info.hwndItem, info.hwndList}) {
        EXPECT_EQ(answer(part == info.hwndItem ? WM_CTLCOLOREDIT : WM_CTLCOLORLISTBOX, part),
                  combo->Brush()->Handle());
        EXPECT_EQ(::GetBkColor(dc), COLORREF(back));
        EXPECT_EQ(::GetTextColor(dc), COLORREF(text));
    }
}
