// The control adapter of a skinned form: which controls it wraps (by the
// manager's class lists, by Tag and by the provider's OnSkinItem), what it
// gives back when the skin goes (colours, transparency, WindowProc), controls
// coming and going while skinned, teardown in every order, and the viewer's
// message form, whose push buttons it wraps.
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "../manager/ManagerFixture.h"
#include "../wrappers/StdWrapFixture.h"
#include "classlib/controls/Buttons.h"
#include "classlib/controls/ComCtrls.h"
#include "classlib/controls/Dialogs.h"
#include "classlib/controls/ExtCtrls.h"
#include "classlib/controls/StdCtrls.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSkinManager.h"
#include "skin/forms/kvDials.h"
#include "skin/forms/sFrameAdapter.h"
#include "skin/forms/sSkinProvider.h"
#include "skin/forms/sSkinProvider_Adapter.h"
#include "skin/wrappers/kvSBUtils_Buttons.h"
#include "skin/wrappers/kvSBUtils_Edits.h"
#include "skin/wrappers/kvSBUtils_ListView.h"
#include "skin/wrappers/kvSBUtils_SpeedButton.h"
#include "skin/wrappers/kvSBUtils_Scroll.h"
#include "support/ResourceCount.h"

using namespace managertest;
using stdwraptest::DiffCount;
using stdwraptest::Printed;
using stdwraptest::SaveArtifact;
using stdwraptest::Section;

namespace {

const bool Registered = [] {
    RegisterSkinFormsServices();
    return true;
}();

// A WindowProc of the application's own on a control, put there before the
// skin comes.
struct TAppProc {
    TControl* Control = nullptr;
    TWndMethod Old;
    int Heard = 0;
    void Attach(TControl* C)
    {
        Control = C;
        Old = C->WindowProc;
        C->WindowProc = Method();
    }
    void Proc(TMessage& Message)
    {
        ++Heard;
        Old(Message);
    }
    TWndMethod Method() { return TWndMethod(this, &TAppProc::Proc); }
};

bool Skinned(TWinControl* C)
{
    return C->HandleAllocated() && C->Perform(SM_KORVEXCMD, MakeKorvexWParam(SMC_IS_SKINNED), 0) == 1;
}

TkvMainWnd* WrapperOf(TWinControl* C)
{
    return C->HandleAllocated() ? Kv_GetScrollWndFromHwnd(C->Handle()) : nullptr;
}

template <class T>
T* Place(TComponent* Owner, TWinControl* Parent, int Left, int Top, int Width = 75, int Height = 25)
{
    T* c = New<T>(Owner);
    c->SetParent(Parent);
    c->SetBounds(Left, Top, Width, Height);
    return c;
}

// A form with what a skinned application typically holds.
struct TTestForm {
    TForm* Form;
    TButton* Button;         // listed ("TButton"), on the form
    TButton* Nested;         // listed, inside a panel
    TButton* Own;            // Tag -98: one of the library's own
    TEdit* Edit;             // listed by the test, with a colour of its own
    TListBox* List;          // listed by the test
    TPanel* Panel;           // not listed
    TLabel* Label;           // red, opaque
    TLabel* Kept;            // Tag 98, on the form
    TLabel* KeptInPanel;     // Tag 98, inside the panel (owned by the form)
    TLabel* PanelLabel;      // inside the panel
    // What the provider's OnSkinItem answers: Veto is refused, Renamed gets
    // RenamedTo; the others keep the section their wrapper names.
    TControl* Veto = nullptr;
    TControl* Renamed = nullptr;
    UnicodeString RenamedTo;

    void Choose(TObject* Item, bool& CanBeAdded, UnicodeString& SkinSection)
    {
        if (Item == Veto)
            CanBeAdded = false;
        if (Item == Renamed)
            SkinSection = RenamedTo;
    }

