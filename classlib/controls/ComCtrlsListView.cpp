// List views over the system's "SysListView32" window: columns, items and
// the whole control's custom drawing.
#include "classlib/controls/ComCtrls.h"

#include <algorithm>

#include "classlib/rtl/SysUtils.h"

namespace comctrls_detail {
void InitCommonControls();
}

namespace {
const int ColumnFormats[] = {LVCFMT_LEFT, LVCFMT_RIGHT, LVCFMT_CENTER};
const DWORD ViewStyles[] = {LVS_ICON, LVS_SMALLICON, LVS_LIST, LVS_REPORT};

[[noreturn]] void ItemIndexError(int Index)
{
    throw EListError(L"List index out of bounds (" + IntToStr(Index) + L")");
}
} // namespace

// ---------------------------------------------------------------------------
// TListColumn

TListColumn::TListColumn(TCollection* Collection) : TCollectionItem(Collection) {}

TCustomListView* TListColumn::ListView() const
{
    auto* columns = static_cast<TListColumns*>(Collection());
    return columns ? columns->ListView() : nullptr;
}

void TListColumn::SetCaption(const UnicodeString& Value)
{
    if (FCaption != Value) {
        FCaption = Value;
        Changed(false);
    }
}

int TListColumn::Width()
{
    TCustomListView* lv = ListView();
    if (lv && lv->HandleAllocated())
        FWidth = int(SendMessageW(lv->Handle(), LVM_GETCOLUMNWIDTH, Index(), 0));
    return FWidth;
}

void TListColumn::SetWidth(int Value)
{
    if (FWidth != Value) {
        FWidth = Value;
        Changed(false);
    }
}

void TListColumn::SetAlignment(TAlignment Value)
{
    if (FAlignment != Value) {
        FAlignment = Value;
        Changed(false);
    }
}

void TListColumn::SetImageIndex(int Value)
{
    if (FImageIndex != Value) {
        FImageIndex = Value;
        Changed(false);
    }
}

void TListColumn::Assign(TPersistent* Source)
{
    auto* other = dynamic_cast<TListColumn*>(Source);
    if (!other) {
        TCollectionItem::Assign(Source);
        return;
    }
    FCaption = other->FCaption;
    FWidth = other->FWidth;
    FAlignment = other->FAlignment;
    FImageIndex = other->FImageIndex;
    Changed(false);
}

// ---------------------------------------------------------------------------
// TListColumns

TListColumns::TListColumns(TCustomListView* ListView)
    : TCollection(TCollectionItemClass::Of<TListColumn>()), FListView(ListView)
{
}

TPersistent* TListColumns::GetOwner() { return FListView; }

void TListColumns::Notify(TCollectionItem*, TCollectionNotification Action)
{
    if (Action == cnAdded)
        FJoining = true;
}

void TListColumns::Update(TCollectionItem*)
{
    if (FJoining) {
        FJoining = false;
        return;
    }
    FListView->UpdateColumns();
}

void TListColumns::Added(TCollectionItem*)
{
    FJoining = false;
    if (UpdateCount() == 0)
        FListView->UpdateColumns();
}

// ---------------------------------------------------------------------------
// TListItem

TListItem::TListItem(TListItems* Owner) : FOwner(Owner), FSubItems(new TStringList())
{
    FSubItems->OnChange = Bind(this, &TListItem::SubItemsChanged);
}

TListItem::~TListItem() { delete FSubItems; }

TCustomListView* TListItem::ListView() const { return FOwner->Owner(); }

int TListItem::Index() const { return FOwner->IndexOf(this); }

void TListItem::SetCaption(const UnicodeString& Value)
{
    if (FCaption != Value) {
        FCaption = Value;
        ListView()->UpdateItemWindow(this);
    }
}

void TListItem::SetImageIndex(int Value)
{
    if (FImageIndex != Value) {
        FImageIndex = Value;
        ListView()->UpdateItemWindow(this);
    }
}

