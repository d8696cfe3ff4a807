// The loader's images: the master image, one ma entry per image value of
// the description, of an internal skin's unpacked images and of the common
// sections.
#include <memory>
#include <string_view>

#include "classlib/graphics/Graphics.h"
#include "classlib/graphics/Jpeg.h"
#include "classlib/rtl/FileUtils.h"
#include "classlib/rtl/IniFiles.h"
#include "classlib/rtl/Lists.h"
#include "classlib/rtl/SysUtils.h"
#include "skin/core/kvSkinPack.h"
#include "skin/core/sSkinManager_Description.h"
#include "skin/core/sSkinManager_ImageValue.h"
#include "skin/core/sSkinManager_Load.h"
#include "skin/core/sSkinManager_Stored.h"
#include "skin/core/sSkinProps.h"
#include "skin/paint/kvPNG.h"
#include "skin/paint/kvPNG_Draw.h"

namespace {

bool Contains(const UnicodeString& S, const wchar_t* Sub)
{
    return S.find(Sub) != UnicodeString::npos;
}

bool IsMasterKey(std::wstring_view Section, std::wstring_view Key)
{
    return SameText(Section, s_GlobalInfo) && SameText(Key, s_MasterBitmap);
}

// A copy of Source in 24 bits, with its transparency settings.
std::unique_ptr<TBitmap> Copy24(TBitmap* Source)
{
    auto b = std::make_unique<TBitmap>();
    b->Assign(Source);
    b->SetPixelFormat(pf24bit);
    return b;
}

} // namespace

TsSkinLoader::TsSkinLoader(TsSkinStore& Target, TsSkinStore& Skin, const TsSkinSource& Source,
                           const TsSkinLoadSettings& Settings)
    : FTarget(Target), FSkin(Skin), FSource(Source), FSettings(Settings)
{
}

// ---------------------------------------------------------------------------
// Image files.

TStream* TsSkinLoader::OpenImage(const UnicodeString& Name, std::unique_ptr<TStream>& Owned) const
{
    if (Name.empty())
        return nullptr;
    if (FSource.sc) {
        const std::vector<TkvImageItem>& files = FSource.sc->Files;
        // Upper-cased once per load, not once per image looked up.
        if (FPackedNames.size() != files.size()) {
            FPackedNames.clear();
            for (const TkvImageItem& f : files)
                FPackedNames.push_back(AnsiUpperCase(f.FileName));
        }
        for (size_t i = 0; i < files.size(); ++i)
            if (files[i].FileStream && FPackedNames[i] == Name) {
                files[i].FileStream->SetPosition(0);
                return files[i].FileStream;
            }
        return nullptr;
    }
    const UnicodeString path = Contains(Name, L":") ? Name : FSource.SkinPath + Name;
    if (!FileExists(path))
        return nullptr;
    Owned = std::make_unique<TFileStream>(path, fmOpenRead | fmShareDenyWrite);
    return Owned.get();
}

std::unique_ptr<TBitmap> TsSkinLoader::LoadBitmap(const UnicodeString& Name, bool Png) const
{
    std::unique_ptr<TStream> owned;
    TStream* s = OpenImage(Name, owned);
    if (!s)
        return nullptr;
    auto bmp = std::make_unique<TBitmap>();
    if (Png) {
        TPNGGraphic png;
        png.LoadFromStream(s);
        bmp->Assign(&png);
        // Painting reads skin images as 24- or 32-bit pixels; a PNG without
        // alpha may decode to a palette.
        if (bmp->PixelFormat() != pf32bit)
            bmp->SetPixelFormat(pf24bit);
        UpdateTransPixels(bmp.get());
    } else {
        bmp->LoadFromStream(s);
    }
    if (bmp->Width() <= 0)
        return nullptr;
    return bmp;
}

std::unique_ptr<TJPEGImage> TsSkinLoader::LoadJpeg(const UnicodeString& Name) const
{
    std::unique_ptr<TStream> owned;
    TStream* s = OpenImage(Name, owned);
    if (!s)
        return nullptr;
    auto jpeg = std::make_unique<TJPEGImage>();
    jpeg->LoadFromStream(s);
    if (jpeg->Width() <= 0)
        return nullptr;
    return jpeg;
}

// ---------------------------------------------------------------------------
// Entries.

TsMaskData TsSkinLoader::NewEntry(std::wstring_view Section, std::wstring_view Key) const
{
    TsMaskData m;
    m.ClassName = Section;
    m.PropertyName = Key;
    m.Manager = FTarget.StoreOwner;
    return m;
}

void TsSkinLoader::Append(TsMaskData& m, std::unique_ptr<TBitmap> Bmp)
{
    // m is done with: its names move into the table.
    m.Bmp = nullptr;
    FSkin.ma.push_back(std::move(m));
    FSkin.ma.back().Bmp = Bmp.release();
}

// ---------------------------------------------------------------------------

