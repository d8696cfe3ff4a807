// The popup-menu wrapper: its bookkeeping among the open menus when a
// submenu closes under a parent that stays open, its answers to the command
// message, and its border and background by pixels (menu windows here are
// visible top-level windows, whose contexts the tests read back).
#include <gtest/gtest.h>

#include "StdWrapFixture.h"
#include "skin/core/sFormsSeam.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSkinManager.h"
#include "skin/manager/ManagerFixture.h"
#include "skin/wrappers/kvSBUtils_Menu.h"

using namespace stdwraptest;

namespace {

// The open menus as a test keeps them.
struct TFakeMenuHost final : TkvMenuWindowHost {
    bool Hooking = true;
    std::vector<TkvMnuWnd*> Menus;
    int CacheClears = 0;

    bool CanHookMenu() override { return Hooking; }
    void SetCanHookMenu(bool Value) override { Hooking = Value; }
    void Forget(TkvMnuWnd* Wnd) override { std::replace(Menus.begin(), Menus.end(), Wnd, (TkvMnuWnd*)nullptr); }
    std::vector<TkvMnuWnd*> OpenMenus() override
    {
        std::vector<TkvMnuWnd*> open;
        for (TkvMnuWnd* w : Menus)
            if (w)
                open.push_back(w);
        return open;
    }
    void ClearMenus() override { Menus.clear(); }
    void ClearCache() override { ++CacheClears; }
};

struct THostScope {
    TkvMenuWindowHost* Old;
    explicit THostScope(TkvMenuWindowHost* Host) : Old(kvMenuWindowHost) { kvMenuWindowHost = Host; }
    ~THostScope() { kvMenuWindowHost = Old; }
};

// A menu wrapper that counts the living ones.
class TCountedMnuWnd : public TkvMnuWnd {
    KV_CLASS(TCountedMnuWnd)
public:
    static inline int Alive = 0;
    TCountedMnuWnd() { ++Alive; }
    ~TCountedMnuWnd() override { --Alive; }
};

// A menu skinner whose picture of every popup window is Picture.
struct TPictureMenus final : TsMenusSeam {
    static inline TBitmap* Picture = nullptr;
    void UpdateMenus() override {}
    void SetSkinBorderWidth(int) override {}
    TBitmap* PopupPicture(TMenuItem*, HWND) override { return Picture; }
    void DrawWndBorder(HWND, TBitmap*) override {}
};

// The window's whole picture as its own context holds it.
TOwned<TBitmap> WindowPicture(HWND Wnd)
{
    TRect r;
    ::GetWindowRect(Wnd, &r);
    TOwned<TBitmap> b(New<TBitmap>(r.Width(), r.Height(), pf24bit));
    HDC dc = ::GetWindowDC(Wnd);
    ::BitBlt(b->Canvas()->Handle(), 0, 0, r.Width(), r.Height(), dc, 0, 0, SRCCOPY);
    ::ReleaseDC(Wnd, dc);
    return b;
}

const DWORD MenuStyle = WS_POPUP | WS_VISIBLE;

} // namespace

TEST_F(WrapperTest, SubmenuClosingLeavesItsParentMenuSkinned)
{
    TFakeMenuHost host;
    THostScope scope(&host);
    TTarget parent(nullptr, MenuStyle, 120, 80);
    TTarget sub(nullptr, MenuStyle, 100, 60);
    auto* wp = CreateWnd<TCountedMnuWnd>(parent.Handle, nullptr, Manager, L"MAINMENU", false);
    auto* ws = CreateWnd<TCountedMnuWnd>(sub.Handle, nullptr, Manager, L"MAINMENU", false);
    host.Menus = {wp, ws};
    ASSERT_EQ(TCountedMnuWnd::Alive, 2);
    wp->SkinData->BGChanged = true;
    wp->SkinData->FCacheBmp->SetSize(0, 0);

    ::DestroyWindow(sub.Handle);
    EXPECT_EQ(TCountedMnuWnd::Alive, 1); // the submenu's wrapper freed itself
    EXPECT_EQ(host.Menus, (std::vector<TkvMnuWnd*>{wp, nullptr}));
    EXPECT_TRUE(host.Hooking); // the parent is still open
    EXPECT_EQ(host.CacheClears, 1);
    // The parent was redrawn, its frame by its wrapper.
    EXPECT_EQ(wp->SkinData->FCacheBmp->Width(), 120);
    TOwned<TBitmap> frame = WindowPicture(parent.Handle);
    TOwned<TBitmap> section = Section(Manager, L"MAINMENU", 0, 120, 80);
    EXPECT_EQ(DiffCount(frame.get(), section.get(), TRect(0, 0, 120, 3)), 0);

    ::DestroyWindow(parent.Handle);
    EXPECT_EQ(TCountedMnuWnd::Alive, 0);
    EXPECT_TRUE(host.Menus.empty());
    EXPECT_FALSE(host.Hooking); // the last menu closed
    EXPECT_EQ(host.CacheClears, 2);
}

