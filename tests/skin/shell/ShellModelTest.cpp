// The shell model's Windows-free parts: item-id lists, STRRET texts and
// display names, the wildcard masks and the list's order.  Built natively
// under the sanitizers and under Wine.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "skin/editors/kvShellMask.h"
#include "skin/editors/kvShellNames.h"
#include "skin/editors/kvShellPidl.h"
#include "skin/editors/kvShellSort.h"
#include "skin/editors/kvShellTypes.h"

namespace {

// A list of items of the given sizes, item i filled with the byte 'a' + i.
std::vector<uint8_t> MakeList(std::initializer_list<unsigned> sizes)
{
    std::vector<uint8_t> v;
    uint8_t fill = 'a';
    for (unsigned s : sizes) {
        v.push_back(uint8_t(s & 0xFF));
        v.push_back(uint8_t(s >> 8));
        v.insert(v.end(), s - 2, fill++);
    }
    v.push_back(0);
    v.push_back(0);
    return v;
}

struct TOwnedPidl {
    PItemIDList P;
    explicit TOwnedPidl(PItemIDList p) : P(p) {}
    ~TOwnedPidl() { DisposePIDL(P); }
};

}  // namespace

TEST(ShellPidl, SizesCountsAndCopies)
{
    auto one = MakeList({20});
    auto three = MakeList({6, 4, 10});
    EXPECT_EQ(PidlSize(one.data()), 22u);
    EXPECT_EQ(PidlSize(nullptr), 0u);
    EXPECT_EQ(PidlCount(three.data()), 3);
    EXPECT_EQ(PidlCount(nullptr), 0);

    TOwnedPidl clone(PidlClone(three.data()));
    EXPECT_TRUE(PidlBytesEqual(clone.P, three.data()));
    EXPECT_EQ(PidlClone(nullptr), nullptr);

    TOwnedPidl appended(PidlAppend(one.data(), three.data()));
    EXPECT_EQ(PidlCount(appended.P), 4);
    EXPECT_EQ(PidlSize(appended.P), 20u + 20u + 2u);
    TOwnedPidl fromNil(PidlAppend(nullptr, three.data()));
    EXPECT_TRUE(PidlBytesEqual(fromNil.P, three.data()));

    TOwnedPidl last(PidlLastCopy(three.data()));
    EXPECT_EQ(PidlSize(last.P), 12u);
    EXPECT_EQ(last.P[2], 'c');
}

TEST(ShellPidl, CutLastAndChains)
{
    auto three = MakeList({6, 4, 10});
    TOwnedPidl work(PidlClone(three.data()));
    PidlCutLast(work.P);
    EXPECT_EQ(PidlCount(work.P), 2);
    PidlCutLast(work.P);
    PidlCutLast(work.P);
    PidlCutLast(work.P);  // empty: left alone
    EXPECT_EQ(PidlCount(work.P), 0);
    PidlCutLast(nullptr);

    auto* chain = PidlChainList(three.data());
    ASSERT_EQ(chain->size(), 3u);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(PidlCount((*chain)[size_t(i)]), i + 1);
    EXPECT_TRUE(PidlBytesEqual(chain->back(), three.data()));
    PidlChainFree(chain);
    PidlChainFree(nullptr);
}

TEST(ShellPidl, MalformedItemEndsTheList)
{
    // An item claiming size 1 would never step on.
    std::vector<uint8_t> bad = {4, 0, 'x', 'y', 1, 0, 0, 0};
    EXPECT_EQ(PidlCount(bad.data()), 1);
    EXPECT_EQ(PidlSize(bad.data()), 6u);
    TOwnedPidl copy(PidlClone(bad.data()));
    EXPECT_EQ(PidlCount(copy.P), 1);
}