void TsSkinLoader::LoadAllMasks()
{
    FSkin.FreeBitmaps();
    if (FSource.SkinFile) {
        LoadMasterBitmap();
        AddDescriptionImages();
    } else if (FSource.Stored) {
        AddStoredImages();
    } else {
        return;
    }
    AddCommonImages();
}

void TsSkinLoader::LoadMasterBitmap()
{
    const UnicodeString name = FSource.SkinFile->ReadString(s_GlobalInfo, s_MasterBitmap, UnicodeString());
    auto master = std::make_unique<TBitmap>();
    std::unique_ptr<TStream> owned;
    if (TStream* s = OpenImage(name, owned))
        master->LoadFromStream(s);
    master->SetPixelFormat(pf24bit);
    master->SetTransparent(true);
    master->SetTransparentColor(clFuchsia);
    master->SetHandleType(bmDIB);
    FSkin.MasterBitmap = master.release();
}

const TsDescriptionEntries& TsSkinLoader::Entries()
{
    if (!FEntriesRead && FSource.SkinFile)
        FEntries = ReadEntries(FSource.SkinFile);
    FEntriesRead = true;
    return FEntries;
}

void TsSkinLoader::AddDescriptionImages()
{
    const UnicodeString none;
    // At most an image a key: the table is not regrown as it fills.
    FSkin.ma.reserve(FSkin.ma.size() + Entries().Items.size());
    for (const TsDescriptionEntry& e : Entries())
        if (!IsMasterKey(e.Section, e.Key))
            AddImage(e.Section, e.Key, e.HasValue ? e.Value : none);
}

void TsSkinLoader::AddImage(std::wstring_view Section, std::wstring_view Key, const UnicodeString& Value)
{
    if (IsTextKey(Key))
        return;
    TsImageValue v;
    try {
        v = ParseImageValue(Value);
    } catch (const EConvertError& e) {
        throw EConvertError(L"Skin section " + UnicodeString(Section) + L", key " + UnicodeString(Key) + L" (" +
                            QuotedValue(Value) + L"): " + QuotedValue(e.Message()));
    }
    // Patterns are read by the pattern loader; most values are no image.
    if (v.Form == ifJpeg || v.Form == ifNone)
        return;
    TsMaskData m = NewEntry(Section, Key);
    switch (v.Form) {
    case ifFile:
        AddFileImage(m, v);
        break;
    case ifGlyph:
        m.R = v.R;
        m.ImageCount = ClampTo<int16_t>(v.ImageCount);
        m.MaskType = ClampTo<int16_t>(v.MaskType);
        m.ImgType = itisaGlyph;
        Append(m, nullptr);
        break;
    case ifBorder:
        m.R = v.R;
        m.WL = ClampTo<int16_t>(v.WL);
        m.WT = ClampTo<int16_t>(v.WT);
        m.WR = ClampTo<int16_t>(v.WR);
        m.WB = ClampTo<int16_t>(v.WB);
        m.ImageCount = ClampTo<int16_t>(v.ImageCount);
        m.MaskType = ClampTo<int16_t>(v.MaskType);
        m.DrawMode = ClampTo<int16_t>(v.DrawMode);
        m.BorderWidth = ClampTo<int16_t>(v.BorderWidth);
        m.ImgType = itisaBorder;
        DeriveBorderWidths(m);
        Append(m, nullptr);
        break;
    case ifTexture:
        m.R = v.R;
        m.DrawMode = ClampTo<int16_t>(v.DrawMode);
        m.MaskType = ClampTo<int16_t>(v.MaskType);
        m.ImageCount = 1;
        m.ImgType = itisaTexture;
        Append(m, nullptr);
        break;
    case ifRegion:
        AddRegion(m, v);
        break;
    case ifPlainBmp:
        if (std::unique_ptr<TBitmap> b = LoadBitmap(v.FileName, false))
            AddPlainBmp(m, std::move(b));
        break;
    case ifJpeg:
    case ifNone:
        break;
    }
}

void TsSkinLoader::AddFileImage(TsMaskData& m, const TsImageValue& v)
{
    // The extension is taken as written: "button.bmp" names no image here.
    const bool bmp = Contains(v.FileName, L".BMP");
    if (!bmp && !Contains(v.FileName, L".PNG"))
        return;
    std::unique_ptr<TBitmap> b = LoadBitmap(v.FileName, !bmp);
    if (!b)
        return;
    m.ImageCount = ClampTo<int16_t>(v.ImageCount);
    m.MaskType = ClampTo<int16_t>(v.MaskType);
    m.ImgType = ImgTypeOf(v.ImgType);
    m.DrawMode = 4;
    m.R = TRect(0, 0, b->Width(), b->Height());
    if (v.HasWidths) {
        m.WL = ClampTo<int16_t>(v.WL);
        m.WT = ClampTo<int16_t>(v.WT);
        m.WR = ClampTo<int16_t>(v.WR);
        m.WB = ClampTo<int16_t>(v.WB);
    } else {
        DeriveBorderWidths(m);
    }
    if (bmp && m.ImgType != itisaTexture)
        b->SetPixelFormat(pf24bit);
    Append(m, std::move(b));
}

