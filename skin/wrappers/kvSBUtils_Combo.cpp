// Combo boxes, their lists and combo-like edits.
#include "skin/wrappers/kvSBUtils_Combo.h"

#include <windowsx.h>

#include "classlib/controls/ComCtrls.h"
#include "classlib/controls/StdCtrls.h"
#include "skin/core/kvntUtils.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/sStyleSimply.h"
#include "skin/core/sVclUtils.h"
#include "skin/paint/sAlphaGraph.h"
#include "skin/paint/sGraphUtils.h"
#include "skin/paint/sGraphUtils_BGInfo.h"
#include "skin/wrappers/kvSBUtils_Paint.h"

namespace {

// The list's drop-down tracking messages: shown, and gone again.
constexpr UINT LBCB_STARTTRACK = 0x1AE;
constexpr UINT LBCB_ENDTRACK = 0x1AF;

DWORD StyleOf(HWND Wnd)
{
    return static_cast<DWORD>(::GetWindowLongW(Wnd, GWL_STYLE));
}

bool RightToLeftReading(HWND Wnd)
{
    return (::GetWindowLongW(Wnd, GWL_EXSTYLE) & WS_EX_RTLREADING) != 0;
}

TCacheInfo ParentBackground(TsCommonData* SkinData, HWND Wnd)
{
    return SkinData->FOwnerControl ? GetParentCache(SkinData) : GetParentCacheHwnd(Wnd);
}

UnicodeString ShownText(HWND Combo)
{
    const LRESULT sel = ::SendMessageW(Combo, CB_GETCURSEL, 0, 0);
    std::wstring s;
    if (sel >= 0) {
        const LRESULT n = ::SendMessageW(Combo, CB_GETLBTEXTLEN, WPARAM(sel), 0);
        if (n > 0) {
            s.resize(size_t(n) + 1);
            const LRESULT got = ::SendMessageW(Combo, CB_GETLBTEXT, WPARAM(sel), LPARAM(s.data()));
            s.resize(got > 0 ? size_t(got) : 0);
        }
        return UnicodeString(s);
    }
    const int n = ::GetWindowTextLengthW(Combo);
    s.resize(size_t(std::max(n, 0)) + 1);
    s.resize(size_t(std::max(::GetWindowTextW(Combo, s.data(), n + 1), 0)));
    return UnicodeString(s);
}

HWND EditPartOf(HWND Combo)
{
    COMBOBOXINFO info{};
    info.cbSize = sizeof(info);
    return ::GetComboBoxInfo(Combo, &info) ? info.hwndItem : nullptr;
}

} // namespace

bool GetShowButton(TControl* Control)
{
    if (!Control || Control->ClassName() != L"TComboBox")
        return true;
    const TComboBoxStyle s = static_cast<TCustomComboBox*>(Control)->Style();
    return s == csDropDown || s == csDropDownList;
}

// ---------------------------------------------------------------------------
// TkvComboBoxWnd: geometry and painting

void TkvComboBoxWnd::Create(HWND AHandle, TsCommonData* ASkinData, TsSkinManager* ASkinManager,
                            const UnicodeString& SkinSection, bool Repaint)
{
    TkvEditWnd::Create(AHandle, ASkinData, ASkinManager, SkinSection, Repaint);
    LBSkinData = new TsCommonData(nullptr, true);
}

TkvComboBoxWnd::~TkvComboBoxWnd()
{
    delete LBSkinData;
    UninitializeKVScroll(FListHandle, true, false, ListSW);
}

bool TkvComboBoxWnd::IsSimple() const
{
    return (StyleOf(CtrlHandle) & 3) == CBS_SIMPLE;
}

int TkvComboBoxWnd::ButtonWidth() const
{
    return (StyleOf(CtrlHandle) & CBS_DROPDOWN) ? ::GetSystemMetrics(SM_CXVSCROLL) : 0;
}

