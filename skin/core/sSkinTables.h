// The tables of a loaded skin and their lookups.  The skin manager carries
// them (it derives from TsSkinTables); every skinned control, wrapper and
// painting routine addresses the skin through the indexes found here.
#pragma once

#include <memory>
#include <memory_resource>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "skin/core/sMaskData.h"
#include "skin/core/sStyleSimply.h"

// What the painting engine keeps of one skin between paints (finished
// section pictures, looked-up textures, gradient lines, glows, scratch
// bitmaps).  The engine makes it on first use; the tables drop it whenever
// the skin they hold changes.
class TsSkinPaintCache {
public:
    virtual ~TsSkinPaintCache() = default;
};

class TsSkinTables {
public:
    TsGeneralDataArray gd;       // one entry per skin section
    TsMaskArray ma;              // one entry per skin image
    TsPatternArray pa;           // one entry per JPEG pattern
    TConstantSkinData ConstData; // indexes of the often used sections and images
    TsSkinData* SkinData = nullptr; // global values of the skin (owned by the manager)

    TsSkinTables() = default;
    TsSkinTables(const TsSkinTables&) = delete;
    TsSkinTables& operator=(const TsSkinTables&) = delete;
    virtual ~TsSkinTables() = default;

    // Index of the section named exactly SkinSection (case-sensitive); -1 when none.
    int GetSkinIndex(std::wstring_view SkinSection) const;
    // The image mask of the section, else of its parent sections; -1 when none.
    int GetMaskIndex(int SkinIndex, const UnicodeString& SkinSection, const UnicodeString& mask) const;
    // The image mask of the section itself (no parent search); -1 when none.
    int GetMaskIndex(std::wstring_view SkinSection, std::wstring_view mask) const;
    // As GetMaskIndex with parents, over texture images only.
    int GetTextureIndex(int SkinIndex, const UnicodeString& SkinSection, const UnicodeString& PropName) const;
    // As GetMaskIndex with parents, over the JPEG patterns.
    int GetPatternIndex(int SkinIndex, const UnicodeString& SkinSection, const UnicodeString& pattern) const;

    // Border widths of a nine-piece image; 0 for an index outside ma.
    int MaskWidthLeft(int MaskIndex);
    int MaskWidthTop(int MaskIndex) const;
    int MaskWidthRight(int MaskIndex) const;
    int MaskWidthBottom(int MaskIndex) const;
    // Size of one frame of an image: for one with its own bitmap a third of
    // the bitmap's width and half its height; (0, 0) for an index outside ma.
    TSize MaskSize(int MaskIndex) const;

    // The painting engine's work kept for this skin (see TsSkinPaintCache);
    // released, with every bitmap it holds, when the skin is replaced,
    // removed or has an image changed, and with the tables.
    mutable std::unique_ptr<TsSkinPaintCache> PaintCache;
    void ReleasePaintCache() const { PaintCache.reset(); }

    bool IsValidSkinIndex(int SkinIndex) const;
    bool IsValidImgIndex(int ImageIndex) const;

    TColor GetGlobalColor() const;
    TColor GetGlobalFontColor() const;
    TColor GetActiveEditColor() const;
    TColor GetActiveEditFontColor() const;
    TColor GetHighLightColor() const;
    TColor GetHighLightFontColor() const;

    // Recomputes ConstData from the tables, then CheckShadows.
    void InitConstantIndexes();

protected:
    // Prepares the extended-border shadow templates after the indexes are known.
    virtual void CheckShadows() {}

private:
    const TsGeneralData* GlobalInfo() const;
};

// The section and mask lookups of tables that stay as they are while it is
// used (a load finding the indexes of every section): the names are hashed
// once instead of the tables being scanned per lookup.  Answers as
// TsSkinTables' own lookups do.
class TsTableIndex {
public:
    explicit TsTableIndex(const TsSkinTables& Tables);
    // As GetSkinIndex.
    int SkinIndex(std::wstring_view Section) const;
    // As GetMaskIndex without parents.
    int MaskIndex(std::wstring_view Section, std::wstring_view Key) const;
    // As GetMaskIndex with parents.
    int MaskIndex(int Index, std::wstring_view Section, std::wstring_view Key) const;

private:
    const TsSkinTables& FTables;
    // The maps' nodes and buckets, taken from one block: an index is built
    // a few times on every skin load.
    std::pmr::monotonic_buffer_resource FPool;
    // The first gd entry of a name; the first ma entry of a section, and
    // for each ma entry the next one of the same section (-1 at the end).
    std::pmr::unordered_map<std::wstring_view, int> FSections;
    std::pmr::unordered_map<std::wstring_view, int> FFirstMask;
    std::vector<int> FNextMask;
};
