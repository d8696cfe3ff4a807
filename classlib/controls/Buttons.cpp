#include "classlib/controls/Buttons.h"

#include <algorithm>

#include "classlib/controls/Forms.h"
#include "classlib/graphics/GdiHandles.h"

// ---------------------------------------------------------------------------
// Layout

namespace {
bool Horizontal(TButtonLayout Layout) { return Layout == blGlyphLeft || Layout == blGlyphRight; }

TSize CaptionSize(HDC DC, const TRect& Client, const UnicodeString& Caption, UINT BiDiFlags)
{
    if (Caption.empty())
        return {0, 0};
    TRect r(0, 0, Client.Width(), 0);
    ::DrawTextW(DC, Caption.c_str(), int(Caption.size()), &r, DT_CALCRECT | DT_SINGLELINE | BiDiFlags);
    return {r.Width(), r.Height()};
}

// Margin and spacing along the layout's axis when either is -1.
void FillMarginAndSpacing(int ClientSize, int GlyphSize, int TextSize, int& Margin, int& Spacing)
{
    if (Margin == -1) {
        if (Spacing == -1) {
            Margin = (ClientSize - GlyphSize - TextSize) / 3;
            Spacing = Margin;
        } else {
            Margin = (ClientSize - GlyphSize - Spacing - TextSize + 1) / 2;
        }
    } else if (Spacing == -1) {
        Spacing = (ClientSize - Margin - GlyphSize - TextSize) / 2;
    }
}
} // namespace

TButtonContentLayout LayoutButtonContent(HDC DC, const TRect& Client, const UnicodeString& Caption, TSize GlyphSize,
                                         TButtonLayout Layout, int Margin, int Spacing, UINT BiDiFlags)
{
    if ((BiDiFlags & DT_RIGHT) == DT_RIGHT) {
        if (Layout == blGlyphLeft)
            Layout = blGlyphRight;
        else if (Layout == blGlyphRight)
            Layout = blGlyphLeft;
    }
    TSize client{Client.Width(), Client.Height()};
    TSize text = CaptionSize(DC, Client, Caption, BiDiFlags);
    TPoint glyphPos{0, 0}, textPos{0, 0};
    bool horz = Horizontal(Layout);
    if (horz) {
        glyphPos.y = (client.cy - GlyphSize.cy + 1) / 2;
        textPos.y = (client.cy - text.cy + 1) / 2;
    } else {
        glyphPos.x = (client.cx - GlyphSize.cx + 1) / 2;
        textPos.x = (client.cx - text.cx + 1) / 2;
    }
    // Without text or glyph there is nothing to space.
    if (text.cx == 0 || GlyphSize.cx == 0)
        Spacing = 0;
    FillMarginAndSpacing(horz ? client.cx : client.cy, horz ? GlyphSize.cx : GlyphSize.cy, horz ? text.cx : text.cy,
                         Margin, Spacing);
    switch (Layout) {
    case blGlyphLeft:
        glyphPos.x = Margin;
        textPos.x = glyphPos.x + GlyphSize.cx + Spacing;
        break;
    case blGlyphRight:
        glyphPos.x = client.cx - Margin - GlyphSize.cx;
        textPos.x = glyphPos.x - Spacing - text.cx;
        break;
    case blGlyphTop:
        glyphPos.y = Margin;
        textPos.y = glyphPos.y + GlyphSize.cy + Spacing;
        break;
    case blGlyphBottom:
        glyphPos.y = client.cy - Margin - GlyphSize.cy;
        textPos.y = glyphPos.y - Spacing - text.cy;
        break;
    }
    TButtonContentLayout result;
    result.GlyphPos = {glyphPos.x + Client.left, glyphPos.y + Client.top};
    result.TextBounds = Bounds(textPos.x + Client.left, textPos.y + Client.top, text.cx, text.cy);
    return result;
}

// ---------------------------------------------------------------------------
// TButtonGlyph

