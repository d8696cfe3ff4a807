// What skinned controls tell their children about the background, and how
// they copy their cache to the screen.
#include <gtest/gtest.h>

#include <memory>

#include "SkinnedControls.h"
#include "classlib/graphics/GdiHandles.h"
#include "skin/core/kvntUtils.h"
#include "skin/core/sMessages.h"
#include "skin/core/sVclUtils.h"
#include "skin/paint/sGraphUtils.h"
#include "skin/paint/sGraphUtils_BGInfo.h"

namespace {

constexpr TColor Red = 0x0000FF;
constexpr TColor Blue = 0xFF0000;
constexpr TColor Green = 0x00FF00;
constexpr TColor White = 0xFFFFFF;

class Background : public ::testing::Test {
protected:
    TTestSkin Skin;
    TOwned<TForm> Form{TForm::CreateNew(nullptr)};

    template <class T>
    T* Place(TWinControl* Parent, const wchar_t* Section, int Left, int Top, int Width, int Height)
    {
        T* c = New<T>(Form.get());
        c->SetBounds(Left, Top, Width, Height);
        c->SetParent(Parent);
        if (Section)
            c->SkinData()->SetSkinSection(Section);
        return c;
    }

    // The cache of a control as a bitmap of its size in one colour.
    static void FillCache(TsCommonData* SkinData, TColor Color, int Width, int Height)
    {
        if (!SkinData->FCacheBmp)
            SkinData->FCacheBmp = new TBitmap();
        SkinData->FCacheBmp->SetPixelFormat(pf24bit);
        SkinData->FCacheBmp->SetSize(Width, Height);
        FillDC(SkinData->FCacheBmp->Canvas()->Handle(), TRect(0, 0, Width, Height), Color);
    }
};

TColor PixelOf(TBitmap* Bmp, int X, int Y)
{
    return GetPixel(Bmp->Canvas()->Handle(), X, Y);
}

TBitmap* WhiteBitmap(int Width, int Height)
{
    auto* bmp = new TBitmap(Width, Height, pf24bit);
    FillDC(bmp->Canvas()->Handle(), TRect(0, 0, Width, Height), White);
    return bmp;
}

// ---------------------------------------------------------------------------
// Answers to a child.

TEST_F(Background, TransparentParentsPassTheQuestionUpAddingTheirPositions)
{
    Skin.AddSection({L"TEXTURED", 0, Blue, 30});
    Skin.AddSection({L"GLASS", 100});
    Skin.AddSection({L"BUTTON"});
    auto* a = Place<TTestPanel>(Form.get(), L"TEXTURED", 5, 5, 200, 150);
    auto* b = Place<TTestPanel>(a, L"GLASS", 10, 5, 150, 100);
    auto* c = Place<TTestPanel>(b, L"GLASS", 3, 4, 100, 80);
    auto* d = Place<TTestControl>(c, L"BUTTON", 7, 7, 20, 20);
    FillCache(a->SkinData(), Blue, 200, 150);
    d->HandleNeeded();

    TkvBGInfo bi;
    EXPECT_TRUE(GetBGInfo(&bi, c, false));
    EXPECT_EQ(bi.BgType, btCache);
    EXPECT_EQ(bi.Bmp, a->SkinData()->FCacheBmp);
    EXPECT_EQ(bi.Offset, TPoint(13, 9));

    // The child's own view of it: where its parent's origin lies in the cache.
    TCacheInfo ci = GetParentCache(d->SkinData());
    EXPECT_TRUE(ci.Ready);
    EXPECT_EQ(ci.Bmp, a->SkinData()->FCacheBmp);
    EXPECT_EQ(ci.X, 13);
    EXPECT_EQ(ci.Y, 9);

    // A window without a skin answers nothing: the default manager's colour.
    TkvBGInfo none;
    EXPECT_FALSE(GetBGInfo(&none, Form->Handle(), false));
    EXPECT_EQ(none.BgType, btFill);
    EXPECT_EQ(GetParentCacheHwnd(Form->Handle()).Ready, false);
}

TEST_F(Background, AControlsSystemColourReachesTheCacheAsItsValue)
{
    auto* lone = New<TTestControl>(Form.get()); // no parent, no skin section
    lone->SetColor(clWindow);
    EXPECT_EQ(GetParentCache(lone->SkinData()).FillColor, ColorToRGB(clWindow));
}

TEST_F(Background, ADrawRequestCopiesFromThePlaceOfTheAsker)
{
    Skin.AddSection({L"TEXTURED", 0, Blue, 30});
    Skin.AddSection({L"GLASS", 100});
    auto* a = Place<TTestPanel>(Form.get(), L"TEXTURED", 0, 0, 200, 150);
    auto* b = Place<TTestPanel>(a, L"GLASS", 10, 5, 150, 100);
    auto* c = Place<TTestPanel>(b, L"GLASS", 3, 4, 100, 80);
    FillCache(a->SkinData(), Blue, 200, 150);
    // The one red pixel of the cache lies behind point (2, 1) of c.
    SetPixel(a->SkinData()->FCacheBmp->Canvas()->Handle(), 15, 10, Red);

    std::unique_ptr<TBitmap> dst(WhiteBitmap(8, 8));
    TkvBGInfo bi;
    bi.PleaseDraw = true;
    bi.DrawDC = dst->Canvas()->Handle();
    bi.R = TRect(0, 0, 4, 4);
    bi.Offset = TPoint(2, 1);
    EXPECT_TRUE(GetBGInfo(&bi, c, true));
    EXPECT_EQ(bi.BgType, btCache);
    EXPECT_EQ(PixelOf(dst.get(), 0, 0), Red);
    EXPECT_EQ(PixelOf(dst.get(), 1, 0), Blue);
    EXPECT_EQ(PixelOf(dst.get(), 3, 3), Blue);
    EXPECT_EQ(PixelOf(dst.get(), 4, 4), White);
}

TEST_F(Background, AnswerByWhatTheSectionShows)
{
    Skin.AddSection({L"PLAIN", 0, Green});
    Skin.AddSection({L"TEXTURED", 0, Blue, 0, 40});
    Skin.AddSection({L"FRAMED", 100});
    Skin.AddBorder(L"FRAMED", 13, 2, 13, 2);
    auto* plain = Place<TTestPanel>(Form.get(), L"PLAIN", 0, 0, 50, 50);
    auto* textured = Place<TTestPanel>(Form.get(), L"TEXTURED", 0, 0, 50, 50);
    auto* framed = Place<TTestPanel>(Form.get(), L"FRAMED", 0, 0, 50, 50);
    auto* bare = Place<TTestControl>(Form.get(), nullptr, 0, 0, 50, 50);
    bare->SetColor(Red);

    TkvBGInfo bi;
    GetBGInfo(&bi, plain, false);
    EXPECT_EQ(bi.BgType, btFill);
    EXPECT_EQ(bi.Color, Green);

    FillCache(textured->SkinData(), Blue, 50, 50);
    GetBGInfo(&bi, textured, false);
    EXPECT_EQ(bi.BgType, btCache);
    EXPECT_EQ(bi.Bmp, textured->SkinData()->FCacheBmp);
    EXPECT_EQ(bi.Offset, TPoint(0, 0));

    // A thick border is the control's own: it answers from its own cache.
    GetBGInfo(&bi, framed, false);
    EXPECT_EQ(bi.BgType, btCache);
    EXPECT_EQ(bi.Bmp, framed->SkinData()->FCacheBmp);

    // No cache yet: no colour either.
    FreeAndNil(textured->SkinData()->FCacheBmp);
    GetBGInfo(&bi, textured, false);
    EXPECT_EQ(bi.BgType, btFill);
    EXPECT_EQ(bi.Color, clFuchsia);

    GetBGInfo(&bi, bare, false);
    EXPECT_EQ(bi.BgType, btFill);
    EXPECT_EQ(bi.Color, Red);

    // Asked to draw, plain answers paint the colour.
    for (TControl* c : {static_cast<TControl*>(plain), static_cast<TControl*>(bare)}) {
        std::unique_ptr<TBitmap> dst(WhiteBitmap(4, 4));
        TkvBGInfo draw;
        draw.PleaseDraw = true;
        draw.DrawDC = dst->Canvas()->Handle();
        draw.R = TRect(0, 0, 2, 2);
        GetBGInfo(&draw, c, true);
        EXPECT_EQ(PixelOf(dst.get(), 1, 1), c == plain ? Green : Red);
        EXPECT_EQ(PixelOf(dst.get(), 2, 2), White);
    }
}

TEST_F(Background, ColourAnswerAgreesWithTheColourChildrenSee)
{
    Skin.AddSection({L"PARENT", 0, Red});
    Skin.AddSection({L"SOLID", 0, Blue});
    Skin.AddSection({L"HALF", 50, Blue});
    Skin.AddSection({L"QUARTER", 25, Blue});
    Skin.AddSection({L"GLASS", 100, Blue});
    auto* parent = Place<TTestPanel>(Form.get(), L"PARENT", 0, 0, 100, 100);
    struct Case {
        const wchar_t* Section;
        bool Custom;
        TColor Expected;
    } cases[] = {
        {L"SOLID", false, Blue},
        {L"SOLID", true, Green},  // a control with its own colour shows it
        {L"HALF", false, 0x800080},
        {L"QUARTER", false, 0xBF0040},  // a quarter of the parent's colour
        {L"GLASS", false, Red},
        {nullptr, false, Green},  // not skinned: its own colour
    };
    for (const Case& c : cases) {
        auto* ctl = Place<TTestControl>(parent, c.Section, 0, 0, 20, 20);
        ctl->SetColor(Green);
        ctl->SkinData()->SetCustomColor(c.Custom);
        ctl->HandleNeeded();
        TColor seen = ColorToRGB(GetBGColor(ctl->SkinData(), 0));
        TColor answered = static_cast<TColor>(Command(ctl, SMC_GET_BG_COLOR));
        EXPECT_EQ(answered, seen) << (c.Section ? c.Section : L"-");
        // Each channel rounded either way.
        EXPECT_NEAR(answered & 0xFF, c.Expected & 0xFF, 1);
        EXPECT_NEAR((answered >> 8) & 0xFF, (c.Expected >> 8) & 0xFF, 1);
        EXPECT_NEAR((answered >> 16) & 0xFF, (c.Expected >> 16) & 0xFF, 1);
        EXPECT_EQ(GetControlColor(ctl), answered);
    }

    // A skin data without owner control does not answer.
    TsCommonData loose(nullptr, false);
    TMessage m = MakeMessage(SM_KORVEXCMD, MakeKorvexWParam(SMC_GET_BG_COLOR), 0, 0);
    EXPECT_FALSE(CommonMessage(m, &loose));
}

TEST_F(Background, TexturedAnswerFollowsThePictureBehind)
{
    Skin.AddSection({L"GRADIENT", 0, Blue, 30});
    Skin.AddSection({L"PLAIN"});
    Skin.AddSection({L"GLASS", 100});
    auto* gradient = Place<TTestPanel>(Form.get(), L"GRADIENT", 0, 0, 100, 100);
    auto* plain = Place<TTestPanel>(Form.get(), L"PLAIN", 0, 0, 100, 100);
    auto* overGradient = Place<TTestPanel>(gradient, L"GLASS", 0, 0, 50, 50);
    auto* overPlain = Place<TTestPanel>(plain, L"GLASS", 0, 0, 50, 50);
    auto* unskinned = Place<TTestPanel>(Form.get(), nullptr, 0, 0, 10, 10);
    overGradient->HandleNeeded();
    overPlain->HandleNeeded();

    EXPECT_EQ(Command(gradient, SMC_GET_TEXTURED), 1);
    EXPECT_EQ(Command(plain, SMC_GET_TEXTURED), 0);
    EXPECT_EQ(Command(overGradient, SMC_GET_TEXTURED), 1);
    EXPECT_EQ(Command(overPlain, SMC_GET_TEXTURED), 0);
    TMessage m = MakeMessage(SM_KORVEXCMD, MakeKorvexWParam(SMC_GET_TEXTURED), 0, 0);
    EXPECT_FALSE(CommonMessage(m, unskinned->SkinData()));
    EXPECT_TRUE(CommonMessage(m, gradient->SkinData()));
    EXPECT_EQ(m.LParam, 1);
}

// ---------------------------------------------------------------------------
// Copying the cache to the screen.

TEST_F(Background, CacheCopyLeavesOutChildrenThatPaintThemselves)
{
    Skin.AddSection({L"PANEL"});
    auto* panel = Place<TTestPanel>(Form.get(), L"PANEL", 0, 0, 100, 60);
    auto* graphic = Place<TTestGraphic>(panel, nullptr, 10, 10, 20, 20);
    auto* splitter = Place<TTestGraphic>(panel, nullptr, 40, 10, 10, 20);
    splitter->SkinData()->COC = 75;
    auto* hidden = Place<TTestGraphic>(panel, nullptr, 60, 10, 10, 20);
    hidden->SetVisible(false);
    auto* windowed = Place<TTestControl>(panel, nullptr, 75, 10, 20, 20);
    (void)graphic;
    (void)windowed;
    FillCache(panel->SkinData(), Red, 100, 60);

    std::unique_ptr<TBitmap> dst(WhiteBitmap(100, 60));
    CopyWinControlCache(panel, panel->SkinData(), TRect(0, 0, 100, 60), TRect(0, 0, 100, 60),
                        dst->Canvas()->Handle(), false);
    EXPECT_EQ(PixelOf(dst.get(), 5, 5), Red);
    EXPECT_EQ(PixelOf(dst.get(), 15, 15), White);  // a graphic child paints itself
    EXPECT_EQ(PixelOf(dst.get(), 45, 15), Red);    // a splitter is part of the picture
    EXPECT_EQ(PixelOf(dst.get(), 65, 15), Red);    // invisible
    EXPECT_EQ(PixelOf(dst.get(), 80, 15), Red);    // its window clips itself

    // Graphic children drawn as transparent are part of the picture too.
    StdTransparency = true;
    FillDC(dst->Canvas()->Handle(), TRect(0, 0, 100, 60), White);
    CopyWinControlCache(panel, panel->SkinData(), TRect(0, 0, 100, 60), TRect(0, 0, 100, 60),
                        dst->Canvas()->Handle(), false);
    StdTransparency = false;
    EXPECT_EQ(PixelOf(dst.get(), 15, 15), Red);
}

// A plain window with children made by hand.
struct TRawWindows {
    HWND Host = nullptr;
    ~TRawWindows()
    {
        if (Host)
            DestroyWindow(Host);
    }
    HWND Child(const wchar_t* Class, DWORD Style, int X, int Y, int W, int H)
    {
        return CreateWindowExW(0, Class, L"", WS_CHILD | WS_VISIBLE | Style, X, Y, W, H, Host, nullptr, nullptr,
                               nullptr);
    }
};

TEST_F(Background, WindowCacheCopyLeavesOnlyTheFrameOfAGroupBox)
{
    Skin.AddSection({L"GROUPBOX"});
    Skin.AddBorder(L"GROUPBOX", 3, 3, 4, 5);
    TRawWindows w;
    w.Host = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 100, 60, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(w.Host, nullptr);
    w.Child(L"BUTTON", BS_GROUPBOX, 10, 10, 40, 40);
    // A black static frame has the group box's style value (7); it is no group box.
    static_assert(SS_BLACKFRAME == BS_GROUPBOX);
    w.Child(L"STATIC", SS_BLACKFRAME, 60, 10, 30, 30);
    TsCommonData sd(nullptr, false);
    FillCache(&sd, Red, 100, 60);

    std::unique_ptr<TBitmap> dst(WhiteBitmap(100, 60));
    CopyHwndCache(w.Host, &sd, TRect(0, 0, 100, 60), TRect(0, 0, 100, 60), dst->Canvas()->Handle(), false);
    EXPECT_EQ(PixelOf(dst.get(), 5, 5), Red);
    EXPECT_EQ(PixelOf(dst.get(), 25, 25), Red);    // inside the group box
    EXPECT_EQ(PixelOf(dst.get(), 11, 25), White);  // its left frame
    EXPECT_EQ(PixelOf(dst.get(), 47, 25), White);  // its right frame
    EXPECT_EQ(PixelOf(dst.get(), 25, 47), White);  // its bottom frame
    EXPECT_EQ(PixelOf(dst.get(), 75, 25), White);  // the static, whole
}

} // namespace
