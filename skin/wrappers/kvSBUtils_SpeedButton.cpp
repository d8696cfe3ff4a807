#include "skin/wrappers/kvSBUtils_SpeedButton.h"

#include "classlib/controls/Forms.h"
#include "classlib/graphics/GdiHandles.h"
#include "skin/core/kvWndMethodHook.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/sVclUtils.h"
#include "skin/paint/kvPNG.h"
#include "skin/paint/sAlphaGraph.h"
#include "skin/paint/sGraphUtils.h"
#include "skin/paint/sGraphUtils_BGInfo.h"
#include "skin/paint/sGraphUtils_Sections.h"
#include "skin/paint/sGraphUtils_Text.h"

TkvSpeedButtonHandler::TkvSpeedButtonHandler(TControl* Btn, TsCommonData* ASkinData, TsSkinManager* ASkinManager,
                                             const UnicodeString& SkinSection, bool)
    : Ctrl(Btn), SkinData(ASkinData)
{
    SkinManager = ASkinManager ? ASkinManager : SkinData->GetSkinManager();
    if (SkinData->SkinSection().empty())
        SkinData->SetSkinSection(SkinSection);
    FHook = new TkvWndMethodHook(Ctrl, Bind(this, &TkvSpeedButtonHandler::kvWndProc));
    OldWndProc = FHook->Old();
}

TkvSpeedButtonHandler::~TkvSpeedButtonHandler()
{
    *FAlive = false;
    if (!Destroyed) {
        TkvWndMethodHook::Release(FHook);
        Destroyed = true;
    }
    SkinManager = nullptr;
}

TsSkinManager* TkvSpeedButtonHandler::Manager() const
{
    return SkinData ? SkinData->GetSkinManager() : nullptr;
}

bool TkvSpeedButtonHandler::IsManager(LPARAM LParam) const
{
    TsSkinManager* m = Manager();
    return m && reinterpret_cast<LPARAM>(m) == LParam;
}

LRESULT TkvSpeedButtonHandler::CallPrevWndProc(TControl*, UINT Msg, WPARAM WParam, LPARAM& LParam)
{
    if (!OldWndProc.Assigned())
        return 0;
    TMessage m = MakeMessage(Msg, WParam, LParam);
    OldWndProc(m);
    LParam = m.LParam;
    return m.Result;
}

// ---------------------------------------------------------------------------
// The window procedure.

void TkvSpeedButtonHandler::kvWndProc(TMessage& Message)
{
    if (Message.Msg == SM_KORVEXCMD) {
        KorvexCommand(Message);
        return;
    }
    switch (Message.Msg) {
    case WM_PAINT:
        // Without a skin the button paints itself.
        if (SkinData->Skinned())
            KV_WMPaint(Message);
        else
            PassOn(Message);
        break;
    case CM_MOUSEENTER:
    case CM_MOUSELEAVE: MouseEnterLeave(Message); break;
    default: PassOn(Message); break;
    }
}

void TkvSpeedButtonHandler::RepaintIfVisible()
{
    if (Ctrl->Visible())
        Ctrl->Repaint();
}

void TkvSpeedButtonHandler::KorvexCommand(TMessage& Message)
{
    switch (HIWORD(Message.WParam)) {
    case SMC_SKIN_SET:
        if (IsManager(Message.LParam))
            CommonWndProc(Message, SkinData);
        else
            PassOn(Message);
        return;
    case SMC_SKIN_REMOVE:
        if (IsManager(Message.LParam) && !Ctrl->ComponentState().Contains(csDestroying)) {
            CommonWndProc(Message, SkinData);
            RepaintIfVisible();
        }
        PassOn(Message);
        return;
    case SMC_SKIN_REFRESH:
        if (IsManager(Message.LParam)) {
            CommonWndProc(Message, SkinData);
            RepaintIfVisible();
        } else {
            PassOn(Message);
        }
        return;
    case SMC_PARENT_UPDATED:
        if (SkinData->GetUpdating()) {
            SkinData->SetUpdating(false);
            Ctrl->Repaint();
        } else {
            PassOn(Message);
        }
        return;
    case SMC_IS_SKINNED: Message.Result = 1; return;
    case SMC_REPAINT_NOW:
        SkinData->FUpdating = false;
        SkinData->BGChanged = true;
        Ctrl->Repaint();
        PassOn(Message);
        return;
    case SMC_GET_APPLICATION: Message.Result = reinterpret_cast<LRESULT>(Application); return;
    default: PassOn(Message); return;
    }
}

