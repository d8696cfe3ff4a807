#include "classlib/controls/StdCtrls.h"

#include "classlib/controls/Forms.h"
#include "classlib/graphics/GdiHandles.h"

#include <memory>

// ---------------------------------------------------------------------------
// TButtonControl

TButtonControl::TButtonControl(TComponent* AOwner) : TWinControl(AOwner) {}

void TButtonControl::SetWordWrap(bool Value)
{
    if (Value != FWordWrap) {
        FWordWrap = Value;
        if (HandleAllocated())
            RecreateWnd();
    }
}

// ---------------------------------------------------------------------------
// TButton

TButton::TButton(TComponent* AOwner) : TButtonControl(AOwner)
{
    FControlStyle = {csSetCaption, csDoubleClicks};
    FWidth = 75;
    FHeight = 25;
    FTabStop = true;
}

void TButton::CreateParams(TCreateParams& Params)
{
    TButtonControl::CreateParams(Params);
    CreateSubClass(Params, L"BUTTON");
    Params.Style |= FDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
    if (WordWrap())
        Params.Style |= BS_MULTILINE;
}

void TButton::CreateWnd()
{
    TButtonControl::CreateWnd();
    FActive = FDefault;
}

void TButton::SetDefault(bool Value)
{
    if (Value == FDefault)
        return;
    FDefault = Value;
    if (HandleAllocated())
        if (TCustomForm* form = GetParentForm(this))
            form->Perform(CM_FOCUSCHANGED, 0, reinterpret_cast<LPARAM>(form->ActiveControl()));
}

void TButton::SetButtonStyle(bool ADefault)
{
    if (!HandleAllocated())
        return;
    DWORD style = ADefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
    if ((GetWindowLongW(FHandle, GWL_STYLE) & BS_TYPEMASK) != style)
        SendMessageW(FHandle, BM_SETSTYLE, style, 1);
}

void TButton::Click()
{
    if (TCustomForm* form = GetParentForm(this))
        form->SetModalResult(FModalResult);
    TButtonControl::Click();
}

void TButton::WndProc(TMessage& Message)
{
    switch (Message.Msg) {
    case CN_COMMAND:
        CNCommand(Message);
        break;
    case CN_DRAWITEM:
        CNDrawItem(Message);
        break;
    case CN_MEASUREITEM:
        CNMeasureItem(Message);
        break;
    default:
        TButtonControl::WndProc(Message);
    }
}

void TButton::CNCommand(TMessage& Message)
{
    if (HIWORD(Message.WParam) == BN_CLICKED && !ClicksDisabled())
        Click();
}

void TButton::CNDrawItem(TMessage& Message)
{
    DefaultHandler(Message);
}

void TButton::CNMeasureItem(TMessage& Message)
{
    DefaultHandler(Message);
}

void TButton::CMDialogKey(TMessage& Message)
{
    WORD key = LOWORD(Message.WParam);
    if (((key == VK_RETURN && FActive) || (key == VK_ESCAPE && FCancel)) &&
        KeyDataToShiftState(Message.LParam).Empty() && CanFocus()) {
        Click();
        Message.Result = 1;
    } else {
        TButtonControl::CMDialogKey(Message);
    }
}

void TButton::CMFocusChanged(TMessage& Message)
{
    auto* sender = reinterpret_cast<TWinControl*>(Message.LParam);
    if (dynamic_cast<TButton*>(sender))
        FActive = sender == this;
    else
        FActive = FDefault;
    SetButtonStyle(FActive);
    TButtonControl::CMFocusChanged(Message);
}

// ---------------------------------------------------------------------------
// TCustomLabel

TCustomLabel::TCustomLabel(TComponent* AOwner) : TGraphicControl(AOwner)
{
    FControlStyle += TControlStyle{csOpaque, csReplicatable};
    FWidth = 65;
    FHeight = 17;
}

void TCustomLabel::SetAutoSize(bool Value)
{
    if (Value != FAutoSize) {
        FAutoSize = Value;
        AdjustBounds();
    }
}

void TCustomLabel::SetAlignment(TAlignment Value)
{
    if (Value != FAlignment) {
        FAlignment = Value;
        Invalidate();
    }
}

void TCustomLabel::SetLayout(TTextLayout Value)
{
    if (Value != FLayout) {
        FLayout = Value;
        Invalidate();
    }
}

