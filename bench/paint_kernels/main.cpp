// The painting engine's hot kernels on full-HD bitmaps, each beside the same
// operation done by a reference in the same run, by the best method we know
// for it: pixman (with its SSE2 paths) for the blends and the composition,
// a one-row-then-copy fill for the gradient (the method our kernel uses
// too), and for the resampler both plain textbook code and pixman's
// separable convolution with its cubic kernel (the same Mitchell filter).  One line a kernel: megapixels per second of both
// and "ratio" (ours / reference, higher is better).
#include <pixman.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
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

// Runs per second of one short round.
double Round(const std::function<void()>& Run)
{
    using clock = std::chrono::steady_clock;
    int n = 0;
    const auto t0 = clock::now();
    double elapsed;
    do {
        Run();
        ++n;
        elapsed = std::chrono::duration<double>(clock::now() - t0).count();
    } while (elapsed < 0.15);
    return n / elapsed;
}

// Ours and the reference take turns in short rounds, so that both meet the
// same load of the machine, and each keeps its best round; one line with
// the megapixels per second of both.
void Compare(const char* Name, const std::function<void()>& Ours, const std::function<void()>& Reference,
             double Pixels)
{
    Ours();  // warm-up
    Reference();
    double ours = 0, ref = 0;
    for (int i = 0; i < 6; ++i) {
        ours = std::max(ours, Round(Ours));
        ref = std::max(ref, Round(Reference));
    }
    ours *= Pixels / 1e6;
    ref *= Pixels / 1e6;
    std::printf("%-40s ours %9.1f MP/s   reference %9.1f MP/s   ratio %.2f\n", Name, ours, ref, ours / ref);
}

// ---------------------------------------------------------------------------
void TwoImageBlend()
{
    TImage dst(W, H, 4), src(W, H, 4);
    // d * w + s * (255 - w): an opaque source OVER the destination through a
    // constant mask of 255 - w.
    pixman_image_t* d = dst.Pixman(PIXMAN_a8r8g8b8);
    pixman_image_t* s = src.Pixman(PIXMAN_x8r8g8b8);
    pixman_color_t weight = {0, 0, 0, uint16_t((255 - 100) * 257)};
    pixman_image_t* m = pixman_image_create_solid_fill(&weight);
    Compare(
        "two-image blend (32-bit)", [&] { kvPaint::SumBitmaps(dst.Rows, src.Rows, 100); },
        [&] { pixman_image_composite32(PIXMAN_OP_OVER, s, m, d, 0, 0, 0, 0, 0, 0, W, H); }, double(W) * H);
    pixman_image_unref(d);
    pixman_image_unref(s);
    pixman_image_unref(m);
}

// CopyBmp32 of a 32-bit image with alpha over a cache of DstBpp bits against
// pixman's OVER of the same image (its SSE2 fast path for a 32-bit
// destination; a 24-bit one goes its general path, pixman having no fast
// path for it).
void Compose32(int DstBpp, const char* Name)
{
    TImage dst(W, H, DstBpp), src(W, H, 4);
    const TkvRect all{0, 0, W, H};
    pixman_image_t* d = dst.Pixman(DstBpp == 4 ? PIXMAN_a8r8g8b8 : PIXMAN_r8g8b8);
    pixman_image_t* s = src.Pixman(PIXMAN_a8r8g8b8);
    Compare(
        Name, [&] { kvPaint::CopyBmp32(all, all, dst.Rows, src.Rows, TkvBack{}, false, kvNoColor, 0, false); },
        [&] { pixman_image_composite32(PIXMAN_OP_OVER, s, nullptr, d, 0, 0, 0, 0, 0, 0, W, H); }, double(W) * H);
    pixman_image_unref(d);
    pixman_image_unref(s);
}

void MaskedCopy()
{
    // A skin image with its mask in the lower half, copied onto a 24-bit
    // cache, against the same per-channel mask as a component-alpha mask.
    TImage dst(W, H, 3), img(W, 2 * H, 3);
    const TkvRect area{0, 0, W, H};
    TImage src(W, H, 3), mask(W, H, 4);
    pixman_image_t* d = dst.Pixman(PIXMAN_r8g8b8);
    pixman_image_t* s = src.Pixman(PIXMAN_r8g8b8);
    pixman_image_t* m = mask.Pixman(PIXMAN_a8r8g8b8);
    pixman_image_set_component_alpha(m, 1);
    Compare(
        "masked copy (24-bit)", [&] { kvPaint::CopyByMask(area, area, dst.Rows, img.Rows, TkvBack{}, false); },
        [&] { pixman_image_composite32(PIXMAN_OP_OVER, s, m, d, 0, 0, 0, 0, 0, 0, W, H); }, double(W) * H);
    pixman_image_unref(d);
    pixman_image_unref(s);
    pixman_image_unref(m);
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
    Compare(
        "stretch 1920x1080 -> 1280x720 Mitchell", [&] { kvPaint::StretchRows(src.Rows, dst.Rows, ftMitchell); },
        [&] { TextbookStretch(src.Rows, dst.Rows); }, 1280.0 * 720);
}

