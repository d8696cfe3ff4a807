// A skin change told to a tree of recording forms and controls: who hears
// what, once, and in which order, with a skinned form frozen around the
// repaint.
#include <gtest/gtest.h>

#include <memory>

#include "FakeFormsServices.h"
#include "ManagerFixture.h"
#include "RecordingControls.h"
#include "skin/core/sFormsSeam.h"
#include "skin/core/sStyleSimply.h"
#include "skin/core/sVclUtils.h"

using namespace managertest;
using namespace recording;

namespace {

// Markers written into the log beside the sub-commands.
constexpr int kBeforeChange = 1001;
constexpr int kAfterChange = 1002;
constexpr int kRedrawOff = 1003;
constexpr int kRedrawOn = 1004;
constexpr int kFrozen = 1005;
constexpr int kThawed = 1006;

// A form's skinner as the broadcasts see it.
class TFakeProvider : public TComponent, public TsProviderSeam {
    KV_CLASS(TFakeProvider)
public:
    explicit TFakeProvider(TComponent* Form) : TComponent(Form) {}
    TComponent* Manager = nullptr;
    TComponent* ProviderComponent() override { return this; }
    TComponent* ProviderManager() override { return Manager; }
    bool Frozen = false;
    void SetInAnimation(bool Value) override
    {
        Frozen = Value;
        Log().push_back({L"Provider", Value ? kFrozen : kThawed, 0});
    }
    bool HasBorderForm() override { return false; }
    void FreezeBorderForm() override {}
    bool DrawsNonClientArea() override { return false; }
    void UpdateRegion() override {}
    void UpdateBorderPos() override {}
    int OffsetX() override { return 0; }
    int OffsetY() override { return 0; }
    void DsgnWndProc(TMessage&) override {}
};

// A form with a skinner: it answers SMC_IS_SKINNED and SMC_GET_PROVIDER and
// notes when its drawing is frozen.
class TSkinnedForm : public TRecForm {
    KV_CLASS(TSkinnedForm)
public:
    explicit TSkinnedForm(TComponent* AOwner) : TRecForm(AOwner)
    {
        Provider = new TFakeProvider(this);
        Rec.Skinned = true;
        Rec.OnCommand = [this](TControl*, int cmd, TMessage& m) {
            if (cmd == SMC_GET_PROVIDER)
                m.Result = reinterpret_cast<LRESULT>(static_cast<TComponent*>(Provider));
        };
    }
    TFakeProvider* Provider;
    void WndProc(TMessage& Message) override
    {
        if (Message.Msg == WM_SETREDRAW)
            Log().push_back({Name(), Message.WParam ? kRedrawOn : kRedrawOff, 0});
        TRecForm::WndProc(Message);
    }
};

const bool Registered = [] {
    UseFakeFormsServices();
    return true;
}();

class SkinChange : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(Registered);
        Plain = NewForm(L"Plain");
        NewChild<TRecGraphic>(Plain, L"PlainLabel");
        Hooked = New<TSkinnedForm>(Application);
        Hooked->SetName(L"Hooked");
        NewChild<TRecPanel>(Hooked, L"HookedPanel", true)->HandleNeeded();
        Hooked->Show();
        IntSkinForm(Hooked);
        Manager.reset(NewManager());
        Hooked->Provider->Manager = Manager.get();
        Manager->OnBeforeChange = Bind(this, &SkinChange::Before);
        Manager->OnAfterChange = Bind(this, &SkinChange::After);
        Log().clear();
    }
    void TearDown() override
    {
        IntUnSkinForm(Hooked);
        Manager.reset();
        FreeAndNil(Hooked);
        FreeAndNil(Plain);
        Log().clear();
    }
    void Before(TObject*) { Log().push_back({L"Manager", kBeforeChange, 0}); }
    void After(TObject*) { Log().push_back({L"Manager", kAfterChange, 0}); }

    std::vector<TEntry> Told(int Cmd)
    {
        const LPARAM manager = reinterpret_cast<LPARAM>(Manager.get());
        return {{L"Plain", Cmd, manager}, {L"PlainLabel", Cmd, manager}, {L"Hooked", Cmd, manager},
                {L"HookedPanel", Cmd, manager}};
    }

    TRecForm* Plain = nullptr;
    TSkinnedForm* Hooked = nullptr;
    std::unique_ptr<TsSkinManager> Manager;
};

void Append(std::vector<TEntry>& To, const std::vector<TEntry>& What)
{
    To.insert(To.end(), What.begin(), What.end());
}

} // namespace

