#include "classlib/controls/Controls.h"

#include <windowsx.h>

#include <algorithm>
#include <climits>
#include <map>
#include <optional>

#include "classlib/controls/Forms.h"
#include "classlib/rtl/SysUtils.h"

// ---------------------------------------------------------------------------
// Shared state of the GUI thread.
namespace {
// The window property that links a window to its control.
const wchar_t* const ControlProp = L"KvControlObject";
// The control whose window is being created: the class procedure adopts the
// first window it sees while this is set, so the control knows its HWND from
// the very first message (WM_GETMINMAXINFO, WM_NCCREATE...).
thread_local TWinControl* CreationControl = nullptr;
// The control under the mouse (sent CM_MOUSEENTER, not yet CM_MOUSELEAVE).
TControl* MouseInControl = nullptr;
// A graphic control that holds the mouse between button down and up (the
// system's capture is on its parent's window).
TControl* CaptureControl = nullptr;

// Ends Control's hold on the mouse, if it has it.
void ReleaseControlCapture(const TControl* Control)
{
    if (Control && CaptureControl == Control) {
        CaptureControl = nullptr;
        ::ReleaseCapture();
    }
}

// System procedure of each class we registered, by class name, for the
// messages that arrive when no control is attached any more.  Never freed:
// windows still go away while the program's statics are destroyed.
std::map<UnicodeString, WNDPROC>& ClassDefaultProcs()
{
    static auto* procs = new std::map<UnicodeString, WNDPROC>();
    return *procs;
}

WNDPROC DefaultProcOfWindow(HWND Wnd)
{
    wchar_t name[256] = {};
    ::GetClassNameW(Wnd, name, 255);
    auto& procs = ClassDefaultProcs();
    auto it = procs.find(UpperCase(name));
    return it != procs.end() && it->second ? it->second : ::DefWindowProcW;
}

bool IsWinControl(const TControl* c) { return dynamic_cast<const TWinControl*>(c) != nullptr; }

UnicodeString WindowText(HWND Wnd)
{
    int n = ::GetWindowTextLengthW(Wnd);
    UnicodeString s(size_t(std::max(n, 0)), L'\0');
    if (n > 0)
        s.resize(size_t(std::max(::GetWindowTextW(Wnd, s.data(), n + 1), 0)));
    return s;
}
} // namespace

TControl* MouseControl() { return MouseInControl; }

// Cursor names, for form resources ("Cursor = crHandPoint").
namespace {
struct TCursorIdent {
    TCursor Value;
    const wchar_t* Name;
};
const TCursorIdent CursorIdents[] = {
    {crDefault, L"crDefault"}, {crNone, L"crNone"}, {crArrow, L"crArrow"}, {crCross, L"crCross"},
    {crIBeam, L"crIBeam"}, {crSizeNESW, L"crSizeNESW"}, {crSizeNS, L"crSizeNS"}, {crSizeNWSE, L"crSizeNWSE"},
    {crSizeWE, L"crSizeWE"}, {crUpArrow, L"crUpArrow"}, {crHourGlass, L"crHourGlass"}, {crDrag, L"crDrag"},
    {crNoDrop, L"crNoDrop"}, {crHSplit, L"crHSplit"}, {crVSplit, L"crVSplit"}, {crMultiDrag, L"crMultiDrag"},
    {crSQLWait, L"crSQLWait"}, {crNo, L"crNo"}, {crAppStart, L"crAppStart"}, {crHelp, L"crHelp"},
    {crHandPoint, L"crHandPoint"}, {crSizeAll, L"crSizeAll"},
};
bool CursorToInt(const UnicodeString& Ident, int64_t& Value)
{
    for (const TCursorIdent& c : CursorIdents)
        if (_wcsicmp(c.Name, Ident.c_str()) == 0) {
            Value = c.Value;
            return true;
        }
    return false;
}
bool IntToCursor(int64_t Value, UnicodeString& Ident)
{
    for (const TCursorIdent& c : CursorIdents)
        if (c.Value == Value) {
            Ident = c.Name;
            return true;
        }
    return false;
}
const bool CursorIdentsRegistered = (RegisterIntegerConsts(L"TCursor", CursorToInt, IntToCursor), true);
} // namespace

// Implemented with the application object.
void ControlsHandleException(TObject* Sender);

// The one window procedure of every class we register.
LRESULT CALLBACK KvControlWndProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam)
{
    auto* control = static_cast<TWinControl*>(::GetPropW(Wnd, ControlProp));
    if (!control && CreationControl) {
        control = CreationControl;
        CreationControl = nullptr;
        control->FHandle = Wnd;
        ::SetPropW(Wnd, ControlProp, control);
    }
    if (!control)
        return ::CallWindowProcW(DefaultProcOfWindow(Wnd), Wnd, Msg, WParam, LParam);

    TMessage m = MakeMessage(Msg, WParam, LParam);
    try {
        if (control->WindowProc)
            control->WindowProc(m);
        else
            control->WndProc(m);
    } catch (...) {
        // An exception never unwinds through the system's dispatch.
        ControlsHandleException(control);
    }
    if (Msg == WM_NCDESTROY) {
        TControlCanvas::FreeWindowContexts(Wnd);
        ::RemovePropW(Wnd, ControlProp);
        if (control->FHandle == Wnd) {
            control->FHandle = nullptr;
            control->FShowing = false;
        }
    }
    return m.Result;
}

// ---------------------------------------------------------------------------
HCURSOR CursorHandle(TCursor Cursor)
{
    const wchar_t* id = IDC_ARROW;
    switch (Cursor) {
    case crNone: return nullptr;
    case crCross: id = IDC_CROSS; break;
    case crIBeam: id = IDC_IBEAM; break;
    case crSizeNESW: id = IDC_SIZENESW; break;
    case crSizeNS: case crVSplit: id = IDC_SIZENS; break;
    case crSizeNWSE: id = IDC_SIZENWSE; break;
    case crSizeWE: case crHSplit: id = IDC_SIZEWE; break;
    case crUpArrow: id = IDC_UPARROW; break;
    case crHourGlass: case crSQLWait: id = IDC_WAIT; break;
    case crNo: case crNoDrop: id = IDC_NO; break;
    case crAppStart: id = IDC_APPSTARTING; break;
    case crHelp: id = IDC_HELP; break;
    case crHandPoint: id = IDC_HAND; break;
    case crSizeAll: id = IDC_SIZEALL; break;
    default: break;
    }
    return ::LoadCursorW(nullptr, id);
}

TShiftState KeysToShiftState(WORD Keys)
{
    TShiftState s;
    if (Keys & MK_SHIFT) s += ssShift;
    if (Keys & MK_CONTROL) s += ssCtrl;
    if (Keys & MK_LBUTTON) s += ssLeft;
    if (Keys & MK_RBUTTON) s += ssRight;
    if (Keys & MK_MBUTTON) s += ssMiddle;
    if (::GetKeyState(VK_MENU) < 0) s += ssAlt;
    return s;
}

TShiftState KeyDataToShiftState(LPARAM KeyData)
{
    TShiftState s;
    if (::GetKeyState(VK_SHIFT) < 0) s += ssShift;
    if (::GetKeyState(VK_CONTROL) < 0) s += ssCtrl;
    if (KeyData & 0x20000000) s += ssAlt;
    return s;
}

TShiftState GetShiftState()
{
    TShiftState s;
    if (::GetKeyState(VK_SHIFT) < 0) s += ssShift;
    if (::GetKeyState(VK_CONTROL) < 0) s += ssCtrl;
    if (::GetKeyState(VK_MENU) < 0) s += ssAlt;
    if (::GetKeyState(VK_LBUTTON) < 0) s += ssLeft;
    if (::GetKeyState(VK_RBUTTON) < 0) s += ssRight;
    if (::GetKeyState(VK_MBUTTON) < 0) s += ssMiddle;
    return s;
}

// ---------------------------------------------------------------------------
// TControlCanvas
namespace {
// The canvases that hold a context of their own, so that a window going
// away takes them back before the context dies with it.  Never freed, like
// the class procedures above.
std::vector<TControlCanvas*>& CanvasesWithContext()
{
    static auto* list = new std::vector<TControlCanvas*>();
    return *list;
}
} // namespace

TControlCanvas::~TControlCanvas()
{
    FreeHandle();
}

void TControlCanvas::FreeWindowContexts(HWND Wnd)
{
    std::vector<TControlCanvas*> list = CanvasesWithContext();
    for (TControlCanvas* c : list)
        if (c->FWindowHandle == Wnd)
            c->FreeHandle();
}

void TControlCanvas::SetControl(TControl* Value)
{
    if (FControl == Value)
        return;
    FreeHandle();
    FControl = Value;
}

void TControlCanvas::FreeHandle()
{
    if (!FDeviceContext)
        return;
    if (HandleAllocated() && Handle() == FDeviceContext)
        SetHandle(nullptr);
    ::ReleaseDC(FWindowHandle, FDeviceContext);
    FDeviceContext = nullptr;
    FWindowHandle = nullptr;
    auto& list = CanvasesWithContext();
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
}

