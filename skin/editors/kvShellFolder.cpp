#include "skin/editors/kvShellFolder.h"

#include <shellapi.h>

#include "classlib/rtl/DateTime.h"
#include "classlib/rtl/SysUtils.h"
#include "skin/editors/kvShellMask.h"

namespace {

// The shell needs OLE on the GUI thread while this unit is in use.
struct TOleScope {
    HRESULT Result = ::OleInitialize(nullptr);
    ~TOleScope()
    {
        if (SUCCEEDED(Result))
            ::OleUninitialize();
    }
} gOle;

UnicodeString AnsiDecoder(const char* Text, size_t Length)
{
    if (!Length)
        return UnicodeString();
    int n = ::MultiByteToWideChar(CP_ACP, 0, Text, int(Length), nullptr, 0);
    UnicodeString s(size_t(n > 0 ? n : 0), L'\0');
    if (n > 0)
        ::MultiByteToWideChar(CP_ACP, 0, Text, int(Length), s.data(), n);
    return s;
}

void FreeTaskString(const char16_t* Text) { ::CoTaskMemFree(const_cast<char16_t*>(Text)); }

template <class I>
void ReleaseRef(I*& P)
{
    if (P)
        P->Release();
    P = nullptr;
}

}  // namespace

UnicodeString StrRetText(PCItemIDList ID, STRRET& Ret)
{
    TkvStrRet r;
    r.Kind = Ret.uType;
    switch (Ret.uType) {
    case STRRET_WSTR:
        r.WStr = reinterpret_cast<const char16_t*>(Ret.pOleStr);
        Ret.pOleStr = nullptr;  // freed below, once
        break;
    case STRRET_OFFSET:
        r.Offset = Ret.uOffset;
        break;
    case STRRET_CSTR:
        r.CStr = Ret.cStr;
        break;
    default:
        break;
    }
    size_t itemSize = ID ? PidlItemSize(ID) : 0;
    return StrRetText(ID, itemSize, r, AnsiDecoder, FreeTaskString);
}

static UnicodeString NameOf(IShellFolder* Folder, PCItemIDList ID, DWORD Flags)
{
    STRRET ret{};
    ret.uType = STRRET_WSTR;
    if (FAILED(Folder->GetDisplayNameOf(reinterpret_cast<PCUITEMID_CHILD>(ID), Flags, &ret)))
        return UnicodeString();
    return StrRetText(ID, ret);
}

UnicodeString ItemDisplayName(IShellFolder* Folder, PCItemIDList ID, DWORD Flags, TkvShowExtension ShowExt)
{
    if (!Folder)
        return UnicodeString();
    UnicodeString name = NameOf(Folder, ID, Flags);
    if (ShowExt != TkvShowExtension::seSystem) {
        UnicodeString parsing = NameOf(Folder, ID, SHGDN_FORPARSING);
        DWORD attr = ::GetFileAttributesW(parsing.c_str());
        bool isFile = attr != INVALID_FILE_ATTRIBUTES && !(attr & FILE_ATTRIBUTE_DIRECTORY);
        name = ApplyShowExtension(name, parsing, isFile, ShowExt);
    }
    if (name.rfind(L"::{", 0) == 0 && Flags != SHGDN_NORMAL)
        return ItemDisplayName(Folder, ID, SHGDN_NORMAL, ShowExt);
    return name;
}

PItemIDList DesktopRootPidl()
{
    LPITEMIDLIST list = nullptr;
    HRESULT hr = ::SHGetSpecialFolderLocation(nullptr, CSIDL_DESKTOP, &list);
    if (FAILED(hr) || !list)
        throw EOleError(L"The desktop's item-id list is not available: " + SysErrorMessage(uint32_t(hr)));
    return reinterpret_cast<PItemIDList>(list);
}

IShellFolder* GetDesktopInterface()
{
    IShellFolder* desktop = nullptr;
    HRESULT hr = ::SHGetDesktopFolder(&desktop);
    if (FAILED(hr) || !desktop)
        throw EOleError(L"The desktop folder is not available: " + SysErrorMessage(uint32_t(hr)));
    return desktop;
}

