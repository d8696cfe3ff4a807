// The built-in skin loaded the way the main form's manager loads it: the
// packed data of an internal skin unpacked, its description parsed, its
// images decoded, the tables and the constant indexes built.  Beside it, in
// the same run, its floor: the same container inflated and its images
// decoded, nothing else.  One line each: loads per second, and "ratio"
// (whole load / floor, in time; the goal is at most 1.5).
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>

#include "classlib/graphics/Graphics.h"
#include "classlib/rtl/Lists.h"
#include "classlib/rtl/Streams.h"
#include "skin/core/kvSkinPack.h"
#include "skin/core/sSkinManager.h"
#include "skin/paint/kvPNG.h"

namespace {

std::wstring Widen(const std::string& S)
{
    return std::wstring(S.begin(), S.end());
}

// Loads per second of one short round.
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
    } while (elapsed < 0.25);
    return n / elapsed;
}

// The two take turns, so that both meet the same load of the machine, and
// each keeps its best round.
void TakeTurns(const std::function<void()>& A, const std::function<void()>& B, double& BestA, double& BestB)
{
    A();  // warm-up
    B();
    BestA = BestB = 0;
    for (int i = 0; i < 12; ++i) {
        BestA = std::max(BestA, Round(A));
        BestB = std::max(BestB, Round(B));
    }
}

// Inflates the container and decodes every image in it.
void Floor(TMemoryStream& Packed)
{
    TkvSkinConvertor sc;
    sc.PackedData = new TMemoryStream;
    sc.PackedData->LoadFromStream(&Packed);
    ExtractPackedData(&sc);
    for (const TkvImageItem& item : sc.Files) {
        item.FileStream->SetPosition(0);
        TBitmap bmp;
        if (item.IsBitmap) {
            bmp.LoadFromStream(item.FileStream);
        } else {
            TPNGGraphic png;
            png.LoadFromStream(item.FileStream);
            bmp.Assign(&png);
        }
    }
}

} // namespace

int main()
{
    const std::wstring name = Widen(KV_INTERNAL_SKIN_NAME);
    TMemoryStream packed;
    packed.LoadFromFile(Widen(KV_INTERNAL_SKIN_FILE));

    std::unique_ptr<TsSkinManager> sm(New<TsSkinManager>(nullptr));
    sm->SetActive(false);  // loads are measured alone, nobody is told
    auto* item = static_cast<TsStoredSkin*>(sm->InternalSkins()->Add());
    item->SetName(name);
    item->PackedData->LoadFromStream(&packed);
    const TsSkinLoadSettings settings{sm->CommonSections(), 0, 0};
    const UnicodeString dir = sm->GetFullSkinDirectory();

    double whole = 0, floor = 0;
    TakeTurns(
        [&] {
            UnicodeString skin = name;
            sm->ReloadSkin(dir, skin, sm->InternalSkins(), settings);
        },
        [&] { Floor(packed); }, whole, floor);
    std::printf("skin load: %.1f loads/s, floor (inflate and decode): %.1f loads/s, ratio %.2f\n", whole, floor,
                floor / whole);
    return 0;
}
