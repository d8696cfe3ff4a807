// The frame adapter: only a frame takes one, it takes over the frame's
// window procedure and gives it back, and a see-through section's colour
// is mixed with its parent's by the transparency in percent.
#include "FrameFixture.h"
#include "skin/core/sMessages.h"
#include "skin/core/sStrings.h"
#include "skin/core/sVclUtils.h"
#include "skin/forms/sFrameAdapter.h"

using namespace frametest;

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
