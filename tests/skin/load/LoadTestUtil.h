// Helpers of the skin-loading tests: skin folders written by the tests
// (descriptions, BMP and PNG images), the JPEG fixtures, and a skin store
// that owns its global values.
#pragma once

#include <windows.h>
#include <zlib.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "classlib/graphics/Graphics.h"
#include "classlib/rtl/Streams.h"
#include "classlib/rtl/TempDir.h"
#include "skin/core/sSkinManager_Store.h"

namespace loadtest {

// A colour as pixel bytes B, G, R, A.
struct Px {
    uint8_t B = 0, G = 0, R = 0, A = 255;
    bool operator==(const Px&) const = default;
};
inline Px Rgb(int R, int G, int B, int A = 255)
{
    return Px{uint8_t(B), uint8_t(G), uint8_t(R), uint8_t(A)};
}

inline Px PixelOf(TBitmap* Bmp, int X, int Y)
{
    const TBitmapRows rows = Bmp->Rows();
    const uint8_t* p = rows.Pixel(X, Y);
    return rows.BytesPerPixel == 4 ? Px{p[0], p[1], p[2], p[3]} : Px{p[0], p[1], p[2], 255};
}

inline void SetPixel(TBitmap* Bmp, int X, int Y, Px C)
{
    const TBitmapRows rows = Bmp->Rows();
    uint8_t* p = rows.Pixel(X, Y);
    p[0] = C.B;
    p[1] = C.G;
    p[2] = C.R;
    if (rows.BytesPerPixel == 4)
        p[3] = C.A;
}

// A bitmap of the given format filled by Fill(x, y).
inline std::unique_ptr<TBitmap> MakeBitmap(int W, int H, TPixelFormat Format, const std::function<Px(int, int)>& Fill)
{
    auto b = std::make_unique<TBitmap>(W, H, Format);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x)
            SetPixel(b.get(), x, y, Fill(x, y));
    return b;
}

inline std::unique_ptr<TBitmap> Solid(int W, int H, Px C, TPixelFormat Format = pf24bit)
{
    return MakeBitmap(W, H, Format, [C](int, int) { return C; });
}

inline void WriteBytes(const std::wstring& Path, const std::string& Bytes)
{
    TFileStream f(Path, fmCreate);
    if (!Bytes.empty())
        f.WriteBuffer(Bytes.data(), int32_t(Bytes.size()));
}

inline std::string ReadBytes(const std::wstring& Path)
{
    TMemoryStream m;
    m.LoadFromFile(Path);
    return std::string(static_cast<const char*>(m.Memory()), size_t(m.Size()));
}

// An RGBA PNG (8 bits a channel, no filtering) of Fill(x, y); without Alpha
// an RGB one (colour type 2) that drops Fill's alpha.
inline std::string PngBytes(int W, int H, const std::function<Px(int, int)>& Fill, bool Alpha = true)
{
    auto be32 = [](std::string& s, uint32_t v) {
        for (int i = 3; i >= 0; --i)
            s += char(v >> (8 * i));
    };
    auto chunk = [&](std::string& out, const char* type, const std::string& data) {
        be32(out, uint32_t(data.size()));
        std::string body = std::string(type, 4) + data;
        out += body;
        be32(out, uint32_t(crc32(0, reinterpret_cast<const Bytef*>(body.data()), uInt(body.size()))));
    };
    std::string header;
    be32(header, uint32_t(W));
    be32(header, uint32_t(H));
    header += std::string(Alpha ? "\x08\x06\x00\x00\x00" : "\x08\x02\x00\x00\x00", 5);
    std::string raw;
    for (int y = 0; y < H; ++y) {
        raw += '\0';
        for (int x = 0; x < W; ++x) {
            Px p = Fill(x, y);
            raw += char(p.R);
            raw += char(p.G);
            raw += char(p.B);
            if (Alpha)
                raw += char(p.A);
        }
    }
    uLongf size = compressBound(uLong(raw.size()));
    std::string packed(size, '\0');
    compress(reinterpret_cast<Bytef*>(packed.data()), &size, reinterpret_cast<const Bytef*>(raw.data()), uLong(raw.size()));
    packed.resize(size);
    std::string png("\x89PNG\r\n\x1a\n", 8);
    chunk(png, "IHDR", header);
    chunk(png, "IDAT", packed);
    chunk(png, "IEND", std::string());
    return png;
}

// A JPEG of the fixtures (300 x 300 or 299 x 300) under its Windows name.
inline std::wstring JpegFixture(const std::wstring& Name)
{
    std::string dir = KV_FIXTURES;
    std::wstring w = L"Z:";
    for (char c : dir)
        w += c == '/' ? L'\\' : wchar_t(c);
    return w + L"\\load\\" + Name;
}

// A skin folder: Options.dat and image files.
class TSkinFolder {
public:
    TSkinFolder() = default;
    const std::wstring& Path() const { return FDir.Path(); }
    // The folder with a trailing "\", as a skin path.
    std::wstring SkinPath() const { return FDir.Path() + L"\\"; }
    std::wstring File(const std::wstring& Name) const { return FDir.File(Name); }
    void Options(const std::string& Text) const { WriteBytes(File(L"Options.dat"), Text); }
    void Bmp(const std::wstring& Name, TBitmap* B) const { B->SaveToFile(File(Name)); }
    void Png(const std::wstring& Name, const std::string& Bytes) const { WriteBytes(File(Name), Bytes); }
    void CopyJpeg(const std::wstring& Fixture, const std::wstring& Name) const
    {
        WriteBytes(File(Name), ReadBytes(JpegFixture(Fixture)));
    }

private:
    TTempDir FDir;
};

// A skin store with global values of its own and switches the tests set.
class TTestStore : public TsSkinStore {
public:
    TsSkinData Data;
    bool WantShadows = false;
    std::vector<double> Versions;

    TTestStore() { SkinData = &Data; }
    using TsSkinStore::CheckShadows;

protected:
    bool ShadowsWanted() const override { return WantShadows; }
    void CheckVersion(double Version) override { Versions.push_back(Version); }
};

} // namespace loadtest
