// The viewer's windows opened and closed many times over, skinned, in this
// process: the viewer's own units drive the same windows the program shows
// (its main window with the skin manager of its form resource, the pop-up
// players, the message forms, the download prompt and the quit question),
// and here, unlike in a viewer started as a program of its own, the
// process's GDI and USER objects, timers and hooks can be counted.  After
// each run the counts are back where they were, within a small constant,
// and no window is left behind.
#include <gtest/gtest.h>

#include "../app/AppTestUtils.h"
#include "../app/ViewerProcess.h"
#include "app/ChildFormUnit.h"
#include "app/FileDownloadFormUnit.h"
#include "app/INIController.h"
#include "app/VKBViewerMainFormUnit.h"
#include "classlib/controls/Dialogs.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/sVclUtils_Anim.h"
#include "support/ResourceCount.h"

namespace {

// What a long run may keep beyond its start: caches that settle (fonts
// and brushes of the system, the skin's shared pictures).  A window, a
// timer or a hook more is a leak.
constexpr TResourceCount Slack{/*Gdi*/ 8, /*Windows*/ 0, /*Icons*/ 2, /*Menus*/ 1, /*Timers*/ 0, /*Hooks*/ 0};

HINSTANCE WINAPI NoShell(HWND, LPCSTR, LPCSTR, LPCSTR, LPCSTR, INT)
{
    return reinterpret_cast<HINSTANCE>(2);  // "file not found", as for a function name
}

void PumpUntil(DWORD TimeoutMs, const std::function<bool()>& Done)
{
    const DWORD start = GetTickCount();
    do
        Application->ProcessMessages();
    while (!Done() && GetTickCount() - start < TimeoutMs && (Sleep(1), true));
}

// The viewer's main window on a book of its own, shown, as the program
// makes it (its skin manager comes from its form resource).  The command
// line, the current folder, the shell and the window styles are put back
// at the end.
class TViewerInProcess {
public:
    TViewerInProcess() : FSavedLine(ViewerCommandLine()), FSavedDir(GetCurrentDir())
    {
        // The animations (a skin change fades each window into its new look)
        // run every step without waiting between them.
        kvAnimPause = [](DWORD) {};
        WriteBytes(Dir / L"Book_Page_Img\\Page_var.txt", "&title=Soak&&width=800&&height=600&");
        WriteBytes(Dir / L"Book_Page_Img\\contents\\Sample.PDF", "%PDF-1.4 sample");
        WriteBytes(Dir / L"intro.swf", "FWS");
        INIController::GetInstance()->LoadFromFile(Dir / L"none.ini");
        ViewerCommandLine().ExeName = Dir / L"Book.exe";
        ViewerCommandLine().Args.clear();
        FSavedShell = ViewerShellExecuteA;
        ViewerShellExecuteA = NoShell;
        PlayerForm = nullptr;
        Form.reset(New<TPlayerForm>(nullptr));
        Form->Show();
        PumpUntil(2000, [] { return false; });
    }
    ~TViewerInProcess()
    {
        Form.reset();
        Application->ProcessMessages();
        PlayerForm = nullptr;
        ViewerShellExecuteA = FSavedShell;
        ViewerCommandLine() = FSavedLine;
        SetCurrentDir(FSavedDir);
        kvAnimPause = FSavedPause;
    }
    TViewerInProcess(const TViewerInProcess&) = delete;
    TViewerInProcess& operator=(const TViewerInProcess&) = delete;

    void Command(const UnicodeString& Command, const UnicodeString& Args)
    {
        Form->FlashPlayerFSCommand(Form->FlashPlayer, Command, Args);
    }
    std::vector<TChildForm*> PopUps() const
    {
        std::vector<TChildForm*> out;
        for (int i = 0; i < Form->ComponentCount(); ++i)
            if (auto* c = dynamic_cast<TChildForm*>(Form->Components(i)))
                out.push_back(c);
        return out;
    }
    TChildForm* OpenPopUp()
    {
        const size_t before = PopUps().size();
        Command(L"function", L"PopUpForm@@@intro.swf@@@1");
        const std::vector<TChildForm*> now = PopUps();
        return now.size() > before ? now.back() : nullptr;
    }
    // Closes every pop-up through its movie's command; true once all are gone.
    bool ClosePopUps()
    {
        for (TChildForm* p : PopUps())
            p->ShockwaveFlash1FSCommand(p->ShockwaveFlash1, L"formcontrol", L"Close");
        PumpUntil(10000, [this] { return PopUps().empty(); });
        return PopUps().empty();
    }

