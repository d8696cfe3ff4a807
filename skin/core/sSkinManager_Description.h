// A skin description (INI text) read with the inheritance of its keys: a
// section that lacks a key takes it from the section its PARENTCLASS names,
// and so on up the chain.
#pragma once

#include <deque>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "classlib/rtl/System.h"

class TCustomIniFile;

// One key of a description, with the value ReadString gives for it (the
// first of a key written twice; none for a line without "=").  Section and
// Key are views of the description's text: a load reads every key, and
// copies of the names would cost more than the rest of the walk.
struct TsDescriptionEntry {
    std::wstring_view Section;
    std::wstring_view Key;
    bool HasValue = false;
    UnicodeString Value;
};

// Every key of every section in the order of the description, each section
// read once.  The views stay valid while the description is unchanged (a
// description not held in memory is copied into Text).
struct TsDescriptionEntries {
    std::vector<TsDescriptionEntry> Items;
    std::deque<UnicodeString> Text;
    auto begin() const { return Items.begin(); }
    auto end() const { return Items.end(); }
};
TsDescriptionEntries ReadEntries(TCustomIniFile* Ini);

// Integers are read as the description's own are: "0x" for hexadecimal;
// -1 for text that is no number.
int DescriptionInteger(const UnicodeString& Text);

class TsSkinDescription {
public:
    // Indexes the description once: a skin's sections are read key by key
    // up their parent chains, which a search of the text for every key
    // would make the slowest part of loading a skin.
    explicit TsSkinDescription(TCustomIniFile* Ini);
    // The same over entries read already (ReadEntries of Ini).
    TsSkinDescription(TCustomIniFile* Ini, const TsDescriptionEntries& Entries);

    // The value in Section, else in its parents; a value of "?" counts as
    // missing; Default when the chain ends without one.  A section met twice
    // in one search ends the chain, so a cycle of parents gives Default.
    UnicodeString ReadString(const UnicodeString& Section, const UnicodeString& Key, const UnicodeString& Default);
    // The same for integers: -1 (written, or text that is no number) counts
    // as missing.
    int ReadInteger(const UnicodeString& Section, const UnicodeString& Key, int Default);
    // The section's own PARENTCLASS, not inherited; empty when none.
    UnicodeString ParentOf(const UnicodeString& Section);

    TCustomIniFile* Ini() const { return FIni; }

private:
    struct TSection;
    using TKeys = std::unordered_map<UnicodeString, UnicodeString>;
    struct TSection {
        TKeys Keys;                       // upper-cased key -> value
        const TSection* Parent = nullptr; // the section PARENTCLASS names, when there is one
    };
    const TSection* Find(const UnicodeString& Section) const;
    // The first value of UpperKey up the chain from Section that Accept
    // takes; nullptr when none.  A cycle of parents ends the search.
    template <class Accept>
    const UnicodeString* Lookup(const UnicodeString& Section, const UnicodeString& UpperKey, Accept accept) const;

    TCustomIniFile* FIni;
    // Upper-cased section -> its keys; the first of equal names counts, as
    // when the description itself is read.
    std::unordered_map<UnicodeString, TSection> FIndex;
    mutable UnicodeString FLastName;
    mutable const TSection* FLastSection = nullptr;
};