bool PidlsMatch(PCItemIDList A, PCItemIDList B)
{
    if (!A || !B)
        return A == B;
    IShellFolder* desktop = GetDesktopInterface();
    HRESULT hr = desktop->CompareIDs(0, reinterpret_cast<PCUIDLIST_RELATIVE>(A), reinterpret_cast<PCUIDLIST_RELATIVE>(B));
    desktop->Release();
    return SUCCEEDED(hr) && short(HRESULT_CODE(hr)) == 0;
}

int ShellIconOf(PCItemIDList List, bool Large, bool Open)
{
    SHFILEINFOW info{};
    UINT flags = SHGFI_PIDL | SHGFI_SYSICONINDEX | (Open ? SHGFI_OPENICON : 0) | (Large ? 0 : SHGFI_SMALLICON);
    ::SHGetFileInfoW(reinterpret_cast<LPCWSTR>(List), 0, &info, sizeof info, flags);
    return info.iIcon;
}

IShellFolder* BindSubFolder(IShellFolder* Parent, PCItemIDList ID, HWND Wnd)
{
    if (!Parent)
        return nullptr;
    void* out = nullptr;
    auto child = reinterpret_cast<PCUIDLIST_RELATIVE>(ID);
    if (SUCCEEDED(Parent->BindToObject(child, nullptr, IID_IShellFolder, &out)) && out)
        return static_cast<IShellFolder*>(out);
    auto item = reinterpret_cast<PCUITEMID_CHILD>(ID);
    out = nullptr;
    if (SUCCEEDED(Parent->GetUIObjectOf(Wnd, 1, &item, IID_IShellFolder, nullptr, &out)) && out)
        return static_cast<IShellFolder*>(out);
    return nullptr;
}

bool FolderHasChildren(IShellFolder* SF, DWORD Flags)
{
    if (!SF)
        return false;
    UINT old = ::SetErrorMode(SEM_FAILCRITICALERRORS);
    bool any = false;
    IEnumIDList* items = nullptr;
    if (SUCCEEDED(SF->EnumObjects(nullptr, Flags, &items)) && items) {
        LPITEMIDLIST id = nullptr;
        ULONG got = 0;
        any = items->Next(1, &id, &got) == S_OK;
        ::CoTaskMemFree(id);
        items->Release();
    }
    ::SetErrorMode(old);
    return any;
}

// ---------------------------------------------------------------------------
// TkvShellFolder

TkvShellFolder::TkvShellFolder(TkvShellFolder* AParent, PCItemIDList ID, IShellFolder* SF)
    : FPIDL(PidlClone(ID)), FFullPIDL(nullptr), FParent(AParent), FIShellFolder(SF),
      FLevel(AParent ? AParent->FLevel + 1 : 0)
{
    if (FIShellFolder)
        FIShellFolder->AddRef();
    if (AParent) {
        FFullPIDL = PidlAppend(AParent->FFullPIDL, ID);
    } else {
        // The desktop's own list is freed again here (it is only a prefix).
        PItemIDList root = DesktopRootPidl();
        FFullPIDL = PidlAppend(root, ID);
        DisposePIDL(root);
    }
}

TkvShellFolder::~TkvShellFolder()
{
    ReleaseRef(FIShellFolder);
    DisposePIDL(FPIDL);
    DisposePIDL(FFullPIDL);
}

IShellFolder* TkvShellFolder::ParentShellFolder()
{
    if (FParent && FParent->FIShellFolder) {
        FParent->FIShellFolder->AddRef();
        return FParent->FIShellFolder;
    }
    return GetDesktopInterface();
}

ULONG TkvShellFolder::Attributes(ULONG Asked)
{
    IShellFolder* parent = nullptr;
    PCUITEMID_CHILD item = reinterpret_cast<PCUITEMID_CHILD>(FPIDL);
    // An item made from an absolute list of several items: asked of the
    // folder that really holds it (not every shell answers for a deeper list
    // from the desktop).
    if (!FParent && PidlCount(FPIDL) > 1) {
        void* out = nullptr;
        if (FAILED(::SHBindToParent(reinterpret_cast<PCIDLIST_ABSOLUTE>(FFullPIDL), IID_IShellFolder, &out, &item)))
            return 0;
        parent = static_cast<IShellFolder*>(out);
    } else {
        parent = ParentShellFolder();
    }
    ULONG attrs = Asked;
    if (FAILED(parent->GetAttributesOf(1, &item, &attrs)))
        attrs = 0;
    parent->Release();
    return attrs & Asked;
}

