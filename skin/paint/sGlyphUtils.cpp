#include "skin/paint/sGlyphUtils.h"

#include <windows.h>
#include <commctrl.h>

#include "classlib/rtl/Classes.h"
#include "skin/paint/kvAlphaImageList.h"
#include "skin/paint/kvPNG.h"
#include "skin/paint/kvPNG_Draw.h"

const wchar_t* const kvGlyphsResNames[kvGlyphsCount] = {L"SF", L"SR", L"SD", L"SE", L"SC"};

namespace {

TsAlphaImageList* gResImgList = nullptr;

// An icon of the RCDATA picture Name: the picture's alpha alone decides
// transparency (MakeIcon32 gives a 32-bit picture an all-opaque mask).
HICON GlyphIcon(const wchar_t* Name)
{
    try {
        TResourceStream res(::GetModuleHandleW(nullptr), Name);
        TOwned<TPNGGraphic> png(New<TPNGGraphic>());
        png->LoadFromStream(&res);
        png->SetPixelFormat(pf32bit);
        return MakeIcon32(png.get());
    } catch (const Exception&) {
        return nullptr;  // a missing or damaged picture: the glyph is left out
    }
}

} // namespace

TsAlphaImageList* kvResImgList()
{
    if (gResImgList)
        return gResImgList;
    TOwned<TsAlphaImageList> list(New<TsAlphaImageList>(nullptr));
    list->SetWidth(48);
    list->SetHeight(16);
    HIMAGELIST h = list->Handle();
    for (const wchar_t* name : kvGlyphsResNames)
        if (HICON icon = GlyphIcon(name)) {
            ImageList_ReplaceIcon(h, -1, icon);
            ::DestroyIcon(icon);
        }
    gResImgList = list.release();
    return gResImgList;
}

void FreeResImgList()
{
    FreeAndNil(gResImgList);
}
