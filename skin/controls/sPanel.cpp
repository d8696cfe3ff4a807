#include "skin/controls/sPanel.h"

#include <algorithm>
#include <utility>

#include "classlib/controls/Forms.h"
#include "classlib/graphics/GdiHandles.h"
#include "skin/core/kvntUtils.h"
#include "skin/core/sMessages.h"
#include "skin/core/sVclUtils.h"
#include "skin/paint/sAlphaGraph.h"
#include "skin/paint/sBorders.h"
#include "skin/paint/sGraphUtils.h"
#include "skin/paint/sGraphUtils_BGInfo.h"
#include "skin/paint/sGraphUtils_Sections.h"
#include "skin/paint/sGraphUtils_Text.h"

namespace {

int Cmd(const TMessage& M) { return HIWORD(M.WParam); }

// Runs SkinData's Loaded once the skin data exists (it is dropped first in
// the destructor).
void SkinLoaded(TsCommonData* Data)
{
    if (Data)
        Data->Loaded();
}

} // namespace

// ---------------------------------------------------------------------------
// TsPanel

TsPanel::TsPanel(TComponent* AOwner) : TPanel(AOwner)
{
    FCommonData = New<TsCommonData>(this, true);
    FCommonData->COC = COC_TsPanel;
}

TsPanel::~TsPanel()
{
    TsCommonData* d = std::exchange(FCommonData, nullptr);
    delete d;
}

void TsPanel::AfterConstruction()
{
    TPanel::AfterConstruction();
    SkinLoaded(FCommonData);
}

void TsPanel::Loaded()
{
    TPanel::Loaded();
    SkinLoaded(FCommonData);
}

int TsPanel::BevelInset() const
{
    int bevels = (BevelInner() != bvNone ? 1 : 0) + (BevelOuter() != bvNone ? 1 : 0);
    return BevelWidth() * bevels + BorderWidth();
}

bool TsPanel::UsesCache()
{
    return FCommonData && IsCached(FCommonData) && !FCommonData->CustomColor();
}

void TsPanel::Paint()
{
    TPanel::Paint();
    if (FOnPaint && Showing())
        FOnPaint(this, Canvas());
}

void TsPanel::PaintWindow(HDC DC)
{
    TPanel::PaintWindow(DC);
    OurPaint(DC, true);
}

void TsPanel::PrepareCache()
{
    if (!FCommonData)
        return;
    if (!IsCached(FCommonData) && !InAnimationProcess && !dynamic_cast<TsColorsPanel*>(this))
        return;
    const bool behindChanged = FCommonData->BGChanged;
    FCommonData->InitCacheBmp();
    // The border mask's centre is filled for the drag bar only.
    PaintSkinControl(FCommonData, Parent(), dynamic_cast<TsDragBar*>(this) != nullptr, 0,
                     TRect(0, 0, Width(), Height()), TPoint(Left(), Top()), FCommonData->FCacheBmp, true);
    TRect r = ClientRect();
    InflateRect(&r, -BevelInset(), -BevelInset());
    WriteText(r, FCommonData->FCacheBmp->Canvas());
    if (FOnPaint)
        FOnPaint(this, FCommonData->FCacheBmp->Canvas());
    FCommonData->BGChanged = false;
    // What lies behind the children changed with this picture: they rebuild
    // theirs at their next paint (and only then).
    if (behindChanged && HandleAllocated()) {
        TMessage m = MakeMessage(SM_KORVEXCMD, MakeKorvexWParam(SMC_BG_CHANGED), 0, 0);
        KorvexBroadCast(this, m);
    }
}

void TsPanel::WriteText(TRect R, TCanvas* aCanvas, HDC aDC)
{
    if (!ShowCaption() || !FCommonData)
        return;
    TOwned<TCanvas> temp;
    TCanvas* canvas = aCanvas;
    if (!canvas) {
        if (!aDC)
            return;
        temp.reset(New<TCanvas>());
        temp->SetHandle(aDC);
        canvas = temp.get();
    }
    canvas->Font()->Assign(Font());
    canvas->Brush()->SetStyle(bsClear);
    // One line, centred on the full height whatever the bevels.
    const int th = canvas->TextHeight(L"W");
    R.top = (Height() - th) / 2;
    R.bottom = R.top + th;
    const UINT flags = GetStringFlags(this, Alignment());
    const UnicodeString caption = Caption();
    kvWriteTextEx(canvas, caption.c_str(), Enabled(), R, flags, FCommonData, false);
    if (temp)
        temp->SetHandle(nullptr);
}

