// Push buttons, check boxes, radio buttons and group boxes under their
// wrappers: painted through WM_PRINT and checked by pixels against the
// built-in skin's sections and glyphs; the caption's place, the messages
// taken over, and a paint started inside another one.
#include <gtest/gtest.h>

#include <set>

#include "StdWrapFixture.h"
#include "skin/core/kvntUtils.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/sStyleSimply.h"
#include "skin/paint/sAlphaGraph.h"
#include "skin/wrappers/kvSBUtils_Buttons.h"
#include "support/FakeInput.h"

using namespace stdwraptest;

namespace {

TPoint Centre(HWND Wnd)
{
    TRect r;
    ::GetWindowRect(Wnd, &r);
    return TPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2);
}

} // namespace

// ---------------------------------------------------------------------------
// Push buttons.

TEST_F(WrapperTest, PushButtonStatesAreTheSkinsButtonSection)
{
    struct TCase {
        const char* Name;
        DWORD Style;
        int State; // the skin state the button must show
        void (*Setup)(HWND, TsSkinManager*, TFakeInput&);
    } cases[] = {
        {"normal", BS_PUSHBUTTON, 0, [](HWND, TsSkinManager*, TFakeInput&) {}},
        {"hot", BS_PUSHBUTTON, 1,
         [](HWND h, TsSkinManager* m, TFakeInput& in) {
             in.Cursor = Centre(h);
             m->SetActiveControl(h);
         }},
        {"pressed", BS_PUSHBUTTON, 2, [](HWND h, TsSkinManager*, TFakeInput&) { ::SendMessageW(h, BM_SETSTATE, 1, 0); }},
        {"default", BS_DEFPUSHBUTTON, 1, [](HWND, TsSkinManager*, TFakeInput&) {}},
        {"owner-drawn is no default", BS_OWNERDRAW, 0, [](HWND, TsSkinManager*, TFakeInput&) {}},
    };
    TOwned<TBitmap> sheet(New<TBitmap>(70 * int(std::size(cases)) + 70, 30, pf24bit));
    int column = 0;
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TFakeInput input;
        HWND h = Child(L"BUTTON", c.Style, 60, 24);
        TOwned<TkvBtnWnd> w(CreateWnd<TkvBtnWnd>(h, nullptr, Manager, L"", false));
        EXPECT_EQ(w->SkinData->SkinSection(), UnicodeString(L"BUTTON"));
        c.Setup(h, Manager, input);
        TOwned<TBitmap> got = Printed(h);
        TOwned<TBitmap> want = Section(Manager, L"BUTTON", c.State, 60, 24);
        EXPECT_EQ(DiffCount(got.get(), want.get()), 0);
        ::BitBlt(sheet->Canvas()->Handle(), 70 * column++ + 5, 3, 60, 24, got->Canvas()->Handle(), 0, 0, SRCCOPY);
        Manager->SetActiveControl(nullptr);
        w.reset();
        ::DestroyWindow(h);
    }

    // Disabled: 40 % of the normal look over 60 % of what lies behind.
    HWND h = Child(L"BUTTON", BS_PUSHBUTTON | WS_DISABLED, 60, 24);
    TOwned<TkvBtnWnd> w(CreateWnd<TkvBtnWnd>(h, nullptr, Manager, L"", false));
    TOwned<TBitmap> got = Printed(h);
    TOwned<TBitmap> normal = Section(Manager, L"BUTTON", 0, 60, 24);
    for (TPoint p : {TPoint(30, 12), TPoint(2, 2), TPoint(57, 20)})
        EXPECT_TRUE(Near(Px(got.get(), p.x, p.y), Mix(FormBack(Manager), Px(normal.get(), p.x, p.y), 0.4)))
            << p.x << "," << p.y;
    ::BitBlt(sheet->Canvas()->Handle(), 70 * column + 5, 3, 60, 24, got->Canvas()->Handle(), 0, 0, SRCCOPY);
    SaveArtifact(sheet.get(), "wrapper-buttons.png");
}

