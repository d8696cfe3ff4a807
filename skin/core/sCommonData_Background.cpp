// What a skinned control tells its children about the background they
// stand on (a colour, or its cache bitmap at an offset), and the copying of
// its cache bitmap to the screen around children that paint themselves.
#include "classlib/controls/Forms.h"
#include "classlib/graphics/GdiHandles.h"
#include "skin/core/sCommonData.h"
#include "skin/core/sFormsSeam.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/sSkinProps.h"
#include "skin/core/sVclUtils.h"
#include "skin/paint/sGraphUtils.h"
#include "skin/paint/sGraphUtils_BGInfo.h"

namespace {

// The colour of the owner itself: the control's, the provider's form's, or
// the button face.
TColor OwnerColor(TsCommonData* SkinData)
{
    if (SkinData->FOwnerControl)
        return SkinData->FOwnerControl->Color();
    if (TsProviderSeam* p = SkinData->OwnerProvider())
        if (TCustomForm* f = ProviderForm(p))
            return f->Color();
    return clBtnFace;
}

// The colour the owner control's parent shows, as RGB: its skinned answer
// or its own colour; the owner's colour when there is no parent to ask.
TColor ParentColor(TControl* Owner)
{
    TWinControl* parent = Owner->Parent();
    if (!parent)
        return ColorToRGB(Owner->Color());
    TColor c = GetControlColor(parent);
    return c == clFuchsia ? ColorToRGB(parent->Color()) : c;
}

TColor GlobalColor()
{
    return DefaultManager ? DefaultManager->GetGlobalColor() : clBtnFace;
}

struct TLayers {
    int T, G, I;
    TColor S;
};

TLayers SectionLayers(const TsGeneralData& g, int State)
{
    if (State != 0)
        return {g.HotTransparency, g.HotGradientPercent, g.HotImagePercent, g.HotColor};
    return {g.Transparency, g.GradientPercent, g.ImagePercent, g.Color};
}

// The border image is thin enough for a fully transparent control to leave
// the question to its parent.
bool ThinBorder(TsCommonData* SkinData)
{
    TsSkinManager* m = SkinData->GetSkinManager();
    if (!m->IsValidImgIndex(SkinData->BorderIndex))
        return true;
    const TsMaskData& md = m->ma[SkinData->BorderIndex];
    return md.WL + md.WR <= 24 && md.WT + md.WB <= 24;
}

// Passes the question to the parent.  A request to draw names a position
// inside the asker, so it is moved into the parent's coordinates first; an
// answer with a bitmap gives the parent's origin, to which the asker's
// position is added.
void AskParent(PkvBGInfo BGInfo, const TPoint& Position, TControl* Parent, HWND ParentWnd)
{
    bool draw = BGInfo->PleaseDraw;
    if (draw) {
        BGInfo->Offset.x += Position.x;
        BGInfo->Offset.y += Position.y;
    }
    if (Parent)
        GetBGInfo(BGInfo, Parent, draw);
    else
        GetBGInfo(BGInfo, ParentWnd, draw);
    if (!draw && BGInfo->BgType == btCache) {
        BGInfo->Offset.x += Position.x;
        BGInfo->Offset.y += Position.y;
    }
}

// Position of a window's top-left corner in its parent's client area.
TPoint PositionInParent(HWND Handle)
{
    TRect r;
    GetWindowRect(Handle, &r);
    TPoint p = r.TopLeft();
    ScreenToClient(GetParent(Handle), &p);
    return p;
}

void PassToParent(TsCommonData* SkinData, PkvBGInfo BGInfo, HWND Handle)
{
    TControl* c = SkinData->FOwnerControl;
    if (c && c->Parent()) {
        AskParent(BGInfo, TPoint(c->Left(), c->Top()), c->Parent(), nullptr);
    } else if (Handle) {
        AskParent(BGInfo, PositionInParent(Handle), nullptr, GetParent(Handle));
    } else {
        BGInfo->BgType = btFill;
        BGInfo->Color = GlobalColor();
    }
}

void FillRequest(PkvBGInfo BGInfo)
{
    if (BGInfo->PleaseDraw)
        FillDC(BGInfo->DrawDC, BGInfo->R, BGInfo->Color);
}

// The control's own cache holds what the child must see.
void AnswerFromCache(TsCommonData* SkinData, PkvBGInfo BGInfo, int T)
{
    TBitmap* cache = SkinData->FCacheBmp;
    if (!cache) {
        BGInfo->BgType = btFill;
        TControl* c = SkinData->FOwnerControl;
        if (T != 100)
            BGInfo->Color = clFuchsia;
        else
            BGInfo->Color = c && c->Parent() ? GetControlColor(c->Parent()) : GlobalColor();
        return;
    }
    BGInfo->BgType = btCache;
    if (BGInfo->PleaseDraw) {
        const TRect& R = BGInfo->R;
        BitBlt(BGInfo->DrawDC, R.left, R.top, R.Width(), R.Height(), cache->Canvas()->Handle(), BGInfo->Offset.x,
               BGInfo->Offset.y, SRCCOPY);
    } else {
        BGInfo->Bmp = cache;
        BGInfo->Offset = TPoint(0, 0);
    }
}

} // namespace

