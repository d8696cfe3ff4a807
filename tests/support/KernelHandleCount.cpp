#include "KernelHandleCount.h"

#include <windows.h>

#include <cstdint>

int CountKernelHandles()
{
    int n = 0;
    DWORD flags = 0;
    for (uintptr_t h = 4; h < 0x10000; h += 4)
        if (::GetHandleInformation(reinterpret_cast<HANDLE>(h), &flags))
            ++n;
    return n;
}
