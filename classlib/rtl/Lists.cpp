#include "classlib/rtl/Lists.h"

#include <exception>

#include <algorithm>
#include <numeric>

#include "classlib/rtl/Streams.h"
#include "classlib/rtl/SysUtils.h"

namespace {

UnicodeString WithNumber(const wchar_t* Msg, int Data)
{
    UnicodeString s = Msg;
    size_t at = s.find(L"%d");
    if (at != UnicodeString::npos)
        s.replace(at, 2, IntToStr(Data));
    return s;
}

const wchar_t* const SListIndexError = L"List index out of bounds (%d)";
const wchar_t* const SListCountError = L"List count out of bounds (%d)";
const wchar_t* const SSortedListError = L"Operation not allowed on sorted list";
const wchar_t* const SDuplicateString = L"String list does not allow duplicates";

// Locale order, as the class library compares list strings; texts the
// locale rates equal but that differ (after case folding, unless case
// matters) are ordered by code unit, so that distinct lines never count as
// duplicates of each other.
int CompareListStrings(const UnicodeString& S1, const UnicodeString& S2, bool CaseSensitive)
{
    int r = CaseSensitive ? AnsiCompareStr(S1, S2) : AnsiCompareText(S1, S2);
    if (r != 0)
        return r;
    if (CaseSensitive)
        return CompareStr(S1, S2);
    return CompareStr(AnsiUpperCase(S1), AnsiUpperCase(S2));
}

// Keeps BeginUpdate/EndUpdate paired when a step in between raises.
// Ends the update when the scope ends.  An exception from the closing
// OnChange passes on to the caller, as it would from a finally block; while
// another exception is already unwinding, the first one wins and the closing
// one is dropped (two at once would end the program).
class TUpdateGuard {
    TStrings* FStrings;
    int FUnwinding;

public:
    explicit TUpdateGuard(TStrings* Strings) : FStrings(Strings), FUnwinding(std::uncaught_exceptions())
    {
        FStrings->BeginUpdate();
    }
    ~TUpdateGuard() noexcept(false)
    {
        if (std::uncaught_exceptions() == FUnwinding) {
            FStrings->EndUpdate();
            return;
        }
        try {
            FStrings->EndUpdate();
        } catch (...) {
        }
    }
    TUpdateGuard(const TUpdateGuard&) = delete;
    TUpdateGuard& operator=(const TUpdateGuard&) = delete;
};

} // namespace

// ---------------------------------------------------------------------------
// TList

TList::~TList()
{
    FList.clear();
}

void TList::CheckIndex(int Index, int Limit) const
{
    if (Index < 0 || Index > Limit)
        throw EListError(WithNumber(SListIndexError, Index));
}

void TList::SetCount(int NewCount)
{
    if (NewCount < 0)
        throw EListError(WithNumber(SListCountError, NewCount));
    while (Count() > NewCount)
        Delete(Count() - 1);
    FList.resize(size_t(NewCount), nullptr);
}

void* TList::Items(int Index) const
{
    CheckIndex(Index, Count() - 1);
    return FList[size_t(Index)];
}

void TList::Put(int Index, void* Item)
{
    CheckIndex(Index, Count() - 1);
    void* old = FList[size_t(Index)];
    if (old == Item)
        return;
    FList[size_t(Index)] = Item;
    if (old)
        Notify(old, lnDeleted);
    if (Item)
        Notify(Item, lnAdded);
}

int TList::Add(void* Item)
{
    FList.push_back(Item);
    if (Item)
        Notify(Item, lnAdded);
    return Count() - 1;
}

void TList::Insert(int Index, void* Item)
{
    CheckIndex(Index, Count());
    FList.insert(FList.begin() + Index, Item);
    if (Item)
        Notify(Item, lnAdded);
}

void TList::Delete(int Index)
{
    CheckIndex(Index, Count() - 1);
    void* item = FList[size_t(Index)];
    FList.erase(FList.begin() + Index);
    if (item)
        Notify(item, lnDeleted);
}

