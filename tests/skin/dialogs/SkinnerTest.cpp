// The dialog half of the creation hook's provider: a parentless dialog is
// skinned when it is made, each standard child gets the wrapper its class
// and the type field of its style call for, the dialog lands at
// DlgLeft/DlgTop (an axis at -1 keeps its coordinate), a message box
// without owner is skinned like any dialog, and removing the skin gives
// everything back.
#include <functional>

#include "DialogFixture.h"
#include "classlib/controls/Forms.h"

using namespace dlgtest;

namespace {

TDialogTemplate StandardChildren()
{
    TDialogTemplate t(kBoxStyle, L"Standard children", 10, 10, 260, 200);
    t.Add({kButton, BS_PUSHBUTTON | WS_VISIBLE, 4, 4, 50, 14, 101, L"Push"})
        .Add({kButton, BS_DEFPUSHBUTTON | WS_VISIBLE, 60, 4, 50, 14, 102, L"Default"})
        .Add({kButton, BS_OWNERDRAW | WS_VISIBLE, 116, 4, 50, 14, 103, L"Owner"})
        .Add({kButton, BS_AUTOCHECKBOX | WS_VISIBLE, 4, 22, 60, 10, 104, L"Check"})
        .Add({kButton, BS_AUTORADIOBUTTON | WS_VISIBLE, 70, 22, 60, 10, 105, L"Radio"})
        .Add({kButton, BS_3STATE | WS_VISIBLE, 136, 22, 60, 10, 106, L"Three"})
        .Add({kButton, BS_GROUPBOX | WS_VISIBLE, 4, 36, 120, 40, 107, L"Group"})
        .Add({kEdit, ES_AUTOHSCROLL | WS_BORDER | WS_VISIBLE, 4, 80, 80, 12, 108})
        .Add({kEdit, ES_AUTOHSCROLL | WS_BORDER, 90, 80, 80, 12, 109})
        .Add({kComboBox, CBS_DROPDOWNLIST | WS_VSCROLL | WS_VISIBLE, 4, 96, 80, 60, 110})
        .Add({kListBox, LBS_NOTIFY | WS_BORDER | WS_VSCROLL | WS_VISIBLE, 130, 96, 80, 40, 111})
        .Add({kStatic, SS_LEFT | WS_VISIBLE, 4, 140, 60, 10, 112, L"Text"})
        .Add({kStatic, SS_ICON | WS_VISIBLE, 70, 140, 16, 16, 113})
        .Add({kStatic, SS_SIMPLE | WS_VISIBLE, 100, 140, 60, 10, 114, L"Simple"});
    return t;
}

// A window that runs a task when a posted message reaches it: how a test
// looks at a modal window from inside its loop without waiting for it.
class TProbe {
public:
    explicit TProbe(std::function<void()> Task) : FTask(std::move(Task))
    {
        static const ATOM cls = [] {
            WNDCLASSW wc{};
            wc.lpfnWndProc = &Proc;
            wc.hInstance = ::GetModuleHandleW(nullptr);
            wc.lpszClassName = L"KvDialogTestProbe";
            return ::RegisterClassW(&wc);
        }();
        (void)cls;
        FWnd = ::CreateWindowExW(0, L"KvDialogTestProbe", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                 ::GetModuleHandleW(nullptr), nullptr);
        ::SetWindowLongPtrW(FWnd, GWLP_USERDATA, LONG_PTR(this));
    }
    ~TProbe() { ::DestroyWindow(FWnd); }
    void Post() { ::PostMessageW(FWnd, WM_APP, 0, 0); }

private:
    HWND FWnd = nullptr;
    std::function<void()> FTask;
    static LRESULT CALLBACK Proc(HWND W, UINT M, WPARAM WP, LPARAM LP)
    {
        if (M == WM_APP)
            if (auto* self = reinterpret_cast<TProbe*>(::GetWindowLongPtrW(W, GWLP_USERDATA)))
                self->FTask();
        return ::DefWindowProcW(W, M, WP, LP);
    }
};

// The skinned dialog of this thread that is in the provider list.
HWND SkinnedDialog()
{
    if (kvSupportedList)
        for (TkvProvider* e : *kvSupportedList)
            if (e && e->ListSW && ::IsWindow(e->CtrlHandle))
                return e->CtrlHandle;
    return nullptr;
}

} // namespace

class DialogSkinner : public DialogTest {};

