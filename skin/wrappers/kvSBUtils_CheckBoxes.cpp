// Check boxes, radio buttons and group boxes.
#include <algorithm>

#include "skin/core/kvntUtils.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/sVclUtils.h"
#include "skin/paint/sAlphaGraph.h"
#include "skin/paint/sGraphUtils.h"
#include "skin/paint/sGraphUtils_BGInfo.h"
#include "skin/wrappers/kvSBUtils_Buttons.h"
#include "skin/wrappers/kvSBUtils_Paint.h"

namespace {

// Sent to the parent before each check-box paint.
constexpr int SMC_CHECKBOX_PAINTING = 5;

bool IsRadioType(DWORD Style)
{
    const DWORD type = Style & BS_TYPEMASK;
    return type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON;
}

LRESULT ButtonState(HWND Wnd)
{
    return ::SendMessageW(Wnd, BM_GETSTATE, 0, 0);
}

} // namespace

// ---------------------------------------------------------------------------
// TkvCheckBoxWnd

void TkvCheckBoxWnd::Create(HWND AHandle, TsCommonData* ASkinData, TsSkinManager* ASkinManager,
                            const UnicodeString& SkinSection, bool Repaint)
{
    TkvMainWnd::Create(AHandle, ASkinData, ASkinManager,
                       SkinSection.empty() ? UnicodeString(L"CHECKBOX") : SkinSection, Repaint);
}

TCheckBoxState TkvCheckBoxWnd::State() const
{
    const LRESULT s = ButtonState(CtrlHandle);
    if (s & BST_INDETERMINATE)
        return cbGrayed;
    return (s & BST_CHECKED) ? cbChecked : cbUnchecked;
}

int TkvCheckBoxWnd::CtlState() const
{
    const LRESULT s = ButtonState(CtrlHandle);
    if (s & BST_PUSHED)
        return 2;
    if (s & BST_FOCUS)
        return 1;
    return DefaultManager && DefaultManager->ActiveControl() == CtrlHandle ? 1 : 0;
}

bool TkvCheckBoxWnd::LeftText() const
{
    return (::GetWindowLongW(CtrlHandle, GWL_STYLE) & BS_LEFTTEXT) != 0;
}

int TkvCheckBoxWnd::GlyphMaskIndex(TCheckBoxState AState) const
{
    TsSkinManager* m = SkinData ? SkinData->GetSkinManager() : nullptr;
    if (!m)
        return -1;
    // The window's own style, read now: never a value another paint left.
    const bool radio = IsRadioType(static_cast<DWORD>(::GetWindowLongW(CtrlHandle, GWL_STYLE)));
    const wchar_t* name = AState == cbGrayed    ? L"BOXGRAYED"
                          : AState == cbChecked ? (radio ? L"RADIOCHECKED" : L"BOXCHECKED")
                                                : (radio ? L"RADIOUNCHECKED" : L"BOXUNCHECKED");
    return m->GetMaskIndex(m->ConstData.IndexGLobalInfo, L"GLOBALINFO", name);
}

const TsMaskData* TkvCheckBoxWnd::Mask(int i) const
{
    TsSkinManager* m = SkinData ? SkinData->GetSkinManager() : nullptr;
    return m && m->IsValidImgIndex(i) ? &m->ma[std::size_t(i)] : nullptr;
}

int TkvCheckBoxWnd::SkinGlyphWidth(int i) const
{
    const TsMaskData* md = Mask(i);
    if (!md)
        return 0;
    if (md->Bmp)
        return md->Bmp->Width() / 3;
    return md->R.Width() / std::max<int>(1, md->ImageCount);
}

int TkvCheckBoxWnd::SkinGlyphHeight(int i) const
{
    const TsMaskData* md = Mask(i);
    if (!md)
        return 0;
    if (md->Bmp)
        return md->Bmp->Height() / 2;
    return md->R.Height() / (std::max<int>(0, md->MaskType) + 1);
}

TRect TkvCheckBoxWnd::SkinCheckRect(int i)
{
    if (i < 0)
        return {};
    const int w = SkinGlyphWidth(i), h = SkinGlyphHeight(i);
    const int top = (WndSize.cy - h) / 2;
    return LeftText() ? TRect(WndSize.cx - w, top, WndSize.cx, top + h) : TRect(0, top, w, top + h);
}