void TsPanel::PaintCached(HDC DC)
{
    FCommonData->FUpdating = FCommonData->GetUpdating();
    if (FCommonData->FUpdating)
        return;
    const bool needRepaint = FCommonData->HalfVisible || FCommonData->BGChanged;
    if (FCommonData->RepaintIfMoved()) {
        TRect clip{};
        GetClipBox(DC, &clip);
        FCommonData->HalfVisible = clip.Width() != Width() || clip.Height() != Height();
    } else
        FCommonData->HalfVisible = false;
    if (needRepaint && !FCommonData->UrgentPainting)
        PrepareCache();
    CopyWinControlCache(this, FCommonData, TRect(0, 0, 0, 0), TRect(0, 0, Width(), Height()), DC, false, 0, 0);
    ::PaintControls(DC, this, needRepaint && FCommonData->RepaintIfMoved(), TPoint(0, 0));
}

void TsPanel::PaintDirect(HDC DC)
{
    FCommonData->FUpdating = false;
    const int b = SkinBorderMaxWidth(FCommonData);
    TRect r(0, 0, Width(), Height());
    const int saved = SaveDC(DC);
    ExcludeControls(DC, this, kvtGraphic, 0, 0);

    TkvBGInfo info;
    if (FCommonData->CustomColor()) {
        info.Color = ColorToRGB(Color());
        info.BgType = btFill;
    } else
        GetBGInfo(&info, Parent(), false);

    const TsSkinManager* manager = FCommonData->GetSkinManager();
    const bool transparent = manager && BgIsTransparent(FCommonData);
    TOwned<TBitmap> border;
    auto paintBorder = [&](TColor Inner) {
        border.reset(CreateBmp24(Width(), Height()));
        TRect inner = PaintBorderFast(border->Canvas()->Handle(), r, b, FCommonData, 0);
        FillDC(DC, inner, Inner);
        BitBltBorder(DC, 0, 0, Width(), Height(), border->Canvas()->Handle(), 0, 0, b);
        return inner;
    };
    if (transparent && info.BgType == btCache && info.Bmp) {
        FCommonData->FUpdating = FCommonData->GetUpdating();
        if (!FCommonData->FUpdating) {
            HDC src = info.Bmp->Canvas()->Handle();
            if (b == 0)
                BitBlt(DC, 0, 0, Width(), Height(), src, info.Offset.x, info.Offset.y, SRCCOPY);
            else {
                paintBorder(info.Color);
                BitBlt(DC, b, b, Width() - 2 * b, Height() - 2 * b, src, info.Offset.x + b, info.Offset.y + b,
                       SRCCOPY);
            }
        }
    } else if (b == 0)
        // A panel that hides nothing of its parent shows its own colour.
        FillDC(DC, r, transparent || FCommonData->CustomColor() ? info.Color : GetBGColor(FCommonData, 0));
    else
        paintBorder(transparent ? info.Color : GetBGColor(FCommonData, 0));

    TRect tr = ClientRect();
    InflateRect(&tr, -BevelInset(), -BevelInset());
    WriteText(tr, nullptr, DC);
    if (FOnPaint)
        FOnPaint(this, Canvas());
    RestoreDC(DC, saved);
    ::PaintControls(DC, this, true, TPoint(0, 0));
}

void TsPanel::OurPaint(HDC DC, bool SendUpdated)
{
    // A copy painted off screen (PaintTo) paints a hidden form's panels too.
    if (!FCommonData || !FCommonData->Skinned() || !(Showing() || ControlState().Contains(csPaintCopy)))
        return;
    if (!DC)
        DC = Canvas()->Handle();
    if (UsesCache() || dynamic_cast<TsColorsPanel*>(this) || InAnimationProcess)
        PaintCached(DC);
    else
        PaintDirect(DC);
    if (SendUpdated)
        SetParentUpdated(this);
}

