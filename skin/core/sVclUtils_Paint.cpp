// Painting graphic children into a device context and a control tree into
// a bitmap.
#include <vector>

#include "classlib/controls/ComCtrls.h"
#include "classlib/graphics/GdiHandles.h"
#include "classlib/rtl/TypInfo.h"
#include "skin/core/kvntUtils.h"
#include "skin/core/sConst.h"
#include "skin/core/sFormsSeam.h"
#include "skin/core/sVclUtils.h"

namespace {

constexpr TColor KeyColor = 0xFF00FF;
constexpr LPARAM PrintFlags = PRF_CLIENT | PRF_NONCLIENT | PRF_ERASEBKGND;

bool Destroying(const TComponent* Component)
{
    return Component->ComponentState().Contains(csDestroying);
}

bool Designing(const TComponent* Component)
{
    return Component->ComponentState().Contains(csDesigning);
}

// What Control shows behind its children: a skinned control answers
// SMC_GET_BG_INFO; any other one is a fill with its background colour.
TkvBGInfo AskBackground(TControl* Control)
{
    TkvBGInfo bg{};
    bg.BgType = btUnknown;
    const WPARAM wp = MakeKorvexWParam(SMC_GET_BG_INFO);
    const auto lp = reinterpret_cast<LPARAM>(&bg);
    auto* win = dynamic_cast<TWinControl*>(Control);
    if (win && win->HandleAllocated())
        ::SendMessageW(win->Handle(), SM_KORVEXCMD, wp, lp);
    else
        Control->Perform(SM_KORVEXCMD, wp, lp);
    if (bg.BgType == btUnknown) {
        bg.BgType = btFill;
        const auto answered =
            static_cast<TColor>(Control->Perform(SM_KORVEXCMD, MakeKorvexWParam(SMC_GET_BG_COLOR), 0));
        bg.Color = answered ? answered : ColorToRGB(Control->Color());
    }
    return bg;
}

void FillRectWith(HDC DC, const TRect& R, TColor Color)
{
    GdiObject<HBRUSH> brush(::CreateSolidBrush(ColorToRGB(Color)));
    ::FillRect(DC, &R, brush.Get());
}

// Fills R of DC with what Background shows at (X, Y) of its bitmap, or its colour.
void FillWithBackground(HDC DC, const TRect& R, const TkvBGInfo& Background, int X, int Y)
{
    if (Background.BgType == btCache && Background.Bmp)
        ::BitBlt(DC, R.left, R.top, R.Width(), R.Height(), Background.Bmp->Canvas()->Handle(), X, Y, SRCCOPY);
    else
        FillRectWith(DC, R, Background.Color);
}

// Tool buttons that are buttons paint themselves; separators and dividers
// are painted with the other graphic children.
bool IsToolButtonButton(TControl* Control)
{
    auto* b = dynamic_cast<TToolButton*>(Control);
    return b && (b->Style() == tbsButton || b->Style() == tbsCheck || b->Style() == tbsDropDown);
}

bool TakesPart(HDC DC, TControl* Child, const TPoint& Offset)
{
    if (!dynamic_cast<TGraphicControl*>(Child) || Destroying(Child))
        return false;
    if (!(Child->Visible() || Designing(Child)) || Child->Width() < 1 || Child->Height() < 1)
        return false;
    if (Child->ControlStyle().Contains(csNoDesignVisible) || IsToolButtonButton(Child))
        return false;
    TRect r = Child->BoundsRect();
    ::OffsetRect(&r, Offset.x, Offset.y);
    return ::RectVisible(DC, &r) != FALSE;
}

bool ClipIsEmpty(HDC DC)
{
    TRect clip{};
    return ::GetClipBox(DC, &clip) == NULLREGION || clip.Width() <= 0 || clip.Height() <= 0;
}

// The child's picture in Target at its own position, over Background.
void PaintChildInto(HDC Target, TWinControl* Parent, TControl* Child, const TkvBGInfo& Background,
                    const TPoint& BgOffset)
{
    const TRect bounds = Child->BoundsRect();
    if (Child->ControlStyle().Contains(csOpaque))
        FillRectWith(Target, bounds, GetControlColor(Child));
    else
        FillWithBackground(Target, bounds, Background, bounds.left + BgOffset.x, bounds.top + BgOffset.y);

    SavedDC saved(Target);
    ::SetViewportOrgEx(Target, bounds.left, bounds.top, nullptr);
    ::IntersectClipRect(Target, 0, 0, bounds.Width(), bounds.Height());
    const bool paintCopy = Parent->ControlState().Contains(csPaintCopy);
    if (paintCopy)
        Child->SetControlState(Child->ControlState() + csPaintCopy);
    try {
        Child->Perform(WM_PAINT, reinterpret_cast<WPARAM>(Target), 0);
    } catch (...) {
        if (paintCopy)
            Child->SetControlState(Child->ControlState() - csPaintCopy);
        throw;
    }
    if (paintCopy)
        Child->SetControlState(Child->ControlState() - csPaintCopy);
}

// The child lies partly outside what DC shows.
bool PartlyHidden(HDC DC, const TRect& Bounds)
{
    TRect clip{};
    ::GetClipBox(DC, &clip);
    TRect inside{};
    ::IntersectRect(&inside, &clip, &Bounds);
    return !::EqualRect(&inside, &Bounds);
}

} // namespace

