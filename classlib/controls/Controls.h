// Controls: TControl (no window of its own), TWinControl (a window made on
// demand), TGraphicControl and TCustomControl (both paint on a canvas).
//
// Message routing: every window we create belongs to a class registered under
// the control's ClassName; the class procedure finds the control through a
// window property and calls its WindowProc, a replaceable method that starts
// out as the control's own WndProc.  WndProc dispatches to virtual handlers
// and ends in DefaultHandler, which calls the window's system procedure.
// Skinners save WindowProc, put their own, and restore the saved one later.
#pragma once

#include <windows.h>

#include <memory>
#include <vector>

#include "classlib/controls/Messages.h"
#include "classlib/graphics/Graphics.h"
#include "classlib/graphics/Types.h"
#include "classlib/rtl/Classes.h"
#include "classlib/rtl/TypInfo.h"

class TControl;
class TWinControl;
class TCustomForm;
class TPopupMenu;
class TBasicAction;
class TBasicActionLink;

// ---------------------------------------------------------------------------
// Enumerations and sets.
enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient, alCustom };
using TAlignSet = TSet<TAlign>;

enum TAnchorKind { akLeft, akTop, akRight, akBottom };
using TAnchors = TSet<TAnchorKind>;

// Border style of controls and forms (controls use bsNone and bsSingle).
enum TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
using TBorderStyle = TFormBorderStyle;

enum TMouseButton { mbLeft, mbRight, mbMiddle };

// Bevels: the cut of a panel's or a control's bevel, and the frame a
// windowed control draws around its client area (BevelKind not bkNone).
enum TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };
enum TBevelKind { bkNone, bkTile, bkSoft, bkFlat };
enum TBevelEdge { beLeft, beTop, beRight, beBottom };
using TBevelEdges = TSet<TBevelEdge>;
using TBevelWidth = int;

enum TAlignment { taLeftJustify, taRightJustify, taCenter };

// Right-to-left layout: only honoured on a middle-east system (SysLocale).
enum TBiDiMode { bdLeftToRight, bdRightToLeft, bdRightToLeftNoAlign, bdRightToLeftReadingOnly };

enum TShiftStateItem { ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble };
using TShiftState = TSet<TShiftStateItem>;

enum TControlStyleItem {
    csAcceptsControls, csCaptureMouse, csDesignInteractive, csClickEvents, csFramed, csSetCaption,
    csOpaque, csDoubleClicks, csFixedWidth, csFixedHeight, csNoDesignVisible, csReplicatable,
    csNoStdEvents, csDisplayDragImage, csReflector, csActionClient, csMenuEvents, csNeedsBorderPaint,
    csParentBackground, csPannable, csAlignWithMargins, csGestures, csPaintBlackOpaqueOnGlass,
    csOverrideStylePaint
};
using TControlStyle = TSet<TControlStyleItem>;

enum TControlStateItem {
    csLButtonDown, csClicked, csPalette, csReadingState, csAlignmentNeeded, csFocusing, csCreating,
    csPaintCopy, csCustomPaint, csDestroyingHandle, csDocking, csDesignerHide, csPanning,
    csRecreating, csAligning, csGlassPaint, csPrintClient
};
using TControlState = TSet<TControlStateItem>;

// State of an owner-drawn item (menu items, list and combo items): element i
// is bit i of the system's item state (ODS_SELECTED is bit 0...).
enum TOwnerDrawStateItem {
    odSelected, odGrayed, odDisabled, odChecked, odFocused, odDefault, odHotLight, odInactive, odNoAccel,
    odNoFocusRect, odReserved1, odReserved2, odComboBoxEdit
};
using TOwnerDrawState = TSet<TOwnerDrawStateItem>;

// Cursors: the class library's numbers, negative for the built-in ones.
using TCursor = int16_t;
constexpr TCursor crDefault = 0;
constexpr TCursor crNone = -1;
constexpr TCursor crArrow = -2;
constexpr TCursor crCross = -3;
constexpr TCursor crIBeam = -4;
constexpr TCursor crSizeNESW = -6;
constexpr TCursor crSizeNS = -7;
constexpr TCursor crSizeNWSE = -8;
constexpr TCursor crSizeWE = -9;
constexpr TCursor crUpArrow = -10;
constexpr TCursor crHourGlass = -11;
constexpr TCursor crDrag = -12;
constexpr TCursor crNoDrop = -13;
constexpr TCursor crHSplit = -14;
constexpr TCursor crVSplit = -15;
constexpr TCursor crMultiDrag = -16;
constexpr TCursor crSQLWait = -17;
constexpr TCursor crNo = -18;
constexpr TCursor crAppStart = -19;
constexpr TCursor crHelp = -20;
constexpr TCursor crHandPoint = -21;
constexpr TCursor crSizeAll = -22;
// The system cursor for a TCursor (nullptr for crNone; crDefault gives the arrow).
HCURSOR CursorHandle(TCursor Cursor);

