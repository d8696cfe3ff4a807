#include "skin/paint/kvGlow.h"

#include <algorithm>

#include "classlib/controls/Forms.h"
#include "classlib/graphics/GdiHandles.h"
#include "skin/core/sConst.h"
#include "skin/core/sSkinManager.h"
#include "skin/paint/sAlphaGraph.h"
#include "skin/paint/sGraphUtils.h"

namespace {

std::vector<TkvGlowEffect*> kvgEffects;
// The id of kvgEffects[0]: grows by the list's length at every ClearGlows.
int FirstId = 0;

BLENDFUNCTION FBlend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};

} // namespace

TkvGlowEffect::~TkvGlowEffect()
{
    FreeAlphaBmp();
    if (!Wnd)
        return;
    Wnd->WindowProc = OldWndProc;
    // A glow may be hidden from inside one of its own messages: its window
    // goes through its message queue, unless the manager is going away now.
    // Freed the class library's way, so that the window goes while the form
    // is whole (BeforeDestruction).
    if (SkinManager && SkinManager->ComponentState().Contains(csDestroying))
        FreeAndNil(Wnd);
    else
        Wnd->Release();
    Wnd = nullptr;
}

void TkvGlowEffect::FreeAlphaBmp()
{
    FreeAndNil(AlphaBmp);
}

namespace {

TBitmap* FilledBmp32(int Width, int Height, uint8_t Byte)
{
    TBitmap* bmp = CreateBmp32(std::max(Width, 0), std::max(Height, 0));
    const TBitmapRows rows = bmp->Rows();
    for (int y = 0; y < rows.Height; ++y)
        std::fill_n(rows.Row(y), size_t(rows.Width) * 4, Byte);
    return bmp;
}

// The skin renderer mixes the glow image over its background by the
// image's mask but leaves the alpha bytes alone, and a layered window
// shows by alpha only.  The glow drawn over black (Black) and over white
// (White) tells each pixel's coverage; Black, which then holds the colour
// already multiplied by it, gets the coverage as alpha.
void TakeCoverageAsAlpha(TBitmap* Black, TBitmap* White)
{
    const TBitmapRows b = Black->Rows(), w = White->Rows();
    for (int y = 0; y < b.Height; ++y)
        for (int x = 0; x < b.Width; ++x) {
            uint8_t* pb = b.Pixel(x, y);
            const uint8_t* pw = w.Pixel(x, y);
            const int through = (pw[0] - pb[0]) + (pw[1] - pb[1]) + (pw[2] - pb[2]);
            pb[3] = uint8_t(std::clamp(255 - (through + 1) / 3, 0, 255));
        }
}

} // namespace

void TkvGlowEffect::CreateAlphaBmp(int Width, int Height)
{
    FreeAlphaBmp();
    AlphaBmp = FilledBmp32(Width, Height, 0);
    if (MaskIndex < 0 || !SkinManager || size_t(MaskIndex) >= SkinManager->ma.size())
        return;
    const TsMaskData& mask = SkinManager->ma[size_t(MaskIndex)];
    const TRect r(0, 0, Width, Height);
    DrawSkinRect(AlphaBmp, r, false, EmptyCI, mask, 0, false, SkinManager);
    TOwned<TBitmap> white(FilledBmp32(Width, Height, 0xFF));
    DrawSkinRect(white.get(), r, false, EmptyCI, mask, 0, false, SkinManager);
    TakeCoverageAsAlpha(AlphaBmp, white.get());
}

void TkvGlowEffect::NewWndProc(TMessage& Message)
{
    if (Message.Msg == WM_NCHITTEST) {
        Message.Result = HTTRANSPARENT;
        return;
    }
    OldWndProc(Message);
}

// Cuts the hidden sides of the control off the window (L, T: the cuts at
// the left and top, which also shift the image).
void TkvGlowEffect::CutToVisible(const TRect& R, const TRect& RealRect, int& W, int& H, int& L, int& T)
{
    L = T = 0;
    if (R.Width() == RealRect.Width() && R.Height() == RealRect.Height())
        return;
    TsSkinManager* m = SkinManager;
    const int ml = m->MaskWidthLeft(MaskIndex), mt = m->MaskWidthTop(MaskIndex);
    const int mr = m->MaskWidthRight(MaskIndex), mb = m->MaskWidthBottom(MaskIndex);
    L = RealRect.left != 0 ? ml + RealRect.left - Margin : 0;
    T = RealRect.top != 0 ? mt + RealRect.top - Margin : 0;
    const int cutR = R.Width() == RealRect.right ? 0
                     : L != 0                     ? W - L - RealRect.Width()
                                                  : R.Width() + mr - RealRect.Width() - Margin;
    const int cutB = R.Height() == RealRect.bottom ? 0
                     : T != 0                       ? H - T - RealRect.Height()
                                                    : R.Height() + mb - RealRect.Height() - Margin;
    W -= L + cutR;
    H -= T + cutB;
    if ((L != 0 || T != 0) && W > 0 && H > 0) {
        TOwned<TBitmap> part(CreateBmp32(W, H));
        const TBitmapRows s = AlphaBmp->Rows(), d = part->Rows();
        for (int y = 0; y < H; ++y)
            if (y + T >= 0 && y + T < s.Height)
                for (int x = 0; x < W; ++x)
                    if (x + L >= 0 && x + L < s.Width)
                        std::copy_n(s.Pixel(x + L, y + T), 4, d.Pixel(x, y));
        FreeAlphaBmp();
        AlphaBmp = part.release();
    }
}

