// The skinned system menu: its items and the caption buttons for each
// border style and set of border icons, commands the application added to
// the window's menu, the skin submenu, and the menu dropped from the
// caption's icon and from a right click on the caption, drawn by the
// skinned menus.
#include <memory>

#include "FrameFixture.h"
#include "MenuWatch.h"
#include "classlib/rtl/FileUtils.h"
#include "classlib/rtl/Streams.h"
#include "classlib/rtl/SysUtils.h"
#include "skin/core/kvntUtils.h"
#include "skin/forms/sSkinMenus.h"
#include "support/FakeInput.h"

using namespace frametest;

namespace {

struct TItemState {
    bool Visible, Enabled;
    bool operator==(const TItemState&) const = default;
};

std::ostream& operator<<(std::ostream& Out, const TItemState& S)
{
    return Out << (S.Visible ? "shown" : "hidden") << (S.Enabled ? "/enabled" : "/disabled");
}

TItemState StateOf(TMenuItem* Item)
{
    return {Item && Item->Visible(), Item && Item->Enabled()};
}

constexpr TItemState On{true, true}, Grey{true, false}, HiddenOn{false, true};

class SystemMenu : public FrameTest {};

} // namespace

// Each style and set of border icons, normal and maximised: which items the
// menu shows and allows, and which caption buttons the frame lays out.
TEST_F(SystemMenu, ItemsAndCaptionButtonsFollowStyleAndIcons)
{
    const TBorderIcons all{biSystemMenu, biMinimize, biMaximize};
    const struct {
        const char* Name;
        TFormBorderStyle Style;
        TBorderIcons Icons;
        bool Zoomed;
        TItemState Restore, Move, Size, Min, Max;
    } cases[] = {
        {"sizeable", bsSizeable, all, false, Grey, On, On, On, On},
        {"sizeable maximised", bsSizeable, all, true, On, Grey, On, On, Grey},
        {"sizeable no max", bsSizeable, {biSystemMenu, biMinimize}, false, Grey, On, On, On, HiddenOn},
        {"single no max", bsSingle, {biSystemMenu, biMinimize}, false, Grey, On, Grey, On, HiddenOn},
        {"single", bsSingle, all, false, Grey, On, Grey, On, On},
        {"dialog", bsDialog, all, false, HiddenOn, On, HiddenOn, HiddenOn, HiddenOn},
        {"tool window", bsToolWindow, all, false, HiddenOn, On, HiddenOn, HiddenOn, HiddenOn},
        {"size tool window", bsSizeToolWin, all, false, HiddenOn, On, On, HiddenOn, HiddenOn},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        TOwned<TForm> form(NewForm(c.Style, L"Menu", [&](TForm* f) { f->SetBorderIcons(c.Icons); }));
        if (c.Zoomed)
            form->SetWindowState(wsMaximized);
        TsSkinProvider* sp = ProviderOf(form.get());
        TsSystemMenu* m = sp->SystemMenu;
        ASSERT_NE(m, nullptr);
        m->UpdateItems(false);
        // Hidden items are still there and may be enabled: the test says what the rules give.
        auto norm = [](TItemState s, TItemState want) { return want.Visible ? s : TItemState{s.Visible, want.Enabled}; };
        EXPECT_EQ(norm(StateOf(m->ItemRestore), c.Restore), c.Restore) << "restore";
        EXPECT_EQ(StateOf(m->ItemMove), c.Move) << "move";
        EXPECT_EQ(norm(StateOf(m->ItemSize), c.Size), c.Size) << "size";
        EXPECT_EQ(norm(StateOf(m->ItemMinimize), c.Min), c.Min) << "minimise";
        EXPECT_EQ(norm(StateOf(m->ItemMaximize), c.Max), c.Max) << "maximise";
        EXPECT_EQ(StateOf(m->ItemClose), On) << "close";
        EXPECT_EQ(m->ItemClose->Tag(), SC_CLOSE);
        EXPECT_EQ(m->ItemRestore->Tag(), SC_RESTORE);
        // The frame shows the buttons the menu says.
        Image(sp);
        EXPECT_FALSE(sp->ButtonClose.Rect.IsEmpty());
        EXPECT_EQ(!sp->ButtonMax.Rect.IsEmpty(), m->VisibleMax());
        EXPECT_EQ(!sp->ButtonMin.Rect.IsEmpty(), m->VisibleMin());
        // Order: Restore, Move, Size, Minimise, Maximise, a line, Close.
        TMenuItem* root = m->Items();
        ASSERT_EQ(root->Count(), 7);
        EXPECT_EQ(root->Items(0), m->ItemRestore);
        EXPECT_EQ(root->Items(4), m->ItemMaximize);
        EXPECT_TRUE(root->Items(5)->IsLine());
        EXPECT_EQ(root->Items(6), m->ItemClose);
    }
}