// Events.
using TMouseEvent = TMethod<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TMouseMoveEvent = TMethod<void(TObject* Sender, TShiftState Shift, int X, int Y)>;
using TKeyEvent = TMethod<void(TObject* Sender, WORD& Key, TShiftState Shift)>;
using TKeyPressEvent = TMethod<void(TObject* Sender, wchar_t& Key)>;
using TMouseWheelEvent =
    TMethod<void(TObject* Sender, TShiftState Shift, int WheelDelta, TPoint MousePos, bool& Handled)>;
// MousePos is in client coordinates, (-1, -1) when the keyboard asked.
using TContextPopupEvent = TMethod<void(TObject* Sender, TPoint MousePos, bool& Handled)>;

// Shift state from the MK_* flags of a mouse message / the keyboard state.
TShiftState KeysToShiftState(WORD Keys);
TShiftState KeyDataToShiftState(LPARAM KeyData);
TShiftState GetShiftState();

// ---------------------------------------------------------------------------
// A canvas on a control: for a windowed control its own client area, for a
// graphic control its part of the parent's client area.
class TControlCanvas : public TCanvas {
    KV_CLASS(TControlCanvas)
    TControl* FControl = nullptr;
    HDC FDeviceContext = nullptr;
    HWND FWindowHandle = nullptr;

protected:
    void CreateHandle() override;

public:
    ~TControlCanvas() override;
    TControl* Control() const { return FControl; }
    void SetControl(TControl* Value);
    // Gives the device context back (ReleaseDC) when this canvas made it.
    void FreeHandle();
    void UpdateTextFlags() {}
    // Gives back every context a canvas holds on Wnd: the window is going.
    static void FreeWindowContexts(HWND Wnd);
};

// Lends a paint's device context to a control's canvas for one paint; the
// canvas is locked meanwhile and gets its former context back afterwards.
class TCanvasPaintScope {
    TControlCanvas* FCanvas;
    HDC FOld;

public:
    TCanvasPaintScope(TControlCanvas* Canvas, HDC DC);
    ~TCanvasPaintScope();
    TCanvasPaintScope(const TCanvasPaintScope&) = delete;
    TCanvasPaintScope& operator=(const TCanvasPaintScope&) = delete;
};

// Holds one element of a state set (ControlState, FormState) for a scope.
template <class E>
class TStateScope {
    TSet<E>& FState;
    E FItem;

public:
    TStateScope(TSet<E>& State, E Item) : FState(State), FItem(Item) { FState += Item; }
    ~TStateScope() { FState -= FItem; }
    TStateScope(const TStateScope&) = delete;
    TStateScope& operator=(const TStateScope&) = delete;
};

// ---------------------------------------------------------------------------
// Size limits of a control, 0 meaning none; SetBounds keeps the control
// inside them.  A minimum above the maximum raises the maximum (and the
// other way round); a negative value counts as 0.
class TSizeConstraints : public TPersistent {
    KV_CLASS(TSizeConstraints)
    KV_PUBLISHED
public:
    explicit TSizeConstraints(TControl* Control = nullptr) : FControl(Control) {}
    int MaxHeight() const { return FMaxHeight; }
    int MaxWidth() const { return FMaxWidth; }
    int MinHeight() const { return FMinHeight; }
    int MinWidth() const { return FMinWidth; }
    void SetMaxHeight(int Value);
    void SetMaxWidth(int Value);
    void SetMinHeight(int Value);
    void SetMinWidth(int Value);
    void Assign(TPersistent* Source) override;
    // Width and Height brought inside the limits.
    void Apply(int& Width, int& Height) const;
    TNotifyEvent OnChange;

private:
    void Change();
    TControl* FControl;
    int FMaxHeight = 0, FMaxWidth = 0, FMinHeight = 0, FMinWidth = 0;
};

// ---------------------------------------------------------------------------
class TControl : public TComponent {
    KV_CLASS(TControl)
    KV_PUBLISHED
public:
    explicit TControl(TComponent* AOwner);
    ~TControl() override;
    void BeforeDestruction() override;

