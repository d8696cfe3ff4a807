// The skinned frame's geometry as the provider reads it from its form, the
// non-client hit test, the window region cut from the skin's corners,
// snapping to the work area, the outline move and resize of rmBorder and
// the maximised size.  The arithmetic is TsFrameMetrics'
// (sSkinProvider_Metrics); this file gathers its facts and acts on them.
#include "skin/forms/sSkinProvider.h"

#include <algorithm>

#include "skin/core/sMessages.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/sSkinProps.h"
#include "skin/core/sVclUtils.h"
#include "skin/forms/sSkinMenus.h"
#include "skin/paint/sGraphUtils.h"

bool bInProcess = false;
bool bCapture = false;
bool DoStartMove = false;
bool bMode = false;
int nDirection = 0;

namespace {

// The rest of the outline's state: the desktop's device context it is drawn
// on and the outline in screen coordinates.
// The provider whose form the outline belongs to: the state is one for the
// process, and only that form may end it by a move.
TsSkinProvider* moving = nullptr;
HWND deskwnd = nullptr;
HDC formDC = nullptr;
int nDC = 0;
int nleft = 0, ntop = 0, nright = 0, nbottom = 0;
int nX = 0, nY = 0;
int nMinWidth = 0, nMinHeight = 0;

bool Iconic(TCustomForm* Form)
{
    return Form->HandleAllocated() && ::IsIconic(Form->Handle());
}

bool Zoomed(TCustomForm* Form)
{
    return Form->HandleAllocated() && ::IsZoomed(Form->Handle());
}

// The size of one frame of a skin image: an image with its own bitmap
// keeps its frames side by side over two rows (picture and mask).
TSize FrameSize(const TsSkinManager* Manager, int MaskIndex)
{
    if (!Manager || !Manager->IsValidImgIndex(MaskIndex))
        return {0, 0};
    const TsMaskData& md = Manager->ma[std::size_t(MaskIndex)];
    if (md.Bmp)
        return {md.ImageCount > 0 ? md.Bmp->Width() / md.ImageCount : 0, md.Bmp->Height() / 2};
    return {WidthOfImage(md), HeightOfImage(md)};
}

int FaceWidth(const TsSkinManager* Manager, int MaskIndex)
{
    return FrameSize(Manager, MaskIndex).cx;
}

} // namespace

// ---------------------------------------------------------------------------
// Facts and metrics.

int TsSkinProvider::GlobalMask(const wchar_t* Name)
{
    TsSkinManager* sm = Manager();
    return sm ? sm->GetMaskIndex(s_GlobalInfo, Name) : -1;
}

// The restore face of the maximise (and the minimised form's minimise)
// button, in the size of the button's own faces.
int TsSkinProvider::NormFace(const TsCaptionButton& Btn)
{
    TsSkinManager* sm = Manager();
    if (!sm)
        return -1;
    const bool small = !Btn.HaveAlignment;
    int i = GlobalMask(small ? s_SiconNorm : s_BiconNorm);
    if (!sm->IsValidImgIndex(i))
        i = GlobalMask(small ? s_BiconNorm : s_SiconNorm);
    if (!sm->IsValidImgIndex(i))
        i = sm->GetMaskIndex(FCommonData->SkinIndex, s_Form, s_BiconNorm);
    return i;
}

int TsSkinProvider::MaxFace()
{
    return Iconic(Form) || !Zoomed(Form) ? ButtonMax.ImageIndex : NormFace(ButtonMax);
}

int TsSkinProvider::MinFace()
{
    return Iconic(Form) ? NormFace(ButtonMin) : ButtonMin.ImageIndex;
}

int TsSkinProvider::UserButtonWidth(TsTitleButton* Button)
{
    TsSkinManager* sm = Manager();
    const int glyph = Button->Glyph()->Empty() ? 0 : Button->Glyph()->Width() + 2;
    const int face = sm && sm->IsValidImgIndex(UserBtnIndex)
                         ? sm->ma[std::size_t(UserBtnIndex)].R.Width() / std::max<int>(1, sm->ma[std::size_t(UserBtnIndex)].ImageCount)
                         : 21;
    return std::max(glyph, face);
}

