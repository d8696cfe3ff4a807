// The built-in skin turned, in memory, into one that draws its whole frame
// and title in its extended-border picture (ExDrawMode 1): an "EXBORDER"
// image of "GLOBALINFO" whose two state frames are flat colours inside a
// translucent shadow ring, and the skin's extended values to match.  The
// colours are premultiplied, as the layered window takes them.
#pragma once

#include <cstdint>

#include "skin/core/sSkinManager.h"
#include "skin/core/sSkinProps.h"

namespace exmode {

struct TPixel {
    uint8_t B, G, R, A;
    bool operator==(const TPixel&) const = default;
};

inline constexpr int Shadow = 6, Border = 8, Title = 28, CenterOffs = 2;
// One state's picture is Side x Side: the shadow ring, then the title rows
// (Title of them) and the frame.
inline constexpr int Side = 60;
inline constexpr TPixel ShadowPx{0, 0, 0, 0x40};
inline constexpr TPixel ActiveTitle{0x30, 0x60, 0x90, 0xC0}, InactiveTitle{0x50, 0x50, 0x50, 0xC0};
inline constexpr TPixel FramePx{0x20, 0x80, 0x20, 0xFF};

inline TPixel PixelOf(TBitmap* Bmp, int X, int Y)
{
    const uint8_t* p = Bmp->Rows().Pixel(X, Y);
    return {p[0], p[1], p[2], p[3]};
}

// Adds the picture to the manager's skin and lets the manager make its
// shadow templates from it (the shadow is then Shadow wide on every side).
inline void UseExModePicture(TsSkinManager* M)
{
    auto* bmp = new TBitmap(2 * Side, Side, pf32bit);
    const TBitmapRows rows = bmp->Rows();
    for (int y = 0; y < Side; ++y)
        for (int x = 0; x < 2 * Side; ++x) {
            const int fx = x % Side;
            const bool ring = fx < Shadow || fx >= Side - Shadow || y < Shadow || y >= Side - Shadow;
            // Frame 0 is the inactive state, frame 1 the active one.
            const TPixel title = x < Side ? InactiveTitle : ActiveTitle;
            const TPixel p = ring ? ShadowPx : y < Shadow + Title ? title : FramePx;
            uint8_t* d = rows.Pixel(x, y);
            d[0] = p.B, d[1] = p.G, d[2] = p.R, d[3] = p.A;
        }
    TsMaskData m;
    m.ClassName = s_GlobalInfo;
    m.PropertyName = s_ExBorder;
    m.R = TRect(0, 0, 2 * Side, Side);
    m.ImageCount = 2;
    m.MaskType = 0;
    m.ImgType = itisaBorder;
    m.WL = m.WR = m.WB = Shadow + Border;
    m.WT = Shadow + Title;
    m.Manager = M;
    m.Bmp = bmp;  // the manager frees its images' bitmaps
    M->ma.push_back(m);
    TsSkinData* sd = M->SkinData;
    sd->ExDrawMode = 1;
    sd->ExContentOffs = Shadow;
    sd->ExBorderWidth = Border;
    sd->ExTitleHeight = sd->ExMaxHeight = Title;
    sd->ExCenterOffs = CenterOffs;
    M->InitConstantIndexes();
}

} // namespace exmode
