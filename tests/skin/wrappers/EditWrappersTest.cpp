// Edits, list boxes, tree views and grids under their wrappers: the skin's
// colours given to the control and its own given back, the frame painted
// from the section, the list box's top index, the tree's background, a
// grid's colour properties found by name and a data-aware grid's thumb drop.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include "ScrollFixture.h"
#include "StdWrapFixture.h"
#include "classlib/controls/ComCtrls.h"
#include "classlib/controls/StdCtrls.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSkinManager.h"
#include "skin/wrappers/kvSBUtils_Edits.h"

using namespace stdwraptest;

// An edit that publishes a focus colour of its own.
class TFocusEdit : public TEdit {
    KV_CLASS(TFocusEdit)
    KV_PUBLISHED
public:
    explicit TFocusEdit(TComponent* AOwner) : TEdit(AOwner) {}
    int FocusColor = 0x00FF00;
};
KV_BEGIN_PUBLISHED(TFocusEdit, TEdit)
    B.Int(L"FocusColor", &C::FocusColor, &C::FocusColor, 0, L"TColor");
KV_END_PUBLISHED

// The look object of a grid of another component family.
class TTestLook : public TPersistent {
    KV_CLASS(TTestLook)
    KV_PUBLISHED
public:
    int GridLineColor = 0x111111;
    int FixedGradientTo = int(clNone);
};
KV_BEGIN_PUBLISHED(TTestLook, TPersistent)
    B.Int(L"GridLineColor", &C::GridLineColor, &C::GridLineColor, 0, L"TColor");
    B.Int(L"FixedGradientTo", &C::FixedGradientTo, &C::FixedGradientTo, 0, L"TColor");
KV_END_PUBLISHED

// A data-aware grid as the wrapper sees one: some colour properties, a
// title font, a look object and a data source, and a vertical bar.
class TTestGrid : public TCustomControl {
    KV_CLASS(TTestGrid)
    KV_PUBLISHED
public:
    explicit TTestGrid(TComponent* AOwner) : TCustomControl(AOwner) { FTitle.SetColor(0x222222); }
    int FixedColor = int(clBtnFace);
    int SelectionColor = 0x333333;
    int DataSource = 0;
    TFont* TitleFont() const { return const_cast<TFont*>(&FTitle); }
    TTestLook* ControlLook() const { return const_cast<TTestLook*>(&FLook); }

protected:
    void CreateParams(TCreateParams& Params) override
    {
        TCustomControl::CreateParams(Params);
        Params.Style |= WS_VSCROLL;
    }

private:
    TFont FTitle;
    TTestLook FLook;
};
KV_BEGIN_PUBLISHED(TTestGrid, TCustomControl)
    B.Int(L"FixedColor", &C::FixedColor, &C::FixedColor, 0, L"TColor");
    B.Int(L"SelectionColor", &C::SelectionColor, &C::SelectionColor, 0, L"TColor");
    B.Int(L"DataSource", &C::DataSource, &C::DataSource, 0);
    B.Object(L"TitleFont", &C::TitleFont);
    B.Object(L"ControlLook", &C::ControlLook);
KV_END_PUBLISHED

// ---------------------------------------------------------------------------
// Edits and list boxes.

TEST_F(WrapperTest, EditTakesTheSkinsColoursAndGetsItsOwnBack)
{
    TEdit* edit = New<TEdit>(Form.get());
    edit->SetParent(Form.get());
    edit->SetBounds(10, 10, 120, 24);
    edit->SetColor(0x00AA00);
    edit->Font()->SetColor(0x0000AA);
    TsCommonData data(edit, true);
    auto* w = CreateWnd<TkvEditWnd>(edit->Handle(), &data, Manager, L"COMBOBOX", false);
    EXPECT_EQ(data.SkinSection(), UnicodeString(L"COMBOBOX"));
    Printed(edit->Handle()); // the first paint gives the skin's colours
    EXPECT_TRUE(w->ParamsChanged);
    const TsGeneralData& g = Manager->gd[std::size_t(data.SkinIndex)];
    EXPECT_EQ(edit->Color(), GetBGColor(&data, 0));
    EXPECT_EQ(edit->Font()->Color(), g.HotFontColor[1]);
    UninitializeKVWnd(edit->Handle(), true, false, w);
    EXPECT_EQ(edit->Color(), TColor(0x00AA00));
    EXPECT_EQ(edit->Font()->Color(), TColor(0x0000AA));

    // Own colours kept: custom colour and custom font.
    data.FCustomColor = true;
    data.FCustomFont = true;
    w = CreateWnd<TkvEditWnd>(edit->Handle(), &data, Manager, L"COMBOBOX", false);
    Printed(edit->Handle());
    EXPECT_EQ(edit->Color(), TColor(0x00AA00));
    EXPECT_EQ(edit->Font()->Color(), TColor(0x0000AA));
    UninitializeKVWnd(edit->Handle(), true, false, w);
}