TEST_F(DialogSkinner, EachStandardChildGetsTheWrapperOfItsClassAndStyleType)
{
    HWND d = NewDialog(StandardChildren());
    TkvDialogWnd* dw = SkinnerOf(d);
    ASSERT_NE(dw, nullptr) << "skinned when made";
    EXPECT_TRUE(GetBoolMsg(d, SMC_IS_SKINNED));
    EXPECT_EQ(dw->BorderStyle, kvbsDialog);
    struct TCase {
        int Id;
        const char* Wrapper;
        const wchar_t* Section;
    };
    const TCase cases[] = {
        {101, "TkvBtnWnd", L"BUTTON"},
        {102, "TkvBtnWnd", L"BUTTON"},
        // The type field decides: an owner-drawn button is no check box.
        {103, "TkvBtnWnd", L"BUTTON"},
        {104, "TkvCheckBoxWnd", L"CHECKBOX"},
        {105, "TkvCheckBoxWnd", L"CHECKBOX"},
        {106, "TkvCheckBoxWnd", L"CHECKBOX"},
        {107, "TkvGroupBoxWnd", L"GROUPBOX"},
        {108, "TkvEditWnd", L"EDIT"},
        // A hidden edit keeps its look.
        {109, "", L""},
        {110, "TkvComboBoxWnd", L"COMBOBOX"},
        {111, "TkvEditWnd", L"EDIT"},
        {112, "TkvStaticWnd", L"CHECKBOX"},
        {113, "TkvIconWnd", L"CHECKBOX"},
        // A simple static is no picture and is left alone.
        {114, "", L""},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Id);
        HWND child = Item(d, c.Id);
        ASSERT_NE(child, nullptr);
        EXPECT_EQ(WrapperName(child), c.Wrapper);
        if (TkvMainWnd* w = Kv_GetScrollWndFromHwnd(child)) {
            EXPECT_EQ(w->SkinData->SkinSection(), UnicodeString(c.Section));
            EXPECT_EQ(FindFormInList(d)->FindCtrlInList(child), w);
        }
    }
    // An edit among the children lets the dialog's own painting through.
    EXPECT_FALSE(dw->FWMPaintForbidden);
    EXPECT_TRUE(Kv_GetScrollWndFromHwnd(Item(d, 108))->DlgMode);
}

TEST_F(DialogSkinner, PlacedAtDlgLeftAndDlgTopKeepingAnAxisAtMinusOne)
{
    const TDialogTemplate t(kBoxStyle, L"Placed", 20, 30, 120, 60);
    HWND plain = NewDialog(t, false);
    RECT own;
    ::GetWindowRect(plain, &own);
    ::DestroyWindow(plain);
    struct TCase {
        int Left, Top, X, Y;
    };
    const TCase cases[] = {{100, -1, 100, int(own.top)},
                           {-1, 80, int(own.left), 80},
                           {100, 80, 100, 80},
                           {-1, -1, int(own.left), int(own.top)}};
    for (const TCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.Left << "," << c.Top);
        DlgLeft = c.Left;
        DlgTop = c.Top;
        HWND d = NewDialog(t);
        ASSERT_NE(SkinnerOf(d), nullptr);
        RECT r;
        ::GetWindowRect(d, &r);
        EXPECT_EQ(r.left, c.X);
        EXPECT_EQ(r.top, c.Y);
        ::DestroyWindow(d);
    }
}

TEST_F(DialogSkinner, MessageBoxWithoutOwnerIsSkinnedWithItsButtonsWrapped)
{
    bool looked = false;
    TProbe probe([&] {
        HWND box = SkinnedDialog();
        ASSERT_NE(box, nullptr) << "the box is skinned";
        looked = true;
        TkvDialogWnd* dw = SkinnerOf(box);
        ASSERT_NE(dw, nullptr);
        EXPECT_TRUE(dw->VisibleClose());
        // The skin draws the close button: the system's is taken away.
        EXPECT_FALSE(::GetWindowLongW(box, GWL_STYLE) & WS_SYSMENU);
        ::SendMessageW(box, SM_KORVEXCMD, MakeKorvexWParam(28), 0);
        EXPECT_EQ(WrapperName(::GetDlgItem(box, IDOK)), "TkvBtnWnd");
        ::PostMessageW(box, WM_COMMAND, IDOK, 0);
    });
    probe.Post();
    EXPECT_EQ(::MessageBoxW(nullptr, L"A box without owner", L"Box", MB_OK), IDOK);
    EXPECT_TRUE(looked);
}

