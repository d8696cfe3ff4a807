// Owner-drawn menu items: routing of WM_MEASUREITEM and WM_DRAWITEM to the
// item's events, and the look of an item that has none.
#include "classlib/controls/Menus.h"

#include <algorithm>

#include "classlib/controls/Forms.h"
#include "classlib/graphics/GdiHandles.h"

namespace {
constexpr int Margin = 3;     // around the glyph
constexpr int Spacing = 6;    // glyph column to caption
constexpr int ShortCutGap = 16;
constexpr int DefaultGlyph = 16;

// A canvas lent to an item for one message: the device context comes back
// in the state the system gave it.
class TItemCanvas {
    TCanvas FCanvas;
    HDC FDC;
    int FSaved;

public:
    explicit TItemCanvas(HDC DC) : FDC(DC), FSaved(::SaveDC(DC))
    {
        FCanvas.SetHandle(DC);
        if (Screen)
            FCanvas.SetFont(Screen->MenuFont());
    }
    ~TItemCanvas()
    {
        FCanvas.SetHandle(nullptr);
        ::RestoreDC(FDC, FSaved);
    }
    TItemCanvas(const TItemCanvas&) = delete;
    TItemCanvas& operator=(const TItemCanvas&) = delete;
    TCanvas* operator->() { return &FCanvas; }
    TCanvas* Get() { return &FCanvas; }
};

TSize TextSize(TCanvas* Canvas, const UnicodeString& Text)
{
    RECT r{0, 0, 0, 0};
    ::DrawTextW(Canvas->Handle(), Text.c_str(), int(Text.size()), &r,
                DT_CALCRECT | DT_SINGLELINE | DT_EXPANDTABS);
    return TSize{r.right - r.left, r.bottom - r.top};
}

void DrawCheck(TCanvas* Canvas, const TRect& Box, bool Radio)
{
    int cx = (Box.left + Box.right) / 2, cy = (Box.top + Box.bottom) / 2;
    Canvas->Pen()->SetColor(Canvas->Font()->Color());
    Canvas->Brush()->SetStyle(bsSolid);
    Canvas->Brush()->SetColor(Canvas->Font()->Color());
    if (Radio) {
        Canvas->Ellipse(cx - 3, cy - 3, cx + 3, cy + 3);
        return;
    }
    Canvas->Polyline({TPoint{cx - 4, cy}, TPoint{cx - 1, cy + 3}, TPoint{cx + 4, cy - 2}});
    Canvas->Polyline({TPoint{cx - 4, cy + 1}, TPoint{cx - 1, cy + 4}, TPoint{cx + 4, cy - 1}});
}
} // namespace

// ---------------------------------------------------------------------------
bool MenuMeasureItem(TMenu* Menu, MEASUREITEMSTRUCT* Item)
{
    if (!Menu || !Item || Item->CtlType != ODT_MENU)
        return false;
    TMenuItem* item = Menu->FindItem(Item->itemID, fkCommand);
    if (!item)
        return false;
    ScreenDC dc;
    TItemCanvas canvas(dc);
    int w = int(Item->itemWidth), h = int(Item->itemHeight);
    item->MeasureItem(canvas.Get(), w, h);
    Item->itemWidth = UINT(std::max(w, 0));
    Item->itemHeight = UINT(std::max(h, 0));
    return true;
}

bool MenuDrawItem(TMenu* Menu, DRAWITEMSTRUCT* Item)
{
    if (!Menu || !Item || Item->CtlType != ODT_MENU || !Item->hDC)
        return false;
    TMenuItem* item = Menu->FindItem(Item->itemID, fkCommand);
    if (!item)
        return false;
    TItemCanvas canvas(Item->hDC);
    TOwnerDrawState state = TOwnerDrawState::FromOrd(Item->itemState & 0xFFFF);
    bool topLevel = dynamic_cast<TMainMenu*>(Menu) && item->Parent() == Menu->Items();
    item->AdvancedDrawItem(canvas.Get(), Item->rcItem, state, topLevel);
    return true;
}

// ---------------------------------------------------------------------------
void TMenuItem::MeasureItem(TCanvas* ACanvas, int& Width, int& Height)
{
    DefaultMeasure(ACanvas, Width, Height);
    if (OnMeasureItem)
        OnMeasureItem(this, ACanvas, Width, Height);
}

void TMenuItem::AdvancedDrawItem(TCanvas* ACanvas, const TRect& ARect, TOwnerDrawState State, bool TopLevel)
{
    if (!OnDrawItem && !OnAdvancedDrawItem) {
        DefaultDraw(ACanvas, ARect, State, TopLevel);
        return;
    }
    if (OnDrawItem)
        OnDrawItem(this, ACanvas, ARect, State.Contains(odSelected));
    if (OnAdvancedDrawItem)
        OnAdvancedDrawItem(this, ACanvas, ARect, State);
}

