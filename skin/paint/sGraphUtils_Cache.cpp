#include "skin/paint/sGraphUtils_Cache.h"

#include <algorithm>
#include <cstring>

#include "skin/paint/sAlphaGraph.h"

bool kvKeepPaintWork = true;

namespace {

// Scratch bitmaps up to this many pixels are kept for the next lease.
constexpr long long MaxScratchPixels = 1920LL * 1200;
constexpr std::size_t MaxScratchBitmaps = 4;
// Bytes of finished pictures kept, and the largest one kept.
constexpr std::size_t MaxPictureBytes = 8u << 20;
constexpr std::size_t MaxPictureShare = MaxPictureBytes / 8;
// Gradient lines kept, and bytes of glow masks kept.
constexpr std::size_t MaxLines = 64;
constexpr std::size_t MaxGlowBytes = 4u << 20;

std::size_t BytesOf(const TBitmap& Bmp)
{
    return std::size_t(Bmp.Width()) * std::size_t(Bmp.Height());
}

// A new bitmap's look: bytes 0 over the leased corner, the canvas's stretch
// mode and brush origin as a new device context has them.
void MakeLikeNew(TBitmap* Bmp, int W, int H)
{
    const TBitmapRows rows = Bmp->Rows();
    for (int y = 0; y < H; ++y)
        std::memset(rows.Row(y), 0, std::size_t(W) * std::size_t(rows.BytesPerPixel));
    HDC dc = Bmp->Canvas()->Handle();
    ::SetStretchBltMode(dc, BLACKONWHITE);
    ::SetBrushOrgEx(dc, 0, 0, nullptr);
}

} // namespace

TsPaintCache* TsPaintCache::Of(const TsSkinTables* Tables)
{
    if (!Tables || !kvKeepPaintWork)
        return nullptr;
    if (!Tables->PaintCache)
        Tables->PaintCache = std::make_unique<TsPaintCache>();
    return static_cast<TsPaintCache*>(Tables->PaintCache.get());
}

TsPaintCache::TsPaintCache() = default;
TsPaintCache::~TsPaintCache() = default;

// ---------------------------------------------------------------------------
TsPaintCache::TLease::TLease(TLease&& Other) noexcept : FOwner(Other.FOwner), FBmp(Other.FBmp), FKept(Other.FKept)
{
    Other.FBmp = nullptr;
}

TsPaintCache::TLease::~TLease()
{
    if (FBmp)
        FOwner->GiveBack(FBmp, FKept);
}

TsPaintCache::TLease TsPaintCache::Scratch(int W, int H, TPixelFormat Format)
{
    W = std::max(W, 1);
    H = std::max(H, 1);
    if ((long long)W * H > MaxScratchPixels) {
        auto* own = new TBitmap(W, H, Format);
        return TLease(this, own, false);
    }
    // The smallest free bitmap of the format that holds W x H; else a free
    // one of the format made larger; else a new one while there is room.
    TScratchBmp* pick = nullptr;
    for (TScratchBmp& s : FScratch)
        if (!s.Lent && s.Bmp->PixelFormat() == Format && s.Bmp->Width() >= W && s.Bmp->Height() >= H &&
            (!pick || BytesOf(*s.Bmp) < BytesOf(*pick->Bmp)))
            pick = &s;
    if (!pick)
        for (TScratchBmp& s : FScratch)
            if (!s.Lent && s.Bmp->PixelFormat() == Format) {
                s.Bmp->SetSize(std::max(W, s.Bmp->Width()), std::max(H, s.Bmp->Height()));
                pick = &s;
                break;
            }
    if (!pick && FScratch.size() < MaxScratchBitmaps) {
        FScratch.push_back({std::make_unique<TBitmap>(W, H, Format), false});
        pick = &FScratch.back();
    }
    if (!pick)
        return TLease(this, new TBitmap(W, H, Format), false);
    MakeLikeNew(pick->Bmp.get(), W, H);
    pick->Lent = true;
    return TLease(this, pick->Bmp.get(), true);
}

void TsPaintCache::GiveBack(TBitmap* Bmp, bool Kept)
{
    if (!Kept) {
        delete Bmp;
        return;
    }
    for (TScratchBmp& s : FScratch)
        if (s.Bmp.get() == Bmp)
            s.Lent = false;
}

// ---------------------------------------------------------------------------
const kvPaint::TGradLine& TsPaintCache::GradLine(const std::vector<TkvGradPiece>& Pieces, int Left, int Extent,
                                                 int Bpp)
{
    const auto same = [&](const TkvGradPiece& a, const TkvGradPiece& b) {
        return a.Color1 == b.Color1 && a.Color2 == b.Color2 && a.Percent == b.Percent && a.Mode1 == b.Mode1;
    };
    // Only a line across depends on where it starts (its rounding does).
    if (Pieces.empty() || Pieces[0].Mode1 != 1)
        Left = 0;
    for (auto it = FLines.begin(); it != FLines.end(); ++it)
        if (it->Extent == Extent && it->Bpp == Bpp && it->Left == Left &&
            std::equal(Pieces.begin(), Pieces.end(), it->Pieces.begin(), it->Pieces.end(), same)) {
            FLines.splice(FLines.begin(), FLines, it);
            return FLines.front().Line;
        }
    if (FLines.size() >= MaxLines)
        FLines.pop_back();
    FLines.push_front({Pieces, Left, Extent, Bpp, kvPaint::MakeGradLine(Pieces, Left, Extent, Bpp, 0)});
    return FLines.front().Line;
}

