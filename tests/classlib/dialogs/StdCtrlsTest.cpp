#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <memory>
#include <vector>

#include "classlib/controls/ExtCtrls.h"
#include "classlib/controls/Forms.h"
#include "classlib/controls/StdCtrls.h"

namespace {

TOwned<TForm> NewForm()
{
    TOwned<TForm> f(TForm::CreateNew(nullptr));
    f->SetBounds(0, 0, 400, 300);
    return f;
}

struct TClickCounter : TObject {
    int Clicks = 0;
    void Click(TObject*) { ++Clicks; }
};

UnicodeString WindowClassOf(HWND wnd)
{
    wchar_t name[64] = {};
    GetClassNameW(wnd, name, 64);
    return name;
}

} // namespace

TEST(Button, SuperclassOfTheSystemButtonWithItsStyles)
{
    TOwned<TForm> form = NewForm();
    TButton* plain = New<TButton>(form.get());
    plain->SetParent(form.get());
    TButton* def = New<TButton>(form.get());
    def->SetParent(form.get());
    def->SetDefault(true);
    def->SetWordWrap(true);

    EXPECT_EQ(WindowClassOf(plain->Handle()), L"TButton");
    EXPECT_EQ(plain->Width(), 75);
    EXPECT_EQ(plain->Height(), 25);
    EXPECT_EQ(GetWindowLongW(plain->Handle(), GWL_STYLE) & BS_TYPEMASK, BS_PUSHBUTTON);
    LONG style = GetWindowLongW(def->Handle(), GWL_STYLE);
    EXPECT_EQ(style & BS_TYPEMASK, BS_DEFPUSHBUTTON);
    EXPECT_TRUE(style & BS_MULTILINE);
}

