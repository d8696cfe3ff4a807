// The up-down control over its "msctls_updown32" window.
#include <gtest/gtest.h>

#include <vector>

#include "classlib/controls/ComCtrls.h"
#include "classlib/controls/Forms.h"
#include "classlib/controls/StdCtrls.h"

namespace {

TOwned<TForm> NewForm()
{
    TOwned<TForm> f(TForm::CreateNew(nullptr));
    f->SetBounds(0, 0, 300, 200);
    return f;
}

UnicodeString WindowClassOf(HWND wnd)
{
    wchar_t name[64] = {};
    GetClassNameW(wnd, name, 64);
    return name;
}

struct TUpDownEvents : TObject {
    std::vector<UnicodeString> Log;
    bool Allow = true;
    void Changing(TObject*, bool& AllowChange)
    {
        Log.push_back(L"changing");
        AllowChange = Allow;
    }
    void Click(TObject*, TUDBtnType Button) { Log.push_back(Button == btNext ? L"next" : L"prev"); }
};

// A press and release on the arrow at the given end of the window.
void PressArrow(TUpDown* UpDown, bool First)
{
    HWND wnd = UpDown->Handle();
    RECT r;
    GetClientRect(wnd, &r);
    bool vertical = UpDown->Orientation() == udVertical;
    int x = vertical ? r.right / 2 : (First ? 2 : r.right - 3);
    int y = vertical ? (First ? 2 : r.bottom - 3) : r.bottom / 2;
    SendMessageW(wnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    SendMessageW(wnd, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
}

} // namespace

TEST(UpDown, RangeAndPositionLiveInTheWindowAndSurviveARecreation)
{
    TOwned<TForm> form = NewForm();
    auto* ud = New<TUpDown>(form.get());
    ud->SetParent(form.get());
    // Set before the window exists, then handed to it.
    ud->SetMin(-5);
    ud->SetMax(20);
    ud->SetPosition(7);
    HWND wnd = ud->Handle();
    EXPECT_EQ(WindowClassOf(wnd), L"TUpDown");
    int lo = 0, hi = 0;
    SendMessageW(wnd, UDM_GETRANGE32, reinterpret_cast<WPARAM>(&lo), reinterpret_cast<LPARAM>(&hi));
    EXPECT_EQ(lo, -5);
    EXPECT_EQ(hi, 20);
    EXPECT_EQ(SendMessageW(wnd, UDM_GETPOS32, 0, 0), 7);
    // The window keeps the position inside the range.
    ud->SetPosition(50);
    EXPECT_EQ(ud->Position(), 20);

    // A horizontal control is a new window with the position kept and the
    // long side turned.
    ud->SetBounds(0, 0, 16, 30);
    ud->SetOrientation(udHorizontal);
    HWND again = ud->Handle();
    EXPECT_TRUE(GetWindowLongW(again, GWL_STYLE) & UDS_HORZ);
    EXPECT_EQ(ud->Position(), 20);
    EXPECT_EQ(ud->Width(), 30);
    EXPECT_EQ(ud->Height(), 16);
}

TEST(UpDown, ArrowsAskOnChangingThenStepByIncrementAndReportTheirDirection)
{
    TOwned<TForm> form = NewForm();
    form->Show();
    TUpDownEvents events;
    auto* ud = New<TUpDown>(form.get());
    ud->SetParent(form.get());
    ud->SetBounds(10, 10, 17, 40);
    ud->SetMax(10);
    ud->SetIncrement(3);
    ud->OnChanging = Bind(&events, &TUpDownEvents::Changing);
    ud->OnClick = Bind(&events, &TUpDownEvents::Click);

    PressArrow(ud, true);
    EXPECT_EQ(ud->Position(), 3);
    PressArrow(ud, false);
    EXPECT_EQ(ud->Position(), 0);
    EXPECT_EQ(events.Log, (std::vector<UnicodeString>{L"changing", L"next", L"changing", L"prev"}));

    // OnChanging may refuse: nothing moves and no click is reported.
    events.Log.clear();
    events.Allow = false;
    PressArrow(ud, true);
    EXPECT_EQ(ud->Position(), 0);
    EXPECT_EQ(events.Log, std::vector<UnicodeString>{L"changing"});

    // Wrapping past the lower end still reports the arrow that was pressed.
    events.Log.clear();
    events.Allow = true;
    ud->SetIncrement(1);
    ud->SetWrap(true);
    PressArrow(ud, false);
    EXPECT_EQ(ud->Position(), 10);
    EXPECT_EQ(events.Log, (std::vector<UnicodeString>{L"changing", L"prev"}));
}

TEST(UpDown, AnAssociateShowsThePositionAndIsForgottenWhenFreed)
{
    TOwned<TForm> form = NewForm();
    form->Show();
    auto* edit = New<TEdit>(form.get());
    edit->SetParent(form.get());
    edit->SetBounds(10, 10, 100, 21);
    auto* ud = New<TUpDown>(form.get());
    ud->SetParent(form.get());
    ud->SetPosition(42);
    ud->SetAssociate(edit);
    EXPECT_EQ(reinterpret_cast<HWND>(SendMessageW(ud->Handle(), UDM_GETBUDDY, 0, 0)), edit->Handle());
    EXPECT_EQ(edit->Text(), L"42");
    // The arrows stand at the edit's right edge, inside its old width.
    EXPECT_EQ(ud->Left() + ud->Width(), 110);
    EXPECT_EQ(edit->Left() + edit->Width(), ud->Left());
    ud->SetPosition(43);
    EXPECT_EQ(edit->Text(), L"43");

    TObject* obj = edit;
    FreeAndNil(obj);
    EXPECT_EQ(ud->Associate(), nullptr);
    EXPECT_EQ(SendMessageW(ud->Handle(), UDM_GETBUDDY, 0, 0), 0);
}
