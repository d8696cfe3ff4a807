// The extended-border window: a layered window right behind its owner that
// shows the owner's whole window image with the skin's shadow and wide
// frame.  Its owner (a form's provider here) answers through TkvFrameOwner.
#include "skin/forms/sSkinProvider_ExBorders.h"

#include "classlib/graphics/GdiHandles.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/sSkinProps.h"
#include "skin/core/sVclUtils.h"
#include "skin/forms/sSkinProvider.h"
#include "skin/paint/sGraphUtils.h"

namespace {

TRect WindowRectOf(HWND Wnd)
{
    RECT r{};
    ::GetWindowRect(Wnd, &r);
    return TRect(r);
}

bool IsClientMouseMessage(UINT Msg)
{
    return Msg >= WM_MOUSEMOVE && Msg <= WM_MBUTTONDBLCLK;
}

LPCWSTR CursorOf(int HitCode)
{
    switch (HitCode) {
    case HTCAPTION: case HTMENU: return IDC_ARROW;
    case HTLEFT: case HTRIGHT: return IDC_SIZEWE;
    case HTTOP: case HTBOTTOM: return IDC_SIZENS;
    case HTTOPLEFT: case HTBOTTOMRIGHT: return IDC_SIZENWSE;
    case HTTOPRIGHT: case HTBOTTOMLEFT: return IDC_SIZENESW;
    default: return nullptr;
    }
}

} // namespace

// The border window's answer for its frame: every click there arrives as a
// non-client message.
constexpr int HTBORDERWINDOW = 19;

TkvBorderForm::TkvBorderForm(TkvFrameOwner* AOwner) : FOwner(AOwner), SkinData(AOwner->FrameSkinData())
{
    AForm = TForm::CreateNew(nullptr);
    AForm->SetTag(-98);
    AForm->SetBorderStyle(bsNone);
    const HWND h = AForm->Handle();
    ::SetWindowLongW(h, GWL_EXSTYLE, ::GetWindowLongW(h, GWL_EXSTYLE) | WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW);
    OldBorderProc = AForm->WindowProc;
    AForm->WindowProc = Bind(this, &TkvBorderForm::BorderProc);
}

TkvBorderForm::~TkvBorderForm()
{
    FOwner->FrameKillAnimations();
    AForm->WindowProc = OldBorderProc;
    FreeAndNil(AForm);
}

HWND TkvBorderForm::Handle() const
{
    return AForm && AForm->HandleAllocated() ? AForm->Handle() : nullptr;
}

