// Fonts, brushes, pens and the canvas.
#include "classlib/graphics/Graphics.h"

#include <algorithm>

namespace {

int ScreenPixelsPerInch()
{
    static const int ppi = [] {
        ScreenDC dc;
        int v = dc ? ::GetDeviceCaps(dc, LOGPIXELSY) : 0;
        return v > 0 ? v : 96;
    }();
    return ppi;
}

// A colour as GDI takes it: system colours resolved, and the marks of clNone
// and clDefault dropped (GDI would read them as palette flags).
COLORREF GdiColor(TColor c)
{
    const uint32_t v = uint32_t(ColorToRGB(c));
    const uint32_t flags = v & 0xFF000000u;
    return flags == 0x01000000u || flags == 0x02000000u ? v : v & 0x00FFFFFFu;
}

} // namespace

// ---------------------------------------------------------------------------
KV_BEGIN_PUBLISHED(TFont, TGraphicsObject)
    RegisterGraphicsIdents();
    B.Int(L"Charset", &C::Charset, &C::SetCharset, DEFAULT_CHARSET, L"TFontCharset");
    B.Int(L"Color", &C::Color, &C::SetColor, clWindowText, L"TColor");
    B.Int(L"Height", &C::Height, &C::SetHeight, TPropInfo::NoDefault);
    B.Str(L"Name", &C::Name, &C::SetName, L"Tahoma");
    B.Enum(L"Pitch", &C::Pitch, &C::SetPitch, fpDefault, {L"fpDefault", L"fpVariable", L"fpFixed"}, L"TFontPitch");
    B.Int(L"Size", &C::Size, &C::SetSize, TPropInfo::NoDefault);
    B.Set(L"Style", &C::Style, &C::SetStyle, 0, {L"fsBold", L"fsItalic", L"fsUnderline", L"fsStrikeOut"},
          L"TFontStyles");
KV_END_PUBLISHED

KV_BEGIN_PUBLISHED(TBrush, TGraphicsObject)
    RegisterGraphicsIdents();
    B.Int(L"Color", &C::Color, &C::SetColor, clWhite, L"TColor");
    B.Enum(L"Style", &C::Style, &C::SetStyle, bsSolid,
           {L"bsSolid", L"bsClear", L"bsHorizontal", L"bsVertical", L"bsFDiagonal", L"bsBDiagonal", L"bsCross",
            L"bsDiagCross"},
           L"TBrushStyle");
KV_END_PUBLISHED

KV_BEGIN_PUBLISHED(TPen, TGraphicsObject)
    RegisterGraphicsIdents();
    B.Int(L"Color", &C::Color, &C::SetColor, clBlack, L"TColor");
    B.Enum(L"Mode", &C::Mode, &C::SetMode, pmCopy,
           {L"pmBlack", L"pmWhite", L"pmNop", L"pmNot", L"pmCopy", L"pmNotCopy", L"pmMergePenNot", L"pmMaskPenNot",
            L"pmMergeNotPen", L"pmMaskNotPen", L"pmMerge", L"pmNotMerge", L"pmMask", L"pmNotMask", L"pmXor",
            L"pmNotXor"},
           L"TPenMode");
    B.Enum(L"Style", &C::Style, &C::SetStyle, psSolid,
           {L"psSolid", L"psDash", L"psDot", L"psDashDot", L"psDashDotDot", L"psClear", L"psInsideFrame"},
           L"TPenStyle");
    B.Int(L"Width", &C::Width, &C::SetWidth, 1);
KV_END_PUBLISHED

// ---------------------------------------------------------------------------
void TGraphicsObject::Changed()
{
    GdiObject<HGDIOBJ> old(DetachHandle());
    if (OnChange)
        OnChange(this);
}

// ---------------------------------------------------------------------------
TFont::TFont() : FPixelsPerInch(ScreenPixelsPerInch())
{
    FHeight = -::MulDiv(8, FPixelsPerInch, 72);
}

