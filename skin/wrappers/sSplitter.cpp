// The skinned splitter.
#include "skin/wrappers/sSplitter.h"

#include "classlib/controls/Forms.h"
#include "classlib/graphics/GdiHandles.h"
#include "skin/core/sConst.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/sVclUtils.h"
#include "skin/paint/sAlphaGraph_Fast.h"
#include "skin/paint/sGraphUtils.h"
#include "skin/paint/sGraphUtils_BGInfo.h"
#include "skin/paint/sGraphUtils_Sections.h"

TsSplitter::TsSplitter(TComponent* AOwner)
    : TSplitter(AOwner), FCommonData(new TsCommonData(this, false)), FGlyph(new TBitmap)
{
    FCommonData->COC = 75;
    SetControlStyle(TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csOpaque, csDoubleClicks});
    SetWidth(6);
}

TsSplitter::~TsSplitter()
{
    // Freed in the middle of a drag: the hints come back all the same.
    EndSizing(false);
    delete FCommonData;
    FCommonData = nullptr;
    delete FGlyph;
    FGlyph = nullptr;
}

void TsSplitter::AfterConstruction()
{
    TSplitter::AfterConstruction();
    FCommonData->Loaded();
}

void TsSplitter::Loaded()
{
    TSplitter::Loaded();
    FCommonData->Loaded();
}

void TsSplitter::SetGlyph(TBitmap* Value)
{
    FGlyph->Assign(Value);
    Repaint();
}

// ---------------------------------------------------------------------------
// The drag.

void TsSplitter::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (!ShowHintStored && Application) {
        AppShowHint = Application->ShowHint();
        Application->SetShowHint(false);
        ShowHintStored = true;
    }
    if (AutoSnap() && Parent()) {
        // Closed neighbours come back to the splitter's side.
        for (int i = 0; i < Parent()->ControlCount(); ++i) {
            TControl* c = Parent()->Controls(i);
            if (Align() == alTop && c->Height() == 0)
                c->SetTop(Top());
            else if (Align() == alLeft && c->Width() == 0)
                c->SetLeft(Left());
        }
    }
    TSplitter::MouseDown(Button, Shift, X, Y);
    FSizing = true;
    WatchParentCapture();
    if (ResizeStyle() == rsUpdate)
        Repaint();
}

void TsSplitter::MouseMove(TShiftState Shift, int X, int Y)
{
    const bool wasSizing = Sizing();
    TSplitter::MouseMove(Shift, X, Y);
    // The button came up where the splitter did not see it.
    if (FSizing && wasSizing && !Sizing())
        EndSizing(true);
}

void TsSplitter::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TSplitter::MouseUp(Button, Shift, X, Y);
    EndSizing(true);
}

void TsSplitter::EndSizing(bool Repainting)
{
    // Released, not freed: this may run inside the watch's own call.
    if (FParentWatch)
        FParentWatch->Release();
    const bool was = FSizing;
    FSizing = false;
    if (was && Repainting && ResizeStyle() == rsUpdate)
        Repaint();
    if (ShowHintStored && Application) {
        Application->SetShowHint(AppShowHint);
        ShowHintStored = false;
    }
}

void TsSplitter::WatchParentCapture()
{
    if ((FParentWatch && FParentWatch->Active()) || !Parent() || !Parent()->HandleAllocated())
        return;
    FParentWatch.reset();
    FWatchedWnd = Parent()->Handle();
    auto watch = std::make_unique<TSubclassedWindow>(Bind(this, &TsSplitter::ParentDragProc));
    if (watch->Subclass(FWatchedWnd, L"TsSplitterDrag"))
        FParentWatch = std::move(watch);
}

void TsSplitter::ParentDragProc(TMessage& Message)
{
    FParentWatch->CallPrevious(Message);
    const bool lost = Message.Msg == WM_CANCELMODE ||
                      (Message.Msg == WM_CAPTURECHANGED && reinterpret_cast<HWND>(Message.LParam) != FWatchedWnd);
    if (lost && FSizing) {
        StopSizing();
        EndSizing(true);
    }
}

// ---------------------------------------------------------------------------
// Painting.

void TsSplitter::DrawGlyph(TBitmap* Target, const TPoint& At)
{
    const int w = FGlyph->Width(), h = FGlyph->Height();
    if (FGlyph->PixelFormat() == pf32bit) {
        // Laid by its own alpha, every pixel of the glyph read inside it.
        CopyBmp32(TRect(At.x, At.y, At.x + w, At.y + h), TRect(0, 0, w, h), Target, FGlyph, EmptyCI, false,
                  kvNoColor, 0, false);
        return;
    }
    FGlyph->SetTransparent(true);
    Target->Canvas()->Draw(At.x, At.y, FGlyph);
}

