// The virtual-tree wrapper against a control class of the tests' own that
// publishes the names the wrapper looks for: colours and theming given and
// given back as they were, header events taken only where empty and cleared
// only while they hold the wrapper's handlers, the header painted from the
// skin, and the control's client part printed below its header.
#include <gtest/gtest.h>

#include "StdWrapFixture.h"
#include "classlib/controls/Controls.h"
#include "classlib/controls/ExtCtrls.h"
#include "skin/core/sSkinManager.h"
#include "skin/wrappers/kvSBUtils_VirtualTree.h"

using namespace stdwraptest;

namespace {

class TTestVETColors : public TPersistent {
    KV_CLASS(TTestVETColors)
    KV_PUBLISHED
public:
    int CompressedTextColor = 0x0000FF, FileTextColor = 0x00FF00, FolderTextColor = 0xFF0000;
};

enum THeaderOption { hoAutoResize, hoOwnerDraw, hoVisible };
enum TColumnOption { coEnabled, coWrapCaption };

class TTestHeader : public TPersistent {
    KV_CLASS(TTestHeader)
    KV_PUBLISHED
public:
    TSet<THeaderOption> Options{hoVisible};
    int Height = 20;
    int Color = int(clBtnFace);
    int SortDirection = 0;
    TFont* Font() const { return const_cast<TFont*>(&FFont); }

private:
    TFont FFont;
};

class TTestPaintColumn : public TPersistent {
    KV_CLASS(TTestPaintColumn)
    KV_PUBLISHED
public:
    int Color = 0x778899;
    int Style = 0;
};

class TTestColumn : public TCollectionItem {
    KV_CLASS(TTestColumn)
    KV_PUBLISHED
public:
    explicit TTestColumn(TCollection* C) : TCollectionItem(C) {}
    UnicodeString Text;
    TSet<TColumnOption> Options{coEnabled};
};

// A tree of another component family, as far as the wrapper can see it.
class TTestVirtualTree : public TCustomControl {
    KV_CLASS(TTestVirtualTree)
    KV_PUBLISHED
public:
    explicit TTestVirtualTree(TComponent* AOwner) : TCustomControl(AOwner) {}
    TTestVETColors* VETColors() const { return const_cast<TTestVETColors*>(&FVET); }
    TTestHeader* Header() const { return const_cast<TTestHeader*>(&FHeader); }
    TTestPaintColumn* PaintInfoColumn() const { return const_cast<TTestPaintColumn*>(&FColumn); }
    bool Themed = true;
    TAdvancedHeaderPaintEvent OnAdvancedHeaderDraw;
    THeaderPaintQueryElementsEvent OnHeaderDrawQueryElements;
    int Prints = 0;
    TPoint PrintOrigin;

protected:
    void Paint() override
    {
        // Where the first paint of a print starts.
        if (Prints++ == 0)
            ::GetViewportOrgEx(Canvas()->Handle(), &PrintOrigin);
    }

private:
    TTestVETColors FVET;
    TTestHeader FHeader;
    TTestPaintColumn FColumn;
};

} // namespace

KV_BEGIN_PUBLISHED(TTestVETColors, TPersistent)
    B.Int(L"CompressedTextColor", &C::CompressedTextColor, &C::CompressedTextColor, 0, L"TColor");
    B.Int(L"FileTextColor", &C::FileTextColor, &C::FileTextColor, 0, L"TColor");
    B.Int(L"FolderTextColor", &C::FolderTextColor, &C::FolderTextColor, 0, L"TColor");
KV_END_PUBLISHED

KV_BEGIN_PUBLISHED(TTestHeader, TPersistent)
    B.Set(L"Options", &C::Options, &C::Options, 0, {L"hoAutoResize", L"hoOwnerDraw", L"hoVisible"});
    B.Int(L"Height", &C::Height, &C::Height);
    B.Int(L"Color", &C::Color, &C::Color, 0, L"TColor");
    B.Object(L"Font", &C::Font);
    B.Int(L"SortDirection", &C::SortDirection, &C::SortDirection);
