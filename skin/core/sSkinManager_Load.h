// The skin loader: reads a skin description and its images into a staged
// TsSkinStore (images, patterns, sections, mask indexes, recolouring).  Only
// TsSkinStore::LoadSkin uses it; the staged store takes the place of the
// manager's skin when every step succeeded.
#pragma once

#include <memory>
#include <string_view>
#include <vector>

#include "skin/core/sSkinManager_Description.h"
#include "skin/core/sSkinManager_Store.h"

class TJPEGImage;
class TMemIniFile;
class TStream;
struct TsImageValue;

class TsSkinLoader {
public:
    // Target is the manager's store (asked for CheckVersion and named as the
    // owner of every entry); Skin is the staged store being filled.
    TsSkinLoader(TsSkinStore& Target, TsSkinStore& Skin, const TsSkinSource& Source,
                 const TsSkinLoadSettings& Settings);

    // Images: the master image and one ma entry per image value.
    void LoadAllMasks();
    // JPEG patterns (small ones become texture entries of ma).
    void LoadAllPatterns();
    // Sections, the global values, mask indexes and recolouring.
    void LoadAllGeneralData();

private:
    // --- image files
    // The image file Name: the packed entry whose upper-cased name equals
    // Name, or the file (relative to SkinPath unless it holds ":").  nullptr
    // when there is none.
    TStream* OpenImage(const UnicodeString& Name, std::unique_ptr<TStream>& Owned) const;
    // A bitmap loaded from Name (".PNG" through the PNG reader); nullptr when
    // the file is missing or the picture has no width.
    std::unique_ptr<TBitmap> LoadBitmap(const UnicodeString& Name, bool Png) const;
    std::unique_ptr<TJPEGImage> LoadJpeg(const UnicodeString& Name) const;

    // --- masks
    void LoadMasterBitmap();
    void AddDescriptionImages();
    void AddImage(std::wstring_view Section, std::wstring_view Key, const UnicodeString& Value);
    void AddFileImage(TsMaskData& m, const TsImageValue& v);
    void AddPlainBmp(TsMaskData& m, std::unique_ptr<TBitmap> Bmp);
    void AddRegion(TsMaskData& m, const TsImageValue& v);
    void AddStoredImages();
    void AddCommonImages();
    // Appends m with Bmp (may be nullptr); ownership passes to the skin.
    void Append(TsMaskData& m, std::unique_ptr<TBitmap> Bmp);
    TsMaskData NewEntry(std::wstring_view Section, std::wstring_view Key) const;

    // --- patterns
    void AddDescriptionPatterns();
    void AddPattern(const UnicodeString& Section, const UnicodeString& Key, std::unique_ptr<TJPEGImage> Jpeg);
    void AddStoredPatterns();
    void AddCommonPatterns();

    // --- sections
    void ReadGlobals();
    void ReadStoredGlobals();
    void AddDescriptionSections();
    void AddStoredSections();
    void AddCommonSections();
    void InitMaskIndexes();

    TsSkinStore& FTarget;
    TsSkinStore& FSkin;
    const TsSkinSource& FSource;
    const TsSkinLoadSettings& FSettings;
    // The description's keys, read once for the images, the patterns and
    // the sections.
    const TsDescriptionEntries& Entries();
    TsDescriptionEntries FEntries;
    bool FEntriesRead = false;
    // The upper-cased names of the packed files, in their order.
    mutable std::vector<UnicodeString> FPackedNames;
};

// Reads text lines of a stream (the description of a packed skin) into an
// in-memory description.
void LoadDescription(TMemIniFile* Ini, TStream* Lines);
