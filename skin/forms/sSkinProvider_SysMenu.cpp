#include "skin/forms/sSkinProvider_SysMenu.h"

#include "skin/forms/sSkinProvider.h"

TsSystemMenu::TsSystemMenu(TsSkinProvider* AOwner) : TsCustomSysMenu(AOwner), FOwner(AOwner), FForm(AOwner->Form)
{
    SetName(L"SysMenu");
}

void TsSystemMenu::UpdateItems(bool Full)
{
    // The menu's items come with the skinned system menu; the rules below
    // already answer for the caption buttons.
    (void)Full;
}

bool TsSystemMenu::Iconic()
{
    return FForm && FForm->HandleAllocated() && ::IsIconic(FForm->Handle());
}

bool TsSystemMenu::MDIChild()
{
    return FForm && FForm->FormStyle() == fsMDIChild;
}

bool TsSystemMenu::BigBorder()
{
    return FForm && (FForm->BorderStyle() == bsSingle || FForm->BorderStyle() == bsSizeable);
}

bool TsSystemMenu::VisibleClose()
{
    return FOwner->HaveSysMenu;
}

bool TsSystemMenu::VisibleMax()
{
    return VisibleClose() && (Iconic() || MDIChild() || (BigBorder() && FForm->BorderIcons().Contains(biMaximize)));
}

bool TsSystemMenu::VisibleMin()
{
    return VisibleClose() && (Iconic() || MDIChild() || (BigBorder() && FForm->BorderIcons().Contains(biMinimize)));
}

bool TsSystemMenu::VisibleRestore()
{
    return VisibleClose() && (MDIChild() || BigBorder());
}

bool TsSystemMenu::VisibleSize()
{
    if (MDIChild())
        return true;
    const TFormBorderStyle bs = FForm->BorderStyle();
    return bs != bsNone && bs != bsDialog && bs != bsToolWindow;
}

bool TsSystemMenu::EnabledMax()
{
    return FForm->BorderIcons().Contains(biMaximize) &&
           (MDIChild() || (FForm->WindowState() != wsMaximized && BigBorder()));
}

bool TsSystemMenu::EnabledMin()
{
    return FForm->BorderIcons().Contains(biMinimize) && FForm->WindowState() != wsMinimized;
}

bool TsSystemMenu::EnabledRestore()
{
    const TWindowState ws = FForm->WindowState();
    return (FForm->BorderIcons().Contains(biMaximize) && ws != wsNormal) || ws == wsMinimized;
}

bool TsSystemMenu::EnabledMove()
{
    return FForm->WindowState() != wsMaximized;
}

bool TsSystemMenu::EnabledSize()
{
    return FForm->BorderStyle() != bsSingle && !Iconic();
}

void TsSkinProvider::DropSysMenu(int X, int Y)
{
    // The skinned system menu's items come with the menu itself.
    (void)X;
    (void)Y;
}
