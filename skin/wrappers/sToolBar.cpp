// The painting of class-library tool bars from their custom-draw events,
// and the skinned tool bar.
#include "skin/wrappers/sToolBar.h"

#include <commctrl.h>

#include <algorithm>

#include "classlib/controls/Forms.h"
#include "classlib/controls/Menus.h"
#include "classlib/graphics/GdiHandles.h"
#include "skin/core/kvntUtils.h"
#include "skin/core/sFormsSeam.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/sVclUtils.h"
#include "skin/paint/sAlphaGraph.h"
#include "skin/paint/sGraphUtils.h"
#include "skin/paint/sGraphUtils_BGInfo.h"
#include "skin/paint/sGraphUtils_Sections.h"
#include "skin/paint/sGraphUtils_Text.h"
#include "skin/wrappers/kvSBUtils_Paint.h"

namespace {

bool Designing(TComponent* C)
{
    return C && C->ComponentState().Contains(csDesigning);
}

// One frame of a skin image.
TSize FrameSize(const TsMaskData& MD)
{
    const int frames = std::max<int>(MD.ImageCount, 1);
    return TSize(MD.R.Width() / frames, MD.R.Height() / (MD.MaskType + 1));
}

// The paint state of a button: 2 pressed (selected, checked, marked or
// indeterminate), 1 hot, 0 normal.
int ButtonPaintState(TToolButton* Button, TCustomDrawState State)
{
    const bool special = Button->Marked() || Button->Indeterminate();
    if (!special && (State.Empty() || State == TCustomDrawState{cdsDisabled}))
        return 0;
    return State.Contains(cdsSelected) || State.Contains(cdsChecked) || special ? 2 : 1;
}

} // namespace

// ---------------------------------------------------------------------------
// TkvToolBarPainter

TPoint TkvToolBarPainter::ClientOffset() const
{
    TToolBar* bar = PaintedBar();
    if (!bar || !bar->HandleAllocated())
        return TPoint(0, 0);
    return KVClientRect(bar->Handle()).TopLeft();
}

void TkvToolBarPainter::PrepareCache()
{
    TToolBar* bar = PaintedBar();
    TsCommonData* data = PainterData();
    const TPoint pos = BarPosition();
    data->InitCacheBmp();
    const TCacheInfo ci = GetParentCache(data);
    PaintItem(data, ci, false, 0, TRect(0, 0, bar->Width(), bar->Height()), pos, data->FCacheBmp, false);
    data->BGChanged = false;
}

TRect TkvToolBarPainter::GetButtonRect(int Index) const
{
    TRect r;
    if (!PaintedBar()->Perform(TB_GETITEMRECT, WPARAM(Index), reinterpret_cast<LPARAM>(&r)))
        return TRect();
    return r;
}

int TkvToolBarPainter::IndexByMouse(const TPoint& P) const
{
    TToolBar* bar = PaintedBar();
    for (int i = 0; i < bar->ButtonCount(); ++i) {
        const TRect r = GetButtonRect(i);
        if (!::PtInRect(&r, P))
            continue;
        const TToolButtonStyle s = bar->Buttons(i)->Style();
        return s == tbsButton || s == tbsCheck || s == tbsDropDown ? i : -1;
    }
    return -1;
}

TToolButton* TkvToolBarPainter::ButtonByCommand(int Command) const
{
    TToolBar* bar = PaintedBar();
    for (int i = 0; i < bar->ButtonCount(); ++i)
        if (bar->Buttons(i)->CommandId() == Command)
            return bar->Buttons(i);
    return nullptr;
}

void TkvToolBarPainter::PaintBackground()
{
    TToolBar* bar = PaintedBar();
    TsCommonData* data = PainterData();
    if (data->BGChanged || !data->FCacheBmp || data->FCacheBmp->Empty())
        PrepareCache();
    data->FCacheBmp->Canvas()->Font()->Assign(bar->Font());
    const TRect r = KVClientRect(bar->Handle());
    const HDC dc = bar->Canvas()->Handle();
    // The whole client area: what the bar reports with its custom drawing
    // may cover its buttons only; the context is clipped to what needs painting.
    PaintBarBackground(bar, data, r, dc, TRect(0, 0, r.Width(), r.Height()));
    PaintControls(dc, bar, true, TPoint(0, 0));
    SetParentUpdated(bar);
    if (r.left > 0 || r.top > 0 || r.right != bar->Width() || r.bottom != bar->Height())
        ::SendMessageW(bar->Handle(), WM_NCPAINT, 1, 0);
}