TRect TkvComboBoxWnd::ButtonRect() const
{
    TRect r;
    ::GetWindowRect(CtrlHandle, &r);
    const int w = ButtonWidth(), cx = r.Width(), cy = r.Height();
    if (RightToLeftReading(CtrlHandle))
        return TRect(2, 2, 2 + w, cy - 2);
    return TRect(cx - w - 2, 2, cx - 2, cy - 2);
}

int TkvComboBoxWnd::ButtonHeight() const
{
    TsSkinManager* m = SkinData ? SkinData->GetSkinManager() : nullptr;
    const int glyph = m ? m->ConstData.ComboGlyph : -1;
    return m && m->IsValidImgIndex(glyph) ? HeightOfImage(m->ma[std::size_t(glyph)]) : 16;
}

void TkvComboBoxWnd::PaintButton(HDC DC)
{
    TsSkinManager* m = SkinData->GetSkinManager();
    TBitmap* cache = SkinData->FCacheBmp;
    const TRect r = ButtonRect();
    if (!m || !cache || cache->Empty() || r.IsEmpty())
        return;
    int state = 0;
    if (FListHandle && ::IsWindowVisible(FListHandle))
        state = 2;
    else if (ControlIsActive(SkinData) || (DefaultManager && DefaultManager->ActiveControl() == CtrlHandle))
        state = 1;
    TOwned<TBitmap> bmp(CreateBmpLike(cache));
    ::BitBlt(bmp->Canvas()->Handle(), 0, 0, cache->Width(), cache->Height(), cache->Canvas()->Handle(), 0, 0, SRCCOPY);
    const TConstantSkinData& cd = m->ConstData;
    if (m->IsValidSkinIndex(cd.ComboBtnIndex))
        PaintItem(cd.ComboBtnIndex, L"COMBOBTN", MakeCacheInfo(bmp.get()), true, state, r, r.TopLeft(), bmp.get(), m,
                  cd.ComboBtnBG, cd.ComboBtnBGHot);
    if (m->IsValidImgIndex(cd.ComboGlyph)) {
        const TsMaskData& md = m->ma[std::size_t(cd.ComboGlyph)];
        const TPoint at(r.left + (r.Width() - WidthOfImage(md)) / 2, (int(WndSize.cy) - ButtonHeight()) / 2);
        ::DrawSkinGlyph(bmp.get(), at, state, 1, md, MakeCacheInfo(bmp.get()));
    }
    ::BitBlt(DC, r.left, r.top, r.Width(), r.Height(), bmp->Canvas()->Handle(), r.left, r.top, SRCCOPY);
}

void TkvComboBoxWnd::RepaintButton()
{
    InitCtrlData(this);
    TkvTargetDC dc(CtrlHandle, nullptr, true);
    PaintButton(dc);
}

void TkvComboBoxWnd::PrepareSimple()
{
    ::InitCacheBmp(SkinData);
    TBitmap* cache = SkinData->FCacheBmp;
    const int item = int(::SendMessageW(CtrlHandle, CB_GETITEMHEIGHT, WPARAM(-1), 0));
    cache->SetSize(WndSize.cx, std::max(item, 0) + 8);
    const TRect all(0, 0, cache->Width(), cache->Height());
    TsSkinData* d = DefaultManager ? DefaultManager->SkinData : nullptr;
    if (DlgMode && d && d->BorderColor != clFuchsia) {
        HDC dc = cache->Canvas()->Handle();
        FillDC(dc, all, clWindow);
        GdiObject<HBRUSH> frame(::CreateSolidBrush(ColorToRGB(d->BorderColor)));
        ::FrameRect(dc, &all, frame.Get());
    } else {
        PaintItem(SkinData, ParentBackground(SkinData, CtrlHandle), true, ControlIsActive(SkinData) ? 1 : 0, all,
                  WndPos, cache, true);
    }
    SkinData->BGChanged = false;
}