TsFrameFacts TsSkinProvider::FrameFacts()
{
    TsFrameFacts f;
    if (!Form || !Form->HandleAllocated())
        return f;
    const HWND wnd = Form->Handle();
    RECT w, c;
    ::GetWindowRect(wnd, &w);
    ::GetClientRect(wnd, &c);
    f.Width = int(w.right - w.left);
    f.Height = int(w.bottom - w.top);
    f.ClientWidth = int(c.right);
    f.ClientHeight = int(c.bottom);
    f.Style = DWORD(::GetWindowLongW(wnd, GWL_STYLE));
    f.BorderStyle = Form->BorderStyle();
    f.MDIChild = Form->FormStyle() == fsMDIChild;
    f.Iconic = ::IsIconic(wnd) != 0;
    f.Zoomed = ::IsZoomed(wnd) != 0;
    f.FormBorderWidth = Form->BorderWidth();
    f.HasMenu = Form->Menu() != nullptr;
    f.MenuPresent = MenuPresent();
    f.MenuLines = LinesCount();
    f.BorderForm = BorderForm != nullptr;
    f.SysExHeight = FSysExHeight;
    f.Shadow = ShadowSize();
    f.CxFrame = ::GetSystemMetrics(SM_CXFRAME);
    f.CxDlgFrame = ::GetSystemMetrics(SM_CXDLGFRAME);
    f.CyCaption = ::GetSystemMetrics(SM_CYCAPTION);
    f.CySmCaption = ::GetSystemMetrics(SM_CYSMCAPTION);
    f.CyMenu = ::GetSystemMetrics(SM_CYMENU);
    ReadSkinFacts(f);
    ReadButtonFacts(f);
    ReadScrollFacts(f);
    f.IconVisible = IconVisible();
    f.TitleIconWidth = FTitleIcon->Width();
    f.TitleIconHeight = FTitleIcon->Height();
    f.CaptionFrame = FCaptionSkinIndex >= 0;
    f.GripVisible = IsGripVisible();
    const TSize grip = FrameSize(Manager(), GlobalMask(s_GripImage));
    f.GripWidth = grip.cx;
    f.GripHeight = grip.cy;
    return f;
}

void TsSkinProvider::ReadSkinFacts(TsFrameFacts& F)
{
    TsSkinManager* sm = Manager();
    const TsSkinData* sd = sm ? sm->SkinData : nullptr;
    if (!sd)
        return;
    F.ExBorderWidth = sd->ExBorderWidth;
    F.ExTitleHeight = sd->ExTitleHeight;
    F.ExMaxHeight = sd->ExMaxHeight;
    F.ExCenterOffs = sd->ExCenterOffs;
    F.ExDrawMode = sd->ExDrawMode;
    F.BILeftMargin = sd->BILeftMargin;
    F.BIRightMargin = sd->BIRightMargin;
    F.BISpacing = sd->BISpacing;
    F.BIVAlign = sd->BIVAlign;
}

void TsSkinProvider::ReadButtonFacts(TsFrameFacts& F)
{
    TsSkinManager* sm = Manager();
    if (SystemMenu) {
        F.VisibleClose = SystemMenu->VisibleClose();
        F.VisibleMax = SystemMenu->VisibleMax();
        F.VisibleMin = SystemMenu->VisibleMin();
        F.EnabledMax = SystemMenu->EnabledMax();
        F.EnabledMin = SystemMenu->EnabledMin();
        F.EnabledRestore = SystemMenu->EnabledRestore();
    }
    F.ShowHelp = Form->BorderIcons().Contains(biHelp);
    F.CloseWidth = FaceWidth(sm, ButtonClose.ImageIndex);
    F.MaxWidth = FaceWidth(sm, MaxFace());
    F.MinWidth = FaceWidth(sm, MinFace());
    F.HelpWidth = FaceWidth(sm, ButtonHelp.ImageIndex);
    const TSize close = FrameSize(sm, ButtonClose.ImageIndex);
    F.ButtonHeight = close.cy > 0 ? close.cy : 21;
    F.BigButtons = BigButtons(this);
    F.ButtonsAligned = ButtonClose.HaveAlignment;
    for (int i = 0; i < FTitleButtons->Count(); ++i) {
        TsTitleButton* b = FTitleButtons->Items(i);
        F.TitleButtons.push_back({b->Visible(), b->Enabled(), UserButtonWidth(b)});
    }
    F.MDIButtons = MDIButtonsNeeded();
    const TSize small = FrameSize(sm, MDIClose.ImageIndex);
    F.SmallButtonWidth = small.cx > 0 ? small.cx : 16;
    F.SmallButtonHeight = small.cy > 0 ? small.cy : 16;
    F.MDIMinWidth = FaceWidth(sm, MDIMin.ImageIndex);
    F.MDICloseWidth = small.cx;
}

