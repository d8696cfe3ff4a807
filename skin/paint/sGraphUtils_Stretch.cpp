#include "skin/paint/sGraphUtils_Stretch.h"

#include <cmath>
#include <vector>

const float kvFilterRadius[ftMitchell + 1] = {0.51f, 1.0f, 1.0f, 1.5f, 2.0f, 3.0f, 2.0f};

namespace {

constexpr double Pi = 3.14159265358979323846;

double Sinc(double X)
{
    return X == 0 ? 1 : std::sin(Pi * X) / (Pi * X);
}

} // namespace

double FilterWeight(TFilterType Filter, double H, double SignedH)
{
    switch (Filter) {
    case ftBox:
        return H <= 0.5 && SignedH != -0.5 ? 1 : 0;
    case ftTriangle:
        return 1 - H;
    case ftHermite:
        return H * H * (2 * H - 3) + 1;
    case ftBell:
        return H < 0.5 ? 0.75 - H * H : 0.5 * (H - 1.5) * (H - 1.5);
    case ftSpline:
        return H < 1 ? H * H * (H / 2 - 1) + 2.0 / 3 : (2 - H) * (2 - H) * (2 - H) / 6;
    case ftLanczos3:
        // sinc(h) * sinc(h / 3): the windowed sinc with three lobes.
        return Sinc(H) * Sinc(H / 3);
    case ftMitchell:
        return H < 1 ? H * H * (7.0 / 6 * H - 2) + 8.0 / 9 : H * H * (-7.0 / 18 * H + 2) - 10.0 / 3 * H + 16.0 / 9;
    }
    return 0;
}

namespace kvPaint {

namespace {

struct TContribution {
    std::ptrdiff_t Offset;  // bytes from the start of the line
    int32_t Weight;         // 16.16
};

// Contributions of every destination pixel, one block per pass.
struct TContributors {
    std::vector<TContribution> Items;
    std::vector<int> First;  // Count + 1 entries into Items
};

// Mirrors an index at the edges until it lies inside 0..Count-1 (one
// mirror is not enough when a wide filter shrinks to a few pixels).
int MirrorIndex(int J, int Count)
{
    for (int n = 0; n < 64 && (J < 0 || J >= Count); ++n)
        J = J < 0 ? -J : 2 * Count - 1 - J;
    return J < 0 ? 0 : (J >= Count ? Count - 1 : J);
}

TContributors BuildContributors(int DestCount, int SourceCount, std::ptrdiff_t ByteStep, TFilterType Filter)
{
    const float radius = kvFilterRadius[Filter];
    const float scale = SourceCount > DestCount ? float(double(DestCount) / SourceCount) : 1.0f;
    const float width = float(radius / scale);
    TContributors list;
    list.First.reserve(std::size_t(DestCount) + 1);
    for (int i = 0; i < DestCount; ++i) {
        list.First.push_back(int(list.Items.size()));
        const float centre = float(double(SourceCount) * i / DestCount);
        const int lo = int(std::floor(double(centre) - width)), hi = int(std::ceil(double(centre) + width));
        for (int j = lo; j <= hi; ++j) {
            const double signedH = (double(centre) - j) * scale;
            const double h = std::fabs(signedH);
            if (h >= radius)
                continue;
            const double w = FilterWeight(Filter, h, signedH);
            if (w == 0)
                continue;
            const int32_t weight = int32_t(std::nearbyint(w * scale * 65536));
            list.Items.push_back({MirrorIndex(j, SourceCount) * ByteStep, weight});
        }
    }
    list.First.push_back(int(list.Items.size()));
    return list;
}

inline uint8_t ToByte(int32_t S)
{
    return S < 0 ? 0 : (S < 0xFF0001 ? uint8_t(S >> 16) : 255);
}

// Filters Lines lines of Count pixels: pixel i of line l is at
// Base + l * LineStep + i * PixelStep.
void ApplyPass(const TContributors& List, int Bpp, int Lines, const uint8_t* SrcBase, std::ptrdiff_t SrcLineStep,
               uint8_t* DstBase, std::ptrdiff_t DstLineStep, std::ptrdiff_t DstPixelStep)
{
    const int count = int(List.First.size()) - 1;
    for (int l = 0; l < Lines; ++l) {
        const uint8_t* src = SrcBase + l * SrcLineStep;
        uint8_t* dst = DstBase + l * DstLineStep;
        for (int i = 0; i < count; ++i, dst += DstPixelStep) {
            int32_t sum[4] = {0, 0, 0, 0};
            for (int k = List.First[i]; k < List.First[i + 1]; ++k) {
                const uint8_t* p = src + List.Items[k].Offset;
                const int32_t w = List.Items[k].Weight;
                for (int c = 0; c < Bpp; ++c)
                    sum[c] += w * p[c];
            }
            for (int c = 0; c < Bpp; ++c)
                dst[c] = ToByte(sum[c]);
        }
    }
}

} // namespace

void StretchRows(const TBitmapRows& Src, const TBitmapRows& Dst, TFilterType Filter)
{
    if (Src.Empty() || Src.Width < 2 || Src.Height < 2)
        throw Exception(L"Source bitmap is too small");
    const int bpp = Src.BytesPerPixel;
    if ((bpp != 3 && bpp != 4) || Dst.Empty() || Dst.BytesPerPixel != bpp || Filter < ftBox || Filter > ftMitchell)
        return;
    // Rows first into a Dst.Width x Src.Height buffer, then its columns.
    const std::ptrdiff_t tempStep = std::ptrdiff_t(Dst.Width) * bpp;
    std::vector<uint8_t> temp(std::size_t(tempStep) * Src.Height);
    const TContributors rows = BuildContributors(Dst.Width, Src.Width, bpp, Filter);
    ApplyPass(rows, bpp, Src.Height, Src.First, Src.Step, temp.data(), tempStep, bpp);
    const TContributors cols = BuildContributors(Dst.Height, Src.Height, tempStep, Filter);
    ApplyPass(cols, bpp, Dst.Width, temp.data(), bpp, Dst.First, bpp, Dst.Step);
}

} // namespace kvPaint
