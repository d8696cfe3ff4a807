#include "skin/forms/sSkinProvider_Metrics.h"

#include <algorithm>

#include "skin/forms/sSkinProvider_Title.h"

int IconSizeForCaption(int H)
{
    if (H >= -100 && H <= 8)
        return 1;
    if (H >= 9 && H <= 16)
        return 8;
    return 16;
}

bool IsCaptionButtonCode(int Code)
{
    switch (Code) {
    case HTMINBUTTON: case HTMAXBUTTON: case HTCLOSE: case HTHELP: case HTMDICLOSE: case HTMDIMAX: case HTMDIMIN:
        return true;
    default:
        return Code >= HTUDBTN;
    }
}

TsFrameMetrics::TsFrameMetrics(const TsFrameFacts& Facts) : F(Facts)
{
    LayOutButtons();
}

// ---------------------------------------------------------------------------
// Frame and caption sizes.

int TsFrameMetrics::SysBorderWidth(bool CheckSkin) const
{
    if (CheckSkin && F.BorderForm && F.ExBorderWidth != 0)
        return F.ExBorderWidth;
    if (F.Style & WS_THICKFRAME)
        return F.CxFrame;
    if (F.Style & WS_BORDER)
        return F.CxDlgFrame;
    return 0;
}

int TsFrameMetrics::SysBorderHeight(bool CheckSkin) const
{
    return F.BorderForm ? 0 : SysBorderWidth(CheckSkin);
}

int TsFrameMetrics::SkinTitleHeight() const
{
    return F.BorderForm ? F.ExTitleHeight : 0;
}

int TsFrameMetrics::CaptionHeight(bool CheckSkin) const
{
    const bool border = F.BorderStyle != bsNone || F.MDIChild;
    if (!F.Iconic && (!border || (F.Style & WS_CAPTION) != WS_CAPTION))
        return 0;
    const int skin = CheckSkin ? SkinTitleHeight() : 0;
    const bool small = F.BorderStyle == bsToolWindow || F.BorderStyle == bsSizeToolWin;
    const int sys = small ? F.CySmCaption : F.CyCaption;
    if (F.SysExHeight)
        return std::max(sys + 4, skin);
    return skin != 0 ? skin : sys;
}

int TsFrameMetrics::BorderWidth(bool CheckSkin) const
{
    return SysBorderWidth(CheckSkin) + F.FormBorderWidth;
}

int TsFrameMetrics::BorderHeight(bool CheckSkin) const
{
    return SysBorderHeight(CheckSkin) + F.FormBorderWidth;
}

int TsFrameMetrics::DiffTitle() const
{
    return F.BorderForm ? CaptionHeight(true) - CaptionHeight(false) - SysBorderWidth(false) : 0;
}

int TsFrameMetrics::DiffBorder() const
{
    return F.BorderForm ? SysBorderWidth(true) - SysBorderWidth(false) : 0;
}

int TsFrameMetrics::MenuHeight() const
{
    return F.HasMenu ? F.CyMenu - 1 : 0;
}

int TsFrameMetrics::LinesHeight() const
{
    return F.MenuLines * MenuHeight();
}

int TsFrameMetrics::HeaderHeight() const
{
    int h;
    if (F.BorderForm)
        h = SysBorderHeight(false) + CaptionHeight(true);
    else if (CaptionHeight(true) != 0)
        h = F.Height - F.ClientHeight - BorderHeight(true);
    else
        h = F.Height - F.ClientHeight - ((F.Style & WS_BORDER) ? BorderHeight(true) : 0);
    h = std::max(h, 0);
    if (F.Iconic)
        h += SysBorderHeight(false);
    return h - F.HScrollHeight;
}

int TsFrameMetrics::OffsetX() const
{
    if (F.BorderForm)
        return BorderWidth(true) + F.Shadow.left;
    return (F.Width - F.ClientWidth - F.VScrollWidth) / 2;
}

