#include "skin/paint/sGradient.h"

#include <algorithm>

#include "classlib/rtl/SysUtils.h"
#include "skin/core/kvntUtils.h"
#include "skin/paint/sAlphaGraph.h"
#include "skin/paint/sGradient_Fill.h"

TGradientFill kvGradientFill = nullptr;

namespace {

// Loads msimg32 at start-up and lets it go at the end.
struct TUnitLife {
    HMODULE Lib = nullptr;
    TUnitLife()
    {
        Lib = ::LoadLibraryW(L"msimg32.dll");
        if (Lib)
            kvGradientFill = reinterpret_cast<TGradientFill>(::GetProcAddress(Lib, "GradientFill"));
    }
    ~TUnitLife()
    {
        kvGradientFill = nullptr;
        if (Lib)
            ::FreeLibrary(Lib);
    }
} UnitLife;

TRIVERTEX Vertex(LONG X, LONG Y, TColor C)
{
    TRIVERTEX v = {};
    v.x = X;
    v.y = Y;
    v.Red = COLOR16(RedOf(C) << 8);
    v.Green = COLOR16(GreenOf(C) << 8);
    v.Blue = COLOR16(BlueOf(C) << 8);
    return v;
}

// Four triangles from the corners to the centre, one colour a vertex.
void PaintTriangles(TBitmap* Bmp, const TRect& R, const TsGradArray& Data)
{
    if (!kvGradientFill)
        return;
    TColor colors[5];
    for (int k = 0; k < 5; ++k)
        colors[k] = k < int(Data.size()) ? Data[std::size_t(k)].Color1 : colors[k - 1];
    TRIVERTEX v[5] = {
        Vertex(R.left, R.top, colors[0]),
        Vertex(R.left + R.Width() / 2, R.top + R.Height() / 2, colors[1]),
        Vertex(R.right, R.top, colors[2]),
        Vertex(R.right, R.bottom, colors[3]),
        Vertex(R.left, R.bottom, colors[4]),
    };
    GRADIENT_TRIANGLE t[4] = {{0, 1, 2}, {1, 2, 3}, {0, 1, 4}, {4, 1, 3}};
    kvGradientFill(Bmp->Canvas()->Handle(), v, 5, t, 4, GRADIENT_FILL_TRIANGLE);
}

} // namespace

void PrepareGradArray(const UnicodeString& Text, TsGradArray& Data)
{
    Data.clear();
    if (Text.empty())
        return;
    const TsCharSet delims(L";");
    const int n = WordCount(Text, delims) / 5;
    Data.resize(std::size_t(n));
    for (int i = 0; i < n; ++i) {
        TsGradPie& p = Data[std::size_t(i)];
        p.Color1 = std::max(0, StrToInt(ExtractWord(5 * i + 1, Text, delims)));
        p.Color2 = std::max(0, StrToInt(ExtractWord(5 * i + 2, Text, delims)));
        p.Percent = std::clamp(StrToInt(ExtractWord(5 * i + 3, Text, delims)), 0, 100);
        p.Mode1 = StrToInt(ExtractWord(5 * i + 4, Text, delims));
    }
}

void PaintGrad(TBitmap* Bmp, const TRect& R, const UnicodeString& Text)
{
    TsGradArray data;
    PrepareGradArray(Text, data);
    PaintGrad(Bmp, R, data, 0, 0);
}

void PaintGrad(TBitmap* Bmp, const TRect& R, const TsGradArray& Data, int OffsetX, int OffsetY)
{
    if (!Bmp || Bmp->Empty() || Data.empty())
        return;
    const TRect clipped(std::max<LONG>(R.left, 0), std::max<LONG>(R.top, 0), std::min<LONG>(R.right, Bmp->Width()),
                        std::min<LONG>(R.bottom, Bmp->Height()));
    if (Data[0].Mode1 == 2) {
        if (!clipped.IsEmpty())
            PaintTriangles(Bmp, clipped, Data);
        return;
    }
    std::vector<TkvGradPiece> pieces;
    pieces.reserve(Data.size());
    for (const TsGradPie& p : Data)
        pieces.push_back({p.Color1, p.Color2, p.Percent, p.Mode1, p.Mode2});
    kvPaint::PaintGradRows(RowsOf(Bmp), KvRect(clipped), pieces, OffsetY);
}
