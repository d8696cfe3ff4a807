// Tab controls and page controls with their sheets.
#include "classlib/controls/ComCtrls.h"

#include <algorithm>

#include "classlib/controls/Forms.h"

namespace comctrls_detail {
void InitCommonControls();
}

// ---------------------------------------------------------------------------
// The tabs of a tab control: TCM_* messages once the window exists.
#pragma push_macro("GetObject")
#undef GetObject
class TTabStrings : public TStrings {
    TCustomTabControl* FControl;
    TStringList FSaved;

    HWND Wnd() const { return FControl->HandleAllocated() ? FControl->Handle() : nullptr; }
    void CheckIndex(int Index) const
    {
        if (Index < 0 || Index >= GetCount())
            Error(L"List index out of bounds (%d)", Index);
    }

public:
    explicit TTabStrings(TCustomTabControl* Control) : FControl(Control) {}

    void Insert(int Index, const UnicodeString& S) override { InsertObject(Index, S, nullptr); }

    void InsertObject(int Index, const UnicodeString& S, TObject* AObject) override
    {
        if (HWND wnd = Wnd()) {
            TCITEMW item{};
            item.mask = TCIF_TEXT | TCIF_PARAM | TCIF_IMAGE;
            item.pszText = const_cast<wchar_t*>(S.c_str());
            item.lParam = reinterpret_cast<LPARAM>(AObject);
            item.iImage = FControl->GetImageIndex(Index);
            if (SendMessageW(wnd, TCM_INSERTITEMW, Index, reinterpret_cast<LPARAM>(&item)) < 0)
                throw EOutOfResources(L"Unable to insert a line");
        } else {
            FSaved.InsertObject(Index, S, AObject);
        }
        FControl->TabsChanged();
    }

    void Delete(int Index) override
    {
        if (HWND wnd = Wnd()) {
            CheckIndex(Index);
            SendMessageW(wnd, TCM_DELETEITEM, Index, 0);
        } else {
            FSaved.Delete(Index);
        }
        FControl->TabsChanged();
    }

    void Clear() override
    {
        if (HWND wnd = Wnd())
            SendMessageW(wnd, TCM_DELETEALLITEMS, 0, 0);
        else
            FSaved.Clear();
        FControl->TabsChanged();
    }

    // The window was made: the saved tabs go into it.
    void WindowCreated()
    {
        TStringList saved;
        saved.Assign(&FSaved);
        FSaved.Clear();
        for (int i = 0; i < saved.Count(); ++i)
            InsertObject(i, saved.Strings(i), saved.Objects(i));
    }

    void WindowDestroying()
    {
        FSaved.Clear();
        for (int i = 0; i < GetCount(); ++i)
            FSaved.AddObject(Get(i), GetObject(i));
    }

protected:
    UnicodeString Get(int Index) const override
    {
        HWND wnd = Wnd();
        if (!wnd)
            return FSaved.Strings(Index);
        CheckIndex(Index);
        wchar_t buffer[4096] = {};
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = buffer;
        item.cchTextMax = 4096;
        SendMessageW(wnd, TCM_GETITEMW, Index, reinterpret_cast<LPARAM>(&item));
        return item.pszText ? UnicodeString(item.pszText) : UnicodeString();
    }

    int GetCount() const override
    {
        HWND wnd = Wnd();
        return wnd ? int(SendMessageW(wnd, TCM_GETITEMCOUNT, 0, 0)) : FSaved.Count();
    }

    TObject* GetObject(int Index) const override
    {
        HWND wnd = Wnd();
        if (!wnd)
            return FSaved.Objects(Index);
        CheckIndex(Index);
        TCITEMW item{};
        item.mask = TCIF_PARAM;
        SendMessageW(wnd, TCM_GETITEMW, Index, reinterpret_cast<LPARAM>(&item));
        return reinterpret_cast<TObject*>(item.lParam);
    }