TColor GetBGColor(TsCommonData* SkinData, int State, HWND Handle)
{
    if (!SkinData->Skinned())
        return OwnerColor(SkinData);
    TLayers v = SectionLayers(SkinData->GetSkinManager()->gd[SkinData->SkinIndex], State);
    TControl* c = SkinData->FOwnerControl;
    if (v.T <= 0)
        return SkinData->FCustomColor ? OwnerColor(SkinData) : v.S;
    if (v.T >= 100) {
        if (c)
            return ParentColor(c);
        return Handle ? GetControlColor(GetParent(Handle)) : clBtnFace;
    }
    if (!c)
        return 0;
    return MixColors(ParentColor(c), v.S, v.T / 100.0);
}

void InitBGInfo(TsCommonData* SkinData, PkvBGInfo BGInfo, int State, HWND Handle)
{
    if (!SkinData->Skinned() || SkinData->FCustomColor) {
        BGInfo->BgType = btFill;
        if (SkinData->FOwnerControl || SkinData->OwnerProvider())
            BGInfo->Color = OwnerColor(SkinData);
        // The asker wants its background painted, not just described.
        FillRequest(BGInfo);
        return;
    }
    TLayers v = SectionLayers(SkinData->GetSkinManager()->gd[SkinData->SkinIndex], State);
    if (v.T == 0 && v.G <= 0 && v.I <= 0) {
        BGInfo->BgType = btFill;
        BGInfo->Bmp = SkinData->FCacheBmp;
        BGInfo->Color = GetBGColor(SkinData, State);
        FillRequest(BGInfo);
        return;
    }
    if (v.T == 100 && ThinBorder(SkinData))
        PassToParent(SkinData, BGInfo, Handle);
    else
        AnswerFromCache(SkinData, BGInfo, v.T);
}

TCacheInfo GetParentCache(TsCommonData* SkinData)
{
    TControl* c = SkinData->FOwnerControl;
    if (SkinData->Skinned() && c && c->Parent()) {
        TkvBGInfo bi;
        GetBGInfo(&bi, c->Parent(), false);
        return BGInfoToCI(&bi);
    }
    TCacheInfo ci;
    // The owner's colour may be a system colour; painters take RGB values.
    ci.FillColor = ColorToRGB(GetBGColor(SkinData, 0));
    return ci;
}

TCacheInfo GetParentCacheHwnd(HWND Handle)
{
    HWND parent = GetParent(Handle);
    if (!parent)
        return EmptyCI;
    TkvBGInfo bi;
    GetBGInfo(&bi, parent, false);
    return BGInfoToCI(&bi);
}

// ---------------------------------------------------------------------------
// Copying the cache to the screen.

