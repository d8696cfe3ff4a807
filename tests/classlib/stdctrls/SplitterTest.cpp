// The splitter: dragging it sizes the control beside it, within MinSize and
// what the parent leaves, snapping closed with AutoSnap; the drag's bar on
// the parent gives back what it takes, whatever ends the drag.
#include <gtest/gtest.h>

#include "classlib/controls/ExtCtrls.h"
#include "classlib/controls/Forms.h"
#include "tests/support/ResourceCount.h"

namespace {

struct TSplitterEvents : TObject {
    int Moved = 0;
    int Limit = 0;
    void OnMoved(TObject*) { ++Moved; }
    void CanResize(TObject*, int& NewSize, bool& Accept)
    {
        if (NewSize > Limit)
            NewSize = Limit;
    }
};

// A shown form whose client area is 400 x 300: a panel aligned to one side,
// the splitter after it, and a panel filling the rest.
class Splitter : public ::testing::Test {
protected:
    TSplitterEvents Events;
    TOwned<TForm> Form{TForm::CreateNew(nullptr)};
    TPanel* Sized = nullptr;
    TSplitter* Bar = nullptr;

    void Build(TAlign Align)
    {
        Form->SetClientSize(400, 300);
        Form->Show();
        // The panel outermost on its side, the bar next to it.
        bool vertical = Align == alLeft || Align == alRight;
        bool before = Align == alLeft || Align == alTop;
        int panelAt = before ? 0 : (vertical ? 300 : 200), barAt = before ? 100 : panelAt - 3;
        Sized = New<TPanel>(Form.get());
        Sized->SetParent(Form.get());
        Sized->SetBounds(vertical ? panelAt : 0, vertical ? 0 : panelAt, 100, 100);
        Sized->SetAlign(Align);
        Bar = New<TSplitter>(Form.get());
        Bar->SetAlign(Align);
        Bar->SetBounds(vertical ? barAt : 0, vertical ? 0 : barAt, vertical ? 3 : 400, vertical ? 300 : 3);
        Bar->SetParent(Form.get());
        auto* rest = New<TPanel>(Form.get());
        rest->SetParent(Form.get());
        rest->SetAlign(alClient);
        Bar->OnMoved = Bind(&Events, &TSplitterEvents::OnMoved);
    }

    int SizedSize() const
    {
        return Sized->Align() == alLeft || Sized->Align() == alRight ? Sized->Width() : Sized->Height();
    }

    // The middle of the bar, in the form's client coordinates.
    LPARAM BarPoint(int DX = 0, int DY = 0) const
    {
        return MAKELPARAM(Bar->Left() + Bar->Width() / 2 + DX, Bar->Top() + Bar->Height() / 2 + DY);
    }
    void Press() { SendMessageW(Form->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, BarPoint()); }
    void MoveBy(int DX, int DY, LPARAM From) { SendMessageW(Form->Handle(), WM_MOUSEMOVE, MK_LBUTTON, Shifted(From, DX, DY)); }
    void ReleaseAt(int DX, int DY, LPARAM From) { SendMessageW(Form->Handle(), WM_LBUTTONUP, 0, Shifted(From, DX, DY)); }
    static LPARAM Shifted(LPARAM P, int DX, int DY)
    {
        return MAKELPARAM(short(LOWORD(P)) + DX, short(HIWORD(P)) + DY);
    }
    // Drags the bar by (DX, DY) and lets go there.
    void Drag(int DX, int DY)
    {
        LPARAM from = BarPoint();
        Press();
        MoveBy(DX, DY, from);
        ReleaseAt(DX, DY, from);
    }
};

} // namespace

