// The window-creation hook: one per thread, installed and removed with its
// lists, and the rule that picks what a window gets.
#include <gtest/gtest.h>

#include <memory>

#include "../manager/ManagerFixture.h"
#include "classlib/controls/Dialogs.h"
#include "classlib/controls/SubclassWindow.h"
#include "classlib/controls/WindowsHook.h"
#include "skin/core/sMessages.h"
#include "skin/forms/kvDials.h"
#include "skin/forms/sSkinMenus.h"
#include "skin/wrappers/kvSBUtils_Menu.h"

using namespace managertest;

namespace {

const bool Registered = [] {
    RegisterSkinFormsServices();
    return true;
}();

// A top-level or child window of a standard class, destroyed with the object.
struct TWindow {
    HWND Handle;
    TWindow(const wchar_t* Class, HWND Parent = nullptr, DWORD Style = WS_POPUP)
        : Handle(::CreateWindowExW(0, Class, L"", Style, 0, 0, 50, 40, Parent, nullptr, HInstance, nullptr))
    {
    }
    ~TWindow() { ::DestroyWindow(Handle); }
};

// Answers SMC_IS_SKINNED as a skinned window does.
class TSkinnedAnswer {
public:
    explicit TSkinnedAnswer(HWND Wnd) : FWindow(TWndMethod(this, &TSkinnedAnswer::WndProc)) { FWindow.Subclass(Wnd, L"test"); }

private:
    void WndProc(TMessage& Message)
    {
        if (Message.Msg == SM_KORVEXCMD && HIWORD(Message.WParam) == SMC_IS_SKINNED)
            Message.Result = 1;
        else
            FWindow.CallPrevious(Message);
    }
    TSubclassedWindow FWindow;
};

class CreationHook : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(Registered);
        Manager.reset(NewManager());
        ASSERT_EQ(DefaultManager, Manager.get());
    }
    void TearDown() override { Manager.reset(); }

    TkvSkinnerKind Rule(HWND Wnd, TCustomForm** Found = nullptr)
    {
        TCustomForm* form = nullptr;
        const TkvSkinnerKind kind = SkinnerFor(Wnd, nullptr, form);
        if (Found)
            *Found = form;
        return kind;
    }

    std::unique_ptr<TsSkinManager> Manager;
};

} // namespace

TEST_F(CreationHook, OneHookPerThreadInstalledAndRemovedWithItsLists)
{
    // The default manager installed the hook when it announced its skin.
    ASSERT_NE(HookCallback, nullptr);
    ASSERT_NE(kvSupportedList, nullptr);
    EXPECT_EQ(TWindowsHook::Current(WH_CBT)->Handle(), HookCallback);
    const HHOOK first = HookCallback;
    EXPECT_FALSE(InstallSkinHook());  // a second one is refused, the first stays
    EXPECT_EQ(HookCallback, first);

    UnInstallSkinHook();
    EXPECT_EQ(HookCallback, nullptr);
    EXPECT_EQ(kvSupportedList, nullptr);
    EXPECT_EQ(TWindowsHook::Current(WH_CBT), nullptr);
    UnInstallSkinHook();  // twice is harmless

    ASSERT_TRUE(InstallSkinHook());
    EXPECT_NE(kvSupportedList, nullptr);
    // Windows are still made, activated and destroyed normally through it.
    TForm* form = TForm::CreateNew(Application);
    form->Show();
    ::SetActiveWindow(form->Handle());
    EXPECT_TRUE(::IsWindow(form->Handle()));
    FreeAndNil(form);
    { TWindow dialog(L"#32770"); EXPECT_NE(dialog.Handle, nullptr); }
    UnInstallSkinHook();
}

TEST_F(CreationHook, FormsAreTakenByTheirKindAndTheRules)
{
    TForm* plain = TForm::CreateNew(Application);
    TForm* own = TForm::CreateNew(Application);
    own->SetTag(-98);  // the library's own auxiliary windows
    auto* box = New<TMessageForm>(Application);
    // Made while no rule holds, so that the hook attaches nothing yet.
    Manager->SetFSkinningRules(TkvSkinningRules{});
    for (TCustomForm* f : {static_cast<TCustomForm*>(plain), static_cast<TCustomForm*>(own),
                           static_cast<TCustomForm*>(box)})
        f->Handle();
    Manager->SetFSkinningRules(TkvSkinningRules{srStdForms, srStdDialogs});

    TCustomForm* found = nullptr;
    EXPECT_EQ(Rule(plain->Handle(), &found), skForm);
    EXPECT_EQ(found, plain);
    EXPECT_EQ(Rule(own->Handle()), skNone);
    EXPECT_EQ(Rule(box->Handle()), skForm);

    // A message box needs srStdDialogs, every other form srStdForms.
    Manager->SetFSkinningRules(TkvSkinningRules{srStdDialogs});
    EXPECT_EQ(Rule(plain->Handle()), skNone);
    EXPECT_EQ(Rule(box->Handle()), skForm);
    Manager->SetFSkinningRules(TkvSkinningRules{srStdForms});
    EXPECT_EQ(Rule(plain->Handle()), skForm);
    EXPECT_EQ(Rule(box->Handle()), skNone);

    // A window that is skinned already is left alone.
    TSkinnedAnswer skinned(plain->Handle());
    Manager->SetFSkinningRules(TkvSkinningRules{srStdForms, srStdDialogs});
    EXPECT_EQ(Rule(plain->Handle()), skNone);
    FreeAndNil(box);
    FreeAndNil(own);
    FreeAndNil(plain);
}

