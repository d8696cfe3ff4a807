// Every wrapper of the standard controls taken over and given back: the
// window's procedure, property and styles as they were, both teardown
// orders, and no resource left behind over many wrap, paint and unwrap
// cycles.
#include <gtest/gtest.h>

#include <string_view>

#include <windows.h>

#include <commctrl.h>

#include "StdWrapFixture.h"
#include "skin/core/kvntUtils.h"
#include "classlib/controls/ComCtrls.h"
#include "classlib/controls/ExtCtrls.h"
#include "classlib/controls/StdCtrls.h"
#include "skin/wrappers/kvSBUtils_Buttons.h"
#include "skin/wrappers/kvSBUtils_Combo.h"
#include "skin/wrappers/kvSBUtils_Edits.h"
#include "skin/wrappers/kvSBUtils_Panels.h"
#include "skin/wrappers/kvSBUtils_Statics.h"
#include "support/ResourceCount.h"

using namespace stdwraptest;

namespace {

struct TKind {
    const char* Name;
    TkvWndClass Class;
    const wchar_t* WindowClass;
    DWORD Style;
    // The section the creator names; empty for the wrapper's own.
    const wchar_t* Section = L"";
};

const TKind Kinds[] = {
    {"push button", TkvWndClass::Of<TkvBtnWnd>(), L"BUTTON", BS_DEFPUSHBUTTON},
    {"bit button", TkvWndClass::Of<TkvBitBtnWnd>(), L"BUTTON", BS_PUSHBUTTON | BS_BITMAP},
    {"check box", TkvWndClass::Of<TkvCheckBoxWnd>(), L"BUTTON", BS_AUTOCHECKBOX},
    {"radio button", TkvWndClass::Of<TkvCheckBoxWnd>(), L"BUTTON", BS_AUTORADIOBUTTON},
    {"group box", TkvWndClass::Of<TkvGroupBoxWnd>(), L"BUTTON", BS_GROUPBOX, L"BUTTON"},
    {"static", TkvWndClass::Of<TkvStaticWnd>(), L"STATIC", SS_LEFT, L"CHECKBOX"},
    {"icon", TkvWndClass::Of<TkvIconWnd>(), L"STATIC", SS_ICON, L"CHECKBOX"},
    {"link", TkvWndClass::Of<TkvLinkWnd>(), L"STATIC", WS_TABSTOP, L"CHECKBOX"},
    {"size grip", TkvWndClass::Of<TkvSizerWnd>(), L"SCROLLBAR", SBS_SIZEGRIP},
    {"up-down", TkvWndClass::Of<TkvSpinWnd>(), UPDOWN_CLASSW, 0},
    {"dialog panel", TkvWndClass::Of<TkvDlgPanelWnd>(), L"STATIC", 0},
    {"nested dialog", TkvWndClass::Of<TkvTransPanelWnd>(), L"STATIC", 0, L"BUTTON"},
    {"tab frame", TkvWndClass::Of<TkvTabWnd>(), WC_TABCONTROLW, 0, L"BUTTON"},
    {"edit", TkvWndClass::Of<TkvEditWnd>(), L"EDIT", WS_BORDER | WS_VSCROLL | ES_MULTILINE},
    {"list box", TkvWndClass::Of<TkvEditWnd>(), L"LISTBOX", WS_BORDER | WS_VSCROLL},
    {"tree view", TkvWndClass::Of<TkvTreeViewWnd>(), WC_TREEVIEWW, WS_BORDER},
    {"grid", TkvWndClass::Of<TkvGridWnd>(), L"EDIT", WS_BORDER},
    {"combo box", TkvWndClass::Of<TkvComboBoxWnd>(), L"COMBOBOX", CBS_DROPDOWNLIST, L"COMBOBOX"},
    {"simple combo box", TkvWndClass::Of<TkvComboBoxWnd>(), L"COMBOBOX", CBS_SIMPLE, L"COMBOBOX"},
    // (the section its combo box gives it)
    {"combo list", TkvWndClass::Of<TkvComboListWnd>(), L"LISTBOX", WS_BORDER | WS_VSCROLL, L"EDIT"},
};

struct TWndSnapshot {
    WNDPROC Proc;
    LONG Style, ExStyle;
    bool operator==(const TWndSnapshot&) const = default;
};

TWndSnapshot StateOf(HWND Wnd)
{
    return {ProcOf(Wnd), ::GetWindowLongW(Wnd, GWL_STYLE), ::GetWindowLongW(Wnd, GWL_EXSTYLE)};
}

} // namespace