int TsFrameMetrics::OffsetY() const
{
    if (F.BorderForm)
        return CaptionHeight(true) + LinesHeight() + F.FormBorderWidth + F.Shadow.top;
    return F.Height - F.ClientHeight - ((F.Style & WS_BORDER) ? BorderWidth(true) : 0) - F.HScrollHeight;
}

// ---------------------------------------------------------------------------
// The window image.

int TsFrameMetrics::ImageWidth() const
{
    const int w = F.Iconic ? F.Width : F.Width + 2 * DiffBorder();
    return w + F.Shadow.left + F.Shadow.right;
}

int TsFrameMetrics::ImageHeight() const
{
    if (!F.BorderForm)
        return F.Height;
    return F.Height + DiffBorder() + DiffTitle() + F.Shadow.top + F.Shadow.bottom + (MenuHeight() != 0 ? 1 : 0);
}

int TsFrameMetrics::TitleBottom() const
{
    return SysBorderHeight(false) + CaptionHeight(true) + F.Shadow.top;
}

TRect TsFrameMetrics::FrameRect() const
{
    const int bottom = F.Iconic ? TitleBottom() + 1 : ImageHeight();
    return TRect(F.Shadow.left, F.Shadow.top, ImageWidth() - F.Shadow.right, bottom - F.Shadow.bottom);
}

TPoint TsFrameMetrics::ImageOrigin() const
{
    return TPoint(F.Shadow.left + DiffBorder(), F.Shadow.top + DiffTitle());
}

// A maximised window keeping the system's caption height + 4 shows 4 rows
// of its caption less.
TRect TsFrameMetrics::ExBorderRegion() const
{
    const int sbw = SysBorderWidth(false);
    const int top = F.SysExHeight ? sbw + CaptionHeight(false) - 4 : SysBorderHeight(false) + CaptionHeight(false) + sbw;
    return TRect(sbw, top, F.Width - sbw, F.Height - sbw);
}

int TsFrameMetrics::TitleIconWidth() const
{
    if (!F.IconVisible)
        return 0;
    return F.TitleIconWidth != 0 ? F.TitleIconWidth : IconSizeForCaption(CaptionHeight(true));
}

int TsFrameMetrics::TitleIconHeight() const
{
    if (!F.IconVisible)
        return 0;
    return F.TitleIconHeight != 0 ? F.TitleIconHeight : IconSizeForCaption(CaptionHeight(true));
}

TRect TsFrameMetrics::IconRect() const
{
    TRect r;
    r.left = SysBorderWidth(true) + F.BILeftMargin + F.Shadow.left;
    r.right = r.left + TitleIconWidth();
    r.top = SysBorderWidth(false) / 2 + F.Shadow.top - 1;
    r.top += (SysBorderHeight(false) + CaptionHeight(true) + F.Shadow.top - r.top - TitleIconHeight()) / 2;
    if (F.BorderForm) {
        r.top += F.ExCenterOffs;
        if (F.Zoomed && F.ExTitleHeight != F.ExMaxHeight)
            r.top += (F.ExTitleHeight - F.ExMaxHeight) / 2 - 2;
    }
    r.bottom = r.top + TitleIconHeight();
    return r;
}

int TsFrameMetrics::SysButtonsCount() const
{
    if (!F.VisibleClose)
        return 0;
    return 3 - (F.VisibleMin ? 0 : 1) - (F.VisibleMax ? 0 : 1) + (F.ShowHelp ? 1 : 0);
}

// The title buttons take their room whether or not the close button is
// shown (they are placed either way); hidden ones take none.
int TsFrameMetrics::TitleBtnsWidth() const
{
    const int spacing = F.BigButtons ? F.BISpacing : 0;
    int w = F.BIRightMargin;
    if (F.VisibleClose) {
        w += F.CloseWidth;
        if (F.VisibleMax)
            w += F.MaxWidth + spacing;
        if (F.VisibleMin)
            w += F.MinWidth + spacing;
        if (F.ShowHelp)
            w += F.HelpWidth + spacing;
    }
    if (!F.TitleButtons.empty())
        w += 8;
    for (const TsTitleButtonFact& b : F.TitleButtons)
        if (b.Visible)
            w += b.Width + spacing;
    return w;
}

