// The frame adapter: only a frame takes one, it takes over the frame's
// window procedure and gives it back, and a see-through section's colour
// is mixed with its parent's by the transparency in percent.
#include "FrameFixture.h"
#include "skin/core/sMessages.h"
#include "skin/core/sStrings.h"
#include "skin/core/sVclUtils.h"
#include "classlib/streaming/FormReader.h"
#include "skin/forms/sFrameAdapter.h"

using namespace frametest;

namespace {

// A speed button of the skin's kind as far as the adapter sees one: its
// class name and skin data, and the mouse leaving it.
class TsSpeedButton : public TGraphicControl {
    KV_CLASS(TsSpeedButton)
    KV_PUBLISHED
public:
    explicit TsSpeedButton(TComponent* AOwner) : TGraphicControl(AOwner), Data(new TsCommonData(this, false)) {}
    ~TsSpeedButton() override { FreeAndNil(Data); }
    TsCommonData* SkinData() const { return Data; }
    void WndProc(TMessage& Message) override
    {
        if (Message.Msg == CM_MOUSELEAVE) {
            ++Leaves;
            Data->FMouseAbove = false;
        }
        TGraphicControl::WndProc(Message);
    }
    TsCommonData* Data;
    int Leaves = 0;
};

} // namespace

KV_BEGIN_PUBLISHED(TsSpeedButton, TGraphicControl)
    B.Object(L"SkinData", &C::SkinData);
KV_END_PUBLISHED

class FrameAdapter : public FrameTest {};

TEST_F(FrameAdapter, OnlyAFrameTakesOne)
{
    TOwned<TForm> form(NewForm(bsSizeable));
    try {
        New<TsFrameAdapter>(form.get());
        FAIL() << "an adapter on a form";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), kvs_FrameAdapterError1);
    }
}

TEST_F(FrameAdapter, TakesTheWindowProcedureAndGivesItBack)
{
    TOwned<TForm> form(NewForm(bsSizeable));
    auto* frame = New<TFrame>(form.get());
    frame->SetParent(form.get());
    frame->SetBounds(10, 10, 120, 80);
    const TWndMethod own = frame->WindowProc;
    auto* adapter = New<TsFrameAdapter>(frame);
    adapter->SkinData()->SetSkinSection(s_Dialog);
    adapter->SkinData()->UpdateIndexes();
    EXPECT_FALSE(frame->WindowProc == own);
    EXPECT_TRUE(GetBoolMsg(frame, SMC_IS_SKINNED));
    TObject* o = adapter;
    FreeAndNil(o);
    EXPECT_TRUE(frame->WindowProc == own);
}

TEST_F(FrameAdapter, TransparencyMixesInPercent)
{
    struct TCase {
        int Transparency, Parent, Section, Expected;
    };
    const TCase cases[] = {{0, 200, 100, 100}, {100, 200, 100, 200}, {50, 200, 100, 150}, {25, 0, 255, 192},
                           {50, 255, 255, 255}, {150, 10, 20, 10}, {-5, 10, 20, 20}};
    for (const TCase& c : cases)
        EXPECT_EQ(BlendColorByte(c.Transparency, c.Parent, c.Section), c.Expected) << c.Transparency;
}

TEST_F(FrameAdapter, ReadFromAFramesResource)
{
    RegisterFrameAdapterClass();
    TOwned<TForm> form(NewForm(bsSizeable));
    auto* frame = New<TFrame>(form.get());
    frame->SetParent(form.get());
    ReadComponentFromText(L"object Fr: TFrame\n"
                          L"  object Adapter: TsFrameAdapter\n"
                          L"    SkinData.SkinSection = 'DIALOG'\n"
                          L"  end\n"
                          L"end",
                          frame);
    auto* adapter = dynamic_cast<TsFrameAdapter*>(frame->FindComponent(L"Adapter"));
    ASSERT_NE(adapter, nullptr);
    EXPECT_EQ(adapter->Frame, frame);
    EXPECT_EQ(adapter->SkinData()->SkinSection(), UnicodeString(s_Dialog));
    EXPECT_EQ(SkinDataOf(adapter), adapter->SkinData());
    EXPECT_TRUE(GetBoolMsg(frame, SMC_IS_SKINNED));
}

TEST_F(FrameAdapter, MouseEnteringTellsOtherSpeedButtonsTheyWereLeft)
{
    TOwned<TForm> form(NewForm(bsSizeable));
    auto* frame = New<TFrame>(form.get());
    frame->SetParent(form.get());
    frame->SetBounds(10, 10, 200, 80);
    auto* adapter = New<TsFrameAdapter>(frame);
    adapter->SkinData()->SetSkinSection(s_Dialog);
    adapter->SkinData()->UpdateIndexes();
    TsSpeedButton* buttons[3];
    for (TsSpeedButton*& b : buttons) {
        b = New<TsSpeedButton>(frame);
        b->SetParent(frame);
    }
    buttons[0]->Data->FMouseAbove = true; // still shows the mouse
    buttons[1]->Data->FMouseAbove = true; // the one entered
    Manager->SetActiveControl(nullptr);
    frame->Perform(CM_MOUSEENTER, 0, reinterpret_cast<LPARAM>(static_cast<TControl*>(buttons[1])));
    EXPECT_EQ(buttons[0]->Leaves, 1);
    EXPECT_EQ(buttons[1]->Leaves, 0) << "the entered button keeps the mouse";
    EXPECT_EQ(buttons[2]->Leaves, 0) << "a button without the mouse is left alone";
    EXPECT_EQ(Manager->ActiveControl(), frame->Handle());
}

// Scrolling its parent holds the redrawing of a frame whose picture depends
// on what lies behind it, and paints it once at the end.
TEST_F(FrameAdapter, ScrollingHoldsRedrawingBackUntilItEnds)
{
    TOwned<TForm> form(NewForm(bsSizeable));
    auto* frame = New<TFrame>(form.get());
    frame->SetParent(form.get());
    frame->SetBounds(10, 10, 120, 80);
    auto* adapter = New<TsFrameAdapter>(frame);
    adapter->SkinData()->UpdateIndexes();
    adapter->SkinData()->UrgentPainting = true;  // painted whenever it moves
    form->Show();
    Application->ProcessMessages();
    const HWND h = frame->Handle();
    ASSERT_TRUE(::GetWindowLongW(h, GWL_STYLE) & WS_VISIBLE);
    ::SendMessageW(h, SM_KORVEXCMD, MakeKorvexWParam(SMC_SCROLL_BEGIN), 0);
    EXPECT_FALSE(::GetWindowLongW(h, GWL_STYLE) & WS_VISIBLE) << "no redrawing while it scrolls";
    ::SendMessageW(h, SM_KORVEXCMD, MakeKorvexWParam(SMC_SCROLL_END), 0);
    EXPECT_TRUE(::GetWindowLongW(h, GWL_STYLE) & WS_VISIBLE);
}
