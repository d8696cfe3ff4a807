// Animated change of a control's look: steps and cross-fade weights, the
// frames drawn into an off-screen target, and a control animation that
// leaves no flag, device context, bitmap or window behind, also when the
// control's painting fails.
#include <gtest/gtest.h>

#include <vector>

#include "classlib/controls/Forms.h"
#include "classlib/graphics/GdiHandles.h"
#include "skin/core/sFormsSeam.h"
#include "skin/core/sMessages.h"
#include "skin/core/sVclUtils.h"
#include "skin/core/sVclUtils_Anim.h"
#include "skin/paint/sGraphUtils.h"
#include "tests/skin/effects/EffectsTestUtil.h"

using namespace fxtest;

namespace {

int gPauses = 0;
void CountPause(DWORD)
{
    ++gPauses;
}

// Paints green; records what the animation machinery says while it paints.
class TAnimControl : public TCustomControl {
    KV_CLASS(TAnimControl)
public:
    using TCustomControl::TCustomControl;
    bool Fail = false;
    bool SawAnimation = false;
    bool SawPrintDC = false;

protected:
    void Paint() override
    {
        SawAnimation = SawAnimation || InAnimationProcess;
        SawPrintDC = SawPrintDC || kvPrintDC != nullptr;
        if (Fail)
            throw Exception(L"paint failed");
        Canvas()->Brush()->SetColor(clGreen);
        Canvas()->FillRect(ClientRect());
    }
};

struct AnimFixture : ::testing::Test {
    void (*oldPause)(DWORD) = kvAnimPause;
    AnimFixture()
    {
        kvAnimPause = CountPause;
        gPauses = 0;
    }
    ~AnimFixture() override { kvAnimPause = oldPause; }

    // A shown 200 x 150 form and a control on it at (10, 10, 40 x 30).
    TOwned<TForm> form{TForm::CreateNew(nullptr)};
    TAnimControl* AddControl()
    {
        auto* ctrl = New<TAnimControl>(form.get());
        ctrl->SetParent(form.get());
        ctrl->SetBounds(10, 10, 40, 30);
        return ctrl;
    }
    TAnimControl* ShowFormWithControl()
    {
        form->SetBounds(0, 0, 200, 150);
        TAnimControl* ctrl = AddControl();
        form->Show();
        return ctrl;
    }
};

} // namespace

TEST(AnimSteps, StepsAndWeights)
{
    EXPECT_EQ(AnimSteps(0), 0);
    EXPECT_EQ(AnimSteps(7), 0);
    EXPECT_EQ(AnimSteps(100), 12);
    std::vector<int> w;
    for (int i = 0; i <= 12; ++i)
        w.push_back(CrossFadeWeight(i, 12));
    EXPECT_EQ(w.front(), 255);
    EXPECT_EQ(w[1], 234);
    EXPECT_EQ(w.back(), 3);
}

TEST_F(AnimFixture, CrossFadeDrawsEveryFrameThenTheNewImage)
{
    auto src = loadtest::Solid(4, 4, Rgb(255, 0, 0));
    auto dst = loadtest::Solid(4, 4, Rgb(0, 0, 255));
    auto target = loadtest::Solid(4, 4, Rgb(0, 0, 0));
    std::vector<int> reds;
    CrossFade(src.get(), dst.get(), 12, target->Canvas()->Handle(),
              [&] { reds.push_back(PixelOf(target.get(), 1, 1).R); });
    ASSERT_EQ(reds.size(), 14u) << "13 mixed frames and the new image";
    EXPECT_EQ(reds.front(), (255 * 255) >> 8) << "the old image at weight 255";
    EXPECT_TRUE(std::is_sorted(reds.rbegin(), reds.rend()));
    EXPECT_EQ(reds.back(), 0);
    EXPECT_EQ(gPauses, 12);

    reds.clear();
    gPauses = 0;
    CrossFade(src.get(), dst.get(), 0, target->Canvas()->Handle(), [&] { reds.push_back(PixelOf(target.get(), 1, 1).R); });
    EXPECT_EQ(reds, std::vector<int>{0}) << "no steps: the new image at once";
    EXPECT_EQ(gPauses, 0);
}

