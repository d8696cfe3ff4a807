#include "skin/wrappers/kvSBUtils_ListView.h"

#include <windowsx.h>

#include <algorithm>
#include <cstdlib>

#include "classlib/controls/Forms.h"
#include "classlib/controls/ImgList.h"
#include "classlib/graphics/GdiHandles.h"
#include "skin/core/kvntUtils.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/sSkinProps.h"
#include "skin/paint/sAlphaGraph.h"
#include "skin/paint/sGraphUtils.h"
#include "skin/paint/sGraphUtils_Sections.h"
#include "skin/paint/sGraphUtils_Text.h"
#include "skin/wrappers/kvSBUtils_Paint.h"

namespace {

bool IsOwnManager(TsCommonData* SkinData, LPARAM LParam)
{
    TsSkinManager* m = SkinData ? SkinData->GetSkinManager() : nullptr;
    return m && reinterpret_cast<LPARAM>(m) == LParam;
}

// Where the parts of one column go inside its picture: the text's
// rectangle, the sort arrow (image index, -1 none) and the column image.
struct TColumnLayout {
    TRect Text;
    int Arrow = -1;
    TPoint ArrowPos;
    bool Image = false;
    TPoint ImagePos;
};

// Lays out a column of Width x Height: the text inset by 4 and 1, an image
// of ImageSize first when the column shows one, the arrow 6 pixels after
// the text; aligned by the format's low bits; pressed moves text and image
// by one pixel.
TColumnLayout LayoutColumn(int Width, int Height, int Format, int TextWidth, int Arrow, TSize ArrowSize, bool Image,
                           TSize ImageSize, bool Pressed)
{
    TColumnLayout l;
    const TRect inner(4, 1, Width - 4, Height - 1);
    const int imageW = Image ? int(ImageSize.cx) + 4 : 0;
    const int arrowW = Arrow >= 0 ? int(ArrowSize.cx) + 6 : 0;
    int textLeft = inner.left + imageW;
    switch (Format & HDF_JUSTIFYMASK) {
    case HDF_RIGHT: textLeft = std::max<int>(inner.right - arrowW - TextWidth, inner.left + imageW); break;
    case HDF_CENTER:
        textLeft = std::max<int>(inner.left + (inner.Width() - imageW - TextWidth - arrowW) / 2, inner.left) + imageW;
        break;
    default: break;
    }
    const int textRight = std::min<int>(textLeft + TextWidth, inner.right - arrowW);
    l.Text = TRect(textLeft, inner.top, std::max(textRight, textLeft), inner.bottom);
    l.Arrow = Arrow;
    l.ArrowPos = TPoint(l.Text.right + 6, (Height - int(ArrowSize.cy)) / 2);
    l.Image = Image;
    l.ImagePos = TPoint(textLeft - imageW, (Height - int(ImageSize.cy)) / 2);
    if (Pressed) {
        OffsetRect(&l.Text, 1, 1);
        ++l.ImagePos.y;
    }
    return l;
}

bool IsHeaderClass(HWND Wnd)
{
    wchar_t name[32] = {};
    ::GetClassNameW(Wnd, name, 32);
    return ::lstrcmpiW(name, WC_HEADERW) == 0;
}

} // namespace

// ---------------------------------------------------------------------------
// Life and colours

TkvListViewWnd::~TkvListViewWnd()
{
    FreeObjectInstance(FhHeaderProc);
}

void TkvListViewWnd::Create(HWND AHandle, TsCommonData* ASkinData, TsSkinManager* ASkinManager,
                            const UnicodeString& SkinSection, bool Repaint)
{
    TkvEditWnd::Create(AHandle, ASkinData, ASkinManager, SkinSection, Repaint);
    if (Destroyed)
        return;
    FPressedColumn = -1;
    HoverColIndex = -1;
    FhHeaderProc = MakeObjectInstance(Bind(this, &TkvListViewWnd::HeaderWndProc));
    if (HWND header = ::FindWindowExW(AHandle, nullptr, WC_HEADERW, nullptr); header && !FhWndHeader)
        HoldHeader(header);
}

