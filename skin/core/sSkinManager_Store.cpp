#include "skin/core/sSkinManager_Store.h"

#include <exception>
#include <memory>
#include <utility>

#include "classlib/controls/Dialogs.h"
#include "classlib/graphics/Graphics.h"
#include "classlib/graphics/Jpeg.h"
#include "classlib/rtl/FileUtils.h"
#include "classlib/rtl/IniFiles.h"
#include "classlib/rtl/Lists.h"
#include "classlib/rtl/Streams.h"
#include "classlib/rtl/SysUtils.h"
#include "skin/core/kvSkinPack.h"
#include "skin/core/sSkinManager_Load.h"
#include "skin/core/sSkinManager_Stored.h"

namespace {

// The global values of a skin, all but Active (which says whether the skin
// in place has been announced).
void CopySkinValues(const TsSkinData& s, TsSkinData& d)
{
    d.SkinPath = s.SkinPath;
    d.Version = s.Version;
    d.Author = s.Author;
    d.Description = s.Description;
    d.Shadow1Color = s.Shadow1Color;
    d.Shadow1Offset = s.Shadow1Offset;
    d.Shadow1Blur = s.Shadow1Blur;
    d.Shadow1Transparency = s.Shadow1Transparency;
    d.ExBorderWidth = s.ExBorderWidth;
    d.ExTitleHeight = s.ExTitleHeight;
    d.ExMaxHeight = s.ExMaxHeight;
    d.ExContentOffs = s.ExContentOffs;
    d.ExCenterOffs = s.ExCenterOffs;
    d.ExDrawMode = s.ExDrawMode;
    d.FXColor = s.FXColor;
    d.BorderColor = s.BorderColor;
    d.BISpacing = s.BISpacing;
    d.BIVAlign = s.BIVAlign;
    d.BIRightMargin = s.BIRightMargin;
    d.BILeftMargin = s.BILeftMargin;
    d.BIKeepHUE = s.BIKeepHUE;
    d.BICloseGlow = s.BICloseGlow;
    d.BICloseGlowMargin = s.BICloseGlowMargin;
    d.BIMaxGlow = s.BIMaxGlow;
    d.BIMaxGlowMargin = s.BIMaxGlowMargin;
    d.BIMinGlow = s.BIMinGlow;
    d.BIMinGlowMargin = s.BIMinGlowMargin;
}

// A description held in memory, made from the "Options.dat" of a packed
// skin.
std::unique_ptr<TMemIniFile> PackedDescription(TkvSkinConvertor* sc)
{
    if (!sc->Options)
        throw EReadError(L"The packed skin has no Options.dat");
    auto ini = std::make_unique<TMemIniFile>();
    LoadDescription(ini.get(), sc->Options);
    return ini;
}

// Unpacks the packed data of an internal skin.  The stream stays the
// stored skin's: it is lent to the convertor and taken back.
std::unique_ptr<TkvSkinConvertor> UnpackStored(TsStoredSkin* Stored)
{
    std::unique_ptr<TkvSkinConvertor> sc(New<TkvSkinConvertor>());
    sc->PackedData = Stored->PackedData;
    try {
        ExtractPackedData(sc.get());
    } catch (...) {
        sc->PackedData = nullptr;
        throw;
    }
    sc->PackedData = nullptr;
    return sc;
}

} // namespace

void LoadDescription(TMemIniFile* Ini, TStream* Lines)
{
    // ANSI text, read as a string list reads a stream, straight into the
    // description: this runs on every load of a packed skin.
    Lines->SetPosition(0);
    // A memory stream (the unpacked entry) is converted where it lies,
    // without a copy of its bytes first.
    if (auto* mem = dynamic_cast<TCustomMemoryStream*>(Lines)) {
        Ini->SetText(AnsiToUnicode(static_cast<const char*>(mem->Memory()), static_cast<size_t>(mem->Size())));
        mem->SetPosition(mem->Size());
        return;
    }
    Ini->SetText(ReadAnsiText(Lines));
}

TsSkinStore::~TsSkinStore()
{
    // The kept pictures before the images they were painted from.
    ReleasePaintCache();
    FreeJpegs();
    FreeBitmaps();
    FreeAndNil(ShdaTemplate);
    FreeAndNil(ShdiTemplate);
}

void TsSkinStore::FreeBitmaps()
{
    // Kept pictures name the images.
    ReleasePaintCache();
    while (!ma.empty()) {
        FreeAndNil(ma.back().Bmp);
        ma.pop_back();
    }
    FreeAndNil(MasterBitmap);
}

void TsSkinStore::FreeJpegs()
{
    ReleasePaintCache();
    while (!pa.empty()) {
        FreeAndNil(pa.back().Img);
        pa.pop_back();
    }
}