void TListItem::SubItemsChanged(TObject*) { ListView()->UpdateItemWindow(this); }

UINT TListItem::State(UINT Mask) const
{
    TCustomListView* lv = ListView();
    if (!lv->HandleAllocated())
        return FSavedState & Mask;
    return UINT(SendMessageW(lv->Handle(), LVM_GETITEMSTATE, Index(), Mask));
}

void TListItem::SetState(UINT Bits, bool On)
{
    TCustomListView* lv = ListView();
    if (!lv->HandleAllocated()) {
        FSavedState = On ? FSavedState | Bits : FSavedState & ~Bits;
        return;
    }
    LVITEMW item{};
    item.stateMask = Bits;
    item.state = On ? Bits : 0;
    SendMessageW(lv->Handle(), LVM_SETITEMSTATE, Index(), reinterpret_cast<LPARAM>(&item));
}

bool TListItem::Selected() const { return State(LVIS_SELECTED) != 0; }
void TListItem::SetSelected(bool Value) { SetState(LVIS_SELECTED, Value); }
bool TListItem::Focused() const { return State(LVIS_FOCUSED) != 0; }
void TListItem::SetFocused(bool Value) { SetState(LVIS_FOCUSED, Value); }

TRect TListItem::DisplayRect(TDisplayCode Code) const
{
    static const int codes[] = {LVIR_BOUNDS, LVIR_ICON, LVIR_LABEL, LVIR_SELECTBOUNDS};
    TCustomListView* lv = ListView();
    TRect r;
    r.left = codes[Code];
    if (!lv->HandleAllocated() || !SendMessageW(lv->Handle(), LVM_GETITEMRECT, Index(), reinterpret_cast<LPARAM>(&r)))
        return TRect();
    return r;
}

void TListItem::MakeVisible(bool PartialOK)
{
    TCustomListView* lv = ListView();
    if (lv->HandleAllocated())
        SendMessageW(lv->Handle(), LVM_ENSUREVISIBLE, Index(), PartialOK);
}

void TListItem::Delete() { FOwner->Delete(Index()); }

void TListItem::Assign(TPersistent* Source)
{
    auto* other = dynamic_cast<TListItem*>(Source);
    if (!other) {
        TPersistent::Assign(Source);
        return;
    }
    FCaption = other->FCaption;
    FImageIndex = other->FImageIndex;
    FData = other->FData;
    FSubItems->Assign(other->FSubItems);
    ListView()->UpdateItemWindow(this);
}

// ---------------------------------------------------------------------------
// TListItems

TListItems::TListItems(TCustomListView* Owner) : FOwner(Owner) {}

TListItems::~TListItems()
{
    for (TListItem* item : FItems)
        delete item;
}

TListItem* TListItems::Item(int Index) const
{
    if (Index < 0 || Index >= Count())
        ItemIndexError(Index);
    return FItems[size_t(Index)];
}

TListItem* TListItems::Add() { return Insert(Count()); }

TListItem* TListItems::Insert(int Index)
{
    if (Index < 0 || Index > Count())
        ItemIndexError(Index);
    auto* item = new TListItem(this);
    FItems.insert(FItems.begin() + Index, item);
    if (FOwner->HandleAllocated())
        FOwner->InsertItemWindow(item, Index);
    return item;
}

void TListItems::Delete(int Index)
{
    TListItem* item = Item(Index);
    if (FOwner->HandleAllocated())
        SendMessageW(FOwner->Handle(), LVM_DELETEITEM, Index, 0);
    FItems.erase(FItems.begin() + Index);
    delete item;
}

void TListItems::Clear()
{
    if (FOwner->HandleAllocated())
        SendMessageW(FOwner->Handle(), LVM_DELETEALLITEMS, 0, 0);
    std::vector<TListItem*> items;
    items.swap(FItems);
    for (TListItem* item : items)
        delete item;
}