void TControlCanvas::CreateHandle()
{
    // A context of ours set aside by a paint is not taken up again: give it
    // back before asking for a new one.
    FreeHandle();
    if (!FControl)
        return;
    auto* win = dynamic_cast<TWinControl*>(FControl);
    HWND wnd = nullptr;
    int dx = 0, dy = 0;
    if (win) {
        wnd = win->Handle();
    } else if (FControl->Parent()) {
        wnd = FControl->Parent()->Handle();
        dx = FControl->Left();
        dy = FControl->Top();
    }
    if (!wnd)
        return;
    HDC dc = ::GetDCEx(wnd, nullptr, DCX_CACHE | DCX_CLIPSIBLINGS);
    if (!dc)
        throw EOutOfResources(L"Out of system resources");
    if (!win) {
        ::SetViewportOrgEx(dc, dx, dy, nullptr);
        ::IntersectClipRect(dc, 0, 0, FControl->Width(), FControl->Height());
    }
    FDeviceContext = dc;
    FWindowHandle = wnd;
    CanvasesWithContext().push_back(this);
    SetHandle(dc);
}

TCanvasPaintScope::TCanvasPaintScope(TControlCanvas* Canvas, HDC DC) : FCanvas(Canvas), FOld(nullptr)
{
    FCanvas->Lock();
    // A context of the canvas's own is not needed while it paints; one left
    // is a paint further out, which gets its context back.
    FCanvas->FreeHandle();
    if (FCanvas->HandleAllocated())
        FOld = FCanvas->Handle();
    FCanvas->SetHandle(DC);
}

TCanvasPaintScope::~TCanvasPaintScope()
{
    FCanvas->SetHandle(FOld);
    FCanvas->Unlock();
}

// ---------------------------------------------------------------------------
// TControl
TControl::TControl(TComponent* AOwner) : TComponent(AOwner)
{
    WindowProc = Bind(this, &TControl::WndProc);
    FFont = new TFont();
    FFont->OnChange = Bind(this, &TControl::FontChanged);
}

TControl::~TControl()
{
    if (MouseInControl == this)
        MouseInControl = nullptr;
    ReleaseControlCapture(this);
    if (FParent)
        FParent->RemoveControl(this);
    delete FFont;
}

void TControl::BeforeDestruction()
{
    TComponent::BeforeDestruction();
    if (MouseInControl == this)
        MouseInControl = nullptr;
}

TComponent* TControl::GetParentComponent() const { return FParent; }

void TControl::SetParentComponent(TComponent* Value)
{
    if (auto* w = dynamic_cast<TWinControl*>(Value))
        SetParent(w);
}

void TControl::SetParent(TWinControl* AParent)
{
    if (FParent == AParent)
        return;
    // A parent inside this control would make the tree a loop.
    for (TControl* p = AParent; p; p = p->FParent)
        if (p == this)
            throw EInvalidOperation(L"A control cannot have itself as its parent");
    if (FParent)
        FParent->RemoveControl(this);
    if (AParent)
        AParent->InsertControl(this);
}

void TControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
    AWidth = std::max(AWidth, 0);
    AHeight = std::max(AHeight, 0);
    if (ALeft == FLeft && ATop == FTop && AWidth == FWidth && AHeight == FHeight)
        return;
    InvalidateControl(FVisible, false);
    bool resized = AWidth != FWidth || AHeight != FHeight;
    FLeft = ALeft;
    FTop = ATop;
    FWidth = AWidth;
    FHeight = AHeight;
    UpdateAnchorRules();
    Invalidate();
    BoundsChanged();
    RequestAlign();
    if (resized && !ComponentState().Contains(csLoading))
        Resize();
}

TRect TControl::GetClientRect() { return Rect(0, 0, FWidth, FHeight); }

void TControl::SetClientWidth(int Value) { SetWidth(Value + (FWidth - ClientWidth())); }
void TControl::SetClientHeight(int Value) { SetHeight(Value + (FHeight - ClientHeight())); }

void TControl::SetClientSize(int W, int H)
{
    TRect r = GetClientRect();
    SetBounds(FLeft, FTop, W + (FWidth - r.Width()), H + (FHeight - r.Height()));
}

TPoint TControl::ClientOrigin()
{
    if (!FParent)
        return {FLeft, FTop};
    TPoint o = FParent->ClientOrigin();
    return {o.x + FLeft, o.y + FTop};
}

void TControl::SetAlign(TAlign Value)
{
    if (FAlign == Value)
        return;
    FAlign = Value;
    if (Value != alNone && Value != alCustom)
        FAnchors = {akLeft, akTop};
    RequestAlign();
}

void TControl::SetAnchors(TAnchors Value)
{
    FAnchors = Value;
    UpdateAnchorRules();
}

void TControl::UpdateAnchorRules()
{
    if (!FParent || FAlign != alNone)
        return;
    TRect r = FParent->GetClientRect();
    FAnchorRight = r.Width() - (FLeft + FWidth);
    FAnchorBottom = r.Height() - (FTop + FHeight);
}

void TControl::SetVisible(bool Value)
{
    if (FVisible == Value)
        return;
    FVisible = Value;
    Perform(CM_VISIBLECHANGED, Value ? 1 : 0, 0);
    RequestAlign();
}

void TControl::Show()
{
    if (FParent)
        FParent->Show();
    SetVisible(true);
}

void TControl::Hide() { SetVisible(false); }

void TControl::SetEnabled(bool Value)
{
    if (FEnabled == Value)
        return;
    FEnabled = Value;
    Perform(CM_ENABLEDCHANGED, 0, 0);
}

bool TControl::IsShowing() const { return FVisible && FParent && FParent->IsShowing(); }

void TControl::BringToFront() { SetZOrder(true); }

void TControl::SendToBack() { SetZOrder(false); }

void TControl::SetZOrder(bool TopMost)
{
    if (!FParent)
        return;
    auto& list = FParent->FControls;
    list.erase(std::find(list.begin(), list.end(), this));
    list.insert(TopMost ? list.end() : list.begin(), this);
    if (auto* w = dynamic_cast<TWinControl*>(this); w && w->HandleAllocated())
        ::SetWindowPos(w->FHandle, TopMost ? HWND_TOP : HWND_BOTTOM, 0, 0, 0, 0,
                       SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    InvalidateControl(FVisible, true);
}

UnicodeString TControl::GetText() { return FText; }

void TControl::SetText(const UnicodeString& Value)
{
    if (GetText() == Value)
        return;
    // Through WindowProc, so that whoever subclasses the control sees it.
    Perform(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Value.c_str()));
    Perform(CM_TEXTCHANGED, 0, 0);
}

void TControl::SetName(const UnicodeString& NewName)
{
    // A control made in code shows its name until given a caption.
    bool changeText = FControlStyle.Contains(csSetCaption) && !ComponentState().Contains(csLoading) &&
                      Name() == GetText() &&
                      !(Owner() && Owner()->ComponentState().Contains(csLoading));
    TComponent::SetName(NewName);
    if (changeText)
        SetText(NewName);
}

void TControl::SetColor(TColor Value)
{
    if (FColor == Value)
        return;
    FColor = Value;
    FParentColor = false;
    Perform(CM_COLORCHANGED, 0, 0);
}

void TControl::SetParentColor(bool Value)
{
    if (FParentColor == Value)
        return;
    FParentColor = Value;
    if (FParent && Value)
        Perform(CM_PARENTCOLORCHANGED, 0, 0);
}

void TControl::SetParentFont(bool Value)
{
    if (FParentFont == Value)
        return;
    FParentFont = Value;
    if (FParent && Value)
        Perform(CM_PARENTFONTCHANGED, 0, 0);
}

void TControl::FontChanged(TObject*)
{
    FParentFont = false;
    Perform(CM_FONTCHANGED, 0, 0);
}

void TControl::SetCursor(TCursor Value)
{
    if (FCursor == Value)
        return;
    FCursor = Value;
    Perform(CM_CURSORCHANGED, 0, 0);
}

LRESULT TControl::Perform(UINT Msg, WPARAM WParam, LPARAM LParam)
{
    TMessage m = MakeMessage(Msg, WParam, LParam);
    if (WindowProc)
        WindowProc(m);
    else
        WndProc(m);
    return m.Result;
}

void TControl::DefaultHandler(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_GETTEXT:
        if (Message.WParam > 0 && Message.LParam) {
            size_t n = std::min<size_t>(FText.size(), Message.WParam - 1);
            auto* buf = reinterpret_cast<wchar_t*>(Message.LParam);
            std::copy_n(FText.data(), n, buf);
            buf[n] = 0;
            Message.Result = LRESULT(n);
        }
        break;
    case WM_GETTEXTLENGTH:
        Message.Result = LRESULT(FText.size());
        break;
    case WM_SETTEXT:
        FText = Message.LParam ? reinterpret_cast<const wchar_t*>(Message.LParam) : L"";
        Message.Result = 1;
        break;
    default:
        break;
    }
}

