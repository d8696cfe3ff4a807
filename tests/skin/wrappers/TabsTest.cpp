// Tab strips painted from the skin: the geometry of tabs, page area and
// strip; standard tab controls under their wrapper with tabs on each side,
// in several rows, selected and hot; page controls and their pages; the
// skinned tab control; checked by pixels against the built-in skin's tab
// and page sections.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include "StdWrapFixture.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/sVclUtils.h"
#include "skin/wrappers/kvSBUtils_Statics.h"
#include "skin/wrappers/kvSBUtils_Tabs.h"
#include "skin/wrappers/sTabControl.h"
#include "support/ResourceCount.h"

using namespace stdwraptest;

// ---------------------------------------------------------------------------
// Geometry.

namespace {

// Three tabs 40 x 20 along the top of a 200 x 100 control whose display
// area starts 24 pixels down (before the 2 added to its top).
TkvTabLayout TopLayout()
{
    TkvTabLayout l;
    l.Size = TSize(200, 100);
    l.Tabs = {TRect(2, 2, 42, 22), TRect(42, 2, 82, 22), TRect(82, 2, 122, 22)};
    l.Active = 1;
    l.Client = TRect(4, 26, 196, 96); // adjusted, top + 2
    return l;
}

} // namespace

TEST(TabGeometry, PageStripAndSkinRectanglesBySide)
{
    struct TCase {
        TTabPosition Position;
        TRect Client, Page, Strip;
    } cases[] = {
        {tpTop, TRect(4, 26, 196, 96), TRect(0, 22, 200, 100), TRect(0, 0, 200, 22)},
        {tpBottom, TRect(4, 4, 196, 74), TRect(0, 0, 200, 75), TRect(0, 75, 200, 100)},
        {tpLeft, TRect(26, 4, 196, 96), TRect(25, 0, 200, 100), TRect(0, 0, 25, 100)},
        {tpRight, TRect(4, 4, 174, 96), TRect(0, 0, 175, 100), TRect(175, 0, 200, 100)},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(int(c.Position));
        TkvTabLayout l = TopLayout();
        l.Position = c.Position;
        l.Client = c.Client;
        EXPECT_EQ(l.PageRect(), c.Page);
        EXPECT_EQ(l.TabsRect(), c.Strip);
    }
    // Without tabs the page is the whole control.
    TkvTabLayout none = TopLayout();
    none.Tabs.clear();
    EXPECT_EQ(none.PageRect(), TRect(0, 0, 200, 100));

    // Skin rectangles of tab 1 (40 x 20 at 42, 2): the active one 2 pixels
    // larger on each side and over the page's edge, an inactive one shorter.
    const struct {
        TTabPosition Position;
        TRect Active, Inactive;
    } skin[] = {
        {tpTop, TRect(40, 0, 84, 24), TRect(42, 2, 81, 26)},
        {tpBottom, TRect(40, -1, 84, 23), TRect(42, 0, 81, 22)},
        {tpLeft, TRect(41, 0, 85, 23), TRect(42, 1, 85, 22)},
        {tpRight, TRect(39, 0, 83, 24), TRect(40, 1, 81, 22)},
    };
    for (const auto& c : skin) {
        SCOPED_TRACE(int(c.Position));
        TkvTabLayout l = TopLayout();
        l.Position = c.Position;
        EXPECT_EQ(l.SkinTabRect(1, true), c.Active);
        EXPECT_EQ(l.SkinTabRect(1, false), c.Inactive);
    }
    TkvTabLayout l = TopLayout();
    EXPECT_EQ(l.SkinTabRect(3, false), TRect());
    EXPECT_EQ(l.SkinTabRect(-1, false), TRect());
    l.Style = tsButtons;
    EXPECT_EQ(l.SkinTabRect(1, true), TRect(42, 2, 82, 22)) << "buttons keep their rectangles";
    l.Style = tsTabs;
    l.Active = -1;
    l.EmptyWithoutActive = true;
    EXPECT_EQ(l.SkinTabRect(1, false), TRect()) << "the wrapper, while no tab is selected";
}

