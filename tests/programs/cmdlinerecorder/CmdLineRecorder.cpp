// Stands in for an installer that writes down how it was started: its whole
// command line goes to a ".cmdline" file beside it (the installer itself is
// deleted once it has run).
#include <windows.h>

#include <cstdio>
#include <cstring>

int main()
{
    char path[MAX_PATH] = {};
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    char* dot = std::strrchr(path, '.');
    if (n == 0 || !dot || size_t(dot - path) + sizeof(".cmdline") > sizeof(path))
        return 1;
    std::strcpy(dot, ".cmdline");
    FILE* f = std::fopen(path, "wb");
    if (!f)
        return 1;
    const char* line = GetCommandLineA();
    std::fwrite(line, 1, std::strlen(line), f);
    std::fclose(f);
    return 0;
}