void TControl::WndProc(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_MOUSEMOVE: WMMouseMove(Message); break;
    case WM_LBUTTONDOWN: case WM_LBUTTONDBLCLK: WMButtonDown(Message, mbLeft); break;
    case WM_RBUTTONDOWN: case WM_RBUTTONDBLCLK: WMButtonDown(Message, mbRight); break;
    case WM_MBUTTONDOWN: case WM_MBUTTONDBLCLK: WMButtonDown(Message, mbMiddle); break;
    case WM_LBUTTONUP: WMButtonUp(Message, mbLeft); break;
    case WM_RBUTTONUP: WMButtonUp(Message, mbRight); break;
    case WM_MBUTTONUP: WMButtonUp(Message, mbMiddle); break;
    case CM_ENABLEDCHANGED: CMEnabledChanged(Message); break;
    case CM_VISIBLECHANGED: CMVisibleChanged(Message); break;
    case CM_COLORCHANGED: CMColorChanged(Message); break;
    case CM_FONTCHANGED: CMFontChanged(Message); break;
    case CM_TEXTCHANGED: CMTextChanged(Message); break;
    case CM_MOUSEENTER: CMMouseEnter(Message); break;
    case CM_MOUSELEAVE: CMMouseLeave(Message); break;
    case CM_PARENTCOLORCHANGED: CMParentColorChanged(Message); break;
    case CM_PARENTFONTCHANGED: CMParentFontChanged(Message); break;
    case CM_HITTEST: CMHitTest(Message); break;
    default: DefaultHandler(Message); break;
    }
}

void TControl::WMMouseMove(TMessage& Message)
{
    DefaultHandler(Message);
    if (!FControlStyle.Contains(csNoStdEvents))
        MouseMove(KeysToShiftState(WORD(Message.WParam)), GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam));
}

void TControl::WMButtonDown(TMessage& Message, TMouseButton Button)
{
    DefaultHandler(Message);
    bool dbl = Message.Msg == WM_LBUTTONDBLCLK || Message.Msg == WM_RBUTTONDBLCLK || Message.Msg == WM_MBUTTONDBLCLK;
    if (Button == mbLeft) {
        if (!IsWinControl(this) && FControlStyle.Contains(csCaptureMouse) && FParent && FParent->HandleAllocated()) {
            CaptureControl = this;
            ::SetCapture(FParent->FHandle);
        }
        if (dbl && FControlStyle.Contains(csDoubleClicks))
            DblClick();
        else if (FControlStyle.Contains(csClickEvents))
            FControlState += csClicked;
    }
    if (!FControlStyle.Contains(csNoStdEvents)) {
        TShiftState shift = KeysToShiftState(WORD(Message.WParam));
        if (dbl)
            shift += ssDouble;
        MouseDown(Button, shift, GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam));
    }
}

void TControl::WMButtonUp(TMessage& Message, TMouseButton Button)
{
    DefaultHandler(Message);
    int x = GET_X_LPARAM(Message.LParam), y = GET_Y_LPARAM(Message.LParam);
    if (Button == mbLeft) {
        ReleaseControlCapture(this);
        if (FControlState.Contains(csClicked)) {
            FControlState -= csClicked;
            if (GetClientRect().Contains({x, y}))
                Click();
        }
    }
    if (!FControlStyle.Contains(csNoStdEvents))
        MouseUp(Button, KeysToShiftState(WORD(Message.WParam)), x, y);
}

void TControl::CMEnabledChanged(TMessage&) { Invalidate(); }

void TControl::CMVisibleChanged(TMessage&) { InvalidateControl(true, FVisible && FControlStyle.Contains(csOpaque)); }

void TControl::CMColorChanged(TMessage&) { Invalidate(); }

void TControl::CMFontChanged(TMessage&) { Invalidate(); }

void TControl::CMTextChanged(TMessage&) { Invalidate(); }

void TControl::CMMouseEnter(TMessage& Message)
{
    if (FParent)
        FParent->Perform(CM_MOUSEENTER, 0, reinterpret_cast<LPARAM>(this));
    if (Message.LParam == 0 && OnMouseEnter)
        OnMouseEnter(this);
}

void TControl::CMMouseLeave(TMessage& Message)
{
    if (FParent)
        FParent->Perform(CM_MOUSELEAVE, 0, reinterpret_cast<LPARAM>(this));
    if (Message.LParam == 0 && OnMouseLeave)
        OnMouseLeave(this);
}

void TControl::CMParentColorChanged(TMessage&)
{
    if (FParentColor && FParent) {
        SetColor(FParent->Color());
        FParentColor = true;
    }
}

void TControl::CMParentFontChanged(TMessage&)
{
    if (FParentFont && FParent) {
        FFont->Assign(FParent->Font());
        FParentFont = true;
    }
}

void TControl::CMHitTest(TMessage& Message) { Message.Result = HTCLIENT; }

void TControl::Invalidate() { InvalidateControl(FVisible, FControlStyle.Contains(csOpaque)); }

void TControl::InvalidateControl(bool IsVisible, bool IsOpaque)
{
    if (!IsVisible || !FParent || !FParent->HandleAllocated())
        return;
    TRect r = BoundsRect();
    ::InvalidateRect(FParent->FHandle, &r, !IsOpaque);
}

void TControl::Repaint()
{
    if (!FVisible || !FParent || !FParent->HandleAllocated())
        return;
    Invalidate();
    ::UpdateWindow(FParent->FHandle);
}

void TControl::Update()
{
    if (FParent)
        FParent->Update();
}

HWND TControl::ParentHandle() const { return FParent ? FParent->FHandle : nullptr; }

void TControl::RequestAlign()
{
    if (FParent && (FAlign != alNone || FAnchors != TAnchors{akLeft, akTop}))
        FParent->Realign();
}

void TControl::Click()
{
    if (OnClick)
        OnClick(this);
}

void TControl::DblClick()
{
    if (OnDblClick)
        OnDblClick(this);
}

void TControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (OnMouseDown)
        OnMouseDown(this, Button, Shift, X, Y);
}

void TControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (OnMouseUp)
        OnMouseUp(this, Button, Shift, X, Y);
}

void TControl::MouseMove(TShiftState Shift, int X, int Y)
{
    if (OnMouseMove)
        OnMouseMove(this, Shift, X, Y);
}

void TControl::Resize()
{
    if (OnResize)
        OnResize(this);
}

void TControl::Loaded()
{
    TComponent::Loaded();
    if (FParent) {
        if (FParentColor)
            Perform(CM_PARENTCOLORCHANGED, 0, 0);
        if (FParentFont)
            Perform(CM_PARENTFONTCHANGED, 0, 0);
        UpdateAnchorRules();
        RequestAlign();
    }
}

// ---------------------------------------------------------------------------
// TWinControl
TWinControl::TWinControl(TComponent* AOwner) : TControl(AOwner)
{
    FBrush = new TBrush();
    FBrush->SetColor(FColor);
}

void TWinControl::BeforeDestruction()
{
    TControl::BeforeDestruction();
    // The window goes while the object is whole, so that every handler and
    // every subclasser still sees WM_DESTROY.
    if (FHandle)
        DestroyWindowHandle();
}

TWinControl::~TWinControl()
{
    // Leaves the parent while still a windowed control, so that it also
    // leaves the parent's tab order and its form's focus.
    if (FParent)
        FParent->RemoveControl(this);
    if (FHandle) {
        // Freed without BeforeDestruction: detach first, no handler of a
        // destroyed derived class may run.
        ::RemovePropW(FHandle, ControlProp);
        HWND h = FHandle;
        FHandle = nullptr;
        TControlCanvas::FreeWindowContexts(h);
        ::DestroyWindow(h);
    }
    // A parent frees the controls it holds.
    while (!FControls.empty()) {
        TControl* c = FControls.back();
        FControls.pop_back();
        c->FParent = nullptr;
        TObject* obj = c;
        FreeAndNil(obj);
    }
    delete FBrush;
    delete FWindowFonts[0];
    delete FWindowFonts[1];
}

HWND TWinControl::Handle()
{
    HandleNeeded();
    return FHandle;
}

void TWinControl::HandleNeeded()
{
    if (FHandle)
        return;
    if (FParent)
        FParent->HandleNeeded();
    CreateHandle();
}

void TWinControl::CreateHandle()
{
    if (FHandle)
        return;
    CreateWnd();
    for (TControl* c : FControls)
        c->UpdateAnchorRules();
}

void TWinControl::CreateSubClass(TCreateParams& Params, const wchar_t* ClassName)
{
    WNDCLASSW wc{};
    HINSTANCE inst = nullptr;
    if (!::GetClassInfoW(nullptr, ClassName, &wc)) {
        inst = ::GetModuleHandleW(nullptr);
        if (!::GetClassInfoW(inst, ClassName, &wc))
            throw EOutOfResources(UnicodeString(L"Window class ") + ClassName + L" is not registered");
    }
    Params.WindowClass = wc;
}

void TWinControl::CreateParams(TCreateParams& Params)
{
    Params = TCreateParams{};
    Params.Caption = FText;
    Params.Style = WS_CHILD | WS_CLIPSIBLINGS;
    if (FControlStyle.Contains(csAcceptsControls))
        Params.Style |= WS_CLIPCHILDREN;
    if (!FEnabled)
        Params.Style |= WS_DISABLED;
    if (FTabStop)
        Params.Style |= WS_TABSTOP;
    Params.X = FLeft;
    Params.Y = FTop;
    Params.Width = FWidth;
    Params.Height = FHeight;
    if (FParent)
        Params.WndParent = FParent->FHandle;
    else
        Params.WndParent = FParentWindow;
    Params.WindowClass.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
    Params.WindowClass.lpfnWndProc = ::DefWindowProcW;
    Params.WindowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    Params.WindowClass.hbrBackground = nullptr;
    Params.WinClassName = ClassName();
}