void TsPanel::AnswerBGInfo(PkvBGInfo Info)
{
    if (FCommonData->BGChanged && !FCommonData->GetUpdating())
        PrepareCache();
    InitBGInfo(FCommonData, Info, 0);
    // A panel with a non-client frame: the children's offsets start inside it.
    if (ClientRect().Width() != Width() && Info->BgType == btCache && !Info->PleaseDraw) {
        Info->Offset.x += BevelInset();
        Info->Offset.y += BevelInset();
    }
}

void TsPanel::RedrawAll()
{
    if (HandleAllocated())
        RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW);
}

// The command sub-commands the panel answers skinned or not; true when the
// message is finished.
bool TsPanel::CommandFirst(TMessage& Message)
{
    const bool ownManager = FCommonData && Message.LParam == reinterpret_cast<LPARAM>(FCommonData->GetSkinManager());
    switch (Cmd(Message)) {
    case SMC_SKIN_SET:
        FControlStyle -= csOpaque;
        KorvexBroadCast(this, Message);
        if (ownManager)
            CommonWndProc(Message, FCommonData);
        return true;
    case SMC_SKIN_REMOVE:
        FControlStyle -= csOpaque;
        if (ownManager) {
            CommonWndProc(Message, FCommonData);
            Invalidate();
        }
        KorvexBroadCast(this, Message);
        return true;
    case SMC_SKIN_REFRESH:
        if (ownManager) {
            CommonWndProc(Message, FCommonData);
            if (HandleAllocated() && !ComponentState().Contains(csLoading)) {
                InvalidateRect(Handle(), nullptr, TRUE);
                RedrawAll();
            }
        }
        KorvexBroadCast(this, Message);
        return true;
    case SMC_IS_SKINNED:
        Message.Result = 1;
        return true;
    case SMC_GET_BG_INFO:
        if (FCommonData && Message.LParam)
            AnswerBGInfo(reinterpret_cast<PkvBGInfo>(Message.LParam));
        return true;
    case SMC_GET_APPLICATION:
        Message.Result = reinterpret_cast<LRESULT>(Application);
        return true;
    default:
        return false;
    }
}

void TsPanel::DefaultSkinned(TMessage& Message)
{
    if (!CommonWndProc(Message, FCommonData))
        TPanel::WndProc(Message);
    if (!FCommonData)
        return;
    if (Message.Msg == WM_SETFONT && !Caption().empty()) {
        FCommonData->BGChanged = true;
        Repaint();
    } else if (Message.Msg == CM_ENABLEDCHANGED)
        FCommonData->Invalidate();
}

void TsPanel::WMPaintSkinned(TMessage& Message)
{
    if (!Visible() && !ComponentState().Contains(csDesigning)) {
        DefaultSkinned(Message);
        return;
    }
    PAINTSTRUCT ps{};
    HDC given = reinterpret_cast<HDC>(Message.WParam);
    HDC dc = given ? given : BeginPaint(Handle(), &ps);
    FCommonData->FUpdating = FCommonData->GetUpdating();
    if (UsesCache() && !FCommonData->FUpdating) {
        const int saved = SaveDC(dc);
        FControlState += csCustomPaint;
        Canvas()->Lock();
        Canvas()->SetHandle(dc);
        OurPaint(dc, true);
        Canvas()->SetHandle(nullptr);
        Canvas()->Unlock();
        RestoreDC(dc, saved);
        FControlState -= csCustomPaint;
    } else if (!FControlStyle.Contains(csParentBackground))
        OurPaint(dc, true);
    if (!given)
        EndPaint(Handle(), &ps);
    Message.Result = 0;
}

void TsPanel::WMPrintSkinned(TMessage& Message)
{
    FCommonData->FUpdating = false;
    if (!ControlIsReady(this))
        return;
    const bool temporary = !UsesCache() && !dynamic_cast<TsColorsPanel*>(this);
    if (temporary)
        FCommonData->InitCacheBmp();
    PrepareCache();
    UpdateCorners(FCommonData, 0);
    // A printed picture is a copy painted off screen, also of a hidden form.
    const bool copying = FControlState.Contains(csPaintCopy);
    FControlState += csPaintCopy;
    OurPaint(reinterpret_cast<HDC>(Message.WParam), false);
    if (!copying)
        FControlState -= csPaintCopy;
    if (temporary)
        FreeAndNil(FCommonData->FCacheBmp);
}

