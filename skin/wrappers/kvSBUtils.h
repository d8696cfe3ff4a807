// Window wrappers: objects that take over an existing window by its handle,
// paint it from the skin, answer the command message for it and give it back
// untouched.  TkvMainWnd is the root of every wrapper; the scroll-bar
// wrappers (kvSBUtils_Scroll.h) derive from it through TkvScrollWnd.
//
// Writing a wrapper
// -----------------
// - Derive from TkvMainWnd (or TkvScrollWnd) and declare KV_CLASS.  The
//   virtual operations, in this order, are the extension points:
//     1. Create(AHandle, ASkinData, ASkinManager, SkinSection, Repaint):
//        the initialisation.  An override calls TkvMainWnd::Create (or its
//        parent's) first and then sets up its own state; virtual calls made
//        here reach the most derived class.
//     2. SaveStdParams:    remember the control's own colours.
//     3. RestoreStdParams: put them back.
//     4. SetSkinParams:    give the control the skin's colours (the override
//        calls the parent's, which sets ParamsChanged).
//     5. kvWndProc(Message): the window procedure.  Handle what the wrapper
//        needs and hand the rest to the parent's kvWndProc, which ends in
//        CallPrevWndProc (the window's previous procedure).
// - Create wrappers through a class reference, never with a bare `new`:
//     TkvWndClass::Of<TkvEditWnd>().Create(Handle, SkinData, Manager, L"EDIT", true)
//   or the typed CreateWnd<TkvEditWnd>(...).  The factory constructs the
//   object and then runs its virtual Create.  A creator first asks
//   Kv_GetScrollWndFromHwnd, so a window never gets a second wrapper.
// - The creator owns the wrapper and frees it with FreeAndNil (or a TOwned):
//   FreeAndNil runs BeforeDestruction, where the wrapper gives its window
//   back while its overrides (RestoreStdParams) are still reachable.
// - How messages reach the wrapper: a control or form of the class library
//   is taken over through its WindowProc; any other window is subclassed by
//   handle (TSubclassedWindow).  Either way a wrapper never cuts a later
//   subclasser out of the chain and never puts back a procedure that is no
//   longer its own; a wrapper freed while its window lives lets go of it
//   completely, and a window destroyed under its wrapper leaves the wrapper
//   Destroyed (inert), waiting to be freed by its owner.
//
// GUI thread only.
#pragma once

#include <windows.h>

#include "classlib/controls/Controls.h"
#include "classlib/controls/Messages.h"
#include "classlib/controls/SubclassWindow.h"
#include "classlib/graphics/Graphics.h"
#include "classlib/rtl/System.h"
#include "skin/core/sCommonData.h"

class TsSkinManager;
class TkvMainWnd;

namespace kvsb_detail {
class TkvProcHook;
class TkvAliveGuard;
}

// The window property that carries a window's wrapper.
inline constexpr const wchar_t* KVSBSC = L"KVSBSC";

// A class reference of the wrappers: makes a wrapper of its class and runs
// its virtual Create on it.
class TkvWndClass {
public:
    using Factory = TkvMainWnd* (*)();
    TkvWndClass() = default;
    template <class T>
    static TkvWndClass Of()
    {
        return TkvWndClass(T::StaticClassName(), []() -> TkvMainWnd* { return new T; });
    }
    const wchar_t* Name() const { return FName; }
    bool Assigned() const { return FNew != nullptr; }
    // The new wrapper, hooked to AHandle (unless its window could not be
    // taken over: it is then Destroyed).  Nullptr for an empty reference.
    TkvMainWnd* Create(HWND AHandle, TsCommonData* ASkinData, TsSkinManager* ASkinManager,
                       const UnicodeString& SkinSection, bool Repaint) const;
    bool operator==(const TkvWndClass& o) const { return FNew == o.FNew; }

private:
    TkvWndClass(const wchar_t* Name, Factory New) : FName(Name), FNew(New) {}
    const wchar_t* FName = L"";
    Factory FNew = nullptr;
};