void TWinControl::CreateWnd()
{
    TCreateParams params;
    CreateParams(params);
    if ((params.Style & WS_CHILD) && !params.WndParent)
        throw EInvalidOperation(L"Control '" + Name() + L"' has no parent window");

    FDefWndProc = params.WindowClass.lpfnWndProc ? params.WindowClass.lpfnWndProc : ::DefWindowProcW;
    HINSTANCE inst = ::GetModuleHandleW(nullptr);
    WNDCLASSW existing{};
    bool registered = ::GetClassInfoW(inst, params.WinClassName.c_str(), &existing) != 0;
    if (!registered || existing.lpfnWndProc != KvControlWndProc) {
        if (registered)
            ::UnregisterClassW(params.WinClassName.c_str(), inst);
        WNDCLASSW wc = params.WindowClass;
        wc.lpfnWndProc = KvControlWndProc;
        wc.hInstance = inst;
        wc.lpszClassName = params.WinClassName.c_str();
        wc.lpszMenuName = nullptr;
        if (!::RegisterClassW(&wc))
            throw EOutOfResources(L"Cannot register window class " + params.WinClassName);
    }
    ClassDefaultProcs()[UpperCase(params.WinClassName)] = FDefWndProc;
    CreateWindowHandle(params);
    if (!FHandle)
        throw EOutOfResources(L"Error creating window " + params.WinClassName);
    UpdateWindowFont();
}

void TWinControl::UpdateWindowFont()
{
    if (!FHandle || !FFont)
        return;
    FWindowFontSlot ^= 1;
    TFont*& font = FWindowFonts[FWindowFontSlot];
    if (!font)
        font = new TFont();
    font->Assign(FFont);
    ::SendMessageW(FHandle, WM_SETFONT, reinterpret_cast<WPARAM>(font->Handle()), 0);
}

void TWinControl::CreateWindowHandle(const TCreateParams& Params)
{
    TWinControl* saved = CreationControl;
    CreationControl = this;
    HWND h = ::CreateWindowExW(Params.ExStyle, Params.WinClassName.c_str(), Params.Caption.c_str(), Params.Style,
                               Params.X, Params.Y, Params.Width, Params.Height, Params.WndParent, nullptr,
                               ::GetModuleHandleW(nullptr), Params.Param);
    CreationControl = saved;
    if (h && !FHandle) {
        FHandle = h;
        ::SetPropW(h, ControlProp, this);
    }
}

void TWinControl::DestroyHandle()
{
    if (!FHandle)
        return;
    for (TControl* c : FControls)
        if (auto* w = dynamic_cast<TWinControl*>(c))
            w->DestroyHandle();
    DestroyWnd();
}

void TWinControl::DestroyWnd()
{
    FText = GetText();
    DestroyWindowHandle();
}

void TWinControl::DestroyWindowHandle()
{
    FControlState += csDestroyingHandle;
    HWND h = FHandle;
    if (h)
        ::DestroyWindow(h);
    FControlState -= csDestroyingHandle;
    FShowing = false;
    FHandle = nullptr;
}

void TWinControl::RecreateWnd()
{
    if (FHandle)
        Perform(CM_RECREATEWND, 0, 0);
}

void TWinControl::CMRecreateWnd(TMessage&)
{
    bool wasFocused = Focused();
    bool hadHandle = FHandle != nullptr;
    FControlState += csRecreating;
    DestroyHandle();
    FControlState -= csRecreating;
    UpdateControlState();
    if (hadHandle && !FHandle && (FParent || FParentWindow))
        HandleNeeded();
    if (wasFocused && FHandle)
        ::SetFocus(FHandle);
}

void TWinControl::SetParentWindow(HWND Value)
{
    if (FParent || FParentWindow == Value)
        return;
    if (FHandle && Value)
        ::SetParent(FHandle, Value);
    else if (FHandle)
        DestroyHandle();
    FParentWindow = Value;
    UpdateControlState();
}

void TWinControl::SetParent(TWinControl* AParent)
{
    if (FParent == AParent)
        return;
    if (FHandle && !AParent && !FParentWindow)
        DestroyHandle();
    TControl::SetParent(AParent);
    if (FHandle && FParent) {
        if (FParent->HandleAllocated())
            ::SetParent(FHandle, FParent->FHandle);
        else
            DestroyHandle();
    }
    UpdateControlState();
}

void TWinControl::InsertControl(TControl* AControl)
{
    Perform(CM_CONTROLLISTCHANGE, reinterpret_cast<WPARAM>(AControl), 1);
    FControls.push_back(AControl);
    AControl->FParent = this;
    if (auto* w = dynamic_cast<TWinControl*>(AControl))
        InsertTab(w);
    if (AControl->FParentColor)
        AControl->Perform(CM_PARENTCOLORCHANGED, 0, 0);
    if (AControl->FParentFont)
        AControl->Perform(CM_PARENTFONTCHANGED, 0, 0);
    AControl->UpdateAnchorRules();
    if (AControl->FAlign != alNone)
        Realign();
    if (!IsWinControl(AControl))
        AControl->Invalidate();
    Perform(CM_CONTROLCHANGE, reinterpret_cast<WPARAM>(AControl), 1);
}

void TWinControl::RemoveControl(TControl* AControl)
{
    auto it = std::find(FControls.begin(), FControls.end(), AControl);
    if (it == FControls.end())
        return;
    if (auto* w = dynamic_cast<TWinControl*>(AControl))
        if (TCustomForm* form = GetParentForm(this))
            form->DefocusControl(w, true);
    Perform(CM_CONTROLCHANGE, reinterpret_cast<WPARAM>(AControl), 0);
    ReleaseControlCapture(AControl);
    if (auto* w = dynamic_cast<TWinControl*>(AControl))
        RemoveTab(w);
    else
        AControl->InvalidateControl(AControl->FVisible, false);
    it = std::find(FControls.begin(), FControls.end(), AControl);
    if (it != FControls.end())
        FControls.erase(it);
    AControl->FParent = nullptr;
    Perform(CM_CONTROLLISTCHANGE, reinterpret_cast<WPARAM>(AControl), 0);
    if (!ComponentState().Contains(csDestroying))
        Realign();
}

void TWinControl::InsertTab(TWinControl* AControl) { FTabList.push_back(AControl); }

void TWinControl::RemoveTab(TWinControl* AControl)
{
    auto it = std::find(FTabList.begin(), FTabList.end(), AControl);
    if (it != FTabList.end())
        FTabList.erase(it);
}

bool TWinControl::ContainsControl(TControl* Control)
{
    while (Control && Control != this)
        Control = Control->FParent;
    return Control != nullptr;
}

TControl* TWinControl::ControlAtPos(const TPoint& Pos, bool AllowDisabled, bool AllowWinControls)
{
    for (auto it = FControls.rbegin(); it != FControls.rend(); ++it) {
        TControl* c = *it;
        if (!AllowWinControls && IsWinControl(c))
            continue;
        if (!c->FVisible || (!c->FEnabled && !AllowDisabled))
            continue;
        if (!c->BoundsRect().Contains(Pos))
            continue;
        TPoint local{Pos.x - c->FLeft, Pos.y - c->FTop};
        if (c->Perform(CM_HITTEST, 0, MAKELPARAM(local.x, local.y)) != 0)
            return c;
    }
    return nullptr;
}

void TWinControl::Broadcast(TMessage& Message)
{
    std::vector<TControl*> list = FControls;
    for (TControl* c : list) {
        if (std::find(FControls.begin(), FControls.end(), c) == FControls.end())
            continue;
        c->WindowProc(Message);
        if (Message.Result != 0)
            return;
    }
}

void TWinControl::NotifyControls(UINT Msg)
{
    TMessage m = MakeMessage(Msg, 0, 0);
    Broadcast(m);
}

void TWinControl::EnableAlign()
{
    if (FAlignLevel > 0 && --FAlignLevel == 0 && FControlState.Contains(csAlignmentNeeded))
        Realign();
}

void TWinControl::Realign()
{
    if (FAlignLevel > 0 || ComponentState().Contains(csLoading) || ComponentState().Contains(csDestroying) ||
        FControlState.Contains(csAligning)) {
        FControlState += csAlignmentNeeded;
        return;
    }
    FControlState -= csAlignmentNeeded;
    TRect r = GetClientRect();
    AdjustClientRect(r);
    TStateScope state(FControlState, csAligning);
    AlignControls(nullptr, r);
}

void TWinControl::AdjustClientRect(TRect& Rect)
{
    Rect.left += FBorderWidth;
    Rect.top += FBorderWidth;
    Rect.right -= FBorderWidth;
    Rect.bottom -= FBorderWidth;
    if (Rect.right < Rect.left) Rect.right = Rect.left;
    if (Rect.bottom < Rect.top) Rect.bottom = Rect.top;
}

