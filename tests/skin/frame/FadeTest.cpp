// The caption buttons' fades: the steps of opacity a hot, pressed and
// leaving button goes through, stepped by hand (the tests call the timer's
// tick), the picture the fade window shows (a face, or a skin's glow
// picture), and fades whose button, provider, form or skin goes while they
// run.
#include <array>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "FrameFixture.h"
#include "classlib/rtl/FileUtils.h"
#include "classlib/rtl/Streams.h"
#include "classlib/rtl/SysUtils.h"
#include "skin/core/kvntUtils.h"
#include "support/FakeInput.h"
#include "support/ResourceCount.h"

using namespace frametest;

namespace {

class CaptionFade : public FrameTest {
protected:
    void SetUp() override
    {
        FrameTest::SetUp();
        ASSERT_TRUE(Manager->AllowGlowing()) << "layered windows are there: every state change fades";
    }
    // The cursor over P of the window image; the form hit-tests there.
    int HoverAt(TForm* Form, const TPoint& P)
    {
        RECT w;
        ::GetWindowRect(Form->Handle(), &w);
        Input.Cursor = TPoint(w.left + P.x, w.top + P.y);
        return int(::SendMessageW(Form->Handle(), WM_NCHITTEST, 0, MAKELPARAM(Input.Cursor.x, Input.Cursor.y)));
    }
    static TkvSBAnimation* FadeOf(const TsCaptionButton& Btn) { return dynamic_cast<TkvSBAnimation*>(Btn.Timer); }
    // The constant alpha of each tick until the fade settles (at most 20 ticks).
    static std::vector<int> Ticks(TsCaptionButton& Btn, int Count)
    {
        std::vector<int> shown;
        for (int i = 0; i < Count && FadeOf(Btn); ++i) {
            FadeOf(Btn)->OnAnimTimer(nullptr);
            if (FadeOf(Btn))
                shown.push_back(FadeOf(Btn)->ShownBlend);
        }
        return shown;
    }
    TFakeInput Input;
};

// A skin folder of the test's own: the built-in skin's description and
// master image, with a glow picture for the close button (the fixtures'
// closeglow.png, straight alpha as PNG keeps it) and its margin added to
// "GLOBALINFO", as a skin author adds them.
struct TGlowSkinFolder {
    static constexpr const wchar_t* Name = L"Glow skin";
    static constexpr int Margin = 7, Width = 40, Height = 34;
    UnicodeString Dir = GetCurrentDir() + L"\\glowskins-" + IntToStr(static_cast<int>(::GetTickCount()));

    TGlowSkinFolder()
    {
        const UnicodeString skin = Dir + L"\\" + Name + L"\\";
        CreateDir(Dir);
        CreateDir(skin);
        ::CopyFileW(Widen(KV_BUILT_SKIN "/builtin/MASTER.BMP").c_str(), (skin + L"MASTER.BMP").c_str(), FALSE);
        ::CopyFileW(Widen(KV_FIXTURES "/glow/closeglow.png").c_str(), (skin + L"CLOSEGLOW.PNG").c_str(), FALSE);
        std::string text;
        {
            TFileStream in(Widen(KV_BUILT_SKIN "/builtin/Options.dat"), fmOpenRead | fmShareDenyWrite);
            text.resize(std::size_t(in.Size()));
            in.ReadBuffer(text.data(), int32_t(text.size()));
        }
        const std::string head = "[GLOBALINFO]\r\n";
        const std::size_t at = text.find(head);
        EXPECT_NE(at, std::string::npos);
        text.insert(at + head.size(), "BICONCLOSEGLOW0=!CLOSEGLOW.PNG!1!0!3\r\nBICONCLOSEGLOWMARGIN=" +
                                          std::to_string(Margin) + "\r\n");
        TFileStream out(skin + L"Options.dat", fmCreate);
        out.WriteBuffer(text.data(), int32_t(text.size()));
    }
    ~TGlowSkinFolder() { ClearDir(Dir, true); }

    // Pixel (X, Y) of closeglow.png, as make_glow.py writes it: B, G, R, A.
    static std::array<int, 4> Straight(int X, int Y)
    {
        return {0x40 + X, 0xC0 - 2 * Y, 0xFF, 0x20 + 3 * X + 2 * Y};
    }
};

} // namespace