void TkvComboBoxWnd::PaintText()
{
    TCanvas* c = SkinData->FCacheBmp->Canvas();
    AssignControlFont(c, SkinData, CtrlHandle);
    const TRect b = ButtonRect();
    // The cache's height: the field of a simple combo box is only its top.
    const int h = SkinData->FCacheBmp->Height();
    TRect r = RightToLeftReading(CtrlHandle) ? TRect(b.right, 3, WndSize.cx - 3, h - 3) : TRect(3, 3, b.left, h - 3);
    const UnicodeString text = ShownText(CtrlHandle);
    const unsigned flags = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX;
    const bool focusedList = (StyleOf(CtrlHandle) & 3) == CBS_DROPDOWNLIST &&
                             (::GetFocus() == CtrlHandle || SkinData->FFocused);
    if (focusedList) {
        FillDC(c->Handle(), r, clHighlight);
        c->Font()->SetColor(clHighlightText);
        c->Brush()->SetStyle(bsClear);
        TRect t = r;
        ::OffsetRect(&t, 1, 1);
        kvDrawText(c->Handle(), text, t, flags);
        FocusRect(c, r);
        return;
    }
    // The edit part's text as its own painting shows it.
    TColor fieldText = clNone, fieldBack = clNone;
    if ((StyleOf(CtrlHandle) & 3) != CBS_DROPDOWNLIST && FieldColors(fieldText, fieldBack))
        c->Font()->SetColor(fieldText);
    c->Brush()->SetStyle(bsClear);
    kvDrawText(c->Handle(), text, r, flags);
}

void TkvComboBoxWnd::Invalidate()
{
    if (dynamic_cast<TCustomComboBoxEx*>(SkinData ? SkinData->FOwnerControl : nullptr)) {
        ::InvalidateRect(CtrlHandle, nullptr, TRUE);
        ::UpdateWindow(CtrlHandle);
    }
}

void TkvComboBoxWnd::WMPaint(TMessage& Message)
{
    if (!ParamsChanged)
        SetSkinParams();
    InitCtrlData(this);
    TkvAliveGuard guard(this);
    PassOn(Message); // the control paints its text
    if (!guard.Alive() || Destroyed)
        return;
    TkvTargetDC dc(CtrlHandle, reinterpret_cast<HDC>(Message.WParam), true);
    if (RecheckUpdating(SkinData))
        return;
    if (IsSimple()) {
        PrepareSimple();
        TBitmap* cache = SkinData->FCacheBmp;
        BitBltBorder(dc, 0, 0, cache->Width(), cache->Height(), cache->Canvas()->Handle(), 0, 0, 3);
        return;
    }
    SkinData->BGChanged = true;
    SendAMessage(CtrlHandle, SMC_PREPARE_CACHE, 0);
    if (!guard.Alive() || Destroyed || !SkinData->FCacheBmp || SkinData->FCacheBmp->Empty())
        return;
    BitBltBorder(dc, 0, 0, WndSize.cx, WndSize.cy, SkinData->FCacheBmp->Canvas()->Handle(), 0, 0, 3);
    PaintButton(dc);
}

void TkvComboBoxWnd::Print(HDC DC, LPARAM Flags)
{
    InitCtrlData(this);
    SkinData->SetUpdating(false);
    SkinData->BGChanged = true;
    if (!ParamsChanged)
        SetSkinParams();
    if (IsSimple()) {
        PrepareSimple();
    } else {
        TkvAliveGuard guard(this);
        SendAMessage(CtrlHandle, SMC_PREPARE_CACHE, 0);
        if (!guard.Alive() || Destroyed)
            return;
    }
    ::PrepareCache(SkinData, CtrlHandle, DlgMode);
    PaintText();
    FillWrapperCorners(SkinData, 0, this);
    TBitmap* cache = SkinData->FCacheBmp;
    ::BitBlt(DC, 0, 0, cache->Width(), cache->Height(), cache->Canvas()->Handle(), 0, 0, SRCCOPY);
    PaintButton(DC);
    if (Flags & PRF_CHILDREN)
        PrintList(DC, Flags);
}