KV_END_PUBLISHED

KV_BEGIN_PUBLISHED(TTestPaintColumn, TPersistent)
    B.Int(L"Color", &C::Color, &C::Color, 0, L"TColor");
    B.Int(L"Style", &C::Style, &C::Style);
KV_END_PUBLISHED

KV_BEGIN_PUBLISHED(TTestColumn, TCollectionItem)
    B.Str(L"Text", &C::Text, &C::Text);
    B.Set(L"Options", &C::Options, &C::Options, 0, {L"coEnabled", L"coWrapCaption"});
KV_END_PUBLISHED

KV_BEGIN_PUBLISHED(TTestVirtualTree, TCustomControl)
    B.Object(L"VETColors", &C::VETColors);
    B.Object(L"Header", &C::Header);
    B.Object(L"PaintInfoColumn", &C::PaintInfoColumn);
    B.Bool(L"Themed", &C::Themed, &C::Themed, true);
    B.Event(L"OnAdvancedHeaderDraw", &C::OnAdvancedHeaderDraw);
    B.Event(L"OnHeaderDrawQueryElements", &C::OnHeaderDrawQueryElements);
KV_END_PUBLISHED

namespace {

struct TAppHandlers {
    int Draws = 0;
    void Draw(TObject*, THeaderPaintInfo&, THeaderPaintElements) { ++Draws; }
    void Query(TObject*, THeaderPaintInfo&, THeaderPaintElements&) {}
};

class VirtualTree : public WrapperTest {
protected:
    TTestVirtualTree* Tree = nullptr;
    TsCommonData* Data = nullptr;
    TkvVirtualTreeViewWnd* W = nullptr;
    TCollection Columns{TCollectionItemClass::Of<TTestColumn>()};