int TList::Remove(void* Item)
{
    int i = IndexOf(Item);
    if (i >= 0)
        Delete(i);
    return i;
}

void* TList::Extract(void* Item)
{
    int i = IndexOf(Item);
    if (i < 0)
        return nullptr;
    FList.erase(FList.begin() + i);
    if (Item)
        Notify(Item, lnExtracted);
    return Item;
}

int TList::IndexOf(void* Item) const
{
    auto it = std::find(FList.begin(), FList.end(), Item);
    return it == FList.end() ? -1 : int(it - FList.begin());
}

void TList::Exchange(int Index1, int Index2)
{
    CheckIndex(Index1, Count() - 1);
    CheckIndex(Index2, Count() - 1);
    std::swap(FList[size_t(Index1)], FList[size_t(Index2)]);
}

void TList::Move(int CurIndex, int NewIndex)
{
    if (CurIndex == NewIndex)
        return;
    CheckIndex(CurIndex, Count() - 1);
    CheckIndex(NewIndex, Count() - 1);
    void* item = FList[size_t(CurIndex)];
    FList.erase(FList.begin() + CurIndex);
    FList.insert(FList.begin() + NewIndex, item);
}

void TList::Pack()
{
    FList.erase(std::remove(FList.begin(), FList.end(), nullptr), FList.end());
}

void TList::Clear()
{
    SetCount(0);
    std::vector<void*>().swap(FList);
}

void TList::Sort(TListSortCompare Compare)
{
    // Merge-based: an inconsistent comparison gives a useless order, never
    // a read outside the list.
    std::stable_sort(FList.begin(), FList.end(), [Compare](void* a, void* b) { return Compare(a, b) < 0; });
}

// ---------------------------------------------------------------------------
// TStrings

void TStrings::Error(const wchar_t* Msg, int Data)
{
    throw EStringListError(WithNumber(Msg, Data));
}

int TStrings::Add(const UnicodeString& S)
{
    int i = GetCount();
    Insert(i, S);
    return i;
}

int TStrings::AddObject(const UnicodeString& S, TObject* AObject)
{
    int i = Add(S);
    PutObject(i, AObject);
    return i;
}

void TStrings::InsertObject(int Index, const UnicodeString& S, TObject* AObject)
{
    Insert(Index, S);
    PutObject(Index, AObject);
}

void TStrings::Put(int Index, const UnicodeString& S)
{
    TObject* obj = GetObject(Index);
    Delete(Index);
    InsertObject(Index, S, obj);
}

void TStrings::Exchange(int Index1, int Index2)
{
    TUpdateGuard update(this);
    UnicodeString s = Get(Index1);
    TObject* obj = GetObject(Index1);
    Put(Index1, Get(Index2));
    PutObject(Index1, GetObject(Index2));
    Put(Index2, s);
    PutObject(Index2, obj);
}

void TStrings::Move(int CurIndex, int NewIndex)
{
    if (CurIndex == NewIndex)
        return;
    TUpdateGuard update(this);
    UnicodeString s = Get(CurIndex);
    TObject* obj = GetObject(CurIndex);
    // Where the line cannot go (a sorted list) it stays; its object travels
    // with it, so a list that owns its objects must not free it on the way.
    if (NewIndex < 0 || NewIndex >= GetCount())
        Error(SListIndexError, NewIndex);
    InsertObject(NewIndex < CurIndex ? NewIndex : NewIndex + 1, s, obj);
    if (NewIndex < CurIndex)
        ++CurIndex;
    PutObject(CurIndex, nullptr);
    Delete(CurIndex);
}

void TStrings::AddStrings(TStrings* Strings)
{
    if (!Strings)
        return;
    TUpdateGuard update(this);
    // Read the count once: adding a list to itself doubles it, no more.
    int n = Strings->Count();
    for (int i = 0; i < n; ++i)
        AddObject(Strings->Get(i), Strings->GetObject(i));
}

void TStrings::Assign(TPersistent* Source)
{
    if (auto* src = dynamic_cast<TStrings*>(Source)) {
        if (src == this)
            return;
        TUpdateGuard update(this);
        Clear();
        AddStrings(src);
        return;
    }
    TPersistent::Assign(Source);
}

