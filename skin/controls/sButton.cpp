#include "skin/controls/sButton.h"

#include "classlib/controls/ActnList.h"
#include "classlib/controls/Forms.h"
#include "skin/controls/sButton_Layout.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/sStyleSimply.h"
#include "skin/core/sVclUtils.h"
#include "skin/paint/kvGlow.h"
#include "skin/paint/sAlphaGraph.h"
#include "skin/paint/sBorders.h"
#include "skin/paint/sFade.h"
#include "skin/paint/sGraphUtils.h"
#include "skin/paint/sGraphUtils_Sections.h"
#include "skin/paint/sGraphUtils_Text.h"

// ---------------------------------------------------------------------------
// TsPushButtonCore

TsPushButtonCore::TsPushButtonCore(TButton& Button, TsFrameHost& Host, TsCtrlFrame& Frame)
    : FButton(Button), FHost(Host), FFrame(Frame)
{
}

TsPushButtonCore::~TsPushButtonCore() { DeleteHeldRegion(); }

void TsPushButtonCore::DeleteHeldRegion()
{
    if (FRegion && FRegion != NoRegionYet())
        ::DeleteObject(FRegion);
}

int TsPushButtonCore::CurrentState()
{
    TsCommonData* d = Data();
    TsPushStateFacts f;
    if (FButton.HandleAllocated()) {
        HWND wnd = FButton.Handle();
        // Straight to the system's button: the answer is its own, and the
        // message need not travel the skinning chain at every paint.
        WNDPROC sys = FButton.DefWndProc() ? FButton.DefWndProc() : ::DefWindowProcW;
        f.Pushed = (::CallWindowProcW(sys, wnd, BM_GETSTATE, 0, 0) & BST_PUSHED) != 0;
        f.DefPushStyle = (::GetWindowLongW(wnd, GWL_STYLE) & 0xF) == BS_DEFPUSHBUTTON;
    }
    f.ForcedPressed = fGlobalFlag;
    f.MouseAbove = d && d->FMouseAbove;
    f.LButtonDownHeld = FButton.ControlState().Contains(csLButtonDown);
    f.Down = Down;
    f.IsFocused = IsFocused;
    f.ControlActive = d && ControlIsActive(d);
    f.DesigningDefault = FButton.ComponentState().Contains(csDesigning) && FButton.Default();
    return PushButtonState(f);
}

void TsPushButtonCore::NewRegionIfChanged()
{
    if (!RegionChanged)
        return;
    // A region made by a rebuild outside painting (a fade's) and never
    // applied goes before its successor is made.
    DeleteHeldRegion();
    FRegion = ::CreateRectRgn(0, 0, FButton.Width(), FButton.Height());
}

void TsPushButtonCore::PaintBorder(int State)
{
    TsCommonData* d = Data();
    TsSkinManager* m = d->GetSkinManager();
    if (!m || !m->IsValidImgIndex(d->BorderIndex))
        return;
    const TsMaskData& mask = m->ma[d->BorderIndex];
    if (State != 0 || !(mask.DrawMode & 2)) {
        HRGN rgn = FRegion != NoRegionYet() ? FRegion : nullptr;
        PaintRgnBorder(d->FCacheBmp, rgn, true, mask, State);
    }
}

void TsPushButtonCore::DropRegion()
{
    DeleteHeldRegion();
    FRegion = nullptr;
}

void TsPushButtonCore::RemoveWindowRegion()
{
    DropRegion();
    if (FButton.HandleAllocated())
        ::SetWindowRgn(FButton.Handle(), nullptr, FALSE);
}