void TkvToolBarPainter::PaintButton(TToolButton* Button, TCustomDrawState State, TTBCustomDrawFlags& Flags)
{
    TToolBar* bar = PaintedBar();
    TsCommonData* data = PainterData();
    TsSkinManager* m = data->GetSkinManager();
    const int index = Button->Index();
    if (!bar->Flat() && !Designing(bar) && index == HotButtonIndex)
        State += cdsHot;
    Flags += tbNoEdges;
    Flags += tbNoEtchedEffect;
    const TRect r = GetButtonRect(index);
    if (!m || r.IsEmpty())
        return;
    if (data->BGChanged || !data->FCacheBmp || data->FCacheBmp->Empty())
        PrepareCache();
    const int w = r.Width(), h = r.Height();
    TOwned<TBitmap> work(CreateBmp24(w, h));
    TCanvas* canvas = work->Canvas();
    canvas->Font()->Assign(bar->Font());
    const int s = ButtonPaintState(Button, State);
    const TPoint off = ClientOffset();
    const TCacheInfo ci = MakeCacheInfo(data->FCacheBmp, off.x, off.y);
    TCacheInfo buttonCI = ci;
    buttonCI.X += r.left;
    buttonCI.Y += r.top;
    const int aw = Button->Style() == tbsDropDown ? ::GetSystemMetrics(SM_CXVSCROLL) - 2 : 0;
    const int ww = w - aw;

    const int tb = m->GetSkinIndex(L"TOOLBUTTON");
    const int border = tb >= 0 ? m->GetMaskIndex(tb, L"TOOLBUTTON", L"BORDERSMASK") : -1;
    if (tb >= 0) {
        PaintItemBG(tb, L"TOOLBUTTON", ci, s, TRect(0, 0, w, h), r.TopLeft(), work.get(), m);
        if (m->IsValidImgIndex(border))
            DrawSkinRect(work.get(), TRect(0, 0, ww, h), true, buttonCI, m->ma[size_t(border)], s, true, m);
    }

    TCustomImageList* images = bar->Images();
    if (bar->ShowCaptions()) {
        const UnicodeString caption = Button->Caption();
        TRect t;
        if (bar->List()) {
            t = TRect(images ? images->Width() + 6 : 1, 2, ww - 2, h - 2);
        } else {
            const int x0 = (ww - canvas->TextWidth(caption)) / 2;
            const int th = canvas->TextHeight(L"A");
            int y, top;
            if (images) {
                y = (h - images->Height() - th - 3) / 2;
                top = y + images->Height() + 3;
            } else {
                y = top = (h - th) / 2;
            }
            t = TRect(x0 - 1, top, ww - x0 + 2, h - y);
        }
        if (s == 2)
            ::OffsetRect(&t, 1, 1);
        canvas->Brush()->SetStyle(bsClear);
        kvWriteTextEx(canvas, caption.c_str(), true, t, DT_CENTER | DT_VCENTER | DT_SINGLELINE,
                      GetFontIndex(Button, tb, m), s > 0, nullptr);
    }
    if (images && Button->ImageIndex() >= 0 && Button->ImageIndex() < images->Count())
        CopyToolBtnGlyph(bar, Button, State, cdPrePaint, Flags, work.get());

    if (Button->Style() == tbsDropDown && m->ConstData.MaskArrowBottom >= 0) {
        const bool dropped = (Button == DroppedButton && Button->DropdownMenu()) || Button->Down();
        const int a = dropped ? 2 : State.Contains(cdsHot) ? 1 : 0;
        if (m->IsValidImgIndex(border))
            DrawSkinRect(work.get(), TRect(ww, 0, w, h), true, buttonCI, m->ma[size_t(border)], a, true, m);
        // Every valid index is drawn, the last image of the table too.
        const int arrow = m->ConstData.MaskArrowBottom;
        if (m->IsValidImgIndex(arrow)) {
            const TsMaskData& md = m->ma[size_t(arrow)];
            const TSize g = FrameSize(md);
            DrawSkinGlyph(work.get(), TPoint(ww + 2 + (aw - g.cx - 3) / 2, (bar->ButtonHeight() - g.cy) / 2), a, 1,
                          md, buttonCI);
        }
    }
    if (!Button->Enabled() || Button->Indeterminate())
        BmpDisabledKind(work.get(), ButtonDisabledKind(), bar->Parent(), buttonCI, TPoint(0, 0));
    ::BitBlt(bar->Canvas()->Handle(), r.left, r.top, w, h, canvas->Handle(), 0, 0, SRCCOPY);
}

