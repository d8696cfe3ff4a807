// The skin manager's lists of foreign control classes (its published
// ThirdParty): for each of the 18 kinds of sDefaults the class names, one a
// line, of the controls that the form skinners wrap with that kind's
// wrapper.  The manager keeps each list also as a string list (ThirdLists)
// for lookups.
#pragma once

#include <vector>

#include "classlib/rtl/Classes.h"
#include "classlib/rtl/TypInfo.h"
#include "skin/core/sDefaults.h"

class TStringList;

class ThirdPartyList : public TPersistent {
    KV_CLASS(ThirdPartyList)
    KV_PUBLISHED
public:
    // The text of kind Index (a TkvThirdPartyTypes value); other indexes read
    // empty text and write nothing.
    UnicodeString GetString(int Index) const;
    void SetString(int Index, const UnicodeString& Value);

private:
    template <int I>
    UnicodeString Get() const { return FLists[I]; }
    template <int I>
    void Set(const UnicodeString& Value) { FLists[I] = Value; }

    UnicodeString FLists[kvThirdPartyCount];
};

// The lists of a manager: one string list per kind, in kind order.
using TsThirdLists = std::vector<TStringList*>;

// For every kind: with Reset the property takes its default (kvThirdNames);
// otherwise an empty property takes it; then the kind's entry of Lists (one
// made when missing) becomes the property's lines.
void LoadThirdNames(ThirdPartyList* ThirdParty, TsThirdLists& Lists, bool Reset);
// For every kind: the property becomes the lines of its entry of Lists, each
// followed by a line break.
void UpdateThirdNames(ThirdPartyList* ThirdParty, const TsThirdLists& Lists);
