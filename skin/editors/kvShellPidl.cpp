#include "skin/editors/kvShellPidl.h"

#include <cstdlib>
#include <cstring>

#ifdef _WIN32
#include <objbase.h>
#endif

PItemIDList ShellAllocZero(size_t N)
{
#ifdef _WIN32
    // The task allocator is the one SHGetMalloc hands out.
    void* p = ::CoTaskMemAlloc(N);
#else
    void* p = std::malloc(N);
#endif
    if (p)
        std::memset(p, 0, N);
    return static_cast<PItemIDList>(p);
}

void DisposePIDL(PItemIDList List)
{
    if (!List)
        return;
#ifdef _WIN32
    ::CoTaskMemFree(List);
#else
    std::free(List);
#endif
}

unsigned PidlItemSize(PCItemIDList Item)
{
    if (!Item)
        return 0;
    unsigned size = unsigned(Item[0]) | (unsigned(Item[1]) << 8);
    return size < 2 ? 0 : size;  // a size of 1 cannot step on: the end
}

PItemIDList PidlNext(PItemIDList Item) { return Item + PidlItemSize(Item); }
PCItemIDList PidlNext(PCItemIDList Item) { return Item + PidlItemSize(Item); }

int PidlCount(PCItemIDList List)
{
    int n = 0;
    for (PCItemIDList p = List; PidlItemSize(p); p = PidlNext(p))
        ++n;
    return n;
}

size_t PidlSize(PCItemIDList List)
{
    if (!List)
        return 0;
    size_t size = 2;
    for (PCItemIDList p = List; PidlItemSize(p); p = PidlNext(p))
        size += PidlItemSize(p);
    return size;
}

void PidlCutLast(PItemIDList List)
{
    if (!PidlItemSize(List))
        return;
    PItemIDList last = List;
    for (PItemIDList p = List; PidlItemSize(p); p = PidlNext(p))
        last = p;
    last[0] = last[1] = 0;
}

PItemIDList PidlClone(PCItemIDList List)
{
    size_t size = PidlSize(List);
    if (!size)
        return nullptr;
    PItemIDList copy = ShellAllocZero(size);
    if (copy)
        std::memcpy(copy, List, size - 2);  // the terminator is already zero
    return copy;
}

PItemIDList PidlAppend(PCItemIDList A, PCItemIDList B)
{
    size_t a = A ? PidlSize(A) - 2 : 0;
    size_t b = B ? PidlSize(B) - 2 : 0;
    PItemIDList list = ShellAllocZero(a + b + 2);
    if (!list)
        return nullptr;
    if (a)
        std::memcpy(list, A, a);
    if (b)
        std::memcpy(list + a, B, b);
    return list;
}

PItemIDList PidlLastCopy(PCItemIDList List)
{
    PCItemIDList last = nullptr;
    for (PCItemIDList p = List; PidlItemSize(p); p = PidlNext(p))
        last = p;
    size_t size = last ? PidlItemSize(last) : 0;
    PItemIDList copy = ShellAllocZero(size + 2);
    if (copy && size)
        std::memcpy(copy, last, size);
    return copy;
}

std::vector<PItemIDList>* PidlChainList(PCItemIDList List)
{
    auto* chain = new std::vector<PItemIDList>();
    int n = PidlCount(List);
    chain->reserve(size_t(n));
    PItemIDList work = PidlClone(List);
    for (int i = 0; i < n; ++i) {
        chain->insert(chain->begin(), PidlClone(work));
        PidlCutLast(work);
    }
    DisposePIDL(work);
    return chain;
}

void PidlChainFree(std::vector<PItemIDList>* Chain)
{
    if (!Chain)
        return;
    for (PItemIDList p : *Chain)
        DisposePIDL(p);
    delete Chain;
}

bool PidlBytesEqual(PCItemIDList A, PCItemIDList B)
{
    size_t a = PidlSize(A);
    return a == PidlSize(B) && (a == 0 || std::memcmp(A, B, a) == 0);
}
