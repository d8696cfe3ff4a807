// Scrolling controls and frames, and what forms and controls add for the
// skin: alpha blending, right-to-left modes, hint windows, theme services.
#include <gtest/gtest.h>

#include <vector>

#include "classlib/controls/Forms.h"
#include "classlib/controls/StdCtrls.h"
#include "classlib/controls/Themes.h"
#include "classlib/rtl/SysUtils.h"
#include "classlib/streaming/FormReader.h"

namespace {

TOwned<TForm> NewForm()
{
    TOwned<TForm> f(TForm::CreateNew(nullptr));
    f->SetBounds(0, 0, 400, 300);
    return f;
}

SCROLLINFO BarInfo(HWND Wnd, int Bar)
{
    SCROLLINFO si{};
    si.cbSize = sizeof(si);
    si.fMask = SIF_ALL;
    GetScrollInfo(Wnd, Bar, &si);
    return si;
}

bool BarShown(HWND Wnd, int Bar) { return GetWindowLongW(Wnd, GWL_STYLE) & (Bar == SB_HORZ ? WS_HSCROLL : WS_VSCROLL); }

// A frame class with its own form resource (TestFrames.rc).
class TTestFrame : public TFrame {
    KV_CLASS(TTestFrame)
    KV_PUBLISHED
public:
    explicit TTestFrame(TComponent* AOwner) : TFrame(AOwner) {}
};
KV_BEGIN_PUBLISHED(TTestFrame, TFrame)
KV_END_PUBLISHED
const bool TestFrameRegistered = (RegisterClasses<TTestFrame, TFrame, TEdit>(), true);

// Holds SysLocale.MiddleEast for a test.
struct TMiddleEastScope {
    bool Saved = SysLocale.MiddleEast;
    explicit TMiddleEastScope(bool Value) { SysLocale.MiddleEast = Value; }
    ~TMiddleEastScope() { SysLocale.MiddleEast = Saved; }
};

} // namespace

TEST(ScrollBox, AutoScrollRangesFollowTheChildren)
{
    TOwned<TForm> form = NewForm();
    auto* box = New<TScrollBox>(form.get());
    box->SetParent(form.get());
    box->SetBorderStyle(bsNone);
    box->SetBounds(0, 0, 200, 100);
    auto* farEdit = New<TEdit>(form.get());
    farEdit->SetParent(box);
    farEdit->SetBounds(150, 10, 100, 20);
    HWND wnd = box->Handle();
    EXPECT_EQ(box->HorzScrollBar()->Range(), 250);
    EXPECT_EQ(box->VertScrollBar()->Range(), 30);
    EXPECT_TRUE(BarShown(wnd, SB_HORZ));
    EXPECT_FALSE(BarShown(wnd, SB_VERT));
    SCROLLINFO si = BarInfo(wnd, SB_HORZ);
    EXPECT_EQ(si.nMax, 249);
    EXPECT_EQ(int(si.nPage), 200);

    // The arrow scrolls by Increment and moves the children.
    SendMessageW(wnd, WM_HSCROLL, SB_LINEDOWN, 0);
    EXPECT_EQ(box->HorzScrollBar()->Position(), 8);
    EXPECT_EQ(farEdit->Left(), 142);
    EXPECT_EQ(GetScrollPos(wnd, SB_HORZ), 8);
    SendMessageW(wnd, WM_HSCROLL, SB_BOTTOM, 0);
    EXPECT_EQ(box->HorzScrollBar()->Position(), 50);
    EXPECT_EQ(farEdit->Left(), 100);

    // A child moved within the scrolled area: 10 from the view's left is 60
    // from the area's; the range fits, the bar goes and the view returns.
    farEdit->SetLeft(10);
    EXPECT_EQ(box->HorzScrollBar()->Range(), 160);
    EXPECT_FALSE(BarShown(wnd, SB_HORZ));
    EXPECT_EQ(box->HorzScrollBar()->Position(), 0);
    EXPECT_EQ(farEdit->Left(), 60);
}

TEST(ScrollBox, AlignedAndAnchoredChildrenCountByTheirSide)
{
    TOwned<TForm> form = NewForm();
    auto* box = New<TScrollBox>(form.get());
    box->SetParent(form.get());
    box->SetBounds(0, 0, 200, 100);
    auto* right = New<TEdit>(form.get());
    right->SetParent(box);
    right->SetWidth(40);
    right->SetAlign(alRight);
    auto* stretched = New<TEdit>(form.get());
    stretched->SetParent(box);
    stretched->SetBounds(0, 0, 500, 20);
    stretched->SetAnchors({akLeft, akTop, akRight});
    auto* plain = New<TEdit>(form.get());
    plain->SetParent(box);
    plain->SetBounds(10, 40, 60, 20);
    box->HandleNeeded();
    // The right-aligned child adds its width; the stretched one does not count.
    EXPECT_EQ(box->HorzScrollBar()->Range(), 70 + 40);

    box->SetAutoScroll(false);
    EXPECT_EQ(box->HorzScrollBar()->Range(), 0);
    box->VertScrollBar()->SetRange(500);
    EXPECT_TRUE(BarShown(box->Handle(), SB_VERT));
}