void TsSkinLoader::AddPlainBmp(TsMaskData& m, std::unique_ptr<TBitmap> Bmp)
{
    // A plain file is a three-state border over its mask in the lower half.
    Bmp->SetPixelFormat(pf24bit);
    m.ClassName = AnsiUpperCase(m.ClassName);
    m.PropertyName = AnsiUpperCase(m.PropertyName);
    m.MaskType = 1;
    m.ImageCount = 3;
    m.ImgType = itisaBorder;
    m.R = TRect(0, 0, Bmp->Width(), Bmp->Height());
    m.WL = m.WR = ClampTo<int16_t>(Bmp->Width() / 9);
    m.WT = m.WB = ClampTo<int16_t>(Bmp->Height() / 6);
    Append(m, std::move(Bmp));
}

void TsSkinLoader::AddRegion(TsMaskData& m, const TsImageValue& v)
{
    m.ClassName = AnsiUpperCase(m.ClassName);
    m.PropertyName = AnsiUpperCase(m.PropertyName);
    m.R = v.R;
    m.ImageCount = ClampTo<int16_t>(v.ImageCount < 1 ? 1 : v.ImageCount);
    m.MaskType = ClampTo<int16_t>(v.MaskType < 0 ? 0 : v.MaskType);
    m.BorderWidth = ClampTo<int16_t>(v.BorderWidth < 0 ? 0 : v.BorderWidth);
    m.DrawMode = ClampTo<int16_t>(v.HasDrawMode ? v.DrawMode : 1);
    DeriveBorderWidths(m);
    Append(m, nullptr);
}

void TsSkinLoader::AddStoredImages()
{
    TsStoredSkin* stored = FSource.Stored;
    if (!stored->MasterBitmap()->Empty()) {
        std::unique_ptr<TBitmap> master = Copy24(stored->MasterBitmap());
        master->SetTransparent(stored->MasterBitmap()->Transparent());
        master->SetTransparentColor(stored->MasterBitmap()->TransparentColor());
        FSkin.MasterBitmap = master.release();
    }
    for (int i = 0; i < stored->Images()->Count(); ++i) {
        TsSkinImage* item = stored->Images()->GetItem(i);
        TsMaskData m = NewEntry(AnsiUpperCase(item->FClassName), AnsiUpperCase(item->FPropertyName));
        std::unique_ptr<TBitmap> own;
        if (!item->FImage->Empty()) {
            own = Copy24(item->FImage);
            m.R = TRect(0, 0, own->Width(), own->Height());
        } else {
            m.R = TRect(item->FLeft, item->FTop, item->FRight, item->FBottom);
        }
        m.ImageCount = ClampTo<int16_t>(item->FImageCount);
        m.MaskType = ClampTo<int16_t>(item->FMaskType);
        m.BorderWidth = ClampTo<int16_t>(item->FBorderWidth);
        m.ImgType = item->FImgType;
        m.WL = ClampTo<int16_t>(item->FWL);
        m.WT = ClampTo<int16_t>(item->FWT);
        m.WR = ClampTo<int16_t>(item->FWR);
        m.WB = ClampTo<int16_t>(item->FWB);
        m.DrawMode = ClampTo<int16_t>(item->FStretchMode);
        if (m.ImageCount == 0) {
            m.ImageCount = 3;
            m.MaskType = 1;
        }
        DeriveBorderWidths(m);
        Append(m, std::move(own));
    }
}

void TsSkinLoader::AddCommonImages()
{
    if (!FSettings.CommonSections || FSettings.CommonSections->Count() == 0)
        return;
    TMemIniFile common;
    common.SetStrings(FSettings.CommonSections);
    std::unique_ptr<TStringList> sections(new TStringList), keys(new TStringList);
    common.ReadSections(sections.get());
    const bool master = FSkin.MasterBitmap && !FSkin.MasterBitmap->Empty();
    for (int s = 0; s < sections->Count(); ++s) {
        const UnicodeString section = sections->Strings(s);
        if (AnsiUpperCase(section) == s_GlobalInfo)
            continue;
        common.ReadSection(section, keys.get());
        for (int k = 0; k < keys->Count(); ++k) {
            const UnicodeString key = keys->Strings(k);
            const UnicodeString value = common.ReadString(section, key, L"-");
            TsMaskData m = NewEntry(section, key);
            if (ImageFormOf(value) == ifRegion) {
                if (master)
                    AddRegion(m, ParseImageValue(value));
                continue;
            }
            const UnicodeString upper = AnsiUpperCase(value);
            if (!Contains(upper, L".BMP"))
                continue;
            // Common images are files beside the skin even for a packed one.
            const UnicodeString path = Contains(upper, L":") ? upper : FSource.SkinPath + upper;
            if (!FileExists(path))
                continue;
            auto b = std::make_unique<TBitmap>();
            b->LoadFromFile(path);
            if (b->Width() > 0)
                AddPlainBmp(m, std::move(b));
        }
    }
}