TEST(ShellTypes, FlagsAndRootNames)
{
    using OT = TkvShellObjectType;
    using NF = TkvNotifyFilter;
    EXPECT_EQ(ObjectTypesToFlags({OT::otFolders, OT::otHidden}), 0xA0u);
    EXPECT_EQ(ObjectTypesToFlags({OT::otFolders, OT::otNonFolders}), 0x60u);
    EXPECT_EQ(NotifyFilterFlags({NF::nfFileNameChange, NF::nfSecurityChange}), 0x101u);
    EXPECT_EQ(NotifyFilterFlags({NF::nfDirNameChange, NF::nfWriteChange}), 0x12u);
    TkvRootFolder f{};
    ASSERT_TRUE(RootFolderFromName(L"RFMYCOMPUTER", f));
    EXPECT_EQ(RootFolderCSIDL(f), 17);
    ASSERT_TRUE(RootFolderFromName(L"rfTemplates", f));
    EXPECT_EQ(RootFolderCSIDL(f), 21);
    EXPECT_FALSE(RootFolderFromName(L"C:\\", f));
    EXPECT_FALSE(RootFolderFromName(L"rfDesktopX", f));
}

namespace {
int gFreed = 0;
void CountFree(const char16_t*) { ++gFreed; }
}  // namespace

TEST(ShellNames, StrRetKindsAreReadAndTheWideStringFreedOnce)
{
    gFreed = 0;
    TkvStrRet w;
    w.Kind = STRRET_KIND_WSTR;
    w.WStr = u"문서.txt";
    EXPECT_EQ(StrRetText(nullptr, 0, w, nullptr, CountFree), L"문서.txt");
    w.WStr = u"";
    EXPECT_EQ(StrRetText(nullptr, 0, w, nullptr, CountFree), L"");
    EXPECT_EQ(gFreed, 2);
    w.WStr = nullptr;
    EXPECT_EQ(StrRetText(nullptr, 0, w, nullptr, CountFree), L"");
    EXPECT_EQ(gFreed, 2);

    // An offset into the item; one past its end gives nothing, and an
    // unterminated text stops at the item's end.
    const uint8_t item[] = {10, 0, 'x', 'n', 'a', 'm', 'e', 0, 'z', 'z'};
    TkvStrRet o;
    o.Kind = STRRET_KIND_OFFSET;
    o.Offset = 3;
    EXPECT_EQ(StrRetText(item, sizeof item, o, nullptr, nullptr), L"name");
    o.Offset = 8;
    EXPECT_EQ(StrRetText(item, sizeof item, o, nullptr, nullptr), L"zz");
    o.Offset = 10;
    EXPECT_EQ(StrRetText(item, sizeof item, o, nullptr, nullptr), L"");

    TkvStrRet c;
    c.Kind = STRRET_KIND_CSTR;
    c.CStr = "?1ab?";
    EXPECT_EQ(StrRetText(nullptr, 0, c, nullptr, nullptr), L"1ab");
}

TEST(ShellNames, QuestionMarksAndExtensions)
{
    struct {
        const wchar_t* In;
        const wchar_t* Out;
    } marks[] = {{L"?1a?", L"1a"}, {L"?a1?", L"?a1?"}, {L"?", L"?"}, {L"a?1", L"a?1"}, {L"?9", L"9"}};
    for (auto& m : marks)
        EXPECT_EQ(StripQuestionMarks(m.In), m.Out) << m.In;

    using SE = TkvShowExtension;
    struct {
        const wchar_t* Display;
        const wchar_t* Parsing;
        bool Exists;
        SE Mode;
        const wchar_t* Out;
    } ext[] = {
        {L"notes", L"C:\\d\\notes.txt", true, SE::seShow, L"notes.txt"},
        {L"notes.txt", L"C:\\d\\notes.txt", true, SE::seShow, L"notes.txt"},
        {L"notes.TXT", L"C:\\d\\notes.txt", true, SE::seShow, L"notes.TXT"},
        {L"notes.txt", L"C:\\d\\notes.txt", true, SE::seHide, L"notes"},
        {L"notes", L"C:\\d\\notes.txt", true, SE::seHide, L"notes"},  // already hidden
        {L"a.b", L"C:\\d.x\\a.b", false, SE::seHide, L"a.b"},         // not a file
        {L"notes", L"C:\\d.x\\notes", true, SE::seShow, L"notes"},    // dot in the folder only
        {L"문서", L"C:\\d\\문서.한글", true, SE::seShow, L"문서.한글"},
        {L"notes.txt", L"C:\\d\\notes.txt", true, SE::seSystem, L"notes.txt"},
    };
    for (auto& e : ext)
        EXPECT_EQ(ApplyShowExtension(e.Display, e.Parsing, e.Exists, e.Mode), e.Out) << e.Display;
}

