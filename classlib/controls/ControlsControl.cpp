// TControl: parent, bounds, visibility, text, colours and fonts, and its
// message dispatch.
#include "classlib/controls/Controls.h"

#include <algorithm>

#include "classlib/controls/ActnList.h"
#include "classlib/controls/ControlsPrivate.h"
#include "classlib/controls/Forms.h"

using namespace controls_detail;

// ---------------------------------------------------------------------------
// TControl
TControl::TControl(TComponent* AOwner) : TComponent(AOwner)
{
    WindowProc = Bind(this, &TControl::WndProc);
    FFont = new TFont();
    FFont->OnChange = Bind(this, &TControl::FontChanged);
    FConstraints = new TSizeConstraints(this);
}

namespace {
// The watches that are live now: a few at most, nested on the stack.
std::vector<TControlLifeWatch*>& LifeWatches()
{
    static std::vector<TControlLifeWatch*> watches;
    return watches;
}
} // namespace

TControlLifeWatch::TControlLifeWatch(TControl* Control) : FControl(Control) { LifeWatches().push_back(this); }

TControlLifeWatch::~TControlLifeWatch() { std::erase(LifeWatches(), this); }

TControl::~TControl()
{
    for (TControlLifeWatch* w : LifeWatches())
        if (w->FControl == this)
            w->FControl = nullptr;
    if (MouseInControl == this)
        MouseInControl = nullptr;
    ReleaseControlCapture(this);
    if (Application)
        Application->ControlDestroyed(this);
    if (FParent)
        FParent->RemoveControl(this);
    delete FFont;
    delete FConstraints;
}

void TControl::BeforeDestruction()
{
    StartDestruction();
    // Owned components go while this control is whole: one that puts back
    // the WindowProc it swapped, or talks to its owner, finds it intact.
    DestroyComponents();
}

void TControl::StartDestruction()
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
    CheckNewSize(AWidth, AHeight);
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
    // As a window hears of its new place: whoever watches the control's
    // WindowProc (a label sticking to it) learns that it moved.
    Perform(WM_WINDOWPOSCHANGED, 0, 0);
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
    if (Message.Msg == WM_MOUSEMOVE && Application && !ComponentState().Contains(csDesigning))
        Application->HintMouseMessage(this, Message);
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
    case CM_BIDIMODECHANGED: CMBiDiModeChanged(Message); break;
    case CM_PARENTBIDIMODECHANGED: CMParentBiDiModeChanged(Message); break;
    case WM_CONTEXTMENU: WMContextMenu(Message); break;
    default: DefaultHandler(Message); break;
    }
}

void TControl::CMEnabledChanged(TMessage&) { Invalidate(); }

void TControl::CMVisibleChanged(TMessage&) { InvalidateControl(true, FVisible && FControlStyle.Contains(csOpaque)); }

void TControl::CMColorChanged(TMessage&) { Invalidate(); }

void TControl::CMFontChanged(TMessage&) { Invalidate(); }

void TControl::CMTextChanged(TMessage&) { Invalidate(); }

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
