// The PNG suite through the decoding core: every valid image with its size,
// format and pixels; every damaged one rejected.
#include <gtest/gtest.h>

#include <filesystem>

#include "tests/native/png/PngTestSupport.h"

namespace {

std::string Suite()
{
    return pngsuite::SuiteDir(KV_FIXTURES);
}

// The bitmap format the reader makes for a colour type and depth; any
// transparency makes it 32-bit.
int ExpectedBits(const pngsuite::Entry& E, bool Alpha)
{
    switch (E.ColorType) {
    case 0: return Alpha ? 32 : E.BitDepth == 1 ? 1 : E.BitDepth <= 4 ? 4 : 8;
    case 2: return Alpha ? 32 : 24;
    case 3: return Alpha ? 32 : E.BitDepth == 1 ? 1 : E.BitDepth == 8 ? 8 : 4;
    default: return 32;
    }
}

} // namespace

TEST(PngSuite, EveryValidImageDecodesToTheReferencePixels)
{
    const std::string dir = Suite();
    ASSERT_FALSE(dir.empty()) << "PNG suite not found";
    const auto entries = pngsuite::Entries(dir);
    ASSERT_EQ(entries.size(), 100u);
    for (const pngsuite::Entry& e : entries) {
        SCOPED_TRACE(e.File);
        pngtest::Decoding d;
        ASSERT_NO_THROW(d.Run(pngsuite::ReadFile(dir + "/" + e.File)));
        const TImageProperties& p = d.Decoder.ImageProperties();
        EXPECT_EQ(p.Width, uint32_t(e.Width));
        EXPECT_EQ(p.Height, uint32_t(e.Height));
        EXPECT_EQ(p.Interlaced, e.Interlace == 1);
        EXPECT_EQ(p.Options.Contains(ioUseGamma), e.Gamma != 0);
        const std::vector<uint8_t> want = pngsuite::Expected(dir, e);
        bool anyAlpha = false;
        for (size_t i = 3; i < want.size(); i += 4)
            anyAlpha |= want[i] != 255;
        EXPECT_EQ(d.Image.Layout.BitsPerPixel, ExpectedBits(e, anyAlpha));
        const std::vector<uint8_t> got = pngsuite::ToRGBA(d.Image.ToDecoded());
        EXPECT_EQ(pngsuite::FirstDifference(got, want, e.Width), "");
    }
}

TEST(PngSuite, EveryDamagedFileIsRejected)
{
    const std::string dir = Suite();
    ASSERT_FALSE(dir.empty());
    int count = 0;
    for (const auto& f : std::filesystem::directory_iterator(dir + "/corrupt")) {
        SCOPED_TRACE(f.path().string());
        pngtest::Decoding d;
        EXPECT_THROW(d.Run(pngsuite::ReadFile(f.path().string())), Exception);
        ++count;
    }
    EXPECT_EQ(count, 14);
}
