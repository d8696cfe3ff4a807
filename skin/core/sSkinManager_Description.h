// A skin description (INI text) read with the inheritance of its keys: a
// section that lacks a key takes it from the section its PARENTCLASS names,
// and so on up the chain.
#pragma once

#include "classlib/rtl/System.h"

class TCustomIniFile;

class TsSkinDescription {
public:
    explicit TsSkinDescription(TCustomIniFile* Ini) : FIni(Ini) {}

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
    template <class Found>
    bool Search(const UnicodeString& Section, Found found);

    TCustomIniFile* FIni;
};
