// Check boxes, radio buttons and group boxes.
#include "classlib/controls/StdCtrls.h"

#include <algorithm>

#include "classlib/graphics/GdiHandles.h"

namespace {
// BS_LEFTTEXT puts the text left of the box: for taLeftJustify, or for
// taRightJustify under right-to-left alignment.
DWORD TextSideStyle(const TControl* Control, TAlignment Alignment)
{
    bool textLeft = Control->UseRightToLeftAlignment() ? Alignment == taRightJustify : Alignment == taLeftJustify;
    return textLeft ? BS_LEFTTEXT : 0;
}

TAlignment ControlsAlignment(const TControl* Control, TAlignment Alignment)
{
    if (!Control->UseRightToLeftAlignment())
        return taRightJustify;
    return Alignment == taRightJustify ? taLeftJustify : taRightJustify;
}
} // namespace

// ---------------------------------------------------------------------------
// TCustomCheckBox

TCustomCheckBox::TCustomCheckBox(TComponent* AOwner) : TButtonControl(AOwner)
{
    FControlStyle = {csSetCaption, csDoubleClicks};
    FWidth = 97;
    FHeight = 17;
    FTabStop = true;
}

void TCustomCheckBox::CreateParams(TCreateParams& Params)
{
    TButtonControl::CreateParams(Params);
    CreateSubClass(Params, L"BUTTON");
    Params.Style |= BS_3STATE | TextSideStyle(this, FAlignment);
    if (WordWrap())
        Params.Style |= BS_MULTILINE;
}

void TCustomCheckBox::CreateWnd()
{
    TButtonControl::CreateWnd();
    SendMessageW(FHandle, BM_SETCHECK, FState, 0);
}

void TCustomCheckBox::SetState(TCheckBoxState Value)
{
    if (FState == Value)
        return;
    FState = Value;
    if (HandleAllocated())
        SendMessageW(FHandle, BM_SETCHECK, FState, 0);
    if (!ClicksDisabled())
        Click();
}

void TCustomCheckBox::SetChecked(bool Value) { SetState(Value ? cbChecked : cbUnchecked); }

void TCustomCheckBox::SetAlignment(TAlignment Value)
{
    if (FAlignment == Value)
        return;
    FAlignment = Value;
    RecreateWnd();
}

TAlignment TCustomCheckBox::GetControlsAlignment() const { return ControlsAlignment(this, FAlignment); }

void TCustomCheckBox::Click()
{
    Changed();
    TButtonControl::Click();
}

void TCustomCheckBox::Toggle()
{
    switch (FState) {
    case cbUnchecked: SetState(FAllowGrayed ? cbGrayed : cbChecked); break;
    case cbChecked: SetState(cbUnchecked); break;
    case cbGrayed: SetState(cbChecked); break;
    }
}

void TCustomCheckBox::WndProc(TMessage& Message)
{
    if (Message.Msg == CN_COMMAND)
        CNCommand(Message);
    else
        TButtonControl::WndProc(Message);
}

void TCustomCheckBox::CNCommand(TMessage& Message)
{
    if (HIWORD(Message.WParam) == BN_CLICKED)
        Toggle();
}

// ---------------------------------------------------------------------------
// TRadioButton

TRadioButton::TRadioButton(TComponent* AOwner) : TButtonControl(AOwner)
{
    FControlStyle = {csSetCaption, csDoubleClicks};
    FWidth = 113;
    FHeight = 17;
}

void TRadioButton::CreateParams(TCreateParams& Params)
{
    TButtonControl::CreateParams(Params);
    CreateSubClass(Params, L"BUTTON");
    Params.Style |= BS_RADIOBUTTON | TextSideStyle(this, FAlignment);
    if (WordWrap())
        Params.Style |= BS_MULTILINE;
}

void TRadioButton::CreateWnd()
{
    TButtonControl::CreateWnd();
    SendMessageW(FHandle, BM_SETCHECK, FChecked, 0);
}

void TRadioButton::SetChecked(bool Value)
{
    if (FChecked == Value)
        return;
    FChecked = Value;
    // The checked button of a group is the one Tab reaches.
    SetTabStop(Value);
    if (HandleAllocated())
        SendMessageW(FHandle, BM_SETCHECK, FChecked, 0);
    if (Value) {
        TurnSiblingsOff();
        Changed();
        if (!ClicksDisabled())
            Click();
    }
}

void TRadioButton::TurnSiblingsOff()
{
    if (!FParent)
        return;
    for (int i = 0; i < FParent->ControlCount(); ++i)
        if (auto* other = dynamic_cast<TRadioButton*>(FParent->Controls(i)); other && other != this)
            other->SetChecked(false);
}

void TRadioButton::SetAlignment(TAlignment Value)
{
    if (FAlignment == Value)
        return;
    FAlignment = Value;
    RecreateWnd();
}

TAlignment TRadioButton::GetControlsAlignment() const { return ControlsAlignment(this, FAlignment); }

