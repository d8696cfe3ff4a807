// Push buttons and buttons with an image.
#include "skin/wrappers/kvSBUtils_Buttons.h"

#include <algorithm>
#include <memory>

#include "skin/core/sMessages.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/sVclUtils.h"
#include "skin/paint/kvGlow.h"
#include "skin/paint/kvPNG.h"
#include "skin/paint/sGraphUtils.h"
#include "skin/wrappers/kvSBUtils_Paint.h"

namespace {

const TsGeneralData* SectionOf(TsCommonData* SkinData)
{
    TsSkinManager* m = SkinData ? SkinData->GetSkinManager() : nullptr;
    return m && m->IsValidSkinIndex(SkinData->SkinIndex) ? &m->gd[std::size_t(SkinData->SkinIndex)] : nullptr;
}

bool DefaultButton(DWORD Style)
{
    return (Style & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
}

} // namespace

// ---------------------------------------------------------------------------
// TkvBtnWnd

void TkvBtnWnd::Create(HWND AHandle, TsCommonData* ASkinData, TsSkinManager* ASkinManager,
                       const UnicodeString& SkinSection, bool Repaint)
{
    TkvMainWnd::Create(AHandle, ASkinData, ASkinManager, SkinSection.empty() ? UnicodeString(L"BUTTON") : SkinSection,
                       Repaint);
}

DWORD TkvBtnWnd::CtrlStyle() const
{
    return static_cast<DWORD>(::GetWindowLongW(CtrlHandle, GWL_STYLE));
}

bool TkvBtnWnd::Down() const
{
    return (::SendMessageW(CtrlHandle, BM_GETSTATE, 0, 0) & BST_PUSHED) != 0;
}

int TkvBtnWnd::CurrentState()
{
    if (Down()) {
        ClearGlows();
        return 2;
    }
    if (!::IsWindowEnabled(CtrlHandle))
        return 0;
    if (::GetFocus() == CtrlHandle || (DefaultManager && DefaultManager->ActiveControl() == CtrlHandle))
        return 1;
    // The default push button; an owner-drawn or check-box type is not one
    // although its type bits share the lowest bit.
    return DefaultButton(CtrlStyle()) ? 1 : 0;
}

unsigned TkvBtnWnd::TextFlags() const
{
    return DT_CENTER | DT_EXPANDTABS | ((CtrlStyle() & BS_MULTILINE) ? DT_WORDBREAK : DT_SINGLELINE);
}

TSize TkvBtnWnd::GlyphSize()
{
    return {0, 0};
}

int TkvBtnWnd::MaxCaptionWidth()
{
    if (Caption.empty())
        return 0;
    const int g = GlyphSize().cx;
    return g != 0 ? WndSize.cx - 2 - (g + 2) : WndSize.cx - 2;
}

TSize TkvBtnWnd::TextRectSize()
{
    TRect r(0, 0, MaxCaptionWidth(), 0);
    ::InitCacheBmp(SkinData);
    kvDrawText(SkinData->FCacheBmp->Canvas()->Handle(), Caption, r, DT_CALCRECT | TextFlags());
    return {r.Width(), r.Height()};
}

TRect TkvBtnWnd::CaptionRect()
{
    const TSize t = TextRectSize();
    const int dx = (WndSize.cx - t.cx) / 2, dy = (WndSize.cy - t.cy) / 2;
    TRect r(dx - 1, dy, WndSize.cx - dx + 2, WndSize.cy - dy);
    if (Down())
        ::OffsetRect(&r, 1, 1);
    return r;
}

void TkvBtnWnd::DoDrawText(TRect& R, unsigned Flags)
{
    TCanvas* c = SkinData->FCacheBmp->Canvas();
    c->Brush()->SetStyle(bsClear);
    kvWriteTextEx(c, Caption.c_str(), true, R, Flags, SkinData, CurrentState() != 0);
}

void TkvBtnWnd::DrawCaption()
{
    TCanvas* c = SkinData->FCacheBmp->Canvas();
    AssignControlFont(c, SkinData, CtrlHandle);
    TRect r = CaptionRect();
    DoDrawText(r, TextFlags());
    const TsGeneralData* g = SectionOf(SkinData);
    if (::IsWindowEnabled(CtrlHandle) && (::SendMessageW(CtrlHandle, BM_GETSTATE, 0, 0) & BST_FOCUS) &&
        !Caption.empty() && g && g->ShowFocus) {
        ::InflateRect(&r, 1, 1);
        FocusRect(c, r);
    }
}

void TkvBtnWnd::PrepareCache()
{
    InitCtrlData(this);
    const TCacheInfo ci = GetParentCacheHwnd(CtrlHandle);
    ::InitCacheBmp(SkinData);
    SkinData->FCacheBmp->SetSize(WndSize.cx, WndSize.cy);
    const int state = CurrentState();
    PaintItem(SkinData, ci, true, state, TRect(0, 0, WndSize.cx, WndSize.cy), WndPos, SkinData->FCacheBmp, true);
    FillWrapperCorners(SkinData, state, this);
    DrawCaption();
    DrawGlyph();
    if (!::IsWindowEnabled(CtrlHandle))
        ApplyDisabledBlend(SkinData->FCacheBmp, ci, WndPos);
    SkinData->BGChanged = false;
}

void TkvBtnWnd::KV_WMPaint(TMessage& Message)
{
    InitCtrlData(this);
    const HDC given = reinterpret_cast<HDC>(Message.WParam);
    TkvPaintScope paint(CtrlHandle, given);
    if (RecheckUpdating(SkinData))
        return;
    SkinData->BGChanged = true;
    PrepareCache();
    TkvTargetDC dc(CtrlHandle, given);
    ::BitBlt(dc, 0, 0, WndSize.cx, WndSize.cy, SkinData->FCacheBmp->Canvas()->Handle(), 0, 0, SRCCOPY);
}

// --- the window procedure

void TkvBtnWnd::kvWndProc(TMessage& Message)
{
    if (!WrapperSkinned(this)) {
        TkvMainWnd::kvWndProc(Message);
        return;
    }
    if (Message.Msg == SM_KORVEXCMD) {
        switch (Message.WParamHi) {
        case SMC_PARENT_UPDATED:
            ParentUpdatedMsg(Message);
            return;
        case SMC_MOUSE_ENTER:
            MouseEnter(Message);
            return;
        case SMC_MOUSE_LEAVE:
            MouseLeave(Message);
            return;
        }
        TkvMainWnd::kvWndProc(Message);
        return;
    }
    switch (Message.Msg) {
    case WM_MOVE:
        MoveMsg(Message);
        return;
    case WM_SETFOCUS:
        SetFocusMsg(Message);
        return;
    case WM_KILLFOCUS:
        KillFocusMsg(Message);
        return;
    case WM_ENABLE:
    case WM_SETTEXT:
        QuietAndRepaint(Message);
        return;
    case BM_SETSTATE:
        SetStateMsg(Message);
        return;
    case WM_PAINT:
        if (!ParamsChanged)
            SetSkinParams();
        KV_WMPaint(Message);
        return;
    case WM_PRINT:
        KV_WMPaint(Message);
        return;
    case WM_ERASEBKGND:
    case WM_NCPAINT:
    case WM_UPDATEUISTATE:
        Message.Result = 1;
        return;
    case WM_MOUSEMOVE: {
        TkvAliveGuard guard(this);
        TkvMainWnd::kvWndProc(Message);
        if (guard.Alive())
            TrackActiveControl(CtrlHandle);
        return;
    }
    }
    TkvMainWnd::kvWndProc(Message);
}

void TkvBtnWnd::ParentUpdatedMsg(TMessage& Message)
{
    if (!SkinData->FUpdating) {
        TkvMainWnd::kvWndProc(Message);
        return;
    }
    SkinData->SetUpdating(false);
    if (!RecheckUpdating(SkinData))
        ::RedrawWindow(CtrlHandle, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
}

void TkvBtnWnd::MouseEnter(TMessage& Message)
{
    if (!SkinData->FMouseAbove && DefaultManager && DefaultManager->ActiveControl() == CtrlHandle) {
        if (!CursorInside(CtrlHandle))
            return;
        SkinData->FMouseAbove = true;
        SkinData->BGChanged = true;
        SkinData->SetUpdating(false);
        TkvAliveGuard guard(this);
        ::SendMessageW(CtrlHandle, WM_PAINT, 0, 0);
        if (!guard.Alive())
            return;
        ShowGlowingIfNeeded(SkinData, false, CtrlHandle);
    }
    TkvMainWnd::kvWndProc(Message);
}

void TkvBtnWnd::MouseLeave(TMessage& Message)
{
    if (SkinData->FMouseAbove) {
        ClearGlows();
        SkinData->FMouseAbove = false;
        SkinData->SetUpdating(false);
        TkvAliveGuard guard(this);
        RepaintNow(this);
        if (!guard.Alive())
            return;
    }
    TkvMainWnd::kvWndProc(Message);
}

void TkvBtnWnd::MoveMsg(TMessage& Message)
{
    if (const TsGeneralData* g = SectionOf(SkinData))
        if (g->Transparency > 0 || (g->HotTransparency > 0 && ControlIsActive(SkinData))) {
            TkvAliveGuard guard(this);
            RepaintNow(this);
            if (!guard.Alive())
                return;
        }
    TkvMainWnd::kvWndProc(Message);
}

void TkvBtnWnd::SetFocusMsg(TMessage& Message)
{
    if (!::IsWindowEnabled(CtrlHandle))
        return;
    if (!QuietRoot(this, Message))
        return;
    SkinData->FFocused = true;
    RepaintNow(this);
}

void TkvBtnWnd::KillFocusMsg(TMessage& Message)
{
    if (!::IsWindowEnabled(CtrlHandle)) {
        TkvMainWnd::kvWndProc(Message);
        return;
    }
    if (!QuietRoot(this, Message))
        return;
    SkinData->FFocused = false;
    RepaintNow(this);
}

void TkvBtnWnd::QuietAndRepaint(TMessage& Message)
{
    if (!::IsWindowVisible(CtrlHandle)) {
        TkvMainWnd::kvWndProc(Message);
        return;
    }
    if (QuietRoot(this, Message))
        RepaintNow(this);
}

void TkvBtnWnd::SetStateMsg(TMessage& Message)
{
    if (!::IsWindowVisible(CtrlHandle)) {
        TkvMainWnd::kvWndProc(Message);
        return;
    }
    const HWND h = CtrlHandle;
    TkvAliveGuard guard(this);
    ::SendMessageW(h, WM_SETREDRAW, 0, 0);
    if (guard.Alive())
        Message.Result = CallPrevWndProc(Message);
    if (::IsWindow(h))
        ::SendMessageW(h, WM_SETREDRAW, 1, 0);
    if (guard.Alive() && !Destroyed)
        RepaintNow(this);
}

// ---------------------------------------------------------------------------
// TkvBitBtnWnd

TBitBtn* TkvBitBtnWnd::Owner() const
{
    return SkinData ? dynamic_cast<TBitBtn*>(SkinData->FOwnerControl) : nullptr;
}

TSize TkvBitBtnWnd::GlyphSize()
{
    if (TBitBtn* b = Owner()) {
        TBitmap* g = b->Glyph();
        if (!g || g->Empty())
            return {0, 0};
        return {g->Width() / std::max(1, b->NumGlyphs()), g->Height()};
    }
    // The bitmap's pixel size (its "dimension" is a physical size that is
    // usually never set).
    auto bmp = reinterpret_cast<HBITMAP>(::SendMessageW(CtrlHandle, BM_GETIMAGE, IMAGE_BITMAP, 0));
    BITMAP info{};
    if (!bmp || ::GetObjectW(bmp, sizeof(info), &info) != sizeof(info))
        return {0, 0};
    return {info.bmWidth, info.bmHeight};
}

int TkvBitBtnWnd::MaxCaptionWidth()
{
    TBitBtn* b = Owner();
    if (!b)
        return TkvBtnWnd::MaxCaptionWidth();
    if (b->Caption().empty())
        return 0;
    int w = b->Width() - 2 * b->Margin();
    const TSize g = GlyphSize();
    if (b->Layout() < blGlyphTop && g.cy != 0)
        w -= g.cx + b->Spacing();
    return w;
}

TRect TkvBitBtnWnd::CaptionRect()
{
    TBitBtn* b = Owner();
    if (!b) {
        TRect r = TkvBtnWnd::CaptionRect();
        if (const int g = GlyphSize().cx)
            ::OffsetRect(&r, g / 2 + 1, 0);
        return r;
    }
    const TSize g = GlyphSize();
    TPoint glyphPos;
    TRect text;
    CalcButtonLayout(TRect(0, 0, WndSize.cx, WndSize.cy), TPoint(g.cx, g.cy), TextRectSize(), b->Layout(), taCenter,
                     0, 0, glyphPos, text, 1);
    if (CurrentState() == 2)
        ::OffsetRect(&text, 1, 1);
    return text;
}

TRect TkvBitBtnWnd::GlyphRect()
{
    const TSize g = GlyphSize();
    TBitBtn* b = Owner();
    if (!b) {
        if (g.cx == 0)
            return {};
        TRect r;
        r.right = CaptionRect().left - 2;
        r.left = r.right - g.cx;
        r.top = (WndSize.cy - g.cy) / 2 + (Down() ? 1 : 0);
        r.bottom = r.top + g.cy;
        return r;
    }
    const TSize t = TextRectSize();
    const int cx = WndSize.cx, cy = WndSize.cy;
    const int s = g.cx > 0 && !Caption.empty() ? b->Spacing() : 0;
    const int x0 = (cx - g.cx - t.cx - s) / 2, y0 = (cy - g.cy - t.cy - s) / 2;
    TPoint p;
    switch (b->Layout()) {
    case blGlyphLeft:
        p = {x0, (cy - g.cy) / 2};
        break;
    case blGlyphRight:
        p = {(cx - g.cx + s + t.cx) / 2, (cy - g.cy) / 2};
        break;
    case blGlyphTop:
        p = {(cx - g.cx) / 2 + 1, y0};
        break;
    case blGlyphBottom:
        p = {(cx - g.cx) / 2 + 1, cy - y0 - g.cy};
        break;
    }
    if (CurrentState() == 2)
        p = {p.x + 1, p.y + 1};
    return TRect(p.x, p.y, p.x + g.cx, p.y + g.cy);
}

void TkvBitBtnWnd::DrawGlyph()
{
    TBitBtn* b = Owner();
    if (!b || !b->Glyph() || b->Glyph()->Empty())
        return;
    TBitmap* glyph = b->Glyph();
    const TRect r = GlyphRect();
    if (glyph->PixelFormat() == pfDevice)
        glyph->SetHandleType(bmDIB);
    if (glyph->PixelFormat() == pf32bit && b->NumGlyphs() <= 1) {
        // Drawn with its alpha channel.
        TOwned<TPNGGraphic> png(New<TPNGGraphic>());
        png->Assign(glyph);
        png->SetPixelFormat(pf32bit);
        SkinData->FCacheBmp->Canvas()->Draw(r.left, r.top, png.get());
        return;
    }
    DrawGlyphEx(glyph, SkinData->FCacheBmp, r, b->NumGlyphs(), b->Enabled(), TsDisabledGlyphKind{}, CurrentState(), 0,
                Down(), false);
}