void TkvSpeedButtonHandler::MouseEnterLeave(TMessage& Message)
{
    SkinData->FMouseAbove = Message.Msg == CM_MOUSEENTER;
    // The button's own handler may free this handler.
    const std::shared_ptr<bool> alive = FAlive;
    PassOn(Message);
    if (*alive)
        Ctrl->Repaint();
}

// ---------------------------------------------------------------------------
// Painting.

void TkvSpeedButtonHandler::KV_WMPaint(TMessage& Message)
{
    HDC dc = reinterpret_cast<HDC>(Message.WParam);
    if (!dc)
        return;
    SavedDC saved(dc);
    PrepareCache();
    UpdateCorners(SkinData, 0);
    ::BitBlt(dc, 0, 0, Ctrl->Width(), Ctrl->Height(), SkinData->FCacheBmp->Canvas()->Handle(), 0, 0, SRCCOPY);
}

void TkvSpeedButtonHandler::PrepareCache()
{
    InitCacheBmp(SkinData);
    TBitmap* cache = SkinData->FCacheBmp;
    cache->Canvas()->Font()->Assign(Ctrl->Font());
    TkvBGInfo info{};
    info.BgType = btUnknown;
    info.DrawDC = nullptr;
    info.PleaseDraw = false;
    GetBGInfo(&info, Ctrl->Parent(), false);
    TCacheInfo ci = BGInfoToCI(&info);
    // A parent whose picture is not there yet: nothing to paint over.
    if (ci.Ready && (!ci.Bmp || ci.Bmp->Width() == 0))
        return;
    const int state = CurrentState();
    PaintItem(SkinData, ci, true, state, TRect(0, 0, Ctrl->Width(), Ctrl->Height()), TPoint(Ctrl->Left(), Ctrl->Top()),
              cache, true);
    UpdateCorners(SkinData, state);
    DrawCaption();
    DrawGlyph();
    if (!Ctrl->Enabled()) {
        ci = GetParentCache(SkinData);
        BmpDisabledKind(cache, TsDisabledKind{dkBlended}, Ctrl->Parent(), ci, TPoint(Ctrl->Left(), Ctrl->Top()));
    }
    SkinData->BGChanged = false;
}

int TkvSpeedButtonHandler::CurrentState()
{
    if (TSpeedButton* b = Button())
        if (b->ButtonState() == bsDown || b->ButtonState() == bsExclusive)
            return 2;
    return ControlIsActive(SkinData) ? 1 : 0;
}

UnicodeString TkvSpeedButtonHandler::Caption()
{
    return Ctrl->Caption();
}

int TkvSpeedButtonHandler::GlyphWidth()
{
    TSpeedButton* b = Button();
    if (!b || b->Glyph()->Empty())
        return 0;
    return b->Glyph()->Width() / std::max(b->NumGlyphs(), 1);
}

int TkvSpeedButtonHandler::GlyphHeight()
{
    TSpeedButton* b = Button();
    return !b || b->Glyph()->Empty() ? 0 : b->Glyph()->Height();
}

TSize TkvSpeedButtonHandler::TextRectSize()
{
    const UnicodeString caption = Caption();
    if (caption.empty())
        return {0, 0};
    // Measured in the control's font, in a box of at most 255 pixels.
    if (!SkinData->FCacheBmp)
        InitCacheBmp(SkinData);
    TCanvas* canvas = SkinData->FCacheBmp->Canvas();
    canvas->Font()->Assign(Ctrl->Font());
    TRect r(0, 0, 255, 0);
    kvDrawText(canvas->Handle(), caption, r, DT_CALCRECT | DT_EXPANDTABS | DT_WORDBREAK);
    return {int(r.Width()), int(r.Height())};
}

