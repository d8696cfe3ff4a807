// What controls tell and keep beside their basics: the change, focus
// settling, 3-D look and wheel notifications, the mouse capture, size
// limits and sizing to content, the bevelled frame, hints with CM_HINTSHOW,
// the display of a window and the system's version.
#include <gtest/gtest.h>

#include <vector>

#include "classlib/controls/Controls.h"
#include "classlib/controls/ExtCtrls.h"
#include "classlib/controls/Forms.h"
#include "classlib/controls/StdCtrls.h"
#include "classlib/rtl/SysUtils.h"
#include "classlib/rtl/TypInfo.h"

namespace {

// Notes the messages reaching a control's WindowProc and can answer one.
struct TWatch {
    TControl* Control;
    TWndMethod Old;
    std::vector<TMessage> Got;
    UINT Answer = 0;
    LRESULT AnswerWith = 0;
    explicit TWatch(TControl* C) : Control(C), Old(C->WindowProc) { C->WindowProc = Bind(this, &TWatch::Hook); }
    ~TWatch() { Control->WindowProc = Old; }
    void Hook(TMessage& M)
    {
        Got.push_back(M);
        if (M.Msg == Answer && Answer) {
            M.Result = AnswerWith;
            return;
        }
        Old(M);
    }
    int Count(UINT Msg) const
    {
        int n = 0;
        for (const TMessage& m : Got)
            n += m.Msg == Msg;
        return n;
    }
    const TMessage* Last(UINT Msg) const
    {
        for (auto it = Got.rbegin(); it != Got.rend(); ++it)
            if (it->Msg == Msg)
                return &*it;
        return nullptr;
    }
};

// A control that sizes itself to 33 x 22.
class TSelfSizing : public TCustomControl {
    KV_CLASS(TSelfSizing)
public:
    using TCustomControl::TCustomControl;
    bool CanAutoSize(int& W, int& H) override
    {
        W = 33;
        H = 22;
        return true;
    }
};

class ControlLook : public ::testing::Test {
protected:
    TOwned<TForm> Form{TForm::CreateNew(nullptr)};
    template <class T>
    T* Place(TWinControl* Parent = nullptr)
    {
        T* c = New<T>(Form.get());
        c->SetParent(Parent ? Parent : Form.get());
        return c;
    }
};

} // namespace

TEST_F(ControlLook, ChangedIsSentWhereTheValueChanges)
{
    TEdit* edit = Place<TEdit>();
    TCheckBox* check = Place<TCheckBox>();
    TRadioButton* radio = Place<TRadioButton>();
    edit->HandleNeeded();
    TWatch we(edit), wc(check), wr(radio);
    bool clicked = false;
    struct TClick {
        TWatch* W;
        bool* Clicked;
        bool ChangedFirst = false;
        void OnClick(TObject*)
        {
            ChangedFirst = W->Count(CM_CHANGED) == 1;
            *Clicked = true;
        }
    } click{&wc, &clicked};
    check->OnClick = Bind(&click, &TClick::OnClick);

    edit->SetText(L"new");
    check->SetChecked(true);
    radio->SetChecked(true);
    EXPECT_GE(we.Count(CM_CHANGED), 1);
    EXPECT_EQ(we.Last(CM_CHANGED)->LParam, LPARAM(edit));
    EXPECT_TRUE(clicked && click.ChangedFirst);
    EXPECT_EQ(wr.Count(CM_CHANGED), 1);
    radio->SetChecked(false); // unchecking tells nothing
    EXPECT_EQ(wr.Count(CM_CHANGED), 1);
}

TEST_F(ControlLook, FocusSettlingOnTheActiveControlSendsUIActivate)
{
    TEdit* edit = Place<TEdit>();
    Form->Show();
    ::SetForegroundWindow(Form->Handle());
    TWatch w(edit);
    Form->SetActiveControl(edit);
    ASSERT_EQ(::GetFocus(), edit->Handle());
    EXPECT_EQ(w.Count(CM_UIACTIVATE), 1);
}