void TCustomLabel::SetWordWrap(bool Value)
{
    if (Value != FWordWrap) {
        FWordWrap = Value;
        AdjustBounds();
        Invalidate();
    }
}

void TCustomLabel::SetTransparent(bool Value)
{
    if (Value != Transparent()) {
        if (Value)
            FControlStyle -= csOpaque;
        else
            FControlStyle += csOpaque;
        Invalidate();
    }
}

void TCustomLabel::SetShowAccelChar(bool Value)
{
    if (Value != FShowAccelChar) {
        FShowAccelChar = Value;
        AdjustBounds();
        Invalidate();
    }
}

void TCustomLabel::SetFocusControl(TWinControl* Value)
{
    if (Value == FFocusControl)
        return;
    if (FFocusControl)
        FFocusControl->RemoveFreeNotification(this);
    FFocusControl = Value;
    if (Value)
        Value->FreeNotification(this);
}

void TCustomLabel::SetEllipsisPosition(TEllipsisPosition Value)
{
    if (Value != FEllipsisPosition) {
        FEllipsisPosition = Value;
        Invalidate();
    }
}

void TCustomLabel::Notification(TComponent* AComponent, TOperation Operation)
{
    TGraphicControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FFocusControl)
        FFocusControl = nullptr;
}

void TCustomLabel::Loaded()
{
    TGraphicControl::Loaded();
    AdjustBounds();
}

void TCustomLabel::WndProc(TMessage& Message)
{
    if (Message.Msg == CM_DIALOGCHAR)
        CMDialogChar(Message);
    else
        TGraphicControl::WndProc(Message);
}

void TCustomLabel::CMTextChanged(TMessage& Message)
{
    TGraphicControl::CMTextChanged(Message);
    Invalidate();
    AdjustBounds();
}

void TCustomLabel::CMFontChanged(TMessage& Message)
{
    TGraphicControl::CMFontChanged(Message);
    AdjustBounds();
}

namespace {

// True when Key is the accelerator ("&x") of Text.
bool IsAccel(WORD Key, const UnicodeString& Text)
{
    for (size_t i = 0; i + 1 < Text.size(); ++i) {
        if (Text[i] != L'&')
            continue;
        if (Text[i + 1] == L'&') {
            ++i;
            continue;
        }
        return CharUpperW(reinterpret_cast<LPWSTR>(uintptr_t(Text[i + 1]))) ==
               CharUpperW(reinterpret_cast<LPWSTR>(uintptr_t(Key)));
    }
    return false;
}

} // namespace

void TCustomLabel::CMDialogChar(TMessage& Message)
{
    if (FFocusControl && Enabled() && FShowAccelChar && IsAccel(LOWORD(Message.WParam), GetLabelText()) &&
        FFocusControl->CanFocus()) {
        FFocusControl->SetFocus();
        Message.Result = 1;
    }
}

UnicodeString TCustomLabel::PrepareDrawText(UINT& Flags)
{
    UnicodeString text = GetLabelText();
    // Measure an empty caption (or a lone accelerator mark) as one blank, so
    // an auto-sized label keeps the height of a line.
    if ((Flags & DT_CALCRECT) && (text.empty() || (FShowAccelChar && text == L"&")))
        text += L' ';
    if (!FShowAccelChar)
        Flags |= DT_NOPREFIX;
    Flags = DrawTextBiDiModeFlags(Flags);
    // A label of a fixed size shortens what does not fit.
    static const UINT ellipses[] = {0, DT_PATH_ELLIPSIS, DT_END_ELLIPSIS, DT_WORD_ELLIPSIS};
    if (!FAutoSize && FEllipsisPosition != epNone)
        Flags = (Flags & ~UINT(DT_EXPANDTABS)) | ellipses[FEllipsisPosition];
    return text;
}

void TCustomLabel::DoDrawText(TRect& Rect, UINT Flags)
{
    const UnicodeString text = PrepareDrawText(Flags);
    HDC dc = Canvas()->Handle();
    SelectedObject font(dc, Font()->Handle());
    BkModeScope mode(dc, TRANSPARENT);
    TextColorScope colour(dc, ColorToRGB(Enabled() ? Font()->Color() : clBtnHighlight));
    if (!Enabled()) {
        OffsetRect(&Rect, 1, 1);
        DrawTextW(dc, text.c_str(), int(text.size()), &Rect, Flags);
        OffsetRect(&Rect, -1, -1);
        colour.Set(ColorToRGB(clBtnShadow));
    }
    DrawTextW(dc, text.c_str(), int(text.size()), &Rect, Flags);
}

