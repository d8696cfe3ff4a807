// Tool bars and tool buttons.
#include "classlib/controls/ComCtrls.h"

#include <algorithm>

#include "classlib/controls/Menus.h"
#include "classlib/graphics/GdiHandles.h"

namespace comctrls_detail {
void InitCommonControls();
}

namespace {
// Command ids of tool buttons, unique in the process.
int NextCommand()
{
    static int next = 1;
    return next++;
}
} // namespace

// ---------------------------------------------------------------------------
// TToolButton

TToolButton::TToolButton(TComponent* AOwner) : TGraphicControl(AOwner), FCommand(NextCommand())
{
    FControlStyle = {csCaptureMouse, csSetCaption};
    FWidth = 23;
    FHeight = 22;
}

TToolButton::~TToolButton()
{
    if (FToolBar)
        FToolBar->RemoveButton(this);
}

void TToolButton::SetParent(TWinControl* AParent)
{
    if (AParent == FParent)
        return;
    if (FToolBar)
        FToolBar->RemoveButton(this);
    TGraphicControl::SetParent(AParent);
    if (auto* bar = dynamic_cast<TToolBar*>(AParent))
        bar->InsertButton(this);
}

int TToolButton::Index() const
{
    if (!FToolBar)
        return -1;
    auto& list = FToolBar->FButtons;
    return int(std::find(list.begin(), list.end(), this) - list.begin());
}

BYTE TToolButton::StateFlags() const
{
    BYTE s = 0;
    if (Enabled())
        s |= TBSTATE_ENABLED;
    if (FDown)
        s |= FStyle == tbsCheck ? TBSTATE_CHECKED : TBSTATE_PRESSED;
    if (FWrap)
        s |= TBSTATE_WRAP;
    if (FMarked)
        s |= TBSTATE_MARKED;
    if (FIndeterminate)
        s |= TBSTATE_INDETERMINATE;
    if (!Visible())
        s |= TBSTATE_HIDDEN;
    return s;
}

BYTE TToolButton::StyleFlags() const
{
    switch (FStyle) {
    case tbsCheck: return BYTE(BTNS_CHECK | (FGrouped ? BTNS_GROUP : 0));
    case tbsDropDown: return BTNS_DROPDOWN;
    case tbsSeparator:
    case tbsDivider: return BTNS_SEP;
    default: return BTNS_BUTTON;
    }
}

void TToolButton::Changed()
{
    if (FToolBar)
        FToolBar->RebuildButtons();
}

void TToolButton::SetBoundsFromBar(const TRect& R)
{
    if (R.Width() <= 0 && R.Height() <= 0)
        return;
    FLeft = R.left;
    FTop = R.top;
    FWidth = R.Width();
    FHeight = R.Height();
}

void TToolButton::SetStyle(TToolButtonStyle Value)
{
    if (FStyle != Value) {
        FStyle = Value;
        if (Value == tbsSeparator || Value == tbsDivider)
            FWidth = 8;
        Changed();
    }
}

void TToolButton::SetImageIndex(int Value)
{
    if (FImageIndex != Value) {
        FImageIndex = Value;
        Changed();
    }
}

bool TToolButton::Down() const
{
    // The bar toggles a check button by itself.
    if (FToolBar && FToolBar->HandleAllocated()) {
        LRESULT state = SendMessageW(FToolBar->Handle(), TB_GETSTATE, FCommand, 0);
        if (state >= 0)
            return (state & (TBSTATE_CHECKED | TBSTATE_PRESSED)) != 0;
    }
    return FDown;
}

void TToolButton::SetDown(bool Value)
{
    FDown = Value;
    if (FToolBar && FToolBar->HandleAllocated())
        SendMessageW(FToolBar->Handle(), TB_SETSTATE, FCommand, MAKELONG(StateFlags(), 0));
}

void TToolButton::SetMarked(bool Value)
{
    if (FMarked != Value) {
        FMarked = Value;
        Changed();
    }
}

void TToolButton::SetIndeterminate(bool Value)
{
    if (FIndeterminate != Value) {
        FIndeterminate = Value;
        Changed();
    }
}

void TToolButton::SetGrouped(bool Value)
{
    if (FGrouped != Value) {
        FGrouped = Value;
        Changed();
    }
}

