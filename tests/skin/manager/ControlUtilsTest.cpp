// The control utilities: the command-message senders, the broadcast down a
// tree of controls, questions to controls, and painting graphic children
// and control trees.
#include <gtest/gtest.h>

#include <memory>

#include "RecordingControls.h"
#include "classlib/controls/ExtCtrls.h"
#include "classlib/graphics/GdiHandles.h"
#include "skin/core/sConst.h"
#include "skin/core/sVclUtils.h"

using namespace recording;

namespace {

class ControlUtils : public testing::Test {
protected:
    void SetUp() override { Log().clear(); }
    void TearDown() override
    {
        FreeAndNil(Form);
        Log().clear();
    }
    TRecForm* Form = NewForm(L"UtilsForm");
};

TColor PixelAt(HDC DC, int X, int Y)
{
    return ::GetPixel(DC, X, Y) & 0xFFFFFF;
}

} // namespace

TEST_F(ControlUtils, SendAMessageNeverMakesAWindowAndAsksGraphicControlsDirectly)
{
    auto* panel = NewChild<TRecPanel>(Form, L"Panel");
    panel->Rec.OnCommand = [](TControl*, int, TMessage& m) { m.Result = 7; };
    EXPECT_EQ(SendAMessage(panel, SMC_GET_SKIN_INDEX), 0);
    EXPECT_FALSE(panel->HandleAllocated());
    EXPECT_TRUE(Log().empty());

    panel->HandleNeeded();
    EXPECT_EQ(SendAMessage(panel, SMC_GET_SKIN_INDEX), 7);

    auto* graphic = NewChild<TRecGraphic>(Form, L"Graphic");
    graphic->Rec.OnCommand = [](TControl*, int, TMessage& m) { m.Result = 0x1234; };
    EXPECT_EQ(SendAMessage(graphic, SMC_GET_SKIN_INDEX), 0x1234);
    EXPECT_EQ(SendAMessage(static_cast<TControl*>(nullptr), SMC_GET_SKIN_INDEX), 0);
}

TEST_F(ControlUtils, BoolAnswers)
{
    auto* panel = NewChild<TRecPanel>(Form, L"Panel");
    panel->HandleNeeded();
    panel->Rec.OnCommand = [](TControl*, int, TMessage& m) { m.Result = 0x101; };
    // The control form reads the low byte; the window form wants exactly 1.
    EXPECT_TRUE(GetBoolMsg(panel, SMC_GET_UPDATING));
    EXPECT_FALSE(GetBoolMsg(panel->Handle(), SMC_GET_UPDATING));
    std::vector<int> arguments;
    panel->Rec.OnCommand = [&arguments](TControl*, int, TMessage& m) { arguments.push_back(m.WParamLo); };
    SetBoolMsg(panel->Handle(), SMC_SET_UPDATING, true);
    SetBoolMsg(panel->Handle(), SMC_SET_UPDATING, false);
    EXPECT_EQ(arguments, (std::vector<int>{1, 0}));
    // An ordinary window knows nothing of the library.
    TWinControl* plain = New<TPanel>(Form);
    plain->SetParent(Form);
    EXPECT_FALSE(GetBoolMsg(plain->Handle(), SMC_IS_SKINNED));
    EXPECT_EQ(SendAMessage(plain->Handle(), SMC_GET_PROVIDER), 0);
}

TEST_F(ControlUtils, BroadcastReachesSkinnedControlsInsideUnskinnedContainers)
{
    auto* plain = NewChild<TRecPanel>(Form, L"Plain");
    auto* inner = NewChild<TRecPanel>(plain, L"Inner", true);
    auto* innerGraphic = NewChild<TRecGraphic>(plain, L"InnerGraphic");
    auto* skinned = NewChild<TRecPanel>(Form, L"Skinned", true);
    auto* grandchild = NewChild<TRecPanel>(skinned, L"Grandchild", true);
    auto* noWindow = NewChild<TRecPanel>(Form, L"NoWindow", true);
    Form->HandleNeeded();
    plain->HandleNeeded();
    inner->HandleNeeded();
    skinned->HandleNeeded();
    grandchild->HandleNeeded();
    ::DestroyWindow(noWindow->Handle());  // a windowed control whose window is gone
    ASSERT_FALSE(noWindow->HandleAllocated());
    (void)innerGraphic;

    TMessage m = MakeMessage(SM_KORVEXCMD, MakeKorvexWParam(SMC_SKIN_SET), 77);
    KorvexBroadCast(Form, m);
    // A skinned container passes the message on itself; an unskinned one is
    // looked through; a control without its window is performed on.
    EXPECT_EQ(ReceiversOf(SMC_SKIN_SET), (std::vector<std::wstring>{L"Inner", L"InnerGraphic", L"Skinned", L"NoWindow"}));
    EXPECT_EQ(Log()[0].LParam, 77);
}

