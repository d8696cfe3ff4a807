// What the manager keeps of the menu skinning: hooking the application's
// menus by the skin, measuring items by the skin's rules, the popup
// window's shape, and the border width measured once per skin.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "../manager/ManagerFixture.h"
#include "classlib/controls/Menus.h"
#include "classlib/rtl/SysUtils.h"
#include "classlib/controls/SubclassWindow.h"
#include "classlib/graphics/GdiHandles.h"
#include "skin/core/sVclUtils.h"
#include "skin/forms/kvDials.h"
#include "skin/forms/sSkinMenus.h"

using namespace managertest;

namespace {

const bool Registered = [] {
    RegisterSkinFormsServices();
    return true;
}();

struct TAppHandlers {
    void Measure(TObject*, TCanvas*, int&, int&) {}
    void ExtraLine(TMenuItem*, UnicodeString& Section, UnicodeString& Caption, TBitmap*&, bool& Visible)
    {
        ++Asked;
        Caption = L"&Line";
        Visible = ShowLine;
    }
    int Asked = 0;
    bool ShowLine = true;
};

class MenuSkinning : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(Registered);
        Manager.reset(NewManager());
        Menus = dynamic_cast<TsSkinableMenus*>(Manager->SkinableMenus());
        ASSERT_NE(Menus, nullptr);
        Form = TForm::CreateNew(Application);
        Popup = New<TPopupMenu>(Form);
        for (const wchar_t* caption : {L"Open", L"-", L"-Options-", L"Close"}) {
            auto* item = New<TMenuItem>(Form);
            item->SetCaption(caption);
            Popup->Items()->Add(item);
        }
    }
    void TearDown() override
    {
        FreeAndNil(Form);
        Manager.reset();
    }
    TMenuItem* Item(int i) { return Popup->Items()->Items(i); }

    std::unique_ptr<TsSkinManager> Manager;
    TsSkinableMenus* Menus = nullptr;
    TForm* Form = nullptr;
    TPopupMenu* Popup = nullptr;
    TAppHandlers App;
};

bool HookedByMenus(TMenuItem* Item)
{
    return Item->OnMeasureItem.Assigned() && Item->OnAdvancedDrawItem.Assigned();
}

} // namespace

TEST_F(MenuSkinning, MenusFollowTheSkinAndKeepTheApplicationsOwnHandlers)
{
    Item(3)->OnMeasureItem = Bind(&App, &TAppHandlers::Measure);
    Menus->UpdateMenus();
    EXPECT_TRUE(Menus->Active());
    EXPECT_TRUE(Popup->OwnerDraw());
    EXPECT_TRUE(Popup->MenuAnimation().Contains(maNone));
    EXPECT_TRUE(HookedByMenus(Item(0)));
    EXPECT_EQ(Item(3)->OnMeasureItem, Bind(&App, &TAppHandlers::Measure));

    Manager->SetActive(false);
    Menus->UpdateMenus();
    EXPECT_FALSE(Menus->Active());
    EXPECT_FALSE(Popup->OwnerDraw());
    EXPECT_FALSE(Popup->MenuAnimation().Contains(maNone));
    EXPECT_FALSE(Item(0)->OnMeasureItem.Assigned());
    EXPECT_FALSE(Item(0)->OnAdvancedDrawItem.Assigned());
    EXPECT_EQ(Item(3)->OnMeasureItem, Bind(&App, &TAppHandlers::Measure));
}

TEST_F(MenuSkinning, WithoutSkinnedPopupsThePopupStaysSystemDrawn)
{
    Manager->SetSkinnedPopups(false);
    Menus->UpdateMenus();
    EXPECT_FALSE(Popup->OwnerDraw());
    EXPECT_FALSE(HookedByMenus(Item(0)));
}