TCustomListView* TkvListViewWnd::Owner() const
{
    return SkinData ? dynamic_cast<TCustomListView*>(SkinData->FOwnerControl) : nullptr;
}

void TkvListViewWnd::SaveStdParams()
{
    TkvEditWnd::SaveStdParams();
    if (!::IsWindow(CtrlHandle))
        return;
    FColoursSaved = true;
    StdBkColor = COLORREF(::SendMessageW(CtrlHandle, LVM_GETBKCOLOR, 0, 0));
    StdTextBkColor = COLORREF(::SendMessageW(CtrlHandle, LVM_GETTEXTBKCOLOR, 0, 0));
    StdTextColor = COLORREF(::SendMessageW(CtrlHandle, LVM_GETTEXTCOLOR, 0, 0));
}

void TkvListViewWnd::SetSkinParams()
{
    TkvEditWnd::SetSkinParams();
    ApplyListColours();
}

void TkvListViewWnd::ApplyListColours()
{
    if (!::IsWindow(CtrlHandle) || !SkinData)
        return;
    COLORREF back = ColorToRGB(clWindow), text = ColorToRGB(clWindowText);
    if (!DlgMode) {
        TsSkinManager* m = SkinData->GetSkinManager();
        if (!m || !m->IsValidSkinIndex(SkinData->SkinIndex))
            return;
        const TsGeneralData& g = m->gd[size_t(SkinData->SkinIndex)];
        back = ColorToRGB(g.Color);
        text = ColorToRGB(g.FontColor[1]);
    }
    // Only what differs is sent: a list that redraws for each of these
    // would otherwise paint forever.
    auto set = [&](UINT Get, UINT Set, COLORREF Value) {
        if (COLORREF(::SendMessageW(CtrlHandle, Get, 0, 0)) != Value)
            ::SendMessageW(CtrlHandle, Set, 0, LPARAM(Value));
    };
    if (!SkinData->FCustomColor) {
        set(LVM_GETBKCOLOR, LVM_SETBKCOLOR, back);
        set(LVM_GETTEXTBKCOLOR, LVM_SETTEXTBKCOLOR, back);
    }
    if (!SkinData->FCustomFont)
        set(LVM_GETTEXTCOLOR, LVM_SETTEXTCOLOR, text);
}

void TkvListViewWnd::RestoreStdParams()
{
    // The subclassing itself stays for a skin that comes back (it goes
    // with the wrapper).
    ReleaseHeader();
    // The window's own colours, as they were (CLR_NONE included: a list
    // without a background of its own).
    if (::IsWindow(CtrlHandle) && FColoursSaved) {
        ::SendMessageW(CtrlHandle, LVM_SETBKCOLOR, 0, LPARAM(StdBkColor));
        ::SendMessageW(CtrlHandle, LVM_SETTEXTBKCOLOR, 0, LPARAM(StdTextBkColor));
        ::SendMessageW(CtrlHandle, LVM_SETTEXTCOLOR, 0, LPARAM(StdTextColor));
    }
    TkvEditWnd::RestoreStdParams();
}

// ---------------------------------------------------------------------------
// Queries

TViewStyle TkvListViewWnd::ViewStyle()
{
    if (TCustomListView* lv = Owner())
        return lv->ViewStyle();
    switch (::SendMessageW(CtrlHandle, LVM_GETVIEW, 0, 0)) {
    case LV_VIEW_ICON: return vsIcon;
    case LV_VIEW_DETAILS: return vsReport;
    case LV_VIEW_SMALLICON: return vsSmallIcon;
    default: return vsList;
    }
}

int TkvListViewWnd::AllColWidth()
{
    TCustomListView* lv = Owner();
    if (!lv)
        return 0;
    int sum = 0;
    for (int i = 0; i < lv->Columns()->Count(); ++i) {
        const int w = int(::SendMessageW(CtrlHandle, LVM_GETCOLUMNWIDTH, WPARAM(i), 0));
        if (std::abs(w) > 999999)
            break;
        sum += w;
    }
    return sum;
}

