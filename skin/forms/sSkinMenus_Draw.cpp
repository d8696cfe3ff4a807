// Drawing popup items on their popup's background and the items of a main
// menu's bar.  Each item is composed in a small bitmap and copied to the
// menu's canvas at once.
#include <memory>

#include "classlib/controls/Forms.h"
#include "classlib/graphics/GdiHandles.h"
#include "skin/core/sConst.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/sVclUtils.h"
#include "skin/forms/sSkinMenus.h"
#include "skin/forms/sSkinProvider.h"
#include "skin/core/kvntUtils.h"
#include "skin/paint/sAlphaGraph.h"
#include "skin/paint/sGraphUtils.h"
#include "skin/paint/sGraphUtils_Sections.h"
#include "skin/paint/sGraphUtils_Text.h"

namespace {

constexpr int PopupFrame = 3;  // the popup frame, pixels on each side

TFont* MenuFont()
{
    return CustomMenuFont ? CustomMenuFont : Screen->MenuFont();
}

void Copy(HDC Dst, int X, int Y, int W, int H, TBitmap* Src, int SX, int SY)
{
    if (W > 0 && H > 0)
        ::BitBlt(Dst, X, Y, W, H, Src->Canvas()->Handle(), SX, SY, SRCCOPY);
}

// The first or last visible item of its parent.
bool IsEdgeItem(TMenuItem* Item, bool First)
{
    TMenuItem* parent = Item->Parent();
    if (!parent)
        return true;
    const int n = parent->Count();
    for (int k = 0; k < n; ++k) {
        TMenuItem* it = parent->Items(First ? k : n - 1 - k);
        if (it->Visible())
            return it == Item;
    }
    return false;
}

UnicodeString FirstDashWord(const UnicodeString& Caption)
{
    const size_t start = Caption.find_first_not_of(L'-');
    if (start == UnicodeString::npos)
        return UnicodeString();
    const size_t end = Caption.find(L'-', start);
    return Caption.substr(start, end == UnicodeString::npos ? UnicodeString::npos : end - start);
}

// Text in the section's colours (hot or normal).
void WriteText(TCanvas* Canvas, const UnicodeString& Text, TRect R, UINT Flags, TsSkinManager* sm, int Section,
               bool Hot, bool Enabled = true)
{
    kvWriteTextEx(Canvas, Text.c_str(), Enabled, R, Flags, Section, Hot, sm);
}

// The image list of the item's glyph, nullptr when it has none.
TCustomImageList* ImagesOf(TMenuItem* Item)
{
    if (Item->Parent() && Item->Parent()->SubMenuImages())
        return Item->Parent()->SubMenuImages();
    TMenu* menu = Item->GetParentMenu();
    return menu ? menu->Images() : nullptr;
}

bool HasImage(TMenuItem* Item)
{
    return ImagesOf(Item) && Item->ImageIndex() >= 0;
}

const wchar_t* SysMenuGlyph(intptr_t Tag)
{
    switch (Tag) {
    case SC_MINIMIZE:
        return L"0";
    case SC_MAXIMIZE:
        return L"1";
    case SC_CLOSE:
        return L"r";
    case SC_RESTORE:
        return L"2";
    default:
        return nullptr;
    }
}

// The context of a whole window, frame included.
struct TWholeWindowDC {
    HWND Wnd;
    HDC DC;
    explicit TWholeWindowDC(HWND W) : Wnd(W), DC(::GetWindowDC(W)) {}
    ~TWholeWindowDC()
    {
        if (DC)
            ::ReleaseDC(Wnd, DC);
    }
    TWholeWindowDC(const TWholeWindowDC&) = delete;
    TWholeWindowDC& operator=(const TWholeWindowDC&) = delete;
};

// A drop-down button whose menu opens is told once.
void ReleaseTempControl()
{
    if (TempControl)
        SendAMessage(std::exchange(TempControl, nullptr), 675);
}

// The menu reads right to left when the control that owns it does.
bool RightToLeft(TMenuItem* Item)
{
    TMenu* menu = Item ? Item->GetParentMenu() : nullptr;
    for (TComponent* c = menu ? menu->Owner() : nullptr; c; c = c->Owner())
        if (auto* control = dynamic_cast<TControl*>(c))
            return control->UseRightToLeftAlignment();
    return false;
}

UINT AlignmentFlag(TAlignment A)
{
    return A == taRightJustify ? DT_RIGHT : A == taCenter ? DT_CENTER : DT_LEFT;
}

} // namespace