int TListItems::IndexOf(const TListItem* Value) const
{
    auto it = std::find(FItems.begin(), FItems.end(), Value);
    return it == FItems.end() ? -1 : int(it - FItems.begin());
}

void TListItems::BeginUpdate()
{
    if (FUpdateCount++ == 0 && FOwner->HandleAllocated())
        SendMessageW(FOwner->Handle(), WM_SETREDRAW, FALSE, 0);
}

void TListItems::EndUpdate()
{
    if (FUpdateCount > 0 && --FUpdateCount == 0 && FOwner->HandleAllocated()) {
        SendMessageW(FOwner->Handle(), WM_SETREDRAW, TRUE, 0);
        FOwner->Invalidate();
    }
}

void TListItems::Assign(TPersistent* Source)
{
    auto* other = dynamic_cast<TListItems*>(Source);
    if (!other) {
        TPersistent::Assign(Source);
        return;
    }
    if (other == this)
        return;
    BeginUpdate();
    Clear();
    for (TListItem* item : other->FItems)
        Add()->Assign(item);
    EndUpdate();
}

// ---------------------------------------------------------------------------
// TCustomListView

TCustomListView::TCustomListView(TComponent* AOwner)
    : TWinControl(AOwner), FColumns(new TListColumns(this)), FItems(new TListItems(this)),
      FCanvas(new TControlCanvas())
{
    FControlStyle = {csCaptureMouse, csClickEvents, csDoubleClicks};
    FWidth = 250;
    FHeight = 150;
    FTabStop = true;
    FParentColor = false;
    FColor = clWindow;
    FBrush->SetColor(FColor);
    FCanvas->SetControl(this);
}

TCustomListView::~TCustomListView()
{
    delete FItems;
    delete FColumns;
    delete FCanvas;
}

void TCustomListView::CreateParams(TCreateParams& Params)
{
    comctrls_detail::InitCommonControls();
    TWinControl::CreateParams(Params);
    CreateSubClass(Params, WC_LISTVIEWW);
    // The list's image lists are the components', not the window's to free.
    Params.Style |= LVS_SHAREIMAGELISTS | ViewStyles[FViewStyle];
    if (!FMultiSelect)
        Params.Style |= LVS_SINGLESEL;
    if (!FReadOnly)
        Params.Style |= LVS_EDITLABELS;
    if (!FShowColumnHeaders)
        Params.Style |= LVS_NOCOLUMNHEADER;
    Params.ExStyle |= WS_EX_CLIENTEDGE;
    Params.WindowClass.style &= ~UINT(CS_HREDRAW | CS_VREDRAW);
}

DWORD TCustomListView::ExtendedStyle() const { return FRowSelect ? LVS_EX_FULLROWSELECT : 0; }

void TCustomListView::CreateWnd()
{
    TWinControl::CreateWnd();
    SendMessageW(FHandle, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, ExtendedStyle());
    UpdateColours();
    UpdateImageLists();
    UpdateColumns();
    for (int i = 0; i < FItems->Count(); ++i)
        InsertItemWindow(FItems->FItems[size_t(i)], i);
}

void TCustomListView::DestroyWnd()
{
    // The window's selection and focus stay with the items.
    for (TListItem* item : FItems->FItems)
        item->FSavedState = item->State(LVIS_SELECTED | LVIS_FOCUSED);
    for (int i = 0; i < FColumns->Count(); ++i)
        FColumns->Items(i)->Width();
    TWinControl::DestroyWnd();
}

void TCustomListView::UpdateColumns()
{
    if (!HandleAllocated())
        return;
    while (SendMessageW(FHandle, LVM_DELETECOLUMN, 0, 0)) {
    }
    for (int i = 0; i < FColumns->Count(); ++i) {
        TListColumn* c = FColumns->Items(i);
        LVCOLUMNW col{};
        col.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT;
        col.fmt = ColumnFormats[c->Alignment()];
        col.cx = c->FWidth;
        col.pszText = const_cast<wchar_t*>(c->Caption().c_str());
        if (c->ImageIndex() >= 0) {
            col.mask |= LVCF_IMAGE;
            col.fmt |= LVCFMT_IMAGE;
            col.iImage = c->ImageIndex();
        }
        SendMessageW(FHandle, LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&col));
    }
}