    // Tree.
    TWinControl* Parent() const { return FParent; }
    virtual void SetParent(TWinControl* AParent);
    bool HasParent() const override { return true; }
    TComponent* GetParentComponent() const override;
    void SetParentComponent(TComponent* Value) override;

    // Position and size, relative to the parent's client area.
    int Left() const { return FLeft; }
    int Top() const { return FTop; }
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    void SetLeft(int Value) { SetBounds(Value, FTop, FWidth, FHeight); }
    void SetTop(int Value) { SetBounds(FLeft, Value, FWidth, FHeight); }
    void SetWidth(int Value) { SetBounds(FLeft, FTop, Value, FHeight); }
    void SetHeight(int Value) { SetBounds(FLeft, FTop, FWidth, Value); }
    virtual void SetBounds(int ALeft, int ATop, int AWidth, int AHeight);
    TRect BoundsRect() const { return Bounds(FLeft, FTop, FWidth, FHeight); }
    void SetBoundsRect(const TRect& R) { SetBounds(R.left, R.top, R.Width(), R.Height()); }
    virtual TRect GetClientRect();
    TRect ClientRect() { return GetClientRect(); }
    int ClientWidth() { return GetClientRect().Width(); }
    int ClientHeight() { return GetClientRect().Height(); }
    virtual void SetClientWidth(int Value);
    virtual void SetClientHeight(int Value);
    void SetClientSize(int W, int H);
    // Screen position of the client area's top-left corner.
    virtual TPoint ClientOrigin();
    TPoint ClientToScreen(const TPoint& P) { TPoint o = ClientOrigin(); return {P.x + o.x, P.y + o.y}; }
    TPoint ScreenToClient(const TPoint& P) { TPoint o = ClientOrigin(); return {P.x - o.x, P.y - o.y}; }

    TAlign Align() const { return FAlign; }
    void SetAlign(TAlign Value);
    TAnchors Anchors() const { return FAnchors; }
    void SetAnchors(TAnchors Value);

