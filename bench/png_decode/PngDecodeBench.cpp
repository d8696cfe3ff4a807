// PNG decoding speed: TPNGGraphic against libpng (built for this benchmark
// only) on the same large images, in the same run.  For each image it
// prints the megapixels per second of both and their ratio (ours divided by
// libpng's; higher is better), after checking that both decoders produce
// the same pixels, and beside them zlib inflating the image data alone into
// one buffer, what both pay at the least.
//
//   png_decode.exe IMAGE_FOLDER [ROUNDS]
#include <png.h>
#include <zlib.h>

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "skin/paint/kvPNG.h"

namespace {

double Seconds()
{
    LARGE_INTEGER f, t;
    ::QueryPerformanceFrequency(&f);
    ::QueryPerformanceCounter(&t);
    return double(t.QuadPart) / double(f.QuadPart);
}

std::vector<uint8_t> ReadFile(const std::string& Path)
{
    std::vector<uint8_t> data;
    if (FILE* f = std::fopen(Path.c_str(), "rb")) {
        uint8_t buf[65536];
        size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, f)) > 0)
            data.insert(data.end(), buf, buf + n);
        std::fclose(f);
    }
    return data;
}

// libpng: the file from memory into rows of the same layout our reader
// makes (blue first for colour images, palette indexes kept).
struct LibpngImage {
    uint32_t Width = 0, Height = 0;
    size_t RowBytes = 0;
    std::unique_ptr<uint8_t[]> Pixels; // left uninitialised, as a fresh bitmap's memory is
};

struct MemoryReader {
    const uint8_t* Data;
    size_t Size, Pos;
};

void ReadFromMemory(png_structp Png, png_bytep Out, png_size_t Count)
{
    auto* r = static_cast<MemoryReader*>(png_get_io_ptr(Png));
    if (Count > r->Size - r->Pos)
        png_error(Png, "read past the end");
    std::memcpy(Out, r->Data + r->Pos, Count);
    r->Pos += Count;
}

bool DecodeLibpng(const std::vector<uint8_t>& File, LibpngImage& Image)
{
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    std::vector<png_bytep> rows;
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    MemoryReader reader{File.data(), File.size(), 0};
    png_set_read_fn(png, &reader, ReadFromMemory);
    png_read_info(png, info);
    Image.Width = png_get_image_width(png, info);
    Image.Height = png_get_image_height(png, info);
    png_set_bgr(png);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    Image.RowBytes = png_get_rowbytes(png, info);
    Image.Pixels.reset(new uint8_t[Image.RowBytes * Image.Height]);
    rows.resize(Image.Height);
    for (uint32_t y = 0; y < Image.Height; ++y)
        rows[y] = Image.Pixels.get() + y * Image.RowBytes;
    png_read_image(png, rows.data());
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    return true;
}

void DecodeOurs(TMemoryStream& File, TPNGGraphic& Png)
{
    File.SetPosition(0);
    Png.LoadFromStream(&File);
}

bool SamePixels(TPNGGraphic& Ours, const LibpngImage& Ref)
{
    if (uint32_t(Ours.Width()) != Ref.Width || uint32_t(Ours.Height()) != Ref.Height)
        return false;
    const TBitmapRows rows = Ours.Rows();
    for (uint32_t y = 0; y < Ref.Height; ++y)
        if (std::memcmp(rows.Row(int(y)), Ref.Pixels.get() + y * Ref.RowBytes, Ref.RowBytes) != 0)
            return false;
    return true;
}

// The image data alone inflated by zlib into one buffer (its IDAT chunks
// joined, no CRC, no unfiltering): what both decoders pay at the least.
std::vector<uint8_t> JoinedIDAT(const std::vector<uint8_t>& File)
{
    std::vector<uint8_t> data;
    for (size_t p = 8; p + 12 <= File.size();) {
        const uint32_t length = uint32_t(File[p]) << 24 | uint32_t(File[p + 1]) << 16 | uint32_t(File[p + 2]) << 8 |
                                File[p + 3];
        if (length > File.size() - p - 12)
            break;
        if (std::memcmp(&File[p + 4], "IDAT", 4) == 0)
            data.insert(data.end(), File.begin() + std::ptrdiff_t(p + 8), File.begin() + std::ptrdiff_t(p + 8 + length));
        p += 12 + length;
    }
    return data;
}

void InflateAlone(const std::vector<uint8_t>& Data, std::vector<uint8_t>& Out)
{
    z_stream z{};
    inflateInit(&z);
    z.next_in = const_cast<Bytef*>(Data.data());
    z.avail_in = uInt(Data.size());
    z.next_out = Out.data();
    z.avail_out = uInt(Out.size());
    inflate(&z, Z_FINISH);
    inflateEnd(&z);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: png_decode IMAGE_FOLDER [ROUNDS]\n");
        return 2;
    }
    const std::string folder = argv[1];
    const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 7;
    int status = 0;
    for (const char* name : {"photo_rgba", "palette", "interlaced"}) {
        const std::vector<uint8_t> file = ReadFile(folder + "/" + name + ".png");
        if (file.empty()) {
            std::fprintf(stderr, "%s/%s.png: cannot read\n", folder.c_str(), name);
            return 2;
        }
        TMemoryStream stream;
        stream.WriteBuffer(file.data(), int32_t(file.size()));
        TOwned<TPNGGraphic> png(New<TPNGGraphic>());
        LibpngImage ref;
        DecodeOurs(stream, *png);
        if (!DecodeLibpng(file, ref) || !SamePixels(*png, ref)) {
            std::printf("png_decode %s: the two decoders disagree\n", name);
            status = 1;
            continue;
        }
        // The three take turns, best of Rounds each.
        const std::vector<uint8_t> idat = JoinedIDAT(file);
        std::vector<uint8_t> inflated((ref.RowBytes + 16) * ref.Height * 2);
        double ours = 1e30, theirs = 1e30, floor = 1e30;
        for (int i = 0; i < rounds; ++i) {
            double start = Seconds();
            {
                TOwned<TPNGGraphic> p(New<TPNGGraphic>());
                DecodeOurs(stream, *p);
            }
            ours = std::min(ours, Seconds() - start);
            start = Seconds();
            {
                LibpngImage r;
                DecodeLibpng(file, r);
            }
            theirs = std::min(theirs, Seconds() - start);
            start = Seconds();
            InflateAlone(idat, inflated);
            floor = std::min(floor, Seconds() - start);
        }
        const double mp = double(ref.Width) * ref.Height / 1e6;
        std::printf("png_decode %-10s %ux%u: ours %.1f MP/s, libpng %.1f MP/s, ratio %.2f; zlib's inflate alone "
                    "%.1f MP/s\n",
                    name, ref.Width, ref.Height, mp / ours, mp / theirs, theirs / ours, mp / floor);
    }
    return status;
}