class TkvMainWnd : public TObject {
    KV_CLASS(TkvMainWnd)
public:
    // Only the factory (TkvWndClass) constructs; Create runs right after.
    TkvMainWnd() = default;
    // Lets go of the window when BeforeDestruction did not (a bare delete).
    ~TkvMainWnd() override;
    // The destructor's work with the overrides still reachable: gives the
    // window back (see the class notes), then marks the wrapper Destroyed
    // and drops its skin data.
    void BeforeDestruction() override;

    // --- virtual operations, in their order
    virtual void Create(HWND AHandle, TsCommonData* ASkinData, TsSkinManager* ASkinManager,
                        const UnicodeString& SkinSection, bool Repaint);
    virtual void SaveStdParams() {}
    virtual void RestoreStdParams() {}
    virtual void SetSkinParams() { ParamsChanged = true; }
    virtual void kvWndProc(TMessage& Message);

    // The window's previous procedure (or WindowProc); 0 once the wrapper
    // let go of the window.  LParam comes back as the procedure left it.
    LRESULT CallPrevWndProc(HWND Handle, UINT Msg, WPARAM WParam, LPARAM& LParam);
    LRESULT CallPrevWndProc(TMessage& Message);

    // The method the hooked control's WindowProc holds while the wrapper has it.
    TWndMethod HookMethod() const;
    // The wrapper still has its window (not Destroyed and hooked).
    bool Hooked() const { return !Destroyed && (OldProc || OldWndProc.Assigned()); }

    // --- fields (shared vocabulary of the wrappers)
    bool DlgMode = false;          // a system dialog's child: plain dialog look
    UnicodeString Caption;         // the window text
    TRect WndRect;                 // window rectangle on the screen (InitCtrlData)
    TSize WndSize{};               // its width and height
    TPoint WndPos;                 // its top-left corner in the parent's client area
    TRect ParentRect;              // the parent's window rectangle on the screen
    HWND ParentWnd = nullptr;
    TWndMethod OldWndProc;         // the WindowProc taken over (control or provider form)
    WNDPROC OldProc = nullptr;     // the procedure found on a raw window when it was subclassed
    HWND CtrlHandle = nullptr;
    TsSkinManager* SkinManager = nullptr;
    TsCommonData* SkinData = nullptr;
    bool DontRepaint = false;      // no repainting meanwhile (scroll requests being sent)
    bool ParamsChanged = false;    // the skin's values are in the control (cleared when a skin is set)
    TColor StdColor = clNone;      // the control's own colours (SaveStdParams)
    TColor StdFontColor = clNone;
    bool Destroyed = false;        // the wrapper let go of its window
    bool OwnSkinData = false;      // SkinData is the wrapper's own
    TObjectInstance NewWndProcInstance = nullptr; // the subclassing of a raw window
    int Tag = 0;                   // for the creator

protected:
    // Create switches the window's visual styles off when this answers true:
    // for every section but "DIALOG" here.
    virtual bool StylesOffWanted(const UnicodeString& SkinSection, bool Repaint) const;

    // The control whose WindowProc the wrapper takes over: the owner control,
    // or the form of a provider's skin data; nullptr for a raw window.
    TControl* WindowProcOwner() const;

    // The steps of kvWndProc.
    void PassOn(TMessage& Message) { Message.Result = CallPrevWndProc(Message); }
    void WMDestroy(TMessage& Message);
    void WMSetText(TMessage& Message);
    void WMMouseMove(TMessage& Message);
    void KorvexCommand(TMessage& Message);
    void SkinSet(TMessage& Message);
    void SkinRefresh(TMessage& Message);
    void ParentUpdated(TMessage& Message);
    void GetBGColorAnswer(TMessage& Message);