void TCustomListView::InsertItemWindow(TListItem* Item, int Index)
{
    LVITEMW lv{};
    lv.mask = LVIF_TEXT | LVIF_PARAM | LVIF_IMAGE | LVIF_STATE;
    lv.iItem = Index;
    lv.pszText = const_cast<wchar_t*>(Item->FCaption.c_str());
    lv.lParam = reinterpret_cast<LPARAM>(Item);
    lv.iImage = Item->FImageIndex;
    lv.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    lv.state = Item->FSavedState;
    SendMessageW(FHandle, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&lv));
    for (int s = 0; s < Item->FSubItems->Count(); ++s) {
        UnicodeString text = Item->FSubItems->Strings(s);
        LVITEMW sub{};
        sub.iSubItem = s + 1;
        sub.pszText = const_cast<wchar_t*>(text.c_str());
        SendMessageW(FHandle, LVM_SETITEMTEXTW, Index, reinterpret_cast<LPARAM>(&sub));
    }
}

void TCustomListView::UpdateItemWindow(TListItem* Item)
{
    int index = Item->Index();
    if (!HandleAllocated() || index < 0)
        return;
    LVITEMW lv{};
    lv.mask = LVIF_TEXT | LVIF_IMAGE;
    lv.iItem = index;
    lv.pszText = const_cast<wchar_t*>(Item->FCaption.c_str());
    lv.iImage = Item->FImageIndex;
    SendMessageW(FHandle, LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&lv));
    // Every column after the first: a sub-item that went shows empty.
    for (int s = 1; s < std::max(FColumns->Count(), Item->FSubItems->Count() + 1); ++s) {
        UnicodeString text = s <= Item->FSubItems->Count() ? Item->FSubItems->Strings(s - 1) : UnicodeString();
        LVITEMW sub{};
        sub.iSubItem = s;
        sub.pszText = const_cast<wchar_t*>(text.c_str());
        SendMessageW(FHandle, LVM_SETITEMTEXTW, index, reinterpret_cast<LPARAM>(&sub));
    }
}

void TCustomListView::UpdateColours()
{
    if (!HandleAllocated())
        return;
    COLORREF back = ColorToRGB(FColor);
    SendMessageW(FHandle, LVM_SETBKCOLOR, 0, LPARAM(back));
    SendMessageW(FHandle, LVM_SETTEXTBKCOLOR, 0, LPARAM(back));
    SendMessageW(FHandle, LVM_SETTEXTCOLOR, 0, LPARAM(ColorToRGB(FFont->Color())));
}

void TCustomListView::UpdateImageLists()
{
    if (!HandleAllocated())
        return;
    SendMessageW(FHandle, LVM_SETIMAGELIST, LVSIL_SMALL,
                 reinterpret_cast<LPARAM>(FSmallImages ? FSmallImages->Handle() : nullptr));
    SendMessageW(FHandle, LVM_SETIMAGELIST, LVSIL_NORMAL,
                 reinterpret_cast<LPARAM>(FLargeImages ? FLargeImages->Handle() : nullptr));
}

void TCustomListView::CMColorChanged(TMessage& Message)
{
    TWinControl::CMColorChanged(Message);
    UpdateColours();
}

void TCustomListView::CMFontChanged(TMessage& Message)
{
    TWinControl::CMFontChanged(Message);
    UpdateColours();
}

void TCustomListView::SetViewStyle(TViewStyle Value)
{
    if (FViewStyle == Value)
        return;
    FViewStyle = Value;
    // The window changes its view in place.
    if (HandleAllocated()) {
        DWORD style = DWORD(GetWindowLongW(FHandle, GWL_STYLE));
        SetWindowLongW(FHandle, GWL_STYLE, LONG((style & ~DWORD(LVS_TYPEMASK)) | ViewStyles[Value]));
        Invalidate();
    }
}