TEST(ScrollBox, ScrollInViewBringsAChildIntoTheClientArea)
{
    TOwned<TForm> form = NewForm();
    auto* box = New<TScrollBox>(form.get());
    box->SetParent(form.get());
    box->SetBorderStyle(bsNone);
    box->SetBounds(0, 0, 200, 100);
    auto* low = New<TEdit>(form.get());
    low->SetParent(box);
    low->SetBounds(10, 300, 50, 20);
    box->HandleNeeded();
    int clientHeight = box->ClientHeight();
    box->ScrollInView(low);
    EXPECT_EQ(low->Top() + low->Height(), clientHeight);
    EXPECT_EQ(box->VertScrollBar()->Position(), 320 - clientHeight);
}

TEST(Form, AutoScrollShowsBarsForChildrenBeyondTheClientArea)
{
    for (bool autoScroll : {true, false}) {
        TOwned<TForm> form = NewForm();
        form->SetAutoScroll(autoScroll);
        auto* edit = New<TEdit>(form.get());
        edit->SetParent(form.get());
        edit->SetBounds(10, 600, 50, 20);
        EXPECT_EQ(BarShown(form->Handle(), SB_VERT), autoScroll);
        EXPECT_EQ(form->VertScrollBar()->Range(), autoScroll ? 620 : 0);
    }
}

TEST(Frame, AFrameInAFormResourceHoldsItsControls)
{
    TOwned<TForm> form(TForm::CreateNew(nullptr));
    ReadComponentFromText(LR"(object Form1: TForm
  object Frame1: TFrame
    Left = 5
    Width = 150
    object Edit1: TEdit
      Text = 'inside'
    end
  end
end)",
                          form.get());
    auto* frame = dynamic_cast<TFrame*>(form->FindComponent(L"Frame1"));
    ASSERT_NE(frame, nullptr);
    auto* edit = static_cast<TEdit*>(form->FindComponent(L"Edit1"));
    EXPECT_EQ(edit->Parent(), frame);
    EXPECT_EQ(frame->Parent(), form.get());
    wchar_t name[32] = {};
    GetClassNameW(frame->Handle(), name, 32);
    EXPECT_STREQ(name, L"TFrame");
    EXPECT_TRUE(GetWindowLongW(frame->Handle(), GWL_STYLE) & WS_CHILD);
}

TEST(Frame, AnInlineFrameReadsItsOwnResourceThenTheFormsChanges)
{
    TOwned<TForm> form(TForm::CreateNew(nullptr));
    ReadComponentFromText(LR"(object Form1: TForm
  inline Frame1: TTestFrame
    Left = 20
    inherited FrameEdit: TEdit
      Text = 'changed by the form'
    end
    object Extra: TEdit
      Top = 40
    end
  end
end)",
                          form.get());
    auto* frame = dynamic_cast<TTestFrame*>(form->FindComponent(L"Frame1"));
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->Left(), 20);
    EXPECT_EQ(frame->Width(), 200);
    // The frame's components belong to the frame, also those the form adds.
    auto* edit = dynamic_cast<TEdit*>(frame->FindComponent(L"FrameEdit"));
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(edit->Text(), L"changed by the form");
    EXPECT_EQ(edit->Parent(), frame);
    EXPECT_EQ(form->FindComponent(L"FrameEdit"), nullptr);
    auto* extra = dynamic_cast<TEdit*>(frame->FindComponent(L"Extra"));
    ASSERT_NE(extra, nullptr);
    EXPECT_EQ(extra->Parent(), frame);
}

TEST(Form, AlphaBlendMakesALayeredWindow)
{
    TOwned<TForm> form = NewForm();
    form->SetAlphaBlendValue(128);
    form->SetAlphaBlend(true); // before the window: applied when it is made
    HWND wnd = form->Handle();
    EXPECT_TRUE(GetWindowLongW(wnd, GWL_EXSTYLE) & WS_EX_LAYERED);
    BYTE alpha = 0;
    DWORD flags = 0;
    ASSERT_TRUE(GetLayeredWindowAttributes(wnd, nullptr, &alpha, &flags));
    EXPECT_EQ(alpha, 128);
    EXPECT_TRUE(flags & LWA_ALPHA);
    form->SetAlphaBlendValue(200);
    GetLayeredWindowAttributes(wnd, nullptr, &alpha, &flags);
    EXPECT_EQ(alpha, 200);
    form->SetAlphaBlend(false);
    EXPECT_FALSE(GetWindowLongW(wnd, GWL_EXSTYLE) & WS_EX_LAYERED);
}