// A skin with a glow picture for the close button: hot, the button glows.
// The fade window shows the picture (premultiplied by its alpha, as a
// layered window takes it), moved up and left of the button by the skin's
// glow margin, at the picture's size, and fades in as a face does.  Off
// the button the glow fades out where it was and its window goes.
// Without glowing allowed nothing glows.
TEST_F(CaptionFade, HotCloseButtonGlows)
{
    TGlowSkinFolder folder;
    Manager->SetSkinDirectory(folder.Dir);
    Manager->SetSkinName(TGlowSkinFolder::Name);
    ASSERT_EQ(Manager->SkinName(), TGlowSkinFolder::Name);
    const int mask = Manager->GetMaskIndex(s_GlobalInfo, L"BICONCLOSEGLOW0");
    ASSERT_TRUE(Manager->IsValidImgIndex(mask)) << "the skin's glow picture";
    ASSERT_EQ(Manager->SkinData->BICloseGlowMargin, TGlowSkinFolder::Margin);

    TOwned<TForm> form(NewForm(bsSizeable));
    TsSkinProvider* sp = ProviderOf(form.get());
    sp->FormActive = true;
    Image(sp);
    const TRect r = sp->ButtonClose.Rect;
    constexpr int gw = TGlowSkinFolder::Width, gh = TGlowSkinFolder::Height, margin = TGlowSkinFolder::Margin;
    {
        // The first glow fills the caches it leaves behind.
        HoverAt(form.get(), CentreOf(r));
        HoverAt(form.get(), TPoint(-50, -50));
        sp->KillAnimations();
        Application->ProcessMessages();
    }
    const TResourceCount before = CountResources();
    const TRect w = WindowRectOf(form->Handle());
    ASSERT_EQ(HoverAt(form.get(), CentreOf(r)), HTCLOSE);
    TkvSBAnimation* fade = FadeOf(sp->ButtonClose);
    ASSERT_NE(fade, nullptr);
    ASSERT_NE(fade->AForm, nullptr);
    EXPECT_EQ(fade->Offset(), margin);
    const TRect glowAt(w.left + r.left - margin, w.top + r.top - margin, w.left + r.left - margin + gw,
                       w.top + r.top - margin + gh);
    EXPECT_EQ(FadeWindowRect(fade), glowAt);
    ASSERT_EQ(fade->ABmp->Width(), gw);
    ASSERT_EQ(fade->ABmp->Height(), gh);
    for (int y = 0; y < gh; ++y)
        for (int x = 0; x < gw; ++x) {
            const std::array<int, 4> c = TGlowSkinFolder::Straight(x, y);
            const uint8_t* p = fade->ABmp->Rows().Pixel(x, y);
            ASSERT_EQ(p[3], c[3]) << x << "," << y;
            for (int i = 0; i < 3; ++i)
                ASSERT_NEAR(p[i], c[i] * c[3] / 255.0, 1.0) << x << "," << y << " channel " << i;
        }
    EXPECT_EQ(fade->ShownBlend, 25);
    EXPECT_EQ(Ticks(sp->ButtonClose, 9), (std::vector<int>{50, 75, 100, 125, 150, 175, 200, 225, 255}));

    Input.Cursor = TPoint(w.left + 5, w.bottom + 40);  // off the button
    fade->OnAnimTimer(nullptr);
    EXPECT_EQ(sp->ButtonClose.State, 0);
    EXPECT_EQ(Ticks(sp->ButtonClose, 1), std::vector<int>{250});
    ASSERT_NE(fade->AForm, nullptr);
    EXPECT_EQ(FadeWindowRect(fade), glowAt) << "the glow fades out where it was";
    EXPECT_EQ(fade->ABmp->Rows().Pixel(3, 4)[3], TGlowSkinFolder::Straight(3, 4)[3]);
    Ticks(sp->ButtonClose, 20);
    EXPECT_EQ(fade->AForm, nullptr);
    EXPECT_EQ(fade->ABmp, nullptr);
    // The fade itself stays for the next change: it goes with the others.
    sp->KillAnimations();
    Application->ProcessMessages();
    EXPECT_TRUE(NoResourceGrowth(before, CountResources()));

    // Glowing not allowed: the button's own face, at once, in the image.
    Manager->SetAllowGlowing(false);
    sp->KillAnimations();
    ASSERT_EQ(HoverAt(form.get(), CentreOf(r)), HTCLOSE);
    EXPECT_EQ(FadeOf(sp->ButtonClose), nullptr);
}

