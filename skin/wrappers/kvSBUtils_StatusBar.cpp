// The status-bar wrapper and the panel painting both status bars share.
#include "skin/wrappers/kvSBUtils_StatusBar.h"

#include <commctrl.h>

#include <algorithm>
#include <string>

#include "skin/core/kvntUtils.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/sVclUtils.h"
#include "skin/paint/sAlphaGraph.h"
#include "skin/paint/sGraphUtils.h"
#include "skin/paint/sGraphUtils_Sections.h"
#include "skin/paint/sGraphUtils_Text.h"
#include "skin/wrappers/kvSBUtils_Paint.h"

namespace kvStatusPanels {

int PanelMask(TsCommonData* SkinData)
{
    TsSkinManager* m = SkinData ? SkinData->GetSkinManager() : nullptr;
    if (!m || !m->IsValidSkinIndex(SkinData->SkinIndex))
        return -1;
    const int mask = m->GetMaskIndex(SkinData->SkinIndex, SkinData->SkinSection(), L"STATUSPANELMASK");
    return m->IsValidImgIndex(mask) ? mask : -1;
}

void DrawPanelFrame(TsCommonData* SkinData, int Mask, const TRect& R)
{
    TsSkinManager* m = SkinData->GetSkinManager();
    DrawSkinRect(SkinData->FCacheBmp, R, true, EmptyCI, m->ma[size_t(Mask)], 0, true, m);
}

int DividerMask(TsSkinManager* Manager, int& DividerIndex)
{
    DividerIndex = Manager ? Manager->GetSkinIndex(L"DIVIDER") : -1;
    if (DividerIndex < 0)
        return -1;
    const int mask = Manager->GetMaskIndex(DividerIndex, L"DIVIDER", L"BORDERSMASK");
    return Manager->IsValidImgIndex(mask) ? mask : -1;
}

void DrawDividerStrip(TsCommonData* SkinData, int DividerIndex, const TRect& Strip)
{
    TBitmap* cache = SkinData->FCacheBmp;
    if (Strip.Width() <= 0 || Strip.Height() <= 0 || !cache)
        return;
    TOwned<TBitmap> strip(CreateBmp24(Strip.Width(), Strip.Height()));
    PaintItem(DividerIndex, L"DIVIDER", MakeCacheInfo(cache, 0, 0), true, 0, TRect(0, 0, Strip.Width(), Strip.Height()),
              Strip.TopLeft(), strip.get(), SkinData->GetSkinManager(), -1, -1);
    ::BitBlt(cache->Canvas()->Handle(), Strip.left, Strip.top, Strip.Width(), Strip.Height(),
             strip->Canvas()->Handle(), 0, 0, SRCCOPY);
}

TRect TextRect(const TRect& P)
{
    TRect t = P;
    ::InflateRect(&t, -1, -1);
    t.bottom -= 1;
    t.left += 2;
    t.right -= 4;
    return t;
}

} // namespace kvStatusPanels

namespace {

// The text of a part as the window keeps it (Part: SB_SIMPLEID for the
// simple text); empty for an owner-drawn part, whose "text" is its data.
UnicodeString WindowPartText(HWND Wnd, int Part)
{
    const LRESULT info = ::SendMessageW(Wnd, SB_GETTEXTLENGTHW, WPARAM(Part), 0);
    const int len = LOWORD(info);
    if (len == 0 || (HIWORD(info) & SBT_OWNERDRAW))
        return {};
    std::wstring s(size_t(len) + 1, L'\0');
    ::SendMessageW(Wnd, SB_GETTEXTW, WPARAM(Part), reinterpret_cast<LPARAM>(s.data()));
    s.resize(wcsnlen(s.c_str(), size_t(len)));
    return UnicodeString(s);
}

} // namespace

// ---------------------------------------------------------------------------
// TkvStatusBarWnd

