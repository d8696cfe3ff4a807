#include <gtest/gtest.h>

#include <functional>
#include <map>

#include "PackTestUtil.h"
#include "classlib/controls/Dialogs.h"
#include "skin/core/ZLibEx.h"
#include "skin/core/kvSkinPack.h"

namespace {

// One entry of a hand-made container; the fields left at -1 are filled in
// from the name and content.
struct Entry {
    std::string Name;
    Bytes Content;
    int64_t NameLength = -1;
    int64_t Size = -1;
};

void PutInt(Bytes& b, int64_t v)
{
    for (int i = 0; i < 4; ++i)
        b.push_back(uint8_t(uint64_t(v) >> (8 * i)));
}

Bytes Deflated(const Bytes& data)
{
    uLongf n = compressBound(uLong(data.size()));
    Bytes out(n);
    compress2(out.data(), &n, data.data(), uLong(data.size()), 6);
    out.resize(n);
    return out;
}

Bytes Container(const std::vector<Entry>& entries, int64_t count = -1)
{
    Bytes b = {'P', 'L', 'z', 'f'};
    PutInt(b, count >= 0 || count < -1 ? count : int64_t(entries.size()));
    for (const Entry& e : entries) {
        PutInt(b, e.NameLength != -1 ? e.NameLength : int64_t(e.Name.size()));
        b.insert(b.end(), e.Name.begin(), e.Name.end());
        PutInt(b, e.Size != -1 ? e.Size : int64_t(e.Content.size()));
        const Bytes z = Deflated(e.Content);
        b.insert(b.end(), z.begin(), z.end());
    }
    return b;
}

TMemoryStream* MemoryOf(const Bytes& b)
{
    TMemoryStream* m = New<TMemoryStream>();
    PutBytes(*m, b);
    m->SetPosition(0);
    return m;
}

// A convertor reading the given container bytes.
struct Reader {
    TkvSkinConvertor* sc = New<TkvSkinConvertor>();
    explicit Reader(const Bytes& data) { sc->PackedData = MemoryOf(data); }
    ~Reader() { FreeAndNil(sc); }
    TkvSkinConvertor* operator->() { return sc; }
};

std::map<std::wstring, Bytes> FilesOf(TkvSkinConvertor* sc)
{
    std::map<std::wstring, Bytes> m;
    for (const TkvImageItem& it : sc->Files)
        m[it.FileName] = StreamBytes(*it.FileStream);
    return m;
}

const Bytes SmallOptions = [] {
    std::string s = "[GLOBALINFO]\r\nVersion=6\r\nAuthor=test\r\n";
    return Bytes(s.begin(), s.end());
}();

Bytes SmallFixture()
{
    return ReadFileBytes(FixturePath(L"small.plz"));
}

// Byte ranges of the entry names in small.plz.
bool InSmallFixtureName(size_t pos)
{
    return (pos >= 12 && pos < 23) || (pos >= 77 && pos < 87) || (pos >= 143 && pos < 152);
}

// The last deflate byte of each zlib stream in small.plz: its high bits may
// be padding, which inflate ignores (its lowest bit is always data).
bool IsLastDeflateByte(size_t pos)
{
    return pos == 68 || pos == 134 || pos == 169;
}

// A zlib header in small.plz changed only in its level hint: still valid.
bool IsValidHeaderChange(const Bytes& bad, size_t pos)
{
    if (pos != 28 && pos != 92 && pos != 157)
        return false;
    const uint8_t cmf = bad[pos - 1], flg = bad[pos];
    return cmf == 0x78 && (cmf * 256 + flg) % 31 == 0 && (flg & 0x20) == 0;
}

std::vector<std::wstring> FolderContent(const std::wstring& dir)
{
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW((dir + L"*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE)
        return names;
    do {
        if (wcscmp(fd.cFileName, L".") && wcscmp(fd.cFileName, L".."))
            names.push_back(fd.cFileName);
    } while (FindNextFileW(h, &fd));
    FindClose(h);
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace

// ---------------------------------------------------------------------------
// A folder packed and read back: every entry byte-exact, the skin
// description apart, only the packed kinds taken, in the order of the masks.
TEST(PackDir, RoundTripThroughReader)
{
    TTempDir tmp;
    const std::wstring src = tmp / L"src\\";
    CreateDirectoryW(src.c_str(), nullptr);
    std::map<std::wstring, Bytes> images = {
        {L"Button.BMP", RandomBytes(50, 1)},  {L"x.bmp", RandomBytes(20, 2)},
        {L"big.png", RandomBytes(300000, 3)}, {L"glyph.png", RandomBytes(30, 4)},
        {L"pattern.jpg", TextBytes(1000, 5)}, {L"Empty.png", Bytes{}},
    };
    if (GetACP() == 949)   // names travel in the ANSI code page
        images[L"단추.png"] = RandomBytes(60, 6);
    for (const auto& [name, content] : images)
        WriteFileBytes(src + name, content);
    WriteFileBytes(src + L"OPTIONS.DAT", SmallOptions);
    WriteFileBytes(src + L".hidden.png", Bytes{1});
    WriteFileBytes(src + L"notes.txt", Bytes{2});
    CreateDirectoryW((src + L"folder.bmp").c_str(), nullptr);

    const std::wstring plz = tmp / L"skin.plz";
    PackDir(src, plz);

    for (bool freePacked : {true, false}) {
        SCOPED_TRACE(freePacked);
        TkvSkinConvertor* sc = nullptr;
        LoadSkinFromFile(plz, sc, freePacked);
        ASSERT_NE(sc, nullptr);
        ASSERT_NE(sc->Options, nullptr);
        EXPECT_EQ(StreamBytes(*sc->Options), SmallOptions);
        EXPECT_EQ(sc->ImageCount, int32_t(images.size()));
        EXPECT_EQ(FilesOf(sc), images);
        for (const TkvImageItem& it : sc->Files)
            EXPECT_EQ(it.IsBitmap, it.FileName == L"Button.BMP" || it.FileName == L"x.bmp") << it.FileName;
        std::wstring kinds;
        for (const TkvImageItem& it : sc->Files)
            kinds += it.FileName.substr(it.FileName.size() - 1);   // P/p, g, g
        EXPECT_EQ(kinds.find_first_not_of(L"Pp"), 2u);
        EXPECT_EQ(kinds.back(), L'g');
        EXPECT_EQ(sc->Files.back().FileName, L"pattern.jpg");
        if (freePacked) {
            EXPECT_EQ(sc->PackedData, nullptr);
        } else {
            ASSERT_NE(sc->PackedData, nullptr);
            EXPECT_EQ(StreamBytes(*sc->PackedData), ReadFileBytes(plz));
        }
        FreeAndNil(sc);
    }
}

// A name the system code page cannot hold would be stored as question
// marks; the packer refuses it by name and leaves the target alone.
TEST(PackDir, NameOutsideTheCodePageIsRefused)
{
    TTempDir tmp;
    const std::wstring src = tmp / L"src\\";
    CreateDirectoryW(src.c_str(), nullptr);
    WriteFileBytes(src + L"a.png", Bytes{1});
    WriteFileBytes(src + L"\u0E01\u0E02.png", Bytes{2});   // Thai: in neither 949 nor 1252
    const Bytes old = {'o', 'l', 'd'};
    WriteFileBytes(tmp / L"skin.plz", old);
    try {
        PackDir(src, tmp / L"skin.plz");
        ADD_FAILURE() << "no exception";
    } catch (const EWriteError& e) {
        EXPECT_NE(e.Message().find(src + L"\u0E01\u0E02.png"), std::wstring::npos) << e.what();
    }
    EXPECT_EQ(ReadFileBytes(tmp / L"skin.plz"), old);
    EXPECT_THROW(PackDir(src, tmp / L"other.plz"), EWriteError);
    EXPECT_FALSE(PathExists(tmp / L"other.plz"));
}

TEST(PackDir, NothingToPackWritesNothing)
{
    TTempDir tmp;
    WriteFileBytes(tmp / L"readme.txt", Bytes{1, 2});
    PackDir(tmp.Path(), tmp / L"skin.plz");
    EXPECT_FALSE(PathExists(tmp / L"skin.plz"));
}

// A container written by another packer (tests/fixtures/pack/make_small.py).
TEST(ExtractPackedData, ReadsIndependentlyWrittenContainer)
{
    Reader r(SmallFixture());
    ExtractPackedData(r.sc);
    ASSERT_NE(r->Options, nullptr);
    EXPECT_EQ(StreamBytes(*r->Options), SmallOptions);
    EXPECT_EQ(r->ImageCount, 2);
    ASSERT_EQ(r->Files.size(), 2u);
    EXPECT_EQ(r->Files[0].FileName, L"Button.BMP");
    EXPECT_TRUE(r->Files[0].IsBitmap);
    Bytes button(40);
    for (int i = 0; i < 40; ++i)
        button[i] = uint8_t(i);
    EXPECT_EQ(StreamBytes(*r->Files[0].FileStream), button);
    EXPECT_EQ(r->Files[1].FileName, L"glyph.png");
    EXPECT_FALSE(r->Files[1].IsBitmap);
}

TEST(ExtractPackedData, EmptyAndOptionsOnlyContainers)
{
    {
        Reader r(Container({}));
        ExtractPackedData(r.sc);
        EXPECT_EQ(r->ImageCount, -1);
        EXPECT_EQ(r->Options, nullptr);
        EXPECT_TRUE(r->Files.empty());
    }
    {
        Reader r(Container({{"OPTIONS.DAT", {1, 2, 3}}}));
        ExtractPackedData(r.sc);
        EXPECT_EQ(r->ImageCount, 0);
        ASSERT_NE(r->Options, nullptr);
        EXPECT_EQ(StreamBytes(*r->Options), (Bytes{1, 2, 3}));
        EXPECT_TRUE(r->Files.empty());
    }
    {
        // A later description replaces an earlier one.
        Reader r(Container({{"options.dat", {1}}, {"a.png", {9}}, {"Options.Dat", {2}}}));
        ExtractPackedData(r.sc);
        EXPECT_EQ(StreamBytes(*r->Options), Bytes{2});
        EXPECT_EQ(r->Files.size(), 1u);
    }
}

TEST(ExtractPackedData, ASecondReadReplacesTheEntries)
{
    Reader r(Container({{"Options.dat", {1}}, {"a.bmp", {2}}, {"b.png", {3}}}));
    ExtractPackedData(r.sc);
    ExtractPackedData(r.sc);
    EXPECT_EQ(r->ImageCount, 2);
    EXPECT_EQ(FilesOf(r.sc), (std::map<std::wstring, Bytes>{{L"a.bmp", {2}}, {L"b.png", {3}}}));

    FreeAndNil(r->PackedData);
    r->PackedData = MemoryOf(Container({{"c.png", {4}}}));
    ExtractPackedData(r.sc);
    EXPECT_EQ(r->ImageCount, 0);
    EXPECT_EQ(r->Options, nullptr);
    EXPECT_EQ(FilesOf(r.sc), (std::map<std::wstring, Bytes>{{L"c.png", {4}}}));
}

// Each entry may stay within its own bounds while all of them together pass
// what one skin may hold: the reader refuses the entry that goes beyond
// before inflating anything of it, instead of growing entry after entry.
TEST(ExtractPackedData, TheWholeContainerIsBounded)
{
    const Bytes small = TextBytes(100, 21);
    Bytes data = Container({{"a.bmp", small}}, 2);
    // The second entry claims the most one entry may have; the bytes after
    // it are enough for that on their own.
    const std::string name = "b.bmp";
    PutInt(data, int64_t(name.size()));
    data.insert(data.end(), name.begin(), name.end());
    PutInt(data, kvMaxPackEntrySize);
    data.resize(data.size() + 262144, 0);
    Reader r(data);
    try {
        ExtractPackedData(r.sc);
        ADD_FAILURE() << "no exception";
    } catch (const EReadError& e) {
        EXPECT_EQ(e.Message().rfind(L"Packed skin data is damaged: entry \"b.bmp\" takes the content past", 0), 0u)
            << e.what();
    } catch (const Exception& e) {
        ADD_FAILURE() << "the entry was inflated: " << e.what();
    }
    EXPECT_EQ(FilesOf(r.sc), (std::map<std::wstring, Bytes>{{L"a.bmp", small}}));
}

TEST(ExtractPackedData, WrongMagicDropsEntriesButKeepsLentData)
{
    Reader r(SmallFixture());
    ExtractPackedData(r.sc);
    ASSERT_FALSE(r->Files.empty());

    for (const Bytes& data : {Bytes{'P', 'L', 'z', 'F', 0, 0, 0, 0}, Bytes{'P', 'L'}, Bytes{}}) {
        TMemoryStream* lent = MemoryOf(data);
        r->PackedData = lent;
        try {
            ExtractPackedData(r.sc);
            ADD_FAILURE() << "no exception";
        } catch (const Exception& e) {
            EXPECT_EQ(e.ClassName(), L"Exception");
            EXPECT_EQ(e.Message(), L"Loaded data is not packed Pellura file");
        }
        EXPECT_TRUE(r->Files.empty());
        EXPECT_EQ(r->Options, nullptr);
        EXPECT_EQ(r->PackedData, lent);
    }
}

// Damaged containers: counts, lengths and sizes are checked against what is
// left before anything is allocated; every damage raises.
TEST(ExtractPackedData, CorruptedFieldsRaise)
{
    const Bytes a = TextBytes(3000, 6), b = RandomBytes(500, 7);
    auto withEntries = [&](std::function<void(std::vector<Entry>&)> change, int64_t count = -1) {
        std::vector<Entry> e = {{"a.bmp", a}, {"b.png", b}};
        change(e);
        return Container(e, count);
    };
    auto same = [](std::vector<Entry>&) {};
    Bytes cutInside = Container({{"a.bmp", a}});
    cutInside.resize(cutInside.size() - 20);
    const Bytes tail = Container({{"b.png", b}});
    Bytes cutThenNext = cutInside;
    cutThenNext[4] = 2;
    cutThenNext.insert(cutThenNext.end(), tail.begin() + 8, tail.end());

    struct Case {
        const char* name;
        Bytes data;
        bool damagedText;   // our own EReadError, raised before allocating
    };
    const Case cases[] = {
        {"count huge", withEntries(same, 0x7FFFFFFF), true},
        {"count negative", withEntries(same, -1 & 0xFFFFFFFFLL), true},
        {"count one too many", withEntries(same, 3), true},
        {"name length huge", withEntries([](auto& e) { e[1].NameLength = 0x7FFFFFFF; }), true},
        {"name length negative", withEntries([](auto& e) { e[0].NameLength = 0xFFFFFFFB; }), true},
        {"name length zero", withEntries([](auto& e) { e[0].NameLength = 0; }), true},
        {"size huge", withEntries([](auto& e) { e[0].Size = 0x7FFFFFFF; }), true},
        {"size beyond the data", withEntries([](auto& e) { e[1].Size = 600000; }), true},
        {"size negative", withEntries([](auto& e) { e[0].Size = 0xFFFFFFFF; }), true},
        {"size one more", withEntries([&](auto& e) { e[0].Size = a.size() + 1; }), true},
        {"size one less", withEntries([&](auto& e) { e[1].Size = b.size() - 1; }), true},
        {"stream cut at the end", cutInside, false},
        {"stream cut before the next entry", cutThenNext, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Reader r(c.data);
        try {
            ExtractPackedData(r.sc);
            ADD_FAILURE() << "no exception";
        } catch (const EReadError& e) {
            if (c.damagedText) {
                EXPECT_EQ(e.Message().rfind(L"Packed skin data is damaged: ", 0), 0u) << e.what();
            }
        } catch (const EZDecompressionError& e) {
            EXPECT_FALSE(c.damagedText) << e.what();
        }
    }
}

// Every truncation of a real container raises; so does every changed byte
// outside the names (which carry no check of their own), the padding of the
// deflate data, the level hint of the zlib header and an entry count made
// smaller (a reader stops after the stated entries, so a lower count is a
// shorter container followed by bytes nobody reads).
TEST(ExtractPackedData, EveryTruncationAndFlippedByteRaises)
{
    const Bytes good = SmallFixture();
    ASSERT_EQ(good.size(), 174u);
    for (size_t cut = 0; cut < good.size(); ++cut) {
        SCOPED_TRACE(cut);
        Reader r(Bytes(good.begin(), good.begin() + cut));
        EXPECT_THROW(ExtractPackedData(r.sc), Exception);
    }
    std::mt19937 rng(2024);
    for (int pass = 0; pass < 6; ++pass) {
        for (size_t pos = 0; pos < good.size(); ++pos) {
            // Fixed masks, then random non-zero ones.
            static const uint8_t fixed[] = {0xFF, 0x01, 0x80, 0x10};
            const uint8_t mask = pass < 4 ? fixed[pass] : uint8_t(1 + rng() % 255);
            SCOPED_TRACE(testing::Message() << "pos " << pos << " mask " << int(mask));
            Bytes bad = good;
            bad[pos] ^= mask;
            Reader r(bad);
            const int32_t count = int32_t(bad[4] | bad[5] << 8 | bad[6] << 16 | uint32_t(bad[7]) << 24);
            if (count >= 0 && count < 3) {
                ExtractPackedData(r.sc);
                EXPECT_EQ(r->ImageCount, count - 1);
                EXPECT_EQ(r->Files.size() + (r->Options ? 1 : 0), size_t(count));
            } else if (InSmallFixtureName(pos)) {
                EXPECT_NO_THROW(ExtractPackedData(r.sc));
            } else if ((IsLastDeflateByte(pos) && (mask & 0x01) == 0) || IsValidHeaderChange(bad, pos)) {
                try {
                    ExtractPackedData(r.sc);
                } catch (const Exception&) {
                }
            } else {
                EXPECT_THROW(ExtractPackedData(r.sc), Exception);
            }
        }
    }
}

// A reader stops after the stated number of entries: what follows the last
// one is never read, whether padding, other bytes or entries a smaller count
// leaves out.  The unpacker reads the same way.
TEST(ExtractPackedData, BytesAfterTheLastEntryAreNotRead)
{
    const Bytes a = TextBytes(3000, 6), b = RandomBytes(500, 7);
    const std::vector<Entry> both = {{"a.bmp", a}, {"b.png", b}};
    auto followedBy = [&](const Bytes& tail) {
        Bytes data = Container(both);
        data.insert(data.end(), tail.begin(), tail.end());
        return data;
    };
    struct Case {
        const char* name;
        Bytes data;
        std::map<std::wstring, Bytes> files;
    } const cases[] = {
        {"zero padding", followedBy(Bytes(3, 0)), {{L"a.bmp", a}, {L"b.png", b}}},
        {"other bytes", followedBy({0x05, 0, 0, 0, 'x', 0x78, 0x9C, 0xFF}), {{L"a.bmp", a}, {L"b.png", b}}},
        {"count one too few", Container(both, 1), {{L"a.bmp", a}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Reader r(c.data);
        ExtractPackedData(r.sc);
        EXPECT_EQ(r->ImageCount, int32_t(c.files.size()) - 1);
        EXPECT_EQ(FilesOf(r.sc), c.files);

        TTempDir tmp;
        WriteFileBytes(tmp / L"x.plz", c.data);
        UnpackSkinFile(tmp / L"x.plz", tmp / L"out");
        std::vector<std::wstring> written;
        for (const auto& [name, content] : c.files) {
            written.push_back(name);
            EXPECT_EQ(ReadFileBytes(tmp / L"out\\" + name), content) << name;
        }
        EXPECT_EQ(FolderContent(tmp / L"out\\"), written);
    }
}

TEST(LoadSkinFromFile, MissingDamagedAndReused)
{
    TTempDir tmp;
    TkvSkinConvertor* sc = nullptr;
    LoadSkinFromFile(tmp / L"none.plz", sc, true);
    EXPECT_EQ(sc, nullptr);

    const Bytes good = SmallFixture();
    WriteFileBytes(tmp / L"good.plz", good);
    WriteFileBytes(tmp / L"cut.plz", Bytes(good.begin(), good.begin() + 100));

    sc = New<TkvSkinConvertor>();
    sc->PackedData = MemoryOf(Container({{"a.bmp", {1}}, {"b.bmp", {2}}, {"c.bmp", {3}}}));
    ExtractPackedData(sc);
    LoadSkinFromFile(tmp / L"none.plz", sc, true);
    ASSERT_NE(sc, nullptr);
    EXPECT_EQ(sc->Files.size(), 3u) << "a missing file changes nothing";

    LoadSkinFromFile(tmp / L"good.plz", sc, true);
    ASSERT_NE(sc, nullptr);
    EXPECT_EQ(sc->Files.size(), 2u);
    EXPECT_EQ(sc->Files[0].FileName, L"Button.BMP");

    EXPECT_THROW(LoadSkinFromFile(tmp / L"cut.plz", sc, true), Exception);
    EXPECT_EQ(sc, nullptr);
}

// ---------------------------------------------------------------------------
TEST(UnpackSkinFile, RoundTripIntoNewFolderReplacingFiles)
{
    TTempDir tmp;
    const std::wstring src = tmp / L"src\\";
    CreateDirectoryW(src.c_str(), nullptr);
    const std::map<std::wstring, Bytes> files = {
        {L"Options.dat", SmallOptions}, {L"a.bmp", RandomBytes(200000, 8)}, {L"b.png", TextBytes(100, 9)}};
    for (const auto& [name, content] : files)
        WriteFileBytes(src + name, content);
    PackDir(src, tmp / L"skin.plz");

    const std::wstring out = tmp / L"out";
    CreateDirectoryW(out.c_str(), nullptr);
    WriteFileBytes(out + L"\\a.bmp", Bytes(500000, 1));   // longer than the new content
    UnpackSkinFile(tmp / L"skin.plz", out);
    EXPECT_EQ(FolderContent(out + L"\\"), (std::vector<std::wstring>{L"Options.dat", L"a.bmp", L"b.png"}));
    for (const auto& [name, content] : files)
        EXPECT_EQ(ReadFileBytes(out + L"\\" + name), content) << name;

    const std::wstring fresh = tmp / L"fresh/";   // created, "/" taken as the separator
    UnpackSkinFile(tmp / L"skin.plz", fresh);
    EXPECT_EQ(ReadFileBytes(tmp / L"fresh\\b.png"), files.at(L"b.png"));

    const std::wstring deep = tmp / L"one\\two\\three";   // every missing level is made
    UnpackSkinFile(tmp / L"skin.plz", deep);
    EXPECT_EQ(ReadFileBytes(deep + L"\\b.png"), files.at(L"b.png"));
}

TEST(UnpackSkinFile, WrongMagicWarnsAndWritesNothing)
{
    TTempDir tmp;
    WriteFileBytes(tmp / L"x.plz", Bytes{'P', 'K', 3, 4, 0, 0, 0, 0});
    TDialogSeamScope seam;
    UnpackSkinFile(tmp / L"x.plz", tmp / L"out");
    ASSERT_EQ(seam.Count(), 1u);
    EXPECT_EQ(seam.Last().Kind, TDialogKind::MessageDlg);
    EXPECT_EQ(seam.Last().Text, tmp / L"x.plz is not packed Pellura file");
    EXPECT_EQ(seam.Last().DlgType, mtWarning);
    EXPECT_EQ(seam.Last().Buttons, (TMsgDlgButtons{mbOK}));
    EXPECT_TRUE(FolderContent(tmp / L"out\\").empty());
}

// Handed a warning function, the unpacker shows no dialog of its own.
namespace {
std::vector<UnicodeString> HandedWarnings;
} // namespace

TEST(UnpackSkinFile, WrongMagicGoesToTheHandedWarning)
{
    TTempDir tmp;
    WriteFileBytes(tmp / L"x.plz", Bytes{'P', 'K', 3, 4, 0, 0, 0, 0});
    TDialogSeamScope seam;
    HandedWarnings.clear();
    UnpackSkinFile(tmp / L"x.plz", tmp / L"out", [](const UnicodeString& Text) { HandedWarnings.push_back(Text); });
    EXPECT_EQ(HandedWarnings, (std::vector<UnicodeString>{tmp / L"x.plz is not packed Pellura file"}));
    UnpackSkinFile(tmp / L"x.plz", tmp / L"out", nullptr);
    EXPECT_EQ(seam.Count(), 0u);
    EXPECT_TRUE(FolderContent(tmp / L"out\\").empty());
}

// Names that would put a file outside the target folder, or somewhere else
// than a plain file in it, are refused before anything is written.
TEST(UnpackSkinFile, HostileNamesAreRejected)
{
    const char* names[] = {
        "..\\kvevil.bmp", "../kvevil.bmp", "sub\\kvevil.bmp", "sub/kvevil.bmp", "\\kvevil.bmp",
        "C:\\kvevil.bmp", "C:kvevil.bmp", "..", ".", "...", "kvevil.bmp.", "kvevil.bmp ",
        "a.bmp:stream", "a*.bmp", "CON", "nul.txt", "Com1.bmp", "LPT9", "CONOUT$",
    };
    for (const char* name : names) {
        SCOPED_TRACE(name);
        TTempDir tmp;
        WriteFileBytes(tmp / L"x.plz", Container({{name, {1, 2, 3}}}));
        const std::wstring target = tmp / L"t\\sub\\";
        CreateDirectoryW((tmp / L"t").c_str(), nullptr);
        try {
            UnpackSkinFile(tmp / L"x.plz", target);
            ADD_FAILURE() << "no exception";
        } catch (const EReadError& e) {
            EXPECT_NE(e.Message().find(L"is not a plain file name"), std::wstring::npos) << e.what();
        }
        EXPECT_TRUE(FolderContent(target).empty());
        EXPECT_EQ(FolderContent(tmp / L"t\\"), std::vector<std::wstring>{L"sub"});
        EXPECT_EQ(FolderContent(tmp.Path()), (std::vector<std::wstring>{L"t", L"x.plz"}));
        EXPECT_FALSE(PathExists(L"C:\\kvevil.bmp"));
    }
}

TEST(UnpackSkinFile, DamagedEntryLeavesExistingFile)
{
    TTempDir tmp;
    Bytes data = Container({{"ok.png", {7}}, {"a.bmp", TextBytes(5000, 10)}});
    data[data.size() - 30] ^= 0x40;
    WriteFileBytes(tmp / L"x.plz", data);
    const Bytes old = {1, 2, 3};
    WriteFileBytes(tmp / L"a.bmp", old);
    EXPECT_THROW(UnpackSkinFile(tmp / L"x.plz", tmp.Path()), Exception);
    EXPECT_EQ(ReadFileBytes(tmp / L"a.bmp"), old);
    EXPECT_EQ(ReadFileBytes(tmp / L"ok.png"), Bytes{7});
}