TRect TkvCheckBoxWnd::CheckRect()
{
    const int checked = GlyphMaskIndex(cbChecked);
    return Mask(checked) ? SkinCheckRect(checked) : TRect(0, 0, 16, 16);
}

void TkvCheckBoxWnd::DrawCheckText()
{
    if (Caption.empty())
        return;
    TCanvas* c = SkinData->FCacheBmp->Canvas();
    const int cw = CheckRect().Width();
    const bool multi = (::GetWindowLongW(CtrlHandle, GWL_STYLE) & BS_MULTILINE) != 0;
    TRect m(0, 0, WndSize.cx - cw - 2, 0);
    kvDrawText(c->Handle(), Caption, m, DT_CALCRECT | (multi ? DT_WORDBREAK : DT_SINGLELINE));
    const int top = std::max(0, int(WndSize.cy - m.Height()) / 2), bottom = WndSize.cy - top;
    TRect r;
    if (LeftText()) {
        r = TRect(2, top, m.Width() + 2, bottom);
    } else {
        r = TRect(cw + 4, top, cw + 4 + m.Width(), bottom);
        ::OffsetRect(&r, multi ? -1 : 0, -1);
    }
    c->Brush()->SetStyle(bsClear);
    kvWriteTextEx(c, Caption.c_str(), true, r, multi ? DT_WORDBREAK | DT_CENTER : DT_SINGLELINE, SkinData,
                  ControlIsActive(SkinData));
    c->Pen()->SetStyle(psClear);
    c->Brush()->SetStyle(bsSolid);
    if (ButtonState(CtrlHandle) & BST_FOCUS) {
        ::InflateRect(&r, 1, 0);
        FocusRect(c, r);
    }
}

void TkvCheckBoxWnd::DrawSkinGlyph(int i)
{
    TBitmap* cache = SkinData->FCacheBmp;
    const TsMaskData* md = Mask(i);
    if (!cache || cache->Width() < 1 || !md)
        return;
    ::DrawSkinGlyph(cache, SkinCheckRect(i).TopLeft(), CtlState(), 1, *md, MakeCacheInfo(cache));
}

void TkvCheckBoxWnd::PrepareCache()
{
    ::InitCacheBmp(SkinData);
    TBitmap* cache = SkinData->FCacheBmp;
    cache->SetSize(WndSize.cx, WndSize.cy);
    AssignControlFont(cache->Canvas(), SkinData, CtrlHandle);
    const TCacheInfo ci = GetParentCacheHwnd(CtrlHandle);
    PaintItem(SkinData, ci, true, ControlIsActive(SkinData) ? 1 : 0, TRect(0, 0, WndSize.cx, WndSize.cy), WndPos,
              cache, true);
    DrawCheckText();
    DrawSkinGlyph(GlyphMaskIndex(State()));
    if (!::IsWindowEnabled(CtrlHandle))
        ApplyDisabledBlend(cache, ci, WndPos);
    SkinData->BGChanged = false;
}

void TkvCheckBoxWnd::KV_WMPaint(TMessage& Message)
{
    InitCtrlData(this);
    const HDC given = reinterpret_cast<HDC>(Message.WParam);
    TkvPaintScope paint(CtrlHandle, given);
    if (RecheckUpdating(SkinData))
        return;
    InitCtrlData(this);
    TkvAliveGuard guard(this);
    SendAMessage(ParentWnd, SMC_CHECKBOX_PAINTING, 0);
    if (!guard.Alive() || Destroyed)
        return;
    if (!given && !::IsWindowVisible(CtrlHandle))
        return;
    PrepareCache();
    TkvTargetDC dc(CtrlHandle, given);
    ::BitBlt(dc, 0, 0, WndSize.cx, WndSize.cy, SkinData->FCacheBmp->Canvas()->Handle(), 0, 0, SRCCOPY);
}

