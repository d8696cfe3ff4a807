// The skin provider: the component that skins one form.  It is placed on a
// form by the developer (streamed) or put there at run time by the
// window-creation hook (CreateRT), takes over the form's WindowProc with
// NewWndProc, owns the form's skin state (SkinData, section "FORM") and
// everything the skinned frame needs, and gives the form back when it goes.
//
// The unit is split by topic:
//   sSkinProvider.cpp          construction, start, applying a skin, destruction
//   sSkinProvider_Props.cpp    published properties and their setters
//   sSkinProvider_Units.cpp    the unit's routines (composition, caption cover,
//                              GetSkinProvider, drawing holds, main-form updates)
//   sSkinProvider_WndProc.cpp  the window procedure's dispatch and its
//                              command-message tables
//   sSkinProvider_Messages.cpp the window messages of the skinned state
//   sSkinProvider_Mouse.cpp    non-client clicks and system commands
//   sSkinProvider_Paint.cpp    painting messages (WM_PAINT, WM_ERASEBKGND,
//                              WM_PRINT, showing and sizing)
//   sSkinProvider_Metrics.*   the frame's geometry in one object (facts in,
//                              sizes, places and the hit test out)
//   sSkinProvider_Frame.cpp    the facts read off the form, the hit test,
//                              the window region, snapping, the outline
//                              move and resize, the maximised size
//   sSkinProvider_NCPaint.cpp  the window image painted from the skin
//   sSkinProvider_Output.cpp   the image copied to the frame and the client
//   sSkinProvider_Buttons.cpp  caption buttons: faces, layout, hot and
//                              pressed states, title-button hints
//   sSkinProvider_ExBorders.* the extended-border window and the owner
//                              interface it shares with the fades
//   sSkinProvider_Anim.cpp     the caption buttons' fade animation
//   sSkinProvider_Wrappers.cpp the hand-over of controls and scroll bars to
//                              window wrappers
//   sSkinProvider_Title.*      title buttons, title icon, added title
//   sSkinProvider_SysMenu.*    the system menu's rules
//   sSkinProvider_Seams.cpp    what the engine reaches through its seams
// GUI thread only.
#pragma once

#include <windows.h>
#include <windowsx.h>

#include <vector>

#include "classlib/controls/Forms.h"
#include "classlib/controls/Menus.h"
#include "classlib/graphics/Graphics.h"
#include "classlib/rtl/Classes.h"
#include "skin/core/sCommonData.h"
#include "skin/core/sFormsSeam.h"
#include "skin/core/sVclUtils_Anim.h"
#include "skin/forms/sSkinProvider_ExBorders.h"
#include "skin/forms/sSkinProvider_Metrics.h"
#include "skin/forms/sSkinProvider_SysMenu.h"
#include "skin/forms/sSkinProvider_Title.h"

class TsSkinManager;
class TsSkinProvider;
class TkvScrollWnd;  // window wrappers: the scroll bars of an auto-scrolling form
class TkvCtrlAdapter;

// Class-of-control code of a provider's skin data.
constexpr int COC_TsSkinProvider = 224;

// Bit of SkinData.CtrlSkinState: a menu change arrived while drawing was held back.
constexpr WORD CSS_MENUOWED = 0x400;

enum TsGripMode { gmNone, gmRightBottom };
enum TsResizeMode { rmStandard, rmBorder };
enum TShowAction { saIgnore, saRestore, saMinimize, saMaximize };

using TAOR = std::vector<TRect>;
using TAddItemEvent = TMethod<void(TObject* Item, bool& CanBeAdded, UnicodeString& SkinSection)>;
using TkvNCHitTest = TMethod<void(TMessage& Msg)>;

class TsSkinProvider : public TComponent, public TsProviderSeam, public TsAnimShowSeam, public TkvFrameOwner {
    KV_CLASS(TsSkinProvider)
    KV_PUBLISHED
public:
    // The design-time and streaming constructor.  Raises when AOwner is not
    // a form.  At run time a provider that finds a started provider on the
    // form stays inert; one that finds a run-time provider not started yet
    // replaces it.
    explicit TsSkinProvider(TComponent* AOwner);
    // The run-time provider the hook puts on a form: it has taken over the
    // window procedure but does nothing until the form's first non-client
    // message (or visibility change).  InitRT is not consulted.
    static TsSkinProvider* CreateRT(TComponent* AOwner, bool InitRT = true);
    ~TsSkinProvider() override;

    void AfterConstruction() override;
    void Loaded() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

