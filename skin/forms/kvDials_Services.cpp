// What the skin manager reaches of the form skinning through its seam: the
// menu skinner, the menu settings and the creation hook.
#include "skin/core/sFormsSeam.h"
#include "skin/core/sSkinManager.h"
#include "skin/forms/kvDials.h"
#include "skin/forms/sSkinMenus.h"

void RegisterSkinFormsServices()
{
    TsFormsServices services;
    services.CreateMenus = [](TsSkinManager* Owner) -> TsMenusSeam* {
        return new TsSkinableMenus(Owner);
    };
    services.CreateMenuSupport = []() -> TsMenuSupportSeam* { return new TkvMenuSupport; };
    services.InstallCreationHook = &InstallSkinHook;
    services.RemoveCreationHook = &UnInstallSkinHook;
    services.VisibleSkinnedDialogs = &VisibleSkinnedDialogs;
    RegisterFormsServices(services);
}
