// Geometry of nine-piece borders: corner shrinking for small rectangles,
// where each piece goes, what it copies, tiling and stretching.
#include <gtest/gtest.h>

#include <climits>

#include <vector>

#include "skin/paint/sAlphaGraph_Pieces.h"

using namespace kvPaint;

namespace {

struct TCopy {
    TPiece Piece;
    TkvRect Dst, Src;
    bool Stretch;
};

class TRecorder : public TPieceSink {
public:
    std::vector<TCopy> Copies;
    void Copy(TPiece Piece, const TkvRect& Dst, const TkvRect& Src, bool Stretch) override
    {
        Copies.push_back({Piece, Dst, Src, Stretch});
    }
    // How many copies cover each pixel of a W x H area.
    std::vector<int> Coverage(int W, int H) const
    {
        std::vector<int> c(std::size_t(W * H), 0);
        for (const TCopy& k : Copies)
            for (int y = k.Dst.Top; y < k.Dst.Bottom; ++y)
                for (int x = k.Dst.Left; x < k.Dst.Right; ++x)
                    if (x >= 0 && y >= 0 && x < W && y < H)
                        ++c[std::size_t(y * W + x)];
                    else
                        ADD_FAILURE() << "copy outside the area at " << x << "," << y;
        return c;
    }
    std::vector<TCopy> Of(TPiece P) const
    {
        std::vector<TCopy> r;
        for (const TCopy& k : Copies)
            if (k.Piece == P)
                r.push_back(k);
        return r;
    }
};

// A 3-frame image 30 x 20 at (10, 5) in its bitmap, borders 4/3/2/5.
TNineImage Image(int WL = 4, int WT = 3, int WR = 2, int WB = 5)
{
    TNineImage i;
    i.R = {10, 5, 40, 25};
    i.ImageCount = 3;
    i.PictureHeight = 20;
    i.WL = WL;
    i.WT = WT;
    i.WR = WR;
    i.WB = WB;
    return i;
}

// The rule as first written: half the excess from both, the odd size's
// extra pixel from the far corner.
void ShrinkAsWritten(int Length, int& Near, int& Far)
{
    if (Length >= Near + Far)
        return;
    const int d = (Near + Far - Length) / 2;
    Near -= d;
    Far -= d;
    if (Length % 2 == 1)
        --Far;
    Near = std::max(Near, 0);
    Far = std::max(Far, 0);
}

} // namespace

TEST(Pieces, ShrinkCornersMeetExactly)
{
    struct Case {
        int Length, Near, Far, WantNear, WantFar;
    } cases[] = {
        {3, 4, 4, 2, 1},   // odd size: the far corner gives the extra pixel
        {4, 4, 4, 2, 2},
        {10, 4, 4, 4, 4},  // fits: unchanged
        {4, 5, 2, 4, 0},   // asymmetric: the old rule left 5 columns on 4
        {5, 6, 2, 5, 0},
        {4, 10, 0, 4, 0},  // the far corner cannot give: the near one gives all
        {3, 0, 9, 0, 3},
        {0, 3, 3, 0, 0},
        {7, -2, 9, 0, 7},  // a negative width counts as none
        {5, INT_MAX, INT_MAX, 3, 2},  // corners at the int limit: their sum overflowed
        {INT_MAX, INT_MAX, 1, INT_MAX, 0},
    };
    for (const Case& c : cases) {
        int n = c.Near, f = c.Far;
        ShrinkCorners(c.Length, n, f);
        EXPECT_EQ(n, c.WantNear) << c.Length << " " << c.Near << " " << c.Far;
        EXPECT_EQ(f, c.WantFar) << c.Length << " " << c.Near << " " << c.Far;
    }
    // Equal corners shrink exactly as the rule was first written; any pair
    // that does not fit ends up filling the length exactly.
    for (int len = 0; len < 30; ++len)
        for (int a = 0; a < 16; ++a)
            for (int b = 0; b < 16; ++b) {
                int n = a, f = b;
                ShrinkCorners(len, n, f);
                ASSERT_GE(n, 0);
                ASSERT_GE(f, 0);
                ASSERT_EQ(n + f, std::min(len, a + b)) << len << " " << a << " " << b;
                if (a == b) {
                    int n2 = a, f2 = b;
                    ShrinkAsWritten(len, n2, f2);
                    ASSERT_EQ(n, n2);
                    ASSERT_EQ(f, f2);
                }
            }
}

TEST(Pieces, EveryPixelCoveredOnceWithTheCentre)
{
    // Small, odd, exact and large sizes, symmetric and asymmetric borders.
    const int sizes[][2] = {{2, 2}, {3, 40}, {5, 4}, {6, 8}, {24, 20}, {31, 47}, {100, 25}};
    const int borders[][4] = {{4, 3, 2, 5}, {4, 4, 4, 4}, {7, 1, 0, 6}, {0, 0, 0, 0}};
    for (auto& b : borders)
        for (auto& s : sizes) {
            TRecorder rec;
            PlanNinePieces({0, 0, s[0], s[1]}, Image(b[0], b[1], b[2], b[3]), {0, false, false, true}, rec);
            const std::vector<int> c = rec.Coverage(s[0], s[1]);
            for (std::size_t i = 0; i < c.size(); ++i)
                ASSERT_EQ(c[i], 1) << "size " << s[0] << "x" << s[1] << " border " << b[0] << b[1] << b[2] << b[3]
                                   << " pixel " << i % std::size_t(s[0]) << "," << i / std::size_t(s[0]);
        }
}