    // Starts a provider: composition transitions off, the skin applied, the
    // adapter made, the system menu and title buttons updated.
    void LoadInit();
    // Applies the current skin to the form.
    void PrepareForm();
    // Removes WS_SYSMENU while the skin draws the caption buttons, puts it
    // back otherwise.
    void CheckSysMenu(bool Skinned);
    // Hooks or unhooks the form's menus to the skinned menus.
    void InitMenuItems(bool Active);
    // Has the main menu measure itself again; False while one runs.
    bool UpdateMenu();
    void RepaintMenu();
    void RepaintMenuItem(TMenuItem* Item, const TRect& R, TOwnerDrawState State);
    UnicodeString TitleSkinSection() const;
    int TitleSkinIndex();
    // The design-time entry; nothing at run time.
    void DsgnWndProc(TMessage& Message) override { (void)Message; }

    // The window procedure that replaces the form's WindowProc.
    void NewWndProc(TMessage& Message);
    // The caption cover form's window procedure.
    void NewCaptFormProc(TMessage& Message);

    // The virtual slot of the control adapter (made by the adapter's unit).
    virtual void AdapterCreate();
    void AdapterRemove();

    // --- published
    TkvAddedTitle* AddedTitle() const { return FAddedTitle; }
    bool AllowExtBorders() const { return FAllowExtBorders; }
    void SetAllowExtBorders(bool Value);
    TAlignment CaptionAlignment() const { return FCaptionAlignment; }
    void SetCaptionAlignment(TAlignment Value);
    bool DrawNonClientArea() const { return FDrawNonClientArea; }
    void SetDrawNonClientArea(bool Value);
    TsCommonData* SkinData() const { return FCommonData; }
    TsGripMode GripMode() const { return FGripMode; }
    void SetGripMode(TsGripMode Value) { FGripMode = Value; }
    bool MakeSkinMenu() const { return FMakeSkinMenu; }
    void SetMakeSkinMenu(bool Value) { FMakeSkinMenu = Value; }
    const UnicodeString& MenuLineSkin() const { return FMenuLineSkin; }
    void SetMenuLineSkin(const UnicodeString& Value);
    TsResizeMode ResizeMode() const { return FResizeMode; }
    void SetResizeMode(TsResizeMode Value) { FResizeMode = Value; }
    bool ScreenSnap() const { return FScreenSnap; }
    void SetScreenSnap(bool Value) { FScreenSnap = Value; }
    int SnapBuffer() const { return FSnapBuffer; }
    void SetSnapBuffer(int Value) { FSnapBuffer = Value; }
    bool ShowAppIcon() const { return FShowAppIcon; }
    void SetShowAppIcon(bool Value);
    TsTitleButtons* TitleButtons() const { return FTitleButtons; }
    void SetTitleButtons(TsTitleButtons* Value);
    TsTitleIcon* TitleIcon() const { return FTitleIcon; }
    const UnicodeString& TitleSkin() const { return FTitleSkin; }
    void SetTitleSkin(const UnicodeString& Value);
    bool UseGlobalColor() const { return FUseGlobalColor; }
    void SetUseGlobalColor(bool Value);
    TkvNCHitTest OnExtHitTest;
    TAddItemEvent OnSkinItem;

    // --- TsProviderSeam
    TComponent* ProviderComponent() override { return this; }
    TComponent* ProviderManager() override;
    void SetInAnimation(bool Value) override { FInAnimation = Value; }
    bool HasBorderForm() override { return BorderForm != nullptr; }
    void FreezeBorderForm() override;
    bool DrawsNonClientArea() override { return FDrawNonClientArea; }
    void UpdateRegion() override;
    void UpdateBorderPos() override;
    int OffsetX() override;
    int OffsetY() override;
    void FreeTitleBG() override;
    TsAnimShowSeam* AnimShow() override;
    HRGN CornerRegion() override;
    TPoint BorderFormOffset() override;

    // --- TsAnimShowSeam
    HWND RealWindow() override;
    HWND BorderWindow() override;
    TSize RenderImage() override;
    void PaintInto(TBitmap* Bmp) override;
    TPoint BorderOffset() override;
    void ShowEnded(int MaxTransparency) override;