void TsSkinStore::ClearSkin()
{
    ReleasePaintCache();
    FreeJpegs();
    FreeBitmaps();
    gd.clear();
    InitConstantIndexes();
}

void TsSkinStore::TakeSkin(TsSkinStore& Staged)
{
    ReleasePaintCache();
    std::swap(gd, Staged.gd);
    std::swap(ma, Staged.ma);
    std::swap(pa, Staged.pa);
    std::swap(MasterBitmap, Staged.MasterBitmap);
    if (SkinData && Staged.SkinData)
        CopySkinValues(*Staged.SkinData, *SkinData);
}

void TsSkinStore::LoadSkin(const TsSkinSource& Source, const TsSkinLoadSettings& Settings)
{
    TsSkinData stagedData;
    stagedData.SkinPath = Source.SkinPath;
    TsSkinStore staged;
    staged.SkinData = &stagedData;
    staged.StoreOwner = StoreOwner;
    TsSkinLoader loader(*this, staged, Source, Settings);
    loader.LoadAllMasks();
    loader.LoadAllPatterns();
    loader.LoadAllGeneralData();
    // A description of no sections (an empty or missing Options.dat) is no
    // skin: the skin in place stays.
    if (staged.gd.empty())
        throw EReadError(L"The skin has no description: no sections were found in its Options.dat");
    // Nothing below can fail for the skin's content: the old skin goes with
    // the staged store.
    TakeSkin(staged);
    InitConstantIndexes();
}

TsReloadResult TsSkinStore::ReloadSkin(const UnicodeString& FullSkinDir, UnicodeString& SkinName,
                                       TsStoredSkins* InternalSkins, const TsSkinLoadSettings& Settings)
{
    TsSkinSource source;
    // The resolved directory already ends with "\"; the doubled separator is
    // accepted by the file system.
    const UnicodeString options = FullSkinDir + L"\\" + SkinName + L"\\Options.dat";
    if (FileExists(options)) {
        TMemIniFile ini(options);
        source.SkinFile = &ini;
        source.SkinPath = FullSkinDir + L"\\" + SkinName + L"\\";
        LoadSkin(source, Settings);
        SkinIsPacked = false;
        return rrLoaded;
    }
    const int count = InternalSkins ? InternalSkins->Count() : 0;
    if (count == 0)
        return rrNoSkin;
    int index = InternalSkins->IndexOf(SkinName);
    if (index < 0)
        index = 0;
    TsStoredSkin* stored = InternalSkins->GetItem(index);
    source.Stored = stored;
    bool packed = false;
    if (stored->PackedData->Size() > 0) {
        std::unique_ptr<TkvSkinConvertor> sc = UnpackStored(stored);
        std::unique_ptr<TMemIniFile> ini = PackedDescription(sc.get());
        source.sc = sc.get();
        source.SkinFile = ini.get();
        LoadSkin(source, Settings);
        packed = true;
    } else {
        LoadSkin(source, Settings);
    }
    SkinIsPacked = packed;
    SkinName = stored->Name();
    return rrLoaded;
}

void TsSkinStore::ReloadPackedSkin(const UnicodeString& FileName, const UnicodeString& FullSkinDir,
                                   const TsSkinLoadSettings& Settings)
{
    if (!FileExists(FileName))
        throw EFOpenError(L"Cannot open the skin file " + FileName);
    TkvSkinConvertor* raw = nullptr;
    LoadSkinFromFile(FileName, raw, true);
    std::unique_ptr<TkvSkinConvertor> sc(raw);
    std::unique_ptr<TMemIniFile> ini = PackedDescription(sc.get());
    TsSkinSource source;
    source.SkinFile = ini.get();
    source.sc = sc.get();
    source.SkinPath = FullSkinDir + L"\\";
    LoadSkin(source, Settings);
    SkinIsPacked = true;
}

void TsSkinStore::CheckVersion(double Version)
{
    if (Version > 6.99)
        ShowMessage(L"This version of the skin have not complete support by used Korvex package release.\r\n"
                    L"Components must be updated up to latest version for using this skin.");
}

// ---------------------------------------------------------------------------

TsSkinChangeScope::TsSkinChangeScope(TsSkinData* SkinData)
    : FSkinData(SkinData),
      FWasChanging(aSkinChanging),
      FWasActive(SkinData && SkinData->Active),
      FExceptions(std::uncaught_exceptions())
{
    aSkinChanging = true;
    if (FSkinData)
        FSkinData->Active = false;
}

TsSkinChangeScope::~TsSkinChangeScope()
{
    aSkinChanging = FWasChanging;
    if (FSkinData && std::uncaught_exceptions() > FExceptions)
        FSkinData->Active = FWasActive;
}