TEST_F(AnimFixture, ControlAnimationCleansUpAfterItselfAlsoWhenPaintingFails)
{
    TAnimControl* ctrl = ShowFormWithControl();
    Application->ProcessMessages();
    const TResourceCount before = CountResources();

    PrepareForAnimation(ctrl);
    ASSERT_TRUE(ow);
    EXPECT_TRUE(::IsWindowVisible(ow->Handle()));
    AnimShowControl(ctrl, 100);
    EXPECT_TRUE(ctrl->SawAnimation);
    EXPECT_TRUE(ctrl->SawPrintDC);
    EXPECT_EQ(gPauses, 12);

    ctrl->Fail = true;
    EXPECT_THROW(AnimShowControl(ctrl, 100), Exception);
    for (bool after : {false, true}) {
        EXPECT_FALSE(InAnimationProcess) << after;
        EXPECT_EQ(kvPrintDC, nullptr) << after;
        EXPECT_EQ(ow, nullptr) << after;
        EXPECT_EQ(kvSrcBmp, nullptr) << after;
        EXPECT_EQ(kvDstBmp, nullptr) << after;
        ctrl->Fail = false;
        AnimShowControl(ctrl, 0);
    }
    EXPECT_TRUE(NoResourceGrowth(before, CountResources()));
}

TEST_F(AnimFixture, KeptCoverGoesWithItsControl)
{
    TAnimControl* ctrl = ShowFormWithControl();
    PrepareForAnimation(ctrl);
    ASSERT_TRUE(ow);
    delete ctrl;  // before its animation ran
    EXPECT_EQ(ow, nullptr);
    EXPECT_EQ(kvSrcBmp, nullptr);
    // The next animation starts afresh.
    TAnimControl* next = AddControl();
    AnimShowControl(next, 16);
    EXPECT_TRUE(next->SawAnimation);
    EXPECT_EQ(ow, nullptr);
}

TEST(LayeredShow, FrameAlphaAndAeroRectangles)
{
    struct Case {
        int Frame, Divisor, Alpha;
    } cases[] = {{0, 12, 21}, {11, 12, 255}, {12, 12, 255}, {11, 13, 235}, {12, 13, 255}, {0, 0, 200}};
    for (const Case& c : cases)
        EXPECT_EQ(LayeredFrameAlpha(c.Frame, c.Divisor, c.Divisor ? 255 : 200), c.Alpha) << c.Frame << "/" << c.Divisor;
    EXPECT_EQ(AeroFrameRect(0, 12, 200, 100), TRect(50, 25, 150, 75));
    EXPECT_EQ(AeroFrameRect(6, 12, 200, 100), TRect(25, 12, 175, 88)) << "halves round to even";
    EXPECT_EQ(AeroFrameRect(12, 12, 200, 100), TRect(0, 0, 200, 100));
}

