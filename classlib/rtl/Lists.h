// Lists: a list of pointers, the abstract list of strings (with an object
// per string) and the string list that stores them.
// Portable header.
#pragma once

#include <cstdint>
#include <vector>

#include "classlib/rtl/Classes.h"
#include "classlib/rtl/System.h"

class TStream;

// <windows.h> maps GetObject to GetObjectW.  The member keeps its own name
// here whatever the include order; a file that includes <windows.h> and
// overrides GetObject must #undef GetObject first (callers need nothing:
// GetObjectW below forwards).
#pragma push_macro("GetObject")
#undef GetObject

// ---------------------------------------------------------------------------
// TList: pointers by index.  A bad index raises EListError
// "List index out of bounds (%d)".
enum TListNotification { lnAdded, lnExtracted, lnDeleted };
// Negative when Item1 sorts first, 0 when equal, positive otherwise.
using TListSortCompare = int (*)(void* Item1, void* Item2);

class TList : public TObject {
    KV_CLASS(TList)
    std::vector<void*> FList;

public:
    ~TList() override;

    int Count() const { return int(FList.size()); }
    void SetCount(int NewCount);                // new slots hold nullptr
    void* Items(int Index) const;
    void* operator[](int Index) const { return Items(Index); }
    void Put(int Index, void* Item);
    void* First() const { return Items(0); }
    void* Last() const { return Items(Count() - 1); }

    int Add(void* Item);                        // answers the new index
    void Insert(int Index, void* Item);         // Index == Count appends
    void Delete(int Index);
    int Remove(void* Item);                     // first occurrence; answers its index or -1
    void* Extract(void* Item);                  // removes without "deleting"; nullptr when absent
    int IndexOf(void* Item) const;
    void Exchange(int Index1, int Index2);
    void Move(int CurIndex, int NewIndex);
    void Pack();                                // drops nullptr entries
    virtual void Clear();
    // Stable: items that compare equal keep their order.
    void Sort(TListSortCompare Compare);

protected:
    // Told of every pointer added and removed (TObjectList-style owners hook here).
    virtual void Notify(void* Ptr, TListNotification Action) {}

private:
    void CheckIndex(int Index, int Limit) const;
};

// The rest of Stream, from its position, as ANSI text.
UnicodeString ReadAnsiText(TStream* Stream);

// ---------------------------------------------------------------------------
// TStrings: the abstract list of strings.  A descendant stores the strings
// (TStringList in memory, a combo box in its window) and implements Get,
// GetCount, Insert, Delete and Clear; the rest is built on those.
class TStrings : public TPersistent {
    KV_CLASS(TStrings)
    int FUpdateCount = 0;

public:
    // Strings and objects by index.
    int Count() const { return GetCount(); }
    UnicodeString Strings(int Index) const { return Get(Index); }
    UnicodeString operator[](int Index) const { return Get(Index); }
    void SetStrings(int Index, const UnicodeString& S) { Put(Index, S); }
    TObject* Objects(int Index) const { return GetObject(Index); }
    void SetObjects(int Index, TObject* AObject) { PutObject(Index, AObject); }

    // Adding and removing.
    virtual int Add(const UnicodeString& S);
    virtual int AddObject(const UnicodeString& S, TObject* AObject);
    virtual void Insert(int Index, const UnicodeString& S) = 0;
    virtual void InsertObject(int Index, const UnicodeString& S, TObject* AObject);
    virtual void Delete(int Index) = 0;
    virtual void Clear() = 0;
    virtual void Exchange(int Index1, int Index2);
    virtual void Move(int CurIndex, int NewIndex);
    void AddStrings(TStrings* Strings);
    void Assign(TPersistent* Source) override;
    bool Equals(TStrings* Strings) const;

    // Searching; texts are compared by CompareStrings (case ignored here).
    virtual int IndexOf(const UnicodeString& S) const;
    int IndexOfObject(TObject* AObject) const;

    // "name=value" lines.  A line without '=' has an empty name and value.
    int IndexOfName(const UnicodeString& Name) const;
    UnicodeString Names(int Index) const;
    UnicodeString Values(const UnicodeString& Name) const;   // "" when missing
    // Replaces the line of Name, or adds one; an empty Value removes the line.
    void SetValue(const UnicodeString& Name, const UnicodeString& Value);
    UnicodeString ValueFromIndex(int Index) const;
    void SetValueFromIndex(int Index, const UnicodeString& Value);

