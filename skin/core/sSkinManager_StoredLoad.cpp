// Converting a skin folder (its description and image files) into a stored
// skin.
#include "skin/core/sSkinManager_Stored.h"

#include <memory>

#include "classlib/graphics/Jpeg.h"
#include "classlib/rtl/FileUtils.h"
#include "classlib/rtl/IniFiles.h"
#include "classlib/rtl/Lists.h"
#include "classlib/rtl/SysUtils.h"
#include "skin/core/sSkinManager_Description.h"
#include "skin/core/sSkinManager_ImageValue.h"
#include "skin/core/sSkinProps.h"
#include "skin/core/sSkinTables.h"

namespace {

bool IsTrue(const UnicodeString& S)
{
    return AnsiUpperCase(S) == L"TRUE";
}

// A file name of the description: absolute when it holds ":", else in Folder.
UnicodeString SkinFilePath(const UnicodeString& Folder, const UnicodeString& Name)
{
    return Name.find(L':') != UnicodeString::npos ? Name : Folder + Name;
}

// "main left top right bottom" of five keys read with inheritance, as the
// loader reads them (a colour of -1 is taken from the parent).
UnicodeString FontColors(TsSkinDescription& d, const UnicodeString& Section, const wchar_t* const Keys[5])
{
    UnicodeString s = IntToStr(d.ReadInteger(Section, Keys[0], 0));
    for (int i = 1; i < 5; ++i)
        s += L" " + IntToStr(d.ReadInteger(Section, Keys[i], -1));
    return s;
}

void FillGeneral(TsSkinGeneral& g, TsSkinDescription& d, const UnicodeString& s)
{
    static const wchar_t* const font[5] = {s_FontColor, s_TcLeft, s_TcTop, s_TcRight, s_TcBottom};
    static const wchar_t* const hotFont[5] = {s_HotFontColor, s_HotTcLeft, s_HotTcTop, s_HotTcRight, s_HotTcBottom};
    g.FSectionName = s;
    g.FParentClass = d.ParentOf(s);
    g.FColor = ColorToRGB(d.ReadInteger(s, s_Color, 0xFFFFFF));
    g.FReservedBoolean = IsTrue(d.ReadString(s, s_ReservedBoolean, L"FALSE"));
    g.FGiveOwnFont = IsTrue(d.ReadString(s, s_GiveOwnFont, L"FALSE"));
    g.FGlowCount = d.ReadInteger(s, s_Glow, 0);
    g.FGlowMargin = d.ReadInteger(s, s_GlowMargin, 0);
    g.FFontColor = FontColors(d, s, font);
    g.FHotFontColor = FontColors(d, s, hotFont);
    g.FTransparency = d.ReadInteger(s, s_Transparency, 0);
    g.FGradientPercent = d.ReadInteger(s, s_GradientPercent, 0);
    g.FImagePercent = d.ReadInteger(s, s_ImagePercent, 0);
    g.FGradientData = d.ReadString(s, s_GradientData, L" ");
    g.FShowFocus = IsTrue(d.ReadString(s, s_ShowFocus, L"FALSE"));
    g.FFadingEnabled = IsTrue(d.ReadString(s, s_FadingEnabled, L"FALSE"));
    g.FFadingIterations = d.ReadInteger(s, s_FadingIterations, 5);
    g.FHotColor = ColorToRGB(d.ReadInteger(s, s_HotColor, 0xFFFFFF));
    g.FHotTransparency = d.ReadInteger(s, s_HotTransparency, 0);
    g.FHotGradientPercent = d.ReadInteger(s, s_HotGradientPercent, 0);
    g.FHotGradientData = d.ReadString(s, s_HotGradientData, L" ");
    g.FHotImagePercent = d.ReadInteger(s, s_HotImagePercent, 0);
    g.FHotGlowColor = ColorToRGB(d.ReadInteger(s, s_Hgcol, 0xFFFFFF));
    g.FHotGlowSize = d.ReadInteger(s, s_Hgsize, 0);
    g.FGlowColor = ColorToRGB(d.ReadInteger(s, s_Gcol, 0xFFFFFF));
    g.FGlowSize = d.ReadInteger(s, s_Gsize, 0);
}

// The margins of an image that gives none, as the loader derives them.
void DeriveWidths(TsSkinImage& i)
{
    TsMaskData m;
    m.ClassName = i.FClassName;
    m.PropertyName = i.FPropertyName;
    m.R = TRect(i.FLeft, i.FTop, i.FRight, i.FBottom);
    m.ImageCount = ClampTo<int16_t>(i.FImageCount);
    m.MaskType = ClampTo<int16_t>(i.FMaskType);
    m.BorderWidth = ClampTo<int16_t>(i.FBorderWidth);
    DeriveBorderWidths(m);
    i.FWL = m.WL;
    i.FWT = m.WT;
    i.FWR = m.WR;
    i.FWB = m.WB;
}

void SetRect(TsSkinImage& i, const TRect& R)
{
    i.FLeft = R.left;
    i.FTop = R.top;
    i.FRight = R.right;
    i.FBottom = R.bottom;
}

} // namespace

