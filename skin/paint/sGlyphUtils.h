// sGlyphUtils: the library's own list of button glyphs, built from five PNG
// pictures of the program's resources (three 16 x 16 frames each), and the
// glyph settings of a combo-edit control's button.
#pragma once

#include "classlib/controls/Controls.h"
#include "classlib/controls/ImgList.h"
#include "classlib/rtl/TypInfo.h"

class TsAlphaImageList;

// Resource names of the built-in glyphs, in image-index order.
constexpr int kvGlyphsCount = 5;
extern const wchar_t* const kvGlyphsResNames[kvGlyphsCount];

// The built-in glyph list (48 x 16 images), made on first use and freed at
// shut-down; a picture that cannot be read is left out.
TsAlphaImageList* kvResImgList();
// Frees the list now (a later kvResImgList makes it again).
void FreeResImgList();


// What the glyph settings need of the button inside a combo-edit control
// (the library's speed button, a higher layer, implements it).
class TsGlyphModeButton {
public:
    virtual ~TsGlyphModeButton() = default;
    virtual TControl* ButtonControl() = 0;
    virtual int Blend() = 0;
    virtual void SetBlend(int Value) = 0;
    virtual bool Grayed() = 0;
    virtual void SetGrayed(bool Value) = 0;
    virtual void SetNumGlyphs(int Value) = 0;
    virtual void InvalidateButton() = 0;
};

// What the glyph settings need of their owner, a combo-edit control.
class TsGlyphModeOwner {
public:
    virtual ~TsGlyphModeOwner() = default;
    // The control's button; nil while it has none.
    virtual TsGlyphModeButton* GlyphButton() = 0;
    // False for a control whose button shows no glyph (the currency edit).
    virtual bool ButtonHasGlyph() { return true; }
};

// The glyph settings of the button inside a combo-edit control.
class TsGlyphMode : public TPersistent {
    KV_CLASS(TsGlyphMode)
    KV_PUBLISHED
public:
    explicit TsGlyphMode(TWinControl* AOwner);

    // Gives the owner's button the width and frame count of the glyph in use.
    void Invalidate();
    // The list in use: Images when ImageIndex is one of its images, else
    // the built-in glyphs.
    TCustomImageList* ListInUse() const;
    // Square frames side by side in the list's images (1 when not square).
    int ImageCount() const;
    int Width() const;
    int Height() const;

    int Blend() const;
    void SetBlend(int Value);
    bool Grayed() const;
    void SetGrayed(bool Value);
    UnicodeString Hint() const;
    void SetHint(const UnicodeString& Value);
    TCustomImageList* Images() const { return FImages; }
    void SetImages(TCustomImageList* Value);
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);
    int ImageIndexHot() const { return FImageIndexHot; }
    void SetImageIndexHot(int Value);
    int ImageIndexPressed() const { return FImageIndexPressed; }
    void SetImageIndexPressed(int Value);

    TsGlyphModeButton* Btn = nullptr;  // set by the owner

private:
    TWinControl* FOwner;
    TCustomImageList* FImages = nullptr;
    int FImageIndex = -1, FImageIndexHot = -1, FImageIndexPressed = -1;

    // The button exists and is neither being loaded nor destroyed.
    bool BtnIsReady() const;
    TsGlyphModeButton* OwnerButton() const;
    void SetIndex(int& Field, int Value);
};
