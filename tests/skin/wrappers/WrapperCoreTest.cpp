// The root wrapper: taking a window over and giving it back by each route,
// teardown in every order, the command-message answers, the cache and
// corners of a wrapped window.
#include <gtest/gtest.h>

#include "WrapperFixture.h"
#include "classlib/controls/ExtCtrls.h"
#include "classlib/controls/StdCtrls.h"
#include "skin/core/sFormsSeam.h"
#include "skin/core/sStyleSimply.h"
#include "skin/paint/sAlphaGraph.h"
#include "skin/paint/sGraphUtils.h"
#include "support/ResourceCount.h"

using namespace wraptest;

namespace {

// Someone else's subclassing put on top of a wrapper.
WNDPROC TopPrevious = nullptr;
int TopMessages = 0;
LRESULT CALLBACK TopProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam)
{
    ++TopMessages;
    return ::CallWindowProcW(TopPrevious, Wnd, Msg, WParam, LParam);
}

// A class-library component that puts its own method in a control's
// WindowProc and puts the saved one back later.
struct THooker {
    TControl* Control;
    TWndMethod Saved;
    int Messages = 0;
    explicit THooker(TControl* C) : Control(C), Saved(C->WindowProc) { C->WindowProc = Bind(this, &THooker::Proc); }
    void Proc(TMessage& M)
    {
        ++Messages;
        Saved(M);
    }
    void Unhook() { Control->WindowProc = Saved; }
};

// A form's skin provider as the engine sees it.
class TFakeProvider : public TComponent, public TsProviderSeam {
    KV_CLASS(TFakeProvider)
public:
    using TComponent::TComponent;
    TComponent* ProviderComponent() override { return this; }
    TComponent* ProviderManager() override { return DefaultManager; }
    void SetInAnimation(bool) override {}
    bool HasBorderForm() override { return false; }
    void FreezeBorderForm() override {}
    bool DrawsNonClientArea() override { return true; }
    void UpdateRegion() override {}
    void UpdateBorderPos() override {}
    int OffsetX() override { return 0; }
    int OffsetY() override { return 0; }
    void DsgnWndProc(TMessage&) override {}
};

TColor PixelAt(TBitmap* Bmp, int X, int Y)
{
    return ::GetPixel(Bmp->Canvas()->Handle(), X, Y);
}

} // namespace

// ---------------------------------------------------------------------------
// Taking over and giving back.

TEST_F(WrapperTest, RawWindowIsGivenBackExactlyAsItWas)
{
    HWND edit = Child(L"EDIT");
    const WNDPROC before = ProcOf(edit);
    TkvMainWnd* w = CreateWnd<TkvMainWnd>(edit, nullptr, Manager, L"EDIT", false);
    ASSERT_TRUE(w->Hooked());
    EXPECT_EQ(Kv_GetScrollWndFromHwnd(edit), w);
    EXPECT_NE(ProcOf(edit), before);
    EXPECT_EQ(Command(edit, SMC_IS_SKINNED), 1);

    UninitializeKVWnd(edit, true, false, w);
    EXPECT_EQ(w, nullptr);
    EXPECT_EQ(ProcOf(edit), before);
    EXPECT_EQ(::GetPropW(edit, KVSBSC), nullptr);
    EXPECT_EQ(Command(edit, SMC_IS_SKINNED), 0);
    ::DestroyWindow(edit);
}

TEST_F(WrapperTest, FactoryRunsTheOverridesInOrder)
{
    HWND edit = Child(L"EDIT");
    const TkvWndClass cls = TkvWndClass::Of<TRecordingWnd>();
    EXPECT_STREQ(cls.Name(), L"TRecordingWnd");
    TOwned<TkvMainWnd> w(cls.Create(edit, nullptr, Manager, L"EDIT", false));
    auto* r = dynamic_cast<TRecordingWnd*>(w.get());
    ASSERT_NE(r, nullptr);
    ASSERT_GE(r->Calls.size(), 2u);
    EXPECT_STREQ(r->Calls[0], "Create");
    EXPECT_STREQ(r->Calls[1], "SaveStdParams");
    EXPECT_EQ(r->Messages, 0);
    ::SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"text"));
    EXPECT_GT(r->Messages, 0); // the override's procedure gets the messages
    EXPECT_EQ(w->Caption, UnicodeString(L"text"));
    w.reset(); // gives back with RestoreStdParams reached
    ::DestroyWindow(edit);
}