void TWinControl::AlignControls(TControl*, TRect& Rect)
{
    // Anchored (not aligned) children keep their distances to the right and
    // bottom edges they are anchored to.
    TRect client = GetClientRect();
    for (TControl* c : FControls) {
        // A control still being read takes its anchor distances when loaded,
        // against the parent's final size.
        if (c->FAlign != alNone || c->ComponentState().Contains(csLoading))
            continue;
        bool l = c->FAnchors.Contains(akLeft), r = c->FAnchors.Contains(akRight);
        bool t = c->FAnchors.Contains(akTop), b = c->FAnchors.Contains(akBottom);
        int x = c->FLeft, y = c->FTop, w = c->FWidth, h = c->FHeight;
        if (r) {
            if (l)
                w = std::max(0, client.Width() - c->FAnchorRight - x);
            else
                x = client.Width() - c->FAnchorRight - w;
        }
        if (b) {
            if (t)
                h = std::max(0, client.Height() - c->FAnchorBottom - y);
            else
                y = client.Height() - c->FAnchorBottom - h;
        }
        if (r || b) {
            int ar = c->FAnchorRight, ab = c->FAnchorBottom;
            c->SetBounds(x, y, w, h);
            c->FAnchorRight = ar;
            c->FAnchorBottom = ab;
        }
    }

    static const TAlign order[] = {alTop, alBottom, alLeft, alRight, alClient};
    for (TAlign a : order) {
        std::vector<TControl*> list;
        for (TControl* c : FControls)
            if (c->FAlign == a && c->FVisible)
                list.push_back(c);
        // Controls of one alignment stack in the order of their position.
        std::stable_sort(list.begin(), list.end(), [a](TControl* x, TControl* y) {
            switch (a) {
            case alTop: return x->FTop < y->FTop;
            case alBottom: return x->FTop + x->FHeight > y->FTop + y->FHeight;
            case alLeft: return x->FLeft < y->FLeft;
            case alRight: return x->FLeft + x->FWidth > y->FLeft + y->FWidth;
            default: return false;
            }
        });
        for (TControl* c : list) {
            int w = Rect.Width(), h = Rect.Height();
            switch (a) {
            case alTop:
                c->SetBounds(Rect.left, Rect.top, w, c->FHeight);
                Rect.top += c->FHeight;
                break;
            case alBottom:
                c->SetBounds(Rect.left, Rect.bottom - c->FHeight, w, c->FHeight);
                Rect.bottom -= c->FHeight;
                break;
            case alLeft:
                c->SetBounds(Rect.left, Rect.top, c->FWidth, h);
                Rect.left += c->FWidth;
                break;
            case alRight:
                c->SetBounds(Rect.right - c->FWidth, Rect.top, c->FWidth, h);
                Rect.right -= c->FWidth;
                break;
            case alClient:
                c->SetBounds(Rect.left, Rect.top, w, h);
                break;
            default:
                break;
            }
            if (Rect.bottom < Rect.top) Rect.bottom = Rect.top;
            if (Rect.right < Rect.left) Rect.right = Rect.left;
        }
    }
}

void TWinControl::SetBorderWidth(int Value)
{
    if (FBorderWidth == Value)
        return;
    FBorderWidth = std::max(Value, 0);
    Realign();
    Invalidate();
}

TRect TWinControl::GetClientRect()
{
    TRect r;
    if (FHandle) {
        ::GetClientRect(FHandle, &r);
        return r;
    }
    // No window yet: the frame the window will have, from its styles.
    TCreateParams params;
    CreateParams(params);
    RECT frame{0, 0, 0, 0};
    ::AdjustWindowRectEx(&frame, params.Style, FALSE, params.ExStyle);
    int w = FWidth - (frame.right - frame.left), h = FHeight - (frame.bottom - frame.top);
    return Rect(0, 0, std::max(w, 0), std::max(h, 0));
}

TPoint TWinControl::ClientOrigin()
{
    if (FHandle) {
        POINT p{0, 0};
        ::ClientToScreen(FHandle, &p);
        return p;
    }
    return TControl::ClientOrigin();
}

void TWinControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
    AWidth = std::max(AWidth, 0);
    AHeight = std::max(AHeight, 0);
    if (ALeft == FLeft && ATop == FTop && AWidth == FWidth && AHeight == FHeight)
        return;
    if (FHandle && !::IsIconic(FHandle)) {
        // WM_WINDOWPOSCHANGED / WM_SIZE bring the new bounds back.
        ::SetWindowPos(FHandle, nullptr, ALeft, ATop, AWidth, AHeight, SWP_NOZORDER | SWP_NOACTIVATE);
        if (FLeft != ALeft || FTop != ATop || FWidth != AWidth || FHeight != AHeight) {
            // A window that refused the size (minimum tracking size...) keeps its own.
            UpdateBounds();
        }
        UpdateAnchorRules();
        RequestAlign();
        return;
    }
    bool resized = AWidth != FWidth || AHeight != FHeight;
    FLeft = ALeft;
    FTop = ATop;
    FWidth = AWidth;
    FHeight = AHeight;
    UpdateAnchorRules();
    BoundsChanged();
    if (resized)
        Realign();
    RequestAlign();
    if (resized && !ComponentState().Contains(csLoading))
        Resize();
}

void TWinControl::UpdateBounds()
{
    if (!FHandle || ::IsIconic(FHandle))
        return;
    RECT r;
    ::GetWindowRect(FHandle, &r);
    HWND parent = ::GetParent(FHandle);
    if ((::GetWindowLongW(FHandle, GWL_STYLE) & WS_CHILD) && parent)
        ::MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&r), 2);
    FLeft = r.left;
    FTop = r.top;
    FWidth = r.right - r.left;
    FHeight = r.bottom - r.top;
}

UnicodeString TWinControl::GetText() { return FHandle ? WindowText(FHandle) : FText; }

void TWinControl::SetTabStop(bool Value)
{
    if (FTabStop == Value)
        return;
    FTabStop = Value;
    if (FHandle) {
        LONG style = ::GetWindowLongW(FHandle, GWL_STYLE);
        ::SetWindowLongW(FHandle, GWL_STYLE, Value ? style | WS_TABSTOP : style & ~WS_TABSTOP);
    }
    Perform(CM_TABSTOPCHANGED, 0, 0);
}

int TWinControl::TabOrder() const
{
    if (!FParent)
        return -1;
    auto& list = FParent->FTabList;
    auto it = std::find(list.begin(), list.end(), this);
    return it == list.end() ? -1 : int(it - list.begin());
}

void TWinControl::SetTabOrder(int Value)
{
    if (!FParent)
        return;
    auto& list = FParent->FTabList;
    auto it = std::find(list.begin(), list.end(), this);
    if (it == list.end())
        return;
    if (ComponentState().Contains(csReading)) {
        // Siblings read later may come before this one: keep the stored
        // numbers and order the read controls by them.
        FStoredTabOrder = Value;
        std::stable_sort(list.begin(), list.end(), [](TWinControl* a, TWinControl* b) {
            auto key = [](TWinControl* c) { return c->FStoredTabOrder >= 0 ? c->FStoredTabOrder : INT_MAX; };
            return key(a) < key(b);
        });
        return;
    }
    list.erase(it);
    Value = std::clamp(Value, 0, int(list.size()));
    list.insert(list.begin() + Value, this);
}

void TWinControl::GetTabOrderList(std::vector<TWinControl*>& List)
{
    for (TWinControl* c : FTabList) {
        List.push_back(c);
        c->GetTabOrderList(List);
    }
}

TWinControl* TWinControl::FindNextControl(TWinControl* CurControl, bool GoForward, bool CheckTabStop,
                                          bool CheckParent)
{
    std::vector<TWinControl*> list;
    GetTabOrderList(list);
    if (list.empty())
        return nullptr;
    int n = int(list.size());
    int start = -1;
    for (int i = 0; i < n; ++i)
        if (list[i] == CurControl)
            start = i;
    if (start < 0)
        start = GoForward ? n - 1 : 0;
    int i = start;
    for (int k = 0; k < n; ++k) {
        i = GoForward ? (i + 1) % n : (i - 1 + n) % n;
        TWinControl* c = list[i];
        if (c == CurControl && k < n - 1)
            continue;
        if (!c->CanFocus())
            continue;
        if (CheckTabStop && !c->FTabStop)
            continue;
        if (CheckParent && c->FParent != this)
            continue;
        return c;
    }
    return nullptr;
}

void TWinControl::SelectNext(TWinControl* CurControl, bool GoForward, bool CheckTabStop)
{
    if (TWinControl* c = FindNextControl(CurControl, GoForward, CheckTabStop, !CheckTabStop))
        c->SetFocus();
}

bool TWinControl::CanFocus()
{
    TCustomForm* form = GetParentForm(this);
    if (!form)
        return FVisible && FEnabled;
    for (TControl* c = this; c != form && c; c = c->FParent)
        if (!c->FVisible || !c->FEnabled)
            return false;
    return form->Visible() && form->Enabled();
}

bool TWinControl::Focused() { return FHandle && ::GetFocus() == FHandle; }

void TWinControl::SetFocus()
{
    if (!CanFocus())
        throw EInvalidOperation(L"Cannot focus a disabled or invisible window");
    if (TCustomForm* form = GetParentForm(this))
        form->FocusControl(this);
    else
        ::SetFocus(Handle());
}

void TWinControl::SetParentBackground(bool Value)
{
    if (Value)
        FControlStyle += csParentBackground;
    else
        FControlStyle -= csParentBackground;
    Invalidate();
}

// Through WindowProc, so that a skinner painting the window itself can
// take the request.
void TWinControl::Invalidate() { Perform(CM_INVALIDATE, 0, 0); }

void TWinControl::CMInvalidate(TMessage&)
{
    if (FHandle)
        ::InvalidateRect(FHandle, nullptr, !FControlStyle.Contains(csOpaque));
}

void TWinControl::Repaint()
{
    Invalidate();
    Update();
}

