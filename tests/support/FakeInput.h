// An input source the tests steer: the cursor where they put it, buttons
// held as they say, and a clock that moves only when told (or by Step on
// every reading, for code that waits on the clock).
#pragma once

#include <set>

#include "skin/core/sInputSource.h"

class TFakeInput final : public TsInputSource {
public:
    TFakeInput() : FScope(*this) {}

    TPoint Cursor{0, 0};
    DWORD Now = 1000;
    DWORD Step = 0;
    std::set<int> Held;

    TPoint CursorPos() override { return Cursor; }
    DWORD TickCount() override
    {
        DWORD t = Now;
        Now += Step;
        return t;
    }
    bool KeyDown(int VirtualKey) override { return Held.count(VirtualKey) != 0; }

    void Advance(DWORD MSecs) { Now += MSecs; }

private:
    TsInputSourceScope FScope;
};
