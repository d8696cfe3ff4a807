// The skinned edit on the built-in skin: its frame from the skin's edit
// section, the hot frame with the focus, the skin's colours handed to the
// system's painting, the library's own picture while disabled, the bound
// label following the edit, and nothing left behind when it goes.
#include <gtest/gtest.h>

#include <initializer_list>

#include "skin/controls/ControlsFixture.h"
#include "tests/support/ResourceCount.h"
#include "classlib/controls/StdCtrls.h"
#include "skin/controls/sBoundLabel.h"
#include "skin/controls/sLabel.h"
#include "skin/core/sMessages.h"
#include "skin/editors/sEdit.h"

using namespace ctltest;

namespace {

// The whole window as WM_PRINT draws it: the frame from the cache, the
// client area by the edit's own painting.
TOwned<TBitmap> Print(TWinControl* C)
{
    C->HandleNeeded();
    TOwned<TBitmap> b(New<TBitmap>(C->Width(), C->Height(), pf24bit));
    C->Perform(WM_PRINT, reinterpret_cast<WPARAM>(b->Canvas()->Handle()), PRF_NONCLIENT | PRF_CLIENT | PRF_ERASEBKGND);
    ::GdiFlush();
    return b;
}

bool SamePixels(TBitmap* A, TBitmap* B)
{
    for (int y = 0; y < A->Height(); ++y)
        for (int x = 0; x < A->Width(); ++x)
            if (Px(A, x, y) != Px(B, x, y))
                return false;
    return true;
}

// The top row of the frame, where the section's border lies.
std::map<TColor, int> FrameRow(TBitmap* B) { return Colours(B, TRect(2, 0, B->Width() - 2, 1)); }

class Edits : public ControlsTest {
protected:
    void SetUp() override
    {
        ControlsTest::SetUp();
        Form->Show(); // the edits take the focus
    }
    TsEdit* Place(int X, int Y, const wchar_t* Text = L"편집 abc")
    {
        auto* e = New<TsEdit>(Form.get());
        e->SetParent(Form.get());
        e->SetBounds(X, Y, 120, 22);
        e->SetText(Text);
        e->HandleNeeded();
        return e;
    }
    // Frees the way the class library does (BeforeDestruction, then delete).
    template <class T> static void Free(T* Object) { FreeAndNil(Object); }
    const TsGeneralData& Section(TsEdit* E) { return Manager->gd[E->SkinData()->SkinIndex]; }
};

} // namespace

TEST_F(Edits, TheFrameIsTheSkinsEditSectionHotWithTheFocus)
{
    TsEdit* e = Place(10, 10);
    TsEdit* other = Place(10, 50);
    ASSERT_TRUE(Manager->IsValidSkinIndex(e->SkinData()->SkinIndex));
    EXPECT_EQ(e->SkinData()->SkinSection(), L"EDIT");

    other->SetFocus();
    TOwned<TBitmap> normal = Print(e);
    e->SetFocus();
    ASSERT_TRUE(e->SkinData()->FFocused);
    TOwned<TBitmap> focused = Print(e);

    EXPECT_NE(Commonest(normal.get(), TRect(0, 0, 120, 1), clNone), FormColour()) << "the skin's border";
    EXPECT_NE(FrameRow(normal.get()), FrameRow(focused.get())) << "the hot frame";
    SaveArtifact(normal.get(), "edit_normal.png");
    SaveArtifact(focused.get(), "edit_focused.png");

    // Losing the focus brings the normal frame back.
    other->SetFocus();
    EXPECT_FALSE(e->SkinData()->FFocused);
    TOwned<TBitmap> again = Print(e);
    EXPECT_EQ(FrameRow(normal.get()), FrameRow(again.get()));
}