TButtonGlyph::TButtonGlyph() : FGlyph(new TBitmap())
{
    FGlyph->OnChange = Bind(this, &TButtonGlyph::GlyphChanged);
}

TButtonGlyph::~TButtonGlyph() { delete FGlyph; }

void TButtonGlyph::SetGlyph(TBitmap* Value)
{
    if (Value)
        FGlyph->Assign(Value);
    else
        FGlyph->Assign(nullptr);
}

void TButtonGlyph::GlyphChanged(TObject*)
{
    // A strip of square frames tells its own count.
    int w = FGlyph->Width(), h = FGlyph->Height();
    if (h > 0 && w % h == 0 && w / h >= 1 && w / h <= 4)
        FNumGlyphs = w / h;
    if (OnChange)
        OnChange(FGlyph);
}

void TButtonGlyph::SetNumGlyphs(int Value)
{
    Value = std::clamp(Value, 1, 4);
    if (Value == FNumGlyphs)
        return;
    FNumGlyphs = Value;
    if (OnChange)
        OnChange(FGlyph);
}

TSize TButtonGlyph::GlyphSize() const
{
    if (FGlyph->Empty())
        return {0, 0};
    return {FGlyph->Width() / FNumGlyphs, FGlyph->Height()};
}

namespace {
// The frame a state shows: its own when the strip has one, else the nearest.
int FrameOf(TButtonState State, int NumGlyphs)
{
    int frame = int(State);
    if (State == bsExclusive && NumGlyphs < 4)
        frame = int(bsDown);
    if (frame == int(bsDown) && NumGlyphs < 3)
        frame = 0;
    if (frame == int(bsDisabled) && NumGlyphs < 2)
        frame = 0;
    return frame;
}
} // namespace

void TButtonGlyph::Draw(HDC DC, TPoint Pos, TButtonState State) const
{
    TSize size = GlyphSize();
    if (size.cx == 0 || size.cy == 0)
        return;
    int frame = FrameOf(State, FNumGlyphs);
    HDC src = FGlyph->Canvas()->Handle();
    COLORREF key = ColorToRGB(FGlyph->Canvas()->Pixels(0, size.cy - 1));
    if (State == bsDisabled && FNumGlyphs < 2) {
        // Embossed: the glyph's shape in highlight, offset, under its shape
        // in shadow.
        GdiObject<HBITMAP> mask(::CreateBitmap(size.cx, size.cy, 1, 1, nullptr));
        MemoryDC maskDC(src);
        SelectedObject sel(maskDC, mask.Get());
        ::SetBkColor(src, key);
        ::BitBlt(maskDC, 0, 0, size.cx, size.cy, src, 0, 0, SRCCOPY);
        auto stamp = [&](int Dx, int Dy, TColor Color) {
            GdiObject<HBRUSH> brush(::CreateSolidBrush(ColorToRGB(Color)));
            SelectedObject b(DC, brush.Get());
            ::SetBkColor(DC, RGB(255, 255, 255));
            ::SetTextColor(DC, RGB(0, 0, 0));
            // Where the mask is black (the glyph), the brush; elsewhere the
            // destination stays.
            ::BitBlt(DC, Pos.x + Dx, Pos.y + Dy, size.cx, size.cy, maskDC, 0, 0, 0x00B8074A);
        };
        stamp(1, 1, clBtnHighlight);
        stamp(0, 0, clBtnShadow);
        return;
    }
    ::TransparentBlt(DC, Pos.x, Pos.y, size.cx, size.cy, src, frame * size.cx, 0, size.cx, size.cy, key);
}