void TkvBorderForm::UpdateExBordersPos(bool Redraw, int Blend)
{
    const HWND owner = FOwner->FrameHandle();
    if (!AForm || (Application && Application->Terminated()) || ExBorderShowing || !owner || kvPrintDC)
        return;
    RECT ownerRect;
    if (!::GetWindowRect(owner, &ownerRect))
        return;
    if (!::IsWindowVisible(owner)) {
        ::ShowWindow(AForm->Handle(), SW_HIDE);
        return;
    }
    TFlagScope showing(ExBorderShowing, true);
    FOwner->FramePaintAll();
    Redraw = true;
    TBitmap* image = SkinData->FCacheBmp;
    if (!image || image->Empty())
        return;
    const TPoint origin = FOwner->FrameImageOrigin();
    if (::GetWindowLongW(owner, GWL_EXSTYLE) & WS_EX_TOPMOST)
        AForm->SetFormStyle(fsStayOnTop);
    UINT flags = SWP_NOACTIVATE | SWP_NOOWNERZORDER | SWP_NOSENDCHANGING;
    const bool changed = Redraw || image->Width() != AForm->Width() || image->Height() != AForm->Height();
    if (!changed)
        flags |= SWP_NOSIZE;
    if (!Redraw)
        flags |= SWP_NOREDRAW;
    const HWND h = AForm->Handle();
    int height = image->Height();
    // A maximised window shows neither shadow nor outer frame at the bottom.
    if (::IsZoomed(owner))
        height -= FOwner->FrameShadowSize().bottom + FOwner->FrameSysBorderWidth();
    ::SetWindowPos(h, nullptr, ownerRect.left - origin.x, ownerRect.top - origin.y, image->Width(),
                   std::max(1, height), flags | SWP_NOZORDER);
    if (!kvLayered() || !changed || kvInMouseMsg) {
        ::SetWindowPos(h, owner, 0, 0, 0, 0, flags | SWP_NOMOVE | SWP_NOSIZE);
        return;
    }
    const int alpha = FOwner->FrameAlpha() != 255 ? FOwner->FrameAlpha() : Blend;
    ::SetWindowLongW(h, GWL_EXSTYLE, ::GetWindowLongW(h, GWL_EXSTYLE) | WS_EX_LAYERED | WS_EX_NOACTIVATE);
    ::SetWindowPos(h, owner, 0, 0, 0, 0, flags | SWP_NOMOVE | SWP_NOSIZE);
    SetWindowRegion(h, MakeRgn(), false);
    if (kvUpdateLayeredWindow) {
        BLENDFUNCTION blend{AC_SRC_OVER, 0, BYTE(std::clamp(alpha, 0, 255)), AC_SRC_ALPHA};
        SIZE size{image->Width(), std::max(1, height)};
        POINT src{0, 0};
        HDC screen = ::GetDC(nullptr);
        kvUpdateLayeredWindow(h, screen, nullptr, &size, image->Canvas()->Handle(), &src, 0, &blend, ULW_ALPHA);
        ::ReleaseDC(nullptr, screen);
    }
    ::ShowWindow(h, SW_SHOWNOACTIVATE);
}

HRGN TkvBorderForm::MakeRgn()
{
    const HWND owner = FOwner->FrameHandle();
    const int w = AForm->Width(), h = AForm->Height();
    const TRect s = FOwner->FrameShadowSize();
    HRGN rgn = nullptr;
    if (owner && ::IsZoomed(owner)) {
        const int sbw = FOwner->FrameSysBorderWidth();
        const int diff = FOwner->FrameImageOrigin().x - s.left;
        rgn = ::CreateRectRgn(sbw + diff + s.left, s.top + 4, w - sbw - diff - s.right, h - sbw - diff - s.bottom);
    }
    const TRect hole = FOwner->FrameClientHole();
    if (hole.IsEmpty())
        return rgn;
    if (!rgn)
        rgn = ::CreateRectRgn(0, 0, w, h);
    GdiObject<HRGN> client(::CreateRectRgn(hole.left, hole.top, hole.right, hole.bottom));
    ::CombineRgn(rgn, rgn, client.Get(), RGN_XOR);
    return rgn;
}

TPoint TkvBorderForm::LocalPoint(TMessage& Message, bool ClientMessage)
{
    const TPoint p(GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam));
    if (ClientMessage)
        return p;  // the border window has no frame: its client point is its window point
    const TRect w = WindowRectOf(AForm->Handle());
    return TPoint(p.x - w.left, p.y - w.top);
}

bool TkvBorderForm::MouseAboveTheShadow(TMessage& Message)
{
    TsSkinManager* sm = SkinData ? SkinData->GetSkinManager() : nullptr;
    const HWND owner = FOwner->FrameHandle();
    if (!sm || !sm->Active() || (owner && ::IsZoomed(owner)))
        return false;
    const TPoint p = LocalPoint(Message, IsClientMouseMessage(Message.Msg));
    const TRect s = FOwner->FrameShadowSize();
    const int w = AForm->Width(), h = AForm->Height();
    if (p.y >= s.top && p.y <= h - s.bottom && p.x >= s.left && p.x <= w - s.right)
        return false;
    FOwner->FrameSetHotHT(-1);
    return true;
}

int TkvBorderForm::Ex_WMNCHitTest(TMessage& Message)
{
    const HWND owner = FOwner->FrameHandle();
    if (owner && !::IsWindowEnabled(owner))
        return -1;
    return FOwner->FrameBorderHitTest(Message, LocalPoint(Message, false));
}

