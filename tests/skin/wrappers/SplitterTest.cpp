// The skinned splitter: its section in the normal, hot and pressed states
// against the built-in skin's "SPLITTER", its glyph, closed neighbours
// snapped back when a drag starts, and the application's hints, which come
// back however a drag ends (released, the mouse taken away, the splitter
// freed with its parent mid-drag).
#include <gtest/gtest.h>

#include <windows.h>

#include "StdWrapFixture.h"
#include "classlib/controls/ExtCtrls.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/sVclUtils.h"
#include "skin/paint/sGraphUtils.h"
#include "skin/wrappers/sSplitter.h"
#include "support/ResourceCount.h"

using namespace stdwraptest;

namespace {

// A panel of the test's own on the form: a top panel closed to height 0,
// a top-aligned splitter under it, and a panel filling the rest.
struct TSplitterScene {
    TPanel* Host = nullptr;
    TPanel* Closed = nullptr;
    TsSplitter* Bar = nullptr;

    explicit TSplitterScene(TForm* Form)
    {
        Form->SetClientSize(300, 200);
        Form->Show();
        Host = New<TPanel>(Form);
        Host->SetParent(Form);
        Host->SetBounds(0, 0, 300, 200);
        Closed = New<TPanel>(Host);
        Closed->SetParent(Host);
        Closed->SetAlign(alTop);
        Closed->SetHeight(0);
        Bar = New<TsSplitter>(Host);
        Bar->SetAlign(alTop);
        Bar->SetBounds(0, 40, 300, 6);
        Bar->SetParent(Host);
        Bar->SetResizeStyle(rsUpdate);
        auto* rest = New<TPanel>(Host);
        rest->SetParent(Host);
        rest->SetAlign(alClient);
    }
    LPARAM BarPoint() const { return MAKELPARAM(Bar->Left() + 20, Bar->Top() + Bar->Height() / 2); }
    void Press() { ::SendMessageW(Host->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, BarPoint()); }
    void Release() { ::SendMessageW(Host->Handle(), WM_LBUTTONUP, 0, BarPoint()); }
};

// The splitter painted into a bitmap of its size.
TOwned<TBitmap> PaintOf(TGraphicControl* C)
{
    TOwned<TBitmap> b(New<TBitmap>(C->Width(), C->Height(), pf24bit));
    FillDC(b->Canvas()->Handle(), TRect(0, 0, C->Width(), C->Height()), 0x00FF00);
    C->Perform(WM_PAINT, reinterpret_cast<WPARAM>(b->Canvas()->Handle()), 0);
    return b;
}

// Name painted in State over a plain colour, the size of C.
TOwned<TBitmap> SectionOver(TsSkinManager* Manager, const wchar_t* Name, int State, TControl* C, TColor Back)
{
    TOwned<TBitmap> b(New<TBitmap>(C->Width(), C->Height(), pf24bit));
    TsCommonData data(nullptr, true);
    data.SetSkinManager(Manager);
    data.SetSkinSection(Name);
    TCacheInfo ci;
    ci.FillColor = Back;
    FillDC(b->Canvas()->Handle(), TRect(0, 0, C->Width(), C->Height()), Back);
    PaintItem(&data, ci, true, State, TRect(0, 0, C->Width(), C->Height()), TPoint(0, 0), b.get(), true);
    return b;
}

// The colour the host panel shows its children.
TColor HostBack(TPanel* Host)
{
    return GetControlColor(Host);
}

} // namespace

TEST_F(WrapperTest, SplitterNormalHotAndPressed)
{
    TSplitterScene s(Form.get());
    ASSERT_TRUE(s.Bar->SkinData()->Skinned());
    EXPECT_EQ(s.Bar->SkinData()->SkinSection(), L"SPLITTER");
    const TColor back = HostBack(s.Host);
    EXPECT_EQ(DiffCount(PaintOf(s.Bar).get(), SectionOver(Manager, L"SPLITTER", 0, s.Bar, back).get()), 0);

    s.Bar->Perform(CM_MOUSEENTER, 0, 0);
    EXPECT_EQ(DiffCount(PaintOf(s.Bar).get(), SectionOver(Manager, L"SPLITTER", 1, s.Bar, back).get()), 0) << "hot";

    s.Press();
    EXPECT_TRUE(s.Bar->Pressed());
    TOwned<TBitmap> pressed = PaintOf(s.Bar);
    SaveArtifact(pressed.get(), "splitter-pressed.png");
    EXPECT_EQ(DiffCount(pressed.get(), SectionOver(Manager, L"SPLITTER", 2, s.Bar, back).get()), 0) << "pressed";
    s.Release();
    EXPECT_FALSE(s.Bar->Pressed());
}