TEST(TabGeometry, RowOneIsTheRowFarthestFromThePage)
{
    TkvTabLayout l = TopLayout();
    l.Rows = 2;
    l.Tabs = {TRect(2, 2, 42, 22), TRect(42, 2, 82, 22), TRect(2, 22, 62, 42), TRect(62, 22, 122, 42)};
    l.Client = TRect(4, 46, 196, 96);
    EXPECT_EQ(l.TabRow(0), 1);
    EXPECT_EQ(l.TabRow(3), 2);
    l.Position = tpBottom;
    l.Tabs = {TRect(2, 78, 42, 98), TRect(2, 58, 42, 78)};
    l.Client = TRect(4, 4, 196, 54); // strip from 55
    EXPECT_EQ(l.TabRow(0), 1);
    EXPECT_EQ(l.TabRow(1), 2);
    l.Rows = 1;
    EXPECT_EQ(l.TabRow(1), 1);
}

// ---------------------------------------------------------------------------
// Wrapped standard tab controls.

namespace {

HWND TabWindow(HWND Host, DWORD Style, int Width, int Height, std::initializer_list<const wchar_t*> Tabs)
{
    HWND h = ::CreateWindowExW(0, WC_TABCONTROLW, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | Style, 10, 10, Width,
                               Height, Host, nullptr, nullptr, nullptr);
    ::SendMessageW(h, WM_SETFONT, WPARAM(::GetStockObject(DEFAULT_GUI_FONT)), 0);
    int i = 0;
    for (const wchar_t* t : Tabs) {
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = const_cast<wchar_t*>(t);
        ::SendMessageW(h, TCM_INSERTITEMW, WPARAM(i++), reinterpret_cast<LPARAM>(&item));
    }
    return h;
}

// The section Name painted in State over Back, the size of R.
TOwned<TBitmap> SectionOver(TsSkinManager* Manager, const wchar_t* Name, int State, const TRect& R, TColor Back)
{
    TOwned<TBitmap> b(New<TBitmap>(R.Width(), R.Height(), pf24bit));
    TsCommonData data(nullptr, true);
    data.SetSkinManager(Manager);
    data.SetSkinSection(Name);
    TCacheInfo ci;
    ci.FillColor = Back;
    FillDC(b->Canvas()->Handle(), TRect(0, 0, R.Width(), R.Height()), Back);
    PaintItem(&data, ci, true, State, TRect(0, 0, R.Width(), R.Height()), TPoint(0, 0), b.get(), true);
    return b;
}

// Pixels of row Y of R (in Got) that differ from row Y - R.top of Want,
// those inside Covered (a tab drawn over it) aside.
int RowDiff(TBitmap* Got, const TRect& R, int Y, TBitmap* Want, const TRect& Covered = TRect())
{
    int n = 0;
    for (int x = R.left; x < R.right; ++x)
        if (!::PtInRect(&Covered, TPoint(x, Y)))
            n += Px(Got, x, Y) != Px(Want, x - R.left, Y - R.top);
    return n;
}

// The wrapper's layout, as it paints.
TkvTabLayout LayoutOf(TkvTabControlWnd* W)
{
    return W->Layout();
}

} // namespace