void TsPushButtonCore::ApplyRegion(HDC DC, bool Redraw)
{
    TsCommonData* d = Data();
    UpdateCorners(d, CurrentState());
    const bool mayApply = DC != kvPrintDC && !FButton.ComponentState().Contains(csDesigning) &&
                          !FButton.ControlState().Contains(csAlignmentNeeded);
    if (!mayApply || !FRegion || FRegion == NoRegionYet())
        return;
    // The window owns the region from here on.
    ApplyingRegion = true;
    ::SetWindowRgn(FButton.Handle(), FRegion, Redraw);
    ApplyingRegion = false;
    FRegion = nullptr;
    RegionChanged = false;

    const TRect bounds = FButton.BoundsRect();
    TWinControl* parent = FButton.Parent();
    TsSkinManager* m = d->GetSkinManager();
    if (parent && parent->HandleAllocated() && !LastRect.IsEmpty() &&
        ButtonShrank(LastRect, bounds.Width(), bounds.Height()) && !GetParentCache(d).Ready && m &&
        m->IsValidImgIndex(d->BorderIndex)) {
        const TsMaskData& mask = m->ma[d->BorderIndex];
        for (const TRect& r : OldCornerRects(LastRect, mask.WL, mask.WT, mask.WR, mask.WB))
            ::InvalidateRect(parent->Handle(), &r, TRUE);
    }
    LastRect = bounds;
}

void TsPushButtonCore::BoundsMayChange(bool Changed)
{
    if (ApplyingRegion)
        return;
    RegionChanged = true;
    if (Changed)
        Data()->BGChanged = true;
}

bool TsPushButtonCore::PassOn(TButton& Button, TsFrameHost& Host, TMessage& Message)
{
    TControlLifeWatch life(&Button);
    Host.InheritedWndProc(Message);
    return life.Alive();
}

void TsPushButtonCore::PaintHandler(HDC DC)
{
    TsCommonData* d = Data();
    if (InAnimationProcess && (!DC || DC != kvPrintDC))
        return;
    HWND wnd = FButton.Handle();
    PAINTSTRUCT ps{};
    // A paint into a given DC (a print, a picture of the form) leaves the
    // window's own update region alone.
    const bool bracket = !InAnimationProcess && !DC;
    if (bracket)
        ::BeginPaint(wnd, &ps);
    HDC dc = DC;
    const bool own = !dc;
    if (own)
        dc = ::GetDC(wnd);
    d->FUpdating = d->GetUpdating();
    if (!d->FUpdating && !(FFrame.FadeTimer && FFrame.FadeTimer->Enabled())) {
        d->BGChanged = HalfVisibleChanged(&FButton, d) || d->BGChanged;
        const bool redraw = FRegion == NoRegionYet() || aSkinChanging;
        // A region a rebuild outside painting left behind is not ours to keep.
        DropRegion();
        if (RegionChanged)
            d->BGChanged = true;
        if (d->BGChanged)
            FHost.PrepareCache();
        if (RegionChanged)
            ApplyRegion(DC, redraw);
        // A region made for a print is not handed to the window.
        DropRegion();
        if (d->FCacheBmp) {
            const int saved = ::SaveDC(dc);
            ::BitBlt(dc, 0, 0, FButton.Width(), FButton.Height(), d->FCacheBmp->Canvas()->Handle(), 0, 0, SRCCOPY);
            ::RestoreDC(dc, saved);
        }
    }
    if (own)
        ::ReleaseDC(wnd, dc);
    if (bracket)
        ::EndPaint(wnd, &ps);
}

void TsPushButtonCore::MouseDown(TMouseButton Button)
{
    TsCommonData* d = Data();
    d->SetUpdating(false);
    if (Button != mbLeft)
        return;
    FFrame.Hints.Hold();
    MouseClicked = true;
    if (!Down) {
        RegionChanged = true;
        d->SetUpdating(d->GetUpdating());
        d->BGChanged = false;
        FFrame.ChangePaint(true, aeMouseDown);
    }
    // The pressed look is drawn: hints may come back.
    FFrame.Hints.Release();
}

