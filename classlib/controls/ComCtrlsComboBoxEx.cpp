// The extended combo box over the system's "ComboBoxEx32" window.
#include "classlib/controls/ComCtrls.h"

#include "classlib/rtl/SysUtils.h"

namespace comctrls_detail {
void InitCommonControls();
}

// ---------------------------------------------------------------------------
// The items of an extended combo box: the window's item records once it
// exists (text and object in each), a string list before that and while the
// window is made anew.
#pragma push_macro("GetObject")
#undef GetObject
class TComboExStrings : public TStrings {
    TCustomComboBoxEx* FControl;
    TStringList FSaved;

    HWND Wnd() const { return FControl->HandleAllocated() ? FControl->Handle() : nullptr; }
    void CheckIndex(int Index) const
    {
        if (Index < 0 || Index >= GetCount())
            Error(L"List index out of bounds (%d)", Index);
    }

public:
    explicit TComboExStrings(TCustomComboBoxEx* Control) : FControl(Control) {}

    int Add(const UnicodeString& S) override
    {
        int i = GetCount();
        InsertObject(i, S, nullptr);
        return i;
    }
    void Insert(int Index, const UnicodeString& S) override { InsertObject(Index, S, nullptr); }

    void InsertObject(int Index, const UnicodeString& S, TObject* AObject) override
    {
        HWND wnd = Wnd();
        if (!wnd) {
            FSaved.InsertObject(Index, S, AObject);
            return;
        }
        if (Index < 0 || Index > GetCount())
            Error(L"List index out of bounds (%d)", Index);
        COMBOBOXEXITEMW item{};
        item.mask = CBEIF_TEXT | CBEIF_LPARAM;
        item.iItem = Index;
        item.pszText = const_cast<wchar_t*>(S.c_str());
        item.lParam = reinterpret_cast<LPARAM>(AObject);
        if (SendMessageW(wnd, CBEM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)) < 0)
            throw EOutOfResources(L"Unable to insert a line");
    }

    void Delete(int Index) override
    {
        HWND wnd = Wnd();
        if (!wnd) {
            FSaved.Delete(Index);
            return;
        }
        CheckIndex(Index);
        SendMessageW(wnd, CBEM_DELETEITEM, Index, 0);
    }

    void Clear() override
    {
        if (HWND wnd = Wnd())
            SendMessageW(wnd, CB_RESETCONTENT, 0, 0);
        else
            FSaved.Clear();
    }

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
        COMBOBOXEXITEMW item{};
        item.mask = CBEIF_TEXT;
        item.iItem = Index;
        item.pszText = buffer;
        item.cchTextMax = 4096;
        SendMessageW(wnd, CBEM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
        return item.pszText ? UnicodeString(item.pszText) : UnicodeString();
    }

    int GetCount() const override
    {
        HWND wnd = Wnd();
        return wnd ? int(SendMessageW(wnd, CB_GETCOUNT, 0, 0)) : FSaved.Count();
    }

    TObject* GetObject(int Index) const override
    {
        HWND wnd = Wnd();
        if (!wnd)
            return FSaved.Objects(Index);
        CheckIndex(Index);
        COMBOBOXEXITEMW item{};
        item.mask = CBEIF_LPARAM;
        item.iItem = Index;
        SendMessageW(wnd, CBEM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
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
        COMBOBOXEXITEMW item{};
        item.mask = CBEIF_TEXT;
        item.iItem = Index;
        item.pszText = const_cast<wchar_t*>(S.c_str());
        SendMessageW(wnd, CBEM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    }

    void PutObject(int Index, TObject* AObject) override
    {
        HWND wnd = Wnd();
        if (!wnd) {
            FSaved.SetObjects(Index, AObject);
            return;
        }
        CheckIndex(Index);
        COMBOBOXEXITEMW item{};
        item.mask = CBEIF_LPARAM;
        item.iItem = Index;
        item.lParam = reinterpret_cast<LPARAM>(AObject);
        SendMessageW(wnd, CBEM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    }
};
#pragma pop_macro("GetObject")

// ---------------------------------------------------------------------------
// TCustomComboBoxEx

TCustomComboBoxEx::TCustomComboBoxEx(TComponent* AOwner) : TWinControl(AOwner), FItems(new TComboExStrings(this))
{
    FControlStyle = {csSetCaption, csDoubleClicks, csFixedHeight};
    FWidth = 145;
    FHeight = 22;
    FTabStop = true;
    FParentColor = false;
    FColor = clWindow;
    FBrush->SetColor(FColor);
}

TCustomComboBoxEx::~TCustomComboBoxEx() { delete FItems; }

void TCustomComboBoxEx::CreateParams(TCreateParams& Params)
{
    comctrls_detail::InitCommonControls();
    TWinControl::CreateParams(Params);
    CreateSubClass(Params, WC_COMBOBOXEXW);
    static const DWORD styles[] = {CBS_DROPDOWN, CBS_SIMPLE, CBS_DROPDOWNLIST};
    Params.Style |= WS_VSCROLL | styles[FStyle];
    // The window's height at creation is the height of the dropped list too.
    if (FStyle != csExSimple)
        Params.Height = FHeight + 16 * FDropDownCount + 2;
}

void TCustomComboBoxEx::CreateWnd()
{
    TWinControl::CreateWnd();
    static_cast<TComboExStrings*>(FItems)->WindowCreated();
    if (FSavedIndex >= 0)
        SendMessageW(FHandle, CB_SETCURSEL, FSavedIndex, 0);
    UpdateBounds();
}

void TCustomComboBoxEx::DestroyWnd()
{
    FSavedIndex = ItemIndex();
    static_cast<TComboExStrings*>(FItems)->WindowDestroying();
    TWinControl::DestroyWnd();
}

void TCustomComboBoxEx::SetStyle(TComboBoxExStyle Value)
{
    if (FStyle == Value)
        return;
    FStyle = Value;
    RecreateWnd();
}

int TCustomComboBoxEx::ItemIndex()
{
    return HandleAllocated() ? int(SendMessageW(FHandle, CB_GETCURSEL, 0, 0)) : FSavedIndex;
}

void TCustomComboBoxEx::SetItemIndex(int Value)
{
    if (HandleAllocated())
        SendMessageW(FHandle, CB_SETCURSEL, Value, 0);
    else
        FSavedIndex = Value;
}

HWND TCustomComboBoxEx::ComboHandle()
{
    return reinterpret_cast<HWND>(SendMessageW(Handle(), CBEM_GETCOMBOCONTROL, 0, 0));
}

void TCustomComboBoxEx::WndProc(TMessage& Message)
{
    if (Message.Msg == CN_COMMAND)
        CNCommand(Message);
    else
        TWinControl::WndProc(Message);
}

void TCustomComboBoxEx::CNCommand(TMessage& Message)
{
    switch (HIWORD(Message.WParam)) {
    case CBN_SELCHANGE: Select(); break;
    case CBN_EDITCHANGE: Change(); break;
    default: break;
    }
}

void TCustomComboBoxEx::Change()
{
    if (OnChange)
        OnChange(this);
}

void TCustomComboBoxEx::Select()
{
    if (OnSelect)
        OnSelect(this);
    else
        Change();
}

// ---------------------------------------------------------------------------
// Published properties

KV_BEGIN_PUBLISHED(TCustomComboBoxEx, TWinControl)
    B.Int(L"DropDownCount", &C::DropDownCount, &C::SetDropDownCount, 8);
    B.Enum(L"Style", &C::Style, &C::SetStyle, csExDropDown, {L"csExDropDown", L"csExSimple", L"csExDropDownList"},
           L"TComboBoxExStyle");
    B.Event(L"OnChange", &C::OnChange);
    B.Event(L"OnSelect", &C::OnSelect);
KV_END_PUBLISHED

KV_BEGIN_PUBLISHED(TComboBoxEx, TCustomComboBoxEx)
    B.Object(L"Items", &C::Items, &C::SetItems);
    B.Int(L"ItemIndex", &C::ItemIndex, &C::SetItemIndex, -1);
KV_END_PUBLISHED
