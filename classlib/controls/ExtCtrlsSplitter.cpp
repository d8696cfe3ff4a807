// The splitter: a bar that resizes the aligned control beside it.
#include "classlib/controls/ExtCtrls.h"

#include <algorithm>

TSplitter::TSplitter(TComponent* AOwner) : TGraphicControl(AOwner)
{
    FAlign = alLeft;
    FWidth = 3;
    FHeight = 100;
    FCursor = crHSplit;
}

TSplitter::~TSplitter()
{
    // Freed in the middle of a drag: the bar on the parent goes, and the
    // parent's device context is given back.
    StopSizing();
}

void TSplitter::SetBeveled(bool Value)
{
    if (FBeveled != Value) {
        FBeveled = Value;
        Invalidate();
    }
}

void TSplitter::RequestAlign()
{
    TGraphicControl::RequestAlign();
    if (FCursor == crHSplit || FCursor == crVSplit)
        SetCursor(Vertical() ? crHSplit : crVSplit);
}

void TSplitter::Notification(TComponent* AComponent, TOperation Operation)
{
    TGraphicControl::Notification(AComponent, Operation);
    // The control being sized went: the drag ends without it.
    if (Operation == opRemove && AComponent == FControl) {
        FControl = nullptr;
        StopSizing();
    }
}

void TSplitter::Paint()
{
    TCanvas* canvas = Canvas();
    TRect r = ClientRect();
    canvas->Brush()->SetColor(Color());
    canvas->Brush()->SetStyle(bsSolid);
    canvas->FillRect(r);
    if (FBeveled) {
        if (Vertical())
            r.right = std::min<LONG>(r.right, r.left + 2);
        else
            r.bottom = std::min<LONG>(r.bottom, r.top + 2);
        Frame3D(canvas, r, clBtnHighlight, clBtnShadow, 1);
    }
    if (OnPaint)
        OnPaint(this);
}

TControl* TSplitter::FindSizedControl() const
{
    if (!FParent)
        return nullptr;
    TPoint p{FLeft, FTop};
    switch (FAlign) {
    case alLeft: --p.x; break;
    case alRight: p.x += FWidth; break;
    case alTop: --p.y; break;
    case alBottom: p.y += FHeight; break;
    default: return nullptr;
    }
    for (int i = 0; i < FParent->ControlCount(); ++i) {
        TControl* c = FParent->Controls(i);
        if (c == this || !c->Visible() || !c->Enabled())
            continue;
        // A closed (zero-size) control still lies next to the bar.
        TRect r = c->BoundsRect();
        bool before = FAlign == alLeft || FAlign == alTop;
        if (r.Width() == 0)
            (before ? r.left : r.right) += before ? -1 : 1;
        if (r.Height() == 0)
            (before ? r.top : r.bottom) += before ? -1 : 1;
        if (r.Contains(p))
            return c;
    }
    return nullptr;
}

// The size the sized control takes for the mouse at (X, Y), kept between
// MinSize and FMaxSize, and where the bar then stands (Split, from its place).
void TSplitter::CalcSplitSize(int X, int Y, int& NewSize, int& Split) const
{
    Split = Vertical() ? X - FDownPos.x : Y - FDownPos.y;
    int size = 0;
    switch (FAlign) {
    case alLeft: size = FControl->Width() + Split; break;
    case alRight: size = FControl->Width() - Split; break;
    case alTop: size = FControl->Height() + Split; break;
    case alBottom: size = FControl->Height() - Split; break;
    default: break;
    }
    NewSize = std::clamp(size, FMinSize, std::max(FMinSize, FMaxSize));
    if (size != NewSize)
        Split += FAlign == alRight || FAlign == alBottom ? size - NewSize : NewSize - size;
}

bool TSplitter::CanResize(int& NewSize)
{
    bool accept = true;
    if (OnCanResize)
        OnCanResize(this, NewSize, accept);
    return accept;
}

bool TSplitter::DoCanResize(int& NewSize)
{
    bool accept = CanResize(NewSize);
    if (accept && NewSize <= FMinSize && FAutoSnap)
        NewSize = 0;
    return accept;
}

void TSplitter::StartSizing(int X, int Y)
{
    FControl = FindSizedControl();
    FDownPos = {X, Y};
    if (!FControl)
        return;
    FControl->FreeNotification(this);
    // What the other controls aligned the same way leave, but MinSize.
    int room = (Vertical() ? FParent->ClientWidth() : FParent->ClientHeight()) - FMinSize;
    for (int i = 0; i < FParent->ControlCount(); ++i) {
        TControl* c = FParent->Controls(i);
        if (!c->Visible())
            continue;
        if (Vertical() && (c->Align() == alLeft || c->Align() == alRight))
            room -= c->Width();
        else if (!Vertical() && (c->Align() == alTop || c->Align() == alBottom))
            room -= c->Height();
    }
    FMaxSize = room + (Vertical() ? FControl->Width() : FControl->Height());
    FOldSize = Vertical() ? FControl->Width() : FControl->Height();
    CalcSplitSize(X, Y, FNewSize, FSplit);
    if (FResizeStyle == rsLine || FResizeStyle == rsPattern) {
        AllocateLineDC();
        DrawLine();
    }
}

