// Native helpers for the PNG tests: an image target over plain memory laid
// out like a bottom-up DIB, a small PNG writer for crafted files, and the
// decode-to-RGBA path the suite comparison uses.
#pragma once

#include <zlib.h>

#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

#include "skin/paint/kvPNG_Decoder.h"
#include "tests/support/PngSuiteRules.h"

namespace pngtest {

class MemoryImage : public TPNGImageTarget {
public:
    uint64_t MaxBytes = uint64_t(256) << 20; // what the target agrees to allocate
    bool Fill = true; // a pattern in the new image shows pixels the decoder did not write
    bool Prepared = false;
    TPNGImageLayout Layout;
    std::vector<uint8_t> Bits;
    int Stride = 0;
    int ProgressEvents = 0;

    TBitmapRows PrepareImage(const TPNGImageLayout& L) override
    {
        Layout = L;
        Prepared = true;
        Stride = int((uint64_t(L.Width) * L.BitsPerPixel + 31) / 32 * 4);
        const uint64_t bytes = uint64_t(Stride) * L.Height;
        if (bytes > MaxBytes)
            throw std::runtime_error("decoder asked for " + std::to_string(bytes) + " bytes");
        if (Fill)
            Bits.assign(size_t(bytes), 0xA5);
        else
            Bits.resize(size_t(bytes));
        TBitmapRows r;
        r.Width = int(L.Width);
        r.Height = int(L.Height);
        r.BytesPerPixel = L.BitsPerPixel % 8 == 0 ? L.BitsPerPixel / 8 : 0;
        r.Step = -std::ptrdiff_t(Stride); // bottom-up, as the system's bitmaps are
        r.First = Bits.data() + std::ptrdiff_t(L.Height - 1) * Stride;
        return r;
    }
    void Progress(TPNGProgressStage, uint8_t, bool, const TPNGProgressRect&, const wchar_t*) override
    {
        ++ProgressEvents;
    }

    const uint8_t* Row(int Y) const { return Bits.data() + std::ptrdiff_t(Layout.Height - 1 - Y) * Stride; }

    pngsuite::Decoded ToDecoded() const
    {
        pngsuite::Decoded d;
        d.Width = int(Layout.Width);
        d.Height = int(Layout.Height);
        d.Bits = Layout.BitsPerPixel;
        for (const TPaletteEntry& e : Layout.Palette)
            d.Palette.push_back(uint32_t(e.Red) << 16 | uint32_t(e.Green) << 8 | e.Blue);
        for (int y = 0; y < d.Height; ++y)
            d.Rows.emplace_back(Row(y), Row(y) + Stride);
        return d;
    }
};

// Decodes Bytes with a fresh colour manager; throws what the decoder throws.
struct Decoding {
    TColorManager Manager;
    TPNGDecoder Decoder{Manager};
    MemoryImage Image;
    void Run(const std::vector<uint8_t>& Bytes)
    {
        TPNGMemorySource source(Bytes.data(), Bytes.size());
        Decoder.Load(source, Image);
    }
};

inline void Put32(std::vector<uint8_t>& V, uint32_t X)
{
    V.insert(V.end(), {uint8_t(X >> 24), uint8_t(X >> 16), uint8_t(X >> 8), uint8_t(X)});
}

inline void SetBE32(uint8_t* P, uint32_t X)
{
    P[0] = uint8_t(X >> 24), P[1] = uint8_t(X >> 16), P[2] = uint8_t(X >> 8), P[3] = uint8_t(X);
}

// A PNG file written chunk by chunk.
struct Writer {
    std::vector<uint8_t> Bytes{std::begin(PNGMagic), std::end(PNGMagic)};

    Writer& Chunk(const char* Type, const std::vector<uint8_t>& Data)
    {
        Put32(Bytes, uint32_t(Data.size()));
        const size_t typeAt = Bytes.size();
        Bytes.insert(Bytes.end(), Type, Type + 4);
        Bytes.insert(Bytes.end(), Data.begin(), Data.end());
        Put32(Bytes, UpdateCrc(0, Bytes.data() + typeAt, Data.size() + 4));
        return *this;
    }
    Writer& IHDR(uint32_t W, uint32_t H, uint8_t Depth, uint8_t ColorType, uint8_t Interlace = 0)
    {
        std::vector<uint8_t> d;
        Put32(d, W);
        Put32(d, H);
        d.insert(d.end(), {Depth, ColorType, 0, 0, Interlace});
        return Chunk("IHDR", d);
    }
    Writer& IEND() { return Chunk("IEND", {}); }
};

inline std::vector<uint8_t> Compress(const std::vector<uint8_t>& Raw, int Level = 9)
{
    uLongf size = compressBound(uLong(Raw.size()));
    std::vector<uint8_t> out(size);
    compress2(out.data(), &size, Raw.data(), uLong(Raw.size()), Level);
    out.resize(size);
    return out;
}

// The inflated data of a zlib stream, as far as it goes (empty on an error
// before any output).
inline std::vector<uint8_t> Inflate(const std::vector<uint8_t>& Data)
{
    std::vector<uint8_t> out;
    z_stream z{};
    if (inflateInit(&z) != Z_OK)
        return out;
    z.next_in = const_cast<Bytef*>(Data.data());
    z.avail_in = uInt(Data.size());
    uint8_t buf[16384];
    int r;
    do {
        z.next_out = buf;
        z.avail_out = sizeof buf;
        r = inflate(&z, Z_NO_FLUSH);
        out.insert(out.end(), buf, buf + (sizeof buf - z.avail_out));
    } while (r == Z_OK && z.avail_out == 0);
    inflateEnd(&z);
    return out;
}

// A simple image: IHDR, optional extra chunks before IDAT, one IDAT of the
// given filtered rows, IEND.
inline std::vector<uint8_t> SimplePng(uint32_t W, uint32_t H, uint8_t Depth, uint8_t ColorType,
                                      const std::vector<uint8_t>& RawRows,
                                      const std::vector<std::pair<std::string, std::vector<uint8_t>>>& Before = {},
                                      uint8_t Interlace = 0)
{
    Writer w;
    w.IHDR(W, H, Depth, ColorType, Interlace);
    for (const auto& c : Before)
        w.Chunk(c.first.c_str(), c.second);
    w.Chunk("IDAT", Compress(RawRows));
    w.IEND();
    return w.Bytes;
}

struct ChunkRef {
    size_t Offset; // of the length field
    uint32_t Length;
    std::string Type;
};

inline std::vector<ChunkRef> Chunks(const std::vector<uint8_t>& B)
{
    std::vector<ChunkRef> list;
    size_t at = 8;
    while (at + 12 <= B.size()) {
        const uint32_t len = uint32_t(B[at]) << 24 | uint32_t(B[at + 1]) << 16 | uint32_t(B[at + 2]) << 8 | B[at + 3];
        if (at + 12 + uint64_t(len) > B.size())
            break;
        list.push_back({at, len, std::string(B.begin() + long(at) + 4, B.begin() + long(at) + 8)});
        at += 12 + len;
    }
    return list;
}

// Rewrites the CRC of a chunk after its type or data changed.
inline void FixCrc(std::vector<uint8_t>& B, const ChunkRef& C)
{
    const uint32_t crc = UpdateCrc(0, B.data() + C.Offset + 4, C.Length + 4);
    const size_t at = C.Offset + 8 + C.Length;
    B[at] = uint8_t(crc >> 24), B[at + 1] = uint8_t(crc >> 16), B[at + 2] = uint8_t(crc >> 8), B[at + 3] = uint8_t(crc);
}

} // namespace pngtest
