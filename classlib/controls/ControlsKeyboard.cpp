// Keyboard and focus: tab order, focusing, key events and dialog keys.
#include "classlib/controls/Controls.h"

#include <algorithm>
#include <climits>

#include "classlib/controls/Forms.h"

TShiftState KeyDataToShiftState(LPARAM KeyData)
{
    TShiftState s;
    if (::GetKeyState(VK_SHIFT) < 0) s += ssShift;
    if (::GetKeyState(VK_CONTROL) < 0) s += ssCtrl;
    if (KeyData & 0x20000000) s += ssAlt;
    return s;
}

void TWinControl::SetTabStop(bool Value)
{
    if (FTabStop == Value)
        return;
    FTabStop = Value;
    if (FHandle) {
        LONG style = ::GetWindowLongW(FHandle, GWL_STYLE);
        ::SetWindowLongW(FHandle, GWL_STYLE, Value ? style | WS_TABSTOP : style & ~WS_TABSTOP);
    }
    Perform(CM_TABSTOPCHANGED, 0, 0);
}

int TWinControl::TabOrder() const
{
    if (!FParent)
        return -1;
    auto& list = FParent->FTabList;
    auto it = std::find(list.begin(), list.end(), this);
    return it == list.end() ? -1 : int(it - list.begin());
}

void TWinControl::SetTabOrder(int Value)
{
    if (!FParent)
        return;
    auto& list = FParent->FTabList;
    auto it = std::find(list.begin(), list.end(), this);
    if (it == list.end())
        return;
    if (ComponentState().Contains(csReading)) {
        // Siblings read later may come before this one: keep the stored
        // numbers and order the read controls by them.
        FStoredTabOrder = Value;
        std::stable_sort(list.begin(), list.end(), [](TWinControl* a, TWinControl* b) {
            auto key = [](TWinControl* c) { return c->FStoredTabOrder >= 0 ? c->FStoredTabOrder : INT_MAX; };
            return key(a) < key(b);
        });
        return;
    }
    list.erase(it);
    Value = std::clamp(Value, 0, int(list.size()));
    list.insert(list.begin() + Value, this);
}

void TWinControl::GetTabOrderList(std::vector<TWinControl*>& List)
{
    for (TWinControl* c : FTabList) {
        List.push_back(c);
        c->GetTabOrderList(List);
    }
}

TWinControl* TWinControl::FindNextControl(TWinControl* CurControl, bool GoForward, bool CheckTabStop,
                                          bool CheckParent)
{
    std::vector<TWinControl*> list;
    GetTabOrderList(list);
    if (list.empty())
        return nullptr;
    int n = int(list.size());
    int start = -1;
    for (int i = 0; i < n; ++i)
        if (list[i] == CurControl)
            start = i;
    if (start < 0)
        start = GoForward ? n - 1 : 0;
    int i = start;
    for (int k = 0; k < n; ++k) {
        i = GoForward ? (i + 1) % n : (i - 1 + n) % n;
        TWinControl* c = list[i];
        if (c == CurControl && k < n - 1)
            continue;
        if (!c->CanFocus())
            continue;
        if (CheckTabStop && !c->FTabStop)
            continue;
        if (CheckParent && c->FParent != this)
            continue;
        return c;
    }
    return nullptr;
}

void TWinControl::SelectNext(TWinControl* CurControl, bool GoForward, bool CheckTabStop)
{
    if (TWinControl* c = FindNextControl(CurControl, GoForward, CheckTabStop, !CheckTabStop))
        c->SetFocus();
}

bool TWinControl::CanFocus()
{
    TCustomForm* form = GetParentForm(this);
    if (!form)
        return FVisible && FEnabled;
    for (TControl* c = this; c != form && c; c = c->FParent)
        if (!c->FVisible || !c->FEnabled)
            return false;
    return form->Visible() && form->Enabled();
}

bool TWinControl::Focused() { return FHandle && ::GetFocus() == FHandle; }

void TWinControl::SetFocus()
{
    if (!CanFocus())
        throw EInvalidOperation(L"Cannot focus a disabled or invisible window");
    if (TCustomForm* form = GetParentForm(this))
        form->FocusControl(this);
    else
        ::SetFocus(Handle());
}

void TWinControl::WMSetFocus(TMessage& Message)
{
    DefaultHandler(Message);
    if (TCustomForm* form = GetParentForm(this))
        form->SetFocusedControl(this);
}