void TkvToolBarPainter::RepaintButton(int Index)
{
    TToolBar* bar = PaintedBar();
    if (!bar || !bar->HandleAllocated() || Index < 0 || Index >= bar->ButtonCount())
        return;
    TToolButton* b = bar->Buttons(Index);
    if (!b->Visible())
        return;
    TkvTargetDC dc(bar->Handle(), nullptr, true);
    SavedDC saved(dc);
    const TPoint off = ClientOffset();
    ::OffsetViewportOrgEx(dc, off.x, off.y, nullptr);
    TCanvasPaintScope scope(dynamic_cast<TControlCanvas*>(bar->Canvas()), dc);
    TTBCustomDrawFlags flags{tbNoEdges, tbNoEtchedEffect};
    DrawButtonEvent(b, TCustomDrawState{}, flags);
}

void TkvToolBarPainter::RepaintUnlessDown(int Index)
{
    TToolBar* bar = PaintedBar();
    if (Index >= 0 && Index < bar->ButtonCount() && !bar->Buttons(Index)->Down())
        RepaintButton(Index);
}

void TkvToolBarPainter::TrackMouse(const TPoint& P)
{
    TToolBar* bar = PaintedBar();
    if (!bar || bar->Flat() || Designing(bar))
        return;
    const int i = IndexByMouse(P);
    if (i == HotButtonIndex || (i >= 0 && !bar->Buttons(i)->Enabled()))
        return;
    const int old = HotButtonIndex;
    HotButtonIndex = i;
    RepaintUnlessDown(old);
    RepaintUnlessDown(i);
}

void TkvToolBarPainter::MouseLeft()
{
    const int old = HotButtonIndex;
    HotButtonIndex = -1;
    RepaintUnlessDown(old);
}

void TkvToolBarPainter::DropDownClosed()
{
    TToolBar* bar = PaintedBar();
    TToolButton* b = DroppedButton;
    if (!b || !bar)
        return;
    HotButtonIndex = -1;
    DroppedButton = nullptr;
    // The button may have gone while its menu was open.
    for (int i = 0; i < bar->ButtonCount(); ++i)
        if (bar->Buttons(i) == b)
            RepaintButton(i);
}

void TkvToolBarPainter::Notified(const TMessage& Message)
{
    TToolBar* bar = PaintedBar();
    const auto* hdr = reinterpret_cast<const NMHDR*>(Message.LParam);
    if (!bar || !hdr)
        return;
    if (hdr->code == UINT(TBN_DELETINGBUTTON)) {
        if (HotButtonIndex >= bar->ButtonCount())
            HotButtonIndex = -1;
        return;
    }
    if (hdr->code != UINT(TBN_DROPDOWN))
        return;
    const auto* nt = reinterpret_cast<const NMTOOLBARW*>(Message.LParam);
    const LRESULT at = bar->Perform(TB_COMMANDTOINDEX, WPARAM(nt->iItem), 0);
    TBBUTTON tb{};
    if (at < 0 || !bar->Perform(TB_GETBUTTON, WPARAM(at), reinterpret_cast<LPARAM>(&tb)))
        return;
    DroppedButton = ButtonByCommand(nt->iItem);
    if (DroppedButton)
        RepaintButton(DroppedButton->Index());
}

void TkvToolBarPainter::PaintFrameBands(HDC DC)
{
    TToolBar* bar = PaintedBar();
    TsCommonData* data = PainterData();
    const TRect r = KVClientRect(bar->Handle());
    const int w = bar->Width(), h = bar->Height();
    if (r == TRect(0, 0, w, h) || !data->FCacheBmp)
        return;
    SavedDC saved(DC);
    ::ExcludeClipRect(DC, r.left, r.top, r.right, r.bottom);
    const HDC cache = data->FCacheBmp->Canvas()->Handle();
    const TRect bands[4] = {
        TRect(0, 0, w, r.top),
        TRect(0, r.top, r.left, r.bottom),
        TRect(0, r.bottom, w, h),
        TRect(r.right, r.top, w, r.bottom),
    };
    for (const TRect& b : bands)
        if (!b.IsEmpty())
            ::BitBlt(DC, b.left, b.top, b.Width(), b.Height(), cache, b.left, b.top, SRCCOPY);
}

