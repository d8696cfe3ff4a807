#include <gtest/gtest.h>

#include "classlib/graphics/Graphics.h"
#include "classlib/graphics/Jpeg.h"
#include "classlib/rtl/SysUtils.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#define boolean jpeg_boolean
#include <jpeglib.h>
#undef boolean

namespace {

std::vector<uint8_t> Bytes(TMemoryStream& s)
{
    const auto* p = static_cast<const uint8_t*>(s.Memory());
    return std::vector<uint8_t>(p, p + s.Size());
}

void LoadFrom(TGraphic* g, const std::vector<uint8_t>& data)
{
    TMemoryStream s;
    if (!data.empty())
        s.WriteBuffer(data.data(), int32_t(data.size()));
    s.SetPosition(0);
    g->LoadFromStream(&s);
}

UnicodeString TempFile(const UnicodeString& ext)
{
    wchar_t dir[MAX_PATH];
    ::GetTempPathW(MAX_PATH, dir);
    static int n = 0;
    return UnicodeString(dir) + L"kvgraphics_" + std::to_wstring(::GetCurrentProcessId()) + L"_" +
           std::to_wstring(++n) + ext;
}

void WriteFile(const UnicodeString& name, const std::vector<uint8_t>& data)
{
    TFileStream f(name, fmCreate);
    f.WriteBuffer(data.data(), int32_t(data.size()));
}

// A 16 x 16 icon file with one 32-bit image: red, with a transparent left column.
std::vector<uint8_t> MakeIco()
{
    const int w = 16, h = 16;
    std::vector<uint8_t> d;
    auto put16 = [&](int v) { d.push_back(uint8_t(v)); d.push_back(uint8_t(v >> 8)); };
    auto put32 = [&](uint32_t v) { put16(int(v & 0xFFFF)); put16(int(v >> 16)); };
    const uint32_t image = 40 + w * h * 4 + h * 4;
    put16(0), put16(1), put16(1);                        // directory: an icon, one image
    d.push_back(w), d.push_back(h), d.push_back(0), d.push_back(0);
    put16(1), put16(32), put32(image), put32(6 + 16);
    put32(40), put32(w), put32(h * 2), put16(1), put16(32); // BITMAPINFOHEADER
    for (int i = 0; i < 6; ++i)
        put32(0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            put32(x == 0 ? 0x00000000u : 0xFFFF0000u);      // A R G B as a word: opaque red
    for (int y = 0; y < h; ++y)
        put32(0x00000080u);                               // AND mask: the left column is see-through
    return d;
}

// A w x h JPEG made with the library's encoder: left half red, right half blue
// (or a grey ramp for a one-channel picture).
std::vector<uint8_t> MakeJpeg(int w, int h, bool gray)
{
    jpeg_compress_struct info{};
    jpeg_error_mgr err{};
    info.err = jpeg_std_error(&err);
    jpeg_create_compress(&info);
    unsigned char* out = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &out, &size);
    info.image_width = JDIMENSION(w);
    info.image_height = JDIMENSION(h);
    info.input_components = gray ? 1 : 3;
    info.in_color_space = gray ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 95, TRUE);
    jpeg_start_compress(&info, TRUE);
    std::vector<uint8_t> row(size_t(w) * info.input_components);
    while (info.next_scanline < info.image_height) {
        for (int x = 0; x < w; ++x) {
            if (gray) {
                row[size_t(x)] = uint8_t(x * 255 / (w - 1));
            } else {
                const bool left = x < w / 2;
                row[size_t(x) * 3] = left ? 255 : 0;
                row[size_t(x) * 3 + 1] = 0;
                row[size_t(x) * 3 + 2] = left ? 0 : 255;
            }
        }
        JSAMPROW r = row.data();
        jpeg_write_scanlines(&info, &r, 1);
    }
    jpeg_finish_compress(&info);
    std::vector<uint8_t> data(out, out + size);
    jpeg_destroy_compress(&info);
    std::free(out);
    return data;
}

bool Near(TColor c, int r, int g, int b)
{
    return std::abs((c & 0xFF) - r) < 40 && std::abs(((c >> 8) & 0xFF) - g) < 40 &&
           std::abs(((c >> 16) & 0xFF) - b) < 40;
}

} // namespace