TEST_F(WrapperTest, TabControlTopTabsPageAndSelectedTab)
{
    HWND h = TabWindow(Host(), 0, 240, 120, {L"First", L"Second", L"Third"});
    ::SendMessageW(h, TCM_SETCURSEL, 1, 0);
    TOwned<TkvTabControlWnd> w(CreateWnd<TkvTabControlWnd>(h, nullptr, Manager, L"", false));
    EXPECT_EQ(w->SkinData->SkinSection(), L"PAGECONTROL");
    TOwned<TBitmap> got = Printed(h);
    SaveArtifact(got.get(), "tabs-top.png");
    const TkvTabLayout l = LayoutOf(w.get());
    ASSERT_EQ(l.Count(), 3);
    EXPECT_EQ(w->TabSkin(l).Section, L"TABTOP");
    EXPECT_EQ(w->PageSection(l), L"PAGECONTROL");
    const TColor back = FormBack(Manager);

    // The page area: its section, below the tabs.
    const TRect page = l.PageRect();
    TOwned<TBitmap> pageLook = SectionOver(Manager, L"PAGECONTROL", 0, page, back);
    const int y = page.bottom - 10;
    EXPECT_EQ(RowDiff(got.get(), page, y, pageLook.get()), 0);
    // Inactive tabs in the normal state, the selected one pressed, each
    // over the strip: compared along their top rows, above the captions.
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        const bool active = i == 1;
        const TRect r = l.SkinTabRect(i, active);
        TOwned<TBitmap> want = SectionOver(Manager, L"TABTOP", active ? 2 : 0, r, back);
        const TRect over = active ? TRect() : l.SkinTabRect(1, true);
        for (int row = r.top; row < r.top + 3; ++row)
            EXPECT_EQ(RowDiff(got.get(), r, row, want.get(), over), 0) << row;
    }
    // The selected tab stands 2 pixels above the others.
    EXPECT_EQ(l.SkinTabRect(1, true).top, l.Tabs[1].top - 2);
    // Every tab's caption is written in it.
    for (int i = 0; i < 3; ++i) {
        const TRect r = l.SkinTabRect(i, i == 1);
        TOwned<TBitmap> want = SectionOver(Manager, L"TABTOP", i == 1 ? 2 : 0, r, back);
        int text = 0;
        for (int yy = r.top + 4; yy < r.bottom - 4; ++yy)
            text += RowDiff(got.get(), TRect(r.left + 4, r.top, r.right - 4, r.bottom), yy, want.get());
        EXPECT_GT(text, 0) << "caption of tab " << i;
    }
    w.reset();
    ::DestroyWindow(h);
}

TEST_F(WrapperTest, TabControlSectionsFollowTheTabSide)
{
    const struct {
        DWORD Style;
        const wchar_t* Tab;
        const wchar_t* Page;
        bool Tall; // rotated captions
    } cases[] = {
        {TCS_BOTTOM, L"TABBOTTOM", L"PAGECONTROLBOTTOM", false},
        {TCS_VERTICAL | TCS_MULTILINE, L"TABLEFT", L"PAGECONTROLLEFT", true},
        {TCS_VERTICAL | TCS_RIGHT | TCS_MULTILINE, L"TABRIGHT", L"PAGECONTROLRIGHT", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.Tab, c.Tab + wcslen(c.Tab)));
        HWND h = TabWindow(Host(), c.Style, 200, 160, {L"Alpha", L"Beta"});
        ::SendMessageW(h, TCM_SETCURSEL, 0, 0);
        TOwned<TkvTabControlWnd> w(CreateWnd<TkvTabControlWnd>(h, nullptr, Manager, L"", false));
        TOwned<TBitmap> got = Printed(h);
        SaveArtifact(got.get(), "tabs-" + std::string(c.Tab, c.Tab + wcslen(c.Tab)) + ".png");
        const TkvTabLayout l = LayoutOf(w.get());
        EXPECT_EQ(w->TabSkin(l).Section, c.Tab);
        EXPECT_EQ(w->PageSection(l), c.Page);
        if (c.Tall) {
            // The inactive tab's caption runs along the tab.
            const TRect r = l.SkinTabRect(1, false);
            TOwned<TBitmap> want = SectionOver(Manager, c.Tab, 0, r, FormBack(Manager));
            TRect box(r.right, r.bottom, r.left, r.top);
            for (int y = r.top + 3; y < r.bottom - 3; ++y)
                for (int x = r.left + 3; x < r.right - 3; ++x)
                    if (Px(got.get(), x, y) != Px(want.get(), x - r.left, y - r.top)) {
                        box.left = std::min<LONG>(box.left, x);
                        box.right = std::max<LONG>(box.right, x + 1);
                        box.top = std::min<LONG>(box.top, y);
                        box.bottom = std::max<LONG>(box.bottom, y + 1);
                    }
            ASSERT_LT(box.left, box.right) << "a caption";
            EXPECT_GT(box.Height(), box.Width()) << "rotated";
        }
        w.reset();
        ::DestroyWindow(h);
    }
}