    // FormProc: a WindowProc of the application's own put on the form
    // before the skin takes it.
    explicit TTestForm(TFormBorderStyle Style = bsSizeable, TAppProc* FormProc = nullptr)
    {
        Form = TForm::CreateNew(Application);
        Form->SetBorderStyle(Style);
        Form->SetBounds(60, 60, 360, 260);
        Button = Place<TButton>(Form, Form, 8, 8);
        Own = Place<TButton>(Form, Form, 8, 40);
        Own->SetTag(-98);
        Edit = Place<TEdit>(Form, Form, 100, 8, 120, 21);
        Edit->SetColor(clYellow);
        List = Place<TListBox>(Form, Form, 100, 40, 120, 60);
        for (int i = 0; i < 20; ++i)
            List->Items()->Add(L"line");
        Label = Place<TLabel>(Form, Form, 8, 110);
        Label->Font()->SetColor(clRed);
        Label->SetTransparent(false);
        Kept = Place<TLabel>(Form, Form, 8, 130);
        Kept->SetTag(98);
        Kept->Font()->SetColor(clGreen);
        Kept->SetTransparent(false);
        Panel = Place<TPanel>(Form, Form, 230, 8, 110, 150);
        Nested = Place<TButton>(Form, Panel, 8, 8);
        KeptInPanel = Place<TLabel>(Form, Panel, 8, 50);
        KeptInPanel->SetTag(98);
        KeptInPanel->Font()->SetColor(clGreen);
        KeptInPanel->SetTransparent(false);
        PanelLabel = Place<TLabel>(Form, Panel, 8, 70);
        PanelLabel->SetTransparent(false);
        if (FormProc)
            FormProc->Attach(Form);
        // The provider comes with the window; the controls are wrapped when
        // the form shows.
        Form->HandleNeeded();
        if (TsSkinProvider* sp = Provider())
            sp->OnSkinItem = TAddItemEvent(this, &TTestForm::Choose);
    }
    TTestForm(const TTestForm&) = delete;
    void Show()
    {
        Form->Show();
        Application->ProcessMessages();
        ::UpdateWindow(Form->Handle());
        Application->ProcessMessages();
    }
    TsSkinProvider* Provider() const { return GetSkinProvider(Form); }
    TkvCtrlAdapter* Adapter() const
    {
        TsSkinProvider* sp = Provider();
        return sp ? sp->Adapter : nullptr;
    }
};

class Adapter : public testing::Test {
public:
    void SetUp() override
    {
        ASSERT_TRUE(Registered);
        ::SetCursorPos(0, 0);  // no real mouse over the forms (the cursor is the Wine server's)
        Manager.reset(NewManager());
        ASSERT_EQ(DefaultManager, Manager.get());
        List(tpEdit, L"TEdit\nTListBox");
    }
    void TearDown() override
    {
        Manager.reset();
        Application->ProcessMessages();
    }
    void List(TkvThirdPartyTypes Kind, const wchar_t* Names) { Manager->ThirdLists[Kind]->SetText(Names); }
    TColor SkinFont() const { return Manager->GetGlobalFontColor(); }
    void Free(TObject* O) { FreeAndNil(O); }

    std::unique_ptr<TsSkinManager> Manager;
};

} // namespace

TEST_F(Adapter, WrapsTheListedControlsOfEveryBorderStyle)
{
    for (TFormBorderStyle style : {bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin}) {
        SCOPED_TRACE(int(style));
        TTestForm f(style);
        TOwned<TForm> owned(f.Form);
        f.Show();
        ASSERT_NE(f.Adapter(), nullptr);
        EXPECT_NE(dynamic_cast<TkvBtnWnd*>(WrapperOf(f.Button)), nullptr);
        EXPECT_NE(dynamic_cast<TkvBtnWnd*>(WrapperOf(f.Nested)), nullptr) << "found inside the panel";
        EXPECT_NE(dynamic_cast<TkvEditWnd*>(WrapperOf(f.Edit)), nullptr);
        EXPECT_NE(dynamic_cast<TkvEditWnd*>(WrapperOf(f.List)), nullptr);
        EXPECT_FALSE(Skinned(f.Own)) << "Tag -98";
        EXPECT_FALSE(Skinned(f.Panel)) << "not listed";
        EXPECT_EQ(f.Adapter()->Count(), 4) << "one item per wrapper, none left for the others";

        for (TLabel* l : {f.Label, f.PanelLabel}) {
            EXPECT_EQ(l->Font()->Color(), SkinFont());
            EXPECT_TRUE(l->Transparent());
        }
        for (TLabel* l : {f.Kept, f.KeptInPanel}) {
            EXPECT_EQ(l->Font()->Color(), clGreen) << "Tag 98 keeps its look wherever the label is";
            EXPECT_FALSE(l->Transparent());
        }
    }
}

