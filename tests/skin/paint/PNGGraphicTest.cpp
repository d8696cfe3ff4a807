// TPNGGraphic on real DIB sections: the PNG suite through the picture
// class, its bitmap formats and palettes, failures that leave no half
// image, and the "png" picture format.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "skin/paint/kvPNG.h"
#include "tests/native/png/PngTestSupport.h"

namespace {

std::string Suite()
{
    return pngsuite::SuiteDir(KV_FIXTURES);
}

void LoadBytes(TGraphic* G, const std::vector<uint8_t>& Data)
{
    TMemoryStream s;
    if (!Data.empty())
        s.WriteBuffer(Data.data(), int32_t(Data.size()));
    s.SetPosition(0);
    G->LoadFromStream(&s);
}

// The picture's pixels in the suite's terms, read through the bitmap's row
// view and colour table.
pngsuite::Decoded Pixels(TPNGGraphic& P)
{
    pngsuite::Decoded d;
    d.Width = P.Width();
    d.Height = P.Height();
    d.Bits = BitsPerPixel(P.PixelFormat());
    for (const RGBQUAD& q : P.ColorTable())
        d.Palette.push_back(uint32_t(q.rgbRed) << 16 | uint32_t(q.rgbGreen) << 8 | q.rgbBlue);
    const TBitmapRows rows = P.Rows();
    const size_t bytes = (size_t(d.Width) * d.Bits + 7) / 8;
    for (int y = 0; y < d.Height; ++y)
        d.Rows.emplace_back(rows.Row(y), rows.Row(y) + bytes);
    return d;
}

TPixelFormat FormatFor(const pngsuite::Entry& E, bool Alpha)
{
    if (Alpha || E.ColorType == 4 || E.ColorType == 6)
        return pf32bit;
    if (E.ColorType == 2)
        return pf24bit;
    return E.BitDepth == 1 ? pf1bit : E.BitDepth <= 4 ? pf4bit : pf8bit;
}

} // namespace

TEST(PNGGraphic, SuiteImagesLoadWithTheirSizeFormatAndPixels)
{
    const std::string dir = Suite();
    ASSERT_FALSE(dir.empty()) << "PNG suite not found";
    for (const pngsuite::Entry& e : pngsuite::Entries(dir)) {
        SCOPED_TRACE(e.File);
        TOwned<TPNGGraphic> png(New<TPNGGraphic>());
        ASSERT_NO_THROW(LoadBytes(png.get(), pngsuite::ReadFile(dir + "/" + e.File)));
        EXPECT_EQ(png->Width(), e.Width);
        EXPECT_EQ(png->Height(), e.Height);
        const std::vector<uint8_t> want = pngsuite::Expected(dir, e);
        bool alpha = false;
        for (size_t i = 3; i < want.size(); i += 4)
            alpha |= want[i] != 255;
        EXPECT_EQ(png->PixelFormat(), FormatFor(e, alpha));
        EXPECT_EQ(pngsuite::FirstDifference(pngsuite::ToRGBA(Pixels(*png)), want, e.Width), "");
    }
}

TEST(PNGGraphic, DamagedFilesRaiseAndLeaveThePictureEmpty)
{
    const std::string dir = Suite();
    ASSERT_FALSE(dir.empty());
    const std::vector<uint8_t> good = pngsuite::ReadFile(dir + "/primary/basn2c08.png");
    for (const auto& f : std::filesystem::directory_iterator(dir + "/corrupt")) {
        SCOPED_TRACE(f.path().string());
        TOwned<TPNGGraphic> png(New<TPNGGraphic>());
        LoadBytes(png.get(), good);
        ASSERT_FALSE(png->Empty());
        EXPECT_THROW(LoadBytes(png.get(), pngsuite::ReadFile(f.path().string())), Exception);
        EXPECT_TRUE(png->Empty());
    }
}

TEST(PNGGraphic, MessagesNameTheFormat)
{
    TOwned<TPNGGraphic> png(New<TPNGGraphic>());
    struct Case {
        std::vector<uint8_t> Data;
        const wchar_t* Message;
    };
    std::vector<uint8_t> badCrc = pngtest::SimplePng(1, 1, 8, 0, {0, 0});
    badCrc[8 + 8 + 13] ^= 1; // IHDR's CRC
    const Case cases[] = {
        {{'n', 'o', 't', ' ', 'a', ' ', 'p', 'n', 'g'}, L"Cannot load image. Invalid or unexpected PNG image format."},
        {badCrc, L"Cannot load image. CRC error found in PNG file."},
        {pngtest::SimplePng(1, 1, 3, 0, {0, 0}), L"Invalid color format in PNG file."},
        {pngtest::SimplePng(1, 1, 8, 2, {0, 1, 2, 3}, {{"PLTE", {1, 2}}}),
         L"Cannot load image. Palette in PNG file is invalid."},
    };
    for (const Case& c : cases) {
        try {
            LoadBytes(png.get(), c.Data);
            ADD_FAILURE() << "no exception";
        } catch (const EInvalidGraphic& e) {
            EXPECT_EQ(e.Message(), c.Message);
        }
    }
}

