// The recolouring pixel loop on raw rows (also built natively under the
// sanitizers): both pixel sizes, both row orders, the pixels it leaves
// alone, and runs of one colour.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "skin/core/sSkinManager_Pixels.h"

namespace {

// Swaps red and blue: easy to tell apart from the input.
int32_t SwapRB(int32_t C)
{
    const uint32_t c = uint32_t(C);
    return int32_t((c & 0xFF) << 16 | (c & 0xFF00) | (c >> 16 & 0xFF));
}

TEST(RecolourRows, ChangesColoursAndLeavesKeyGreysAndAlpha)
{
    for (int bpp : {3, 4}) {
        for (bool bottomUp : {false, true}) {
            SCOPED_TRACE(testing::Message() << bpp << " bytes, bottom-up " << bottomUp);
            // Two rows of three pixels: colour, key colour, grey; then colour twice.
            const uint8_t pixels[2][3][4] = {{{10, 20, 30, 1}, {255, 0, 255, 2}, {50, 50, 50, 3}},
                                             {{10, 20, 30, 4}, {11, 20, 30, 5}, {10, 20, 30, 6}}};
            const int stride = 3 * bpp + 1;   // rows padded, as DIB rows are
            std::vector<uint8_t> mem(size_t(2 * stride), 0xEE);
            for (int y = 0; y < 2; ++y)
                for (int x = 0; x < 3; ++x)
                    for (int i = 0; i < bpp; ++i)
                        mem[size_t((bottomUp ? 1 - y : y) * stride + x * bpp + i)] = pixels[y][x][i];
            TBitmapRows rows;
            rows.First = bottomUp ? mem.data() + stride : mem.data();
            rows.Step = bottomUp ? -stride : stride;
            rows.Width = 3;
            rows.Height = 2;
            rows.BytesPerPixel = bpp;
            int calls = 0;
            RecolourRows(rows, true, [&](int32_t c) { ++calls; return SwapRB(c); });
            auto px = [&](int x, int y) { return rows.Pixel(x, y); };
            EXPECT_EQ((std::vector<int>{px(0, 0)[0], px(0, 0)[1], px(0, 0)[2]}), (std::vector<int>{30, 20, 10}));
            EXPECT_EQ(px(1, 0)[0], 255);   // key colour
            EXPECT_EQ(px(2, 0)[0], 50);    // grey
            EXPECT_EQ(px(1, 1)[0], 30);
            EXPECT_EQ(px(1, 1)[2], 11);
            EXPECT_EQ(px(2, 1)[0], 30);
            if (bpp == 4) {
                EXPECT_EQ(px(0, 0)[3], 1);
                EXPECT_EQ(px(2, 1)[3], 6);
            }
            EXPECT_EQ(calls, 3);           // the repeat of a colour reuses the answer
            EXPECT_EQ(mem[size_t(3 * bpp)], 0xEE);   // the padding stays
        }
    }
}

TEST(RecolourRows, GreysChangeWhenAskedAndOtherFormatsAreLeftAlone)
{
    uint8_t grey[3] = {40, 40, 40};
    TBitmapRows rows{grey, 3, 1, 1, 3};
    RecolourRows(rows, false, [](int32_t) { return int32_t(0x010203); });
    EXPECT_EQ(grey[0], 1);   // blue
    EXPECT_EQ(grey[2], 3);   // red, the lowest byte of the colour
    uint8_t palette[2] = {7, 8};
    TBitmapRows eight{palette, 2, 2, 1, 1};
    RecolourRows(eight, false, [](int32_t) { return int32_t(0); });
    EXPECT_EQ(palette[0], 7);
}

} // namespace
