// The glyph settings of a combo-edit control's button: the list in use and
// its frame sizes, the button they size, and settings that pass through to
// a ready button only.
#include <gtest/gtest.h>

#include "classlib/controls/Forms.h"
#include "skin/paint/kvAlphaImageList.h"
#include "skin/paint/sGlyphUtils.h"

namespace {

class TStubButton : public TGraphicControl, public TsGlyphModeButton {
public:
    explicit TStubButton(TComponent* AOwner) : TGraphicControl(AOwner) {}
    int FBlend = 0, NumGlyphs = 1, Invalidated = 0;
    bool FGrayed = false;
    TControl* ButtonControl() override { return this; }
    int Blend() override { return FBlend; }
    void SetBlend(int Value) override { FBlend = Value; }  // what the mode passes on, as given
    bool Grayed() override { return FGrayed; }
    void SetGrayed(bool Value) override { FGrayed = Value; }
    void SetNumGlyphs(int Value) override { NumGlyphs = Value; }
    void InvalidateButton() override { ++Invalidated; }
};

class TStubComboEdit : public TWinControl, public TsGlyphModeOwner {
public:
    explicit TStubComboEdit(TComponent* AOwner) : TWinControl(AOwner)
    {
        Button = new TStubButton(this);
        Mode.Btn = Button;
    }
    TStubButton* Button;
    TsGlyphMode Mode{this};
    bool HasGlyph = true;
    TsGlyphModeButton* GlyphButton() override { return Button; }
    bool ButtonHasGlyph() override { return HasGlyph; }
};

// Two images of Width x 16.
void FillList(TsAlphaImageList* List, int Width = 32)
{
    List->SetWidth(Width);
    List->SetHeight(16);
    TOwned<TBitmap> bmp(New<TBitmap>());
    bmp->SetPixelFormat(pf32bit);
    bmp->SetSize(Width, 16);
    List->Add(bmp.get(), nullptr);
    List->Add(bmp.get(), nullptr);
}

} // namespace

TEST(GlyphMode, SizesComeFromTheListInUse)
{
    TOwned<TStubComboEdit> edit(New<TStubComboEdit>(nullptr));
    TsGlyphMode& mode = edit->Mode;
    EXPECT_EQ(mode.ListInUse(), kvResImgList());
    EXPECT_EQ(mode.ImageCount(), 3);
    EXPECT_EQ(mode.Width(), 16);
    EXPECT_EQ(mode.Height(), 16);

    TOwned<TsAlphaImageList> images(New<TsAlphaImageList>(nullptr));
    FillList(images.get());
    mode.SetImages(images.get());
    EXPECT_EQ(mode.ListInUse(), kvResImgList()) << "ImageIndex -1 keeps the built-in glyphs";
    mode.SetImageIndex(2);
    EXPECT_EQ(mode.ListInUse(), kvResImgList()) << "an index past the images too";
    mode.SetImageIndex(1);
    EXPECT_EQ(mode.ListInUse(), images.get());
    EXPECT_EQ(mode.ImageCount(), 2);
    EXPECT_EQ(mode.Width(), 16);
    EXPECT_EQ(edit->Button->Width(), 18);
    EXPECT_EQ(edit->Button->NumGlyphs, 2);

    TOwned<TsAlphaImageList> wide(New<TsAlphaImageList>(nullptr));
    FillList(wide.get(), 40);  // not a multiple of the height: one frame
    mode.SetImages(wide.get());
    EXPECT_EQ(mode.ImageCount(), 1);
    EXPECT_EQ(mode.Width(), 40);
    edit->HasGlyph = false;
    EXPECT_EQ(mode.Width(), 0);
    mode.SetImages(nullptr);
}

TEST(GlyphMode, SettersInvalidateOnChangeOnly)
{
    TOwned<TStubComboEdit> edit(New<TStubComboEdit>(nullptr));
    TsGlyphMode& mode = edit->Mode;
    mode.SetImageIndexHot(3);
    mode.SetImageIndexHot(3);
    mode.SetImageIndexPressed(4);
    EXPECT_EQ(edit->Button->Invalidated, 2);
    EXPECT_EQ(mode.ImageIndexHot(), 3);
    EXPECT_EQ(mode.ImageIndexPressed(), 4);
    EXPECT_EQ(edit->Button->Width(), 18);
    EXPECT_EQ(edit->Button->NumGlyphs, 3);
}

TEST(GlyphMode, BlendGrayedAndHintPassThroughAReadyButton)
{
    TOwned<TStubComboEdit> edit(New<TStubComboEdit>(nullptr));
    TsGlyphMode& mode = edit->Mode;
    mode.SetBlend(40);
    mode.SetGrayed(true);
    mode.SetHint(L"찾기");
    EXPECT_EQ(edit->Button->FBlend, 40) << "the button has the value";
    EXPECT_EQ(mode.Blend(), 40) << "and the mode reads it back from the button";
    edit->Button->FBlend = 55;
    EXPECT_EQ(mode.Blend(), 55);
    EXPECT_TRUE(mode.Grayed());
    EXPECT_EQ(edit->Button->Hint(), L"찾기");
    EXPECT_EQ(mode.Hint(), L"찾기");

    edit->Button->IncludeState(csLoading);
    mode.SetBlend(10);
    EXPECT_EQ(mode.Blend(), 0) << "a loading button reads as unset";
    edit->Button->ExcludeState(csLoading);
    EXPECT_EQ(edit->Button->FBlend, 55) << "and the write was dropped";

    // An owner that is no combo edit: its own hint, writes dropped.
    TOwned<TWinControl> plain(New<TWinControl>(nullptr));
    plain->SetHint(L"plain");
    TsGlyphMode other(plain.get());
    other.SetHint(L"changed");
    EXPECT_EQ(other.Hint(), L"plain");
    EXPECT_EQ(other.Blend(), 0);
    other.SetImageIndex(1);  // no button to size
}
