// The built-in skin loads through the skin manager with no exception and no
// message box, and every section and image of the minimum set gets an index
// with the intended frame sizes.  Compiled once the skin manager is there;
// the packed skin is stored as an internal skin the way the main form's
// resource stores it.
#if __has_include("skin/core/sSkinManager.h")

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>

#include "BuiltinSkin.h"
#include "classlib/controls/Dialogs.h"
#include "skin/core/sSkinManager.h"

#ifndef KV_INTERNAL_SKIN_NAME
#error "KV_INTERNAL_SKIN_NAME is the name the main form stores the skin under"
#endif

using namespace builtin;

namespace {

std::wstring SkinName()
{
    const std::string name = KV_INTERNAL_SKIN_NAME;
    return std::wstring(name.begin(), name.end());
}

std::unique_ptr<TsSkinManager> LoadBuiltinSkin()
{
    std::unique_ptr<TsSkinManager> sm(New<TsSkinManager>(nullptr));
    auto* item = static_cast<TsStoredSkin*>(sm->InternalSkins()->Add());
    item->SetName(SkinName());
    item->PackedData->LoadFromFile(Path(L"internal.plz"));
    sm->SetSkinName(SkinName());
    return sm;
}

} // namespace

TEST(BuiltinSkinLoad, LoadsWithoutExceptionOrMessageBox)
{
    TDialogSeamScope seam;
    std::unique_ptr<TsSkinManager> sm;
    ASSERT_NO_THROW(sm = LoadBuiltinSkin());
    EXPECT_EQ(seam.Count(), 0u);
    EXPECT_TRUE(sm->SkinData->Active);
    EXPECT_EQ(sm->SkinName(), SkinName());
    ASSERT_NE(sm->MasterBitmap, nullptr);
}

TEST(BuiltinSkinLoad, IndexesEverySectionAndImageWithItsFrames)
{
    TDialogSeamScope seam;
    std::unique_ptr<TsSkinManager> sm = LoadBuiltinSkin();
    for (const wchar_t* s :
         {L"GLOBALINFO", L"FORM", L"FORMTITLE", L"DIALOG", L"BUTTON", L"SPEEDBUTTON_SMALL", L"MAINMENU",
          L"MENUITEM", L"ICOLINE", L"TOOLBAR", L"DIVIDERV", L"SCROLLBAR1H", L"SCROLLBAR2H", L"SCROLLBAR1V",
          L"SCROLLBAR2V", L"SCROLLBTNLEFT", L"SCROLLBTNRIGHT", L"SCROLLBTNTOP", L"SCROLLBTNBOTTOM",
          L"SCROLLSLIDERH", L"SCROLLSLIDERV", L"CHECKBOX", L"EDIT"})
        EXPECT_GE(sm->GetSkinIndex(s), 0) << s;
    for (const WantedImage& s : MinimumImages()) {
        SCOPED_TRACE(std::wstring(s.Section) + L"/" + s.Key);
        const int i = sm->GetMaskIndex(sm->GetSkinIndex(s.Section), s.Section, s.Key);
        ASSERT_GE(i, 0);
        const TsMaskData& m = sm->ma[i];
        EXPECT_EQ(m.ImageCount, s.Frames);
        EXPECT_EQ(m.MaskType, 1);
        EXPECT_EQ(WidthOfImage(m), s.FrameW);
        EXPECT_EQ(HeightOfImage(m), s.FrameH);
        if (s.Form == L'^') {
            EXPECT_EQ((std::vector<int>{m.WL, m.WT, m.WR, m.WB, m.DrawMode}),
                      (std::vector<int>{s.WL, s.WT, s.WR, s.WB, s.DrawMode}));
        }
    }
    // Dialogs and small speed buttons take their borders from their parents.
    EXPECT_EQ(sm->GetMaskIndex(sm->GetSkinIndex(L"DIALOG"), L"DIALOG", L"BORDERSMASK"),
              sm->GetMaskIndex(sm->GetSkinIndex(L"FORM"), L"FORM", L"BORDERSMASK"));
    EXPECT_EQ(sm->GetMaskIndex(sm->GetSkinIndex(L"SPEEDBUTTON_SMALL"), L"SPEEDBUTTON_SMALL", L"BORDERSMASK"),
              sm->GetMaskIndex(sm->GetSkinIndex(L"BUTTON"), L"BUTTON", L"BORDERSMASK"));
}

TEST(BuiltinSkinLoad, ScrollAndCheckConstantsAreValid)
{
    TDialogSeamScope seam;
    std::unique_ptr<TsSkinManager> sm = LoadBuiltinSkin();
    const TConstantSkinData& c = sm->ConstData;
    for (int section : {c.IndexScrollTop, c.IndexScrollBottom, c.IndexScrollLeft, c.IndexScrollRight,
                        c.IndexSliderVert, c.IndexSliderHorz, c.IndexScrollBar1H, c.IndexScrollBar1V,
                        c.IndexScrollBar2H, c.IndexScrollBar2V})
        EXPECT_TRUE(sm->IsValidSkinIndex(section)) << section;
    for (int image : {c.MaskScrollTop, c.MaskScrollBottom, c.MaskScrollLeft, c.MaskScrollRight, c.MaskArrowTop,
                      c.MaskArrowBottom, c.MaskArrowLeft, c.MaskArrowRight, c.MaskSliderVert, c.MaskSliderHorz})
        EXPECT_TRUE(sm->IsValidImgIndex(image)) << image;
    // What the skin leaves out is absent, never a stray index.
    for (int image : {c.MaskSliderGlyphVert, c.MaskSliderGlyphHorz, c.IndexBGScrollTop, c.IndexBGHotScrollTop,
                      c.ScrollSliderBGHorz, c.ScrollSliderBGVert, c.MaskScrollBar1H, c.BGScrollBar1H,
                      c.BGHotScrollBar1H})
        EXPECT_EQ(image, -1);
    // Every check-box and radio state has its glyph, each a different image.
    const std::vector<int> checks = {c.CheckBoxChecked,       c.CheckBoxUnChecked,      c.CheckBoxGrayed,
                                     c.RadioButtonChecked,    c.RadioButtonUnChecked,   c.RadioButtonGrayed,
                                     c.SmallCheckBoxChecked, c.SmallCheckBoxUnChecked, c.SmallCheckBoxGrayed};
    for (int image : checks)
        EXPECT_TRUE(sm->IsValidImgIndex(image)) << image;
    EXPECT_EQ(std::set<int>(checks.begin(), checks.end()).size(), checks.size());
}

#endif