bool TkvBorderForm::Ex_WMSetCursor(TMessage& Message)
{
    const TPoint mouse = kvMousePos();
    TMessage hit{WM_NCHITTEST, 0, MAKELPARAM(mouse.x, mouse.y), 0};
    const int code = Ex_WMNCHitTest(hit);
    Message.LParam = MAKELPARAM(code, HIWORD(Message.LParam));
    if (MouseAboveTheShadow(hit))
        return false;
    const LPCWSTR cursor = CursorOf(code);
    if (!cursor)
        return false;
    ::SetCursor(::LoadCursorW(nullptr, cursor));
    return true;
}

// The mouse falls through the shadow: the window's region loses the point,
// and the window below it gets the message at its own client point.
void TkvBorderForm::PassThroughShadow(TMessage& Message)
{
    TFlagScope inMouse(kvInMouseMsg, true);
    const TPoint p = LocalPoint(Message, true);
    HRGN rgn = MakeRgn();
    if (!rgn)
        rgn = ::CreateRectRgn(0, 0, AForm->Width(), AForm->Height());
    GdiObject<HRGN> point(::CreateRectRgn(p.x, p.y, p.x + 1, p.y + 1));
    ::CombineRgn(rgn, rgn, point.Get(), RGN_XOR);
    if (!FOwner->FrameModal())
        SetWindowRegion(AForm->Handle(), rgn, false);
    else
        ::DeleteObject(rgn);
    const TRect w = WindowRectOf(AForm->Handle());
    POINT screen{w.left + p.x, w.top + p.y};
    const HWND below = ::WindowFromPoint(screen);
    if (!below || below == AForm->Handle() || below == FOwner->FrameHandle())
        return;
    POINT local = screen;
    ::ScreenToClient(below, &local);
    ::SendMessageW(below, Message.Msg, Message.WParam, MAKELPARAM(local.x, local.y));
}

void TkvBorderForm::ForwardClick(TMessage& Message, WPARAM Code)
{
    if (MouseAboveTheShadow(Message))
        return;
    if (const HWND owner = FOwner->FrameHandle())
        Message.Result = ::SendMessageW(owner, Message.Msg, Code, Message.LParam);
}

void TkvBorderForm::DoubleClick(TMessage& Message)
{
    DoStartMove = false;
    const int code = Ex_WMNCHitTest(Message);
    FOwner->FrameDoubleClick(code);
}

void TkvBorderForm::BorderProc(TMessage& Message)
{
    if (IsClientMouseMessage(Message.Msg) && MouseAboveTheShadow(Message)) {
        PassThroughShadow(Message);
        return;
    }
    switch (Message.Msg) {
    case WM_ERASEBKGND:
    case WM_NCPAINT:
        return;
    case WM_SETCURSOR:
        if (!Ex_WMSetCursor(Message))
            OldBorderProc(Message);
        return;
    case WM_MOUSEACTIVATE:
        Message.Result = MA_NOACTIVATE;
        if (const HWND owner = FOwner->FrameHandle())
            ::SetForegroundWindow(owner);
        return;
    case WM_WINDOWPOSCHANGED:
        FOwner->FrameKillAnimations();
        OldBorderProc(Message);
        if (!kvInMouseMsg)
            UpdateExBordersPos(false, 255);
        return;
    case WM_NCHITTEST:
        Message.Result = MouseAboveTheShadow(Message) ? HTTRANSPARENT : HTBORDERWINDOW;
        return;
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONUP:
    case WM_NCRBUTTONUP:
        ForwardClick(Message, WPARAM(-1));
        return;
    case WM_NCRBUTTONDOWN:
        if (!MouseAboveTheShadow(Message))
            ForwardClick(Message, WPARAM(Ex_WMNCHitTest(Message)));
        return;
    case WM_NCLBUTTONDBLCLK:
        DoubleClick(Message);
        return;
    default:
        OldBorderProc(Message);
    }
}

// ---------------------------------------------------------------------------
// The provider as the border window's owner.

