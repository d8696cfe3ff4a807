// PaintItem of common sections of the built-in skin (button 100 x 25, form
// caption 800 x 30, scroll bar 300 x 17) over a parent's cached image, in
// paints per second, against the plain look of the same rectangles
// (FillRect + DrawEdge into the same kind of bitmap) in the same run.
// "ratio" is ours / reference (higher is better; the reference is a floor
// that skinned painting, with its borders and blends, is not expected to reach).
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "classlib/graphics/Graphics.h"
#include "skin/core/kvntUtils.h"
#include "skin/core/sSkinManager_Store.h"
#include "skin/core/sStyleSimply.h"
#include "skin/paint/sGraphUtils.h"

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

// Paints per second of Paint, run in rounds until half a second has passed.
template <class F>
double Rate(F Paint)
{
    using clock = std::chrono::steady_clock;
    long count = 0;
    const auto t0 = clock::now();
    double elapsed = 0;
    do {
        for (int i = 0; i < 50; ++i)
            Paint(i & 1);
        count += 50;
        elapsed = std::chrono::duration<double>(clock::now() - t0).count();
    } while (elapsed < 0.5);
    return count / elapsed;
}

struct TCase {
    const wchar_t* Section;
    const char* Name;
    int W, H;
};

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
    for (const TCase& c : cases) {
        const int index = skin.GetSkinIndex(c.Section);
        if (index < 0) {
            std::printf("%ls: not in the skin\n", c.Section);
            continue;
        }
        TOwned<TBitmap> bmp(CreateBmp24(c.W, c.H));
        const TRect r(0, 0, c.W, c.H);
        const TCacheInfo ci = MakeCacheInfo(parent.get(), 10, 10);
        const double ours = Rate([&](int State) {
            PaintItem(index, c.Section, ci, true, State, r, TPoint(0, 0), bmp.get(), &skin);
        });
        HDC dc = bmp->Canvas()->Handle();
        const HBRUSH face = ::GetSysColorBrush(COLOR_BTNFACE);
        const double reference = Rate([&](int State) {
            RECT e = r;
            ::FillRect(dc, &e, face);
            ::DrawEdge(dc, &e, State ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
        });
        std::printf("%-22s ours %9.0f paints/s   FillRect+DrawEdge %9.0f paints/s   ratio %.2f\n", c.Name, ours,
                    reference, ours / reference);
    }
    return 0;
}
