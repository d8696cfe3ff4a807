// Internal skins: skins kept inside the form resource that holds the skin
// manager, so that a program needs no skin files.  Each TsStoredSkin holds
// a whole packed skin as the binary property "Data", or the skin unpacked
// into sections, images, JPEG patterns, a master image and global values.
#pragma once

#include "classlib/graphics/Graphics.h"
#include "classlib/rtl/Classes.h"
#include "classlib/rtl/Streams.h"
#include "classlib/rtl/TypInfo.h"
#include "skin/core/sConst.h"

class TJPEGImage;
class TMemIniFile;
class TsStoredSkin;

// One skin section in unpacked form, with the keys of a skin description.
class TsSkinGeneral : public TCollectionItem {
    KV_CLASS(TsSkinGeneral)
    KV_PUBLISHED
public:
    using TCollectionItem::TCollectionItem;

    UnicodeString FName;
    bool FShowFocus = false;
    bool FFadingEnabled = false;
    int FHotImagePercent = 0;
    int FTransparency = 0;
    int FHotTransparency = 0;
    int FFadingIterations = 0;
    UnicodeString FHotFontColor;   // five numbers: main, left, top, right, bottom
    int FHotGradientPercent = 0;
    int FGradientPercent = 0;
    int FImagePercent = 0;
    UnicodeString FHotGradientData;
    UnicodeString FGradientData;
    UnicodeString FParentClass;
    TColor FHotColor = 0;
    TColor FColor = 0;
    UnicodeString FSectionName;
    UnicodeString FFontColor;      // five numbers: main, left, top, right, bottom
    bool FReservedBoolean = false;
    bool FGiveOwnFont = false;
    int FGlowCount = 0;
    int FGlowMargin = 0;
    TColor FHotGlowSize = 0;
    TColor FGlowColor = 0;
    TColor FHotGlowColor = 0;
    TColor FGlowSize = 0;
};

// One skin image in unpacked form: its own Image, or the rectangle
// (Left, Top, Right, Bottom) of the skin's master image.
class TsSkinImage : public TCollectionItem {
    KV_CLASS(TsSkinImage)
    KV_PUBLISHED
public:
    explicit TsSkinImage(TCollection* Collection);
    ~TsSkinImage() override;

    UnicodeString FName;           // the file the image came from
    TBitmap* FImage;               // owned
    UnicodeString FClassName;      // the section
    UnicodeString FPropertyName;   // "BORDERSMASK", "GLYPHMASK"...
    int FMaskType = 0;
    int FImageCount = 0;
    int FTop = 0;
    int FLeft = 0;
    int FRight = 0;
    int FBottom = 0;
    int FBorderWidth = 0;
    int FStretchMode = 0;
    TkvImgType FImgType = itisaBorder;
    int FWR = 0;
    int FWT = 0;
    int FWL = 0;
    int FWB = 0;

    TBitmap* Image() const { return FImage; }
    // Copies the picture into the owned one.
    void SetImage(TBitmap* Value);
};

// One JPEG pattern in unpacked form.
class TsSkinPattern : public TCollectionItem {
    KV_CLASS(TsSkinPattern)
    KV_PUBLISHED
public:
    explicit TsSkinPattern(TCollection* Collection);
    ~TsSkinPattern() override;

    UnicodeString FName;
    TJPEGImage* FImage;            // owned
    UnicodeString FClassName;
    UnicodeString FPropertyName;

    TJPEGImage* Image() const { return FImage; }
    void SetImage(TJPEGImage* Value);
};

// The collections of a stored skin; their owner is the stored skin.
class TsSkinGenerals : public TCollection {
    KV_CLASS(TsSkinGenerals)
public:
    explicit TsSkinGenerals(TsStoredSkin* AOwner);
    ~TsSkinGenerals() override;
    TsSkinGeneral* GetItem(int Index) const { return static_cast<TsSkinGeneral*>(Items(Index)); }
    TPersistent* GetOwner() override;
    TsStoredSkin* FOwner;
};

