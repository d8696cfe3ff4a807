// What the frame tests share: a manager with the built-in skin, skinned
// forms of each border style, their window image painted into memory and
// read by pixels, and the skin's own images to compare it with.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "../manager/ManagerFixture.h"
#include "classlib/controls/Forms.h"
#include "classlib/controls/Menus.h"
#include "skin/core/sSkinManager_Store.h"
#include "skin/core/sSkinProps.h"
#include "skin/forms/kvDials.h"
#include "skin/forms/sSkinProvider.h"
#include "skin/paint/kvPNG.h"
#include "skin/paint/sAlphaGraph.h"

namespace frametest {

using namespace managertest;

inline const bool Registered = [] {
    RegisterSkinFormsServices();
    return true;
}();

// The four border styles of the viewer's windows, and the other two.
struct TStyleCase {
    const char* Name;
    TFormBorderStyle Style;
};
inline constexpr TStyleCase ViewerStyles[] = {
    {"sizeable", bsSizeable}, {"none", bsNone}, {"dialog", bsDialog}, {"sizetoolwin", bsSizeToolWin}};
inline constexpr TStyleCase AllStyles[] = {{"sizeable", bsSizeable},       {"none", bsNone},
                                           {"dialog", bsDialog},           {"sizetoolwin", bsSizeToolWin},
                                           {"single", bsSingle},           {"toolwindow", bsToolWindow}};

struct TRgb {
    uint8_t B = 0, G = 0, R = 0;
    bool operator==(const TRgb&) const = default;
};

inline TRgb PixelAt(TBitmap* Bmp, int X, int Y)
{
    const TBitmapRows rows = Bmp->Rows();
    const uint8_t* p = rows.Pixel(X, Y);
    return {p[0], p[1], p[2]};
}

inline TPoint CentreOf(const TRect& R)
{
    return TPoint((R.left + R.right) / 2, (R.top + R.bottom) / 2);
}

inline std::ostream& operator<<(std::ostream& Out, const TRgb& C)
{
    return Out << "rgb(" << int(C.R) << "," << int(C.G) << "," << int(C.B) << ")";
}

// The viewer carries the built-in shadow pictures as resources; a test
// program reads the ones the build drew (once).
inline void UseBuiltShadowImages()
{
    if (ShdaImage())
        return;
    auto active = std::make_unique<TPNGGraphic>(), inactive = std::make_unique<TPNGGraphic>();
    active->LoadFromFile(Widen(KV_BUILT_SKIN "/pictures/KVSHDA.png"));
    inactive->LoadFromFile(Widen(KV_BUILT_SKIN "/pictures/KVSHDI.png"));
    SetShadowImages(active.release(), inactive.release());
}

// The alpha byte of a 32-bit bitmap's pixel.
inline uint8_t AlphaAt(TBitmap* Bmp, int X, int Y)
{
    return Bmp->Rows().Pixel(X, Y)[3];
}

inline TRect WindowRectOf(HWND Wnd)
{
    RECT r;
    ::GetWindowRect(Wnd, &r);
    return TRect(r);
}

// The window rectangle of a caption button's fade window.
inline TRect FadeWindowRect(TkvSBAnimation* Fade)
{
    RECT r{};
    ::GetWindowRect(Fade->AForm->Handle(), &r);
    return TRect(r);
}

// A point of a border window (relative to it) as the mouse finds it: what
// the window answers the system (19 on the frame, transparent over the
// shadow) and the owner's hit code there.
struct TBorderHit {
    int System, Code;
};
inline TBorderHit BorderHitAt(TkvBorderForm* Bf, const TPoint& P)
{
    const TRect b = WindowRectOf(Bf->Handle());
    const LPARAM at = MAKELPARAM(b.left + P.x, b.top + P.y);
    const int system = int(::SendMessageW(Bf->Handle(), WM_NCHITTEST, 0, at));
    TMessage msg{WM_NCHITTEST, 0, at, 0};
    return {system, Bf->Ex_WMNCHitTest(msg)};
}

// Points of a border window's frame: each answers 19 to the system and
// its code to the owner.
struct TBorderHitCase {
    const char* Name;
    TPoint P;
    int Code;
};
inline void ExpectBorderHits(TkvBorderForm* Bf, std::initializer_list<TBorderHitCase> Cases)
{
    for (const TBorderHitCase& c : Cases) {
        SCOPED_TRACE(c.Name);
        const TBorderHit h = BorderHitAt(Bf, c.P);
        EXPECT_EQ(h.Code, c.Code);
        EXPECT_EQ(h.System, 19);
    }
}

class FrameTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(Registered);
        // The system's cursor is shared by every program of the Wine server
        // and another test may have left it anywhere: away from the forms,
        // so that no real mouse message reaches them.
        ::SetCursorPos(0, 0);
        Manager.reset(NewManager());
        ASSERT_EQ(DefaultManager, Manager.get());
    }
    void TearDown() override
    {
        Manager.reset();
        Application->ProcessMessages();
    }

    // A shown, skinned form of the style; the owner frees it.  Prepare
    // gets the form before it is shown.
    template <class F = void (*)(TForm*)>
    TForm* NewForm(TFormBorderStyle Style, const UnicodeString& Caption = L"Frame", F Prepare = [](TForm*) {})
    {
        TForm* f = TForm::CreateNew(Application);
        f->SetBorderStyle(Style);
        f->SetCaption(Caption);
        f->SetBounds(60, 60, 320, 200);
        Prepare(f);
        f->Show();
        Application->ProcessMessages();
        return f;
    }
    static TsSkinProvider* ProviderOf(TForm* Form)
    {
        TsSkinProvider* sp = GetSkinProvider(Form);
        EXPECT_NE(sp, nullptr);
        return sp;
    }
    // The window image rebuilt now.
    static TBitmap* Image(TsSkinProvider* Sp)
    {
        Sp->SkinData()->BGChanged = true;
        Sp->PaintAll();
        return Sp->SkinData()->FCacheBmp;
    }
    // The whole window as it shows: frame and client printed into a bitmap
    // (the caller owns it).
    static TBitmap* Shown(TForm* Form)
    {
        RECT r;
        ::GetWindowRect(Form->Handle(), &r);
        TBitmap* b = new TBitmap(int(r.right - r.left), int(r.bottom - r.top), pf24bit);
        // The form leaves the origin at its client area for the children.
        const HDC dc = b->Canvas()->Handle();
        const int saved = ::SaveDC(dc);
        ::SendMessageW(Form->Handle(), WM_PRINT, WPARAM(dc), PRF_NONCLIENT | PRF_CLIENT | PRF_ERASEBKGND | PRF_CHILDREN);
        ::RestoreDC(dc, saved);
        return b;
    }
    // A main menu with items of these captions.
    static TMainMenu* AddMenu(TForm* Form, std::initializer_list<const wchar_t*> Captions)
    {
        auto* menu = New<TMainMenu>(Form);
        for (const wchar_t* c : Captions) {
            auto* item = New<TMenuItem>(Form);
            item->SetCaption(c);
            menu->Items()->Add(item);
        }
        Form->SetMenu(menu);
        Application->ProcessMessages();
        return menu;
    }
    // A WM_NCHITTEST at a point relative to the window's top-left.
    static int HitAt(TForm* Form, const TPoint& P)
    {
        RECT r;
        ::GetWindowRect(Form->Handle(), &r);
        return int(::SendMessageW(Form->Handle(), WM_NCHITTEST, 0, MAKELPARAM(r.left + P.x, r.top + P.y)));
    }
    const TsMaskData& Mask(const wchar_t* Section, const wchar_t* Name)
    {
        const int i = Manager->GetMaskIndex(Section, Name);
        EXPECT_TRUE(Manager->IsValidImgIndex(i)) << "the built-in skin lacks a mask";
        return Manager->ma[std::size_t(i)];
    }
    // Pixel (X, Y) of frame State of a skin image: the picture and its mask.
    TRgb MaskPicture(const TsMaskData& Md, int State, int X, int Y)
    {
        TBitmap* src = ImageBitmapOf(Md);
        return PixelAt(src, Md.R.left + FrameOf(Md, State) * WidthOfImage(Md) + X, Md.R.top + Y);
    }
    TRgb MaskMask(const TsMaskData& Md, int State, int X, int Y)
    {
        TBitmap* src = ImageBitmapOf(Md);
        return PixelAt(src, Md.R.left + FrameOf(Md, State) * WidthOfImage(Md) + X, Md.R.top + HeightOfImage(Md) + Y);
    }

    // A glow picture for the button's face, W x H, in "GLOBALINFO" under
    // the face's name + "GLOW0", with the margin the skin gives the close
    // button's glow.  Opaque, and every pixel differs.
    TBitmap* AddGlow(const TsCaptionButton& Btn, int W, int H, int Margin)
    {
        auto* bmp = new TBitmap(W, H, pf32bit);
        const TBitmapRows rows = bmp->Rows();
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x) {
                uint8_t* p = rows.Pixel(x, y);
                p[0] = uint8_t(x), p[1] = uint8_t(y), p[2] = 0x40, p[3] = 0xFF;
            }
        TsMaskData m;
        m.ClassName = s_GlobalInfo;
        m.PropertyName = Manager->ma[std::size_t(Btn.ImageIndex)].PropertyName + L"GLOW0";
        m.R = TRect(0, 0, W, H);
        m.ImageCount = 1;
        m.ImgType = itisaGlow;
        m.Manager = Manager.get();
        m.Bmp = bmp;  // the manager frees its images' bitmaps
        Manager->ma.push_back(m);
        Manager->SkinData->BICloseGlowMargin = Margin;
        return bmp;
    }
    std::unique_ptr<TsSkinManager> Manager;
};

} // namespace frametest