void TsSkinableMenus::PaintFrameStrips(HWND Wnd, TBitmap* Bmp, TMenuItem* Item, const TRect& ARect, int Extra)
{
    TWholeWindowDC windowDC(Wnd);
    HDC dc = windowDC.DC;
    if (!dc)
        return;
    const int bw = FBorderWidth, h = ARect.Height();
    if (IsEdgeItem(Item, true))
        Copy(dc, 0, 0, Bmp->Width(), bw, Bmp, 0, 0);
    if (IsEdgeItem(Item, false))
        Copy(dc, 0, Bmp->Height() - bw, Bmp->Width(), bw, Bmp, 0, Bmp->Height() - bw);
    const int left = std::max(bw, GetSkinBorderWidth()) + Extra;
    Copy(dc, 0, bw + ARect.top, left, h, Bmp, 0, bw + ARect.top);
    Copy(dc, Bmp->Width() - bw, bw + ARect.top, bw, h, Bmp, Bmp->Width() - bw, bw + ARect.top);
}

void TsSkinableMenus::AskForPopupWindow(TMenuItem* Item)
{
    if (!Application || !Application->Handle())
        return;
    MSG pending;
    if (!::PeekMessageW(&pending, Application->Handle(), WM_KV_MENUITEM_DRAWN, WM_KV_MENUWINDOW, PM_NOREMOVE))
        ::PostMessageW(Application->Handle(), WM_KV_MENUITEM_DRAWN, 0, reinterpret_cast<LPARAM>(Item));
}

void TsSkinableMenus::sAdvancedDrawItem(TObject* Sender, TCanvas* ACanvas, TRect ARect, TOwnerDrawState State)
{
    auto* item = dynamic_cast<TMenuItem*>(Sender);
    TsSkinManager* sm = Manager();
    if (!item || !sm || !sm->Active())
        return;
    const int fc = Breaked(item) ? 0 : 1;
    ReleaseTempControl();
    HWND wnd = IsNT ? ::WindowFromDC(ACanvas->Handle()) : nullptr;
    RECT wr{};
    if (!wnd || !::GetWindowRect(wnd, &wr)) {
        wr = RECT{0, 0, ParentWidth(ACanvas, item) + 2 * FBorderWidth, ParentHeight(ACanvas, item) + 2 * FBorderWidth};
    }
    const TkvMenuInfo mi = GetMenuInfo(item, wr.right - wr.left, wr.bottom - wr.top, wnd);
    TBitmap* bmp = mi.Bmp;
    const int extra = ExtraWidth(mi) * fc;
    if (wnd && bmp)
        PaintFrameStrips(wnd, bmp, item, ARect, extra);
    else if (!wnd)
        AskForPopupWindow(item);

    if (item->IsLine()) {
        PaintDivider(ACanvas, ARect, bmp, mi);
        return;
    }
    if (IsDivText(item)) {
        PaintCaption(ACanvas, ARect, item, bmp, mi);
        return;
    }
    CurrentItemType = smNormal;
    if (!bmp)
        return;
    FillColumns(ACanvas, ARect, item, bmp);
    const int w = ARect.Width() - extra, h = ARect.Height();
    if (w <= 0 || h <= 0)
        return;
    auto b = std::make_unique<TBitmap>(w, h, pf24bit);
    const bool hot = item->Enabled() && (State.Contains(odSelected) || State.Contains(odHotLight));
    PaintItemBackground(b.get(), bmp, ARect, extra, item->Enabled() && State.Contains(odSelected));
    if (State.Contains(odChecked) && !item->HasBitmap() && !HasImage(item))
        PaintCheckMark(b.get(), item, item->Enabled() && State.Contains(odSelected));
    const int glyphWidth = PaintGlyph(b.get(), item, ARect, hot, State.Contains(odChecked));
    PaintItemText(b.get(), item, State, glyphWidth, hot);
    if (OnDrawItem.Assigned())
        OnDrawItem(item, b->Canvas(), TRect(0, 0, b->Width(), b->Height()), State, CurrentItemType);
    if (!item->Enabled()) {
        TRect src = ARect;
        ::OffsetRect(&src, extra + FBorderWidth, FBorderWidth);
        BlendTransRectangle(b.get(), 0, 0, bmp, src, 0.4, TsColor(sFuchsia));
    }
    Copy(ACanvas->Handle(), extra + ARect.left, ARect.top, w, h, b.get(), 0, 0);
    // The extra line reaches the client area through the popup's first item.
    if (item == GetFirstItem(item) && ExtraWidth(mi) > 0 && (!IsNT || !OldWindows()))
        Copy(ACanvas->Handle(), 0, 0, ExtraWidth(mi) * fc + PopupFrame, bmp->Height(), bmp, PopupFrame, PopupFrame);
}

