// List boxes and combo boxes: their items (in the window, or saved while
// there is none), selection, drop-down state and owner drawing.
#include "classlib/controls/StdCtrls.h"
#include "classlib/controls/SubclassWindow.h"

#include <algorithm>

#include "classlib/graphics/GdiHandles.h"
#include "classlib/rtl/SysUtils.h"

// ---------------------------------------------------------------------------
// TListControlStrings

TListControlStrings::TListControlStrings(TWinControl* Owner, const TMessages& Msgs)
    : FOwner(Owner), FMsgs(Msgs), FSaved(new TStringList())
{
}

TListControlStrings::~TListControlStrings() { delete FSaved; }

HWND TListControlStrings::Wnd() const { return FOwner->HandleAllocated() ? FOwner->Handle() : nullptr; }

void TListControlStrings::CheckIndex(int Index) const
{
    if (Index < 0 || Index >= GetCount())
        Error(L"List index out of bounds (%d)", Index);
}

UnicodeString TListControlStrings::Get(int Index) const
{
    HWND wnd = Wnd();
    if (!wnd)
        return FSaved->Strings(Index);
    CheckIndex(Index);
    LRESULT len = SendMessageW(wnd, FMsgs.GetTextLen, Index, 0);
    if (len <= 0)
        return UnicodeString();
    UnicodeString s(size_t(len) + 1, L'\0');
    LRESULT got = SendMessageW(wnd, FMsgs.GetText, Index, reinterpret_cast<LPARAM>(s.data()));
    s.resize(size_t(std::clamp<LRESULT>(got, 0, len)));
    return s;
}

int TListControlStrings::GetCount() const
{
    HWND wnd = Wnd();
    return wnd ? int(SendMessageW(wnd, FMsgs.GetCount, 0, 0)) : FSaved->Count();
}

#pragma push_macro("GetObject")
#undef GetObject
TObject* TListControlStrings::GetObject(int Index) const
{
    HWND wnd = Wnd();
    if (!wnd)
        return FSaved->Objects(Index);
    CheckIndex(Index);
    return reinterpret_cast<TObject*>(SendMessageW(wnd, FMsgs.GetItemData, Index, 0));
}

#pragma pop_macro("GetObject")

void TListControlStrings::PutObject(int Index, TObject* AObject)
{
    HWND wnd = Wnd();
    if (!wnd) {
        FSaved->SetObjects(Index, AObject);
        return;
    }
    CheckIndex(Index);
    SendMessageW(wnd, FMsgs.SetItemData, Index, reinterpret_cast<LPARAM>(AObject));
}

int TListControlStrings::Add(const UnicodeString& S)
{
    HWND wnd = Wnd();
    if (!wnd) {
        if (!FSorted)
            return FSaved->Add(S);
        int i = 0;
        while (i < FSaved->Count() && AnsiCompareText(FSaved->Strings(i), S) <= 0)
            ++i;
        FSaved->Insert(i, S);
        return i;
    }
    LRESULT i = SendMessageW(wnd, FMsgs.AddString, 0, reinterpret_cast<LPARAM>(S.c_str()));
    if (i < 0)
        throw EOutOfResources(L"Unable to insert a line");
    return int(i);
}

void TListControlStrings::Insert(int Index, const UnicodeString& S)
{
    HWND wnd = Wnd();
    if (!wnd) {
        FSaved->Insert(Index, S);
        return;
    }
    if (SendMessageW(wnd, FMsgs.InsertString, Index, reinterpret_cast<LPARAM>(S.c_str())) < 0)
        throw EOutOfResources(L"Unable to insert a line");
}

void TListControlStrings::Delete(int Index)
{
    HWND wnd = Wnd();
    if (!wnd) {
        FSaved->Delete(Index);
        return;
    }
    CheckIndex(Index);
    SendMessageW(wnd, FMsgs.DeleteString, Index, 0);
}

void TListControlStrings::Clear()
{
    if (HWND wnd = Wnd())
        SendMessageW(wnd, FMsgs.ResetContent, 0, 0);
    else
        FSaved->Clear();
}