TEST_F(WrapperTest, SecondWrapperOnOneWindowIsRefused)
{
    HWND edit = Child(L"EDIT");
    TOwned<TkvMainWnd> first(CreateWnd<TkvMainWnd>(edit, nullptr, Manager, L"EDIT", false));
    TOwned<TkvMainWnd> second(CreateWnd<TkvMainWnd>(edit, nullptr, Manager, L"EDIT", false));
    EXPECT_TRUE(first->Hooked());
    EXPECT_TRUE(second->Destroyed);
    EXPECT_EQ(Kv_GetScrollWndFromHwnd(edit), first.get());
    second.reset();
    EXPECT_EQ(Command(edit, SMC_IS_SKINNED), 1);
    ::DestroyWindow(edit);
}

TEST_F(WrapperTest, FreedWrapperLeavesALaterSubclasserInTheChain)
{
    HWND edit = Child(L"EDIT");
    bool gone = false;
    auto* w = CreateWnd<TRecordingWnd>(edit, nullptr, Manager, L"EDIT", false);
    w->Gone = &gone;
    TopPrevious = reinterpret_cast<WNDPROC>(::SetWindowLongPtrW(edit, GWLP_WNDPROC, LONG_PTR(&TopProc)));
    TopMessages = 0;

    FreeAndNil(w);
    ASSERT_TRUE(gone);
    EXPECT_EQ(ProcOf(edit), &TopProc); // not cut out of the chain
    ::SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"still works"));
    wchar_t text[32] = {};
    ::GetWindowTextW(edit, text, 32);
    EXPECT_STREQ(text, L"still works");
    EXPECT_GT(TopMessages, 0);
    EXPECT_EQ(Command(edit, SMC_IS_SKINNED), 0); // no freed wrapper answers
    EXPECT_EQ(TRecordingWnd::Alive, 0);

    ::SetWindowLongPtrW(edit, GWLP_WNDPROC, LONG_PTR(TopPrevious));
    ::SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"again"));
    EXPECT_TRUE(::DestroyWindow(edit));
}

TEST_F(WrapperTest, WindowDestroyedFirstLeavesAnInertWrapper)
{
    HWND edit = Child(L"EDIT");
    auto* w = CreateWnd<TRecordingWnd>(edit, nullptr, Manager, L"EDIT", false);
    ::DestroyWindow(edit);
    EXPECT_TRUE(w->Destroyed);
    EXPECT_FALSE(w->Hooked());
    EXPECT_EQ(w->CallsOf("RestoreStdParams"), 1);

    // A second unhook only frees when asked to; freeing touches no window.
    UninitializeKVWnd(edit, false, false, w);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->CallsOf("RestoreStdParams"), 1);
    UninitializeKVWnd(edit, true, false, w);
    EXPECT_EQ(w, nullptr);
    EXPECT_EQ(TRecordingWnd::Alive, 0);
}

TEST_F(WrapperTest, ManagerFreedFirstLeavesTheWrapperPassingOn)
{
    HWND edit = Child(L"EDIT");
    TOwned<TkvMainWnd> w(CreateWnd<TkvMainWnd>(edit, nullptr, Manager, L"EDIT", false));
    EXPECT_EQ(w->SkinManager, Manager);
    FreeAndNil(Manager);
    EXPECT_EQ(w->SkinManager, nullptr);
    EXPECT_EQ(Command(edit, SMC_IS_SKINNED), 0); // passed on: no manager, no skin
    ::SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"x"));
    w.reset();
    EXPECT_EQ(::GetPropW(edit, KVSBSC), nullptr);
    ::DestroyWindow(edit);
}

TEST_F(WrapperTest, AdapterRemovalLetsTheWindowGoButKeepsItsLook)
{
    HWND edit = Child(L"EDIT");
    const WNDPROC before = ProcOf(edit);
    auto* w = CreateWnd<TRecordingWnd>(edit, nullptr, Manager, L"EDIT", false);
    TRecordingWnd::Restores = 0;
    {
        TFlagScope removing(bRemoving, true);
        FreeAndNil(w);
    }
    EXPECT_EQ(TRecordingWnd::Restores, 0);
    EXPECT_EQ(ProcOf(edit), before); // no message reaches the freed wrapper
    EXPECT_EQ(Command(edit, SMC_IS_SKINNED), 0);

    // With the skin being removed the look goes back as well.
    w = CreateWnd<TRecordingWnd>(edit, nullptr, Manager, L"EDIT", false);
    {
        TFlagScope removing(bRemoving, true);
        TFlagScope skinGoing(aSkinRemoving, true);
        FreeAndNil(w);
    }
    EXPECT_EQ(TRecordingWnd::Restores, 1);
    ::DestroyWindow(edit);
}

