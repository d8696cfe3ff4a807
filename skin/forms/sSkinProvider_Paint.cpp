// The messages that keep a skinned form's window image in step with the
// form: sizing, activation, caption changes, painting, printing and the
// form's first showing with its show animation.
#include "skin/forms/sSkinProvider.h"

#include "skin/core/sMessages.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/sSkinProps.h"
#include "skin/core/sVclUtils.h"
#include "skin/core/sVclUtils_Anim.h"
#include "skin/forms/sMDIForm.h"
#include "skin/forms/sSkinMenus.h"
#include "skin/paint/sAlphaGraph.h"
#include "skin/paint/sGraphUtils.h"

namespace {

bool EmptyClip(HDC DC)
{
    RECT r;
    const int kind = ::GetClipBox(DC, &r);
    return kind == NULLREGION || r.right <= r.left || r.bottom <= r.top;
}

void InvalidateSquare(HWND Wnd, int Right, int Bottom, int W, int H, bool Erase)
{
    RECT r{Right - W, Bottom - H, Right, Bottom};
    ::InvalidateRect(Wnd, &r, Erase);
}

bool Iconic(TCustomForm* Form)
{
    return Form->HandleAllocated() && ::IsIconic(Form->Handle());
}

bool Zoomed(TCustomForm* Form)
{
    return Form->HandleAllocated() && ::IsZoomed(Form->Handle());
}

} // namespace

