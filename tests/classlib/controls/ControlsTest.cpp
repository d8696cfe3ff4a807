// Controls: WindowProc routing and subclassing, Perform, the notification
// messages, window classes, painting into a given DC, alignment, and what
// a control lets go of when it or its window goes.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

#include "classlib/controls/Controls.h"
#include "classlib/controls/Forms.h"

namespace {

// A windowed control of our own class.
class TTestPanel : public TCustomControl {
    KV_CLASS(TTestPanel)
public:
    explicit TTestPanel(TComponent* AOwner) : TCustomControl(AOwner)
    {
        FControlStyle += csAcceptsControls;
        SetBounds(0, 0, 50, 40);
    }
    TColor PaintColor = clRed;
    bool SawPaintCopy = false;

protected:
    void Paint() override
    {
        SawPaintCopy = ControlState().Contains(csPaintCopy);
        Canvas()->Brush()->SetColor(PaintColor);
        Canvas()->FillRect(ClientRect());
    }
};

class TTestGraphic : public TGraphicControl {
    KV_CLASS(TTestGraphic)
public:
    explicit TTestGraphic(TComponent* AOwner) : TGraphicControl(AOwner) { SetBounds(10, 10, 5, 5); }
    bool SawPaintCopy = false;

protected:
    void Paint() override
    {
        SawPaintCopy = ControlState().Contains(csPaintCopy);
        Canvas()->Brush()->SetColor(clBlue);
        Canvas()->FillRect(ClientRect());
    }
};

// A superclass of the system's button.
class TTestButton : public TWinControl {
    KV_CLASS(TTestButton)
public:
    explicit TTestButton(TComponent* AOwner) : TWinControl(AOwner) { SetBounds(0, 0, 60, 20); }

protected:
    void CreateParams(TCreateParams& Params) override
    {
        TWinControl::CreateParams(Params);
        CreateSubClass(Params, L"BUTTON");
        Params.Style |= BS_CHECKBOX;
    }
};

class TTestEdit : public TWinControl {
    KV_CLASS(TTestEdit)
public:
    explicit TTestEdit(TComponent* AOwner) : TWinControl(AOwner) { SetBounds(0, 0, 80, 20); }

protected:
    void CreateParams(TCreateParams& Params) override
    {
        TWinControl::CreateParams(Params);
        CreateSubClass(Params, L"EDIT");
    }
};

// Puts itself in front of a control's WindowProc and records what passes.
struct TRecorder {
    struct Entry {
        UINT Msg;
        LPARAM LParam;
    };
    TControl* Control = nullptr;
    TWndMethod Old;
    std::vector<Entry> Seen;
    std::function<void(TMessage&)> Before;

    void Attach(TControl* c)
    {
        Control = c;
        Old = c->WindowProc;
        c->WindowProc = Bind(this, &TRecorder::Hook);
    }
    void Detach() { Control->WindowProc = Old; }
    void Hook(TMessage& m)
    {
        Seen.push_back({m.Msg, m.LParam});
        if (Before)
            Before(m);
        Old(m);
    }
    // The messages seen among those asked about, in order.
    std::vector<UINT> Only(std::initializer_list<UINT> msgs) const
    {
        std::vector<UINT> r;
        for (const Entry& e : Seen)
            for (UINT m : msgs)
                if (e.Msg == m)
                    r.push_back(e.Msg);
        return r;
    }
};

TForm* NewForm()
{
    TForm* f = TForm::CreateNew(nullptr);
    f->SetBounds(100, 100, 300, 200);
    return f;
}

UnicodeString WindowClassOf(HWND h)
{
    wchar_t buf[128] = {};
    ::GetClassNameW(h, buf, 127);
    return buf;
}

} // namespace

namespace {
// A raw subclass of a window through its procedure slot.
struct TRaw {
    static inline WNDPROC OldProc = nullptr;
    static inline int Count = 0;
    static LRESULT CALLBACK Proc(HWND w, UINT m, WPARAM wp, LPARAM lp)
    {
        if (m == WM_APP + 3)
            ++Count;
        return ::CallWindowProcW(OldProc, w, m, wp, lp);
    }
};

// A creation hook that looks the new window's control up.
struct THook {
    static inline TWinControl* Found = nullptr;
    static inline HWND Created = nullptr;
    static LRESULT CALLBACK Proc(int code, WPARAM wp, LPARAM lp)
    {
        if (code == HCBT_CREATEWND && !Found) {
            Created = reinterpret_cast<HWND>(wp);
            Found = TWinControl::FindControl(Created);
        }
        return ::CallNextHookEx(nullptr, code, wp, lp);
    }
};
} // namespace