TEST_F(WrapperTest, ClassLibraryControlIsTakenOverThroughWindowProc)
{
    TEdit* edit = New<TEdit>(Form.get());
    edit->SetParent(Form.get());
    TsCommonData data(edit, true);
    const TWndMethod original = edit->WindowProc;
    const WNDPROC proc = ProcOf(edit->Handle());

    auto* w = CreateWnd<TkvMainWnd>(edit->Handle(), &data, Manager, L"EDIT", false);
    EXPECT_TRUE(w->OldWndProc == original);
    EXPECT_TRUE(edit->WindowProc == w->HookMethod());
    EXPECT_EQ(ProcOf(edit->Handle()), proc); // the window's own procedure untouched
    EXPECT_EQ(edit->Perform(SM_KORVEXCMD, MakeKorvexWParam(SMC_IS_SKINNED)), 1);
    EXPECT_TRUE(edit->ControlStyle().Contains(csOpaque));

    UninitializeKVWnd(edit->Handle(), true, false, w);
    EXPECT_TRUE(edit->WindowProc == original);
    EXPECT_EQ(edit->Perform(SM_KORVEXCMD, MakeKorvexWParam(SMC_IS_SKINNED)), 0);
}

TEST_F(WrapperTest, WindowProcHookStaysAsPassThroughUnderALaterHooker)
{
    TEdit* edit = New<TEdit>(Form.get());
    edit->SetParent(Form.get());
    TsCommonData data(edit, true);
    const TWndMethod original = edit->WindowProc;
    auto* w = CreateWnd<TkvMainWnd>(edit->Handle(), &data, Manager, L"EDIT", false);
    THooker hooker(edit);

    FreeAndNil(w);
    EXPECT_TRUE(edit->WindowProc == Bind(&hooker, &THooker::Proc)); // never replaced
    edit->SetText(L"through");
    EXPECT_EQ(edit->Text(), UnicodeString(L"through"));
    EXPECT_EQ(edit->Perform(SM_KORVEXCMD, MakeKorvexWParam(SMC_IS_SKINNED)), 0);

    hooker.Unhook();         // puts back what it saved: the wrapper's old hook
    edit->Perform(WM_NULL);  // which steps out on its next message
    EXPECT_TRUE(edit->WindowProc == original);
}

TEST_F(WrapperTest, ProviderSkinDataHooksTheFormsWindowProc)
{
    TFakeProvider* provider = New<TFakeProvider>(Form.get());
    TsCommonData data(provider, true);
    const TWndMethod original = Form->WindowProc;
    const WNDPROC proc = ProcOf(Host());
    auto* w = CreateWnd<TkvMainWnd>(Host(), &data, Manager, L"FORM", false);
    EXPECT_TRUE(Form->WindowProc == w->HookMethod());
    EXPECT_EQ(ProcOf(Host()), proc);
    EXPECT_EQ(Command(Host(), SMC_IS_SKINNED), 1);
    UninitializeKVWnd(Host(), true, false, w);
    EXPECT_TRUE(Form->WindowProc == original);
}

// ---------------------------------------------------------------------------
// The root window procedure.

struct TCommandCase {
    const char* Name;
    int Cmd;
    enum { NoParam, OwnManager, OtherManager } Param;
    LRESULT TargetAnswer;
    bool PassedOn;
};

