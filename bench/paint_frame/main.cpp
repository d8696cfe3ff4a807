// The window image of a skinned 1024x768 form rebuilt whole (PaintAll: the
// borders, the title band with its caption and buttons, the client ground)
// against its floor, one copy of a bitmap of the window's size and pixel
// format, in the same run.  One line: rebuilds and copies per second, and "ratio" (rebuild /
// copy, in time; the goal is at most 3).
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>

#include "classlib/controls/Forms.h"
#include "classlib/graphics/Graphics.h"
#include "classlib/rtl/Streams.h"
#include "skin/core/sSkinManager.h"
#include "skin/forms/kvDials.h"
#include "skin/forms/sSkinProvider.h"

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

} // namespace

int main()
{
    RegisterSkinFormsServices();
    std::unique_ptr<TsSkinManager> sm(New<TsSkinManager>(nullptr));
    auto* item = static_cast<TsStoredSkin*>(sm->InternalSkins()->Add());
    item->SetName(Widen(KV_INTERNAL_SKIN_NAME));
    item->PackedData->LoadFromFile(Widen(KV_INTERNAL_SKIN_FILE));
    sm->SetSkinName(Widen(KV_INTERNAL_SKIN_NAME));

    TForm* form = TForm::CreateNew(Application);
    form->SetBorderStyle(bsSizeable);
    form->SetCaption(L"Paint frame");
    form->SetBounds(0, 0, 1024, 768);
    form->Show();
    Application->ProcessMessages();
    TsSkinProvider* sp = GetSkinProvider(form);
    if (!sm->Active() || !sp) {
        std::printf("the form is not skinned: the built-in skin did not load\n");
        return 1;
    }
    TBitmap* image = sp->SkinData()->FCacheBmp;
    sp->SkinData()->BGChanged = true;
    sp->PaintAll();
    if (!image || image->Width() < 1024 || image->Height() < 768) {
        std::printf("the window image is not the window's size\n");
        return 1;
    }

    // The floor copies bitmaps of the window image's own format (24-bit).
    const TPixelFormat format = image->PixelFormat();
    TBitmap source(1024, 768, format), target(1024, 768, format);
    double rebuild = 0, copy = 0;
    TakeTurns(
        [&] {
            sp->SkinData()->BGChanged = true;
            sp->PaintAll();
        },
        [&] {
            ::BitBlt(target.Canvas()->Handle(), 0, 0, 1024, 768, source.Canvas()->Handle(), 0, 0, SRCCOPY);
            ::GdiFlush();
        },
        rebuild, copy);
    std::printf("window image of a 1024x768 form: %.1f rebuilds/s, floor (one window-sized copy): %.1f copies/s, "
                "ratio %.2f\n", rebuild, copy, copy / rebuild);
    delete form;
    return 0;
}
