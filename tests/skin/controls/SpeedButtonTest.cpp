// The skinned speed button: layout tables with the text size given, its
// looks against the built-in skin's sections painted by the engine, groups,
// the drop-down menu (closed by a message-filter hook), hints, fades stepped
// by hand, and teardown in the awkward moments.
#include <gtest/gtest.h>

#include <windows.h>

#include "ControlsFixture.h"
#include "classlib/controls/ActnList.h"
#include "classlib/controls/Menus.h"
#include "skin/controls/sSpeedButton.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSkinProps.h"
#include "skin/paint/kvAlphaImageList.h"
#include "skin/paint/sFade.h"
#include "skin/paint/sGraphUtils_Sections.h"
#include "support/FakeInput.h"
#include "support/ResourceCount.h"

using namespace ctltest;

namespace {

// ---------------------------------------------------------------------------
// Layout, with the text and glyph sizes given.
class TLayoutButton : public TsSpeedButton {
public:
    using TsSpeedButton::TsSpeedButton;
    TSize Text{30, 14};
    int GW = 16, GH = 16, State = 0;
    TSize TextRectSize() override { return Text; }
    int GlyphWidth() override { return GW; }
    int GlyphHeight() override { return GH; }
    int CurrentState() override { return State; }
};

struct LayoutCase {
    TButtonLayout Layout;
    TAlignment Alignment;
    TRect Caption, Image;
};

// 100 x 40, text 30 x 14, glyph 16 x 16, Spacing 4, Margin -1: the group
// glyph + 4 + text is 50 wide, 25 left over on each side when centred.
const LayoutCase kLayouts[] = {
    {blGlyphLeft, taLeftJustify, {18, 13, 52, 27}, {0, 12, 16, 28}},
    {blGlyphLeft, taCenter, {44, 13, 77, 27}, {25, 12, 41, 28}},
    {blGlyphLeft, taRightJustify, {69, 13, 102, 27}, {50, 12, 66, 28}},
    {blGlyphRight, taLeftJustify, {-1, 13, 32, 27}, {30, 12, 46, 28}},
    {blGlyphRight, taCenter, {24, 13, 57, 27}, {59, 12, 75, 28}},
    {blGlyphRight, taRightJustify, {49, 13, 82, 27}, {84, 12, 100, 28}},
    {blGlyphTop, taCenter, {34, 23, 67, 37}, {43, 3, 59, 19}},
    {blGlyphBottom, taCenter, {34, 3, 67, 17}, {43, 21, 59, 37}},
};

TRect Moved(TRect R, int Dx, int Dy)
{
    ::OffsetRect(&R, Dx, Dy);
    return R;
}

TEST(SpeedButtonLayout, CaptionAndImageRectsForEveryLayoutAlignmentPressedAndReflected)
{
    TOwned<TLayoutButton> b(New<TLayoutButton>(nullptr));
    b->SetBounds(0, 0, 100, 40);
    b->SetCaption(L"text");
    for (const LayoutCase& c : kLayouts)
        for (int pressed = 0; pressed < 2; ++pressed)
            for (int reflected = 0; reflected < 2; ++reflected) {
                SCOPED_TRACE(testing::Message() << "layout " << c.Layout << " alignment " << c.Alignment
                                                << " pressed " << pressed << " reflected " << reflected);
                b->SetLayout(c.Layout);
                b->SetAlignment(c.Alignment);
                b->State = pressed ? 2 : 0;
                b->SetReflected(reflected != 0);
                EXPECT_TRUE(b->CaptionRect() == Moved(c.Caption, pressed, pressed));
                // The reflection below the glyph lifts it by a sixth of its height.
                EXPECT_TRUE(b->ImgRect() == Moved(c.Image, pressed, pressed - (reflected ? 16 / 6 : 0)));
            }
}

TEST(SpeedButtonLayout, MarginAndArrowZoneNarrowTheGroup)
{
    TOwned<TLayoutButton> b(New<TLayoutButton>(nullptr));
    b->SetBounds(0, 0, 100, 40);
    b->SetCaption(L"text");
    b->SetMargin(2);  // GenMargin 5
    b->SetButtonStyle(tbsDropDown);
    b->SetWidth(100);
    EXPECT_EQ(b->ArrowWidth(), 16);
    // (100 - 16 - 16 - 4 - 30) div 2 - 5 = 12 on each side of the group.
    EXPECT_TRUE(b->CaptionRect() == TRect(36, 13, 69, 27));
    EXPECT_TRUE(b->ImgRect() == TRect(17, 12, 33, 28));
    // Width less twice the Margin property and the arrow, less glyph and spacing.
    EXPECT_EQ(b->MaxCaptionWidth(), 100 - 4 - 16 - 16 - 4);
    // No caption: no spacing, the glyph alone is centred.
    b->Text = {0, 0};
    b->SetCaption(L"");
    EXPECT_EQ(b->MaxCaptionWidth(), 0);
    EXPECT_TRUE(b->ImgRect() == TRect(5 + 29, 12, 5 + 29 + 16, 28));
}

TEST(SpeedButtonLayout, GlyphSizeTakesGlyphBeforeImageList)
{
    TOwned<TImageList> list(New<TImageList>(nullptr));
    list->SetWidth(20);
    list->SetHeight(10);
    TOwned<TBitmap> image(New<TBitmap>(20, 10, pf24bit));
    list->Add(image.get(), nullptr);
    TOwned<TsSpeedButton> b(New<TsSpeedButton>(nullptr));
    EXPECT_EQ(b->GlyphWidth(), 0);
    b->SetImages(list.get());
    EXPECT_EQ(b->GlyphWidth(), 0) << "ImageIndex -1 is not valid";
    b->SetImageIndex(0);
    EXPECT_EQ(b->GlyphWidth(), 20);
    EXPECT_EQ(b->GlyphHeight(), 10);
    TOwned<TBitmap> glyph(New<TBitmap>(32, 16, pf24bit));
    b->SetGlyph(glyph.get());
    b->SetNumGlyphs(2);
    EXPECT_EQ(b->GlyphWidth(), 16);
    EXPECT_EQ(b->GlyphHeight(), 16);
    b->SetImageIndex(5);
    EXPECT_EQ(b->GlyphWidth(), 16);
    // After loading, a valid image-list glyph wins and Glyph is cleared.
    b->SetImageIndex(0);
    b->Loaded();
    EXPECT_TRUE(b->Glyph()->Empty());
    EXPECT_EQ(b->GlyphHeight(), 10);
    list.reset();
    EXPECT_EQ(b->Images(), nullptr) << "a freed list is forgotten";
}

TEST(SpeedButtonProps, BlendClampsShowCaptionKeepsTheCaptionAndDropDownWidens)
{
    TOwned<TsSpeedButton> b(New<TsSpeedButton>(nullptr));
    b->SetBlend(-5);
    EXPECT_EQ(b->GetBlend(), 0);
    b->SetBlend(150);
    EXPECT_EQ(b->GetBlend(), 100);

    b->SetCaption(L"Save");
    b->SetShowCaption(false);
    EXPECT_EQ(b->Caption(), UnicodeString(L"Save")) << "stored with the form";
    EXPECT_TRUE(b->ShownCaption().empty());
    b->SetShowCaption(true);
    EXPECT_EQ(b->ShownCaption(), UnicodeString(L"Save"));

    const int w = b->Width();
    b->SetButtonStyle(tbsDropDown);
    EXPECT_EQ(b->Width(), w + 16);
    b->SetButtonStyle(tbsCheck);
    EXPECT_EQ(b->Width(), w);

    TOwned<TsTimerSpeedButton> t(New<TsTimerSpeedButton>(nullptr));
    EXPECT_EQ(t->Width(), t->Height() - 4);
}

// ---------------------------------------------------------------------------
// Painted buttons on a form.
TOwned<TBitmap> SectionOver(TsSkinManager* Manager, const wchar_t* Name, int State, int W, int H, TColor Back)
{
    TOwned<TBitmap> b(New<TBitmap>(W, H, pf24bit));
    TsCommonData data(nullptr, true);
    data.SetSkinManager(Manager);
    data.SetSkinSection(Name);
    TCacheInfo ci;
    ci.FillColor = Back;
    PaintItem(&data, ci, true, State, TRect(0, 0, W, H), TPoint(0, 0), b.get(), true);
    return b;
}

// Pixels of R in A that differ from Want read from WantAt on.
int DiffAt(TBitmap* A, const TRect& R, TBitmap* Want, TPoint WantAt = TPoint(0, 0))
{
    int n = 0;
    for (int y = 0; y < R.Height(); ++y)
        for (int x = 0; x < R.Width(); ++x)
            n += Px(A, R.left + x, R.top + y) != Px(Want, WantAt.x + x, WantAt.y + y);
    return n;
}

class SpeedButtons : public ControlsTest {
protected:
    TsSpeedButton* NewButton(int X = 20, int Y = 20, int W = 60, int H = 24)
    {
        auto* b = New<TsSpeedButton>(Form.get());
        b->SkinData()->SetSkinSection(L"BUTTON");
        b->SetAnimatEvents(TkvAnimatEvents{});
        b->SetBounds(X, Y, W, H);
        b->SetParent(Form.get());
        return b;
    }
    TOwned<TBitmap> Want(int State, int W = 60, int H = 24)
    {
        return SectionOver(Manager, L"BUTTON", State, W, H, FormColour());
    }
    void Press(TControl* B, int X = 5, int Y = 5) { B->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(X, Y)); }
    void Release(TControl* B, int X = 5, int Y = 5) { B->Perform(WM_LBUTTONUP, 0, MAKELPARAM(X, Y)); }
    void MakeFading(int Iterations)
    {
        auto& g = Manager->gd[size_t(Manager->GetSkinIndex(L"BUTTON"))];
        g.FadingEnabled = true;
        g.FadingIterations = Iterations;
    }
};