void TkvToolBarPainter::Print(HDC DC)
{
    TToolBar* bar = PaintedBar();
    TsCommonData* data = PainterData();
    if (data->BGChanged || !data->FCacheBmp)
        PrepareCache();
    PaintFrameBands(DC);
    SavedDC saved(DC);
    const TRect r = KVClientRect(bar->Handle());
    ::OffsetViewportOrgEx(DC, r.left, r.top, nullptr);
    ::IntersectClipRect(DC, 0, 0, r.Width(), r.Height());
    ::SendMessageW(bar->Handle(), WM_PAINT, reinterpret_cast<WPARAM>(DC), 0);
}

// ---------------------------------------------------------------------------
// Unit routines.

void PaintBarBackground(TWinControl* Control, TsCommonData* SkinData, const TRect& R, HDC DC, const TRect& ARect)
{
    if (!SkinData->FCacheBmp)
        return;
    UpdateCorners(SkinData, 0);
    SavedDC saved(DC);
    ::IntersectClipRect(DC, ARect.left, ARect.top, ARect.right, ARect.bottom);
    const bool designing = Designing(Control);
    for (int i = 0; i < Control->ControlCount(); ++i) {
        TControl* c = Control->Controls(i);
        const bool windowed = dynamic_cast<TWinControl*>(c) != nullptr;
        if ((designing && dynamic_cast<TToolButton*>(c)) || (!windowed && StdTransparency) || !c->Visible() ||
            !RectIsVisible(ARect, c->BoundsRect()) ||
            (windowed && !c->ControlStyle().Contains(csOpaque) && !designing))
            continue;
        const TRect b = c->BoundsRect();
        ::ExcludeClipRect(DC, b.left, b.top, b.right, b.bottom);
    }
    ::BitBlt(DC, ARect.left, ARect.top, ARect.Width(), ARect.Height(), SkinData->FCacheBmp->Canvas()->Handle(),
             R.left + ARect.left, R.top + ARect.top, SRCCOPY);
}

void PaintDivider(HDC DC, TsToolBar* ToolBar)
{
    TsCommonData* data = ToolBar->SkinData();
    TsSkinManager* m = data->GetSkinManager();
    const int index = m ? m->GetSkinIndex(L"DIVIDER") : -1;
    if (index < 0 || !m->IsValidImgIndex(m->GetMaskIndex(index, L"DIVIDER", L"BORDERSMASK")))
        return;
    for (int i = 0; i < ToolBar->ButtonCount(); ++i) {
        TToolButton* b = ToolBar->Buttons(i);
        const TToolButtonStyle style = b->Style();
        if (!b->Visible() || b->Wrap() || (style != tbsSeparator && style != tbsDivider))
            continue;
        const TRect r = b->BoundsRect();
        const int w = r.Width(), h = r.Height();
        if (w <= 0 || h <= 0)
            continue;
        TOwned<TBitmap> bmp(CreateBmp24(w, h));
        TkvBGInfo bg{};
        bg.R = TRect(0, 0, w, h);
        GetBGInfo(&bg, ToolBar, false);
        if (bg.BgType == btCache && bg.Bmp)
            ::BitBlt(bmp->Canvas()->Handle(), 0, 0, w, h, bg.Bmp->Canvas()->Handle(), r.left + bg.Offset.x,
                     r.top + bg.Offset.y, SRCCOPY);
        else
            FillDC(bmp->Canvas()->Handle(), TRect(0, 0, w, h), bg.Color);
        if (ToolBar->Flat() || style == tbsDivider)
            PaintItem(index, L"DIVIDER", BGInfoToCI(&bg), true, 0, TRect(w / 2 - 2, 2, w / 2 + 2, h - 2),
                      r.TopLeft(), bmp.get(), m, -1, -1);
        ::BitBlt(DC, r.left, r.top, w, h, bmp->Canvas()->Handle(), 0, 0, SRCCOPY);
    }
}

// ---------------------------------------------------------------------------
// TsToolBar

TsToolBar::TsToolBar(TComponent* AOwner) : TToolBar(AOwner), FCommonData(new TsCommonData(this, true))
{
    FCommonData->COC = 54;
    SetFlat(true);
}

TsToolBar::~TsToolBar()
{
    delete FCommonData;
    FCommonData = nullptr;
}

void TsToolBar::AfterConstruction()
{
    TToolBar::AfterConstruction();
    FCommonData->Loaded();
    UpdateEvents();
}