namespace {
template <class T>
void SetAndRecreate(TWinControl* Control, T& Field, T Value)
{
    if (Field == Value)
        return;
    Field = Value;
    Control->RecreateWnd();
}

void SetImageList(TComponent* Owner, TCustomImageList*& Field, TCustomImageList* Value)
{
    if (Field)
        Field->RemoveFreeNotification(Owner);
    Field = Value;
    if (Value)
        Value->FreeNotification(Owner);
}
} // namespace

void TCustomListView::SetMultiSelect(bool Value) { SetAndRecreate(this, FMultiSelect, Value); }
void TCustomListView::SetReadOnly(bool Value) { SetAndRecreate(this, FReadOnly, Value); }
void TCustomListView::SetShowColumnHeaders(bool Value) { SetAndRecreate(this, FShowColumnHeaders, Value); }

void TCustomListView::SetRowSelect(bool Value)
{
    if (FRowSelect == Value)
        return;
    FRowSelect = Value;
    if (HandleAllocated())
        SendMessageW(FHandle, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, ExtendedStyle());
}

void TCustomListView::SetSmallImages(TCustomImageList* Value)
{
    SetImageList(this, FSmallImages, Value);
    UpdateImageLists();
}

void TCustomListView::SetLargeImages(TCustomImageList* Value)
{
    SetImageList(this, FLargeImages, Value);
    UpdateImageLists();
}

void TCustomListView::Notification(TComponent* AComponent, TOperation Operation)
{
    TWinControl::Notification(AComponent, Operation);
    if (Operation != opRemove)
        return;
    if (AComponent == FSmallImages)
        SetSmallImages(nullptr);
    if (AComponent == FLargeImages)
        SetLargeImages(nullptr);
}

TListItem* TCustomListView::Selected()
{
    if (!HandleAllocated()) {
        for (TListItem* item : FItems->FItems)
            if (item->FSavedState & LVIS_SELECTED)
                return item;
        return nullptr;
    }
    int i = int(SendMessageW(FHandle, LVM_GETNEXTITEM, WPARAM(-1), LVNI_SELECTED));
    return i >= 0 && i < FItems->Count() ? FItems->Item(i) : nullptr;
}

void TCustomListView::SetSelected(TListItem* Value)
{
    for (TListItem* item : FItems->FItems)
        if (item != Value && item->Selected())
            item->SetSelected(false);
    if (Value) {
        Value->SetSelected(true);
        Value->SetFocused(true);
    }
}

int TCustomListView::ItemIndex()
{
    TListItem* item = Selected();
    return item ? item->Index() : -1;
}

void TCustomListView::SetItemIndex(int Value)
{
    SetSelected(Value >= 0 && Value < FItems->Count() ? FItems->Item(Value) : nullptr);
}

int TCustomListView::SelCount()
{
    if (HandleAllocated())
        return int(SendMessageW(FHandle, LVM_GETSELECTEDCOUNT, 0, 0));
    return int(std::count_if(FItems->FItems.begin(), FItems->FItems.end(),
                             [](TListItem* i) { return (i->FSavedState & LVIS_SELECTED) != 0; }));
}

bool TCustomListView::IsEditing()
{
    return HandleAllocated() && SendMessageW(FHandle, LVM_GETEDITCONTROL, 0, 0) != 0;
}

TListItem* TCustomListView::GetItemAt(int X, int Y)
{
    if (!HandleAllocated())
        return nullptr;
    LVHITTESTINFO info{};
    info.pt = {X, Y};
    int i = int(SendMessageW(FHandle, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&info)));
    return i >= 0 && i < FItems->Count() && (info.flags & LVHT_ONITEM) ? FItems->Item(i) : nullptr;
}