bool TsPushButtonCore::MouseUp(TMouseButton Button, bool InheritedWithoutPress)
{
    TsCommonData* d = Data();
    if (Button == mbLeft)
        FFrame.Hints.Release();
    if (!MouseClicked || FButton.ComponentState().Contains(csDestroying)) {
        if (!InheritedWithoutPress)
            return false;
        FFrame.StopFade();
        return true;
    }
    MouseClicked = false;
    if (Button != mbLeft || !FButton.Enabled())
        return true;
    TsFadeTimer* t = FFrame.FadeTimer;
    if (t && t->FadeLevel < t->Iterations) {
        // The fade is cut short: the pressed look is shown at once.
        t->SetEnabled(false);
        d->BGChanged = true;
        fGlobalFlag = true;
        ::RedrawWindow(FButton.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        fGlobalFlag = false;
        ::Sleep(30);
    }
    d->SetUpdating(false);
    if (!FButton.ComponentState().Contains(csDestroying)) {
        RegionChanged = true;
        d->BGChanged = false;
        FFrame.ChangePaint(true, aeMouseUp);
    }
    return true;
}

// ---------------------------------------------------------------------------
// TsButton

TsButton::TsButton(TComponent* AOwner)
    : TButton(AOwner), FCommonData(std::make_unique<TsCommonData>(this, true)),
      FFrame(std::make_unique<TsCtrlFrame>(*this)), FCore(std::make_unique<TsPushButtonCore>(*this, *this, *FFrame))
{
    FControlStyle -= csOpaque;
    FControlStyle -= csDoubleClicks;
    FCommonData->COC = 93;
    SetWordWrap(true);
}

TsButton::~TsButton()
{
    FFrame->StopFade();
    FCore.reset();
    FFrame.reset();
    FCommonData.reset();
}

void TsButton::AfterConstruction()
{
    TButton::AfterConstruction();
    FCommonData->FCacheBmp->Canvas()->Font()->Assign(Font());
    FCommonData->Loaded();
}

void TsButton::Loaded()
{
    TButton::Loaded();
    FCommonData->FCacheBmp->Canvas()->Font()->Assign(Font());
    FCommonData->Loaded();
}

bool TsButton::Skinned() const { return FCommonData && FCommonData->Skinned(true); }

void TsButton::CreateParams(TCreateParams& Params)
{
    TButton::CreateParams(Params);
    TsSkinManager* m = FCommonData ? FCommonData->GetSkinManager() : nullptr;
    const bool designedInFrame = ComponentState().Contains(csDesigning) && dynamic_cast<TCustomFrame*>(Owner());
    if (m && m->Active() && !m->SkinName().empty() && !designedInFrame)
        Params.Style = (Params.Style & ~BS_TYPEMASK) | BS_OWNERDRAW;
}

void TsButton::SetOwnerDrawn(bool Value)
{
    if (!HandleAllocated())
        return;
    DWORD style = ::GetWindowLongW(Handle(), GWL_STYLE) & BS_TYPEMASK;
    if (Value && style != BS_OWNERDRAW)
        ::SendMessageW(Handle(), BM_SETSTYLE, BS_OWNERDRAW, 1);
    else if (!Value && style == BS_OWNERDRAW)
        ::SendMessageW(Handle(), BM_SETSTYLE, FCore->IsFocused ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, 1);
}

void TsButton::SetButtonStyle(bool ADefault)
{
    // Unskinned, the system draws the default frame: the ordinary style
    // moves it.  Skinned, the button stays owner-drawn and paints it itself.
    FCore->IsFocused = ADefault;
    if (!Skinned())
        TButton::SetButtonStyle(ADefault);
    FCommonData->Invalidate();
}

void TsButton::SetDown(bool Value)
{
    if (Value == FCore->Down)
        return;
    FCore->Down = Value;
    FCore->RegionChanged = true;
    if (!ComponentState().Contains(csLoading))
        FCommonData->Invalidate();
}

void TsButton::SetShowFocus(bool Value)
{
    if (Value != FShowFocus) {
        FShowFocus = Value;
        FCommonData->Invalidate();
    }
}

void TsButton::SetDisabledKind(TsDisabledKind Value)
{
    if (Value != FFrame->DisabledKind) {
        FFrame->DisabledKind = Value;
        if (!ComponentState().Contains(csLoading))
            FCommonData->Invalidate();
    }
}

bool TsButton::ActionDisabled()
{
    auto* a = dynamic_cast<TCustomAction*>(Action());
    return a && !a->Enabled();
}

void TsButton::CNMeasureItem(TMessage& Message)
{
    if (auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(Message.LParam)) {
        mis->itemWidth = UINT(Width());
        mis->itemHeight = UINT(Height());
    }
}

void TsButton::AfterInherited(TMessage& Message)
{
    if (Message.Msg == CM_ACTIONUPDATE)
        if (auto* a = dynamic_cast<TCustomAction*>(Action()))
            SetEnabled(a->Enabled());
}

void TsButton::ActionChange(TObject* Sender, bool CheckDefaults)
{
    TButton::ActionChange(Sender, CheckDefaults);
    if (auto* a = dynamic_cast<TCustomAction*>(Sender))
        SetEnabled(a->Enabled());
}

// --- painting

void TsButton::PrepareCache()
{
    TCacheInfo ci = FFrame->BeginCache(false);
    const int state = CurrentState();
    PaintItemBG(FCommonData.get(), ci, state, TRect(0, 0, Width(), Height()), TPoint{Left(), Top()},
                FCommonData->FCacheBmp);
    FCore->NewRegionIfChanged();
    FCore->PaintBorder(state);
    DrawCaption();
    FFrame->EndCache();
}

int TsButton::MaxCaptionWidth() { return Caption().empty() ? 0 : Width() - 2; }

TSize TsButton::TextRectSize()
{
    TCanvas* c = FCommonData->FCacheBmp->Canvas();
    c->Font()->Assign(Font());
    TRect r(0, 0, MaxCaptionWidth(), 0);
    const UINT flags = WordWrap() ? DT_CALCRECT | DT_EXPANDTABS | DT_WORDBREAK | DT_CENTER
                                  : DT_CALCRECT | DT_EXPANDTABS | DT_SINGLELINE | DT_CENTER;
    kvDrawText(c->Handle(), Caption(), r, flags);
    return TSize(r.Width(), r.Height());
}

TRect TsButton::CaptionRect() { return ButtonCaptionRect(Width(), Height(), TextRectSize(), CurrentState() == 2); }

void TsButton::DoDrawText(TRect& R, UINT Flags)
{
    Flags = DrawTextBiDiModeFlags(Flags);
    UnicodeString text = Caption();
    kvWriteTextEx(FCommonData->FCacheBmp->Canvas(), text.c_str(), true, R, Flags, FCommonData.get(),
                  CurrentState() != 0);
}

void TsButton::DrawCaption()
{
    TCanvas* c = FCommonData->FCacheBmp->Canvas();
    c->Font()->Assign(Font());
    c->Brush()->SetStyle(bsClear);
    TRect r = CaptionRect();
    DoDrawText(r, WordWrap() ? DT_CENTER | DT_EXPANDTABS | DT_WORDBREAK : DT_CENTER | DT_EXPANDTABS);
    TsSkinManager* m = FCommonData->GetSkinManager();
    const bool sectionShowsFocus =
        m && m->IsValidSkinIndex(FCommonData->SkinIndex) && m->gd[FCommonData->SkinIndex].ShowFocus;
    if (Enabled() && Focused() && !Caption().empty() && sectionShowsFocus && FShowFocus) {
        r = CaptionRect();
        InflateRect(&r, FFocusMargin, FFocusMargin);
        FocusRect(c, r);
    }
}

bool TsButton::OwnPaintHandler(HDC DC)
{
    FCore->PaintHandler(DC);
    return true;
}

// --- messages

void TsButton::SkinSetAdapt()
{
    FCore->RegionChanged = true;
    if (!(ComponentState().Contains(csDesigning) && dynamic_cast<TCustomFrame*>(Owner())))
        SetOwnerDrawn(true);
}

void TsButton::SkinRemovedAdapt()
{
    SetOwnerDrawn(false);
    FCore->RemoveWindowRegion();
    FCore->RegionChanged = true;
}

void TsButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (Skinned() && Enabled() && !ComponentState().Contains(csDesigning))
        FCore->MouseDown(Button);
    TButton::MouseDown(Button, Shift, X, Y);
}

void TsButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (Skinned() && Enabled() && !ComponentState().Contains(csDesigning) && !FCore->MouseUp(Button, false))
        return;
    TButton::MouseUp(Button, Shift, X, Y);
}

bool TsButton::OwnSkinnedMessage(TMessage& Message)
{
    TsCommonData* d = FCommonData.get();
    switch (Message.Msg) {
    case WM_SIZE:
        FCore->BoundsMayChange(false);
        ClearGlows();
        return false;
    case WM_KILLFOCUS:
    case CM_EXIT:
        FCore->RegionChanged = true;
        return false;
    case WM_ERASEBKGND:
    case WM_UPDATEUISTATE:
        if (Visible() || ComponentState().Contains(csDesigning)) {
            Message.Result = 1;
            return true;
        }
        return false;
    case WM_WINDOWPOSCHANGING:
        FCore->BoundsMayChange(false);
        return false;
    case WM_WINDOWPOSCHANGED:
        FCore->BoundsMayChange(true);
        return false;
    case CN_COMMAND:
    case WM_LBUTTONUP:
        // A click may free the button: nothing of it is touched afterwards.
        if (!CommonWndProc(Message, d))
            TsPushButtonCore::PassOn(*this, *this, Message);
        return true;
    case WM_PRINT:
        FCore->RegionChanged = true;
        d->FUpdating = false;
        FCore->PaintHandler(reinterpret_cast<HDC>(Message.WParam));
        return true;
    case CM_DIALOGCHAR:
        if (Message.WParam == VK_SPACE && Enabled() && Focused()) {
            FFrame->StopFade();
            FCore->RegionChanged = true;
            d->BGChanged = true;
            if (d->GlowID >= 0) {
                HideGlow(d->GlowID);
                d->GlowID = -1;
            }
            Repaint();
        }
        return false;
    case CM_FOCUSCHANGED:
        if (Visible()) {
            // The class library's own focus painting never reaches the screen.
            const bool wasFocused = FCore->IsFocused;
            ::SendMessageW(Handle(), WM_SETREDRAW, 0, 0);
            TButton::WndProc(Message);
            ::SendMessageW(Handle(), WM_SETREDRAW, 1, 0);
            if (wasFocused != FCore->IsFocused)
                d->Invalidate();
            return true;
        }
        return false;
    case CM_TEXTCHANGED:
        if (!ComponentState().Contains(csDestroying)) {
            d->Invalidate();
            return true;
        }
        return false;
    case CM_UIACTIVATE:
        d->SetUpdating(false);
        return false;
    case CN_DRAWITEM:
        // The skinned button draws itself.
        Message.Result = 1;
        return true;
    case WM_KEYUP:
        if (!TsPushButtonCore::PassOn(*this, *this, Message))
            return true;
        if (Message.WParam == VK_SPACE) {
            FCore->RegionChanged = true;
            d->BGChanged = true;
            Repaint();
        }
        return true;
    }
    return false;
}

