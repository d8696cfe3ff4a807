#include "skin/editors/sEdit.h"

#include <utility>

#include "classlib/controls/Forms.h"
#include "skin/controls/sBoundLabel.h"
#include "skin/controls/sCtrlFrame.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/sVclUtils.h"
#include "skin/paint/sAlphaGraph.h"
#include "skin/paint/sGraphUtils.h"
#include "skin/paint/sGraphUtils_Sections.h"
#include "skin/paint/sGraphUtils_Text.h"

namespace {

int SingleBorder(TCustomEdit* Edit)
{
    if (Edit->BorderStyle() != bsSingle)
        return 0;
    return Edit->Ctl3D() ? 2 : 1;
}

int BevelCount(TWinControl* Control)
{
    return (Control->BevelInner() != bvNone ? 1 : 0) + (Control->BevelOuter() != bvNone ? 1 : 0);
}

// A window DC saved on the way in and restored and released on the way out.
class TWindowDC {
public:
    explicit TWindowDC(HWND Wnd) : FWnd(Wnd), FDC(::GetWindowDC(Wnd)), FSaved(FDC ? ::SaveDC(FDC) : 0) {}
    ~TWindowDC()
    {
        if (!FDC)
            return;
        ::RestoreDC(FDC, FSaved);
        ::ReleaseDC(FWnd, FDC);
    }
    TWindowDC(const TWindowDC&) = delete;
    TWindowDC& operator=(const TWindowDC&) = delete;
    HDC DC() const { return FDC; }

private:
    HWND FWnd;
    HDC FDC;
    int FSaved;
};

} // namespace

int EditFrameWidth(TCustomEdit* Edit)
{
    if (Edit->BorderStyle() == bsSingle)
        return SingleBorder(Edit);
    return BevelCount(Edit);
}

int EditPrintFrameWidth(TCustomEdit* Edit) { return SingleBorder(Edit); }

int EditTextInset(TCustomEdit* Edit)
{
    return SingleBorder(Edit) + (Edit->BevelKind() != bkNone ? BevelCount(Edit) : 0);
}

// ---------------------------------------------------------------------------

TsEdit::TsEdit(TComponent* AOwner) : TEdit(AOwner)
{
    FCommonData = new TsCommonData(this, true);
    FCommonData->COC = 3;
    FBoundLabel = new TsBoundLabel(this, FCommonData);
}

TsEdit::~TsEdit()
{
    delete std::exchange(FBoundLabel, nullptr);
    delete std::exchange(FCommonData, nullptr);
}

void TsEdit::AfterConstruction()
{
    TEdit::AfterConstruction();
    FCommonData->Loaded();
}

void TsEdit::Loaded()
{
    TEdit::Loaded();
    FCommonData->Loaded();
}

void TsEdit::SetDisabledKind(TsDisabledKind Value)
{
    if (FDisabledKind == Value)
        return;
    FDisabledKind = Value;
    FCommonData->Invalidate();
}

void TsEdit::PrepareCache()
{
    TsCommonData* d = FCommonData;
    InitCacheBmp(d);
    const int state = ControlIsActive(d) ? 1 : 0;
    PaintItem(d, GetParentCache(d), true, state, TRect(0, 0, Width(), Height()), TPoint{Left(), Top()},
              d->FCacheBmp, false);
    PaintText();
    if (!Enabled())
        PaintDisabledLook(this, d, FDisabledKind);
    d->BGChanged = false;
}

void TsEdit::PaintText()
{
    TsCommonData* d = FCommonData;
    TCanvas* c = d->FCacheBmp->Canvas();
    c->Font()->Assign(Font());
    const int a = EditTextInset(this);
    TRect r(a + 1, a + 1, Width() - a, Height() - a);
    UnicodeString text = Text();
    if (PasswordChar())
        text = UnicodeString(text.size(), PasswordChar());
    kvWriteTextEx(c, text.c_str(), true, r, GetStringFlags(this, Alignment()) | 0x830, d, ControlIsActive(d));
}