TEST_F(SpeedButtons, StatesShowTheSectionsLook)
{
    TsSpeedButton* b = NewButton();
    const TRect r = b->BoundsRect();
    EXPECT_EQ(DiffAt(Painted().get(), r, Want(0).get()), 0) << "normal";

    b->Perform(CM_MOUSEENTER, 0, 0);
    EXPECT_EQ(b->CurrentState(), 1);
    EXPECT_EQ(DiffAt(Painted().get(), r, Want(1).get()), 0) << "hot";

    Press(b);
    EXPECT_EQ(b->CurrentState(), 2);
    EXPECT_EQ(DiffAt(Painted().get(), r, Want(2).get()), 0) << "pressed";
    Release(b);
    b->Perform(CM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(DiffAt(Painted().get(), r, Want(0).get()), 0) << "back to normal";

    b->SetGroupIndex(3);
    b->SetAllowAllUp(true);
    b->SetDown(true);
    EXPECT_EQ(DiffAt(Painted().get(), r, Want(2).get()), 0) << "down";

    // The class library's Flat changes nothing of the skinned look.
    b->SetDown(false);
    b->SetFlat(true);
    EXPECT_EQ(DiffAt(Painted().get(), r, Want(0).get()), 0) << "flat";

    // Check and text buttons draw as buttons.
    for (TToolButtonStyle s : {tbsCheck, tbsTextButton}) {
        b->SetButtonStyle(s);
        EXPECT_EQ(DiffAt(Painted().get(), r, Want(0).get()), 0) << s;
    }
}

TEST_F(SpeedButtons, DisabledLooksByKind)
{
    TsSpeedButton* b = NewButton();
    const TRect r = b->BoundsRect();
    auto normal = Want(0);
    const TColor back = FormColour();
    b->SetEnabled(false);

    b->SetDisabledKind(TsDisabledKind{});
    EXPECT_EQ(DiffAt(Painted().get(), r, normal.get()), 0) << "no kind: the enabled look";

    b->SetDisabledKind(TsDisabledKind{dkGrayed});
    auto grey = Painted();
    int coloured = 0;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x) {
            const TColor c = Px(grey.get(), x, y);
            coloured += GetRValue(c) != GetGValue(c) || GetGValue(c) != GetBValue(c);
        }
    EXPECT_EQ(coloured, 0) << "grayed: every pixel grey";

    b->SetDisabledKind(TsDisabledKind{dkBlended});
    auto blended = Painted();
    int outside = 0, changed = 0;
    for (int y = 0; y < r.Height(); ++y)
        for (int x = 0; x < r.Width(); ++x) {
            const TColor got = Px(blended.get(), r.left + x, r.top + y), was = Px(normal.get(), x, y);
            auto between = [](int v, int a, int b) { return v >= std::min(a, b) - 1 && v <= std::max(a, b) + 1; };
            outside += !between(GetRValue(got), GetRValue(was), GetRValue(back)) ||
                       !between(GetGValue(got), GetGValue(was), GetGValue(back)) ||
                       !between(GetBValue(got), GetBValue(was), GetBValue(back));
            changed += got != was;
        }
    EXPECT_EQ(outside, 0) << "blended: between the look and what lies behind";
    EXPECT_GT(changed, r.Width() * r.Height() / 2);
}