bool UseAllFolderAttributes = true;

TkvShellFolderCapabilities TkvShellFolder::Capabilities()
{
    using C = TkvShellFolderCapability;
    ULONG a = Attributes(0x177);  // copy, move, link, rename, delete, property sheet, drop target
    TkvShellFolderCapabilities caps;
    if (a & SFGAO_CANCOPY)
        caps.Include(C::fcCanCopy);
    if (a & SFGAO_CANDELETE)
        caps.Include(C::fcCanDelete);
    if (a & SFGAO_CANLINK)
        caps.Include(C::fcCanLink);
    if (a & SFGAO_CANMOVE)
        caps.Include(C::fcCanMove);
    if (a & SFGAO_CANRENAME)
        caps.Include(C::fcCanRename);
    if (a & SFGAO_DROPTARGET)
        caps.Include(C::fcDropTarget);
    if (a & SFGAO_HASPROPSHEET)
        caps.Include(C::fcHasPropSheet);
    return caps;
}

TkvShellFolderProperties TkvShellFolder::Properties()
{
    using P = TkvShellFolderProperty;
    TkvShellFolderProperties props;
    ULONG a = Attributes(UseAllFolderAttributes ? 0xFC000 : 0x38000);
    if (a & SFGAO_GHOSTED)
        props.Include(P::fpCut);
    if (a & SFGAO_LINK)
        props.Include(P::fpIsLink);
    if (a & SFGAO_READONLY)
        props.Include(P::fpReadOnly);
    if (a & SFGAO_SHARE)
        props.Include(P::fpShared);
    a = Attributes(SFGAO_FILESYSTEM | SFGAO_FILESYSANCESTOR | SFGAO_REMOVABLE | SFGAO_VALIDATE);
    if (a & SFGAO_FILESYSTEM)
        props.Include(P::fpFileSystem);
    if (a & SFGAO_FILESYSANCESTOR)
        props.Include(P::fpFileSystemAncestor);
    if (a & SFGAO_REMOVABLE)
        props.Include(P::fpRemovable);
    if (a & SFGAO_VALIDATE)
        props.Include(P::fpValidate);
    return props;
}

static bool IsZipName(const UnicodeString& Name) { return LowerCase(ExtractFileExt(Name)) == L".zip"; }

bool TkvShellFolder::IsFolder(const UnicodeString& Name, bool OpenZipFiles)
{
    if (!OpenZipFiles && IsZipName(Name))
        return false;
    return Attributes(SFGAO_FOLDER) != 0;
}

bool TkvShellFolder::IsFile(const UnicodeString& Name, bool OpenZipFiles)
{
    if (!OpenZipFiles && IsZipName(Name))
        return true;
    ULONG a = Attributes(SFGAO_FILESYSTEM | SFGAO_FOLDER | SFGAO_LINK);
    return (a & SFGAO_FILESYSTEM) && !(a & (SFGAO_FOLDER | SFGAO_LINK));
}

bool TkvShellFolder::IsFileFolder()
{
    ULONG a = Attributes(SFGAO_FILESYSTEM | SFGAO_FOLDER | SFGAO_LINK);
    return (a & SFGAO_FILESYSTEM) && (a & SFGAO_FOLDER) && !(a & SFGAO_LINK);
}

bool TkvShellFolder::IsReadOnly() { return Attributes(SFGAO_READONLY) != 0; }
bool TkvShellFolder::SubFolders() { return Attributes(SFGAO_HASSUBFOLDER) != 0; }

UnicodeString TkvShellFolder::DisplayName(TkvShowExtension ShowExt)
{
    IShellFolder* parent = ParentShellFolder();
    UnicodeString name = ItemDisplayName(parent, FPIDL, SHGDN_INFOLDER, ShowExt);
    parent->Release();
    return name;
}

UnicodeString TkvShellFolder::PathName()
{
    IShellFolder* desktop = GetDesktopInterface();
    UnicodeString name = ItemDisplayName(desktop, FFullPIDL, SHGDN_FORPARSING, TkvShowExtension::seSystem);
    desktop->Release();
    return name;
}

