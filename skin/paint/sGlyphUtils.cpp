#include "skin/paint/sGlyphUtils.h"

#include <windows.h>
#include <commctrl.h>

#include "classlib/rtl/Classes.h"
#include "skin/paint/kvAlphaImageList.h"
#include "skin/paint/kvPNG.h"
#include "skin/paint/kvPNG_Draw.h"

const wchar_t* const kvGlyphsResNames[kvGlyphsCount] = {L"SF", L"SR", L"SD", L"SE", L"SC"};

namespace {

TsAlphaImageList* gResImgList = nullptr;

// Frees the list at shut-down.  It is made right after the list, so it goes
// before anything the list's making first brought to life.
struct TResImgListLife {
    ~TResImgListLife() { FreeResImgList(); }
};

// An icon of the RCDATA picture Name: the picture's alpha alone decides
// transparency (MakeIcon32 gives a 32-bit picture an all-opaque mask).
HICON GlyphIcon(const wchar_t* Name)
{
    try {
        TResourceStream res(::GetModuleHandleW(nullptr), Name);
        TOwned<TPNGGraphic> png(New<TPNGGraphic>());
        png->LoadFromStream(&res);
        png->SetPixelFormat(pf32bit);
        return MakeIcon32(png.get());
    } catch (const Exception&) {
        return nullptr;  // a missing or damaged picture: the glyph is left out
    }
}

} // namespace

TsAlphaImageList* kvResImgList()
{
    if (gResImgList)
        return gResImgList;
    TOwned<TsAlphaImageList> list(New<TsAlphaImageList>(nullptr));
    list->SetWidth(48);
    list->SetHeight(16);
    HIMAGELIST h = list->Handle();
    for (const wchar_t* name : kvGlyphsResNames)
        if (HICON icon = GlyphIcon(name)) {
            ImageList_ReplaceIcon(h, -1, icon);
            ::DestroyIcon(icon);
        }
    gResImgList = list.release();
    static TResImgListLife life;
    return gResImgList;
}

void FreeResImgList()
{
    FreeAndNil(gResImgList);
}

KV_BEGIN_PUBLISHED(TsGlyphMode, TPersistent)
    B.Int(L"Blend", &C::Blend, &C::SetBlend);
    B.Bool(L"Grayed", &C::Grayed, &C::SetGrayed);
    B.Str(L"Hint", &C::Hint, &C::SetHint);
    B.Ref(L"Images", &C::Images, &C::SetImages);
    B.Int(L"ImageIndex", &C::ImageIndex, &C::SetImageIndex, -1);
    B.Int(L"ImageIndexHot", &C::ImageIndexHot, &C::SetImageIndexHot, -1);
    B.Int(L"ImageIndexPressed", &C::ImageIndexPressed, &C::SetImageIndexPressed, -1);
KV_END_PUBLISHED

TsGlyphMode::TsGlyphMode(TWinControl* AOwner) : FOwner(AOwner) {}

TsGlyphModeButton* TsGlyphMode::OwnerButton() const
{
    auto* owner = dynamic_cast<TsGlyphModeOwner*>(FOwner);
    return owner ? owner->GlyphButton() : nullptr;
}

bool TsGlyphMode::BtnIsReady() const
{
    if (!Btn)
        return false;
    TControl* c = Btn->ButtonControl();
    return c && !c->ComponentState().Contains(csLoading) && !c->ComponentState().Contains(csDestroying);
}

TCustomImageList* TsGlyphMode::ListInUse() const
{
    if (FImages && FImageIndex >= 0 && FImageIndex < FImages->Count())
        return FImages;
    return kvResImgList();
}

int TsGlyphMode::ImageCount() const
{
    TCustomImageList* list = ListInUse();
    const int w = list->Width(), h = list->Height();
    return (h <= 0 || w % h != 0) ? 1 : w / h;
}

int TsGlyphMode::Width() const
{
    auto* owner = dynamic_cast<TsGlyphModeOwner*>(FOwner);
    if (owner && !owner->ButtonHasGlyph())
        return 0;
    return ListInUse()->Width() / ImageCount();
}

int TsGlyphMode::Height() const
{
    return ListInUse()->Height();
}

void TsGlyphMode::Invalidate()
{
    TsGlyphModeButton* button = OwnerButton();
    if (!button || !button->ButtonControl())
        return;
    button->ButtonControl()->SetWidth(Width() + 2);
    button->SetNumGlyphs(ImageCount());
    button->InvalidateButton();
}

int TsGlyphMode::Blend() const
{
    return BtnIsReady() ? Btn->Blend() : 0;
}

void TsGlyphMode::SetBlend(int Value)
{
    if (BtnIsReady())
        Btn->SetBlend(Value);
}

bool TsGlyphMode::Grayed() const
{
    return BtnIsReady() && Btn->Grayed();
}

void TsGlyphMode::SetGrayed(bool Value)
{
    if (BtnIsReady())
        Btn->SetGrayed(Value);
}

UnicodeString TsGlyphMode::Hint() const
{
    TsGlyphModeButton* button = OwnerButton();
    if (button && button->ButtonControl())
        return button->ButtonControl()->Hint();
    return FOwner ? FOwner->Hint() : UnicodeString();
}

void TsGlyphMode::SetHint(const UnicodeString& Value)
{
    TsGlyphModeButton* button = OwnerButton();
    if (button && button->ButtonControl())
        button->ButtonControl()->SetHint(Value);
}

void TsGlyphMode::SetImages(TCustomImageList* Value)
{
    if (FImages == Value)
        return;
    FImages = Value;
    Invalidate();
}

void TsGlyphMode::SetIndex(int& Field, int Value)
{
    if (Field == Value)
        return;
    Field = Value;
    Invalidate();
}

void TsGlyphMode::SetImageIndex(int Value)
{
    SetIndex(FImageIndex, Value);
}

void TsGlyphMode::SetImageIndexHot(int Value)
{
    SetIndex(FImageIndexHot, Value);
}

void TsGlyphMode::SetImageIndexPressed(int Value)
{
    SetIndex(FImageIndexPressed, Value);
}