void TCustomLabel::Paint()
{
    static const UINT alignments[] = {DT_LEFT, DT_RIGHT, DT_CENTER};
    TCanvas* canvas = Canvas();
    TRect rect = ClientRect();
    if (!Transparent()) {
        canvas->Brush()->SetColor(Color());
        canvas->Brush()->SetStyle(bsSolid);
        canvas->FillRect(rect);
    }
    canvas->Brush()->SetStyle(bsClear);
    UINT flags = DT_EXPANDTABS | (FWordWrap ? DT_WORDBREAK : 0) | alignments[FAlignment];
    if (FLayout != tlTop) {
        TRect calc = rect;
        DoDrawText(calc, flags | DT_CALCRECT);
        int offset = Height() - calc.bottom;
        OffsetRect(&rect, 0, FLayout == tlBottom ? offset : offset / 2);
    }
    DoDrawText(rect, flags);
}

void TCustomLabel::AdjustBounds()
{
    if (ComponentState().Contains(csReading) || !FAutoSize)
        return;
    TRect rect = ClientRect();
    {
        ScreenDC dc;
        Canvas()->SetHandle(dc);
        // The canvas lets go of the screen's DC before it is released.
        struct TLetGo {
            TCanvas* Canvas;
            ~TLetGo() { Canvas->SetHandle(nullptr); }
        } letGo{Canvas()};
        DoDrawText(rect, DT_EXPANDTABS | DT_CALCRECT | (FWordWrap ? DT_WORDBREAK : 0));
    }
    // The right edge stays where the text ends on the right.
    TAlignment alignment = FAlignment;
    if (UseRightToLeftAlignment() && alignment != taCenter)
        alignment = alignment == taLeftJustify ? taRightJustify : taLeftJustify;
    int x = Left();
    if (alignment == taRightJustify)
        x += Width() - rect.right;
    SetBounds(x, Top(), rect.right, rect.bottom);
}

// ---------------------------------------------------------------------------
// Published properties

KV_BEGIN_PUBLISHED(TButtonControl, TWinControl)
    B.Bool(L"WordWrap", &C::WordWrap, &C::SetWordWrap, false);
KV_END_PUBLISHED

KV_BEGIN_PUBLISHED(TButton, TButtonControl)
    B.Bool(L"Cancel", &C::Cancel, &C::SetCancel, false);
    B.Bool(L"Default", &C::Default, &C::SetDefault, false);
    B.Int(L"ModalResult", &C::ModalResult, &C::SetModalResult, 0, L"TModalResult");
KV_END_PUBLISHED

KV_BEGIN_PUBLISHED(TCustomLabel, TGraphicControl)
    B.Enum(L"Alignment", &C::Alignment, &C::SetAlignment, taLeftJustify,
           {L"taLeftJustify", L"taRightJustify", L"taCenter"}, L"TAlignment");
    B.Bool(L"AutoSize", &C::AutoSize, &C::SetAutoSize, true);
    B.Enum(L"EllipsisPosition", &C::EllipsisPosition, &C::SetEllipsisPosition, epNone,
           {L"epNone", L"epPathEllipsis", L"epEndEllipsis", L"epWordEllipsis"}, L"TEllipsisPosition");
    B.Ref(L"FocusControl", &C::FocusControl, &C::SetFocusControl);
    B.Enum(L"Layout", &C::Layout, &C::SetLayout, tlTop, {L"tlTop", L"tlCenter", L"tlBottom"}, L"TTextLayout");
    B.Bool(L"ShowAccelChar", &C::ShowAccelChar, &C::SetShowAccelChar, true);
    B.Bool(L"Transparent", &C::Transparent, &C::SetTransparent, false);
    B.Bool(L"WordWrap", &C::WordWrap, &C::SetWordWrap, false);
KV_END_PUBLISHED

KV_BEGIN_PUBLISHED(TLabel, TCustomLabel)
    static_assert(sizeof(C) > 0); // all inherited
KV_END_PUBLISHED

void RegisterStdCtrlsClasses()
{
    RegisterClasses<TButton, TEdit, TMemo, TListBox, TComboBox, TCheckBox, TRadioButton, TGroupBox, TLabel>();
}

namespace {
// Form resources may name these classes as soon as this unit is linked in.
[[maybe_unused]] const bool kRegistered = (RegisterStdCtrlsClasses(), true);
} // namespace
