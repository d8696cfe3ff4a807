#include "skin/wrappers/kvSBUtils_VirtualTree.h"

#include "classlib/graphics/GdiHandles.h"
#include "classlib/rtl/TypInfo.h"
#include "skin/core/kvntUtils.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/sSkinProps.h"
#include "skin/paint/sAlphaGraph.h"
#include "skin/paint/sGraphUtils.h"
#include "skin/paint/sGraphUtils_Sections.h"
#include "skin/paint/sGraphUtils_Text.h"
#include "skin/wrappers/kvSBUtils_Paint.h"

namespace {

bool Has(TObject* Obj, const wchar_t* Name)
{
    return Obj && kvntUtils::HasProperty(Obj, Name);
}

TObject* ObjOf(TObject* Obj, const wchar_t* Name)
{
    return Obj ? kvntUtils::GetObjProp(Obj, Name) : nullptr;
}

const wchar_t* const sOnDraw = L"OnAdvancedHeaderDraw";
const wchar_t* const sOnQuery = L"OnHeaderDrawQueryElements";

// A published colour or number of Obj, Default when it has none.
int IntOf(TObject* Obj, const wchar_t* Name, int Default = 0)
{
    return Has(Obj, Name) ? kvntUtils::GetIntProp(Obj, Name) : Default;
}

TFont* HeaderFont(TObject* Header)
{
    return dynamic_cast<TFont*>(ObjOf(Header, L"Font"));
}

} // namespace

TObject* TkvVirtualTreeViewWnd::Control() const
{
    return SkinData ? SkinData->FOwnerControl : nullptr;
}

TSize TkvVirtualTreeViewWnd::GetBorderDimensions()
{
    TSize r;
    const LONG style = ::GetWindowLongW(CtrlHandle, GWL_STYLE), ex = ::GetWindowLongW(CtrlHandle, GWL_EXSTYLE);
    if (style & WS_BORDER) {
        --r.cx;
        --r.cy;
    }
    if (style & WS_THICKFRAME) {
        r.cx -= ::GetSystemMetrics(SM_CXDLGFRAME);
        r.cy -= ::GetSystemMetrics(SM_CYDLGFRAME);
    }
    if (ex & WS_EX_CLIENTEDGE) {
        r.cx -= ::GetSystemMetrics(SM_CXEDGE);
        r.cy -= ::GetSystemMetrics(SM_CYEDGE);
    }
    return r;
}

// ---------------------------------------------------------------------------
// Colours and events

void TkvVirtualTreeViewWnd::SaveStdParams()
{
    TkvEditWnd::SaveStdParams();
    TObject* c = Control();
    if (!c)
        return;
    FSaved = true;
    if (TObject* vet = ObjOf(c, L"VETColors")) {
        CompressedTextColor = IntOf(vet, L"CompressedTextColor");
        FileTextColor = IntOf(vet, L"FileTextColor");
        FolderTextColor = IntOf(vet, L"FolderTextColor");
    }
    TObject* header = ObjOf(c, L"Header");
    OwnerDraw = kvntUtils::CheckSetProp(header, L"Options", L"hoOwnerDraw");
    HeaderColor = IntOf(header, L"Color", int(clBtnFace));
    if (TFont* f = HeaderFont(header))
        HeaderFontColor = f->Color();
    TObject* column = ObjOf(c, L"PaintInfoColumn");
    ColumnColor = IntOf(column, L"Color", int(clBtnFace));
    ColumnStyle = IntOf(column, L"Style");
    Themed = IntOf(c, L"Themed", 1) != 0;
}

bool TkvVirtualTreeViewWnd::InstallEvent(const wchar_t* Name, const TMethodValue& Handler)
{
    TObject* c = Control();
    PropInfo = c ? GetPropInfo(c, Name) : nullptr;
    if (!PropInfo || PropInfo->Kind != tkMethod || GetMethodProp(c, Name).Assigned())
        return false;
    try {
        SetMethodProp(c, Name, Handler);
    } catch (const EPropertyError&) {
        return false; // an event of another signature is left alone
    }
    return true;
}

void TkvVirtualTreeViewWnd::RemoveEvent(const wchar_t* Name)
{
    TObject* c = Control();
    if (!Has(c, Name))
        return;
    // An event the application assigned itself stays as it is.
    const TMethodValue v = GetMethodProp(c, Name);
    if (v.Assigned() && v.Data() == this)
        SetMethodProp(c, Name, TMethodValue());
}