TEST_F(WrapperTest, TabControlRowsFarthestFirstAndTheSelectedTabOverThem)
{
    HWND h = TabWindow(Host(), TCS_MULTILINE, 150, 140,
                       {L"One", L"Two", L"Three", L"Four", L"Five", L"Six", L"Seven"});
    TOwned<TkvTabControlWnd> w(CreateWnd<TkvTabControlWnd>(h, nullptr, Manager, L"", false));
    TkvTabLayout l = LayoutOf(w.get());
    ASSERT_GE(l.Rows, 2);
    // Select a tab of the row nearest the page.
    int nearest = -1;
    for (int i = 0; i < l.Count(); ++i)
        if (l.TabRow(i) == l.Rows)
            nearest = i;
    ASSERT_GE(nearest, 0);
    ::SendMessageW(h, TCM_SETCURSEL, WPARAM(nearest), 0);
    l = LayoutOf(w.get());
    TOwned<TBitmap> got = Printed(h);
    SaveArtifact(got.get(), "tabs-rows.png");
    const TRect r = l.SkinTabRect(l.Active, true);
    TOwned<TBitmap> want = SectionOver(Manager, L"TABTOP", 2, r, FormBack(Manager));
    EXPECT_EQ(RowDiff(got.get(), r, r.top + 1, want.get()), 0) << "drawn last, over its neighbours";
    // A tab of a nearer row lies over the foot of the farther row's tabs
    // (each reaches a few pixels below its own rectangle): the middle of its
    // top line is its own picture.
    int checked = 0;
    for (int i = 0; i < l.Count(); ++i) {
        if (i == l.Active || l.TabRow(i) < 2)
            continue;
        const TRect t = l.SkinTabRect(i, false);
        TOwned<TBitmap> tab = SectionOver(Manager, L"TABTOP", 0, t, FormBack(Manager));
        const int third = t.Width() / 3;
        const TRect middle(t.left + third, t.top, t.right - third, t.top + 2);
        int differ = 0;
        for (int x = middle.left; x < middle.right; ++x)
            differ += Px(got.get(), x, t.top + 1) != Px(tab.get(), x - t.left, 1);
        EXPECT_EQ(differ, 0) << "tab " << i << " of row " << l.TabRow(i);
        ++checked;
    }
    EXPECT_GT(checked, 0);
    w.reset();
    ::DestroyWindow(h);
}

// A skin whose first section is the top tabs' still paints tabs.
TEST_F(WrapperTest, TabControlTabsOfASkinWhoseFirstSectionIsTheTopTab)
{
    const int tabTop = Manager->GetSkinIndex(L"TABTOP");
    ASSERT_GT(tabTop, 0);
    std::swap(Manager->gd[0], Manager->gd[size_t(tabTop)]);
    Manager->InitConstantIndexes();
    ASSERT_EQ(Manager->ConstData.IndexTabTop, 0);
    HWND h = TabWindow(Host(), 0, 200, 100, {L"A", L"B"});
    ::SendMessageW(h, TCM_SETCURSEL, 0, 0);
    TOwned<TkvTabControlWnd> w(CreateWnd<TkvTabControlWnd>(h, nullptr, Manager, L"", false));
    TOwned<TBitmap> got = Printed(h);
    const TkvTabLayout l = LayoutOf(w.get());
    const TRect r = l.SkinTabRect(1, false);
    TOwned<TBitmap> want = SectionOver(Manager, L"TABTOP", 0, r, FormBack(Manager));
    EXPECT_EQ(RowDiff(got.get(), r, r.top + 1, want.get(), l.SkinTabRect(0, true)), 0);
    EXPECT_GT(CountColor(got.get(), TRect(r.left, r.top, r.right, r.top + 2), FormBack(Manager)), 0)
        << "the tab's rounded corners show the strip";
    w.reset();
    ::DestroyWindow(h);
}