TEST_F(SpeedButtons, SeparatorDividerAndDropDownZone)
{
    TsSpeedButton* sep = NewButton(10, 10, 20, 24);
    sep->SetButtonStyle(tbsSeparator);
    TsSpeedButton* div = NewButton(40, 10, 20, 24);
    div->SetButtonStyle(tbsDivider);
    TsSpeedButton* drop = NewButton(70, 10, 60, 24);
    drop->SetButtonStyle(tbsDropDown);
    ASSERT_EQ(drop->Width(), 76);
    auto got = Painted();
    const TColor back = FormColour();

    EXPECT_EQ(CountColor(got.get(), sep->BoundsRect(), back), 20 * 24) << "a separator shows what lies behind";

    ASSERT_GE(Manager->GetMaskIndex(Manager->GetSkinIndex(s_Divider), s_Divider, s_BordersMask), 0);
    const TRect d = div->BoundsRect();
    EXPECT_EQ(CountColor(got.get(), TRect(d.left, d.top, d.left + 6, d.bottom), back), 6 * 24);
    EXPECT_LT(CountColor(got.get(), TRect(d.left + 9, d.top, d.left + 11, d.bottom), back), 2 * 24)
        << "the divider's line in the middle";

    const TRect body(drop->Left(), drop->Top(), drop->Left() + 60, drop->Top() + 24);
    EXPECT_EQ(DiffAt(got.get(), body, Want(0).get()), 0);
    const TRect zone(body.right, body.top, body.right + 16, body.bottom);
    auto zoneWant = Want(0, 16, 24);
    ASSERT_GE(Manager->ConstData.MaskArrowBottom, 0);
    const int diff = DiffAt(got.get(), zone, zoneWant.get());
    EXPECT_GT(diff, 0) << "the arrow is drawn";
    EXPECT_EQ(DiffAt(got.get(), TRect(zone.left, zone.top, zone.right, zone.top + 4), zoneWant.get()), 0)
        << "the zone is the section's look around the arrow";
}

