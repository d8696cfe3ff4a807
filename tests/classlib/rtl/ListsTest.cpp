#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "classlib/rtl/FileUtils.h"
#include "classlib/rtl/Lists.h"
#include "classlib/rtl/Streams.h"
#include "MessageOf.h"
#include "TempDir.h"

namespace {

std::vector<UnicodeString> Lines(const TStrings& S)
{
    std::vector<UnicodeString> v;
    for (int i = 0; i < S.Count(); ++i)
        v.push_back(S[i]);
    return v;
}

using V = std::vector<UnicodeString>;

struct Tracked : TObject {
    int* Freed;
    explicit Tracked(int* f) : Freed(f) {}
    ~Tracked() override { ++*Freed; }
};

struct EventCounter : TObject {
    int Changes = 0, Changings = 0;
    void Change(TObject*) { ++Changes; }
    void Changing(TObject*) { ++Changings; }
};

} // namespace

// ---------------------------------------------------------------------------

TEST(TListTest, IndexingEditingAndErrors)
{
    int a = 1, b = 2, c = 3;
    TList l;
    EXPECT_EQ(l.Add(&a), 0);
    EXPECT_EQ(l.Add(&c), 1);
    l.Insert(1, &b);
    l.Insert(3, nullptr);
    EXPECT_EQ(l.Count(), 4);
    EXPECT_EQ(l[1], &b);
    EXPECT_EQ(l.IndexOf(&c), 2);
    l.Pack();
    EXPECT_EQ(l.Count(), 3);
    l.Exchange(0, 2);
    EXPECT_EQ(l.First(), &c);
    l.Move(0, 2);
    EXPECT_EQ(l.Last(), &c);
    EXPECT_EQ(l.Remove(&b), 0);
    EXPECT_EQ(l.Remove(&b), -1);
    l.Delete(0);
    EXPECT_EQ(l.Count(), 1);

    EXPECT_EQ(MessageOf<EListError>([&] { l.Items(5); }), L"List index out of bounds (5)");
    EXPECT_THROW(l.Items(-1), EListError);
    EXPECT_THROW(l.Delete(1), EListError);
    EXPECT_THROW(l.Insert(3, &a), EListError);
    EXPECT_THROW(l.Exchange(0, 1), EListError);
    l.Clear();
    EXPECT_EQ(l.Count(), 0);
    EXPECT_THROW(l.First(), EListError);
}

TEST(TListTest, SortIsStableAndNotifiesOwners)
{
    struct Owning : TList {
        std::vector<std::pair<void*, TListNotification>> Seen;
        void Notify(void* p, TListNotification a) override { Seen.push_back({p, a}); }
    };
    int v[] = {3, 1, 2, 1};
    Owning l;
    for (int& x : v)
        l.Add(&x);
    l.Sort([](void* x, void* y) { return *static_cast<int*>(x) - *static_cast<int*>(y); });
    EXPECT_EQ(l[0], &v[1]); // the first 1 stays first
    EXPECT_EQ(l[1], &v[3]);
    EXPECT_EQ(l[3], &v[0]);

    l.Seen.clear();
    l.Extract(&v[2]);
    l.Delete(0);
    l.Clear();
    ASSERT_EQ(l.Seen.size(), 4u);
    EXPECT_EQ(l.Seen[0], std::make_pair(static_cast<void*>(&v[2]), lnExtracted));
    EXPECT_EQ(l.Seen[1], std::make_pair(static_cast<void*>(&v[1]), lnDeleted));
}

// ---------------------------------------------------------------------------