TEST_F(Edits, TheSystemPaintsInTheSkinsColoursUnlessTheEditKeepsItsOwn)
{
    TsEdit* e = Place(10, 10);
    TsEdit* other = Place(10, 50);
    TsEdit* ro = Place(10, 90);
    ro->SetReadOnly(true);
    TsEdit* own = Place(10, 130);
    own->SkinData()->SetCustomColor(true);
    own->SkinData()->SetCustomFont(true);
    own->SetColor(clYellow);
    own->Font()->SetColor(clRed);

    other->SetFocus();
    for (TsEdit* x : {e, ro, own})
        x->Perform(WM_PAINT, 0, 0);
    EXPECT_EQ(e->Color(), Section(e).Color);
    EXPECT_EQ(e->Font()->Color(), Section(e).FontColor[1]);
    EXPECT_EQ(ro->Color(), Section(ro).Color) << "read-only alike";
    EXPECT_EQ(own->Color(), clYellow);
    EXPECT_EQ(own->Font()->Color(), clRed);

    e->SetFocus();
    e->Perform(WM_PAINT, 0, 0);
    EXPECT_EQ(e->Color(), Section(e).HotColor);
    EXPECT_EQ(e->Font()->Color(), Section(e).HotFontColor[1]);

    // The edit's own colour is answered only while it is not skinned.
    TMessage m{SM_KORVEXCMD, MAKEWPARAM(0, SMC_GET_BG_COLOR), 0, 0};
    Manager->SetActive(false);
    e->WndProc(m);
    EXPECT_EQ(m.Result, LRESULT(ColorToRGB(e->Color())));
}

TEST_F(Edits, DisabledTheLibraryPaintsTheTextBlendedAndPasswordsStayHidden)
{
    TsEdit* e = Place(10, 10);
    TOwned<TBitmap> enabled = Print(e);
    e->SetEnabled(false);
    TOwned<TBitmap> disabled = Print(e);
    EXPECT_FALSE(SamePixels(enabled.get(), disabled.get()));
    const TRect inside(4, 4, 116, 18);
    EXPECT_GT(Colours(disabled.get(), inside).size(), 2u) << "the text is drawn";
    SaveArtifact(disabled.get(), "edit_disabled.png");

    // Only the password character, once per character, whatever the text.
    TsEdit* a = Place(10, 50, L"abcdef");
    TsEdit* b = Place(10, 90, L"XYZ#@!");
    for (TsEdit* x : {a, b}) {
        x->SetPasswordChar(L'*');
        x->SetEnabled(false);
    }
    TOwned<TBitmap> pa = Print(a);
    TOwned<TBitmap> pb = Print(b);
    EXPECT_TRUE(SamePixels(pa.get(), pb.get()));
    b->SetText(L"XYZ");
    EXPECT_FALSE(SamePixels(pa.get(), Print(b).get())) << "three characters, three stars";

    // Enabled again, the system paints the client area in the skin's colour.
    e->SetEnabled(true);
    TOwned<TBitmap> back = Print(e);
    EXPECT_EQ(Commonest(back.get(), inside, clNone), ColorToRGB(Section(e).Color));
}

TEST_F(Edits, TheBoundLabelFollowsTheEdit)
{
    TsEdit* e = Place(100, 60);
    TsBoundLabel* bl = e->BoundLabel();
    bl->SetText(L"이름");
    bl->SetActive(true);
    TsEditLabel* l = bl->TheLabel();
    ASSERT_NE(l, nullptr);
    EXPECT_LE(l->Left() + l->Width(), 100) << "on the left";

    e->SetBounds(150, 100, 120, 22);
    EXPECT_LE(l->Left() + l->Width(), 150);
    EXPECT_GT(l->Top(), 90);

    e->SetEnabled(false);
    EXPECT_FALSE(l->Enabled()) << "disabled with the blended edit";
    e->SetEnabled(true);
    e->SetDisabledKind(TsDisabledKind{dkGrayed});
    e->SetEnabled(false);
    EXPECT_TRUE(l->Enabled()) << "a greyed edit without the blend keeps its label";

    e->SetVisible(false);
    EXPECT_FALSE(l->Visible());
    e->SetVisible(true);
    EXPECT_TRUE(l->Visible());
}

// Off for now: freeing the caption label itself (order 1) leaves the bound
// label active and the edit's teardown then crashes; to be fixed next.
TEST_F(Edits, TeardownInAnyOrderLeavesNothing)
{
    // Warm-up: the first edit loads what every later one shares.
    Free(Place(10, 10));
    const TResourceCount before = CountResources();
    for (int order = 0; order < 3; ++order) {
        TsEdit* e = Place(10, 10);
        e->BoundLabel()->SetText(L"라벨");
        e->BoundLabel()->SetActive(true);
        e->SetFocus();
        Print(e);
        e->SetEnabled(false);
        Print(e);
        if (order == 0) {
            Free(e);
        } else if (order == 1) {
            delete e->BoundLabel()->TheLabel(); // a plain delete lets go of the bound label too
            EXPECT_FALSE(e->BoundLabel()->Active());
            Free(e);
        } else {
            Manager->SetActive(false);
            Free(e);
            Manager->SetActive(true);
        }
    }
    EXPECT_TRUE(NoResourceGrowth(before, CountResources()));
}
