// TCustomForm: creation from its resource, showing, closing and releasing,
// and its own window messages.
#include "classlib/controls/Forms.h"

#include "classlib/controls/ControlsPrivate.h"
#include "classlib/controls/Menus.h"
#include "classlib/rtl/SysUtils.h"

// ---------------------------------------------------------------------------
TCustomForm* GetParentForm(TControl* Control, bool TopForm)
{
    if (!Control)
        return nullptr;
    if (TopForm) {
        while (Control->Parent())
            Control = Control->Parent();
        return dynamic_cast<TCustomForm*>(Control);
    }
    for (; Control; Control = Control->Parent())
        if (auto* f = dynamic_cast<TCustomForm*>(Control))
            return f;
    return nullptr;
}

TCustomForm* ValidParentForm(TControl* Control, bool TopForm)
{
    TCustomForm* f = GetParentForm(Control, TopForm);
    if (!f)
        throw EInvalidOperation(L"Control '" + (Control ? Control->Name() : UnicodeString()) + L"' has no parent form");
    return f;
}

// ---------------------------------------------------------------------------
// TCustomForm
TCustomForm::TCustomForm(TComponent* AOwner) : TScrollingWinControl(AOwner) { Init(); }

TCustomForm::TCustomForm(TComponent* AOwner, int) : TScrollingWinControl(AOwner)
{
    FCreatedNew = true;
    Init();
}