void TButtonGlyph::DrawContent(HDC DC, const TRect& Client, TPoint Offset, const UnicodeString& Caption,
                               TButtonLayout Layout, int Margin, int Spacing, TButtonState State,
                               UINT BiDiFlags) const
{
    TRect client = Client;
    OffsetRect(&client, Offset.x, Offset.y);
    TButtonContentLayout layout = LayoutButtonContent(DC, client, Caption, GlyphSize(), Layout, Margin, Spacing,
                                                      BiDiFlags);
    Draw(DC, layout.GlyphPos, State);
    if (Caption.empty())
        return;
    int oldMode = ::SetBkMode(DC, TRANSPARENT);
    TRect r = layout.TextBounds;
    UINT flags = DT_CENTER | DT_VCENTER | DT_SINGLELINE | BiDiFlags;
    if (State == bsDisabled) {
        OffsetRect(&r, 1, 1);
        ::SetTextColor(DC, ColorToRGB(clBtnHighlight));
        ::DrawTextW(DC, Caption.c_str(), int(Caption.size()), &r, flags);
        OffsetRect(&r, -1, -1);
        ::SetTextColor(DC, ColorToRGB(clBtnShadow));
    }
    ::DrawTextW(DC, Caption.c_str(), int(Caption.size()), &r, flags);
    ::SetBkMode(DC, oldMode);
}

// ---------------------------------------------------------------------------
// TBitBtn

TBitBtn::TBitBtn(TComponent* AOwner) : TButton(AOwner)
{
    FGlyph.OnChange = Bind(this, &TBitBtn::GlyphChanged);
}

void TBitBtn::CreateParams(TCreateParams& Params)
{
    TButton::CreateParams(Params);
    Params.Style = (Params.Style & ~DWORD(BS_TYPEMASK)) | BS_OWNERDRAW;
}

void TBitBtn::GlyphChanged(TObject*) { Invalidate(); }

void TBitBtn::SetLayout(TButtonLayout Value)
{
    if (FLayout != Value) {
        FLayout = Value;
        Invalidate();
    }
}

void TBitBtn::SetMargin(int Value)
{
    if (FMargin != Value && Value >= -1) {
        FMargin = Value;
        Invalidate();
    }
}

void TBitBtn::SetSpacing(int Value)
{
    if (FSpacing != Value) {
        FSpacing = Value;
        Invalidate();
    }
}

namespace {
struct TKindInfo {
    const wchar_t* Caption;
    TModalResult Result;
};
const TKindInfo KindInfos[] = {
    {nullptr, mrNone},      {L"OK", mrOk},        {L"Cancel", mrCancel},  {L"&Help", mrNone},
    {L"&Yes", mrYes},       {L"&No", mrNo},       {L"&Close", mrNone},    {L"Abort", mrAbort},
    {L"&Retry", mrRetry},   {L"&Ignore", mrIgnore}, {L"&All", mrAll},
};
} // namespace

void TBitBtn::SetKind(TBitBtnKind Value)
{
    if (FKind == Value)
        return;
    FKind = Value;
    if (Value == bkCustom)
        return;
    SetDefault(Value == bkOK || Value == bkYes);
    SetCancel(Value == bkCancel || Value == bkNo);
    // A caption read before the kind stays.
    if (!ComponentState().Contains(csLoading) || Caption().empty())
        SetCaption(KindInfos[Value].Caption);
    SetModalResult(KindInfos[Value].Result);
}

void TBitBtn::Click()
{
    if (FKind == bkClose) {
        if (TCustomForm* form = GetParentForm(this)) {
            form->Close();
            return;
        }
    }
    TButton::Click();
}

void TBitBtn::SetButtonStyle(bool ADefault)
{
    if (ADefault != FIsFocused) {
        FIsFocused = ADefault;
        Invalidate();
    }
}

void TBitBtn::WndProc(TMessage& Message)
{
    // An owner-drawn button reports double clicks; they are clicks here.
    if (Message.Msg == WM_LBUTTONDBLCLK)
        Message.Msg = WM_LBUTTONDOWN;
    TButton::WndProc(Message);
}