    // --- TkvFrameOwner: what the border window and the fades ask
    HWND FrameHandle() override;
    TsCommonData* FrameSkinData() override { return FCommonData; }
    TkvBorderForm* FrameBorderForm() override { return BorderForm; }
    TsCustomSysMenu* FrameSysMenu() override { return SystemMenu; }
    TRect FrameShadowSize() override { return ShadowSize(); }
    TPoint FrameImageOrigin() override;
    int FrameSysBorderWidth() override { return SysBorderWidth(false); }
    void FramePaintAll() override { PaintAll(); }
    void FrameKillAnimations() override { KillAnimations(); }
    void FrameSetHotHT(int HitCode) override { SetHotHT(HitCode, true); }
    TsCaptionButton* FrameButton(int HitCode) override { return ButtonByCode(HitCode); }
    int FrameButtonFace(int HitCode) override;
    void FrameButtonBackground(const TsCaptionButton& Btn, TBitmap* Dst) override;
    void FrameButtonGlyph(int HitCode, TBitmap* Dst, bool Pressed) override;
    TsFrameMetrics FrameMetrics() override { return Metrics(); }
    int FrameExtHitTest(TMessage& Message) override;
    void FrameDoubleClick(int HitCode) override;
    BYTE FrameAlpha() override;
    TRect FrameClientHole() override;
    bool FrameReady() override;
    bool FrameModal() override;

    // --- the frame's geometry, hit test, region and moves (sSkinProvider_Frame.cpp)
    // What the frame's geometry depends on now, and the geometry itself:
    // every painter and hit test asks these.
    TsFrameFacts FrameFacts();
    TsFrameMetrics Metrics();
    // Hit code of the point of a WM_NCHITTEST; the caption button there
    // becomes hot.
    int HTProcess(TMessage& Message);
    // Height of the title bar in the window image (skin) or on the window (system).
    int CaptionHeight(bool CheckSkin = true);
    int SysBorderWidth(bool CheckSkin = true);
    int SysBorderHeight(bool CheckSkin = true);
    int BorderHeight(bool CheckSkin = true);
    int HeaderHeight();
    int MenuHeight();
    // The width of the window image.
    int CaptionWidth();
    TRect IconRect();
    bool IconVisible();
    // The window image no longer fits the window.
    bool FormChanged();
    bool IsGripVisible();
    bool MenuPresent();
    bool MDIButtonsNeeded();
    int LinesCount();
    // The window's top-left on the screen, and a screen point relative to it.
    TPoint FormLeftTop();
    TPoint CursorToPoint(int X, int Y);
    // The transparent corners of the skin, and the window region without them.
    void FillArOR();
    HRGN GetRgnFromArOR(int X, int Y);
    // True when the region was set (a repainting one asks for a new paint).
    bool UpdateRgn(bool Repaint);
    // A moving position change lands on a near work-area edge (ScreenSnap).
    void SnapPosition(WINDOWPOS& Pos);
    // The outline move and resize of rmBorder.
    void StartMove(int X, int Y);
    void TrackOutline(const TPoint& P);
    void StopMove(int X, int Y);
    void DrawFormBorder(int X, int Y);
    void KV_WMGetMinMaxInfo(TMessage& Message);

    // --- the window image (sSkinProvider_NCPaint.cpp)
    // Rebuilds the window image when the background changed.
    void PaintAll();
    void MakeTitleBG();
    void SaveBGForBtns(bool Full);
    void RestoreBtnsBG();

    // --- the frame output and client painting (sSkinProvider_Output.cpp)
    void KV_WMNCPaint(TMessage& Message);
    // The frame bands of the window image to DC (window coordinates).
    // The menu line and BorderWidth bands of a form with a border window,
    // in window coordinates.
    void PaintBorderWindowBands(HDC DC);
    void PaintCaption(HDC DC);
    // The client part of the window image to DC (client coordinates).
    void PaintForm(HDC DC, bool SendUpdated);
    void KV_WMEraseBkGnd(TMessage& Message, HDC DC);
    void OurPaintHandler(TMessage& Message);
    // The colour the client area shows.
    TColor FormColor();

    // --- caption buttons (sSkinProvider_Buttons.cpp)
    // Looks up the caption buttons' masks of the current skin.
    void UpdateIconsIndexes();
    // Lays out and draws every caption button into the window image.
    void PaintBorderIcons();
    // Shows one button's new state on the window.
    void RepaintButton(int HitCode);
    // Hides the button's glow window, if it has one.
    void DropGlow(TsCaptionButton& Btn);
    // The skinned caption buttons are drawn (the system's are then hidden).
    bool PaintsCaptionButtons() const;
    void SetHotHT(int HitCode, bool Repaint = true);
    void SetPressedHT(int HitCode);
    // The record of a hit code; nullptr for any other code.
    TsCaptionButton* ButtonByCode(int HitCode);

