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
    // Words are the runs between ";"s; every five make a piece, of which
    // the first four are read.  The words are read in place: a skin load
    // prepares every section's gradients.
    Data.clear();
    if (Text.empty())
        return;
    const std::wstring_view text(Text);
    const auto nextWord = [&text](size_t& At) {
        while (At < text.size() && text[At] == L';')
            ++At;
        const size_t start = At;
        while (At < text.size() && text[At] != L';')
            ++At;
        return text.substr(start, At - start);
    };
    size_t words = 0;
    for (size_t at = 0; !nextWord(at).empty();)
        ++words;
    Data.resize(words / 5);
    // Unreadable text raises as StrToInt does.
    const auto number = [](std::wstring_view Word) {
        int v;
        return TryTextToInt(Word, v) ? v : StrToInt(UnicodeString(Word));
    };
    size_t at = 0;
    for (TsGradPie& p : Data) {
        p.Color1 = std::max(0, number(nextWord(at)));
        p.Color2 = std::max(0, number(nextWord(at)));
        p.Percent = std::clamp(number(nextWord(at)), 0, 100);
        p.Mode1 = number(nextWord(at));
        nextWord(at);
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