// A form without a system menu has no close item, and no buttons.
TEST_F(SystemMenu, WithoutBorderIconsNothingIsShown)
{
    TOwned<TForm> form(NewForm(bsSizeable, L"Menu", [](TForm* f) { f->SetBorderIcons({}); }));
    TsSkinProvider* sp = ProviderOf(form.get());
    sp->SystemMenu->UpdateItems(false);
    EXPECT_FALSE(sp->SystemMenu->VisibleClose());
    EXPECT_FALSE(sp->SystemMenu->ItemClose && sp->SystemMenu->ItemClose->Visible());
    Image(sp);
    EXPECT_TRUE(sp->ButtonClose.Rect.IsEmpty());
}

// Commands the application added to the window's system menu sit between
// the maximise and close items, framed by lines; choosing one posts its
// own command after the menu has closed.
TEST_F(SystemMenu, ApplicationCommandsAreCopiedAndPosted)
{
    TOwned<TForm> form(NewForm(bsSizeable));
    TsSkinProvider* sp = ProviderOf(form.get());
    HMENU sys = ::GetSystemMenu(form->Handle(), FALSE);
    ASSERT_NE(sys, nullptr);
    ::AppendMenuW(sys, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuW(sys, MF_STRING, 0x120, L"About\tCtrl+B");
    // A submenu carries no command: it is not copied.
    HMENU sub = ::CreatePopupMenu();
    ::AppendMenuW(sub, MF_STRING, 0x130, L"Inner");
    ::AppendMenuW(sys, MF_POPUP, UINT_PTR(sub), L"More");
    sp->SystemMenu->UpdateItems(true);
    TsSystemMenu* m = sp->SystemMenu;
    ASSERT_EQ(m->ExtItemsCount, 1);
    TMenuItem* root = m->Items();
    ASSERT_EQ(root->Count(), 9);
    EXPECT_TRUE(root->Items(5)->IsLine());
    TMenuItem* about = root->Items(6);
    EXPECT_EQ(about->Caption(), L"About");
    EXPECT_EQ(about->ShortCut(), ShortCut('B', {ssCtrl}));
    EXPECT_TRUE(root->Items(7)->IsLine());
    EXPECT_EQ(root->Items(8), m->ItemClose);

    MSG msg;
    while (::PeekMessageW(&msg, form->Handle(), WM_SYSCOMMAND, WM_SYSCOMMAND, PM_REMOVE)) {
    }
    about->Click();
    ASSERT_TRUE(::PeekMessageW(&msg, form->Handle(), WM_SYSCOMMAND, WM_SYSCOMMAND, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 0x120u);
}

// The skin submenu lists the skins, checks the current one, and selects a
// skin by its caption even with an accelerator in it.
TEST_F(SystemMenu, SkinSubmenuListsAndSelectsSkins)
{
    // Enough skins for a second column: folders of the skin directory.
    const UnicodeString dir = GetCurrentDir() + L"\\menuskins-" + IntToStr(int(::GetTickCount()));
    CreateDir(dir);
    for (int i = 0; i < 22; ++i) {
        const UnicodeString skin = dir + L"\\Skin" + (i < 10 ? L"0" : L"") + IntToStr(i);
        CreateDir(skin);
        TFileStream(skin + L"\\Options.dat", fmCreate).WriteBuffer("[GLOBALINFO]\r\n", 14);
    }
    struct TDirGone {
        UnicodeString Dir;
        ~TDirGone() { ClearDir(Dir, true); }
    } gone{dir};
    Manager->SetSkinDirectory(dir);
    TOwned<TForm> form(NewForm(bsSizeable));
    TsSkinProvider* sp = ProviderOf(form.get());
    TsSystemMenu* m = sp->SystemMenu;
    m->MakeSkinItems();
    TMenuItem* parent = m->Items()->Items(0);
    ASSERT_EQ(parent->Name(), L"SkinSelectItem");
    EXPECT_TRUE(m->Items()->Items(1)->IsLine());
    ASSERT_GE(parent->Count(), 23) << "the built-in skin and the folders";
    EXPECT_EQ(parent->Items(19)->Break(), mbNone);
    EXPECT_NE(parent->Items(20)->Break(), mbNone) << "a new column after twenty";
    TMenuItem* current = nullptr;
    for (int i = 0; i < parent->Count(); ++i) {
        EXPECT_EQ(parent->Items(i)->Break() != mbNone, i > 0 && i % 20 == 0);
        if (parent->Items(i)->Checked())
            current = parent->Items(i);
    }
    ASSERT_NE(current, nullptr);
    EXPECT_EQ(current->Caption(), Manager->SkinName());
    const UnicodeString name = Manager->SkinName();
    current->SetCaption(L"&" + name);
    Manager->SetSkinName(L"");
    current->Click();
    EXPECT_EQ(Manager->SkinName(), name);
}

// Dropped from the caption's icon or by a right click on the caption, the
// menu is the skinned one: owner-drawn, its popup's picture built from the
// skin while it shows; restore is disabled on a normal form.
TEST_F(SystemMenu, DropsFromTheIconAndFromARightClick)
{
    TFakeInput input;
    TOwned<TForm> form(NewForm(bsSizeable));
    TsSkinProvider* sp = ProviderOf(form.get());
    Image(sp);
    RECT w;
    ::GetWindowRect(form->Handle(), &w);
    const TPoint icon = CentreOf(sp->IconRect());
    const TPoint caption(w.left + (w.right - w.left) / 2, w.top + sp->Metrics().CaptionHeight(false) / 2 + 2);
    for (bool rightClick : {false, true}) {
        SCOPED_TRACE(rightClick ? "right click" : "icon");
        ClearCache();
        size_t pictures = 0;
        TMenuItem* first = nullptr;
        TMenuWatch watch([&](HWND) {
            pictures = MenuInfoArray.size();
            first = pictures ? MenuInfoArray[0].FirstItem : nullptr;
        });
        if (rightClick) {
            input.Cursor = caption;
            ASSERT_EQ(HitAt(form.get(), TPoint(caption.x - w.left, caption.y - w.top)), HTCAPTION);
            ::SendMessageW(form->Handle(), WM_NCRBUTTONUP, HTCAPTION, MAKELPARAM(caption.x, caption.y));
        } else {
            input.Cursor = TPoint(w.left + icon.x, w.top + icon.y);
            ASSERT_EQ(HitAt(form.get(), icon), HTSYSMENU);
            ::SendMessageW(form->Handle(), WM_NCLBUTTONDOWN, HTSYSMENU, MAKELPARAM(input.Cursor.x, input.Cursor.y));
        }
        EXPECT_EQ(watch.Opened, 1);
        EXPECT_TRUE(sp->SystemMenu->OwnerDraw());
        EXPECT_EQ(sp->SystemMenu->WindowHandle(), form->Handle());
        EXPECT_EQ(pictures, 1u) << "the popup's picture, built while it shows";
        EXPECT_EQ(first, sp->SystemMenu->ItemRestore);
        EXPECT_FALSE(sp->SystemMenu->ItemRestore->Enabled());
        Application->ProcessMessages();
    }
}

// Without skinned popups the window's own menu drops, its entries enabled
// by the same rules.
TEST_F(SystemMenu, WithoutSkinnedPopupsTheWindowsOwnMenuDrops)
{
    Manager->SetSkinnedPopups(false);
    TOwned<TForm> form(NewForm(bsSizeable));
    TsSkinProvider* sp = ProviderOf(form.get());
    UINT restore = 0, maximize = 0;
    HMENU sys = ::GetSystemMenu(form->Handle(), FALSE);
    TMenuWatch watch([&](HWND) {
        restore = ::GetMenuState(sys, SC_RESTORE, MF_BYCOMMAND);
        maximize = ::GetMenuState(sys, SC_MAXIMIZE, MF_BYCOMMAND);
    });
    sp->DropSysMenu(100, 100);
    EXPECT_EQ(watch.Opened, 1);
    EXPECT_TRUE(restore & MF_GRAYED);
    EXPECT_FALSE(maximize & MF_GRAYED);
    EXPECT_TRUE(::IsWindowVisible(form->Handle())) << "shown again after the entries were set";
}

// Alt+Space (the system's SC_KEYMENU with a space) drops the skinned menu,
// once, at the window's top-left below the caption's icon, whether or not
// the window keeps the system's own menu style: the system's menu does not
// come up before or after it.
TEST_F(SystemMenu, AltSpaceDropsTheSkinnedMenuBelowTheIcon)
{
    for (bool systemStyle : {false, true}) {
        SCOPED_TRACE(systemStyle ? "with WS_SYSMENU" : "skinned caption buttons only");
        TOwned<TForm> form(NewForm(bsSizeable));
        TsSkinProvider* sp = ProviderOf(form.get());
        Image(sp);
        const HWND wnd = form->Handle();
        if (systemStyle)
            ::SetWindowLongW(wnd, GWL_STYLE, ::GetWindowLongW(wnd, GWL_STYLE) | WS_SYSMENU);
        ClearCache();
        RECT w;
        ::GetWindowRect(wnd, &w);
        RECT popup{};
        size_t pictures = 0;
        TMenuItem* first = nullptr;
        TMenuWatch watch([&](HWND Popup) {
            ::GetWindowRect(Popup, &popup);
            pictures = MenuInfoArray.size();
            first = pictures ? MenuInfoArray[0].FirstItem : nullptr;
        });
        ::SendMessageW(wnd, WM_SYSCOMMAND, SC_KEYMENU, VK_SPACE);
        EXPECT_EQ(watch.Opened, 1);
        EXPECT_EQ(pictures, 1u) << "the skinned popup, its picture built while it shows";
        EXPECT_EQ(first, sp->SystemMenu->ItemRestore);
        const TsFrameMetrics m = sp->Metrics();
        EXPECT_EQ(popup.left, w.left + m.SysBorderWidth(false));
        EXPECT_EQ(popup.top, w.top + m.BorderHeight(true) + m.TitleIconHeight());
        Application->ProcessMessages();
    }
}