TEST_F(CreationHook, OnlyParentlessStandardDialogsAreTaken)
{
    TWindow lone(L"#32770");
    TWindow owner(L"STATIC");
    TWindow child(L"#32770", owner.Handle, WS_CHILD);
    TWindow other(L"STATIC");
    EXPECT_EQ(Rule(lone.Handle), skDialog);
    EXPECT_EQ(Rule(child.Handle), skNone);
    EXPECT_EQ(Rule(other.Handle), skNone);
    Manager->SetFSkinningRules(TkvSkinningRules{srStdForms});
    EXPECT_EQ(Rule(lone.Handle), skNone);
    // Without a default manager nothing is taken.
    Manager.reset();
    EXPECT_EQ(Rule(lone.Handle), skNone);
}

TEST_F(CreationHook, TopLevelWindowsAreTakenAtCreationOnlyWithStylesAndNoParent)
{
    TWindow top(L"STATIC");
    TWindow owner(L"STATIC");
    TWindow child(L"STATIC", owner.Handle, WS_CHILD);
    CREATESTRUCTW cs{};
    cs.style = WS_POPUP;
    cs.dwExStyle = WS_EX_TOOLWINDOW;
    ASSERT_EQ(Application->MainForm(), nullptr);
    EXPECT_TRUE(TakenAtCreation(top.Handle, cs));
    EXPECT_FALSE(TakenAtCreation(child.Handle, cs));
    CREATESTRUCTW noStyle = cs;
    noStyle.style = 0;
    EXPECT_FALSE(TakenAtCreation(top.Handle, noStyle));
    CREATESTRUCTW noExStyle = cs;
    noExStyle.dwExStyle = 0;
    EXPECT_FALSE(TakenAtCreation(top.Handle, noExStyle));
}

TEST(CreationHookSearch, ClassNamesAndDescendantsAreFound)
{
    // A class name longer than the 127 characters asked for is cut there.
    const std::wstring longName(200, L'K');
    WNDCLASSW wc{};
    wc.lpfnWndProc = ::DefWindowProcW;
    wc.hInstance = HInstance;
    wc.lpszClassName = longName.c_str();
    ASSERT_NE(::RegisterClassW(&wc), 0);
    {
        TWindow dialog(L"#32770");
        TWindow panel(L"STATIC", dialog.Handle, WS_CHILD);
        TWindow deep(longName.c_str(), panel.Handle, WS_CHILD);
        TWindow bar(L"ToolbarWindow32", panel.Handle, WS_CHILD);
        EXPECT_EQ(GetWndClassName(deep.Handle), longName.substr(0, 127));
        EXPECT_EQ(GetWndClassName(dialog.Handle), L"#32770");
        // Compared lower-cased, at any depth.
        EXPECT_TRUE(ControlExists(dialog.Handle, L"toolbarwindow32"));
        EXPECT_FALSE(ControlExists(dialog.Handle, L"edit"));
        EXPECT_FALSE(ControlExists(bar.Handle, L"toolbarwindow32"));
    }
    ::UnregisterClassW(longName.c_str(), HInstance);
    EXPECT_EQ(VisibleDlgCount(), 0);
}

TEST_F(CreationHook, PopupMenuWindowsGetAWrapperThatGoesWithThem)
{
    const auto menuClass = reinterpret_cast<const wchar_t*>(MAKEINTATOM(32768));
    kvCanHookMenu = true;
    HWND first = ::CreateWindowExW(0, menuClass, L"", WS_POPUP, 0, 0, 80, 60, nullptr, nullptr, HInstance, nullptr);
    HWND second = ::CreateWindowExW(0, menuClass, L"", WS_POPUP, 0, 0, 80, 60, nullptr, nullptr, HInstance, nullptr);
    ASSERT_TRUE(first && second);
    ASSERT_EQ(MnuArray.size(), 2u);
    EXPECT_EQ(Kv_GetScrollWndFromHwnd(first), MnuArray[0]);
    EXPECT_EQ(Kv_GetScrollWndFromHwnd(second), MnuArray[1]);
    EXPECT_EQ(::SendMessageW(first, SM_KORVEXCMD, MakeKorvexWParam(SMC_IS_SKINNED), 0), 1);

    // A submenu closes: its slot empties, the other menu stays skinned.
    ::DestroyWindow(second);
    EXPECT_EQ(MnuArray[1], nullptr);
    EXPECT_NE(MnuArray[0], nullptr);
    EXPECT_TRUE(kvCanHookMenu);
    // The last one closes: the open menus are forgotten, menus no longer skinned.
    ::DestroyWindow(first);
    EXPECT_TRUE(MnuArray.empty());
    EXPECT_FALSE(kvCanHookMenu);
}
