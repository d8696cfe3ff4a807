// Internal state and helpers shared by the controls' source files; not part
// of the public interface.
#pragma once

#include "classlib/controls/Controls.h"

namespace controls_detail {
// The control under the mouse (sent CM_MOUSEENTER, not yet CM_MOUSELEAVE).
extern TControl* MouseInControl;

// Ends Control's hold on the mouse, if it has it.
void ReleaseControlCapture(const TControl* Control);

inline bool IsWinControl(const TControl* c) { return dynamic_cast<const TWinControl*>(c) != nullptr; }

UnicodeString WindowText(HWND Wnd);
} // namespace controls_detail

// Implemented with the application object.
void ControlsHandleException(TObject* Sender);