void TkvCheckBoxWnd::kvWndProc(TMessage& Message)
{
    if (!WrapperSkinned(this)) {
        TkvMainWnd::kvWndProc(Message);
        return;
    }
    if (Message.Msg == SM_KORVEXCMD) {
        if (Message.WParamHi == SMC_MOUSE_ENTER || Message.WParamHi == SMC_MOUSE_LEAVE) {
            SkinData->SetUpdating(false);
            TkvAliveGuard guard(this);
            ::SendMessageW(CtrlHandle, WM_PAINT, 0, 0);
            if (!guard.Alive())
                return;
        }
        TkvMainWnd::kvWndProc(Message);
        return;
    }
    switch (Message.Msg) {
    case WM_ENABLE:
    case WM_SETTEXT: // a bare window's text: the system draws its look here
    case BM_SETCHECK:
    case BM_SETSTATE:
    case CM_TEXTCHANGED:
        if (::IsWindowVisible(CtrlHandle)) {
            if (QuietRoot(this, Message))
                ::SendMessageW(CtrlHandle, WM_PAINT, 0, 0);
            return;
        }
        break;
    case WM_PAINT:
        KV_WMPaint(Message);
        return;
    case WM_ERASEBKGND:
    case WM_NCPAINT:
        return;
    }
    TkvAliveGuard guard(this);
    TkvMainWnd::kvWndProc(Message);
    if (!guard.Alive() || Destroyed)
        return;
    switch (Message.Msg) {
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        ::SendMessageW(CtrlHandle, WM_PAINT, 0, 0);
        break;
    case WM_KEYDOWN:
        if (Message.WParam == VK_SPACE)
            ::SendMessageW(CtrlHandle, WM_PAINT, 0, 0);
        break;
    case WM_NCHITTEST:
        if (::IsWindowEnabled(CtrlHandle) && DefaultManager && DefaultManager->ActiveControl() != CtrlHandle)
            DefaultManager->SetActiveControl(CtrlHandle);
        break;
    }
}

// ---------------------------------------------------------------------------
// TkvGroupBoxWnd

void TkvGroupBoxWnd::Create(HWND AHandle, TsCommonData* ASkinData, TsSkinManager* ASkinManager,
                            const UnicodeString& SkinSection, bool Repaint)
{
    TkvMainWnd::Create(AHandle, ASkinData, ASkinManager,
                       SkinSection.empty() ? UnicodeString(L"GROUPBOX") : SkinSection, Repaint);
}

TRect TkvGroupBoxWnd::CaptionRect()
{
    ::InitCacheBmp(SkinData);
    TCanvas* c = SkinData->FCacheBmp->Canvas();
    AssignControlFont(c, SkinData, CtrlHandle);
    TRect t(0, 0, 0, 0);
    ::DrawTextW(c->Handle(), Caption.c_str(), -1, &t, DT_CALCRECT | DT_CENTER);
    TRect r(6, 0, t.Width() + 14, std::max(4, int(t.Height())) + 2);
    if (r.right > WndSize.cx)
        r.right = WndSize.cx - 1;
    return r;
}

void TkvGroupBoxWnd::PaintBack(const TRect& R, const TkvBGInfo& Back, const TPoint& Pos)
{
    HDC dc = SkinData->FCacheBmp->Canvas()->Handle();
    if (Back.BgType == btCache && Back.Bmp)
        ::BitBlt(dc, R.left, R.top, R.Width(), R.Height(), Back.Bmp->Canvas()->Handle(),
                 Pos.x + R.left + Back.Offset.x, Pos.y + R.top + Back.Offset.y, SRCCOPY);
    else
        FillDC(dc, R, Back.Color);
}

void TkvGroupBoxWnd::WriteText(const TRect& R, const TkvBGInfo& Back, const TPoint& Pos)
{
    PaintBack(R, Back, Pos);
    TCanvas* c = SkinData->FCacheBmp->Canvas();
    c->Brush()->SetStyle(bsClear);
    AssignControlFont(c, SkinData, CtrlHandle);
    TRect r = R;
    kvWriteTextEx(c, Caption.c_str(), true, r, DT_CENTER | DT_VCENTER | DT_SINGLELINE, SkinData, false);
}

void TkvGroupBoxWnd::PrepareCache()
{
    InitCtrlData(this);
    ::InitCacheBmp(SkinData);
    TBitmap* cache = SkinData->FCacheBmp;
    cache->SetSize(WndSize.cx, WndSize.cy);
    const TRect caption = CaptionRect();
    TkvBGInfo back;
    back.PleaseDraw = false;
    GetBGInfo(&back, ParentWnd, false);
    TPoint pos = WndRect.TopLeft();
    if (!ParentWnd || !::ScreenToClient(ParentWnd, &pos))
        return; // not placed yet: tried again at the next paint
    PaintBack(TRect(0, 0, WndSize.cx, caption.bottom), back, pos);
    const int half = caption.Height() / 2;
    PaintItem(SkinData, BGInfoToCI(&back), false, 0, TRect(0, half, WndSize.cx, WndSize.cy), TPoint(pos.x, pos.y + half),
              cache, false);
    if (!Caption.empty())
        WriteText(caption, back, pos);
    SkinData->BGChanged = false;
}

