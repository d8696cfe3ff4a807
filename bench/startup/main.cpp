// Start-up of the viewer: from starting its process on a book to its first
// painted main window (the window and its movie's window shown, with nothing
// left to paint), skinned by the built-in skin against unskinned (the main
// form's skin manager inactive), in the same run.  The two take turns, so
// that both meet the same load of the machine.  One line each for the best
// and the median start, with "ratio" = skinned / unskinned in time; the goal
// is at most 1.3.
//
//   startup.exe [rounds, default 10]
// The viewer is startup_viewer.exe beside this program (the shipped viewer's
// entry built from the same units), copied under a book's name into a fresh
// folder with the book's movie and page settings.  Its windows are drawn
// for real on an X screen:
//   tests/app_skinned/on-xvfb build/dev/xprefix wine build/dev/bench/startup/startup.exe
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

std::wstring Folder(const std::wstring& Path)
{
    return Path.substr(0, Path.find_last_of(L"\\/"));
}

std::wstring ThisFolder()
{
    wchar_t buf[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, buf, MAX_PATH);
    return Folder(buf);
}

bool WriteFile(const std::wstring& Path, const std::string& Bytes)
{
    FILE* f = _wfopen(Path.c_str(), L"wb");
    if (!f)
        return false;
    const bool ok = std::fwrite(Bytes.data(), 1, Bytes.size(), f) == Bytes.size();
    return std::fclose(f) == 0 && ok;
}

std::string ReadFile(const std::wstring& Path)
{
    std::string out;
    FILE* f = _wfopen(Path.c_str(), L"rb");
    if (!f)
        return out;
    char buf[65536];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof(buf), f)) > 0)
        out.append(buf, n);
    std::fclose(f);
    return out;
}

// The book: the viewer under the book's name with a zero-length trailer (no
// Flash installer), its movie, and page settings with a title and a size.
std::wstring MakeBook()
{
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    const std::wstring dir = std::wstring(temp) + L"kvstartup" + std::to_wstring(::GetCurrentProcessId());
    ::CreateDirectoryW(dir.c_str(), nullptr);
    ::CreateDirectoryW((dir + L"\\Bench_Page_Img").c_str(), nullptr);
    const std::string viewer = ReadFile(ThisFolder() + L"\\startup_viewer.exe");
    if (viewer.empty())
        return std::wstring();
    const bool ok = WriteFile(dir + L"\\Bench.exe", viewer + std::string(4, '\0')) &&
                    WriteFile(dir + L"\\Bench.swf", "FWS\x08\x0f\0\0\0") &&
                    WriteFile(dir + L"\\Bench_Page_Img\\Page_var.txt", "&title=Start-up&&width=1024&&height=700&");
    return ok ? dir : std::wstring();
}

void RemoveBook(const std::wstring& Dir)
{
    for (const wchar_t* f : {L"\\Bench_Page_Img\\Page_var.txt", L"\\Bench.exe", L"\\Bench.swf"})
        ::DeleteFileW((Dir + f).c_str());
    ::RemoveDirectoryW((Dir + L"\\Bench_Page_Img").c_str());
    ::RemoveDirectoryW(Dir.c_str());
}

// The exit code of the last start that ended before its signal, or
// STILL_ACTIVE when it was stopped after a minute without one.
DWORD LastFailure = 0;

// One start: milliseconds from creating the process to its signal; a
// negative figure when it did not come within a minute.
double StartOnce(const std::wstring& Dir, bool Skinned)
{
    const std::wstring eventName = L"KvStartupPainted" + std::to_wstring(::GetCurrentProcessId());
    HANDLE painted = ::CreateEventW(nullptr, TRUE, FALSE, eventName.c_str());
    ::SetEnvironmentVariableW(L"KV_STARTUP_PAINTED", eventName.c_str());
    ::SetEnvironmentVariableW(L"KV_STARTUP_UNSKINNED", Skinned ? L"0" : L"1");
    const std::wstring exe = Dir + L"\\Bench.exe";
    std::wstring line = L"\"" + exe + L"\"";
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi{};
    LARGE_INTEGER freq, t0, t1;
    ::QueryPerformanceFrequency(&freq);
    ::QueryPerformanceCounter(&t0);
    double ms = -1;
    if (::CreateProcessW(exe.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, Dir.c_str(), &si, &pi)) {
        HANDLE both[2] = {painted, pi.hProcess};
        const DWORD w = ::WaitForMultipleObjects(2, both, FALSE, 60000);
        if (w == WAIT_OBJECT_0) {
            ::QueryPerformanceCounter(&t1);
            ms = double(t1.QuadPart - t0.QuadPart) * 1000.0 / double(freq.QuadPart);
        } else {
            ::GetExitCodeProcess(pi.hProcess, &LastFailure);
        }
        ::TerminateProcess(pi.hProcess, 0);
        ::WaitForSingleObject(pi.hProcess, 20000);
        ::CloseHandle(pi.hThread);
        ::CloseHandle(pi.hProcess);
    }
    ::CloseHandle(painted);
    return ms;
}

double Median(std::vector<double> V)
{
    std::sort(V.begin(), V.end());
    return V.empty() ? 0 : V[V.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
    const std::wstring dir = MakeBook();
    if (dir.empty()) {
        std::printf("startup_viewer.exe not found beside this program, or the book could not be written\n");
        return 1;
    }
    // Warm-up: the system's files and Wine's libraries read once.
    StartOnce(dir, true);
    StartOnce(dir, false);
    std::vector<double> skinned, unskinned;
    for (int i = 0; i < rounds; ++i) {
        // Who goes first changes every round.
        for (bool skin : {i % 2 == 0, i % 2 != 0}) {
            const double ms = StartOnce(dir, skin);
            if (ms < 0) {
                if (LastFailure == STILL_ACTIVE)
                    std::printf("the viewer did not paint its main window within a minute (%s)\n",
                                skin ? "skinned" : "unskinned");
                else
                    std::printf("the viewer ended with code %lu before painting its main window (%s)\n",
                                static_cast<unsigned long>(LastFailure), skin ? "skinned" : "unskinned");
                RemoveBook(dir);
                return 1;
            }
            (skin ? skinned : unskinned).push_back(ms);
        }
    }
    RemoveBook(dir);
    const double bestS = *std::min_element(skinned.begin(), skinned.end());
    const double bestU = *std::min_element(unskinned.begin(), unskinned.end());
    const double medS = Median(skinned), medU = Median(unskinned);
    std::printf("start-up to the first painted main window, best of %d: skinned %.0f ms, unskinned %.0f ms, "
                "ratio %.2f\n", rounds, bestS, bestU, bestS / bestU);
    std::printf("start-up to the first painted main window, median of %d: skinned %.0f ms, unskinned %.0f ms, "
                "ratio %.2f\n", rounds, medS, medU, medS / medU);
    return 0;
}