TEST_F(MenuSkinning, ItemsAreMeasuredByTheSkinsRules)
{
    TBitmap bmp(10, 10, pf24bit);
    TCanvas* canvas = bmp.Canvas();
    canvas->SetFont(Screen->MenuFont());
    const int text = static_cast<int>(std::nearbyint(canvas->TextHeight(L"W") * 1.25));
    int w = 0, h = 0;
    Menus->sMeasureItem(Item(0), canvas, w, h);
    EXPECT_EQ(h, std::max(text, 16) + 4);  // a 16-pixel glyph column without images
    EXPECT_EQ(w, 2 * 16 + canvas->TextWidth(L"Open") + 3 * 2 + 6);
    Menus->sMeasureItem(Item(1), canvas, w, h);
    EXPECT_EQ(h, 2);
    Menus->sMeasureItem(Item(2), canvas, w, h);
    EXPECT_EQ(h, text + 4);
    EXPECT_TRUE(kvCanHookMenu);
}

TEST_F(MenuSkinning, TheExtraLineWidensTheFirstColumnWhenTheApplicationShowsIt)
{
    auto* support = static_cast<TkvMenuSupport*>(Manager->MenuSupport());
    support->SetUseExtraLine(true);
    Manager->OnGetMenuExtraLineData = Bind(&App, &TAppHandlers::ExtraLine);
    TBitmap bmp(10, 10, pf24bit);
    int plain = 0, wide = 0, h = 0;
    support->SetUseExtraLine(false);
    Menus->sMeasureItem(Item(0), bmp.Canvas(), plain, h);
    support->SetUseExtraLine(true);
    Menus->sMeasureItem(Item(0), bmp.Canvas(), wide, h);
    EXPECT_EQ(wide, plain + 32);
    EXPECT_EQ(ExtraLineCaption, L"Line");
    EXPECT_EQ(ExtraLineSection, L"EXTRALINE");

    // The skin-selection submenu never gets the line.
    App.Asked = 0;
    Item(0)->SetName(L"SkinSelectItem");
    Menus->sMeasureItem(Item(3), bmp.Canvas(), wide, h);
    EXPECT_EQ(App.Asked, 0);
    Manager->OnGetMenuExtraLineData = nullptr;
}

TEST_F(MenuSkinning, BorderWidthIsMeasuredOncePerSkin)
{
    Menus->SetSkinBorderWidth(-1);
    const int mask = Manager->GetMaskIndex(Manager->GetSkinIndex(L"MAINMENU"), L"MAINMENU", L"BORDERSMASK");
    ASSERT_TRUE(Manager->IsValidImgIndex(mask));
    const int expected = Manager->ma[mask].BorderWidth > 0 ? Manager->ma[mask].BorderWidth : 3;
    EXPECT_EQ(Menus->GetSkinBorderWidth(), expected);
    Menus->SetSkinBorderWidth(9);
    EXPECT_EQ(Menus->GetSkinBorderWidth(), 9);
    Manager->SendNewSkin(false);  // a new skin is measured again
    EXPECT_EQ(Menus->GetSkinBorderWidth(), expected);
}

TEST_F(MenuSkinning, APopupWindowGetsItsShapeOnceAndEmptiesTheCacheWhenItGoes)
{
    HWND wnd = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 40, 30, nullptr, nullptr, HInstance, nullptr);
    ASSERT_NE(wnd, nullptr);
    TBitmap picture(40, 30, pf24bit);
    // A skin without transparent corners leaves the popup whole: no region, no notch.
    Menus->ArOR.clear();
    Menus->DrawWndBorder(wnd, &picture);
    GdiObject<HRGN> rgn(::CreateRectRgn(0, 0, 0, 0));
    EXPECT_EQ(::GetWindowRgn(wnd, rgn.Get()), ERROR);
    EXPECT_EQ(::SendMessageW(wnd, WM_ERASEBKGND, 0, 0), 1);

    // The skin's transparent corners are cut away.
    HWND cut = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 40, 30, nullptr, nullptr, HInstance, nullptr);
    Menus->ArOR = {TRect(0, 0, 2, 1), TRect(38, 29, 40, 30)};
    Menus->DrawWndBorder(cut, &picture);
    ASSERT_NE(::GetWindowRgn(cut, rgn.Get()), ERROR);
    EXPECT_FALSE(::PtInRegion(rgn.Get(), 0, 0));
    EXPECT_FALSE(::PtInRegion(rgn.Get(), 1, 0));
    EXPECT_TRUE(::PtInRegion(rgn.Get(), 2, 0));
    EXPECT_TRUE(::PtInRegion(rgn.Get(), 0, 1));
    EXPECT_FALSE(::PtInRegion(rgn.Get(), 39, 29));
    EXPECT_TRUE(::PtInRegion(rgn.Get(), 20, 15));
    ::DestroyWindow(cut);

    MenuInfoArray.push_back(TkvMenuInfo{Item(0), new TBitmap(4, 4, pf24bit), wnd, false});
    EXPECT_EQ(Menus->GetMenuInfo(nullptr, 0, 0, wnd).FirstItem, Item(0));
    EXPECT_EQ(Menus->GetMenuInfo(Item(2), 0, 0, nullptr).FirstItem, Item(0));
    ::DestroyWindow(wnd);
    EXPECT_TRUE(MenuInfoArray.empty());
}