void TWinControl::Update()
{
    if (FHandle)
        ::UpdateWindow(FHandle);
}

void TWinControl::UpdateShowingCascade(bool ParentShows)
{
    bool show = FVisible && ParentShows && !ComponentState().Contains(csLoading) &&
                !ComponentState().Contains(csDestroying);
    if (show) {
        if (!FHandle)
            CreateHandle();
        // Children first, so that the window shows with them in place.
        std::vector<TControl*> list = FControls;
        for (TControl* c : list)
            if (auto* w = dynamic_cast<TWinControl*>(c))
                w->UpdateShowingCascade(true);
    }
    if (FShowing != show) {
        FShowing = show;
        try {
            Perform(CM_SHOWINGCHANGED, 0, 0);
        } catch (...) {
            FShowing = !show;
            throw;
        }
        if (!show) {
            std::vector<TControl*> list = FControls;
            for (TControl* c : list)
                if (auto* w = dynamic_cast<TWinControl*>(c))
                    w->UpdateShowingCascade(false);
        }
    }
}

void TWinControl::UpdateShowing()
{
    UpdateShowingCascade(FParent ? FParent->FShowing : true);
}

void TWinControl::UpdateControlState()
{
    TWinControl* top = this;
    while (top->FParent) {
        top = top->FParent;
        if (!top->FShowing)
            return;
    }
    if (dynamic_cast<TCustomForm*>(top) || top->FParentWindow)
        UpdateShowing();
}

namespace {
// SaveDC/RestoreDC for a scope.
class TSavedDC {
    HDC FDC;
    int FSaved;

public:
    explicit TSavedDC(HDC DC) : FDC(DC), FSaved(::SaveDC(DC)) {}
    ~TSavedDC() { ::RestoreDC(FDC, FSaved); }
};

// BeginPaint/EndPaint for a scope.
class TWindowPaint {
    HWND FWnd;
    PAINTSTRUCT FPS{};

public:
    HDC DC;
    explicit TWindowPaint(HWND Wnd) : FWnd(Wnd), DC(::BeginPaint(Wnd, &FPS)) {}
    ~TWindowPaint()
    {
        if (DC)
            ::EndPaint(FWnd, &FPS);
    }
};

// Moves DC's origin to (X, Y) and clips it to a W x H area there: where a
// child paints.
void EnterChildArea(HDC DC, int X, int Y, int W, int H)
{
    POINT org;
    ::GetWindowOrgEx(DC, &org);
    ::SetWindowOrgEx(DC, org.x - X, org.y - Y, nullptr);
    ::IntersectClipRect(DC, 0, 0, W, H);
}
} // namespace

void TWinControl::PaintTo(HDC DC, int X, int Y)
{
    TStateScope state(FControlState, csPaintCopy);
    TSavedDC saved(DC);
    EnterChildArea(DC, X, Y, FWidth, FHeight);
    Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(DC), 0);
    Perform(WM_PAINT, reinterpret_cast<WPARAM>(DC), 0);
    for (TControl* c : FControls)
        if (auto* w = dynamic_cast<TWinControl*>(c); w && w->FVisible)
            w->PaintTo(DC, w->FLeft, w->FTop);
}

void TWinControl::PaintWindow(HDC DC)
{
    TMessage m = MakeMessage(WM_PAINT, reinterpret_cast<WPARAM>(DC), 0);
    DefaultHandler(m);
}

void TWinControl::PaintControls(HDC DC, TControl* First)
{
    auto it = FControls.begin();
    if (First)
        it = std::find(FControls.begin(), FControls.end(), First);
    for (; it != FControls.end(); ++it) {
        TControl* c = *it;
        if (IsWinControl(c) || !c->FVisible)
            continue;
        RECT clip, r = c->BoundsRect(), tmp;
        if (::GetClipBox(DC, &clip) != NULLREGION && !::IntersectRect(&tmp, &clip, &r))
            continue;
        TSavedDC saved(DC);
        EnterChildArea(DC, c->FLeft, c->FTop, c->FWidth, c->FHeight);
        std::optional<TStateScope<TControlStateItem>> copy;
        if (FControlState.Contains(csPaintCopy))
            copy.emplace(c->FControlState, csPaintCopy);
        c->Perform(WM_PAINT, reinterpret_cast<WPARAM>(DC), 0);
    }
}

void TWinControl::PaintHandler(TMessage& Message)
{
    HDC dc = reinterpret_cast<HDC>(Message.WParam);
    if (!dc) {
        TWindowPaint paint(FHandle);
        if (paint.DC) {
            TMessage m = Message;
            m.WParam = reinterpret_cast<WPARAM>(paint.DC);
            PaintHandler(m);
        }
        return;
    }
    TSavedDC saved(dc);
    PaintWindow(dc);
    PaintControls(dc, nullptr);
}

void TWinControl::WMPaint(TMessage& Message)
{
    if (Message.WParam || !FDoubleBuffered || !FHandle) {
        PaintHandler(Message);
        return;
    }
    // Double-buffered: erase and paint into memory, then copy.
    TWindowPaint paint(FHandle);
    if (!paint.DC)
        return;
    TRect r;
    ::GetClientRect(FHandle, &r);
    MemoryDC mem(paint.DC);
    GdiObject<HBITMAP> bmp(
        ::CreateCompatibleBitmap(paint.DC, std::max<LONG>(r.right, 1), std::max<LONG>(r.bottom, 1)));
    SelectedObject sel(mem.Get(), bmp.Get());
    Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(mem.Get()), reinterpret_cast<LPARAM>(mem.Get()));
    TMessage m = Message;
    m.WParam = reinterpret_cast<WPARAM>(mem.Get());
    PaintHandler(m);
    ::BitBlt(paint.DC, 0, 0, r.right, r.bottom, mem.Get(), 0, 0, SRCCOPY);
}

void TWinControl::WMPrintClient(TMessage& Message)
{
    HDC dc = reinterpret_cast<HDC>(Message.WParam);
    if (!dc)
        return;
    TStateScope state(FControlState, csPrintClient);
    Perform(WM_ERASEBKGND, Message.WParam, Message.WParam);
    Perform(WM_PAINT, Message.WParam, 0);
}

void TWinControl::WMEraseBkgnd(TMessage& Message)
{
    HDC dc = reinterpret_cast<HDC>(Message.WParam);
    if (dc) {
        TRect r = GetClientRect();
        ::FillRect(dc, &r, FBrush->Handle());
    }
    Message.Result = 1;
}

void TWinControl::WMSize(TMessage& Message)
{
    DefaultHandler(Message);
    UpdateBounds();
    Realign();
    if (!ComponentState().Contains(csLoading))
        Resize();
}

void TWinControl::WMMove(TMessage& Message)
{
    DefaultHandler(Message);
    UpdateBounds();
}

void TWinControl::WMWindowPosChanged(TMessage& Message)
{
    DefaultHandler(Message);
    UpdateBounds();
}

void TWinControl::WMSetFocus(TMessage& Message)
{
    DefaultHandler(Message);
    if (TCustomForm* form = GetParentForm(this))
        form->SetFocusedControl(this);
}

void TWinControl::WMKillFocus(TMessage& Message) { DefaultHandler(Message); }

namespace {
// Reflects a notification to the control whose window sent it; false when
// that window is not one of ours.
bool ReflectToChild(HWND Child, TMessage& Message)
{
    TWinControl* c = Child ? TWinControl::FindControl(Child) : nullptr;
    if (!c)
        return false;
    Message.Result = c->Perform(CN_BASE + Message.Msg, Message.WParam, Message.LParam);
    return true;
}
} // namespace

void TWinControl::WMCommand(TMessage& Message)
{
    if (!ReflectToChild(reinterpret_cast<HWND>(Message.LParam), Message))
        DefaultHandler(Message);
}

void TWinControl::WMNotify(TMessage& Message)
{
    auto* hdr = reinterpret_cast<NMHDR*>(Message.LParam);
    if (!hdr || !ReflectToChild(hdr->hwndFrom, Message))
        DefaultHandler(Message);
}

void TWinControl::WMDrawItem(TMessage& Message)
{
    auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(Message.LParam);
    if (!dis || dis->CtlType == ODT_MENU || !ReflectToChild(dis->hwndItem, Message))
        DefaultHandler(Message);
}

void TWinControl::WMMeasureItem(TMessage& Message)
{
    auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(Message.LParam);
    HWND child = nullptr;
    if (mis && mis->CtlType != ODT_MENU && FHandle)
        child = ::GetDlgItem(FHandle, int(mis->CtlID));
    if (!ReflectToChild(child, Message))
        DefaultHandler(Message);
}

void TWinControl::WMCtlColor(TMessage& Message)
{
    if (!ReflectToChild(reinterpret_cast<HWND>(Message.LParam), Message))
        DefaultHandler(Message);
}

bool TWinControl::DoKeyDown(TMessage& Message)
{
    TCustomForm* form = GetParentForm(this);
    if (form && form != this && form->KeyPreview() && form->DoKeyDown(Message))
        return true;
    WORD key = LOWORD(Message.WParam);
    TShiftState shift = KeyDataToShiftState(Message.LParam);
    KeyDown(key, shift);
    Message.WParam = (Message.WParam & ~WPARAM(0xFFFF)) | key;
    return key == 0;
}