void TsButton::WndProc(TMessage& Message)
{
    if (Message.Msg == SM_KORVEXCMD && Message.WParamHi == SMC_SKIN_REFRESH &&
        OwnManagerCommand(Message, FCommonData.get()))
        FCore->RegionChanged = true;
    FFrame->WndProc(Message);
}

KV_BEGIN_PUBLISHED(TsButton, TButton)
    B.Object(L"SkinData", &C::SkinData);
    B.Set(L"AnimatEvents", &C::AnimatEvents, &C::SetAnimatEvents, TkvAnimatEvents{aeGlobalDef}.Ord(),
          {L"aeMouseEnter", L"aeMouseLeave", L"aeMouseDown", L"aeMouseUp", L"aeGlobalDef"}, L"TkvAnimatEvents");
    B.Set(L"DisabledKind", &C::DisabledKind, &C::SetDisabledKind, 1, {L"dkBlended", L"dkGrayed"}, L"TsDisabledKind");
    B.Bool(L"ShowFocus", &C::ShowFocus, &C::SetShowFocus, true);
    B.Bool(L"Down", &C::Down, &C::SetDown, false);
    B.Int(L"FocusMargin", &C::FocusMargin, &C::SetFocusMargin, 1);
    B.Bool(L"WordWrap", &C::WordWrap, &C::SetWordWrap, true);
KV_END_PUBLISHED

namespace {
[[maybe_unused]] const bool kRegistered = (RegisterClasses<TsButton>(), true);
} // namespace
