// The dialog's system menu dropped from the caption's icon and by a right
// click on the caption (also through the border window of extended
// borders): the skinned popup shows the entries the dialog's frame allows,
// and choosing Close closes the dialog.
#include <string>
#include <vector>

#include "../frame/MenuWatch.h"
#include "DialogFixture.h"

using namespace dlgtest;

namespace {

constexpr DWORD kSizeable = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;

// The entries a popup window shows, with their state and command ids.
struct TEntry {
    const TMenuItem* Item;
    UINT State, Id;
};
std::vector<TEntry> EntriesOf(HWND Popup)
{
    std::vector<TEntry> entries;
    const auto menu = reinterpret_cast<HMENU>(::SendMessageW(Popup, MN_GETHMENU, 0, 0));
    for (int i = 0; menu && i < ::GetMenuItemCount(menu); ++i) {
        MENUITEMINFOW mii{};
        mii.cbSize = sizeof(mii);
        mii.fMask = MIIM_DATA | MIIM_STATE | MIIM_ID;
        ::GetMenuItemInfoW(menu, UINT(i), TRUE, &mii);
        entries.push_back({reinterpret_cast<const TMenuItem*>(mii.dwItemData), mii.fState, mii.wID});
    }
    return entries;
}

// The item's name of each entry ("-" for a line), "(off)" after a disabled one.
std::vector<std::string> NamesOf(HWND Popup)
{
    std::vector<std::string> names;
    for (const TEntry& e : EntriesOf(Popup)) {
        const UnicodeString name = e.Item ? e.Item->Name() : UnicodeString(L"?");
        std::string n = e.Item && e.Item->IsLine() ? "-" : std::string(name.begin(), name.end());
        names.push_back(n + ((e.State & MFS_GRAYED) ? "(off)" : ""));
    }
    return names;
}

// The command id of the shown entry named Name (0: none).
WORD CommandOf(HWND Popup, const wchar_t* Name)
{
    for (const TEntry& e : EntriesOf(Popup))
        if (e.Item && e.Item->Name() == Name)
            return WORD(e.Id);
    return 0;
}

class DialogSystemMenu : public DialogTest {
protected:
    // Drops the menu of D as a click does: a left press on the icon, or a
    // right click on the caption.
    void Drop(HWND D, bool RightClick)
    {
        TkvDialogWnd* dw = SkinnerOf(D);
        const TsFrameMetrics m = dw->Metrics();
        const int y = m.SysBorderHeight(true) + m.CaptionHeight(true) / 2;
        if (RightClick)
            ::SendMessageW(D, WM_NCRBUTTONUP, HTCAPTION, ScreenAt(D, TPoint(WindowRectOf(D).Width() / 3, y)));
        else
            ::SendMessageW(D, WM_NCLBUTTONDOWN, HTSYSMENU, ScreenAt(D, TPoint(m.SysBorderWidth(true) + 4, y)));
    }
};

} // namespace

// A modal frame shows Move, a line and Close; a sizeable dialog with both
// boxes everything, Restore disabled while it is not maximised.  The menu
// is the skinned one, tracked for the dialog.
TEST_F(DialogSystemMenu, DropsWithTheEntriesTheFrameAllows)
{
    const struct {
        const char* Name;
        DWORD Style;
        std::vector<std::string> Entries;
    } cases[] = {
        {"modal frame", kBoxStyle, {"miMove", "-", "miClose"}},
        {"sizeable",
         kSizeable,
         {"miRestore(off)", "miMove", "miSize", "miMinimize", "miMaximize", "-", "miClose"}},
    };
    for (const auto& c : cases)
        for (bool rightClick : {false, true}) {
            SCOPED_TRACE(testing::Message() << c.Name << (rightClick ? ", right click" : ", icon"));
            HWND d = NewDialog(TDialogTemplate(c.Style, L"Menu", 10, 10, 200, 100));
            TkvDialogWnd* dw = SkinnerOf(d);
            ASSERT_NE(dw, nullptr);
            std::vector<std::string> shown;
            {
                TMenuWatch watch([&](HWND Popup) { shown = NamesOf(Popup); });
                Drop(d, rightClick);
                EXPECT_EQ(watch.Opened, 1);
            }
            EXPECT_EQ(shown, c.Entries);
            EXPECT_EQ(dw->SystemMenu->WindowHandle(), d);
            EXPECT_TRUE(dw->SystemMenu->OwnerDraw()) << "drawn by the skinned menus";
            ::DestroyWindow(d);
        }
}

// Choosing Close sends the dialog the close command, which closes it.
TEST_F(DialogSystemMenu, ChoosingCloseClosesTheDialog)
{
    Log.LetClose = true;
    HWND d = NewDialog(TDialogTemplate(kBoxStyle, L"Close", 10, 10, 200, 100));
    ASSERT_NE(SkinnerOf(d), nullptr);
    WORD close = 0;
    {
        TMenuWatch watch([&](HWND Popup) { close = CommandOf(Popup, L"miClose"); });
        Drop(d, true);
    }
    ASSERT_NE(close, 0) << "Close is shown";
    // What the system sends when the entry is chosen.
    ::SendMessageW(PopupList->Window(), WM_COMMAND, close, 0);
    ASSERT_FALSE(Log.SysCommands.empty());
    EXPECT_EQ(Log.SysCommands.back(), WPARAM(SC_CLOSE));
    EXPECT_FALSE(::IsWindow(d));
}

// With extended borders the caption is the border window's: a right click
// there drops the same menu.
TEST_F(DialogSystemMenu, DropsByARightClickOnTheBorderWindow)
{
    UseBuiltShadowImages();
    Manager->SetExtendedBorders(true);
    HWND d = NewDialog(TDialogTemplate(kBoxStyle, L"Border", 10, 10, 200, 100));
    TkvDialogWnd* dw = SkinnerOf(d);
    ASSERT_NE(dw, nullptr);
    ASSERT_NE(dw->BorderForm, nullptr);
    dw->UpdateExBordersPos(true);
    const HWND border = dw->BorderForm->Handle();
    const TRect b = WindowRectOf(border);
    const TRect s = dw->ShadowSize();
    std::vector<std::string> shown;
    {
        TMenuWatch watch([&](HWND Popup) { shown = NamesOf(Popup); });
        ::SendMessageW(border, WM_NCRBUTTONUP, 19, MAKELPARAM(b.left + b.Width() / 3, b.top + s.top + 6));
        EXPECT_EQ(watch.Opened, 1);
    }
    EXPECT_EQ(shown, (std::vector<std::string>{"miMove", "-", "miClose"}));
}
