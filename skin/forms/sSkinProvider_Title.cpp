#include "skin/forms/sSkinProvider_Title.h"

#include "skin/forms/sSkinProvider.h"

KV_BEGIN_PUBLISHED(TsTitleButton, TCollectionItem)
    B.Bool(L"Enabled", &C::Enabled, &C::SetEnabled, true);
    B.Object(L"Glyph", &C::Glyph);
    B.Str(L"Hint", &C::Hint, &C::SetHint);
    B.Str(L"Name", &C::Name, &C::SetName);
    B.Bool(L"UseSkinData", &C::UseSkinData, &C::SetUseSkinData, true);
    B.Bool(L"Visible", &C::Visible, &C::SetVisible, true);
KV_END_PUBLISHED

KV_BEGIN_PUBLISHED(TsTitleIcon, TPersistent)
    B.Object(L"Glyph", &C::Glyph);
    B.Int(L"Height", &C::Height, &C::SetHeight, 0);
    B.Int(L"Width", &C::Width, &C::SetWidth, 0);
KV_END_PUBLISHED

KV_BEGIN_PUBLISHED(TkvAddedTitle, TPersistent)
    B.Str(L"Text", &C::Text, &C::SetText);
    B.Object(L"Font", &C::Font);
KV_END_PUBLISHED

namespace {

TsSkinProvider* ProviderOfButton(TCollection* Collection)
{
    auto* buttons = dynamic_cast<TsTitleButtons*>(Collection);
    return buttons ? buttons->FOwner : nullptr;
}

} // namespace

TsTitleButton::TsTitleButton(TCollection* Collection) : TCollectionItem(Collection), FGlyph(new TBitmap) {}

TsTitleButton::~TsTitleButton()
{
    // Its fade goes first: it points at this button's record.
    KillAnimation(BtnData);
    HideTitleButtonHint(this);
    FreeAndNil(FGlyph);
}

void TsTitleButton::Assign(TPersistent* Source)
{
    auto* src = dynamic_cast<TsTitleButton*>(Source);
    if (!src) {
        TCollectionItem::Assign(Source);
        return;
    }
    FUseSkinData = src->FUseSkinData;
    FName = src->FName;
    FGlyph->Assign(src->FGlyph);
    FEnabled = src->FEnabled;
    FHint = src->FHint;
    FVisible = src->FVisible;
    OnMouseDown = src->OnMouseDown;
    OnMouseUp = src->OnMouseUp;
}

void TsTitleButton::SetVisible(bool Value)
{
    if (FVisible == Value)
        return;
    FVisible = Value;
    if (TsSkinProvider* p = ProviderOfButton(Collection()))
        UpdateSkinCaption(p);
}

void TsTitleButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (OnMouseDown)
        OnMouseDown(this, Button, Shift, X, Y);
}

void TsTitleButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (OnMouseUp)
        OnMouseUp(this, Button, Shift, X, Y);
}

UnicodeString TsTitleButton::GetDisplayName()
{
    return FName.empty() ? TCollectionItem::GetDisplayName() : FName;
}

TsTitleButtons::TsTitleButtons(TsSkinProvider* AOwner)
    : TCollection(TCollectionItemClass::Of<TsTitleButton>()), FOwner(AOwner)
{
}

TsTitleButtons::~TsTitleButtons()
{
    // The items must not reach a provider that is going.
    FOwner = nullptr;
}

TPersistent* TsTitleButtons::GetOwner()
{
    return FOwner;
}

TsTitleIcon::TsTitleIcon() : FGlyph(new TBitmap) {}

TsTitleIcon::~TsTitleIcon()
{
    FreeAndNil(FGlyph);
}

TkvAddedTitle::TkvAddedTitle(TsSkinProvider* AOwner) : FOwner(AOwner), FFont(new TFont) {}

TkvAddedTitle::~TkvAddedTitle()
{
    FreeAndNil(FFont);
}

void TkvAddedTitle::SetText(const UnicodeString& Value)
{
    FText = Value;
    if (FOwner)
        UpdateSkinCaption(FOwner);
}

void TkvAddedTitle::SetFont(TFont* Value)
{
    FFont->Assign(Value);
    if (FOwner)
        UpdateSkinCaption(FOwner);
}

TPersistent* TkvAddedTitle::GetOwner()
{
    return FOwner;
}
