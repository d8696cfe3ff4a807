// The skin state of one skinned control, form provider or window wrapper
// (TsCommonData), and the routines every skinned control calls from its
// window procedure and with which it answers its children: the common
// window procedure, the command-message answers, the background a child
// sees, and the copying of a cache bitmap to the screen around children
// that paint themselves.  GUI thread only.
#pragma once

#include <windows.h>

#include <memory>

#include "classlib/controls/Controls.h"
#include "classlib/graphics/Graphics.h"
#include "classlib/rtl/Classes.h"
#include "classlib/rtl/TypInfo.h"
#include "skin/core/sConst.h"

class TsSkinManager;
class TsProviderSeam;
class TCustomForm;

// Bits of TsCommonData::CtrlSkinState (the form skinner uses higher ones).
constexpr WORD CSS_NOCACHE = 0x1;    // no cache of its own: paints straight from the parent
constexpr WORD CSS_INUPDATE = 0x800; // inside BeginUpdate ... EndUpdate

// Bits of TsCommonData::BGType: what the section's background is made of.
constexpr WORD BGT_TEXTURE = 0x1;  // a texture image shows (image percent above 0)
constexpr WORD BGT_GRADIENT = 0x2; // a gradient shows (gradient percent above 0)

class TsManagerWatch;

class TsCommonData : public TPersistent {
    KV_CLASS(TsCommonData)
    KV_PUBLISHED
public:
    // With CreateCacheBmp the control gets an empty 24-bit cache bitmap now.
    TsCommonData(TObject* AOwner, bool CreateCacheBmp);
    ~TsCommonData() override;

    // --- published
    bool CustomColor() const { return FCustomColor; }
    void SetCustomColor(bool Value);
    bool CustomFont() const { return FCustomFont; }
    void SetCustomFont(bool Value);
    // FSkinManager, or DefaultManager when the control names none.
    TsSkinManager* GetSkinManager() const;
    void SetSkinManager(TsSkinManager* Value);
    bool ManagerStored() const { return FSkinManager != nullptr; }
    const UnicodeString& SkinSection() const { return FSkinSection; }
    // Stores Value upper-cased ("UNKNOWN" for an empty one), re-indexes and
    // tells a placed owner control to refresh or drop its skin.
    void SetSkinSection(const UnicodeString& Value);

    // There is a manager that is not going away, the section has a valid
    // index and the owner is not being destroyed; with CheckSkinActive the
    // manager's skin is also announced.
    bool Skinned(bool CheckSkinActive = false) const;
    // Finds the section and its images in the manager's tables again.
    void UpdateIndexes();
    // Called by the owner once its form resource has been read.
    void Loaded();
    void SetUpdating(bool Value) { FUpdating = Value; }
    // The control must not paint now: it is updating, or (cached) its
    // parent's picture is not ready.
    bool GetUpdating();
    void BeginUpdate();
    void EndUpdate(bool Repaint = false);
    // Marks the cache out of date and has the owner repainted.
    void Invalidate();
    // Makes the cache bitmap (24-bit DIB) when missing and sizes it to the owner control.
    void InitCacheBmp();
    // The parent shows a picture that depends on where the control stands.
    bool ParentTextured();
    // The control must repaint after it moved.  Callers holding a skin data
    // pointer that may be nil treat nil as "repaint".
    bool RepaintIfMoved();

    // The owner is a form's skin provider (skin/forms); nullptr otherwise.
    TsProviderSeam* OwnerProvider() const;
    // The owner component (control or provider) is being destroyed.
    bool OwnerDestroying() const;
    // A skinned edit-like owner takes the section's colour and font colour,
    // unless it keeps its own.
    void ApplySectionColors();

    // --- state (the fields are the library's shared vocabulary)
    UnicodeString FSkinSection;
    bool FCustomFont = false;
    bool FCustomColor = false;
    int GlowID = -1;
    bool FUpdating = false;
    TsSkinManager* FSkinManager = nullptr;
    // Stores the control's own manager and watches it, so that the pointer
    // is dropped when that manager is freed whoever hears its broadcasts.
    void StoreManager(TsSkinManager* Value);
    void ManagerFreed();
    std::unique_ptr<TsManagerWatch> FManagerWatch;
    int BorderIndex = -1;
    int SkinIndex = -1;
    int Texture = -1;
    int HotTexture = -1;
    void* GraphControl = nullptr;  // spare reference for the owner
    bool UrgentPainting = false;
    bool BGChanged = true;
    bool HalfVisible = true;
    TControl* FOwnerControl = nullptr;
    TObject* FOwnerObject = nullptr;
    TBitmap* FCacheBmp = nullptr;  // owned
    HRGN FRegion = nullptr;        // spare region for the owner; deleted with this object
    int COC = 0;                   // class-of-control code
    bool FFocused = false;
    bool FMouseAbove = false;
    WORD CtrlSkinState = 0;
    WORD BGType = 0;

private:
    bool OwnerLoading() const;
    // SMC_SKIN_REFRESH when the manager has the section, else SMC_SKIN_REMOVE.
    WPARAM RefreshOrRemove(TsSkinManager* Manager) const;
};

