// Tree views and grids: the edit wrapper with their own colours.
#include <windows.h>

#include <commctrl.h>

#include "classlib/controls/ComCtrls.h"
#include "skin/core/kvntUtils.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSkinManager.h"
#include "skin/paint/sGraphUtils.h"
#include "skin/wrappers/kvSBUtils_Edits.h"
#include "skin/wrappers/kvSBUtils_Paint.h"

// ---------------------------------------------------------------------------
// TkvTreeViewWnd

void TkvTreeViewWnd::SaveStdParams()
{
    TkvEditWnd::SaveStdParams();
    StdTreeBkColor = COLORREF(::SendMessageW(CtrlHandle, TVM_GETBKCOLOR, 0, 0));
}

void TkvTreeViewWnd::SetSkinParams()
{
    ParamsChanged = true;
    if (!SkinData)
        return;
    TColor colour = clWindow;
    if (!DlgMode) {
        TsSkinManager* m = SkinData->GetSkinManager();
        if (!m || !m->IsValidSkinIndex(SkinData->SkinIndex))
            return;
        const TsGeneralData& g = m->gd[std::size_t(SkinData->SkinIndex)];
        if (TControl* c = SkinData->FOwnerControl) {
            if (!SkinData->FCustomFont && c->Font()->Color() != g.HotFontColor[1])
                c->Font()->SetColor(g.HotFontColor[1]);
            if (SkinData->FCustomColor || g.HotColor == c->Color())
                return;
        }
        colour = g.HotColor;
    }
    ::SendMessageW(CtrlHandle, TVM_SETBKCOLOR, 0, LPARAM(ColorToRGB(colour)));
}

void TkvTreeViewWnd::RestoreStdParams()
{
    TkvEditWnd::RestoreStdParams();
    // The tree's own background as it was (CLR_NONE: the system's).
    if (::IsWindow(CtrlHandle))
        ::SendMessageW(CtrlHandle, TVM_SETBKCOLOR, 0, LPARAM(StdTreeBkColor));
}

void TkvTreeViewWnd::kvWndProc(TMessage& Message)
{
    if (Message.Msg == WM_ERASEBKGND && SkinData && SkinData->Skinned() && !Destroyed) {
        auto* tree = dynamic_cast<TCustomTreeView*>(SkinData->FOwnerControl);
        if (tree && tree->OnAdvancedCustomDraw.Assigned()) {
            PassOn(Message); // the tree erases its own background
            return;
        }
        if (RecheckUpdating(SkinData))
            return;
        InitCtrlData(this);
        if (SkinData->BGChanged)
            ::PrepareCache(SkinData, CtrlHandle, DlgMode);
        TsSkinManager* m = SkinData->GetSkinManager();
        const TColor back = DlgMode ? clWindow : m->gd[std::size_t(SkinData->SkinIndex)].HotColor;
        TkvTargetDC dc(CtrlHandle, reinterpret_cast<HDC>(Message.WParam));
        FillDC(dc, TRect(0, 0, WndSize.cx, WndSize.cy), back);
        Message.Result = 0;
        return;
    }
    TkvAliveGuard guard(this);
    TkvEditWnd::kvWndProc(Message);
    if (guard.Alive() && Message.Msg == WM_LBUTTONUP)
        ::ReleaseCapture();
}

// ---------------------------------------------------------------------------
// TkvGridWnd

