// A skinned form moved and sized through its frame: the outline move and
// resize of rmBorder driven by mouse messages, snapping to the work area,
// and the maximised form covering the work area.
#include "FrameFixture.h"
#include "support/ResourceCount.h"

using namespace frametest;

namespace {

TRect BoundsOf(TForm* Form)
{
    RECT r;
    ::GetWindowRect(Form->Handle(), &r);
    return TRect(r);
}

// The mouse of an outline move: presses on the frame at window points,
// moves and releases at screen points (captured: client messages).
struct TDrag {
    TForm* Form;
    void Press(int Code, const TPoint& P)
    {
        const TRect w = BoundsOf(Form);
        ::SendMessageW(Form->Handle(), WM_NCLBUTTONDOWN, WPARAM(Code), MAKELPARAM(w.left + P.x, w.top + P.y));
    }
    LPARAM Client(const TPoint& Screen)
    {
        POINT p{Screen.x, Screen.y};
        ::ScreenToClient(Form->Handle(), &p);
        return MAKELPARAM(p.x, p.y);
    }
    void Move(const TPoint& Screen) { ::SendMessageW(Form->Handle(), WM_MOUSEMOVE, MK_LBUTTON, Client(Screen)); }
    void Release(const TPoint& Screen) { ::SendMessageW(Form->Handle(), WM_LBUTTONUP, 0, Client(Screen)); }
};

} // namespace

class MoveSize : public FrameTest {};

TEST_F(MoveSize, OutlineMoveFollowsTheMouseAndMovesOnRelease)
{
    TOwned<TForm> form(NewForm(bsSizeable));
    TsSkinProvider* sp = ProviderOf(form.get());
    sp->SetResizeMode(rmBorder);
    const TRect before = BoundsOf(form.get());
    const TResourceCount resources = CountResources();
    TDrag drag{form.get()};
    drag.Press(HTCAPTION, {100, 10});
    EXPECT_TRUE(bInProcess);
    EXPECT_EQ(::GetCapture(), form->Handle());
    const TPoint start(before.left + 100, before.top + 10);
    drag.Move({start.x + 10, start.y + 5});
    drag.Move({start.x + 30, start.y + 20});
    EXPECT_EQ(BoundsOf(form.get()), before) << "only the outline moves meanwhile";
    drag.Release({start.x + 30, start.y + 20});
    EXPECT_FALSE(bInProcess);
    EXPECT_EQ(::GetCapture(), nullptr);
    EXPECT_EQ(BoundsOf(form.get()), TRect(before.left + 30, before.top + 20, before.right + 30, before.bottom + 20));
    EXPECT_TRUE(NoResourceGrowth(resources, CountResources())) << "the desktop's context was given back";
}

// The outline's state ends with its form and with the capture: a release on
// another form afterwards moves nothing.
TEST_F(MoveSize, OutlineMoveEndsWithItsFormAndWithTheCapture)
{
    TOwned<TForm> other(NewForm(bsSizeable));
    ProviderOf(other.get())->SetResizeMode(rmBorder);
    TOwned<TForm>(NewForm(bsSizeable)).reset();  // the caches a form fills
    const TResourceCount resources = CountResources();
    const TRect otherAt = BoundsOf(other.get());
    for (const char* how : {"form freed", "capture lost"}) {
        SCOPED_TRACE(how);
        TOwned<TForm> form(NewForm(bsSizeable));
        ProviderOf(form.get())->SetResizeMode(rmBorder);
        const TRect before = BoundsOf(form.get());
        TDrag drag{form.get()};
        drag.Press(HTCAPTION, {100, 10});
        ASSERT_TRUE(bInProcess);
        const TPoint start(before.left + 100, before.top + 10);
        drag.Move({start.x + 40, start.y + 30});
        if (std::string(how) == "form freed") {
            form.reset();
        } else {
            ::ReleaseCapture();
            EXPECT_FALSE(bInProcess);
            drag.Release({start.x + 40, start.y + 30});
            EXPECT_EQ(BoundsOf(form.get()), before) << "a lost drag moves nothing";
        }
        EXPECT_FALSE(bInProcess);
        TDrag{other.get()}.Release({start.x + 40, start.y + 30});
        EXPECT_EQ(BoundsOf(other.get()), otherAt);
    }
    EXPECT_TRUE(NoResourceGrowth(resources, CountResources())) << "the desktop's context was given back";
}