void TkvGroupBoxWnd::KV_WMPaint(HDC Given)
{
    TkvPaintScope paint(CtrlHandle, Given);
    InitCtrlData(this);
    if (RecheckUpdating(SkinData))
        return;
    TkvTargetDC dc(CtrlHandle, Given, true);
    SavedDC saved(dc);
    PrepareCache();
    if (DlgMode && DefaultManager) {
        // The dialog's own children lie inside the frame: only the frame
        // and the caption band are painted.
        const int mask = SkinData->BorderIndex;
        ::ExcludeClipRect(dc, DefaultManager->MaskWidthLeft(mask), CaptionRect().Height(),
                          WndSize.cx - DefaultManager->MaskWidthRight(mask),
                          WndSize.cy - DefaultManager->MaskWidthBottom(mask));
    }
    CopyHwndCache(CtrlHandle, SkinData, TRect(0, 0, 0, 0), TRect(0, 0, WndSize.cx, WndSize.cy), dc, false);
    if (auto* owner = dynamic_cast<TWinControl*>(SkinData->FOwnerControl))
        PaintControls(dc, owner, false, TPoint(0, 0));
    SetParentUpdated(CtrlHandle);
}

void TkvGroupBoxWnd::EraseBkgnd(TMessage& Message)
{
    if (Message.WParam == WPARAM(Message.LParam)) {
        if (SkinData->BGChanged)
            PrepareCache();
        if (!SkinData->BGChanged) {
            const HDC dc = reinterpret_cast<HDC>(Message.WParam);
            if (IsCached(SkinData))
                ::BitBlt(dc, 0, 0, WndSize.cx, WndSize.cy, SkinData->FCacheBmp->Canvas()->Handle(), 0, 0, SRCCOPY);
            else
                FillDC(dc, TRect(0, 0, WndSize.cx, WndSize.cy), GetControlColor(CtrlHandle));
        }
    }
    Message.Result = 1;
}

void TkvGroupBoxWnd::Command(TMessage& Message)
{
    switch (Message.WParamHi) {
    case SMC_SKIN_REMOVE:
        GiveOpaqueBack(true);
        break;
    case SMC_GET_CAPTION_HEIGHT:
        InitCtrlData(this);
        Message.Result = CaptionRect().Height();
        return;
    }
    TkvMainWnd::kvWndProc(Message);
}

void TkvGroupBoxWnd::kvWndProc(TMessage& Message)
{
    if (!WrapperSkinned(this)) {
        TkvMainWnd::kvWndProc(Message);
        return;
    }
    if (Message.Msg == SM_KORVEXCMD) {
        Command(Message);
        return;
    }
    switch (Message.Msg) {
    case WM_SETTEXT: {
        TkvAliveGuard guard(this);
        TkvMainWnd::kvWndProc(Message);
        if (guard.Alive() && !Destroyed) {
            SkinData->BGChanged = true;
            ::RedrawWindow(CtrlHandle, nullptr, nullptr, RDW_FRAME | RDW_ERASE | RDW_INVALIDATE);
        }
        return;
    }
    case WM_PAINT:
        if (DlgMode)
            break;
        KV_WMPaint(Message.LParam == 1 ? reinterpret_cast<HDC>(Message.WParam) : nullptr);
        Message.Result = 0;
        return;
    case WM_ERASEBKGND:
        if (DlgMode)
            break;
        EraseBkgnd(Message);
        return;
    case WM_NCPAINT:
        if (!DlgMode)
            break;
        KV_WMPaint(nullptr);
        Message.Result = 1;
        return;
    case WM_PARENTNOTIFY:
        if (Message.WParamLo == WM_CREATE || Message.WParamLo == WM_DESTROY) {
            TkvAliveGuard guard(this);
            TkvMainWnd::kvWndProc(Message);
            if (guard.Alive() && Message.WParamLo == WM_CREATE)
                if (auto* owner = dynamic_cast<TWinControl*>(SkinData ? SkinData->FOwnerControl : nullptr))
                    AddToAdapter(owner);
            return;
        }
        break;
    case WM_PRINT:
        SkinData->BGChanged = true;
        KV_WMPaint(reinterpret_cast<HDC>(Message.WParam));
        return;
    }
    TkvMainWnd::kvWndProc(Message);
}