TEST(WindowProc, SwappedByASubclasserAndRestored)
{
    TOwned<TForm> form(NewForm());
    auto* panel = New<TTestPanel>(form.get());
    panel->SetParent(form.get());
    TWndMethod original = panel->WindowProc;
    EXPECT_TRUE(original == Bind(static_cast<TControl*>(panel), &TControl::WndProc));

    TRecorder rec;
    rec.Attach(panel);
    EXPECT_FALSE(panel->WindowProc == original);

    // Creation-time messages pass through it, and the control already
    // knows its window while WM_NCCREATE / WM_CREATE are handled.
    HWND seenInCreate = nullptr;
    rec.Before = [&](TMessage& m) {
        if (m.Msg == WM_CREATE)
            seenInCreate = panel->HandleAllocated() ? panel->Handle() : nullptr;
    };
    HWND h = panel->Handle();
    EXPECT_EQ(seenInCreate, h);
    EXPECT_FALSE(rec.Only({WM_NCCREATE}).empty());

    // Perform and messages sent to the window both reach it.
    rec.Seen.clear();
    panel->Perform(WM_APP + 1, 0, 0);
    ::SendMessageW(h, WM_APP + 2, 0, 0);
    EXPECT_EQ(rec.Only({WM_APP + 1, WM_APP + 2}), (std::vector<UINT>{WM_APP + 1, WM_APP + 2}));

    // Raw subclassing of the window still ends in WindowProc.
    TRaw::OldProc = reinterpret_cast<WNDPROC>(::SetWindowLongPtrW(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TRaw::Proc)));
    ::SendMessageW(h, WM_APP + 3, 0, 0);
    EXPECT_EQ(TRaw::Count, 1);
    EXPECT_EQ(rec.Only({WM_APP + 3}).size(), 1u);
    ::SetWindowLongPtrW(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(TRaw::OldProc));

    // Restored: the recorder sees nothing more.
    rec.Detach();
    EXPECT_TRUE(panel->WindowProc == original);
    rec.Seen.clear();
    ::SendMessageW(h, WM_APP + 4, 0, 0);
    panel->Perform(WM_APP + 5, 0, 0);
    EXPECT_TRUE(rec.Seen.empty());
}

TEST(WindowProc, ChainsRestoreInReverseOrder)
{
    auto* panel = New<TTestPanel>(nullptr);
    TWndMethod original = panel->WindowProc;
    TRecorder first, second;
    first.Attach(panel);
    second.Attach(panel);
    panel->Perform(WM_APP, 0, 0);
    EXPECT_EQ(first.Seen.size(), 1u);
    EXPECT_EQ(second.Seen.size(), 1u);
    second.Detach();
    first.Detach();
    EXPECT_TRUE(panel->WindowProc == original);
    TObject* o = panel;
    FreeAndNil(o);
}

TEST(WindowProc, AGraphicControlHearsItHasMoved)
{
    TOwned<TForm> form(NewForm());
    auto* g = New<TTestGraphic>(form.get());
    g->SetParent(form.get());
    TRecorder rec;
    rec.Attach(g);
    g->SetBounds(20, 10, 5, 5);
    g->SetBounds(20, 10, 5, 5); // no change, no message
    g->SetWidth(7);
    EXPECT_EQ(rec.Only({WM_WINDOWPOSCHANGED}).size(), 2u);
    rec.Detach();
}

TEST(Perform, AnswersTheHandlersResultWithoutMakingAWindow)
{
    auto* panel = New<TTestPanel>(nullptr);
    TRecorder rec;
    rec.Attach(panel);
    rec.Before = [](TMessage& m) {
        if (m.Msg == WM_APP)
            m.Result = LRESULT(m.WParam + m.LParam);
    };
    // The recorder answers, then the control's own handler runs; a message
    // it does not know leaves the Result alone without a window.
    EXPECT_EQ(panel->Perform(WM_APP, 40, 2), 42);
    EXPECT_FALSE(panel->HandleAllocated());
    panel->SetText(L"abc");
    wchar_t buf[8] = {};
    EXPECT_EQ(panel->Perform(WM_GETTEXT, 8, reinterpret_cast<LPARAM>(buf)), 3);
    EXPECT_STREQ(buf, L"abc");
    rec.Detach();
    TObject* o = panel;
    FreeAndNil(o);
}