TEST_F(DialogSkinner, SystemMenuShowsWhatTheDialogAllows)
{
    HWND fixed = NewDialog(TDialogTemplate(kBoxStyle | WS_MAXIMIZEBOX, L"Fixed", 10, 10, 120, 60));
    TkvSystemMenu* menu = SkinnerOf(fixed)->SystemMenu;
    menu->UpdateItems();
    // A modal frame: Move, the separator and Close.
    EXPECT_FALSE(menu->ItemRestore->Visible());
    EXPECT_TRUE(menu->ItemMove->Visible());
    EXPECT_FALSE(menu->ItemSize->Visible());
    EXPECT_FALSE(menu->ItemMinimize->Visible());
    EXPECT_TRUE(menu->ItemClose->Visible());
    EXPECT_FALSE(menu->ItemMaximize->Enabled());
    ::DestroyWindow(fixed);

    HWND sizeable = NewDialog(
        TDialogTemplate(WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MAXIMIZEBOX, L"Sizeable", 10, 10, 120, 60));
    menu = SkinnerOf(sizeable)->SystemMenu;
    menu->UpdateItems();
    EXPECT_TRUE(menu->ItemRestore->Visible());
    EXPECT_FALSE(menu->ItemRestore->Enabled());
    EXPECT_TRUE(menu->ItemSize->Visible() && menu->ItemSize->Enabled());
    EXPECT_TRUE(menu->ItemMaximize->Visible() && menu->ItemMaximize->Enabled());
    menu->ItemMaximize->Click();
    EXPECT_EQ(Log.SysCommands.back(), WPARAM(SC_MAXIMIZE));
}

TEST_F(DialogSkinner, BorderStyleFromTheStyles)
{
    struct TCase {
        DWORD Style;
        TkvBorderStyle Expected;
    };
    const TCase cases[] = {
        {kBoxStyle, kvbsDialog},
        {WS_POPUP, kvbsNone},
        {WS_POPUP | WS_BORDER, kvbsNone},
        {WS_POPUP | WS_CAPTION | WS_THICKFRAME, kvbsSizeable},
        // Neither a sizing nor a modal frame: a fixed frame, not a sizing one.
        {WS_POPUP | WS_CAPTION, kvbsSingle},
        {WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, kvbsSingle},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(DialogBorderStyle(c.Style), c.Expected) << std::hex << c.Style;
}

// Without an active manager the provider makes nothing and says so, so
// that its entry does not stay in the list without a skinner.
TEST_F(DialogSkinner, NoManagerMakesNoSkinnerAndAnswersFalse)
{
    HWND d = NewDialog(TDialogTemplate(kBoxStyle, L"Unskinned", 10, 10, 120, 60), false);
    Manager->SetActive(false);
    ASSERT_EQ(SkinnerOf(d), nullptr);
    TOwned<TkvProvider> entry(New<TkvProvider>(nullptr));
    EXPECT_FALSE(entry->InitSkin(d));
    EXPECT_EQ(entry->ListSW, nullptr);
    EXPECT_EQ(Kv_GetScrollWndFromHwnd(d), nullptr);
}

TEST_F(DialogSkinner, SkinRemovalGivesEverythingBack)
{
    const TResourceCount before = CountResources();
    HWND d = NewDialog(StandardChildren());
    HWND button = Item(d, 101);
    ASSERT_NE(SkinnerOf(d), nullptr);
    ASSERT_NE(Kv_GetScrollWndFromHwnd(button), nullptr);
    ::SendMessageW(d, WM_NCPAINT, 1, 0);
    HRGN probe = ::CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(::GetWindowRgn(d, probe), ERROR) << "the skin's corners cut the window";
    Manager->SetActive(false);
    EXPECT_EQ(FindFormInList(d), nullptr);
    EXPECT_EQ(Kv_GetScrollWndFromHwnd(d), nullptr);
    EXPECT_EQ(Kv_GetScrollWndFromHwnd(button), nullptr);
    EXPECT_FALSE(GetBoolMsg(d, SMC_IS_SKINNED));
    EXPECT_TRUE(::GetWindowLongW(d, GWL_STYLE) & WS_SYSMENU);
    EXPECT_EQ(::GetWindowRgn(d, probe), ERROR) << "no region left";
    ::DeleteObject(probe);
    ::DestroyWindow(d);
    Application->ProcessMessages();
    EXPECT_TRUE(NoResourceGrowth(before, CountResources()));
}