void TkvComboBoxWnd::PrintList(HDC DC, LPARAM Flags)
{
    // The always visible list of a simple combo box is a child window; the
    // edit part's text is in the cache already.
    COMBOBOXINFO info{};
    info.cbSize = sizeof(info);
    if (!::GetComboBoxInfo(CtrlHandle, &info) || !info.hwndList || ::GetParent(info.hwndList) != CtrlHandle ||
        !(StyleOf(info.hwndList) & WS_VISIBLE))
        return;
    // Printing may be the list's first drawing: it is wrapped first, as
    // its first paint would have it.
    if (!FListHandle) {
        TkvAliveGuard guard(this);
        WrapList(info.hwndList);
        if (!guard.Alive() || Destroyed)
            return;
    }
    TRect cr, lr;
    ::GetWindowRect(CtrlHandle, &cr);
    ::GetWindowRect(info.hwndList, &lr);
    SavedDC saved(DC);
    ::OffsetViewportOrgEx(DC, lr.left - cr.left, lr.top - cr.top, nullptr);
    ::SendMessageW(info.hwndList, WM_PRINT, WPARAM(DC), Flags);
}

// ---------------------------------------------------------------------------
// TkvComboBoxWnd: the list

void TkvComboBoxWnd::WrapList(HWND List)
{
    FListHandle = List;
    if (ListSW || !::IsWindow(FListHandle))
        return;
    const bool items = ::SendMessageW(CtrlHandle, CB_GETCOUNT, 0, 0) > 0;
    bool dialog = kvDlgMode;
    if (!SkinData->FOwnerControl)
        dialog = DlgMode;
    TFlagScope scope(kvDlgMode, dialog);
    ListSW = TkvComboListWnd::CreateEx(FListHandle, nullptr, SkinManager, L"EDIT", items, IsSimple());
}

void TkvComboBoxWnd::CtlColorListBox(TMessage& Message)
{
    TkvAliveGuard guard(this);
    TkvEditWnd::kvWndProc(Message);
    if (!guard.Alive() || Destroyed)
        return;
    if (!FListHandle)
        WrapList(reinterpret_cast<HWND>(Message.LParam));
    TsSkinManager* m = SkinData->GetSkinManager();
    const int section = ListSW && FListHandle ? int(SendAMessage(FListHandle, SMC_GET_SKIN_INDEX, 0)) - 1 : -1;
    if (DlgMode || !m || !m->IsValidSkinIndex(section))
        return;
    const TsGeneralData& g = m->gd[std::size_t(section)];
    const auto dc = reinterpret_cast<HDC>(Message.WParam);
    if (g.FontColor[1] >= 0)
        ::SetTextColor(dc, ColorToRGB(g.FontColor[1]));
    ::SetBkColor(dc, ColorToRGB(g.Color));
    // One brush for every paint of the list, made again when the colour changes.
    Message.Result = reinterpret_cast<LRESULT>(KeptBrush(FListBrush, FListBrushColor, g.Color));
}

bool TkvComboBoxWnd::FieldColors(TColor& Text, TColor& Back) const
{
    if (TControl* c = SkinData->FOwnerControl) {
        Text = c->Font()->Color();
        Back = c->Color();
        return true;
    }
    TsSkinManager* m = SkinData->GetSkinManager();
    if (DlgMode || !m || !m->IsValidSkinIndex(SkinData->SkinIndex))
        return false;
    const TsGeneralData& g = m->gd[std::size_t(SkinData->SkinIndex)];
    Text = g.FontColor[1] >= 0 ? g.FontColor[1] : clWindowText;
    Back = g.Color;
    return true;
}