// Set by the skin manager while it announces a new skin; cleared by
// SMC_SKIN_SET and SMC_SECTION_UPDATE.  Controls skip drawing meanwhile.
extern bool RestrictDrawing;

// The skin data a control publishes as "SkinData"; nullptr for a control
// that has none.  How the engine reaches the state of controls of higher
// subsystems (speed buttons, splitters) without knowing their classes.
TsCommonData* SkinDataOf(TObject* Control);
// The object's class is ClassName or derives from it, told by the class's
// published table.  For classes of higher subsystems or of class-library
// units the engine does not include.
bool InheritsFromClass(TObject* Object, const wchar_t* ClassName);
// The form a provider skins: the form its component is placed on.
TCustomForm* ProviderForm(TsProviderSeam* Provider);

// ---------------------------------------------------------------------------
// Default sections by class-of-control code.

// The default skin section of a class-of-control code; empty for a code
// whose default is the owner's class name.
UnicodeString ControlClassCode(int COC);
// An empty section becomes the default of COC (or the owner's class name);
// a set one is only indexed again.
void UpdateData(TsCommonData* SkinData);

// ---------------------------------------------------------------------------
// State rules.

// As the method, but sets 24 bits per pixel only when it makes the bitmap.
void InitCacheBmp(TsCommonData* SkinData);
// The widest side of the section's border image; 0 without one or when
// the image draws nothing in its normal state.
int SkinBorderMaxWidth(TsCommonData* SkinData);
// The section lets some of its parent show through.
bool BgIsTransparent(TsCommonData* SkinData);
// Focused, or (unless mouse-blind by its code) under the mouse; never
// while disabled, destroyed or designed.
bool ControlIsActive(TsCommonData* SkinData);
bool IsCached(TsCommonData* SkinData);
bool IsCacheRequired(TsCommonData* SkinData);
// Recomputes the no-cache bit; with UpdateChildren the children of a
// windowed owner recompute theirs.
void UpdateSkinState(TsCommonData* SkinData, bool UpdateChildren = false);
// The section whose font colours Control uses: its parent's when that
// parent gives its own font, looking through mostly transparent parents.
int GetFontIndex(TControl* Control, int DefaultIndex, TsSkinManager* Manager);
// Shows the control's glow when it is hot, hides it otherwise.
void ShowGlowingIfNeeded(TsCommonData* SkinData, bool Clicked = false, HWND Handle = nullptr);
void AlignShadow(TsCommonData* SkinData);

// ---------------------------------------------------------------------------
// The common window procedure and the background answers.

// First step of every skinned control's window procedure; true when the
// message is handled and goes no further.
bool CommonWndProc(TMessage& Message, TsCommonData* SkinData);
// Answers SM_KORVEXCMD for the control's skin data; true when handled
// (Message.Result then holds the answer).
bool CommonMessage(TMessage& Message, TsCommonData* SkinData);
// Fills a child's background request.
void InitBGInfo(TsCommonData* SkinData, PkvBGInfo BGInfo, int State, HWND Handle = nullptr);
// The plain colour a child sees on this control (State 0 normal, else hot).
TColor GetBGColor(TsCommonData* SkinData, int State, HWND Handle = nullptr);
// What lies behind the control, from its parent's answer.
TCacheInfo GetParentCache(TsCommonData* SkinData);
TCacheInfo GetParentCacheHwnd(HWND Handle);
// Copies SrcRect's top-left part of the cache to DstRect of DstDC, leaving
// out the children that paint themselves.
void CopyWinControlCache(TWinControl* Control, TsCommonData* SkinData, const TRect& SrcRect, const TRect& DstRect,
                         HDC DstDC, bool UpdateCorners, int OffsetX = 0, int OffsetY = 0);
void CopyHwndCache(HWND Handle, TsCommonData* SkinData, const TRect& SrcRect, const TRect& DstRect, HDC DstDC,
                   bool UpdateCorners, int OffsetX = 0, int OffsetY = 0);