void TsToolBar::Loaded()
{
    TToolBar::Loaded();
    FCommonData->Loaded();
    UpdateEvents();
}

void TsToolBar::Notification(TComponent* AComponent, TOperation Operation)
{
    TToolBar::Notification(AComponent, Operation);
    if (Designing(this) || !FCommonData || !FCommonData->Skinned())
        return;
    auto* menu = dynamic_cast<TPopupMenu*>(AComponent);
    if (menu && DefaultManager && DefaultManager->SkinableMenus())
        DefaultManager->SkinableMenus()->HookPopupMenu(menu, Operation == opInsert);
}

void TsToolBar::SetDisabledKind(TsDisabledKind Value)
{
    if (FDisabledKind == Value)
        return;
    FDisabledKind = Value;
    Repaint();
}

void TsToolBar::UpdateEvents()
{
    const bool designing = Designing(this);
    if (FCommonData->Skinned()) {
        OnAdvancedCustomDraw = Bind(this, &TsToolBar::OurAdvancedCustomDraw);
        if (!designing)
            OnAdvancedCustomDrawButton = Bind(this, &TsToolBar::OurAdvancedCustomDrawButton);
    } else {
        OnAdvancedCustomDraw = nullptr;
        if (!designing)
            OnAdvancedCustomDrawButton = nullptr;
    }
}

int TsToolBar::OffsetX() const
{
    return ClientOffset().x;
}

int TsToolBar::OffsetY() const
{
    return ClientOffset().y;
}

TCanvas* TsToolBar::BarCacheCanvas()
{
    return FCommonData && FCommonData->FCacheBmp ? FCommonData->FCacheBmp->Canvas() : nullptr;
}

void TsToolBar::OurAdvancedCustomDraw(TToolBar*, TRect&, TCustomDrawStage Stage, bool& DefaultDraw)
{
    if (!FCommonData->Skinned()) {
        DefaultDraw = true;
        return;
    }
    FCommonData->SetUpdating(FCommonData->GetUpdating());
    if (Stage != cdPrePaint) {
        DefaultDraw = false;
        return;
    }
    PaintBackground();
}

void TsToolBar::OurAdvancedCustomDrawButton(TToolBar*, TToolButton* Button, TCustomDrawState State,
                                            TCustomDrawStage Stage, TTBCustomDrawFlags& Flags, bool& DefaultDraw)
{
    if (!FCommonData->Skinned()) {
        DefaultDraw = true;
        return;
    }
    DefaultDraw = false;
    if (Stage != cdPrePaint || FCommonData->FUpdating)
        return;
    PaintButton(Button, State, Flags);
}

void TsToolBar::DrawButtonEvent(TToolButton* Button, TCustomDrawState State, TTBCustomDrawFlags& Flags)
{
    bool defaultDraw = true;
    OurAdvancedCustomDrawButton(this, Button, State, cdPrePaint, Flags, defaultDraw);
}

void TsToolBar::SetVisualStyles(bool On)
{
    if (Designing(this) || !HandleAllocated() || !Kv_SetWindowTheme)
        return;
    if (On)
        Kv_SetWindowTheme(Handle(), nullptr, nullptr);
    else
        Kv_SetWindowTheme(Handle(), L" ", L" ");
}

