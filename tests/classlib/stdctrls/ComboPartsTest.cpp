// The combo box's edit part and list, subclassed while its window lives:
// their messages reach ComboWndProc, the edit part's keys the combo's own
// key handling.
#include <gtest/gtest.h>

#include <vector>

#include "classlib/controls/Forms.h"
#include "classlib/controls/StdCtrls.h"
#include "classlib/controls/SubclassWindow.h"

namespace {

class TWatchedCombo : public TComboBox {
public:
    explicit TWatchedCombo(TComponent* AOwner) : TComboBox(AOwner) {}
    std::vector<HWND> Seen;   // the child of each WM_USER seen
protected:
    void ComboWndProc(TMessage& Message, HWND ComboWnd, TSubclassedWindow& ComboProc) override
    {
        if (Message.Msg == WM_USER + 7)
            Seen.push_back(ComboWnd);
        TComboBox::ComboWndProc(Message, ComboWnd, ComboProc);
    }
};

struct TKeys : TObject {
    std::vector<wchar_t> Pressed;
    void KeyPress(TObject*, wchar_t& Key)
    {
        Pressed.push_back(Key);
        if (Key == L'x')
            Key = 0;   // swallowed: the edit part never gets it
    }
};

TEST(ComboParts, EditAndListMessagesReachComboWndProcAcrossNewWindows)
{
    TOwned<TForm> form(TForm::CreateNew(nullptr));
    auto* combo = new TWatchedCombo(form.get());
    combo->SetParent(form.get());
    for (int pass = 0; pass < 2; ++pass) {
        combo->HandleNeeded();
        HWND edit = combo->EditHandle();
        HWND list = combo->ListHandle();
        ASSERT_TRUE(edit && list);
        EXPECT_TRUE(TSubclassedWindow::Find(edit, L"TCustomComboBox.Edit"));
        combo->Seen.clear();
        SendMessageW(edit, WM_USER + 7, 0, 0);
        SendMessageW(list, WM_USER + 7, 0, 0);
        EXPECT_EQ(combo->Seen, (std::vector<HWND>{edit, list})) << "pass " << pass;
        combo->SetSorted(pass == 0);   // a new window: its new children are taken too
    }
}

TEST(ComboParts, EditPartKeysGoThroughTheCombosKeyPress)
{
    TOwned<TForm> form(TForm::CreateNew(nullptr));
    TKeys keys;
    auto* combo = New<TComboBox>(form.get());
    combo->SetParent(form.get());
    combo->OnKeyPress = Bind(&keys, &TKeys::KeyPress);
    combo->HandleNeeded();
    HWND edit = combo->EditHandle();
    for (wchar_t ch : {L'a', L'x', L'b'})
        SendMessageW(edit, WM_CHAR, ch, 1);
    EXPECT_EQ(keys.Pressed, (std::vector<wchar_t>{L'a', L'x', L'b'}));
    EXPECT_EQ(combo->Text(), L"ab");

    // Destroying the combo box, then its form, leaves the children's
    // procedures in order (nothing left to call a freed method).
    delete combo;
    EXPECT_FALSE(IsWindow(edit));
}

} // namespace