TEST_F(WrapperTest, PushButtonCaptionWrapsOnlyWhenMultiLine)
{
    const wchar_t* text = L"one two three four five six";
    HWND single = Child(L"BUTTON", BS_PUSHBUTTON, 70, 60, text);
    HWND multi = Child(L"BUTTON", BS_PUSHBUTTON | BS_MULTILINE, 70, 60, text);
    TOwned<TkvBtnWnd> s(CreateWnd<TkvBtnWnd>(single, nullptr, Manager, L"", false));
    TOwned<TkvBtnWnd> m(CreateWnd<TkvBtnWnd>(multi, nullptr, Manager, L"", false));
    // As painted: the text's box over the bare section.
    const TRect one = DiffBox(Printed(single).get(), Section(Manager, L"BUTTON", 0, 70, 60).get());
    const TRect many = DiffBox(Printed(multi).get(), Section(Manager, L"BUTTON", 0, 70, 60).get());
    const int line = s->TextRectSize().cy;
    ASSERT_GT(line, 0);
    ASSERT_FALSE(one.IsEmpty());
    EXPECT_LE(one.Height(), line) << "one line";
    EXPECT_GE(many.Height(), 2 * line + line / 2) << "three lines or more";
    EXPECT_LE(many.Width(), 70);
    EXPECT_GE(m->TextRectSize().cy, 3 * line);

    // The mnemonic mark is measured as it is drawn: not at all.
    ::SetWindowTextW(single, L"&Save");
    const TSize marked = s->TextRectSize();
    ::SetWindowTextW(single, L"Save");
    EXPECT_EQ(marked.cx, s->TextRectSize().cx);
}

TEST_F(WrapperTest, PressedButtonShiftsItsCaption)
{
    HWND h = Child(L"BUTTON", BS_PUSHBUTTON, 80, 26, L"Press");
    TOwned<TkvBtnWnd> w(CreateWnd<TkvBtnWnd>(h, nullptr, Manager, L"", false));
    TOwned<TBitmap> up = Printed(h);
    TOwned<TBitmap> upBack = Section(Manager, L"BUTTON", 0, 80, 26);
    const TRect upText = DiffBox(up.get(), upBack.get());
    const TRect upRect = w->CaptionRect();
    ASSERT_FALSE(upText.IsEmpty());
    EXPECT_TRUE(upText.left >= upRect.left && upText.right <= upRect.right && upText.top >= upRect.top &&
                upText.bottom <= upRect.bottom);

    ::SendMessageW(h, BM_SETSTATE, 1, 0);
    TOwned<TBitmap> down = Printed(h);
    TOwned<TBitmap> downBack = Section(Manager, L"BUTTON", 2, 80, 26);
    TRect downText = DiffBox(down.get(), downBack.get());
    ::OffsetRect(&downText, -1, -1);
    EXPECT_EQ(downText, upText);
    TRect downRect = w->CaptionRect();
    ::OffsetRect(&downRect, -1, -1);
    EXPECT_EQ(downRect, upRect);
}

TEST_F(WrapperTest, PushButtonMessages)
{
    TTarget t(Host(), WS_CHILD | WS_VISIBLE, 60, 24);
    TOwned<TkvBtnWnd> w(CreateWnd<TkvBtnWnd>(t.Handle, nullptr, Manager, L"", false));
    // Painting is the wrapper's: the window's own erase and frame never run.
    EXPECT_EQ(::SendMessageW(t.Handle, WM_ERASEBKGND, 0, 0), 1);
    EXPECT_EQ(::SendMessageW(t.Handle, WM_NCPAINT, 1, 0), 1);
    EXPECT_EQ(t.Count(WM_ERASEBKGND) + t.Count(WM_NCPAINT), 0);

    ::EnableWindow(t.Handle, FALSE);
    t.Got.clear();
    ::SendMessageW(t.Handle, WM_SETFOCUS, 0, 0);
    EXPECT_EQ(t.Count(WM_SETFOCUS), 0); // swallowed while disabled
    EXPECT_FALSE(w->SkinData->FFocused);

    ::EnableWindow(t.Handle, TRUE);
    t.Got.clear();
    ::SendMessageW(t.Handle, WM_SETFOCUS, 0, 0);
    EXPECT_EQ(t.Count(WM_SETFOCUS), 1);
    EXPECT_TRUE(w->SkinData->FFocused);
    // Quietly: the window's own drawing is switched off around it.
    ASSERT_GE(t.Got.size(), 3u);
    EXPECT_EQ(t.Got[0].Msg, UINT(WM_SETREDRAW));
    ::SendMessageW(t.Handle, WM_KILLFOCUS, 0, 0);
    EXPECT_FALSE(w->SkinData->FFocused);

    // A switched-off skin leaves the window to itself.
    Manager->SetActive(false);
    t.Got.clear();
    ::SendMessageW(t.Handle, WM_ERASEBKGND, 0, 0);
    EXPECT_EQ(t.Count(WM_ERASEBKGND), 1);
}