namespace {

TsSkinManager* ManagerOf(TsCommonData* SkinData)
{
    return SkinData ? SkinData->GetSkinManager() : nullptr;
}

TColor GlobalColor(TsSkinManager* M, TsCommonData*) { return M->GetGlobalColor(); }
TColor GlobalFontColor(TsSkinManager* M, TsCommonData*) { return M->GetGlobalFontColor(); }
TColor GradientFrom(TsSkinManager* M, TsCommonData*) { return MixColors(M->GetGlobalColor(), M->GetActiveEditColor(), 0.5); }
TColor SkinBorderColor(TsSkinManager* M, TsCommonData*) { return M->SkinData ? M->SkinData->BorderColor : clBlack; }
TColor LineColor(TsSkinManager* M, TsCommonData*)
{
    return MixColors(M->GetActiveEditColor(), M->GetActiveEditFontColor(), 0.5);
}
TColor Highlight(TsSkinManager* M, TsCommonData*) { return M->GetHighLightColor(); }
TColor HighlightFont(TsSkinManager* M, TsCommonData*) { return M->GetHighLightFontColor(); }
TColor GlobalInfoColor(TsSkinManager* M, TsCommonData*)
{
    const int i = M->ConstData.IndexGLobalInfo;
    return M->IsValidSkinIndex(i) ? M->gd[std::size_t(i)].Color : M->GetGlobalColor();
}
TColor SectionFontColor(TsSkinManager* M, TsCommonData* D)
{
    return M->IsValidSkinIndex(D->SkinIndex) ? M->gd[std::size_t(D->SkinIndex)].FontColor[1] : clBlack;
}

// One colour of a grid, published by the grid itself or by one of its
// objects (Holder), directly or as the colour of a font property.
struct TGridColor {
    const wchar_t* Holder;
    const wchar_t* Name;
    bool Font;
    bool AsRGB;
    TColor TkvGridWnd::*Field;
    TColor (*Skin)(TsSkinManager*, TsCommonData*);
};

// In the order they are saved: a later entry for the same field wins.
const TGridColor GridColors[] = {
    {nullptr, L"FixedColor", false, true, &TkvGridWnd::FixedColor, GlobalColor},
    {nullptr, L"GradientStartColor", false, false, &TkvGridWnd::FixedGradientFrom, GradientFrom},
    {nullptr, L"GradientEndColor", false, false, &TkvGridWnd::FixedGradientTo, GlobalColor},
    {nullptr, L"TitleFont", true, false, &TkvGridWnd::TitleFontColor, GlobalFontColor},
    {L"ControlLook", L"FixedFont", true, true, &TkvGridWnd::TitleFontColor, GlobalFontColor},
    {L"ControlLook", L"GridFixedLineColor", false, false, &TkvGridWnd::GridFixedLineColor, SkinBorderColor},
    {L"ControlLook", L"GridLineColor", false, false, &TkvGridWnd::GridLineColor, LineColor},
    {L"ControlLook", L"FixedGradientFrom", false, false, &TkvGridWnd::FixedGradientFrom, GradientFrom},
    {L"ControlLook", L"FixedGradientTo", false, false, &TkvGridWnd::FixedGradientTo, GlobalColor},
    {nullptr, L"SelectionColor", false, false, &TkvGridWnd::SelectionColor, Highlight},
    {nullptr, L"SelectionTextColor", false, false, &TkvGridWnd::SelectionTextColor, HighlightFont},
    {nullptr, L"FooterColor", false, false, &TkvGridWnd::FooterColor, GlobalInfoColor},
    {nullptr, L"FooterCellColor", false, false, &TkvGridWnd::FooterCellColor, GlobalInfoColor},
    {nullptr, L"TitleColor", false, false, &TkvGridWnd::TitleColor, GlobalInfoColor},
    {nullptr, L"IndicatorIconColor", false, false, &TkvGridWnd::IndColor, SectionFontColor},
};

// A grid drawing style that paints its fixed cells with a gradient.
constexpr int GradientDrawingStyle = 2;

TObject* HolderOf(TObject* Grid, const TGridColor& C)
{
    return C.Holder ? kvntUtils::GetObjProp(Grid, C.Holder) : Grid;
}

bool Present(TObject* Grid, const TGridColor& C)
{
    TObject* h = HolderOf(Grid, C);
    if (!h || !kvntUtils::HasProperty(h, C.Name))
        return false;
    return !C.Font || dynamic_cast<TFont*>(kvntUtils::GetObjProp(h, C.Name));
}

TColor ReadColor(TObject* Grid, const TGridColor& C)
{
    TObject* h = HolderOf(Grid, C);
    TColor v = C.Font ? static_cast<TFont*>(kvntUtils::GetObjProp(h, C.Name))->Color()
                      : static_cast<TColor>(kvntUtils::GetIntProp(h, C.Name));
    if (C.Holder && v == clNone)
        v = clBtnFace;
    return C.AsRGB ? ColorToRGB(v) : v;
}

void WriteColor(TObject* Grid, const TGridColor& C, TColor Value)
{
    TObject* h = HolderOf(Grid, C);
    if (C.Font)
        static_cast<TFont*>(kvntUtils::GetObjProp(h, C.Name))->SetColor(Value);
    else
        kvntUtils::SetIntProp(h, C.Name, static_cast<int>(Value));
}

constexpr unsigned DrawingStyleBit = 1u << 31;

} // namespace

bool TkvGridWnd::StylesOffWanted(const UnicodeString&, bool) const
{
    return false; // a grid keeps its visual style
}