void TkvComboBoxWnd::CtlColorEdit(TMessage& Message)
{
    TColor text = clNone, back = clNone;
    if (!FieldColors(text, back)) {
        TkvEditWnd::kvWndProc(Message);
        return;
    }
    const auto dc = reinterpret_cast<HDC>(Message.WParam);
    ::SetTextColor(dc, ColorToRGB(text));
    ::SetBkColor(dc, ColorToRGB(back));
    Message.Result = reinterpret_cast<LRESULT>(KeptBrush(FEditBrush, FEditBrushColor, back));
}

// ---------------------------------------------------------------------------
// TkvComboBoxWnd: the window procedure

void TkvComboBoxWnd::kvWndProc(TMessage& Message)
{
    if (!SkinData || !SkinData->Skinned() || Destroyed) {
        TkvEditWnd::kvWndProc(Message);
        return;
    }
    const bool hover = Message.Msg == SM_KORVEXCMD &&
                       (Message.WParamHi == SMC_MOUSE_ENTER || Message.WParamHi == SMC_MOUSE_LEAVE);
    if (hover || Message.Msg == WM_SETFOCUS || Message.Msg == WM_KILLFOCUS || Message.Msg == WM_LBUTTONUP) {
        TkvAliveGuard guard(this);
        TkvEditWnd::kvWndProc(Message);
        if (guard.Alive() && !Destroyed)
            RepaintButton();
        return;
    }
    switch (Message.Msg) {
    case WM_PAINT:
        WMPaint(Message);
        return;
    case WM_ERASEBKGND:
        return;
    case WM_DRAWITEM: {
        TkvAliveGuard guard(this);
        PassOn(Message);
        if (guard.Alive())
            Invalidate();
        return;
    }
    case WM_NCCALCSIZE: {
        TkvAliveGuard guard(this);
        TkvEditWnd::kvWndProc(Message);
        if (guard.Alive())
            cxLeftEdge = 3;
        return;
    }
    case WM_CTLCOLORLISTBOX:
        CtlColorListBox(Message);
        return;
    case WM_CTLCOLOREDIT:
        if (Message.LParam && reinterpret_cast<HWND>(Message.LParam) == EditPartOf(CtrlHandle)) {
            CtlColorEdit(Message);
            return;
        }
        break;
    case WM_PRINT:
        if (Message.WParam)
            Print(reinterpret_cast<HDC>(Message.WParam), Message.LParam);
        return;
    case CM_MOUSEENTER:
    case CM_MOUSELEAVE: {
        TkvAliveGuard guard(this);
        TkvEditWnd::kvWndProc(Message);
        if (!guard.Alive() || Destroyed)
            return;
        SkinData->FMouseAbove = Message.Msg == CM_MOUSEENTER;
        Invalidate();
        return;
    }
    }
    TkvEditWnd::kvWndProc(Message);
}

// ---------------------------------------------------------------------------
// TkvComboListWnd

void TkvComboListWnd::Create(HWND AHandle, TsCommonData* ASkinData, TsSkinManager* ASkinManager,
                             const UnicodeString& SkinSection, bool Repaint)
{
    TkvEditWnd::Create(AHandle, ASkinData, ASkinManager, SkinSection, Repaint);
    Showed = false;
    if (!Destroyed)
        InitCtrlData(this);
}

TkvComboListWnd* TkvComboListWnd::CreateEx(HWND AHandle, TsCommonData* ASkinData, TsSkinManager* ASkinManager,
                                           const UnicodeString& SkinSection, bool Repaint, bool Simply)
{
    auto* w = CreateWnd<TkvComboListWnd>(AHandle, ASkinData, ASkinManager, SkinSection, Repaint);
    w->SimplyBox = Simply;
    if (!Simply && !w->Destroyed) {
        // From the list's size now, painted before or not.
        InitCtrlData(w);
        ::SetWindowPos(AHandle, nullptr, 0, 0, w->WndSize.cx + 1, w->WndSize.cy,
                       SWP_NOMOVE | SWP_NOZORDER | SWP_FRAMECHANGED | SWP_NOCOPYBITS | SWP_NOOWNERZORDER |
                           SWP_NOSENDCHANGING);
    }
    return w;
}