    // Visibility and state.
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);
    void Show();
    void Hide();
    bool Enabled() const { return FEnabled; }
    virtual void SetEnabled(bool Value);
    // Visible, and on a parent that shows (a windowed control: its window is shown).
    virtual bool IsShowing() const;
    void BringToFront();
    void SendToBack();

    // Text: Caption and Text are the same value.
    UnicodeString Caption() { return GetText(); }
    void SetCaption(const UnicodeString& Value) { SetText(Value); }
    UnicodeString Text() { return GetText(); }
    virtual UnicodeString GetText();
    virtual void SetText(const UnicodeString& Value);

    TColor Color() const { return FColor; }
    virtual void SetColor(TColor Value);
    bool ParentColor() const { return FParentColor; }
    void SetParentColor(bool Value);
    TFont* Font() const { return FFont; }
    void SetFont(TFont* Value) { FFont->Assign(Value); }
    bool ParentFont() const { return FParentFont; }
    void SetParentFont(bool Value);
    TCursor Cursor() const { return FCursor; }
    void SetCursor(TCursor Value);
    const UnicodeString& Hint() const { return FHint; }
    void SetHint(const UnicodeString& Value) { FHint = Value; }
    bool ShowHint() const { return FShowHint; }
    void SetShowHint(bool Value) { FShowHint = Value; }
    bool ParentShowHint() const { return FParentShowHint; }
    void SetParentShowHint(bool Value) { FParentShowHint = Value; }
    // The menu a right click (WM_CONTEXTMENU) pops up; a control without one
    // leaves the message to its parent.
    TPopupMenu* PopupMenu() const { return FPopupMenu; }
    void SetPopupMenu(TPopupMenu* Value);
    // The action the control shows (caption, enabled state, hint, visibility)
    // and executes when clicked without an OnClick of its own.
    TBasicAction* Action() const;
    void SetAction(TBasicAction* Value);

    // Bidirectional text.  Right-to-left takes effect only where
    // SysLocale.MiddleEast is set.
    TBiDiMode BiDiMode() const { return FBiDiMode; }
    void SetBiDiMode(TBiDiMode Value);
    bool ParentBiDiMode() const { return FParentBiDiMode; }
    void SetParentBiDiMode(bool Value);
    bool IsRightToLeft() const;
    bool UseRightToLeftAlignment() const;
    bool UseRightToLeftReading() const;
    bool UseRightToLeftScrollBar() const;
    // DrawText flags for this control: left and right alignment swapped for
    // right-to-left alignment (centring kept), DT_RTLREADING added for
    // right-to-left reading.
    UINT DrawTextBiDiModeFlags(UINT Flags) const;
    UINT DrawTextBiDiModeFlagsReadingOnly() const;
    // The alignment the control shows (check boxes override it).
    virtual TAlignment GetControlsAlignment() const { return taLeftJustify; }

    TControlStyle ControlStyle() const { return FControlStyle; }
    void SetControlStyle(TControlStyle Value) { FControlStyle = Value; }
    TControlState ControlState() const { return FControlState; }
    void SetControlState(TControlState Value) { FControlState = Value; }

    // Messages.  WindowProc starts as Bind(this, &TControl::WndProc); it is
    // read, replaced, compared and restored by whoever subclasses the control.
    TWndMethod WindowProc;
    virtual void WndProc(TMessage& Message);
    virtual void DefaultHandler(TMessage& Message);
    // Calls WindowProc directly and answers the message's Result.
    LRESULT Perform(UINT Msg, WPARAM WParam = 0, LPARAM LParam = 0);
    // Sends Msg to this control (through WindowProc) at once.
    void Dispatch(TMessage& Message) { WindowProc(Message); }
    // CM_CHANGED to the control itself (LParam = the control): its value
    // changed (an edit's text, a check box's state, a combo box's selection).
    void Changed();

    // The control holds the mouse (a control without a window through its
    // parent's window).  Setting it takes or gives back the capture.
    bool MouseCapture() const;
    void SetMouseCapture(bool Value);

    // Size limits; published as "Constraints".
    TSizeConstraints* Constraints() const { return FConstraints; }
    void SetConstraints(TSizeConstraints* Value) { FConstraints->Assign(Value); }
    // Sizing to the content: while AutoSize is set, SetBounds takes the size
    // CanAutoSize answers (a control that sizes itself answers true).
    virtual bool AutoSize() const { return FAutoSize; }
    virtual void SetAutoSize(bool Value);
    virtual bool CanAutoSize(int& NewWidth, int& NewHeight);
    // Sizes the control again by AutoSize and its constraints (not while loading).
    virtual void AdjustSize();

    // Painting.
    virtual void Invalidate();
    virtual void Repaint();
    void Refresh() { Repaint(); }
    virtual void Update();

    // Events.
    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;
    TMouseMoveEvent OnMouseMove;
    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;
    TNotifyEvent OnResize;
    TContextPopupEvent OnContextPopup;

    // Overridable behaviour.
    virtual void Click();
    virtual void DblClick();
    virtual void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void MouseMove(TShiftState Shift, int X, int Y);
    virtual void Resize();

    void Loaded() override;
    void SetName(const UnicodeString& NewName) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