TEST(Notifications, SettersSendTheirNotification)
{
    TOwned<TForm> form(NewForm());
    auto* panel = New<TTestPanel>(form.get());
    panel->SetParent(form.get());
    struct Case {
        const char* What;
        std::function<void()> Change;
        UINT Expected;
    } cases[] = {
        {"enabled", [&] { panel->SetEnabled(false); }, CM_ENABLEDCHANGED},
        {"color", [&] { panel->SetColor(clYellow); }, CM_COLORCHANGED},
        {"font", [&] { panel->Font()->SetSize(20); }, CM_FONTCHANGED},
        {"text", [&] { panel->SetCaption(L"x"); }, CM_TEXTCHANGED},
        {"invalidated", [&] { panel->Invalidate(); }, CM_INVALIDATE},
        {"visible", [&] { panel->SetVisible(false); }, CM_VISIBLECHANGED},
    };
    for (const Case& c : cases) {
        TRecorder rec;
        rec.Attach(panel);
        c.Change();
        rec.Detach();
        EXPECT_EQ(rec.Only({c.Expected}).size(), 1u) << c.What;
    }
    // A font change also frees the control of its parent's font.
    EXPECT_FALSE(panel->ParentFont());

    // Text goes through WindowProc as WM_SETTEXT, with or without a window.
    for (bool withWindow : {false, true}) {
        if (withWindow)
            panel->HandleNeeded();
        TRecorder rec;
        rec.Attach(panel);
        panel->SetCaption(withWindow ? L"window" : L"field");
        rec.Detach();
        EXPECT_EQ(rec.Only({WM_SETTEXT, CM_TEXTCHANGED}), (std::vector<UINT>{WM_SETTEXT, CM_TEXTCHANGED}));
        EXPECT_EQ(panel->Caption(), withWindow ? L"window" : L"field");
    }

    // The parent hears of children coming and going.
    TRecorder parent;
    parent.Attach(form.get());
    auto* other = New<TTestPanel>(form.get());
    other->SetParent(form.get());
    other->SetParent(nullptr);
    parent.Detach();
    ASSERT_EQ(parent.Only({CM_CONTROLLISTCHANGE}).size(), 2u);
    TObject* o = other;
    FreeAndNil(o);
}

TEST(Notifications, VisibleChangedThenShowingChangedForEachWindow)
{
    TOwned<TForm> form(NewForm());
    auto* panel = New<TTestPanel>(form.get());
    panel->SetParent(form.get());
    auto* inner = New<TTestPanel>(form.get());
    inner->SetParent(panel);
    form->Show();
    ASSERT_TRUE(panel->Showing());
    ASSERT_TRUE(inner->Showing());

    TRecorder recPanel, recInner;
    recPanel.Attach(panel);
    recInner.Attach(inner);
    panel->SetVisible(false);
    EXPECT_EQ(recPanel.Only({CM_VISIBLECHANGED, CM_SHOWINGCHANGED}),
              (std::vector<UINT>{CM_VISIBLECHANGED, CM_SHOWINGCHANGED}));
    // The child's own Visible did not change, its Showing did.
    EXPECT_EQ(recInner.Only({CM_VISIBLECHANGED, CM_SHOWINGCHANGED}), (std::vector<UINT>{CM_SHOWINGCHANGED}));
    EXPECT_FALSE(panel->Showing());
    EXPECT_FALSE(inner->Showing());
    EXPECT_TRUE(inner->Visible());
    EXPECT_FALSE(::IsWindowVisible(panel->Handle()));

    recPanel.Seen.clear();
    recInner.Seen.clear();
    panel->SetVisible(true);
    EXPECT_EQ(recPanel.Only({CM_VISIBLECHANGED, CM_SHOWINGCHANGED}),
              (std::vector<UINT>{CM_VISIBLECHANGED, CM_SHOWINGCHANGED}));
    EXPECT_EQ(recInner.Only({CM_SHOWINGCHANGED}).size(), 1u);
    EXPECT_TRUE(::IsWindowVisible(inner->Handle()));
    recInner.Detach();
    recPanel.Detach();
}