TEST_F(Adapter, ClassListsAreExactAndRulesCanSwitchTheAdapterOff)
{
    List(tpEdit, L"tedit\nTListBox");  // case counts
    List(tpButton, L" ");
    List(tpSpeedButton, L"TEdit");     // a list without a wrapper
    {
        TTestForm f;
        TOwned<TForm> owned(f.Form);
        f.Show();
        EXPECT_FALSE(Skinned(f.Edit));
        EXPECT_FALSE(Skinned(f.Button));
        EXPECT_TRUE(Skinned(f.List));
        EXPECT_EQ(f.Adapter()->Count(), 1);
    }
    Manager->SetFSkinningRules(TkvSkinningRules{srStdForms, srStdDialogs});
    List(tpButton, L"TButton");
    TTestForm f;
    TOwned<TForm> owned(f.Form);
    f.Show();
    ASSERT_NE(f.Provider(), nullptr);
    EXPECT_FALSE(Skinned(f.Button));
    EXPECT_EQ(f.Label->Font()->Color(), clRed) << "without srThirdParty labels are left alone too";
}

TEST_F(Adapter, OnSkinItemVetoesAndNamesTheSection)
{
    TTestForm f;
    TOwned<TForm> owned(f.Form);
    f.Veto = f.Button;
    f.Renamed = f.Nested;
    f.RenamedTo = L"CHECKBOX";
    f.Show();
    EXPECT_FALSE(Skinned(f.Button));
    ASSERT_TRUE(Skinned(f.Nested));
    EXPECT_EQ(WrapperOf(f.Nested)->SkinData->SkinSection(), UnicodeString(L"CHECKBOX"));
    EXPECT_EQ(WrapperOf(f.Edit)->SkinData->SkinSection(), UnicodeString(L"EDIT")) << "left as it was";

    // Without the event: the wrapper's own section.
    f.Provider()->OnSkinItem = TAddItemEvent();
    TEdit* plain = Place<TEdit>(f.Form, f.Form, 8, 200, 80, 21);
    plain->HandleNeeded();
    ASSERT_NE(WrapperOf(plain), nullptr);
    EXPECT_EQ(WrapperOf(plain)->SkinData->SkinSection(), UnicodeString(L"EDIT"));
    EXPECT_TRUE(Skinned(plain));

    TTestForm g;
    TOwned<TForm> owned2(g.Form);
    g.Veto = g.Label;
    g.Show();
    EXPECT_EQ(g.Label->Font()->Color(), clRed) << "a vetoed label keeps its colour";
    EXPECT_EQ(g.PanelLabel->Font()->Color(), SkinFont());
}

