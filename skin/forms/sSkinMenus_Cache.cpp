// The popup backgrounds kept while popups are open, and the popup windows'
// subclassing and skinned shape.
#include <memory>

#include "classlib/controls/Forms.h"
#include "classlib/controls/SubclassWindow.h"
#include "classlib/graphics/GdiHandles.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/kvntUtils.h"
#include "skin/forms/sSkinMenus.h"
#include "skin/paint/sAlphaGraph.h"
#include "skin/paint/sGraphUtils_Sections.h"

namespace {

const wchar_t* const PopupKind = L"kvPopupMenu";

// Paints no frame or background of its own (the items and the menu
// wrapper do) and empties the cache when a popup goes.
class TPopupMenuWindow {
public:
    TPopupMenuWindow() : FWindow(TWndMethod(this, &TPopupMenuWindow::PopupMenuWndProc)) {}
    bool Subclass(HWND Wnd) { return FWindow.Subclass(Wnd, PopupKind); }
    bool Active() const { return FWindow.Active(); }

private:
    void PopupMenuWndProc(TMessage& Message)
    {
        switch (Message.Msg) {
        case WM_ERASEBKGND:
        case WM_NCPAINT:
            Message.Result = 1;
            return;
        case WM_DESTROY:
            ClearCache();
            break;
        }
        FWindow.CallPrevious(Message);
    }
    TSubclassedWindow FWindow;
};

// The subclassers of popup windows; one whose window is gone is freed at
// the next subclassing (never from inside its own window procedure).
std::vector<std::unique_ptr<TPopupMenuWindow>>& PopupWindows()
{
    static std::vector<std::unique_ptr<TPopupMenuWindow>> windows;
    return windows;
}

void SubclassPopup(HWND Wnd)
{
    auto& windows = PopupWindows();
    std::erase_if(windows, [](const auto& w) { return !w->Active(); });
    if (TSubclassedWindow::Find(Wnd, PopupKind))
        return;
    auto w = std::make_unique<TPopupMenuWindow>();
    if (w->Subclass(Wnd))
        windows.push_back(std::move(w));
}

TkvMenuInfo FindInfo(TMenuItem* Key, HWND Wnd)
{
    for (const TkvMenuInfo& mi : MenuInfoArray)
        if (Key ? mi.FirstItem == Key : mi.Wnd == Wnd)
            return mi;
    return {};
}

} // namespace

TkvMenuInfo TsSkinableMenus::GetMenuInfo(TMenuItem* Item, int aWidth, int aHeight, HWND aWnd)
{
    if (!Item)
        return aWnd ? FindInfo(nullptr, aWnd) : TkvMenuInfo{};
    TMenuItem* key = GetFirstItem(Item);
    if (!key)
        return {};
    TkvMenuInfo mi = FindInfo(key, nullptr);
    if (mi.FirstItem || aWidth == 0)
        return mi;
    PrepareMenuBG(key, aWidth, aHeight, aWnd);
    return FindInfo(key, nullptr);
}

void TsSkinableMenus::PrepareMenuBG(TMenuItem* Item, int Width, int Height, HWND Wnd)
{
    bool extraLine = false;
    if (!Designing() && Item->Name() != L"SkinSelectItem")
        extraLine = QueryExtraLine(Item);
    auto bg = std::make_unique<TBitmap>(std::max(Width, 1), std::max(Height, 1), pf24bit);
    GlyphColumnWidth = FMargin + GlyphSize(Item, false).cx + FSpacing;
    TsSkinManager* sm = Manager();
    const int section = sm ? sm->GetSkinIndex(L"MAINMENU") : -1;
    if (sm && sm->IsValidSkinIndex(section))
        PaintPopupBackground(bg.get(), section, TkvMenuInfo{Item, nullptr, Wnd, extraLine});
    FreeAndNil(ExtraLineGlyph);
    if (Wnd)
        DrawWndBorder(Wnd, bg.get());
    MenuInfoArray.push_back(TkvMenuInfo{Item, bg.release(), Wnd, extraLine});
}

void TsSkinableMenus::PaintPopupBackground(TBitmap* Bg, int Section, const TkvMenuInfo& mi)
{
    TsSkinManager* sm = Manager();
    const TRect r(0, 0, Bg->Width(), Bg->Height());
    PaintItemBG(Section, L"MAINMENU", EmptyCI, 0, r, TPoint{0, 0}, Bg, sm);
    const int sbw = GetSkinBorderWidth();
    const int inner = Bg->Height() - 2 * sbw;
    auto* support = dynamic_cast<TkvMenuSupport*>(sm->MenuSupport());
    const int icoLine = support ? sm->GetSkinIndex(support->IcoLineSkin()) : -1;
    if (sm->IsValidSkinIndex(icoLine) && GlyphColumnWidth > 0 && inner > 0) {
        const int x = ExtraWidth(mi) + sbw;
        TBitmap column(GlyphColumnWidth, inner, pf24bit);
        PaintItem(icoLine, support->IcoLineSkin(), MakeCacheInfo(Bg, x, sbw), true, 0,
                  TRect(0, 0, column.Width(), column.Height()), TPoint{0, 0}, &column, sm);
        ::BitBlt(Bg->Canvas()->Handle(), x, sbw, column.Width(), column.Height(), column.Canvas()->Handle(), 0, 0,
                 SRCCOPY);
    }
    const int mask = sm->GetMaskIndex(Section, L"MAINMENU", L"BORDERSMASK");
    if (sm->IsValidImgIndex(mask))
        DrawSkinRect(Bg, r, false, MakeCacheInfo(Bg), sm->ma[mask], 0, false, sm);
    if (support && support->UseExtraLine() && mi.HaveExtraLine && inner > 0)
        PaintExtraLine(Bg, support, sbw, inner);
    ArOR.clear();
    if (sm->IsValidImgIndex(mask)) {
        AddRgn(ArOR, Bg->Width(), sm->ma[mask], 0, false);
        AddRgn(ArOR, Bg->Width(), sm->ma[mask], Bg->Height() - sm->MaskWidthBottom(mask), true);
    }
}

