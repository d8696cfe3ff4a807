// The two-pass resampler and its seven filters.
#include <gtest/gtest.h>

#include <cmath>

#include "PaintFixture.h"
#include "skin/paint/sGraphUtils_Stretch.h"

using namespace kvPaint;

namespace {

// One row of grey values as a 24-bit bitmap of two identical rows.
void SetRow(TestBitmap& B, std::initializer_list<int> Values)
{
    int x = 0;
    for (int v : Values) {
        for (int y = 0; y < B.Rows.Height; ++y)
            B.Set(x, y, uint32_t(v) * 0x010101u);
        ++x;
    }
}

int At(const TestBitmap& B, int X) { return int(B.Get(X, 0) & 0xFF); }

} // namespace

TEST(Stretch, SourceUnderTwoByTwoIsRefused)
{
    TestBitmap thin(1, 10, 3), dst(4, 4, 3);
    try {
        StretchRows(thin.Rows, dst.Rows, ftMitchell);
        FAIL();
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), L"Source bitmap is too small");
    }
}

TEST(Stretch, KnownRows)
{
    for (bool bottomUp : RowOrders) {
        // Box enlarging: the nearest pixel, a tie to the lower index.
        TestBitmap two(2, 2, 3, bottomUp), four(4, 2, 3, !bottomUp);
        SetRow(two, {10, 200});
        StretchRows(two.Rows, four.Rows, ftBox);
        EXPECT_EQ(At(four, 0), 10);
        EXPECT_EQ(At(four, 1), 10);
        EXPECT_EQ(At(four, 2), 200);
        EXPECT_EQ(At(four, 3), 200);

        // Triangle shrinking 4 -> 2 reaches two source pixels each side.
        TestBitmap src4(4, 2, 3, bottomUp), half(2, 2, 3, bottomUp);
        SetRow(src4, {0, 40, 80, 120});
        StretchRows(src4.Rows, half.Rows, ftTriangle);
        EXPECT_EQ(At(half, 0), 20);   // 1/4 * p1 (mirrored -1) + 1/2 * p0 + 1/4 * p1
        EXPECT_EQ(At(half, 1), 80);   // (p1 + 2 p2 + p3) / 4

        // Bell at the left edge reads index -1 as pixel 1.
        TestBitmap src3(3, 2, 3, bottomUp), six(6, 2, 3, bottomUp);
        SetRow(src3, {0, 80, 40});
        StretchRows(src3.Rows, six.Rows, ftBell);
        EXPECT_EQ(At(six, 0), 20);
        EXPECT_EQ(At(six, 4), 45);    // 1/8 p1 + 3/4 p2 + 1/8 p2 (index 3 mirrored)
        EXPECT_TRUE(six.GuardsIntact());

        // Doubling (0, 200): pixel 1 sits halfway; the weights in 16.16 of
        // source pixel 1 (its mirror images included) decide.
        struct Case { TFilterType f; int want; };
        const Case halfway[] = {
            {ftHermite, 100},   // 0.5 + 0.5
            {ftSpline, 104},    // 1365 + 31403 + 1365
            {ftMitchell, 93},   // -2276 + 35044 - 2276
            {ftLanczos3, 72},   // 1594 - 8854 + 39841 - 8854
        };
        for (const Case& c : halfway) {
            TestBitmap a(2, 2, 3, bottomUp), b(4, 2, 3, !bottomUp);
            SetRow(a, {0, 200});
            StretchRows(a.Rows, b.Rows, c.f);
            EXPECT_EQ(At(b, 1), c.want) << c.f;
        }
    }
}

// The weights are not normalised: enlarging keeps a flat image flat within
// the filters' own ripple; Mitchell, which the image list uses, also when
// shrinking.  Shrinking to one pixel with the widest filter mirrors its
// indexes back into the source.
TEST(Stretch, FlatImagesStayFlat)
{
    struct Case { TFilterType f; int w, h, tolerance; };
    const Case cases[] = {
        {ftBox, 13, 9, 0}, {ftTriangle, 13, 9, 1}, {ftHermite, 40, 11, 1}, {ftBell, 13, 9, 1},
        {ftSpline, 40, 11, 1}, {ftLanczos3, 13, 9, 6}, {ftMitchell, 13, 9, 2}, {ftMitchell, 3, 2, 4},
        {ftMitchell, 4, 4, 4}, {ftLanczos3, 1, 1, 40}, {ftMitchell, 1, 1, 40}};
    for (const Case& c : cases)
        for (bool bottomUp : RowOrders) {
            TestBitmap src(6, 5, 4, bottomUp), dst(c.w, c.h, 4, !bottomUp);
            src.FillAll(0x80C8C8C8);
            StretchRows(src.Rows, dst.Rows, c.f);
            EXPECT_TRUE(dst.GuardsIntact());
            for (int y = 0; y < c.h; ++y)
                for (int x = 0; x < c.w; ++x) {
                    const uint32_t p = dst.Get(x, y);
                    ASSERT_NEAR(int(p & 0xFF), 200, c.tolerance) << c.f << " " << c.w << "x" << c.h;
                    ASSERT_NEAR(int(p >> 24), 128, c.tolerance) << c.f;  // alpha goes through both passes
                }
        }
}

TEST(Stretch, FilterFormulas)
{
    const double pi = 3.14159265358979323846;
    for (double h : {0.25, 0.5, 1.0, 1.5, 2.5, 2.9}) {
        const double lanczos3 = 3 * std::sin(pi * h) * std::sin(pi * h / 3) / (pi * pi * h * h);
        EXPECT_NEAR(FilterWeight(ftLanczos3, h, h), lanczos3, 1e-12) << h;
    }
    EXPECT_EQ(FilterWeight(ftLanczos3, 0, 0), 1);
    EXPECT_NEAR(FilterWeight(ftMitchell, 0, 0), 8.0 / 9, 1e-12);
    EXPECT_NEAR(FilterWeight(ftMitchell, 1, 1), 1.0 / 18, 1e-12);
    EXPECT_NEAR(FilterWeight(ftMitchell, 1.999999, 1.999999), 0, 1e-5);
    EXPECT_NEAR(FilterWeight(ftSpline, 0, 0), 2.0 / 3, 1e-12);
    EXPECT_NEAR(FilterWeight(ftBell, 0.5, 0.5), 0.5, 1e-12);
    EXPECT_EQ(FilterWeight(ftBox, 0.5, -0.5), 0);
    EXPECT_EQ(FilterWeight(ftBox, 0.5, 0.5), 1);
}