void TBitBtn::CNDrawItem(TMessage& Message)
{
    DrawItem(*reinterpret_cast<DRAWITEMSTRUCT*>(Message.LParam));
    Message.Result = TRUE;
}

void TBitBtn::DrawItem(const DRAWITEMSTRUCT& Dis)
{
    HDC dc = Dis.hDC;
    TRect r = Dis.rcItem;
    bool down = Dis.itemState & ODS_SELECTED;
    bool focused = Dis.itemState & ODS_FOCUS;
    GdiObject<HBRUSH> face(::CreateSolidBrush(ColorToRGB(clBtnFace)));
    ::FillRect(dc, &r, face.Get());
    if (FIsFocused || focused) {
        GdiObject<HBRUSH> frame(::CreateSolidBrush(ColorToRGB(clWindowFrame)));
        ::FrameRect(dc, &r, frame.Get());
        InflateRect(&r, -1, -1);
    }
    UINT state = DFCS_BUTTONPUSH | DFCS_ADJUSTRECT | (down ? DFCS_PUSHED : 0) | (Enabled() ? 0 : DFCS_INACTIVE);
    ::DrawFrameControl(dc, &r, DFC_BUTTON, state);
    SelectedObject font(dc, Font()->Handle());
    ::SetTextColor(dc, ColorToRGB(Font()->Color()));
    TButtonState bs = !Enabled() ? bsDisabled : down ? bsDown : bsUp;
    TPoint offset = down ? TPoint{1, 1} : TPoint{0, 0};
    FGlyph.DrawContent(dc, r, offset, Caption(), FLayout, FMargin, FSpacing, bs, DrawTextBiDiModeFlags(0));
    if (focused) {
        InflateRect(&r, -2, -2);
        ::DrawFocusRect(dc, &r);
    }
}

void TBitBtn::CMEnabledChanged(TMessage& Message)
{
    TButton::CMEnabledChanged(Message);
    Invalidate();
}

void TBitBtn::CMFontChanged(TMessage& Message)
{
    TButton::CMFontChanged(Message);
    Invalidate();
}

void TBitBtn::CMTextChanged(TMessage& Message)
{
    TButton::CMTextChanged(Message);
    Invalidate();
}

// ---------------------------------------------------------------------------
// TSpeedButton

TSpeedButton::TSpeedButton(TComponent* AOwner) : TGraphicControl(AOwner)
{
    FControlStyle = {csCaptureMouse, csDoubleClicks};
    FWidth = 23;
    FHeight = 22;
    FGlyph.OnChange = Bind(this, &TSpeedButton::GlyphChanged);
}

void TSpeedButton::GlyphChanged(TObject*) { Invalidate(); }

void TSpeedButton::SetLayout(TButtonLayout Value)
{
    if (FLayout != Value) {
        FLayout = Value;
        Invalidate();
    }
}

void TSpeedButton::SetMargin(int Value)
{
    if (FMargin != Value && Value >= -1) {
        FMargin = Value;
        Invalidate();
    }
}

void TSpeedButton::SetSpacing(int Value)
{
    if (FSpacing != Value) {
        FSpacing = Value;
        Invalidate();
    }
}

void TSpeedButton::SetDown(bool Value)
{
    if (FGroupIndex == 0)
        Value = false;
    if (Value == FDown)
        return;
    // The one down button of a group comes up only where all may be up.
    if (FDown && !FAllowAllUp)
        return;
    FDown = Value;
    FState = Value ? bsExclusive : bsUp;
    Invalidate();
    if (Value)
        UpdateExclusive();
}

void TSpeedButton::SetGroupIndex(int Value)
{
    if (FGroupIndex != Value) {
        FGroupIndex = Value;
        UpdateExclusive();
    }
}

void TSpeedButton::SetAllowAllUp(bool Value)
{
    if (FAllowAllUp != Value) {
        FAllowAllUp = Value;
        UpdateExclusive();
    }
}