TEST_F(WrapperTest, MenuWrapperAnswersEveryCommandItself)
{
    TFakeMenuHost host;
    THostScope scope(&host);
    TTarget menu(nullptr, MenuStyle, 100, 60);
    TOwned<TkvMnuWnd> w(CreateWnd<TkvMnuWnd>(menu.Handle, nullptr, Manager, L"MAINMENU", false));
    menu.Got.clear();
    EXPECT_EQ(Command(menu.Handle, SMC_IS_SKINNED), 1);
    EXPECT_EQ(Command(menu.Handle, SMC_SET_UPDATING), 0);
    Command(menu.Handle, SMC_GET_DROPPED); // the menu skinning gave it its region
    EXPECT_EQ(Command(menu.Handle, SMC_SET_UPDATING), 1);
    EXPECT_EQ(Command(menu.Handle, SMC_GET_APPLICATION), LRESULT(Application));
    EXPECT_EQ(Command(menu.Handle, 99), 0);
    EXPECT_EQ(menu.Count(SM_KORVEXCMD, SMC_IS_SKINNED) + menu.Count(SM_KORVEXCMD, SMC_SET_UPDATING) +
                  menu.Count(SM_KORVEXCMD, SMC_GET_DROPPED) + menu.Count(SM_KORVEXCMD, 99),
              0);

    // Painting the background clears the region flag.
    TBitmap bmp(94, 54, pf24bit);
    ::SendMessageW(menu.Handle, WM_ERASEBKGND, WPARAM(bmp.Canvas()->Handle()), 0);
    EXPECT_EQ(Command(menu.Handle, SMC_SET_UPDATING), 0);
    TOwned<TBitmap> section = Section(Manager, L"MAINMENU", 0, 100, 60);
    TBitmap inside(94, 54, pf24bit);
    ::BitBlt(inside.Canvas()->Handle(), 0, 0, 94, 54, section->Canvas()->Handle(), 3, 3, SRCCOPY);
    EXPECT_EQ(DiffCount(&bmp, &inside), 0);
    EXPECT_EQ(menu.Count(WM_ERASEBKGND), 0);
}

TEST_F(WrapperTest, MenuBorderFromItsPictureOrItsSection)
{
    TFakeMenuHost host;
    THostScope scope(&host);
    const TsFormsServices saved = FormsServices();
    TsFormsServices services;
    services.CreateMenus = [](TsSkinManager*) -> TsMenusSeam* { return new TPictureMenus; };
    RegisterFormsServices(services);
    TOwned<TsSkinManager> m(managertest::NewManager());
    RegisterFormsServices(saved);

    TBitmap picture(94, 60, pf24bit); // 6 narrower than the window, as high
    FillDC(picture.Canvas()->Handle(), TRect(0, 0, 94, 60), 0x0000FF);
    TPictureMenus::Picture = &picture;
    TTarget menu(nullptr, MenuStyle, 100, 60);
    TOwned<TkvMnuWnd> w(CreateWnd<TkvMnuWnd>(menu.Handle, nullptr, m.get(), L"MAINMENU", false));

    ::SendMessageW(menu.Handle, WM_NCPAINT, 1, 0);
    TOwned<TBitmap> got = WindowPicture(menu.Handle);
    EXPECT_EQ(CountColor(got.get(), TRect(0, 0, 94, 3), 0x0000FF), 94 * 3);
    EXPECT_EQ(CountColor(got.get(), TRect(0, 0, 3, 60), 0x0000FF), 3 * 60);

    // A picture of another size (the menu was resized): the section's border.
    picture.SetSize(80, 60);
    FillDC(picture.Canvas()->Handle(), TRect(0, 0, 80, 60), 0x0000FF);
    ::SendMessageW(menu.Handle, WM_NCPAINT, 1, 0);
    got = WindowPicture(menu.Handle);
    TOwned<TBitmap> section = Section(m.get(), L"MAINMENU", 0, 100, 60);
    EXPECT_EQ(DiffCount(got.get(), section.get(), TRect(0, 0, 100, 3)), 0);
    EXPECT_EQ(DiffCount(got.get(), section.get(), TRect(97, 0, 100, 60)), 0);
    EXPECT_EQ(menu.Count(WM_NCPAINT), 0);

    // Where the system is no NT one, the window paints its own frame.
    {
        TFlagScope notNT(IsNT, false);
        ::SendMessageW(menu.Handle, WM_NCPAINT, 1, 0);
    }
    EXPECT_EQ(menu.Count(WM_NCPAINT), 1);
    // And so it does once menus are no longer skinned.
    host.Hooking = false;
    ::SendMessageW(menu.Handle, WM_NCPAINT, 1, 0);
    EXPECT_EQ(menu.Count(WM_NCPAINT), 2);
    TPictureMenus::Picture = nullptr;
    w.reset();
}