    // Whole text: each line ends with CR LF.  Setting splits at CR LF, LF
    // and CR; a final line break adds no empty line.
    UnicodeString Text() const { return GetTextStr(); }
    void SetText(const UnicodeString& Value) { SetTextStr(Value); }
    // Comma-separated, lines holding blanks, commas or quotes in double quotes.
    UnicodeString CommaText() const;
    void SetCommaText(const UnicodeString& Value);

    // Text in the system ANSI code page.  LoadFromStream reads from the
    // stream's current position to its end.
    void LoadFromStream(TStream* Stream);
    void SaveToStream(TStream* Stream) const;
    void LoadFromFile(const UnicodeString& FileName);
    void SaveToFile(const UnicodeString& FileName) const;

    // Updates in between are announced once, by SetUpdateState(false) at the end.
    void BeginUpdate();
    void EndUpdate();

    // Form resources store the lines as the "Strings" list property.
    void DefineProperties(TFiler* Filer) override;

protected:
    virtual UnicodeString Get(int Index) const = 0;
    virtual int GetCount() const = 0;
    virtual TObject* GetObject(int Index) const { return nullptr; }
    TObject* GetObjectW(int Index) const { return GetObject(Index); }
    // The default replaces the line, keeping its object.
    virtual void Put(int Index, const UnicodeString& S);
    virtual void PutObject(int Index, TObject* AObject) {}
    virtual void SetUpdateState(bool Updating) {}
    virtual UnicodeString GetTextStr() const;
    virtual void SetTextStr(const UnicodeString& Value);
    virtual int CompareStrings(const UnicodeString& S1, const UnicodeString& S2) const;
    int UpdateCount() const { return FUpdateCount; }
    [[noreturn]] static void Error(const wchar_t* Msg, int Data);

private:
    void ReadData(TReader* Reader);
};

// ---------------------------------------------------------------------------
// TStringList: strings and objects in memory.
enum TDuplicates { dupIgnore, dupAccept, dupError };

class TStringList;
// Compares the strings at Index1 and Index2 of List (negative, 0, positive).
using TStringListSortCompare = int (*)(TStringList* List, int Index1, int Index2);

class TStringList : public TStrings {
    KV_CLASS(TStringList)
    struct TStringItem {
        UnicodeString FString;
        TObject* FObject = nullptr;
    };
    std::vector<TStringItem> FList;
    bool FSorted = false;
    bool FCaseSensitive = false;
    bool FOwnsObjects = false;
    TDuplicates FDuplicates = dupIgnore;

public:
    TStringList() = default;
    explicit TStringList(bool OwnsObjects) : FOwnsObjects(OwnsObjects) {}
    ~TStringList() override;

    int Add(const UnicodeString& S) override;
    int AddObject(const UnicodeString& S, TObject* AObject) override;
    void Insert(int Index, const UnicodeString& S) override;
    void InsertObject(int Index, const UnicodeString& S, TObject* AObject) override;
    void Delete(int Index) override;
    void Clear() override;
    void Exchange(int Index1, int Index2) override;
    int IndexOf(const UnicodeString& S) const override;

    // Binary search of a sorted list: true and the index of the first equal
    // string, or false and the index where S would be inserted.
    virtual bool Find(const UnicodeString& S, int& Index) const;
    virtual void Sort();
    virtual void CustomSort(TStringListSortCompare Compare);

    bool Sorted() const { return FSorted; }
    void SetSorted(bool Value);
    // Applies to strings added to a sorted list afterwards.
    TDuplicates Duplicates() const { return FDuplicates; }
    void SetDuplicates(TDuplicates Value) { FDuplicates = Value; }
    bool CaseSensitive() const { return FCaseSensitive; }
    void SetCaseSensitive(bool Value);
    // An owning list frees the objects of the lines it deletes, and all of them when freed.
    bool OwnsObjects() const { return FOwnsObjects; }
    void SetOwnsObjects(bool Value) { FOwnsObjects = Value; }

    // Before and after each change (outside BeginUpdate/EndUpdate, once for all).
    TNotifyEvent OnChange;
    TNotifyEvent OnChanging;

protected:
    UnicodeString Get(int Index) const override;
    int GetCount() const override { return int(FList.size()); }
    TObject* GetObject(int Index) const override;
    void Put(int Index, const UnicodeString& S) override;
    void PutObject(int Index, TObject* AObject) override;
    void SetUpdateState(bool Updating) override;
    int CompareStrings(const UnicodeString& S1, const UnicodeString& S2) const override;
    virtual void Changed();
    virtual void Changing();
    virtual void InsertItem(int Index, const UnicodeString& S, TObject* AObject);

private:
    void CheckIndex(int Index, int Limit) const;
    void SortItems();
};

#pragma pop_macro("GetObject")