namespace {

// A form or dialog as the forms layer presents it to a layered show.
struct TShowStub : TsAnimShowSeam {
    TForm* Real = nullptr;
    TForm* Border = nullptr;
    bool Fail = false, SawAnimation = false, SawPrintDC = false;
    int EndedWith = -1;
    HWND RealWindow() override { return Real->Handle(); }
    HWND BorderWindow() override { return Border ? Border->Handle() : nullptr; }
    TSize RenderImage() override { return TSize{Real->Width() + 8, Real->Height() + 8}; }
    void PaintInto(TBitmap* Bmp) override
    {
        SawAnimation = InAnimationProcess;
        SawPrintDC = kvPrintDC == Bmp->Canvas()->Handle();
        if (Fail)
            throw Exception(L"paint failed");
    }
    TPoint BorderOffset() override { return TPoint(4, 4); }
    bool GiveRegion = false;
    std::vector<TPoint> AlphaAt;  // image points whose alpha is read at the end
    std::vector<int> Alphas;
    void ShowEnded(int MaxTransparency) override
    {
        EndedWith = MaxTransparency;
        for (const TPoint& p : AlphaAt)
            Alphas.push_back(PixelOf(kvDstBmp, p.x, p.y).A);
    }
    HRGN BorderRegion() override { return GiveRegion ? ::CreateRectRgn(0, 0, 10, 10) : nullptr; }
};

struct LayeredFixture : AnimFixture {
    TOwned<TForm> real{TForm::CreateNew(nullptr)};
    TOwned<TForm> border{TForm::CreateNew(nullptr)};
    TShowStub stub;
    LayeredFixture()
    {
        real->SetBounds(100, 100, 120, 80);
        border->SetBorderStyle(bsNone);
        border->Handle();
        real->Show();
        Application->ProcessMessages();
        stub.Real = real.get();
    }
};

} // namespace

TEST_F(LayeredFixture, FormShowsItsBorderWindowAroundTheForm)
{
    stub.Border = border.get();
    AnimShowForm(stub, 100, 230, atAero);
    EXPECT_TRUE(stub.SawAnimation);
    EXPECT_TRUE(stub.SawPrintDC);
    EXPECT_EQ(gPauses, 12);
    EXPECT_EQ(stub.EndedWith, 230);
    EXPECT_FALSE(InAnimationProcess);
    EXPECT_EQ(kvDstBmp, nullptr);
    HWND h = border->Handle();
    EXPECT_TRUE(::IsWindowVisible(h));
    EXPECT_TRUE(::GetWindowLongW(h, GWL_EXSTYLE) & WS_EX_LAYERED);
    RECT r;
    ::GetWindowRect(h, &r);
    RECT f;
    ::GetWindowRect(real->Handle(), &f);
    EXPECT_EQ(r.left, f.left - 4);
    EXPECT_EQ(r.top, f.top - 4);
    EXPECT_EQ(r.right - r.left, real->Width() + 8);
}

TEST_F(LayeredFixture, DialogImageIsOpaqueWhereTheDialogDrawsItself)
{
    RECT wr, cr;
    ::GetWindowRect(real->Handle(), &wr);
    ::GetClientRect(real->Handle(), &cr);
    POINT c{0, 0};
    ::ClientToScreen(real->Handle(), &c);
    ASSERT_GT(c.y, wr.top) << "the fixture's dialog has a title";
    const int cx = c.x - wr.left + 4, cy = c.y - wr.top + 4;  // the client origin in the image
    stub.AlphaAt = {TPoint(cx, cy), TPoint(cx + cr.right - 1, cy + cr.bottom - 1), TPoint(cx, cy - 1), TPoint(0, 0)};
    // With extended borders the skin's alpha stays around the client area.
    stub.Border = border.get();
    AnimShowDlg(stub, 0, 255, atFading);
    EXPECT_EQ(stub.Alphas, (std::vector<int>{255, 255, 0, 0}));
    // Without, the whole image is the dialog.
    stub.Border = nullptr;
    stub.Alphas.clear();
    AnimShowDlg(stub, 0, 255, atFading);
    EXPECT_EQ(stub.Alphas, (std::vector<int>{255, 255, 255, 255}));
}

TEST_F(LayeredFixture, ShowsPutEverythingBackAlsoWhenPaintingFails)
{
    const TResourceCount before = CountResources();
    AnimShowDlg(stub, 100, 255, atFading);
    EXPECT_EQ(gPauses, 12) << "13 frames";
    EXPECT_EQ(stub.EndedWith, 255);
    EXPECT_EQ(CountResources().Windows, before.Windows) << "the dialog's own animation window is gone";

    stub.Fail = true;
    EXPECT_THROW(AnimShowDlg(stub, 100, 255, atFading), Exception);
    stub.Border = border.get();
    EXPECT_THROW(AnimShowForm(stub, 0, 255, atFading), Exception);
    EXPECT_FALSE(InAnimationProcess);
    EXPECT_EQ(kvPrintDC, nullptr);
    EXPECT_EQ(kvDstBmp, nullptr);
    EXPECT_TRUE(NoResourceGrowth(before, CountResources()));
}