void TsSkinableMenus::FillColumns(TCanvas* ACanvas, const TRect& ARect, TMenuItem* Item, TBitmap* Bmp)
{
    TMenuItem* parent = Item->Parent();
    const int idx = parent ? parent->IndexOf(Item) : -1;
    const bool nextBreaks = parent && idx + 1 < parent->Count() && parent->Items(idx + 1)->Break() != mbNone;
    const bool last = parent && idx == parent->Count() - 1;
    const int inner = Bmp->Height() - 2 * PopupFrame;
    HDC dc = ACanvas->Handle();
    if (nextBreaks || (last && inner > ARect.bottom))
        Copy(dc, ARect.left, ARect.bottom, ARect.Width(), inner - ARect.bottom, Bmp, ARect.left + PopupFrame,
             ARect.bottom + PopupFrame);
    if (Item->Break() != mbNone)
        Copy(dc, ARect.left - 4, ARect.top, 4, inner, Bmp, ARect.left - 1, ARect.top + PopupFrame);
}

void TsSkinableMenus::PaintItemBackground(TBitmap* B, TBitmap* Bmp, const TRect& ARect, int Extra, bool Selected)
{
    Copy(B->Canvas()->Handle(), 0, 0, B->Width(), B->Height(), Bmp, Extra + ARect.left + PopupFrame,
         ARect.top + PopupFrame);
    TsSkinManager* sm = Manager();
    const int section = sm->GetSkinIndex(L"MENUITEM");
    if (sm->IsValidSkinIndex(section))
        PaintItem(section, L"MENUITEM", MakeCacheInfo(Bmp, Extra + ARect.left + PopupFrame, ARect.top + PopupFrame),
                  true, Selected ? 1 : 0, TRect(0, 0, B->Width(), B->Height()), TPoint{0, 0}, B, sm);
}

void TsSkinableMenus::PaintCheckMark(TBitmap* B, TMenuItem* Item, bool Hot)
{
    TsSkinManager* sm = Manager();
    const int info = sm->GetSkinIndex(L"GLOBALINFO");
    int mask = sm->GetMaskIndex(info, L"GLOBALINFO", Item->RadioItem() ? L"RADIOCHECKED" : L"CHECK");
    if (!sm->IsValidImgIndex(mask))
        mask = sm->GetMaskIndex(info, L"GLOBALINFO", L"BOXCHECKED");
    if (!sm->IsValidImgIndex(mask))
        return;
    const TSize size = sm->MaskSize(mask);
    DrawSkinGlyph(B, TPoint{FMargin, (B->Height() - size.cy) / 2}, Hot ? 1 : 0, 1, sm->ma[mask], MakeCacheInfo(B));
}

int TsSkinableMenus::PaintGlyph(TBitmap* B, TMenuItem* Item, const TRect& ARect, bool Hot, bool Checked)
{
    const TSize size = GlyphSize(Item, false);
    TMenu* menu = Item->GetParentMenu();
    TCustomImageList* images = ImagesOf(Item);
    const bool rtl = RightToLeft(Item);
    // Right to left, the glyph sits as far from the right edge as it would from the left.
    auto left = [&](int Top, int Width) { return rtl ? B->Width() - Top - Width : Top; };
    if (Item->HasBitmap()) {
        TBitmap* g = Item->Bitmap();
        const int top = (B->Height() - g->Height()) / 2;
        const TRect r = Bounds(left(top, g->Width()), top, g->Width(), g->Height());
        if (Checked)
            PaintPressedFrame(B, r);
        if (g->PixelFormat() == pf32bit)
            CopyByMask(r, TRect(0, 0, g->Width(), g->Height()), B, g, EmptyCI, false);
        else
            B->Canvas()->Draw(r.left, r.top, g);
    } else if (images && Item->ImageIndex() >= 0) {
        const int top = (B->Height() - images->Height()) / 2;
        const TRect r = Bounds(left(top, images->Width()), top, images->Width(), images->Height());
        if (Checked)
            PaintPressedFrame(B, r);
        images->Draw(B->Canvas(), r.left, r.top, Item->ImageIndex(), true);
    } else if (menu && menu->Name() == L"SysMenu") {
        if (const wchar_t* glyph = SysMenuGlyph(Item->Tag())) {
            TCanvas* c = B->Canvas();
            c->Font()->SetName(L"Webdings");
            c->Font()->SetStyle({});
            c->Font()->SetSize(10);
            const int th = c->TextHeight(glyph);
            const int top = (B->Height() - th) / 2;
            const int x = left(4, th + 10);
            WriteText(c, glyph, TRect(x, top, x + th + 10, top + th), 0, Manager(),
                      Manager()->GetSkinIndex(L"MENUITEM"), Hot);
        }
    }
    return size.cx;
}