// pixman's resampler with its cubic kernel (Mitchell-Netravali, B = C =
// 1/3): a separable convolution whose sampling kernel is widened by the
// scale, as ours is when it shrinks, taken at 16 subpixel phases.
void StretchPixmanCubic()
{
    TImage src(W, H, 4), dst(1280, 720, 4);
    pixman_image_t* s = src.Pixman(PIXMAN_a8r8g8b8);
    pixman_image_t* d = dst.Pixman(PIXMAN_a8r8g8b8);
    const double sx = double(W) / 1280, sy = double(H) / 720;
    int n = 0;
    pixman_fixed_t* params = pixman_filter_create_separable_convolution(
        &n, pixman_double_to_fixed(sx), pixman_double_to_fixed(sy), PIXMAN_KERNEL_IMPULSE, PIXMAN_KERNEL_IMPULSE,
        PIXMAN_KERNEL_CUBIC, PIXMAN_KERNEL_CUBIC, 4, 4);
    pixman_image_set_filter(s, PIXMAN_FILTER_SEPARABLE_CONVOLUTION, params, n);
    std::free(params);
    pixman_transform_t t;
    pixman_transform_init_scale(&t, pixman_double_to_fixed(sx), pixman_double_to_fixed(sy));
    pixman_image_set_transform(s, &t);
    pixman_image_set_repeat(s, PIXMAN_REPEAT_PAD);
    Compare(
        "stretch, against pixman's cubic filter", [&] { kvPaint::StretchRows(src.Rows, dst.Rows, ftMitchell); },
        [&] { pixman_image_composite32(PIXMAN_OP_SRC, s, nullptr, d, 0, 0, 0, 0, 0, 0, 1280, 720); },
        1280.0 * 720);
    pixman_image_unref(d);
    pixman_image_unref(s);
}

// ---------------------------------------------------------------------------
// One row interpolated per pixel between the pieces' colours, then copied
// to every row: the method a horizontal gradient calls for.
void RowThenCopyGradient(const TBitmapRows& Bmp, const std::vector<TkvGradPiece>& Pieces)
{
    std::vector<uint8_t> row(std::size_t(Bmp.Width) * 4);
    int x = 0;
    for (std::size_t p = 0; p < Pieces.size(); ++p) {
        const TColor from = Pieces[p].Color1, to = Pieces[p].Color2;
        const int end = p + 1 == Pieces.size() ? Bmp.Width : x + Pieces[p].Percent * Bmp.Width / 100;
        for (int i = x; i < end; ++i) {
            const float t = float(i - x) / float(std::max(1, end - x - 1));
            uint8_t* px = &row[std::size_t(i) * 4];
            px[0] = uint8_t(std::lround(BlueOf(from) + (BlueOf(to) - BlueOf(from)) * t));
            px[1] = uint8_t(std::lround(GreenOf(from) + (GreenOf(to) - GreenOf(from)) * t));
            px[2] = uint8_t(std::lround(RedOf(from) + (RedOf(to) - RedOf(from)) * t));
            px[3] = 255;
        }
        x = end;
    }
    for (int y = 0; y < Bmp.Height; ++y)
        std::memcpy(Bmp.Row(y), row.data(), row.size());
}

void GradientFill()
{
    TImage bmp(W, H, 4);
    const std::vector<TkvGradPiece> pieces = {{0x204060, 0xF0C080, 40, 1, 0}, {0xF0C080, 0x102030, 60, 1, 0}};
    Compare(
        "horizontal gradient fill", [&] { kvPaint::PaintGradRows(bmp.Rows, {0, 0, W, H}, pieces, 0); },
        [&] { RowThenCopyGradient(bmp.Rows, pieces); }, double(W) * H);
}

} // namespace

int main()
{
    std::printf("paint kernels on %dx%d bitmaps (pixman %s)\n", W, H, pixman_version_string());
    TwoImageBlend();
    Compose32(4, "32-bit over 32-bit composition");
    Compose32(3, "32-bit over 24-bit composition");
    MaskedCopy();
    StretchMitchell();
    StretchPixmanCubic();
    GradientFill();
    return 0;
}