namespace {

// A provider whose form shows through a layered show.
struct TProviderStub : TsProviderSeam {
    TComponent Component{nullptr};
    TShowStub* Show = nullptr;
    TComponent* ProviderComponent() override { return &Component; }
    TComponent* ProviderManager() override { return nullptr; }
    void SetInAnimation(bool) override {}
    bool HasBorderForm() override { return Show && Show->Border; }
    void FreezeBorderForm() override {}
    bool DrawsNonClientArea() override { return true; }
    void UpdateRegion() override {}
    void UpdateBorderPos() override {}
    int OffsetX() override { return 4; }
    int OffsetY() override { return 4; }
    void DsgnWndProc(TMessage&) override {}
    TsAnimShowSeam* AnimShow() override { return Show; }
    int Corners = 0;
    HRGN CornerRegion() override
    {
        ++Corners;
        return ::CreateEllipticRgn(0, 0, 100, 60);
    }
};

// A form that names its provider when asked.
class TProvidedForm : public TForm {
public:
    using TForm::TForm;
    TProviderStub* Provider = nullptr;
    void WndProc(TMessage& Message) override
    {
        if (Message.Msg == SM_KORVEXCMD && HIWORD(Message.WParam) == SMC_GET_PROVIDER && Provider) {
            Message.Result = reinterpret_cast<LRESULT>(&Provider->Component);
            return;
        }
        TForm::WndProc(Message);
    }
};

} // namespace

TEST_F(AnimFixture, SkinnedFormChangesLookThroughALayeredShow)
{
    ASSERT_TRUE(kvLayered());
    TOwned<TProvidedForm> form(TForm::CreateNew<TProvidedForm>(nullptr));
    TOwned<TForm> border(TForm::CreateNew(nullptr));
    border->SetBorderStyle(bsNone);
    form->SetBounds(50, 50, 100, 60);
    form->Show();
    border->Handle();
    Application->ProcessMessages();
    TShowStub show;
    show.Real = form.get();
    show.Border = border.get();
    show.GiveRegion = true;
    TProviderStub provider;
    provider.Show = &show;
    form->Provider = &provider;
    const TResourceCount before = CountResources();

    PrepareForAnimation(form.get());
    AnimShowControl(form.get(), 100, 255, atFading);
    EXPECT_TRUE(show.SawAnimation);
    EXPECT_EQ(gPauses, 12);
    EXPECT_EQ(show.EndedWith, 255);
    EXPECT_FALSE(InAnimationProcess);
    EXPECT_EQ(ow, nullptr) << "the kept cover went too";
    EXPECT_EQ(kvSrcBmp, nullptr);
    EXPECT_TRUE(::IsWindowVisible(border->Handle())) << "the border window carries the last frame";
    {
        GdiObject<HRGN> rgn(::CreateRectRgn(0, 0, 0, 0));
        EXPECT_EQ(::GetWindowRgn(border->Handle(), rgn.Get()), SIMPLEREGION) << "the border window's region";
    }
    EXPECT_EQ(provider.Corners, 0) << "a layered show needs no cut cover";
    EXPECT_TRUE(NoResourceGrowth(before, CountResources()));

    show.Fail = true;
    EXPECT_THROW(AnimShowControl(form.get(), 100, 255, atFading), Exception);
    EXPECT_FALSE(InAnimationProcess);
    EXPECT_EQ(kvDstBmp, nullptr);
    EXPECT_TRUE(NoResourceGrowth(before, CountResources()));
}