void TFont::Assign(TPersistent* Source)
{
    if (auto* f = dynamic_cast<TFont*>(Source)) {
        if (f == this)
            return;
        FName = f->FName;
        // The size in points is what carries over between resolutions.
        FHeight = f->FPixelsPerInch == FPixelsPerInch ? f->FHeight : -::MulDiv(f->Size(), FPixelsPerInch, 72);
        FColor = f->FColor;
        FStyle = f->FStyle;
        FCharset = f->FCharset;
        FPitch = f->FPitch;
        Changed();
        return;
    }
    TGraphicsObject::Assign(Source);
}

void TFont::SetName(const UnicodeString& Value)
{
    if (Value.empty() || Value == FName)
        return;
    FName = Value;
    Changed();
}

int TFont::Size() const
{
    return -::MulDiv(FHeight, 72, FPixelsPerInch);
}

void TFont::SetSize(int Value)
{
    SetHeight(-::MulDiv(Value, FPixelsPerInch, 72));
}

void TFont::SetHeight(int Value)
{
    if (Value == FHeight)
        return;
    FHeight = Value;
    Changed();
}

void TFont::SetColor(TColor Value)
{
    if (Value == FColor)
        return;
    FColor = Value;
    Changed();
}

void TFont::SetStyle(TFontStyles Value)
{
    if (Value == FStyle)
        return;
    FStyle = Value;
    Changed();
}

void TFont::SetCharset(TFontCharset Value)
{
    if (Value == FCharset)
        return;
    FCharset = Value;
    Changed();
}

void TFont::SetPitch(TFontPitch Value)
{
    if (Value == FPitch)
        return;
    FPitch = Value;
    Changed();
}

HFONT TFont::Handle()
{
    if (!FHandle) {
        LOGFONTW lf{};
        lf.lfHeight = FHeight;
        lf.lfWeight = FStyle.Contains(fsBold) ? FW_BOLD : FW_NORMAL;
        lf.lfItalic = FStyle.Contains(fsItalic);
        lf.lfUnderline = FStyle.Contains(fsUnderline);
        lf.lfStrikeOut = FStyle.Contains(fsStrikeOut);
        lf.lfCharSet = FCharset;
        lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
        lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
        lf.lfQuality = DEFAULT_QUALITY;
        lf.lfPitchAndFamily = FPitch == fpFixed ? FIXED_PITCH : FPitch == fpVariable ? VARIABLE_PITCH : DEFAULT_PITCH;
        lstrcpynW(lf.lfFaceName, FName.c_str(), LF_FACESIZE);
        FHandle.Reset(::CreateFontIndirectW(&lf));
        if (!FHandle)
            throw EOutOfResources(L"Out of system resources");
    }
    return FHandle.Get();
}

void TFont::SetHandle(HFONT Value)
{
    if (Value == FHandle.Get())
        return;
    LOGFONTW lf{};
    if (Value && ::GetObjectW(Value, sizeof(lf), &lf) != sizeof(lf))
        throw EInvalidGraphic(L"Invalid font handle");
    // The old handle outlives OnChange, which lets a canvas select it out.
    GdiObject<HGDIOBJ> old(FHandle.Release());
    FHandle.Reset(Value);
    if (Value)
        SetAttributes(lf);
    if (OnChange)
        OnChange(this);
}

void TFont::SetAttributes(const LOGFONTW& lf)
{
    FName = lf.lfFaceName;
    FHeight = lf.lfHeight;
    FStyle = TFontStyles();
    if (lf.lfWeight >= FW_BOLD)
        FStyle.Include(fsBold);
    if (lf.lfItalic)
        FStyle.Include(fsItalic);
    if (lf.lfUnderline)
        FStyle.Include(fsUnderline);
    if (lf.lfStrikeOut)
        FStyle.Include(fsStrikeOut);
    FCharset = lf.lfCharSet;
    switch (lf.lfPitchAndFamily & 3) {
    case FIXED_PITCH: FPitch = fpFixed; break;
    case VARIABLE_PITCH: FPitch = fpVariable; break;
    default: FPitch = fpDefault;
    }
}

// ---------------------------------------------------------------------------
void TBrush::Assign(TPersistent* Source)
{
    if (auto* b = dynamic_cast<TBrush*>(Source)) {
        if (b == this)
            return;
        FColor = b->FColor;
        FStyle = b->FStyle;
        Changed();
        return;
    }
    TGraphicsObject::Assign(Source);
}