TEST_F(Splitter, DraggingSizesTheControlOnItsAlignedSide)
{
    struct Case {
        TAlign Align;
        int DX, DY;
    } cases[] = {{alLeft, 40, 0}, {alRight, -40, 0}, {alTop, 0, 40}, {alBottom, 0, -40}};
    for (const Case& c : cases) {
        Form.reset(TForm::CreateNew(nullptr));
        Build(c.Align);
        Bar->SetResizeStyle(rsUpdate);
        LPARAM from = BarPoint();
        Press();
        MoveBy(c.DX, c.DY, from);
        // rsUpdate: the control follows while the button is down.
        EXPECT_EQ(SizedSize(), 140) << c.Align;
        ReleaseAt(c.DX, c.DY, from);
        EXPECT_EQ(SizedSize(), 140) << c.Align;
        // The bar stays against the control.
        bool vertical = c.Align == alLeft || c.Align == alRight;
        TRect s = Sized->BoundsRect(), b = Bar->BoundsRect();
        if (vertical) {
            EXPECT_EQ(c.Align == alLeft ? s.right : s.left, c.Align == alLeft ? b.left : b.right);
        } else {
            EXPECT_EQ(c.Align == alTop ? s.bottom : s.top, c.Align == alTop ? b.top : b.bottom);
        }
        EXPECT_EQ(Events.Moved, 1);
        Events.Moved = 0;
        EXPECT_EQ(Bar->Cursor(), vertical ? crHSplit : crVSplit);
    }
}

TEST_F(Splitter, SizesStayWithinMinSizeAndTheRoomLeftAndSnapClosedWithAutoSnap)
{
    Build(alLeft);
    // 400 wide, less MinSize for the rest and the bar's own 3.
    Drag(1000, 0);
    EXPECT_EQ(Sized->Width(), 400 - 30 - 3);
    // Below MinSize: closed with AutoSnap.
    Drag(-(Sized->Width() - 20), 0);
    EXPECT_EQ(Sized->Width(), 0);
    // A closed control is still found beside the bar and opens again.
    Drag(60, 0);
    EXPECT_EQ(Sized->Width(), 60);
    Bar->SetAutoSnap(false);
    Drag(-50, 0);
    EXPECT_EQ(Sized->Width(), 30);
    // OnCanResize has the last word.
    Events.Limit = 90;
    Bar->OnCanResize = Bind(&Events, &TSplitterEvents::CanResize);
    Drag(200, 0);
    EXPECT_EQ(Sized->Width(), 90);
}

TEST_F(Splitter, APatternDragSizesOnReleaseAndGivesBackWhatItTookHoweverItEnds)
{
    Build(alLeft);
    ASSERT_EQ(Bar->ResizeStyle(), rsPattern);
    Drag(10, 0); // warms the caches a drag uses
    const TResourceCount before = CountResources();

    LPARAM from = BarPoint();
    Press();
    MoveBy(30, 0, from);
    EXPECT_EQ(Sized->Width(), 110) << "the control waits for the release";
    ReleaseAt(30, 0, from);
    EXPECT_EQ(Sized->Width(), 140);
    EXPECT_TRUE(NoResourceGrowth(before, CountResources()));

    // The button came up out of sight: the drag ends without a resize.
    from = BarPoint();
    Press();
    MoveBy(30, 0, from);
    SendMessageW(Form->Handle(), WM_MOUSEMOVE, 0, Shifted(from, 50, 0));
    ReleaseAt(50, 0, from);
    EXPECT_EQ(Sized->Width(), 140);
    EXPECT_TRUE(NoResourceGrowth(before, CountResources()));

    // The sized control freed in the middle of a drag.
    from = BarPoint();
    Press();
    MoveBy(20, 0, from);
    TObject* sized = Sized;
    FreeAndNil(sized);
    Sized = nullptr;
    MoveBy(40, 0, from);
    ReleaseAt(40, 0, from);
    EXPECT_TRUE(NoResourceGrowth(before, CountResources()));

    // The splitter freed in the middle of a drag.
    Build(alTop);
    Drag(0, 10);
    const TResourceCount built = CountResources();
    from = BarPoint();
    Press();
    MoveBy(0, 20, from);
    TObject* bar = Bar;
    FreeAndNil(bar);
    Bar = nullptr;
    SendMessageW(Form->Handle(), WM_MOUSEMOVE, MK_LBUTTON, Shifted(from, 0, 40));
    SendMessageW(Form->Handle(), WM_LBUTTONUP, 0, Shifted(from, 0, 40));
    EXPECT_EQ(Sized->Height(), 110);
    EXPECT_TRUE(NoResourceGrowth(built, CountResources()));
}
