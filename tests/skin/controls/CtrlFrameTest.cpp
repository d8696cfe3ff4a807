// The control frame through the smallest windowed control built on it: the
// command table, the cache protocol (rebuilt only when out of date, or
// while partly outside its parent), mouse and fades, the disabled look,
// hints given back when the control goes, and paints during a form
// animation.
#include <gtest/gtest.h>

#include <windows.h>

#include "ControlsFixture.h"
#include "skin/controls/sCtrlFrame.h"
#include "skin/core/sMessages.h"
#include "skin/core/sVclUtils.h"
#include "skin/paint/sFade.h"
#include "skin/paint/sGraphUtils_Sections.h"
#include "support/ResourceCount.h"

using namespace ctltest;

namespace {

class TFramedBox : public TCustomControl, public TsFrameHost {
public:
    explicit TFramedBox(TComponent* AOwner) : TCustomControl(AOwner)
    {
        FCommonData = New<TsCommonData>(this, true);
    }
    ~TFramedBox() override
    {
        Frame.reset();
        TsCommonData* d = FCommonData;
        FCommonData = nullptr;
        delete d;
    }
    std::unique_ptr<TsCtrlFrame> Frame = std::make_unique<TsCtrlFrame>(*this);
    TsCommonData* FCommonData;
    int Prepared = 0, Removed = 0, SetAdapted = 0;