void TToolButton::SetWrap(bool Value)
{
    if (FWrap != Value) {
        FWrap = Value;
        Changed();
    }
}

void TToolButton::SetDropdownMenu(TPopupMenu* Value)
{
    if (FDropdownMenu)
        FDropdownMenu->RemoveFreeNotification(this);
    FDropdownMenu = Value;
    if (Value)
        Value->FreeNotification(this);
}

void TToolButton::Notification(TComponent* AComponent, TOperation Operation)
{
    TGraphicControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FDropdownMenu)
        FDropdownMenu = nullptr;
}

void TToolButton::WndProc(TMessage& Message) { TGraphicControl::WndProc(Message); }

void TToolButton::CMHitTest(TMessage& Message)
{
    // The bar's window takes the clicks of real buttons; separators and
    // dividers behave as graphic controls.
    Message.Result = FStyle == tbsSeparator || FStyle == tbsDivider ? HTCLIENT : 0;
}

void TToolButton::CMTextChanged(TMessage& Message)
{
    TGraphicControl::CMTextChanged(Message);
    Changed();
}

void TToolButton::CMEnabledChanged(TMessage& Message)
{
    TGraphicControl::CMEnabledChanged(Message);
    SetDown(FDown);
}

void TToolButton::CMVisibleChanged(TMessage& Message)
{
    TGraphicControl::CMVisibleChanged(Message);
    Changed();
}

void TToolButton::Paint()
{
    if (FStyle != tbsDivider)
        return;
    TRect r(FWidth / 2 - 1, 0, FWidth / 2 + 1, FHeight);
    ::DrawEdge(Canvas()->Handle(), &r, EDGE_ETCHED, BF_LEFT);
}

// ---------------------------------------------------------------------------
// TToolBar

TToolBar::TToolBar(TComponent* AOwner) : TWinControl(AOwner), FCanvas(new TControlCanvas())
{
    FControlStyle = {csAcceptsControls, csCaptureMouse, csClickEvents, csDoubleClicks, csSetCaption};
    FAlign = alTop;
    FWidth = 150;
    FHeight = 29;
    FCanvas->SetControl(this);
}

TToolBar::~TToolBar()
{
    for (TToolButton* b : FButtons)
        b->FToolBar = nullptr;
    FButtons.clear();
    delete FCanvas;
}

void TToolBar::CreateParams(TCreateParams& Params)
{
    comctrls_detail::InitCommonControls();
    TWinControl::CreateParams(Params);
    CreateSubClass(Params, TOOLBARCLASSNAMEW);
    Params.Style |= CCS_NOPARENTALIGN | CCS_NOMOVEY | CCS_NORESIZE | CCS_NODIVIDER;
    if (FFlat)
        Params.Style |= TBSTYLE_FLAT;
    if (FList)
        Params.Style |= TBSTYLE_LIST;
    Params.WindowClass.style &= ~UINT(CS_HREDRAW | CS_VREDRAW);
}