TsFrameMetrics TsSkinProvider::Metrics()
{
    return TsFrameMetrics(FrameFacts());
}

int TsSkinProvider::CaptionHeight(bool CheckSkin)
{
    return Metrics().CaptionHeight(CheckSkin);
}

int TsSkinProvider::SysBorderWidth(bool CheckSkin)
{
    return Metrics().SysBorderWidth(CheckSkin);
}

int TsSkinProvider::SysBorderHeight(bool CheckSkin)
{
    return Metrics().SysBorderHeight(CheckSkin);
}

int TsSkinProvider::BorderHeight(bool CheckSkin)
{
    return Metrics().BorderHeight(CheckSkin);
}

int TsSkinProvider::HeaderHeight()
{
    return Metrics().HeaderHeight();
}

int TsSkinProvider::MenuHeight()
{
    return Form && Form->Menu() ? ::GetSystemMetrics(SM_CYMENU) - 1 : 0;
}

int TsSkinProvider::CaptionWidth()
{
    return Metrics().ImageWidth();
}

int TsSkinProvider::OffsetX()
{
    return Metrics().OffsetX();
}

int TsSkinProvider::OffsetY()
{
    return Metrics().OffsetY();
}

TRect TsSkinProvider::IconRect()
{
    return Metrics().IconRect();
}

bool TsSkinProvider::FormChanged()
{
    TBitmap* cache = FCommonData->FCacheBmp;
    if (!cache)
        return true;
    const TsFrameMetrics m = Metrics();
    return cache->Width() != m.ImageWidth() || cache->Height() != m.Facts().Height;
}

bool TsSkinProvider::IsGripVisible()
{
    return FGripMode == gmRightBottom && Form && Form->HandleAllocated() && !::IsZoomed(Form->Handle()) &&
           (::GetWindowLongW(Form->Handle(), GWL_STYLE) & WS_THICKFRAME);
}

// The form has a system menu: its style has one, or the provider took the
// style bit away while it draws the caption buttons itself.
bool TsSkinProvider::IconVisible()
{
    if (!Form || !Form->HandleAllocated() || !FShowAppIcon)
        return false;
    const TFormBorderStyle bs = Form->BorderStyle();
    return (bs == bsSingle || bs == bsSizeable) &&
           (HaveSysMenu || (::GetWindowLongW(Form->Handle(), GWL_STYLE) & WS_SYSMENU));
}

bool TsSkinProvider::MenuPresent()
{
    if (!Form || Form->BorderStyle() == bsDialog || Form->FormStyle() == fsMDIChild || !Form->Menu())
        return false;
    auto visibleItem = [](TMainMenu* Menu) {
        for (int i = 0; i < Menu->Items()->Count(); ++i)
            if (Menu->Items()->Items(i)->Visible())
                return true;
        return false;
    };
    if (visibleItem(Form->Menu()))
        return true;
    TForm* child = Form->FormStyle() == fsMDIForm ? Form->ActiveMDIChild() : nullptr;
    return child && child->Menu() && visibleItem(child->Menu());
}

bool TsSkinProvider::MDIButtonsNeeded()
{
    if (!Alive(MaxChildProvider) || !Form || Form->FormStyle() != fsMDIForm || !Form->Menu())
        return false;
    TForm* child = Form->ActiveMDIChild();
    return child && child->HandleAllocated() && ::IsZoomed(child->Handle()) &&
           child->BorderIcons().Contains(biSystemMenu);
}

// A maximised MDI child's icon heads the main form's menu bar.
bool TsSkinProvider::ChildIconPresent()
{
    return MDISkinProvider == this && ::ChildIconPresent();
}

