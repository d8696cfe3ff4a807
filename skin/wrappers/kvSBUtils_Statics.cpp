// Static texts, icon and bitmap statics, links, size grips, up-down arrows.
#include "skin/wrappers/kvSBUtils_Statics.h"

#include <commctrl.h>

#include <algorithm>
#include <cstddef>
#include <cwctype>

#include "classlib/graphics/GdiHandles.h"
#include "skin/core/kvntUtils.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/sVclUtils.h"
#include "skin/paint/sAlphaGraph.h"
#include "skin/paint/sGraphUtils.h"
#include "skin/paint/sGraphUtils_BGInfo.h"
#include "skin/wrappers/kvSBUtils_Paint.h"

namespace {

DWORD StyleOf(HWND Wnd)
{
    return static_cast<DWORD>(::GetWindowLongW(Wnd, GWL_STYLE));
}

DWORD ExStyleOf(HWND Wnd)
{
    return static_cast<DWORD>(::GetWindowLongW(Wnd, GWL_EXSTYLE));
}

// The common end of the simple paint handlers: the cache copied to DC.
void CopyCacheTo(HDC DC, TsCommonData* SkinData, const TSize& Size, int X = 0)
{
    ::BitBlt(DC, X, 0, Size.cx - X, Size.cy, SkinData->FCacheBmp->Canvas()->Handle(), X, 0, SRCCOPY);
}

// The system's message font with underline, as a handle the caller owns.
HFONT UnderlinedMessageFont()
{
    NONCLIENTMETRICSW m{};
    m.cbSize = sizeof(m);
    if (!::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(m), &m, 0)) {
        // Systems before the padded border answer the shorter structure.
        m.cbSize = offsetof(NONCLIENTMETRICSW, iPaddedBorderWidth);
        if (!::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, m.cbSize, &m, 0))
            return nullptr;
    }
    m.lfMessageFont.lfUnderline = TRUE;
    return ::CreateFontIndirectW(&m.lfMessageFont);
}

bool StartsTagAt(const std::wstring& S, size_t I, bool Closing)
{
    // "<a" followed by ">" or white space, or "</a>".
    const wchar_t* head = Closing ? L"</a" : L"<a";
    const size_t n = Closing ? 3 : 2;
    if (S.size() < I + n + 1)
        return false;
    for (size_t k = 0; k < n; ++k)
        if (std::towlower(S[I + k]) != head[k])
            return false;
    const wchar_t next = S[I + n];
    return next == L'>' || (!Closing && std::iswspace(next));
}

} // namespace

// ---------------------------------------------------------------------------
// TkvStaticWnd

unsigned TkvStaticWnd::TextFlags() const
{
    return DT_NOCLIP | DT_EXPANDTABS | DT_WORDBREAK | ((ExStyleOf(CtrlHandle) & WS_EX_RIGHT) ? DT_RIGHT : 0);
}

void TkvStaticWnd::PaintText()
{
    TCanvas* c = SkinData->FCacheBmp->Canvas();
    c->Brush()->SetStyle(bsClear);
    AssignWndFont(c, CtrlHandle);
    TRect r(0, 0, WndSize.cx, WndSize.cy);
    kvWriteTextEx(c, Caption.c_str(), true, r, TextFlags(), SkinData, false);
}

void TkvStaticWnd::KV_WMPaint(HDC Given)
{
    InitCtrlData(this);
    TkvTargetDC dc(CtrlHandle, Given);
    SavedDC saved(dc);
    if (RecheckUpdating(SkinData))
        return;
    ::InitCacheBmp(SkinData);
    SkinData->FCacheBmp->SetSize(WndSize.cx, WndSize.cy);
    SkinData->BGChanged = true;
    ::PrepareCache(SkinData, CtrlHandle, false);
    PaintText();
    CopyCacheTo(dc, SkinData, WndSize);
}