TEST_F(SpeedButtons, WithoutTheSectionTheButtonIsUnskinnedButHearsTheMouse)
{
    auto* b = New<TsSpeedButton>(Form.get());
    b->SetBounds(20, 20, 60, 24);
    b->SetParent(Form.get());
    EXPECT_FALSE(b->SkinData()->Skinned()) << "the built-in skin has no SPEEDBUTTON section";
    int entered = 0;
    struct TCounter {
        int* N;
        void Hit(TObject*) { ++*N; }
    } counter{&entered};
    b->OnMouseEnter = Bind(&counter, &TCounter::Hit);
    b->Perform(CM_MOUSEENTER, 0, 0);
    EXPECT_EQ(entered, 1);
    EXPECT_TRUE(b->SkinData()->FMouseAbove);
    EXPECT_EQ(b->Perform(SM_KORVEXCMD, MakeKorvexWParam(SMC_IS_SKINNED), 0), 1);
    Painted();
    EXPECT_EQ(b->Fade(), nullptr);
}

TEST_F(SpeedButtons, GroupedButtonsReleaseEachOther)
{
    TsSpeedButton* a = NewButton(10, 10);
    TsSpeedButton* b = NewButton(80, 10);
    a->SetGroupIndex(1);
    b->SetGroupIndex(1);
    Press(a);
    Release(a);
    EXPECT_TRUE(a->Down());
    Press(b);
    Release(b);
    EXPECT_TRUE(b->Down());
    EXPECT_FALSE(a->Down());
    auto got = Painted();
    EXPECT_EQ(DiffAt(got.get(), a->BoundsRect(), Want(0).get()), 0);
    EXPECT_EQ(DiffAt(got.get(), b->BoundsRect(), Want(2).get()), 0);
    // Without AllowAllUp the down button stays down.
    Press(b);
    Release(b);
    EXPECT_TRUE(b->Down());
}