int TkvListViewWnd::IndexOfPosition(int P)
{
    if (!FhWndHeader || P < 0)
        return -1;
    return int(::SendMessageW(FhWndHeader, HDM_ORDERTOINDEX, WPARAM(P), 0));
}

TRect TkvListViewWnd::GetHeaderColumnRect(int Index)
{
    // The column shown at a position is found through the order array
    // whatever the header's style, so that each column's rectangle goes with
    // its own text.
    TRect r;
    if (!FhWndHeader || !::SendMessageW(FhWndHeader, HDM_GETITEMRECT, WPARAM(IndexOfPosition(Index)),
                                        reinterpret_cast<LPARAM>(&r)))
        return TRect();
    return r;
}

int TkvListViewWnd::HeaderColumnAt(const TPoint& P)
{
    if (!FhWndHeader)
        return -2;
    POINT p{P.x, P.y};
    ::ScreenToClient(FhWndHeader, &p);
    const int count = int(::SendMessageW(FhWndHeader, HDM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        const TRect r = GetHeaderColumnRect(i);
        if (::PtInRect(&r, p))
            return i;
    }
    return -2;
}

// ---------------------------------------------------------------------------
// The header

void TkvListViewWnd::HoldHeader(HWND Header)
{
    if (!FhHeaderProc)
        return;
    const auto proc = reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(Header, GWLP_WNDPROC));
    if (!FhHeaderProc->Subclass(Header, L"kvListHeader"))
        return;
    FhWndHeader = Header;
    FhDefHeaderProc = proc;
}

void TkvListViewWnd::ReleaseHeader()
{
    if (FhHeaderProc)
        FhHeaderProc->Release();
    FhWndHeader = nullptr;
    FhDefHeaderProc = nullptr;
}

void TkvListViewWnd::RepaintHeader()
{
    if (FhWndHeader) {
        ::InvalidateRect(FhWndHeader, nullptr, FALSE);
        ::UpdateWindow(FhWndHeader);
    }
}

void TkvListViewWnd::PaintHeader(HDC DC)
{
    if (!FhWndHeader || ViewStyle() != vsReport)
        return;
    PAINTSTRUCT ps{};
    HDC dc = DC ? DC : ::BeginPaint(FhWndHeader, &ps);
    const int count = int(::SendMessageW(FhWndHeader, HDM_GETITEMCOUNT, 0, 0));
    int right = 0;
    for (int p = 0; p < count; ++p) {
        const TRect r = GetHeaderColumnRect(p);
        if (::IsRectEmpty(&r))
            continue;
        ListLineHeight = r.Height();
        ColumnSkinPaint(r, IndexOfPosition(p), dc);
        right = std::max<int>(right, r.right);
    }
    TRect client;
    ::GetClientRect(FhWndHeader, &client);
    if (count == 0)
        ListLineHeight = client.Height();
    // What lies right of the last column looks like an empty column.
    const TRect rest(right, 0, client.right, client.bottom);
    if (!::IsRectEmpty(&rest))
        ColumnSkinPaint(rest, -2, dc);
    if (!DC)
        ::EndPaint(FhWndHeader, &ps);
}