TRect TkvSpeedButtonHandler::ImgRect()
{
    TSpeedButton* b = Button();
    const TButtonLayout layout = b ? b->Layout() : blGlyphLeft;
    const int margin = b ? b->Margin() : -1, spacing = b ? b->Spacing() : 4;
    const int w = Ctrl->Width(), h = Ctrl->Height();
    const int gw = GlyphWidth(), gh = GlyphHeight();
    const TSize text = TextRectSize();
    const bool captioned = !Caption().empty();
    const int sx = gw > 0 && captioned ? spacing : 0, sy = gh > 0 && captioned ? spacing : 0;
    const int x0 = (w - gw - sx - int(text.cx)) / 2, y0 = (h - gh - sy - int(text.cy)) / 2;
    int left = 0, top = 0;
    switch (layout) {
    case blGlyphLeft:
        left = margin == -1 ? x0 : margin;
        top = (h - gh) / 2;
        break;
    case blGlyphRight:
        left = margin == -1 ? w - x0 - gw : w - gw - margin;
        top = (h - gh) / 2;
        break;
    case blGlyphTop:
        left = (w - gw) / 2;
        top = margin == -1 ? y0 : margin;
        break;
    case blGlyphBottom:
        left = (w - gw) / 2;
        top = margin == -1 ? h - y0 - gh : h - gh - margin;
        break;
    }
    if (CurrentState() == 2) {
        ++left;
        ++top;
    }
    return TRect(left, top, left + gw, top + gh);
}

TRect TkvSpeedButtonHandler::CaptionRect()
{
    TSpeedButton* b = Button();
    const TButtonLayout layout = b ? b->Layout() : blGlyphLeft;
    const int margin = b ? b->Margin() : -1, spacing = b ? b->Spacing() : 4;
    const int w = Ctrl->Width(), h = Ctrl->Height();
    const TSize size = TextRectSize();
    const int tw = int(size.cx), th = int(size.cy);
    const int p = CurrentState() == 2 ? 1 : 0;
    const int middleX = p + (w - tw) / 2, middleY = p + (h - th) / 2;
    int left = 0, top = 0;
    if (GlyphWidth() > 0) {
        const TRect g = ImgRect();
        switch (layout) {
        case blGlyphLeft: left = g.right + spacing, top = middleY; break;
        case blGlyphRight: left = g.left - spacing - tw, top = middleY; break;
        case blGlyphTop: left = middleX, top = g.bottom + spacing; break;
        case blGlyphBottom: left = middleX, top = g.top - spacing - th; break;
        }
    } else if (margin == -1) {
        left = middleX;
        top = middleY;
    } else {
        switch (layout) {
        case blGlyphLeft: left = margin, top = middleY; break;
        case blGlyphRight: left = w - margin - tw, top = middleY; break;
        case blGlyphTop: left = middleX, top = margin; break;
        case blGlyphBottom: left = middleX, top = h - margin - th; break;
        }
    }
    return TRect(left, top, left + tw, top + th);
}

void TkvSpeedButtonHandler::DrawCaption()
{
    if (Caption().empty())
        return;
    TCanvas* canvas = SkinData->FCacheBmp->Canvas();
    canvas->Font()->Assign(Ctrl->Font());
    canvas->Brush()->SetStyle(bsClear);
    TRect r = CaptionRect();
    DoDrawText(r, GetStringFlags(Ctrl, taLeftJustify) | DT_EXPANDTABS | DT_WORDBREAK);
}

void TkvSpeedButtonHandler::DoDrawText(TRect& Rect, UINT Flags)
{
    const UINT flags = Ctrl->DrawTextBiDiModeFlags(Flags) & ~UINT(DT_SINGLELINE);
    TCanvas* canvas = SkinData->FCacheBmp->Canvas();
    canvas->Font()->Assign(Ctrl->Font());
    const UnicodeString caption = Caption();
    kvWriteTextEx(canvas, caption.c_str(), true, Rect, flags, SkinData, CurrentState() != 0);
}

void TkvSpeedButtonHandler::DrawGlyph()
{
    TSpeedButton* b = Button();
    if (!b || b->Glyph()->Empty())
        return;
    TBitmap* glyph = b->Glyph();
    if (glyph->PixelFormat() == pfDevice)
        glyph->SetHandleType(bmDIB);
    const TRect r = ImgRect();
    if (b->NumGlyphs() <= 1 && glyph->PixelFormat() == pf32bit) {
        // One frame with alpha: laid over the cache by its alpha.
        TPNGGraphic png;
        png.SetPixelFormat(pf32bit);
        png.SetSize(glyph->Width(), glyph->Height());
        ::BitBlt(png.Canvas()->Handle(), 0, 0, glyph->Width(), glyph->Height(), glyph->Canvas()->Handle(), 0, 0,
                 SRCCOPY);
        ::GdiFlush();
        SkinData->FCacheBmp->Canvas()->Draw(r.left, r.top, &png);
        return;
    }
    DrawGlyphEx(glyph, SkinData->FCacheBmp, r, b->NumGlyphs(), b->Enabled(), TsDisabledGlyphKind{dgBlended},
                CurrentState(), 0, b->Down(), false);
}