namespace {
// The glyph an item shows: an image of its list, else its bitmap.
TSize GlyphOf(TCustomImageList* Images, int ImageIndex, TBitmap* Bitmap)
{
    if (Images && ImageIndex >= 0)
        return TSize{Images->Width(), Images->Height()};
    if (Bitmap && !Bitmap->Empty())
        return TSize{Bitmap->Width(), Bitmap->Height()};
    return TSize{0, 0};
}
} // namespace

void TMenuItem::DefaultMeasure(TCanvas* ACanvas, int& Width, int& Height)
{
    bool topLevel = IsTopLevel();
    if (IsLine() && !topLevel) {
        Width = 2 * Margin;
        Height = ::GetSystemMetrics(SM_CYMENU) / 2;
        return;
    }
    if (FDefault)
        ACanvas->Font()->SetStyle(ACanvas->Font()->Style() + fsBold);
    TSize text = TextSize(ACanvas, FCaption);
    TSize glyph = GlyphOf(ImageList(), FImageIndex, FBitmap);
    if (topLevel) {
        Width = text.cx + 2 * Margin + (glyph.cx ? glyph.cx + Margin : 0);
        Height = int(std::max(text.cy, glyph.cy)) + 2 * Margin;
        return;
    }
    int column = std::max(int(glyph.cx), DefaultGlyph) + 2 * Margin;
    Width = column + Spacing + text.cx + Margin;
    if (FShortCut)
        Width += ShortCutGap + TextSize(ACanvas, ShortCutToText(FShortCut)).cx;
    Height = std::max(int(text.cy) + 2 * Margin, std::max(int(glyph.cy), DefaultGlyph) + 2 * Margin);
}

void TMenuItem::DefaultDraw(TCanvas* ACanvas, const TRect& ARect, TOwnerDrawState State, bool TopLevel)
{
    bool selected = State.Contains(odSelected) || (TopLevel && State.Contains(odHotLight));
    bool enabled = FEnabled && !State.Contains(odGrayed) && !State.Contains(odDisabled);
    ACanvas->Brush()->SetStyle(bsSolid);
    ACanvas->Brush()->SetColor(selected ? clHighlight : (TopLevel ? clBtnFace : clMenu));
    ACanvas->FillRect(ARect);
    if (IsLine() && !TopLevel) {
        RECT line{ARect.left + Margin, (ARect.top + ARect.bottom) / 2 - 1, ARect.right - Margin, ARect.bottom};
        ::DrawEdge(ACanvas->Handle(), &line, EDGE_ETCHED, BF_TOP);
        return;
    }
    ACanvas->Font()->SetColor(!enabled ? clGrayText : selected ? clHighlightText : clMenuText);
    if (FDefault)
        ACanvas->Font()->SetStyle(ACanvas->Font()->Style() + fsBold);

    // Glyph column: the image or bitmap, or the check mark.
    TCustomImageList* images = ImageList();
    TSize glyph = GlyphOf(images, FImageIndex, FBitmap);
    int column = TopLevel ? (glyph.cx ? glyph.cx + Margin : 0) : std::max(int(glyph.cx), DefaultGlyph) + 2 * Margin;
    int gx = ARect.left + Margin, gy = ARect.top + (ARect.Height() - glyph.cy) / 2;
    if (images && FImageIndex >= 0)
        images->Draw(ACanvas, gx, gy, FImageIndex, enabled);
    else if (HasBitmap())
        ACanvas->Draw(gx, gy, FBitmap);
    if (FChecked && glyph.cx) {
        RECT frame{gx - 1, gy - 1, gx + glyph.cx + 1, gy + glyph.cy + 1};
        ::DrawEdge(ACanvas->Handle(), &frame, BDR_SUNKENOUTER, BF_RECT);
    } else if (FChecked && !TopLevel) {
        DrawCheck(ACanvas, Rect(ARect.left, ARect.top, ARect.left + column, ARect.bottom), FRadioItem);
    }

    // Caption, and the shortcut at the right.
    ACanvas->Brush()->SetStyle(bsClear);
    UINT flags = DT_SINGLELINE | DT_VCENTER | DT_EXPANDTABS | (State.Contains(odNoAccel) ? DT_HIDEPREFIX : 0);
    RECT text{ARect.left + column + (TopLevel ? Margin : Spacing), ARect.top, ARect.right - Margin, ARect.bottom};
    ::DrawTextW(ACanvas->Handle(), FCaption.c_str(), int(FCaption.size()), &text,
                flags | (TopLevel ? DT_CENTER : DT_LEFT));
    if (FShortCut && !TopLevel) {
        UnicodeString keys = ShortCutToText(FShortCut);
        text.right = ARect.right - ShortCutGap / 2;
        ::DrawTextW(ACanvas->Handle(), keys.c_str(), int(keys.size()), &text, flags | DT_RIGHT);
    }
}