TEST_F(MenuSkinning, UnhookingRemovesOurHandlersWhicheverMenusObjectSetThem)
{
    TsSkinableMenus other(Manager.get());
    other.HookPopupMenu(Popup, true);
    ASSERT_TRUE(HookedByMenus(Item(0)));
    Item(3)->OnMeasureItem = Bind(&App, &TAppHandlers::Measure);
    Menus->HookPopupMenu(Popup, false);
    EXPECT_FALSE(HookedByMenus(Item(0)));
    EXPECT_FALSE(Item(0)->OnAdvancedDrawItem.Assigned());
    EXPECT_EQ(Item(3)->OnMeasureItem, Bind(&App, &TAppHandlers::Measure));
}

TEST_F(MenuSkinning, TheMenuBarTakesLineHandlersOnlyWhilePopupsAreSkinned)
{
    auto* bar = New<TMainMenu>(Form);
    auto* file = New<TMenuItem>(Form);
    file->SetCaption(L"&File");
    bar->Items()->Add(file);
    auto* open = New<TMenuItem>(Form);
    open->SetCaption(L"Open");
    file->Add(open);

    Manager->SetSkinnedPopups(false);
    Menus->InitMenuLine(bar, true);  // the system keeps drawing the bar
    EXPECT_FALSE(bar->OwnerDraw());
    EXPECT_FALSE(file->OnMeasureItem.Assigned());

    Manager->SetSkinnedPopups(true);
    Menus->UpdateMenus();
    EXPECT_TRUE(bar->OwnerDraw());
    EXPECT_EQ(file->OnMeasureItem, TMenuMeasureItemEvent(Menus, &TsSkinableMenus::sMeasureLineItem));
    EXPECT_EQ(open->OnMeasureItem, TMenuMeasureItemEvent(Menus, &TsSkinableMenus::sMeasureItem));

    Manager->SetActive(false);
    Menus->UpdateMenus();
    EXPECT_FALSE(bar->OwnerDraw());
    EXPECT_FALSE(file->OnMeasureItem.Assigned());
    EXPECT_FALSE(open->OnMeasureItem.Assigned());
}

TEST_F(MenuSkinning, DrawingWithoutThePopupWindowBuildsItsPictureAndAsksTheApplicationOnce)
{
    ClearCache();
    MSG msg;
    while (::PeekMessageW(&msg, Application->Handle(), 0xBCB3, 0xBCB4, PM_REMOVE)) {
    }
    TBitmap canvas(200, 100, pf24bit);
    TCanvas* c = canvas.Canvas();
    int w = 0, h = 0;
    Menus->sMeasureItem(Item(0), c, w, h);
    const TRect first(0, 0, 120, h), divider(0, h, 120, h + 2);
    Menus->sAdvancedDrawItem(Item(0), c, first, TOwnerDrawState{});
    Menus->sAdvancedDrawItem(Item(1), c, divider, TOwnerDrawState{});

    ASSERT_EQ(MenuInfoArray.size(), 1u);
    EXPECT_EQ(MenuInfoArray[0].FirstItem, Item(0));
    EXPECT_EQ(MenuInfoArray[0].Wnd, nullptr);
    EXPECT_EQ(MenuInfoArray[0].Bmp->Width(), Menus->ParentWidth(c, Item(0)) + 6);
    EXPECT_EQ(MenuInfoArray[0].Bmp->Height(), Menus->ParentHeight(c, Item(0)) + 6);
    int posted = 0;
    while (::PeekMessageW(&msg, Application->Handle(), 0xBCB3, 0xBCB4, PM_REMOVE)) {
        EXPECT_EQ(msg.message, 0xBCB3u);
        EXPECT_EQ(reinterpret_cast<TMenuItem*>(msg.lParam), Item(0));
        ++posted;
    }
    EXPECT_EQ(posted, 1);  // only while none is waiting

    // The caption is written over the popup's background.
    const TColor bg = c->Pixels(first.right - 2, first.top + 1);
    bool text = false;
    for (int x = 40; x < 100 && !text; ++x)
        for (int y = 0; y < h && !text; ++y)
            text = c->Pixels(x, y) != bg;
    EXPECT_TRUE(text);
    ClearCache();
    EXPECT_TRUE(MenuInfoArray.empty());
}