TEST_F(WrapperTest, EditWithAFocusColourGetsBothAndBothBack)
{
    auto* edit = New<TFocusEdit>(Form.get());
    edit->SetParent(Form.get());
    edit->SetColor(0x00AA00);
    TsCommonData data(edit, true);
    auto* w = CreateWnd<TkvEditWnd>(edit->Handle(), &data, Manager, L"COMBOBOX", false);
    Printed(edit->Handle());
    const TColor skin = GetBGColor(&data, 0);
    EXPECT_EQ(edit->Color(), skin);
    EXPECT_EQ(TColor(edit->FocusColor), skin);
    UninitializeKVWnd(edit->Handle(), true, false, w);
    EXPECT_EQ(edit->Color(), TColor(0x00AA00));
    EXPECT_EQ(edit->FocusColor, 0x00FF00);
}

TEST_F(WrapperTest, EditSectionIsTheCreatorsOrEdit)
{
    HWND h = Child(L"EDIT", WS_BORDER, 80, 20);
    TsCommonData data(nullptr, true);
    data.SetSkinSection(L"BUTTON");
    TOwned<TkvEditWnd> named(CreateWnd<TkvEditWnd>(h, &data, Manager, L"COMBOBOX", false));
    EXPECT_EQ(data.SkinSection(), UnicodeString(L"COMBOBOX")); // over the one it had
    named.reset();
    TOwned<TkvEditWnd> unnamed(CreateWnd<TkvEditWnd>(h, &data, Manager, L"", false));
    EXPECT_EQ(data.SkinSection(), UnicodeString(L"EDIT"));
    unnamed.reset();
    TOwned<TkvEditWnd> none(CreateWnd<TkvEditWnd>(nullptr, nullptr, Manager, L"", false));
    EXPECT_TRUE(none->Destroyed); // no window: only the object
    ::DestroyWindow(h);
}

// The views' refresh routines keep one wrapper of their kind while skinned,
// a new one on a new window, none once the skin no longer applies.
TEST_F(WrapperTest, EditAndTreeRefreshKeepTheirWrapperWhileSkinned)
{
    const struct {
        const char* Name;
        TWinControl* (*Make)(TComponent*);
        void (*Refresh)(TsCommonData*, TkvScrollWnd*&);
        bool Tree;
    } cases[] = {
        {"edit", [](TComponent* O) -> TWinControl* { return New<TMemo>(O); }, RefreshEditScrolls, false},
        {"tree", [](TComponent* O) -> TWinControl* { return New<TTreeView>(O); }, RefreshTreeScrolls, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        TOwned<TWinControl> control(c.Make(Form.get()));
        control->SetParent(Form.get());
        control->SetBounds(10, 10, 120, 80);
        TsCommonData data(control.get(), true);
        data.SetSkinSection(L"EDIT");
        data.UpdateIndexes();
        ASSERT_TRUE(data.Skinned());
        TkvScrollWnd* sw = nullptr;
        c.Refresh(&data, sw);
        ASSERT_NE(sw, nullptr);
        EXPECT_EQ(dynamic_cast<TkvTreeViewWnd*>(sw) != nullptr, c.Tree);
        EXPECT_NE(dynamic_cast<TkvEditWnd*>(sw), nullptr);
        EXPECT_EQ(sw->CtrlHandle, control->Handle());
        EXPECT_EQ(Kv_GetScrollWndFromHwnd(control->Handle()), sw);
        TkvScrollWnd* first = sw;
        c.Refresh(&data, sw);
        EXPECT_EQ(sw, first) << "kept";

        control->RecreateWnd();
        control->HandleNeeded();
        ASSERT_TRUE(sw->Destroyed) << "its window went";
        c.Refresh(&data, sw);
        ASSERT_NE(sw, nullptr);
        EXPECT_FALSE(sw->Destroyed);
        EXPECT_EQ(sw->CtrlHandle, control->Handle()) << "made again on the new window";

        data.SkinIndex = -1;  // the skin no longer applies
        c.Refresh(&data, sw);
        EXPECT_EQ(sw, nullptr);
        EXPECT_EQ(Kv_GetScrollWndFromHwnd(control->Handle()), nullptr);
    }
}

TEST_F(WrapperTest, EditFrameIsTheSectionsBorder)
{
    const int cx = 120, cy = 40;
    HWND h = ::CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"text", WS_CHILD | WS_VISIBLE, 10, 10, cx, cy, Host(),
                               nullptr, nullptr, nullptr);
    TOwned<TkvEditWnd> w(CreateWnd<TkvEditWnd>(h, nullptr, Manager, L"BUTTON", true));
    TOwned<TBitmap> got = Printed(h);
    const int e = w->cxLeftEdge;
    ASSERT_GT(e, 0);
    TOwned<TBitmap> want = Section(Manager, L"BUTTON", 0, cx, cy, TPoint(10, 10), false);
    EXPECT_EQ(DiffCount(got.get(), want.get(), TRect(0, 0, cx, e)), 0);
    EXPECT_EQ(DiffCount(got.get(), want.get(), TRect(0, cy - e, cx, cy)), 0);
    EXPECT_EQ(DiffCount(got.get(), want.get(), TRect(0, 0, e, cy)), 0);
    EXPECT_EQ(DiffCount(got.get(), want.get(), TRect(cx - e, 0, cx, cy)), 0);
    // Inside, the edit paints itself: its own white, no marker left.
    EXPECT_EQ(CountColor(got.get(), TRect(e, e, cx - e, cy - e), 0x00FF00), 0);
}

