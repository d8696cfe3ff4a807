// The loader's JPEG patterns: large pictures stay compressed in pa, small
// ones become texture entries of ma so that painting never decodes them.
#include <memory>

#include "classlib/graphics/Graphics.h"
#include "classlib/graphics/Jpeg.h"
#include "classlib/rtl/FileUtils.h"
#include "classlib/rtl/IniFiles.h"
#include "classlib/rtl/Lists.h"
#include "classlib/rtl/SysUtils.h"
#include "skin/core/sSkinManager_Description.h"
#include "skin/core/sSkinManager_Load.h"
#include "skin/core/sSkinManager_Stored.h"

namespace {

// Pictures of at least this many pixels stay JPEG patterns.
constexpr int64_t PatternPixels = 90000;

bool IsJpegName(const UnicodeString& Upper)
{
    return Upper.find(L".JPG") != UnicodeString::npos || Upper.find(L".JPEG") != UnicodeString::npos;
}

} // namespace

void TsSkinLoader::LoadAllPatterns()
{
    FSkin.FreeJpegs();
    if (FSource.SkinFile)
        AddDescriptionPatterns();
    else if (FSource.Stored)
        AddStoredPatterns();
    else
        return;
    AddCommonPatterns();
}

void TsSkinLoader::AddDescriptionPatterns()
{
    for (const TsDescriptionEntry& e : Entries()) {
        // Most values are numbers, colours or images: without a "." they
        // name no file and need no upper-cased copy.
        if (!e.HasValue || e.Value.find(L'.') == UnicodeString::npos)
            continue;
        const UnicodeString& value = e.Value;
        // The system's upper-casing is slow; the extension test needs none.
        if (!IsJpegName(UpperCase(value)))
            continue;
        if (std::unique_ptr<TJPEGImage> jpeg = LoadJpeg(AnsiUpperCase(value)))
            AddPattern(UnicodeString(e.Section), UnicodeString(e.Key), std::move(jpeg));
    }
}

void TsSkinLoader::AddPattern(const UnicodeString& Section, const UnicodeString& Key, std::unique_ptr<TJPEGImage> Jpeg)
{
    const UnicodeString section = AnsiUpperCase(Section);
    const UnicodeString key = AnsiUpperCase(Key);
    if (int64_t(Jpeg->Width()) * Jpeg->Height() >= PatternPixels) {
        TsPatternData p;
        p.ClassName = section;
        p.PropertyName = key;
        FSkin.pa.push_back(p);
        FSkin.pa.back().Img = Jpeg.release();
        return;
    }
    auto bmp = std::make_unique<TBitmap>(Jpeg->Width(), Jpeg->Height(), pf24bit);
    bmp->Canvas()->Draw(0, 0, Jpeg.get());
    TsMaskData m = NewEntry(section, key);
    m.ImgType = itisaTexture;
    m.ImageCount = 1;
    m.R = TRect(0, 0, bmp->Width(), bmp->Height());
    Append(m, std::move(bmp));
}

void TsSkinLoader::AddStoredPatterns()
{
    TsSkinPatterns* patterns = FSource.Stored->Patterns();
    for (int i = 0; i < patterns->Count(); ++i) {
        TsSkinPattern* item = patterns->GetItem(i);
        // An item without a picture of its own shares the one of the first
        // item of the same file name that has one.
        TJPEGImage* image = item->FImage;
        for (int j = 0; j < patterns->Count() && image->Empty(); ++j)
            if (j != i && patterns->GetItem(j)->FName == item->FName && !patterns->GetItem(j)->FImage->Empty())
                image = patterns->GetItem(j)->FImage;
        auto copy = std::make_unique<TJPEGImage>();
        copy->Assign(image);
        TsPatternData p;
        p.ClassName = AnsiUpperCase(item->FClassName);
        p.PropertyName = AnsiUpperCase(item->FPropertyName);
        FSkin.pa.push_back(p);
        FSkin.pa.back().Img = copy.release();
    }
}

void TsSkinLoader::AddCommonPatterns()
{
    if (!FSettings.CommonSections || FSettings.CommonSections->Count() == 0)
        return;
    TMemIniFile common;
    common.SetStrings(FSettings.CommonSections);
    std::unique_ptr<TStringList> sections(new TStringList), keys(new TStringList);
    common.ReadSections(sections.get());
    for (int s = 0; s < sections->Count(); ++s) {
        const UnicodeString section = sections->Strings(s);
        common.ReadSection(section, keys.get());
        for (int k = 0; k < keys->Count(); ++k) {
            const UnicodeString key = keys->Strings(k);
            const UnicodeString value = AnsiUpperCase(common.ReadString(section, key, L"-"));
            if (!IsJpegName(value))
                continue;
            const UnicodeString path = value.find(L':') != UnicodeString::npos ? value : FSource.SkinPath + value;
            if (!FileExists(path))
                continue;
            // A common pattern that does not load is left out; the skin
            // itself is not at fault.
            auto jpeg = std::make_unique<TJPEGImage>();
            try {
                jpeg->LoadFromFile(path);
            } catch (const EInvalidGraphic&) {
                continue;
            }
            if (jpeg->Width() <= 0)
                continue;
            TsPatternData p;
            p.ClassName = AnsiUpperCase(section);
            p.PropertyName = AnsiUpperCase(key);
            FSkin.pa.push_back(p);
            FSkin.pa.back().Img = jpeg.release();
        }
    }
}
