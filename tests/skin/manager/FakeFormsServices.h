// A stand-in for the form skinning as the manager reaches it through its
// seam: a menu skinner and menu settings that note what they are asked, and
// a real creation hook of the thread (one at a time).
#pragma once

#include <memory>

#include "classlib/controls/WindowsHook.h"
#include "skin/core/sFormsSeam.h"

namespace managertest {

struct TFakeMenus : TsMenusSeam {
    TsSkinManager* Owner = nullptr;
    int Updates = 0;
    int BorderWidth = 0;
    void UpdateMenus() override { ++Updates; }
    void SetSkinBorderWidth(int Value) override { BorderWidth = Value; }
    TBitmap* PopupPicture(TMenuItem*, HWND) override { return nullptr; }
    void DrawWndBorder(HWND, TBitmap*) override {}
};

class TFakeMenuSupport : public TsMenuSupportSeam {
    KV_CLASS(TFakeMenuSupport)
public:
    UnicodeString IcoLine;
    UnicodeString IcoLineSkin() const override { return IcoLine; }
    void SetIcoLineSkin(const UnicodeString& Value) override { IcoLine = Value; }
};

inline std::unique_ptr<TWindowsHook>& CreationHook()
{
    static std::unique_ptr<TWindowsHook> hook;
    return hook;
}

inline bool ThreadHasCreationHook()
{
    return CreationHook() && CreationHook()->Installed() && TWindowsHook::Current(WH_CBT) == CreationHook().get();
}

inline HHOOK CreationHookHandle()
{
    return CreationHook() ? CreationHook()->Handle() : nullptr;
}

inline void UseFakeFormsServices()
{
    TsFormsServices s;
    s.CreateMenus = [](TsSkinManager* Owner) -> TsMenusSeam* {
        auto* menus = new TFakeMenus;
        menus->Owner = Owner;
        return menus;
    };
    s.CreateMenuSupport = []() -> TsMenuSupportSeam* { return new TFakeMenuSupport; };
    s.InstallCreationHook = [] {
        if (TWindowsHook::Current(WH_CBT))
            return false;
        auto hook = std::make_unique<TWindowsHook>();
        TWindowsHook* self = hook.get();
        if (!hook->Install(WH_CBT, [self](int Code, WPARAM W, LPARAM L) { return self->CallNext(Code, W, L); }))
            return false;
        CreationHook() = std::move(hook);
        return true;
    };
    s.RemoveCreationHook = [] { CreationHook().reset(); };
    RegisterFormsServices(s);
}

} // namespace managertest
