// Bidirectional text: BiDiMode, its inheritance from the parent, and what it
// changes in drawing flags and window styles.
#include "classlib/controls/Controls.h"

#include "classlib/rtl/SysUtils.h"

void TControl::SetBiDiMode(TBiDiMode Value)
{
    if (FBiDiMode == Value)
        return;
    FBiDiMode = Value;
    FParentBiDiMode = false;
    Perform(CM_BIDIMODECHANGED, 0, 0);
}

void TControl::SetParentBiDiMode(bool Value)
{
    if (FParentBiDiMode == Value)
        return;
    FParentBiDiMode = Value;
    if (FParent && Value)
        Perform(CM_PARENTBIDIMODECHANGED, 0, 0);
}

void TControl::CMBiDiModeChanged(TMessage&)
{
    // A graphic control only repaints; windowed controls remake their window.
    Invalidate();
}

void TControl::CMParentBiDiModeChanged(TMessage&)
{
    if (FParentBiDiMode && FParent) {
        SetBiDiMode(FParent->BiDiMode());
        FParentBiDiMode = true;
    }
}

bool TControl::IsRightToLeft() const { return UseRightToLeftReading() || UseRightToLeftAlignment(); }

bool TControl::UseRightToLeftAlignment() const { return SysLocale.MiddleEast && FBiDiMode == bdRightToLeft; }

bool TControl::UseRightToLeftReading() const { return SysLocale.MiddleEast && FBiDiMode != bdLeftToRight; }

bool TControl::UseRightToLeftScrollBar() const
{
    return SysLocale.MiddleEast && (FBiDiMode == bdRightToLeft || FBiDiMode == bdRightToLeftNoAlign);
}

UINT TControl::DrawTextBiDiModeFlagsReadingOnly() const { return UseRightToLeftReading() ? DT_RTLREADING : 0; }

UINT TControl::DrawTextBiDiModeFlags(UINT Flags) const
{
    if (UseRightToLeftAlignment()) {
        if ((Flags & DT_RIGHT) == DT_RIGHT)
            Flags &= ~UINT(DT_RIGHT);
        else if ((Flags & DT_CENTER) != DT_CENTER)
            Flags |= DT_RIGHT;
    }
    return Flags | DrawTextBiDiModeFlagsReadingOnly();
}

void TWinControl::AddBiDiModeExStyle(DWORD& ExStyle) const
{
    if (UseRightToLeftReading())
        ExStyle |= WS_EX_RTLREADING;
    if (UseRightToLeftScrollBar())
        ExStyle |= WS_EX_LEFTSCROLLBAR;
    if (UseRightToLeftAlignment()) {
        if (GetControlsAlignment() == taLeftJustify)
            ExStyle |= WS_EX_RIGHT;
        else if (GetControlsAlignment() == taRightJustify)
            ExStyle &= ~DWORD(WS_EX_RIGHT);
    }
}

void TWinControl::CMBiDiModeChanged(TMessage& Message)
{
    TControl::CMBiDiModeChanged(Message);
    if (SysLocale.MiddleEast && FHandle)
        RecreateWnd();
    NotifyControls(CM_PARENTBIDIMODECHANGED);
}
