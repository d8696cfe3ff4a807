// Scopes the painting routines share for device-context state: every
// SaveDC is restored, also when an exception passes.
#pragma once

#include <windows.h>

class TSavedDC {
    HDC FDC;
    int FSaved;

public:
    explicit TSavedDC(HDC DC) : FDC(DC), FSaved(DC ? ::SaveDC(DC) : 0) {}
    TSavedDC(const TSavedDC&) = delete;
    TSavedDC& operator=(const TSavedDC&) = delete;
    ~TSavedDC()
    {
        if (FSaved)
            ::RestoreDC(FDC, FSaved);
    }
};
