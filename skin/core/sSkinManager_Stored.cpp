#include "skin/core/sSkinManager_Stored.h"

#include "classlib/graphics/Jpeg.h"

// ---------------------------------------------------------------------------
// Published tables.

KV_BEGIN_PUBLISHED(TsSkinGeneral, TCollectionItem)
    B.Str(L"SectionName", &C::FSectionName, &C::FSectionName);
    B.Str(L"ParentClass", &C::FParentClass, &C::FParentClass);
    B.Int(L"Color", &C::FColor, &C::FColor, TPropInfo::NoDefault, L"TColor");
    B.Bool(L"ReservedBoolean", &C::FReservedBoolean, &C::FReservedBoolean);
    B.Str(L"FontColor", &C::FFontColor, &C::FFontColor);
    B.Str(L"HotFontColor", &C::FHotFontColor, &C::FHotFontColor);
    B.Int(L"Transparency", &C::FTransparency, &C::FTransparency, TPropInfo::NoDefault);
    B.Int(L"GlowCount", &C::FGlowCount, &C::FGlowCount, TPropInfo::NoDefault);
    B.Int(L"GlowMargin", &C::FGlowMargin, &C::FGlowMargin, TPropInfo::NoDefault);
    B.Int(L"GradientPercent", &C::FGradientPercent, &C::FGradientPercent, TPropInfo::NoDefault);
    B.Str(L"GradientData", &C::FGradientData, &C::FGradientData);
    B.Int(L"ImagePercent", &C::FImagePercent, &C::FImagePercent, TPropInfo::NoDefault);
    B.Bool(L"ShowFocus", &C::FShowFocus, &C::FShowFocus);
    B.Bool(L"FadingEnabled", &C::FFadingEnabled, &C::FFadingEnabled);
    B.Int(L"FadingIterations", &C::FFadingIterations, &C::FFadingIterations, TPropInfo::NoDefault);
    B.Int(L"HotColor", &C::FHotColor, &C::FHotColor, TPropInfo::NoDefault, L"TColor");
    B.Int(L"HotTransparency", &C::FHotTransparency, &C::FHotTransparency, TPropInfo::NoDefault);
    B.Int(L"HotGradientPercent", &C::FHotGradientPercent, &C::FHotGradientPercent, TPropInfo::NoDefault);
    B.Str(L"HotGradientData", &C::FHotGradientData, &C::FHotGradientData);
    B.Int(L"HotImagePercent", &C::FHotImagePercent, &C::FHotImagePercent, TPropInfo::NoDefault);
    B.Str(L"Name", &C::FName, &C::FName);
    B.Bool(L"GiveOwnFont", &C::FGiveOwnFont, &C::FGiveOwnFont);
    B.Int(L"HotGlowColor", &C::FHotGlowColor, &C::FHotGlowColor, TPropInfo::NoDefault, L"TColor");
    B.Int(L"GlowColor", &C::FGlowColor, &C::FGlowColor, TPropInfo::NoDefault, L"TColor");
    B.Int(L"HotGlowSize", &C::FHotGlowSize, &C::FHotGlowSize, TPropInfo::NoDefault, L"TColor");
    B.Int(L"GlowSize", &C::FGlowSize, &C::FGlowSize, TPropInfo::NoDefault, L"TColor");
KV_END_PUBLISHED

