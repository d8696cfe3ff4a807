// Measuring menu items by the skin's rules, and the extra-line query.
#include <cmath>

#include "classlib/controls/Forms.h"
#include "skin/core/sSkinManager.h"
#include "skin/forms/sSkinMenus.h"

namespace {

TFont* MenuFont()
{
    return CustomMenuFont ? CustomMenuFont : Screen->MenuFont();
}

// The form the menu belongs to, through the owners of the item.
TCustomForm* OwnerForm(TMenuItem* Item)
{
    for (TComponent* c = Item; c; c = c->Owner())
        if (auto* form = dynamic_cast<TCustomForm*>(c))
            return form;
    return nullptr;
}

int TextWidthOf(TCanvas* Canvas, const UnicodeString& Text)
{
    RECT r{0, 0, 1, 0};
    ::DrawTextW(Canvas->Handle(), Text.c_str(), static_cast<int>(Text.size()), &r,
                DT_CALCRECT | DT_NOCLIP | DT_EXPANDTABS | DT_SINGLELINE);
    return r.right - r.left;
}

// Round(x): to the nearest integer, halves to the even neighbour.
int RoundEven(double X)
{
    return static_cast<int>(std::nearbyint(X));
}

UnicodeString WithoutAmpersands(UnicodeString S)
{
    std::erase(S, L'&');
    return S;
}

} // namespace

void TsSkinableMenus::UseMenuFont(TCanvas* Canvas, TMenuItem* Item) const
{
    Canvas->SetFont(MenuFont());
    if (TCustomForm* form = OwnerForm(Item))
        Canvas->Font()->SetCharset(form->Font()->Charset());
}

UnicodeString TsSkinableMenus::MeasuredText(TMenuItem* Item) const
{
    switch (CurrentItemType) {
    case smCaption:
        return L"-" + Item->Caption() + L"-";
    case smDivider:
        return UnicodeString();
    default:
        return Item->Caption() + ShortCutToText(Item->ShortCut());
    }
}

bool TsSkinableMenus::QueryExtraLine(TMenuItem* FirstItem)
{
    // The application's handler may measure items or open popups, which
    // would ask again: a nested query answers no line.
    if (InExtraLineQuery)
        return false;
    TFlagScope guard(InExtraLineQuery, true);
    ExtraLineSection = L"EXTRALINE";
    FreeAndNil(ExtraLineGlyph);
    ExtraLineCaption = L"Use OnGetExtraLineData event";
    bool visible = true;
    if (Manager() && Manager()->OnGetMenuExtraLineData.Assigned())
        Manager()->OnGetMenuExtraLineData(FirstItem, ExtraLineSection, ExtraLineCaption, ExtraLineGlyph, visible);
    ExtraLineCaption = WithoutAmpersands(ExtraLineCaption);
    if (!visible)
        FreeAndNil(ExtraLineGlyph);
    return visible;
}

void TsSkinableMenus::sMeasureItem(TObject* Sender, TCanvas* ACanvas, int& Width, int& Height)
{
    auto* item = dynamic_cast<TMenuItem*>(Sender);
    if (!item || item->ComponentState().Contains(csDestroying))
        return;
    kvCanHookMenu = true;
    TkvMenuInfo mi = GetMenuInfo(item, 0, 0, nullptr);
    CurrentItemType = item->IsLine() ? smDivider : IsDivText(item) ? smCaption : smNormal;
    if (!mi.FirstItem) {
        mi.FirstItem = GetFirstItem(item);
        mi.HaveExtraLine = false;
        // The skin-selection submenu of the system menu never shows the line.
        if (!InExtraLineQuery && !Designing() && mi.FirstItem && mi.FirstItem->Name() != L"SkinSelectItem") {
            mi.HaveExtraLine = QueryExtraLine(mi.FirstItem);
        }
    }
    UseMenuFont(ACanvas, item);
    if (item->Default())
        ACanvas->Font()->SetStyle(ACanvas->Font()->Style() + fsBold);
    const int tw = TextWidthOf(ACanvas, MeasuredText(item));
    Width = 2 * GlyphSize(item, false).cx + tw + 3 * FMargin + FSpacing;
    if (mi.HaveExtraLine && !Breaked(item))
        Width += ExtraWidth(mi);
    Height = GetItemHeight(ACanvas, item);
}

int TsSkinableMenus::GetItemHeight(TCanvas* Canvas, TMenuItem* Item)
{
    Canvas->SetFont(MenuFont());
    if (Item->IsLine())
        return 2;
    const int text = RoundEven(Canvas->TextHeight(L"W") * 1.25);
    if (IsDivText(Item))
        return text + 2 * FMargin;
    return std::max(text, static_cast<int>(GlyphSize(Item, false).cy)) + 2 * FMargin;
}

int TsSkinableMenus::ParentHeight(TCanvas* Canvas, TMenuItem* Item)
{
    TMenuItem* parent = Item->Parent();
    if (!parent)
        return 0;
    int tallest = 0, column = 0;
    for (int i = 0; i < parent->Count(); ++i) {
        TMenuItem* it = parent->Items(i);
        if (!it->Visible())
            continue;
        if (it->Break() != mbNone) {
            tallest = std::max(tallest, column);
            column = 0;
        }
        column += GetItemHeight(Canvas, it);
    }
    return std::max(tallest, column);
}

int TsSkinableMenus::ParentWidth(TCanvas* Canvas, TMenuItem* Item)
{
    TMenuItem* parent = Item->Parent();
    if (!parent)
        return 0;
    int total = 0, widest = 0, breaks = 0;
    bool any = false;
    for (int i = 0; i < parent->Count(); ++i) {
        TMenuItem* it = parent->Items(i);
        if (!it->Visible())
            continue;
        if (it->Break() != mbNone && any) {
            total += widest + 12;
            widest = 0;
        }
        if (it->Break() != mbNone)
            ++breaks;
        int w = 0, h = 0;
        sMeasureItem(it, Canvas, w, h);
        widest = std::max(widest, w);
        any = true;
    }
    if (any)
        total += widest + 12;
    return total + 4 * breaks;
}

int TsSkinableMenus::GetItemWidth(TCanvas* Canvas, TMenuItem* Item, const TkvMenuInfo& mi)
{
    const int tw = TextWidthOf(Canvas, MeasuredText(Item));
    int width = 2 * GlyphSize(Item, false).cx + tw + 3 * FMargin + FSpacing;
    if (mi.HaveExtraLine)
        width += ExtraWidth(mi);
    return width;
}

void TsSkinableMenus::sMeasureLineItem(TObject* Sender, TCanvas* ACanvas, int& Width, int& Height)
{
    auto* item = dynamic_cast<TMenuItem*>(Sender);
    if (!item)
        return;
    Height = ::GetSystemMetrics(SM_CYMENU) - 1;
    ACanvas->SetFont(MenuFont());
    Width = ACanvas->TextWidth(WithoutAmpersands(item->Caption()));
    TMenu* menu = item->GetParentMenu();
    if (menu && menu->Images() && item->ImageIndex() >= 0)
        Width += menu->Images()->Width() + 6;
}