void TsSplitter::PaintSkinned()
{
    const TRect r = ClientRect();
    FCommonData->InitCacheBmp();
    TBitmap* cache = FCommonData->FCacheBmp;
    int state = ControlIsActive(FCommonData) ? 1 : 0;
    if (FSizing && ResizeStyle() == rsUpdate)
        state = 2;
    TkvBGInfo bg{};
    if (Parent())
        GetBGInfo(&bg, Parent(), false);
    PaintItem(FCommonData, BGInfoToCI(&bg), true, state, r, TPoint(Left(), Top()), cache, true);
    if (!FGlyph->Empty())
        DrawGlyph(cache, TPoint((Width() - FGlyph->Width()) / 2, (Height() - FGlyph->Height()) / 2));
    ::BitBlt(Canvas()->Handle(), 0, 0, Width(), Height(), cache->Canvas()->Handle(), 0, 0, SRCCOPY);
    FreeAndNil(FCommonData->FCacheBmp);
    if (ComponentState().Contains(csDesigning)) {
        TCanvas* c = Canvas();
        c->Pen()->SetStyle(psDot);
        c->Pen()->SetMode(pmXor);
        c->Pen()->SetColor(TColor(0xFFD8CE));
        c->Brush()->SetStyle(bsClear);
        c->Rectangle(0, 0, Width(), Height());
    }
    if (OnPaint)
        OnPaint(this);
}

void TsSplitter::Paint()
{
    if (FCommonData->Skinned()) {
        PaintSkinned();
        return;
    }
    TSplitter::Paint();
    if (FGlyph->Empty())
        return;
    const TPoint at((Width() - FGlyph->Width()) / 2, (Height() - FGlyph->Height()) / 2);
    if (FGlyph->PixelFormat() != pf32bit) {
        FGlyph->SetTransparent(true);
        Canvas()->Draw(at.x, at.y, FGlyph);
        return;
    }
    // Over a copy of what the splitter shows there.
    const int w = FGlyph->Width(), h = FGlyph->Height();
    TOwned<TBitmap> under(CreateBmp24(w, h));
    ::BitBlt(under->Canvas()->Handle(), 0, 0, w, h, Canvas()->Handle(), at.x, at.y, SRCCOPY);
    DrawGlyph(under.get(), TPoint(0, 0));
    ::BitBlt(Canvas()->Handle(), at.x, at.y, w, h, under->Canvas()->Handle(), 0, 0, SRCCOPY);
}

// ---------------------------------------------------------------------------
// The window procedure.

bool TsSplitter::Command(TMessage& Message)
{
    const bool own = Message.LParam == reinterpret_cast<LPARAM>(FCommonData->GetSkinManager());
    switch (Message.WParamHi) {
    case SMC_SKIN_SET:
        if (!own)
            return false;
        CommonWndProc(Message, FCommonData);
        return true;
    case SMC_SKIN_REMOVE:
    case SMC_SKIN_REFRESH:
        if (!own)
            return false;
        CommonWndProc(Message, FCommonData);
        Repaint();
        return true;
    case SMC_IS_SKINNED:
        Message.Result = 1;
        return true;
    case SMC_GET_APPLICATION:
        Message.Result = reinterpret_cast<LRESULT>(Application);
        return true;
    }
    return false;
}

void TsSplitter::WndProc(TMessage& Message)
{
    if (Message.Msg == SM_KORVEXCMD && Command(Message))
        return;
    if (!ControlIsReady(this) || !FCommonData->Skinned()) {
        TSplitter::WndProc(Message);
        return;
    }
    switch (Message.Msg) {
    case WM_MOVE:
    case WM_SIZE:
    case WM_MOUSEWHEEL:
    case CM_VISIBLECHANGED:
    case CM_ENABLEDCHANGED:
        FCommonData->BGChanged = true;
        break;
    case WM_ERASEBKGND:
    case WM_NCPAINT:
        Message.Result = 1;
        return;
    }
    if (Message.Msg == SM_KORVEXCMD && Message.WParamHi == SMC_PARENT_UPDATED && FCommonData->FUpdating) {
        FCommonData->SetUpdating(false);
        Perform(WM_PAINT);
        return;
    }
    if (CommonWndProc(Message, FCommonData))
        return;
    TSplitter::WndProc(Message);
    if (!FCommonData)
        return;
    switch (Message.Msg) {
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case CM_ENTER:
    case CM_EXIT:
        FCommonData->FFocused = Message.Msg == WM_SETFOCUS || Message.Msg == CM_ENTER;
        FCommonData->FMouseAbove = false;
        FCommonData->BGChanged = true;
        Repaint();
        break;
    case CM_MOUSEENTER:
    case CM_MOUSELEAVE:
        if (!FCommonData->FFocused && !ComponentState().Contains(csDesigning)) {
            FCommonData->FMouseAbove = Message.Msg == CM_MOUSEENTER;
            FCommonData->BGChanged = true;
            Repaint();
        }
        break;
    }
}

KV_BEGIN_PUBLISHED(TsSplitter, TSplitter)
    B.Object(L"Glyph", &C::Glyph, &C::SetGlyph);
    B.Object(L"SkinData", &C::SkinData);
    B.Int(L"Width", &C::Width, &C::SetWidth, 6);
KV_END_PUBLISHED
