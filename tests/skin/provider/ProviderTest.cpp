// The form skinning's first road: the creation hook puts one run-time
// provider on each form, the provider starts on the form's first
// non-client message, answers the command message, follows skin changes
// and gives the form back when it goes.
#include <gtest/gtest.h>

#include <memory>

#include "../manager/ManagerFixture.h"
#include "classlib/controls/ExtCtrls.h"
#include "classlib/controls/StdCtrls.h"
#include "skin/core/kvntUtils.h"
#include "skin/core/sMessages.h"
#include "skin/core/sVclUtils.h"
#include "skin/forms/kvDials.h"
#include "skin/forms/sSkinProvider.h"
#include "skin/paint/sGraphUtils.h"
#include "skin/wrappers/sScrollBox.h"
#include "support/FakeInput.h"
#include "support/ResourceCount.h"

using namespace managertest;

namespace {

const bool Registered = [] {
    RegisterSkinFormsServices();
    return true;
}();

// A WindowProc of the application's own, put on a form before the skin
// comes: it notes the messages that reach it.
struct TAppProc {
    TForm* Form = nullptr;
    TWndMethod Old;
    std::vector<UINT> Seen;
    void Attach(TForm* F)
    {
        Form = F;
        Old = F->WindowProc;
        F->WindowProc = TWndMethod(this, &TAppProc::Proc);
    }
    void Proc(TMessage& Message)
    {
        Seen.push_back(Message.Msg);
        Old(Message);
    }
    TWndMethod Method() { return TWndMethod(this, &TAppProc::Proc); }
};

int ProviderCount(TComponent* Form)
{
    int n = 0;
    for (int i = 0; i < Form->ComponentCount(); ++i)
        if (dynamic_cast<TsSkinProvider*>(Form->Components(i)))
            ++n;
    return n;
}

LRESULT Korvex(TForm* Form, int Cmd, LPARAM LParam = 0)
{
    return ::SendMessageW(Form->Handle(), SM_KORVEXCMD, MakeKorvexWParam(Cmd), LParam);
}

class Provider : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(Registered);
        Manager.reset(NewManager());
        ASSERT_EQ(DefaultManager, Manager.get());
    }
    void TearDown() override
    {
        Manager.reset();
        Application->ProcessMessages();
    }
    TForm* NewForm()
    {
        TForm* f = TForm::CreateNew(Application);
        f->SetBounds(50, 50, 240, 160);
        return f;
    }
    LPARAM Sm() const { return reinterpret_cast<LPARAM>(Manager.get()); }

    std::unique_ptr<TsSkinManager> Manager;
};

} // namespace

TEST_F(Provider, EachFormGetsExactlyOneProviderThroughItsLife)
{
    TForm* form = NewForm();
    form->Handle();
    ASSERT_EQ(ProviderCount(form), 1) << "taken when its window was made";
    TsSkinProvider* sp = GetSkinProvider(form);
    ASSERT_NE(sp, nullptr);
    EXPECT_EQ(sp->Form, form);
    EXPECT_TRUE(sp->RTInit) << "a run-time provider waits for the first non-client message";

    form->Show();
    Application->ProcessMessages();
    EXPECT_FALSE(sp->RTInit);
    form->Hide();
    form->Show();
    form->RecreateWnd();
    Application->ProcessMessages();
    EXPECT_EQ(ProviderCount(form), 1);
    EXPECT_EQ(GetSkinProvider(form), sp);
    // Activating it again changes nothing.
    ::SetActiveWindow(form->Handle());
    EXPECT_EQ(ProviderCount(form), 1);

    // Only the form's own entry is in the hook's list.
    int entries = 0;
    for (TkvProvider* e : *kvSupportedList)
        entries += e && e->sp == sp;
    EXPECT_EQ(entries, 1);
    TObject* o = form;
    FreeAndNil(o);
    for (TkvProvider* e : *kvSupportedList)
        EXPECT_TRUE(!e || e->sp != sp) << "the form's entry left its slot empty";
}

TEST_F(Provider, NoProviderForTheLibrarysOwnWindowsNorWhereTheRulesForbid)
{
    TOwned<TForm> own(NewForm());
    own->SetTag(-98);
    own->Show();
    EXPECT_EQ(ProviderCount(own.get()), 0);

    Manager->SetFSkinningRules(TkvSkinningRules{srStdDialogs});
    TOwned<TForm> plain(NewForm());
    plain->Show();
    EXPECT_EQ(ProviderCount(plain.get()), 0);
    EXPECT_EQ(GetSkinProvider(plain.get()), nullptr);
}

