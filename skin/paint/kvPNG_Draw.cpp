#include "skin/paint/kvPNG_Draw.h"

#include <cstdint>

#include "classlib/graphics/Graphics.h"

void UpdateTransPixels(TBitmap* Bmp)
{
    if (!Bmp || Bmp->Empty() || Bmp->PixelFormat() != pf32bit)
        return;
    const TBitmapRows rows = Bmp->Rows();
    for (int y = 0; y < rows.Height; ++y) {
        uint8_t* p = rows.Row(y);
        for (int x = 0; x < rows.Width; ++x, p += 4)
            if (p[0] == 255 && p[1] == 255 && p[2] == 255 && p[3] == 0)
                p[0] = p[1] = p[2] = 0;
    }
}