void TToolBar::CreateWnd()
{
    TWinControl::CreateWnd();
    SendMessageW(FHandle, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    RebuildButtons();
}

void TToolBar::InsertButton(TToolButton* Button)
{
    FButtons.push_back(Button);
    Button->FToolBar = this;
    RebuildButtons();
}

void TToolBar::RemoveButton(TToolButton* Button)
{
    FButtons.erase(std::remove(FButtons.begin(), FButtons.end(), Button), FButtons.end());
    Button->FToolBar = nullptr;
    if (!ComponentState().Contains(csDestroying))
        RebuildButtons();
}

void TToolBar::RebuildButtons()
{
    if (!HandleAllocated() || FUpdating)
        return;
    ++FUpdating;
    // Check buttons keep what the user made of them.
    for (TToolButton* b : FButtons)
        b->FDown = b->Down();
    while (SendMessageW(FHandle, TB_BUTTONCOUNT, 0, 0) > 0)
        SendMessageW(FHandle, TB_DELETEBUTTON, 0, 0);
    SendMessageW(FHandle, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(FImages ? FImages->Handle() : nullptr));
    SendMessageW(FHandle, TB_SETHOTIMAGELIST, 0,
                 reinterpret_cast<LPARAM>(FHotImages ? FHotImages->Handle() : nullptr));
    if (FImages)
        SendMessageW(FHandle, TB_SETBITMAPSIZE, 0, MAKELONG(FImages->Width(), FImages->Height()));
    std::vector<UnicodeString> texts;
    texts.reserve(FButtons.size());
    std::vector<TBBUTTON> buttons;
    for (TToolButton* b : FButtons) {
        TBBUTTON tb{};
        bool sep = b->FStyle == tbsSeparator || b->FStyle == tbsDivider;
        tb.iBitmap = sep ? b->FWidth : (b->FImageIndex >= 0 ? b->FImageIndex : I_IMAGENONE);
        tb.idCommand = b->FCommand;
        tb.fsState = b->StateFlags();
        tb.fsStyle = b->StyleFlags();
        tb.dwData = reinterpret_cast<DWORD_PTR>(b);
        texts.push_back(b->Caption());
        tb.iString = FShowCaptions && !sep ? reinterpret_cast<INT_PTR>(texts.back().c_str()) : -1;
        buttons.push_back(tb);
    }
    if (!buttons.empty())
        SendMessageW(FHandle, TB_ADDBUTTONSW, buttons.size(), reinterpret_cast<LPARAM>(buttons.data()));
    SendMessageW(FHandle, TB_SETBUTTONSIZE, 0, MAKELONG(FButtonWidth, FButtonHeight));
    --FUpdating;
    UpdateButtonBounds();
}

void TToolBar::UpdateButtonBounds()
{
    if (!HandleAllocated())
        return;
    for (size_t i = 0; i < FButtons.size(); ++i) {
        TRect r;
        if (SendMessageW(FHandle, TB_GETITEMRECT, i, reinterpret_cast<LPARAM>(&r)))
            FButtons[i]->SetBoundsFromBar(r);
    }
}

TToolButton* TToolBar::ButtonByCommand(int Command) const
{
    for (TToolButton* b : FButtons)
        if (b->FCommand == Command)
            return b;
    return nullptr;
}

namespace {
template <class T>
void SetAndRebuild(TWinControl* Bar, T& Field, T Value, bool Recreate)
{
    if (Field == Value)
        return;
    Field = Value;
    if (Recreate)
        Bar->RecreateWnd();
}
} // namespace

void TToolBar::SetFlat(bool Value) { SetAndRebuild(this, FFlat, Value, true); }
void TToolBar::SetList(bool Value) { SetAndRebuild(this, FList, Value, true); }

void TToolBar::SetShowCaptions(bool Value)
{
    if (FShowCaptions != Value) {
        FShowCaptions = Value;
        RebuildButtons();
    }
}

void TToolBar::SetButtonWidth(int Value)
{
    if (FButtonWidth != Value) {
        FButtonWidth = Value;
        RebuildButtons();
    }
}

void TToolBar::SetButtonHeight(int Value)
{
    if (FButtonHeight != Value) {
        FButtonHeight = Value;
        RebuildButtons();
    }
}

void TToolBar::SetEdgeBorders(TEdgeBorders Value) { SetAndRebuild(this, FEdgeBorders, Value, true); }
void TToolBar::SetEdgeInner(TEdgeStyle Value) { SetAndRebuild(this, FEdgeInner, Value, true); }
void TToolBar::SetEdgeOuter(TEdgeStyle Value) { SetAndRebuild(this, FEdgeOuter, Value, true); }

void TToolBar::SetImages(TCustomImageList* Value)
{
    if (FImages)
        FImages->RemoveFreeNotification(this);
    FImages = Value;
    if (Value)
        Value->FreeNotification(this);
    RebuildButtons();
}

void TToolBar::SetHotImages(TCustomImageList* Value)
{
    if (FHotImages)
        FHotImages->RemoveFreeNotification(this);
    FHotImages = Value;
    if (Value)
        Value->FreeNotification(this);
    RebuildButtons();
}

void TToolBar::Notification(TComponent* AComponent, TOperation Operation)
{
    TWinControl::Notification(AComponent, Operation);
    if (Operation != opRemove)
        return;
    if (AComponent == FImages)
        SetImages(nullptr);
    if (AComponent == FHotImages)
        SetHotImages(nullptr);
}

int TToolBar::EdgeWidth() const { return (FEdgeInner != esNone ? 1 : 0) + (FEdgeOuter != esNone ? 1 : 0); }

void TToolBar::NCCalcSize(TMessage& Message)
{
    DefaultHandler(Message);
    auto* r = reinterpret_cast<RECT*>(Message.LParam);
    int e = EdgeWidth();
    if (FEdgeBorders.Contains(ebLeft))
        r->left += e;
    if (FEdgeBorders.Contains(ebTop))
        r->top += e;
    if (FEdgeBorders.Contains(ebRight))
        r->right -= e;
    if (FEdgeBorders.Contains(ebBottom))
        r->bottom -= e;
}

void TToolBar::NCPaint(TMessage& Message)
{
    DefaultHandler(Message);
    if (EdgeWidth() == 0 || FEdgeBorders.Empty())
        return;
    static const UINT inner[] = {0, BDR_RAISEDINNER, BDR_SUNKENINNER};
    static const UINT outer[] = {0, BDR_RAISEDOUTER, BDR_SUNKENOUTER};
    UINT sides = (FEdgeBorders.Contains(ebLeft) ? BF_LEFT : 0) | (FEdgeBorders.Contains(ebTop) ? BF_TOP : 0) |
                 (FEdgeBorders.Contains(ebRight) ? BF_RIGHT : 0) |
                 (FEdgeBorders.Contains(ebBottom) ? BF_BOTTOM : 0);
    HDC dc = ::GetWindowDC(FHandle);
    RECT r;
    ::GetWindowRect(FHandle, &r);
    OffsetRect(&r, -r.left, -r.top);
    ::DrawEdge(dc, &r, inner[FEdgeInner] | outer[FEdgeOuter], sides);
    ::ReleaseDC(FHandle, dc);
}

void TToolBar::WMSize(TMessage& Message)
{
    TWinControl::WMSize(Message);
    if (HandleAllocated())
        SendMessageW(FHandle, TB_AUTOSIZE, 0, 0);
    UpdateButtonBounds();
}

void TToolBar::WndProc(TMessage& Message)
{
    switch (Message.Msg) {
    case CN_NOTIFY: CNNotify(Message); break;
    case CN_COMMAND: CNCommand(Message); break;
    case WM_NCCALCSIZE: NCCalcSize(Message); break;
    case WM_NCPAINT: NCPaint(Message); break;
    // Ours alone; the bar's window has no use for it.
    case CN_DROPDOWNCLOSED: break;
    default: TWinControl::WndProc(Message);
    }
}

void TToolBar::CNCommand(TMessage& Message)
{
    TToolButton* b = ButtonByCommand(LOWORD(Message.WParam));
    if (!b)
        return;
    b->FDown = b->Down();
    b->Click();
}

LRESULT TToolBar::CustomDraw(NMTBCUSTOMDRAW& Draw)
{
    NMCUSTOMDRAW& cd = Draw.nmcd;
    bool defaultDraw = true;
    if (cd.dwDrawStage == CDDS_PREPAINT) {
        if (OnAdvancedCustomDraw) {
            TCanvasPaintScope scope(FCanvas, cd.hdc);
            TRect r = cd.rc;
            OnAdvancedCustomDraw(this, r, cdPrePaint, defaultDraw);
        }
        LRESULT result = defaultDraw ? CDRF_DODEFAULT : CDRF_SKIPDEFAULT;
        return OnAdvancedCustomDrawButton ? result | CDRF_NOTIFYITEMDRAW : result;
    }
    if (cd.dwDrawStage != CDDS_ITEMPREPAINT || !OnAdvancedCustomDrawButton)
        return CDRF_DODEFAULT;
    TToolButton* b = ButtonByCommand(int(cd.dwItemSpec));
    if (!b)
        return CDRF_DODEFAULT;
    TCustomDrawState state = TCustomDrawState::FromOrd(cd.uItemState & 0x1FF);
    TTBCustomDrawFlags flags;
    {
        TCanvasPaintScope scope(FCanvas, cd.hdc);
        FCanvas->Font()->Assign(Font());
        OnAdvancedCustomDrawButton(this, b, state, cdPrePaint, flags, defaultDraw);
    }
    if (!defaultDraw)
        return CDRF_SKIPDEFAULT;
    static const LRESULT flagBits[] = {TBCDRF_NOEDGES, TBCDRF_HILITEHOTTRACK, TBCDRF_NOOFFSET, TBCDRF_NOMARK,
                                       TBCDRF_NOETCHEDEFFECT};
    LRESULT result = CDRF_DODEFAULT;
    for (int i = 0; i < 5; ++i)
        if (flags.Contains(TTBCustomDrawFlag(i)))
            result |= flagBits[i];
    return result;
}

void TToolBar::CNNotify(TMessage& Message)
{
    auto* hdr = reinterpret_cast<NMHDR*>(Message.LParam);
    switch (hdr->code) {
    case NM_CUSTOMDRAW:
        Message.Result = CustomDraw(*reinterpret_cast<NMTBCUSTOMDRAW*>(Message.LParam));
        break;
    case TBN_DROPDOWN: {
        auto* nt = reinterpret_cast<NMTOOLBARW*>(Message.LParam);
        TToolButton* b = ButtonByCommand(nt->iItem);
        if (b && b->FDropdownMenu) {
            TPoint p = ClientToScreen({b->Left(), b->Top() + b->Height()});
            b->FDropdownMenu->SetPopupComponent(b);
            b->FDropdownMenu->Popup(p.x, p.y);
            // Whoever shows the button as dropped learns that the menu closed,
            // once this notification has been answered.
            ::PostMessageW(FHandle, CN_DROPDOWNCLOSED, 0, 0);
        }
        Message.Result = TBDDRET_DEFAULT;
        break;
    }
    default: DefaultHandler(Message); break;
    }
}

// ---------------------------------------------------------------------------
// Published properties

KV_BEGIN_PUBLISHED(TToolButton, TGraphicControl)
    B.Ref(L"DropdownMenu", &C::DropdownMenu, &C::SetDropdownMenu);
    B.Bool(L"Grouped", &C::Grouped, &C::SetGrouped, false);
    B.Int(L"ImageIndex", &C::ImageIndex, &C::SetImageIndex, -1);
    B.Bool(L"Indeterminate", &C::Indeterminate, &C::SetIndeterminate, false);
    B.Bool(L"Marked", &C::Marked, &C::SetMarked, false);
    B.Bool(L"Down", &C::Down, &C::SetDown, false);
    B.Enum(L"Style", &C::Style, &C::SetStyle, tbsButton,
           {L"tbsButton", L"tbsCheck", L"tbsDropDown", L"tbsSeparator", L"tbsDivider", L"tbsTextButton"}, L"TToolButtonStyle");
    B.Bool(L"Wrap", &C::Wrap, &C::SetWrap, false);
KV_END_PUBLISHED

KV_BEGIN_PUBLISHED(TToolBar, TWinControl)
    B.Int(L"ButtonHeight", &C::ButtonHeight, &C::SetButtonHeight, 22);
    B.Int(L"ButtonWidth", &C::ButtonWidth, &C::SetButtonWidth, 23);
    B.Set(L"EdgeBorders", &C::EdgeBorders, &C::SetEdgeBorders, 2, {L"ebLeft", L"ebTop", L"ebRight", L"ebBottom"},
          L"TEdgeBorders");
    B.Enum(L"EdgeInner", &C::EdgeInner, &C::SetEdgeInner, esRaised, {L"esNone", L"esRaised", L"esLowered"},
           L"TEdgeStyle");
    B.Enum(L"EdgeOuter", &C::EdgeOuter, &C::SetEdgeOuter, esLowered, {L"esNone", L"esRaised", L"esLowered"},
           L"TEdgeStyle");
    B.Bool(L"Flat", &C::Flat, &C::SetFlat, false);
    B.Ref(L"HotImages", &C::HotImages, &C::SetHotImages);
    B.Ref(L"Images", &C::Images, &C::SetImages);
    B.Bool(L"List", &C::List, &C::SetList, false);
    B.Bool(L"ShowCaptions", &C::ShowCaptions, &C::SetShowCaptions, false);
    B.Event(L"OnAdvancedCustomDraw", &C::OnAdvancedCustomDraw);
    B.Event(L"OnAdvancedCustomDrawButton", &C::OnAdvancedCustomDrawButton);
KV_END_PUBLISHED