TEST_F(Adapter, FramesGetAFrameAdapterOnceAndTheirControlsAreWrapped)
{
    auto frameAdapters = [](TFrame* F) {
        int n = 0;
        for (int i = 0; i < F->ComponentCount(); ++i)
            if (auto* a = dynamic_cast<TsFrameAdapter*>(F->Components(i))) {
                ++n;
                EXPECT_EQ(a->SkinData()->SkinSection(), UnicodeString(L"GROUPBOX"));
            }
        return n;
    };
    TTestForm f;
    TOwned<TForm> owned(f.Form);
    auto* frame = Place<TFrame>(f.Form, f.Form, 8, 160, 200, 80);
    auto* onFrame = Place<TButton>(f.Form, frame, 8, 8);
    auto* refused = Place<TFrame>(f.Form, f.Form, 220, 160, 100, 80);
    f.Veto = refused;
    f.Show();
    EXPECT_EQ(frameAdapters(frame), 1);
    EXPECT_TRUE(Skinned(frame));
    EXPECT_TRUE(Skinned(onFrame)) << "the walk goes into the frame";
    EXPECT_EQ(frameAdapters(refused), 0) << "OnSkinItem refused it";

    // Skin changes walk the form again: the frame keeps its one adapter.
    Manager->SetActive(false);
    Manager->SetActive(true);
    Application->ProcessMessages();
    EXPECT_EQ(frameAdapters(frame), 1);
    EXPECT_TRUE(Skinned(onFrame));
}

TEST_F(Adapter, SkinRemovalGivesBackWhatTheApplicationSet)
{
    TTestForm f;
    TOwned<TForm> owned(f.Form);
    TAppProc app;
    app.Attach(f.Button);
    const TColor panelLabelOwn = f.PanelLabel->Font()->Color();
    f.Show();
    ASSERT_TRUE(Skinned(f.Button));
    ::UpdateWindow(f.Edit->Handle());
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        EXPECT_NE(f.Edit->Color(), clYellow) << "the skin's colour while skinned";
        Manager->SetActive(false);
        EXPECT_EQ(f.Provider()->Adapter, nullptr);
        EXPECT_FALSE(Skinned(f.Button));
        EXPECT_TRUE(f.Button->WindowProc == app.Method());
        app.Heard = 0;
        f.Button->Perform(WM_APP, 0, 0);
        EXPECT_EQ(app.Heard, 1);
        EXPECT_EQ(f.Edit->Color(), clYellow);
        EXPECT_EQ(f.Label->Font()->Color(), clRed) << "not clWindowText";
        EXPECT_FALSE(f.Label->Transparent());
        EXPECT_EQ(f.PanelLabel->Font()->Color(), panelLabelOwn);
        EXPECT_FALSE(f.PanelLabel->Transparent());
        EXPECT_EQ(f.Kept->Font()->Color(), clGreen);

        Manager->SetActive(true);
        Application->ProcessMessages();
        ::UpdateWindow(f.Edit->Handle());
        EXPECT_TRUE(Skinned(f.Button));
        EXPECT_EQ(f.Label->Font()->Color(), SkinFont());
    }

    // A colour the application gives while skinned is the one that stays.
    f.Label->Font()->SetColor(clBlue);
    Manager->SetActive(false);
    EXPECT_EQ(f.Label->Font()->Color(), clBlue);
}

TEST_F(Adapter, ListedListViewsAndSpeedButtonsAreSkinnedAndGivenBack)
{
    List(tpListView, L"TListView");
    List(tpSpeedButton, L"TSpeedButton");
    TTestForm f;
    TOwned<TForm> owned(f.Form);
    auto* view = Place<TListView>(f.Form, f.Form, 8, 160, 200, 80);
    view->SetViewStyle(vsReport);
    view->Columns()->Add()->SetCaption(L"Name");
    auto* speed = Place<TSpeedButton>(f.Form, f.Form, 220, 170);
    TAppProc app;
    app.Attach(speed);
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        f.Show();
        auto* w = dynamic_cast<TkvListViewWnd*>(WrapperOf(view));
        ASSERT_NE(w, nullptr);
        EXPECT_NE(w->FhWndHeader, nullptr) << "the report view's header is taken";
        EXPECT_EQ(speed->Perform(SM_KORVEXCMD, MakeKorvexWParam(SMC_IS_SKINNED), 0), 1);
        EXPECT_FALSE(speed->WindowProc == app.Method());

        Manager->SetActive(false);
        EXPECT_FALSE(Skinned(view));
        EXPECT_TRUE(speed->WindowProc == app.Method()) << "the speed button's own WindowProc back";
        Manager->SetActive(true);
        Application->ProcessMessages();
    }
}