// The edge pressed is the edge that moves, each within the form's minimum
// size; a press without a move changes nothing.
TEST_F(MoveSize, OutlineResizeMovesTheEdgePressed)
{
    const struct {
        const char* What;
        int Code;
        TPoint At;      // window point pressed
        TPoint By;      // mouse travel
        TRect Change;   // expected change of left, top, right, bottom
    } cases[] = {
        {"left", HTLEFT, {1, 100}, {-40, 0}, {-40, 0, 0, 0}},
        {"right", HTRIGHT, {318, 100}, {25, 0}, {0, 0, 25, 0}},
        {"top", HTTOP, {100, 1}, {0, -30}, {0, -30, 0, 0}},
        {"bottom", HTBOTTOM, {100, 198}, {0, 15}, {0, 0, 0, 15}},
        {"top-left", HTTOPLEFT, {1, 1}, {-10, -12}, {-10, -12, 0, 0}},
        {"bottom-right", HTBOTTOMRIGHT, {318, 198}, {7, 9}, {0, 0, 7, 9}},
        {"bottom-left", HTBOTTOMLEFT, {1, 198}, {-5, 6}, {-5, 0, 0, 6}},
        {"top-right", HTTOPRIGHT, {318, 1}, {8, -4}, {0, -4, 8, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.What);
        TOwned<TForm> form(NewForm(bsSizeable));
        ProviderOf(form.get())->SetResizeMode(rmBorder);
        const TRect b = BoundsOf(form.get());
        TDrag drag{form.get()};
        const TPoint start(b.left + c.At.x, b.top + c.At.y);
        drag.Press(c.Code, c.At);
        drag.Move(start);
        drag.Move({start.x + c.By.x, start.y + c.By.y});
        drag.Release({start.x + c.By.x, start.y + c.By.y});
        EXPECT_EQ(BoundsOf(form.get()), TRect(b.left + c.Change.left, b.top + c.Change.top,
                                               b.right + c.Change.right, b.bottom + c.Change.bottom));
    }
}

TEST_F(MoveSize, OutlineResizeStopsAtTheMinimumAndAPressAloneChangesNothing)
{
    TOwned<TForm> form(NewForm(bsSizeable));
    ProviderOf(form.get())->SetResizeMode(rmBorder);
    const TRect b = BoundsOf(form.get());
    TDrag drag{form.get()};
    drag.Press(HTRIGHT, {318, 100});
    drag.Release({b.right + 50, b.top + 100});
    EXPECT_EQ(BoundsOf(form.get()), b) << "released before any move";

    drag.Press(HTRIGHT, {318, 100});
    drag.Move({b.right - 2, b.top + 100});
    drag.Move({b.right - 1000, b.top + 100});
    drag.Release({b.right - 1000, b.top + 100});
    EXPECT_EQ(BoundsOf(form.get()).Width(), ::GetSystemMetrics(SM_CXMINTRACK));
    EXPECT_EQ(BoundsOf(form.get()).left, b.left);
}

// Positions near a work-area edge land on it (the left and top edges win);
// others, and maximised forms, stay where they are put.
TEST_F(MoveSize, ScreenSnapLandsOnNearWorkAreaEdges)
{
    TOwned<TForm> form(NewForm(bsSizeable));
    TsSkinProvider* sp = ProviderOf(form.get());
    sp->SetScreenSnap(true);
    const TRect wa = FormWorkArea(form.get());
    const int w = form->Width(), h = form->Height();
    const struct {
        TPoint Put, Lands;
    } cases[] = {
        {{wa.left + 5, wa.top + 7}, {wa.left, wa.top}},
        {{wa.right - w - 4, wa.top + 100}, {wa.right - w, wa.top + 100}},
        {{wa.left + 100, wa.bottom - h + 9}, {wa.left + 100, wa.bottom - h}},
        {{wa.left + 40, wa.top + 40}, {wa.left + 40, wa.top + 40}},
        {{wa.left + 10, wa.top + 100}, {wa.left + 10, wa.top + 100}},
    };
    for (const auto& c : cases) {
        form->SetBounds(c.Put.x, c.Put.y, w, h);
        EXPECT_EQ(BoundsOf(form.get()).TopLeft(), c.Lands) << c.Put.x << "," << c.Put.y;
    }
    sp->SetScreenSnap(false);
    form->SetBounds(wa.left + 3, wa.top + 3, w, h);
    EXPECT_EQ(BoundsOf(form.get()).TopLeft(), TPoint(wa.left + 3, wa.top + 3));
}

// A maximised skinned form shows exactly the work area: its frame, cut away
// by the region, lies outside it.
TEST_F(MoveSize, MaximisedFormShowsTheWorkArea)
{
    for (TFormBorderStyle style : {bsSizeable, bsSingle, bsDialog, bsSizeToolWin}) {
        SCOPED_TRACE(int(style));
        TOwned<TForm> form(NewForm(style));
        form->SetWindowState(wsMaximized);
        form->Perform(WM_NCPAINT, 1, 0);
        Application->ProcessMessages();
        HRGN rgn = ::CreateRectRgn(0, 0, 0, 0);
        ASSERT_EQ(::GetWindowRgn(form->Handle(), rgn), SIMPLEREGION);
        RECT box;
        ::GetRgnBox(rgn, &box);
        ::DeleteObject(rgn);
        const TRect w = BoundsOf(form.get());
        ::OffsetRect(&box, w.left, w.top);
        EXPECT_EQ(TRect(box), FormWorkArea(form.get()));
    }
}