protected:
    // The linked action changed, or was just linked (CheckDefaults: while
    // loading, only properties still at their defaults take the action's).
    virtual void ActionChange(TObject* Sender, bool CheckDefaults);
    TBasicActionLink* ActionLink() const { return FActionLink.get(); }

    // The context menu: OnContextPopup first, then the popup menu.
    virtual void WMContextMenu(TMessage& Message);
    virtual void DoContextPopup(const TPoint& MousePos, bool& Handled);
    virtual TPopupMenu* GetPopupMenu() { return FPopupMenu; }

    // Handlers WndProc dispatches to.
    virtual void WMMouseMove(TMessage& Message);
    virtual void WMButtonDown(TMessage& Message, TMouseButton Button);
    virtual void WMButtonUp(TMessage& Message, TMouseButton Button);
    virtual void CMEnabledChanged(TMessage& Message);
    virtual void CMVisibleChanged(TMessage& Message);
    virtual void CMColorChanged(TMessage& Message);
    virtual void CMFontChanged(TMessage& Message);
    virtual void CMTextChanged(TMessage& Message);
    virtual void CMMouseEnter(TMessage& Message);
    virtual void CMMouseLeave(TMessage& Message);
    virtual void CMParentColorChanged(TMessage& Message);
    virtual void CMParentFontChanged(TMessage& Message);
    virtual void CMHitTest(TMessage& Message);
    virtual void CMBiDiModeChanged(TMessage& Message);
    virtual void CMParentBiDiModeChanged(TMessage& Message);

    // The first step of BeforeDestruction (csDestroying, mouse state), for
    // TWinControl, which destroys its window before freeing owned components.
    void StartDestruction();
    // Called after the position or size changed.
    virtual void BoundsChanged() {}
    // Moves the control to the top or the bottom of its siblings.
    void SetZOrder(bool TopMost);
    virtual void RequestAlign();
    // The parent repaints the part of its client area this control covers.
    void InvalidateControl(bool IsVisible, bool IsOpaque);
    virtual void FontChanged(TObject* Sender);
    // A graphic control's palette/background helper: the parent's window.
    HWND ParentHandle() const;
    void SetTextBuf(const UnicodeString& Value) { FText = Value; }

    TWinControl* FParent = nullptr;
    int FLeft = 0, FTop = 0, FWidth = 0, FHeight = 0;
    TAlign FAlign = alNone;
    TAnchors FAnchors = {akLeft, akTop};
    bool FVisible = true;
    bool FEnabled = true;
    UnicodeString FText;
    TColor FColor = clWindow;
    bool FParentColor = true;
    TFont* FFont = nullptr;
    bool FParentFont = true;
    TCursor FCursor = crDefault;
    UnicodeString FHint;
    bool FShowHint = false;
    bool FParentShowHint = true;
    TControlStyle FControlStyle = {csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
    TControlState FControlState;
    TPopupMenu* FPopupMenu = nullptr;
    TBiDiMode FBiDiMode = bdLeftToRight;
    bool FParentBiDiMode = true;
    TSizeConstraints* FConstraints = nullptr;
    bool FAutoSize = false;
    // The size SetBounds gives: AutoSize's answer, then the constraints.
    void CheckNewSize(int& NewWidth, int& NewHeight);

private:
    friend class TWinControl;
    // Anchor distances to the parent's client edges, taken when the control
    // is placed and kept while the parent resizes.
    int FAnchorRight = 0, FAnchorBottom = 0;
    void UpdateAnchorRules();
    void DoActionChange(TObject* Sender) { ActionChange(Sender, false); }
    std::unique_ptr<TBasicActionLink> FActionLink;
};

// ---------------------------------------------------------------------------
// Watches a control across a call that may free it (an OnClick handler that
// frees its own button, a message passed on to the system): Alive() turns
// false when the control is destroyed, so the caller knows not to touch it.
class TControlLifeWatch {
public:
    explicit TControlLifeWatch(TControl* Control);
    ~TControlLifeWatch();
    TControlLifeWatch(const TControlLifeWatch&) = delete;
    TControlLifeWatch& operator=(const TControlLifeWatch&) = delete;
    bool Alive() const { return FControl != nullptr; }

private:
    friend class TControl;
    TControl* FControl;
};

// ---------------------------------------------------------------------------
// What CreateParams fills and CreateWindowHandle uses.
struct TCreateParams {
    UnicodeString Caption;
    DWORD Style = 0;
    DWORD ExStyle = 0;
    int X = 0, Y = 0, Width = 0, Height = 0;
    HWND WndParent = nullptr;
    void* Param = nullptr;
    WNDCLASSW WindowClass{};
    UnicodeString WinClassName;
};

class TWinControl : public TControl {
    KV_CLASS(TWinControl)
    KV_PUBLISHED
public:
    explicit TWinControl(TComponent* AOwner);
    ~TWinControl() override;
    void BeforeDestruction() override;

    // The window, made (with the parents' windows) when first asked for.
    HWND Handle();
    bool HandleAllocated() const { return FHandle != nullptr; }
    void HandleNeeded();
    // Destroys the window and makes it anew, keeping text and children.
    void RecreateWnd();
    // A parent window for a control without a parent control.
    HWND ParentWindow() const { return FParentWindow; }
    void SetParentWindow(HWND Value);
    // The window procedure the window had before ours: the system class's.
    WNDPROC DefWndProc() const { return FDefWndProc; }

    // Children (windowed and graphic), in z-order from bottom.
    int ControlCount() const { return static_cast<int>(FControls.size()); }
    TControl* Controls(int Index) const { return FControls.at(Index); }
    void InsertControl(TControl* AControl);
    void RemoveControl(TControl* AControl);
    bool ContainsControl(TControl* Control);
    // The child at client position Pos: visible (or AllowDisabled) children,
    // topmost first; windowed children only when AllowWinControls.
    TControl* ControlAtPos(const TPoint& Pos, bool AllowDisabled, bool AllowWinControls = false);
    // Realigns the aligned children.
    void Realign();
    void DisableAlign() { ++FAlignLevel; }
    void EnableAlign();
    // Sends Message to every child through its WindowProc; stops at a non-zero Result.
    void Broadcast(TMessage& Message);
    // Sends to every child; the parent-change notifications.
    void NotifyControls(UINT Msg);

