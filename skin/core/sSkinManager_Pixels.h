// The pixel loop of skin recolouring, free of Windows headers.
#pragma once

#include <cstdint>

#include "classlib/graphics/BitmapRows.h"

// Recolours every pixel of a 24- or 32-bit row view through Change, which
// takes and answers a colour with R in the lowest byte.  Key-colour pixels
// (0xFF00FF) are left alone, and so are greys (R = G = B) with SkipGreys;
// the alpha byte of a 32-bit pixel is never touched.  Other formats are
// left as they are.
template <class F>
void RecolourRows(const TBitmapRows& Rows, bool SkipGreys, F Change)
{
    if (Rows.Empty() || (Rows.BytesPerPixel != 3 && Rows.BytesPerPixel != 4))
        return;
    // Skin images are mostly runs of one colour: the last answer is reused.
    uint32_t lastIn = 0xFFFFFFFFu;
    uint32_t lastOut = 0;
    for (int y = 0; y < Rows.Height; ++y) {
        uint8_t* p = Rows.Row(y);
        for (int x = 0; x < Rows.Width; ++x, p += Rows.BytesPerPixel) {
            const uint8_t b = p[0], g = p[1], r = p[2];
            if (r == 255 && g == 0 && b == 255)
                continue;
            if (SkipGreys && r == g && g == b)
                continue;
            const uint32_t c = uint32_t(r) | uint32_t(g) << 8 | uint32_t(b) << 16;
            if (c != lastIn) {
                lastIn = c;
                lastOut = uint32_t(Change(int32_t(c)));
            }
            p[0] = uint8_t(lastOut >> 16);
            p[1] = uint8_t(lastOut >> 8);
            p[2] = uint8_t(lastOut);
        }
    }
}