    void SetUp() override
    {
        WrapperTest::SetUp();
        Tree = New<TTestVirtualTree>(Form.get());
        Tree->SetParent(Form.get());
        Tree->SetBounds(10, 10, 200, 140);
        Tree->HandleNeeded();
        Data = new TsCommonData(Tree, true);
    }
    void TearDown() override
    {
        Unwrap();
        delete Data;
        WrapperTest::TearDown();
    }
    void Wrap()
    {
        W = CreateWnd<TkvVirtualTreeViewWnd>(Tree->Handle(), Data, Manager, L"COMBOBOX", false);
        Printed(Tree->Handle()); // the first paint gives the skin's values
    }
    void Unwrap()
    {
        if (W)
            UninitializeKVWnd(Tree->Handle(), true, false, W);
    }
    bool OwnerDrawn() { return Tree->Header()->Options.Contains(hoOwnerDraw); }
    TTestColumn* NewColumn(const wchar_t* Text)
    {
        auto* c = static_cast<TTestColumn*>(Columns.Add());
        c->Text = Text;
        return c;
    }
    // One header draw into a bitmap filled with Marker.
    TOwned<TBitmap> Draw(THeaderPaintInfo Info, THeaderPaintElements Elements, TColor Marker = 0x00FF00)
    {
        TOwned<TBitmap> b(New<TBitmap>(200, 40, pf24bit));
        FillDC(b->Canvas()->Handle(), TRect(0, 0, 200, 40), Marker);
        Info.TargetCanvas = b->Canvas();
        Tree->OnAdvancedHeaderDraw(Tree, Info, Elements);
        return b;
    }
    // The rows of R that have any pixel other than Marker.
    static int InkRows(TBitmap* B, const TRect& R, TColor Back)
    {
        int rows = 0;
        for (int y = R.top; y < R.bottom; ++y)
            for (int x = R.left; x < R.right; ++x)
                if (Px(B, x, y) != Back) {
                    ++rows;
                    break;
                }
        return rows;
    }
};

TEST_F(VirtualTree, SkinValuesGoInAndTheControlsOwnComeBack)
{
    Tree->Themed = false;           // the application's own choice
    Tree->Header()->Color = 0x445566;
    Tree->Header()->Font()->SetColor(0x010203);
    Wrap();
    const TsGeneralData& g = Manager->gd[size_t(Data->SkinIndex)];
    EXPECT_EQ(TColor(Tree->VETColors()->FileTextColor), g.HotFontColor[1]);
    EXPECT_EQ(TColor(Tree->VETColors()->FolderTextColor), g.HotFontColor[1]);
    EXPECT_EQ(TColor(Tree->PaintInfoColumn()->Color), Manager->GetGlobalColor());
    EXPECT_EQ(Tree->PaintInfoColumn()->Style, 1);
    EXPECT_EQ(TColor(Tree->Header()->Color), Manager->GetActiveEditColor());
    EXPECT_EQ(Tree->Header()->Font()->Color(), Manager->GetGlobalFontColor());
    EXPECT_TRUE(Tree->OnAdvancedHeaderDraw.Assigned());
    EXPECT_TRUE(Tree->OnHeaderDrawQueryElements.Assigned());
    EXPECT_TRUE(OwnerDrawn());

    Unwrap();
    EXPECT_EQ(Tree->VETColors()->FileTextColor, 0x00FF00);
    EXPECT_EQ(Tree->VETColors()->CompressedTextColor, 0x0000FF);
    EXPECT_FALSE(Tree->Themed);
    EXPECT_EQ(Tree->PaintInfoColumn()->Color, 0x778899);
    EXPECT_EQ(Tree->PaintInfoColumn()->Style, 0);
    EXPECT_EQ(Tree->Header()->Color, 0x445566);
    EXPECT_EQ(Tree->Header()->Font()->Color(), TColor(0x010203));
    EXPECT_FALSE(Tree->OnAdvancedHeaderDraw.Assigned());
    EXPECT_FALSE(Tree->OnHeaderDrawQueryElements.Assigned());
    EXPECT_FALSE(OwnerDrawn());
}

TEST_F(VirtualTree, HeaderEventsOfTheApplicationAreNeverTakenOrWiped)
{
    // Assigned before: neither handler, owner drawing as it was.
    TAppHandlers app;
    Tree->OnAdvancedHeaderDraw = Bind(&app, &TAppHandlers::Draw);
    Wrap();
    EXPECT_EQ(Tree->OnAdvancedHeaderDraw, Bind(&app, &TAppHandlers::Draw));
    EXPECT_FALSE(Tree->OnHeaderDrawQueryElements.Assigned());
    EXPECT_FALSE(OwnerDrawn());
    Unwrap();
    EXPECT_EQ(Tree->OnAdvancedHeaderDraw, Bind(&app, &TAppHandlers::Draw));

    // Assigned while skinned, in place of the wrapper's: kept at the end.
    Tree->OnAdvancedHeaderDraw = nullptr;
    Wrap();
    Tree->OnHeaderDrawQueryElements = Bind(&app, &TAppHandlers::Query);
    Unwrap();
    EXPECT_EQ(Tree->OnHeaderDrawQueryElements, Bind(&app, &TAppHandlers::Query));
    EXPECT_FALSE(Tree->OnAdvancedHeaderDraw.Assigned());
}

TEST_F(VirtualTree, WrapperFreedWithoutGivingTheLookBackLeavesNoHandlerBehind)
{
    // How an adapter lets go of the controls of a form being destroyed.
    Wrap();
    ASSERT_TRUE(Tree->OnAdvancedHeaderDraw.Assigned());
    {
        TFlagScope removing(bRemoving, true);
        TkvMainWnd* w = W;
        W = nullptr;
        FreeAndNil(w);
    }
    EXPECT_FALSE(Tree->OnAdvancedHeaderDraw.Assigned());
    EXPECT_FALSE(Tree->OnHeaderDrawQueryElements.Assigned());
}

TEST_F(VirtualTree, HeaderColumnsArePaintedFromTheSkin)
{
    Wrap();
    THeaderPaintElements all;
    THeaderPaintInfo info;
    Tree->OnHeaderDrawQueryElements(Tree, info, all);
    EXPECT_EQ(all.Ord(), 27u);

    info.Column = NewColumn(L"Name");
    info.PaintRectangle = TRect(10, 5, 110, 30);
    info.TextRectangle = TRect(14, 5, 100, 30);
    for (int state : {0, 1, 2}) {
        info.IsHoverIndex = state == 1;
        info.IsDownIndex = state == 2;
        auto b = Draw(info, THeaderPaintElements{hpeBackground});
        TOwned<TBitmap> ref(New<TBitmap>(100, 25, pf24bit));
        TCacheInfo ci;
        ci.FillColor = 0;
        PaintItem(Manager->GetSkinIndex(L"BUTTON"), L"BUTTON", ci, true, state, TRect(0, 0, 100, 25), TPoint(10, 5),
                  ref.get(), Manager);
        int differ = 0;
        for (int y = 0; y < 25; ++y)
            for (int x = 2; x < 98; ++x) // the corners show what lies behind
                differ += Px(b.get(), 10 + x, 5 + y) != Px(ref.get(), x, y);
        EXPECT_EQ(differ, 0) << state;
        EXPECT_EQ(Px(b.get(), 5, 5), TColor(0x00FF00)); // nothing outside
    }

    // The free area right of the columns: the control's section colour.
    THeaderPaintInfo free;
    free.PaintRectangle = TRect(120, 0, 200, 40);
    auto b = Draw(free, all);
    EXPECT_EQ(Px(b.get(), 150, 20), ColorToRGB(Manager->gd[size_t(Data->SkinIndex)].Color));
}

TEST_F(VirtualTree, DropMarkTextWrapsOnlyForAWrappingColumn)
{
    Wrap();
    THeaderPaintInfo info;
    auto* column = NewColumn(L"A caption much too long for its column");
    info.Column = column;
    info.PaintRectangle = TRect(0, 0, 90, 40);
    info.TextRectangle = TRect(0, 0, 90, 40);
    const TColor back = 0x00FF00;
    auto one = Draw(info, THeaderPaintElements{hpeDropMark}, back);
    column->Options.Include(coWrapCaption);
    auto wrapped = Draw(info, THeaderPaintElements{hpeDropMark}, back);
    const int lineRows = InkRows(one.get(), TRect(0, 0, 90, 40), back);
    EXPECT_GT(lineRows, 0);
    EXPECT_GT(InkRows(wrapped.get(), TRect(0, 0, 90, 40), back), lineRows + 4);
}

TEST_F(VirtualTree, PrintPutsTheClientPartBelowTheHeader)
{
    Wrap();
    Tree->Prints = 0;
    Printed(Tree->Handle());
    ASSERT_GT(Tree->Prints, 0);
    EXPECT_EQ(Tree->PrintOrigin.y, W->cxLeftEdge + 20);
    Tree->Header()->Options.Exclude(hoVisible);
    Tree->Prints = 0;
    Printed(Tree->Handle());
    EXPECT_EQ(Tree->PrintOrigin.y, W->cxLeftEdge);
}

TEST_F(WrapperTest, VirtualTreeWrapperSkipsWhatTheControlDoesNotPublish)
{
    // A control with none of the tree's names: frame, colours and prints only.
    auto* panel = New<TPanel>(Form.get());
    panel->SetParent(Form.get());
    panel->SetBounds(10, 10, 120, 80);
    panel->SetColor(0x123456);
    TsCommonData data(panel, true);
    auto* w = CreateWnd<TkvVirtualTreeViewWnd>(panel->Handle(), &data, Manager, L"COMBOBOX", false);
    auto b = Printed(panel->Handle());
    EXPECT_EQ(w->PropInfo, nullptr);
    EXPECT_NE(panel->Color(), TColor(0x123456));
    UninitializeKVWnd(panel->Handle(), true, false, w);
    EXPECT_EQ(panel->Color(), TColor(0x123456));
}

} // namespace