bool TStrings::Equals(TStrings* Strings) const
{
    if (!Strings || Strings->Count() != Count())
        return false;
    for (int i = 0; i < Count(); ++i)
        if (Get(i) != Strings->Get(i))
            return false;
    return true;
}

int TStrings::CompareStrings(const UnicodeString& S1, const UnicodeString& S2) const
{
    return CompareListStrings(S1, S2, false);
}

int TStrings::IndexOf(const UnicodeString& S) const
{
    int n = GetCount();
    for (int i = 0; i < n; ++i)
        if (CompareStrings(Get(i), S) == 0)
            return i;
    return -1;
}

int TStrings::IndexOfObject(TObject* AObject) const
{
    int n = GetCount();
    for (int i = 0; i < n; ++i)
        if (GetObject(i) == AObject)
            return i;
    return -1;
}

int TStrings::IndexOfName(const UnicodeString& Name) const
{
    int n = GetCount();
    for (int i = 0; i < n; ++i) {
        UnicodeString s = Get(i);
        size_t p = s.find(L'=');
        if (p != UnicodeString::npos && CompareStrings(s.substr(0, p), Name) == 0)
            return i;
    }
    return -1;
}

UnicodeString TStrings::Names(int Index) const
{
    UnicodeString s = Get(Index);
    size_t p = s.find(L'=');
    return p == UnicodeString::npos ? UnicodeString() : s.substr(0, p);
}

UnicodeString TStrings::ValueFromIndex(int Index) const
{
    UnicodeString s = Get(Index);
    size_t p = s.find(L'=');
    return p == UnicodeString::npos ? UnicodeString() : s.substr(p + 1);
}

void TStrings::SetValueFromIndex(int Index, const UnicodeString& Value)
{
    Put(Index, Names(Index) + L"=" + Value);
}

UnicodeString TStrings::Values(const UnicodeString& Name) const
{
    int i = IndexOfName(Name);
    return i < 0 ? UnicodeString() : ValueFromIndex(i);
}

void TStrings::SetValue(const UnicodeString& Name, const UnicodeString& Value)
{
    int i = IndexOfName(Name);
    if (Value.empty()) {
        if (i >= 0)
            Delete(i);
    } else if (i < 0) {
        Add(Name + L"=" + Value);
    } else {
        Put(i, Name + L"=" + Value);
    }
}

UnicodeString TStrings::GetTextStr() const
{
    UnicodeString out;
    int n = GetCount();
    for (int i = 0; i < n; ++i) {
        out += Get(i);
        out += L"\r\n";
    }
    return out;
}

void TStrings::SetTextStr(const UnicodeString& Value)
{
    TUpdateGuard update(this);
    Clear();
    size_t i = 0, n = Value.size();
    while (i < n) {
        size_t start = i;
        while (i < n && Value[i] != L'\r' && Value[i] != L'\n')
            ++i;
        Add(Value.substr(start, i - start));
        if (i < n && Value[i] == L'\r')
            ++i;
        if (i < n && Value[i] == L'\n')
            ++i;
    }
}

UnicodeString TStrings::CommaText() const
{
    int n = GetCount();
    if (n == 1 && Get(0).empty())
        return L"\"\"";
    UnicodeString out;
    for (int i = 0; i < n; ++i) {
        UnicodeString s = Get(i);
        bool quote = std::any_of(s.begin(), s.end(), [](wchar_t c) { return c <= L' ' || c == L'"' || c == L','; });
        if (quote) {
            UnicodeString q = L"\"";
            for (wchar_t c : s) {
                q += c;
                if (c == L'"')
                    q += c;
            }
            s = q + L"\"";
        }
        if (i > 0)
            out += L',';
        out += s;
    }
    return out;
}