void TkvStatusBarWnd::Create(HWND AHandle, TsCommonData* ASkinData, TsSkinManager* ASkinManager,
                             const UnicodeString& SkinSection, bool Repaint)
{
    TkvMainWnd::Create(AHandle, ASkinData, ASkinManager, SkinSection, Repaint);
    if (!SkinData)
        return;
    if (SkinSection.empty())
        SkinData->SetSkinSection(L"STATUSBAR");
    StatusBar = dynamic_cast<TStatusBar*>(SkinData->FOwnerControl);
}

bool TkvStatusBarWnd::SimplePanel() const
{
    return ::SendMessageW(CtrlHandle, SB_ISSIMPLE, 0, 0) == 1;
}

int TkvStatusBarWnd::PartsCount() const
{
    return int(::SendMessageW(CtrlHandle, SB_GETPARTS, 0, 0));
}

TRect TkvStatusBarWnd::PartRect(int Index) const
{
    TRect r;
    ::SendMessageW(CtrlHandle, SB_GETRECT, WPARAM(Index), reinterpret_cast<LPARAM>(&r));
    return r;
}

UnicodeString TkvStatusBarWnd::PartText(int Index) const
{
    if (PartsCount() == 0)
        return {};
    const bool simple = SimplePanel();
    if (!StatusBar)
        return WindowPartText(CtrlHandle, simple ? SB_SIMPLEID : Index);
    if (simple || StatusBar->Panels()->Count() == 0)
        return StatusBar->SimpleText();
    if (Index < 0 || Index >= StatusBar->Panels()->Count())
        return {};
    TStatusPanel* panel = StatusBar->Panels()->Items(Index);
    return panel->Style() == psOwnerDraw ? UnicodeString() : panel->Text();
}

TAlignment TkvStatusBarWnd::PartAlignment(int Index, UnicodeString& Text) const
{
    if (StatusBar) {
        const bool panel = !SimplePanel() && Index >= 0 && Index < StatusBar->Panels()->Count();
        return panel ? StatusBar->Panels()->Items(Index)->Alignment() : taLeftJustify;
    }
    // A raw bar's text asks for its alignment with leading tabs: one
    // centres it, two put it on the right.
    int tabs = 0;
    while (tabs < 2 && tabs < int(Text.size()) && Text[size_t(tabs)] == L'\t')
        ++tabs;
    Text.erase(0, size_t(tabs));
    return tabs == 0 ? taLeftJustify : tabs == 1 ? taCenter : taRightJustify;
}

void TkvStatusBarWnd::AssignTextFont(TCanvas* Canvas) const
{
    if (StatusBar)
        Canvas->Font()->Assign(StatusBar->Font());
    else
        AssignWndFont(Canvas, CtrlHandle);
}

void TkvStatusBarWnd::PaintPanels()
{
    if (SimplePanel()) {
        InternalDrawPanel(-1, TRect(0, 1, WndSize.cx - 1, WndSize.cy - 1));
        return;
    }
    const int n = PartsCount();
    for (int i = 0; i < n; ++i)
        DrawPanel(i, PartRect(i));
}

void TkvStatusBarWnd::DrawPanel(int Index, TRect R)
{
    ::InflateRect(&R, -1, -1);
    InternalDrawPanel(Index, R);
}

void TkvStatusBarWnd::InternalDrawPanel(int Index, const TRect& P)
{
    TsSkinManager* m = SkinData->GetSkinManager();
    if (m && m->IsValidSkinIndex(SkinData->SkinIndex)) {
        const bool simple = Index < 0;
        const int mask = kvStatusPanels::PanelMask(SkinData);
        if (mask >= 0) {
            kvStatusPanels::DrawPanelFrame(SkinData, mask, simple ? TRect(0, 0, WndSize.cx, WndSize.cy) : P);
        } else if (!simple && Index < PartsCount() - 1) {
            int divider;
            const int dm = kvStatusPanels::DividerMask(m, divider);
            if (dm >= 0) {
                const int w = m->MaskSize(dm).cx - 1;
                kvStatusPanels::DrawDividerStrip(SkinData, divider,
                                                 TRect(P.right - w, 1, P.right, 1 + WndSize.cy - 2));
            }
        }
    }
    UnicodeString text = PartText(Index);
    const TAlignment alignment = PartAlignment(Index, text);
    if (text.empty())
        return;
    TCanvas* canvas = SkinData->FCacheBmp->Canvas();
    AssignTextFont(canvas);
    const TRect t = kvStatusPanels::TextRect(P);
    DoDrawText(CutText(canvas, text, t.Width()), t, GetStringFlags(StatusBar, alignment));
}