TEST_F(MenuSkinning, ThePopupPictureCarriesTheIconColumnInsideTheSkinsBorder)
{
    ClearCache();
    auto* support = static_cast<TkvMenuSupport*>(Manager->MenuSupport());
    support->SetIcoLineSkin(L"ICOLINE");
    const int column = Manager->GetSkinIndex(L"ICOLINE");
    ASSERT_GE(column, 0);
    const TkvMenuInfo mi = Menus->GetMenuInfo(Item(0), 120, 90, nullptr);
    ASSERT_NE(mi.Bmp, nullptr);
    EXPECT_EQ(mi.Bmp->Width(), 120);
    EXPECT_EQ(mi.Bmp->Height(), 90);
    EXPECT_EQ(GlyphColumnWidth, 2 + 16 + 6);
    const int sbw = Menus->GetSkinBorderWidth();
    TCanvas* c = mi.Bmp->Canvas();
    EXPECT_EQ(ColorToRGB(c->Pixels(sbw + GlyphColumnWidth / 2, 45)), ColorToRGB(Manager->gd[column].Color));
    EXPECT_NE(c->Pixels(sbw + GlyphColumnWidth + 10, 45), c->Pixels(sbw + GlyphColumnWidth / 2, 45));
    // Asked again, the same picture comes back.
    EXPECT_EQ(Menus->GetMenuInfo(Item(3), 999, 999, nullptr).Bmp, mi.Bmp);
    ClearCache();
}

TEST_F(MenuSkinning, AManagerFreedBeforeTheMenusTakesItsHandlersWithIt)
{
    auto* bar = New<TMainMenu>(Form);
    auto* top = New<TMenuItem>(Form);
    top->SetCaption(L"File");
    bar->Items()->Add(top);
    auto* sub = New<TMenuItem>(Form);
    sub->SetCaption(L"Open");
    top->Add(sub);
    Menus->UpdateMenus();
    ASSERT_TRUE(HookedByMenus(Item(0)));
    ASSERT_TRUE(HookedByMenus(top));
    ASSERT_TRUE(HookedByMenus(sub));
    Item(3)->OnMeasureItem = Bind(&App, &TAppHandlers::Measure);

    Manager.reset();
    Menus = nullptr;
    for (TMenuItem* item : {Item(0), Item(1), top, sub}) {
        EXPECT_FALSE(item->OnMeasureItem.Assigned()) << item->Caption();
        EXPECT_FALSE(item->OnAdvancedDrawItem.Assigned()) << item->Caption();
    }
    EXPECT_EQ(Item(3)->OnMeasureItem, Bind(&App, &TAppHandlers::Measure)) << "the application's own stays";
    EXPECT_FALSE(Popup->OwnerDraw());
    EXPECT_FALSE(bar->OwnerDraw());
}