void TStrings::SetCommaText(const UnicodeString& Value)
{
    TUpdateGuard update(this);
    Clear();
    size_t i = 0, n = Value.size();
    auto blank = [&](size_t k) { return k < n && Value[k] <= L' '; };
    while (blank(i))
        ++i;
    while (i < n) {
        UnicodeString s;
        if (Value[i] == L'"') {
            // "" inside quotes is one quote; a missing closing quote takes the rest.
            ++i;
            while (i < n) {
                if (Value[i] == L'"') {
                    if (i + 1 < n && Value[i + 1] == L'"') {
                        s += L'"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                s += Value[i++];
            }
        } else {
            size_t start = i;
            while (i < n && Value[i] > L' ' && Value[i] != L',')
                ++i;
            s = Value.substr(start, i - start);
        }
        Add(s);
        while (blank(i))
            ++i;
        if (i < n && Value[i] == L',') {
            if (i + 1 == n)
                Add(UnicodeString());
            ++i;
            while (blank(i))
                ++i;
        }
    }
}

UnicodeString ReadAnsiText(TStream* Stream)
{
    int64_t size = Stream->Size() - Stream->Position();
    AnsiString bytes(size_t(std::max<int64_t>(size, 0)), '\0');
    Stream->ReadBuffer(bytes.data(), int32_t(bytes.size()));
    return AnsiToUnicode(bytes);
}

void TStrings::LoadFromStream(TStream* Stream)
{
    SetTextStr(ReadAnsiText(Stream));
}

void TStrings::SaveToStream(TStream* Stream) const
{
    AnsiString bytes = UnicodeToAnsi(GetTextStr());
    Stream->WriteBuffer(bytes.data(), int32_t(bytes.size()));
}

void TStrings::LoadFromFile(const UnicodeString& FileName)
{
    TFileStream file(FileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(&file);
}

void TStrings::SaveToFile(const UnicodeString& FileName) const
{
    TFileStream file(FileName, fmCreate);
    SaveToStream(&file);
}

void TStrings::BeginUpdate()
{
    if (FUpdateCount == 0)
        SetUpdateState(true);
    ++FUpdateCount;
}

void TStrings::EndUpdate()
{
    if (FUpdateCount == 0)
        return;
    if (--FUpdateCount == 0)
        SetUpdateState(false);
}

void TStrings::DefineProperties(TFiler* Filer)
{
    Filer->DefineProperty(L"Strings", Bind(this, &TStrings::ReadData), TWriterProc(), GetCount() > 0);
}

void TStrings::ReadData(TReader* Reader)
{
    Reader->ReadListBegin();
    TUpdateGuard update(this);
    Clear();
    while (!Reader->EndOfList())
        Add(Reader->ReadString());
    Reader->ReadListEnd();
}

// ---------------------------------------------------------------------------
// TStringList

TStringList::~TStringList()
{
    OnChange = nullptr;
    OnChanging = nullptr;
    if (FOwnsObjects)
        for (TStringItem& item : FList)
            FreeAndNil(item.FObject);
}

void TStringList::CheckIndex(int Index, int Limit) const
{
    if (Index < 0 || Index > Limit)
        Error(SListIndexError, Index);
}

void TStringList::Changed()
{
    if (UpdateCount() == 0 && OnChange)
        OnChange(this);
}

void TStringList::Changing()
{
    if (UpdateCount() == 0 && OnChanging)
        OnChanging(this);
}

void TStringList::SetUpdateState(bool Updating)
{
    if (Updating)
        Changing();
    else
        Changed();
}

UnicodeString TStringList::Get(int Index) const
{
    CheckIndex(Index, GetCount() - 1);
    return FList[size_t(Index)].FString;
}

TObject* TStringList::GetObject(int Index) const
{
    CheckIndex(Index, GetCount() - 1);
    return FList[size_t(Index)].FObject;
}

void TStringList::Put(int Index, const UnicodeString& S)
{
    if (FSorted)
        Error(SSortedListError, 0);
    CheckIndex(Index, GetCount() - 1);
    Changing();
    FList[size_t(Index)].FString = S;
    Changed();
}

void TStringList::PutObject(int Index, TObject* AObject)
{
    CheckIndex(Index, GetCount() - 1);
    Changing();
    FList[size_t(Index)].FObject = AObject;
    Changed();
}

int TStringList::Add(const UnicodeString& S)
{
    return AddObject(S, nullptr);
}

int TStringList::AddObject(const UnicodeString& S, TObject* AObject)
{
    int index = GetCount();
    if (FSorted && Find(S, index)) {
        if (FDuplicates == dupIgnore)
            return index;
        if (FDuplicates == dupError)
            Error(SDuplicateString, 0);
    }
    InsertItem(index, S, AObject);
    return index;
}

void TStringList::Insert(int Index, const UnicodeString& S)
{
    InsertObject(Index, S, nullptr);
}

void TStringList::InsertObject(int Index, const UnicodeString& S, TObject* AObject)
{
    if (FSorted)
        Error(SSortedListError, 0);
    CheckIndex(Index, GetCount());
    InsertItem(Index, S, AObject);
}

void TStringList::InsertItem(int Index, const UnicodeString& S, TObject* AObject)
{
    Changing();
    FList.insert(FList.begin() + Index, TStringItem{S, AObject});
    Changed();
}

void TStringList::Delete(int Index)
{
    CheckIndex(Index, GetCount() - 1);
    Changing();
    TObject* obj = FList[size_t(Index)].FObject;
    FList.erase(FList.begin() + Index);
    if (FOwnsObjects)
        FreeAndNil(obj);
    Changed();
}

void TStringList::Clear()
{
    if (FList.empty())
        return;
    Changing();
    std::vector<TStringItem> old;
    old.swap(FList);
    if (FOwnsObjects)
        for (TStringItem& item : old)
            FreeAndNil(item.FObject);
    Changed();
}

void TStringList::Exchange(int Index1, int Index2)
{
    CheckIndex(Index1, GetCount() - 1);
    CheckIndex(Index2, GetCount() - 1);
    Changing();
    std::swap(FList[size_t(Index1)], FList[size_t(Index2)]);
    Changed();
}

int TStringList::CompareStrings(const UnicodeString& S1, const UnicodeString& S2) const
{
    return CompareListStrings(S1, S2, FCaseSensitive);
}

bool TStringList::Find(const UnicodeString& S, int& Index) const
{
    int lo = 0, hi = GetCount() - 1;
    bool found = false;
    while (lo <= hi) {
        int mid = lo + (hi - lo) / 2;
        int c = CompareStrings(FList[size_t(mid)].FString, S);
        if (c < 0) {
            lo = mid + 1;
        } else {
            hi = mid - 1;
            if (c == 0)
                found = true;
        }
    }
    Index = lo;
    return found;
}

int TStringList::IndexOf(const UnicodeString& S) const
{
    if (!FSorted)
        return TStrings::IndexOf(S);
    int i;
    return Find(S, i) ? i : -1;
}

void TStringList::SortItems()
{
    std::stable_sort(FList.begin(), FList.end(), [this](const TStringItem& a, const TStringItem& b) {
        return CompareStrings(a.FString, b.FString) < 0;
    });
}

void TStringList::Sort()
{
    if (FSorted || GetCount() < 2)
        return;
    Changing();
    SortItems();
    Changed();
}

void TStringList::CustomSort(TStringListSortCompare Compare)
{
    if (FSorted || GetCount() < 2 || !Compare)
        return;
    Changing();
    // Compare sees the list as it stands, by index, while the order is
    // worked out; the items move once at the end.
    std::vector<int> order(FList.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return Compare(this, a, b) < 0; });
    std::vector<TStringItem> sorted;
    sorted.reserve(FList.size());
    for (int i : order)
        sorted.push_back(std::move(FList[size_t(i)]));
    FList.swap(sorted);
    Changed();
}

void TStringList::SetSorted(bool Value)
{
    if (FSorted == Value)
        return;
    if (Value)
        Sort();
    FSorted = Value;
}

void TStringList::SetCaseSensitive(bool Value)
{
    if (FCaseSensitive == Value)
        return;
    FCaseSensitive = Value;
    if (FSorted && GetCount() > 1) {
        Changing();
        SortItems();
        Changed();
    }
}
