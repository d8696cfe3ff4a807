// Status bars and their panels.
#include "classlib/controls/ComCtrls.h"

#include <algorithm>
#include <vector>

namespace comctrls_detail {
void InitCommonControls();
}

// ---------------------------------------------------------------------------
// TStatusPanel

TStatusPanel::TStatusPanel(TCollection* Collection) : TCollectionItem(Collection) {}

void TStatusPanel::SetText(const UnicodeString& Value)
{
    if (FText != Value) {
        FText = Value;
        Changed(false);
    }
}

void TStatusPanel::SetWidth(int Value)
{
    if (FWidth != Value) {
        FWidth = std::max(Value, 0);
        Changed(true);
    }
}

void TStatusPanel::SetAlignment(TAlignment Value)
{
    if (FAlignment != Value) {
        FAlignment = Value;
        Changed(false);
    }
}

void TStatusPanel::SetStyle(TStatusPanelStyle Value)
{
    if (FStyle != Value) {
        FStyle = Value;
        Changed(false);
    }
}

void TStatusPanel::SetBevel(TStatusPanelBevel Value)
{
    if (FBevel != Value) {
        FBevel = Value;
        Changed(false);
    }
}

void TStatusPanel::Assign(TPersistent* Source)
{
    auto* other = dynamic_cast<TStatusPanel*>(Source);
    if (!other) {
        TCollectionItem::Assign(Source);
        return;
    }
    FText = other->FText;
    FWidth = other->FWidth;
    FAlignment = other->FAlignment;
    FStyle = other->FStyle;
    FBevel = other->FBevel;
    Changed(true);
}

// ---------------------------------------------------------------------------
// TStatusPanels

TStatusPanels::TStatusPanels(TStatusBar* StatusBar)
    : TCollection(TCollectionItemClass::Of<TStatusPanel>()), FStatusBar(StatusBar)
{
}

TPersistent* TStatusPanels::GetOwner() { return FStatusBar; }

void TStatusPanels::Notify(TCollectionItem*, TCollectionNotification Action)
{
    if (Action == cnAdded)
        FJoining = true;
}

void TStatusPanels::Update(TCollectionItem*)
{
    if (FJoining) {
        FJoining = false;
        return;
    }
    FStatusBar->UpdatePanels();
}

void TStatusPanels::Added(TCollectionItem*)
{
    FJoining = false;
    if (UpdateCount() == 0)
        FStatusBar->UpdatePanels();
}

// ---------------------------------------------------------------------------
// TStatusBar

TStatusBar::TStatusBar(TComponent* AOwner)
    : TWinControl(AOwner), FPanels(new TStatusPanels(this)), FCanvas(new TControlCanvas())
{
    FControlStyle = {csCaptureMouse, csClickEvents, csDoubleClicks, csOpaque};
    FAlign = alBottom;
    FWidth = 150;
    FHeight = 19;
    FParentFont = false;
    FCanvas->SetControl(this);
}

TStatusBar::~TStatusBar()
{
    delete FPanels;
    delete FCanvas;
}

void TStatusBar::CreateParams(TCreateParams& Params)
{
    comctrls_detail::InitCommonControls();
    TWinControl::CreateParams(Params);
    CreateSubClass(Params, STATUSCLASSNAMEW);
    // Our alignment places the bar; the window keeps the bounds it is given.
    Params.Style |= CCS_NOPARENTALIGN | CCS_NOMOVEY | CCS_NORESIZE;
    if (FSizeGrip)
        Params.Style |= SBARS_SIZEGRIP;
    Params.WindowClass.style &= ~UINT(CS_HREDRAW | CS_VREDRAW);
}

void TStatusBar::CreateWnd()
{
    TWinControl::CreateWnd();
    UpdatePanels();
}

void TStatusBar::SetSimplePanel(bool Value)
{
    if (FSimplePanel != Value) {
        FSimplePanel = Value;
        UpdatePanels();
    }
}

void TStatusBar::SetSimpleText(const UnicodeString& Value)
{
    if (FSimpleText != Value) {
        FSimpleText = Value;
        UpdatePanels();
    }
}

void TStatusBar::SetSizeGrip(bool Value)
{
    if (FSizeGrip != Value) {
        FSizeGrip = Value;
        RecreateWnd();
    }
}

