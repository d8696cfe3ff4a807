#include <gtest/gtest.h>

#include <windows.h>

#include "classlib/rtl/SysUtils.h"

TEST(CodePageTest, KoreanTextRoundTripsThroughTheAnsiCodePage)
{
    ASSERT_EQ(GetACP(), 949u) << "the tests run under a Korean locale";
    AnsiString a = UnicodeToAnsi(L"종료");
    EXPECT_EQ(a, "\xC1\xBE\xB7\xE1");
    EXPECT_EQ(AnsiToUnicode(a), L"종료");
    // Mixed text, an embedded zero, and the empty string.
    UnicodeString mixed(L"a\0b 한글.txt", 10);
    EXPECT_EQ(AnsiToUnicode(UnicodeToAnsi(mixed)), mixed);
    EXPECT_EQ(UnicodeToAnsi(L""), "");
    EXPECT_EQ(AnsiToUnicode(""), L"");
    // Text of 0-127 alone (read without the code page) keeps its zeros and
    // control characters; one byte above 127 sends it through the code page.
    EXPECT_EQ(AnsiToUnicode(std::string("k=v\r\n\0\x7F", 7)), UnicodeString(L"k=v\r\n\0\x7F", 7));
    EXPECT_EQ(AnsiToUnicode(std::string("k=\xC1\xBE\xB7\xE1\n", 7)), L"k=종료\n");
}

TEST(CodePageTest, CharactersOutsideTheCodePageBecomeQuestionMarks)
{
    // Thai and an emoji (a surrogate pair) have no place in code page 949.
    EXPECT_EQ(UnicodeToAnsi(L"x\u0E01y"), "x?y");
    AnsiString emoji = UnicodeToAnsi(L"\U0001F600");
    EXPECT_NE(emoji.find('?'), AnsiString::npos);
    EXPECT_EQ(emoji.find_first_not_of('?'), AnsiString::npos);
}

TEST(IntegerTest, Parses)
{
    struct Case {
        const wchar_t* text;
        bool ok;
        int value;
    } cases[] = {
        {L"0", true, 0},
        {L"42", true, 42},
        {L"-17", true, -17},
        {L"+5", true, 5},
        {L"  12", true, 12},
        {L"$1F", true, 31},
        {L"0x1f", true, 31},
        {L"0X10", true, 16},
        {L"-$10", true, -16},
        {L"$FFFFFFFF", true, -1},
        {L"2147483647", true, 2147483647},
        {L"-2147483648", true, int(0x80000000u)},
        {L"2147483648", false, 0},
        {L"2147483650", false, 0},
        {L"-2147483649", false, 0},
        {L"214748364", true, 214748364},
        {L"$FFFFFFFE", true, -2},
        {L"$100000000", false, 0},
        {L"0xFFFFFFFF0", false, 0},
        {L"", false, 0},
        {L" ", false, 0},
        {L"-", false, 0},
        {L"$", false, 0},
        {L"0x", false, 0},
        {L"12 ", false, 0},
        {L"1.5", false, 0},
        {L"abc", false, 0},
        {L"1e3", false, 0},
        {L"$G", false, 0},
        {L"99999999999999999999", false, 0},
    };
    for (const Case& c : cases) {
        int v = -999;
        EXPECT_EQ(TryStrToInt(c.text, v), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(v, c.value) << c.text;
            EXPECT_EQ(StrToInt(c.text), c.value) << c.text;
        } else {
            EXPECT_EQ(v, -999) << c.text;
            EXPECT_EQ(StrToIntDef(c.text, 1024), 1024) << c.text;
        }
        // A piece of a longer text reads as the same text alone.
        const UnicodeString around = UnicodeString(L"7") + c.text + L"9";
        int w = -999;
        EXPECT_EQ(TryTextToInt(std::wstring_view(around).substr(1, around.size() - 2), w), c.ok) << c.text;
        EXPECT_EQ(w, c.ok ? c.value : -999) << c.text;
    }
}

TEST(IntegerTest, InvalidTextRaisesWithTheText)
{
    try {
        StrToInt(L"abc");
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), L"'abc' is not a valid integer value");
    }
    EXPECT_THROW(StrToInt64(L"9223372036854775808"), EConvertError);
    EXPECT_EQ(StrToInt64(L"-9223372036854775808"), INT64_MIN);
    EXPECT_EQ(StrToInt64(L"9223372036854775807"), INT64_MAX);
    EXPECT_THROW(StrToInt64(L"-9223372036854775809"), EConvertError);
    EXPECT_EQ(StrToInt64(L"$FFFFFFFFFFFFFFFF"), -1);
    EXPECT_THROW(StrToInt64(L"$10000000000000000"), EConvertError);
    EXPECT_EQ(StrToInt64(L"$FFFFFFFFFF"), 0xFFFFFFFFFFll);
    EXPECT_EQ(StrToInt64Def(L"x", 7), 7);
}

