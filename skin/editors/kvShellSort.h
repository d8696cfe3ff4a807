// Order of the shell list's items: folders before everything else, then by
// the chosen column (name, size, type, modification time), ties by name.
// Names compare ignoring case through KvFoldChar.  Windows-free.
#pragma once

#include <cstdint>
#include <vector>

#include "classlib/rtl/System.h"

enum class TkvSortColumn { scName, scSize, scType, scDate };

struct TkvSortKey {
    bool IsFolder = false;
    UnicodeString Name;
    int64_t Size = 0;
    UnicodeString TypeName;
    double Date = 0;  // a TDateTime
};

// Negative, 0 or positive as A goes before, with or after B.
int CompareNamesNoCase(const UnicodeString& A, const UnicodeString& B);
int KvCompareItems(const TkvSortKey& A, const TkvSortKey& B, TkvSortColumn Column);
// Indexes of Keys in sorted order (a stable sort: equal items keep theirs).
std::vector<int> KvSortOrder(const std::vector<TkvSortKey>& Keys, TkvSortColumn Column);
