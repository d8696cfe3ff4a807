// The built-in skin loaded the way the main form's manager loads it: the
// packed data of an internal skin unpacked, its description parsed, its
// images decoded, the tables and the constant indexes built.  Beside it, in
// the same run, its floor: the same container inflated and its images
// decoded, nothing else.  One line each: loads per second, and "ratio"
// (whole load / floor, in time; the goal is at most 1.5).
//
//   skin_load.exe [steps]
// "steps" also prints the best time of each step of a load, in
// microseconds, the way the store's LoadSkin runs them.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "classlib/graphics/Graphics.h"
#include "classlib/rtl/FileUtils.h"
#include "classlib/rtl/IniFiles.h"
#include "classlib/rtl/Lists.h"
#include "classlib/rtl/Streams.h"
#include "skin/core/kvSkinPack.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/sSkinManager_Load.h"
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

double Now()
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// The best time of each step of a load over many loads, in microseconds.
void Steps(TsSkinManager& Sm, TMemoryStream& Packed, const TsSkinLoadSettings& Settings)
{
    const char* names[] = {"inflate the container", "decode the images alone", "description into lines",
                           "images (decoded and entries)", "patterns", "globals, sections, mask indexes",
                           "constant indexes", "free the skin and the description"};
    constexpr int count = std::size(names);
    double best[count];
    std::fill(best, best + count, 1e30);
    for (int round = 0; round < 300; ++round) {
        double t[count + 1];
        int n = 0;
        t[n++] = Now();
        auto sc = std::make_unique<TkvSkinConvertor>();
        sc->PackedData = new TMemoryStream;
        sc->PackedData->LoadFromStream(&Packed);
        ExtractPackedData(sc.get());
        t[n++] = Now();
        for (const TkvImageItem& item : sc->Files) {
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
        t[n++] = Now();
        auto ini = std::make_unique<TMemIniFile>();
        LoadDescription(ini.get(), sc->Options);
        t[n++] = Now();
        {
            TsSkinSource source;
            source.sc = sc.get();
            source.SkinFile = ini.get();
            TsSkinData data;
            auto staged = std::make_unique<TsSkinStore>();
            staged->SkinData = &data;
            staged->StoreOwner = &Sm;
            TsSkinLoader loader(Sm, *staged, source, Settings);
            loader.LoadAllMasks();
            t[n++] = Now();
            loader.LoadAllPatterns();
            t[n++] = Now();
            loader.LoadAllGeneralData();
            t[n++] = Now();
            staged->InitConstantIndexes();
            t[n++] = Now();
            staged.reset();
            ini.reset();
            sc.reset();
            t[n++] = Now();
        }
        for (int i = 0; i < count; ++i)
            best[i] = std::min(best[i], t[i + 1] - t[i]);
    }
    for (int i = 0; i < count; ++i)
        std::printf("  %-36s %8.1f us\n", names[i], best[i] * 1e6);
    double reload = 1e30, floor = 1e30, exists = 1e30;
    std::vector<double> loads, floors;
    const UnicodeString dir = Sm.GetFullSkinDirectory();
    for (int round = 0; round < 300; ++round) {
        UnicodeString skin = Sm.InternalSkins()->GetItem(0)->Name();
        double t0 = Now();
        Sm.ReloadSkin(dir, skin, Sm.InternalSkins(), Settings);
        double t1 = Now();
        Floor(Packed);
        double t2 = Now();
        FileExists(dir + L"\\" + skin + L"\\Options.dat");
        double t3 = Now();
        loads.push_back(t1 - t0);
        floors.push_back(t2 - t1);
        reload = std::min(reload, t1 - t0);
        floor = std::min(floor, t2 - t1);
        exists = std::min(exists, t3 - t2);
    }
    std::printf("  single load %.1f us, floor %.1f us, ratio %.2f; the folder check %.1f us\n", reload * 1e6,
                floor * 1e6, reload / floor, exists * 1e6);
    // The middle of each: how much a load moves besides its best.
    std::sort(loads.begin(), loads.end());
    std::sort(floors.begin(), floors.end());
    const double load50 = loads[loads.size() / 2], floor50 = floors[floors.size() / 2];
    std::printf("  median load %.1f us, median floor %.1f us, ratio %.2f\n", load50 * 1e6, floor50 * 1e6,
                load50 / floor50);
}

} // namespace

int main(int argc, char** argv)
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
    if (argc > 1 && std::string(argv[1]) == "steps")
        Steps(*sm, packed, settings);
    return 0;
}