namespace {

// An extra-line handler that builds another popup's background while it is
// asked, as an application's handler may by opening or measuring a menu.
struct TNestingHandler {
    TsSkinableMenus* Menus = nullptr;
    TMenuItem* Other = nullptr;
    int Asked = 0;
    void ExtraLine(TMenuItem*, UnicodeString&, UnicodeString&, TBitmap*&, bool& Visible)
    {
        ++Asked;
        Visible = true;
        if (Asked < 5)
            Menus->GetMenuInfo(Other, 40, 40, nullptr);
    }
};

// Whether any pixel of R differs between two pictures.
bool Differs(TBitmap* A, TBitmap* B, const TRect& R)
{
    for (int y = R.top; y < R.bottom; ++y)
        for (int x = R.left; x < R.right; ++x)
            if (A->Canvas()->Pixels(x, y) != B->Canvas()->Pixels(x, y))
                return true;
    return false;
}

} // namespace

// Building a popup's background asks the application about the extra line
// once; a background built from inside that question does not ask again.
TEST_F(MenuSkinning, TheExtraLineQueryIsNotReentered)
{
    ClearCache();
    auto* other = New<TPopupMenu>(Form);
    auto* item = New<TMenuItem>(Form);
    item->SetCaption(L"Other");
    other->Items()->Add(item);
    TNestingHandler handler{Menus, item};
    Manager->OnGetMenuExtraLineData = Bind(&handler, &TNestingHandler::ExtraLine);
    const TkvMenuInfo mi = Menus->GetMenuInfo(Item(0), 100, 80, nullptr);
    EXPECT_EQ(handler.Asked, 1);
    EXPECT_TRUE(mi.HaveExtraLine);
    EXPECT_FALSE(InExtraLineQuery);
    ASSERT_EQ(MenuInfoArray.size(), 2u);
    EXPECT_FALSE(Menus->GetMenuInfo(item, 0, 0, nullptr).HaveExtraLine) << "built inside the question";
    Manager->OnGetMenuExtraLineData = nullptr;
    ClearCache();
}

// Popup items drawn from the skin: the selected item on the hot "MENUITEM",
// a disabled one faded toward the background, a checked radio item with the
// skin's mark; a right-to-left menu mirrors the system menu's glyph column.
TEST_F(MenuSkinning, PopupItemsAreDrawnFromTheSkin)
{
    ClearCache();
    TBitmap canvas(200, 200, pf24bit);
    TCanvas* c = canvas.Canvas();
    int w = 0, h = 0;
    Menus->sMeasureItem(Item(0), c, w, h);
    const TRect r(0, 0, 140, h);
    auto draw = [&](TMenuItem* item, TOwnerDrawState state) {
        TBitmap* b = new TBitmap(200, 200, pf24bit);
        Menus->sAdvancedDrawItem(item, b->Canvas(), r, state);
        return std::unique_ptr<TBitmap>(b);
    };
    auto normal = draw(Item(0), {});
    auto hot = draw(Item(0), {odSelected});
    EXPECT_TRUE(Differs(normal.get(), hot.get(), TRect(r.right - 20, 1, r.right - 2, h - 1))) << "hot ground";
    Item(0)->SetEnabled(false);
    auto disabled = draw(Item(0), {});
    EXPECT_TRUE(Differs(normal.get(), disabled.get(), TRect(30, 0, 100, h))) << "faded caption";
    Item(0)->SetEnabled(true);
    Item(0)->SetRadioItem(true);
    auto checked = draw(Item(0), {odChecked});
    EXPECT_TRUE(Differs(normal.get(), checked.get(), TRect(0, 0, 2 + 16, h))) << "the check mark in the glyph column";
    EXPECT_FALSE(Differs(normal.get(), checked.get(), TRect(r.right - 30, 0, r.right, h)));

    // The system menu's glyphs: left of the caption, or right of it right to left.
    auto* sysMenu = New<TPopupMenu>(Form);
    sysMenu->SetName(L"SysMenu");
    auto* close = New<TMenuItem>(Form);
    close->SetCaption(L"Close");
    close->SetTag(SC_CLOSE);
    sysMenu->Items()->Add(close);
    // Each drawn with and without a glyph (tag 0): only the glyph differs.
    auto withAndWithout = [&](bool RightToLeft) {
        const bool middleEast = std::exchange(SysLocale.MiddleEast, RightToLeft);
        Form->SetBiDiMode(RightToLeft ? bdRightToLeft : bdLeftToRight);
        close->SetTag(SC_CLOSE);
        ClearCache();
        auto glyph = draw(close, {});
        close->SetTag(0);
        ClearCache();
        auto none = draw(close, {});
        Form->SetBiDiMode(bdLeftToRight);
        SysLocale.MiddleEast = middleEast;
        return std::pair(std::move(glyph), std::move(none));
    };
    const TRect leftHalf(0, 0, r.right / 2, h), rightHalf(r.right / 2, 0, r.right, h);
    const auto ltr = withAndWithout(false);
    EXPECT_TRUE(Differs(ltr.first.get(), ltr.second.get(), leftHalf));
    EXPECT_FALSE(Differs(ltr.first.get(), ltr.second.get(), rightHalf));
    const auto rtl = withAndWithout(true);
    EXPECT_FALSE(Differs(rtl.first.get(), rtl.second.get(), leftHalf));
    EXPECT_TRUE(Differs(rtl.first.get(), rtl.second.get(), rightHalf));
    ClearCache();
}

