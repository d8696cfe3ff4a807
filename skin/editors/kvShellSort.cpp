#include "skin/editors/kvShellSort.h"

#include <algorithm>
#include <numeric>

#include "skin/editors/kvShellMask.h"

int CompareNamesNoCase(const UnicodeString& A, const UnicodeString& B)
{
    size_t n = std::min(A.size(), B.size());
    for (size_t i = 0; i < n; ++i) {
        wchar_t a = KvFoldChar(A[i]), b = KvFoldChar(B[i]);
        if (a != b)
            return a < b ? -1 : 1;
    }
    return A.size() == B.size() ? 0 : (A.size() < B.size() ? -1 : 1);
}

template <class T>
static int Three(const T& A, const T& B)
{
    return A < B ? -1 : (B < A ? 1 : 0);
}

int KvCompareItems(const TkvSortKey& A, const TkvSortKey& B, TkvSortColumn Column)
{
    if (A.IsFolder != B.IsFolder)
        return A.IsFolder ? -1 : 1;
    int r = 0;
    switch (Column) {
    case TkvSortColumn::scSize:
        r = Three(A.Size, B.Size);
        break;
    case TkvSortColumn::scType:
        r = CompareNamesNoCase(A.TypeName, B.TypeName);
        break;
    case TkvSortColumn::scDate:
        r = Three(A.Date, B.Date);
        break;
    case TkvSortColumn::scName:
        break;
    }
    return r ? r : CompareNamesNoCase(A.Name, B.Name);
}

std::vector<int> KvSortOrder(const std::vector<TkvSortKey>& Keys, TkvSortColumn Column)
{
    std::vector<int> order(Keys.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&](int a, int b) { return KvCompareItems(Keys[size_t(a)], Keys[size_t(b)], Column) < 0; });
    return order;
}
