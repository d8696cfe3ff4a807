// The speed-button handler: class-library speed buttons painted from the
// skin in their states, their caption and glyph laid out, the command
// message answered, and the button's WindowProc given back in every order.
#include <gtest/gtest.h>

#include "WrapperFixture.h"
#include "classlib/controls/Buttons.h"
#include "skin/core/sMessages.h"
#include "skin/core/sStyleSimply.h"
#include "skin/paint/sAlphaGraph.h"
#include "skin/paint/sGraphUtils.h"
#include "skin/paint/sGraphUtils_Sections.h"
#include "skin/wrappers/kvSBUtils_SpeedButton.h"
#include "support/FakeInput.h"
#include "support/ResourceCount.h"

using namespace wraptest;

namespace {

TColor Px(TBitmap* Bmp, int X, int Y)
{
    return ::GetPixel(Bmp->Canvas()->Handle(), X, Y);
}

// A WindowProc put on the button: records the command message's
// sub-commands that reach it.
struct TRecorder {
    TControl* C = nullptr;
    TWndMethod Old;
    std::vector<int> Commands;
    int Messages = 0;
    void Attach(TControl* Control)
    {
        C = Control;
        Old = C->WindowProc;
        C->WindowProc = Bind(this, &TRecorder::Proc);
    }
    void Detach() { C->WindowProc = Old; }
    void Proc(TMessage& M)
    {
        ++Messages;
        if (M.Msg == SM_KORVEXCMD)
            Commands.push_back(HIWORD(M.WParam));
        Old(M);
    }
};

class SpeedButtons : public WrapperTest {
protected:
    TSpeedButton* Btn = nullptr;
    TsCommonData* Data = nullptr;
    TkvSpeedButtonHandler* Handler = nullptr;
    TFakeInput Input;