// SysBorderWidth(True) without the rest of the facts (the menu lines are
// one of them).
int TsSkinProvider::SkinFrameWidth()
{
    TsFrameFacts f;
    f.Style = DWORD(::GetWindowLongW(Form->Handle(), GWL_STYLE));
    f.BorderForm = BorderForm != nullptr;
    f.CxFrame = ::GetSystemMetrics(SM_CXFRAME);
    f.CxDlgFrame = ::GetSystemMetrics(SM_CXDLGFRAME);
    ReadSkinFacts(f);
    return TsFrameMetrics(f).SysBorderWidth(true);
}

// The width of the menu-bar item at Pos; 0 when the system gives none.
int TsSkinProvider::MenuBarItemWidth(int Pos)
{
    TMainMenu* menu = Form->Menu();
    RECT r{};
    if (!menu || !::GetMenuItemRect(Form->Handle(), menu->Handle(), UINT(Pos), &r))
        return 0;
    return std::max(0, int(r.right - r.left));
}

// The menu lines of the skinned main menu.  A maximised child's icon takes
// the first place of the first line once, whatever width the system gives
// it (a failed or empty rectangle used to keep the count from ever moving
// past it).
int TsSkinProvider::LinesCount()
{
    if (FLinesCount >= 0)
        return FLinesCount;
    TMainMenu* menu = Form ? Form->Menu() : nullptr;
    if (!menu || !Form->HandleAllocated()) {
        FLinesCount = 1;
        return FLinesCount;
    }
    const int start = SkinFrameWidth();
    const int room = Form->Width() - 2 * start - 2 * Form->BorderWidth();
    int lines = 1, x = start, pos = 0;
    if (ChildIconPresent()) {
        x += MenuBarItemWidth(0);
        ++pos;
    }
    for (int i = 0; i < menu->Items()->Count(); ++i) {
        TMenuItem* item = menu->Items()->Items(i);
        if (!item->OnMeasureItem || !item->OnAdvancedDrawItem || !item->Visible())
            continue;
        const int w = MenuBarItemWidth(pos);
        // An item that does not fit goes to the next line; one alone on its
        // line stays there however wide it is.
        if (room < x + w && x != start) {
            ++lines;
            x = start;
        }
        x += w;
        ++pos;
    }
    FLinesCount = lines;
    return FLinesCount;
}

// ---------------------------------------------------------------------------
// Hit test.

TPoint TsSkinProvider::FormLeftTop()
{
    if (!Form || !Form->HandleAllocated())
        return TPoint(0, 0);
    if (Form->FormStyle() == fsMDIChild) {
        const TsFrameMetrics m = Metrics();
        POINT p{0, 0};
        ::ClientToScreen(Form->Handle(), &p);
        p.x -= m.SysBorderWidth(true);
        p.y -= m.SysBorderHeight(true) + (Iconic(Form) ? 0 : m.CaptionHeight(true));
        return TPoint(p.x, p.y);
    }
    RECT r;
    ::GetWindowRect(Form->Handle(), &r);
    return TPoint(r.left, r.top);
}

TPoint TsSkinProvider::CursorToPoint(int X, int Y)
{
    const TPoint lt = FormLeftTop();
    return TPoint(X - lt.x, Y - lt.y);
}

// The application may answer first (OnExtHitTest); then the frame's
// metrics answer, and the caption button under the cursor becomes hot.
int TsSkinProvider::HTProcess(TMessage& Message)
{
    if (OnExtHitTest) {
        Message.Result = 0;
        OnExtHitTest(Message);
        if (Message.Result != 0) {
            SetHotHT(0, true);
            return int(Message.Result);
        }
    }
    const TPoint p = CursorToPoint(GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam));
    const int code = Metrics().HitTest(p);
    if (IsCaptionButtonCode(code))
        SetHotHT(code, true);
    else if (code != HTCAPTION && code != HTSYSMENU && code != HTMENU)
        SetHotHT(0, true);
    return code;
}

// ---------------------------------------------------------------------------
// Window region.