TEST(PNGGraphic, PaletteImageGetsItsColourTable)
{
    // 2-bit palette of three colours: the table is spread to 16 entries and
    // the index past the palette shows black.
    TOwned<TPNGGraphic> png(New<TPNGGraphic>());
    LoadBytes(png.get(), pngtest::SimplePng(4, 1, 2, 3, {0, 0x1B}, {{"PLTE", {255, 0, 0, 0, 255, 0, 0, 0, 255}}}));
    ASSERT_EQ(png->PixelFormat(), pf4bit);
    const std::vector<RGBQUAD> table = png->ColorTable();
    ASSERT_EQ(table.size(), 16u);
    EXPECT_EQ(table[0].rgbRed, 255);
    EXPECT_EQ(table[5].rgbGreen, 255);
    EXPECT_EQ(table[10].rgbBlue, 255);
    EXPECT_EQ(table[15].rgbRed + table[15].rgbGreen + table[15].rgbBlue, 0);
    const TBitmapRows rows = png->Rows();
    EXPECT_EQ(rows.Row(0)[0], 0x05);
    EXPECT_EQ(rows.Row(0)[1], 0xAF);
}

TEST(PNGGraphic, RegisteredAsThePngPictureFormat)
{
    // Registered by the program itself: nobody asked for it here.
    EXPECT_EQ(TPicture::FindFileFormat(L"PNG"), GraphicClass<TPNGGraphic>());
    EXPECT_NE(GraphicFilter(nullptr).find(L"Portable network graphics (Korvex) (*.png)"), UnicodeString::npos);

    const std::string dir = Suite();
    ASSERT_FALSE(dir.empty());
    TPicture picture;
    picture.LoadFromFile(UnicodeString(dir.begin(), dir.end()) + L"/primary/basn6a08.png");
    auto* png = dynamic_cast<TPNGGraphic*>(picture.Graphic());
    ASSERT_NE(png, nullptr);
    EXPECT_EQ(png->PixelFormat(), pf32bit);

    // A copy keeps the class and the image properties.
    TPicture copy;
    copy.Assign(&picture);
    auto* copied = dynamic_cast<TPNGGraphic*>(copy.Graphic());
    ASSERT_NE(copied, nullptr);
    EXPECT_EQ(copied->ImageProperties().ColorScheme, csRGBA);
    EXPECT_EQ(copied->Width(), 32);

    UnregisterPNGFormat();
    EXPECT_EQ(TPicture::FindFileFormat(L"png"), nullptr);
    RegisterPNGFormat();
}

TEST(PNGGraphic, CanLoadKeepsTheStreamPosition)
{
    const std::vector<uint8_t> data = pngtest::SimplePng(1, 1, 8, 0, {0, 7});
    TMemoryStream s;
    s.WriteBuffer(data.data(), int32_t(data.size()));
    s.SetPosition(0);
    EXPECT_TRUE(TPNGGraphic::CanLoad(&s));
    EXPECT_EQ(s.Position(), 0);
    s.SetPosition(int64_t(data.size()) - 8); // exactly 8 bytes left
    EXPECT_FALSE(TPNGGraphic::CanLoad(&s));
    EXPECT_EQ(s.Position(), int64_t(data.size()) - 8);
    UseKVPng = false;
    s.SetPosition(0);
    EXPECT_FALSE(TPNGGraphic::CanLoad(&s));
    UseKVPng = true;
}

TEST(PNGGraphic, LoadLeavesTheStreamAfterIENDAndReportsProgress)
{
    struct Recorder : TObject {
        int Starting = 0, Running = 0, Ending = 0;
        void OnProgress(TObject*, TProgressStage Stage, uint8_t, bool, const TRect&, const UnicodeString&)
        {
            (Stage == psStarting ? Starting : Stage == psRunning ? Running : Ending)++;
        }
    } rec;
    std::vector<uint8_t> data = pngtest::SimplePng(2, 3, 8, 2, std::vector<uint8_t>(3 * 7, 0));
    const size_t end = data.size();
    data.insert(data.end(), {1, 2, 3});
    TOwned<TPNGGraphic> png(New<TPNGGraphic>());
    png->OnProgress = Bind(&rec, &Recorder::OnProgress);
    TMemoryStream s;
    s.WriteBuffer(data.data(), int32_t(data.size()));
    s.SetPosition(0);
    png->LoadFromStream(&s);
    EXPECT_EQ(s.Position(), int64_t(end));
    EXPECT_EQ(rec.Running, 3); // one per row
    EXPECT_EQ(rec.Starting, 2);
    EXPECT_GE(rec.Ending, 2);
}