TEST_F(SpeedButtons, AnActionGivesItsCaptionStateAndImage)
{
    TOwned<TImageList> images(New<TImageList>(nullptr));
    images->SetWidth(16);
    images->SetHeight(16);
    TOwned<TBitmap> pic(New<TBitmap>(16, 16, pf24bit));
    images->Add(pic.get(), nullptr);
    images->Add(pic.get(), nullptr);
    auto* list = New<TActionList>(Form.get());
    list->SetImages(images.get());
    auto* action = New<TAction>(Form.get());
    action->SetActionList(list);
    action->SetCaption(L"열기");
    action->SetImageIndex(1);

    TsSpeedButton* b = NewButton();
    b->SetAction(action);
    EXPECT_EQ(b->Caption(), UnicodeString(L"열기"));
    EXPECT_EQ(b->Images(), images.get());
    EXPECT_EQ(b->ImageIndex(), 1);
    action->SetEnabled(false);
    EXPECT_FALSE(b->Enabled());
    action->SetEnabled(true);
    EXPECT_TRUE(b->Enabled());
}

// ---------------------------------------------------------------------------
// Drop-down menu.
// Closes a popup menu as soon as its window gets its first message: the
// hook sees the menu window ("#32768") and posts the menu loop its end.
struct TMenuCloser {
    static inline HHOOK Hook = nullptr;
    static inline int Seen = 0;
    static LRESULT CALLBACK Proc(int Code, WPARAM W, LPARAM L)
    {
        const auto* cwp = reinterpret_cast<const CWPSTRUCT*>(L);
        wchar_t cls[16] = {};
        if (Code == HC_ACTION && cwp && ::GetClassNameW(cwp->hwnd, cls, 16) && lstrcmpW(cls, L"#32768") == 0 &&
            Seen++ == 0)
            ::PostMessageW(PopupList->Window(), WM_CANCELMODE, 0, 0);
        return ::CallNextHookEx(Hook, Code, W, L);
    }
    TMenuCloser()
    {
        Seen = 0;
        Hook = ::SetWindowsHookExW(WH_CALLWNDPROC, Proc, nullptr, ::GetCurrentThreadId());
    }
    ~TMenuCloser() { ::UnhookWindowsHookEx(Hook); }
};