void TsSkinProvider::InitExBorders(bool Active)
{
    TBitmap* cache = FCommonData->FCacheBmp;
    if (Active && HaveBorder(this) && FDrawNonClientArea && Form && !Form->Parent() &&
        Form->FormStyle() != fsMDIChild && FAllowExtBorders && Form->HandleAllocated()) {
        if (BorderForm)
            return;
        BorderForm = new TkvBorderForm(this);
        BackgroundChanged();
        RgnChanged = RegionChanged = true;
        if (cache)
            cache->SetPixelFormat(pf32bit);
        UpdateExBordersPos(true, 255);
        return;
    }
    if (BorderForm) {
        TkvBorderForm* old = std::exchange(BorderForm, nullptr);
        delete old;
        BackgroundChanged();
        RgnChanged = RegionChanged = true;
    }
    if (cache)
        cache->SetPixelFormat(pf24bit);
}

void TsSkinProvider::UpdateExBordersPos(bool Redraw, int Blend)
{
    if (!BorderForm || !Form || !Form->HandleAllocated())
        return;
    if (FDestroying || FormGoing()) {
        InitExBorders(false);
        return;
    }
    if (Form->FormState().Contains(fsShowing) || (FCommonData->CtrlSkinState & 0x800) || FInAnimation ||
        FCommonData->FUpdating || !FDrawNonClientArea)
        return;
    BorderForm->UpdateExBordersPos(Redraw, Blend);
}

void TsSkinProvider::KillAnimations()
{
    for (TsCaptionButton* b : {&ButtonMin, &ButtonMax, &ButtonClose, &ButtonHelp})
        KillAnimation(*b);
    if (FTitleButtons)
        for (int i = 0; i < FTitleButtons->Count(); ++i)
            KillAnimation(FTitleButtons->Items(i)->BtnData);
}

TRect TsSkinProvider::ShadowSize()
{
    TsSkinManager* sm = Manager();
    return BorderForm && sm ? sm->FormShadowSize : TRect();
}

HWND TsSkinProvider::FrameHandle()
{
    return Form && Form->HandleAllocated() ? Form->Handle() : nullptr;
}

TPoint TsSkinProvider::FrameImageOrigin()
{
    const TsFrameMetrics m = Metrics();
    const TRect& s = m.Facts().Shadow;
    return TPoint(s.left + (BorderForm ? m.DiffBorder() : 0), s.top + (BorderForm ? m.DiffTitle() : 0));
}

BYTE TsSkinProvider::FrameAlpha()
{
    return Form && Form->AlphaBlend() ? Form->AlphaBlendValue() : 255;
}

TRect TsSkinProvider::FrameClientHole()
{
    if (!Form || (!FInAnimation && !Form->AlphaBlend()))
        return TRect();
    const TsFrameMetrics m = Metrics();
    const int left = m.OffsetX(), top = m.OffsetY() - LinesCount() * MenuHeight();
    return TRect(left, top, left + Form->ClientWidth(), top + Form->ClientHeight() + 1);
}

bool TsSkinProvider::FrameReady()
{
    return Form && Form->HandleAllocated() && !FDestroying;
}

bool TsSkinProvider::FrameModal()
{
    return Form && Form->FormState().Contains(fsModal);
}