TEST_F(SkinChange, EveryWindowHearsEachStepOnceAndInOrder)
{
    Manager->SetSkinName(BuiltinName());

    std::vector<TEntry> expected{{L"Manager", kBeforeChange, 0},
                                // the new skin's announcement, with the skinned form frozen
                                {L"Provider", kFrozen, 0},
                                {L"Hooked", kRedrawOff, 0}};
    Append(expected, Told(SMC_SKIN_SET));
    Append(expected, Told(SMC_STOP_FADING));
    Append(expected, {{L"Provider", kFrozen, 0}, {L"Hooked", kRedrawOff, 0}});
    Append(expected, Told(SMC_SKIN_REFRESH));
    // The fade into the new look lets the form draw, then the unlocking does.
    Append(expected, {{L"Hooked", kRedrawOn, 0}, {L"Hooked", kRedrawOn, 0}, {L"Provider", kThawed, 0},
                      {L"Manager", kAfterChange, 0}});
    EXPECT_EQ(Log(), expected);
    EXPECT_FALSE(aSkinChanging);
    EXPECT_FALSE(InAnimationProcess);
}

TEST_F(SkinChange, RepaintAndSectionBroadcasts)
{
    Manager->RepaintForms();
    EXPECT_EQ(ReceiversOf(SMC_SKIN_REFRESH), (std::vector<std::wstring>{L"Plain", L"PlainLabel", L"Hooked", L"HookedPanel"}));
    EXPECT_EQ(CommandsOf(L"Hooked"),
              (std::vector<int>{SMC_STOP_FADING, kRedrawOff, SMC_SKIN_REFRESH, kRedrawOn, kRedrawOn}));
    // Without the skin-change animation the form is only unlocked.
    Manager->AnimEffects()->SkinChanging()->SetActive(false);
    Log().clear();
    Manager->RepaintForms();
    EXPECT_EQ(CommandsOf(L"Hooked"), (std::vector<int>{SMC_STOP_FADING, kRedrawOff, SMC_SKIN_REFRESH, kRedrawOn}));

    Log().clear();
    Manager->UpdateSkinSection(L"button");
    EXPECT_EQ(GlobalSectionName, L"BUTTON");
    EXPECT_EQ(ReceiversOf(SMC_SECTION_UPDATE).size(), 4u);
}

TEST_F(SkinChange, NoFreezingWhileTheApplicationIsMinimized)
{
    ::ShowWindow(Application->Handle(), SW_MINIMIZE);
    if (!::IsIconic(Application->Handle()))
        GTEST_SKIP() << "the application window cannot be minimized here";
    Manager->SetSkinName(BuiltinName());
    ::ShowWindow(Application->Handle(), SW_RESTORE);
    EXPECT_TRUE(ReceiversOf(kRedrawOff).empty());
    EXPECT_EQ(ReceiversOf(SMC_SKIN_REFRESH).size(), 4u);
}

TEST_F(SkinChange, BetweenBeginAndEndUpdateTheSkinLoadsButNobodyIsTold)
{
    Manager->BeginUpdate();
    Manager->SetSkinName(BuiltinName());
    EXPECT_TRUE(ReceiversOf(SMC_SKIN_SET).empty());
    EXPECT_FALSE(Manager->SkinData->Active);
    Manager->EndUpdate(false);
    EXPECT_EQ(ReceiversOf(SMC_SKIN_SET).size(), 4u);
    EXPECT_TRUE(Manager->SkinData->Active);
    EXPECT_FALSE(NonAutoUpdate);
}

TEST_F(SkinChange, WithoutAnySkinTheManagerTurnsItselfOffAndRemovesTheSkin)
{
    Manager->InternalSkins()->Clear();
    Manager->SetSkinName(L"Nowhere");
    EXPECT_FALSE(Manager->Active());
    EXPECT_FALSE(Manager->SkinData->Active);
    EXPECT_TRUE(Manager->gd.empty());
    EXPECT_EQ(ReceiversOf(SMC_SKIN_REMOVE).size(), 4u);
    EXPECT_EQ(Manager->GetSkinInfo(), L"N/A");
}

TEST_F(SkinChange, AnUnknownNameFallsBackToTheFirstInternalSkin)
{
    AddBuiltin(Manager.get(), L"Another");
    Manager->SetSkinName(L"No such skin");
    EXPECT_EQ(Manager->SkinName(), BuiltinName());
    EXPECT_TRUE(Manager->SkinData->Active);
}

TEST_F(SkinChange, TheHoveredWindowIsToldWhenItChanges)
{
    Manager->SetActiveControl(Hooked->Handle());
    Manager->SetActiveControl(Hooked->Handle());
    Manager->SetActiveControl(Plain->Handle());
    Manager->SetActiveControl(nullptr);
    const LPARAM m = reinterpret_cast<LPARAM>(Manager.get());
    EXPECT_EQ(Log(), (std::vector<TEntry>{{L"Hooked", SMC_MOUSE_ENTER, m},
                                          {L"Hooked", SMC_MOUSE_LEAVE, m},
                                          {L"Plain", SMC_MOUSE_ENTER, m},
                                          {L"Plain", SMC_MOUSE_LEAVE, m}}));
}

