// Size limits and sizing to content, the change notification, the
// three-dimensional look and the bevelled frame of windowed controls.
#include "classlib/controls/Controls.h"

#include <algorithm>

const bool NewStyleControls = LOBYTE(LOWORD(::GetVersion())) >= 4;

// ---------------------------------------------------------------------------
// TSizeConstraints

void TSizeConstraints::SetMaxHeight(int Value)
{
    Value = std::max(Value, 0);
    if (Value == FMaxHeight)
        return;
    FMaxHeight = Value;
    if (Value > 0 && Value < FMinHeight)
        FMinHeight = Value;
    Change();
}

void TSizeConstraints::SetMaxWidth(int Value)
{
    Value = std::max(Value, 0);
    if (Value == FMaxWidth)
        return;
    FMaxWidth = Value;
    if (Value > 0 && Value < FMinWidth)
        FMinWidth = Value;
    Change();
}

void TSizeConstraints::SetMinHeight(int Value)
{
    Value = std::max(Value, 0);
    if (Value == FMinHeight)
        return;
    FMinHeight = Value;
    if (FMaxHeight > 0 && Value > FMaxHeight)
        FMaxHeight = Value;
    Change();
}

void TSizeConstraints::SetMinWidth(int Value)
{
    Value = std::max(Value, 0);
    if (Value == FMinWidth)
        return;
    FMinWidth = Value;
    if (FMaxWidth > 0 && Value > FMaxWidth)
        FMaxWidth = Value;
    Change();
}

void TSizeConstraints::Assign(TPersistent* Source)
{
    auto* s = dynamic_cast<TSizeConstraints*>(Source);
    if (!s) {
        TPersistent::Assign(Source);
        return;
    }
    FMinHeight = s->FMinHeight;
    FMaxHeight = s->FMaxHeight;
    FMinWidth = s->FMinWidth;
    FMaxWidth = s->FMaxWidth;
    Change();
}

void TSizeConstraints::Apply(int& Width, int& Height) const
{
    if (FMinWidth > 0)
        Width = std::max(Width, FMinWidth);
    if (FMaxWidth > 0)
        Width = std::min(Width, FMaxWidth);
    if (FMinHeight > 0)
        Height = std::max(Height, FMinHeight);
    if (FMaxHeight > 0)
        Height = std::min(Height, FMaxHeight);
}

void TSizeConstraints::Change()
{
    if (FControl)
        FControl->AdjustSize();
    if (OnChange)
        OnChange(this);
}

KV_BEGIN_PUBLISHED(TSizeConstraints, TPersistent)
    B.Int(L"MaxHeight", &C::MaxHeight, &C::SetMaxHeight, 0);
    B.Int(L"MaxWidth", &C::MaxWidth, &C::SetMaxWidth, 0);
    B.Int(L"MinHeight", &C::MinHeight, &C::SetMinHeight, 0);
    B.Int(L"MinWidth", &C::MinWidth, &C::SetMinWidth, 0);
KV_END_PUBLISHED

// ---------------------------------------------------------------------------
// TControl

void TControl::Changed()
{
    Perform(CM_CHANGED, 0, reinterpret_cast<LPARAM>(this));
}

void TControl::SetAutoSize(bool Value)
{
    if (FAutoSize == Value)
        return;
    FAutoSize = Value;
    if (Value)
        AdjustSize();
}

bool TControl::CanAutoSize(int&, int&)
{
    return false;
}

void TControl::AdjustSize()
{
    if (!ComponentState().Contains(csLoading))
        SetBounds(FLeft, FTop, FWidth, FHeight);
}

void TControl::CheckNewSize(int& NewWidth, int& NewHeight)
{
    if (AutoSize() && FAlign != alClient && !ComponentState().Contains(csLoading)) {
        int w = NewWidth, h = NewHeight;
        if (CanAutoSize(w, h)) {
            NewWidth = w;
            NewHeight = h;
        }
    }
    if (FConstraints)
        FConstraints->Apply(NewWidth, NewHeight);
}

// ---------------------------------------------------------------------------
// TWinControl: the three-dimensional look.

void TWinControl::SetCtl3D(bool Value)
{
    FParentCtl3D = false;
    if (FCtl3D == Value)
        return;
    FCtl3D = Value;
    Perform(CM_CTL3DCHANGED, 0, 0);
}

void TWinControl::SetParentCtl3D(bool Value)
{
    if (FParentCtl3D == Value)
        return;
    FParentCtl3D = Value;
    if (FParent && !ComponentState().Contains(csReading))
        Perform(CM_PARENTCTL3DCHANGED, 0, 0);
}