bool TkvShellFolder::Rename(const UnicodeString& NewName)
{
    if (!Attributes(SFGAO_CANRENAME))
        return false;
    IShellFolder* parent = ParentShellFolder();
    LPITEMIDLIST renamed = nullptr;
    HRESULT hr = parent->SetNameOf(nullptr, reinterpret_cast<PCUITEMID_CHILD>(FPIDL), NewName.c_str(), SHGDN_NORMAL,
                                   reinterpret_cast<PITEMID_CHILD*>(&renamed));
    parent->Release();
    if (FAILED(hr) || !renamed) {
        ::CoTaskMemFree(renamed);
        throw Exception(Format(L"Rename to %s failed", NewName));
    }
    auto item = reinterpret_cast<PItemIDList>(renamed);
    DisposePIDL(FPIDL);
    DisposePIDL(FFullPIDL);
    FPIDL = PidlClone(item);
    FFullPIDL = FParent ? PidlAppend(FParent->FFullPIDL, item) : PidlClone(item);
    ::CoTaskMemFree(renamed);
    return true;
}

static UnicodeString FileDetail(const WIN32_FIND_DATAW& Data, int Column)
{
    bool folder = (Data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    switch (Column) {
    case 1:
        return folder ? L"-1"
                      : IntToStr(int64_t((uint64_t(Data.nFileSizeHigh) << 32) | Data.nFileSizeLow));
    case 2:
        return ExtractFileExt(Data.cFileName);
    case 3: {
        FILETIME local;
        WORD dosDate = 0, dosTime = 0;
        if (folder || !::FileTimeToLocalFileTime(&Data.ftLastWriteTime, &local) ||
            !::FileTimeToDosDateTime(&local, &dosDate, &dosTime))
            return L"-1";
        TDateTime day, time;
        if (!TryEncodeDate(1980 + (dosDate >> 9), (dosDate >> 5) & 15, dosDate & 31, day) ||
            !TryEncodeTime(dosTime >> 11, (dosTime >> 5) & 63, (dosTime & 31) * 2, 0, time))
            return L"-1";
        return FormatDateTime(L"c", TDateTime(double(day) + double(time)));
    }
    case 4:
        return IntToStr(int64_t(Data.dwFileAttributes));
    default:
        return UnicodeString();
    }
}

void TkvShellFolder::LoadColumnDetails(TkvShellFolder* RootFolder, HWND AWnd, int ColumnCount)
{
    if (int(FDetails.size()) >= ColumnCount || !RootFolder)
        return;
    FDetails.clear();
    IShellFolder2* details = nullptr;
    if (RootFolder->FIShellFolder) {
        void* out = nullptr;
        if (SUCCEEDED(RootFolder->FIShellFolder->QueryInterface(IID_IShellFolder2, &out)))
            details = static_cast<IShellFolder2*>(out);
    }
    if (details) {
        for (int i = 1; i <= ColumnCount; ++i) {
            SHELLDETAILS d{};
            if (SUCCEEDED(details->GetDetailsOf(reinterpret_cast<PCUITEMID_CHILD>(FPIDL), UINT(i), &d)))
                FDetails.push_back(StrRetText(FPIDL, d.str));
            else
                FDetails.push_back(UnicodeString());
        }
        details->Release();
        return;
    }
    if (!RootFolder->Properties().Contains(TkvShellFolderProperty::fpFileSystem))
        return;
    WIN32_FIND_DATAW data{};
    HANDLE h = ::FindFirstFileW(PathName().c_str(), &data);
    if (h == INVALID_HANDLE_VALUE)
        throw Exception(Format(L"Unable to retrieve folder details for \"%s\". Error code $%x",
                               DisplayName(), int(::GetLastError())));
    ::FindClose(h);
    for (int i = 1; i <= ColumnCount; ++i)
        FDetails.push_back(FileDetail(data, i));
}

UnicodeString TkvShellFolder::GetDetails(int Index)
{
    if (FDetails.empty())
        throw Exception(Format(L"%s: Missing call to LoadColumnDetails", DisplayName()));
    return Index >= 1 && Index <= int(FDetails.size()) ? FDetails[size_t(Index - 1)] : UnicodeString();
}

void TkvShellFolder::SetDetails(int Index, const UnicodeString& Value)
{
    if (Index < 1)
        return;
    if (Index <= int(FDetails.size()))
        FDetails[size_t(Index - 1)] = Value;
    else
        FDetails.insert(FDetails.end(), Value);  // past the end: appended
}

int TkvShellFolder::ImageIndex(bool LargeIcon) { return ShellIconOf(FFullPIDL, LargeIcon, false); }

// ---------------------------------------------------------------------------

TkvShellFolder* FolderFromAbsolutePidl(PCItemIDList ID)
{
    IShellFolder* desktop = GetDesktopInterface();
    IShellFolder* own = PidlCount(ID) ? BindSubFolder(desktop, ID, nullptr) : nullptr;
    auto* folder = new TkvShellFolder(nullptr, ID, own ? own : desktop);
    ReleaseRef(own);
    desktop->Release();
    return folder;
}

TkvShellFolder* ResolveRootFolder(TkvShellFolder* OldFolder, const TkvRoot& OldRoot, TkvRoot& Root)
{
    TkvShellFolder* folder = nullptr;
    TkvRootFolder special{};
    if (RootFolderFromName(Root, special)) {
        LPITEMIDLIST list = nullptr;
        if (SUCCEEDED(::SHGetSpecialFolderLocation(nullptr, RootFolderCSIDL(special), &list)) && list) {
            folder = FolderFromAbsolutePidl(reinterpret_cast<PItemIDList>(list));
            ::CoTaskMemFree(list);
        }
    } else if (!Root.empty()) {
        UnicodeString path = Root;
        if (path.back() == L':')
            path += L'\\';
        folder = FolderFromPath(ExpandFileName(path));
    }
    if (!folder) {
        Root = OldRoot;
        throw Exception(L"Error Setting Path");
    }
    delete OldFolder;
    return folder;
}

TkvShellFolder* FolderFromPath(const UnicodeString& Path)
{
    IShellFolder* desktop = GetDesktopInterface();
    LPITEMIDLIST list = nullptr;
    UnicodeString path = Path;
    HRESULT hr = desktop->ParseDisplayName(nullptr, nullptr, path.data(), nullptr, &list, nullptr);
    desktop->Release();
    if (FAILED(hr) || !list)
        return nullptr;
    TkvShellFolder* folder = FolderFromAbsolutePidl(reinterpret_cast<PItemIDList>(list));
    ::CoTaskMemFree(list);
    return folder;
}

std::vector<TkvShellFolder*> EnumerateFolder(TkvShellFolder* Folder, TkvShellObjectTypes Types,
                                             const UnicodeString& Mask)
{
    std::vector<TkvShellFolder*> items;
    if (!Folder || !Folder->ShellFolder())
        return items;
    IEnumIDList* list = nullptr;
    if (FAILED(Folder->ShellFolder()->EnumObjects(nullptr, ObjectTypesToFlags(Types), &list)) || !list)
        return items;
    LPITEMIDLIST id = nullptr;
    ULONG got = 0;
    while (list->Next(1, &id, &got) == S_OK && got == 1) {
        auto child = reinterpret_cast<PItemIDList>(id);
        // Only folders have an interface of their own to bind: asking a file
        // for one costs a failed bind or two per item.
        ULONG attrs = SFGAO_FOLDER;
        auto item0 = reinterpret_cast<PCUITEMID_CHILD>(id);
        bool isFolder = SUCCEEDED(Folder->ShellFolder()->GetAttributesOf(1, &item0, &attrs)) && (attrs & SFGAO_FOLDER);
        IShellFolder* own = isFolder ? BindSubFolder(Folder->ShellFolder(), child, nullptr) : nullptr;
        auto* item = new TkvShellFolder(Folder, child, own);
        ReleaseRef(own);
        ::CoTaskMemFree(id);
        id = nullptr;
        if (isFolder || Mask.empty() || MatchesMaskList(item->DisplayName(TkvShowExtension::seShow), Mask))
            items.push_back(item);
        else
            delete item;
    }
    list->Release();
    return items;
}