// The band of the extra line, its glyph and its caption read upwards.
void TsSkinableMenus::PaintExtraLine(TBitmap* Bg, TkvMenuSupport* Support, int Sbw, int Inner)
{
    TsSkinManager* sm = Manager();
    const int section = sm->GetSkinIndex(ExtraLineSection);
    if (!sm->IsValidSkinIndex(section) || Support->ExtraLineWidth() <= 0)
        return;
    TBitmap band(Support->ExtraLineWidth(), Inner, pf24bit);
    PaintItem(section, ExtraLineSection, MakeCacheInfo(Bg, Sbw, Sbw), true, 0, TRect(0, 0, band.Width(), Inner),
              TPoint{0, 0}, &band, sm);
    int margin = 12;
    if (ExtraLineGlyph && !ExtraLineGlyph->Empty()) {
        band.Canvas()->Draw((band.Width() - ExtraLineGlyph->Width()) / 2, Inner - 12 - ExtraLineGlyph->Height(),
                            ExtraLineGlyph);
        margin = ExtraLineGlyph->Height() + 20;
    }
    if (!ExtraLineCaption.empty()) {
        TFont* f = Support->ExtraLineFont();
        LOGFONTW lf{};
        // The font's own height in pixels (its size in points made pixels).
        lf.lfHeight = f->Height();
        lf.lfEscapement = lf.lfOrientation = -2700;
        lf.lfWeight = FW_NORMAL;
        lf.lfItalic = f->Style().Contains(fsItalic);
        lf.lfUnderline = f->Style().Contains(fsUnderline);
        lf.lfStrikeOut = f->Style().Contains(fsStrikeOut);
        lf.lfCharSet = static_cast<BYTE>(f->Charset());
        wcsncpy(lf.lfFaceName, f->Name().c_str(), LF_FACESIZE - 1);
        TCanvas* c = band.Canvas();
        c->Font()->SetColor(sm->gd[section].FontColor[1]);
        c->Font()->SetHandle(::CreateFontIndirectW(&lf));  // the canvas's font owns it
        c->Brush()->SetStyle(bsClear);
        c->TextRect(TRect(0, 0, band.Width(), Inner), (band.Width() - c->TextHeight(ExtraLineCaption)) / 2,
                    Inner - margin, ExtraLineCaption);
    }
    ::BitBlt(Bg->Canvas()->Handle(), Sbw, Sbw, band.Width(), Inner, band.Canvas()->Handle(), 0, 0, SRCCOPY);
}

void TsSkinableMenus::DrawWndBorder(HWND Wnd, TBitmap* MenuBmp)
{
    if (BorderDrawing || !Wnd)
        return;
    TFlagScope drawing(BorderDrawing, true);
    SubclassPopup(Wnd);
    if (!IsNT || !MenuBmp || ::SendMessageW(Wnd, SM_KORVEXCMD, MakeKorvexWParam(SMC_SET_UPDATING), 0) != 0)
        return;
    ::SendMessageW(Wnd, SM_KORVEXCMD, MakeKorvexWParam(SMC_GET_DROPPED), 0);
    // A skin without transparent corners leaves the popup rectangular.  No
    // messages are pumped here: this runs inside the popup's WM_DRAWITEM.
    if (ArOR.empty())
        return;
    HRGN rgn = ::CreateRectRgn(0, 0, MenuBmp->Width(), MenuBmp->Height());
    for (const TRect& r : ArOR) {
        GdiObject<HRGN> part(::CreateRectRgn(r.left, r.top, r.right, r.bottom));
        ::CombineRgn(rgn, rgn, part.Get(), RGN_DIFF);
    }
    SetWindowRegion(Wnd, rgn, true);
}

void DeleteUnusedBmps()
{
    // Taken out first: freeing a picture never sees a half-emptied cache.
    std::vector<TkvMenuInfo> old;
    old.swap(MenuInfoArray);
    for (TkvMenuInfo& mi : old)
        FreeAndNil(mi.Bmp);
}

void ClearCache()
{
    DeleteUnusedBmps();
}