TEST(TIcon, LoadsAnIcoFileAndDrawsWithTransparency)
{
    UnicodeString name = TempFile(L".ico");
    const std::vector<uint8_t> ico = MakeIco();
    WriteFile(name, ico);
    std::unique_ptr<TIcon> icon(New<TIcon>());
    icon->LoadFromFile(name);
    ::DeleteFileW(name.c_str());
    ASSERT_FALSE(icon->Empty());
    EXPECT_EQ(16, icon->Width());
    EXPECT_EQ(16, icon->Height());
    EXPECT_NE(nullptr, icon->Handle());
    EXPECT_TRUE(icon->Transparent());

    std::unique_ptr<TBitmap> b(New<TBitmap>());
    b->SetPixelFormat(pf24bit);
    b->SetSize(20, 20);
    b->Canvas()->Brush()->SetColor(clWhite);
    b->Canvas()->FillRect(Rect(0, 0, 20, 20));
    b->Canvas()->Draw(2, 2, icon.get());
    EXPECT_EQ(clRed, b->Canvas()->Pixels(8, 8));
    EXPECT_EQ(clWhite, b->Canvas()->Pixels(2, 8));  // the see-through column
    EXPECT_EQ(clWhite, b->Canvas()->Pixels(19, 19));

    // A bitmap made from the icon is the icon drawn on white.
    std::unique_ptr<TBitmap> copy(New<TBitmap>());
    copy->Assign(icon.get());
    EXPECT_EQ(16, copy->Width());
    EXPECT_EQ(clRed, copy->Canvas()->Pixels(8, 8));
    EXPECT_EQ(clWhite, copy->Canvas()->Pixels(0, 8));

    // Saved back byte for byte.
    TMemoryStream saved;
    icon->SaveToStream(&saved);
    EXPECT_EQ(ico, Bytes(saved));
    EXPECT_THROW(icon->SetWidth(32), EInvalidGraphicOperation);
}

TEST(TIcon, AdoptsAndReleasesHandles)
{
    std::unique_ptr<TIcon> a(New<TIcon>());
    LoadFrom(a.get(), MakeIco());
    std::unique_ptr<TIcon> b(New<TIcon>());
    b->SetHandle(::CopyIcon(a->Handle()));
    EXPECT_EQ(16, b->Width());
    EXPECT_EQ(16, b->Height());

    // A handle-only icon can still be written as an icon file.
    TMemoryStream s;
    b->SaveToStream(&s);
    std::unique_ptr<TIcon> c(New<TIcon>());
    s.SetPosition(0);
    c->LoadFromStream(&s);
    EXPECT_EQ(16, c->Width());

    HICON h = b->ReleaseHandle();
    EXPECT_TRUE(b->Empty());
    EXPECT_NE(nullptr, h);
    EXPECT_TRUE(::DestroyIcon(h)); // still alive: the caller owns it now
}

// A monochrome icon keeps its AND mask above its XOR mask in one bitmap;
// written out and read back it shows the same see-through, black and white
// areas.
TEST(TIcon, AdoptedMonochromeIconIsWrittenWithItsMasks)
{
    // 16 x 16: left half see-through, right half black on the top rows and
    // white on the bottom rows.  Each row is 2 bytes.
    uint8_t andBits[32], xorBits[32];
    for (int y = 0; y < 16; ++y) {
        andBits[2 * y] = 0xFF, andBits[2 * y + 1] = 0x00;
        xorBits[2 * y] = 0x00, xorBits[2 * y + 1] = y < 8 ? 0x00 : 0xFF;
    }
    HICON mono = ::CreateIcon(nullptr, 16, 16, 1, 1, andBits, xorBits);
    ASSERT_NE(nullptr, mono);
    std::unique_ptr<TIcon> icon(New<TIcon>());
    icon->SetHandle(mono);
    EXPECT_EQ(16, icon->Height());

    TMemoryStream saved;
    icon->SaveToStream(&saved);
    std::unique_ptr<TIcon> back(New<TIcon>());
    saved.SetPosition(0);
    back->LoadFromStream(&saved);

    for (TIcon* i : {icon.get(), back.get()}) {
        std::unique_ptr<TBitmap> b(New<TBitmap>());
        b->SetPixelFormat(pf24bit);
        b->SetSize(16, 16);
        b->Canvas()->Brush()->SetColor(clRed);
        b->Canvas()->FillRect(Rect(0, 0, 16, 16));
        b->Canvas()->Draw(0, 0, i);
        EXPECT_EQ(clRed, b->Canvas()->Pixels(2, 2)) << (i == back.get());
        EXPECT_EQ(clBlack, b->Canvas()->Pixels(12, 2)) << (i == back.get());
        EXPECT_EQ(clWhite, b->Canvas()->Pixels(12, 12)) << (i == back.get());
    }
}