void TkvGridWnd::SaveStdParams()
{
    TkvEditWnd::SaveStdParams();
    TControl* grid = SkinData ? SkinData->FOwnerControl : nullptr;
    Saved = 0;
    if (!grid)
        return;
    for (size_t i = 0; i < std::size(GridColors); ++i)
        if (Present(grid, GridColors[i])) {
            this->*GridColors[i].Field = ReadColor(grid, GridColors[i]);
            Saved |= 1u << i;
        }
    if (kvntUtils::HasProperty(grid, L"DrawingStyle")) {
        DrawingStyle = kvntUtils::GetIntProp(grid, L"DrawingStyle");
        Saved |= DrawingStyleBit;
    }
}

void TkvGridWnd::SetSkinParams()
{
    TkvEditWnd::SetSkinParams();
    TControl* grid = SkinData->FOwnerControl;
    TsSkinManager* m = ManagerOf(SkinData);
    if (!grid || !m)
        return;
    if (kvntUtils::HasProperty(grid, L"DrawingStyle"))
        kvntUtils::SetIntProp(grid, L"DrawingStyle", GradientDrawingStyle);
    for (const TGridColor& c : GridColors)
        if (Present(grid, c))
            WriteColor(grid, c, c.Skin(m, SkinData));
}

void TkvGridWnd::RestoreStdParams()
{
    TkvEditWnd::RestoreStdParams();
    TControl* grid = SkinData ? SkinData->FOwnerControl : nullptr;
    if (!grid || grid->ComponentState().Contains(csDestroying))
        return;
    if (Saved & DrawingStyleBit)
        kvntUtils::SetIntProp(grid, L"DrawingStyle", DrawingStyle);
    for (size_t i = 0; i < std::size(GridColors); ++i)
        if ((Saved & (1u << i)) && Present(grid, GridColors[i]))
            WriteColor(grid, GridColors[i], this->*GridColors[i].Field);
}

void TkvGridWnd::DataAwareScroll(const TMessage& Message)
{
    const int code = Message.WParamLo;
    if ((code != SB_THUMBPOSITION && code != SB_THUMBTRACK) || !sBarVert)
        return;
    // Where the thumb is dragged (the bar's track position, set just before
    // the request) or was dropped (the last position the engine sent; the
    // bar's record may have been read from the window since).  The engine's
    // positions already run from nMin to the last valid one.
    SCROLLINFO si = sBarVert->ScrollInfo;
    si.cbSize = sizeof(si);
    si.fMask = SIF_POS;
    si.nPos = code == SB_THUMBTRACK ? sBarVert->ScrollInfo.nTrackPos : nLastSBPos;
    ::SetScrollInfo(CtrlHandle, SB_VERT, &si, FALSE);
}

void TkvGridWnd::kvWndProc(TMessage& Message)
{
    if (!SkinData || !SkinData->Skinned() || Destroyed) {
        TkvEditWnd::kvWndProc(Message);
        return;
    }
    TControl* grid = SkinData->FOwnerControl;
    switch (Message.Msg) {
    case WM_ERASEBKGND:
        RecheckUpdating(SkinData);
        return;
    case WM_VSCROLL:
        if (grid && kvntUtils::HasProperty(grid, L"DataSource"))
            DataAwareScroll(Message);
        break;
    case WM_PRINT: {
        TkvAliveGuard guard(this);
        TkvEditWnd::kvWndProc(Message);
        if (guard.Alive() && !Destroyed && Message.WParam)
            ToClient(reinterpret_cast<HDC>(Message.WParam), WM_PAINT, Message.LParam);
        return;
    }
    }
    TkvAliveGuard guard(this);
    TkvEditWnd::kvWndProc(Message);
    if (!guard.Alive() || Destroyed)
        return;
    switch (Message.Msg) {
    case WM_PAINT:
        UpdateScrolls(this, true);
        break;
    case WM_WINDOWPOSCHANGED:
        if (::IsWindowVisible(CtrlHandle))
            ::SendMessageW(CtrlHandle, WM_NCPAINT, 0, 0);
        break;
    }
    if (Message.Msg == SM_KORVEXCMD && Message.WParamHi == SMC_SKIN_REMOVE && grid &&
        reinterpret_cast<LPARAM>(ManagerOf(SkinData)) == Message.LParam &&
        kvntUtils::HasProperty(grid, L"ScrollBars")) {
        // The grid makes its own scroll bars again.
        const int bars = kvntUtils::GetIntProp(grid, L"ScrollBars");
        kvntUtils::SetIntProp(grid, L"ScrollBars", 0);
        kvntUtils::SetIntProp(grid, L"ScrollBars", bars);
    }
}
