#include "skin/core/sConst.h"

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
TImageList* LargeShellImages = nullptr;
TImageList* SmallShellImages = nullptr;

namespace {

struct TConstUnit {
    TConstUnit()
    {
        kvScrollBtnLength = GetSystemMetrics(SM_CXHSCROLL);
    }
};

TConstUnit ConstUnit;

} // namespace
