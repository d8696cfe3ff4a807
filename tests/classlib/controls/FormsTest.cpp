// Forms and the application object: form resources, CreateForm, closing,
// the modal loop, the message loop and its exception boundary, ParamStr.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <stdexcept>
#include <vector>

#include "classlib/controls/Dialogs.h"
#include "classlib/controls/Forms.h"
#include "classlib/streaming/FormReader.h"

namespace {

class TResPanel : public TCustomControl {
    KV_CLASS(TResPanel)
public:
    explicit TResPanel(TComponent* AOwner) : TCustomControl(AOwner) { FControlStyle += csAcceptsControls; }
};

// A form class of the test with handlers that a resource binds by name.
class TResForm : public TForm {
    KV_CLASS(TResForm)
    KV_PUBLISHED
public:
    explicit TResForm(TComponent* AOwner) : TForm(AOwner, 0) {}
    int Created = 0;
    void FormCreate(TObject*) { ++Created; }
};

KV_BEGIN_PUBLISHED(TResForm, TForm)
    B.Method(L"FormCreate", &C::FormCreate);
KV_END_PUBLISHED

// No KV_CLASS: its class name stays "TForm", so no resource is read.
class TProbeForm;
TProbeForm* ProbeRef = nullptr;
bool ProbeRefWasSet = false;

class TProbeForm : public TForm {
public:
    explicit TProbeForm(TComponent* AOwner) : TForm(AOwner) { ProbeRefWasSet = ProbeRef == this; }
};

class TMissingResourceForm : public TForm {
    KV_CLASS(TMissingResourceForm)
public:
    explicit TMissingResourceForm(TComponent* AOwner) : TForm(AOwner) {}
};

void Free(TObject* o) { FreeAndNil(o); }

// Runs fn on the GUI thread from inside the message loop, after delay ms.
struct TDelayed {
    static std::vector<std::function<void()>>& Queue()
    {
        static std::vector<std::function<void()>> q;
        return q;
    }
    static void CALLBACK Tick(HWND, UINT, UINT_PTR id, DWORD)
    {
        ::KillTimer(nullptr, id);
        auto q = std::move(Queue());
        Queue().clear();
        for (auto& f : q)
            f();
    }
    static void After(UINT delay, std::function<void()> fn)
    {
        Queue().push_back(std::move(fn));
        ::SetTimer(nullptr, 0, delay, Tick);
    }
};

struct TExceptionLog {
    std::vector<UnicodeString> Messages;
    void OnException(TObject*, Exception* E) { Messages.push_back(E->Message()); }
};

} // namespace