TEST(Button, ClickSetsTheFormsModalResultAndCallsOnClick)
{
    TOwned<TForm> form = NewForm();
    TClickCounter counter;
    TButton* save = New<TButton>(form.get());
    save->SetParent(form.get());
    save->SetCaption(L"저장");
    save->SetModalResult(mrYes);
    save->OnClick = Bind(&counter, &TClickCounter::Click);

    SendMessageW(save->Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(counter.Clicks, 1);
    EXPECT_EQ(form->ModalResult(), mrYes);
    wchar_t text[16] = {};
    GetWindowTextW(save->Handle(), text, 16);
    EXPECT_STREQ(text, L"저장");
}

TEST(Button, DialogKeysClickOnlyTheDefaultAndCancelButtons)
{
    TOwned<TForm> form = NewForm();
    TClickCounter plainClicks, defClicks, cancelClicks;
    auto make = [&](TClickCounter& c) {
        TButton* b = New<TButton>(form.get());
        b->SetParent(form.get());
        b->OnClick = Bind(&c, &TClickCounter::Click);
        return b;
    };
    TButton* plain = make(plainClicks);
    TButton* def = make(defClicks);
    TButton* cancel = make(cancelClicks);
    def->SetDefault(true);
    cancel->SetCancel(true);
    form->Show();   // a hidden button cannot take a key

    struct Case {
        TButton* button;
        WPARAM key;
        LRESULT result;
    } cases[] = {
        {plain, VK_RETURN, 0}, {plain, VK_ESCAPE, 0}, {def, VK_ESCAPE, 0},
        {def, VK_RETURN, 1},   {cancel, VK_RETURN, 0}, {cancel, VK_ESCAPE, 1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.button->Perform(CM_DIALOGKEY, c.key, 0), c.result) << c.key;
    EXPECT_EQ(plainClicks.Clicks, 0);
    EXPECT_EQ(defClicks.Clicks, 1);
    EXPECT_EQ(cancelClicks.Clicks, 1);
}

TEST(Button, TheFocusedButtonTakesTheDefaultsPartUntilFocusLeavesTheButtons)
{
    TOwned<TForm> form = NewForm();
    TClickCounter defClicks, otherClicks;
    TButton* def = New<TButton>(form.get());
    def->SetParent(form.get());
    def->OnClick = Bind(&defClicks, &TClickCounter::Click);
    TButton* other = New<TButton>(form.get());
    other->SetParent(form.get());
    other->SetLeft(100);
    other->OnClick = Bind(&otherClicks, &TClickCounter::Click);
    TEdit* edit = New<TEdit>(form.get());
    edit->SetParent(form.get());
    edit->SetTop(50);
    form->Show();
    def->SetDefault(true);   // made default once its window exists

    auto isDefStyle = [](TButton* b) { return (GetWindowLongW(b->Handle(), GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON; };
    struct Step {
        TWinControl* focus;
        bool defShown, otherShown;
        TButton* enterClicks;
    } steps[] = {
        {edit, true, false, def},
        {other, false, true, other},
        {edit, true, false, def},
    };
    for (const Step& step : steps) {
        step.focus->SetFocus();
        EXPECT_EQ(isDefStyle(def), step.defShown) << step.focus->ClassName();
        EXPECT_EQ(isDefStyle(other), step.otherShown) << step.focus->ClassName();
        EXPECT_EQ(def->Perform(CM_DIALOGKEY, VK_RETURN, 0), step.enterClicks == def ? 1 : 0);
        EXPECT_EQ(other->Perform(CM_DIALOGKEY, VK_RETURN, 0), step.enterClicks == other ? 1 : 0);
    }
    EXPECT_EQ(defClicks.Clicks, 2);
    EXPECT_EQ(otherClicks.Clicks, 1);
}

TEST(Label, AutoSizeFollowsTheCaption)
{
    TOwned<TForm> form = NewForm();
    TLabel* label = New<TLabel>(form.get());
    label->SetParent(form.get());
    label->SetBounds(10, 10, 200, 100);

    label->SetCaption(L"Hi");
    int shortWidth = label->Width(), lineHeight = label->Height();
    EXPECT_GT(shortWidth, 0);
    EXPECT_LT(lineHeight, 100);
    label->SetCaption(L"이 파일을 실행 또는 저장하시겠습니까?");
    EXPECT_GT(label->Width(), shortWidth);
    EXPECT_EQ(label->Height(), lineHeight);
    label->SetCaption(L"");
    EXPECT_EQ(label->Height(), lineHeight) << "an empty caption keeps one line";
    label->SetCaption(L"two\nlines");
    EXPECT_EQ(label->Height(), 2 * lineHeight);

    label->Font()->SetHeight(-30);
    EXPECT_GT(label->Height(), 2 * lineHeight) << "a font change resizes";

    label->SetAutoSize(false);
    label->SetBounds(10, 10, 30, 20);
    label->SetCaption(L"a much longer caption than before");
    EXPECT_EQ(label->BoundsRect(), Bounds(10, 10, 30, 20));
}

TEST(Label, WordWrapKeepsTheWidthAndRightAlignmentKeepsTheRightEdge)
{
    TOwned<TForm> form = NewForm();
    TLabel* wrap = New<TLabel>(form.get());
    wrap->SetParent(form.get());
    wrap->SetCaption(L"x");
    int lineHeight = wrap->Height();
    wrap->SetAutoSize(false);
    wrap->SetWidth(60);
    wrap->SetWordWrap(true);
    wrap->SetCaption(L"several words that cannot fit in sixty pixels");
    wrap->SetAutoSize(true);
    EXPECT_LE(wrap->Width(), 60) << "wrapped lines, not one long line";
    EXPECT_GT(wrap->Width(), 30);
    EXPECT_GT(wrap->Height(), 2 * lineHeight);

    TLabel* right = New<TLabel>(form.get());
    right->SetParent(form.get());
    right->SetAlignment(taRightJustify);
    right->SetCaption(L"ab");
    int edge = right->BoundsRect().right;
    right->SetCaption(L"abcdefghij");
    EXPECT_EQ(right->BoundsRect().right, edge);
    EXPECT_LT(right->Left(), edge - 20);
}

TEST(Label, NotSizedWhileReadButWhenLoaded)
{
    TOwned<TForm> form = NewForm();
    TLabel* label = New<TLabel>(form.get());
    label->SetParent(form.get());
    label->IncludeState(csReading);
    label->IncludeState(csLoading);
    label->SetBounds(20, 16, 300, 40);
    label->SetCaption(L"Label1");
    EXPECT_EQ(label->Width(), 300);
    label->ExcludeState(csReading);
    label->Loaded();
    EXPECT_LT(label->Width(), 300);
    EXPECT_EQ(label->Left(), 20);
}

namespace {

// What a painted form shows apart from a background colour: the box around
// the other pixels (text is smoothed, so any other shade counts) and the
// darkest red among them.
struct TInk {
    TRect Box;
    int MinRed = 255;
};

TInk PaintedInk(TWinControl* Form, int Width, int Height, TColor Background)
{
    TBitmap* bmp = New<TBitmap>();
    bmp->SetPixelFormat(pf24bit);
    bmp->SetSize(Width, Height);
    Form->PaintTo(bmp->Canvas()->Handle(), 0, 0);
    HDC dc = bmp->Canvas()->Handle();
    COLORREF bg = ColorToRGB(Background);
    TInk ink;
    ink.Box = TRect(INT_MAX, INT_MAX, INT_MIN, INT_MIN);
    for (int y = 0; y < Height; ++y)
        for (int x = 0; x < Width; ++x) {
            COLORREF c = GetPixel(dc, x, y);
            if (c == bg)
                continue;
            ink.Box = TRect(std::min<int>(ink.Box.left, x), std::min<int>(ink.Box.top, y),
                            std::max<int>(ink.Box.right, x + 1), std::max<int>(ink.Box.bottom, y + 1));
            ink.MinRed = std::min<int>(ink.MinRed, GetRValue(c));
        }
    FreeAndNil(bmp);
    if (ink.Box.left == INT_MAX)
        ink.Box = TRect();
    return ink;
}

} // namespace

TEST(Label, PaintsItsTextWhereAlignmentAndLayoutPutIt)
{
    // The label covers (10,10)-(110,70) of the form; its text is a small block.
    struct Case {
        TAlignment alignment;
        TTextLayout layout;
        bool left, right, top, bottom;   // the text hugs these sides (4 px)
    } cases[] = {
        {taLeftJustify, tlTop, true, false, true, false},
        {taRightJustify, tlBottom, false, true, false, true},
        {taCenter, tlCenter, false, false, false, false},
    };
    for (const Case& c : cases) {
        TOwned<TForm> form = NewForm();
        form->SetColor(clWhite);
        TLabel* label = New<TLabel>(form.get());
        label->SetParent(form.get());
        label->SetAutoSize(false);
        label->SetBounds(10, 10, 100, 60);
        label->SetCaption(L"WW");
        label->SetAlignment(c.alignment);
        label->SetLayout(c.layout);

        TRect ink = PaintedInk(form.get(), 200, 100, clWhite).Box;
        SCOPED_TRACE(testing::Message() << "alignment " << c.alignment << " layout " << c.layout);
        ASSERT_FALSE(IsRectEmpty(&ink));
        EXPECT_TRUE(ink.left >= 10 && ink.right <= 110 && ink.top >= 10 && ink.bottom <= 70);
        EXPECT_EQ(ink.left - 10 <= 4, c.left);
        EXPECT_EQ(110 - ink.right <= 4, c.right);
        EXPECT_EQ(ink.top - 10 <= 4, c.top);
        EXPECT_EQ(70 - ink.bottom <= 4, c.bottom);
        if (!c.left && !c.right) {
            EXPECT_LE(std::abs((ink.left - 10) - (110 - ink.right)), 2);
        }
        if (!c.top && !c.bottom) {
            EXPECT_LE(std::abs((ink.top - 10) - (70 - ink.bottom)), 4);
        }
    }
}

TEST(Label, OpaqueFillsItsColourTransparentLeavesTheParentsDisabledIsEmbossed)
{
    TOwned<TForm> form = NewForm();
    form->SetColor(clWhite);
    TLabel* label = New<TLabel>(form.get());
    label->SetParent(form.get());
    label->SetAutoSize(false);
    label->SetBounds(10, 10, 60, 30);
    label->SetCaption(L"WW");
    label->SetColor(clYellow);
    label->Font()->SetColor(clBlack);

    TInk opaque = PaintedInk(form.get(), 100, 60, clWhite);
    EXPECT_EQ(opaque.Box, Bounds(10, 10, 60, 30)) << "the label's colour fills it";
    label->SetTransparent(true);
    TInk clear = PaintedInk(form.get(), 100, 60, clWhite);
    ASSERT_FALSE(IsRectEmpty(&clear.Box));
    EXPECT_TRUE(clear.Box.left > 10 || clear.Box.right < 70) << "only the text shows";
    EXPECT_LT(clear.MinRed, 0x60) << "in the font's colour";

    // Disabled: the text in the shadow colour, a highlight copy a pixel
    // right and down, nothing in the font's colour.
    label->SetEnabled(false);
    form->SetColor(clYellow);
    TInk disabled = PaintedInk(form.get(), 100, 60, clYellow);
    EXPECT_EQ(disabled.Box.left, clear.Box.left);
    EXPECT_EQ(disabled.Box.top, clear.Box.top);
    EXPECT_EQ(disabled.Box.right, clear.Box.right + 1);
    EXPECT_EQ(disabled.Box.bottom, clear.Box.bottom + 1);
    EXPECT_GE(disabled.MinRed, int(GetRValue(ColorToRGB(clBtnShadow))));
}

// A descendant that goes on drawing on the canvas after the label's own
// text finds the canvas's text colour as it was (the canvas does not set it
// again while its font stays selected).
TEST(Label, DrawingItsTextLeavesTheCanvasTextColourAsItWas)
{
    struct TDrawsOn : TLabel {
        explicit TDrawsOn(TComponent* AOwner) : TLabel(AOwner) {}
        COLORREF Before = 0, After = 1;
        void Paint() override
        {
            Canvas()->TextWidth(L"x"); // the canvas's font and colour are selected
            HDC dc = Canvas()->Handle();
            Before = GetTextColor(dc);
            TLabel::Paint();
            After = GetTextColor(dc);
        }
    };
    TOwned<TForm> form = NewForm();
    auto* label = New<TDrawsOn>(form.get());
    label->SetParent(form.get());
    label->SetCaption(L"WW");
    for (bool enabled : {true, false}) {
        label->SetEnabled(enabled);
        PaintedInk(form.get(), 100, 60, clWhite);
        EXPECT_EQ(label->After, label->Before) << "enabled " << enabled;
    }
}

TEST(Panel, BevelsAndBorderPaintInsideTheClientArea)
{
    struct Case {
        TBevelCut outer, inner;
        int bevelWidth, borderWidth;
        // pixel positions along the diagonal and their expected colours
        std::vector<std::pair<int, TColor>> diagonal;
        TColor bottomRight;
        TRect childBounds;   // of an alClient child
    } cases[] = {
        {bvRaised, bvNone, 1, 0, {{0, clBtnHighlight}, {1, clBtnFace}}, clBtnShadow, Bounds(1, 1, 48, 28)},
        {bvLowered, bvNone, 1, 0, {{0, clBtnShadow}, {1, clBtnFace}}, clBtnHighlight, Bounds(1, 1, 48, 28)},
        {bvNone, bvNone, 1, 0, {{0, clBtnFace}}, clBtnFace, Bounds(0, 0, 50, 30)},
        {bvRaised, bvLowered, 2, 3,
         {{0, clBtnHighlight}, {1, clBtnHighlight}, {2, clBtnFace}, {4, clBtnFace}, {5, clBtnShadow},
          {6, clBtnShadow}, {7, clBtnFace}},
         clBtnShadow, Bounds(7, 7, 36, 16)},
    };
    for (const Case& c : cases) {
        TOwned<TForm> form = NewForm();
        TPanel* panel = New<TPanel>(form.get());
        panel->SetParent(form.get());
        panel->SetBounds(0, 0, 50, 30);
        panel->SetCaption(L"");
        panel->SetBevelOuter(c.outer);
        panel->SetBevelInner(c.inner);
        panel->SetBevelWidth(c.bevelWidth);
        panel->SetBorderWidth(c.borderWidth);
        TPanel* child = New<TPanel>(form.get());
        child->SetParent(panel);
        child->SetAlign(alClient);
        child->SetVisible(false);
        EXPECT_EQ(child->BoundsRect(), c.childBounds) << c.outer << c.inner;

        TBitmap* bmp = New<TBitmap>();
        bmp->SetPixelFormat(pf24bit);
        bmp->SetSize(50, 30);
        panel->PaintTo(bmp->Canvas()->Handle(), 0, 0);
        HDC dc = bmp->Canvas()->Handle();
        for (auto [at, color] : c.diagonal)
            EXPECT_EQ(GetPixel(dc, at, at), COLORREF(ColorToRGB(color))) << c.outer << c.inner << " at " << at;
        EXPECT_EQ(GetPixel(dc, 49, 29), COLORREF(ColorToRGB(c.bottomRight))) << c.outer << c.inner;
        FreeAndNil(bmp);
    }
}

TEST(Panel, CaptionCentredVerticallyAlignedAcrossHiddenWithoutShowCaption)
{
    struct Case {
        TAlignment alignment;
        bool showCaption;
    } cases[] = {{taCenter, true}, {taLeftJustify, true}, {taRightJustify, true}, {taCenter, false}};
    for (const Case& c : cases) {
        TOwned<TForm> form = NewForm();
        TPanel* panel = New<TPanel>(form.get());
        panel->SetParent(form.get());
        panel->SetBounds(0, 0, 120, 40);
        panel->SetBevelOuter(bvNone);
        panel->SetColor(clWhite);
        panel->SetCaption(L"WW");
        panel->SetAlignment(c.alignment);
        panel->SetShowCaption(c.showCaption);
        TRect ink = PaintedInk(panel, 120, 40, clWhite).Box;
        SCOPED_TRACE(testing::Message() << "alignment " << c.alignment << " shown " << c.showCaption);
        if (!c.showCaption) {
            EXPECT_TRUE(IsRectEmpty(&ink));
            continue;
        }
        ASSERT_FALSE(IsRectEmpty(&ink));
        EXPECT_LE(std::abs(ink.top - (40 - ink.bottom)), 4) << "centred vertically";
        int leftGap = ink.left, rightGap = 120 - ink.right;
        if (c.alignment == taLeftJustify)
            EXPECT_LE(leftGap, 3);
        else if (c.alignment == taRightJustify)
            EXPECT_LE(rightGap, 3);
        else
            EXPECT_LE(std::abs(leftGap - rightGap), 2);
    }
}

TEST(Panel, PublishedDefaultsAsFormResourcesExpect)
{
    TPanel* panel = New<TPanel>(nullptr);
    EXPECT_EQ(GetEnumProp(panel, L"BevelOuter"), L"bvRaised");
    EXPECT_EQ(GetEnumProp(panel, L"BevelInner"), L"bvNone");
    EXPECT_EQ(GetIntProp(panel, L"BevelWidth"), 1);
    EXPECT_TRUE(panel->ParentBackground());
    EXPECT_EQ(panel->Color(), clBtnFace);
    SetEnumProp(panel, L"BevelOuter", L"bvNone");
    EXPECT_EQ(panel->BevelOuter(), bvNone);
    EXPECT_TRUE(IsPublishedProp(panel, L"ShowCaption"));
    TObject* o = panel;
    FreeAndNil(o);
}

namespace {
// A label that logs the calls of DoDrawText, as a label drawing its own
// text in an override sees them.
class TLoggingLabel : public TLabel {
public:
    explicit TLoggingLabel(TComponent* AOwner) : TLabel(AOwner) {}
    struct Call {
        UINT Flags;
        TRect Given, Result;
    };
    std::vector<Call> Calls;

protected:
    void DoDrawText(TRect& Rect, UINT Flags) override
    {
        TRect given = Rect;
        TLabel::DoDrawText(Rect, Flags);
        Calls.push_back({Flags, given, Rect});
    }
};

// A bitmap of Width x Height filled white.
std::unique_ptr<TBitmap> WhiteBitmap(int Width, int Height)
{
    auto bmp = std::make_unique<TBitmap>();
    bmp->SetPixelFormat(pf24bit);
    bmp->SetSize(Width, Height);
    RECT all{0, 0, Width, Height};
    FillRect(bmp->Canvas()->Handle(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    return bmp;
}

bool SamePixels(TBitmap* A, TBitmap* B, int Width, int Height)
{
    for (int y = 0; y < Height; ++y)
        for (int x = 0; x < Width; ++x)
            if (GetPixel(A->Canvas()->Handle(), x, y) != GetPixel(B->Canvas()->Handle(), x, y))
                return false;
    return true;
}
} // namespace

TEST(Label, DoDrawTextMeasuresForTheSizeAndTheLayoutThenDraws)
{
    TOwned<TForm> form = NewForm();
    auto* label = New<TLoggingLabel>(form.get());
    label->SetParent(form.get());
    label->SetCaption(L"Hello");
    // AutoSize measured the caption: the label has the measured size.
    ASSERT_FALSE(label->Calls.empty());
    TLoggingLabel::Call measured = label->Calls.back();
    EXPECT_TRUE(measured.Flags & DT_CALCRECT);
    EXPECT_EQ(label->Width(), measured.Result.right);
    EXPECT_EQ(label->Height(), measured.Result.bottom);
    int lineHeight = label->Height();

    label->SetAutoSize(false);
    label->SetBounds(0, 0, 100, 60);
    label->SetWordWrap(true);
    auto bmp = WhiteBitmap(100, 60);
    struct Case {
        TTextLayout Layout;
        size_t Calls;
        int Top;
    } cases[] = {{tlTop, 1, 0}, {tlCenter, 2, (60 - lineHeight) / 2}, {tlBottom, 2, 60 - lineHeight}};
    for (const Case& c : cases) {
        label->SetLayout(c.Layout);
        label->Calls.clear();
        label->Perform(WM_PAINT, reinterpret_cast<WPARAM>(bmp->Canvas()->Handle()), 0);
        ASSERT_EQ(label->Calls.size(), c.Calls) << c.Layout;
        if (c.Calls == 2) {
            EXPECT_TRUE(label->Calls[0].Flags & DT_CALCRECT);
        }
        const TLoggingLabel::Call& drawn = label->Calls.back();
        EXPECT_FALSE(drawn.Flags & DT_CALCRECT);
        EXPECT_TRUE(drawn.Flags & DT_WORDBREAK);
        EXPECT_EQ(drawn.Given.top, c.Top) << c.Layout;
        EXPECT_EQ(drawn.Given.Width(), 100);
    }
}

TEST(Label, AFixedSizeLabelShortensItsCaptionWhereItsEllipsisSays)
{
    TOwned<TForm> form = NewForm();
    TLabel* label = New<TLabel>(form.get());
    label->SetParent(form.get());
    label->SetAutoSize(false);
    label->SetTransparent(false);
    label->SetColor(clWhite);
    label->Font()->SetColor(clBlack);
    label->SetBounds(0, 0, 60, 20);
    const UnicodeString caption = L"C:\\folder\\another folder\\file name.txt";
    label->SetCaption(caption);
    struct Case {
        TEllipsisPosition Position;
        UINT Flags;
    } cases[] = {{epEndEllipsis, DT_END_ELLIPSIS}, {epPathEllipsis, DT_PATH_ELLIPSIS}, {epWordEllipsis, DT_WORD_ELLIPSIS}};
    for (const Case& c : cases) {
        label->SetEllipsisPosition(c.Position);
        auto drawn = WhiteBitmap(60, 20);
        label->Perform(WM_PAINT, reinterpret_cast<WPARAM>(drawn->Canvas()->Handle()), 0);
        auto expected = WhiteBitmap(60, 20);
        HDC dc = expected->Canvas()->Handle();
        HGDIOBJ old = SelectObject(dc, label->Font()->Handle());
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, RGB(0, 0, 0));
        RECT r{0, 0, 60, 20};
        DrawTextW(dc, caption.c_str(), int(caption.size()), &r, c.Flags);
        SelectObject(dc, old);
        EXPECT_TRUE(SamePixels(drawn.get(), expected.get(), 60, 20)) << c.Position;
    }
    // A label that sizes itself shows the whole caption.
    label->SetAutoSize(true);
    EXPECT_GT(label->Width(), 60);
}