TEST(StringListTest, SortedListsKeepOrderAndHandleDuplicates)
{
    TStringList s;
    s.SetSorted(true);
    for (const wchar_t* t : {L"pear", L"Apple", L"banana", L"종료", L"apple2"})
        s.Add(t);
    EXPECT_EQ(Lines(s), (V{L"Apple", L"apple2", L"banana", L"pear", L"종료"}));
    EXPECT_EQ(s.IndexOf(L"BANANA"), 2);
    EXPECT_EQ(s.IndexOf(L"cherry"), -1);
    int at = -1;
    EXPECT_FALSE(s.Find(L"cherry", at));
    EXPECT_EQ(at, 3);

    // dupIgnore answers the existing line and adds nothing.
    EXPECT_EQ(s.Add(L"APPLE"), 0);
    EXPECT_EQ(s.Count(), 5);
    s.SetDuplicates(dupError);
    EXPECT_EQ(MessageOf<EStringListError>([&] { s.Add(L"pear"); }), L"String list does not allow duplicates");
    s.SetDuplicates(dupAccept);
    s.Add(L"PEAR");
    EXPECT_EQ(s.Count(), 6);

    EXPECT_EQ(MessageOf<EStringListError>([&] { s.Insert(0, L"x"); }), L"Operation not allowed on sorted list");
    EXPECT_THROW(s.SetStrings(0, L"x"), EStringListError);

    // Case-sensitive lists treat case as a difference.
    TStringList c;
    c.SetCaseSensitive(true);
    c.SetSorted(true);
    c.Add(L"a");
    c.Add(L"A");
    EXPECT_EQ(c.Count(), 2);
    EXPECT_EQ(c.IndexOf(L"A"), c.IndexOf(L"a") == 0 ? 1 : 0);
}

TEST(StringListTest, UnsortedIndexOfIgnoresCaseUnlessAsked)
{
    TStringList s;
    s.SetText(L"Hello\r\nÄrger\r\nco-op\r\ncoop");
    EXPECT_EQ(s.IndexOf(L"HELLO"), 0);
    EXPECT_EQ(s.IndexOf(L"ärger"), 1);
    EXPECT_EQ(s.IndexOf(L"coop"), 3);
    EXPECT_EQ(s.IndexOf(L"co-op"), 2);
    // The locale ignores some characters (a zero here); texts that differ
    // still never stand for each other, sorted or not.
    UnicodeString withZero(L"a\0b", 3);
    s.Add(withZero);
    EXPECT_EQ(s.IndexOf(L"ab"), -1);
    TStringList sorted;
    sorted.SetSorted(true);
    sorted.Add(withZero);
    sorted.Add(L"AB");
    EXPECT_EQ(sorted.Count(), 2);
    EXPECT_EQ(sorted[sorted.IndexOf(L"ab")], L"AB");
    s.SetCaseSensitive(true);
    EXPECT_EQ(s.IndexOf(L"HELLO"), -1);
    EXPECT_EQ(s.IndexOf(L"Hello"), 0);
    EXPECT_THROW(s[5], EStringListError);
    EXPECT_EQ(MessageOf<EStringListError>([&] { s.Delete(-1); }), L"List index out of bounds (-1)");
}

TEST(StringListTest, SortAndCustomSort)
{
    TStringList s;
    s.SetText(L"ccc\na\nBB\nb\ndddd");
    s.Sort();
    EXPECT_EQ(Lines(s), (V{L"a", L"b", L"BB", L"ccc", L"dddd"}));
    s.CustomSort([](TStringList* l, int i, int j) { return int((*l)[i].size()) - int((*l)[j].size()); });
    // By length, equal lengths keeping their order.
    EXPECT_EQ(Lines(s)[0].size(), 1u);
    EXPECT_EQ(Lines(s)[1].size(), 1u);
    EXPECT_EQ(Lines(s)[2], L"BB");
    EXPECT_EQ(Lines(s)[4], L"dddd");
}