void TkvVirtualTreeViewWnd::BeforeDestruction()
{
    if (!Destroyed) {
        RemoveEvent(sOnDraw);
        RemoveEvent(sOnQuery);
    }
    TkvEditWnd::BeforeDestruction();
}

void TkvVirtualTreeViewWnd::SetSkinParams()
{
    TkvEditWnd::SetSkinParams();
    TObject* c = Control();
    TsSkinManager* m = SkinData ? SkinData->GetSkinManager() : nullptr;
    if (!c || !m || !m->IsValidSkinIndex(SkinData->SkinIndex))
        return;
    if (TObject* vet = ObjOf(c, L"VETColors")) {
        const int hot = m->gd[size_t(SkinData->SkinIndex)].HotFontColor[1];
        SetIntPropIfPresent(vet, L"CompressedTextColor", hot);
        SetIntPropIfPresent(vet, L"FileTextColor", hot);
        SetIntPropIfPresent(vet, L"FolderTextColor", hot);
    }
    // The header is drawn by the wrapper only where the application left
    // the drawing events empty.
    if (InstallEvent(sOnDraw, TAdvancedHeaderPaintEvent(this, &TkvVirtualTreeViewWnd::AdvancedHeaderDraw))) {
        InstallEvent(sOnQuery, THeaderPaintQueryElementsEvent(this, &TkvVirtualTreeViewWnd::HeaderDrawQueryElements));
        if (TObject* header = ObjOf(c, L"Header"); Has(header, L"Options")) {
            SetSetPropValue(header, L"Options", L"hoOwnerDraw", true);
            FEventsOwned = true;
        }
    }
    if (TObject* column = ObjOf(c, L"PaintInfoColumn")) {
        SetIntPropIfPresent(column, L"Color", m->GetGlobalColor());
        SetIntPropIfPresent(column, L"Style", 1);
        TObject* header = ObjOf(c, L"Header");
        SetIntPropIfPresent(header, L"Color", m->GetActiveEditColor());
        if (TFont* f = HeaderFont(header))
            f->SetColor(m->GetGlobalFontColor());
        if (::IsWindow(CtrlHandle))
            ::RedrawWindow(CtrlHandle, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_FRAME);
        SetIntPropIfPresent(c, L"Themed", 0);
    }
}

void TkvVirtualTreeViewWnd::RestoreStdParams()
{
    TkvEditWnd::RestoreStdParams();
    TObject* c = Control();
    if (!c || !FSaved || (dynamic_cast<TComponent*>(c) &&
                          static_cast<TComponent*>(c)->ComponentState().Contains(csDestroying)))
        return;
    if (TObject* vet = ObjOf(c, L"VETColors")) {
        SetIntPropIfPresent(vet, L"CompressedTextColor", CompressedTextColor);
        SetIntPropIfPresent(vet, L"FileTextColor", FileTextColor);
        SetIntPropIfPresent(vet, L"FolderTextColor", FolderTextColor);
    }
    RemoveEvent(sOnDraw);
    RemoveEvent(sOnQuery);
    TObject* header = ObjOf(c, L"Header");
    if (FEventsOwned) {
        SetSetPropValue(header, L"Options", L"hoOwnerDraw", OwnerDraw);
        FEventsOwned = false;
    }
    // What the control had, not a fixed look.
    if (TObject* column = ObjOf(c, L"PaintInfoColumn")) {
        SetIntPropIfPresent(c, L"Themed", Themed ? 1 : 0);
        SetIntPropIfPresent(column, L"Color", ColumnColor);
        SetIntPropIfPresent(column, L"Style", ColumnStyle);
        SetIntPropIfPresent(header, L"Color", HeaderColor);
        if (TFont* f = HeaderFont(header))
            f->SetColor(HeaderFontColor);
    }
}

// ---------------------------------------------------------------------------
// The header handlers

void TkvVirtualTreeViewWnd::HeaderDrawQueryElements(TObject*, THeaderPaintInfo&, THeaderPaintElements& Elements)
{
    Elements = THeaderPaintElements{hpeBackground, hpeDropMark, hpeSortGlyph, hpeText};
}