    void SetUp() override
    {
        WrapperTest::SetUp();
        Btn = New<TSpeedButton>(Form.get());
        Btn->SetParent(Form.get());
        Btn->SetBounds(40, 30, 64, 28);
        Data = new TsCommonData(Btn, true);
        Data->SetSkinManager(Manager);
    }
    void TearDown() override
    {
        delete Handler;
        Handler = nullptr;
        delete Data;
        WrapperTest::TearDown();
    }
    void Hook() { Handler = new TkvSpeedButtonHandler(Btn, Data, nullptr, L"BUTTON", true); }
    TRect BtnRect() const { return Btn->BoundsRect(); }
    TOwned<TBitmap> Painted()
    {
        TOwned<TBitmap> b(New<TBitmap>(400, 300, pf24bit));
        Form->PaintTo(b->Canvas()->Handle(), 0, 0);
        ::GdiFlush();
        return b;
    }
    // The skin's section as a control of the button's size and place looks
    // over the form (which shows its own colour) in State; disabled, blended
    // with what lies behind.
    TOwned<TBitmap> Reference(int State, bool Disabled = false)
    {
        const int w = Btn->Width(), h = Btn->Height();
        // A hidden twin of the button, so that the skin data's messages to
        // its owner stay away from the hooked button.
        TOwned<TSpeedButton> twin(New<TSpeedButton>(nullptr));
        twin->SetVisible(false);
        twin->SetParent(Form.get());
        twin->SetBoundsRect(Btn->BoundsRect());
        TsCommonData data(twin.get(), true);
        data.SetSkinManager(Manager);
        data.SetSkinSection(L"BUTTON");
        data.InitCacheBmp();
        TBitmap* b = data.FCacheBmp;
        TCacheInfo ci;
        ci.FillColor = ColorToRGB(Form->Color());
        PaintItem(&data, ci, true, State, TRect(0, 0, w, h), TPoint(Btn->Left(), Btn->Top()), b, true);
        UpdateCorners(&data, State);
        if (Disabled)
            BmpDisabledKind(b, TsDisabledKind{dkBlended}, Form.get(), ci, TPoint(Btn->Left(), Btn->Top()));
        TOwned<TBitmap> out(New<TBitmap>());
        out->Assign(b);
        return out;
    }
    int Differ(TBitmap* Painted, TBitmap* Ref)
    {
        int n = 0;
        for (int y = 0; y < Ref->Height(); ++y)
            for (int x = 0; x < Ref->Width(); ++x)
                n += Px(Painted, Btn->Left() + x, Btn->Top() + y) != Px(Ref, x, y);
        return n;
    }
    // The mouse at a client point of the form: the cursor and the form's
    // own mouse message.
    void MouseAt(int X, int Y, UINT Msg = WM_MOUSEMOVE, WPARAM Keys = 0)
    {
        Input.Cursor = Form->ClientToScreen(TPoint(X, Y));
        Form->Perform(Msg, Keys, MAKELPARAM(X, Y));
    }
};

TEST_F(SpeedButtons, ButtonIsPaintedAsTheSkinsSectionInEachState)
{
    Hook();
    const int cx = BtnRect().left + 10, cy = BtnRect().top + 10;
    struct {
        const char* Name;
        std::function<void()> Set, Reset;
        int State;
        bool Disabled;
    } const cases[] = {
        {"up", [] {}, [] {}, 0, false},
        {"flat", [&] { Btn->SetFlat(true); }, [&] { Btn->SetFlat(false); }, 0, false},
        {"hot", [&] { MouseAt(cx, cy); }, [&] { MouseAt(390, 290); }, 1, false},
        {"pressed", [&] { MouseAt(cx, cy, WM_LBUTTONDOWN, MK_LBUTTON); },
         [&] { MouseAt(cx, cy, WM_LBUTTONUP); MouseAt(390, 290); }, 2, false},
        {"grouped down", [&] { Btn->SetGroupIndex(1); Btn->SetDown(true); },
         [&] { Btn->SetAllowAllUp(true); Btn->SetDown(false); Btn->SetGroupIndex(0); }, 2, false},
        {"disabled", [&] { Btn->SetEnabled(false); }, [&] { Btn->SetEnabled(true); }, 0, true},
    };
    for (const auto& c : cases) {
        c.Set();
        EXPECT_EQ(Handler->CurrentState(), c.State) << c.Name;
        auto ref = Reference(c.State, c.Disabled);
        EXPECT_EQ(Differ(Painted().get(), ref.get()), 0) << c.Name;
        c.Reset();
    }
    EXPECT_EQ(Handler->CurrentState(), 0);
}

TEST_F(SpeedButtons, CaptionIsCentredAndMovesWhenPressed)
{
    Hook();
    Btn->SetCaption(L"Go");
    const TSize t = Handler->TextRectSize();
    ASSERT_GT(t.cx, 0);
    const TRect up = Handler->CaptionRect();
    EXPECT_EQ(up.left, (64 - t.cx) / 2);
    EXPECT_EQ(up.top, (28 - t.cy) / 2);
    MouseAt(50, 40, WM_LBUTTONDOWN, MK_LBUTTON);
    ASSERT_EQ(Handler->CurrentState(), 2);
    const TRect down = Handler->CaptionRect();
    EXPECT_EQ(down.left, up.left + 1);
    EXPECT_EQ(down.top, up.top + 1);
    // The caption is written in the section's font colour.
    auto b = Painted();
    const int i = Manager->GetSkinIndex(L"BUTTON");
    const TColor text = ColorToRGB(Manager->gd[size_t(i)].HotFontColor[1]);
    int found = 0;
    for (int y = down.top; y < down.bottom; ++y)
        for (int x = down.left; x < down.right; ++x)
            found += Px(b.get(), Btn->Left() + x, Btn->Top() + y) == text;
    EXPECT_GT(found, 0);
    MouseAt(50, 40, WM_LBUTTONUP);
}

TEST_F(SpeedButtons, LongCaptionWrapsInsideA255PixelBox)
{
    Hook();
    UnicodeString words;
    for (int i = 0; i < 40; ++i)
        words += L"Word ";
    Btn->SetCaption(words);
    const TSize t = Handler->TextRectSize();
    EXPECT_LE(t.cx, 255);
    Btn->SetCaption(L"W");
    const TSize one = Handler->TextRectSize();
    EXPECT_GT(t.cy, one.cy);
}

TEST_F(SpeedButtons, GlyphLayoutAndAlpha)
{
    Hook();
    // A glyph of two frames goes where its layout puts it.
    TOwned<TBitmap> strip(New<TBitmap>(32, 16, pf24bit));
    FillDC(strip->Canvas()->Handle(), TRect(0, 0, 32, 16), 0x0000FF);
    // Its bottom-left pixel names the colour drawn transparent.
    ::SetPixel(strip->Canvas()->Handle(), 0, 15, 0xFFFFFF);
    Btn->SetGlyph(strip.get());
    Btn->SetNumGlyphs(2);
    Btn->SetCaption(L"");
    EXPECT_EQ(Handler->ImgRect(), TRect((64 - 16) / 2, (28 - 16) / 2, (64 - 16) / 2 + 16, (28 - 16) / 2 + 16));
    Btn->SetMargin(3);
    Btn->SetLayout(blGlyphRight);
    EXPECT_EQ(Handler->ImgRect().left, 64 - 16 - 3);
    auto b = Painted();
    const TRect g = Handler->ImgRect();
    EXPECT_EQ(Px(b.get(), Btn->Left() + g.left + 8, Btn->Top() + g.top + 8), TColor(0x0000FF));

    // One frame of 32 bits: half-transparent red over the section.
    TOwned<TBitmap> alpha(New<TBitmap>(16, 16, pf32bit));
    for (int y = 0; y < 16; ++y) {
        auto* row = static_cast<uint8_t*>(alpha->ScanLine(y));
        for (int x = 0; x < 16; ++x) {
            row[x * 4 + 0] = 0;
            row[x * 4 + 1] = 0;
            row[x * 4 + 2] = 255;
            row[x * 4 + 3] = 128;
        }
    }
    Btn->SetNumGlyphs(1);
    Btn->SetGlyph(alpha.get());
    auto ref = Reference(0);
    b = Painted();
    const TRect a = Handler->ImgRect();
    const TColor under = Px(ref.get(), a.left + 8, a.top + 8), got = Px(b.get(), Btn->Left() + a.left + 8, Btn->Top() + a.top + 8);
    EXPECT_NEAR(GetRValue(got), (255 + GetRValue(under)) / 2, 2);
    EXPECT_NEAR(GetGValue(got), GetGValue(under) / 2, 2);
    EXPECT_NEAR(GetBValue(got), GetBValue(under) / 2, 2);
}

TEST_F(SpeedButtons, HandlerAnswersTheCommandMessageAndPassesOnOthers)
{
    TRecorder below;
    below.Attach(Btn);
    Hook();
    below.Commands.clear();
    EXPECT_EQ(Btn->Perform(SM_KORVEXCMD, MakeKorvexWParam(SMC_IS_SKINNED)), 1);
    EXPECT_EQ(Btn->Perform(SM_KORVEXCMD, MakeKorvexWParam(SMC_GET_APPLICATION)), LRESULT(Application));
    EXPECT_TRUE(below.Commands.empty());

    // A skin set by another manager reaches the button as it was.
    TsSkinManager* other = managertest::NewManager();
    Btn->Perform(SM_KORVEXCMD, MakeKorvexWParam(SMC_SKIN_SET), reinterpret_cast<LPARAM>(other));
    EXPECT_EQ(below.Commands, std::vector<int>{SMC_SKIN_SET});
    Btn->Perform(SM_KORVEXCMD, MakeKorvexWParam(SMC_SKIN_SET), reinterpret_cast<LPARAM>(Manager));
    EXPECT_EQ(below.Commands.size(), 1u);
    FreeAndNil(other);
    delete Handler;
    Handler = nullptr;
    below.Detach();
}

TEST_F(SpeedButtons, WithoutTheSkinTheButtonPaintsItself)
{
    Hook();
    auto skinned = Painted();
    ASSERT_EQ(Differ(skinned.get(), Reference(0).get()), 0);
    Manager->SendRemoveSkin();
    EXPECT_GT(Differ(Painted().get(), Reference(0).get()), 0);
}

TEST_F(SpeedButtons, ButtonGetsItsWindowProcBackInEveryOrder)
{
    const TWndMethod own = Btn->WindowProc;
    // The handler goes first, also while an adapter frees all its items.
    for (bool removing : {false, true}) {
        TFlagScope flag(bRemoving, removing);
        Hook();
        EXPECT_NE(Btn->WindowProc, own);
        delete Handler;
        Handler = nullptr;
        EXPECT_EQ(Btn->WindowProc, own) << removing;
    }
    // A WindowProc put on later stays in the chain.
    Hook();
    TRecorder later;
    later.Attach(Btn);
    delete Handler;
    Handler = nullptr;
    Btn->Perform(WM_NULL);
    EXPECT_EQ(later.Messages, 1);
    later.Detach();
    Btn->Perform(WM_NULL);
    EXPECT_EQ(Btn->WindowProc, own);

    // The button goes first: the handler is freed later without touching it.
    Hook();
    FreeAndNil(Btn);
    delete Handler;
    Handler = nullptr;
}

TEST_F(SpeedButtons, PaintingLeaksNothing)
{
    Hook();
    Btn->SetCaption(L"Go");
    Painted();
    const TResourceCount before = CountResources();
    for (int i = 0; i < 3; ++i) {
        MouseAt(50, 40);
        Painted();
        MouseAt(390, 290);
        Painted();
    }
    EXPECT_TRUE(NoResourceGrowth(before, CountResources()));
}

} // namespace
