// The painting engine's work kept with a skin between paints (the skin
// tables' PaintCache, released whenever the skin changes):
// - finished pictures of opaque sections, by section, state and size: a
//   section whose look depends on nothing but its skin values is painted
//   once, and each later paint copies the picture and gives the key-colour
//   pixels of its border's corners what lies behind the control;
// - the textures that sections look up by name;
// - the colour lines of gradients, by gradient and length;
// - the blurred masks of text glows, by text, font, flags and size, and the
//   tables of the glow rule by colour;
// - scratch bitmaps for layers painted aside, lent and given back.
// Everything kept is checked against the values it was made from before it
// is used again, so a table entry changed in place is painted afresh.
#pragma once

#include <cstdint>
#include <list>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "classlib/graphics/Graphics.h"
#include "skin/core/sSkinTables.h"
#include "skin/paint/sAlphaGraph.h"
#include "skin/paint/sGradient_Fill.h"
#include "skin/paint/sGraphUtils_Blur.h"

// Off: every paint does all of its work (tests compare both ways, the
// benchmarks measure both).  On by default.
extern bool kvKeepPaintWork;

class TsPaintCache : public TsSkinPaintCache {
public:
    // The cache of Tables, made on first use; nullptr without tables or
    // while kvKeepPaintWork is off.
    static TsPaintCache* Of(const TsSkinTables* Tables);

    TsPaintCache();
    ~TsPaintCache() override;
    TsPaintCache(const TsPaintCache&) = delete;
    TsPaintCache& operator=(const TsPaintCache&) = delete;

    // -- Scratch bitmaps ------------------------------------------------------
    // A bitmap of Format (pf24bit or pf32bit) at least W x H, whose W x H
    // corner reads as a new bitmap's (all bytes 0) and whose canvas has a new
    // one's stretch mode and brush origin; back to the cache when the lease
    // ends.  Sizes beyond the kept bound get a bitmap of their own.
    class TLease {
    public:
        TLease(TsPaintCache* Owner, TBitmap* Bmp, bool Kept) : FOwner(Owner), FBmp(Bmp), FKept(Kept) {}
        TLease(TLease&& Other) noexcept;
        TLease(const TLease&) = delete;
        TLease& operator=(const TLease&) = delete;
        TLease& operator=(TLease&&) = delete;
        ~TLease();
        TBitmap* get() const { return FBmp; }
        TBitmap* operator->() const { return FBmp; }

    private:
        TsPaintCache* FOwner;
        TBitmap* FBmp;
        bool FKept;
    };
    TLease Scratch(int W, int H, TPixelFormat Format);

    // -- Texture lookups ------------------------------------------------------
    // The image and the pattern that a section's texture of the given kind
    // (pattern or hot pattern) names; Lookup runs on the first question only.
    struct TTexture {
        int Image = -1;
        int Pattern = -1;
    };
    template <class F>
    TTexture Texture(int SkinIndex, const UnicodeString& Section, bool Hot, F Lookup)
    {
        std::wstring key = std::to_wstring(SkinIndex) + (Hot ? L"h" : L"n") + Section;
        auto it = FTextures.find(key);
        if (it == FTextures.end())
            it = FTextures.emplace(std::move(key), Lookup()).first;
        return it->second;
    }

    // -- Gradient lines -------------------------------------------------------
    // The line of a gradient over Extent pixels of Bpp bytes (see
    // kvPaint::MakeGradLine), made once per gradient and length.
    const kvPaint::TGradLine& GradLine(const std::vector<TkvGradPiece>& Pieces, int Left, int Extent, int Bpp);

    // -- Finished pictures ----------------------------------------------------
    // A section's picture as painted over a background it does not show,
    // with the corner copies whose key-colour pixels take what lies behind
    // each time it is used.
    struct TPicture {
        std::vector<int64_t> Made;         // the values it was painted from
        int W = 0, H = 0;
        std::vector<uint8_t> Pixels;       // 24-bit rows, W * 3 bytes each
        std::vector<TsCornerCopy> Corners; // D in the picture
    };
    struct TPictureKey {
        int SkinIndex, State, W, H;
        bool Filling;
        bool operator==(const TPictureKey&) const = default;
    };
    // The picture of Key when it was made from exactly Made, else nullptr.
    const TPicture* FindPicture(const TPictureKey& Key, const std::vector<int64_t>& Made);
    // Keeps Picture for Key (the least recently used pictures go when the
    // kept bytes pass the bound; one larger than a share of it is not kept).
    const TPicture* KeepPicture(const TPictureKey& Key, TPicture Picture);
    // The 24-bit bitmap pictures are painted in, at least W x H (see Scratch).
    TLease PictureCanvas(int W, int H) { return Scratch(W, H, pf24bit); }

    // -- Text glows -----------------------------------------------------------
    // The blurred 8-bit mask of a glow (see kvDrawGlowForText), with the runs
    // of its bytes other than 255 (the only ones a blend changes anything
    // for).
    struct TGlowMask {
        int W = 0, H = 0;
        std::vector<uint8_t> Bytes;  // W bytes a row
        struct TRun {
            int Y, X, Length;
        };
        std::vector<TRun> Runs;
        // The mask of Rows (8-bit), with its runs.
        static TGlowMask Of(const TBitmapRows& Rows);
    };
    // The mask kept for Key, or nullptr.
    const TGlowMask* FindGlow(const std::wstring& Key);
    const TGlowMask* KeepGlow(const std::wstring& Key, TGlowMask Mask);

    // The glow rule's table for a colour channel value (kvPaint::MakeGlowTable).
    const kvPaint::TGlowTable& GlowTable(int C);

    // What is kept now (for tests).
    int PictureCount() const { return int(FPictures.size()); }
    int GlowCount() const { return int(FGlows.size()); }

private:
    struct TScratchBmp {
        std::unique_ptr<TBitmap> Bmp;
        bool Lent = false;
    };
    std::vector<TScratchBmp> FScratch;
    void GiveBack(TBitmap* Bmp, bool Kept);

    std::unordered_map<std::wstring, TTexture> FTextures;

    struct TLineEntry {
        std::vector<TkvGradPiece> Pieces;
        int Left, Extent, Bpp;
        kvPaint::TGradLine Line;
    };
    std::list<TLineEntry> FLines;

    struct TPictureHash {
        std::size_t operator()(const TPictureKey& K) const;
    };
    std::list<std::pair<TPictureKey, TPicture>> FPictureOrder;  // most recent first
    std::unordered_map<TPictureKey, decltype(FPictureOrder)::iterator, TPictureHash> FPictures;
    std::size_t FPictureBytes = 0;

    std::list<std::pair<int, kvPaint::TGlowTable>> FGlowTables;  // most recent first
    std::list<std::pair<std::wstring, TGlowMask>> FGlowOrder;  // most recent first
    std::unordered_map<std::wstring, decltype(FGlowOrder)::iterator> FGlows;
    std::size_t FGlowBytes = 0;
};