struct TPopupWatch {
    TsSpeedButton* Button = nullptr;
    int Calls = 0;
    bool DroppedInside = false, FlagInside = false, TempInside = false, Raise = false;
    void OnPopup(TObject*)
    {
        ++Calls;
        DroppedInside = Button->IsDroppedDown();
        FlagInside = SpeedButtonDropDownOpen();
        TempInside = TempControl == Button;
        if (Raise)
            throw Exception(L"no menu now");
    }
    void Click(TObject*) {}
};

class DropDowns : public SpeedButtons {
protected:
    TPopupWatch Watch;
    TsSpeedButton* Button = nullptr;
    TPopupMenu* Menu = nullptr;
    void SetUp() override
    {
        SpeedButtons::SetUp();
        Menu = New<TPopupMenu>(Form.get());
        auto* item = New<TMenuItem>(Menu);
        item->SetCaption(L"Item");
        Menu->Items()->Add(item);
        Menu->OnPopup = Bind(&Watch, &TPopupWatch::OnPopup);
        Button = NewButton(20, 20, 60, 24);
        Button->SetButtonStyle(tbsDropDown);
        Button->SetDropdownMenu(Menu);
        Watch.Button = Button;
    }
    void ExpectAllClear()
    {
        EXPECT_FALSE(Button->IsDroppedDown());
        EXPECT_FALSE(SpeedButtonDropDownOpen());
        EXPECT_EQ(TempControl, nullptr);
        EXPECT_TRUE(Application->ShowHint()) << "hints are back";
    }
};

TEST_F(DropDowns, MenuOpensBelowTheButtonAndEverythingClearsWhenItCloses)
{
    TMenuCloser closer;
    Press(Button);  // no OnClick: anywhere on the button
    EXPECT_EQ(Watch.Calls, 1);
    EXPECT_TRUE(Watch.DroppedInside && Watch.FlagInside && Watch.TempInside);
    EXPECT_GT(TMenuCloser::Seen, 0) << "Popup returned only once the menu had run";
    EXPECT_EQ(Menu->PopupComponent(), Button);
    EXPECT_EQ(Menu->PopupPoint().y, Button->ClientToScreen(TPoint(0, 25)).y);
    EXPECT_EQ(Button->ButtonState(), bsUp);
    ExpectAllClear();
}

TEST_F(DropDowns, TheButtonIsLeftWhenTheCursorIsElsewhereAfterTheMenu)
{
    TFakeInput input;
    TMenuCloser closer;
    Button->Perform(CM_MOUSEENTER, 0, 0);
    ASSERT_TRUE(Button->SkinData()->FMouseAbove);
    // Over the button when the menu closes: still hot.
    input.Cursor = Button->ClientToScreen(TPoint(5, 5));
    Press(Button);
    EXPECT_TRUE(Button->SkinData()->FMouseAbove);
    // Chosen from the menu far below: the button hears that it was left.
    input.Cursor = Button->ClientToScreen(TPoint(5, 200));
    TMenuCloser::Seen = 0;  // the closer ends each menu once
    Press(Button);
    EXPECT_FALSE(Button->SkinData()->FMouseAbove);
    EXPECT_EQ(DiffAt(Painted().get(), TRect(20, 20, 80, 44), Want(0).get()), 0);
}

TEST_F(DropDowns, WithOnClickOnlyTheArrowZoneOpensTheMenu)
{
    TMenuCloser closer;
    Button->OnClick = Bind(&Watch, &TPopupWatch::Click);
    Press(Button, 10, 5);
    Release(Button, 10, 5);
    EXPECT_EQ(Watch.Calls, 0);
    Press(Button, Button->Width() - 5, 5);
    EXPECT_EQ(Watch.Calls, 1);
    ExpectAllClear();
}

TEST_F(DropDowns, AnOnPopupThatRaisesLeavesNothingSet)
{
    Watch.Raise = true;
    EXPECT_THROW(Press(Button), Exception);
    EXPECT_EQ(Watch.Calls, 1);
    ExpectAllClear();
    EXPECT_EQ(Button->ButtonState(), bsUp);
    // The next press opens the menu again.
    Watch.Raise = false;
    TMenuCloser closer;
    Press(Button);
    EXPECT_EQ(Watch.Calls, 2);
}