TEST(ShellMask, WildcardTable)
{
    struct {
        const wchar_t* Value;
        const wchar_t* Mask;
        bool Match;
    } cases[] = {
        {L"readme.txt", L"*.txt", true},
        {L"README.TXT", L"*.txt", true},
        {L"readme.txt.bak", L"*.txt", false},
        {L"a.txt", L"?.txt", true},
        {L"ab.txt", L"?.txt", false},
        {L"anything", L"*", true},
        {L"", L"*", true},
        {L"x", L"", false},
        {L"abc", L"abc", true},
        {L"abcd", L"abc", false},
        {L"abXcdYef", L"ab*cd*ef", true},
        {L"abcdef", L"ab**ef", true},
        {L"abef", L"ab*cd*ef", false},
        {L"abcef", L"abc*cef", false},  // the head and the tail may not share characters
        {L"aXbXc", L"a*b*c", true},
        // Whole UTF-16 units: two Hangul names are different names.
        {L"문서.txt", L"문서.txt", true},
        {L"문서.txt", L"사진.txt", false},
        {L"사진1.jpg", L"사진?.jpg", true},
        {L"보고서_최종.hwp", L"보고서*.hwp", true},
        {L"보고서.hwp", L"문서*.hwp", false},
        {L"\u0141", L"\u0041", false},  // same low byte, different letters
    };
    for (auto& c : cases)
        EXPECT_EQ(G_ValidateWildText(c.Value, c.Mask), c.Match) << c.Value << L" / " << c.Mask;
}

TEST(ShellMask, MaskListCharPosAndFixedMasks)
{
    EXPECT_TRUE(MatchesMaskList(L"a.txt", L"*.txt;*.doc"));
    EXPECT_TRUE(MatchesMaskList(L"B.DOC", L"*.txt; *.doc"));
    EXPECT_FALSE(MatchesMaskList(L"c.bmp", L"*.txt;*.doc"));
    EXPECT_TRUE(MatchesMaskList(L"c.bmp", L""));
    EXPECT_TRUE(MatchesMaskList(L"c.bmp", L";;"));

    EXPECT_EQ(G_CharPos(L'b', L"abcb", 1), 2);
    EXPECT_EQ(G_CharPos(L'b', L"abcb", 3), 4);
    EXPECT_EQ(G_CharPos(L'b', L"abcb", 5), 0);
    EXPECT_EQ(G_CharPos(L'b', L"", 1), 0);

    EXPECT_TRUE(G_ValidateMask(L"12-34", L"##-##", L'#'));
    EXPECT_FALSE(G_ValidateMask(L"12+34", L"##-##", L'#'));
    EXPECT_FALSE(G_ValidateMask(L"", L"", L'#'));
    EXPECT_FALSE(G_ValidateMask(L"123", L"##", L'#'));
}

TEST(ShellSort, FoldersFirstThenByColumn)
{
    std::vector<TkvSortKey> keys = {
        {false, L"b.txt", 300, L"Text", 3.0},  {true, L"Zeta", 0, L"Folder", 1.0},
        {false, L"A.doc", 100, L"Document", 5.0}, {true, L"alpha", 0, L"Folder", 2.0},
        {false, L"c.txt", 200, L"Text", 4.0},  {false, L"가나.txt", 50, L"Text", 1.0},
    };
    struct {
        TkvSortColumn Column;
        std::vector<int> Order;
    } cases[] = {
        {TkvSortColumn::scName, {3, 1, 2, 0, 4, 5}},
        {TkvSortColumn::scSize, {3, 1, 5, 2, 4, 0}},
        {TkvSortColumn::scType, {3, 1, 2, 0, 4, 5}},
        {TkvSortColumn::scDate, {1, 3, 5, 0, 4, 2}},
    };
    for (auto& c : cases)
        EXPECT_EQ(KvSortOrder(keys, c.Column), c.Order) << int(c.Column);
    EXPECT_EQ(CompareNamesNoCase(L"abc", L"ABC"), 0);
    EXPECT_LT(CompareNamesNoCase(L"ab", L"abc"), 0);
}