bool TWinControl::DoKeyUp(TMessage& Message)
{
    TCustomForm* form = GetParentForm(this);
    if (form && form != this && form->KeyPreview() && form->DoKeyUp(Message))
        return true;
    WORD key = LOWORD(Message.WParam);
    KeyUp(key, KeyDataToShiftState(Message.LParam));
    Message.WParam = (Message.WParam & ~WPARAM(0xFFFF)) | key;
    return key == 0;
}

bool TWinControl::DoKeyPress(TMessage& Message)
{
    TCustomForm* form = GetParentForm(this);
    if (form && form != this && form->KeyPreview() && form->DoKeyPress(Message))
        return true;
    wchar_t ch = wchar_t(Message.WParam);
    KeyPress(ch);
    Message.WParam = WPARAM(ch);
    return ch == 0;
}

void TWinControl::KeyDown(WORD& Key, TShiftState Shift)
{
    if (OnKeyDown)
        OnKeyDown(this, Key, Shift);
}

void TWinControl::KeyUp(WORD& Key, TShiftState Shift)
{
    if (OnKeyUp)
        OnKeyUp(this, Key, Shift);
}

void TWinControl::KeyPress(wchar_t& Key)
{
    if (OnKeyPress)
        OnKeyPress(this, Key);
}

void TWinControl::WMKeyDown(TMessage& Message)
{
    if (!DoKeyDown(Message))
        DefaultHandler(Message);
}

void TWinControl::WMKeyUp(TMessage& Message)
{
    if (!DoKeyUp(Message))
        DefaultHandler(Message);
}

void TWinControl::WMChar(TMessage& Message)
{
    if (!DoKeyPress(Message))
        DefaultHandler(Message);
}

bool TWinControl::DoMouseWheel(TShiftState Shift, int WheelDelta, const TPoint& MousePos)
{
    bool handled = false;
    if (OnMouseWheel)
        OnMouseWheel(this, Shift, WheelDelta, MousePos, handled);
    return handled;
}

void TWinControl::WMMouseWheel(TMessage& Message)
{
    TShiftState shift = KeysToShiftState(LOWORD(Message.WParam));
    int delta = short(HIWORD(Message.WParam));
    TPoint pos{GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)};
    if (Perform(CM_MOUSEWHEEL, Message.WParam, Message.LParam) != 0 || DoMouseWheel(shift, delta, pos)) {
        Message.Result = 1;
        return;
    }
    DefaultHandler(Message);
}

void TWinControl::TrackMouseControl(TControl* Target)
{
    if (MouseInControl != Target) {
        // The old control is left before the new one is entered.
        TControl* old = MouseInControl;
        MouseInControl = nullptr;
        if (old)
            old->Perform(CM_MOUSELEAVE, 0, 0);
        MouseInControl = Target;
        if (Target)
            Target->Perform(CM_MOUSEENTER, 0, 0);
    }
    if (FHandle && !FControlState.Contains(csDestroyingHandle)) {
        TRACKMOUSEEVENT tme{sizeof(tme), TME_LEAVE, FHandle, 0};
        ::TrackMouseEvent(&tme);
    }
}

void TWinControl::WMMouseLeave(TMessage& Message)
{
    TControl* c = MouseInControl;
    if (c && (c == this || (c->FParent == this && !IsWinControl(c)))) {
        MouseInControl = nullptr;
        c->Perform(CM_MOUSELEAVE, 0, 0);
    }
    DefaultHandler(Message);
}

TControl* TWinControl::MouseTarget(LPARAM Pos)
{
    if (CaptureControl && CaptureControl->FParent == this)
        return CaptureControl;
    return ControlAtPos({GET_X_LPARAM(Pos), GET_Y_LPARAM(Pos)}, false);
}

bool TWinControl::IsControlMouseMsg(TMessage& Message)
{
    TControl* target = MouseTarget(Message.LParam);
    if (!target)
        return false;
    int x = GET_X_LPARAM(Message.LParam) - target->FLeft, y = GET_Y_LPARAM(Message.LParam) - target->FTop;
    Message.Result = target->Perform(Message.Msg, Message.WParam, MAKELPARAM(x, y));
    return true;
}

void TWinControl::WMSetCursor(TMessage& Message)
{
    if (Screen && Screen->Cursor() != crDefault) {
        ::SetCursor(CursorHandle(Screen->Cursor()));
        Message.Result = 1;
        return;
    }
    if (LOWORD(Message.LParam) == HTCLIENT && reinterpret_cast<HWND>(Message.WParam) == FHandle) {
        TCursor cursor = FCursor;
        POINT p;
        ::GetCursorPos(&p);
        TPoint local = ScreenToClient(p);
        if (TControl* c = ControlAtPos(local, false))
            if (c->FCursor != crDefault)
                cursor = c->FCursor;
        if (cursor != crDefault) {
            ::SetCursor(CursorHandle(cursor));
            Message.Result = 1;
            return;
        }
    }
    DefaultHandler(Message);
}

void TWinControl::WMDestroy(TMessage& Message)
{
    // The text outlives the window (RecreateWnd, a parent's destruction).
    if (FHandle)
        FText = WindowText(FHandle);
    if (MouseInControl == this)
        MouseInControl = nullptr;
    DefaultHandler(Message);
}

void TWinControl::WMNCDestroy(TMessage& Message)
{
    DefaultHandler(Message);
    FShowing = false;
}

void TWinControl::CNKeyDown(TMessage& Message)
{
    Message.Result = 1;
    WORD key = LOWORD(Message.WParam);
    if (Perform(CM_CHILDKEY, key, reinterpret_cast<LPARAM>(this)) != 0)
        return;
    LRESULT mask = 0;
    switch (key) {
    case VK_TAB: mask = DLGC_WANTTAB; break;
    case VK_LEFT: case VK_RIGHT: case VK_UP: case VK_DOWN: mask = DLGC_WANTARROWS; break;
    case VK_RETURN: case VK_EXECUTE: case VK_ESCAPE: case VK_CANCEL: mask = DLGC_WANTALLKEYS; break;
    default: break;
    }
    if (mask && Perform(CM_WANTSPECIALKEY, key, Message.LParam) == 0 && !(Perform(WM_GETDLGCODE, 0, 0) & mask)) {
        TCustomForm* form = GetParentForm(this);
        if (form && form->Perform(CM_DIALOGKEY, key, Message.LParam) != 0)
            return;
    }
    Message.Result = 0;
}

void TWinControl::CNChar(TMessage& Message)
{
    Message.Result = 1;
    if (!(Perform(WM_GETDLGCODE, 0, 0) & DLGC_WANTCHARS)) {
        TCustomForm* form = GetParentForm(this);
        if (form && form->Perform(CM_DIALOGCHAR, Message.WParam, Message.LParam) != 0)
            return;
    }
    Message.Result = 0;
}

void TWinControl::DoEnter()
{
    if (OnEnter)
        OnEnter(this);
}

void TWinControl::DoExit()
{
    if (OnExit)
        OnExit(this);
}

void TWinControl::CMEnter(TMessage&) { DoEnter(); }
void TWinControl::CMExit(TMessage&) { DoExit(); }
void TWinControl::CMDialogKey(TMessage& Message) { Broadcast(Message); }
void TWinControl::CMDialogChar(TMessage& Message) { Broadcast(Message); }
void TWinControl::CMFocusChanged(TMessage& Message) { Broadcast(Message); }

