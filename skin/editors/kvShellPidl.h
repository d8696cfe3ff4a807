// Item-id lists: the shell's variable-length item identifiers.  A list is a
// run of items, each led by a 2-byte little-endian size that counts itself,
// ended by a size of 0.  Every list made here comes from the shell's
// allocator (the task allocator; plain malloc in the native build) and is
// freed with DisposePIDL.  Windows-free, so that the native build tests it.
//
// A malformed item (a size of 1) ends the list as a terminator would: a walk
// never loops on it or steps outside the list.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

using PItemIDList = uint8_t*;
using PCItemIDList = const uint8_t*;

PItemIDList ShellAllocZero(size_t N);
void DisposePIDL(PItemIDList List);

// The size field of the item at Item (0 for the terminator or nil).
unsigned PidlItemSize(PCItemIDList Item);
PItemIDList PidlNext(PItemIDList Item);
PCItemIDList PidlNext(PCItemIDList Item);
// Cuts the last item off in place; nil or empty lists are left alone.
void PidlCutLast(PItemIDList List);
int PidlCount(PCItemIDList List);
// Bytes including the 2-byte terminator; 0 for nil.
size_t PidlSize(PCItemIDList List);
PItemIDList PidlClone(PCItemIDList List);
// A's items (A may be nil) followed by the whole of B (B may be nil).
PItemIDList PidlAppend(PCItemIDList A, PCItemIDList B);
// The last item alone, as a one-item list (an empty list for an empty List).
PItemIDList PidlLastCopy(PCItemIDList List);
// Copies of List cut back one item at a time: the one-item list first, the
// full list last.  Free with PidlChainFree.
std::vector<PItemIDList>* PidlChainList(PCItemIDList List);
void PidlChainFree(std::vector<PItemIDList>* Chain);
// Byte-wise equality of two lists (the desktop's CompareIDs is the shell's
// own judgement; this is for lists from one source).
bool PidlBytesEqual(PCItemIDList A, PCItemIDList B);