void TSplitter::StopSizing()
{
    if (FLineVisible)
        DrawLine();
    ReleaseLineDC();
    if (FControl) {
        FControl->RemoveFreeNotification(this);
        FControl = nullptr;
    }
}

void TSplitter::UpdateControlSize()
{
    if (!FControl || FNewSize == FOldSize)
        return;
    switch (FAlign) {
    case alLeft: FControl->SetWidth(FNewSize); break;
    case alTop: FControl->SetHeight(FNewSize); break;
    case alRight:
        FParent->DisableAlign();
        FControl->SetBounds(FControl->Left() + FControl->Width() - FNewSize, FControl->Top(), FNewSize,
                            FControl->Height());
        FParent->EnableAlign();
        break;
    case alBottom:
        FParent->DisableAlign();
        FControl->SetBounds(FControl->Left(), FControl->Top() + FControl->Height() - FNewSize, FControl->Width(),
                            FNewSize);
        FParent->EnableAlign();
        break;
    default: break;
    }
    FOldSize = FNewSize;
    if (OnMoved)
        OnMoved(this);
}

void TSplitter::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TGraphicControl::MouseDown(Button, Shift, X, Y);
    if (Button == mbLeft && !FControl)
        StartSizing(X, Y);
}

void TSplitter::MouseMove(TShiftState Shift, int X, int Y)
{
    TGraphicControl::MouseMove(Shift, X, Y);
    if (!FControl)
        return;
    // The button came up where we did not see it (the capture went
    // elsewhere): the drag ends as it stands, without a resize.
    if (!Shift.Contains(ssLeft)) {
        StopSizing();
        return;
    }
    int newSize, split;
    CalcSplitSize(X, Y, newSize, split);
    if (!DoCanResize(newSize))
        return;
    if (FLineVisible)
        DrawLine();
    FNewSize = newSize;
    FSplit = split;
    if (FResizeStyle == rsUpdate)
        UpdateControlSize();
    else if (FResizeStyle != rsNone)
        DrawLine();
}

void TSplitter::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TGraphicControl::MouseUp(Button, Shift, X, Y);
    if (Button != mbLeft || !FControl)
        return;
    if (FLineVisible)
        DrawLine();
    UpdateControlSize();
    StopSizing();
}

// ---------------------------------------------------------------------------
// The inverted bar that shows where the splitter goes (rsLine, rsPattern).

void TSplitter::AllocateLineDC()
{
    if (FLineDC || !FParent || !FParent->HandleAllocated())
        return;
    FLineWnd = FParent->Handle();
    FLineDC = ::GetDCEx(FLineWnd, nullptr, DCX_CACHE | DCX_CLIPSIBLINGS | DCX_LOCKWINDOWUPDATE);
    if (FResizeStyle == rsPattern && FLineDC) {
        if (!FPatternBrush) {
            // A checker of black and white pixels.
            static const WORD bits[8] = {0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA};
            GdiObject<HBITMAP> pattern(::CreateBitmap(8, 8, 1, 1, bits));
            FPatternBrush.Reset(::CreatePatternBrush(pattern.Get()));
        }
        FPrevBrush = ::SelectObject(FLineDC, FPatternBrush.Get());
    }
}

void TSplitter::ReleaseLineDC()
{
    if (!FLineDC)
        return;
    if (FPrevBrush)
        ::SelectObject(FLineDC, FPrevBrush);
    FPrevBrush = nullptr;
    ::ReleaseDC(FLineWnd, FLineDC);
    FLineDC = nullptr;
    FLineWnd = nullptr;
    FPatternBrush.Reset();
}

void TSplitter::DrawLine()
{
    FLineVisible = !FLineVisible;
    if (!FLineDC)
        return;
    TPoint p{FLeft, FTop};
    if (Vertical())
        p.x += FSplit;
    else
        p.y += FSplit;
    ::PatBlt(FLineDC, p.x, p.y, FWidth, FHeight, PATINVERT);
}

// ---------------------------------------------------------------------------
// Published properties

KV_BEGIN_PUBLISHED(TSplitter, TGraphicControl)
    B.Bool(L"AutoSnap", &C::AutoSnap, &C::SetAutoSnap, true);
    B.Bool(L"Beveled", &C::Beveled, &C::SetBeveled, false);
    B.Int(L"MinSize", &C::MinSize, &C::SetMinSize, 30);
    B.Enum(L"ResizeStyle", &C::ResizeStyle, &C::SetResizeStyle, rsPattern,
           {L"rsNone", L"rsLine", L"rsUpdate", L"rsPattern"}, L"TResizeStyle");
    B.Event(L"OnCanResize", &C::OnCanResize);
    B.Event(L"OnMoved", &C::OnMoved);
    B.Event(L"OnPaint", &C::OnPaint);
KV_END_PUBLISHED