TEST_F(WrapperTest, HiddenPushButtonStaysHiddenThroughFocusChanges)
{
    TTarget t(Host(), WS_CHILD | WS_VISIBLE, 60, 24);
    TOwned<TkvBtnWnd> w(CreateWnd<TkvBtnWnd>(t.Handle, nullptr, Manager, L"", false));
    ::ShowWindow(t.Handle, SW_HIDE);
    for (UINT msg : {UINT(WM_SETFOCUS), UINT(WM_KILLFOCUS)}) {
        t.Got.clear();
        ::SendMessageW(t.Handle, msg, 0, 0);
        EXPECT_EQ(t.Count(msg), 1) << msg;
        EXPECT_FALSE(::IsWindowVisible(t.Handle)) << msg;
        EXPECT_EQ(::GetWindowLongW(t.Handle, GWL_STYLE) & WS_VISIBLE, 0) << msg;
    }
}

TEST_F(WrapperTest, BitButtonGlyphBesideItsCaption)
{
    // A class-library bit button: its glyph (the bottom-left pixel is the
    // transparent colour) drawn where the layout puts it.
    TBitBtn* b = New<TBitBtn>(Form.get());
    b->SetParent(Form.get());
    b->SetBounds(10, 10, 90, 28);
    b->SetCaption(L"Open");
    TBitmap glyph(12, 10, pf24bit);
    FillDC(glyph.Canvas()->Handle(), TRect(0, 0, 12, 10), 0x0000FF);
    ::SetPixel(glyph.Canvas()->Handle(), 0, 9, 0xFFFFFF);
    b->SetGlyph(&glyph);
    TsCommonData data(b, true);
    TOwned<TkvBitBtnWnd> w(CreateWnd<TkvBitBtnWnd>(b->Handle(), &data, Manager, L"", false));
    TOwned<TBitmap> got = Printed(b->Handle());
    EXPECT_EQ(w->GlyphSize(), TSize(12, 10));
    const TRect g = w->GlyphRect();
    EXPECT_EQ(g.Width(), 12);
    EXPECT_EQ(CountColor(got.get(), g, 0x0000FF), 12 * 10 - 1);
    EXPECT_EQ(CountColor(got.get(), TRect(0, 0, 90, 28), 0x0000FF), 12 * 10 - 1);
    EXPECT_LT(g.right, w->CaptionRect().right); // glyph left of the caption
    w.reset();

    // A bare button with a bitmap: its pixel size, whatever physical
    // dimension the bitmap carries.
    HWND h = Child(L"BUTTON", BS_PUSHBUTTON | BS_BITMAP, 60, 24);
    HBITMAP bmp = ::CreateBitmap(16, 12, 1, 32, nullptr);
    ::SetBitmapDimensionEx(bmp, 3, 2, nullptr);
    ::SendMessageW(h, BM_SETIMAGE, IMAGE_BITMAP, LPARAM(bmp));
    TOwned<TkvBitBtnWnd> bare(CreateWnd<TkvBitBtnWnd>(h, nullptr, Manager, L"", false));
    EXPECT_EQ(bare->GlyphSize(), TSize(16, 12));
    bare.reset();
    ::DestroyWindow(h);
    ::DeleteObject(bmp);
}

// ---------------------------------------------------------------------------
// Check boxes and radio buttons.