void TsSkinProvider::FillArOR()
{
    ArOR.clear();
    TsSkinManager* sm = Manager();
    if (!sm || !Form || !Form->HandleAllocated())
        return;
    const TsFrameMetrics m = Metrics();
    const int width = m.ImageWidth();
    if (sm->IsValidImgIndex(FCommonData->BorderIndex)) {
        const TsMaskData& md = sm->ma[std::size_t(FCommonData->BorderIndex)];
        AddRgn(ArOR, width, md, 0, false);
        AddRgn(ArOR, width, md, m.Facts().Height - md.WB, true);
    }
    const int title = TitleSkinIndex();
    if (sm->IsValidSkinIndex(title)) {
        const int mask = sm->GetMaskIndex(title, TitleSkinSection(), s_BordersMask);
        if (sm->IsValidImgIndex(mask))
            AddRgn(ArOR, width, sm->ma[std::size_t(mask)], 0, false);
    }
}

HRGN TsSkinProvider::GetRgnFromArOR(int X, int Y)
{
    const TsFrameMetrics m = Metrics();
    HRGN rgn = ::CreateRectRgn(X, Y, X + m.ImageWidth(), Y + m.Facts().Height);
    for (const TRect& r : ArOR) {
        HRGN cut = ::CreateRectRgn(X + r.left, Y + r.top, X + r.right, Y + r.bottom);
        ::CombineRgn(rgn, rgn, cut, RGN_DIFF);
        ::DeleteObject(cut);
    }
    return rgn;
}

// Sets the window region.  The corners stay as FillArOR measured them:
// the region work of the next non-client paint starts only when the image
// is rebuilt again (setting the region asks for a paint of its own, so a
// region that marked itself changed would be set and painted for ever).
bool TsSkinProvider::UpdateRgn(bool Repaint)
{
    if (!Form || !Form->HandleAllocated() || !FDrawNonClientArea || InMenu)
        return false;
    const HWND wnd = Form->Handle();
    if (!HaveBorder(this) && !::IsIconic(wnd))
        return false;
    if (!FirstInitialized && ::SendMessageW(wnd, 0xBC4D, 16802, 0) == 16802)
        return false;
    // Forms are not docked into other controls by the class library, so
    // every form with a border keeps its own region.
    RgnChanging = true;
    const TsFrameMetrics m = Metrics();
    const TsFrameFacts& f = m.Facts();
    HRGN rgn;
    if (BorderForm) {
        const TRect r = m.ExBorderRegion();
        rgn = ::CreateRectRgn(r.left, r.top, r.right, r.bottom);
    } else if (f.Zoomed && !f.SizeConstrained && !f.MDIChild) {
        const int sbw = m.SysBorderWidth(false), sbh = m.SysBorderHeight(false);
        rgn = ::CreateRectRgn(sbw, sbh, f.Width - sbw, f.Height - sbh);
    } else {
        rgn = GetRgnFromArOR(0, 0);
    }
    RgnChanged = false;
    // The window owns the region from here on.
    ::SetWindowRgn(wnd, rgn, Repaint);
    RgnChanging = false;
    return true;
}

void TsSkinProvider::UpdateRegion()
{
    FillArOR();
    UpdateRgn(false);
}

HRGN TsSkinProvider::CornerRegion()
{
    if (!Form || !Form->HandleAllocated())
        return nullptr;
    FillArOR();
    return ArOR.empty() ? nullptr : GetRgnFromArOR(0, 0);
}

// ---------------------------------------------------------------------------
// Snapping.

TRect FormWorkArea(TCustomForm* Form)
{
    MONITORINFO mi{};
    mi.cbSize = sizeof(mi);
    HMONITOR mon = ::MonitorFromWindow(Form->Handle(), MONITOR_DEFAULTTONEAREST);
    if (mon && ::GetMonitorInfoW(mon, &mi))
        return TRect(mi.rcWork);
    RECT r;
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &r, 0);
    return TRect(r);
}

void SnapCoordinate(int& V, int Edge, int Buffer, int Extent)
{
    if (std::abs(V + Extent - Edge) < Buffer)
        V = Edge - Extent;
}

// A position change that moves the form (a change of size or z-order alone
// carries no position to snap) lands on the nearest work-area edge within
// SnapBuffer pixels; the left and top edges win.
void TsSkinProvider::SnapPosition(WINDOWPOS& Pos)
{
    if ((Pos.flags & SWP_NOMOVE) || (Pos.x == 0 && Pos.y == 0))
        return;
    const TsFrameMetrics m = Metrics();
    const TRect wa = FormWorkArea(Form);
    const int d = m.DiffBorder();
    int x = Pos.x, y = Pos.y;
    SnapCoordinate(x, wa.right, FSnapBuffer, m.Facts().Width + d);
    SnapCoordinate(y, wa.bottom, FSnapBuffer, m.Facts().Height + d);
    SnapCoordinate(x, wa.left, FSnapBuffer, -d);
    SnapCoordinate(y, wa.top, FSnapBuffer, -m.DiffTitle());
    Pos.x = x;
    Pos.y = y;
}