void TsSkinProvider::WMSize(TMessage& Message)
{
    const HWND wnd = Form->Handle();
    TsSkinManager* sm = Manager();
    const TRect client = Form->GetClientRect();
    const bool grew = client.Width() > LastClientRect.Width() || client.Height() > LastClientRect.Height();
    const bool shrank = client.Width() < LastClientRect.Width() || client.Height() < LastClientRect.Height();
    const bool cached = IsCached(FCommonData);
    if (IsGripVisible()) {
        const int grip = sm->GetMaskIndex(s_GlobalInfo, s_GripImage);
        if (sm->IsValidImgIndex(grip)) {
            const TSize s = sm->MaskSize(grip);
            if (grew && !cached && !LastClientRect.IsEmpty())
                InvalidateSquare(wnd, LastClientRect.right, LastClientRect.bottom, s.cx, s.cy, true);
            if (shrank)
                InvalidateSquare(wnd, client.right, client.bottom, s.cx, s.cy, !cached);
        }
    }
    if (shrank || LastClientRect.IsEmpty()) {
        for (const wchar_t* mask : {s_ImgTopRight, s_ImgBtmRight}) {
            const int i = sm->GetMaskIndex(FCommonData->SkinIndex, s_Form, mask);
            if (sm->IsValidImgIndex(i)) {
                const TSize s = sm->MaskSize(i);
                InvalidateSquare(wnd, LastClientRect.right, LastClientRect.bottom, s.cx, s.cy, !cached);
            }
        }
        if (sm->gd[FCommonData->SkinIndex].GradientPercent > 0)
            ::InvalidateRect(wnd, nullptr, TRUE);
    }
    LastClientRect = TRect(0, 0, client.Width(), client.Height());
    FreeAndNil(FGlow1);
    FreeAndNil(FGlow2);
    OldWndProc(Message);
    if (InAnimationProcess || !Alive(this) || FormGoing())
        return;
    if (Form->Showing()) {
        if (!FormChanged() || (Iconic(Form) && AeroIsEnabled())) {
            if (Form->FormStyle() == fsMDIForm && IsCached(FCommonData)) {
                ::SendMessageW(wnd, WM_NCPAINT, 0, 0);
            } else if (Message.WParam == SIZE_MAXIMIZED && Form->FormStyle() == fsMDIChild && Zoomed(Form) &&
                       Alive(MDISkinProvider)) {
                // The maximised child's buttons go into the main form's menu line.
                MDISkinProvider->BackgroundChanged();
                MDISkinProvider->MenuChanged = true;
                ::RedrawWindow(wnd, nullptr, nullptr, RDW_FRAME | RDW_ALLCHILDREN | RDW_INVALIDATE);
            }
        } else {
            RgnChanged = true;
            BackgroundChanged();
            FLinesCount = -1;
            TBitmap* cache = FCommonData->FCacheBmp;
            const bool big = !cache || (IsCached(FCommonData) && (cache->Width() > Form->Width() ||
                                                                  cache->Height() > Form->Height()));
            if (FDrawNonClientArea) {
                if (BorderForm)
                    UpdateExBordersPos(true, 255);
                ::UpdateWindow(wnd);
                ::RedrawWindow(wnd, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
            }
            if (big && !AeroIsEnabled())
                ::InvalidateRect(wnd, nullptr, FALSE);
            return;
        }
    } else {
        BackgroundChanged();
    }
    if (BorderForm)
        UpdateExBordersPos(true, 255);
}

void TsSkinProvider::WMActivate(TMessage& Message)
{
    OldWndProc(Message);
    if (!Form->Showing() || !Alive(this) || FormGoing())
        return;
    if (!ListSW && FDrawNonClientArea)
        UpdateScrollWrapper(this, ListSW);
    if (Form->FormState().Contains(fsCreating))
        return;
    FLinesCount = -1;
    if (Form->FormStyle() == fsMDIChild && Alive(MDISkinProvider) && MDISkinProvider->Form) {
        // The other children show their captions inactive now.
        TForm* main = MDISkinProvider->Form;
        for (int i = 0; i < main->MDIChildCount(); ++i)
            if (TForm* other = main->MDIChildren(i); other && other != Form && other->HandleAllocated() &&
                                                     ::IsWindowVisible(other->Handle()))
                ::SendMessageW(other->Handle(), WM_NCPAINT, 0, 0);
        MDISkinProvider->BackgroundChanged();
    }
    if (!Manager()->ComponentState().Contains(csDesigning))
        InitMenuItems(FCommonData->Skinned());
    if (SystemMenu)
        SystemMenu->UpdateItems(false);
    if (Form->BorderStyle() == bsNone)
        SetParentUpdated(Form);
}

void TsSkinProvider::WMSetText(TMessage& Message)
{
    if (!Form->Showing() || Form->FormState().Contains(fsCreating) || !FDrawNonClientArea) {
        OldWndProc(Message);
        return;
    }
    FreeAndNil(FGlow1);
    FreeAndNil(FGlow2);
    if (Form->FormStyle() == fsMDIChild && Zoomed(Form) && Alive(MDISkinProvider)) {
        // A maximised child's caption shows in the main form's title.
        TsSkinProvider* main = MDISkinProvider;
        main->BackgroundChanged();
        ShowCaptionCover(main, false);
        OldWndProc(Message);
        if (Alive(main))
            FreeCaptionCover(main);
    } else if (AeroIsEnabled()) {
        OldWndProc(Message);
        UpdateSkinCaption(this);
    } else {
        BackgroundChanged();
        ShowCaptionCover(this, false);
        OldWndProc(Message);
        FreeCaptionCover(this);
        if (Form->AlphaBlend())
            ::SendMessageW(Form->Handle(), WM_NCPAINT, 0, 0);
    }
    if (BorderForm)
        UpdateExBordersPos(true, 255);
}

void TsSkinProvider::WMPaint(TMessage& Message)
{
    if (Form->ControlState().Contains(csPaintCopy))
        return;
    if (BorderForm && !FInAnimation)
        UpdateExBordersPos(false, 255);
    if (IsCached(FCommonData)) {
        if (!Form->Showing()) {
            if (BorderForm || Form->AlphaBlend())
                OldWndProc(Message);
            return;
        }
        OurPaintHandler(Message);
        if (MDICreating) {
            // A child made while the active child is maximised comes up maximised.
            MDICreating = false;
            if (Form->FormStyle() == fsMDIChild)
                ::SendMessageW(Form->Handle(), WM_SYSCOMMAND, SC_MAXIMIZE, 0);
        }
        if (Form->FormStyle() == fsMDIForm && !Message.WParam && Alive(this)) {
            const HDC dc = ::GetDC(Form->Handle());
            PaintControls(dc, Form, true, TPoint(0, 0));
            ::ReleaseDC(Form->Handle(), dc);
        }
        Message.Result = 0;
    } else {
        if (!Form->Showing()) {
            OldWndProc(Message);
            return;
        }
        if (FCommonData->BGChanged)
            ::InvalidateRect(Form->Handle(), nullptr, TRUE);
        PAINTSTRUCT ps;
        ::BeginPaint(Form->Handle(), &ps);
        ::EndPaint(Form->Handle(), &ps);
        Message.Result = 0;
    }
    if (!FInAnimation && Form->OnPaint && Alive(this))
        Form->OnPaint(Form);
}

void TsSkinProvider::WMEraseBkgnd(TMessage& Message)
{
    if (!Form->Showing()) {
        OldWndProc(Message);
        return;
    }
    if (FCommonData->CtrlSkinState & CSS_INUPDATE)
        return;
    HDC dc = reinterpret_cast<HDC>(Message.WParam);
    // The class library's own erase into a given device context.
    if (Form->ControlState().Contains(csPaintCopy) || Message.WParam == WPARAM(Message.LParam)) {
        if (dc) {
            if (FCommonData->BGChanged)
                PaintAll();
            if (!FCommonData->BGChanged) {
                TBitmap* cache = FCommonData->FCacheBmp;
                if (IsCached(FCommonData) && cache)
                    ::BitBlt(dc, 0, 0, Form->Width(), Form->Height(), cache->Canvas()->Handle(), OffsetX(),
                             OffsetY(), SRCCOPY);
                else
                    FillDC(dc, TRect(0, 0, Form->Width(), Form->Height()), GetControlColor(Form));
            }
        }
        Message.Result = 1;
        return;
    }
    TForm* activeChild = Form->FormStyle() == fsMDIForm ? Form->ActiveMDIChild() : nullptr;
    if (!IsCached(FCommonData) || (activeChild && Zoomed(activeChild))) {
        const bool own = !dc || (AeroIsEnabled() && EmptyClip(dc));
        if (own)
            dc = ::GetDC(Form->Handle());
        KV_WMEraseBkGnd(Message, dc);
        if (own)
            ::ReleaseDC(Form->Handle(), dc);
        if (MDICreating) {
            MDICreating = false;
            if (Form->FormStyle() == fsMDIChild)
                MaxChildProvider = this;
        }
        Message.Result = 1;
        return;
    }
    if (!FCommonData->GetUpdating() && dc && EmptyClip(dc)) {
        SetParentUpdated(Form);
        return;
    }
    Message.Result = 1;
}

// A shown MDI child: skinned from now on, and the main form's menu line
// shows what the child brings to it.
void TsSkinProvider::MDIChildActivated()
{
    const TFormState fs = Form->FormState();
    if (!fs.Contains(fsCreatedMDIChild) || !fs.Contains(fsShowing) || !Alive(MDISkinProvider) ||
        !MDISkinProvider->MDIForm)
        return;
    if (!SystemMenu)
        PrepareForm();
    TsSkinProvider* main = MDISkinProvider;
    main->BackgroundChanged();
    main->FLinesCount = -1;
    if (auto* support = dynamic_cast<TsMDIForm*>(main->MDIForm))
        support->UpdateMDIIconItem();
    if (main->Form && main->Form->HandleAllocated()) {
        ::SendMessageW(main->Form->Handle(), WM_NCPAINT, 0, 0);
        if (main->Form->ClientHandle())
            ::SendMessageW(main->Form->ClientHandle(), WM_NCPAINT, 0, 0);
    }
}

void TsSkinProvider::WMNCActivate(TMessage& Message)
{
    if (FDestroying) {
        OldWndProc(Message);
        return;
    }
    FormActive = Message.WParam != 0;
    if (FormActive || ShowAction != saMaximize) {
        if (ShowAction == saMaximize) {
            FCommonData->SetUpdating(!BorderForm);
        } else {
            BackgroundChanged();
            FCommonData->SetUpdating(false);
        }
    } else {
        ShowAction = saIgnore;
    }
    const HWND wnd = Form->Handle();
    if (Form->Showing()) {
        const bool hold = fAnimating || RTInit;
        if (hold)
            ::SendMessageW(wnd, WM_SETREDRAW, 0, 0);
        const bool cover = !hold && (!BorderForm || Form->Menu());
        if (cover)
            ShowCaptionCover(this, false);
        if (BorderForm && !Manager()->AnimEffects()->FormShow()->Active() && !AeroIsEnabled())
            UpdateRegion();
        OldWndProc(Message);
        if (!Alive(this))
            return;
        if (cover)
            FreeCaptionCover(this);
        if (hold)
            ::SendMessageW(wnd, WM_SETREDRAW, 1, 0);
    } else {
        OldWndProc(Message);
        if (!Alive(this))
            return;
    }
    if (Form->FormStyle() == fsMDIChild && Form->Visible())
        MDIChildActivated();
    if (::GetWindowLongW(wnd, GWL_EXSTYLE) & WS_EX_LAYERED)
        ::SendMessageW(wnd, WM_NCPAINT, 0, 0);
    if (Form->FormState().Contains(fsCreating))
        return;
    if (HaveBorder(this) && MDIButtonsNeeded()) {
        // The menu line shows the active child's buttons: its state follows the child's.
        TForm* child = Form->ActiveMDIChild();
        const bool active = LOWORD(Message.WParam) != 0 || (child && child->Active());
        if (active || FormActive) {
            FormActive = active;
            FLinesCount = -1;
        }
    }
    ::SendMessageW(wnd, WM_NCPAINT, 0, 0);
    if (BorderForm)
        UpdateExBordersPos(true, 255);
    if (!Manager()->ComponentState().Contains(csDesigning))
        InitMenuItems(FCommonData->Skinned());
    if (!MenusInitialized && UpdateMenu())
        MenusInitialized = true;
    if (FCommonData->Skinned() && !Adapter)
        AdapterCreate();
}

void TsSkinProvider::WMPrint(TMessage& Message)
{
    HDC dc = reinterpret_cast<HDC>(Message.WParam);
    if (!Form->Visible() || ComponentState().Contains(csLoading) || Form->FormState().Contains(fsCreating) ||
        FormGoing() || !dc || BehindMaximisedChild())
        return;
    if (!MenusInitialized && UpdateMenu())
        MenusInitialized = true;
    FCommonData->SetUpdating(false);
    if (BorderForm)
        PrintWithBorderWindow(dc);
    else
        PrintWithoutBorderWindow(dc);
    if (Form->FormStyle() == fsMDIForm && Form->ClientHandle())
        ::SendMessageW(Form->ClientHandle(), WM_PRINT, WPARAM(dc), Message.LParam);
    if (Form->OnPaint) {
        Form->Canvas()->SetHandle(dc);
        try {
            Form->OnPaint(Form);
        } catch (...) {
            Form->Canvas()->SetHandle(nullptr);
            throw;
        }
        Form->Canvas()->SetHandle(nullptr);
    }
}

void TsSkinProvider::PrintWithoutBorderWindow(HDC DC)
{
    if (FDrawNonClientArea) {
        if (!HaveBorder(this) && (::GetWindowLongW(Form->Handle(), GWL_STYLE) & WS_THICKFRAME))
            PaintThinFrame(DC);
        else
            PaintCaption(DC);
    }
    // The client part, and the children that the caller prints next, stand
    // in the client area: the origin stays there for the caller.
    ::OffsetViewportOrgEx(DC, OffsetX(), OffsetY(), nullptr);
    const TRect client = Form->GetClientRect();
    ::IntersectClipRect(DC, 0, 0, client.Width(), client.Height());
    const bool ownChildren = (FCommonData->CtrlSkinState & CSS_NOCACHE) && Form->FormStyle() != fsMDIForm;
    if (ownChildren)
        ExcludeControls(DC, Form, kvtGraphic, 0, 0);
    PaintForm(DC, true);
    if (ownChildren)
        PaintControls(DC, Form, true, TPoint(0, 0));
}

// With a border window the print is the whole image, shadow and frame
// included (the border window's picture), with the children over its client
// part: the origin is left at the client area for the caller.
void TsSkinProvider::PrintWithBorderWindow(HDC DC)
{
    if (FCommonData->BGChanged)
        PaintAll();
    TBitmap* cache = FCommonData->FCacheBmp;
    if (!cache)
        return;
    ::BitBlt(DC, 0, 0, cache->Width(), cache->Height(), cache->Canvas()->Handle(), 0, 0, SRCCOPY);
    ::OffsetViewportOrgEx(DC, OffsetX(), OffsetY() + (Metrics().MenuHeight() != 0 ? 1 : 0), nullptr);
    const TRect client = Form->GetClientRect();
    ::IntersectClipRect(DC, 0, 0, client.Width(), client.Height());
    if (Form->FormStyle() != fsMDIForm)
        PaintControls(DC, Form, true, TPoint(0, 0));
}

void TsSkinProvider::CMShowingChanged(TMessage& Message)
{
    if (!FCommonData->BGChanged || !Form->Showing() || !FDrawNonClientArea) {
        OldWndProc(Message);
        return;
    }
    InitMenuItems(FCommonData->Skinned());
    AddAllItems(Form);
    TsSkinManager* sm = Manager();
    fAnimating = Form->FormStyle() != fsMDIChild && !Form->Parent() && sm->AnimEffects()->FormShow()->Active();
    if (fAnimating) {
        ShowAnimated(Message);
        return;
    }
    FCommonData->SetUpdating(false);
    InitExBorders(sm->ExtendedBorders());
    OldWndProc(Message);
    if (Alive(this))
        UpdateScrollWrapper(this, ListSW);
}

// The form comes up hidden (by layering, or at alpha 0) with its children
// not drawing, and the show animation paints it in.
void TsSkinProvider::ShowAnimated(TMessage& Message)
{
    TsSkinManager* sm = Manager();
    FCommonData->SetUpdating(true);
    FInAnimation = true;
    const bool layered = HideByLayering(Form, true);
    int alpha = 255;
    if (layered) {
        UpdateRegion();
        RgnChanging = false;
    } else {
        alpha = Form->AlphaBlendValue();
        Form->SetAlphaBlendValue(0);
    }
    std::vector<HWND> held;
    for (int i = 0; i < Form->ControlCount(); ++i)
        if (auto* w = dynamic_cast<TWinControl*>(Form->Controls(i));
            w && w->Visible() && w->HandleAllocated() && w->ClassName() != L"TCoolBar") {
            ::SendMessageW(w->Handle(), WM_SETREDRAW, 0, 0);
            held.push_back(w->Handle());
        }
    InitExBorders(sm->ExtendedBorders());
    OldWndProc(Message);
    // Showing the form ran the application's OnShow: it may have freed it.
    for (HWND h : held)
        if (::IsWindow(h))
            ::SendMessageW(h, WM_SETREDRAW, 1, 0);
    if (!Alive(this) || FormGoing())
        return;
    UpdateScrollWrapper(this, ListSW);
    if (layered)
        HideByLayering(Form, false);
    fAnimating = false;
    const TkvFormShow* show = sm->AnimEffects()->FormShow();
    if (BorderForm) {
        AnimShowForm(*this, show->Time(), alpha, show->Mode());
    } else {
        AnimShowControl(Form, show->Time(), alpha, show->Mode());
        UpdateRegion();
        ::RedrawWindow(Form->Handle(), nullptr, nullptr, IsCached(FCommonData) ? 0x5A1 : 0x585);
    }
    if (!layered && Alive(this) && !FormGoing())
        Form->SetAlphaBlendValue(BYTE(alpha));
    FInAnimation = false;
    RgnChanging = false;
}