TEST_F(Adapter, ProviderGoingWhileItsFormStaysGivesTheControlsBack)
{
    TTestForm f;
    TOwned<TForm> owned(f.Form);
    TAppProc app;
    app.Attach(f.Edit);
    f.Show();
    ::UpdateWindow(f.Edit->Handle());
    ASSERT_TRUE(Skinned(f.Edit));
    ASSERT_NE(f.Edit->Color(), clYellow);
    Free(f.Provider());
    EXPECT_FALSE(Skinned(f.Edit));
    EXPECT_TRUE(f.Edit->WindowProc == app.Method());
    EXPECT_EQ(f.Edit->Color(), clYellow);
    EXPECT_EQ(f.Label->Font()->Color(), clRed);
    EXPECT_FALSE(f.Label->Transparent());
}

TEST_F(Adapter, ControlsInsertedAndRemovedWhileSkinned)
{
    TTestForm f;
    TOwned<TForm> owned(f.Form);
    f.Show();
    TkvCtrlAdapter* a = f.Adapter();
    ASSERT_NE(a, nullptr);
    const int items = a->Count();

    // Made later on the form: wrapped as its window comes.  Deep inside a
    // container the form hears nothing of the new window (the system tells
    // only the direct parent): wrapped at the next walk.
    TButton* late = Place<TButton>(f.Form, f.Form, 8, 160);
    late->HandleNeeded();
    EXPECT_TRUE(Skinned(late));
    TButton* deep = Place<TButton>(f.Form, f.Panel, 8, 100);
    deep->HandleNeeded();
    ::SendMessageW(f.Form->Handle(), SM_KORVEXCMD, MakeKorvexWParam(SMC_ADD_TO_ADAPTER), 0);
    EXPECT_TRUE(Skinned(deep));
    EXPECT_EQ(a->Count(), items + 2);
    TLabel* lateLabel = Place<TLabel>(f.Form, f.Form, 8, 190);
    ::SendMessageW(f.Form->Handle(), SM_KORVEXCMD, MakeKorvexWParam(SMC_ADD_TO_ADAPTER), 0);
    EXPECT_EQ(lateLabel->Font()->Color(), SkinFont());
    EXPECT_EQ(a->Labels().size(), 3u);

    // Freed: its item and label record go at once.
    Free(late);
    Free(lateLabel);
    EXPECT_EQ(a->Count(), items + 1);
    EXPECT_EQ(a->Labels().size(), 2u);

    // Taken out of the form: the wrapper dies with the window, the next walk
    // drops the item, and the control is wrapped again when it comes back.
    deep->SetParent(nullptr);
    ::SendMessageW(f.Form->Handle(), SM_KORVEXCMD, MakeKorvexWParam(SMC_ADD_TO_ADAPTER), 0);
    EXPECT_EQ(a->Count(), items);
    deep->SetParent(f.Form);
    deep->HandleNeeded();
    Application->ProcessMessages();
    EXPECT_TRUE(Skinned(deep));
    EXPECT_EQ(a->Count(), items + 1);

    // A new window for the same control is wrapped again, in the same item.
    f.Button->RecreateWnd();
    f.Button->HandleNeeded();
    Application->ProcessMessages();
    EXPECT_TRUE(Skinned(f.Button));
    EXPECT_EQ(a->Count(), items + 1);
    EXPECT_EQ(a->IndexOf(f.Button) >= 0, true);
}