TEST_F(ControlUtils, BroadcastGoesOnPastAChildThatIsFreedMeanwhile)
{
    auto* first = NewChild<TRecGraphic>(Form, L"First");
    auto* second = NewChild<TRecGraphic>(Form, L"Second");
    NewChild<TRecGraphic>(Form, L"Third");
    first->Rec.OnCommand = [second](TControl*, int, TMessage&) {
        TObject* gone = second;
        FreeAndNil(gone);
    };
    TMessage m = MakeMessage(SM_KORVEXCMD, MakeKorvexWParam(SMC_SKIN_REFRESH), 0);
    KorvexBroadCast(Form, m);
    EXPECT_EQ(ReceiversOf(SMC_SKIN_REFRESH), (std::vector<std::wstring>{L"First", L"Third"}));
}

TEST_F(ControlUtils, BroadcastSkipsAChildBeingDestroyedAndReachesTheRest)
{
    auto* dying = NewChild<TRecGraphic>(Form, L"Dying");
    NewChild<TRecGraphic>(Form, L"After");
    dying->IncludeState(csDestroying);
    TMessage m = MakeMessage(SM_KORVEXCMD, MakeKorvexWParam(SMC_SKIN_REFRESH), 0);
    KorvexBroadCast(Form, m);
    EXPECT_EQ(ReceiversOf(SMC_SKIN_REFRESH), (std::vector<std::wstring>{L"After"}));
    dying->ExcludeState(csDestroying);
}

TEST_F(ControlUtils, WindowBroadcastsReachDirectChildrenOnly)
{
    auto* outer = NewChild<TRecPanel>(Form, L"Outer");
    NewChild<TRecPanel>(outer, L"Deep");
    NewChild<TRecPanel>(Form, L"Side");
    Form->HandleNeeded();
    for (int i = 0; i < Form->ControlCount(); ++i)
        static_cast<TWinControl*>(Form->Controls(i))->HandleNeeded();
    static_cast<TWinControl*>(outer->Controls(0))->HandleNeeded();

    TMessage m = MakeMessage(SM_KORVEXCMD, MakeKorvexWParam(SMC_BG_CHANGED), 0);
    KorvexBroadCast(Form->Handle(), m);
    auto direct = ReceiversOf(SMC_BG_CHANGED);
    std::sort(direct.begin(), direct.end());
    EXPECT_EQ(direct, (std::vector<std::wstring>{L"Outer", L"Side"}));

    Log().clear();
    SetParentUpdated(Form->Handle());
    direct = ReceiversOf(SMC_PARENT_UPDATED);
    std::sort(direct.begin(), direct.end());
    EXPECT_EQ(direct, (std::vector<std::wstring>{L"Outer", L"Side"}));
}

TEST_F(ControlUtils, ParentUpdatedGoesToShowingWindowsAndNonGraphicControls)
{
    auto* shown = NewChild<TRecPanel>(Form, L"Shown");
    auto* hidden = NewChild<TRecPanel>(Form, L"Hidden");
    NewChild<TRecGraphic>(Form, L"Graphic");
    hidden->SetVisible(false);
    Form->Show();
    shown->HandleNeeded();
    hidden->HandleNeeded();
    SetParentUpdated(Form);
    EXPECT_EQ(ReceiversOf(SMC_PARENT_UPDATED), (std::vector<std::wstring>{L"Shown"}));

    Log().clear();
    InAnimationProcess = true;
    SetParentUpdated(Form);
    InAnimationProcess = false;
    EXPECT_TRUE(Log().empty());
    Form->Hide();
}