void TkvListViewWnd::ColumnSkinPaint(const TRect& ControlRect, int cIndex, HDC DC)
{
    const int w = ControlRect.Width(), h = ControlRect.Height();
    TsSkinManager* m = SkinData ? SkinData->GetSkinManager() : nullptr;
    if (w <= 0 || h <= 0 || !m)
        return;
    TBitmap bmp(w, h, pf24bit);
    int state = 0;
    if (FPressedColumn >= 0)
        state = FPressedColumn == cIndex ? 2 : 0;
    else if (cIndex >= 0 && cIndex == HoverColIndex)
        state = 1;
    TCustomListView* lv = Owner();
    const TColor back = ColorToRGB(lv ? lv->Color() : clWindow);
    const int index = PaintSection(&bmp, s_ColHeader, s_Button, state, m, TPoint(0, 0), back, nullptr);

    wchar_t text[258] = {};
    HDITEMW item{};
    item.mask = HDI_TEXT | HDI_FORMAT | HDI_BITMAP | HDI_IMAGE;
    item.pszText = text;
    item.cchTextMax = 258;
    if (cIndex >= 0 && ::SendMessageW(FhWndHeader, HDM_GETITEMW, WPARAM(cIndex), reinterpret_cast<LPARAM>(&item))) {
        TCanvas* canvas = bmp.Canvas();
        // The canvas's own font: the text writer sets its colour, which
        // would put back a font selected beside it.
        AssignWndFont(canvas, CtrlHandle);
        HDC bdc = canvas->Handle();
        BkModeScope mode(bdc, TRANSPARENT);
        TCustomImageList* images = lv ? lv->SmallImages() : nullptr;
        const bool image = images && (item.fmt & (HDF_IMAGE | HDF_OWNERDRAW));
        int arrow = -1;
        if (item.fmt & HDF_SORTDOWN)
            arrow = m->GetMaskIndex(m->ConstData.IndexScrollBottom, s_ScrollBtnBottom, s_GlyphMask);
        else if (item.fmt & HDF_SORTUP)
            arrow = m->GetMaskIndex(m->ConstData.IndexScrollTop, s_ScrollBtnTop, s_GlyphMask);
        const TSize arrowSize = arrow >= 0 ? m->MaskSize(arrow) : TSize{0, 0};
        SIZE extent{};
        ::GetTextExtentPoint32W(bdc, text, ::lstrlenW(text), &extent);
        const TColumnLayout l =
            LayoutColumn(w, h, item.fmt, int(extent.cx) + 5, arrow, arrowSize, image,
                         image ? TSize{images->Width(), images->Height()} : TSize{0, 0}, state == 2);
        if (l.Arrow >= 0)
            DrawSkinGlyph(&bmp, l.ArrowPos, state, 1, m->ma[size_t(l.Arrow)], MakeCacheInfo(&bmp));
        TRect r = l.Text;
        kvWriteTextEx(canvas, text, true, r, DT_END_ELLIPSIS | DT_EXPANDTABS | DT_SINGLELINE | DT_VCENTER, index,
                      state != 0, m);
        if (l.Image)
            images->Draw(canvas, l.ImagePos.x, l.ImagePos.y, item.iImage, lv->Enabled());
    }
    ::GdiFlush();
    if (DC) {
        ::BitBlt(DC, ControlRect.left, ControlRect.top, w, h, bmp.Canvas()->Handle(), 0, 0, SRCCOPY);
        return;
    }
    HDC dc = ::GetDC(FhWndHeader);
    ::BitBlt(dc, ControlRect.left, ControlRect.top, w, h, bmp.Canvas()->Handle(), 0, 0, SRCCOPY);
    ::ReleaseDC(FhWndHeader, dc);
}

void TkvListViewWnd::HeaderHitTest(TMessage& Message)
{
    const int p = HeaderColumnAt(TPoint(GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)));
    const int index = IndexOfPosition(p);
    if (index != HoverColIndex) {
        HoverColIndex = index;
        RepaintHeader();
    }
}

void TkvListViewWnd::HeaderButtonDown(TMessage& Message)
{
    FFlag = true;
    HDHITTESTINFO hit{};
    hit.pt = {GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)};
    ::SendMessageW(FhWndHeader, HDM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
    FPressedColumn = hit.flags & (HHT_ONDIVIDER | HHT_ONDIVOPEN) ? -1 : hit.iItem;
    ::InvalidateRect(FhWndHeader, nullptr, FALSE);
}

void TkvListViewWnd::HeaderWndProc(TMessage& Message)
{
    try {
        // The header is forgotten when it goes, in any view and skinned or
        // not; until a skin is on, its messages pass straight on.
        if (Message.Msg == WM_NCDESTROY)
            HeaderDestroyed(Message);
        else if (!HeaderSkinned())
            PassOnHeader(Message);
        else
            HeaderMessage(Message);
    } catch (...) {
        if (Application)
            Application->HandleException(nullptr);
    }
}

