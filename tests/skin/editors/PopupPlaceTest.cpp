// Where an edit's pop-up opens, for monitors anywhere on the desktop.
#include <gtest/gtest.h>

#include "skin/editors/sCustomComboEdit_Popup.h"

namespace {

TEST(PopupWindowPlace, BelowAboveAndAlignedInsideTheMonitor)
{
    const TRect primary = Rect(0, 0, 1024, 740);
    const TRect left = Rect(-1280, 0, 0, 984);        // a monitor left of the primary
    const TRect above = Rect(200, -768, 1224, -40);   // one above it
    struct Case {
        const char* What;
        TRect Edit;
        TSize Popup;
        TPopupWindowAlign Align;
        TRect Work;
        TPoint Place;
    };
    const Case cases[] = {
        {"below, right edges", Bounds(300, 100, 120, 21), {200, 150}, pwaRight, primary, {220, 121}},
        {"below, left edges", Bounds(300, 100, 120, 21), {200, 150}, pwaLeft, primary, {300, 121}},
        {"no room below: above", Bounds(300, 650, 120, 21), {200, 150}, pwaRight, primary, {220, 500}},
        {"right edges would leave on the left: left edges", Bounds(10, 100, 120, 21), {200, 150}, pwaRight, primary,
         {10, 121}},
        {"left edges would leave on the right: right edges", Bounds(900, 100, 120, 21), {200, 150}, pwaLeft, primary,
         {820, 121}},
        {"edit partly off the monitor: kept inside", Bounds(950, 100, 120, 21), {200, 150}, pwaRight, primary,
         {824, 121}},
        // The monitor left of the primary has negative coordinates: the
        // pop-up stays on it, not pushed to the primary's left edge.
        {"left monitor, below", Bounds(-700, 300, 120, 21), {200, 150}, pwaRight, left, {-780, 321}},
        {"left monitor, at its left edge", Bounds(-1275, 300, 120, 21), {200, 150}, pwaRight, left, {-1275, 321}},
        {"left monitor, near its bottom", Bounds(-700, 900, 120, 21), {200, 150}, pwaLeft, left, {-700, 750}},
        // Above the primary: negative tops; the work area's bottom, not the
        // pop-up's height, decides whether it fits below.
        {"upper monitor, below", Bounds(500, -600, 120, 21), {200, 150}, pwaRight, above, {420, -579}},
        {"upper monitor, no room below", Bounds(500, -100, 120, 21), {200, 150}, pwaRight, above, {420, -250}},
        // Taller than the room on either side: on the roomier side, kept inside.
        {"fits neither way", Bounds(300, 300, 120, 21), {200, 500}, pwaRight, primary, {220, 240}},
        {"taller than the monitor", Bounds(300, 300, 120, 21), {200, 900}, pwaRight, primary, {220, 0}},
    };
    for (const Case& c : cases) {
        TPoint p = PopupWindowPlace(c.Edit, c.Popup, c.Align, c.Work);
        EXPECT_EQ(p.x, c.Place.x) << c.What;
        EXPECT_EQ(p.y, c.Place.y) << c.What;
    }
}

TEST(PopupWindowPlace, WorkAreaOfTheEditsMonitor)
{
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_EQ(MonitorWorkAreaOf(Bounds(10, 10, 100, 20)), TRect(work));
    // Off every monitor: the nearest one's.
    EXPECT_FALSE(MonitorWorkAreaOf(Bounds(-50000, -50000, 10, 10)).IsEmpty());
}

} // namespace