TEST_F(ControlUtils, ControlColour)
{
    EXPECT_EQ(GetControlColor(static_cast<TControl*>(nullptr)), 0xFF00FFu);
    EXPECT_EQ(GetControlColor(static_cast<HWND>(nullptr)), 0xFF00FFu);
    auto* plain = NewChild<TRecGraphic>(Form, L"Plain");
    plain->SetColor(clBtnFace);
    EXPECT_EQ(GetControlColor(plain), ColorToRGB(clBtnFace));
    auto* skinned = NewChild<TRecGraphic>(Form, L"Skinned", true);
    skinned->Rec.OnCommand = [](TControl*, int cmd, TMessage& m) {
        if (cmd == SMC_GET_BG_COLOR)
            m.Result = 0x123456;
    };
    EXPECT_EQ(GetControlColor(skinned), 0x123456u);
}

TEST_F(ControlUtils, ReadinessAndGeometryQuestions)
{
    auto* panel = NewChild<TRecPanel>(Form, L"Panel");
    EXPECT_FALSE(ControlIsReady(panel));  // no window yet
    panel->HandleNeeded();
    EXPECT_TRUE(ControlIsReady(panel));
    panel->IncludeState(csLoading);
    EXPECT_FALSE(ControlIsReady(panel));
    panel->ExcludeState(csLoading);
    EXPECT_FALSE(ControlIsReady(nullptr));

    auto* box = NewChild<TRecPanel>(Form, L"Box");
    box->SetBounds(0, 0, 100, 100);
    EXPECT_EQ(GetCtrlRange(box, 0), 0);
    auto* child = NewChild<TRecGraphic>(box, L"Child");
    child->SetBounds(120, 5, 30, 10);
    EXPECT_EQ(GetCtrlRange(box, 0), 50);
    EXPECT_EQ(GetCtrlRange(box, 1), 10);
    EXPECT_EQ(GetCtrlRange(box, 2), 0);

    auto* top = NewChild<TRecPanel>(box, L"Top");
    top->SetAlign(alTop);
    top->SetHeight(12);
    child->SetAlign(alTop);
    EXPECT_EQ(GetAlignShift(box, alTop, false), 12);
    EXPECT_EQ(GetAlignShift(box, alTop, true), 12 + child->Height());
    EXPECT_EQ(GetAlignShift(box, alClient, true), 0);

    EXPECT_EQ(GetOwnerForm(child), Form);
    EXPECT_EQ(GetOwnerFrame(child), nullptr) << "a form is no frame";
    auto* frame = New<TFrame>(Form);
    auto* onFrame = New<TButton>(frame);
    EXPECT_EQ(GetOwnerFrame(onFrame), frame);
    EXPECT_EQ(GetOwnerFrame(frame), frame) << "the component itself counts";
    EXPECT_EQ(GetOwnerFrame(nullptr), nullptr);
    EXPECT_EQ(GetControlByName(Form, L"child"), child);
    EXPECT_EQ(GetControlByName(Form, L"Missing.Child"), nullptr);
    EXPECT_EQ(GetParentFormHandle(child->Parent()->Handle()), Form->Handle());
}

TEST_F(ControlUtils, AllEditSelectedOnlyForTheWholeText)
{
    auto* edit = New<TEdit>(Form);
    edit->SetParent(Form);
    edit->SetText(L"abcdef");
    edit->HandleNeeded();
    struct {
        int Start, Length;
        bool All;
    } cases[] = {{0, 6, true}, {0, 5, false}, {1, 5, false}, {0, 0, false}, {6, 0, false}};
    for (const auto& c : cases) {
        edit->SetSelStart(c.Start);
        edit->SetSelLength(c.Length);
        EXPECT_EQ(AllEditSelected(edit), c.All) << c.Start << "," << c.Length;
    }
    edit->SetText(L"");
    EXPECT_TRUE(AllEditSelected(edit)) << "nothing to leave out";
    EXPECT_FALSE(AllEditSelected(nullptr));
}