TEST_F(ControlLook, Ctl3DFollowsTheParentAndDecidesAnEditsBorder)
{
    TPanel* panel = Place<TPanel>();
    TEdit* edit = Place<TEdit>(panel);
    edit->HandleNeeded();
    EXPECT_TRUE(::GetWindowLongW(edit->Handle(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
    TWatch wp(panel), we(edit);
    panel->SetCtl3D(false);
    EXPECT_EQ(wp.Count(CM_CTL3DCHANGED), 1);
    EXPECT_EQ(we.Count(CM_PARENTCTL3DCHANGED), 1);
    EXPECT_FALSE(edit->Ctl3D());
    EXPECT_TRUE(edit->ParentCtl3D());
    EXPECT_FALSE(::GetWindowLongW(edit->Handle(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE); // a plain border

    edit->SetCtl3D(true); // its own now
    EXPECT_FALSE(edit->ParentCtl3D());
    panel->SetCtl3D(true);
    panel->SetCtl3D(false);
    EXPECT_TRUE(edit->Ctl3D());
}

TEST_F(ControlLook, MouseWheelNotificationCarriesTheShiftState)
{
    TEdit* edit = Place<TEdit>();
    TWatch w(edit);
    ::SendMessageW(edit->Handle(), WM_MOUSEWHEEL, MAKEWPARAM(MK_CONTROL | MK_SHIFT, WORD(-240)), MAKELPARAM(15, 25));
    const TMessage* m = w.Last(CM_MOUSEWHEEL);
    ASSERT_NE(m, nullptr);
    TMessage copy = *m;
    const TCMMouseWheel& v = MessageAs<TCMMouseWheel>(copy);
    const TShiftState shift = TShiftState::FromOrd(v.ShiftState);
    EXPECT_TRUE(shift.Contains(ssCtrl));
    EXPECT_TRUE(shift.Contains(ssShift));
    EXPECT_EQ(v.WheelDelta, -240);
    EXPECT_EQ(v.XPos, 15);
    EXPECT_EQ(v.YPos, 25);
}

TEST_F(ControlLook, MouseCaptureOfWindowedAndGraphicControls)
{
    TEdit* edit = Place<TEdit>();
    TLabel* label = Place<TLabel>();
    edit->SetMouseCapture(true);
    EXPECT_EQ(::GetCapture(), edit->Handle());
    EXPECT_TRUE(edit->MouseCapture());
    EXPECT_FALSE(Form->MouseCapture());

    label->SetMouseCapture(true); // through its parent's window
    EXPECT_EQ(::GetCapture(), Form->Handle());
    EXPECT_TRUE(label->MouseCapture());
    EXPECT_FALSE(Form->MouseCapture());
    EXPECT_FALSE(edit->MouseCapture());
    label->SetMouseCapture(false);
    EXPECT_EQ(::GetCapture(), nullptr);
    EXPECT_FALSE(label->MouseCapture());
}

TEST_F(ControlLook, ConstraintsBoundTheSize)
{
    TEdit* edit = Place<TEdit>();
    edit->SetBounds(0, 0, 100, 30);
    TSizeConstraints* c = edit->Constraints();
    c->SetMinWidth(120); // applied at once
    EXPECT_EQ(edit->Width(), 120);
    c->SetMaxHeight(20);
    EXPECT_EQ(edit->Height(), 20);
    edit->SetBounds(0, 0, 500, 5);
    EXPECT_EQ(edit->Width(), 500); // no maximum width
    c->SetMaxWidth(150);
    EXPECT_EQ(edit->Width(), 150);
    c->SetMinWidth(200); // a minimum above the maximum raises it
    EXPECT_EQ(c->MaxWidth(), 200);
    c->SetMaxHeight(-3);
    EXPECT_EQ(c->MaxHeight(), 0);
    EXPECT_EQ(GetObjectProp(edit, L"Constraints"), c);
}

TEST_F(ControlLook, AutoSizeTakesTheControlsOwnSize)
{
    TSelfSizing* c = Place<TSelfSizing>();
    c->SetBounds(0, 0, 80, 60);
    EXPECT_EQ(c->Width(), 80);
    c->SetAutoSize(true);
    EXPECT_EQ(c->Width(), 33);
    EXPECT_EQ(c->Height(), 22);
    c->SetBounds(5, 5, 200, 200);
    EXPECT_EQ(c->Width(), 33);
    c->Constraints()->SetMinWidth(40);
    EXPECT_EQ(c->Width(), 40);
}

TEST_F(ControlLook, BevelledFrameTakesRoomOnItsEdges)
{
    TEdit* edit = Place<TEdit>();
    edit->SetBorderStyle(bsNone);
    edit->SetBounds(0, 0, 100, 30);
    edit->HandleNeeded();
    EXPECT_EQ(edit->ClientWidth(), 100);
    edit->SetBevelKind(bkTile); // inner and outer bevel, one pixel each
    EXPECT_EQ(edit->ClientWidth(), 96);
    EXPECT_EQ(edit->ClientHeight(), 26);
    edit->SetBevelEdges({beLeft, beTop});
    edit->SetBevelOuter(bvNone);
    EXPECT_EQ(edit->ClientWidth(), 99);
    EXPECT_EQ(edit->ClientHeight(), 29);
}

TEST_F(ControlLook, HintsShowAfterCMHintShowUnlessRefused)
{
    TEdit* edit = Place<TEdit>();
    edit->SetBounds(10, 10, 100, 24);
    edit->SetHint(L"Short|The long part");
    edit->SetShowHint(true);
    TWatch w(edit);
    ::SendMessageW(edit->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(Application->HintControl(), edit);
    EXPECT_TRUE(Application->HintPending());

    const TPoint at = edit->ClientToScreen(TPoint(5, 5));
    ASSERT_TRUE(Application->ActivateHint(at));
    EXPECT_EQ(w.Count(CM_HINTSHOW), 1);
    ASSERT_NE(Application->HintWindow(), nullptr);
    EXPECT_TRUE(::IsWindowVisible(Application->HintWindow()->Handle()));
    EXPECT_EQ(Application->HintWindow()->Caption(), UnicodeString(L"Short"));

    // Refused by the control: nothing shows.
    Application->CancelHint();
    w.Answer = CM_HINTSHOW;
    w.AnswerWith = 1;
    ::SendMessageW(edit->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(6, 6));
    EXPECT_FALSE(Application->ActivateHint(at));
    EXPECT_FALSE(Application->HintWindow()->HandleAllocated() &&
                 ::IsWindowVisible(Application->HintWindow()->Handle()));

    // Hints off: no pending hint, the window goes.
    w.Answer = 0;
    Application->SetShowHint(false);
    ::SendMessageW(edit->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(7, 7));
    EXPECT_FALSE(Application->HintPending());
    EXPECT_EQ(Application->HintWindow(), nullptr);
    Application->SetShowHint(true);

    // A control that goes takes its pending hint with it.
    ::SendMessageW(edit->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(8, 8));
    EXPECT_TRUE(Application->HintPending());
    TObject* o = edit;
    FreeAndNil(o);
    EXPECT_EQ(Application->HintControl(), nullptr);
    EXPECT_FALSE(Application->HintPending());
}

TEST_F(ControlLook, HintInfoCanBeChangedByTheControl)
{
    struct THintSetter : TEdit {
        using TEdit::TEdit;
        void WndProc(TMessage& M) override
        {
            if (M.Msg == CM_HINTSHOW) {
                reinterpret_cast<THintInfo*>(M.LParam)->HintStr = L"from the control";
                M.Result = 0;
                return;
            }
            TEdit::WndProc(M);
        }
    };
    THintSetter* edit = Place<THintSetter>();
    edit->SetHint(L"own");
    edit->SetShowHint(true);
    ::SendMessageW(edit->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(3, 3));
    ASSERT_TRUE(Application->ActivateHint(edit->ClientToScreen(TPoint(3, 3))));
    EXPECT_EQ(Application->HintWindow()->Caption(), UnicodeString(L"from the control"));
    Application->CancelHint();
}

TEST_F(ControlLook, WindowsMonitorAndWorkArea)
{
    TMonitor* m = Screen->MonitorFromWindow(Form->Handle());
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(Form->Monitor(), m);
    MONITORINFO mi{};
    mi.cbSize = sizeof(mi);
    ASSERT_TRUE(::GetMonitorInfoW(::MonitorFromWindow(Form->Handle(), MONITOR_DEFAULTTONEAREST), &mi));
    EXPECT_EQ(m->WorkareaRect(), TRect(mi.rcWork));
    EXPECT_EQ(m->BoundsRect(), TRect(mi.rcMonitor));
}

TEST(SystemVersion, GlobalsAnswerAsTheSystem)
{
    OSVERSIONINFOW v{};
    v.dwOSVersionInfoSize = sizeof(v);
    ASSERT_TRUE(::GetVersionExW(&v));
    EXPECT_EQ(Win32Platform, int(v.dwPlatformId));
    EXPECT_EQ(Win32MajorVersion, int(v.dwMajorVersion));
    EXPECT_EQ(Win32MinorVersion, int(v.dwMinorVersion));
    EXPECT_TRUE(CheckWin32Version(Win32MajorVersion, Win32MinorVersion));
    EXPECT_FALSE(CheckWin32Version(Win32MajorVersion + 1));
    EXPECT_TRUE(NewStyleControls);
}