TEST_F(WrapperTest, DisabledEditShowsTheDisabledLook)
{
    TEdit* edit = New<TEdit>(Form.get());
    edit->SetParent(Form.get());
    edit->SetBounds(10, 10, 100, 24);
    TsCommonData data(edit, true);
    TOwned<TkvEditWnd> w(CreateWnd<TkvEditWnd>(edit->Handle(), &data, Manager, L"BUTTON", false));
    Printed(edit->Handle());
    const TColor enabled = Px(data.FCacheBmp, 50, 12);
    edit->SetEnabled(false);
    Printed(edit->Handle());
    const TColor disabled = Px(data.FCacheBmp, 50, 12);
    EXPECT_NE(enabled, disabled);
}

// The built-in skin's own section: an edit and a list box show its frame
// round its field colour; the focused edit shows the frame's hot state.
TEST_F(WrapperTest, EditAndListBoxShowTheEditSection)
{
    const int section = Manager->GetSkinIndex(L"EDIT");
    ASSERT_TRUE(Manager->IsValidSkinIndex(section));
    const TsGeneralData& g = Manager->gd[std::size_t(section)];
    const int cx = 120, cy = 60;
    // The frame's strips (e wide) of Got against the section painted in State.
    auto frameDiff = [&](TBitmap* Got, TWinControl* C, int State, int E) {
        TOwned<TBitmap> want = Section(Manager, L"EDIT", State, cx, cy, TPoint(C->Left(), C->Top()), false);
        return DiffCount(Got, want.get(), TRect(0, 0, cx, E)) + DiffCount(Got, want.get(), TRect(0, cy - E, cx, cy)) +
               DiffCount(Got, want.get(), TRect(0, 0, E, cy)) + DiffCount(Got, want.get(), TRect(cx - E, 0, cx, cy));
    };
    {
        TOwned<TBitmap> plain = Section(Manager, L"EDIT", 0, cx, cy, TPoint(10, 10), false);
        TOwned<TBitmap> hot = Section(Manager, L"EDIT", 1, cx, cy, TPoint(10, 10), false);
        EXPECT_NE(Px(plain.get(), 0, cy / 2), ColorToRGB(g.Color)) << "a frame round the field";
        EXPECT_GT(DiffCount(plain.get(), hot.get(), TRect(0, 0, cx, 1)), 0) << "the hot frame looks otherwise";
    }
    Form->Show();
    TEdit* edit = New<TEdit>(Form.get());
    TListBox* list = New<TListBox>(Form.get());
    int top = 10;
    for (TWinControl* c : {static_cast<TWinControl*>(edit), static_cast<TWinControl*>(list)}) {
        c->SetParent(Form.get());
        c->SetBounds(10, top, cx, cy);
        c->SetColor(0x00AA00);
        top += cy + 10;
    }
    for (TWinControl* c : {static_cast<TWinControl*>(edit), static_cast<TWinControl*>(list)}) {
        SCOPED_TRACE(c->ClassName().c_str());
        TsCommonData data(c, true);
        // Made as a form's control adapter makes them: the frame computed again.
        auto* w = CreateWnd<TkvEditWnd>(c->Handle(), &data, Manager, L"", true);
        ASSERT_EQ(data.SkinIndex, section);
        TOwned<TBitmap> got = Printed(c->Handle());
        const int e = w->cxLeftEdge;
        ASSERT_GT(e, 0);
        EXPECT_EQ(frameDiff(got.get(), c, 0, e), 0);
        EXPECT_EQ(c->Color(), TColor(ColorToRGB(g.Color)));
        EXPECT_EQ(Px(got.get(), cx - e - 30, cy - e - 4), ColorToRGB(g.Color)) << "the field inside";

        if (c == edit) {
            edit->SetFocus();
            ASSERT_TRUE(data.FFocused);
            got = Printed(c->Handle());
            EXPECT_EQ(frameDiff(got.get(), c, 1, e), 0) << "focused: the hot frame";
            EXPECT_EQ(Px(got.get(), cx - e - 30, cy - e - 4), ColorToRGB(g.HotColor));
            list->SetFocus();
            EXPECT_FALSE(data.FFocused);
            got = Printed(c->Handle());
            EXPECT_EQ(frameDiff(got.get(), c, 0, e), 0) << "the plain frame again";
        }
        UninitializeKVWnd(c->Handle(), true, false, w);
        EXPECT_EQ(c->Color(), TColor(0x00AA00));
    }
}