TRect TsFrameMetrics::CaptionTextRoom() const
{
    TRect r;
    r.left = SysBorderWidth(true) + TitleIconWidth() + F.BILeftMargin + F.Shadow.left + (F.CaptionFrame ? 2 : 0) + 4;
    r.right = FrameRect().right - TitleBtnsWidth() - F.Shadow.right - 12;
    r.top = F.Shadow.top + (F.Zoomed ? SysBorderWidth(false) / 2 + 1 : 2);
    r.bottom = TitleBottom();
    if (ExMode()) {
        int down = F.ExCenterOffs;
        if (F.Zoomed && F.ExTitleHeight != F.ExMaxHeight)
            down += (F.ExTitleHeight - F.ExMaxHeight) / 2 - 2;
        r.top += down;
        r.bottom += down;
    }
    return r;
}

TPoint TsFrameMetrics::GripPoint() const
{
    return TPoint(ImageWidth() - F.GripWidth - SysBorderWidth(true) - F.Shadow.right - 1,
                  ImageHeight() - F.GripHeight - SysBorderWidth(true) - F.Shadow.bottom - 1);
}

// ---------------------------------------------------------------------------
// Caption buttons, from right to left.

// A maximised form without border window loses its frame to the region:
// its buttons stay below it, where they are seen whole.
int TsFrameMetrics::ButtonTop(bool Aligned) const
{
    const int top = SkinButtonTop(Aligned);
    if (F.Zoomed && !F.BorderForm)
        return std::max<int>(top, F.Shadow.top + SysBorderHeight(false));
    return top;
}

int TsFrameMetrics::SkinButtonTop(bool Aligned) const
{
    const TRect& s = F.Shadow;
    const int sbw0 = SysBorderWidth(false);
    if (Aligned && F.BIVAlign == 1) {
        int top = s.top;
        if (F.Zoomed) {
            if (!F.SizeConstrained)
                top += sbw0 - 1;
            if (F.BorderForm)
                top += F.ExTitleHeight - F.ExMaxHeight + (F.ExDrawMode == 1 ? F.ExCenterOffs : 0);
        }
        return top;
    }
    int top = s.top + (SysBorderHeight(true) + CaptionHeight(true) - F.ButtonHeight) / 2;
    if (ExMode())
        top += F.ExCenterOffs;
    if (F.Zoomed && F.BorderForm) {
        top -= 2;
        if (F.ExTitleHeight != F.ExMaxHeight)
            top += (F.ExTitleHeight - F.ExMaxHeight - F.ExCenterOffs) / 2 - 2;
        top += sbw0 / 2;
    }
    if (Aligned && F.ButtonHeight < 16)
        top += 2;
    return top;
}

// A button Width wide whose right edge is X; X moves past it to the left.
TRect TsFrameMetrics::PlaceButton(int& X, int Width, bool Aligned) const
{
    const int top = ButtonTop(Aligned);
    const TRect r(X - Width, top, X, top + F.ButtonHeight);
    X = r.left - (F.BigButtons ? F.BISpacing : 0);
    return r;
}