KV_BEGIN_PUBLISHED(TsSkinImage, TCollectionItem)
    B.Str(L"SectionName", &C::FClassName, &C::FClassName);
    B.Object(L"Image", &C::Image, &C::SetImage);
    B.Str(L"Name", &C::FName, &C::FName);
    B.Str(L"PropertyName", &C::FPropertyName, &C::FPropertyName);
    B.Int(L"Left", &C::FLeft, &C::FLeft, TPropInfo::NoDefault);
    B.Int(L"Top", &C::FTop, &C::FTop, TPropInfo::NoDefault);
    B.Int(L"Right", &C::FRight, &C::FRight, TPropInfo::NoDefault);
    B.Int(L"Bottom", &C::FBottom, &C::FBottom, TPropInfo::NoDefault);
    B.Int(L"ImageCount", &C::FImageCount, &C::FImageCount, TPropInfo::NoDefault);
    B.Int(L"MaskType", &C::FMaskType, &C::FMaskType, TPropInfo::NoDefault);
    B.Int(L"BorderWidth", &C::FBorderWidth, &C::FBorderWidth, TPropInfo::NoDefault);
    B.Int(L"StretchMode", &C::FStretchMode, &C::FStretchMode, TPropInfo::NoDefault);
    B.Enum(L"ImgType", &C::FImgType, &C::FImgType, TPropInfo::NoDefault,
           {L"itisaBorder", L"itisaTexture", L"itisaGlyph", L"itisaGlow", L"itisaPngGlyph"}, L"TkvImgType");
    B.Int(L"WL", &C::FWL, &C::FWL, TPropInfo::NoDefault);
    B.Int(L"WR", &C::FWR, &C::FWR, TPropInfo::NoDefault);
    B.Int(L"WT", &C::FWT, &C::FWT, TPropInfo::NoDefault);
    B.Int(L"WB", &C::FWB, &C::FWB, TPropInfo::NoDefault);
KV_END_PUBLISHED

KV_BEGIN_PUBLISHED(TsSkinPattern, TCollectionItem)
    B.Str(L"SectionName", &C::FClassName, &C::FClassName);
    B.Object(L"Image", &C::Image, &C::SetImage);
    B.Str(L"Name", &C::FName, &C::FName);
    B.Str(L"PropertyName", &C::FPropertyName, &C::FPropertyName);
KV_END_PUBLISHED

KV_BEGIN_PUBLISHED(TsStoredSkin, TCollectionItem)
    B.Str(L"Name", &C::Name, &C::SetName);
    B.Object(L"GeneralData", &C::GeneralData, &C::SetGeneralData);
    B.Object(L"Images", &C::Images, &C::SetImages);
    B.Object(L"Patterns", &C::Patterns, &C::SetPatterns);
    B.Object(L"MasterBitmap", &C::MasterBitmap, &C::SetMasterBitmap);
    B.Int(L"Shadow1Color", &C::FShadow1Color, &C::FShadow1Color, TPropInfo::NoDefault, L"TColor");
    B.Int(L"Shadow1Offset", &C::FShadow1Offset, &C::FShadow1Offset, TPropInfo::NoDefault);
    B.Int(L"Shadow1Blur", &C::FShadow1Blur, &C::FShadow1Blur, -1);
    B.Int(L"Shadow1Transparency", &C::FShadow1Transparency, &C::FShadow1Transparency, TPropInfo::NoDefault);
    B.Int(L"BorderColor", &C::FBorderColor, &C::FBorderColor, clFuchsia, L"TColor");
    B.Float(L"Version", &C::FVersion, &C::FVersion);
    B.Str(L"Author", &C::FAuthor, &C::FAuthor);
    B.Str(L"Description", &C::FDescription, &C::FDescription);
KV_END_PUBLISHED

// ---------------------------------------------------------------------------
// Items.

TsSkinImage::TsSkinImage(TCollection* Collection) : TCollectionItem(Collection), FImage(new TBitmap) {}

TsSkinImage::~TsSkinImage()
{
    FreeAndNil(FImage);
}

void TsSkinImage::SetImage(TBitmap* Value)
{
    FImage->Assign(Value);
}

TsSkinPattern::TsSkinPattern(TCollection* Collection) : TCollectionItem(Collection), FImage(new TJPEGImage) {}

TsSkinPattern::~TsSkinPattern()
{
    FreeAndNil(FImage);
}

void TsSkinPattern::SetImage(TJPEGImage* Value)
{
    FImage->Assign(Value);
}

// ---------------------------------------------------------------------------
// Collections of a stored skin.

