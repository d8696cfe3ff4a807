// Files and folders.
#include "skin/core/kvntUtils.h"

#include <windows.h>

#include "classlib/rtl/FileUtils.h"
#include "classlib/rtl/Lists.h"
#include "classlib/rtl/SysUtils.h"

namespace {

bool IsDotName(const UnicodeString& Name)
{
    return !Name.empty() && Name[0] == L'.';
}

// A folder that names the root of a drive or share ("C:", "C", "C:\",
// "\\server\share", "C:\x\..") once NormalDir and the system have read it.
// A name that cannot be resolved counts as one too.
bool IsRootFolder(const UnicodeString& Dir)
{
    UnicodeString full = ExpandFileName(NormalDir(Dir));
    if (full.empty())
        return true;
    return SameText(IncludeTrailingPathDelimiter(full), IncludeTrailingPathDelimiter(ExtractFileDrive(full)));
}

using TNameOf = UnicodeString (*)(const UnicodeString&);

UnicodeString ConvertPath(const UnicodeString& Path, TNameOf NameOf)
{
    UnicodeString rest = Path;
    UnicodeString result;
    for (size_t pos; (pos = rest.rfind(L'\\')) != UnicodeString::npos; rest.resize(pos)) {
        // A component the search cannot find keeps its written form.
        UnicodeString name = NameOf(rest);
        if (name.empty())
            name = rest.substr(pos + 1);
        result = L"\\" + name + result;
    }
    return rest + result;
}

UnicodeString FoundName(const UnicodeString& Name, bool Long)
{
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW(Name.c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE)
        return UnicodeString();
    FindClose(h);
    UnicodeString longName = fd.cFileName;
    UnicodeString shortName = fd.cAlternateFileName;
    if (Long)
        return longName.empty() ? shortName : longName;
    return shortName.empty() ? longName : shortName;
}

} // namespace

UnicodeString NormalDir(const UnicodeString& DirName)
{
    UnicodeString result = DirName;
    if (result.empty())
        return result;
    wchar_t last = result.back();
    if (last == L'\\')
        return result;
    if (last == L'/') {
        result.back() = L'\\';
        return result;
    }
    return result + (result.size() == 1 ? L":\\" : L"\\");
}

bool ValidFileName(const UnicodeString& FileName)
{
    return !FileName.empty() && FileName.find_first_of(L"<>\"|*?/") == UnicodeString::npos;
}

