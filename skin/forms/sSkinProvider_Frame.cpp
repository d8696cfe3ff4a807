// What the skinned frame adds to a provider: metrics, hit tests, region,
// the window image, caption buttons and extended borders.  Until the
// frame's own units draw the title bar, borders and buttons from the skin,
// these answer as the system frame does: the window keeps its system
// frame and caption buttons, and the window image is the form section's
// picture over the whole window.
#include "skin/forms/sSkinProvider.h"

#include "skin/core/sSkinManager.h"
#include "skin/core/sVclUtils.h"
#include "skin/paint/sGraphUtils.h"
#include "skin/paint/sGraphUtils_Sections.h"

bool TsSkinProvider::PaintsCaptionButtons() const
{
    return false;
}

int TsSkinProvider::HTProcess(TMessage& Message)
{
    TMessage hit{WM_NCHITTEST, 0, Message.LParam, 0};
    OldWndProc(hit);
    return int(hit.Result);
}

int TsSkinProvider::CaptionHeight(bool CheckSkin)
{
    (void)CheckSkin;
    return 0;
}

int TsSkinProvider::SysBorderWidth(bool CheckSkin)
{
    (void)CheckSkin;
    if (!Form || !Form->HandleAllocated())
        return 0;
    RECT w, c;
    ::GetWindowRect(Form->Handle(), &w);
    ::GetClientRect(Form->Handle(), &c);
    return std::max(0, int((w.right - w.left) - c.right) / 2);
}

int TsSkinProvider::SysBorderHeight(bool CheckSkin)
{
    return SysBorderWidth(CheckSkin);
}

int TsSkinProvider::BorderHeight(bool CheckSkin)
{
    return SysBorderHeight(CheckSkin) + CaptionHeight(CheckSkin);
}

int TsSkinProvider::HeaderHeight()
{
    return BorderHeight(true) + LinesCount() * MenuHeight();
}

int TsSkinProvider::MenuHeight()
{
    return ::GetSystemMetrics(SM_CYMENU);
}

int TsSkinProvider::LinesCount()
{
    if (FLinesCount < 0)
        FLinesCount = MenuPresent() ? 1 : 0;
    return FLinesCount;
}

int TsSkinProvider::CaptionWidth()
{
    return Form ? Form->Width() : 0;
}

bool TsSkinProvider::FormChanged()
{
    TBitmap* cache = FCommonData->FCacheBmp;
    return !cache || cache->Width() != CaptionWidth() || cache->Height() != Form->Height();
}

bool TsSkinProvider::IsGripVisible()
{
    return false;
}

bool TsSkinProvider::MenuPresent()
{
    return Form && Form->Menu() && Form->Menu()->Items()->Count() > 0;
}

// Where the client area lies in the window image.
int TsSkinProvider::OffsetX()
{
    if (!Form || !Form->HandleAllocated())
        return 0;
    POINT p{0, 0};
    ::ClientToScreen(Form->Handle(), &p);
    RECT w;
    ::GetWindowRect(Form->Handle(), &w);
    return p.x - w.left;
}

int TsSkinProvider::OffsetY()
{
    if (!Form || !Form->HandleAllocated())
        return 0;
    POINT p{0, 0};
    ::ClientToScreen(Form->Handle(), &p);
    RECT w;
    ::GetWindowRect(Form->Handle(), &w);
    return p.y - w.top;
}

void TsSkinProvider::PaintAll()
{
    TsSkinManager* sm = Manager();
    if (!Form || !sm || !FCommonData->Skinned())
        return;
    TBitmap*& cache = FCommonData->FCacheBmp;
    if (!cache) {
        cache = new TBitmap;
        cache->SetPixelFormat(pf24bit);
    }
    cache->SetSize(CaptionWidth(), Form->Height());
    PaintItem(FCommonData, EmptyCI, true, FormActive ? 1 : 0, TRect(0, 0, cache->Width(), cache->Height()),
              TPoint(0, 0), cache, false);
    FCommonData->BGChanged = false;
    FirstInitialized = true;
}

void TsSkinProvider::PaintCaption(HDC DC)
{
    (void)DC;
}

void TsSkinProvider::UpdateIconsIndexes()
{
    ButtonMin.HitCode = HTMINBUTTON;
    ButtonMax.HitCode = HTMAXBUTTON;
    ButtonClose.HitCode = HTCLOSE;
}

TColor TsSkinProvider::FormColor()
{
    TsSkinManager* sm = Manager();
    if (FCommonData->CustomColor() || !sm || !sm->IsValidSkinIndex(FCommonData->SkinIndex))
        return ColorToRGB(Form->Color());
    return ColorToRGB(sm->gd[FCommonData->SkinIndex].Color);
}

void TsSkinProvider::SetHotHT(int HitCode, bool Repaint)
{
    (void)Repaint;
    CurrentHT = HitCode;
    bBtnPressed = false;
}

void TsSkinProvider::SetPressedHT(int HitCode)
{
    CurrentHT = HitCode;
    bBtnPressed = true;
}

void TsSkinProvider::InitExBorders(bool Active)
{
    // No extended-border window is made yet; one that exists goes.
    (void)Active;
}

void TsSkinProvider::UpdateExBordersPos(bool Redraw, int Blend)
{
    (void)Redraw;
    (void)Blend;
}

void TsSkinProvider::KillAnimations() {}

TRect TsSkinProvider::ShadowSize()
{
    return TRect();
}

void TsSkinProvider::KV_WMNCPaint(TMessage& Message)
{
    OldWndProc(Message);
}

void TsSkinProvider::KV_WMEraseBkGnd(TMessage& Message, HDC DC)
{
    (void)Message;
    if (DC)
        FillDC(DC, Form->GetClientRect(), FormColor());
}

void TsSkinProvider::OurPaintHandler(TMessage& Message)
{
    OldWndProc(Message);
}

void TsSkinProvider::KV_WMGetMinMaxInfo(TMessage& Message)
{
    OldWndProc(Message);
}

void TsSkinProvider::DropSysMenu(int X, int Y)
{
    (void)X;
    (void)Y;
}

void TsSkinProvider::HookMDI(bool Active)
{
    (void)Active;
}
