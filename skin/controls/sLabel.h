// The library's labels: graphic controls without skin state of their own
// that take their colours from the default skin manager and paint on their
// parent's surface.
//   TsCustomLabel  skin font colour, an optional skin section painted as
//                  background, a softer disabled look
//   TsLabel        adds the UseSkinColor switch
//   TsWebLabel     a hyperlink that opens its URL through the shell
//   TsEditLabel    the caption label a bound label (sBoundLabel) creates
//   TsStickyLabel  keeps itself beside a windowed control, and the control
//                  beside itself
//   TsLabelFX      text over a blurred shadow (TsShadow), text colour by
//                  TsKind
//
// The unit is split by topic: sLabel.cpp (the base, TsLabel, TsEditLabel),
// sLabel_Web.cpp, sLabel_Sticky.cpp, sLabel_FX.cpp.  GUI thread only.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "classlib/controls/StdCtrls.h"
#include "skin/core/sConst.h"

class TsBoundLabel;
class TkvWndMethodHook;

// What lies behind Control: its parent's answer to the background question,
// as cache info.
TCacheInfo GetParentCache(TControl* Control);

// How a web label opens its URL: ShellExecuteW as shipped; tests put a
// recorder here.
using TsShellExecuteW = HINSTANCE(WINAPI*)(HWND Owner, LPCWSTR Verb, LPCWSTR File, LPCWSTR Parameters,
                                           LPCWSTR Directory, INT ShowCommand);
extern TsShellExecuteW sShellExecuteW;

// ---------------------------------------------------------------------------
class TsCustomLabel : public TCustomLabel {
    KV_CLASS(TsCustomLabel)
    KV_PUBLISHED
public:
    explicit TsCustomLabel(TComponent* AOwner);

    const UnicodeString& SkinSection() const { return FSkinSection; }
    void SetSkinSection(const UnicodeString& Value);

    void WndProc(TMessage& Message) override;
    // The font to paint with, coloured from the skin.
    virtual TFont* GetCurrentFont();

protected:
    void Paint() override;
    void DoDrawText(TRect& Rect, UINT Flags) override;
    // The label is being freed.
    bool Destroying() const { return ComponentState().Contains(csDestroying); }
    // Designed inside a frame: keeps its own font colour.
    bool DesignedInFrame() const;

private:
    void PaintSection();
    UnicodeString FSkinSection;
};

// ---------------------------------------------------------------------------
class TsLabel : public TsCustomLabel {
    KV_CLASS(TsLabel)
    KV_PUBLISHED
public:
    explicit TsLabel(TComponent* AOwner) : TsCustomLabel(AOwner) {}

    bool UseSkinColor() const { return FUseSkinColor; }
    void SetUseSkinColor(bool Value) { FUseSkinColor = Value; }

    void WndProc(TMessage& Message) override;
    TFont* GetCurrentFont() override;

protected:
    bool FUseSkinColor = true;
};

// ---------------------------------------------------------------------------
class TsWebLabel : public TsLabel {
    KV_CLASS(TsWebLabel)
    KV_PUBLISHED
public:
    explicit TsWebLabel(TComponent* AOwner);
    ~TsWebLabel() override;

    // The published Font is the normal font; the label's own Font follows it.
    TFont* NormalFont() const { return FNormalFont; }
    void SetFont(TFont* Value);
    TFont* HoverFont() const { return FHoverFont; }
    void SetHoverFont(TFont* Value) { FHoverFont->Assign(Value); }
    TsWindowShowMode ShowMode() const { return FShowMode; }
    void SetShowMode(TsWindowShowMode Value) { FShowMode = Value; }
    const UnicodeString& URL() const { return FURL; }
    void SetURL(const UnicodeString& Value) { FURL = Value; }

    bool MouseAbove = false;

    void Loaded() override;
    void WndProc(TMessage& Message) override;
    TFont* GetCurrentFont() override;

private:
    void WMLButtonDown(TMessage& Message);
    void MouseChanged(TMessage& Message, bool Above);
    TFont* FNormalFont;
    TFont* FHoverFont;
    UnicodeString FURL;
    TsWindowShowMode FShowMode = soDefault;
};

// ---------------------------------------------------------------------------
class TsEditLabel : public TsLabel {
    KV_CLASS(TsEditLabel)
    KV_PUBLISHED
public:
    TsEditLabel(TComponent* AOwner, TsBoundLabel* BoundStruct);
    // The caption label of BoundStruct, owned by AOwner.
    static TsEditLabel* InternalCreate(TComponent* AOwner, TsBoundLabel* BoundStruct);
    // Tells the bound label that its label is gone; the destructor does it
    // too, for a label deleted without BeforeDestruction.
    ~TsEditLabel() override;
    void BeforeDestruction() override;

