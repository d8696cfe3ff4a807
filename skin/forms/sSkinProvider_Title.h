// The caption-button record of a skinned frame and the small persistent
// classes behind a provider's TitleButtons, TitleIcon and AddedTitle.  Part
// of sSkinProvider; the caption buttons' layout and drawing are the frame's.
#pragma once

#include <windows.h>

#include "classlib/controls/Controls.h"
#include "classlib/graphics/Graphics.h"
#include "classlib/rtl/Classes.h"

class TsSkinProvider;

// Hit codes of the skinned caption.
constexpr int HTMDICLOSE = 101;
constexpr int HTMDIMAX = 102;
constexpr int HTMDIMIN = 103;
constexpr int HTUDBTN = 1000;  // user title button i answers HTUDBTN + i
constexpr int HTBORDERWND = 19;  // the extended-border window's own frame

// One caption button of a skinned frame.
struct TsCaptionButton {
    int State = -1;       // -1 not shown, 0 normal, 1 hot, 2 pressed
    int ImageIndex = -1;  // its mask in the skin's image table
    TRect Rect{};         // its place in the window image
    bool HaveAlignment = false;
    int GlowID = -1;
    TObject* Timer = nullptr;  // its fade animation, owned by the frame
    unsigned HitCode = 0;
};

class TsTitleButton : public TCollectionItem {
    KV_CLASS(TsTitleButton)
    KV_PUBLISHED
public:
    explicit TsTitleButton(TCollection* Collection);
    ~TsTitleButton() override;
    void Assign(TPersistent* Source) override;

    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value) { FEnabled = Value; }
    TBitmap* Glyph() const { return FGlyph; }
    void SetGlyph(TBitmap* Value) { FGlyph->Assign(Value); }
    const UnicodeString& Hint() const { return FHint; }
    void SetHint(const UnicodeString& Value) { FHint = Value; }
    const UnicodeString& Name() const { return FName; }
    void SetName(const UnicodeString& Value) { FName = Value; }
    bool UseSkinData() const { return FUseSkinData; }
    void SetUseSkinData(bool Value) { FUseSkinData = Value; }
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;

    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);

    TsCaptionButton BtnData;
    // The hint shown while the button is hot (owned; nil otherwise).
    THintWindow* HintWnd = nullptr;

protected:
    UnicodeString GetDisplayName() override;

private:
    bool FUseSkinData = true;
    UnicodeString FName;
    TBitmap* FGlyph;
    bool FEnabled = true;
    UnicodeString FHint;
    bool FVisible = true;
};

// Shows the button's hint beside the cursor (none for an empty hint), and
// frees it again.
void ShowTitleButtonHint(TsTitleButton* Button);
void HideTitleButtonHint(TsTitleButton* Button);

class TsTitleButtons : public TCollection {
    KV_CLASS(TsTitleButtons)
public:
    explicit TsTitleButtons(TsSkinProvider* AOwner);
    ~TsTitleButtons() override;
    TsTitleButton* Items(int Index) const { return static_cast<TsTitleButton*>(TCollection::Items(Index)); }
    TsTitleButton* Add() { return static_cast<TsTitleButton*>(TCollection::Add()); }
    TPersistent* GetOwner() override;
    TsSkinProvider* FOwner;
};

class TsTitleIcon : public TPersistent {
    KV_CLASS(TsTitleIcon)
    KV_PUBLISHED
public:
    TsTitleIcon();
    ~TsTitleIcon() override;
    TBitmap* Glyph() const { return FGlyph; }
    void SetGlyph(TBitmap* Value) { FGlyph->Assign(Value); }
    int Height() const { return FHeight; }
    void SetHeight(int Value) { FHeight = Value; }
    int Width() const { return FWidth; }
    void SetWidth(int Value) { FWidth = Value; }

private:
    TBitmap* FGlyph;
    int FHeight = 0;  // 0: sized from the caption
    int FWidth = 0;
};

// A text shown after the form's caption.
class TkvAddedTitle : public TPersistent {
    KV_CLASS(TkvAddedTitle)
    KV_PUBLISHED
public:
    explicit TkvAddedTitle(TsSkinProvider* AOwner);
    ~TkvAddedTitle() override;
    const UnicodeString& Text() const { return FText; }
    void SetText(const UnicodeString& Value);
    TFont* Font() const { return FFont; }
    void SetFont(TFont* Value);
    TPersistent* GetOwner() override;
    TsSkinProvider* FOwner;

private:
    UnicodeString FText;
    TFont* FFont;
};