// ---------------------------------------------------------------------------
// Hints, fades, teardown.
struct TFreeOnClick {
    TsSpeedButton* Button = nullptr;
    void Click(TObject*) { FreeAndNil(Button); }
};

TEST_F(SpeedButtons, HintsAreOffWhileHeldAndBackWhenFreedInItsOwnClick)
{
    Application->SetShowHint(true);
    TsSpeedButton* b = NewButton();
    Press(b);
    EXPECT_FALSE(Application->ShowHint());
    Release(b);
    EXPECT_TRUE(Application->ShowHint());

    auto round = [&] {
        TFreeOnClick freer{NewButton()};
        freer.Button->OnClick = Bind(&freer, &TFreeOnClick::Click);
        TControl* c = freer.Button;
        Press(c);
        EXPECT_FALSE(Application->ShowHint());
        Painted();
        Release(c);
        EXPECT_EQ(freer.Button, nullptr);
        EXPECT_TRUE(Application->ShowHint());
        EXPECT_FALSE(ShowHintStored);
        Painted();
    };
    round();  // fills the caches the skin keeps for these looks
    const TResourceCount before = CountResources();
    round();
    round();
    EXPECT_TRUE(NoResourceGrowth(before, CountResources()));
}

TEST_F(SpeedButtons, HintsComeBackWhenAHeldButtonIsFreed)
{
    Application->SetShowHint(true);
    TsSpeedButton* b = NewButton();
    Press(b);
    ASSERT_FALSE(Application->ShowHint());
    FreeAndNil(b);
    EXPECT_TRUE(Application->ShowHint());
    EXPECT_FALSE(ShowHintStored);
}

TEST_F(SpeedButtons, AFadeStepsToTheHotLookAndEnds)
{
    MakeFading(4);
    TsSpeedButton* b = NewButton();
    b->SetAnimatEvents(TkvAnimatEvents{aeMouseEnter, aeMouseLeave});
    Painted();
    b->Perform(CM_MOUSEENTER, 0, 0);
    ASSERT_NE(b->Fade(), nullptr);
    TsAnimTimer* t = b->Fade();
    EXPECT_EQ(t->Iterations, 4);
    // A frame between the looks shows while the fade runs.
    auto mid = Painted();
    EXPECT_GT(DiffAt(mid.get(), b->BoundsRect(), Want(1).get()), 0);
    for (int i = 0; i < 10 && b->Fade(); ++i)
        b->Fade()->Timer();
    EXPECT_EQ(b->Fade(), nullptr);
    EXPECT_EQ(DiffAt(Painted().get(), b->BoundsRect(), Want(1).get()), 0);
}

TEST_F(SpeedButtons, FreedWhileFadingOrWhileHotWhenTheSkinGoesLeavesNothing)
{
    MakeFading(6);
    auto round = [&] {
        TsSpeedButton* b = NewButton();
        b->SetAnimatEvents(TkvAnimatEvents{aeMouseEnter});
        Painted();
        b->Perform(CM_MOUSEENTER, 0, 0);
        EXPECT_NE(b->Fade(), nullptr);
        b->Fade()->Timer();
        FreeAndNil(b);
        Painted();
    };
    round();
    const TResourceCount before = CountResources();
    round();
    round();
    EXPECT_TRUE(NoResourceGrowth(before, CountResources()));

    // The skin removed while the mouse is over the button.
    TsSpeedButton* hot = NewButton();
    hot->Perform(CM_MOUSEENTER, 0, 0);
    Painted();
    hot->Perform(SM_KORVEXCMD, MakeKorvexWParam(SMC_SKIN_REMOVE), reinterpret_cast<LPARAM>(Manager));
    EXPECT_FALSE(hot->SkinData()->Skinned());
    EXPECT_EQ(hot->Fade(), nullptr);
    Painted();
    FreeAndNil(hot);
    Painted();
    EXPECT_TRUE(NoResourceGrowth(before, CountResources()));
}