TEST(StringListTest, TextRoundTrip)
{
    struct Case {
        const wchar_t* in;
        V lines;
    } cases[] = {
        {L"", {}},
        {L"a", {L"a"}},
        {L"a\r\n", {L"a"}},
        {L"a\r\nb\nc\rd", {L"a", L"b", L"c", L"d"}},
        {L"a\r\n\r\nb", {L"a", L"", L"b"}},
        {L"\n", {L""}},
        {L"a\n\rb", {L"a", L"", L"b"}},
        {L" x = 1 \r\n", {L" x = 1 "}},
    };
    for (const Case& c : cases) {
        TStringList s;
        s.SetText(c.in);
        EXPECT_EQ(Lines(s), c.lines) << c.in;
    }
    TStringList s;
    s.SetText(UnicodeString(L"a\0b\nc", 5)); // a zero character is text like any other
    EXPECT_EQ(s[0], UnicodeString(L"a\0b", 3));
    EXPECT_EQ(s.Text(), UnicodeString(L"a\0b\r\nc\r\n", 8));
}

TEST(StringListTest, NameValuePairs)
{
    TStringList s;
    s.SetText(L"title=Sample\nWidth=1024\nplain\n=empty name\nurl=a=b");
    EXPECT_EQ(s.Values(L"TITLE"), L"Sample");
    EXPECT_EQ(s.Values(L"url"), L"a=b");
    EXPECT_EQ(s.Values(L"missing"), L"");
    EXPECT_EQ(s.IndexOfName(L"width"), 1);
    EXPECT_EQ(s.IndexOfName(L"plain"), -1);
    EXPECT_EQ(s.Names(2), L"");
    EXPECT_EQ(s.ValueFromIndex(2), L""); // no '=': no value either
    EXPECT_EQ(s.Names(4), L"url");

    s.SetValue(L"width", L"800");   // replaced in place, under the name given
    EXPECT_EQ(s[1], L"width=800");
    s.SetValue(L"height", L"600");  // added
    EXPECT_EQ(s[5], L"height=600");
    s.SetValue(L"title", L"");      // removed
    EXPECT_EQ(s.IndexOfName(L"title"), -1);
    EXPECT_EQ(s.Count(), 5);
    s.SetValueFromIndex(0, L"640");
    EXPECT_EQ(s[0], L"width=640");
}

TEST(StringListTest, CommaText)
{
    struct Case {
        V lines;
        const wchar_t* text;
    } cases[] = {
        {{L"a", L"b c", L"d,e", L"say \"hi\"", L""}, L"a,\"b c\",\"d,e\",\"say \"\"hi\"\"\","},
        {{L""}, L"\"\""},
        {{}, L""},
        {{L"a", L"", L"b"}, L"a,,b"},
    };
    for (const Case& c : cases) {
        TStringList s;
        for (auto& l : c.lines)
            s.Add(l);
        EXPECT_EQ(s.CommaText(), c.text);
        TStringList back;
        back.SetCommaText(c.text);
        EXPECT_EQ(Lines(back), c.lines) << c.text;
    }
    // Blanks separate unquoted items; an unclosed quote takes the rest.
    TStringList s;
    s.SetCommaText(L"  one two , three,\"open, end");
    EXPECT_EQ(Lines(s), (V{L"one", L"two", L"three", L"open, end"}));
}

TEST(StringListTest, ChangeEventsFireOncePerUpdate)
{
    EventCounter ev;
    TStringList s;
    s.OnChange = Bind(&ev, &EventCounter::Change);
    s.OnChanging = Bind(&ev, &EventCounter::Changing);
    s.Add(L"a");
    EXPECT_EQ(ev.Changes, 1);
    EXPECT_EQ(ev.Changings, 1);

    s.BeginUpdate();
    s.Add(L"b");
    s.BeginUpdate();
    s.Delete(0);
    s.EndUpdate();
    s.SetText(L"x\ny");
    EXPECT_EQ(ev.Changes, 1);
    s.EndUpdate();
    EXPECT_EQ(ev.Changes, 2);
    EXPECT_EQ(ev.Changings, 2);
    s.EndUpdate(); // unbalanced: ignored
    s.Clear();
    s.Clear(); // already empty: no change
    EXPECT_EQ(ev.Changes, 3);
}

namespace {
struct RaisingListener : TObject {
    void Change(TObject*) { throw EListError(L"from OnChange"); }
};
}