// A glow whose form goes, whose skin is taken away or changed, or whose
// form moves, goes with it at once: no window, timer or GDI object is left.
TEST_F(CaptionFade, GlowGoesWithItsFormAndSkin)
{
    enum TWhat { FormFreed, SkinRemoved, SkinChanged, Moved };
    for (TWhat what : {FormFreed, SkinRemoved, SkinChanged, Moved}) {
        SCOPED_TRACE(int(what));
        TOwned<TForm> form(NewForm(bsSizeable));
        TsSkinProvider* sp = ProviderOf(form.get());
        Image(sp);
        AddGlow(sp->ButtonClose, 40, 34, 7);
        const TPoint close = CentreOf(sp->ButtonClose.Rect);
        HoverAt(form.get(), close);
        HoverAt(form.get(), TPoint(-50, -50));
        sp->KillAnimations();
        Application->ProcessMessages();
        const TResourceCount before = CountResources();

        ASSERT_EQ(HoverAt(form.get(), close), HTCLOSE);
        ASSERT_NE(FadeOf(sp->ButtonClose), nullptr);
        Ticks(sp->ButtonClose, 3);
        ASSERT_NE(FadeOf(sp->ButtonClose)->AForm, nullptr);
        switch (what) {
        case FormFreed: form.reset(); break;
        case SkinRemoved: Manager->SetActive(false); break;
        case SkinChanged: Manager->UpdateSkin(); break;
        case Moved: form->SetBounds(90, 90, 320, 200); break;
        }
        Application->ProcessMessages();
        if (form) {
            EXPECT_EQ(FadeOf(sp->ButtonClose), nullptr);
        }
        EXPECT_TRUE(NoResourceGrowth(before, CountResources()));
        if (what == SkinRemoved)
            Manager->SetActive(true);
    }
}

