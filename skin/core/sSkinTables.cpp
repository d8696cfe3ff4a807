#include "skin/core/sSkinTables.h"

#include <algorithm>
#include <iterator>

#include "classlib/graphics/Graphics.h"
#include "skin/core/sSkinProps.h"

namespace {

constexpr TColor NoColor = 0xFF00FF;

bool IsNeutralColor(TColor c)
{
    return c == -1 || c == NoColor || c == 0xFFFFFF;
}

// A border width of a nine-piece image: its own side's, else the uniform
// one, else a whole frame.
int BorderOr(int Side, int Uniform, int Frame)
{
    return Side > 0 ? Side : Uniform > 0 ? Uniform : Frame;
}

// Looks up Section with Match, then the chain of its parent sections (the
// ParentClass of its gd entry, whose own index IndexOf finds).  A section
// met twice ends the chain, so a cycle in the description answers -1
// instead of recursing forever.  The names stay in gd (or are the
// caller's) for the whole search; chains are short, so the names passed
// are kept on the stack while they fit.
template <class IndexOf, class Match>
int FindInSections(const TsGeneralDataArray& gd, int Index, std::wstring_view Section, IndexOf indexOf, Match match)
{
    std::wstring_view kept[16];
    std::vector<std::wstring_view> more;
    size_t passed = 0;
    auto seen = [&](std::wstring_view Name) {
        for (size_t i = 0; i < passed && i < std::size(kept); ++i)
            if (kept[i] == Name)
                return true;
        return std::find(more.begin(), more.end(), Name) != more.end();
    };
    while (Index >= 0 && !Section.empty()) {
        const int found = match(Section);
        if (found >= 0)
            return found;
        if (passed < std::size(kept))
            kept[passed] = Section;
        else
            more.push_back(Section);
        ++passed;
        if (Index >= static_cast<int>(gd.size()))
            return -1;
        const std::wstring_view parent = gd[static_cast<size_t>(Index)].ParentClass;
        if (parent.empty() || seen(parent))
            return -1;
        Index = indexOf(parent);
        Section = parent;
    }
    return -1;
}

} // namespace

int TsSkinTables::GetSkinIndex(std::wstring_view SkinSection) const
{
    for (size_t i = 0; i < gd.size(); ++i)
        if (gd[i].ClassName == SkinSection)
            return static_cast<int>(i);
    return -1;
}

int TsSkinTables::GetMaskIndex(int SkinIndex, const UnicodeString& SkinSection, const UnicodeString& mask) const
{
    return FindInSections(gd, SkinIndex, SkinSection, [this](std::wstring_view p) { return GetSkinIndex(p); },
                          [this, &mask](std::wstring_view s) { return GetMaskIndex(s, mask); });
}

int TsSkinTables::GetMaskIndex(std::wstring_view SkinSection, std::wstring_view mask) const
{
    if (SkinSection.empty())
        return -1;
    for (size_t i = 0; i < ma.size(); ++i)
        if (ma[i].ClassName == SkinSection && ma[i].PropertyName == mask)
            return static_cast<int>(i);
    return -1;
}

int TsSkinTables::GetTextureIndex(int SkinIndex, const UnicodeString& SkinSection, const UnicodeString& PropName) const
{
    if (ma.empty())
        return -1;
    return FindInSections(gd, SkinIndex, SkinSection, [this](std::wstring_view p) { return GetSkinIndex(p); },
                          [this, &PropName](std::wstring_view s) {
        for (size_t i = 0; i < ma.size(); ++i)
            if (ma[i].ImgType == itisaTexture && ma[i].ClassName == s && ma[i].PropertyName == PropName)
                return static_cast<int>(i);
        return -1;
    });
}

int TsSkinTables::GetPatternIndex(int SkinIndex, const UnicodeString& SkinSection, const UnicodeString& pattern) const
{
    if (pa.empty())
        return -1;
    return FindInSections(gd, SkinIndex, SkinSection, [this](std::wstring_view p) { return GetSkinIndex(p); },
                          [this, &pattern](std::wstring_view s) {
        for (size_t i = 0; i < pa.size(); ++i)
            if (pa[i].ClassName == s && pa[i].PropertyName == pattern)
                return static_cast<int>(i);
        return -1;
    });
}

int TsSkinTables::MaskWidthLeft(int MaskIndex)
{
    if (!IsValidImgIndex(MaskIndex))
        return 0;
    TsMaskData& m = ma[static_cast<size_t>(MaskIndex)];
    if (m.WL <= 0 && m.BorderWidth <= 0 && m.ImageCount == 0)
        m.ImageCount = 1;  // the entry is repaired as it is measured
    return BorderOr(m.WL, m.BorderWidth, WidthOfImage(m));
}