TEST_F(WrapperTest, TabControlArrowsGetTheirOwnWrapper)
{
    HWND h = TabWindow(Host(), 0, 90, 80, {L"January", L"February", L"March", L"April"});
    TOwned<TkvTabControlWnd> w(CreateWnd<TkvTabControlWnd>(h, nullptr, Manager, L"", false));
    Printed(h);
    ASSERT_NE(::FindWindowExW(h, nullptr, UPDOWN_CLASSW, nullptr), nullptr);
    ASSERT_NE(w->BtnSW, nullptr);
    EXPECT_EQ(w->BtnSW->CtrlHandle, ::FindWindowExW(h, nullptr, UPDOWN_CLASSW, nullptr));
    EXPECT_EQ(w->BtnSW->SkinData->SkinSection(), L"UPDOWNBTN");
    // Room for every tab: the arrows go, and their wrapper with them.
    ::SetWindowPos(h, nullptr, 0, 0, 500, 80, SWP_NOMOVE | SWP_NOZORDER);
    Printed(h);
    EXPECT_EQ(w->BtnSW, nullptr);
    w.reset();
    ::DestroyWindow(h);
}

TEST(TabFont, RotatedCaptionsKeepTheirWeightAndAvoidBitmapFonts)
{
    TOwned<TBitmap> b(New<TBitmap>(10, 10, pf24bit));
    TCanvas* c = b->Canvas();
    c->Font()->SetName(L"MS Sans Serif");
    c->Font()->SetStyle(TFontStyles{fsBold});
    {
        TkvRotatedFont rotated(c, -2700, clRed);
        LOGFONTW lf{};
        ::GetObjectW(c->Font()->Handle(), sizeof(lf), &lf);
        EXPECT_EQ(lf.lfEscapement, -2700);
        EXPECT_EQ(lf.lfWeight, FW_BOLD);
        EXPECT_STREQ(lf.lfFaceName, L"Arial");
        EXPECT_EQ(c->Font()->Color(), clRed);
    }
    EXPECT_EQ(c->Font()->Name(), L"MS Sans Serif");
    EXPECT_TRUE(c->Font()->Style().Contains(fsBold));
}

// ---------------------------------------------------------------------------
// Page controls.

namespace {

TPageControl* NewPages(TForm* Form, int Pages)
{
    auto* pc = New<TPageControl>(Form);
    pc->SetParent(Form);
    pc->SetBounds(10, 10, 240, 150);
    for (int i = 0; i < Pages; ++i) {
        auto* sheet = New<TTabSheet>(pc);
        sheet->SetPageControl(pc);
        sheet->SetCaption(L"Page");
    }
    pc->HandleNeeded();
    pc->SetActivePageIndex(0);
    for (int i = 0; i < Pages; ++i)
        pc->Pages(i)->HandleNeeded();
    return pc;
}

int LivePageWrappers()
{
    int n = 0;
    for (TkvPageWnd* p : PageWrappers())
        n += !p->Destroyed;
    return n;
}

} // namespace