TEST_F(Adapter, FormsFreedInEveryOrder)
{
    struct TCase {
        const char* What;
        void (*Before)(Adapter*, TTestForm&);
    } cases[] = {
        {"form alone", [](Adapter*, TTestForm&) {}},
        {"provider first", [](Adapter* t, TTestForm& f) { t->Free(f.Provider()); }},
        {"manager first", [](Adapter* t, TTestForm&) { t->Manager.reset(); }},
        {"skin removed first", [](Adapter* t, TTestForm&) { t->Manager->SetActive(false); }},
        {"wrapped controls first",
         [](Adapter* t, TTestForm& f) {
             t->Free(f.Button);
             t->Free(f.Panel);  // with the nested button and two labels
             t->Free(f.Label);
         }},
        {"window first", [](Adapter*, TTestForm& f) { ::DestroyWindow(f.Form->Handle()); }},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.What);
        if (!Manager)
            Manager.reset(NewManager());
        Manager->SetActive(true);
        List(tpEdit, L"TEdit\nTListBox");
        TTestForm f;
        TAppProc app;
        app.Attach(f.Edit);
        f.Show();
        EXPECT_TRUE(Skinned(f.Edit));  // the form is freed below whatever happens
        c.Before(this, f);
        Application->ProcessMessages();
        Free(f.Form);
        Application->ProcessMessages();
    }
}

TEST_F(Adapter, AutoScrollingFormGetsSkinnedBarsThatGoBeforeTheProvider)
{
    TAppProc app;
    TTestForm f(bsSizeable, &app);
    TOwned<TForm> owned(f.Form);
    Place<TButton>(f.Form, f.Form, 500, 400);  // beyond the client area: bars
    f.Show();
    TsSkinProvider* sp = f.Provider();
    ASSERT_NE(sp, nullptr);
    ASSERT_NE(sp->ListSW, nullptr);
    EXPECT_EQ(Kv_GetScrollWrapper(f.Form->Handle()), sp->ListSW);
    {
        // The frame's geometry counts the bars: the client area lies where
        // the window image puts it, and the square between the bars is known.
        const TsFrameMetrics m = sp->Metrics();
        EXPECT_GT(m.Facts().VScrollWidth, 0);
        EXPECT_GT(m.Facts().HScrollHeight, 0);
        EXPECT_FALSE(m.Facts().ScrollCorner.IsEmpty());
        RECT w;
        ::GetWindowRect(f.Form->Handle(), &w);
        POINT client{0, 0};
        ::ClientToScreen(f.Form->Handle(), &client);
        EXPECT_EQ(m.OffsetX(), int(client.x - w.left));
        EXPECT_EQ(m.OffsetY(), int(client.y - w.top));
        EXPECT_EQ(m.Facts().ScrollCorner.right, int(w.right - w.left) - m.OffsetX());
    }

    sp->SetDrawNonClientArea(false);
    EXPECT_EQ(sp->ListSW, nullptr) << "the bars live in the frame the provider draws";
    sp->SetDrawNonClientArea(true);
    EXPECT_NE(sp->ListSW, nullptr);

    Manager->SetActive(false);
    EXPECT_EQ(sp->ListSW, nullptr);
    EXPECT_EQ(Kv_GetScrollWndFromHwnd(f.Form->Handle()), nullptr);
    Manager->SetActive(true);
    Application->ProcessMessages();
    ASSERT_NE(sp->ListSW, nullptr);

    Free(sp);
    EXPECT_EQ(Kv_GetScrollWndFromHwnd(f.Form->Handle()), nullptr);
    EXPECT_TRUE(f.Form->WindowProc == app.Method()) << "the scroll wrapper left the chain before the provider";

    TTestForm g;
    TOwned<TForm> owned2(g.Form);
    g.Form->SetAutoScroll(false);
    g.Show();
    EXPECT_EQ(g.Provider()->ListSW, nullptr);
}

