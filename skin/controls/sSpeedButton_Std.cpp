// The speed button's unskinned look: the class library's faces for the
// button and its arrow zone, the divider's sunken line, caption and glyph.
#include "skin/controls/sSpeedButton.h"

#include "skin/core/sVclUtils.h"

void TsSpeedButton::StdPaintFace(HDC DC, const TRect& R, bool Pressed, bool Hot)
{
    RECT r{R.left, R.top, R.right, R.bottom};
    const TButtonState s = ButtonState();
    if (Flat()) {
        if (!Transparent()) {
            GdiObject<HBRUSH> face(::CreateSolidBrush(ColorToRGB(Color())));
            ::FillRect(DC, &r, face.Get());
        }
        if (Pressed)
            ::DrawEdge(DC, &r, BDR_SUNKENOUTER, BF_RECT | (Transparent() ? 0 : BF_MIDDLE));
        else if (Hot || Designing())
            ::DrawEdge(DC, &r, BDR_RAISEDINNER, BF_RECT | (Transparent() ? 0 : BF_MIDDLE));
        return;
    }
    ::DrawFrameControl(DC, &r, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_ADJUSTRECT | (Pressed ? DFCS_PUSHED : 0));
    if (s == bsExclusive) {
        // The held-down face: the dotted pattern of face and highlight.
        static const WORD pattern[8] = {0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA};
        GdiObject<HBITMAP> bits(::CreateBitmap(8, 8, 1, 1, pattern));
        GdiObject<HBRUSH> brush(::CreatePatternBrush(bits.Get()));
        const COLORREF oldText = ::SetTextColor(DC, ColorToRGB(clBtnFace));
        const COLORREF oldBk = ::SetBkColor(DC, ColorToRGB(clBtnHighlight));
        ::FillRect(DC, &r, brush.Get());
        ::SetTextColor(DC, oldText);
        ::SetBkColor(DC, oldBk);
    }
}

void TsSpeedButton::StdPaintDivider(HDC DC)
{
    RECT r{ClientWidth() / 2 - 1, 0, ClientWidth() / 2 + 1, ClientHeight()};
    ::DrawEdge(DC, &r, BDR_SUNKENOUTER, BF_RECT);
}

void TsSpeedButton::StdPaint(bool Full)
{
    if (!Enabled()) {
        FState = bsDisabled;
        FDragging = false;
    } else if (FState == bsDisabled) {
        FState = Down() && GroupIndex() != 0 ? bsExclusive : bsUp;
    }
    TCanvas* c = Canvas();
    c->Font()->Assign(Font());
    HDC dc = c->Handle();
    if (FButtonStyle == tbsSeparator)
        return;
    if (FButtonStyle == tbsDivider) {
        StdPaintDivider(dc);
        return;
    }
    const TButtonState s = ButtonState();
    const bool pressed = s == bsDown || s == bsExclusive;
    const bool hot = FMouseInControl && s != bsDisabled;
    if (Full) {
        StdPaintFace(dc, TRect(0, 0, Width() - ArrowWidth(), Height()), pressed, hot);
        if (FButtonStyle == tbsDropDown) {
            const bool zonePressed = pressed || DroppedDown;
            const TRect zone(Width() - sArrowZoneWidth, 0, Width(), Height());
            StdPaintFace(dc, zone, zonePressed, hot);
            const int x0 = zone.left + (sArrowZoneWidth - 5) / 2 + (zonePressed ? 1 : 0);
            const int y0 = (Height() - 5) / 2 + (zonePressed ? 1 : 0);
            const POINT pts[3] = {{x0, y0}, {x0 + 5, y0}, {x0 + 2, y0 + 5}};
            GdiObject<HBRUSH> brush(::CreateSolidBrush(ColorToRGB(clBtnText)));
            GdiObject<HPEN> pen(::CreatePen(PS_SOLID, 1, ColorToRGB(clBtnText)));
            SelectedObject b(dc, brush.Get()), p(dc, pen.Get());
            ::Polygon(dc, pts, 3);
        }
    }
    DrawCaption();
    DrawGlyph();
}