TEST_F(WrapperTest, EmptyListBoxAnswersNoTopIndex)
{
    TListBox* list = New<TListBox>(Form.get());
    list->SetParent(Form.get());
    TsCommonData data(list, true);
    TOwned<TkvEditWnd> w(CreateWnd<TkvEditWnd>(list->Handle(), &data, Manager, L"COMBOBOX", false));
    EXPECT_EQ(::SendMessageW(list->Handle(), LB_GETTOPINDEX, 0, 0), -1);
    list->Items()->Add(L"one");
    EXPECT_EQ(::SendMessageW(list->Handle(), LB_GETTOPINDEX, 0, 0), 0);
}

// ---------------------------------------------------------------------------
// Tree views.

TEST_F(WrapperTest, TreeBackgroundIsTheHotColourAndComesBackAsItWas)
{
    HWND h = Child(WC_TREEVIEWW, 0, 100, 80);
    const COLORREF own = COLORREF(::SendMessageW(h, TVM_GETBKCOLOR, 0, 0));
    auto* w = CreateWnd<TkvTreeViewWnd>(h, nullptr, Manager, L"BUTTON", false);
    Printed(h);
    const TColor hot = Manager->gd[std::size_t(Manager->GetSkinIndex(L"BUTTON"))].HotColor;
    EXPECT_EQ(COLORREF(::SendMessageW(h, TVM_GETBKCOLOR, 0, 0)), COLORREF(ColorToRGB(hot)));

    TBitmap bmp(100, 80, pf24bit);
    ::SendMessageW(h, WM_ERASEBKGND, WPARAM(bmp.Canvas()->Handle()), 0);
    EXPECT_EQ(Px(&bmp, 50, 40), ColorToRGB(hot));

    UninitializeKVWnd(h, true, false, w);
    EXPECT_EQ(COLORREF(::SendMessageW(h, TVM_GETBKCOLOR, 0, 0)), own); // the value, not a colour constant
    ::DestroyWindow(h);
}

namespace {
struct TCustomDrawer {
    void Draw(TCustomTreeView*, const TRect&, TCustomDrawStage, bool&) {}
};
} // namespace

TEST_F(WrapperTest, TreeWithCustomDrawingErasesItself)
{
    TTreeView* tree = New<TTreeView>(Form.get());
    tree->SetParent(Form.get());
    tree->SetBounds(10, 10, 100, 80);
    TCustomDrawer drawer;
    tree->OnAdvancedCustomDraw = Bind(&drawer, &TCustomDrawer::Draw);
    TsCommonData data(tree, true);
    TOwned<TkvTreeViewWnd> w(CreateWnd<TkvTreeViewWnd>(tree->Handle(), &data, Manager, L"BUTTON", false));
    TBitmap bmp(100, 80, pf24bit);
    FillDC(bmp.Canvas()->Handle(), TRect(0, 0, 100, 80), 0x00FF00);
    ::SendMessageW(tree->Handle(), WM_ERASEBKGND, WPARAM(bmp.Canvas()->Handle()), 0);
    const TColor hot = Manager->gd[std::size_t(data.SkinIndex)].HotColor;
    EXPECT_NE(Px(&bmp, 50, 40), ColorToRGB(hot));
}