TEST_F(SpeedButtons, SkinCommandsOfAnotherManagerAreNotActedOn)
{
    TsSpeedButton* b = NewButton();
    Painted();
    int other = 0;
    b->Perform(SM_KORVEXCMD, MakeKorvexWParam(SMC_SKIN_REMOVE), reinterpret_cast<LPARAM>(&other));
    EXPECT_TRUE(b->SkinData()->Skinned());
    EXPECT_EQ(DiffAt(Painted().get(), b->BoundsRect(), Want(0).get()), 0);
}

TEST_F(SpeedButtons, OverlappingSiblingsArePaintedIntoTheCacheByIntersection)
{
    // A sibling that crosses the button with none of its corners inside.
    TsSpeedButton* b = NewButton(20, 20, 60, 24);
    auto* bar = New<TsSpeedButton>(Form.get());
    bar->SkinData()->SetSkinSection(L"BUTTON");
    bar->SetBounds(40, 10, 10, 60);
    bar->SetParent(Form.get());
    Painted();
    b->SkinData()->BGChanged = true;
    b->GraphRepaint();
    TBitmap* cache = b->SkinData()->FCacheBmp;
    auto lone = Want(0);
    EXPECT_GT(DiffAt(cache, TRect(20, 0, 30, 24), lone.get(), TPoint(20, 0)), 0) << "the crossing sibling shows";
    EXPECT_EQ(DiffAt(cache, TRect(0, 4, 15, 20), lone.get(), TPoint(0, 4)), 0);
}

} // namespace

namespace {

// Every style in every state, with a caption and a built-in glyph, for a
// reader to look at: build/artifacts/speed-buttons.png.
TEST_F(SpeedButtons, ContactSheet)
{
    Form->SetBounds(0, 0, 6 * 84 + 16, 6 * 32 + 40);
    const TToolButtonStyle styles[] = {tbsButton, tbsCheck, tbsDropDown, tbsSeparator, tbsDivider, tbsTextButton};
    for (int row = 0; row < 6; ++row)
        for (int col = 0; col < 6; ++col) {
            TsSpeedButton* b = NewButton(8 + col * 84, 8 + row * 32, 60, 26);
            b->SetCaption(L"Aa");
            b->SetImages(kvResImgList());
            b->SetImageIndex(row % kvGlyphsCount);
            b->SetNumGlyphs(3);  // normal, hot and pressed frames side by side
            b->SetButtonStyle(styles[row]);
            switch (col) {
            case 1: b->Perform(CM_MOUSEENTER, 0, 0); break;
            case 2: Press(b); break;
            case 3:
                b->SetGroupIndex(10 + row);
                b->SetAllowAllUp(true);
                b->SetDown(true);
                break;
            case 4: b->SetEnabled(false); break;
            case 5:
                b->SetDisabledKind(TsDisabledKind{dkGrayed});
                b->SetEnabled(false);
                break;
            }
        }
    auto sheet = Painted();
    SaveArtifact(sheet.get(), "speed-buttons.png");
    // Normal and hot buttons differ from each other, on every visible style.
    int differing = 0;
    for (int row = 0; row < 6; ++row) {
        if (styles[row] == tbsSeparator || styles[row] == tbsDivider)
            continue;
        auto normal = New<TBitmap>(60, 26, pf24bit);
        TOwned<TBitmap> own(normal);
        ::BitBlt(normal->Canvas()->Handle(), 0, 0, 60, 26, sheet->Canvas()->Handle(), 8, 8 + row * 32, SRCCOPY);
        differing += DiffAt(sheet.get(), TRect(92, 8 + row * 32, 152, 34 + row * 32), normal) > 0;
    }
    EXPECT_EQ(differing, 4);
}

} // namespace