// ---------------------------------------------------------------------------
// The outline move and resize of rmBorder: an inverted outline follows the
// mouse on the desktop and the form moves or takes its size when the
// button is released.

void TsSkinProvider::DrawFormBorder(int X, int Y)
{
    if (FResizeMode != rmBorder || !formDC)
        return;
    POINT pts[5];
    if (bMode) {
        const int w = Form->Width(), h = Form->Height();
        pts[0] = {X, Y};
        pts[1] = {X + w, Y};
        pts[2] = {X + w, Y + h};
        pts[3] = {X, Y + h};
    } else {
        pts[0] = {nleft, ntop};
        pts[1] = {nright, ntop};
        pts[2] = {nright, nbottom};
        pts[3] = {nleft, nbottom};
    }
    pts[4] = pts[0];
    if (Form->FormStyle() == fsMDIChild && Alive(MDISkinProvider) && MDISkinProvider->Form) {
        TsSkinProvider* mp = MDISkinProvider;
        const TsFrameMetrics m = mp->Metrics();
        TForm* main = mp->Form;
        const int dx = m.SysBorderWidth(true) + main->Left() + main->BorderWidth() + 1;
        const int dy = 2 * m.SysBorderHeight(true) + main->Top() + m.CaptionHeight(true) +
                       (mp->MenuPresent() ? m.LinesHeight() : 0) + main->BorderWidth() - 2;
        for (POINT& p : pts) {
            p.x += dx;
            p.y += dy;
        }
    }
    ::Polyline(formDC, pts, 5);
}

void TsSkinProvider::StartMove(int X, int Y)
{
    if (FResizeMode != rmBorder || bInProcess)
        return;
    bInProcess = true;
    moving = this;
    deskwnd = ::GetDesktopWindow();
    formDC = ::GetWindowDC(deskwnd);
    nDC = ::SaveDC(formDC);
    ::SetROP2(formDC, R2_NOT);
    ::SelectObject(formDC, ::GetStockObject(NULL_BRUSH));
    ntop = Form->Top();
    nleft = Form->Left();
    if (bMode) {
        nX = X;
        nY = Y;
        DrawFormBorder(nleft, ntop);
        return;
    }
    const TSize minimum = MinTrackSize();
    nMinWidth = minimum.cx;
    nMinHeight = minimum.cy;
    nbottom = Form->Top() + Form->Height();
    nright = Form->Left() + Form->Width();
    DrawFormBorder(0, 0);
}

// The mouse moved to P (screen coordinates) during an outline move.
void TsSkinProvider::TrackOutline(const TPoint& P)
{
    if (bMode) {
        bCapture = false;
        if (!bInProcess)
            return;
        DrawFormBorder(nleft, ntop);
        nleft += P.x - nX;
        ntop += P.y - nY;
        nX = P.x;
        nY = P.y;
        DrawFormBorder(nleft, ntop);
        return;
    }
    if (bCapture) {
        nX = P.x;
        nY = P.y;
        bCapture = false;
    }
    if (!bInProcess)
        return;
    DrawFormBorder(0, 0);
    const bool top = nDirection == HTTOP || nDirection == HTTOPLEFT || nDirection == HTTOPRIGHT;
    const bool left = nDirection == HTLEFT || nDirection == HTTOPLEFT || nDirection == HTBOTTOMLEFT;
    const bool known = top || left || nDirection == HTBOTTOM || nDirection == HTRIGHT;
    const bool bottom = nDirection == HTBOTTOM || nDirection == HTBOTTOMLEFT || !known;
    const bool right = nDirection == HTRIGHT || nDirection == HTTOPRIGHT || !known;
    if (top)
        ntop = std::min<int>(P.y + Form->Top() - nY, nbottom - nMinHeight);
    if (bottom)
        nbottom = std::max<int>(P.y + Form->Top() + Form->Height() - nY, Form->Top() + nMinHeight);
    if (left)
        nleft = std::min<int>(Form->Left() + P.x - nX, nright - nMinWidth);
    if (right)
        nright = std::max<int>(Form->Left() + Form->Width() + P.x - nX, Form->Left() + nMinWidth);
    DrawFormBorder(0, 0);
}