int TListControlStrings::IndexOf(const UnicodeString& S) const
{
    HWND wnd = Wnd();
    if (!wnd)
        return FSaved->IndexOf(S);
    LRESULT i = SendMessageW(wnd, FMsgs.FindStringExact, WPARAM(-1), reinterpret_cast<LPARAM>(S.c_str()));
    return i < 0 ? -1 : int(i);
}

void TListControlStrings::SetSorted(bool Value)
{
    if (FSorted == Value)
        return;
    FSorted = Value;
    if (Value && !Wnd())
        FSaved->CustomSort([](TStringList* L, int A, int B) { return AnsiCompareText(L->Strings(A), L->Strings(B)); });
}

void TListControlStrings::SetUpdateState(bool Updating)
{
    if (HWND wnd = Wnd()) {
        SendMessageW(wnd, WM_SETREDRAW, !Updating, 0);
        if (!Updating)
            InvalidateRect(wnd, nullptr, TRUE);
    }
}

void TListControlStrings::WindowCreated(HWND Wnd)
{
    for (int i = 0; i < FSaved->Count(); ++i) {
        LRESULT at = SendMessageW(Wnd, FMsgs.AddString, 0, reinterpret_cast<LPARAM>(FSaved->Strings(i).c_str()));
        if (at >= 0)
            SendMessageW(Wnd, FMsgs.SetItemData, at, reinterpret_cast<LPARAM>(FSaved->Objects(i)));
    }
    FSaved->Clear();
}

void TListControlStrings::WindowDestroying()
{
    HWND wnd = Wnd();
    if (!wnd)
        return;
    FSaved->Clear();
    int n = int(SendMessageW(wnd, FMsgs.GetCount, 0, 0));
    for (int i = 0; i < n; ++i)
        FSaved->AddObject(Get(i), reinterpret_cast<TObject*>(SendMessageW(wnd, FMsgs.GetItemData, i, 0)));
}

namespace {

const TListControlStrings::TMessages ListBoxMessages = {
    LB_GETCOUNT, LB_GETTEXTLEN, LB_GETTEXT, LB_ADDSTRING, LB_INSERTSTRING, LB_DELETESTRING, LB_RESETCONTENT,
    LB_GETITEMDATA, LB_SETITEMDATA, LB_FINDSTRINGEXACT, UINT(LB_ERR)};

const TListControlStrings::TMessages ComboBoxMessages = {
    CB_GETCOUNT, CB_GETLBTEXTLEN, CB_GETLBTEXT, CB_ADDSTRING, CB_INSERTSTRING, CB_DELETESTRING, CB_RESETCONTENT,
    CB_GETITEMDATA, CB_SETITEMDATA, CB_FINDSTRINGEXACT, UINT(CB_ERR)};

// Owner drawing of one item, shared by list and combo boxes: the canvas is
// lent the item's DC with the control's font and brush, highlighted for a
// selected item; the focus rectangle comes last.
template <class DrawFn>
void DrawOwnerItem(TControlCanvas* Canvas, TWinControl* Control, const DRAWITEMSTRUCT& Dis, DrawFn Draw)
{
    TOwnerDrawState state = TOwnerDrawState::FromOrd(Dis.itemState & 0xFFFF);
    TCanvasPaintScope scope(Canvas, Dis.hDC);
    Canvas->Font()->Assign(Control->Font());
    Canvas->Brush()->Assign(Control->Brush());
    int index = int(Dis.itemID);
    if (index >= 0 && state.Contains(odSelected)) {
        Canvas->Brush()->SetColor(clHighlight);
        Canvas->Font()->SetColor(clHighlightText);
    }
    TRect r = Dis.rcItem;
    if (index >= 0)
        Draw(index, r, state);
    else
        Canvas->FillRect(r);
    if (state.Contains(odFocused))
        ::DrawFocusRect(Dis.hDC, &Dis.rcItem);
}

} // namespace

// ---------------------------------------------------------------------------
// TCustomListBox

