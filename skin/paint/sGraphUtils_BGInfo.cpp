#include "skin/paint/sGraphUtils_BGInfo.h"

#include "classlib/controls/Controls.h"
#include "classlib/graphics/GdiHandles.h"
#include "skin/core/kvntUtils.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/sVclUtils.h"
#include "skin/paint/sGraphUtils.h"

namespace {

// Starts a request: the kind not known yet, the drawing wish as given.
// Answers whether drawing was asked for on entry.
bool StartRequest(PkvBGInfo BGInfo, bool PleaseDraw)
{
    bool wanted = BGInfo->PleaseDraw;
    BGInfo->BgType = btUnknown;
    BGInfo->PleaseDraw = PleaseDraw;
    return wanted;
}

// Moves DrawDC's origin so that Offset inside the asked window lands on the
// DC's origin, clips to R and has Paint draw there.
template <class F>
void PaintInto(PkvBGInfo BGInfo, F Paint)
{
    HDC dc = BGInfo->DrawDC;
    SavedDC saved(dc);
    OffsetViewportOrgEx(dc, -BGInfo->Offset.x, -BGInfo->Offset.y, nullptr);
    OffsetRect(&BGInfo->R, BGInfo->Offset.x, BGInfo->Offset.y);
    IntersectClipRect(dc, BGInfo->R.left, BGInfo->R.top, BGInfo->R.right, BGInfo->R.bottom);
    Paint(reinterpret_cast<WPARAM>(dc));
}

} // namespace

bool GetBGInfo(PkvBGInfo BGInfo, HWND Handle, bool PleaseDraw)
{
    bool wanted = StartRequest(BGInfo, PleaseDraw);
    SendMessageW(Handle, SM_KORVEXCMD, MakeKorvexWParam(SMC_GET_BG_INFO), reinterpret_cast<LPARAM>(BGInfo));
    if (BGInfo->BgType != btUnknown)
        return true;
    if (wanted) {
        PaintInto(BGInfo, [Handle](WPARAM dc) {
            SendMessageW(Handle, WM_ERASEBKGND, dc, 0);
            SendMessageW(Handle, WM_PAINT, dc, 0);
        });
    } else {
        BGInfo->BgType = btFill;
        BGInfo->Color = DefaultManager ? DefaultManager->GetGlobalColor() : clBtnFace;
    }
    return false;
}

bool GetBGInfo(PkvBGInfo BGInfo, TControl* Control, bool PleaseDraw)
{
    bool wanted = StartRequest(BGInfo, PleaseDraw);
    WPARAM wp = MakeKorvexWParam(SMC_GET_BG_INFO);
    auto* w = dynamic_cast<TWinControl*>(Control);
    if (w && w->HandleAllocated())
        SendMessageW(w->Handle(), SM_KORVEXCMD, wp, reinterpret_cast<LPARAM>(BGInfo));
    else
        Control->Perform(SM_KORVEXCMD, wp, reinterpret_cast<LPARAM>(BGInfo));
    if (BGInfo->BgType != btUnknown)
        return true;
    if (wanted) {
        PaintInto(BGInfo, [Control](WPARAM dc) {
            Control->Perform(WM_ERASEBKGND, dc, 0);
            Control->Perform(WM_PAINT, dc, 0);
        });
    } else {
        BGInfo->BgType = btFill;
        // A skinned control's answer, black included; otherwise its own colour.
        BGInfo->Color = GetControlColor(Control);
        if (BGInfo->PleaseDraw && BGInfo->Bmp)
            FillDC(BGInfo->DrawDC, BGInfo->R, BGInfo->Color);
    }
    return false;
}

TCacheInfo BGInfoToCI(PkvBGInfo BGInfo)
{
    if (BGInfo->BgType == btCache)
        return MakeCacheInfo(BGInfo->Bmp, BGInfo->Offset.x, BGInfo->Offset.y);
    TCacheInfo ci;
    ci.FillColor = ColorToRGB(BGInfo->Color);
    return ci;
}