TEST_F(Adapter, NoResourceGrowthOverRepeatedSkinChanges)
{
    TTestForm f;
    TOwned<TForm> owned(f.Form);
    Place<TButton>(f.Form, f.Form, 500, 400);
    f.Show();
    auto cycle = [&] {
        Manager->SetActive(false);
        Application->ProcessMessages();
        Manager->SetActive(true);
        Application->ProcessMessages();
        ::UpdateWindow(f.Form->Handle());
        ::RedrawWindow(f.Form->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    };
    for (int i = 0; i < 3; ++i)
        cycle();
    ASSERT_TRUE(Skinned(f.Button));
    const TResourceCount before = CountResources();
    for (int i = 0; i < 30; ++i)
        cycle();
    EXPECT_TRUE(NoResourceGrowth(before, CountResources()));
    EXPECT_TRUE(Skinned(f.List));
}

TEST_F(Adapter, MessageFormPushButtonsAreWrappedAndPaintedFromTheSkin)
{
    List(tpEdit, L" ");  // the manager's own lists: only "TButton"
    TOwned<TForm> form(CreateMessageDialog(L"Save the changes?", mtConfirmation,
                                           TMsgDlgButtons{mbYes, mbNo, mbCancel}));
    auto* mf = dynamic_cast<TMessageForm*>(form.get());
    ASSERT_NE(mf, nullptr);
    form->Show();
    Application->ProcessMessages();
    ::UpdateWindow(form->Handle());
    for (TMsgDlgBtn b : {mbYes, mbNo, mbCancel}) {
        TButton* button = mf->Button(b);
        ASSERT_NE(button, nullptr);
        auto* w = dynamic_cast<TkvBtnWnd*>(WrapperOf(button));
        ASSERT_NE(w, nullptr) << int(b);
        // The button's frame is the skin's BUTTON section (its caption aside).
        const int width = button->Width(), height = button->Height();
        TOwned<TBitmap> got = Printed(button->Handle());
        TOwned<TBitmap> want = Section(Manager.get(), L"BUTTON", button->Default() ? 1 : 0, width, height);
        EXPECT_EQ(DiffCount(got.get(), want.get(), TRect(4, 0, width - 4, 2)), 0) << int(b);
        EXPECT_EQ(DiffCount(got.get(), want.get(), TRect(4, height - 2, width - 4, height)), 0) << int(b);
    }
    EXPECT_EQ(mf->Message()->Font()->Color(), SkinFont());

    // The form as it shows on screen.
    TRect r;
    ::GetWindowRect(form->Handle(), &r);
    TOwned<TBitmap> shot(New<TBitmap>(r.Width(), r.Height(), pf24bit));
    HDC dc = ::GetWindowDC(form->Handle());
    ::BitBlt(shot->Canvas()->Handle(), 0, 0, r.Width(), r.Height(), dc, 0, 0, SRCCOPY);
    ::ReleaseDC(form->Handle(), dc);
    SaveArtifact(shot.get(), "adapter-message-form.png");
}

// Every list kind, one control of each on one form: each is wrapped by the
// wrapper of its list and answers "skinned".  Kinds whose controls the class
// library lacks are listed with a stand-in control of their own.
TEST_F(Adapter, EveryListKindGetsTheWrapperOfItsList)
{
    struct TKind {
        TkvThirdPartyTypes List;
        const wchar_t* ClassName;
        const wchar_t* Wrapper;
        std::function<TWinControl*(TForm*)> Make;
    };
    int row = 0;
    auto at = [&row](TForm* Form, auto* C) {
        C->SetParent(Form);
        C->SetBounds(8 + (row % 4) * 150, 8 + (row / 4) * 90, 140, 80);
        ++row;
        return static_cast<TWinControl*>(C);
    };
    const TKind kinds[] = {
        {tpEdit, L"TEdit", L"TkvEditWnd", [&](TForm* F) { return at(F, New<TEdit>(F)); }},
        {tpButton, L"TButton", L"TkvBtnWnd", [&](TForm* F) { return at(F, New<TButton>(F)); }},
        {tpBitBtn, L"TBitBtn", L"TkvBitBtnWnd", [&](TForm* F) { return at(F, New<TBitBtn>(F)); }},
        {tpCheckBox, L"TCheckBox", L"TkvCheckBoxWnd", [&](TForm* F) { return at(F, New<TCheckBox>(F)); }},
        {tpComboBox, L"TComboBox", L"TkvComboBoxWnd", [&](TForm* F) { return at(F, New<TComboBox>(F)); }},
        {tpGrid, L"TMemo", L"TkvGridWnd", [&](TForm* F) { return at(F, New<TMemo>(F)); }},
        {tpGroupBox, L"TGroupBox", L"TkvGroupBoxWnd", [&](TForm* F) { return at(F, New<TGroupBox>(F)); }},
        {tpListView, L"TListView", L"TkvListViewWnd", [&](TForm* F) { return at(F, New<TListView>(F)); }},
        {tpPanel, L"TPanel", L"TkvPanelWnd", [&](TForm* F) { return at(F, New<TPanel>(F)); }},
        {tpTreeView, L"TTreeView", L"TkvTreeViewWnd", [&](TForm* F) { return at(F, New<TTreeView>(F)); }},
        {tpwwEdit, L"TComboBoxEx", L"TkvWWComboBoxWnd", [&](TForm* F) { return at(F, New<TComboBoxEx>(F)); }},
        {tpGridEh, L"TListBox", L"TkvGridEhWnd", [&](TForm* F) { return at(F, New<TListBox>(F)); }},
        {tpVirtualTree, L"TScrollBox", L"TkvVirtualTreeViewWnd", [&](TForm* F) { return at(F, New<TScrollBox>(F)); }},
        {tpPageControl, L"TPageControl", L"TkvPageControlWnd",
         [&](TForm* F) {
             auto* pc = New<TPageControl>(F);
             at(F, pc);
             auto* sheet = New<TTabSheet>(F);
             sheet->SetPageControl(pc);
             sheet->SetCaption(L"Page");
             return static_cast<TWinControl*>(pc);
         }},
        {tpTabControl, L"TTabControl", L"TkvTabControlWnd",
         [&](TForm* F) {
             auto* tc = New<TTabControl>(F);
             at(F, tc);
             tc->Tabs()->Add(L"Tab");
             return static_cast<TWinControl*>(tc);
         }},
        {tpToolBar, L"TToolBar", L"TkvToolBarVCLWnd", [&](TForm* F) { return at(F, New<TToolBar>(F)); }},
        {tpStatusBar, L"TStatusBar", L"TkvStatusBarWnd", [&](TForm* F) { return at(F, New<TStatusBar>(F)); }},
    };
    ASSERT_EQ(std::size(kinds), size_t(tpSpeedButton)) << "a row for each windowed kind";
    for (const TKind& k : kinds)
        List(k.List, k.ClassName);

    TForm* form = TForm::CreateNew(Application);
    TOwned<TForm> owned(form);
    form->SetBounds(20, 20, 640, 480);
    std::vector<TWinControl*> controls;
    for (const TKind& k : kinds)
        controls.push_back(k.Make(form));
    form->Show();
    Application->ProcessMessages();
    ASSERT_NE(GetSkinProvider(form), nullptr);
    ASSERT_NE(GetSkinProvider(form)->Adapter, nullptr);
    for (size_t i = 0; i < std::size(kinds); ++i) {
        SCOPED_TRACE(kinds[i].ClassName);
        ASSERT_EQ(controls[i]->ClassName(), UnicodeString(kinds[i].ClassName));
        TkvMainWnd* w = WrapperOf(controls[i]);
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(w->ClassName(), UnicodeString(kinds[i].Wrapper));
        EXPECT_TRUE(Skinned(controls[i]));
    }
    EXPECT_EQ(GetSkinProvider(form)->Adapter->Count(), int(std::size(kinds)));

    // The skin going gives every one of them back.
    Manager->SetActive(false);
    for (TWinControl* c : controls)
        EXPECT_FALSE(Skinned(c)) << c->ClassName().c_str();
}