TEST(FormResource, ChildrenAlignmentAndStoredClientSize)
{
    RegisterClass<TResPanel>();
    auto* form = New<TResForm>(nullptr);
    // ClientWidth comes before BorderStyle: the client size still holds.
    ReadComponentFromText(LR"(object ResForm: TResForm
  Left = 10
  Top = 20
  Caption = '읽은 폼'
  ClientWidth = 300
  ClientHeight = 200
  BorderStyle = bsDialog
  OnCreate = FormCreate
  object Body: TResPanel
    Align = alClient
    TabOrder = 2
    object Inner: TResPanel
      Left = 5
      Top = 6
      Width = 7
      Height = 8
      Cursor = crHandPoint
    end
  end
  object Header: TResPanel
    Align = alTop
    Height = 30
    TabOrder = 1
  end
  object Footer: TResPanel
    Left = 250
    Top = 150
    Width = 40
    Height = 40
    Anchors = [akRight, akBottom]
    Visible = False
    TabOrder = 0
  end
end
)",
                          form);
    EXPECT_EQ(form->Name(), L"ResForm");
    EXPECT_EQ(form->Caption(), L"읽은 폼");
    EXPECT_EQ(form->BorderStyle(), bsDialog);
    EXPECT_EQ(form->ClientWidth(), 300);
    EXPECT_EQ(form->ClientHeight(), 200);
    EXPECT_FALSE(form->HandleAllocated()); // reading makes no window

    auto* body = dynamic_cast<TResPanel*>(form->FindComponent(L"Body"));
    auto* inner = dynamic_cast<TResPanel*>(form->FindComponent(L"Inner"));
    auto* header = dynamic_cast<TResPanel*>(form->FindComponent(L"Header"));
    ASSERT_TRUE(body && inner && header);
    EXPECT_EQ(body->Parent(), form);
    EXPECT_EQ(inner->Parent(), body);
    EXPECT_EQ(inner->Owner(), form);
    EXPECT_EQ(header->BoundsRect(), Rect(0, 0, 300, 30));
    EXPECT_EQ(body->BoundsRect(), Rect(0, 30, 300, 200));
    EXPECT_EQ(inner->BoundsRect(), Rect(5, 6, 12, 14));
    EXPECT_EQ(inner->Cursor(), crHandPoint);
    // Tab order as stored, though later siblings asked for earlier places.
    auto* footer = dynamic_cast<TResPanel*>(form->FindComponent(L"Footer"));
    ASSERT_TRUE(footer);
    EXPECT_EQ(footer->TabOrder(), 0);
    // Anchored to the stored client size (300 x 200), not the form's
    // size while it was read; later resizes keep the distances.
    EXPECT_EQ(footer->BoundsRect(), Bounds(250, 150, 40, 40));
    form->SetClientSize(400, 260);
    EXPECT_EQ(footer->BoundsRect(), Bounds(350, 210, 40, 40));
    form->SetClientSize(300, 200);
    EXPECT_EQ(header->TabOrder(), 1);
    EXPECT_EQ(body->TabOrder(), 2);
    EXPECT_TRUE(form->OnCreate == Bind(form, &TResForm::FormCreate));

    // The window made later has that client size and the dialog frame.
    form->Show();
    RECT rc;
    ::GetClientRect(form->Handle(), &rc);
    EXPECT_EQ(rc.right, 300);
    EXPECT_EQ(rc.bottom, 200);
    EXPECT_FALSE(::GetWindowLongW(form->Handle(), GWL_STYLE) & WS_THICKFRAME);
    EXPECT_EQ(body->Width(), 300);

    // Changed at run time: the same window, restyled.
    HWND h = form->Handle();
    form->SetBorderStyle(bsSizeToolWin);
    EXPECT_EQ(form->Handle(), h);
    EXPECT_TRUE(::GetWindowLongW(h, GWL_STYLE) & WS_THICKFRAME);
    EXPECT_TRUE(::GetWindowLongW(h, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
    Free(form);
}

TEST(FormResource, AMissingResourceIsAClearError)
{
    int forms = Screen->FormCount();
    try {
        New<TMissingResourceForm>(nullptr);
        FAIL() << "no exception";
    } catch (const EReadError& e) {
        EXPECT_NE(e.Message().find(L"TMISSINGRESOURCEFORM"), UnicodeString::npos);
    }
    // Nothing is left behind.
    EXPECT_EQ(Screen->FormCount(), forms);
}

TEST(Application, HandleExceptionShowsTheMessageOrStaysSilentForAbort)
{
    TDialogSeamScope seam;
    try {
        throw Exception(L"Disk full");
    } catch (...) {
        Application->HandleException(nullptr);
    }
    try {
        throw EAbort(L"");
    } catch (...) {
        Application->HandleException(nullptr);
    }
    try {
        throw std::runtime_error("vector too long");
    } catch (...) {
        Application->HandleException(nullptr);
    }
    ASSERT_EQ(seam.Count(), 2u);
    EXPECT_EQ(seam.Requests[0].Text, L"Disk full.");
    EXPECT_TRUE(seam.Requests[0].Flags & MB_ICONSTOP);
    EXPECT_EQ(seam.Requests[1].Text, L"vector too long.");
}

TEST(Application, ItsWindowDestroyedFromOutsideIsMadeAnew)
{
    HWND old = Application->Handle();
    ::DestroyWindow(old);
    HWND now = Application->Handle();
    EXPECT_NE(now, old);
    EXPECT_TRUE(::IsWindow(now));
}

TEST(Application, AnExceptionInAWindowProcedureDoesNotUnwindThroughTheSystem)
{
    TExceptionLog log;
    Application->OnException = Bind(&log, &TExceptionLog::OnException);
    TForm* form = TForm::CreateNew(nullptr);
    struct TThrower {
        TWndMethod Old;
        int After = 0;
        void Hook(TMessage& m)
        {
            if (m.Msg == WM_APP)
                throw Exception(L"boom");
            if (m.Msg == WM_APP + 1)
                ++After;
            Old(m);
        }
    } thrower;
    thrower.Old = form->WindowProc;
    form->WindowProc = Bind(&thrower, &TThrower::Hook);
    ::PostMessageW(form->Handle(), WM_APP, 0, 0);
    ::PostMessageW(form->Handle(), WM_APP + 1, 0, 0);
    Application->ProcessMessages();
    // Sent (not posted) from outside: the same boundary.
    ::SendMessageW(form->Handle(), WM_APP, 0, 0);
    EXPECT_EQ(log.Messages, (std::vector<UnicodeString>{L"boom", L"boom"}));
    EXPECT_EQ(thrower.After, 1);
    form->WindowProc = thrower.Old;
    Application->OnException = nullptr;
    Free(form);
}

TEST(Forms, OnCloseActionDecides)
{
    struct TCloser {
        TCloseAction Action = caNone;
        int Destroyed = 0;
        void FormClose(TObject*, TCloseAction& A) { A = Action; }
        void FormDestroy(TObject*) { ++Destroyed; }
    } closer;
    TForm* form = TForm::CreateNew(nullptr);
    form->OnClose = Bind(&closer, &TCloser::FormClose);
    form->OnDestroy = Bind(&closer, &TCloser::FormDestroy);
    form->Show();
    HWND h = form->Handle();

    closer.Action = caNone;
    ::SendMessageW(h, WM_CLOSE, 0, 0);
    Application->ProcessMessages();
    EXPECT_TRUE(::IsWindowVisible(h));

    closer.Action = caHide;
    form->Close();
    EXPECT_FALSE(form->Visible());
    EXPECT_TRUE(::IsWindow(h));

    // caFree: freed later, from the message queue, and only once.
    form->Show();
    closer.Action = caFree;
    form->Close();
    form->Close();
    EXPECT_EQ(closer.Destroyed, 0);
    EXPECT_TRUE(::IsWindow(h));
    Application->ProcessMessages();
    EXPECT_EQ(closer.Destroyed, 1);
    EXPECT_FALSE(::IsWindow(h));
    EXPECT_EQ(Screen->FormCount(), 0);
}

TEST(Forms, ShowModalReturnsTheModalResult)
{
    TForm* other = TForm::CreateNew(nullptr);
    other->Show();
    struct Case {
        const char* What;
        std::function<void(TForm*)> End;
        TModalResult Expected;
    } cases[] = {
        {"ModalResult set", [](TForm* f) { f->SetModalResult(mrYes); }, mrYes},
        {"Close", [](TForm* f) { f->Close(); }, mrCancel},
        {"window closed", [](TForm* f) { ::PostMessageW(f->Handle(), WM_CLOSE, 0, 0); }, mrCancel},
        {"window destroyed from outside", [](TForm* f) { ::DestroyWindow(f->Handle()); }, mrCancel},
    };
    for (const Case& c : cases) {
        TForm* modal = TForm::CreateNew(nullptr);
        int began = 0, ended = 0;
        struct TCounter {
            int* N;
            void Count(TObject*) { ++*N; }
        } beginCounter{&began}, endCounter{&ended};
        Application->OnModalBegin = Bind(&beginCounter, &TCounter::Count);
        Application->OnModalEnd = Bind(&endCounter, &TCounter::Count);
        bool otherDisabled = false, wasModal = false;
        TDelayed::After(10, [&, modal] {
            otherDisabled = !::IsWindowEnabled(other->Handle());
            wasModal = modal->FormState().Contains(fsModal);
            c.End(modal);
        });
        EXPECT_EQ(modal->ShowModal(), c.Expected) << c.What;
        EXPECT_TRUE(otherDisabled) << c.What;
        EXPECT_TRUE(wasModal) << c.What;
        EXPECT_TRUE(::IsWindowEnabled(other->Handle())) << c.What;
        EXPECT_FALSE(modal->Visible()) << c.What;
        EXPECT_FALSE(modal->FormState().Contains(fsModal)) << c.What;
        EXPECT_EQ(began, 1) << c.What;
        EXPECT_EQ(ended, 1) << c.What;
        Application->OnModalBegin = nullptr;
        Application->OnModalEnd = nullptr;
        Free(modal);
    }
    Free(other);
}

TEST(Forms, ReleaseWhileModalFreesTheFormAfterShowModalReturns)
{
    struct TModalEnd {
        int Destroyed = 0;
        void FormDestroy(TObject*) { ++Destroyed; }
        void FormClose(TObject*, TCloseAction& A) { A = caFree; }
    };
    struct Case {
        const char* What;
        bool FreeOnClose;
        std::function<void(TForm*)> End;
        TModalResult Expected;
    } cases[] = {
        {"Release while modal", false, [](TForm* f) { f->Release(); }, mrCancel},
        {"OnClose gives caFree", true, [](TForm* f) { f->SetModalResult(mrOk); }, mrOk},
    };
    for (const Case& c : cases) {
        TModalEnd end;
        TForm* modal = TForm::CreateNew(nullptr);
        modal->OnDestroy = Bind(&end, &TModalEnd::FormDestroy);
        if (c.FreeOnClose)
            modal->OnClose = Bind(&end, &TModalEnd::FormClose);
        TDelayed::After(10, [&c, modal] { c.End(modal); });
        EXPECT_EQ(modal->ShowModal(), c.Expected) << c.What;
        EXPECT_EQ(end.Destroyed, 0) << c.What; // the loop ran on a live form to its end
        Application->ProcessMessages();
        EXPECT_EQ(end.Destroyed, 1) << c.What;
    }
}

TEST(Forms, AFailingHandlerInTheModalLoopIsReportedAndTheLoopGoesOn)
{
    TExceptionLog log;
    Application->OnException = Bind(&log, &TExceptionLog::OnException);
    // Enter offered to the form as a dialog key, and the idle handler:
    // both run outside any window procedure.
    struct TFailing {
        TWndMethod Old;
        int Idles = 0;
        void Hook(TMessage& m)
        {
            if (m.Msg == CM_DIALOGKEY && m.WParamLo == VK_RETURN)
                throw Exception(L"dialog key");
            Old(m);
        }
        void Idle(TObject*)
        {
            if (++Idles == 1)
                throw Exception(L"idle");
        }
    } failing;
    TForm* modal = TForm::CreateNew(nullptr);
    failing.Old = modal->WindowProc;
    modal->WindowProc = Bind(&failing, &TFailing::Hook);
    Application->OnIdle = Bind(&failing, &TFailing::Idle);
    TDelayed::After(10, [modal] {
        ::PostMessageW(modal->Handle(), WM_KEYDOWN, VK_RETURN, 1);
        TDelayed::After(10, [modal] { modal->SetModalResult(mrOk); });
    });
    EXPECT_EQ(modal->ShowModal(), mrOk);
    Application->OnIdle = nullptr;
    Application->OnException = nullptr;
    modal->WindowProc = failing.Old;
    std::sort(log.Messages.begin(), log.Messages.end());
    EXPECT_EQ(log.Messages, (std::vector<UnicodeString>{L"dialog key", L"idle"}));
    Free(modal);
}

namespace {
// A form whose window cannot be made.
class TNoWindowForm : public TForm {
public:
    explicit TNoWindowForm(TComponent* AOwner) : TForm(AOwner, 0) {}

protected:
    void CreateWindowHandle(const TCreateParams&) override {}
};
} // namespace

TEST(Forms, ShowModalRefusesAVisibleForm)
{
    TForm* form = TForm::CreateNew(nullptr);
    form->Show();
    EXPECT_THROW(form->ShowModal(), EInvalidOperation);
    Free(form);

    // Nor does a form without a window stay modal.
    auto* broken = New<TNoWindowForm>(nullptr);
    EXPECT_THROW(broken->ShowModal(), EOutOfResources);
    EXPECT_FALSE(broken->FormState().Contains(fsModal));
    EXPECT_EQ(Application->ModalLevel(), 0);
    Free(broken);
}

TEST(ParamStr, SplitsTheCommandLineByTheLibrarysRules)
{
    using V = std::vector<UnicodeString>;
    struct Case {
        const wchar_t* Line;
        V Expected;
    } cases[] = {
        {L"prog.exe a b", {L"prog.exe", L"a", L"b"}},
        {L"\"C:\\My Books\\viewer.exe\" \"x y\"  z", {L"C:\\My Books\\viewer.exe", L"x y", L"z"}},
        {L"p a\"b c\"d", {L"p", L"ab cd"}},
        {L"p \"\" x", {L"p", L"x"}},
        {L"p\t-p12\t", {L"p", L"-p12"}},
        {L"p \"unterminated arg", {L"p", L"unterminated arg"}},
        {L"p \"책 이름.exe\"", {L"p", L"책 이름.exe"}},
        {L"", {}},
    };
    for (size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(SplitCommandLine(cases[i].Line), cases[i].Expected) << "case " << i;

    wchar_t exe[MAX_PATH];
    ::GetModuleFileNameW(nullptr, exe, MAX_PATH);
    EXPECT_EQ(ParamStr(0), exe);
    EXPECT_EQ(ParamCount(), int(SplitCommandLine(::GetCommandLineW()).size()) - 1);
    EXPECT_EQ(ParamStr(ParamCount() + 1), L"");
    EXPECT_EQ(ParamStr(-1), L"");
}

// Last (its own suite, so it runs after the others of this file): Run
// leaves the application terminated, which would end any modal loop.
TEST(ApplicationRun, CreateFormFillsTheVariableFirstAndRunEndsWithTheMainForm)
{
    ASSERT_EQ(Application->MainForm(), nullptr);
    TExceptionLog log;
    Application->OnException = Bind(&log, &TExceptionLog::OnException);

    Application->CreateForm(ProbeRef);
    EXPECT_TRUE(ProbeRefWasSet);
    ASSERT_NE(ProbeRef, nullptr);
    EXPECT_EQ(Application->MainForm(), ProbeRef);
    EXPECT_EQ(ProbeRef->Owner(), Application);

    // An exception inside a handler reaches HandleException and the loop
    // goes on; closing the main form then ends Run.
    struct TScript {
        TWndMethod Old;
        HWND Wnd = nullptr;
        void Hook(TMessage& m)
        {
            if (m.Msg == WM_APP)
                throw EConvertError(L"'x' is not a valid integer value");
            if (m.Msg == WM_APP + 1)
                ::PostMessageW(Wnd, WM_CLOSE, 0, 0);
            Old(m);
        }
    } script;
    script.Old = ProbeRef->WindowProc;
    ProbeRef->WindowProc = Bind(&script, &TScript::Hook);
    script.Wnd = ProbeRef->Handle();
    ::PostMessageW(script.Wnd, WM_APP, 0, 0);
    ::PostMessageW(script.Wnd, WM_APP + 1, 0, 0);
    Application->Run();
    EXPECT_TRUE(Application->Terminated());
    EXPECT_EQ(log.Messages, (std::vector<UnicodeString>{L"'x' is not a valid integer value"}));

    ProbeRef->WindowProc = script.Old;
    Application->OnException = nullptr;
    Free(ProbeRef);
    EXPECT_EQ(Application->MainForm(), nullptr);
}

// At the program's end the application's components are freed before the
// objects the program made before starting the application (a form's last
// messages still reach them); formsatexit.exe ends with 3 otherwise.
TEST(ApplicationRun, ItsComponentsAreFreedBeforeTheProgramsObjectsAtTheEnd)
{
    wchar_t self[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring exe(self);
    exe = exe.substr(0, exe.find_last_of(L"\\/") + 1) + L"formsatexit.exe";
    std::wstring line = L"\"" + exe + L"\"";
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi{};
    ASSERT_TRUE(::CreateProcessW(exe.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        << "formsatexit.exe not built beside the test";
    ASSERT_EQ(::WaitForSingleObject(pi.hProcess, 60000), WAIT_OBJECT_0);
    DWORD code = 0;
    ::GetExitCodeProcess(pi.hProcess, &code);
    ::CloseHandle(pi.hThread);
    ::CloseHandle(pi.hProcess);
    EXPECT_EQ(code, 0u);
}

TEST(Forms, AnOwnedFormIsOwnedByItsOwnersWindowAndCentredOnIt)
{
    TForm* owner = TForm::CreateNew(nullptr);
    owner->SetBounds(100, 100, 300, 200);
    owner->Show();
    TForm* popup = TForm::CreateNew(owner);
    popup->SetBounds(0, 0, 200, 100);
    popup->SetPosition(poOwnerFormCenter);
    popup->SetBorderStyle(bsSizeToolWin);
    popup->Show();
    EXPECT_EQ(::GetWindow(popup->Handle(), GW_OWNER), owner->Handle());
    EXPECT_EQ(popup->BoundsRect(), Bounds(150, 150, 200, 100));
    EXPECT_TRUE(::GetWindowLongW(popup->Handle(), GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
    // Freeing the owner frees the popup with it.
    Free(owner);
    EXPECT_EQ(Screen->FormCount(), 0);
}

TEST(Forms, AFormWhoseWindowWasDestroyedFromOutsideShowsAgain)
{
    TForm* form = TForm::CreateNew(nullptr);
    form->Show();
    HWND old = form->Handle();
    ::DestroyWindow(old);
    EXPECT_FALSE(form->HandleAllocated());
    EXPECT_FALSE(form->Visible());
    form->Show();
    ASSERT_TRUE(form->HandleAllocated());
    EXPECT_TRUE(::IsWindowVisible(form->Handle()));

    // A recreated window is no outside destruction: the form stays shown.
    form->RecreateWnd();
    EXPECT_TRUE(form->Visible());
    EXPECT_TRUE(::IsWindowVisible(form->Handle()));
    Free(form);
}

TEST(Forms, AMaximisedFormRestoresToItsSetSize)
{
    TForm* form = TForm::CreateNew(nullptr);
    form->SetBounds(10, 20, 1032, 732);
    form->SetWindowState(wsMaximized);
    form->Show();
    EXPECT_TRUE(::IsZoomed(form->Handle()));
    EXPECT_EQ(form->WindowState(), wsMaximized);
    form->SetWindowState(wsNormal);
    EXPECT_FALSE(::IsZoomed(form->Handle()));
    RECT r;
    ::GetWindowRect(form->Handle(), &r);
    EXPECT_EQ(r.right - r.left, 1032);
    EXPECT_EQ(r.bottom - r.top, 732);
    Free(form);
}

// A form set to open maximised does so whatever its border.  A popup-style
// window (no border, dialog border) is told it is "restored" while it is
// made, and a restyle of the hidden window sizes it again: neither is the
// state it is to show in.  Once shown, the state follows the window's.
TEST(Forms, AMaximisedFormOpensMaximisedWithEveryBorder)
{
    const TFormBorderStyle borders[] = {bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin};
    for (TFormBorderStyle border : borders) {
        for (bool restyled : {false, true}) {
            SCOPED_TRACE(testing::Message() << "border " << int(border) << (restyled ? ", restyled" : ""));
            TOwned<TForm> form(TForm::CreateNew<TForm>(nullptr));
            form->SetBounds(10, 20, 400, 300);
            form->SetWindowState(wsMaximized);
            if (restyled)
                form->HandleNeeded();   // the window exists before its border changes
            form->SetBorderStyle(border);
            EXPECT_EQ(form->WindowState(), wsMaximized);
            form->Show();
            EXPECT_TRUE(::IsZoomed(form->Handle()));
            EXPECT_EQ(form->WindowState(), wsMaximized);

            // Restyled while shown, it stays maximised.
            form->SetBorderStyle(border == bsNone ? bsSizeable : bsNone);
            EXPECT_TRUE(::IsZoomed(form->Handle()));
            EXPECT_EQ(form->WindowState(), wsMaximized);

            // Restored from outside (the reader's button): the state follows.
            ::ShowWindow(form->Handle(), SW_RESTORE);
            EXPECT_EQ(form->WindowState(), wsNormal);
            RECT r;
            ::GetWindowRect(form->Handle(), &r);
            EXPECT_EQ(r.right - r.left, 400);
        }
    }
}

TEST(Forms, HooksOfTheApplicationWindowSeeItsMessagesFirst)
{
    struct THook {
        int Seen = 0;
        bool Take = true;
        bool Hook(TMessage& m)
        {
            if (m.Msg != WM_APP)
                return false;
            ++Seen;
            m.Result = 42;
            return Take;
        }
    } first, second;
    Application->HookMainWindow(Bind(&first, &THook::Hook));
    Application->HookMainWindow(Bind(&second, &THook::Hook));
    // The latest hook first; one that handles the message ends the chain.
    EXPECT_EQ(::SendMessageW(Application->Handle(), WM_APP, 0, 0), 42);
    EXPECT_EQ(second.Seen, 1);
    EXPECT_EQ(first.Seen, 0);
    second.Take = false;
    ::SendMessageW(Application->Handle(), WM_APP, 0, 0);
    EXPECT_EQ(first.Seen, 1);
    Application->UnhookMainWindow(Bind(&second, &THook::Hook));
    Application->UnhookMainWindow(Bind(&first, &THook::Hook));
    ::SendMessageW(Application->Handle(), WM_APP, 0, 0);
    EXPECT_EQ(first.Seen + second.Seen, 3);

    // Activation of the application reaches the hooks as CM_ACTIVATE.
    struct TActivation {
        int Hooked = 0, Events = 0;
        bool Hook(TMessage& m)
        {
            if (m.Msg == CM_ACTIVATE)
                ++Hooked;
            return false;
        }
        void Activated(TObject*) { ++Events; }
    } activation;
    Application->ProcessMessages();
    Application->HookMainWindow(Bind(&activation, &TActivation::Hook));
    Application->OnActivate = Bind(&activation, &TActivation::Activated);
    ::SendMessageW(Application->Handle(), WM_ACTIVATEAPP, TRUE, 0);
    Application->ProcessMessages();
    Application->UnhookMainWindow(Bind(&activation, &TActivation::Hook));
    Application->OnActivate = nullptr;
    // The system may activate the program again meanwhile: at least ours.
    EXPECT_GE(activation.Hooked, 1);
    EXPECT_EQ(activation.Events, activation.Hooked);
}