bool TkvComboListWnd::StylesOffWanted(const UnicodeString& SkinSection, bool Repaint) const
{
    return Repaint && TkvEditWnd::StylesOffWanted(SkinSection, Repaint);
}

void TkvComboListWnd::PrepareListFrame()
{
    if (SimplyBox) {
        SendAMessage(CtrlHandle, SMC_PREPARE_CACHE, 0);
        return;
    }
    SkinData->UpdateIndexes();
    SetSkinParams();
    ::InitCacheBmp(SkinData);
    TBitmap* cache = SkinData->FCacheBmp;
    cache->SetSize(WndSize.cx, WndSize.cy);
    TCanvas* c = cache->Canvas();
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(Color);
    c->Pen()->SetStyle(psSolid);
    c->Pen()->SetColor(FrameColor);
    c->Rectangle(0, 0, WndSize.cx, WndSize.cy);
    SkinData->BGChanged = false;
}

void TkvComboListWnd::SimpleStrip()
{
    // The part of a simple combo box below its list shows what lies behind
    // the combo box: the parent's picture, or its fill colour.  Nothing else
    // paints it (the wrapper swallows the combo's erasing).
    HWND combo = ::GetParent(CtrlHandle);
    HWND parent = combo ? ::GetParent(combo) : nullptr;
    if (!parent)
        return;
    TkvBGInfo back;
    back.PleaseDraw = false;
    GetBGInfo(&back, parent, false);
    const bool picture = back.BgType == btCache && back.Bmp;
    if (!picture && back.BgType != btFill)
        return;
    TRect cr, lr;
    ::GetWindowRect(combo, &cr);
    ::GetWindowRect(CtrlHandle, &lr);
    const int top = lr.bottom - cr.top;
    if (top >= cr.Height())
        return;
    TkvTargetDC dc(combo, nullptr, true);
    if (!picture) {
        FillDC(dc, TRect(0, top, cr.Width(), cr.Height()), back.Color);
        return;
    }
    TPoint pos = cr.TopLeft();
    ::ScreenToClient(parent, &pos);
    ::BitBlt(dc, 0, top, cr.Width(), cr.Height() - top, back.Bmp->Canvas()->Handle(), pos.x + back.Offset.x,
             pos.y + top + back.Offset.y, SRCCOPY);
}

void TkvComboListWnd::NCPaint()
{
    InitCtrlData(this);
    PrepareListFrame();
    if (Destroyed)
        return;
    if (!DlgMode)
        FillWrapperCorners(SkinData, 0, this);
    {
        TkvTargetDC dc(CtrlHandle, nullptr, true);
        SavedDC saved(dc);
        BitBltBorder(dc, 0, 0, WndSize.cx, WndSize.cy, SkinData->FCacheBmp->Canvas()->Handle(), 0, 0, 2);
        Kv_NCPaint(this, CtrlHandle, 0, 0, -1, dc);
    }
    if (SimplyBox)
        SimpleStrip();
}

void TkvComboListWnd::ButtonUp(TMessage& Message)
{
    InitCtrlData(this);
    const LPARAM original = Message.LParam;
    POINT p{GET_X_LPARAM(original), GET_Y_LPARAM(original)};
    ::ClientToScreen(CtrlHandle, &p);
    const LPARAM screen = MAKELPARAM(p.x, p.y);
    const LRESULT hit = Kv_NCHitTest(this, CtrlHandle, 0, screen);
    if (hit != HTNOWHERE && hit != HTCLIENT) {
        // The release may free this wrapper: its field is read first.
        const bool simple = SimplyBox;
        Message.Result = Kv_LButtonUp(this, CtrlHandle, WPARAM(hit), screen);
        if (simple)
            ::ReleaseCapture();
        return;
    }
    PassOn(Message);
    ::ReleaseCapture();
}