void TStatusBar::UpdatePanels()
{
    if (!HandleAllocated())
        return;
    int n = FPanels->Count();
    SendMessageW(FHandle, SB_SIMPLE, FSimplePanel, 0);
    if (FSimplePanel || n == 0) {
        int edge = -1;
        SendMessageW(FHandle, SB_SETPARTS, 1, reinterpret_cast<LPARAM>(&edge));
        UINT part = FSimplePanel ? SB_SIMPLEID : 0;
        SendMessageW(FHandle, SB_SETTEXTW, part, reinterpret_cast<LPARAM>(FSimpleText.c_str()));
        return;
    }
    std::vector<int> edges(static_cast<size_t>(n));
    int x = 0;
    for (int i = 0; i < n; ++i) {
        x += FPanels->Items(i)->Width();
        edges[size_t(i)] = x;
    }
    // The last panel reaches the bar's right edge.
    edges.back() = -1;
    SendMessageW(FHandle, SB_SETPARTS, n, reinterpret_cast<LPARAM>(edges.data()));
    static const UINT bevels[] = {SBT_NOBORDERS, 0, SBT_POPOUT};
    static const wchar_t* const prefixes[] = {L"", L"\t\t", L"\t"};
    for (int i = 0; i < n; ++i) {
        TStatusPanel* p = FPanels->Items(i);
        UINT flags = UINT(i) | bevels[p->Bevel()] | (UseRightToLeftReading() ? SBT_RTLREADING : 0);
        if (p->Style() == psOwnerDraw)
            SendMessageW(FHandle, SB_SETTEXTW, flags | SBT_OWNERDRAW, reinterpret_cast<LPARAM>(p));
        else {
            UnicodeString text = prefixes[p->Alignment()] + p->Text();
            SendMessageW(FHandle, SB_SETTEXTW, flags, reinterpret_cast<LPARAM>(text.c_str()));
        }
    }
}

void TStatusBar::WMSize(TMessage& Message)
{
    TWinControl::WMSize(Message);
    UpdatePanels();
}

void TStatusBar::WndProc(TMessage& Message)
{
    if (Message.Msg == CN_DRAWITEM)
        CNDrawItem(Message);
    else
        TWinControl::WndProc(Message);
}

void TStatusBar::CNDrawItem(TMessage& Message)
{
    auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(Message.LParam);
    int index = int(dis->itemID);
    if (index >= 0 && index < FPanels->Count()) {
        TCanvasPaintScope scope(FCanvas, dis->hDC);
        FCanvas->Font()->Assign(Font());
        FCanvas->Brush()->SetColor(clBtnFace);
        DrawPanel(FPanels->Items(index), dis->rcItem);
    }
    Message.Result = TRUE;
}

void TStatusBar::DrawPanel(TStatusPanel* Panel, const TRect& Rect)
{
    if (OnDrawPanel)
        OnDrawPanel(this, Panel, Rect);
    else
        FCanvas->FillRect(Rect);
}

// ---------------------------------------------------------------------------
// Published properties

KV_BEGIN_PUBLISHED(TStatusPanel, TCollectionItem)
    B.Enum(L"Alignment", &C::Alignment, &C::SetAlignment, taLeftJustify,
           {L"taLeftJustify", L"taRightJustify", L"taCenter"}, L"TAlignment");
    B.Enum(L"Bevel", &C::Bevel, &C::SetBevel, pbLowered, {L"pbNone", L"pbLowered", L"pbRaised"}, L"TStatusPanelBevel");
    B.Enum(L"Style", &C::Style, &C::SetStyle, psText, {L"psText", L"psOwnerDraw"}, L"TStatusPanelStyle");
    B.Str(L"Text", &C::Text, &C::SetText);
    B.Int(L"Width", &C::Width, &C::SetWidth, 50);
KV_END_PUBLISHED

KV_BEGIN_PUBLISHED(TStatusBar, TWinControl)
    B.Object(L"Panels", &C::Panels, &C::SetPanels);
    B.Bool(L"SimplePanel", &C::SimplePanel, &C::SetSimplePanel, false);
    B.Str(L"SimpleText", &C::SimpleText, &C::SetSimpleText);
    B.Bool(L"SizeGrip", &C::SizeGrip, &C::SetSizeGrip, true);
    B.Event(L"OnDrawPanel", &C::OnDrawPanel);
KV_END_PUBLISHED