void TsSkinProvider::StopMove(int X, int Y)
{
    (void)X;
    (void)Y;
    if (!bInProcess)
        return;
    if (moving != this) {
        // Another form's outline: ended, and this form stays where it is.
        if (moving)
            moving->CancelOutline();
        return;
    }
    // The state ends before the capture goes: its loss ends nothing more.
    moving = nullptr;
    bInProcess = false;
    DoStartMove = false;
    DrawFormBorder(nleft, ntop);
    ::RestoreDC(formDC, nDC);
    ::ReleaseDC(deskwnd, formDC);
    formDC = nullptr;
    const bool pressOnly = bCapture;
    bCapture = false;
    ::ReleaseCapture();
    if (bMode)
        ::MoveWindow(Form->Handle(), nleft, ntop, Form->Width(), Form->Height(), TRUE);
    else if (!pressOnly)
        ::MoveWindow(Form->Handle(), nleft, ntop, nright - nleft, nbottom - ntop, TRUE);
}

void TsSkinProvider::CancelOutline()
{
    if (moving != this)
        return;
    moving = nullptr;
    if (formDC) {
        if (Form && !FormGoing())
            DrawFormBorder(nleft, ntop);  // the outline drawn last, inverted away
        ::RestoreDC(formDC, nDC);
        ::ReleaseDC(deskwnd, formDC);
        formDC = nullptr;
    }
    bInProcess = false;
    bCapture = false;
    DoStartMove = false;
    nDirection = 0;
    if (Form && Form->HandleAllocated() && ::GetCapture() == Form->Handle())
        ::ReleaseCapture();
}

// The smallest size the form may take: the form's own answer to the
// system's size question (the class library has no size constraints of
// its own to read).
TSize TsSkinProvider::MinTrackSize()
{
    MINMAXINFO mmi{};
    mmi.ptMinTrackSize.x = ::GetSystemMetrics(SM_CXMINTRACK);
    mmi.ptMinTrackSize.y = ::GetSystemMetrics(SM_CYMINTRACK);
    TMessage m{WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&mmi), 0};
    OldWndProc(m);
    return {int(mmi.ptMinTrackSize.x), int(mmi.ptMinTrackSize.y)};
}

// ---------------------------------------------------------------------------
// Maximised size.

// The maximised size.  Without a border window the region cuts the frame
// away on every side, so the window is the work area grown by the frame on
// every side and shows exactly the work area.  With one, the skin's taller
// title and its maximised height move the window up.
void TsSkinProvider::KV_WMGetMinMaxInfo(TMessage& Message)
{
    auto* mmi = reinterpret_cast<MINMAXINFO*>(Message.LParam);
    if (mmi && FDrawNonClientArea && Form->BorderStyle() != bsNone && Form->FormStyle() != fsMDIChild &&
        !Form->Parent()) {
        const TsFrameMetrics m = Metrics();
        const TsFrameFacts& f = m.Facts();
        const TRect wa = FormWorkArea(Form);
        const int b = m.SysBorderWidth(false);
        mmi->ptMaxSize.x = wa.Width() + 2 * b;
        if (!BorderForm) {
            mmi->ptMaxPosition.y = -b;
            mmi->ptMaxSize.y = wa.Height() + 2 * b;
        } else {
            int a = 0;
            if ((f.Style & WS_CAPTION) == WS_CAPTION) {
                const int skin = m.CaptionHeight(true), sys = m.CaptionHeight(false);
                a = skin > b + sys ? skin - sys - b : b;
            }
            const int e = f.ExTitleHeight == f.ExMaxHeight ? 0 : f.ExTitleHeight - f.ExMaxHeight + f.ExCenterOffs;
            mmi->ptMaxPosition.y = a - b - e;
            mmi->ptMaxSize.y = 2 * b + wa.Height() - a + e;
        }
        Message.Result = 0;
    }
    OldWndProc(Message);
}
