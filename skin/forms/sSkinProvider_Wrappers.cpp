// The hand-over of a skinned form's controls and scroll bars to window
// wrappers: the control adapter (the form's plain child controls of the
// classes the skin manager lists) and the skinned scroll bars of an
// auto-scrolling form.  This is the one place that reaches the window
// wrappers; until they are linked in, nothing is handed over and the
// controls and scroll bars keep their own look.
#include "skin/forms/sSkinProvider.h"

void TsSkinProvider::AdapterCreate() {}

void TsSkinProvider::AddAllItems(TWinControl* Parent)
{
    (void)Parent;
}

void TsSkinProvider::AddNewItem(TWinControl* Control)
{
    (void)Control;
}

void TsSkinProvider::SendToAdapter(TMessage& Message)
{
    (void)Message;
}

void UpdateScrollWrapper(TsSkinProvider* Provider, TkvScrollWnd*& ListSW)
{
    (void)Provider;
    ListSW = nullptr;
}

// The skinned scroll bars of an auto-scrolling form take room from the
// client area and make a grip corner; none are made until the wrappers
// are linked in.
void TsSkinProvider::ReadScrollFacts(TsFrameFacts& F)
{
    (void)F;
}