    // Focus.
    bool TabStop() const { return FTabStop; }
    void SetTabStop(bool Value);
    int TabOrder() const;
    void SetTabOrder(int Value);
    virtual bool CanFocus();
    bool Focused();
    virtual void SetFocus();
    TWinControl* FindNextControl(TWinControl* CurControl, bool GoForward, bool CheckTabStop, bool CheckParent);
    void SelectNext(TWinControl* CurControl, bool GoForward, bool CheckTabStop);
    void GetTabOrderList(std::vector<TWinControl*>& List);

    bool Showing() const { return FShowing; }
    bool IsShowing() const override { return FShowing; }

    // Painting.
    void PaintTo(HDC DC, int X, int Y);
    TBrush* Brush() const { return FBrush; }
    bool DoubleBuffered() const { return FDoubleBuffered; }
    void SetDoubleBuffered(bool Value) { FDoubleBuffered = Value; }
    bool ParentBackground() const { return FControlStyle.Contains(csParentBackground); }
    virtual void SetParentBackground(bool Value);
    void Invalidate() override;
    void Repaint() override;
    void Update() override;

    int BorderWidth() const { return FBorderWidth; }
    void SetBorderWidth(int Value);

    // The three-dimensional look (CM_CTL3DCHANGED when it changes; children
    // with ParentCtl3D follow their parent).
    bool Ctl3D() const { return FCtl3D; }
    void SetCtl3D(bool Value);
    bool ParentCtl3D() const { return FParentCtl3D; }
    void SetParentCtl3D(bool Value);
    // A bevelled frame drawn in the non-client area around the client area:
    // BevelWidth for each of BevelInner and BevelOuter that is not bvNone,
    // on the edges named, while BevelKind is not bkNone.
    TBevelKind BevelKind() const { return FBevelKind; }
    void SetBevelKind(TBevelKind Value);
    TBevelCut BevelInner() const { return FBevelInner; }
    void SetBevelInner(TBevelCut Value);
    TBevelCut BevelOuter() const { return FBevelOuter; }
    void SetBevelOuter(TBevelCut Value);
    TBevelEdges BevelEdges() const { return FBevelEdges; }
    void SetBevelEdges(TBevelEdges Value);
    TBevelWidth BevelWidth() const { return FBevelWidth; }
    void SetBevelWidth(TBevelWidth Value);

    TRect GetClientRect() override;
    TPoint ClientOrigin() override;
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    UnicodeString GetText() override;
    void SetParent(TWinControl* AParent) override;

    void WndProc(TMessage& Message) override;
    void DefaultHandler(TMessage& Message) override;

    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;
    TKeyEvent OnKeyDown;
    TKeyEvent OnKeyUp;
    TKeyPressEvent OnKeyPress;
    TMouseWheelEvent OnMouseWheel;

    // The control whose window is Wnd (ours), or nullptr.
    static TWinControl* FindControl(HWND Wnd);

    // Superclasses a system class: the window class becomes a copy of
    // ClassName's (its procedure becomes the default handler) under our name.
    static void CreateSubClass(TCreateParams& Params, const wchar_t* ClassName);

protected:
    virtual void CreateParams(TCreateParams& Params);
    virtual void CreateWnd();
    virtual void CreateWindowHandle(const TCreateParams& Params);
    virtual void DestroyWnd();
    virtual void DestroyWindowHandle();
    virtual void CreateHandle();
    void DestroyHandle();
    // Paints the window's own contents into DC (default: the system procedure).
    virtual void PaintWindow(HDC DC);
    // Paints the graphic children into DC, each at its origin.
    void PaintControls(HDC DC, TControl* First);
    void PaintHandler(TMessage& Message);
    // The client area children are aligned in.
    virtual void AdjustClientRect(TRect& Rect);
    virtual void AlignControls(TControl* AControl, TRect& Rect);
    // A child that is neither aligned nor anchored moved or changed size
    // (scrolling controls follow their children).
    virtual void ControlBoundsChanged(TControl* Control) {}
    // Makes the window's visibility follow Visible and the parents'.
    void UpdateShowing();
    void UpdateShowingCascade(bool ParentShows);
    void UpdateControlState();
    virtual void DoEnter();
    virtual void DoExit();
    virtual bool DoKeyDown(TMessage& Message);
    virtual bool DoKeyUp(TMessage& Message);
    virtual bool DoKeyPress(TMessage& Message);
    virtual void KeyDown(WORD& Key, TShiftState Shift);
    virtual void KeyUp(WORD& Key, TShiftState Shift);
    virtual void KeyPress(wchar_t& Key);
    virtual bool DoMouseWheel(TShiftState Shift, int WheelDelta, const TPoint& MousePos);