TCustomListBox::TCustomListBox(TComponent* AOwner)
    : TWinControl(AOwner), FItems(new TListControlStrings(this, ListBoxMessages)), FCanvas(new TControlCanvas())
{
    FControlStyle = {csSetCaption, csDoubleClicks, csOpaque};
    FWidth = 121;
    FHeight = 97;
    FTabStop = true;
    FParentColor = false;
    FColor = clWindow;
    FBrush->SetColor(FColor);
    FCanvas->SetControl(this);
}

TCustomListBox::~TCustomListBox()
{
    delete FItems;
    delete FCanvas;
}

void TCustomListBox::CreateParams(TCreateParams& Params)
{
    TWinControl::CreateParams(Params);
    CreateSubClass(Params, L"LISTBOX");
    static const DWORD styles[] = {0, LBS_OWNERDRAWFIXED, LBS_OWNERDRAWVARIABLE};
    Params.Style |= WS_VSCROLL | LBS_HASSTRINGS | LBS_NOTIFY | styles[FStyle];
    if (FItems->Sorted())
        Params.Style |= LBS_SORT;
    if (FMultiSelect)
        Params.Style |= LBS_EXTENDEDSEL;
    if (!FIntegralHeight)
        Params.Style |= LBS_NOINTEGRALHEIGHT;
    if (FBorderStyle == bsSingle)
        Params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TCustomListBox::CreateWnd()
{
    TWinControl::CreateWnd();
    if (FStyle != lbStandard)
        SendMessageW(FHandle, LB_SETITEMHEIGHT, 0, FItemHeight);
    FItems->WindowCreated(FHandle);
    if (FSavedIndex >= 0)
        SetItemIndex(FSavedIndex);
}

void TCustomListBox::DestroyWnd()
{
    FSavedIndex = ItemIndex();
    FItems->WindowDestroying();
    TWinControl::DestroyWnd();
}

int TCustomListBox::ItemIndex()
{
    if (!HandleAllocated())
        return FSavedIndex;
    return int(SendMessageW(FHandle, FMultiSelect ? LB_GETCARETINDEX : LB_GETCURSEL, 0, 0));
}

void TCustomListBox::SetItemIndex(int Value)
{
    if (!HandleAllocated()) {
        FSavedIndex = Value;
        return;
    }
    if (FMultiSelect)
        SendMessageW(FHandle, LB_SETCARETINDEX, Value, FALSE);
    else
        SendMessageW(FHandle, LB_SETCURSEL, Value, 0);
}

void TCustomListBox::SetSorted(bool Value)
{
    if (Sorted() == Value)
        return;
    FItems->SetSorted(Value);
    RecreateWnd();
}

void TCustomListBox::SetStyle(TListBoxStyle Value)
{
    if (FStyle == Value)
        return;
    FStyle = Value;
    RecreateWnd();
}

int TCustomListBox::ItemHeight()
{
    if (HandleAllocated() && FStyle == lbStandard)
        return int(SendMessageW(FHandle, LB_GETITEMHEIGHT, 0, 0));
    return FItemHeight;
}

void TCustomListBox::SetItemHeight(int Value)
{
    if (FItemHeight == Value || Value <= 0)
        return;
    FItemHeight = Value;
    RecreateWnd();
}

void TCustomListBox::SetMultiSelect(bool Value)
{
    if (FMultiSelect == Value)
        return;
    FMultiSelect = Value;
    RecreateWnd();
}

void TCustomListBox::SetIntegralHeight(bool Value)
{
    if (FIntegralHeight == Value)
        return;
    FIntegralHeight = Value;
    RecreateWnd();
}

void TCustomListBox::SetBorderStyle(TBorderStyle Value)
{
    if (FBorderStyle == Value)
        return;
    FBorderStyle = Value;
    RecreateWnd();
}

bool TCustomListBox::Selected(int Index)
{
    LRESULT r = SendMessageW(Handle(), LB_GETSEL, Index, 0);
    if (r < 0)
        throw EListError(L"List index out of bounds (" + IntToStr(Index) + L")");
    return r != 0;
}

void TCustomListBox::SetSelected(int Index, bool Value)
{
    if (FMultiSelect)
        SendMessageW(Handle(), LB_SETSEL, Value, Index);
    else
        SendMessageW(Handle(), LB_SETCURSEL, Value ? Index : -1, 0);
}

int TCustomListBox::SelCount()
{
    return FMultiSelect ? int(SendMessageW(Handle(), LB_GETSELCOUNT, 0, 0)) : -1;
}

int TCustomListBox::TopIndex() { return int(SendMessageW(Handle(), LB_GETTOPINDEX, 0, 0)); }

void TCustomListBox::SetTopIndex(int Value)
{
    if (TopIndex() != Value)
        SendMessageW(Handle(), LB_SETTOPINDEX, Value, 0);
}

int TCustomListBox::ItemAtPos(const TPoint& Pos, bool Existing)
{
    LRESULT r = SendMessageW(Handle(), LB_ITEMFROMPOINT, 0, MAKELPARAM(Pos.x, Pos.y));
    int index = LOWORD(r);
    bool outside = HIWORD(r) != 0;
    if (Existing && (outside || index >= Count()))
        return -1;
    return outside ? Count() : index;
}

TRect TCustomListBox::ItemRect(int Index)
{
    TRect r;
    if (SendMessageW(Handle(), LB_GETITEMRECT, Index, reinterpret_cast<LPARAM>(&r)) == LB_ERR)
        return TRect();
    return r;
}

void TCustomListBox::WndProc(TMessage& Message)
{
    switch (Message.Msg) {
    case CN_COMMAND: CNCommand(Message); break;
    case CN_DRAWITEM: CNDrawItem(Message); break;
    case CN_MEASUREITEM: CNMeasureItem(Message); break;
    default: TWinControl::WndProc(Message);
    }
}

void TCustomListBox::CNCommand(TMessage& Message)
{
    if (HIWORD(Message.WParam) == LBN_SELCHANGE)
        Click();
}

void TCustomListBox::CNDrawItem(TMessage& Message)
{
    auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(Message.LParam);
    DrawOwnerItem(FCanvas, this, *dis,
                  [this](int Index, const TRect& R, TOwnerDrawState State) { DrawItem(Index, R, State); });
    Message.Result = TRUE;
}

void TCustomListBox::CNMeasureItem(TMessage& Message)
{
    auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(Message.LParam);
    int height = FItemHeight;
    if (FStyle == lbOwnerDrawVariable)
        MeasureItem(int(mis->itemID), height);
    mis->itemHeight = UINT(std::max(height, 0));
    Message.Result = TRUE;
}

void TCustomListBox::DrawItem(int Index, const TRect& Rect, TOwnerDrawState State)
{
    if (OnDrawItem) {
        OnDrawItem(this, Index, Rect, State);
        return;
    }
    FCanvas->FillRect(Rect);
    FCanvas->TextOut(Rect.left + 2, Rect.top, FItems->Strings(Index));
}

void TCustomListBox::MeasureItem(int Index, int& Height)
{
    if (OnMeasureItem)
        OnMeasureItem(this, Index, Height);
}

// ---------------------------------------------------------------------------
// TCustomComboBox

TCustomComboBox::TCustomComboBox(TComponent* AOwner)
    : TWinControl(AOwner), FEditInstance(new TSubclassedWindow(Bind(this, &TCustomComboBox::EditWndProc))),
      FListInstance(new TSubclassedWindow(Bind(this, &TCustomComboBox::ListWndProc))),
      FItems(new TListControlStrings(this, ComboBoxMessages)), FCanvas(new TControlCanvas())
{
    FControlStyle = {csSetCaption, csDoubleClicks, csFixedHeight};
    FWidth = 145;
    FHeight = 21;
    FTabStop = true;
    FParentColor = false;
    FColor = clWindow;
    FBrush->SetColor(FColor);
    FCanvas->SetControl(this);
}

TCustomComboBox::~TCustomComboBox()
{
    // The children's previous procedures go back before the methods go.
    delete FEditInstance;
    delete FListInstance;
    delete FItems;
    delete FCanvas;
}

void TCustomComboBox::CreateParams(TCreateParams& Params)
{
    TWinControl::CreateParams(Params);
    CreateSubClass(Params, L"COMBOBOX");
    static const DWORD styles[] = {CBS_DROPDOWN, CBS_SIMPLE, CBS_DROPDOWNLIST, CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED,
                                   CBS_DROPDOWNLIST | CBS_OWNERDRAWVARIABLE};
    Params.Style |= WS_VSCROLL | CBS_HASSTRINGS | CBS_AUTOHSCROLL | styles[FStyle];
    if (FItems->Sorted())
        Params.Style |= CBS_SORT;
    // The window's height at creation is the height of the dropped list too.
    if (FStyle != csSimple)
        Params.Height = FHeight + FItemHeight * FDropDownCount + 2;
}

void TCustomComboBox::CreateWnd()
{
    TWinControl::CreateWnd();
    SendMessageW(FHandle, CB_LIMITTEXT, FMaxLength, 0);
    if (IsOwnerDraw()) {
        SendMessageW(FHandle, CB_SETITEMHEIGHT, WPARAM(-1), FItemHeight);
        SendMessageW(FHandle, CB_SETITEMHEIGHT, 0, FItemHeight);
    }
    FItems->WindowCreated(FHandle);
    SubclassParts();
    if (FSavedIndex >= 0) {
        // The selected item is what the field shows.
        SendMessageW(FHandle, CB_SETCURSEL, FSavedIndex, 0);
    } else if ((FStyle == csDropDown || FStyle == csSimple) && !FText.empty()) {
        // The system's combo box leaves out the text it is created with:
        // the edit part is given the text kept while there was no window.
        SendMessageW(FHandle, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(FText.c_str()));
    }
    UpdateBounds();
}

void TCustomComboBox::DestroyWnd()
{
    FSavedIndex = ItemIndex();
    FItems->WindowDestroying();
    ReleaseParts();
    TWinControl::DestroyWnd();
}

void TCustomComboBox::SetStyle(TComboBoxStyle Value)
{
    if (FStyle == Value)
        return;
    FStyle = Value;
    RecreateWnd();
}

int TCustomComboBox::ItemIndex()
{
    return HandleAllocated() ? int(SendMessageW(FHandle, CB_GETCURSEL, 0, 0)) : FSavedIndex;
}

void TCustomComboBox::SetItemIndex(int Value)
{
    if (HandleAllocated())
        SendMessageW(FHandle, CB_SETCURSEL, Value, 0);
    else
        FSavedIndex = Value;
}

int TCustomComboBox::ItemHeight()
{
    if (HandleAllocated() && !IsOwnerDraw())
        return int(SendMessageW(FHandle, CB_GETITEMHEIGHT, 0, 0));
    return FItemHeight;
}

void TCustomComboBox::SetItemHeight(int Value)
{
    if (FItemHeight == Value || Value <= 0)
        return;
    FItemHeight = Value;
    RecreateWnd();
}

void TCustomComboBox::SetSorted(bool Value)
{
    if (Sorted() == Value)
        return;
    FItems->SetSorted(Value);
    RecreateWnd();
}

void TCustomComboBox::SetMaxLength(int Value)
{
    FMaxLength = std::max(Value, 0);
    if (HandleAllocated())
        SendMessageW(FHandle, CB_LIMITTEXT, FMaxLength, 0);
}

bool TCustomComboBox::DroppedDown()
{
    return HandleAllocated() && SendMessageW(FHandle, CB_GETDROPPEDSTATE, 0, 0) != 0;
}

void TCustomComboBox::SetDroppedDown(bool Value) { SendMessageW(Handle(), CB_SHOWDROPDOWN, Value, 0); }

HWND TCustomComboBox::EditHandle()
{
    COMBOBOXINFO info{};
    info.cbSize = sizeof(info);
    return HandleAllocated() && GetComboBoxInfo(FHandle, &info) ? info.hwndItem : nullptr;
}

HWND TCustomComboBox::ListHandle()
{
    COMBOBOXINFO info{};
    info.cbSize = sizeof(info);
    return HandleAllocated() && GetComboBoxInfo(FHandle, &info) ? info.hwndList : nullptr;
}

void TCustomComboBox::Clear()
{
    SetText(UnicodeString());
    FItems->Clear();
    FSavedIndex = -1;
}

void TCustomComboBox::WndProc(TMessage& Message)
{
    switch (Message.Msg) {
    case CN_COMMAND: CNCommand(Message); break;
    case CN_DRAWITEM: CNDrawItem(Message); break;
    case CN_MEASUREITEM: CNMeasureItem(Message); break;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
        // The edit part and the list ask the combo box (their parent or
        // owner) for their colours; the disabled edit part asks with
        // WM_CTLCOLORSTATIC and keeps the system's look.
        if (IsOwnPart(reinterpret_cast<HWND>(Message.LParam)))
            CtlColorPart(Message);
        else
            TWinControl::WndProc(Message);
        break;
    case CM_COLORCHANGED:
    case CM_FONTCHANGED:
        TWinControl::WndProc(Message);
        // The edit part paints itself: it is told too.
        if (FHandle)
            ::RedrawWindow(FHandle, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
        break;
    default: TWinControl::WndProc(Message);
    }
}

void TCustomComboBox::SubclassParts()
{
    ReleaseParts();
    if (HWND edit = EditHandle())
        FEditInstance->Subclass(edit, L"TCustomComboBox.Edit");
    if (HWND list = ListHandle())
        FListInstance->Subclass(list, L"TCustomComboBox.List");
}

void TCustomComboBox::ReleaseParts()
{
    FEditInstance->Release();
    FListInstance->Release();
}

void TCustomComboBox::EditWndProc(TMessage& Message)
{
    ComboWndProc(Message, FEditInstance->Handle(), *FEditInstance);
}

void TCustomComboBox::ListWndProc(TMessage& Message)
{
    ComboWndProc(Message, FListInstance->Handle(), *FListInstance);
}

void TCustomComboBox::ComboWndProc(TMessage& Message, HWND ComboWnd, TSubclassedWindow& ComboProc)
{
    if (ComboWnd == EditHandle()) {
        switch (Message.Msg) {
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
            if (DoKeyDown(Message))
                return;
            break;
        case WM_KEYUP:
        case WM_SYSKEYUP:
            if (DoKeyUp(Message))
                return;
            break;
        case WM_CHAR:
            if (DoKeyPress(Message))
                return;
            break;
        default: break;
        }
    }
    ComboProc.CallPrevious(Message);
}

bool TCustomComboBox::IsOwnPart(HWND Wnd)
{
    if (!Wnd || !FHandle)
        return false;
    COMBOBOXINFO info{};
    info.cbSize = sizeof(info);
    if (!GetComboBoxInfo(FHandle, &info))
        return false;
    return Wnd == info.hwndItem || Wnd == info.hwndList;
}

void TCustomComboBox::CtlColorPart(TMessage& Message)
{
    // The field and the list take the control's Font colour and Color; the
    // brush is the control's own and outlives the paint that asked for it.
    HDC dc = reinterpret_cast<HDC>(Message.WParam);
    ::SetTextColor(dc, ColorToRGB(Font()->Color()));
    ::SetBkColor(dc, ColorToRGB(FBrush->Color()));
    Message.Result = reinterpret_cast<LRESULT>(FBrush->Handle());
}

void TCustomComboBox::CNCommand(TMessage& Message)
{
    switch (HIWORD(Message.WParam)) {
    case CBN_SELCHANGE: {
        // The edit part shows the new item only after this notification;
        // handlers read the new text already.
        int i = ItemIndex();
        if (i >= 0 && (FStyle == csDropDown || FStyle == csSimple))
            SetText(FItems->Strings(i));
        Click();
        Select();
        break;
    }
    case CBN_EDITCHANGE: Change(); break;
    case CBN_DROPDOWN: DropDown(); break;
    case CBN_CLOSEUP: CloseUp(); break;
    default: break;
    }
}

void TCustomComboBox::CNDrawItem(TMessage& Message)
{
    auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(Message.LParam);
    DrawOwnerItem(FCanvas, this, *dis,
                  [this](int Index, const TRect& R, TOwnerDrawState State) { DrawItem(Index, R, State); });
    Message.Result = TRUE;
}

void TCustomComboBox::CNMeasureItem(TMessage& Message)
{
    auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(Message.LParam);
    int height = FItemHeight;
    if (FStyle == csOwnerDrawVariable && int(mis->itemID) >= 0)
        MeasureItem(int(mis->itemID), height);
    mis->itemHeight = UINT(std::max(height, 0));
    Message.Result = TRUE;
}

void TCustomComboBox::Change()
{
    Changed();
    if (OnChange)
        OnChange(this);
}

void TCustomComboBox::Select()
{
    if (OnSelect)
        OnSelect(this);
    else
        Change();
}

void TCustomComboBox::DropDown()
{
    if (OnDropDown)
        OnDropDown(this);
}

void TCustomComboBox::CloseUp()
{
    if (OnCloseUp)
        OnCloseUp(this);
}

void TCustomComboBox::DrawItem(int Index, const TRect& Rect, TOwnerDrawState State)
{
    if (OnDrawItem) {
        OnDrawItem(this, Index, Rect, State);
        return;
    }
    FCanvas->FillRect(Rect);
    FCanvas->TextOut(Rect.left + 2, Rect.top, FItems->Strings(Index));
}

void TCustomComboBox::MeasureItem(int Index, int& Height)
{
    if (OnMeasureItem)
        OnMeasureItem(this, Index, Height);
}

// ---------------------------------------------------------------------------
// Published properties

KV_BEGIN_PUBLISHED(TCustomListBox, TWinControl)
    B.Enum(L"BorderStyle", &C::BorderStyle, &C::SetBorderStyle, bsSingle, {L"bsNone", L"bsSingle"}, L"TBorderStyle");
    B.Bool(L"IntegralHeight", &C::IntegralHeight, &C::SetIntegralHeight, false);
    B.Int(L"ItemHeight", &C::ItemHeight, &C::SetItemHeight, 16);
    B.Object(L"Items", &C::Items, &C::SetItems);
    B.Bool(L"MultiSelect", &C::MultiSelect, &C::SetMultiSelect, false);
    B.Bool(L"Sorted", &C::Sorted, &C::SetSorted, false);
    B.Enum(L"Style", &C::Style, &C::SetStyle, lbStandard, {L"lbStandard", L"lbOwnerDrawFixed", L"lbOwnerDrawVariable"},
           L"TListBoxStyle");
    B.Event(L"OnDrawItem", &C::OnDrawItem);
    B.Event(L"OnMeasureItem", &C::OnMeasureItem);
KV_END_PUBLISHED

KV_BEGIN_PUBLISHED(TListBox, TCustomListBox)
    static_assert(sizeof(C) > 0); // all inherited
KV_END_PUBLISHED

KV_BEGIN_PUBLISHED(TCustomComboBox, TWinControl)
    B.Enum(L"Style", &C::Style, &C::SetStyle, csDropDown,
           {L"csDropDown", L"csSimple", L"csDropDownList", L"csOwnerDrawFixed", L"csOwnerDrawVariable"},
           L"TComboBoxStyle");
    B.Int(L"DropDownCount", &C::DropDownCount, &C::SetDropDownCount, 8);
    B.Int(L"ItemHeight", &C::ItemHeight, &C::SetItemHeight, 16);
    B.Int(L"ItemIndex", &C::ItemIndex, &C::SetItemIndex, -1);
    B.Object(L"Items", &C::Items, &C::SetItems);
    B.Int(L"MaxLength", &C::MaxLength, &C::SetMaxLength, 0);
    B.Bool(L"Sorted", &C::Sorted, &C::SetSorted, false);
    B.Str(L"Text", &C::Text, &C::SetText);
    B.Event(L"OnChange", &C::OnChange);
    B.Event(L"OnSelect", &C::OnSelect);
    B.Event(L"OnDropDown", &C::OnDropDown);
    B.Event(L"OnCloseUp", &C::OnCloseUp);
    B.Event(L"OnDrawItem", &C::OnDrawItem);
    B.Event(L"OnMeasureItem", &C::OnMeasureItem);
KV_END_PUBLISHED

KV_BEGIN_PUBLISHED(TComboBox, TCustomComboBox)
    static_assert(sizeof(C) > 0); // all inherited
KV_END_PUBLISHED