bool TkvStaticWnd::PaintingMessage(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_MOVE:
    case WM_ENABLE: {
        SkinData->BGChanged = true;
        TkvAliveGuard guard(this);
        Message.Result = CallPrevWndProc(Message);
        if (guard.Alive() && !Destroyed)
            RedrawWnd(CtrlHandle);
        return true;
    }
    case WM_SETTEXT: {
        TkvAliveGuard guard(this);
        TkvMainWnd::kvWndProc(Message); // passes on and reads the text again
        if (guard.Alive() && !Destroyed) {
            SkinData->BGChanged = true;
            RedrawWnd(CtrlHandle);
        }
        return true;
    }
    case WM_PAINT: {
        TkvPaintScope paint(CtrlHandle, nullptr); // painted on erase
        return true;
    }
    case WM_ERASEBKGND:
        if (!::IsWindowVisible(CtrlHandle))
            return false;
        KV_WMPaint(reinterpret_cast<HDC>(Message.WParam));
        Message.Result = 1;
        return true;
    case WM_NCPAINT:
        return true;
    case WM_PRINT:
        KV_WMPaint(reinterpret_cast<HDC>(Message.WParam));
        return true;
    }
    return false;
}

void TkvStaticWnd::kvWndProc(TMessage& Message)
{
    const bool ownLook = (StyleOf(CtrlHandle) & WS_TABSTOP) || (ExStyleOf(CtrlHandle) & WS_EX_STATICEDGE);
    if (WrapperSkinned(this) && !ownLook && PaintingMessage(Message))
        return;
    TkvMainWnd::kvWndProc(Message);
}

// ---------------------------------------------------------------------------
// TkvIconWnd

void TkvIconWnd::Create(HWND AHandle, TsCommonData* ASkinData, TsSkinManager* ASkinManager,
                        const UnicodeString& SkinSection, bool Repaint)
{
    IsBmp = (StyleOf(AHandle) & SS_TYPEMASK) == SS_BITMAP;
    TkvStaticWnd::Create(AHandle, ASkinData, ASkinManager, SkinSection, Repaint);
}

void TkvIconWnd::PaintText()
{
    HDC dc = SkinData->FCacheBmp->Canvas()->Handle();
    if (IsBmp) {
        auto bmp = reinterpret_cast<HBITMAP>(::SendMessageW(CtrlHandle, STM_GETIMAGE, IMAGE_BITMAP, 0));
        BITMAP info{};
        if (!bmp || ::GetObjectW(bmp, sizeof(info), &info) != sizeof(info))
            return;
        MemoryDC src(dc);
        SelectedObject sel(src, bmp);
        ::BitBlt(dc, 0, 0, info.bmWidth, info.bmHeight, src, 0, 0, SRCCOPY);
        return;
    }
    if ((StyleOf(CtrlHandle) & SS_TYPEMASK) != SS_ICON)
        return;
    if (auto icon = reinterpret_cast<HICON>(::SendMessageW(CtrlHandle, STM_GETICON, 0, 0)))
        ::DrawIconEx(dc, 0, 0, icon, 0, 0, 0, nullptr, DI_NORMAL);
}

// ---------------------------------------------------------------------------
// TkvLinkWnd

UnicodeString LinkDisplayText(const UnicodeString& Text)
{
    const std::wstring s(Text.c_str());
    std::wstring out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size();) {
        if (s[i] == L'<' && (StartsTagAt(s, i, false) || StartsTagAt(s, i, true))) {
            const size_t end = s.find(L'>', i);
            if (end == std::wstring::npos)
                break; // an unfinished tag shows nothing of itself
            i = end + 1;
            continue;
        }
        out += s[i++];
    }
    return UnicodeString(out);
}

void TkvLinkWnd::PaintText()
{
    TCanvas* c = SkinData->FCacheBmp->Canvas();
    c->Brush()->SetStyle(bsClear);
    if (HFONT f = UnderlinedMessageFont())
        c->Font()->SetHandle(f);
    else
        AssignWndFont(c, CtrlHandle);
    TRect r(0, 0, WndSize.cx + 4, WndSize.cy);
    const UnicodeString text = LinkDisplayText(Caption);
    kvWriteTextEx(c, text.c_str(), true, r, DT_NOCLIP | DT_EXPANDTABS | DT_WORDBREAK, SkinData, false);
}

void TkvLinkWnd::kvWndProc(TMessage& Message)
{
    if (!WrapperSkinned(this) || (ExStyleOf(CtrlHandle) & WS_EX_STATICEDGE)) {
        TkvStaticWnd::kvWndProc(Message);
        return;
    }
    // As a static, but painted with a tab stop too (links have one).
    switch (Message.Msg) {
    case WM_MOVE:
    case WM_SETTEXT:
    case WM_PAINT:
    case WM_ERASEBKGND:
    case WM_NCPAINT:
    case WM_PRINT:
        if (PaintingMessage(Message))
            return;
        break;
    }
    TkvStaticWnd::kvWndProc(Message);
}