void TWinControl::CMShowingChanged(TMessage&)
{
    if (FHandle)
        ::SetWindowPos(FHandle, nullptr, 0, 0, 0, 0,
                       SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE |
                           (FShowing ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
}

void TWinControl::CMVisibleChanged(TMessage& Message)
{
    if (!FVisible && FParent) {
        TCustomForm* form = GetParentForm(this);
        if (form && form->ActiveControl() && ContainsControl(form->ActiveControl()))
            form->DefocusControl(this, false);
    }
    UpdateControlState();
}

void TWinControl::CMEnabledChanged(TMessage& Message)
{
    if (FHandle)
        ::EnableWindow(FHandle, FEnabled);
    TControl::CMEnabledChanged(Message);
}

void TWinControl::CMColorChanged(TMessage& Message)
{
    FBrush->SetColor(FColor);
    NotifyControls(CM_PARENTCOLORCHANGED);
    TControl::CMColorChanged(Message);
}

void TWinControl::CMFontChanged(TMessage& Message)
{
    UpdateWindowFont();
    NotifyControls(CM_PARENTFONTCHANGED);
    TControl::CMFontChanged(Message);
}

void TWinControl::WndProc(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_PAINT: WMPaint(Message); return;
    case WM_PRINTCLIENT: WMPrintClient(Message); return;
    case WM_ERASEBKGND: WMEraseBkgnd(Message); return;
    case WM_SIZE: WMSize(Message); return;
    case WM_MOVE: WMMove(Message); return;
    case WM_WINDOWPOSCHANGED: WMWindowPosChanged(Message); return;
    case WM_SETFOCUS: WMSetFocus(Message); return;
    case WM_KILLFOCUS: WMKillFocus(Message); return;
    case WM_COMMAND: WMCommand(Message); return;
    case WM_NOTIFY: WMNotify(Message); return;
    case WM_DRAWITEM: WMDrawItem(Message); return;
    case WM_MEASUREITEM: WMMeasureItem(Message); return;
    case WM_HSCROLL: case WM_VSCROLL:
        if (!ReflectToChild(reinterpret_cast<HWND>(Message.LParam), Message))
            DefaultHandler(Message);
        return;
    case WM_CTLCOLORMSGBOX: case WM_CTLCOLOREDIT: case WM_CTLCOLORLISTBOX: case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG: case WM_CTLCOLORSCROLLBAR: case WM_CTLCOLORSTATIC:
        WMCtlColor(Message);
        return;
    case WM_KEYDOWN: case WM_SYSKEYDOWN: WMKeyDown(Message); return;
    case WM_KEYUP: case WM_SYSKEYUP: WMKeyUp(Message); return;
    case WM_CHAR: WMChar(Message); return;
    case WM_MOUSEWHEEL: WMMouseWheel(Message); return;
    case WM_MOUSELEAVE: WMMouseLeave(Message); return;
    case WM_SETCURSOR: WMSetCursor(Message); return;
    case WM_DESTROY: WMDestroy(Message); return;
    case WM_NCDESTROY: WMNCDestroy(Message); return;
    case CN_KEYDOWN: case CN_SYSKEYDOWN: CNKeyDown(Message); return;
    case CN_CHAR: case CN_SYSCHAR: CNChar(Message); return;
    case CM_ENTER: CMEnter(Message); return;
    case CM_EXIT: CMExit(Message); return;
    case CM_DIALOGKEY: CMDialogKey(Message); return;
    case CM_DIALOGCHAR: CMDialogChar(Message); return;
    case CM_FOCUSCHANGED: CMFocusChanged(Message); return;
    case CM_SHOWINGCHANGED: CMShowingChanged(Message); return;
    case CM_RECREATEWND: CMRecreateWnd(Message); return;
    case CM_INVALIDATE: CMInvalidate(Message); return;
    case WM_MOUSEMOVE: {
        TControl* target = MouseTarget(Message.LParam);
        TrackMouseControl(target ? target : this);
        if (IsControlMouseMsg(Message))
            return;
        break;
    }
    case WM_LBUTTONDOWN: case WM_LBUTTONDBLCLK: case WM_RBUTTONDOWN: case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN: case WM_MBUTTONDBLCLK: case WM_LBUTTONUP: case WM_RBUTTONUP: case WM_MBUTTONUP:
        if (IsControlMouseMsg(Message))
            return;
        break;
    default:
        break;
    }
    TControl::WndProc(Message);
}

void TWinControl::DefaultHandler(TMessage& Message)
{
    if (!FHandle) {
        TControl::DefaultHandler(Message);
        return;
    }
    switch (Message.Msg) {
    case CN_CTLCOLORMSGBOX: case CN_CTLCOLOREDIT: case CN_CTLCOLORLISTBOX: case CN_CTLCOLORBTN:
    case CN_CTLCOLORDLG: case CN_CTLCOLORSCROLLBAR: case CN_CTLCOLORSTATIC: {
        HDC dc = reinterpret_cast<HDC>(Message.WParam);
        ::SetTextColor(dc, ColorToRGB(FFont->Color()));
        ::SetBkColor(dc, ColorToRGB(FBrush->Color()));
        Message.Result = reinterpret_cast<LRESULT>(FBrush->Handle());
        return;
    }
    default:
        break;
    }
    Message.Result =
        ::CallWindowProcW(FDefWndProc ? FDefWndProc : ::DefWindowProcW, FHandle, Message.Msg, Message.WParam,
                          Message.LParam);
}

TWinControl* TWinControl::FindControl(HWND Wnd)
{
    if (!Wnd)
        return nullptr;
    auto* control = static_cast<TWinControl*>(::GetPropW(Wnd, ControlProp));
    // A window of our classes without its control yet is the one being
    // created (a creation hook asks before the window's first message).
    if (!control && CreationControl &&
        reinterpret_cast<WNDPROC>(::GetClassLongPtrW(Wnd, GCLP_WNDPROC)) == KvControlWndProc) {
        control = CreationControl;
        CreationControl = nullptr;
        control->FHandle = Wnd;
        ::SetPropW(Wnd, ControlProp, control);
    }
    return control;
}

TWinControl* FindVCLWindow(const TPoint& Pos)
{
    HWND wnd = ::WindowFromPoint(Pos);
    while (wnd) {
        if (TWinControl* c = TWinControl::FindControl(wnd))
            return c;
        wnd = ::GetParent(wnd);
    }
    return nullptr;
}

// ---------------------------------------------------------------------------
// TGraphicControl
TGraphicControl::TGraphicControl(TComponent* AOwner) : TControl(AOwner)
{
    FCanvas = new TControlCanvas();
    FCanvas->SetControl(this);
}

TGraphicControl::~TGraphicControl() { delete FCanvas; }

void TGraphicControl::WndProc(TMessage& Message)
{
    if (Message.Msg == WM_PAINT) {
        WMPaint(Message);
        return;
    }
    TControl::WndProc(Message);
}

void TGraphicControl::WMPaint(TMessage& Message)
{
    HDC dc = reinterpret_cast<HDC>(Message.WParam);
    if (!dc)
        return;
    TCanvasPaintScope scope(FCanvas, dc);
    Paint();
}

// ---------------------------------------------------------------------------
// TCustomControl
TCustomControl::TCustomControl(TComponent* AOwner) : TWinControl(AOwner)
{
    FCanvas = new TControlCanvas();
    FCanvas->SetControl(this);
}

TCustomControl::~TCustomControl() { delete FCanvas; }

void TCustomControl::PaintWindow(HDC DC)
{
    TCanvasPaintScope scope(FCanvas, DC);
    Paint();
}

void TCustomControl::WMPaint(TMessage& Message)
{
    TStateScope state(FControlState, csCustomPaint);
    TWinControl::WMPaint(Message);
}

// ---------------------------------------------------------------------------
// Published properties.
namespace {
const std::initializer_list<const wchar_t*> AlignNames = {L"alNone", L"alTop", L"alBottom", L"alLeft",
                                                          L"alRight", L"alClient", L"alCustom"};
} // namespace

KV_BEGIN_PUBLISHED(TControl, TComponent)
    B.Int(L"Left", &C::Left, &C::SetLeft);
    B.Int(L"Top", &C::Top, &C::SetTop);
    B.Int(L"Width", &C::Width, &C::SetWidth);
    B.Int(L"Height", &C::Height, &C::SetHeight);
    B.Enum(L"Align", &C::Align, &C::SetAlign, alNone, AlignNames, L"TAlign");
    B.Set(L"Anchors", &C::Anchors, &C::SetAnchors, 3, {L"akLeft", L"akTop", L"akRight", L"akBottom"}, L"TAnchors");
    B.Str(L"Caption", &C::Caption, &C::SetCaption);
    B.Int(L"Color", &C::Color, &C::SetColor, TPropInfo::NoDefault, L"TColor");
    B.Bool(L"ParentColor", &C::ParentColor, &C::SetParentColor, true);
    B.Object(L"Font", &C::Font, &C::SetFont);
    B.Bool(L"ParentFont", &C::ParentFont, &C::SetParentFont, true);
    B.Bool(L"Visible", &C::Visible, &C::SetVisible, true);
    B.Bool(L"Enabled", &C::Enabled, &C::SetEnabled, true);
    B.Int(L"Cursor", &C::Cursor, &C::SetCursor, crDefault, L"TCursor");
    B.Str(L"Hint", &C::Hint, &C::SetHint);
    B.Bool(L"ShowHint", &C::ShowHint, &C::SetShowHint, false);
    B.Bool(L"ParentShowHint", &C::ParentShowHint, &C::SetParentShowHint, true);
    B.Event(L"OnClick", &C::OnClick);
    B.Event(L"OnDblClick", &C::OnDblClick);
    B.Event(L"OnMouseDown", &C::OnMouseDown);
    B.Event(L"OnMouseUp", &C::OnMouseUp);
    B.Event(L"OnMouseMove", &C::OnMouseMove);
    B.Event(L"OnMouseEnter", &C::OnMouseEnter);
    B.Event(L"OnMouseLeave", &C::OnMouseLeave);
    B.Event(L"OnResize", &C::OnResize);
KV_END_PUBLISHED

KV_BEGIN_PUBLISHED(TWinControl, TControl)
    B.Int(L"TabOrder", &C::TabOrder, &C::SetTabOrder, -1);
    B.Bool(L"TabStop", &C::TabStop, &C::SetTabStop, false);
    B.Bool(L"DoubleBuffered", &C::DoubleBuffered, &C::SetDoubleBuffered, false);
    B.Bool(L"ParentBackground", &C::ParentBackground, &C::SetParentBackground, false);
    B.Int(L"BorderWidth", &C::BorderWidth, &C::SetBorderWidth, 0);
    B.Event(L"OnEnter", &C::OnEnter);
    B.Event(L"OnExit", &C::OnExit);
    B.Event(L"OnKeyDown", &C::OnKeyDown);
    B.Event(L"OnKeyUp", &C::OnKeyUp);
    B.Event(L"OnKeyPress", &C::OnKeyPress);
    B.Event(L"OnMouseWheel", &C::OnMouseWheel);
KV_END_PUBLISHED

KV_BEGIN_PUBLISHED(TGraphicControl, TControl)
KV_END_PUBLISHED

KV_BEGIN_PUBLISHED(TCustomControl, TWinControl)
KV_END_PUBLISHED