int TsSkinTables::MaskWidthTop(int MaskIndex) const
{
    if (!IsValidImgIndex(MaskIndex))
        return 0;
    const TsMaskData& m = ma[static_cast<size_t>(MaskIndex)];
    return BorderOr(m.WT, m.BorderWidth, HeightOfImage(m));
}

int TsSkinTables::MaskWidthRight(int MaskIndex) const
{
    if (!IsValidImgIndex(MaskIndex))
        return 0;
    const TsMaskData& m = ma[static_cast<size_t>(MaskIndex)];
    return BorderOr(m.WR, m.BorderWidth, WidthOfImage(m));
}

int TsSkinTables::MaskWidthBottom(int MaskIndex) const
{
    if (!IsValidImgIndex(MaskIndex))
        return 0;
    const TsMaskData& m = ma[static_cast<size_t>(MaskIndex)];
    return BorderOr(m.WB, m.BorderWidth, HeightOfImage(m));
}

TSize TsSkinTables::MaskSize(int MaskIndex) const
{
    // An image with a bitmap of its own is a three-state picture over its
    // mask; one in the master bitmap is measured by its frames.
    if (!IsValidImgIndex(MaskIndex))
        return TSize(0, 0);
    const TsMaskData& m = ma[static_cast<size_t>(MaskIndex)];
    if (m.Bmp)
        return TSize(m.Bmp->Width() / 3, m.Bmp->Height() / 2);
    return TSize(WidthOfImage(m), HeightOfImage(m));
}

bool TsSkinTables::IsValidSkinIndex(int SkinIndex) const
{
    return SkinData && SkinIndex >= 0 && SkinIndex < static_cast<int>(gd.size());
}

bool TsSkinTables::IsValidImgIndex(int ImageIndex) const
{
    return ImageIndex >= 0 && ImageIndex < static_cast<int>(ma.size());
}

const TsGeneralData* TsSkinTables::GlobalInfo() const
{
    int i = ConstData.IndexGLobalInfo;
    return i >= 0 && i < static_cast<int>(gd.size()) ? &gd[static_cast<size_t>(i)] : nullptr;
}

TColor TsSkinTables::GetGlobalColor() const
{
    const TsGeneralData* g = GlobalInfo();
    return ColorToRGB(g ? g->Color : clBtnFace);
}

TColor TsSkinTables::GetGlobalFontColor() const
{
    const TsGeneralData* g = GlobalInfo();
    return g ? ColorToRGB(g->FontColor[1]) : NoColor;
}

TColor TsSkinTables::GetActiveEditColor() const
{
    const TsGeneralData* g = GlobalInfo();
    return ColorToRGB(g ? g->HotColor : clWindow);
}

TColor TsSkinTables::GetActiveEditFontColor() const
{
    int i = GetSkinIndex(s_Edit);
    return i >= 0 ? ColorToRGB(gd[static_cast<size_t>(i)].HotFontColor[1]) : NoColor;
}

TColor TsSkinTables::GetHighLightColor() const
{
    int i = GetSkinIndex(s_MenuItem);
    if (i >= 0 && !IsNeutralColor(gd[static_cast<size_t>(i)].HotColor))
        return ColorToRGB(gd[static_cast<size_t>(i)].HotColor);
    return clHighlight;
}

TColor TsSkinTables::GetHighLightFontColor() const
{
    int i = GetSkinIndex(s_MenuItem);
    if (i >= 0) {
        const TsGeneralData& g = gd[static_cast<size_t>(i)];
        TColor c = g.HotFontColor[1];
        if (!IsNeutralColor(c) && c != 0 && !IsNeutralColor(g.HotColor))
            return ColorToRGB(c);
    }
    return clHighlightText;
}

TsTableIndex::TsTableIndex(const TsSkinTables& Tables)
    : FTables(Tables),
      // Room for a node and a bucket of every name, so that one block serves.
      FPool(64 * (Tables.gd.size() + Tables.ma.size()) + 256),
      FSections(&FPool),
      FFirstMask(&FPool),
      FNextMask(Tables.ma.size(), -1)
{
    const TsGeneralDataArray& gd = Tables.gd;
    FSections.reserve(gd.size());
    for (size_t i = 0; i < gd.size(); ++i)
        FSections.emplace(gd[i].ClassName, static_cast<int>(i));
    // Linked from the last entry back, so that each section's list keeps
    // the order of ma.
    const TsMaskArray& ma = Tables.ma;
    FFirstMask.reserve(ma.size());
    for (size_t i = ma.size(); i-- > 0;) {
        const auto [it, added] = FFirstMask.emplace(ma[i].ClassName, static_cast<int>(i));
        if (!added) {
            FNextMask[i] = it->second;
            it->second = static_cast<int>(i);
        }
    }
}