class TsSkinImages : public TCollection {
    KV_CLASS(TsSkinImages)
public:
    explicit TsSkinImages(TsStoredSkin* AOwner);
    ~TsSkinImages() override;
    TsSkinImage* GetItem(int Index) const { return static_cast<TsSkinImage*>(Items(Index)); }
    TPersistent* GetOwner() override;
    TsStoredSkin* FOwner;
};

class TsSkinPatterns : public TCollection {
    KV_CLASS(TsSkinPatterns)
public:
    explicit TsSkinPatterns(TsStoredSkin* AOwner);
    ~TsSkinPatterns() override;
    TsSkinPattern* GetItem(int Index) const { return static_cast<TsSkinPattern*>(Items(Index)); }
    TPersistent* GetOwner() override;
    TsStoredSkin* FOwner;
};

// One internal skin.
class TsStoredSkin : public TCollectionItem {
    KV_CLASS(TsStoredSkin)
    KV_PUBLISHED
public:
    explicit TsStoredSkin(TCollection* Collection);
    ~TsStoredSkin() override;

    void Assign(TPersistent* Source) override;
    // The packed skin is stored as the binary property "Data".
    void DefineProperties(TFiler* Filer) override;

    const UnicodeString& Name() const { return FName; }
    void SetName(const UnicodeString& Value) { FName = Value; }
    TsSkinGenerals* GeneralData() const { return FGeneralData; }
    void SetGeneralData(TsSkinGenerals* Value) { FGeneralData->Assign(Value); }
    TsSkinImages* Images() const { return FImages; }
    void SetImages(TsSkinImages* Value) { FImages->Assign(Value); }
    TsSkinPatterns* Patterns() const { return FPatterns; }
    void SetPatterns(TsSkinPatterns* Value) { FPatterns->Assign(Value); }
    TBitmap* MasterBitmap() const { return FMasterBitmap; }
    void SetMasterBitmap(TBitmap* Value) { FMasterBitmap->Assign(Value); }

    // Fills this stored skin from a skin description and the image files
    // beside it (names relative to the folder of the description's file).
    void LoadSkin(TMemIniFile* sf);
    // Fills the global values and one item of gd per description section.
    void LoadFromIni(TsSkinGenerals* gd, TMemIniFile* sf);

    TsSkinImages* FImages;
    UnicodeString FName;
    TsSkinGenerals* FGeneralData;
    TsSkinPatterns* FPatterns;
    TBitmap* FMasterBitmap;
    double FVersion = 0;
    UnicodeString FDescription;
    UnicodeString FAuthor;
    int FShadow1Offset = 0;
    TColor FShadow1Color = 0;
    int FShadow1Blur = -1;
    int FShadow1Transparency = 0;
    TColor FBorderColor = clFuchsia;
    TMemoryStream* PackedData;     // the packed skin; empty when stored unpacked

private:
    void ReadData(TStream* Stream);
    void WriteData(TStream* Stream);
    void LoadImages(TMemIniFile* sf, const UnicodeString& Folder);
    void LoadPatterns(TMemIniFile* sf, const UnicodeString& Folder);
};

// The internal skins of a skin manager (the collection's owner).
class TsStoredSkins : public TCollection {
    KV_CLASS(TsStoredSkins)
public:
    explicit TsStoredSkins(TComponent* AOwner);
    TsStoredSkin* GetItem(int Index) const { return static_cast<TsStoredSkin*>(Items(Index)); }
    void SetItem(int Index, TsStoredSkin* Value) { GetItem(Index)->Assign(Value); }
    TPersistent* GetOwner() override;
    // Index of the first skin named exactly SkinName (case-sensitive); -1 when none.
    int IndexOf(const UnicodeString& SkinName) const;
    // Copies nothing: a form resource fills the collection item by item.
    void Assign(TPersistent* Source) override {}

    TComponent* FOwner;
};