TEST_F(WrapperTest, PageControlPagesShowWhatTheirTabControlShows)
{
    TPageControl* pc = NewPages(Form.get(), 2);
    TsCommonData data(pc, true);
    TOwned<TkvPageControlWnd> w(CreateWnd<TkvPageControlWnd>(pc->Handle(), &data, Manager, L"", false));
    TTabSheet* page = pc->ActivePage();
    ASSERT_NE(page, nullptr);
    TkvMainWnd* pw = Kv_GetScrollWndFromHwnd(page->Handle());
    ASSERT_NE(dynamic_cast<TkvPageWnd*>(pw), nullptr);
    EXPECT_EQ(pw->SkinData->SkinSection(), L"CHECKBOX");

    Printed(pc->Handle());
    // The page hands the question to its tab control and adds its own place.
    TkvBGInfo own{}, asked{};
    ::SendMessageW(pc->Handle(), SM_KORVEXCMD, MakeKorvexWParam(SMC_GET_BG_INFO), reinterpret_cast<LPARAM>(&own));
    ::SendMessageW(page->Handle(), SM_KORVEXCMD, MakeKorvexWParam(SMC_GET_BG_INFO), reinterpret_cast<LPARAM>(&asked));
    EXPECT_EQ(asked.Offset.x, own.Offset.x + page->Left());
    EXPECT_EQ(asked.Offset.y, own.Offset.y + page->Top());
    EXPECT_EQ(asked.Color, own.Color);

    // The page's erase: the tab control's colour, and the page frame's band
    // along the tabs from the tab control's picture.
    TOwned<TBitmap> got = Printed(page->Handle());
    const TColor colour = ColorToRGB(own.Color);
    EXPECT_EQ(Px(got.get(), page->Width() / 2, page->Height() / 2), colour);
    w.reset();
}

// Page controls made and freed over and over: the wrappers of their gone
// pages go too.
TEST_F(WrapperTest, PageControlsRecreatedKeepNoGoneWrappers)
{
    const size_t start = PageWrappers().size();
    for (int i = 0; i < 200; ++i) {
        TPageControl* pc = NewPages(Form.get(), 2);
        TsCommonData data(pc, true);
        TOwned<TkvPageControlWnd> w(CreateWnd<TkvPageControlWnd>(pc->Handle(), &data, Manager, L"", false));
        EXPECT_EQ(LivePageWrappers(), 2);
        w.reset();
        delete pc;
    }
    EXPECT_LE(PageWrappers().size(), start + 2);
}

// ---------------------------------------------------------------------------
// The skinned tab control.

namespace {

TsTabControl* NewTabs(TForm* Form, std::initializer_list<const wchar_t*> Tabs)
{
    auto* tc = New<TsTabControl>(Form);
    tc->SetParent(Form);
    tc->SetBounds(10, 10, 240, 120);
    for (const wchar_t* t : Tabs)
        tc->Tabs()->Add(t);
    tc->HandleNeeded();
    tc->SetTabIndex(0);
    return tc;
}

// The control printed through WM_PRINT.
TOwned<TBitmap> PrintTabs(TsTabControl* Tabs)
{
    return Printed(Tabs->Handle());
}

} // namespace

TEST_F(WrapperTest, SkinnedTabControlPaintsLikeTheWrapper)
{
    TsTabControl* tc = NewTabs(Form.get(), {L"First", L"Second"});
    ASSERT_TRUE(tc->SkinData()->Skinned());
    TOwned<TBitmap> got = PrintTabs(tc);
    SaveArtifact(got.get(), "tabs-skinned.png");
    const TkvTabLayout l = tc->Layout();
    const TRect active = l.SkinTabRect(0, true), other = l.SkinTabRect(1, false);
    const TColor back = FormBack(Manager);
    EXPECT_EQ(RowDiff(got.get(), active, active.top + 1, SectionOver(Manager, L"TABTOP", 2, active, back).get()), 0);
    EXPECT_EQ(RowDiff(got.get(), other, other.top + 1, SectionOver(Manager, L"TABTOP", 0, other, back).get(), active),
              0);
}