void TkvListViewWnd::HeaderMessage(TMessage& Message)
{
    TkvAliveGuard guard(this);
    if (ViewStyle() != vsReport) {
        PassOnHeader(Message);
        return;
    }
    switch (Message.Msg) {
    case WM_PAINT:
    case WM_PRINTCLIENT:
        PaintHeader(reinterpret_cast<HDC>(Message.WParam));
        Message.Result = 0;
        return;
    case WM_ERASEBKGND: Message.Result = 1; return;
    case WM_WINDOWPOSCHANGING:
        // The list's skinned frame is drawn again around the moved header.
        if (SkinData->Skinned() && ::IsWindowVisible(CtrlHandle))
            ::SendMessageW(CtrlHandle, WM_NCPAINT, 0, 0);
        if (guard.Alive())
            PassOnHeader(Message);
        return;
    case WM_NCHITTEST:
        PassOnHeader(Message);
        if (guard.Alive() && FhWndHeader)
            HeaderHitTest(Message);
        return;
    case WM_LBUTTONUP:
        FPressedColumn = -1;
        PassOnHeader(Message);
        return;
    default:
        PassOnHeader(Message);
        if (guard.Alive() && FhWndHeader && Message.Msg == WM_LBUTTONDOWN)
            HeaderButtonDown(Message);
        return;
    }
}

void TkvListViewWnd::HeaderDestroyed(TMessage& Message)
{
    // Forgotten first: the header is going whatever its procedure does.
    FhWndHeader = nullptr;
    FhDefHeaderProc = nullptr;
    PassOnHeader(Message);
}

void TkvListViewWnd::PassOnHeader(TMessage& Message)
{
    if (FhHeaderProc)
        FhHeaderProc->CallPrevious(Message);
}

// ---------------------------------------------------------------------------
// The list's window procedure

void TkvListViewWnd::ThumbTrack(TMessage& Message, bool Vertical)
{
    const int p = Message.LParam ? int(Message.LParam) : int(HIWORD(Message.WParam));
    if (Vertical && p == nLastSBPos)
        return;
    int d = p - nLastSBPos;
    const TViewStyle style = ViewStyle();
    if (style == (Vertical ? vsReport : vsList)) {
        // The bar counts lines (columns of a list), the request pixels.
        TRect r(LVIR_BOUNDS, 0, 0, 0);
        ::SendMessageW(CtrlHandle, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&r));
        d *= Vertical ? int(r.Height()) : int(r.Width());
    }
    ::SendMessageW(CtrlHandle, LVM_SCROLL, Vertical ? 0 : WPARAM(d), Vertical ? LPARAM(d) : 0);
}

void TkvListViewWnd::ParentNotify(const TMessage& Message)
{
    if (LOWORD(Message.WParam) != WM_CREATE)
        return;
    const HWND child = reinterpret_cast<HWND>(Message.LParam);
    if (!child || !IsHeaderClass(child) || child == FhWndHeader)
        return;
    // A new header takes the place of the one held.
    if (FhWndHeader)
        ReleaseHeader();
    HoldHeader(child);
}

void TkvListViewWnd::PrintHeader(HDC DC)
{
    if (!DC || !FhWndHeader || ViewStyle() != vsReport)
        return;
    const TRect c = ClientPart();
    TRect h;
    ::GetWindowRect(FhWndHeader, &h);
    ::MapWindowPoints(HWND_DESKTOP, CtrlHandle, reinterpret_cast<POINT*>(&h), 2);
    SavedDC saved(DC);
    ::OffsetViewportOrgEx(DC, c.left, c.top, nullptr);
    ::IntersectClipRect(DC, 0, 0, c.Width(), c.Height());
    ::OffsetViewportOrgEx(DC, h.left, h.top, nullptr);
    PaintHeader(DC);
}

bool TkvListViewWnd::PassToEdit(TMessage& Message)
{
    TkvAliveGuard guard(this);
    TkvEditWnd::kvWndProc(Message);
    return guard.Alive() && !Destroyed;
}