    // --- what later parts of the frame add
    void InitExBorders(bool Active);
    void UpdateExBordersPos(bool Redraw = true, int Blend = 255);
    void KillAnimations();
    TRect ShadowSize();
    void DropSysMenu(int X, int Y);
    void HookMDI(bool Active);

    // --- the wrappers' hand-over (sSkinProvider_Wrappers.cpp)
    // Every listed child control of Parent (the form when nil) to a wrapper.
    void AddAllItems(TWinControl* Parent);
    void AddNewItem(TWinControl* Control);
    void SendToAdapter(TMessage& Message);
    // Frees the skinned scroll bars of the form (ListSW).
    void FreeScrollWrapper(bool Repaint = true);
    // The adapter and the scroll wrapper go (before the provider gives the
    // form's WindowProc back: the scroll wrapper sits in front of it).
    void ReleaseWrappers();

    // --- fields, in the order the provider's Parts name them
    TAOR ArOR;
    bool RgnChanged = true;
    int CurrentHT = 0;
    TBitmap* TempBmp = nullptr;
    bool FMakeSkinMenu = false;
    bool FShowAppIcon = true;
    bool ControlsChanged = false;
    bool HaveSysMenu = false;
    TAlignment FCaptionAlignment = taLeftJustify;
    TsTitleIcon* FTitleIcon = nullptr;
    TsTitleButtons* FTitleButtons = nullptr;
    TsGripMode FGripMode = gmNone;
    TsCommonData* FCommonData = nullptr;
    TsResizeMode FResizeMode = rmStandard;
    bool FirstInitialized = false;
    bool FScreenSnap = false;
    int FSnapBuffer = 10;
    bool FUseGlobalColor = true;
    UnicodeString FTitleSkin;
    UnicodeString FMenuLineSkin;
    int UserBtnIndex = -1;
    bool FDrawNonClientArea = true;
    bool FAllowExtBorders = true;
    TkvAddedTitle* FAddedTitle = nullptr;
    int LockCount = 0;
    bool ClearButtons = false;
    bool MenusInitialized = false;
    bool RegionChanged = true, CaptChanged = true, CaptRgnChanged = true;
    TBitmap* FGlow1 = nullptr;
    TBitmap* FGlow2 = nullptr;
    TsCaptionButton ButtonMin, ButtonMax, ButtonClose, ButtonHelp, MDIMin, MDIMax, MDIClose;
    TRect LastClientRect{};
    bool FSysExHeight = false;
    int FTitleSkinIndex = -1, FCaptionSkinIndex = -1;
    bool RTInit = false;
    bool RTEmpty = false;
    bool AeroInvalidate = false;
    bool InMenu = false;
    bool FInAnimation = false;
    TShowAction ShowAction = saIgnore;
    bool fAnimating = false;
    TkvScrollWnd* ListSW = nullptr;
    TkvCtrlAdapter* Adapter = nullptr;
    bool RgnChanging = false;
    bool MenuChanged = true;
    TWndMethod OldWndProc;
    TObject* MDIForm = nullptr;
    bool FormActive = false;
    TBitmap* MenuLineBmp = nullptr;
    TPoint MenuLineOrigin{};  // where MenuLineBmp's top-left lies in the window image
    TForm* Form = nullptr;
    int FLinesCount = -1;
    TsSystemMenu* SystemMenu = nullptr;
    TBitmap* TitleBG = nullptr;
    TForm* CaptForm = nullptr;
    TWndMethod OldCaptFormProc;
    TkvBorderForm* BorderForm = nullptr;

    // The provider took over the form's WindowProc (and gives it back).
    bool HookedWndProc() const { return FHooked; }
    // The provider is one of those that exist now (a handler that pumped
    // messages asks before touching it again).
    static bool Alive(const TsSkinProvider* Provider);

private:
    bool FHooked = false;
    bool FDestroying = false;

    void TakeOverForm();
    void GiveBackForm();
    void FreeOwned();
    // A run-time provider's start on its first non-client message.
    void StartRT();
    bool FormGoing() const;
    bool ManagerOf(LPARAM LParam);
    TsSkinManager* Manager() const;
    void ApplyGlobalColor();
    void BackgroundChanged() { FCommonData->BGChanged = true; }