TEST(TIcon, DamagedIcoRaisesAndKeepsTheOldIcon)
{
    std::unique_ptr<TIcon> icon(New<TIcon>());
    LoadFrom(icon.get(), MakeIco());
    HICON before = icon->Handle();
    std::vector<uint8_t> ico = MakeIco();
    std::vector<std::vector<uint8_t>> bad = {
        {},                                                  // nothing
        std::vector<uint8_t>(ico.begin(), ico.begin() + 30), // cut inside the image
        {0, 0, 1, 0, 0xFF, 0xFF},                            // 65535 images announced, none there
    };
    std::vector<uint8_t> offset = ico;
    offset[18] = 0xFF, offset[19] = 0xFF, offset[20] = 0xFF, offset[21] = 0x7F; // image far past the end
    bad.push_back(offset);
    for (const auto& data : bad)
        EXPECT_THROW(LoadFrom(icon.get(), data), EInvalidGraphic) << data.size();
    EXPECT_EQ(before, icon->Handle());
}

TEST(TJPEGImage, DecodesColourAndGreyPictures)
{
    std::unique_ptr<TJPEGImage> jpeg(New<TJPEGImage>());
    LoadFrom(jpeg.get(), MakeJpeg(32, 16, false));
    EXPECT_EQ(32, jpeg->Width());
    EXPECT_EQ(16, jpeg->Height());
    EXPECT_FALSE(jpeg->Grayscale());

    std::unique_ptr<TBitmap> b(New<TBitmap>());
    b->Assign(jpeg.get());
    EXPECT_EQ(pf24bit, b->PixelFormat());
    EXPECT_TRUE(Near(b->Canvas()->Pixels(4, 8), 255, 0, 0));
    EXPECT_TRUE(Near(b->Canvas()->Pixels(28, 8), 0, 0, 255));

    // Drawn under a clip, only the clipped part changes.
    std::unique_ptr<TBitmap> dst(New<TBitmap>());
    dst->SetPixelFormat(pf24bit);
    dst->SetSize(32, 16);
    HRGN clip = ::CreateRectRgn(0, 0, 16, 16);
    ::SelectClipRgn(dst->Canvas()->Handle(), clip);
    ::DeleteObject(clip);
    dst->Canvas()->Draw(0, 0, jpeg.get());
    EXPECT_TRUE(Near(dst->Canvas()->Pixels(4, 8), 255, 0, 0));
    EXPECT_EQ(clBlack, dst->Canvas()->Pixels(28, 8));

    LoadFrom(jpeg.get(), MakeJpeg(16, 4, true));
    EXPECT_TRUE(jpeg->Grayscale());
    b->Assign(jpeg.get());
    const TColor dark = b->Canvas()->Pixels(0, 1), light = b->Canvas()->Pixels(15, 1);
    EXPECT_TRUE(Near(dark, 0, 0, 0));
    EXPECT_TRUE(Near(light, 255, 255, 255));

    // Saved as loaded.
    TMemoryStream s;
    jpeg->SaveToStream(&s);
    EXPECT_EQ(MakeJpeg(16, 4, true), Bytes(s));
}

TEST(TJPEGImage, DamagedOrTruncatedFilesRaise)
{
    const std::vector<uint8_t> good = MakeJpeg(64, 64, false);
    std::unique_ptr<TJPEGImage> jpeg(New<TJPEGImage>());
    LoadFrom(jpeg.get(), MakeJpeg(8, 8, false));

    std::vector<std::vector<uint8_t>> bad = {
        std::vector<uint8_t>(good.begin(), good.begin() + good.size() / 2), // truncated in the data
        std::vector<uint8_t>(good.begin(), good.begin() + 20),              // truncated in the headers
        {'n', 'o', 't', ' ', 'j', 'p', 'e', 'g'},
        {},
    };
    std::vector<uint8_t> scrambled = good;
    for (size_t i = good.size() / 3; i < good.size() - 2; i += 7)
        scrambled[i] = 0xFF; // markers in the middle of the picture data
    bad.push_back(scrambled);
    for (const auto& data : bad)
        EXPECT_THROW(LoadFrom(jpeg.get(), data), EInvalidGraphic) << data.size();
    EXPECT_EQ(8, jpeg->Width()); // the old picture stays
}