// Hot tracking finds the tab from the mouse message alone: nothing else is
// handled meanwhile.
TEST_F(WrapperTest, SkinnedTabControlHotTrackingHandlesNoOtherMessage)
{
    TsTabControl* tc = NewTabs(Form.get(), {L"First", L"Second", L"Third"});
    tc->SetHotTrack(true);
    const TkvTabLayout l = tc->Layout();
    const TRect second = l.Tabs[1];
    const UINT probe = WM_APP + 77;
    ::PostMessageW(Form->Handle(), probe, 0, 0);
    ::SendMessageW(tc->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(second.left + 5, second.top + 5));
    EXPECT_EQ(tc->CurItem, 1);
    MSG m;
    EXPECT_TRUE(::PeekMessageW(&m, Form->Handle(), probe, probe, PM_REMOVE)) << "still waiting in the queue";

    // The selected tab is never hot; leaving the tabs ends the hot one.
    ::SendMessageW(tc->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(l.Tabs[0].left + 5, l.Tabs[0].top + 5));
    EXPECT_EQ(tc->CurItem, -1);
    ::SendMessageW(tc->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(second.left + 5, second.top + 5));
    ::SendMessageW(tc->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(100, 100));
    EXPECT_EQ(tc->CurItem, -1);

    // The hot look, drawn into a given context.
    const TRect r = l.SkinTabRect(1, false);
    TOwned<TBitmap> b = PrintTabs(tc);
    tc->RepaintTab(1, 1, b->Canvas()->Handle());
    EXPECT_EQ(RowDiff(b.get(), r, r.top + 1, SectionOver(Manager, L"TABTOP", 1, r, FormBack(Manager)).get()), 0);
}

TEST_F(WrapperTest, SkinnedTabControlOwnerDrawnTabs)
{
    TsTabControl* tc = NewTabs(Form.get(), {L"First", L"Second"});
    struct THandler {
        std::vector<std::pair<int, TRect>> Calls;
        void Draw(TCustomTabControl*, int Index, const TRect& R, bool) { Calls.push_back({Index, R}); }
    } handler;
    tc->SetOwnerDraw(true);
    tc->OnDrawTab = Bind(&handler, &THandler::Draw);
    TOwned<TBitmap> got = PrintTabs(tc);
    const TkvTabLayout l = tc->Layout();
    ASSERT_FALSE(handler.Calls.empty());
    bool sawInactive = false;
    for (const auto& c : handler.Calls)
        if (c.first == 1) {
            TRect want = l.SkinTabRect(1, false);
            ::InflateRect(&want, -3, -3);
            EXPECT_EQ(c.second, want);
            sawInactive = true;
        }
    EXPECT_TRUE(sawInactive);
    // No caption of its own.
    const TRect r = l.SkinTabRect(1, false);
    TOwned<TBitmap> want = SectionOver(Manager, L"TABTOP", 0, r, FormBack(Manager));
    EXPECT_EQ(RowDiff(got.get(), r, (r.top + l.PageRect().top) / 2, want.get(), l.SkinTabRect(0, true)), 0);
}

TEST_F(WrapperTest, TabsLeakNothing)
{
    auto cycle = [&] {
        TsTabControl* tc = NewTabs(Form.get(), {L"First", L"Second"});
        PrintTabs(tc);
        delete tc;
        HWND h = TabWindow(Host(), 0, 90, 80, {L"January", L"February", L"March"});
        TOwned<TkvTabControlWnd> w(CreateWnd<TkvTabControlWnd>(h, nullptr, Manager, L"", false));
        Printed(h);
        w.reset();
        ::DestroyWindow(h);
        TPageControl* pc = NewPages(Form.get(), 2);
        TsCommonData data(pc, true);
        TOwned<TkvPageControlWnd> pw(CreateWnd<TkvPageControlWnd>(pc->Handle(), &data, Manager, L"", false));
        Printed(pc->Handle());
        pw.reset();
        delete pc;
        SweepPageWrappers();
    };
    cycle();
    const TResourceCount before = CountResources();
    for (int i = 0; i < 4; ++i)
        cycle();
    EXPECT_TRUE(NoResourceGrowth(before, CountResources()));
}
