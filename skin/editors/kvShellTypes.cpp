#include "skin/editors/kvShellTypes.h"

#include <iterator>


namespace {
struct TRootFolderInfo {
    const wchar_t* Name;
    int CSIDL;
};
constexpr TRootFolderInfo kRootFolders[] = {
    {L"rfDesktop", 0},        {L"rfMyComputer", 17},       {L"rfNetwork", 18},
    {L"rfRecycleBin", 10},    {L"rfAppData", 26},          {L"rfCommonDesktopDirectory", 25},
    {L"rfCommonPrograms", 23}, {L"rfCommonStartMenu", 22}, {L"rfCommonStartup", 24},
    {L"rfControlPanel", 3},   {L"rfDesktopDirectory", 16}, {L"rfFavorites", 6},
    {L"rfFonts", 20},         {L"rfInternet", 1},          {L"rfPersonal", 5},
    {L"rfPrinters", 4},       {L"rfPrintHood", 27},        {L"rfPrograms", 2},
    {L"rfRecent", 8},         {L"rfSendTo", 9},            {L"rfStartMenu", 11},
    {L"rfStartup", 7},        {L"rfTemplates", 21},
};

bool SameAsciiText(const UnicodeString& A, const wchar_t* B)
{
    size_t i = 0;
    for (; i < A.size() && B[i]; ++i) {
        wchar_t a = A[i], b = B[i];
        if (a >= L'a' && a <= L'z')
            a = wchar_t(a - 32);
        if (b >= L'a' && b <= L'z')
            b = wchar_t(b - 32);
        if (a != b)
            return false;
    }
    return i == A.size() && !B[i];
}
}  // namespace

int RootFolderCSIDL(TkvRootFolder Folder) { return kRootFolders[size_t(Folder)].CSIDL; }
UnicodeString RootFolderName(TkvRootFolder Folder) { return kRootFolders[size_t(Folder)].Name; }

bool RootFolderFromName(const UnicodeString& Root, TkvRootFolder& Folder)
{
    for (size_t i = 0; i < std::size(kRootFolders); ++i)
        if (SameAsciiText(Root, kRootFolders[i].Name)) {
            Folder = TkvRootFolder(i);
            return true;
        }
    return false;
}

uint32_t ObjectTypesToFlags(TkvShellObjectTypes Types) { return (Types.Ord() & 7u) * 32u; }

uint32_t NotifyFilterFlags(TkvNotifyFilters Filters)
{
    uint32_t flags = Filters.Ord() & 0x1Fu;
    if (Filters.Contains(TkvNotifyFilter::nfSecurityChange))
        flags |= 0x100u;
    return flags;
}