    void Put(int Index, const UnicodeString& S) override
    {
        HWND wnd = Wnd();
        if (!wnd) {
            FSaved.SetStrings(Index, S);
            return;
        }
        CheckIndex(Index);
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = const_cast<wchar_t*>(S.c_str());
        SendMessageW(wnd, TCM_SETITEMW, Index, reinterpret_cast<LPARAM>(&item));
        FControl->TabsChanged();
    }

    void PutObject(int Index, TObject* AObject) override
    {
        HWND wnd = Wnd();
        if (!wnd) {
            FSaved.SetObjects(Index, AObject);
            return;
        }
        CheckIndex(Index);
        TCITEMW item{};
        item.mask = TCIF_PARAM;
        item.lParam = reinterpret_cast<LPARAM>(AObject);
        SendMessageW(wnd, TCM_SETITEMW, Index, reinterpret_cast<LPARAM>(&item));
    }
};
#pragma pop_macro("GetObject")

// ---------------------------------------------------------------------------
// TCustomTabControl

TCustomTabControl::TCustomTabControl(TComponent* AOwner)
    : TWinControl(AOwner), FTabs(new TTabStrings(this)), FCanvas(new TControlCanvas())
{
    FControlStyle = {csAcceptsControls, csDoubleClicks, csOpaque};
    FWidth = 289;
    FHeight = 193;
    FTabStop = true;
    FCanvas->SetControl(this);
}

TCustomTabControl::~TCustomTabControl()
{
    delete FTabs;
    delete FCanvas;
}

void TCustomTabControl::CreateParams(TCreateParams& Params)
{
    comctrls_detail::InitCommonControls();
    TWinControl::CreateParams(Params);
    CreateSubClass(Params, WC_TABCONTROLW);
    static const DWORD styles[] = {TCS_TABS, TCS_BUTTONS, TCS_BUTTONS | TCS_FLATBUTTONS};
    Params.Style |= WS_CLIPCHILDREN | styles[FStyle];
    switch (FTabPosition) {
    case tpTop: break;
    case tpBottom: Params.Style |= TCS_BOTTOM; break;
    case tpLeft: Params.Style |= TCS_VERTICAL | TCS_MULTILINE; break;
    case tpRight: Params.Style |= TCS_VERTICAL | TCS_RIGHT | TCS_MULTILINE; break;
    }
    if (FMultiLine)
        Params.Style |= TCS_MULTILINE;
    if (FHotTrack)
        Params.Style |= TCS_HOTTRACK;
    if (FOwnerDraw)
        Params.Style |= TCS_OWNERDRAWFIXED;
    Params.WindowClass.style &= ~UINT(CS_HREDRAW | CS_VREDRAW);
}

void TCustomTabControl::CreateWnd()
{
    TWinControl::CreateWnd();
    if (FImages)
        SendMessageW(FHandle, TCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(FImages->Handle()));
    static_cast<TTabStrings*>(FTabs)->WindowCreated();
    if (FSavedTabIndex >= 0)
        SendMessageW(FHandle, TCM_SETCURSEL, FSavedTabIndex, 0);
    Realign();
}

void TCustomTabControl::DestroyWnd()
{
    FSavedTabIndex = TabIndex();
    static_cast<TTabStrings*>(FTabs)->WindowDestroying();
    TWinControl::DestroyWnd();
}

int TCustomTabControl::TabIndex()
{
    return HandleAllocated() ? int(SendMessageW(FHandle, TCM_GETCURSEL, 0, 0)) : FSavedTabIndex;
}

void TCustomTabControl::SetTabIndex(int Value)
{
    if (HandleAllocated())
        SendMessageW(FHandle, TCM_SETCURSEL, Value, 0);
    else
        FSavedTabIndex = Value;
}

TRect TCustomTabControl::TabRect(int Index)
{
    TRect r;
    if (!HandleAllocated() || !SendMessageW(FHandle, TCM_GETITEMRECT, Index, reinterpret_cast<LPARAM>(&r)))
        return TRect();
    return r;
}

int TCustomTabControl::IndexOfTabAt(int X, int Y)
{
    if (!HandleAllocated())
        return -1;
    TCHITTESTINFO info{};
    info.pt = {X, Y};
    return int(SendMessageW(FHandle, TCM_HITTEST, 0, reinterpret_cast<LPARAM>(&info)));
}