TEST_F(Provider, RunTimeProviderStartsOnTheFirstNonClientMessage)
{
    Manager->SetFSkinningRules(TkvSkinningRules{});  // the hook leaves the form alone
    TOwned<TForm> form(NewForm());
    form->Handle();
    TsSkinProvider* sp = TsSkinProvider::CreateRT(form.get());
    ASSERT_TRUE(sp->RTInit);
    for (UINT msg : {UINT(WM_SIZE), UINT(WM_ACTIVATE), UINT(WM_MOVE), UINT(WM_SETTEXT)})
        form->Perform(msg, 0, 0);
    EXPECT_TRUE(sp->RTInit);
    EXPECT_EQ(sp->SystemMenu, nullptr);
    EXPECT_EQ(Korvex(form.get(), SMC_IS_SKINNED), 1) << "a waiting provider still keeps the hook away";

    struct Case {
        const char* What;
        UINT Msg;
        WPARAM WParam;
    } starters[] = {{"hit test", WM_NCHITTEST, 0}, {"non-client paint", WM_NCPAINT, 1},
                    {"visibility", CM_VISIBLECHANGED, 0}};
    for (const Case& c : starters) {
        TsSkinProvider* p = sp ? sp : TsSkinProvider::CreateRT(form.get());
        ASSERT_TRUE(p->RTInit) << c.What;
        form->Perform(c.Msg, c.WParam, 0);
        EXPECT_FALSE(p->RTInit) << c.What;
        EXPECT_NE(p->SystemMenu, nullptr) << c.What << ": the skin was applied";
        EXPECT_TRUE(p->SkinData()->Skinned(true)) << c.What;
        TObject* o = p;
        FreeAndNil(o);
        sp = nullptr;
    }
}

