// What the skin manager reaches of the form skinning through its seam: the
// menu skinner, the menu settings and the creation hook; and what the
// popup-menu wrappers reach of the open menus.
#include "skin/core/sFormsSeam.h"
#include "skin/core/sSkinManager.h"
#include "skin/forms/kvDials.h"
#include "skin/forms/sSkinMenus.h"
#include "skin/wrappers/kvSBUtils_Menu.h"

namespace {

// The open popup-menu windows as their wrappers see them: MnuArray, the
// menu skinning's switch and its popup backgrounds.
class TOpenMenus final : public TkvMenuWindowHost {
public:
    bool CanHookMenu() override { return kvCanHookMenu; }
    void SetCanHookMenu(bool Value) override { kvCanHookMenu = Value; }
    void Forget(TkvMnuWnd* Wnd) override
    {
        for (TkvMnuWnd*& w : MnuArray)
            if (w == Wnd)
                w = nullptr;
    }
    std::vector<TkvMnuWnd*> OpenMenus() override
    {
        std::vector<TkvMnuWnd*> open;
        for (TkvMnuWnd* w : MnuArray)
            if (w)
                open.push_back(w);
        return open;
    }
    void ClearMenus() override { ClearMnuArray(); }
    void ClearCache() override { ::ClearCache(); }
};

TOpenMenus OpenMenus;

} // namespace

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
    kvMenuWindowHost = &OpenMenus;
}