// Hovering fades the hot face in: 25, then up by 25 a tick to 225, then
// 255; the window image keeps the normal face meanwhile.  Once the mouse
// is off the button, the owner hears of it and the face fades out from 250
// by 25 a tick; then the fade window goes and the fade stays for the next change.
TEST_F(CaptionFade, HotFadesInAndOutStepByStep)
{
    TOwned<TForm> form(NewForm(bsSizeable));
    TsSkinProvider* sp = ProviderOf(form.get());
    sp->FormActive = true;
    TBitmap* img = Image(sp);
    std::unique_ptr<TBitmap> before(new TBitmap(img->Width(), img->Height(), pf24bit));
    ::BitBlt(before->Canvas()->Handle(), 0, 0, img->Width(), img->Height(), img->Canvas()->Handle(), 0, 0, SRCCOPY);
    const TRect r = sp->ButtonClose.Rect;
    ASSERT_EQ(HoverAt(form.get(), CentreOf(r)), HTCLOSE);
    TkvSBAnimation* fade = FadeOf(sp->ButtonClose);
    ASSERT_NE(fade, nullptr);
    EXPECT_EQ(fade->ShownBlend, 25);
    EXPECT_EQ(fade->Interval(), 12u);
    ASSERT_NE(fade->AForm, nullptr);
    EXPECT_EQ(fade->AForm->Tag(), -98);
    EXPECT_TRUE(::GetWindowLongW(fade->AForm->Handle(), GWL_EXSTYLE) & WS_EX_LAYERED);
    EXPECT_EQ(::GetWindow(form->Handle(), GW_HWNDPREV), fade->AForm->Handle()) << "right above its form";
    RECT fw;
    ::GetWindowRect(fade->AForm->Handle(), &fw);
    RECT w;
    ::GetWindowRect(form->Handle(), &w);
    EXPECT_EQ(fw.left - w.left, r.left);
    EXPECT_EQ(fw.top - w.top, r.top);

    // The fade shows the skin's hot face, opaque, over the unchanged image.
    const TsMaskData& face = Mask(s_GlobalInfo, s_BiconClose);
    int compared = 0;
    for (int y = 0; y < r.Height(); ++y)
        for (int x = 0; x < r.Width(); ++x) {
            const uint8_t* p = fade->ABmp->Rows().Pixel(x, y);
            ASSERT_EQ(p[3], 255) << x << "," << y;
            const TRgb pic = MaskPicture(face, 1, x, y);
            if (!(MaskMask(face, 1, x, y) == TRgb{}) || pic == (TRgb{255, 0, 255}))
                continue;
            ASSERT_EQ((TRgb{p[0], p[1], p[2]}), pic) << x << "," << y;
            ++compared;
        }
    EXPECT_GT(compared, 10);
    EXPECT_EQ(PixelAt(img, CentreOf(r).x, CentreOf(r).y), PixelAt(before.get(), CentreOf(r).x, CentreOf(r).y));

    EXPECT_EQ(Ticks(sp->ButtonClose, 9), (std::vector<int>{50, 75, 100, 125, 150, 175, 200, 225, 255}));
    EXPECT_EQ(Ticks(sp->ButtonClose, 2), (std::vector<int>{255, 255})) << "held while the mouse stays";
    EXPECT_TRUE(fade->Enabled());

    Input.Cursor = TPoint(w.left + 5, w.bottom + 40);  // off the button
    fade->OnAnimTimer(nullptr);  // notices, and the form answers with the fade-out
    EXPECT_EQ(sp->ButtonClose.State, 0);
    EXPECT_EQ(Ticks(sp->ButtonClose, 11),
              (std::vector<int>{250, 225, 200, 175, 150, 125, 100, 75, 50, 25, 0}));
    EXPECT_EQ(FadeOf(sp->ButtonClose), fade) << "kept for the next change";
    EXPECT_EQ(fade->AForm, nullptr);
    EXPECT_EQ(fade->ABmp, nullptr);
    EXPECT_EQ(fade->CurrentState, -1);
    EXPECT_FALSE(fade->Enabled());

    // Hovered again, the same fade starts over.
    ASSERT_EQ(HoverAt(form.get(), CentreOf(r)), HTCLOSE);
    EXPECT_EQ(FadeOf(sp->ButtonClose), fade);
    EXPECT_EQ(Ticks(sp->ButtonClose, 1), std::vector<int>{0});
    EXPECT_EQ(Ticks(sp->ButtonClose, 1), std::vector<int>{25});
}

// A press shows the pressed face at full opacity on the next tick, whatever
// the hot fade had reached.
TEST_F(CaptionFade, PressShowsThePressedFaceInOneStep)
{
    TOwned<TForm> form(NewForm(bsSizeable));
    TsSkinProvider* sp = ProviderOf(form.get());
    sp->FormActive = true;
    Image(sp);
    const TRect r = sp->ButtonMax.Rect;
    ASSERT_EQ(HoverAt(form.get(), CentreOf(r)), HTMAXBUTTON);
    Ticks(sp->ButtonMax, 3);
    sp->SetPressedHT(HTMAXBUTTON);
    TkvSBAnimation* fade = FadeOf(sp->ButtonMax);
    ASSERT_NE(fade, nullptr);
    ASSERT_NE(fade->ABmp, nullptr);
    EXPECT_EQ(Ticks(sp->ButtonMax, 1), std::vector<int>{255});
    const TsMaskData& face = Mask(s_GlobalInfo, s_BiconMax);
    const TPoint c(r.Width() / 2, r.Height() / 2);
    bool found = false;
    for (int y = 0; y < r.Height() && !found; ++y)
        for (int x = 0; x < r.Width() && !found; ++x)
            if (MaskMask(face, 2, x, y) == TRgb{} && !(MaskPicture(face, 2, x, y) == TRgb{255, 0, 255})) {
                const uint8_t* p = fade->ABmp->Rows().Pixel(x, y);
                EXPECT_EQ((TRgb{p[0], p[1], p[2]}), MaskPicture(face, 2, x, y));
                found = true;
            }
    EXPECT_TRUE(found);
    (void)c;
}