TEST(IntegerTest, ToText)
{
    EXPECT_EQ(IntToStr(-12), L"-12");
    EXPECT_EQ(IntToStr(int64_t(1) << 40), L"1099511627776");
    EXPECT_EQ(IntToHex(255, 4), L"00FF");
    EXPECT_EQ(IntToHex(0x1234, 2), L"1234");
    EXPECT_EQ(IntToHex(-1, 0), L"FFFFFFFF");
    EXPECT_EQ(IntToHex(int64_t(-1), 0), L"FFFFFFFFFFFFFFFF");
    // Unsigned and long arguments read as their own values.
    EXPECT_EQ(IntToStr(size_t(4000000000u)), L"4000000000");
    EXPECT_EQ(IntToStr(uint64_t(-1)), L"18446744073709551615");
    EXPECT_EQ(IntToStr(-5L), L"-5");
    EXPECT_EQ(IntToHex(0xFF8000u, 6), L"FF8000");
    EXPECT_EQ(IntToHex(0x80000000ul, 1), L"80000000");
}

TEST(FormatTest, Conversions)
{
    EXPECT_EQ(Format(L"%0.2d:%0.2d:%0.2d", {5, 12, 0}), L"05:12:00");
    EXPECT_EQ(Format(L"%.3d|%5d|%-5d|", -7, 42, 42), L"-007|   42|42   |");
    EXPECT_EQ(Format(L"%u", -1), L"4294967295");
    EXPECT_EQ(Format(L"Error code $%x", 0x2a), L"Error code $2A");
    EXPECT_EQ(Format(L"%X %.4x", 255, 10), L"FF 000A");
    EXPECT_EQ(Format(L"Rename to %s failed", L"새 이름"), L"Rename to 새 이름 failed");
    EXPECT_EQ(Format(L"[%5s][%-3s][%.2s]", L"ab", L"c", L"xyz"), L"[   ab][c  ][xy]");
    EXPECT_EQ(Format(L"%s=%d%%", UnicodeString(L"k"), int64_t(1) << 33), L"k=8589934592%");
    EXPECT_EQ(Format(L"%s", "ansi \xC1\xBE"), L"ansi 종");
    EXPECT_EQ(Format(L"no args"), L"no args");
}

TEST(FormatTest, MismatchesRaise)
{
    EXPECT_THROW(Format(L"%d", L"text"), EConvertError);
    EXPECT_THROW(Format(L"%s", 5), EConvertError);
    EXPECT_THROW(Format(L"%d %d", 5), EConvertError);
    EXPECT_THROW(Format(L"%q", 5), EConvertError);
    EXPECT_THROW(Format(L"trailing %", 5), EConvertError);
    try {
        Format(L"%d", L"x");
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), L"Format '%d' invalid or incompatible with argument");
    }
}

TEST(StringTest, TrimCaseAndCompare)
{
    EXPECT_EQ(Trim(L" \t a b \r\n"), L"a b");
    EXPECT_EQ(TrimLeft(L"  a "), L"a ");
    EXPECT_EQ(TrimRight(L"  a "), L"  a");
    EXPECT_EQ(Trim(L"   "), L"");

    EXPECT_EQ(UpperCase(L"abcÄä"), L"ABCÄä");
    EXPECT_EQ(LowerCase(L"ABCÄä"), L"abcÄä");
    EXPECT_EQ(AnsiUpperCase(L"abcäß"), L"ABCÄß");
    EXPECT_EQ(AnsiLowerCase(L"GUIDE.PDF Ä"), L"guide.pdf ä");

    EXPECT_TRUE(SameText(L"Hello", L"hELLO"));
    EXPECT_FALSE(SameText(L"ä", L"Ä"));
    EXPECT_FALSE(SameText(L"a", L"ab"));
    EXPECT_LT(CompareText(L"abc", L"ABD"), 0);
    EXPECT_GT(CompareText(L"b", L"A"), 0);
    EXPECT_LT(CompareText(L"ab", L"abc"), 0);
    EXPECT_TRUE(AnsiSameText(L"ä", L"Ä"));
    EXPECT_EQ(AnsiCompareText(L"Apple", L"apple"), 0);
    EXPECT_LT(AnsiCompareText(L"apple", L"Banana"), 0);
    EXPECT_NE(AnsiCompareStr(L"a", L"A"), 0);
}