void PaintControls(HDC DC, TWinControl* Parent, bool, const TPoint& Offset, HWND)
{
    if (!Parent || !(Parent->Visible() || Designing(Parent)) || Parent->ControlCount() == 0)
        return;
    if (ClipIsEmpty(DC)) {
        SendAMessage(Parent, SMC_SET_HALFVISIBLE, 0);
        return;
    }
    const TkvBGInfo background = AskBackground(Parent);
    const TPoint bgOffset = background.Offset;
    std::vector<TControl*> taking;
    for (int i = 0; i < Parent->ControlCount(); ++i)
        if (TakesPart(DC, Parent->Controls(i), Offset))
            taking.push_back(Parent->Controls(i));
    if (taking.empty())
        return;

    ScreenDC screen;
    MemoryDC mem(screen);
    GdiObject<HBITMAP> bmp(::CreateCompatibleBitmap(screen, Parent->Width(), Parent->Height()));
    SelectedObject selected(mem, bmp.Get());
    auto* form = dynamic_cast<TCustomForm*>(Parent);
    for (TControl* child : taking) {
        if (form && form->FormStyle() == fsMDIForm && child->Align() != alNone)
            child->Perform(SM_KORVEXCMD, MakeKorvexWParam(SMC_REPAINT_NOW), 0);
        TRect onDC = child->BoundsRect();
        ::OffsetRect(&onDC, Offset.x, Offset.y);
        if (PartlyHidden(DC, onDC))
            SendAMessage(child, SMC_SET_HALFVISIBLE, 0);
        PaintChildInto(mem, Parent, child, background, bgOffset);
    }
    for (TControl* child : taking) {
        if ((::GetPixel(mem, child->Left(), child->Top()) & 0xFFFFFF) == KeyColor)
            continue;
        ::BitBlt(DC, child->Left() + Offset.x, child->Top() + Offset.y, child->Width(), child->Height(), mem,
                 child->Left(), child->Top(), SRCCOPY);
    }
}

// ---------------------------------------------------------------------------
namespace {

void PaintHiddenControl(TBitmap* Bmp, TControl* Ctrl, int Left, int Top)
{
    const TkvBGInfo bg = AskBackground(Ctrl->Parent());
    const TRect r = Bounds(Left, Top, Ctrl->Width(), Ctrl->Height());
    FillWithBackground(Bmp->Canvas()->Handle(), r, bg, bg.Offset.x + Ctrl->Left(), bg.Offset.y + Ctrl->Top());
}

// The client area of a form with an extended-border window is opaque in
// the window image.
void MakeClientOpaque(TBitmap* Bmp, TControl* Ctrl, TsProviderSeam* Provider)
{
    if (Bmp->PixelFormat() != pf32bit)
        return;
    ::GdiFlush();
    TRect r = Ctrl->ClientRect();
    ::OffsetRect(&r, Provider->OffsetX(), Provider->OffsetY());
    TRect all = Bounds(0, 0, Bmp->Width(), Bmp->Height());
    ::IntersectRect(&r, &r, &all);
    for (int y = r.top; y < r.bottom; ++y) {
        auto* row = static_cast<uint8_t*>(Bmp->ScanLine(y));
        for (int x = r.left; x < r.right; ++x)
            row[x * 4 + 3] = 255;
    }
}

void PaintTree(TBitmap* Bmp, TControl* Ctrl, int Left, int Top, TsProviderSeam* Provider);

void PaintWindowedChildren(TBitmap* Bmp, TWinControl* Ctrl)
{
    const HDC dc = Bmp->Canvas()->Handle();
    for (int i = 0; i < Ctrl->ControlCount(); ++i) {
        auto* child = dynamic_cast<TWinControl*>(Ctrl->Controls(i));
        if (!child || !child->Visible())
            continue;
        SavedDC saved(dc);
        ::OffsetViewportOrgEx(dc, child->Left(), child->Top(), nullptr);
        PaintTree(Bmp, child, child->Left(), child->Top(), nullptr);
    }
}

void PaintTree(TBitmap* Bmp, TControl* Ctrl, int Left, int Top, TsProviderSeam* Provider)
{
    const HDC dc = Bmp->Canvas()->Handle();
    if (!Provider || !Provider->HasBorderForm())
        ::IntersectClipRect(dc, 0, 0, Ctrl->Width(), Ctrl->Height());
    auto* win = dynamic_cast<TWinControl*>(Ctrl);
    if (!win) {
        Ctrl->Perform(WM_PRINT, reinterpret_cast<WPARAM>(dc), PrintFlags);
        return;
    }
    // A tab sheet's border is drawn by its page control.
    const int border = dynamic_cast<TTabSheet*>(win) ? win->BorderWidth() : 0;
    if (border)
        ::OffsetViewportOrgEx(dc, border, border, nullptr);
    if (GetBoolMsg(win, SMC_IS_SKINNED))
        ::SendMessageW(win->Handle(), WM_PRINT, reinterpret_cast<WPARAM>(dc), PrintFlags);
    else
        win->PaintTo(dc, 0, 0);
    PaintWindowedChildren(Bmp, win);
    if (border)
        ::OffsetViewportOrgEx(dc, -border, -border, nullptr);
}

} // namespace

void SkinPaintTo(TBitmap* Bmp, TControl* Ctrl, int Left, int Top, TComponent* SkinProvider)
{
    if (!Bmp || !Ctrl)
        return;
    if (!Ctrl->Visible()) {
        if (!SkinProvider && Ctrl->Parent())
            PaintHiddenControl(Bmp, Ctrl, Left, Top);
        return;
    }
    auto* provider = dynamic_cast<TsProviderSeam*>(SkinProvider);
    {
        SavedDC saved(Bmp->Canvas()->Handle());
        PaintTree(Bmp, Ctrl, Left, Top, provider);
    }
    if (provider && provider->HasBorderForm())
        MakeClientOpaque(Bmp, Ctrl, provider);
}