TEST(BiDiMode, DrawingFlagsFollowTheModeOnAMiddleEastSystem)
{
    TOwned<TForm> form = NewForm();
    auto* edit = New<TEdit>(form.get());
    edit->SetParent(form.get());
    struct Case {
        bool MiddleEast;
        TBiDiMode Mode;
        UINT In, Out;
    } cases[] = {
        {false, bdRightToLeft, DT_LEFT, DT_LEFT},
        {true, bdLeftToRight, DT_LEFT, DT_LEFT},
        {true, bdRightToLeft, DT_LEFT, DT_RIGHT | DT_RTLREADING},
        {true, bdRightToLeft, DT_RIGHT, DT_LEFT | DT_RTLREADING},
        {true, bdRightToLeft, DT_CENTER, DT_CENTER | DT_RTLREADING},
        {true, bdRightToLeftReadingOnly, DT_LEFT, DT_LEFT | DT_RTLREADING},
        {true, bdRightToLeftNoAlign, DT_RIGHT, DT_RIGHT | DT_RTLREADING},
    };
    for (const Case& c : cases) {
        TMiddleEastScope scope(c.MiddleEast);
        edit->SetBiDiMode(c.Mode);
        EXPECT_EQ(edit->DrawTextBiDiModeFlags(c.In), c.Out) << c.MiddleEast << " " << int(c.Mode) << " " << c.In;
    }
}

TEST(BiDiMode, WindowsTakeTheirStylesAndChildrenFollowTheParent)
{
    TMiddleEastScope scope(true);
    TOwned<TForm> form = NewForm();
    auto* panel = New<TGroupBox>(form.get());
    panel->SetParent(form.get());
    auto* edit = New<TEdit>(form.get());
    edit->SetParent(panel);
    auto* check = New<TCheckBox>(form.get());
    check->SetParent(panel);
    edit->HandleNeeded();
    check->HandleNeeded();
    EXPECT_FALSE(GetWindowLongW(edit->Handle(), GWL_EXSTYLE) & WS_EX_RTLREADING);

    panel->SetBiDiMode(bdRightToLeft);
    EXPECT_EQ(edit->BiDiMode(), bdRightToLeft);
    EXPECT_TRUE(edit->ParentBiDiMode());
    LONG ex = GetWindowLongW(edit->Handle(), GWL_EXSTYLE);
    EXPECT_TRUE(ex & WS_EX_RTLREADING);
    EXPECT_TRUE(ex & WS_EX_LEFTSCROLLBAR);
    EXPECT_TRUE(ex & WS_EX_RIGHT);
    // A right-to-left check box puts its text left of the box.
    EXPECT_TRUE(GetWindowLongW(check->Handle(), GWL_STYLE) & BS_LEFTTEXT);

    edit->SetBiDiMode(bdLeftToRight);
    EXPECT_FALSE(edit->ParentBiDiMode());
    EXPECT_FALSE(GetWindowLongW(edit->Handle(), GWL_EXSTYLE) & WS_EX_RTLREADING);
}

TEST(HintWindow, SizesItsTextAndShowsWithoutTakingTheFocus)
{
    TOwned<THintWindow> hint(New<THintWindow>(nullptr));
    EXPECT_EQ(hint->Color(), clInfoBk);
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, hint->Font()->Handle());
    SIZE one{};
    GetTextExtentPoint32W(dc, L"Save", 4, &one);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);

    TRect shortRect = hint->CalcHintRect(800, L"Save", nullptr);
    EXPECT_EQ(shortRect, TRect(0, 0, one.cx + 6, one.cy + 2));
    UnicodeString longText;
    for (int i = 0; i < 40; ++i)
        longText += L"Save ";
    TRect longRect = hint->CalcHintRect(200, longText, nullptr);
    EXPECT_LE(longRect.Width(), 206);
    EXPECT_GE(longRect.Height(), 3 * one.cy + 2);
    EXPECT_EQ((longRect.Height() - 2) % one.cy, 0);

    HWND before = GetForegroundWindow();
    TRect at = shortRect;
    OffsetRect(&at, 50, 60);
    hint->ActivateHint(at, L"Save");
    HWND wnd = hint->Handle();
    EXPECT_TRUE(IsWindowVisible(wnd));
    EXPECT_TRUE(GetWindowLongW(wnd, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_TRUE(GetWindowLongW(wnd, GWL_STYLE) & WS_POPUP);
    EXPECT_EQ(hint->BoundsRect(), at);
    EXPECT_EQ(GetForegroundWindow(), before);
    EXPECT_EQ(SendMessageW(wnd, WM_NCHITTEST, 0, MAKELPARAM(55, 65)), HTTRANSPARENT);
}

TEST(Themes, OffUnderWineAndSetWindowThemeReachesTheSystem)
{
    TOwned<TForm> form = NewForm();
    auto* edit = New<TEdit>(form.get());
    edit->SetParent(form.get());
    EXPECT_FALSE(ThemesEnabled());
    HRESULT expected = ThemeServices()->ThemesAvailable() ? S_OK : E_NOTIMPL;
    EXPECT_EQ(SetWindowTheme(edit->Handle(), L" ", L" "), expected);
    EXPECT_EQ(SetWindowTheme(edit->Handle(), nullptr, nullptr), expected);
}