bool TkvListViewWnd::HeaderSkinned() const
{
    // The header's look comes from the skin's column section, not from the
    // list's: a skin without the list's section (a dialog's list takes
    // "EDIT") leaves the list its own frame, but its header is skinned.
    TsSkinManager* m = SkinData ? SkinData->GetSkinManager() : nullptr;
    return !Destroyed && m && !m->ComponentState().Contains(csDestroying) && m->SkinData && m->SkinData->Active &&
           !m->gd.empty();
}

void TkvListViewWnd::ClearHeaderStates()
{
    if (HoverColIndex != -1 || FPressedColumn != -1) {
        HoverColIndex = FPressedColumn = -1;
        RepaintHeader();
    }
}

void TkvListViewWnd::UnskinnedMessage(TMessage& Message)
{
    const bool header = HeaderSkinned();
    if (header && Message.Msg == WM_PAINT)
        ApplyListColours();
    else if (header && Message.Msg == WM_NCHITTEST)
        ClearHeaderStates();
    const bool refresh = Message.Msg == SM_KORVEXCMD && Message.WParamHi == SMC_SKIN_REFRESH &&
                         IsOwnManager(SkinData, Message.LParam);
    // A header made meanwhile is held all the same: the skin may come
    // later, and the header's messages pass straight on until it does.
    if (!PassToEdit(Message))
        return;
    if (Message.Msg == WM_PARENTNOTIFY)
        ParentNotify(Message);
    else if (refresh && HeaderSkinned())
        RepaintHeader();
}

void TkvListViewWnd::RetakeHeader(const TMessage& Message)
{
    if (Destroyed || FhWndHeader || !IsOwnManager(SkinData, Message.LParam))
        return;
    if (HWND header = ::FindWindowExW(CtrlHandle, nullptr, WC_HEADERW, nullptr))
        HoldHeader(header);
}

void TkvListViewWnd::kvWndProc(TMessage& Message)
{
    // A skin that comes back after its removal gets the header again.
    if (Message.Msg == SM_KORVEXCMD && (Message.WParamHi == SMC_SKIN_SET || Message.WParamHi == SMC_SKIN_REFRESH))
        RetakeHeader(Message);
    if (Destroyed || !SkinData || !SkinData->Skinned()) {
        UnskinnedMessage(Message);
        return;
    }
    if (Message.Msg == SM_KORVEXCMD) {
        switch (Message.WParamHi) {
        case SMC_SKIN_REFRESH: {
            const bool own = IsOwnManager(SkinData, Message.LParam);
            if (PassToEdit(Message) && own)
                RepaintHeader();
            return;
        }
        case SMC_GET_SKIN_INDEX: Message.Result = SkinData->SkinIndex + 1; return;
        case SMC_SCROLL_BEGIN: Message.Result = 1; return; // full positions in LParam
        default: TkvEditWnd::kvWndProc(Message); return;
        }
    }
    switch (Message.Msg) {
    case WM_PAINT:
        if (ParamsChanged)
            ApplyListColours();
        else
            SetSkinParams();
        break;
    case WM_NCHITTEST: ClearHeaderStates(); break;
    case WM_NCPAINT: Message.Result = 0; break;
    case WM_HSCROLL:
    case WM_VSCROLL:
        if (LOWORD(Message.WParam) == SB_THUMBTRACK) {
            ThumbTrack(Message, Message.Msg == WM_VSCROLL);
            return;
        }
        if (Message.Msg == WM_VSCROLL)
            Message.LParam = 0;
        break;
    default: break;
    }
    if (!PassToEdit(Message))
        return;
    switch (Message.Msg) {
    case WM_STYLECHANGED:
    case LVM_ARRANGE:
    case LVM_INSERTITEMA:
    case LVM_INSERTITEMW:
        if (!SkinData->FUpdating)
            UpdateScrolls(this, true);
        break;
    case WM_LBUTTONUP: ::ReleaseCapture(); break;
    case WM_PARENTNOTIFY: ParentNotify(Message); break;
    case WM_PRINT: PrintHeader(reinterpret_cast<HDC>(Message.WParam)); break;
    default: break;
    }
}