// A checked item's glyph stands on a pressed small speed button; a 32-bit
// item bitmap is laid over the item by its alpha; a checked radio item of a
// skin without a radio mark shows the box mark.
TEST_F(MenuSkinning, CheckedGlyphsAndAlphaBitmapsAndTheRadioFallback)
{
    ClearCache();
    TBitmap canvas(200, 200, pf24bit);
    int w = 0, h = 0;
    Menus->sMeasureItem(Item(0), canvas.Canvas(), w, h);
    const TRect r(0, 0, 140, h);
    auto draw = [&](TMenuItem* item, TOwnerDrawState state) {
        auto b = std::make_unique<TBitmap>(200, 200, pf24bit);
        Menus->sAdvancedDrawItem(item, b->Canvas(), r, state);
        return b;
    };
    auto plain = draw(Item(0), {});

    // 12 x 12, see-through but for an opaque red square in its middle.
    TBitmap* glyph = Item(0)->Bitmap();
    glyph->SetPixelFormat(pf32bit);
    glyph->SetSize(12, 12);
    for (int y = 0; y < 12; ++y) {
        auto* row = static_cast<RGBQUAD*>(glyph->ScanLine(y));
        for (int x = 0; x < 12; ++x)
            row[x] = (x >= 4 && x < 8 && y >= 4 && y < 8) ? RGBQUAD{0, 0, 255, 255} : RGBQUAD{0, 0, 0, 0};
    }
    ASSERT_TRUE(Item(0)->HasBitmap());
    const int top = (h - 12) / 2;
    auto unchecked = draw(Item(0), {});
    // Red, to the rounding of the blend.
    auto red = [](TColor c) { return GetRValue(c) >= 250 && GetGValue(c) <= 5 && GetBValue(c) <= 5; };
    EXPECT_TRUE(red(unchecked->Canvas()->Pixels(top + 5, top + 5)));
    EXPECT_EQ(unchecked->Canvas()->Pixels(top + 1, top + 1), plain->Canvas()->Pixels(top + 1, top + 1))
        << "the item shows through the see-through part";
    auto checked = draw(Item(0), {odChecked});
    EXPECT_TRUE(Differs(unchecked.get(), checked.get(), TRect(top - 1, top - 1, top + 13, top + 13)))
        << "the pressed frame behind the glyph";
    EXPECT_TRUE(red(checked->Canvas()->Pixels(top + 5, top + 5))) << "the glyph over the frame";
    glyph->SetSize(0, 0);

    // The radio mark taken out of the skin: the box mark stands in.
    const int radio = Manager->GetMaskIndex(Manager->GetSkinIndex(L"GLOBALINFO"), L"GLOBALINFO", L"RADIOCHECKED");
    ASSERT_GE(radio, 0);
    Manager->ma[size_t(radio)].PropertyName = L"GONE";
    Item(3)->SetRadioItem(true);
    ClearCache();
    auto radioPlain = draw(Item(3), {});
    auto radioChecked = draw(Item(3), {odChecked});
    EXPECT_TRUE(Differs(radioPlain.get(), radioChecked.get(), TRect(0, 0, 2 + 16, h))) << "a mark is drawn";
    Manager->ma[size_t(radio)].PropertyName = L"RADIOCHECKED";
    ClearCache();
}