TEST_F(ControlUtils, ClientRectInWindowCoordinates)
{
    Form->SetBorderStyle(bsSizeable);
    RECT w{}, c{};
    ::GetWindowRect(Form->Handle(), &w);
    TRect r = KVClientRect(Form->Handle());
    POINT origin{0, 0};
    ::ClientToScreen(Form->Handle(), &origin);
    ::GetClientRect(Form->Handle(), &c);
    EXPECT_EQ(r.left, origin.x - w.left);
    EXPECT_EQ(r.top, origin.y - w.top);
    EXPECT_EQ(r.Width(), c.right);
}

TEST_F(ControlUtils, PaintControlsPutsGraphicChildrenOverTheParentsBackground)
{
    auto* parent = NewChild<TRecPanel>(Form, L"Parent");
    parent->SetBounds(0, 0, 60, 40);
    parent->SetColor(clWhite);
    auto* blue = NewChild<TRecGraphic>(parent, L"Blue");
    blue->SetBounds(4, 4, 10, 10);
    auto* hole = NewChild<TRecGraphic>(parent, L"Hole");
    hole->SetBounds(30, 4, 10, 10);
    hole->PaintColor = TColor(0xFF00FF);
    // Opaque children get their own colour behind them; the rest the parent's.
    parent->Rec.OnCommand = [](TControl*, int cmd, TMessage& m) {
        if (cmd == SMC_GET_BG_INFO) {
            auto* bg = reinterpret_cast<TkvBGInfo*>(m.LParam);
            bg->BgType = btFill;
            bg->Color = 0x00FFFF;
        }
    };
    parent->HandleNeeded();

    ScreenDC screen;
    MemoryDC dc(screen);
    GdiObject<HBITMAP> bmp(::CreateCompatibleBitmap(screen, 80, 60));
    SelectedObject sel(dc, bmp.Get());
    RECT all{0, 0, 80, 60};
    GdiObject<HBRUSH> red(::CreateSolidBrush(0x0000FF));
    ::FillRect(dc, &all, red.Get());

    PaintControls(dc, parent, false, TPoint{5, 5}, nullptr);
    EXPECT_EQ(PixelAt(dc, 5 + 4, 5 + 4), 0xFF0000u);   // blue child, offset into DC
    EXPECT_EQ(PixelAt(dc, 5 + 13, 5 + 13), 0xFF0000u);
    EXPECT_EQ(PixelAt(dc, 5 + 30, 5 + 4), 0x0000FFu);  // key-colour child left out
    EXPECT_EQ(PixelAt(dc, 4, 4), 0x0000FFu);           // nothing outside the children
}

TEST_F(ControlUtils, SkinPaintToPaintsAControlTreeIntoABitmap)
{
    auto* outer = NewChild<TRecPanel>(Form, L"Outer");
    outer->SetBounds(0, 0, 50, 40);
    outer->PaintColor = clRed;
    auto* inner = NewChild<TRecPanel>(outer, L"Inner");
    inner->SetBounds(10, 10, 20, 15);
    inner->PaintColor = clBlue;
    Form->HandleNeeded();

    TBitmap bmp(60, 50, pf24bit);
    SkinPaintTo(&bmp, outer, 0, 0, nullptr);
    const HDC dc = bmp.Canvas()->Handle();
    EXPECT_EQ(PixelAt(dc, 2, 2), ColorToRGB(clRed));
    EXPECT_EQ(PixelAt(dc, 15, 15), ColorToRGB(clBlue));
    EXPECT_EQ(PixelAt(dc, 29, 24), ColorToRGB(clBlue));
    EXPECT_EQ(PixelAt(dc, 30, 25), ColorToRGB(clRed));

    // A hidden control shows what its parent shows there.
    Form->SetColor(clYellow);
    inner->SetVisible(false);
    TBitmap hidden(30, 20, pf24bit);
    SkinPaintTo(&hidden, inner, 0, 0, nullptr);
    EXPECT_EQ(PixelAt(hidden.Canvas()->Handle(), 3, 3), ColorToRGB(outer->Color()));
}