void TBrush::SetColor(TColor Value)
{
    if (Value == FColor)
        return;
    FColor = Value;
    // A cleared brush that gets a colour paints again.
    if (FStyle == bsClear)
        FStyle = bsSolid;
    Changed();
}

void TBrush::SetStyle(TBrushStyle Value)
{
    if (Value == FStyle)
        return;
    FStyle = Value;
    Changed();
}

HBRUSH TBrush::Handle()
{
    if (!FHandle) {
        LOGBRUSH lb{};
        lb.lbColor = GdiColor(FColor);
        switch (FStyle) {
        case bsSolid: lb.lbStyle = BS_SOLID; break;
        case bsClear: lb.lbStyle = BS_HOLLOW; break;
        default:
            lb.lbStyle = BS_HATCHED;
            lb.lbHatch = FStyle - bsHorizontal; // HS_HORIZONTAL .. HS_DIAGCROSS in the same order
        }
        FHandle.Reset(::CreateBrushIndirect(&lb));
        if (!FHandle)
            throw EOutOfResources(L"Out of system resources");
    }
    return FHandle.Get();
}

// ---------------------------------------------------------------------------
void TPen::Assign(TPersistent* Source)
{
    if (auto* p = dynamic_cast<TPen*>(Source)) {
        if (p == this)
            return;
        FColor = p->FColor;
        FWidth = p->FWidth;
        FStyle = p->FStyle;
        FMode = p->FMode;
        Changed();
        return;
    }
    TGraphicsObject::Assign(Source);
}

void TPen::SetColor(TColor Value)
{
    if (Value == FColor)
        return;
    FColor = Value;
    Changed();
}

void TPen::SetWidth(int Value)
{
    if (Value < 0 || Value == FWidth)
        return;
    FWidth = Value;
    Changed();
}

void TPen::SetStyle(TPenStyle Value)
{
    if (Value == FStyle)
        return;
    FStyle = Value;
    Changed();
}

void TPen::SetMode(TPenMode Value)
{
    if (Value == FMode)
        return;
    FMode = Value;
    Changed();
}

HPEN TPen::Handle()
{
    if (!FHandle) {
        static const int styles[] = {PS_SOLID, PS_DASH, PS_DOT, PS_DASHDOT, PS_DASHDOTDOT, PS_NULL, PS_INSIDEFRAME};
        LOGPEN lp{};
        lp.lopnStyle = styles[FStyle];
        lp.lopnWidth.x = FWidth;
        lp.lopnColor = GdiColor(FColor);
        FHandle.Reset(::CreatePenIndirect(&lp));
        if (!FHandle)
            throw EOutOfResources(L"Out of system resources");
    }
    return FHandle.Get();
}

// ---------------------------------------------------------------------------
TCanvas::TCanvas() : FFont(new TFont), FBrush(new TBrush), FPen(new TPen)
{
    FFont->OnChange = Bind(this, &TCanvas::FontChanged);
    FBrush->OnChange = Bind(this, &TCanvas::BrushChanged);
    FPen->OnChange = Bind(this, &TCanvas::PenChanged);
}

TCanvas::~TCanvas()
{
    SetHandle(nullptr);
    delete FFont;
    delete FBrush;
    delete FPen;
}

HDC TCanvas::Handle()
{
    // Whoever draws on the context directly (DrawText, BitBlt of a pattern)
    // finds the canvas's font, pen and brush in it, with the text colour and
    // background the canvas's own text calls use.
    RequiredState(csHandleValid | csFontValid | csPenValid | csBrushValid);
    return FHandle;
}

void TCanvas::SetHandle(HDC Value)
{
    if (Value == FHandle)
        return;
    DeselectHandles();
    FHandle = Value;
    if (FHandle)
        ::MoveToEx(FHandle, FPenPos.x, FPenPos.y, nullptr);
}

void TCanvas::DeselectHandles()
{
    FFontSel.Restore();
    FPenSel.Restore();
    FBrushSel.Restore();
}