void TsStoredSkin::LoadFromIni(TsSkinGenerals* gd, TMemIniFile* sf)
{
    if (!sf)
        return;
    double version = 0;
    {
        Extended v;
        TFormatSettings point = FormatSettings;
        point.DecimalSeparator = L'.';
        if (TryStrToFloat(sf->ReadString(s_GlobalInfo, s_Version, L"0"), v, point))
            version = double(v);
    }
    FVersion = version;
    TPersistent* manager = Collection() ? Collection()->GetOwner() : nullptr;
    if (auto* tables = dynamic_cast<TsSkinTables*>(manager); tables && tables->SkinData)
        tables->SkinData->Version = version;

    FAuthor = sf->ReadString(s_GlobalInfo, s_Author, UnicodeString());
    FDescription = sf->ReadString(s_GlobalInfo, s_Description, UnicodeString());
    FShadow1Color = StrToInt(sf->ReadString(s_GlobalInfo, s_Shadow1Color, L"0"));
    FShadow1Offset = StrToInt(sf->ReadString(s_GlobalInfo, s_Shadow1Offset, L"1"));
    FShadow1Blur = StrToInt(sf->ReadString(s_GlobalInfo, s_Shadow1Blur, L"-1"));
    FShadow1Transparency = StrToInt(sf->ReadString(s_GlobalInfo, s_Shadow1Transparency, L"50"));
    FBorderColor = sf->ReadInteger(s_GlobalInfo, s_BorderColor, 0);

    TsSkinDescription d(sf);
    std::unique_ptr<TStringList> sections(new TStringList);
    sf->ReadSections(sections.get());
    for (int i = 0; i < sections->Count(); ++i)
        FillGeneral(*static_cast<TsSkinGeneral*>(gd->Add()), d, sections->Strings(i));
}

void TsStoredSkin::LoadSkin(TMemIniFile* sf)
{
    if (!sf)
        return;
    const UnicodeString folder = ExtractFilePath(sf->FileName());
    LoadFromIni(FGeneralData, sf);
    FImages->Clear();
    const UnicodeString master = sf->ReadString(s_GlobalInfo, s_MasterBitmap, UnicodeString());
    if (!master.empty() && FileExists(SkinFilePath(folder, master)))
        FMasterBitmap->LoadFromFile(SkinFilePath(folder, master));
    LoadImages(sf, folder);
    LoadPatterns(sf, folder);
}

