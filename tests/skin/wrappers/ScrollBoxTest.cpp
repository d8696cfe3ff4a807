// The skinned scroll box: its frame and area against the built-in skin's
// "PANEL_LOW", the background its children are given, the wheel (turns
// smaller than a notch add up; the form's active control has the first
// turn), the events around scrolling, and the look it gives back when the
// skin goes.
#include <gtest/gtest.h>

#include <windows.h>

#include "StdWrapFixture.h"
#include "classlib/controls/ExtCtrls.h"
#include "skin/core/sSkinManager.h"
#include "skin/wrappers/kvSBUtils_Scroll.h"
#include "skin/wrappers/sScrollBox.h"
#include "support/ResourceCount.h"

using namespace stdwraptest;

namespace {

// A box on the shown form with a child twice as tall as the box.
TsScrollBox* NewBox(TForm* Form)
{
    Form->Show();
    auto* box = New<TsScrollBox>(Form);
    box->SetParent(Form);
    box->SetBounds(10, 10, 200, 120);
    auto* tall = New<TPanel>(box);
    tall->SetParent(box);
    tall->SetBounds(0, 0, 150, 600);
    box->HandleNeeded();
    return box;
}

void Wheel(TWinControl* C, int Delta)
{
    ::SendMessageW(C->Handle(), WM_MOUSEWHEEL, MAKEWPARAM(0, WORD(short(Delta))), MAKELPARAM(20, 20));
}

// A control that takes every wheel turn it is given.
class TWheelTaker : public TCustomControl {
public:
    using TCustomControl::TCustomControl;
    int Turns = 0;
    void WndProc(TMessage& Message) override
    {
        if (Message.Msg == WM_MOUSEWHEEL) {
            ++Turns;
            Message.Result = 1;
            return;
        }
        TCustomControl::WndProc(Message);
    }
};

struct TScrollEvents {
    std::vector<std::string> Seen;
    void Before(TObject*) { Seen.push_back("before"); }
    void After(TObject*) { Seen.push_back("after"); }
    void Paint(TBitmap* Bmp) { Seen.push_back(Bmp && !Bmp->Empty() ? "paint" : "paint without a picture"); }
};

} // namespace

TEST_F(WrapperTest, ScrollBoxFrameAndAreaFromItsSection)
{
    TsScrollBox* box = NewBox(Form.get());
    ASSERT_TRUE(box->SkinData()->Skinned());
    EXPECT_EQ(box->SkinData()->SkinSection(), L"PANEL_LOW");
    EXPECT_EQ(box->FrameWidth(), 2);
    box->VertScrollBar()->SetVisible(false);
    box->SetAutoScroll(false);
    TOwned<TBitmap> got = Printed(box->Handle());
    SaveArtifact(got.get(), "scrollbox.png");
    TOwned<TBitmap> want = Section(Manager, L"PANEL_LOW", 0, box->Width(), box->Height(), TPoint(10, 10), false);
    // The frame all round, and the area outside the child.
    EXPECT_EQ(DiffCount(got.get(), want.get(), TRect(0, 0, box->Width(), 2)), 0);
    EXPECT_EQ(DiffCount(got.get(), want.get(), TRect(0, 0, 2, box->Height())), 0);
    EXPECT_EQ(Px(got.get(), box->Width() - 10, box->Height() / 2), Px(want.get(), box->Width() - 10, box->Height() / 2));
}

// A cached box tells its children its picture shifted by its frame.
TEST_F(WrapperTest, ScrollBoxChildrenSeeItsPictureInsideTheFrame)
{
    TsScrollBox* box = NewBox(Form.get());
    TScrollEvents events;
    box->OnPaint = Bind(&events, &TScrollEvents::Paint);
    box->SkinData()->SetSkinSection(L"BUTTON"); // a gradient: answered from the picture
    Printed(box->Handle());
    EXPECT_EQ(events.Seen.front(), "paint");
    TkvBGInfo bg{};
    ::SendMessageW(box->Handle(), SM_KORVEXCMD, MakeKorvexWParam(SMC_GET_BG_INFO), reinterpret_cast<LPARAM>(&bg));
    ASSERT_EQ(bg.BgType, btCache);
    EXPECT_EQ(bg.Bmp, box->SkinData()->FCacheBmp);
    EXPECT_EQ(bg.Offset, TPoint(2, 2));
}