TEST_F(WrapperTest, CheckGlyphsByTypeAndState)
{
    // Every state shows a box: the control is its section with the skin's
    // own glyph of that state laid over it, and nothing else.
    struct TCase {
        const char* Name;
        DWORD Style;
        WPARAM Check;
        const wchar_t* Glyph; // the skin's image shown
    } cases[] = {
        {"check box, checked", BS_AUTOCHECKBOX, BST_CHECKED, L"BOXCHECKED"},
        {"check box, unchecked", BS_AUTOCHECKBOX, BST_UNCHECKED, L"BOXUNCHECKED"},
        {"radio button, checked", BS_RADIOBUTTON, BST_CHECKED, L"RADIOCHECKED"},
        {"auto radio button, checked", BS_AUTORADIOBUTTON, BST_CHECKED, L"RADIOCHECKED"},
        {"auto radio button, unchecked", BS_AUTORADIOBUTTON, BST_UNCHECKED, L"RADIOUNCHECKED"},
        {"3-state box, indeterminate", BS_AUTO3STATE, BST_INDETERMINATE, L"BOXGRAYED"},
        {"3-state box, unchecked", BS_AUTO3STATE, BST_UNCHECKED, L"BOXUNCHECKED"},
    };
    std::set<int> shown;
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        HWND h = Child(L"BUTTON", c.Style, 80, 20);
        TOwned<TkvCheckBoxWnd> w(CreateWnd<TkvCheckBoxWnd>(h, nullptr, Manager, L"", false));
        EXPECT_EQ(w->SkinData->SkinSection(), UnicodeString(L"CHECKBOX"));
        ::SendMessageW(h, BM_SETCHECK, c.Check, 0);
        TOwned<TBitmap> got = Printed(h);
        const int i = Manager->GetMaskIndex(Manager->ConstData.IndexGLobalInfo, L"GLOBALINFO", c.Glyph);
        ASSERT_GE(i, 0);
        shown.insert(i);
        EXPECT_EQ(w->GlyphMaskIndex(w->State()), i);
        const TRect where = w->SkinCheckRect(i);
        EXPECT_EQ(where.left, 0);
        EXPECT_EQ(where.top, (20 - where.Height()) / 2);
        TOwned<TBitmap> section = Section(Manager, L"CHECKBOX", 0, 80, 20);
        TOwned<TBitmap> want = Section(Manager, L"CHECKBOX", 0, 80, 20);
        ::DrawSkinGlyph(want.get(), where.TopLeft(), 0, 1, Manager->ma[std::size_t(i)], MakeCacheInfo(want.get()));
        EXPECT_EQ(DiffCount(got.get(), want.get()), 0);
        // The glyph is there to see: a box's worth of pixels, all inside its place.
        const int inside = DiffCount(got.get(), section.get(), where);
        EXPECT_GE(inside, 4 * (where.Width() - 4));
        EXPECT_EQ(DiffCount(got.get(), section.get()), inside);
        w.reset();
        ::DestroyWindow(h);
    }
    EXPECT_EQ(shown.size(), 5u); // five different images for the five states
}

TEST_F(WrapperTest, CheckBoxWithLeftTextHasItsGlyphAtTheRight)
{
    for (DWORD left : {DWORD(0), DWORD(BS_LEFTTEXT)}) {
        SCOPED_TRACE(left ? "left text" : "right text");
        HWND h = Child(L"BUTTON", BS_AUTOCHECKBOX | left, 90, 20);
        TOwned<TkvCheckBoxWnd> w(CreateWnd<TkvCheckBoxWnd>(h, nullptr, Manager, L"", false));
        ::SendMessageW(h, BM_SETCHECK, BST_CHECKED, 0);
        TOwned<TBitmap> noText = Printed(h);
        ::SetWindowTextW(h, L"Check");
        TOwned<TBitmap> withText = Printed(h);
        const TRect glyph = w->SkinCheckRect(w->GlyphMaskIndex(cbChecked));
        const TRect text = DiffBox(withText.get(), noText.get());
        ASSERT_FALSE(text.IsEmpty());
        if (left) {
            EXPECT_EQ(glyph.right, 90);
            EXPECT_GE(text.left, 2);
            EXPECT_LT(text.right, glyph.left);
        } else {
            EXPECT_EQ(glyph.left, 0);
            EXPECT_GE(text.left, glyph.right + 3);
        }
        w.reset();
        ::DestroyWindow(h);
    }
}

TEST_F(WrapperTest, PaintInsideAnotherPaintKeepsEachWindowsGlyph)
{
    // The parent hears of each check-box paint; this one paints a radio
    // button right then, inside the check box's paint.
    TScriptedParent parent(Host());
    HWND box = ::CreateWindowExW(0, L"BUTTON", L"", WS_CHILD | WS_VISIBLE | BS_AUTOCHECKBOX, 5, 5, 80, 20,
                                 parent.Handle, nullptr, nullptr, nullptr);
    HWND radio = ::CreateWindowExW(0, L"BUTTON", L"", WS_CHILD | WS_VISIBLE | BS_AUTORADIOBUTTON, 5, 40, 80, 20,
                                   parent.Handle, nullptr, nullptr, nullptr);
    TOwned<TkvCheckBoxWnd> wb(CreateWnd<TkvCheckBoxWnd>(box, nullptr, Manager, L"", false));
    TOwned<TkvCheckBoxWnd> wr(CreateWnd<TkvCheckBoxWnd>(radio, nullptr, Manager, L"", false));
    ::SendMessageW(box, BM_SETCHECK, BST_CHECKED, 0);
    ::SendMessageW(radio, BM_SETCHECK, BST_CHECKED, 0);
    TOwned<TBitmap> alone = Printed(box);

    int nested = 0;
    parent.OnCommand = [&](int Cmd, LPARAM) -> LRESULT {
        if (Cmd == 5 && nested++ == 0)
            Printed(radio);
        return 0;
    };
    TOwned<TBitmap> reentered = Printed(box);
    EXPECT_EQ(nested, 2); // the box's paint, then the radio's inside it
    EXPECT_EQ(DiffCount(reentered.get(), alone.get()), 0);
    parent.OnCommand = nullptr;
}