bool kvDirExists(const UnicodeString& Name)
{
    DWORD a = GetFileAttributesW(Name.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

bool kvCreateDir(const UnicodeString& Dir)
{
    return CreateDirectoryW(Dir.c_str(), nullptr) != 0;
}

bool kvRemoveDir(const UnicodeString& Dir)
{
    return RemoveDirectoryW(Dir.c_str()) != 0;
}

bool kvSetCurrentDir(const UnicodeString& Dir)
{
    return SetCurrentDirectoryW(Dir.c_str()) != 0;
}

UnicodeString kvGetCurrentDir()
{
    wchar_t buf[MAX_PATH + 1] = {};
    DWORD n = GetCurrentDirectoryW(MAX_PATH, buf);
    return n > 0 && n <= MAX_PATH ? UnicodeString(buf, n) : UnicodeString();
}

bool kvDeleteFile(const UnicodeString& FileName)
{
    return DeleteFileW(FileName.c_str()) != 0;
}

bool kvCopyFile(const UnicodeString& ExistingFileName, const UnicodeString& NewFileName, bool FailIfExists)
{
    return CopyFileW(ExistingFileName.c_str(), NewFileName.c_str(), FailIfExists) != 0;
}

DWORD kvFileSetAttr(const UnicodeString& FileName, DWORD Attr)
{
    return SetFileAttributesW(FileName.c_str(), Attr) ? 0 : GetLastError();
}

DWORD kvFileGetAttr(const UnicodeString& FileName)
{
    return GetFileAttributesW(FileName.c_str());
}

int kvFindFirst(const UnicodeString& Path, int Attr, TSearchRec& F)
{
    return FindFirst(Path, Attr, F);
}

int kvFindNext(TSearchRec& F)
{
    return FindNext(F);
}

void kvFindClose(TSearchRec& F)
{
    FindClose(F);
}

HANDLE kvFindFirstFile(const UnicodeString& FileName, WIN32_FIND_DATAW& FindFileData)
{
    return FindFirstFileW(FileName.c_str(), &FindFileData);
}

bool kvFindNextFile(HANDLE FindFile, WIN32_FIND_DATAW& FindFileData)
{
    return FindNextFileW(FindFile, &FindFileData) != 0;
}

int64_t GetFileSize(const UnicodeString& FileName)
{
    TSearchRec sr;
    int64_t size = -1;
    if (FindFirst(ExpandFileName(FileName), 255, sr) == 0)
        size = sr.Size;
    FindClose(sr);
    return size;
}

UnicodeString ShortToLongFileName(const UnicodeString& ShortName)
{
    return FoundName(ShortName, true);
}

UnicodeString LongToShortFileName(const UnicodeString& LongName)
{
    return FoundName(LongName, false);
}

UnicodeString ShortToLongPath(const UnicodeString& ShortName)
{
    return ConvertPath(ShortName, ShortToLongFileName);
}

UnicodeString LongToShortPath(const UnicodeString& LongName)
{
    return ConvertPath(LongName, LongToShortFileName);
}

void CopyFiles(const UnicodeString& Mask, const UnicodeString& SrcDir, const UnicodeString& DstDir)
{
    if (!kvDirExists(DstDir))
        kvCreateDir(DstDir);
    UnicodeString dst = NormalDir(DstDir);
    TSearchRec sr;
    for (int rc = FindFirst(SrcDir + Mask, faAnyFile, sr); rc == 0; rc = FindNext(sr))
        if (!IsDotName(sr.Name) && !(sr.Attr & faVolumeID))
            CopyFileW((SrcDir + sr.Name).c_str(), (dst + sr.Name).c_str(), FALSE);
    FindClose(sr);
}

bool ClearDir(const UnicodeString& Dir, bool RemoveDir)
{
    // Clearing a whole drive is never what a caller with a bad folder name
    // meant ("C" becomes "C:\" in NormalDir), so a root is left alone.
    if (!kvDirExists(Dir) || IsRootFolder(Dir))
        return false;
    UnicodeString dir = NormalDir(Dir);
    bool result = true;
    TSearchRec sr;
    int rc = FindFirst(dir + L"*.*", faAnyFile, sr);
    for (; rc == 0; rc = FindNext(sr)) {
        if (IsDotName(sr.Name) || (sr.Attr & faVolumeID))
            continue;
        UnicodeString path = dir + sr.Name;
        if ((sr.Attr & faDirectory) && (sr.Attr & FILE_ATTRIBUTE_REPARSE_POINT)) {
            // A linked folder belongs elsewhere: never clear what it points
            // to (and never loop through a link to an ancestor); only the
            // link itself goes, with its folder.
            if (RemoveDir)
                result = kvRemoveDir(path) && result;
        } else if (sr.Attr & faDirectory) {
            result = ClearDir(path, RemoveDir) && result;
        } else {
            if (sr.Attr & faReadOnly)
                kvFileSetAttr(path, faArchive);
            result = kvDeleteFile(path) && result;
        }
    }
    FindClose(sr);
    if (RemoveDir && result && rc == ERROR_NO_MORE_FILES)
        result = kvRemoveDir(Dir) && result;
    return result;
}

void GetDirs(const UnicodeString& Path, TStrings* List)
{
    if (!List)
        return;
    List->Clear();
    TSearchRec sr;
    for (int rc = FindFirst(NormalDir(Path) + L"*.*", faDirectory, sr); rc == 0; rc = FindNext(sr))
        if (!IsDotName(sr.Name) && (sr.Attr & faDirectory))
            List->Add(sr.Name);
    FindClose(sr);
}

UnicodeString GetSystemDir()
{
    wchar_t buf[1024] = {};
    UINT n = GetSystemDirectoryW(buf, 1024);
    return n > 0 && n < 1024 ? UnicodeString(buf, n) : UnicodeString();
}

namespace {

UnicodeString ModuleFileName()
{
    std::wstring buf(MAX_PATH, L'\0');
    for (;;) {
        DWORD n = GetModuleFileNameW(nullptr, buf.data(), static_cast<DWORD>(buf.size()));
        if (n < buf.size()) {
            buf.resize(n);
            return buf;
        }
        buf.resize(buf.size() * 2);
    }
}

} // namespace

UnicodeString GetAppName()
{
    UnicodeString name = ChangeFileExt(ExtractFileName(ModuleFileName()), UnicodeString());
    return AnsiLowerCase(name);
}

UnicodeString GetAppPath()
{
    return ExtractFilePath(ModuleFileName());
}