void TWinControl::WMKillFocus(TMessage& Message) { DefaultHandler(Message); }

bool TWinControl::DoKeyDown(TMessage& Message)
{
    TCustomForm* form = GetParentForm(this);
    if (form && form != this && form->KeyPreview() && form->DoKeyDown(Message))
        return true;
    WORD key = LOWORD(Message.WParam);
    TShiftState shift = KeyDataToShiftState(Message.LParam);
    KeyDown(key, shift);
    Message.WParam = (Message.WParam & ~WPARAM(0xFFFF)) | key;
    return key == 0;
}

bool TWinControl::DoKeyUp(TMessage& Message)
{
    TCustomForm* form = GetParentForm(this);
    if (form && form != this && form->KeyPreview() && form->DoKeyUp(Message))
        return true;
    WORD key = LOWORD(Message.WParam);
    KeyUp(key, KeyDataToShiftState(Message.LParam));
    Message.WParam = (Message.WParam & ~WPARAM(0xFFFF)) | key;
    return key == 0;
}

bool TWinControl::DoKeyPress(TMessage& Message)
{
    TCustomForm* form = GetParentForm(this);
    if (form && form != this && form->KeyPreview() && form->DoKeyPress(Message))
        return true;
    wchar_t ch = wchar_t(Message.WParam);
    KeyPress(ch);
    Message.WParam = WPARAM(ch);
    return ch == 0;
}

void TWinControl::KeyDown(WORD& Key, TShiftState Shift)
{
    if (OnKeyDown)
        OnKeyDown(this, Key, Shift);
}

void TWinControl::KeyUp(WORD& Key, TShiftState Shift)
{
    if (OnKeyUp)
        OnKeyUp(this, Key, Shift);
}

void TWinControl::KeyPress(wchar_t& Key)
{
    if (OnKeyPress)
        OnKeyPress(this, Key);
}

void TWinControl::WMKeyDown(TMessage& Message)
{
    if (!DoKeyDown(Message))
        DefaultHandler(Message);
}

void TWinControl::WMKeyUp(TMessage& Message)
{
    if (!DoKeyUp(Message))
        DefaultHandler(Message);
}

void TWinControl::WMChar(TMessage& Message)
{
    if (!DoKeyPress(Message))
        DefaultHandler(Message);
}

void TWinControl::CNKeyDown(TMessage& Message)
{
    Message.Result = 1;
    if (IsMenuKey(Message))
        return;
    WORD key = LOWORD(Message.WParam);
    if (Perform(CM_CHILDKEY, key, reinterpret_cast<LPARAM>(this)) != 0)
        return;
    LRESULT mask = 0;
    switch (key) {
    case VK_TAB: mask = DLGC_WANTTAB; break;
    case VK_LEFT: case VK_RIGHT: case VK_UP: case VK_DOWN: mask = DLGC_WANTARROWS; break;
    case VK_RETURN: case VK_EXECUTE: case VK_ESCAPE: case VK_CANCEL: mask = DLGC_WANTALLKEYS; break;
    default: break;
    }
    if (mask && Perform(CM_WANTSPECIALKEY, key, Message.LParam) == 0 && !(Perform(WM_GETDLGCODE, 0, 0) & mask)) {
        TCustomForm* form = GetParentForm(this);
        if (form && form->Perform(CM_DIALOGKEY, key, Message.LParam) != 0)
            return;
    }
    Message.Result = 0;
}

void TWinControl::CNChar(TMessage& Message)
{
    Message.Result = 1;
    if (!(Perform(WM_GETDLGCODE, 0, 0) & DLGC_WANTCHARS)) {
        TCustomForm* form = GetParentForm(this);
        if (form && form->Perform(CM_DIALOGCHAR, Message.WParam, Message.LParam) != 0)
            return;
    }
    Message.Result = 0;
}

void TWinControl::DoEnter()
{
    if (OnEnter)
        OnEnter(this);
}

void TWinControl::DoExit()
{
    if (OnExit)
        OnExit(this);
}

void TWinControl::CMEnter(TMessage&) { DoEnter(); }
void TWinControl::CMExit(TMessage&) { DoExit(); }
void TWinControl::CMDialogKey(TMessage& Message) { Broadcast(Message); }
void TWinControl::CMDialogChar(TMessage& Message) { Broadcast(Message); }
void TWinControl::CMFocusChanged(TMessage& Message) { Broadcast(Message); }