// ---------------------------------------------------------------------------
// Group boxes.

TEST_F(WrapperTest, GroupBoxAnswersItsCaptionHeight)
{
    HWND h = Child(L"BUTTON", BS_GROUPBOX, 140, 80, L"Options");
    TOwned<TkvGroupBoxWnd> unnamed(CreateWnd<TkvGroupBoxWnd>(h, nullptr, Manager, L"", false));
    EXPECT_EQ(unnamed->SkinData->SkinSection(), UnicodeString(L"GROUPBOX"));
    // The built-in skin has no group-box section: the box keeps its own look.
    EXPECT_EQ(Command(h, SMC_GET_CAPTION_HEIGHT), 0);
    unnamed.reset();
    TOwned<TkvGroupBoxWnd> w(CreateWnd<TkvGroupBoxWnd>(h, nullptr, Manager, L"BUTTON", false));
    const LRESULT height = Command(h, SMC_GET_CAPTION_HEIGHT);
    EXPECT_GT(height, 4);
    EXPECT_EQ(height, w->CaptionRect().Height());
    // The manager question gets no height for an answer.
    EXPECT_NE(Command(h, SMC_GET_MANAGER), height);
}

TEST_F(WrapperTest, GroupBoxFrameBelowItsCaptionBand)
{
    const int cx = 140, cy = 80;
    HWND h = Child(L"BUTTON", BS_GROUPBOX, cx, cy, L"Options");
    // The built-in skin has no group-box section: the creator names one.
    TOwned<TkvGroupBoxWnd> w(CreateWnd<TkvGroupBoxWnd>(h, nullptr, Manager, L"BUTTON", false));
    TOwned<TBitmap> got = Printed(h);
    const TRect caption = w->CaptionRect();
    const int half = caption.Height() / 2;

    TOwned<TBitmap> want(New<TBitmap>(cx, cy, pf24bit));
    TCacheInfo ci;
    ci.FillColor = FormBack(Manager);
    FillDC(want->Canvas()->Handle(), TRect(0, 0, cx, cy), ci.FillColor);
    TsCommonData data(nullptr, true);
    data.SetSkinSection(L"BUTTON");
    PaintItem(&data, ci, false, 0, TRect(0, half, cx, cy), TPoint(10, 10 + half), want.get(), false);
    FillDC(want->Canvas()->Handle(), caption, ci.FillColor);

    EXPECT_EQ(DiffCount(got.get(), want.get(), TRect(0, caption.bottom, cx, cy)), 0);
    EXPECT_EQ(DiffCount(got.get(), want.get(), TRect(0, 0, caption.left, caption.bottom)), 0);
    EXPECT_EQ(DiffCount(got.get(), want.get(), TRect(caption.right, 0, cx, caption.bottom)), 0);
    const TRect text = DiffBox(got.get(), want.get());
    ASSERT_FALSE(text.IsEmpty());
    EXPECT_TRUE(text.left >= caption.left && text.right <= caption.right && text.bottom <= caption.bottom);
    // The frame's top edge runs through the band beside the caption.
    EXPECT_NE(Px(got.get(), caption.right + 5, half), FormBack(Manager));
}

TEST_F(WrapperTest, GroupBoxInADialogLeavesItsInside)
{
    const int cx = 140, cy = 80;
    const TColor marker = 0x00FF00;
    HWND h = Child(L"BUTTON", BS_GROUPBOX, cx, cy, L"Options");
    TkvGroupBoxWnd* raw;
    {
        TFlagScope dialog(kvDlgMode, true);
        raw = CreateWnd<TkvGroupBoxWnd>(h, nullptr, Manager, L"BUTTON", false);
    }
    TOwned<TkvGroupBoxWnd> w(raw);
    ASSERT_TRUE(w->DlgMode);
    TOwned<TBitmap> got = Printed(h, marker);
    const int mask = w->SkinData->BorderIndex;
    ASSERT_GE(mask, 0);
    const TRect inside(Manager->MaskWidthLeft(mask), w->CaptionRect().Height(), cx - Manager->MaskWidthRight(mask),
                       cy - Manager->MaskWidthBottom(mask));
    EXPECT_EQ(CountColor(got.get(), inside, marker), inside.Width() * inside.Height());
    EXPECT_EQ(CountColor(got.get(), TRect(0, cy - 1, cx, cy), marker), 0); // the frame is painted
    EXPECT_EQ(CountColor(got.get(), TRect(0, 0, cx, 2), marker), 0);      // and the caption band
}