void TkvGlowEffect::Show(const TRect& R, const TRect& RealRect, int, HWND WndHandle)
{
    if (Wnd)
        return;
    Wnd = TForm::CreateNew(nullptr);
    Wnd->SetTag(-98);
    OldWndProc = Wnd->WindowProc;
    Wnd->WindowProc = Bind(this, &TkvGlowEffect::NewWndProc);
    Wnd->SetControlStyle(Wnd->ControlStyle() - csCaptureMouse);
    Wnd->SetBorderStyle(bsNone);
    Wnd->SetVisible(false);

    TsSkinManager* m = SkinManager;
    int W = R.Width() + m->MaskWidthLeft(MaskIndex) + m->MaskWidthRight(MaskIndex) - 2 * Margin;
    int H = R.Height() + m->MaskWidthTop(MaskIndex) + m->MaskWidthBottom(MaskIndex) - 2 * Margin;
    FBlend.SourceConstantAlpha = 255;
    CreateAlphaBmp(W, H);
    int L, T;
    CutToVisible(R, RealRect, W, H, L, T);
    if (W <= 0 || H <= 0) {
        FreeAlphaBmp();
        return;  // nothing of the control is visible
    }
    Wnd->SetBounds(Wnd->Left(), Wnd->Top(), W, H);
    if (WndHandle && (::GetWindowLongW(WndHandle, GWL_EXSTYLE) & WS_EX_TOPMOST))
        Wnd->SetFormStyle(fsStayOnTop);
    HWND h = Wnd->Handle();
    ::SetWindowPos(h, nullptr, R.left - m->MaskWidthLeft(MaskIndex) + Margin + L,
                   R.top - m->MaskWidthTop(MaskIndex) + Margin + T, W, H, SWP_NOACTIVATE | SWP_NOZORDER);
    ::SetWindowLongW(h, GWL_EXSTYLE, ::GetWindowLongW(h, GWL_EXSTYLE) | WS_EX_LAYERED | WS_EX_TOOLWINDOW);
    {
        ScreenDC screen;
        SIZE size{W, H};
        POINT origin{0, 0};
        kvUpdateLayeredWindow(h, screen, nullptr, &size, AlphaBmp->Canvas()->Handle(), &origin, 0, &FBlend,
                              ULW_ALPHA);
    }
    ::ShowWindow(h, SW_SHOWNOACTIVATE);
    FreeAlphaBmp();
}

// ---------------------------------------------------------------------------
int ShowGlow(const TRect& R, const TRect& RealRect, const UnicodeString& SkinSection, const UnicodeString& Name,
             int Margin, int Alpha, HWND WndHandle, TsSkinManager* SkinManager)
{
    if (!kvLayered() || !kvUpdateLayeredWindow)
        return -1;
    TsSkinManager* m = SkinManager ? SkinManager : DefaultManager;
    if (!m)
        return -1;
    const int mask = m->GetMaskIndex(SkinSection, Name + L"0");
    if (mask < 0)
        return -1;
    auto* effect = new TkvGlowEffect();
    effect->SkinManager = m;
    effect->MaskIndex = mask;
    effect->Margin = Margin;
    kvgEffects.push_back(effect);
    const int id = FirstId + int(kvgEffects.size()) - 1;
    effect->Show(R, RealRect, Alpha, WndHandle);
    return id;
}

void HideGlow(int Index)
{
    const int pos = Index - FirstId;
    if (Index < 0 || pos < 0 || pos >= int(kvgEffects.size()))
        return;
    FreeAndNil(kvgEffects[size_t(pos)]);
}

void ClearGlows()
{
    for (TkvGlowEffect*& e : kvgEffects)
        FreeAndNil(e);
    FirstId += int(kvgEffects.size());
    kvgEffects.clear();
}

TkvGlowEffect* GlowOf(int Index)
{
    const int pos = Index - FirstId;
    return Index >= 0 && pos >= 0 && pos < int(kvgEffects.size()) ? kvgEffects[size_t(pos)] : nullptr;
}

int GlowListLength()
{
    return int(kvgEffects.size());
}
