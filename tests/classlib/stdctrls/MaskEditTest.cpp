// The masked edit through its window: keys typed, deleted, pasted, cut and
// undone by the mask; Text against EditText; validation on leaving.
#include <gtest/gtest.h>

#include <vector>

#include "classlib/controls/Clipbrd.h"
#include "classlib/controls/Forms.h"
#include "classlib/controls/Mask.h"

namespace {

struct TMaskFixture {
    TOwned<TForm> Form{TForm::CreateNew(nullptr)};
    TMaskEdit* Edit;
    std::vector<UnicodeString> Log;

    explicit TMaskFixture(const wchar_t* Mask)
    {
        Form->SetBounds(0, 0, 300, 200);
        Edit = New<TMaskEdit>(Form.get());
        Edit->SetParent(Form.get());
        Edit->SetEditMask(Mask);
        Edit->HandleNeeded();
        Edit->OnChange = Bind(this, &TMaskFixture::Changed);
    }
    void Changed(TObject*) { Log.push_back(Edit->Text()); }
    void Type(const wchar_t* Keys)
    {
        for (const wchar_t* k = Keys; *k; ++k)
            SendMessageW(Edit->Handle(), WM_CHAR, *k, 1);
    }
    void KeyDown(WORD Key) { SendMessageW(Edit->Handle(), WM_KEYDOWN, Key, 1); }
};

TEST(MaskEdit, TypedKeysFollowTheMaskInTheWindow)
{
    TMaskFixture f(L"(999)000-0000;0;_");
    EXPECT_EQ(f.Edit->EditText(), L"(___)___-____");
    f.Edit->SetSelStart(0);
    f.Type(L"55x51234567");   // 'x' is refused
    EXPECT_EQ(f.Edit->EditText(), L"(555)123-4567");
    EXPECT_EQ(f.Edit->Text(), L"5551234567");
    EXPECT_TRUE(f.Edit->Modified());
    // One change a character taken, none for the refused one.
    EXPECT_EQ(f.Log.size(), 10u);

    f.Type(L"\b\b");
    EXPECT_EQ(f.Edit->EditText(), L"(555)123-45__");
    f.Edit->SetSelStart(1);
    f.KeyDown(VK_DELETE);
    EXPECT_EQ(f.Edit->EditText(), L"(_55)123-45__");
    EXPECT_EQ(f.Edit->SelStart(), 1);
}

TEST(MaskEdit, TextAndEditTextAcrossMaskChanges)
{
    TMaskFixture f(L"");
    f.Edit->SetText(L"12252024");
    f.Edit->SetEditMask(L"99-99-9999;1;_");   // the text is laid into the new mask
    EXPECT_EQ(f.Edit->EditText(), L"12-25-2024");
    f.Edit->SetEditMask(L"99.99.9999;0;_");   // what was typed moves to the new places
    EXPECT_EQ(f.Edit->EditText(), L"12.25.2024");
    EXPECT_EQ(f.Edit->Text(), L"12252024");
    f.Edit->SetEditMask(L"");                  // and back to a plain edit
    EXPECT_EQ(f.Edit->Text(), L"12252024");
    f.Edit->SetEditText(L"anything");
    EXPECT_EQ(f.Edit->Text(), L"anything");
}

TEST(MaskEdit, PasteCutAndUndoGoThroughTheMask)
{
    TMaskFixture f(L">LL-00;1;_");
    Clipboard()->SetAsText(L"ab-12");
    f.Edit->SetSelStart(0);
    f.Edit->PasteFromClipboard();
    EXPECT_EQ(f.Edit->EditText(), L"AB-12");

    f.Edit->SetSelStart(3);
    f.Edit->SetSelLength(2);
    f.Edit->CutToClipboard();
    EXPECT_EQ(f.Edit->EditText(), L"AB-__");
    EXPECT_EQ(Clipboard()->AsText(), L"12");

    EXPECT_TRUE(f.Edit->CanUndo());
    f.Edit->Undo();
    EXPECT_EQ(f.Edit->EditText(), L"AB-12");

    // Text that the mask refuses from the start leaves the edit alone.
    Clipboard()->SetAsText(L"99");
    f.Edit->SetSelStart(0);
    f.Edit->PasteFromClipboard();
    EXPECT_EQ(f.Edit->EditText(), L"AB-12");
}

TEST(MaskEdit, ReadOnlyTakesNoKeys)
{
    TMaskFixture f(L"000;1;_");
    f.Edit->SetReadOnly(true);
    f.Type(L"12\b");
    f.KeyDown(VK_DELETE);
    Clipboard()->SetAsText(L"7");
    f.Edit->PasteFromClipboard();
    EXPECT_EQ(f.Edit->EditText(), L"___");
}

TEST(MaskEdit, ValidationAndReset)
{
    TMaskFixture f(L"00-00;1;_");
    f.Edit->SetEditText(L"12-34");
    f.Edit->SetModified(false);
    f.Edit->Perform(CM_ENTER, 0, 0);       // the value Esc goes back to
    f.Edit->SetSelStart(4);
    f.Type(L"\b");
    EXPECT_EQ(f.Edit->EditText(), L"12-_4");
    EXPECT_THROW(f.Edit->ValidateEdit(), EDBEditError);
    EXPECT_EQ(f.Edit->SelStart(), 3);       // the caret waits on the blank place
    EXPECT_THROW(f.Edit->Perform(CM_EXIT, 0, 0), EDBEditError);

    f.Type(L"\x1B");
    EXPECT_EQ(f.Edit->EditText(), L"12-34");
    EXPECT_FALSE(f.Edit->Modified());
    EXPECT_NO_THROW(f.Edit->ValidateEdit());
    // An unchanged incomplete text is not the user's doing: no error.
    f.Edit->SetEditText(L"1");
    f.Edit->SetModified(false);
    EXPECT_NO_THROW(f.Edit->ValidateEdit());
}

} // namespace