void TsFrameMetrics::LayOutButtons()
{
    FButtons.Title.assign(F.TitleButtons.size(), TRect());
    if (CaptionHeight(true) <= 0 || (F.BorderStyle == bsNone && !F.MDIChild))
        return;
    int x = ImageWidth() - F.BIRightMargin - F.Shadow.right - SysBorderWidth(true);
    if (F.VisibleClose) {
        if (F.CloseWidth > 0)
            FButtons.Close = PlaceButton(x, F.CloseWidth, F.ButtonsAligned);
        if (F.VisibleMax && F.MaxWidth > 0)
            FButtons.Max = PlaceButton(x, F.MaxWidth, F.ButtonsAligned);
        if (F.VisibleMin && F.MinWidth > 0)
            FButtons.Min = PlaceButton(x, F.MinWidth, F.ButtonsAligned);
        if (F.ShowHelp && F.HelpWidth > 0)
            FButtons.Help = PlaceButton(x, F.HelpWidth, F.ButtonsAligned);
    }
    if (!F.TitleButtons.empty())
        x -= 8;
    for (std::size_t i = 0; i < F.TitleButtons.size(); ++i)
        if (F.TitleButtons[i].Visible)
            FButtons.Title[i] = PlaceButton(x, F.TitleButtons[i].Width, false);
    if (!F.MDIButtons)
        return;
    const int sw = F.SmallButtonWidth, sh = F.SmallButtonHeight;
    const int y = SysBorderHeight(true) + CaptionHeight(true) + F.Shadow.top + (MenuHeight() - sh) / 2;
    const int right = ImageWidth() - SysBorderWidth(true) - F.Shadow.right;
    if (F.MDIMinWidth > 0)
        FButtons.MDIMin = Bounds(right - 3 * sw - 3, y, sw, sh);
    FButtons.MDIMax = Bounds(right - 2 * sw - 2, y, sw, sh);
    if (F.MDICloseWidth > 0)
        FButtons.MDIClose = Bounds(right - sw - 1, y, sw, sh);
}

// ---------------------------------------------------------------------------
// Hit test.

int TsFrameMetrics::HitTest(const TPoint& P) const
{
    // Without a caption the skin answers nothing: the system's frame stands.
    if (CaptionHeight(true) == 0)
        return HTNOWHERE;
    if (int code = ButtonCode(P))
        return code;
    if (int code = BorderCode(P))
        return code;
    if (int code = CaptionCode(P))
        return code;
    return ClientCode(P);
}

// The button under P answers its own code, whatever the buttons before it
// in the title are (shown, hidden, or faceless).  A disabled maximise or
// minimise button is part of the caption; a disabled title button is not
// a button at all.  The border window tests its buttons itself, in the
// image where they are placed.
int TsFrameMetrics::ButtonCode(const TPoint& P) const
{
    return F.BorderForm ? 0 : ButtonAt(P);
}

int TsFrameMetrics::ButtonAt(const TPoint& P) const
{
    if (FButtons.Close.Contains(P))
        return HTCLOSE;
    if (FButtons.Max.Contains(P))
        return F.EnabledMax || (F.EnabledRestore && !F.Iconic) ? HTMAXBUTTON : HTCAPTION;
    if (FButtons.Min.Contains(P))
        return F.Iconic || F.EnabledMin ? HTMINBUTTON : HTCAPTION;
    if (FButtons.Help.Contains(P))
        return HTHELP;
    for (std::size_t i = 0; i < FButtons.Title.size(); ++i)
        if (FButtons.Title[i].Contains(P))
            return F.TitleButtons[i].Enabled ? HTUDBTN + int(i) : 0;
    return 0;
}

// The sizing zones are as wide as the frame on every side; the bottom
// edge wins over the top and the right over the left.
int TsFrameMetrics::BorderCode(const TPoint& P) const
{
    if (F.Zoomed || !ThickFrame() || F.BorderForm)
        return 0;
    const int sbw = SysBorderWidth(true);
    const bool bottom = P.y >= F.Height - sbw;
    const bool top = !bottom && P.y < SysBorderHeight(false);
    const bool right = P.x >= F.Width - sbw;
    const bool left = !right && P.x < sbw;
    if (left)
        return top ? HTTOPLEFT : bottom ? HTBOTTOMLEFT : HTLEFT;
    if (right)
        return top ? HTTOPRIGHT : bottom ? HTBOTTOMRIGHT : HTRIGHT;
    return top ? HTTOP : bottom ? HTBOTTOM : 0;
}