    TWinControl* FrameControl() override { return this; }
    TsCommonData* FrameSkinData() override { return FCommonData; }
    void InheritedWndProc(TMessage& Message) override { TCustomControl::WndProc(Message); }
    void SkinSetAdapt() override { ++SetAdapted; }
    void SkinRemovedAdapt() override { ++Removed; }
    void PrepareCache() override
    {
        ++Prepared;
        const TCacheInfo ci = Frame->BeginCache();
        PaintItem(FCommonData, ci, true, ControlIsActive(FCommonData) ? 1 : 0, TRect(0, 0, Width(), Height()),
                  TPoint(Left(), Top()), FCommonData->FCacheBmp, true);
        Frame->EndCache();
    }
    void WndProc(TMessage& Message) override
    {
        if (Frame)
            Frame->WndProc(Message);
        else
            TCustomControl::WndProc(Message);
    }
};

TOwned<TBitmap> SectionOver(TsSkinManager* Manager, const wchar_t* Name, int State, int W, int H, TColor Back)
{
    TOwned<TBitmap> b(New<TBitmap>(W, H, pf24bit));
    TsCommonData data(nullptr, true);
    data.SetSkinManager(Manager);
    data.SetSkinSection(Name);
    TCacheInfo ci;
    ci.FillColor = Back;
    PaintItem(&data, ci, true, State, TRect(0, 0, W, H), TPoint(0, 0), b.get(), true);
    return b;
}

int DiffAt(TBitmap* A, const TRect& R, TBitmap* Want)
{
    int n = 0;
    for (int y = 0; y < R.Height(); ++y)
        for (int x = 0; x < R.Width(); ++x)
            n += Px(A, R.left + x, R.top + y) != Px(Want, x, y);
    return n;
}

class CtrlFrame : public ControlsTest {
protected:
    TFramedBox* NewBox(int X = 20, int Y = 20, const wchar_t* Section = L"BUTTON")
    {
        auto* b = New<TFramedBox>(Form.get());
        b->FCommonData->SetSkinSection(Section);
        b->Frame->AnimatEvents = TkvAnimatEvents{};
        b->SetBounds(X, Y, 60, 24);
        b->SetParent(Form.get());
        b->HandleNeeded();
        return b;
    }
    TOwned<TBitmap> Want(int State) { return SectionOver(Manager, L"BUTTON", State, 60, 24, FormColour()); }
    LRESULT Cmd(TControl* C, int Sub, LPARAM L) { return C->Perform(SM_KORVEXCMD, MakeKorvexWParam(Sub), L); }
};

TEST_F(CtrlFrame, CommandsOfOtherManagersPassAndOwnOnesAct)
{
    TFramedBox* unskinned = NewBox(20, 60, L"NOSUCHSECTION");
    EXPECT_FALSE(unskinned->FCommonData->Skinned());
    EXPECT_EQ(Cmd(unskinned, SMC_IS_SKINNED, 0), 1) << "answered unskinned too";

    TFramedBox* b = NewBox();
    int other = 0;
    for (int sub : {SMC_SKIN_SET, SMC_SKIN_REMOVE, SMC_SKIN_REFRESH})
        Cmd(b, sub, reinterpret_cast<LPARAM>(&other));
    EXPECT_EQ(b->SetAdapted + b->Removed, 0);
    EXPECT_TRUE(b->FCommonData->Skinned());
    EXPECT_EQ(Cmd(b, SMC_GET_APPLICATION, 0), reinterpret_cast<LRESULT>(Application));

    Cmd(b, SMC_SKIN_REMOVE, reinterpret_cast<LPARAM>(Manager));
    EXPECT_EQ(b->Removed, 1);
    EXPECT_FALSE(b->FCommonData->Skinned());
    Cmd(b, SMC_SKIN_SET, reinterpret_cast<LPARAM>(Manager));
    EXPECT_EQ(b->SetAdapted, 1);
    EXPECT_TRUE(b->FCommonData->Skinned());
}

TEST_F(CtrlFrame, TheCacheIsRebuiltOnlyWhenOutOfDate)
{
    TFramedBox* b = NewBox();
    EXPECT_EQ(DiffAt(Painted().get(), b->BoundsRect(), Want(0).get()), 0);
    const int first = b->Prepared;
    EXPECT_GE(first, 1);
    Painted();
    Painted();
    EXPECT_EQ(b->Prepared, first) << "a repaint copies the cache";
    b->FCommonData->Invalidate();
    Painted();
    EXPECT_EQ(b->Prepared, first + 1);

    // Partly outside the form's client area: rebuilt at every paint.
    TFramedBox* edge = NewBox(Form->ClientWidth() - 30, 20);
    Painted();
    const int n = edge->Prepared;
    Painted();
    EXPECT_EQ(edge->Prepared, n + 1);
}

TEST_F(CtrlFrame, MouseMakesItHotAndFadesStepToTheEnd)
{
    TFramedBox* b = NewBox();
    int entered = 0;
    struct TCounter {
        int* N;
        void Hit(TObject*) { ++*N; }
    } counter{&entered};
    b->OnMouseEnter = Bind(&counter, &TCounter::Hit);
    Painted();
    b->Perform(CM_MOUSEENTER, 0, 0);
    EXPECT_EQ(entered, 1);
    EXPECT_EQ(DiffAt(Painted().get(), b->BoundsRect(), Want(1).get()), 0);
    b->Perform(CM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(DiffAt(Painted().get(), b->BoundsRect(), Want(0).get()), 0);

    auto& g = Manager->gd[size_t(Manager->GetSkinIndex(L"BUTTON"))];
    g.FadingEnabled = true;
    g.FadingIterations = 4;
    b->Frame->AnimatEvents = TkvAnimatEvents{aeMouseEnter};
    b->Perform(CM_MOUSEENTER, 0, 0);
    ASSERT_NE(b->Frame->FadeTimer, nullptr);
    for (int i = 0; i < 10 && b->Frame->FadeTimer; ++i)
        b->Frame->FadeTimer->Timer();
    EXPECT_EQ(b->Frame->FadeTimer, nullptr) << "the timer's last step stops and frees it";
    EXPECT_EQ(DiffAt(Painted().get(), b->BoundsRect(), Want(1).get()), 0);

    // Freed in the middle of a fade.
    b->Perform(CM_MOUSELEAVE, 0, 0);
    b->Perform(CM_MOUSEENTER, 0, 0);
    ASSERT_NE(b->Frame->FadeTimer, nullptr);
    const TResourceCount before = CountResources();
    FreeAndNil(b);
    Painted();
    TResourceCount allowed;
    EXPECT_TRUE(NoResourceGrowth(before, CountResources(), allowed));
}

TEST_F(CtrlFrame, DisabledLookAndHintsGivenBackByAFreedHolder)
{
    TFramedBox* b = NewBox();
    b->Frame->DisabledKind = TsDisabledKind{dkGrayed};
    b->SetEnabled(false);
    b->FCommonData->Invalidate();
    auto got = Painted();
    const TRect r = b->BoundsRect();
    int coloured = 0;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x) {
            const TColor c = Px(got.get(), x, y);
            coloured += GetRValue(c) != GetGValue(c) || GetGValue(c) != GetBValue(c);
        }
    EXPECT_EQ(coloured, 0);

    Application->SetShowHint(true);
    b->Frame->Hints.Hold();
    EXPECT_FALSE(Application->ShowHint());
    TsHintHold other;
    other.Hold();  // someone holds them already: nothing to give back later
    EXPECT_FALSE(other.Holding());
    FreeAndNil(b);
    EXPECT_TRUE(Application->ShowHint());
    EXPECT_FALSE(ShowHintStored);
}

TEST_F(CtrlFrame, DuringAFormAnimationOnlyThePrintContextIsServed)
{
    TFramedBox* b = NewBox();
    Painted();
    TOwned<TBitmap> target(New<TBitmap>(60, 24, pf24bit));
    HDC dc = target->Canvas()->Handle();
    FillDC(dc, TRect(0, 0, 60, 24), clFuchsia);
    InAnimationProcess = true;
    b->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
    EXPECT_EQ(CountColor(target.get(), TRect(0, 0, 60, 24), ColorToRGB(clFuchsia)), 60 * 24);
    kvPrintDC = dc;
    b->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
    kvPrintDC = nullptr;
    InAnimationProcess = false;
    EXPECT_EQ(DiffAt(target.get(), TRect(0, 0, 60, 24), Want(0).get()), 0);
}

} // namespace