void TsEdit::OurPaintHandler(HDC DC)
{
    TsCommonData* d = FCommonData;
    PAINTSTRUCT ps{};
    // A paint into a given DC (a print) leaves the window's update region
    // alone; only the window's own paint validates it.
    const bool bracket = !InAnimationProcess && !DC;
    if (bracket)
        ::BeginPaint(Handle(), &ps);
    d->FUpdating = d->GetUpdating();
    if (!d->FUpdating) {
        d->BGChanged = HalfVisibleChanged(this, d) || d->BGChanged;
        if (d->BGChanged && !d->UrgentPainting)
            PrepareCache();
        UpdateCorners(d, 0);
        if (DC) {
            ::BitBlt(DC, 0, 0, Width(), Height(), d->FCacheBmp->Canvas()->Handle(), 0, 0, SRCCOPY);
        } else {
            TWindowDC w(Handle());
            ::BitBlt(w.DC(), 0, 0, Width(), Height(), d->FCacheBmp->Canvas()->Handle(), 0, 0, SRCCOPY);
        }
    }
    if (bracket)
        ::EndPaint(Handle(), &ps);
}

void TsEdit::PaintBorder()
{
    TsCommonData* d = FCommonData;
    if (InAnimationProcess || !HandleAllocated())
        return;
    d->FUpdating = d->GetUpdating();
    if (d->FUpdating)
        return;
    TWindowDC w(Handle());
    if (d->BGChanged)
        PrepareCache();
    UpdateCorners(d, 0);
    BitBltBorder(w.DC(), 0, 0, Width(), Height(), d->FCacheBmp->Canvas()->Handle(), 0, 0, EditFrameWidth(this));
}

void TsEdit::ApplySkinColours()
{
    TsCommonData* d = FCommonData;
    TsSkinManager* m = d->GetSkinManager();
    if (!m || !m->IsValidSkinIndex(d->SkinIndex))
        return;
    const TsGeneralData& g = m->gd[d->SkinIndex];
    const bool active = ControlIsActive(d);
    const TColor colour = active ? g.HotColor : g.Color;
    const TColor fontColour = active ? g.HotFontColor[1] : g.FontColor[1];
    if (!d->CustomColor() && Color() != colour)
        SetColor(colour);
    if (!d->CustomFont() && Font()->Color() != fontColour)
        Font()->SetColor(fontColour);
}