// ---------------------------------------------------------------------------
std::size_t TsPaintCache::TPictureHash::operator()(const TPictureKey& K) const
{
    std::size_t h = std::size_t(K.SkinIndex);
    for (int v : {K.State, K.W, K.H, int(K.Filling)})
        h = h * 1000003u ^ std::size_t(unsigned(v));
    return h;
}

const TsPaintCache::TPicture* TsPaintCache::FindPicture(const TPictureKey& Key, const std::vector<int64_t>& Made)
{
    const auto it = FPictures.find(Key);
    if (it == FPictures.end())
        return nullptr;
    if (it->second->second.Made != Made) {
        // Painted from values that have changed since: gone.
        FPictureBytes -= it->second->second.Pixels.size();
        FPictureOrder.erase(it->second);
        FPictures.erase(it);
        return nullptr;
    }
    FPictureOrder.splice(FPictureOrder.begin(), FPictureOrder, it->second);
    return &it->second->second;
}

const TsPaintCache::TPicture* TsPaintCache::KeepPicture(const TPictureKey& Key, TPicture Picture)
{
    if (Picture.Pixels.size() > MaxPictureShare)
        return nullptr;
    if (const auto old = FPictures.find(Key); old != FPictures.end()) {
        FPictureBytes -= old->second->second.Pixels.size();
        FPictureOrder.erase(old->second);
        FPictures.erase(old);
    }
    FPictureBytes += Picture.Pixels.size();
    FPictureOrder.emplace_front(Key, std::move(Picture));
    FPictures[Key] = FPictureOrder.begin();
    while (FPictureBytes > MaxPictureBytes && FPictureOrder.size() > 1) {
        auto& last = FPictureOrder.back();
        FPictureBytes -= last.second.Pixels.size();
        FPictures.erase(last.first);
        FPictureOrder.pop_back();
    }
    return &FPictureOrder.front().second;
}

// ---------------------------------------------------------------------------
TsPaintCache::TGlowMask TsPaintCache::TGlowMask::Of(const TBitmapRows& Rows)
{
    TGlowMask m;
    if (Rows.Empty() || Rows.BytesPerPixel != 1)
        return m;
    m.W = Rows.Width;
    m.H = Rows.Height;
    m.Bytes.resize(std::size_t(m.W) * std::size_t(m.H));
    // White stretches this long end a run; shorter ones are cheaper to walk.
    constexpr int Gap = 16;
    for (int y = 0; y < m.H; ++y) {
        const uint8_t* row = Rows.Row(y);
        std::copy_n(row, m.W, &m.Bytes[std::size_t(y) * std::size_t(m.W)]);
        int start = -1, lastDark = -1;
        for (int x = 0; x < m.W; ++x) {
            if (row[x] == 255)
                continue;
            if (start >= 0 && x - lastDark > Gap) {
                m.Runs.push_back({y, start, lastDark + 1 - start});
                start = -1;
            }
            if (start < 0)
                start = x;
            lastDark = x;
        }
        if (start >= 0)
            m.Runs.push_back({y, start, lastDark + 1 - start});
    }
    return m;
}

const TsPaintCache::TGlowMask* TsPaintCache::FindGlow(const std::wstring& Key)
{
    const auto it = FGlows.find(Key);
    if (it == FGlows.end())
        return nullptr;
    FGlowOrder.splice(FGlowOrder.begin(), FGlowOrder, it->second);
    return &it->second->second;
}

const TsPaintCache::TGlowMask* TsPaintCache::KeepGlow(const std::wstring& Key, TGlowMask Mask)
{
    const std::size_t bytes = Mask.Bytes.size();
    if (bytes > MaxGlowBytes / 4)
        return nullptr;
    if (const auto old = FGlows.find(Key); old != FGlows.end()) {
        FGlowBytes -= old->second->second.Bytes.size();
        FGlowOrder.erase(old->second);
        FGlows.erase(old);
    }
    FGlowBytes += bytes;
    FGlowOrder.emplace_front(Key, std::move(Mask));
    FGlows[Key] = FGlowOrder.begin();
    while (FGlowBytes > MaxGlowBytes && FGlowOrder.size() > 1) {
        auto& last = FGlowOrder.back();
        FGlowBytes -= last.second.Bytes.size();
        FGlows.erase(last.first);
        FGlowOrder.pop_back();
    }
    return &FGlowOrder.front().second;
}

const kvPaint::TGlowTable& TsPaintCache::GlowTable(int C)
{
    for (auto it = FGlowTables.begin(); it != FGlowTables.end(); ++it)
        if (it->first == C) {
            FGlowTables.splice(FGlowTables.begin(), FGlowTables, it);
            return FGlowTables.front().second;
        }
    // 64 KB each: the channels of a few colours.
    if (FGlowTables.size() >= 6)
        FGlowTables.pop_back();
    FGlowTables.emplace_front(C, kvPaint::MakeGlowTable(C));
    return FGlowTables.front().second;
}
