// A program that starts the application and ends with a component still
// owned by it: the component must be freed before the objects the program
// made before it started the application are destroyed.  It ends with code 3 when the component
// was freed too late, 0 otherwise.
#include <windows.h>

#include "classlib/controls/Forms.h"

namespace {

// Set while the object made during the run lives (constant-initialised, so
// it can be read at any moment of the end).
bool LateObjectAlive = false;

struct TLateObject {
    TLateObject() { LateObjectAlive = true; }
    ~TLateObject() { LateObjectAlive = false; }
};

// Made on first use, before the application starts, as the units' own
// lists and strings are: destroyed at the end before the objects of the
// class library's start-up.
TLateObject& LateObject()
{
    static TLateObject object;
    return object;
}

class TLastComponent : public TComponent {
public:
    using TComponent::TComponent;
    ~TLastComponent() override
    {
        if (!LateObjectAlive)
            ::ExitProcess(3);
    }
};

} // namespace

int main()
{
    LateObject();
    Application->Initialize();
    New<TLastComponent>(Application);
    return 0;
}