TEST_F(WrapperTest, SplitterGlyphInItsCentre)
{
    TSplitterScene s(Form.get());
    s.Bar->SetBounds(0, 40, 300, 20);
    const TColor back = HostBack(s.Host);
    TOwned<TBitmap> plain = SectionOver(Manager, L"SPLITTER", 0, s.Bar, back);
    // An empty glyph draws nothing.
    EXPECT_EQ(DiffCount(PaintOf(s.Bar).get(), plain.get()), 0);

    // A 24-bit glyph with a transparent colour: that colour is left out.
    TOwned<TBitmap> g24(New<TBitmap>(8, 8, pf24bit));
    FillDC(g24->Canvas()->Handle(), TRect(0, 0, 8, 8), clFuchsia);
    FillDC(g24->Canvas()->Handle(), TRect(2, 2, 6, 6), clBlue);
    s.Bar->SetGlyph(g24.get());
    TOwned<TBitmap> got = PaintOf(s.Bar);
    const TPoint at((s.Bar->Width() - 8) / 2, (20 - 8) / 2);
    EXPECT_EQ(DiffBox(got.get(), plain.get()), TRect(at.x + 2, at.y + 2, at.x + 6, at.y + 6));
    EXPECT_EQ(Px(got.get(), at.x + 3, at.y + 3), clBlue);

    // A 32-bit glyph is laid by its own alpha.
    TOwned<TBitmap> g32(New<TBitmap>(8, 8, pf32bit));
    for (int y = 0; y < 8; ++y) {
        auto* row = static_cast<uint8_t*>(g32->ScanLine(y));
        for (int x = 0; x < 8; ++x) {
            row[4 * x] = 0;
            row[4 * x + 1] = 0;
            row[4 * x + 2] = 255;
            row[4 * x + 3] = y < 4 ? 255 : 0; // the lower half fully transparent
        }
    }
    s.Bar->SetGlyph(g32.get());
    got = PaintOf(s.Bar);
    EXPECT_TRUE(Near(Px(got.get(), at.x + 3, at.y + 1), clRed));
    EXPECT_EQ(Px(got.get(), at.x + 3, at.y + 6), Px(plain.get(), at.x + 3, at.y + 6)) << "transparent rows";
}

TEST_F(WrapperTest, SplitterDragSnapsClosedNeighboursAndGivesHintsBack)
{
    Application->SetShowHint(true);
    TSplitterScene s(Form.get());
    // A closed panel away from the splitter: a press puts it at the splitter's side.
    s.Closed->SetAlign(alNone);
    s.Closed->SetBounds(0, 150, 300, 0);
    const int top = s.Bar->Top();
    s.Press();
    EXPECT_EQ(s.Closed->Top(), top);
    EXPECT_FALSE(Application->ShowHint()) << "no hints while dragging";
    s.Release();
    EXPECT_TRUE(Application->ShowHint());
}

TEST_F(WrapperTest, SplitterHintsComeBackWhenTheMouseIsTakenAway)
{
    Application->SetShowHint(true);
    TSplitterScene s(Form.get());
    s.Press();
    ASSERT_FALSE(Application->ShowHint());
    // Another window takes the mouse between the press and the release.
    ::SetCapture(Form->Handle());
    EXPECT_FALSE(s.Bar->Pressed());
    EXPECT_TRUE(Application->ShowHint());
    ::ReleaseCapture();
}

// The parent of the test's own goes mid-drag, and the splitter with it.
TEST_F(WrapperTest, SplitterFreedMidDragGivesHintsBack)
{
    Application->SetShowHint(true);
    auto dragAndFree = [&] {
        TSplitterScene s(Form.get());
        s.Bar->SetResizeStyle(rsPattern);
        s.Press();
        ::SendMessageW(s.Host->Handle(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(20, 60));
        EXPECT_FALSE(Application->ShowHint());
        delete s.Host;
        EXPECT_TRUE(Application->ShowHint());
        ::ReleaseCapture();
    };
    dragAndFree();
    const TResourceCount before = CountResources();
    dragAndFree();
    EXPECT_TRUE(NoResourceGrowth(before, CountResources()));
}

// The painters of the engine leave a splitter out when they clip the
// children that paint themselves: it is painted with its parent.
TEST_F(WrapperTest, SplitterIsNotClippedOutOfItsParent)
{
    TSplitterScene s(Form.get());
    auto* plain = New<TSplitter>(s.Host);
    plain->SetAlign(alNone);
    plain->SetBounds(0, 100, 300, 5);
    plain->SetParent(s.Host);
    TOwned<TBitmap> b(New<TBitmap>(300, 200, pf24bit));
    const HDC dc = b->Canvas()->Handle();
    ExcludeControls(dc, s.Host, kvtGraphic, 0, 0);
    TRect r = s.Bar->BoundsRect();
    EXPECT_TRUE(::RectVisible(dc, &r));
    r = plain->BoundsRect();
    EXPECT_FALSE(::RectVisible(dc, &r)) << "another graphic control is clipped out";
}
