// The extended-border window: a layered window right behind its owner that
// shows the owner's whole window image with the skin's shadow and wide
// frame.  Its owner (a form's provider or a dialog's skinner) answers through
// TkvFrameOwner; the border window's hit test reads the owner's frame metrics.
#include "skin/forms/sSkinProvider_ExBorders.h"

#include <algorithm>
#include <cstring>

#include "classlib/graphics/GdiHandles.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/sSkinProps.h"
#include "skin/core/sVclUtils.h"
#include "skin/forms/sSkinProvider.h"
#include "skin/paint/sAlphaGraph.h"
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

void OwnLikeForm(HWND Wnd, HWND Form)
{
    if (!Wnd || !Form)
        return;
    const HWND owner = ::GetWindow(Form, GW_OWNER);
    if (::GetWindow(Wnd, GW_OWNER) != owner)
        ::SetWindowLongPtrW(Wnd, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(owner));
}

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
    OwnLikeForm(h, owner);
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
    if (const int code = FOwner->FrameExtHitTest(Message))
        return code;
    const HWND owner = FOwner->FrameHandle();
    if (!owner || !::IsWindowEnabled(owner))
        return -1;
    const int code = FOwner->FrameMetrics().BorderWindowHitTest(LocalPoint(Message, false), AForm->Width(),
                                                                 AForm->Height());
    FOwner->FrameSetHotHT(IsCaptionButtonCode(code) ? code : 0);
    return code;
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
        Message.Result = MouseAboveTheShadow(Message) ? HTTRANSPARENT : HTBORDERWND;
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
// The image's alpha.

namespace {

// The shadow's margins see-through and black, the window inside them
// opaque; the template of the state, nullptr when the skin has none.
TBitmap* PrepareExImage(TBitmap* Image, const TRect& Shadow, TsSkinManager* Sm, bool Active)
{
    // The border painting makes the skin data's cache 24-bit again.
    if (Image->PixelFormat() != pf32bit)
        Image->SetPixelFormat(pf32bit);
    const TRect& s = Shadow;
    const HDC dc = Image->Canvas()->Handle();
    const int w = Image->Width(), h = Image->Height();
    for (const TRect& margin : {TRect(0, 0, w, s.top), TRect(0, h - s.bottom, w, h), TRect(0, 0, s.left, h),
                                TRect(w - s.right, 0, w, h)})
        if (!margin.IsEmpty()) {
            FillDC(dc, margin, clBlack);
            FillAlphaRect(Image, margin, 0);
        }
    FillAlphaRect(Image, TRect(s.left, s.top, w - s.right, h - s.bottom), 255);
    TBitmap* tmpl = Active ? Sm->ShdaTemplate : Sm->ShdiTemplate;
    return tmpl && !tmpl->Empty() ? tmpl : nullptr;
}

} // namespace

TBitmap* PaintExBorderAlpha(TBitmap* Image, const TRect& Shadow, TsSkinManager* Sm, bool Active, int TopMask,
                            int BottomMask, int TopLeftMax)
{
    const TRect& s = Shadow;
    const int w = Image->Width(), h = Image->Height();
    TBitmap* tmpl = PrepareExImage(Image, Shadow, Sm, Active);
    if (!tmpl)
        return nullptr;
    const int offs = Sm->SkinData ? Sm->SkinData->ExContentOffs : 0;
    PaintControlByTemplate(Image, tmpl, TRect(0, 0, w, h), TRect(0, 0, tmpl->Width(), tmpl->Height()),
                           TRect(s.left + offs, s.top + offs, s.right + offs, s.bottom + offs), s, TRect(1, 1, 1, 1),
                           false, false);
    const int tw = tmpl->Width(), th = tmpl->Height();
    // The corners of one edge from one mask, where it leaves them transparent.
    const auto corners = [&](int Mask, bool Top) {
        if (!Sm->IsValidImgIndex(Mask))
            return;
        int ml = Sm->MaskWidthLeft(Mask), mr = Sm->MaskWidthRight(Mask);
        const int mh = Top ? Sm->MaskWidthTop(Mask) : Sm->MaskWidthBottom(Mask);
        const int y = Top ? s.top : h - s.bottom - mh, ty = Top ? s.top : th - s.bottom - mh;
        int lh = mh;
        if (Top && TopLeftMax > 0) {
            ml = std::min(ml, TopLeftMax);
            lh = std::min(lh, TopLeftMax);
        }
        FillTransPixels32(Image, tmpl, TRect(s.left, y, s.left + ml, y + lh), TPoint(s.left, ty), Mask, Sm,
                          Top ? HTTOPLEFT : HTBOTTOMLEFT);
        FillTransPixels32(Image, tmpl, TRect(w - s.right - mr, y, w - s.right, y + mh), TPoint(tw - s.right - mr, ty),
                          Mask, Sm, Top ? HTTOPRIGHT : HTBOTTOMRIGHT);
    };
    corners(TopMask, true);
    corners(BottomMask, false);
    return tmpl;
}

TBitmap* PaintExModeTemplate(TBitmap* Image, const TRect& Shadow, TsSkinManager* Sm, bool Active, int SideLimit)
{
    TBitmap* tmpl = PrepareExImage(Image, Shadow, Sm, Active);
    if (!tmpl)
        return nullptr;
    const TRect& s = Shadow;
    TRect corners;
    const int ex = Sm->ConstData.ExBorder;
    if (Sm->IsValidImgIndex(ex)) {
        const TsMaskData& md = Sm->ma[std::size_t(ex)];
        corners = TRect(md.WL, md.WT, md.WR, md.WB);
        if (SideLimit >= 0) {
            corners.left = std::min<int>(corners.left, SideLimit + s.left);
            corners.right = std::min<int>(corners.right, SideLimit + s.right);
        }
    } else {
        // The template is the shadow's own picture: its margins frame it.
        const int offs = Sm->SkinData ? Sm->SkinData->ExContentOffs : 0;
        corners = TRect(s.left + offs, s.top + offs, s.right + offs, s.bottom + offs);
    }
    PaintControlByTemplate(Image, tmpl, TRect(0, 0, Image->Width(), Image->Height()),
                           TRect(0, 0, tmpl->Width(), tmpl->Height()), corners, TRect(255, 255, 255, 255),
                           TRect(1, 1, 1, 1), false, false);
    return tmpl;
}

void KeepAlphaOfChangedPixels(TBitmap* Image, TBitmap* Saved)
{
    if (!Image || !Saved || Image->PixelFormat() != pf32bit || Saved->PixelFormat() != pf32bit)
        return;
    const TBitmapRows img = Image->Rows(), old = Saved->Rows();
    const int rows = std::min(img.Height, old.Height), cols = std::min(img.Width, old.Width);
    for (int y = 0; y < rows; ++y) {
        uint8_t* p = img.Row(y);
        const uint8_t* q = old.Row(y);
        for (int x = 0; x < cols; ++x, p += 4, q += 4)
            if (std::memcmp(p, q, 4) != 0)
                p[3] = q[3];
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
    return Metrics().ImageOrigin();
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

// The user's own hit test of the border window's point comes first.
int TsSkinProvider::FrameExtHitTest(TMessage& Message)
{
    if (!OnExtHitTest)
        return 0;
    Message.Result = 0;
    OnExtHitTest(Message);
    return int(Message.Result);
}