void TkvComboListWnd::Print(TMessage& Message)
{
    // Hidden is the list's own state: a simple combo box's list on a form
    // not shown yet prints all the same.
    const auto dc = reinterpret_cast<HDC>(Message.WParam);
    if (!dc || !(StyleOf(CtrlHandle) & WS_VISIBLE))
        return;
    if (Message.Msg == WM_PRINTCLIENT) {
        // The items alone, at the context's origin.
        PassOn(Message);
        return;
    }
    InitCtrlData(this);
    PrepareListFrame();
    if (Destroyed)
        return;
    if (::SendMessageW(CtrlHandle, LB_GETCOUNT, 0, 0) > 0 && kvScrollState.ActivePortion == -1 && !Showed)
        BitBltBorder(dc, 0, 0, WndSize.cx, WndSize.cy, SkinData->FCacheBmp->Canvas()->Handle(), 0, 0, 3);
    Kv_NCPaint(this, CtrlHandle, 0, 0, -1, dc);
    // Then the items, as on the screen, where the list paints its client
    // area after its frame.  The system's print would leave them at the
    // window's origin: they go to the client area's place.
    TRect wr, cr;
    ::GetWindowRect(CtrlHandle, &wr);
    ::GetClientRect(CtrlHandle, &cr);
    POINT at{0, 0};
    ::ClientToScreen(CtrlHandle, &at);
    SavedDC saved(dc);
    ::OffsetViewportOrgEx(dc, at.x - wr.left, at.y - wr.top, nullptr);
    ::IntersectClipRect(dc, 0, 0, cr.Width(), cr.Height());
    ::SendMessageW(CtrlHandle, WM_PRINTCLIENT, WPARAM(dc), PRF_CLIENT);
}

void TkvComboListWnd::kvWndProc(TMessage& Message)
{
    if (!SkinData || !SkinData->Skinned() || Destroyed) {
        TkvEditWnd::kvWndProc(Message);
        return;
    }
    switch (Message.Msg) {
    case WM_ERASEBKGND:
    case WM_HSCROLL:
    case WM_VSCROLL:
        PassOn(Message);
        return;
    case WM_NCCALCSIZE:
        Message.Result = Kv_NCCalcSize(this, CtrlHandle, Message.WParam, Message.LParam);
        return;
    case WM_NCPAINT:
        if (DontRepaint)
            break;
        NCPaint();
        return;
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONDBLCLK: {
        const LRESULT hit = Kv_NCHitTest(this, CtrlHandle, 0, Message.LParam);
        Message.WParam = WPARAM(hit);
        if (hit == HTHSCROLL || hit == HTVSCROLL)
            Message.Result = Kv_NCLButtonDown(this, CtrlHandle, Message.WParam, Message.LParam);
        return;
    }
    case LBCB_STARTTRACK:
        Showed = true;
        break;
    case LBCB_ENDTRACK:
        Showed = false;
        SkinData->BGChanged = true;
        break;
    case WM_LBUTTONUP:
        ButtonUp(Message);
        return;
    case WM_PRINT:
    case WM_PRINTCLIENT:
        Print(Message);
        return;
    }
    TkvAliveGuard guard(this);
    TkvEditWnd::kvWndProc(Message);
    if (guard.Alive() && !Destroyed && Message.Msg == WM_WINDOWPOSCHANGED)
        UpdateScrolls(this, true);
}

// ---------------------------------------------------------------------------
// TkvWWComboBoxWnd

void TkvWWComboBoxWnd::Create(HWND AHandle, TsCommonData* ASkinData, TsSkinManager* ASkinManager,
                              const UnicodeString& SkinSection, bool Repaint)
{
    FShowButton = GetShowButton(ASkinData ? ASkinData->FOwnerControl : nullptr);
    TkvComboBoxWnd::Create(AHandle, ASkinData, ASkinManager, SkinSection, Repaint);
}

int TkvWWComboBoxWnd::ButtonWidth() const
{
    return FShowButton ? ::GetSystemMetrics(SM_CXVSCROLL) : 0;
}