TEST(StringTest, ReplaceAndPositions)
{
    EXPECT_EQ(StringReplace(L"a/b/c", L"/", L"\\", rfReplaceAll), L"a\\b\\c");
    EXPECT_EQ(StringReplace(L"a/b/c", L"/", L"\\", 0), L"a\\b/c");
    EXPECT_EQ(StringReplace(L"x\\\\\\\\y", L"\\\\\\", L"\\", rfReplaceAll), L"x\\\\y");
    EXPECT_EQ(StringReplace(L"Foo foo FOO", L"foo", L"bar", rfReplaceAll | rfIgnoreCase), L"bar bar bar");
    EXPECT_EQ(StringReplace(L"Foo foo", L"foo", L"bar", rfReplaceAll), L"Foo bar");
    EXPECT_EQ(StringReplace(L"aaa", L"a", L"aa", rfReplaceAll), L"aaaaaa");
    EXPECT_EQ(StringReplace(L"abc", L"", L"x", rfReplaceAll), L"abc");

    EXPECT_EQ(Pos(L"@@@", L"a@@@b@@@"), 2);
    EXPECT_EQ(Pos(L"z", L"abc"), 0);
    EXPECT_EQ(Pos(L"", L"abc"), 0);
    EXPECT_EQ(Copy(L"abcdef", 2, 3), L"bcd");
    EXPECT_EQ(Copy(L"abcdef", 0, 2), L"ab");
    EXPECT_EQ(Copy(L"abcdef", 5, 100), L"ef");
    EXPECT_EQ(Copy(L"abcdef", 7, 1), L"");
    EXPECT_EQ(Copy(L"abcdef", 2, -1), L"");

    UnicodeString s = L"abcdef";
    Delete(s, 2, 2);
    EXPECT_EQ(s, L"adef");
    Delete(s, 4, 10);
    EXPECT_EQ(s, L"ade");
    Delete(s, 0, 1);
    Delete(s, 9, 1);
    EXPECT_EQ(s, L"ade");
    Insert(L"XY", s, 2);
    EXPECT_EQ(s, L"aXYde");
    Insert(L"!", s, 100);
    Insert(L"<", s, -3);
    EXPECT_EQ(s, L"<aXYde!");
    EXPECT_EQ(QuotedStr(L"it's"), L"'it''s'");
}

TEST(FileNameTest, Table)
{
    struct Case {
        const wchar_t* name;
        const wchar_t* path;
        const wchar_t* dir;
        const wchar_t* file;
        const wchar_t* ext;
        const wchar_t* changed; // ChangeFileExt(name, ".ini")
    } cases[] = {
        {L"C:\\Book\\viewer.exe", L"C:\\Book\\", L"C:\\Book", L"viewer.exe", L".exe", L"C:\\Book\\viewer.ini"},
        {L"C:\\viewer.exe", L"C:\\", L"C:\\", L"viewer.exe", L".exe", L"C:\\viewer.ini"},
        {L"C:viewer", L"C:", L"C:", L"viewer", L"", L"C:viewer.ini"},
        {L"viewer", L"", L"", L"viewer", L"", L"viewer.ini"},
        {L"a.b\\c", L"a.b\\", L"a.b", L"c", L"", L"a.b\\c.ini"},
        {L"docs/report.DOCX", L"docs/", L"docs", L"report.DOCX", L".DOCX", L"docs/report.ini"},
        {L"x\\archive.tar.gz", L"x\\", L"x", L"archive.tar.gz", L".gz", L"x\\archive.tar.ini"},
        {L"\\a", L"\\", L"\\", L"a", L"", L"\\a.ini"},
        {L"\\\\srv\\share\\f.txt", L"\\\\srv\\share\\", L"\\\\srv\\share", L"f.txt", L".txt", L"\\\\srv\\share\\f.ini"},
        {L"contents\\\\a.pdf", L"contents\\\\", L"contents\\\\", L"a.pdf", L".pdf", L"contents\\\\a.ini"},
        {L"dir\\", L"dir\\", L"dir", L"", L"", L"dir\\.ini"},
        {L"종료\\메모.txt", L"종료\\", L"종료", L"메모.txt", L".txt", L"종료\\메모.ini"},
        {L"", L"", L"", L"", L"", L".ini"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ExtractFilePath(c.name), c.path) << c.name;
        EXPECT_EQ(ExtractFileDir(c.name), c.dir) << c.name;
        EXPECT_EQ(ExtractFileName(c.name), c.file) << c.name;
        EXPECT_EQ(ExtractFileExt(c.name), c.ext) << c.name;
        EXPECT_EQ(ChangeFileExt(c.name, L".ini"), c.changed) << c.name;
    }
    EXPECT_EQ(ChangeFileExt(L"a.txt", L""), L"a");
    EXPECT_EQ(ExtractFileDrive(L"C:\\x"), L"C:");
    EXPECT_EQ(ExtractFileDrive(L"\\\\srv\\share\\x"), L"\\\\srv\\share");
    EXPECT_EQ(ExtractFileDrive(L"x\\y"), L"");

    EXPECT_EQ(IncludeTrailingPathDelimiter(L"C:\\a"), L"C:\\a\\");
    EXPECT_EQ(IncludeTrailingPathDelimiter(L"C:\\a\\"), L"C:\\a\\");
    EXPECT_EQ(IncludeTrailingPathDelimiter(L""), L"\\");
    EXPECT_EQ(ExcludeTrailingPathDelimiter(L"C:\\a\\"), L"C:\\a");
    EXPECT_EQ(ExcludeTrailingPathDelimiter(L"C:\\"), L"C:");
    EXPECT_EQ(ExcludeTrailingPathDelimiter(L"a"), L"a");
}

TEST(FileNameTest, ExpandFileName)
{
    EXPECT_EQ(ExpandFileName(L"C:\\a\\..\\b\\.\\c.txt"), L"C:\\b\\c.txt");
    EXPECT_EQ(ExpandFileName(L""), L"");
    wchar_t cwd[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, cwd);
    EXPECT_EQ(ExpandFileName(L"rel.txt"), IncludeTrailingPathDelimiter(cwd) + L"rel.txt");
}