    TTempDir Dir;
    TOwned<TPlayerForm> Form;

private:
    TViewerCommandLine FSavedLine;
    UnicodeString FSavedDir;
    TShellExecuteAProc FSavedShell = nullptr;
    void (*FSavedPause)(DWORD) = kvAnimPause;
};

// The windows of this process a run may leave behind: every visible
// top-level window but the main one.
int OtherWindows(HWND Main)
{
    int n = 0;
    for (HWND w : TopWindows(GetCurrentProcessId()))
        n += w != Main;
    return n;
}

// Shows every message form and the download prompt for real, modally, and
// answers each with one of its buttons once it has painted: the click is
// posted through a window of its own, whose message arrives inside the
// modal loop after the form is up; it first paints the form and its
// controls, then clicks.  A save dialog is answered with Target, unseen.
class TRealDialogs {
public:
    explicit TRealDialogs(const UnicodeString& Target)
        : FTarget(Target), FScope([this](TDialogRequest& R) { return Show(R); })
    {
        WNDCLASSW wc{};
        wc.lpfnWndProc = Proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"KvSoakAnswerer";
        RegisterClassW(&wc);
        FWnd = CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
    }
    ~TRealDialogs() { DestroyWindow(FWnd); }
    TRealDialogs(const TRealDialogs&) = delete;
    TRealDialogs& operator=(const TRealDialogs&) = delete;

    int Shown = 0;
    std::vector<UnicodeString> Texts;

private:
    static constexpr UINT WM_ANSWER = WM_APP + 1;

    static LRESULT CALLBACK Proc(HWND W, UINT Msg, WPARAM WParam, LPARAM LParam)
    {
        if (Msg != WM_ANSWER)
            return DefWindowProcW(W, Msg, WParam, LParam);
        const HWND form = reinterpret_cast<HWND>(WParam), button = reinterpret_cast<HWND>(LParam);
        RedrawWindow(form, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        PostMessageW(form, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(button), BN_CLICKED), LPARAM(button));
        return 0;
    }

    int ShowAnswered(TForm* Form, TWinControl* Button)
    {
        ++Shown;
        PostMessageW(FWnd, WM_ANSWER, WPARAM(Form->Handle()), LPARAM(Button->Handle()));
        return Form->ShowModal();
    }

    int Show(TDialogRequest& R)
    {
        switch (R.Kind) {
        case TDialogKind::MessageDlg:
        case TDialogKind::ShowMessage: {
            Texts.push_back(R.Text);
            TOwned<TMessageForm> form(static_cast<TMessageForm*>(CreateMessageDialog(R.Text, R.DlgType, R.Buttons)));
            form->SetPosition(poScreenCenter);
            TButton* answer = form->Button(mbNo) ? form->Button(mbNo) : form->Button(mbOK);
            return answer ? ShowAnswered(form.get(), answer) : mrCancel;
        }
        case TDialogKind::ModalForm:
            if (auto* prompt = dynamic_cast<TFileDownloadForm*>(R.Dialog)) {
                Texts.push_back(prompt->Caption());
                return ShowAnswered(prompt, prompt->AbortButton);
            }
            return mrCancel;
        case TDialogKind::SaveDialog:
            R.FileName = FTarget;
            R.Files.assign(1, FTarget);
            return IDOK;
        default:
            return IDCANCEL;
        }
    }