void TkvVirtualTreeViewWnd::AdvancedHeaderDraw(TObject*, THeaderPaintInfo& PaintInfo, THeaderPaintElements Elements)
{
    if (Destroyed || DontRepaint || !SkinData || !SkinData->Skinned() || !PaintInfo.TargetCanvas)
        return;
    if (PaintInfo.Column) {
        DrawColumn(PaintInfo, Elements);
        return;
    }
    // The header area right of the columns.
    TsSkinManager* m = SkinData->GetSkinManager();
    if (SkinData->SkinIndex != -1)
        FillDC(PaintInfo.TargetCanvas->Handle(), PaintInfo.PaintRectangle,
               ColorToRGB(m->gd[size_t(SkinData->SkinIndex)].Color));
}

void TkvVirtualTreeViewWnd::DrawColumn(THeaderPaintInfo& PaintInfo, THeaderPaintElements Elements)
{
    TsSkinManager* m = SkinData->GetSkinManager();
    UnicodeString section = s_ColHeader;
    int index = m->GetSkinIndex(section);
    if (index < 0) {
        section = s_Button;
        index = m->GetSkinIndex(section);
    }
    const int state = PaintInfo.IsDownIndex ? 2 : PaintInfo.IsHoverIndex ? 1 : 0;
    const TRect& r = PaintInfo.PaintRectangle;
    const int w = r.Width(), h = r.Height();
    if (w <= 0 || h <= 0)
        return;
    TBitmap bmp(w, h, pf24bit);
    HDC target = PaintInfo.TargetCanvas->Handle();
    if (Elements.Contains(hpeBackground)) {
        TCacheInfo ci;
        ci.FillColor = ColorToRGB(index >= 0 ? m->gd[size_t(index)].Color : clBtnFace);
        if (SkinData->FCacheBmp && !SkinData->FCacheBmp->Empty())
            ci = MakeCacheInfo(SkinData->FCacheBmp, 0, 0);
        PaintItem(index, section, ci, true, state, TRect(0, 0, w, h), r.TopLeft(), &bmp, m);
        ::GdiFlush();
        ::BitBlt(target, r.left, r.top, w, h, bmp.Canvas()->Handle(), 0, 0, SRCCOPY);
        return;
    }
    ::BitBlt(bmp.Canvas()->Handle(), 0, 0, w, h, target, r.left, r.top, SRCCOPY);
    TObject* header = ObjOf(Control(), L"Header");
    TCollectionItem* column = PaintInfo.Column;
    const UnicodeString text = Has(column, L"Text") ? GetStrProp(column, L"Text") : UnicodeString();
    auto writeText = [&](unsigned Flags) {
        if (text.empty())
            return;
        if (TFont* f = HeaderFont(header))
            bmp.Canvas()->Font()->Assign(f);
        TRect t = PaintInfo.TextRectangle;
        OffsetRect(&t, -r.left, -r.top);
        kvWriteTextEx(bmp.Canvas(), text.c_str(), true, t, Flags, index, state != 0, m);
    };
    if (Elements.Contains(hpeText) && !Elements.Contains(hpeDropMark))
        writeText(0);
    if (Elements.Contains(hpeSortGlyph) && PaintInfo.ShowSortGlyph) {
        const bool up = IntOf(header, L"SortDirection") != 0;
        const int glyph = up ? m->GetMaskIndex(m->ConstData.IndexScrollTop, s_ScrollBtnTop, s_GlyphMask)
                             : m->GetMaskIndex(m->ConstData.IndexScrollBottom, s_ScrollBtnBottom, s_GlyphMask);
        if (glyph >= 0) {
            const TSize size = m->MaskSize(glyph);
            DrawSkinGlyph(&bmp, TPoint(PaintInfo.SortGlyphPos.x - r.left, (h - int(size.cy)) / 2), state, 1,
                          m->ma[size_t(glyph)], MakeCacheInfo(&bmp));
        }
    }
    if (Elements.Contains(hpeDropMark)) {
        const bool wrap = kvntUtils::CheckSetProp(column, L"Options", L"coWrapCaption");
        writeText(wrap ? DT_END_ELLIPSIS | DT_WORDBREAK | DT_VCENTER : DT_END_ELLIPSIS | DT_SINGLELINE | DT_VCENTER);
    }
    ::GdiFlush();
    ::BitBlt(target, r.left, r.top, w, h, bmp.Canvas()->Handle(), 0, 0, SRCCOPY);
}

