#include <windows.h>

#include "classlib/rtl/FileUtils.h"
#include "classlib/rtl/SysUtils.h"

namespace {

DWORD Attributes(const UnicodeString& Name)
{
    return Name.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesW(Name.c_str());
}

int DosTime(const FILETIME& Utc)
{
    FILETIME local;
    WORD date = 0, time = 0;
    if (!FileTimeToLocalFileTime(&Utc, &local) || !FileTimeToDosDateTime(&local, &date, &time))
        return -1;
    return int((uint32_t(date) << 16) | time);
}

} // namespace

bool FileExists(const UnicodeString& FileName)
{
    DWORD a = Attributes(FileName);
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool DirectoryExists(const UnicodeString& Directory)
{
    DWORD a = Attributes(Directory);
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

bool CreateDir(const UnicodeString& Dir)
{
    return !Dir.empty() && CreateDirectoryW(Dir.c_str(), nullptr);
}

bool ForceDirectories(const UnicodeString& Dir)
{
    UnicodeString d = ExcludeTrailingPathDelimiter(Dir);
    if (d.empty())
        throw EInOutError(L"Unable to create directory");
    if (DirectoryExists(d))
        return true;
    UnicodeString parent = ExtractFilePath(d);
    // A drive ("C:") or a root reached without finding the folder: nothing to create above it.
    if (parent == d || (d.size() <= 2 && d.back() == L':'))
        return DirectoryExists(d);
    if (!parent.empty() && ExcludeTrailingPathDelimiter(parent) != d && !ForceDirectories(parent))
        return false;
    // Another process may have made it meanwhile.
    return CreateDir(d) || DirectoryExists(d);
}

bool RemoveDir(const UnicodeString& Dir)
{
    return !Dir.empty() && RemoveDirectoryW(Dir.c_str());
}

bool DeleteFile(const UnicodeString& FileName)
{
    return !FileName.empty() && ::DeleteFileW(FileName.c_str());
}

bool RenameFile(const UnicodeString& OldName, const UnicodeString& NewName)
{
    return !OldName.empty() && !NewName.empty() && MoveFileW(OldName.c_str(), NewName.c_str());
}

UnicodeString GetCurrentDir()
{
    DWORD n = GetCurrentDirectoryW(0, nullptr);
    UnicodeString dir(n, L'\0');
    n = n ? GetCurrentDirectoryW(n, dir.data()) : 0;
    dir.resize(n < dir.size() ? n : 0);
    return dir;
}

bool SetCurrentDir(const UnicodeString& Dir)
{
    return !Dir.empty() && SetCurrentDirectoryW(Dir.c_str());
}

void ChDir(const UnicodeString& Dir)
{
    if (!SetCurrentDir(Dir))
        throw EInOutError(SysErrorMessage(Dir.empty() ? ERROR_PATH_NOT_FOUND : GetLastError()));
}

int FileAge(const UnicodeString& FileName)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (FileName.empty() || !GetFileAttributesExW(FileName.c_str(), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return -1;
    return DosTime(data.ftLastWriteTime);
}

int64_t FileGetSize(const UnicodeString& FileName)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (FileName.empty() || !GetFileAttributesExW(FileName.c_str(), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return -1;
    return int64_t((uint64_t(data.nFileSizeHigh) << 32) | data.nFileSizeLow);
}

// ---------------------------------------------------------------------------
// Folder searches

namespace {

constexpr int faSpecial = faHidden | faSysFile | faDirectory;

// Steps past entries with excluded attributes, then copies the entry into F.
int FindMatching(TSearchRec& F, WIN32_FIND_DATAW& Data)
{
    while (Data.dwFileAttributes & DWORD(F.ExcludeAttr)) {
        if (!FindNextFileW(F.FindHandle, &Data))
            return int(GetLastError());
    }
    F.Time = DosTime(Data.ftLastWriteTime);
    F.Size = int64_t((uint64_t(Data.nFileSizeHigh) << 32) | Data.nFileSizeLow);
    F.Attr = int(Data.dwFileAttributes);
    F.Name = Data.cFileName;
    return 0;
}

} // namespace

int FindFirst(const UnicodeString& Path, int Attr, TSearchRec& F)
{
    F = TSearchRec();
    F.ExcludeAttr = ~Attr & faSpecial;
    WIN32_FIND_DATAW data;
    HANDLE h = FindFirstFileW(Path.c_str(), &data);
    if (h == INVALID_HANDLE_VALUE)
        return Path.empty() ? ERROR_PATH_NOT_FOUND : int(GetLastError());
    F.FindHandle = h;
    int r = FindMatching(F, data);
    if (r != 0)
        FindClose(F);
    return r;
}

int FindNext(TSearchRec& F)
{
    if (!F.FindHandle)
        return ERROR_INVALID_HANDLE;
    WIN32_FIND_DATAW data;
    if (!FindNextFileW(F.FindHandle, &data))
        return int(GetLastError());
    return FindMatching(F, data);
}

void FindClose(TSearchRec& F)
{
    if (F.FindHandle) {
        ::FindClose(F.FindHandle);
        F.FindHandle = nullptr;
    }
}