    UnicodeString FTarget;
    TDialogSeamScope FScope;
    HWND FWnd = nullptr;
};



TEST(SkinnedSoak, TwoHundredPopUpsOpenedAndClosed)
{
    TViewerInProcess viewer;
    // Warm-up: the caches that four pop-ups open at once fill.
    for (int i = 0; i < 4; ++i)
        ASSERT_NE(viewer.OpenPopUp(), nullptr);
    PumpUntil(200, [] { return false; });
    ASSERT_TRUE(viewer.ClosePopUps());
    const TResourceCount before = CountResources();

    int opened = 0;
    for (int round = 0; round < 50; ++round) {
        for (int i = 0; i < 4; ++i)
            opened += viewer.OpenPopUp() != nullptr;
        PumpUntil(200, [] { return false; });
        ASSERT_TRUE(viewer.ClosePopUps()) << "round " << round;
    }
    EXPECT_EQ(opened, 200);
    EXPECT_EQ(OtherWindows(viewer.Form->Handle()), 0);
    EXPECT_TRUE(NoResourceGrowth(before, CountResources(), Slack));
}

TEST(SkinnedSoak, AThousandSkinChangesWithTheWindowsOpen)
{
    TViewerInProcess viewer;
    TsSkinManager* manager = viewer.Form->sSkinManager1;
    ASSERT_NE(manager, nullptr);
    ASSERT_TRUE(manager->Active());
    // Without the fade into each new look: it repaints every window some
    // dozens of times a change, which under an emulated Wine makes a
    // thousand changes take a quarter of an hour.  What a change makes and
    // frees is the same; the fade's own resources are counted by the
    // effects' tests.
    manager->AnimEffects()->SkinChanging()->SetActive(false);
    ASSERT_NE(viewer.OpenPopUp(), nullptr);
    ASSERT_NE(viewer.OpenPopUp(), nullptr);
    // Warm-up: both skins once.
    for (int hue : {120, 0}) {
        manager->SetHueOffset(hue);
        PumpUntil(100, [] { return false; });
    }
    const TResourceCount before = CountResources();

    for (int i = 0; i < 1000; ++i) {
        // The built-in skin and a copy of it recoloured.
        manager->SetHueOffset(i % 2 ? 0 : 120);
        Application->ProcessMessages();
    }
    ASSERT_EQ(manager->HueOffset(), 0);
    PumpUntil(500, [] { return false; });
    EXPECT_EQ(viewer.PopUps().size(), 2u);
    EXPECT_TRUE(NoResourceGrowth(before, CountResources(), Slack));
    EXPECT_TRUE(viewer.ClosePopUps());
}

TEST(SkinnedSoak, AThousandMessageFormsShownAndAnswered)
{
    TViewerInProcess viewer;
    TRealDialogs dialogs(viewer.Dir / L"saved.pdf");
    // In turn: the quit question (answered No), a saved file's message, and
    // the download prompt (answered Cancel).
    auto one = [&](int i) {
        switch (i % 3) {
        case 0:
            viewer.Form->Close();
            break;
        case 1:
            viewer.Command(L"exec", L"function_copyfile@@@Book_Page_Img/contents/Sample.PDF");
            break;
        default:
            viewer.Command(L"exec", L"function_copyfileModal@@@Book_Page_Img/contents@@@Sample.PDF");
            break;
        }
        Application->ProcessMessages();
    };
    for (int i = 0; i < 3; ++i)
        one(i);  // warm-up
    ASSERT_EQ(dialogs.Shown, 3);
    EXPECT_EQ(dialogs.Texts[0], L"종료하시겠습니까?");
    EXPECT_EQ(dialogs.Texts[1], L"Sample.PDF 파일이 저장되었습니다.");
    EXPECT_EQ(dialogs.Texts[2], L"파일 다운로드");
    const TResourceCount before = CountResources();

    for (int i = 0; i < 1000; ++i)
        one(i);
    PumpUntil(500, [] { return false; });
    EXPECT_EQ(dialogs.Shown, 1003);
    EXPECT_TRUE(IsWindowVisible(viewer.Form->Handle())) << "every quit question was answered No";
    EXPECT_EQ(OtherWindows(viewer.Form->Handle()), 0);
    EXPECT_TRUE(NoResourceGrowth(before, CountResources(), Slack));
}

} // namespace