int TsFrameMetrics::CaptionCode(const TPoint& P) const
{
    const int ch = CaptionHeight(false);
    const int band = ch + SysBorderHeight(true);
    if (P.y >= 0 && P.y <= band) {
        const int menuTop = SysBorderHeight(false) + ch;
        if (MenuHeight() > 0 && P.y >= menuTop && P.y <= menuTop + MenuHeight())
            return HTMENU;
        return IconRect().Contains(P) ? HTSYSMENU : HTCAPTION;
    }
    if (P.y >= 0 && P.y <= band + MenuHeight()) {
        if (!F.MDIButtons)
            return HTMENU;
        const TPoint q(P.x + F.Shadow.left + DiffBorder(), P.y + F.Shadow.top + DiffTitle());
        if (FButtons.MDIClose.Contains(q))
            return HTMDICLOSE;
        if (FButtons.MDIMax.Contains(q))
            return HTMDIMAX;
        if (FButtons.MDIMin.Contains(q))
            return HTMDIMIN;
        return HTMENU;
    }
    return 0;
}

int TsFrameMetrics::ClientCode(const TPoint& P) const
{
    const bool grip = F.GripVisible || F.ScrollCorner.Contains(P);
    if (!grip || F.GripWidth <= 0 || F.GripHeight <= 0)
        return HTCLIENT;
    TPoint g = GripPoint();
    if (F.BorderForm) {
        g.x -= DiffBorder() + F.Shadow.left;
        g.y -= DiffTitle() + F.Shadow.top;
    }
    return P.x > g.x && P.y > g.y ? HTBOTTOMRIGHT : HTCLIENT;
}

// The border window shows the whole image: the buttons where they are
// placed, the sizing zones on the frame inside the shadow (bottom wins over
// top, right over left, all bounds inclusive), the title band, the menu
// line, then the size grip.
int TsFrameMetrics::BorderWindowHitTest(const TPoint& P, int W, int H) const
{
    if (int code = ButtonAt(P))
        return code;
    const TRect& s = F.Shadow;
    if (!F.Zoomed && ThickFrame()) {
        const int sbw = SysBorderWidth(false);
        const bool bottom = P.y >= H - sbw - s.bottom && P.y <= H - s.bottom;
        const bool top = !bottom && P.y >= s.top && P.y <= s.top + sbw;
        const bool right = P.x >= W - sbw - s.right && P.x <= W - s.right;
        const bool left = !right && P.x >= s.left && P.x <= s.left + sbw;
        if (left)
            return top ? HTTOPLEFT : bottom ? HTBOTTOMLEFT : HTLEFT;
        if (right)
            return top ? HTTOPRIGHT : bottom ? HTBOTTOMRIGHT : HTRIGHT;
        if (top || bottom)
            return top ? HTTOP : HTBOTTOM;
    }
    const int band = SysBorderHeight(true) + CaptionHeight(true) + s.top, mh = MenuHeight();
    if (P.y >= 0 && P.y <= band) {
        // The menu band answers as the menu, as on a window without a border window.
        const int menuTop = SysBorderHeight(false) + CaptionHeight(false) + s.top;
        if (mh > 0 && P.y >= menuTop && P.y <= menuTop + mh)
            return HTMENU;
        return IconRect().Contains(P) ? HTSYSMENU : HTCAPTION;
    }
    if (P.y <= band + mh)
        return HTMENU;
    return BorderGripCode(P);
}

// The size grip where the image shows it (beyond the grip point, both
// strictly); the scroll bars' corner is in window coordinates, so the
// point is moved there before it is looked for in it.
int TsFrameMetrics::BorderGripCode(const TPoint& P) const
{
    const TPoint o = ImageOrigin();
    const bool grip = F.GripVisible || F.ScrollCorner.Contains(TPoint(P.x - o.x, P.y - o.y));
    if (!grip || F.GripWidth <= 0 || F.GripHeight <= 0)
        return -1;
    const TPoint g = GripPoint();
    return P.x > g.x && P.y > g.y ? HTBOTTOMRIGHT : -1;
}