    // sSkinProvider_Frame.cpp
    void ReadSkinFacts(TsFrameFacts& F);
    void ReadButtonFacts(TsFrameFacts& F);
    void ReadScrollFacts(TsFrameFacts& F);
    int GlobalMask(const wchar_t* Name);
    int NormFace(const TsCaptionButton& Btn);
    int MaxFace();
    int MinFace();
    int UserButtonWidth(TsTitleButton* Button);
    int SkinFrameWidth();
    bool ChildIconPresent();
    int MenuBarItemWidth(int Pos);
    TSize MinTrackSize();

    // sSkinProvider_NCPaint.cpp
    void PaintBase(const TsFrameMetrics& M);
    void PaintMDIArea(const TsFrameMetrics& M);
    void PaintExtendedFrame(const TsFrameMetrics& M, const TCacheInfo& CI);
    void PaintTitleBar(const TsFrameMetrics& M, const TCacheInfo& CI);
    void PaintMenuLine(const TsFrameMetrics& M, const TCacheInfo& CI);
    void PaintCaptionText(const TsFrameMetrics& M, TBitmap* TitleBand = nullptr);
    void PaintCaptionFrame(const TsFrameMetrics& M, TRect& TextR, UINT Flags, TBitmap* TitleBand);
    void PaintAddedTitle(TRect TextR, int AddWidth, int Section);
    void DrawAppIcon(const TsFrameMetrics& M);

    // sSkinProvider_Output.cpp
    bool BehindMaximisedChild();
    void PaintThinFrame(HDC DC);
    void PrintWithBorderWindow(HDC DC);
    void PrintWithoutBorderWindow(HDC DC);
    void PaintOnPaintIntoImage(const TsFrameMetrics& M);
    TBitmap* PrepareImage(const TsFrameMetrics& M);

    // sSkinProvider_Buttons.cpp
    void DrawCaptionButton(TsCaptionButton& Btn, int Face, bool Enabled);
    // The title button's glyph centred in R of Dst (the window image when nil).
    void DrawTitleGlyph(TsTitleButton* Button, const TRect& R, bool Pressed, TBitmap* Dst = nullptr);
    void DrawMDIButtons(const TsFrameMetrics& M);
    void CopyButtonToWindow(const TRect& R);
    bool ButtonFaceOf(int HitCode, int& Face, bool& Disabled);
    bool ButtonFades(int HitCode);

    // sSkinProvider_WndProc.cpp
    bool ServeAlways(TMessage& Message);
    void SkinRemove(TMessage& Message);
    void AnswerBGInfo(TMessage& Message);
    void UnskinnedProc(TMessage& Message);
    void UnskinnedSkinSet(TMessage& Message);
    void SkinnedCommand(TMessage& Message);
    void SkinnedSkinSet(TMessage& Message);
    void SkinnedRefresh(TMessage& Message);
    void SkinnedMessage(TMessage& Message);

    // sSkinProvider_Messages.cpp
    void WMCreate(TMessage& Message);
    void WMSetRedraw(TMessage& Message);
    void WMShowWindow(TMessage& Message);
    void SkinMDIChildren();
    void MDIChildActivated();
    void MDIChildSysCommand(TMessage& Message);
    void MDIChildRestore(TMessage& Message, bool Hold);
    void WMChildActivate(TMessage& Message);
    static void MDIChildGone();
    void WMMeasureItem(TMessage& Message);
    void WMWindowPosChanging(TMessage& Message);
    void WMWindowPosChanged(TMessage& Message);
    void WMNCHitTest(TMessage& Message);
    void WMNCPaint(TMessage& Message);
    void WMNCRButtonUp(TMessage& Message);
    void WMInitMenuPopup(TMessage& Message);
    void WMMouseMove(TMessage& Message);
    // The MDI icon form of the menu loop (sSkinProvider_MDIIcons.cpp).
    void WMEnterMenuLoop(TMessage& Message);
    void WMExitMenuLoop(TMessage& Message);
    void MdiIcoFormPaint(TObject* Sender);
    void FreeMDIIcons();
    bool ShowsMDIIcons() const;
    void WMParentNotify(TMessage& Message);
    void WMMDIActivate(TMessage& Message);
    void WMExitSizeMove(TMessage& Message);
    void WMMouseLeave(TMessage& Message);
    void CMVisibleChanged(TMessage& Message);
    void CMMouseEnter(TMessage& Message);
    void CMMenuChanged(TMessage& Message);
    void CMControlListChange(TMessage& Message);
    void CMFloat(TMessage& Message);
    void KV_CMMouseWheel(TMessage& Message);