void TSpeedButton::SetFlat(bool Value)
{
    if (FFlat != Value) {
        FFlat = Value;
        Invalidate();
    }
}

void TSpeedButton::SetTransparent(bool Value)
{
    if (Value == Transparent())
        return;
    if (Value)
        FControlStyle -= csOpaque;
    else
        FControlStyle += csOpaque;
    Invalidate();
}

void TSpeedButton::UpdateExclusive()
{
    if (FGroupIndex == 0 || !FParent)
        return;
    TMessage m = MakeMessage(CM_BUTTONPRESSED, WPARAM(FGroupIndex), reinterpret_cast<LPARAM>(this));
    FParent->Broadcast(m);
}

void TSpeedButton::CMButtonPressed(TMessage& Message)
{
    auto* sender = reinterpret_cast<TSpeedButton*>(Message.LParam);
    if (int(Message.WParam) != FGroupIndex || sender == this)
        return;
    if (sender->Down() && FDown) {
        FDown = false;
        FState = bsUp;
        Invalidate();
    }
    FAllowAllUp = sender->AllowAllUp();
}

void TSpeedButton::WndProc(TMessage& Message)
{
    if (Message.Msg == CM_BUTTONPRESSED)
        CMButtonPressed(Message);
    else
        TGraphicControl::WndProc(Message);
}

void TSpeedButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TGraphicControl::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft || !Enabled())
        return;
    if (!FDown) {
        FState = bsDown;
        Invalidate();
    }
    FDragging = true;
}

void TSpeedButton::MouseMove(TShiftState Shift, int X, int Y)
{
    TGraphicControl::MouseMove(Shift, X, Y);
    if (!FDragging)
        return;
    bool inside = X >= 0 && X < Width() && Y >= 0 && Y <= Height();
    TButtonState state = FDown ? bsExclusive : inside ? bsDown : bsUp;
    if (state != FState) {
        FState = state;
        Invalidate();
    }
}

void TSpeedButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TGraphicControl::MouseUp(Button, Shift, X, Y);
    if (!FDragging)
        return;
    FDragging = false;
    bool click = X >= 0 && X < Width() && Y >= 0 && Y <= Height();
    if (FGroupIndex == 0) {
        FState = bsUp;
        FMouseInControl = false;
        Invalidate();
    } else if (click) {
        SetDown(!FDown);
        // A down button that may not come up shows held down again.
        FState = FDown ? bsExclusive : bsUp;
        Invalidate();
    } else {
        FState = FDown ? bsExclusive : bsUp;
        Invalidate();
    }
    if (click)
        Click();
}

void TSpeedButton::CMEnabledChanged(TMessage& Message)
{
    TGraphicControl::CMEnabledChanged(Message);
    FState = !Enabled() ? bsDisabled : FDown ? bsExclusive : bsUp;
    Invalidate();
}

void TSpeedButton::CMMouseEnter(TMessage& Message)
{
    TGraphicControl::CMMouseEnter(Message);
    if (!FMouseInControl && Enabled()) {
        FMouseInControl = true;
        if (FFlat)
            Invalidate();
    }
}

void TSpeedButton::CMMouseLeave(TMessage& Message)
{
    TGraphicControl::CMMouseLeave(Message);
    if (FMouseInControl) {
        FMouseInControl = false;
        if (FFlat)
            Invalidate();
    }
}

void TSpeedButton::CMTextChanged(TMessage& Message)
{
    TGraphicControl::CMTextChanged(Message);
    Invalidate();
}

void TSpeedButton::CMFontChanged(TMessage& Message)
{
    TGraphicControl::CMFontChanged(Message);
    Invalidate();
}

