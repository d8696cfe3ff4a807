// Skinned push and bit buttons on the built-in skin: owner-drawn while
// skinned, the window region renewed once per change, the default frame
// with the focus, teardown in their own OnClick, and a contact sheet.
#include <gtest/gtest.h>

#include <vector>

#include "ControlsFixture.h"
#include "tests/support/ResourceCount.h"
#include "classlib/controls/ActnList.h"
#include "classlib/controls/ImgList.h"
#include "classlib/controls/StdCtrls.h"
#include "skin/controls/sBitBtn.h"
#include "skin/controls/sButton.h"
#include "skin/core/sConst.h"
#include "skin/core/sMessages.h"
#include "skin/paint/sFade.h"
#include "skin/paint/sGraphUtils_Sections.h"

using namespace ctltest;

namespace {

// Counts its cache rebuilds.
class TCountingButton : public TsButton {
    KV_CLASS(TCountingButton)
public:
    explicit TCountingButton(TComponent* AOwner) : TsButton(AOwner) {}
    int Rebuilds = 0;
    void PrepareCache() override
    {
        ++Rebuilds;
        TsButton::PrepareCache();
    }
};

// Records the state of each cache rebuild.
class TStateButton : public TsButton {
    KV_CLASS(TStateButton)
public:
    explicit TStateButton(TComponent* AOwner) : TsButton(AOwner) {}
    std::vector<int> States;
    void PrepareCache() override
    {
        States.push_back(CurrentState());
        TsButton::PrepareCache();
    }
};

struct TFreeOnClick : TObject {
    int Clicks = 0;
    int MouseUps = 0;
    void Click(TObject* Sender)
    {
        ++Clicks;
        TObject* o = Sender;
        FreeAndNil(o);
    }
    void MouseUp(TObject*, TMouseButton, TShiftState, int, int) { ++MouseUps; }
};

UINT ButtonType(TWinControl* C) { return ::GetWindowLongW(C->Handle(), GWL_STYLE) & BS_TYPEMASK; }

TRect RegionBox(HWND Wnd)
{
    HRGN rgn = ::CreateRectRgn(0, 0, 0, 0);
    TRect box;
    if (::GetWindowRgn(Wnd, rgn) != ERROR)
        ::GetRgnBox(rgn, &box);
    ::DeleteObject(rgn);
    return box;
}

bool HasRegion(HWND Wnd)
{
    HRGN rgn = ::CreateRectRgn(0, 0, 0, 0);
    const bool has = ::GetWindowRgn(Wnd, rgn) != ERROR;
    ::DeleteObject(rgn);
    return has;
}

// The button's picture, painted as its WM_PAINT paints.
TOwned<TBitmap> Paint(TWinControl* C)
{
    C->HandleNeeded();
    TOwned<TBitmap> b(New<TBitmap>(C->Width(), C->Height(), pf24bit));
    C->Perform(WM_PAINT, reinterpret_cast<WPARAM>(b->Canvas()->Handle()), 0);
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

class PushButtons : public ControlsTest {
protected:
    void SetUp() override
    {
        ControlsTest::SetUp();
        FadingForbidden = true;   // states show at once
    }
    void TearDown() override
    {
        FadingForbidden = false;
        ControlsTest::TearDown();
    }
    template <class T>
    T* Place(int X, int Y)
    {
        T* b = New<T>(Form.get());
        b->SetParent(Form.get());
        b->SetBounds(X, Y, 75, 25);
        b->SetCaption(L"확인");
        return b;
    }
};

} // namespace

TEST_F(PushButtons, OwnerDrawnWhileSkinnedTheSystemsDefaultFrameOnceTheSkinGoes)
{
    auto* def = Place<TsButton>(10, 10);
    def->SetDefault(true);
    auto* other = Place<TsButton>(100, 10);
    auto* edit = New<TEdit>(Form.get());
    edit->SetParent(Form.get());
    edit->SetTop(60);
    Form->Show();

    // Skinned, the focus moves the default look, never the window style.
    struct Step {
        TWinControl* Focus;
        int DefState, OtherState;
    } skinned[] = {{edit, 1, 0}, {other, 0, 1}, {edit, 1, 0}};
    for (const Step& s : skinned) {
        s.Focus->SetFocus();
        EXPECT_EQ(ButtonType(def), UINT(BS_OWNERDRAW)) << s.Focus->ClassName();
        EXPECT_EQ(ButtonType(other), UINT(BS_OWNERDRAW)) << s.Focus->ClassName();
        EXPECT_EQ(def->CurrentState(), s.DefState) << s.Focus->ClassName();
    }
    Paint(def);
    EXPECT_TRUE(HasRegion(def->Handle()));

    // Without the skin the system's own styles come back, and move.
    Manager->SetActive(false);
    EXPECT_FALSE(HasRegion(def->Handle())) << "the full rectangle again";
    struct Unskinned {
        TWinControl* Focus;
        UINT Def, Other;
    } plain[] = {{edit, BS_DEFPUSHBUTTON, BS_PUSHBUTTON}, {other, BS_PUSHBUTTON, BS_DEFPUSHBUTTON},
                 {edit, BS_DEFPUSHBUTTON, BS_PUSHBUTTON}};
    for (const Unskinned& s : plain) {
        s.Focus->SetFocus();
        EXPECT_EQ(ButtonType(def), s.Def) << s.Focus->ClassName();
        EXPECT_EQ(ButtonType(other), s.Other) << s.Focus->ClassName();
    }
    Manager->SetActive(true);
    EXPECT_EQ(ButtonType(def), UINT(BS_OWNERDRAW));
}

TEST_F(PushButtons, TheRegionIsRenewedOncePerChangeNotAtEveryPaint)
{
    auto* btn = Place<TCountingButton>(10, 10);
    btn->HandleNeeded();
    Paint(btn);
    EXPECT_EQ(btn->Rebuilds, 1);
    EXPECT_FALSE(btn->RegionChanged());
    EXPECT_EQ(RegionBox(btn->Handle()).right, 75);
    Paint(btn);
    Paint(btn);
    EXPECT_EQ(btn->Rebuilds, 1) << "a repaint copies the cache";

    btn->SetWidth(100);
    Paint(btn);
    EXPECT_EQ(btn->Rebuilds, 2);
    EXPECT_EQ(RegionBox(btn->Handle()).right, 100);
    EXPECT_FALSE(btn->RegionChanged());

    // Rebuilds outside painting (a fade's) make regions that never reach
    // the window: none is left behind.
    Paint(btn);
    const TResourceCount before = CountResources();
    for (int i = 0; i < 20; ++i) {
        btn->SetWidth(100 + i % 2);
        btn->Perform(SM_KORVEXCMD, MAKEWPARAM(0, SMC_PREPARE_CACHE), 0);
        btn->Perform(SM_KORVEXCMD, MAKEWPARAM(0, SMC_PREPARE_CACHE), 0);
        Paint(btn);
    }
    EXPECT_TRUE(NoResourceGrowth(before, CountResources()));
}

TEST_F(PushButtons, StatesPaintTheSkinsButtonAndAContactSheet)
{
    auto* btn = Place<TsButton>(10, 10);
    auto* bit = Place<TsBitBtn>(10, 50);
    TOwned<TImageList> images(New<TImageList>(nullptr));
    images->SetWidth(16);
    images->SetHeight(16);
    TOwned<TBitmap> red(New<TBitmap>(16, 16, pf24bit));
    red->Canvas()->Brush()->SetColor(clRed);
    red->Canvas()->FillRect(TRect(0, 0, 16, 16));
    images->Add(red.get(), nullptr);
    bit->SetImages(images.get());
    bit->SetImageIndex(0);

    for (TWinControl* b : std::initializer_list<TWinControl*>{btn, bit}) {
        auto* skin = SkinDataOf(b);
        auto repaint = [&] {
            skin->BGChanged = true;
            return Paint(b);
        };
        TOwned<TBitmap> normal = repaint();
        b->Perform(CM_MOUSEENTER, 0, 0);
        TOwned<TBitmap> hot = repaint();
        b->Perform(CM_MOUSELEAVE, 0, 0);
        if (auto* sb = dynamic_cast<TsButton*>(b))
            sb->SetDown(true);
        else
            static_cast<TsBitBtn*>(b)->SetDown(true);
        TOwned<TBitmap> pressed = repaint();
        if (auto* sb = dynamic_cast<TsButton*>(b))
            sb->SetDown(false);
        else
            static_cast<TsBitBtn*>(b)->SetDown(false);
        b->SetEnabled(false);
        TOwned<TBitmap> disabled = repaint();
        b->SetEnabled(true);

        EXPECT_FALSE(SamePixels(normal.get(), hot.get())) << b->ClassName();
        EXPECT_FALSE(SamePixels(normal.get(), pressed.get())) << b->ClassName();
        EXPECT_FALSE(SamePixels(normal.get(), disabled.get())) << b->ClassName();
        EXPECT_NE(Commonest(normal.get(), TRect(0, 0, 75, 25), clNone), FormColour()) << "the skin's face";

        TOwned<TBitmap> sheet(New<TBitmap>(4 * 80, 30, pf24bit));
        sheet->Canvas()->Brush()->SetColor(clWhite);
        sheet->Canvas()->FillRect(TRect(0, 0, 320, 30));
        int x = 0;
        for (TBitmap* p : {normal.get(), hot.get(), pressed.get(), disabled.get()}) {
            ::BitBlt(sheet->Canvas()->Handle(), x, 2, 75, 25, p->Canvas()->Handle(), 0, 0, SRCCOPY);
            x += 80;
        }
        SaveArtifact(sheet.get(), std::string("pushbuttons_") + (b == btn ? "button" : "bitbtn") + ".png");
    }
    // The image-list glyph shows on the bit button.
    TOwned<TBitmap> withGlyph = Paint(bit);
    EXPECT_GT(CountColor(withGlyph.get(), bit->ImgRect(), RGB(255, 0, 0)), 100);
}

TEST_F(PushButtons, FreedByItsOwnOnClickTheHintsComeBackAndNothingLeaks)
{
    Form->Show();
    Application->SetShowHint(true);
    const TResourceCount before = CountResources();
    for (int kind = 0; kind < 2; ++kind) {
        TFreeOnClick handler;
        TButton* b = kind == 0 ? static_cast<TButton*>(Place<TsButton>(10, 10)) : Place<TsBitBtn>(10, 10);
        b->OnClick = Bind(&handler, &TFreeOnClick::Click);
        HWND wnd = b->Handle();
        ::SendMessageW(wnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
        ::SendMessageW(wnd, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
        EXPECT_EQ(handler.Clicks, 1) << kind;
        EXPECT_FALSE(::IsWindow(wnd)) << kind;
        EXPECT_TRUE(Application->ShowHint()) << kind;
        EXPECT_FALSE(ShowHintStored) << kind;
    }
    EXPECT_TRUE(NoResourceGrowth(before, CountResources()));
}

TEST_F(PushButtons, AReleaseWhosePressBeganElsewhereReachesOnlyTheBitButton)
{
    TFreeOnClick counts;
    auto* btn = Place<TsButton>(10, 10);
    auto* bit = Place<TsBitBtn>(10, 50);
    btn->OnMouseUp = Bind(&counts, &TFreeOnClick::MouseUp);
    btn->HandleNeeded();
    ::SendMessageW(btn->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(counts.MouseUps, 0);
    bit->OnMouseUp = Bind(&counts, &TFreeOnClick::MouseUp);
    ::SendMessageW(bit->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(counts.MouseUps, 1);
}

TEST_F(PushButtons, FreedWhileFadingOrAfterTheSkinWentWhileHotNothingIsLeft)
{
    FadingForbidden = false;
    auto* warm = Place<TsButton>(10, 10);   // caches and glyphs warmed up
    Paint(warm);
    warm->Perform(CM_MOUSEENTER, 0, 0);
    warm->Perform(CM_MOUSELEAVE, 0, 0);
    TObject* o = warm;
    FreeAndNil(o);

    const TResourceCount before = CountResources();
    for (bool removeSkin : {false, true}) {
        auto* btn = Place<TsButton>(10, 10);
        auto* bit = Place<TsBitBtn>(10, 50);
        for (TWinControl* b : std::initializer_list<TWinControl*>{btn, bit}) {
            b->Perform(SM_KORVEXCMD, 0, 0);   // nothing asked: passes by
            Paint(b);
            b->Perform(CM_MOUSEENTER, 0, 0);  // a fade starts where the skin fades
        }
        if (removeSkin) {
            Manager->SetActive(false);
            EXPECT_EQ(ButtonType(btn), UINT(BS_PUSHBUTTON));
            EXPECT_FALSE(HasRegion(btn->Handle()));
            EXPECT_FALSE(HasRegion(bit->Handle()));
        }
        o = btn;
        FreeAndNil(o);
        o = bit;
        FreeAndNil(o);
        Manager->SetActive(true);
    }
    EXPECT_TRUE(NoResourceGrowth(before, CountResources()));
}

TEST_F(PushButtons, WithoutTheSkinTheBitButtonStillShowsItsImageListGlyph)
{
    TOwned<TImageList> images(New<TImageList>(nullptr));
    images->SetWidth(16);
    images->SetHeight(16);
    TOwned<TBitmap> red(New<TBitmap>(16, 16, pf24bit));
    red->Canvas()->Brush()->SetColor(clRed);
    red->Canvas()->FillRect(TRect(0, 0, 16, 16));
    images->Add(red.get(), nullptr);
    auto* bit = Place<TsBitBtn>(10, 10);
    bit->SetImages(images.get());
    bit->SetImageIndex(0);
    Manager->SetActive(false);

    TOwned<TBitmap> plain = Paint(bit);
    EXPECT_GT(CountColor(plain.get(), TRect(0, 0, 75, 25), RGB(255, 0, 0)), 100);
    EXPECT_EQ(Commonest(plain.get(), TRect(0, 0, 75, 25), RGB(255, 0, 0)), ColorToRGB(clBtnFace));
    // Freeing the list leaves the button without it.
    images.reset();
    EXPECT_EQ(bit->Images(), nullptr);
    TOwned<TBitmap> none = Paint(bit);
    EXPECT_EQ(CountColor(none.get(), TRect(0, 0, 75, 25), RGB(255, 0, 0)), 0);
}

TEST_F(PushButtons, ActionsGiveTheEnabledStateAndTheBitButtonsImage)
{
    TOwned<TImageList> images(New<TImageList>(nullptr));
    images->SetWidth(16);
    images->SetHeight(16);
    TOwned<TBitmap> red(New<TBitmap>(16, 16, pf24bit));
    red->Canvas()->Brush()->SetColor(clRed);
    red->Canvas()->FillRect(TRect(0, 0, 16, 16));
    images->Add(red.get(), nullptr);
    images->Add(red.get(), nullptr);
    auto* list = New<TActionList>(Form.get());
    list->SetImages(images.get());
    auto* action = New<TAction>(Form.get());
    action->SetActionList(list);
    action->SetImageIndex(1);

    auto* btn = Place<TsButton>(10, 10);
    auto* bit = Place<TsBitBtn>(10, 50);
    TOwned<TBitmap> enabled = Paint(btn);
    btn->SetAction(action);
    bit->SetAction(action);
    EXPECT_EQ(bit->Images(), images.get());
    EXPECT_EQ(bit->ImageIndex(), 1);
    EXPECT_EQ(bit->GlyphWidth(), 16) << "the image list gives the glyph";

    action->SetEnabled(false);
    EXPECT_FALSE(btn->Enabled());
    EXPECT_FALSE(bit->Enabled());
    SkinDataOf(btn)->BGChanged = true;
    EXPECT_FALSE(SamePixels(enabled.get(), Paint(btn).get())) << "the disabled look";
    // An action's update message copies its state again.
    btn->SetEnabled(true);
    btn->Perform(CM_ACTIONUPDATE, 0, reinterpret_cast<LPARAM>(action));
    EXPECT_FALSE(btn->Enabled());
}

TEST_F(PushButtons, ABitButtonReadWithAGlyphAndAnImageListKeepsTheList)
{
    TOwned<TImageList> images(New<TImageList>(nullptr));
    images->SetWidth(20);
    images->SetHeight(20);
    TOwned<TBitmap> pic(New<TBitmap>(20, 20, pf24bit));
    images->Add(pic.get(), nullptr);
    TOwned<TBitmap> square(New<TBitmap>(16, 16, pf24bit));
    TOwned<TBitmap> glyph(New<TBitmap>(32, 16, pf24bit));
    auto* bit = Place<TsBitBtn>(10, 10);
    bit->IncludeState(csLoading);
    bit->SetGlyph(square.get());
    bit->SetImages(images.get());
    bit->SetImageIndex(0);
    bit->Loaded();
    EXPECT_TRUE(bit->Glyph()->Empty());
    EXPECT_EQ(bit->GlyphWidth(), 20);
    EXPECT_EQ(bit->GlyphHeight(), 20);
    // An index outside the list leaves the glyph alone.
    auto* other = Place<TsBitBtn>(10, 50);
    other->IncludeState(csLoading);
    other->SetGlyph(glyph.get());
    other->SetImages(images.get());
    other->SetImageIndex(3);
    other->Loaded();
    EXPECT_FALSE(other->Glyph()->Empty());
    EXPECT_EQ(other->GlyphWidth(), 16) << "two square frames";
}

TEST_F(PushButtons, AClickDuringAFadeShowsThePressedLookAtOnce)
{
    FadingForbidden = false;
    auto& g = Manager->gd[size_t(Manager->GetSkinIndex(L"BUTTON"))];
    g.FadingEnabled = true;
    g.FadingIterations = 20;
    auto* btn = Place<TStateButton>(10, 10);
    btn->SetAnimatEvents({aeMouseEnter, aeMouseLeave, aeMouseDown, aeMouseUp});
    Form->Show();
    Paint(btn);
    btn->Perform(CM_MOUSEENTER, 0, 0);
    ::SendMessageW(btn->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    ASSERT_NE(btn->Fade(), nullptr);
    ASSERT_LT(btn->Fade()->FadeLevel, btn->Fade()->Iterations);

    btn->States.clear();
    ::SendMessageW(btn->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    ASSERT_FALSE(btn->States.empty());
    EXPECT_EQ(btn->States.front(), 2) << "the pressed look, before the release fades";
    EXPECT_NE(btn->States.back(), 2);
    EXPECT_FALSE(fGlobalFlag);
    // The release's own fade runs to its end.
    for (int i = 0; i < 40 && btn->Fade(); ++i)
        btn->Fade()->Timer();
    g.FadingEnabled = false;
}

TEST_F(PushButtons, TheFaceIsTheSkinsButtonSectionInEachState)
{
    auto* btn = Place<TsButton>(10, 10);
    btn->SetCaption(L"");
    auto face = [&](int State) {
        TOwned<TBitmap> b(New<TBitmap>(75, 25, pf24bit));
        TsCommonData data(nullptr, true);
        data.SetSkinManager(Manager);
        data.SetSkinSection(L"BUTTON");
        TCacheInfo ci;
        ci.FillColor = FormColour();
        PaintItem(&data, ci, true, State, TRect(0, 0, 75, 25), TPoint(0, 0), b.get(), true);
        return b;
    };
    const TRect inner(4, 4, 71, 21);   // the corners are the region's
    for (int state : {0, 2}) {
        btn->SetDown(state == 2);
        SkinDataOf(btn)->BGChanged = true;
        TOwned<TBitmap> got = Paint(btn);
        TOwned<TBitmap> want = face(state);
        int diff = 0;
        for (int y = inner.top; y < inner.bottom; ++y)
            for (int x = inner.left; x < inner.right; ++x)
                diff += Px(got.get(), x, y) != Px(want.get(), x, y);
        EXPECT_EQ(diff, 0) << "state " << state;
    }
}

TEST_F(PushButtons, TheBitButtonsGlyphIsPaintedWhereItsLayoutPutsIt)
{
    TOwned<TImageList> images(New<TImageList>(nullptr));
    images->SetWidth(16);
    images->SetHeight(16);
    TOwned<TBitmap> red(New<TBitmap>(16, 16, pf24bit));
    red->Canvas()->Brush()->SetColor(clRed);
    red->Canvas()->FillRect(TRect(0, 0, 16, 16));
    images->Add(red.get(), nullptr);
    auto* bit = Place<TsBitBtn>(10, 10);
    bit->SetBounds(10, 10, 120, 60);
    bit->SetImages(images.get());
    bit->SetImageIndex(0);
    for (TButtonLayout layout : {blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom})
        for (bool down : {false, true}) {
            bit->SetLayout(layout);
            bit->SetDown(down);
            TOwned<TBitmap> got = Paint(bit);
            TRect found(120, 60, -1, -1);
            for (int y = 0; y < 60; ++y)
                for (int x = 0; x < 120; ++x)
                    if (Px(got.get(), x, y) == RGB(255, 0, 0)) {
                        found.left = std::min<LONG>(found.left, x);
                        found.top = std::min<LONG>(found.top, y);
                        found.right = std::max<LONG>(found.right, x + 1);
                        found.bottom = std::max<LONG>(found.bottom, y + 1);
                    }
            const TRect want = bit->ImgRect();
            EXPECT_TRUE(found.left == want.left && found.top == want.top && found.right == want.right &&
                        found.bottom == want.bottom)
                << "layout " << layout << (down ? " down" : "") << ": found (" << found.left << "," << found.top
                << ")-(" << found.right << "," << found.bottom << "), want (" << want.left << "," << want.top << ")";
        }
}

TEST_F(PushButtons, AButtonThatShrinksHasItsUnskinnedParentRepaintTheOldCorners)
{
    auto* btn = Place<TsButton>(10, 10);
    Form->Show();
    Paint(btn);
    btn->SetBounds(10, 10, 60, 20);
    ::ValidateRect(Form->Handle(), nullptr);
    Paint(btn);
    HRGN update = ::CreateRectRgn(0, 0, 0, 0);
    ::GetUpdateRgn(Form->Handle(), update, FALSE);
    // The old bottom-right corner (75 x 25 at 10, 10) lies outside the new bounds.
    EXPECT_TRUE(::PtInRegion(update, 10 + 74, 10 + 24));
    EXPECT_TRUE(::PtInRegion(update, 10 + 74, 10));
    EXPECT_TRUE(::PtInRegion(update, 10, 10 + 24));
    EXPECT_FALSE(::PtInRegion(update, 10 + 30, 10 + 10)) << "only the corners";
    ::DeleteObject(update);
    // Growing leaves the parent alone.
    btn->SetBounds(10, 10, 80, 30);
    ::ValidateRect(Form->Handle(), nullptr);
    Paint(btn);
    RECT r;
    EXPECT_FALSE(::GetUpdateRect(Form->Handle(), &r, FALSE));
}
