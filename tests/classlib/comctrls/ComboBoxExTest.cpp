// The extended combo box over its "ComboBoxEx32" window.
#include <gtest/gtest.h>

#include "classlib/controls/ComCtrls.h"
#include "classlib/controls/Forms.h"

namespace {
struct TSelects : TObject {
    int Count = 0;
    void Select(TObject*) { ++Count; }
};
} // namespace

TEST(ComboBoxEx, ItemsLiveInTheWindowsRecordsAndSurviveARecreation)
{
    TOwned<TForm> form(TForm::CreateNew(nullptr));
    form->SetBounds(0, 0, 300, 200);
    auto* combo = New<TComboBoxEx>(form.get());
    combo->SetParent(form.get());
    TObject marker;
    // Before the window exists, then handed to it.
    combo->Items()->Add(L"one");
    combo->Items()->AddObject(L"two", &marker);
    combo->SetItemIndex(1);
    HWND wnd = combo->Handle();
    wchar_t name[64] = {};
    GetClassNameW(wnd, name, 64);
    EXPECT_STREQ(name, L"TComboBoxEx");
    EXPECT_EQ(SendMessageW(wnd, CB_GETCOUNT, 0, 0), 2);
    combo->Items()->Insert(0, L"zero");
    EXPECT_EQ(combo->Items()->Text(), L"zero\r\none\r\ntwo\r\n");
    EXPECT_EQ(combo->Items()->Objects(2), &marker);
    EXPECT_EQ(combo->ItemIndex(), 2);
    combo->Items()->SetStrings(1, L"uno");
    combo->Items()->Delete(0);

    combo->SetStyle(csExDropDownList);
    EXPECT_NE(combo->Handle(), wnd);
    EXPECT_EQ(combo->Items()->Text(), L"uno\r\ntwo\r\n");
    EXPECT_EQ(combo->Items()->Objects(1), &marker);
    EXPECT_EQ(combo->ItemIndex(), 1);
    EXPECT_THROW(combo->Items()->Delete(5), EStringListError);

    // A selection by the user reaches OnSelect through the form.
    TSelects selects;
    combo->OnSelect = Bind(&selects, &TSelects::Select);
    HWND inner = combo->ComboHandle();
    ASSERT_NE(inner, nullptr);
    SendMessageW(combo->Handle(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(inner), CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(inner));
    EXPECT_EQ(selects.Count, 1);
}
