// The skinned status bar.
#include "skin/wrappers/sStatusBar.h"

#include <commctrl.h>

#include <algorithm>

#include "classlib/controls/Forms.h"
#include "classlib/graphics/GdiHandles.h"
#include "skin/core/kvntUtils.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/sVclUtils.h"
#include "skin/paint/sAlphaGraph.h"
#include "skin/paint/sGraphUtils.h"
#include "skin/paint/sGraphUtils_Sections.h"
#include "skin/paint/sGraphUtils_Text.h"
#include "skin/wrappers/kvSBUtils_Paint.h"
#include "skin/wrappers/kvSBUtils_StatusBar.h"

TsStatusBar::TsStatusBar(TComponent* AOwner) : TStatusBar(AOwner), FCommonData(new TsCommonData(this, true))
{
    FCommonData->COC = 151;
    SetControlStyle(ControlStyle() + csAcceptsControls + csOpaque);
}

TsStatusBar::~TsStatusBar()
{
    delete FCommonData;
    FCommonData = nullptr;
}

void TsStatusBar::AfterConstruction()
{
    TStatusBar::AfterConstruction();
    FCommonData->Loaded();
}

void TsStatusBar::Loaded()
{
    TStatusBar::Loaded();
    FCommonData->Loaded();
}

int TsStatusBar::PanelOffset(int Index) const
{
    int x = 0;
    for (int i = 0; i < Index && i < Panels()->Count(); ++i)
        x += Panels()->Items(i)->Width();
    return x;
}

// ---------------------------------------------------------------------------
// The picture.

void TsStatusBar::InternalDrawPanel(TStatusPanel* Panel, const UnicodeString& Text, const TRect& P)
{
    TsSkinManager* m = FCommonData->GetSkinManager();
    if (m && m->IsValidSkinIndex(FCommonData->SkinIndex)) {
        const int mask = kvStatusPanels::PanelMask(FCommonData);
        const bool last = !Panel || Panel->Index() == Panels()->Count() - 1;
        if (mask >= 0) {
            kvStatusPanels::DrawPanelFrame(FCommonData, mask, Panel ? P : TRect(0, 0, Width(), Height()));
        } else if (Panel && !last) {
            int divider;
            const int dm = kvStatusPanels::DividerMask(m, divider);
            if (dm >= 0) {
                // Centred on the border between the panels.
                const int w = std::max(m->ma[size_t(dm)].WL + m->ma[size_t(dm)].WR, 2);
                const int x = P.right - w / 2 - 1;
                kvStatusPanels::DrawDividerStrip(FCommonData, divider, TRect(x, 1, x + w, 1 + Height() - 2));
            }
        }
    }
    if (Panel && Panel->Style() == psOwnerDraw && OnDrawPanel) {
        OnDrawPanel(this, Panel, P);
        return;
    }
    const UnicodeString text = Panel ? Panel->Text() : Text;
    if (text.empty())
        return;
    TCanvas* canvas = FCommonData->FCacheBmp->Canvas();
    canvas->Font()->Assign(Font());
    const TRect t = kvStatusPanels::TextRect(P);
    DoDrawText(CutText(canvas, text, t.Width()), t,
               GetStringFlags(this, Panel ? Panel->Alignment() : taLeftJustify));
}

void TsStatusBar::DoDrawText(const UnicodeString& Text, TRect R, UINT Flags)
{
    TCanvas* canvas = FCommonData->FCacheBmp->Canvas();
    canvas->Font()->Assign(Font());
    canvas->Brush()->SetStyle(bsClear);
    kvWriteTextEx(canvas, Text.c_str(), true, R, DrawTextBiDiModeFlags(Flags | DT_SINGLELINE | DT_VCENTER),
                  FCommonData, ControlIsActive(FCommonData));
}

void TsStatusBar::DrawPanel(TStatusPanel* Panel, const TRect& Rect)
{
    if (!FCommonData->Skinned()) {
        TStatusBar::DrawPanel(Panel, Rect);
        return;
    }
    if (!FCommonData->FCacheBmp)
        return;
    auto* canvas = dynamic_cast<TControlCanvas*>(Canvas());
    TCanvasPaintScope scope(canvas, FCommonData->FCacheBmp->Canvas()->Handle());
    TRect r = Rect;
    ::InflateRect(&r, -1, -1);
    InternalDrawPanel(Panel, UnicodeString(), r);
}

void TsStatusBar::PaintPanels()
{
    const int n = Panels()->Count();
    if (SimplePanel() || n == 0) {
        InternalDrawPanel(nullptr, SimpleText(), TRect(0, 1, Width() - 1, Height() - 1));
        return;
    }
    for (int i = 0; i < n; ++i) {
        TStatusPanel* p = Panels()->Items(i);
        const int x = PanelOffset(i);
        DrawPanel(p, TRect(x, 0, i == n - 1 ? Width() : x + p->Width(), Height()));
    }
}