namespace {

void ExcludeRect(HDC DC, const TRect& R)
{
    ExcludeClipRect(DC, R.left, R.top, R.right, R.bottom);
}

bool Overlap(const TRect& A, const TRect& B)
{
    TRect r;
    return IntersectRect(&r, &A, &B) != 0;
}

// Whether a child paints itself over the cache copy.
bool PaintsItself(TControl* Child)
{
    return Child->ComponentState().Contains(csDesigning) || Child->ControlStyle().Contains(csOpaque) ||
           !dynamic_cast<TWinControl*>(Child);
}

// A splitter (code 75) paints over its parent's picture as a part of it.
bool CopiedWithParent(TControl* Child)
{
    if (!dynamic_cast<TWinControl*>(Child) && StdTransparency)
        return true;
    TsCommonData* sd = SkinDataOf(Child);
    return (sd && sd->COC == 75) || !Child->Visible();
}

void CopyCache(TBitmap* Cache, const TRect& SrcRect, const TRect& DstRect, HDC DstDC)
{
    BitBlt(DstDC, DstRect.left, DstRect.top, DstRect.Width(), DstRect.Height(), Cache->Canvas()->Handle(),
           SrcRect.left, SrcRect.top, SRCCOPY);
}

// A system group box: a button window of the group-box type.  Its inside
// shows the cache, only its frame paints over it.
bool IsGroupBoxWindow(HWND Wnd)
{
    wchar_t cls[16] = {};
    GetClassNameW(Wnd, cls, 16);
    LONG style = GetWindowLongW(Wnd, GWL_STYLE);
    return lstrcmpiW(cls, L"Button") == 0 && (style & BS_TYPEMASK) == BS_GROUPBOX;
}

void ExcludeGroupBoxFrame(HDC DC, HWND Wnd, const TRect& R)
{
    int top = static_cast<int>(SendAMessage(Wnd, SMC_GET_CAPTION_HEIGHT, 0));
    int wl = 0, wr = 0, wb = 0;
    if (TsSkinManager* m = DefaultManager) {
        int mask = m->GetMaskIndex(m->GetSkinIndex(s_GroupBox), s_GroupBox, s_BordersMask);
        wl = m->MaskWidthLeft(mask);
        wr = m->MaskWidthRight(mask);
        wb = m->MaskWidthBottom(mask);
    }
    ExcludeRect(DC, TRect(R.left, R.top, R.right, R.top + top));
    ExcludeRect(DC, TRect(R.left, R.top, R.left + wl, R.bottom));
    ExcludeRect(DC, TRect(R.right - wr, R.top, R.right, R.bottom));
    ExcludeRect(DC, TRect(R.left, R.bottom - wb, R.right, R.bottom));
}

} // namespace

void CopyWinControlCache(TWinControl* Control, TsCommonData* SkinData, const TRect& SrcRect, const TRect& DstRect,
                         HDC DstDC, bool /*UpdateCorners*/, int OffsetX, int OffsetY)
{
    if (!SkinData->FCacheBmp)
        return;
    SavedDC saved(DstDC);
    IntersectClipRect(DstDC, DstRect.left, DstRect.top, DstRect.right, DstRect.bottom);
    for (int i = 0; i < Control->ControlCount(); ++i) {
        TControl* child = Control->Controls(i);
        if (CopiedWithParent(child) || !Overlap(child->BoundsRect(), DstRect) || !PaintsItself(child))
            continue;
        TRect r = child->BoundsRect();
        OffsetRect(&r, OffsetX, OffsetY);
        ExcludeRect(DstDC, r);
    }
    CopyCache(SkinData->FCacheBmp, SrcRect, DstRect, DstDC);
}

void CopyHwndCache(HWND Handle, TsCommonData* SkinData, const TRect& SrcRect, const TRect& DstRect, HDC DstDC,
                   bool /*UpdateCorners*/, int OffsetX, int OffsetY)
{
    if (!SkinData->FCacheBmp)
        return;
    SavedDC saved(DstDC);
    IntersectClipRect(DstDC, DstRect.left, DstRect.top, DstRect.right, DstRect.bottom);
    TRect wr;
    GetWindowRect(Handle, &wr);
    for (HWND child = GetTopWindow(Handle); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (!(GetWindowLongW(child, GWL_STYLE) & WS_VISIBLE))
            continue;
        TRect r;
        GetWindowRect(child, &r);
        OffsetRect(&r, OffsetX - wr.left, OffsetY - wr.top);
        if (IsGroupBoxWindow(child) && !(GetWindowLongW(child, GWL_EXSTYLE) & WS_EX_CLIENTEDGE))
            ExcludeGroupBoxFrame(DstDC, child, r);
        else
            ExcludeRect(DstDC, r);
    }
    CopyCache(SkinData->FCacheBmp, SrcRect, DstRect, DstDC);
}