void TsStoredSkin::LoadImages(TMemIniFile* sf, const UnicodeString& Folder)
{
    std::unique_ptr<TStringList> sections(new TStringList), keys(new TStringList);
    sf->ReadSections(sections.get());
    for (int s = 0; s < sections->Count(); ++s) {
        const UnicodeString section = sections->Strings(s);
        sf->ReadSection(section, keys.get());
        for (int k = 0; k < keys->Count(); ++k) {
            const UnicodeString key = keys->Strings(k);
            if (SameText(section, s_GlobalInfo) && SameText(key, s_MasterBitmap))
                continue;
            const UnicodeString value = sf->ReadString(section, key, L"-");
            TsImageValue v = ParseImageValue(value);
            // This converter takes plain values of ".BMP" files only, and
            // "!" values naming one.
            if (v.Form == ifJpeg || v.Form == ifNone || (v.Form == ifFile && v.FileName.find(L".BMP") == UnicodeString::npos))
                continue;
            const bool ownFile = v.Form == ifFile || v.Form == ifPlainBmp;
            if (ownFile && !FileExists(SkinFilePath(Folder, v.FileName)))
                continue;
            auto* item = static_cast<TsSkinImage*>(FImages->Add());
            try {
                item->FPropertyName = key;
                item->FClassName = section;
                switch (v.Form) {
                case ifFile:
                    item->FName = v.FileName;
                    item->FImage->LoadFromFile(SkinFilePath(Folder, v.FileName));
                    item->FImgType = ImgTypeOf(v.ImgType);
                    item->FImageCount = v.ImageCount;
                    item->FMaskType = v.MaskType;
                    SetRect(*item, TRect(0, 0, item->FImage->Width(), item->FImage->Height()));
                    if (v.HasWidths) {
                        item->FWL = v.WL;
                        item->FWT = v.WT;
                        item->FWR = v.WR;
                        item->FWB = v.WB;
                    } else {
                        DeriveWidths(*item);
                    }
                    break;
                case ifGlyph:
                    item->FImgType = itisaGlyph;
                    SetRect(*item, v.R);
                    item->FImageCount = v.ImageCount;
                    item->FMaskType = v.MaskType;
                    break;
                case ifBorder:
                    item->FImgType = itisaBorder;
                    SetRect(*item, v.R);
                    item->FWL = v.WL;
                    item->FWT = v.WT;
                    item->FWR = v.WR;
                    item->FWB = v.WB;
                    item->FImageCount = v.ImageCount;
                    item->FMaskType = v.MaskType;
                    item->FStretchMode = v.DrawMode;
                    item->FBorderWidth = v.BorderWidth;
                    DeriveWidths(*item);
                    break;
                case ifTexture:
                    item->FPropertyName = AnsiUpperCase(key);
                    item->FClassName = AnsiUpperCase(section);
                    item->FImgType = itisaTexture;
                    SetRect(*item, v.R);
                    item->FStretchMode = v.DrawMode;
                    item->FImageCount = 1;
                    item->FMaskType = v.MaskType;
                    break;
                case ifPlainBmp:
                    item->FName = v.FileName;
                    item->FImageCount = 0;
                    item->FImage->LoadFromFile(SkinFilePath(Folder, v.FileName));
                    break;
                case ifRegion:
                    item->FPropertyName = AnsiUpperCase(key);
                    item->FClassName = AnsiUpperCase(section);
                    SetRect(*item, v.R);
                    item->FImageCount = v.ImageCount < 1 ? 1 : v.ImageCount;
                    item->FMaskType = v.MaskType < 0 ? 0 : v.MaskType;
                    item->FBorderWidth = v.BorderWidth < 0 ? 0 : v.BorderWidth;
                    item->FStretchMode = v.HasDrawMode ? v.DrawMode : 1;
                    break;
                default:
                    break;
                }
            } catch (...) {
                FreeAndNil(item);
                throw;
            }
            if (ownFile && item->FImage->Width() < 1)
                FreeAndNil(item);
        }
    }
}

void TsStoredSkin::LoadPatterns(TMemIniFile* sf, const UnicodeString& Folder)
{
    std::unique_ptr<TStringList> sections(new TStringList), keys(new TStringList);
    sf->ReadSections(sections.get());
    for (int s = 0; s < sections->Count(); ++s) {
        const UnicodeString section = sections->Strings(s);
        sf->ReadSection(section, keys.get());
        for (int k = 0; k < keys->Count(); ++k) {
            const UnicodeString key = keys->Strings(k);
            const UnicodeString value = AnsiUpperCase(sf->ReadString(section, key, L"-"));
            if (value.find(L".JPG") == UnicodeString::npos && value.find(L".JPEG") == UnicodeString::npos)
                continue;
            if (!FileExists(SkinFilePath(Folder, value)))
                continue;
            bool loaded = false;
            for (int i = 0; i < FPatterns->Count() && !loaded; ++i)
                loaded = FPatterns->GetItem(i)->FName == value && !FPatterns->GetItem(i)->FImage->Empty();
            auto* item = static_cast<TsSkinPattern*>(FPatterns->Add());
            item->FName = value;
            item->FPropertyName = key;
            item->FClassName = section;
            // The same file named twice is decoded once; the loader finds the
            // picture through the first item of that name.
            if (!loaded)
                item->FImage->LoadFromFile(SkinFilePath(Folder, value));
        }
    }
}