void TRadioButton::WndProc(TMessage& Message)
{
    if (Message.Msg == CN_COMMAND)
        CNCommand(Message);
    else
        TButtonControl::WndProc(Message);
}

void TRadioButton::CNCommand(TMessage& Message)
{
    if (HIWORD(Message.WParam) == BN_CLICKED)
        SetChecked(true);
    else if (HIWORD(Message.WParam) == BN_DOUBLECLICKED)
        DblClick();
}

// ---------------------------------------------------------------------------
// TCustomGroupBox

namespace {
// The height of a line of Font's text: the caption band of a group box.
int FontLineHeight(TFont* Font)
{
    ScreenDC dc;
    SelectedObject font(dc, Font->Handle());
    SIZE size{};
    ::GetTextExtentPoint32W(dc, L"0", 1, &size);
    return size.cy;
}
} // namespace

TCustomGroupBox::TCustomGroupBox(TComponent* AOwner) : TCustomControl(AOwner)
{
    FControlStyle = {csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks,
                     csReplicatable, csParentBackground};
    FWidth = 185;
    FHeight = 105;
}

void TCustomGroupBox::CreateParams(TCreateParams& Params)
{
    TCustomControl::CreateParams(Params);
    Params.WindowClass.style &= ~UINT(CS_HREDRAW | CS_VREDRAW);
}

void TCustomGroupBox::AdjustClientRect(TRect& Rect)
{
    TCustomControl::AdjustClientRect(Rect);
    Rect.top += FontLineHeight(Font());
    // The two-pixel etched frame.
    InflateRect(&Rect, -2, -2);
}

void TCustomGroupBox::Paint()
{
    TCanvas* canvas = Canvas();
    canvas->Font()->Assign(Font());
    int h = FontLineHeight(Font());
    TRect r(0, h / 2 - 1, Width(), Height());
    // The etched frame: a light frame one pixel down and right of a dark one.
    r.left += 1;
    r.top += 1;
    canvas->Brush()->SetColor(clBtnHighlight);
    canvas->FrameRect(r);
    OffsetRect(&r, -1, -1);
    canvas->Brush()->SetColor(clBtnShadow);
    canvas->FrameRect(r);
    UnicodeString text = Caption();
    if (text.empty())
        return;
    UINT flags = DrawTextBiDiModeFlags(DT_SINGLELINE);
    HDC dc = canvas->Handle();
    SelectedObject font(dc, Font()->Handle());
    TRect t(8, 0, 0, h);
    ::DrawTextW(dc, text.c_str(), int(text.size()), &t, flags | DT_CALCRECT);
    if (UseRightToLeftAlignment())
        OffsetRect(&t, Width() - t.right - 8, 0);
    ::SetBkColor(dc, ColorToRGB(Color()));
    ::SetBkMode(dc, OPAQUE);
    ::SetTextColor(dc, ColorToRGB(Font()->Color()));
    ::DrawTextW(dc, text.c_str(), int(text.size()), &t, flags);
}

void TCustomGroupBox::CMTextChanged(TMessage& Message)
{
    TCustomControl::CMTextChanged(Message);
    Invalidate();
}

void TCustomGroupBox::CMFontChanged(TMessage& Message)
{
    TCustomControl::CMFontChanged(Message);
    Realign();
}

// ---------------------------------------------------------------------------
// Published properties

namespace {
const std::initializer_list<const wchar_t*> AlignmentNames = {L"taLeftJustify", L"taRightJustify", L"taCenter"};
}

KV_BEGIN_PUBLISHED(TCustomCheckBox, TButtonControl)
    B.Enum(L"Alignment", &C::Alignment, &C::SetAlignment, taRightJustify, AlignmentNames, L"TAlignment");
    B.Bool(L"AllowGrayed", &C::AllowGrayed, &C::SetAllowGrayed, false);
    B.Bool(L"Checked", &C::Checked, &C::SetChecked, false);
    B.Enum(L"State", &C::State, &C::SetState, cbUnchecked, {L"cbUnchecked", L"cbChecked", L"cbGrayed"},
           L"TCheckBoxState");
KV_END_PUBLISHED

KV_BEGIN_PUBLISHED(TCheckBox, TCustomCheckBox)
    static_assert(sizeof(C) > 0); // all inherited
KV_END_PUBLISHED

KV_BEGIN_PUBLISHED(TRadioButton, TButtonControl)
    B.Enum(L"Alignment", &C::Alignment, &C::SetAlignment, taRightJustify, AlignmentNames, L"TAlignment");
    B.Bool(L"Checked", &C::Checked, &C::SetChecked, false);
KV_END_PUBLISHED

KV_BEGIN_PUBLISHED(TCustomGroupBox, TCustomControl)
    static_assert(sizeof(C) > 0); // all inherited
KV_END_PUBLISHED

KV_BEGIN_PUBLISHED(TGroupBox, TCustomGroupBox)
    static_assert(sizeof(C) > 0); // all inherited
KV_END_PUBLISHED