// ---------------------------------------------------------------------------
// TkvSizerWnd

bool TkvSizerWnd::IsSizeBox() const
{
    return (StyleOf(CtrlHandle) & (SBS_SIZEBOX | SBS_SIZEGRIP)) != 0;
}

void TkvSizerWnd::KV_WMPaint(HDC Given)
{
    TkvPaintScope paint(CtrlHandle, Given);
    InitCtrlData(this);
    TsSkinManager* m = SkinData->GetSkinManager();
    const int grip = m ? m->GetMaskIndex(m->ConstData.IndexGLobalInfo, L"GLOBALINFO", L"GRIPIMAGE") : -1;
    if (!m || !m->IsValidImgIndex(grip) || WndSize.cx <= 0 || WndSize.cy <= 0)
        return;
    TOwned<TBitmap> bmp(New<TBitmap>(WndSize.cx, WndSize.cy, pf24bit));
    TkvBGInfo back;
    back.Bmp = bmp.get();
    back.DrawDC = bmp->Canvas()->Handle();
    back.Offset = WndPos;
    back.R = TRect(0, 0, WndSize.cx, WndSize.cy);
    back.PleaseDraw = true;
    GetBGInfo(&back, ParentWnd, true);
    if (back.BgType == btFill)
        FillDC(bmp->Canvas()->Handle(), TRect(0, 0, WndSize.cx, WndSize.cy), back.Color);
    const TsMaskData& md = m->ma[std::size_t(grip)];
    const TPoint at(std::max(0, int(WndSize.cx) - WidthOfImage(md)), std::max(0, int(WndSize.cy) - HeightOfImage(md)));
    ::DrawSkinGlyph(bmp.get(), at, 0, 1, md, MakeCacheInfo(bmp.get()));
    TkvTargetDC dc(CtrlHandle, Given);
    ::BitBlt(dc, 0, 0, WndSize.cx, WndSize.cy, bmp->Canvas()->Handle(), 0, 0, SRCCOPY);
}

void TkvSizerWnd::kvWndProc(TMessage& Message)
{
    if (!WrapperSkinned(this, false) || !IsSizeBox()) {
        TkvMainWnd::kvWndProc(Message);
        return;
    }
    switch (Message.Msg) {
    case WM_PAINT:
        KV_WMPaint(reinterpret_cast<HDC>(Message.WParam));
        return;
    case WM_ERASEBKGND:
    case WM_NCPAINT:
        return;
    }
    TkvAliveGuard guard(this);
    TkvMainWnd::kvWndProc(Message);
    if (guard.Alive() && Message.Msg == WM_NCHITTEST) {
        if (DefaultManager && ::IsWindowEnabled(CtrlHandle))
            DefaultManager->SetActiveControl(nullptr);
        Message.Result = HTBOTTOMRIGHT;
    }
}

// ---------------------------------------------------------------------------
// TkvSpinWnd

void TkvSpinWnd::Create(HWND AHandle, TsCommonData* ASkinData, TsSkinManager* ASkinManager,
                        const UnicodeString& SkinSection, bool Repaint)
{
    lOffset = 0;
    bMousePressed = false;
    Btn1State = 0;
    Btn2State = 0;
    TkvMainWnd::Create(AHandle, ASkinData, ASkinManager, SkinSection, Repaint);
}

bool TkvSpinWnd::IsVertical() const
{
    return !(StyleOf(CtrlHandle) & UDS_HORZ);
}

TRect TkvSpinWnd::FirstButton() const
{
    const int cx = WndSize.cx, cy = WndSize.cy;
    return IsVertical() ? TRect(lOffset, 0, cx, (cy + 1) / 2) : TRect(0, 0, (cx + 1) / 2, cy);
}

TRect TkvSpinWnd::SecondButton() const
{
    const int cx = WndSize.cx, cy = WndSize.cy;
    return IsVertical() ? TRect(lOffset, cy / 2, cx, cy) : TRect(cx / 2, 0, cx, cy);
}

void TkvSpinWnd::UpdateStates()
{
    Btn1State = Btn2State = 0;
    const TPoint p = kvMousePos();
    if (!::PtInRect(&WndRect, p))
        return;
    // The first button's part of the window (the rest belongs to the second).
    TRect first = WndRect;
    if (IsVertical())
        first.bottom -= WndSize.cy / 2;
    else
        first.right -= WndSize.cx / 2;
    const int state = 1 + (bMousePressed ? 1 : 0);
    if (::PtInRect(&first, p))
        Btn1State = state;
    else
        Btn2State = state;
}

