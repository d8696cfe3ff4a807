// Tab geometry and the painting of tab strips shared by the tab wrappers
// and the skinned tab control.
#include "skin/wrappers/kvSBUtils_Tabs.h"

#include <commctrl.h>

#include <algorithm>
#include <string>

#include "classlib/graphics/GdiHandles.h"
#include "skin/core/kvntUtils.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/sVclUtils.h"
#include "skin/paint/sGraphUtils.h"
#include "skin/paint/sGraphUtils_Sections.h"
#include "skin/paint/sGraphUtils_Text.h"
#include "skin/wrappers/kvSBUtils_Paint.h"
#include "skin/wrappers/kvSBUtils_Statics.h"

// ---------------------------------------------------------------------------
// TkvTabLayout

TRect TkvTabLayout::PageRect() const
{
    TRect r(0, 0, Size.cx, Size.cy);
    if (Tabs.empty())
        return r;
    switch (Position) {
    case tpTop: r.top = Client.top - 4; break;
    case tpBottom: r.bottom = Client.bottom + 1; break;
    case tpLeft: r.left = Client.left - 1; break;
    case tpRight: r.right = Client.right + 1; break;
    }
    return r;
}

TRect TkvTabLayout::TabsRect() const
{
    TRect r(0, 0, Size.cx, Size.cy);
    if (Tabs.empty())
        return r;
    switch (Position) {
    case tpTop: r.bottom = Client.top - 4; break;
    case tpBottom: r.top = Client.bottom + 1; break;
    case tpLeft: r.right = Client.left - 1; break;
    case tpRight: r.left = Client.right + 1; break;
    }
    return r;
}

int TkvTabLayout::TabRow(int Index) const
{
    if (Rows < 2 || Index < 0 || Index >= Count())
        return 1;
    const TRect r = Tabs[size_t(Index)];
    const int w = std::max<int>(r.Width(), 1), h = std::max<int>(r.Height(), 1);
    const TRect t = TabsRect();
    switch (Position) {
    case tpTop: return (r.bottom + h / 2) / h;
    case tpLeft: return (r.right + w / 2) / w;
    case tpRight: return Rows - (r.right - t.left + w / 2) / w + 1;
    case tpBottom: return Rows - (r.bottom - t.top + h / 2) / h + 1;
    }
    return 1;
}

TRect TkvTabLayout::SkinTabRect(int Index, bool IsActive) const
{
    if (Index < 0 || Index >= Count() || (EmptyWithoutActive && Active < 0))
        return TRect();
    TRect r = Tabs[size_t(Index)];
    if (Style != tsTabs || r.Width() == 0)
        return r;
    const int a = IsActive ? 1 : 0;
    if (IsActive) {
        r.bottom -= 1;
    } else {
        r.bottom += 3;
        r.right -= 1;
    }
    switch (Position) {
    case tpTop:
        ::InflateRect(&r, 2 * a, 2 * a);
        r.bottom += 1;
        break;
    case tpBottom:
        ::InflateRect(&r, 2 * a, a);
        r.top -= 2;
        r.bottom += IsActive ? 1 : -3;
        break;
    case tpLeft:
        ::InflateRect(&r, 0, 1);
        r.right += 2;
        if (IsActive) {
            ::InflateRect(&r, 1, 1);
        } else {
            r.bottom -= 4;
            r.right += 2;
        }
        break;
    case tpRight:
        ::InflateRect(&r, 1, 0);
        ::OffsetRect(&r, -1, -1);
        if (IsActive) {
            ::InflateRect(&r, 1, 1);
            r.bottom += 3;
        } else {
            r.bottom -= 2;
        }
        break;
    }
    return r;
}

int TkvTabLayout::TabAt(const TPoint& P) const
{
    for (int i = 0; i < Count(); ++i) {
        const TRect r = SkinTabRect(i, false);
        if (::PtInRect(&r, P))
            return i;
    }
    return -1;
}

TTabPosition TabPositionOfStyle(DWORD Style)
{
    if (!(Style & TCS_VERTICAL))
        return Style & TCS_BOTTOM ? tpBottom : tpTop;
    return Style & TCS_RIGHT ? tpRight : tpLeft;
}

