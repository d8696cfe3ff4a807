// Common controls: the window classes they need, and their registration for
// form resources.
#include "classlib/controls/ComCtrls.h"

namespace comctrls_detail {
// Loads the common controls' window classes once.
void InitCommonControls()
{
    static const bool done = [] {
        INITCOMMONCONTROLSEX icc{sizeof(icc),
                                 ICC_TAB_CLASSES | ICC_BAR_CLASSES | ICC_WIN95_CLASSES | ICC_USEREX_CLASSES};
        return ::InitCommonControlsEx(&icc) != FALSE;
    }();
    (void)done;
}
} // namespace comctrls_detail

void RegisterComCtrlsClasses()
{
    RegisterClasses<TTabControl, TPageControl, TTabSheet, TToolBar, TToolButton, TStatusBar, TUpDown, TComboBoxEx, TListView, TTreeView>();
}

namespace {
[[maybe_unused]] const bool kRegistered = (RegisterComCtrlsClasses(), true);
} // namespace