// An exception from the OnChange that closes an internal update reaches the
// caller (it used to end the program from a destructor).
TEST(StringListTest, AnExceptionFromTheClosingChangeReachesTheCaller)
{
    RaisingListener raising;
    TStringList s;
    s.Add(L"a");
    s.Add(L"b");
    s.OnChange = Bind(&raising, &RaisingListener::Change);
    EXPECT_THROW(s.Exchange(0, 1), EListError);
    EXPECT_EQ(s.Strings(0), L"b");
    s.OnChange = nullptr;
    s.Add(L"c");
    EXPECT_EQ(s.Count(), 3);
}

TEST(StringListTest, OwnedObjectsAreFreedWithTheirLines)
{
    int freed = 0;
    {
        TStringList owned(true);
        owned.AddObject(L"a", new Tracked(&freed));
        owned.AddObject(L"b", new Tracked(&freed));
        owned.AddObject(L"c", new Tracked(&freed));
        owned.AddObject(L"d", nullptr);
        owned.Delete(0);
        EXPECT_EQ(freed, 1);
        EXPECT_NE(owned.Objects(0), nullptr);
        owned.Delete(2);
        EXPECT_EQ(freed, 1);
    }
    EXPECT_EQ(freed, 3);

    Tracked kept(&freed);
    {
        TStringList plain;
        plain.AddObject(L"k", &kept);
        EXPECT_EQ(plain.IndexOfObject(&kept), 0);
        plain.Clear();
    }
    EXPECT_EQ(freed, 3);
}

// A moved line takes its object along: an owning list neither frees it on
// the way nor twice at the end, and a sorted list refuses before losing it.
TEST(StringListTest, MoveKeepsTheLineAndItsObject)
{
    int freed = 0;
    {
        TStringList owned(true);
        Tracked* a = new Tracked(&freed);
        owned.AddObject(L"a", a);
        owned.AddObject(L"b", new Tracked(&freed));
        owned.AddObject(L"c", nullptr);
        owned.Move(0, 2);
        EXPECT_EQ(Lines(owned), (V{L"b", L"c", L"a"}));
        EXPECT_EQ(owned.Objects(2), a);
        EXPECT_EQ(freed, 0);
    }
    EXPECT_EQ(freed, 2);

    TStringList sorted;
    sorted.SetSorted(true);
    sorted.Add(L"x");
    sorted.Add(L"y");
    EXPECT_THROW(sorted.Move(0, 1), EStringListError);
    EXPECT_EQ(Lines(sorted), (V{L"x", L"y"}));
}

TEST(StringListTest, AssignAndAddStrings)
{
    int dummy = 0;
    Tracked obj(&dummy);
    TStringList a, b;
    a.AddObject(L"one", &obj);
    a.Add(L"two");
    b.Add(L"old");
    b.Assign(&a);
    EXPECT_EQ(Lines(b), (V{L"one", L"two"}));
    EXPECT_EQ(b.Objects(0), &obj);
    EXPECT_TRUE(b.Equals(&a));
    b.AddStrings(&b);
    EXPECT_EQ(b.Count(), 4);
    b.Assign(&b);
    EXPECT_EQ(b.Count(), 4);

    TPersistent other;
    EXPECT_THROW(b.Assign(&other), EConvertError);
    EXPECT_EQ(b.Count(), 4);
}

TEST(StringListTest, FilesUseTheAnsiCodePage)
{
    TTempDir dir;
    UnicodeString name = dir.File(L"목록.txt");
    TStringList s;
    s.SetText(L"종료\nline two");
    s.SaveToFile(name);
    EXPECT_EQ(FileGetSize(name), 4 + 2 + 8 + 2);

    TMemoryStream raw;
    raw.LoadFromFile(name);
    EXPECT_EQ(AnsiString(static_cast<const char*>(raw.Memory()), 6), "\xC1\xBE\xB7\xE1\r\n");

    TStringList back;
    back.LoadFromFile(name);
    EXPECT_EQ(Lines(back), (V{L"종료", L"line two"}));

    // From a stream: the rest of it, from where it stands.
    raw.SetPosition(6);
    back.LoadFromStream(&raw);
    EXPECT_EQ(Lines(back), (V{L"line two"}));
    EXPECT_THROW(back.LoadFromFile(dir.File(L"none.txt")), EFOpenError);
}

