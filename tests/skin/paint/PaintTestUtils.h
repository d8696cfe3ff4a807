// Bitmaps of both row orders and a stand-in skin manager for the painting tests.
#pragma once

#include <windows.h>

#include <cstdint>

#include "classlib/graphics/Graphics.h"
#include "skin/core/sSkinTables.h"
#include "skin/core/sStyleSimply.h"
#include "skin/paint/sAlphaGraph.h"

using TBitmapPtr = TOwned<TBitmap>;

// A DIB of the given size and bits, bottom-up or top-down.
inline TBitmapPtr MakeBmp(int W, int H, int Bits, bool TopDown = false, uint32_t Fill = 0)
{
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = W;
    bi.bmiHeader.biHeight = TopDown ? -H : H;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = WORD(Bits);
    void* bits = nullptr;
    TBitmapPtr b(New<TBitmap>());
    b->SetHandle(::CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
    const TBitmapRows rows = b->Rows();
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x)
            for (int i = 0; i < rows.BytesPerPixel; ++i)
                rows.Pixel(x, y)[i] = uint8_t(Fill >> (8 * i));
    return b;
}

// Bytes of a pixel in memory order (B, G, R[, A]).
inline uint32_t PixelOf(TBitmap* B, int X, int Y)
{
    const TBitmapRows rows = B->Rows();
    uint32_t v = 0;
    for (int i = 0; i < rows.BytesPerPixel; ++i)
        v |= uint32_t(rows.Pixel(X, Y)[i]) << (8 * i);
    return v;
}

inline void SetPixelOf(TBitmap* B, int X, int Y, uint32_t V)
{
    const TBitmapRows rows = B->Rows();
    for (int i = 0; i < rows.BytesPerPixel; ++i)
        rows.Pixel(X, Y)[i] = uint8_t(V >> (8 * i));
}

// What a skin manager offers the painting routines: the image table and
// the master image.
class TTestManager : public TObject, public TsSkinTables {
public:
    TBitmap* Master = nullptr;
    TMasterBitmapOf Previous = MasterBitmapOf;
    TsSkinData Data;
    TTestManager()
    {
        SkinData = &Data;
        MasterBitmapOf = [](TObject* M) -> TBitmap* {
            auto* t = dynamic_cast<TTestManager*>(M);
            return t ? t->Master : nullptr;
        };
    }
    ~TTestManager() override { MasterBitmapOf = Previous; }
};

inline constexpr bool TopDownOrders[] = {false, true};