    // sSkinProvider_Mouse.cpp
    void WMNCLButtonDown(TMessage& Message);
    void NCLButtonDownUnframed(TMessage& Message);
    void WMNCLButtonUp(TMessage& Message, int HitCode);
    void CaptionButtonUp(TMessage& Message, int HitCode);
    void WMNCLButtonDblClk(TMessage& Message);
    void WMSysCommand(TMessage& Message);
    int ReleaseHitCode(TMessage& Message);
    int BorderWindowCode(TMessage& Message);
    void OutlineButtonDown(TMessage& Message, int Code);
    void MDIButtonUp(int HitCode);

    // sSkinProvider_Paint.cpp
    void WMSize(TMessage& Message);
    void WMActivate(TMessage& Message);
    void WMSetText(TMessage& Message);
    void WMPaint(TMessage& Message);
    void WMEraseBkgnd(TMessage& Message);
    void WMNCActivate(TMessage& Message);
    void WMPrint(TMessage& Message);
    void CMShowingChanged(TMessage& Message);
    void ShowAnimated(TMessage& Message);
};

// ---------------------------------------------------------------------------
// Unit state shared by the providers (GUI thread only).

// A caption button is being pressed (set by SetPressedHT, cleared by SetHotHT).
extern bool bBtnPressed;
// The provider of the maximised MDI child whose buttons the main form's menu line shows.
extern TsSkinProvider* MaxChildProvider;
// The MDI child being created must come up maximised.
extern bool MDICreating;
// Re-entrancy guard of the mouse-wheel forwarding.
extern bool bInWheel;
// The form asked to recreate its window for the task bar.
extern bool kvTaskBarChanging;
// The outline move and resize of rmBorder: one runs, the mouse was captured
// and the first move is still to come, it moves (True) or sizes (False),
// it was started by a click on the frame, and the border being dragged.
extern bool bInProcess;
extern bool bCapture;
extern bool bMode;
extern bool DoStartMove;
extern int nDirection;

// ---------------------------------------------------------------------------
// Unit routines.

// Desktop composition (AeroIsEnabled is the engine's).
void InitDwmApi();
void InitDwm(HWND Handle, bool Enable, bool Refresh = false);
HRESULT CallDwmSetWindowAttribute(HWND Handle, DWORD Attribute, const void* Value, DWORD Size);

// The provider that serves the component's form; nullptr when none.
TsSkinProvider* GetSkinProvider(TComponent* Component);
bool CtrlIsReadyForHook(TWinControl* Control);
// Holds back the form's drawing (and the MDI main form's, with MDIAlso).
void ForbidDrawing(TsSkinProvider* Provider, bool MDIAlso = false);
void PermitDrawing(TsSkinProvider* Provider, bool MDIAlso = false);
// Repaints the caption after its text, icon or alignment changed.
void UpdateSkinCaption(TsSkinProvider* Provider);
void UpdateMainForm(bool Repaint = true);
// Gives an auto-scrolling form skinned scroll bars, or takes them back.
void UpdateScrollWrapper(TsSkinProvider* Provider, TkvScrollWnd*& ListSW);
// The cover form hides the system's caption drawing while the caption changes.
void ShowCaptionCover(TsSkinProvider* Provider, bool FullHeight = false);
void FreeCaptionCover(TsSkinProvider* Provider);
// The MDI icon form while a menu loop shows it, else nil.
TForm* CurrentMDIIconsForm();
bool HaveBorder(TsSkinProvider* Provider);
bool InAnimation(TsSkinProvider* Provider);
bool BigButtons(TsSkinProvider* Provider);
bool IsBorderUnchanged(int MaskIndex, TsSkinManager* Manager);
// The size grip into a device context of image coordinates.
void PaintGrip(HDC DC, TsSkinProvider* Provider);
// The skin's "CAPTION" frame (section CaptionIndex) around a caption's text
// rectangle in a window image, over a copy of the title band (the one given,
// else one taken from the image now).  Answers the frame's rectangle.
TRect PaintCaptionFrame(TBitmap* Image, TBitmap* TitleBand, const TsFrameMetrics& M, const UnicodeString& Caption,
                        const TRect& TextR, UINT Flags, int CaptionIndex, bool Active, TsSkinManager* Sm);
// The work area of the form's monitor.
TRect FormWorkArea(TCustomForm* Form);
// V moves onto Edge - Extent when it lies within Buffer pixels of it.
void SnapCoordinate(int& V, int Edge, int Buffer, int Extent);
// Hides a window by making it layered with an empty picture (True), or
// shows it again.
bool HideByLayering(TWinControl* Control, bool Hide);
