// Section painting of the built-in skin (button 100 x 25, form caption
// 800 x 30, scroll bar 300 x 17) over a parent's cached image, in paints per
// second, each beside two references in the same run:
// - the same nine border pieces drawn with plain GDI calls (a brush fill of
//   the face, then one BitBlt a corner and one StretchBlt a side and the
//   centre out of the skin image, no masks and no blends): what a skinner
//   without pixel work of its own pays.  It redraws every time, so ours is
//   measured against it with the kept pictures off (kvKeepPaintWork false):
//   every paint does all of its work too;
// - its cached bound: one BitBlt of the finished picture, what a paint
//   costs when nothing has changed, against ours with the kept pictures on.
// Then a form title with a glowing caption against the same title without
// the glow (the glow's blurred mask made once per text, font and size and
// kept with the skin).
// One line per measurement, "ratio" = ours / reference (higher is better).
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>

#include "classlib/graphics/Graphics.h"
#include "skin/core/kvntUtils.h"
#include "skin/core/sSkinManager_Store.h"
#include "skin/core/sStyleSimply.h"
#include "skin/paint/sAlphaGraph.h"
#include "skin/paint/sAlphaGraph_Pieces.h"
#include "skin/paint/sGraphUtils.h"
#include "skin/paint/sGraphUtils_Cache.h"