TEST_F(WrapperTest, EachKindIsGivenBackAsItWas)
{
    // Each kind's first picture goes on a sheet for a reader, printed with
    // its children (a simple combo box's list) on a light grey that white
    // fields stand out from.
    const int cols = 5, cw = 100, ch = 50;
    const int rows = int((std::size(Kinds) + cols - 1) / cols);
    const TColor paper = 0xE8E8E8;
    TOwned<TBitmap> sheet(New<TBitmap>(cols * cw, rows * ch, pf24bit));
    FillDC(sheet->Canvas()->Handle(), TRect(0, 0, cols * cw, rows * ch), paper);
    int n = 0;
    for (const TKind& k : Kinds) {
        SCOPED_TRACE(k.Name);
        HWND h = Child(k.WindowClass, k.Style, 90, 40, L"Text");
        // Lists show an item: a drop-down list's field shows only the selected one.
        if (std::wstring_view(k.WindowClass) == L"COMBOBOX") {
            ::SendMessageW(h, CB_ADDSTRING, 0, LPARAM(L"Text"));
            ::SendMessageW(h, CB_SETCURSEL, 0, 0);
        } else if (std::wstring_view(k.WindowClass) == L"LISTBOX") {
            ::SendMessageW(h, LB_ADDSTRING, 0, LPARAM(L"Text"));
        }
        const TWndSnapshot before = StateOf(h);
        TkvMainWnd* w = k.Class.Create(h, nullptr, Manager, k.Section, false);
        ASSERT_TRUE(w->Hooked());
        EXPECT_EQ(Command(h, SMC_IS_SKINNED), 1);
        // The frame measured again, as a shown window's first layout does.
        ::SetWindowPos(h, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_FRAMECHANGED);
        TOwned<TBitmap> picture = Printed(h, paper, PRF_CLIENT | PRF_NONCLIENT | PRF_CHILDREN);
        // The picture shows the control: not the bare paper.
        int paperPixels = 0;
        for (int y = 0; y < picture->Height(); ++y)
            for (int x = 0; x < picture->Width(); ++x)
                paperPixels += Px(picture.get(), x, y) == paper;
        EXPECT_LT(paperPixels, picture->Width() * picture->Height()) << "a blank cell";
        if (std::string_view(k.Name) == "combo list") {
            // The list's frame in its section's colour, as its combo box gives it.
            const TColor field = Manager->gd[std::size_t(Manager->GetSkinIndex(L"EDIT"))].Color;
            EXPECT_EQ(Px(picture.get(), 1, 1), ColorToRGB(field));
        }
        ::BitBlt(sheet->Canvas()->Handle(), (n % cols) * cw + 5, (n / cols) * ch + 5, picture->Width(),
                 picture->Height(), picture->Canvas()->Handle(), 0, 0, SRCCOPY);
        ++n;
        ::SendMessageW(h, WM_SETTEXT, 0, LPARAM(L"Other"));
        ::SendMessageW(h, WM_ENABLE, 0, 0);
        Printed(h);
        UninitializeKVWnd(h, true, false, w);
        EXPECT_TRUE(StateOf(h) == before);
        EXPECT_EQ(::GetPropW(h, KVSBSC), nullptr);
        EXPECT_EQ(Command(h, SMC_IS_SKINNED), 0);
        ::DestroyWindow(h);
    }
    SaveArtifact(sheet.get(), "wrapper-kinds.png");
}

TEST_F(WrapperTest, EachKindOutlivesItsWindow)
{
    for (const TKind& k : Kinds) {
        SCOPED_TRACE(k.Name);
        HWND h = Child(k.WindowClass, k.Style, 60, 30, L"Text");
        TkvMainWnd* w = k.Class.Create(h, nullptr, Manager, k.Section, false);
        Printed(h);
        ::DestroyWindow(h);
        EXPECT_TRUE(w->Destroyed);
        FreeAndNil(w); // touches no window
    }
}