void TCanvas::RequiredState(int State)
{
    if (!FHandle) {
        CreateHandle();
        if (!FHandle)
            throw EInvalidOperation(L"Canvas does not allow drawing");
    }
    if ((State & csFontValid) && !FFontSel.Active()) {
        FFontSel = SelectedObject(FHandle, FFont->Handle());
        ::SetTextColor(FHandle, GdiColor(FFont->Color()));
    }
    if ((State & csPenValid) && !FPenSel.Active()) {
        static const int rops[] = {R2_BLACK,       R2_WHITE,     R2_NOP,      R2_NOT,
                                   R2_COPYPEN,     R2_NOTCOPYPEN, R2_MERGEPENNOT, R2_MASKPENNOT,
                                   R2_MERGENOTPEN, R2_MASKNOTPEN, R2_MERGEPEN, R2_NOTMERGEPEN,
                                   R2_MASKPEN,     R2_NOTMASKPEN, R2_XORPEN,   R2_NOTXORPEN};
        FPenSel = SelectedObject(FHandle, FPen->Handle());
        ::SetROP2(FHandle, rops[FPen->Mode()]);
    }
    if ((State & csBrushValid) && !FBrushSel.Active()) {
        FBrushSel = SelectedObject(FHandle, FBrush->Handle());
        ::SetBkColor(FHandle, GdiColor(FBrush->Color()));
        ::SetBkMode(FHandle, FBrush->Style() == bsSolid ? OPAQUE : TRANSPARENT);
    }
}

void TCanvas::FontChanged(TObject*)
{
    FFontSel.Restore();
}

void TCanvas::PenChanged(TObject*)
{
    FPenSel.Restore();
}

void TCanvas::BrushChanged(TObject*)
{
    FBrushSel.Restore();
}

void TCanvas::Changing()
{
    if (OnChanging)
        OnChanging(this);
}

void TCanvas::Changed()
{
    if (OnChange)
        OnChange(this);
}

void TCanvas::Lock()
{
    FLock.lock();
    ++FLockCount;
}

void TCanvas::Unlock()
{
    if (FLockCount <= 0)
        return;
    --FLockCount;
    FLock.unlock();
}

bool TCanvas::TryLock()
{
    if (!FLock.try_lock())
        return false;
    ++FLockCount;
    return true;
}

TPoint TCanvas::PenPos()
{
    if (FHandle) {
        POINT p;
        if (::GetCurrentPositionEx(FHandle, &p))
            FPenPos = p;
    }
    return FPenPos;
}

TRect TCanvas::ClipRect()
{
    RequiredState(csHandleValid);
    TRect r;
    ::GetClipBox(FHandle, &r);
    return r;
}

TColor TCanvas::Pixels(int X, int Y)
{
    RequiredState(csHandleValid);
    return static_cast<TColor>(::GetPixel(FHandle, X, Y)); // CLR_INVALID (-1) outside the surface
}

void TCanvas::SetPixels(int X, int Y, TColor Value)
{
    Changing();
    RequiredState(csHandleValid);
    ::SetPixel(FHandle, X, Y, GdiColor(Value));
    Changed();
}

void TCanvas::FillRect(const TRect& Rect)
{
    Changing();
    RequiredState(csHandleValid | csBrushValid);
    ::FillRect(FHandle, &Rect, FBrush->Handle());
    Changed();
}

void TCanvas::FrameRect(const TRect& Rect)
{
    Changing();
    RequiredState(csHandleValid | csBrushValid);
    ::FrameRect(FHandle, &Rect, FBrush->Handle());
    Changed();
}

void TCanvas::Rectangle(int X1, int Y1, int X2, int Y2)
{
    Changing();
    RequiredState(csHandleValid | csPenValid | csBrushValid);
    ::Rectangle(FHandle, X1, Y1, X2, Y2);
    Changed();
}

void TCanvas::RoundRect(int X1, int Y1, int X2, int Y2, int X3, int Y3)
{
    Changing();
    RequiredState(csHandleValid | csPenValid | csBrushValid);
    ::RoundRect(FHandle, X1, Y1, X2, Y2, X3, Y3);
    Changed();
}