TEST_F(WrapperTest, CommandMessageAnswers)
{
    const TCommandCase cases[] = {
        {"is skinned", SMC_IS_SKINNED, TCommandCase::NoParam, 0, false},
        {"application", SMC_GET_APPLICATION, TCommandCase::NoParam, 0, false},
        {"updating", SMC_GET_UPDATING, TCommandCase::NoParam, 0, false},
        {"bg colour of the window", SMC_GET_BG_COLOR, TCommandCase::NoParam, 0x123456, true},
        {"bg colour of the skin", SMC_GET_BG_COLOR, TCommandCase::NoParam, 0, true},
        {"refresh own", SMC_SKIN_REFRESH, TCommandCase::OwnManager, 0, false},
        {"refresh other", SMC_SKIN_REFRESH, TCommandCase::OtherManager, 0, true},
        {"set own", SMC_SKIN_SET, TCommandCase::OwnManager, 0, true},
        {"remove own", SMC_SKIN_REMOVE, TCommandCase::OwnManager, 0, true},
        {"prepare cache", SMC_PREPARE_CACHE, TCommandCase::NoParam, 0, true},
        {"unknown", SMC_GET_DROPPED, TCommandCase::NoParam, 77, true},
    };
    for (const TCommandCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TTarget t(Host());
        t.Answers[c.Cmd] = c.TargetAnswer;
        auto* w = CreateWnd<TRecordingWnd>(t.Handle, nullptr, Manager, L"SCROLLBAR1H", false);
        w->SkinData->SetUpdating(true);
        const LPARAM lp = c.Param == TCommandCase::OwnManager     ? LPARAM(Manager)
                          : c.Param == TCommandCase::OtherManager ? LPARAM(0x1234)
                                                                  : 0;
        const int paintsBefore = t.Count(WM_PAINT);
        const LRESULT r = Command(t.Handle, c.Cmd, lp);
        EXPECT_EQ(t.Count(SM_KORVEXCMD, c.Cmd), c.PassedOn ? 1 : 0);
        switch (c.Cmd) {
        case SMC_IS_SKINNED:
        case SMC_GET_UPDATING:
            EXPECT_EQ(r, 1);
            break;
        case SMC_GET_APPLICATION:
            EXPECT_EQ(r, LRESULT(Application));
            break;
        case SMC_GET_BG_COLOR:
            EXPECT_EQ(r, c.TargetAnswer ? c.TargetAnswer : LRESULT(GetBGColor(w->SkinData, 0, t.Handle)));
            EXPECT_NE(r, 0);
            break;
        case SMC_SKIN_REFRESH:
            EXPECT_EQ(t.Count(WM_PAINT) - paintsBefore, c.PassedOn ? 0 : 1);
            break;
        case SMC_SKIN_REMOVE:
            EXPECT_EQ(w->CallsOf("RestoreStdParams"), 1);
            break;
        case SMC_PREPARE_CACHE:
            EXPECT_FALSE(w->SkinData->BGChanged);
            break;
        case SMC_GET_DROPPED:
            EXPECT_EQ(r, 77);
            break;
        }
        UninitializeKVWnd(t.Handle, true, false, w);
    }
}

TEST_F(WrapperTest, BackgroundRequestIsAnsweredWithoutThePreviousProcedure)
{
    TTarget t(Host());
    TOwned<TkvMainWnd> w(CreateWnd<TkvMainWnd>(t.Handle, nullptr, Manager, L"SCROLLBAR1H", false));
    TkvBGInfo info;
    Command(t.Handle, SMC_GET_BG_INFO, LPARAM(&info));
    EXPECT_NE(info.BgType, btUnknown);
    EXPECT_EQ(t.Count(SM_KORVEXCMD, SMC_GET_BG_INFO), 0);
}

TEST_F(WrapperTest, InactiveManagerPassesEverythingOn)
{
    TTarget t(Host());
    TOwned<TkvMainWnd> w(CreateWnd<TkvMainWnd>(t.Handle, nullptr, Manager, L"EDIT", false));
    Manager->SetActive(false);
    EXPECT_EQ(Command(t.Handle, SMC_IS_SKINNED), 0);
    EXPECT_EQ(t.Count(SM_KORVEXCMD, SMC_IS_SKINNED), 1);
}

TEST_F(WrapperTest, WindowMessagesOfTheRootProcedure)
{
    TTarget t(Host());
    TOwned<TkvMainWnd> w(CreateWnd<TkvMainWnd>(t.Handle, nullptr, Manager, L"EDIT", false));
    ::SendMessageW(t.Handle, WM_UPDATEUISTATE, 0, 0);
    EXPECT_EQ(t.Count(WM_UPDATEUISTATE), 0);

    ::SendMessageW(t.Handle, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"new caption"));
    EXPECT_EQ(w->Caption, UnicodeString(L"new caption"));

    // WM_PRINT paints the given context as a paint would.
    TBitmap bmp(20, 20, pf24bit);
    ::SendMessageW(t.Handle, WM_PRINT, WPARAM(bmp.Canvas()->Handle()), PRF_CLIENT);
    EXPECT_EQ(t.Count(WM_PRINT), 0);
    EXPECT_EQ(t.Count(WM_PAINT), 1);

    w->SkinData->BGChanged = false;
    ::SendMessageW(t.Handle, WM_SIZE, 0, 0);
    EXPECT_TRUE(w->SkinData->BGChanged);

    ::SendMessageW(t.Handle, WM_MOUSEMOVE, 0, 0);
    EXPECT_EQ(Manager->ActiveControl(), t.Handle);
    Manager->SetActiveControl(nullptr);
}

// ---------------------------------------------------------------------------
// Cache and corners.