// A checked item's glyph stands on a pressed small speed button.
void TsSkinableMenus::PaintPressedFrame(TBitmap* B, TRect Glyph)
{
    TsSkinManager* sm = Manager();
    const int section = sm->GetSkinIndex(L"SPEEDBUTTON_SMALL");
    if (!sm->IsValidSkinIndex(section))
        return;
    ::InflateRect(&Glyph, 1, 1);
    PaintItem(section, L"SPEEDBUTTON_SMALL", MakeCacheInfo(B), true, 2, Glyph, Glyph.TopLeft(), B, sm);
}

void TsSkinableMenus::PaintItemText(TBitmap* B, TMenuItem* Item, TOwnerDrawState State, int GlyphWidth, bool Hot)
{
    TCanvas* c = B->Canvas();
    UseMenuFont(c, Item);
    if (State.Contains(odDefault))
        c->Font()->SetStyle(c->Font()->Style() + fsBold);
    const int section = Manager()->GetSkinIndex(L"MENUITEM");
    const bool rtl = RightToLeft(Item);
    const int indent = GlyphWidth + 2 * FMargin + FSpacing;
    TRect r = rtl ? TRect(0, 0, B->Width() - indent, B->Height()) : TRect(indent, 0, B->Width(), B->Height());
    UnicodeString caption = Item->Caption();
    UINT align = AlignmentFlag(FAlignment);
    // A caption that starts with a backspace is right-aligned.
    if (!caption.empty() && caption.front() == L'\b') {
        caption = caption.substr(1) + L"      ";
        align = DT_RIGHT;
    }
    UINT flags = align | DT_EXPANDTABS | DT_SINGLELINE | DT_VCENTER | DT_NOCLIP;
    if (rtl)
        flags = (flags & ~(DT_LEFT | DT_CENTER)) | DT_RIGHT;
    if (State.Contains(odNoAccel))
        flags |= DT_HIDEPREFIX;
    WriteText(c, caption, r, flags, Manager(), section, Hot);
    const UnicodeString shortcut = ShortCutToText(Item->ShortCut());
    if (!shortcut.empty()) {
        RECT calc{0, 0, 1, 0};
        ::DrawTextW(c->Handle(), shortcut.c_str(), static_cast<int>(shortcut.size()), &calc,
                    DT_CALCRECT | DT_EXPANDTABS | DT_SINGLELINE);
        const int sw = calc.right - calc.left;
        const int x = rtl ? 6 : B->Width() - sw - 8;
        WriteText(c, shortcut, TRect(x, 0, x + sw, B->Height()), DT_SINGLELINE | DT_VCENTER, Manager(), section, Hot);
    }
}

void TsSkinableMenus::PaintDivider(TCanvas* Canvas, const TRect& ARect, TBitmap* Bmp, const TkvMenuInfo& mi)
{
    TsSkinManager* sm = Manager();
    const int mask = sm->GetMaskIndex(sm->GetSkinIndex(L"DIVIDERV"), L"DIVIDERV", L"BORDERSMASK");
    const int w = ARect.Width(), h = ARect.Height();
    if (!sm->IsValidImgIndex(mask) || w <= 0 || h <= 0) {
        TRect r = ARect;
        int width = 1;
        DrawRectangleOnDC(Canvas->Handle(), r, clGray, clWhite, width);
        return;
    }
    TBitmap b(w, h, pf24bit);
    if (Bmp)
        Copy(b.Canvas()->Handle(), 0, 0, w, h, Bmp, ARect.left + PopupFrame, ARect.top + PopupFrame);
    const int extra = ExtraWidth(mi);
    int left = extra + FMargin + FSpacing;
    if (left < extra + GlyphColumnWidth)
        left = extra + GlyphColumnWidth + 2;
    DrawSkinRect(&b, TRect(left, 0, w - FMargin, h), true, MakeCacheInfo(&b), sm->ma[mask], 0, true, sm);
    Copy(Canvas->Handle(), ARect.left, ARect.top, w, h, &b, 0, 0);
}