void TCanvas::Ellipse(int X1, int Y1, int X2, int Y2)
{
    Changing();
    RequiredState(csHandleValid | csPenValid | csBrushValid);
    ::Ellipse(FHandle, X1, Y1, X2, Y2);
    Changed();
}

void TCanvas::Pie(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4)
{
    Changing();
    RequiredState(csHandleValid | csPenValid | csBrushValid);
    ::Pie(FHandle, X1, Y1, X2, Y2, X3, Y3, X4, Y4);
    Changed();
}

void TCanvas::Polygon(const TPoint* Points, int Count)
{
    if (!Points || Count <= 0)
        return;
    Changing();
    RequiredState(csHandleValid | csPenValid | csBrushValid);
    ::Polygon(FHandle, Points, Count);
    Changed();
}

void TCanvas::Polyline(const TPoint* Points, int Count)
{
    if (!Points || Count <= 0)
        return;
    Changing();
    RequiredState(csHandleValid | csPenValid | csBrushValid);
    ::Polyline(FHandle, Points, Count);
    Changed();
}

void TCanvas::MoveTo(int X, int Y)
{
    FPenPos = TPoint(X, Y);
    if (FHandle)
        ::MoveToEx(FHandle, X, Y, nullptr);
}

void TCanvas::LineTo(int X, int Y)
{
    Changing();
    RequiredState(csHandleValid | csPenValid | csBrushValid);
    ::LineTo(FHandle, X, Y);
    FPenPos = TPoint(X, Y);
    Changed();
}

void TCanvas::DrawFocusRect(const TRect& Rect)
{
    Changing();
    RequiredState(csHandleValid | csBrushValid);
    ::DrawFocusRect(FHandle, &Rect);
    Changed();
}

void TCanvas::TextOut(int X, int Y, const UnicodeString& Text)
{
    Changing();
    RequiredState(csHandleValid | csFontValid | csBrushValid);
    ::ExtTextOutW(FHandle, X, Y, 0, nullptr, Text.c_str(), UINT(Text.size()), nullptr);
    FPenPos = TPoint(X + TextWidth(Text), Y);
    ::MoveToEx(FHandle, FPenPos.x, FPenPos.y, nullptr);
    Changed();
}

void TCanvas::TextRect(const TRect& Rect, int X, int Y, const UnicodeString& Text)
{
    Changing();
    RequiredState(csHandleValid | csFontValid | csBrushValid);
    UINT options = ETO_CLIPPED;
    if (FBrush->Style() != bsClear)
        options |= ETO_OPAQUE;
    ::ExtTextOutW(FHandle, X, Y, options, &Rect, Text.c_str(), UINT(Text.size()), nullptr);
    Changed();
}

TSize TCanvas::TextExtent(const UnicodeString& Text)
{
    RequiredState(csHandleValid | csFontValid);
    TSize s;
    ::GetTextExtentPoint32W(FHandle, Text.c_str(), int(Text.size()), &s);
    return s;
}

void TCanvas::Draw(int X, int Y, TGraphic* Graphic)
{
    if (!Graphic || Graphic->Empty())
        return;
    StretchDraw(Bounds(X, Y, Graphic->Width(), Graphic->Height()), Graphic);
}

void TCanvas::StretchDraw(const TRect& Rect, TGraphic* Graphic)
{
    if (!Graphic || Graphic->Empty())
        return;
    Changing();
    RequiredState(csHandleValid);
    Graphic->Draw(this, Rect);
    Changed();
}

void TCanvas::CopyRect(const TRect& Dest, TCanvas* Source, const TRect& SourceRect)
{
    if (!Source)
        return;
    Changing();
    RequiredState(csHandleValid | csFontValid | csBrushValid);
    HDC src = Source->Handle();
    {
        StretchModeScope mode(FHandle, COLORONCOLOR);
        ::StretchBlt(FHandle, Dest.left, Dest.top, Dest.Width(), Dest.Height(), src, SourceRect.left, SourceRect.top,
                     SourceRect.Width(), SourceRect.Height(), DWORD(FCopyMode));
    }
    Changed();
}