    // Gives the window back: out of its chain, the property removed and,
    // with RestoreLook, visual styles, colours and the owner's opaqueness
    // back and (Repaint set or not) the frame redrawn when visible.  Marks
    // the wrapper Destroyed.
    void GiveBack(bool RestoreLook, bool RedrawFrame, bool Repaint);

    // A skin is set (again) for the wrapper's manager: the skin's values go
    // into the control at the next paint (SetSkinParams), also after a
    // removal gave the control its own back, and an opaqueness given back at
    // that removal is taken again.  The control's own values saved by Create
    // stay the ones given back.
    void SkinComesBack();
    // The owner control becomes opaque while wrapped; only a bit the wrapper
    // added is taken out again (GiveOpaqueBack), with ForNow for a skin that
    // may come back to this wrapper (SkinComesBack takes it again).
    void TakeOpaque();
    void GiveOpaqueBack(bool ForNow = false);

private:
    friend void InitializeKVWnd(TkvMainWnd* Wnd, HWND Handle);
    friend void UnhookKVWnd(TkvMainWnd* Wnd);
    friend void UninitializeKVWnd(HWND Handle, bool FreeIt, bool Repaint, TkvMainWnd*& Wnd);
    friend class kvsb_detail::TkvAliveGuard;
    // The hook between the WindowProc taken over and this wrapper.
    kvsb_detail::TkvProcHook* FProcHook = nullptr;
    // Handlers of this wrapper waiting in calls that may free it.
    kvsb_detail::TkvAliveGuard* FGuards = nullptr;
    // Clears SkinManager when that manager is freed (owned).
    TComponent* FManagerWatch = nullptr;
    bool FStylesOff = false; // visual styles switched off by Create
    bool FOpaqueSet = false;      // csOpaque was added to the owner control by this wrapper
    bool FOpaqueReturned = false; // ...and taken out at a skin removal, for the next skin
};

namespace kvsb_detail {
// Tells a handler whether its wrapper survived a call (a previous procedure
// may free the wrapper): TkvAliveGuard g(this); PassOn(M); if (!g.Alive()) return;
class TkvAliveGuard {
public:
    explicit TkvAliveGuard(TkvMainWnd* Wnd) : FWnd(Wnd), FPrev(Wnd->FGuards) { Wnd->FGuards = this; }
    ~TkvAliveGuard()
    {
        if (FWnd)
            FWnd->FGuards = FPrev;
    }
    TkvAliveGuard(const TkvAliveGuard&) = delete;
    TkvAliveGuard& operator=(const TkvAliveGuard&) = delete;
    bool Alive() const { return FWnd != nullptr; }
    // Called by the dying wrapper for every guard on its chain.
    static void WrapperGone(TkvAliveGuard* First)
    {
        for (TkvAliveGuard* g = First; g; g = g->FPrev)
            g->FWnd = nullptr;
    }

private:
    TkvMainWnd* FWnd;
    TkvAliveGuard* FPrev;
};
} // namespace kvsb_detail
using kvsb_detail::TkvAliveGuard;

// A typed creation through the class reference.
template <class T>
T* CreateWnd(HWND AHandle, TsCommonData* ASkinData, TsSkinManager* ASkinManager, const UnicodeString& SkinSection,
             bool Repaint)
{
    return static_cast<T*>(TkvWndClass::Of<T>().Create(AHandle, ASkinData, ASkinManager, SkinSection, Repaint));
}

// ---------------------------------------------------------------------------
// Unit globals.

