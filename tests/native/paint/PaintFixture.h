// Small in-memory bitmaps for the pixel-kernel tests: either row order, with
// guard bytes before, after and at the end of every row, so that a write
// outside the picture shows.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <vector>

#include "classlib/graphics/BitmapRows.h"

class TestBitmap {
    static constexpr uint8_t Guard = 0xA5;
    static constexpr int Pad = 8;   // guard bytes at the end of each row
    static constexpr int Edge = 64; // guard bytes before and after the rows
    std::vector<uint8_t> FMem;
    int FStride;

public:
    TBitmapRows Rows;

    TestBitmap(int W, int H, int Bpp, bool BottomUp = false, uint8_t Fill = 0)
        : FMem(std::size_t(Edge * 2 + (W * Bpp + Pad) * H), Guard), FStride(W * Bpp + Pad)
    {
        uint8_t* base = FMem.data() + Edge;
        Rows.Width = W;
        Rows.Height = H;
        Rows.BytesPerPixel = Bpp;
        Rows.Step = BottomUp ? -FStride : FStride;
        Rows.First = BottomUp ? base + std::ptrdiff_t(H - 1) * FStride : base;
        for (int y = 0; y < H; ++y)
            for (int i = 0; i < W * Bpp; ++i)
                Rows.Row(y)[i] = Fill;
    }
    TestBitmap(const TestBitmap&) = delete;

    // Bytes of pixel (x, y) in memory order (B, G, R[, A]).
    uint32_t Get(int x, int y) const
    {
        const uint8_t* p = Rows.Pixel(x, y);
        uint32_t v = 0;
        for (int i = 0; i < Rows.BytesPerPixel; ++i)
            v |= uint32_t(p[i]) << (8 * i);
        return v;
    }
    void Set(int x, int y, uint32_t v)
    {
        uint8_t* p = Rows.Pixel(x, y);
        for (int i = 0; i < Rows.BytesPerPixel; ++i)
            p[i] = uint8_t(v >> (8 * i));
    }
    void FillAll(uint32_t v)
    {
        for (int y = 0; y < Rows.Height; ++y)
            for (int x = 0; x < Rows.Width; ++x)
                Set(x, y, v);
    }
    // Every guard byte still holds its value.
    bool GuardsIntact() const
    {
        const int rowBytes = Rows.Width * Rows.BytesPerPixel;
        for (int i = 0; i < Edge; ++i)
            if (FMem[std::size_t(i)] != Guard || FMem[FMem.size() - 1 - std::size_t(i)] != Guard)
                return false;
        for (int y = 0; y < Rows.Height; ++y)
            for (int i = rowBytes; i < FStride; ++i)
                if (FMem[std::size_t(Edge + y * FStride + i)] != Guard)
                    return false;
        return true;
    }
};

inline constexpr bool RowOrders[] = {false, true};
