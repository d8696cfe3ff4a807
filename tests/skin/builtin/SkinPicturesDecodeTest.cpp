// The library's pictures decode through our PNG reader to 32-bit images of
// the sizes the library reads.  Compiled once the PNG reader is there.
#if __has_include("skin/paint/kvPNG.h")

#include <gtest/gtest.h>

#include <windows.h>

#include <memory>

#include "classlib/rtl/Streams.h"
#include "skin/paint/kvPNG.h"

namespace {

struct Decoded {
    const wchar_t* Name;
    int Width, Height;
};

std::unique_ptr<TPNGGraphic> Decode(const wchar_t* name)
{
    TResourceStream s(GetModuleHandleW(nullptr), name, rtRCData);
    std::unique_ptr<TPNGGraphic> png(New<TPNGGraphic>());
    png->LoadFromStream(&s);
    return png;
}

int Alpha(TPNGGraphic& png, int x, int y)
{
    return png.Rows().Pixel(x, y)[3];
}

} // namespace

TEST(SkinPicturesDecode, GiveThirtyTwoBitImagesOfTheirSizes)
{
    const Decoded pictures[] = {{L"KVSHDA", 64, 64}, {L"KVSHDI", 64, 64}, {L"SF", 48, 16}, {L"SR", 48, 16},
                                {L"SD", 48, 16},     {L"SE", 48, 16},     {L"SC", 48, 16}, {L"KVGL", 60, 20}};
    for (const Decoded& d : pictures) {
        SCOPED_TRACE(d.Name);
        std::unique_ptr<TPNGGraphic> png = Decode(d.Name);
        EXPECT_EQ(png->Width(), d.Width);
        EXPECT_EQ(png->Height(), d.Height);
        EXPECT_EQ(png->PixelFormat(), pf32bit);
    }
}

// Alpha survives decoding: shadows at their peaks inside the window's
// rectangle, nothing in the light band's outer fifths and most at its middle.
TEST(SkinPicturesDecode, KeepTheirAlpha)
{
    std::unique_ptr<TPNGGraphic> active = Decode(L"KVSHDA");
    std::unique_ptr<TPNGGraphic> inactive = Decode(L"KVSHDI");
    EXPECT_EQ(Alpha(*active, 32, 32), 96);
    EXPECT_EQ(Alpha(*inactive, 32, 32), 48);
    EXPECT_EQ(Alpha(*active, 0, 0), 0);
    std::unique_ptr<TPNGGraphic> band = Decode(L"KVGL");
    EXPECT_EQ(Alpha(*band, 5, 0), 0);
    EXPECT_EQ(Alpha(*band, 55, 10), 0);
    EXPECT_GT(Alpha(*band, 30, 0), Alpha(*band, 30, 10));
    EXPECT_NEAR(Alpha(*band, 30, 0), 140, 2);
    EXPECT_NEAR(Alpha(*band, 30, 10), 90, 2);
}

#endif