TRect TCustomTabControl::DisplayRect()
{
    TRect r = GetClientRect();
    if (HandleAllocated())
        SendMessageW(FHandle, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&r));
    return r;
}

void TCustomTabControl::AdjustClientRect(TRect& Rect)
{
    Rect = DisplayRect();
    TWinControl::AdjustClientRect(Rect);
}

void TCustomTabControl::TabsChanged()
{
    if (HandleAllocated())
        Realign();
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
} // namespace

void TCustomTabControl::SetTabPosition(TTabPosition Value) { SetAndRecreate(this, FTabPosition, Value); }
void TCustomTabControl::SetStyle(TTabStyle Value) { SetAndRecreate(this, FStyle, Value); }
void TCustomTabControl::SetMultiLine(bool Value) { SetAndRecreate(this, FMultiLine, Value); }
void TCustomTabControl::SetHotTrack(bool Value) { SetAndRecreate(this, FHotTrack, Value); }
void TCustomTabControl::SetOwnerDraw(bool Value) { SetAndRecreate(this, FOwnerDraw, Value); }

void TCustomTabControl::SetImages(TCustomImageList* Value)
{
    if (FImages)
        FImages->RemoveFreeNotification(this);
    FImages = Value;
    if (Value)
        Value->FreeNotification(this);
    if (HandleAllocated())
        SendMessageW(FHandle, TCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(Value ? Value->Handle() : nullptr));
}

void TCustomTabControl::Notification(TComponent* AComponent, TOperation Operation)
{
    TWinControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FImages)
        SetImages(nullptr);
}

void TCustomTabControl::WndProc(TMessage& Message)
{
    switch (Message.Msg) {
    case CN_NOTIFY: CNNotify(Message); break;
    case CN_DRAWITEM: CNDrawItem(Message); break;
    default: TWinControl::WndProc(Message);
    }
}

void TCustomTabControl::CNNotify(TMessage& Message)
{
    auto* hdr = reinterpret_cast<NMHDR*>(Message.LParam);
    switch (hdr->code) {
    // A non-zero answer keeps the current tab.
    case TCN_SELCHANGING: Message.Result = CanChange() ? 0 : 1; break;
    case TCN_SELCHANGE: Change(); break;
    default: DefaultHandler(Message); break;
    }
}

void TCustomTabControl::CNDrawItem(TMessage& Message)
{
    auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(Message.LParam);
    TCanvasPaintScope scope(FCanvas, dis->hDC);
    FCanvas->Font()->Assign(Font());
    FCanvas->Brush()->Assign(Brush());
    DrawTab(int(dis->itemID), dis->rcItem, (dis->itemState & ODS_SELECTED) != 0);
    Message.Result = TRUE;
}

bool TCustomTabControl::CanChange()
{
    bool allow = true;
    if (OnChanging)
        OnChanging(this, allow);
    return allow;
}

void TCustomTabControl::Change()
{
    if (OnChange)
        OnChange(this);
}

void TCustomTabControl::DrawTab(int TabIndex, const TRect& Rect, bool Active)
{
    if (OnDrawTab)
        OnDrawTab(this, TabIndex, Rect, Active);
    else
        FCanvas->FillRect(Rect);
}

// ---------------------------------------------------------------------------
// TTabSheet