// A list kept elsewhere, as a control keeps its items: only the required
// overrides, and the rest of TStrings must work on top of them.  <windows.h>
// is in this file, so its GetObject macro goes before the override.
#undef GetObject
namespace {
class TVectorStrings : public TStrings {
public:
    std::vector<std::pair<UnicodeString, TObject*>> Items;
    int UpdateCalls = 0;
    void Insert(int Index, const UnicodeString& S) override { Items.insert(Items.begin() + Index, {S, nullptr}); }
    void Delete(int Index) override { Items.erase(Items.begin() + Index); }
    void Clear() override { Items.clear(); }

protected:
    UnicodeString Get(int Index) const override { return Items.at(size_t(Index)).first; }
    int GetCount() const override { return int(Items.size()); }
    TObject* GetObject(int Index) const override { return Items.at(size_t(Index)).second; }
    void PutObject(int Index, TObject* AObject) override { Items.at(size_t(Index)).second = AObject; }
    void SetUpdateState(bool) override { ++UpdateCalls; }
};
}

TEST(StringsTest, DerivedListGetsTheWholeInterface)
{
    int dummy = 0;
    Tracked obj(&dummy);
    TVectorStrings v;
    v.SetText(L"b=2\na=1");
    EXPECT_EQ(v.UpdateCalls, 2);
    v.AddObject(L"c", &obj);
    EXPECT_EQ(v.Values(L"A"), L"1");
    v.SetValue(L"b", L"20");
    EXPECT_EQ(v[0], L"b=20");
    v.SetStrings(2, L"C");
    EXPECT_EQ(v.Objects(2), &obj); // replacing a line keeps its object
    v.Exchange(0, 2);
    EXPECT_EQ(Lines(v), (V{L"C", L"a=1", L"b=20"}));
    EXPECT_EQ(v.Objects(0), &obj);
    v.Move(0, 2);
    EXPECT_EQ(v.IndexOf(L"c"), 2);
    EXPECT_EQ(v.IndexOfObject(&obj), 2);
    EXPECT_EQ(v.Text(), L"a=1\r\nb=20\r\nC\r\n");

    TStringList copy;
    copy.Assign(&v);
    EXPECT_TRUE(copy.Equals(&v));
}

// Form resources hand the lines over as the "Strings" list property.
namespace {
class TFakeReader : public TReader {
public:
    V Values;
    size_t Next = 0;
    TReaderProc Found;
    UnicodeString FoundName;
    bool FoundHasData = false;
    void DefineProperty(const UnicodeString& Name, TReaderProc ReadData, TWriterProc, bool HasData) override
    {
        FoundName = Name;
        Found = ReadData;
        FoundHasData = HasData;
    }
    void DefineBinaryProperty(const UnicodeString&, TStreamProc, TStreamProc, bool) override {}
    void ReadData(TComponent*) override {}
    int32_t ReadInteger() override { return 0; }
    int64_t ReadInt64() override { return 0; }
    bool ReadBoolean() override { return false; }
    double ReadFloat() override { return 0; }
    UnicodeString ReadString() override { return Values.at(Next++); }
    UnicodeString ReadIdent() override { return {}; }
    void ReadListBegin() override {}
    void ReadListEnd() override {}
    bool EndOfList() override { return Next == Values.size(); }
};
}

TEST(StringsTest, ReadsItsLinesFromAFormResource)
{
    TStringList s;
    s.Add(L"designed");
    TFakeReader r;
    r.Values = {L"first", L"두 번째"};
    s.DefineProperties(&r);
    EXPECT_EQ(r.FoundName, L"Strings");
    EXPECT_TRUE(r.FoundHasData);
    ASSERT_TRUE(r.Found.Assigned());
    r.Found(&r);
    EXPECT_EQ(Lines(s), r.Values);
}
