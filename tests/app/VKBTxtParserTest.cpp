#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "AppTestUtils.h"
#include "app/VKBTxtParser.h"

namespace {

struct TPairCase {
    const char* Name;
    std::string Content;
    std::vector<std::pair<UnicodeString, UnicodeString>> Expect;
};

const std::vector<TPairCase> PairCases = {
    {"two pairs", "&title=A&&width=800&", {{L"title", L"A"}, {L"width", L"800"}}},
    // The second key is read from the buffer's start, where the first '&' is now zero.
    {"shared ampersand", "&title=A&width=800&", {{L"title", L"A"}, {L"width", L""}, {L"", L"800"}}},
    {"no opening ampersand", "title=A&", {{L"title", L"A"}}},
    {"value after the last equals", "&title=a=b&", {{L"title", L"b"}}},
    {"first value wins", "&title=A&&title=B&", {{L"title", L"A"}}},
    {"unclosed pair", "&title=A", {{L"title", L""}}},
    {"pair without equals dropped", "&abc&&title=A&", {{L"abc", L""}, {L"title", L"A"}}},
    // Text mode: CR LF reads as LF; a break between pairs is harmless.
    {"line breaks", "&title=A\r\n&\r\n&width=1&\n", {{L"title", L"A\n"}, {L"width", L"1"}}},
    {"keys are case-sensitive", "&Title=A&", {{L"title", L""}, {L"Title", L"A"}}},
    {"zero byte cuts", std::string("&ti\0tle=A&&height=7\0x&", 23), {{L"ti", L"A"}, {L"title", L""}, {L"height", L"7"}}},
    {"text around pairs", "comment line\n&width=1024& and &height=768&\n",
     {{L"width", L"1024"}, {L"height", L"768"}}},
    {"empty file", "", {{L"title", L""}}},
};

TEST(VKBTxtParser, PairRules)
{
    TTempDir dir;
    for (const TPairCase& c : PairCases) {
        SCOPED_TRACE(c.Name);
        UnicodeString path = dir / L"Page_var.txt";
        WriteBytes(path, c.Content);
        VKBTxtParser parser;
        ASSERT_EQ(parser.Load(path), 0);
        for (const auto& [key, value] : c.Expect)
            EXPECT_EQ(parser.Get(key), value) << "key \"" << std::string(key.begin(), key.end()) << "\"";
    }
}

TEST(VKBTxtParser, MissingFileGivesMinusOneAndEmptyMap)
{
    TTempDir dir;
    VKBTxtParser parser;
    EXPECT_EQ(parser.Load(dir / L"none.txt"), -1);
    EXPECT_EQ(parser.Get(L"title"), L"");
}

TEST(VKBTxtParser, TextIsInTheAnsiCodePage)
{
    if (GetACP() != 949)
        GTEST_SKIP() << "needs the Korean code page";
    TTempDir dir;
    UnicodeString path = dir / L"\xCC45.txt";   // a Hangul file name, too
    WriteBytes(path, "&title=\xC0\xFC\xC0\xDA\xC3\xA5 %26 A&");
    VKBTxtParser parser;
    ASSERT_EQ(parser.Load(path), 0);
    EXPECT_EQ(parser.Get(L"title"), L"\xC804\xC790\xCC45 %26 A");
}

} // namespace