// No steps at all fade nothing (and divide nothing by zero).
TEST_F(CaptionFade, AFadeOfNoStepsShowsNothing)
{
    TOwned<TForm> form(NewForm(bsSizeable));
    TsSkinProvider* sp = ProviderOf(form.get());
    Image(sp);
    sp->ButtonClose.State = 1;
    StartSBAnimation(&sp->ButtonClose, 1, 0, true, sp);
    TkvSBAnimation* fade = FadeOf(sp->ButtonClose);
    ASSERT_NE(fade, nullptr);
    EXPECT_EQ(fade->Step(), 0);
    EXPECT_EQ(fade->ShownBlend, 0);
    EXPECT_FALSE(fade->Enabled());
}

// A fade whose title button, provider or form goes mid-way goes with it:
// no timer, window or GDI object is left, and nothing runs on afterwards.
TEST_F(CaptionFade, FadesGoWithTheirButtonProviderOrForm)
{
    enum TWhat { Button, Provider, Form };
    for (TWhat what : {Button, Provider, Form}) {
        SCOPED_TRACE(int(what));
        TOwned<TForm> form(NewForm(bsSizeable));
        TsSkinProvider* sp = ProviderOf(form.get());
        TsTitleButton* tb = sp->TitleButtons()->Add();
        tb->Glyph()->SetSize(12, 12);
        tb->Glyph()->SetPixelFormat(pf24bit);
        Image(sp);
        ASSERT_FALSE(tb->BtnData.Rect.IsEmpty());
        // Warm the caches a first fade fills.
        HoverAt(form.get(), CentreOf(sp->ButtonClose.Rect));
        HoverAt(form.get(), TPoint(-50, -50));
        sp->KillAnimations();
        Application->ProcessMessages();
        const TResourceCount before = CountResources();

        ASSERT_EQ(HoverAt(form.get(), CentreOf(tb->BtnData.Rect)), HTUDBTN);
        ASSERT_NE(FadeOf(tb->BtnData), nullptr);
        Ticks(tb->BtnData, 3);
        switch (what) {
        case Button: delete tb; break;
        case Provider: delete sp; break;
        case Form: form.reset(); break;
        }
        Application->ProcessMessages();
        EXPECT_TRUE(NoResourceGrowth(before, CountResources()));
        if (what == Button) {
            sp->SkinData()->BGChanged = true;
            sp->PaintAll();  // the frame goes on without the button
            EXPECT_EQ(sp->TitleButtons()->Count(), 0);
        }
    }
}

// A glow picture without alpha (a bitmap file) glows opaque, but for its
// key colour, which shows nothing.
TEST_F(CaptionFade, AGlowPictureWithoutAlphaIsOpaqueButForItsKeyColour)
{
    TOwned<TForm> form(NewForm(bsSizeable));
    TsSkinProvider* sp = ProviderOf(form.get());
    Image(sp);
    TBitmap* glow = AddGlow(sp->ButtonClose, 30, 30, 4);
    glow->SetPixelFormat(pf24bit);
    uint8_t* key = glow->Rows().Pixel(2, 3);
    key[0] = 0xFF, key[1] = 0, key[2] = 0xFF;
    ASSERT_EQ(HoverAt(form.get(), CentreOf(sp->ButtonClose.Rect)), HTCLOSE);
    TkvSBAnimation* fade = FadeOf(sp->ButtonClose);
    ASSERT_NE(fade, nullptr);
    ASSERT_NE(fade->ABmp, nullptr);
    const uint8_t* p = fade->ABmp->Rows().Pixel(2, 3);
    EXPECT_EQ((std::array<int, 4>{p[0], p[1], p[2], p[3]}), (std::array<int, 4>{0, 0, 0, 0}));
    p = fade->ABmp->Rows().Pixel(5, 6);
    const uint8_t* q = glow->Rows().Pixel(5, 6);
    EXPECT_EQ((std::array<int, 4>{p[0], p[1], p[2], p[3]}), (std::array<int, 4>{q[0], q[1], q[2], 255}));
}
