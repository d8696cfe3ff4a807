// A skinned program's end: its forms go at exit while what their teardown
// uses is still whole (tests/programs/skinnedexit, started here).
#include <gtest/gtest.h>

#include <windows.h>

#include "../manager/ManagerFixture.h"
#include "classlib/rtl/System.h"

using namespace managertest;

namespace {

UnicodeString ExeFolder()
{
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    UnicodeString p = path;
    return p.substr(0, p.find_last_of(L"\\/"));
}

// Sets an environment variable for the programs started while this lives.
class TEnvScope {
public:
    TEnvScope(const wchar_t* Name, const wchar_t* Value) : FName(Name)
    {
        wchar_t old[1024];
        const DWORD n = ::GetEnvironmentVariableW(Name, old, 1024);
        FHad = n > 0 && n < 1024;
        if (FHad)
            FOld = old;
        ::SetEnvironmentVariableW(Name, Value);
    }
    ~TEnvScope() { ::SetEnvironmentVariableW(FName.c_str(), FHad ? FOld.c_str() : nullptr); }

private:
    UnicodeString FName, FOld;
    bool FHad = false;
};

// Runs the program with Args and answers its exit code (STILL_ACTIVE when it
// did not end within a minute; it is then ended).
DWORD RunProgram(const UnicodeString& Exe, const UnicodeString& Args)
{
    UnicodeString line = L"\"" + Exe + L"\" " + Args;
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi{};
    if (!::CreateProcessW(Exe.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return DWORD(-1);
    DWORD code = STILL_ACTIVE;
    if (::WaitForSingleObject(pi.hProcess, 60000) == WAIT_OBJECT_0)
        ::GetExitCodeProcess(pi.hProcess, &code);
    else
        ::TerminateProcess(pi.hProcess, 1);
    ::CloseHandle(pi.hThread);
    ::CloseHandle(pi.hProcess);
    return code;
}

} // namespace

// The main form owns its skin manager and is freed at exit: the skin's
// removal then walks the lists of skinned forms and providers, statics of
// the skin library, the latter made with the first skinned form, after
// the application started.  Wine's heap checking fills
// freed blocks, so a walk over a destroyed list faults at once instead of
// now and then; the program also notes a static made with the forms that
// was destroyed before them.
TEST(ProgramEnd, TheFormsGoBeforeTheStaticsMadeWithThem)
{
    TEnvScope heapChecks(L"WINEDEBUG", L"-all,warn+heap");
    const UnicodeString args = L"\"" + UnicodeString(BuiltinPackedFile()) + L"\" \"" + BuiltinName() + L"\"";
    EXPECT_EQ(RunProgram(ExeFolder() + L"\\skinnedexit.exe", args), 0u)
        << "2: a form went after a static made with it; 3: a fault; 4: the form was not skinned";
}
