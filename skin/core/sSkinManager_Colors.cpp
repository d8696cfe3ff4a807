#include "skin/core/sSkinManager_Colors.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "classlib/graphics/Graphics.h"
#include "skin/core/sSkinManager_Pixels.h"
#include "skin/core/sSkinManager_Store.h"
#include "skin/core/sSkinProps.h"
#include "skin/paint/sGraphUtils.h"

namespace {

// Own bitmaps: a 32-bit one in place (its alpha kept), any other made 24-bit.
template <class F>
void RecolourOwn(TBitmap* Bmp, bool SkipGreys32, bool SkipGreysOther, F Change)
{
    if (Bmp->Empty())
        return;
    if (Bmp->PixelFormat() == pf32bit) {
        RecolourRows(Bmp->Rows(), SkipGreys32, Change);
        return;
    }
    Bmp->SetPixelFormat(pf24bit);
    RecolourRows(Bmp->Rows(), SkipGreysOther, Change);
}

template <class F>
void RecolourGradient(TsGradArray& Pieces, F Change)
{
    for (TsGradPie& p : Pieces) {
        p.Color1 = Change(p.Color1);
        p.Color2 = Change(p.Color2);
    }
}

// The colours of every section: background, hot background, text and
// contour colours (-1 stays "none") and the gradient pieces.
template <class F>
void RecolourSections(TsSkinStore* sm, F Change)
{
    for (TsGeneralData& g : sm->gd) {
        g.Color = Change(g.Color);
        g.HotColor = Change(g.HotColor);
        for (int i = 1; i <= 5; ++i) {
            if (g.FontColor[i] != -1)
                g.FontColor[i] = Change(g.FontColor[i]);
            if (g.HotFontColor[i] != -1)
                g.HotFontColor[i] = Change(g.HotFontColor[i]);
        }
        RecolourGradient(g.GradientArray, Change);
        RecolourGradient(g.HotGradientArray, Change);
    }
}

template <class F>
void RecolourGlobals(TsSkinStore* sm, F Change)
{
    if (!sm->SkinData)
        return;
    sm->SkinData->Shadow1Color = Change(sm->SkinData->Shadow1Color);
    sm->SkinData->BorderColor = Change(sm->SkinData->BorderColor);
}

template <class F>
void RecolourMaster(TsSkinStore* sm, bool SkipGreys, F Change)
{
    if (sm->MasterBitmap && !sm->MasterBitmap->Empty()) {
        if (sm->MasterBitmap->PixelFormat() != pf32bit)
            sm->MasterBitmap->SetPixelFormat(pf24bit);
        RecolourRows(sm->MasterBitmap->Rows(), SkipGreys, Change);
    }
}

// A piece of the master image kept aside while the rest changes.
struct TsKeptRegion {
    TRect R;
    std::unique_ptr<TBitmap> Copy;
};

// A glyph of the master image is copied aside; any other (an image of its
// own, or none) is listed as kept.
void KeepGlyph(TsSkinStore* sm, int Index, std::vector<TsKeptRegion>& Regions, std::vector<int>& Kept)
{
    if (Index < 0 || sm->ma[size_t(Index)].Bmp || !sm->MasterBitmap) {
        Kept.push_back(Index);
        return;
    }
    TsKeptRegion k;
    k.R = sm->ma[size_t(Index)].R;
    if (k.R.IsEmpty())
        return;
    k.Copy = std::make_unique<TBitmap>(k.R.Width(), k.R.Height(), pf24bit);
    k.Copy->Canvas()->CopyRect(TRect(0, 0, k.R.Width(), k.R.Height()), sm->MasterBitmap->Canvas(), k.R);
    Regions.push_back(std::move(k));
}

// The title-bar glyphs that keep their hue, and their glow images.
void KeepTitleGlyphs(TsSkinStore* sm, std::vector<TsKeptRegion>& Regions, std::vector<int>& Kept)
{
    static const wchar_t* const all[] = {s_BiconClose, s_SiconClose, s_BiconMax, s_BiconMin, s_BiconNorm,
                                         s_BiconHelp, s_SiconMax, s_SiconMin, s_SiconNorm};
    const int count = sm->SkinData->BIKeepHUE == 1 ? 9 : 2;
    for (int i = 0; i < count; ++i) {
        const UnicodeString name = all[i];
        KeepGlyph(sm, sm->GetMaskIndex(s_GlobalInfo, name), Regions, Kept);
        const int glow = sm->GetMaskIndex(s_GlobalInfo, name + L"GLOW0");
        if (glow >= 0 && sm->ma[size_t(glow)].Bmp)
            Kept.push_back(glow);
    }
}

void RestoreRegions(TsSkinStore* sm, std::vector<TsKeptRegion>& Regions)
{
    for (TsKeptRegion& k : Regions)
        sm->MasterBitmap->Canvas()->CopyRect(k.R, k.Copy->Canvas(), TRect(0, 0, k.R.Width(), k.R.Height()));
}

} // namespace

void ChangeSkinHue(TsSkinStore* sm, int Delta)
{
    if (!sm || Delta == 0)
        return;
    auto change = [Delta](TColor c) { return ChangeHue(Delta, c); };
    std::vector<TsKeptRegion> regions;
    std::vector<int> kept;
    const bool keep = sm->SkinData && sm->SkinData->BIKeepHUE != 0;
    if (keep)
        KeepTitleGlyphs(sm, regions, kept);
    RecolourMaster(sm, true, change);
    RestoreRegions(sm, regions);
    for (size_t i = 0; i < sm->ma.size(); ++i) {
        TBitmap* b = sm->ma[i].Bmp;
        if (b && !(keep && std::find(kept.begin(), kept.end(), int(i)) != kept.end()))
            RecolourOwn(b, true, false, change);
    }
    RecolourSections(sm, change);
    RecolourGlobals(sm, change);
}

void ChangeSkinSaturation(TsSkinStore* sm, int Saturation)
{
    if (!sm || Saturation == 0)
        return;
    // Positive settings mean stronger colours: the colour routine moves
    // toward grey for a positive delta.
    const int delta = -(Saturation % 101);
    auto change = [delta](TColor c) { return ChangeSaturation(ColorToRGB(c), delta); };
    RecolourMaster(sm, true, change);
    for (TsMaskData& m : sm->ma)
        if (m.Bmp)
            RecolourOwn(m.Bmp, true, true, change);
    RecolourSections(sm, change);
    RecolourGlobals(sm, change);
}

void ChangeSkinBrightness(TsSkinStore* sm, int Delta)
{
    if (!sm || Delta == 0)
        return;
    auto change = [Delta](TColor c) { return ChangeBrightness(ColorToRGB(c), Delta); };
    RecolourMaster(sm, false, change);
    for (TsMaskData& m : sm->ma)
        if (m.Bmp)
            RecolourOwn(m.Bmp, false, false, change);
    RecolourSections(sm, change);
}