// ---------------------------------------------------------------------------
// Grids.

TEST_F(WrapperTest, GridColoursByNameAndBack)
{
    auto* grid = New<TTestGrid>(Form.get());
    grid->SetParent(Form.get());
    grid->SetBounds(10, 10, 150, 100);
    TsCommonData data(grid, true);
    auto* w = CreateWnd<TkvGridWnd>(grid->Handle(), &data, Manager, L"COMBOBOX", false);
    Printed(grid->Handle());
    EXPECT_EQ(TColor(grid->FixedColor), Manager->GetGlobalColor());
    EXPECT_EQ(TColor(grid->SelectionColor), Manager->GetHighLightColor());
    EXPECT_EQ(grid->TitleFont()->Color(), Manager->GetGlobalFontColor());
    EXPECT_EQ(TColor(grid->ControlLook()->GridLineColor),
              MixColors(Manager->GetActiveEditColor(), Manager->GetActiveEditFontColor(), 0.5));
    EXPECT_EQ(TColor(grid->ControlLook()->FixedGradientTo), Manager->GetGlobalColor());

    UninitializeKVWnd(grid->Handle(), true, false, w);
    EXPECT_EQ(TColor(grid->FixedColor), ColorToRGB(clBtnFace)); // kept as its colour value
    EXPECT_EQ(grid->SelectionColor, 0x333333);
    EXPECT_EQ(grid->TitleFont()->Color(), TColor(0x222222));
    EXPECT_EQ(grid->ControlLook()->GridLineColor, 0x111111);
    EXPECT_EQ(TColor(grid->ControlLook()->FixedGradientTo), clBtnFace); // "none" comes back as the face colour
}

TEST_F(WrapperTest, DataAwareGridLandsWhereTheThumbWasDropped)
{
    TFakeInput input;
    auto* grid = New<TTestGrid>(Form.get());
    grid->SetParent(Form.get());
    grid->SetBounds(10, 10, 150, 120);
    SCROLLINFO si = Range(0, 99, 10, 0);
    ::SetScrollInfo(grid->Handle(), SB_VERT, &si, FALSE);
    TsCommonData data(grid, true);
    TOwned<TkvGridWnd> w(CreateWnd<TkvGridWnd>(grid->Handle(), &data, Manager, L"COMBOBOX", true));
    UpdateScrolls(w.get(), false);
    TRect bar;
    KV_GetVScrollRect(w.get(), grid->Handle(), bar);
    ASSERT_FALSE(bar.IsEmpty());
    // Dropped halfway down, then at the end: the grid stands where the
    // thumb was dropped, never a row past it.
    for (int dropAt : {int(bar.Height() / 2), int(bar.Height() + 50)}) {
        SCOPED_TRACE(dropAt);
        UpdateScrolls(w.get(), false);
        const int top = ::GetScrollPos(grid->Handle(), SB_VERT);
        KV_GetVScrollRect(w.get(), grid->Handle(), bar);
        int thumb = 0, thumbPos = 0;
        ASSERT_TRUE(Kv_CalcThumbSize(w->sBarVert, bar, thumb, thumbPos));
        const TPoint onThumb(bar.left + Thick / 2, thumbPos + 2);
        input.Cursor = onThumb;
        ::SendMessageW(grid->Handle(), WM_NCLBUTTONDOWN, HTVSCROLL, MAKELPARAM(onThumb.x, onThumb.y));
        ASSERT_TRUE(w->fThumbTracking);
        input.Cursor = TPoint(onThumb.x, bar.top + dropAt);
        ::SendMessageW(grid->Handle(), WM_MOUSEMOVE, MK_LBUTTON, 0);
        ::SendMessageW(grid->Handle(), WM_LBUTTONUP, 0, 0);
        const int dropped = nLastSBPos; // the position the drop was sent with
        EXPECT_NE(dropped, top);
        EXPECT_EQ(::GetScrollPos(grid->Handle(), SB_VERT), dropped);
    }
    EXPECT_EQ(::GetScrollPos(grid->Handle(), SB_VERT), 90); // the last valid position
}
