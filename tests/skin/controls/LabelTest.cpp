// The skinned labels: skin font colours, the disabled mix, the section
// background, the web label's hover and link, the sticky label beside its
// control in every teardown order, and the shadow of TsLabelFX.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "ControlsFixture.h"
#include "classlib/controls/StdCtrls.h"
#include "classlib/graphics/GdiHandles.h"
#include "skin/controls/sLabel.h"
#include "skin/core/sMessages.h"
#include "skin/paint/sGraphUtils_Colors.h"
#include "skin/paint/sGraphUtils_Sections.h"
#include "support/ResourceCount.h"

using namespace ctltest;

namespace {

class Labels : public ControlsTest {
protected:
    template <class T>
    T* NewLabel(const wchar_t* Caption, int X = 20, int Y = 20, TComponent* Owner = nullptr)
    {
        T* l = New<T>(Owner ? Owner : Form.get());
        l->SetParent(Form.get());
        l->SetLeft(X);
        l->SetTop(Y);
        l->Font()->SetName(L"Tahoma");
        l->Font()->SetSize(14);
        l->Font()->SetStyle(TFontStyles{fsBold});
        l->SetCaption(Caption);
        return l;
    }
    TColor GlobalFont() { return ColorToRGB(Manager->GetGlobalFontColor()); }
    const TsGeneralData& GlobalInfo() { return Manager->gd[size_t(Manager->ConstData.IndexGLobalInfo)]; }
};

TEST_F(Labels, TextTakesTheSkinFontColourUnlessTheLabelKeepsItsOwn)
{
    auto* l = NewLabel<TsLabel>(L"MMMM");
    ASSERT_NE(GlobalFont(), FormColour());
    EXPECT_EQ(Commonest(Painted().get(), l->BoundsRect(), FormColour()), GlobalFont());

    l->SetUseSkinColor(false);
    l->Font()->SetColor(0x0000C0);
    EXPECT_EQ(Commonest(Painted().get(), l->BoundsRect(), FormColour()), TColor(0x0000C0));
}

TEST_F(Labels, SkinSectionPaintsTheBackgroundAndGivesTheFontColour)
{
    auto* l = NewLabel<TsLabel>(L"", 30, 40);
    l->SetAutoSize(false);
    l->SetBounds(30, 40, 70, 26);
    l->SetSkinSection(L"BUTTON");
    const int i = Manager->GetSkinIndex(L"BUTTON");
    ASSERT_GE(i, 0);

    // Over what the form shows behind it: its own colour.
    TOwned<TBitmap> ref(New<TBitmap>(70, 26, pf24bit));
    TCacheInfo ci;
    ci.FillColor = FormColour();
    PaintItem(i, L"BUTTON", ci, true, 0, TRect(0, 0, 70, 26), TPoint(30, 40), ref.get(), Manager);
    auto b = Painted();
    int differ = 0;
    for (int y = 0; y < 26; ++y)
        for (int x = 0; x < 70; ++x)
            differ += Px(b.get(), 30 + x, 40 + y) != Px(ref.get(), x, y);
    EXPECT_EQ(differ, 0);

    l->SetCaption(L"MM");
    b = Painted();
    EXPECT_GT(CountColor(b.get(), l->BoundsRect(), ColorToRGB(Manager->gd[size_t(i)].FontColor[1])), 10);
    EXPECT_EQ(l->Font()->Color(), Manager->gd[size_t(i)].FontColor[1]);
}

TEST_F(Labels, DisabledTextMixesFontAndParentColoursUnderASkin)
{
    auto* l = NewLabel<TsLabel>(L"MMMM");
    l->SetEnabled(false);
    auto b = Painted();
    const TColor mixed = MixColors(GlobalFont(), FormColour(), 0.4);
    EXPECT_EQ(Commonest(b.get(), l->BoundsRect(), FormColour()), mixed);
    EXPECT_EQ(CountColor(b.get(), l->BoundsRect(), ColorToRGB(clBtnHighlight)), 0);

    // Without a skin, the class library's embossed look.
    Manager->SendRemoveSkin();
    b = Painted();
    EXPECT_GT(CountColor(b.get(), l->BoundsRect(), ColorToRGB(clBtnHighlight)), 10);
    EXPECT_EQ(CountColor(b.get(), l->BoundsRect(), mixed), 0);
}

TEST_F(Labels, RemovingTheSkinGivesWindowTextBackToLabelsThatUseTheSkinColour)
{
    auto* skinned = NewLabel<TsLabel>(L"A");
    auto* own = NewLabel<TsLabel>(L"B", 20, 60);
    own->SetUseSkinColor(false);
    own->Font()->SetColor(clRed);
    auto* fx = NewLabel<TsLabelFX>(L"C", 20, 100);
    Painted();
    ASSERT_EQ(skinned->Font()->Color(), Manager->GetGlobalFontColor());

    Manager->SendRemoveSkin();
    EXPECT_EQ(skinned->Font()->Color(), clWindowText);
    EXPECT_EQ(own->Font()->Color(), clRed);
    EXPECT_EQ(fx->Font()->Color(), clWindowText);
}

TEST_F(Labels, LabelsFreeWhatTheyPaintWith)
{
    auto round = [&] {
        auto* fx = NewLabel<TsLabelFX>(L"Shadow");
        fx->Shadow()->SetMode(smCustom);
        auto* web = NewLabel<TsWebLabel>(L"Link", 20, 80);
        web->SetSkinSection(L"BUTTON");
        Painted();
        FreeAndNil(fx);
        FreeAndNil(web);
        Painted();
    };
    // The first round fills the caches the skin keeps for what the labels
    // paint; later rounds must add nothing.
    round();
    const TResourceCount before = CountResources();
    for (int i = 0; i < 3; ++i)
        round();
    EXPECT_TRUE(NoResourceGrowth(before, CountResources()));
}

// ---------------------------------------------------------------------------
// TsWebLabel

struct TShellCall {
    HWND Owner;
    UnicodeString Verb, File;
    INT Show;
};
std::vector<TShellCall> ShellCalls;

HINSTANCE WINAPI RecordShell(HWND Owner, LPCWSTR Verb, LPCWSTR File, LPCWSTR, LPCWSTR, INT Show)
{
    ShellCalls.push_back({Owner, Verb ? Verb : L"", File ? File : L"", Show});
    return reinterpret_cast<HINSTANCE>(33);
}

struct TShellScope {
    TsShellExecuteW Saved = sShellExecuteW;
    TShellScope()
    {
        ShellCalls.clear();
        sShellExecuteW = RecordShell;
    }
    ~TShellScope() { sShellExecuteW = Saved; }
};

void Click(TControl* C)
{
    C->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    C->Perform(WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
}

TEST_F(Labels, WebLabelOpensItsUrlWithItsShowMode)
{
    TShellScope shell;
    auto* l = NewLabel<TsWebLabel>(L"home");
    Click(l);
    EXPECT_TRUE(ShellCalls.empty());

    l->SetURL(L"http://example.org/");
    l->SetShowMode(soMaximize);
    Click(l);
    ASSERT_EQ(ShellCalls.size(), 1u);
    EXPECT_EQ(ShellCalls[0].Verb, L"open");
    EXPECT_EQ(ShellCalls[0].File, L"http://example.org/");
    EXPECT_EQ(ShellCalls[0].Show, SW_MAXIMIZE);
    EXPECT_EQ(ShellCalls[0].Owner, Application->Handle());
}

TEST_F(Labels, WebLabelShowsItsHoverFontWhileTheMouseIsOver)
{
    auto* l = NewLabel<TsWebLabel>(L"MMMM");
    l->SetFont(l->Font()); // the published Font is the normal font
    l->HoverFont()->Assign(l->Font());
    const TColor normal = GlobalInfo().FontColor[5] == -1 ? TColor(0xFF0000) : GlobalInfo().FontColor[5];
    const TColor hover = GlobalInfo().FontColor[3] == -1 ? TColor(0x0000FF) : GlobalInfo().FontColor[3];
    ASSERT_NE(normal, hover);
    const TRect r = l->BoundsRect();
    EXPECT_EQ(Commonest(Painted().get(), r, FormColour()), ColorToRGB(normal));

    // The mouse comes over the label through the form.
    Form->Perform(WM_MOUSEMOVE, 0, MAKELPARAM(r.left + 3, r.top + 3));
    ASSERT_TRUE(l->MouseAbove);
    EXPECT_EQ(Commonest(Painted().get(), r, FormColour()), ColorToRGB(hover));
    Form->Perform(WM_MOUSEMOVE, 0, MAKELPARAM(300, 230));
    EXPECT_FALSE(l->MouseAbove);
    EXPECT_EQ(Commonest(Painted().get(), r, FormColour()), ColorToRGB(normal));
}

TEST_F(Labels, WebLabelWithoutSkinUsesItsFontsAndRedForAHoverColourOfNone)
{
    Manager->SendRemoveSkin();
    auto* l = NewLabel<TsWebLabel>(L"MMMM");
    TOwned<TFont> f(New<TFont>());
    f->Assign(l->Font());
    f->SetColor(0x008000);
    l->SetFont(f.get());
    l->HoverFont()->Assign(f.get());
    l->HoverFont()->SetColor(TColor(-1));
    l->HoverFont()->SetSize(24);
    const int width = l->Width();
    EXPECT_EQ(Commonest(Painted().get(), l->BoundsRect(), FormColour()), TColor(0x008000));

    l->Perform(CM_MOUSEENTER, 0, 0);
    EXPECT_GT(l->Width(), width); // sized in the hover font
    EXPECT_EQ(Commonest(Painted().get(), l->BoundsRect(), FormColour()), TColor(0x0000FF));
    l->Perform(CM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(l->Width(), width);
}

// ---------------------------------------------------------------------------
// TsStickyLabel

class Sticky : public Labels {
protected:
    TEdit* Edit = nullptr;
    void SetUp() override
    {
        Labels::SetUp();
        Edit = New<TEdit>(Form.get());
        Edit->SetParent(Form.get());
        Edit->SetBounds(100, 50, 80, 21);
        Edit->HandleNeeded();
    }
    TsStickyLabel* Stuck(TAlignTo Side)
    {
        auto* l = NewLabel<TsStickyLabel>(L"Name", 0, 0);
        l->SetAlignTo(Side);
        l->SetAttachTo(Edit);
        return l;
    }
};

TEST_F(Sticky, LabelStandsBesideTheControlOnItsSide)
{
    struct {
        TAlignTo Side;
        int Left, Top; // with the label's width w and height h
        int W, H;      // factors of w and h in Left, Top
    } const cases[] = {
        {altLeft, 98, 50, -1, 0},
        {altTop, 100, 48, 0, -1},
        {altBottom, 100, 73, 0, 0},
        {altRight, 182, 50, 0, 0},
    };
    for (const auto& c : cases) {
        auto* l = Stuck(c.Side);
        const int w = l->Width(), h = l->Height();
        const int top = c.Side == altLeft || c.Side == altRight ? 50 + (21 - h) / 2 : c.Top + c.H * h;
        EXPECT_EQ(l->Left(), c.Left + c.W * w) << c.Side;
        EXPECT_EQ(l->Top(), top) << c.Side;
        FreeAndNil(l);
    }
}

TEST_F(Sticky, LabelAndControlDragEachOtherAlong)
{
    auto* l = Stuck(altLeft);
    const int w = l->Width(), h = l->Height();
    Edit->SetBounds(150, 90, 80, 21);

    EXPECT_EQ(l->Left(), 148 - w);
    EXPECT_EQ(l->Top(), 90 + (21 - h) / 2);

    // Moving the label moves the control beside it.
    l->SetLeft(10);
    EXPECT_EQ(Edit->Left(), 10 + w + 2);
    EXPECT_EQ(Edit->Top(), 90);

    // A control that changes its height is placed beside the label again.
    Edit->SetHeight(41);
    EXPECT_EQ(Edit->Top(), l->Top() + (h - 41) / 2);
    EXPECT_EQ(Edit->Left(), 10 + w + 2);

    l->SetGap(7);
    EXPECT_EQ(l->Left(), Edit->Left() - w - 7);
}

// A label moved takes its control along to the label's opposite side, for
// every side the label may stand on.
TEST_F(Sticky, MovedLabelPlacesTheControlOnItsOppositeSide)
{
    struct {
        TAlignTo Side;
        int Left, Top;  // of the control, with the label's left l, top t, width w and height h
        int L, T, W, H; // factors of l, t, w and h in Left, and of l, t, w, h in Top
    } const cases[] = {
        {altLeft, 2, 0, 1, 0, 1, 0},     // right of the label
        {altRight, -82, 0, 1, 0, 0, 0},  // left of it
        {altTop, 0, 2, 1, 1, 0, 1},      // below it
        {altBottom, 0, -23, 1, 1, 0, 0}, // above it
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(int(c.Side));
        auto* l = Stuck(c.Side);
        const int w = l->Width(), h = l->Height();
        l->SetBounds(30, 160, w, h);
        const int left = c.Left + c.L * 30 + c.W * w;
        const int top = c.Side == altLeft || c.Side == altRight ? 160 + (h - 21) / 2 : c.Top + c.T * 160 + c.H * h;
        EXPECT_EQ(Edit->Left(), left);
        EXPECT_EQ(Edit->Top(), top);
        FreeAndNil(l);
        Edit->SetBounds(100, 50, 80, 21);
    }
}

TEST_F(Sticky, HidingOrDisablingTheControlDoesTheSameToTheLabel)
{
    auto* l = Stuck(altTop);
    Edit->SetVisible(false);
    EXPECT_FALSE(l->Visible());
    Edit->SetEnabled(false);
    EXPECT_FALSE(l->Enabled());
    Edit->SetVisible(true);
    Edit->SetEnabled(true);
    EXPECT_TRUE(l->Visible());
    EXPECT_TRUE(l->Enabled());
}

// A WindowProc put on the control after the label: counts what reaches it.
struct TLaterProc {
    TControl* C = nullptr;
    TWndMethod Old;
    int Seen = 0;
    void Attach(TControl* Control)
    {
        C = Control;
        Old = C->WindowProc;
        C->WindowProc = Bind(this, &TLaterProc::Proc);
    }
    void Detach() { C->WindowProc = Old; }
    void Proc(TMessage& M)
    {
        ++Seen;
        Old(M);
    }
};

TEST_F(Sticky, ControlGetsItsWindowProcBackWhicheverGoesFirst)
{
    const TWndMethod own = Edit->WindowProc;
    // The label goes first.
    auto* l = Stuck(altLeft);
    EXPECT_NE(Edit->WindowProc, own);
    FreeAndNil(l);
    EXPECT_EQ(Edit->WindowProc, own);
    Edit->SetLeft(120); // nothing of the label is reached

    // The control goes first: the label lets go and still works.
    l = Stuck(altLeft);
    FreeAndNil(Edit);
    EXPECT_EQ(l->AttachTo(), nullptr);
    l->SetLeft(5);
    EXPECT_EQ(l->Left(), 5);
    FreeAndNil(l);
}

TEST_F(Sticky, LabelLeavingNeverCutsOutAWindowProcPutOnLater)
{
    const TWndMethod own = Edit->WindowProc;
    auto* l = Stuck(altLeft);
    TLaterProc later;
    later.Attach(Edit);
    FreeAndNil(l);
    // The later procedure still gets the control's messages, and the
    // control still gets them after it.
    Edit->SetText(L"x");
    EXPECT_GT(later.Seen, 0);
    EXPECT_EQ(Edit->Text(), L"x");

    // Once the later one leaves, the first message passing through takes
    // the label's part out too.
    later.Detach();
    Edit->Perform(WM_NULL);
    EXPECT_EQ(Edit->WindowProc, own);
}

TEST_F(Sticky, FormFreesLabelAndControlInEitherOrder)
{
    for (bool labelFirst : {true, false}) {
        TOwned<TForm> f(TForm::CreateNew(nullptr));
        f->HandleNeeded();
        TsStickyLabel* l = nullptr;
        if (labelFirst)
            l = New<TsStickyLabel>(f.get());
        auto* e = New<TEdit>(f.get());
        e->SetParent(f.get());
        if (!labelFirst)
            l = New<TsStickyLabel>(f.get());
        l->SetParent(f.get());
        l->SetAttachTo(e);
        f.reset();
    }
    SUCCEED();
}

// ---------------------------------------------------------------------------
// TsLabelFX

class LabelFX : public Labels {
protected:
    // An opaque white label with black text over a shadow of Colour.
    TsLabelFX* FX(int Blur, int Distance, TColor Colour = 0xFF0000, int X = 20, int Y = 20)
    {
        auto* l = NewLabel<TsLabelFX>(L"Ab", X, Y);
        l->SetTransparent(false);
        l->SetColor(clWhite);
        l->Kind()->SetKindType(ktCustom);
        l->Kind()->SetColor(0);
        l->Shadow()->SetMode(smCustom);
        l->Shadow()->SetColor(Colour);
        l->Shadow()->SetBlurCount(Blur);
        l->Shadow()->SetDistance(Distance);
        l->AdjustBounds();
        return l;
    }
    // Pixels where blue outweighs red: shadow without text.
    static int Bluish(TBitmap* B, const TRect& R)
    {
        int n = 0;
        for (int y = R.top; y < R.bottom; ++y)
            for (int x = R.left; x < R.right; ++x) {
                const TColor c = Px(B, x, y);
                n += GetBValue(c) > GetRValue(c) + 8;
            }
        return n;
    }
};

TEST_F(LabelFX, AutoSizeLeavesRoomForBlurAndDistance)
{
    auto* plain = NewLabel<TsLabelFX>(L"Ab");
    plain->Shadow()->SetMode(smNone);
    plain->AdjustBounds();
    struct {
        int Blur, Distance, Grow, TopLeft, RightBottom;
    } const cases[] = {{4, 1, 8, -3, 5}, {2, 5, 7, 0, 7}, {3, -5, 8, -8, 0}, {0, 3, 0, 0, 0}};
    for (const auto& c : cases) {
        auto* l = FX(c.Blur, c.Distance);
        EXPECT_EQ(l->Width(), plain->Width() + c.Grow) << c.Blur << "/" << c.Distance;
        EXPECT_EQ(l->Height(), plain->Height() + c.Grow) << c.Blur << "/" << c.Distance;
        if (c.Grow) {
            EXPECT_EQ(l->OffsTopLeft, c.TopLeft);
            EXPECT_EQ(l->OffsRightBottom, c.RightBottom);
        }
        FreeAndNil(l);
    }
}

// A standard kind writes in the font's colour: in the label's own Color,
// its background, the text could not be seen.
TEST_F(LabelFX, StandardKindWritesInTheFontColour)
{
    auto* l = FX(0, 0);
    l->Kind()->SetKindType(ktStandard);
    auto b = Painted();
    const TColor font = ColorToRGB(l->Font()->Color());
    ASSERT_NE(font, ColorToRGB(l->Color()));
    EXPECT_GT(CountColor(b.get(), l->BoundsRect(), font), 10) << "text in the font's colour";
    EXPECT_EQ(CountColor(b.get(), l->BoundsRect(), 0), 0) << "not the kind's";
}

TEST_F(LabelFX, NoBlurDrawsPlainTextWithoutShadow)
{
    auto* l = FX(0, 6);
    auto b = Painted();
    EXPECT_EQ(Bluish(b.get(), l->BoundsRect()), 0);
    EXPECT_GT(CountColor(b.get(), l->BoundsRect(), 0), 10);
    l->Shadow()->SetBlurCount(3);
    EXPECT_GT(Bluish(Painted().get(), l->BoundsRect()), 20);
}

// The shadow as the label must paint it, computed here: the text's mask
// at the distance, spread by Blur passes that set the text's cells to 255
// and average each inner cell's four neighbours in place (row by row), and
// the shadow colour blended over the background by the spread value.
TOwned<TBitmap> ShadowReference(TsLabelFX* L, TColor Back, TColor Shadow, TColor Text)
{
    const int w = L->Width(), h = L->Height();
    const int blur = L->Shadow()->BlurCount(), d = L->Shadow()->Distance();
    const int tl = std::min(d - blur, 0), rb = std::max(d + blur, 0);
    const TRect textRect(-tl, -tl, w - rb, h - rb);
    const UINT flags = DT_EXPANDTABS | DT_LEFT;
    const UnicodeString caption = L->Caption();

    TOwned<TBitmap> mask(New<TBitmap>(w, h, pf24bit));
    HDC dc = mask->Canvas()->Handle();
    FillDC(dc, TRect(0, 0, w, h), 0);
    {
        SelectedObject font(dc, L->Font()->Handle());
        BkModeScope mode(dc, TRANSPARENT);
        TextColorScope colour(dc, 0xFFFFFF);
        TRect r = textRect;
        OffsetRect(&r, d, d);
        ::DrawTextW(dc, caption.c_str(), int(caption.size()), &r, flags);
    }
    std::vector<std::vector<int>> e(size_t(h + 2), std::vector<int>(size_t(w + 2), 0));
    for (int pass = 0; pass < blur; ++pass) {
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                if (GetBValue(Px(mask.get(), x, y)) != 0)
                    e[size_t(y + 1)][size_t(x + 1)] = 255;
        for (int y = 1; y <= h; ++y)
            for (int x = 1; x <= w; ++x)
                e[size_t(y)][size_t(x)] =
                    (e[size_t(y - 1)][size_t(x)] + e[size_t(y + 1)][size_t(x)] + e[size_t(y)][size_t(x - 1)] +
                     e[size_t(y)][size_t(x + 1)]) / 4;
    }
    TOwned<TBitmap> out(New<TBitmap>(w, h, pf24bit));
    dc = out->Canvas()->Handle();
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const int k = e[size_t(y + 1)][size_t(x + 1)];
            // The nearest value to the exact mix of background and shadow by
            // E / 255: no shadow leaves the background as it was, a full one
            // is the shadow's colour.
            auto ch = [&](int b, int s) { return int(std::lround(b + (s - b) * (k / 255.0))); };
            ::SetPixel(dc, x, y,
                       RGB(ch(GetRValue(Back), GetRValue(Shadow)), ch(GetGValue(Back), GetGValue(Shadow)),
                           ch(GetBValue(Back), GetBValue(Shadow))));
        }
    SelectedObject font(dc, L->Font()->Handle());
    BkModeScope mode(dc, TRANSPARENT);
    TextColorScope colour(dc, Text);
    TRect r = textRect;
    ::DrawTextW(dc, caption.c_str(), int(caption.size()), &r, flags);
    return out;
}

TEST_F(LabelFX, ShadowIsTheTextBlurredAtItsDistance)
{
    auto* l = FX(3, 2, 0xC04000);
    auto b = Painted();
    auto ref = ShadowReference(l, 0xFFFFFF, 0xC04000, 0);
    int differ = 0;
    for (int y = 0; y < l->Height(); ++y)
        for (int x = 0; x < l->Width(); ++x)
            differ += Px(b.get(), l->Left() + x, l->Top() + y) != Px(ref.get(), x, y);
    EXPECT_EQ(differ, 0);
    // Where the shadow does not reach, the background stays as it was.
    EXPECT_EQ(Px(b.get(), l->Left(), l->Top() + l->Height() - 1), TColor(0xFFFFFF));
    SaveArtifact(b.get(), "label-shadow.png");
}

TEST_F(LabelFX, SkinShadowFallsBackToTheLabelsOwnAndKeepsItsColour)
{
    auto* own = FX(2, 1, 0xFF0000);
    auto* skin = FX(2, 1, 0xFF0000, 20, 100);
    skin->Shadow()->SetMode(smSkin1);
    Manager->SkinData->Shadow1Blur = -1;
    skin->AdjustBounds();
    EXPECT_EQ(skin->Width(), own->Width());
    auto b = Painted();
    auto same = [&](TBitmap* B) {
        int differ = 0;
        for (int y = 0; y < own->Height(); ++y)
            for (int x = 0; x < own->Width(); ++x)
                differ += Px(B, own->Left() + x, own->Top() + y) != Px(B, skin->Left() + x, skin->Top() + y);
        return differ;
    };
    EXPECT_EQ(same(b.get()), 0);

    // The skin's shadow, then the label's own again: its colour is kept.
    Manager->SkinData->Shadow1Blur = 3;
    Manager->SkinData->Shadow1Offset = 0;
    Manager->SkinData->Shadow1Color = 0x00FF00;
    skin->AdjustBounds();
    EXPECT_EQ(skin->Width(), own->Width() - 4 + 6);
    Painted();
    skin->Shadow()->SetMode(smCustom);
    skin->AdjustBounds();
    EXPECT_EQ(same(Painted().get()), 0);
}

} // namespace