void TsSkinProvider::FrameDoubleClick(int HitCode)
{
    if (FResizeMode == rmBorder && bInProcess) {
        const TPoint p = kvMousePos();
        StopMove(p.x, p.y);
        ::ReleaseCapture();
        bInProcess = false;
    }
    if (HitCode == HTCAPTION && SystemMenu) {
        if ((SystemMenu->VisibleClose() && (SystemMenu->EnabledMax() || SystemMenu->EnabledRestore())) ||
            (!HaveBorder(this) && ::IsIconic(Form->Handle()))) {
            const bool restore = Form->WindowState() == wsMaximized || ::IsIconic(Form->Handle());
            ::SendMessageW(Form->Handle(), WM_SYSCOMMAND, restore ? SC_RESTORE : SC_MAXIMIZE, 0);
            if (Alive(this) && SystemMenu)
                SystemMenu->UpdateItems(false);
        }
    } else if (HitCode == HTSYSMENU) {
        ::SendMessageW(Form->Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
    }
}

// The border window's hit test, P relative to the border window (image
// coordinates).  The caption buttons, sizing zones, title, menu line and
// grip of the skinned frame as the image shows them.
int TsSkinProvider::FrameBorderHitTest(TMessage& Message, const TPoint& P)
{
    if (OnExtHitTest) {
        Message.Result = 0;
        OnExtHitTest(Message);
        if (Message.Result != 0)
            return int(Message.Result);
    }
    const HWND wnd = FrameHandle();
    if (!wnd || !SystemMenu)
        return -1;
    const bool iconic = ::IsIconic(wnd) != 0;
    int code = -1;
    if (SystemMenu->VisibleClose()) {
        if (::PtInRect(&ButtonClose.Rect, P))
            code = HTCLOSE;
        else if (SystemMenu->VisibleMax() && ::PtInRect(&ButtonMax.Rect, P))
            code = SystemMenu->EnabledMax() || (SystemMenu->EnabledRestore() && !iconic) ? HTMAXBUTTON : HTCAPTION;
        else if ((SystemMenu->VisibleMin() || iconic) && ::PtInRect(&ButtonMin.Rect, P))
            code = iconic || SystemMenu->EnabledMin() ? HTMINBUTTON : HTCAPTION;
        else if ((::GetWindowLongW(wnd, GWL_EXSTYLE) & WS_EX_CONTEXTHELP) && ::PtInRect(&ButtonHelp.Rect, P))
            code = HTHELP;
    }
    for (int i = 0; code == -1 && i < FTitleButtons->Count(); ++i) {
        TsTitleButton* b = FTitleButtons->Items(i);
        if (b->Visible() && b->Enabled() && ::PtInRect(&b->BtnData.Rect, P))
            code = HTUDBTN + i;
    }
    if (code != -1) {
        SetHotHT(code, true);
        return code;
    }
    const TsFrameMetrics m = Metrics();
    const TRect& s = m.Facts().Shadow;
    const int w = BorderForm ? BorderForm->AForm->Width() : m.ImageWidth();
    const int h = BorderForm ? BorderForm->AForm->Height() : m.ImageHeight();
    const int sbw = SysBorderWidth(false);
    if (!::IsZoomed(wnd) && (::GetWindowLongW(wnd, GWL_STYLE) & WS_THICKFRAME)) {
        const bool bottom = P.y >= h - sbw - s.bottom && P.y <= h - s.bottom;
        const bool top = !bottom && P.y >= s.top && P.y <= s.top + sbw;
        const bool right = P.x >= w - sbw - s.right && P.x <= w - s.right;
        const bool left = !right && P.x >= s.left && P.x <= s.left + sbw;
        int zone = 0;
        if (left)
            zone = top ? HTTOPLEFT : bottom ? HTBOTTOMLEFT : HTLEFT;
        else if (right)
            zone = top ? HTTOPRIGHT : bottom ? HTBOTTOMRIGHT : HTRIGHT;
        else
            zone = top ? HTTOP : bottom ? HTBOTTOM : 0;
        if (zone) {
            SetHotHT(-1, true);
            return zone;
        }
    }
    SetHotHT(-1, true);
    const int sbhTrue = SysBorderHeight(true), sbhFalse = SysBorderHeight(false);
    const int chTrue = CaptionHeight(true), chFalse = CaptionHeight(false), mh = MenuHeight();
    if (P.y >= 0 && P.y <= sbhTrue + chTrue + s.top) {
        // The menu band answers as the menu, as on a form without a border window.
        if (mh > 0 && P.y >= sbhFalse + chFalse + s.top && P.y <= sbhFalse + chFalse + s.top + mh)
            return HTMENU;
        const TRect icon = IconRect();
        return ::PtInRect(&icon, P) ? HTSYSMENU : HTCAPTION;
    }
    if (P.y <= sbhTrue + chTrue + s.top + mh)
        return HTMENU;
    SetHotHT(0, true);
    return -1;
}
