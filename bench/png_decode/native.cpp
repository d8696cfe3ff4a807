// PNG decoding speed natively (x86-64): the reader's Windows-free core
// (TPNGDecoder into plain memory) against the system's libpng on the same
// images, in the same run, after checking that both give the same pixels.
// Prints the megapixels per second of both and their ratio (ours divided by
// libpng's in speed; higher is better), and zlib inflating the image data
// alone into one buffer, what both pay at the least.  Built and run by native.sh.
//
//   png_decode_native IMAGE_FOLDER [ROUNDS [IMAGE...]]   (IMAGE: photo_rgba,
//   palette or interlaced; all three when none is named)
#include <png.h>
#include <zlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "skin/paint/kvPNG_Decoder.h"

namespace {

double Seconds()
{
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
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

// Top-down rows of the size the decoder asks for, left uninitialised as a
// fresh bitmap's memory is.
struct Image {
    uint32_t Width = 0, Height = 0;
    size_t RowBytes = 0, Stride = 0;
    std::unique_ptr<uint8_t[]> Pixels;
    const uint8_t* Row(uint32_t Y) const { return Pixels.get() + Y * Stride; }
};

class OursTarget : public TPNGImageTarget {
public:
    Image& Out;
    explicit OursTarget(Image& I) : Out(I) {}
    TBitmapRows PrepareImage(const TPNGImageLayout& L) override
    {
        Out.Width = L.Width, Out.Height = L.Height;
        Out.RowBytes = (size_t(L.Width) * L.BitsPerPixel + 7) / 8;
        Out.Stride = (size_t(L.Width) * L.BitsPerPixel + 31) / 32 * 4;
        Out.Pixels.reset(new uint8_t[Out.Stride * L.Height]);
        TBitmapRows r;
        r.Width = int(L.Width);
        r.Height = int(L.Height);
        r.BytesPerPixel = L.BitsPerPixel % 8 == 0 ? L.BitsPerPixel / 8 : 0;
        r.Step = std::ptrdiff_t(Out.Stride);
        r.First = Out.Pixels.get();
        return r;
    }
};

bool DecodeOurs(const std::vector<uint8_t>& File, Image& Out)
{
    TColorManager manager;
    TPNGDecoder decoder(manager);
    TPNGMemorySource source(File.data(), File.size());
    OursTarget target(Out);
    try {
        decoder.Load(source, target);
    } catch (...) {
        return false;
    }
    return true;
}

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

bool DecodeLibpng(const std::vector<uint8_t>& File, Image& Out)
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
    Out.Width = png_get_image_width(png, info);
    Out.Height = png_get_image_height(png, info);
    png_set_bgr(png);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    Out.RowBytes = png_get_rowbytes(png, info);
    Out.Stride = (Out.RowBytes + 3) / 4 * 4;
    Out.Pixels.reset(new uint8_t[Out.Stride * Out.Height]);
    rows.resize(Out.Height);
    for (uint32_t y = 0; y < Out.Height; ++y)
        rows[y] = Out.Pixels.get() + y * Out.Stride;
    png_read_image(png, rows.data());
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    return true;
}

bool SamePixels(const Image& A, const Image& B)
{
    if (A.Width != B.Width || A.Height != B.Height || A.RowBytes != B.RowBytes)
        return false;
    for (uint32_t y = 0; y < A.Height; ++y)
        if (std::memcmp(A.Row(y), B.Row(y), A.RowBytes) != 0)
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
        std::fprintf(stderr, "usage: png_decode_native IMAGE_FOLDER [ROUNDS]\n");
        return 2;
    }
    const std::string folder = argv[1];
    const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 15;
    std::vector<std::string> names(argv + std::min(argc, 3), argv + argc);
    if (names.empty())
        names = {"photo_rgba", "palette", "interlaced"};
    int status = 0;
    for (const std::string& name : names) {
        const std::vector<uint8_t> file = ReadFile(folder + "/" + name + ".png");
        if (file.empty()) {
            std::fprintf(stderr, "%s/%s.png: cannot read\n", folder.c_str(), name.c_str());
            return 2;
        }
        Image ours, ref;
        if (!DecodeOurs(file, ours) || !DecodeLibpng(file, ref) || !SamePixels(ours, ref)) {
            std::printf("png_decode_native %s: the two decoders disagree\n", name.c_str());
            status = 1;
            continue;
        }
        // Best of Rounds each, taking turns so that all meet the same load.
        const std::vector<uint8_t> idat = JoinedIDAT(file);
        std::vector<uint8_t> inflated((ref.RowBytes + 16) * ref.Height * 2);
        double oursBest = 1e30, theirsBest = 1e30, floorBest = 1e30;
        for (int i = 0; i < rounds; ++i) {
            double start = Seconds();
            Image a;
            DecodeOurs(file, a);
            oursBest = std::min(oursBest, Seconds() - start);
            start = Seconds();
            Image b;
            DecodeLibpng(file, b);
            theirsBest = std::min(theirsBest, Seconds() - start);
            start = Seconds();
            InflateAlone(idat, inflated);
            floorBest = std::min(floorBest, Seconds() - start);
        }
        const double mp = double(ref.Width) * ref.Height / 1e6;
        std::printf("png_decode_native %-10s %ux%u: ours %.1f MP/s, libpng %.1f MP/s, ratio %.2f; zlib's inflate "
                    "alone %.1f MP/s\n",
                    name.c_str(), ref.Width, ref.Height, mp / oursBest, mp / theirsBest, theirsBest / oursBest,
                    mp / floorBest);
    }
    return status;
}