void TSpeedButton::Paint()
{
    if (!Enabled()) {
        FState = bsDisabled;
        FDragging = false;
    } else if (FState == bsDisabled) {
        FState = FDown && FGroupIndex != 0 ? bsExclusive : bsUp;
    }
    HDC dc = Canvas()->Handle();
    TRect r = ClientRect();
    bool pushed = FState == bsDown || FState == bsExclusive;
    if (!Transparent() || !FFlat) {
        GdiObject<HBRUSH> face(::CreateSolidBrush(ColorToRGB(FState == bsExclusive ? clBtnHighlight : clBtnFace)));
        ::FillRect(dc, &r, face.Get());
    }
    if (!FFlat) {
        ::DrawFrameControl(dc, &r, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_ADJUSTRECT | (pushed ? DFCS_PUSHED : 0));
        if (FState == bsExclusive) {
            GdiObject<HBRUSH> held(::CreateSolidBrush(ColorToRGB(clBtnHighlight)));
            ::FillRect(dc, &r, held.Get());
        }
    } else if (pushed || (FMouseInControl && FState != bsDisabled)) {
        TRect edge = r;
        ::DrawEdge(dc, &edge, pushed ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
    }
    SelectedObject font(dc, Font()->Handle());
    ::SetTextColor(dc, ColorToRGB(Font()->Color()));
    TPoint offset = pushed ? TPoint{1, 1} : TPoint{0, 0};
    FGlyph.DrawContent(dc, ClientRect(), offset, Caption(), FLayout, FMargin, FSpacing, FState,
                       DrawTextBiDiModeFlags(0));
}

// ---------------------------------------------------------------------------
// Published properties

namespace {
const std::initializer_list<const wchar_t*> LayoutNames = {L"blGlyphLeft", L"blGlyphRight", L"blGlyphTop",
                                                           L"blGlyphBottom"};
}

KV_BEGIN_PUBLISHED(TBitBtn, TButton)
    B.Object(L"Glyph", &C::Glyph, &C::SetGlyph);
    B.Enum(L"Kind", &C::Kind, &C::SetKind, bkCustom,
           {L"bkCustom", L"bkOK", L"bkCancel", L"bkHelp", L"bkYes", L"bkNo", L"bkClose", L"bkAbort", L"bkRetry",
            L"bkIgnore", L"bkAll"},
           L"TBitBtnKind");
    B.Enum(L"Layout", &C::Layout, &C::SetLayout, blGlyphLeft, LayoutNames, L"TButtonLayout");
    B.Int(L"Margin", &C::Margin, &C::SetMargin, -1);
    B.Int(L"NumGlyphs", &C::NumGlyphs, &C::SetNumGlyphs, 1, L"TNumGlyphs");
    B.Int(L"Spacing", &C::Spacing, &C::SetSpacing, 4);
KV_END_PUBLISHED

KV_BEGIN_PUBLISHED(TSpeedButton, TGraphicControl)
    B.Bool(L"AllowAllUp", &C::AllowAllUp, &C::SetAllowAllUp, false);
    B.Int(L"GroupIndex", &C::GroupIndex, &C::SetGroupIndex, 0);
    B.Bool(L"Down", &C::Down, &C::SetDown, false);
    B.Bool(L"Flat", &C::Flat, &C::SetFlat, false);
    B.Object(L"Glyph", &C::Glyph, &C::SetGlyph);
    B.Enum(L"Layout", &C::Layout, &C::SetLayout, blGlyphLeft, LayoutNames, L"TButtonLayout");
    B.Int(L"Margin", &C::Margin, &C::SetMargin, -1);
    B.Int(L"NumGlyphs", &C::NumGlyphs, &C::SetNumGlyphs, 1, L"TNumGlyphs");
    B.Int(L"Spacing", &C::Spacing, &C::SetSpacing, 4);
    B.Bool(L"Transparent", &C::Transparent, &C::SetTransparent, true);
KV_END_PUBLISHED

void RegisterButtonsClasses() { RegisterClasses<TBitBtn, TSpeedButton>(); }

namespace {
[[maybe_unused]] const bool kRegistered = (RegisterButtonsClasses(), true);
} // namespace