    // Message handlers.
    virtual void WMPaint(TMessage& Message);
    virtual void WMPrintClient(TMessage& Message);
    virtual void WMEraseBkgnd(TMessage& Message);
    virtual void WMSize(TMessage& Message);
    virtual void WMMove(TMessage& Message);
    virtual void WMWindowPosChanged(TMessage& Message);
    virtual void WMSetFocus(TMessage& Message);
    virtual void WMKillFocus(TMessage& Message);
    virtual void WMCommand(TMessage& Message);
    virtual void WMNotify(TMessage& Message);
    virtual void WMDrawItem(TMessage& Message);
    virtual void WMMeasureItem(TMessage& Message);
    virtual void WMCtlColor(TMessage& Message);
    virtual void WMKeyDown(TMessage& Message);
    virtual void WMKeyUp(TMessage& Message);
    virtual void WMChar(TMessage& Message);
    virtual void WMMouseWheel(TMessage& Message);
    virtual void WMMouseLeave(TMessage& Message);
    virtual void WMSetCursor(TMessage& Message);
    virtual void WMDestroy(TMessage& Message);
    virtual void WMNCDestroy(TMessage& Message);
    virtual void CNKeyDown(TMessage& Message);
    virtual void CNChar(TMessage& Message);
    virtual void CMEnter(TMessage& Message);
    virtual void CMExit(TMessage& Message);
    virtual void CMDialogKey(TMessage& Message);
    virtual void CMDialogChar(TMessage& Message);
    virtual void CMFocusChanged(TMessage& Message);
    virtual void CMShowingChanged(TMessage& Message);
    virtual void CMRecreateWnd(TMessage& Message);
    virtual void CMInvalidate(TMessage& Message);
    virtual void CMCtl3DChanged(TMessage& Message);
    virtual void CMParentCtl3DChanged(TMessage& Message);
    // The bevelled frame's room and painting.
    void WMNCCalcSize(TMessage& Message);
    void WMNCPaint(TMessage& Message);
    int BevelEdgeSize() const;
    // A graphic child under the mouse gets the context menu first.
    void WMContextMenu(TMessage& Message) override;
    // A shortcut of a popup menu on the way up, or of the form's menus; true
    // when one took the key.
    bool IsMenuKey(TMessage& Message);
    void CMVisibleChanged(TMessage& Message) override;
    void CMEnabledChanged(TMessage& Message) override;
    void CMColorChanged(TMessage& Message) override;
    void CMFontChanged(TMessage& Message) override;
    // A new mode makes the window anew (its extended styles carry it) and
    // tells the children that follow their parent.
    void CMBiDiModeChanged(TMessage& Message) override;
    // WS_EX_RTLREADING, WS_EX_LEFTSCROLLBAR and WS_EX_RIGHT as BiDiMode asks.
    void AddBiDiModeExStyle(DWORD& ExStyle) const;
    // The graphic child a mouse message at Pos goes to: the one holding the
    // mouse, else the one under it.
    TControl* MouseTarget(LPARAM Pos);
    // Offers a message to a graphic child under the mouse; true when taken.
    bool IsControlMouseMsg(TMessage& Message);
    // Tracks the control under the mouse: leave for the old, enter for the new.
    void TrackMouseControl(TControl* Target);