// Copied into DlgMode by every wrapper's Create.  The dialog skinner sets it
// while it wraps a dialog's children (TFlagScope).
extern bool kvDlgMode;
// True while a control adapter frees all its items (its form is being
// destroyed); set by the form skinning.  A wrapper freed meanwhile lets go of
// its window without giving back its look, unless the skin is being removed.
extern bool bRemoving;
// The flat-scroll-bar entries of comctl32 and user32's GetScrollBarInfo,
// looked up when the unit starts; nullptr when missing (callers test).
using TKvFlatSBProc = BOOL(WINAPI*)(HWND Wnd);
using TKvGetScrollBarInfo = BOOL(WINAPI*)(HWND Wnd, LONG ObjectId, PSCROLLBARINFO Info);
extern TKvFlatSBProc Kv_InitializeFlatSB;
extern TKvFlatSBProc Kv_UninitializeFlatSB;
extern TKvGetScrollBarInfo Kv_GetScrollBarInfo;

// ---------------------------------------------------------------------------
// Hooking and unhooking.

// The wrapper recorded in the window's "KVSBSC" property; nullptr when none.
TkvMainWnd* Kv_GetScrollWndFromHwnd(HWND Handle);
// Records Wnd in the window's property and takes the window over: through
// the WindowProc of the owner control or provider form, else by handle.  A
// window that cannot be taken over leaves Wnd Destroyed and unrecorded.
void InitializeKVWnd(TkvMainWnd* Wnd, HWND Handle);
// Gives the window back (when Wnd is not Destroyed yet): the previous
// procedure, the property, the control's own colours, a redrawn frame of a
// visible window; Wnd becomes Destroyed.  With FreeIt Wnd is also freed and
// the variable cleared.  Nil does nothing.
void UninitializeKVWnd(HWND Handle, bool FreeIt, bool Repaint, TkvMainWnd*& Wnd);
template <class T>
void UninitializeKVWnd(HWND Handle, bool FreeIt, bool Repaint, T*& Wnd)
{
    TkvMainWnd* w = Wnd;
    UninitializeKVWnd(Handle, FreeIt, Repaint, w);
    Wnd = static_cast<T*>(w);
}
// Takes Wnd out of its window's chain and removes the property, nothing
// more; the first step of every unhook.
void UnhookKVWnd(TkvMainWnd* Wnd);
// FrameChanged: the window computes and paints its frame again
// (SWP_FRAMECHANGED); otherwise only WM_NCPAINT.
void Kv_RedrawNonClient(HWND Handle, bool FrameChanged);

// ---------------------------------------------------------------------------
// Routines shared by the wrappers (kvSBUtils_Cache.cpp).

// The broadcast of Message to Control's children, or (no control) to the
// child windows of Handle.
void KorvexBroadCastCheck(TControl* Control, HWND Handle, TMessage& Message);
// The skin data's border image has hot frames.
bool MayBeHot(TsCommonData* SkinData);
// Sets or reads a published integer or colour property when the object has it.
void SetIntPropIfPresent(TObject* Obj, const UnicodeString& PropName, int Value);
TColor GetColorPropIfPresent(TObject* Obj, const UnicodeString& PropName);
// The first owned component (searched depth first) that is a windowed
// control whose window is Handle; nullptr when none.
TComponent* FindControlByHandle(HWND Handle, TComponent* Component);
// The geometry a painting wrapper reads: the window rectangle, the parent,
// its rectangle, the window's size and its position in the parent's client
// area.  Caption is not read.
void InitCtrlData(HWND Wnd, HWND& ParentWnd, TRect& WndRect, TRect& ParentRect, TSize& WndSize, TPoint& WndPos,
                  const UnicodeString& Caption = {});
// The same into a wrapper's own fields.
void InitCtrlData(TkvMainWnd* Wnd);
// Rebuilds the window's cache bitmap from the skin when BGChanged.
void PrepareCache(TsCommonData* SkinData, HWND Wnd, bool DlgMode);
// The key-colour corner pixels of the wrapper's cached picture take what
// lies behind the window.
void FillWrapperCorners(TsCommonData* SkinData, int State, TkvMainWnd* Wnd);
// SMC_ADD_TO_ADAPTER to the outermost ancestor of Handle.
void SendCommandToTopParent(HWND Handle);
