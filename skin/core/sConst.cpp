#include "skin/core/sConst.h"

#include <shellapi.h>

#include "classlib/controls/ImgList.h"

// Constant-initialised, so code that runs before this unit's start-up
// already sees the final values.
TCacheInfo EmptyCI{nullptr, -99, 0, 0, false};
TsColor sFuchsia{.C = clFuchsia};

bool kv_v5PaintMode = false;
bool kvOldGlyphsOrder = false;
int kvScrollBtnLength = 16;
bool ShowHintStored = false;
bool AppShowHint = false;
bool FadingForbidden = false;
bool StdTransparency = false;
bool MouseForbidden = false;
bool fGlobalFlag = false;
bool DrawSkinnedMDIWall = true;
bool DrawSkinnedMDIScrolls = true;
TControl* TempControl = nullptr;
TForm* kvMagnForm = nullptr;
TsDisabledKind kvGlobalDisabledKind;
PAINTSTRUCT kvGlobalPS = {};
HDC kvGlobalDC = nullptr;
TCustomImageList* LargeShellImages = nullptr;
TCustomImageList* SmallShellImages = nullptr;

namespace {

// An image list over the system's file-icon list of the size SizeFlag picks.
TCustomImageList* NewShellImageList(UINT SizeFlag, const wchar_t* Name)
{
    SHFILEINFOW info = {};
    auto handle = reinterpret_cast<HIMAGELIST>(
        SHGetFileInfoW(L"", 0, &info, sizeof(info), SHGFI_SYSICONINDEX | SizeFlag));
    TCustomImageList* list = New<TCustomImageList>(nullptr);
    list->SetShareImages(true);
    list->SetHandle(handle);
    list->SetName(Name);
    return list;
}

void FreeShellImageList(TCustomImageList*& List)
{
    TCustomImageList* list = List;
    List = nullptr;
    delete list;
}

struct TConstUnit {
    TConstUnit()
    {
        kvScrollBtnLength = GetSystemMetrics(SM_CXHSCROLL);
    }
    ~TConstUnit()
    {
        FreeShellImageList(SmallShellImages);
        FreeShellImageList(LargeShellImages);
    }
};

TConstUnit ConstUnit;

} // namespace

void InitShellImageLists(bool /*Large*/, bool /*Small*/)
{
    if (!LargeShellImages)
        LargeShellImages = NewShellImageList(SHGFI_SHELLICONSIZE, L"sShellLargeImages");
    if (!SmallShellImages)
        SmallShellImages = NewShellImageList(SHGFI_SMALLICON, L"sShellSmallImages");
}