TEST(Notifications, MouseEnterAndLeaveFromMouseMessages)
{
    TOwned<TForm> form(NewForm());
    auto* panel = New<TTestPanel>(form.get());
    panel->SetParent(form.get());
    panel->SetBounds(100, 50, 60, 60);
    auto* graphic = New<TTestGraphic>(form.get());
    graphic->SetParent(form.get());
    ::SetCursorPos(0, 0); // not over the form when it appears
    form->Show();
    Application->ProcessMessages();
    ASSERT_EQ(MouseControl(), nullptr);

    // Only what each control is told directly (LParam 0); the pass-up to
    // the parent carries the control in LParam.
    std::vector<std::pair<TControl*, UINT>> events;
    int passedUp = 0;
    TRecorder recForm, recPanel, recGraphic;
    for (auto* r : {&recForm, &recPanel, &recGraphic})
        r->Before = [&, r](TMessage& m) {
            if (m.Msg != CM_MOUSEENTER && m.Msg != CM_MOUSELEAVE)
                return;
            if (m.LParam == 0)
                events.push_back({r->Control, m.Msg});
            else if (r == &recForm && m.LParam == reinterpret_cast<LPARAM>(graphic))
                ++passedUp;
        };
    recForm.Attach(form.get());
    recPanel.Attach(panel);
    recGraphic.Attach(graphic);

    auto moveTo = [&](TWinControl* target, int x, int y) {
        TPoint screen = target->ClientToScreen({x, y});
        ::SetCursorPos(screen.x, screen.y);
        ::PostMessageW(target->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
        Application->ProcessMessages();
    };
    moveTo(form.get(), 12, 12);  // over the graphic child
    moveTo(form.get(), 50, 150); // the form itself
    moveTo(panel, 5, 5);         // into the windowed child
    ::PostMessageW(panel->Handle(), WM_MOUSELEAVE, 0, 0);
    Application->ProcessMessages();

    recGraphic.Detach();
    recPanel.Detach();
    recForm.Detach();

    std::vector<std::pair<TControl*, UINT>> expected = {
        {graphic, CM_MOUSEENTER}, {graphic, CM_MOUSELEAVE}, {form.get(), CM_MOUSEENTER},
        {form.get(), CM_MOUSELEAVE}, {panel, CM_MOUSEENTER}, {panel, CM_MOUSELEAVE},
    };
    EXPECT_EQ(events, expected);
    EXPECT_EQ(passedUp, 2);
    EXPECT_EQ(MouseControl(), nullptr);
}

TEST(WindowClasses, AreNamedAfterTheControlClass)
{
    TOwned<TForm> form(NewForm());
    auto* panel = New<TTestPanel>(form.get());
    panel->SetParent(form.get());
    auto* button = New<TTestButton>(form.get());
    button->SetParent(form.get());
    EXPECT_EQ(WindowClassOf(form->Handle()), L"TForm");
    EXPECT_EQ(WindowClassOf(panel->Handle()), L"TTestPanel");
    EXPECT_EQ(WindowClassOf(button->Handle()), L"TTestButton");
    EXPECT_EQ(WindowClassOf(Application->Handle()), L"TApplication");
    EXPECT_EQ(TWinControl::FindControl(button->Handle()), button);

    // The superclass keeps the system class's behaviour behind our routing.
    button->Perform(BM_SETCHECK, BST_CHECKED, 0);
    EXPECT_EQ(::SendMessageW(button->Handle(), BM_GETCHECK, 0, 0), BST_CHECKED);

    // A child's WM_COMMAND is reflected to the child's object.
    TRecorder rec;
    rec.Attach(button);
    ::SendMessageW(form->Handle(), WM_COMMAND, MAKEWPARAM(0, BN_CLICKED), reinterpret_cast<LPARAM>(button->Handle()));
    rec.Detach();
    EXPECT_EQ(rec.Only({CN_COMMAND}).size(), 1u);
}

TEST(WinControl, RecreateWndKeepsTextAndChildren)
{
    TOwned<TForm> form(NewForm());
    auto* edit = New<TTestEdit>(form.get());
    edit->SetParent(form.get());
    form->Show();
    HWND old = edit->Handle();
    ::SetWindowTextW(old, L"typed by the user");
    edit->RecreateWnd();
    ASSERT_TRUE(edit->HandleAllocated());
    EXPECT_FALSE(::IsWindow(old));
    EXPECT_EQ(edit->Text(), L"typed by the user");
    EXPECT_TRUE(::IsWindowVisible(edit->Handle()));
    EXPECT_EQ(::GetParent(edit->Handle()), form->Handle());
}

TEST(WinControl, ASkinnerThatTakesCMInvalidateKeepsTheWindowValid)
{
    TOwned<TForm> form(NewForm());
    auto* panel = New<TTestPanel>(form.get());
    panel->SetParent(form.get());
    form->Show();
    ::ValidateRect(panel->Handle(), nullptr);
    TRecorder rec;
    rec.Attach(panel);
    rec.Before = [&](TMessage& m) {
        if (m.Msg == CM_INVALIDATE)
            m.Msg = WM_NULL; // taken: the control's own handler sees nothing
    };
    panel->Invalidate();
    EXPECT_FALSE(::GetUpdateRect(panel->Handle(), nullptr, FALSE));
    rec.Detach();
    panel->Invalidate();
    EXPECT_TRUE(::GetUpdateRect(panel->Handle(), nullptr, FALSE));
}

TEST(WinControl, AChildWithoutParentWindowGivesAClearError)
{
    auto* panel = New<TTestPanel>(nullptr);
    EXPECT_THROW(panel->HandleNeeded(), EInvalidOperation);
    TObject* o = panel;
    FreeAndNil(o);
}

TEST(Painting, PaintIntoAGivenDCThenGraphicChildrenAtTheirOrigin)
{
    auto* panel = New<TTestPanel>(nullptr);
    auto* graphic = New<TTestGraphic>(panel);
    graphic->SetParent(panel);

    TBitmap bmp;
    bmp.SetPixelFormat(pf24bit);
    bmp.SetSize(50, 40);
    HDC dc = bmp.Canvas()->Handle();

    panel->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
    EXPECT_EQ(::GetPixel(dc, 2, 2), RGB(255, 0, 0));
    EXPECT_EQ(::GetPixel(dc, 12, 12), RGB(0, 0, 255));
    EXPECT_EQ(::GetPixel(dc, 16, 16), RGB(255, 0, 0));
    EXPECT_FALSE(graphic->SawPaintCopy);

    // WM_PRINTCLIENT: erase with the DC in both parameters, then paint.
    TRecorder rec;
    rec.Attach(panel);
    LPARAM eraseL = 0;
    rec.Before = [&](TMessage& m) {
        if (m.Msg == WM_ERASEBKGND)
            eraseL = m.LParam;
    };
    panel->PaintColor = clLime;
    panel->Perform(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    rec.Detach();
    EXPECT_EQ(rec.Only({WM_ERASEBKGND, WM_PAINT}), (std::vector<UINT>{WM_ERASEBKGND, WM_PAINT}));
    EXPECT_EQ(eraseL, reinterpret_cast<LPARAM>(dc));
    EXPECT_EQ(::GetPixel(dc, 2, 2), RGB(0, 255, 0));

    // PaintTo passes csPaintCopy on to the children.
    panel->PaintTo(dc, 0, 0);
    EXPECT_TRUE(panel->SawPaintCopy);
    EXPECT_TRUE(graphic->SawPaintCopy);
    EXPECT_FALSE(panel->ControlState().Contains(csPaintCopy));

    TObject* o = panel;
    FreeAndNil(o);
}

TEST(Align, ChildrenFillTheClientAreaInAlignOrder)
{
    auto* parent = New<TTestPanel>(nullptr);
    parent->SetBounds(0, 0, 200, 100);
    auto make = [&](TAlign a, int size) {
        auto* c = New<TTestPanel>(parent);
        c->SetBounds(0, 0, size, size);
        c->SetAlign(a);
        c->SetParent(parent);
        return c;
    };
    auto* client = make(alClient, 10);
    auto* top = make(alTop, 20);
    auto* left = make(alLeft, 30);
    auto* bottom = make(alBottom, 15);
    EXPECT_EQ(top->BoundsRect(), Rect(0, 0, 200, 20));
    EXPECT_EQ(bottom->BoundsRect(), Rect(0, 85, 200, 100));
    EXPECT_EQ(left->BoundsRect(), Rect(0, 20, 30, 85));
    EXPECT_EQ(client->BoundsRect(), Rect(30, 20, 200, 85));

    // Resizing the parent realigns; hiding a child gives its room away.
    parent->SetBounds(0, 0, 300, 120);
    EXPECT_EQ(client->BoundsRect(), Rect(30, 20, 300, 105));
    top->SetVisible(false);
    EXPECT_EQ(client->BoundsRect(), Rect(30, 0, 300, 105));

    // A control anchored to the right keeps its distance to that edge.
    auto* anchored = New<TTestPanel>(parent);
    anchored->SetParent(parent);
    anchored->SetBounds(250, 0, 10, 10); // 40 from the right edge
    anchored->SetAnchors({akTop, akRight});
    parent->SetBounds(0, 0, 400, 120);
    EXPECT_EQ(anchored->Left(), 350);
    TObject* o = parent;
    FreeAndNil(o);
}

namespace {
// Takes Enter as a default button does.
class TDefaultTaker : public TTestPanel {
    KV_CLASS(TDefaultTaker)
public:
    using TTestPanel::TTestPanel;
    int Taken = 0;
    void WndProc(TMessage& Message) override
    {
        if (Message.Msg == CM_DIALOGKEY && Message.WParamLo == VK_RETURN) {
            ++Taken;
            Message.Result = 1;
            return;
        }
        TTestPanel::WndProc(Message);
    }
};
} // namespace

TEST(Keys, DialogKeysGoToTheFormAndFocusMovesWithEnterAndExit)
{
    TOwned<TForm> form(NewForm());
    auto* edit1 = New<TTestEdit>(form.get());
    edit1->SetParent(form.get());
    edit1->SetTabStop(true);
    auto* edit2 = New<TTestEdit>(form.get());
    edit2->SetParent(form.get());
    edit2->SetTop(30);
    edit2->SetTabStop(true);
    auto* taker = New<TDefaultTaker>(form.get());
    taker->SetParent(form.get());
    taker->SetTop(60);
    form->Show();
    // Other programs on the same desktop may hold the foreground.
    ::SetForegroundWindow(form->Handle());
    edit1->SetFocus();
    Application->ProcessMessages();
    ASSERT_TRUE(edit1->Focused());
    EXPECT_EQ(form->ActiveControl(), edit1);

    TRecorder recForm, rec1, rec2;
    recForm.Attach(form.get());
    rec1.Attach(edit1);
    rec2.Attach(edit2);
    edit2->SetFocus();
    Application->ProcessMessages();
    EXPECT_EQ(rec1.Only({CM_EXIT, CM_ENTER}), (std::vector<UINT>{CM_EXIT}));
    EXPECT_EQ(rec2.Only({CM_EXIT, CM_ENTER}), (std::vector<UINT>{CM_ENTER}));
    ASSERT_EQ(recForm.Only({CM_FOCUSCHANGED}).size(), 1u);
    EXPECT_EQ(form->ActiveControl(), edit2);

    // Enter: offered to the form, taken by the default control, so the edit
    // never sees the key.  A letter goes to the edit as usual.
    rec2.Seen.clear();
    ::PostMessageW(edit2->Handle(), WM_KEYDOWN, VK_RETURN, 1);
    ::PostMessageW(edit2->Handle(), WM_KEYDOWN, 'A', 1);
    Application->ProcessMessages();
    EXPECT_EQ(taker->Taken, 1);
    ASSERT_EQ(rec2.Only({WM_KEYDOWN}).size(), 1u);

    // Tab moves the focus to the next tab stop, round to the first.
    ::PostMessageW(edit2->Handle(), WM_KEYDOWN, VK_TAB, 1);
    Application->ProcessMessages();
    EXPECT_EQ(form->ActiveControl(), edit1);

    recForm.Detach();
    rec1.Detach();
    rec2.Detach();
}

TEST(WinControl, TheWindowKeepsALiveFontAcrossFontChanges)
{
    TOwned<TForm> form(NewForm());
    auto* edit = New<TTestEdit>(form.get());
    edit->SetParent(form.get());
    form->Show();
    for (int height : {-20, -30, -12}) {
        edit->Font()->SetHeight(height);
        auto font = reinterpret_cast<HFONT>(::SendMessageW(edit->Handle(), WM_GETFONT, 0, 0));
        LOGFONTW lf{};
        ASSERT_EQ(::GetObjectW(font, sizeof(lf), &lf), int(sizeof(lf))) << height;
        EXPECT_EQ(lf.lfHeight, height);
    }
}

TEST(Control, AControlMadeInCodeShowsItsNameUntilCaptioned)
{
    auto* panel = New<TTestPanel>(nullptr);
    panel->SetName(L"Panel7");
    EXPECT_EQ(panel->Caption(), L"Panel7");
    panel->SetName(L"Panel8");
    EXPECT_EQ(panel->Caption(), L"Panel8");
    panel->SetCaption(L"own text");
    panel->SetName(L"Panel9");
    EXPECT_EQ(panel->Caption(), L"own text");
    TObject* o = panel;
    FreeAndNil(o);
}

TEST(WinControl, ACreationHookFindsTheControlOfTheWindowBeingCreated)
{
    TForm* form = TForm::CreateNew(nullptr);
    Application->Handle(); // made before the hook: only the form's window is new
    HHOOK hook = ::SetWindowsHookExW(WH_CBT, &THook::Proc, nullptr, ::GetCurrentThreadId());
    ASSERT_NE(hook, nullptr);
    HWND h = form->Handle();
    ::UnhookWindowsHookEx(hook);
    EXPECT_EQ(THook::Created, h);
    EXPECT_EQ(THook::Found, form);
    TObject* o = form;
    FreeAndNil(o);
}

TEST(WinControl, AWindowDestroyedFromOutsideLeavesNoDeadHandles)
{
    TOwned<TForm> form(NewForm());
    auto* panel = New<TTestPanel>(form.get());
    panel->SetParent(form.get());
    form->Show();

    // A canvas used outside a paint holds a context of the window; a new
    // window gives it a context of the new one.
    HWND old = panel->Handle();
    EXPECT_EQ(::WindowFromDC(panel->Canvas()->Handle()), old);
    panel->RecreateWnd();
    ASSERT_NE(panel->Handle(), old);
    EXPECT_EQ(::WindowFromDC(panel->Canvas()->Handle()), panel->Handle());

    // After a paint on another context the canvas draws on the window again.
    TBitmap bmp;
    bmp.SetSize(50, 40);
    panel->Perform(WM_PAINT, reinterpret_cast<WPARAM>(bmp.Canvas()->Handle()), 0);
    EXPECT_EQ(::WindowFromDC(panel->Canvas()->Handle()), panel->Handle());

    // Destroyed by the system: the control and its canvas let go of it.
    ::DestroyWindow(panel->Handle());
    EXPECT_FALSE(panel->HandleAllocated());
    EXPECT_FALSE(panel->Showing());
    EXPECT_FALSE(panel->Canvas()->HandleAllocated());
}

TEST(WinControl, AFreedChildLeavesItsParentsTabOrderAndTheTreeStaysATree)
{
    TOwned<TForm> form(NewForm());
    auto* first = New<TTestEdit>(form.get());
    first->SetParent(form.get());
    auto* second = New<TTestEdit>(form.get());
    second->SetParent(form.get());
    ASSERT_EQ(second->TabOrder(), 1);
    TObject* o = first;
    FreeAndNil(o);
    EXPECT_EQ(second->TabOrder(), 0);
    std::vector<TWinControl*> tabs;
    form->GetTabOrderList(tabs);
    EXPECT_EQ(tabs, (std::vector<TWinControl*>{second}));

    // A control cannot go inside itself, directly or deeper down.
    auto* panel = New<TTestPanel>(form.get());
    panel->SetParent(form.get());
    auto* inner = New<TTestPanel>(form.get());
    inner->SetParent(panel);
    EXPECT_THROW(panel->SetParent(panel), EInvalidOperation);
    EXPECT_THROW(panel->SetParent(inner), EInvalidOperation);
    EXPECT_EQ(panel->Parent(), form.get());
}

TEST(GraphicControl, HoldsTheMouseFromButtonDownToUpAndLetsGoWhenFreed)
{
    TOwned<TForm> form(NewForm());
    form->Show();
    for (bool freeWhileHeld : {false, true}) {
        auto* graphic = New<TTestGraphic>(form.get());
        graphic->SetParent(form.get());
        ::SendMessageW(form->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(12, 12));
        EXPECT_EQ(::GetCapture(), form->Handle()) << freeWhileHeld;
        if (!freeWhileHeld)
            ::SendMessageW(form->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(12, 12));
        TObject* o = graphic;
        FreeAndNil(o);
        EXPECT_EQ(::GetCapture(), nullptr) << freeWhileHeld;
    }
}