void TkvStatusBarWnd::DoDrawText(const UnicodeString& Text, TRect R, UINT Flags)
{
    TCanvas* canvas = SkinData->FCacheBmp->Canvas();
    AssignTextFont(canvas);
    canvas->Brush()->SetStyle(bsClear);
    kvWriteTextEx(canvas, Text.c_str(), true, R, Flags | DT_SINGLELINE | DT_VCENTER, SkinData, false);
}

void TkvStatusBarWnd::PrepareCache()
{
    ::InitCacheBmp(SkinData);
    SkinData->FCacheBmp->SetSize(WndSize.cx, WndSize.cy);
    const TCacheInfo ci = GetParentCacheHwnd(CtrlHandle);
    PaintItem(SkinData, ci, false, 0, TRect(0, 0, WndSize.cx, WndSize.cy), WndPos, SkinData->FCacheBmp, true);
    PaintPanels();
    SkinData->BGChanged = false;
}

void TkvStatusBarWnd::WMPaint(HDC DC)
{
    InitCtrlData(this);
    if (WndSize.cx <= 0 || WndSize.cy <= 0)
        return;
    TkvTargetDC dc(CtrlHandle, DC);
    PrepareCache();
    ::BitBlt(dc, 0, 0, WndSize.cx, WndSize.cy, SkinData->FCacheBmp->Canvas()->Handle(), 0, 0, SRCCOPY);
}

void TkvStatusBarWnd::WMNCPaint(HDC DC)
{
    InitCtrlData(this);
    if (!StatusBar || WndSize.cx <= 0 || WndSize.cy <= 0)
        return;
    TkvTargetDC dc(CtrlHandle, DC, true);
    if (SkinData->BGChanged || !SkinData->FCacheBmp)
        PrepareCache();
    BitBltBorder(dc, 0, 0, WndSize.cx, WndSize.cy, SkinData->FCacheBmp->Canvas()->Handle(), 0, 0,
                 StatusBar->BorderWidth());
}

bool TkvStatusBarWnd::SkinnedMessage(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_PAINT:
        // A paint into a given context (a print) paints there; a screen
        // paint is done by the erase that BeginPaint asks for.
        if (Message.WParam) {
            WMPaint(reinterpret_cast<HDC>(Message.WParam));
        } else {
            ::InvalidateRect(CtrlHandle, nullptr, TRUE);
            TkvPaintScope paint(CtrlHandle, nullptr);
        }
        return true;
    case WM_ERASEBKGND:
        WMPaint(reinterpret_cast<HDC>(Message.WParam));
        Message.Result = 1;
        return true;
    case WM_NCPAINT:
        if (!InAnimationProcess)
            WMNCPaint(nullptr);
        return true;
    case WM_PRINTCLIENT:
        WMPaint(reinterpret_cast<HDC>(Message.WParam));
        return true;
    }
    return false;
}

void TkvStatusBarWnd::kvWndProc(TMessage& Message)
{
    const bool skinned = SkinData && SkinData->Skinned();
    if (skinned && SkinnedMessage(Message))
        return;
    TkvAliveGuard guard(this);
    TkvMainWnd::kvWndProc(Message);
    if (guard.Alive() && skinned && !Destroyed && Message.Msg == WM_SIZE)
        ::RedrawWindow(CtrlHandle, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE);
}