TEST_F(WrapperTest, PrepareCacheByLook)
{
    HWND h = Child(L"STATIC", 0, 30, 20);
    TsCommonData data(nullptr, true);
    data.SetSkinSection(L"SCROLLBAR1H");
    const TColor section = ColorToRGB(Manager->gd[std::size_t(data.SkinIndex)].Color);

    data.BGChanged = false;
    PrepareCache(&data, h, false);
    EXPECT_TRUE(data.FCacheBmp->Empty()); // nothing to do

    data.BGChanged = true;
    PrepareCache(&data, h, false);
    EXPECT_FALSE(data.BGChanged);
    ASSERT_EQ(data.FCacheBmp->Width(), 30);
    EXPECT_EQ(PixelAt(data.FCacheBmp, 15, 10), section);

    // The plain dialog look needs a skin border colour; the key colour means none.
    TColor& border = Manager->SkinData->BorderColor;
    ASSERT_EQ(border, clFuchsia);
    FillDC(data.FCacheBmp->Canvas()->Handle(), TRect(0, 0, 30, 20), 0);
    data.BGChanged = true;
    PrepareCache(&data, h, true);
    EXPECT_EQ(PixelAt(data.FCacheBmp, 15, 10), section);

    border = 0x0000FF;
    data.BGChanged = true;
    PrepareCache(&data, h, true);
    EXPECT_EQ(PixelAt(data.FCacheBmp, 0, 0), TColor(0x0000FF));
    EXPECT_EQ(PixelAt(data.FCacheBmp, 15, 10), ColorToRGB(clWindow));
    border = clFuchsia;
    ::DestroyWindow(h);
}

TEST_F(WrapperTest, WrapperCornersShowWhatLiesBehind)
{
    HWND h = Child(L"STATIC", 0, 40, 24);
    TOwned<TkvMainWnd> w(CreateWnd<TkvMainWnd>(h, nullptr, Manager, L"BUTTON", false));
    InitCtrlData(w.get());
    TsCommonData* d = w->SkinData;
    ASSERT_TRUE(Manager->IsValidImgIndex(d->BorderIndex));
    const TsMaskData& md = Manager->ma[std::size_t(d->BorderIndex)];
    const TBitmapRows image = RowsOf(ImageBitmapOf(md));
    const uint8_t* corner = image.Pixel(md.R.left, md.R.top);
    ASSERT_TRUE(corner[0] == 255 && corner[1] == 0 && corner[2] == 255) << "the button's corner is cut";
    const TColor behind = GetParentCacheHwnd(h).FillColor;

    struct TCase {
        const char* Name;
        int Width, Height;
        bool DlgMode, Filled;
    } cases[] = {
        {"normal", 40, 24, false, true},
        {"one pixel wide", 1, 24, false, false},
        {"one pixel high", 40, 1, false, false},
        {"dialog", 40, 24, true, false},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        w->WndSize = {c.Width, c.Height};
        w->DlgMode = c.DlgMode;
        d->FCacheBmp->SetSize(40, 24);
        FillDC(d->FCacheBmp->Canvas()->Handle(), TRect(0, 0, 40, 24), 0);
        FillWrapperCorners(d, 0, w.get());
        EXPECT_EQ(PixelAt(d->FCacheBmp, 0, 0), c.Filled ? ColorToRGB(behind) : TColor(0));
        EXPECT_EQ(PixelAt(d->FCacheBmp, 20, 12), TColor(0));
    }
}

TEST(WrapperRoutines, FindControlByHandleSearchesOwnedComponentsDeep)
{
    TOwned<TForm> form(TForm::CreateNew(nullptr));
    TComponent* holder = New<TComponent>(form.get());
    TPanel* panel = New<TPanel>(holder);
    panel->SetParent(form.get());
    TEdit* edit = New<TEdit>(panel);
    edit->SetParent(panel);
    EXPECT_EQ(FindControlByHandle(edit->Handle(), form.get()), edit);
    EXPECT_EQ(FindControlByHandle(panel->Handle(), form.get()), panel);
    EXPECT_EQ(FindControlByHandle(::GetDesktopWindow(), form.get()), nullptr);
}

TEST_F(WrapperTest, WrapAndUnwrapLeakNothing)
{
    HWND edit = Child(L"EDIT");
    const TResourceCount before = CountResources();
    for (int i = 0; i < 1000; ++i) {
        TkvMainWnd* w = CreateWnd<TkvMainWnd>(edit, nullptr, Manager, L"EDIT", false);
        w->SkinData->BGChanged = true;
        PrepareCache(w->SkinData, edit, false);
        UninitializeKVWnd(edit, true, false, w);
    }
    EXPECT_TRUE(NoResourceGrowth(before, CountResources()));
    ::DestroyWindow(edit);
}