// ---------------------------------------------------------------------------
// The window procedure

void TkvVirtualTreeViewWnd::NCPaint(TMessage& Message)
{
    InitCtrlData(this);
    if (RecheckUpdating(SkinData))
        return;
    if (SkinData->BGChanged) {
        if (!ParamsChanged)
            SetSkinParams();
        ::PrepareCache(SkinData, CtrlHandle, DlgMode);
    }
    FillWrapperCorners(SkinData, 0, this);
    HDC dc = ::GetWindowDC(CtrlHandle);
    {
        SavedDC saved(dc);
        BitBltBorder(dc, 0, 0, WndSize.cx, WndSize.cy, SkinData->FCacheBmp->Canvas()->Handle(), 0, 0, cxLeftEdge);
        LPARAM none = 0;
        CallPrevWndProc(CtrlHandle, WM_PRINT, WPARAM(dc), none);
        Kv_NCPaint(this, CtrlHandle, 0, 0, -1, dc);
    }
    ::ReleaseDC(CtrlHandle, dc);
    Message.Result = 0;
}

void TkvVirtualTreeViewWnd::Print(TMessage& Message)
{
    HDC dc = reinterpret_cast<HDC>(Message.WParam);
    InitCtrlData(this);
    SkinData->SetUpdating(false);
    if (SkinData->BGChanged) {
        if (!ParamsChanged)
            SetSkinParams();
        if (!DlgMode)
            ::PrepareCache(SkinData, CtrlHandle, DlgMode);
    }
    if (dc && !PrintClient(dc))
        return;
    if (!PassOnAlive(Message) || !dc)
        return;
    FillWrapperCorners(SkinData, 0, this);
    if (SkinData->FCacheBmp && !SkinData->FCacheBmp->Empty())
        BitBltBorder(dc, 0, 0, WndSize.cx, WndSize.cy, SkinData->FCacheBmp->Canvas()->Handle(), 0, 0, cxLeftEdge);
    Kv_NCPaint(this, CtrlHandle, 0, 0, -1, dc);
}

bool TkvVirtualTreeViewWnd::PrintClient(HDC DC)
{
    // The control's client part, below its header when that shows.
    TObject* header = ObjOf(Control(), L"Header");
    const int top = kvntUtils::CheckSetProp(header, L"Options", L"hoVisible") ? IntOf(header, L"Height") : 0;
    SavedDC saved(DC);
    ::OffsetViewportOrgEx(DC, cxLeftEdge, cxLeftEdge + top, nullptr);
    LPARAM none = 0;
    TkvAliveGuard guard(this);
    CallPrevWndProc(CtrlHandle, WM_PRINTCLIENT, WPARAM(DC), none);
    return guard.Alive() && !Destroyed;
}

bool TkvVirtualTreeViewWnd::PassOnAlive(TMessage& Message)
{
    TkvAliveGuard guard(this);
    PassOn(Message);
    return guard.Alive() && !Destroyed;
}

void TkvVirtualTreeViewWnd::ThumbTrack(const TMessage& Message)
{
    const int kind = Message.Msg == WM_HSCROLL ? SB_HORZ : SB_VERT;
    TkvScrollBar* bar = Bar(kind);
    if (!bar)
        return;
    SCROLLINFO si = bar->ScrollInfo;
    si.cbSize = sizeof(si);
    si.fMask = SIF_POS;
    si.nPos = si.nTrackPos;
    ::SetScrollInfo(CtrlHandle, kind, &si, FALSE);
}

void TkvVirtualTreeViewWnd::kvWndProc(TMessage& Message)
{
    if (Destroyed || !SkinData || !SkinData->Skinned()) {
        TkvEditWnd::kvWndProc(Message);
        return;
    }
    switch (Message.Msg) {
    case WM_ERASEBKGND: Message.Result = 1; return;
    case WM_NCPAINT:
        if (::IsWindowVisible(CtrlHandle)) {
            NCPaint(Message);
            return;
        }
        break;
    case WM_HSCROLL:
    case WM_VSCROLL:
        if (LOWORD(Message.WParam) == SB_THUMBTRACK)
            ThumbTrack(Message);
        break;
    case WM_PRINT: Print(Message); return;
    default: break;
    }
    TkvEditWnd::kvWndProc(Message);
}