namespace {

HWND gCover = nullptr;
int gCoverRegion = ERROR;
// Between two frames: the shape of the cover the frames are drawn on.
void LookAtCover(DWORD)
{
    ++gPauses;
    gCover = ::FindWindowW(L"TOutputWindow", nullptr);
    GdiObject<HRGN> rgn(::CreateRectRgn(0, 0, 0, 0));
    gCoverRegion = gCover ? ::GetWindowRgn(gCover, rgn.Get()) : ERROR;
}

} // namespace

TEST_F(AnimFixture, FormWithCutCornersFadesThroughACoverOfItsShape)
{
    TOwned<TProvidedForm> form(TForm::CreateNew<TProvidedForm>(nullptr));
    form->SetBounds(50, 50, 100, 60);
    form->Show();
    Application->ProcessMessages();
    TProviderStub provider;  // no layered show: the form cross-fades
    form->Provider = &provider;
    const TResourceCount before = CountResources();
    kvAnimPause = LookAtCover;

    AnimShowControl(form.get(), 16, 255, atFading);
    EXPECT_EQ(gPauses, 2);
    EXPECT_EQ(provider.Corners, 1);
    EXPECT_NE(gCover, nullptr);
    EXPECT_EQ(gCoverRegion, COMPLEXREGION);
    EXPECT_FALSE(::IsWindow(gCover)) << "the cover is gone";
    EXPECT_TRUE(NoResourceGrowth(before, CountResources())) << "the region went with the cover";
}

namespace {

HWND gReal = nullptr;
HWND gInFrontOfCover = nullptr;
LONG gInFrontStyle = 0;  // extended style of the window right in front of the form
// Between two frames: the window right in front of the form, and the one in front of that.
void LookAtZOrder(DWORD)
{
    ++gPauses;
    HWND cover = ::GetWindow(gReal, GW_HWNDPREV);
    gInFrontStyle = cover ? ::GetWindowLongW(cover, GWL_EXSTYLE) : 0;
    gInFrontOfCover = cover ? ::GetWindow(cover, GW_HWNDPREV) : nullptr;
}

} // namespace

TEST_F(AnimFixture, LayeredShowCoverLiesRightInFrontOfTheForm)
{
    for (bool topmost : {false, true}) {
        TOwned<TProvidedForm> form(TForm::CreateNew<TProvidedForm>(nullptr));
        TOwned<TForm> border(TForm::CreateNew(nullptr));
        TOwned<TForm> front(TForm::CreateNew(nullptr));
        border->SetBorderStyle(bsNone);
        border->Handle();
        form->SetBounds(50, 50, 100, 60);
        front->SetBounds(60, 60, 50, 30);
        form->Show();
        front->Show();
        Application->ProcessMessages();
        const UINT keep = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE;
        ::SetWindowPos(form->Handle(), topmost ? HWND_TOPMOST : HWND_TOP, 0, 0, 0, 0, keep);
        if (!topmost)
            ::SetWindowPos(front->Handle(), HWND_TOP, 0, 0, 0, 0, keep);  // the form lies under another window
        TShowStub show;
        show.Real = form.get();
        show.Border = border.get();
        TProviderStub provider;
        provider.Show = &show;
        form->Provider = &provider;
        gReal = form->Handle();
        gInFrontOfCover = nullptr;
        gInFrontStyle = 0;
        kvAnimPause = LookAtZOrder;

        AnimShowControl(form.get(), 16, 255, atFading);
        const LONG ex = gInFrontStyle;
        EXPECT_TRUE(ex & WS_EX_LAYERED) << "the frames lie over the form itself; topmost " << topmost;
        if (topmost)
            EXPECT_TRUE(ex & WS_EX_TOPMOST) << "over a topmost form";
        else
            EXPECT_EQ(gInFrontOfCover, front->Handle()) << "under the windows that lie over the form";
    }
}