bool TsToolBar::Command(TMessage& Message)
{
    const bool own = Message.LParam == reinterpret_cast<LPARAM>(FCommonData->GetSkinManager());
    switch (Message.WParamHi) {
    case SMC_SKIN_SET:
        if (!own)
            return false;
        SetVisualStyles(false);
        KorvexBroadCast(this, Message);
        CommonWndProc(Message, FCommonData);
        return true;
    case SMC_SKIN_REMOVE:
        if (!own)
            return false;
        DroppedButton = nullptr;
        CommonWndProc(Message, FCommonData);
        SetVisualStyles(true);
        KorvexBroadCast(this, Message);
        UpdateEvents();
        Repaint();
        Perform(WM_NCPAINT);
        return true;
    case SMC_SKIN_REFRESH:
        if (!own)
            return false;
        DroppedButton = nullptr;
        CommonWndProc(Message, FCommonData);
        KorvexBroadCast(this, Message);
        UpdateEvents();
        if (OldWindows()) {
            Repaint();
            Perform(WM_NCPAINT);
        } else {
            RecreateWnd();
        }
        return true;
    case SMC_PARENT_UPDATED:
        if (!FCommonData->FUpdating)
            return false;
        FCommonData->SetUpdating(false);
        FCommonData->BGChanged = true;
        ::RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_FRAME);
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

void TsToolBar::AnswerBGInfo(TMessage& Message)
{
    auto* bg = reinterpret_cast<PkvBGInfo>(Message.LParam);
    bg->Offset = TPoint(0, 0);
    InitBGInfo(FCommonData, bg, 0, nullptr);
    bg->Offset.x += OffsetX();
    bg->Offset.y += OffsetY();
    Message.Result = 1;
}

void TsToolBar::WMNCPaint()
{
    if (ComponentState().Contains(csDestroying) || !HandleAllocated())
        return;
    FCommonData->SetUpdating(FCommonData->GetUpdating());
    if (FCommonData->FUpdating)
        return;
    if (FCommonData->BGChanged || !FCommonData->FCacheBmp || FCommonData->FCacheBmp->Empty())
        PrepareCache();
    TkvTargetDC dc(Handle(), nullptr, true);
    PaintFrameBands(dc);
}

void TsToolBar::PaintDividers(HDC DC)
{
    if (InAnimationProcess)
        return;
    TkvTargetDC dc(Handle(), DC);
    PaintDivider(dc, this);
}

void TsToolBar::PrintAndDividers(HDC DC)
{
    Print(DC);
    SavedDC saved(DC);
    const TPoint off = ClientOffset();
    ::OffsetViewportOrgEx(DC, off.x, off.y, nullptr);
    PaintDivider(DC, this);
}

bool TsToolBar::SkinnedMessage(TMessage& Message)
{
    if (Message.Msg == SM_KORVEXCMD) {
        if (Message.WParamHi != SMC_GET_BG_INFO)
            return false;
        AnswerBGInfo(Message);
        return true;
    }
    switch (Message.Msg) {
    case WM_SIZE:
        FCommonData->BGChanged = true;
        return false;
    case WM_PAINT:
        return InAnimationProcess && !kvPrintDC;
    case WM_ERASEBKGND:
        if (Designing(this))
            return false;
        FCommonData->SetUpdating(FCommonData->GetUpdating());
        Message.Result = 1;
        return true;
    case WM_NCPAINT:
        WMNCPaint();
        return true;
    case WM_PRINT:
        PrintAndDividers(reinterpret_cast<HDC>(Message.WParam));
        return true;
    case CM_COLORCHANGED:
        return true;
    case CM_TEXTCHANGED:
        Repaint();
        return true;
    case CN_NOTIFY:
        Notified(Message);
        return false;
    }
    return false;
}

void TsToolBar::AfterMessage(const TMessage& Message)
{
    switch (Message.Msg) {
    case WM_SIZE:
    case CM_VISIBLECHANGED:
    case CM_ENABLEDCHANGED:
        FCommonData->BGChanged = true;
        if (HandleAllocated())
            ::InvalidateRect(Handle(), nullptr, FALSE);
        break;
    case WM_PAINT:
        PaintDividers(reinterpret_cast<HDC>(Message.WParam));
        break;
    case WM_MOUSEMOVE:
        TrackMouse(TPoint(short(LOWORD(Message.LParam)), short(HIWORD(Message.LParam))));
        break;
    case CN_DROPDOWNCLOSED:
        DropDownClosed();
        break;
    case CM_MOUSELEAVE:
        MouseLeft();
        break;
    }
}

void TsToolBar::WndProc(TMessage& Message)
{
    if (Message.Msg == SM_KORVEXCMD && Command(Message))
        return;
    if (!ControlIsReady(this) || !FCommonData->Skinned()) {
        TToolBar::WndProc(Message);
        return;
    }
    if (SkinnedMessage(Message))
        return;
    if (CommonWndProc(Message, FCommonData))
        return;
    TToolBar::WndProc(Message);
    if (FCommonData && ControlIsReady(this))
        AfterMessage(Message);
}

KV_BEGIN_PUBLISHED(TsToolBar, TToolBar)
    B.Set(L"BtnDisabledKind", &C::BtnDisabledKind, &C::SetDisabledKind, 1, {L"dkBlended", L"dkGrayed"},
          L"TsDisabledKind");
    B.Bool(L"Flat", &C::Flat, &C::SetFlat, true);
    B.Object(L"SkinData", &C::SkinData);
KV_END_PUBLISHED
