// Every wrapper of the standard controls taken over and given back: the
// window's procedure, property and styles as they were, both teardown
// orders, and no resource left behind over many wrap, paint and unwrap
// cycles.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include "StdWrapFixture.h"
#include "skin/core/kvntUtils.h"
#include "classlib/controls/ComCtrls.h"
#include "classlib/controls/ExtCtrls.h"
#include "classlib/controls/StdCtrls.h"
#include "skin/wrappers/kvSBUtils_Buttons.h"
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
};

const TKind Kinds[] = {
    {"push button", TkvWndClass::Of<TkvBtnWnd>(), L"BUTTON", BS_DEFPUSHBUTTON},
    {"bit button", TkvWndClass::Of<TkvBitBtnWnd>(), L"BUTTON", BS_PUSHBUTTON | BS_BITMAP},
    {"check box", TkvWndClass::Of<TkvCheckBoxWnd>(), L"BUTTON", BS_AUTOCHECKBOX},
    {"radio button", TkvWndClass::Of<TkvCheckBoxWnd>(), L"BUTTON", BS_AUTORADIOBUTTON},
    {"group box", TkvWndClass::Of<TkvGroupBoxWnd>(), L"BUTTON", BS_GROUPBOX},
    {"static", TkvWndClass::Of<TkvStaticWnd>(), L"STATIC", SS_LEFT},
    {"icon", TkvWndClass::Of<TkvIconWnd>(), L"STATIC", SS_ICON},
    {"link", TkvWndClass::Of<TkvLinkWnd>(), L"STATIC", WS_TABSTOP},
    {"size grip", TkvWndClass::Of<TkvSizerWnd>(), L"SCROLLBAR", SBS_SIZEGRIP},
    {"up-down", TkvWndClass::Of<TkvSpinWnd>(), UPDOWN_CLASSW, 0},
    {"dialog panel", TkvWndClass::Of<TkvDlgPanelWnd>(), L"STATIC", 0},
    {"nested dialog", TkvWndClass::Of<TkvTransPanelWnd>(), L"STATIC", 0},
    {"tab frame", TkvWndClass::Of<TkvTabWnd>(), WC_TABCONTROLW, 0},
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
    for (const TKind& k : Kinds) {
        SCOPED_TRACE(k.Name);
        HWND h = Child(k.WindowClass, k.Style, 60, 30, L"Text");
        const TWndSnapshot before = StateOf(h);
        TkvMainWnd* w = k.Class.Create(h, nullptr, Manager, L"", false);
        ASSERT_TRUE(w->Hooked());
        EXPECT_EQ(Command(h, SMC_IS_SKINNED), 1);
        Printed(h);
        ::SendMessageW(h, WM_SETTEXT, 0, LPARAM(L"Other"));
        ::SendMessageW(h, WM_ENABLE, 0, 0);
        Printed(h);
        UninitializeKVWnd(h, true, false, w);
        EXPECT_TRUE(StateOf(h) == before);
        EXPECT_EQ(::GetPropW(h, KVSBSC), nullptr);
        EXPECT_EQ(Command(h, SMC_IS_SKINNED), 0);
        ::DestroyWindow(h);
    }
}

TEST_F(WrapperTest, EachKindOutlivesItsWindow)
{
    for (const TKind& k : Kinds) {
        SCOPED_TRACE(k.Name);
        HWND h = Child(k.WindowClass, k.Style, 60, 30, L"Text");
        TkvMainWnd* w = k.Class.Create(h, nullptr, Manager, L"", false);
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
    const struct {
        TWinControl* Control;
        TkvWndClass Class;
    } cases[] = {
        {button, TkvWndClass::Of<TkvBtnWnd>()},   {check, TkvWndClass::Of<TkvCheckBoxWnd>()},
        {group, TkvWndClass::Of<TkvGroupBoxWnd>()}, {panel, TkvWndClass::Of<TkvPanelWnd>()},
        {updown, TkvWndClass::Of<TkvSpinWnd>()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Class.Name());
        c.Control->SetParent(Form.get());
        c.Control->SetBounds(10, 10, 80, 30);
        TsCommonData data(c.Control, true);
        const TWndMethod original = c.Control->WindowProc;
        const WNDPROC proc = ProcOf(c.Control->Handle());
        TkvMainWnd* w = c.Class.Create(c.Control->Handle(), &data, Manager, L"", false);
        EXPECT_TRUE(c.Control->WindowProc == w->HookMethod());
        EXPECT_EQ(ProcOf(c.Control->Handle()), proc);
        TOwned<TBitmap> got = Printed(c.Control->Handle());
        EXPECT_EQ(CountColor(got.get(), TRect(0, 0, 80, 30), 0x00FF00), 0); // the whole window painted
        UninitializeKVWnd(c.Control->Handle(), true, false, w);
        EXPECT_TRUE(c.Control->WindowProc == original);
    }
}

TEST_F(WrapperTest, WrapPaintAndUnwrapLeakNothing)
{
    std::vector<HWND> windows;
    for (const TKind& k : Kinds)
        windows.push_back(Child(k.WindowClass, k.Style, 60, 30, L"Text"));
    // Warm-up: fonts, brushes and the skin's caches made once.
    for (size_t i = 0; i < windows.size(); ++i) {
        TkvMainWnd* w = Kinds[i].Class.Create(windows[i], nullptr, Manager, L"", false);
        Printed(windows[i]);
        UninitializeKVWnd(windows[i], true, false, w);
    }
    const TResourceCount before = CountResources();
    for (int n = 0; n < 1000; ++n) {
        const size_t i = size_t(n) % windows.size();
        TkvMainWnd* w = Kinds[i].Class.Create(windows[i], nullptr, Manager, L"", false);
        Printed(windows[i]);
        UninitializeKVWnd(windows[i], true, false, w);
    }
    EXPECT_TRUE(NoResourceGrowth(before, CountResources()));
    for (HWND h : windows)
        ::DestroyWindow(h);
}