void TkvSpinWnd::PaintButton(const TRect& R, int State, int Glyph, const TCacheInfo& CI)
{
    TBitmap* cache = SkinData->FCacheBmp;
    // The button's place in the parent's window.
    const TPoint pos(WndRect.left - ParentRect.left - CI.X + R.left, WndRect.top - ParentRect.top - CI.Y + R.top);
    PaintItem(SkinData, CI, true, State, R, pos, cache, false);
    TsSkinManager* m = DefaultManager;
    if (!m || !m->IsValidImgIndex(Glyph))
        return;
    const TsMaskData& md = m->ma[std::size_t(Glyph)];
    const TPoint at(R.left + (R.Width() - WidthOfImage(md)) / 2, R.top + (R.Height() - HeightOfImage(md)) / 2);
    ::DrawSkinGlyph(cache, at, State, 1, md, MakeCacheInfo(cache));
}

void TkvSpinWnd::PrepareCache()
{
    TsSkinManager* m = SkinData->GetSkinManager();
    if (m && !m->IsValidSkinIndex(SkinData->SkinIndex))
        SkinData->SetSkinSection(L"BUTTON");
    TkvBGInfo back;
    back.PleaseDraw = false;
    GetBGInfo(&back, ParentWnd, false);
    const TCacheInfo ci = BGInfoToCI(&back);
    ::InitCacheBmp(SkinData);
    SkinData->FCacheBmp->SetSize(WndSize.cx, WndSize.cy);
    const TConstantSkinData none;
    const TConstantSkinData& cd = DefaultManager ? DefaultManager->ConstData : none;
    const bool vertical = IsVertical();
    PaintButton(FirstButton(), Btn1State, vertical ? cd.MaskArrowTop : cd.MaskArrowLeft, ci);
    PaintButton(SecondButton(), Btn2State, vertical ? cd.MaskArrowBottom : cd.MaskArrowRight, ci);
    SkinData->BGChanged = false;
}

void TkvSpinWnd::KV_WMPaint(HDC Given)
{
    InitCtrlData(this);
    UpdateStates();
    TkvPaintScope paint(CtrlHandle, Given);
    if (RecheckUpdating(SkinData))
        return;
    SkinData->BGChanged = true;
    PrepareCache();
    TkvTargetDC dc(CtrlHandle, Given);
    CopyCacheTo(dc, SkinData, WndSize, IsVertical() ? lOffset : 0);
}

void TkvSpinWnd::kvWndProc(TMessage& Message)
{
    // A section the skin lacks is replaced by "BUTTON" when painting.
    if (!WrapperSkinned(this, false)) {
        TkvMainWnd::kvWndProc(Message);
        return;
    }
    switch (Message.Msg) {
    case WM_PAINT:
        KV_WMPaint(reinterpret_cast<HDC>(Message.WParam));
        return;
    case WM_ERASEBKGND:
    case WM_NCPAINT:
        return;
    case WM_LBUTTONDOWN:
        bMousePressed = true;
        break;
    case WM_LBUTTONUP:
        bMousePressed = false;
        break;
    case WM_MOUSELEAVE:
        ::InvalidateRect(CtrlHandle, nullptr, FALSE);
        break;
    }
    TkvAliveGuard guard(this);
    TkvMainWnd::kvWndProc(Message);
    if (!guard.Alive() || Destroyed)
        return;
    switch (Message.Msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
        ::SendMessageW(CtrlHandle, WM_PAINT, 0, 0);
        break;
    case WM_MOUSEMOVE: {
        TsSkinManager* m = DefaultManager;
        if (!m || m->ComponentState().Contains(csDesigning) || !::IsWindowEnabled(CtrlHandle))
            break;
        InitCtrlData(this);
        const TPoint p = kvMousePos();
        if (::PtInRect(&WndRect, p)) {
            if (m->ActiveControl() == CtrlHandle)
                ::SendMessageW(CtrlHandle, WM_PAINT, 0, 0);
            else
                m->SetActiveControl(CtrlHandle);
        } else if (m->ActiveControl() == CtrlHandle) {
            m->SetActiveControl(nullptr);
        }
        break;
    }
    }
}