TEST(Pieces, SourcePiecesOfAFrame)
{
    TRecorder rec;
    // Frame 2: columns 10 + 2 * 10 = 30 .. 39 of the source.
    PlanNinePieces({0, 0, 50, 60}, Image(), {2, false, false, true}, rec);
    const TkvRect tl = rec.Of(TPiece::TopLeft).at(0).Src, br = rec.Of(TPiece::BottomRight).at(0).Src;
    EXPECT_EQ(tl.Left, 30);
    EXPECT_EQ(tl.Top, 5);
    EXPECT_EQ(tl.Width(), 4);
    EXPECT_EQ(tl.Height(), 3);
    EXPECT_EQ(br.Left, 38);       // 30 + 4 + middle 4
    EXPECT_EQ(br.Top, 5 + 20 - 5);
    EXPECT_EQ(br.Width(), 2);
    EXPECT_EQ(br.Height(), 5);
    EXPECT_EQ(rec.Of(TPiece::TopRight).at(0).Dst.Left, 48);
    EXPECT_EQ(rec.Of(TPiece::BottomLeft).at(0).Dst.Top, 55);
    // Every copy reads inside the frame.
    for (const TCopy& k : rec.Copies) {
        EXPECT_GE(k.Src.Left, 30);
        EXPECT_LE(k.Src.Right, 40);
        EXPECT_GE(k.Src.Top, 5);
        EXPECT_LE(k.Src.Bottom, 25);
    }
    // Order: corners and sides around, the centre last.
    const TPiece order[] = {TPiece::TopLeft, TPiece::Left, TPiece::Top, TPiece::BottomLeft, TPiece::Bottom,
                            TPiece::BottomRight, TPiece::TopRight, TPiece::Right, TPiece::Center};
    std::size_t at = 0;
    for (const TCopy& k : rec.Copies) {
        while (at < 9 && order[at] != k.Piece)
            ++at;
        ASSERT_LT(at, 9u) << "piece out of order";
    }
}

TEST(Pieces, TilesWholePiecesThenACutOne)
{
    TRecorder rec;
    // Top side from x = 4 to 50 - 2 = 48 in pieces of the middle width 4:
    // 11 whole ones up to 48 (the last one by the cut branch).
    PlanNinePieces({0, 0, 50, 60}, Image(), {0, false, false, false}, rec);
    const std::vector<TCopy> top = rec.Of(TPiece::Top);
    ASSERT_EQ(top.size(), 11u);
    EXPECT_EQ(top.front().Dst.Left, 4);
    EXPECT_EQ(top.back().Dst.Right, 48);
    // Left side: rows 3 .. 55 in pieces of the middle height 12, the last cut
    // to 55 - 51 = 4 rows taken from the start of the piece.
    const std::vector<TCopy> left = rec.Of(TPiece::Left);
    ASSERT_EQ(left.size(), 5u);
    EXPECT_EQ(left.back().Dst.Top, 51);
    EXPECT_EQ(left.back().Dst.Height(), 4);
    EXPECT_EQ(left.back().Src.Top, 5 + 3);
    EXPECT_EQ(left.back().Src.Height(), 4);
    EXPECT_TRUE(rec.Of(TPiece::Center).empty());
}

TEST(Pieces, NoSidePiecesWithoutAMiddle)
{
    TRecorder rec;
    // WT + WB = picture height: no middle rows, so no left or right pieces.
    PlanNinePieces({0, 0, 20, 200}, Image(4, 8, 2, 12), {0, false, false, true}, rec);
    EXPECT_TRUE(rec.Of(TPiece::Left).empty());
    EXPECT_TRUE(rec.Of(TPiece::Right).empty());
    EXPECT_TRUE(rec.Of(TPiece::Center).empty());
    EXPECT_FALSE(rec.Of(TPiece::Top).empty());
    EXPECT_FALSE(rec.Of(TPiece::Bottom).empty());
    EXPECT_EQ(rec.Of(TPiece::BottomLeft).at(0).Dst.Top, 188);
}

TEST(Pieces, StretchedSidesAreOneCopyEach)
{
    TRecorder rec;
    PlanNinePieces({0, 0, 50, 60}, Image(), {0, true, true, true}, rec);
    for (TPiece p : {TPiece::Left, TPiece::Top, TPiece::Bottom, TPiece::Right, TPiece::Center}) {
        const std::vector<TCopy> c = rec.Of(p);
        ASSERT_EQ(c.size(), 1u);
        EXPECT_TRUE(c[0].Stretch);
    }
    const TCopy top = rec.Of(TPiece::Top)[0];
    EXPECT_EQ(top.Dst.Left, 4);
    EXPECT_EQ(top.Dst.Right, 48);
    EXPECT_EQ(top.Src.Width(), 4);
    EXPECT_EQ(top.Src.Height(), 3);
}

TEST(Pieces, NothingForTinyRectanglesOrImagesWithoutFrames)
{
    TRecorder rec;
    PlanNinePieces({0, 0, 1, 40}, Image(), {0, false, false, true}, rec);
    PlanNinePieces({0, 0, 40, 1}, Image(), {0, false, false, true}, rec);
    TNineImage none = Image();
    none.ImageCount = 0;
    PlanNinePieces({0, 0, 40, 40}, none, {0, false, false, true}, rec);
    EXPECT_TRUE(rec.Copies.empty());
}
