// Vertical and horizontal multi-piece gradients.
#include <gtest/gtest.h>

#include <climits>

#include "PaintFixture.h"
#include "skin/paint/sGradient_Fill.h"

using namespace kvPaint;

namespace {

int GreyAt(const TestBitmap& B, int X, int Y) { return int(B.Get(X, Y) & 0xFF); }

TkvGradPiece Piece(int From, int To, int Percent, int Mode)
{
    return {TColor(From * 0x010101), TColor(To * 0x010101), Percent, Mode, 0};
}

} // namespace

TEST(Gradient, VerticalPiecesShareTheirBorderRow)
{
    for (bool bottomUp : RowOrders) {
        TestBitmap b(3, 10, 3, bottomUp);
        PaintGradRows(b.Rows, {0, 0, 3, 10}, {Piece(0, 100, 50, 0), Piece(200, 240, 50, 0)}, 0);
        EXPECT_EQ(GreyAt(b, 0, 0), 0);
        EXPECT_EQ(GreyAt(b, 2, 1), 20);
        EXPECT_EQ(GreyAt(b, 1, 4), 80);
        EXPECT_EQ(GreyAt(b, 1, 5), 200);  // piece 1 repaints row 5 with its start colour
        EXPECT_EQ(GreyAt(b, 1, 9), 240);
        EXPECT_TRUE(b.GuardsIntact());
    }
}

TEST(Gradient, LastPieceReachesTheEdgeAndEmptyPiecesPaintNothing)
{
    TestBitmap v(1, 5, 4, true), h(5, 2, 3);
    PaintGradRows(v.Rows, {0, 0, 1, 5}, {Piece(0, 40, 30, 0)}, 0);
    EXPECT_EQ(GreyAt(v, 0, 4), 40);
    EXPECT_EQ(v.Get(0, 2) >> 24, 255u);  // 32-bit pixels are opaque

    // Horizontal: a 0 % piece in the middle; the next starts where it stood.
    PaintGradRows(h.Rows, {0, 0, 5, 2}, {Piece(0, 100, 40, 1), Piece(7, 7, 0, 1), Piece(100, 60, 60, 1)}, 0);
    EXPECT_EQ(GreyAt(h, 0, 1), 0);
    EXPECT_EQ(GreyAt(h, 1, 1), 50);
    EXPECT_EQ(GreyAt(h, 2, 0), 100);
    EXPECT_EQ(GreyAt(h, 4, 1), 60);
    for (int x = 0; x < 5; ++x)
        EXPECT_NE(GreyAt(h, x, 0), 7);
}

TEST(Gradient, OtherDirectionsAndWildRectangles)
{
    TestBitmap b(4, 4, 3, true, 9);
    PaintGradRows(b.Rows, {0, 0, 4, 4}, {Piece(0, 100, 100, 2)}, 0);
    PaintGradRows(b.Rows, {0, 0, 4, 4}, {Piece(0, 100, 100, 5)}, 0);
    PaintGradRows(b.Rows, {0, 0, 4, 4}, {}, 0);
    EXPECT_EQ(GreyAt(b, 2, 2), 9);
    PaintGradRows(b.Rows, {-5, -7, 40, 30}, {Piece(0, 100, 50, 0), Piece(0, 100, 50, 1)}, 0);
    PaintGradRows(b.Rows, {-5, -7, 40, 30}, {Piece(0, 100, 50, 1), Piece(0, 100, 50, 1)}, 0);
    PaintGradRows(b.Rows, {1, 1, 3, 3}, {Piece(0, 100, 50, 0)}, 90);
    PaintGradRows(b.Rows, {1, 1, 3, 3}, {Piece(0, 100, 50, 0)}, -90);
    EXPECT_TRUE(b.GuardsIntact());
}

// Pieces outside 0..100 percent act as the nearer limit, as the skin loader
// reads them: a negative share moved the next piece before the left edge.
TEST(Gradient, PercentsOutsideTheirRangeActAsTheirLimit)
{
    for (int mode : {0, 1}) {
        TestBitmap a(9, 9, 3), b(9, 9, 3);
        PaintGradRows(a.Rows, {0, 0, 9, 9}, {Piece(0, 100, -40, mode), Piece(20, 200, 30, mode),
                                             Piece(50, 90, INT_MIN, mode), Piece(0, 250, 250, mode)}, 0);
        PaintGradRows(b.Rows, {0, 0, 9, 9}, {Piece(0, 100, 0, mode), Piece(20, 200, 30, mode),
                                             Piece(50, 90, 0, mode), Piece(0, 250, 100, mode)}, 0);
        for (int y = 0; y < 9; ++y)
            for (int x = 0; x < 9; ++x)
                ASSERT_EQ(a.Get(x, y), b.Get(x, y)) << mode << ": " << x << "," << y;
        EXPECT_TRUE(a.GuardsIntact());
    }
}

// A vertical offset at the integer limits paints at once (it walked every
// row between the offset and the area) and overflows nothing.
TEST(Gradient, HugeVerticalOffsets)
{
    for (int offset : {INT_MIN, INT_MAX, -2000000000, 2000000000}) {
        TestBitmap b(3, 6, 4, true, 9);
        PaintGradRows(b.Rows, {0, 0, 3, 6}, {Piece(0, 100, 0, 0), Piece(0, 200, 100, 0)}, offset);
        EXPECT_TRUE(b.GuardsIntact()) << offset;
    }
}