TEST_F(Provider, CommandMessageAnswers)
{
    TAppProc app;  // outlives the form, whose WindowProc chain ends in it
    TOwned<TForm> form(NewForm());
    app.Attach(form.get());
    form->Show();
    Application->ProcessMessages();
    TsSkinProvider* sp = GetSkinProvider(form.get());
    ASSERT_NE(sp, nullptr);
    ASSERT_TRUE(sp->SkinData()->Skinned(true));
    // Where the client area lies in the window, from the window itself.
    RECT w;
    ::GetWindowRect(form->Handle(), &w);
    POINT client{0, 0};
    ::ClientToScreen(form->Handle(), &client);
    const int dx = int(client.x - w.left), dy = int(client.y - w.top);
    ASSERT_GT(dy, dx) << "below a caption";
    const LRESULT offsets = (LRESULT(dy) << 16) | dx;
    struct Case {
        int Cmd;
        LRESULT Answer;
    } cases[] = {
        {SMC_IS_SKINNED, 1},
        {SMC_GET_PROVIDER, reinterpret_cast<LRESULT>(static_cast<TComponent*>(sp))},
        {SMC_GET_APPLICATION, reinterpret_cast<LRESULT>(Application)},
        {SMC_CTRL_STATE, sp->SkinData()->CtrlSkinState},
        {SMC_GET_OFFSETS, offsets},
        {SMC_GET_BG_COLOR, LRESULT(Manager->GetGlobalColor())},
        {SMC_GET_UPDATING, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Korvex(form.get(), c.Cmd), c.Answer) << "sub-command " << c.Cmd;

    // The form's own procedure never hears a sub-command of the skinned state.
    app.Seen.clear();
    EXPECT_EQ(Korvex(form.get(), 99), 0);
    EXPECT_EQ(Korvex(form.get(), SMC_GET_PROVIDER), reinterpret_cast<LRESULT>(static_cast<TComponent*>(sp)));
    EXPECT_TRUE(std::find(app.Seen.begin(), app.Seen.end(), SM_KORVEXCMD) == app.Seen.end());

    // A child asking what lies behind it gets the form's window image.
    TkvBGInfo info;
    EXPECT_EQ(Korvex(form.get(), SMC_GET_BG_INFO, reinterpret_cast<LPARAM>(&info)), 0);
    // (the built-in skin's form is a plain fill, not cached)
    ASSERT_NE(info.BgType, btUnknown);
    if (info.BgType == btCache) {
        EXPECT_EQ(info.Bmp, sp->SkinData()->FCacheBmp);
        EXPECT_EQ(info.Offset, TPoint(dx, dy));
    } else {
        EXPECT_EQ(info.Color, Manager->GetGlobalColor());
    }
}

TEST_F(Provider, SkinRemovalAndReapplicationLeaveTheFormAsTheApplicationSetIt)
{
    TAppProc app;  // outlives the form, whose WindowProc chain ends in it
    TOwned<TForm> form(NewForm());
    auto* label = New<TLabel>(form.get());
    label->SetParent(form.get());
    app.Attach(form.get());
    form->Show();
    Application->ProcessMessages();
    const HWND wnd = form->Handle();
    // The skin draws the caption buttons: the system's go while it does.
    const LONG style = WS_SYSMENU;
    EXPECT_EQ(::GetWindowLongW(wnd, GWL_STYLE) & WS_SYSMENU, 0);
    TsSkinProvider* sp = GetSkinProvider(form.get());
    ASSERT_NE(sp, nullptr);
    EXPECT_EQ(form->Color(), Manager->GetGlobalColor()) << "the skin's colour while skinned";

    for (int round = 0; round < 2; ++round) {
        Manager->SetActive(false);
        EXPECT_EQ(::GetWindowLongW(wnd, GWL_STYLE) & WS_SYSMENU, style & WS_SYSMENU) << round;
        EXPECT_EQ(form->Color(), clBtnFace) << round;
        EXPECT_EQ(label->Font()->Color(), clWindowText) << round;
        EXPECT_EQ(sp->SkinData()->FCacheBmp, nullptr) << round;
        app.Seen.clear();
        form->Perform(WM_APP, 0, 0);
        EXPECT_EQ(app.Seen, std::vector<UINT>{WM_APP}) << "the application's procedure still hears its form";

        Manager->SetActive(true);
        Application->ProcessMessages();
        EXPECT_EQ(GetSkinProvider(form.get()), sp) << round;
        EXPECT_EQ(ProviderCount(form.get()), 1) << round;
        EXPECT_EQ(form->Color(), Manager->GetGlobalColor()) << round;
    }
    TObject* o = sp;
    FreeAndNil(o);
    EXPECT_TRUE(form->WindowProc == app.Method()) << "the provider gave back the application's WindowProc";
    EXPECT_EQ(::GetWindowLongW(wnd, GWL_STYLE) & WS_SYSMENU, style & WS_SYSMENU);
}

TEST_F(Provider, FreedProviderKeepsALaterSubclasserInTheChain)
{
    TAppProc before;  // under the provider
    TAppProc after;   // put in front of it later
    TOwned<TForm> form(NewForm());
    before.Attach(form.get());
    form->Show();
    Application->ProcessMessages();
    TsSkinProvider* sp = GetSkinProvider(form.get());
    ASSERT_NE(sp, nullptr);
    after.Attach(form.get());
    TObject* o = sp;
    FreeAndNil(o);
    EXPECT_TRUE(form->WindowProc == after.Method()) << "the later method stays on top";
    before.Seen.clear();
    after.Seen.clear();
    // The later method's saved procedure leads on to the one under the
    // provider, never into the freed provider.
    form->Perform(WM_APP, 0, 0);
    EXPECT_EQ(after.Seen, std::vector<UINT>{WM_APP});
    EXPECT_EQ(before.Seen, std::vector<UINT>{WM_APP});
    // The later method unhooks: the chain closes over the provider's place.
    form->WindowProc = after.Old;
    before.Seen.clear();
    form->Perform(WM_APP, 0, 0);
    EXPECT_EQ(before.Seen, std::vector<UINT>{WM_APP});
    EXPECT_TRUE(form->WindowProc == before.Method()) << "the pass-through left on the first message";
}

TEST_F(Provider, FormsFreedInEveryOrderAgainstProviderAndManager)
{
    struct Case {
        const char* What;
        int Order;  // 0: form first, 1: provider then form, 2: manager then form
    } cases[] = {{"form", 0}, {"provider, form", 1}, {"manager, form", 2}};
    for (const Case& c : cases) {
        if (!Manager)
            Manager.reset(NewManager());
        TForm* form = NewForm();
        TAppProc app;
        app.Attach(form);
        form->Show();
        Application->ProcessMessages();
        TsSkinProvider* sp = GetSkinProvider(form);
        ASSERT_NE(sp, nullptr) << c.What;
        if (c.Order == 1) {
            TObject* o = sp;
            FreeAndNil(o);
            EXPECT_TRUE(form->WindowProc == app.Method()) << c.What;
            EXPECT_EQ(GetSkinProvider(form), nullptr) << c.What;
        } else if (c.Order == 2) {
            Manager.reset();
            EXPECT_EQ(kvSupportedList, nullptr) << c.What;
            form->Perform(WM_NCPAINT, 1, 0);  // a provider without manager passes everything on
        }
        TObject* o = form;
        FreeAndNil(o);
        EXPECT_FALSE(TsSkinProvider::Alive(sp)) << c.What;
        if (kvSupportedList) {
            for (TkvProvider* e : *kvSupportedList)
                EXPECT_EQ(e, nullptr) << c.What;
        }
    }
}

// A provider placed later on a form that has a run-time provider: the one
// that never started gives way, and the hook's entry no longer points at it.
TEST_F(Provider, WaitingProviderReplacedByAPlacedOneLeavesNoStalePointer)
{
    TOwned<TForm> form(NewForm());
    form->Handle();
    TsSkinProvider* first = GetSkinProvider(form.get());
    ASSERT_NE(first, nullptr);
    ASSERT_TRUE(first->RTInit);
    TkvProvider* entry = nullptr;
    for (TkvProvider* e : *kvSupportedList)
        if (e && e->sp == first)
            entry = e;
    ASSERT_NE(entry, nullptr);

    auto* placed = New<TsSkinProvider>(form.get());
    EXPECT_FALSE(TsSkinProvider::Alive(first));
    EXPECT_EQ(entry->sp, nullptr);
    EXPECT_FALSE(placed->RTEmpty);
    EXPECT_EQ(GetSkinProvider(form.get()), placed);

    // A further provider finds a started one: it stays inert and, freed,
    // gives back nothing it never took.
    form->Show();
    const TWndMethod before = form->WindowProc;
    auto* inert = New<TsSkinProvider>(form.get());
    EXPECT_TRUE(inert->RTEmpty);
    EXPECT_FALSE(inert->HookedWndProc());
    TObject* o = inert;
    FreeAndNil(o);
    EXPECT_TRUE(form->WindowProc == before);
    EXPECT_EQ(GetSkinProvider(form.get()), placed);
}

TEST_F(Provider, OnlyFormsCarryAProviderAndTheErrorIsShown)
{
    TOwned<TForm> form(NewForm());
    auto* panel = New<TPanel>(form.get());
    try {
        New<TsSkinProvider>(panel);
        FAIL() << "a provider on a panel";
    } catch (const EAbort&) {
        FAIL() << "the silent exception would hide the message";
    } catch (const Exception& e) {
        EXPECT_EQ(UnicodeString(e.Message()), L"TsSkinProvider component may be used with forms only!");
    }
    EXPECT_EQ(panel->ComponentCount(), 0);
}

TEST_F(Provider, CaptionButtonActsOnlyOnTheButtonItWasPressedOn)
{
    TOwned<TForm> form(NewForm());
    form->Show();
    Application->ProcessMessages();
    TsSkinProvider* sp = GetSkinProvider(form.get());
    ASSERT_NE(sp, nullptr);
    // The maximise button was pressed; the release comes over the client
    // area with Ctrl held (key flags 9, the maximise button's hit code).
    sp->SetPressedHT(HTMAXBUTTON);
    form->Perform(WM_LBUTTONUP, MK_LBUTTON | MK_CONTROL, MAKELPARAM(10, 10));
    EXPECT_FALSE(::IsZoomed(form->Handle()));
    EXPECT_FALSE(bBtnPressed);
    // A release on the close button after a press elsewhere does nothing either.
    sp->SetPressedHT(HTMINBUTTON);
    form->Perform(WM_NCLBUTTONUP, HTCLOSE, 0);
    EXPECT_TRUE(form->Visible());
}

TEST_F(Provider, SystemMenuClickSurvivesTheFormGoingWhileMessagesArePumped)
{
    Manager->SetSkinnedPopups(false);
    TForm* form = NewForm();
    form->Show();
    Application->ProcessMessages();
    TsSkinProvider* sp = GetSkinProvider(form);
    ASSERT_NE(sp, nullptr);
    TFakeInput input;
    input.Step = 50;  // the pause ends after a few readings of the clock
    const HWND wnd = form->Handle();
    form->Release();  // freed by the first message pumped during the pause
    ::SendMessageW(wnd, WM_NCLBUTTONDOWN, HTSYSMENU, 0);
    EXPECT_FALSE(TsSkinProvider::Alive(sp));
    EXPECT_FALSE(::IsWindow(wnd));
}

TEST_F(Provider, LayeredShowOfASkinnedFormRunsThroughTheProvider)
{
    TOwned<TForm> form(NewForm());
    form->Show();
    Application->ProcessMessages();
    TsSkinProvider* sp = GetSkinProvider(form.get());
    ASSERT_NE(sp, nullptr);
    EXPECT_EQ(ProviderOf(form->Handle()), static_cast<TsProviderSeam*>(sp));
    EXPECT_EQ(ProviderForm(sp), form.get());
    EXPECT_EQ(sp->SkinData()->OwnerProvider(), static_cast<TsProviderSeam*>(sp));
    ASSERT_EQ(sp->AnimShow(), static_cast<TsAnimShowSeam*>(sp));
    const TSize size = sp->RenderImage();
    EXPECT_EQ(size.cx, form->Width());
    EXPECT_EQ(size.cy, form->Height());
    if (!kvLayered())
        GTEST_SKIP() << "no layered windows";
    EXPECT_TRUE(AnimShowLayeredForm(form.get(), 0, 255, atFading));
    EXPECT_FALSE(InAnimationProcess);
    EXPECT_TRUE(::IsWindowVisible(form->Handle()));
}

TEST_F(Provider, FormsComeAndGoUnderTheSkinWithoutLeaks)
{
    auto once = [this] {
        TForm* form = NewForm();
        auto* label = New<TLabel>(form);
        label->SetParent(form);
        form->Show();
        form->Perform(WM_NCPAINT, 1, 0);
        form->Hide();
        TObject* o = form;
        FreeAndNil(o);
    };
    for (int i = 0; i < 5; ++i)
        once();
    Application->ProcessMessages();
    const TResourceCount before = CountResources();
    for (int i = 0; i < 500; ++i)
        once();
    Application->ProcessMessages();
    EXPECT_TRUE(NoResourceGrowth(before, CountResources()));
    for (TkvProvider* e : *kvSupportedList)
        EXPECT_EQ(e, nullptr);
}

// A wheel turn that reaches the form goes to the skinned scroll box under
// the cursor, also inside another container, when the box asks for it.
TEST_F(Provider, WheelTurnNoControlTookGoesToTheScrollBoxUnderTheCursor)
{
    struct TCase {
        const char* Name;
        bool AutoWheel;
        bool OverBox;
        int Expected;
    };
    const TCase cases[] = {{"over a box that asks for turns", true, true, 108},
                           {"over a box that does not", false, true, 100},
                           {"beside the box", true, false, 100}};
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        std::unique_ptr<TForm> f(NewForm());
        f->SetBounds(50, 50, 400, 300);
        auto* panel = New<TPanel>(f.get());
        panel->SetParent(f.get());
        panel->SetBounds(10, 10, 300, 200);
        auto* box = New<TsScrollBox>(f.get());
        box->SetParent(panel);
        box->SetBounds(20, 20, 200, 120);
        box->SetAutoMouseWheel(c.AutoWheel);
        auto* tall = New<TPanel>(box);
        tall->SetParent(box);
        tall->SetBounds(0, 0, 150, 600);
        f->Show();
        Application->ProcessMessages();
        TControlScrollBar* bar = box->VertScrollBar();
        bar->SetIncrement(8);
        bar->SetPosition(100);
        ASSERT_EQ(bar->Position(), 100);
        const TPoint at = c.OverBox ? box->ClientToScreen(TPoint(30, 30)) : f->ClientToScreen(TPoint(350, 250));
        ::SendMessageW(f->Handle(), WM_MOUSEWHEEL, MAKEWPARAM(0, WORD(short(-WHEEL_DELTA))),
                       MAKELPARAM(WORD(short(at.x)), WORD(short(at.y))));
        EXPECT_EQ(bar->Position(), c.Expected);
    }
}