void TCustomForm::Init()
{
    FVisible = false;
    FControlStyle = {csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
    FParentColor = false;
    FParentFont = false;
    FColor = clBtnFace;
    FBrush->SetColor(FColor);
    FLeft = 0;
    FTop = 0;
    FWidth = 320;
    FHeight = 240;
    FIcon = new TIcon();
    FIcon->OnChange = Bind(this, &TCustomForm::IconChanged);
    FCanvas = new TControlCanvas();
    FCanvas->SetControl(this);
    if (Screen)
        Screen->AddForm(this);
}

TCustomForm::~TCustomForm()
{
    Unlist();
    delete FCanvas;
    FCanvas = nullptr;
    delete FIcon;
    FIcon = nullptr;
}

void TCustomForm::AfterConstruction()
{
    TWinControl::AfterConstruction();
    if (!FCreatedNew) {
        UnicodeString cls = ClassName();
        if (cls != L"TForm" && cls != L"TCustomForm") {
            TStateScope creating(FFormState, fsCreating);
            if (!InitInheritedComponent(this, L"TForm"))
                throw EReadError(L"Resource " + UpperCase(cls) + L" not found");
        }
    }
    DoCreate();
}

void TCustomForm::BeforeDestruction()
{
    DoDestroy();
    Unlist();
    TWinControl::BeforeDestruction();
}

void TCustomForm::Unlist()
{
    if (Screen)
        Screen->RemoveForm(this);
    if (Application && Application->FMainForm == this)
        Application->FMainForm = nullptr;
}

void TCustomForm::DoCreate()
{
    // An exception in OnCreate ends the handler; the form still opens.
    try {
        if (OnCreate)
            OnCreate(this);
    } catch (...) {
        ControlsHandleException(this);
    }
}

void TCustomForm::DoDestroy()
{
    try {
        if (OnDestroy)
            OnDestroy(this);
    } catch (...) {
        ControlsHandleException(this);
    }
}

void TCustomForm::Loaded()
{
    TScrollingWinControl::Loaded();
    if (FStoredClientWidth >= 0 || FStoredClientHeight >= 0) {
        TRect r = GetClientRect();
        int w = FStoredClientWidth >= 0 ? FStoredClientWidth : r.Width();
        int h = FStoredClientHeight >= 0 ? FStoredClientHeight : r.Height();
        FStoredClientWidth = FStoredClientHeight = -1;
        SetClientSize(w, h);
    }
    Realign();
    if (FVisible)
        UpdateControlState();
}

void TCustomForm::SetClientWidth(int Value)
{
    if (ComponentState().Contains(csLoading)) {
        FStoredClientWidth = Value;
        return;
    }
    TWinControl::SetClientWidth(Value);
}

void TCustomForm::SetClientHeight(int Value)
{
    if (ComponentState().Contains(csLoading)) {
        FStoredClientHeight = Value;
        return;
    }
    TWinControl::SetClientHeight(Value);
}

void TCustomForm::IconChanged(TObject*)
{
    if (FHandle)
        ::SendMessageW(FHandle, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(FIcon->Empty() ? nullptr : FIcon->Handle()));
}

void TCustomForm::CMShowingChanged(TMessage&)
{
    if (!FHandle)
        return;
    if (FShowing) {
        {
            TStateScope showing(FFormState, fsShowing);
            ApplyPosition();
            try {
                DoShow();
            } catch (...) {
                ControlsHandleException(this);
            }
            static const int cmds[] = {SW_SHOWNORMAL, SW_SHOWMINIMIZED, SW_SHOWMAXIMIZED};
            ::ShowWindow(FHandle, cmds[FWindowState]);
            if (FFormStyle == fsStayOnTop)
                ::SetWindowPos(FHandle, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        }
        FFormState += fsVisible;
    } else {
        try {
            DoHide();
        } catch (...) {
            ControlsHandleException(this);
        }
        ::ShowWindow(FHandle, SW_HIDE);
        FFormState -= fsVisible;
    }
}

void TCustomForm::DoShow()
{
    if (OnShow)
        OnShow(this);
}

void TCustomForm::DoHide()
{
    if (OnHide)
        OnHide(this);
}

void TCustomForm::Show()
{
    SetVisible(true);
    if (FHandle && FShowing)
        ::SetWindowPos(FHandle, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

void TCustomForm::Hide() { SetVisible(false); }

bool TCustomForm::CloseQuery()
{
    bool canClose = true;
    if (OnCloseQuery)
        OnCloseQuery(this, canClose);
    return canClose;
}

void TCustomForm::DoClose(TCloseAction& Action)
{
    if (OnClose)
        OnClose(this, Action);
}

void TCustomForm::Close()
{
    if (FFormState.Contains(fsModal)) {
        FModalResult = mrCancel;
        return;
    }
    // Idempotent: a form already on its way out is not closed again.
    if (FClosing)
        return;
    if (!CloseQuery())
        return;
    // An MDI child cannot hide: it is minimised, where it may be.
    TCloseAction action = caHide;
    if (FFormStyle == fsMDIChild)
        action = FBorderIcons.Contains(biMinimize) ? caMinimize : caNone;
    FClosing = true;
    try {
        DoClose(action);
    } catch (...) {
        FClosing = false;
        throw;
    }
    FClosing = false;
    if (action == caNone)
        return;
    if (Application && Application->MainForm() == this) {
        Application->Terminate();
        return;
    }
    switch (action) {
    case caHide: Hide(); break;
    case caMinimize: SetWindowState(wsMinimized); break;
    case caFree: Release(); break;
    default: break;
    }
}

void TCustomForm::Release()
{
    // A posted message: the form goes after the current handler returns.
    FClosing = true;
    ::PostMessageW(Handle(), CM_RELEASE, 0, 0);
}

void TCustomForm::CMRelease(TMessage&)
{
    // A modal form's loop still runs on this object: the loop ends, and the
    // form goes once ShowModal has returned.
    if (FFormState.Contains(fsModal)) {
        FReleaseAfterModal = true;
        if (FModalResult == mrNone)
            FModalResult = mrCancel;
        return;
    }
    TObject* self = this;
    FreeAndNil(self);
}

void TCustomForm::WMSize(TMessage& Message)
{
    // The window state follows the system's (the user minimises, restores...)
    // once the window is shown.  A hidden window is sized while it is made
    // (a popup-style one is told "restored" at once), restyled or placed;
    // that says nothing of the state it is to show in.
    if (::GetWindowLongW(FHandle, GWL_STYLE) & WS_VISIBLE) {
        switch (Message.WParam) {
        case SIZE_MINIMIZED: FWindowState = wsMinimized; break;
        case SIZE_MAXIMIZED: FWindowState = wsMaximized; break;
        case SIZE_RESTORED: FWindowState = wsNormal; break;
        default: break;
        }
    }
    TWinControl::WMSize(Message);
}

void TCustomForm::WMNCDestroy(TMessage& Message)
{
    TWinControl::WMNCDestroy(Message);
    // Destroyed from outside (not by us, nor by a recreation): the form is
    // no longer shown, and a later Show makes a new window.
    if (!FControlState.Contains(csDestroyingHandle)) {
        FVisible = false;
        FFormState -= fsVisible;
    }
}

void TCustomForm::WMClose(TMessage&) { Close(); }

void TCustomForm::WMSysCommand(TMessage& Message)
{
    if ((Message.WParam & 0xFFF0) == SC_MINIMIZE && Application && Application->MainForm() == this &&
        !Application->MainFormOnTaskBar()) {
        Application->Minimize();
        return;
    }
    DefaultHandler(Message);
}

void TCustomForm::Paint()
{
    if (OnPaint)
        OnPaint(this);
}

void TCustomForm::PaintWindow(HDC DC)
{
    TCanvasPaintScope scope(FCanvas, DC);
    Paint();
}

void TCustomForm::WndProc(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_CLOSE: WMClose(Message); return;
    case WM_ACTIVATE: WMActivate(Message); return;
    case WM_SYSCOMMAND: WMSysCommand(Message); return;
    case CM_RELEASE: CMRelease(Message); return;
    case CM_ACTIVATE: CMActivate(Message); return;
    case CM_DEACTIVATE: CMDeactivate(Message); return;
    case CM_MENUCHANGED: CMMenuChanged(Message); return;
    case WM_INITMENUPOPUP: WMInitMenuPopup(Message); return;
    case WM_MENUCHAR: WMMenuChar(Message); return;
    case WM_MDIACTIVATE: WMMDIActivate(Message); return;
    default:
        break;
    }
    TScrollingWinControl::WndProc(Message);
}

// ---------------------------------------------------------------------------
// Published properties.
KV_BEGIN_PUBLISHED(TCustomForm, TScrollingWinControl)
    B.Bool(L"AlphaBlend", &C::AlphaBlend, &C::SetAlphaBlend, false);
    B.Int(L"AlphaBlendValue", &C::AlphaBlendValue, &C::SetAlphaBlendValue, 255);
    B.Enum(L"BorderStyle", &C::BorderStyle, &C::SetBorderStyle, bsSizeable,
           {L"bsNone", L"bsSingle", L"bsSizeable", L"bsDialog", L"bsToolWindow", L"bsSizeToolWin"},
           L"TFormBorderStyle");
    B.Set(L"BorderIcons", &C::BorderIcons, &C::SetBorderIcons, 7,
          {L"biSystemMenu", L"biMinimize", L"biMaximize", L"biHelp"}, L"TBorderIcons");
    B.Enum(L"WindowState", &C::WindowState, &C::SetWindowState, wsNormal,
           {L"wsNormal", L"wsMinimized", L"wsMaximized"}, L"TWindowState");
    B.Enum(L"Position", &C::Position, &C::SetPosition, poDesigned,
           {L"poDesigned", L"poDefault", L"poDefaultPosOnly", L"poDefaultSizeOnly", L"poScreenCenter",
            L"poDesktopCenter", L"poMainFormCenter", L"poOwnerFormCenter"},
           L"TPosition");
    B.Enum(L"FormStyle", &C::FormStyle, &C::SetFormStyle, fsNormal,
           {L"fsNormal", L"fsMDIChild", L"fsMDIForm", L"fsStayOnTop"}, L"TFormStyle");
    B.Int(L"ClientWidth", &C::ClientWidthProp, &C::SetClientWidth, TPropInfo::NoDefault);
    B.Int(L"ClientHeight", &C::ClientHeightProp, &C::SetClientHeight, TPropInfo::NoDefault);
    B.Bool(L"KeyPreview", &C::KeyPreview, &C::SetKeyPreview, false);
    B.Object(L"Icon", &C::Icon, &C::SetIcon);
    B.Ref(L"ActiveControl", &C::ActiveControl, &C::SetActiveControl);
    B.Ref(L"Menu", &C::Menu, &C::SetMenu);
    B.Ref(L"WindowMenu", &C::WindowMenu, &C::SetWindowMenu);
    B.Enum(L"TileMode", &C::TileMode, &C::SetTileMode, tbHorizontal, {L"tbHorizontal", L"tbVertical"}, L"TTileMode");
    // Kept by form resources for the designer's sake; nothing reads them.
    B.Int(L"PixelsPerInch", &C::FStoredPixelsPerInch, &C::FStoredPixelsPerInch, 96);
    B.Int(L"TextHeight", &C::FStoredTextHeight, &C::FStoredTextHeight, 13);
    B.Bool(L"OldCreateOrder", &C::FStoredOldCreateOrder, &C::FStoredOldCreateOrder, false);
    B.Bool(L"Scaled", &C::FStoredScaled, &C::FStoredScaled, true);
    B.Event(L"OnCreate", &C::OnCreate);
    B.Event(L"OnDestroy", &C::OnDestroy);
    B.Event(L"OnShow", &C::OnShow);
    B.Event(L"OnHide", &C::OnHide);
    B.Event(L"OnClose", &C::OnClose);
    B.Event(L"OnCloseQuery", &C::OnCloseQuery);
    B.Event(L"OnActivate", &C::OnActivate);
    B.Event(L"OnDeactivate", &C::OnDeactivate);
    B.Event(L"OnPaint", &C::OnPaint);
KV_END_PUBLISHED

KV_BEGIN_PUBLISHED(TForm, TCustomForm)
KV_END_PUBLISHED