TTabStyle TabStyleOfStyle(DWORD Style)
{
    if (Style & TCS_FLATBUTTONS)
        return tsFlatButtons;
    return Style & TCS_BUTTONS ? tsButtons : tsTabs;
}

void TabTextAndImage(HWND Wnd, int Index, UnicodeString& Text, int& Image)
{
    std::wstring buffer(4096, L'\0');
    TCITEMW item{};
    item.mask = TCIF_TEXT | TCIF_IMAGE | TCIF_STATE;
    item.dwStateMask = TCIS_HIGHLIGHTED;
    item.pszText = buffer.data();
    item.cchTextMax = int(buffer.size());
    item.iImage = -1;
    if (!::SendMessageW(Wnd, TCM_GETITEMW, WPARAM(Index), reinterpret_cast<LPARAM>(&item))) {
        Text.clear();
        Image = -1;
        return;
    }
    buffer.back() = L'\0';
    Text = UnicodeString(item.pszText ? item.pszText : L"");
    Image = item.iImage;
}

// ---------------------------------------------------------------------------
// TkvRotatedFont

TkvRotatedFont::TkvRotatedFont(TCanvas* Canvas, int Escapement, TColor Color) : FCanvas(Canvas), FSaved(new TFont)
{
    TFont* font = Canvas->Font();
    FSaved->Assign(font);
    LOGFONTW lf{};
    ::GetObjectW(font->Handle(), sizeof(lf), &lf);
    lf.lfEscapement = lf.lfOrientation = Escapement;
    // The font's own weight: a bold caption stays bold when rotated.
    lf.lfWeight = font->Style().Contains(fsBold) ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = font->Style().Contains(fsItalic);
    lf.lfUnderline = font->Style().Contains(fsUnderline);
    lf.lfStrikeOut = font->Style().Contains(fsStrikeOut);
    lf.lfWidth = 0;
    lf.lfOutPrecision = lf.lfClipPrecision = lf.lfQuality = lf.lfPitchAndFamily = 0;
    // A bitmap font cannot be rotated.
    const UnicodeString face = font->Name() == L"MS Sans Serif" ? UnicodeString(L"Arial") : font->Name();
    wcsncpy(lf.lfFaceName, face.c_str(), LF_FACESIZE - 1);
    lf.lfFaceName[LF_FACESIZE - 1] = 0;
    // The colour first: a change of the font's values drops its handle.
    font->SetColor(Color);
    if (HFONT rotated = ::CreateFontIndirectW(&lf))
        font->SetHandle(rotated);
}

TkvRotatedFont::~TkvRotatedFont()
{
    FCanvas->Font()->Assign(FSaved);
    delete FSaved;
}

// ---------------------------------------------------------------------------
// TkvTabPainter

TkvTabPainter::~TkvTabPainter()
{
    FreeUpDown();
}

namespace {

// The page area's section for tabs at Position.
UnicodeString PositionSection(TTabPosition Position)
{
    static const wchar_t* const sections[] = {L"PAGECONTROL", L"PAGECONTROLBOTTOM", L"PAGECONTROLLEFT",
                                              L"PAGECONTROLRIGHT"};
    return sections[Position];
}

} // namespace

UnicodeString TkvTabPainter::NoTabsSection(TTabPosition Position) const
{
    return PositionSection(Position);
}