void TsSkinableMenus::PaintCaption(TCanvas* Canvas, const TRect& ARect, TMenuItem* Item, TBitmap* Bmp,
                                   const TkvMenuInfo& mi)
{
    CurrentItemType = smCaption;
    const int w = ARect.Width(), h = ARect.Height();
    if (w <= 0 || h <= 0)
        return;
    auto b = std::make_unique<TBitmap>(w, h, pf24bit);
    if (Bmp)
        Copy(b->Canvas()->Handle(), 0, 0, w, h, Bmp, ARect.left + PopupFrame, ARect.top + PopupFrame);
    const int extra = ExtraWidth(mi);
    const int toolbar = Manager()->GetSkinIndex(L"TOOLBAR");
    if (Manager()->IsValidSkinIndex(toolbar) && w - 1 > extra + 1 && h > 2)
        PaintItem(toolbar, L"TOOLBAR", MakeCacheInfo(Bmp ? Bmp : b.get(), extra + ARect.left + PopupFrame,
                                                     ARect.top + PopupFrame),
                  true, 0, TRect(extra + 1, 1, w - 1, h - 1), TPoint{0, 0}, b.get(), Manager());
    TCanvas* c = b->Canvas();
    c->SetFont(FCaptionFont);
    WriteText(c, FirstDashWord(Item->Caption()), TRect(ExtraWidth(mi), 0, w, h),
              DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_HIDEPREFIX, Manager(), Manager()->GetSkinIndex(L"TOOLBAR"),
              false);
    Copy(Canvas->Handle(), ARect.left, ARect.top, w, h, b.get(), 0, 0);
}

// The provider whose menu line the bar item belongs to: the MDI main
// form's, else the one of the menu's window; nullptr when none keeps an image.
TsSkinProvider* LineProvider(TMenuItem* Item)
{
    TsSkinProvider* sp = TsSkinProvider::Alive(MDISkinProvider) ? MDISkinProvider : nullptr;
    if (!sp) {
        TMenu* menu = Item->GetParentMenu();
        if (menu && menu->WindowHandle())
            if (TsProviderSeam* seam = ProviderOf(menu->WindowHandle()))
                sp = dynamic_cast<TsSkinProvider*>(seam->ProviderComponent());
    }
    return sp && sp->SkinData()->FCacheBmp && sp->MenuLineBmp && !sp->MenuLineBmp->Empty() ? sp : nullptr;
}

// Without a provider's menu line, the bar item is drawn in the system's
// menu colours, so that the bar stays readable.
void TsSkinableMenus::DrawSystemLineItem(TMenuItem* Item, TCanvas* ACanvas, const TRect& ARect, TOwnerDrawState State)
{
    const bool hot = Item->Enabled() && (State.Contains(odSelected) || State.Contains(odHotLight));
    HDC dc = ACanvas->Handle();
    ::FillRect(dc, &ARect, ::GetSysColorBrush(hot ? COLOR_HIGHLIGHT : COLOR_MENU));
    ACanvas->SetFont(MenuFont());
    if (State.Contains(odDefault))
        ACanvas->Font()->SetStyle(ACanvas->Font()->Style() + fsBold);
    dc = ACanvas->Handle();
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, ::GetSysColor(!Item->Enabled() ? COLOR_GRAYTEXT : hot ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT));
    UINT flags = DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_EXPANDTABS | DT_NOCLIP;
    if (State.Contains(odNoAccel))
        flags |= DT_HIDEPREFIX;
    RECT r = ARect;
    const UnicodeString caption = Item->Caption();
    ::DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &r, flags);
    if (OnDrawItem.Assigned())
        OnDrawItem(Item, ACanvas, ARect, State, smTopLine);
}