void TWinControl::CMCtl3DChanged(TMessage&)
{
    NotifyControls(CM_PARENTCTL3DCHANGED);
}

void TWinControl::CMParentCtl3DChanged(TMessage&)
{
    if (!FParentCtl3D || !FParent)
        return;
    SetCtl3D(FParent->Ctl3D());
    FParentCtl3D = true;
}

// ---------------------------------------------------------------------------
// TWinControl: the bevelled frame.
namespace {

UINT EdgeOf(TBevelCut Cut, bool Inner)
{
    switch (Cut) {
    case bvLowered: return Inner ? BDR_SUNKENINNER : BDR_SUNKENOUTER;
    case bvRaised: return Inner ? BDR_RAISEDINNER : BDR_RAISEDOUTER;
    default: return 0;
    }
}

} // namespace

int TWinControl::BevelEdgeSize() const
{
    if (FBevelKind == bkNone)
        return 0;
    return (FBevelInner != bvNone ? FBevelWidth : 0) + (FBevelOuter != bvNone ? FBevelWidth : 0);
}

void TWinControl::SetBevelKind(TBevelKind Value)
{
    if (FBevelKind == Value)
        return;
    FBevelKind = Value;
    if (HandleAllocated())
        ::SetWindowPos(FHandle, nullptr, 0, 0, 0, 0,
                       SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void TWinControl::SetBevelInner(TBevelCut Value)
{
    if (FBevelInner == Value)
        return;
    FBevelInner = Value;
    if (HandleAllocated())
        RecreateWnd();
}

void TWinControl::SetBevelOuter(TBevelCut Value)
{
    if (FBevelOuter == Value)
        return;
    FBevelOuter = Value;
    if (HandleAllocated())
        RecreateWnd();
}

void TWinControl::SetBevelEdges(TBevelEdges Value)
{
    if (FBevelEdges == Value)
        return;
    FBevelEdges = Value;
    if (HandleAllocated())
        RecreateWnd();
}

void TWinControl::SetBevelWidth(TBevelWidth Value)
{
    if (FBevelWidth == Value || Value < 1)
        return;
    FBevelWidth = Value;
    if (HandleAllocated())
        RecreateWnd();
}

void TWinControl::WMNCCalcSize(TMessage& Message)
{
    DefaultHandler(Message);
    const int e = BevelEdgeSize();
    if (e == 0 || !Message.LParam)
        return;
    RECT& r = *reinterpret_cast<RECT*>(Message.LParam);
    if (FBevelEdges.Contains(beLeft))
        r.left += e;
    if (FBevelEdges.Contains(beTop))
        r.top += e;
    if (FBevelEdges.Contains(beRight))
        r.right -= e;
    if (FBevelEdges.Contains(beBottom))
        r.bottom -= e;
}

void TWinControl::WMNCPaint(TMessage& Message)
{
    DefaultHandler(Message);
    if (BevelEdgeSize() == 0 || !FHandle)
        return;
    // The frame lies inside the system's border and around the client area.
    TRect w, c;
    ::GetWindowRect(FHandle, &w);
    ::GetClientRect(FHandle, &c);
    ::MapWindowPoints(FHandle, nullptr, reinterpret_cast<POINT*>(&c), 2);
    ::OffsetRect(&c, -w.left, -w.top);
    const int e = BevelEdgeSize();
    TRect r(c.left - (FBevelEdges.Contains(beLeft) ? e : 0), c.top - (FBevelEdges.Contains(beTop) ? e : 0),
            c.right + (FBevelEdges.Contains(beRight) ? e : 0), c.bottom + (FBevelEdges.Contains(beBottom) ? e : 0));
    UINT flags = (FBevelEdges.Contains(beLeft) ? BF_LEFT : 0) | (FBevelEdges.Contains(beTop) ? BF_TOP : 0) |
                 (FBevelEdges.Contains(beRight) ? BF_RIGHT : 0) | (FBevelEdges.Contains(beBottom) ? BF_BOTTOM : 0);
    if (FBevelKind == bkSoft)
        flags |= BF_SOFT;
    else if (FBevelKind == bkFlat)
        flags |= BF_FLAT;
    HDC dc = ::GetWindowDC(FHandle);
    ::DrawEdge(dc, &r, EdgeOf(FBevelInner, true) | EdgeOf(FBevelOuter, false), flags);
    ::ReleaseDC(FHandle, dc);
}