TTabSheet::TTabSheet(TComponent* AOwner) : TWinControl(AOwner)
{
    FControlStyle = {csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
    FAlign = alClient;
    // Only the active page shows.
    FVisible = false;
}

TTabSheet::~TTabSheet()
{
    if (FPageControl)
        FPageControl->RemovePage(this);
}

void TTabSheet::SetPageControl(TPageControl* Value)
{
    if (FPageControl == Value)
        return;
    if (FPageControl)
        FPageControl->RemovePage(this);
    SetParent(Value);
    if (Value)
        Value->InsertPage(this);
}

void TTabSheet::SetParentComponent(TComponent* Value)
{
    if (auto* pages = dynamic_cast<TPageControl*>(Value))
        SetPageControl(pages);
    else
        TWinControl::SetParentComponent(Value);
}

int TTabSheet::PageIndex() const
{
    if (!FPageControl)
        return -1;
    auto& pages = FPageControl->FPages;
    return int(std::find(pages.begin(), pages.end(), this) - pages.begin());
}

void TTabSheet::SetPageIndex(int Value)
{
    if (FPageControl)
        FPageControl->MovePage(this, Value);
}

int TTabSheet::TabIndex() const
{
    if (!FPageControl || !FTabVisible)
        return -1;
    int n = 0;
    for (TTabSheet* p : FPageControl->FPages) {
        if (p == this)
            return n;
        if (p->FTabVisible)
            ++n;
    }
    return -1;
}

void TTabSheet::SetTabVisible(bool Value)
{
    if (FTabVisible == Value)
        return;
    FTabVisible = Value;
    if (FPageControl)
        FPageControl->UpdateTabs();
}

void TTabSheet::SetImageIndex(int Value)
{
    if (FImageIndex == Value)
        return;
    FImageIndex = Value;
    if (FPageControl)
        FPageControl->UpdateTabs();
}

void TTabSheet::CMTextChanged(TMessage& Message)
{
    TWinControl::CMTextChanged(Message);
    if (FPageControl && FTabVisible)
        FPageControl->Tabs()->SetStrings(TabIndex(), Caption());
}

// ---------------------------------------------------------------------------
// TPageControl

TPageControl::TPageControl(TComponent* AOwner) : TCustomTabControl(AOwner) {}

TPageControl::~TPageControl()
{
    // The sheets outlive this part of the control (the parent frees them
    // later): they forget it now.
    for (TTabSheet* p : FPages)
        p->FPageControl = nullptr;
    FPages.clear();
    FActivePage = nullptr;
}

void TPageControl::InsertPage(TTabSheet* Page)
{
    FPages.push_back(Page);
    Page->FPageControl = this;
    UpdateTabs();
}

void TPageControl::RemovePage(TTabSheet* Page)
{
    TTabSheet* next = FindNextPage(Page, true, !ComponentState().Contains(csDesigning));
    if (next == Page)
        next = nullptr;
    FPages.erase(std::remove(FPages.begin(), FPages.end(), Page), FPages.end());
    Page->FPageControl = nullptr;
    if (FActivePage == Page) {
        FActivePage = nullptr;
        if (!ComponentState().Contains(csDestroying))
            SetActivePage(next);
    }
    if (!ComponentState().Contains(csDestroying))
        UpdateTabs();
}

void TPageControl::MovePage(TTabSheet* Page, int NewIndex)
{
    auto it = std::find(FPages.begin(), FPages.end(), Page);
    if (it == FPages.end())
        return;
    FPages.erase(it);
    NewIndex = std::clamp(NewIndex, 0, int(FPages.size()));
    FPages.insert(FPages.begin() + NewIndex, Page);
    UpdateTabs();
}

void TPageControl::UpdateTabs()
{
    TStrings* tabs = Tabs();
    tabs->BeginUpdate();
    tabs->Clear();
    for (TTabSheet* p : FPages)
        if (p->FTabVisible)
            tabs->AddObject(p->Caption(), p);
    tabs->EndUpdate();
    SetTabIndex(FActivePage ? FActivePage->TabIndex() : -1);
}

int TPageControl::GetImageIndex(int TabIndex)
{
    int n = 0;
    for (TTabSheet* p : FPages)
        if (p->FTabVisible && n++ == TabIndex)
            return p->FImageIndex;
    return -1;
}

TTabSheet* TPageControl::FindNextPage(TTabSheet* CurPage, bool GoForward, bool CheckTabVisible)
{
    int n = PageCount();
    if (n == 0)
        return nullptr;
    auto it = std::find(FPages.begin(), FPages.end(), CurPage);
    int start = it == FPages.end() ? (GoForward ? n - 1 : 0) : int(it - FPages.begin());
    int i = start;
    do {
        i = GoForward ? (i + 1) % n : (i + n - 1) % n;
        if (!CheckTabVisible || FPages[i]->FTabVisible)
            return FPages[i];
    } while (i != start);
    return nullptr;
}

void TPageControl::SelectNextPage(bool GoForward, bool CheckTabVisible)
{
    TTabSheet* page = FindNextPage(FActivePage, GoForward, CheckTabVisible);
    if (page && page != FActivePage && CanChange()) {
        SetActivePage(page);
        TCustomTabControl::Change();
    }
}

void TPageControl::ChangeActivePage(TTabSheet* Page)
{
    if (FActivePage == Page)
        return;
    // The focus leaves a page that goes away.
    TCustomForm* form = GetParentForm(this);
    if (form && FActivePage && form->ActiveControl() && FActivePage->ContainsControl(form->ActiveControl()))
        form->SetActiveControl(FActivePage->CanFocus() ? FActivePage : nullptr);
    if (Page) {
        Page->BringToFront();
        Page->SetVisible(true);
    }
    if (FActivePage)
        FActivePage->SetVisible(false);
    FActivePage = Page;
}

void TPageControl::SetActivePage(TTabSheet* Page)
{
    if (Page && Page->FPageControl != this)
        return;
    ChangeActivePage(Page);
    SetTabIndex(Page ? Page->TabIndex() : -1);
}

void TPageControl::SetActivePageIndex(int Value)
{
    SetActivePage(Value >= 0 && Value < PageCount() ? FPages[Value] : nullptr);
}

void TPageControl::UpdateActivePage()
{
    int i = TabIndex();
    SetActivePage(i >= 0 ? static_cast<TTabSheet*>(Tabs()->Objects(i)) : nullptr);
}

void TPageControl::Change()
{
    UpdateActivePage();
    TCustomTabControl::Change();
}

void TPageControl::Loaded()
{
    TCustomTabControl::Loaded();
    // A resource names its active page; without one the first page shows.
    if (!FActivePage && !FPages.empty())
        SetActivePage(FindNextPage(nullptr, true, true));
}

// ---------------------------------------------------------------------------
// Published properties

KV_BEGIN_PUBLISHED(TCustomTabControl, TWinControl)
    B.Bool(L"HotTrack", &C::HotTrack, &C::SetHotTrack, false);
    B.Ref(L"Images", &C::Images, &C::SetImages);
    B.Bool(L"MultiLine", &C::MultiLine, &C::SetMultiLine, false);
    B.Bool(L"OwnerDraw", &C::OwnerDraw, &C::SetOwnerDraw, false);
    B.Enum(L"Style", &C::Style, &C::SetStyle, tsTabs, {L"tsTabs", L"tsButtons", L"tsFlatButtons"}, L"TTabStyle");
    B.Enum(L"TabPosition", &C::TabPosition, &C::SetTabPosition, tpTop, {L"tpTop", L"tpBottom", L"tpLeft", L"tpRight"},
           L"TTabPosition");
    B.Event(L"OnChange", &C::OnChange);
    B.Event(L"OnChanging", &C::OnChanging);
    B.Event(L"OnDrawTab", &C::OnDrawTab);
KV_END_PUBLISHED

KV_BEGIN_PUBLISHED(TTabControl, TCustomTabControl)
    B.Object(L"Tabs", &C::Tabs, &C::SetTabs);
    B.Int(L"TabIndex", &C::TabIndex, &C::SetTabIndex, -1);
KV_END_PUBLISHED

KV_BEGIN_PUBLISHED(TTabSheet, TWinControl)
    B.Int(L"ImageIndex", &C::ImageIndex, &C::SetImageIndex, -1);
    B.Int(L"PageIndex", &C::PageIndex, &C::SetPageIndex, -1);
    B.Bool(L"TabVisible", &C::TabVisible, &C::SetTabVisible, true);
KV_END_PUBLISHED

KV_BEGIN_PUBLISHED(TPageControl, TCustomTabControl)
    B.Ref(L"ActivePage", &C::ActivePage, &C::SetActivePage);
KV_END_PUBLISHED