TsSkinGenerals::TsSkinGenerals(TsStoredSkin* AOwner)
    : TCollection(TCollectionItemClass::Of<TsSkinGeneral>()), FOwner(AOwner)
{
}

TsSkinGenerals::~TsSkinGenerals()
{
    FOwner = nullptr;
}

TPersistent* TsSkinGenerals::GetOwner()
{
    return FOwner;
}

TsSkinImages::TsSkinImages(TsStoredSkin* AOwner)
    : TCollection(TCollectionItemClass::Of<TsSkinImage>()), FOwner(AOwner)
{
}

TsSkinImages::~TsSkinImages()
{
    FOwner = nullptr;
}

TPersistent* TsSkinImages::GetOwner()
{
    return FOwner;
}

TsSkinPatterns::TsSkinPatterns(TsStoredSkin* AOwner)
    : TCollection(TCollectionItemClass::Of<TsSkinPattern>()), FOwner(AOwner)
{
}

TsSkinPatterns::~TsSkinPatterns()
{
    FOwner = nullptr;
}

TPersistent* TsSkinPatterns::GetOwner()
{
    return FOwner;
}

// ---------------------------------------------------------------------------
// The stored skin.

TsStoredSkin::TsStoredSkin(TCollection* Collection)
    : TCollectionItem(Collection),
      FImages(new TsSkinImages(this)),
      FGeneralData(new TsSkinGenerals(this)),
      FPatterns(new TsSkinPatterns(this)),
      FMasterBitmap(new TBitmap),
      PackedData(new TMemoryStream)
{
}

TsStoredSkin::~TsStoredSkin()
{
    FreeAndNil(FImages);
    FreeAndNil(FPatterns);
    FreeAndNil(FGeneralData);
    FreeAndNil(FMasterBitmap);
    FreeAndNil(PackedData);
}

void TsStoredSkin::Assign(TPersistent* Source)
{
    auto* s = dynamic_cast<TsStoredSkin*>(Source);
    if (!s) {
        TCollectionItem::Assign(Source);
        return;
    }
    PackedData->Clear();
    if (s->PackedData->Size() > 0)
        PackedData->CopyFrom(s->PackedData, 0);
    FName = s->FName;
    FImages->Assign(s->FImages);
    FGeneralData->Assign(s->FGeneralData);
    FPatterns->Assign(s->FPatterns);
    FMasterBitmap->Assign(s->FMasterBitmap);
    FShadow1Color = s->FShadow1Color;
    FShadow1Offset = s->FShadow1Offset;
    FShadow1Blur = s->FShadow1Blur;
    FShadow1Transparency = s->FShadow1Transparency;
    FBorderColor = s->FBorderColor;
    FVersion = s->FVersion;
    FAuthor = s->FAuthor;
    FDescription = s->FDescription;
}

void TsStoredSkin::DefineProperties(TFiler* Filer)
{
    Filer->DefineBinaryProperty(L"Data", TStreamProc(this, &TsStoredSkin::ReadData),
                                TStreamProc(this, &TsStoredSkin::WriteData), true);
}

void TsStoredSkin::ReadData(TStream* Stream)
{
    PackedData->Clear();
    if (Stream->Size() > 0)
        PackedData->CopyFrom(Stream, 0);
    PackedData->SetPosition(0);
}

void TsStoredSkin::WriteData(TStream* Stream)
{
    if (PackedData->Size() > 0)
        Stream->CopyFrom(PackedData, 0);
}

// ---------------------------------------------------------------------------

TsStoredSkins::TsStoredSkins(TComponent* AOwner)
    : TCollection(TCollectionItemClass::Of<TsStoredSkin>()), FOwner(AOwner)
{
}

TPersistent* TsStoredSkins::GetOwner()
{
    return FOwner;
}

int TsStoredSkins::IndexOf(const UnicodeString& SkinName) const
{
    for (int i = 0; i < Count(); ++i)
        if (GetItem(i)->Name() == SkinName)
            return i;
    return -1;
}
