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