void TsStatusBar::PaintGrip()
{
    TsSkinManager* m = FCommonData->GetSkinManager();
    if (!m)
        return;
    int g = m->GetMaskIndex(m->ConstData.IndexGLobalInfo, L"GLOBALINFO", L"GRIPIMAGE");
    if (g < 0)
        g = m->GetMaskIndex(FCommonData->SkinIndex, L"FORM", L"GRIPIMAGE");
    if (!m->IsValidImgIndex(g))
        return;
    const TsMaskData& md = m->ma[size_t(g)];
    TPoint p;
    if (md.Bmp) {
        p = TPoint(Width() - md.Bmp->Width() / 3 - BorderWidth(), Height() - md.Bmp->Height() / 2 - BorderWidth());
    } else {
        const int frames = std::max<int>(md.ImageCount, 1);
        p = TPoint(Width() - md.R.Width() / frames - BorderWidth(),
                   Height() - md.R.Height() / (md.MaskType + 1) - BorderWidth());
    }
    TBitmap* cache = FCommonData->FCacheBmp;
    DrawSkinGlyph(cache, p, 0, 1, md, MakeCacheInfo(cache, 0, 0));
}

bool TsStatusBar::CheckHalfVisible()
{
    TWinControl* parent = Parent();
    if (!parent || !parent->HandleAllocated())
        return true;
    TRect client;
    ::GetClientRect(parent->Handle(), &client);
    // A bar reaching the client area's right or bottom edge is still inside.
    const bool topLeftIn = ::PtInRect(&client, TPoint(Left(), Top())) != 0;
    const bool bottomRightIn = Left() + Width() <= client.right && Top() + Height() <= client.bottom &&
                               Left() + Width() > client.left && Top() + Height() > client.top;
    return !topLeftIn || !bottomRightIn;
}

void TsStatusBar::PrepareCache()
{
    FCommonData->HalfVisible = CheckHalfVisible();
    const bool need = FCommonData->BGChanged || FCommonData->HalfVisible ||
                      (Parent() && GetBoolMsg(Parent(), SMC_GET_HALFVISIBLE));
    if (!need || FCommonData->UrgentPainting)
        return;
    const TCacheInfo ci = GetParentCache(FCommonData);
    FCommonData->InitCacheBmp();
    PaintItem(FCommonData, ci, false, 0, TRect(0, 0, Width(), Height()), TPoint(Left(), Top()),
              FCommonData->FCacheBmp, true);
    PaintPanels();
    if (SizeGrip())
        PaintGrip();
    FCommonData->BGChanged = false;
}

void TsStatusBar::CopyCacheTo(HDC DC)
{
    const int b = BorderWidth();
    CopyWinControlCache(this, FCommonData, TRect(b, b, Width(), Height()), TRect(0, 0, Width(), Height()), DC, true);
}

void TsStatusBar::OurPaintHandler(HDC DC)
{
    PAINTSTRUCT ps{};
    const bool begun = HandleAllocated() && ::BeginPaint(Handle(), &ps) != nullptr;
    {
        TkvTargetDC dc(Handle(), DC);
        SavedDC saved(dc);
        FCommonData->SetUpdating(FCommonData->GetUpdating());
        if (!FCommonData->FUpdating) {
            PrepareCache();
            CopyCacheTo(dc);
            ::PaintControls(dc, this, true, TPoint(0, 0));
            SetParentUpdated(this);
            FCommonData->BGChanged = false;
        }
    }
    if (begun)
        ::EndPaint(Handle(), &ps);
}

void TsStatusBar::PaintWindow(HDC DC)
{
    TStatusBar::PaintWindow(DC);
    if (FCommonData->Skinned())
        OurPaintHandler(DC);
}

// ---------------------------------------------------------------------------
// The window procedure.

bool TsStatusBar::Command(TMessage& Message)
{
    const bool own = Message.LParam == reinterpret_cast<LPARAM>(FCommonData->GetSkinManager());
    switch (Message.WParamHi) {
    case SMC_SKIN_SET:
    case SMC_SKIN_REFRESH:
        if (!own)
            return false;
        Canvas()->Brush()->SetStyle(bsClear);
        KorvexBroadCast(this, Message);
        CommonWndProc(Message, FCommonData);
        if (Message.WParamHi == SMC_SKIN_REFRESH) {
            Repaint();
            Perform(WM_NCPAINT);
        }
        return true;
    case SMC_SKIN_REMOVE:
        if (!own)
            return false;
        Canvas()->Brush()->SetStyle(bsSolid);
        CommonWndProc(Message, FCommonData);
        RecreateWnd();
        KorvexBroadCast(this, Message);
        return true;
    case SMC_PARENT_UPDATED:
        if (!FCommonData->FUpdating)
            return false;
        FCommonData->SetUpdating(false);
        Repaint();
        Perform(WM_NCPAINT);
        return true;
    case SMC_IS_SKINNED:
        Message.Result = 1;
        return true;
    case SMC_GET_APPLICATION:
        Message.Result = reinterpret_cast<LRESULT>(Application);
        return true;
    }
    return false;
}

