// Alignment and anchors: where a parent places its aligned and anchored
// children.
#include "classlib/controls/Controls.h"

#include <algorithm>

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

void TControl::RequestAlign()
{
    if (FParent && (FAlign != alNone || FAnchors != TAnchors{akLeft, akTop}))
        FParent->Realign();
    else if (FParent)
        FParent->ControlBoundsChanged(this);
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

// Anchored (not aligned) children keep their distances to the right and
// bottom edges they are anchored to.
void TWinControl::AnchorControls()
{
    TRect client = GetClientRect();
    for (TControl* c : FControls) {
        // A control still being read takes its anchor distances when loaded,
        // against the parent's final size.
        if (c->FAlign != alNone || c->ComponentState().Contains(csLoading))
            continue;
        bool l = c->FAnchors.Contains(akLeft), r = c->FAnchors.Contains(akRight);
        bool t = c->FAnchors.Contains(akTop), b = c->FAnchors.Contains(akBottom);
        if (!r && !b)
            continue;
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
        int ar = c->FAnchorRight, ab = c->FAnchorBottom;
        c->SetBounds(x, y, w, h);
        c->FAnchorRight = ar;
        c->FAnchorBottom = ab;
    }
}

// The visible children aligned to A, stacked in the order of their position.
std::vector<TControl*> TWinControl::AlignedControls(TAlign A) const
{
    std::vector<TControl*> list;
    for (TControl* c : FControls)
        if (c->FAlign == A && c->FVisible)
            list.push_back(c);
    std::stable_sort(list.begin(), list.end(), [A](TControl* x, TControl* y) {
        switch (A) {
        case alTop: return x->FTop < y->FTop;
        case alBottom: return x->FTop + x->FHeight > y->FTop + y->FHeight;
        case alLeft: return x->FLeft < y->FLeft;
        case alRight: return x->FLeft + x->FWidth > y->FLeft + y->FWidth;
        default: return false;
        }
    });
    return list;
}

// Puts C against the side of Rect that A names and takes its room from Rect.
void TWinControl::PlaceAligned(TControl* C, TAlign A, TRect& Rect)
{
    int w = Rect.Width(), h = Rect.Height();
    switch (A) {
    case alTop:
        C->SetBounds(Rect.left, Rect.top, w, C->FHeight);
        Rect.top += C->FHeight;
        break;
    case alBottom:
        C->SetBounds(Rect.left, Rect.bottom - C->FHeight, w, C->FHeight);
        Rect.bottom -= C->FHeight;
        break;
    case alLeft:
        C->SetBounds(Rect.left, Rect.top, C->FWidth, h);
        Rect.left += C->FWidth;
        break;
    case alRight:
        C->SetBounds(Rect.right - C->FWidth, Rect.top, C->FWidth, h);
        Rect.right -= C->FWidth;
        break;
    case alClient:
        C->SetBounds(Rect.left, Rect.top, w, h);
        break;
    default:
        break;
    }
    if (Rect.bottom < Rect.top) Rect.bottom = Rect.top;
    if (Rect.right < Rect.left) Rect.right = Rect.left;
}

void TWinControl::AlignControls(TControl*, TRect& Rect)
{
    AnchorControls();
    static const TAlign order[] = {alTop, alBottom, alLeft, alRight, alClient};
    for (TAlign a : order)
        for (TControl* c : AlignedControls(a))
            PlaceAligned(c, a, Rect);
}
