// Push buttons' geometry and painting state as tables, text sizes given.
#include <gtest/gtest.h>

#include "skin/controls/sButton_Layout.h"

namespace {

std::string Str(const TRect& R)
{
    return "(" + std::to_string(R.left) + "," + std::to_string(R.top) + "," + std::to_string(R.right) + "," +
           std::to_string(R.bottom) + ")";
}

} // namespace

TEST(PushButtonState, PressedOnlyWhileTheMouseIsOverTheHeldButtonHotWhenDefaultOrActive)
{
    struct Case {
        const char* What;
        TsPushStateFacts F;
        int State;
    } cases[] = {
        {"nothing", {}, 0},
        {"pushed by the keyboard", {.Pushed = true}, 2},
        {"held, mouse over", {.Pushed = true, .MouseAbove = true, .LButtonDownHeld = true}, 2},
        {"held, mouse dragged off", {.Pushed = true, .LButtonDownHeld = true}, 0},
        {"held off, but focused", {.Pushed = true, .LButtonDownHeld = true, .IsFocused = true}, 1},
        {"cut-short fade redrawn", {.ForcedPressed = true}, 2},
        {"Down without the mouse", {.LButtonDownHeld = true, .Down = true}, 2},
        {"default or focused", {.IsFocused = true}, 1},
        {"default push style", {.DefPushStyle = true}, 1},
        {"under the mouse", {.ControlActive = true}, 1},
        {"Default while designed", {.DesigningDefault = true}, 1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PushButtonState(c.F), c.State) << c.What;
}

TEST(ButtonCaptionRect, CentredOnePixelWiderLeftTwoRightAndMovedWhenPressed)
{
    EXPECT_EQ(Str(ButtonCaptionRect(75, 25, TSize(40, 13), false)), "(16,6,60,19)");
    EXPECT_EQ(Str(ButtonCaptionRect(75, 25, TSize(40, 13), true)), "(17,7,61,20)");
    // Text wider than the button: the rectangle grows past both edges.
    EXPECT_EQ(Str(ButtonCaptionRect(20, 10, TSize(30, 10), false)), "(-6,0,27,10)");
}

TEST(BitBtnImgRect, EveryLayoutAlignmentPressedAndReflected)
{
    // 100 x 40, glyph 16 x 12, text 30 x 14, spacing 4: the glyph, the
    // spacing and the text make a 50-wide, 30-high group.
    TsBitBtnGeometry base;
    base.Width = 100;
    base.Height = 40;
    base.Text = TSize(30, 14);
    base.GlyphWidth = 16;
    base.GlyphHeight = 12;
    base.HasCaption = true;
    struct Case {
        TButtonLayout Layout;
        TAlignment Alignment;
        int Margin;
        int X, Y;
    } cases[] = {
        {blGlyphLeft, taLeftJustify, -1, 0, 14},
        {blGlyphLeft, taCenter, -1, 25, 14},
        {blGlyphLeft, taRightJustify, -1, 50, 14},
        {blGlyphRight, taLeftJustify, -1, 30, 14},
        {blGlyphRight, taCenter, -1, 59, 14},
        {blGlyphRight, taRightJustify, -1, 84, 14},
        {blGlyphTop, taCenter, -1, 43, 5},
        {blGlyphBottom, taCenter, -1, 43, 23},
        // A margin of 2 keeps 5 pixels from the edge; centring ignores it.
        {blGlyphLeft, taLeftJustify, 2, 5, 14},
        {blGlyphLeft, taCenter, 2, 25, 14},
        {blGlyphLeft, taRightJustify, 2, 45, 14},
        {blGlyphRight, taRightJustify, 2, 79, 14},
        {blGlyphTop, taLeftJustify, 2, 43, 5},
        {blGlyphBottom, taRightJustify, 2, 43, 23},
    };
    for (const Case& c : cases)
        for (bool pressed : {false, true})
            for (bool reflected : {false, true}) {
                TsBitBtnGeometry g = base;
                g.Layout = c.Layout;
                g.Alignment = c.Alignment;
                g.Margin = c.Margin;
                g.Pressed = pressed;
                g.Reflected = reflected;
                int x = c.X + (pressed ? 1 : 0);
                int y = c.Y + (pressed ? 1 : 0) - (reflected ? 16 / 6 : 0);
                EXPECT_EQ(Str(BitBtnImgRect(g)), Str(TRect(x, y, x + 16, y + 12)))
                    << "layout " << c.Layout << " alignment " << c.Alignment << " margin " << c.Margin
                    << (pressed ? " pressed" : "") << (reflected ? " reflected" : "");
            }
}

TEST(BitBtnImgRect, WithoutACaptionShownTheGlyphIsCentredWithoutSpacing)
{
    TsBitBtnGeometry g;
    g.Width = 100;
    g.Height = 40;
    g.GlyphWidth = 16;
    g.GlyphHeight = 12;
    for (bool hidden : {false, true}) {
        g.HasCaption = hidden;     // a caption that is not shown counts as none
        g.ShowCaption = !hidden;
        EXPECT_EQ(Str(BitBtnImgRect(g)), "(42,14,58,26)");
        g.Layout = blGlyphTop;
        EXPECT_EQ(Str(BitBtnImgRect(g)), "(43,14,59,26)");
        g.Layout = blGlyphLeft;
    }
}

TEST(BitBtnLayout, CaptionWidthAndGlyphSizePrecedence)
{
    TsBitBtnGeometry g;
    g.Width = 100;
    g.GlyphWidth = 16;
    g.HasCaption = true;
    struct Case {
        TButtonLayout Layout;
        int Margin, GlyphWidth;
        bool ShowCaption, HasCaption;
        int Width;
    } cases[] = {
        {blGlyphLeft, -1, 16, true, true, 82},   // margin -1 widens by 2
        {blGlyphRight, 3, 16, true, true, 74},
        {blGlyphTop, 3, 16, true, true, 94},     // the glyph is not beside the text
        {blGlyphLeft, -1, 0, true, true, 102},   // no glyph, no spacing
        {blGlyphLeft, -1, 16, false, true, 0},
        {blGlyphLeft, -1, 16, true, false, 0},
    };
    for (const Case& c : cases) {
        g.Layout = c.Layout;
        g.Margin = c.Margin;
        g.GlyphWidth = c.GlyphWidth;
        g.ShowCaption = c.ShowCaption;
        g.HasCaption = c.HasCaption;
        EXPECT_EQ(BitBtnMaxCaptionWidth(g), c.Width) << c.Layout << " " << c.Margin << " " << c.GlyphWidth;
    }

    // The image list wins over the glyph bitmap; frames divide the width.
    EXPECT_EQ(BitBtnGlyphSize(true, TSize(32, 16), TSize(64, 20), 2), TSize(16, 16));
    EXPECT_EQ(BitBtnGlyphSize(false, TSize(32, 16), TSize(64, 20), 4), TSize(16, 20));
    EXPECT_EQ(BitBtnGlyphSize(false, TSize(32, 16), TSize(), 1), TSize());
    EXPECT_EQ(BitBtnGlyphSize(false, TSize(), TSize(30, 10), 0), TSize(30, 10)) << "no frame count is one frame";
}

TEST(OldCornerRects, TheThreeCornersAShrunkButtonLeavesBehind)
{
    auto r = OldCornerRects(TRect(10, 20, 110, 45), 3, 4, 5, 6);
    EXPECT_EQ(Str(r[0]), "(105,20,110,24)");
    EXPECT_EQ(Str(r[1]), "(105,39,110,45)");
    EXPECT_EQ(Str(r[2]), "(10,39,13,45)");
    EXPECT_TRUE(ButtonShrank(TRect(0, 0, 75, 25), 74, 25));
    EXPECT_TRUE(ButtonShrank(TRect(0, 0, 75, 25), 80, 24));
    EXPECT_FALSE(ButtonShrank(TRect(0, 0, 75, 25), 75, 25));
    EXPECT_FALSE(ButtonShrank(TRect(0, 0, 75, 25), 90, 30));
}
