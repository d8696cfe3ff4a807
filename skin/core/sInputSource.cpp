#include "skin/core/sInputSource.h"

namespace {

class TSystemInput final : public TsInputSource {
public:
    TPoint CursorPos() override
    {
        TPoint p{};
        ::GetCursorPos(&p);
        return p;
    }
    DWORD TickCount() override { return ::GetTickCount(); }
    // The asynchronous state: a button held now, whatever the message queue
    // has seen (a press is followed while messages are pumped elsewhere).
    bool KeyDown(int VirtualKey) override { return ::GetAsyncKeyState(VirtualKey) < 0; }
};

TSystemInput SystemInput;
TsInputSource* Current = &SystemInput;

} // namespace

TsInputSource& InputSource() { return *Current; }

TsInputSourceScope::TsInputSourceScope(TsInputSource& Source) : FPrevious(Current) { Current = &Source; }

TsInputSourceScope::~TsInputSourceScope() { Current = FPrevious; }