void TsStatusBar::EraseBkgnd(TMessage& Message)
{
    Message.Result = 1;
    FCommonData->SetUpdating(FCommonData->GetUpdating());
    if (FCommonData->FUpdating || FCommonData->BGChanged)
        return;
    const auto dc = reinterpret_cast<HDC>(Message.WParam);
    CopyCacheTo(dc);
    ::PaintControls(dc, this, true, TPoint(0, 0));
}

void TsStatusBar::NCPaint()
{
    const bool designing = ComponentState().Contains(csDesigning);
    if (BorderWidth() <= 0 || !(Visible() || designing))
        return;
    FCommonData->SetUpdating(FCommonData->GetUpdating());
    if (InAnimationProcess || FCommonData->FUpdating)
        return;
    PrepareCache();
    if (!FCommonData->FCacheBmp)
        return;
    TkvTargetDC dc(Handle(), nullptr, true);
    SavedDC saved(dc);
    BitBltBorder(dc, 0, 0, Width(), Height(), FCommonData->FCacheBmp->Canvas()->Handle(), 0, 0, BorderWidth());
}

void TsStatusBar::PrintClient(TMessage& Message)
{
    if (!(Visible() || ComponentState().Contains(csDesigning)))
        return;
    FCommonData->SetUpdating(FCommonData->GetUpdating());
    if (FCommonData->FUpdating)
        return;
    const auto dc = reinterpret_cast<HDC>(Message.WParam);
    PrepareCache();
    const int b = BorderWidth();
    if (b > 0 && FCommonData->FCacheBmp)
        BitBltBorder(dc, 0, 0, Width(), Height(), FCommonData->FCacheBmp->Canvas()->Handle(), 0, 0, b);
    SavedDC saved(dc);
    ::OffsetViewportOrgEx(dc, b, b, nullptr);
    const TRect client = GetClientRect();
    ::IntersectClipRect(dc, 0, 0, client.Width(), client.Height());
    OurPaintHandler(dc);
}

bool TsStatusBar::SkinnedMessage(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_MOVE: {
        TsSkinManager* m = FCommonData->GetSkinManager();
        const TsGeneralData& g = m->gd[size_t(FCommonData->SkinIndex)];
        if (g.Transparency > 0 || g.HotTransparency > 0) {
            FCommonData->BGChanged = true;
            if (ComponentState().Contains(csDesigning)) {
                Repaint();
                Perform(WM_NCPAINT);
            }
        }
        return false;
    }
    case WM_PAINT:
        if (InAnimationProcess)
            return true;
        SetControlState(ControlState() + csCustomPaint);
        OurPaintHandler(reinterpret_cast<HDC>(Message.WParam));
        return false;
    case WM_ERASEBKGND:
        EraseBkgnd(Message);
        return true;
    case WM_NCPAINT:
        NCPaint();
        return true;
    case WM_PRINTCLIENT:
        PrintClient(Message);
        return true;
    }
    return false;
}

void TsStatusBar::AfterMessage(const TMessage& Message)
{
    switch (Message.Msg) {
    case WM_SIZE:
        if (Visible() && BorderWidth() > 0)
            Perform(WM_NCPAINT);
        break;
    case WM_PAINT:
        SetControlState(ControlState() - csCustomPaint);
        break;
    // What the bar shows changed (a mere query such as SB_GETRECT changes nothing).
    case SB_SETTEXTA:
    case SB_SETTEXTW:
    case SB_SETPARTS:
    case SB_SIMPLE:
        FCommonData->BGChanged = true;
        break;
    }
}

void TsStatusBar::WndProc(TMessage& Message)
{
    if (Message.Msg == SM_KORVEXCMD && Command(Message))
        return;
    if (!ControlIsReady(this) || !FCommonData->Skinned()) {
        TStatusBar::WndProc(Message);
        return;
    }
    if (SkinnedMessage(Message))
        return;
    if (CommonWndProc(Message, FCommonData))
        return;
    TStatusBar::WndProc(Message);
    AfterMessage(Message);
}

KV_BEGIN_PUBLISHED(TsStatusBar, TStatusBar)
    B.Object(L"SkinData", &C::SkinData);
KV_END_PUBLISHED