bool TsPanel::SkinnedMessage(TMessage& Message)
{
    if (Message.Msg == SM_KORVEXCMD) {
        switch (Cmd(Message)) {
        case SMC_PARENT_UPDATED:
            if (FCommonData->FUpdating) {
                FCommonData->FUpdating = false;
                FCommonData->FUpdating = FCommonData->GetUpdating();
                if (!FCommonData->FUpdating)
                    RedrawAll();
            }
            SetParentUpdated(this);
            return true;
        case SMC_GET_UPDATING:
            Message.Result = FCommonData->GetUpdating() ? 1 : 0;
            return true;
        default:
            CommonMessage(Message, FCommonData);
            return true;
        }
    }
    switch (Message.Msg) {
    case WM_PAINT:
        WMPaintSkinned(Message);
        return true;
    case WM_ERASEBKGND:
        FCommonData->FUpdating = FCommonData->GetUpdating();
        if (!UsesCache() && !FCommonData->FUpdating)
            OurPaint(reinterpret_cast<HDC>(Message.WParam), true);
        Message.Result = 1;
        return true;
    case WM_PRINT:
        WMPrintSkinned(Message);
        return true;
    case WM_SIZE:
        FCommonData->BGChanged = true;
        DefaultSkinned(Message);
        return true;
    case WM_WINDOWPOSCHANGING:
        if (BgIsTransparent(FCommonData))
            FCommonData->BGChanged = true;
        DefaultSkinned(Message);
        return true;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        TPanel::WndProc(Message);
        return true;
    case CM_VISIBLECHANGED:
        FCommonData->BGChanged = true;
        FCommonData->FUpdating = false;
        TPanel::WndProc(Message);
        return true;
    case CM_COLORCHANGED:
        if (FCommonData->CustomColor())
            FCommonData->BGChanged = true;
        DefaultSkinned(Message);
        return true;
    case CM_TEXTCHANGED:
        if (Parent())
            FCommonData->Invalidate();
        return true;
    default:
        DefaultSkinned(Message);
        return true;
    }
}

void TsPanel::NotSkinnedMessage(TMessage& Message)
{
    if (Message.Msg == WM_ERASEBKGND) {
        if (!FOnPaint)
            TPanel::WndProc(Message);
        return;
    }
    if (Message.Msg == WM_PRINT) {
        HDC dc = reinterpret_cast<HDC>(Message.WParam);
        if (FOnPaint && dc) {
            // The panel's own look first, then the handler's drawing over it.
            PaintTo(dc, 0, 0);
            Canvas()->Lock();
            Canvas()->SetHandle(dc);
            FOnPaint(this, Canvas());
            Canvas()->SetHandle(nullptr);
            Canvas()->Unlock();
        }
        return;
    }
    TPanel::WndProc(Message);
}

void TsPanel::WndProc(TMessage& Message)
{
    if (Message.Msg == SM_KORVEXCMD && CommandFirst(Message))
        return;
    if (FCommonData && ControlIsReady(this) && FCommonData->Skinned())
        SkinnedMessage(Message);
    else
        NotSkinnedMessage(Message);
    if (Message.Msg == CM_MOUSEENTER && FOnMouseEnter)
        FOnMouseEnter(this);
    else if (Message.Msg == CM_MOUSELEAVE && FOnMouseLeave)
        FOnMouseLeave(this);
}

// ---------------------------------------------------------------------------
// TsDragBar

TsDragBar::TsDragBar(TComponent* AOwner) : TsPanel(AOwner)
{
    FCommonData->COC = COC_TsDragBar;
    SetCaption(L" ");
    SetAlign(alTop);
    SetHeight(20);
    Font()->SetColor(clCaptionText);
    Font()->SetStyle(TFontStyles{fsBold});
    SetColor(clActiveCaption);
    SetCursor(crHandPoint);
    SetParentBackground(false);
}

