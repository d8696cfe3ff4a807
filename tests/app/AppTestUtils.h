// Small helpers shared by the viewer's tests: a temporary folder and files.
#pragma once

#include <windows.h>

#include <string>

#include "classlib/rtl/System.h"

// A fresh folder below the system's temporary folder, removed with its
// files and subfolders at the end of the scope.
class TTempDir {
public:
    TTempDir();
    ~TTempDir();
    TTempDir(const TTempDir&) = delete;
    TTempDir& operator=(const TTempDir&) = delete;
    const UnicodeString& Path() const { return FPath; }   // no trailing separator
    UnicodeString operator/(const UnicodeString& name) const { return FPath + L"\\" + name; }

private:
    UnicodeString FPath;
};

void WriteBytes(const UnicodeString& path, const std::string& bytes);
std::string ReadBytes(const UnicodeString& path);
bool FileThere(const UnicodeString& path);
// The folder of the running test executable, without separator.
UnicodeString TestExeDir();

// The ".ini" beside the running executable (where the viewer looks for its
// window styles), removed at the end of the scope.
class TExeIni {
public:
    explicit TExeIni(const std::string& text);
    ~TExeIni();
    TExeIni(const TExeIni&) = delete;
    TExeIni& operator=(const TExeIni&) = delete;
    static UnicodeString ExeIniPath();

private:
    UnicodeString FPath;
};
