// Text notes on the first removable drive.  The drive is a folder of the
// test mapped as a removable drive of the Wine prefix for a while.
#include <gtest/gtest.h>

#include "CommandsTestUtils.h"
#include "app/VKBViewerMainFormUnitFunctions.h"

namespace {

TEST(Notes, WithoutARemovableDriveBothFail)
{
    ASSERT_EQ(FindRemovableDrive(), 0) << "the prefix already has a removable drive";
    TBook book;
    book.Form->FlashPlayer->SetVariable(L"loadTxt", L"before");
    book.Command(L"exec", L"function_saveTextFile@@@Hello@@@memo1.txt");
    book.Command(L"exec", L"function_loadTextFile");
    EXPECT_EQ(book.Variable(L"saveSuccess"), L"fail");
    EXPECT_EQ(book.Variable(L"loadSuccess"), L"fail");
    EXPECT_EQ(book.Variable(L"loadTxt"), L"before");
}

class NotesOnDrive : public testing::Test {
protected:
    TRemovableDrive Drive;
    TBook Book;

    void SetUp() override { ASSERT_TRUE(Drive.Mapped()) << "could not map a removable drive"; }
    UnicodeString Root() const { return UnicodeString(1, Drive.Letter()) + L":\\"; }
    UnicodeString Note(const UnicodeString& name) const { return Drive.Folder() / (L"TxtData\\" + name); }
};

TEST_F(NotesOnDrive, SaveWritesTheNoteInTextMode)
{
    EXPECT_EQ(FindRemovableDrive(), Drive.Letter());
    Book.Command(L"exec", L"function_saveTextFile@@@Hello@@@memo1.txt");
    EXPECT_EQ(Book.Variable(L"saveSuccess"), L"success");
    EXPECT_EQ(ReadBytes(Note(L"memo1.txt")), "Hello");

    // The folder is there now; line feeds become CR LF; the file is replaced.
    Book.Command(L"exec", L"function_saveTextFile@@@two\nlines@@@memo1.txt");
    EXPECT_EQ(ReadBytes(Note(L"memo1.txt")), "two\r\nlines");
    // "/" in the movie's text is a path separator like everywhere else.
    Book.Command(L"exec", L"function_saveTextFile@@@1/2@@@half.txt");
    EXPECT_EQ(ReadBytes(Note(L"half.txt")), "1\\2");
    EXPECT_EQ(Book.Variable(L"saveSuccess"), L"success");
}

TEST_F(NotesOnDrive, KoreanNoteInTheAnsiCodePage)
{
    ASSERT_EQ(GetACP(), 949u) << "run with LANG=ko_KR.UTF-8";
    Book.Command(L"exec", L"function_saveTextFile@@@한글 메모@@@메모.txt");
    EXPECT_EQ(Book.Variable(L"saveSuccess"), L"success");
    EXPECT_EQ(ReadBytes(Note(L"메모.txt")), "\xC7\xD1\xB1\xDB \xB8\xDE\xB8\xF0");
}

TEST_F(NotesOnDrive, ANoteThatCannotBeWrittenFails)
{
    struct {
        const wchar_t* Args;
    } cases[] = {
        {L"function_saveTextFile@@@text@@@missing/memo.txt"},   // no such folder
        {L"function_saveTextFile@@@text@@@"},                   // the folder itself
        {L"function_saveTextFile@@@ab"},                        // no separator: no name
        {L"function_saveTextFile@@@text@@@bad|name.txt"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Args);
        Book.Form->FlashPlayer->SetVariable(L"saveSuccess", L"before");
        Book.Command(L"exec", c.Args);
        EXPECT_EQ(Book.Variable(L"saveSuccess"), L"fail");
    }
    EXPECT_FALSE(FileThere(Note(L"missing\\memo.txt")));

    // Without a separator the name starts at the third character.
    Book.Command(L"exec", L"function_saveTextFile@@@xymemo2.txt");
    EXPECT_EQ(Book.Variable(L"saveSuccess"), L"success");
    EXPECT_TRUE(FileThere(Note(L"memo2.txt")));
    EXPECT_EQ(ReadBytes(Note(L"memo2.txt")), "");
}

TEST_F(NotesOnDrive, LoadNamesTheNoteFolder)
{
    Book.Command(L"exec", L"function_loadTextFile@@@ignored");
    EXPECT_EQ(Book.Variable(L"loadTxt"), Root() + L"TxtData\\");
    EXPECT_EQ(Book.Variable(L"loadSuccess"), L"success");
}

} // namespace
