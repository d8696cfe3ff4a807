// The painting engine's hot kernels on full-HD bitmaps, each beside the same
// operation done by a reference in the same run: pixman (with its SSE2
// paths) for the blends and the composition, plain textbook code for the
// resampler and the gradient.  One line a kernel: megapixels per second of
// both and "ratio" (ours / reference, higher is better).
#include <pixman.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <vector>

#include "skin/paint/sGradient_Fill.h"
#include "skin/paint/sGraphUtils_Compose.h"
#include "skin/paint/sGraphUtils_Stretch.h"

namespace {

constexpr int W = 1920, H = 1080;

// A top-down image whose memory both we and pixman address.
struct TImage {
    std::vector<uint32_t> Mem;
    TBitmapRows Rows;

    TImage(int Width, int Height, int Bpp)
    {
        const int stride = (Width * Bpp + 3) / 4 * 4;
        Mem.assign(std::size_t(stride / 4) * Height + 1, 0);
        Rows.First = reinterpret_cast<uint8_t*>(Mem.data());
        Rows.Step = stride;
        Rows.Width = Width;
        Rows.Height = Height;
        Rows.BytesPerPixel = Bpp;
        uint32_t seed = 12345u + uint32_t(Width * Bpp);
        for (int y = 0; y < Height; ++y)
            for (int i = 0; i < Width * Bpp; ++i) {
                seed = seed * 1103515245u + 12345u;
                Rows.Row(y)[i] = uint8_t(seed >> 16);
            }
    }
    pixman_image_t* Pixman(pixman_format_code_t Format)
    {
        return pixman_image_create_bits(Format, Rows.Width, Rows.Height, Mem.data(), int(Rows.Step));
    }
};

double MegapixelsPerSecond(const std::function<void()>& Run, double Pixels)
{
    using clock = std::chrono::steady_clock;
    Run();  // warm-up
    int n = 0;
    const auto t0 = clock::now();
    double elapsed;
    do {
        Run();
        ++n;
        elapsed = std::chrono::duration<double>(clock::now() - t0).count();
    } while (elapsed < 0.5);
    return Pixels * n / elapsed / 1e6;
}

void Report(const char* Name, double Ours, double Reference)
{
    std::printf("%-34s ours %9.1f MP/s   reference %9.1f MP/s   ratio %.2f\n", Name, Ours, Reference,
                Ours / Reference);
}

// ---------------------------------------------------------------------------
void TwoImageBlend()
{
    TImage dst(W, H, 4), src(W, H, 4);
    const double ours = MegapixelsPerSecond([&] { kvPaint::SumBitmaps(dst.Rows, src.Rows, 100); }, double(W) * H);
    // d * w + s * (255 - w): an opaque source OVER the destination through a
    // constant mask of 255 - w.
    pixman_image_t* d = dst.Pixman(PIXMAN_a8r8g8b8);
    pixman_image_t* s = src.Pixman(PIXMAN_x8r8g8b8);
    pixman_color_t weight = {0, 0, 0, uint16_t((255 - 100) * 257)};
    pixman_image_t* m = pixman_image_create_solid_fill(&weight);
    const double ref = MegapixelsPerSecond(
        [&] { pixman_image_composite32(PIXMAN_OP_OVER, s, m, d, 0, 0, 0, 0, 0, 0, W, H); }, double(W) * H);
    pixman_image_unref(d);
    pixman_image_unref(s);
    pixman_image_unref(m);
    Report("two-image blend (32-bit)", ours, ref);
}

void Compose32Over24()
{
    TImage dst(W, H, 3), src(W, H, 4);
    const TkvRect all{0, 0, W, H};
    const double ours = MegapixelsPerSecond(
        [&] { kvPaint::CopyBmp32(all, all, dst.Rows, src.Rows, TkvBack{}, false, kvNoColor, 0, false); },
        double(W) * H);
    pixman_image_t* d = dst.Pixman(PIXMAN_r8g8b8);
    pixman_image_t* s = src.Pixman(PIXMAN_a8r8g8b8);
    const double ref = MegapixelsPerSecond(
        [&] { pixman_image_composite32(PIXMAN_OP_OVER, s, nullptr, d, 0, 0, 0, 0, 0, 0, W, H); }, double(W) * H);
    pixman_image_unref(d);
    pixman_image_unref(s);
    Report("32-bit over 24-bit composition", ours, ref);
}

void MaskedCopy()
{
    // A skin image with its mask in the lower half, copied onto a 24-bit cache.
    TImage dst(W, H, 3), img(W, 2 * H, 3);
    const TkvRect area{0, 0, W, H};
    const double ours =
        MegapixelsPerSecond([&] { kvPaint::CopyByMask(area, area, dst.Rows, img.Rows, TkvBack{}, false); },
                            double(W) * H);
    // The same per-channel mask as a component-alpha mask.
    TImage src(W, H, 3), mask(W, H, 4);
    pixman_image_t* d = dst.Pixman(PIXMAN_r8g8b8);
    pixman_image_t* s = src.Pixman(PIXMAN_r8g8b8);
    pixman_image_t* m = mask.Pixman(PIXMAN_a8r8g8b8);
    pixman_image_set_component_alpha(m, 1);
    const double ref = MegapixelsPerSecond(
        [&] { pixman_image_composite32(PIXMAN_OP_OVER, s, m, d, 0, 0, 0, 0, 0, 0, W, H); }, double(W) * H);
    pixman_image_unref(d);
    pixman_image_unref(s);
    pixman_image_unref(m);
    Report("masked copy (24-bit)", ours, ref);
}

// ---------------------------------------------------------------------------
// Textbook separable resampling: normalised float weights per output pixel,
// rows then columns.
struct TTaps {
    std::vector<int> First, Index;
    std::vector<float> Weight;
};

TTaps TextbookTaps(int Dst, int Src)
{
    const double scale = double(Dst) / Src, support = 2.0 * std::max(1.0, 1.0 / scale);
    TTaps taps;
    for (int i = 0; i < Dst; ++i) {
        taps.First.push_back(int(taps.Index.size()));
        const double centre = (i + 0.5) / scale - 0.5;
        double sum = 0;
        const std::size_t from = taps.Weight.size();
        for (int j = int(std::floor(centre - support)); j <= int(std::ceil(centre + support)); ++j) {
            const double x = std::fabs(centre - j) * std::min(1.0, scale);
            const double w = FilterWeight(ftMitchell, x, x);
            if (x >= 2 || w == 0)
                continue;
            taps.Index.push_back(std::clamp(j, 0, Src - 1));
            taps.Weight.push_back(float(w));
            sum += w;
        }
        for (std::size_t k = from; k < taps.Weight.size(); ++k)
            taps.Weight[k] = float(taps.Weight[k] / sum);
    }
    taps.First.push_back(int(taps.Index.size()));
    return taps;
}

void TextbookStretch(const TBitmapRows& Src, const TBitmapRows& Dst)
{
    const int bpp = Src.BytesPerPixel;
    const TTaps across = TextbookTaps(Dst.Width, Src.Width), down = TextbookTaps(Dst.Height, Src.Height);
    std::vector<float> temp(std::size_t(Dst.Width) * Src.Height * bpp);
    for (int y = 0; y < Src.Height; ++y)
        for (int x = 0; x < Dst.Width; ++x)
            for (int c = 0; c < bpp; ++c) {
                float s = 0;
                for (int k = across.First[x]; k < across.First[x + 1]; ++k)
                    s += across.Weight[k] * Src.Pixel(across.Index[k], y)[c];
                temp[(std::size_t(y) * Dst.Width + x) * bpp + c] = s;
            }
    for (int y = 0; y < Dst.Height; ++y)
        for (int x = 0; x < Dst.Width; ++x)
            for (int c = 0; c < bpp; ++c) {
                float s = 0;
                for (int k = down.First[y]; k < down.First[y + 1]; ++k)
                    s += down.Weight[k] * temp[(std::size_t(down.Index[k]) * Dst.Width + x) * bpp + c];
                Dst.Pixel(x, y)[c] = uint8_t(std::clamp(std::lround(s), 0L, 255L));
            }
}

void StretchMitchell()
{
    TImage src(W, H, 4), dst(1280, 720, 4);
    const double px = 1280.0 * 720;
    const double ours = MegapixelsPerSecond([&] { kvPaint::StretchRows(src.Rows, dst.Rows, ftMitchell); }, px);
    const double ref = MegapixelsPerSecond([&] { TextbookStretch(src.Rows, dst.Rows); }, px);
    Report("stretch 1920x1080 -> 1280x720 Mitchell", ours, ref);
}

// ---------------------------------------------------------------------------
void TextbookGradient(const TBitmapRows& Bmp, TColor From, TColor To)
{
    for (int y = 0; y < Bmp.Height; ++y)
        for (int x = 0; x < Bmp.Width; ++x) {
            const float t = float(x) / float(Bmp.Width - 1);
            uint8_t* p = Bmp.Pixel(x, y);
            p[0] = uint8_t(std::lround(BlueOf(From) + (BlueOf(To) - BlueOf(From)) * t));
            p[1] = uint8_t(std::lround(GreenOf(From) + (GreenOf(To) - GreenOf(From)) * t));
            p[2] = uint8_t(std::lround(RedOf(From) + (RedOf(To) - RedOf(From)) * t));
            p[3] = 255;
        }
}

void GradientFill()
{
    TImage bmp(W, H, 4);
    const std::vector<TkvGradPiece> pieces = {{0x204060, 0xF0C080, 40, 1, 0}, {0xF0C080, 0x102030, 60, 1, 0}};
    const double ours =
        MegapixelsPerSecond([&] { kvPaint::PaintGradRows(bmp.Rows, {0, 0, W, H}, pieces, 0); }, double(W) * H);
    const double ref =
        MegapixelsPerSecond([&] { TextbookGradient(bmp.Rows, 0x204060, 0xF0C080); }, double(W) * H);
    Report("horizontal gradient fill", ours, ref);
}

} // namespace

int main()
{
    std::printf("paint kernels on %dx%d bitmaps (pixman %s)\n", W, H, pixman_version_string());
    TwoImageBlend();
    Compose32Over24();
    MaskedCopy();
    StretchMitchell();
    GradientFill();
    return 0;
}