void TsDragBar::ReadState(TReader* Reader)
{
    if (Reader && Reader->Parent() && !FDraggedControl)
        if (auto* parent = dynamic_cast<TControl*>(Reader->Parent()))
            SetDraggedControl(GetParentForm(parent, true));
    TsPanel::ReadState(Reader);
}

void TsDragBar::SetDraggedControl(TControl* Value)
{
    if (FDraggedControl == Value)
        return;
    if (FDraggedControl)
        FDraggedControl->RemoveFreeNotification(this);
    FDraggedControl = Value;
    if (FDraggedControl)
        FDraggedControl->FreeNotification(this);
}

void TsDragBar::Notification(TComponent* AComponent, TOperation Operation)
{
    TsPanel::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FDraggedControl)
        FDraggedControl = nullptr;
}

void TsDragBar::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TsPanel::MouseDown(Button, Shift, X, Y);
    if (Button == mbLeft && FDraggedControl) {
        ReleaseCapture();
        FDraggedControl->Perform(WM_SYSCOMMAND, 0xF012, 0);  // SC_MOVE + 2: drag by the caption
    }
}

void TsDragBar::FormActivated(bool Active)
{
    SetColor(Active ? clActiveCaption : clInactiveCaption);
}

void TsDragBar::WndProc(TMessage& Message)
{
    if (Message.Msg == WM_ACTIVATEAPP) {
        FormActivated(Message.WParam != 0);
        return;
    }
    TsPanel::WndProc(Message);
    if (Message.Msg == SM_KORVEXCMD && Cmd(Message) == SMC_SKIN_REMOVE) {
        SetColor(clActiveCaption);
        SetParentBackground(false);
    }
}

// ---------------------------------------------------------------------------
// TsGrip

TsGrip::TsGrip(TComponent* AOwner) : TsPanel(AOwner)
{
    SetCaption(L" ");
    FCommonData->SetSkinSection(L"CHECKBOX");
    SetAlign(alNone);
    SetHeight(20);
    SetWidth(20);
}

void TsGrip::Paint()
{
    PaintGrip(Canvas()->Handle());
}

// Skinned, the grip paints through the panel's route, into the given DC.
void TsGrip::OurPaint(HDC DC, bool SendUpdated)
{
    if (!FCommonData || !FCommonData->Skinned())
        return;
    PaintGrip(DC ? DC : Canvas()->Handle());
}

void TsGrip::PaintGrip(HDC dc)
{
    if (!ControlIsReady(this))
        return;
    FCommonData->BGChanged = false;
    const TRect all(0, 0, Width(), Height());
    if (Transparent && LinkedControl) {
        TkvBGInfo info;
        GetBGInfo(&info, LinkedControl, false);
        TCacheInfo ci = BGInfoToCI(&info);
        if (ci.Ready && ci.Bmp) {
            // The bottom-right corner of what lies behind the linked
            // control's client area, clipped to the bitmap.
            const TRect client = LinkedControl->ClientRect();
            int sx = ci.X + client.Width() - Width();
            int sy = ci.Y + client.Height() - Height();
            TRect src(sx, sy, sx + Width(), sy + Height());
            TRect bmp(0, 0, ci.Bmp->Width(), ci.Bmp->Height());
            TRect part{};
            FillDC(dc, all, ColorToRGB(clBtnFace));
            if (IntersectRect(&part, &src, &bmp))
                BitBlt(dc, part.left - sx, part.top - sy, part.Width(), part.Height(), ci.Bmp->Canvas()->Handle(),
                       part.left, part.top, SRCCOPY);
            return;
        }
        FillDC(dc, all, ci.FillColor);
        return;
    }
    FillDC(dc, all, FCommonData->Skinned() ? GetBGColor(FCommonData, 0) : ColorToRGB(Color()));
}

// ---------------------------------------------------------------------------
// TsColorsPanel

TColor ColorsPanelEntryColor(const UnicodeString& Entry)
{
    const UnicodeString word = ExtractWord(1, Entry, TsCharSet(L" \r\n"));
    const auto rgb = static_cast<uint32_t>(HexToInt(word));
    // RRGGBB to a TColor (red in the lowest byte).
    return static_cast<TColor>(((rgb & 0xFF) << 16) | (rgb & 0xFF00) | ((rgb >> 16) & 0xFF));
}