    HWND FHandle = nullptr;
    HWND FParentWindow = nullptr;
    WNDPROC FDefWndProc = nullptr;
    std::vector<TControl*> FControls;
    std::vector<TWinControl*> FTabList;
    TBrush* FBrush = nullptr;
    bool FShowing = false;
    bool FTabStop = false;
    bool FDoubleBuffered = false;
    int FAlignLevel = 0;
    int FBorderWidth = 0;
    int FStoredTabOrder = -1;
    bool FCtl3D = true;
    bool FParentCtl3D = true;
    TBevelKind FBevelKind = bkNone;
    TBevelCut FBevelInner = bvRaised;
    TBevelCut FBevelOuter = bvLowered;
    TBevelEdges FBevelEdges = {beLeft, beTop, beRight, beBottom};
    TBevelWidth FBevelWidth = 1;
    // The window's WM_SETFONT font: a copy of Font, in two slots used in
    // turn, so that the font the window holds stays alive until it has
    // been given the new one.
    TFont* FWindowFonts[2] = {nullptr, nullptr};
    int FWindowFontSlot = 0;
    void UpdateWindowFont();
    TSize FOldClientSize;

private:
    friend class TControl;
    friend LRESULT CALLBACK KvControlWndProc(HWND, UINT, WPARAM, LPARAM);
    void InsertTab(TWinControl* AControl);
    void RemoveTab(TWinControl* AControl);
    // The steps of AlignControls.
    void AnchorControls();
    std::vector<TControl*> AlignedControls(TAlign A) const;
    static void PlaceAligned(TControl* C, TAlign A, TRect& Rect);

protected:
    // Reads the bounds back from the window.
    void UpdateBounds();
};

// ---------------------------------------------------------------------------
// A control without a window that paints on its parent.
class TGraphicControl : public TControl {
    KV_CLASS(TGraphicControl)
    KV_PUBLISHED
public:
    explicit TGraphicControl(TComponent* AOwner);
    ~TGraphicControl() override;
    TCanvas* Canvas() const { return FCanvas; }
    void WndProc(TMessage& Message) override;

protected:
    virtual void Paint() {}
    virtual void WMPaint(TMessage& Message);
    TControlCanvas* FCanvas;
};

// A windowed control that paints itself on a canvas.
class TCustomControl : public TWinControl {
    KV_CLASS(TCustomControl)
    KV_PUBLISHED
public:
    explicit TCustomControl(TComponent* AOwner);
    ~TCustomControl() override;
    TCanvas* Canvas() const { return FCanvas; }

protected:
    virtual void Paint() {}
    void PaintWindow(HDC DC) override;
    void WMPaint(TMessage& Message) override;
    TControlCanvas* FCanvas;
};

// The control that currently has the mouse (CM_MOUSEENTER was sent to it).
TControl* MouseControl();
// The innermost of our windowed controls that is Wnd or one of its parents.
TWinControl* FindVCLWindow(const TPoint& Pos);
// The control whose window is Wnd.
inline TWinControl* FindControl(HWND Wnd) { return TWinControl::FindControl(Wnd); }

// The system draws the newer control look (client edges and the like):
// Windows 4 and later.
extern const bool NewStyleControls;

// ---------------------------------------------------------------------------
// A hint: a borderless popup with a frame that shows a short text in the
// system's hint font on the info colour.  It stays hidden until
// ActivateHint shows it (without taking the focus).
class THintWindow : public TCustomControl {
    KV_CLASS(THintWindow)
    KV_PUBLISHED
public:
    explicit THintWindow(TComponent* AOwner);
    // The size the hint needs for AHint, its lines broken at MaxWidth.
    virtual TRect CalcHintRect(int MaxWidth, const UnicodeString& AHint, void* AData);
    // Shows AHint at Rect (screen coordinates, kept on the screen), topmost.
    virtual void ActivateHint(TRect Rect, const UnicodeString& AHint);
    // Hides the hint and gives its window back.
    void ReleaseHandle();

protected:
    void CreateParams(TCreateParams& Params) override;
    void Paint() override;
    void WndProc(TMessage& Message) override;
};

// What a control may change before its hint shows (CM_HINTSHOW, LParam a
// pointer to this record).
struct THintInfo {
    TControl* HintControl = nullptr;
    TPoint HintPos;        // the hint window's top-left corner (screen)
    int HintMaxWidth = 0;  // lines break at this width
    TColor HintColor = clInfoBk;
    TRect CursorRect;      // the hint stays while the cursor is in here (control's client)
    TPoint CursorPos;      // the cursor in the control's client area
    int ReshowTimeout = 0; // ms until the hint is asked for again (0: not)
    int HideTimeout = 0;   // ms until it hides (0: never)
    UnicodeString HintStr;
    void* HintData = nullptr;
};
// The part of a hint before "|".
UnicodeString GetShortHint(const UnicodeString& Hint);

// The system's AnimateWindow, looked up at start-up; nullptr where missing.
using TAnimateWindowProc = BOOL(WINAPI*)(HWND Wnd, DWORD Time, DWORD Flags);
extern TAnimateWindowProc AnimateWindowProc;