namespace {

class TBenchStore : public TObject, public TsSkinStore {
public:
    TsSkinData Data;
    TBenchStore()
    {
        SkinData = &Data;
        StoreOwner = this;
    }
};

// Paints per second of one short round; Paint gets the state (0 or 1) to
// paint, alternating.
double Round(const std::function<void(int)>& Paint)
{
    using clock = std::chrono::steady_clock;
    long count = 0;
    const auto t0 = clock::now();
    double elapsed = 0;
    do {
        for (int i = 0; i < 20; ++i)
            Paint(i & 1);
        count += 20;
        elapsed = std::chrono::duration<double>(clock::now() - t0).count();
    } while (elapsed < 0.1);
    return count / elapsed;
}

// Ours and the references take turns in short rounds, so that all meet the
// same load of the machine; each keeps its best round.
std::vector<double> TakeTurns(const std::vector<std::function<void(int)>>& Runs)
{
    for (const auto& run : Runs) {
        run(0);  // warm-up
        run(1);
    }
    std::vector<double> best(Runs.size(), 0.0);
    for (int round = 0; round < 8; ++round)
        for (std::size_t i = 0; i < Runs.size(); ++i)
            best[i] = std::max(best[i], Round(Runs[i]));
    return best;
}

void Report(const char* Name, const char* Reference, double Ours, double Ref)
{
    std::printf("%-22s ours %8.0f paints/s   %-20s %8.0f paints/s   ratio %.2f\n", Name, Ours, Reference, Ref,
                Ours / Ref);
}

// The pieces of a border plan drawn with plain BitBlt and StretchBlt out of
// the skin image.
class TGdiSink : public kvPaint::TPieceSink {
public:
    HDC Dst, Src;
    TGdiSink(HDC D, HDC S) : Dst(D), Src(S) {}
    void Copy(kvPaint::TPiece, const TkvRect& D, const TkvRect& S, bool Stretch) override
    {
        if (Stretch)
            ::StretchBlt(Dst, D.Left, D.Top, D.Width(), D.Height(), Src, S.Left, S.Top, S.Width(), S.Height(),
                         SRCCOPY);
        else
            ::BitBlt(Dst, D.Left, D.Top, D.Width(), D.Height(), Src, S.Left, S.Top, SRCCOPY);
    }
};

struct TCase {
    const wchar_t* Section;
    const char* Name;
    int W, H;
};

void SectionCase(TBenchStore& Skin, TBitmap* Parent, const TCase& C)
{
    const int index = Skin.GetSkinIndex(C.Section);
    if (index < 0) {
        std::printf("%ls: not in the skin\n", C.Section);
        return;
    }
    const TsGeneralData& gd = Skin.gd[std::size_t(index)];
    TOwned<TBitmap> bmp(CreateBmp24(C.W, C.H));
    const TRect r(0, 0, C.W, C.H);
    const TCacheInfo ci = MakeCacheInfo(Parent, 10, 10);
    HDC dc = bmp->Canvas()->Handle();

    // The finished pictures of both states, for the cached bound.
    TOwned<TBitmap> done[2] = {TOwned<TBitmap>(CreateBmp24(C.W, C.H)), TOwned<TBitmap>(CreateBmp24(C.W, C.H))};
    for (int s = 0; s < 2; ++s)
        PaintItem(index, C.Section, ci, true, s, r, TPoint(0, 0), done[s].get(), &Skin);

    const TsMaskData* border = Skin.IsValidImgIndex(gd.BorderIndex) ? &Skin.ma[std::size_t(gd.BorderIndex)] : nullptr;
    TBitmap* image = border ? ImageBitmapOf(*border) : nullptr;
    HDC imageDC = image ? image->Canvas()->Handle() : nullptr;
    GdiObject<HBRUSH> face(::CreateSolidBrush(ColorToRGB(gd.Color)));

    const std::vector<double> rates = TakeTurns({
        [&](int State) {
            kvKeepPaintWork = false;
            PaintItem(index, C.Section, ci, true, State, r, TPoint(0, 0), bmp.get(), &Skin);
            kvKeepPaintWork = true;
        },
        [&](int State) {
            RECT e = r;
            ::FillRect(dc, &e, face.Get());
            if (!border)
                return;
            TGdiSink sink(dc, imageDC);
            kvPaint::PlanNinePieces(KvRect(r), NineImageOf(*border),
                                    {FrameOf(*border, State), true, true, true}, sink);
        },
        [&](int State) { PaintItem(index, C.Section, ci, true, State, r, TPoint(0, 0), bmp.get(), &Skin); },
        [&](int State) { ::BitBlt(dc, 0, 0, C.W, C.H, done[State]->Canvas()->Handle(), 0, 0, SRCCOPY); },
    });
    Report(C.Name, "nine GDI, no cache", rates[0], rates[1]);
    Report(C.Name, "cached bound", rates[2], rates[3]);
}

// A form title: the caption section, then the caption text in the
// section's font colour, with or without a glow around it.
void TitleCase(TBenchStore& Skin, TBitmap* Parent)
{
    const int index = Skin.GetSkinIndex(L"FORMTITLE");
    if (index < 0)
        return;
    const TsGeneralData& gd = Skin.gd[std::size_t(index)];
    constexpr int W = 800, H = 30;
    TOwned<TBitmap> bmp(CreateBmp24(W, H));
    bmp->Canvas()->Font()->SetName(L"Tahoma");
    bmp->Canvas()->Font()->SetHeight(-13);
    const TRect r(0, 0, W, H);
    const TCacheInfo ci = MakeCacheInfo(Parent, 10, 10);
    const UnicodeString caption = L"Sample Book - E-book viewer";
    const unsigned flags = DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_NOPREFIX;
    const auto title = [&](int State, bool Glow) {
        PaintItem(index, L"FORMTITLE", ci, true, State, r, TPoint(0, 0), bmp.get(), &Skin);
        TRect text(28, 0, W - 110, H);
        if (Glow)
            DrawTextGlow(&Skin, bmp.get(), caption.c_str(), text, flags, 15, 5, 0xFFFFFF);
        TCanvas* c = bmp->Canvas();
        c->Brush()->SetStyle(bsClear);
        c->Font()->SetColor(State ? gd.HotFontColor[1] : gd.FontColor[1]);
        kvDrawText(c->Handle(), caption, text, flags);
    };
    const std::vector<double> rates = TakeTurns({
        [&](int State) { title(State, true); },
        [&](int State) { title(State, false); },
    });
    Report("form title 800x30", "without glow", rates[0], rates[1]);
}

} // namespace

int main()
{
    TBenchStore skin;
    const std::string dir = KV_BUILT_SKIN;
    const std::wstring wdir(dir.begin(), dir.end());
    try {
        skin.ReloadPackedSkin(wdir + L"/internal.plz", wdir, {});
    } catch (const std::exception& e) {
        std::printf("the built-in skin did not load: %s\n", e.what());
        return 1;
    }
    TOwned<TBitmap> parent(CreateBmp24(1000, 200));
    FillDC(parent->Canvas()->Handle(), TRect(0, 0, 1000, 200), 0xE0E0E0);
    const TCase cases[] = {{L"BUTTON", "button 100x25", 100, 25},
                           {L"FORMTITLE", "form caption 800x30", 800, 30},
                           {L"SCROLLBAR1H", "scroll bar 300x17", 300, 17}};
    for (const TCase& c : cases)
        SectionCase(skin, parent.get(), c);
    TitleCase(skin, parent.get());
    return 0;
}
