// The skinned buttons' promise: a repaint costs one copy of the cache.  For
// each button kind two lines, best of short rounds taken in turn with the
// reference, "ratio" = ours / reference in throughput (higher is better):
//   repaint     the button painted from its ready cache against one BitBlt
//               of a bitmap of the button's size (goal: at least 0.7);
//   first paint the cache built and copied against PaintItem of the same
//               section alone, the least a first paint must do (goal: at
//               least 0.5).
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <utility>

#include "classlib/controls/Forms.h"
#include "classlib/graphics/Graphics.h"
#include "classlib/rtl/Streams.h"
#include "skin/controls/sBitBtn.h"
#include "skin/controls/sButton.h"
#include "skin/controls/sSpeedButton.h"
#include "skin/core/sCommonData.h"
#include "skin/core/sSkinManager.h"
#include "skin/paint/sGraphUtils_Sections.h"

namespace {

std::wstring Widen(const std::string& S)
{
    return std::wstring(S.begin(), S.end());
}

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
    } while (elapsed < 0.2);
    return n / elapsed;
}

// The two take turns, so that both meet the same load of the machine, and
// each keeps its best round.
void TakeTurns(const std::function<void()>& A, const std::function<void()>& B, double& BestA, double& BestB)
{
    A();  // warm-up
    B();
    BestA = BestB = 0;
    for (int i = 0; i < 10; ++i) {
        BestA = std::max(BestA, Round(A));
        BestB = std::max(BestB, Round(B));
    }
}

void Report(const char* What, const char* Reference, double Ours, double Ref)
{
    std::printf("%s: %.0f/s, %s: %.0f/s, ratio %.2f\n", What, Ours, Reference, Ref, Ours / Ref);
}

} // namespace

int main()
{
    std::unique_ptr<TsSkinManager> sm(New<TsSkinManager>(nullptr));
    auto* item = static_cast<TsStoredSkin*>(sm->InternalSkins()->Add());
    item->SetName(Widen(KV_INTERNAL_SKIN_NAME));
    item->PackedData->LoadFromFile(Widen(KV_INTERNAL_SKIN_FILE));
    sm->SetSkinName(Widen(KV_INTERNAL_SKIN_NAME));
    if (!sm->Active()) {
        std::printf("the built-in skin did not load\n");
        return 1;
    }

    TForm* form = TForm::CreateNew(Application);
    form->SetBounds(0, 0, 320, 200);
    form->HandleNeeded();
    const int W = 75, H = 25;
    auto* speed = New<TsSpeedButton>(form);
    speed->SkinData()->SetSkinSection(L"BUTTON");
    speed->SetBounds(10, 10, W, H);
    speed->SetCaption(L"Button");
    speed->SetParent(form);

    TBitmap screen(320, 200, pf24bit), source(W, H, pf24bit);
    HDC dc = screen.Canvas()->Handle();
    const int saved = ::SaveDC(dc);
    ::SetViewportOrgEx(dc, speed->Left(), speed->Top(), nullptr);
    auto paintSpeed = [&] {
        speed->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
        ::GdiFlush();
    };
    paintSpeed();
    if (speed->SkinData()->BGChanged || !speed->SkinData()->FCacheBmp) {
        std::printf("the speed button did not build its cache\n");
        return 1;
    }
    double ours = 0, ref = 0;
    TakeTurns(paintSpeed,
              [&] {
                  ::BitBlt(dc, 0, 0, W, H, source.Canvas()->Handle(), 0, 0, SRCCOPY);
                  ::GdiFlush();
              },
              ours, ref);
    Report("speed button 75x25, repaint from its cache", "one BitBlt of its size", ours, ref);

    TsCommonData data(nullptr, true);
    data.SetSkinManager(sm.get());
    data.SetSkinSection(L"BUTTON");
    TBitmap section(W, H, pf24bit);
    TCacheInfo ci;
    ci.FillColor = ColorToRGB(form->Color());
    auto sectionAlone = [&] {
        PaintItem(&data, ci, true, 0, TRect(0, 0, W, H), TPoint(10, 10), &section, true);
        ::GdiFlush();
    };
    auto firstPaint = [&] {
        speed->SkinData()->BGChanged = true;
        paintSpeed();
    };
    speed->SetCaption(L"");
    TakeTurns(firstPaint, sectionAlone, ours, ref);
    Report("speed button 75x25, first paint (cache built)", "PaintItem of BUTTON alone", ours, ref);
    // The caption's text is work the section alone does not do.
    speed->SetCaption(L"Button");
    TakeTurns(firstPaint, sectionAlone, ours, ref);
    Report("speed button 75x25 with a caption, first paint", "PaintItem of BUTTON alone", ours, ref);

    // The windowed push buttons: the same two measures.
    auto* push = New<TsButton>(form);
    auto* bit = New<TsBitBtn>(form);
    for (TWinControl* b : std::initializer_list<TWinControl*>{push, bit}) {
        b->SetBounds(10, 10, W, H);
        b->SetCaption(L"Button");
        b->SetParent(form);
        b->HandleNeeded();
    }
    const std::pair<TWinControl*, const char*> windowed[] = {{push, "push button"}, {bit, "bit button"}};
    for (const auto& [b, name] : windowed) {
        TsCommonData* skin = SkinDataOf(b);
        auto paint = [&, b = b] {
            b->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
            ::GdiFlush();
        };
        paint();
        if (skin->BGChanged || !skin->FCacheBmp) {
            std::printf("the %s did not build its cache\n", name);
            return 1;
        }
        TakeTurns(paint,
                  [&] {
                      ::BitBlt(dc, 0, 0, W, H, source.Canvas()->Handle(), 0, 0, SRCCOPY);
                      ::GdiFlush();
                  },
                  ours, ref);
        Report((std::string(name) + " 75x25, repaint from its cache").c_str(), "one BitBlt of its size", ours, ref);
        TakeTurns(
            [&] {
                skin->BGChanged = true;
                paint();
            },
            sectionAlone, ours, ref);
        Report((std::string(name) + " 75x25, first paint (cache built)").c_str(), "PaintItem of BUTTON alone", ours,
               ref);
    }
    ::RestoreDC(dc, saved);
    delete form;
    return 0;
}
