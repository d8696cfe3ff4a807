// Writes a 24-bit bitmap as an RGB PNG file (test artefacts for a reader
// to look at).
#pragma once

#include <zlib.h>

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "classlib/graphics/Graphics.h"

namespace pngfile {

inline void Put32(std::vector<uint8_t>& Out, uint32_t V)
{
    for (int s = 24; s >= 0; s -= 8)
        Out.push_back(uint8_t(V >> s));
}

inline void Chunk(std::vector<uint8_t>& Out, const char* Type, const std::vector<uint8_t>& Data)
{
    Put32(Out, uint32_t(Data.size()));
    std::vector<uint8_t> body(Type, Type + 4);
    body.insert(body.end(), Data.begin(), Data.end());
    Out.insert(Out.end(), body.begin(), body.end());
    Put32(Out, uint32_t(crc32(0, body.data(), uInt(body.size()))));
}

// False when the bitmap is not 24-bit or the file cannot be written.
inline bool Write(TBitmap* Bmp, const std::string& Path)
{
    const TBitmapRows rows = Bmp->Rows();
    if (rows.BytesPerPixel != 3)
        return false;
    std::vector<uint8_t> raw;
    raw.reserve(std::size_t(rows.Height) * (std::size_t(rows.Width) * 3 + 1));
    for (int y = 0; y < rows.Height; ++y) {
        raw.push_back(0);  // no filter
        for (int x = 0; x < rows.Width; ++x) {
            const uint8_t* p = rows.Pixel(x, y);
            raw.insert(raw.end(), {p[2], p[1], p[0]});
        }
    }
    uLongf packedSize = compressBound(uLong(raw.size()));
    std::vector<uint8_t> packed(packedSize);
    if (compress2(packed.data(), &packedSize, raw.data(), uLong(raw.size()), 6) != Z_OK)
        return false;
    packed.resize(packedSize);
    std::vector<uint8_t> header, out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    Put32(header, uint32_t(rows.Width));
    Put32(header, uint32_t(rows.Height));
    header.insert(header.end(), {8, 2, 0, 0, 0});  // 8 bits, RGB
    Chunk(out, "IHDR", header);
    Chunk(out, "IDAT", packed);
    Chunk(out, "IEND", {});
    std::ofstream f(Path, std::ios::binary);
    f.write(reinterpret_cast<const char*>(out.data()), std::streamsize(out.size()));
    return bool(f);
}

} // namespace pngfile
