// Where the skin library reads the cursor, the mouse buttons and the clock.
// Hover, press, drag and auto-repeat all ask this one source, so that tests
// can drive them headlessly by putting a source of their own in its place.
#pragma once

#include <windows.h>

#include "classlib/graphics/Types.h"

class TsInputSource {
public:
    virtual ~TsInputSource() = default;
    // The cursor's position in screen coordinates.
    virtual TPoint CursorPos() = 0;
    // Milliseconds since some fixed moment (wraps like GetTickCount).
    virtual DWORD TickCount() = 0;
    // The key or mouse button VirtualKey is held down now.
    virtual bool KeyDown(int VirtualKey) = 0;
};

// The source in use: the system's own unless a scope replaced it.
TsInputSource& InputSource();

// Puts Source in place for the scope's life and the previous one back after.
class TsInputSourceScope {
public:
    explicit TsInputSourceScope(TsInputSource& Source);
    ~TsInputSourceScope();
    TsInputSourceScope(const TsInputSourceScope&) = delete;
    TsInputSourceScope& operator=(const TsInputSourceScope&) = delete;

private:
    TsInputSource* FPrevious;
};

// Shorthands for the current source.
inline TPoint kvCursorPos() { return InputSource().CursorPos(); }
inline DWORD kvTickCount() { return InputSource().TickCount(); }
inline bool kvKeyDown(int VirtualKey) { return InputSource().KeyDown(VirtualKey); }
