// Frames: scrolling containers that read their own form resource.
#include "classlib/controls/Forms.h"

TCustomFrame::TCustomFrame(TComponent* AOwner) : TScrollingWinControl(AOwner)
{
    FControlStyle = {csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
    FWidth = 320;
    FHeight = 240;
}

void TCustomFrame::AfterConstruction()
{
    TScrollingWinControl::AfterConstruction();
    // A frame made in code has no resource; one that has reads it, its own
    // components then belonging to the frame.
    UnicodeString cls = ClassName();
    if (cls != L"TFrame" && cls != L"TCustomFrame")
        InitInheritedComponent(this, L"TFrame");
}

KV_BEGIN_PUBLISHED(TCustomFrame, TScrollingWinControl)
    static_assert(sizeof(C) > 0); // all inherited
KV_END_PUBLISHED

KV_BEGIN_PUBLISHED(TFrame, TCustomFrame)
    static_assert(sizeof(C) > 0); // all inherited
KV_END_PUBLISHED