void TsEdit::WndProc(TMessage& Message)
{
    TsCommonData* d = FCommonData;
    if (!d) {
        TEdit::WndProc(Message);
        return;
    }
    if (Message.Msg == SM_KORVEXCMD) {
        switch (Message.WParamHi) {
        case SMC_SKIN_SET:
        case SMC_SKIN_REMOVE:
            if (OwnManagerCommand(Message, d)) {
                CommonWndProc(Message, d);
                return;
            }
            break;
        case SMC_SKIN_REFRESH:
            if (OwnManagerCommand(Message, d)) {
                CommonWndProc(Message, d);
                if (!InAnimationProcess && HandleAllocated())
                    ::RedrawWindow(Handle(), nullptr, nullptr, RDW_FRAME | RDW_ERASE | RDW_INVALIDATE);
                return;
            }
            break;
        case SMC_IS_SKINNED:
            Message.Result = 1;
            return;
        case SMC_GET_TEXTURED:
            Message.LParam = 0;
            return;
        case SMC_GET_BG_COLOR:
            if (!d->Skinned()) {
                Message.Result = ColorToRGB(Color());
                return;
            }
            break;
        case SMC_GET_APPLICATION:
            Message.Result = reinterpret_cast<LRESULT>(Application);
            return;
        default:
            break;
        }
    }
    if (!ControlIsReady(this) || !d->Skinned(true)) {
        TEdit::WndProc(Message);
        BoundLabelFollows(FBoundLabel, this, FDisabledKind, Message);
        return;
    }
    switch (Message.Msg) {
    case WM_PAINT:
        d->FUpdating = d->GetUpdating();
        if (InAnimationProcess || d->FUpdating) {
            PAINTSTRUCT ps{};
            ::BeginPaint(Handle(), &ps);
            ::EndPaint(Handle(), &ps);
            return;
        }
        ApplySkinColours();
        if (Enabled())
            TEdit::WndProc(Message);
        else
            OurPaintHandler(reinterpret_cast<HDC>(Message.WParam));
        return;
    case WM_ERASEBKGND:
    case CN_DRAWITEM:
        d->FUpdating = d->GetUpdating();
        if (InAnimationProcess || d->FUpdating || !Enabled())
            return;
        TEdit::WndProc(Message);
        return;
    case WM_NCPAINT:
        if (!InAnimationProcess)
            PaintBorder();
        return;
    case WM_PRINT: {
        HDC dc = reinterpret_cast<HDC>(Message.WParam);
        d->SetUpdating(false);
        PrepareCache();
        UpdateCorners(d, 0);
        const int fw = EditPrintFrameWidth(this);
        const int w = d->FCacheBmp->Width();
        const int h = d->FCacheBmp->Height();
        HDC cache = d->FCacheBmp->Canvas()->Handle();
        BitBltBorder(dc, 0, 0, w, h, cache, 0, 0, fw);
        OurPaintHandler(dc);
        // The client area is printed over the picture, inside the frame;
        // the caller gets its DC back as it gave it.
        const int saved = ::SaveDC(dc);
        POINT old{};
        ::OffsetViewportOrgEx(dc, fw, fw, &old);
        ::IntersectClipRect(dc, 0, 0, w - 2 * fw, h - 2 * fw);
        if (!CommonWndProc(Message, d))
            TEdit::WndProc(Message);
        ::RestoreDC(dc, saved);
        BoundLabelFollows(FBoundLabel, this, FDisabledKind, Message);
        return;
    }
    case CM_COLORCHANGED:
        if (d->CustomColor())
            d->BGChanged = true;
        break;
    default:
        break;
    }
    if (CommonWndProc(Message, d)) {
        BoundLabelFollows(FBoundLabel, this, FDisabledKind, Message);
        return;
    }
    TEdit::WndProc(Message);
    switch (Message.Msg) {
    case WM_SIZE:
        if (HandleAllocated())
            ::SendMessageW(Handle(), WM_NCPAINT, 0, 0);
        break;
    case WM_KILLFOCUS:
    case CM_EXIT:
        if (FCommonData) {
            d->FFocused = false;
            d->FMouseAbove = false;
            d->BGChanged = true;
            if (Visible())
                Repaint();
        }
        break;
    case WM_SETTEXT:
    case WM_SETFONT:
    case CM_VISIBLECHANGED:
    case CM_ENABLEDCHANGED:
    case CM_TEXTCHANGED:
        if (!ComponentState().Contains(csLoading) && !InAnimationProcess) {
            d->Invalidate();
            if (HandleAllocated())
                ::SendMessageW(Handle(), WM_NCPAINT, 0, 0);
        }
        break;
    default:
        if (Message.Msg == SM_KORVEXCMD && Message.WParamHi == SMC_PARENT_UPDATED && d->FUpdating) {
            d->SetUpdating(false);
            Repaint();
            if (HandleAllocated())
                ::SendMessageW(Handle(), WM_NCPAINT, 0, 0);
        }
        break;
    }
    BoundLabelFollows(FBoundLabel, this, FDisabledKind, Message);
}

KV_BEGIN_PUBLISHED(TsEdit, TEdit)
    B.Object(L"SkinData", &C::SkinData);
    B.Object(L"BoundLabel", &C::BoundLabel);
    B.Set(L"DisabledKind", &C::DisabledKind, &C::SetDisabledKind, 1, {L"dkBlended", L"dkGrayed"}, L"TsDisabledKind");
KV_END_PUBLISHED

namespace {
[[maybe_unused]] const bool kRegistered = (RegisterClasses<TsEdit>(), true);
} // namespace