TsColorsPanel::TsColorsPanel(TComponent* AOwner) : TsPanel(AOwner)
{
    SetCaption(L" ");
    FColors = New<TStringList>();
    SetHeight(60);
    SetWidth(140);
}

TsColorsPanel::~TsColorsPanel()
{
    delete std::exchange(FColors, nullptr);
}

void TsColorsPanel::AfterConstruction()
{
    TsPanel::AfterConstruction();
    GenerateColors();
}

void TsColorsPanel::Loaded()
{
    TsPanel::Loaded();
    GenerateColors();
}

void TsColorsPanel::SetLayoutValue(int& Field, int Value)
{
    if (Field == Value)
        return;
    Field = Value;
    GenerateColors();
    FCommonData->Invalidate();
}

void TsColorsPanel::SetColors(TStrings* Value)
{
    FColors->Assign(Value);
    GenerateColors();
    FCommonData->Invalidate();
}

void TsColorsPanel::GenerateColors()
{
    ColorsArray.clear();
    const int rows = std::max(FRowCount, 0);
    const int cols = std::max(FColCount, 0);
    int i = 0;
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < cols; ++c, ++i) {
            TsColInfo info;
            if (i < FColors->Count())
                info.Color = ColorsPanelEntryColor(FColors->Strings(i));
            else {
                info.Color = clWhite;
                FColors->Add(L"FFFFFF");
            }
            info.Index = i;
            info.Selected = i == FItemIndex;
            info.R.left = FItemMargin + c * (FItemWidth + FItemMargin);
            info.R.top = FItemMargin + r * (FItemHeight + FItemMargin);
            info.R.right = info.R.left + FItemWidth;
            info.R.bottom = info.R.top + FItemHeight;
            ColorsArray.push_back(info);
        }
    // A selection beyond the cells that are left is no selection.
    if (FItemIndex >= CellCount())
        FItemIndex = -1;
}

int TsColorsPanel::GetItemByCoord(const TPoint& P) const
{
    for (const TsColInfo& c : ColorsArray) {
        TRect r = c.R;
        InflateRect(&r, FItemMargin, FItemMargin);
        if (PtInRect(&r, P))
            return c.Index;
    }
    return -1;
}

TColor TsColorsPanel::ColorValue() const
{
    if (FItemIndex < 0 || FItemIndex >= CellCount())
        return 0xFFFFFF;
    return ColorsArray[FItemIndex].Color;
}

void TsColorsPanel::SetItemIndex(int Value)
{
    // Selections stay within the cells: anything outside is no selection.
    if (FItemIndex >= CellCount())
        FItemIndex = -1;
    if (Value < -1 || Value >= CellCount())
        Value = -1;
    if (Value == FItemIndex)
        return;
    if (FItemIndex != -1)
        ColorsArray[FItemIndex].Selected = false;
    OldSelected = FItemIndex;
    FItemIndex = Value;
    if (Value != -1)
        ColorsArray[Value].Selected = true;
    if (OnChange)
        OnChange(this);
    Repaint();
}

void TsColorsPanel::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TsPanel::MouseDown(Button, Shift, X, Y);
    if (CanFocus())
        SetFocus();
    SetItemIndex(GetItemByCoord(TPoint(X, Y)));
}

void TsColorsPanel::PaintColors(HDC DC)
{
    for (const TsColInfo& c : ColorsArray)
        FillDC(DC, c.R, ColorToRGB(c.Color));
}

void TsColorsPanel::PaintSelection(HDC DC)
{
    if (FItemIndex < 0 || FItemIndex >= CellCount() || FOnPaint)
        return;
    TRect r = ColorsArray[FItemIndex].R;
    InflateRect(&r, 1, 1);
    GdiObject<HBRUSH> white(CreateSolidBrush(0xFFFFFF));
    FrameRect(DC, &r, white.Get());
    InflateRect(&r, 1, 1);
    GdiObject<HBRUSH> black(CreateSolidBrush(0));
    FrameRect(DC, &r, black.Get());
    if (Focused()) {
        InflateRect(&r, 2, 2);
        DrawFocusRect(DC, &r);
    }
}