TkvTabLayout TkvTabPainter::Layout()
{
    const HWND h = TabWnd();
    TkvTabLayout l;
    TRect w;
    ::GetWindowRect(h, &w);
    l.Size = TSize(w.Width(), w.Height());
    const DWORD style = DWORD(::GetWindowLongW(h, GWL_STYLE));
    l.Position = TabPositionOfStyle(style);
    l.Style = TabStyleOfStyle(style);
    const int n = int(::SendMessageW(h, TCM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < n; ++i) {
        TRect r;
        if (!::SendMessageW(h, TCM_GETITEMRECT, WPARAM(i), reinterpret_cast<LPARAM>(&r)))
            r = TRect();
        l.Tabs.push_back(r);
    }
    l.Active = int(::SendMessageW(h, TCM_GETCURSEL, 0, 0));
    if (l.Active >= n)
        l.Active = -1;
    l.Rows = std::max(1, int(::SendMessageW(h, TCM_GETROWCOUNT, 0, 0)));
    l.Client = TRect(0, 0, l.Size.cx, l.Size.cy);
    ::SendMessageW(h, TCM_ADJUSTRECT, 0, reinterpret_cast<LPARAM>(&l.Client));
    l.Client.top += 2;
    return l;
}

TkvTabSkin TkvTabPainter::TabSkin(const TkvTabLayout& L) const
{
    TkvTabSkin s;
    TsSkinManager* m = TabData()->GetSkinManager();
    // A skin without the top tabs' section has no tab pictures at all; the
    // first section of a skin (index 0) is a section like any other.
    if (!m || m->ConstData.IndexTabTop < 0)
        return s;
    const TConstantSkinData& c = m->ConstData;
    switch (L.Style) {
    case tsTabs:
        switch (L.Position) {
        case tpTop: s = {c.IndexTabTop, c.MaskTabTop, L"TABTOP"}; break;
        case tpBottom: s = {c.IndexTabBottom, c.MaskTabBottom, L"TABBOTTOM"}; break;
        case tpLeft: s = {c.IndexTabLeft, c.MaskTabLeft, L"TABLEFT"}; break;
        case tpRight: s = {c.IndexTabRight, c.MaskTabRight, L"TABRIGHT"}; break;
        }
        break;
    case tsButtons:
        s.Section = L"BUTTON";
        s.Index = m->GetSkinIndex(s.Section);
        s.Mask = m->GetMaskIndex(s.Index, s.Section, L"BORDERSMASK");
        break;
    case tsFlatButtons:
        s.Section = L"TOOLBUTTON";
        s.Index = m->GetSkinIndex(s.Section);
        s.Mask = m->GetMaskIndex(s.Index, s.Section, L"BORDERSMASK");
        break;
    }
    if (!m->IsValidImgIndex(s.Mask))
        s.Mask = -1;
    return s;
}

UnicodeString TkvTabPainter::PageSection(const TkvTabLayout& L) const
{
    const UnicodeString own = TabData()->SkinSection();
    if (own != L"PAGECONTROL")
        return own;
    return L.Count() == 0 ? NoTabsSection(L.Position) : PositionSection(L.Position);
}

void TkvTabPainter::CopyCache(HDC DC)
{
    TBitmap* cache = TabData()->FCacheBmp;
    ::BitBlt(DC, 0, 0, cache->Width(), cache->Height(), cache->Canvas()->Handle(), 0, 0, SRCCOPY);
}

void TkvTabPainter::PaintControl(HDC Given)
{
    TsCommonData* data = TabData();
    TsSkinManager* m = data->GetSkinManager();
    if (!m || RecheckUpdating(data))
        return;
    const TkvTabLayout l = Layout();
    if (l.Size.cx <= 0 || l.Size.cy <= 0)
        return;
    TkvTargetDC dc(TabWnd(), Given);
    SavedDC saved(dc);
    data->BGChanged = true;
    const UnicodeString section = PageSection(l);
    data->SkinIndex = m->GetSkinIndex(section);
    const TCacheInfo ci = ParentCI();
    ::InitCacheBmp(data);
    TBitmap* cache = data->FCacheBmp;
    cache->SetSize(l.Size.cx, l.Size.cy);
    if (data->BGChanged) {
        if (l.Count() > 0)
            DrawSkinTabs(l, ci);
        const TRect page = l.PageRect();
        const TPoint pos = PosInParent();
        PaintItem(data->SkinIndex, section, ci, false, 0, page, TPoint(pos.x + page.left, pos.y + page.top), cache, m,
                  -1, -1);
        data->BGChanged = false;
    }
    if (l.Count() > 0 && l.Active >= 0) {
        {
            SavedDC clip(dc);
            const TRect r = l.SkinTabRect(l.Active, true);
            ::ExcludeClipRect(dc, r.left, r.top, r.right, r.bottom);
            CopyCache(dc);
        }
        DrawSkinTab(l, l.Active, 2, dc);
    } else {
        CopyCache(dc);
    }
    AfterPaint(dc);
}

void TkvTabPainter::DrawSkinTabs(const TkvTabLayout& L, const TCacheInfo& CI)
{
    TBitmap* cache = TabData()->FCacheBmp;
    const TRect t = L.TabsRect();
    const HDC dc = cache->Canvas()->Handle();
    if (CI.Ready && CI.Bmp) {
        const TPoint pos = PosInParent();
        const int sx = CI.X + pos.x + t.left, sy = CI.Y + pos.y + t.top;
        const int w = std::min<int>(t.Width(), CI.Bmp->Width() - sx);
        const int h = std::min<int>(t.Height(), CI.Bmp->Height() - sy);
        FillDC(dc, t, CI.FillColor);
        if (w > 0 && h > 0)
            ::BitBlt(dc, t.left, t.top, w, h, CI.Bmp->Canvas()->Handle(), sx, sy, SRCCOPY);
    } else {
        FillDC(dc, t, CI.FillColor);
    }
    for (int row = 1; row <= L.Rows; ++row)
        for (int i = 0; i < L.Count(); ++i)
            if (i != L.Active && L.TabRow(i) == row)
                DrawSkinTab(L, i, 0, cache, TPoint(0, 0));
}

void TkvTabPainter::DrawTabBackground(const TkvTabLayout& L, const TkvTabSkin& Skin, int Index, int State,
                                      bool Active, const TRect& R, TBitmap* Bmp, const TPoint& Offset)
{
    (void)Index;
    TsSkinManager* m = TabData()->GetSkinManager();
    TBitmap* cache = TabData()->FCacheBmp;
    const int w = R.Width(), h = R.Height();
    TOwned<TBitmap> work(CreateBmp24(w, h));
    const HDC bdc = Bmp->Canvas()->Handle();
    if (Active) {
        ::BitBlt(work->Canvas()->Handle(), 0, 0, w, h, cache->Canvas()->Handle(), R.left, R.top, SRCCOPY);
        const TRect at(R.left + Offset.x, R.top + Offset.y, R.right + Offset.x, R.bottom + Offset.y);
        ::BitBlt(bdc, at.left, at.top, w, h, work->Canvas()->Handle(), 0, 0, SRCCOPY);
        PaintItem(Skin.Index, Skin.Section, MakeCacheInfo(work.get(), 0, 0), true, 2, at, TPoint(0, 0), Bmp, m, -1,
                  -1);
        return;
    }
    PaintItem(Skin.Index, Skin.Section, MakeCacheInfo(cache, 0, 0), true, State, TRect(0, 0, w, h), R.TopLeft(),
              work.get(), m, -1, -1);
    SavedDC saved(bdc);
    if (L.Position == tpTop || L.Position == tpLeft) {
        // The tab stays off the page's border.
        const TRect page = L.PageRect();
        ::ExcludeClipRect(bdc, page.left + Offset.x, page.top + Offset.y, page.right + Offset.x,
                          page.bottom + Offset.y);
    }
    ::BitBlt(bdc, R.left + Offset.x, R.top + Offset.y, w, h, work->Canvas()->Handle(), 0, 0, SRCCOPY);
}

void TkvTabPainter::DrawSkinTab(const TkvTabLayout& L, int Index, int State, TBitmap* Bmp, const TPoint& Offset)
{
    if (Index < 0 || Index >= L.Count())
        return;
    const TRect r0 = L.SkinTabRect(Index, Index == L.Active);
    if (State == 1 && r0.left < 0)
        return; // scrolled out to the left
    const bool active = State == 2 && Index == L.Active;
    const TRect r = L.SkinTabRect(Index, active);
    if (r.IsEmpty())
        return;
    const TkvTabSkin skin = TabSkin(L);
    if (skin.Valid())
        DrawTabBackground(L, skin, Index, State, active, r, Bmp, Offset);
    TRect moved = r;
    ::OffsetRect(&moved, Offset.x, Offset.y);
    const int textIndex = skin.Index >= 0 ? skin.Index : TabData()->SkinIndex;
    DrawTabCaption(L, textIndex, State, active, moved, Bmp, Index);
}

void TkvTabPainter::DrawTabCaption(const TkvTabLayout& L, int TextIndex, int State, bool Active, TRect R,
                                   TBitmap* Bmp, int Index)
{
    if (OwnerDrawTab(Bmp, Index, R))
        return;
    TsSkinManager* m = TabData()->GetSkinManager();
    UnicodeString text;
    int image = -1;
    TabTextAndImage(TabWnd(), Index, text, image);
    TCanvas* canvas = Bmp->Canvas();
    AssignTabFont(canvas);
    canvas->Brush()->SetStyle(bsClear);
    const TSize icon = image >= 0 ? IconSize() : TSize(0, 0);
    const bool hasImage = icon.cx > 0 && icon.cy > 0;
    if (L.Position == tpTop || L.Position == tpBottom) {
        if (hasImage) {
            const int tw = canvas->TextWidth(text);
            DrawTabImage(canvas, R.left + (R.Width() - (tw + icon.cx + 8)) / 2, R.top + (R.Height() - icon.cy) / 2,
                         image, false);
            R.left += icon.cx;
        }
        kvWriteTextEx(canvas, text.c_str(), true, R, DT_CENTER | DT_VCENTER | DT_SINGLELINE, TextIndex, State != 0, m);
        return;
    }
    const bool left = L.Position == tpLeft;
    TColor color = clBlack;
    if (m && m->IsValidSkinIndex(TextIndex)) {
        const TsGeneralData& g = m->gd[size_t(TextIndex)];
        color = State != 0 ? g.HotFontColor[1] : g.FontColor[1];
    }
    TkvRotatedFont rotated(canvas, left ? -2700 : -900, color);
    const TSize ext = kvTextExtent(canvas, text);
    const int tw = ext.cx, th = ext.cy;
    if (left) {
        if (Active)
            ::OffsetRect(&R, 2, 0);
        if (hasImage) {
            const int y = R.bottom - (R.Height() - (icon.cy + tw + 4)) / 2 - icon.cy;
            DrawTabImage(canvas, R.left + (R.Width() - icon.cx) / 2, y, image, true);
            kvTextRect(canvas, R, R.left + (R.Width() - th) / 2, y - 4, text);
        } else {
            kvTextRect(canvas, R, R.left + (R.Width() - th) / 2, R.bottom - (R.Height() - tw) / 2, text);
        }
        return;
    }
    ::OffsetRect(&R, -2, -1);
    if (hasImage) {
        const int y = R.top + (R.Height() - (icon.cy + tw + 4)) / 2;
        DrawTabImage(canvas, R.left + (R.Width() - icon.cx) / 2, y, image, true);
        kvTextRect(canvas, R, R.left + (R.Width() - th) / 2 + th, y + icon.cy + 4, text);
    } else {
        kvTextRect(canvas, R, R.left + (R.Width() - th) / 2 + th, R.top + (R.Height() - tw) / 2, text);
    }
}

void TkvTabPainter::DrawSkinTab(const TkvTabLayout& L, int Index, int State, HDC DC)
{
    if (Index < 0)
        return;
    const TRect r = L.SkinTabRect(Index, State == 2);
    if (r.IsEmpty())
        return;
    TOwned<TBitmap> bmp(CreateBmp24(r.Width(), r.Height()));
    DrawSkinTab(L, Index, State, bmp.get(), TPoint(-r.left, -r.top));
    ::BitBlt(DC, r.left, r.top, r.Width(), r.Height(), bmp->Canvas()->Handle(), 0, 0, SRCCOPY);
}

void TkvTabPainter::FreeUpDown()
{
    TkvMainWnd* w = BtnSW;
    BtnSW = nullptr;
    if (w)
        FreeAndNil(w);
}

void TkvTabPainter::CheckUpDown()
{
    const HWND updown = ::FindWindowExW(TabWnd(), nullptr, UPDOWN_CLASSW, nullptr);
    // A control with room for its tabs hides its arrows rather than destroying them.
    if (!updown || !(::GetWindowLongW(updown, GWL_STYLE) & WS_VISIBLE)) {
        FreeUpDown();
        return;
    }
    TsSkinManager* m = TabData()->GetSkinManager();
    // The arrows keep a wrapper that still serves them with this manager.
    if (BtnSW && !BtnSW->Destroyed && BtnSW->CtrlHandle == updown && BtnSW->SkinManager == m)
        return;
    FreeUpDown();
    BtnSW = CreateWnd<TkvSpinWnd>(updown, nullptr, m, L"UPDOWNBTN", false);
}