int TsTableIndex::SkinIndex(std::wstring_view Section) const
{
    const auto it = FSections.find(Section);
    return it == FSections.end() ? -1 : it->second;
}

int TsTableIndex::MaskIndex(std::wstring_view Section, std::wstring_view Key) const
{
    if (Section.empty())
        return -1;
    const auto it = FFirstMask.find(Section);
    for (int i = it == FFirstMask.end() ? -1 : it->second; i >= 0; i = FNextMask[static_cast<size_t>(i)])
        if (FTables.ma[static_cast<size_t>(i)].PropertyName == Key)
            return i;
    return -1;
}

int TsTableIndex::MaskIndex(int Index, std::wstring_view Section, std::wstring_view Key) const
{
    return FindInSections(FTables.gd, Index, Section, [this](std::wstring_view p) { return SkinIndex(p); },
                          [this, Key](std::wstring_view s) { return MaskIndex(s, Key); });
}

void TsSkinTables::InitConstantIndexes()
{
    TConstantSkinData& c = ConstData;
    const TsTableIndex tables(*this);
    auto idx = [&tables](const wchar_t* section) { return static_cast<int16_t>(tables.SkinIndex(section)); };
    auto mask = [&tables](int index, const wchar_t* section, const wchar_t* key) {
        return static_cast<int16_t>(tables.MaskIndex(index, section, key));
    };

    // Check boxes, radio buttons and the extended border of GLOBALINFO.
    c.IndexGLobalInfo = idx(s_GlobalInfo);
    int g = c.IndexGLobalInfo;
    c.CheckBoxChecked = mask(g, s_GlobalInfo, s_BoxChecked);
    c.CheckBoxUnChecked = mask(g, s_GlobalInfo, s_BoxUnchecked);
    c.CheckBoxGrayed = mask(g, s_GlobalInfo, s_BoxGrayed);
    c.RadioButtonChecked = mask(g, s_GlobalInfo, s_RadioChecked);
    c.RadioButtonUnChecked = mask(g, s_GlobalInfo, s_RadioUnchecked);
    c.RadioButtonGrayed = mask(g, s_GlobalInfo, s_RadioGrayed);
    c.SmallCheckBoxChecked = mask(g, s_GlobalInfo, s_SmallChecked);
    c.SmallCheckBoxUnChecked = mask(g, s_GlobalInfo, s_SmallUnchecked);
    c.SmallCheckBoxGrayed = mask(g, s_GlobalInfo, s_SmallGrayed);
    c.ExBorder = mask(g, s_GlobalInfo, s_ExBorder);

    // Combo button.
    c.ComboBtnIndex = tables.SkinIndex(s_ComboBtn);
    c.ComboBtnBorder = tables.MaskIndex(s_ComboBtn, s_BordersMask);
    c.ComboBtnBG = GetTextureIndex(c.ComboBtnIndex, s_ComboBtn, s_Pattern);
    c.ComboBtnBGHot = GetTextureIndex(c.ComboBtnIndex, s_ComboBtn, s_HotPattern);
    c.ComboGlyph = tables.MaskIndex(s_ComboBox, s_GlyphMask);

    // Tabs.
    c.IndexTabTop = idx(s_TabTop);
    c.IndexTabBottom = idx(s_TabBottom);
    c.IndexTabLeft = idx(s_TabLeft);
    c.IndexTabRight = idx(s_TabRight);
    c.MaskTabTop = mask(c.IndexTabTop, s_TabTop, s_BordersMask);
    c.MaskTabBottom = mask(c.IndexTabBottom, s_TabBottom, s_BordersMask);
    c.MaskTabLeft = mask(c.IndexTabLeft, s_TabLeft, s_BordersMask);
    c.MaskTabRight = mask(c.IndexTabRight, s_TabRight, s_BordersMask);

    // Scroll buttons and sliders (a missing section has no image at all).
    c.IndexScrollTop = idx(s_ScrollBtnTop);
    c.IndexScrollBottom = idx(s_ScrollBtnBottom);
    c.IndexScrollLeft = idx(s_ScrollBtnLeft);
    c.IndexScrollRight = idx(s_ScrollBtnRight);
    c.IndexSliderVert = idx(s_ScrollSliderV);
    c.IndexSliderHorz = idx(s_ScrollSliderH);
    c.MaskScrollTop = mask(c.IndexScrollTop, s_ScrollBtnTop, s_BordersMask);
    c.MaskArrowTop = mask(c.IndexScrollTop, s_ScrollBtnTop, s_GlyphMask);
    c.MaskScrollBottom = mask(c.IndexScrollBottom, s_ScrollBtnBottom, s_BordersMask);
    c.MaskArrowBottom = mask(c.IndexScrollBottom, s_ScrollBtnBottom, s_GlyphMask);
    c.MaskScrollLeft = mask(c.IndexScrollLeft, s_ScrollBtnLeft, s_BordersMask);
    c.MaskArrowLeft = mask(c.IndexScrollLeft, s_ScrollBtnLeft, s_GlyphMask);
    c.MaskScrollRight = mask(c.IndexScrollRight, s_ScrollBtnRight, s_BordersMask);
    c.MaskArrowRight = mask(c.IndexScrollRight, s_ScrollBtnRight, s_GlyphMask);
    c.MaskSliderVert = mask(c.IndexSliderVert, s_ScrollSliderV, s_BordersMask);
    c.MaskSliderGlyphVert = mask(c.IndexSliderVert, s_ScrollSliderV, s_GlyphMask);
    c.MaskSliderHorz = mask(c.IndexSliderHorz, s_ScrollSliderH, s_BordersMask);
    c.MaskSliderGlyphHorz = mask(c.IndexSliderHorz, s_ScrollSliderH, s_GlyphMask);

    // Their textures.
    c.IndexBGScrollTop = mask(c.IndexScrollTop, s_ScrollBtnTop, s_Pattern);
    c.IndexBGScrollBottom = mask(c.IndexScrollBottom, s_ScrollBtnBottom, s_Pattern);
    c.IndexBGScrollLeft = mask(c.IndexScrollLeft, s_ScrollBtnLeft, s_Pattern);
    c.IndexBGScrollRight = mask(c.IndexScrollRight, s_ScrollBtnRight, s_Pattern);
    c.IndexBGHotScrollTop = mask(c.IndexScrollTop, s_ScrollBtnTop, s_HotPattern);
    c.IndexBGHotScrollBottom = mask(c.IndexScrollBottom, s_ScrollBtnBottom, s_HotPattern);
    c.IndexBGHotScrollLeft = mask(c.IndexScrollLeft, s_ScrollBtnLeft, s_HotPattern);
    c.IndexBGHotScrollRight = mask(c.IndexScrollRight, s_ScrollBtnRight, s_HotPattern);
    c.ScrollSliderBGHorz = mask(c.IndexSliderHorz, s_ScrollSliderH, s_Pattern);
    c.ScrollSliderBGHotHorz = mask(c.IndexSliderHorz, s_ScrollSliderH, s_HotPattern);
    c.ScrollSliderBGVert = mask(c.IndexSliderVert, s_ScrollSliderV, s_Pattern);
    c.ScrollSliderBGHotVert = mask(c.IndexSliderVert, s_ScrollSliderV, s_HotPattern);

    // Scroll-bar tracks.
    struct Bar {
        const wchar_t* Section;
        int16_t *Index, *Mask, *BG, *BGHot;
    } bars[] = {
        {s_ScrollBar1H, &c.IndexScrollBar1H, &c.MaskScrollBar1H, &c.BGScrollBar1H, &c.BGHotScrollBar1H},
        {s_ScrollBar1V, &c.IndexScrollBar1V, &c.MaskScrollBar1V, &c.BGScrollBar1V, &c.BGHotScrollBar1V},
        {s_ScrollBar2H, &c.IndexScrollBar2H, &c.MaskScrollBar2H, &c.BGScrollBar2H, &c.BGHotScrollBar2H},
        {s_ScrollBar2V, &c.IndexScrollBar2V, &c.MaskScrollBar2V, &c.BGScrollBar2V, &c.BGHotScrollBar2V},
    };
    for (Bar& b : bars) {
        *b.Index = idx(b.Section);
        *b.Mask = mask(*b.Index, b.Section, s_BordersMask);
        *b.BG = mask(*b.Index, b.Section, s_Pattern);
        *b.BGHot = mask(*b.Index, b.Section, s_HotPattern);
    }

    CheckShadows();
}