// A bar item drawn on the provider's menu line: into its window image
// while the provider paints it, or onto the window when the system draws
// the item (ARect in window coordinates then).
void TsSkinableMenus::sAdvancedDrawLineItem(TObject* Sender, TCanvas* ACanvas, TRect ARect, TOwnerDrawState State)
{
    auto* item = dynamic_cast<TMenuItem*>(Sender);
    TsSkinManager* sm = Manager();
    if (!item || !sm)
        return;
    TsSkinProvider* sp = LineProvider(item);
    const int w = ARect.Width(), h = ARect.Height();
    if (!sp) {
        DrawSystemLineItem(item, ACanvas, ARect, State);
        return;
    }
    if (w <= 0 || h <= 0)
        return;
    TBitmap* line = sp->MenuLineBmp;
    TBitmap* cache = sp->SkinData()->FCacheBmp;
    // The item's place in the image, then in the menu line.
    TPoint inImage = ARect.TopLeft();
    if (ACanvas->Handle() != cache->Canvas()->Handle()) {
        const TPoint origin = sp->FrameImageOrigin();
        inImage = TPoint(inImage.x + origin.x, inImage.y + origin.y);
    }
    const int x = inImage.x - sp->MenuLineOrigin.x, y = inImage.y - sp->MenuLineOrigin.y;
    TBitmap b(w, h, pf24bit);
    ::BitBlt(b.Canvas()->Handle(), 0, 0, w, h, line->Canvas()->Handle(), x, y, SRCCOPY);
    const bool hot = item->Enabled() && (State.Contains(odSelected) || State.Contains(odHotLight));
    const int section = sm->GetSkinIndex(L"MENUITEM");
    if (sm->IsValidSkinIndex(section))
        PaintItem(section, L"MENUITEM", MakeCacheInfo(line, x, y), true,
                  (item->Enabled() && State.Contains(odSelected)) || State.Contains(odHotLight) ? 1 : 0,
                  TRect(0, 0, w, h), TPoint{0, 0}, &b, sm);
    const bool rtl = RightToLeft(item);
    int glyphWidth = 0;
    TCustomImageList* images = ImagesOf(item);
    if (item->HasBitmap()) {
        TBitmap* g = item->Bitmap();
        b.Canvas()->Draw(rtl ? w - g->Width() - 3 : 3, item->Enabled() ? (h - g->Height()) / 2 : 1, g);
        glyphWidth = g->Width() - 1;
    } else if (images && item->ImageIndex() >= 0) {
        images->Draw(b.Canvas(), rtl ? w - images->Width() - 3 : 3, (h - images->Height()) / 2, item->ImageIndex(),
                     true);
        glyphWidth = images->Width() + 3;
    }
    TCanvas* c = b.Canvas();
    UseMenuFont(c, item);
    c->Font()->SetStyle(State.Contains(odDefault) ? TFontStyles{fsBold} : TFontStyles{});
    const TRect text = rtl ? TRect(2, 0, w - glyphWidth - 2, h) : TRect(glyphWidth + 2, 0, w - 2 * FMargin + 2, h);
    UINT flags = DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_EXPANDTABS | DT_NOCLIP | AlignmentFlag(FAlignment);
    if (State.Contains(odNoAccel))
        flags |= DT_HIDEPREFIX;
    WriteText(c, item->Caption(), text, flags, sm, sm->GetSkinIndex(L"MENULINE"), hot);
    if (OnDrawItem.Assigned())
        OnDrawItem(item, c, TRect(0, 0, w, h), State, smTopLine);
    if (!item->Enabled()) {
        TsColor factor{};
        factor.R = 102;
        SumBmpRect(&b, line, factor, TRect(x, y, x + w, y + h), TPoint{0, 0});
    }
    ::BitBlt(ACanvas->Handle(), ARect.left, ARect.top, w, h, b.Canvas()->Handle(), 0, 0, SRCCOPY);
}

bool ChildIconPresent()
{
    if (!TsSkinProvider::Alive(MDISkinProvider) || !MDISkinProvider->Form ||
        MDISkinProvider->Form->FormStyle() != fsMDIForm)
        return false;
    TForm* child = MDISkinProvider->Form->ActiveMDIChild();
    return child && child->HandleAllocated() && ::IsZoomed(child->Handle()) &&
           child->BorderIcons().Contains(biSystemMenu) && child->Icon();
}