TEST(TPicture, LoadsByExtensionAndKeepsTheRegistry)
{
    const UnicodeString ico = TempFile(L".ICO"), jpg = TempFile(L".jpg"), bmp = TempFile(L".bmp"),
                        unknown = TempFile(L".xyz");
    WriteFile(ico, MakeIco());
    WriteFile(jpg, MakeJpeg(8, 8, false));
    {
        std::unique_ptr<TBitmap> b(New<TBitmap>());
        b->SetPixelFormat(pf24bit);
        b->SetSize(3, 2);
        b->SaveToFile(bmp);
    }
    WriteFile(unknown, {1, 2, 3});

    struct Listener : TObject {
        int Calls = 0;
        void Changed(TObject*) { ++Calls; }
    } listener;
    std::unique_ptr<TPicture> p(New<TPicture>());
    p->OnChange = Bind(&listener, &Listener::Changed);
    p->LoadFromFile(ico);
    EXPECT_EQ(L"TIcon", p->Graphic()->ClassName());
    p->LoadFromFile(jpg);
    EXPECT_EQ(L"TJPEGImage", p->Graphic()->ClassName());
    p->LoadFromFile(bmp);
    EXPECT_EQ(L"TBitmap", p->Graphic()->ClassName());
    EXPECT_EQ(3, p->Width());
    EXPECT_EQ(3, listener.Calls);
    EXPECT_THROW(p->LoadFromFile(unknown), EInvalidGraphic);
    EXPECT_EQ(3, p->Width()); // unchanged after the failure

    // Copies, not shares, a graphic; Assign(nullptr) empties.
    std::unique_ptr<TPicture> q(New<TPicture>());
    q->Assign(p.get());
    ASSERT_NE(nullptr, q->Graphic());
    EXPECT_NE(p->Graphic(), q->Graphic());
    EXPECT_EQ(2, q->Height());
    q->Assign(nullptr);
    EXPECT_EQ(nullptr, q->Graphic());
    EXPECT_EQ(0, q->Width());
    // Asking for the bitmap of an icon picture gives a new empty bitmap.
    q->LoadFromFile(ico);
    EXPECT_TRUE(q->Bitmap()->Empty());

    for (const UnicodeString& f : {ico, jpg, bmp, unknown})
        ::DeleteFileW(f.c_str());
}

namespace {
class TTestGraphic : public TBitmap {
    KV_CLASS(TTestGraphic)
};
} // namespace

TEST(TPicture, FileFormatRegistryAndFilter)
{
    EXPECT_EQ(L"All (*.jpg;*.jpeg;*.bmp;*.ico)|*.jpg;*.jpeg;*.bmp;*.ico|JPEG Image File (*.jpg)|*.jpg|"
              L"JPEG Image File (*.jpeg)|*.jpeg|Bitmaps (*.bmp)|*.bmp|Icons (*.ico)|*.ico",
              GraphicFilter(GraphicClass<TGraphic>()));
    EXPECT_EQ(L"All (*.bmp)|*.bmp|Bitmaps (*.bmp)|*.bmp", GraphicFilter(GraphicClass<TBitmap>()));

    TPicture::RegisterFileFormat(L"tst", L"Test pictures", GraphicClass<TTestGraphic>());
    EXPECT_EQ(GraphicClass<TTestGraphic>(), TPicture::FindFileFormat(L".TST"));
    // Registered classes derived from TBitmap count as bitmaps.
    EXPECT_EQ(L"All (*.tst;*.bmp)|*.tst;*.bmp|Test pictures (*.tst)|*.tst|Bitmaps (*.bmp)|*.bmp",
              GraphicFilter(GraphicClass<TBitmap>()));
    EXPECT_EQ(L"tst", GraphicExtension(GraphicClass<TTestGraphic>()));

    // A picture copies a registered graphic as its own class.
    std::unique_ptr<TTestGraphic> g(New<TTestGraphic>());
    g->SetSize(2, 2);
    std::unique_ptr<TPicture> p(New<TPicture>());
    p->SetGraphic(g.get());
    EXPECT_EQ(L"TTestGraphic", p->Graphic()->ClassName());

    TPicture::UnregisterGraphicClass(GraphicClass<TTestGraphic>());
    EXPECT_EQ(nullptr, TPicture::FindFileFormat(L"tst"));
    EXPECT_EQ(GraphicClass<TJPEGImage>(), TPicture::FindFileFormat(L"JPEG"));
}