TEST_F(WrapperTest, ClassLibraryControlsAreTakenOverThroughTheirWindowProc)
{
    TButton* button = New<TButton>(Form.get());
    TCheckBox* check = New<TCheckBox>(Form.get());
    TGroupBox* group = New<TGroupBox>(Form.get());
    TPanel* panel = New<TPanel>(Form.get());
    TUpDown* updown = New<TUpDown>(Form.get());
    TEdit* edit = New<TEdit>(Form.get());
    TListBox* list = New<TListBox>(Form.get());
    TComboBox* combo = New<TComboBox>(Form.get());
    TTreeView* tree = New<TTreeView>(Form.get());
    const struct {
        TWinControl* Control;
        TkvWndClass Class;
        const wchar_t* Section;
    } cases[] = {
        {button, TkvWndClass::Of<TkvBtnWnd>(), L""},
        {check, TkvWndClass::Of<TkvCheckBoxWnd>(), L""},
        {group, TkvWndClass::Of<TkvGroupBoxWnd>(), L"BUTTON"},
        {panel, TkvWndClass::Of<TkvPanelWnd>(), L""},
        {updown, TkvWndClass::Of<TkvSpinWnd>(), L""},
        {edit, TkvWndClass::Of<TkvEditWnd>(), L""},
        {list, TkvWndClass::Of<TkvEditWnd>(), L""},
        {combo, TkvWndClass::Of<TkvComboBoxWnd>(), L"COMBOBOX"},
        {tree, TkvWndClass::Of<TkvTreeViewWnd>(), L""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Control->ClassName().c_str());
        c.Control->SetParent(Form.get());
        c.Control->SetBounds(10, 10, 80, 30);
        c.Control->SetColor(0x0A0B0C);
        c.Control->Font()->SetColor(0x0C0B0A);
        TsCommonData data(c.Control, true);
        const TWndMethod original = c.Control->WindowProc;
        const WNDPROC proc = ProcOf(c.Control->Handle());
        // Made as a form's control adapter makes them: the frame computed again.
        TkvMainWnd* w = c.Class.Create(c.Control->Handle(), &data, Manager, c.Section, true);
        EXPECT_TRUE(c.Control->WindowProc == w->HookMethod());
        EXPECT_EQ(ProcOf(c.Control->Handle()), proc);
        TOwned<TBitmap> got = Printed(c.Control->Handle());
        EXPECT_EQ(CountColor(got.get(), TRect(0, 0, 80, 30), 0x00FF00), 0); // the whole window painted
        UninitializeKVWnd(c.Control->Handle(), true, false, w);
        EXPECT_TRUE(c.Control->WindowProc == original);
        EXPECT_EQ(c.Control->Color(), TColor(0x0A0B0C));
        EXPECT_EQ(c.Control->Font()->Color(), TColor(0x0C0B0A));
    }
}

TEST_F(WrapperTest, WrapPaintAndUnwrapLeakNothing)
{
    std::vector<HWND> windows;
    for (const TKind& k : Kinds)
        windows.push_back(Child(k.WindowClass, k.Style, 60, 30, L"Text"));
    // Warm-up: fonts, brushes and the skin's caches made once.
    for (size_t i = 0; i < windows.size(); ++i) {
        TkvMainWnd* w = Kinds[i].Class.Create(windows[i], nullptr, Manager, Kinds[i].Section, false);
        Printed(windows[i]);
        UninitializeKVWnd(windows[i], true, false, w);
    }
    const TResourceCount before = CountResources();
    for (int n = 0; n < 1000; ++n) {
        const size_t i = size_t(n) % windows.size();
        TkvMainWnd* w = Kinds[i].Class.Create(windows[i], nullptr, Manager, Kinds[i].Section, false);
        Printed(windows[i]);
        UninitializeKVWnd(windows[i], true, false, w);
    }
    EXPECT_TRUE(NoResourceGrowth(before, CountResources()));
    for (HWND h : windows)
        ::DestroyWindow(h);
}