void TsColorsPanel::OurPaint(HDC DC, bool SendUpdated)
{
    if (ComponentState().Contains(csDestroying) || !FCommonData)
        return;
    if (Parent() && Parent()->ControlState().Contains(csCreating))
        return;
    if (!DC)
        DC = Canvas()->Handle();
    if (FCommonData->Skinned()) {
        FCommonData->FUpdating = FCommonData->GetUpdating();
        if (!FCommonData->FUpdating) {
            FCommonData->InitCacheBmp();
            if (Parent()) {
                const TRect pr = Parent()->ClientRect();
                const TPoint tl(Left(), Top()), br(Left() + Width(), Top() + Height());
                FCommonData->HalfVisible = !(PtInRect(&pr, tl) && PtInRect(&pr, br));
            }
            TBitmap* cache = FCommonData->FCacheBmp;
            if (!FCommonData->UrgentPainting) {
                PaintItem(FCommonData, GetParentCache(FCommonData), false, 0, TRect(0, 0, Width(), Height()),
                          TPoint(Left(), Top()), cache, false);
                FCommonData->BGChanged = false;
                if (!FOnPaint)
                    PaintColors(cache->Canvas()->Handle());
            }
            if (FOnPaint)
                FOnPaint(this, cache->Canvas());
            CopyWinControlCache(this, FCommonData, TRect(0, 0, 0, 0), TRect(0, 0, Width(), Height()), DC, true);
            ::PaintControls(DC, this, true, TPoint(0, 0));
            if (SendUpdated)
                SetParentUpdated(this);
        }
    } else {
        TsPanel::OurPaint(DC, SendUpdated);
        Perform(WM_NCPAINT, 0, 0);
        if (!FOnPaint)
            PaintColors(DC);
    }
    PaintSelection(DC);
}

void TsColorsPanel::WndProc(TMessage& Message)
{
    TsPanel::WndProc(Message);
    if ((Message.Msg == WM_SETFOCUS || Message.Msg == WM_KILLFOCUS) && FItemIndex != -1 && FColors)
        Repaint();
}

// ---------------------------------------------------------------------------
// Published properties

KV_BEGIN_PUBLISHED(TsPanel, TPanel)
    B.Object(L"SkinData", &C::SkinData);
    B.Event(L"OnPaint", &C::OnPaint, &C::SetOnPaint);
    B.Event(L"OnMouseEnter", &C::FOnMouseEnter);
    B.Event(L"OnMouseLeave", &C::FOnMouseLeave);
KV_END_PUBLISHED

KV_BEGIN_PUBLISHED(TsDragBar, TsPanel)
    B.Ref(L"DraggedControl", &C::DraggedControl, &C::SetDraggedControl);
KV_END_PUBLISHED

KV_BEGIN_PUBLISHED(TsContainer, TsPanel)
KV_END_PUBLISHED

KV_BEGIN_PUBLISHED(TsGrip, TsPanel)
KV_END_PUBLISHED

KV_BEGIN_PUBLISHED(TsColorsPanel, TsPanel)
    B.Int(L"ColCount", &C::ColCount, &C::SetColCount, 5);
    B.Object(L"Colors", &C::Colors, &C::SetColors);
    B.Int(L"ItemIndex", &C::ItemIndex, &C::SetItemIndex, -1);
    B.Int(L"ItemHeight", &C::ItemHeight, &C::SetItemHeight, 21);
    B.Int(L"ItemWidth", &C::ItemWidth, &C::SetItemWidth, 21);
    B.Int(L"ItemMargin", &C::ItemMargin, &C::SetItemMargin, 6);
    B.Int(L"RowCount", &C::RowCount, &C::SetRowCount, 2);
    B.Event(L"OnChange", &C::OnChange);
KV_END_PUBLISHED

KV_BEGIN_PUBLISHED(TsStdColorsPanel, TsColorsPanel)
KV_END_PUBLISHED

void RegisterPanelClasses()
{
    RegisterClasses<TsPanel, TsDragBar, TsContainer, TsGrip, TsColorsPanel, TsStdColorsPanel>();
}

namespace {
// Form resources may name these classes as soon as this unit is linked in.
[[maybe_unused]] const bool kRegistered = (RegisterPanelClasses(), true);
} // namespace