void TCustomListView::WndProc(TMessage& Message)
{
    if (Message.Msg == CN_NOTIFY)
        CNNotify(Message);
    else
        TWinControl::WndProc(Message);
}

void TCustomListView::CNNotify(TMessage& Message)
{
    auto* hdr = reinterpret_cast<NMHDR*>(Message.LParam);
    if (hdr->code == NM_CUSTOMDRAW)
        Message.Result = CustomDrawNotify(*reinterpret_cast<NMLVCUSTOMDRAW*>(Message.LParam));
    else
        DefaultHandler(Message);
}

// The whole control's stages go to CustomDraw on a canvas over the stage's
// device context; the items are left to the window.
LRESULT TCustomListView::CustomDrawNotify(NMLVCUSTOMDRAW& Draw)
{
    NMCUSTOMDRAW& cd = Draw.nmcd;
    if (!OnAdvancedCustomDraw)
        return CDRF_DODEFAULT;
    TCustomDrawStage stage;
    switch (cd.dwDrawStage) {
    case CDDS_PREPAINT: stage = cdPrePaint; break;
    case CDDS_POSTPAINT: stage = cdPostPaint; break;
    case CDDS_PREERASE: stage = cdPreErase; break;
    case CDDS_POSTERASE: stage = cdPostErase; break;
    default: return CDRF_DODEFAULT;
    }
    bool defaultDraw;
    {
        TCanvasPaintScope scope(FCanvas, cd.hdc);
        FCanvas->Font()->Assign(Font());
        FCanvas->Brush()->Assign(Brush());
        defaultDraw = CustomDraw(cd.rc, stage);
    }
    if (!defaultDraw)
        return CDRF_SKIPDEFAULT;
    return stage == cdPrePaint ? CDRF_NOTIFYPOSTPAINT : CDRF_DODEFAULT;
}

bool TCustomListView::CustomDraw(const TRect& ARect, TCustomDrawStage Stage)
{
    bool defaultDraw = true;
    if (OnAdvancedCustomDraw)
        OnAdvancedCustomDraw(this, ARect, Stage, defaultDraw);
    return defaultDraw;
}

// ---------------------------------------------------------------------------
// Published properties

KV_BEGIN_PUBLISHED(TListColumn, TCollectionItem)
    B.Enum(L"Alignment", &C::Alignment, &C::SetAlignment, taLeftJustify,
           {L"taLeftJustify", L"taRightJustify", L"taCenter"}, L"TAlignment");
    B.Str(L"Caption", &C::Caption, &C::SetCaption);
    B.Int(L"ImageIndex", &C::ImageIndex, &C::SetImageIndex, -1);
    B.Int(L"Width", &C::Width, &C::SetWidth, 50);
KV_END_PUBLISHED

KV_BEGIN_PUBLISHED(TCustomListView, TWinControl)
    B.Object(L"Columns", &C::Columns, &C::SetColumns);
    B.Ref(L"LargeImages", &C::LargeImages, &C::SetLargeImages);
    B.Bool(L"MultiSelect", &C::MultiSelect, &C::SetMultiSelect, false);
    B.Bool(L"ReadOnly", &C::ReadOnly, &C::SetReadOnly, false);
    B.Bool(L"RowSelect", &C::RowSelect, &C::SetRowSelect, false);
    B.Bool(L"ShowColumnHeaders", &C::ShowColumnHeaders, &C::SetShowColumnHeaders, true);
    B.Ref(L"SmallImages", &C::SmallImages, &C::SetSmallImages);
    B.Enum(L"ViewStyle", &C::ViewStyle, &C::SetViewStyle, vsIcon, {L"vsIcon", L"vsSmallIcon", L"vsList", L"vsReport"},
           L"TViewStyle");
    B.Event(L"OnAdvancedCustomDraw", &C::OnAdvancedCustomDraw);
KV_END_PUBLISHED

KV_BEGIN_PUBLISHED(TListView, TCustomListView)
    static_assert(sizeof(C) > 0); // all inherited
KV_END_PUBLISHED