TEST_F(SkinChange, ApplicationWindowHook)
{
    TMessage theme = MakeMessage(WM_THEMECHANGED);
    EXPECT_TRUE(Manager->MainWindowHook(theme));
    // Activation repaints every form at once.
    TMessage activate = MakeMessage(0xB000);
    EXPECT_FALSE(Manager->MainWindowHook(activate));
    EXPECT_EQ(CommandsOf(L"Plain"), (std::vector<int>{SMC_REPAINT_NOW}));
    EXPECT_EQ(CommandsOf(L"Hooked"), (std::vector<int>{SMC_REPAINT_NOW}));
    // A menu border request that finds no popup is still answered.
    TMessage border = MakeMessage(0xBCB4, 0, 0);
    EXPECT_TRUE(Manager->MainWindowHook(border));

    Manager->SetSkinnedPopups(false);
    for (UINT msg : {UINT(WM_THEMECHANGED), UINT(0xBCB3), UINT(0xBCB4)}) {
        TMessage m = MakeMessage(msg);
        EXPECT_FALSE(Manager->MainWindowHook(m)) << msg;
    }
}

TEST_F(SkinChange, AFormFreedDuringTheBroadcastIsSkippedAndTheRestStillHear)
{
    TRecForm* victim = NewForm(L"Victim");
    TRecForm* killer = NewForm(L"Killer");  // reached first: the walk goes from the last form
    killer->Rec.OnCommand = [&](TControl*, int cmd, TMessage&) {
        if (cmd == SMC_SKIN_SET)
            FreeAndNil(victim);
    };
    Manager->UpdateSkin();
    EXPECT_EQ(victim, nullptr);
    EXPECT_EQ(ReceiversOf(SMC_SKIN_SET),
              (std::vector<std::wstring>{L"Killer", L"Plain", L"PlainLabel", L"Hooked", L"HookedPanel"}));
    FreeAndNil(killer);
}

TEST_F(SkinChange, AFormUnskinnedAndFreedByAnotherLeavesNoSkinnedFormUntold)
{
    // Skinned forms A, B, C after Hooked; B's handler unskins and frees A,
    // which moves the list's last entry into A's place.
    std::vector<TSkinnedForm*> forms;
    for (const wchar_t* name : {L"A", L"B", L"C"}) {
        auto* f = New<TSkinnedForm>(Application);
        f->SetName(name);
        IntSkinForm(f);
        forms.push_back(f);
    }
    TSkinnedForm* a = forms[0];
    forms[1]->Rec.OnCommand = [&, inner = forms[1]->Rec.OnCommand](TControl* Self, int cmd, TMessage& m) {
        inner(Self, cmd, m);
        if (cmd == SMC_SKIN_SET && a) {
            IntUnSkinForm(a);
            FreeAndNil(a);
        }
    };
    Manager->UpdateSkin();
    EXPECT_EQ(ReceiversOf(SMC_SKIN_SET), (std::vector<std::wstring>{L"Plain", L"PlainLabel", L"Hooked", L"HookedPanel",
                                                                     L"A", L"B", L"C"}));
    for (TSkinnedForm* f : {forms[1], forms[2]}) {
        IntUnSkinForm(f);
        delete f;
    }
}

TEST_F(SkinChange, AFormHiddenDuringTheAnnouncementIsThawedAndShowsAgain)
{
    const auto inner = Hooked->Rec.OnCommand;
    Hooked->Rec.OnCommand = [&](TControl* Self, int cmd, TMessage& m) {
        inner(Self, cmd, m);
        if (cmd == SMC_SKIN_SET)
            Hooked->Hide();
    };
    Manager->SetSkinName(BuiltinName());
    EXPECT_FALSE(Hooked->Provider->Frozen);
    EXPECT_FALSE(::IsWindowVisible(Hooked->Handle())) << "thawing does not show a hidden form";
    Hooked->Rec.OnCommand = inner;
    Hooked->Show();
    EXPECT_TRUE(::IsWindowVisible(Hooked->Handle()));
    // The next change freezes and thaws it as any other.
    Log().clear();
    Manager->RepaintForms();
    EXPECT_EQ(CommandsOf(L"Hooked"),
              (std::vector<int>{SMC_STOP_FADING, kRedrawOff, SMC_SKIN_REFRESH, kRedrawOn, kRedrawOn}));
    EXPECT_FALSE(Hooked->Provider->Frozen);
}

TEST_F(SkinChange, AFailingAnnouncementThawsTheFormsItFroze)
{
    auto* grumpy = NewChild<TRecGraphic>(Hooked, L"Grumpy");
    grumpy->Rec.OnCommand = [](TControl*, int cmd, TMessage&) {
        if (cmd == SMC_SKIN_SET)
            throw Exception(L"cannot take it");
    };
    EXPECT_THROW(Manager->SetSkinName(BuiltinName()), Exception);
    EXPECT_EQ(CommandsOf(L"Hooked"), (std::vector<int>{kRedrawOff, SMC_SKIN_SET, kRedrawOn}));
    EXPECT_FALSE(Hooked->Provider->Frozen);
    EXPECT_TRUE(::IsWindowVisible(Hooked->Handle()));
    EXPECT_FALSE(InAnimationProcess);
}
