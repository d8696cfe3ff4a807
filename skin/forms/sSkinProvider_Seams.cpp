// What the engine reaches of a provider through its seams: the broadcasts'
// freezing of a form, the form's region and border window, and the layered
// show of the form's window image.
#include "skin/forms/sSkinProvider.h"

#include "skin/core/sSkinManager.h"
#include "skin/core/sVclUtils.h"
#include "skin/paint/sGraphUtils.h"

TComponent* TsSkinProvider::ProviderManager()
{
    return Manager();
}

void TsSkinProvider::FreezeBorderForm()
{
    // The extended-border window takes the frozen form's region when it exists.
}

void TsSkinProvider::UpdateBorderPos()
{
    if (BorderForm)
        UpdateExBordersPos(true, 255);
}

void TsSkinProvider::FreeTitleBG()
{
    FreeAndNil(TitleBG);
}

TPoint TsSkinProvider::BorderFormOffset()
{
    // The shadow, then the frame and title the skin widens beyond the window's.
    return BorderForm ? Metrics().ImageOrigin() : TPoint();
}

TsAnimShowSeam* TsSkinProvider::AnimShow()
{
    return Form && Form->HandleAllocated() && FDrawNonClientArea && FCommonData->Skinned() ? this : nullptr;
}

HWND TsSkinProvider::RealWindow()
{
    return Form && Form->HandleAllocated() ? Form->Handle() : nullptr;
}

HWND TsSkinProvider::BorderWindow()
{
    return nullptr;
}

TSize TsSkinProvider::RenderImage()
{
    PaintAll();
    TBitmap* cache = FCommonData->FCacheBmp;
    return cache ? TSize{cache->Width(), cache->Height()} : TSize{Form->Width(), Form->Height()};
}

// The window image (the form prints it) with the client area's controls.
void TsSkinProvider::PaintInto(TBitmap* Bmp)
{
    SkinPaintTo(Bmp, Form, 0, 0, this);
}

TPoint TsSkinProvider::BorderOffset()
{
    const TRect s = ShadowSize();
    return TPoint(s.left, s.top);
}

void TsSkinProvider::ShowEnded(int MaxTransparency)
{
    if (Form && Form->AlphaBlend())
        Form->SetAlphaBlendValue(BYTE(MaxTransparency));
}