    TsBoundLabel* BoundLabel = nullptr;
};

// ---------------------------------------------------------------------------
// The side of the attached control on which a sticky label stands.
enum TAlignTo { altLeft, altTop, altBottom, altRight };

class TsStickyLabel : public TsLabel {
    KV_CLASS(TsStickyLabel)
    KV_PUBLISHED
public:
    explicit TsStickyLabel(TComponent* AOwner) : TsLabel(AOwner) {}
    ~TsStickyLabel() override;
    void BeforeDestruction() override;

    TWinControl* AttachTo() const { return FAttachTo; }
    void SetAttachTo(TWinControl* Value);
    TAlignTo AlignTo() const { return FAlignTo; }
    void SetAlignTo(TAlignTo Value);
    int Gap() const { return FGap; }
    void SetGap(int Value);

    // MoveLabel: the label goes beside the control; otherwise the control
    // goes beside the label.
    void Adjust(bool MoveLabel);

    void Notification(TComponent* AComponent, TOperation Operation) override;
    void WndProc(TMessage& Message) override;

private:
    // The attached control's messages, before its own procedure.
    void NewWinProc(TMessage& Message);
    // Lets go of the attached control and gives its WindowProc back.
    void Detach();
    TWinControl* FAttachTo = nullptr;
    TAlignTo FAlignTo = altLeft;
    int FGap = 2;
    TkvWndMethodHook* FHook = nullptr; // the attached control's WindowProc, taken over
    bool FRealigning = false;
    // False once the label is freed, for a message handler that outlives it.
    std::shared_ptr<bool> FAlive = std::make_shared<bool>(true);
};

// ---------------------------------------------------------------------------
enum TsShadowMode { smNone, smCustom, smSkin1 };
enum TsKindType { ktStandard, ktCustom, ktSkin };

// The shadow of a TsLabelFX.
class TsShadow : public TPersistent {
    KV_CLASS(TsShadow)
    KV_PUBLISHED
public:
    TsShadow(TComponent* AOwner, TControl* Control);

    TsShadowMode Mode() const { return FMode; }
    void SetMode(TsShadowMode Value);
    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    int BlurCount() const { return FBlurCount; }
    void SetBlurCount(int Value);
    int Distance() const { return FDistance; }
    void SetDistance(int Value);

    TControl* ParentControl;
    // Red, green and blue of Color.
    int sr = 0, sg = 0, sb = 0;

private:
    void Changed();
    TsShadowMode FMode = smSkin1;
    TColor FColor = 0;
    int FBlurCount = 4;
    int FDistance = 1;
};

// Where the text colour of a TsLabelFX comes from: ktStandard the label's
// Font.Color (not its Color, which is the background: text in it would not
// show), ktCustom the kind's Color, ktSkin the skin's global font colour.
class TsKind : public TPersistent {
    KV_CLASS(TsKind)
    KV_PUBLISHED
public:
    explicit TsKind(TControl* Control) : FOwner(Control) {}

    TsKindType KindType() const { return FKindType; }
    void SetKindType(TsKindType Value);
    TColor Color() const { return FColor; }
    void SetColor(TColor Value);

private:
    TControl* FOwner;
    TsKindType FKindType = ktSkin;
    TColor FColor = 0xFFFFFF;
};

class TsLabelFX : public TsCustomLabel {
    KV_CLASS(TsLabelFX)
    KV_PUBLISHED
public:
    explicit TsLabelFX(TComponent* AOwner);
    ~TsLabelFX() override;

    TsShadow* Shadow() const { return FShadow; }
    TsKind* Kind() const { return FKind; }

    // The room the shadow takes on each side, from the last measuring pass
    // of AutoSize: the top-left offset (0 or less) and the bottom-right one
    // (0 or more).
    int OffsTopLeft = 0;
    int OffsRightBottom = 0;

protected:
    void DoDrawText(TRect& Rect, UINT Flags) override;

private:
    struct TShadowParams {
        TColor Color;
        int Blur;
        int Distance;
    };
    TShadowParams ShadowParams() const;
    TColor TextColor() const;
    void DrawShadowed(const UnicodeString& Text, TRect& Rect, UINT Flags, const TShadowParams& Shadow, TColor TextColor);
    // The blur of the text's mask: B passes over the buffer.
    void BlurMask(int W, int H, int Passes);
    void BlendShadow(int W, int H, TColor Shadow);

    TBitmap* FMask;                 // 32-bit, owned
    std::vector<uint8_t> FMaskBits; // (W + 2) x (H + 2) blur values; kept between draws, only grows
    TsShadow* FShadow;
    TsKind* FKind;
};

// Makes the labels known to form resources.
void RegisterLabelClasses();