TEST_F(WrapperTest, ScrollBoxWheelTurnsSmallerThanANotchAddUp)
{
    TsScrollBox* box = NewBox(Form.get());
    box->SetAutoMouseWheel(true);
    TControlScrollBar* bar = box->VertScrollBar();
    bar->SetIncrement(8);
    bar->SetPosition(100);
    ASSERT_EQ(bar->Position(), 100);
    Wheel(box, -40);
    Wheel(box, -40);
    EXPECT_EQ(bar->Position(), 100) << "two thirds of a notch";
    Wheel(box, -40);
    EXPECT_EQ(bar->Position(), 108) << "a whole notch down";
    Wheel(box, 240);
    EXPECT_EQ(bar->Position(), 92) << "two notches up, 8 each";
}

TEST_F(WrapperTest, ScrollBoxWheelGoesToTheActiveControlFirst)
{
    TsScrollBox* box = NewBox(Form.get());
    box->SetAutoMouseWheel(true);
    auto* taker = New<TWheelTaker>(Form.get());
    taker->SetParent(Form.get());
    taker->SetBounds(250, 10, 40, 40);
    taker->SetTabStop(true);
    Form->SetActiveControl(taker);
    ASSERT_EQ(Form->ActiveControl(), taker);
    box->VertScrollBar()->SetPosition(50);
    Wheel(box, -120);
    EXPECT_EQ(taker->Turns, 1);
    EXPECT_EQ(box->VertScrollBar()->Position(), 50) << "taken by the active control";
}

TEST_F(WrapperTest, ScrollBoxTellsOfEachScroll)
{
    TsScrollBox* box = NewBox(Form.get());
    TScrollEvents events;
    box->OnBeforeScroll = Bind(&events, &TScrollEvents::Before);
    box->OnAfterScroll = Bind(&events, &TScrollEvents::After);
    box->ScrollBy(0, -20);
    EXPECT_EQ(events.Seen, (std::vector<std::string>{"before", "after"}));
}

TEST_F(WrapperTest, CachedScrollBoxShowsAgainWhenTheDragEndsInsideTheRequest)
{
    TsScrollBox* box = NewBox(Form.get());
    TScrollEvents events;
    box->OnPaint = Bind(&events, &TScrollEvents::Paint); // painted from its cache
    Command(box->Handle(), SMC_SKIN_REFRESH, reinterpret_cast<LPARAM>(Manager));
    TkvScrollWnd* bars = Kv_GetScrollWrapper(box->Handle());
    ASSERT_NE(bars, nullptr);
    const LPARAM vert = MAKELPARAM(0, WM_VSCROLL);
    bars->fThumbTracking = true;
    Command(box->Handle(), SMC_SCROLL_BEGIN, vert);
    EXPECT_FALSE(::IsWindowVisible(box->Handle())) << "quiet while the thumb is dragged";
    bars->fThumbTracking = false; // the capture went while the request ran
    Command(box->Handle(), SMC_SCROLL_END, vert);
    EXPECT_TRUE(::IsWindowVisible(box->Handle()));
}

TEST_F(WrapperTest, ScrollBoxLosesItsSkinnedBarsWithTheSkin)
{
    TsScrollBox* box = NewBox(Form.get());
    Command(box->Handle(), SMC_SKIN_REFRESH, reinterpret_cast<LPARAM>(Manager));
    EXPECT_NE(box->ListSW, nullptr) << "skinned bars";
    Command(box->Handle(), SMC_SKIN_REMOVE, reinterpret_cast<LPARAM>(Manager));
    EXPECT_EQ(box->ListSW, nullptr);
    EXPECT_EQ(box->SkinData()->SkinIndex, -1);
    EXPECT_FALSE(box->ControlStyle().Contains(csOpaque));
}

TEST_F(WrapperTest, ScrollBoxesLeakNothing)
{
    auto cycle = [&] {
        TsScrollBox* box = NewBox(Form.get());
        Command(box->Handle(), SMC_SKIN_REFRESH, reinterpret_cast<LPARAM>(Manager));
        Printed(box->Handle());
        delete box;
    };
    cycle();
    const TResourceCount before = CountResources();
    for (int i = 0; i < 4; ++i)
        cycle();
    EXPECT_TRUE(NoResourceGrowth(before, CountResources()));
}
